// The directory edit: a one-line edit with a small button at its right end
// that opens a folder chooser; the chosen folder becomes the text. Three
// layers: TCustomComboEdit (the edit that owns and places the button),
// TFileDirEdit (dialog events, dropped files, the default glyph) and
// TDirectoryEdit (the chooser and folder texts). The rules without a window
// are controls/core/direditrules.h.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <set>
#include <string>

#include "controls/core/direditrules.h"
#include "controls/win/speedbutton.h"
#include "forms/win/menus.h"
#include "forms/win/stdctrls.h"

class TCustomComboEdit;

// The edit's button: a speed button with a separating line on its left.
class TEditButton : public TLkSpeedButton {
 public:
  explicit TEditButton(TCustomComboEdit* edit);

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  TCustomComboEdit* edit_;
};

class TCustomComboEdit : public TCustomEdit {
 public:
  explicit TCustomComboEdit(TComponent* owner);
  ~TCustomComboEdit() override;

  TEditButton* Button() const { return button_; }
  // The window that holds the button (a child of the edit).
  TWinControl* ButtonContainer() const { return container_; }
  bool AutoSelect() const { return auto_select_; }
  void SetAutoSelect(bool on) { auto_select_ = on; }
  const std::string& ButtonHint() const { return button_->Hint(); }
  void SetButtonHint(const std::string& hint) { button_->SetHint(hint); }
  int ButtonWidth() const { return button_width_; }
  void SetButtonWidth(int width);
  TShortCut ClickKey() const { return click_key_; }
  void SetClickKey(TShortCut key) { click_key_ = key; }
  bool DirectInput() const { return direct_input_; }
  void SetDirectInput(bool on);
  TBitmap* Glyph() { return button_->Glyph(); }
  void SetGlyph(const TBitmap* bitmap);
  TGlyphKind GlyphKind() const { return glyph_kind_; }
  void SetGlyphKind(TGlyphKind kind);
  int NumGlyphs() const { return button_->NumGlyphs(); }
  void SetNumGlyphs(int n);
  // The component's own read-only flag (the window is also read-only
  // without DirectInput).
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool on);
  bool HasFocus() const { return has_focus_; }
  // Whether ButtonWidth differs from what the glyph implies.
  bool ButtonWidthStored() const;

  // The button's click and ClickKey: nothing while ReadOnly.
  void DoClick();

 protected:
  // The class's default glyph (owned by the class), null on the base.
  virtual TBitmap* DefaultGlyph() { return nullptr; }
  virtual int DefaultImageCount() const { return 1; }
  // What a click runs once ReadOnly let it.
  virtual void ButtonClick() {}

  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  bool DoKeyDown(WORD& key, TShiftState shift) override;
  void DoEnter() override;
  void DoExit() override;
  void EnabledChanged() override;
  void FontChanged() override;
  LRESULT CtlColor(HDC dc) override;
  void Resized() override;
  void Loaded() override;

 public:
  void SetBounds(int left, int top, int width, int height) override;
  // The least height for the fonts in use.
  int MinimumHeight();

 private:
  void RecreateGlyph();
  void PlaceButton();
  void SetEditRect();
  void ApplyReadOnly();
  void Paste();

  TWinControl* container_ = nullptr;
  TEditButton* button_ = nullptr;
  bool auto_select_ = true;
  int button_width_ = 21;
  TShortCut click_key_ = scAlt | VK_DOWN;
  bool direct_input_ = true;
  bool read_only_ = false;
  bool has_focus_ = false;
  HWND focus_from_ = nullptr;  // the window that had the focus before us
  TGlyphKind glyph_kind_ = TGlyphKind::gkCustom;
};

// Sender, the name (in: the start or chosen name; out: what is taken) and
// whether to go on.
using TExecOpenDialogEvent = TEvent<void(TObject* sender, std::string& name, bool& action)>;

class TFileDirEdit : public TCustomComboEdit {
 public:
  explicit TFileDirEdit(TComponent* owner);
  ~TFileDirEdit() override;

  bool AcceptFiles() const { return accept_files_; }
  void SetAcceptFiles(bool on);

  TExecOpenDialogEvent OnBeforeDialog;
  TExecOpenDialogEvent OnAfterDialog;
  TNotifyEvent OnButtonClick;
  TNotifyEvent OnDropFiles;

  virtual std::string LongName() { return Text(); }
  virtual std::string ShortName() { return Text(); }
  // Takes the names of a shell drop (as WM_DROPFILES brings them).
  void DropFiles(HDROP drop);

 protected:
  TBitmap* DefaultGlyph() override;
  virtual void AcceptName(const std::string& name) {}
  virtual void ClearFileList() {}
  void ButtonClick() override;  // fires OnButtonClick
  void CreateWnd() override;
  void DestroyWnd() override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  // The system's error mode while the chooser is open (critical-error boxes off).
  UINT saved_error_mode_ = 0;

 private:
  bool accept_files_ = false;
};

enum class TDirDialogKind { dkForms, dkWin32 };
enum class TSelectDirOpt { sdAllowCreate, sdPerformCreate, sdPrompt };
using TSelectDirOpts = std::set<TSelectDirOpt>;

class TDirectoryEdit : public TFileDirEdit {
 public:
  explicit TDirectoryEdit(TComponent* owner);

  TDirDialogKind DialogKind() const { return dialog_kind_; }
  void SetDialogKind(TDirDialogKind kind) { dialog_kind_ = kind; }
  const std::string& DialogText() const { return dialog_text_; }
  void SetDialogText(const std::string& text) { dialog_text_ = text; }
  const TSelectDirOpts& DialogOptions() const { return dialog_options_; }
  void SetDialogOptions(const TSelectDirOpts& options) { dialog_options_ = options; }
  const std::string& InitialDir() const { return initial_dir_; }
  void SetInitialDir(const std::string& dir) { initial_dir_ = dir; }
  bool MultipleDirs() const { return multiple_dirs_; }
  void SetMultipleDirs(bool on) { multiple_dirs_ = on; }

  std::string LongName() override;
  std::string ShortName() override;

 protected:
  void AcceptName(const std::string& name) override;
  // OnButtonClick, OnBeforeDialog, the chooser, OnAfterDialog, the text.
  void ButtonClick() override;

 private:
  TDirDialogKind dialog_kind_ = TDirDialogKind::dkForms;
  std::string dialog_text_;
  TSelectDirOpts dialog_options_;
  std::string initial_dir_;
  bool multiple_dirs_ = false;
};
