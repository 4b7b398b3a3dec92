#include "forms/win/forms.h"

#include <algorithm>
#include <vector>

#include "forms/win/application.h"
#include "forms/win/menus.h"
#include "forms/win/stdctrls.h"

TCustomForm::TCustomForm(TComponent* owner) : TCustomControl(owner) {
  TControl::SetVisible(false);
  SetParentFont(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 320, 240);
  if (Screen) Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  if (!destroyed_) {
    destroyed_ = true;  // too late for OnDestroy: the derived form is gone
  }
  if (Screen) Screen->RemoveForm(this);
  if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
}

void TCustomForm::BeforeDestruction() {
  if (destroyed_) return;
  destroyed_ = true;
  // Destruction goes on whatever the handler throws.
  if (OnDestroy) GuardCallback(this, [this] { OnDestroy(this); });
}

void TCustomForm::Free(TCustomForm* form) { ::Free(form); }

void TCustomForm::EnsureCreated() {
  if (created_) return;
  created_ = true;
  if (OnCreate) OnCreate(this);
}

void TCustomForm::Loaded() {
  TCustomControl::Loaded();
  EnsureCreated();
  if (show_after_loading_) {
    show_after_loading_ = false;
    SetVisible(true);
  }
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == menu_) {
    menu_ = nullptr;
    if (hwnd_) ::SetMenu(hwnd_, nullptr);
  }
  if (component == active_control_) active_control_ = nullptr;
}

DWORD TCustomForm::WindowStyle() const {
  DWORD s = WS_CLIPCHILDREN;
  const bool icons = border_style_ == TFormBorderStyle::bsSingle || border_style_ == TFormBorderStyle::bsSizeable;
  switch (border_style_) {
    case TFormBorderStyle::bsNone: s |= WS_POPUP; break;
    case TFormBorderStyle::bsSingle: s |= WS_OVERLAPPED | WS_CAPTION; break;
    case TFormBorderStyle::bsSizeable: s |= WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME; break;
    case TFormBorderStyle::bsDialog: s |= WS_POPUP | WS_CAPTION | DS_MODALFRAME; break;
    case TFormBorderStyle::bsToolWindow: s |= WS_POPUP | WS_CAPTION; break;
    case TFormBorderStyle::bsSizeToolWin: s |= WS_POPUP | WS_CAPTION | WS_THICKFRAME; break;
  }
  if (border_style_ != TFormBorderStyle::bsNone && (border_icons_ & biSystemMenu)) {
    s |= WS_SYSMENU;
    if (icons && (border_icons_ & biMinimize)) s |= WS_MINIMIZEBOX;
    if (icons && (border_icons_ & biMaximize)) s |= WS_MAXIMIZEBOX;
  }
  if (!Enabled()) s |= WS_DISABLED;
  return s;
}

DWORD TCustomForm::WindowExStyle() const {
  DWORD x = 0;
  if (border_style_ == TFormBorderStyle::bsDialog) x |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
  if (border_style_ == TFormBorderStyle::bsToolWindow || border_style_ == TFormBorderStyle::bsSizeToolWin)
    x |= WS_EX_TOOLWINDOW;
  if (form_style_ == TFormStyle::fsStayOnTop) x |= WS_EX_TOPMOST;
  if ((border_icons_ & biHelp) && border_style_ == TFormBorderStyle::bsDialog) x |= WS_EX_CONTEXTHELP;
  return x;
}

void TCustomForm::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.style = WindowStyle();
  p.ex_style = WindowExStyle();
  p.wnd_parent = nullptr;
}

void TCustomForm::CreateWnd() {
  TCustomControl::CreateWnd();
  if (menu_) {
    menu_->SetWindowHandle(hwnd_);
    ::SetMenu(hwnd_, menu_->Handle());
  }
  if (!icon_.Empty()) SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Handle()));
}

