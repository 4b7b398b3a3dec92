#include "forms/win/comctl_combobox.h"

#include <algorithm>

#include "base/locale.h"

TCustomComboBox::TCustomComboBox(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 145, 21);
  SetColor(clWindow);
  SetParentColor(false);
  SetTabStop(true);
  SetOwnPaint(false);
}

void TCustomComboBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.window_class = "COMBOBOX";
  p.style |= WS_CHILD | WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL;
  switch (style_) {
    case TComboBoxStyle::csDropDown: p.style |= CBS_DROPDOWN; break;
    case TComboBoxStyle::csSimple: p.style |= CBS_SIMPLE; break;
    case TComboBoxStyle::csDropDownList: p.style |= CBS_DROPDOWNLIST; break;
  }
  if (sorted_) p.style |= CBS_SORT;
  // The native control takes its height from the dropped list: make room for it.
  if (style_ != TComboBoxStyle::csSimple) p.height = Height() + 16 * drop_down_count_ + 4;
}

void TCustomComboBox::CreateWnd() {
  TWinControl::CreateWnd();
  FillNative();
  if (max_length_ > 0) SendMessageA(hwnd_, CB_LIMITTEXT, max_length_, 0);
}

void TCustomComboBox::DestroyWnd() {
  if (HandleAllocated()) {
    item_index_ = static_cast<int>(SendMessageA(hwnd_, CB_GETCURSEL, 0, 0));
    text_ = Text();
  }
  TWinControl::DestroyWnd();
}

void TCustomComboBox::FillNative() {
  if (!HandleAllocated()) return;
  SendMessageA(hwnd_, CB_RESETCONTENT, 0, 0);
  for (const std::string& s : items_) SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
  SendMessageA(hwnd_, CB_SETCURSEL, item_index_, 0);
  if (item_index_ < 0 && style_ != TComboBoxStyle::csDropDownList) SetWindowTextA(hwnd_, text_.c_str());
}

void TCustomComboBox::SetStyle(TComboBoxStyle style) {
  if (style_ == style) return;
  style_ = style;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomComboBox::AddItem(const std::string& text) {
  items_.push_back(text);
  if (sorted_) std::stable_sort(items_.begin(), items_.end(), [](auto& a, auto& b) { return AnsiCompareText(a, b) < 0; });
  if (HandleAllocated()) SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TCustomComboBox::SetItems(const std::vector<std::string>& items) {
  items_ = items;
  item_index_ = -1;
  FillNative();
}

void TCustomComboBox::ClearItems() {
  items_.clear();
  item_index_ = -1;
  if (HandleAllocated()) SendMessageA(hwnd_, CB_RESETCONTENT, 0, 0);
}

int TCustomComboBox::ItemIndex() {
  if (HandleAllocated()) item_index_ = static_cast<int>(SendMessageA(hwnd_, CB_GETCURSEL, 0, 0));
  return item_index_;
}

void TCustomComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
  item_index_ = index;
  if (HandleAllocated()) SendMessageA(hwnd_, CB_SETCURSEL, index, 0);
}

std::string TCustomComboBox::Text() {
  if (!HandleAllocated()) {
    if (style_ == TComboBoxStyle::csDropDownList)
      return item_index_ >= 0 ? items_[item_index_] : std::string();
    return text_;
  }
  const int n = GetWindowTextLengthA(hwnd_);
  std::string s(n + 1, '\0');
  GetWindowTextA(hwnd_, s.data(), n + 1);
  s.resize(n);
  return s;
}

void TCustomComboBox::SetText(const std::string& text) {
  text_ = text;
  if (style_ == TComboBoxStyle::csDropDownList) {
    auto it = std::find(items_.begin(), items_.end(), text);
    SetItemIndex(it == items_.end() ? -1 : static_cast<int>(it - items_.begin()));
    return;
  }
  if (HandleAllocated()) SetWindowTextA(hwnd_, text.c_str());
}

void TCustomComboBox::SetDropDownCount(int n) {
  drop_down_count_ = n;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomComboBox::SetSorted(bool on) {
  if (sorted_ == on) return;
  sorted_ = on;
  if (on) std::stable_sort(items_.begin(), items_.end(), [](auto& a, auto& b) { return AnsiCompareText(a, b) < 0; });
  if (HandleAllocated()) RecreateWnd();
}

void TCustomComboBox::SetMaxLength(int n) {
  max_length_ = n;
  if (HandleAllocated()) SendMessageA(hwnd_, CB_LIMITTEXT, n, 0);
}

bool TCustomComboBox::DroppedDown() {
  return HandleAllocated() && SendMessageA(hwnd_, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool on) { SendMessageA(Handle(), CB_SHOWDROPDOWN, on, 0); }

int TCustomComboBox::ItemHeight() { return static_cast<int>(SendMessageA(Handle(), CB_GETITEMHEIGHT, 0, 0)); }

HWND TCustomComboBox::EditHandle() {
  if (!HandleAllocated() || style_ == TComboBoxStyle::csDropDownList) return nullptr;
  return FindWindowExA(hwnd_, nullptr, "EDIT", nullptr);
}

void TCustomComboBox::Select() {
  Click();
  Change();
}

void TCustomComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TCustomComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

LRESULT TCustomComboBox::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == CN_COMMAND) {
    switch (HIWORD(w)) {
      case CBN_SELCHANGE:
        item_index_ = static_cast<int>(SendMessageA(hwnd_, CB_GETCURSEL, 0, 0));
        Select();
        return 0;
      case CBN_EDITCHANGE:
        Change();
        return 0;
      case CBN_DROPDOWN:
        DropDown();
        return 0;
      case CBN_CLOSEUP:
        CloseUp();
        return 0;
      default:
        break;
    }
  }
  return TWinControl::WndProc(msg, w, l);
}
