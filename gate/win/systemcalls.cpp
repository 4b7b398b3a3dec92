#include "gate/win/systemcalls.h"

#include "base/win/lazy_dll.h"
#include "gate/win/processlist.h"
#include "shared/win/installpaths.h"

#ifdef LK_GATE_TEST_BUILD
#include <cstdio>

#include "base/sysutils.h"
#endif

std::string SystemCallRecordPath() { return InstallFolder() + "gate-test-record.txt"; }

#ifdef LK_GATE_TEST_BUILD

namespace {
BOOL Record(const std::string& line) {
  if (std::FILE* f = std::fopen(SystemCallRecordPath().c_str(), "ab")) {
    std::fputs((line + "\r\n").c_str(), f);
    std::fclose(f);
  }
  return TRUE;
}
}  // namespace

// Each call also notes the log's size at that moment: the run's record must
// be on disk before the session ends.
std::string LogSizeNote() {
  WIN32_FILE_ATTRIBUTE_DATA data;
  const bool present = GetFileAttributesExA(LogPath().c_str(), GetFileExInfoStandard, &data) != FALSE;
  return "\tlog " + IntToStr(present ? static_cast<int64_t>(data.nFileSizeLow) : -1);
}

BOOL SystemExitWindows(UINT flags) { return Record("ExitWindowsEx " + IntToStr(flags) + LogSizeNote()); }
BOOL SystemSetPowerState(BOOL suspend, BOOL force) {
  return Record("SetSystemPowerState " + IntToStr(suspend ? 1 : 0) + " " + IntToStr(force ? 1 : 0) + LogSizeNote());
}
void SystemStartScreenSaver() { Record("ScreenSaver" + LogSizeNote()); }
void SystemLockWorkstation() { Record("LockWorkStation" + LogSizeNote()); }
bool SystemListRunningProcesses(TStringList& list) {
  const std::string withheld = InstallFolder() + "gate-test-no-process-list";
  if (GetFileAttributesA(withheld.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
  return ListRunningProcesses(list, true);
}
void RecordShownMessage(const std::string& text) {
  std::string line;
  for (char c : text) line += (c == '\r') ? '|' : (c == '\n') ? '~' : c;
  Record("Message " + line);
}

#else

void RecordShownMessage(const std::string&) {}

bool SystemListRunningProcesses(TStringList& list) { return ListRunningProcesses(list, true); }

BOOL SystemExitWindows(UINT flags) { return ExitWindowsEx(flags, 0); }
// Looked up by name: NT 4.0 has no such entry (the call then fails).
BOOL SystemSetPowerState(BOOL suspend, BOOL force) { return kernel::SetSystemPowerState(suspend, force); }

void SystemStartScreenSaver() { PostMessageA(GetDesktopWindow(), WM_SYSCOMMAND, SC_SCREENSAVE, 0); }

void SystemLockWorkstation() {
  // Looked up by name: the 9x line has no such entry.
  HMODULE user32 = LoadLibraryA("USER32.DLL");
  if (!user32) return;
  using LockFn = BOOL(WINAPI*)();
  if (auto lock = reinterpret_cast<LockFn>(reinterpret_cast<void*>(GetProcAddress(user32, "LockWorkStation")))) lock();
  FreeLibrary(user32);
}

#endif
