// A popup menu of the console's main window open on a real display (Xvfb,
// Wine's X11 driver): the menu painter's colours read back from the screen.
// Started by menu_screenshot.sh, which takes the picture while the menu is
// open.
//
//   menu_shot.exe FOLDER [popupmenu1|popupmenu1row|popupmenu3]
// popupmenu1 (the default): the Desktop page's popup with "Select All"
// selected; popupmenu1row: the same for a selected row of a plain link, so
// that the row's commands are enabled and "Execute" shows as the default;
// popupmenu3: the message editor's popup on the User Settings page with its
// "Local Tags" sub-menu open and "Username" selected.
// Writes FOLDER\probes.txt (one line per probe, then "PASS" or "FAIL"),
// creates FOLDER\ready while the menu is open, closes the menu once
// FOLDER\shot-done exists (or after 30 s), and creates FOLDER\closed as it
// ends.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>
#include <vector>

#include "console/win/desktoppage.h"
#include "console/win/lkmainform.h"
#include "console/win/usersettingspage.h"
#include "forms/win/application.h"
#include "shared/win/installpaths.h"

namespace {

std::string g_folder;
std::string g_report;
bool g_pass = true;
bool g_popupmenu3 = false;
bool g_row = false;
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

RECT ItemRect(HMENU menu, int index) {
  RECT r{};
  GetMenuItemRect(nullptr, menu, index, &r);
  return r;
}

void ProbeSelected(const char* what, const RECT& r) {
  const int mid = (r.top + r.bottom) / 2;
  const std::string w(what);
  Probe((w + " item").c_str(), (r.left + r.right) / 2, r.top + 3, RGB(179, 184, 212));  // above the text
  Probe((w + " item over the column").c_str(), r.left + 4, mid, RGB(179, 184, 212));
  Probe((w + " item: navy frame, top").c_str(), (r.left + r.right) / 2, r.top + 1, RGB(0, 0, 128));
  Probe((w + " item: navy frame, left").c_str(), r.left, mid, RGB(0, 0, 128));
  Probe((w + " item: navy frame, bottom").c_str(), (r.left + r.right) / 2, r.bottom - 1, RGB(0, 0, 128));
}

void Report(const char* what, const RECT& r) {
  char line[160];
  std::snprintf(line, sizeof line, "%s %ld,%ld-%ld,%ld\n", what, r.left, r.top, r.right, r.bottom);
  g_report += line;
}

// Items: Protect, Revert, -, &Copy, Paste, Select All (selected), -, Backup ...
void ProbePopupMenu1() {
  HMENU menu = LKMain->DesktopPage->PopupMenu1->Handle();
  const RECT first = ItemRect(menu, 0), sep = ItemRect(menu, 2), all = ItemRect(menu, 5), backup = ItemRect(menu, 7);
  Report("first item", first);
  Report("separator", sep);
  Report("select all", all);
  Probe("icon column", first.left + 4, first.top + 3, RGB(219, 216, 209));
  Probe("background", backup.right - 8, backup.top + 3, RGB(249, 248, 247));
  Probe("separator", sep.left + 60, sep.top + 2, RGB(173, 172, 172));
  ProbeSelected("selected", all);
}

// Items: Local Tags (its sub-menu open: Username (selected), Time, Date),
// Bold, Italic, Underlined, -, Remove Tags, -, the edit actions.
void ProbePopupMenu3() {
  TUserSettingsPage* page = LKMain->UserSettingsPage;
  HMENU menu = page->PopupMenu3->Handle();
  HMENU tags = page->LocalTags1->Handle();
  const RECT bold = ItemRect(menu, 1), sep = ItemRect(menu, 4);
  const RECT username = ItemRect(tags, 0), time = ItemRect(tags, 1);
  Report("bold", bold);
  Report("separator", sep);
  Report("sub-menu: username", username);
  Report("sub-menu: time", time);
  Probe("icon column", bold.left + 4, bold.top + 3, RGB(219, 216, 209));
  Probe("background", bold.right - 8, bold.top + 3, RGB(249, 248, 247));
  Probe("separator", sep.left + 60, sep.top + 2, RGB(173, 172, 172));
  Probe("sub-menu: icon column", time.left + 4, time.top + 3, RGB(219, 216, 209));
  Probe("sub-menu: background", time.right - 8, time.top + 3, RGB(249, 248, 247));
  ProbeSelected("sub-menu: selected", username);
}

void CALLBACK WaitForShot(HWND, UINT, UINT_PTR id, DWORD) {
  if (Exists(g_folder + "\\shot-done") || ++g_waited > 300) {
    KillTimer(nullptr, id);
    EndMenu();
  }
}

void CALLBACK ReadPixels(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (g_popupmenu3)
    ProbePopupMenu3();
  else
    ProbePopupMenu1();
  g_report += g_pass ? "PASS\n" : "FAIL\n";
  WriteFile("probes.txt", g_report);
  WriteFile("ready", "");
  SetTimer(nullptr, 0, 100, WaitForShot);
}

void CALLBACK SelectItem(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  // The menu loop takes the thread's keys: PopupMenu1 down to "Select All"
  // (the separator is passed over); PopupMenu3 onto "Local Tags" and right
  // into its sub-menu, whose first item the menu loop selects.
  HWND owner = LKMain->Handle();
  const std::vector<WORD> keys = g_popupmenu3 ? std::vector<WORD>{VK_DOWN, VK_RIGHT} : std::vector<WORD>(5, VK_DOWN);
  for (WORD key : keys) PostMessageA(owner, WM_KEYDOWN, key, 1);
  SetTimer(nullptr, 0, 1500, ReadPixels);
}

void CALLBACK OpenMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  TPopupMenu* menu = LKMain->DesktopPage->PopupMenu1;
  TWinControl* control = LKMain->DesktopPage->DesktopLista;
  if (g_row) {
    TLkListView* list = LKMain->DesktopPage->DesktopLista;
    list->Clear();
    list->AddRow("Notepad", {"Text editor", "None", "C:\\users\\Public\\Desktop\\Notepad.lnk",
                             "C:\\windows\\notepad.exe"}, -1);
    list->Items(0)->SetSelected(true);
  }
  if (g_popupmenu3) {
    LKMain->OutBarra->SetSelectedItem(2);
    LKMain->OutBarraItemClick(LKMain->OutBarra);
    menu = LKMain->UserSettingsPage->PopupMenu3;
    control = LKMain->UserSettingsPage->MemoGlobal;
  }
  SetTimer(nullptr, 0, 700, SelectItem);
  const TPoint at = control->ClientToScreen(TPoint{60, 20});
  menu->SetPopupComponent(control);
  menu->Popup(at.x, at.y);
  Application->Terminate();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  g_folder = argv[1];
  g_popupmenu3 = argc > 2 && std::string(argv[2]) == "popupmenu3";
  g_row = argc > 2 && std::string(argv[2]) == "popupmenu1row";
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
