#include "shared/core/lh5.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "shared/core/errors.h"

namespace {

constexpr int kWindow = 8192;
constexpr int kMaxMatch = 256;
constexpr int kMinMatch = 3;
constexpr int NC = 256 + kMaxMatch - kMinMatch + 1;  // 510: literals, then lengths 3..256
constexpr int NP = 14;                                // distance classes 0..13
constexpr int NT = 19;                                // code-length code
constexpr int CBIT = 9;
constexpr int PBIT = 4;
constexpr int TBIT = 5;
constexpr int kMaxCodeLength = 16;

[[noreturn]] void Corrupt() { throw ECorruptFile("Compressed file is corrupt"); }

// Bit length of a stored distance: its distance class.
int DistanceClass(unsigned value) {
  int c = 0;
  while (value) {
    value >>= 1;
    ++c;
  }
  return c;
}

// ---------------------------------------------------------------------------
// Expander

// Most significant bit first; past the end of the data it reads zero bits.
class TBitReader {
 public:
  TBitReader(const unsigned char* data, std::size_t size) : p_(data), end_(data + size) {}

  // Makes at least 56 bits available.
  void Fill() {
    if (count_ > 56) return;
    if (end_ - p_ >= 8) {
      uint64_t v = 0;
      for (int i = 0; i < 8; ++i) v = v << 8 | p_[i];
      // Re-reading the byte half taken last time ORs in the same bits.
      buf_ |= v >> count_;
      const int bytes = (63 - count_) >> 3;
      p_ += bytes;
      count_ += bytes * 8;
      return;
    }
    while (count_ <= 56) {
      const uint64_t byte = p_ < end_ ? *p_++ : 0;
      buf_ |= byte << (56 - count_);
      count_ += 8;
    }
  }
  // The next n bits (n <= 32) without taking them; Fill first.
  uint32_t Peek(int n) const { return n ? static_cast<uint32_t>(buf_ >> (64 - n)) : 0; }
  void Skip(int n) {
    buf_ <<= n;
    count_ -= n;
  }
  uint32_t Get(int n) {
    Fill();
    const uint32_t v = Peek(n);
    Skip(n);
    return v;
  }

 private:
  const unsigned char* p_;
  const unsigned char* end_;
  uint64_t buf_ = 0;  // valid bits at the top
  int count_ = 0;
};

// Canonical Huffman decoding: a table indexed by the next `bits` bits, and
// for longer codes a second table under the entry of their first `bits` bits.
class TDecodeTable {
 public:
  explicit TDecodeTable(int bits) : bits_(bits), primary_(std::size_t(1) << bits) {}

  // Every lookup gives `symbol` and takes no bits.
  void SetSingle(int symbol) { std::fill(primary_.begin(), primary_.end(), uint32_t(symbol)); }

  void Build(int symbols, const uint8_t* lengths) {
    int count[kMaxCodeLength + 1] = {};
    for (int i = 0; i < symbols; ++i) count[lengths[i]]++;
    // The code must fill the 16-bit code space exactly: summing in 16 bits
    // would let an over-full set wrap round to "complete".
    uint32_t space = 0;
    for (int l = 1; l <= kMaxCodeLength; ++l) space += uint32_t(count[l]) << (kMaxCodeLength - l);
    if (space != 1u << kMaxCodeLength) Corrupt();

    uint32_t next[kMaxCodeLength + 2];
    next[1] = 0;
    for (int l = 1; l <= kMaxCodeLength; ++l) next[l + 1] = (next[l] + count[l]) << 1;

    const int subBits = kMaxCodeLength - bits_;
    const uint32_t subSize = 1u << subBits;
    secondary_.clear();
    std::fill(primary_.begin(), primary_.end(), 0u);
    for (int s = 0; s < symbols; ++s) {
      const int l = lengths[s];
      if (l == 0) continue;
      const uint32_t code16 = next[l]++ << (kMaxCodeLength - l);
      const uint32_t entry = uint32_t(l) << 16 | uint32_t(s);
      if (l <= bits_) {
        const uint32_t first = code16 >> subBits;
        std::fill_n(primary_.begin() + first, std::size_t(1) << (bits_ - l), entry);
      } else {
        uint32_t& head = primary_[code16 >> subBits];
        if (!(head & kSubTable)) {
          head = kSubTable | static_cast<uint32_t>(secondary_.size());
          secondary_.resize(secondary_.size() + subSize);
        }
        const uint32_t at = (head & 0xFFFF) + (code16 & (subSize - 1));
        std::fill_n(secondary_.begin() + at, std::size_t(1) << (kMaxCodeLength - l), entry);
      }
    }
  }

