#include "xml/inputbuffer.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "xml/platform.h"
#include "xml/xmlerrors.h"
#include "xml/xmlstrings.h"

namespace {
constexpr int32_t kHalf = TInputBuffer::kHalfSize;
constexpr int32_t kEndA = kHalf;              // 102,401: A's terminator
constexpr int32_t kFirstB = kHalf + 1;        // 102,402
constexpr int32_t kLastB = 2 * kHalf;         // 204,802
constexpr int32_t kEndB = 2 * kHalf + 1;      // 204,803: B's terminator
}  // namespace

#if defined(__SANITIZE_ADDRESS__)
#define LK_SPARE_HALVES_OFF 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LK_SPARE_HALVES_OFF 1
#endif
#endif

namespace {
// The halves of the last buffer destroyed are kept for the next one: many
// small documents in a row would otherwise have two large blocks made and
// freed for each. Under AddressSanitizer every buffer gets new ones.
#ifndef LK_SPARE_HALVES_OFF
std::atomic<uint8_t*> gSpareHalves[2];
#endif

uint8_t* TakeHalf(int which) {
#ifndef LK_SPARE_HALVES_OFF
  if (uint8_t* p = gSpareHalves[which].exchange(nullptr, std::memory_order_acquire)) return p;
#endif
  return new uint8_t[kHalf + 1];
}

void GiveBackHalf(int which, uint8_t* p) {
  if (!p) return;
#ifndef LK_SPARE_HALVES_OFF
  uint8_t* none = nullptr;
  if (gSpareHalves[which].compare_exchange_strong(none, p, std::memory_order_release)) return;
#endif
  delete[] p;
}
}  // namespace

// The halves are not cleared: only the bytes a fill delivered are ever read.
TInputBuffer::TInputBuffer() : a_(TakeHalf(0)), b_(TakeHalf(1)) {}

TInputBuffer::~TInputBuffer() {
  GiveBackHalf(0, a_.release());
  GiveBackHalf(1, b_.release());
}

void TInputBuffer::Fill(uint8_t* half, int32_t& count) {
  count = 0;
  // A stream may deliver less than asked before its end: read until full or 0.
  while (count < kHalf) {
    int64_t n = stream_->Read(half + count, kHalf - count);
    if (n <= 0) break;
    count += static_cast<int32_t>(n);
  }
}

void TInputBuffer::LoadFromStream(TStream& stream) {
  stream_ = &stream;
  stream.Seek(0, TSeekOrigin::soBeginning);
  Fill(a_.get(), countA_);
  countB_ = 0;
  filledB_ = false;
  pos_ = -1;
  refill_ = true;
  byteEnds_ = charEnds_ = 0;
  pendingLow_ = 0;
  twoByte_ = bigEndian_ = bom_ = bomFixed_ = false;
  encoding_ = US_ASCII;
  const uint8_t* p = a_.get();
  if (countA_ >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
    twoByte_ = true;
    encoding_ = UTF_16;
    pos_ = 1;
    bom_ = true;
  } else if (countA_ >= 2 && p[0] == 0xFE && p[1] == 0xFF) {
    twoByte_ = bigEndian_ = true;
    encoding_ = UTF_16;
    pos_ = 1;
    bom_ = true;
  } else if (countA_ >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
    encoding_ = UTF_8;
    pos_ = 2;
    bom_ = bomFixed_ = true;
  }
}

void TInputBuffer::SetEncoding(TEncoding encoding) {
  if (bomFixed_) return;
  encoding_ = encoding;
}

