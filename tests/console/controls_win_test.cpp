// The console's controls on real windows under Wine: frame drawing, the
// caption panel, the side bar's clicks, the framed list view and combo box.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "controls/win/captionpanel.h"
#include "controls/win/frames.h"
#include "controls/win/framedcombo.h"
#include "controls/win/framedlistview.h"
#include "controls/win/sidebar.h"
#include "forms/win/actions.h"
#include "forms/win/application.h"
#include "forms/win/comctl_toolbar.h"
#include "forms/win/forms.h"
#include "forms/win/stdctrls.h"
#include "tests/forms/ui_test_util.h"

namespace {

TEST(Frames, InnerRectangles) {
  TBitmap bmp;
  bmp.SetSize(20, 20);
  TCanvas* c = bmp.Canvas();
  EXPECT_EQ(PaintFrameSides(c, TRect(0, 0, 10, 10), clRed, kAllSides, clBlue), TRect(1, 1, 9, 9));
  EXPECT_EQ(PaintFrameSides(c, TRect(0, 0, 10, 10), clRed, sdLeft, clBlue), TRect(1, 0, 10, 10));
  EXPECT_EQ(PaintStyledBorder(c, TRect(0, 0, 10, 10), TFrameStyle::fsGroove, kAllSides), TRect(2, 2, 8, 8));
  EXPECT_EQ(PaintStyledBorder(c, TRect(0, 0, 10, 10), TFrameStyle::fsGroove, sdTop), TRect(0, 2, 10, 10));
  EXPECT_EQ(PaintStyledBorder(c, TRect(0, 0, 10, 10), TFrameStyle::fsNone, kAllSides), TRect(0, 0, 10, 10));
  EXPECT_EQ(PaintStyledBorder(c, TRect(0, 0, 10, 10), TFrameStyle::fsRaised, kAllSides), TRect(2, 2, 8, 8));
  EXPECT_EQ(PaintBevelRings(c, TRect(0, 0, 10, 10), clRed, clRed, 3, kAllSides), TRect(3, 3, 7, 7));
}

TEST(Frames, FirstColourTopLeftSecondBottomRight) {
  TBitmap bmp;
  bmp.SetSize(10, 10);
  TCanvas* c = bmp.Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect(TRect(0, 0, 10, 10));
  PaintFrameSides(c, TRect(0, 0, 10, 10), clRed, kAllSides, clBlue);
  EXPECT_EQ(c->Pixel(0, 5), clRed);
  EXPECT_EQ(c->Pixel(5, 0), clRed);
  EXPECT_EQ(c->Pixel(9, 5), clBlue);
  EXPECT_EQ(c->Pixel(5, 9), clBlue);
  EXPECT_EQ(c->Pixel(5, 5), clWhite);
}

class OnForm : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = new TForm(Application);
    form_->SetBounds(0, 0, 500, 400);
  }
  void TearDown() override { TCustomForm::Free(form_); }
  TForm* form_;
};

TEST_F(OnForm, CaptionPanelButtonAndClientArea) {
  auto* p = new TLkCaptionPanel(form_);
  p->SetParent(form_);
  p->SetBounds(0, 0, 200, 150);
  auto* child = new TPanel(form_);
  child->SetParent(p);
  child->SetAlign(TAlign::alClient);
  form_->Show();
  p->Repaint();
  EXPECT_EQ(child->Top(), 23);  // one-pixel bevel and a 22-pixel bar
  int clicks = 0;
  p->OnBtnClick = [&clicks](TObject*) { ++clicks; };
  const TRect b = p->ButtonRect();
  ASSERT_GT(b.Width(), 4);
  const int cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2;
  p->DispatchMouseDown(TMouseButton::mbLeft, 0, cx, cy, false);
  p->DispatchMouseUp(TMouseButton::mbLeft, 0, cx + 50, cy + 50);  // released outside
  EXPECT_EQ(clicks, 0);
  p->DispatchMouseDown(TMouseButton::mbLeft, 0, cx, cy, false);
  p->DispatchMouseUp(TMouseButton::mbLeft, 0, cx, cy);
  EXPECT_EQ(clicks, 1);
  p->SetButtonVisible(false);
  p->Repaint();
  EXPECT_EQ(p->ButtonRect(), TRect(-1, -1, -1, -1));
}

