#include "xml/win/xmlwin.h"

#include <windows.h>
#include <wininet.h>

namespace {

// Closes an internet handle on every path.
struct TNetHandle {
  HINTERNET h;
  explicit TNetHandle(HINTERNET handle) : h(handle) {}
  ~TNetHandle() {
    if (h) InternetCloseHandle(h);
  }
  TNetHandle(const TNetHandle&) = delete;
  TNetHandle& operator=(const TNetHandle&) = delete;
};

bool HttpFailed(HINTERNET request, const std::string& url) {
  if (url.rfind("http://", 0) != 0 && url.rfind("https://", 0) != 0) return false;
  DWORD status = 0, size = sizeof(status);
  if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) return false;
  return status >= 400;
}

}  // namespace

bool TWinInetFetcher::Fetch(const std::string& url, TStream& dest) {
  TNetHandle session(InternetOpenA("", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  if (!session.h) return false;
  // A server that does not answer, or trickles, must not hold the parse:
  // each connect, send and receive waits at most kStepTimeoutMs and the
  // whole transfer at most kTotalTimeoutMs.
  constexpr DWORD kStepTimeoutMs = 10000, kTotalTimeoutMs = 60000;
  DWORD timeout = kStepTimeoutMs;
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
    InternetSetOptionA(session.h, option, &timeout, sizeof(timeout));
  const DWORD started = GetTickCount();
  char canonical[1024];
  DWORD length = sizeof(canonical);
  HINTERNET opened;
  if (InternetCanonicalizeUrlA(url.c_str(), canonical, &length, 0))
    opened = InternetOpenUrlA(session.h, canonical, nullptr, 0, INTERNET_FLAG_RAW_DATA, 0);
  else
    opened = InternetOpenUrlA(session.h, url.c_str(), nullptr, 0, 0, 0);
  TNetHandle request(opened);
  if (!request.h || HttpFailed(request.h, url)) return false;
  char block[1024];
  for (;;) {
    DWORD got = 0;
    if (!InternetReadFile(request.h, block, sizeof(block), &got)) return false;
    if (got == 0) return true;
    if (GetTickCount() - started > kTotalTimeoutMs) return false;
    // A destination that takes less (a size cap) ends the fetch as failed.
    if (dest.Write(block, got) != static_cast<int64_t>(got)) return false;
  }
}

void InstallWinXMLServices() {
  static TWinInetFetcher fetcher;
  XMLPlatform().Fetcher = &fetcher;
  InstallWinXMLSystem();
}
