// The published Blowfish test vectors (8-byte keys, big-endian blocks).
#pragma once

#include <cstdint>
#include <string>

namespace codec_test {

struct BlowfishVector {
  const char* key;
  const char* plain;
  const char* cipher;
};

inline constexpr BlowfishVector kBlowfishVectors[] = {
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
    {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
    {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
    {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
    {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
    {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
    {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
};

inline std::string HexBytes(const char* hex) {
  std::string out;
  for (const char* p = hex; p[0] && p[1]; p += 2) out.push_back(static_cast<char>(std::stoi(std::string(p, 2), nullptr, 16)));
  return out;
}

// Word `index` (0 or 1) of an 8-byte block given in hex, read big-endian.
inline uint32_t BigEndianWord(const char* hex, int index) {
  return static_cast<uint32_t>(std::stoul(std::string(hex + 8 * index, 8), nullptr, 16));
}

}  // namespace codec_test
