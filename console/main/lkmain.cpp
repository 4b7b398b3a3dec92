// lkmain.exe: the administrator's console.
#include <windows.h>
#include <objbase.h>

#include "console/win/splash.h"
#include "forms/base/locale.h"
#include "forms/win/application.h"
#include "forms/win/syslocale.h"
#include "shared/win/installpaths.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  InitInstallPaths();
  InstallSystemCharLocale();
  if (!ClaimSingleInstance()) return 0;
  if (RunningOnNT() && !UserIsAdministrator()) {
    MessageBoxA(nullptr, "You must be logged in as an administrator when running this program, sorry.", "Lockmere",
                MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  CoInitialize(nullptr);
  Application->Initialize();
  Application->SetTitle("Lockmere");
  Application->SetHelpFile("lkmere.hlp");
  TLKPlash* splash = nullptr;
  Application->CreateForm(splash);
  Application->Run();
  return 0;
}
