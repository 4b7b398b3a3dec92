#include "console/win/configpage.h"

#include "base/streams.h"
#include "base/stringlist.h"
#include "console/core/configrules.h"
#include "console/core/pictureindex.h"
#include "console/win/lkmainform.h"
#include "shared/win/installpaths.h"
#include "shared/win/registro.h"
#include "shared/win/settings.h"
#include "shared/win/users.h"

namespace {

const TConsolePageFace kConfigFace{"SettingsPanel", "Configuration", "PanelConfig", "ToolBar2", 5, "Configuration"};

template <class T>
T* Place(TConfigPage* page, TWinControl* parent, const char* name, int left, int top, int width, int height) {
  auto* c = new T(page);
  c->SetName(name);
  c->SetParent(parent);
  c->SetBounds(left, top, width, height);
  return c;
}

TCheckBox* NewCheck(TConfigPage* page, TWinControl* parent, const char* name, const std::string& caption, int left,
                    int top, int width, int height = 17) {
  auto* c = Place<TCheckBox>(page, parent, name, left, top, width, height);
  c->SetCaption(caption);
  return c;
}

TLabel* NewLabel(TConfigPage* page, TWinControl* parent, const char* name, const std::string& caption, int left,
                 int top) {
  auto* l = Place<TLabel>(page, parent, name, left, top, 65, 13);
  l->SetCaption(caption);
  l->SetTransparent(true);
  return l;
}

TPanel* NewPanel(TConfigPage* page, TWinControl* parent, const char* name, int left, int top, int width, int height) {
  auto* p = Place<TPanel>(page, parent, name, left, top, width, height);
  p->SetCaption("");
  p->SetBevelOuter(TBevelCut::bvLowered);
  return p;
}

}  // namespace

TConfigPage::TConfigPage(TLKMain* form) : TConsolePage(form, kConfigFace) {
  SettingsPanel = Panel;
  PanelConfig = ToolPanel;
  ToolBar2 = ToolBar;
  BuildPage();
}

