#include "forms/win/comctl_listview.h"

#include <windowsx.h>

#include <algorithm>

#include "base/win/comctl_load.h"
#include "forms/win/application.h"
#include "forms/win/comctl_press.h"

namespace {
const std::string kEmpty;

// The list view's own text buffers are ANSI: the A messages.
LRESULT Send(HWND h, UINT msg, WPARAM w = 0, LPARAM l = 0) { return SendMessageA(h, msg, w, l); }
}  // namespace

// ---- TListItem ----

void TListItem::SetCaption(const std::string& caption) {
  caption_ = caption;
  owner_->UpdateNativeItem(this);
}

const std::string& TListItem::SubItem(int index) const {
  return index >= 0 && index < SubItemCount() ? sub_items_[index] : kEmpty;
}

void TListItem::SetSubItem(int index, const std::string& text) {
  if (index < 0) return;
  if (index >= SubItemCount()) sub_items_.resize(index + 1);
  sub_items_[index] = text;
  owner_->UpdateNativeItem(this);
}

void TListItem::SetImageIndex(int index) {
  image_index_ = index;
  owner_->UpdateNativeItem(this);
}

int TListItem::Index() const { return owner_->IndexOf(this); }

bool TListItem::Selected() const {
  if (!owner_->HandleAllocated()) return false;
  const int i = Index();
  return i >= 0 && (Send(owner_->hwnd_, LVM_GETITEMSTATE, i, LVIS_SELECTED) & LVIS_SELECTED);
}

void TListItem::SetSelected(bool on) {
  const int i = Index();
  if (i < 0) return;
  LVITEMA it{};
  it.stateMask = LVIS_SELECTED;
  it.state = on ? LVIS_SELECTED : 0;
  Send(owner_->Handle(), LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&it));
}

// ---- TListView ----

TListView::TListView(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 250, 150);
  SetColor(clWindow);
  SetParentColor(false);
  SetTabStop(true);
  SetOwnPaint(false);
}

TListView::~TListView() {
  if (large_images_) large_images_->RemoveFreeNotification(this);
  if (small_images_) small_images_->RemoveFreeNotification(this);
}

DWORD TListView::ViewStyleBits() const {
  switch (view_style_) {
    case TViewStyle::vsIcon: return LVS_ICON;
    case TViewStyle::vsSmallIcon: return LVS_SMALLICON;
    case TViewStyle::vsList: return LVS_LIST;
    case TViewStyle::vsReport: return LVS_REPORT;
  }
  return LVS_ICON;
}

void TListView::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  LoadCommonControls();
  p.window_class = WC_LISTVIEWA;
  p.style |= WS_CHILD | WS_TABSTOP | WS_CLIPCHILDREN | LVS_SHAREIMAGELISTS | ViewStyleBits();
  if (!multi_select_) p.style |= LVS_SINGLESEL;
  if (!read_only_) p.style |= LVS_EDITLABELS;
  if (auto_arrange_) p.style |= LVS_AUTOARRANGE;
  if (!show_headers_) p.style |= LVS_NOCOLUMNHEADER;
  if (!hide_selection_) p.style |= LVS_SHOWSELALWAYS;
  if (owner_data_) p.style |= LVS_OWNERDATA;
  if (border_style_ == TListBorderStyle::bsSingle) p.ex_style |= WS_EX_CLIENTEDGE;
}

