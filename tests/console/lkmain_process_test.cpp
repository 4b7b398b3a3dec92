// The real lkmain.exe under Wine: single instance, the splash handing over
// to the main window, and the program password at start-up. The program is
// driven from outside through its windows, as a user would.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "shared/core/vigenere.h"
#include "shared/win/registro.h"
#include "tests/shared_win/winfixture.h"
#include "shared/win/settings.h"

namespace {

constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::string ProgramPath() {
  std::string p = std::string("Z:") + LKMAIN_EXE;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

struct TWindowInfo {
  HWND hwnd;
  std::string caption;
  bool visible;
  bool enabled;
};

std::vector<TWindowInfo> WindowsOf(DWORD pid) {
  std::vector<TWindowInfo> out;
  for (HWND h : lkfix::TopWindowsOf(pid)) {
    char text[256] = {};
    GetWindowTextA(h, text, sizeof text);
    out.push_back({h, text, IsWindowVisible(h) != 0, IsWindowEnabled(h) != 0});
  }
  return out;
}

const TWindowInfo* Find(const std::vector<TWindowInfo>& ws, const std::string& caption, bool visibleOnly = true) {
  for (const auto& w : ws)
    if (w.caption == caption && (!visibleOnly || w.visible)) return &w;
  return nullptr;
}

HWND ChildWithText(HWND parent, const std::string& text) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char t[64] = {};
    GetWindowTextA(c, t, sizeof t);
    if (text == t) return c;
  }
  return nullptr;
}

HWND ChildOfClass(HWND parent, const char* part) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char cls[64] = {};
    GetClassNameA(c, cls, sizeof cls);
    std::string name = cls;
    for (char& ch : name) ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
    if (name.find(part) != std::string::npos) return c;
  }
  return nullptr;
}

class Program {
 public:
  bool Start() {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string cmd = "\"" + ProgramPath() + "\"";
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_)) return false;
    CloseHandle(pi_.hThread);
    return true;
  }
  ~Program() {
    if (!pi_.hProcess) return;
    if (Running()) TerminateProcess(pi_.hProcess, 1);
    WaitForSingleObject(pi_.hProcess, 5000);
    CloseHandle(pi_.hProcess);
  }
  DWORD Pid() const { return pi_.dwProcessId; }
  bool Running() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }
  bool WaitExit(int ms, DWORD& code) {
    if (WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(pi_.hProcess, &code);
    return true;
  }
  // Polls until `done` holds (or the program ended / time ran out).
  template <class F>
  bool WaitFor(int ms, F&& done) {
    for (int t = 0; t < ms; t += 50) {
      if (done(WindowsOf(Pid()))) return true;
      if (!Running()) return false;
      Sleep(50);
    }
    return false;
  }

 private:
  PROCESS_INFORMATION pi_{};
};

class LkMainProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    lock_.emplace();
    ASSERT_TRUE(lock_->Held());
    // A console left by a case stopped at its time limit would hold "LMere".
    lkfix::EndProgramsNamed({"lkmain.exe"});
    WriteRegistryValue(kSettingsKey, "doAuthenticate", TLkVariant(false));
  }
  void TearDown() override {
    WriteRegistryValue(kSettingsKey, "doAuthenticate", TLkVariant(false));
    lock_.reset();
  }
  std::optional<lkfix::TPrefixLock> lock_;
};

TEST_F(LkMainProcess, SplashHandsOverAndASecondStartEndsSilently) {
  Program first;
  ASSERT_TRUE(first.Start());
  bool splashSeen = false, splashBeforeMain = false;
  ASSERT_TRUE(first.WaitFor(20000, [&](const std::vector<TWindowInfo>& ws) {
    const bool splash = Find(ws, "Lockmere") && !Find(ws, "Lockmere v1.01");
    splashSeen = splashSeen || splash;
    if (Find(ws, "Lockmere v1.01")) {
      splashBeforeMain = splashSeen;
      return true;
    }
    return false;
  })) << "no main window";
  EXPECT_TRUE(splashBeforeMain);
  // About 1.5 s later the splash hides.
  EXPECT_TRUE(first.WaitFor(8000, [](const std::vector<TWindowInfo>& ws) {
    return Find(ws, "Lockmere v1.01") && !Find(ws, "Lockmere");
  }));

  Program second;
  ASSERT_TRUE(second.Start());
  DWORD code = 99;
  ASSERT_TRUE(second.WaitExit(15000, code));
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(first.Running());

  const TWindowInfo* main = Find(WindowsOf(first.Pid()), "Lockmere v1.01");
  ASSERT_NE(main, nullptr);
  PostMessageA(main->hwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(first.WaitExit(10000, code));
}

// The recent folders live under HKEY_LOCAL_MACHINE: a start and an exit
// leave no key of the program under HKEY_CURRENT_USER.
TEST_F(LkMainProcess, TheRecentFoldersKeyIsNeverMadeUnderTheCurrentUser) {
  const std::string mine = "HKCU\\Software\\Velmora";
  lkfix::RunProgram("reg delete \"" + mine + "\\Lockmere\\MRU Items\" /f");
  ASSERT_NE(lkfix::RunProgram("reg query \"" + mine + "\\Lockmere\\MRU Items\"").ExitCode, 0u);
  Program p;
  ASSERT_TRUE(p.Start());
  ASSERT_TRUE(p.WaitFor(20000, [](const std::vector<TWindowInfo>& ws) {
    return Find(ws, "Lockmere v1.01") && !Find(ws, "Lockmere");
  })) << "no main window";
  PostMessageA(Find(WindowsOf(p.Pid()), "Lockmere v1.01")->hwnd, WM_CLOSE, 0, 0);
  DWORD code = 99;
  ASSERT_TRUE(p.WaitExit(10000, code));
  const lkfix::TRunResult user = lkfix::RunProgram("reg query \"" + mine + "\" /s");
  EXPECT_EQ(user.Output.find("MRU Items"), std::string::npos) << user.Output;
  EXPECT_EQ(lkfix::RunProgram("reg query \"HKLM\\Software\\Velmora\\Lockmere\\MRU Items\"").ExitCode, 0u)
      << "the list is kept under HKEY_LOCAL_MACHINE";
}

struct PasswordCase {
  const char* name;
  const char* typed;  // null: Cancel
  bool breakStartup;
  bool keepsRunning;
  // The settings key refuses writes and holds no "InstallPath": the start-up
  // step that writes it fails.
  bool readOnlySettings = false;
};

// Lets everybody read the settings key and nobody write it, while it lives.
class TReadOnlySettings {
 public:
  TReadOnlySettings() {
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, READ_CONTROL | WRITE_DAC | KEY_SET_VALUE, &key_);
    RegDeleteValueA(key_, "InstallPath");
    DWORD size = 0;
    RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, nullptr, &size);
    saved_.resize(size);
    RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data(), &size);
    PSECURITY_DESCRIPTOR sd = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1, &sd, nullptr);
    RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, sd);
    LocalFree(sd);
  }
  ~TReadOnlySettings() {
    RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data());
    RegCloseKey(key_);
  }
  TReadOnlySettings(const TReadOnlySettings&) = delete;
  TReadOnlySettings& operator=(const TReadOnlySettings&) = delete;
  // Whether a write is refused now.
  static bool Refused() {
    HKEY key = nullptr;
    const LONG r = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_SET_VALUE, &key);
    if (key) RegCloseKey(key);
    return r != ERROR_SUCCESS;
  }

 private:
  HKEY key_ = nullptr;
  std::vector<char> saved_;
};
void PrintTo(const PasswordCase& c, std::ostream* os) { *os << c.name; }

