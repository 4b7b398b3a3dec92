// TLkCustomTreeView: the platform tree view with the framed controls' frame
// over its border, wheel scrolling and an outline around the selected node
// while the tree has no focus.
//
// TLkCheckTree: a tree whose nodes carry a check box, drawn as the node's
// state image ("LKTREEVW_CHECKS"): 0 no box, 1 unchecked, 2 checked, 3
// partially checked. A left click on the box of the selected node or the
// space key toggles it; the program reads and sets states by a node's
// absolute index. The rules (veto, cascade, the box) are
// controls/core/checkrules.h; a node never painted (state index -1) reads
// and shows as unchecked.
#pragma once

#include "controls/core/checkrules.h"
#include "controls/core/wheelnotches.h"
#include "controls/win/frames.h"
#include "forms/win/comctl_treeview.h"

class TLkCustomTreeView : public TCustomTreeView, public TLkFramedControl {
 public:
  explicit TLkCustomTreeView(TComponent* owner);

  // The outline of the selected node while the tree is not focused (with
  // HideSelection off); any change to it repaints the tree.
  TPen* SelectionPen() { return &selection_pen_; }
  virtual void SetSelectionPen(const TPen& pen) { selection_pen_.Assign(pen); }

 protected:
  virtual void UpdateFrameStyle(bool viaMouse, bool inside);
  virtual void RepaintFrame();
  void FrameLookChanged() override { RepaintFrame(); }
  void FrameVisibleChanged() override;
  void MouseEnter() override;
  void MouseLeave() override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void OutlineSelection(HDC dc);
  void WheelNotch(bool down);
  TPen selection_pen_;
  TLkWheelNotches wheel_;
};

using TLkCheckTreeChangingEvent =
    TEvent<void(TObject* sender, TTreeNode* node, TLkCheckState newState, bool& allowChange)>;
using TLkCheckTreeChangeEvent = TEvent<void(TObject* sender, TTreeNode* node, TLkCheckState newState)>;

class TLkCheckTree : public TLkCustomTreeView {
 public:
  explicit TLkCheckTree(TComponent* owner);
  ~TLkCheckTree() override;

  // The state of the node at an absolute index (depth-first order of the
  // whole tree). Raises EListError out of range.
  TLkCheckState GetItemState(int index) const;
  // Sets a node's state, asking OnStateChanging and cascading when
  // CascadeChecks; nothing when it has that state already or the index is
  // out of range.
  void SetItemState(int index, TLkCheckState state);
  // Sets a node's state without asking and without a cascade, and tells
  // OnStateChange (nothing when it has that state already): for an
  // OnStateChange handler that adjusts other nodes.
  void SetNodeState(TTreeNode* node, TLkCheckState state);

  bool CascadeChecks() const { return cascade_checks_; }
  void SetCascadeChecks(bool on) { cascade_checks_ = on; }
  void SetImages(TImageList* images) override;

  TLkCheckTreeChangingEvent OnStateChanging;
  TLkCheckTreeChangeEvent OnStateChange;
  TNotifyEvent OnUpdateChildren;  // once after a downward cascade

  bool DoKeyPress(char& key) override;
  void DoKeyUp(WORD& key, TShiftState shift) override;

 protected:
  virtual void LoadStateImages();
  // Notifications: the permission (AllowChange comes in true), and the news.
  virtual bool StateChanging(TTreeNode* node, TLkCheckState newState);
  virtual void StateChanged(TTreeNode* node, TLkCheckState newState);
  // A click on the box or the space key.
  void Toggle(TTreeNode* node);
  void Loaded() override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  class Host;
  void ShowUnpaintedAsUnchecked();
  bool PressOnBox(int x, int y) const;

  bool cascade_checks_ = true;
  TImageList* state_image_list_;
  int state_image_width_ = 16;
  int image_width_ = 0;
  TLkCheckClick click_;
};
