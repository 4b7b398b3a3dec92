// The main road under Wine, across both real programs: the administrator
// protects a shortcut in lkmain.exe, a user opens it through the shell, the
// real passbox.exe (at the gate's path in the system folder) asks for the
// password of the entry the mode names, starts the real target with its
// arguments, waits for its end and appends the run to the log.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "console_driver.h"
#include "base/locale.h"
#include "base/sysutils.h"
#include "gate_fixture.h"
#include "shared/core/elapsed.h"
#include "shared/core/gatearg.h"
#include "shared/core/streamcol.h"
#include "shared/win/shelllink.h"
#include "tests/shared_win/winfixture.h"
#include "shared/win/settings.h"

namespace {

constexpr DWORD kLong = 30000;  // Wine under load

std::string CurrentUser() {
  char name[257] = {};
  DWORD n = sizeof name;
  GetUserNameA(name, &n);
  return name;
}

std::string LongPath(const std::string& path) {
  char buf[MAX_PATH + 1] = {};
  const DWORD n = GetLongPathNameA(path.c_str(), buf, MAX_PATH);
  return n > 0 && n <= MAX_PATH ? std::string(buf, n) : path;
}

void SetHklmBool(const char* name, bool on) {
  HKEY k;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) !=
      ERROR_SUCCESS)
    return;
  const DWORD v = on ? 1 : 0;
  RegSetValueExA(k, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
  RegCloseKey(k);
}

std::optional<DWORD> HklmDword(const char* name) {
  DWORD v = 0, size = sizeof v, type = 0;
  HKEY k;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, &k) != ERROR_SUCCESS) return std::nullopt;
  const bool found = RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(&v), &size) == ERROR_SUCCESS &&
                     type == REG_DWORD;
  RegCloseKey(k);
  return found ? std::optional<DWORD>(v) : std::nullopt;
}

// Every "short time - short date" text of the user's locale from `from` to
// `to`, minute by minute: a log time taken in between is one of them.
std::set<std::string> LocaleTimesBetween(SYSTEMTIME from, SYSTEMTIME to) {
  std::set<std::string> texts;
  FILETIME f, t;
  SystemTimeToFileTime(&from, &f);
  SystemTimeToFileTime(&to, &t);
  ULARGE_INTEGER at{{f.dwLowDateTime, f.dwHighDateTime}}, end{{t.dwLowDateTime, t.dwHighDateTime}};
  end.QuadPart += 1;
  for (;; at.QuadPart += 60ull * 10000000ull) {
    if (at.QuadPart > end.QuadPart) at = end;
    FILETIME ft{at.LowPart, at.HighPart};
    SYSTEMTIME st;
    FileTimeToSystemTime(&ft, &st);
    char time[64] = {}, date[64] = {};
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, time, sizeof time);
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date);
    texts.insert(std::string(time) + " - " + date);
    if (at.QuadPart == end.QuadPart) break;
  }
  return texts;
}

std::string Joined(const std::set<std::string>& texts) {
  std::string s;
  for (const auto& t : texts) s += "\"" + t + "\" ";
  return s;
}

std::string ImageOf(HANDLE process) {
  char path[MAX_PATH + 1] = {};
  DWORD n = MAX_PATH;
  return QueryFullProcessImageNameA(process, 0, path, &n) ? std::string(path, n) : "<unknown>";
}

int LineLength(HWND edit) {
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutA(edit, EM_LINELENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &n)) return -1;
  return static_cast<int>(n);
}

bool ProgramIsRunning(const std::string& exeName) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 e{};
  e.dwSize = sizeof e;
  bool found = false;
  for (BOOL more = Process32First(snap, &e); more && !found; more = Process32Next(snap, &e))
    found = LowerCase(ExtractFileName(e.szExeFile)) == exeName;
  CloseHandle(snap);
  return found;
}

struct TRoadCase {
  const char* name;
  int mode;            // 0 All Users, 1 per user
  const char* typed;   // the password of the entry the mode names
};
void PrintTo(const TRoadCase& c, std::ostream* os) { *os << c.name; }

