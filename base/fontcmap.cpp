#include "base/fontcmap.h"

namespace {

// Big-endian fields, read only inside the table.
class TReader {
 public:
  TReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Has(std::size_t offset, std::size_t count) const { return offset <= size_ && count <= size_ - offset; }
  std::uint16_t U16(std::size_t at) const { return static_cast<std::uint16_t>(data_[at] << 8 | data_[at + 1]); }
  std::uint32_t U32(std::size_t at) const { return std::uint32_t{U16(at)} << 16 | U16(at + 2); }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

// The glyph of `code` in the format 4 subtable at `at`; 0 if none.
std::uint16_t Format4Glyph(const TReader& r, std::size_t at, std::uint32_t code) {
  if (code > 0xFFFF || !r.Has(at, 14) || r.U16(at) != 4) return 0;
  const std::size_t segments = r.U16(at + 6) / 2;
  const std::size_t ends = at + 14, starts = ends + 2 * segments + 2, deltas = starts + 2 * segments,
                    ranges = deltas + 2 * segments;
  if (!r.Has(ends, 8 * segments + 2)) return 0;
  for (std::size_t k = 0; k < segments; ++k) {
    if (r.U16(ends + 2 * k) < code) continue;
    const std::uint16_t start = r.U16(starts + 2 * k);
    if (start > code) return 0;
    const std::uint16_t delta = r.U16(deltas + 2 * k), range = r.U16(ranges + 2 * k);
    if (range == 0) return static_cast<std::uint16_t>(code + delta);
    // The offset counts from the range field itself into the glyph array.
    const std::size_t glyph_at = ranges + 2 * k + range + 2 * (code - start);
    if (!r.Has(glyph_at, 2)) return 0;
    const std::uint16_t glyph = r.U16(glyph_at);
    return glyph ? static_cast<std::uint16_t>(glyph + delta) : 0;
  }
  return 0;
}

}  // namespace

bool CmapHasGlyph(const std::uint8_t* table, std::size_t size, std::uint32_t code) {
  const TReader r(table, size);
  if (!table || !r.Has(0, 4)) return false;
  const std::size_t count = r.U16(2);
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t record = 4 + 8 * k;
    if (!r.Has(record, 8)) return false;
    if (r.U16(record) != 3) continue;
    const std::uint16_t encoding = r.U16(record + 2);
    const std::size_t at = r.U32(record + 4);
    if (encoding == 1 && Format4Glyph(r, at, code)) return true;
    if (encoding == 0 && (Format4Glyph(r, at, code) || (code < 0x100 && Format4Glyph(r, at, 0xF000 | code))))
      return true;
  }
  return false;
}
