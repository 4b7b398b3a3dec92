// Angled labels, standard buttons, mouse region, URL label, password dialog
// and the drawing helpers, on windows under Wine.
#include <gtest/gtest.h>

#include "controls/win/drawhelpers.h"
#include "controls/win/lkctrls.h"
#include "controls/win/lkurl.h"
#include "controls/win/passworddialog.h"
#include "forms/win/extctrls.h"
#include "tests/forms/ui_test_util.h"

namespace {

class ControlsUiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    form = new TForm(nullptr);
    form->SetClientSize(400, 300);
    form->SetColor(clWhite);
  }
  void TearDown() override { TCustomForm::Free(form); }
  TForm* form = nullptr;
  RecordingSeam seam;
};

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// Counts the pixels of a colour in a control's rectangle of its parent's image.
int CountColour(TWinControl* parent, const TRect& r, COLORREF colour) {
  WindowPixels px(parent);
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (px.At(x, y) == colour) ++n;
  return n;
}

// The bounding box of the pixels of a colour.
TRect ColourBox(TWinControl* parent, const TRect& r, COLORREF colour) {
  WindowPixels px(parent);
  TRect box(r.right, r.bottom, r.left, r.top);
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (px.At(x, y) == colour) {
        box.left = std::min(box.left, x), box.top = std::min(box.top, y);
        box.right = std::max(box.right, x + 1), box.bottom = std::max(box.bottom, y + 1);
      }
  return box;
}

// ---- angled label

TEST_F(ControlsUiTest, AngleIsTakenModuloAndSwitchesAutoSizeOff) {
  TLkLabel label(nullptr);
  const std::pair<int, int> cases[] = {{370, 10}, {-90, 270}, {360, 0}, {719, 359}, {-1, 359}};
  for (auto [in, out] : cases) {
    label.SetAngle(in);
    EXPECT_EQ(label.Angle(), out) << in;
  }
  TLkLabel sized(nullptr);
  EXPECT_TRUE(sized.AutoSize());
  sized.SetAngle(45);
  EXPECT_FALSE(sized.AutoSize());
  TLkLabel offset(nullptr);
  offset.SetOffsetX(-3);
  EXPECT_TRUE(offset.AutoSize());
  offset.SetOffsetY(2);
  EXPECT_FALSE(offset.AutoSize());
}

TEST_F(ControlsUiTest, ShadowPresetsSetTheirValuesAndAWriteMakesTheStyleCustom) {
  TLkLabel label(nullptr);
  label.SetShadowStyle(TShadowStyle::ssRaisedThickShadow);
  EXPECT_EQ(label.HighlightDirection(), TDirection::drUpLeft);
  EXPECT_EQ(label.HighlightDepth(), 1);
  EXPECT_EQ(label.ShadowDirection(), TDirection::drDownRight);
  EXPECT_EQ(label.ShadowDepth(), 1);
  EXPECT_EQ(label.ShadowSize(), 4);
  EXPECT_EQ(label.ShadowStyle(), TShadowStyle::ssRaisedThickShadow);
  label.SetShadowStyle(TShadowStyle::ssRecessedColor);
  EXPECT_EQ(label.ShadowDirection(), TDirection::drUpLeft);
  EXPECT_EQ(label.Font()->Color(), clBtnFace);
  label.SetShadowStyle(TShadowStyle::ssRaisedShadow);
  label.SetShadowDepth(3);
  EXPECT_EQ(label.ShadowStyle(), TShadowStyle::ssCustom);
  label.SetShadowColor(clRed);
  label.SetShadowStyle(TShadowStyle::ssShadow);
  EXPECT_EQ(label.ShadowColor(), clBtnShadow);  // every preset resets the colours
  EXPECT_EQ(label.ShadowDepth(), 2);
}