  // Fill the reader first.
  int Decode(TBitReader& in) const {
    uint32_t e = primary_[in.Peek(bits_)];
    if (e & kSubTable) {
      const uint32_t mask = (1u << (kMaxCodeLength - bits_)) - 1;
      e = secondary_[(e & 0xFFFF) + (in.Peek(kMaxCodeLength) & mask)];
    }
    in.Skip(static_cast<int>(e >> 16));
    return static_cast<int>(e & 0xFFFF);
  }

 private:
  static constexpr uint32_t kSubTable = 0x80000000u;
  int bits_;
  std::vector<uint32_t> primary_;    // length << 16 | symbol, or kSubTable | offset
  std::vector<uint32_t> secondary_;
};

class TExpander {
 public:
  TExpander(const unsigned char* data, std::size_t size) : in_(data, size) {}

  void Run(unsigned char* out, std::size_t size) {
    std::size_t pos = 0;
    while (pos < size) {
      if (blockLeft_ == 0) ReadBlockHeader();
      --blockLeft_;
      in_.Fill();
      const int c = literals_.Decode(in_);
      if (c < 256) {
        out[pos++] = static_cast<unsigned char>(c);
        continue;
      }
      std::size_t length = std::size_t(c) - (256 - kMinMatch);
      const int cls = distances_.Decode(in_);
      std::size_t distance = cls <= 1 ? cls : (std::size_t(1) << (cls - 1)) + in_.Peek(cls - 1);
      if (cls > 1) in_.Skip(cls - 1);
      distance += 1;
      // A copy from before the first byte would read what was never written.
      if (distance > pos) Corrupt();
      length = std::min(length, size - pos);
      unsigned char* to = out + pos;
      const unsigned char* from = to - distance;
      if (distance >= length) {
        std::memcpy(to, from, length);
      } else {
        for (std::size_t i = 0; i < length; ++i) to[i] = from[i];  // overlapping: repeats the pattern
      }
      pos += length;
    }
  }

 private:
  void ReadBlockHeader() {
    blockLeft_ = in_.Get(16);
    if (blockLeft_ == 0) Corrupt();
    ReadCodeLengths(NT, TBIT, 3, lengthCode_);
    ReadLiteralLengths();
    ReadCodeLengths(NP, PBIT, -1, distances_);
  }

  // How many code lengths follow. A count of 0 is followed by the one
  // symbol every code of the table stands for: the table is set to it and
  // 0 is answered.
  int ReadLengthCount(int symbols, int countBits, TDecodeTable& table) {
    const int n = static_cast<int>(in_.Get(countBits));
    if (n == 0) {
      const int only = static_cast<int>(in_.Get(countBits));
      if (only >= symbols) Corrupt();
      table.SetSingle(only);
      return 0;
    }
    if (n > symbols) Corrupt();
    return n;
  }

  // The code-length code and the distance-class code.
  void ReadCodeLengths(int symbols, int countBits, int gapAfter, TDecodeTable& table) {
    const int n = ReadLengthCount(symbols, countBits, table);
    if (n == 0) return;
    uint8_t lengths[NT] = {};
    int i = 0;
    while (i < n) {
      int l = static_cast<int>(in_.Get(3));
      if (l == 7) {
        while (in_.Get(1)) {
          if (++l > kMaxCodeLength) Corrupt();
        }
      }
      lengths[i++] = static_cast<uint8_t>(l);
      if (i == gapAfter) i += static_cast<int>(in_.Get(2));  // those lengths stay 0
    }
    table.Build(symbols, lengths);
  }

