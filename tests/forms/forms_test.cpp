// The forms layer on a small form: alignment, windowless controls over a
// panel, mouse routing and capture, popup menus, modal results, keys, the
// exception box, ownership and inheritance of font and colour.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "forms/win/application.h"
#include "forms/win/extctrls.h"
#include "forms/win/forms.h"
#include "forms/win/menus.h"
#include "forms/win/stdctrls.h"
#include "tests/forms/ui_test_util.h"
#include "tests/support/testthread.h"

namespace {

int cases_in_this_process = 0;

class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ++cases_in_this_process;
    Application->Initialize();
    form = new TForm(nullptr);
    form->SetClientSize(400, 300);
  }
  void TearDown() override { TCustomForm::Free(form); }
  TForm* form = nullptr;
  RecordingSeam seam;
};

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

TEST_F(FormsTest, NestedAlignmentFillsTheClientAreaInOrder) {
  auto* top = new TPanel(form);
  top->SetParent(form);
  top->SetHeight(40);
  top->SetAlign(TAlign::alTop);
  auto* left = new TPanel(form);
  left->SetParent(form);
  left->SetWidth(100);
  left->SetAlign(TAlign::alLeft);
  auto* client = new TPanel(form);
  client->SetParent(form);
  client->SetBevelOuter(TBevelCut::bvNone);
  client->SetAlign(TAlign::alClient);
  auto* bottom = new TPanel(form);  // inside the client panel
  bottom->SetParent(client);
  bottom->SetHeight(30);
  bottom->SetAlign(TAlign::alBottom);
  auto* right_of_bottom = new TPanel(form);  // two levels down
  right_of_bottom->SetParent(bottom);
  right_of_bottom->SetWidth(50);
  right_of_bottom->SetAlign(TAlign::alRight);
  form->HandleNeeded();

  EXPECT_EQ(top->BoundsRect(), TRect(0, 0, 400, 40));
  EXPECT_EQ(left->BoundsRect(), TRect(0, 40, 100, 300));
  EXPECT_EQ(client->BoundsRect(), TRect(100, 40, 400, 300));
  EXPECT_EQ(bottom->BoundsRect(), TRect(0, 230, 300, 260));
  // Inside the raised bevel of its parent (1 pixel).
  EXPECT_EQ(right_of_bottom->BoundsRect(), TRect(249, 1, 299, 29));

  // Resizing the form passes down every level.
  form->SetClientSize(500, 400);
  EXPECT_EQ(client->BoundsRect(), TRect(100, 40, 500, 400));
  EXPECT_EQ(bottom->BoundsRect(), TRect(0, 330, 400, 360));
  EXPECT_EQ(right_of_bottom->BoundsRect(), TRect(349, 1, 399, 29));

  // Hiding an aligned control gives its room to the others.
  top->Hide();
  EXPECT_EQ(left->BoundsRect(), TRect(0, 0, 100, 400));
}

TEST_F(FormsTest, WindowlessLabelIsPaintedByItsPanelInZOrder) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(10, 10, 200, 100);
  panel->SetBevelOuter(TBevelCut::bvNone);
  panel->SetColor(clWhite);
  auto* back = new TLabel(form);
  back->SetParent(panel);
  back->SetAutoSize(false);
  back->SetBounds(20, 20, 60, 30);
  back->SetColor(clRed);
  auto* front = new TLabel(form);
  front->SetParent(panel);
  front->SetAutoSize(false);
  front->SetBounds(50, 20, 60, 30);
  front->SetColor(clBlue);
  form->HandleNeeded();

  {
    WindowPixels px(panel);
    EXPECT_EQ(px.At(5, 5), RGB(255, 255, 255));
    EXPECT_EQ(px.At(25, 25), RGB(255, 0, 0));
    EXPECT_EQ(px.At(60, 25), RGB(0, 0, 255));  // the later label lies on top
  }
  back->BringToFront();
  {
    WindowPixels px(panel);
    EXPECT_EQ(px.At(60, 25), RGB(255, 0, 0));
  }
  back->SetVisible(false);
  {
    WindowPixels px(panel);
    EXPECT_EQ(px.At(25, 25), RGB(255, 255, 255));
  }
}

