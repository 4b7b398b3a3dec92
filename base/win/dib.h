// The header of a 32-bit device-independent bitmap stored top row first,
// the layout every pixel read and write here uses (BGRA, one word a pixel).
#pragma once

#include <windows.h>

inline BITMAPINFO TopDownDib32(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // negative: rows run down from the top
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  return bi;
}
