// TCustomComboBox over the native COMBOBOX class: the entries live here and
// in the control; a selection by the user fires OnClick then OnChange.
#pragma once

#include <string>
#include <vector>

#include "forms/win/controls.h"

enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList };

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
  int ItemHeight();

  TNotifyEvent OnChange;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

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
  // The edit part's window in the editable styles (null otherwise).
  HWND EditHandle();

 private:
  void FillNative();
  TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
  std::vector<std::string> items_;
  int item_index_ = -1;
  int drop_down_count_ = 8;
  bool sorted_ = false;
  int max_length_ = 0;
  std::string text_;
};