// The passwords of the two entries differ, so only the entry the mode
// names opens the link.
constexpr const char* kCommonPassword = "Road common 1";
constexpr const char* kUserPassword = "road-Mine-2";
// Arguments with quotes and a ";": everything after the target's first ";"
// belongs to them.
constexpr const char* kArguments = "-x \"two words\" ;after;more";

class Road : public GateTest {
 protected:
  void SetUp() override {
    // The console's tests hold this mutex around each case: one lkmain.exe
    // (a single instance) and one user of the prefix's desktops at a time,
    // across test programs.
    lock_.emplace();
    ASSERT_TRUE(lock_->Held());
    GateTest::SetUp();
    if (HasFatalFailure()) return;
    // A case stopped at its time limit left its Windows version behind.
    lkfix::SetProgramVersion("lkmain.exe", version_);
    SetGateVersion(version_);
    SetHklmBool("doAuthenticate", false);
    SetHklmBool("doIconSelect", false);

    // A desktop of its own, under a name nobody else uses: a profile of the
    // NT line's list, or of the 9x line's.
    std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    name = name.substr(name.find_last_of('/') + 1);  // a mode case's own name
    profileName_ = "lkroad-" + name;
    if (NineX()) {
      lkfix::Add9xProfileList({profileName_});
      desktop_ = "C:\\WINDOWS\\Profiles\\" + profileName_ + "\\Desktop";
      lkfix::MakeFolders(desktop_);
    } else {
      profileKey_ = lkfix::AddUserProfile(profileName_);
      desktop_ = lkfix::UserDesktopOf(profileName_);
    }
    DeleteFileA((desktop_ + "\\Road App.lnk").c_str());

    workFolder_ = install_ + "Work Folder";
    CreateDirectoryA(workFolder_.c_str(), nullptr);
    TShellLink l;
    l.Target = target_;
    l.Arguments = kArguments;
    l.Description = "The road's program";
    l.WorkingFolder = workFolder_;
    l.ShowCommand = SW_SHOWMINNOACTIVE;
    l.HotKey = MAKEWORD('R', HOTKEYF_CONTROL | HOTKEYF_ALT);
    link_ = desktop_ + "\\Road App.lnk";
    ASSERT_EQ(WriteShellLink(l, link_), S_OK);
    ASSERT_EQ(ReadShellLink(link_, before_), S_OK);

    // The user data as the console's User Settings page stores it.
    WriteUserData({{commonEntry_, Record(kCommonPassword, "1")}, {CurrentUser(), Record(kUserPassword, "1")}});
  }

  void TearDown() override {
    console_.reset();
    if (!link_.empty()) DeleteFileA(link_.c_str());
    if (!profileKey_.empty()) {
      lkfix::RemoveUserProfile(profileKey_);
      RemoveDirectoryA(desktop_.c_str());
      RemoveDirectoryA(("C:\\users\\" + profileName_).c_str());
    }
    if (NineX()) {
      lkfix::Remove9xProfileList();
      lkfix::RemoveFolder("C:\\WINDOWS\\Profiles\\" + profileName_);
      RemoveDirectoryA("C:\\WINDOWS\\Profiles");  // when nothing else is in it
    }
    lkfix::SetProgramVersion("lkmain.exe", "");
    GateTest::TearDown();  // the gate's version too
    lock_.reset();
  }

  // The Windows version that lkmain.exe and passbox.exe are shown ("" Wine's own).
  bool NineX() const { return version_ == "win95" || version_ == "win98" || version_ == "winme"; }

