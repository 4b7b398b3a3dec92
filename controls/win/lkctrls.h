// Angled labels with highlight and shadow, the standard button in fifteen
// languages, and the invisible mouse region.
#pragma once

#include <windows.h>

#include <cstdint>

#include "controls/core/lkbuttonkinds.h"
#include "forms/win/stdctrls.h"

enum class TDirection { drNone, drUp, drDown, drLeft, drRight, drUpLeft, drUpRight, drDownLeft, drDownRight };
// The unit step of a direction.
POINT DirectionOffset(TDirection d);

enum class TShadowStyle {
  ssNone, ssCustom, ssRaised, ssRaisedColor, ssRaisedShadow, ssRaisedThickShadow, ssRecessed, ssRecessedColor,
  ssRecessedShadow, ssShadow, ssThickShadow
};

enum class TVerticalAlignment { vaTop, vaCenter, vaBottom };

// The box a caption of w x h takes when drawn at `angle` degrees (0..359),
// and where the text origin lies in it (TextOut at box top-left + origin).
struct TAngledTextBox {
  int width, height;
  int origin_x, origin_y;
};
TAngledTextBox AngledTextBox(int angle, int w, int h);

class TLkCustomLabel : public TCustomLabel {
 public:
  explicit TLkCustomLabel(TComponent* owner);

  int Angle() const { return angle_; }
  void SetAngle(int degrees);  // taken mod 360
  int OffsetX() const { return offset_x_; }
  void SetOffsetX(int v);
  int OffsetY() const { return offset_y_; }
  void SetOffsetY(int v);
  TDirection HighlightDirection() const { return highlight_direction_; }
  void SetHighlightDirection(TDirection d);
  int HighlightDepth() const { return highlight_depth_; }
  void SetHighlightDepth(int v);
  TColor HighlightColor() const { return highlight_color_; }
  void SetHighlightColor(TColor c);
  TShadowStyle ShadowStyle() const { return shadow_style_; }
  void SetShadowStyle(TShadowStyle s);
  TDirection ShadowDirection() const { return shadow_direction_; }
  void SetShadowDirection(TDirection d);
  int16_t ShadowDepth() const { return shadow_depth_; }
  void SetShadowDepth(int16_t v);
  int16_t ShadowSize() const { return shadow_size_; }
  void SetShadowSize(int16_t v);
  TColor ShadowColor() const { return shadow_color_; }
  void SetShadowColor(TColor c);
  TVerticalAlignment VerticalAlignment() const { return vertical_alignment_; }
  void SetVerticalAlignment(TVerticalAlignment v);

 protected:
  void Paint() override;

 private:
  void CustomChanged();  // a highlight or shadow value was written
  void DrawCaption(HDC dc, const TRect& r, UINT flags, TColor colour);

  int angle_ = 0;
  double cos_ = 1.0, sin_ = 0.0;
  int offset_x_ = 0, offset_y_ = 0;
  TDirection highlight_direction_ = TDirection::drNone;
  int highlight_depth_ = 0;
  TColor highlight_color_ = clBtnHighlight;
  TShadowStyle shadow_style_ = TShadowStyle::ssNone;
  TDirection shadow_direction_ = TDirection::drNone;
  int16_t shadow_depth_ = 0;
  int16_t shadow_size_ = 0;
  TColor shadow_color_ = clBtnShadow;
  TVerticalAlignment vertical_alignment_ = TVerticalAlignment::vaTop;
  bool applying_preset_ = false;
};

class TLkLabel : public TLkCustomLabel {
 public:
  explicit TLkLabel(TComponent* owner) : TLkCustomLabel(owner) {}
};

// A push button whose Kind gives its caption, default and cancel role and
// modal result from the standard-button table.
class TLkButton : public TButton {
 public:
  explicit TLkButton(TComponent* owner) : TButton(owner) {}
  // Falls back to pbkCustom once Default, Cancel or ModalResult differ from the kind's.
  TLkButtonKind Kind() const;
  void SetKind(TLkButtonKind kind);
  void Click() override;

 private:
  mutable TLkButtonKind kind_ = pbkCustom;
};

// The caption of a kind as the program's string table holds it, in the ANSI
// code page (the built-in table when the resource is missing).
std::string LoadLkString(int id, const std::string& fallback_utf8);

// An invisible rectangle that reports clicks and the mouse entering and leaving.
class TLkMouseRegion : public TGraphicControl {
 public:
  explicit TLkMouseRegion(TComponent* owner);

 protected:
  void Paint() override;
};