TEST_F(ControlsUiTest, ShadowCopiesAndRotationShowInThePaintedPixels) {
  auto* label = new TLkLabel(form);
  label->SetParent(form);
  label->SetAutoSize(false);
  label->SetBounds(10, 10, 200, 200);
  label->SetTransparent(true);
  label->Font()->SetName("Arial");
  label->Font()->SetHeight(-24);
  label->Font()->SetColor(clBlack);
  label->SetCaption("WWWWWW");
  form->HandleNeeded();
  const TRect area = label->BoundsRect();
  const COLORREF shadow = RGB(255, 0, 0);

  EXPECT_EQ(CountColour(form, area, shadow), 0);
  label->SetShadowStyle(TShadowStyle::ssThickShadow);
  label->SetShadowColor(clRed);
  const int thick = CountColour(form, area, shadow);
  EXPECT_GT(thick, 0);
  label->SetShadowSize(1);
  const int thin = CountColour(form, area, shadow);
  EXPECT_GT(thin, 0);
  EXPECT_LT(thin, thick);  // four copies cover more than one

  // Flat text is wider than high; at 90 degrees it stands upright.
  label->SetShadowStyle(TShadowStyle::ssNone);
  TRect flat = ColourBox(form, area, RGB(0, 0, 0));
  EXPECT_GT(flat.Width(), flat.Height());
  label->SetAngle(90);
  TRect upright = ColourBox(form, area, RGB(0, 0, 0));
  EXPECT_GT(upright.Height(), upright.Width());
  EXPECT_GE(upright.top, area.top);

  // Disabled: highlight copy offset by one, then the shadow colour.
  label->SetAngle(0);
  label->SetEnabled(false);
  EXPECT_EQ(CountColour(form, area, RGB(0, 0, 0)), 0);
  EXPECT_GT(CountColour(form, area, ColorToRGB(clBtnShadow)), 0);
}

TEST_F(ControlsUiTest, AngledBoxTableByQuadrant) {
  // 100 x 20 text: the box and the text origin of each quadrant.
  struct Case {
    int angle, w, h;
  };
  const Case cases[] = {{0, 100, 20}, {90, 20, 100}, {180, 100, 20}, {270, 20, 100}};
  for (const Case& c : cases) {
    TAngledTextBox b = AngledTextBox(c.angle, 100, 20);
    EXPECT_EQ(b.width, c.w) << c.angle;
    EXPECT_EQ(b.height, c.h) << c.angle;
  }
  TAngledTextBox b45 = AngledTextBox(45, 100, 20);
  EXPECT_EQ(b45.width, 14 + 70);
  EXPECT_EQ(b45.height, 70 + 14);
}

// ---- standard button

TEST_F(ControlsUiTest, ButtonKindSetsCaptionRoleAndResultFromTheStringTable) {
  auto* b = new TLkButton(form);
  b->SetParent(form);
  b->SetKind(pbkCancelGer);
  EXPECT_EQ(b->Caption(), "Abbrechen");
  EXPECT_TRUE(b->Cancel());
  EXPECT_FALSE(b->Default());
  EXPECT_EQ(b->ModalResult(), 2);
  EXPECT_EQ(b->Kind(), pbkCancelGer);

  // Every kind's caption is the string-table entry the table names.
  for (int k = pbkOk; k < kButtonKindCount; ++k) {
    const auto kind = static_cast<TLkButtonKind>(k);
    wchar_t* res = nullptr;
    const int n = LoadStringW(GetModuleHandleA(nullptr), ButtonCaptionId(kind), reinterpret_cast<wchar_t*>(&res), 0);
    ASSERT_GT(n, 0) << k;
    const std::string& utf8 = ButtonCaptionText(kind);
    std::wstring want(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), want.data(), int(want.size()));
    EXPECT_EQ(std::wstring(res, static_cast<size_t>(n)), want) << k;
    b->SetKind(kind);
    // The table's text and the UTF-8 fallback (no entry 1) give the same ANSI caption.
    EXPECT_EQ(b->Caption(), LoadLkString(1, utf8)) << k;
    EXPECT_EQ(b->Default(), ButtonIsDefault(kind)) << k;
    EXPECT_EQ(b->Cancel(), ButtonIsCancel(kind)) << k;
    EXPECT_EQ(b->ModalResult(), ButtonModalResult(kind)) << k;
  }
  b->SetKind(pbkHelpFr);
  EXPECT_EQ(b->Caption(), "&Aide");
}

TEST_F(ControlsUiTest, ButtonKindFallsBackToCustomWhenItsRoleIsChanged) {
  TLkButton b(nullptr);
  b.SetKind(pbkOk);
  EXPECT_EQ(b.Kind(), pbkOk);
  b.SetDefault(false);
  EXPECT_EQ(b.Kind(), pbkCustom);
  b.SetKind(pbkNo);
  b.SetModalResult(mrOk);
  EXPECT_EQ(b.Kind(), pbkCustom);
}

