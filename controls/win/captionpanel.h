// TLkCaptionPanel: a panel with a caption bar across its top and an optional
// close-style button at the bar's right end. Children sit below the bar.
#pragma once

#include <cstdint>

#include "forms/win/extctrls.h"

class TLkCustomCaptionPanel : public TCustomPanel {
 public:
  explicit TLkCustomCaptionPanel(TComponent* owner);

  uint16_t CaptionHeight() const { return caption_height_; }
  void SetCaptionHeight(uint16_t h);
  bool ButtonVisible() const { return button_visible_; }
  void SetButtonVisible(bool on);
  bool ButtonFlat() const { return button_flat_; }
  void SetButtonFlat(bool on);
  // (-1, -1, -1, -1) while the button is hidden.
  const TRect& ButtonRect() const { return button_rect_; }

  void AdjustClientRect(TRect& r) const override;

  TNotifyEvent OnBtnClick;

 protected:
  void Paint() override;
  // Draws the button onto `canvas` in a state: 0 flat, 1 raised, 2 sunken.
  virtual void DrawButton(TCanvas* canvas, int state);
  virtual void BtnClick();
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;

 private:
  bool OnButton(int x, int y) const;
  void ShowButton(int state);  // outside a paint: onto the window at once
  uint16_t caption_height_ = 22;
  bool button_visible_ = true;
  bool button_flat_ = true;
  TRect button_rect_{-1, -1, -1, -1};
  bool pressed_ = false;
  bool inside_ = false;
};

class TLkCaptionPanel : public TLkCustomCaptionPanel {
 public:
  explicit TLkCaptionPanel(TComponent* owner) : TLkCustomCaptionPanel(owner) {}
};