  void ReadLiteralLengths() {
    const int n = ReadLengthCount(NC, CBIT, literals_);
    if (n == 0) return;
    uint8_t lengths[NC] = {};
    int i = 0;
    while (i < n) {
      in_.Fill();
      const int c = lengthCode_.Decode(in_);
      if (c > 2) {
        lengths[i++] = static_cast<uint8_t>(c - 2);
        continue;
      }
      const int zeros = c == 0 ? 1 : c == 1 ? static_cast<int>(in_.Get(4)) + 3 : static_cast<int>(in_.Get(CBIT)) + 20;
      if (i + zeros > NC) Corrupt();
      i += zeros;
    }
    literals_.Build(NC, lengths);
  }

  TBitReader in_;
  uint32_t blockLeft_ = 0;
  TDecodeTable lengthCode_{8};
  TDecodeTable literals_{12};
  TDecodeTable distances_{8};
};

// ---------------------------------------------------------------------------
// Compressor

class TBitWriter {
 public:
  explicit TBitWriter(std::vector<unsigned char>& out) : out_(out) {}
  void Put(int n, uint32_t value) {
    if (n == 0) return;
    acc_ = acc_ << n | (value & ((1u << n) - 1));
    count_ += n;
    while (count_ >= 8) {
      count_ -= 8;
      out_.push_back(static_cast<unsigned char>(acc_ >> count_));
    }
  }
  // Pads the partial byte with zero bits.
  void Flush() {
    if (count_ > 0) Put(8 - count_, 0);
  }

 private:
  std::vector<unsigned char>& out_;
  uint64_t acc_ = 0;
  int count_ = 0;
};

// A Huffman code built the way the LHA encoders build it, so the code
// lengths (and hence the bytes) follow from the symbol frequencies alone.
struct THuffmanCode {
  uint8_t length[NC];
  uint16_t code[NC];
};

class TTreeBuilder {
 public:
  // Returns the root: a symbol (< n) when fewer than two symbols occur,
  // whose length is then 0; otherwise an inner node (>= n).
  int Make(int n, const uint32_t* symbolFreq, THuffmanCode& out) {
    n_ = n;
    std::copy(symbolFreq, symbolFreq + n, freq_);
    heapSize_ = 0;
    heap_[1] = 0;
    for (int i = 0; i < n; ++i) {
      out.length[i] = 0;
      if (freq_[i]) heap_[++heapSize_] = i;
    }
    if (heapSize_ < 2) {
      out.code[heap_[1]] = 0;
      return heap_[1];
    }
    for (int i = heapSize_ / 2; i >= 1; --i) DownHeap(i);

    int leaves = 0;
    int avail = n;
    int k;
    do {
      const int i = heap_[1];
      if (i < n) order_[leaves++] = i;
      heap_[1] = heap_[heapSize_--];
      DownHeap(1);
      const int j = heap_[1];
      if (j < n) order_[leaves++] = j;
      k = avail++;
      freq_[k] = freq_[i] + freq_[j];
      heap_[1] = k;
      DownHeap(1);
      left_[k] = i;
      right_[k] = j;
    } while (heapSize_ > 1);

    MakeLengths(k, out);
    MakeCodes(out);
    return k;
  }

  uint32_t Frequency(int node) const { return freq_[node]; }

 private:
  void DownHeap(int i) {
    const int k = heap_[i];
    int j;
    while ((j = 2 * i) <= heapSize_) {
      if (j < heapSize_ && freq_[heap_[j]] > freq_[heap_[j + 1]]) ++j;
      if (freq_[k] <= freq_[heap_[j]]) break;
      heap_[i] = heap_[j];
      i = j;
    }
    heap_[i] = k;
  }

  void CountLengths(int node, int depth) {
    if (node < n_) {
      lengthCount_[std::min(depth, kMaxCodeLength)]++;
      return;
    }
    CountLengths(left_[node], depth + 1);
    CountLengths(right_[node], depth + 1);
  }

