#include "controls/core/filepaths.h"

namespace {
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
}  // namespace

std::string AppendPathDelimiter(const std::string& path) {
  if (path.empty()) return path;
  const char last = path.back();
  if (last == ':' || last == '\\') return path;
  if (path.size() == 1 && IsLetter(path[0])) return path + ":\\";
  return path + "\\";
}

std::string StripPathDelimiter(const std::string& path) {
  if (path.size() <= 1 || path.back() != '\\') return path;
  if (path.size() == 3 && path[1] == ':' && IsLetter(path[0])) return path;
  return path.substr(0, path.size() - 1);
}

std::string BuildNameList(const std::string& text) {
  if (text.empty()) return {};
  std::string list = text;
  for (char& c : list)
    if (c == ';' || c == '|') c = '\0';
  list.push_back('\0');
  return list;
}

std::string SingleNameList(const std::string& name) {
  if (name.empty()) return {};
  return name + '\0';
}

int ProgressShift(int64_t size) {
  int shift = 0;
  while ((size >> shift) > INT32_MAX) ++shift;
  return shift;
}