TEST_F(ControlsUiTest, ButtonKindWhileLoadingKeepsADesignedCaption) {
  TLkButton b(nullptr);
  b.BeginLoading();
  b.SetCaption("Designed");
  b.SetKind(pbkYes);
  b.EndLoading();
  EXPECT_EQ(b.Caption(), "Designed");
  EXPECT_EQ(b.ModalResult(), mrYes);
  EXPECT_TRUE(b.Default());
}

TEST_F(ControlsUiTest, HelpAndCloseKinds) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  auto* help = new TLkButton(form);
  help->SetParent(panel);
  help->SetKind(pbkHelp);
  int clicks = 0;
  help->OnClick = [&](TObject*) { ++clicks; };
  form->Show();

  // No help context anywhere: a plain button.
  SendMessageA(help->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(seam.help.empty());
  // The nearest help context up the parents opens the help there.
  Application->SetHelpFile("lkmere.hlp");
  form->SetHelpContext(6);
  SendMessageA(help->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(seam.help, (std::vector<std::string>{"lkmere.hlp#" + std::to_string(HELP_CONTEXT) + ":6"}));

  auto* close = new TLkButton(form);
  close->SetParent(form);
  close->SetKind(pbkCloseIta);
  bool closed = false;
  form->OnClose = [&](TObject*, TCloseAction&) { closed = true; };
  SendMessageA(close->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(closed);
  EXPECT_FALSE(form->Visible());
}

// ---- mouse region

TEST_F(ControlsUiTest, MouseRegionIsInvisibleAndReportsEnterLeaveAndClicks) {
  auto* region = new TLkMouseRegion(form);
  EXPECT_EQ(region->BoundsRect(), TRect(0, 0, 105, 105));
  region->SetParent(form);
  region->SetBounds(50, 50, 40, 40);
  std::vector<std::string> log;
  region->OnMouseEnter = [&](TObject*) { log.push_back("enter"); };
  region->OnMouseLeave = [&](TObject*) { log.push_back("leave"); };
  region->OnClick = [&](TObject*) { log.push_back("click"); };
  HWND h = form->Handle();
  SendMessageA(h, WM_MOUSEMOVE, 0, At(10, 10));
  SendMessageA(h, WM_MOUSEMOVE, 0, At(60, 60));
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(60, 60));
  SendMessageA(h, WM_LBUTTONUP, 0, At(60, 60));
  SendMessageA(h, WM_MOUSEMOVE, 0, At(200, 200));
  EXPECT_EQ(log, (std::vector<std::string>{"enter", "click", "leave"}));
  EXPECT_EQ(CountColour(form, region->BoundsRect(), RGB(255, 255, 255)), 40 * 40);
}

// ---- URL label

class UrlLabelTest : public ControlsUiTest {
 protected:
  void SetUp() override {
    ControlsUiTest::SetUp();
    url = new TLkUrlLabel(form);
    url->SetParent(form);
    url->SetAutoSize(false);
    url->SetBounds(20, 20, 80, 16);
    url->SetCaption("www.example.org");
    h = form->Handle();
  }
  void Press(int x, int y) { SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(20 + x, 20 + y)); }
  void Release(int x, int y) {
    SendMessageA(h, WM_MOUSEMOVE, 0, At(20 + x, 20 + y));
    SendMessageA(h, WM_LBUTTONUP, 0, At(20 + x, 20 + y));
  }
  TLkUrlLabel* url = nullptr;
  HWND h = nullptr;
};

TEST_F(UrlLabelTest, StartsBlueUnderlinedWithTheHandCursor) {
  EXPECT_EQ(url->Font()->Color(), 0xFF0000);
  EXPECT_TRUE(url->Font()->Style() & fsUnderline);
  EXPECT_EQ(url->Cursor(), crLkHandPoint);
  EXPECT_NE(Screen->Cursors(crLkHandPoint), nullptr);
  EXPECT_NE(Screen->Cursors(crLkHandPoint), Screen->Cursors(crArrow));
  EXPECT_NE(Screen->Cursors(crLkHand), Screen->Cursors(crArrow));
  EXPECT_NE(Screen->Cursors(crLkDrag), Screen->Cursors(crArrow));
}

