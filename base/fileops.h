// The few file operations the C library does not offer portably. One
// implementation per platform: base/fileops_posix.cpp and win/fileops_win.cpp.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace lk_fileops {
bool IsFile(const std::string& name);
bool IsDirectory(const std::string& name);
// What a look-up of `name` found: a file, a folder, or nothing, with the
// system's error code (the Windows codes; elsewhere errno given as the
// nearest of them: 2 no such entry, 3 no such folder, 5 access denied).
struct TLookup {
  bool Found = false;
  bool Folder = false;
  uint32_t Error = 0;
};
TLookup LookUp(const std::string& name);
bool Truncate(std::FILE* f, int64_t size);
bool SyncFile(std::FILE* f);
// Renames `from` to `to`, replacing `to` when it exists, in one step.
bool MoveReplace(const std::string& from, const std::string& to);
}  // namespace lk_fileops
