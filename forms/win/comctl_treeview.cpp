#include "forms/win/comctl_treeview.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "base/win/comctl_load.h"
#include "forms/win/comctl_press.h"

namespace {
LRESULT Send(HWND h, UINT msg, WPARAM w = 0, LPARAM l = 0) { return SendMessageA(h, msg, w, l); }

UINT StateMask(int stateIndex) { return INDEXTOSTATEIMAGEMASK(stateIndex < 0 ? 0 : stateIndex & 0x0F); }
}  // namespace

// ---- TTreeNode ----

TTreeNode* TTreeNode::Parent() const { return parent_ == &owner_->root_ ? nullptr : parent_; }

TTreeNode* TTreeNode::GetNextSibling() const {
  if (!parent_) return nullptr;
  const int i = Index();
  return i + 1 < parent_->Count() ? parent_->Item(i + 1) : nullptr;
}

int TTreeNode::Index() const {
  if (!parent_) return -1;
  const auto& s = parent_->children_;
  for (size_t i = 0; i < s.size(); ++i)
    if (s[i].get() == this) return static_cast<int>(i);
  return -1;
}

int TTreeNode::Level() const {
  int level = 0;
  for (const TTreeNode* p = Parent(); p; p = p->Parent()) ++level;
  return level;
}

int TTreeNode::AbsoluteIndex() const {
  owner_->Order();
  return absolute_index_;
}

void TTreeNode::SetText(const std::string& text) {
  text_ = text;
  owner_->view_->UpdateNative(this, TVIF_TEXT);
}

void TTreeNode::SetImageIndex(int index) {
  image_index_ = index;
  owner_->view_->UpdateNative(this, TVIF_IMAGE | TVIF_SELECTEDIMAGE);
}

void TTreeNode::SetStateIndex(int index) {
  state_index_ = index;
  owner_->view_->UpdateNative(this, TVIF_STATE);
}

bool TTreeNode::Expanded() const {
  const TCustomTreeView* v = owner_->view_;
  if (v->HandleAllocated() && item_)
    return Send(v->hwnd_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item_), TVIS_EXPANDED) & TVIS_EXPANDED;
  return expanded_;
}

void TTreeNode::SetExpanded(bool on) {
  expanded_ = on;
  TCustomTreeView* v = owner_->view_;
  if (v->HandleAllocated() && item_)
    Send(v->hwnd_, TVM_EXPAND, on ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(item_));
}

void TTreeNode::Expand(bool recurse) {
  SetExpanded(true);
  if (recurse)
    for (auto& c : children_) c->Expand(true);
}

void TTreeNode::Collapse(bool recurse) {
  if (recurse)
    for (auto& c : children_) c->Collapse(true);
  SetExpanded(false);
}

bool TTreeNode::Selected() const { return owner_->view_->Selected() == this; }

void TTreeNode::SetSelected(bool on) {
  TCustomTreeView* v = owner_->view_;
  if (on)
    v->SetSelected(this);
  else if (Selected())
    v->SetSelected(nullptr);
}

TRect TTreeNode::DisplayRect(bool textOnly) const {
  const TCustomTreeView* v = owner_->view_;
  if (!v->HandleAllocated() || !item_) return TRect();
  RECT r{};
  std::memcpy(&r, &item_, sizeof item_);  // the message takes the item in the rectangle
  if (!Send(v->hwnd_, TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(&r))) return TRect();
  return TRect(r);
}

void TTreeNode::Delete() { owner_->Delete(this); }

// ---- TTreeNodes ----

TTreeNodes::TTreeNodes(TCustomTreeView* view) : view_(view), root_(this, nullptr) {}

TTreeNodes::~TTreeNodes() = default;

const std::vector<TTreeNode*>& TTreeNodes::Order() const {
  if (order_valid_) return order_;
  order_.clear();
  std::function<void(const TTreeNode&)> walk = [&](const TTreeNode& n) {
    for (auto& c : n.children_) {
      c->absolute_index_ = static_cast<int>(order_.size());
      order_.push_back(c.get());
      walk(*c);
    }
  };
  walk(root_);
  order_valid_ = true;
  return order_;
}

int TTreeNodes::Count() const { return static_cast<int>(Order().size()); }

