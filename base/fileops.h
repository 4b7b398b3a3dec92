// The few file operations the C library does not offer portably. One
// implementation per platform: base/fileops_posix.cpp and win/fileops_win.cpp.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace lk_fileops {
bool IsFile(const std::string& name);
bool IsDirectory(const std::string& name);
bool Truncate(std::FILE* f, int64_t size);
bool SyncFile(std::FILE* f);
// Renames `from` to `to`, replacing `to` when it exists, in one step.
bool MoveReplace(const std::string& from, const std::string& to);
}  // namespace lk_fileops
