// The character map reader: both kinds of format 4 segment, the symbol
// subtable's two places for a byte, and tables cut short.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "base/fontcmap.h"

namespace {

struct Segment {
  std::uint16_t start, end;
  std::int16_t delta;
  std::vector<std::uint16_t> glyphs;  // empty: the glyph is code + delta
};

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

// A 'cmap' table with one format 4 subtable for each (platform, encoding);
// the glyph arrays of the segments come last, in segment order.
std::vector<std::uint8_t> Cmap(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& ids,
                               std::vector<Segment> segments) {
  segments.push_back({0xFFFF, 0xFFFF, 1, {}});
  const std::size_t n = segments.size();
  std::vector<std::uint8_t> sub;
  Put16(sub, 4), Put16(sub, 0), Put16(sub, 0), Put16(sub, 2 * n), Put16(sub, 0), Put16(sub, 0), Put16(sub, 0);
  for (const Segment& s : segments) Put16(sub, s.end);
  Put16(sub, 0);
  for (const Segment& s : segments) Put16(sub, s.start);
  for (const Segment& s : segments) Put16(sub, static_cast<std::uint16_t>(s.delta));
  std::size_t array_at = 0;  // in words past the range fields
  for (std::size_t k = 0; k < n; ++k) {
    if (segments[k].glyphs.empty()) {
      Put16(sub, 0);
    } else {
      Put16(sub, 2 * (n - k + array_at));
      array_at += segments[k].glyphs.size();
    }
  }
  for (const Segment& s : segments)
    for (std::uint16_t g : s.glyphs) Put16(sub, g);
  sub[2] = static_cast<std::uint8_t>(sub.size() >> 8), sub[3] = static_cast<std::uint8_t>(sub.size());

  std::vector<std::uint8_t> table;
  Put16(table, 0), Put16(table, ids.size());
  for (std::size_t k = 0; k < ids.size(); ++k) {
    const std::size_t at = 4 + 8 * ids.size() + k * sub.size();
    Put16(table, ids[k].first), Put16(table, ids[k].second), Put16(table, at >> 16), Put16(table, at & 0xFFFF);
  }
  for (std::size_t k = 0; k < ids.size(); ++k) table.insert(table.end(), sub.begin(), sub.end());
  return table;
}

const std::vector<Segment> kLetters = {
    {'A', 'Z', 10, {}},            // by delta
    {'a', 'c', 0, {40, 0, 42}},    // by the glyph array; 'b' has none
    {0x2022, 0x2022, -0x2000, {}}  // a bullet, delta wrapping round
};

TEST(FontCmap, FindsWhatEachKindOfSubtableMaps) {
  const auto unicode = Cmap({{3, 1}}, kLetters);
  const auto mac_only = Cmap({{1, 0}}, kLetters);
  const auto symbol_high = Cmap({{3, 0}}, {{0xF020, 0xF0FF, 0x10, {}}});
  const auto symbol_low = Cmap({{3, 0}}, {{0x20, 0xFF, 0x10, {}}});
  const auto second_record = Cmap({{1, 0}, {3, 1}}, kLetters);
  const struct {
    const char* name;
    const std::vector<std::uint8_t>& table;
    std::uint32_t code;
    bool mapped;
  } cases[] = {
      {"a delta segment", unicode, 'M', true},
      {"the first code of a segment", unicode, 'A', true},
      {"the last code of a segment", unicode, 'Z', true},
      {"between segments", unicode, '[', false},
      {"below every segment", unicode, 0x01, false},
      {"from the glyph array", unicode, 'c', true},
      {"glyph 0 in the glyph array", unicode, 'b', false},
      {"delta wrapping round", unicode, 0x2022, true},
      {"only the final segment", unicode, 0xFFFF, false},
      {"beyond 16 bits", unicode, 0x10041, false},
      {"no Windows subtable", mac_only, 'M', false},
      {"the Windows subtable after another", second_record, 'M', true},
      {"a symbol font's byte at 0xF000 on", symbol_high, 'r', true},
      {"a symbol font's byte at the byte", symbol_low, 'r', true},
      {"a symbol font's code below its range", symbol_high, 0x10, false},
      {"a symbol subtable asked for a wide code", symbol_high, 0xF072 + 0x200, false},
  };
  for (const auto& c : cases) EXPECT_EQ(CmapHasGlyph(c.table.data(), c.table.size(), c.code), c.mapped) << c.name;
  EXPECT_FALSE(CmapHasGlyph(nullptr, 0, 'M'));
}

// Every prefix of a table, in a buffer of exactly that size (the sanitizers
// see a read past it): nothing is found that the whole table does not map,
// and a lookup through the glyph array needs the array.
TEST(FontCmap, ATableCutShortMapsNothingItCannotHold) {
  const auto whole = Cmap({{3, 0}, {3, 1}}, kLetters);
  const std::uint32_t codes[] = {'A', 'Z', 'a', 'b', 'c', 0x2022, 0xF041, 'r'};
  for (std::size_t size = 0; size < whole.size(); ++size) {
    const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
    for (std::uint32_t code : codes) {
      const bool full = CmapHasGlyph(whole.data(), whole.size(), code);
      if (!full) {
        EXPECT_FALSE(CmapHasGlyph(cut.data(), cut.size(), code)) << size << " " << code;
      }
    }
  }
  // The glyph of 'c' is the last word of a table of one subtable: one byte
  // short loses it.
  const auto single = Cmap({{3, 1}}, kLetters);
  const std::vector<std::uint8_t> short_one(single.begin(), single.end() - 1);
  EXPECT_TRUE(CmapHasGlyph(single.data(), single.size(), 'c'));
  EXPECT_FALSE(CmapHasGlyph(short_one.data(), short_one.size(), 'c'));

  // Offsets that point outside the table.
  auto wild = Cmap({{3, 1}}, kLetters);
  wild[8] = 0x7F;  // the subtable's offset, high byte
  EXPECT_FALSE(CmapHasGlyph(wild.data(), wild.size(), 'M'));
  auto wild_range = Cmap({{3, 1}}, kLetters);
  const std::size_t ranges = 12 + 14 + 2 * 4 * 3 + 2;  // the range fields of 4 segments
  wild_range[ranges + 2] = 0xFF;                       // 'a'..'c' segment's offset, high byte
  EXPECT_FALSE(CmapHasGlyph(wild_range.data(), wild_range.size(), 'c'));
}

}  // namespace
