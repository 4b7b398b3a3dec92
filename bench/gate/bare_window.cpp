// The baseline of the start-up benchmark: a program that only opens a window.
// Arguments, if any, name DLLs to load first: the price of a DLL's load.
#include <windows.h>

#include <cstdlib>

LRESULT CALLBACK BareProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_DESTROY || (msg == WM_KEYDOWN && w == VK_ESCAPE)) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, w, l);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  for (int i = 1; i < __argc; ++i) LoadLibraryA(__argv[i]);
  WNDCLASSA wc{};
  wc.lpfnWndProc = BareProc;
  wc.hInstance = instance;
  wc.lpszClassName = "BareWindow";
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "BareWindow", "BareWindow", WS_POPUP, 100, 100, 300, 196,
                           nullptr, nullptr, instance, nullptr);
  ShowWindow(w, show);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