// Positions: -1 before the first byte, 0..102,400 A's data, 102,401 A's
// end (crossed into B, nothing read there yet), 102,402..204,802 B's data,
// 204,803 B's end (crossed into A). The position is that of the last byte
// read; it moves only when a byte is delivered or a boundary is crossed.
int TInputBuffer::NextByte() {
  if (!stream_) return -1;
  int32_t next = pos_ == kEndB ? 0 : pos_ + 1;
  if (next == kEndA) {
    // Only a full half has a successor; a short one ended the input.
    if (countA_ < kHalf) return -1;
    if (refill_) {
      Fill(b_.get(), countB_);
      filledB_ = true;
    } else {
      refill_ = true;
    }
    pos_ = kEndA;
    next = kFirstB;
  } else if (next == kEndB) {
    if (countB_ < kHalf) return -1;
    if (refill_)
      Fill(a_.get(), countA_);
    else
      refill_ = true;
    pos_ = kEndB;
    next = 0;
  }
  if (next < kEndA) {
    if (next >= countA_) return -1;
    pos_ = next;
    return a_[static_cast<std::size_t>(next)];
  }
  if (next - kFirstB >= countB_) return -1;
  pos_ = next;
  return b_[static_cast<std::size_t>(next - kFirstB)];
}

// Stepping back over a boundary clears the refill flag, so crossing it
// forward again reuses the half that still holds the bytes.
void TInputBuffer::MoveBackByte() {
  switch (pos_) {
    case -1:
      return;  // nothing read yet
    case 0:
      if (!filledB_) {
        pos_ = -1;  // back before the first byte
        return;
      }
      pos_ = kLastB;
      refill_ = false;
      return;
    case kFirstB:
      pos_ = kEndA - 1;
      refill_ = false;
      return;
    case kEndA:
      pos_ = kEndA - 2;
      refill_ = false;
      return;
    case kEndB:
      pos_ = kLastB - 1;
      refill_ = false;
      return;
    default:
      --pos_;
  }
}

int TInputBuffer::LastByte() const {
  int32_t p = pos_;
  if (p == kEndA) p = kEndA - 1;
  if (p == kEndB) p = kLastB;
  if (p < 0) return -1;
  return p < kEndA ? a_[static_cast<std::size_t>(p)] : b_[static_cast<std::size_t>(p - kFirstB)];
}

uint8_t TInputBuffer::ReadByte() {
  int b = NextByte();
  if (b < 0) {
    ++byteEnds_;
    return 0;
  }
  return static_cast<uint8_t>(b);
}

void TInputBuffer::StepBackByte() {
  if (byteEnds_ > 0) {
    --byteEnds_;
    return;
  }
  MoveBackByte();
}

WideChar TInputBuffer::ReadCharUTF8() {
  if (pendingLow_ != 0) {
    WideChar low = pendingLow_;
    pendingLow_ = 0;
    return low;
  }
  int b = NextByte();
  if (b < 0) {
    ++charEnds_;
    return 0;
  }
  if (b == 0) throw ELkXMLParserError(kMsgNulInInput, 0);
  if (b < 0x80) return static_cast<WideChar>(b);
  unsigned char seq[4] = {static_cast<unsigned char>(b)};
  int len = Utf8SequenceLength(seq[0]);
  if (len == 0) throw ELkXMLParserError(kMsgMalformedUTF8, 0);
  for (int i = 1; i < len; ++i) {
    int c = NextByte();
    if (c < 0 || (c & 0xC0) != 0x80) throw ELkXMLParserError(kMsgMalformedUTF8, 0);
    seq[i] = static_cast<unsigned char>(c);
  }
  uint32_t cp = 0;
  if (DecodeUtf8(seq, static_cast<std::size_t>(len), cp) == 0) throw ELkXMLParserError(kMsgMalformedUTF8, 0);
  if (cp < 0x10000) return static_cast<WideChar>(cp);
  WideString pair = CodePointToUtf16(cp);
  pendingLow_ = pair[1];
  return pair[0];
}

WideChar TInputBuffer::ReadCharSlow() {
  if (twoByte_) {
    int first = NextByte();
    if (first < 0) {
      ++charEnds_;
      return 0;
    }
    int second = NextByte();
    if (second < 0) throw ELkXMLParserError(kMsgOddUTF16, 0);
    WideChar c = bigEndian_ ? MakeWideChar(static_cast<uint8_t>(first), static_cast<uint8_t>(second))
                            : MakeWideChar(static_cast<uint8_t>(second), static_cast<uint8_t>(first));
    if (c == 0) throw ELkXMLParserError(kMsgNulInInput, 0);
    return c;
  }
  if (encoding_ == UTF_8) return ReadCharUTF8();
  int b = NextByte();
  if (b < 0) {
    ++charEnds_;
    return 0;
  }
  if (b == 0) throw ELkXMLParserError(kMsgNulInInput, 0);
  return ByteToWide(static_cast<uint8_t>(b), encoding_);
}

