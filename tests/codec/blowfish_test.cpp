#include "shared/core/blowfish.h"

#include <gtest/gtest.h>

#include <string>

#include "shared/core/errors.h"
#include "tests/codec/samples.h"
#include "tests/codec/vectors.h"

using namespace codec_test;

namespace {

std::string Encipher(const std::string& data, const std::string& key) {
  TMemoryStream m;
  Fill(m, data);
  BlowfishEncipherStream(m, key);
  return m.AsString();
}

std::string Decipher(const std::string& data, const std::string& key) {
  TMemoryStream m;
  Fill(m, data);
  BlowfishDecipherStream(m, key);
  return m.AsString();
}

// The raw blocks of an enciphered stream, padding included.
std::string DecryptBlocks(std::string data, const std::string& key) {
  TBlowfish cipher;
  EXPECT_TRUE(cipher.SetKey(key));
  cipher.DecryptBuffer(reinterpret_cast<unsigned char*>(data.data()), data.size());
  return data;
}

// One block built from the halves the block routine sees.
std::string EncryptedBlock(uint32_t l, uint32_t r, const std::string& key) {
  TBlowfish cipher;
  EXPECT_TRUE(cipher.SetKey(key));
  cipher.EncryptBlock(l, r);
  std::string out(8, '\0');
  for (int i = 0; i < 4; ++i) {
    out[i] = static_cast<char>(l >> (8 * i));
    out[4 + i] = static_cast<char>(r >> (8 * i));
  }
  return out;
}

// A key of this name fills one S-box with two equal words.
const char* const kWeakKey = "weak50582";

}  // namespace

// The published vectors are big-endian blocks; the halves here are the
// same 32-bit numbers, so the block routine must give the same words.
TEST(Blowfish, StandardVectorsAsWords) {
  for (const auto& v : kBlowfishVectors) {
    SCOPED_TRACE(v.key);
    const std::string key = HexBytes(v.key);
    ASSERT_TRUE(BlowfishSetKey(key));
    uint32_t l = BigEndianWord(v.plain, 0), r = BigEndianWord(v.plain, 1);
    BlowfishEncryptBlock(l, r);
    EXPECT_EQ(l, BigEndianWord(v.cipher, 0));
    EXPECT_EQ(r, BigEndianWord(v.cipher, 1));
    BlowfishDecryptBlock(l, r);
    EXPECT_EQ(l, BigEndianWord(v.plain, 0));
    EXPECT_EQ(r, BigEndianWord(v.plain, 1));
  }
  BlowfishReset();
}

// Halves are read little-endian: the first byte of a block is the low byte
// of the left word.
TEST(Blowfish, BlockHalvesAreLittleEndian) {
  const std::string key = "4617";
  const std::string block = "\x01\x02\x03\x04\x05\x06\x07\x08";
  TMemoryStream m;
  Fill(m, block);
  BlowfishEncipherStream(m, key);
  EXPECT_EQ(m.AsString().substr(0, 8), EncryptedBlock(0x04030201, 0x08070605, key));
}

struct PadCase {
  std::size_t size;
  std::size_t padded;
};

TEST(Blowfish, PadsWithOnesAndTheirCount) {
  const PadCase cases[] = {{1, 8}, {6, 8}, {7, 16}, {8, 16}, {9, 16}, {15, 24}, {16, 24}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    const std::string data = Sample(Kind::Random, c.size, static_cast<uint32_t>(c.size));
    const std::string sealed = Encipher(data, "4617");
    ASSERT_EQ(sealed.size(), c.padded);
    const int pad = static_cast<int>(c.padded - c.size - 1);
    EXPECT_EQ(DecryptBlocks(sealed, "4617"), data + std::string(pad, '\x01') + static_cast<char>(pad));
    EXPECT_EQ(Decipher(sealed, "4617"), data);
  }
}

TEST(Blowfish, RoundTripsAnySize) {
  for (std::size_t size : {1u, 2u, 7u, 8u, 9u, 63u, 64u, 65u, 4099u, 100000u}) {
    SCOPED_TRACE(size);
    const std::string data = Sample(Kind::Text, size);
    EXPECT_EQ(Decipher(Encipher(data, "secret key"), "secret key"), data);
  }
}

TEST(Blowfish, EmptyStreamStaysEmpty) {
  EXPECT_EQ(Encipher("", "4617"), "");
  EXPECT_EQ(Decipher("", "4617"), "");
}

TEST(Blowfish, KeyBytesAreUsedCyclically) {
  const std::string data = Sample(Kind::Text, 100);
  EXPECT_EQ(Encipher(data, "4617"), Encipher(data, "46174617"));
  EXPECT_NE(Encipher(data, "4617"), Encipher(data, "4618"));
  // The length counts modulo 256: 257 bytes act as their first byte.
  EXPECT_EQ(Encipher(data, "Q" + std::string(256, 'z')), Encipher(data, "Q"));
}

// Keys that cannot be set up leave the data as it is both ways, so a file
// written with one still loads with it.
TEST(Blowfish, KeysThatCannotBeSetUpLeaveDataPlain) {
  const std::string data = Sample(Kind::Text, 50);
  for (const std::string& key : {std::string(), std::string(256, 'k'), std::string(kWeakKey)}) {
    SCOPED_TRACE(key.size());
    EXPECT_FALSE(BlowfishSetKey(key));
    EXPECT_EQ(Encipher(data, key), data);
    EXPECT_EQ(Decipher(data, key), data);
  }
  EXPECT_TRUE(BlowfishSetKey("weak50583"));
  BlowfishReset();
}

struct BadCipherCase {
  const char* name;
  std::string stream;
};

TEST(Blowfish, BadLengthOrPadIsCorruptAndLeavesTheStream) {
  const std::string key = "4617";
  const BadCipherCase cases[] = {
      {"length not a multiple of 8", Encipher("abcdefghijk", key).substr(0, 12)},
      {"pad count 0", EncryptedBlock(0x01010101, 0x00010101, key)},
      {"pad count 9", Encipher("abcdefghijklmno", key).substr(0, 8) + EncryptedBlock(0x01010101, 0x09010101, key)},
      {"pad count 255", EncryptedBlock(0, 0xFF000000, key)},
      {"pad longer than the data", EncryptedBlock(0x01010101, 0x08010101, key)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TMemoryStream m;
    Fill(m, c.stream);
    EXPECT_THROW(BlowfishDecipherStream(m, key), ECorruptFile);
    EXPECT_EQ(m.AsString(), c.stream);
  }
}
