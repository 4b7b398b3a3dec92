#include "forms/win/extctrls.h"

#include <algorithm>

void Frame3D(TCanvas* canvas, TRect& r, TColor top_left, TColor bottom_right, int width) {
  // Each ring: top and left in one colour, bottom and right in the other.
  for (int i = 0; i < width; ++i) {
    r.right -= 1;
    r.bottom -= 1;
    canvas->Pen()->SetColor(top_left);
    canvas->MoveTo(r.left, r.bottom);
    canvas->LineTo(r.left, r.top);
    canvas->LineTo(r.right, r.top);
    canvas->Pen()->SetColor(bottom_right);
    canvas->LineTo(r.right, r.bottom);
    canvas->LineTo(r.left - 1, r.bottom);
    r.left += 1;
    r.top += 1;
  }
}

// ======================================================================
// TCustomPanel

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 185, 41);
  SetControlStyle(ControlStyle() | csAcceptsControls | csOpaque);
  SetColor(clBtnFace);
}

void TCustomPanel::CreateParams(TCreateParams& p) { TCustomControl::CreateParams(p); }

void TCustomPanel::AdjustClientRect(TRect& r) const {
  int inset = border_width_;
  if (bevel_outer_ != TBevelCut::bvNone) inset += bevel_width_;
  if (bevel_inner_ != TBevelCut::bvNone) inset += bevel_width_;
  r = TRect(r.left + inset, r.top + inset, r.right - inset, r.bottom - inset);
}

static void BevelRing(TCanvas* c, TRect& r, TBevelCut cut, int width) {
  if (cut == TBevelCut::bvNone) return;
  if (cut == TBevelCut::bvLowered)
    Frame3D(c, r, clBtnShadow, clBtnHighlight, width);
  else if (cut == TBevelCut::bvRaised)
    Frame3D(c, r, clBtnHighlight, clBtnShadow, width);
  else
    Frame3D(c, r, clBtnFace, clBtnFace, width);
}

void TCustomPanel::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  BevelRing(c, r, bevel_outer_, bevel_width_);
  Frame3D(c, r, Color(), Color(), border_width_);
  BevelRing(c, r, bevel_inner_, bevel_width_);
  c->Brush()->SetColor(Color());
  c->FillRect(r);
  PaintCaption(r);
}

void TCustomPanel::PaintCaption(TRect r) {
  if (Caption().empty()) return;
  TCanvas* c = Canvas();
  c->Brush()->SetStyle(TBrushStyle::bsClear);
  c->Font()->Assign(*Font());
  UINT f = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
  if (alignment_ == TAlignment::taCenter) f |= DT_CENTER;
  if (alignment_ == TAlignment::taRightJustify) f |= DT_RIGHT;
  c->DrawText(Caption(), r, f);
}

void TCustomPanel::SetBevelOuter(TBevelCut cut) {
  if (cut == bevel_outer_) return;
  bevel_outer_ = cut;
  Realign();
  Invalidate();
}
void TCustomPanel::SetBevelInner(TBevelCut cut) {
  if (cut == bevel_inner_) return;
  bevel_inner_ = cut;
  Realign();
  Invalidate();
}
void TCustomPanel::SetBevelWidth(int w) {
  if (w < 1) w = 1;
  if (w == bevel_width_) return;
  bevel_width_ = w;
  Realign();
  Invalidate();
}
void TCustomPanel::SetBorderWidth(int w) {
  if (w < 0) w = 0;
  if (w == border_width_) return;
  border_width_ = w;
  Realign();
  Invalidate();
}
void TCustomPanel::SetAlignment(TAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  Invalidate();
}

// ======================================================================
// TImage

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 105, 105);
  SetControlStyle(ControlStyle() | csReplicatable);
  picture_.OnChange = TNotifyEvent(this, &TImage::PictureChanged);
}

TImage::~TImage() { picture_.OnChange = nullptr; }

void TImage::PictureChanged(TObject*) {
  if (TGraphic* g = picture_.Graphic()) {
    if (g->Transparent() != transparent_) g->SetTransparent(transparent_);
  }
  AdjustSize();
  Invalidate();
}

void TImage::AdjustSize() {
  if (AutoSize() && !picture_.Empty()) SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
}

void TImage::SetAutoSize(bool on) {
  TGraphicControl::SetAutoSize(on);
  AdjustSize();
}

