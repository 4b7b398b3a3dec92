// Text routines of the interface components that need no window: shortening
// a text to a width with "...", and taking substrings up to a delimiter.
#pragma once

#include <functional>
#include <string>

// The text, shortened to its first (length - i) characters plus "..." for
// i = 2, 3, ... until `width_of` it is at most `max_width`; "..." at the shortest.
std::string MinimizeText(const std::string& text, const std::function<int(const std::string&)>& width_of,
                         int max_width);

// The substring from `pos` (1-based) to the next character of `delimiters`
// (or the end); `pos` moves just past that delimiter (or past the end).
std::string ExtractSubstring(const std::string& text, int& pos, const std::string& delimiters);

inline int IntMax(int a, int b) { return a > b ? a : b; }
inline int IntMin(int a, int b) { return a < b ? a : b; }
