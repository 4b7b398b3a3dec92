// The log of watched runs and the end-of-run actions (the test build records
// the system calls instead of making them).
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "base/locale.h"
#include "base/sysutils.h"
#include "gate_fixture.h"
#include "shared/core/streamcol.h"

namespace {

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

class GateLogTest : public GateTest {
 protected:
  // One watched run: open, password, target, end target, gate ends.
  void WatchedRun(const std::string& link, size_t runNumber) {
    OpenThroughShell(link);
    const auto run = PassGate("pw", runNumber);
    ASSERT_TRUE(run);
    Pause(1200);  // at least one tick sees it running
    EndTarget(run->Pid);
    ASSERT_TRUE(Ended(gates_.back(), 3000));
  }
};

TEST_F(GateLogTest, RunsAreNumberedOnAndSurviveADeletion) {
  WriteUserData({{commonEntry_, Record("pw", "1")}});
  // The link holds the short form: the log shows the long one, and the watch
  // still finds the program by it.
  char shortForm[MAX_PATH + 1] = {};
  ASSERT_GT(GetShortPathNameA(target_.c_str(), shortForm, MAX_PATH), 0u);
  ASSERT_NE(std::string(shortForm), target_);
  const std::string link = ProtectLink("Logged", shortForm, "", 0);
  for (size_t i = 1; i <= 3; ++i) WatchedRun(link, i);
  auto log = ReadLog();
  ASSERT_EQ(log.size(), 3u);
  for (const char* n : {"1", "2", "3"}) {
    ASSERT_TRUE(log.count(n)) << n;
    EXPECT_EQ(log.at(n).TargetPath, target_);
    EXPECT_TRUE(log.at(n).EndTime);
    EXPECT_FALSE(log.at(n).Action);
  }

  {  // The console deletes record "2".
    TLkStreams c(nullptr);
    c.SetKey("4617");
    c.LoadFromFile(install_ + "lmlog.bin");
    TLkStreams kept(nullptr);
    kept.SetEncrypted(true);
    kept.SetKey("4617");
    for (const char* n : {"1", "3"}) {
      TMemoryStream m;
      c.GetStream(n, m);
      kept.AddStream(n, m);
    }
    kept.SaveToFile(install_ + "lmlog.bin");
  }
  const std::string three = EncodeLogRecord(ReadLog().at("3"));
  WatchedRun(link, 4);
  log = ReadLog();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_TRUE(log.count("1") && log.count("3") && log.count("4"));
  EXPECT_EQ(EncodeLogRecord(log.at("3")), three) << "the older record keeps its run";
}

// Writers that overlap all the time: the mutex keeps every record.
TEST_F(GateLogTest, ConcurrentAppendsUnderTheMutexLoseNoRecord) {
  const std::string log = install_ + "lmlog.bin";
  const std::string exe = WinPath(LK_BINARY_DIR "/tests/gate_win/logappender.exe");
  std::vector<PROCESS_INFORMATION> writers;
  for (const char* who : {"a", "b", "c"}) {
    std::string cmd = "\"" + exe + "\" \"" + log + "\" 15 " + who;
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    writers.push_back(pi);
  }
  for (auto& pi : writers) {
    EXPECT_TRUE(Ended(pi.hProcess, 60000));
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
  const auto records = ReadLog();
  EXPECT_EQ(records.size(), 45u);
  for (int i = 1; i <= 45; ++i) EXPECT_TRUE(records.count(std::to_string(i))) << i;
}

TEST_F(GateLogTest, TwoGatesEndingTogetherKeepBothRecords) {
  WriteUserData({{commonEntry_, Record("pw", "1")}});
  const std::string link = ProtectLink("Twin", target_, "", 0);
  std::vector<HANDLE> processes;
  for (size_t i = 1; i <= 2; ++i) {
    OpenThroughShell(link);
    HWND gate = WaitGateWindow();
    ASSERT_NE(gate, nullptr);
    Type(gate, "pw");
    PressKey(gate, VK_RETURN);
    ASSERT_TRUE(WaitTargetRun(i));
    processes.push_back(gates_.back());
    // The next window search must not find this one again.
    for (int w = 0; w < 40 && IsWindowVisible(gate); ++w) Pause(50);
  }
  Pause(1200);
  const auto runs = TargetRuns();
  for (const auto& r : runs) {
    const std::string title = "lktarget " + std::to_string(r.Pid);
    PostMessageA(FindWindowA("LkTestTarget", title.c_str()), WM_CLOSE, 0, 0);
  }
  for (HANDLE p : processes) EXPECT_TRUE(Ended(p, 4000));
  const auto log = ReadLog();
  EXPECT_EQ(log.size(), 2u);
  EXPECT_TRUE(log.count("1") && log.count("2"));
}

struct ActionCase {
  const char* version;  // "" for the NT line as Wine reports it
  int code;
  const char* call;     // the recorded line, "" for none
};

void PrintTo(const ActionCase& c, std::ostream* os) { *os << (*c.version ? c.version : "nt") << "_" << c.code; }

class EndOfRunAction : public GateLogTest, public testing::WithParamInterface<ActionCase> {};

TEST_P(EndOfRunAction, IsLoggedAndCalledWithItsFlags) {
  const ActionCase& c = GetParam();
  InstallGate(true);
  SetGateVersion(c.version);
  WriteUserData({{commonEntry_, Record("pw", "1," + std::to_string(c.code))}});
  WatchedRun(ProtectLink("Action", target_, "", 0), 1);

  std::vector<std::string> calls;
  for (const auto& line : TestRecord())
    if (line.rfind("Message ", 0) != 0) calls.push_back(line);
  const auto log = ReadLog();
  if (*c.call) {
    ASSERT_EQ(calls.size(), 1u);
    const auto tab = calls[0].find('\t');
    EXPECT_EQ(calls[0].substr(0, tab), c.call);
    // The record was on disk when the session would have ended.
    EXPECT_EQ(calls[0].substr(tab + 1), "log " + std::to_string(FileBytes(install_ + "lmlog.bin").size()));
  } else {
    EXPECT_TRUE(calls.empty());
  }
  ASSERT_EQ(log.size(), 1u);
  ASSERT_TRUE(log.at("1").Action);
  EXPECT_EQ(*log.at("1").Action, std::to_string(c.code));
}

INSTANTIATE_TEST_SUITE_P(Actions, EndOfRunAction, testing::Values(
    ActionCase{"", 6, "ExitWindowsEx 0"}, ActionCase{"", 7, "ExitWindowsEx 2"}, ActionCase{"", 8, "ExitWindowsEx 9"},
    ActionCase{"", 9, "ScreenSaver"}, ActionCase{"", 10, "LockWorkStation"},
    ActionCase{"win98", 6, "ExitWindowsEx 0"}, ActionCase{"win98", 7, "ExitWindowsEx 2"},
    ActionCase{"win98", 8, "ExitWindowsEx 9"}, ActionCase{"win98", 9, "ScreenSaver"}, ActionCase{"win98", 10, ""}),
    [](const auto& info) {
      return std::string(*info.param.version ? info.param.version : "nt") + "_" + std::to_string(info.param.code);
    });

}  // namespace

namespace {

class WatchOnVersion : public GateLogTest, public testing::WithParamInterface<const char*> {};

// Each version takes its own branch of the process list: tool-help on the
// 9x line and on NT 6, the process-status library on NT 4, the process's
// own image name on major version 5.
TEST_P(WatchOnVersion, SeesTheTargetRunningUntilItEnds) {
  SetGateVersion(GetParam());
  WriteUserData({{commonEntry_, Record("pw", "1")}});
  OpenThroughShell(ProtectLink("Watch", target_, "", 0));
  const auto run = PassGate("pw");
  ASSERT_TRUE(run);
  HANDLE process = gates_.back();
  EXPECT_FALSE(Ended(process, 2500)) << "the watch must see the target";
  EndTarget(run->Pid);
  EXPECT_TRUE(Ended(process, 3000));
  const auto log = ReadLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_TRUE(log.at("1").EndTime);
}

INSTANTIATE_TEST_SUITE_P(Versions, WatchOnVersion, testing::Values("win98", "winme", "nt40", "win2k", "winxp"));

// A log-off run watched on NT 4.0, with a twin of the target (the same
// program, started apart from the gate) still running after the gate's own
// start has ended. With the process list read (Wine has the process-status
// library NT 4.0 lists through) the watch is as it always was: the list
// names the program while the twin runs. With the list withheld (NT 4.0
// without that library) the started process's handle decides. Either way
// nothing ends at the first ticks, and the end is logged and acted on.
struct WatchCase {
  const char* name;
  bool listWithheld;
};

void PrintTo(const WatchCase& c, std::ostream* os) { *os << c.name; }

class LogOffWatch : public GateLogTest, public testing::WithParamInterface<WatchCase> {};

TEST_P(LogOffWatch, ActsOnlyOnceTheWatchedProgramHasEnded) {
  const bool withheld = GetParam().listWithheld;
  InstallGate(true);
  SetGateVersion("nt40");
  // The test build reads no process list while this file is there.
  if (withheld) std::fclose(std::fopen((install_ + "gate-test-no-process-list").c_str(), "wb"));
  WriteUserData({{commonEntry_, Record("pw", "1,6")}});
  OpenThroughShell(ProtectLink("Watched", target_, "", 0));
  const auto run = PassGate("pw");
  ASSERT_TRUE(run);
  HANDLE gate = gates_.back();
  std::string line = "\"" + target_ + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION twin{};
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &twin));
  CloseHandle(twin.hThread);
  CloseHandle(twin.hProcess);
  ASSERT_TRUE(WaitTargetRun(2));

