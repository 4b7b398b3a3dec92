// What the XML subsystem needs from the platform, as replaceable hooks: the
// portable core has no Windows calls. The Windows programs install the
// wininet fetcher and the version probe from xml/win (InstallWinXMLServices);
// natively only files are read.
#pragma once

#include <functional>
#include <string>

#include "base/streams.h"
#include "xml/xmlstring.h"

// Fetches an "http://" or "ftp://" resource and appends its bytes to dest;
// false when nothing could be fetched.
class TLkResourceFetcher {
 public:
  virtual ~TLkResourceFetcher() = default;
  virtual bool Fetch(const std::string& url, TStream& dest) = 0;
};

struct TXMLPlatform {
  TLkResourceFetcher* Fetcher = nullptr;  // not owned; none: internet loads fail
  bool (*IsWindows95)() = nullptr;
  // The address of the public-identifier lookup service; the path and query
  // "/cgi-bin/PUBLIC?" + identifier are appended.
  std::string PublicIdService = "http://127.0.0.1";
  // The system's ANSI code page, for texts that leave the model as file
  // names and captions; none: Windows-1252. Each answers false for a
  // character the other side cannot hold (out then holds "?" for it).
  bool (*WideToAnsi)(const WideString& text, std::string& out) = nullptr;
  bool (*AnsiToWide)(const std::string& text, WideString& out) = nullptr;
};

TXMLPlatform& XMLPlatform();
