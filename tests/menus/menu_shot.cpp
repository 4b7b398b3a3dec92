// The Desktop page's popup menu of the console's main window, open on a real
// display (Xvfb, Wine's X11 driver): the menu painter's colours read back
// from the screen. Started by menu_screenshot.sh, which takes the picture
// while the menu is open.
//
//   menu_shot.exe FOLDER
// writes FOLDER\probes.txt (one line per probe, then "PASS" or "FAIL"),
// creates FOLDER\ready while the menu is open with "Select All" selected,
// closes the menu once FOLDER\shot-done exists (or after 30 s), and
// creates FOLDER\closed as it ends.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "console/win/desktoppage.h"
#include "console/win/lkmainform.h"
#include "forms/win/application.h"
#include "shared/win/installpaths.h"

namespace {

std::string g_folder;
std::string g_report;
bool g_pass = true;
HMENU g_menu = nullptr;
int g_waited = 0;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteFile(const std::string& name, const std::string& text) {
  if (FILE* f = std::fopen((g_folder + "\\" + name).c_str(), "wb")) {
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
}

void Probe(const char* what, int x, int y, COLORREF want) {
  HDC screen = GetDC(nullptr);
  const COLORREF got = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  char line[200];
  std::snprintf(line, sizeof line, "%-34s at %4d,%4d: %3d,%3d,%3d (want %3d,%3d,%3d)%s\n", what, x, y, GetRValue(got),
                GetGValue(got), GetBValue(got), GetRValue(want), GetGValue(want), GetBValue(want),
                got == want ? "" : "  <-- differs");
  g_report += line;
  if (got != want) g_pass = false;
}

RECT ItemRect(int index) {
  RECT r{};
  GetMenuItemRect(nullptr, g_menu, index, &r);
  return r;
}

void CALLBACK WaitForShot(HWND, UINT, UINT_PTR id, DWORD) {
  if (Exists(g_folder + "\\shot-done") || ++g_waited > 300) {
    KillTimer(nullptr, id);
    EndMenu();
  }
}

void CALLBACK ReadPixels(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  // Items: Protect, Revert, -, &Copy, Paste, Select All (selected), -, Backup ...
  const RECT first = ItemRect(0), sep = ItemRect(2), all = ItemRect(5), backup = ItemRect(7);
  const int mid = (all.top + all.bottom) / 2;
  char line[160];
  std::snprintf(line, sizeof line, "menu items: first %ld,%ld-%ld,%ld separator %ld..%ld select-all %ld..%ld\n",
                first.left, first.top, first.right, first.bottom, sep.top, sep.bottom, all.top, all.bottom);
  g_report += line;
  Probe("icon column", first.left + 4, first.top + 3, RGB(219, 216, 209));
  Probe("background", backup.right - 8, backup.top + 3, RGB(249, 248, 247));
  Probe("separator", sep.left + 60, sep.top + 2, RGB(173, 172, 172));
  Probe("selected item", (all.left + all.right) / 2 + 10, mid, RGB(179, 184, 212));
  Probe("selected item over the column", all.left + 4, mid, RGB(179, 184, 212));
  Probe("selected item: navy frame, top", (all.left + all.right) / 2, all.top + 1, RGB(0, 0, 128));
  Probe("selected item: navy frame, left", all.left, mid, RGB(0, 0, 128));
  Probe("selected item: navy frame, bottom", (all.left + all.right) / 2, all.bottom - 1, RGB(0, 0, 128));
  g_report += g_pass ? "PASS\n" : "FAIL\n";
  WriteFile("probes.txt", g_report);
  WriteFile("ready", "");
  SetTimer(nullptr, 0, 100, WaitForShot);
}

void CALLBACK SelectItem(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  // The menu loop takes the thread's keys: down to "Select All" (the
  // separator is passed over).
  HWND owner = LKMain->Handle();
  for (int i = 0; i < 5; ++i) PostMessageA(owner, WM_KEYDOWN, VK_DOWN, 1);
  SetTimer(nullptr, 0, 1500, ReadPixels);
}

void CALLBACK OpenMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  g_menu = LKMain->DesktopPage->PopupMenu1->Handle();
  SetTimer(nullptr, 0, 700, SelectItem);
  const TPoint at = LKMain->DesktopPage->DesktopLista->ClientToScreen(TPoint{60, 40});
  LKMain->DesktopPage->PopupMenu1->SetPopupComponent(LKMain->DesktopPage->DesktopLista);
  LKMain->DesktopPage->PopupMenu1->Popup(at.x, at.y);
  Application->Terminate();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  g_folder = argv[1];
  CreateDirectoryA(g_folder.c_str(), nullptr);
  DeleteFileA((g_folder + "\\ready").c_str());
  DeleteFileA((g_folder + "\\shot-done").c_str());
  DeleteFileA((g_folder + "\\probes.txt").c_str());
  DeleteFileA((g_folder + "\\closed").c_str());
  InitInstallPaths();
  CoInitialize(nullptr);
  TUiSeam seam;
  seam.message_box = [](const std::string&, const std::string&, UINT) { return IDOK; };
  SetUiSeam(&seam);
  Application->Initialize();
  auto* form = new TLKMain(Application);
  form->Show();
  SetTimer(nullptr, 0, 1500, OpenMenu);
  Application->Run();
  const bool pass = g_pass && !g_report.empty();
  if (g_report.empty()) WriteFile("probes.txt", "the menu never opened\nFAIL\n");
  TCustomForm::Free(form);
  SetUiSeam(nullptr);
  WriteFile("closed", "");
  return pass ? 0 : 1;
}
