// TLkSideBar: a vertical bar of groups and items. Group buttons stack at the
// top (up to the open group) and at the bottom (the rest); the open group's
// items fill the space between, each a large image with its caption below.
// The bar paints itself into an off-screen bitmap and copies it in one go;
// layout, selection and hit tests are TLkSideBarModel's.
#pragma once

#include <vector>
#include <memory>
#include <utility>
#include <string>

#include "controls/core/sidebarmodel.h"
#include "forms/win/actions.h"
#include "forms/win/controls.h"
#include "forms/win/graphics.h"
#include "forms/win/stdctrls.h"

using TLkSideChangingEvent = TEvent<void(TObject* sender, bool& can_change)>;

class TLkCustomSideBar;
class TLkSideItem;

// Links an item to an action: the item follows the action's caption,
// enabled state, visibility and execute handler while its own value still
// is the action's, never its image index.
class TLkItemActionLink : public TActionLink {
 public:
  explicit TLkItemActionLink(TLkSideItem* client) : client_(client) {}
  bool IsCaptionLinked() const override;
  bool IsEnabledLinked() const override;
  bool IsVisibleLinked() const override;
  bool IsImageIndexLinked() const override { return false; }
  bool IsOnExecuteLinked() const override;
  void SetCaption(const std::string& caption) override;
  void SetEnabled(bool on) override;
  void SetVisible(bool on) override;
  void SetOnExecute(const TNotifyEvent& handler) override;

 private:
  TLkSideItem* client_;
};

// One item of a group: its values live in the bar's model, so the bar
// refreshes when one of them changes.
class TLkSideItem : public TObject {
 public:
  TLkSideItem(TLkCustomSideBar* bar, int group, int index) : bar_(bar), group_(group), index_(index) {}
  ~TLkSideItem() override;

  int Group() const { return group_; }
  int Index() const { return index_; }
  TLkCustomSideBar* Bar() const { return bar_; }
  const std::string& Caption() const;
  void SetCaption(const std::string& caption);
  int ImageIndex() const;
  void SetImageIndex(int index);
  bool Enabled() const;
  void SetEnabled(bool on);
  bool Visible() const;
  void SetVisible(bool on);
  int Tag() const;
  void SetTag(int tag);
  // The linked action (null when none or when it was freed).
  TBasicAction* Action() const { return link_ ? link_->Action() : nullptr; }
  void SetAction(TBasicAction* action);
  TLkItemActionLink* ActionLink() const { return link_.get(); }
  // Takes the action's values; with `checkDefaults` only into values the
  // item still has at their defaults.
  void ActionChange(TBasicAction* action, bool checkDefaults);
  // Copies Action, ImageIndex, Caption, Enabled and Visible, in that order.
  void Assign(const TLkSideItem& other);
  // What a click on the item runs: its own OnClick when that is not the
  // action's handler, else the action, else OnClick.
  void Click();

  TNotifyEvent OnClick;  // the sender is the item

 private:
  TLkSideItemModel& Model() const;
  TLkCustomSideBar* bar_;
  int group_, index_;
  std::unique_ptr<TLkItemActionLink> link_;
};

// The bar's stored groups (its form's "List"): each group's caption and its
// items with the values an item stores.
struct TLkSideItemData {
  TBasicAction* Action = nullptr;
  std::string Caption;
  bool Enabled = true;
  int ImageIndex = -1;
  int Tag = 0;
  bool Visible = true;
  TNotifyEvent OnClick;
};
struct TLkSideGroupData {
  std::string Caption;
  std::vector<TLkSideItemData> Items;
};

class TLkCustomSideBar : public TCustomControl {
 public:
  explicit TLkCustomSideBar(TComponent* owner);
  ~TLkCustomSideBar() override;

  // Groups and items.
  int GroupCount() const { return static_cast<int>(model_.Groups.size()); }
  int AddGroup(const std::string& caption);
  int AddItem(int group, const std::string& caption, int imageIndex);
  TLkSideItemModel& Item(int group, int index) { return model_.Groups.at(group).Items.at(index); }
  TLkSideItem* SideItem(int group, int index) const { return items_.at(group).at(index).get(); }
  TLkSideGroupModel& Group(int group) { return model_.Groups.at(group); }
  void SetItemEnabled(int group, int index, bool on);
  void SetItemVisible(int group, int index, bool on);
  void SetItemCaption(int group, int index, const std::string& caption);
  void SetItemImageIndex(int group, int index, int imageIndex);
  // The item's own click handler (run with the item as sender when the item's
  // image or row is clicked and the item is enabled).
  void SetItemOnClick(int group, int index, TNotifyEvent handler);
  void ClearGroups();
  // The groups as stored ("List"): empty without groups. Reading appends the
  // groups in order; inside BeginLoading/EndLoading the items' actions are
  // taken once loading ends.
  std::vector<TLkSideGroupData> List() const;
  void ReadList(const std::vector<TLkSideGroupData>& list);
  // Asks every item's action to bring its state up to date (OnUpdate); the
  // bar has it done in the message loop after each paint.
  void UpdateActions();
  const TLkSideBarModel& Model() const { return model_; }

