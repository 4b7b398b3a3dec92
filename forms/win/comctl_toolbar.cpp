#include "forms/win/comctl_toolbar.h"

#include <algorithm>

#include <commctrl.h>

#include "base/win/structsizes.h"
#include "forms/win/application.h"
#include "base/win/comctl_load.h"

namespace {
int NextCommand() {
  static int next = 0x6000;
  return next++;
}
}  // namespace

// ---- TToolButton ----

TToolButton::TToolButton(TComponent* owner) : TComponent(owner), command_(NextCommand()) {}

TToolButton::~TToolButton() {
  if (bar_) {
    auto& b = bar_->buttons_;
    for (std::size_t i = 0; i < b.size(); ++i)
      if (b[i] == this) {
        if (bar_->HandleAllocated()) SendMessageA(bar_->Handle(), TB_DELETEBUTTON, i, 0);
        b.erase(b.begin() + i);
        break;
      }
  }
}

bool TToolButton::Down() const {
  if (bar_ && bar_->HandleAllocated())
    down_ = SendMessageA(bar_->Handle(), TB_ISBUTTONCHECKED, command_, 0) != 0;
  return down_;
}

void TToolButton::SetDown(bool on) {
  down_ = on;
  if (bar_ && bar_->HandleAllocated()) {
    SendMessageA(bar_->Handle(), TB_CHECKBUTTON, command_, MAKELONG(on, 0));
    return;
  }
  // Before the bar exists the native grouping cannot release the others of
  // the group (the grouped check buttons next to this one): do it here.
  if (!on || !bar_ || !grouped_ || style_ != TToolButtonStyle::tbsCheck) return;
  const auto& buttons = bar_->buttons_;
  const auto at = std::find(buttons.begin(), buttons.end(), this) - buttons.begin();
  auto inGroup = [&](std::ptrdiff_t i) {
    return i >= 0 && i < static_cast<std::ptrdiff_t>(buttons.size()) && buttons[i]->grouped_ &&
           buttons[i]->style_ == TToolButtonStyle::tbsCheck;
  };
  for (std::ptrdiff_t i = at - 1; inGroup(i); --i) buttons[i]->down_ = false;
  for (std::ptrdiff_t i = at + 1; inGroup(i); ++i) buttons[i]->down_ = false;
}

void TToolButton::SetEnabled(bool on) {
  enabled_ = on;
  if (bar_ && bar_->HandleAllocated()) SendMessageA(bar_->Handle(), TB_ENABLEBUTTON, command_, MAKELONG(on, 0));
}

void TToolButton::SetHint(const std::string& hint) {
  hint_ = hint;
  if (bar_ && bar_->HandleAllocated()) bar_->UpdateTipText(this);
}

void TToolButton::Click() {
  if (OnClick) OnClick(this);
}

// ---- TToolBar ----

TToolBar::TToolBar(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 150, 29);
  SetOwnPaint(false);
}

TToolBar::~TToolBar() {
  for (TToolButton* b : buttons_) b->bar_ = nullptr;
  if (images_) images_->RemoveFreeNotification(this);
}

void TToolBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  LoadCommonControls();
  p.window_class = TOOLBARCLASSNAMEA;
  p.style |= WS_CHILD | WS_CLIPCHILDREN | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | TBSTYLE_TOOLTIPS;
  if (flat_) p.style |= TBSTYLE_FLAT;
}

void TToolBar::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageA(hwnd_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  if (images_) {
    SendMessageA(hwnd_, TB_SETBITMAPSIZE, 0, MAKELONG(images_->Width(), images_->Height()));
    SendMessageA(hwnd_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_->Handle()));
  }
  SendMessageA(hwnd_, TB_SETBUTTONSIZE, 0, MAKELONG(button_width_, button_height_));
  for (int i = 0; i < ButtonCount(); ++i) AddNative(i);
  UpdateTipState();
  PlaceControls();
}

void TToolBar::SetButtonSize(int width, int height) {
  button_width_ = width;
  button_height_ = height;
  if (HandleAllocated()) SendMessageA(hwnd_, TB_SETBUTTONSIZE, 0, MAKELONG(width, height));
}

