// Path and name-list rules of the file utilities that need no file system.
#pragma once

#include <cstdint>
#include <string>

// Empty stays empty; a path ending in ":" or "\" is unchanged; a single
// letter A to Z becomes a drive root ("x" -> "x:\"); anything else gets "\".
std::string AppendPathDelimiter(const std::string& path);
// Drops one trailing "\" from a path longer than one character, except from
// a drive root ("C:\").
std::string StripPathDelimiter(const std::string& path);
// The shell's name list: each ";" and "|" becomes a NUL and one more NUL ends
// it. The result holds that final NUL, and c_str() adds the list's end.
// An empty text gives an empty result (no list).
std::string BuildNameList(const std::string& text);
// One exact name as a shell name list: nothing is split, ";" is legal in names.
std::string SingleNameList(const std::string& name);

// How far a byte count must be shifted so a progress control's 32-bit range
// holds it (0 for anything below 2 GB).
int ProgressShift(int64_t size);
