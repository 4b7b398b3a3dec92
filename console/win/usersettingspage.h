// The User Settings page: each user's password, message and options, kept
// in the user-data file.
#pragma once

#include "console/win/consolepage.h"

class TUserSettingsPage : public TConsolePage {
 public:
  explicit TUserSettingsPage(TLKMain* form);

  TLkCaptionPanel* PasswordPanel;
  TPanel* PanelSettings;

  void StartUp() override;
  void SaveKey() override { UpdateUserList(); }
  bool HasUnsavedChanges() const override { return State().UserSettingsChanged; }

  void LoadUserData();
  void UpdateUserList();
};