WideString TInputBuffer::ReadChars(int32_t n) {
  WideString s;
  s.reserve(n > 0 ? static_cast<std::size_t>(n) : 0);
  for (int32_t i = 0; i < n; ++i) s += ReadChar();
  return s;
}

// The next byte lies in A for positions -1 .. 102,399 and in B for
// 102,401 .. 204,801; at the other positions ReadChar crosses a boundary.
inline bool TInputBuffer::NextByteInHalf(const uint8_t*& base, int32_t& first, int32_t& limit) const {
  if (pos_ < kEndA - 1) {
    base = a_.get();
    first = pos_ + 1;
    limit = countA_;
    return true;
  }
  if (pos_ >= kEndA && pos_ < kLastB) {
    base = b_.get();
    first = pos_ + 1 - kFirstB;
    limit = countB_;
    return true;
  }
  return false;
}

void TInputBuffer::ReadAsciiRun(WideString& out, const uint8_t* stop) {
  if (encoding_ != UTF_8 || twoByte_ || pendingLow_ != 0 || charEnds_ != 0) return;
  const uint8_t* base;
  int32_t first, limit;
  if (!NextByteInHalf(base, first, limit)) return;
  auto stops = [&](int32_t k) {
    const uint8_t b = base[k];
    return b >= 0x80 || stop[b] != 0;
  };
  int32_t i = first;
  // Names and most literals end within a few bytes: the first 16 are tested
  // one by one. Past them whole blocks of 16: testing a block without
  // stopping early is much faster than a test per byte, which is left for
  // the block that holds the stop.
  const int32_t head = std::min(limit, first + 16);
  while (i < head && !stops(i)) ++i;
  if (i == head) {
    while (limit - i >= 16) {
      unsigned bad = 0;
      for (int k = 0; k < 16; ++k) {
        uint8_t b = base[i + k];
        bad |= (b >> 7) | stop[b & 0x7F];
      }
      if (bad) break;
      i += 16;
    }
    while (i < limit && !stops(i)) ++i;
  }
  if (i == first) return;
  const std::size_t old = out.size(), n = static_cast<std::size_t>(i - first);
  out.resize(old + n);
  WideChar* to = out.data() + old;
  const uint8_t* from = base + first;
  for (std::size_t k = 0; k < n; ++k) to[k] = from[k];
  pos_ += i - first;
}

