// The timer list's rules on a fake clock: the common interval, which events
// fire when, and what handlers may do to the list while it is firing.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>
#include <string>
#include <vector>

#include "controls/core/timerlist.h"

namespace {

// A list whose clock and window timer are ours to drive.
class FakeTimerList : public TLkCustomTimerList {
 public:
  using TLkCustomTimerList::TLkCustomTimerList;
  ~FakeTimerList() override { Shutdown(); }

  uint32_t now = 5000;  // not 0, so a zero start tick would show
  bool open = false;
  int period = 0;  // 0: the timer is stopped
  bool refuse = false;
  std::vector<std::string> errors;

  // Runs the timer until `until` (absolute fake time) or until it stops.
  void RunUntil(uint32_t until) {
    while (period > 0 && static_cast<int32_t>(until - (now + period)) >= 0) {
      now += period;
      Tick();
    }
    now = until;
  }

 protected:
  uint32_t Now() override { return now; }
  void OpenTimer() override { open = true; }
  void CloseTimer() override { open = false; }
  bool TimerOpen() const override { return open; }
  bool StartTimer(int ms) override {
    if (refuse) return false;
    period = ms;
    return true;
  }
  void StopTimer() override { period = 0; }
  void HandleTickException(std::exception_ptr error) override {
    try {
      std::rethrow_exception(error);
    } catch (const Exception& e) {
      errors.push_back(e.Message());
    }
  }
};

struct TimerList : ::testing::Test {
  TComponent form{nullptr};
  FakeTimerList* list = new FakeTimerList(&form);
  std::vector<std::string> log;  // "name@ms since start"
  uint32_t t0 = list->now;

  // The list goes first, so no handler of a finished test is called.
  void TearDown() override { delete list; }