  // The administrator's part: lkmain.exe, the scratch desktop, the row, the
  // popup's Protect in `mode`; the console is closed again at the end.
  void ProtectInConsole(int mode) {
    console_ = std::make_unique<TConsoleDriver>();
    TConsoleDriver& c = *console_;
    ASSERT_TRUE(c.Start(WinPath(LK_BINARY_DIR "/console/lkmain.exe")));
    std::string why;
    ASSERT_TRUE(c.WaitReady(kLong, why)) << why;

    const std::vector<std::string> names = c.DesktopNames();
    ASSERT_NE(std::find(names.begin(), names.end(), profileName_), names.end())
        << "the scratch desktop is listed: " << testing::PrintToString(names);
    ASSERT_TRUE(c.PickDesktop(profileName_, kLong)) << "the chooser moves to " << profileName_;
    int row = -1;
    ASSERT_TRUE(c.WaitFor(kLong, [&] { return (row = c.FindRow("Road App")) >= 0; })) << "the link is listed";
    EXPECT_EQ(c.RowCount(), 1) << "the scratch desktop holds the one link";
    EXPECT_EQ(c.RowText(row, 1), "The road's program");
    EXPECT_EQ(c.RowText(row, 2), "None");

    c.ClickRow(row);
    ASSERT_TRUE(c.WaitFor(kLong, [&] { return c.RowSelected(row); })) << "a click selects the row";
    ASSERT_TRUE(c.ProtectThroughPopup(row, mode, kLong, why)) << why;
    EXPECT_TRUE(c.WaitFor(kLong, [&] { return c.StatusText() == " Protection implemented."; }))
        << "status: \"" << c.StatusText() << "\"";
    // The folder monitor shows the change without a refresh by hand.
    EXPECT_TRUE(c.WaitFor(kLong, [&] {
      const int r = c.FindRow("Road App");
      return r >= 0 && c.RowText(r, 2) == "Protected";
    })) << "the row turns \"Protected\"";

    DWORD code = 99;
    EXPECT_TRUE(c.Close(kLong, code)) << "the console closes";
    EXPECT_EQ(code, 0u);
  }

  // The link as the console left it: the gate with the Gate argument of the
  // original target and arguments in `mode`; the rest of the link kept.
  void ExpectProtectedLink(int mode) {
    TShellLink p;
    ASSERT_EQ(ReadShellLink(link_, p), S_OK);
    EXPECT_TRUE(SameText(p.Target, gatePath_)) << p.Target << " is not the gate " << gatePath_;
    std::string token = p.Arguments;
    int readMode = -1;
    char last = 0;
    UnwrapToken(token, readMode, last);
    EXPECT_EQ(readMode, mode);
    EXPECT_EQ(last, '1');
    std::string target, arguments;
    SplitGateText(UnscrambleText(token), target, arguments);
    EXPECT_TRUE(SameText(LongPath(target), target_)) << target;
    EXPECT_EQ(arguments, kArguments);
    // A program keeps its own icon.
    EXPECT_TRUE(SameText(LongPath(p.IconFile), target_)) << p.IconFile;
    EXPECT_EQ(p.IconIndex, 0);
    EXPECT_EQ(p.Description, before_.Description);
    EXPECT_EQ(p.WorkingFolder, before_.WorkingFolder);
    EXPECT_EQ(p.ShowCommand, before_.ShowCommand);
    EXPECT_EQ(p.HotKey, before_.HotKey);
  }

  std::optional<lkfix::TPrefixLock> lock_;
  std::unique_ptr<TConsoleDriver> console_;
  std::string version_;
  std::string profileName_, profileKey_, desktop_, workFolder_, link_;
  TShellLink before_;
};

class RoadMode : public Road, public testing::WithParamInterface<TRoadCase> {};