  void MakeLengths(int root, THuffmanCode& out) {
    std::fill(std::begin(lengthCount_), std::end(lengthCount_), 0);
    CountLengths(root, 0);
    // Depths past 16 were counted as 16, which over-fills the code space;
    // move codes down until it is exactly full.
    uint32_t space = 0;
    for (int l = 1; l <= kMaxCodeLength; ++l) space += uint32_t(lengthCount_[l]) << (kMaxCodeLength - l);
    while (space > (1u << kMaxCodeLength)) {
      lengthCount_[kMaxCodeLength]--;
      for (int l = kMaxCodeLength - 1; l >= 1; --l) {
        if (lengthCount_[l]) {
          lengthCount_[l]--;
          lengthCount_[l + 1] += 2;
          break;
        }
      }
      --space;
    }
    // The least frequent leaves, taken first from the heap, get the longest codes.
    int at = 0;
    for (int l = kMaxCodeLength; l >= 1; --l) {
      for (int c = lengthCount_[l]; c > 0; --c) out.length[order_[at++]] = static_cast<uint8_t>(l);
    }
  }

  void MakeCodes(THuffmanCode& out) const {
    int count[kMaxCodeLength + 1] = {};
    for (int i = 0; i < n_; ++i) count[out.length[i]]++;
    uint16_t next[kMaxCodeLength + 2];
    next[1] = 0;
    for (int l = 1; l <= kMaxCodeLength; ++l) next[l + 1] = static_cast<uint16_t>((next[l] + count[l]) << 1);
    for (int i = 0; i < n_; ++i) {
      if (out.length[i]) out.code[i] = next[out.length[i]]++;
    }
  }

  int n_ = 0;
  uint32_t freq_[2 * NC];
  int left_[2 * NC];
  int right_[2 * NC];
  int heap_[NC + 1];
  int heapSize_ = 0;
  int order_[NC];
  int lengthCount_[kMaxCodeLength + 1];
};

class TCompressor {
 public:
  explicit TCompressor(std::vector<unsigned char>& out) : bits_(out) {
    std::fill(std::begin(head_), std::end(head_), -1);
  }

  void Run(const unsigned char* data, int64_t size) {
    data_ = data;
    size_ = size;
    // The loop of the LHA encoders: a match found at one position is used
    // only when the match at the next position is not longer (one step of
    // lazy matching).
    int64_t pos = 0;
    Match current = FindAndInsert(pos);
    while (pos < size_) {
      const Match last = current;
      ++pos;
      current = FindAndInsert(pos);
      if (current.length > last.length || last.length < kMinMatch) {
        Output(data_[pos - 1], 0);
      } else {
        const unsigned stored = static_cast<unsigned>(pos - 1 - last.position - 1);
        Output(last.length + (256 - kMinMatch), stored);
        // The match covers pos - 1 .. pos + last.length - 2: the positions
        // inside it are only entered, the one after it is searched.
        for (int i = 0; i < last.length - 2; ++i) Insert(++pos);
        current = FindAndInsert(++pos);
      }
    }
    SendBlock();
    bits_.Put(7, 0);
    bits_.Flush();
  }

 private:
  struct Match {
    int length = 0;
    int64_t position = 0;
  };

  static constexpr int kHashBits = 15;
  static constexpr int kChainDepth = 256;
  static constexpr int kMaxDistance = kWindow - 1;
  static constexpr int kBlockBuffer = 16384;
  static constexpr int kBlockLimit = kBlockBuffer - 24;  // room for a group of eight matches

  uint32_t Hash(int64_t pos) const {
    const unsigned char* p = data_ + pos;
    return ((uint32_t(p[0]) << 10) ^ (uint32_t(p[1]) << 5) ^ p[2]) & ((1u << kHashBits) - 1);
  }

  void Insert(int64_t pos) {
    if (pos + kMinMatch > size_) return;
    const uint32_t h = Hash(pos);
    prev_[pos & (kWindow - 1)] = head_[h];
    head_[h] = static_cast<int32_t>(pos);
  }

  // The longest match for `pos` among the earlier positions of the window,
  // the nearest one when several are as long; then enters `pos`.
  Match FindAndInsert(int64_t pos) {
    Match best;
    const int64_t left = size_ - pos;
    if (left < kMinMatch) return best;
    const int maxLength = static_cast<int>(std::min<int64_t>(kMaxMatch, left));
    const unsigned char* here = data_ + pos;
    int bestLength = kMinMatch - 1;
    int64_t candidate = head_[Hash(pos)];
    for (int depth = kChainDepth; candidate >= 0 && pos - candidate <= kMaxDistance && depth > 0; --depth) {
      const unsigned char* there = data_ + candidate;
      if (there[bestLength] == here[bestLength] && there[0] == here[0] && there[1] == here[1]) {
        int length = 2;
        while (length < maxLength && there[length] == here[length]) ++length;
        if (length > bestLength) {
          bestLength = length;
          best.length = length;
          best.position = candidate;
          if (length == maxLength) break;
        }
      }
      candidate = prev_[candidate & (kWindow - 1)];
    }
    Insert(pos);
    return best;
  }