  int SelectedButton() const { return model_.SelectedButton(); }
  void SetSelectedButton(int value);
  int SelectedItem() const { return model_.SelectedItem(); }
  void SetSelectedItem(int value);

  TImageList* Images() const { return images_; }
  void SetImages(TImageList* images);
  TPicture* Background() { return &background_; }
  TFont* ButtonFont() { return &button_font_; }
  TFont* SelectedFont() { return &selected_font_; }
  TFont* ItemHightlightFont() { return &hot_font_; }
  TColor ItemHightlightColor() const { return hot_color_; }
  void SetItemHightlightColor(TColor c);
  TColor ButtonColor() const { return button_color_; }
  void SetButtonColor(TColor c);
  TLkSideFrameStyle FrameStyle() const { return model_.FrameStyle; }
  void SetFrameStyle(TLkSideFrameStyle s);
  TLkScrollBtnStyle ScrollBtnStyle() const { return model_.ScrollBtnStyle; }
  void SetScrollBtnStyle(TLkScrollBtnStyle s);
  bool SmoothScrolling() const { return smooth_scrolling_; }
  void SetSmoothScrolling(bool on) { smooth_scrolling_ = on; }
  int ScrollDelay() const { return scroll_delay_; }
  void SetScrollDelay(int ms) { scroll_delay_ = ms; }
  int Spacing() const { return model_.Spacing; }
  void SetSpacing(int v);
  int TopSpacing() const { return model_.TopSpacing; }
  void SetTopSpacing(int v);
  bool WordWrap() const { return model_.WordWrap; }
  void SetWordWrap(bool on);
  bool StripAccChar() const { return model_.StripAccChar; }
  void SetStripAccChar(bool on);
  bool AllowEditing() const { return model_.AllowEditing; }
  void SetAllowEditing(bool on) { model_.AllowEditing = on; }

  // Simulated clicks (a left press and release at a client point).
  void ClickAt(int x, int y);

  TLkSideChangingEvent OnChanging;
  TNotifyEvent OnChange;
  TNotifyEvent OnItemClick;
  TNotifyEvent OnItemTextClick;
  TNotifyEvent OnItemTextChange;

 protected:
  virtual void RefreshBar();
  virtual void Changed();
  virtual void ItemTextChanged();
  void Paint() override;
  void PaintWindow(HDC dc) override;
  bool EraseBackground(HDC dc) override { return true; }
  void CreateWnd() override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseLeave() override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  // One step of the group-change slide, onto the screen's `dc`: the band
  // from the last paint's picture and the uncovered empty item area.
  virtual void PaintSlideFrame(HDC dc, const TLkSideSlide::Frame& frame);

 private:
  TLkSideMetrics Metrics(TCanvas* canvas);
  void PaintBar(TCanvas* canvas);
  void PaintItemArea(TCanvas* c, const TLkSideLayout& l);
  void PaintScrollButton(TCanvas* c, const TRect& r, bool up, bool pressed);
  void AnimateTo(int group);
  void ClickHit(const TLkSideHit& hit, int group);
  bool HasItem(int group, int index) const;
  void ItemClick(int group, int index);
  void BeginEdit();
  void EndEdit(bool accept);
  void EditorKeyDown(TObject* sender, WORD& key, TShiftState shift);
  void FontChangedHandler(TObject*) { RefreshBar(); }
  void ScheduleActionUpdate();

  friend class TLkSideItem;
  TLkSideBarModel model_;
  std::vector<std::vector<std::unique_ptr<TLkSideItem>>> items_;  // beside the model's groups
  TImageList* images_ = nullptr;
  TPicture background_;
  TFont button_font_, selected_font_, hot_font_;
  TColor hot_color_ = clNone;
  TColor button_color_ = clBtnFace;
  bool smooth_scrolling_ = true;
  int scroll_delay_ = 5;
  TLkSideHit pressed_, hover_;
  TLkSideLayout painted_;  // the layout of the picture in buffer_
  bool animating_ = false;
  TBitmap buffer_;
  TEdit* editor_ = nullptr;
  int rename_candidate_ = -1;
  bool editing_ = false;
  int scroll_bar_width_;
  bool update_pending_ = false;
};

class TLkSideBar : public TLkCustomSideBar {
 public:
  explicit TLkSideBar(TComponent* owner) : TLkCustomSideBar(owner) {}
};