TEST_F(UrlLabelTest, PressAndReleaseInsideOpensTheUrlAndShowsVisited) {
  url->SetURL("http://www.example.org/help");
  Press(5, 5);
  EXPECT_EQ(url->Font()->Color(), url->ActivatedColor());
  Release(6, 6);
  EXPECT_EQ(seam.shell, (std::vector<std::string>{"open|http://www.example.org/help|||5"}));
  EXPECT_TRUE(url->Visited());
  EXPECT_EQ(url->Font()->Color(), 0x800000);
  // Later the unvisited colour no longer shows.
  url->SetUnvisitedColor(clGreen);
  EXPECT_EQ(url->Font()->Color(), 0x800000);
  EXPECT_EQ(url->UnvisitedColor(), clGreen);
}

TEST_F(UrlLabelTest, ReleaseOutsideOpensNothingAndRestoresTheColour) {
  Press(5, 5);
  Release(150, 100);
  EXPECT_TRUE(seam.shell.empty());
  EXPECT_FALSE(url->Visited());
  EXPECT_EQ(url->Font()->Color(), 0xFF0000);
}

TEST_F(UrlLabelTest, EmptyUrlOpensTheCaptionAndRightClickDoesNothing) {
  SendMessageA(h, WM_RBUTTONDOWN, MK_RBUTTON, At(25, 25));
  SendMessageA(h, WM_RBUTTONUP, 0, At(25, 25));
  EXPECT_TRUE(seam.shell.empty());
  EXPECT_EQ(url->Font()->Color(), 0xFF0000);
  Press(5, 5);
  Release(5, 5);
  EXPECT_EQ(seam.shell, (std::vector<std::string>{"open|www.example.org|||5"}));
}

TEST_F(UrlLabelTest, SameVisitedAndUnvisitedColourIsShownAndStoredInBoth) {
  url->SetVisitedColor(clBlue);
  url->SetUnvisitedColor(clBlue);
  EXPECT_EQ(url->Font()->Color(), clBlue);
  EXPECT_EQ(url->VisitedColor(), clBlue);
  EXPECT_EQ(url->UnvisitedColor(), clBlue);
  // A font colour set directly becomes the unvisited colour.
  url->Font()->SetColor(clMaroon);
  EXPECT_EQ(url->UnvisitedColor(), clMaroon);
}

TEST_F(UrlLabelTest, HoverUnderlinesAndColoursWhileTheMouseIsOver) {
  url->SetCanHover(true);
  EXPECT_FALSE(url->Font()->Style() & fsUnderline);
  url->SetHoveredColor(clLime);
  SendMessageA(h, WM_MOUSEMOVE, 0, At(25, 25));
  EXPECT_TRUE(url->Font()->Style() & fsUnderline);
  EXPECT_EQ(url->Font()->Color(), clLime);
  SendMessageA(h, WM_MOUSEMOVE, 0, At(300, 250));
  EXPECT_FALSE(url->Font()->Style() & fsUnderline);
  EXPECT_EQ(url->Font()->Color(), 0xFF0000);
  // A colour written while hovering is kept, not lost.
  SendMessageA(h, WM_MOUSEMOVE, 0, At(25, 25));
  url->SetUnvisitedColor(clTeal);
  SendMessageA(h, WM_MOUSEMOVE, 0, At(300, 250));
  EXPECT_EQ(url->Font()->Color(), clTeal);
}

// ---- password dialog

TPasswordForm* ActivePasswordForm() {
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (auto* f = dynamic_cast<TPasswordForm*>(Screen->Forms(i)); f && f->Visible()) return f;
  return nullptr;
}

TEST_F(ControlsUiTest, PasswordDialogOkStaysDisabledUntilTextIsTyped) {
  TLkPasswordDialog dlg(nullptr);
  dlg.SetCaption("Authentication");
  bool disabled_before = false, enabled_after = false, ok_hidden_help = false;
  std::string caption;
  RunLater(50, [&] {
    TPasswordForm* f = ActivePasswordForm();
    ASSERT_NE(f, nullptr);
    caption = f->Caption();
    disabled_before = !f->OKButton->Enabled();
    ok_hidden_help = !f->HelpButton->Visible() && f->OKButton->Left() == 96 && f->CancelButton->Left() == 179;
    for (char c : std::string("s3cret")) PostMessageA(f->PasswordEdit->Handle(), WM_CHAR, c, 0);
    RunLater(50, [&, f] {
      enabled_after = f->OKButton->Enabled();
      SendMessageA(f->OKButton->Handle(), BM_CLICK, 0, 0);
    });
  });
  EXPECT_TRUE(dlg.Execute());
  EXPECT_EQ(dlg.Password(), "s3cret");
  EXPECT_EQ(caption, "Authentication");
  EXPECT_TRUE(disabled_before);
  EXPECT_TRUE(enabled_after);
  EXPECT_TRUE(ok_hidden_help);
  EXPECT_EQ(ActivePasswordForm(), nullptr);  // the window is gone
}

