// The state the console's pages share. The main window owns the one object;
// the pages reach it through the window, never through globals.
#pragma once

#include <string>

#include "base/stringlist.h"

struct TConsoleState {
  // The user entries (the common entry first, then every profile) and the
  // desktop folder of each, filled once at start.
  TStringList UserNames;
  TStringList UserDesktopFolders;
  // The link files copied on the Desktop page, for Paste.
  TStringList CopyList;
  // The Configuration and User Settings pages hold unsaved changes.
  bool ConfigChanged = false;
  bool UserSettingsChanged = false;
  // The overlay colour of protected links (a resource name: "RED", ...).
  std::string OverlayColorName = "RED";
  // The program password settings, read before any other start-up step.
  bool PasswordRequired = false;
  std::string ProgramPassword;  // as typed (decoded)
};
