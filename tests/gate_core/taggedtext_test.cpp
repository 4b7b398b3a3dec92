#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gate/core/taggedtext.h"

namespace {

using K = TTagKind;

TEST(TaggedTokens, Table) {
  struct Case {
    const char* line;
    std::vector<TTaggedToken> tokens;
  };
  const Case cases[] = {
      {"plain", {{K::Text, "plain"}}},
      {"a <b>bold</b> c", {{K::Text, "a "}, {K::StyleOn, "", tgBold}, {K::Text, "bold"}, {K::StyleOff, "", tgBold}, {K::Text, " c"}}},
      {"<B>X</B><I>y</I><U>z</U>",
       {{K::StyleOn, "", tgBold}, {K::Text, "X"}, {K::StyleOff, "", tgBold}, {K::StyleOn, "", tgItalic}, {K::Text, "y"},
        {K::StyleOff, "", tgItalic}, {K::StyleOn, "", tgUnderline}, {K::Text, "z"}, {K::StyleOff, "", tgUnderline}}},
      {"a < b <sname> <x>", {{K::Text, "a < b <sname> <x>"}}},
      {"<c:Red>r<C:$FF0000>b", {{K::Colour, "Red"}, {K::Text, "r"}, {K::Colour, "$FF0000"}, {K::Text, "b"}}},
      {"x<c:Blue", {{K::Text, "x"}, {K::Colour, "Blue"}}},
      {"<b", {{K::Text, "<b"}}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(TokenizeTaggedLine(c.line), c.tokens) << c.line;
}

TEST(TagColours, NamesAndNumbers) {
  TColor c = 7;
  EXPECT_TRUE(ColorFromTagValue("Red", c));
  EXPECT_EQ(c, 0x0000FF);
  EXPECT_TRUE(ColorFromTagValue("red", c));
  EXPECT_EQ(c, 0x0000FF);
  EXPECT_TRUE(ColorFromTagValue("$FF0000", c));
  EXPECT_EQ(c, 0xFF0000);
  EXPECT_TRUE(ColorFromTagValue("BtnFace", c));
  EXPECT_EQ(c, static_cast<TColor>(0x8000000F));
  c = 7;
  EXPECT_FALSE(ColorFromTagValue("Nope", c));
  EXPECT_FALSE(ColorFromTagValue("$XY", c));
  EXPECT_FALSE(ColorFromTagValue("", c));
  EXPECT_EQ(c, 7);
}

// Each character 6 pixels wide, bold ones 7; records what is drawn.
class FakeCanvas : public ITaggedCanvas {
 public:
  struct Out {
    int x, y;
    std::string text;
    uint8_t style;
    TColor color;
  };
  uint8_t style = 0;
  TColor color = 0x123456;
  TColor brush = 0;
  std::vector<Out> outs;
  int fills = 0;
  uint8_t FontStyle() override { return style; }
  void SetFontStyle(uint8_t s) override { style = s; }
  TColor FontColor() override { return color; }
  void SetFontColor(TColor c) override { color = c; }
  void SetBrushColor(TColor c) override { brush = c; }
  void FillRect(int, int, int, int) override { ++fills; }
  int TextWidth(std::string_view t) override { return static_cast<int>(t.size()) * ((style & tgBold) ? 7 : 6); }
  int TextHeight(std::string_view) override { return 13; }
  void TextOut(int x, int y, std::string_view t) override { outs.push_back({x, y, std::string(t), style, color}); }
};

TEST(TaggedDrawing, BoldWordThenNormalAndStateRestored) {
  FakeCanvas c;
  DrawTaggedLine(c, {10, 20, 200, 33}, 0, false, "a <B>bc</b> d");
  ASSERT_EQ(c.outs.size(), 3u);
  EXPECT_EQ(c.outs[0].x, 12);
  EXPECT_EQ(c.outs[1].text, "bc");
  EXPECT_EQ(c.outs[1].style, tgBold);
  EXPECT_EQ(c.outs[1].x, 12 + 12);
  EXPECT_EQ(c.outs[2].style, 0);
  EXPECT_EQ(c.outs[2].x, 24 + 14);
  EXPECT_EQ(c.outs[2].y, 20);
  EXPECT_EQ(c.style, 0);
  EXPECT_EQ(c.color, 0x123456);
}

TEST(TaggedDrawing, WidthIsTextPlusFourAndMeasuringDrawsNothing) {
  FakeCanvas c;
  EXPECT_EQ(TaggedLineWidth(&c, {5, 0, 100, 10}, 0, false, "hello"), 30 + 4);
  EXPECT_EQ(TaggedLineWidth(&c, {5, 0, 100, 10}, 0, false, "<b>hi</b>"), 14 + 4);
  EXPECT_TRUE(c.outs.empty());
  EXPECT_EQ(c.fills, 0);
  EXPECT_EQ(TaggedLineWidth(nullptr, {5, 0, 100, 10}, 0, false, "hello"), 4);
}

TEST(TaggedDrawing, ColourTags) {
  FakeCanvas c;
  DrawTaggedLine(c, {0, 0, 100, 10}, 0, false, "<c:Red>r<c:Nope>s<c:$FF0000>b");
  ASSERT_EQ(c.outs.size(), 3u);
  EXPECT_EQ(c.outs[0].color, 0x0000FF);
  EXPECT_EQ(c.outs[1].color, 0x0000FF);  // no such colour: unchanged
  EXPECT_EQ(c.outs[2].color, 0xFF0000);
  EXPECT_EQ(c.color, 0x123456);

  FakeCanvas selected;  // a selected item keeps its selection colour
  DrawTaggedLine(selected, {0, 0, 100, 10}, tgSelected, false, "<c:Red>r");
  EXPECT_EQ(selected.outs[0].color, 0x123456);
  FakeCanvas hidden;
  DrawTaggedLine(hidden, {0, 0, 100, 10}, tgSelected, true, "<c:Red>r");
  EXPECT_EQ(hidden.outs[0].color, 0x0000FF);
  EXPECT_EQ(hidden.brush, kTagWindowColor);
}

TEST(TaggedLayout, LinesAndPlacement) {
  EXPECT_EQ(SplitCaptionLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitCaptionLines("a\r\n\r\nb"), (std::vector<std::string>{"a", "", "b"}));
  const TTagRect client{0, 0, 100, 90};
  EXPECT_EQ(TaggedLineRect(client, 13, 2, 3, TTagLayout::tlBottom, TTagAlignment::taLeftJustify, 0).Top, 90 - 13);
  EXPECT_EQ(TaggedLineRect(client, 13, 1, 3, TTagLayout::tlTop, TTagAlignment::taLeftJustify, 0).Top, 13);
  EXPECT_EQ(TaggedLineRect(client, 13, 0, 3, TTagLayout::tlCenter, TTagAlignment::taLeftJustify, 0).Top, (90 - 39) / 2);
  EXPECT_EQ(TaggedLineRect(client, 13, 0, 1, TTagLayout::tlTop, TTagAlignment::taRightJustify, 30).Left, 70);
  EXPECT_EQ(TaggedLineRect(client, 13, 0, 1, TTagLayout::tlTop, TTagAlignment::taCenter, 30).Left, 35);
}

TEST(TaggedLayout, ExtentOfAutoSizedLabel) {
  FakeCanvas c;
  const TTagExtent e = TaggedTextExtent(c, {3, 0, 50, 50}, "ab\r\n<b>abcd</b>\r\nx");
  EXPECT_EQ(e.Height, 3 * 13);
  EXPECT_EQ(e.Width, 3 + 28 + 4);
}

TEST(TaggedLayout, BoldDoesNotCarryToNextLine) {
  // Paint draws each line separately from the label's own font.
  FakeCanvas c;
  for (const auto& line : SplitCaptionLines("<b>a\r\nb")) DrawTaggedLine(c, {0, 0, 10, 10}, 0, false, line);
  ASSERT_EQ(c.outs.size(), 2u);
  EXPECT_EQ(c.outs[0].style, tgBold);
  EXPECT_EQ(c.outs[1].style, 0);
}

}  // namespace
