#include "shared/core/lh5.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "shared/core/errors.h"
#include "tests/codec/samples.h"

using namespace codec_test;

namespace {

std::string Compress(const std::string& data) {
  TMemoryStream in, out;
  Fill(in, data);
  LH5Compress(in, out);
  return out.AsString();
}

std::string Expand(const std::string& packed) {
  TMemoryStream in, out;
  Fill(in, packed);
  LH5Expand(in, out);
  return out.AsString();
}

std::string SizeField(int32_t size) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(static_cast<uint32_t>(size) >> (8 * i));
  return s;
}

// Writes bit fields most significant bit first, for hand-made method bodies.
class Bits {
 public:
  Bits& Put(int n, uint32_t v) {
    for (int i = n - 1; i >= 0; --i) bits_.push_back((v >> i) & 1);
    return *this;
  }
  std::string Bytes() const {
    std::string out((bits_.size() + 7) / 8 + 8, '\0');  // trailing zero bytes as padding
    for (std::size_t i = 0; i < bits_.size(); ++i) {
      if (bits_[i]) out[i / 8] = static_cast<char>(out[i / 8] | (0x80 >> (i % 8)));
    }
    return out;
  }

 private:
  std::vector<int> bits_;
};

// A block holding one literal/length symbol in the one-symbol form.
Bits OneSymbolBlock(uint32_t count, uint32_t symbol) {
  Bits b;
  b.Put(16, count).Put(5, 0).Put(5, 0).Put(9, 0).Put(9, symbol);
  return b;
}

}  // namespace

class LH5RoundTrip : public testing::TestWithParam<std::tuple<Kind, int>> {};

TEST_P(LH5RoundTrip, ExpandGivesBackTheInput) {
  const auto [kind, size] = GetParam();
  const std::string data = Sample(kind, size);
  const std::string packed = Compress(data);
  ASSERT_EQ(packed.substr(0, 4), SizeField(size));
  EXPECT_EQ(Expand(packed), data);
  if (kind == Kind::Repeated && size > 1000) {
    EXPECT_LT(packed.size(), size / 50u);
  }
  if (kind == Kind::Random) {
    EXPECT_LT(packed.size(), size + size / 64u + 80);  // no blow-up on data that does not compress
  }
}

// Sizes around the window (8192) and twice it, where the buffers of the
// LHA design wrap; several blocks for the larger ones.
INSTANTIATE_TEST_SUITE_P(
    Sizes, LH5RoundTrip,
    testing::Combine(testing::Values(Kind::Random, Kind::Repeated, Kind::ShortPeriod, Kind::Text),
                     testing::Values(0, 1, 2, 3, 4, 255, 256, 257, 258, 259, 300, 8191, 8192, 8193, 16383,
                                     16384, 16385, 70000, 300000)),
    [](const auto& info) {
      return std::string(KindName(std::get<0>(info.param))) + "_" + std::to_string(std::get<1>(info.param));
    });

// Long runs fill whole blocks with one match symbol and one distance class:
// both codes then take the one-symbol form.
TEST(LH5, LongRunRoundTripsThroughOneSymbolBlocks) {
  const std::string data(3000000, 'x');
  const std::string packed = Compress(data);
  EXPECT_LT(packed.size(), 2000u);
  EXPECT_EQ(Expand(packed), data);
}

TEST(LH5, SingleByteIsOneBlockInTheOneSymbolForm) {
  // count 1; TBIT 0, TBIT 0, CBIT 0, CBIT 'A'; PBIT 0, PBIT 0; the symbol
  // takes no bits; 7 zero bits close the stream.
  const std::string expected = SizeField(1) + std::string("\x00\x01\x00\x00\x04\x10\x00\x00", 8);
  EXPECT_EQ(Compress("A"), expected);
}

TEST(LH5, EmptyInputIsTheSizeFieldAlone) {
  EXPECT_EQ(Compress(""), SizeField(0));
  EXPECT_EQ(Expand(SizeField(0)), "");
}

TEST(LH5, ZeroOrNegativeSizeGivesNoBytes) {
  EXPECT_EQ(Expand(SizeField(0) + "garbage"), "");
  EXPECT_EQ(Expand(SizeField(-5) + "garbage"), "");
}

