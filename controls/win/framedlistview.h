// TLkListView: a list view with the framed controls' frame painted over its
// border, a last column that fills the client width, case-insensitive sorting
// by a clicked column, label editing only from the label, and wheel scrolling.
#pragma once

#include "controls/core/wheelnotches.h"
#include "controls/win/frames.h"
#include "forms/win/comctl_listview.h"

class TLkCustomListView : public TListView, public TLkFramedControl {
 public:
  explicit TLkCustomListView(TComponent* owner);

  bool AlphaSortAll() const { return alpha_sort_all_; }
  void SetAlphaSortAll(bool on) { alpha_sort_all_ = on; }
  bool EditOnRowClick() const { return edit_on_row_click_; }
  void SetEditOnRowClick(bool on) { edit_on_row_click_ = on; }
  bool FillLastColumn() const { return fill_last_column_; }
  virtual void SetFillLastColumn(bool on);

  // Sorts every row ascending by a column (0 the captions).
  void SortByColumn(int column);
  virtual void FitLastColumn();

 protected:
  // The flat frame follows the focus and the pointer.
  virtual void UpdateFrameStyle(bool viaMouse, bool inside);
  virtual void RepaintFrame();
  void FrameLookChanged() override { RepaintFrame(); }
  void FrameVisibleChanged() override;
  void ColorChanged() override;
  void ColumnClick(int column) override;
  bool CanEdit(TListItem* item) override;
  void ColumnResized() override { FitLastColumn(); }
  void ItemsChanged() override { FitLastColumn(); }
  void Loaded() override;
  void CreateWnd() override;
  void MouseEnter() override;
  void MouseLeave() override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  bool alpha_sort_all_ = false;
  bool edit_on_row_click_ = false;
  bool fill_last_column_ = true;
  bool fitting_ = false;
  SIZE framed_size_{-1, -1};  // the window size the frame was last drawn at on a size change
  TLkWheelNotches wheel_;
};

class TLkListView : public TLkCustomListView {
 public:
  explicit TLkListView(TComponent* owner) : TLkCustomListView(owner) {}
};
