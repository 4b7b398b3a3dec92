// The calls that end the user's session or screen: the one seam between
// the gate and them. The shipped program makes the real calls; the test
// build (LK_GATE_TEST_BUILD, passbox_test.exe) writes one line per call to
// "gate-test-record.txt" in the install folder instead, so tests see what
// would have happened without ending the Wine session. The test build also
// notes there the message it shows, which a windowless label cannot tell.
// The watch's look at the running programs passes here too, so a test can
// give the gate a system whose process list cannot be read.
#pragma once

#include <windows.h>

#include <string>

class TStringList;

BOOL SystemExitWindows(UINT flags);
BOOL SystemSetPowerState(BOOL suspend, BOOL force);
void SystemStartScreenSaver();
void SystemLockWorkstation();

// The record file of the test build.
std::string SystemCallRecordPath();
// Test build: appends "Message <text>" (line breaks as "|"); shipped: nothing.
void RecordShownMessage(const std::string& text);

// The running programs for the watch, full paths (ListRunningProcesses);
// false when they cannot be listed. The test build lists nothing and answers
// false while "gate-test-no-process-list" is in the install folder, as on
// NT 4.0 without the process-status library.
bool SystemListRunningProcesses(TStringList& list);
