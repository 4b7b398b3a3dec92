// Character classes, name rules, escaping and numbers.
#include <gtest/gtest.h>

#include "tests/xml_model/test_util.h"
#include "xml/xmlchars.h"

namespace {

struct RangeCount {
  int ranges = 0;
  long chars = 0;
};
RangeCount Count(const std::vector<TCharRange>& r) {
  RangeCount c;
  for (const auto& x : r) {
    ++c.ranges;
    c.chars += x.Last - x.First + 1;
  }
  return c;
}
long CountWhere(bool (*test)(WideChar)) {
  long n = 0;
  for (uint32_t u = 0; u <= 0xFFFF; ++u) n += test(static_cast<WideChar>(u));
  return n;
}

TEST(CharClassTest, AppendixBCounts) {
  EXPECT_EQ(Count(DigitRanges()).ranges, 15);
  EXPECT_EQ(Count(DigitRanges()).chars, 149);
  EXPECT_EQ(CountWhere(IsDigit), 149);
  EXPECT_EQ(Count(BaseCharRanges()).ranges, 202);
  EXPECT_EQ(Count(IdeographicRanges()).ranges, 3);
  EXPECT_EQ(Count(IdeographicRanges()).chars, 20912);
  EXPECT_EQ(CountWhere(IsBaseChar), Count(BaseCharRanges()).chars);
  EXPECT_EQ(CountWhere(IsLetter), Count(BaseCharRanges()).chars + 20912);
  // The ranges are sorted and disjoint, as the look-up needs.
  const auto& b = BaseCharRanges();
  for (std::size_t i = 1; i < b.size(); ++i) EXPECT_GT(b[i].First, b[i - 1].Last) << i;
}

TEST(CharClassTest, CharacterTests) {
  for (WideChar c : {0x0000, 0x0008, 0xFFFE, 0xFFFF, 0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0x001F})
    EXPECT_FALSE(IsXMLChar(c)) << std::hex << static_cast<int>(c);
  for (WideChar c : {0x0009, 0x000A, 0x000D, 0x0020, 0x0085, 0x00A0, 0xD7FF, 0xE000, 0xFFFD})
    EXPECT_TRUE(IsXMLChar(c)) << std::hex << static_cast<int>(c);
  EXPECT_TRUE(IsLetter(0x3007));
  EXPECT_TRUE(IsLetter(0xAC00));
  EXPECT_FALSE(IsLetter(0x00D7));
  EXPECT_FALSE(IsLetter(0x0301));
  EXPECT_TRUE(IsDigit(0x0BE7));
  EXPECT_FALSE(IsDigit(0x0BE6));  // Tamil zero is not in the list
  EXPECT_TRUE(IsNameStartChar(u'_'));
  EXPECT_TRUE(IsNameStartChar(u':'));
  EXPECT_FALSE(IsNameStartChar(u'1'));
  EXPECT_TRUE(IsNameChar(u'.'));
  EXPECT_FALSE(IsNameChar(0x00B7));  // extender
  EXPECT_FALSE(IsNameChar(0x0301));  // combining mark
  for (WideChar c : WideString(u"-/>?]")) EXPECT_TRUE(IsMarkupDelimiter(c));
  EXPECT_FALSE(IsMarkupDelimiter(u'<'));
  EXPECT_FALSE(IsCharDataChar(u'<'));
  EXPECT_TRUE(IsCharDataChar(u'>'));
  for (WideChar c : WideString(u"\"&'<>")) EXPECT_TRUE(IsPredefinedChar(c));
  EXPECT_FALSE(IsPredefinedChar(u';'));
  EXPECT_TRUE(IsBlank(u'\r'));
  EXPECT_FALSE(IsBlank(0x00A0));
}

TEST(NameRuleTest, NamesAndTokens) {
  struct Case {
    WideString text;
    bool name, nmtoken;
  } cases[] = {
      {u"_x", true, true},          {u":a", true, true},  {u"a.b-c", true, true}, {u"1a", false, true},
      {u"-a", false, true},         {u"-", false, true},  {u"", false, false},   {u"a\u0301", false, false},
      {u"a\u00B7", false, false},   {u"a b", false, false}, {u"\u4E00\u0661", true, true},
      {WideString(u"ab\0!", 4), true, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsName(c.text), c.name) << U8(c.text);
    EXPECT_EQ(IsNmtoken(c.text), c.nmtoken) << U8(c.text);
  }
}

TEST(NameRuleTest, NameListsSplitAtBlanksOnly) {
  std::vector<std::string> list;
  EXPECT_TRUE(IsNames(u" a  b ", &list));
  EXPECT_EQ(list, (std::vector<std::string>{"a", "b"}));
  list.clear();
  EXPECT_FALSE(IsNames(u"a b 1c d", &list));
  EXPECT_EQ(list, (std::vector<std::string>{"a", "b", "1c", "d"}));  // splitting goes on
  EXPECT_FALSE(IsNames(u"a\tb"));
  list.clear();
  EXPECT_FALSE(IsNames(u"", &list));
  EXPECT_EQ(list, (std::vector<std::string>{""}));
  EXPECT_TRUE(IsNmtokens(u"1a -b"));
  EXPECT_FALSE(IsNmtokens(u"1a\n-b"));
}

TEST(NameRuleTest, PiTargets) {
  EXPECT_FALSE(IsPITarget(u"XML"));
  EXPECT_FALSE(IsPITarget(u"xMl"));
  EXPECT_FALSE(IsPITarget(u"  "));
  EXPECT_TRUE(IsPITarget(u"xml-stylesheet"));
  EXPECT_TRUE(IsPITarget(u"php"));
  EXPECT_FALSE(IsPITarget(u" php"));  // the untrimmed text must be a name
}

TEST(EscapeTest, EscapeText) {
  struct Case {
    WideString in, out;
  } cases[] = {
      {u"a<b", u"a&lt;b"},
      {u"a&b", u"a&amp;b"},
      {u"&amp;", u"&amp;"},
      {u"a&b&c;", u"a&amp;b&c;"},
      {u"\"'>", u"&quot;&apos;&gt;"},
      {u"&", u"&amp;"},
      {u"x;&", u"x;&amp;"},
      {u"nothing to escape \u00E9", u"nothing to escape \u00E9"},
      {u"", u""},
      {WideString(u"ab\0c", 4), u"ab"},  // U+0000 ends the text
      {WideString(u"a<\0c", 4), u"a&lt;"},
  };
  for (const auto& c : cases) EXPECT_EQ(EscapeText(c.in), c.out) << U8(c.in);
}

TEST(EscapeTest, EscapeCharTouchesOneCharacter) {
  EXPECT_EQ(EscapeChar(u"<'\"", u'"'), u"<'&quot;");
  EXPECT_EQ(EscapeChar(u"a&b&lt;", u'&'), u"a&amp;b&lt;");
  EXPECT_EQ(EscapeChar(u"a<b", u'<'), u"a&lt;b");
  EXPECT_EQ(PredefinedEntityFor(u'x'), u"");
}

TEST(EscapeTest, ReferenceEnd) {
  EXPECT_EQ(ReferenceEnd(u"&ab;", 2), 4);
  EXPECT_EQ(ReferenceEnd(u"&a&b;", 2), 0);
  EXPECT_EQ(ReferenceEnd(u"&ab", 2), 0);
  EXPECT_EQ(ReferenceEnd(u";", 1), 1);
}

TEST(EscapeTest, LongRunsOfAmpersandsStayLinear) {
  // Each look-ahead stops at the next "&": a quadratic scan would take minutes here.
  WideString s(2'000'000, u'&');
  EXPECT_EQ(EscapeText(s).size(), 10'000'000u);
  WideString t = u"&" + WideString(2'000'000, u'a');
  EXPECT_EQ(EscapeChar(t, u'&').size(), t.size() + 4);
}

TEST(NumberTest, HexToInt) {
  EXPECT_EQ(HexToInt(u"1F"), 31);
  EXPECT_EQ(HexToInt(u"ff"), 255);
  EXPECT_EQ(HexToInt(u"10000"), 65536);
  EXPECT_EQ(HexToInt(u""), 0);
  EXPECT_EQ(HexToInt(u"7FFFFFFF"), INT32_MAX);
  EXPECT_EQ(HexToInt(u"FFFFFFFFFFFFFFFFFFFF"), INT32_MAX);  // saturates, no overflow
  EXPECT_EQ(Indent(3), u"   ");
  EXPECT_EQ(Indent(0), u"");
}

}  // namespace
