#include "controls/win/frames.h"

namespace {
void Line(TCanvas* c, int x1, int y1, int x2, int y2) {
  c->MoveTo(x1, y1);
  c->LineTo(x2, y2);
}

// First and second colour of the single-ring and etched styles.
bool Pair(TFrameStyle s, TColor& a, TColor& b) {
  switch (s) {
    case TFrameStyle::fsFlat: a = clWindowFrame; b = clWindowFrame; return true;
    case TFrameStyle::fsGroove: a = clBtnShadow; b = clBtnHighlight; return true;
    case TFrameStyle::fsBump: a = clBtnHighlight; b = clBtnShadow; return true;
    case TFrameStyle::fsStatus: a = clBtnShadow; b = clBtnHighlight; return true;
    case TFrameStyle::fsPopup: a = clBtnHighlight; b = clBtnShadow; return true;
    default: return false;
  }
}
}  // namespace

TRect PaintFrameSides(TCanvas* c, const TRect& r, TColor first, TSides sides, TColor second) {
  TRect in = r;
  c->Pen()->SetColor(first);
  if (sides & sdLeft) Line(c, r.left, r.top, r.left, r.bottom);
  if (sides & sdTop) Line(c, r.left, r.top, r.right, r.top);
  c->Pen()->SetColor(second);
  if (sides & sdRight) Line(c, r.right - 1, r.top, r.right - 1, r.bottom);
  if (sides & sdBottom) Line(c, r.left, r.bottom - 1, r.right, r.bottom - 1);
  if (sides & sdLeft) ++in.left;
  if (sides & sdTop) ++in.top;
  if (sides & sdRight) --in.right;
  if (sides & sdBottom) --in.bottom;
  return in;
}

TRect PaintBevelRings(TCanvas* c, const TRect& r, TColor first, TColor second, int count, TSides sides) {
  c->Pen()->SetWidth(1);
  TRect in = r;
  for (int i = 0; i < count; ++i) in = PaintFrameSides(c, in, first, sides, second);
  return in;
}

TRect PaintStyledBorder(TCanvas* c, const TRect& r, TFrameStyle style, TSides sides) {
  TColor a = 0, b = 0;
  switch (style) {
    case TFrameStyle::fsNone:
      return r;
    case TFrameStyle::fsFlat:
    case TFrameStyle::fsStatus:
    case TFrameStyle::fsPopup:
      Pair(style, a, b);
      return PaintFrameSides(c, r, a, sides, b);
    case TFrameStyle::fsRaised:
      return PaintFrameSides(c, PaintFrameSides(c, r, cl3DLight, sides, clBtnText), clBtnHighlight, sides, clBtnShadow);
    case TFrameStyle::fsLowered:
      return PaintFrameSides(c, PaintFrameSides(c, r, clBtnShadow, sides, clBtnHighlight), clBtnText, sides, cl3DLight);
    case TFrameStyle::fsButtonUp:
      return PaintFrameSides(c, PaintFrameSides(c, r, clBtnHighlight, sides, cl3DDkShadow), cl3DLight, sides,
                             clBtnShadow);
    case TFrameStyle::fsButtonDown:
      return PaintFrameSides(c, PaintFrameSides(c, r, clBtnText, sides, clBtnText), clBtnShadow, sides, clBtnShadow);
    case TFrameStyle::fsGroove:
    case TFrameStyle::fsBump: {
      Pair(style, a, b);
      const int L = r.left, T = r.top, R = r.right, B = r.bottom;
      const bool left = sides & sdLeft, top = sides & sdTop, right = sides & sdRight, bottom = sides & sdBottom;
      if (right) c->SetPixel(R - 1, T, b);
      if (top && !right) c->SetPixel(R - 1, T, a);
      if (bottom) c->SetPixel(L, B - 1, b);
      if (left && !bottom) c->SetPixel(L, B - 1, a);
      if (top && !left) c->SetPixel(L, T + 1, b);
      if (left && !top) c->SetPixel(L + 1, T, b);
      if (bottom && !right) c->SetPixel(R - 1, B - 2, a);
      if (right && !bottom) c->SetPixel(R - 2, B - 1, a);
      PaintFrameSides(c, TRect(L + 1, T + 1, R, B), b, sides, b);
      PaintFrameSides(c, TRect(L, T, R - 1, B - 1), a, sides, a);
      TRect in = r;
      if (left) in.left += 2;
      if (top) in.top += 2;
      if (right) in.right -= 2;
      if (bottom) in.bottom -= 2;
      return in;
    }
  }
  return r;
}

void PaintControlFrame(TCanvas* c, int width, int height, TFrameStyle style, TColor color, TColor frameColor,
                       TSides sides) {
  const TRect outer(0, 0, width, height);
  PaintBevelRings(c, outer, color, color, 2, kAllSides);
  PaintFrameLines(c, outer, style, frameColor, sides);
}

TRect PaintFrameLines(TCanvas* c, const TRect& r, TFrameStyle style, TColor frameColor, TSides sides) {
  if (style == TFrameStyle::fsFlat) return PaintFrameSides(c, r, frameColor, sides, frameColor);
  return PaintStyledBorder(c, r, style, sides);
}

// ---- TLkFramedControl ----

namespace {
// The one setter rule: store a new value, then tell.
template <class T, class F>
void Store(T& field, T value, F tell) {
  if (field == value) return;
  field = value;
  tell();
}
}  // namespace

void TLkFramedControl::SetFrameColor(TColor color) { Store(frame_color_, color, [this] { FrameLookChanged(); }); }
void TLkFramedControl::SetFrameFlatStyle(TFrameStyle style) {
  Store(frame_flat_style_, style, [this] { FrameLookChanged(); });
}
void TLkFramedControl::SetFrameFocusStyle(TFrameStyle style) {
  Store(frame_focus_style_, style, [this] { FrameLookChanged(); });
}
void TLkFramedControl::SetFrameSides(TSides sides) { Store(frame_sides_, sides, [this] { FrameLookChanged(); }); }
void TLkFramedControl::SetFrameStyle(TFrameStyle style) { Store(frame_style_, style, [this] { FrameLookChanged(); }); }
void TLkFramedControl::SetFrameVisible(bool on) { Store(frame_visible_, on, [this] { FrameVisibleChanged(); }); }

void TLkFramedControl::SetFrameFlat(bool on) {
  Store(frame_flat_, on, [this, on] {
    if (on) {
      SetFrameVisible(true);
      frame_sides_ = kAllSides;
      frame_style_ = frame_flat_style_;
    }
    FrameLookChanged();
  });
}

bool TLkFramedControl::FollowActivity(bool active) {
  if (!frame_flat_) return false;
  frame_style_ = active ? frame_focus_style_ : frame_flat_style_;
  return true;
}

void TLkFramedControl::PaintFrameLines(TCanvas* c, const TRect& r) const {
  ::PaintFrameLines(c, r, frame_style_, frame_color_, frame_sides_);
}

void TLkFramedControl::PaintWindowFrame(HWND hwnd, TColor color) const {
  RECT wr;
  GetWindowRect(hwnd, &wr);
  HDC dc = GetWindowDC(hwnd);
  TCanvas canvas;
  canvas.SetHandle(dc);
  PaintControlFrame(&canvas, wr.right - wr.left, wr.bottom - wr.top, frame_style_, color, frame_color_, frame_sides_);
  canvas.SetHandle(nullptr);
  ReleaseDC(hwnd, dc);
}

void TLkFramedControl::RepaintWindowFrame(HWND hwnd) {
  if (hwnd) RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}
