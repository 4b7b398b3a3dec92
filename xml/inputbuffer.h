// The input of a parse: a byte stream decoded into UTF-16 code units, read
// forward one character at a time with a short step back for look-ahead.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/events.h"
#include "base/streams.h"
#include "xml/codepages.h"
#include "xml/xmlstring.h"

// The kinds of text read in runs (ReadTextRun), by the characters besides
// U+0000 that end a run: character data "<" and "&"; a CDATA section "]"; a
// comment "-", blank, line feed and carriage return; a processing
// instruction "?".
enum class TRunKind : uint8_t { CharData, CData, Comment, PI };
// Those characters, one repeated where a kind has fewer than four.
struct TRunStops {
  char A, B, C, D;
};
constexpr TRunStops RunStops(TRunKind kind) {
  switch (kind) {
    case TRunKind::CData: return {']', ']', ']', ']'};
    case TRunKind::Comment: return {'-', ' ', '\n', '\r'};
    case TRunKind::PI: return {'?', '?', '?', '?'};
    default: return {'<', '&', '<', '&'};
  }
}

// The stream is read in two alternating halves of 102,401 bytes, so the
// tokenizer can step back over what it has just looked at, also across the
// boundary between the halves, without reading the stream twice.
//
// The end of the input is the end of the stream's bytes (never a zero byte)
// and it is sticky: ReadChar keeps answering 0 there, and a step back after
// such a read undoes only that read. A real U+0000 in the data, a malformed
// UTF-8 sequence and a UTF-16 text that ends in the middle of a unit raise
// ELkXMLParserError (line 0: the tokenizer counts lines).
class TInputBuffer : public TObject {
 public:
  static constexpr int32_t kHalfSize = 102401;

  TInputBuffer();
  ~TInputBuffer() override;
  TInputBuffer(const TInputBuffer&) = delete;
  TInputBuffer& operator=(const TInputBuffer&) = delete;

  // Binds the stream (not owned), seeks it to its start and reads the first
  // half. FF FE / FE FF select UTF-16 little / big-endian, EF BB BF selects
  // UTF-8; the mark itself is skipped. Otherwise US_ASCII until SetEncoding.
  void LoadFromStream(TStream& stream);
  // Sets the encoding of one-byte mode. After a byte-order mark the mark
  // decides and this only records the ordinal.
  void SetEncoding(TEncoding encoding);
  TEncoding Encoding() const { return encoding_; }
  bool TwoByteMode() const { return twoByte_; }
  bool BigEndian() const { return bigEndian_; }
  bool HasByteOrderMark() const { return bom_; }

