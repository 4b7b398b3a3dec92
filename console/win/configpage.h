// The Configuration page: the settings block's values (the program password
// and whether it is asked, the overlay colour of protected links, the gate
// icon they may take, the gate's skin, the options of the Explorer verbs)
// and the verbs themselves, saved and cancelled as a whole.
#pragma once

#include <string>

#include "console/win/consolepage.h"
#include "controls/win/framedcombo.h"
#include "controls/win/imagecombo.h"
#include "controls/win/lkctrls.h"
#include "forms/win/stdctrls.h"

class TConfigPage : public TConsolePage {
 public:
  explicit TConfigPage(TLKMain* form);

  TLkCaptionPanel* SettingsPanel;
  TPanel* PanelConfig;
  TToolBar* ToolBar2;
  TToolButton* ToolButton8;  // "Save config"
  TToolButton* ToolButton9;  // "Cancel"

  // Program password.
  TPanel* AuthPanel;
  TCheckBox* CheckAuth;
  TLabel* LabelPassword;
  TEdit* EditAuth;
  TCheckBox* CheckMasked;
  // Overlay colour: the grid, its six click regions and the marker.
  TPanel* ColourPanel;
  TLabel* LabelColour;
  TLabel* LabelInside;
  TImage* Image2;
  TLkMouseRegion* RegionBlue;
  TLkMouseRegion* RegionCyan;
  TLkMouseRegion* RegionRed;
  TLkMouseRegion* RegionGreen;
  TLkMouseRegion* RegionYellow;
  TLkMouseRegion* RegionBlack;
  TLabel* La_equis_marca_el_lugar;
  // The gate icon of protected links.
  TPanel* IconPanel;
  TCheckBox* CheckIconSelect;
  TImageComboBox* ComboIconos;
  TImageList* shIconos;
  // Explorer verbs.
  TGroupBox* GroupShell;
  TCheckBox* CheckContext;
  TCheckBox* CheckContextAuth;
  TCheckBox* CheckContextIcon;
  TCheckBox* CheckContextPerUser;
  // Skins.
  TGroupBox* GroupSkins;
  TLabel* LabelSkin;
  TLkComboBox* ComboSkins;
  TCheckBox* CheckRandom;
  TCheckBox* CheckPreview;
  TImage* ImageSkins;

  // The page's face.
  void StartUp() override;
  bool HasUnsavedChanges() const override { return State().ConfigChanged; }

  void LoadConfiguration();
  void ToolButton8Click(TObject* sender);  // Save
  void ToolButton9Click(TObject* sender);  // Cancel
  void RegionesMallas(TObject* sender);
  void ComboSkinsChange(TObject* sender);
  void CheckContextClick(TObject* sender);
  void CheckMaskedClick(TObject* sender);
  // These only mark the page as changed.
  void CheckAuthClick(TObject* sender);
  void EditAuthChange(TObject* sender);
  void CheckRandomClick(TObject* sender);
  void CheckIconSelectClick(TObject* sender);
  // Another gate icon is a change Exit must not drop.
  void ComboIconosChange(TObject* sender);
  void CheckContextAuthClick(TObject* sender);
  void CheckContextIconClick(TObject* sender);
  void CheckContextPerUserClick(TObject* sender);

 private:
  void BuildPage();
  void MarkChanged() { State().ConfigChanged = true; }
  // The password group of Save (the password, "doAuthenticate",
  // "ContextAuth"): true when it was stored and reads back as written.
  bool SavePasswordGroup();
};
