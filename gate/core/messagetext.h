// The gate's message text: value tags replaced, then wrapped to a column.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// What the value tags stand for in one run; the window layer fills it from
// the logged-on user and the clock, formatted by the user's locale.
struct TMessageTagValues {
  std::string UserName;  // "<uname>"
  std::string TimeText;  // "<time>": long time format
  std::string DateText;  // "<date>": short date format
};

// Replaces "<uname>", "<time>" and "<date>" (any letter case), in that
// order, each on the result of the previous one. "<sname>" and the
// formatting tags stay for the label to draw.
std::string ExpandMessageTags(std::string_view text, const TMessageTagValues& values);

// Tells whether a byte starts a double-byte character (IsDBCSLeadByte on
// Windows); none natively.
using TLeadByteTest = bool (*)(unsigned char);

// Inserts `breakText` after the last break character seen once the column
// passes `maxColumn` (signed: -1 breaks at every break character). A
// `breakText` already in the text ends the line as it stands. Words longer
// than the column are not cut.
std::string WrapMessageText(std::string_view text, std::string_view breakText, std::string_view breakChars,
                            int32_t maxColumn, TLeadByteTest isLeadByte = nullptr);

// The gate's wrap parameters: a lone CR, broken at CR, blank, "-" and ".".
inline constexpr std::string_view GateBreakText = "\r";
inline constexpr std::string_view GateBreakChars = "\r -.";
inline constexpr int32_t DefaultWrapColumn = 55;
