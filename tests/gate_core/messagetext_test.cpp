#include <gtest/gtest.h>

#include "gate/core/messagetext.h"

namespace {

const TMessageTagValues kValues{"ann", "2:05:09 PM", "12/10/2026"};

struct ExpandCase {
  const char* text;
  const char* expected;
};

class ExpandTags : public testing::TestWithParam<ExpandCase> {};

TEST_P(ExpandTags, ReplacesValueTagsOnly) {
  EXPECT_EQ(ExpandMessageTags(GetParam().text, kValues), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, ExpandTags, testing::Values(
    ExpandCase{"Dear <uname>,", "Dear ann,"},
    ExpandCase{"<UNAME> <Uname> <uNaMe>", "ann ann ann"},
    ExpandCase{"(<date> - <time>)", "(12/10/2026 - 2:05:09 PM)"},
    ExpandCase{"<TIME><Date>", "2:05:09 PM12/10/2026"},
    ExpandCase{"skin <sname> stays", "skin <sname> stays"},
    ExpandCase{"<b>bold</b> <uname", "<b>bold</b> <uname"},
    ExpandCase{"", ""}));

TEST(ExpandTags, ReplacementIsNotExpandedAgain) {
  // The name is taken as it stands even if it looks like a later tag.
  EXPECT_EQ(ExpandMessageTags("<uname>", {"<time>", "T", "D"}), "T");
  EXPECT_EQ(ExpandMessageTags("<time>", {"U", "<uname>", "D"}), "<uname>");
}

struct WrapCase {
  const char* name;
  std::string text;
  int32_t column;
  std::string expected;
};

void PrintTo(const WrapCase& c, std::ostream* os) { *os << c.name; }
void PrintTo(const ExpandCase& c, std::ostream* os) { *os << c.text; }

class Wrap : public testing::TestWithParam<WrapCase> {};

TEST_P(Wrap, GateParameters) {
  EXPECT_EQ(WrapMessageText(GetParam().text, GateBreakText, GateBreakChars, GetParam().column), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, Wrap, testing::Values(
    WrapCase{"LongWordIsNotCut", std::string(60, 'x'), 55, std::string(60, 'x')},
    WrapCase{"BreakAfterLastBlank", "abcd efgh ijkl", 10, "abcd efgh \rijkl"},
    WrapCase{"EveryBreakCharAtMinusOne", "abc def ghi", -1, "abc \rdef \rghi"},
    WrapCase{"NoBreakBeforeLastChar", "abc de f", -1, "abc \rde f"},
    WrapCase{"HyphenAndDotBreak", "aaaa-bbbb.cccc", 6, "aaaa-\rbbbb.\rcccc"},
    WrapCase{"CrLfKeptAndColumnRestarts", "abcdefgh\r\nab cd efg", 7, "abcdefgh\r\nab cd \refg"},
    WrapCase{"ShortTextUntouched", "Thank you.", 55, "Thank you."},
    WrapCase{"BlanksRunIntoNextLine", "abcd   efgh", 5, "abcd \r  efgh"},
    WrapCase{"Empty", "", 55, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Wrap, LeadBytePassesOverItsTrailByte) {
  // 0x81 lead byte with a trail byte that is a blank: never a break point.
  auto lead = [](unsigned char c) { return c == 0x81; };
  EXPECT_EQ(WrapMessageText("ab\x81 cd", GateBreakText, GateBreakChars, -1, lead), "ab\x81 cd");
  EXPECT_EQ(WrapMessageText("ab\x81 cd", GateBreakText, GateBreakChars, -1), "ab\x81 \rcd");
}

TEST(Wrap, DefaultMessageAtColumn55KeepsItsLines) {
  const std::string msg =
      "Dear ann,\r\n \r\nIn order to use this program, you must first enter the correct password, and then press "
      "<b>RETURN</b> or click the <b>OK</b> button.\r\n\r\nThank you.";
  const std::string out = WrapMessageText(msg, GateBreakText, GateBreakChars, 55);
  EXPECT_EQ(out,
            "Dear ann,\r\n \r\nIn order to use this program, you must first enter the \rcorrect password, and "
            "then press <b>RETURN</b> or \rclick the <b>OK</b> button.\r\n\r\nThank you.");
}

}  // namespace
