// Path parts that the long-path walk needs, kept apart so that its
// termination can be checked without a file system.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// The drive part: "C:" or a "\\server\share" prefix; empty when none.
std::string ExtractDrivePart(const std::string& path);

// The folder part without its trailing separator ("C:\a\b.txt" -> "C:\a").
// Always strictly shorter than `path` when `path` is not empty.
std::string ParentPath(const std::string& path);

// Answers the stored (long) name of the last component of `prefix` when
// the file system has that entry; false when it has not.
using TLongNameLookup = std::function<bool(std::string_view prefix, std::string& name)>;

// The long form of `path`: from the drive up, every component as `lookup`
// reports it, the components it does not find as written. The drive (or
// the server and share) stays as written, a trailing "\" after it goes.
// A walk, not a recursion: paths of any depth.
std::string LongPathWalk(std::string_view path, const TLongNameLookup& lookup);
