// A TrueType font's character map ('cmap' table) read from its bytes: the
// answer to "has this font a glyph of its own for this character" on a
// system whose GDI cannot say (GetGlyphIndices came with Windows 2000).
#pragma once

#include <cstddef>
#include <cstdint>

// Whether a Windows subtable (platform 3, format 4) of the table maps `code`
// to a glyph other than the missing-character glyph 0. A symbol subtable
// (encoding 0) holds a symbol font's characters at 0xF000 + byte, or at the
// byte itself: for a code below 0x100 both are looked at. A table that is
// cut short or points outside itself maps nothing it cannot hold.
bool CmapHasGlyph(const std::uint8_t* table, std::size_t size, std::uint32_t code);
