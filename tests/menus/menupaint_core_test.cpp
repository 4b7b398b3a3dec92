// The menu painter's colours, measures and drawing steps, without a device.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/core/menupaint.h"

namespace {

using K = TLkMenuStepKind;

TLkMenuColors Colors() {
  TLkMenuColors c;
  c.MenuBarColor = 0xC8D0D4;  // a button face
  c.FontColor = 0x000000;
  return c;
}

TLkMenuItemLook Popup(const std::string& caption, TLkRect r = {0, 0, 150, 22}) {
  TLkMenuItemLook l;
  l.Rect = r;
  l.Caption = caption;
  l.TextHeightW = 13;
  return l;
}

std::vector<TLkMenuStep> Of(const std::vector<TLkMenuStep>& steps, K kind) {
  std::vector<TLkMenuStep> out;
  for (const auto& s : steps)
    if (s.Kind == kind) out.push_back(s);
  return out;
}

TEST(MenuPaintColors, DarkenTakesTheDistanceOfEveryChannel) {
  const struct {
    TLkRgb in;
    int amount;
    TLkRgb out;
  } cases[] = {
      {0xC8D0D4, 10, 0xBEC6CA},  // each channel 10 darker
      {0xC8D0D4, 60, 0x8C9498},
      {0x050A28, 10, 0x05001E},  // red 40 -> 30, green 10 -> 0, blue 5 rises again to 5
      {0x000000, 30, 0x1E1E1E},
      {0xFFFFFF, 0, 0xFFFFFF},
  };
  for (const auto& c : cases) EXPECT_EQ(MenuDarken(c.in, c.amount), c.out) << std::hex << c.in << " " << c.amount;
}

TEST(MenuPaintColors, DefaultsAreTheDocumentedValues) {
  const TLkMenuColors c;
  EXPECT_EQ(c.Color, 16251129);
  EXPECT_EQ(c.IconBackColor, 13752539);
  EXPECT_EQ(c.CheckedColor, 5263440);
  EXPECT_EQ(c.SeparatorColor, 11316397);
  EXPECT_EQ(c.SelecBorderColor, 0x800000);
  EXPECT_EQ(c.SelectColor, 13940915);
  EXPECT_EQ(c.DisabledColor, 0x808080);
}

TEST(MenuPaintMeasure, TheMeasuredTextKeepsRoomForTheShortcut) {
  const struct {
    const char *caption, *shortcut, *text;
  } cases[] = {
      {"Select All", "Ctrl+A", "Select AllCtrl+AW"},
      {"Select All", "  Ctrl+A ", "Select AllCtrl+AW"},
      {"Backup", "", "Backup"},
      {"Backup", "   ", "Backup"},
      {"-", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(MenuMeasureText(c.caption, c.shortcut), c.text) << c.caption;
}

TEST(MenuPaintMeasure, WidthAndHeightAreRaisedNeverLowered) {
  struct Case {
    const char* name;
    TLkMenuMeasure m;
    int width_in, height_in, width, height;
  };
  auto item = [](std::string text, int w, int h) {
    TLkMenuMeasure m;
    m.Text = std::move(text);
    m.TextWidth = w;
    m.TextHeight = h;
    m.AmpersandWidth = 7;
    return m;
  };
  TLkMenuMeasure sep = item("", 0, 13);
  sep.Separator = true;
  TLkMenuMeasure amp = item("&Copy", 40, 13);
  TLkMenuMeasure pic = item("Protect", 40, 13);
  pic.PictureWidth = 16;
  pic.PictureHeight = 30;
  TLkMenuMeasure wide = item("Protect", 40, 13);
  wide.PictureWidth = 32;
  wide.PictureHeight = 32;
  TLkMenuMeasure bar = item("File", 20, 13);
  bar.MainMenuTopLevel = true;
  TLkMenuMeasure half = item("Big", 20, 14);  // 0.75 x 14 = 10.5 rounds to 10
  const Case cases[] = {
      {"text: width + icon column + 10, height + 3/4", item("Backup", 40, 13), 0, 0, 74, 23},
      {"the platform's larger values stay", item("Backup", 40, 13), 100, 30, 100, 30},
      {"one ampersand is not drawn", amp, 0, 0, 40 - 7 + 24 + 10, 23},
      {"a tall picture sets the height", pic, 0, 0, 74, 34},
      {"a picture wider than the column", wide, 0, 0, 40 + 32 + 10, 36},
      {"a bar item needs no icon column", bar, 0, 0, 30, 23},
      {"rounding is half to even", half, 0, 0, 54, 24},
      {"a separator is 4 high whatever the font", sep, 0, 40, 34, 4},
  };
  for (const Case& c : cases) {
    int w = c.width_in, h = c.height_in;
    MenuMeasureItem(c.m, w, h);
    EXPECT_EQ(w, c.width) << c.name;
    EXPECT_EQ(h, c.height) << c.name;
  }
}

TEST(MenuPaintLayout, ColumnMarkBoxAndTextRectangle) {
  struct Case {
    const char* name;
    TLkMenuItemLook look;
    TLkRect column, mark, text;
  };
  TLkMenuItemLook plain = Popup("Copy", {0, 40, 150, 62});
  TLkMenuItemLook pic = plain;
  pic.HasPicture = true;
  pic.PictureWidth = pic.PictureHeight = 16;
  TLkMenuItemLook rtl = plain;
  rtl.RightToLeft = true;
  TLkMenuItemLook wide = pic;
  wide.PictureWidth = 30;
  TLkMenuItemLook wide_rtl = wide;
  wide_rtl.RightToLeft = true;
  TLkMenuItemLook bar = Popup("File", {10, 0, 40, 19});
  bar.BarItem = true;
  TLkMenuItemLook bar_pic = bar;
  bar_pic.HasPicture = true;
  bar_pic.PictureWidth = 16;
  const Case cases[] = {
      // The rectangle is one pixel taller; a 10 x 10 box centred, rounding down.
      {"plain", plain, {0, 40, 24, 63}, {7, 46, 17, 56}, {24, 40, 150, 63}},
      {"with a picture the box is the column inset by 2", pic, {0, 40, 24, 63}, {2, 42, 22, 61}, {24, 40, 150, 63}},
      {"right to left", rtl, {126, 40, 150, 63}, {133, 46, 143, 56}, {0, 40, 126, 63}},
      {"a picture wider than the column", wide, {0, 40, 24, 63}, {2, 42, 22, 61}, {34, 40, 150, 63}},
      {"wider picture, right to left", wide_rtl, {126, 40, 150, 63}, {128, 42, 148, 61}, {0, 40, 116, 63}},
      {"bar item: the text takes the whole item", bar, {10, 0, 34, 20}, {17, 5, 27, 15}, {10, 0, 40, 20}},
      {"bar item with a picture: 5 further left", bar_pic, {10, 0, 34, 20}, {12, 2, 32, 18}, {29, 0, 40, 20}},
  };
  for (const Case& c : cases) {
    const TLkMenuLayout l = MenuItemLayout(c.look);
    EXPECT_EQ(l.IconColumn, c.column) << c.name;
    EXPECT_EQ(l.MarkBox, c.mark) << c.name;
    EXPECT_EQ(l.TextRect, c.text) << c.name;
  }
}

TEST(MenuPaintDraw, PopupItemBackgroundSelectionAndTextColour) {
  const TLkMenuColors colors = Colors();
  struct Case {
    const char* name;
    bool selected, enabled, draw_select;
    bool selection_drawn;
    TLkRgb text;
  };
  const Case cases[] = {
      {"normal", false, true, true, false, colors.FontColor},
      {"selected", true, true, true, true, colors.SelectFontColor},
      {"selected, DrawSelect off", true, true, false, false, colors.SelectFontColor},
      {"disabled and selected: no fill, grey text", true, false, true, false, colors.DisabledColor},
  };
  for (const Case& c : cases) {
    TLkMenuItemLook look = Popup("Backup");
    look.Selected = c.selected;
    look.Enabled = c.enabled;
    look.DrawSelect = c.draw_select;
    const auto steps = MenuDrawSteps(look, colors);
    ASSERT_GE(steps.size(), 2u) << c.name;
    // Background first, then the icon column over it.
    EXPECT_EQ(steps[0].Kind, K::Fill);
    EXPECT_EQ(steps[0].Rect, (TLkRect{0, 0, 150, 23})) << c.name;
    EXPECT_EQ(steps[0].Brush, colors.Color);
    EXPECT_EQ(steps[1].Rect, (TLkRect{0, 0, 24, 23})) << c.name;
    EXPECT_EQ(steps[1].Brush, colors.IconBackColor);
    const auto frames = Of(steps, K::RoundRect);
    EXPECT_EQ(frames.size(), c.selection_drawn ? 1u : 0u) << c.name;
    if (c.selection_drawn) {
      EXPECT_EQ(steps[2].Kind, K::Fill);
      EXPECT_EQ(steps[2].Rect, (TLkRect{0, 1, 150, 22}));
      EXPECT_EQ(steps[2].Brush, colors.SelectColor);
      EXPECT_EQ(frames[0].Rect, (TLkRect{0, 1, 150, 22}));
      EXPECT_EQ(frames[0].Pen, colors.SelecBorderColor);
      EXPECT_TRUE(frames[0].ClearBrush);
      EXPECT_EQ(frames[0].CornerW, 3);
    }
    const auto texts = Of(steps, K::Text);
    ASSERT_EQ(texts.size(), 1u) << c.name;
    EXPECT_EQ(texts[0].Text, " Backup");
    EXPECT_EQ(texts[0].Pen, c.text) << c.name;
  }
}

TEST(MenuPaintDraw, TextIsCentredOnTheLetterHeightWithTheShortcutRightAligned) {
  TLkMenuItemLook look = Popup("Select All");
  look.ShortCutText = "Ctrl+A";
  const auto texts = Of(MenuDrawSteps(look, Colors()), K::Text);
  ASSERT_EQ(texts.size(), 2u);
  // Text rectangle 24..150 x 0..23; top + (23 - 13) / 2; left + 5.
  EXPECT_EQ(texts[0].Rect, (TLkRect{29, 5, 150, 23}));
  EXPECT_FALSE(texts[0].Right);
  EXPECT_EQ(texts[1].Text, "Ctrl+A ");
  EXPECT_EQ(texts[1].Rect, texts[0].Rect);
  EXPECT_TRUE(texts[1].Right);

  look.RightToLeft = true;
  const auto rtl = Of(MenuDrawSteps(look, Colors()), K::Text);
  ASSERT_EQ(rtl.size(), 2u);
  EXPECT_EQ(rtl[0].Rect, (TLkRect{0, 5, 121, 23}));
  EXPECT_TRUE(rtl[0].Right);
  EXPECT_TRUE(rtl[0].RtlReading);
  EXPECT_FALSE(rtl[1].Right);
}

TEST(MenuPaintDraw, AnEnabledDefaultItemIsEngraved) {
  TLkMenuItemLook look = Popup("Execute");
  look.Default = true;
  const auto texts = Of(MenuDrawSteps(look, Colors()), K::Text);
  ASSERT_EQ(texts.size(), 4u);
  const TLkRect t{29, 5, 150, 23};
  const struct {
    int dx, dy;
    TLkRgb color;
  } expect[] = {{1, 2, 0xC0C0C0}, {0, 1, 0xC0C0C0}, {1, 1, 0x808080}, {0, 0, 0}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(texts[i].Rect, (TLkRect{t.Left + expect[i].dx, t.Top + expect[i].dy, t.Right + expect[i].dx,
                                      t.Bottom + expect[i].dy}))
        << i;
    EXPECT_EQ(texts[i].Pen, expect[i].color) << i;
    EXPECT_EQ(texts[i].Text, " Execute");
  }
  look.Enabled = false;
  EXPECT_EQ(Of(MenuDrawSteps(look, Colors()), K::Text).size(), 1u);
}

TEST(MenuPaintDraw, SeparatorIsOneLineAcrossTheTextArea) {
  const struct {
    const char* name;
    TLkRect rect;
    bool rtl;
    TLkMenuPoint from, to;
  } cases[] = {
      // Height 4 + 1: the middle rounds half to even, 2.5 -> 2.
      {"left to right", {0, 60, 150, 64}, false, {31, 62}, {150, 62}},
      {"right to left", {0, 60, 150, 64}, true, {0, 62}, {119, 62}},
      {"a taller item", {0, 10, 150, 15}, false, {31, 13}, {150, 13}},
  };
  for (const auto& c : cases) {
    TLkMenuItemLook look = Popup("-", c.rect);
    look.RightToLeft = c.rtl;
    const auto steps = MenuDrawSteps(look, Colors());
    EXPECT_TRUE(Of(steps, K::Text).empty()) << c.name;
    const auto lines = Of(steps, K::Line);
    ASSERT_EQ(lines.size(), 1u) << c.name;
    EXPECT_EQ(lines[0].Pen, Colors().SeparatorColor);
    EXPECT_EQ(lines[0].Points, (std::vector<TLkMenuPoint>{c.from, c.to})) << c.name;
  }
}

TEST(MenuPaintDraw, CheckAndRadioMarks) {
  const TLkMenuColors colors = Colors();
  TLkMenuItemLook check = Popup("Log");
  check.Checked = true;
  auto steps = MenuDrawSteps(check, colors);
  auto boxes = Of(steps, K::Rectangle);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Rect, (TLkRect{7, 6, 17, 16}));
  EXPECT_EQ(boxes[0].Pen, colors.CheckedColor);
  EXPECT_EQ(boxes[0].Brush, colors.Color);
  const auto strokes = Of(steps, K::Line);
  ASSERT_EQ(strokes.size(), 5u);
  const std::vector<std::vector<TLkMenuPoint>> expect = {
      {{8, 11}, {11, 14}}, {{9, 11}, {11, 13}}, {{9, 10}, {12, 13}},
      {{11, 13}, {19, 5}},  // the long stroke: two right of and one above the box
      {{11, 14}, {15, 9}}};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(strokes[i].Points, expect[i]) << i;

  TLkMenuItemLook with_picture = check;
  with_picture.HasPicture = true;
  with_picture.PictureWidth = with_picture.PictureHeight = 16;
  steps = MenuDrawSteps(with_picture, colors);
  EXPECT_EQ(Of(steps, K::Rectangle).size(), 1u);
  EXPECT_TRUE(Of(steps, K::Line).empty());

  TLkMenuItemLook radio = check;
  radio.RadioItem = true;
  steps = MenuDrawSteps(radio, colors);
  ASSERT_EQ(Of(steps, K::Ellipse).size(), 1u);
  EXPECT_EQ(Of(steps, K::Ellipse)[0].Rect, (TLkRect{7, 6, 17, 16}));
  EXPECT_TRUE(Of(steps, K::Rectangle).empty());

  TLkMenuItemLook radio_picture = with_picture;
  radio_picture.RadioItem = true;
  steps = MenuDrawSteps(radio_picture, colors);
  const auto round = Of(steps, K::RoundRect);
  ASSERT_EQ(round.size(), 1u);
  EXPECT_EQ(round[0].CornerW, 6);
  EXPECT_FALSE(round[0].ClearBrush);

  TLkMenuItemLook unchecked = Popup("Log");
  EXPECT_TRUE(Of(MenuDrawSteps(unchecked, colors), K::Line).empty());
}

TEST(MenuPaintDraw, PicturePlace) {
  const struct {
    const char* name;
    int width;
    bool selected, enabled, rtl, bar;
    TLkMenuPoint at;
  } cases[] = {
      {"centred in the column", 16, false, true, false, false, {4, 3}},
      {"selected: one pixel up and left", 16, true, true, false, false, {3, 2}},
      {"selected but disabled stays", 16, true, false, false, false, {4, 3}},
      {"wider than the column: 2 from its left", 30, false, true, false, false, {2, 3}},
      {"wider, right to left: 2 from its right", 30, false, true, true, false, {118, 3}},
  };
  for (const auto& c : cases) {
    TLkMenuItemLook look = Popup("Protect", {0, 0, 150, 22});
    look.HasPicture = true;
    look.PictureWidth = c.width;
    look.PictureHeight = 16;
    look.Selected = c.selected;
    look.Enabled = c.enabled;
    look.RightToLeft = c.rtl;
    const auto pics = Of(MenuDrawSteps(look, Colors()), K::Picture);
    ASSERT_EQ(pics.size(), 1u) << c.name;
    EXPECT_EQ(pics[0].Points[0], c.at) << c.name;
  }
}

TEST(MenuPaintDraw, MenuBarItems) {
  const TLkMenuColors colors = Colors();
  TLkMenuItemLook bar = Popup("File", {10, 0, 50, 19});
  bar.BarItem = true;
  bar.FormClientWidth = 400;
  auto steps = MenuDrawSteps(bar, colors);
  ASSERT_FALSE(steps.empty());
  EXPECT_EQ(steps[0].Rect, (TLkRect{10, 0, 50, 20}));
  EXPECT_EQ(steps[0].Brush, colors.MenuBarColor);
  EXPECT_TRUE(Of(steps, K::Rectangle).empty());  // no icon column, nothing more

  bar.LastBarItem = true;
  steps = MenuDrawSteps(bar, colors);
  ASSERT_EQ(Of(steps, K::Rectangle).size(), 1u);
  EXPECT_EQ(Of(steps, K::Rectangle)[0].Rect, (TLkRect{10, 0, 405, 20}));  // the rest of the bar

  bar.LastBarItem = false;
  bar.Selected = true;
  steps = MenuDrawSteps(bar, colors);
  const auto lines = Of(steps, K::Line);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0].Pen, 0x606060);
  EXPECT_EQ(lines[0].Points, (std::vector<TLkMenuPoint>{{10, 19}, {10, 0}, {42, 0}, {42, 20}}));
  const auto shadow = Of(steps, K::Rectangle);
  ASSERT_EQ(shadow.size(), 4u);
  const struct {
    TLkRect r;
    int amount;
  } expect[] = {{{43, 1, 50, 20}, 10}, {{43, 3, 48, 20}, 30}, {{43, 5, 47, 20}, 40}, {{43, 6, 45, 20}, 60}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(shadow[i].Rect, expect[i].r) << i;
    EXPECT_EQ(shadow[i].Brush, MenuDarken(colors.MenuBarColor, expect[i].amount)) << i;
    EXPECT_EQ(shadow[i].Pen, shadow[i].Brush) << i;
  }
  EXPECT_EQ(lines[5].Pen, MenuDarken(colors.MenuBarColor, 40));
  EXPECT_EQ(lines[5].Points, (std::vector<TLkMenuPoint>{{44, 5}, {44, 7}}));
  // The text of a bar item is not moved when selected, and takes the select colour.
  const auto texts = Of(steps, K::Text);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].Pen, colors.SelectFontColor);
  EXPECT_EQ(texts[0].Rect, (TLkRect{15, 3, 50, 20}));

  TLkMenuItemLook rtl = bar;
  rtl.Selected = false;
  rtl.RightToLeft = true;
  steps = MenuDrawSteps(rtl, colors);
  ASSERT_EQ(Of(steps, K::Rectangle).size(), 1u);
  EXPECT_EQ(Of(steps, K::Rectangle)[0].Rect, (TLkRect{10, 0, 57, 20}));
  rtl.LastBarItem = true;
  steps = MenuDrawSteps(rtl, colors);
  EXPECT_EQ(Of(steps, K::Rectangle)[0].Rect, (TLkRect{3, 0, 50, 20}));
}

}  // namespace
