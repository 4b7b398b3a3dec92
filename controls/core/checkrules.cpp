#include "controls/core/checkrules.h"

#include <vector>

TLkCheckState CheckStateOf(int stateIndex) {
  if (stateIndex < 0) return ckUnchecked;
  return static_cast<TLkCheckState>(stateIndex & 0xFF);
}

bool ChangeCheckState(TLkCheckHost& host, int node, TLkCheckState state) {
  if (!host.StateChanging(node, state)) return false;
  host.StoreStateIndex(node, state);
  host.StateChanged(node, state);
  return true;
}

namespace {
// Down for a box's two plain states only: a partial mark or a box taken away
// says nothing about the children.
void Cascade(TLkCheckHost& host, int node, TLkCheckState state) {
  if (state == ckChecked || state == ckUnchecked) UpdateCheckDescendants(host, node, state == ckChecked);
  UpdateCheckAncestors(host, node);
}
}  // namespace

void ToggleCheckState(TLkCheckHost& host, int node, bool cascade) {
  const TLkCheckState now = host.StateOf(node);
  if (now == ckNoBox) return;
  const TLkCheckState next = now == ckChecked ? ckUnchecked : ckChecked;
  if (!ChangeCheckState(host, node, next)) return;
  if (cascade) Cascade(host, node, next);
}

void SetCheckStateCascading(TLkCheckHost& host, int node, TLkCheckState state, bool cascade) {
  if (host.StateOf(node) == state) return;
  if (!ChangeCheckState(host, node, state)) return;
  if (cascade) Cascade(host, node, state);
}

void SetCheckStateQuietly(TLkCheckHost& host, int node, TLkCheckState state) {
  if (host.StateOf(node) == state) return;
  host.StoreStateIndex(node, state);
  host.StateChanged(node, state);
}

void UpdateCheckDescendants(TLkCheckHost& host, int node, bool checked) {
  const TLkCheckState state = checked ? ckChecked : ckUnchecked;
  // Pre-order with an explicit stack of "next node to visit": a deep tree
  // does not deepen the call stack.
  std::vector<int> stack;
  for (int c = host.FirstChildOf(node); c >= 0;) {
    const bool boxless = host.StateOf(c) == ckNoBox;
    const bool changed = boxless || ChangeCheckState(host, c, state);
    const int next = host.NextSiblingOf(c);
    const int child = changed ? host.FirstChildOf(c) : -1;
    if (child >= 0) {
      if (next >= 0) stack.push_back(next);
      c = child;
    } else if (next >= 0) {
      c = next;
    } else if (!stack.empty()) {
      c = stack.back();
      stack.pop_back();
    } else {
      c = -1;
    }
  }
  host.ChildrenUpdated();
}

void UpdateCheckAncestors(TLkCheckHost& host, int node) {
  for (int parent = host.ParentOf(node); parent >= 0; parent = host.ParentOf(parent)) {
    if (host.StateOf(parent) == ckNoBox) return;
    int checked = 0, unchecked = 0;
    TLkCheckState result = ckUnchecked;
    bool mixed = false;
    for (int c = host.FirstChildOf(parent); c >= 0 && !mixed; c = host.NextSiblingOf(c)) {
      switch (host.StateOf(c)) {
        case ckPartial: mixed = true; break;
        case ckChecked: ++checked; break;
        case ckUnchecked: ++unchecked; break;
        default: break;
      }
      if (checked > 0 && unchecked > 0) mixed = true;
    }
    if (mixed) result = ckPartial;
    else if (checked > 0) result = ckChecked;
    if (!ChangeCheckState(host, parent, result)) return;
  }
}

bool OnCheckBox(int x, int y, const TLkRect& text, int stateImageWidth, int imageWidth) {
  return x > text.Left - stateImageWidth - imageWidth && x <= text.Left && y >= text.Top && y <= text.Bottom;
}