TEST_P(RoadMode, ProtectInConsoleThenOpenWithThePasswordOfTheEntry) {
  const TRoadCase& c = GetParam();
  ProtectInConsole(c.mode);
  if (HasFatalFailure()) return;
  ExpectProtectedLink(c.mode);
  if (HasFatalFailure()) return;

  SYSTEMTIME opened, started, ending, ended;
  GetLocalTime(&opened);
  OpenThroughShell(link_);
  HWND gate = WaitGateWindow(kLong);
  ASSERT_NE(gate, nullptr) << "the gate's window";
  HANDLE gateProcess = gates_.back();
  EXPECT_TRUE(SameText(ImageOf(gateProcess), gatePath_)) << "the gate that runs: " << ImageOf(gateProcess);
  Type(gate, c.typed);
  PressKey(gate, VK_RETURN);

  const auto run = WaitTargetRun(1, kLong);
  ASSERT_TRUE(run) << "the target starts";
  GetLocalTime(&started);
  const std::string& cmd = run->CommandLine;
  const std::string tail = std::string(" ") + kArguments;
  EXPECT_TRUE(cmd.size() > tail.size() && cmd.compare(cmd.size() - tail.size(), tail.size(), tail) == 0)
      << "its own arguments: " << cmd;
  EXPECT_TRUE(SameText(run->WorkingFolder, workFolder_)) << "the link's working folder: " << run->WorkingFolder;
  EXPECT_FALSE(IsWindowVisible(gate)) << "the gate hides once the password matched";
  EXPECT_FALSE(Ended(gateProcess, 2500)) << "the gate waits while the target runs";
  EXPECT_TRUE(ReadLog().empty()) << "the record is written when the run ends";

  GetLocalTime(&ending);
  EndTarget(run->Pid);
  ASSERT_TRUE(Ended(gateProcess, kLong)) << "the gate ends after the target";
  GetLocalTime(&ended);
  EXPECT_EQ(TargetRuns().size(), 1u);

  const auto log = ReadLog();
  ASSERT_EQ(log.size(), 1u);
  ASSERT_TRUE(log.count("1"));
  const TLogRecord& r = log.at("1");
  EXPECT_EQ(r.UserName, CurrentUser());
  EXPECT_EQ(r.TargetPath, target_) << "the long path of the target";
  const auto starts = LocaleTimesBetween(opened, started);
  EXPECT_TRUE(starts.count(r.StartTime)) << r.StartTime << " not among " << Joined(starts);
  ASSERT_TRUE(r.EndTime) << "a watched run has its end time";
  const auto ends = LocaleTimesBetween(ending, ended);
  EXPECT_TRUE(ends.count(*r.EndTime)) << *r.EndTime << " not among " << Joined(ends);
  EXPECT_FALSE(r.Action);
}

INSTANTIATE_TEST_SUITE_P(Modes, RoadMode,
                         testing::Values(TRoadCase{"AllUsers", 0, kCommonPassword},
                                         TRoadCase{"PerUser", 1, kUserPassword}),
                         [](const auto& info) { return std::string(info.param.name); });

// The password of the other entry is a wrong one: nothing starts, nothing is
// logged, the typed text stays; Esc ends the gate.
TEST_F(Road, WrongPasswordStartsNothingAndLogsNothing) {
  ProtectInConsole(1);
  if (HasFatalFailure()) return;
  ExpectProtectedLink(1);
  if (HasFatalFailure()) return;

  OpenThroughShell(link_);
  HWND gate = WaitGateWindow(kLong);
  ASSERT_NE(gate, nullptr) << "the gate's window";
  HANDLE gateProcess = gates_.back();
  Type(gate, kCommonPassword);
  PressKey(gate, VK_RETURN);
  // A character typed after Enter arrives behind it: once it is in the box,
  // Enter has been handled. The box's text cannot be read from outside (a
  // password box answers no WM_GETTEXT from another process), its length can.
  Type(gate, "Z");
  const int expected = static_cast<int>(std::string(kCommonPassword).size()) + 1;
  int length = -1;
  for (DWORD t = GetTickCount(); GetTickCount() - t < kLong && length != expected; Sleep(50))
    length = LineLength(PasswordBox(gate));
  EXPECT_EQ(length, expected) << "the typed text stays";
  EXPECT_TRUE(IsWindowVisible(gate)) << "the gate still asks";

  PressKey(gate, VK_ESCAPE);
  ASSERT_TRUE(Ended(gateProcess, kLong)) << "Esc ends the gate";
  EXPECT_FALSE(ProgramIsRunning("lktarget.exe")) << "the target was not started";
  EXPECT_TRUE(TargetRuns().empty());
  EXPECT_EQ(GetFileAttributesA((install_ + "lmlog.bin").c_str()), INVALID_FILE_ATTRIBUTES) << "no log written";
}

