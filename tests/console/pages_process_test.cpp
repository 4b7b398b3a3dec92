// The real lkmain.exe under Wine, driven from outside through its windows as
// the administrator would: the side bar to the Configuration and Log View
// pages, clicks on check boxes, colour squares and tool buttons, keys in the
// edit and the combo boxes, the message boxes' buttons. What it did is read
// back with `reg query`, from the registry and the files, and from its status
// bar and list view (their texts through memory lent in the console).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cctype>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "shared/core/streamcol.h"
#include "shared/core/userrecord.h"
#include "shared/core/vigenere.h"
#include "shared/win/installpaths.h"
#include "shared/win/registro.h"
#include "shared/win/settings.h"
#include "tests/shared_win/winfixture.h"

namespace {

std::string WindowsPath(const char* unixPath) {
  std::string p = std::string("Z:") + unixPath;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}
std::string ProgramPath() { return WindowsPath(LKMAIN_EXE); }

// WM_GETTEXT itself: GetWindowText of another process's window answers the
// text the window was made with, not what an edit holds now.
std::string TextOf(HWND h) {
  char text[512] = {};
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(h, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 10000, &ignored);
  return text;
}

std::string ClassOf(HWND h) {
  char cls[128] = {};
  GetClassNameA(h, cls, sizeof cls);
  std::string s = cls;
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

BOOL CALLBACK CollectWindow(HWND h, LPARAM l) {
  reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
  return TRUE;
}

// Every descendant window of `parent`, in the system's order.
std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&all));
  return all;
}

HWND Find(HWND parent, const std::string& text, const std::string& classPart = "") {
  for (HWND h : Descendants(parent))
    if (TextOf(h) == text && ClassOf(h).find(classPart) != std::string::npos) return h;
  return nullptr;
}

std::vector<HWND> OfClass(HWND parent, const std::string& classPart) {
  std::vector<HWND> found;
  for (HWND h : Descendants(parent))
    if (ClassOf(h).find(classPart) != std::string::npos) found.push_back(h);
  return found;
}

using TRemote = lkfix::TRemoteBlock;