TEST_F(ControlsUiTest, PasswordDialogCancelAndCloseGiveFalseAndAnEmptyPassword) {
  for (int how = 0; how < 2; ++how) {
    TLkPasswordDialog dlg(nullptr);
    dlg.SetPassword("preset");
    bool ok_enabled = false;
    RunLater(50, [&] {
      TPasswordForm* f = ActivePasswordForm();
      ASSERT_NE(f, nullptr);
      ok_enabled = f->OKButton->Enabled();  // the preset text counts
      if (how == 0)
        SendMessageA(f->CancelButton->Handle(), BM_CLICK, 0, 0);
      else
        PostMessageA(f->Handle(), WM_CLOSE, 0, 0);
    });
    EXPECT_FALSE(dlg.Execute()) << how;
    EXPECT_EQ(dlg.Password(), "") << how;
    EXPECT_TRUE(ok_enabled);
  }
}

TEST_F(ControlsUiTest, PasswordDialogInGermanWithHelp) {
  TLkPasswordDialog dlg(nullptr);
  dlg.SetLanguage(dlGerman);
  dlg.SetHelpContext(12);
  dlg.SetAllowEmptyPassword(true);
  std::string caption, prompt, cancel, help;
  bool ok_enabled = false;
  RunLater(50, [&] {
    TPasswordForm* f = ActivePasswordForm();
    ASSERT_NE(f, nullptr);
    caption = f->Caption();
    prompt = f->PromptLabel->Caption();
    cancel = f->CancelButton->Caption();
    help = f->HelpButton->Visible() ? f->HelpButton->Caption() : "";
    ok_enabled = f->OKButton->Enabled();
    PostMessageA(f->PasswordEdit->Handle(), WM_KEYDOWN, VK_RETURN, 0);  // Enter presses OK
  });
  EXPECT_TRUE(dlg.Execute());
  EXPECT_EQ(dlg.Password(), "");
  EXPECT_EQ(caption, "Passwort");
  EXPECT_EQ(prompt, "Passwort &Eingeben:");
  EXPECT_EQ(cancel, "Abbrechen");
  EXPECT_EQ(help, "&Hilfe");
  EXPECT_TRUE(ok_enabled);
}

// ---- drawing helpers

TEST_F(ControlsUiTest, CheckWin32ErrorRaisesWithCodeAndSystemText) {
  EXPECT_NO_THROW(CheckWin32Error(0));
  try {
    CheckWin32Error(ERROR_ACCESS_DENIED);
    FAIL() << "no exception";
  } catch (const EWin32Error& e) {
    EXPECT_EQ(e.ErrorCode(), 5u);
    EXPECT_EQ(e.Message(), "Win32 Error.  Code: 5.\n" + SysErrorMessage(5));
    EXPECT_FALSE(SysErrorMessage(5).empty());
  }
}

TEST_F(ControlsUiTest, CenterWindowKeepsTheWindowOnTheScreen) {
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  HWND h = form->Handle();
  SetWindowPos(h, nullptr, 5, 5, 200, 100, SWP_NOZORDER);
  CenterWindow(h);
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r.left, (sw - 200) / 2);
  EXPECT_EQ(r.top, (sh - 100) / 2);
  EXPECT_EQ(r.right - r.left, 200);
  SetWindowPos(h, nullptr, 5, 5, sw + 300, 100, SWP_NOZORDER);
  CenterWindow(h);
  GetWindowRect(h, &r);
  EXPECT_EQ(r.left, 0);
}

