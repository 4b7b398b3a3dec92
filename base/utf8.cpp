#include "base/utf8.h"

#include <cstdint>

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                                     : lead >= 0xF0 && lead < 0xF5 ? 4 : 0;
    uint32_t cp = length == 1 ? lead : length == 2 ? lead & 0x1Fu : length == 3 ? lead & 0x0Fu : lead & 0x07u;
    int taken = 1;
    bool whole = length > 0;
    for (; whole && taken < length; ++taken) {
      if (i + static_cast<std::size_t>(taken) >= text.size()) {
        whole = false;
        break;
      }
      const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(taken)]);
      if ((next & 0xC0) != 0x80) {
        whole = false;
        break;
      }
      cp = cp << 6 | (next & 0x3Fu);
    }
    // Overlong forms, surrogates and code points past the last plane.
    if (whole && ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
                  (cp >= 0xD800 && cp <= 0xDFFF)))
      whole = false;
    if (!whole) {
      out.push_back(u'\uFFFD');
      i += 1;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += static_cast<std::size_t>(length);
  }
  return out;
}
