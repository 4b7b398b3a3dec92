// The console's menus under Wine: every menu of the main window painted by
// MenuPainter1, and the shortcuts they show pressed on the window: each runs
// its item once and its character reaches no control.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <map>
#include <optional>
#include <vector>
#include <string>

#include "console/win/desktoppage.h"
#include "console/win/lkmainform.h"
#include "console/win/usersettingspage.h"
#include "controls/win/menupainter.h"
#include "forms/win/actions.h"
#include "forms/win/application.h"
#include "shared/win/installpaths.h"
#include "tests/forms/ui_test_util.h"
#include "tests/shared_win/winfixture.h"

namespace {

class ConsoleMenus : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitialize(nullptr);
    InitInstallPaths();
  }
  void SetUp() override {
    lock_.emplace();  // the console reads and writes the prefix's shared settings
    ASSERT_TRUE(lock_->Held());
    Application->Initialize();
    main_ = new TLKMain(Application);
    main_->Show();
    Application->ProcessMessages();
  }
  void TearDown() override {
    SetKeys(0);
    TCustomForm::Free(main_);
    lock_.reset();
  }
  static void SetKeys(int modifier) {
    BYTE state[256] = {};
    if (modifier) state[modifier] = 0x80;
    SetKeyboardState(state);
  }
  // Down (translated into its character unless a shortcut takes it) and up.
  static void Press(HWND target, WORD vk, int modifier) {
    SetKeys(modifier);
    PostMessageA(target, WM_KEYDOWN, vk, 1);
    PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
    Application->ProcessMessages();
    Application->ProcessMessages();
    SetKeys(0);
  }
  // A shortcut's keys as the keyboard sends them: with Alt held, the
  // system's key messages.
  static void PressShortCut(HWND target, TShortCut sc) {
    BYTE state[256] = {};
    if (sc & scCtrl) state[VK_CONTROL] = 0x80;
    if (sc & scShift) state[VK_SHIFT] = 0x80;
    if (sc & scAlt) state[VK_MENU] = 0x80;
    SetKeyboardState(state);
    const WORD vk = sc & 0xFF;
    const LPARAM alt = (sc & scAlt) ? (1 << 29) : 0;
    PostMessageA(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, 1 | alt);
    PostMessageA(target, alt ? WM_SYSKEYUP : WM_KEYUP, vk, 0xC0000001 | alt);
    Application->ProcessMessages();
    Application->ProcessMessages();
    SetKeys(0);
  }
  TLKMain* main_ = nullptr;
  RecordingSeam seam_;
  std::optional<lkfix::TPrefixLock> lock_;
};

TEST_F(ConsoleMenus, CtrlAOnTheDesktopListSelectsEveryRowOnce) {
  TLkListView* list = main_->DesktopPage->DesktopLista;
  list->Clear();
  for (const char* name : {"Alpha", "Beta", "Gamma", "Delta"}) list->AddRow(name, {"", "", "", ""}, -1);
  int runs = 0;
  const TNotifyEvent select_all = main_->DesktopPage->SelectAll1->OnClick;
  main_->DesktopPage->SelectAll1->OnClick = [&](TObject* s) {
    ++runs;
    select_all(s);
  };
  list->SetFocus();
  ASSERT_EQ(list->SelCount(), 0);
  Press(list->Handle(), 'A', VK_CONTROL);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(list->SelCount(), 4);
  // "A" alone is no shortcut.
  list->ClearSelection();
  Press(list->Handle(), 'A', 0);
  EXPECT_EQ(runs, 1);
}