// One run of lkmain.exe.
class TConsole {
 public:
  ~TConsole() {
    if (!pi_.hProcess) return;
    if (Running()) TerminateProcess(pi_.hProcess, 1);
    WaitForSingleObject(pi_.hProcess, 5000);
    CloseHandle(pi_.hProcess);
  }
  bool Start() {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string cmd = "\"" + ProgramPath() + "\"";
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_)) return false;
    CloseHandle(pi_.hThread);
    return true;
  }
  bool Running() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }
  template <class F>
  bool WaitFor(DWORD ms, F&& done) {
    return lkfix::PollUntil(ms, [this] { return Running(); }, done);
  }
  HWND TopWindow(const std::string& caption, const char* cls = nullptr) {
    for (HWND h : lkfix::TopWindowsOf(pi_.dwProcessId))
      if (IsWindowVisible(h) && TextOf(h) == caption && (!cls || ClassOf(h) == cls)) return h;
    return nullptr;
  }
  bool WaitReady() {
    return WaitFor(30000, [&] {
      main_ = TopWindow("Lockmere v1.01");
      return main_ && IsWindowEnabled(main_) && !TopWindow("Lockmere");  // the splash has gone
    });
  }
  bool Close() {
    PostMessageA(main_, WM_CLOSE, 0, 0);
    return WaitForSingleObject(pi_.hProcess, 15000) == WAIT_OBJECT_0;
  }
  HWND Main() const { return main_; }
  DWORD Pid() const { return pi_.dwProcessId; }

  // The page's captioned panel, once the side bar has shown it: clicks down
  // the side bar's column until the page is there (the pages come first).
  HWND ShowPage(const std::string& caption) {
    HWND bar = ChildWindowFromPointEx(main_, POINT{40, 200}, CWP_SKIPINVISIBLE);
    for (int y = 30; y < 460 && bar; y += 12) {
      if (HWND panel = Page(caption)) return panel;
      PostMessageA(bar, WM_MOUSEMOVE, 0, MAKELPARAM(57, y));
      PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(57, y));
      PostMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(57, y));
      WaitFor(400, [&] { return Page(caption) != nullptr; });
    }
    return Page(caption);
  }
  // "User Settings" reads "User Settings: <user>" while a row is shown.
  HWND Page(const std::string& caption) {
    for (HWND h = GetWindow(main_, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
      const std::string text = TextOf(h);
      if (IsWindowVisible(h) && (text == caption || text.rfind(caption + ": ", 0) == 0)) return h;
    }
    return nullptr;
  }

  // Ctrl+S through the input queue, so the console's own reads of the
  // shift state see Ctrl held, as with a real keyboard.
  bool PressCtrlS() {
    SetForegroundWindow(main_);
    INPUT in[4]{};
    for (INPUT& i : in) i.type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[3].ki.wVk = VK_CONTROL;
    in[1].ki.wVk = in[2].ki.wVk = 'S';
    in[2].ki.dwFlags = in[3].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(4, in, sizeof(INPUT)) == 4;
  }

  // The shown page's tool bar: a click on its button `index`.
  bool ClickToolButton(int index) {
    HWND bar = nullptr;
    for (HWND h : OfClass(main_, "toolbarwindow32"))
      if (IsWindowVisible(h)) bar = h;
    if (!bar) return false;
    TRemote block(Pid(), sizeof(RECT));
    DWORD_PTR ok = 0;
    SendMessageTimeoutA(bar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(block.At(0)), SMTO_ABORTIFHUNG, 10000,
                        &ok);
    RECT r{};
    if (!ok || !block.Read(0, &r, sizeof r)) return false;
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageA(bar, WM_MOUSEMOVE, 0, at);
    PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(bar, WM_LBUTTONUP, 0, at);
    return true;
  }

  std::string StatusText() {
    HWND status = OfClass(main_, "msctls_statusbar32").front();
    TRemote block(Pid(), 512);
    char text[512] = {};
    if (!block.Write(0, text, 1)) return "<no memory>";
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(status, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(block.At(0)), SMTO_ABORTIFHUNG, 10000,
                        &ignored);
    block.Read(0, text, sizeof text - 1);
    return text;
  }
  bool WaitStatus(const std::string& text) {
    return WaitFor(10000, [&] { return StatusText() == text; });
  }

  // The list view's cells, row by row.
  std::vector<std::vector<std::string>> Cells(HWND list, int columns) {
    std::vector<std::vector<std::string>> rows;
    const int n = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    constexpr size_t kText = 512;
    TRemote block(Pid(), sizeof(LVITEMA) + kText);
    for (int r = 0; r < n; ++r) {
      std::vector<std::string> row;
      for (int c = 0; c < columns; ++c) {
        LVITEMA item{};
        item.iSubItem = c;
        item.pszText = block.At(sizeof(LVITEMA));
        item.cchTextMax = kText;
        char text[kText] = {};
        block.Write(0, &item, sizeof item);
        block.Write(sizeof item, text, 1);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(list, LVM_GETITEMTEXTA, r, reinterpret_cast<LPARAM>(block.At(0)), SMTO_ABORTIFHUNG, 10000,
                            &ignored);
        block.Read(sizeof(LVITEMA), text, kText - 1);
        row.push_back(text);
      }
      rows.push_back(row);
    }
    return rows;
  }

 private:
  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
};

void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }
bool Checked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void ClickAt(HWND window, int x, int y) {
  PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}
void Type(HWND edit, const std::string& text) {
  for (unsigned char c : text) PostMessageA(edit, WM_CHAR, c, 1);
}
void Key(HWND window, WORD key) {
  PostMessageA(window, WM_KEYDOWN, key, 1);
  PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

// `reg query` of a key, as "name -> TYPE value" for each value line.
std::map<std::string, std::string> RegQuery(const std::string& key) {
  const lkfix::TRunResult r = lkfix::RunProgram("reg query \"" + key + "\"");
  std::map<std::string, std::string> values;
  std::istringstream lines(r.Output);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t type = line.find("    REG_");
    if (line.rfind("    ", 0) != 0 || type == std::string::npos) continue;
    const std::string name = line.substr(4, type - 4);
    values[name] = line.substr(type + 4);
  }
  return values;
}