void TListView::ApplyStyle() {
  if (!HandleAllocated()) return;
  DWORD ex = 0;
  if (grid_lines_) ex |= LVS_EX_GRIDLINES;
  if (row_select_) ex |= LVS_EX_FULLROWSELECT;
  if (flat_scroll_bars_) ex |= LVS_EX_FLATSB;
  if (hot_track_) ex |= LVS_EX_TRACKSELECT;
  if (hot_track_styles_ & htHandPoint) ex |= LVS_EX_ONECLICKACTIVATE;
  if (hot_track_styles_ & htUnderlineHot) ex |= LVS_EX_UNDERLINEHOT;
  if (hot_track_styles_ & htUnderlineCold) ex |= LVS_EX_UNDERLINECOLD;
  // The underlines show only in one of the activation modes.
  if ((hot_track_styles_ & (htUnderlineHot | htUnderlineCold)) && !(hot_track_styles_ & htHandPoint))
    ex |= LVS_EX_TWOCLICKACTIVATE;
  const DWORD mask = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_FLATSB | LVS_EX_TRACKSELECT |
                     LVS_EX_ONECLICKACTIVATE | LVS_EX_TWOCLICKACTIVATE | LVS_EX_UNDERLINEHOT | LVS_EX_UNDERLINECOLD;
  Send(hwnd_, LVM_SETEXTENDEDLISTVIEWSTYLE, mask, ex);
  Send(hwnd_, LVM_SETBKCOLOR, 0, ColorToRGB(Color()));
  Send(hwnd_, LVM_SETTEXTBKCOLOR, 0, ColorToRGB(Color()));
}

void TListView::CreateWnd() {
  setting_up_ = true;
  TWinControl::CreateWnd();
  ApplyStyle();
  for (int i = 0; i < ColumnCount(); ++i) {
    LVCOLUMNA c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    c.pszText = const_cast<char*>(columns_[i].Caption.c_str());
    c.cx = columns_[i].Width;
    c.iSubItem = i;
    Send(hwnd_, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&c));
  }
  UpdateImageLists();
  Send(hwnd_, WM_SETREDRAW, FALSE);
  Send(hwnd_, LVM_SETITEMCOUNT, owner_data_ ? owner_data_count_ : items_.size());
  for (int i = 0; i < Count(); ++i) InsertNative(i, items_[i].get());
  Send(hwnd_, WM_SETREDRAW, TRUE);
  setting_up_ = false;
}

void TListView::DestroyWnd() {
  // Column widths the user dragged survive a recreation.
  if (HandleAllocated())
    for (int i = 0; i < ColumnCount(); ++i) columns_[i].Width = static_cast<int>(Send(hwnd_, LVM_GETCOLUMNWIDTH, i));
  TWinControl::DestroyWnd();
}

void TListView::UpdateImageLists() {
  if (!HandleAllocated()) return;
  Send(hwnd_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(large_images_ ? large_images_->Handle() : nullptr));
  Send(hwnd_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(small_images_ ? small_images_->Handle() : nullptr));
}

void TListView::AddColumn(const std::string& caption, int width) {
  columns_.push_back({caption, width});
  if (!HandleAllocated()) return;
  const int i = ColumnCount() - 1;
  LVCOLUMNA c{};
  c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  c.pszText = const_cast<char*>(columns_[i].Caption.c_str());
  c.cx = width;
  c.iSubItem = i;
  Send(hwnd_, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&c));
}

int TListView::ColumnWidth(int index) {
  // While the window is being built its columns are not all there yet.
  if (HandleAllocated() && !setting_up_) columns_.at(index).Width = static_cast<int>(Send(hwnd_, LVM_GETCOLUMNWIDTH, index));
  return columns_.at(index).Width;
}

void TListView::SetColumnWidth(int index, int width) {
  columns_.at(index).Width = width;
  if (HandleAllocated() && !setting_up_) Send(hwnd_, LVM_SETCOLUMNWIDTH, index, MAKELPARAM(width, 0));
}

void TListView::InsertNative(int index, TListItem* item) {
  LVITEMA it{};
  it.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  it.iItem = index;
  it.pszText = const_cast<char*>(item->caption_.c_str());
  it.iImage = item->image_index_;
  it.lParam = reinterpret_cast<LPARAM>(item);
  const int at = static_cast<int>(Send(hwnd_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it)));
  for (int s = 1; s < ColumnCount() && s <= item->SubItemCount(); ++s) {
    LVITEMA st{};
    st.iSubItem = s;
    st.pszText = const_cast<char*>(item->sub_items_[s - 1].c_str());
    Send(hwnd_, LVM_SETITEMTEXTA, at, reinterpret_cast<LPARAM>(&st));
  }
}

