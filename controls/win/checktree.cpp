#include "controls/win/checktree.h"

#include <algorithm>
#include <cstdlib>
#include <string>

// ---- TLkCustomTreeView ----

TLkCustomTreeView::TLkCustomTreeView(TComponent* owner) : TCustomTreeView(owner) {
  SetTabStop(true);
  SetParentColor(false);
  selection_pen_.SetColor(clBtnShadow);
  selection_pen_.OnChange = [this](TObject*) { Invalidate(); };
}

void TLkCustomTreeView::RepaintFrame() {
  if (HandleAllocated()) RepaintWindowFrame(Handle());
}

void TLkCustomTreeView::UpdateFrameStyle(bool viaMouse, bool inside) {
  if (viaMouse) SetHover(inside);
  if (FollowActivity(Focused() || Hover())) RepaintFrame();
}

void TLkCustomTreeView::FrameVisibleChanged() {
  if (HandleAllocated()) RecreateWnd();
}

void TLkCustomTreeView::MouseEnter() {
  UpdateFrameStyle(true, true);
  TCustomTreeView::MouseEnter();
}

void TLkCustomTreeView::MouseLeave() {
  UpdateFrameStyle(true, false);
  TCustomTreeView::MouseLeave();
}

void TLkCustomTreeView::OutlineSelection(HDC given) {
  if (HideSelection() || Focused()) return;
  TTreeNode* node = Selected();
  if (!node) return;
  const TRect r = node->DisplayRect(true);
  if (r.Empty()) return;
  HDC dc = given ? given : GetDC(hwnd_);
  TCanvas c;
  c.SetHandle(dc);
  c.Pen()->Assign(selection_pen_);
  c.Brush()->SetStyle(TBrushStyle::bsClear);
  c.Rectangle(r);
  c.SetHandle(nullptr);
  if (!given) ReleaseDC(hwnd_, dc);
}

void TLkCustomTreeView::WheelNotch(bool down) {
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  const int pos = GetScrollPos(hwnd_, SB_VERT);
  // Up stops at the top instead of refusing the last lines before it.
  const int next = down ? pos + static_cast<int>(lines) : std::max(0, pos - static_cast<int>(lines));
  if (next == pos) return;
  SendMessageA(hwnd_, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, next), 0);
  SetScrollPos(hwnd_, SB_VERT, next, TRUE);
}

LRESULT TLkCustomTreeView::WndProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_NCPAINT: {
      const LRESULT r = TCustomTreeView::WndProc(msg, w, l);
      if (!FrameVisible()) return r;
      PaintWindowFrame(hwnd_, Color());
      return 0;
    }
    case WM_PAINT: {
      const LRESULT r = TCustomTreeView::WndProc(msg, w, l);
      OutlineSelection(reinterpret_cast<HDC>(w));
      return r;
    }
    case WM_SETFOCUS:
      UpdateFrameStyle(false, false);
      return TCustomTreeView::WndProc(msg, w, l);
    case WM_KILLFOCUS: {
      const LRESULT r = TCustomTreeView::WndProc(msg, w, l);
      UpdateFrameStyle(false, false);
      return r;
    }
    case WM_SIZE: {
      const LRESULT r = TCustomTreeView::WndProc(msg, w, l);
      if (FrameVisible()) RepaintFrame();
      return r;
    }
    case WM_MOUSEWHEEL: {
      const int notches = wheel_.Add(GET_WHEEL_DELTA_WPARAM(w));
      for (int i = 0; i < std::abs(notches); ++i) WheelNotch(notches < 0);
      return 0;
    }
    default:
      return TCustomTreeView::WndProc(msg, w, l);
  }
}

// ---- TLkCheckTree ----

// The rules see the nodes by absolute index; a handler that removed nodes
// meanwhile makes the missing ones read as absent.
class TLkCheckTree::Host : public TLkCheckHost {
 public:
  explicit Host(TLkCheckTree& tree) : tree_(tree) {}
  int ParentOf(int n) const override { return IndexOf(Node(n) ? Node(n)->Parent() : nullptr); }
  int FirstChildOf(int n) const override { return IndexOf(Node(n) ? Node(n)->GetFirstChild() : nullptr); }
  int NextSiblingOf(int n) const override { return IndexOf(Node(n) ? Node(n)->GetNextSibling() : nullptr); }
  int StateIndexOf(int n) const override { return Node(n) ? Node(n)->StateIndex() : 0; }
  void StoreStateIndex(int n, TLkCheckState s) override {
    if (TTreeNode* node = Node(n)) node->SetStateIndex(s);
  }
  bool StateChanging(int n, TLkCheckState s) override { return Node(n) && tree_.StateChanging(Node(n), s); }
  void StateChanged(int n, TLkCheckState s) override {
    if (TTreeNode* node = Node(n)) tree_.StateChanged(node, s);
  }
  void ChildrenUpdated() override {
    if (tree_.OnUpdateChildren) tree_.OnUpdateChildren(&tree_);
  }