TEST_F(FormsTest, WindowlessControlGetsClicksEnterLeaveAndCapture) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(0, 0, 200, 100);
  auto* label = new TLabel(form);
  label->SetParent(panel);
  label->SetAutoSize(false);
  label->SetBounds(20, 20, 60, 30);
  std::vector<std::string> log;
  label->OnClick = [&](TObject*) { log.push_back("click"); };
  label->OnMouseEnter = [&](TObject*) { log.push_back("enter"); };
  label->OnMouseLeave = [&](TObject*) { log.push_back("leave"); };
  label->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
    log.push_back("up " + std::to_string(x) + "," + std::to_string(y));
  };
  HWND h = panel->Handle();

  SendMessageA(h, WM_MOUSEMOVE, 0, At(5, 5));
  SendMessageA(h, WM_MOUSEMOVE, 0, At(30, 30));
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(30, 30));
  SendMessageA(h, WM_LBUTTONUP, 0, At(31, 31));
  EXPECT_EQ(log, (std::vector<std::string>{"enter", "click", "up 11,11"}));

  // Pressed inside, released outside: the label keeps the mouse, no click.
  log.clear();
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(30, 30));
  EXPECT_TRUE(label->MouseCapture());
  SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, At(150, 80));
  SendMessageA(h, WM_LBUTTONUP, 0, At(150, 80));
  EXPECT_EQ(log, (std::vector<std::string>{"leave", "up 130,60"}));
  EXPECT_FALSE(label->MouseCapture());

  // A disabled label is passed over.
  log.clear();
  label->SetEnabled(false);
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(30, 30));
  SendMessageA(h, WM_LBUTTONUP, 0, At(30, 30));
  EXPECT_TRUE(log.empty());
}

TEST_F(FormsTest, PopupMenuOfAWindowlessControlRunsTheChosenItem) {
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetBounds(20, 20, 60, 30);
  auto* menu = new TPopupMenu(form);
  auto* first = new TMenuItem(form);
  first->SetCaption("First");
  auto* second = new TMenuItem(form);
  second->SetCaption("Second");
  menu->Items()->Add(first);
  menu->Items()->Add(second);
  label->SetPopupMenu(menu);
  std::string chosen;
  first->OnClick = [&](TObject*) { chosen = "first"; };
  second->OnClick = [&](TObject*) { chosen = "second"; };
  TComponent* popped_for = nullptr;
  menu->OnPopup = [&](TObject*) {
    popped_for = menu->PopupComponent();
    // The menu loop reads the thread's keys: down twice, then Enter.
    HWND h = form->Handle();
    RunLater(50, [h] {
      PostMessageA(h, WM_KEYDOWN, VK_DOWN, 0);
      PostMessageA(h, WM_KEYDOWN, VK_DOWN, 0);
      PostMessageA(h, WM_KEYDOWN, VK_RETURN, 0);
    });
    RunLater(3000, [] { EndMenu(); });  // never hang the test
  };
  form->Show();
  TPoint p = form->ClientToScreen(TPoint{30, 30});
  SendMessageA(form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form->Handle()), At(p.x, p.y));
  EXPECT_EQ(popped_for, label);
  EXPECT_EQ(chosen, "second");

  // Freeing the menu unhooks it from the control.
  delete menu;
  EXPECT_EQ(label->PopupMenu(), nullptr);
}

