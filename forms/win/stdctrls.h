// Standard controls: the windowless label, and buttons, edits, memos and
// check boxes over the native BUTTON and EDIT classes.
//
// Texts: Caption() of a windowed control follows its window (edits keep it
// up to date on every change), so Text() and Caption() are the same thing.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "forms/win/controls.h"
#include "forms/win/forms.h"

// A caption drawn by its parent: no window, transparent when asked, with
// an accelerator that focuses FocusControl.
class TCustomLabel : public TGraphicControl {
 public:
  explicit TCustomLabel(TComponent* owner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout layout);
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool on);
  bool ShowAccelChar() const { return show_accel_char_; }
  void SetShowAccelChar(bool on);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool on);
  TWinControl* FocusControl() const { return focus_control_; }
  void SetFocusControl(TWinControl* control);
  void SetAutoSize(bool on) override;

  // The DrawText flags of the label's look (alignment, word break, prefix).
  UINT TextFlags() const;

 protected:
  void Paint() override;
  // Draws the caption in `r` with DrawText flags (DT_CALCRECT measures only).
  // AutoSize remembers what a caption measured for its font and flags; a
  // label whose DoDrawText measures by anything else turns that off.
  virtual void DoDrawText(TRect& r, UINT flags);
  void SetRememberMeasures(bool on) { remember_measures_ = on; }
  void AdjustSize() override;
  void TextChanged() override;
  void FontChanged() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TAlignment alignment_ = TAlignment::taLeftJustify;
  TTextLayout layout_ = TTextLayout::tlTop;
  bool word_wrap_ = false;
  bool show_accel_char_ = true;
  bool transparent_ = false;
  bool remember_measures_ = true;
  TWinControl* focus_control_ = nullptr;
};

class TLabel : public TCustomLabel {
 public:
  explicit TLabel(TComponent* owner) : TCustomLabel(owner) {}
};

// Push button over BUTTON. A click sets the parent form's ModalResult to
// the button's; Default and Cancel make it the target of Enter and Esc.
class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* owner);
  bool Default() const { return default_; }
  void SetDefault(bool on);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool on) { cancel_ = on; }
  TModalResult ModalResult() const { return modal_result_; }
  void SetModalResult(TModalResult r) { modal_result_ = r; }
  void Click() override;

 protected:
  void CreateParams(TCreateParams& params) override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  bool default_ = false;
  bool cancel_ = false;
  TModalResult modal_result_ = mrNone;
};

enum class TEditBorderStyle { bsNone, bsSingle };
enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TCustomEdit : public TWinControl {
 public:
  explicit TCustomEdit(TComponent* owner);
  const std::string& Text() const { return Caption(); }
  void SetText(const std::string& text) { SetCaption(text); }
  char PasswordChar() const { return password_char_; }
  void SetPasswordChar(char c);
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int n);  // 0: no limit
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool on);
  TEditBorderStyle BorderStyle() const { return border_style_; }
  void SetBorderStyle(TEditBorderStyle style);
  TEditCharCase CharCase() const { return char_case_; }
  void SetCharCase(TEditCharCase c);
  bool Modified() const { return modified_; }
  void SetModified(bool on) { modified_ = on; }
  int SelStart() const;
  void SetSelStart(int pos);
  int SelLength() const;
  void SetSelLength(int n);
  std::string SelText() const;
  void SetSelText(const std::string& text);  // replaces the selection
  void SelectAll();
  void Clear() { SetText(""); }
  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  virtual void Change();  // runs OnChange
  // Without a window there is no EN_CHANGE: a new text is a change at once.
  void TextChanged() override;
  bool multi_line_ = false;
  bool setting_text_ = false;  // our own WM_SETTEXT of a multi-line edit

 private:
  char password_char_ = 0;
  int max_length_ = 0;
  bool read_only_ = false;
  bool modified_ = false;
  TEditBorderStyle border_style_ = TEditBorderStyle::bsSingle;
  TEditCharCase char_case_ = TEditCharCase::ecNormal;
};

class TEdit : public TCustomEdit {
 public:
  explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// A multi-line edit; its lines are the text split at CR LF.
class TMemo : public TCustomEdit {
 public:
  explicit TMemo(TComponent* owner);
  std::vector<std::string> Lines() const;
  void SetLines(const std::vector<std::string>& lines);
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool on);
  TScrollStyle ScrollBars() const { return scroll_bars_; }
  void SetScrollBars(TScrollStyle s);
  bool WantReturns() const { return want_returns_; }
  void SetWantReturns(bool on) { want_returns_ = on; }

 protected:
  void CreateParams(TCreateParams& params) override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  bool word_wrap_ = true;
  bool want_returns_ = true;
  TScrollStyle scroll_bars_ = TScrollStyle::ssNone;
};

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* owner);
  bool Checked() const { return state_ == TCheckBoxState::cbChecked; }
  void SetChecked(bool on) { SetState(on ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked); }
  TCheckBoxState State() const { return state_; }
  void SetState(TCheckBoxState state);  // fires OnClick when it changes
  bool AllowGrayed() const { return allow_grayed_; }
  void SetAllowGrayed(bool on) { allow_grayed_ = on; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  // A caption on several lines: its own line breaks, and wrapping at the width.
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool on);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  LRESULT CtlColor(HDC dc) override;

 private:
  void RedrawDisabledCaption();
  TCheckBoxState state_ = TCheckBoxState::cbUnchecked;
  bool allow_grayed_ = false;
  bool word_wrap_ = false;
  TAlignment alignment_ = TAlignment::taRightJustify;
};

// A frame with its caption set into the top edge, holding other controls.
class TCustomGroupBox : public TCustomControl {
 public:
  explicit TCustomGroupBox(TComponent* owner);
  // Children aligned inside stay below the caption and inside the frame.
  void AdjustClientRect(TRect& r) const override;

 protected:
  void Paint() override;
};

class TGroupBox : public TCustomGroupBox {
 public:
  explicit TGroupBox(TComponent* owner) : TCustomGroupBox(owner) {}
};
