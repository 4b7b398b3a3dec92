// The timer list on a window timer of the main thread.
#pragma once

#include <windows.h>

#include "controls/core/timerlist.h"

class TLkTimerList : public TLkCustomTimerList {
 public:
  explicit TLkTimerList(TComponent* owner);
  ~TLkTimerList() override;

  // The utility window that receives the timer messages (null when inactive).
  HWND WindowHandle() const { return wnd_; }

 protected:
  uint32_t Now() override;
  void OpenTimer() override;
  void CloseTimer() override;
  bool TimerOpen() const override { return wnd_ != nullptr; }
  bool StartTimer(int ms) override;
  void StopTimer() override;
  void HandleTickException(std::exception_ptr error) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND wnd_ = nullptr;
};