void TCustomForm::SetBorderStyle(TFormBorderStyle style) {
  if (style == border_style_) return;
  border_style_ = style;
  if (hwnd_) {
    const bool vis = IsWindowVisible(hwnd_);
    RecreateWnd();
    if (vis) ShowWindow(hwnd_, SW_SHOW);
  }
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
  if (icons == border_icons_) return;
  border_icons_ = icons;
  if (hwnd_) {
    SetWindowLongA(hwnd_, GWL_STYLE, (GetWindowLongA(hwnd_, GWL_STYLE) & WS_VISIBLE) | WindowStyle());
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
}

void TCustomForm::ApplyStayOnTop() {
  if (!hwnd_) return;
  SetWindowPos(hwnd_, form_style_ == TFormStyle::fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetFormStyle(TFormStyle style) {
  if (style == form_style_) return;
  form_style_ = style;
  ApplyStayOnTop();
}

void TCustomForm::SetMenu(TMainMenu* menu) {
  if (menu == menu_) return;
  if (menu_) RemoveFreeNotification(menu_);
  menu_ = menu;
  if (menu) FreeNotification(menu);
  if (hwnd_) {
    if (menu) menu->SetWindowHandle(hwnd_);
    ::SetMenu(hwnd_, menu ? menu->Handle() : nullptr);
  }
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == active_control_) return;
  if (control && !ContainsControl(control)) throw EInvalidOperation("Invalid active control");
  active_control_ = control;
  if (control) FreeNotification(control);
  if (control && hwnd_ && IsWindowVisible(hwnd_) && control->CanFocus()) ::SetFocus(control->Handle());
}

static void CollectButtons(const TWinControl* w, std::vector<TButton*>& out) {
  for (int i = 0; i < w->ControlCount(); ++i) {
    TControl* c = w->Controls(i);
    if (auto* b = dynamic_cast<TButton*>(c)) out.push_back(b);
    if (auto* cw = dynamic_cast<TWinControl*>(c)) CollectButtons(cw, out);
  }
}

TButton* TCustomForm::DefaultButton() const {
  std::vector<TButton*> all;
  CollectButtons(this, all);
  for (TButton* b : all)
    if (b->Default() && b->CanFocus()) return b;
  return nullptr;
}

TButton* TCustomForm::CancelButton() const {
  std::vector<TButton*> all;
  CollectButtons(this, all);
  for (TButton* b : all)
    if (b->Cancel() && b->CanFocus()) return b;
  return nullptr;
}

void TCustomForm::PlaceOnShow() {
  int x = Left(), y = Top();
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  switch (position_) {
    case TPosition::poScreenCenter:
    case TPosition::poDesktopCenter:
      x = (sw - Width()) / 2;
      y = (sh - Height()) / 2;
      break;
    case TPosition::poMainFormCenter:
    case TPosition::poOwnerFormCenter: {
      TCustomForm* m = Application ? Application->MainForm() : nullptr;
      if (m && m != this && m->HandleAllocated()) {
        x = m->Left() + (m->Width() - Width()) / 2;
        y = m->Top() + (m->Height() - Height()) / 2;
      } else {
        x = (sw - Width()) / 2;
        y = (sh - Height()) / 2;
      }
      break;
    }
    default: return;
  }
  SetBounds(std::max(0, x), std::max(0, y), Width(), Height());
}

void TCustomForm::SetVisible(bool visible) {
  if (Loading()) {
    show_after_loading_ = visible;
    return;
  }
  if (visible) {
    EnsureCreated();
    HandleNeeded();
    if (!shown_once_) {
      shown_once_ = true;
      PlaceOnShow();
    }
    const bool was = Visible();
    TControl::SetVisible(true);
    ShowWindow(hwnd_, SW_SHOW);
    ApplyStayOnTop();
    if (!was) {
      DoShow();
      // Focus the active control, else the first control in tab order.
      TWinControl* focus = active_control_;
      if (!focus || !focus->CanFocus()) focus = FindNextControl(nullptr, true, true);
      if (focus && focus->CanFocus()) {
        active_control_ = focus;
        ::SetFocus(focus->Handle());
      }
    }
  } else {
    if (!Visible()) return;
    TControl::SetVisible(false);
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
    DoHide();
  }
}

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
}

void TCustomForm::BringToFront() {
  if (hwnd_) SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}
void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}
void TCustomForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

bool TCustomForm::CloseQuery() {
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(this, can);
  return can;
}

