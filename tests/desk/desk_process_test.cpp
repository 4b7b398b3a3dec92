// The Desktop page's file commands in the real lkmain.exe under Wine, driven
// from outside as the administrator would: rows selected, the link list's
// and the directory edit's menus walked with the keyboard, the shell's
// dialogs answered with their buttons, the folder chooser confirmed. A
// stand-in gate in the system folder records the argument it is started with.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/locale.h"
#include "shared/core/gatearg.h"
#include "shared/win/installpaths.h"
#include "shared/win/registro.h"
#include "shared/win/settings.h"
#include "shared/win/shelllink.h"
#include "tests/shared_win/winfixture.h"

namespace {

const char* const kWork = "C:\\lkdesk";
const char* const kMruKey = "Software\\Velmora\\Lockmere\\MRU Items";
const char* const kGateRuns = "C:\\lkdesk\\gate-runs.txt";

// The items of the link list's menu, as the keyboard reaches them.
enum TListItemPos { kProtect, kRevert, kCopy, kPaste, kSelectAll, kBackup, kRestore, kDelete, kExecute, kProperties };

std::string WinPath(const char* unixPath) {
  std::string p = std::string("Z:") + unixPath;
  std::replace(p.begin(), p.end(), '/', '\\');
  return p;
}

std::string FileBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return f ? s.str() : std::string("<missing>");
}
bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ClassOf(HWND h) {
  char cls[128] = {};
  GetClassNameA(h, cls, sizeof cls);
  return AnsiLowerCase(cls);
}
std::string TextOf(HWND h) {
  char text[1024] = {};
  GetWindowTextA(h, text, sizeof text);
  return text;
}

using lkfix::TRemoteBlock;

struct TChildren {
  std::vector<HWND> all;
};
BOOL CALLBACK CollectChild(HWND h, LPARAM l) {
  reinterpret_cast<TChildren*>(l)->all.push_back(h);
  return TRUE;
}
std::vector<HWND> ChildrenOf(HWND parent) {
  TChildren c;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&c));
  return c.all;
}

class TDeskDriver {
 public:
  ~TDeskDriver() { Stop(); }

