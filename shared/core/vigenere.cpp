#include "shared/core/vigenere.h"

#include "base/stringlist.h"
#include "base/sysutils.h"

namespace {

constexpr std::size_t kMaxKeyLength = 255;
constexpr int64_t kChunk = 1024;

std::string Shift(std::string_view text, std::string_view key, int sign) {
  if (text.empty() || key.empty()) return {};
  std::string out(text);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const auto k = static_cast<unsigned char>(key[i % key.size()]);
    out[i] = static_cast<char>(static_cast<unsigned char>(out[i]) + sign * k);
  }
  return out;
}

}  // namespace

TLkVigenereCipher::TLkVigenereCipher(TComponent* owner) : TComponent(owner) {}

std::string TLkVigenereCipher::EncryptText(std::string_view text, std::string_view key) { return Shift(text, key, +1); }
std::string TLkVigenereCipher::DecryptText(std::string_view text, std::string_view key) { return Shift(text, key, -1); }

void TLkVigenereCipher::SetKey(const std::string& key) { key_ = key.substr(0, kMaxKeyLength); }

void TLkVigenereCipher::SetEncoded(const std::string& value) {
  encoded_ = value;
  decoded_ = DecryptText(value, key_);
}

void TLkVigenereCipher::SetDecoded(const std::string& value) {
  decoded_ = value;
  encoded_ = EncryptText(value, key_);
}

void TLkVigenereCipher::Encode(TStringList& list) const { list.SetText(EncryptText(list.Text(), key_)); }
void TLkVigenereCipher::Decode(TStringList& list) const { list.SetText(DecryptText(list.Text(), key_)); }

std::unique_ptr<TMemoryStream> TLkVigenereCipher::EncodeStream(TStream& stream) const { return TransformStream(stream, +1); }
std::unique_ptr<TMemoryStream> TLkVigenereCipher::DecodeStream(TStream& stream) const { return TransformStream(stream, -1); }

std::unique_ptr<TMemoryStream> TLkVigenereCipher::TransformStream(TStream& stream, int sign) const {
  // An empty key would hand back the bytes untransformed as if they were.
  if (key_.empty()) throw Exception("The Vigenere key is empty");
  auto out = std::make_unique<TMemoryStream>();
  unsigned char buf[kChunk];
  std::size_t k = 0;  // runs on across chunks
  for (;;) {
    const int64_t n = stream.Read(buf, kChunk);
    if (n <= 0) break;
    for (int64_t i = 0; i < n; ++i) {
      buf[i] = static_cast<unsigned char>(buf[i] + sign * static_cast<unsigned char>(key_[k]));
      k = (k + 1) % key_.size();
    }
    out->WriteBuffer(buf, n);
  }
  out->SetPosition(0);
  return out;
}