void TToolBar::SetImages(TImageList* images) {
  if (images_) images_->RemoveFreeNotification(this);
  images_ = images;
  if (images) images->FreeNotification(this);
  if (HandleAllocated()) {
    if (images_) SendMessageA(hwnd_, TB_SETBITMAPSIZE, 0, MAKELONG(images_->Width(), images_->Height()));
    SendMessageA(hwnd_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
  }
}

void TToolBar::AddNative(int index) {
  TToolButton* b = buttons_[index];
  TBBUTTON tb{};
  tb.idCommand = b->command_;
  tb.fsState = static_cast<BYTE>((b->enabled_ ? TBSTATE_ENABLED : 0) | (b->down_ ? TBSTATE_CHECKED : 0));
  switch (b->style_) {
    case TToolButtonStyle::tbsSeparator:
      tb.fsStyle = TBSTYLE_SEP;
      tb.iBitmap = b->width_;
      break;
    case TToolButtonStyle::tbsCheck:
      tb.fsStyle = b->grouped_ ? TBSTYLE_CHECKGROUP : TBSTYLE_CHECK;
      tb.iBitmap = b->image_index_;
      break;
    case TToolButtonStyle::tbsButton:
      tb.fsStyle = TBSTYLE_BUTTON;
      tb.iBitmap = b->image_index_;
      break;
  }
  tb.iString = -1;
  SendMessageA(hwnd_, TB_INSERTBUTTONA, index, reinterpret_cast<LPARAM>(&tb));
  UpdateTipText(b);
}

HWND TToolBar::ToolTips() {
  if (!HandleAllocated()) return nullptr;
  return reinterpret_cast<HWND>(SendMessageA(hwnd_, TB_GETTOOLTIPS, 0, 0));
}

void TToolBar::UpdateTipText(const TToolButton* b) {
  HWND tips = ToolTips();
  if (!tips || b->style_ == TToolButtonStyle::tbsSeparator) return;
  // The text goes into the tool itself: the tip needs no call-back, and
  // the text can be read back.
  std::string text = b->hint_.substr(0, b->hint_.find('|'));
  TOOLINFOA ti{};
  ti.cbSize = kToolInfoSize;
  ti.hwnd = hwnd_;
  ti.uId = static_cast<UINT_PTR>(b->command_);
  ti.lpszText = text.data();
  SendMessageA(tips, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

std::string TToolBar::ToolTipText(const TToolButton* b) {
  HWND tips = ToolTips();
  if (!tips) return std::string();
  char buf[1024] = "";
  TOOLINFOA ti{};
  ti.cbSize = kToolInfoSize;
  ti.hwnd = hwnd_;
  ti.uId = static_cast<UINT_PTR>(b->command_);
  ti.lpszText = buf;
  SendMessageA(tips, TTM_GETTEXTA, sizeof buf, reinterpret_cast<LPARAM>(&ti));
  buf[sizeof buf - 1] = '\0';
  return buf;
}

void TToolBar::UpdateTipState() {
  HWND tips = ToolTips();
  if (!tips) return;
  SendMessageA(tips, TTM_ACTIVATE, ShowHint() && Application->ShowHint(), 0);
  SendMessageA(tips, TTM_SETDELAYTIME, TTDT_AUTOPOP, Application->HintHidePause());
}

void TToolBar::AddButton(TToolButton* button) {
  button->bar_ = this;
  buttons_.push_back(button);
  if (HandleAllocated()) AddNative(ButtonCount() - 1);
}

void TToolBar::AddControl(TControl* control) {
  auto* gap = new TToolButton(control);  // freed with the control
  gap->SetStyle(TToolButtonStyle::tbsSeparator);
  gap->SetWidth(control->Width());
  AddButton(gap);
  controls_on_bar_.push_back({control, ButtonCount() - 1});
  if (control->Parent() != this) control->SetParent(this);
  PlaceControls();
}

TRect TToolBar::ButtonRect(int index) {
  RECT r{};
  if (!HandleAllocated() || !SendMessageA(hwnd_, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r))) return TRect();
  return TRect(r);
}

void TToolBar::PlaceControls() {
  if (!HandleAllocated()) return;
  for (const TPlaced& p : controls_on_bar_) {
    const TRect r = ButtonRect(p.button);
    const int top = (ClientHeight() - p.control->Height()) / 2;
    p.control->SetBounds(r.left, top < 0 ? 0 : top, p.control->Width(), p.control->Height());
  }
}

void TToolBar::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == images_) images_ = nullptr;
  for (std::size_t i = 0; i < controls_on_bar_.size(); ++i)
    if (controls_on_bar_[i].control == component) {
      controls_on_bar_.erase(controls_on_bar_.begin() + i);
      break;
    }
}

LRESULT TToolBar::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == CN_COMMAND) {
    const int command = LOWORD(w);
    for (TToolButton* b : buttons_)
      if (b->command_ == command) {
        b->Click();
        return 0;
      }
  } else if (msg == WM_NOTIFY) {
    // The bar's tool tips ask their owner (the bar) for the text.
    auto* nm = reinterpret_cast<NMHDR*>(l);
    if (nm->code == TTN_GETDISPINFOA) {
      auto* di = reinterpret_cast<NMTTDISPINFOA*>(l);
      for (TToolButton* b : buttons_)
        if (static_cast<UINT_PTR>(b->command_) == nm->idFrom) {
          tip_text_ = b->hint_.substr(0, b->hint_.find('|'));
          di->lpszText = tip_text_.data();
          return 0;
        }
    }
  } else if (msg == WM_MOUSEMOVE) {
    UpdateTipState();
  } else if (msg == WM_ERASEBKGND) {
    // A flat bar is transparent: its parents paint only in WM_PAINT, so the
    // bar fills its own background.
    RECT r;
    GetClientRect(hwnd_, &r);
    FillRect(reinterpret_cast<HDC>(w), &r, Brush()->Handle());
    return 1;
  } else if (msg == WM_SIZE) {
    const LRESULT r = TWinControl::WndProc(msg, w, l);
    PlaceControls();
    return r;
  }
  return TWinControl::WndProc(msg, w, l);
}
