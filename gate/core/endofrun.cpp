#include "gate/core/endofrun.h"

uint32_t ExitWindowsFlags(TRebootOperation operation, bool powerOff, bool force) {
  uint32_t flags = 0;
  switch (operation) {
    case TRebootOperation::roLogOff: flags = EWX_LOGOFF_FLAG; break;
    case TRebootOperation::roReboot: flags = EWX_REBOOT_FLAG; break;
    case TRebootOperation::roShutDown: flags = EWX_SHUTDOWN_FLAG; break;
    default: return 0;
  }
  if (powerOff) flags |= EWX_POWEROFF_FLAG;
  if (force) flags |= EWX_FORCE_FLAG;
  return flags;
}

TEndOfRunPlan PlanEndOfRun(uint8_t exitAction, bool runningOnNT) {
  TEndOfRunPlan p;
  switch (exitAction) {
    case 6: p = {TEndOfRunCall::ExitWindows, TRebootOperation::roLogOff, false}; break;
    case 7: p = {TEndOfRunCall::ExitWindows, TRebootOperation::roReboot, false}; break;
    case 8: p = {TEndOfRunCall::ExitWindows, TRebootOperation::roShutDown, true}; break;
    case 9: p.Call = TEndOfRunCall::ScreenSaver; break;
    case 10:
      if (runningOnNT) p.Call = TEndOfRunCall::LockWorkstation;
      break;
    default: break;
  }
  return p;
}
