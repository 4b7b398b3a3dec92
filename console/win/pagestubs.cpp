// The start-up steps of the pages that come with their own commands (user
// data, configuration, view styles, log view). This file holds what the
// start-up and the Desktop Shortcuts page need of them.
#include "console/win/lkmainform.h"
#include "shared/win/installpaths.h"
#include "shared/win/registro.h"

namespace {
constexpr const char* kSettingsKey = "SOFTWARE\\Velmora\\Lockmere\\LKData";
}

void TLKMain::DeleteLockWorkstationOption() {}
void TLKMain::LoadUserData() {}

void TLKMain::LoadConfiguration() {
  // Without "InstallPath" the gate, which lives in the system folder, would
  // look for its data files there, find none and accept any password.
  const TLkVariant stored = ReadRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, "InstallPath", TLkVariant(""));
  if (stored.AsString().empty()) WriteRegistryValue(kSettingsKey, "InstallPath", TLkVariant(InstallFolder()));
  CheckAuth = ReadRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, "doAuthenticate", TLkVariant(false)).AsBoolean();
  // Stored in the decrypting direction: read back by encrypting.
  Cipher->SetDecoded(ReadRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, "Authenticate", TLkVariant("")).AsString());
  EditAuth = Cipher->Encoded();
  const std::string colour = ReadRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, "Malla", TLkVariant("BLUE")).AsString();
  for (const char* name : {"BLUE", "CYAN", "RED", "GREEN", "YELLOW", "BLACK"})
    if (colour == name) OverlayColorName = colour;
}

void TLKMain::LoadViewStyles() {}
void TLKMain::SaveViewStyles() {}
void TLKMain::LoadLogView() {}
void TLKMain::LogViewRefresh() {}
void TLKMain::UpdateUserList() {}
