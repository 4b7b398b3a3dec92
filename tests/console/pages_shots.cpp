// Pictures of the Configuration and Log View pages as they are drawn: the
// console's main window built here, under Wine's X11 driver on a virtual
// display (pages_screenshot.sh), with a log, a skin and chosen settings, and
// the window's pixels taken from the screen into BMP files.
//   console_pages_shots.exe OUT_FOLDER
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "console/win/configpage.h"
#include "console/win/lkmainform.h"
#include "console/win/logviewpage.h"
#include "forms/win/application.h"
#include "shared/core/streamcol.h"
#include "shared/win/installpaths.h"
#include "shared/win/settings.h"
#include "tests/console/shots_util.h"

namespace {

const std::string kInstall = "C:\\lkshots\\";

void Shot(TLKMain* m, const std::string& file) { ShotOfWindow(m, file, 600); }

void Log() {
  TLkStreams log(nullptr);
  log.SetEncrypted(true);
  log.SetKey("4617");
  const char* const records[][2] = {
      {"1", "alice\r\nC:\\Program Files\\Office\\winword.exe\r\n9:02 AM - 12/10/2026\r\n9:47 AM - 12/10/2026\r\n"},
      {"2", "bob\r\nC:\\Games\\Solitaire\\sol.exe\r\n10:15 AM - 12/10/2026\r\n"},
      {"3", "carol\r\nC:\\Windows\\system32\\cmd.exe\r\n11:30 AM - 12/10/2026\r\n1:05 PM - 12/10/2026\r\n7\r\n"},
      {"5", "dave\r\nC:\\Tools\\backup.bat\r\n14.10 - 10.12.2026\r\n14.20 - 10.12.2026\r\n6\r\n"},
      {"6", "erin\r\n"},
      {"12", "All Users\r\nC:\\Program Files\\Mail\\mail.exe\r\n11:50 PM - 12/10/2026\r\n12:20 AM - 12/11/2026\r\n42\r\n"},
  };
  for (const auto& r : records) {
    TMemoryStream m;
    m.WriteBuffer(r[1], static_cast<int64_t>(std::string(r[1]).size()));
    log.AddStream(r[0], m);
  }
  log.SaveToFile(kInstall + "lmlog.bin");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string out = argv[1];
  CreateDirectoryA(kInstall.c_str(), nullptr);
  CreateDirectoryA((kInstall + "skins").c_str(), nullptr);
  CreateDirectoryA((kInstall + "skins\\Aqua").c_str(), nullptr);
  WriteSetting(LKData::InstallPath, kInstall);
  WriteSetting(LKData::doAuthenticate, false);
  WriteSetting(LKData::IconLogView, 0);
  CoInitialize(nullptr);
  InitInstallPaths();
  Log();
  Application->Initialize();
  auto* m = new TLKMain(Application);
  m->Show();
  m->OutBarra->SetSelectedItem(1);
  m->OutBarraItemClick(m->OutBarra);
  TConfigPage* c = m->ConfigPage;
  c->RegionBlue->Click();
  c->ComboIconos->SetItemIndex(2);
  c->CheckIconSelect->SetChecked(true);
  c->CheckContext->SetChecked(true);
  c->CheckContextIcon->SetChecked(true);
  c->CheckPreview->SetChecked(true);
  c->EditAuth->SetText("secret");
  Shot(m, out + "\\config.bmp");
  c->ComboIconos->SetFocus();
  c->ComboIconos->SetDroppedDown(true);
  Shot(m, out + "\\config-icons.bmp");
  c->ComboIconos->SetDroppedDown(false);
  m->OutBarra->SetSelectedItem(3);
  m->OutBarraItemClick(m->OutBarra);
  Shot(m, out + "\\logview.bmp");
  m->LogViewPage->ToolButton15->SetDown(true);
  m->LogViewPage->ToolButton15Click(nullptr);
  Shot(m, out + "\\logview-fullpath.bmp");
  m->ConfigPage->ToolButton9Click(nullptr);  // leaves the settings as they were
  return 0;
}
