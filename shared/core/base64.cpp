#include "shared/core/base64.h"

#include <array>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr unsigned char kNotInAlphabet = 255;

constexpr std::array<unsigned char, 256> MakeDecodeTable() {
  std::array<unsigned char, 256> t{};
  for (auto& v : t) v = kNotInAlphabet;
  for (int i = 0; i < 64; ++i) t[static_cast<unsigned char>(kAlphabet[i])] = static_cast<unsigned char>(i);
  return t;
}
constexpr auto kDecode = MakeDecodeTable();

}  // namespace

std::size_t Base64EncodedLength(std::size_t n) { return (n + 2) / 3 * 4; }

std::string Base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve(Base64EncodedLength(bytes.size()));
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t n = bytes.size();
  for (; n >= 3; p += 3, n -= 3) {
    const unsigned long v = (unsigned long)p[0] << 16 | (unsigned long)p[1] << 8 | p[2];
    out += kAlphabet[v >> 18 & 63];
    out += kAlphabet[v >> 12 & 63];
    out += kAlphabet[v >> 6 & 63];
    out += kAlphabet[v & 63];
  }
  if (n == 1) {
    out += kAlphabet[p[0] >> 2];
    out += kAlphabet[(p[0] & 3) << 4];
    out += "==";
  } else if (n == 2) {
    out += kAlphabet[p[0] >> 2];
    out += kAlphabet[(p[0] & 3) << 4 | p[1] >> 4];
    out += kAlphabet[(p[1] & 15) << 2];
    out += '=';
  }
  return out;
}

void Base64DecodePartial(TBase64DecodeState& state, std::string_view text, std::string& out) {
  for (const char ch : text) {
    const unsigned char v = kDecode[static_cast<unsigned char>(ch)];
    if (v == kNotInAlphabet) continue;
    state.bits = state.bits << 6 | v;
    if (++state.pending == 4) {
      out += static_cast<char>(state.bits >> 16 & 0xFF);
      out += static_cast<char>(state.bits >> 8 & 0xFF);
      out += static_cast<char>(state.bits & 0xFF);
      state.bits = 0;
      state.pending = 0;
    }
  }
}

void Base64DecodeEnd(TBase64DecodeState& state, std::string& out) {
  // A lone pending character holds only 6 bits: not enough for a byte.
  if (state.pending == 3) {
    out += static_cast<char>(state.bits >> 10 & 0xFF);
    out += static_cast<char>(state.bits >> 2 & 0xFF);
  } else if (state.pending == 2) {
    out += static_cast<char>(state.bits >> 4 & 0xFF);
  }
  state = TBase64DecodeState{};
}

std::string Base64Decode(std::string_view text) {
  std::string out;
  out.reserve((text.size() + 3) / 4 * 3);
  TBase64DecodeState state;
  Base64DecodePartial(state, text, out);
  Base64DecodeEnd(state, out);
  return out;
}
