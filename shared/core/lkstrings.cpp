#include "shared/core/lkstrings.h"

#include <cstring>

#include "base/locale.h"

namespace {

// Upper-case bytes give their lower form and lower-case bytes their upper
// form; everything else stays.
unsigned char SwapCase(const TCharLocale& l, unsigned char c) {
  if (l.ctype[c] & C1_UPPER_BIT) return l.lower[c];
  if (l.ctype[c] & C1_LOWER_BIT) return l.upper[c];
  return c;
}

}  // namespace

std::size_t FindTextNoCase(std::string_view sub, std::string_view text, std::size_t start) {
  if (sub.empty() || text.empty() || start < 1 || sub.size() > text.size()) return 0;
  const TCharLocale& l = CharLocale();
  const auto first = l.lower[static_cast<unsigned char>(sub[0])];
  const std::size_t last = text.size() - sub.size();  // last 0-based candidate
  for (std::size_t i = start - 1; i <= last; ++i) {
    if (l.lower[static_cast<unsigned char>(text[i])] != first) continue;
    std::size_t k = 1;
    for (; k < sub.size(); ++k) {
      const auto t = static_cast<unsigned char>(text[i + k]);
      const auto s = static_cast<unsigned char>(sub[k]);
      if (t != s && SwapCase(l, t) != s) break;
    }
    if (k == sub.size()) return i + 1;
  }
  return 0;
}

std::string TextAfter(std::string_view sub, std::string_view text) {
  const std::size_t p = FindTextNoCase(sub, text, 1);
  if (p == 0) return {};
  return std::string(text.substr(p - 1 + sub.size()));
}

std::string TextBefore(std::string_view sub, std::string_view text) {
  const std::size_t p = FindTextNoCase(sub, text, 1);
  if (p == 0) return std::string(text);
  return std::string(text.substr(0, p - 1));
}

std::string TextBetween(std::string_view text, char startChar, char stopChar) {
  const std::size_t a = text.find(startChar);
  const std::size_t b = text.find(stopChar);
  if (a == std::string_view::npos || b == std::string_view::npos || b <= a) return {};
  return std::string(text.substr(a + 1, b - a - 1));
}

std::string LeftPart(std::string_view text, std::ptrdiff_t n) {
  if (n <= 0) return {};
  return std::string(text.substr(0, static_cast<std::size_t>(n)));
}

std::string RestFrom(std::string_view text, std::ptrdiff_t n) {
  const std::size_t from = n < 1 ? 0 : static_cast<std::size_t>(n - 1);
  if (from >= text.size()) return {};
  return std::string(text.substr(from));
}

std::size_t PCharLength(const char* text) { return text ? std::strlen(text) : 0; }

void CutAtNul(std::string& text) {
  const std::size_t z = text.find('\0');
  if (z != std::string::npos) text.resize(z);
}

bool IsUpperChar(unsigned char c) { return CharLocale().ctype[c] & C1_UPPER_BIT; }
bool IsLowerChar(unsigned char c) { return CharLocale().ctype[c] & C1_LOWER_BIT; }