  void Output(int symbol, unsigned stored) {
    mask_ >>= 1;
    if (mask_ == 0) {
      mask_ = 0x80;
      if (bufPos_ >= kBlockLimit) {
        SendBlock();
        bufPos_ = 0;
      }
      flagPos_ = bufPos_++;
      buf_[flagPos_] = 0;
    }
    buf_[bufPos_++] = static_cast<unsigned char>(symbol);
    literalFreq_[symbol]++;
    if (symbol >= 256) {
      buf_[flagPos_] |= mask_;
      buf_[bufPos_++] = static_cast<unsigned char>(stored >> 8);
      buf_[bufPos_++] = static_cast<unsigned char>(stored);
      distanceFreq_[DistanceClass(stored)]++;
    }
  }

  void SendBlock() {
    const int root = tree_.Make(NC, literalFreq_, literals_);
    const uint32_t symbols = tree_.Frequency(root);
    if (symbols == 0) return;
    bits_.Put(16, symbols);
    if (root >= NC) {
      CountLengthCodeFreq();
      const int lengthRoot = tree_.Make(NT, lengthCodeFreq_, smallCode_);
      if (lengthRoot >= NT) {
        WriteCodeLengths(NT, TBIT, 3);
      } else {
        bits_.Put(TBIT, 0);
        bits_.Put(TBIT, lengthRoot);
      }
      WriteLiteralLengths();
    } else {
      bits_.Put(TBIT, 0);
      bits_.Put(TBIT, 0);
      bits_.Put(CBIT, 0);
      bits_.Put(CBIT, root);
    }
    const int distanceRoot = tree_.Make(NP, distanceFreq_, smallCode_);
    if (distanceRoot >= NP) {
      WriteCodeLengths(NP, PBIT, -1);
    } else {
      bits_.Put(PBIT, 0);
      bits_.Put(PBIT, distanceRoot);
    }

    int at = 0;
    unsigned flags = 0;
    for (uint32_t i = 0; i < symbols; ++i) {
      if (i % 8 == 0) {
        flags = buf_[at++];
      } else {
        flags <<= 1;
      }
      if (flags & 0x80) {
        const int symbol = buf_[at++] + 256;
        bits_.Put(literals_.length[symbol], literals_.code[symbol]);
        const unsigned stored = unsigned(buf_[at]) << 8 | buf_[at + 1];
        at += 2;
        const int cls = DistanceClass(stored);
        bits_.Put(smallCode_.length[cls], smallCode_.code[cls]);
        if (cls > 1) bits_.Put(cls - 1, stored);
      } else {
        const int symbol = buf_[at++];
        bits_.Put(literals_.length[symbol], literals_.code[symbol]);
      }
    }
    std::fill(std::begin(literalFreq_), std::end(literalFreq_), 0);
    std::fill(std::begin(distanceFreq_), std::end(distanceFreq_), 0);
  }

  int LiteralLengthsUsed() const {
    int n = NC;
    while (n > 0 && literals_.length[n - 1] == 0) --n;
    return n;
  }

  // Walks the literal code lengths as the length code sends them: a nonzero
  // length k as symbol k + 2, runs of zeros as symbols 0, 1 and 2 with their
  // extra bits. `emit(symbol, extraBits, extraValue)` sees each symbol.
  template <typename Emit>
  void ForEachLiteralLengthSymbol(Emit emit) const {
    const int n = LiteralLengthsUsed();
    for (int i = 0; i < n;) {
      const int k = literals_.length[i++];
      if (k != 0) {
        emit(k + 2, 0, 0);
        continue;
      }
      int zeros = 1;
      while (i < n && literals_.length[i] == 0) {
        ++i;
        ++zeros;
      }
      if (zeros <= 2) {
        for (int z = 0; z < zeros; ++z) emit(0, 0, 0);
      } else if (zeros <= 18) {
        emit(1, 4, zeros - 3);
      } else if (zeros == 19) {
        emit(0, 0, 0);
        emit(1, 4, 15);
      } else {
        emit(2, CBIT, zeros - 20);
      }
    }
  }

