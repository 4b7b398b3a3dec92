#include <windows.h>
#include <io.h>

#include <cstdio>

#include "base/fileops.h"
#include "base/filereplace.h"

namespace lk_fileops {
bool IsFile(const std::string& name) {
  const DWORD a = GetFileAttributesA(name.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}
bool IsDirectory(const std::string& name) {
  const DWORD a = GetFileAttributesA(name.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}
TLookup LookUp(const std::string& name) {
  const DWORD a = GetFileAttributesA(name.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return {false, false, static_cast<uint32_t>(GetLastError())};
  return {true, (a & FILE_ATTRIBUTE_DIRECTORY) != 0, 0, (a & FILE_ATTRIBUTE_READONLY) != 0};
}
bool Truncate(std::FILE* f, int64_t size) { return std::fflush(f) == 0 && _chsize_s(_fileno(f), size) == 0; }
bool SyncFile(std::FILE* f) { return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)))) != 0; }
namespace {

bool oneStepMissing = false;

// The one place MoveFileExA is called: the 9x line exports it as a stub.
bool OneStepReplace(const std::string& from, const std::string& to) {
  if (oneStepMissing) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return false;
  }
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// Calls the 9x line carries out. Keeps the first failure's code: later
// steps (putting the old file back) would overwrite it.
class TWinRenameOps : public lk_replace::TRenameOps {
 public:
  TLookup LookUp(const std::string& name) override { return lk_fileops::LookUp(name); }
  bool Move(const std::string& from, const std::string& to) override {
    return Done(MoveFileA(from.c_str(), to.c_str()) != 0);
  }
  bool Remove(const std::string& name) override { return Done(DeleteFileA(name.c_str()) != 0); }
  DWORD FirstError() const { return error_; }

 private:
  bool Done(bool ok) {
    if (!ok && !error_) error_ = GetLastError();
    return ok;
  }
  DWORD error_ = 0;
};

}  // namespace

bool MoveReplace(const std::string& from, const std::string& to) {
  if (OneStepReplace(from, to)) return true;
  // Only a missing call takes the renames; any other failure is one.
  if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
  TWinRenameOps ops;
  if (lk_replace::ReplaceByRenames(ops, from, to)) return true;
  // Refused before any step (a folder in the way): as MoveFileExA answers.
  SetLastError(ops.FirstError() ? ops.FirstError() : ERROR_ACCESS_DENIED);
  return false;
}
std::string ReplacedFileToRead(const std::string& name) {
  TWinRenameOps ops;
  return lk_replace::FileToRead(ops, name);
}
bool DeleteReplacedFile(const std::string& name) {
  TWinRenameOps ops;
  return lk_replace::RemoveWithAside(ops, name);
}
void SetOneStepReplaceMissing(bool missing) { oneStepMissing = missing; }
}  // namespace lk_fileops
