// The glyph speed button's rules: images per state, the glyph count of a
// strip, the layout of glyph, caption and mark, the frames, and presses in
// groups.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/core/speedbuttonrules.h"

namespace {

using S = TButtonState;
using K = TGlyphImageKind;

// A font of 6 x 13 pixel characters; lines break at CR LF, LF or CR, and
// word wrapping breaks at blanks.
TTextMetrics FixedMetrics() {
  TTextMetrics m;
  m.LineWidth = [](const std::string& s) { return static_cast<int>(s.size()) * 6; };
  m.Measure = [](const std::string& text, int width, bool wrap) {
    std::vector<std::string> lines{""};
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' || text[i] == '\n') {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        lines.emplace_back();
      } else if (wrap && text[i] == ' ' && static_cast<int>(lines.back().size() + 1) * 6 > width / 2) {
        lines.emplace_back();
      } else {
        lines.back() += text[i];
      }
    }
    int w = 0;
    for (const auto& l : lines) w = std::max(w, static_cast<int>(l.size()) * 6);
    return TLkPoint{w, static_cast<int>(lines.size()) * 13};
  };
  return m;
}

TEST(SpeedButtonGlyph, NumGlyphsFromTheStrip) {
  struct Row {
    int width, height, current, expected;
  };
  const Row rows[] = {
      {80, 16, 1, 5},  // five images
      {96, 16, 1, 1},  // six is more than five: one image
      {40, 16, 3, 3},  // not a whole multiple: unchanged
      {48, 16, 1, 3},  {16, 16, 4, 1},
      {0, 16, 2, 2},   // an empty strip never gives 0 (the layout divides by it)
      {8, 16, 3, 3},   // narrower than high: unchanged
      {32, 0, 2, 2},
  };
  for (const Row& r : rows)
    EXPECT_EQ(NumGlyphsForBitmap(r.width, r.height, r.current), r.expected) << r.width << "x" << r.height;
  EXPECT_EQ(ClampNumGlyphs(9), 5);
  EXPECT_EQ(ClampNumGlyphs(0), 1);
}

TEST(SpeedButtonGlyph, ImagePerStateAndImageCount) {
  struct Row {
    S state;
    int images;
    TGlyphImagePlan plan;
  };
  const Row rows[] = {
      // One image: pressed shows Up, disabled is generated, inactive is grey.
      {S::bsUp, 1, {K::gikSection, S::bsUp, 0}},
      {S::bsDown, 1, {K::gikSection, S::bsUp, 0}},
      {S::bsDisabled, 1, {K::gikDisabled, S::bsDisabled, 0}},
      {S::bsExclusive, 1, {K::gikSection, S::bsExclusive, 0}},
      {S::bsInactive, 1, {K::gikGrayed, S::bsInactive, 0}},
      // Two: image 1 when disabled, grey when inactive.
      {S::bsDisabled, 2, {K::gikSection, S::bsDisabled, 1}},
      {S::bsInactive, 2, {K::gikGrayed, S::bsInactive, 0}},
      {S::bsDown, 2, {K::gikSection, S::bsUp, 0}},
      // Three: its own pressed image; latched falls back to image 0.
      {S::bsDown, 3, {K::gikSection, S::bsDown, 2}},
      {S::bsExclusive, 3, {K::gikSection, S::bsExclusive, 0}},
      {S::bsExclusive, 4, {K::gikSection, S::bsExclusive, 3}},
      {S::bsInactive, 4, {K::gikGrayed, S::bsInactive, 0}},
      {S::bsInactive, 5, {K::gikSection, S::bsInactive, 4}},
  };
  for (const Row& r : rows)
    EXPECT_EQ(PlanGlyphImage(r.state, r.images, 16 * r.images, 16), r.plan)
        << "state " << int(r.state) << ", " << r.images << " image(s)";
  // No picture from an empty bitmap or one too narrow for its images.
  EXPECT_EQ(PlanGlyphImage(S::bsUp, 1, 0, 16).Kind, K::gikNone);
  EXPECT_EQ(PlanGlyphImage(S::bsUp, 5, 4, 16).Kind, K::gikNone);
}

