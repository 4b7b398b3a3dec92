#include "controls/win/timerlist.h"

#include "forms/win/application.h"

namespace {
constexpr UINT_PTR kTimerId = 1;
const char kClassName[] = "LkTimerListWindow";
}  // namespace

namespace {
// A tick's error, kept by the portable list, goes to the application.
void ShowTickError(std::exception_ptr error) {
  GuardCallback(nullptr, [&] { std::rethrow_exception(error); });
}
}  // namespace

TLkTimerList::TLkTimerList(TComponent* owner) : TLkCustomTimerList(owner) {
  // Errors of a list freed by the handler that failed go to the application too.
  SetErrorRoute(&ShowTickError);
}

TLkTimerList::~TLkTimerList() { Shutdown(); }

uint32_t TLkTimerList::Now() { return GetTickCount(); }

void TLkTimerList::OpenTimer() {
  if (wnd_) return;
  static const ATOM atom = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &TLkTimerList::WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc);
  }();
  (void)atom;
  wnd_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!wnd_) throw EOutOfResources("Not enough timers available");
  SetWindowLongPtrA(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void TLkTimerList::CloseTimer() {
  if (!wnd_) return;
  // Unhooked first: the window may be destroyed from inside its own tick.
  SetWindowLongPtrA(wnd_, GWLP_USERDATA, 0);
  DestroyWindow(wnd_);
  wnd_ = nullptr;
}

bool TLkTimerList::StartTimer(int ms) { return wnd_ && SetTimer(wnd_, kTimerId, static_cast<UINT>(ms), nullptr) != 0; }

void TLkTimerList::StopTimer() {
  if (wnd_) KillTimer(wnd_, kTimerId);
}

void TLkTimerList::HandleTickException(std::exception_ptr error) { ShowTickError(error); }

LRESULT CALLBACK TLkTimerList::WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != WM_TIMER) return DefWindowProcA(wnd, msg, wp, lp);
  auto* self = reinterpret_cast<TLkTimerList*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
  if (!self) return 0;
  // The tick routes its own errors (and may free the list); the boundary all the same.
  GuardCallback(nullptr, [self] { self->Tick(); });
  return 0;
}
