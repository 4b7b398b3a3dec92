// The Configuration page: the settings block (program password, overlay
// colour, gate icon, skin, Explorer verbs).
#pragma once

#include "console/win/consolepage.h"

class TConfigPage : public TConsolePage {
 public:
  explicit TConfigPage(TLKMain* form);

  TLkCaptionPanel* SettingsPanel;
  TPanel* PanelConfig;

  void StartUp() override { LoadConfiguration(); }
  bool HasUnsavedChanges() const override { return State().ConfigChanged; }

  void LoadConfiguration();
};
