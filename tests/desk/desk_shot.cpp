// The Desktop page with one of its menus open, for a screenshot under Xvfb
// (scripts/screenshot.sh): desk_shot.exe [edit|list] [FOLDER...]. Each FOLDER
// is added to the recent folders first, so "edit" shows them at the top of
// the directory edit's menu; "list" opens the link list's menu on the first
// row; without an argument no menu opens.
#include <windows.h>
#include <objbase.h>

#include <string>

#include "console/win/desktoppage.h"
#include "console/win/lkmainform.h"
#include "forms/win/application.h"
#include "forms/win/timer.h"
#include "shared/win/installpaths.h"

int main(int argc, char** argv) {
  CoInitialize(nullptr);
  InitInstallPaths();
  Application->Initialize();
  auto* main = new TLKMain(Application);
  main->Show();
  TDesktopPage* page = main->DesktopPage;
  for (int i = 2; i < argc; ++i) page->LkMRUFileList1->AddEntry(argv[i]);
  const std::string which = argc > 1 ? argv[1] : "";
  TTimer timer(nullptr);
  timer.SetInterval(1500);
  timer.SetOnTimer([&](TObject*) {
    timer.SetEnabled(false);
    if (which == "edit") {
      const TPoint at = page->DirectoryEdit1->ClientToScreen(TPoint{4, page->DirectoryEdit1->Height()});
      page->PopupMenu2->Popup(at.x, at.y);
    } else if (which == "list" && page->DesktopLista->Count() > 0) {
      page->DesktopLista->Items(0)->SetSelected(true);
      const TPoint at = page->DesktopLista->ClientToScreen(TPoint{60, 60});
      page->PopupMenu1->Popup(at.x, at.y);
    }
  });
  Application->Run();
  return 0;
}