const char* const kValues[] = {"Authenticate", "doAuthenticate", "Masked",     "Malla",       "Malla_x",
                               "Malla_y",      "IconSelect",     "doIconSelect", "SkinSelect", "SkinName",
                               "SkinPreview",  "SkinRandom",     "ContextAuth",  "ContextIcon", "ContextUserSettings",
                               "IconView",     "IconLogView"};

class PagesProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    lock_.emplace();
    ASSERT_TRUE(lock_->Held());
    lkfix::EndProgramsNamed({"lkmain.exe"});
    install_before_ = ReadSetting(LKData::InstallPath);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      for (const char* v : kValues) RegDeleteValueA(key, v);
      RegCloseKey(key);
    }
    verbs_before_ = LinkContextVerbsPresent();
    SetLinkContextVerbs(false);
    install_ = lkfix::ScratchFolder("pagesexe") + "\\";
    lkfix::MakeFolders(install_ + "skins\\LkAqua");
    WriteSetting(LKData::InstallPath, install_);
  }
  void TearDown() override {
    lkfix::EndProgramsNamed({"lkmain.exe"});
    WriteSetting(LKData::doAuthenticate, false);
    WriteSetting(LKData::InstallPath, install_before_);
    SetLinkContextVerbs(verbs_before_);
    lock_.reset();
  }

  std::optional<lkfix::TPrefixLock> lock_;
  std::string install_before_, install_;
  bool verbs_before_ = false;
};

