// The user locale as the text routines see it: a character-type table and
// case maps for the 256 byte values, and the case-insensitive comparison
// that sorted name lists use.
//
// Natively these hold the Windows-1252 rules of an en-US machine. The
// Windows programs replace them once at start-up with what the operating
// system reports for the user's default locale (forms/win/syslocale.h), before
// anything reads them; after that they never change.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct TCharLocale {
  uint16_t ctype[256];    // CT_CTYPE1 bits: 1 upper, 2 lower, 4 digit, 8 space, ...
  unsigned char lower[256];
  unsigned char upper[256];
  // <0, 0, >0 like CompareString with NORM_IGNORECASE (and without it).
  int (*compareText)(std::string_view a, std::string_view b);
  int (*compareStr)(std::string_view a, std::string_view b);
};

enum : uint16_t { C1_UPPER_BIT = 1, C1_LOWER_BIT = 2, C1_DIGIT_BIT = 4, C1_SPACE_BIT = 8, C1_ALPHA_BIT = 0x100 };

const TCharLocale& CharLocale();
// Replaces the tables; meant for start-up code only.
void InstallCharLocale(const TCharLocale& locale);
// The built-in Windows-1252 tables.
TCharLocale DefaultCharLocale();

int AnsiCompareText(std::string_view a, std::string_view b);
int AnsiCompareStr(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);
std::string AnsiLowerCase(std::string_view s);
std::string AnsiUpperCase(std::string_view s);
// ASCII-only case changes, locale independent.
std::string LowerCase(std::string_view s);
std::string UpperCase(std::string_view s);
int CompareText(std::string_view a, std::string_view b);  // ASCII case-insensitive, ordinal
bool SameText(std::string_view a, std::string_view b);
