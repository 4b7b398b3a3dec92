// The glyph speed button on real windows under Wine: glyph counts and state
// pictures, clicks and groups through the mouse messages of its parent, the
// repeat timer, the accelerator and a change of the system's colours.
#include <gtest/gtest.h>

#include "controls/win/speedbutton.h"
#include "forms/win/extctrls.h"
#include "forms/win/forms.h"
#include "forms/win/timer.h"
#include "tests/forms/ui_test_util.h"

namespace {

// A strip of `images` squares of `side` pixels: image i filled with
// colours[i] inside a fuchsia ring of 2 pixels.
void MakeStrip(TBitmap& b, int images, int side, const std::vector<TColor>& colours) {
  b.SetSize(images * side, side);
  TCanvas* c = b.Canvas();
  c->Brush()->SetColor(clFuchsia);
  c->FillRect(TRect(0, 0, images * side, side));
  for (int i = 0; i < images; ++i) {
    c->Brush()->SetColor(colours[i % colours.size()]);
    c->FillRect(TRect(i * side + 2, 2, i * side + side - 2, side - 2));
  }
}

// The colour of pixel (x, y) of a glyph image, drawn on white.
COLORREF ImagePixel(TLkButtonGlyph* g, TButtonState state, int x, int y) {
  const int index = g->CreateButtonGlyph(state);
  if (index < 0 || !g->GlyphList()) return CLR_INVALID;
  TBitmap b;
  b.SetSize(g->GlyphList()->Width(), g->GlyphList()->Height());
  b.Canvas()->Brush()->SetColor(clWhite);
  b.Canvas()->FillRect(TRect(0, 0, b.Width(), b.Height()));
  g->GlyphList()->Draw(b.Canvas(), 0, 0, index);
  return GetPixel(b.Canvas()->Handle(), x, y);
}

class SpeedButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    form = new TForm(nullptr);
    form->SetClientSize(300, 120);
    panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(0, 0, 300, 120);
    form->Show();
  }
  void TearDown() override { TCustomForm::Free(form); }

  TLkSpeedButton* NewButton(int left, int group = 0) {
    auto* b = new TLkSpeedButton(form);
    b->SetParent(panel);
    b->SetBounds(left, 10, 40, 30);
    b->SetGroupIndex(group);
    b->OnClick = [this, b](TObject*) { clicks.push_back(b); };
    return b;
  }
  // A left click through the panel's mouse messages, at a point of the button.
  void ClickAt(TLkSpeedButton* b, int dx = 5, int dy = 5) {
    const LPARAM at = MAKELPARAM(b->Left() + dx, b->Top() + dy);
    SendMessageA(panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(panel->Handle(), WM_LBUTTONUP, 0, at);
  }

  TForm* form = nullptr;
  TPanel* panel = nullptr;
  std::vector<TLkSpeedButton*> clicks;
};

TEST_F(SpeedButtonTest, NumGlyphsFollowsTheBitmapsWidth) {
  TLkSpeedButton* b = NewButton(10);
  struct Row {
    int width, preset, expected;
  };
  const Row rows[] = {{80, 1, 5}, {96, 1, 1}, {40, 2, 2}, {32, 1, 2}};
  for (const Row& r : rows) {
    b->SetNumGlyphs(r.preset);
    TBitmap strip;
    strip.SetSize(r.width, 16);
    b->SetGlyph(&strip);
    EXPECT_EQ(b->NumGlyphs(), r.expected) << r.width << " x 16";
  }
  // The picture drawn in place of a glyph bitmap that someone changed.
  TBitmap* own = b->Glyph();
  own->SetSize(48, 16);
  EXPECT_EQ(b->NumGlyphs(), 3);
  b->SetNumGlyphs(9);
  EXPECT_EQ(b->NumGlyphs(), 5);
}

