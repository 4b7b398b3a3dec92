#include "forms/win/comctl_press.h"

namespace {
// The window whose release is watched, and what was caught (one press at a
// time per thread; a nested press keeps the outer one's).
struct Watch {
  HWND hwnd = nullptr;
  bool caught = false;
  WPARAM w = 0;
  LPARAM l = 0;
};
thread_local Watch* g_watch = nullptr;

// PeekMessage and GetMessage call this for every message they hand out.
LRESULT CALLBACK WatchMessages(int code, WPARAM removed, LPARAM l) {
  if (code == HC_ACTION && removed == PM_REMOVE && g_watch) {
    const MSG* m = reinterpret_cast<const MSG*>(l);
    if (m->hwnd == g_watch->hwnd && m->message == WM_LBUTTONUP) {
      g_watch->caught = true;
      g_watch->w = m->wParam;
      g_watch->l = m->lParam;
    }
  }
  return CallNextHookEx(nullptr, code, removed, l);
}

struct HookGuard {
  HHOOK hook;
  Watch* outer;
  ~HookGuard() {
    if (hook) UnhookWindowsHookEx(hook);
    g_watch = outer;
  }
};
}  // namespace

LRESULT CallCatchingRelease(HWND hwnd, const std::function<LRESULT()>& press) {
  Watch watch;
  watch.hwnd = hwnd;
  LRESULT result = 0;
  {
    HookGuard guard{SetWindowsHookExA(WH_GETMESSAGE, WatchMessages, nullptr, GetCurrentThreadId()), g_watch};
    g_watch = &watch;
    result = press();
  }
  if (watch.caught && IsWindow(hwnd)) PostMessageA(hwnd, CM_CAUGHTRELEASE, watch.w, watch.l);
  return result;
}
