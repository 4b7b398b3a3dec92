// Text routines that paths, registry values and the Gate argument are cut
// with. Positions are 1-based; texts are byte strings in the ANSI code page.
// Letter case follows the character tables of CharLocale() (base/locale.h).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Position of the first occurrence of `sub` in `text` at or after `start`,
// ignoring letter case; 0 when either is empty, start < 1, or none.
std::size_t FindTextNoCase(std::string_view sub, std::string_view text, std::size_t start = 1);
// The part after / before the first occurrence of `sub` (case ignored).
// Not found: TextAfter gives empty, TextBefore the whole text.
std::string TextAfter(std::string_view sub, std::string_view text);
std::string TextBefore(std::string_view sub, std::string_view text);
// The bytes strictly between the first `startChar` and the first `stopChar`
// when the start comes first; otherwise empty. Exact comparison.
std::string TextBetween(std::string_view text, char startChar, char stopChar);
std::string LeftPart(std::string_view text, std::ptrdiff_t n);
// From 1-based position n to the end (n below 1 counts as 1).
std::string RestFrom(std::string_view text, std::ptrdiff_t n);
std::size_t PCharLength(const char* text);
// Cuts the text at its first zero byte (after an OS call filled a buffer).
void CutAtNul(std::string& text);
bool IsUpperChar(unsigned char c);
bool IsLowerChar(unsigned char c);
