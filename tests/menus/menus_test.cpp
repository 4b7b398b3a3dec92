// Menus under Wine: the one menu dispatch, the menu painter's hooking and
// pixels, shortcuts of menus and action lists with the standard edit
// actions, and the hot-track and blinking labels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/win/dib.h"
#include "controls/win/hotlabel.h"
#include "controls/win/menupainter.h"
#include "forms/win/actions.h"
#include "forms/win/application.h"
#include "forms/win/forms.h"
#include "forms/win/menus.h"
#include "forms/win/stdctrls.h"
#include "forms/win/timer.h"
#include "base/win/structsizes.h"
#include "tests/forms/ui_test_util.h"

namespace {

TMenuItem* NewItem(TComponent* owner, TMenuItem* parent, const std::string& caption, TShortCut sc = 0) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  item->SetShortCut(sc);
  parent->Add(item);
  return item;
}

class MenusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    form = new TForm(nullptr);
    form->SetClientSize(400, 300);
  }
  void TearDown() override {
    SetKeys({});
    TCustomForm::Free(form);
    SetMenuItemForm(system_form_);
  }
  // The keyboard state the message loop reads (posted keys do not change it).
  static void SetKeys(const std::vector<int>& down) {
    BYTE state[256] = {};
    for (int vk : down) state[vk] = 0x80;
    SetKeyboardState(state);
  }
  // A key as the keyboard gives it: down (translated into its character
  // unless someone takes it), then up.
  static void Press(HWND target, WORD vk, const std::vector<int>& mods = {}) {
    SetKeys(mods);
    const bool alt = std::find(mods.begin(), mods.end(), VK_MENU) != mods.end();
    PostMessageA(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, alt ? 0x20000001 : 1);
    PostMessageA(target, alt ? WM_SYSKEYUP : WM_KEYUP, vk, alt ? 0xE0000001 : 0xC0000001);
    Application->ProcessMessages();
    Application->ProcessMessages();
    SetKeys({});
  }

 public:
  TForm* form = nullptr;
  RecordingSeam seam;
  const TMenuItemForm system_form_ = MenuItemForm();
};

// Both forms a menu item can take in the system, the running system's first.
std::vector<TMenuItemForm> BothForms() {
  return {MenuItemForm(), MenuItemForm() == TMenuItemForm::TypeOnly ? TMenuItemForm::TypeAndText
                                                                    : TMenuItemForm::TypeOnly};
}
const char* NameOf(TMenuItemForm f) { return f == TMenuItemForm::TypeOnly ? "one field" : "text apart"; }

// ---- The one menu dispatch ----

TEST_F(MenusTest, EveryWindowOfOursAnswersMenuMessagesAlike) {
  auto* menu = new TPopupMenu(form);
  TMenuItem* tags = NewItem(form, menu->Items(), "Local Tags");
  TMenuItem* name = NewItem(form, tags, "Username");
  int opened = 0, clicked = 0;
  tags->OnClick = [&](TObject*) { ++opened; };
  name->OnClick = [&](TObject*) { ++clicked; };
  menu->Handle();
  HMENU sub = tags->Handle();
  HMENU foreign = CreatePopupMenu();
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  form->Show();
  const struct {
    const char* name;
    HWND window;
  } windows[] = {{"form", form->Handle()}, {"native control", edit->Handle()}, {"application", Application->Handle()}};
  for (const auto& w : windows) {
    SCOPED_TRACE(w.name);
    opened = clicked = 0;
    // A sub-menu of ours opening clicks its item; a foreign menu is left alone.
    EXPECT_EQ(SendMessageA(w.window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub), 0), 0);
    SendMessageA(w.window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(foreign), 0);
    EXPECT_EQ(opened, 1);
    SendMessageA(w.window, WM_COMMAND, MAKEWPARAM(name->Command(), 0), 0);
    EXPECT_EQ(clicked, 1);
    // An item measured through any window gets the same size.
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemData = reinterpret_cast<ULONG_PTR>(name);
    EXPECT_EQ(SendMessageA(w.window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis)), TRUE);
    EXPECT_GT(mis.itemWidth, 0u);
    EXPECT_GT(mis.itemHeight, 0u);
  }
  DestroyMenu(foreign);
}

// ---- What the system holds ----

// The items as a system that knows only MIIM_TYPE reads them back, and as a
// newer one (or a screen reader) reads kind and text apart.
struct SystemItem {
  UINT type, state;
  std::string text;
  ULONG_PTR data;
  bool sub_menu;
};
std::vector<SystemItem> OldStyleItems(HMENU menu) {
  std::vector<SystemItem> out;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[64] = {};
    MENUITEMINFOA mi{};
    mi.cbSize = kMenuItemInfoSize;
    mi.fMask = MIIM_TYPE | MIIM_STATE | MIIM_DATA | MIIM_SUBMENU;
    mi.dwTypeData = text;
    mi.cch = sizeof text;
    EXPECT_TRUE(GetMenuItemInfoA(menu, i, TRUE, &mi)) << i;
    const bool string = !(mi.fType & (MFT_SEPARATOR | MFT_OWNERDRAW | MFT_BITMAP));
    out.push_back({mi.fType, mi.fState, string ? text : "", mi.dwItemData, mi.hSubMenu != nullptr});
  }
  return out;
}
std::vector<SystemItem> TextApartItems(HMENU menu) {
  std::vector<SystemItem> out;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[64] = {};
    MENUITEMINFOA mi{};
    mi.cbSize = kMenuItemInfoSize;
    mi.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_STATE | MIIM_DATA | MIIM_SUBMENU;
    mi.dwTypeData = text;
    mi.cch = sizeof text;
    EXPECT_TRUE(GetMenuItemInfoA(menu, i, TRUE, &mi)) << i;
    EXPECT_EQ(mi.cch, strlen(text)) << i;  // the text's length comes back with it
    out.push_back({mi.fType, mi.fState, text, mi.dwItemData, mi.hSubMenu != nullptr});
  }
  return out;
}

