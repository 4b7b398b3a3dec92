#include "gate/core/pathparts.h"

namespace {
bool IsSep(char c) { return c == '\\' || c == '/'; }
}  // namespace

std::string ExtractDrivePart(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  if (path.size() >= 2 && IsSep(path[0]) && IsSep(path[1])) {
    // \\server\share: up to (not including) the separator after the share.
    std::size_t i = 2;
    while (i < path.size() && !IsSep(path[i])) ++i;
    if (i < path.size()) ++i;
    while (i < path.size() && !IsSep(path[i])) ++i;
    return path.substr(0, i);
  }
  return {};
}

std::string ParentPath(const std::string& path) {
  std::size_t end = path.size();
  while (end > 0 && IsSep(path[end - 1])) --end;  // trailing separators
  while (end > 0 && !IsSep(path[end - 1]) && path[end - 1] != ':') --end;  // last component
  while (end > 0 && IsSep(path[end - 1])) --end;  // the separator before it
  if (end >= path.size() && !path.empty()) end = path.size() - 1;
  return path.substr(0, end);
}
