#include "gate/win/reboot.h"

#include <windows.h>

#include "gate/win/systemcalls.h"
#include "shared/win/installpaths.h"

bool TLkWinReboot::EnableShutdownPrivilege(bool enable) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
  bool ok = false;
  TOKEN_PRIVILEGES privileges{};
  if (LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
    ok = AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) != FALSE;
  }
  CloseHandle(token);
  return ok;
}

bool TLkWinReboot::Execute() {
  // Only the NT line has privileges; the 9x line needs none to end a
  // session and exports the token calls as stubs.
  const bool nt = RunningOnNT();
  if (nt) EnableShutdownPrivilege(true);
  BOOL ok = FALSE;
  switch (operation_) {
    case TRebootOperation::roLogOff:
    case TRebootOperation::roReboot:
    case TRebootOperation::roShutDown:
      ok = SystemExitWindows(ExitWindowsFlags(operation_, power_off_, force_));
      break;
    case TRebootOperation::roSuspend:
    case TRebootOperation::roHibernate:
      ok = SystemSetPowerState(operation_ == TRebootOperation::roSuspend, force_);
      break;
  }
  if (nt) EnableShutdownPrivilege(false);
  return ok != FALSE;
}

void StartScreenSaver() { SystemStartScreenSaver(); }
void LockWorkstationNow() { SystemLockWorkstation(); }
