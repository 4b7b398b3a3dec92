// Labels that react to time and to the mouse: TLkHotLabel swaps its font
// and the application's hint colour while the mouse is over it, and
// TLkBlinkingLabel hides and shows itself on a timer.
#pragma once

#include "forms/win/graphics.h"
#include "forms/win/stdctrls.h"

class TTimer;

class TLkHotLabel : public TLabel {
 public:
  explicit TLkHotLabel(TComponent* owner);
  // Gives the application its hint colour back when it goes under the mouse.
  ~TLkHotLabel() override;

  bool HotTrack() const { return hot_track_; }
  void SetHotTrack(bool on) { hot_track_ = on; }
  TFont* HotTrackFont() { return &hot_track_font_; }
  void SetHotTrackFont(const TFont& font) { hot_track_font_.Assign(font); }
  // The application's hint colour while the mouse is over the label.
  TColor HintColor() const { return hint_color_; }
  void SetHintColor(TColor color) { hint_color_ = color; }
  bool MouseInside() const { return inside_; }

  TNotifyEvent OnParentColorChange;

 protected:
  void MouseEnter() override;
  void MouseLeave() override;
  void ParentColorChanged() override;

 private:
  bool hot_track_ = false;
  TFont hot_track_font_;
  TColor hint_color_ = clInfoBk;
  TFont saved_font_;
  TColor saved_hint_color_ = clInfoBk;
  bool inside_ = false;
  bool font_swapped_ = false;  // the hot font is on (HotTrack may change meanwhile)
};

class TLkBlinkingLabel : public TLkHotLabel {
 public:
  explicit TLkBlinkingLabel(TComponent* owner);
  ~TLkBlinkingLabel() override;

  bool Blinking() const { return blinking_; }
  // Off: the label shows again.
  void SetBlinking(bool on);
  // Time hidden (ms), and the timer's interval from now on.
  int BlinkingDelay() const { return blinking_delay_; }
  void SetBlinkingDelay(int ms);
  // Time shown (ms), used from the next toggle on.
  int BlinkingTime() const { return blinking_time_; }
  void SetBlinkingTime(int ms) { blinking_time_ = ms; }
  // The blinking timer (its interval is the length of the current phase).
  const TTimer* Timer() const { return timer_; }

 private:
  void Toggle(TObject* sender);
  bool blinking_ = true;
  int blinking_delay_ = 400;
  int blinking_time_ = 200;
  TTimer* timer_;
};
