// A Wine prefix set up as a guarded machine: the gate at its system path,
// an install folder named by "InstallPath", the user data written through
// the container, a stand-in target program, and protected links built with
// the Gate argument. Helpers then act as the user would.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "shared/core/logrecord.h"
#include "shared/core/userrecord.h"
#include "tests/shared_win/winfixture.h"

struct TTargetRun {
  DWORD Pid = 0;
  std::string CommandLine;
  std::string WorkingFolder;
};

class GateTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Which gate build sits at the gate's path: the shipped one, or the one
  // that records its end-of-run calls and its message.
  void InstallGate(bool testBuild);
  // Windows version the prefix reports to passbox.exe ("" for the default).
  void SetGateVersion(const std::string& version);

  void WriteUserData(const std::map<std::string, TUserRecord>& entries);
  static TUserRecord Record(const std::string& password, const std::string& options, const std::string& message = "");

  // A protected link in the install folder, working folder = `workFolder`.
  std::string ProtectLink(const std::string& name, const std::string& target, const std::string& arguments, int mode,
                          const std::string& workFolder = "");
  void OpenThroughShell(const std::string& path);

  // The gate's window once it is shown, or null after `ms`.
  HWND WaitGateWindow(DWORD ms = 10000);
  HANDLE GateProcessOf(HWND window);
  // A passbox process that is running now (for runs without a window).
  HANDLE FindGateProcess(DWORD ms);
  HWND PasswordBox(HWND gate);
  void Type(HWND gate, const std::string& text);
  void PressKey(HWND gate, WORD key);
  void ClickOk(HWND gate);

  std::vector<TTargetRun> TargetRuns();
  std::optional<TTargetRun> WaitTargetRun(size_t count, DWORD ms = 8000);
  void EndTarget(DWORD pid);
  // Types `password` into the gate's window and presses Enter: the
  // `runNumber`th start of the target, or none (a missing window fails).
  std::optional<TTargetRun> PassGate(const std::string& password, size_t runNumber = 1);
  // A gate that cannot read its user data: neither the empty password nor
  // another starts anything, the window stays, Escape ends the gate.
  void ExpectEveryPasswordRefused();
  static bool Ended(HANDLE process, DWORD ms);

  // Skins: a folder under the install folder's "skins\" (answered with a
  // trailing "\"), and the settings that choose one.
  std::string SkinFolder(const std::string& name);
  void SelectSkin(const std::string& name, bool random = false);
  // A log holding one record ("1": a start of C:\x.exe by "u").
  void WriteLogWithOneRecord();
  // The texts of the next message box (of any program) that shows within
  // `ms`, one per line; the box is then closed with OK. Empty when none shows.
  std::string TakeMessageBox(DWORD ms = 10000);
  // The gate's client size.
  static SIZE ClientSize(HWND gate);
  // The About box of the gate, through its popup menu: its texts.
  std::string AboutBoxText(HWND gate);

  std::map<std::string, TLogRecord> ReadLog();
  std::vector<std::string> TestRecord();  // lines of the test build's record
  // The end-of-run calls in that record, each as far as its first tab
  // ("ExitWindowsEx 0"); the message lines left out.
  std::vector<std::string> EndOfRunCalls();
  static std::string FileBytes(const std::string& path);

  std::string install_;     // with trailing "\"
  std::string target_;      // the stand-in program, under a long folder name
  std::string gatePath_;
  std::string commonEntry_ = "All Users";
  std::vector<HANDLE> gates_;
  std::vector<DWORD> processesAtStart_;
  std::optional<lkfix::TPrefixLock> prefixLock_;
};

std::string WinPath(const std::string& unixPath);
