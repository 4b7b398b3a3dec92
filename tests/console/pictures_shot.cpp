// The console's pictures on a real display (Xvfb, Wine's X11 driver), for
// pictures_screenshot.sh: the splash hands over to the main window as in
// lkmain.exe, then each stage below is shown in turn, and the script takes a
// picture of the screen at each.
//   console_pictures_shot.exe FOLDER
// Stages: the four pages (their tool bars and the side bar), the link menu
// opened on a selected link of the Desktop page, the same with its
// "Protect" sub-menu open, the About box, the program password prompt. For stage N the program creates FOLDER\stage-N-NAME once
// it is drawn and goes on when FOLDER\shot-N exists (or after 30 s); it
// creates FOLDER\done at the end.
#include <windows.h>
#include <objbase.h>

#include <functional>
#include <string>
#include <vector>

#include "console/win/authprompt.h"
#include "console/win/desktoppage.h"
#include "console/win/lkmainform.h"
#include "console/win/splash.h"
#include "forms/win/application.h"
#include "shared/win/installpaths.h"
#include "shared/win/settings.h"

namespace {

std::string g_folder;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
void Touch(const std::string& name) {
  HANDLE h = CreateFileA((g_folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

void ShowPage(int item) {
  LKMain->OutBarra->SetSelectedItem(item);
  LKMain->OutBarraItemClick(LKMain->OutBarra);
}

BOOL CALLBACK ClosePrompt(HWND w, LPARAM) {
  char caption[64] = {};
  GetWindowTextA(w, caption, sizeof caption);
  if (IsWindowVisible(w) && std::string(caption) == "Authentication") PostMessageA(w, WM_CLOSE, 0, 0);
  return TRUE;
}

struct TStage {
  const char* Name;
  std::function<void()> Prepare;
  // A stage whose window runs its own modal loop: opened by Prepare, shut by
  // Close once its picture is taken.
  std::function<void()> Close;
  // Keys for its menu loop, posted once it runs.
  std::vector<WORD> Keys = {};
};

void OpenLinkMenu() {
  ShowPage(0);
  TDesktopPage* page = LKMain->DesktopPage;
  TListView* list = page->DesktopLista;
  if (list->Count() > 0) list->Items(0)->SetSelected(true);
  list->SetFocus();
  // Where a right click on the first link would open it.
  const TPoint at = list->ClientToScreen(TPoint{70, 40});
  page->PopupMenu1->SetPopupComponent(list);
  page->PopupMenu1->Popup(at.x, at.y);
}

const std::vector<TStage>& Stages() {
  static const std::vector<TStage> stages = {
      {"desktop", [] { ShowPage(0); }, nullptr},
      {"configuration", [] { ShowPage(1); }, nullptr},
      {"usersettings", [] { ShowPage(2); }, nullptr},
      {"logview", [] { ShowPage(3); }, nullptr},
      {"linkmenu", OpenLinkMenu, [] { EndMenu(); }},
      // "Protect" chosen by the keys: its two modes open beside it.
      {"protectmenu", OpenLinkMenu, [] { EndMenu(); }, {VK_DOWN, VK_RIGHT}},
      {"about",
       [] {
         LKMain->OutBarra->SetSelectedItem(4);
         LKMain->OutBarraItemClick(LKMain->OutBarra);
       },
       [] { LKPlash->SetModalResult(mrOk); }},
      {"password",
       [] {
         std::string typed;
         AskProgramPassword(LKMain, typed);
       },
       [] { EnumThreadWindows(GetCurrentThreadId(), ClosePrompt, 0); }},
  };
  return stages;
}

// Each stage: prepared, left to draw, announced, then (picture taken) the
// next. Modal stages return from Prepare only once closed, so the timer
// keeps running inside their loops.
enum class TPhase { Start, Settle, Wait, Closing };
size_t g_stage = 0;
TPhase g_phase = TPhase::Start;
DWORD g_until = 0;
bool g_keys_posted = false;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  const std::vector<TStage>& stages = Stages();
  if (g_stage >= stages.size()) return;
  const TStage& s = stages[g_stage];
  const std::string n = std::to_string(g_stage);
  switch (g_phase) {
    case TPhase::Start:
      if (!LKMain || !LKPlash || LKPlash->Visible()) return;  // the splash still up
      g_phase = TPhase::Settle;
      g_until = GetTickCount() + 1200;
      g_keys_posted = false;
      if (s.Close) {
        s.Prepare();  // returns once the stage's window is shut
        ++g_stage;
        g_phase = TPhase::Start;
        if (g_stage == stages.size()) Touch("done"), Application->Terminate();
      } else {
        s.Prepare();
      }
      return;
    case TPhase::Settle:
      if (!s.Keys.empty() && !g_keys_posted) {
        for (WORD key : s.Keys) PostMessageA(LKMain->Handle(), WM_KEYDOWN, key, 1);
        g_keys_posted = true;
        g_until = GetTickCount() + 1200;
      }
      if (GetTickCount() < g_until) return;
      Touch("stage-" + n + "-" + s.Name);
      g_phase = TPhase::Wait;
      g_until = GetTickCount() + 30000;
      return;
    case TPhase::Wait:
      if (!Exists(g_folder + "\\shot-" + n) && GetTickCount() < g_until) return;
      if (s.Close) {
        g_phase = TPhase::Closing;
        s.Close();
      } else {
        ++g_stage;
        g_phase = TPhase::Start;
        if (g_stage == stages.size()) Touch("done"), Application->Terminate();
      }
      return;
    case TPhase::Closing:
      return;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  g_folder = argv[1];
  CreateDirectoryA(g_folder.c_str(), nullptr);
  CoInitialize(nullptr);
  InitInstallPaths();
  WriteSetting(LKData::doAuthenticate, false);
  Application->Initialize();
  Application->SetTitle("Lockmere");
  TLKPlash* splash = nullptr;
  Application->CreateForm(splash);  // the splash creates the main window, as in the program
  SetTimer(nullptr, 0, 100, Tick);
  Application->Run();
  return 0;
}
