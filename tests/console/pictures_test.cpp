// The console's own pictures: the main window's two image lists hold one
// drawn, distinct picture per position, every tool button, side bar item and
// link menu item names one, the native tool bars got those positions, and
// the resources the controls ask for by name are the program's (the key of
// the password prompt, the cursors, the dialogs' texts).
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/win/dib.h"
#include "console/core/pictureindex.h"
#include "console/win/configpage.h"
#include "console/win/desktoppage.h"
#include "console/win/lkmainform.h"
#include "console/win/logviewpage.h"
#include "console/win/usersettingspage.h"
#include "forms/win/application.h"
#include "shared/win/installpaths.h"
#include "shared/win/settings.h"
#include "tests/shared_win/winfixture.h"

namespace {

// A picture's pixels as drawn over a ground colour, top-down, 0x00RRGGBB.
std::vector<uint32_t> Drawn(HIMAGELIST list, int index, int size, COLORREF ground) {
  BITMAPINFO bi = TopDownDib32(size, size);
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP b = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, b);
  HBRUSH brush = CreateSolidBrush(ground);
  RECT r{0, 0, size, size};
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  ImageList_Draw(list, index, dc, 0, 0, ILD_TRANSPARENT);
  GdiFlush();
  std::vector<uint32_t> px(static_cast<const uint32_t*>(bits), static_cast<const uint32_t*>(bits) + size * size);
  for (uint32_t& p : px) p &= 0xFFFFFF;
  SelectObject(dc, old);
  DeleteObject(b);
  DeleteDC(dc);
  return px;
}

// The picture where it covers the ground (the same over white and over
// black); kClear where the mask lets the ground through.
constexpr uint32_t kClear = 0xFF000000;
std::vector<uint32_t> Picture(HIMAGELIST list, int index, int size) {
  std::vector<uint32_t> on_white = Drawn(list, index, size, RGB(255, 255, 255));
  const std::vector<uint32_t> on_black = Drawn(list, index, size, RGB(0, 0, 0));
  for (size_t i = 0; i < on_white.size(); ++i)
    if (on_white[i] != on_black[i]) on_white[i] = kClear;
  return on_white;
}

int Covered(const std::vector<uint32_t>& p) {
  int n = 0;
  for (uint32_t c : p) n += c != kClear;
  return n;
}

int Differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  int n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

// Pixels of a picture near a colour (0x00RRGGBB from the DIB: blue low).
int Near(const std::vector<uint32_t>& p, int r, int g, int b) {
  int n = 0;
  for (uint32_t c : p) {
    if (c == kClear) continue;
    const int cr = (c >> 16) & 0xFF, cg = (c >> 8) & 0xFF, cb = c & 0xFF;
    n += std::abs(cr - r) < 60 && std::abs(cg - g) < 60 && std::abs(cb - b) < 60;
  }
  return n;
}

class Pictures : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitialize(nullptr);
    InitInstallPaths();
  }
  void SetUp() override {
    lock_.emplace();
    ASSERT_TRUE(lock_->Held());
    seam_.message_box = [](const std::string&, const std::string&, UINT) { return IDOK; };
    SetUiSeam(&seam_);
    WriteSetting(LKData::doAuthenticate, false);
    main_ = new TLKMain(Application);
  }
  void TearDown() override {
    TCustomForm::Free(main_);
    SetUiSeam(nullptr);
    lock_.reset();
  }

  std::optional<lkfix::TPrefixLock> lock_;
  TUiSeam seam_;
  TLKMain* main_ = nullptr;
};

