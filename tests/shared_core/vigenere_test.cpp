#include <gtest/gtest.h>

#include <random>
#include <string>

#include "base/streams.h"
#include "base/stringlist.h"
#include "base/sysutils.h"
#include "shared/core/vigenere.h"

namespace {

using V = TLkVigenereCipher;

TEST(Vigenere, KeyBytesCycle) {
  // Key "2953" is 0x32 0x39 0x35 0x33; ten bytes take 1 2 3 4 1 2 3 4 1 2.
  const std::string text(10, '\0');
  EXPECT_EQ(V::EncryptText(text, "2953"), "2953295329");
  EXPECT_EQ(V::EncryptText("AAAA", "\x01\x02"), "BCBC");
  EXPECT_EQ(V::DecryptText("BCBC", "\x01\x02"), "AAAA");
}

TEST(Vigenere, BytesWrap) {
  EXPECT_EQ(V::EncryptText("\xFA", "\x0A"), "\x04");
  EXPECT_EQ(V::DecryptText("\x04", "\x0A"), "\xFA");
  EXPECT_EQ(V::AddModulo(250, 10), 4);
}

TEST(Vigenere, EmptyTextOrKeyGivesEmpty) {
  EXPECT_EQ(V::EncryptText("", "2953"), "");
  EXPECT_EQ(V::EncryptText("abc", ""), "");
  EXPECT_EQ(V::DecryptText("abc", ""), "");
}

TEST(Vigenere, DecryptUndoesEncrypt) {
  std::mt19937 rng(7);
  for (int n = 0; n < 300; n += 7) {
    std::string text(n, '\0'), key(1 + rng() % 9, '\0');
    for (auto& c : text) c = static_cast<char>(rng());
    for (auto& c : key) c = static_cast<char>(rng());
    ASSERT_EQ(V::DecryptText(V::EncryptText(text, key), key), text);
  }
}

TEST(Vigenere, StoredPasswordGoesTheDecryptingWay) {
  V cipher(nullptr);
  cipher.SetKey("2953");
  cipher.SetEncoded("secret");  // the console saves Decoded
  const std::string stored = cipher.Decoded();
  EXPECT_EQ(stored, V::DecryptText("secret", "2953"));
  cipher.SetDecoded(stored);  // and reads Encoded back
  EXPECT_EQ(cipher.Encoded(), "secret");
  cipher.SetDecoded("");
  EXPECT_EQ(cipher.Encoded(), "");
}

TEST(Vigenere, KeyKeepsAtMost255Bytes) {
  V cipher(nullptr);
  cipher.SetKey(std::string(300, 'k'));
  EXPECT_EQ(cipher.Key().size(), 255u);
}

TEST(Vigenere, ListTextIsTransformedWhole) {
  V cipher(nullptr);
  cipher.SetKey("\x01");
  TStringList list;
  list.Add("ab");
  list.Add("c");
  cipher.Encode(list);  // "ab\r\nc\r\n" each plus one
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list[0], "bc\x0E\x0B" "d\x0E\x0B");
}

TEST(Vigenere, StreamsKeepTheKeyPositionAcrossChunks) {
  // 3000 bytes read in 1024-byte chunks with a 3-byte key: the key must run
  // on at each chunk boundary (1024 is not a multiple of 3).
  std::string text(3000, '\0');
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>(i * 31);
  TMemoryStream source;
  source.WriteBuffer("skip", 4);
  source.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
  source.SetPosition(4);  // from the current position on

  V cipher(nullptr);
  cipher.SetKey("xyz");
  auto encoded = cipher.EncodeStream(source);
  EXPECT_EQ(encoded->AsString(), V::EncryptText(text, "xyz"));
  EXPECT_EQ(encoded->Position(), 0);
  auto decoded = cipher.DecodeStream(*encoded);
  EXPECT_EQ(decoded->AsString(), text);
}

TEST(Vigenere, StreamsRefuseAnEmptyKey) {
  V cipher(nullptr);
  TMemoryStream s;
  s.WriteBuffer("abc", 3);
  s.SetPosition(0);
  EXPECT_THROW(cipher.EncodeStream(s), Exception);
  EXPECT_THROW(cipher.DecodeStream(s), Exception);
}

}  // namespace
