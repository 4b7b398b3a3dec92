// Base64 with the standard alphabet and "=" padding, never line breaks.
// The decoder is forgiving: it skips every byte outside the alphabet.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

std::size_t Base64EncodedLength(std::size_t n);
std::string Base64Encode(std::string_view bytes);
std::string Base64Decode(std::string_view text);

// The resumable decoder: the bits of an unfinished group of four characters
// wait in the state between calls; Base64DecodeEnd flushes what they hold.
struct TBase64DecodeState {
  unsigned long bits = 0;
  int pending = 0;  // alphabet characters taken since the last full group
};
void Base64DecodePartial(TBase64DecodeState& state, std::string_view text, std::string& out);
void Base64DecodeEnd(TBase64DecodeState& state, std::string& out);