  EXPECT_FALSE(Ended(gate, 2000)) << "the first ticks must see the target running";
  EXPECT_TRUE(EndOfRunCalls().empty());
  EXPECT_TRUE(ReadLog().empty()) << "no record, so no end time, while the target runs";
  EndTarget(run->Pid);
  if (!withheld) {
    EXPECT_FALSE(Ended(gate, 2000)) << "the list still names the program";
    EXPECT_TRUE(EndOfRunCalls().empty());
    EndTarget(twin.dwProcessId);
  }
  ASSERT_TRUE(Ended(gate, 3000));
  EXPECT_EQ(EndOfRunCalls(), std::vector<std::string>{"ExitWindowsEx 0"});
  const auto log = ReadLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_TRUE(log.at("1").EndTime);
  EXPECT_EQ(log.at("1").Action.value_or(""), "6");
}

INSTANTIATE_TEST_SUITE_P(Nt40, LogOffWatch, testing::Values(WatchCase{"listRead", false}, WatchCase{"listWithheld", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// What the shell answers about the start is not looked at: a program it
// finds but cannot start is watched, found not running at the first tick,
// and the end time and the log-off follow about a second later.
TEST_F(GateLogTest, FailedStartOfAFoundProgramEndsTheRunWithItsAction) {
  InstallGate(true);
  WriteUserData({{commonEntry_, Record("pw", "1,6")}});
  const std::string broken = install_ + "Broken Program.exe";  // no program inside
  std::FILE* f = std::fopen(broken.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("not a program", f);
  std::fclose(f);
  OpenThroughShell(ProtectLink("Broken", broken, "", 0));
  HWND gate = WaitGateWindow();
  ASSERT_NE(gate, nullptr);
  Type(gate, "pw");
  const DWORD start = GetTickCount();
  PressKey(gate, VK_RETURN);
  ASSERT_TRUE(Ended(gates_.back(), 5000));
  const DWORD took = GetTickCount() - start;
  EXPECT_GE(took, 900u) << "the first tick, one delay after the start";
  EXPECT_LT(took, 4000u);
  EXPECT_EQ(EndOfRunCalls(), std::vector<std::string>{"ExitWindowsEx 0"});
  const auto log = ReadLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_TRUE(log.at("1").EndTime);
  EXPECT_EQ(log.at("1").Action.value_or(""), "6");
}

// A target that is not there has no program the shell could name: nothing
// is watched, no action runs, and the record has its three lines.
TEST_F(GateLogTest, MissingTargetHasNothingToWatchAndNoAction) {
  InstallGate(true);
  WriteUserData({{commonEntry_, Record("pw", "1,6")}});
  OpenThroughShell(ProtectLink("Gone", install_ + "no such program.exe", "", 0));
  HWND gate = WaitGateWindow();
  ASSERT_NE(gate, nullptr);
  Type(gate, "pw");
  PressKey(gate, VK_RETURN);
  EXPECT_TRUE(Ended(gates_.back(), 3000));
  for (const auto& line : TestRecord()) EXPECT_EQ(line.rfind("Message ", 0), 0u) << "no call: " << line;
  const auto log = ReadLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_FALSE(log.at("1").EndTime);
  EXPECT_FALSE(log.at("1").Action);
}

TEST_F(GateLogTest, BadOptionCodesAreSkippedAndTheRunGoesOn) {
  WriteUserData({{commonEntry_, Record("pw", "x,1,99999999999")}});
  WatchedRun(ProtectLink("Odd", target_, "", 0), 1);
  EXPECT_EQ(ReadLog().size(), 1u) << "option 1 after a bad code still logs";
}

// The end of a logged run with "Log Off", while another program holds the
// log open (without sharing) from `holdFrom` ms before the target ends for
// `holdMs` ms in all. Answers the gate's calls and how long it took to end.
struct HeldRun {
  std::vector<std::string> calls;
  DWORD endMs = 0;
};

class LogHeldOpen : public GateLogTest {
 protected:
  HeldRun Run(DWORD holdMs) {
    HeldRun result;
    InstallGate(true);
    WriteUserData({{commonEntry_, Record("pw", "1,6")}});
    OpenThroughShell(ProtectLink("Held", target_, "", 0));
    HWND gate = WaitGateWindow();
    if (!gate) return result;
    Type(gate, "pw");
    PressKey(gate, VK_RETURN);
    const auto run = WaitTargetRun(1);
    if (!run) return result;
    Pause(1200);
    HANDLE held = CreateFileA((install_ + "lmlog.bin").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(held, INVALID_HANDLE_VALUE);
    const DWORD start = GetTickCount();
    EndTarget(run->Pid);
    while (GetTickCount() - start < holdMs && !Ended(gates_.back(), 50)) {
    }
    CloseHandle(held);
    EXPECT_TRUE(Ended(gates_.back(), 10000));
    result.endMs = GetTickCount() - start;
    result.calls = EndOfRunCalls();
    return result;
  }
  std::vector<std::string> AsideFiles() {
    std::vector<std::string> files;
    WIN32_FIND_DATAA f;
    HANDLE h = FindFirstFileA((install_ + "lmlog.bin.*.rec").c_str(), &f);
    if (h == INVALID_HANDLE_VALUE) return files;
    do files.push_back(install_ + f.cFileName);
    while (FindNextFileA(h, &f));
    FindClose(h);
    return files;
  }
};

// Held for good: the action still runs within a few seconds, and the
// record is kept in a file of its own beside the log.
TEST_F(LogHeldOpen, TheActionRunsAndTheRecordIsKeptAside) {
  WriteLogWithOneRecord();
  const std::string before = FileBytes(install_ + "lmlog.bin");
  const HeldRun r = Run(20000);
  EXPECT_EQ(r.calls, std::vector<std::string>{"ExitWindowsEx 0"});
  EXPECT_LT(r.endMs, 7000u) << "the log holds the action up a few seconds at most";
  EXPECT_EQ(FileBytes(install_ + "lmlog.bin"), before);
  const auto aside = AsideFiles();
  ASSERT_EQ(aside.size(), 1u);
  TLkStreams c(nullptr);
  c.SetKey("4617");
  c.LoadFromFile(aside[0]);
  TMemoryStream m;
  c.GetStream("1", m);
  const TLogRecord kept = DecodeLogRecord(m.AsString());
  EXPECT_TRUE(SameText(kept.TargetPath, target_)) << kept.TargetPath;
  EXPECT_TRUE(kept.EndTime);
  EXPECT_EQ(kept.Action.value_or(""), "6");
}

// Held for a moment: the gate tries again and the record lands in the log.
TEST_F(LogHeldOpen, ForAMomentTheRecordReachesTheLogOnARetry) {
  WriteLogWithOneRecord();
  const HeldRun r = Run(2000);
  EXPECT_EQ(r.calls, std::vector<std::string>{"ExitWindowsEx 0"});
  const auto log = ReadLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log.at("2").Action.value_or(""), "6");
  EXPECT_TRUE(AsideFiles().empty());
}

// Users may write the log but make no file in the install folder: no
// temporary file can be made (a folder holds its name), so the gate writes
// the log in place.
TEST_F(GateLogTest, WithoutATemporaryFileTheLogIsWrittenInPlace) {
  CreateDirectoryA((install_ + "lmlog.bin.tmp~").c_str(), nullptr);
  std::fclose(std::fopen((install_ + "lmlog.bin").c_str(), "wb"));  // the administrator's empty log
  WriteUserData({{commonEntry_, Record("pw", "1")}});
  WatchedRun(ProtectLink("InPlace", target_, "", 0), 1);
  const auto log = ReadLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_TRUE(log.at("1").EndTime);
  EXPECT_EQ(GetFileAttributesA((install_ + "lmlog.bin.bad").c_str()), INVALID_FILE_ATTRIBUTES);
}

// Closed while its watch runs: the timer stops before the run state goes;
// the process ends cleanly and the record of the start is kept.
TEST_F(GateLogTest, ClosingTheGateWhileItWatchesEndsCleanly) {
  WriteUserData({{commonEntry_, Record("pw", "1")}});
  const std::string link = ProtectLink("Closed", target_, "", 0);
  for (int phase : {1100, 1600}) {
    OpenThroughShell(link);
    HWND gate = WaitGateWindow();
    ASSERT_NE(gate, nullptr);
    Type(gate, "pw");
    PressKey(gate, VK_RETURN);
    const auto run = WaitTargetRun(phase == 1100 ? 1 : 2);
    ASSERT_TRUE(run);
    Pause(phase);
    PostMessageA(gate, WM_CLOSE, 0, 0);
    HANDLE process = gates_.back();
    ASSERT_TRUE(Ended(process, 5000)) << phase;
    DWORD code = 99;
    GetExitCodeProcess(process, &code);
    EXPECT_EQ(code, 0u) << phase;
    EndTarget(run->Pid);
  }
  const auto log = ReadLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_FALSE(log.at("1").EndTime) << "closed before the target ended";
}

TEST_F(GateLogTest, UnreadableLogIsMovedAsideAndANewOneStarted) {
  const std::string junk = "&*not a log";
  std::FILE* f = std::fopen((install_ + "lmlog.bin").c_str(), "wb");
  std::fwrite(junk.data(), 1, junk.size(), f);
  std::fclose(f);
  WriteUserData({{commonEntry_, Record("pw", "1")}});
  WatchedRun(ProtectLink("Aside", target_, "", 0), 1);
  EXPECT_EQ(FileBytes(install_ + "lmlog.bin.bad"), junk);
  const auto log = ReadLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_TRUE(log.count("1"));
}

// The folder rights the installation recommends: users may write the log
// but make no file beside it (folders hold the names of the temporary file,
// of the moved-aside log and of the next copy's temporary file). A damaged
// log is then kept in the user's temporary folder and rewritten in place:
// this run and the next are in the log.
TEST_F(GateLogTest, DamagedLogInAFolderThatTakesNoNewFileIsRewrittenInPlace) {
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string kept = std::string(temp) + "lmlog.bin.bad";
  DeleteFileA(kept.c_str());
  const std::string junk = "&*a damaged log";
  std::FILE* f = std::fopen((install_ + "lmlog.bin").c_str(), "wb");
  std::fwrite(junk.data(), 1, junk.size(), f);
  std::fclose(f);
  for (const char* name : {"lmlog.bin.tmp~", "lmlog.bin.bad", "lmlog.bin.bad1.tmp~"})
    CreateDirectoryA((install_ + name).c_str(), nullptr);
  WriteUserData({{commonEntry_, Record("pw", "1")}});
  const std::string link = ProtectLink("Damaged", target_, "", 0);
  WatchedRun(link, 1);
  auto log = ReadLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_TRUE(log.at("1").EndTime);
  EXPECT_EQ(FileBytes(kept), junk) << "the damaged log's bytes, kept";
  WatchedRun(link, 2);
  log = ReadLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_TRUE(log.count("1") && log.count("2"));
  DeleteFileA(kept.c_str());
}

// A log a user has made 1.5 GB long is not read: it is moved aside, the
// record starts a new log, and the end of the run is not held up.
TEST_F(GateLogTest, OversizedLogDoesNotHoldTheRunUp) {
  InstallGate(true);
  const std::string path = install_ + "lmlog.bin";
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  LARGE_INTEGER size;
  size.QuadPart = 1536LL * 1024 * 1024;  // sparse: nothing is written
  ASSERT_TRUE(SetFilePointerEx(h, size, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(h));
  CloseHandle(h);
  WriteUserData({{commonEntry_, Record("pw", "1,6")}});
  OpenThroughShell(ProtectLink("Large", target_, "", 0));
  const auto run = PassGate("pw");
  ASSERT_TRUE(run);
  Pause(1200);
  const DWORD start = GetTickCount();
  EndTarget(run->Pid);
  ASSERT_TRUE(Ended(gates_.back(), 10000));
  EXPECT_LT(GetTickCount() - start, 4000u) << "the gate ends within 4 s of the target";
  EXPECT_EQ(EndOfRunCalls(), std::vector<std::string>{"ExitWindowsEx 0"});
  const auto log = ReadLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log.at("1").Action.value_or(""), "6");
  WIN32_FILE_ATTRIBUTE_DATA aside{};
  ASSERT_TRUE(GetFileAttributesExA((path + ".bad").c_str(), GetFileExInfoStandard, &aside));
  EXPECT_EQ(aside.nFileSizeHigh * 4294967296.0 + aside.nFileSizeLow, 1536.0 * 1024 * 1024) << "moved aside whole";
  DeleteFileA((path + ".bad").c_str());
}

}  // namespace
