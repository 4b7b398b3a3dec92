// Container files kept in tests/data/streams: every build must read them
// to the same names and bytes and write the same content to the same bytes,
// so a file written by one build loads in the other.
// LK_WRITE_GOLDEN=1 rewrites them (only ever from a build that passed).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/streams.h"
#include "shared/core/streamcol.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

struct Golden {
  const char* file;
  bool compressed;
  bool encrypted;
  Pairs items;  // as added; the file holds them sorted
};

std::string Large() {
  // Text with repeats and a stretch of noise: several LH5 blocks.
  std::string s;
  uint32_t x = 12345;
  for (int i = 0; i < 3000; ++i) s += "Line " + std::to_string(i % 97) + " of the log\r\n";
  for (int i = 0; i < 20000; ++i) {
    x = x * 1103515245 + 12345;
    s += static_cast<char>(x >> 23);
  }
  return s;
}

const Pairs kUsers = {
    {"All Users", "secret\r\nWelcome <uname>, it is <time>.\xFF<b>Ask first</b>\r\n1,6\r\n"},
    {"bob", "b0b\r\n\r\n3\r\n"},
    {"Default", "\r\nHi\r\n\r\n"},
    {"\xC9lodie", "pw\r\nBonjour\r\n4,10\r\n"},
};
const Pairs kLog = {
    {"1", "bob\r\nC:\\Program Files\\Game\\game.exe\r\n9:15:02 AM - 46000\r\n9:47:13 AM - 46000\r\n6\r\n"},
    {"2", "All Users\r\nC:\\Windows\\notepad.exe\r\n10:00:00 AM - 46001\r\n"},
    {"10", "x\r\n"},
};

const std::vector<Golden>& Goldens() {
  static const std::vector<Golden> g = {
      {"user-data.bin", true, true, kUsers},
      {"log.bin", true, true, kLog},
      {"stored-plain.bin", false, false, kUsers},
      {"compressed-plain.bin", true, false, kUsers},
      {"stored-enciphered.bin", false, true, kLog},
      {"large.bin", true, true, {{"big", Large()}, {"small", std::string("\0\x01\x02", 3)}}},
  };
  return g;
}

std::string PathOf(const char* file) { return std::string(LK_SOURCE_DIR) + "/tests/data/streams/" + file; }

void Fill(TLkStreams& c, const Golden& g) {
  c.SetCompressed(g.compressed);
  c.SetEncrypted(g.encrypted);
  c.SetKey("4617");
  for (const auto& [name, data] : g.items) {
    TMemoryStream s;
    s.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
    c.AddStream(name, s);
  }
}

Pairs Content(const TLkStreams& c) {
  Pairs r;
  for (int i = 0; i < c.Count(); ++i)
    r.emplace_back(c.StreamList().Strings(i), static_cast<const TMemoryStream*>(c.StreamList().Objects(i))->AsString());
  return r;
}

TEST(GoldenContainers, WritingGivesTheStoredBytes) {
  const bool rewrite = std::getenv("LK_WRITE_GOLDEN") != nullptr;
  for (const auto& g : Goldens()) {
    TLkStreams c(nullptr);
    Fill(c, g);
    TMemoryStream out;
    c.SaveToStream(out);
    if (rewrite) c.SaveToFile(PathOf(g.file));
    EXPECT_EQ(out.AsString(), ReadFileBytes(PathOf(g.file))) << g.file;
  }
}

TEST(GoldenContainers, ReadingGivesTheSameNamesAndBytes) {
  for (const auto& g : Goldens()) {
    TLkStreams want(nullptr);
    Fill(want, g);
    TLkStreams c(nullptr);
    c.SetKey("4617");
    c.LoadFromFile(PathOf(g.file));
    EXPECT_EQ(Content(c), Content(want)) << g.file;
    EXPECT_EQ(c.Compressed(), g.compressed) << g.file;
    EXPECT_EQ(c.Encrypted(), g.encrypted) << g.file;
  }
}

}  // namespace
