#include "forms/win/syslocale.h"

#include <windows.h>

namespace {

int Compare(DWORD flags, std::string_view a, std::string_view b) {
  const int r = CompareStringA(LOCALE_USER_DEFAULT, flags, a.data(), static_cast<int>(a.size()), b.data(),
                               static_cast<int>(b.size()));
  return r == 0 ? 0 : r - CSTR_EQUAL;
}

int CompareTextSystem(std::string_view a, std::string_view b) { return Compare(NORM_IGNORECASE, a, b); }
int CompareStrSystem(std::string_view a, std::string_view b) { return Compare(0, a, b); }

}  // namespace

TCharLocale SystemCharLocale() {
  TCharLocale l = DefaultCharLocale();
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
  l.compareText = CompareTextSystem;
  l.compareStr = CompareStrSystem;
  return l;
}

void InstallSystemCharLocale() { InstallCharLocale(SystemCharLocale()); }
