// passbox: the password gate that protected links start.
#include <windows.h>

#include <cstdlib>

#include "forms/win/application.h"
#include "forms/win/syslocale.h"
#include "gate/win/lkbox.h"
#include "shared/win/installpaths.h"
#include "xml/win/xmlwin.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Exactly one argument, the Gate argument; anything else ends at once,
  // with no window and no file touched.
  if (__argc != 2) return 0;
  InstallSystemCharLocale();
  InitInstallPaths();
  // Skins: the system's code page for their texts (and no network).
  InstallWinXMLSystem();
  // (The link label's cursors are registered at start-up, by lkurl.cpp.)
  Application->Initialize();
  Application->SetTitle("passbox");
  TLKBox* box = nullptr;
  Application->CreateForm(box);
  Application->Run();
  // Freed here, while the window layer still stands: the log record and the
  // timer thread's join happen in its destruction.
  TCustomForm::Free(box);
  return 0;
}
