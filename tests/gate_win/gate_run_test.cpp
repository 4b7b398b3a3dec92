// The gate as a user meets it: a protected link opened through the shell.
#include <windows.h>

#include <chrono>
#include <thread>

#include "base/locale.h"
#include "base/sysutils.h"
#include "gate_fixture.h"
#include "shared/core/gatearg.h"
#include "shared/win/settings.h"
#include "shared/core/streamcol.h"
#include "tests/shared_win/winfixture.h"

namespace {

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::string CurrentUser() {
  char name[257] = {};
  DWORD n = sizeof(name);
  GetUserNameA(name, &n);
  return name;
}

std::vector<std::string> FolderListing(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA f;
  HANDLE h = FindFirstFileA((dir + "*").c_str(), &f);
  if (h == INVALID_HANDLE_VALUE) return names;
  do names.push_back(f.cFileName + std::string(":") + std::to_string(f.nFileSizeLow));
  while (FindNextFileA(h, &f));
  FindClose(h);
  return names;
}

TEST_F(GateTest, WrongArgumentCountEndsAtOnceWithoutWindowOrFile) {
  InstallGate(true);
  WriteUserData({{commonEntry_, Record("pw", "1")}});
  const auto before = FolderListing(install_);
  for (std::string args : {"", " one two"}) {
    std::string cmd = "\"" + gatePath_ + "\"" + args;
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, install_.c_str(), &si, &pi));
    EXPECT_TRUE(Ended(pi.hProcess, 2000)) << args;
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    EXPECT_EQ(WaitGateWindow(300), nullptr);
  }
  EXPECT_EQ(FolderListing(install_), before);
}

// The whole road in mode 0: window, three refused passwords, the right one
// with Enter, the target with its arguments, the watch, the log record.
TEST_F(GateTest, ProtectedLinkModeZeroOpensWithTheRightPasswordAndEnter) {
  WriteUserData({{commonEntry_, Record("Secret", "1")}, {CurrentUser(), Record("other", "")}});
  const std::string link = ProtectLink("App", target_, "-x \"two words\"", 0);
  OpenThroughShell(link);
  HWND gate = WaitGateWindow();
  ASSERT_NE(gate, nullptr);

  const LONG ex = GetWindowLongA(gate, GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW) << "a tool window has no taskbar button";
  RECT client{}, outer{};
  GetClientRect(gate, &client);
  GetWindowRect(gate, &outer);
  EXPECT_EQ(client.right, 300);
  EXPECT_EQ(client.bottom, 196);
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_NEAR(outer.left, (sw - (outer.right - outer.left)) / 2, 1);
  EXPECT_NEAR(outer.top, (sh - (outer.bottom - outer.top)) / 2, 1);

  for (const char* wrong : {"Secreu", "secret", "Secret "}) {
    SetWindowTextA(PasswordBox(gate), "");
    Type(gate, wrong);
    PressKey(gate, VK_RETURN);
    Pause(600);
    EXPECT_TRUE(TargetRuns().empty()) << wrong;
    EXPECT_TRUE(IsWindowVisible(gate)) << wrong;
  }
  SetWindowTextA(PasswordBox(gate), "");
  Type(gate, "Secret");
  PressKey(gate, VK_RETURN);
  const auto run = WaitTargetRun(1);
  ASSERT_TRUE(run);
  EXPECT_NE(run->CommandLine.find("-x \"two words\""), std::string::npos) << run->CommandLine;
  EXPECT_TRUE(SameText(run->WorkingFolder, install_.substr(0, install_.size() - 1))) << run->WorkingFolder;

  HANDLE process = gates_.back();
  EXPECT_FALSE(Ended(process, 2500)) << "the gate watches while the target runs";
  EndTarget(run->Pid);
  EXPECT_TRUE(Ended(process, 3000)) << "the gate ends within 3 s of the target";

  const auto log = ReadLog();
  ASSERT_EQ(log.size(), 1u);
  const TLogRecord& r = log.at("1");
  EXPECT_EQ(r.UserName, CurrentUser());
  EXPECT_TRUE(SameText(r.TargetPath, target_)) << r.TargetPath;
  EXPECT_NE(r.StartTime.find(" - "), std::string::npos);
  ASSERT_TRUE(r.EndTime);
  EXPECT_FALSE(r.Action);
}