TEST_F(ConsoleMenus, TheMessageEditorsShortcutsRunTheirTagItemsAndTypeNothing) {
  main_->OutBarra->SetSelectedItem(2);
  main_->OutBarraItemClick(main_->OutBarra);
  TUserSettingsPage* page = main_->UserSettingsPage;
  TMemo* memo = page->MemoGlobal;
  ASSERT_TRUE(memo->Visible());
  memo->SetFocus();
  // Each shortcut once: the tag replaces the selection (or goes in at the
  // caret), and the key's character (Ctrl+I a tab) reaches no editor.
  const struct {
    WORD key;
    bool select_word;
    const char* expect;
  } cases[] = {
      {'N', false, "word<uname>"}, {'T', false, "word<time>"},   {'D', false, "word<date>"},
      {'B', true, "<b>word</b>"},  {'I', true, "<i>word</i>"},   {'U', true, "<u>word</u>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(1, static_cast<char>(c.key)));
    memo->SetText("word");
    memo->SetSelStart(c.select_word ? 0 : 4);
    memo->SetSelLength(c.select_word ? 4 : 0);
    Press(memo->Handle(), c.key, VK_CONTROL);
    EXPECT_EQ(memo->Text(), c.expect);
  }
  // The standard edit actions of the page's action list serve the password
  // editor too, which has no menu of its own.
  int select_all_runs = 0;
  page->EditSelectAll1->SetOnExecute([&](TObject*) {
    ++select_all_runs;
    page->EditGlobal->SelectAll();
  });
  page->EditGlobal->SetText("secret");
  page->EditGlobal->SetFocus();
  page->EditGlobal->SetSelStart(2);
  Press(page->EditGlobal->Handle(), 'A', VK_CONTROL);
  EXPECT_EQ(select_all_runs, 1);
  EXPECT_EQ(page->EditGlobal->SelLength(), 6);
  EXPECT_EQ(page->EditGlobal->Text(), "secret");
}

// Every shortcut a popup menu of the window shows, pressed on the control
// that carries the menu: its item runs once (handlers swapped for counters,
// the page's state set so that every item is enabled), and the key does
// nothing else: the list keeps its selection, the memo its text, so neither
// the control's own Ctrl+A/C/V/Z nor a typed character got through.
TEST_F(ConsoleMenus, EveryShortcutAMenuShowsRunsItsItemOnce) {
  TDesktopPage* desktop = main_->DesktopPage;
  TUserSettingsPage* settings = main_->UserSettingsPage;
  const struct {
    int page;  // side bar item that shows the control
    TWinControl* control;
    std::vector<std::string> shortcuts;  // as the menu shows them, in menu order
  } cases[] = {
      {0, desktop->DesktopLista, {"Ctrl+C", "Ctrl+V", "Ctrl+A", "Ctrl+D"}},
      {2, settings->MemoGlobal,
       {"Ctrl+N", "Ctrl+T", "Ctrl+D", "Ctrl+B", "Ctrl+I", "Ctrl+U", "Ctrl+C", "Ctrl+V", "Alt+BkSp", "Ctrl+A"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.control->Name());
    main_->OutBarra->SetSelectedItem(c.page);
    main_->OutBarraItemClick(main_->OutBarra);
    Application->ProcessMessages();
    ASSERT_TRUE(c.control->Visible());
    TPopupMenu* menu = c.control->PopupMenu();
    ASSERT_NE(menu, nullptr);
    // Every item that shows a shortcut, depth first.
    std::vector<TMenuItem*> items;
    std::vector<TMenuItem*> stack{menu->Items()};
    while (!stack.empty()) {
      TMenuItem* item = stack.back();
      stack.pop_back();
      if (item->ShortCut()) items.push_back(item);
      for (int i = item->Count() - 1; i >= 0; --i) stack.push_back(item->Items(i));
    }
    std::vector<std::string> shown;
    for (TMenuItem* item : items) shown.push_back(ShortCutToText(item->ShortCut()));
    EXPECT_EQ(shown, c.shortcuts);
    std::map<TMenuItem*, int> runs;
    for (TMenuItem* item : items) item->OnClick = [&runs, item](TObject*) { ++runs[item]; };

    if (c.page == 0) {
      TLkListView* list = desktop->DesktopLista;
      list->Clear();
      for (const char* name : {"Alpha", "Beta", "Gamma"}) list->AddRow(name, {"", "", "", ""}, -1);
      list->Items(1)->SetSelected(true);
      main_->State.CopyList.Add("C:\\copied.lnk");
    } else {
      TMemo* memo = settings->MemoGlobal;
      memo->SetText("one word");
      memo->SetSelStart(4);
      SendMessageA(memo->Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("two"));  // something to undo
      memo->SetSelStart(0);
      memo->SetSelLength(3);
      ASSERT_TRUE(PutOnClipboard("clip"));
    }
    auto observed = [&] {
      if (auto* memo = dynamic_cast<TMemo*>(c.control))
        return memo->Text() + "|" + std::to_string(memo->SelStart()) + "," + std::to_string(memo->SelLength());
      return std::to_string(desktop->DesktopLista->SelCount());
    };
    const std::string before = observed();
    c.control->SetFocus();
    for (TMenuItem* item : items) {
      SCOPED_TRACE(item->Caption());
      runs.clear();
      PressShortCut(c.control->Handle(), item->ShortCut());
      EXPECT_TRUE(item->Enabled());
      EXPECT_EQ(runs, (std::map<TMenuItem*, int>{{item, 1}}));
      EXPECT_EQ(observed(), before);
    }
  }
}

TEST_F(ConsoleMenus, EveryMenuOfTheMainWindowIsPaintedFlat) {
  TLkMenuPainter* painter = main_->MenuPainter1;
  ASSERT_NE(painter, nullptr);
  EXPECT_TRUE(painter->Active());
  EXPECT_EQ(painter->Font()->Name(), "Tahoma");
  EXPECT_EQ(painter->IconWidth(), 24);
  const TMenuDrawItemEvent draw(painter, &TLkMenuPainter::DrawItem);
  const TMenuMeasureItemEvent measure(painter, &TLkMenuPainter::MeasureItem);
  // The pages own their menus; every one of them is the window's.
  int menus = 0, items = 0;
  std::vector<TComponent*> owners{main_};
  while (!owners.empty()) {
    TComponent* owner = owners.back();
    owners.pop_back();
    for (int i = 0; i < owner->ComponentCount(); ++i) {
      TComponent* c = owner->Components(i);
      if (auto* menu = dynamic_cast<TPopupMenu*>(c); menu && menu->Items()->Count() > 0) {
        ++menus;
        EXPECT_TRUE(menu->OwnerDraw()) << menu->Name();
      } else if (auto* item = dynamic_cast<TMenuItem*>(c); item && item->GetParentMenu()) {
        ++items;
        EXPECT_TRUE(item->OnDrawItem == draw) << item->Caption();
        EXPECT_TRUE(item->OnMeasureItem == measure) << item->Caption();
      } else if (!dynamic_cast<TCustomForm*>(c)) {
        owners.push_back(c);
      }
    }
  }
  EXPECT_GE(menus, 1);
  EXPECT_GE(items, 14);  // the Desktop page's popup alone
}

}  // namespace
