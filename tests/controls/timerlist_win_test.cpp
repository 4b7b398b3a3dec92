// The timer list on a real window timer: the console's splash hand-off.
#include <gtest/gtest.h>

#include "controls/win/timerlist.h"
#include "forms/win/application.h"
#include "tests/controls/win_support.h"

namespace {

TEST(TimerListWin, SplashHandOffRunsAt100AndThen1500) {
  TComponent form(nullptr);
  auto* list = new TLkTimerList(&form);
  auto* call = new TLkTimerEvent(&form);
  call->SetCycled(false);
  call->SetRepeatCount(1);
  call->SetInterval(100);
  call->SetTimerList(list);
  std::vector<DWORD> fired;
  const DWORD start = GetTickCount();
  call->SetOnTimer([&](TObject*) {
    fired.push_back(GetTickCount() - start);
    if (fired.size() == 1) {
      call->SetInterval(1500);
      call->SetEnabled(true);
      list->Start();
    } else {
      list->SetActive(false);  // frees the window whose message is being handled
    }
  });
  list->Start();
  ASSERT_NE(list->WindowHandle(), nullptr);
  EXPECT_EQ(list->TimerInterval(), 100);
  ASSERT_TRUE(PumpUntil([&] { return !list->Active(); }, 5000));
  ASSERT_EQ(fired.size(), 2u);
  RecordProperty("first_ms", static_cast<int>(fired[0]));
  RecordProperty("second_ms", static_cast<int>(fired[1]));
  EXPECT_GE(fired[0], 50u);
  EXPECT_LT(fired[0], 1200u);  // loose: a loaded machine delays timer messages
  const DWORD gap = fired[1] - fired[0];
  EXPECT_GE(gap, 1400u);
  EXPECT_LT(gap, 3000u);
  EXPECT_EQ(list->WindowHandle(), nullptr);
  PumpFor(300);  // no late tick of the freed window
  EXPECT_EQ(fired.size(), 2u);
}

TEST(TimerListWin, ListFreedInsideItsHandler) {
  auto* list = new TLkTimerList(nullptr);
  int fired = 0;
  list->Add([&](TObject*) {
    ++fired;
    delete list;
  }, 100, true);
  list->Start();
  PumpFor(600);
  EXPECT_EQ(fired, 1);
}

TEST(TimerListWin, HandlerRunsAModalLoopWhileOtherEventsFire) {
  TLkTimerList list(nullptr);
  int modalRuns = 0, ticks = 0;
  list.Add([&](TObject*) {
    ++modalRuns;
    MessageBoxA(nullptr, "modal inside a tick", "timer list test", MB_OK);
  }, 100, false);
  list.Add([&](TObject*) {
    if (++ticks == 3)
      if (HWND box = FindWindowA("#32770", "timer list test")) PostMessageA(box, WM_COMMAND, IDOK, 0);
  }, 200, true);
  list.Start();
  ASSERT_TRUE(PumpUntil([&] { return ticks >= 5; }, 5000));
  EXPECT_EQ(modalRuns, 1);
  EXPECT_TRUE(list.Active());
  EXPECT_EQ(FindWindowA("#32770", "timer list test"), nullptr);
}

// What a handler throws ends in the application's error handling, never at
// the system's frame: whether the list goes on, deactivates or is freed.
class TimerListErrors : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->OnException = [this](TObject*, const std::exception& e) { reported.push_back(e.what()); };
  }
  void TearDown() override { Application->OnException = nullptr; }
  std::vector<std::string> reported;
};

TEST_F(TimerListErrors, HandlerErrorIsReportedAndTheListGoesOn) {
  TLkTimerList list(nullptr);
  int fired = 0;
  list.Add([&](TObject*) {
    if (++fired == 1) throw Exception("first tick failed");
  }, 100, true);
  list.Start();
  ASSERT_TRUE(PumpUntil([&] { return fired >= 3; }, 5000));
  EXPECT_EQ(reported, (std::vector<std::string>{"first tick failed"}));
  EXPECT_TRUE(list.Active());
}

TEST_F(TimerListErrors, HandlerThatFreesItsListAndThrows) {
  auto* list = new TLkTimerList(nullptr);
  int fired = 0;
  list->Add([&](TObject*) {
    ++fired;
    delete list;
    throw Exception("freed, then failed");
  }, 100, true);
  list->Start();
  PumpFor(500);
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(reported, (std::vector<std::string>{"freed, then failed"}));
}

TEST_F(TimerListErrors, FinishHandlerErrorWhenTheLastEventEnds) {
  TLkTimerList list(nullptr);
  int fired = 0;
  list.Add([&](TObject*) { ++fired; }, 100, false);
  list.SetOnFinish([&](TObject*) { throw Exception("finish failed"); });
  list.Start();
  ASSERT_TRUE(PumpUntil([&] { return !list.Active(); }, 5000));
  PumpFor(200);
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(reported, (std::vector<std::string>{"finish failed"}));
}

TEST_F(TimerListErrors, FinishHandlerErrorWhenAHandlerFreesTheLastEnabledEvent) {
  // Freeing an event runs the list's bookkeeping inside the event's
  // destructor: the finish handler's error must not leave it.
  TLkTimerList list(nullptr);
  auto* other = new TLkTimerEvent(nullptr);
  other->SetInterval(5000);
  other->SetTimerList(&list);
  int fired = 0;
  list.Add([&](TObject*) {
    ++fired;
    delete other;
  }, 100, false);
  list.SetOnFinish([&](TObject*) { throw Exception("finish failed"); });
  list.Start();
  ASSERT_TRUE(PumpUntil([&] { return !list.Active(); }, 5000));
  PumpFor(200);
  EXPECT_EQ(fired, 1);
  EXPECT_EQ(reported, (std::vector<std::string>{"finish failed"}));
}

}  // namespace
