// UTF-8 without the system: Windows 95 has no UTF-8 code page, and the few
// texts the programs keep in UTF-8 must reach the system there too; the XML
// reader decodes its UTF-8 input with the same rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The length a lead byte announces (1-4), 0 for a byte that cannot lead.
int Utf8SequenceLength(unsigned char lead);
// Strict decoding of the sequence at p (n bytes available): its length (1-4)
// with the code point in cp, or 0 when the bytes are not a well-formed
// sequence (bad lead, missing or bad continuation, overlong form, surrogate,
// above U+10FFFF). For n too small to hold the sequence the result is 0.
int DecodeUtf8(const unsigned char* p, std::size_t n, uint32_t& cp);
// A code point as UTF-16: one unit, or a surrogate pair above U+FFFF.
std::u16string CodePointToUtf16(uint32_t cp);

// A whole text. A malformed, truncated, overlong or surrogate sequence, or
// one beyond U+10FFFF, becomes U+FFFD, one for each of its bytes.
std::u16string Utf8ToUtf16(std::string_view text);
