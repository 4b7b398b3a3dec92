// The few file operations the C library does not offer portably. One
// implementation per platform: base/fileops_posix.cpp and base/fileops_win.cpp.
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
  bool ReadOnly = false;  // a found entry that may not be written
};
TLookup LookUp(const std::string& name);
bool Truncate(std::FILE* f, int64_t size);
bool SyncFile(std::FILE* f);
// Renames `from` to `to`, replacing `to` when it exists, in one step; where
// the system has no such step (the 9x line), by renames with an aside copy
// (base/filereplace.h). False whenever the new file is not in place (on
// Windows GetLastError then tells why).
bool MoveReplace(const std::string& from, const std::string& to);
// The name to read a file under that MoveReplace writes: its own, after
// its aside copy was put back where a replace stopped between its moves
// (lk_replace::FileToRead).
std::string ReplacedFileToRead(const std::string& name);
// Deletes a file that MoveReplace writes, its aside copy first; true when
// neither is left.
bool DeleteReplacedFile(const std::string& name);

// Test programs only: the one-step replace answers as on the 9x line
// (MoveFileExA: FALSE, ERROR_CALL_NOT_IMPLEMENTED; natively the same
// decision), so MoveReplace takes its renames.
void SetOneStepReplaceMissing(bool missing);
}  // namespace lk_fileops
