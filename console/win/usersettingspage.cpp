#include "console/win/usersettingspage.h"

#include "console/win/lkmainform.h"

namespace {
const TConsolePageFace kUserSettingsFace{"PasswordPanel", "User Settings", "PanelSettings", "ToolBar3", 6,
                                         "User settings"};
}  // namespace

TUserSettingsPage::TUserSettingsPage(TLKMain* form) : TConsolePage(form, kUserSettingsFace) {
  PasswordPanel = Panel;
  PanelSettings = ToolPanel;
}

void TUserSettingsPage::StartUp() {
  if (State().UserNames.Count() != 0) LoadUserData();
}

void TUserSettingsPage::LoadUserData() {}
void TUserSettingsPage::UpdateUserList() {}
