// Many timed events on one window timer.
//
// TLkCustomTimerList holds the rules (the common interval, which events are
// due, when the list turns itself off); the platform supplies the clock and
// the one timer through the hooks at the bottom, so the rules run natively
// on a fake clock. The Windows list is TLkTimerList in controls/win.
//
// Handlers may disable, delete or add events, deactivate or free the list,
// or run a modal loop (a nested tick): after every handler call the list
// checks what is still there before it goes on.
//
// No error leaves a tick or an event's destructor (where the last enabled
// event going ends the list and runs OnFinish): it goes to
// HandleTickException, or, when the failing handler freed the list, to the
// error route the platform installed (the application's error box).
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <vector>

#include "base/component.h"
#include "base/sysutils.h"

class EOutOfResources : public Exception {
  using Exception::Exception;
};

class TLkCustomTimerList;

class TLkTimerEvent : public TComponent {
 public:
  explicit TLkTimerEvent(TComponent* owner);
  ~TLkTimerEvent() override;

  bool Cycled() const { return cycled_; }
  void SetCycled(bool value);
  int RepeatCount() const { return repeatCount_; }
  void SetRepeatCount(int value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  int Interval() const { return interval_; }
  void SetInterval(int ms);
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(TNotifyEvent handler) { onTimer_ = std::move(handler); }

  int FireCount() const { return fireCount_; }
  uint32_t StartTick() const { return startTick_; }
  int Handle() const { return handle_; }
  TLkCustomTimerList* TimerList() const { return list_; }
  // Joins a list (what the parent link of a form-built event does); null leaves it.
  void SetTimerList(TLkCustomTimerList* list);

 private:
  friend class TLkCustomTimerList;
  bool cycled_ = true;
  int repeatCount_ = 0;
  bool enabled_ = true;
  int interval_ = 1000;
  TNotifyEvent onTimer_;
  int fireCount_ = 0;
  uint32_t startTick_ = 0;
  int handle_ = -1;
  TLkCustomTimerList* list_ = nullptr;
};

using TLkTimersEvent = TEvent<void(TObject* sender, int handle)>;

class TLkCustomTimerList : public TComponent {
 public:
  explicit TLkCustomTimerList(TComponent* owner);
  // A derived list must call Shutdown() in its own destructor, while its
  // timer hooks still work.
  ~TLkCustomTimerList() override;

  bool Active() const { return active_; }
  void SetActive(bool value);
  void Start() { SetActive(true); }
  const std::vector<TLkTimerEvent*>& Events() const { return events_; }
  const TNotifyEvent& OnFinish() const { return onFinish_; }
  void SetOnFinish(TNotifyEvent handler) { onFinish_ = std::move(handler); }
  const TLkTimersEvent& OnTimers() const { return onTimers_; }
  void SetOnTimers(TLkTimersEvent handler) { onTimers_ = std::move(handler); }

  virtual int NextHandle();
  // An event owned by the list; returns its handle, or -1 when none was made.
  virtual int Add(TNotifyEvent callback, int interval, bool cycled);
  virtual void Delete(int handle);
  TLkTimerEvent* EventByHandle(int handle) const;

  // The window timer's period as last calculated (0: none needed).
  int TimerInterval() const { return interval_; }
  // The platform calls this on every message of its timer; nothing escapes it.
  void Tick();

  // Where errors go that no list is left to take (the platform installs the
  // application's handling); null drops them.
  using TErrorRoute = void (*)(std::exception_ptr error);
  static void SetErrorRoute(TErrorRoute route);

 protected:
  virtual void Fire(TLkTimerEvent* event);
  void Loaded() override;
  void Shutdown();

  // Platform hooks.
  virtual uint32_t Now() = 0;
  virtual void OpenTimer() = 0;  // the utility window
  virtual void CloseTimer() = 0;
  virtual bool TimerOpen() const = 0;
  virtual bool StartTimer(int ms) = 0;  // false: the system refused
  virtual void StopTimer() = 0;
  // An error of a tick or of a leaving event; the default takes the error route.
  virtual void HandleTickException(std::exception_ptr error);

 private:
  friend class TLkTimerEvent;
  void Join(TLkTimerEvent* e);
  void Leave(TLkTimerEvent* e);
  void CalculateInterval();
  void Sort();
  void UpdateTimer();
  bool AnyEnabled() const;
  bool ProcessEvents(const std::shared_ptr<bool>& alive);
  // Hands an error on without letting anything escape; `list` is only used while `alive`.
  static void RouteError(TLkCustomTimerList* list, const std::shared_ptr<bool>& alive,
                         std::exception_ptr error) noexcept;

  bool active_ = false;
  std::vector<TLkTimerEvent*> events_;
  TNotifyEvent onFinish_;
  TLkTimersEvent onTimers_;
  int sequence_ = 0;
  int interval_ = 0;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  bool shutDown_ = false;
};

// The interval rule alone: the window timer's period for events given as
// (enabled, interval, ms already elapsed since their start), in list order.
struct TTimerSlot {
  bool enabled;
  int interval;
  int32_t elapsed;
};
int CommonTimerInterval(const std::vector<TTimerSlot>& events);