class MenuItems : public MenusTest {
 protected:
  void SetUp() override {
    MenusTest::SetUp();
    menu = new TPopupMenu(form);
    open = NewItem(form, menu->Items(), "&Open", 'O' | scCtrl);
    line = NewItem(form, menu->Items(), "-");
    hidden = NewItem(form, menu->Items(), "&Hidden");
    hidden->SetVisible(false);
    large = NewItem(form, menu->Items(), "&Large");
    large->SetRadioItem(true);
    large->SetChecked(true);
    small = NewItem(form, menu->Items(), "&Small");
    small->SetRadioItem(true);
    exec = NewItem(form, menu->Items(), "E&xecute");
    exec->SetDefault(true);
    gone = NewItem(form, menu->Items(), "&Gone");
    gone->SetEnabled(false);
    protect = NewItem(form, menu->Items(), "&Protect");
    NewItem(form, protect, "&All Users");
    both = NewItem(form, menu->Items(), "Save && &Quit");
    again = NewItem(form, menu->Items(), "&Save As");
  }

 public:
  TPopupMenu* menu = nullptr;
  TMenuItem *open, *line, *hidden, *large, *small, *exec, *gone, *protect, *both, *again;
};

// In both forms the system holds every item's kind, state and value (the
// item); its text too, but in the one-field form not an owner-drawn item's.
TEST_F(MenuItems, TheSystemHoldsTextsSeparatorsStatesAndOwnerDrawnItems) {
  const struct {
    TMenuItemForm form;
    bool owner_draw;
  } cases[] = {
      {TMenuItemForm::TypeAndText, false},
      {TMenuItemForm::TypeAndText, true},
      {TMenuItemForm::TypeOnly, false},
      {TMenuItemForm::TypeOnly, true},
      {TMenuItemForm::TypeAndText, true},  // back again: the menu is built anew
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(NameOf(c.form)) + (c.owner_draw ? ", owner-drawn" : ", drawn by the system"));
    SetMenuItemForm(c.form);
    menu->SetOwnerDraw(c.owner_draw);
    const bool text_held = c.form == TMenuItemForm::TypeAndText || !c.owner_draw;
    const UINT drawn = c.owner_draw ? MFT_OWNERDRAW : 0;
    const struct {
      TMenuItem* item;
      UINT type, state;
      const char* text;
      bool sub_menu;
    } want[] = {
        {open, MFT_STRING, MFS_ENABLED, "&Open\tCtrl+O", false},
        {line, MFT_SEPARATOR, MFS_ENABLED, "", false},
        {large, MFT_RADIOCHECK, MFS_CHECKED, "&Large", false},
        {small, MFT_RADIOCHECK, MFS_UNCHECKED, "&Small", false},
        {exec, MFT_STRING, MFS_DEFAULT, "E&xecute", false},
        {gone, MFT_STRING, MFS_DISABLED, "&Gone", false},
        {protect, MFT_STRING, MFS_ENABLED, "&Protect", true},
        {both, MFT_STRING, MFS_ENABLED, "Save && &Quit", false},
        {again, MFT_STRING, MFS_ENABLED, "&Save As", false},
    };
    // The one-field form as Windows 95 and NT 4.0 read it: what it was
    // before the text-apart form came.
    const std::vector<SystemItem> one_field = OldStyleItems(menu->Handle());
    const std::vector<SystemItem> apart = TextApartItems(menu->Handle());
    ASSERT_EQ(one_field.size(), std::size(want));  // the hidden item is not there
    ASSERT_EQ(apart.size(), std::size(want));
    for (size_t k = 0; k < std::size(want); ++k) {
      const auto& w = want[k];
      SCOPED_TRACE(w.item->Caption());
      for (const SystemItem& got : {one_field[k], apart[k]}) {
        EXPECT_EQ(got.type, w.type | drawn);
        EXPECT_EQ(got.state & (MFS_CHECKED | MFS_DEFAULT | MFS_DISABLED), w.state);
        EXPECT_EQ(got.data, reinterpret_cast<ULONG_PTR>(w.item));
        EXPECT_EQ(got.sub_menu, w.sub_menu);
      }
      // The one-field reading gives no owner-drawn item's text in either form.
      EXPECT_EQ(one_field[k].text, c.owner_draw ? "" : w.text);
      EXPECT_EQ(apart[k].text, text_held ? w.text : "");
    }
  }
  // The sub-menu's item is built in the form too.
  const std::vector<SystemItem> sub = TextApartItems(protect->Handle());
  ASSERT_EQ(sub.size(), 1u);
  EXPECT_EQ(sub[0].text, "&All Users");
  EXPECT_EQ(sub[0].type, UINT(MFT_OWNERDRAW));
}

