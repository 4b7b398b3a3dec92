#include "console/win/authprompt.h"

#include "controls/win/passworddialog.h"

bool AskProgramPassword(TComponent* owner, std::string& typed) {
  TLkPasswordDialog dialog(owner);
  dialog.SetCaption("Authentication");
  dialog.SetAllowEmptyPassword(false);
  const bool ok = dialog.Execute();
  typed = dialog.Password();
  return ok;
}
