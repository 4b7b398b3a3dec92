#include "forms/win/timer.h"

#include <map>

#include "base/sysutils.h"
#include "forms/win/application.h"

// One hidden window of the main thread carries every TTimer; a timer is
// found by its key, so a timer freed meanwhile is simply not found.
struct TimerWindow {
  // Never destroyed: timers of forms freed during exit still stop here.
  static TimerWindow& Get() {
    static auto* w = new TimerWindow;
    return *w;
  }

  HWND Handle() {
    if (!wnd_) {
      WNDCLASSA wc{};
      wc.lpfnWndProc = &TimerWindow::Proc;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = "LkTimerWindow";
      RegisterClassA(&wc);
      wnd_ = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }
    return wnd_;
  }

  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_TIMER) return DefWindowProcA(wnd, msg, wp, lp);
    auto& self = Get();
    auto it = self.timers_.find(wp);
    if (it == self.timers_.end()) return 0;
    TTimer* timer = it->second;
    // The handler may free the timer: nothing of it is used after this, and
    // the box names no sender.
    GuardCallback(nullptr, [timer] { timer->Timer(); });
    return 0;
  }

  HWND wnd_ = nullptr;
  UINT_PTR lastKey_ = 0;
  std::map<UINT_PTR, TTimer*> timers_;
};

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
  enabled_ = false;
  Update();
}

void TTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  Update();
}

void TTimer::SetInterval(unsigned ms) {
  if (ms == interval_) return;
  interval_ = ms;
  Update();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
  onTimer_ = std::move(handler);
  Update();
}

void TTimer::Timer() {
  if (onTimer_) {
    // A copy: the handler may free the timer and with it onTimer_.
    TNotifyEvent handler = onTimer_;
    handler(this);
  }
}

void TTimer::Update() {
  auto& w = TimerWindow::Get();
  if (id_) {
    KillTimer(w.Handle(), id_);
    w.timers_.erase(id_);
    id_ = 0;
  }
  if (!enabled_ || interval_ == 0 || !onTimer_) return;
  // A fresh key on every start: a WM_TIMER of the old run still queued finds nothing.
  const UINT_PTR key = ++w.lastKey_;
  if (!SetTimer(w.Handle(), key, interval_, nullptr)) throw EOSError("Not enough timers available", GetLastError());
  id_ = key;
  w.timers_[key] = this;
}