// The whole road for a real administrator: no data file yet, so the User
// Settings page gives the common entry its password and message; a
// protected link then opens with that password only.
class RoadUserSettings : public Road {
 protected:
  // The rows of the page, its editors, its tree; every action as a user
  // takes it.
  void EditRow(TConsoleDriver& c, const std::string& user, const std::string& password, const std::string& message,
               std::initializer_list<int> options) {
    HWND list = c.PageWindow("User Settings", "syslistview32");
    ASSERT_NE(list, nullptr);
    int row = -1;
    for (int i = 0; i < c.ListRowCount(list); ++i)
      if (c.ListText(list, i, 0) == user) row = i;
    ASSERT_GE(row, 0) << user << " has a row";
    c.ClickListRow(list, row);
    ASSERT_TRUE(c.WaitFor(kLong, [&] { return c.ListRowSelected(list, row); }));
    HWND edit = c.PageWindow("User Settings", "edit", 0);
    HWND memo = c.PageWindow("User Settings", "edit", 1);
    HWND tree = c.PageWindow("User Settings", "systreeview32");
    ASSERT_TRUE(edit && memo && tree);
    ASSERT_TRUE(GetWindowLongA(memo, GWL_STYLE) & ES_MULTILINE) << "the second edit is the message";
    c.TypeInto(edit, password);
    c.TypeInto(memo, message);
    for (int code : options) {
      ASSERT_TRUE(c.ToggleTreeNode(tree, code));
      ASSERT_TRUE(c.WaitFor(kLong, [&] { return c.TreeNodeState(tree, code) == 2; })) << "option " << code;
    }
    c.ClearStatus();
    ASSERT_TRUE(c.PressCtrlKey('S', kLong));
    EXPECT_TRUE(c.WaitFor(kLong, [&] { return c.StatusText() == " User settings saved."; }))
        << "status: \"" << c.StatusText() << "\"";
  }

  std::map<std::string, std::string> UserData() {
    std::map<std::string, std::string> streams;
    TLkStreams c(nullptr);
    c.SetKey(kDataFileKey);
    c.LoadFromFile(install_ + "lmdata.bin");
    for (int i = 0; i < c.Count(); ++i)
      streams[c.StreamList()[i]] = static_cast<const TMemoryStream*>(c.StreamList().Objects(i))->AsString();
    return streams;
  }
};

TEST_F(RoadUserSettings, PasswordSetOnTheUserSettingsPageOpensTheLink) {
  InstallGate(true);  // it records the message it shows
  DeleteFileA((install_ + "lmdata.bin").c_str());
  {
    TConsoleDriver c;
    ASSERT_TRUE(c.Start(WinPath(LK_BINARY_DIR "/console/lkmain.exe")));
    std::string why;
    ASSERT_TRUE(c.WaitReady(kLong, why)) << why;
    ASSERT_TRUE(c.ShowPage("User Settings", kLong)) << "the side bar shows the page";
    HWND list = c.PageWindow("User Settings", "syslistview32");
    const std::vector<std::string> users = c.DesktopNames();
    ASSERT_EQ(c.ListRowCount(list), static_cast<int>(users.size())) << "a row for every user entry";
    for (int i = 0; i < static_cast<int>(users.size()); ++i) EXPECT_EQ(c.ListText(list, i, 0), users[i]);
    EXPECT_EQ(users[0], commonEntry_);

    EditRow(c, commonEntry_, "Open sesame", "Welcome\r<uname>!", {1});
    if (HasFatalFailure()) return;
    EditRow(c, CurrentUser(), "mine", "Line one\rLine two", {1, 3, 8});
    if (HasFatalFailure()) return;
    DWORD code = 99;
    EXPECT_TRUE(c.Close(kLong, code));
  }
  const auto data = UserData();
  ASSERT_TRUE(data.count(commonEntry_));
  EXPECT_EQ(data.at(commonEntry_), "Open sesame\r\nWelcome\xFF<uname>!\r\n1\r\n");
  ASSERT_TRUE(data.count(CurrentUser()));
  EXPECT_EQ(data.at(CurrentUser()), "mine\r\nLine one\xFFLine two\r\n1,3,8\r\n");
  EXPECT_EQ(data.at(profileName_), "\r\n\r\n\r\n") << "a row nobody edited is saved empty";

  ProtectInConsole(0);
  if (HasFatalFailure()) return;
  OpenThroughShell(link_);
  HWND gate = WaitGateWindow(kLong);
  ASSERT_NE(gate, nullptr) << "the gate's window";
  HANDLE gateProcess = gates_.back();
  const std::vector<std::string> record = TestRecord();
  EXPECT_NE(std::find(record.begin(), record.end(), "Message Welcome|~" + CurrentUser() + "!"), record.end())
      << "the gate shows the message with the user's name: " << testing::PrintToString(record);
  Type(gate, "Open sesame");
  PressKey(gate, VK_RETURN);
  const auto run = WaitTargetRun(1, kLong);
  ASSERT_TRUE(run) << "the password starts the target";
  EndTarget(run->Pid);
  ASSERT_TRUE(Ended(gateProcess, kLong));
  const auto log = ReadLog();
  ASSERT_EQ(log.size(), 1u) << "the run is logged";
  EXPECT_EQ(log.begin()->second.UserName, CurrentUser());
}

