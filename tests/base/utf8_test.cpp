#include <gtest/gtest.h>

#include "base/utf8.h"

namespace {

struct Utf8Case {
  const char* name;
  std::string_view bytes;
  std::u16string want;
};

TEST(Utf8ToUtf16, DecodesEveryLengthAndReplacesWhatIsMalformed) {
  const Utf8Case cases[] = {
      {"ascii", "Cancel", u"Cancel"},
      {"two bytes", "Contrase\xC3\xB1" "a", u"Contrase\u00F1a"},
      {"cyrillic", "\xD0\x9E\xD1\x82\xD0\xBC\xD0\xB5\xD0\xBD\xD0\xB0", u"\u041E\u0442\u043C\u0435\u043D\u0430"},
      {"three bytes", "\xE2\x82\xAC", u"\u20AC"},
      {"four bytes", "\xF0\x9F\x94\x91", u"\U0001F511"},
      {"empty", "", u""},
      {"lone continuation", "a\x80z", u"a\uFFFDz"},
      {"truncated at the end", "a\xE2\x82", u"a\uFFFD\uFFFD"},
      {"interrupted", "\xE2" "A", u"\uFFFD" "A"},
      {"overlong two", "\xC0\xAF", u"\uFFFD\uFFFD"},
      {"overlong three", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
      {"surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"past the last plane", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"lead that never starts", "\xFF", u"\uFFFD"},
  };
  for (const Utf8Case& c : cases) EXPECT_EQ(Utf8ToUtf16(c.bytes), c.want) << c.name;
}

}  // namespace