TEST_F(GateTest, ProtectedLinkModeOneOpensWithAClickOnOk) {
  WriteUserData({{commonEntry_, Record("common", "")}, {CurrentUser(), Record("mine", "1")}});
  OpenThroughShell(ProtectLink("Mine", target_, "/user", 1));
  HWND gate = WaitGateWindow();
  ASSERT_NE(gate, nullptr);
  Type(gate, "common");
  ClickOk(gate);
  Pause(500);
  EXPECT_TRUE(TargetRuns().empty()) << "mode 1 reads the login name's entry";
  SetWindowTextA(PasswordBox(gate), "");
  Type(gate, "mine");
  ClickOk(gate);
  const auto run = WaitTargetRun(1);
  ASSERT_TRUE(run);
  EXPECT_NE(run->CommandLine.find("/user"), std::string::npos);
  HANDLE process = gates_.back();
  EXPECT_FALSE(Ended(process, 1500));
  EndTarget(run->Pid);
  EXPECT_TRUE(Ended(process, 3000));
}

// The console names per-user entries by the profile's folder; where that
// differs from the login name the entry is still found.
TEST_F(GateTest, ModeOneFindsTheEntryByTheProfilesFolderName) {
  const std::string key = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\";
  std::string sid;
  {
    HKEY list;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &list), ERROR_SUCCESS);
    char name[256];
    for (DWORD i = 0; sid.empty(); ++i) {
      DWORD n = sizeof(name);
      if (RegEnumKeyExA(list, i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      char image[MAX_PATH] = {};
      DWORD size = sizeof(image);
      if (RegGetValueA(list, name, "ProfileImagePath", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr,
                       image, &size) == ERROR_SUCCESS &&
          SameText(ExtractFileName(image), CurrentUser()))
        sid = name;
    }
    RegCloseKey(list);
  }
  ASSERT_FALSE(sid.empty()) << "the current user's profile";
  HKEY profile;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, (key + sid).c_str(), 0, KEY_ALL_ACCESS, &profile), ERROR_SUCCESS);
  char saved[MAX_PATH] = {};
  DWORD savedSize = sizeof(saved), savedType = 0;
  RegQueryValueExA(profile, "ProfileImagePath", nullptr, &savedType, reinterpret_cast<BYTE*>(saved), &savedSize);
  const std::string folderName = CurrentUser() + ".PC";
  const std::string moved = "C:\\users\\" + folderName;
  RegSetValueExA(profile, "ProfileImagePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(moved.c_str()),
                 static_cast<DWORD>(moved.size() + 1));

  WriteUserData({{commonEntry_, Record("", "")}, {folderName, Record("folder", "")}});
  OpenThroughShell(ProtectLink("Profile", target_, "", 1));
  HWND gate = WaitGateWindow();
  if (gate) {
    PressKey(gate, VK_RETURN);  // an empty password must not open it
    Pause(600);
    EXPECT_TRUE(TargetRuns().empty());
    Type(gate, "folder");
    PressKey(gate, VK_RETURN);
    EXPECT_TRUE(WaitTargetRun(1));
  }
  RegSetValueExA(profile, "ProfileImagePath", 0, savedType, reinterpret_cast<const BYTE*>(saved), savedSize);
  RegCloseKey(profile);
  ASSERT_NE(gate, nullptr);
}

TEST_F(GateTest, MessageShowsExpandedTagsAndTheDefaultText) {
  InstallGate(true);
  WriteUserData({{commonEntry_, Record("pw", "", "Hello <UNAME>\r\n<sname> <b>on</b> <date> at <time>")},
                 {CurrentUser(), Record("pw", "")}});
  OpenThroughShell(ProtectLink("Msg", target_, "", 0));
  ASSERT_NE(WaitGateWindow(), nullptr);
  PressKey(WaitGateWindow(100), VK_ESCAPE);
  ASSERT_TRUE(Ended(gates_.back(), 3000));

  OpenThroughShell(ProtectLink("Default", target_, "", 1));
  ASSERT_NE(WaitGateWindow(), nullptr);
  PressKey(WaitGateWindow(100), VK_ESCAPE);
  ASSERT_TRUE(Ended(gates_.back(), 3000));

  const auto lines = TestRecord();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind("Message Hello " + CurrentUser() + "|~<sname> <b>on</b> ", 0), 0u) << lines[0];
  EXPECT_EQ(lines[0].find("<date>"), std::string::npos);
  EXPECT_EQ(lines[0].find("<time>"), std::string::npos);
  EXPECT_EQ(lines[1].rfind("Message Dear " + CurrentUser() + ",|~ |~In order to use", 0), 0u) << lines[1];
  EXPECT_NE(lines[1].find("<b>RETURN</b>"), std::string::npos);
}

