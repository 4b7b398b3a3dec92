// A plain rectangle for the portable layout code (right and bottom exclusive,
// as the platform's rectangles are).
#pragma once

struct TLkRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool Empty() const { return Right <= Left || Bottom <= Top; }
  // Edges included on the left and top, excluded on the right and bottom.
  bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
  bool operator==(const TLkRect&) const = default;
};