TEST_F(SpeedButtonTest, StatePicturesOfOneAndTwoImageGlyphs) {
  TLkSpeedButton* b = NewButton(10);
  TBitmap one;
  MakeStrip(one, 1, 16, {clRed});
  b->SetGlyph(&one);
  TLkButtonGlyph* g = b->ButtonGlyph();
  // Pressed shows the Up picture; the fuchsia ring is transparent.
  EXPECT_EQ(ImagePixel(g, TButtonState::bsUp, 8, 8), RGB(255, 0, 0));
  EXPECT_EQ(ImagePixel(g, TButtonState::bsUp, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(g->CreateButtonGlyph(TButtonState::bsDown), g->CreateButtonGlyph(TButtonState::bsUp));
  // Flat and away from the mouse: grey (77 * 255 / 256).
  EXPECT_EQ(ImagePixel(g, TButtonState::bsInactive, 8, 8), RGB(76, 76, 76));
  // Disabled: the generated picture, no red left.
  const COLORREF disabled = ImagePixel(g, TButtonState::bsDisabled, 8, 8);
  EXPECT_NE(disabled, RGB(255, 0, 0));
  EXPECT_NE(g->CreateButtonGlyph(TButtonState::bsDisabled), g->CreateButtonGlyph(TButtonState::bsUp));

  TBitmap two;
  MakeStrip(two, 2, 16, {clRed, clBlue});
  b->SetGlyph(&two);
  EXPECT_EQ(b->NumGlyphs(), 2);
  EXPECT_EQ(ImagePixel(g, TButtonState::bsDisabled, 8, 8), RGB(0, 0, 255));  // image 1
  EXPECT_EQ(ImagePixel(g, TButtonState::bsInactive, 8, 8), RGB(76, 76, 76));  // image 0 in grey
}

TEST_F(SpeedButtonTest, GlyphListsAreSharedAndSlotsReused) {
  TLkSpeedButton* a = NewButton(10);
  TLkSpeedButton* b = NewButton(60);
  TBitmap strip;
  MakeStrip(strip, 1, 16, {clRed});
  a->SetGlyph(&strip);
  b->SetGlyph(&strip);
  a->ButtonGlyph()->CreateButtonGlyph(TButtonState::bsUp);
  b->ButtonGlyph()->CreateButtonGlyph(TButtonState::bsUp);
  ASSERT_NE(a->ButtonGlyph()->GlyphList(), nullptr);
  EXPECT_EQ(a->ButtonGlyph()->GlyphList(), b->ButtonGlyph()->GlyphList());
  TGlyphList* list = a->ButtonGlyph()->GlyphList();
  EXPECT_EQ(list->UsedCount(), 2);
  const int freed = a->ButtonGlyph()->ImageIndex(TButtonState::bsUp);
  a->ButtonGlyph()->Invalidate();
  EXPECT_EQ(list->UsedCount(), 1);
  // The next image takes the freed slot.
  a->ButtonGlyph()->CreateButtonGlyph(TButtonState::bsInactive);
  EXPECT_EQ(a->ButtonGlyph()->ImageIndex(TButtonState::bsInactive), freed);
  EXPECT_EQ(ImagePixel(a->ButtonGlyph(), TButtonState::bsInactive, 8, 8), RGB(76, 76, 76));
  EXPECT_EQ(ImagePixel(b->ButtonGlyph(), TButtonState::bsUp, 8, 8), RGB(255, 0, 0));
}

TEST_F(SpeedButtonTest, AClickInsideClicksAndOutsideDoesNot) {
  TLkSpeedButton* b = NewButton(10);
  ClickAt(b);
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(b->State(), TButtonState::bsUp);
  // Pressed, dragged out and let go outside.
  SendMessageA(panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
  EXPECT_EQ(b->State(), TButtonState::bsDown);
  SendMessageA(panel->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 100));
  EXPECT_EQ(b->State(), TButtonState::bsUp);
  SendMessageA(panel->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(200, 100));
  EXPECT_EQ(clicks.size(), 1u);
  // The form takes the button's modal result.
  b->SetModalResult(mrCancel);
  ClickAt(b);
  EXPECT_EQ(form->ModalResult(), mrCancel);
  form->SetModalResult(mrNone);
}

TEST_F(SpeedButtonTest, AGroupWithoutAllowAllUpKeepsOneButtonDown) {
  TLkSpeedButton* a = NewButton(10, 3);
  TLkSpeedButton* b = NewButton(60, 3);
  TLkSpeedButton* c = NewButton(110, 3);
  TLkSpeedButton* other = NewButton(160, 4);
  other->SetDown(true);
  auto downs = [&] {
    std::string s;
    for (auto* x : {a, b, c, other}) s += x->Down() ? 'D' : '-';
    return s;
  };
  ClickAt(a);
  EXPECT_EQ(downs(), "D--D");
  ClickAt(c);
  EXPECT_EQ(downs(), "--DD");  // another group is left alone
  EXPECT_EQ(a->State(), TButtonState::bsUp);
  EXPECT_EQ(c->State(), TButtonState::bsExclusive);
  ClickAt(c);  // clicked again: still down
  EXPECT_EQ(downs(), "--DD");
  EXPECT_EQ(clicks.size(), 3u);
  c->SetDown(false);
  EXPECT_TRUE(c->Down());
  // AllowAllUp set on one button reaches the whole group.
  a->SetAllowAllUp(true);
  EXPECT_TRUE(c->AllowAllUp());
  ClickAt(c);
  EXPECT_EQ(downs(), "---D");
  // Down set in code releases the sibling too; an ungrouped button cannot be down.
  b->SetDown(true);
  a->SetDown(true);
  EXPECT_EQ(downs(), "D--D");
  TLkSpeedButton* plain = NewButton(210);
  plain->SetDown(true);
  EXPECT_FALSE(plain->Down());
}

TEST_F(SpeedButtonTest, TheRepeatTimerClicksWhileHeld) {
  TLkSpeedButton* b = NewButton(10);
  b->SetAllowTimer(true);
  b->SetInitPause(100);
  b->SetRepeatInterval(40);
  SendMessageA(panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
  ASSERT_TRUE(b->MouseCapture());
  ASSERT_NE(b->RepeatTimer(), nullptr);
  PumpFor(600);
  const size_t held = clicks.size();
  EXPECT_GE(held, 4u) << "repeated clicks while held";
  EXPECT_EQ(b->RepeatTimer()->Interval(), 40u);
  SendMessageA(panel->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(15, 15));
  EXPECT_EQ(clicks.size(), held + 1);  // the release is a click too
  PumpFor(300);
  EXPECT_EQ(clicks.size(), held + 1);  // and then no more
  b->SetAllowTimer(false);
  EXPECT_EQ(b->RepeatTimer(), nullptr);
}

TEST_F(SpeedButtonTest, TheCaptionsAcceleratorClicks) {
  TLkSpeedButton* b = NewButton(10);
  b->SetCaption("&Go");
  TLkSpeedButton* off = NewButton(60);
  off->SetCaption("&Halt");
  off->SetEnabled(false);
  EXPECT_TRUE(form->DispatchDialogChar('g'));
  EXPECT_EQ(clicks.size(), 1u);
  EXPECT_FALSE(form->DispatchDialogChar('h'));  // disabled
  EXPECT_FALSE(form->DispatchDialogChar('x'));
  // Alt+G as the message loop sees it.
  PostMessageA(panel->Handle(), WM_SYSCHAR, 'G', 1 << 29);
  PumpFor(100);
  EXPECT_EQ(clicks.size(), 2u);
}

TEST_F(SpeedButtonTest, NewSystemColoursDropTheStatePictures) {
  TLkSpeedButton* b = NewButton(10);
  TBitmap strip;
  MakeStrip(strip, 1, 16, {clRed});
  b->SetGlyph(&strip);
  b->ButtonGlyph()->CreateButtonGlyph(TButtonState::bsDisabled);
  ASSERT_GE(b->ButtonGlyph()->ImageIndex(TButtonState::bsDisabled), 0);
  SendMessageA(form->Handle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(b->ButtonGlyph()->ImageIndex(TButtonState::bsDisabled), -1);
}

TEST_F(SpeedButtonTest, LatchedAndFlatFaces) {
  TLkSpeedButton* b = NewButton(10, 1);
  b->SetDown(true);
  {
    // The latched face is the face/highlight checkerboard.
    WindowPixels px(panel);
    const COLORREF p1 = px.At(b->Left() + 8, b->Top() + 8), p2 = px.At(b->Left() + 9, b->Top() + 8);
    EXPECT_NE(p1, p2);
    EXPECT_TRUE((p1 == ColorToRGB(clBtnFace) && p2 == ColorToRGB(clBtnHighlight)) ||
                (p2 == ColorToRGB(clBtnFace) && p1 == ColorToRGB(clBtnHighlight)));
  }
  TLkSpeedButton* flat = NewButton(60);
  flat->SetFlat(true);
  WindowPixels px(panel);
  // Away from the mouse a flat button has no frame.
  EXPECT_EQ(px.At(flat->Left(), flat->Top() + 10), ColorToRGB(clBtnFace));
  EXPECT_EQ(px.At(flat->Left() + 10, flat->Top()), ColorToRGB(clBtnFace));
}

}  // namespace