TEST_F(GateTest, MessageOnlyHasNoPasswordBoxAndEnterStarts) {
  WriteUserData({{commonEntry_, Record("pw", "3")}});
  OpenThroughShell(ProtectLink("MsgOnly", target_, "m", 0));
  HWND gate = WaitGateWindow();
  ASSERT_NE(gate, nullptr);
  HWND edit = PasswordBox(gate);
  EXPECT_TRUE(!edit || !IsWindowVisible(edit));
  PostMessageA(gate, WM_KEYDOWN, VK_RETURN, 1);
  ASSERT_TRUE(WaitTargetRun(1));
  EXPECT_TRUE(Ended(gates_.back(), 3000)) << "no watch: the gate ends after the start";
}

TEST_F(GateTest, StealthStartsTheTargetWithoutAnyWindow) {
  WriteUserData({{commonEntry_, Record("pw", "4")}});
  OpenThroughShell(ProtectLink("Stealth", target_, "s", 0));
  const auto run = WaitTargetRun(1);
  ASSERT_TRUE(run);
  EXPECT_EQ(WaitGateWindow(300), nullptr);
  Pause(1000);
  EXPECT_EQ(FindGateProcess(0), nullptr) << "the gate has ended";
}

TEST_F(GateTest, StealthWithLogWatchesWithoutAWindow) {
  WriteUserData({{commonEntry_, Record("pw", "1,4")}});
  OpenThroughShell(ProtectLink("StealthLog", target_, "", 0));
  const auto run = WaitTargetRun(1);
  ASSERT_TRUE(run);
  HANDLE process = FindGateProcess(3000);
  ASSERT_NE(process, nullptr);
  EXPECT_FALSE(Ended(process, 2500)) << "watching, hidden";
  EXPECT_EQ(WaitGateWindow(100), nullptr);
  EndTarget(run->Pid);
  EXPECT_TRUE(Ended(process, 3000));
  const auto log = ReadLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_TRUE(log.at("1").EndTime);
}

TEST_F(GateTest, EscapeEndsWithoutStartAndLeavesTheLogAsItWas) {
  WriteUserData({{commonEntry_, Record("pw", "1")}});
  WriteLogWithOneRecord();
  const std::string before = FileBytes(install_ + "lmlog.bin");
  OpenThroughShell(ProtectLink("Esc", target_, "", 0));
  HWND gate = WaitGateWindow();
  ASSERT_NE(gate, nullptr);
  Type(gate, "pw");
  PressKey(gate, VK_ESCAPE);
  EXPECT_TRUE(Ended(gates_.back(), 3000));
  Pause(300);
  EXPECT_TRUE(TargetRuns().empty());
  EXPECT_EQ(FileBytes(install_ + "lmlog.bin"), before);
}

HWND FindMessageBox() {
  for (HWND hwnd : lkfix::TopWindows()) {
    char cls[16] = {};
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (std::string(cls) == "#32770") return hwnd;
  }
  return nullptr;
}

BOOL CALLBACK BoxTextProc(HWND hwnd, LPARAM l) {
  char text[256] = {};
  GetWindowTextA(hwnd, text, sizeof(text));
  *reinterpret_cast<std::string*>(l) += std::string(text) + "\n";
  return TRUE;
}

TEST_F(GateTest, CorruptUserDataIsReportedAndOpensNothing) {
  const std::string junk = "&*corrupted user data";
  std::FILE* f = std::fopen((install_ + "lmdata.bin").c_str(), "wb");
  std::fwrite(junk.data(), 1, junk.size(), f);
  std::fclose(f);
  OpenThroughShell(ProtectLink("Corrupt", target_, "", 0));

  // The box window shows up before its texts do: wait for both.
  HWND box = nullptr;
  std::string texts;
  for (int i = 0; i < 200; ++i) {
    box = FindMessageBox();
    texts.clear();
    if (box) EnumChildWindows(box, BoxTextProc, reinterpret_cast<LPARAM>(&texts));
    if (texts.find("Unable to read user data.") != std::string::npos) break;
    Pause(50);
  }
  ASSERT_NE(box, nullptr) << "a message box";
  EXPECT_NE(texts.find("Unable to read user data."), std::string::npos) << texts;
  PostMessageA(box, WM_COMMAND, IDOK, 0);

  ExpectEveryPasswordRefused();
}

