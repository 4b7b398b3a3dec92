#include "gate/win/threadtimer.h"

TLkThreadTimerclass::TLkThreadTimerclass(TLkThreadTimer* owner)
    : TThread(true),
      owner_(owner),
      activated_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

TLkThreadTimerclass::~TLkThreadTimerclass() {
  Stop();
  CloseHandle(activated_);
  CloseHandle(stop_);
}

void TLkThreadTimerclass::SetActive(bool on) {
  active_ = on;
  if (on) SetEvent(activated_);
}

void TLkThreadTimerclass::Stop() {
  Terminate();
  active_ = false;
  SetEvent(stop_);
  WaitFor();
}

void TLkThreadTimerclass::Execute() {
  while (!Terminated()) {
    if (!active_) {
      const HANDLE wait[2] = {activated_, stop_};
      WaitForMultipleObjects(2, wait, FALSE, INFINITE);
      continue;
    }
    // The sleep ends early only when the thread is stopped.
    WaitForSingleObject(stop_, static_cast<DWORD>(delay_ < 0 ? 0 : delay_.load()));
    if (Terminated() || !active_) continue;
    Synchronize([this] { owner_->Tick(); });
  }
}

TLkThreadTimer::TLkThreadTimer(TComponent* owner) : TComponent(owner) {}

// Stopped and joined here, so no tick can reach a destroyed owner.
TLkThreadTimer::~TLkThreadTimer() { thread_.reset(); }

void TLkThreadTimer::SetActive(bool on) {
  if (on == active_ || (on && stopped_)) return;
  active_ = on;
  // The worker (and the main thread's window for its calls) comes with the
  // first activation: a timer that never runs costs no thread.
  if (!thread_ && on) {
    thread_ = std::make_unique<TLkThreadTimerclass>(this);
    thread_->SetDelay(delay_);
    thread_->SetActive(true);
    try {
      thread_->Start();
    } catch (...) {
      thread_.reset();
      active_ = false;
      throw;
    }
    return;
  }
  if (thread_) thread_->SetActive(on);
}

void TLkThreadTimer::Stop() {
  active_ = false;
  stopped_ = true;
  thread_.reset();
}

void TLkThreadTimer::SetDelay(int ms) {
  delay_ = ms;
  if (thread_) thread_->SetDelay(ms);
}

void TLkThreadTimer::Tick() {
  // A tick that was already waiting when the timer stopped: the join serves
  // it, and it must not reach a handler whose state is going.
  if (stopped_ || !active_) return;
  if (OnTimer) OnTimer(this);
}