TEST_F(OnForm, SideBarClicks) {
  auto* bar = new TLkSideBar(form_);
  bar->SetParent(form_);
  bar->SetBounds(0, 0, 115, 446);
  bar->SetFrameStyle(TLkSideFrameStyle::fsRowButton);
  const int g = bar->AddGroup("Menu Bar");
  for (const char* c : {"One", "Two", "Three"}) bar->AddItem(g, c, -1);
  bar->SetItemEnabled(g, 1, false);
  int itemClicks = 0, ownClicks = 0;
  bar->OnItemClick = [&itemClicks](TObject*) { ++itemClicks; };
  bar->SetItemOnClick(g, 1, [&ownClicks](TObject*) { ++ownClicks; });
  form_->Show();
  bar->Repaint();
  auto rowCentre = [&](int i) {
    const TLkRect& r = bar->Item(g, i).ImageRect;
    return std::pair<int, int>{r.Left + 2, (r.Top + r.Bottom) / 2};
  };
  // A click anywhere on a row counts as the item's click.
  auto [x0, y0] = rowCentre(0);
  bar->ClickAt(x0, y0);
  EXPECT_EQ(bar->SelectedItem(), 0);
  EXPECT_EQ(itemClicks, 1);
  // A disabled item: the click event fires, the selection stays.
  auto [x1, y1] = rowCentre(1);
  bar->ClickAt(x1, y1);
  EXPECT_EQ(bar->SelectedItem(), 0);
  EXPECT_EQ(itemClicks, 2);
  EXPECT_EQ(ownClicks, 0);
  // A veto stops the click and its event.
  bar->OnChanging = [](TObject*, bool& can) { can = false; };
  auto [x2, y2] = rowCentre(2);
  bar->ClickAt(x2, y2);
  EXPECT_EQ(bar->SelectedItem(), 0);
  EXPECT_EQ(itemClicks, 2);
}

TEST_F(OnForm, SideBarScrollsALongList) {
  auto* bar = new TLkSideBar(form_);
  bar->SetParent(form_);
  bar->SetBounds(0, 0, 100, 300);
  const int g = bar->AddGroup("Group");
  for (int i = 0; i < 10; ++i) bar->AddItem(g, "Item " + std::to_string(i), -1);
  form_->Show();
  bar->Repaint();
  bar->ClickAt(0, 0);  // lays out
  const TLkRect down = bar->Model().ScrollDownRect();
  ASSERT_FALSE(down.Empty());
  EXPECT_TRUE(bar->Model().ScrollUpRect().Empty());
  bar->ClickAt(down.Left + 2, down.Top + 2);
  EXPECT_EQ(bar->Model().TopIndex(), 1);
  bar->ClickAt(0, 0);
  EXPECT_FALSE(bar->Model().ScrollUpRect().Empty());
}

TEST_F(OnForm, ListViewFillsAndSorts) {
  auto* lv = new TLkListView(form_);
  lv->SetParent(form_);
  lv->SetBorderStyle(TListBorderStyle::bsNone);
  lv->SetViewStyle(TViewStyle::vsReport);
  for (int i = 0; i < 3; ++i) lv->AddColumn("C" + std::to_string(i), 100);
  lv->SetBounds(0, 0, 400, 200);
  lv->AddRow("b", {"x"}, -1);
  lv->AddRow("a", {}, -1);
  lv->AddRow("C", {"Y"}, -1);
  form_->Show();
  lv->FitLastColumn();
  EXPECT_EQ(lv->ColumnWidth(2), lv->ClientWidth() - 200);
  lv->SetAlphaSortAll(true);
  lv->SortByColumn(0);
  EXPECT_EQ(lv->Items(0)->Caption(), "a");
  EXPECT_EQ(lv->Items(2)->Caption(), "C");
  lv->SortByColumn(1);  // the row without a sub-item goes last
  EXPECT_EQ(lv->Items(0)->Caption(), "b");
  EXPECT_EQ(lv->Items(1)->Caption(), "C");
  EXPECT_EQ(lv->Items(2)->Caption(), "a");
}

