// What the console's shot programs share: pumping the window's messages for
// a while, and the window as the screen shows it saved to a BMP file.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "console/win/lkmainform.h"
#include "forms/win/application.h"
#include "forms/win/graphics.h"

inline void Pump(int ms) {
  const DWORD end = GetTickCount() + ms;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    Application->ProcessMessages();
    Sleep(20);
  }
}

// After `settleMs` of messages, so that the last command's repaints are done;
// the file's name is printed for the script that collects them.
inline void ShotOfWindow(TLKMain* m, const std::string& file, int settleMs) {
  Pump(settleMs);
  RECT r;
  GetWindowRect(m->Handle(), &r);
  TBitmap b;
  b.SetSize(r.right - r.left, r.bottom - r.top);
  HDC screen = GetDC(nullptr);
  BitBlt(b.Canvas()->Handle(), 0, 0, b.Width(), b.Height(), screen, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  b.SaveToFile(file);
  std::printf("%s\n", file.c_str());
}
