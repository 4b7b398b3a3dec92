// Inputs for the codec tests, made at run time.
#pragma once

#include <cstdint>
#include <ostream>
#include <random>
#include <string>

#include "base/streams.h"

namespace codec_test {

enum class Kind { Random, Repeated, ShortPeriod, Text };

inline const char* KindName(Kind k) {
  switch (k) {
    case Kind::Random: return "random";
    case Kind::Repeated: return "repeated";
    case Kind::ShortPeriod: return "period";
    case Kind::Text: return "text";
  }
  return "?";
}

// Test names show the kind, not its bytes.
inline void PrintTo(Kind k, std::ostream* os) { *os << KindName(k); }

inline std::string Sample(Kind kind, std::size_t size, uint32_t seed = 1) {
  std::mt19937 rng(seed);
  std::string s;
  s.reserve(size);
  static const char* const words[] = {"shortcut ", "password ", "the ", "gate ", "console ", "log ", "user ",
                                      "settings ", "of ", "a ", "Desktop ", "target\r\n", "and ", "file, "};
  while (s.size() < size) {
    switch (kind) {
      case Kind::Random: s.push_back(static_cast<char>(rng())); break;
      case Kind::Repeated: s.push_back('x'); break;
      case Kind::ShortPeriod: s.push_back("abcdefg"[s.size() % 7]); break;
      case Kind::Text: s += words[rng() % (sizeof words / sizeof *words)]; break;
    }
  }
  s.resize(size);
  return s;
}

inline std::string StreamBytes(TMemoryStream& m) { return m.AsString(); }

inline void Fill(TMemoryStream& m, const std::string& bytes) {
  m.Clear();
  m.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  m.SetPosition(0);
}

}  // namespace codec_test
