#include "controls/win/hotlabel.h"

#include "forms/win/application.h"
#include "forms/win/timer.h"

// ---- TLkHotLabel ----

TLkHotLabel::TLkHotLabel(TComponent* owner) : TLabel(owner) {}

TLkHotLabel::~TLkHotLabel() {
  // No leave comes for a label destroyed under the mouse.
  if (inside_ && Application) Application->SetHintColor(saved_hint_color_);
}

void TLkHotLabel::MouseEnter() {
  if (!inside_) {
    if (Application) {
      saved_hint_color_ = Application->HintColor();
      Application->SetHintColor(hint_color_);
    }
    if (hot_track_) {
      saved_font_.Assign(*Font());
      Font()->Assign(hot_track_font_);
      font_swapped_ = true;
    }
    inside_ = true;
  }
  TLabel::MouseEnter();
}

void TLkHotLabel::MouseLeave() {
  if (inside_) {
    if (Application) Application->SetHintColor(saved_hint_color_);
    if (font_swapped_) Font()->Assign(saved_font_);
    font_swapped_ = false;
    inside_ = false;
  }
  TLabel::MouseLeave();
}

void TLkHotLabel::ParentColorChanged() {
  TLabel::ParentColorChanged();
  if (OnParentColorChange) OnParentColorChange(this);
}

// ---- TLkBlinkingLabel ----

TLkBlinkingLabel::TLkBlinkingLabel(TComponent* owner) : TLkHotLabel(owner), timer_(new TTimer(this)) {
  timer_->SetInterval(blinking_delay_);
  timer_->SetOnTimer(TNotifyEvent(this, &TLkBlinkingLabel::Toggle));
  timer_->SetEnabled(blinking_);
}

TLkBlinkingLabel::~TLkBlinkingLabel() {
  timer_->SetEnabled(false);
  ::Free(timer_);
}

void TLkBlinkingLabel::Toggle(TObject*) {
  SetVisible(!Visible());
  timer_->SetInterval(Visible() ? blinking_time_ : blinking_delay_);
}

void TLkBlinkingLabel::SetBlinking(bool on) {
  blinking_ = on;
  timer_->SetEnabled(on);
  if (!on) SetVisible(true);
}

void TLkBlinkingLabel::SetBlinkingDelay(int ms) {
  blinking_delay_ = ms;
  timer_->SetInterval(ms);
}