  uint8_t ReadByte();  // 0 at the end of the input
  // 0 at the end of the input. An ASCII byte of UTF-8 inside the current
  // half is answered here; everything else takes the full path.
  WideChar ReadChar() {
    if (encoding_ == UTF_8 && !twoByte_ && pendingLow_ == 0) {
      if (pos_ < kHalfSize - 1) {
        if (pos_ + 1 < countA_) {
          uint8_t b = a_[static_cast<std::size_t>(pos_ + 1)];
          if (b != 0 && b < 0x80) {
            ++pos_;
            return b;
          }
        }
      } else if (pos_ >= kHalfSize && pos_ < 2 * kHalfSize && pos_ - kHalfSize < countB_) {
        uint8_t b = b_[static_cast<std::size_t>(pos_ - kHalfSize)];
        if (b != 0 && b < 0x80) {
          ++pos_;
          return b;
        }
      }
    }
    return ReadCharSlow();
  }
  // The character ReadChar would give next when it is an ASCII byte of
  // UTF-8 inside the current half (never 0), else -1; the position stays.
  int PeekAscii() const {
    if (encoding_ == UTF_8 && !twoByte_ && pendingLow_ == 0) {
      uint8_t b = 0;
      if (pos_ < kHalfSize - 1) {
        if (pos_ + 1 < countA_) b = a_[static_cast<std::size_t>(pos_ + 1)];
      } else if (pos_ >= kHalfSize && pos_ < 2 * kHalfSize && pos_ - kHalfSize < countB_) {
        b = b_[static_cast<std::size_t>(pos_ - kHalfSize)];
      }
      if (b != 0 && b < 0x80) return b;
    }
    return -1;
  }
  // The bytes from here to the end of the current half, for a caller that
  // reads ASCII itself: every byte in them below 0x80 but 0 is what
  // ReadChar would give, until the first other byte. Empty outside UTF-8
  // one-byte mode. SkipAscii then steps over the bytes taken.
  const uint8_t* AsciiWindow(int32_t& count) const {
    count = 0;
    if (encoding_ != UTF_8 || twoByte_ || pendingLow_ != 0 || charEnds_ != 0) return nullptr;
    const uint8_t* p = nullptr;
    if (pos_ < kHalfSize - 1) {
      p = a_.get() + (pos_ + 1);
      count = countA_ - (pos_ + 1);
    } else if (pos_ >= kHalfSize && pos_ < 2 * kHalfSize) {
      p = b_.get() + (pos_ - kHalfSize);
      count = countB_ - (pos_ - kHalfSize);
    }
    if (count < 0) count = 0;
    return p;
  }
  void SkipAscii(int32_t n) { pos_ += n; }
  // Appends the run of characters from here on that ReadChar would give
  // one by one, as long as they are ASCII and not marked in `stop` (128
  // entries; entry 0 must be set), within the current half, and leaves the
  // position as those reads would. Appends nothing outside UTF-8 one-byte
  // mode: the caller goes on with ReadChar.
  void ReadAsciiRun(WideString& out, const uint8_t* stop);
  // Appends the run of text from here on that ReadChar would give one by one
  // up to the first character that ends a run of the kind, the end of the
  // input, or a character that is not whole in the current half or would
  // raise, and adds the line feeds in it to `lines`.
  // Appends nothing for one-byte input under an encoding that has no byte
  // table (UTF-16 named without its mark).
  void ReadTextRun(WideString& out, int32_t& lines, TRunKind kind = TRunKind::CharData);
  // At least as many code units as ReadChar can still give: a size for a
  // text that may take up the rest of the input.
  int64_t UnitsLeftAtMost();
  WideString ReadChars(int32_t n);
  void StepBackByte();
  void StepBack();  // one character, whatever its length in bytes
  void StepBackChars(int32_t n);

 private:
  int NextByte();          // -1 at the end; the position stays
  // The half that holds the next byte, that byte's index in it and the
  // half's byte count; false where the next read crosses between the halves.
  bool NextByteInHalf(const uint8_t*& base, int32_t& first, int32_t& limit) const;
  void MoveBackByte();     // the step back of the two-half scheme
  int LastByte() const;    // the data byte at the position (for UTF-8 step back)
  void Fill(uint8_t* half, int32_t& count);
  WideChar ReadCharUTF8();
  WideChar ReadCharSlow();
  // ReadTextRun with the stops of the kind as constants.
  template <TRunKind Kind>
  void ReadRunOf(WideString& out, int32_t& lines);

  TEncoding encoding_ = US_ASCII;
  bool twoByte_ = false;
  bool bigEndian_ = false;
  bool bom_ = false;
  bool bomFixed_ = false;  // a UTF-8 mark fixed the decoding
  TStream* stream_ = nullptr;
  std::unique_ptr<uint8_t[]> a_, b_;
  int32_t countA_ = 0, countB_ = 0;  // valid bytes in each half
  bool filledB_ = false;
  int32_t pos_ = -1;
  bool refill_ = true;
  int32_t byteEnds_ = 0;   // ReadByte calls answered at the end, not yet stepped back
  int32_t charEnds_ = 0;   // the same for ReadChar
  WideChar pendingLow_ = 0;  // low half of a UTF-8 four-byte character not yet read
};

// True on Windows 95 itself (9x platform, version 4.0). Natively false.
bool IsWindows95();