void TImage::SetStretch(bool on) {
  if (on == stretch_) return;
  stretch_ = on;
  Invalidate();
}
void TImage::SetCenter(bool on) {
  if (on == center_) return;
  center_ = on;
  Invalidate();
}
void TImage::SetTransparent(bool on) {
  if (on == transparent_) return;
  transparent_ = on;
  if (TGraphic* g = picture_.Graphic()) g->SetTransparent(on);
  Invalidate();
}

void TImage::Paint() {
  TGraphic* g = picture_.Graphic();
  if (!g || g->Empty()) return;
  TRect r;
  if (stretch_) {
    r = ClientRect();
  } else if (center_) {
    r = Bounds((Width() - g->Width()) / 2, (Height() - g->Height()) / 2, g->Width(), g->Height());
  } else {
    r = Bounds(0, 0, g->Width(), g->Height());
  }
  Canvas()->StretchDraw(r, g);
}

// ======================================================================
// TBevel

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 50, 50);
  SetControlStyle(ControlStyle() | csReplicatable);
}

void TBevel::SetShape(TBevelShape s) {
  if (s == shape_) return;
  shape_ = s;
  Invalidate();
}
void TBevel::SetStyle(TBevelStyle s) {
  if (s == style_) return;
  style_ = s;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* c = Canvas();
  TColor c1 = style_ == TBevelStyle::bsLowered ? clBtnShadow : clBtnHighlight;
  TColor c2 = style_ == TBevelStyle::bsLowered ? clBtnHighlight : clBtnShadow;
  const int w = Width(), h = Height();
  auto line = [&](TColor col, int x1, int y1, int x2, int y2) {
    c->Pen()->SetColor(col);
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
  };
  switch (shape_) {
    case TBevelShape::bsBox: {
      TRect r = ClientRect();
      Frame3D(c, r, c1, c2, 1);
      break;
    }
    case TBevelShape::bsFrame: {
      // Two offset rectangles: an etched frame.
      TRect r(0, 0, w - 1, h - 1);
      Frame3D(c, r, c1, c1, 1);
      r = TRect(1, 1, w, h);
      Frame3D(c, r, c2, c2, 1);
      break;
    }
    case TBevelShape::bsTopLine: line(c1, 0, 0, w, 0); line(c2, 0, 1, w, 1); break;
    case TBevelShape::bsBottomLine: line(c1, 0, h - 2, w, h - 2); line(c2, 0, h - 1, w, h - 1); break;
    case TBevelShape::bsLeftLine: line(c1, 0, 0, 0, h); line(c2, 1, 0, 1, h); break;
    case TBevelShape::bsRightLine: line(c1, w - 2, 0, w - 2, h); line(c2, w - 1, 0, w - 1, h); break;
    case TBevelShape::bsSpacer: break;
  }
}

// ======================================================================
// TShape

TShape::TShape(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 65, 65);
  pen_.OnChange = [this](TObject*) { Invalidate(); };
  brush_.OnChange = [this](TObject*) { Invalidate(); };
}

void TShape::SetShape(TShapeType s) {
  if (s == shape_) return;
  shape_ = s;
  Invalidate();
}

void TShape::Paint() {
  TCanvas* c = Canvas();
  c->Pen()->Assign(pen_);
  c->Brush()->Assign(brush_);
  const int pw = pen_.Width();
  int x = pw / 2, y = pw / 2, w = Width() - pw + 1, h = Height() - pw + 1;
  if (pw == 0) {
    --w;
    --h;
  }
  if (shape_ == TShapeType::stSquare || shape_ == TShapeType::stRoundSquare || shape_ == TShapeType::stCircle) {
    const int s = std::min(w, h);
    x += (w - s) / 2;
    y += (h - s) / 2;
    w = h = s;
  }
  switch (shape_) {
    case TShapeType::stRectangle: case TShapeType::stSquare: c->Rectangle(x, y, x + w, y + h); break;
    case TShapeType::stRoundRect: case TShapeType::stRoundSquare:
      c->RoundRect(x, y, x + w, y + h, std::min(w, h) / 4, std::min(w, h) / 4);
      break;
    case TShapeType::stEllipse: case TShapeType::stCircle: c->Ellipse(x, y, x + w, y + h); break;
  }
}
