// The worker thread's synchronous call and the window timer component.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "base/sysutils.h"
#include "forms/win/application.h"
#include "forms/win/thread.h"
#include "forms/win/timer.h"
#include "tests/controls/win_support.h"

namespace {

class CallingThread : public TThread {
 public:
  explicit CallingThread(std::function<void()> fn) : TThread(true), fn_(std::move(fn)) { Start(); }
  ~CallingThread() override { WaitFor(); }
  DWORD ranOn = 0;
  std::string error;

 protected:
  void Execute() override {
    try {
      Synchronize([this] {
        ranOn = GetCurrentThreadId();
        fn_();
      });
    } catch (const Exception& e) {
      error = e.Message();
    }
  }

 private:
  std::function<void()> fn_;
};

TEST(Thread, SynchronizeRunsInTheMainThreadAndCarriesErrorsBack) {
  CallingThread t([] {});
  ASSERT_TRUE(PumpUntil([&] { return t.Finished(); }, 5000));
  EXPECT_EQ(t.ranOn, GetCurrentThreadId());
  EXPECT_EQ(MainThreadID(), GetCurrentThreadId());

  CallingThread failing([] { throw Exception("from the main thread"); });
  ASSERT_TRUE(PumpUntil([&] { return failing.Finished(); }, 5000));
  EXPECT_EQ(failing.error, "from the main thread");
}

TEST(Thread, WaitForServesAWorkerBlockedInSynchronize) {
  // No message loop here: WaitFor itself must let the call through.
  auto* t = new CallingThread([] {});
  Sleep(50);
  t->WaitFor();
  EXPECT_TRUE(t->Finished());
  EXPECT_EQ(t->ranOn, GetCurrentThreadId());
  delete t;
}

TEST(Thread, SynchronizeGetsThroughAModalMessageBox) {
  // The main thread sits in a message box's own loop; a timer closes it.
  std::atomic<bool> called{false};
  CallingThread* t = nullptr;
  TTimer closer(nullptr);
  closer.SetInterval(300);
  closer.SetOnTimer([&](TObject*) {
    if (!t->Finished()) return;
    if (HWND box = FindWindowA("#32770", "sync test")) PostMessageA(box, WM_COMMAND, IDOK, 0);
  });
  t = new CallingThread([&] { called = true; });
  MessageBoxA(nullptr, "waiting", "sync test", MB_OK);
  EXPECT_TRUE(called);
  delete t;
}

class Quick : public TThread {
 public:
  explicit Quick(std::atomic<int>* gone) : TThread(true), gone_(gone) { Start(); }
  ~Quick() override { ++*gone_; }

 protected:
  void Execute() override {}

 private:
  std::atomic<int>* gone_;
};

TEST(Thread, FreeWhenFinishedHasNoWindowForARace) {
  // Threads that end at about the moment they are handed over: each is freed
  // exactly once, by whichever side comes second.
  std::atomic<int> gone{0};
  constexpr int kThreads = 200;
  for (int i = 0; i < kThreads; ++i) {
    auto* q = new Quick(&gone);
    if (i % 3) Sleep(0);
    q->FreeWhenFinished();
  }
  ASSERT_TRUE(PumpUntil([&] { return gone == kThreads; }, 10000));
  Sleep(50);
  EXPECT_EQ(gone, kThreads);
}

TEST(Timer, FreedInsideItsOwnHandler) {
  auto* t = new TTimer(nullptr);
  int fired = 0;
  t->SetInterval(50);
  t->SetOnTimer([&](TObject* sender) {
    ++fired;
    delete static_cast<TTimer*>(sender);
  });
  PumpFor(400);
  EXPECT_EQ(fired, 1);
}

TEST(Timer, DisabledAndRestartedAndItsErrorsReported) {
  std::string reported;
  Application->OnException = [&](TObject*, const std::exception& e) { reported = e.what(); };
  TTimer t(nullptr);
  int fired = 0;
  t.SetEnabled(false);
  t.SetInterval(50);
  t.SetOnTimer([&](TObject*) {
    ++fired;
    throw Exception("handler failed");
  });
  PumpFor(200);
  EXPECT_EQ(fired, 0);
  t.SetEnabled(true);
  ASSERT_TRUE(PumpUntil([&] { return fired >= 2; }, 2000));
  EXPECT_EQ(reported, "handler failed");
  Application->OnException = nullptr;
}

}  // namespace