TTreeNode* TTreeNodes::Item(int absoluteIndex) const {
  const auto& o = Order();
  return absoluteIndex >= 0 && absoluteIndex < static_cast<int>(o.size()) ? o[absoluteIndex] : nullptr;
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& text) {
  TTreeNode* p = parent ? parent : &root_;
  p->children_.push_back(std::unique_ptr<TTreeNode>(new TTreeNode(this, p)));
  TTreeNode* node = p->children_.back().get();
  node->text_ = text;
  OrderChanged();
  view_->InsertNative(node);
  return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& text) {
  return AddChild(sibling ? sibling->Parent() : nullptr, text);
}

void TTreeNodes::Delete(TTreeNode* node) {
  if (!node || node->owner_ != this || !node->parent_) return;
  view_->RemoveNative(node);
  if (view_->saved_selection_) view_->saved_selection_ = nullptr;
  auto& s = node->parent_->children_;
  s.erase(std::remove_if(s.begin(), s.end(), [node](const auto& p) { return p.get() == node; }), s.end());
  OrderChanged();
}

void TTreeNodes::Clear() {
  if (view_->HandleAllocated()) Send(view_->hwnd_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  root_.children_.clear();
  view_->saved_selection_ = nullptr;
  OrderChanged();
}

void TTreeNodes::BeginUpdate() {
  if (update_count_++ == 0 && view_->HandleAllocated()) Send(view_->hwnd_, WM_SETREDRAW, FALSE);
}

void TTreeNodes::EndUpdate() {
  if (update_count_ > 0 && --update_count_ == 0 && view_->HandleAllocated()) {
    Send(view_->hwnd_, WM_SETREDRAW, TRUE);
    InvalidateRect(view_->hwnd_, nullptr, TRUE);
  }
}

// ---- TCustomTreeView ----

TCustomTreeView::TCustomTreeView(TComponent* owner) : TWinControl(owner), items_(this) {
  SetBounds(0, 0, 121, 97);
  SetColor(clWindow);
  SetParentColor(false);
  SetTabStop(true);
  SetOwnPaint(false);
}

TCustomTreeView::~TCustomTreeView() {
  if (images_) images_->RemoveFreeNotification(this);
  if (state_images_) state_images_->RemoveFreeNotification(this);
}

void TCustomTreeView::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  LoadCommonControls();
  p.window_class = WC_TREEVIEWA;
  p.style |= WS_CHILD | WS_TABSTOP | WS_CLIPCHILDREN;
  if (show_buttons_) p.style |= TVS_HASBUTTONS;
  if (show_lines_) p.style |= TVS_HASLINES;
  if (show_root_) p.style |= TVS_LINESATROOT;
  if (!hide_selection_) p.style |= TVS_SHOWSELALWAYS;
  if (!read_only_) p.style |= TVS_EDITLABELS;
  if (row_select_) p.style |= TVS_FULLROWSELECT;
  if (hot_track_) p.style |= TVS_TRACKSELECT;
  p.ex_style |= WS_EX_CLIENTEDGE;
}

void TCustomTreeView::ApplyLooks() {
  if (!HandleAllocated()) return;
  Send(hwnd_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_ ? images_->Handle() : nullptr));
  Send(hwnd_, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(state_images_ ? state_images_->Handle() : nullptr));
  Send(hwnd_, TVM_SETINDENT, indent_);
  Send(hwnd_, TVM_SETBKCOLOR, 0, ColorToRGB(Color()));
  Send(hwnd_, TVM_SETTEXTCOLOR, 0, ColorToRGB(Font()->Color()));
}

void TCustomTreeView::CreateWnd() {
  TWinControl::CreateWnd();
  ApplyLooks();
  Send(hwnd_, WM_SETREDRAW, FALSE);
  std::function<void(TTreeNode&)> insert = [&](TTreeNode& n) {
    for (auto& c : n.children_) {
      InsertNative(c.get());
      insert(*c);
    }
  };
  insert(items_.root_);
  // Expanded only once the children are there.
  for (TTreeNode* n : items_.Order())
    if (n->expanded_) Send(hwnd_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(n->item_));
  if (saved_selection_ && saved_selection_->item_)
    Send(hwnd_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(saved_selection_->item_));
  saved_selection_ = nullptr;
  Send(hwnd_, WM_SETREDRAW, TRUE);
}