TEST_F(FormsTest, ModalDialogReturnsTheResultOfItsButtons) {
  struct Case {
    const char* name;
    std::function<void(TForm&, TButton& ok, TButton& cancel, TEdit& edit)> act;
    TModalResult expected;
  };
  const Case cases[] = {
      {"ok click", [](TForm&, TButton& ok, TButton&, TEdit&) { SendMessageA(ok.Handle(), BM_CLICK, 0, 0); }, mrOk},
      {"enter in edit presses the default button",
       [](TForm&, TButton&, TButton&, TEdit& edit) { PostMessageA(edit.Handle(), WM_KEYDOWN, VK_RETURN, 0); }, mrOk},
      {"escape presses the cancel button",
       [](TForm&, TButton&, TButton&, TEdit& edit) { PostMessageA(edit.Handle(), WM_KEYDOWN, VK_ESCAPE, 0); },
       mrCancel},
      {"closing the window cancels", [](TForm& f, TButton&, TButton&, TEdit&) { PostMessageA(f.Handle(), WM_CLOSE, 0, 0); },
       mrCancel},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto* dlg = new TForm(nullptr);
    dlg->SetBorderStyle(TFormBorderStyle::bsDialog);
    auto* edit = new TEdit(dlg);
    edit->SetParent(dlg);
    auto* ok = new TButton(dlg);
    ok->SetParent(dlg);
    ok->SetTop(40);
    ok->SetModalResult(mrOk);
    ok->SetDefault(true);
    auto* cancel = new TButton(dlg);
    cancel->SetParent(dlg);
    cancel->SetTop(70);
    cancel->SetModalResult(mrCancel);
    cancel->SetCancel(true);
    RunLater(30, [&] { c.act(*dlg, *ok, *cancel, *edit); });
    EXPECT_EQ(dlg->ShowModal(), c.expected);
    EXPECT_FALSE(dlg->Visible());
    TCustomForm::Free(dlg);
  }
}

TEST_F(FormsTest, ModalSeamAnswersWithoutShowing) {
  seam.seam().show_modal = [](TCustomForm&, int& r) {
    r = mrYes;
    return true;
  };
  TForm dlg(nullptr);
  EXPECT_EQ(dlg.ShowModal(), mrYes);
  EXPECT_FALSE(dlg.HandleAllocated());
}

TEST_F(FormsTest, ExceptionInClickHandlerEndsInTheErrorBox) {
  auto* button = new TButton(form);
  button->SetParent(form);
  button->OnClick = [](TObject*) { throw Exception("Something broke"); };
  form->Show();
  SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  ASSERT_EQ(seam.boxes.size(), 1u);
  EXPECT_EQ(seam.boxes[0].text, "Something broke");
  EXPECT_EQ(seam.boxes[0].caption, "Unexpected Error");
  EXPECT_EQ(seam.boxes[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));

  // A silent abort shows nothing; an OnException handler takes over the box.
  button->OnClick = [](TObject*) { Abort(); };
  SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(seam.boxes.size(), 1u);
  std::string seen;
  TObject* sender = nullptr;
  Application->OnException = [&](TObject* s, const std::exception& e) {
    seen = e.what();
    sender = s;
  };
  button->OnClick = [](TObject*) { throw std::runtime_error("plain"); };
  SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  Application->OnException = nullptr;
  EXPECT_EQ(seen, "plain");
  EXPECT_EQ(sender, button);
  EXPECT_EQ(seam.boxes.size(), 1u);
}

TEST_F(FormsTest, KeyPreviewSeesKeysFirstAndMayEatThem) {
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  form->SetKeyPreview(true);
  std::vector<WORD> form_keys;
  form->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
    form_keys.push_back(key);
    if (key == VK_F5) key = 0;
  };
  std::vector<WORD> edit_keys;
  edit->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { edit_keys.push_back(key); };
  std::string typed;
  form->OnKeyPress = [&](TObject*, char& key) {
    typed += key;
    if (key == 'x') key = 0;
  };
  form->Show();
  PostMessageA(edit->Handle(), WM_KEYDOWN, VK_F5, 0);
  PostMessageA(edit->Handle(), WM_KEYDOWN, VK_F6, 0);
  PostMessageA(edit->Handle(), WM_CHAR, 'a', 0);
  PostMessageA(edit->Handle(), WM_CHAR, 'x', 0);
  PostMessageA(edit->Handle(), WM_CHAR, 'b', 0);
  Application->ProcessMessages();
  EXPECT_EQ(form_keys, (std::vector<WORD>{VK_F5, VK_F6}));
  EXPECT_EQ(edit_keys, (std::vector<WORD>{VK_F6}));
  EXPECT_EQ(typed, "axb");
  EXPECT_EQ(edit->Text(), "ab");
}

