// Panels, images, bevels and shapes.
#pragma once

#include <windows.h>

#include "forms/win/controls.h"
#include "forms/win/graphics.h"

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// Draws the 3-D frame ring(s) of a panel: `width` rings, top-left / bottom-right colours.
void Frame3D(TCanvas* canvas, TRect& r, TColor top_left, TColor bottom_right, int width);

// A windowed container with bevels and a centred caption.
class TCustomPanel : public TCustomControl {
 public:
  explicit TCustomPanel(TComponent* owner);
  TBevelCut BevelOuter() const { return bevel_outer_; }
  void SetBevelOuter(TBevelCut cut);
  TBevelCut BevelInner() const { return bevel_inner_; }
  void SetBevelInner(TBevelCut cut);
  int BevelWidth() const { return bevel_width_; }
  void SetBevelWidth(int w);
  int BorderWidth() const { return border_width_; }
  void SetBorderWidth(int w);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  void AdjustClientRect(TRect& r) const override;

 protected:
  void Paint() override;
  // The text of the caption within `r` (panels with a caption bar draw their own).
  virtual void PaintCaption(TRect r);
  void CreateParams(TCreateParams& params) override;

 private:
  TBevelCut bevel_outer_ = TBevelCut::bvRaised;
  TBevelCut bevel_inner_ = TBevelCut::bvNone;
  int bevel_width_ = 1;
  int border_width_ = 0;
  TAlignment alignment_ = TAlignment::taCenter;
};

class TPanel : public TCustomPanel {
 public:
  explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
};

// Shows a picture; AutoSize takes its size, Stretch fills the bounds.
class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);
  ~TImage() override;
  TPicture* Picture() { return &picture_; }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool on);
  bool Center() const { return center_; }
  void SetCenter(bool on);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool on);
  void SetAutoSize(bool on) override;

 protected:
  void Paint() override;
  void AdjustSize() override;

 private:
  void PictureChanged(TObject*);
  TPicture picture_;
  bool stretch_ = false;
  bool center_ = false;
  bool transparent_ = false;
};

enum class TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum class TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
 public:
  explicit TBevel(TComponent* owner);
  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape s);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle s);

 protected:
  void Paint() override;

 private:
  TBevelShape shape_ = TBevelShape::bsBox;
  TBevelStyle style_ = TBevelStyle::bsLowered;
};

enum class TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
 public:
  explicit TShape(TComponent* owner);
  TPen* Pen() { return &pen_; }
  TBrush* Brush() { return &brush_; }
  TShapeType Shape() const { return shape_; }
  void SetShape(TShapeType s);

 protected:
  void Paint() override;

 private:
  TPen pen_;
  TBrush brush_;
  TShapeType shape_ = TShapeType::stRectangle;
};
