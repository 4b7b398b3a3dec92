#include "console/win/authprompt.h"

#if __has_include("controls/win/passworddialog.h")
#include "controls/win/passworddialog.h"

bool AskProgramPassword(TComponent* owner, std::string& typed) {
  TLkPasswordDialog dialog(owner);
  dialog.SetCaption("Authentication");
  dialog.SetAllowEmptyPassword(false);
  const bool ok = dialog.Execute();
  typed = dialog.Password();
  return ok;
}

#else
#include "forms/win/forms.h"
#include "forms/win/stdctrls.h"

namespace {
class TPasswordForm : public TForm {
 public:
  explicit TPasswordForm(TComponent* owner) : TForm(owner) {
    SetName("PasswordForm");
    SetCaption("Authentication");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TPosition::poScreenCenter);
    SetClientSize(269, 117);
    auto* prompt = new TLabel(this);
    prompt->SetParent(this);
    prompt->SetBounds(77, 22, 162, 15);
    prompt->SetCaption("&Enter password:");
    Edit = new TEdit(this);
    Edit->SetName("PasswordEdit");
    Edit->SetParent(this);
    Edit->SetBounds(77, 39, 162, 21);
    Edit->SetPasswordChar('*');
    Edit->OnChange = TNotifyEvent(this, &TPasswordForm::EditChange);
    Ok = new TButton(this);
    Ok->SetName("OkButton");
    Ok->SetParent(this);
    Ok->SetCaption("OK");
    Ok->SetBounds(96, 86, 78, 23);
    Ok->SetDefault(true);
    Ok->SetModalResult(mrOk);
    Ok->SetEnabled(false);
    auto* cancel = new TButton(this);
    cancel->SetParent(this);
    cancel->SetCaption("Cancel");
    cancel->SetBounds(179, 86, 78, 23);
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
  }
  void EditChange(TObject*) { Ok->SetEnabled(!Edit->Text().empty()); }
  TEdit* Edit;
  TButton* Ok;
};
}  // namespace

bool AskProgramPassword(TComponent* owner, std::string& typed) {
  auto* form = new TPasswordForm(owner);
  const TModalResult r = form->ShowModal();
  // OK can only be pressed with text typed; an empty text never matches.
  const bool ok = r == mrOk && !form->Edit->Text().empty();
  typed = ok ? form->Edit->Text() : std::string();
  TCustomForm::Free(form);
  return ok;
}
#endif
