#include "controls/win/passworddialog.h"

#include "forms/win/application.h"

TLkCommonDialog::TLkCommonDialog(TComponent* owner) : TComponent(owner) {}

void TLkCommonDialog::Beep() const {
  switch (sound_type_) {
    case TSoundType::stNoSound: break;
    case TSoundType::stStandart:
    case TSoundType::stDefault: MessageBeep(0); break;
    case TSoundType::stAsterisk: MessageBeep(MB_ICONASTERISK); break;
    case TSoundType::stExclamation: MessageBeep(MB_ICONEXCLAMATION); break;
    case TSoundType::stSystemHand: MessageBeep(MB_ICONHAND); break;
    case TSoundType::stQuestion: MessageBeep(MB_ICONQUESTION); break;
  }
}

TPasswordForm::TPasswordForm(TComponent* owner) : TCommonDialogForm(owner) {
  BeginLoading();
  SetName("PasswordForm");
  SetBorderStyle(TFormBorderStyle::bsDialog);
  SetCaption(LoadLkString(PasswordCaptionId(dlEnglish), PasswordCaptionText(dlEnglish)));
  SetClientSize(269, 117);
  SetPosition(TPosition::poScreenCenter);

  Bevel = new TBevel(this);
  Bevel->SetName("Bevel1");
  Bevel->SetParent(this);
  Bevel->SetBounds(12, 8, 244, 68);
  Bevel->SetShape(TBevelShape::bsFrame);

  KeyImage = new TImage(this);
  KeyImage->SetName("KeyImage");
  KeyImage->SetParent(this);
  KeyImage->SetBounds(28, 24, 42, 42);
  HICON key = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), "KEYICON2", IMAGE_ICON, 32, 32, 0));
  if (key) KeyImage->Picture()->Icon()->SetHandle(key);

  PasswordEdit = new TEdit(this);
  PasswordEdit->SetName("PasswordEdit");
  PasswordEdit->SetParent(this);
  PasswordEdit->SetBounds(77, 39, 162, 21);
  PasswordEdit->SetPasswordChar('*');
  PasswordEdit->OnChange = TNotifyEvent(this, &TPasswordForm::EditChange);

  PromptLabel = new TLabel(this);
  PromptLabel->SetName("PromptLabel");
  PromptLabel->SetParent(this);
  PromptLabel->SetAutoSize(false);
  PromptLabel->SetBounds(77, 22, 162, 15);
  PromptLabel->SetWordWrap(true);
  PromptLabel->SetFocusControl(PasswordEdit);
  PromptLabel->SetCaption(LoadLkString(PasswordPromptId(dlEnglish), PasswordPromptText(dlEnglish)));

  auto button = [this](TLkButtonKind kind, int x, const char* name) {
    auto* b = new TLkButton(this);
    b->SetName(name);
    b->SetParent(this);
    b->SetBounds(x, 86, 78, 23);
    b->SetKind(kind);
    return b;
  };
  OKButton = button(pbkOk, 13, "OKButton");
  OKButton->SetEnabled(false);
  CancelButton = button(pbkCancel, 96, "CancelButton");
  HelpButton = button(pbkHelp, 179, "HelpButton");
  SetActiveControl(PasswordEdit);
  EndLoading();
}

void TPasswordForm::EditChange(TObject*) { OKButton->SetEnabled(!PasswordEdit->Text().empty() || AllowEmpty); }

bool TLkPasswordDialog::Execute() {
  // Freed on every way out, also when showing fails.
  struct FormHolder {
    TPasswordForm* f;
    ~FormHolder() { TCustomForm::Free(f); }
  } holder{new TPasswordForm(Application)};
  TPasswordForm* form = holder.f;

  const TDialogLanguage lang = Language();
  if (lang != dlEnglish) {
    form->SetCaption(LoadLkString(PasswordCaptionId(lang), PasswordCaptionText(lang)));
    form->PromptLabel->SetCaption(LoadLkString(PasswordPromptId(lang), PasswordPromptText(lang)));
    form->CancelButton->SetKind(ButtonKindOf(bgCancel, lang));
    form->HelpButton->SetKind(ButtonKindOf(bgHelp, lang));
  }
  if (!caption_.empty()) form->SetCaption(caption_);
  form->AllowEmpty = allow_empty_;
  form->EditChange(form);
  if (!password_.empty()) form->PasswordEdit->SetText(password_);
  form->SetHelpContext(HelpContext());
  if (HelpContext() == 0) {
    form->HelpButton->Hide();
    form->OKButton->SetLeft(96);
    form->CancelButton->SetLeft(179);
  }
  auto* owner_form = dynamic_cast<TCustomForm*>(Owner());
  if (ParentFont() && owner_form)
    form->SetFont(*owner_form->Font());
  else
    form->SetFont(*Font());
  const int dpi = Screen ? Screen->PixelsPerInch() : 96;
  if (dpi != 96) {
    for (int i = 0; i < form->ControlCount(); ++i) {
      TControl* c = form->Controls(i);
      c->SetBounds(MulDiv(c->Left(), dpi, 96), MulDiv(c->Top(), dpi, 96), MulDiv(c->Width(), dpi, 96),
                   MulDiv(c->Height(), dpi, 96));
    }
    form->SetClientSize(MulDiv(form->ClientWidth(), dpi, 96), MulDiv(form->ClientHeight(), dpi, 96));
  }
  Beep();
  const bool ok = form->ShowModal() == mrOk;
  password_ = ok ? form->PasswordEdit->Text() : std::string();
  return ok;
}
