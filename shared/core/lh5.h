// LH5 compression (the -lh5- method of the LHA archivers: LZ77 over an
// 8 KB window, static Huffman codes per block), as the data files store it:
// a signed 32-bit little-endian uncompressed size, then the method body.
#pragma once

#include <cstdint>

#include "base/streams.h"

// The largest uncompressed size the expander accepts; a damaged size field
// must not make it produce gigabytes.
constexpr int64_t kLH5MaxExpandedSize = int64_t(64) << 20;

// Compresses the bytes from `source`'s position to its end and appends the
// size field and the method body at `dest`'s position. Empty input gives the
// size field alone. `source` ends at its end.
void LH5Compress(TMemoryStream& source, TMemoryStream& dest);

// Reads the size field at `source`'s position and the method body behind it
// and writes exactly that many bytes at `dest`'s position (none for a size
// of 0 or less). Damaged data raises ECorruptFile "Compressed file is
// corrupt" and leaves `dest` untouched. `source` ends at its end.
void LH5Expand(TMemoryStream& source, TMemoryStream& dest);