// An owner-drawn item's mnemonic: the system asks with WM_MENUCHAR, at the
// positions of its own menu (the hidden item is not in it). Asked in either
// form, the menu built in it is found and answers alike.
TEST_F(MenuItems, MnemonicsOfOwnerDrawnItemsAnswerTheSystemsQuestion) {
  menu->SetOwnerDraw(true);
  HMENU h = menu->Handle();
  form->Show();
  for (TMenuItemForm f : BothForms()) {
    SCOPED_TRACE(NameOf(f));
    SetMenuItemForm(f);
    const struct {
      char key;
      LRESULT result;
    } cases[] = {
        {'x', MAKELRESULT(4, MNC_EXECUTE)},  // either case
        {'X', MAKELRESULT(4, MNC_EXECUTE)},
        {'q', MAKELRESULT(7, MNC_EXECUTE)},  // after a "&&"
        {'g', MAKELRESULT(5, MNC_SELECT)},   // disabled: only selected
        {'p', MAKELRESULT(6, MNC_EXECUTE)},  // opens its sub-menu
        {'s', MAKELRESULT(3, MNC_SELECT)},   // "&Small" and "&Save As": the first
        {'h', MNC_IGNORE},                   // hidden
        {'z', MNC_IGNORE},
        {'&', MNC_IGNORE},
    };
    for (const auto& c : cases) {
      const LRESULT got =
          SendMessageA(form->Handle(), WM_MENUCHAR, MAKEWPARAM(c.key, MF_POPUP), reinterpret_cast<LPARAM>(h));
      EXPECT_EQ(got, c.result) << c.key;
    }
  }
  HMENU foreign = CreatePopupMenu();
  AppendMenuA(foreign, MF_STRING, 1, "&Xylophone");
  EXPECT_EQ(SendMessageA(form->Handle(), WM_MENUCHAR, MAKEWPARAM('x', MF_POPUP), reinterpret_cast<LPARAM>(foreign)),
            MNC_IGNORE);
  DestroyMenu(foreign);
}

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

// The menu as the user opens it: a key that is an item's mnemonic runs the
// item, owner-drawn or not, in either form (where the system holds the text
// it finds the item itself, else it asks with WM_MENUCHAR).
TEST_F(MenuItems, AMnemonicKeyInTheOpenMenuRunsItsItem) {
  form->Show();
  SetForegroundWindow(form->Handle());
  SetActiveWindow(form->Handle());
  const struct {
    TMenuItemForm form;
    bool owner_draw;
  } cases[] = {{TMenuItemForm::TypeAndText, false},
               {TMenuItemForm::TypeAndText, true},
               {TMenuItemForm::TypeOnly, false},
               {TMenuItemForm::TypeOnly, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(NameOf(c.form)) + (c.owner_draw ? ", owner-drawn" : ", drawn by the system"));
    SetMenuItemForm(c.form);
    menu->SetOwnerDraw(c.owner_draw);
    int runs = 0;
    exec->OnClick = [&](TObject*) { ++runs; };
    // The key waits in the queue for the menu's own loop; a menu that took
    // nothing is closed after two seconds.
    PostMessageA(form->Handle(), WM_KEYDOWN, 'X', 0x002D0001);
    PostMessageA(form->Handle(), WM_KEYUP, 'X', 0xC02D0001);
    const UINT_PTR guard = SetTimer(nullptr, 0, 2000, CloseMenu);
    menu->Popup(20, 20);
    KillTimer(nullptr, guard);
    Application->ProcessMessages();
    EXPECT_EQ(runs, 1);
  }
}

void CALLBACK CloseMenuSoon(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
}

// The open menu measures and draws each owner-drawn item through the item
// the system hands back (itemData), in either form.
TEST_F(MenuItems, TheOpenMenuMeasuresAndDrawsEveryOwnerDrawnItemInEitherForm) {
  form->Show();
  menu->SetOwnerDraw(true);
  std::vector<TMenuItem*> shown;
  for (int k = 0; k < menu->Items()->Count(); ++k)
    if (menu->Items()->Items(k)->Visible()) shown.push_back(menu->Items()->Items(k));
  for (TMenuItemForm f : BothForms()) {
    SCOPED_TRACE(NameOf(f));
    SetMenuItemForm(f);
    std::map<TMenuItem*, int> measured, drawn;
    for (TMenuItem* i : shown) {
      i->OnMeasureItem = [&measured](TObject* s, TCanvas*, int& w, int& h) {
        ++measured[static_cast<TMenuItem*>(s)];
        w = 120, h = 18;
      };
      i->OnDrawItem = [&drawn](TObject* s, TCanvas*, const TRect&, bool) { ++drawn[static_cast<TMenuItem*>(s)]; };
    }
    // Open long enough to be drawn.
    SetTimer(nullptr, 0, 700, CloseMenuSoon);
    menu->Popup(20, 20);
    Application->ProcessMessages();
    for (TMenuItem* i : shown) {
      SCOPED_TRACE(i->Caption());
      EXPECT_GE(measured[i], 1);
      EXPECT_GE(drawn[i], 1);
    }
    EXPECT_EQ(measured.size(), shown.size());  // nothing else, the hidden item not
    EXPECT_EQ(drawn.size(), shown.size());
  }
}

// ---- The menu painter ----

struct Handlers {
  TMenuDrawItemEvent draw;
  TMenuMeasureItemEvent measure;
  bool operator==(const Handlers& o) const { return draw == o.draw && measure == o.measure; }
};

std::map<TMenuItem*, Handlers> Snapshot(TMenu* menu) {
  std::map<TMenuItem*, Handlers> out;
  std::vector<TMenuItem*> stack{menu->Items()};
  while (!stack.empty()) {
    TMenuItem* i = stack.back();
    stack.pop_back();
    if (i != menu->Items()) out[i] = {i->OnDrawItem, i->OnMeasureItem};
    for (int k = 0; k < i->Count(); ++k) stack.push_back(i->Items(k));
  }
  return out;
}

