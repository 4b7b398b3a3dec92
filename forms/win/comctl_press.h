// The left press of the list and tree views. Both run a drag-detection loop
// inside WM_LBUTTONDOWN, and the tree view's (the list view's too on some
// systems) takes the button's release out of the queue: the window, and our
// mouse handling with it, would never see the release. CallCatchingRelease
// runs the native press and notes that release; the control then posts it
// back to itself as CM_CAUGHTRELEASE, which it handles as a release that
// the native control has already seen.
#pragma once

#include <windows.h>

#include <functional>

constexpr UINT CM_CAUGHTRELEASE = WM_APP + 0x3F40;

// Runs `press` (the native WM_LBUTTONDOWN) and posts a WM_LBUTTONUP for
// `hwnd` that was taken from the queue meanwhile back as CM_CAUGHTRELEASE.
LRESULT CallCatchingRelease(HWND hwnd, const std::function<LRESULT()>& press);
