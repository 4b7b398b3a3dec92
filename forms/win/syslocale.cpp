#include "forms/win/syslocale.h"

#include <windows.h>

#include <cstring>

namespace {

int Compare(DWORD flags, std::string_view a, std::string_view b) {
  const int r = CompareStringA(LOCALE_USER_DEFAULT, flags, a.data(), static_cast<int>(a.size()), b.data(),
                               static_cast<int>(b.size()));
  return r == 0 ? 0 : r - CSTR_EQUAL;
}

int CompareTextSystem(std::string_view a, std::string_view b) { return Compare(NORM_IGNORECASE, a, b); }
int CompareStrSystem(std::string_view a, std::string_view b) { return Compare(0, a, b); }

// Whether every byte is a character of its own in the code page: then the
// tables can be asked for all 256 bytes at once.
bool SingleByteCodePage(UINT codePage) {
  CPINFO info{};
  return GetCPInfo(codePage, &info) && info.MaxCharSize == 1;
}

bool SingleByteLocale() {
  UINT localeCodePage = CP_ACP;
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                     reinterpret_cast<LPSTR>(&localeCodePage), sizeof localeCodePage / sizeof(char)) == 0)
    return false;
  return SingleByteCodePage(CP_ACP) && SingleByteCodePage(localeCodePage);
}

}  // namespace

TCharLocale SystemCharLocale() {
  TCharLocale l = DefaultCharLocale();
  l.compareText = CompareTextSystem;
  l.compareStr = CompareStrSystem;
  if (SingleByteLocale()) {
    char all[256], lower[256], upper[256];
    WORD types[256] = {};
    for (int c = 0; c < 256; ++c) all[c] = static_cast<char>(c);
    std::memcpy(lower, all, sizeof all);
    std::memcpy(upper, all, sizeof all);
    if (GetStringTypeExA(LOCALE_USER_DEFAULT, CT_CTYPE1, all, 256, types))
      for (int c = 0; c < 256; ++c) l.ctype[c] = types[c];
    CharLowerBuffA(lower, 256);
    CharUpperBuffA(upper, 256);
    for (int c = 0; c < 256; ++c) {
      l.lower[c] = static_cast<unsigned char>(lower[c]);
      l.upper[c] = static_cast<unsigned char>(upper[c]);
    }
    return l;
  }
  // Lead bytes of a double-byte code page would pair with their neighbours:
  // one byte at a time.
  for (int c = 0; c < 256; ++c) {
    char ch = static_cast<char>(c);
    WORD type = 0;
    if (GetStringTypeExA(LOCALE_USER_DEFAULT, CT_CTYPE1, &ch, 1, &type)) l.ctype[c] = type;
    char lower[2] = {ch, 0}, upper[2] = {ch, 0};
    CharLowerBuffA(lower, 1);
    CharUpperBuffA(upper, 1);
    l.lower[c] = static_cast<unsigned char>(lower[0]);
    l.upper[c] = static_cast<unsigned char>(upper[0]);
  }
  return l;
}

void InstallSystemCharLocale() { InstallCharLocale(SystemCharLocale()); }