TEST(SpeedButtonGlyph, GreyOfTheInactivePicture) {
  const uint32_t fuchsia = 0xFF00FF, face = 0xC0C0C0;
  EXPECT_EQ(GrayGlyphPixel(0x0000FF, fuchsia, face), 0x4C4C4Cu);  // red: 77 * 255 / 256
  EXPECT_EQ(GrayGlyphPixel(0x00FF00, fuchsia, face), 0x959595u);  // green: 150 * 255 / 256
  EXPECT_EQ(GrayGlyphPixel(0xFFFFFF, fuchsia, face), 0xFFFFFFu);
  EXPECT_EQ(GrayGlyphPixel(fuchsia, fuchsia, face), fuchsia);      // the transparent colour stays
  EXPECT_EQ(GrayGlyphPixel(face, fuchsia, face), face);            // and the face colour
}

struct LayoutCase {
  const char* name;
  TLkRect client;
  int glyph;  // square glyph side, 0: none
  const char* caption;
  TButtonLayout layout;
  int margin, spacing;
  bool mark;
  TLkPoint glyphPos;
  TLkRect text;
  TLkPoint markPos;
};
void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class SpeedButtonLayout : public ::testing::TestWithParam<LayoutCase> {};

// Client 60 x 40, a 16 x 16 glyph, "Go" measures 12 x 13.
TEST_P(SpeedButtonLayout, PlacesGlyphCaptionAndMark) {
  const LayoutCase& c = GetParam();
  TGlyphLayoutInput in;
  in.Client = c.client;
  in.GlyphWidth = in.GlyphHeight = c.glyph;
  in.Caption = c.caption;
  in.Layout = c.layout;
  in.Margin = c.margin;
  in.Spacing = c.spacing;
  in.DrawMark = c.mark;
  const TGlyphLayout out = LayoutGlyph(in, FixedMetrics());
  EXPECT_EQ(out.GlyphPos, c.glyphPos);
  EXPECT_EQ(out.TextBounds, c.text);
  if (c.mark) {
    EXPECT_EQ(out.MarkPos, c.markPos);
  }
}

