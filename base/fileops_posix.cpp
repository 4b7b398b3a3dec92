#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/fileops.h"
#include "base/filereplace.h"

namespace lk_fileops {
bool IsFile(const std::string& name) {
  struct stat st;
  return stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
bool IsDirectory(const std::string& name) {
  struct stat st;
  return stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
TLookup LookUp(const std::string& name) {
  struct stat st;
  if (stat(name.c_str(), &st) == 0) return {true, S_ISDIR(st.st_mode), 0, (st.st_mode & S_IWUSR) == 0};
  switch (errno) {
    case ENOENT: return {false, false, 2};
    case ENOTDIR: return {false, false, 3};
    case EACCES: case EPERM: return {false, false, 5};
    case ENAMETOOLONG: return {false, false, 206};
    default: return {false, false, 31};
  }
}
bool Truncate(std::FILE* f, int64_t size) { return std::fflush(f) == 0 && ftruncate(fileno(f), size) == 0; }
bool SyncFile(std::FILE* f) { return fsync(fileno(f)) == 0; }
namespace {

bool oneStepMissing = false;

class TPosixRenameOps : public lk_replace::TRenameOps {
 public:
  TLookup LookUp(const std::string& name) override { return lk_fileops::LookUp(name); }
  // link() refuses an existing name, as a rename on Windows does.
  bool Move(const std::string& from, const std::string& to) override {
    return link(from.c_str(), to.c_str()) == 0 && unlink(from.c_str()) == 0;
  }
  bool Remove(const std::string& name) override { return unlink(name.c_str()) == 0; }
};

}  // namespace

bool MoveReplace(const std::string& from, const std::string& to) {
  if (!oneStepMissing) return std::rename(from.c_str(), to.c_str()) == 0;
  TPosixRenameOps ops;
  return lk_replace::ReplaceByRenames(ops, from, to);
}
std::string ReplacedFileToRead(const std::string& name) {
  TPosixRenameOps ops;
  return lk_replace::FileToRead(ops, name);
}
bool DeleteReplacedFile(const std::string& name) {
  TPosixRenameOps ops;
  return lk_replace::RemoveWithAside(ops, name);
}
void SetOneStepReplaceMissing(bool missing) { oneStepMissing = missing; }
}  // namespace lk_fileops