  bool Start() {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string cmd = "\"" + WinPath(LKMAIN_EXE) + "\"";
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_)) return false;
    CloseHandle(pi_.hThread);
    return WaitFor(30000, [&] { return FindParts(); });
  }
  // Closes the main window (the console saves what it keeps) and waits.
  bool Close() {
    if (!pi_.hProcess) return true;
    PostMessageA(main_, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(pi_.hProcess, 15000) == WAIT_OBJECT_0;
    Stop();
    return ended;
  }
  void Stop() {
    if (!pi_.hProcess) return;
    if (Running()) TerminateProcess(pi_.hProcess, 1);
    WaitForSingleObject(pi_.hProcess, 5000);
    CloseHandle(pi_.hProcess);
    pi_ = {};
  }
  bool Running() const { return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

  template <class F>
  bool WaitFor(DWORD ms, F&& done) {
    return lkfix::PollUntil(ms, [this] { return Running(); }, done);
  }

  LRESULT Send(HWND to, UINT msg, WPARAM w, LPARAM l) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(to, msg, w, l, SMTO_ABORTIFHUNG, 10000, &result)) return -1;
    return static_cast<LRESULT>(result);
  }

  // ---- the link list
  int RowCount() { return static_cast<int>(Send(list_, LVM_GETITEMCOUNT, 0, 0)); }
  std::string RowText(int row, int column) {
    constexpr size_t kText = 1024;
    TRemoteBlock block(pi_.dwProcessId, sizeof(LVITEMA) + kText);
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = block.At(sizeof(LVITEMA));
    item.cchTextMax = kText;
    char text[kText] = {};
    if (!block.Write(0, &item, sizeof item) || !block.Write(sizeof item, text, 1)) return "<no memory>";
    Send(list_, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(block.At(0)));
    block.Read(sizeof(LVITEMA), text, kText - 1);
    return text;
  }
  int FindRow(const std::string& caption) {
    for (int i = 0, n = RowCount(); i < n; ++i)
      if (RowText(i, 0) == caption) return i;
    return -1;
  }
  bool WaitRow(const std::string& caption, bool present = true) {
    return WaitFor(10000, [&] { return (FindRow(caption) >= 0) == present; });
  }
  // Selects exactly these rows, as a user's clicks would leave them.
  bool Select(std::initializer_list<std::string> captions) {
    TRemoteBlock block(pi_.dwProcessId, sizeof(LVITEMA));
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    if (!block.Write(0, &item, sizeof item)) return false;
    Send(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(block.At(0)));
    for (const std::string& c : captions) {
      const int row = FindRow(c);
      if (row < 0) return false;
      item.state = LVIS_SELECTED | LVIS_FOCUSED;
      block.Write(0, &item, sizeof item);
      Send(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(block.At(0)));
    }
    return true;
  }
  POINT RowPoint(int row) {
    TRemoteBlock block(pi_.dwProcessId, sizeof(RECT));
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    block.Write(0, &r, sizeof r);
    Send(list_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(block.At(0)));
    block.Read(0, &r, sizeof r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void DoubleClickRow(int row) {
    const POINT at = RowPoint(row);
    const LPARAM pos = MAKELPARAM(at.x, at.y);
    PostMessageA(list_, WM_LBUTTONUP, 0, pos);
    SendNotifyMessageA(list_, WM_LBUTTONDOWN, MK_LBUTTON, pos);
    PostMessageA(list_, WM_LBUTTONDBLCLK, MK_LBUTTON, pos);
    PostMessageA(list_, WM_LBUTTONUP, 0, pos);
  }

  // ---- menus: the item at `position` (separators do not count), or the accelerator key
  bool MenuCommand(HWND on, POINT client, int position, char key = 0) {
    POINT at = client;
    ClientToScreen(on, &at);
    PostMessageA(on, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(on), MAKELPARAM(at.x, at.y));
    if (!WaitFor(10000, [&] { return !Windows("#32768").empty(); })) return false;
    HWND menu = Windows("#32768").front();
    if (key) {
      PostMessageA(menu, WM_CHAR, static_cast<unsigned char>(key), 1);
    } else {
      for (int i = 0; i <= position; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 1);
      PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 1);
    }
    return WaitFor(10000, [&] { return Windows("#32768").empty(); });
  }
  bool ListCommand(int position) {
    RECT r;
    GetClientRect(list_, &r);
    // Below every row: a click there keeps the selection as it is.
    return MenuCommand(list_, POINT{r.right - 10, r.bottom - 10}, position);
  }
  bool EditMenuCommand(int position, char key = 0) { return MenuCommand(edit_, POINT{5, 5}, position, key); }

  // ---- the console's own dialogs (the shell's and the chooser)
  std::vector<HWND> Windows(const char* cls) {
    std::vector<HWND> found;
    for (HWND h : lkfix::TopWindowsOf(pi_.dwProcessId))
      if (IsWindowVisible(h) && ClassOf(h) == cls) found.push_back(h);
    return found;
  }
  HWND WaitDialog() {
    HWND dlg = nullptr;
    WaitFor(15000, [&] {
      auto d = Windows("#32770");
      dlg = d.empty() ? nullptr : d.front();
      return dlg != nullptr;
    });
    return dlg;
  }
  // Presses the button of that text (without "&"), else posts the command.
  void Press(HWND dlg, const std::string& text, int command) {
    for (HWND b : ChildrenOf(dlg)) {
      if (ClassOf(b) != "button") continue;
      std::string t = TextOf(b);
      t.erase(std::remove(t.begin(), t.end(), '&'), t.end());
      if (AnsiSameText(t, text)) {
        PostMessageA(b, BM_CLICK, 0, 0);
        return;
      }
    }
    PostMessageA(dlg, WM_COMMAND, command, 0);
  }
  bool DialogsGone() {
    return WaitFor(15000, [&] { return Windows("#32770").empty(); });
  }

  // ---- the tool bar
  bool PickDesktop(int target) {
    const int at = static_cast<int>(Send(combo_, CB_GETCURSEL, 0, 0));
    for (int i = at; i != target; i += target > at ? 1 : -1) {
      const WORD key = target > at ? VK_DOWN : VK_UP;
      PostMessageA(combo_, WM_KEYDOWN, key, 1);
      PostMessageA(combo_, WM_KEYUP, key, 0xC0000001);
    }
    return WaitFor(10000, [&] { return Send(combo_, CB_GETCURSEL, 0, 0) == target; });
  }
  // An edit keeps its text itself: asked with WM_GETTEXT, which the system
  // carries between processes.
  std::string EditText() {
    char text[1024] = {};
    Send(edit_, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
  }
  // Selects the folder in the open chooser, as a user's click in its tree
  // would; the path is lent in the console, where the chooser reads it.
  void ChooseFolder(HWND chooser, const std::string& folder) {
    TRemoteBlock block(pi_.dwProcessId, folder.size() + 1);
    block.Write(0, folder.c_str(), folder.size() + 1);
    Send(chooser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(block.At(0)));
    Sleep(300);  // the tree expands to it
  }
  // The edit's button, as the mouse presses it.
  void PressEditButton() {
    const LPARAM pos = MAKELPARAM(5, 5);
    PostMessageA(holder_, WM_LBUTTONDOWN, MK_LBUTTON, pos);
    PostMessageA(holder_, WM_LBUTTONUP, 0, pos);
  }
  void AltDown() {
    SetForegroundWindow(main_);
    PostMessageA(edit_, WM_SYSKEYDOWN, VK_DOWN, 1 | (1 << 29));
  }
  std::string PageCaption() { return TextOf(page_); }
  std::string StatusText() {
    constexpr size_t kText = 512;
    TRemoteBlock block(pi_.dwProcessId, kText);
    char text[kText] = {};
    if (!block.Write(0, text, 1)) return "<no memory>";
    Send(status_, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(block.At(0)));
    block.Read(0, text, kText - 1);
    return text;
  }
  bool WaitStatus(const std::string& text) {
    return WaitFor(20000, [&] { return StatusText() == text; });
  }

 private:
  bool FindParts() {
    main_ = nullptr;
    for (HWND h : lkfix::TopWindowsOf(pi_.dwProcessId))
      if (TextOf(h) == "Lockmere v1.01" && IsWindowEnabled(h) && IsWindowVisible(h)) main_ = h;
    if (!main_) return false;
    list_ = combo_ = status_ = edit_ = holder_ = page_ = nullptr;
    for (HWND h : ChildrenOf(main_)) {
      const std::string cls = ClassOf(h);
      if (!list_ && cls.find("syslistview32") != std::string::npos && IsWindowVisible(h)) list_ = h;
      if (!combo_ && cls.find("combobox") != std::string::npos && IsWindowVisible(h)) combo_ = h;
      if (!status_ && cls.find("msctls_statusbar32") != std::string::npos) status_ = h;
      // The edit with a child (its button's holder).
      if (!edit_ && cls.find("edit") != std::string::npos && GetWindow(h, GW_CHILD)) edit_ = h;
      const std::string text = TextOf(h);
      if (!page_ && text.size() >= 17 && text.compare(text.size() - 17, 17, "Desktop Shortcuts") == 0) page_ = h;
    }
    if (edit_) {
      for (HWND h : ChildrenOf(edit_)) holder_ = h;
    }
    return list_ && combo_ && status_ && edit_ && holder_ && page_;
  }

 public:
  // What the last look found, for a failure message.
  std::string Seen() {
    std::string seen = main_ ? "main window" : "no main window";
    for (HWND h : lkfix::TopWindowsOf(pi_.dwProcessId))
      if (IsWindowVisible(h)) seen += "; top window \"" + TextOf(h) + "\" (" + ClassOf(h) + ")";
    if (!list_) seen += "; no list";
    if (!combo_) seen += "; no combo box";
    if (!status_) seen += "; no status bar";
    if (!edit_) seen += "; no directory edit";
    if (!holder_) seen += "; no button holder";
    if (!page_) seen += "; no page caption";
    return seen;
  }

 private:

  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr, list_ = nullptr, combo_ = nullptr, status_ = nullptr, edit_ = nullptr, holder_ = nullptr,
       page_ = nullptr;
};

std::vector<std::string> RegQueryMru() {
  const lkfix::TRunResult r = lkfix::RunProgram("reg query \"HKLM\\Software\\Velmora\\Lockmere\\MRU Items\"");
  std::vector<std::string> lines;
  std::istringstream in(r.Output);
  for (std::string line; std::getline(in, line);) {
    std::string out;
    for (char c : line)
      if (c != '\r' && !(c == ' ' && (out.empty() || out.back() == ' '))) out += c;
    while (!out.empty() && out.back() == ' ') out.pop_back();
    if (out.rfind("F", 0) == 0 && out.find(" REG_") != std::string::npos) lines.push_back(out);
  }
  return lines;
}

std::vector<std::string> GateRuns() {
  std::vector<std::string> runs;
  if (!Exists(kGateRuns)) return runs;
  std::istringstream in(FileBytes(kGateRuns));
  for (std::string line; std::getline(in, line);) runs.push_back(line);
  return runs;
}

class DeskProcess : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitialize(nullptr);
    InitInstallPaths();
  }
  void SetUp() override {
    lock_.emplace();
    ASSERT_TRUE(lock_->Held());
    lkfix::EndProgramsNamed({"lkmain.exe"});
    desktop_ = UserDesktopFolder();
    common_ = CommonDesktopFolder();
    CreateDirectoryA(desktop_.c_str(), nullptr);
    CreateDirectoryA(common_.c_str(), nullptr);
    lkfix::RemoveFolder(kWork);
    CreateDirectoryA(kWork, nullptr);
    CopyFileA(ModuleFileName(nullptr).c_str(), (std::string(kWork) + "\\tool.exe").c_str(), FALSE);
    lkfix::RemoveFolder(BackupFolder());
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kMruKey);
    WriteSetting(LKData::doAuthenticate, false);
    // The stand-in gate where protected links start it; the real one is put back.
    gate_saved_ = std::string(kWork) + "\\passbox.saved";
    had_gate_ = CopyFileA(GatePath().c_str(), gate_saved_.c_str(), FALSE) != 0;
    ASSERT_TRUE(CopyFileA(WinPath(GATE_PROBE_EXE).c_str(), GatePath().c_str(), FALSE));
  }
  void TearDown() override {
    console_.Stop();
    if (had_gate_)
      CopyFileA(gate_saved_.c_str(), GatePath().c_str(), FALSE);
    else
      DeleteFileA(GatePath().c_str());
    for (const std::string& p : made_) DeleteFileA(p.c_str());
    lkfix::RemoveFolder(BackupFolder());
    lkfix::RemoveFolder(kWork);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kMruKey);
    lock_.reset();
  }
  std::string AddLink(const std::string& folder, const std::string& name, const std::string& target = "",
                      const std::string& args = "") {
    const std::string path = folder + "\\" + name + ".lnk";
    TShellLink l;
    l.Target = target.empty() ? std::string(kWork) + "\\tool.exe" : target;
    l.Arguments = args;
    l.Description = name;
    EXPECT_EQ(WriteShellLink(l, path), S_OK) << path;
    made_.push_back(path);
    return path;
  }
  void StartConsole() {
    ASSERT_TRUE(console_.Start()) << "lkmain.exe did not come up: " << console_.Seen();
    ASSERT_TRUE(console_.WaitStatus(" Viewing panel refreshed."));
  }

  std::optional<lkfix::TPrefixLock> lock_;
  TDeskDriver console_;
  std::string desktop_, common_, gate_saved_;
  bool had_gate_ = false;
  std::vector<std::string> made_;
};

