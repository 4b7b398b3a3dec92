// Frame drawing shared by the framed controls: one-pixel lines on chosen
// sides, repeated rings and ten named border styles. Each routine gives back
// the rectangle inside what it drew.
#pragma once

#include <cstdint>

#include "forms/win/graphics.h"

enum class TFrameStyle : uint8_t {
  fsNone, fsFlat, fsGroove, fsBump, fsLowered, fsButtonDown, fsRaised, fsButtonUp, fsStatus, fsPopup
};

enum TSide : uint8_t { sdLeft = 1, sdTop = 2, sdRight = 4, sdBottom = 8 };
using TSides = uint8_t;
constexpr TSides kAllSides = sdLeft | sdTop | sdRight | sdBottom;

TRect PaintFrameSides(TCanvas* canvas, const TRect& r, TColor first, TSides sides, TColor second);
TRect PaintBevelRings(TCanvas* canvas, const TRect& r, TColor first, TColor second, int count, TSides sides);
TRect PaintStyledBorder(TCanvas* canvas, const TRect& r, TFrameStyle style, TSides sides);
// The whole frame of a control on its window drawing surface: two rings in
// the control's colour over the platform border, then the frame itself.
void PaintControlFrame(TCanvas* canvas, int width, int height, TFrameStyle style, TColor color, TColor frameColor,
                       TSides sides);