// What a full repaint of the window draws (forced here, and only here).
std::vector<COLORREF> Repainted(HWND h) {
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  return WindowShows(h);
}

// After a change the window shows what a full repaint would: the change's
// own invalidation did the work, with only messages pumped.
int PixelsBehind(HWND h) {
  PumpFor(300);
  const std::vector<COLORREF> now = WindowShows(h), full = Repainted(h);
  int differ = 0;
  for (size_t i = 0; i < now.size() && i < full.size(); ++i) differ += now[i] != full[i];
  return differ;
}

// Every view change draws its rows at once: no icon left under the report's
// headers, no stale column text beside the icons, the list view for "Small
// icons" (its Tag 2) without waiting for a refresh.
TEST_F(OnForm, ListViewDrawsEveryViewChangeAtOnce) {
  auto* large = new TImageList(form_, 32, 32);
  auto* small = new TImageList(form_, 16, 16);
  for (TImageList* list : {large, small}) {
    TBitmap b;
    b.SetSize(list->Width(), list->Height());
    b.Canvas()->Brush()->SetColor(clRed);
    b.Canvas()->FillRect(TRect(0, 0, list->Width(), list->Height()));
    list->AddMasked(&b, clWhite);
  }
  auto* lv = new TLkListView(form_);
  lv->SetParent(form_);
  lv->SetBorderStyle(TListBorderStyle::bsNone);
  lv->SetBounds(0, 0, 480, 300);
  lv->AddColumn("Item", 192);
  lv->AddColumn("Description", 220);
  lv->AddColumn("Protection", 60);
  lv->SetLargeImages(large);
  lv->SetSmallImages(small);
  for (const char* name : {"Notepad", "Command Prompt", "Registry Editor", "Minesweeper"})
    lv->AddRow(name, {std::string("About ") + name, "Protected"}, 0);
  form_->Show();
  PumpFor(300);
  const TViewStyle order[] = {TViewStyle::vsReport, TViewStyle::vsIcon, TViewStyle::vsList,
                              TViewStyle::vsReport, TViewStyle::vsSmallIcon, TViewStyle::vsIcon};
  std::vector<COLORREF> before = WindowShows(lv->Handle());
  for (TViewStyle style : order) {
    lv->SetViewStyle(style);
    EXPECT_EQ(PixelsBehind(lv->Handle()), 0) << "view " << static_cast<int>(style);
    const std::vector<COLORREF> after = WindowShows(lv->Handle());
    EXPECT_NE(after, before) << "view " << static_cast<int>(style);
    before = after;
  }
}

// A new caption shows at once (the Desktop page's caption after a change of
// user or a browse), and only the caption bar changes.
TEST_F(OnForm, CaptionPanelRepaintsANewCaption) {
  auto* p = new TLkCaptionPanel(form_);
  p->SetParent(form_);
  p->SetBounds(10, 10, 400, 200);
  p->SetButtonVisible(false);
  p->SetCaption("root Desktop Shortcuts");
  form_->Show();
  PumpFor(300);
  const std::vector<COLORREF> before = WindowShows(p->Handle());
  p->SetCaption("All Users Desktop Shortcuts");
  EXPECT_EQ(PixelsBehind(p->Handle()), 0);
  const std::vector<COLORREF> after = WindowShows(p->Handle());
  ASSERT_EQ(after.size(), before.size());
  int inBar = 0, below = 0;
  for (size_t i = 0; i < after.size(); ++i)
    if (after[i] != before[i]) ++(static_cast<int>(i) / p->Width() < p->CaptionHeight() ? inBar : below);
  EXPECT_GT(inBar, 20);
  EXPECT_EQ(below, 0);
}

