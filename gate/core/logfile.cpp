#include "gate/core/logfile.h"

#include <vector>

#include "base/fileops.h"
#include "base/streams.h"

namespace {

std::string MoveAside(const std::string& logPath) {
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string aside = SetAsideLogName(logPath, attempt);
    if (FileExists(aside)) continue;
    if (lk_fileops::MoveReplace(logPath, aside)) return aside;
    break;
  }
  throw EFCreateError("Cannot move the unreadable log \"" + logPath + "\" aside");
}

}  // namespace

TLogAppendResult AppendLogRecord(TLkStreams& container, const std::string& logPath, const TLogRecord& record) {
  TLogAppendResult result;
  container.ClearStreams();
  if (FileExists(logPath)) {
    try {
      container.LoadFromFile(logPath);
    } catch (const EFOpenError&) {
      throw;  // present but not readable now: never replace it
    } catch (const ECorruptFile&) {
      result.SetAside = MoveAside(logPath);
    } catch (const EStreamError&) {
      result.SetAside = MoveAside(logPath);
    }
    if (!result.SetAside.empty()) container.ClearStreams();
  }
  std::vector<std::string> names;
  const TStringList& list = container.StreamList();
  names.reserve(static_cast<std::size_t>(list.Count()));
  for (int i = 0; i < list.Count(); ++i) names.push_back(list[i]);
  result.RecordName = NextLogRecordName(names);

  TMemoryStream bytes;
  const std::string text = EncodeLogRecord(record);
  bytes.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
  container.AddStream(result.RecordName, bytes);
  container.SaveToFile(logPath);
  return result;
}

TUserDataStatus ReadUserData(TLkStreams& container, const std::string& userDataPath, const std::string& entryName,
                             TUserRecord& record) {
  record = TUserRecord{};
  if (!FileExists(userDataPath)) return TUserDataStatus::Missing;
  try {
    container.LoadFromFile(userDataPath);
  } catch (const ECorruptFile&) {
    return TUserDataStatus::Unreadable;
  } catch (const EStreamError&) {
    return TUserDataStatus::Unreadable;
  }
  TMemoryStream entry;
  container.GetStream(entryName, entry);
  if (entry.Size() == 0 && container.StreamList().IndexOf(entryName) < 0) return TUserDataStatus::Missing;
  record = DecodeUserRecord(entry.AsString());
  return TUserDataStatus::Read;
}
