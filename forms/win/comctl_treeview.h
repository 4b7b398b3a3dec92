// TCustomTreeView over the common tree view: nodes with text, an image and a
// state image, expanded or not, in a tree of their own.
//
// The nodes live here (TTreeNodes, owned by the view) and are mirrored into
// the native control, whose items carry their TTreeNode in lParam; a window
// that is recreated gets them back with their expansion and the selection.
// A node's absolute index is its position in depth-first pre-order of the
// whole tree. A node's state index -1 means "no state image" (every node
// starts so); n >= 0 shows image n of StateImages, 0 showing none.
//
// A left press (or double click) on a node's state image selects the node,
// as a press on its icon or text does (the native control of some systems
// leaves the selection alone there). The release that the native
// drag-detection loop takes reaches MouseUp and OnClick all the same (see
// comctl_press.h).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "forms/win/controls.h"
#include "forms/win/graphics.h"

// windowsx.h makes these two names macros for windows; here they are nodes'.
#undef GetFirstChild
#undef GetNextSibling

class TCustomTreeView;
class TTreeNodes;

class TTreeNode {
 public:
  const std::string& Text() const { return text_; }
  void SetText(const std::string& text);
  TTreeNode* Parent() const;  // null for a top-level node
  int Count() const { return static_cast<int>(children_.size()); }
  TTreeNode* Item(int index) const { return children_.at(index).get(); }
  bool HasChildren() const { return !children_.empty(); }
  TTreeNode* GetFirstChild() const { return children_.empty() ? nullptr : children_.front().get(); }
  TTreeNode* GetNextSibling() const;
  int Index() const;  // among its siblings
  int Level() const;  // 0 for a top-level node
  int AbsoluteIndex() const;

  int ImageIndex() const { return image_index_; }
  void SetImageIndex(int index);  // also the image while selected
  int StateIndex() const { return state_index_; }
  void SetStateIndex(int index);

  bool Expanded() const;
  void SetExpanded(bool on);
  void Expand(bool recurse);
  void Collapse(bool recurse);
  bool Selected() const;
  void SetSelected(bool on);
  // The rectangle of the node's row, or only of its text, in client
  // coordinates; empty when the node is not shown (collapsed away, no window).
  TRect DisplayRect(bool textOnly) const;
  // Removes the node and its descendants.
  void Delete();

  TTreeNodes* Owner() const { return owner_; }
  HTREEITEM ItemId() const { return item_; }
  void* Data = nullptr;

 private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  TTreeNode(TTreeNodes* owner, TTreeNode* parent) : owner_(owner), parent_(parent) {}
  TTreeNodes* owner_;
  TTreeNode* parent_;  // the hidden root for a top-level node
  std::vector<std::unique_ptr<TTreeNode>> children_;
  std::string text_;
  int image_index_ = -1;
  int state_index_ = -1;
  bool expanded_ = false;   // kept while there is no window
  int absolute_index_ = -1; // valid while the owner's order is
  HTREEITEM item_ = nullptr;
};

class TTreeNodes {
 public:
  explicit TTreeNodes(TCustomTreeView* view);
  ~TTreeNodes();
  TTreeNodes(const TTreeNodes&) = delete;
  TTreeNodes& operator=(const TTreeNodes&) = delete;

  int Count() const;  // every node of the tree
  // The node at an absolute index; null out of range.
  TTreeNode* Item(int absoluteIndex) const;
  TTreeNode* GetFirstNode() const { return root_.GetFirstChild(); }
  // A node after the last sibling of `sibling` (the last top-level node when null).
  TTreeNode* Add(TTreeNode* sibling, const std::string& text);
  // A node after the last child of `parent` (top level when null).
  TTreeNode* AddChild(TTreeNode* parent, const std::string& text);
  void Delete(TTreeNode* node);
  void Clear();
  // Brackets many changes: the window is redrawn once at the end.
  void BeginUpdate();
  void EndUpdate();

  TCustomTreeView* Owner() const { return view_; }

 private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  const std::vector<TTreeNode*>& Order() const;
  void OrderChanged() { order_valid_ = false; }
  TCustomTreeView* view_;
  TTreeNode root_;
  mutable std::vector<TTreeNode*> order_;
  mutable bool order_valid_ = false;
  int update_count_ = 0;
};

// A mouse message's point.
inline int PointX(LPARAM l) { return static_cast<short>(LOWORD(l)); }
inline int PointY(LPARAM l) { return static_cast<short>(HIWORD(l)); }

using TTVChangedEvent = TEvent<void(TObject* sender, TTreeNode* node)>;
using TTVChangingEvent = TEvent<void(TObject* sender, TTreeNode* node, bool& allowChange)>;

// Where a point lies relative to a tree's nodes: TVHT_xxx bits.
struct TTreeHitTest {
  TTreeNode* Node = nullptr;
  UINT Flags = 0;
};

class TCustomTreeView : public TWinControl {
 public:
  explicit TCustomTreeView(TComponent* owner);
  ~TCustomTreeView() override;

  TTreeNodes* Items() { return &items_; }
  const TTreeNodes* Items() const { return &items_; }
  TTreeNode* Selected() const;
  void SetSelected(TTreeNode* node);
  void FullExpand();
  void FullCollapse();
  TTreeHitTest HitTest(int x, int y) const;
  TTreeNode* GetNodeAt(int x, int y) const;
  // A node's text is being edited in place.
  bool IsEditing() const;

  TImageList* Images() const { return images_; }
  virtual void SetImages(TImageList* images);
  TImageList* StateImages() const { return state_images_; }
  void SetStateImages(TImageList* images);
  int Indent() const { return indent_; }
  void SetIndent(int indent);
  bool ShowButtons() const { return show_buttons_; }
  void SetShowButtons(bool on);
  bool ShowLines() const { return show_lines_; }
  void SetShowLines(bool on);
  bool ShowRoot() const { return show_root_; }
  void SetShowRoot(bool on);
  bool HideSelection() const { return hide_selection_; }
  void SetHideSelection(bool on);
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool on);
  bool RowSelect() const { return row_select_; }
  void SetRowSelect(bool on);
  bool HotTrack() const { return hot_track_; }
  void SetHotTrack(bool on);

  TTVChangedEvent OnChange;     // the selection moved to the node
  TTVChangingEvent OnChanging;  // the selection is about to move; may veto

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  void Notification(TComponent* component, TOperation operation) override;
  void ColorChanged() override;
  void FontChanged() override;
  virtual bool CanChange(TTreeNode* node);
  virtual void Change(TTreeNode* node);

 private:
  friend class TTreeNode;
  friend class TTreeNodes;
  static TTreeNode* NodeOf(LPARAM param) { return reinterpret_cast<TTreeNode*>(param); }
  TTreeNode* NodeOfItem(HTREEITEM item) const;
  void InsertNative(TTreeNode* node);
  void UpdateNative(TTreeNode* node, UINT mask);
  void RemoveNative(TTreeNode* node);
  void ApplyLooks();
  void SetStyleBit(bool& field, bool on);
  void StateImagePress(int x, int y);

  TTreeNodes items_;
  TImageList* images_ = nullptr;
  TImageList* state_images_ = nullptr;
  int indent_ = 19;
  bool show_buttons_ = true;
  bool show_lines_ = true;
  bool show_root_ = true;
  bool hide_selection_ = true;
  bool read_only_ = false;
  bool row_select_ = false;
  bool hot_track_ = false;
  TTreeNode* saved_selection_ = nullptr;  // across a recreation
  bool replaying_release_ = false;
};