TEST_F(Pictures, EachPositionHoldsItsOwnDrawnPicture) {
  const struct {
    TImageList* list;
    int count, size;
  } lists[] = {{main_->IconosMain, kMainPictureCount, 32}, {main_->IconosMenus, kMenuPictureCount, 16}};
  for (const auto& l : lists) {
    ASSERT_EQ(l.list->Count(), l.count) << l.size;
    ASSERT_EQ(l.list->Width(), l.size);
    std::vector<std::vector<uint32_t>> pictures;
    for (int i = 0; i < l.count; ++i) {
      const std::vector<uint32_t> p = Picture(l.list->Handle(), i, l.size);
      const int area = l.size * l.size;
      // Drawn, not blank; the mask keeps the cell's ground, and no fuchsia
      // of the strip shows through it.
      EXPECT_GT(Covered(p), area / 5) << l.size << " picture " << i << " is almost empty";
      EXPECT_LT(Covered(p), area) << l.size << " picture " << i << " has no transparent ground";
      EXPECT_EQ(std::count(p.begin(), p.end(), 0xFF00FFu), 0) << l.size << " picture " << i << " shows the strip's ground";
      for (int j = 0; j < i; ++j)
        EXPECT_GT(Differing(p, pictures[j]), area / 10) << l.size << " pictures " << j << " and " << i << " look alike";
      pictures.push_back(p);
    }
  }
}

// A few pictures by their colours: the strip reached the list in its order.
TEST_F(Pictures, PicturesShowWhatTheirCommandsDo) {
  const struct {
    TImageList* list;
    int index, size;
    const char* what;
    int r, g, b;
  } cases[] = {
      {main_->IconosMenus, mnCancel, 16, "a red cross", 224, 40, 32},
      {main_->IconosMenus, mnRefresh, 16, "a green arrow", 56, 176, 56},
      {main_->IconosMenus, mnExecute, 16, "a green triangle", 80, 200, 80},
      {main_->IconosMenus, mnProtect, 16, "a gold padlock", 230, 170, 40},
      {main_->IconosMenus, mnRevert, 16, "a gold padlock", 230, 170, 40},
      {main_->IconosMenus, mnSaveConfig, 16, "a blue disk", 40, 80, 180},
      {main_->IconosMenus, mnBackup, 16, "a yellow folder", 240, 190, 70},
      {main_->IconosMain, mpAbout, 32, "a blue disc", 80, 140, 230},
      {main_->IconosMain, mpLog, 32, "a white sheet", 255, 255, 255},
      {main_->IconosMain, mpExit, 32, "a brown door", 180, 120, 60},
  };
  for (const auto& c : cases) {
    const std::vector<uint32_t> p = Picture(c.list->Handle(), c.index, c.size);
    EXPECT_GT(Near(p, c.r, c.g, c.b), Covered(p) / 4) << c.size << " picture " << c.index << " should be " << c.what;
  }
  // The shut and the open padlock differ where the shackle is.
  EXPECT_GT(Differing(Picture(main_->IconosMenus->Handle(), mnProtect, 16),
                      Picture(main_->IconosMenus->Handle(), mnRevert, 16)),
            10);
}

