// The console's link menu as another program reads it: the real lkmain.exe,
// a row of "Desktop Shortcuts" right-clicked, and every item of the open menu
// read through the system with GetMenuItemInfoA (menu_reader.cpp). Where the
// system takes an item's kind and text apart, every owner-drawn item holds
// its caption as the menu shows it; where the prefix tells the console it
// runs on Windows 95 or NT 4.0, none does, and the menu still opens.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "shared/win/shelllink.h"
#include "tests/road/console_driver.h"
#include "tests/shared_win/winfixture.h"

namespace {

constexpr DWORD kLong = 30000;  // Wine under load
constexpr const char* kLinkName = "Menu Reader App";

std::string WindowsPath(const char* unixPath) {
  std::string p = std::string("Z:") + unixPath;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

// One item as the reader found it in the system.
struct TReadItem {
  int depth;
  UINT type, state;
  std::string text;
  bool operator==(const TReadItem& o) const { return depth == o.depth && type == o.type && text == o.text; }
};
void PrintTo(const TReadItem& i, std::ostream* os) {
  std::string text;
  for (char c : i.text) text += c == '\t' ? std::string("\\t") : std::string(1, c);
  *os << "{" << i.depth << ", 0x" << std::hex << i.type << std::dec << ", \"" << text << "\"}";
}

// The hook DLL beside the test program, set on the thread of the console's
// open menu for one reading.
class TMenuReader {
 public:
  TMenuReader() {
    path_ = lkfix::ProgramFolder() + "lk_menu_reader.dll";
    dll_ = LoadLibraryA(path_.c_str());
    if (dll_) hook_ = reinterpret_cast<HOOKPROC>(GetProcAddress(dll_, "MenuReaderHook"));
  }
  ~TMenuReader() {
    if (dll_) FreeLibrary(dll_);
  }
  TMenuReader(const TMenuReader&) = delete;
  TMenuReader& operator=(const TMenuReader&) = delete;

  bool Read(HWND menuWindow, std::vector<TReadItem>& items, std::string& why) {
    if (!hook_) {
      why = "no MenuReaderHook in " + path_;
      return false;
    }
    const std::string out = path_ + ".txt";
    DeleteFileA(out.c_str());
    const DWORD thread = GetWindowThreadProcessId(menuWindow, nullptr);
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, hook_, dll_, thread);
    if (!hook) {
      why = "SetWindowsHookExA failed: " + std::to_string(GetLastError());
      return false;
    }
    DWORD_PTR ignored = 0;
    const bool sent = SendMessageTimeoutA(menuWindow, RegisterWindowMessageA("LkMenuReaderRead"), 0, 0,
                                          SMTO_ABORTIFHUNG, 10000, &ignored) != 0;
    UnhookWindowsHookEx(hook);
    if (!sent) {
      why = "the menu window took no message";
      return false;
    }
    std::istringstream lines(lkfix::ReadTextFile(out));
    std::string line;
    bool ended = false;
    while (std::getline(lines, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line == "end") {
        ended = true;
        break;
      }
      // depth|fType|fState|text, the text last (it may hold anything but a line end).
      const size_t a = line.find('|');
      const size_t b = a == std::string::npos ? a : line.find('|', a + 1);
      const size_t c = b == std::string::npos ? b : line.find('|', b + 1);
      if (c == std::string::npos) {
        why = "the reader wrote \"" + line + "\"";
        return false;
      }
      auto hex = [&](size_t from, size_t to) {
        return static_cast<UINT>(std::stoul(line.substr(from, to - from), nullptr, 16));
      };
      items.push_back({std::stoi(line.substr(0, a)), hex(a + 1, b), hex(b + 1, c), line.substr(c + 1)});
    }
    DeleteFileA(out.c_str());
    if (!ended) why = "the reader wrote no whole list into " + out + " (was the DLL loaded into the console?)";
    return ended;
  }

 private:
  std::string path_;
  HMODULE dll_ = nullptr;
  HOOKPROC hook_ = nullptr;
};

// The link menu as the Desktop page makes it, sub-menu after its item, with
// the system's texts (caption, then the shortcut after a tab); every item
// owner-drawn (the menu painter draws them).
std::vector<TReadItem> LinkMenu(bool textHeld) {
  const struct {
    int depth;
    const char* text;  // null: a separator
  } items[] = {
      {0, "Protect"},        {1, "All Users (default) Settings"}, {1, "Per-user Settings"},
      {0, "Revert"},         {0, nullptr},
      {0, "&Copy\tCtrl+C"},  {0, "Paste\tCtrl+V"},                {0, "Select All\tCtrl+A"},
      {0, nullptr},          {0, "Backup"},                       {0, "Restore"},
      {0, nullptr},          {0, "Delete\tCtrl+D"},               {0, "Execute"},
      {0, "Properties"},
  };
  std::vector<TReadItem> out;
  for (const auto& i : items)
    out.push_back({i.depth, static_cast<UINT>(MFT_OWNERDRAW | (i.text ? 0 : MFT_SEPARATOR)), 0,
                   textHeld && i.text ? i.text : ""});
  return out;
}

struct TVersionCase {
  const char* name;
  const char* version;  // the prefix's setting for lkmain.exe; "" Wine's default
  bool textHeld;
};
void PrintTo(const TVersionCase& c, std::ostream* os) { *os << c.name; }

class LinkMenuProcess : public testing::TestWithParam<TVersionCase> {
 protected:
  static void SetUpTestSuite() { CoInitialize(nullptr); }  // the link is written through the shell
  void SetUp() override {
    lock_.emplace();
    ASSERT_TRUE(lock_->Held());
    lkfix::EndProgramsNamed({"lkmain.exe"});
    lkfix::SetProgramVersion("lkmain.exe", "");
    // The login user's desktop, where the console opens on either line.
    char desktop[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, TRUE));
    link_ = std::string(desktop) + "\\" + kLinkName + ".lnk";
    TShellLink l;
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    l.Target = std::string(windows) + "\\notepad.exe";
    l.Description = "The menu reader's link";
    ASSERT_EQ(WriteShellLink(l, link_), S_OK);
  }
  void TearDown() override {
    console_.reset();
    lkfix::SetProgramVersion("lkmain.exe", "");
    if (!link_.empty()) DeleteFileA(link_.c_str());
    lock_.reset();
  }

