// UTF-8 to UTF-16 without the system: Windows 95 has no UTF-8 code page, and
// the few texts the programs keep in UTF-8 must reach the system there too.
#pragma once

#include <string>
#include <string_view>

// A malformed, truncated, overlong or surrogate sequence, or one beyond
// U+10FFFF, becomes U+FFFD, one for each of its bytes.
std::u16string Utf8ToUtf16(std::string_view text);
