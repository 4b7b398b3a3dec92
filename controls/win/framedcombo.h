// TLkComboBox: a combo box with the framed controls' frame painted over its
// client area, a flat drop-down button while idle, type-ahead over its
// entries, mouse-wheel selection and a drop-down width of its own.
#pragma once

#include "controls/core/combosearch.h"
#include "controls/win/frames.h"
#include "forms/win/comctl_combobox.h"
#include "forms/win/timer.h"

class TLkCustomComboBox : public TCustomComboBox, public TLkFramedControl {
 public:
  explicit TLkCustomComboBox(TComponent* owner);

  int ItemCount() const { return static_cast<int>(Items().size()); }
  // The entry equal to `text` without regard to case becomes ItemIndex.
  bool SelectText(const std::string& text);
  // The first entry that begins with `text` (case-insensitive), or -1.
  virtual int FindEntry(const std::string& text) const;

  bool AllowEdit() const { return allow_edit_; }
  void SetAllowEdit(bool on) { allow_edit_ = on; }
  bool BeepOnInvalidKey() const { return beep_on_invalid_key_; }
  void SetBeepOnInvalidKey(bool on) { beep_on_invalid_key_ = on; }
  int DropDownWidth() const { return drop_down_width_; }
  virtual void SetDropDownWidth(int w);
  bool FlatButtons() const { return flat_buttons_; }
  virtual void SetFlatButtons(bool on);
  // The platform's sunken 3-D edge; without it the edge is painted over in
  // Color. ParentCtl3D: the desktop's look (3-D) until Ctl3D is set. A
  // visible frame turns both off, a hidden one on again.
  bool Ctl3D() const { return ctl3d_; }
  void SetCtl3D(bool on);
  bool ParentCtl3D() const { return parent_ctl3d_; }
  void SetParentCtl3D(bool on);
  // The characters typed so far (the drop-down list's type-ahead, or the
  // typed part of the editable styles' text).
  const std::string& SearchText() const {
    return Style() == TComboBoxStyle::csDropDownList ? search_.Text() : edit_search_.Text();
  }

  TNotifyEvent OnMatch;
  TNotifyEvent OnNotInList;

  // The editable styles' typing (the message loop hands the edit part's
  // characters to the combo box): completion from the entries.
  bool DoKeyPress(char& key) override;
  bool DoKeyDown(WORD& key, TShiftState shift) override;
  ~TLkCustomComboBox() override;

 protected:
  virtual void UpdateFrame(bool viaMouse, bool value);
  void FrameLookChanged() override { Invalidate(); }
  void FrameVisibleChanged() override;
  virtual void InvalidKeyBeep();
  void CloseUp() override;
  void MouseEnter() override;
  void MouseLeave() override;
  void CreateWnd() override;
  void DestroyWnd() override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void ApplyStep(const TLkSearchStep& step, char& key);
  void EditSelection(int& start, int& end);
  // The edit part's own messages: presses, cut and paste.
  static LRESULT CALLBACK EditHook(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  LRESULT EditMessage(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
  void HookEdit();
  void UnhookEdit();
  // After the platform's cut or paste: the new text is the search text.
  void AfterClipboardEdit();
  // Selects the entry the search text begins and the completed part of the
  // text, without events.
  void CompleteQuietly();
  void FocusLost();
  // Completes `text` with the first entry it begins: selects that entry and
  // the completed tail of the edit text. False when no entry matches.
  bool Complete(const std::string& text, char& key);
  void PaintFrame();
  void ResetTimerFired(TObject*);
  bool allow_edit_ = true;
  bool beep_on_invalid_key_ = true;
  int drop_down_width_ = 0;
  bool flat_buttons_ = true;
  bool ctl3d_ = true;
  bool parent_ctl3d_ = true;
  TLkListSearch search_;
  TLkEditSearch edit_search_;
  HWND edit_ = nullptr;
  WNDPROC edit_proc_ = nullptr;
  bool clip_by_key_ = false;  // Ctrl+V, Ctrl+X, Shift+Insert or Shift+Delete started a paste or cut
  char clip_key_ = 0;         // its character (none for Shift+Insert and Shift+Delete)
  bool setting_text_ = false;
  TTimer* reset_timer_;
  bool typing_ = false;
  bool focused_ = false;
};

class TLkComboBox : public TLkCustomComboBox {
 public:
  explicit TLkComboBox(TComponent* owner) : TLkCustomComboBox(owner) {}
};