// Items of the system menu and of every sub-menu below it that are not
// owner-drawn, by their text.
std::vector<std::string> NotOwnerDrawn(HMENU menu) {
  std::vector<std::string> out;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE | MIIM_SUBMENU | MIIM_DATA;
    GetMenuItemInfoA(menu, i, TRUE, &mi);
    if (!(mi.fType & MFT_OWNERDRAW)) {
      TMenuItem* item = TMenuItem::Live(reinterpret_cast<void*>(mi.dwItemData));
      out.push_back(item ? item->Caption() : "?");
    }
    if (mi.hSubMenu)
      for (const std::string& t : NotOwnerDrawn(mi.hSubMenu)) out.push_back(t);
  }
  return out;
}

TEST_F(MenusTest, PainterHooksOnlyEmptyHandlersAndUnhooksOnlyItsOwn) {
  auto* popup = new TPopupMenu(form);
  TMenuItem* plain = NewItem(form, popup->Items(), "Plain");
  TMenuItem* own_draw = NewItem(form, popup->Items(), "Own draw");
  TMenuItem* sub = NewItem(form, plain, "Sub");
  TMenuItem* own_measure = NewItem(form, sub, "Own measure");
  auto* main = new TMainMenu(form);
  TMenuItem* file = NewItem(form, main->Items(), "&File");
  auto* empty = new TPopupMenu(form);
  int program_draws = 0;
  own_draw->OnDrawItem = [&](TObject*, TCanvas*, const TRect&, bool) { ++program_draws; };
  own_measure->OnMeasureItem = [](TObject*, TCanvas*, int& w, int& h) { w = 1, h = 1; };
  const auto before_popup = Snapshot(popup);
  const auto before_main = Snapshot(main);

  auto* painter = new TLkMenuPainter(form);
  EXPECT_FALSE(popup->OwnerDraw());
  painter->SetActive(true);
  const TMenuDrawItemEvent pd(painter, &TLkMenuPainter::DrawItem);
  const TMenuMeasureItemEvent pm(painter, &TLkMenuPainter::MeasureItem);
  EXPECT_TRUE(popup->OwnerDraw());
  EXPECT_TRUE(main->OwnerDraw());
  EXPECT_FALSE(empty->OwnerDraw());  // a menu without items stays as it is
  // The system draws none of them, sub-menus included.
  EXPECT_EQ(NotOwnerDrawn(popup->Handle()), std::vector<std::string>{});
  EXPECT_EQ(NotOwnerDrawn(main->Handle()), std::vector<std::string>{});
  const struct {
    const char* name;
    TMenuItem* item;
    bool painter_draws, painter_measures;
  } hooked[] = {
      {"plain", plain, true, true},
      {"own draw handler stays: only measured", own_draw, false, true},
      {"sub-item", sub, true, true},
      {"own measure handler stays", own_measure, true, false},
      {"main menu item", file, true, true},
  };
  for (const auto& h : hooked) {
    EXPECT_EQ(h.item->OnDrawItem == pd, h.painter_draws) << h.name;
    EXPECT_EQ(h.item->OnMeasureItem == pm, h.painter_measures) << h.name;
  }
  // Hooking again changes nothing.
  painter->SetActive(true);
  EXPECT_TRUE(plain->OnDrawItem == pd);
  EXPECT_TRUE(own_draw->OnDrawItem == before_popup.at(own_draw).draw);

  // An item made later is not hooked until Active is set again.
  TMenuItem* later = NewItem(form, popup->Items(), "Later");
  EXPECT_FALSE(later->OnDrawItem);
  painter->SetActive(true);
  EXPECT_TRUE(later->OnDrawItem == pd);
  popup->Items()->Remove(later);
  Free(later);

  painter->SetActive(false);
  EXPECT_EQ(Snapshot(popup), before_popup);
  EXPECT_EQ(Snapshot(main), before_main);
  EXPECT_TRUE(popup->OwnerDraw());  // still owner-drawn, without the painter's handlers
  EXPECT_EQ(NotOwnerDrawn(popup->Handle()), std::vector<std::string>{});

  // The menus of a part of the form (a page) are the form's; another
  // form's are not.
  auto* page = new TComponent(form);
  auto* page_menu = new TPopupMenu(page);
  TMenuItem* page_item = NewItem(page, page_menu->Items(), "On a page");
  auto* other_form = new TForm(form);
  auto* other_menu = new TPopupMenu(other_form);
  TMenuItem* other_item = NewItem(other_form, other_menu->Items(), "Elsewhere");
  painter->SetActive(true);
  EXPECT_TRUE(page_item->OnDrawItem == pd);
  EXPECT_FALSE(other_item->OnDrawItem);
  EXPECT_FALSE(other_menu->OwnerDraw());
  painter->SetActive(false);
  EXPECT_FALSE(page_item->OnDrawItem);
  Free(other_form);
  Free(page);

  // A painter freed while active leaves nothing of its own behind.
  painter->SetActive(true);
  Free(painter);
  EXPECT_EQ(Snapshot(popup), before_popup);
  EXPECT_EQ(program_draws, 0);

  // A handler the program puts in while the painter is hooked is the
  // program's: unhooking leaves it.
  painter = new TLkMenuPainter(form);
  painter->SetActive(true);
  const TMenuDrawItemEvent program_draw = [&](TObject*, TCanvas*, const TRect&, bool) { ++program_draws; };
  plain->OnDrawItem = program_draw;
  painter->SetActive(false);
  EXPECT_TRUE(plain->OnDrawItem == program_draw);
  EXPECT_FALSE(plain->OnMeasureItem);
  Free(painter);
  EXPECT_TRUE(plain->OnDrawItem == program_draw);
}

