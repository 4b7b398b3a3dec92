#include <gtest/gtest.h>

#include <random>
#include <string>

#include "shared/core/base64.h"

namespace {

struct Vector {
  std::string bytes;
  std::string text;
};

// RFC 4648 section 10, plus bytes that exercise the top of the alphabet.
const Vector kVectors[] = {
    {"", ""},
    {"f", "Zg=="},
    {"fo", "Zm8="},
    {"foo", "Zm9v"},
    {"foob", "Zm9vYg=="},
    {"fooba", "Zm9vYmE="},
    {"foobar", "Zm9vYmFy"},
    {std::string("\0", 1), "AA=="},
    {"\xFF\xFF\xFF", "////"},
    {"\xFB\xEF\xBE", "++++"},
    {std::string("\x00\x10\x83\x10\x51\x87\x20\x92\x8B", 9), "ABCDEFGHIJKL"},
};

TEST(Base64, EncodesAndDecodesKnownVectors) {
  for (const auto& v : kVectors) {
    EXPECT_EQ(Base64Encode(v.bytes), v.text) << v.text;
    EXPECT_EQ(Base64Decode(v.text), v.bytes) << v.text;
    EXPECT_EQ(Base64EncodedLength(v.bytes.size()), v.text.size()) << v.text;
  }
}

TEST(Base64, DecoderSkipsForeignCharactersWherever) {
  struct Case {
    const char* text;
    std::string bytes;
  } cases[] = {
      {"Zm9vYg", "foob"},             // padding missing
      {"Zm9vYmE", "fooba"},           // padding missing, three pending
      {"Zm9vY", "foo"},               // a lone last character adds no byte
      {"Zm=9v", "foo"},               // "=" in the middle
      {"Zm9v\r\nYmFy", "foobar"},     // line break
      {" Z m 9 v ", "foo"},           // blanks
      {"Zm9v\x80\xFF-_.YmFy", "foobar"},  // bytes outside the alphabet, URL-safe ones too
      {"====", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Base64Decode(c.text), c.bytes) << c.text;
}

TEST(Base64, EveryByteSequenceComesBack) {
  std::mt19937 rng(2);
  for (std::size_t n = 0; n < 70; ++n) {
    std::string bytes(n, '\0');
    for (auto& b : bytes) b = static_cast<char>(rng());
    const std::string text = Base64Encode(bytes);
    ASSERT_EQ(text.size(), Base64EncodedLength(n));
    ASSERT_EQ(text.find_first_of("\r\n"), std::string::npos);
    ASSERT_EQ(Base64Decode(text), bytes) << n;
  }
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(Base64Decode(Base64Encode(all)), all);
}

TEST(Base64, PartialDecodingResumesAtAnySplit) {
  const std::string text = "Zm9v\nYmFyYmF6=";
  const std::string whole = Base64Decode(text);
  ASSERT_EQ(whole, "foobarbaz");
  for (std::size_t a = 0; a <= text.size(); ++a) {
    for (std::size_t b = a; b <= text.size(); ++b) {
      TBase64DecodeState state;
      std::string out;
      Base64DecodePartial(state, text.substr(0, a), out);
      Base64DecodePartial(state, text.substr(a, b - a), out);
      Base64DecodePartial(state, text.substr(b), out);
      Base64DecodeEnd(state, out);
      ASSERT_EQ(out, whole) << a << "," << b;
    }
  }
}

}  // namespace