void TListView::UpdateNativeItem(TListItem* item) {
  if (!HandleAllocated() || setting_up_) return;
  const int i = NativeIndex(item);
  if (i < 0) return;
  LVITEMA it{};
  it.mask = LVIF_TEXT | LVIF_IMAGE;
  it.iItem = i;
  it.pszText = const_cast<char*>(item->caption_.c_str());
  it.iImage = item->image_index_;
  Send(hwnd_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
  for (int s = 1; s < ColumnCount(); ++s) {
    LVITEMA st{};
    st.iSubItem = s;
    st.pszText = const_cast<char*>(item->SubItem(s - 1).c_str());
    Send(hwnd_, LVM_SETITEMTEXTA, i, reinterpret_cast<LPARAM>(&st));
  }
}

int TListView::IndexOf(const TListItem* item) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[i].get() == item) return i;
  return -1;
}

// Our list keeps the native order, so positions agree.
int TListView::NativeIndex(const TListItem* item) const { return IndexOf(item); }

TListItem* TListView::Add() {
  items_.push_back(std::unique_ptr<TListItem>(new TListItem(this)));
  TListItem* item = items_.back().get();
  if (HandleAllocated()) InsertNative(Count() - 1, item);
  if (update_count_ == 0) ItemsChanged();
  return item;
}

TListItem* TListView::AddRow(const std::string& caption, std::vector<std::string> sub_items, int image_index) {
  items_.push_back(std::unique_ptr<TListItem>(new TListItem(this)));
  TListItem* item = items_.back().get();
  item->caption_ = caption;
  item->sub_items_ = std::move(sub_items);
  item->image_index_ = image_index;
  if (HandleAllocated()) InsertNative(Count() - 1, item);
  if (update_count_ == 0) ItemsChanged();
  return item;
}

void TListView::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  if (HandleAllocated()) Send(hwnd_, LVM_DELETEITEM, index);
  items_.erase(items_.begin() + index);
  if (update_count_ == 0) ItemsChanged();
}

void TListView::Clear() {
  if (HandleAllocated()) Send(hwnd_, LVM_DELETEALLITEMS);
  items_.clear();
  if (update_count_ == 0) ItemsChanged();
}

void TListView::BeginUpdate() {
  if (update_count_++ == 0 && HandleAllocated()) Send(hwnd_, WM_SETREDRAW, FALSE);
}