TEST_F(GateTest, FolderTargetIsOpenedAndNotWatched) {
  WriteUserData({{commonEntry_, Record("pw", "1")}});
  const std::string folder = install_ + "Some Documents Folder";
  CreateDirectoryA(folder.c_str(), nullptr);
  OpenThroughShell(ProtectLink("Folder", folder, "", 0));
  HWND gate = WaitGateWindow();
  ASSERT_NE(gate, nullptr);
  Type(gate, "pw");
  PressKey(gate, VK_RETURN);
  EXPECT_TRUE(Ended(gates_.back(), 3000));
  const auto log = ReadLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_TRUE(SameText(log.at("1").TargetPath, folder));
  EXPECT_FALSE(log.at("1").EndTime) << "three lines: no watch";
}

TEST_F(GateTest, DocumentIsWatchedThroughItsAssociatedProgram) {
  // A document type of our own, opened by the stand-in program.
  HKEY k;
  RegCreateKeyExA(HKEY_CLASSES_ROOT, ".lktdoc", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
  RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("LkTestDoc"), 10);
  RegCloseKey(k);
  const std::string command = "\"" + target_ + "\" \"%1\"";
  RegCreateKeyExA(HKEY_CLASSES_ROOT, "LkTestDoc\\shell\\open\\command", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
  RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()), static_cast<DWORD>(command.size() + 1));
  RegCloseKey(k);
  const std::string doc = install_ + "Quarterly Report.lktdoc";
  std::FILE* f = std::fopen(doc.c_str(), "wb");
  std::fputs("report", f);
  std::fclose(f);

  WriteUserData({{commonEntry_, Record("pw", "1")}});
  OpenThroughShell(ProtectLink("Doc", doc, "", 0));
  const auto run = PassGate("pw");
  ASSERT_TRUE(run);
  EXPECT_NE(LowerCase(run->CommandLine).find("quarterly report.lktdoc"), std::string::npos) << run->CommandLine;
  HANDLE process = gates_.back();
  EXPECT_FALSE(Ended(process, 2500)) << "the associated program is watched";
  EndTarget(run->Pid);
  EXPECT_TRUE(Ended(process, 3000));
  const auto log = ReadLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_TRUE(log.at("1").EndTime);
}

TEST_F(GateTest, SecondEnterAndClickAfterAcceptanceStartNothing) {
  WriteUserData({{commonEntry_, Record("pw", "")}});
  OpenThroughShell(ProtectLink("Twice", target_, "", 0));
  HWND gate = WaitGateWindow();
  ASSERT_NE(gate, nullptr);
  HWND edit = PasswordBox(gate);
  for (char c : std::string("pw")) PostMessageA(edit, WM_CHAR, c, 1);
  PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
  const LPARAM at = MAKELPARAM(263, 174);
  PostMessageA(gate, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(gate, WM_LBUTTONUP, 0, at);
  ASSERT_TRUE(WaitTargetRun(1));
  Pause(1500);
  EXPECT_EQ(TargetRuns().size(), 1u);
}

// "InstallPath" naming a folder the system cannot look up ("|" is no
// character of a name): the user data is unreadable, not missing, so no
// password opens the target, the empty one included.
TEST_F(GateTest, UserDataThatCannotBeLookedUpOpensNothing) {
  WriteUserData({{commonEntry_, Record("", "")}});
  const std::string link = ProtectLink("Unlooked", target_, "", 0);
  const std::string unlooked = "C:\\lk|gate\\";
  ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, kSettingsKey, "InstallPath", REG_SZ, unlooked.c_str(),
                            static_cast<DWORD>(unlooked.size() + 1)),
            ERROR_SUCCESS);
  OpenThroughShell(link);
  const std::string box = TakeMessageBox();
  EXPECT_NE(box.find("Unable to read user data."), std::string::npos) << box;
  ExpectEveryPasswordRefused();
}

// A target thousands of folders deep, with "Use log": its long form is
// walked, not recursed, and the window opens (started as the shell would,
// with the argument a link cannot hold).
TEST_F(GateTest, TargetSevenThousandFoldersDeepWithLogOpensTheWindow) {
  WriteUserData({{commonEntry_, Record("pw", "1")}});
  std::string target = "C:";
  for (int i = 0; i < 7000; ++i) target += "\\a";
  target += "\\app.exe";
  std::string cmd = "\"" + gatePath_ + "\" " + EncodeGateArgument(target, "", 0);
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, install_.c_str(), &si, &pi))
      << GetLastError();
  CloseHandle(pi.hThread);
  HWND gate = WaitGateWindow();
  DWORD code = 259;
  if (!gate) GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  ASSERT_NE(gate, nullptr) << "exit code " << code;
  PressKey(gate, VK_ESCAPE);
  EXPECT_TRUE(Ended(gates_.back(), 3000));
}

}  // namespace
