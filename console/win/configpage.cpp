#include "console/win/configpage.h"

#include "console/win/lkmainform.h"
#include "shared/win/installpaths.h"
#include "shared/win/settings.h"

namespace {
const TConsolePageFace kConfigFace{"SettingsPanel", "Configuration", "PanelConfig", "ToolBar2", 5, "Configuration"};
const char* const kOverlayColours[] = {"BLUE", "CYAN", "RED", "GREEN", "YELLOW", "BLACK"};
}  // namespace

TConfigPage::TConfigPage(TLKMain* form) : TConsolePage(form, kConfigFace) {
  SettingsPanel = Panel;
  PanelConfig = ToolPanel;
}

void TConfigPage::LoadConfiguration() {
  // Without "InstallPath" the gate, which lives in the system folder, would
  // look for its data files there, find none and accept any password.
  if (ReadSetting(LKData::InstallPath).empty()) WriteSetting(LKData::InstallPath, InstallFolder());
  const std::string colour = ReadSetting(LKData::Malla);
  for (const char* name : kOverlayColours)
    if (colour == name) State().OverlayColorName = colour;
}