// Every command names a picture of the list its control draws from, one
// picture per command: the two Refresh buttons share theirs.
TEST_F(Pictures, EveryCommandNamesItsPicture) {
  std::map<std::string, int> named;  // command -> picture
  auto name = [&](const std::string& command, int picture) {
    auto [at, fresh] = named.emplace(command, picture);
    EXPECT_TRUE(fresh || at->second == picture) << command << " has two pictures";
  };
  // The tool bars, as the native controls hold them.
  for (TConsolePage* page : main_->Pages) {
    TToolBar* bar = page->ToolBar;
    bar->HandleNeeded();
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(bar->Handle(), TB_GETIMAGELIST, 0, 0)),
              main_->IconosMenus->Handle());
    const int buttons = static_cast<int>(SendMessageA(bar->Handle(), TB_BUTTONCOUNT, 0, 0));
    int pictured = 0;
    for (int i = 0; i < bar->ButtonCount(); ++i) {
      TToolButton* b = bar->Buttons(i);
      if (b->Style() == TToolButtonStyle::tbsSeparator) continue;
      ++pictured;
      name(b->Hint(), b->ImageIndex());
    }
    std::vector<int> native;
    for (int i = 0; i < buttons; ++i) {
      TBBUTTON tb{};
      SendMessageA(bar->Handle(), TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&tb));
      if (!(tb.fsStyle & BTNS_SEP)) native.push_back(tb.iBitmap);
    }
    ASSERT_EQ(static_cast<int>(native.size()), pictured) << bar->Name();
    for (int i = 0, k = 0; i < bar->ButtonCount(); ++i) {
      if (bar->Buttons(i)->Style() == TToolButtonStyle::tbsSeparator) continue;
      EXPECT_EQ(native[k++], bar->Buttons(i)->ImageIndex()) << bar->Buttons(i)->Hint();
    }
  }
  // The link list's menu, its sub-items too.
  TPopupMenu* menu = main_->DesktopPage->PopupMenu1;
  EXPECT_EQ(menu->Images(), main_->IconosMenus);
  std::vector<TMenuItem*> items;
  for (int i = 0; i < menu->Items()->Count(); ++i) {
    TMenuItem* item = menu->Items()->Items(i);
    items.push_back(item);
    for (int j = 0; j < item->Count(); ++j) items.push_back(item->Items(j));
  }
  int menuItems = 0;
  for (TMenuItem* item : items) {
    if (item->IsLine()) continue;
    ++menuItems;
    name("menu " + item->Caption(), item->ImageIndex());
  }
  EXPECT_EQ(menuItems, 12);
  // No picture stands for two commands.
  std::map<int, std::set<std::string>> byPicture;
  for (const auto& [command, picture] : named) {
    EXPECT_GE(picture, 0) << command;
    EXPECT_LT(picture, main_->IconosMenus->Count()) << command;
    byPicture[picture].insert(command);
  }
  for (const auto& [picture, commands] : byPicture)
    EXPECT_EQ(commands.size(), 1u) << "picture " << picture << " stands for " << *commands.begin() << " and "
                                   << *commands.rbegin();
  // The side bar: the positions its items name, each a picture of its list.
  const std::vector<TLkSideGroupData> bar = main_->OutBarra->List();
  ASSERT_EQ(bar.size(), 1u);
  const int expected[] = {0, 1, 2, 5, 3, 4};
  ASSERT_EQ(bar[0].Items.size(), 6u);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(bar[0].Items[i].ImageIndex, expected[i]) << bar[0].Items[i].Caption;
  EXPECT_EQ(main_->OutBarra->Images(), main_->IconosMain);
}

// What the interface components load from the program by name.
TEST_F(Pictures, TheProgramCarriesTheResourcesItsControlsAskFor) {
  HINSTANCE self = GetModuleHandleA(nullptr);
  for (const char* cursor : {"LK_HANDCUR", "LK_DRAGCUR"}) EXPECT_NE(LoadCursorA(self, cursor), nullptr) << cursor;
  for (const char* bitmap : {"SKINDEF", "LKTREEVW_CHECKS", "FEDITBMP", "SPLASHBMP", "LKMAINPICS", "LKMENUPICS"})
    EXPECT_NE(FindResourceA(self, bitmap, MAKEINTRESOURCEA(2)), nullptr) << bitmap;
  // The password prompt's texts, from the program's string table.
  char text[64] = {};
  EXPECT_GT(LoadStringA(self, 30511, text, sizeof text), 0);
  EXPECT_STREQ(text, "Password");
  // The prompt's "KEYICON2": a key lying across the icon, not a round dot.
  HICON key = static_cast<HICON>(LoadImageA(self, "KEYICON2", IMAGE_ICON, 32, 32, 0));
  ASSERT_NE(key, nullptr);
  HIMAGELIST one = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 1, 0);
  ASSERT_GE(ImageList_AddIcon(one, key), 0);
  const std::vector<uint32_t> p = Picture(one, 0, 32);
  ImageList_Destroy(one);
  DestroyIcon(key);
  int left = 32, right = -1, top = 32, bottom = -1;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      if (p[y * 32 + x] != kClear) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  ASSERT_GE(right, left);
  EXPECT_GT(2 * (right - left), 3 * (bottom - top)) << "the key is not longer than it is tall";
}

}  // namespace