TEST_F(DeskProcess, CopyHereAndPasteOnAnotherDesktop) {
  const std::string source = AddLink(desktop_, "lkp Copied", "", "-p 1");
  made_.push_back(common_ + "\\lkp Copied.lnk");
  StartConsole();
  ASSERT_TRUE(console_.WaitRow("lkp Copied"));
  ASSERT_TRUE(console_.Select({"lkp Copied"}));
  ASSERT_TRUE(console_.ListCommand(kCopy));
  ASSERT_TRUE(console_.PickDesktop(0));  // the common desktop
  ASSERT_TRUE(console_.WaitStatus(" Viewing panel refreshed."));
  ASSERT_TRUE(console_.Select({}));
  ASSERT_TRUE(console_.ListCommand(kPaste));
  ASSERT_TRUE(console_.WaitRow("lkp Copied")) << "the folder monitor shows the pasted link";
  EXPECT_EQ(FileBytes(common_ + "\\lkp Copied.lnk"), FileBytes(source));
}

TEST_F(DeskProcess, DeleteAsksFirstAndTheFileIsGone) {
  const std::string path = AddLink(desktop_, "lkp Deleted");
  StartConsole();
  ASSERT_TRUE(console_.WaitRow("lkp Deleted"));
  ASSERT_TRUE(console_.Select({"lkp Deleted"}));
  ASSERT_TRUE(console_.ListCommand(kDelete));
  HWND ask = console_.WaitDialog();
  ASSERT_NE(ask, nullptr) << "no question before deleting";
  EXPECT_TRUE(Exists(path));
  console_.Press(ask, "Yes", IDYES);
  ASSERT_TRUE(console_.DialogsGone());
  EXPECT_TRUE(console_.WaitFor(10000, [&] { return !Exists(path); }));
  EXPECT_TRUE(console_.WaitRow("lkp Deleted", false));
}

