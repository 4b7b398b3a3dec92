// A stand-in for a protected program: notes its command line and working
// folder in "lktarget.rec" beside itself, then stays alive, with a hidden
// window titled "lktarget <pid>", until that window is closed.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

LRESULT CALLBACK TargetProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_CLOSE) {
    DestroyWindow(hwnd);
    return 0;
  }
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, w, l);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  char self[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string record = self;
  record = record.substr(0, record.find_last_of('\\') + 1) + "lktarget.rec";
  char cwd[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(MAX_PATH, cwd);

  WNDCLASSA wc{};
  wc.lpfnWndProc = TargetProc;
  wc.hInstance = instance;
  wc.lpszClassName = "LkTestTarget";
  RegisterClassA(&wc);
  const std::string title = "lktarget " + std::to_string(GetCurrentProcessId());
  CreateWindowA("LkTestTarget", title.c_str(), WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, instance, nullptr);

  // The line is written after the window exists, so a reader that sees it
  // can also close the program.
  if (std::FILE* f = std::fopen(record.c_str(), "ab")) {
    std::fprintf(f, "%lu\t%s\t%s\t%s\r\n", GetCurrentProcessId(), GetCommandLineA(), cwd, self);
    std::fclose(f);
  }
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
