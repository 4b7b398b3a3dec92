// TListView over the common list view: report, large-icon, small-icon and
// list views, columns, rows with sub-items, image lists and multi-selection.
//
// The rows live here (caption, sub-items, image index); the native control
// shows the caption and as many sub-items as there are columns, and keeps the
// selection. Sub-items beyond the columns are carried but never shown, so a
// row can hold data its commands need. A row's lParam is its TListItem.
//
// A left click (on a row or not) reaches MouseUp and OnClick, also where the
// native drag-detection loop takes the button's release (comctl_press.h).
//
// With OwnerData on (a virtual list) the rows live with the owner instead:
// the control holds only their number and asks OnOwnerData for the text of
// each cell it shows, so a list of any length fills at once. Count() stays 0.
// OnSelectItem then comes with no item: ItemIndex() tells the row.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/win/controls.h"
#include "forms/win/graphics.h"

class TListView;

enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
// The look of the row under the pointer: a hand pointer, underlined while
// hot, underlined while not.
enum THotTrackStyle : uint8_t { htHandPoint = 1, htUnderlineHot = 2, htUnderlineCold = 4 };
using THotTrackStyles = uint8_t;
enum class TListBorderStyle { bsNone, bsSingle };

struct TListColumn {
  std::string Caption;
  int Width = 50;
};

class TListItem {
 public:
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  // Sub-item n is column n + 1.
  int SubItemCount() const { return static_cast<int>(sub_items_.size()); }
  const std::string& SubItem(int index) const;  // empty beyond the last
  void SetSubItem(int index, const std::string& text);
  void AddSubItem(const std::string& text) { SetSubItem(SubItemCount(), text); }
  int ImageIndex() const { return image_index_; }
  void SetImageIndex(int index);
  int Index() const;  // the row's position in the native control (or our list)
  bool Selected() const;
  void SetSelected(bool on);
  void* Data = nullptr;

 private:
  friend class TListView;
  explicit TListItem(TListView* owner) : owner_(owner) {}
  TListView* owner_;
  std::string caption_;
  std::vector<std::string> sub_items_;
  int image_index_ = -1;
};

using TLVColumnClickEvent = TEvent<void(TObject* sender, int column)>;
using TLVEditingEvent = TEvent<void(TObject* sender, TListItem* item, bool& allow_edit)>;
using TLVEditedEvent = TEvent<void(TObject* sender, TListItem* item, std::string& text)>;
using TLVSelectItemEvent = TEvent<void(TObject* sender, TListItem* item, bool selected)>;
using TLVCompareEvent = TEvent<int(TListItem* a, TListItem* b, int column)>;
// A virtual list's cell: row `index`, column `column` (0 the caption).
using TLVOwnerDataEvent = TEvent<void(TObject* sender, int index, int column, std::string& text)>;

class TListView : public TWinControl {
 public:
  explicit TListView(TComponent* owner);
  ~TListView() override;

  // Columns.
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  void AddColumn(const std::string& caption, int width);
  int ColumnWidth(int index);
  void SetColumnWidth(int index, int width);
  const TListColumn& Column(int index) const { return columns_.at(index); }

  // Rows.
  int Count() const { return static_cast<int>(items_.size()); }
  TListItem* Items(int index) const { return items_.at(index).get(); }
  TListItem* Add();
  // One native insert with caption, shown sub-items and image at once.
  TListItem* AddRow(const std::string& caption, std::vector<std::string> sub_items, int image_index);
  void Delete(int index);
  void Clear();
  void BeginUpdate();
  void EndUpdate();
  int IndexOf(const TListItem* item) const;

  // Selection.
  int SelCount();
  TListItem* Selected();  // the first selected row
  // The first selected row by its index (-1: none), in either kind of list;
  // setting it selects and focuses that row alone and scrolls it into view.
  int ItemIndex() const;
  void SetItemIndex(int index);
  void SelectAll();
  void ClearSelection();
  TListItem* ItemFocused();
  // Rows in native (shown) order, each with its selection.
  std::vector<TListItem*> SelectedItems();