TEST_F(ControlsUiTest, RemovePendingMessageTakesOneAndNeverLosesAQuit) {
  HWND h = form->Handle();
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
  }
  PostMessageA(h, WM_USER + 7, 0, 0);
  PostMessageA(h, WM_USER + 7, 0, 0);
  RemovePendingMessage(h, WM_USER + 7);
  EXPECT_TRUE(PeekMessageA(&m, h, WM_USER + 7, WM_USER + 7, PM_REMOVE));
  EXPECT_FALSE(PeekMessageA(&m, h, WM_USER + 7, WM_USER + 7, PM_REMOVE));
  PostQuitMessage(3);
  RemovePendingMessage(nullptr, WM_QUIT);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(m.wParam, 3u);
}

TEST_F(ControlsUiTest, ThreadWindowActiveFollowsTheActiveWindow) {
  form->Show();
  SetActiveWindow(form->Handle());
  EXPECT_TRUE(IsThreadWindowActive());
}

TEST_F(ControlsUiTest, MinimizeTextOnACanvas) {
  TBitmap bmp;
  bmp.SetSize(10, 10);
  TCanvas* c = bmp.Canvas();
  EXPECT_EQ(MinimizeText("Short", c, 1000), "Short");
  EXPECT_EQ(MinimizeText("A rather long caption", c, 0), "...");
  const std::string cut = MinimizeText("A rather long caption", c, c->TextWidth("A rather"));
  EXPECT_LE(c->TextWidth(cut), c->TextWidth("A rather"));
  EXPECT_EQ(cut.substr(cut.size() - 3), "...");
}

TEST_F(ControlsUiTest, DisabledBitmapEmbossesTheGlyphOnButtonFace) {
  TBitmap glyph;
  glyph.SetSize(8, 8);
  TCanvas* g = glyph.Canvas();
  g->Brush()->SetColor(clFuchsia);  // the mask colour is the ground
  g->FillRect(TRect(0, 0, 8, 8));
  g->Brush()->SetColor(clBlack);
  g->FillRect(TRect(2, 2, 5, 5));
  auto disabled = CreateDisabledBitmapEx(&glyph, clFuchsia, clSilver, clWhite, clGray, true);
  TCanvas* d = disabled->Canvas();
  EXPECT_EQ(d->Pixel(0, 0), static_cast<TColor>(RGB(192, 192, 192)));  // ground
  EXPECT_EQ(d->Pixel(2, 2), static_cast<TColor>(RGB(128, 128, 128)));  // shadow over the glyph
  EXPECT_EQ(d->Pixel(5, 5), static_cast<TColor>(RGB(255, 255, 255)));  // highlight, one pixel on
  EXPECT_EQ(d->Pixel(7, 7), static_cast<TColor>(RGB(192, 192, 192)));
  auto plain = CreateDisabledBitmap(&glyph, clFuchsia);
  EXPECT_EQ(plain->Canvas()->Pixel(0, 0), static_cast<TColor>(ColorToRGB(clBtnFace)));
}

TEST_F(ControlsUiTest, CopyParentImagePaintsTheGroundAndTheControlsBeneath) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBevelOuter(TBevelCut::bvNone);
  panel->SetBounds(0, 0, 200, 100);
  panel->SetColor(clYellow);
  auto* below = new TShape(form);
  below->SetParent(panel);
  below->SetBounds(10, 10, 30, 30);
  below->Brush()->SetColor(clRed);
  below->Pen()->SetColor(clRed);
  auto* self = new TLkMouseRegion(form);
  self->SetParent(panel);
  self->SetBounds(20, 20, 40, 40);
  auto* above = new TShape(form);  // after the control: not copied
  above->SetParent(panel);
  above->SetBounds(40, 40, 10, 10);
  above->Brush()->SetColor(clBlue);
  panel->HandleNeeded();
  TBitmap bmp;
  bmp.SetSize(40, 40);
  CopyParentImage(self, bmp.Canvas());
  TCanvas* c = bmp.Canvas();
  EXPECT_EQ(c->Pixel(5, 5), static_cast<TColor>(RGB(255, 0, 0)));     // the shape beneath, at (25, 25)
  EXPECT_EQ(c->Pixel(30, 30), static_cast<TColor>(RGB(255, 255, 0)));  // the panel's ground
  EXPECT_EQ(c->Pixel(25, 25), static_cast<TColor>(RGB(255, 255, 0)));  // not the shape above
  EXPECT_FALSE(panel->ControlState() & csPaintCopy);
}

}  // namespace
