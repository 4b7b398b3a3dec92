#include "base/utf8.h"

int Utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

int DecodeUtf8(const unsigned char* p, std::size_t n, uint32_t& cp) {
  if (n == 0) return 0;
  int len = Utf8SequenceLength(p[0]);
  if (len == 0 || n < static_cast<std::size_t>(len)) return 0;
  if (len == 1) {
    cp = p[0];
    return 1;
  }
  uint32_t v = p[0] & (0x7F >> len);
  for (int i = 1; i < len; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    v = (v << 6) | (p[i] & 0x3F);
  }
  static const uint32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (v < kMin[len] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return 0;
  cp = v;
  return len;
}

std::u16string CodePointToUtf16(uint32_t cp) {
  if (cp < 0x10000) return std::u16string(1, static_cast<char16_t>(cp));
  cp -= 0x10000;
  std::u16string s;
  s += static_cast<char16_t>(0xD800 + (cp >> 10));
  s += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  return s;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  for (std::size_t i = 0; i < text.size();) {
    uint32_t cp = 0;
    const int length = DecodeUtf8(bytes + i, text.size() - i, cp);
    if (length == 0) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    out += CodePointToUtf16(cp);
    i += static_cast<std::size_t>(length);
  }
  return out;
}