void TConfigPage::BuildPage() {
  ToolButton8 = NewButton("ToolButton8", "Save config", mnSaveConfig);
  ToolButton8->OnClick = TNotifyEvent(this, &TConfigPage::ToolButton8Click);
  ToolButton9 = NewButton("ToolButton9", "Cancel", mnCancel);
  ToolButton9->OnClick = TNotifyEvent(this, &TConfigPage::ToolButton9Click);

  // Program password.
  AuthPanel = NewPanel(this, SettingsPanel, "AuthPanel", 8, 32, 240, 86);
  CheckAuth = NewCheck(this, AuthPanel, "CheckAuth", "Authentication required", 10, 10, 180);
  CheckAuth->OnClick = TNotifyEvent(this, &TConfigPage::CheckAuthClick);
  LabelPassword = NewLabel(this, AuthPanel, "LabelPassword", "Password:", 10, 37);
  EditAuth = Place<TEdit>(this, AuthPanel, "EditAuth", 72, 35, 156, 16);
  EditAuth->SetBorderStyle(TEditBorderStyle::bsNone);
  EditAuth->OnChange = TNotifyEvent(this, &TConfigPage::EditAuthChange);
  CheckMasked = NewCheck(this, AuthPanel, "CheckMasked", "Masked", 10, 60, 100);
  CheckMasked->OnClick = TNotifyEvent(this, &TConfigPage::CheckMaskedClick);

  // Overlay colour: the grid, the marker over it, the click regions on top.
  ColourPanel = NewPanel(this, SettingsPanel, "ColourPanel", 256, 32, 248, 86);
  LabelColour = NewLabel(this, ColourPanel, "LabelColour", "Choose color for\r\nprotected shortcuts:", 10, 14);
  LabelInside = NewLabel(this, ColourPanel, "LabelInside", "(inside Lockmere)", 10, 50);
  Image2 = Place<TImage>(this, ColourPanel, "Image2", 151, 21, 48, 32);
  try {
    Image2->Picture()->Bitmap()->LoadFromResourceName(GetModuleHandleA(nullptr), "COLORGRID");
  } catch (const EOSError&) {
    // A program built without the console's pictures: the regions still work.
  }
  La_equis_marca_el_lugar = Place<TLabel>(this, ColourPanel, "La_equis_marca_el_lugar", 185, 20, 16, 16);
  La_equis_marca_el_lugar->SetAutoSize(false);
  La_equis_marca_el_lugar->SetTransparent(true);
  La_equis_marca_el_lugar->SetParentFont(false);
  La_equis_marca_el_lugar->Font()->SetName("Webdings");
  La_equis_marca_el_lugar->Font()->SetCharset(SYMBOL_CHARSET);
  La_equis_marca_el_lugar->Font()->SetHeight(-16);
  La_equis_marca_el_lugar->Font()->SetColor(clGray);
  La_equis_marca_el_lugar->SetCaption("r");  // Webdings draws a cross for it
  // Wine's Webdings has only a few glyphs; its Marlett draws the same cross
  // for "r" (the caption's close box).
  if (!FontHasGlyphs(*La_equis_marca_el_lugar->Font(), "r")) La_equis_marca_el_lugar->Font()->SetName("Marlett");
  const struct {
    const char* name;
    TLkMouseRegion** field;
    int left, top;
  } regions[] = {{"RegionBlue", &RegionBlue, 151, 21},   {"RegionCyan", &RegionCyan, 167, 21},
                 {"RegionRed", &RegionRed, 183, 21},     {"RegionGreen", &RegionGreen, 151, 37},
                 {"RegionYellow", &RegionYellow, 167, 37}, {"RegionBlack", &RegionBlack, 183, 37}};
  int tag = 0;
  for (const auto& r : regions) {
    auto* region = Place<TLkMouseRegion>(this, ColourPanel, r.name, r.left, r.top, 16, 16);
    region->SetCursor(crHandPoint);
    region->SetTag(tag++);
    region->OnClick = TNotifyEvent(this, &TConfigPage::RegionesMallas);
    *r.field = region;
  }

  // The gate icon of protected links: the gate's own five icons.
  IconPanel = NewPanel(this, SettingsPanel, "IconPanel", 8, 126, 496, 56);
  CheckIconSelect = NewCheck(this, IconPanel, "CheckIconSelect",
                             "Use selected icon\r\ninstead of original one\r\nin protected shortcuts.", 10, 5, 170, 46);
  CheckIconSelect->SetWordWrap(true);
  CheckIconSelect->OnClick = TNotifyEvent(this, &TConfigPage::CheckIconSelectClick);
  shIconos = new TImageList(this, 32, 32);
  shIconos->SetName("shIconos");
  for (int i = 1; i <= kGateIconCount; ++i) {
    TIcon icon;
    try {
      icon.LoadFromResourceName(GetModuleHandleA(nullptr), "ICON_" + std::to_string(i), 32);
      shIconos->AddIcon(&icon);
    } catch (const EOSError&) {
      TBitmap blank;  // keeps the positions: position i is icon i of the gate
      blank.SetSize(32, 32);
      shIconos->AddMasked(&blank, clBlack);
    }
  }
  ComboIconos = Place<TImageComboBox>(this, IconPanel, "ComboIconos", 200, 7, 72, 40);
  ComboIconos->SetShowCaptions(false);
  ComboIconos->SetImages(shIconos);  // entries " 0" to " 4"
  ComboIconos->OnChange = TNotifyEvent(this, &TConfigPage::ComboIconosChange);

  // Explorer verbs.
  GroupShell = Place<TGroupBox>(this, SettingsPanel, "GroupShell", 8, 192, 240, 116);
  GroupShell->SetCaption(" Shell Extension ");
  CheckContext = NewCheck(this, GroupShell, "CheckContext", " Use Context Menu ", 12, 20, 200);
  CheckContext->OnClick = TNotifyEvent(this, &TConfigPage::CheckContextClick);
  CheckContextAuth = NewCheck(this, GroupShell, "CheckContextAuth", "Authentication Required", 30, 44, 190);
  CheckContextAuth->OnClick = TNotifyEvent(this, &TConfigPage::CheckContextAuthClick);
  CheckContextIcon = NewCheck(this, GroupShell, "CheckContextIcon", "Use Selected Icon", 30, 66, 190);
  CheckContextIcon->OnClick = TNotifyEvent(this, &TConfigPage::CheckContextIconClick);
  CheckContextPerUser = NewCheck(this, GroupShell, "CheckContextPerUser", "Per-user Settings", 30, 88, 190);
  CheckContextPerUser->OnClick = TNotifyEvent(this, &TConfigPage::CheckContextPerUserClick);
  for (TCheckBox* c : {CheckContextAuth, CheckContextIcon, CheckContextPerUser}) c->SetEnabled(false);

  // Skins.
  GroupSkins = Place<TGroupBox>(this, SettingsPanel, "GroupSkins", 256, 192, 248, 116);
  GroupSkins->SetCaption(" Skins ");
  LabelSkin = NewLabel(this, GroupSkins, "LabelSkin", "Selected skin: ", 12, 24);
  ComboSkins = Place<TLkComboBox>(this, GroupSkins, "ComboSkins", 92, 20, 144, 21);
  ComboSkins->SetStyle(TComboBoxStyle::csDropDownList);
  ComboSkins->OnChange = TNotifyEvent(this, &TConfigPage::ComboSkinsChange);
  CheckRandom = NewCheck(this, GroupSkins, "CheckRandom", "Random", 12, 54, 100);
  CheckRandom->OnClick = TNotifyEvent(this, &TConfigPage::CheckRandomClick);
  CheckPreview = NewCheck(this, GroupSkins, "CheckPreview", "Preview", 12, 80, 100);
  CheckPreview->OnClick = TNotifyEvent(this, &TConfigPage::ComboSkinsChange);
  ImageSkins = Place<TImage>(this, GroupSkins, "ImageSkins", 164, 54, 72, 49);
  ImageSkins->SetStretch(true);
}