using L = TButtonLayout;
INSTANTIATE_TEST_SUITE_P(
    Cases, SpeedButtonLayout,
    ::testing::Values(
        // margin -1 centres glyph + spacing + caption: 30 - (16 + 1 + 12) / 2 = 16
        LayoutCase{"LeftCentred", {0, 0, 60, 40}, 16, "Go", L::blGlyphLeft, -1, 1, false, {16, 12}, {33, 14, 45, 27}, {}},
        LayoutCase{"RightMargin4Spacing2", {0, 0, 60, 40}, 16, "Go", L::blGlyphRight, 4, 2, false, {40, 12},
                   {26, 14, 38, 27}, {}},
        // both -1: three equal parts of 40 - 16 - 13
        LayoutCase{"TopThreeParts", {0, 0, 60, 40}, 16, "Go", L::blGlyphTop, -1, -1, false, {22, 3}, {24, 22, 36, 35}, {}},
        // spacing -1: (40 - 2 - 16) / 2 - 13 / 2 = 5
        LayoutCase{"BottomSpacingCentred", {0, 0, 60, 40}, 16, "Go", L::blGlyphBottom, 2, -1, false, {22, 22},
                   {24, 4, 36, 17}, {}},
        // no caption: the spacing counts as 0
        LayoutCase{"GlyphOnly", {0, 0, 60, 40}, 16, "", L::blGlyphLeft, -1, 1, false, {22, 12}, {38, 20, 38, 20}, {}},
        LayoutCase{"CaptionOnly", {0, 0, 60, 40}, 0, "Go", L::blGlyphTop, -1, 1, false, {30, 14}, {24, 14, 36, 27}, {}},
        LayoutCase{"ShiftedByTheClientOrigin", {2, 3, 62, 43}, 16, "Go", L::blGlyphLeft, -1, 1, false, {18, 15},
                   {35, 17, 47, 30}, {}},
        // the mark's room beside the glyph (6) or beside the caption (9)
        LayoutCase{"MarkBesideGlyph", {0, 0, 60, 40}, 16, "Go", L::blGlyphTop, -1, 1, true, {19, 5}, {24, 22, 36, 35},
                   {36, 13}},
        LayoutCase{"MarkBesideCaption", {0, 0, 60, 40}, 16, "Go", L::blGlyphLeft, -1, 1, true, {11, 12},
                   {28, 14, 40, 27}, {43, 20}},
        LayoutCase{"MarkAloneInTheMiddle", {0, 0, 25, 25}, 0, "", L::blGlyphTop, -1, 1, true, {12, 12},
                   {8, 12, 8, 12}, {9, 12}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SpeedButtonLayoutText, LongCaptionsAreShortenedLineByLine) {
  TGlyphLayoutInput in;
  in.Client = {0, 0, 60, 40};
  in.Layout = L::blGlyphTop;
  in.Caption = "Browse for a folder";  // 114 pixels in a room of 60
  EXPECT_EQ(LayoutGlyph(in, FixedMetrics()).Text, "Browse ...");
  in.Caption = "Open\r\nfolder now please";
  EXPECT_EQ(LayoutGlyph(in, FixedMetrics()).Text, "Open\r\nfolder ...");
  // Word-wrapped captions are not shortened; their size is clipped to the room.
  in.WordWrap = true;
  in.Caption = "Browse for a folder";
  const TGlyphLayout out = LayoutGlyph(in, FixedMetrics());
  EXPECT_EQ(out.Text, in.Caption);
  EXPECT_LE(out.TextBounds.Width(), 60);
  // 255 characters at most.
  in.WordWrap = false;
  in.Client = {0, 0, 4000, 40};
  in.Caption = std::string(300, 'x');
  EXPECT_EQ(LayoutGlyph(in, FixedMetrics()).Text.size(), 255u);
}

TEST(SpeedButtonMark, TriangleRowsAndMenuPoint) {
  TMarkRow rows[4];
  DropDownMarkRows({10, 20}, rows);
  const TMarkRow expected[] = {{10, 19, 7}, {11, 20, 5}, {12, 21, 3}, {13, 22, 1}};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(rows[i], expected[i]) << i;

  using P = TLkDropDownMenuPos;
  using A = TLkMenuAlignment;
  struct Row {
    P pos;
    A align;
    TLkPoint at;
  };
  const Row points[] = {{P::dmpBottom, A::maLeft, {-1, 25}},  {P::dmpBottom, A::maRight, {41, 25}},
                        {P::dmpBottom, A::maCenter, {20, 25}}, {P::dmpRight, A::maLeft, {40, -1}},
                        {P::dmpRight, A::maRight, {-1, -1}},   {P::dmpRight, A::maCenter, {20, 25}}};
  for (const Row& r : points) EXPECT_EQ(DropDownMenuPoint(r.pos, r.align, 40, 25), r.at);
}

TEST(SpeedButtonKeys, CaptionAccelerators) {
  const std::pair<const char*, char> rows[] = {
      {"&Browse", 'B'}, {"Save && &Quit", 'Q'}, {"A&&B", 0}, {"&", 0}, {"x&", 0}, {"", 0}, {"&1 C:\\x", '1'}};
  for (auto [caption, accel] : rows) EXPECT_EQ(CaptionAccelerator(caption), accel) << caption;
  EXPECT_TRUE(IsCaptionAccelerator('b', "&Browse"));
  EXPECT_FALSE(IsCaptionAccelerator('r', "&Browse"));
  EXPECT_FALSE(IsCaptionAccelerator('&', "A&&B"));
}

TEST(SpeedButtonFace, FramesPerStateStyleAndFlatness) {
  using C = TFrameColor;
  struct Row {
    const char* name;
    S state, paint;
    bool newFrames, flat;
    std::vector<TFrameRing> rings;
    int shrink;
    bool checker;
    int shift;
  };
  const Row rows[] = {
      {"UpNew", S::bsUp, S::bsUp, true, false, {{C::fcHighlight, C::fcWindowFrame}, {C::fcFace, C::fcShadow}}, 3, false, 0},
      {"UpOld", S::bsUp, S::bsUp, false, false, {{C::fcWindowFrame, C::fcWindowFrame}, {C::fcHighlight, C::fcShadow}}, 3, false, 0},
      {"DownNew", S::bsDown, S::bsDown, true, false, {{C::fcWindowFrame, C::fcHighlight}, {C::fcShadow, C::fcFace}}, 3, false, 1},
      {"DownOld", S::bsDown, S::bsDown, false, false, {{C::fcWindowFrame, C::fcWindowFrame}, {C::fcShadow, C::fcNone}}, 3, false, 1},
      {"LatchedNew", S::bsExclusive, S::bsExclusive, true, false, {{C::fcWindowFrame, C::fcHighlight}, {C::fcShadow, C::fcFace}}, 3, true, 1},
      {"FlatHoverNew", S::bsUp, S::bsUp, true, true, {{C::fcHighlight, C::fcShadow}}, 2, false, 0},
      {"FlatHoverOld", S::bsUp, S::bsUp, false, true, {{C::fcHighlight, C::fcWindowFrame}}, 2, false, 0},
      {"FlatPressed", S::bsDown, S::bsDown, true, true, {{C::fcWindowFrame, C::fcHighlight}}, 2, false, 1},
      // A flat button away from the mouse: no frame; latched, it keeps its frame and pattern.
      {"FlatAway", S::bsUp, S::bsInactive, true, true, {}, 2, false, 0},
      {"FlatAwayLatched", S::bsExclusive, S::bsInactive, true, true, {{C::fcWindowFrame, C::fcHighlight}}, 2, true, 1},
      {"FlatHoverLatched", S::bsExclusive, S::bsExclusive, true, true, {{C::fcWindowFrame, C::fcHighlight}}, 2, false, 1},
  };
  for (const Row& r : rows) {
    const TFacePlan p = PlanFace(r.state, r.paint, r.newFrames, r.flat, false);
    ASSERT_EQ(p.RingCount, static_cast<int>(r.rings.size())) << r.name;
    for (int i = 0; i < p.RingCount; ++i) EXPECT_EQ(p.Rings[i], r.rings[i]) << r.name << " ring " << i;
    EXPECT_EQ(p.Shrink, r.shrink) << r.name;
    EXPECT_EQ(p.Checkerboard, r.checker) << r.name;
    EXPECT_EQ(p.ContentShift, r.shift) << r.name;
  }
  // A transparent button shows its parent, not the pattern.
  EXPECT_FALSE(PlanFace(S::bsExclusive, S::bsExclusive, true, false, true).Checkerboard);
}

TEST(SpeedButtonFace, PaintAndGlyphStates) {
  EXPECT_EQ(PaintStateOf(S::bsUp, true, false, false), S::bsInactive);
  EXPECT_EQ(PaintStateOf(S::bsUp, true, true, false), S::bsUp);
  EXPECT_EQ(PaintStateOf(S::bsUp, true, false, true), S::bsUp);  // at design time
  EXPECT_EQ(PaintStateOf(S::bsDown, false, false, false), S::bsDown);
  EXPECT_EQ(GlyphStateOf(S::bsUp, S::bsInactive, true), S::bsInactive);
  EXPECT_EQ(GlyphStateOf(S::bsUp, S::bsInactive, false), S::bsUp);
  EXPECT_EQ(GlyphStateOf(S::bsDisabled, S::bsInactive, true), S::bsDisabled);
  EXPECT_TRUE(UsesNewFrames(TButtonStyle::bsAutoDetect, true));
  EXPECT_FALSE(UsesNewFrames(TButtonStyle::bsAutoDetect, false));
  EXPECT_TRUE(UsesNewFrames(TButtonStyle::bsNew, false));
  EXPECT_FALSE(UsesNewFrames(TButtonStyle::bsWin31, true));
}

// Buttons of one parent: each notice reaches every other button.
struct Group {
  std::vector<TSpeedButtonModel> buttons;
  explicit Group(int n, int index, bool allowAllUp) : buttons(n) {
    for (auto& b : buttons) {
      b.GroupIndex = index;
      b.AllowAllUp = allowAllUp;
    }
  }
  void Notify(int sender) {
    for (int i = 0; i < static_cast<int>(buttons.size()); ++i)
      if (i != sender)
        buttons[i].GroupNotice(buttons[sender].GroupIndex, buttons[sender].Down, buttons[sender].AllowAllUp);
  }
  // A press released at a point inside or outside; answers whether it clicked.
  bool Press(int i, bool inside = true) {
    buttons[i].BeginPress();
    buttons[i].TrackMove(inside);
    const auto end = buttons[i].EndPress(inside, false);
    if (end.NotifyGroup) Notify(i);
    return end.Click;
  }
  std::string Downs() const {
    std::string s;
    for (const auto& b : buttons) s += b.Down ? 'D' : '-';
    return s;
  }
};

TEST(SpeedButtonGroup, WithoutAllowAllUpOneButtonStaysDown) {
  Group g(3, 1, false);
  EXPECT_TRUE(g.Press(0));
  EXPECT_EQ(g.Downs(), "D--");
  EXPECT_EQ(g.buttons[0].State, S::bsExclusive);
  EXPECT_TRUE(g.Press(2));
  EXPECT_EQ(g.Downs(), "--D");
  EXPECT_EQ(g.buttons[0].State, S::bsUp);
  // Clicking the down button again clicks but does not release it.
  EXPECT_TRUE(g.Press(2));
  EXPECT_EQ(g.Downs(), "--D");
  EXPECT_EQ(g.buttons[2].State, S::bsExclusive);
  bool notify = false;
  EXPECT_FALSE(g.buttons[2].SetDown(false, notify));
  EXPECT_TRUE(g.buttons[2].Down);
}

TEST(SpeedButtonGroup, WithAllowAllUpTheDownButtonIsReleased) {
  Group g(2, 4, true);
  g.Press(1);
  EXPECT_EQ(g.Downs(), "-D");
  g.Press(1);
  EXPECT_EQ(g.Downs(), "--");
  EXPECT_EQ(g.buttons[1].State, S::bsUp);
  // A sibling's notice hands its AllowAllUp on; another group's is ignored.
  g.buttons[0].GroupNotice(4, false, false);
  EXPECT_FALSE(g.buttons[0].AllowAllUp);
  g.buttons[1].Down = true;
  EXPECT_FALSE(g.buttons[1].GroupNotice(5, true, true));
  EXPECT_TRUE(g.buttons[1].Down);
}

TEST(SpeedButtonPress, ReleaseOutsideGivesNoClick) {
  TSpeedButtonModel b;
  b.BeginPress();
  EXPECT_EQ(b.State, S::bsDown);
  EXPECT_TRUE(b.TrackMove(false));
  EXPECT_EQ(b.State, S::bsUp);
  EXPECT_TRUE(b.TrackMove(true));
  EXPECT_FALSE(b.TrackMove(true));  // no change, no repaint
  const auto end = b.EndPress(false, false);
  EXPECT_FALSE(end.Click);
  EXPECT_EQ(b.State, S::bsUp);
  b.BeginPress();
  EXPECT_TRUE(b.EndPress(true, false).Click);
  // A press that showed the drop-down menu is no click.
  b.BeginPress();
  EXPECT_FALSE(b.EndPress(true, true).Click);
  // An ungrouped button cannot be set down.
  bool notify = true;
  EXPECT_FALSE(b.SetDown(true, notify));
  EXPECT_FALSE(b.Down);
  EXPECT_FALSE(notify);
  EXPECT_TRUE(InsideButton(0, 25, 25, 25));  // the bottom edge counts as inside
  EXPECT_FALSE(InsideButton(25, 0, 25, 25));
}

TEST(SpeedButtonPress, EnablingComesBackToTheLatchedState) {
  TSpeedButtonModel b;
  b.GroupIndex = 1;
  bool notify = false;
  ASSERT_TRUE(b.SetDown(true, notify));
  EXPECT_TRUE(notify);
  b.BeginPress();
  b.EnabledChanged(false);
  EXPECT_EQ(b.State, S::bsDisabled);
  EXPECT_FALSE(b.Dragging);
  b.EnabledChanged(true);
  EXPECT_EQ(b.State, S::bsExclusive);
  TSpeedButtonModel plain;
  plain.EnabledChanged(false);
  plain.EnabledChanged(true);
  EXPECT_EQ(plain.State, S::bsUp);
}

}  // namespace
