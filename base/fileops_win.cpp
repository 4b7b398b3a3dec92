#include <windows.h>
#include <io.h>

#include <cstdio>

#include "base/fileops.h"

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
  return {true, (a & FILE_ATTRIBUTE_DIRECTORY) != 0, 0};
}
bool Truncate(std::FILE* f, int64_t size) { return std::fflush(f) == 0 && _chsize_s(_fileno(f), size) == 0; }
bool SyncFile(std::FILE* f) { return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)))) != 0; }
bool MoveReplace(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
}  // namespace lk_fileops