  // Looks.
  TViewStyle ViewStyle() const { return view_style_; }
  void SetViewStyle(TViewStyle style);
  bool MultiSelect() const { return multi_select_; }
  void SetMultiSelect(bool on);
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool on);
  bool GridLines() const { return grid_lines_; }
  void SetGridLines(bool on);
  bool RowSelect() const { return row_select_; }
  void SetRowSelect(bool on);
  bool AutoArrange() const { return auto_arrange_; }
  void SetAutoArrange(bool on);
  bool ShowColumnHeaders() const { return show_headers_; }
  void SetShowColumnHeaders(bool on);
  bool HideSelection() const { return hide_selection_; }
  void SetHideSelection(bool on);
  TListBorderStyle BorderStyle() const { return border_style_; }
  void SetBorderStyle(TListBorderStyle style);
  bool FlatScrollBars() const { return flat_scroll_bars_; }
  void SetFlatScrollBars(bool on);
  // The row under the pointer becomes the selection.
  bool HotTrack() const { return hot_track_; }
  void SetHotTrack(bool on);
  THotTrackStyles HotTrackStyles() const { return hot_track_styles_; }
  void SetHotTrackStyles(THotTrackStyles styles);
  TImageList* LargeImages() const { return large_images_; }
  void SetLargeImages(TImageList* images);
  TImageList* SmallImages() const { return small_images_; }
  void SetSmallImages(TImageList* images);
  // Hands the image lists to the control again (after they were rebuilt).
  void UpdateImageLists();

  // Virtual list (see above).
  bool OwnerData() const { return owner_data_; }
  void SetOwnerData(bool on);
  int OwnerDataCount() const { return owner_data_count_; }
  // The number of rows; all of them are asked for again as they show.
  void SetOwnerDataCount(int count);

  // Sorts the rows with `compare` (stable order of our list follows).
  void CustomSort(const std::function<int(TListItem*, TListItem*)>& compare);
  // The label rectangle of a row in client coordinates.
  TRect LabelRect(int index);
  int TopIndexOfView();
  void Scroll(int dx, int dy);
  // Starts editing a row's caption.
  void EditCaption(int index);

  TLVColumnClickEvent OnColumnClick;
  TLVEditingEvent OnEditing;
  TLVEditedEvent OnEdited;
  TLVSelectItemEvent OnSelectItem;
  TLVOwnerDataEvent OnOwnerData;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  // Hooks for derived controls.
  virtual void ColumnClick(int column);
  virtual bool CanEdit(TListItem* item);
  virtual void ColumnResized() {}
  // Rows were added, changed or removed: at the end of an item update, or
  // at once outside one.
  virtual void ItemsChanged() {}
  void ColorChanged() override;
  bool SettingUp() const { return setting_up_; }

 private:
  friend class TListItem;
  DWORD ViewStyleBits() const;
  void ApplyStyle();
  void InsertNative(int index, TListItem* item);
  void UpdateNativeItem(TListItem* item);
  int NativeIndex(const TListItem* item) const;
  void SyncOrderFromNative();
  // LVN_GETDISPINFO of a virtual list: the cell's text into the control's buffer.
  void OwnerDataText(int index, int column, char* buffer, int size);

  std::vector<TListColumn> columns_;
  std::vector<std::unique_ptr<TListItem>> items_;
  TViewStyle view_style_ = TViewStyle::vsIcon;
  bool multi_select_ = false;
  bool read_only_ = false;
  bool grid_lines_ = false;
  bool row_select_ = false;
  bool auto_arrange_ = true;
  bool show_headers_ = true;
  bool hide_selection_ = true;
  bool flat_scroll_bars_ = false;
  bool hot_track_ = false;
  THotTrackStyles hot_track_styles_ = 0;
  bool replaying_release_ = false;
  TListBorderStyle border_style_ = TListBorderStyle::bsSingle;
  TImageList* large_images_ = nullptr;
  TImageList* small_images_ = nullptr;
  int update_count_ = 0;
  bool setting_up_ = false;
  bool owner_data_ = false;
  int owner_data_count_ = 0;
};
