// The input buffer on arbitrary bytes: decoding never reads past the data,
// errors are only ELkXMLParserError, and stepping back then reading again
// gives the same characters as a straight read.
//
// Byte 0 chooses the encoding of one-byte mode, (bit 3) that runs of
// character data are read at once before each single read, and (high nibble
// F) that the bytes are placed across the boundary of the buffer's halves
// (behind filler).
#include <cstddef>
#include <cstdint>
#include <string>

#include "xml/inputbuffer.h"
#include "xml/xmlerrors.h"

namespace {

const TEncoding kEncodings[] = {US_ASCII, UTF_8, i8859_1, i8859_7, i8859_8, i8859_6, UTF_16, n_sup};

class BytesStream : public TMemoryStream {
 public:
  explicit BytesStream(const std::string& s) { Write(s.data(), static_cast<int64_t>(s.size())); }
};

// Reads to the end or to the first error; the characters read and whether
// an error ended it.
WideString Straight(const std::string& bytes, TEncoding e, bool& failed) {
  BytesStream s(bytes);
  TInputBuffer b;
  b.LoadFromStream(s);
  if (!b.HasByteOrderMark()) b.SetEncoding(e);
  WideString out;
  failed = false;
  try {
    for (WideChar c; (c = b.ReadChar()) != 0;) out += c;
  } catch (const ELkXMLParserError&) {
    failed = true;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  uint8_t control = data[0], steps = data[1];
  TEncoding e = kEncodings[control & 7];
  std::string bytes(reinterpret_cast<const char*>(data + 2), size - 2);
  if ((control & 0xF0) == 0xF0) {  // rare: these inputs are 100,000 characters long
    // Filler that decodes the same in every mode, so the fuzzed bytes sit
    // across the boundary between the halves.
    std::size_t fill = TInputBuffer::kHalfSize - bytes.size() / 2;
    bool twoByte = bytes.size() >= 2 && ((uint8_t(bytes[0]) == 0xFF && uint8_t(bytes[1]) == 0xFE) ||
                                         (uint8_t(bytes[0]) == 0xFE && uint8_t(bytes[1]) == 0xFF));
    if (twoByte) {
      std::string mark = bytes.substr(0, 2), rest = bytes.substr(2);
      std::string pad;
      for (std::size_t i = 0; i + 1 < fill; i += 2) pad += mark[0] == '\xFF' ? std::string("a\0", 2) : std::string("\0a", 2);
      bytes = mark + pad + rest;
    } else {
      bytes = std::string(fill & ~std::size_t{3}, 'a') + bytes;
    }
  }

  bool failed = false;
  WideString want = Straight(bytes, e, failed);

  BytesStream s(bytes);
  TInputBuffer b;
  b.LoadFromStream(s);
  if (!b.HasByteOrderMark()) b.SetEncoding(e);
  WideString got;
  const bool runs = (control & 8) != 0;
  try {
    for (std::size_t k = 0;; ++k) {
      if (runs) {
        // A run gives what single reads give, none of "<", "&" and U+0000,
        // with its line feeds counted.
        const std::size_t from = got.size();
        int32_t lines = 0;
        b.ReadTextRun(got, lines);
        if (got.size() > want.size()) __builtin_trap();
        int32_t feeds = 0;
        for (std::size_t i = from; i < got.size(); ++i) {
          if (got[i] == 0 || got[i] == u'<' || got[i] == u'&') __builtin_trap();
          if (got[i] == u'\n') ++feeds;
        }
        if (feeds != lines) __builtin_trap();
      }
      WideChar c = b.ReadChar();
      if (c == 0) break;
      got += c;
      if (got.size() > want.size()) __builtin_trap();
      int back = ((steps >> (k % 8)) & 1) ? 1 + static_cast<int>((k * 7 + steps) % 6) : 0;
      if (back > static_cast<int>(got.size())) back = static_cast<int>(got.size());
      if (back > 0) {
        b.StepBackChars(back);
        if (b.ReadChars(back) != got.substr(got.size() - static_cast<std::size_t>(back))) __builtin_trap();
      }
    }
    if (failed) __builtin_trap();  // the straight read failed, this one did not
    if (b.ReadChar() != 0) __builtin_trap();  // the end is sticky
  } catch (const ELkXMLParserError&) {
    if (!failed) __builtin_trap();
  }
  if (got != want) __builtin_trap();
  return 0;
}
