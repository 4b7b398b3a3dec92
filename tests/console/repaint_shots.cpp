// Pictures of what the console's window shows right after each command that
// changes it, with no refresh and no repaint forced: the view buttons, a
// change of user, a browsed folder, the Configuration page, the About box
// closed. The window is driven as the administrator drives it (clicks and
// keys posted to its controls, then only messages pumped), and its pixels
// are taken from the X screen (repaint_shots.sh, Wine's X11 driver on a
// virtual display) into BMP files.
//   console_repaint_shots.exe OUT_FOLDER          the pages
//   console_repaint_shots.exe OUT_FOLDER about    the program's own start,
//     the About box opened from the side bar and closed by a click on it
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "console/win/configpage.h"
#include "console/win/desktoppage.h"
#include "console/win/lkmainform.h"
#include "console/win/splash.h"
#include "forms/win/timer.h"
#include "forms/win/application.h"
#include "shared/win/installpaths.h"
#include "shared/win/settings.h"
#include "shared/win/shelllink.h"
#include "shared/win/users.h"
#include "tests/console/shots_util.h"

namespace {

void Shot(TLKMain* m, const std::string& file) { ShotOfWindow(m, file, 700); }

// A click on a tool button of the shown page, as the mouse gives it.
void ClickToolButton(TToolBar* bar, int index) {
  RECT r{};
  SendMessageA(bar->Handle(), TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  PostMessageA(bar->Handle(), WM_MOUSEMOVE, 0, at);
  PostMessageA(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(bar->Handle(), WM_LBUTTONUP, 0, at);
}

void Link(const std::string& folder, const std::string& name, const std::string& target, const std::string& about) {
  TShellLink l;
  l.Target = target;
  l.Description = about;
  WriteShellLink(l, folder + "\\" + name + ".lnk");
}

}  // namespace

// A left click posted to a window at a point of its client area.
void ClickAt(HWND h, int x, int y) {
  const LPARAM at = MAKELPARAM(x, y);
  PostMessageA(h, WM_MOUSEMOVE, 0, at);
  PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(h, WM_LBUTTONUP, 0, at);
}

// The splash hands over to the main window as in lkmain.exe; then "About..."
// in the side bar, and a click on the About box's picture closes it.
int AboutShots(const std::string& out) {
  Application->Initialize();
  TLKPlash* splash = nullptr;
  Application->CreateForm(splash);
  int step = 0;
  TTimer timer(nullptr);
  timer.SetInterval(1500);
  timer.SetOnTimer([&](TObject*) {
    if (!LKMain || !LKMain->StartupDone || LKPlash->Visible()) {
      if (step == 1 && LKPlash->Visible()) {
        Shot(LKMain, out + "\\about-1-open.bmp");
        const RECT r = LKPlash->ClientRect();
        ClickAt(LKPlash->Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        step = 2;
      }
      return;
    }
    if (step == 0) {
      Shot(LKMain, out + "\\about-0-before.bmp");
      const TLkSideItemModel& about = LKMain->OutBarra->Item(0, 4);
      ClickAt(LKMain->OutBarra->Handle(), (about.ImageRect.Left + about.ImageRect.Right) / 2,
              (about.ImageRect.Top + about.ImageRect.Bottom) / 2);
      step = 1;
    } else if (step == 2) {
      Shot(LKMain, out + "\\about-2-closed.bmp");
      timer.SetEnabled(false);
      Application->Terminate();
    }
  });
  timer.SetEnabled(true);
  Application->Run();
  return step == 2 ? 0 : 1;
}

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) return 2;
  const std::string out = argv[1];
  if (argc == 3) {
    CoInitialize(nullptr);
    InitInstallPaths();
    WriteSetting(LKData::doAuthenticate, false);
    return std::string(argv[2]) == "about" ? AboutShots(out) : 2;
  }
  CoInitialize(nullptr);
  InitInstallPaths();
  WriteSetting(LKData::doAuthenticate, false);
  WriteSetting(LKData::IconView, 0);
  const std::string system = SystemFolder();
  const std::string mine = UserDesktopFolder(), common = CommonDesktopFolder();
  CreateDirectoryA(mine.c_str(), nullptr);
  CreateDirectoryA(common.c_str(), nullptr);
  Link(mine, "Notepad", system + "notepad.exe", "Text editor");
  Link(mine, "Command Prompt", system + "cmd.exe", "Command prompt");
  Link(common, "Minesweeper", system + "winemine.exe", "A game for everybody");
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  Link(common, "Registry Editor", std::string(windows) + "\\regedit.exe", "Registry editor");
  const std::string browsed = "C:\\lkshots-browsed";
  CreateDirectoryA(browsed.c_str(), nullptr);
  Link(browsed, "Task Manager", system + "taskmgr.exe", "Programs running");

  Application->Initialize();
  auto* m = new TLKMain(Application);
  m->Show();
  TDesktopPage* d = m->DesktopPage;
  Shot(m, out + "\\desk-1-large.bmp");
  ClickToolButton(d->ToolBar1, 2);  // "List": the report
  Shot(m, out + "\\desk-2-report.bmp");
  ClickToolButton(d->ToolBar1, 1);  // "Small icons": the list
  Shot(m, out + "\\desk-3-list.bmp");
  ClickToolButton(d->ToolBar1, 0);  // "Large icons" again
  Shot(m, out + "\\desk-4-large.bmp");

  // Another user in the tool bar's list box: the common entry is the first.
  HWND users = d->Combo_Userlist->Handle();
  PostMessageA(users, WM_KEYDOWN, VK_HOME, 1);
  PostMessageA(users, WM_KEYUP, VK_HOME, 0xC0000001);
  Shot(m, out + "\\desk-5-user.bmp");
  d->LkMRUFileList1MRUItemClick(nullptr, browsed);
  Shot(m, out + "\\desk-6-browsed.bmp");

  // The Configuration page with the verbs' options disabled, then enabled.
  m->OutBarra->SetSelectedItem(1);
  m->OutBarraItemClick(m->OutBarra);
  TConfigPage* c = m->ConfigPage;
  c->CheckContext->SetChecked(false);
  Shot(m, out + "\\config.bmp");
  c->CheckContext->SetChecked(true);
  Shot(m, out + "\\config-context.bmp");
  c->ToolButton9Click(nullptr);  // leaves the settings as they were
  return 0;
}
