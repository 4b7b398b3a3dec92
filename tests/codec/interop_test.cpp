// LH5 and Blowfish against independent implementations: lhasa extracts our
// method bodies, our expander reads jlha's, and openssl's bf-ecb agrees with
// our cipher once each 32-bit half is byte-swapped. Each check is skipped
// when its tool is not installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <tuple>

#include "shared/core/blowfish.h"
#include "shared/core/lh5.h"
#include "tests/codec/samples.h"
#include "tests/codec/vectors.h"

using namespace codec_test;
namespace fs = std::filesystem;

namespace {

bool Have(const char* tool) {
  return std::system(("command -v " + std::string(tool) + " >/dev/null 2>&1").c_str()) == 0;
}

int Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

void WriteFile(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// A fresh folder per test, removed afterwards.
class ScratchDir {
 public:
  ScratchDir() {
    std::string templ = (fs::temp_directory_path() / "lkcodecXXXXXX").string();
    path_ = mkdtemp(templ.data());
  }
  ~ScratchDir() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

uint16_t Crc16Arc(const std::string& data) {
  uint16_t crc = 0;
  for (unsigned char c : data) {
    crc ^= c;
    for (int i = 0; i < 8; ++i) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
  }
  return crc;
}

void PutLE(std::string& s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
}

// A one-file level-0 archive around a raw -lh5- method body.
std::string LevelZeroArchive(const std::string& name, const std::string& body, const std::string& original) {
  std::string h = "-lh5-";
  PutLE(h, static_cast<uint32_t>(body.size()), 4);
  PutLE(h, static_cast<uint32_t>(original.size()), 4);
  PutLE(h, 0x5A2B6000, 4);  // a DOS time and date in 2025
  h.push_back('\x20');      // attribute
  h.push_back('\x00');      // level
  h.push_back(static_cast<char>(name.size()));
  h += name;
  PutLE(h, Crc16Arc(original), 2);
  unsigned sum = 0;
  for (unsigned char c : h) sum += c;
  std::string archive;
  archive.push_back(static_cast<char>(h.size()));
  archive.push_back(static_cast<char>(sum & 0xFF));
  return archive + h + body + std::string(1, '\0');
}

struct Member {
  std::string method;
  std::string body;
  uint32_t original = 0;
};

uint32_t LE(const std::string& s, std::size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s.at(at + i));
  return v;
}

// The first member of an archive with a level 0, 1 or 2 header.
Member FirstMember(const std::string& a) {
  Member m;
  m.method = a.substr(2, 5);
  uint32_t packed = LE(a, 7, 4);
  m.original = LE(a, 11, 4);
  const int level = static_cast<unsigned char>(a.at(20));
  std::size_t body;
  if (level == 2) {
    body = LE(a, 0, 2);
  } else {
    body = 2 + static_cast<unsigned char>(a[0]);
    if (level == 1) {  // extended headers follow the base header and count in the packed size
      for (uint32_t next = LE(a, body - 2, 2); next != 0; next = LE(a, body - 2, 2)) {
        body += next;
        packed -= next;
      }
    }
  }
  m.body = a.substr(body, packed);
  return m;
}

std::string SizeField(uint32_t size) {
  std::string s;
  PutLE(s, size, 4);
  return s;
}

const int kSizes[] = {0, 1, 2, 3, 300, 8191, 8192, 8193, 16383, 16384, 16385, 100000};

class LH5Interop : public testing::TestWithParam<std::tuple<Kind, int>> {};

void ExpectLhasaExtracts(const std::string& data) {
  TMemoryStream in, out;
  Fill(in, data);
  LH5Compress(in, out);
  const std::string body = out.AsString().substr(4);

  ScratchDir dir;
  WriteFile(dir.path() / "ours.lzh", LevelZeroArchive("data.bin", body, data));
  fs::create_directory(dir.path() / "out");
  ASSERT_EQ(Shell("lhasa xqfw=" + Quote(dir.path() / "out") + " " + Quote(dir.path() / "ours.lzh")), 0);
  // A header lhasa does not accept lists no file and still succeeds.
  ASSERT_TRUE(fs::exists(dir.path() / "out" / "data.bin"));
  EXPECT_EQ(ReadFile(dir.path() / "out" / "data.bin"), data);
}

TEST_P(LH5Interop, LhasaExtractsOurBody) {
  if (!Have("lhasa")) GTEST_SKIP() << "lhasa is not installed";
  const auto [kind, size] = GetParam();
  ExpectLhasaExtracts(Sample(kind, size, 11));
}

// 3 MB of one byte: after the first block every block holds only
// 256-byte matches at distance 1, so both its literal/length code and its
// distance code take the one-symbol form.
TEST(LH5Interop, LhasaExtractsBlocksOfOneMatchSymbol) {
  if (!Have("lhasa")) GTEST_SKIP() << "lhasa is not installed";
  ExpectLhasaExtracts(std::string(3000000, 'x'));
}

TEST_P(LH5Interop, WeExpandJlhasBody) {
  if (!Have("jlha")) GTEST_SKIP() << "jlha is not installed";
  const auto [kind, size] = GetParam();
  const std::string data = Sample(kind, size, 11);
  ScratchDir dir;
  WriteFile(dir.path() / "data.bin", data);
  ASSERT_EQ(Shell("cd " + Quote(dir.path()) + " && jlha ao5q theirs.lzh data.bin"), 0);
  const Member m = FirstMember(ReadFile(dir.path() / "theirs.lzh"));
  ASSERT_EQ(m.original, static_cast<uint32_t>(size));
  // jlha stores what does not shrink (-lh0-); only its -lh5- bodies count.
  if (m.method != "-lh5-") GTEST_SKIP() << "jlha stored this input as " << m.method;
  TMemoryStream in, out;
  Fill(in, SizeField(m.original) + m.body);
  LH5Expand(in, out);
  EXPECT_EQ(out.AsString(), data);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, LH5Interop,
    testing::Combine(testing::Values(Kind::Random, Kind::Repeated, Kind::ShortPeriod, Kind::Text),
                     testing::ValuesIn(kSizes)),
    [](const auto& info) {
      return std::string(KindName(std::get<0>(info.param))) + "_" + std::to_string(std::get<1>(info.param));
    });

// Text with random stretches: jlha keeps it as -lh5- and its blocks mix
// long and short codes.
TEST(LH5Interop, WeExpandJlhasBodyOfMixedData) {
  if (!Have("jlha")) GTEST_SKIP() << "jlha is not installed";
  std::string data;
  for (uint32_t seed = 0; data.size() < 400000; ++seed) {
    data += Sample(seed % 3 ? Kind::Text : Kind::Random, 3000 + seed * 37 % 5000, seed);
  }
  ScratchDir dir;
  WriteFile(dir.path() / "mixed.bin", data);
  ASSERT_EQ(Shell("cd " + Quote(dir.path()) + " && jlha ao5q theirs.lzh mixed.bin"), 0);
  const Member m = FirstMember(ReadFile(dir.path() / "theirs.lzh"));
  ASSERT_EQ(m.method, "-lh5-");
  TMemoryStream in, out;
  Fill(in, SizeField(m.original) + m.body);
  LH5Expand(in, out);
  EXPECT_EQ(out.AsString(), data);
}

// openssl bf-ecb, no padding, on the given bytes; its key is zero-padded to
// 16 bytes, so callers pass 16.
std::string OpensslEncrypt(const std::string& data, const std::string& key16) {
  ScratchDir dir;
  WriteFile(dir.path() / "in", data);
  std::string hex;
  char buf[3];
  for (unsigned char c : key16) {
    std::snprintf(buf, sizeof buf, "%02X", c);
    hex += buf;
  }
  const int rc = Shell("openssl enc -bf-ecb -provider legacy -provider default -nopad -K " + hex + " -in " +
                     Quote(dir.path() / "in") + " -out " + Quote(dir.path() / "out"));
  EXPECT_EQ(rc, 0);
  return ReadFile(dir.path() / "out");
}

// Our blocks read each half little-endian; OpenSSL's big-endian.
std::string SwapWords(std::string s) {
  for (std::size_t i = 0; i + 4 <= s.size(); i += 4) {
    std::swap(s[i], s[i + 3]);
    std::swap(s[i + 1], s[i + 2]);
  }
  return s;
}

std::string OursEncrypt(const std::string& data, const std::string& key) {
  TBlowfish cipher;
  EXPECT_TRUE(cipher.SetKey(key));
  std::string s = SwapWords(data);
  cipher.EncryptBuffer(reinterpret_cast<unsigned char*>(s.data()), s.size());
  return SwapWords(s);
}

TEST(BlowfishInterop, AgreesWithOpensslOnTheStandardVectors) {
  if (!Have("openssl")) GTEST_SKIP() << "openssl is not installed";
  for (const auto& v : kBlowfishVectors) {
    SCOPED_TRACE(v.key);
    const std::string key = HexBytes(v.key);
    const std::string theirs = OpensslEncrypt(HexBytes(v.plain), key + key);
    EXPECT_EQ(theirs, HexBytes(v.cipher));
    EXPECT_EQ(OursEncrypt(HexBytes(v.plain), key), theirs);
  }
}

TEST(BlowfishInterop, AgreesWithOpensslOnLongDataAndOtherKeys) {
  if (!Have("openssl")) GTEST_SKIP() << "openssl is not installed";
  const std::string data = Sample(Kind::Random, 8192, 5);
  // The files' key "4617" repeats to 16 bytes; a 16-byte key is used as it is.
  EXPECT_EQ(OursEncrypt(data, "4617"), OpensslEncrypt(data, "4617461746174617"));
  const std::string key16 = Sample(Kind::Random, 16, 9);
  EXPECT_EQ(OursEncrypt(data, key16), OpensslEncrypt(data, key16));
}

}  // namespace
