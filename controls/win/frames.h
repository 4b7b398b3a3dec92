// Frame drawing shared by the framed controls: one-pixel lines on chosen
// sides, repeated rings and ten named border styles (each routine gives back
// the rectangle inside what it drew); and the frame properties those
// controls share.
#pragma once

#include <windows.h>

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
// The frame itself: one ring in the frame colour for fsFlat, else the style's border.
TRect PaintFrameLines(TCanvas* canvas, const TRect& r, TFrameStyle style, TColor frameColor, TSides sides);
// The whole frame of a control on its window drawing surface: two rings in
// the control's colour over the platform border, then the frame itself.
void PaintControlFrame(TCanvas* canvas, int width, int height, TFrameStyle style, TColor color, TColor frameColor,
                       TSides sides);

// The frame properties of the framed controls (list view, combo box, tree
// view): one block with one setter rule. A new value is stored and the
// control is told: FrameVisibleChanged for FrameVisible, FrameLookChanged
// for the others. Turning FrameFlat on shows the frame (through
// SetFrameVisible) on all four sides in the idle style. How a control
// repaints, and what showing the frame does to it, is the control's own.
class TLkFramedControl {
 public:
  virtual ~TLkFramedControl() = default;

  TColor FrameColor() const { return frame_color_; }
  virtual void SetFrameColor(TColor color);
  bool FrameFlat() const { return frame_flat_; }
  virtual void SetFrameFlat(bool on);
  TFrameStyle FrameFlatStyle() const { return frame_flat_style_; }
  virtual void SetFrameFlatStyle(TFrameStyle style);
  TFrameStyle FrameFocusStyle() const { return frame_focus_style_; }
  virtual void SetFrameFocusStyle(TFrameStyle style);
  TSides FrameSides() const { return frame_sides_; }
  virtual void SetFrameSides(TSides sides);
  TFrameStyle FrameStyle() const { return frame_style_; }
  virtual void SetFrameStyle(TFrameStyle style);
  bool FrameVisible() const { return frame_visible_; }
  virtual void SetFrameVisible(bool on);
  // Stored only: nothing in this system acts on it.
  bool UseFrameController() const { return use_frame_controller_; }
  void SetUseFrameController(bool on) { use_frame_controller_ = on; }

 protected:
  virtual void FrameLookChanged() = 0;
  virtual void FrameVisibleChanged() = 0;
  // With FrameFlat: FrameStyle becomes the focus style while `active` (the
  // control has the focus or the pointer), else the idle style; true then
  // (the caller repaints). False without FrameFlat.
  bool FollowActivity(bool active);
  // The frame lines on `r`: one ring in FrameColor for fsFlat, else the
  // style's border, on FrameSides.
  void PaintFrameLines(TCanvas* canvas, const TRect& r) const;
  // The list and tree views' frame: painted over the window border of
  // `hwnd` (`color` under it), and repainted there at once.
  void PaintWindowFrame(HWND hwnd, TColor color) const;
  static void RepaintWindowFrame(HWND hwnd);
  bool Hover() const { return hover_; }
  void SetHover(bool on) { hover_ = on; }

 private:
  TColor frame_color_ = clBtnShadow;
  bool frame_flat_ = false;
  TFrameStyle frame_flat_style_ = TFrameStyle::fsStatus;
  TFrameStyle frame_focus_style_ = TFrameStyle::fsLowered;
  TSides frame_sides_ = kAllSides;
  TFrameStyle frame_style_ = TFrameStyle::fsFlat;
  bool frame_visible_ = false;
  bool use_frame_controller_ = true;
  bool hover_ = false;
};
