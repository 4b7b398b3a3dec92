// The character encodings of XML input and output and the byte tables of
// the single-byte ones.
#pragma once

#include <cstdint>
#include <string>

#include "xml/xmlstring.h"

// Stored in one byte; the ordinals are part of the document's state.
enum TEncoding : uint8_t {
  n_sup = 0,  // only the answer for an unknown name; never converted
  i8859_1 = 1,
  i8859_2 = 2,
  i8859_3 = 3,
  i8859_4 = 4,
  i8859_5 = 5,
  i8859_6 = 6,
  i8859_7 = 7,
  i8859_8 = 8,
  i8859_9 = 9,
  i8859_10 = 10,
  US_ASCII = 11,
  UTF_8 = 12,
  UTF_16 = 13,
};

constexpr int kEncodingCount = 14;
extern const char* const EncodingNames[kEncodingCount];

// One row per single-byte encoding (ordinals 1-11), indexed by byte value;
// 0 = the byte has no character.
extern const uint16_t CodePageTables[11][256];

// Case-insensitive (ASCII) match against the names of ordinals 1-13; n_sup
// when none matches.
TEncoding EncodingFromName(const std::string& name);

// True for the encodings that have a row in CodePageTables.
inline bool IsSingleByteEncoding(TEncoding e) { return e >= i8859_1 && e <= US_ASCII; }
