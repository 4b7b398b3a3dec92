// The character tables taken from the system, against the system asked one
// byte at a time.
#include <windows.h>

#include <gtest/gtest.h>

#include "forms/win/syslocale.h"

namespace {

TEST(SystemCharLocale, EveryByteAsTheSystemClassifiesAndMapsIt) {
  const TCharLocale l = SystemCharLocale();
  int letters = 0;
  for (int c = 0; c < 256; ++c) {
    char ch = static_cast<char>(c);
    WORD type = 0;
    ASSERT_TRUE(GetStringTypeExA(LOCALE_USER_DEFAULT, CT_CTYPE1, &ch, 1, &type));
    char lower[2] = {ch, 0}, upper[2] = {ch, 0};
    CharLowerBuffA(lower, 1);
    CharUpperBuffA(upper, 1);
    EXPECT_EQ(l.ctype[c], type) << c;
    EXPECT_EQ(l.lower[c], static_cast<unsigned char>(lower[0])) << c;
    EXPECT_EQ(l.upper[c], static_cast<unsigned char>(upper[0])) << c;
    if (l.lower[c] != c) ++letters;
  }
  // Not a table of identities: A to Z and the accented capitals map down.
  EXPECT_GE(letters, 26);
  EXPECT_EQ(l.lower[static_cast<unsigned char>('Q')], 'q');
  EXPECT_EQ(l.compareText("abc", "ABC"), 0);
  EXPECT_LT(l.compareStr("abc", "abd"), 0);
}

}  // namespace
