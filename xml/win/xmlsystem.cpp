#include <windows.h>

#include <algorithm>

#include "base/win/runningversion.h"
#include "xml/win/xmlwin.h"
#include "xml/xmlstrings.h"

namespace {

std::string ToAnsi(const wchar_t* text, int length, DWORD flags) {
  if (length == 0) return std::string();
  const int size = WideCharToMultiByte(CP_ACP, flags, text, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, flags, text, length, out.data(), size, nullptr, nullptr);
  return out;
}

bool ToWide(const std::string& text, WideString& out) {
  out.clear();
  if (text.empty()) return true;
  const int length = static_cast<int>(text.size());
  const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (size <= 0) return false;
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), size);
  out.assign(wide.begin(), wide.end());
  return true;
}

// One character's bytes when it survives the way there and back, else "?".
// The systems that do not know WC_NO_BEST_FIT_CHARS would otherwise hand
// out look-alikes ("\" for a full-width backslash); the round trip catches
// them all the same.
bool ConvertChar(const wchar_t* c, int units, std::string& out) {
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  std::string bytes = ToAnsi(c, units, flags);
  if (bytes.empty()) bytes = ToAnsi(c, units, flags = 0);
  WideString back;
  if (!bytes.empty() && ToWide(bytes, back) && back.size() == static_cast<std::size_t>(units) &&
      std::equal(back.begin(), back.end(), c)) {
    out += bytes;
    return true;
  }
  out += '?';
  return false;
}

bool WinWideToAnsi(const WideString& text, std::string& out) {
  out.clear();
  const std::wstring wide(text.begin(), text.begin() + XMLStrLen(text));
  const int length = static_cast<int>(wide.size());
  // The whole text at once when it comes back unchanged: the usual case.
  std::string whole = ToAnsi(wide.data(), length, WC_NO_BEST_FIT_CHARS);
  if (whole.empty() && length > 0) whole = ToAnsi(wide.data(), length, 0);
  WideString back;
  if ((length == 0 || !whole.empty()) && ToWide(whole, back) && back == WideString(text.begin(), text.begin() + length)) {
    out = whole;
    return true;
  }
  bool exact = true;
  for (int i = 0; i < length; ++i) {
    const bool pair = wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < length && wide[i + 1] >= 0xDC00 &&
                      wide[i + 1] <= 0xDFFF;
    exact = ConvertChar(wide.data() + i, pair ? 2 : 1, out) && exact;
    if (pair) ++i;
  }
  return exact;
}

bool WinAnsiToWide(const std::string& text, WideString& out) { return ToWide(text, out); }

}  // namespace

bool IsWindows95Platform() {
  const TWindowsVersion& v = RunningWindowsVersion();
  return v.PlatformId == kPlatformWin32Windows && v.Major == 4 && v.Minor == 0;
}

void InstallWinXMLSystem() {
  XMLPlatform().IsWindows95 = IsWindows95Platform;
  XMLPlatform().WideToAnsi = WinWideToAnsi;
  XMLPlatform().AnsiToWide = WinAnsiToWide;
}