namespace {
// What ends any run of text: 1 for the bytes ReadChar would not give as
// themselves, 2 for a line feed. In UTF-8 every ASCII byte but 0 stands for
// itself; the single-byte tables have no character for the other control
// bytes and 7F. The stops of the kind of text come on top.
enum : uint8_t { kRunEnd = 1, kLineFeed = 2 };
constexpr uint8_t TextClass(int b, bool singleByte) {
  if (b == 0 || b >= 0x80) return kRunEnd;
  if (b == '\n') return kLineFeed;
  if (singleByte && ((b < 0x20 && b != '\t' && b != '\r') || b == 0x7F)) return kRunEnd;
  return 0;
}
struct TTextClasses {
  uint8_t Of[2][256];
  constexpr TTextClasses() : Of() {
    for (int b = 0; b < 256; ++b) {
      Of[0][b] = TextClass(b, false);
      Of[1][b] = TextClass(b, true);
    }
  }
};
constexpr TTextClasses kTextClasses;

template <char A, char B, char C, char D>
inline bool IsStop(uint8_t b) {
  return b == static_cast<uint8_t>(A) || b == static_cast<uint8_t>(B) || b == static_cast<uint8_t>(C) ||
         b == static_cast<uint8_t>(D);
}

#ifdef __SSE2__
// The bits set in a mask of a few line feeds: without a popcount
// instruction std::popcount is a library call.
inline int32_t CountBits(unsigned mask) {
  int32_t n = 0;
  for (; mask != 0; mask &= mask - 1) ++n;
  return n;
}
#endif

// How many of the n bytes at p belong to the run; the line feeds among them
// are added to `lines`.
template <char A, char B, char C, char D>
std::size_t TextRunLength(const uint8_t* p, std::size_t n, bool singleByte, int32_t& lines) {
  std::size_t i = 0;
#ifdef __SSE2__
  // Sixteen bytes at a time: a mask of the bytes that end the run and one of
  // the line feeds.
  const __m128i a = _mm_set1_epi8(A), b2 = _mm_set1_epi8(B), c = _mm_set1_epi8(C);
  const __m128i d = _mm_set1_epi8(D), feed = _mm_set1_epi8('\n');
  const __m128i zero = _mm_setzero_si128(), space = _mm_set1_epi8(0x20), del = _mm_set1_epi8(0x7F);
  const __m128i tab = _mm_set1_epi8('\t'), cr = _mm_set1_epi8('\r');
  for (; n - i >= 16; i += 16) {
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const __m128i feeds = _mm_cmpeq_epi8(b, feed);
    // A byte's high bit set: not ASCII.
    __m128i end = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(b, a), _mm_cmpeq_epi8(b, b2)),
                               _mm_or_si128(_mm_cmpeq_epi8(b, c), _mm_cmpeq_epi8(b, d)));
    end = _mm_or_si128(end, _mm_or_si128(_mm_cmpeq_epi8(b, zero), b));
    if (singleByte) {
      const __m128i kept = _mm_or_si128(_mm_or_si128(feeds, _mm_cmpeq_epi8(b, tab)), _mm_cmpeq_epi8(b, cr));
      const __m128i control = _mm_andnot_si128(kept, _mm_cmplt_epi8(b, space));
      end = _mm_or_si128(end, _mm_or_si128(control, _mm_cmpeq_epi8(b, del)));
    }
    const unsigned ends = static_cast<unsigned>(_mm_movemask_epi8(end));
    unsigned lfs = static_cast<unsigned>(_mm_movemask_epi8(feeds));
    if (ends != 0) {
      const int k = std::countr_zero(ends);
      lines += CountBits(lfs & ((1u << k) - 1));
      return i + static_cast<std::size_t>(k);
    }
    lines += CountBits(lfs);
  }
#else
  // Eight bytes at a time: one test for the whole block.
  const uint8_t* classes = kTextClasses.Of[singleByte ? 1 : 0];
  for (; n - i >= 8; i += 8) {
    unsigned all = 0, feeds = 0;
    for (int k = 0; k < 8; ++k) {
      const uint8_t b = p[i + k];
      const unsigned c = classes[b] | (IsStop<A, B, C, D>(b) ? kRunEnd : 0);
      all |= c;
      feeds += c >> 1;
    }
    if (all & kRunEnd) break;
    lines += static_cast<int32_t>(feeds);
  }
#endif
  const uint8_t* table = kTextClasses.Of[singleByte ? 1 : 0];
  for (; i < n; ++i) {
    const uint8_t c = table[p[i]];
    if ((c & kRunEnd) || IsStop<A, B, C, D>(p[i])) break;
    lines += c >> 1;
  }
  return i;
}

// ASCII bytes as UTF-16 code units.
void Widen(const uint8_t* from, std::size_t n, WideChar* to) {
  std::size_t i = 0;
#ifdef __SSE2__
  const __m128i zero = _mm_setzero_si128();
  for (; n - i >= 16; i += 16) {
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), _mm_unpacklo_epi8(b, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i + 8), _mm_unpackhi_epi8(b, zero));
  }
#endif
  for (; i < n; ++i) to[i] = from[i];
}