TEST_F(DeskProcess, ExecuteAndDoubleClickStartTheGateWithTheLinksArgument) {
  const std::string token = EncodeGateArgument(std::string(kWork) + "\\tool.exe", "-guarded", 0);
  AddLink(desktop_, "lkp Guarded", GatePath(), token);
  StartConsole();
  ASSERT_TRUE(console_.WaitRow("lkp Guarded"));
  ASSERT_TRUE(console_.Select({"lkp Guarded"}));
  ASSERT_TRUE(console_.ListCommand(kExecute));
  ASSERT_TRUE(console_.WaitFor(20000, [&] { return GateRuns().size() >= 1; })) << "Execute started no gate";
  EXPECT_EQ(GateRuns()[0], token);
  console_.DoubleClickRow(console_.FindRow("lkp Guarded"));
  ASSERT_TRUE(console_.WaitFor(20000, [&] { return GateRuns().size() >= 2; })) << "a double click started no gate";
  EXPECT_EQ(GateRuns()[1], token);
}

TEST_F(DeskProcess, BackupThenRestoreOnAnotherDesktop) {
  const std::string a = AddLink(desktop_, "lkp Saved A");
  const std::string b = AddLink(desktop_, "lkp Saved B", "", "b");
  made_.push_back(common_ + "\\lkp Saved A.lnk");
  made_.push_back(common_ + "\\lkp Saved B.lnk");
  StartConsole();
  ASSERT_TRUE(console_.WaitRow("lkp Saved B"));
  ASSERT_TRUE(console_.Select({"lkp Saved A", "lkp Saved B"}));
  ASSERT_TRUE(console_.ListCommand(kBackup));
  ASSERT_TRUE(console_.WaitStatus(" Selected file(s) backup process was successful.")) << console_.StatusText();
  EXPECT_EQ(FileBytes(BackupFolder() + "\\lkp Saved A.lnk"), FileBytes(a));
  EXPECT_EQ(FileBytes(BackupFolder() + "\\lkp Saved B.lnk"), FileBytes(b));

  ASSERT_TRUE(console_.PickDesktop(0));
  ASSERT_TRUE(console_.WaitStatus(" Viewing panel refreshed."));
  ASSERT_TRUE(console_.ListCommand(kRestore));
  ASSERT_TRUE(console_.WaitStatus(" Backup file(s) restored successfully.")) << console_.StatusText();
  EXPECT_EQ(FileBytes(common_ + "\\lkp Saved B.lnk"), FileBytes(b));
  EXPECT_TRUE(Exists(BackupFolder() + "\\lkp Saved B.lnk"));  // the backups stay

  // Again the same: the shell asks before replacing, and is told Cancel.
  ASSERT_TRUE(console_.ListCommand(kRestore));
  HWND ask = console_.WaitDialog();
  ASSERT_NE(ask, nullptr) << "the shell asked nothing";
  console_.Press(ask, "Cancel", IDCANCEL);
  ASSERT_TRUE(console_.DialogsGone());
  ASSERT_TRUE(console_.WaitFor(10000, [&] { return console_.StatusText() != " Please, wait..."; }));
  EXPECT_EQ(console_.StatusText(), " Restore failed for 2 of 2 file(s).");

  // An empty backup folder: nothing found.
  DeleteFileA((BackupFolder() + "\\lkp Saved A.lnk").c_str());
  DeleteFileA((BackupFolder() + "\\lkp Saved B.lnk").c_str());
  ASSERT_TRUE(console_.ListCommand(kRestore));
  EXPECT_TRUE(console_.WaitStatus(" No backup files were found.")) << console_.StatusText();
}

