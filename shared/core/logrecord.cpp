#include "shared/core/logrecord.h"

#include <cstdint>

#include "base/stringlist.h"
#include "base/sysutils.h"

std::vector<std::string> TLogRecord::Lines() const {
  std::vector<std::string> lines{UserName, TargetPath, StartTime};
  if (EndTime) {
    lines.push_back(*EndTime);
    if (Action) lines.push_back(*Action);
  }
  return lines;
}

std::string EncodeLogRecord(const TLogRecord& record) {
  std::string out;
  for (const auto& line : record.Lines()) out += line + "\r\n";
  return out;
}

TLogRecord DecodeLogRecord(std::string_view bytes) {
  TStringList lines;
  lines.SetText(std::string(bytes));
  TLogRecord r;
  const int n = lines.Count();
  if (n > 0) r.UserName = lines[0];
  if (n > 1) r.TargetPath = lines[1];
  if (n > 2) r.StartTime = lines[2];
  if (n > 3) r.EndTime = lines[3];
  if (n > 4) r.Action = lines[4];
  return r;
}

std::string NextLogRecordName(const std::vector<std::string>& names) {
  int64_t largest = 0;
  for (const auto& name : names) {
    if (name.empty() || name.size() > 10) continue;
    int64_t v = 0;
    bool digits = true;
    for (char c : name) {
      if (c < '0' || c > '9') {
        digits = false;
        break;
      }
      v = v * 10 + (c - '0');
    }
    if (digits && v > largest) largest = v;
  }
  return IntToStr(largest + 1);
}

std::string SetAsideLogName(const std::string& logPath, int attempt) {
  return logPath + (attempt == 0 ? std::string(".bad") : ".bad" + IntToStr(attempt));
}