  TLkTimerEvent* Event(const std::string& name, int interval, bool cycled = true, int repeat = 0) {
    auto* e = new TLkTimerEvent(&form);
    e->SetName(name);
    e->SetInterval(interval);
    e->SetCycled(cycled);
    if (!cycled) e->SetRepeatCount(repeat);
    e->SetOnTimer([this](TObject* s) { Record(static_cast<TLkTimerEvent*>(s)->Name()); });
    e->SetTimerList(list);
    return e;
  }
  void Record(const std::string& what) { log.push_back(what + "@" + std::to_string(list->now - t0)); }
  std::string Log() const {
    std::string s;
    for (const auto& l : log) s += (s.empty() ? "" : " ") + l;
    return s;
  }
};

struct IntervalCase {
  const char* what;
  std::vector<TTimerSlot> events;
  int expected;
};

TEST(TimerInterval, CommonStepTable) {
  const IntervalCase cases[] = {
      {"no events", {}, 0},
      {"only disabled events", {{false, 1000, 0}}, 0},
      {"an interval of 0 needs no timer", {{true, 0, 0}}, 0},
      {"one event", {{true, 1000, 0}}, 1000},
      {"splash: 100 and 1500", {{true, 100, 0}, {true, 1500, 0}}, 100},
      {"divisor kept", {{true, 250, 0}, {true, 1000, 0}}, 250},
      {"step shrinks to a common divisor", {{true, 400, 0}, {true, 1000, 0}}, 200},
      {"step stops at the minimum", {{true, 300, 0}, {true, 1000, 0}}, 100},
      {"below the minimum is raised", {{true, 30, 0}}, 100},
      {"time left counts", {{true, 1000, 700}}, 200},
      {"an overdue event gives the minimum", {{true, 1000, 1200}}, 100},
      {"1 ms after a restart the time left breaks the divisors", {{true, 1500, 1}}, 100},
      {"disabled events join the common step", {{false, 700, 0}, {true, 1000, 0}}, 100},
      {"disabled 1500 divides 500", {{false, 1500, 0}, {true, 500, 0}}, 500},
  };
  for (const auto& c : cases) EXPECT_EQ(CommonTimerInterval(c.events), c.expected) << c.what;
}

struct FiringCase {
  const char* what;
  std::vector<std::tuple<const char*, int, bool, int>> events;  // name, interval, cycled, repeat
  uint32_t runFor;
  const char* expected;
  bool activeAfter;
};

TEST_F(TimerList, FiringTable) {
  const FiringCase cases[] = {
      {"cycled event", {{"a", 1000, true, 0}}, 3500, "a@1000 a@2000 a@3000", true},
      {"fires once, then the list stops", {{"a", 1000, false, 1}}, 3500, "a@1000", false},
      {"repeat count 3", {{"a", 200, false, 3}}, 2000, "a@200 a@400 a@600", false},
      {"splash timing: 100 and 1500 on a 100 ms timer",
       {{"fast", 100, false, 1}, {"slow", 1500, false, 1}}, 2000, "fast@100 slow@1500", false},
      {"up to 50 ms early on a coarse step", {{"a", 100, true, 0}, {"b", 250, false, 2}}, 450,
       "a@100 b@200 a@200 a@300 b@400 a@400", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    delete list;
    list = new FakeTimerList(&form);
    t0 = list->now;
    log.clear();
    for (const auto& [name, interval, cycled, repeat] : c.events) Event(name, interval, cycled, repeat);
    list->Start();
    list->RunUntil(t0 + c.runFor);
    EXPECT_EQ(Log(), c.expected);
    EXPECT_EQ(list->Active(), c.activeAfter);
  }
}

TEST_F(TimerList, InactiveListFiresFinishOnceAndStopsItsTimer) {
  Event("a", 100, false, 1);
  int finished = 0;
  list->SetOnFinish([&](TObject*) { ++finished; });
  list->Start();
  EXPECT_EQ(list->TimerInterval(), 100);
  list->RunUntil(t0 + 1000);
  EXPECT_EQ(finished, 1);
  EXPECT_FALSE(list->open);
  EXPECT_EQ(list->period, 0);
}

TEST_F(TimerList, SplashHandOffReArmsItsOwnEvent) {
  // The console's splash: a 100 ms one-shot whose first firing re-arms it to
  // 1500 ms (Interval, Enabled, Start, in that order) and whose second stops the list.
  auto* call = Event("call", 100, false, 1);
  int finished = 0;
  list->SetOnFinish([&](TObject*) { ++finished; });
  call->SetOnTimer([&](TObject*) {
    Record("call");
    if (log.size() == 1) {
      call->SetInterval(1500);
      call->SetEnabled(true);
      list->Start();
    } else {
      list->SetActive(false);
    }
  });
  list->Start();
  list->RunUntil(t0 + 5000);
  EXPECT_EQ(Log(), "call@100 call@1600");
  EXPECT_FALSE(list->Active());
  EXPECT_GE(finished, 1);
}

TEST_F(TimerList, HandlerThatDeactivatesStopsTheRestOfTheTick) {
  Event("late", 100);  // sorted first, fired last
  auto* stopper = Event("stop", 100);
  stopper->SetOnTimer([&](TObject*) {
    Record("stop");
    list->SetActive(false);
  });
  list->Start();
  list->RunUntil(t0 + 1000);
  EXPECT_EQ(Log(), "stop@100");
}

TEST_F(TimerList, HandlerMayFreeTheList) {
  Event("other", 100);
  auto* killer = Event("kill", 100);  // fired first
  int timers = 0;
  list->SetOnTimers([&](TObject*, int) { ++timers; });
  killer->SetOnTimer([&](TObject*) {
    Record("kill");
    delete list;
    list = nullptr;
  });
  list->Start();
  // Drive the tick by hand: the list is gone when it returns.
  FakeTimerList* l = list;
  l->now += 100;
  l->Tick();
  EXPECT_EQ(list, nullptr);
  EXPECT_EQ(timers, 0);  // neither OnTimers of the freed list nor "other" ran
  EXPECT_EQ(Log(), "kill@100");
  list = new FakeTimerList(&form);
}

TEST_F(TimerList, HandlerMayDeleteItsOwnEventAndOthers) {
  auto* a = Event("a", 100);
  auto* b = Event("b", 100);
  std::vector<int> handles;
  list->SetOnTimers([&](TObject*, int h) { handles.push_back(h); });
  const int ha = a->Handle(), hb = b->Handle();
  b->SetOnTimer([&](TObject*) {
    Record("b");
    list->Delete(hb);
    list->Delete(ha);
  });
  list->Start();
  list->RunUntil(t0 + 500);
  EXPECT_EQ(Log(), "b@100");
  EXPECT_EQ(handles, std::vector<int>{hb});
  EXPECT_TRUE(list->Events().empty());
  EXPECT_FALSE(list->Active());
}

TEST_F(TimerList, NestedTickFromAModalLoopFiresEachEventOnce) {
  Event("other", 100);
  auto* modal = Event("modal", 300, false, 1);  // sorted last, so fired first
  modal->SetOnTimer([&](TObject*) {
    Record("modal");
    // A modal loop keeps dispatching the list's timer messages.
    for (int i = 0; i < 4; ++i) {
      list->now += list->period;
      list->Tick();
    }
  });
  list->Start();
  list->now = t0 + 300;
  list->Tick();
  // The outer tick read its clock before the modal loop ran: "other" was
  // restarted meanwhile and must not fire a second time at 700.
  EXPECT_EQ(Log(), "modal@300 other@400 other@500 other@600 other@700");
  EXPECT_TRUE(list->Active());
}

TEST_F(TimerList, ReEnabledEventWaitsAFullInterval) {
  auto* a = Event("a", 500, false, 1);
  list->Start();
  list->RunUntil(t0 + 700);
  EXPECT_EQ(Log(), "a@500");
  EXPECT_FALSE(list->Active());
  list->now = t0 + 800;
  a->SetEnabled(true);
  EXPECT_EQ(a->FireCount(), 0);
  list->Start();
  list->RunUntil(t0 + 2000);
  EXPECT_EQ(Log(), "a@500 a@1300");
}

TEST_F(TimerList, HandlerExceptionReachesTheApplicationAndTheListGoesOn) {
  auto* a = Event("a", 100);
  a->SetOnTimer([&](TObject*) {
    Record("a");
    throw Exception("boom");
  });
  list->Start();
  list->RunUntil(t0 + 250);
  EXPECT_EQ(Log(), "a@100 a@200");
  EXPECT_EQ(list->errors, (std::vector<std::string>{"boom", "boom"}));
  EXPECT_TRUE(list->Active());
}

TEST_F(TimerList, RefusedTimerLeavesTheListInactive) {
  Event("a", 100);
  list->refuse = true;
  try {
    list->Start();
    FAIL() << "no error";
  } catch (const EOutOfResources& e) {
    EXPECT_EQ(e.Message(), "Not enough timers available");
  }
  EXPECT_FALSE(list->Active());
  EXPECT_FALSE(list->open);
}

TEST_F(TimerList, ActiveIsOnlyStoredWhileLoading) {
  form.BeginLoading();
  Event("a", 100);
  list->SetActive(true);
  EXPECT_TRUE(list->Active());
  EXPECT_FALSE(list->open);
  form.EndLoading();
  EXPECT_TRUE(list->open);
  EXPECT_EQ(list->period, 100);
}

TEST_F(TimerList, EventsSortByIntervalAndGetHandles) {
  Event("slow", 1500);
  Event("fast", 100);
  const int h = list->Add([this](TObject*) { Record("code"); }, 700, false);
  ASSERT_EQ(list->Events().size(), 3u);
  EXPECT_EQ(list->Events()[0]->Name(), "fast");
  EXPECT_EQ(list->Events()[2]->Name(), "slow");
  EXPECT_EQ(h, 3);
  EXPECT_EQ(list->EventByHandle(h)->RepeatCount(), 1);  // non-cycled: at least one firing
  list->Start();
  list->RunUntil(t0 + 800);
  EXPECT_NE(std::find(log.begin(), log.end(), "code@700"), log.end()) << Log();
}

TEST_F(TimerList, RepeatCountRules) {
  auto* a = Event("a", 100, false, 3);
  list->Start();
  list->RunUntil(t0 + 250);
  EXPECT_EQ(a->FireCount(), 2);
  a->SetRepeatCount(2);  // reached: the event stops
  EXPECT_FALSE(a->Enabled());
  a->SetRepeatCount(0);
  EXPECT_EQ(a->RepeatCount(), 1);
  auto* c = Event("c", 100);
  list->RunUntil(t0 + 450);
  c->SetRepeatCount(0);  // a cycled event is not limited by its count
  EXPECT_TRUE(c->Enabled());
}

TEST_F(TimerList, FreedEventLeavesItsList) {
  auto* a = Event("a", 100);
  Event("b", 200);
  list->Start();
  delete a;
  ASSERT_EQ(list->Events().size(), 1u);
  EXPECT_EQ(list->TimerInterval(), 200);
  list->RunUntil(t0 + 450);
  EXPECT_EQ(Log(), "b@200 b@400");
}

TEST_F(TimerList, FreeingTheListFreesItsEvents) {
  std::vector<std::string> gone;
  struct Probe : TLkTimerEvent {
    Probe(TComponent* o, std::vector<std::string>* g) : TLkTimerEvent(o), g_(g) {}
    ~Probe() override { g_->push_back(Name()); }
    std::vector<std::string>* g_;
  };
  auto* p = new Probe(&form, &gone);
  p->SetName("p");
  p->SetTimerList(list);
  list->Start();
  delete list;
  list = new FakeTimerList(&form);
  EXPECT_EQ(gone, std::vector<std::string>{"p"});
  EXPECT_EQ(form.FindComponent("p"), nullptr);
}

// The error route for the time of a test: what reaches it, by message.
struct RoutedErrors {
  RoutedErrors() {
    Messages().clear();
    TLkCustomTimerList::SetErrorRoute(&Take);
  }
  ~RoutedErrors() { TLkCustomTimerList::SetErrorRoute(nullptr); }
  static std::vector<std::string>& Messages() {
    static std::vector<std::string> m;
    return m;
  }
  static void Take(std::exception_ptr error) {
    try {
      std::rethrow_exception(error);
    } catch (const Exception& e) {
      Messages().push_back(e.Message());
    }
  }
};

// Freeing the last enabled event ends the list inside the event's destructor:
// what OnFinish throws there goes to the list's error handling, or to the
// error route when the handler freed the list first.
TEST_F(TimerList, FinishErrorsInsideAnEventsDestructorAreRouted) {
  RoutedErrors routed;
  auto* a = Event("a", 100);
  list->SetOnFinish([&](TObject*) { throw Exception("finish failed"); });
  list->Start();
  delete a;
  EXPECT_FALSE(list->Active());
  EXPECT_EQ(list->errors, std::vector<std::string>{"finish failed"});
  EXPECT_TRUE(routed.Messages().empty());

  auto* b = Event("b", 100);
  list->SetOnFinish([&](TObject*) {
    delete list;
    list = nullptr;
    throw Exception("freed, then failed");
  });
  list->Start();
  delete b;
  EXPECT_EQ(list, nullptr);
  EXPECT_EQ(routed.Messages(), std::vector<std::string>{"freed, then failed"});
  list = new FakeTimerList(&form);
}

TEST_F(TimerList, ErrorOfAHandlerThatFreedItsListTakesTheRoute) {
  RoutedErrors routed;
  auto* killer = Event("kill", 100);
  killer->SetOnTimer([&](TObject*) {
    delete list;
    list = nullptr;
    throw Exception("freed, then failed");
  });
  list->Start();
  FakeTimerList* l = list;
  l->now += 100;
  l->Tick();  // returns: nothing escapes
  EXPECT_EQ(list, nullptr);
  EXPECT_EQ(routed.Messages(), std::vector<std::string>{"freed, then failed"});
  list = new FakeTimerList(&form);
}

}  // namespace
