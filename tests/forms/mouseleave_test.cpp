// The mouse-leave tracking: the system's where it has TrackMouseEvent, and
// the timer that stands in for it on Windows 95, alike in what a window hears.
#include <gtest/gtest.h>

#include <functional>

#include "base/win/mouseleave.h"

namespace {

int g_leaves = 0;

LRESULT CALLBACK CountLeaves(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_MOUSELEAVE) ++g_leaves;
  return DefWindowProcA(hwnd, msg, w, l);
}

void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  MSG m;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    Sleep(10);
  }
}

// Waits up to a second for the count to reach `n`, then a few timer periods
// more for anything beyond it.
int LeavesAfter(int n) {
  for (int k = 0; k < 100 && g_leaves < n; ++k) Pump(10);
  Pump(3 * kMouseLeaveCheckMs);
  return g_leaves;
}

class MouseLeave : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    WNDCLASSA wc{};
    wc.lpfnWndProc = CountLeaves;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "LkLeaveProbe";
    RegisterClassA(&wc);
    // A child over the right half of the window's client area.
    window = CreateWindowExA(WS_EX_TOPMOST, "LkLeaveProbe", "", WS_POPUP | WS_VISIBLE, 100, 100, 200, 100, nullptr,
                             nullptr, nullptr, nullptr);
    child = CreateWindowExA(0, "LkLeaveProbe", "", WS_CHILD | WS_VISIBLE, 100, 0, 100, 100, window, nullptr, nullptr,
                            nullptr);
    ASSERT_TRUE(window && child);
    Pump(50);
    g_leaves = 0;
  }
  void TearDown() override {
    DestroyWindow(window);
    SetCursorPos(0, 0);
  }
  void Track() {
    if (GetParam())
      TrackMouseLeave(window);
    else
      TrackMouseLeaveByTimer(window);
  }

 public:
  HWND window = nullptr, child = nullptr;
};

TEST_P(MouseLeave, OneLeaveOnceThePointerIsOffTheClientAreaOrOverAChild) {
  SetCursorPos(140, 150);
  Track();
  EXPECT_EQ(LeavesAfter(0), 0) << "the pointer is still over the window";
  SetCursorPos(400, 400);
  EXPECT_EQ(LeavesAfter(1), 1) << "off the window: one leave, and no more";

  SetCursorPos(140, 150);
  Track();
  SetCursorPos(250, 150);
  EXPECT_EQ(LeavesAfter(2), 2) << "over the child";

  // Tracked again and again as the pointer moves: still one leave.
  SetCursorPos(140, 150);
  for (int k = 0; k < 3; ++k) Track();
  SetCursorPos(400, 400);
  EXPECT_EQ(LeavesAfter(3), 3) << "tracked three times";

  // A window that is gone is not looked after.
  SetCursorPos(140, 150);
  Track();
  DestroyWindow(window);
  window = nullptr;
  SetCursorPos(400, 400);
  EXPECT_EQ(LeavesAfter(3), 3);
}

INSTANTIATE_TEST_SUITE_P(Trackers, MouseLeave, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& p) { return p.param ? "System" : "Timer"; });

}  // namespace
