// The Windows side of external XML resources: "http://" and "ftp://"
// identifiers fetched through wininet.
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

// Makes XMLPlatform() use the wininet fetcher and the version probe; the
// Windows programs call it once at start-up.
void InstallWinXMLServices();