void TCustomTreeView::DestroyWnd() {
  if (HandleAllocated()) {
    saved_selection_ = Selected();
    for (TTreeNode* n : items_.Order()) {
      n->expanded_ = n->Expanded();
      n->item_ = nullptr;
    }
  }
  TWinControl::DestroyWnd();
}

void TCustomTreeView::InsertNative(TTreeNode* node) {
  if (!HandleAllocated()) return;
  TTreeNode* parent = node->Parent();
  if (parent && !parent->item_) return;  // comes with its parent
  TVINSERTSTRUCTA is{};
  is.hParent = parent ? parent->item_ : TVI_ROOT;
  is.hInsertAfter = TVI_LAST;
  is.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
  is.item.pszText = const_cast<char*>(node->text_.c_str());
  is.item.lParam = reinterpret_cast<LPARAM>(node);
  is.item.iImage = is.item.iSelectedImage = node->image_index_;
  is.item.stateMask = TVIS_STATEIMAGEMASK;
  is.item.state = StateMask(node->state_index_);
  node->item_ = reinterpret_cast<HTREEITEM>(Send(hwnd_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&is)));
}

void TCustomTreeView::UpdateNative(TTreeNode* node, UINT mask) {
  if (!HandleAllocated() || !node->item_) return;
  TVITEMA it{};
  it.mask = mask | TVIF_HANDLE;
  it.hItem = node->item_;
  it.pszText = const_cast<char*>(node->text_.c_str());
  it.iImage = it.iSelectedImage = node->image_index_;
  it.stateMask = TVIS_STATEIMAGEMASK;
  it.state = StateMask(node->state_index_);
  Send(hwnd_, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
}

void TCustomTreeView::RemoveNative(TTreeNode* node) {
  if (!HandleAllocated() || !node->item_) return;
  Send(hwnd_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node->item_));
}

TTreeNode* TCustomTreeView::NodeOfItem(HTREEITEM item) const {
  if (!item || !HandleAllocated()) return nullptr;
  TVITEMA it{};
  it.mask = TVIF_PARAM | TVIF_HANDLE;
  it.hItem = item;
  if (!Send(hwnd_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it))) return nullptr;
  return NodeOf(it.lParam);
}

TTreeNode* TCustomTreeView::Selected() const {
  if (!HandleAllocated()) return saved_selection_;
  return NodeOfItem(reinterpret_cast<HTREEITEM>(Send(hwnd_, TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

void TCustomTreeView::SetSelected(TTreeNode* node) {
  if (!HandleAllocated()) {
    saved_selection_ = node;
    return;
  }
  Send(hwnd_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node ? node->item_ : nullptr));
}

void TCustomTreeView::FullExpand() {
  for (auto& c : items_.root_.children_) c->Expand(true);
}

void TCustomTreeView::FullCollapse() {
  for (auto& c : items_.root_.children_) c->Collapse(true);
}

TTreeHitTest TCustomTreeView::HitTest(int x, int y) const {
  TTreeHitTest result;
  if (!HandleAllocated()) return result;
  TVHITTESTINFO ht{};
  ht.pt = POINT{x, y};
  const auto item = reinterpret_cast<HTREEITEM>(Send(hwnd_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&ht)));
  result.Node = NodeOfItem(item);
  result.Flags = ht.flags;
  return result;
}

TTreeNode* TCustomTreeView::GetNodeAt(int x, int y) const {
  const TTreeHitTest ht = HitTest(x, y);
  return ht.Flags & (TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT) ? ht.Node : nullptr;
}

bool TCustomTreeView::IsEditing() const { return HandleAllocated() && Send(hwnd_, TVM_GETEDITCONTROL) != 0; }

void TCustomTreeView::SetImages(TImageList* images) {
  if (images_) images_->RemoveFreeNotification(this);
  images_ = images;
  if (images) images->FreeNotification(this);
  ApplyLooks();
}

void TCustomTreeView::SetStateImages(TImageList* images) {
  if (state_images_) state_images_->RemoveFreeNotification(this);
  state_images_ = images;
  if (images) images->FreeNotification(this);
  ApplyLooks();
}

void TCustomTreeView::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == images_) SetImages(nullptr);
  if (component == state_images_) SetStateImages(nullptr);
}

