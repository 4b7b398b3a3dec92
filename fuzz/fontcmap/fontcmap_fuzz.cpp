// Any bytes as a font's character map, asked for any code, end in an answer,
// never in a read outside the table. The first four bytes are the code.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/fontcmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const std::uint32_t code = std::uint32_t{data[0]} << 24 | data[1] << 16 | data[2] << 8 | data[3];
  // A copy of exactly the table's size: a read past it is seen.
  const std::vector<std::uint8_t> table(data + 4, data + size);
  (void)CmapHasGlyph(table.data(), table.size(), code);
  (void)CmapHasGlyph(table.data(), table.size(), code & 0xFF);
  return 0;
}