TEST_F(OnForm, ComboTypeAheadThroughItsWindow) {
  auto* cb = new TLkComboBox(form_);
  cb->SetParent(form_);
  cb->SetStyle(TComboBoxStyle::csDropDownList);
  cb->SetBeepOnInvalidKey(false);
  cb->SetItems({"Alice", "Bob", "bobby"});
  int changes = 0;
  cb->OnChange = [&changes](TObject*) { ++changes; };
  form_->Show();
  auto type = [&](char ch) { SendMessageA(cb->Handle(), WM_CHAR, static_cast<unsigned char>(ch), 1); };
  type('b');
  EXPECT_EQ(cb->ItemIndex(), 1);
  type('o');
  type('b');
  EXPECT_EQ(cb->ItemIndex(), 1);
  type('b');
  EXPECT_EQ(cb->ItemIndex(), 2);
  type('x');  // matches nothing: selection and search text stay
  EXPECT_EQ(cb->ItemIndex(), 2);
  EXPECT_EQ(cb->SearchText(), "bobb");
  type(27);
  EXPECT_EQ(cb->ItemIndex(), 0);
  EXPECT_GE(changes, 4);
  // Wheel down on the last entry changes nothing.
  cb->SetItemIndex(2);
  SendMessageA(cb->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(cb->ItemIndex(), 2);
  const int before = changes;
  cb->SetItemIndex(0);
  SendMessageA(cb->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ(cb->ItemIndex(), 0);
  EXPECT_EQ(changes, before);
}

TEST_F(OnForm, DropDownListPassesAFoundKeyToOnKeyPressOnce) {
  auto* cb = new TLkComboBox(form_);
  cb->SetParent(form_);
  cb->SetStyle(TComboBoxStyle::csDropDownList);
  cb->SetBeepOnInvalidKey(false);
  cb->SetItems({"Alice", "Bob"});
  std::string seen;
  cb->OnKeyPress = [&seen](TObject*, char& key) { seen += key; };
  form_->Show();
  cb->SetFocus();
  for (char ch : {'b', 'x', '\x1b'}) PostMessageA(cb->Handle(), WM_CHAR, static_cast<unsigned char>(ch), 1);
  Application->ProcessMessages();
  EXPECT_EQ(seen, "b");  // "x" matches nothing, Escape is the box's own
  EXPECT_EQ(cb->ItemIndex(), 0);
}

TEST_F(OnForm, EditableComboCompletes) {
  auto* cb = new TLkComboBox(form_);
  cb->SetParent(form_);
  cb->SetStyle(TComboBoxStyle::csDropDown);
  cb->SetBeepOnInvalidKey(false);
  cb->SetAllowEdit(false);
  cb->SetItems({"Alice", "Bob", "bobby"});
  int matches = 0;
  cb->OnMatch = [&matches](TObject*) { ++matches; };
  form_->Show();
  char key = 'b';
  EXPECT_FALSE(cb->DoKeyPress(key));  // consumed: the entry completes it
  EXPECT_EQ(cb->ItemIndex(), 1);
  EXPECT_EQ(cb->Text(), "Bob");
  EXPECT_EQ(matches, 1);
  DWORD start = 0, end = 0;
  SendMessageA(cb->Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 1u);
  EXPECT_EQ(end, 3u);
  key = 'z';  // starts no entry and editing is not allowed: dropped
  EXPECT_FALSE(cb->DoKeyPress(key));
  EXPECT_EQ(cb->Text(), "Bob");
  key = 27;  // Escape clears the selection
  cb->DoKeyPress(key);
  EXPECT_EQ(cb->ItemIndex(), -1);
}

TEST_F(OnForm, ToolButtonHintsAreTheirTips) {
  auto* bar = new TToolBar(form_);
  bar->SetParent(form_);
  bar->SetShowHint(true);
  auto button = [&](const std::string& hint, TToolButtonStyle style = TToolButtonStyle::tbsButton) {
    auto* b = new TToolButton(form_);
    b->SetStyle(style);
    b->SetHint(hint);
    bar->AddButton(b);
    return b;
  };
  TToolButton* refresh = button("Refresh");
  button("", TToolButtonStyle::tbsSeparator);
  TToolButton* fresh = button("New...|Makes a new link");
  form_->Show();
  ASSERT_NE(bar->ToolTips(), nullptr);
  EXPECT_EQ(bar->ToolTipText(refresh), "Refresh");
  EXPECT_EQ(bar->ToolTipText(fresh), "New...");  // the text before "|"
  // A button added to a bar that exists, and a hint changed later.
  TToolButton* late = button("Later");
  EXPECT_EQ(bar->ToolTipText(late), "Later");
  refresh->SetHint("Reload");
  EXPECT_EQ(bar->ToolTipText(refresh), "Reload");
  // The tips stay up for the application's hint pause.
  const int pause = Application->HintHidePause();
  Application->SetHintHidePause(5000);
  SendMessageA(bar->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(SendMessageA(bar->ToolTips(), TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 5000);
  Application->SetHintHidePause(pause);
}

// The editable combo driven as a user would: keys posted to its edit part
// and run through the message loop.
class EditableCombo : public OnForm {
 protected:
  void SetUp() override {
    OnForm::SetUp();
    cb_ = new TLkComboBox(form_);
    cb_->SetParent(form_);
    cb_->SetStyle(TComboBoxStyle::csDropDown);
    cb_->SetBeepOnInvalidKey(false);
    cb_->SetItems({"Alice", "Bob", "bobby"});
    cb_->OnChange = [this](TObject*) { ++changes_; };
    cb_->OnMatch = [this](TObject*) { ++matches_; };
    form_->Show();
    edit_ = FindWindowExA(cb_->Handle(), nullptr, "EDIT", nullptr);
    ASSERT_NE(edit_, nullptr);
    SetFocus(edit_);
  }
  void TearDown() override {
    SetShift(false);
    OnForm::TearDown();
  }
  void Pump() { Application->ProcessMessages(); }
  void Type(const std::string& keys) {
    for (char ch : keys) PostMessageA(edit_, WM_CHAR, static_cast<unsigned char>(ch), 1);
    Pump();
  }
  void Key(WORD vk) {
    PostMessageA(edit_, WM_KEYDOWN, vk, 1);
    PostMessageA(edit_, WM_KEYUP, vk, 0xC0000001);
    Pump();
  }
  static void SetShift(bool down) {
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(state);
  }
  std::pair<int, int> Sel() {
    DWORD s = 0, e = 0;
    SendMessageA(cb_->Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    return {static_cast<int>(s), static_cast<int>(e)};
  }
  void SelectText(int start, int end) { SendMessageA(cb_->Handle(), CB_SETEDITSEL, 0, MAKELPARAM(start, end)); }
  TLkComboBox* cb_ = nullptr;
  HWND edit_ = nullptr;
  int changes_ = 0, matches_ = 0;
};

TEST_F(EditableCombo, TypingCompletesAndFreeTextStays) {
  Type("b");
  EXPECT_EQ(cb_->Text(), "Bob");
  EXPECT_EQ(Sel(), std::make_pair(1, 3));  // the completion is selected
  Type("ob");
  EXPECT_EQ(cb_->ItemIndex(), 1);
  Type("b");
  EXPECT_EQ(cb_->Text(), "bobby");
  EXPECT_EQ(cb_->SearchText(), "bobb");
  // No entry begins with it: the typed text without the completion, plus the key.
  Type("x");
  EXPECT_EQ(cb_->Text(), "bobbx");
  EXPECT_EQ(cb_->SearchText(), "bobbx");
  EXPECT_EQ(matches_, 4);
  // Backspace takes the key back and completes again.
  Type("\b");
  EXPECT_EQ(cb_->Text(), "bobby");
  EXPECT_EQ(cb_->SearchText(), "bobb");
  Type("\x1b");
  EXPECT_EQ(cb_->ItemIndex(), -1);
  EXPECT_EQ(cb_->SearchText(), "");
}

TEST_F(EditableCombo, BackspaceThatEmptiesClearsTheSelection) {
  Type("b");
  ASSERT_EQ(cb_->ItemIndex(), 1);
  const int before = changes_;
  Type("\b");
  EXPECT_EQ(cb_->ItemIndex(), -1);
  EXPECT_EQ(cb_->SearchText(), "");
  EXPECT_GE(changes_, before + 2);  // the removal, then the cleared selection
}

TEST_F(EditableCombo, DeleteFollowsTheTextAndHonoursAllowEdit) {
  Type("bobby");
  SelectText(1, 1);
  Key(VK_DELETE);
  EXPECT_EQ(cb_->Text(), "bbby");
  EXPECT_EQ(cb_->SearchText(), "bbby");
  // Without editing only a selection of the whole text may go.
  cb_->SetAllowEdit(false);
  cb_->SetText("");
  Type("b");
  ASSERT_EQ(cb_->Text(), "Bob");
  SelectText(0, 2);
  Key(VK_DELETE);
  EXPECT_EQ(cb_->Text(), "Bob");
  SelectText(0, -1);
  Key(VK_DELETE);
  EXPECT_EQ(cb_->Text(), "");
  EXPECT_EQ(cb_->SearchText(), "");
}

TEST_F(EditableCombo, CaretKeysTakeTheTextAsTyped) {
  Type("b");
  Key(VK_END);
  EXPECT_EQ(cb_->SearchText(), "Bob");
  Key(VK_DOWN);
  EXPECT_EQ(cb_->SearchText(), "");
}

TEST_F(EditableCombo, PasteAndCutComplete) {
  ASSERT_TRUE(PutOnClipboard("bo"));
  Type("\x16");  // Ctrl+V
  EXPECT_EQ(cb_->Text(), "Bob");
  EXPECT_EQ(cb_->ItemIndex(), 1);
  EXPECT_EQ(Sel(), std::make_pair(2, 3));
  EXPECT_EQ(matches_, 1);
  // Shift+Insert pastes the same way.
  cb_->SetText("");
  ASSERT_TRUE(PutOnClipboard("al"));
  SetShift(true);
  Key(VK_INSERT);
  SetShift(false);
  EXPECT_EQ(cb_->Text(), "Alice");
  EXPECT_EQ(cb_->SearchText(), "al");
  // Ctrl+X: what is left is the search text.
  cb_->SetText("");
  Type("bobby");
  SelectText(3, 5);
  Type("\x18");
  EXPECT_EQ(cb_->SearchText(), "bob");
  EXPECT_EQ(cb_->ItemIndex(), 1);
}

TEST_F(EditableCombo, WithoutEditingTheClipboardKeysChangeNothing) {
  cb_->SetAllowEdit(false);
  Type("b");
  ASSERT_EQ(cb_->Text(), "Bob");
  ASSERT_TRUE(PutOnClipboard("Alice"));
  SelectText(0, -1);
  Type("\x16");
  EXPECT_EQ(cb_->Text(), "Bob");
  Type("\x18");
  EXPECT_EQ(cb_->Text(), "Bob");
  SetShift(true);
  Key(VK_INSERT);
  SetShift(false);
  EXPECT_EQ(cb_->Text(), "Bob");
  SelectText(0, -1);
  SetShift(true);
  Key(VK_DELETE);  // Shift+Delete cuts
  SetShift(false);
  EXPECT_EQ(cb_->Text(), "Bob");
  SendMessageA(edit_, WM_PASTE, 0, 0);  // the edit's own menu
  EXPECT_EQ(cb_->Text(), "Bob");
}

TEST_F(EditableCombo, LeavingSelectsTheEntryOfThatTextInAnyCase) {
  cb_->SetText("");
  bool notInList = false;
  cb_->OnNotInList = [&notInList](TObject*) { notInList = true; };
  Type("zz");
  auto* other = new TEdit(form_);
  other->SetParent(form_);
  other->SetTop(60);
  other->SetFocus();
  Pump();
  EXPECT_TRUE(notInList);
  SetFocus(edit_);
  cb_->SetText("BOBBY");
  other->SetFocus();
  Pump();
  EXPECT_EQ(cb_->ItemIndex(), 2);
  // The flat frame follows the edit part's focus.
  cb_->SetFrameFlatStyle(TFrameStyle::fsFlat);
  cb_->SetFrameFocusStyle(TFrameStyle::fsGroove);
  cb_->SetFrameFlat(true);
  SetFocus(edit_);
  EXPECT_EQ(cb_->FrameStyle(), TFrameStyle::fsGroove);
  other->SetFocus();
  EXPECT_EQ(cb_->FrameStyle(), TFrameStyle::fsFlat);
}

TEST(Actions, LinksFollowOnlyWhileTheClientKeepsTheActionsValue) {
  struct Client : TActionLink {
    std::string caption;
    bool IsCaptionLinked() const override { return TActionLink::IsCaptionLinked() && caption == Custom()->Caption(); }
    void SetCaption(const std::string& c) override { caption = c; }
  };
  auto* action = new TAction(nullptr);
  int runs = 0;
  action->SetOnExecute([&runs](TObject*) { ++runs; });
  Client a, b;
  a.SetAction(action);
  b.SetAction(action);
  EXPECT_EQ(action->LinkCount(), 2);
  action->SetCaption("Go");  // both still show the old (empty) caption
  EXPECT_EQ(a.caption, "Go");
  b.caption = "Own";
  action->SetCaption("Again");
  EXPECT_EQ(a.caption, "Again");
  EXPECT_EQ(b.caption, "Own");
  EXPECT_TRUE(a.Execute());
  action->SetEnabled(false);  // a disabled action does not run
  EXPECT_FALSE(a.Execute());
  EXPECT_EQ(runs, 1);
  action->OnUpdate = [](TObject* s) { static_cast<TAction*>(s)->SetEnabled(true); };
  EXPECT_TRUE(a.Execute());  // brought up to date first
  EXPECT_EQ(runs, 2);
  b.SetAction(nullptr);
  EXPECT_EQ(action->LinkCount(), 1);
  delete action;
  EXPECT_EQ(a.Action(), nullptr);
  EXPECT_FALSE(a.Execute());
}

TEST_F(OnForm, SideBarItemsFollowTheirActions) {
  auto* bar = new TLkSideBar(form_);
  bar->SetParent(form_);
  bar->SetBounds(0, 0, 115, 446);
  bar->SetFrameStyle(TLkSideFrameStyle::fsRowButton);
  const int g = bar->AddGroup("Menu Bar");
  bar->AddItem(g, "", 0);
  bar->AddItem(g, "Own", 1);
  auto* action = new TAction(form_);
  int runs = 0, own = 0, itemClicks = 0;
  action->SetCaption("Run");
  action->SetImageIndex(7);
  action->SetOnExecute([&runs](TObject*) { ++runs; });
  bar->OnItemClick = [&itemClicks](TObject*) { ++itemClicks; };
  TLkSideItem* linked = bar->SideItem(g, 0);
  TLkSideItem* mine = bar->SideItem(g, 1);
  linked->SetAction(action);
  mine->SetAction(action);  // outside loading every value is taken
  EXPECT_EQ(linked->Caption(), "Run");
  EXPECT_EQ(linked->ImageIndex(), 0);  // never the action's image
  EXPECT_EQ(mine->Caption(), "Run");
  form_->Show();
  bar->Repaint();
  auto click = [&](int i) {
    const TLkRect& r = bar->Item(g, i).ImageRect;
    bar->ClickAt(r.Left + 2, (r.Top + r.Bottom) / 2);
  };
  click(0);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(bar->SelectedItem(), 0);
  // An item given a handler of its own runs only that.
  mine->OnClick = [&own, mine](TObject* sender) {
    ++own;
    EXPECT_EQ(sender, mine);
  };
  click(1);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(own, 1);
  // The action's changes reach the item that still shows its values.
  mine->SetCaption("Mine");
  action->SetCaption("Start");
  action->SetEnabled(false);
  EXPECT_EQ(linked->Caption(), "Start");
  EXPECT_EQ(mine->Caption(), "Mine");
  EXPECT_FALSE(linked->Enabled());
  click(0);  // disabled: the bar's event only
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(itemClicks, 3);
  action->SetVisible(false);
  EXPECT_FALSE(linked->Visible());
  action->SetVisible(true);
  // OnUpdate runs in the message loop after a paint.
  action->OnUpdate = [](TObject* s) { static_cast<TAction*>(s)->SetEnabled(true); };
  bar->Repaint();
  Application->ProcessMessages();
  EXPECT_TRUE(linked->Enabled());
  // A freed action leaves its items without one.
  delete action;
  EXPECT_EQ(linked->Action(), nullptr);
  EXPECT_EQ(linked->ActionLink(), nullptr);
  click(0);  // the handler it took from the action is its own now
  EXPECT_EQ(runs, 2);
}

TEST_F(OnForm, SideBarListReadsGroupsAndTakesActionsWhenLoaded) {
  auto* action = new TAction(form_);
  action->SetCaption("Act");
  action->SetEnabled(false);
  int runs = 0;
  action->SetOnExecute([&runs](TObject*) { ++runs; });
  auto* bar = new TLkSideBar(form_);
  EXPECT_TRUE(bar->List().empty());  // nothing stored without groups
  TLkSideItemData fromAction;
  fromAction.Action = action;
  TLkSideItemData own;
  own.Action = action;
  own.Caption = "Mine";
  own.Tag = 9;
  own.ImageIndex = 3;
  TLkSideItemData hidden;
  hidden.Caption = "Hidden";
  hidden.Visible = false;
  bar->BeginLoading();
  bar->ReadList({{"First", {fromAction, own}}, {"Second", {hidden}}});
  bar->SetSelectedItem(5);  // stored unchecked while loading
  EXPECT_EQ(bar->SelectedItem(), 5);
  bar->EndLoading();
  ASSERT_EQ(bar->GroupCount(), 2);
  EXPECT_EQ(bar->Group(1).Caption, "Second");
  EXPECT_EQ(bar->SideItem(0, 0)->Caption(), "Act");
  EXPECT_EQ(bar->SideItem(0, 1)->Caption(), "Mine");  // defaults checked: its own caption stays
  EXPECT_FALSE(bar->SideItem(0, 1)->Enabled());
  EXPECT_EQ(bar->SideItem(0, 1)->Tag(), 9);
  EXPECT_FALSE(bar->SideItem(1, 0)->Visible());
  // Written back, read into another bar: the same groups.
  const std::vector<TLkSideGroupData> list = bar->List();
  auto* copy = new TLkSideBar(form_);
  copy->BeginLoading();
  copy->ReadList(list);
  copy->EndLoading();
  ASSERT_EQ(copy->GroupCount(), 2);
  EXPECT_EQ(copy->SideItem(0, 1)->Caption(), "Mine");
  EXPECT_EQ(copy->SideItem(0, 1)->ImageIndex(), 3);
  EXPECT_EQ(copy->SideItem(0, 0)->Action(), action);
  EXPECT_FALSE(copy->SideItem(1, 0)->Visible());
  copy->SideItem(1, 0)->Assign(*copy->SideItem(0, 1));
  EXPECT_EQ(copy->SideItem(1, 0)->Action(), action);
  EXPECT_EQ(copy->SideItem(1, 0)->Caption(), "Mine");
  EXPECT_TRUE(copy->SideItem(1, 0)->Visible());
  copy->ClearGroups();
  EXPECT_EQ(copy->SelectedButton(), -1);
  EXPECT_EQ(action->LinkCount(), 2);  // the first bar's two items
}

}  // namespace