// How many of the n two-byte units at p belong to the run (a unit that is
// U+0000 or a stop ends it), written to `to`; the line feeds among them are
// added to `lines`.
template <char A, char B, char C, char D>
std::size_t TwoByteRun(const uint8_t* p, std::size_t n, bool bigEndian, WideChar* to, int32_t& lines) {
  std::size_t i = 0;
#ifdef __SSE2__
  // Eight units at a time, each compared whole.
  const __m128i a = _mm_set1_epi16(A), b2 = _mm_set1_epi16(B), c = _mm_set1_epi16(C);
  const __m128i d = _mm_set1_epi16(D), feed = _mm_set1_epi16('\n'), zero = _mm_setzero_si128();
  for (; n - i >= 8; i += 8) {
    __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * i));
    if (bigEndian) u = _mm_or_si128(_mm_slli_epi16(u, 8), _mm_srli_epi16(u, 8));
    __m128i end = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(u, a), _mm_cmpeq_epi16(u, b2)),
                               _mm_or_si128(_mm_cmpeq_epi16(u, c), _mm_cmpeq_epi16(u, d)));
    end = _mm_or_si128(end, _mm_cmpeq_epi16(u, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), u);
    const unsigned ends = static_cast<unsigned>(_mm_movemask_epi8(end));
    const unsigned lfs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(u, feed)));
    if (ends != 0) {
      const int k = std::countr_zero(ends);  // two bits a unit
      lines += CountBits(lfs & ((1u << k) - 1)) / 2;
      return i + static_cast<std::size_t>(k / 2);
    }
    lines += CountBits(lfs) / 2;
  }
#endif
  for (; i < n; ++i) {
    const WideChar u = bigEndian ? MakeWideChar(p[2 * i], p[2 * i + 1]) : MakeWideChar(p[2 * i + 1], p[2 * i]);
    if (u == 0 || (u < 0x80 && IsStop<A, B, C, D>(static_cast<uint8_t>(u)))) break;
    if (u == u'\n') ++lines;
    to[i] = u;
  }
  return i;
}
}  // namespace

namespace {
// The bytes of the two- and three-byte UTF-8 sequences from base[i] on
// (before limit), decoded into out; 0 when none is there. What DecodeUtf8
// refuses (overlong forms, surrogates) ends them.
int32_t DecodeLetters(const uint8_t* base, int32_t i, int32_t limit, WideString& out) {
  const int32_t from = i;
  for (;;) {
    const uint8_t b = base[i];
    if (b >= 0xC2 && b <= 0xDF && i + 1 < limit && (base[i + 1] & 0xC0) == 0x80) {
      out += static_cast<WideChar>(((b & 0x1F) << 6) | (base[i + 1] & 0x3F));
      i += 2;
    } else if (b >= 0xE0 && b <= 0xEF && i + 2 < limit && (base[i + 1] & 0xC0) == 0x80 &&
               (base[i + 2] & 0xC0) == 0x80) {
      const unsigned cp = ((b & 0x0Fu) << 12) | ((base[i + 1] & 0x3Fu) << 6) | (base[i + 2] & 0x3Fu);
      if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) break;
      out += static_cast<WideChar>(cp);
      i += 3;
    } else {
      break;
    }
    if (i >= limit) break;
  }
  return i - from;
}
}  // namespace

void TInputBuffer::ReadTextRun(WideString& out, int32_t& lines, TRunKind kind) {
  switch (kind) {
    case TRunKind::CharData: return ReadRunOf<TRunKind::CharData>(out, lines);
    case TRunKind::CData: return ReadRunOf<TRunKind::CData>(out, lines);
    case TRunKind::Comment: return ReadRunOf<TRunKind::Comment>(out, lines);
    case TRunKind::PI: return ReadRunOf<TRunKind::PI>(out, lines);
  }
}

