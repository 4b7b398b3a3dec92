#include "base/win/mouseleave.h"

#include "base/win/lazy_dll.h"

namespace {

// A timer of the tracked window itself; the forms layer's timers live on
// windows of their own, so no other timer of that window has this id.
constexpr UINT_PTR kLeaveTimerId = 0x4C4D;

bool PointerOverClient(HWND window) {
  POINT pt;
  if (!GetCursorPos(&pt)) return false;
  if (WindowFromPoint(pt) != window) return false;
  RECT client;
  GetClientRect(window, &client);
  ScreenToClient(window, &pt);
  return PtInRect(&client, pt) != FALSE;
}

void CALLBACK CheckLeave(HWND window, UINT, UINT_PTR id, DWORD) {
  // While the window holds the mouse it gets every move: the system's
  // tracking waits for the release too.
  if (!IsWindow(window) || GetCapture() == window || PointerOverClient(window)) return;
  KillTimer(window, id);
  PostMessageA(window, WM_MOUSELEAVE, 0, 0);
}

}  // namespace

void TrackMouseLeaveByTimer(HWND window) {
  // Setting it again only restarts the same timer.
  if (window) SetTimer(window, kLeaveTimerId, kMouseLeaveCheckMs, CheckLeave);
}

void TrackMouseLeave(HWND window) {
  TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
  if (!user::TrackMouseEvent(&track) && GetLastError() == ERROR_PROC_NOT_FOUND) TrackMouseLeaveByTimer(window);
}
