#include "shared/core/elapsed.h"

#include <cstdio>

#include "base/locale.h"
#include "base/sysutils.h"
#include "shared/core/lkstrings.h"

namespace {

[[noreturn]] void NotATime(const std::string& text) {
  throw EConvertError("'" + text + "' is not a valid time");
}

// Reads 1 or 2 digits at `at`; -1 when there is none.
int ReadNumber(const std::string& s, std::size_t& at) {
  int value = -1;
  std::size_t digits = 0;
  while (at < s.size() && s[at] >= '0' && s[at] <= '9' && digits < 2) {
    value = (value < 0 ? 0 : value * 10) + (s[at] - '0');
    ++at;
    ++digits;
  }
  return value;
}

}  // namespace

int ParseStoredTime(const std::string& text) {
  const std::string s = Trim(TextBefore("-", text));
  std::size_t at = 0;
  const int hours = ReadNumber(s, at);
  if (hours < 0 || at >= s.size() || s[at] != ':') NotATime(text);
  ++at;
  const int minutes = ReadNumber(s, at);
  int seconds = 0;
  if (minutes < 0) NotATime(text);
  if (at < s.size() && s[at] == ':') {
    ++at;
    seconds = ReadNumber(s, at);
    if (seconds < 0) NotATime(text);
  }
  const std::string suffix = UpperCase(Trim(s.substr(at)));
  int h = hours;
  if (suffix == "AM" || suffix == "PM") {
    if (hours > 12) NotATime(text);
    h = hours % 12 + (suffix == "PM" ? 12 : 0);
  } else if (!suffix.empty()) {
    NotATime(text);
  }
  if (h > 23 || minutes > 59 || seconds > 59) NotATime(text);
  return h * 3600 + minutes * 60 + seconds;
}

std::string ElapsedTimeText(const std::string& startText, const std::string& endText) {
  int elapsed = ParseStoredTime(endText) - ParseStoredTime(startText);
  if (elapsed < 0) elapsed += 24 * 3600;  // the run went past midnight
  char text[16];
  std::snprintf(text, sizeof text, "%d:%02d:%02d", elapsed / 3600, elapsed / 60 % 60, elapsed % 60);
  return text;
}
