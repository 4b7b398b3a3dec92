// What the programs put in place of an import of the C++ runtime that the 9x
// line exports but does not carry out (base/win/runtime_9x.cpp).
#pragma once

#include <windows.h>

// CreateSemaphoreW made with CreateSemaphoreA (the name in the ANSI code page).
HANDLE WINAPI CreateSemaphoreThroughAnsi(LPSECURITY_ATTRIBUTES security, LONG initial, LONG maximum, LPCWSTR name);
