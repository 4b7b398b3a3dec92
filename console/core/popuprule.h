// Which items of the Desktop Shortcuts popup menu are enabled, decided from
// the page's state each time the menu opens.
#pragma once

#include <string>
#include <vector>

struct TPopupContext {
  int UserCount = 0;                    // entries of the user combo
  std::string CurrentFolder;
  std::string BackupFolder;
  bool BackupFolderExists = false;
  int CopyCount = 0;                    // paths in the copy list
  std::vector<std::string> SelectedTargets;  // target as read of every selected row
  std::string GateFileName;
};

struct TPopupEnabling {
  bool Peruser = false;
  bool Restore = false;
  bool Backup = false;
  bool Paste = false;
  bool Delete = false;
  bool Execute = false;
  bool Protect = false;
  bool Revert = false;
  bool Copy = false;
  bool Properties = false;
};

TPopupEnabling PopupEnabling(const TPopupContext& c);