TEST_F(FormsTest, TabMovesTheFocusInTabOrder) {
  auto* first = new TEdit(form);
  first->SetParent(form);
  auto* skipped = new TEdit(form);
  skipped->SetParent(form);
  skipped->SetTabStop(false);
  auto* second = new TEdit(form);
  second->SetParent(form);
  second->SetTabOrder(0);  // now before `first`
  form->Show();
  EXPECT_EQ(form->ActiveControl(), second);
  PostMessageA(second->Handle(), WM_KEYDOWN, VK_TAB, 0);
  Application->ProcessMessages();
  EXPECT_EQ(GetFocus(), first->Handle());
  EXPECT_EQ(form->ActiveControl(), first);
  PostMessageA(first->Handle(), WM_KEYDOWN, VK_TAB, 0);
  Application->ProcessMessages();
  EXPECT_EQ(GetFocus(), second->Handle());  // round again, past the one without a tab stop
  EXPECT_EQ(second->Text(), "");            // the Tab itself was not typed
}

TEST_F(FormsTest, FormMadeVisibleWhileLoadingShowsAfterOnCreate) {
  std::vector<std::string> log;
  TForm f(nullptr);
  f.OnCreate = [&](TObject*) { log.push_back(f.HandleAllocated() ? "create shown" : "create"); };
  f.OnShow = [&](TObject*) { log.push_back("show"); };
  f.BeginLoading();
  f.SetVisible(true);
  EXPECT_FALSE(f.HandleAllocated());
  f.EndLoading();
  EXPECT_EQ(log, (std::vector<std::string>{"create", "show"}));
  EXPECT_TRUE(IsWindowVisible(f.Handle()));
}

TEST_F(FormsTest, HintOfTheControlUnderTheMouseGoesToTheTooltip) {
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetBounds(20, 20, 60, 20);
  label->SetHint("See the help|Opens the help file");
  auto* quiet = new TLabel(form);
  quiet->SetParent(form);
  quiet->SetBounds(100, 20, 60, 20);
  quiet->SetHint("not shown");
  form->SetShowHint(true);
  quiet->SetShowHint(false);
  HWND h = form->Handle();
  auto tool_text = [] {
    HWND tip = Application->HintWindow();
    if (!tip || SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0) == 0) return std::string();
    char buf[100] = {0};
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    SendMessageA(tip, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&ti));
    ti.lpszText = buf;
    SendMessageA(tip, TTM_GETTEXTA, sizeof buf, reinterpret_cast<LPARAM>(&ti));
    return std::string(buf);
  };
  SendMessageA(h, WM_MOUSEMOVE, 0, At(30, 30));
  EXPECT_EQ(tool_text(), "See the help");
  // Its own ShowHint off wins over the parent's.
  SendMessageA(h, WM_MOUSEMOVE, 0, At(110, 30));
  EXPECT_EQ(tool_text(), "");
  EXPECT_TRUE(label->ShowHint());
  EXPECT_TRUE(label->ParentShowHint());
  form->SetShowHint(false);
  SendMessageA(h, WM_MOUSEMOVE, 0, At(300, 200));
  SendMessageA(h, WM_MOUSEMOVE, 0, At(30, 30));
  EXPECT_EQ(tool_text(), "");
}