template <TRunKind Kind>
void TInputBuffer::ReadRunOf(WideString& out, int32_t& lines) {
  constexpr TRunStops kStops = RunStops(Kind);
  constexpr char A = kStops.A, B = kStops.B, C = kStops.C, D = kStops.D;
  if (pendingLow_ != 0 || charEnds_ != 0) return;
  const bool singleByte = !twoByte_ && IsSingleByteEncoding(encoding_);
  if (!twoByte_ && encoding_ != UTF_8 && !singleByte) return;
  const uint8_t* base;
  int32_t first, limit;
  if (!NextByteInHalf(base, first, limit)) return;
  if (twoByte_) {
    // Units whole in this half, a piece at a time; one cut by the end of the
    // half is left to ReadChar.
    constexpr std::size_t kUnits = 2048;
    int32_t i = first;
    for (;;) {
      const std::size_t piece = std::min(static_cast<std::size_t>((limit - i) / 2), kUnits);
      if (piece == 0) break;
      const std::size_t old = out.size();
      out.resize(old + piece);
      const std::size_t k = TwoByteRun<A, B, C, D>(base + i, piece, bigEndian_, out.data() + old, lines);
      out.resize(old + k);
      i += static_cast<int32_t>(2 * k);
      if (k < piece) break;
    }
    pos_ += i - first;
    return;
  }
  // Scanned a piece at a time, so that widening finds the piece in the cache
  // and the text grows by exactly what it takes.
  constexpr int32_t kPiece = 4096;
  const uint16_t* row = singleByte ? CodePageTables[encoding_ - 1] : nullptr;
  int32_t i = first;
  while (i < limit) {
    const std::size_t piece = static_cast<std::size_t>(std::min(limit - i, kPiece));
    const std::size_t k = TextRunLength<A, B, C, D>(base + i, piece, singleByte, lines);
    if (k > 0) {
      const std::size_t old = out.size();
      out.resize(old + k);
      Widen(base + i, k, out.data() + old);
      i += static_cast<int32_t>(k);
    }
    if (k == piece) continue;
    // A character that is not ASCII joins the run when it is whole in this
    // half and decodes as ReadChar would decode it; anything else (also an
    // error) is left to ReadChar.
    const uint8_t b = base[i];
    if (b < 0x80) break;
    if (row) {
      if (row[b] == 0) break;
      out += static_cast<WideChar>(row[b]);
      ++i;
      continue;
    }
    // Two- and three-byte sequences (letters and ideographs beyond ASCII)
    // one after another without a call each; only well-formed ones.
    if (const int32_t taken = DecodeLetters(base, i, limit, out)) {
      i += taken;
      continue;
    }
    uint32_t cp = 0;
    const int len = DecodeUtf8(base + i, static_cast<std::size_t>(limit - i), cp);
    if (len == 0) break;
    if (cp < 0x10000) {
      out += static_cast<WideChar>(cp);
    } else {
      out += static_cast<WideChar>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<WideChar>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
    i += len;
  }
  pos_ += i - first;
}

int64_t TInputBuffer::UnitsLeftAtMost() {
  if (!stream_) return 0;
  // No byte gives more than one unit; the halves may hold up to two of
  // their sizes not yet read.
  const int64_t unread = stream_->Size() - stream_->Position();
  return (unread > 0 ? unread : 0) + 2 * int64_t{kHalf};
}

void TInputBuffer::StepBack() {
  if (charEnds_ > 0) {
    --charEnds_;
    return;
  }
  if (twoByte_) {
    MoveBackByte();
    MoveBackByte();
    return;
  }
  if (encoding_ != UTF_8) {
    MoveBackByte();
    return;
  }
  if (pendingLow_ != 0) {
    // Only the high half of a four-byte character was read: undo it whole.
    pendingLow_ = 0;
    for (int i = 0; i < 4; ++i) MoveBackByte();
    return;
  }
  // Back over the continuation bytes to the lead byte.
  unsigned char seq[4];
  int n = 0;
  int b;
  do {
    b = LastByte();
    if (b < 0) return;
    seq[n++] = static_cast<unsigned char>(b);
    MoveBackByte();
  } while ((b & 0xC0) == 0x80 && n < 4);
  if (n == 4) {
    // Both halves of a pair were read: give the low half again next.
    unsigned char fwd[4] = {seq[3], seq[2], seq[1], seq[0]};
    uint32_t cp = 0;
    DecodeUtf8(fwd, 4, cp);
    for (int i = 0; i < 4; ++i) NextByte();
    pendingLow_ = CodePointToUtf16(cp)[1];
  }
}

void TInputBuffer::StepBackChars(int32_t n) {
  for (int32_t i = 0; i < n; ++i) StepBack();
}

bool IsWindows95() { return XMLPlatform().IsWindows95 ? XMLPlatform().IsWindows95() : false; }
