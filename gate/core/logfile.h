// Appending the run's record to the log file and reading the user entry:
// the file halves of the gate's records, over the named-stream container.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/fileops.h"

#include "shared/core/logrecord.h"
#include "shared/core/streamcol.h"
#include "shared/core/userrecord.h"

// What a look-up of a data file decides: only "file not found" (2) and
// "path not found" (3) mean there is none; every other failure (access
// denied, a network path that does not answer, a name the system cannot
// look up) and a folder in its place make it unreadable: the gate then
// fails closed instead of taking it for missing.
enum class TDataFileLookup { Load, Missing, Unreadable };
TDataFileLookup DataFileLookup(const lk_fileops::TLookup& found);

struct TLogAppendResult {
  std::string RecordName;  // the name the record was stored under
  std::string SetAside;    // where an unreadable log was moved; empty if none
};

// Loads the log (when it exists; an empty file is an empty log; a log whose
// replace stopped between its renames is put back first), adds
// `record` under the next free number and writes the whole container back:
// through a temporary file and a rename, or, when the folder lets no
// temporary file be made (users may write the log but not create or delete
// files beside "lmdata.bin"), over the log's own bytes, which are put back
// when that write fails. A log that is corrupt, ends inside a field or is
// longer than kLogSizeLimit is moved aside first and a new one started, so
// its records are kept for inspection and never overwritten; where it
// cannot be moved, a damaged log's bytes are copied into a new file in the
// first of `keepFolders` that takes one and the log is then rewritten in
// place (an oversized one is not copied: that raises). A log that cannot
// be looked up or opened raises (nothing is written). The caller holds the
// log mutex.
TLogAppendResult AppendLogRecord(TLkStreams& container, const std::string& logPath, const TLogRecord& record,
                                 const std::vector<std::string>& keepFolders = {});

// When the log cannot take the record (held open by another program, or
// its mutex not had in time): `record` alone, as a log of its own (stream
// "1", the container's flags and key), in a new file "<log name>.<tag>.rec"
// in the first of `folders` that takes one. Answers its path; raises the
// last error when no folder takes it.
std::string KeepLogRecordAside(TLkStreams& container, const std::vector<std::string>& folders,
                               const std::string& logName, const std::string& tag, const TLogRecord& record);

enum class TUserDataStatus { Read, Missing, Unreadable };

// Loads the user-data file (its aside copy put back first where a save
// stopped between its renames) and takes the entry `entryName` (letter case
// ignored). A missing file or entry gives an empty record and Missing; a
// corrupt or unreadable file, or one that cannot be looked up, gives
// Unreadable.
TUserDataStatus ReadUserData(TLkStreams& container, const std::string& userDataPath, const std::string& entryName,
                             TUserRecord& record);
