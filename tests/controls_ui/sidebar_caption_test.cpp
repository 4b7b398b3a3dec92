// The side bar when its handlers change the groups under a click, its
// group-change slide frame by frame, and the caption panel's button and
// caption in every paint.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "controls/win/captionpanel.h"
#include "controls/win/sidebar.h"
#include "forms/win/forms.h"
#include "tests/forms/ui_test_util.h"

namespace {

class OnAForm : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    form = new TForm(nullptr);
    form->SetClientSize(400, 360);
  }
  void TearDown() override { TCustomForm::Free(form); }
  TForm* form = nullptr;
  RecordingSeam seam;
};

// A handler run during a click may rebuild the bar's groups: the click then
// touches nothing that is gone (it used to index the old item position).
TEST_F(OnAForm, SideBarHandlersMayChangeTheGroupsUnderAClick) {
  struct Case {
    const char* name;
    // Installs the handler that changes the groups; `bar` has groups "A"
    // (three items) and "B" (one item), "A" open.
    std::function<void(TLkSideBar* bar)> install;
    int item_clicks, bar_item_clicks;
  };
  auto empty = [](TLkSideBar* b) { b->ClearGroups(); };
  auto shorter = [](TLkSideBar* b) {
    b->ClearGroups();
    b->AddItem(b->AddGroup("C"), "only", -1);
  };
  const Case cases[] = {
      {"nothing changes", [](TLkSideBar*) {}, 1, 1},
      {"OnChanging empties the groups", [&](TLkSideBar* b) { b->OnChanging = [b, empty](TObject*, bool&) { empty(b); }; },
       0, 0},
      {"OnChanging leaves a shorter group",
       [&](TLkSideBar* b) { b->OnChanging = [b, shorter](TObject*, bool&) { shorter(b); }; }, 0, 0},
      {"OnChanging opens the other group",
       [](TLkSideBar* b) {
         b->OnChanging = [b](TObject*, bool&) {
           b->SetSmoothScrolling(false);
           b->SetSelectedButton(1);
         };
       },
       0, 0},
      {"OnChange of the selection empties the groups",
       [&](TLkSideBar* b) { b->OnChange = [b, empty](TObject*) { empty(b); }; }, 0, 1},
      {"the item's own click empties the groups",
       [&](TLkSideBar* b) { b->SetItemOnClick(0, 2, [b, empty](TObject*) { empty(b); }); }, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto* bar = new TLkSideBar(form);
    bar->SetParent(form);
    bar->SetBounds(0, 0, 115, 360);
    const int a = bar->AddGroup("A");
    for (const char* caption : {"one", "two", "three"}) bar->AddItem(a, caption, -1);
    bar->AddItem(bar->AddGroup("B"), "four", -1);
    int item_clicks = 0, bar_item_clicks = 0;
    bar->SetItemOnClick(a, 2, [&item_clicks](TObject*) { ++item_clicks; });
    bar->OnItemClick = [&bar_item_clicks](TObject*) { ++bar_item_clicks; };
    c.install(bar);
    form->Show();
    bar->Repaint();
    const TLkRect r = bar->Item(a, 2).ImageRect;
    ASSERT_FALSE(r.Empty());
    bar->ClickAt((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    EXPECT_EQ(item_clicks, c.item_clicks);
    EXPECT_EQ(bar_item_clicks, c.bar_item_clicks);
    EXPECT_TRUE(seam.boxes.empty()) << seam.boxes[0].text;
    bar->Repaint();  // and it still paints
    delete bar;
  }
}

// Records each step of the slide painted onto a copy of the bar's picture.
class SlideRecorder : public TLkSideBar {
 public:
  using TLkSideBar::TLkSideBar;
  HDC picture = nullptr;
  int column = 0;
  std::vector<std::vector<COLORREF>> frames;  // the pixels of `column`, top to bottom

 protected:
  void PaintSlideFrame(HDC, const TLkSideSlide::Frame& frame) override {
    TLkSideBar::PaintSlideFrame(picture, frame);
    std::vector<COLORREF>& pixels = frames.emplace_back();
    for (int y = 0; y < Height(); ++y) pixels.push_back(GetPixel(picture, column, y));
  }
};

// The top of the first button at or below `from` in a column: one row above
// its first row of button colour (its raised frame's light line).
int ButtonTop(const std::vector<COLORREF>& pixels, COLORREF colour, int from) {
  for (int y = from + 1; y < static_cast<int>(pixels.size()); ++y)
    if (pixels[y] == colour) return y - 1;
  return -1;
}

TEST_F(OnAForm, SideBarSlideMovesTheButtonsBetweenTheGroupsTheRightWay) {
  constexpr COLORREF kButton = RGB(255, 0, 0), kArea = RGB(0, 0, 255);
  auto* bar = new SlideRecorder(form);
  bar->SetParent(form);
  bar->SetBounds(0, 0, 100, 300);
  bar->SetButtonColor(clRed);
  bar->SetColor(clBlue);
  bar->SetScrollDelay(0);
  for (int g = 0; g < 3; ++g) bar->AddGroup("");  // no captions: plain button colour down the middle
  bar->column = 50;
  form->Show();

  struct Case {
    const char* name;
    int to;
    bool up;  // the band of buttons moves up (towards a later group)
  };
  const Case cases[] = {{"to a later group", 2, true}, {"back to an earlier group", 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto px = std::make_unique<WindowPixels>(bar);  // paints the bar: its picture and layout
    bar->picture = px->dc();
    bar->frames.clear();
    const TLkRect top_button = bar->Model().Groups[0].ButtonRect;
    const TLkRect moving = bar->Model().Groups[1].ButtonRect;  // group 1's button is in the band both ways
    bar->SetSelectedButton(c.to);
    ASSERT_EQ(bar->SelectedButton(), c.to);
    ASSERT_GE(bar->frames.size(), 10u);
    int last_top = moving.Top;
    for (size_t i = 0; i < bar->frames.size(); ++i) {
      SCOPED_TRACE(testing::Message() << "frame " << i);
      const std::vector<COLORREF>& column = bar->frames[i];
      // Group 1's button: the first button below group 0's.
      const int button_top = ButtonTop(column, kButton, top_button.Bottom);
      ASSERT_GE(button_top, 0);
      if (c.up) {
        EXPECT_LT(button_top, last_top);
      } else {
        EXPECT_GT(button_top, last_top);
      }
      EXPECT_LE(std::abs(button_top - last_top), 5);
      last_top = button_top;
      // Going down, the area it uncovers above is an empty item area.
      if (!c.up && button_top - top_button.Bottom > 4) {
        EXPECT_EQ(column[(top_button.Bottom + button_top) / 2], kArea);
      }
    }
    // The last frame shows the new picture: the moved button where the new layout puts it.
    bar->Repaint();
    EXPECT_EQ(last_top, bar->Model().Groups[1].ButtonRect.Top);
    if (c.up) {
      // Below the band the uncovered rows are the new item area.
      const int below = bar->Model().Groups[2].ButtonRect.Bottom;
      EXPECT_EQ(bar->frames.back()[below + 10], kArea);
    }
  }
}

// A slide frame that fails ends the slide: the bar paints its items again.
class FailingSlide : public TLkSideBar {
 public:
  using TLkSideBar::TLkSideBar;

 protected:
  void PaintSlideFrame(HDC, const TLkSideSlide::Frame&) override { throw Exception("frame failed"); }
};

TEST_F(OnAForm, SideBarFailingSlideFrameLeavesTheBarWhole) {
  auto* bar = new FailingSlide(form);
  bar->SetParent(form);
  bar->SetBounds(0, 0, 100, 300);
  bar->AddItem(bar->AddGroup("A"), "one", -1);
  bar->AddItem(bar->AddGroup("B"), "two", -1);
  form->Show();
  bar->Repaint();
  EXPECT_THROW(bar->SetSelectedButton(1), Exception);
  bar->Repaint();
  EXPECT_FALSE(bar->Item(bar->SelectedButton(), 0).ImageRect.Empty());
}

// An item selected before the bar's first paint is shown: the bar counts
// what fits at its present size (it used to scroll the item out of sight).
TEST_F(OnAForm, SideBarItemSelectedBeforeTheFirstPaintIsShown) {
  auto* bar = new TLkSideBar(form);
  bar->SetParent(form);
  bar->SetBounds(0, 0, 115, 360);
  const int g = bar->AddGroup("Menu Bar");
  for (const char* caption : {"one", "two", "three"}) bar->AddItem(g, caption, -1);
  form->Show();
  bar->SetSelectedItem(1);
  bar->Repaint();
  EXPECT_EQ(bar->Model().TopIndex(), 0);
  EXPECT_FALSE(bar->Item(g, 0).ImageRect.Empty());
  EXPECT_FALSE(bar->Item(g, 1).ImageRect.Empty());
  EXPECT_TRUE(bar->Model().ScrollUpRect().Empty());
}

// The button is part of every paint of the panel, including a full repaint
// of the window (it used to be drawn on the screen beside the paint and
// vanish under the paint's own picture).
TEST_F(OnAForm, CaptionPanelButtonIsInEveryPaint) {
  auto* p = new TLkCaptionPanel(form);
  p->SetParent(form);
  p->SetBounds(0, 0, 200, 100);
  p->SetColor(clWhite);
  form->Show();
  InvalidateRect(p->Handle(), nullptr, TRUE);
  UpdateWindow(p->Handle());
  // What the window shows now (the null display driver keeps its pixels).
  const TRect b = p->ButtonRect();
  ASSERT_GT(b.Width(), 6);
  HDC screen = GetDC(p->Handle());
  // The close glyph: pixels other than the bar's face inside the button,
  // none in the bar beside it.
  const COLORREF face = GetPixel(screen, b.left - 20, (b.top + b.bottom) / 2);
  auto marked = [&](int x0, int x1, int y0, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x)
        if (GetPixel(screen, x, y) != face) ++n;
    return n;
  };
  EXPECT_GT(marked(b.left + 2, b.right - 2, b.top + 2, b.bottom - 2), 4);
  EXPECT_EQ(marked(b.left - 30, b.left - 10, b.top + 2, b.bottom - 2), 0);
  ReleaseDC(p->Handle(), screen);
}

// The button's click may free the panel (a close button): nothing of the
// panel is touched after it.
TEST_F(OnAForm, CaptionPanelButtonClickMayFreeThePanel) {
  auto* p = new TLkCaptionPanel(form);
  p->SetParent(form);
  p->SetBounds(0, 0, 200, 100);
  bool mouse_up_after = false;
  p->OnBtnClick = [p](TObject*) { delete p; };
  p->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { mouse_up_after = true; };
  form->Show();
  p->Repaint();
  const TRect b = p->ButtonRect();
  const int cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2;
  SendMessageA(p->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cx, cy));
  SendMessageA(p->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(cx, cy));
  EXPECT_FALSE(TControl::Alive(p));
  EXPECT_FALSE(mouse_up_after);
  EXPECT_EQ(form->ControlCount(), 0);
  EXPECT_TRUE(seam.boxes.empty());
}

// "&" marks the next character as the caption's mnemonic: it is not shown
// itself (and "&&" shows one "&").
TEST_F(OnAForm, CaptionPanelShowsAnAmpersandAsAMnemonic) {
  auto* p = new TLkCaptionPanel(form);
  p->SetParent(form);
  p->SetBounds(0, 0, 300, 60);
  p->SetButtonVisible(false);
  p->Font()->SetColor(clBlack);
  form->Show();
  auto text_width = [&](const std::string& caption) {
    p->SetCaption(caption);
    WindowPixels px(p);
    int left = 1000, right = -1;
    for (int y = 2; y < 20; ++y)
      for (int x = 2; x < 298; ++x)
        if (px.At(x, y) == RGB(0, 0, 0)) left = std::min(left, x), right = std::max(right, x);
    return right - left;
  };
  // (The underline of the marked letter may reach a pixel or two past it.)
  const int plain = text_width("Log View");
  EXPECT_LE(std::abs(text_width("&Log View") - plain), 2);
  EXPECT_GT(text_width("Log && View"), plain + 3);
}

}  // namespace