 private:
  TTreeNode* Node(int n) const { return tree_.Items()->Item(n); }
  static int IndexOf(const TTreeNode* node) { return node ? node->AbsoluteIndex() : -1; }
  TLkCheckTree& tree_;
};

TLkCheckTree::TLkCheckTree(TComponent* owner) : TLkCustomTreeView(owner) {
  SetReadOnly(true);
  state_image_list_ = new TImageList(this, 16, 16);
  LoadStateImages();
  SetStateImages(state_image_list_);
  state_image_width_ = state_image_list_->Width();
}

TLkCheckTree::~TLkCheckTree() = default;

void TLkCheckTree::LoadStateImages() {
  TBitmap boxes;
  boxes.LoadFromResourceName(GetModuleHandleA(nullptr), "LKTREEVW_CHECKS");
  state_image_list_->AddMasked(&boxes, clOlive);
}

void TLkCheckTree::Loaded() {
  TLkCustomTreeView::Loaded();
  image_width_ = Images() ? Images()->Width() : 0;
}

void TLkCheckTree::SetImages(TImageList* images) {
  TLkCustomTreeView::SetImages(images);
  image_width_ = images ? images->Width() : 0;
}

TLkCheckState TLkCheckTree::GetItemState(int index) const {
  const TTreeNode* node = Items()->Item(index);
  if (!node)
    throw EListError("Check tree node index " + std::to_string(index) + " out of range (the tree has " +
                     std::to_string(Items()->Count()) + " nodes)");
  return CheckStateOf(node->StateIndex());
}

void TLkCheckTree::SetItemState(int index, TLkCheckState state) {
  const TTreeNode* node = Items()->Item(index);
  if (!node || CheckStateOf(node->StateIndex()) == state) return;
  click_.Clear();
  Host host(*this);
  SetCheckStateCascading(host, index, state, cascade_checks_);
}

void TLkCheckTree::SetNodeState(TTreeNode* node, TLkCheckState state) {
  if (!node || node->Owner() != Items()) return;
  Host host(*this);
  SetCheckStateQuietly(host, node->AbsoluteIndex(), state);
}

bool TLkCheckTree::StateChanging(TTreeNode* node, TLkCheckState newState) {
  bool allow = true;
  if (OnStateChanging) OnStateChanging(this, node, newState, allow);
  return allow;
}

void TLkCheckTree::StateChanged(TTreeNode* node, TLkCheckState newState) {
  if (OnStateChange) OnStateChange(this, node, newState);
}

void TLkCheckTree::Toggle(TTreeNode* node) {
  click_.Clear();
  if (!node) return;
  Host host(*this);
  ToggleCheckState(host, node->AbsoluteIndex(), cascade_checks_);
}

void TLkCheckTree::ShowUnpaintedAsUnchecked() {
  for (int i = 0; i < Items()->Count(); ++i) {
    TTreeNode* node = Items()->Item(i);
    if (node->StateIndex() == -1) node->SetStateIndex(ckUnchecked);
  }
}

bool TLkCheckTree::PressOnBox(int x, int y) const {
  const TTreeNode* node = Selected();
  if (!node) return false;
  const TRect t = node->DisplayRect(true);
  return OnCheckBox(x, y, TLkRect{t.left, t.top, t.right, t.bottom}, state_image_width_, image_width_);
}

bool TLkCheckTree::DoKeyPress(char& key) {
  const bool pass = TLkCustomTreeView::DoKeyPress(key);
  // A space toggles on its release; as a character it would start the
  // platform's incremental search.
  if (key == ' ' && !IsEditing()) {
    key = 0;
    return false;
  }
  return pass;
}

void TLkCheckTree::DoKeyUp(WORD& key, TShiftState shift) {
  if (key == VK_SPACE && !IsEditing()) {
    if (TTreeNode* node = Selected()) Toggle(node);
  }
  TLkCustomTreeView::DoKeyUp(key, shift);
}

LRESULT TLkCheckTree::WndProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_PAINT:
      ShowUnpaintedAsUnchecked();
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {  // a quick second click is a press on the box too
      // After the platform's press: the selection is the node it selected.
      const LRESULT r = TLkCustomTreeView::WndProc(msg, w, l);
      if (HandleAllocated()) {
        const TTreeNode* node = Selected();
        click_.Press(node ? node->AbsoluteIndex() : -1, PressOnBox(PointX(l), PointY(l)));
      }
      return r;
    }
    case WM_LBUTTONUP: {
      TTreeNode* node = Selected();
      if (click_.Release(node ? node->AbsoluteIndex() : -1, ClientRect().Contains(PointX(l), PointY(l))))
        Toggle(node);
      break;
    }
    default:
      break;
  }
  return TLkCustomTreeView::WndProc(msg, w, l);
}