void TListView::EndUpdate() {
  if (update_count_ == 0 || --update_count_ > 0) return;
  if (HandleAllocated()) {
    Send(hwnd_, WM_SETREDRAW, TRUE);
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
  ItemsChanged();
}

int TListView::SelCount() { return HandleAllocated() ? static_cast<int>(Send(hwnd_, LVM_GETSELECTEDCOUNT)) : 0; }

TListItem* TListView::Selected() {
  if (!HandleAllocated()) return nullptr;
  const int i = static_cast<int>(Send(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  return i >= 0 && i < Count() ? items_[i].get() : nullptr;
}

int TListView::ItemIndex() const {
  if (!HandleAllocated()) return -1;
  return static_cast<int>(Send(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TListView::SetItemIndex(int index) {
  ClearSelection();
  if (index < 0) return;
  LVITEMA it{};
  it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  it.state = LVIS_SELECTED | LVIS_FOCUSED;
  Send(Handle(), LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&it));
  Send(hwnd_, LVM_ENSUREVISIBLE, index, FALSE);
}

std::vector<TListItem*> TListView::SelectedItems() {
  std::vector<TListItem*> out;
  if (!HandleAllocated()) return out;
  int i = -1;
  while ((i = static_cast<int>(Send(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED))) >= 0) {
    if (i < Count()) out.push_back(items_[i].get());
  }
  return out;
}

void TListView::SelectAll() {
  LVITEMA it{};
  it.stateMask = LVIS_SELECTED;
  it.state = multi_select_ ? LVIS_SELECTED : 0;
  if (!multi_select_) return;
  Send(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&it));
}

void TListView::ClearSelection() {
  LVITEMA it{};
  it.stateMask = LVIS_SELECTED;
  Send(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&it));
}

TListItem* TListView::ItemFocused() {
  if (!HandleAllocated()) return nullptr;
  const int i = static_cast<int>(Send(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  return i >= 0 && i < Count() ? items_[i].get() : nullptr;
}

void TListView::SetViewStyle(TViewStyle style) {
  if (view_style_ == style) return;
  view_style_ = style;
  if (HandleAllocated()) {
    const LONG s = GetWindowLongA(hwnd_, GWL_STYLE);
    SetWindowLongA(hwnd_, GWL_STYLE, (s & ~LVS_TYPEMASK) | ViewStyleBits());
    if (view_style_ == TViewStyle::vsIcon || view_style_ == TViewStyle::vsSmallIcon) Send(hwnd_, LVM_ARRANGE, LVA_DEFAULT);
    // The control lays its rows out anew but leaves the old view's pixels
    // (icons under the headers, column texts beside the icons): the whole
    // window, the header included, is drawn again.
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

void TListView::SetMultiSelect(bool on) {
  if (multi_select_ == on) return;
  multi_select_ = on;
  if (HandleAllocated()) RecreateWnd();
}
void TListView::SetReadOnly(bool on) {
  if (read_only_ == on) return;
  read_only_ = on;
  if (HandleAllocated()) RecreateWnd();
}
void TListView::SetGridLines(bool on) {
  grid_lines_ = on;
  ApplyStyle();
}
void TListView::SetRowSelect(bool on) {
  row_select_ = on;
  ApplyStyle();
}
void TListView::SetFlatScrollBars(bool on) {
  flat_scroll_bars_ = on;
  ApplyStyle();
}
void TListView::SetHotTrack(bool on) {
  hot_track_ = on;
  ApplyStyle();
}
void TListView::SetHotTrackStyles(THotTrackStyles styles) {
  hot_track_styles_ = styles;
  ApplyStyle();
}

void TListView::ColorChanged() {
  TWinControl::ColorChanged();
  ApplyStyle();
}
void TListView::SetAutoArrange(bool on) {
  if (auto_arrange_ == on) return;
  auto_arrange_ = on;
  if (HandleAllocated()) RecreateWnd();
}
void TListView::SetShowColumnHeaders(bool on) {
  if (show_headers_ == on) return;
  show_headers_ = on;
  if (HandleAllocated()) RecreateWnd();
}
void TListView::SetHideSelection(bool on) {
  if (hide_selection_ == on) return;
  hide_selection_ = on;
  if (HandleAllocated()) RecreateWnd();
}
void TListView::SetBorderStyle(TListBorderStyle style) {
  if (border_style_ == style) return;
  border_style_ = style;
  if (HandleAllocated()) RecreateWnd();
}

void TListView::SetLargeImages(TImageList* images) {
  if (large_images_) large_images_->RemoveFreeNotification(this);
  large_images_ = images;
  if (images) images->FreeNotification(this);
  UpdateImageLists();
}

void TListView::SetSmallImages(TImageList* images) {
  if (small_images_) small_images_->RemoveFreeNotification(this);
  small_images_ = images;
  if (images) images->FreeNotification(this);
  UpdateImageLists();
}

void TListView::SetOwnerData(bool on) {
  if (owner_data_ == on) return;
  Clear();
  owner_data_count_ = 0;
  owner_data_ = on;
  if (HandleAllocated()) RecreateWnd();
}

void TListView::SetOwnerDataCount(int count) {
  owner_data_count_ = count < 0 ? 0 : count;
  if (!owner_data_ || !HandleAllocated()) return;
  // The same length again only needs the cells asked for anew; setting it
  // costs the control a relayout of its scroll bars.
  if (Send(hwnd_, LVM_GETITEMCOUNT) != owner_data_count_) Send(hwnd_, LVM_SETITEMCOUNT, owner_data_count_);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void TListView::OwnerDataText(int index, int column, char* buffer, int size) {
  if (!buffer || size <= 0) return;
  std::string text;
  if (OnOwnerData && index >= 0 && index < owner_data_count_) OnOwnerData(this, index, column, text);
  lstrcpynA(buffer, text.c_str(), size);
}

namespace {
// Puts the rows in `order` (every row once), else leaves them as they are.
void Reorder(std::vector<std::unique_ptr<TListItem>>& items, const std::vector<TListItem*>& order) {
  if (order.size() != items.size()) return;
  std::vector<std::unique_ptr<TListItem>> ordered;
  ordered.reserve(items.size());
  for (TListItem* item : order)
    for (auto& p : items)
      if (p && p.get() == item) ordered.push_back(std::move(p));
  if (ordered.size() == order.size()) items = std::move(ordered);
}
}  // namespace

void TListView::SyncOrderFromNative() {
  std::vector<TListItem*> order;
  for (int i = 0; i < Count(); ++i) {
    LVITEMA it{};
    it.mask = LVIF_PARAM;
    it.iItem = i;
    Send(hwnd_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    order.push_back(reinterpret_cast<TListItem*>(it.lParam));
  }
  Reorder(items_, order);
}

namespace {
struct SortContext {
  const std::function<int(TListItem*, TListItem*)>* compare;
  TCallbackError error;
};
// Called by comctl32 inside LVM_SORTITEMS: a failing comparator ends the
// comparing (the rest count as equal) and fails CustomSort once the sort is back.
int CALLBACK SortProc(LPARAM a, LPARAM b, LPARAM ctx) {
  auto* c = reinterpret_cast<SortContext*>(ctx);
  if (c->error.Failed()) return 0;
  return GuardCallback(c->error, [&] {
    return (*c->compare)(reinterpret_cast<TListItem*>(a), reinterpret_cast<TListItem*>(b));
  });
}
}  // namespace

void TListView::CustomSort(const std::function<int(TListItem*, TListItem*)>& compare) {
  if (!HandleAllocated()) {
    // Sorted aside: a failing comparator leaves the rows as they were.
    std::vector<TListItem*> order;
    for (const auto& p : items_) order.push_back(p.get());
    std::stable_sort(order.begin(), order.end(), [&](TListItem* a, TListItem* b) { return compare(a, b) < 0; });
    Reorder(items_, order);
    return;
  }
  SortContext ctx{&compare, {}};
  Send(hwnd_, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&ctx), reinterpret_cast<LPARAM>(&SortProc));
  SyncOrderFromNative();
  ctx.error.RaiseAgain();
}

TRect TListView::LabelRect(int index) {
  RECT r{};
  r.left = LVIR_LABEL;
  if (!HandleAllocated() || !Send(hwnd_, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r))) return TRect();
  return TRect(r);
}

int TListView::TopIndexOfView() { return HandleAllocated() ? static_cast<int>(Send(hwnd_, LVM_GETTOPINDEX)) : 0; }

void TListView::Scroll(int dx, int dy) {
  if (HandleAllocated()) Send(hwnd_, LVM_SCROLL, dx, dy);
}

void TListView::EditCaption(int index) {
  SetFocus();
  Send(Handle(), LVM_EDITLABELA, index);
}

void TListView::ColumnClick(int column) {
  if (OnColumnClick) OnColumnClick(this, column);
}

bool TListView::CanEdit(TListItem* item) {
  bool allow = !read_only_;
  if (OnEditing) OnEditing(this, item, allow);
  return allow;
}

LRESULT TListView::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_LBUTTONDOWN) return CallCatchingRelease(hwnd_, [&] { return TWinControl::WndProc(msg, w, l); });
  if (msg == CM_CAUGHTRELEASE) {
    // The native control saw this release inside its press: ours only.
    replaying_release_ = true;
    const LRESULT r = WndProc(WM_LBUTTONUP, w, l);
    replaying_release_ = false;
    return r;
  }
  if (msg == WM_LBUTTONUP && replaying_release_) {
    DispatchMouseUp(TMouseButton::mbLeft, KeysToShiftState(w), GET_X_LPARAM(l), GET_Y_LPARAM(l));
    return 0;
  }
  if (msg == CN_NOTIFY) {
    auto* nm = reinterpret_cast<NMHDR*>(l);
    switch (nm->code) {
      case LVN_COLUMNCLICK:
        ColumnClick(reinterpret_cast<NMLISTVIEW*>(l)->iSubItem);
        return 0;
      case LVN_BEGINLABELEDITA: {
        auto* d = reinterpret_cast<NMLVDISPINFOA*>(l);
        TListItem* item = d->item.iItem >= 0 && d->item.iItem < Count() ? items_[d->item.iItem].get() : nullptr;
        return item && CanEdit(item) ? FALSE : TRUE;
      }
      case LVN_ENDLABELEDITA: {
        auto* d = reinterpret_cast<NMLVDISPINFOA*>(l);
        if (!d->item.pszText || d->item.iItem < 0 || d->item.iItem >= Count()) return FALSE;
        TListItem* item = items_[d->item.iItem].get();
        std::string text = d->item.pszText;
        if (OnEdited) OnEdited(this, item, text);
        item->caption_ = text;
        return TRUE;
      }
      case LVN_GETDISPINFOA: {
        auto* d = reinterpret_cast<NMLVDISPINFOA*>(l);
        if (owner_data_ && (d->item.mask & LVIF_TEXT))
          OwnerDataText(d->item.iItem, d->item.iSubItem, d->item.pszText, d->item.cchTextMax);
        return 0;
      }
      case LVN_GETDISPINFOW: {
        auto* d = reinterpret_cast<NMLVDISPINFOW*>(l);
        if (owner_data_ && (d->item.mask & LVIF_TEXT) && d->item.pszText && d->item.cchTextMax > 0) {
          std::string text(static_cast<std::size_t>(d->item.cchTextMax) * 2, '\0');
          OwnerDataText(d->item.iItem, d->item.iSubItem, text.data(), static_cast<int>(text.size()));
          if (!MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, d->item.pszText, d->item.cchTextMax))
            d->item.pszText[0] = 0;
        }
        return 0;
      }
      case LVN_ITEMCHANGED: {
        auto* v = reinterpret_cast<NMLISTVIEW*>(l);
        if (!(v->uChanged & LVIF_STATE) || !((v->uOldState ^ v->uNewState) & LVIS_SELECTED) || !OnSelectItem)
          return 0;
        if (owner_data_ && v->iItem >= 0 && v->iItem < owner_data_count_)
          OnSelectItem(this, nullptr, (v->uNewState & LVIS_SELECTED) != 0);
        else if (v->iItem >= 0 && v->iItem < Count())
          OnSelectItem(this, items_[v->iItem].get(), (v->uNewState & LVIS_SELECTED) != 0);
        return 0;
      }
      default:
        break;
    }
  } else if (msg == WM_NOTIFY) {
    // The header tells its parent (us) when a divider drag ends.
    auto* nm = reinterpret_cast<NMHDR*>(l);
    if (nm->code == HDN_ENDTRACKA || nm->code == HDN_ENDTRACKW) {
      const LRESULT r = TWinControl::WndProc(msg, w, l);
      ColumnResized();
      return r;
    }
  }
  return TWinControl::WndProc(msg, w, l);
}
