// The password dialog: a non-visual component that asks for a password in a
// small modal window built in code, with captions in fifteen languages.
#pragma once

#include <string>

#include "controls/core/lkbuttonkinds.h"
#include "controls/win/lkctrls.h"
#include "forms/win/extctrls.h"
#include "forms/win/forms.h"

enum class TSoundType { stNoSound, stStandart, stDefault, stAsterisk, stExclamation, stSystemHand, stQuestion };

class TLkCommonDialog : public TComponent {
 public:
  explicit TLkCommonDialog(TComponent* owner);
  TDialogLanguage Language() const { return language_; }
  void SetLanguage(TDialogLanguage l) { language_ = l; }
  TSoundType SoundType() const { return sound_type_; }
  void SetSoundType(TSoundType s) { sound_type_ = s; }
  int HelpContext() const { return help_context_; }
  void SetHelpContext(int c) { help_context_ = c; }
  TFont* Font() { return &font_; }
  void SetFont(const TFont& f) { font_.Assign(f); }
  bool ParentFont() const { return parent_font_; }
  void SetParentFont(bool on) { parent_font_ = on; }

 protected:
  void Beep() const;  // the sound of SoundType

 private:
  TDialogLanguage language_ = dlEnglish;
  TSoundType sound_type_ = TSoundType::stNoSound;
  int help_context_ = 0;
  TFont font_;
  bool parent_font_ = true;
};

class TCommonDialogForm : public TForm {
 public:
  explicit TCommonDialogForm(TComponent* owner) : TForm(owner) {}
};

// The window of the password dialog.
class TPasswordForm : public TCommonDialogForm {
 public:
  explicit TPasswordForm(TComponent* owner);
  // OK is enabled when the edit is not empty or empty passwords are allowed.
  void EditChange(TObject* sender);

  TBevel* Bevel;
  TImage* KeyImage;
  TEdit* PasswordEdit;
  TLabel* PromptLabel;
  TLkButton* OKButton;
  TLkButton* CancelButton;
  TLkButton* HelpButton;
  bool AllowEmpty = false;
};

class TLkPasswordDialog : public TLkCommonDialog {
 public:
  explicit TLkPasswordDialog(TComponent* owner) : TLkCommonDialog(owner) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& c) { caption_ = c; }
  bool AllowEmptyPassword() const { return allow_empty_; }
  void SetAllowEmptyPassword(bool on) { allow_empty_ = on; }
  // The initial text of the field before Execute; the typed password after it.
  const std::string& Password() const { return password_; }
  void SetPassword(const std::string& p) { password_ = p; }
  // True when the user pressed OK; Password is emptied otherwise.
  bool Execute();

 private:
  std::string caption_;
  bool allow_empty_ = false;
  std::string password_;
};