TEST_F(FormsTest, StayOnTopSwitchesAtRunTime) {
  form->SetFormStyle(TFormStyle::fsStayOnTop);
  form->Show();
  EXPECT_TRUE(GetWindowLongA(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  form->SetFormStyle(TFormStyle::fsNormal);
  EXPECT_FALSE(GetWindowLongA(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(FormsTest, FormIsCentredOnTheScreenWhenShown) {
  form->SetPosition(TPosition::poScreenCenter);
  form->SetBounds(0, 0, 300, 200);
  form->Show();
  EXPECT_EQ(form->Left(), (GetSystemMetrics(SM_CXSCREEN) - 300) / 2);
  EXPECT_EQ(form->Top(), (GetSystemMetrics(SM_CYSCREEN) - 200) / 2);
}

TEST_F(FormsTest, FontAndColourFollowTheParentUntilSetOwn) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  auto* label = new TLabel(form);
  label->SetParent(panel);
  label->SetParentColor(true);
  form->Font()->SetName("Tahoma");
  EXPECT_EQ(panel->Font()->Name(), "Tahoma");
  EXPECT_EQ(label->Font()->Name(), "Tahoma");
  label->Font()->SetHeight(-20);
  EXPECT_FALSE(label->ParentFont());
  form->Font()->SetName("Verdana");
  EXPECT_EQ(label->Font()->Name(), "Tahoma");
  label->SetParentFont(true);
  EXPECT_EQ(label->Font()->Name(), "Verdana");
  panel->SetColor(clYellow);
  EXPECT_EQ(label->Color(), clYellow);
}

TEST_F(FormsTest, OnCreateAfterLoadingAndOnDestroyBeforeTheFormGoes) {
  struct MyForm : TForm {
    explicit MyForm(TComponent* o, std::vector<std::string>& log) : TForm(o), log_(log) {
      BeginLoading();
      OnCreate = TNotifyEvent(this, &MyForm::FormCreate);
      OnDestroy = TNotifyEvent(this, &MyForm::FormDestroy);
      caption_seen = "none";
      SetCaption("Built");
      EndLoading();
    }
    void FormCreate(TObject*) { log_.push_back("create " + Caption()); }
    void FormDestroy(TObject*) { log_.push_back("destroy " + caption_seen); }
    std::vector<std::string>& log_;
    std::string caption_seen;
  };
  std::vector<std::string> log;
  TComponent owner(nullptr);
  auto* f = new MyForm(&owner, log);
  f->caption_seen = "alive";
  EXPECT_EQ(log, (std::vector<std::string>{"create Built"}));
  // The owner frees it: the handler still sees the whole form.
  (void)f;
  {
    TComponent* o = &owner;
    while (o->ComponentCount() > 0) Free(o->Components(0));
  }
  EXPECT_EQ(log, (std::vector<std::string>{"create Built", "destroy alive"}));
}

TEST_F(FormsTest, ControlFreedByAnotherHandlerIsForgottenByItsParent) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  auto* a = new TLabel(form);
  a->SetParent(panel);
  a->SetBounds(0, 0, 50, 20);
  SendMessageA(panel->Handle(), WM_MOUSEMOVE, 0, At(10, 10));
  EXPECT_EQ(Application->MouseControl(), a);
  delete a;
  EXPECT_EQ(panel->ControlCount(), 0);
  EXPECT_EQ(Application->MouseControl(), nullptr);
  SendMessageA(panel->Handle(), WM_MOUSEMOVE, 0, At(12, 10));  // no stale pointer is used
  EXPECT_EQ(Application->MouseControl(), panel);
}

// A windowed control freed while it sits on its parent leaves the parent's
// tab order and its form's active control (it used to stay in the tab order
// as a dangling pointer, and the next Show crashed on it).
TEST_F(FormsTest, WindowedControlFreedOnItsParentLeavesTheTabOrder) {
  struct Case {
    const char* name;
    bool on_panel;       // the freed control sits on a panel, else on the form
    bool focused;        // it holds the focus when freed
    bool free_the_panel; // the panel goes, with the control on it
  };
  const Case cases[] = {
      {"an edit on the form", false, false, false},
      {"the focused edit on the form", false, true, false},
      {"the focused edit on a panel", true, true, false},
      {"the panel holding the focused edit", true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TForm* f = new TForm(nullptr);
    TComponent other_owner(nullptr);  // not the form: no owner's notice helps
    auto* stays = new TEdit(f);
    stays->SetParent(f);
    auto* panel = new TPanel(&other_owner);
    panel->SetParent(f);
    auto* gone = new TEdit(&other_owner);
    gone->SetParent(c.on_panel ? static_cast<TWinControl*>(panel) : f);
    f->Show();
    if (c.focused) gone->SetFocus();
    ASSERT_EQ(f->ActiveControl(), c.focused ? gone : stays);
    if (c.free_the_panel) {
      delete panel;
      EXPECT_EQ(gone->Parent(), nullptr);
    } else {
      delete gone;
    }
    std::vector<TWinControl*> order;
    f->GetTabOrderList(order);
    std::vector<TWinControl*> expected{stays};
    if (!c.free_the_panel) expected.push_back(panel);
    EXPECT_EQ(order, expected);
    // The active control, if any, is one still on the form (the system may
    // have passed the focus on to the freed edit's parent).
    TWinControl* active = f->ActiveControl();
    if (!c.focused) EXPECT_EQ(active, stays);
    if (active) {
      ASSERT_TRUE(TControl::Alive(active));
      EXPECT_TRUE(f->ContainsControl(active));
    }
    // Shown again, the form focuses it, else the first in tab order.
    f->Hide();
    f->Show();
    TWinControl* focus = active ? active : stays;
    EXPECT_EQ(f->ActiveControl(), focus);
    EXPECT_EQ(GetFocus(), focus->Handle());
    TCustomForm::Free(f);
  }
}

TEST_F(FormsTest, ClickHandlerMayFreeItsOwnControl) {
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetBounds(0, 0, 50, 20);
  bool up_seen = false;
  label->OnClick = [&](TObject* s) { delete static_cast<TLabel*>(s); };
  label->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { up_seen = true; };
  HWND h = form->Handle();
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
  SendMessageA(h, WM_LBUTTONUP, 0, At(10, 10));
  EXPECT_FALSE(TControl::Alive(label));
  EXPECT_FALSE(up_seen);
  EXPECT_EQ(form->ControlCount(), 0);
}

TEST_F(FormsTest, NativeNotificationsAreReflectedToTheControl) {
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  form->HandleNeeded();
  SetWindowTextA(edit->Handle(), "typed");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(edit->Text(), "typed");
  edit->SetMaxLength(3);
  SendMessageA(edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  for (char c : std::string("abcdef")) SendMessageA(edit->Handle(), WM_CHAR, c, 0);
  EXPECT_EQ(edit->Text(), "abc");
  // The colour the parent hands the edit for painting is the edit's own.
  edit->SetColor(clAqua);
  HDC dc = GetDC(edit->Handle());
  auto brush = reinterpret_cast<HBRUSH>(SendMessageA(form->Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                                     reinterpret_cast<LPARAM>(edit->Handle())));
  EXPECT_EQ(brush, edit->Brush()->Handle());
  EXPECT_EQ(GetBkColor(dc), static_cast<COLORREF>(clAqua));
  ReleaseDC(edit->Handle(), dc);
}

// The client area a form asks for is the one its window gets, whatever the
// frame, a menu bar and the moment of asking (before or after the window
// exists, with a move or a change of frame in between).
TEST_F(FormsTest, ClientSizeIsExactForEveryFrame) {
  enum When { kBeforeWindow, kThenRestyled, kThenRestyledAndMoved, kAfterWindow };
  struct Case {
    const char* name;
    TFormBorderStyle border;
    TBorderIcons icons;
    bool menu;
    When when;
  };
  using B = TFormBorderStyle;
  const Case cases[] = {
      {"none", B::bsNone, 0, false, kBeforeWindow},
      {"single, system menu only", B::bsSingle, biSystemMenu, false, kBeforeWindow},
      {"sizeable", B::bsSizeable, biSystemMenu | biMinimize | biMaximize, false, kBeforeWindow},
      {"dialog", B::bsDialog, biSystemMenu, false, kBeforeWindow},
      {"tool window", B::bsToolWindow, biSystemMenu, false, kBeforeWindow},
      {"single with a menu bar", B::bsSingle, biSystemMenu, true, kBeforeWindow},
      {"sizeable with a menu bar, after the window", B::bsSizeable, biSystemMenu, true, kAfterWindow},
      {"none, then given a frame", B::bsNone, biSystemMenu, false, kThenRestyled},
      {"none, then given a frame and moved", B::bsNone, biSystemMenu, false, kThenRestyledAndMoved},
      {"single, after the window", B::bsSingle, biSystemMenu, false, kAfterWindow},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto* f = new TForm(nullptr);
    f->SetBorderStyle(c.border);
    f->SetBorderIcons(c.icons);
    if (c.menu) {
      auto* menu = new TMainMenu(f);
      auto* file = new TMenuItem(menu);
      file->SetCaption("&File");
      menu->Items()->Add(file);
      f->SetMenu(menu);
    }
    if (c.when == kAfterWindow) f->HandleNeeded();
    f->SetClientSize(635, 470);
    if (c.when == kThenRestyled || c.when == kThenRestyledAndMoved) f->SetBorderStyle(B::bsSingle);
    if (c.when == kThenRestyledAndMoved) f->SetLeft(40);
    f->Show();
    RECT rc;
    GetClientRect(f->Handle(), &rc);
    EXPECT_EQ(rc.right, 635);
    EXPECT_EQ(rc.bottom, 470);
    EXPECT_EQ(f->ClientWidth(), 635);
    EXPECT_EQ(f->ClientHeight(), 470);
    TCustomForm::Free(f);
  }
}

// What DrawText measures for a caption on the screen, as a label does it
// (an empty caption measures as one space).
using TExtent = std::pair<int, int>;  // width, height

TExtent ScreenExtent(const std::string& caption, const TFont& font, UINT flags, int wrapWidth = 0) {
  const std::string text = caption.empty() ? " " : caption;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font.Handle());
  RECT r{0, 0, wrapWidth, 0};
  DrawTextA(dc, text.data(), static_cast<int>(text.size()), &r, flags | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return TExtent{r.right, r.bottom};
}

TExtent SizeOf(const TControl* c) { return TExtent{c->Width(), c->Height()}; }

// An AutoSize label fits its caption after every change, in whatever order
// the caption, font, colour, wrapping and alignment are set, and two labels
// of the same look are the same size.
TEST_F(FormsTest, AutoSizedLabelFitsItsCaptionAfterEveryChange) {
  auto* label = new TLabel(form);
  TFont font;
  EXPECT_EQ(SizeOf(label), ScreenExtent("", font, label->TextFlags()));
  label->SetParent(form);
  label->Font()->SetColor(clRed);
  EXPECT_EQ(SizeOf(label), ScreenExtent("", font, label->TextFlags()));

  label->SetCaption("Hello, world");
  const TExtent plain = ScreenExtent("Hello, world", font, label->TextFlags());
  EXPECT_EQ(SizeOf(label), plain);
  label->Font()->SetHeight(-20);
  font.SetHeight(-20);
  const TExtent tall = ScreenExtent("Hello, world", font, label->TextFlags());
  EXPECT_GT(tall.second, plain.second);
  EXPECT_EQ(SizeOf(label), tall);
  label->Font()->SetStyle(fsBold);
  font.SetStyle(fsBold);
  EXPECT_EQ(SizeOf(label), ScreenExtent("Hello, world", font, label->TextFlags()));
  label->Font()->SetHeight(-11);
  label->Font()->SetStyle(0);
  EXPECT_EQ(SizeOf(label), plain) << "back to the first look";

  auto* twin = new TLabel(form);
  twin->SetParent(form);
  twin->Font()->SetColor(clBlue);
  twin->SetCaption("Hello, world");
  EXPECT_EQ(SizeOf(twin), plain);

  // Wrapped: the width stays and the height follows the lines at that width.
  font.SetHeight(-11);
  font.SetStyle(0);
  const std::string words = "several words that wrap at the width";
  label->SetWordWrap(true);
  label->SetWidth(60);
  label->SetCaption(words);
  EXPECT_EQ(SizeOf(label), ScreenExtent(words, font, label->TextFlags(), 60));
  label->SetWidth(150);
  label->SetCaption(words + ".");
  label->SetCaption(words);
  EXPECT_EQ(SizeOf(label), ScreenExtent(words, font, label->TextFlags(), 150));
  EXPECT_LT(label->Height(), ScreenExtent(words, font, label->TextFlags(), 60).second);

  // Right-justified: the right edge stays where it was.
  twin->SetAlignment(TAlignment::taRightJustify);
  twin->SetBounds(100, 30, 80, twin->Height());
  twin->SetCaption("ab");
  const TExtent ab = ScreenExtent("ab", font, twin->TextFlags());
  EXPECT_EQ(SizeOf(twin), ab);
  EXPECT_EQ(twin->Left() + twin->Width(), 180);
  twin->SetCaption("Hello, world");
  EXPECT_EQ(twin->Left() + twin->Width(), 180);
  EXPECT_EQ(SizeOf(twin), plain);
}

// The hidden application window comes with its first use, not with
// Initialize; what waited for it runs then, and later requests run at once.
TEST_F(FormsTest, HiddenWindowIsMadeOnFirstUseAndRunsWhatWaitedForIt) {
  if (cases_in_this_process > 1) GTEST_SKIP() << "needs a process of its own (as ctest runs it)";
  EXPECT_FALSE(Application->HandleAllocated()) << "Initialize makes no window";
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetCaption("shown");
  form->Show();
  EXPECT_FALSE(Application->HandleAllocated()) << "a form and its controls need no hidden window";
  std::vector<HWND> seen;
  Application->WhenHandleCreated([&](HWND h) { seen.push_back(h); });
  EXPECT_TRUE(seen.empty());
  const HWND app = Application->Handle();
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(GetWindowThreadProcessId(app, nullptr), GetCurrentThreadId());
  Application->WhenHandleCreated([&](HWND h) { seen.push_back(h); });
  EXPECT_EQ(seen, (std::vector<HWND>{app, app}));
  EXPECT_EQ(Application->Handle(), app);
}

// Work queued by another thread runs in the main thread's loop, whether or
// not the hidden window exists yet; the other thread never makes it.
TEST_F(FormsTest, WorkQueuedByAnotherThreadRunsInTheMainLoop) {
  const bool hadWindow = Application->HandleAllocated();
  DWORD ranOn = 0;
  TTestThread([&] { Application->Queue([&] { ranOn = GetCurrentThreadId(); }); }).join();
  EXPECT_EQ(Application->HandleAllocated(), hadWindow);
  const DWORD start = GetTickCount();
  while (!ranOn && GetTickCount() - start < 3000) {
    Application->ProcessMessages();
    Sleep(1);
  }
  EXPECT_EQ(ranOn, GetCurrentThreadId());
}

// A cursor registered with a loader is loaded once, when first asked for;
// SetCursors replaces the loader, and a loader without a result leaves the
// system's cursor.
TEST(ScreenCursors, LoaderRunsOnceOnFirstUse) {
  EnsureFormsGlobals();
  constexpr TCursor kLoaded = 1201, kReplaced = 1202, kMissing = 1203;
  const HCURSOR cross = LoadCursor(nullptr, IDC_CROSS), wait = LoadCursor(nullptr, IDC_WAIT);
  int loads = 0;
  Screen->SetCursorLoader(kLoaded, [&] {
    ++loads;
    return cross;
  });
  Screen->SetCursorLoader(kReplaced, [&] {
    ++loads;
    return cross;
  });
  Screen->SetCursorLoader(kMissing, [&]() -> HCURSOR {
    ++loads;
    return nullptr;
  });
  EXPECT_EQ(loads, 0);
  EXPECT_EQ(Screen->Cursors(kLoaded), cross);
  EXPECT_EQ(Screen->Cursors(kLoaded), cross);
  EXPECT_EQ(loads, 1);
  Screen->SetCursors(kReplaced, wait);
  EXPECT_EQ(Screen->Cursors(kReplaced), wait);
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(Screen->Cursors(kMissing), Screen->Cursors(crArrow));
  EXPECT_EQ(loads, 2);
  Screen->SetCursors(kLoaded, nullptr);
  Screen->SetCursors(kReplaced, nullptr);
}

// Forms left to the application are freed during exit, after the layer's
// function-local statics have gone: menu items, popup menus and a running
// timer must not reach for destroyed tables then.
TEST(FormsExit, FormsFreedAtExitEndTheProcessCleanly) {
  std::string exe = std::string("Z:") + FORMS_EXIT_HELPER;
  for (char& c : exe)
    if (c == '/') c = '\\';
  char tmp[MAX_PATH];
  GetTempPathA(sizeof tmp, tmp);
  const std::string marker = std::string(tmp) + "lk-forms-exit-" + std::to_string(GetCurrentProcessId()) + ".txt";
  DeleteFileA(marker.c_str());
  std::string cmd = "\"" + exe + "\" \"" + marker + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) << cmd;
  ASSERT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  std::string written;
  if (FILE* f = std::fopen(marker.c_str(), "r")) {
    char line[64] = {0};
    if (std::fgets(line, sizeof line, f)) written = line;
    std::fclose(f);
  }
  DeleteFileA(marker.c_str());
  EXPECT_EQ(written, "form destroyed\n") << cmd;
  EXPECT_EQ(code, 0u);
}

}  // namespace
