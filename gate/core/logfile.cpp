#include "gate/core/logfile.h"

#include <cstdio>
#include <exception>
#include <functional>
#include <vector>

#include "base/fileops.h"
#include "base/sysutils.h"
#include "base/streams.h"

namespace {

// The damaged log moved to the first free set-aside name; empty when the
// folder takes no such move.
std::string MoveAside(const std::string& logPath) {
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string aside = SetAsideLogName(logPath, attempt);
    const lk_fileops::TLookup found = lk_fileops::LookUp(aside);
    if (found.Found && !found.Folder) continue;  // an earlier bad log
    if (!found.Found && lk_fileops::MoveReplace(logPath, aside)) return aside;
    break;
  }
  return {};
}

// `bytes` in a new file of the first of `folders` that takes one, under the
// first of the names `nameAt(0)` .. `nameAt(names - 1)` that is free there;
// the file's path. Empty when no folder takes it, `error` then holding the
// last write's failure (left as it is when nothing was tried).
std::string WriteInFirstFolder(const std::vector<std::string>& folders, int names,
                               const std::function<std::string(int)>& nameAt, const std::string& bytes,
                               std::string& error) {
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    for (int attempt = 0; attempt < names; ++attempt) {
      const std::string path = IncludeTrailingPathDelimiter(folder) + nameAt(attempt);
      if (lk_fileops::LookUp(path).Found) continue;
      try {
        ReplaceFileAtomically(path, bytes.data(), bytes.size());
        return path;
      } catch (const EStreamError& e) {
        error = e.Message();
      }
      break;  // the folder takes no new file
    }
  }
  return {};
}

// A copy of a damaged log's bytes in a new file of the first folder that
// takes one; raises when none does.
std::string KeepCopy(const std::vector<std::string>& folders, const std::string& logPath, const std::string& bytes) {
  const std::string name = ExtractFileName(logPath);
  std::string error;
  const std::string path =
      WriteInFirstFolder(folders, 100, [&](int attempt) { return SetAsideLogName(name, attempt); }, bytes, error);
  if (path.empty()) throw EFCreateError("Cannot keep a copy of the unreadable log \"" + logPath + "\"");
  return path;
}

// The log's bytes; none, and `tooLong`, when it is longer than the limit.
std::string ReadLogBytes(const std::string& path, bool& tooLong) {
  TFileStream f(path, fmOpenRead | fmShareDenyWrite);
  const int64_t size = f.Size();
  tooLong = size > kLogSizeLimit;
  if (tooLong || size <= 0) return {};
  std::string bytes(static_cast<std::size_t>(size), '\0');
  f.ReadBuffer(bytes.data(), size);
  return bytes;
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

TDataFileLookup DataFileLookup(const lk_fileops::TLookup& found) {
  if (found.Found) return found.Folder ? TDataFileLookup::Unreadable : TDataFileLookup::Load;
  constexpr uint32_t kFileNotFound = 2, kPathNotFound = 3;
  return found.Error == kFileNotFound || found.Error == kPathNotFound ? TDataFileLookup::Missing
                                                                      : TDataFileLookup::Unreadable;
}

TLogAppendResult AppendLogRecord(TLkStreams& container, const std::string& logPath, const TLogRecord& record,
                                 const std::vector<std::string>& keepFolders) {
  TLogAppendResult result;
  container.ClearStreams();
  // Where a replace stopped between its renames, the old log is put back
  // first: a new log started in its place would lose it.
  const std::string source = lk_fileops::ReplacedFileToRead(logPath);
  const TDataFileLookup state = DataFileLookup(lk_fileops::LookUp(source));
  // Present but not to be looked up or read now: it is never replaced.
  if (state == TDataFileLookup::Unreadable) throw EFOpenError("Cannot open file \"" + logPath + "\"");
  const bool exists = state == TDataFileLookup::Load;
  bool tooLong = false;
  const std::string previous = exists ? ReadLogBytes(source, tooLong) : std::string();
  bool damaged = tooLong;
  if (!previous.empty()) {
    TMemoryStream bytes;
    bytes.WriteBuffer(previous.data(), static_cast<int64_t>(previous.size()));
    try {
      container.LoadFromStream(bytes);
    } catch (const std::exception&) {
      // Corrupt, cut short, or sizes no memory holds: the bytes are bad.
      damaged = true;
    }
  }
  bool inPlace = false;
  if (damaged) {
    container.ClearStreams();
    result.SetAside = MoveAside(logPath);
    if (result.SetAside.empty()) {
      if (tooLong) throw EFCreateError("Cannot move the oversized log \"" + logPath + "\" aside");
      result.SetAside = KeepCopy(keepFolders, logPath, previous);
      inPlace = true;
    }
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
  WriteLog(logPath, ContainerImage(container), previous, exists && (!damaged || inPlace));
  return result;
}

std::string KeepLogRecordAside(TLkStreams& container, const std::vector<std::string>& folders,
                               const std::string& logName, const std::string& tag, const TLogRecord& record) {
  container.ClearStreams();
  TMemoryStream bytes;
  const std::string text = EncodeLogRecord(record);
  bytes.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
  container.AddStream("1", bytes);
  std::string error = "No folder for the log record";
  const std::string path = WriteInFirstFolder(
      folders, 1, [&](int) { return logName + "." + tag + ".rec"; }, ContainerImage(container), error);
  if (path.empty()) throw EFCreateError(error);
  return path;
}

TUserDataStatus ReadUserData(TLkStreams& container, const std::string& userDataPath, const std::string& entryName,
                             TUserRecord& record) {
  record = TUserRecord{};
  const std::string source = lk_fileops::ReplacedFileToRead(userDataPath);
  switch (DataFileLookup(lk_fileops::LookUp(source))) {
    case TDataFileLookup::Missing: return TUserDataStatus::Missing;
    case TDataFileLookup::Unreadable: return TUserDataStatus::Unreadable;
    case TDataFileLookup::Load: break;
  }
  try {
    container.LoadFromFile(source);
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
