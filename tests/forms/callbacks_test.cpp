// The forms layer's heart: every way a handler is called back from the
// system ends a failure in the application's box and the program goes on;
// the context-popup event; the modal loop's disabled windows; `this` found
// only for windows of our own classes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "forms/win/application.h"
#include "forms/win/comctl_listview.h"
#include "forms/win/forms.h"
#include "forms/win/menus.h"
#include "forms/win/stdctrls.h"
#include "forms/win/timer.h"
#include "tests/forms/ui_test_util.h"

namespace {

class CallbacksTest : public ::testing::Test {
 public:
  void SetUp() override {
    Application->Initialize();
    form = new TForm(nullptr);
    form->SetClientSize(400, 300);
  }
  void TearDown() override {
    if (form) TCustomForm::Free(form);
  }
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const RecordedBox& b : seam.boxes) texts.push_back(b.caption + ": " + b.text);
    return texts;
  }
  TForm* form = nullptr;
  RecordingSeam seam;
};

class ThrowingPaintLabel : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;

 protected:
  void Paint() override { throw Exception("label paint failed"); }
};

class ThrowingPaintPanel : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;

 protected:
  void Paint() override { throw Exception("panel paint failed"); }
};

TListView* ListOf(TWinControl* parent, const std::vector<std::string>& rows) {
  auto* list = new TListView(parent);
  list->SetParent(parent);
  list->SetViewStyle(TViewStyle::vsReport);
  list->AddColumn("Name", 100);
  for (const std::string& r : rows) list->AddRow(r, {}, -1);
  return list;
}

std::vector<std::string> Captions(TListView* list) {
  std::vector<std::string> out;
  for (int i = 0; i < list->Count(); ++i) out.push_back(list->Items(i)->Caption());
  return out;
}