void TConfigPage::StartUp() {
  LoadConfiguration();
  // Without "InstallPath" the gate, which lives in the system folder, would
  // look for its data files there, find none and accept any password. Last,
  // so that a registry that refuses the write leaves the page loaded.
  if (ReadSetting(LKData::InstallPath).empty()) WriteSetting(LKData::InstallPath, InstallFolder());
}

void TConfigPage::LoadConfiguration() {
  CheckContext->SetChecked(LinkContextVerbsPresent());
  // Stored in the decrypting direction: shown by encrypting.
  TLkVigenereCipher* cipher = Form()->Cipher;
  cipher->SetDecoded(ReadSetting(LKData::Authenticate));
  EditAuth->SetText(cipher->Encoded());
  CheckAuth->SetChecked(ReadSetting(LKData::doAuthenticate));
  CheckMasked->SetChecked(ReadSetting(LKData::Masked));
  State().OverlayColorName = KnownOverlayColour(ReadSetting(LKData::Malla));
  La_equis_marca_el_lugar->SetBounds(ReadSetting(LKData::Malla_x), ReadSetting(LKData::Malla_y), 16, 16);
  ComboIconos->SetItemIndex(ClampChoice(ReadSetting(LKData::IconSelect), static_cast<int>(ComboIconos->Items().size())));
  CheckIconSelect->SetChecked(ReadSetting(LKData::doIconSelect));
  TStringList skins;
  ListSkinNames(skins);
  std::vector<std::string> names;
  for (int i = 0; i < skins.Count(); ++i) names.push_back(skins[i]);
  ComboSkins->SetItems(names);
  CheckContextAuth->SetChecked(ReadSetting(LKData::ContextAuth));
  CheckContextIcon->SetChecked(ReadSetting(LKData::ContextIcon));
  CheckContextPerUser->SetChecked(ReadSetting(LKData::ContextUserSettings));
  // By name first: a new folder sorting before the chosen skin must not
  // move the choice to another skin.
  ComboSkins->SetItemIndex(ChooseSkin(names, ReadSetting(LKData::SkinName), ReadSetting(LKData::SkinSelect)));
  CheckPreview->SetChecked(ReadSetting(LKData::SkinPreview));
  CheckRandom->SetChecked(ReadSetting(LKData::SkinRandom));
  ComboSkinsChange(ComboSkins);
}

void TConfigPage::ToolButton8Click(TObject*) {
  // The page stays changed until the last value is written: a write that
  // fails leaves it so, and the error box tells why.
  SetLinkContextVerbs(CheckContext->Checked());
  WriteSetting(LKData::Malla, State().OverlayColorName);
  WriteSetting(LKData::Malla_x, La_equis_marca_el_lugar->Left());
  WriteSetting(LKData::Malla_y, La_equis_marca_el_lugar->Top());
  WriteSetting(LKData::IconSelect, ClampChoice(ComboIconos->ItemIndex(), kGateIconCount));
  WriteSetting(LKData::doIconSelect, CheckIconSelect->Checked());
  WriteSetting(LKData::Masked, CheckMasked->Checked());
  WriteSetting(LKData::SkinSelect, ClampChoice(ComboSkins->ItemIndex(), static_cast<int>(ComboSkins->Items().size())));
  WriteSetting(LKData::SkinName, ComboSkins->Text());
  WriteSetting(LKData::SkinPreview, CheckPreview->Checked());
  WriteSetting(LKData::SkinRandom, CheckRandom->Checked());
  WriteSetting(LKData::ContextIcon, CheckContextIcon->Checked());
  WriteSetting(LKData::ContextUserSettings, CheckContextPerUser->Checked());
  if (!SavePasswordGroup()) {
    MarkChanged();
    if (EditAuth->CanFocus()) EditAuth->SetFocus();
    return;
  }
  State().ConfigChanged = false;
  SetStatusText(kStatusConfigSaved);
}