// The whole road under the Windows versions the prefix shows lkmain.exe and
// passbox.exe, in one console session as the administrator works: User
// Settings gives the common entry its password and "Use log", the shortcut
// is protected for all users, opened from the list, the gate asks, and
// after the run the Log View shows it. On the 9x line the common entry is
// "Default", the users are those of its profile list (the console starts
// on "Default"), and the flags tree has no "Lock Workstation"; NT 4.0 takes
// the NT paths.
struct TVersionCase {
  const char* name;
  const char* version;      // AppDefaults "Version"; "" Wine's own (6.1)
  const char* commonEntry;  // the entry "All Users (default) Settings" names
  int flagNodes;            // nodes of the User Settings flags tree
};
void PrintTo(const TVersionCase& c, std::ostream* os) { *os << c.name; }

constexpr const char* kRoadMessage = "On the road, <uname>.";

class RoadOnVersion : public RoadUserSettings, public testing::WithParamInterface<TVersionCase> {
 protected:
  RoadOnVersion() { version_ = GetParam().version; }
  void SetUp() override {
    RoadUserSettings::SetUp();
    iconView_ = HklmDword(LKData::IconView.Name);
  }
  // The console keeps its view at its close: the prefix's next console
  // starts as it did before this case.
  void TearDown() override {
    RoadUserSettings::TearDown();
    if (iconView_)
      WriteSetting(LKData::IconView, static_cast<int32_t>(*iconView_));
    else
      RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSettingsKey, LKData::IconView.Name);
  }

  // With LK_ROAD_SHOTS naming a folder (tests/road/road_screenshot.sh), the
  // screen at this step, as <case>-<step>.bmp there.
  void Shot(const char* step) {
    char folder[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA("LK_ROAD_SHOTS", folder, sizeof folder);
    if (n == 0 || n >= sizeof folder) return;
    Sleep(800);  // the last repaints
    const std::string path = std::string(folder) + "\\" + GetParam().name + "-" + step + ".bmp";
    EXPECT_TRUE(lkfix::SaveScreenBmp(path)) << path;
  }

  std::optional<DWORD> iconView_;
};

