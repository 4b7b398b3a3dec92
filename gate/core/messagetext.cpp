#include "gate/core/messagetext.h"

#include "base/locale.h"

namespace {

// Every occurrence of `tag` (ASCII letters, any case) replaced by `value`.
std::string ReplaceTag(std::string_view text, std::string_view tag, std::string_view value) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (text.size() - i >= tag.size() && SameText(text.substr(i, tag.size()), tag)) {
      out.append(value);
      i += tag.size();
    } else {
      out.push_back(text[i++]);
    }
  }
  return out;
}

}  // namespace

std::string ExpandMessageTags(std::string_view text, const TMessageTagValues& values) {
  std::string s = ReplaceTag(text, "<uname>", values.UserName);
  s = ReplaceTag(s, "<time>", values.TimeText);
  return ReplaceTag(s, "<date>", values.DateText);
}

std::string WrapMessageText(std::string_view text, std::string_view breakText, std::string_view breakChars,
                            int32_t maxColumn, TLeadByteTest isLeadByte) {
  // Positions count from 1, as the column does; T(p) is the byte at p.
  const int64_t L = static_cast<int64_t>(text.size());
  const int64_t K = static_cast<int64_t>(breakText.size());
  auto T = [&](int64_t p) { return static_cast<unsigned char>(text[static_cast<std::size_t>(p - 1)]); };
  auto inSet = [&](unsigned char c) { return breakChars.find(static_cast<char>(c)) != std::string_view::npos; };
  auto slice = [&](int64_t from, int64_t to) {  // both included
    return to < from ? std::string_view() : text.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from + 1));
  };

  int64_t column = 1, pos = 1, lineStart = 1, breakPos = 0;
  bool existingBreak = false;
  std::string result;
  result.reserve(text.size() + text.size() / 16);
  while (pos <= L) {
    const unsigned char c = T(pos);
    if (isLeadByte && isLeadByte(c)) {
      ++pos;
      ++column;
    } else if (K > 0 && c == static_cast<unsigned char>(breakText[0])) {
      existingBreak = L - pos + 1 >= K && SameText(text.substr(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(K)), breakText);
      if (existingBreak) {
        pos += K - 1;
        breakPos = pos;
      }
    } else if (inSet(c)) {
      breakPos = pos;
    }
    ++pos;
    ++column;
    if (existingBreak || (column > maxColumn && breakPos > lineStart)) {
      column = pos - breakPos;
      result.append(slice(lineStart, breakPos));
      while (pos <= L && (inSet(T(pos)) || T(pos) == '\r' || T(pos) == '\n')) ++pos;
      if (!existingBreak && pos < L) result.append(breakText);
      ++breakPos;
      lineStart = breakPos;
      existingBreak = false;
    }
  }
  result.append(slice(lineStart, L));
  return result;
}