void TCustomForm::Close() {
  if (modal_) {
    modal_result_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  const bool main = Application && Application->MainForm() == this;
  DoClose(action);
  if (action == TCloseAction::caNone) return;
  if (main) {
    Application->Terminate();
    return;
  }
  if (action == TCloseAction::caHide) Hide();
  else if (action == TCloseAction::caMinimize && hwnd_) ShowWindow(hwnd_, SW_MINIMIZE);
  else if (action == TCloseAction::caFree) Release();
}

void TCustomForm::Release() {
  if (hwnd_) PostMessageA(hwnd_, CM_RELEASE, 0, 0);
  else if (Application) Application->Queue([this] { TCustomForm::Free(this); });
}

namespace {
BOOL CALLBACK CollectEnabled(HWND wnd, LPARAM lp) {
  if (IsWindowVisible(wnd) && IsWindowEnabled(wnd)) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(wnd);
  return TRUE;
}
}  // namespace

TDisabledThreadWindows::TDisabledThreadWindows() : active_(GetActiveWindow()) {
  EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&disabled_));
  for (HWND w : disabled_) EnableWindow(w, FALSE);
}

TDisabledThreadWindows::~TDisabledThreadWindows() {
  for (HWND w : disabled_)
    if (IsWindow(w)) EnableWindow(w, TRUE);
  if (active_ && IsWindow(active_)) SetActiveWindow(active_);
}

TModalResult TCustomForm::ShowModal() {
  if (Visible() || modal_) throw EInvalidOperation("Cannot make a visible window modal");
  EnsureCreated();
  if (TUiSeam* seam = UiSeam(); seam && seam->show_modal) {
    int r = mrNone;
    if (seam->show_modal(*this, r)) {
      modal_result_ = r;
      return r;
    }
  }
  if (GetCapture()) SendMessageA(GetCapture(), WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  HandleNeeded();  // hidden: not among the windows the guard disables
  TModalResult result = mrNone;
  {
    TDisabledThreadWindows others;
    if (others.Active() && others.Active() != hwnd_)
      SetWindowLongPtrA(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(others.Active()));
    modal_ = true;
    modal_result_ = mrNone;
    try {
      Show();
      result = ModalLoop();
    } catch (...) {
      modal_ = false;
      Hide();
      throw;  // the guard enables the others on the way out
    }
    modal_ = false;
  }
  Hide();
  return result;
}

TModalResult TCustomForm::ModalLoop() {
  for (;;) {
    Application->HandleMessage();
    if (Application->Terminated() && modal_result_ == mrNone) modal_result_ = mrCancel;
    if (modal_result_ == mrNone) continue;
    if (Application->Terminated()) return modal_result_;
    // Closing may be refused: then the loop goes on.
    TCloseAction action = caHide;
    if (!CloseQuery()) action = caNone;
    else DoClose(action);
    if (action != TCloseAction::caNone) return modal_result_;
    modal_result_ = mrNone;
  }
}

bool TCustomForm::PreviewKeyDown(WORD& key, TShiftState shift) {
  if (!key_preview_ || !OnKeyDown) return false;
  OnKeyDown(this, key, shift);
  return key == 0;
}

bool TCustomForm::PreviewKeyPress(char& key) {
  if (!key_preview_ || !OnKeyPress) return false;
  OnKeyPress(this, key);
  return key == 0;
}

bool TCustomForm::DialogKey(WORD key, TShiftState shift, TWinControl* focused) {
  if (shift & (ssAlt | ssCtrl)) return false;
  switch (key) {
    case VK_RETURN: {
      if (auto* b = dynamic_cast<TButton*>(focused)) {
        b->Click();
        return true;
      }
      if (TButton* b = DefaultButton(); b && b->Enabled()) {
        b->Click();
        return true;
      }
      return false;
    }
    case VK_ESCAPE:
      if (TButton* b = CancelButton(); b && b->Enabled()) {
        b->Click();
        return true;
      }
      return false;
    case VK_TAB: {
      TWinControl* next = FindNextControl(focused, !(shift & ssShift), true);
      if (next) next->SetFocus();
      return true;
    }
    default: return false;
  }
}

void TCustomForm::Paint() {}

LRESULT TCustomForm::WndProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_CLOSE:
      Close();
      return 0;
    case CM_RELEASE:
      TCustomForm::Free(this);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(w) != WA_INACTIVE) {
        if (OnActivate) OnActivate(this);
        if (active_control_ && active_control_->CanFocus() && active_control_->HandleAllocated()) {
          ::SetFocus(active_control_->Handle());
          return 0;
        }
      } else if (OnDeactivate) {
        OnDeactivate(this);
      }
      break;
    case WM_HELP:
      if (Application && HelpContext() != 0) {
        Application->HelpContext(HelpContext());
        return TRUE;
      }
      break;
    default: break;
  }
  return TCustomControl::WndProc(msg, w, l);
}
