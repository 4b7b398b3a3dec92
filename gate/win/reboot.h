// TLkWinReboot: log off, restart, shut down, suspend or hibernate, with the
// shutdown privilege enabled around the call.
#pragma once

#include "base/component.h"
#include "gate/core/endofrun.h"

class TLkWinReboot : public TComponent {
 public:
  explicit TLkWinReboot(TComponent* owner) : TComponent(owner) {}

  TRebootOperation Operation() const { return operation_; }
  void SetOperation(TRebootOperation op) { operation_ = op; }
  bool PowerOff() const { return power_off_; }
  void SetPowerOff(bool on) { power_off_ = on; }
  bool ForceTerminateProcesses() const { return force_; }
  void SetForceTerminateProcesses(bool on) { force_ = on; }

  // The system call's success.
  bool Execute();
  static bool EnableShutdownPrivilege(bool enable);

 private:
  TRebootOperation operation_ = TRebootOperation::roReboot;
  bool power_off_ = false;
  bool force_ = false;
};

// The gate's other two end-of-run actions.
void StartScreenSaver();
void LockWorkstationNow();
