// The Windows side of the XML subsystem: "http://" and "ftp://" identifiers
// fetched through wininet, the Windows 95 probe and the ANSI code page.
#pragma once

#include <string>

#include "xml/platform.h"

class TWinInetFetcher : public TLkResourceFetcher {
 public:
  // Direct access, no proxy, empty agent; the URL canonicalised by the
  // system when it can be; read in blocks of 1,024 bytes. An HTTP answer
  // with an error status is no content.
  bool Fetch(const std::string& url, TStream& dest) override;
};

// True on Windows 95 itself (the 9x platform reporting version 4.0).
bool IsWindows95Platform();

// Makes XMLPlatform() use the version probe and the system's ANSI code
// page, without the network (xmlsystem.cpp: a program that calls only this
// does not import wininet).
void InstallWinXMLSystem();
// InstallWinXMLSystem and the wininet fetcher; programs that fetch call it
// once at start-up.
void InstallWinXMLServices();
