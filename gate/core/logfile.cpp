#include "gate/core/logfile.h"

#include <cstdio>
#include <vector>

#include "base/fileops.h"
#include "base/sysutils.h"
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

// Writes `bytes` over the existing file without making a new one; puts
// `previous` back when the write fails, so the log is never left torn.
void OverwriteInPlace(const std::string& path, const std::string& bytes, const std::string& previous) {
  std::FILE* f = std::fopen(path.c_str(), "r+b");
  if (!f) throw EFOpenError("Cannot open file \"" + path + "\" for writing");
  auto write = [f](const std::string& b) {
    return std::fseek(f, 0, SEEK_SET) == 0 && (b.empty() || std::fwrite(b.data(), 1, b.size(), f) == b.size()) &&
           lk_fileops::Truncate(f, static_cast<int64_t>(b.size())) && lk_fileops::SyncFile(f);
  };
  if (!write(bytes)) {
    write(previous);
    std::fclose(f);
    throw EWriteError("Cannot write file \"" + path + "\"");
  }
  if (std::fclose(f) != 0) throw EWriteError("Cannot write file \"" + path + "\"");
}

void WriteLog(const std::string& path, const std::string& bytes, const std::string& previous, bool exists) {
  try {
    ReplaceFileAtomically(path, bytes.data(), bytes.size());
  } catch (const EStreamError&) {
    // No temporary file in the folder, or the log may be written but not
    // replaced: the log alone is writable.
    if (!exists) throw;
    OverwriteInPlace(path, bytes, previous);
  }
}

std::string ContainerImage(TLkStreams& container) {
  TMemoryStream image;
  container.SaveToStream(image);
  return image.AsString();
}

}  // namespace

TLogAppendResult AppendLogRecord(TLkStreams& container, const std::string& logPath, const TLogRecord& record) {
  TLogAppendResult result;
  container.ClearStreams();
  const bool exists = FileExists(logPath);
  // Present but not readable now raises here: it is never replaced.
  std::string previous = exists ? ReadFileBytes(logPath) : std::string();
  if (!previous.empty()) {
    TMemoryStream bytes;
    bytes.WriteBuffer(previous.data(), static_cast<int64_t>(previous.size()));
    try {
      container.LoadFromStream(bytes);
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
  WriteLog(logPath, ContainerImage(container), previous, exists && result.SetAside.empty());
  return result;
}

std::string KeepLogRecordAside(TLkStreams& container, const std::vector<std::string>& folders,
                               const std::string& logName, const std::string& tag, const TLogRecord& record) {
  container.ClearStreams();
  TMemoryStream bytes;
  const std::string text = EncodeLogRecord(record);
  bytes.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
  container.AddStream("1", bytes);
  const std::string image = ContainerImage(container);
  std::string lastError = "No folder for the log record";
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    const std::string path = IncludeTrailingPathDelimiter(folder) + logName + "." + tag + ".rec";
    if (FileExists(path)) continue;
    try {
      ReplaceFileAtomically(path, image.data(), image.size());
      return path;
    } catch (const EStreamError& e) {
      lastError = e.Message();
    }
  }
  throw EFCreateError(lastError);
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