// Each route by which the system calls us back, with a handler that throws:
// one "Unexpected Error" box with the handler's message, and what comes
// after the failing handler still works.
TEST_F(CallbacksTest, EveryCallbackRouteEndsInOneErrorBoxAndTheProgramGoesOn) {
  struct Case {
    const char* name;
    std::function<void(CallbacksTest&)> run;  // sets up, triggers and pumps
    std::string message;
  };
  const Case cases[] = {
      {"a key handler run by the message loop",
       [](CallbacksTest& t) {
         auto* edit = new TEdit(t.form);
         edit->SetParent(t.form);
         t.form->SetKeyPreview(true);
         t.form->OnKeyDown = [](TObject*, WORD& key, TShiftState) {
           if (key == VK_F5) throw Exception("key failed");
         };
         t.form->Show();
         PostMessageA(edit->Handle(), WM_KEYDOWN, VK_F5, 1);
         PostMessageA(edit->Handle(), WM_CHAR, 'x', 1);  // the loop goes on to the next message
         PumpFor(100);
         EXPECT_EQ(edit->Text(), "x");
       },
       "key failed"},
      {"work queued for the main loop",
       [](CallbacksTest&) {
         bool later = false;
         Application->Queue([] { throw Exception("queued work failed"); });
         Application->Queue([&] { later = true; });
         PumpFor(50);
         EXPECT_TRUE(later);
       },
       "queued work failed"},
      {"a window timer",
       [](CallbacksTest&) {
         TTimer timer(nullptr);
         timer.SetInterval(20);
         timer.SetOnTimer([&timer](TObject*) {
           timer.SetEnabled(false);
           throw Exception("timer failed");
         });
         PumpFor(150);
       },
       "timer failed"},
      {"a windowless child's paint: its siblings are painted all the same",
       [](CallbacksTest& t) {
         auto* bad = new ThrowingPaintLabel(t.form);
         bad->SetParent(t.form);
         bad->SetBounds(0, 0, 20, 20);
         auto* good = new TLabel(t.form);
         good->SetParent(t.form);
         good->SetAutoSize(false);
         good->SetBounds(30, 0, 20, 20);
         good->SetColor(clRed);
         t.form->SetColor(clWhite);
         WindowPixels px(t.form);
         EXPECT_EQ(px.At(35, 5), RGB(255, 0, 0));
       },
       "label paint failed"},
      {"a window's own paint: the paint still ends",
       [](CallbacksTest& t) {
         auto* panel = new ThrowingPaintPanel(t.form);
         panel->SetParent(t.form);
         panel->SetBounds(0, 0, 50, 50);
         t.form->Show();
         InvalidateRect(panel->Handle(), nullptr, TRUE);
         UpdateWindow(panel->Handle());
         EXPECT_FALSE(GetUpdateRect(panel->Handle(), nullptr, FALSE)) << "no endless WM_PAINT";
         PumpFor(50);
       },
       "panel paint failed"},
      {"a list view comparator, called back by the list inside its sort",
       [](CallbacksTest& t) {
         TListView* list = ListOf(t.form, {"b", "c", "a"});
         list->OnColumnClick = [list](TObject*, int) {
           list->CustomSort([](TListItem* a, TListItem* b) -> int {
             if (a->Caption() == "a" || b->Caption() == "a") throw Exception("comparator failed");
             return a->Caption().compare(b->Caption());
           });
         };
         t.form->Show();
         NMLISTVIEW nm{};
         nm.hdr.hwndFrom = list->Handle();
         nm.hdr.idFrom = GetDlgCtrlID(list->Handle());
         nm.hdr.code = LVN_COLUMNCLICK;
         nm.iSubItem = 0;
         SendMessageA(t.form->Handle(), WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
         // Every row is still there, and the list sorts again.
         std::vector<std::string> rows = Captions(list);
         std::sort(rows.begin(), rows.end());
         EXPECT_EQ(rows, (std::vector<std::string>{"a", "b", "c"}));
         list->CustomSort([](TListItem* a, TListItem* b) { return a->Caption().compare(b->Caption()); });
         EXPECT_EQ(Captions(list), (std::vector<std::string>{"a", "b", "c"}));
       },
       "comparator failed"},
      {"a form's OnDestroy: the form goes all the same",
       [](CallbacksTest&) {
         auto* other = new TForm(nullptr);
         other->OnDestroy = [](TObject*) { throw Exception("destroy failed"); };
         other->Show();
         const HWND h = other->Handle();
         TCustomForm::Free(other);
         EXPECT_FALSE(IsWindow(h));
       },
       "destroy failed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    seam.boxes.clear();
    c.run(*this);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Unexpected Error: " + c.message});
    TCustomForm::Free(form);
    form = new TForm(nullptr);
    form->SetClientSize(400, 300);
  }
}

TEST_F(CallbacksTest, FailingComparatorWithoutAWindowLeavesTheRowsAsTheyWere) {
  // Enough rows, and a comparator that fails halfway through the sort.
  std::vector<std::string> rows;
  for (int i = 0; i < 40; ++i) rows.push_back(std::string(1, static_cast<char>('a' + (i * 7) % 26)) + std::to_string(i));
  TListView* list = ListOf(form, rows);
  ASSERT_FALSE(list->HandleAllocated());
  int calls = 0;
  auto failing = [&calls](TListItem* a, TListItem* b) -> int {
    if (++calls == 60) throw Exception("no");
    return a->Caption().compare(b->Caption());
  };
  EXPECT_THROW(list->CustomSort(failing), Exception);
  EXPECT_EQ(Captions(list), rows);
  list->CustomSort([](TListItem* a, TListItem* b) { return a->Caption().compare(b->Caption()); });
  std::sort(rows.begin(), rows.end());
  EXPECT_EQ(Captions(list), rows);
}

// Handled suppresses every menu: a popup menu of ours and a native
// control's own; the event gets the point in the control's coordinates,
// (-1, -1) from the keyboard.
TEST_F(CallbacksTest, ContextPopupEventMaySuppressTheMenu) {
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetBounds(10, 10, 120, 24);
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetAutoSize(false);
  label->SetBounds(200, 50, 60, 30);
  auto* menu = new TPopupMenu(form);
  auto* item = new TMenuItem(form);
  item->SetCaption("Only");
  menu->Items()->Add(item);
  label->SetPopupMenu(menu);
  form->Show();

  struct Case {
    const char* name;
    TControl* control;
    bool keyboard;
    bool handled;
    bool menu_expected;
  };
  const Case cases[] = {
      {"edit, handled: no native menu", edit, false, true, false},
      {"edit, not handled: the edit's own menu", edit, false, false, true},
      {"label, handled: its popup menu stays shut", label, false, true, false},
      {"label, not handled: its popup menu shows", label, false, false, true},
      {"edit from the keyboard, handled", edit, true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<TPoint> seen;
    c.control->OnContextPopup = [&](TObject* sender, TPoint at, bool& handled) {
      EXPECT_EQ(sender, c.control);
      seen.push_back(at);
      handled = c.handled;
    };
    bool menu_seen = false;
    RunLater(150, [&] {
      HWND m = FindWindowA("#32768", nullptr);
      menu_seen = m && IsWindowVisible(m);
      EndMenu();
    });
    const TPoint inside{c.control->Width() / 2, c.control->Height() / 2};
    const TPoint screen = c.control->ClientToScreen(inside);
    HWND target = c.control->IsWindowed() ? static_cast<TWinControl*>(c.control)->Handle() : form->Handle();
    const LPARAM at = c.keyboard ? MAKELPARAM(-1, -1) : MAKELPARAM(screen.x, screen.y);
    SendMessageA(target, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(target), at);
    PumpFor(250);
    EXPECT_EQ(menu_seen, c.menu_expected);
    ASSERT_EQ(seen.size(), 1u);
    if (c.keyboard) {
      EXPECT_EQ(seen[0], (TPoint{-1, -1}));
    } else {
      EXPECT_EQ(seen[0], inside);
    }
    c.control->OnContextPopup = nullptr;
  }
}

// The modal loop disables the program's other windows and enables them
// again, also when showing the dialog fails.
TEST_F(CallbacksTest, ModalFormDisablesTheOthersUntilItEnds) {
  form->Show();
  auto* dlg = new TForm(nullptr);
  auto* ok = new TButton(dlg);
  ok->SetParent(dlg);
  ok->SetModalResult(mrOk);
  bool form_enabled_meanwhile = true, dlg_enabled_meanwhile = false;
  RunLater(50, [&] {
    form_enabled_meanwhile = IsWindowEnabled(form->Handle());
    dlg_enabled_meanwhile = IsWindowEnabled(dlg->Handle());
    SendMessageA(ok->Handle(), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(dlg->ShowModal(), mrOk);
  EXPECT_FALSE(form_enabled_meanwhile);
  EXPECT_TRUE(dlg_enabled_meanwhile);
  EXPECT_TRUE(IsWindowEnabled(form->Handle()));

  dlg->OnShow = [](TObject*) { throw Exception("show failed"); };
  EXPECT_THROW(dlg->ShowModal(), Exception);
  EXPECT_TRUE(IsWindowEnabled(form->Handle()));
  EXPECT_FALSE(dlg->Visible());
  EXPECT_FALSE(dlg->Modal());
  TCustomForm::Free(dlg);
}

// `this` is read from a window's user data only when the window is of one of
// our classes: a foreign window holding a control's address is not ours.
TEST_F(CallbacksTest, ControlIsFoundOnlyForWindowsOfOurClasses) {
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  form->HandleNeeded();
  EXPECT_EQ(TWinControl::FromHandle(form->Handle()), form);
  EXPECT_EQ(TWinControl::FromHandle(edit->Handle()), edit);

  HWND foreign = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, form->Handle(), nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(foreign, nullptr);
  SetWindowLongPtrA(foreign, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(edit));
  EXPECT_EQ(TWinControl::FromHandle(foreign), nullptr);
  DestroyWindow(foreign);

  // A rebuilt window is found, the old handle no longer.
  const HWND old = edit->Handle();
  edit->SetBorderStyle(TEditBorderStyle::bsNone);
  edit->HandleNeeded();
  EXPECT_EQ(TWinControl::FromHandle(edit->Handle()), edit);
  if (edit->Handle() != old) {
    EXPECT_EQ(TWinControl::FromHandle(old), nullptr);
  }
}

}  // namespace
