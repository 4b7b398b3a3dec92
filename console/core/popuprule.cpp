#include "console/core/popuprule.h"

#include "console/core/linkplan.h"

TPopupEnabling PopupEnabling(const TPopupContext& c) {
  TPopupEnabling e;
  e.Peruser = c.UserCount > 1;
  // Exact comparison on purpose: the backup folder is the install folder's.
  const bool inBackup = c.CurrentFolder == c.BackupFolder;
  e.Restore = c.BackupFolderExists && !inBackup;
  e.Backup = !c.SelectedTargets.empty() && !inBackup;
  e.Paste = c.CopyCount > 0;
  if (c.SelectedTargets.empty()) return e;
  e.Delete = e.Execute = e.Protect = e.Revert = e.Copy = e.Properties = true;
  for (auto it = c.SelectedTargets.rbegin(); it != c.SelectedTargets.rend(); ++it) {
    if (IsProtectedTarget(*it, c.GateFileName))
      e.Protect = false;
    else
      e.Revert = false;
  }
  return e;
}
