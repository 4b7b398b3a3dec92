// The log record: one stream of the log file per logged gate run, named by
// its sequence number, holding 3, 4 or 5 text lines ended by CR LF: user
// name, long target path, start time, then end time and action code when
// the run was watched. The gate writes it, the console's log view reads it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TLogRecord {
  std::string UserName;
  std::string TargetPath;
  std::string StartTime;
  std::optional<std::string> EndTime;  // a watched run that ended
  std::optional<std::string> Action;   // "6".."10", only with EndTime

  std::vector<std::string> Lines() const;
  bool operator==(const TLogRecord&) const = default;
};

std::string EncodeLogRecord(const TLogRecord& record);
// Missing lines stay empty (or absent for the optional ones); lines past the
// fifth are ignored.
TLogRecord DecodeLogRecord(std::string_view bytes);

// The name of the next record: one more than the largest decimal name held
// (names that are no positive number do not count), so a deleted record's
// number is never taken twice. "1" for an empty log.
std::string NextLogRecordName(const std::vector<std::string>& names);

// The named mutex held around every load-change-save of the log file, by
// the gate's append and the console's deletion alike.
inline constexpr const char* kLogMutexName = "LMereLogFile";

// A log longer than this is not read, by the gate nor by the console: a user
// may write the log and could make it too large to load, or to load within
// the seconds the end of a run may wait. It is treated as unreadable.
inline constexpr int64_t kLogSizeLimit = 16 * 1024 * 1024;

// Where an unreadable log is moved before a fresh one is started.
std::string SetAsideLogName(const std::string& logPath, int attempt);