TEST(LH5, WorksFromTheStreamPositionsAndAppends) {
  const std::string data = Sample(Kind::Text, 5000);
  TMemoryStream source, packed, plain;
  Fill(source, "skip" + data);
  source.SetPosition(4);
  packed.WriteBuffer("&*", 2);
  LH5Compress(source, packed);
  EXPECT_EQ(source.Position(), source.Size());
  EXPECT_EQ(packed.AsString().substr(0, 2), "&*");
  EXPECT_EQ(packed.AsString().substr(2, 4), SizeField(5000));

  packed.SetPosition(2);
  plain.WriteBuffer("head", 4);
  LH5Expand(packed, plain);
  EXPECT_EQ(plain.AsString(), "head" + data);
  EXPECT_EQ(plain.Position(), plain.Size());
}

// The method body of `jlha a` for this text: another encoder's choices of
// matches and codes.
TEST(LH5, ExpandsAnotherEncodersBody) {
  const std::string text =
      std::string("Lockmere keeps a shortcut behind a password. ") + "Lockmere keeps a shortcut behind a password. " +
      "Lockmere keeps a shortcut behind a password. " + "The gate asks for it, then starts the target. ";
  std::string all;
  for (int i = 0; i < 4; ++i) all += text;
  const unsigned char body[] = {
      0x00, 0x56, 0x4B, 0x8E, 0x8D, 0x2F, 0xF5, 0x06, 0x7F, 0x43, 0x1A, 0x09, 0x79, 0x1E, 0x9C, 0x87, 0xA0, 0x42,
      0x20, 0xCD, 0xB3, 0x1A, 0x74, 0x5A, 0x41, 0x63, 0x4A, 0x8D, 0x13, 0x32, 0x00, 0x09, 0xB0, 0x72, 0xBC, 0x2B,
      0xB1, 0x52, 0x2A, 0x4E, 0xEC, 0x10, 0x34, 0xEE, 0xAF, 0x0E, 0x1C, 0x68, 0x67, 0x4B, 0x47, 0xAC, 0x3B, 0xA3,
      0x37, 0x37, 0x58, 0xE2, 0x3C, 0xEC, 0xCE, 0x64, 0x49, 0x1C, 0x84, 0x6A, 0xB0, 0xD6, 0xEA, 0x28, 0xF8, 0x07,
      0x99, 0xB0, 0x67, 0x45, 0x76, 0xEE, 0x63, 0xA8, 0xC8, 0xBF, 0xA0, 0xFF, 0x9A, 0x7C, 0x68};
  ASSERT_EQ(all.size(), 724u);
  EXPECT_EQ(Expand(SizeField(724) + std::string(reinterpret_cast<const char*>(body), sizeof body)), all);
}

struct DamagedCase {
  const char* name;
  std::string stream;
};

class LH5Damaged : public testing::TestWithParam<DamagedCase> {};

TEST_P(LH5Damaged, RaisesCorruptAndWritesNothing) {
  TMemoryStream in, out;
  Fill(in, GetParam().stream);
  out.WriteBuffer("keep", 4);
  try {
    LH5Expand(in, out);
    FAIL() << "no error";
  } catch (const ECorruptFile& e) {
    EXPECT_EQ(e.Message(), "Compressed file is corrupt");
  }
  EXPECT_EQ(out.AsString(), "keep");
}

