#include <gtest/gtest.h>

#include <string>

#include "base/locale.h"
#include "shared/core/lkstrings.h"

namespace {

TEST(FindTextNoCase, Positions) {
  struct Case {
    const char* sub;
    const char* text;
    std::size_t start;
    std::size_t pos;
  } cases[] = {
      {"win", "C:\\WINDOWS\\system32", 1, 4},
      {"WIN", "c:\\windows", 1, 4},
      {"dOwS", "c:\\WinDows", 1, 7},
      {"s", "system32", 2, 3},    // from the start given
      {"s", "system32", 4, 0},
      {"32", "system32", 7, 7},   // fits exactly at the end
      {"323", "system32", 1, 0},  // would run past the end
      {"", "abc", 1, 0},
      {"a", "", 1, 0},
      {"a", "abc", 0, 0},         // start below 1
      {"abcd", "abc", 1, 0},
      {"\xC9t\xC9", "caf\xE9T\xE9", 1, 4},  // Windows-1252 letters fold too
      {"x1", "X1", 1, 1},          // digits compare exactly
      {"a-b", "A_B a-B", 1, 5},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FindTextNoCase(c.sub, c.text, c.start), c.pos) << c.sub << " in " << c.text;
}

TEST(TextRoutines, CutAroundTheFirstOccurrence) {
  EXPECT_EQ(TextAfter("\\", "C:\\Folder"), "Folder");
  EXPECT_EQ(TextAfter("\\", "C:\\a\\b"), "a\\b");
  EXPECT_EQ(TextAfter("X", "abc"), "");
  EXPECT_EQ(TextAfter("", "abc"), "");
  EXPECT_EQ(TextBefore("-", "no dash"), "no dash");
  EXPECT_EQ(TextBefore("PASSBOX", "c:\\windows\\passbox.exe"), "c:\\windows\\");
  EXPECT_EQ(TextBefore("", "abc"), "abc");
}

TEST(TextRoutines, TextBetween) {
  struct Case {
    const char* text;
    char a, b;
    const char* result;
  } cases[] = {
      {"name (value) rest", '(', ')', "value"},
      {"()", '(', ')', ""},
      {"a)b(c", '(', ')', ""},  // stop before start
      {"a(b", '(', ')', ""},    // no stop
      {"a)b", '(', ')', ""},    // no start
      {"(a)(b)", '(', ')', "a"},
      {"[X]", '[', 'x', ""},    // exact comparison
  };
  for (const auto& c : cases) EXPECT_EQ(TextBetween(c.text, c.a, c.b), c.result) << c.text;
}

TEST(TextRoutines, PiecesAndTerminators) {
  EXPECT_EQ(LeftPart("abcdef", 3), "abc");
  EXPECT_EQ(LeftPart("ab", 5), "ab");
  EXPECT_EQ(LeftPart("ab", -1), "");
  EXPECT_EQ(RestFrom("abcdef", 3), "cdef");
  EXPECT_EQ(RestFrom("abcdef", 0), "abcdef");
  EXPECT_EQ(RestFrom("abcdef", 7), "");
  EXPECT_EQ(PCharLength(nullptr), 0u);
  EXPECT_EQ(PCharLength("abc"), 3u);
  std::string buf("path\0junk\0", 10);
  CutAtNul(buf);
  EXPECT_EQ(buf, "path");
  std::string none = "whole";
  CutAtNul(none);
  EXPECT_EQ(none, "whole");
}

TEST(TextRoutines, CaseTablesComeFromTheInstalledLocale) {
  EXPECT_TRUE(IsUpperChar('A'));
  EXPECT_TRUE(IsLowerChar(0xE9));
  EXPECT_FALSE(IsUpperChar('1'));
  EXPECT_FALSE(IsLowerChar('A'));

  // A locale where '#' and '~' are a case pair: the routines must follow it.
  const TCharLocale saved = CharLocale();
  TCharLocale odd = saved;
  odd.ctype[static_cast<unsigned char>('#')] |= C1_UPPER_BIT;
  odd.ctype[static_cast<unsigned char>('~')] |= C1_LOWER_BIT;
  odd.lower[static_cast<unsigned char>('#')] = '~';
  odd.upper[static_cast<unsigned char>('~')] = '#';
  InstallCharLocale(odd);
  const std::size_t pos = FindTextNoCase("~x~", "ab#X#");
  const bool upper = IsUpperChar('#');
  InstallCharLocale(saved);
  EXPECT_EQ(pos, 3u);
  EXPECT_TRUE(upper);
}

}  // namespace
