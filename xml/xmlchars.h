// Character classes, name rules and escaping of XML 1.0 (Appendix B names).
// Every test works on one UTF-16 code unit; a character above U+FFFF is two
// surrogate units, neither of which is an XML character here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "xml/xmlstring.h"

bool IsXMLChar(WideChar c);
bool IsLetter(WideChar c);  // BaseChar | Ideographic
bool IsBaseChar(WideChar c);
bool IsIdeographic(WideChar c);
bool IsDigit(WideChar c);
bool IsBlank(WideChar c);
bool IsNameStartChar(WideChar c);
bool IsNameChar(WideChar c);  // no CombiningChar, no Extender
bool IsMarkupDelimiter(WideChar c);
bool IsCharDataChar(WideChar c);
bool IsPredefinedChar(WideChar c);

// The code point ranges behind IsBaseChar, IsIdeographic and IsDigit.
struct TCharRange {
  uint16_t First, Last;
};
const std::vector<TCharRange>& BaseCharRanges();
const std::vector<TCharRange>& IdeographicRanges();
const std::vector<TCharRange>& DigitRanges();

bool IsName(const WideString& text);
bool IsNmtoken(const WideString& text);
// The value trimmed and split at each blank (empty tokens skipped); each
// token must pass IsName / IsNmtoken. With a list, every token is added to
// it as a byte string, the last token always (so an empty value adds one
// empty entry).
bool IsNames(const WideString& value, std::vector<std::string>* list = nullptr);
bool IsNmtokens(const WideString& value, std::vector<std::string>* list = nullptr);
bool IsPITarget(const WideString& text);

// "&quot;", "&amp;", "&apos;", "&lt;", "&gt;", or empty for other characters.
WideString PredefinedEntityFor(WideChar c);
// 1-based position of the first ";" at or after `start`; 0 when an "&" or
// the end of the text comes first.
int32_t ReferenceEnd(const WideString& text, int32_t start);
// Replaces every predefined character by its entity, keeping an "&" that
// begins a reference.
WideString EscapeText(const WideString& text);
// Replaces each occurrence of `c` by its entity; for "&" one that begins a
// reference stays.
WideString EscapeChar(const WideString& text, WideChar c);
WideString Indent(int32_t n);
// Each unit a hexadecimal digit by its distance from the end; a unit that is
// no hex digit counts its code minus 48 (unchecked). Saturates at the 32-bit
// range instead of overflowing.
int32_t HexToInt(const WideString& text);
bool IsHexDigit(WideChar c);