TEST_F(DeskProcess, BrowsingKeepsRecentFoldersAcrossRuns) {
  std::vector<std::string> folders;
  for (const char* n : {"b1", "b2", "b3", "b4", "b5", "b6"}) {
    folders.push_back(std::string(kWork) + "\\" + n);
    CreateDirectoryA(folders.back().c_str(), nullptr);
  }
  AddLink(folders[2], "lkp In Three");
  StartConsole();
  EXPECT_EQ(console_.EditText(), "Browse");
  // Three folders: by the button, by Alt+Down, by the button.
  for (int i = 0; i < 3; ++i) {
    if (i == 1)
      console_.AltDown();
    else
      console_.PressEditButton();
    HWND chooser = console_.WaitDialog();
    ASSERT_NE(chooser, nullptr) << "no chooser for folder " << i;
    console_.ChooseFolder(chooser, folders[i]);
    console_.Press(chooser, "OK", IDOK);
    ASSERT_TRUE(console_.DialogsGone());
    ASSERT_TRUE(console_.WaitFor(10000, [&] {
      return console_.PageCaption() == (i == 2 ? "Browsing Directory" : "No Shortcuts Found");
    })) << console_.PageCaption() << " after choosing " << i << "; the edit shows " << console_.EditText() << "; link there: " << Exists(folders[2] + "\\lkp In Three.lnk") << "; rows " << console_.RowCount() << "; status " << console_.StatusText();
  }
  EXPECT_GE(console_.FindRow("lkp In Three"), 0);
  ASSERT_TRUE(console_.Close());
  std::vector<std::string> expected;
  for (int i = 0; i < 3; ++i) expected.push_back("F" + std::to_string(i) + " REG_SZ " + folders[2 - i]);
  std::vector<std::string> lines = RegQueryMru();
  ASSERT_EQ(lines.size(), 3u);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(AnsiSameText(lines[i], expected[i])) << lines[i];

  // After a restart "&1" of the edit's menu is the newest folder.
  StartConsole();
  ASSERT_TRUE(console_.EditMenuCommand(0, '1'));
  ASSERT_TRUE(console_.WaitFor(10000, [&] { return console_.PageCaption() == "Browsing Directory"; }));
  EXPECT_TRUE(AnsiSameText(console_.EditText(), folders[2]));
  // "&3": the oldest.
  ASSERT_TRUE(console_.EditMenuCommand(0, '3'));
  // The edit shows the folder before its listing ends: wait for both.
  EXPECT_TRUE(console_.WaitFor(10000, [&] {
    return AnsiSameText(console_.EditText(), folders[0]) && console_.PageCaption() == "No Shortcuts Found";
  })) << console_.EditText() << " / " << console_.PageCaption();

  // Three more: the sixth drops the oldest; folder 2 chosen again moves up.
  for (int i = 3; i < 6; ++i) {
    console_.PressEditButton();
    HWND chooser = console_.WaitDialog();
    ASSERT_NE(chooser, nullptr);
    console_.ChooseFolder(chooser, folders[i]);
    console_.Press(chooser, "OK", IDOK);
    ASSERT_TRUE(console_.DialogsGone());
  }
  console_.PressEditButton();
  HWND chooser = console_.WaitDialog();
  ASSERT_NE(chooser, nullptr);
  console_.ChooseFolder(chooser, folders[1]);
  console_.Press(chooser, "OK", IDOK);
  ASSERT_TRUE(console_.DialogsGone());
  ASSERT_TRUE(console_.Close());
  lines = RegQueryMru();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_TRUE(AnsiSameText(lines[0], "F0 REG_SZ " + folders[1])) << lines[0];
  for (const std::string& l : lines) EXPECT_EQ(l.find("b1"), std::string::npos) << l;

  // Choosing a user again ends browsing.
  StartConsole();
  ASSERT_TRUE(console_.EditMenuCommand(0, '1'));
  ASSERT_TRUE(console_.WaitFor(10000, [&] { return console_.PageCaption() != "Desktop Shortcuts"; }));
  ASSERT_TRUE(console_.PickDesktop(0));
  EXPECT_TRUE(console_.WaitFor(10000, [&] { return console_.PageCaption() == "All Users Desktop Shortcuts"; }))
      << console_.PageCaption();
}

}  // namespace