void TCustomTreeView::SetIndent(int indent) {
  indent_ = indent;
  if (HandleAllocated()) Send(hwnd_, TVM_SETINDENT, indent_);
}

void TCustomTreeView::SetStyleBit(bool& field, bool on) {
  if (field == on) return;
  field = on;
  if (HandleAllocated()) RecreateWnd();
}
void TCustomTreeView::SetShowButtons(bool on) { SetStyleBit(show_buttons_, on); }
void TCustomTreeView::SetShowLines(bool on) { SetStyleBit(show_lines_, on); }
void TCustomTreeView::SetShowRoot(bool on) { SetStyleBit(show_root_, on); }
void TCustomTreeView::SetHideSelection(bool on) { SetStyleBit(hide_selection_, on); }
void TCustomTreeView::SetReadOnly(bool on) { SetStyleBit(read_only_, on); }
void TCustomTreeView::SetRowSelect(bool on) { SetStyleBit(row_select_, on); }
void TCustomTreeView::SetHotTrack(bool on) { SetStyleBit(hot_track_, on); }

void TCustomTreeView::ColorChanged() {
  TWinControl::ColorChanged();
  if (HandleAllocated()) Send(hwnd_, TVM_SETBKCOLOR, 0, ColorToRGB(Color()));
}

void TCustomTreeView::FontChanged() {
  TWinControl::FontChanged();
  if (HandleAllocated()) Send(hwnd_, TVM_SETTEXTCOLOR, 0, ColorToRGB(Font()->Color()));
}

bool TCustomTreeView::CanChange(TTreeNode* node) {
  bool allow = true;
  if (OnChanging) OnChanging(this, node, allow);
  return allow;
}

void TCustomTreeView::Change(TTreeNode* node) {
  if (OnChange) OnChange(this, node);
}

void TCustomTreeView::StateImagePress(int x, int y) {
  const TTreeHitTest ht = HitTest(x, y);
  if (ht.Node && (ht.Flags & TVHT_ONITEMSTATEICON) && !ht.Node->Selected()) SetSelected(ht.Node);
}

LRESULT TCustomTreeView::WndProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const LRESULT r = CallCatchingRelease(hwnd_, [&] { return TWinControl::WndProc(msg, w, l); });
      if (HandleAllocated()) StateImagePress(PointX(l), PointY(l));
      return r;
    }
    case CM_CAUGHTRELEASE: {
      // The native control saw this release inside its press: ours only.
      replaying_release_ = true;
      const LRESULT r = WndProc(WM_LBUTTONUP, w, l);
      replaying_release_ = false;
      return r;
    }
    case WM_LBUTTONUP:
      if (replaying_release_) {
        DispatchMouseUp(TMouseButton::mbLeft, KeysToShiftState(w), PointX(l), PointY(l));
        return 0;
      }
      break;
    case CN_NOTIFY: {
      auto* nm = reinterpret_cast<NMHDR*>(l);
      switch (nm->code) {
        case TVN_SELCHANGINGA:
        case TVN_SELCHANGINGW:
          return CanChange(NodeOf(reinterpret_cast<NMTREEVIEWA*>(l)->itemNew.lParam)) ? FALSE : TRUE;
        case TVN_SELCHANGEDA:
        case TVN_SELCHANGEDW:
          Change(NodeOf(reinterpret_cast<NMTREEVIEWA*>(l)->itemNew.lParam));
          return 0;
        case TVN_BEGINLABELEDITA:
          return read_only_ ? TRUE : FALSE;
        case TVN_ENDLABELEDITA: {
          auto* d = reinterpret_cast<NMTVDISPINFOA*>(l);
          TTreeNode* node = NodeOf(d->item.lParam);
          if (!d->item.pszText || !node) return FALSE;
          node->text_ = d->item.pszText;
          return TRUE;
        }
        case TVN_DELETEITEMA:
        case TVN_DELETEITEMW:
          // Our node forgets the native item it had.
          if (TTreeNode* node = NodeOf(reinterpret_cast<NMTREEVIEWA*>(l)->itemOld.lParam)) node->item_ = nullptr;
          return 0;
        default:
          return 0;
      }
    }
    default:
      break;
  }
  return TWinControl::WndProc(msg, w, l);
}
