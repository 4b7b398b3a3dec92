// The user's option codes as the gate applies them, and the password test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum TOptionCode : int32_t {
  ocUseLog = 1,
  ocMessageOnly = 3,
  ocStealth = 4,
  ocLogOff = 6,
  ocReboot = 7,
  ocShutdown = 8,
  ocScreenSaver = 9,
  ocLockWorkstation = 10,
};

struct TGateOptions {
  bool UseLog = false;       // 1: log the run (and watch it)
  bool MessageOnly = false;  // 3: no password box
  bool Stealth = false;      // 4: no window, launch at once
  bool WatchAfterLaunch = false;
  uint8_t ExitAction = 0;    // 6..10, the last one listed; 0 for none
  std::vector<std::string> Skipped;  // items that are no number
};

// Reads the comma text of option codes. Items that are not a number are
// skipped (and listed in Skipped); group heads and unknown numbers are
// ignored; of several end-of-run codes the last one wins.
TGateOptions ParseOptionCodes(const std::string& optionText);

// The typed text opens the target only when it equals the stored password
// byte for byte: letter case and blanks count.
inline bool PasswordAccepted(const std::string& typed, const std::string& stored) { return typed == stored; }
