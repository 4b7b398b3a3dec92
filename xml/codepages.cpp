#include "xml/codepages.h"

const char* const EncodingNames[kEncodingCount] = {
    "not supported", "ISO-8859-1", "ISO-8859-2", "ISO-8859-3", "ISO-8859-4",
    "ISO-8859-5",    "ISO-8859-6", "ISO-8859-7", "ISO-8859-8", "ISO-8859-9",
    "ISO-8859-10",   "US-ASCII",   "UTF-8",      "UTF-16",
};

const uint16_t CodePageTables[11][256] = {
#include "xml/codepagetables.inc"
};

namespace {
bool SameAsciiText(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i]; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 32);
    if (x != y) return false;
  }
  return i == a.size() && b[i] == 0;
}
}  // namespace

TEncoding EncodingFromName(const std::string& name) {
  for (int e = i8859_1; e <= UTF_16; ++e)
    if (SameAsciiText(name, EncodingNames[e])) return static_cast<TEncoding>(e);
  return n_sup;
}
