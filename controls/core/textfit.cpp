#include "controls/core/textfit.h"

std::string MinimizeText(const std::string& text, const std::function<int(const std::string&)>& width_of,
                         int max_width) {
  std::string result = text;
  const int len = static_cast<int>(text.size());
  int i = 1;
  while (i <= len && width_of(result) > max_width) {
    ++i;
    const int keep = len - i > 0 ? len - i : 0;
    result = text.substr(0, static_cast<size_t>(keep)) + "...";
  }
  return result;
}

std::string ExtractSubstring(const std::string& text, int& pos, const std::string& delimiters) {
  const int len = static_cast<int>(text.size());
  int i = pos < 1 ? 1 : pos;
  while (i <= len && delimiters.find(text[static_cast<size_t>(i - 1)]) == std::string::npos) ++i;
  std::string result = pos <= len && i > pos ? text.substr(static_cast<size_t>(pos - 1), static_cast<size_t>(i - pos)) : "";
  pos = i <= len ? i + 1 : len + 1;  // past the delimiter, or just past the end
  return result;
}
