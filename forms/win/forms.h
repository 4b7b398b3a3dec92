// Forms: top-level windows with border styles, stay-on-top, centring, key
// preview, default and cancel buttons and modal showing with a result.
//
// A form built in code brackets its construction with BeginLoading() and
// EndLoading(); the Loaded() pass then fires OnCreate once. A form that was
// not bracketed fires OnCreate when Application->CreateForm made it or, at
// the latest, when it is first shown. OnDestroy fires from BeforeDestruction,
// which the owner (or Free) calls while the derived object still exists.
// A form made visible while loading shows once loading ends (after OnCreate).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "forms/win/controls.h"

class TMainMenu;
class TButton;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TFormStyle { fsNormal, fsStayOnTop };
enum class TPosition { poDesigned, poDefault, poScreenCenter, poDesktopCenter, poMainFormCenter, poOwnerFormCenter };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum : uint8_t { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = uint8_t;

// Modal results.
using TModalResult = int;
enum : TModalResult {
  mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY, mrIgnore = IDIGNORE,
  mrYes = IDYES, mrNo = IDNO, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10
};

using TCloseEvent = TEvent<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = TEvent<void(TObject* sender, bool& can_close)>;

class TCustomForm : public TCustomControl {
 public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;

  TFormBorderStyle BorderStyle() const { return border_style_; }
  void SetBorderStyle(TFormBorderStyle style);
  TBorderIcons BorderIcons() const { return border_icons_; }
  void SetBorderIcons(TBorderIcons icons);
  TFormStyle FormStyle() const { return form_style_; }
  void SetFormStyle(TFormStyle style);  // switches stay-on-top at run time
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }
  bool KeyPreview() const { return key_preview_; }
  void SetKeyPreview(bool on) { key_preview_ = on; }
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* menu);
  TIcon* Icon() { return &icon_; }

  TWinControl* ActiveControl() const { return active_control_; }
  void SetActiveControl(TWinControl* control);
  // The buttons Enter and Esc press (a TButton with Default / Cancel set).
  TButton* DefaultButton() const;
  TButton* CancelButton() const;

  TModalResult ModalResult() const { return modal_result_; }
  void SetModalResult(TModalResult result) { modal_result_ = result; }
  bool Modal() const { return modal_; }
  // Shows the form modally: the other windows of the program are disabled
  // until ModalResult becomes non-zero; returns it. A test seam may answer.
  virtual TModalResult ShowModal();
  void Close();
  bool CloseQuery();
  // Frees the form once the current message has been handled.
  void Release();
  void BeforeDestruction() override;
  static void Free(TCustomForm* form);

  void Show();
  void Hide() { SetVisible(false); }
  void SetVisible(bool visible) override;
  void BringToFront();

  // Fires OnCreate unless it has already fired.
  void EnsureCreated();

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnDestroy;

  // Key preview and dialog keys: called by the message loop before the
  // focused control sees a key. Return true when the key was taken.
  bool PreviewKeyDown(WORD& key, TShiftState shift);
  bool PreviewKeyPress(char& key);
  bool DialogKey(WORD key, TShiftState shift, TWinControl* focused);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void Paint() override;
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);

 private:
  friend class TWinControl;
  TModalResult ModalLoop();  // until a result is set and closing is allowed
  void PlaceOnShow();
  void ApplyStayOnTop();
  DWORD WindowStyle() const;
  DWORD WindowExStyle() const;

  TFormBorderStyle border_style_ = TFormBorderStyle::bsSizeable;
  TBorderIcons border_icons_ = biSystemMenu | biMinimize | biMaximize;
  TFormStyle form_style_ = TFormStyle::fsNormal;
  TPosition position_ = TPosition::poDesigned;
  bool key_preview_ = false;
  bool modal_ = false;
  bool created_ = false;
  bool destroyed_ = false;
  bool shown_once_ = false;
  bool show_after_loading_ = false;  // made visible while its properties were being set
  TMainMenu* menu_ = nullptr;
  TWinControl* active_control_ = nullptr;
  TModalResult modal_result_ = mrNone;
  TIcon icon_;
};

// Disables every visible window of the calling thread for the lifetime of
// the guard (a modal form's loop, the shell's own dialogs), then enables
// them again and re-activates the window that was active.
class TDisabledThreadWindows {
 public:
  TDisabledThreadWindows();
  ~TDisabledThreadWindows();
  TDisabledThreadWindows(const TDisabledThreadWindows&) = delete;
  TDisabledThreadWindows& operator=(const TDisabledThreadWindows&) = delete;
  HWND Active() const { return active_; }

 private:
  HWND active_;
  std::vector<HWND> disabled_;
};

class TForm : public TCustomForm {
 public:
  explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};
