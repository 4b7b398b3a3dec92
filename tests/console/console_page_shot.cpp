// The console's main window on one of its pages, for a screenshot under
// Xvfb (scripts/screenshot.sh): console_page_shot.exe PAGE, where PAGE is the
// side bar's item (0 Desktop, 1 Configuration, 2 User Settings, 3 Log View).
// On the User Settings page the editors show the first row, as they do from
// the start; two of its flags are ticked for the picture.
#include <windows.h>
#include <objbase.h>

#include <cstdlib>

#include "console/win/lkmainform.h"
#include "console/win/usersettingspage.h"
#include "forms/win/application.h"
#include "shared/win/installpaths.h"

int main(int argc, char** argv) {
  CoInitialize(nullptr);
  InitInstallPaths();
  Application->Initialize();
  auto* main = new TLKMain(Application);
  main->Show();
  const int page = argc > 1 ? std::atoi(argv[1]) : 0;
  main->OutBarra->SetSelectedItem(page);
  main->OutBarraItemClick(main->OutBarra);
  if (page == 2 && !main->UserSettingsPage->Rows().empty()) {
    TUserSettingsPage* p = main->UserSettingsPage;
    p->TreeFlags->SetItemState(1, TLkCheckState(2));
    p->TreeFlags->SetItemState(8, TLkCheckState(2));
  }
  Application->Run();
  return 0;
}
