// The encoders and the text helpers on arbitrary UTF-16 text: output sizes
// follow the rules of each encoding, what an encoding holds reads back
// through its decoder, and escaping gives text without bare "<".
#include <cstddef>
#include <cstdint>
#include <string>

#include "xml/inputbuffer.h"
#include "xml/xmlchars.h"
#include "xml/xmlerrors.h"
#include "xml/xmlstrings.h"

namespace {
class BytesStream : public TMemoryStream {
 public:
  explicit BytesStream(const std::string& s) { Write(s.data(), static_cast<int64_t>(s.size())); }
};

WideString Decode(const std::string& bytes, TEncoding e) {
  BytesStream s(bytes);
  TInputBuffer b;
  b.LoadFromStream(s);
  if (!b.HasByteOrderMark()) b.SetEncoding(e);
  WideString out;
  for (WideChar c; (c = b.ReadChar()) != 0;) out += c;
  return out;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WideString text;
  for (std::size_t i = 0; i + 1 < size; i += 2) text += static_cast<WideChar>(data[i] | (data[i + 1] << 8));
  std::size_t n = static_cast<std::size_t>(XMLStrLen(text));
  WideString head = text.substr(0, n);

  for (int e = i8859_1; e <= UTF_16; ++e) {
    auto enc = static_cast<TEncoding>(e);
    UnmappedChars().Reset();
    std::string be = WideToEncoded(text, enc, true), le = WideToEncoded(text, enc, false);
    if (enc == UTF_16) {
      if (be.size() != 2 * n || le.size() != 2 * n) __builtin_trap();
      if (Decode("\xFE\xFF" + be, enc) != head || Decode("\xFF\xFE" + le, enc) != head) __builtin_trap();
    } else if (enc == UTF_8) {
      // Every unit that is no lone surrogate survives the round trip.
      // With a mark first, so a leading U+FEFF is data and not a mark.
      WideString back = Decode("\xEF\xBB\xBF" + be, enc);
      WideString expect;
      for (std::size_t i = 0; i < n; ++i) {
        WideChar c = head[i];
        bool hi = c >= 0xD800 && c <= 0xDBFF, lo = c >= 0xDC00 && c <= 0xDFFF;
        if (hi && i + 1 < n && head[i + 1] >= 0xDC00 && head[i + 1] <= 0xDFFF) {
          expect += c;
          expect += head[++i];
        } else {
          expect += (hi || lo) ? u'_' : c;
        }
      }
      if (back != expect) __builtin_trap();
    } else {
      if (be.size() != n) __builtin_trap();
      // Each unit comes back, or was recorded as unmapped and written "_".
      // Behind one plain byte, so that no text reads as a byte-order mark.
      WideString back = Decode("a" + be, enc).substr(1);
      if (back.size() != n) __builtin_trap();
      for (std::size_t i = 0; i < n; ++i) {
        if (back[i] == head[i]) continue;
        if (back[i] != u'_') __builtin_trap();
        bool control = head[i] < 0x20;  // bytes without a character on the way in
        if (be[i] != '_' && !control) __builtin_trap();
        if (be[i] == '_' && head[i] >= 0x80 && !UnmappedChars().Contains(head[i])) __builtin_trap();
      }
    }
  }

  // Escapes leave no "<", and the text tests do not fail on any input.
  WideString esc = EscapeText(text);
  if (esc.find(u'<') != WideString::npos) __builtin_trap();
  if (EscapeChar(text, u'<').find(u'<') != WideString::npos) __builtin_trap();
  (void)IsName(text);
  (void)IsNmtokens(text);
  (void)IsPITarget(text);
  (void)HexToInt(text);
  (void)XMLStrCompareText(text, esc);
  return 0;
}
