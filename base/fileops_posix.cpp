#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/fileops.h"

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
  if (stat(name.c_str(), &st) == 0) return {true, S_ISDIR(st.st_mode), 0};
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
bool MoveReplace(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }
}  // namespace lk_fileops