  void CountLengthCodeFreq() {
    std::fill(std::begin(lengthCodeFreq_), std::end(lengthCodeFreq_), 0);
    ForEachLiteralLengthSymbol([this](int symbol, int, int) { lengthCodeFreq_[symbol]++; });
  }

  void WriteCodeLengths(int n, int countBits, int gapAfter) {
    while (n > 0 && smallCode_.length[n - 1] == 0) --n;
    bits_.Put(countBits, n);
    for (int i = 0; i < n;) {
      const int k = smallCode_.length[i++];
      if (k <= 6) {
        bits_.Put(3, k);
      } else {
        bits_.Put(k - 3, (1u << (k - 3)) - 2);  // k - 4 one bits, then a zero bit
      }
      if (i == gapAfter) {
        while (i < 6 && smallCode_.length[i] == 0) ++i;
        bits_.Put(2, (i - 3) & 3);
      }
    }
  }

  void PutLengthSymbol(int s) { bits_.Put(smallCode_.length[s], smallCode_.code[s]); }

  void WriteLiteralLengths() {
    bits_.Put(CBIT, LiteralLengthsUsed());
    ForEachLiteralLengthSymbol([this](int symbol, int extraBits, int extraValue) {
      PutLengthSymbol(symbol);
      if (extraBits > 0) bits_.Put(extraBits, extraValue);
    });
  }

  TBitWriter bits_;
  const unsigned char* data_ = nullptr;
  int64_t size_ = 0;

  int32_t head_[1 << kHashBits];  // the input is below 2 GB
  int32_t prev_[kWindow];

  unsigned char buf_[kBlockBuffer];
  int bufPos_ = 0;
  int flagPos_ = 0;
  unsigned mask_ = 0;

  uint32_t literalFreq_[NC] = {};
  uint32_t distanceFreq_[NP] = {};
  uint32_t lengthCodeFreq_[NT] = {};
  THuffmanCode literals_;
  THuffmanCode smallCode_;  // the code-length code, then the distance-class code
  TTreeBuilder tree_;
};

void PutLE32(std::vector<unsigned char>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

}  // namespace

void LH5Compress(TMemoryStream& source, TMemoryStream& dest) {
  const int64_t start = source.Position();
  const int64_t size = std::max<int64_t>(0, source.Size() - start);
  if (size > INT32_MAX) throw EWriteError();  // the size field is 32 bits
  std::vector<unsigned char> out;
  out.reserve(static_cast<std::size_t>(size / 2 + 64));
  PutLE32(out, static_cast<uint32_t>(size));
  if (size > 0) {
    // About 120 KB of working storage: keep it off the stack.
    auto compressor = std::make_unique<TCompressor>(out);
    compressor->Run(source.Memory() + start, size);
  }
  dest.WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
  source.SetPosition(source.Size());
}

void LH5Expand(TMemoryStream& source, TMemoryStream& dest) {
  const int64_t start = source.Position();
  const int64_t available = source.Size() - start;
  if (available < 4) Corrupt();
  const unsigned char* p = source.Memory() + start;
  const int32_t size = static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                                            uint32_t(p[3]) << 24);
  if (size > kLH5MaxExpandedSize) Corrupt();
  if (size > 0) {
    // Expanded in place at dest's position: no second buffer of the whole size.
    const int64_t at = dest.Position(), before = dest.Size();
    dest.SetSize(std::max<int64_t>(before, at + size));
    try {
      TExpander expander(p + 4, static_cast<std::size_t>(available - 4));
      expander.Run(dest.Memory() + at, static_cast<std::size_t>(size));
    } catch (...) {
      dest.SetSize(before);  // a damaged body leaves dest as it was
      dest.SetPosition(at);
      throw;
    }
    dest.SetPosition(at + size);
  }
  source.SetPosition(source.Size());
}
