// The run time of a Log record from its stored start and end texts.
#pragma once

#include <string>

// Seconds since midnight of a stored time: the text before its first "-",
// read as "H:MM[:SS]" in 12- or 24-hour form with an optional "AM"/"PM".
// Raises EConvertError when the text is not a time.
int ParseStoredTime(const std::string& text);

// End minus start as "H:MM:SS"; an end before the start is a run across
// midnight. Raises EConvertError when either text is not a time.
std::string ElapsedTimeText(const std::string& startText, const std::string& endText);
