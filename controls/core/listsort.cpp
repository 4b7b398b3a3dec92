#include "controls/core/listsort.h"

namespace {
unsigned char Fold(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }
}  // namespace

int CompareColumnTexts(std::string_view a, std::string_view b) {
  if (a.empty() || b.empty()) return a.empty() == b.empty() ? 0 : (a.empty() ? 1 : -1);
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = Fold(static_cast<unsigned char>(a[i])), y = Fold(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int FittedLastColumnWidth(const std::vector<int>& widths, int clientWidth, bool hasItems, int scrollBarWidth) {
  if (widths.size() < 2) return widths.empty() ? 0 : widths.back();
  int sum = 0;
  for (std::size_t i = 0; i + 1 < widths.size(); ++i) sum += widths[i];
  const int available = clientWidth - (hasItems ? 0 : scrollBarWidth);
  if (sum >= available) return widths.back();
  const int w = available - sum;
  return w < 5 ? 5 : w;
}
