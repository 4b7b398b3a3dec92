// The end-of-run actions reduced to what the system is asked: the flags of
// TLkWinReboot and the call each option code makes.
#pragma once

#include <cstdint>

enum class TRebootOperation { roLogOff, roReboot, roShutDown, roSuspend, roHibernate };

enum : uint32_t {
  EWX_LOGOFF_FLAG = 0,
  EWX_SHUTDOWN_FLAG = 1,
  EWX_REBOOT_FLAG = 2,
  EWX_FORCE_FLAG = 4,
  EWX_POWEROFF_FLAG = 8,
};

// ExitWindowsEx flags for log off, reboot and shut down; power off and force
// add their bits. Suspend and hibernate do not use ExitWindowsEx (0).
uint32_t ExitWindowsFlags(TRebootOperation operation, bool powerOff, bool force);

enum class TEndOfRunCall { None, ExitWindows, ScreenSaver, LockWorkstation };

struct TEndOfRunPlan {
  TEndOfRunCall Call = TEndOfRunCall::None;
  TRebootOperation Operation = TRebootOperation::roLogOff;
  bool PowerOff = false;
};

// What option code 6..10 does once the watched program has ended. The lock
// exists only on the NT line; elsewhere (and for any other code) nothing.
TEndOfRunPlan PlanEndOfRun(uint8_t exitAction, bool runningOnNT);
