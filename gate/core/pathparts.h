// Path parts that the long-path walk needs, kept apart so that its
// termination can be checked without a file system.
#pragma once

#include <string>

// The drive part: "C:" or a "\\server\share" prefix; empty when none.
std::string ExtractDrivePart(const std::string& path);

// The folder part without its trailing separator ("C:\a\b.txt" -> "C:\a").
// Always strictly shorter than `path` when `path` is not empty.
std::string ParentPath(const std::string& path);