INSTANTIATE_TEST_SUITE_P(
    Table, LH5Damaged,
    testing::Values(
        DamagedCase{"SizeFieldCutShort", std::string("\x05\x00\x00", 3)},
        DamagedCase{"SizeAboveCap", SizeField(int32_t(kLH5MaxExpandedSize + 1)) + Compress("x").substr(4)},
        DamagedCase{"BlockCountZero", SizeField(5) + std::string(16, '\0')},
        // Four codes of length 1 sum to exactly 2^16 * 2: 0 in 16-bit arithmetic.
        DamagedCase{"OverfullLengthCodeWraps16Bits",
                    SizeField(5) + Bits().Put(16, 5).Put(5, 4).Put(3, 1).Put(3, 1).Put(3, 1).Put(2, 0).Put(3, 1)
                                       .Bytes()},
        DamagedCase{"OverfullDistanceCode",
                    SizeField(5) + OneSymbolBlock(5, 'a').Put(4, 4).Put(3, 1).Put(3, 1).Put(3, 1).Put(3, 1).Bytes()},
        DamagedCase{"IncompleteLengthCode",
                    SizeField(5) + Bits().Put(16, 5).Put(5, 2).Put(3, 1).Put(3, 2).Bytes()},
        DamagedCase{"LengthCodeSingleSymbolOutsideAlphabet", SizeField(5) + Bits().Put(16, 5).Put(5, 0).Put(5, 19).Bytes()},
        DamagedCase{"LiteralSingleSymbolOutsideAlphabet", SizeField(5) + OneSymbolBlock(5, 510).Bytes()},
        DamagedCase{"DistanceSingleSymbolOutsideAlphabet",
                    SizeField(5) + OneSymbolBlock(5, 'a').Put(4, 0).Put(4, 14).Bytes()},
        DamagedCase{"LengthCodeCountAboveAlphabet", SizeField(5) + Bits().Put(16, 5).Put(5, 20).Bytes()},
        DamagedCase{"LiteralCountAboveAlphabet",
                    SizeField(5) + Bits().Put(16, 5).Put(5, 0).Put(5, 3).Put(9, 511).Bytes()},
        DamagedCase{"DistanceCountAboveAlphabet", SizeField(5) + OneSymbolBlock(5, 'a').Put(4, 15).Bytes()},
        DamagedCase{"CodeLengthAbove16",
                    SizeField(5) + Bits().Put(16, 5).Put(5, 3).Put(3, 7).Put(10, 0x3FF).Put(1, 0).Bytes()},
        // Every length read is "m + 20 zeros"; m = 511 runs past 510 symbols.
        DamagedCase{"ZeroRunPastAlphabet",
                    SizeField(5) + Bits().Put(16, 5).Put(5, 0).Put(5, 2).Put(9, 510).Put(9, 511).Bytes()},
        // A match of length 3, distance 1, as the very first symbol.
        DamagedCase{"CopyFromBeforeTheStart",
                    SizeField(5) + OneSymbolBlock(5, 256).Put(4, 0).Put(4, 0).Bytes()}),
    [](const auto& info) { return std::string(info.param.name); });

// A block whose literal/length code holds 'a' (code 0) and the match of
// length 3 (code 1), and whose only distance is 2 (class 1, no extra bits),
// followed by the given symbol bits.
static std::string TwoSymbolBlock(uint32_t count, const std::vector<int>& symbols) {
  Bits b;
  b.Put(16, count);
  // Code-length code: lengths 1,0,0 | no gap | 1: "one zero length" is
  // code 0, "length 1" is code 1.
  b.Put(5, 4).Put(3, 1).Put(3, 0).Put(3, 0).Put(2, 0).Put(3, 1);
  b.Put(9, 257);
  for (int i = 0; i < 257; ++i) b.Put(1, i == 'a' || i == 256);
  b.Put(4, 0).Put(4, 1);
  for (int s : symbols) b.Put(1, s);
  return b.Bytes();
}

TEST(LH5, MatchReachingBeforeTheFirstByteIsCorrupt) {
  // "a", then a copy from 2 back: one byte before the start.
  EXPECT_THROW(Expand(SizeField(4) + TwoSymbolBlock(2, {0, 1})), ECorruptFile);
  // "aa", then the same copy reaches the first byte: sound.
  EXPECT_EQ(Expand(SizeField(5) + TwoSymbolBlock(3, {0, 0, 1})), "aaaaa");
}

// Compressed data cut anywhere reads on as zero bits: the result is either
// ECorruptFile or exactly the promised number of bytes, never anything else.
TEST(LH5, TruncatedBodyGivesCorruptOrTheFullSize) {
  const std::string data = Sample(Kind::Text, 3000, 7);
  const std::string packed = Compress(data);
  for (std::size_t cut = 4; cut < packed.size(); ++cut) {
    SCOPED_TRACE(cut);
    try {
      EXPECT_EQ(Expand(packed.substr(0, cut)).size(), data.size());
    } catch (const ECorruptFile&) {
    }
  }
}

// Every single bit flip in a compressed stream: no crash, no other error.
TEST(LH5, FlippedBitsGiveCorruptOrTheFullSize) {
  const std::string data = Sample(Kind::Text, 1500, 3);
  const std::string packed = Compress(data);
  for (std::size_t bit = 32; bit < packed.size() * 8; ++bit) {
    std::string damaged = packed;
    damaged[bit / 8] = static_cast<char>(damaged[bit / 8] ^ (1 << (bit % 8)));
    try {
      EXPECT_EQ(Expand(damaged).size(), data.size());
    } catch (const ECorruptFile&) {
    }
  }
}