class LkMainPassword : public LkMainProcess, public ::testing::WithParamInterface<PasswordCase> {};

TEST_P(LkMainPassword, AskedAtStartUp) {
  const PasswordCase& c = GetParam();
  WriteRegistryValue(kSettingsKey, "doAuthenticate", TLkVariant(true));
  WriteRegistryValue(kSettingsKey, "Authenticate", TLkVariant(TLkVigenereCipher::DecryptText("pw42", "2953")));
  const std::string saved = ReadRegistryValue(HKEY_CURRENT_USER, kShellFolders, "Desktop", TLkVariant("")).AsString();
  if (c.breakStartup) {
    HKEY key;
    RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_SET_VALUE, &key);
    RegDeleteValueA(key, "Desktop");
    RegCloseKey(key);
  }
  const std::string install = ReadRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, "InstallPath", TLkVariant("")).AsString();
  std::optional<TReadOnlySettings> readOnly;
  if (c.readOnlySettings) {
    readOnly.emplace();
    ASSERT_TRUE(TReadOnlySettings::Refused());
  }
  Program p;
  ASSERT_TRUE(p.Start());
  HWND dialog = nullptr;
  const bool asked = p.WaitFor(20000, [&](const std::vector<TWindowInfo>& ws) {
    const TWindowInfo* d = Find(ws, "Authentication");
    dialog = d ? d->hwnd : nullptr;
    return dialog != nullptr;
  });
  if (c.breakStartup) WriteRegistryValue(kShellFolders, "Desktop", TLkVariant(saved), HKEY_CURRENT_USER);
  if (readOnly) {
    readOnly.reset();
    WriteRegistryValue(kSettingsKey, "InstallPath", TLkVariant(install));
  }
  ASSERT_TRUE(asked) << "no password prompt";
  if (c.typed) {
    HWND edit = ChildOfClass(dialog, "edit");
    ASSERT_NE(edit, nullptr);
    for (const char* ch = c.typed; *ch; ++ch) PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(*ch), 1);
    Sleep(300);
    HWND ok = ChildWithText(dialog, "OK");
    ASSERT_NE(ok, nullptr);
    PostMessageA(ok, BM_CLICK, 0, 0);
  } else {
    HWND cancel = ChildWithText(dialog, "Cancel");
    ASSERT_NE(cancel, nullptr);
    PostMessageA(cancel, BM_CLICK, 0, 0);
  }
  if (c.keepsRunning) {
    // A failed start-up step is reported once the password was accepted.
    if (c.breakStartup || c.readOnlySettings) {
      HWND box = nullptr;
      ASSERT_TRUE(p.WaitFor(10000, [&](const std::vector<TWindowInfo>& ws) {
        const TWindowInfo* b = Find(ws, "Unexpected Error");
        box = b ? b->hwnd : nullptr;
        return box != nullptr;
      }));
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    EXPECT_TRUE(p.WaitFor(10000, [](const std::vector<TWindowInfo>& ws) {
      const TWindowInfo* m = Find(ws, "Lockmere v1.01");
      return m && m->enabled;
    }));
  } else {
    DWORD code = 0;
    EXPECT_TRUE(p.WaitExit(10000, code)) << "the program went on";
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, LkMainPassword,
                         ::testing::Values(PasswordCase{"Right", "pw42", false, true},
                                           PasswordCase{"Wrong", "pw43", false, false},
                                           PasswordCase{"Cancelled", nullptr, false, false},
                                           PasswordCase{"WrongAfterFailedStep", "nope", true, false},
                                           PasswordCase{"RightAfterFailedStep", "pw42", true, true},
                                           PasswordCase{"WrongWhenTheSettingsRefuseWrites", "nope", false, false, true},
                                           PasswordCase{"RightWhenTheSettingsRefuseWrites", "pw42", false, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
