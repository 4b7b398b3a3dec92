// TLkVigenereCipher: shifts each byte of a text by the bytes of a key,
// cycling through the key. A reversible scramble (the console stores its
// program password with it), not a cipher in the security sense.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "base/component.h"
#include "base/streams.h"

class TStringList;

class TLkVigenereCipher : public TComponent {
 public:
  explicit TLkVigenereCipher(TComponent* owner);

  static unsigned char AddModulo(unsigned char a, unsigned char b) { return static_cast<unsigned char>(a + b); }
  // Byte i plus / minus key byte (i mod key length), modulo 256. Empty when
  // the text or the key is empty.
  static std::string EncryptText(std::string_view text, std::string_view key);
  static std::string DecryptText(std::string_view text, std::string_view key);

  const std::string& Key() const { return key_; }
  void SetKey(const std::string& key);  // longer keys keep their first 255 bytes
  const std::string& Encoded() const { return encoded_; }
  void SetEncoded(const std::string& value);  // also sets Decoded
  const std::string& Decoded() const { return decoded_; }
  void SetDecoded(const std::string& value);  // also sets Encoded

  // Replace a list's whole text by its transform.
  void Encode(TStringList& list) const;
  void Decode(TStringList& list) const;
  // The bytes from the stream's position to its end, transformed, in a new
  // stream owned by the caller. Raise Exception when the key is empty.
  std::unique_ptr<TMemoryStream> EncodeStream(TStream& stream) const;
  std::unique_ptr<TMemoryStream> DecodeStream(TStream& stream) const;

 private:
  std::unique_ptr<TMemoryStream> TransformStream(TStream& stream, int sign) const;
  std::string key_;
  std::string encoded_;
  std::string decoded_;
};
