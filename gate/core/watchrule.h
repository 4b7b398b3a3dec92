// When a watched run counts as ended. The end writes the end time and runs
// the end-of-run action (log off, restart, shut down...): a guess would end
// the user's session while the program still runs, so a run ends only on
// what was seen. Looked at once a second; a tick that knows nothing waits
// for the next.
#pragma once

// The started process as its handle shows it.
enum class TStartedProcess {
  Unknown,  // the shell handed back no handle (a link, a DDE start), or it cannot be waited on
  Running,
  Ended,
};

// What one tick of the watch saw.
struct TWatchSight {
  bool ListRead = false;       // the running programs could be listed
  bool ProgramListed = false;  // one of the program's names is among them
  TStartedProcess Started = TStartedProcess::Unknown;
};

// Where the list was read, it decides alone: ended when none of the names is
// in it. Where it was not, the started process's handle decides (ended once
// signalled); without either the run is not known to have ended.
bool WatchedRunHasEnded(const TWatchSight& sight);
