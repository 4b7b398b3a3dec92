// A menu reader as a screen reader of the 9x and NT 4.0 days was one: a hook
// DLL that the system loads into the process whose menu is open. Wine keeps a
// menu's items with the process that made it (GetMenuItemCount of another
// process's menu answers -1), so the reader goes where the items are and asks
// the system there, with GetMenuItemInfoA, as any other program would.
//
// The test sets MenuReaderHook on the thread of the open menu window and sends
// that window the registered message "LkMenuReaderRead". The hook writes every
// item of the window's menu, sub-menus after their item, one line each
//   depth|fType|fState|text
// (hexadecimal fType and fState, the text as the system hands it back) into
// the file the DLL's own path names with ".txt" added, then "end".
#include <windows.h>

#include <cstdio>

#include "base/win/structsizes.h"

namespace {

HINSTANCE self = nullptr;

void WriteItems(FILE* out, HMENU menu, int depth) {
  const int n = GetMenuItemCount(menu);
  if (n < 0) std::fprintf(out, "%d|no items (error %lu)\n", depth, GetLastError());
  for (int i = 0; i < n; ++i) {
    char text[256] = {};
    MENUITEMINFOA mi{};
    mi.cbSize = kMenuItemInfoSize;
    mi.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_STATE | MIIM_SUBMENU;
    mi.dwTypeData = text;
    mi.cch = sizeof text;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &mi)) {
      std::fprintf(out, "%d|unreadable (error %lu)\n", depth, GetLastError());
      continue;
    }
    std::fprintf(out, "%d|%x|%x|%s\n", depth, mi.fType, mi.fState, text);
    if (mi.hSubMenu) WriteItems(out, mi.hSubMenu, depth + 1);
  }
}

void Read(HWND menuWindow) {
  char path[MAX_PATH + 8] = {};
  const DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  lstrcatA(path, ".txt");
  FILE* out = std::fopen(path, "w");
  if (!out) return;
  // MN_GETHMENU: the menu a menu window shows.
  const HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, 0x01E1, 0, 0));
  if (menu) WriteItems(out, menu, 0);
  else std::fprintf(out, "0|no menu in the window\n");
  std::fprintf(out, "end\n");
  std::fclose(out);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuReaderHook(int code, WPARAM w, LPARAM l) {
  static const UINT read = RegisterWindowMessageA("LkMenuReaderRead");
  if (code == HC_ACTION) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(l);
    if (sent->message == read) Read(sent->hwnd);
  }
  return CallNextHookEx(nullptr, code, w, l);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) self = instance;
  return TRUE;
}
