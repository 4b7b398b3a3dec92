// TToolBar over the common tool bar, with TToolButton components (buttons,
// check buttons with grouping, separators) and controls placed on the bar.
// A button click arrives as the bar's reflected WM_COMMAND.
#pragma once

#include <string>
#include <vector>

#include "forms/win/controls.h"
#include "forms/win/graphics.h"

class TToolBar;

enum class TToolButtonStyle { tbsButton, tbsCheck, tbsSeparator };

class TToolButton : public TComponent {
 public:
  explicit TToolButton(TComponent* owner);
  ~TToolButton() override;

  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle style) { style_ = style; }
  bool Grouped() const { return grouped_; }
  void SetGrouped(bool on) { grouped_ = on; }
  int ImageIndex() const { return image_index_; }
  void SetImageIndex(int index) { image_index_ = index; }
  const std::string& Hint() const { return hint_; }
  // The button's tooltip shows the text before any "|".
  void SetHint(const std::string& hint);
  bool Down() const;
  void SetDown(bool on);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  int Width() const { return width_; }  // separators: the gap
  void SetWidth(int w) { width_ = w; }
  int Command() const { return command_; }
  TToolBar* ToolBar() const { return bar_; }
  void Click();

  TNotifyEvent OnClick;

 private:
  friend class TToolBar;
  TToolBar* bar_ = nullptr;
  TToolButtonStyle style_ = TToolButtonStyle::tbsButton;
  bool grouped_ = false;
  int image_index_ = -1;
  std::string hint_;
  mutable bool down_ = false;
  bool enabled_ = true;
  int width_ = 8;
  int command_ = 0;
};

class TToolBar : public TWinControl {
 public:
  explicit TToolBar(TComponent* owner);
  ~TToolBar() override;

  bool Flat() const { return flat_; }
  void SetFlat(bool on) { flat_ = on; }
  int ButtonWidth() const { return button_width_; }
  int ButtonHeight() const { return button_height_; }
  void SetButtonSize(int width, int height);
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* images);

  // Appends a button (the bar does not own it: its owner does).
  void AddButton(TToolButton* button);
  // Appends a control: a gap of its width is kept for it and it is placed there.
  void AddControl(TControl* control);
  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  TToolButton* Buttons(int index) const { return buttons_.at(index); }
  TRect ButtonRect(int index);
  // The bar's own tooltip window (null before the bar exists), and the text
  // it holds for a button: what the pointer resting on the button shows.
  HWND ToolTips();
  std::string ToolTipText(const TToolButton* button);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TToolButton;
  void AddNative(int index);
  void PlaceControls();
  void UpdateTipText(const TToolButton* button);
  // Tips show while the bar's ShowHint (its own or its parents') and the
  // application's are on, and hide after the application's hint pause.
  void UpdateTipState();
  struct TPlaced {
    TControl* control;
    int button;  // index of the separator that holds its place
  };
  std::vector<TToolButton*> buttons_;
  std::vector<TPlaced> controls_on_bar_;
  bool flat_ = true;
  int button_width_ = 23, button_height_ = 22;
  TImageList* images_ = nullptr;
  std::string tip_text_;  // the text handed to a tip that asks for it
};
