// The programs running now, each as the path of its main module: what the
// watch compares the started program with once a second.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "gate/core/watchrule.h"

class TStringList;

// Fills `list` (not cleared first) with one line per process, the process
// id as the line's object. NT 3 and NT 4 use the process-status library,
// every other system the tool-help snapshot; on systems whose snapshot gives
// bare file names the full image path is asked of the process itself.
// False when the enumeration could not start.
bool ListRunningProcesses(TStringList& list, bool fullPath);

// The module path (or base name) of a process; empty when it cannot be
// opened or queried. Uses the process-status library.
std::string ProcessImageName(DWORD processId, bool fullPath);

// The full image path through QueryFullProcessImageNameA where the system
// has it, else GetModuleFileNameExA; empty when neither answers.
std::string FullProcessImagePath(DWORD processId);

// Whether the library and its entries could be bound (once per process).
bool LoadPsapi();
bool LoadToolHelp();

// The id stored as a line's object.
DWORD ProcessIdOf(const TStringList& list, int index);

// True when one of the three names (empty ones skipped) is in the list,
// compared without regard to case.
bool ProgramListed(const TStringList& list, const std::string& name1, const std::string& name2,
                   const std::string& name3);

// The state of a started process as its handle shows it; Unknown without a
// handle or when it cannot be waited on.
TStartedProcess StartedProcessState(HANDLE process);