// Draws items through the dispatch into a bitmap, as the system asks a menu's owner.
class ItemPixels {
 public:
  ItemPixels(int w, int h) : w_(w), h_(h) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    BITMAPINFO bi = TopDownDib32(w, h);
    void* bits = nullptr;
    bmp_ = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bmp_);
  }
  ~ItemPixels() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  // Measures the item and draws it at `top`; returns its height.
  int Draw(HWND window, TMenuItem* item, int top, bool selected) {
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemData = reinterpret_cast<ULONG_PTR>(item);
    SendMessageA(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemData = reinterpret_cast<ULONG_PTR>(item);
    dis.hDC = dc_;
    dis.rcItem = RECT{0, top, w_, top + static_cast<int>(mis.itemHeight)};
    dis.itemState = selected ? ODS_SELECTED : 0;
    SendMessageA(window, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    return static_cast<int>(mis.itemHeight);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

 private:
  int w_, h_;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
};

TEST_F(MenusTest, PainterColoursOfColumnBackgroundSelectionSeparatorAndMark) {
  auto* popup = new TPopupMenu(form);
  TMenuItem* copy = NewItem(form, popup->Items(), "&Copy", 'C' | scCtrl);
  NewItem(form, popup->Items(), "-");
  TMenuItem* all = NewItem(form, popup->Items(), "Select All", 'A' | scCtrl);
  TMenuItem* off = NewItem(form, popup->Items(), "Backup");
  off->SetEnabled(false);
  TMenuItem* log = NewItem(form, popup->Items(), "Use log");
  log->SetChecked(true);
  auto* painter = new TLkMenuPainter(form);
  painter->SetActive(true);
  form->Show();
  ItemPixels px(200, 200);
  HWND h = form->Handle();
  int y = 0;
  const int copy_top = y;
  const int copy_h = px.Draw(h, copy, y, false);
  y += copy_h;
  const int sep_top = y;
  const int sep_h = px.Draw(h, popup->Items()->Items(1), y, false);
  y += sep_h;
  const int all_top = y;
  const int all_h = px.Draw(h, all, y, true);
  y += all_h;
  const int off_top = y;
  const int off_h = px.Draw(h, off, y, true);
  y += off_h;
  const int log_top = y;
  px.Draw(h, log, y, false);

  EXPECT_EQ(sep_h, 4);  // whatever the font
  EXPECT_GE(copy_h, 20);
  const COLORREF column = RGB(219, 216, 209), back = RGB(249, 248, 247), select = RGB(179, 184, 212),
                 navy = RGB(0, 0, 128), separator = RGB(173, 172, 172);
  struct Probe {
    const char* name;
    int x, y;
    COLORREF color;
  };
  const Probe probes[] = {
      {"icon column", 5, copy_top + 3, column},
      {"background", 120, copy_top + 3, back},
      {"separator line", 100, sep_top + 2, separator},
      {"separator: column beside the line", 5, sep_top + 2, column},
      {"selected: fill between caption and shortcut", 120, all_top + all_h / 2, select},
      {"selected: fill over the column", 5, all_top + all_h / 2, select},
      {"selected: frame top", 100, all_top + 1, navy},
      {"selected: frame bottom", 100, all_top + all_h - 1, navy},
      {"selected: frame left", 0, all_top + all_h / 2, navy},
      {"selected: frame right", 199, all_top + all_h / 2, navy},
      {"selected but disabled: no fill", 120, off_top + off_h / 2, back},
      {"check box: left side of the 10 x 10 box", 7, log_top + (copy_h + 1 - 10) / 2 + 5, RGB(80, 80, 80)},
      {"check box: inside", 9, log_top + (copy_h + 1 - 10) / 2 + 2, back},
  };
  for (const Probe& p : probes) EXPECT_EQ(px.At(p.x, p.y), p.color) << p.name;
  // The disabled item's caption is grey; the selected one's is black.
  bool grey = false, black = false;
  for (int x = 30; x < 120; ++x) {
    for (int yy = off_top; yy < off_top + off_h; ++yy) grey |= px.At(x, yy) == RGB(128, 128, 128);
    for (int yy = all_top + 2; yy < all_top + all_h - 2; ++yy) black |= px.At(x, yy) == RGB(0, 0, 0);
  }
  EXPECT_TRUE(grey);
  EXPECT_TRUE(black);

  // A colour set later is what the next drawing uses.
  painter->SetColor(RGB(10, 20, 30));
  px.Draw(h, copy, copy_top, false);
  EXPECT_EQ(px.At(120, copy_top + 3), RGB(10, 20, 30));
}

TEST_F(MenusTest, PainterPictureFromSubMenuImagesThenMenuImagesThenTheItemsBitmap) {
  auto solid = [](TColor color, int size) {
    auto* b = new TBitmap;
    b->SetSize(size, size);
    b->Canvas()->Brush()->SetColor(color);
    b->Canvas()->FillRect(TRect(0, 0, size, size));
    return b;
  };
  auto* menu_images = new TImageList(form, 16, 16);
  auto* sub_images = new TImageList(form, 16, 16);
  std::unique_ptr<TBitmap> red(solid(clRed, 16)), lime(solid(clLime, 16));
  menu_images->AddMasked(red.get(), clFuchsia);
  sub_images->AddMasked(lime.get(), clFuchsia);
  auto* popup = new TPopupMenu(form);
  popup->SetImages(menu_images);
  TMenuItem* protect = NewItem(form, popup->Items(), "Protect");
  TMenuItem* in_sub = NewItem(form, protect, "All Users");
  TMenuItem* top = NewItem(form, popup->Items(), "Revert");
  TMenuItem* own = NewItem(form, popup->Items(), "Backup");
  TMenuItem* big = NewItem(form, popup->Items(), "Restore");
  TMenuItem* none = NewItem(form, popup->Items(), "Delete");
  in_sub->SetImageIndex(0);
  top->SetImageIndex(0);
  std::unique_ptr<TBitmap> blue(solid(clBlue, 16)), big_blue(solid(clBlue, 32));
  own->Bitmap()->Assign(*blue);
  big->Bitmap()->Assign(*big_blue);
  auto* painter = new TLkMenuPainter(form);
  painter->SetActive(true);
  form->Show();
  HWND h = form->Handle();
  const struct {
    const char* name;
    std::function<void()> arrange;
    TMenuItem* item;
    COLORREF centre;
    int min_height;
  } cases[] = {
      {"the menu's images", nullptr, top, RGB(255, 0, 0), 20},
      {"the parent's sub-menu images first", [&] { protect->SetSubMenuImages(sub_images); }, in_sub,
       RGB(0, 255, 0), 20},
      {"without them, the menu's images", [&] { protect->SetSubMenuImages(nullptr); }, in_sub, RGB(255, 0, 0), 20},
      {"the item's own bitmap", nullptr, own, RGB(0, 0, 255), 20},
      {"a large bitmap makes the item taller", nullptr, big, RGB(0, 0, 255), 36},
      {"no picture: the icon column", nullptr, none, RGB(219, 216, 209), 20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.arrange) c.arrange();
    ItemPixels px(200, 60);
    const int height = px.Draw(h, c.item, 0, false);
    EXPECT_GE(height, c.min_height);
    EXPECT_EQ(px.At(12, (height + 1) / 2), c.centre);
  }
}

// ---- Shortcuts ----

class Shortcuts : public MenusTest {
 protected:
  void SetUp() override {
    MenusTest::SetUp();
    memo = new TMemo(form);
    memo->SetParent(form);
    memo->SetBounds(10, 10, 200, 100);
    other = new TEdit(form);
    other->SetParent(form);
    other->SetBounds(10, 120, 200, 24);
    popup = new TPopupMenu(form);
    tags = NewItem(form, popup->Items(), "Local Tags");
    username = NewItem(form, tags, "Username", 'N' | scCtrl);
    italic = NewItem(form, popup->Items(), "Italic", 'I' | scCtrl);
    username->OnClick = [this](TObject*) { log.push_back("username"); };
    italic->OnClick = [this](TObject*) { log.push_back("italic"); };
    memo->SetPopupMenu(popup);
    form->Show();
    memo->SetFocus();
  }

 public:
  TMemo* memo = nullptr;
  TEdit* other = nullptr;
  TPopupMenu* popup = nullptr;
  TMenuItem* tags = nullptr;
  TMenuItem* username = nullptr;
  TMenuItem* italic = nullptr;
  std::vector<std::string> log;
};

TEST_F(Shortcuts, AMenuItemsShortcutFiresItOnceAndItsCharacterIsSwallowed) {
  Press(memo->Handle(), 'I', {VK_CONTROL});
  EXPECT_EQ(log, (std::vector<std::string>{"italic"}));
  EXPECT_EQ(memo->Text(), "");  // no tab
  Press(memo->Handle(), 'N', {VK_CONTROL});  // an item of a sub-menu
  EXPECT_EQ(log, (std::vector<std::string>{"italic", "username"}));
  EXPECT_EQ(memo->Text(), "");

  // Without the item the key is an ordinary one: Ctrl+I types a tab.
  italic->SetEnabled(false);
  Press(memo->Handle(), 'I', {VK_CONTROL});
  EXPECT_EQ(log.size(), 2u);
  EXPECT_EQ(memo->Text(), "\t");
}

TEST_F(Shortcuts, WhichShortcutsReachWhichItems) {
  const struct {
    const char* name;
    std::function<void(Shortcuts&)> arrange;
    bool memo_focused;
    WORD key;
    std::vector<int> mods;
    std::vector<std::string> expect;
  } cases[] = {
      {"the item's own shortcut", nullptr, true, 'I', {VK_CONTROL}, {"italic"}},
      {"other modifiers are another shortcut", nullptr, true, 'I', {VK_CONTROL, VK_SHIFT}, {}},
      {"the plain letter is typed", nullptr, true, 'I', {}, {}},
      {"a control without the menu", nullptr, false, 'I', {VK_CONTROL}, {}},
      {"a hidden item", [](Shortcuts& s) { s.italic->SetVisible(false); }, true, 'I', {VK_CONTROL}, {}},
      {"an item under a disabled one", [](Shortcuts& s) { s.tags->SetEnabled(false); }, true, 'N', {VK_CONTROL}, {}},
      {"the popup's own rule enables it first",
       [](Shortcuts& s) {
         s.italic->SetEnabled(false);
         s.popup->OnPopup = [&s](TObject*) { s.italic->SetEnabled(true); };
       },
       true, 'I', {VK_CONTROL}, {"italic"}},
      {"the popup's own rule disables it",
       [](Shortcuts& s) { s.popup->OnPopup = [&s](TObject*) { s.italic->SetEnabled(false); }; }, true, 'I',
       {VK_CONTROL}, {}},
      {"a menu on the parent serves its children",
       [](Shortcuts& s) {
         s.memo->SetPopupMenu(nullptr);
         s.form->SetPopupMenu(s.popup);
       },
       false, 'I', {VK_CONTROL}, {"italic"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    log.clear();
    italic->SetEnabled(true);
    italic->SetVisible(true);
    tags->SetEnabled(true);
    popup->OnPopup = nullptr;
    memo->SetPopupMenu(popup);
    form->SetPopupMenu(nullptr);
    if (c.arrange) c.arrange(*this);
    TWinControl* focus = c.memo_focused ? static_cast<TWinControl*>(memo) : other;
    focus->SetFocus();
    Press(focus->Handle(), c.key, c.mods);
    EXPECT_EQ(log, c.expect);
  }
}

TEST_F(Shortcuts, MainMenuShortcutAndThePopupsComeFirst) {
  auto* main = new TMainMenu(form);
  TMenuItem* file = NewItem(form, main->Items(), "&File");
  TMenuItem* bold = NewItem(form, file, "Bold", 'B' | scCtrl);
  TMenuItem* italic_too = NewItem(form, file, "Italic too", 'I' | scCtrl);
  bold->OnClick = [this](TObject*) { log.push_back("bold"); };
  italic_too->OnClick = [this](TObject*) { log.push_back("main italic"); };
  form->SetMenu(main);
  Press(memo->Handle(), 'B', {VK_CONTROL});
  Press(memo->Handle(), 'I', {VK_CONTROL});
  other->SetFocus();
  Press(other->Handle(), 'I', {VK_CONTROL});
  EXPECT_EQ(log, (std::vector<std::string>{"bold", "italic", "main italic"}));
  form->SetMenu(nullptr);
}

TEST_F(Shortcuts, ActionListsOfTheFormAndOfItsPagesServeEveryControl) {
  // A page is a part the form owns, with its own action list; a form the
  // form owns is a window of its own.
  auto* page = new TComponent(form);
  auto* part = new TComponent(page);
  auto* other_form = new TForm(form);
  const struct {
    const char* name;
    TComponent* owner;
    bool enabled;
    bool runs;
  } cases[] = {
      {"the form's list", form, true, true},
      {"a page's list", page, true, true},
      {"a list of a page's part", part, true, true},
      {"a disabled action", page, false, false},
      {"another form's list", other_form, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    log.clear();
    auto* list = new TActionList(c.owner);
    auto* action = new TAction(c.owner);
    action->SetShortCut('Q' | scCtrl);
    action->SetEnabled(c.enabled);
    action->SetOnExecute([this](TObject*) { log.push_back("action"); });
    action->SetActionList(list);
    for (TWinControl* focus : {static_cast<TWinControl*>(memo), static_cast<TWinControl*>(other)}) {
      focus->SetFocus();
      Press(focus->Handle(), 'Q', {VK_CONTROL});
    }
    EXPECT_EQ(log.size(), c.runs ? 2u : 0u);  // once in the memo, once in the edit
    Free(action);
    Free(list);
  }
  Free(other_form);
  Free(page);
}

// ---- Action list with the standard edit actions ----

class EditActions : public Shortcuts {
 protected:
  void SetUp() override {
    Shortcuts::SetUp();
    list = new TActionList(form);
    copy = new TEditCopy(form);
    paste = new TEditPaste(form);
    undo = new TEditUndo(form);
    select_all = new TEditSelectAll(form);
    for (TCustomAction* a : std::initializer_list<TCustomAction*>{copy, paste, undo, select_all})
      a->SetActionList(list);
    NewItem(form, popup->Items(), "-");
    for (TCustomAction* a : std::initializer_list<TCustomAction*>{copy, paste, undo, select_all})
      NewItem(form, popup->Items(), "")->SetAction(a);
  }
  TActionList* list = nullptr;
  TEditCopy* copy = nullptr;
  TEditPaste* paste = nullptr;
  TEditUndo* undo = nullptr;
  TEditSelectAll* select_all = nullptr;
};

TEST_F(EditActions, ItemsShowTheActionsCaptionsAndShortcuts) {
  const struct {
    int index;
    const char* caption;
    TShortCut sc;
    const char* text;
  } items[] = {
      {3, "&Copy", 'C' | scCtrl, "Ctrl+C"},
      {4, "&Paste", 'V' | scCtrl, "Ctrl+V"},
      {5, "&Undo", VK_BACK | scAlt, "Alt+BkSp"},
      {6, "Select &All", 'A' | scCtrl, "Ctrl+A"},
  };
  for (const auto& i : items) {
    TMenuItem* item = popup->Items()->Items(i.index);
    EXPECT_EQ(item->Caption(), i.caption);
    EXPECT_EQ(item->ShortCut(), i.sc);
    EXPECT_EQ(ShortCutToText(item->ShortCut()), i.text);
  }
  // An action that goes leaves its item as it was.
  Free(undo);
  undo = nullptr;
  EXPECT_EQ(popup->Items()->Items(5)->Action(), nullptr);
  EXPECT_EQ(popup->Items()->Items(5)->Caption(), "&Undo");
}

TEST_F(EditActions, ShortcutsActOnTheFocusedEdit) {
  // Focus in an edit without a popup menu: the action list serves it.
  other->SetText("password");
  other->SetFocus();
  other->SetSelStart(2);
  other->SetSelLength(0);
  Press(other->Handle(), 'A', {VK_CONTROL});
  EXPECT_EQ(other->SelLength(), 8);
  EXPECT_EQ(other->Text(), "password");

  ASSERT_TRUE(PutOnClipboard("none"));
  other->SetSelStart(0);
  other->SetSelLength(4);
  Press(other->Handle(), 'C', {VK_CONTROL});
  EXPECT_EQ(ClipboardText(), "pass");
  other->SetSelStart(8);
  Press(other->Handle(), 'V', {VK_CONTROL});
  EXPECT_EQ(other->Text(), "passwordpass");
  Press(other->Handle(), VK_BACK, {VK_MENU});
  EXPECT_EQ(other->Text(), "password");

  // In the memo the popup's linked items run the same actions: Select All
  // on an empty memo types nothing either.
  memo->SetFocus();
  Press(memo->Handle(), 'A', {VK_CONTROL});
  EXPECT_EQ(memo->Text(), "");
  memo->SetText("line");
  Press(memo->Handle(), 'A', {VK_CONTROL});
  EXPECT_EQ(memo->SelLength(), 4);
}

TEST_F(EditActions, APasswordEditGivesNoTextAwayAndAReadOnlyOneTakesNone) {
  other->SetText("secret");
  other->SetPasswordChar('*');
  other->SetFocus();
  other->SelectAll();
  ASSERT_TRUE(PutOnClipboard("kept"));
  copy->Update();
  EXPECT_FALSE(copy->Enabled());
  Press(other->Handle(), 'C', {VK_CONTROL});
  EXPECT_EQ(ClipboardText(), "kept");

  other->SetPasswordChar(0);
  other->SetReadOnly(true);
  paste->Update();
  EXPECT_FALSE(paste->Enabled());
  other->SetFocus();
  other->SetSelStart(6);
  Press(other->Handle(), 'V', {VK_CONTROL});
  EXPECT_EQ(other->Text(), "secret");
}

TEST_F(EditActions, AnItemOfTheMemosPopupActsOnTheMemoWhereverTheFocusIs) {
  memo->SetText("memo text");
  other->SetText("edit");
  other->SetFocus();
  memo->SetSelStart(0);
  memo->SetSelLength(4);
  popup->SetPopupComponent(memo);
  TMenuItem* copy_item = popup->Items()->Items(3);
  ASSERT_TRUE(PutOnClipboard("none"));
  SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(copy_item->Command(), 0), 0);
  EXPECT_EQ(ClipboardText(), "memo");
  // The actions update their items when the menu opens.
  memo->SetSelLength(0);
  SendMessageA(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup->Handle()), 0);
  EXPECT_FALSE(copy_item->Enabled());
  memo->SetSelLength(2);
  SendMessageA(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup->Handle()), 0);
  EXPECT_TRUE(copy_item->Enabled());
}

// ---- Hot-track and blinking labels ----

TEST_F(MenusTest, HotLabelSwapsTheHintColourAndFontWhileTheMouseIsOver) {
  const struct {
    const char* name;
    bool hot_track;
    bool destroy_inside;
  } cases[] = {
      {"hot track: font and hint colour", true, false},
      {"without hot track only the hint colour", false, false},
      {"destroyed under the mouse", true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Application->SetHintColor(clYellow);
    auto* label = new TLkHotLabel(form);
    label->SetParent(form);
    label->SetBounds(10, 200, 100, 20);
    label->Font()->SetName("Arial");
    label->SetHotTrack(c.hot_track);
    label->HotTrackFont()->SetName("Tahoma");
    label->HotTrackFont()->SetStyle(fsUnderline);
    label->SetHintColor(clAqua);
    std::vector<std::string> events;
    label->OnMouseEnter = [&](TObject* s) { events.push_back(s == label ? "enter" : "?"); };
    label->OnMouseLeave = [&](TObject* s) { events.push_back(s == label ? "leave" : "?"); };

    Application->SetMouseControl(label);
    EXPECT_EQ(Application->HintColor(), clAqua);
    EXPECT_EQ(label->Font()->Name(), c.hot_track ? "Tahoma" : "Arial");
    Application->SetMouseControl(label);  // still inside: nothing again
    if (c.destroy_inside) {
      Free(label);
      EXPECT_EQ(Application->HintColor(), clYellow);
      EXPECT_EQ(Application->MouseControl(), nullptr);
      EXPECT_EQ(events, (std::vector<std::string>{"enter"}));
      continue;
    }
    // The hot font may change meanwhile; what was swapped is swapped back.
    label->SetHotTrack(!c.hot_track);
    Application->SetMouseControl(nullptr);
    EXPECT_EQ(Application->HintColor(), clYellow);
    EXPECT_EQ(label->Font()->Name(), "Arial");
    EXPECT_EQ(label->Font()->Style(), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "leave"}));
    Free(label);
  }
  Application->SetHintColor(clInfoBk);
}

TEST_F(MenusTest, BlinkingLabelHidesAndShowsAtItsTwoDelays) {
  auto* label = new TLkBlinkingLabel(form);
  label->SetParent(form);
  label->SetCaption("Blink");
  label->SetBlinkingDelay(120);
  label->SetBlinkingTime(40);
  form->Show();
  EXPECT_TRUE(label->Blinking());
  EXPECT_TRUE(label->Visible());
  auto wait_for = [&](bool visible) {
    const DWORD end = GetTickCount() + 3000;
    while (label->Visible() != visible && static_cast<LONG>(end - GetTickCount()) > 0) {
      Application->ProcessMessages();
      Sleep(2);
    }
    return label->Visible() == visible;
  };
  // Each phase runs on the timer with the length of that phase.
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(wait_for(false)) << round;
    EXPECT_EQ(label->Timer()->Interval(), 120u);  // hidden for BlinkingDelay
    ASSERT_TRUE(wait_for(true)) << round;
    EXPECT_EQ(label->Timer()->Interval(), 40u);  // shown for BlinkingTime
  }
  // Stopped while hidden: shown again, and stays so.
  ASSERT_TRUE(wait_for(false));
  label->SetBlinking(false);
  EXPECT_TRUE(label->Visible());
  EXPECT_FALSE(label->Timer()->Enabled());
  PumpFor(300);
  EXPECT_TRUE(label->Visible());
  // A new delay is the timer's interval at once.
  label->SetBlinkingDelay(500);
  EXPECT_EQ(label->Timer()->Interval(), 500u);
  Free(label);
}

}  // namespace
