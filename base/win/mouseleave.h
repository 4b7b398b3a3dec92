// The WM_MOUSELEAVE a window asks for when the pointer moves over it. Windows
// 95 has no TrackMouseEvent: there a timer looks where the pointer is until it
// has left the window's client area (or gone over a child window, as with
// the system's tracking) and then posts the message itself.
#pragma once

#include <windows.h>

// One WM_MOUSELEAVE once the pointer leaves `window`; call it again after
// each one (every WM_MOUSEMOVE may call it).
void TrackMouseLeave(HWND window);

// The same by the timer alone, as on a system without TrackMouseEvent.
void TrackMouseLeaveByTimer(HWND window);

// How often the timer looks, in milliseconds.
inline constexpr UINT kMouseLeaveCheckMs = 100;
