// TCustomComboBox over the native COMBOBOX class: the entries live here and
// in the control; a selection by the user fires OnClick then OnChange.
//
// The owner-drawn styles are drop-down lists whose entries the control draws
// itself: the system asks for each entry's height (MeasureItem, variable
// style only; the fixed style takes ItemHeight) and has it drawn (DrawItem) on
// Canvas, which holds the system's device context for that one call, with the
// selected colours already set; the focus rectangle follows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "forms/win/controls.h"

enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

// The state of an entry being drawn.
enum : uint16_t {
  odSelected = 1, odGrayed = 2, odDisabled = 4, odChecked = 8, odFocused = 16, odDefault = 32,
  odComboBoxEdit = 64  // the selection field, not the dropped list
};
using TOwnerDrawState = uint16_t;

using TDrawItemEvent = TEvent<void(TWinControl* control, int index, const TRect& rect, TOwnerDrawState state)>;
using TMeasureItemEvent = TEvent<void(TWinControl* control, int index, int& height)>;

class TCustomComboBox : public TWinControl {
 public:
  explicit TCustomComboBox(TComponent* owner);

  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle style);
  const std::vector<std::string>& Items() const { return items_; }
  void AddItem(const std::string& text);
  void SetItems(const std::vector<std::string>& items);
  void ClearItems();
  int ItemIndex();
  void SetItemIndex(int index);
  std::string Text();
  void SetText(const std::string& text);
  int DropDownCount() const { return drop_down_count_; }
  void SetDropDownCount(int n);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool on);
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int n);
  bool DroppedDown();
  void SetDroppedDown(bool on);
  // The entries' height: what the owner-drawn styles measure with; the
  // others ask the control.
  int ItemHeight();
  void SetItemHeight(int height);
  // A drop-down list, plain or owner-drawn: no edit part, the text is the entry's.
  bool IsListStyle() const { return style_ != TComboBoxStyle::csDropDown && style_ != TComboBoxStyle::csSimple; }
  bool IsOwnerDrawn() const {
    return style_ == TComboBoxStyle::csOwnerDrawFixed || style_ == TComboBoxStyle::csOwnerDrawVariable;
  }
  // Drawing surface of the owner-drawn styles, valid inside DrawItem only.
  TCanvas* Canvas() { return &canvas_; }

  TNotifyEvent OnChange;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  // Selection changed by the user: OnClick, then OnChange.
  virtual void Select();
  virtual void Change();
  virtual void DropDown();
  virtual void CloseUp();
  // Owner drawing: an entry (index -1: the empty selection field) in `rect`
  // on Canvas. The default runs OnDrawItem, or fills and writes the text.
  virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
  // The variable style's height of an entry; the default runs OnMeasureItem.
  virtual void MeasureItem(int index, int& height);
  // The edit part's window in the editable styles (null otherwise).
  HWND EditHandle();

 private:
  void FillNative();
  LRESULT DrawNativeItem(const DRAWITEMSTRUCT& dis);
  LRESULT MeasureNativeItem(MEASUREITEMSTRUCT& mis);
  TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
  std::vector<std::string> items_;
  int item_index_ = -1;
  int drop_down_count_ = 8;
  bool sorted_ = false;
  int max_length_ = 0;
  std::string text_;
  int item_height_ = 16;
  TCanvas canvas_;
};
