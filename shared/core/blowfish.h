// Blowfish in ECB mode as the data files use it: 16 rounds, the key's bytes
// used cyclically, each 32-bit half of a block read little-endian, and a
// padding of 0x01 bytes closed by their count.
#pragma once

#include <cstdint>
#include <string>

#include "base/streams.h"

// One expanded key. The stream routines below build their own, so only the
// block routines share the process-wide instance.
class TBlowfish {
 public:
  TBlowfish() { Reset(); }

  // Back to the standard constants (no key).
  void Reset();
  // False when the key's length is a multiple of 256 (the empty key too) or
  // the key is weak (two equal entries in one S-box).
  bool SetKey(const std::string& key);

  void EncryptBlock(uint32_t& l, uint32_t& r) const;
  void DecryptBlock(uint32_t& l, uint32_t& r) const;

  // In place, 8-byte blocks, halves little-endian; `size` a multiple of 8.
  void EncryptBuffer(unsigned char* data, std::size_t size) const;
  void DecryptBuffer(unsigned char* data, std::size_t size) const;

 private:
  uint32_t F(uint32_t x) const {
    return ((s_[0][x >> 24] + s_[1][(x >> 16) & 0xFF]) ^ s_[2][(x >> 8) & 0xFF]) + s_[3][x & 0xFF];
  }

  static constexpr int kRounds = 16;
  uint32_t p_[kRounds + 2];
  uint32_t s_[4][256];
};

// The process-wide key of the block routines.
bool BlowfishSetKey(const std::string& key);
void BlowfishEncryptBlock(uint32_t& l, uint32_t& r);
void BlowfishDecryptBlock(uint32_t& l, uint32_t& r);
void BlowfishReset();

// Pads and enciphers a non-empty stream in place. With a key that cannot be
// set up the stream stays as it is. The position ends at 0.
void BlowfishEncipherStream(TMemoryStream& stream, const std::string& key);
// Deciphers a non-empty stream in place and drops the padding; with a key
// that cannot be set up the stream stays as it is. A size that is not a
// multiple of 8 or a pad count outside 1..8 raises ECorruptFile and leaves
// the stream untouched. The position ends at 0.
void BlowfishDecipherStream(TMemoryStream& stream, const std::string& key);
