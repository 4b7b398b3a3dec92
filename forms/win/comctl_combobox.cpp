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
    // The control keeps the texts (CBS_HASSTRINGS), so Text and the
    // selection work as in a plain list; only the drawing is ours.
    case TComboBoxStyle::csOwnerDrawFixed: p.style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS; break;
    case TComboBoxStyle::csOwnerDrawVariable:
      p.style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS;
      break;
  }
  if (sorted_) p.style |= CBS_SORT;
  // The native control takes its height from the dropped list: make room for it.
  const int row = IsOwnerDrawn() ? item_height_ : 16;
  if (style_ != TComboBoxStyle::csSimple) p.height = Height() + row * drop_down_count_ + 4;
}

void TCustomComboBox::CreateWnd() {
  TWinControl::CreateWnd();
  // The field is measured at creation too, but not every system keeps that
  // answer: set its height outright.
  if (IsOwnerDrawn()) {
    SendMessageA(hwnd_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), item_height_);
    if (style_ == TComboBoxStyle::csOwnerDrawFixed) SendMessageA(hwnd_, CB_SETITEMHEIGHT, 0, item_height_);
  }
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
  if (item_index_ < 0 && !IsListStyle()) SetWindowTextA(hwnd_, text_.c_str());
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
    if (IsListStyle())
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
  if (IsListStyle()) {
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

int TCustomComboBox::ItemHeight() {
  if (IsOwnerDrawn()) return item_height_;
  return static_cast<int>(SendMessageA(Handle(), CB_GETITEMHEIGHT, 0, 0));
}

void TCustomComboBox::SetItemHeight(int height) {
  if (height <= 0 || height == item_height_) return;
  item_height_ = height;
  // The control measures its entries and its field when it is made.
  if (IsOwnerDrawn() && HandleAllocated()) RecreateWnd();
}

HWND TCustomComboBox::EditHandle() {
  if (!HandleAllocated() || IsListStyle()) return nullptr;
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

void TCustomComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  if (OnDrawItem) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  canvas_.FillRect(rect);
  if (index >= 0 && index < static_cast<int>(items_.size())) canvas_.TextOut(rect.left + 2, rect.top, items_[index]);
}

void TCustomComboBox::MeasureItem(int index, int& height) {
  if (OnMeasureItem) OnMeasureItem(this, index, height);
}

LRESULT TCustomComboBox::DrawNativeItem(const DRAWITEMSTRUCT& dis) {
  static const struct {
    UINT system;
    TOwnerDrawState ours;
  } kStates[] = {{ODS_SELECTED, odSelected}, {ODS_GRAYED, odGrayed},   {ODS_DISABLED, odDisabled},
                 {ODS_CHECKED, odChecked},   {ODS_FOCUS, odFocused},   {ODS_DEFAULT, odDefault},
                 {ODS_COMBOBOXEDIT, odComboBoxEdit}};
  TOwnerDrawState state = 0;
  for (const auto& s : kStates)
    if (dis.itemState & s.system) state |= s.ours;
  struct TRelease {  // the system's DC is only lent for this call
    TCanvas& canvas;
    ~TRelease() { canvas.SetHandle(nullptr); }
  } release{canvas_};
  canvas_.SetHandle(dis.hDC);
  canvas_.Font()->Assign(*Font());
  canvas_.Brush()->SetStyle(TBrushStyle::bsSolid);
  canvas_.Brush()->SetColor(Color());
  if (state & odSelected) {
    canvas_.Brush()->SetColor(clHighlight);
    canvas_.Font()->SetColor(clHighlightText);
  }
  const TRect rect(dis.rcItem);
  // No entry (an empty list, or no selection in the field): an empty item.
  const int index = static_cast<int>(dis.itemID);
  if (index >= 0)
    DrawItem(index, rect, state);
  else
    canvas_.FillRect(rect);
  if (state & odFocused) canvas_.DrawFocusRect(rect);
  return TRUE;
}

LRESULT TCustomComboBox::MeasureNativeItem(MEASUREITEMSTRUCT& mis) {
  int height = item_height_;
  if (style_ == TComboBoxStyle::csOwnerDrawVariable) MeasureItem(static_cast<int>(mis.itemID), height);
  mis.itemHeight = static_cast<UINT>(height > 0 ? height : 1);
  return TRUE;
}

LRESULT TCustomComboBox::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == CN_DRAWITEM && IsOwnerDrawn()) return DrawNativeItem(*reinterpret_cast<DRAWITEMSTRUCT*>(l));
  if (msg == CN_MEASUREITEM && IsOwnerDrawn()) return MeasureNativeItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(l));
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
