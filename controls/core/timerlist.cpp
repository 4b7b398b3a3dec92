#include "controls/core/timerlist.h"

#include <algorithm>
#include <climits>

namespace {
constexpr int kMinInterval = 100;
constexpr int kEarlyFire = 50;  // an event may fire this much before it is due
TLkCustomTimerList::TErrorRoute g_errorRoute = nullptr;
}  // namespace

int CommonTimerInterval(const std::vector<TTimerSlot>& events) {
  if (events.empty()) return 0;
  int64_t interval = INT_MAX;
  for (const TTimerSlot& e : events) {
    if (!e.enabled || e.interval <= 0) continue;
    interval = std::min<int64_t>(interval, e.interval);
    interval = std::min<int64_t>(interval, int64_t{e.interval} - e.elapsed);
  }
  if (interval < kMinInterval) interval = kMinInterval;
  if (interval == INT_MAX) return 0;
  // The largest step that divides every interval, as long as it stays above
  // the minimum; disabled events count too, so enabling one needs no restart.
  bool reduced = true;
  while (reduced && interval > kMinInterval) {
    reduced = false;
    for (const TTimerSlot& e : events) {
      const int64_t r = e.interval % interval;
      if (r > 0) {
        interval -= r;
        reduced = true;
        break;
      }
    }
  }
  if (interval < kMinInterval) interval = kMinInterval;
  return static_cast<int>(interval);
}

// ---- TLkTimerEvent ----

TLkTimerEvent::TLkTimerEvent(TComponent* owner) : TComponent(owner) {}

TLkTimerEvent::~TLkTimerEvent() {
  if (!list_) return;
  // Leaving may end the list, whose OnFinish may fail or free the list.
  TLkCustomTimerList* list = list_;
  std::shared_ptr<bool> alive = list->alive_;
  try {
    list->Leave(this);
  } catch (...) {
    TLkCustomTimerList::RouteError(list, alive, std::current_exception());
  }
}

void TLkTimerEvent::SetTimerList(TLkCustomTimerList* list) {
  if (list == list_) return;
  if (list_) list_->Leave(this);
  if (list) list->Join(this);
}

void TLkTimerEvent::SetCycled(bool value) {
  cycled_ = value;
  if (!cycled_ && repeatCount_ < 1) repeatCount_ = 1;
}

void TLkTimerEvent::SetRepeatCount(int value) {
  value = std::max(value, cycled_ ? 0 : 1);
  // The count only limits a non-cycled event; a cycled one keeps running.
  if (enabled_ && !cycled_ && fireCount_ >= value) enabled_ = false;
  repeatCount_ = value;
}

void TLkTimerEvent::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  if (!value) return;
  fireCount_ = 0;
  if (list_) {
    startTick_ = list_->Now();
    list_->CalculateInterval();
    list_->UpdateTimer();
  }
}

void TLkTimerEvent::SetInterval(int ms) {
  if (ms == interval_) return;
  interval_ = ms;
  if (list_) {
    list_->CalculateInterval();
    list_->UpdateTimer();
  }
}

// ---- TLkCustomTimerList ----

TLkCustomTimerList::TLkCustomTimerList(TComponent* owner) : TComponent(owner) {}

TLkCustomTimerList::~TLkCustomTimerList() {
  // The derived list has already shut down; this only catches a list whose
  // platform part never opened a timer.
  Shutdown();
}

void TLkCustomTimerList::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  *alive_ = false;
  onFinish_ = nullptr;
  onTimers_ = nullptr;
  if (active_ && TimerOpen()) {
    StopTimer();
    CloseTimer();
  }
  active_ = false;
  while (!events_.empty()) {
    TLkTimerEvent* e = events_.back();
    events_.pop_back();
    e->list_ = nullptr;
    if (!e->Destroying()) delete e;
  }
}

void TLkCustomTimerList::SetErrorRoute(TErrorRoute route) { g_errorRoute = route; }

void TLkCustomTimerList::HandleTickException(std::exception_ptr error) {
  if (g_errorRoute) g_errorRoute(error);
}

void TLkCustomTimerList::RouteError(TLkCustomTimerList* list, const std::shared_ptr<bool>& alive,
                                    std::exception_ptr error) noexcept {
  try {
    if (*alive)
      list->HandleTickException(error);
    else if (g_errorRoute)
      g_errorRoute(error);
  } catch (...) {
    // The error handling failed itself: there is nobody left to tell.
  }
}

int TLkCustomTimerList::NextHandle() { return ++sequence_; }

void TLkCustomTimerList::Join(TLkTimerEvent* e) {
  e->list_ = this;
  e->handle_ = NextHandle();
  e->startTick_ = Now();
  events_.push_back(e);
  Sort();
  if (active_) {
    CalculateInterval();
    UpdateTimer();
  }
}

