// The status-bar texts of the Desktop Shortcuts page. Every console status
// text begins with a blank.
#pragma once

#include <string>

inline constexpr const char* kStatusRefreshed = " Viewing panel refreshed.";
inline constexpr const char* kStatusProtected = " Protection implemented.";
inline constexpr const char* kStatusReverted = " Protection removed.";
// "New..." where the system has no new-shortcut command to run (or it
// cannot be started).
inline constexpr const char* kStatusNoNewLinkCommand = " No new-shortcut command is available.";

// The outcome of a command over the selected links.
struct TBatchOutcome {
  int Done = 0;
  int Skipped = 0;
  int Failed = 0;
};

// The success text only when nothing failed; otherwise how many failed.
std::string ProtectStatusText(const TBatchOutcome& o);
std::string RevertStatusText(const TBatchOutcome& o);
