#include "gate/core/pathparts.h"

#include <vector>

namespace {
bool IsSep(char c) { return c == '\\' || c == '/'; }

std::size_t DrivePartLength(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':') return 2;
  if (path.size() >= 2 && IsSep(path[0]) && IsSep(path[1])) {
    // \\server\share: up to (not including) the separator after the share.
    std::size_t i = 2;
    while (i < path.size() && !IsSep(path[i])) ++i;
    if (i < path.size()) ++i;
    while (i < path.size() && !IsSep(path[i])) ++i;
    return i;
  }
  return 0;
}
}  // namespace

std::string ExtractDrivePart(const std::string& path) { return path.substr(0, DrivePartLength(path)); }

std::string ParentPath(const std::string& path) {
  std::size_t end = path.size();
  while (end > 0 && IsSep(path[end - 1])) --end;  // trailing separators
  while (end > 0 && !IsSep(path[end - 1]) && path[end - 1] != ':') --end;  // last component
  while (end > 0 && IsSep(path[end - 1])) --end;  // the separator before it
  if (end >= path.size() && !path.empty()) end = path.size() - 1;
  return path.substr(0, end);
}

namespace {
// The name delimiters of a Windows path, the drive's colon included.
bool IsNameDelimiter(char c) { return IsSep(c) || c == ':'; }

std::size_t LastDelimiterEnd(std::string_view path) {
  for (std::size_t i = path.size(); i > 0; --i)
    if (IsNameDelimiter(path[i - 1])) return i;
  return 0;
}

// The drive part, or the whole text, ends the walk: nothing but "\" after it.
bool IsWalkBase(std::string_view prefix) {
  const std::string_view rest = prefix.substr(DrivePartLength(prefix));
  return rest.empty() || rest == "\\";
}
}  // namespace

std::string LongPathWalk(std::string_view path, const TLongNameLookup& lookup) {
  // The prefixes from the whole path down to the base, each the folder
  // part of the one before without its trailing separator.
  std::vector<std::size_t> ends;
  std::size_t end = path.size();
  while (!IsWalkBase(path.substr(0, end))) {
    ends.push_back(end);
    std::size_t parent = LastDelimiterEnd(path.substr(0, end));
    if (parent > 0 && IsSep(path[parent - 1])) --parent;
    if (parent >= end) parent = end - 1;  // "a:b:" has no folder part to drop
    end = parent;
  }
  std::string result(path.substr(0, end));
  if (!result.empty() && result.back() == '\\') result.pop_back();
  std::string name;
  for (auto it = ends.rbegin(); it != ends.rend(); ++it) {
    const std::string_view prefix = path.substr(0, *it);
    name.clear();
    if (!lookup || !lookup(prefix, name)) name = std::string(prefix.substr(LastDelimiterEnd(prefix)));
    result += '\\';
    result += name;
  }
  return result;
}
