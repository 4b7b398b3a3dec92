// TLkThreadTimer: a timer whose own thread sleeps and then calls OnTimer in
// the main thread through a synchronous call, so the handler may take its
// time without the ticks piling up.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>

#include "base/component.h"
#include "base/events.h"
#include "forms/win/thread.h"

class TLkThreadTimer;

// The worker: waits while the timer is inactive, sleeps the delay, then
// runs the tick in the main thread and waits for it.
class TLkThreadTimerclass : public TThread {
 public:
  explicit TLkThreadTimerclass(TLkThreadTimer* owner);
  ~TLkThreadTimerclass() override;
  void SetDelay(int ms) { delay_ = ms; }
  void SetActive(bool on);
  // Ends the thread and waits for it (pumping its pending tick).
  void Stop();

 protected:
  void Execute() override;

 private:
  TLkThreadTimer* owner_;
  std::atomic<int> delay_{100};
  HANDLE activated_;  // auto-reset: the timer was switched on
  HANDLE stop_;       // manual-reset: the thread is to end
  std::atomic<bool> active_{false};
};

class TLkThreadTimer : public TComponent {
 public:
  explicit TLkThreadTimer(TComponent* owner);
  ~TLkThreadTimer() override;

  bool Active() const { return active_; }
  void SetActive(bool on);
  int Delay() const { return delay_; }
  void SetDelay(int ms);
  TNotifyEvent OnTimer;
  // Inactive, and the worker ended and joined: no tick comes after this,
  // not even one that was waiting for the main thread. The owner calls it
  // before its run state goes.
  void Stop();

 private:
  friend class TLkThreadTimerclass;
  void Tick();
  bool active_ = false;
  bool stopped_ = false;
  int delay_ = 100;
  std::unique_ptr<TLkThreadTimerclass> thread_;  // from the first activation on
};