bool TConfigPage::SavePasswordGroup() {
  const std::string typed = EditAuth->Text();
  switch (DecidePasswordGroup(CheckAuth->Checked(), CheckContextAuth->Checked(), typed)) {
    case TPasswordGroup::pgNeedPassword:
      SetStatusText(kStatusNeedPassword);
      CheckAuth->SetChecked(false);
      CheckContextAuth->SetChecked(false);
      return false;
    case TPasswordGroup::pgUnstorable:
      // Its stored form would hold a 0x00 and read back cut there: the next
      // start would ask for a password nobody can type.
      SetStatusText(kStatusPasswordUnstorable);
      return false;
    case TPasswordGroup::pgSave:
      break;
  }
  TLkVigenereCipher* cipher = Form()->Cipher;
  cipher->SetEncoded(typed);
  const std::string stored = cipher->Decoded();
  const std::string before = ReadSetting(LKData::Authenticate);
  WriteSetting(LKData::Authenticate, stored);
  if (ReadSetting(LKData::Authenticate) != stored) {
    // The registry changed it on the way (a byte its text cannot carry):
    // keep the password that still opens the console.
    WriteSetting(LKData::Authenticate, before);
    SetStatusText(kStatusPasswordNotKept);
    return false;
  }
  WriteSetting(LKData::doAuthenticate, CheckAuth->Checked());
  WriteSetting(LKData::ContextAuth, CheckContextAuth->Checked());
  return true;
}

void TConfigPage::ToolButton9Click(TObject*) {
  LoadConfiguration();
  State().ConfigChanged = false;
  SetStatusText(kStatusConfigCancelled);
}

void TConfigPage::RegionesMallas(TObject* sender) {
  auto* region = dynamic_cast<TLkMouseRegion*>(sender);
  if (!region) return;
  const std::string colour = OverlayColourOfTag(static_cast<int>(region->Tag()));
  if (colour.empty()) return;
  La_equis_marca_el_lugar->SetBounds(region->Left() + 2, region->Top(), 16, 16);
  State().OverlayColorName = colour;
  MarkChanged();
}

void TConfigPage::ComboSkinsChange(TObject*) {
  TPicture* picture = ImageSkins->Picture();
  if (!CheckPreview->Checked()) {
    picture->Clear();
    MarkChanged();
    return;
  }
  if (ComboSkins->ItemIndex() != 0) {
    const std::string file = SkinsFolder() + ComboSkins->Text() + "\\main.bmp";
    try {
      if (FileExists(file))
        picture->LoadFromFile(file);
      else
        picture->Clear();
    } catch (const Exception&) {
      picture->Clear();  // a damaged picture shows nothing, like a missing one
    }
    MarkChanged();
    return;
  }
  try {
    picture->Bitmap()->LoadFromResourceName(GetModuleHandleA(nullptr), "SKINDEF");
  } catch (const EOSError&) {
    picture->Clear();
  }
}

void TConfigPage::CheckContextClick(TObject*) {
  const bool on = CheckContext->Checked();
  for (TCheckBox* c : {CheckContextAuth, CheckContextIcon, CheckContextPerUser}) c->SetEnabled(on);
  MarkChanged();
}

void TConfigPage::CheckMaskedClick(TObject*) {
  EditAuth->SetPasswordChar(CheckMasked->Checked() ? '*' : '\0');
  MarkChanged();
}

void TConfigPage::CheckAuthClick(TObject*) { MarkChanged(); }
void TConfigPage::EditAuthChange(TObject*) { MarkChanged(); }
void TConfigPage::CheckRandomClick(TObject*) { MarkChanged(); }
void TConfigPage::CheckIconSelectClick(TObject*) { MarkChanged(); }
void TConfigPage::ComboIconosChange(TObject*) { MarkChanged(); }
void TConfigPage::CheckContextAuthClick(TObject*) { MarkChanged(); }
void TConfigPage::CheckContextIconClick(TObject*) { MarkChanged(); }
void TConfigPage::CheckContextPerUserClick(TObject*) { MarkChanged(); }
