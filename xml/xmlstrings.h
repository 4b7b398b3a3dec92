// Conversions between WideString and encoded bytes, and the wide-string
// operations the parser, the declarations and the document model share.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/utf8.h"
#include "xml/codepages.h"
#include "xml/parsersupport.h"
#include "xml/xmlstring.h"

// --- the string operations -------------------------------------------------

// The index of the first unit of the text equal to one of `units`, or the
// text's size. Texts are long and rarely hold one: four units are tested at
// once (a unit equal to u gives a zero lane in x ^ u).
template <typename... Units>
std::size_t FirstUnitOf(const WideString& text, Units... units) {
  constexpr uint64_t kOnes = 0x0001000100010001ULL, kHighs = 0x8000800080008000ULL;
  auto zeroLane = [](uint64_t x) { return ((x - kOnes) & ~x & kHighs) != 0; };
  const WideChar* p = text.data();
  const std::size_t size = text.size();
  std::size_t i = 0;
  for (; size - i >= 4; i += 4) {
    uint64_t x;
    std::memcpy(&x, p + i, sizeof x);
    if ((zeroLane(x ^ (kOnes * static_cast<WideChar>(units))) || ...)) break;
  }
  for (; i < size; ++i)
    if (((p[i] == static_cast<WideChar>(units)) || ...)) break;
  return i;
}

// Units before the first U+0000.
int32_t XMLStrLen(const WideString& text);
// Length first (the longer is greater), then unit by unit as unsigned
// numbers. -1, 0 or 1.
int XMLStrCompare(const WideString& a, const WideString& b);
// As XMLStrCompare, but units below 0x100 compare folded to ASCII upper
// case (only a-z change); a unit from 0x100 on compares as a number.
int XMLStrCompareText(const WideString& a, const WideString& b);
// XMLStrCompareText(a, b) == 0, stopping at the first difference.
bool XMLSameText(const WideString& a, const WideString& b);
// Without leading and trailing TAB, LF, CR and blank.
WideString XMLStrTrim(const WideString& text);
uint32_t XMLCharCode(WideChar c);
// Copies the NUL-terminated source, terminator included.
void XMLStrCopy(WideChar* dest, const WideChar* source);
// a-z to A-Z; everything else (Latin-1 letters included) unchanged.
WideChar XMLUpCase(WideChar c);

// The record through which parser code calls the operations above.
struct TXMLStringFunctions {
  int32_t (*Length)(const WideString&);
  int (*Compare)(const WideString&, const WideString&);
  int (*CompareText)(const WideString&, const WideString&);
  WideString (*Trim)(const WideString&);
  uint32_t (*CharCode)(WideChar);
  void (*Copy)(WideChar*, const WideChar*);
  WideChar (*UpCase)(WideChar);
};
extern const TXMLStringFunctions XMLStringFunctions;

// --- characters without a mapping -------------------------------------------

// Each character (or byte value) a conversion could not map, once, in the
// order met. Shared by every conversion and parse of the process (main
// thread only); the parser empties it when a parse starts.
class TUnmappedChars {
 public:
  TUnmappedChars();
  void Add(WideChar c);  // ignored when already present
  bool Contains(WideChar c) const;
  void Reset();
  WideString GetText() const { return buffer_.GetText(); }
  int32_t Count() const { return buffer_.Count() - 1; }

 private:
  TStringBuffer buffer_;
  std::vector<uint64_t> seen_;  // one bit per code unit: constant-time membership
};
TUnmappedChars& UnmappedChars();

// --- conversions -------------------------------------------------------------

// The text up to its first U+0000 in `encoding` (1-13). UTF_16 writes two
// bytes per unit, high byte first when bigEndian; UTF_8 writes a surrogate
// pair as one four-byte sequence; the single-byte encodings write exactly
// one byte per unit (WideToByte). A unit that cannot be written (a lone
// surrogate in UTF-8, or no byte in the table) becomes "_" and is recorded
// in UnmappedChars.
std::string WideToEncoded(const WideString& text, TEncoding encoding, bool bigEndian);

// Table look-up in a single-byte encoding (1-11; any other ordinal uses the
// US-ASCII row). No character: "_", the byte recorded in UnmappedChars.
WideChar ByteToWide(uint8_t byte, TEncoding encoding);
// Below 0x7F the unit itself; else the lowest byte of 0x80-0xFF whose table
// entry is the unit; none: "_" (0x5F), the unit recorded.
uint8_t WideToByte(WideChar c, TEncoding encoding);

// One to three bytes for one code unit.
std::string WideCharToUTF8(WideChar c);
// The code point a UTF-8 sequence (1-4 bytes) encodes: UTF-16 code unit(s)
// for the first character of `bytes`; raises ELkXMLParserError on a
// malformed or incomplete sequence.
WideString UTF8ToWideChar(const std::string& bytes);

// One UTF-8 sequence, a lead byte's length and a code point as UTF-16:
// base/utf8.h (Utf8SequenceLength, DecodeUtf8, CodePointToUtf16).

inline WideChar MakeWideChar(uint8_t high, uint8_t low) {
  return static_cast<WideChar>((high << 8) | low);
}
inline uint8_t LoByte(WideChar c) { return static_cast<uint8_t>(c & 0xFF); }
inline uint8_t HiByte(WideChar c) { return static_cast<uint8_t>(c >> 8); }

// Conversions used where wide texts meet byte texts (messages, names):
// ISO-8859-1 both ways, and UTF-16 from/to UTF-8 for tests and tools.
std::string WideToLatin1(const WideString& text);  // units above 0xFF become "?"
WideString Latin1ToWide(const std::string& text);
WideString UTF8ToWide(const std::string& text);  // malformed bytes raise ELkXMLParserError
std::string WideToUTF8(const WideString& text);
