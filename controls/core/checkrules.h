// The check tree's rules, without a window: what a node's state index reads
// as, toggling, setting with a cascade to the descendants and ancestors, and
// which presses and releases make a click on a node's box.
//
// The tree is seen through TLkCheckHost, which numbers its nodes (any
// numbering; the check tree uses the absolute index) and answers -1 for "no
// such node". Every change of a node's state goes through the host: asked
// first (the owner may veto), then stored, then reported.
//
// A change that is vetoed stops there: nothing cascades from that node (down
// into its children or up to its parent). A node without a box (state 0)
// never gains one through a cascade.
#pragma once

#include <cstdint>

#include "controls/core/geometry.h"

// The check state of a node, stored as its state-image index.
enum TLkCheckState : uint8_t { ckNoBox = 0, ckUnchecked = 1, ckChecked = 2, ckPartial = 3 };

// What a stored state index reads as: -1 (a node never given a state image,
// as every node added at run time is) reads as unchecked; otherwise its low byte.
TLkCheckState CheckStateOf(int stateIndex);

class TLkCheckHost {
 public:
  virtual ~TLkCheckHost() = default;
  virtual int ParentOf(int node) const = 0;
  virtual int FirstChildOf(int node) const = 0;
  virtual int NextSiblingOf(int node) const = 0;
  virtual int StateIndexOf(int node) const = 0;
  virtual void StoreStateIndex(int node, TLkCheckState state) = 0;
  // OnStateChanging: the permission, which comes in true.
  virtual bool StateChanging(int node, TLkCheckState state) = 0;
  // OnStateChange, after the state was stored.
  virtual void StateChanged(int node, TLkCheckState state) = 0;
  // OnUpdateChildren, once after a downward cascade.
  virtual void ChildrenUpdated() = 0;

  TLkCheckState StateOf(int node) const { return CheckStateOf(StateIndexOf(node)); }
};

// Ask, store, report. Does not compare with the current state: an unchanged
// value is asked and reported too. False when vetoed.
bool ChangeCheckState(TLkCheckHost& host, int node, TLkCheckState state);

// A click or the space key: a node without a box is left alone; checked
// becomes unchecked, anything else checked; with `cascade` the new state
// goes down to the descendants and the ancestors follow.
void ToggleCheckState(TLkCheckHost& host, int node, bool cascade);

// SetItemState: nothing when the node already has `state`; else change it
// and, with `cascade`, update descendants and ancestors.
void SetCheckStateCascading(TLkCheckHost& host, int node, TLkCheckState state, bool cascade);

// SetNodeState: store and report when different; never asks, never cascades.
void SetCheckStateQuietly(TLkCheckHost& host, int node, TLkCheckState state);

// Every descendant of `node`, depth first in pre-order, becomes checked or
// unchecked (boxless ones stay as they are); a vetoed descendant keeps its
// state and its own descendants are skipped. Then ChildrenUpdated.
void UpdateCheckDescendants(TLkCheckHost& host, int node, bool checked);

// From the parent of `node` up to the root: each parent shows its children's
// mix (3 at the first partial child or as soon as both checked and unchecked
// were seen; else 2 with a checked child, else 1). Stops at a parent without
// a box and at a veto.
void UpdateCheckAncestors(TLkCheckHost& host, int node);

// The box rule: a press at (x, y) is on the box of a node whose text
// rectangle is `text` when x lies in (text left - state image width - image
// width, text left] and y in [text top, text bottom].
bool OnCheckBox(int x, int y, const TLkRect& text, int stateImageWidth, int imageWidth);

// The pending click: a left press on the selected node's box, released over
// the same selected node inside the client area, toggles it.
class TLkCheckClick {
 public:
  // A left press; `selected` is the selected node's absolute index (-1 none).
  // Every press starts over: one off the box drops a click that an earlier
  // press left pending, so a later click on the text toggles nothing.
  void Press(int selected, bool onBox) {
    pending_ = selected >= 0 && onBox;
    index_ = pending_ ? selected : -1;
  }
  // A left release: true when it toggles (the caller then toggles, which clears it).
  bool Release(int selected, bool insideClient) const {
    return pending_ && selected >= 0 && selected == index_ && insideClient;
  }
  // A toggle or SetItemState. A release that does not toggle leaves it set
  // until the next press.
  void Clear() { pending_ = false; }
  bool Pending() const { return pending_; }

 private:
  bool pending_ = false;
  int index_ = -1;
};
