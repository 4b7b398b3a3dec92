// TLkListView: a list view with the framed controls' frame painted over its
// border, a last column that fills the client width, case-insensitive sorting
// by a clicked column, label editing only from the label, and wheel scrolling.
#pragma once

#include "controls/win/frames.h"
#include "forms/win/comctl_listview.h"

class TLkCustomListView : public TListView {
 public:
  explicit TLkCustomListView(TComponent* owner);

  bool AlphaSortAll() const { return alpha_sort_all_; }
  void SetAlphaSortAll(bool on) { alpha_sort_all_ = on; }
  bool EditOnRowClick() const { return edit_on_row_click_; }
  void SetEditOnRowClick(bool on) { edit_on_row_click_ = on; }
  bool FillLastColumn() const { return fill_last_column_; }
  virtual void SetFillLastColumn(bool on);

  TColor FrameColor() const { return frame_color_; }
  virtual void SetFrameColor(TColor c);
  bool FrameFlat() const { return frame_flat_; }
  virtual void SetFrameFlat(bool on);
  TFrameStyle FrameFlatStyle() const { return frame_flat_style_; }
  virtual void SetFrameFlatStyle(TFrameStyle s);
  TFrameStyle FrameFocusStyle() const { return frame_focus_style_; }
  virtual void SetFrameFocusStyle(TFrameStyle s);
  TSides FrameSides() const { return frame_sides_; }
  virtual void SetFrameSides(TSides s);
  TFrameStyle FrameStyle() const { return frame_style_; }
  virtual void SetFrameStyle(TFrameStyle s);
  bool FrameVisible() const { return frame_visible_; }
  virtual void SetFrameVisible(bool on);
  bool UseFrameController() const { return use_frame_controller_; }
  void SetUseFrameController(bool on) { use_frame_controller_ = on; }

  // Sorts every row ascending by a column (0 the captions).
  void SortByColumn(int column);
  virtual void FitLastColumn();

 protected:
  virtual void UpdateFrameStyle(bool viaMouse, bool inside);
  virtual void RepaintFrame();
  void ColumnClick(int column) override;
  bool CanEdit(TListItem* item) override;
  void ColumnResized() override { FitLastColumn(); }
  void Loaded() override;
  void CreateWnd() override;
  void MouseEnter() override;
  void MouseLeave() override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  bool alpha_sort_all_ = false;
  bool edit_on_row_click_ = false;
  bool fill_last_column_ = true;
  TColor frame_color_ = clBtnShadow;
  bool frame_flat_ = false;
  TFrameStyle frame_flat_style_ = TFrameStyle::fsStatus;
  TFrameStyle frame_focus_style_ = TFrameStyle::fsLowered;
  TSides frame_sides_ = kAllSides;
  TFrameStyle frame_style_ = TFrameStyle::fsFlat;
  bool frame_visible_ = false;
  bool use_frame_controller_ = true;
  bool hover_ = false;
  bool fitting_ = false;
};

class TLkListView : public TLkCustomListView {
 public:
  explicit TLkListView(TComponent* owner) : TLkCustomListView(owner) {}
};
