// Appending the run's record to the log file and reading the user entry:
// the file halves of the gate's records, over the named-stream container.
#pragma once

#include <string>
#include <vector>

#include "shared/core/logrecord.h"
#include "shared/core/streamcol.h"
#include "shared/core/userrecord.h"

struct TLogAppendResult {
  std::string RecordName;  // the name the record was stored under
  std::string SetAside;    // where an unreadable log was moved; empty if none
};

// Loads the log (when it exists; an empty file is an empty log), adds
// `record` under the next free number and writes the whole container back:
// through a temporary file and a rename, or, when the folder lets no
// temporary file be made (users may write the log but not create or delete
// files beside "lmdata.bin"), over the log's own bytes, which are put back
// when that write fails. A log that is corrupt or ends inside a field is
// moved aside first and a new one started, so its records are kept for
// inspection and never overwritten. A log that cannot be opened at all
// raises (nothing is written). The caller holds the log mutex.
TLogAppendResult AppendLogRecord(TLkStreams& container, const std::string& logPath, const TLogRecord& record);

// When the log cannot take the record (held open by another program, or
// its mutex not had in time): `record` alone, as a log of its own (stream
// "1", the container's flags and key), in a new file "<log name>.<tag>.rec"
// in the first of `folders` that takes one. Answers its path; raises the
// last error when no folder takes it.
std::string KeepLogRecordAside(TLkStreams& container, const std::vector<std::string>& folders,
                               const std::string& logName, const std::string& tag, const TLogRecord& record);

enum class TUserDataStatus { Read, Missing, Unreadable };

// Loads the user-data file and takes the entry `entryName` (letter case
// ignored). A missing file or entry gives an empty record and Missing; a
// corrupt or unreadable file gives Unreadable.
TUserDataStatus ReadUserData(TLkStreams& container, const std::string& userDataPath, const std::string& entryName,
                             TUserRecord& record);
