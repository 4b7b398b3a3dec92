#include "xml/xmlstrings.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "xml/xmlerrors.h"

// --- string operations -------------------------------------------------------

int32_t XMLStrLen(const WideString& text) { return static_cast<int32_t>(FirstUnitOf(text, WideChar(0))); }

namespace {
int Sign(int64_t d) { return d < 0 ? -1 : d > 0 ? 1 : 0; }
}  // namespace

int XMLStrCompare(const WideString& a, const WideString& b) {
  int32_t la = XMLStrLen(a), lb = XMLStrLen(b);
  if (la != lb) return la < lb ? -1 : 1;
  for (int32_t i = 0; i < la; ++i)
    if (a[static_cast<std::size_t>(i)] != b[static_cast<std::size_t>(i)])
      return Sign(static_cast<int64_t>(a[static_cast<std::size_t>(i)]) - b[static_cast<std::size_t>(i)]);
  return 0;
}

int XMLStrCompareText(const WideString& a, const WideString& b) {
  int32_t la = XMLStrLen(a), lb = XMLStrLen(b);
  if (la != lb) return la < lb ? -1 : 1;
  for (std::size_t i = 0; i < static_cast<std::size_t>(la); ++i) {
    WideChar x = a[i], y = b[i];
    if (x < 0x100 && y < 0x100) {
      x = XMLUpCase(x);
      y = XMLUpCase(y);
    }
    if (x != y) return Sign(static_cast<int64_t>(x) - y);
  }
  return 0;
}

bool XMLSameText(const WideString& a, const WideString& b) {
  const std::size_t n = std::min(a.size(), b.size());
  std::size_t i = 0;
  for (; i < n; ++i) {
    WideChar x = a[i], y = b[i];
    if (x == 0 || y == 0) return x == y;  // where one text ends the other must
    if (x != y && !(x < 0x100 && y < 0x100 && XMLUpCase(x) == XMLUpCase(y))) return false;
  }
  WideChar x = i < a.size() ? a[i] : 0, y = i < b.size() ? b[i] : 0;
  return x == 0 && y == 0;
}

namespace {
bool IsTrimmed(WideChar c) { return c == 0x09 || c == 0x0A || c == 0x0D || c == 0x20; }
}  // namespace

WideString XMLStrTrim(const WideString& text) {
  std::size_t n = static_cast<std::size_t>(XMLStrLen(text));
  std::size_t first = 0, last = n;
  while (first < last && IsTrimmed(text[first])) ++first;
  while (last > first && IsTrimmed(text[last - 1])) --last;
  if (first == 0 && last == text.size()) return text;
  return text.substr(first, last - first);
}

uint32_t XMLCharCode(WideChar c) { return c; }

void XMLStrCopy(WideChar* dest, const WideChar* source) {
  while ((*dest++ = *source++) != 0) {
  }
}

WideChar XMLUpCase(WideChar c) { return c >= u'a' && c <= u'z' ? static_cast<WideChar>(c - 32) : c; }

const TXMLStringFunctions XMLStringFunctions = {
    XMLStrLen, XMLStrCompare, XMLStrCompareText, XMLStrTrim, XMLCharCode, XMLStrCopy, XMLUpCase,
};

// --- UnmappedChars ------------------------------------------------------------

TUnmappedChars::TUnmappedChars() : buffer_(50), seen_(65536 / 64, 0) {}

bool TUnmappedChars::Contains(WideChar c) const { return (seen_[c >> 6] >> (c & 63)) & 1; }

void TUnmappedChars::Add(WideChar c) {
  if (Contains(c)) return;
  seen_[c >> 6] |= uint64_t{1} << (c & 63);
  buffer_.AddChar(c);
}

void TUnmappedChars::Reset() {
  // Every bit set belongs to a character of the buffer: those are cleared,
  // not the whole table (each parse resets it, most often with nothing in it).
  if (buffer_.Length() > 0)
    for (WideChar c : buffer_.GetText()) seen_[c >> 6] &= ~(uint64_t{1} << (c & 63));
  buffer_.Reset();
}

TUnmappedChars& UnmappedChars() {
  static TUnmappedChars chars;
  return chars;
}

// --- single-byte tables ---------------------------------------------------------

namespace {
const uint16_t* RowOf(TEncoding encoding) {
  int e = IsSingleByteEncoding(encoding) ? encoding : US_ASCII;
  return CodePageTables[e - 1];
}
}  // namespace

WideChar ByteToWide(uint8_t byte, TEncoding encoding) {
  uint16_t u = RowOf(encoding)[byte];
  if (u != 0) return u;
  UnmappedChars().Add(byte);
  return u'_';
}

uint8_t WideToByte(WideChar c, TEncoding encoding) {
  if (c < 0x7F) return static_cast<uint8_t>(c);
  const uint16_t* row = RowOf(encoding);
  for (int b = 0x80; b <= 0xFF; ++b)
    if (row[b] == c) return static_cast<uint8_t>(b);
  UnmappedChars().Add(c);
  return '_';
}

// --- UTF-8 ----------------------------------------------------------------------

std::string WideCharToUTF8(WideChar c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

WideString UTF8ToWideChar(const std::string& bytes) {
  uint32_t cp = 0;
  if (DecodeUtf8(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), cp) == 0)
    throw ELkXMLParserError(kMsgMalformedUTF8, 0);
  return CodePointToUtf16(cp);
}

// --- whole texts ---------------------------------------------------------------

std::string WideToEncoded(const WideString& text, TEncoding encoding, bool bigEndian) {
  std::size_t n = static_cast<std::size_t>(XMLStrLen(text));
  std::string out;
  if (encoding == UTF_16) {
    out.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
      char hi = static_cast<char>(HiByte(text[i])), lo = static_cast<char>(LoByte(text[i]));
      out += bigEndian ? hi : lo;
      out += bigEndian ? lo : hi;
    }
  } else if (encoding == UTF_8) {
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
      WideChar c = text[i];
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        uint32_t cp = 0x10000 + ((static_cast<uint32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
        ++i;
      } else if (c >= 0xD800 && c <= 0xDFFF) {
        UnmappedChars().Add(c);  // half a pair has no UTF-8 form
        out += '_';
      } else {
        out += WideCharToUTF8(c);
      }
    }
  } else {
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) out += static_cast<char>(WideToByte(text[i], encoding));
  }
  return out;
}

std::string WideToLatin1(const WideString& text) {
  std::string out;
  out.reserve(text.size());
  for (WideChar c : text) {
    if (c == 0) break;
    out += c < 0x100 ? static_cast<char>(c) : '?';
  }
  return out;
}

WideString Latin1ToWide(const std::string& text) {
  WideString out;
  out.reserve(text.size());
  for (char c : text) out += static_cast<WideChar>(static_cast<unsigned char>(c));
  return out;
}

WideString UTF8ToWide(const std::string& text) {
  WideString out;
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t i = 0, n = text.size();
  while (i < n) {
    uint32_t cp = 0;
    int len = DecodeUtf8(p + i, n - i, cp);
    if (len == 0) throw ELkXMLParserError(kMsgMalformedUTF8, 0);
    out += CodePointToUtf16(cp);
    i += static_cast<std::size_t>(len);
  }
  return out;
}

std::string WideToUTF8(const WideString& text) {
  // Lone surrogates are not recorded here: this is a helper for messages
  // and tests, not document output.
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    WideChar c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      uint32_t cp = 0x10000 + ((static_cast<uint32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
      ++i;
    } else {
      out += WideCharToUTF8(c);
    }
  }
  return out;
}
