#include "base/locale.h"

#include <algorithm>
#include <array>

namespace {

// Windows-1252 letters above 0x7F and their partners (en-US).
void FillCp1252(TCharLocale& l) {
  for (int c = 0; c < 256; ++c) {
    l.lower[c] = l.upper[c] = static_cast<unsigned char>(c);
    l.ctype[c] = 0;
  }
  auto pair = [&](int up, int low) {
    l.lower[up] = static_cast<unsigned char>(low);
    l.upper[low] = static_cast<unsigned char>(up);
    l.ctype[up] |= C1_UPPER_BIT | C1_ALPHA_BIT;
    l.ctype[low] |= C1_LOWER_BIT | C1_ALPHA_BIT;
  };
  for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 32);
  for (int c = 0xC0; c <= 0xDE; ++c)
    if (c != 0xD7) pair(c, c + 32);
  pair(0x8A, 0x9A);  // S caron
  pair(0x8C, 0x9C);  // OE
  pair(0x8E, 0x9E);  // Z caron
  pair(0x9F, 0xFF);  // Y diaeresis
  for (int c : {0x83, 0xAA, 0xB5, 0xBA, 0xDF}) l.ctype[c] |= C1_LOWER_BIT | C1_ALPHA_BIT;
  for (int c = '0'; c <= '9'; ++c) l.ctype[c] |= C1_DIGIT_BIT;
  for (int c : {0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x20, 0xA0}) l.ctype[c] |= C1_SPACE_BIT;
}

int CompareMapped(std::string_view a, std::string_view b, const unsigned char* map) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int ca = map ? map[static_cast<unsigned char>(a[i])] : static_cast<unsigned char>(a[i]);
    const int cb = map ? map[static_cast<unsigned char>(b[i])] : static_cast<unsigned char>(b[i]);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int DefaultCompareText(std::string_view a, std::string_view b) { return CompareMapped(a, b, CharLocale().lower); }
int DefaultCompareStr(std::string_view a, std::string_view b) { return CompareMapped(a, b, nullptr); }

TCharLocale& Current() {
  static TCharLocale locale = DefaultCharLocale();
  return locale;
}

}  // namespace

TCharLocale DefaultCharLocale() {
  TCharLocale l{};
  FillCp1252(l);
  l.compareText = DefaultCompareText;
  l.compareStr = DefaultCompareStr;
  return l;
}

const TCharLocale& CharLocale() { return Current(); }
void InstallCharLocale(const TCharLocale& locale) { Current() = locale; }

int AnsiCompareText(std::string_view a, std::string_view b) { return CharLocale().compareText(a, b); }
int AnsiCompareStr(std::string_view a, std::string_view b) { return CharLocale().compareStr(a, b); }
bool AnsiSameText(std::string_view a, std::string_view b) { return AnsiCompareText(a, b) == 0; }

std::string AnsiLowerCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(CharLocale().lower[static_cast<unsigned char>(c)]);
  return r;
}
std::string AnsiUpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(CharLocale().upper[static_cast<unsigned char>(c)]);
  return r;
}
std::string LowerCase(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return r;
}
std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return r;
}
int CompareText(std::string_view a, std::string_view b) {
  static const auto map = [] {
    std::array<unsigned char, 256> m{};
    for (int c = 0; c < 256; ++c) m[c] = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return m;
  }();
  return CompareMapped(a, b, map.data());
}
bool SameText(std::string_view a, std::string_view b) { return CompareText(a, b) == 0; }
