// lkmain.exe: the administrator's console.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <exception>

#include "console/win/lkmainform.h"
#include "console/win/splash.h"
#include "base/locale.h"
#include "forms/win/application.h"
#include "forms/win/syslocale.h"
#include "shared/win/installpaths.h"

namespace {
// The forms go while the whole window layer still stands, not in the
// unordered teardown of the program's static objects.
void FreeForms() {
  if (LKMain) TCustomForm::Free(LKMain);
  if (LKPlash) TCustomForm::Free(LKPlash);
}
}  // namespace

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
  try {
    TLKPlash* splash = nullptr;
    Application->CreateForm(splash);
    Application->Run();
    FreeForms();
  } catch (const std::exception& e) {
    // Nothing may leave the program body unreported.
    std::fprintf(stderr, "lkmain: %s\n", e.what());
    Application->ShowException(e);
    FreeForms();
    return 1;
  }
  return 0;
}
