// A window timer as a component. Its handler may free the timer, change it
// or run a modal loop; the timer touches nothing of itself after the call.
#pragma once

#include <windows.h>

#include <memory>

#include "base/component.h"

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned ms);
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(TNotifyEvent handler);

 protected:
  virtual void Timer();

 private:
  friend struct TimerWindow;
  void Update();

  bool enabled_ = true;
  unsigned interval_ = 1000;
  TNotifyEvent onTimer_;
  UINT_PTR id_ = 0;  // our key in the shared timer window, 0 while stopped
};