  std::optional<lkfix::TPrefixLock> lock_;
  std::optional<TConsoleDriver> console_;
  std::string link_;
};

TEST_P(LinkMenuProcess, EveryItemHoldsItsCaptionWhereTheSystemTakesTextApart) {
  const TVersionCase& c = GetParam();
  TConsoleDriver& console = console_.emplace();
  // Wine reads the setting when the program starts; it is taken away again
  // at once, so no other test's console runs under it.
  lkfix::SetProgramVersion("lkmain.exe", c.version);
  ASSERT_TRUE(console.Start(WindowsPath(LKMAIN_EXE)));
  std::string why;
  const bool ready = console.WaitReady(kLong, why);
  lkfix::SetProgramVersion("lkmain.exe", "");
  ASSERT_TRUE(ready) << why;

  int row = -1;
  ASSERT_TRUE(console.WaitFor(kLong, [&] { return (row = console.FindRow(kLinkName)) >= 0; })) << "the link is listed";
  console.ClickRow(row);
  ASSERT_TRUE(console.WaitFor(kLong, [&] { return console.RowSelected(row); })) << "a click selects the row";
  HWND menu = console.OpenRowMenu(row, kLong, why);
  ASSERT_NE(menu, nullptr) << why;

  std::vector<TReadItem> items;
  TMenuReader reader;
  const bool read = reader.Read(menu, items, why);
  EXPECT_TRUE(console.CloseMenus(kLong)) << "the menu closes";
  ASSERT_TRUE(read) << why;
  EXPECT_EQ(items, LinkMenu(c.textHeld));
  // The popup rule's state, as the painter shows it, in either form:
  // Execute the default (bold), Paste greyed with nothing copied, Protect
  // enabled for the row.
  const std::vector<TReadItem> shown = LinkMenu(true);
  auto state = [&](const std::string& text) -> UINT {
    for (size_t k = 0; k < shown.size() && k < items.size(); ++k)
      if (shown[k].text == text) return items[k].state;
    return ~0u;
  };
  EXPECT_EQ(state("Execute") & (MFS_DEFAULT | MFS_GRAYED), UINT(MFS_DEFAULT));
  EXPECT_EQ(state("Paste\tCtrl+V") & MFS_GRAYED, UINT(MFS_GRAYED));
  EXPECT_EQ(state("Protect") & MFS_GRAYED, 0u);
  // The console goes on after the menu: a second one opens and closes.
  HWND again = console.OpenRowMenu(row, kLong, why);
  EXPECT_NE(again, nullptr) << why;
  EXPECT_TRUE(console.CloseMenus(kLong));
  DWORD code = 99;
  EXPECT_TRUE(console.Close(kLong, code)) << "the console closes";
  EXPECT_EQ(code, 0u);
}

INSTANTIATE_TEST_SUITE_P(Versions, LinkMenuProcess,
                         testing::Values(TVersionCase{"WineDefault", "", true},
                                         TVersionCase{"Windows2000", "win2k", true},
                                         TVersionCase{"NT4", "nt40", false},
                                         TVersionCase{"Windows98", "win98", true},
                                         TVersionCase{"Windows95", "win95", false}),
                         [](const testing::TestParamInfo<TVersionCase>& i) { return std::string(i.param.name); });

}  // namespace