void TLkCustomTimerList::Leave(TLkTimerEvent* e) {
  auto it = std::find(events_.begin(), events_.end(), e);
  if (it == events_.end()) return;
  events_.erase(it);
  e->list_ = nullptr;
  if (active_ && !shutDown_) {
    CalculateInterval();
    UpdateTimer();
  }
}

int TLkCustomTimerList::Add(TNotifyEvent callback, int interval, bool cycled) {
  auto* e = new TLkTimerEvent(this);
  e->SetOnTimer(std::move(callback));
  e->SetCycled(cycled);
  e->interval_ = interval;
  e->SetTimerList(this);
  return e->Handle();
}

TLkTimerEvent* TLkCustomTimerList::EventByHandle(int handle) const {
  for (TLkTimerEvent* e : events_)
    if (e->handle_ == handle) return e;
  return nullptr;
}

void TLkCustomTimerList::Delete(int handle) {
  TLkTimerEvent* e = EventByHandle(handle);
  if (!e) return;
  Leave(e);
  if (!e->Destroying()) delete e;
}

bool TLkCustomTimerList::AnyEnabled() const {
  return std::any_of(events_.begin(), events_.end(), [](const TLkTimerEvent* e) { return e->enabled_; });
}

void TLkCustomTimerList::CalculateInterval() {
  const uint32_t now = Now();
  std::vector<TTimerSlot> slots;
  slots.reserve(events_.size());
  for (const TLkTimerEvent* e : events_)
    slots.push_back({e->enabled_, e->interval_, static_cast<int32_t>(now - e->startTick_)});
  interval_ = CommonTimerInterval(slots);
}

void TLkCustomTimerList::Sort() {
  std::stable_sort(events_.begin(), events_.end(),
                   [](const TLkTimerEvent* a, const TLkTimerEvent* b) { return a->interval_ < b->interval_; });
}

void TLkCustomTimerList::UpdateTimer() {
  if ((ComponentState() & csDesigning) || !TimerOpen()) return;
  StopTimer();
  if (!AnyEnabled()) {
    if (!Loading()) SetActive(false);
    return;
  }
  if (interval_ > 0 && !StartTimer(interval_)) {
    SetActive(false);
    throw EOutOfResources("Not enough timers available");
  }
}

void TLkCustomTimerList::SetActive(bool value) {
  if (value == active_ || shutDown_) return;
  if (Loading() || (ComponentState() & csDesigning)) {
    active_ = value;
    return;
  }
  if (value) {
    OpenTimer();  // may raise; the list stays inactive then
    active_ = true;
    const uint32_t now = Now();
    for (TLkTimerEvent* e : events_)
      if (e->enabled_) e->startTick_ = now;
    CalculateInterval();
    Sort();
    UpdateTimer();
  } else {
    active_ = false;
    if (TimerOpen()) {
      StopTimer();
      CloseTimer();
    }
    if (onFinish_) {
      TNotifyEvent handler = onFinish_;
      handler(this);
    }
  }
}

void TLkCustomTimerList::Loaded() {
  TComponent::Loaded();
  if (active_) {
    active_ = false;
    SetActive(true);
  }
}

void TLkCustomTimerList::Fire(TLkTimerEvent* event) {
  const int handle = event->handle_;
  std::shared_ptr<bool> alive = alive_;
  if (event->onTimer_) {
    TNotifyEvent handler = event->onTimer_;  // the handler may free the event
    handler(event);
  }
  if (*alive && onTimers_) {
    TLkTimersEvent handler = onTimers_;
    handler(this, handle);
  }
}

bool TLkCustomTimerList::ProcessEvents(const std::shared_ptr<bool>& alive) {
  const uint32_t now = Now();
  // By handle, not by pointer: a handler may free events or add new ones.
  std::vector<int> order;
  order.reserve(events_.size());
  for (auto it = events_.rbegin(); it != events_.rend(); ++it) order.push_back((*it)->handle_);
  bool anyDisabled = false;
  for (int handle : order) {
    if (!*alive || !active_) break;
    TLkTimerEvent* e = EventByHandle(handle);
    if (!e || !e->enabled_) continue;
    // Signed: a nested tick may have restarted the event after `now` was read.
    if (static_cast<int32_t>(now - e->startTick_) < e->interval_ - kEarlyFire) continue;
    e->startTick_ = now;
    ++e->fireCount_;
    e->enabled_ = e->cycled_ || e->fireCount_ < e->repeatCount_;
    if (!e->enabled_) anyDisabled = true;
    Fire(e);
  }
  return anyDisabled;
}

void TLkCustomTimerList::Tick() {
  std::shared_ptr<bool> alive = alive_;
  try {
    if (!active_) {
      UpdateTimer();
      return;
    }
    const bool anyDisabled = ProcessEvents(alive);
    if (!*alive || !active_ || !anyDisabled) return;
    if (AnyEnabled()) {
      CalculateInterval();
      UpdateTimer();
    } else {
      SetActive(false);
    }
  } catch (...) {
    RouteError(this, alive, std::current_exception());  // `this` may be gone: checked there
  }
}