TEST_P(RoadOnVersion, SetThePasswordProtectOpenAndFindTheRunInTheLog) {
  const TVersionCase& v = GetParam();
  DeleteFileA((install_ + "lmdata.bin").c_str());  // the administrator gives it below
  TConsoleDriver c;
  ASSERT_TRUE(c.Start(WinPath(LK_BINARY_DIR "/console/lkmain.exe")));
  std::string why;
  ASSERT_TRUE(c.WaitReady(kLong, why)) << why;

  const std::vector<std::string> users = c.DesktopNames();
  ASSERT_FALSE(users.empty());
  EXPECT_EQ(users[0], v.commonEntry);
  if (NineX()) {
    EXPECT_EQ(users, (std::vector<std::string>{"Default", profileName_})) << "the 9x profile list";
    EXPECT_EQ(c.SelectedDesktop(), 0) << "the 9x line starts on \"Default\"";
  } else {
    EXPECT_NE(std::find(users.begin(), users.end(), profileName_), users.end()) << testing::PrintToString(users);
    const int at = c.SelectedDesktop();
    ASSERT_GE(at, 0);
    EXPECT_EQ(users[at], CurrentUser()) << "the NT line starts on the user's own desktop";
  }

  // User Settings: a row for every user entry, the flags of this system.
  ASSERT_TRUE(c.ShowPage("User Settings", kLong)) << "the side bar shows the page";
  HWND userRows = c.PageWindow("User Settings", "syslistview32");
  ASSERT_EQ(c.ListRowCount(userRows), static_cast<int>(users.size()));
  for (int i = 0; i < static_cast<int>(users.size()); ++i) EXPECT_EQ(c.ListText(userRows, i, 0), users[i]);
  HWND tree = c.PageWindow("User Settings", "systreeview32");
  ASSERT_NE(tree, nullptr);
  EXPECT_EQ(c.TreeNodeCount(tree), v.flagNodes);
  EXPECT_EQ(c.TreeNodeText(tree, 1), "Use log");
  EXPECT_EQ(c.TreeNodeText(tree, 9), "ScreenSaver");
  EXPECT_EQ(c.TreeNodeText(tree, 10), v.flagNodes > 10 ? "Lock Workstation" : "<no node>");
  EditRow(c, commonEntry_, kCommonPassword, kRoadMessage, {1});
  if (HasFatalFailure()) return;
  const auto data = UserData();
  EXPECT_EQ(data.size(), users.size()) << "every row is saved";
  ASSERT_TRUE(data.count(commonEntry_));
  EXPECT_EQ(data.at(commonEntry_), std::string(kCommonPassword) + "\r\n" + kRoadMessage + "\r\n1\r\n");
  Shot("1-usersettings");

  // Desktop Shortcuts: the scratch desktop's link, protected for all users,
  // in the "List" view that shows the "Protection" column.
  ASSERT_TRUE(c.ShowPage("Desktop Shortcuts", kLong));
  ASSERT_TRUE(c.PickDesktop(profileName_, kLong)) << "the chooser moves to " << profileName_;
  HWND desktopList = c.LinkList();
  ASSERT_TRUE(c.ClickToolButton(2));
  EXPECT_TRUE(c.WaitFor(kLong, [&] { return (GetWindowLongA(desktopList, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT; }))
      << "\"List\" shows the columns";
  int row = -1;
  ASSERT_TRUE(c.WaitFor(kLong, [&] { return (row = c.FindRow("Road App")) >= 0; })) << "the link is listed";
  EXPECT_EQ(c.RowCount(), 1);
  EXPECT_EQ(c.RowText(row, 2), "None");
  c.ClickRow(row);
  ASSERT_TRUE(c.WaitFor(kLong, [&] { return c.RowSelected(row); })) << "a click selects the row";
  ASSERT_TRUE(c.ProtectThroughPopup(row, 0, kLong, why)) << why;
  EXPECT_TRUE(c.WaitFor(kLong, [&] { return c.StatusText() == " Protection implemented."; }))
      << "status: \"" << c.StatusText() << "\"";
  EXPECT_TRUE(c.WaitFor(kLong, [&] {
    row = c.FindRow("Road App");
    return row >= 0 && c.RowText(row, 2) == "Protected";
  })) << "the row turns \"Protected\"";
  ExpectProtectedLink(0);
  if (HasFatalFailure()) return;
  Shot("2-protected");

  // Opened from the list, as the shell opens it: the gate asks.
  SYSTEMTIME opened, started, ending, ended;
  GetLocalTime(&opened);
  c.DoubleClickRow(row);
  HWND gate = WaitGateWindow(kLong);
  ASSERT_NE(gate, nullptr) << "the gate's window";
  HANDLE gateProcess = gates_.back();
  EXPECT_TRUE(SameText(ImageOf(gateProcess), gatePath_)) << "the gate that runs: " << ImageOf(gateProcess);
  Type(gate, kCommonPassword);
  EXPECT_EQ(LineLength(PasswordBox(gate)), static_cast<int>(std::string(kCommonPassword).size()));
  Shot("3-gate");
  PressKey(gate, VK_RETURN);

  const auto run = WaitTargetRun(1, kLong);
  ASSERT_TRUE(run) << "the password starts the target";
  GetLocalTime(&started);
  const std::string tail = std::string(" ") + kArguments;
  EXPECT_TRUE(run->CommandLine.size() > tail.size() &&
              run->CommandLine.compare(run->CommandLine.size() - tail.size(), tail.size(), tail) == 0)
      << "its own arguments: " << run->CommandLine;
  EXPECT_TRUE(SameText(run->WorkingFolder, workFolder_)) << run->WorkingFolder;
  EXPECT_FALSE(IsWindowVisible(gate)) << "the gate hides once the password matched";
  EXPECT_FALSE(Ended(gateProcess, 1500)) << "the gate watches the run it logs";
  GetLocalTime(&ending);
  EndTarget(run->Pid);
  ASSERT_TRUE(Ended(gateProcess, kLong)) << "the gate ends after the target";
  GetLocalTime(&ended);

  const auto log = ReadLog();
  ASSERT_EQ(log.size(), 1u) << "the run is logged";
  const TLogRecord& r = log.begin()->second;
  EXPECT_EQ(r.UserName, CurrentUser());
  EXPECT_EQ(r.TargetPath, target_);
  const auto starts = LocaleTimesBetween(opened, started);
  EXPECT_TRUE(starts.count(r.StartTime)) << r.StartTime << " not among " << Joined(starts);
  ASSERT_TRUE(r.EndTime);
  const auto ends = LocaleTimesBetween(ending, ended);
  EXPECT_TRUE(ends.count(*r.EndTime)) << *r.EndTime << " not among " << Joined(ends);

  // Log View: read at start-up, before the run; F5 reads the run.
  ASSERT_TRUE(c.ShowPage("Log View", kLong));
  HWND logList = c.PageWindow("Log View", "syslistview32");
  ASSERT_NE(logList, nullptr);
  EXPECT_EQ(c.ListRowCount(logList), 0);
  c.ClearStatus();
  c.PressKeyIn(logList, VK_F5);
  EXPECT_TRUE(c.WaitFor(kLong, [&] { return c.StatusText() == " Log data refreshed."; }))
      << "status: \"" << c.StatusText() << "\"";
  ASSERT_EQ(c.ListRowCount(logList), 1);
  EXPECT_EQ(c.ListText(logList, 0, 0), CurrentUser());
  EXPECT_EQ(c.ListText(logList, 0, 1), "lktarget.exe");
  EXPECT_EQ(c.ListText(logList, 0, 2), r.StartTime);
  EXPECT_EQ(c.ListText(logList, 0, 3), ElapsedTimeText(r.StartTime, *r.EndTime));
  EXPECT_EQ(c.ListText(logList, 0, 4), "-");
  Shot("4-logview");

  DWORD code = 99;
  EXPECT_TRUE(c.Close(kLong, code)) << "the console closes";
  EXPECT_EQ(code, 0u);
}

INSTANTIATE_TEST_SUITE_P(Versions, RoadOnVersion,
                         testing::Values(TVersionCase{"WineDefault", "", "All Users", 11},
                                         TVersionCase{"Win98", "win98", "Default", 10},
                                         TVersionCase{"NT40", "nt40", "All Users", 11}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