TEST_F(PagesProcess, ConfigurationShowsTheDefaultsSavesEveryValueAndCancels) {
  TConsole c;
  ASSERT_TRUE(c.Start());
  ASSERT_TRUE(c.WaitReady());
  HWND page = c.ShowPage("Configuration");
  ASSERT_NE(page, nullptr);
  HWND auth = Find(page, "Authentication required", "button");
  HWND masked = Find(page, "Masked", "button");
  HWND iconSelect = Find(page, "Use selected icon\r\ninstead of original one\r\nin protected shortcuts.", "button");
  HWND context = Find(page, " Use Context Menu ", "button");
  HWND contextAuth = Find(page, "Authentication Required", "button");
  HWND contextIcon = Find(page, "Use Selected Icon", "button");
  HWND contextUser = Find(page, "Per-user Settings", "button");
  HWND random = Find(page, "Random", "button");
  HWND preview = Find(page, "Preview", "button");
  ASSERT_TRUE(auth && masked && iconSelect && context && contextAuth && contextIcon && contextUser && random && preview);
  std::vector<HWND> edits = OfClass(page, "edit");
  ASSERT_EQ(edits.size(), 1u);
  HWND password = edits[0];
  HWND icons = nullptr, skins = nullptr;
  for (HWND combo : OfClass(page, "combobox"))
    (GetWindowLongA(combo, GWL_STYLE) & CBS_OWNERDRAWVARIABLE ? icons : skins) = combo;
  ASSERT_TRUE(icons && skins);

  // The defaults.
  for (HWND b : {auth, masked, iconSelect, context, contextAuth, contextIcon, contextUser, random, preview})
    EXPECT_FALSE(Checked(b)) << TextOf(b);
  EXPECT_FALSE(IsWindowEnabled(contextAuth));
  EXPECT_EQ(TextOf(password), "");
  EXPECT_EQ(SendMessageA(icons, CB_GETCOUNT, 0, 0), 5);
  EXPECT_EQ(SendMessageA(icons, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(SendMessageA(skins, CB_GETCURSEL, 0, 0), 0);
  ASSERT_TRUE(c.ClickToolButton(0));  // Save
  ASSERT_TRUE(c.WaitStatus(" Configuration data saved successfully."));
  auto saved = RegQuery("HKLM\\" + std::string(kSettingsKey));
  EXPECT_EQ(saved["Malla"], "REG_SZ    RED");  // the marker on the red square
  EXPECT_EQ(saved["Malla_x"], "REG_DWORD    0xb9");
  EXPECT_EQ(saved["Malla_y"], "REG_DWORD    0x14");

  // Every control changed.
  Click(auth);
  Type(password, "pw42");
  Click(masked);
  HWND colours = ChildWindowFromPointEx(page, POINT{260, 40}, CWP_SKIPINVISIBLE);
  ASSERT_NE(colours, nullptr);
  ClickAt(colours, 151 + 8, 37 + 8);  // green
  Key(icons, VK_DOWN);
  Key(icons, VK_DOWN);
  Click(iconSelect);
  Click(context);
  Click(contextAuth);
  Click(contextIcon);
  Click(contextUser);
  Key(skins, VK_DOWN);  // "LkAqua", after "Default"
  Click(random);
  Click(preview);
  ASSERT_TRUE(c.WaitFor(10000, [&] { return Checked(preview) && SendMessageA(skins, CB_GETCURSEL, 0, 0) == 1; }));
  EXPECT_EQ(GetWindowLongA(password, GWL_STYLE) & ES_PASSWORD, ES_PASSWORD);  // masked
  ASSERT_TRUE(c.ClickToolButton(0));
  ASSERT_TRUE(c.WaitStatus(" Configuration data saved successfully."));
  saved = RegQuery("HKLM\\" + std::string(kSettingsKey));
  const std::map<std::string, std::string> expected = {
      {"doAuthenticate", "REG_DWORD    0x1"}, {"Masked", "REG_DWORD    0x1"},
      {"Malla", "REG_SZ    GREEN"},           {"Malla_x", "REG_DWORD    0x99"},
      {"Malla_y", "REG_DWORD    0x25"},       {"IconSelect", "REG_DWORD    0x2"},
      {"doIconSelect", "REG_DWORD    0x1"},   {"SkinSelect", "REG_DWORD    0x1"},
      {"SkinName", "REG_SZ    LkAqua"},       {"SkinPreview", "REG_DWORD    0x1"},
      {"SkinRandom", "REG_DWORD    0x1"},     {"ContextAuth", "REG_DWORD    0x1"},
      {"ContextIcon", "REG_DWORD    0x1"},    {"ContextUserSettings", "REG_DWORD    0x1"}};
  for (const auto& [name, value] : expected) EXPECT_EQ(saved[name], value) << name;
  EXPECT_EQ(saved["Authenticate"].rfind("REG_SZ", 0), 0u);
  EXPECT_EQ(ReadSetting(LKData::Authenticate), TLkVigenereCipher::DecryptText("pw42", "2953"));

  // Cancel brings back what was saved.
  Click(masked);
  Click(random);
  ASSERT_TRUE(c.WaitFor(5000, [&] { return !Checked(masked) && !Checked(random); }));
  ASSERT_TRUE(c.ClickToolButton(1));
  ASSERT_TRUE(c.WaitStatus(" Changes cancelled."));
  EXPECT_TRUE(Checked(masked));
  EXPECT_TRUE(Checked(random));
  EXPECT_TRUE(c.Close());
}

TEST_F(PagesProcess, TheProgramPasswordIsAskedAtTheNextStart) {
  {
    TConsole c;
    ASSERT_TRUE(c.Start());
    ASSERT_TRUE(c.WaitReady());
    HWND page = c.ShowPage("Configuration");
    ASSERT_NE(page, nullptr);
    HWND auth = Find(page, "Authentication required", "button");
    HWND password = OfClass(page, "edit").at(0);
    // Authentication without a password.
    Click(auth);
    ASSERT_TRUE(c.WaitFor(5000, [&] { return Checked(auth); }));
    c.ClickToolButton(0);
    ASSERT_TRUE(c.WaitStatus(" You must enter a password."));
    EXPECT_FALSE(Checked(auth));
    EXPECT_FALSE(ReadSetting(LKData::doAuthenticate));
    // One whose stored form would hold a 0x00 ("2" is the first key byte).
    Click(auth);
    Type(password, "2x");
    ASSERT_TRUE(c.WaitFor(5000, [&] { return Checked(auth) && TextOf(password) == "2x"; }))
        << Checked(auth) << " [" << TextOf(password) << "]";
    c.ClickToolButton(0);
    ASSERT_TRUE(c.WaitStatus(" This password cannot be stored, please choose another one."));
    EXPECT_FALSE(ReadSetting(LKData::doAuthenticate));
    // A good one.
    SendMessageA(password, EM_SETSEL, 0, -1);
    PostMessageA(password, WM_CHAR, VK_BACK, 1);
    Type(password, "Se7en!");
    ASSERT_TRUE(c.WaitFor(5000, [&] { return TextOf(password) == "Se7en!"; }));
    c.ClickToolButton(0);
    ASSERT_TRUE(c.WaitStatus(" Configuration data saved successfully."));
    EXPECT_TRUE(c.Close());
  }
  // The stored bytes: the typed password minus "2953", byte by byte.
  std::string expected;
  const std::string typed = "Se7en!";
  for (size_t i = 0; i < typed.size(); ++i)
    expected += static_cast<char>(static_cast<unsigned char>(typed[i]) - "2953"[i % 4]);
  EXPECT_EQ(ReadSetting(LKData::Authenticate), expected);
  EXPECT_TRUE(ReadSetting(LKData::doAuthenticate));

  TConsole next;
  ASSERT_TRUE(next.Start());
  HWND dialog = nullptr;
  ASSERT_TRUE(next.WaitFor(30000, [&] { return (dialog = next.TopWindow("Authentication")) != nullptr; }));
  HWND edit = OfClass(dialog, "edit").at(0);
  Type(edit, typed);
  Sleep(300);
  Click(Find(dialog, "OK"));
  EXPECT_TRUE(next.WaitReady()) << "the password was not taken";
}

// The gate icons' combo box of the Configuration page (the owner-drawn one).
HWND IconsCombo(HWND page) {
  for (HWND combo : OfClass(page, "combobox"))
    if (GetWindowLongA(combo, GWL_STYLE) & CBS_OWNERDRAWVARIABLE) return combo;
  return nullptr;
}

// The window's close box with an unsaved change on the Configuration page:
// the Exit question; "No" keeps the window, the page and the change, "Yes"
// ends the console. A new gate icon is such a change, as a check box is.
TEST_F(PagesProcess, TheCloseBoxAsksBeforeDroppingAChange) {
  struct Case {
    const char* name;
    void (*change)(HWND page);
    bool (*changed)(HWND page);
  };
  const Case cases[] = {
      {"another gate icon", [](HWND page) { Key(IconsCombo(page), VK_DOWN); },
       [](HWND page) { return SendMessageA(IconsCombo(page), CB_GETCURSEL, 0, 0) == 1; }},
      {"a check box", [](HWND page) { Click(Find(page, "Random", "button")); },
       [](HWND page) { return Checked(Find(page, "Random", "button")); }},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    TConsole c;
    ASSERT_TRUE(c.Start());
    ASSERT_TRUE(c.WaitReady());
    HWND page = c.ShowPage("Configuration");
    ASSERT_NE(page, nullptr);
    k.change(page);
    ASSERT_TRUE(c.WaitFor(5000, [&] { return k.changed(page); }));
    ASSERT_NE(c.ShowPage("Log View"), nullptr);  // away from the changed page
    PostMessageA(c.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);  // as the close box does
    HWND box = nullptr;
    ASSERT_TRUE(c.WaitFor(10000, [&] { return (box = c.TopWindow("Warning!", "#32770")) != nullptr; }))
        << "the console ended or did not ask";
    std::string texts;
    for (HWND h : Descendants(box)) texts += TextOf(h) + "|";
    EXPECT_NE(texts.find("\"Configuration\" changes are not saved. Do you want to exit anyway?"), std::string::npos)
        << texts;
    Click(Find(box, "&No"));
    ASSERT_TRUE(c.WaitFor(10000, [&] { return !c.TopWindow("Warning!", "#32770"); }));
    Sleep(300);
    EXPECT_TRUE(c.Running());
    EXPECT_TRUE(IsWindowVisible(c.Main()));
    EXPECT_EQ(c.Page("Configuration"), page) << "the changed page is shown";
    EXPECT_TRUE(k.changed(page)) << "the change is kept";
    PostMessageA(c.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(c.WaitFor(10000, [&] { return (box = c.TopWindow("Warning!", "#32770")) != nullptr; }));
    Click(Find(box, "&Yes"));
    for (int i = 0; i < 150 && c.Running(); ++i) Sleep(100);
    EXPECT_FALSE(c.Running()) << "Yes did not end the console";
  }
}

TEST_F(PagesProcess, TheExplorerVerbsComeAndGo) {
  TConsole c;
  ASSERT_TRUE(c.Start());
  ASSERT_TRUE(c.WaitReady());
  HWND page = c.ShowPage("Configuration");
  ASSERT_NE(page, nullptr);
  HWND context = Find(page, " Use Context Menu ", "button");
  Click(context);
  ASSERT_TRUE(c.WaitFor(5000, [&] { return Checked(context); }));
  c.ClickToolButton(0);
  ASSERT_TRUE(c.WaitStatus(" Configuration data saved successfully."));
  const std::string contextPath = ContextPath();  // the same install paths as the console's
  EXPECT_EQ(RegQuery("HKCR\\lnkfile\\shell\\Protect\\command")["(Default)"],
            "REG_SZ    " + contextPath + " /p \"%1\"");
  EXPECT_EQ(RegQuery("HKCR\\lnkfile\\shell\\Remove protection\\command")["(Default)"],
            "REG_SZ    " + contextPath + " /u \"%1\"");
  Click(context);
  ASSERT_TRUE(c.WaitFor(5000, [&] { return !Checked(context); }));
  c.ClickToolButton(0);
  ASSERT_TRUE(c.WaitStatus(" Configuration data saved successfully."));
  EXPECT_NE(lkfix::RunProgram("reg query \"HKCR\\lnkfile\\shell\\Protect\"").ExitCode, 0u);
  EXPECT_NE(lkfix::RunProgram("reg query \"HKCR\\lnkfile\\shell\\Remove protection\"").ExitCode, 0u);
  EXPECT_TRUE(c.Close());
}

TEST_F(PagesProcess, TheLogViewShowsTheRunsAndDeletesTheLog) {
  {
    TLkStreams log(nullptr);
    log.SetEncrypted(true);
    log.SetKey("4617");
    const std::pair<const char*, std::string> records[] = {
        {"1", "alice\r\nC:\\Apps\\calc.exe\r\n2:05 PM - 12/10/2026\r\n"},
        {"2", "bob\r\nC:\\Games\\sol.exe\r\n2:10 PM - 12/10/2026\r\n3:40 PM - 12/10/2026\r\n"},
        {"3", "carol\r\nD:\\run.bat\r\n11:50 PM - 12/10/2026\r\n12:05 AM - 12/11/2026\r\n8\r\n"},
        {"5", "dave\r\n"},
    };
    for (const auto& [name, text] : records) {
      TMemoryStream m;
      m.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
      log.AddStream(name, m);
    }
    log.SaveToFile(install_ + "lmlog.bin");
  }
  TConsole c;
  ASSERT_TRUE(c.Start());
  ASSERT_TRUE(c.WaitReady());
  HWND page = c.ShowPage("Log View");
  ASSERT_NE(page, nullptr);
  HWND list = OfClass(page, "syslistview32").at(0);
  using R = std::vector<std::string>;
  EXPECT_EQ(c.Cells(list, 5), (std::vector<R>{R{"alice", "calc.exe", "2:05 PM - 12/10/2026", "n/a", "-"},
                                              R{"bob", "sol.exe", "2:10 PM - 12/10/2026", "1:30:00", "-"},
                                              R{"carol", "run.bat", "11:50 PM - 12/10/2026", "0:15:00", "Shutdown"},
                                              R{"dave", "n/a", "n/a", "n/a", "n/a"}}));
  c.ClickToolButton(1);  // "Full path view"
  ASSERT_TRUE(c.WaitStatus(" Log data refreshed."));
  EXPECT_EQ(c.Cells(list, 5).at(0).at(1), "C:\\Apps\\calc.exe");

  // Delete: the question, with No as the default button; Yes deletes.
  c.ClickToolButton(4);  // after the separator
  HWND box = nullptr;
  ASSERT_TRUE(c.WaitFor(10000, [&] { return (box = c.TopWindow("Confirmation", "#32770")) != nullptr; }));
  HWND no = Find(box, "&No");
  ASSERT_NE(no, nullptr);
  EXPECT_TRUE(GetWindowLongA(no, GWL_STYLE) & BS_DEFPUSHBUTTON);
  std::string texts;
  for (HWND h : Descendants(box)) texts += TextOf(h) + "|";
  EXPECT_NE(texts.find("The log file will be deleted. \r\nAre you sure?"), std::string::npos) << texts;
  Click(Find(box, "&Yes"));
  ASSERT_TRUE(c.WaitStatus(" Log file not found."));
  EXPECT_EQ(GetFileAttributesA((install_ + "lmlog.bin").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0);
  EXPECT_TRUE(c.Close());
  // The pressed view button is kept for the next start.
  EXPECT_EQ(ReadSetting(LKData::IconLogView), 1);
}

// The log is the gates' file, which users can write: a plain, stored
// "lmlog.bin" read by the Log View leaves the user-data file compressed and
// enciphered with the data files' key at its next save.
TEST_F(PagesProcess, APlainLogLeavesTheUserDataSaveEnciphered) {
  const std::string data = install_ + "lmdata.bin";
  DeleteFileA(data.c_str());
  {
    TLkStreams log(nullptr);
    log.SetCompressed(false);
    log.SetEncrypted(false);
    TMemoryStream m;
    const std::string text = "alice\r\nC:\\Apps\\calc.exe\r\n2:05 PM - 12/10/2026\r\n";
    m.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    log.AddStream("1", m);
    log.SaveToFile(install_ + "lmlog.bin");
  }
  ASSERT_EQ(lkfix::ReadTextFile(install_ + "lmlog.bin").substr(0, 2), "  ");
  TConsole c;
  ASSERT_TRUE(c.Start());
  ASSERT_TRUE(c.WaitReady());
  HWND log = c.ShowPage("Log View");
  ASSERT_NE(log, nullptr);
  c.ClickToolButton(3);  // "Refresh", after the separator
  ASSERT_TRUE(c.WaitStatus(" Log data refreshed."));
  EXPECT_EQ(SendMessageA(OfClass(log, "syslistview32").at(0), LVM_GETITEMCOUNT, 0, 0), 1);
  ASSERT_NE(c.ShowPage("User Settings"), nullptr);
  c.ClickToolButton(0);  // "Update user settings"
  ASSERT_TRUE(c.WaitStatus(" User settings saved."));
  EXPECT_TRUE(c.Close());

  EXPECT_EQ(lkfix::ReadTextFile(data).substr(0, 2), "&*");
  const std::string lkdev = "\"" + WindowsPath(LKDEV_EXE) + "\" streams dump \"" + data + "\"";
  const lkfix::TRunResult dump = lkfix::RunProgram(lkdev);
  EXPECT_EQ(dump.ExitCode, 0u) << dump.Output;
  EXPECT_NE(dump.Output.find("All Users="), std::string::npos) << dump.Output;
  // Another key does not read it: it is enciphered, not merely marked so.
  const lkfix::TRunResult other = lkfix::RunProgram(lkdev + " --key 4618");
  EXPECT_NE(other.ExitCode, 0u) << other.Output;
  EXPECT_NE(other.Output.find("File is corrupt."), std::string::npos) << other.Output;
}

// The user-data file's records by name.
std::map<std::string, TUserRecord> UserRecords(const std::string& path) {
  std::map<std::string, TUserRecord> records;
  TLkStreams c(nullptr);
  c.SetKey(kDataFileKey);
  c.LoadFromFile(path);
  for (int i = 0; i < c.Count(); ++i)
    records[c.StreamList()[i]] =
        DecodeUserRecord(static_cast<const TMemoryStream*>(c.StreamList().Objects(i))->AsString());
  return records;
}

// The password editor (the memo is the other edit, a multi-line one).
HWND PasswordEditor(HWND page) {
  for (HWND h : OfClass(page, "edit"))
    if (!(GetWindowLongA(h, GWL_STYLE) & ES_MULTILINE)) return h;
  return nullptr;
}

// A password typed before any row was clicked goes into the row the editors
// show from the start, the first one, and " User settings saved." comes
// only with the record holding it.
TEST_F(PagesProcess, APasswordTypedBeforeAnyClickIsSavedInTheRowShown) {
  const std::string data = install_ + "lmdata.bin";
  DeleteFileA(data.c_str());
  TConsole c;
  ASSERT_TRUE(c.Start());
  ASSERT_TRUE(c.WaitReady());
  HWND page = c.ShowPage("User Settings");
  ASSERT_NE(page, nullptr);
  HWND list = OfClass(page, "syslistview32").at(0);
  const std::string common = c.Cells(list, 1).at(0).at(0);
  EXPECT_EQ(TextOf(page), "User Settings: " + common);
  EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 0) << "the row shown is selected";
  HWND edit = PasswordEditor(page);
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(IsWindowEnabled(edit));
  Type(edit, "typed-first");
  ASSERT_TRUE(c.WaitFor(5000, [&] { return TextOf(edit) == "typed-first"; })) << TextOf(edit);
  ASSERT_TRUE(c.PressCtrlS());
  ASSERT_TRUE(c.WaitStatus(" User settings saved.")) << c.StatusText();
  EXPECT_EQ(UserRecords(data)[common].Password, "typed-first");
  EXPECT_EQ(c.Cells(list, 2).at(0).at(1), "typed-first");
  EXPECT_TRUE(c.Close());
}

// A file that could not be read: the editors take no text, and a save is
// refused and said so instead of writing an empty file over it.
TEST_F(PagesProcess, AnUnreadableFileLeavesTheEditorsClosedAndIsNeverSaved) {
  const std::string data = install_ + "lmdata.bin";
  const std::string damaged = "&this is no container";
  lkfix::WriteTextFile(data, damaged);
  TConsole c;
  ASSERT_TRUE(c.Start());
  HWND box = nullptr;
  ASSERT_TRUE(c.WaitFor(30000, [&] { return (box = c.TopWindow("Lockmere", "#32770")) != nullptr; }));
  std::string texts;
  for (HWND h : Descendants(box)) texts += TextOf(h) + "|";
  EXPECT_NE(texts.find("Corrupted data!"), std::string::npos) << texts;
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(c.WaitReady());
  HWND page = c.ShowPage("User Settings");
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(TextOf(page), "User Settings");
  HWND edit = PasswordEditor(page);
  ASSERT_NE(edit, nullptr);
  EXPECT_FALSE(IsWindowEnabled(edit));
  for (HWND h : OfClass(page, "systreeview32")) EXPECT_FALSE(IsWindowEnabled(h));
  ASSERT_TRUE(c.PressCtrlS());
  ASSERT_TRUE(c.WaitFor(10000, [&] { return c.StatusText().find("not saved") != std::string::npos; }))
      << c.StatusText();
  EXPECT_EQ(lkfix::ReadTextFile(data), damaged);
  EXPECT_TRUE(c.Close());
}

}  // namespace
