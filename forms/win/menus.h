// Menus: items in a tree (each item owns its sub-items), popup menus shown
// at a point, and the main menu of a form.
//
// The system menu is built from the tree when it is first needed and
// rebuilt after every change. Commands come back as WM_COMMAND with the
// item's Command() number, to the form (main menu) or to the application's
// window (popups), which call TMenuItem::Click. With OwnerDraw on the menu,
// items are drawn through OnMeasureItem / OnDrawItem (the menu painter hooks
// these; its handlers are told apart from a form's by their identity).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/component.h"
#include "base/events.h"
#include "forms/win/graphics.h"

class TMenu;
class TImageList;

using TShortCut = uint16_t;  // virtual key | scShift/scCtrl/scAlt
enum : TShortCut { scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000 };
std::string ShortCutToText(TShortCut shortcut);

using TMenuMeasureItemEvent = TEvent<void(TObject* sender, TCanvas* canvas, int& width, int& height)>;
using TMenuDrawItemEvent = TEvent<void(TObject* sender, TCanvas* canvas, const TRect& rect, UINT state)>;

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  const std::string& Caption() const { return caption_; }  // "-" is a separator
  void SetCaption(const std::string& caption);
  bool Checked() const { return checked_; }
  void SetChecked(bool on);
  bool RadioItem() const { return radio_item_; }
  void SetRadioItem(bool on);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  bool Visible() const { return visible_; }
  void SetVisible(bool on);
  bool Default() const { return default_; }
  void SetDefault(bool on);
  int ImageIndex() const { return image_index_; }
  void SetImageIndex(int index);
  TShortCut ShortCut() const { return shortcut_; }
  void SetShortCut(TShortCut shortcut);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }
  bool IsLine() const { return caption_ == "-"; }

  // Sub-items (owned: freed with the item).
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_.at(index); }
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);  // takes it out without freeing it
  void Delete(int index);        // takes it out and frees it
  void Clear();                  // frees every sub-item
  int IndexOf(const TMenuItem* item) const;
  TMenuItem* Parent() const { return parent_; }
  TMenu* GetParentMenu() const;
  TMenuItem* Find(const std::string& caption) const;

  UINT Command() const { return command_; }
  // The system menu of the sub-items (built on demand).
  HMENU Handle();

  virtual void Click();  // runs OnClick
  TNotifyEvent OnClick;
  TMenuMeasureItemEvent OnMeasureItem;
  TMenuDrawItemEvent OnDrawItem;

  static TMenuItem* FromCommand(UINT command);

 private:
  friend class TMenu;
  void Changed();
  void Rebuild();
  void DropHandle();
  std::string caption_;
  bool checked_ = false, radio_item_ = false, enabled_ = true, visible_ = true, default_ = false;
  int image_index_ = -1;
  TShortCut shortcut_ = 0;
  std::string hint_;
  std::vector<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on the root item
  UINT command_ = 0;
  HMENU handle_ = nullptr;
};

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;
  TMenuItem* Items() const { return items_; }
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* images);
  bool OwnerDraw() const { return owner_draw_; }
  void SetOwnerDraw(bool on);
  HMENU Handle() { return items_->Handle(); }
  // A change in the tree (the main menu redraws its bar).
  virtual void MenuChanged() {}
  // WM_MEASUREITEM / WM_DRAWITEM / WM_INITMENUPOPUP for our items (true when handled).
  static bool DispatchMeasureItem(MEASUREITEMSTRUCT* mis);
  static bool DispatchDrawItem(DRAWITEMSTRUCT* dis);
  static bool DispatchInitPopup(HMENU menu);
  static bool DispatchCommand(UINT command);

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  virtual HMENU CreateMenuHandle() = 0;

 private:
  friend class TMenuItem;
  TMenuItem* items_;
  TImageList* images_ = nullptr;
  bool owner_draw_ = false;
};

enum class TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
 public:
  explicit TPopupMenu(TComponent* owner);
  // Shows the menu at a screen point and handles the chosen command.
  virtual void Popup(int x, int y);
  TComponent* PopupComponent() const { return popup_component_; }
  void SetPopupComponent(TComponent* c) { popup_component_ = c; }
  bool AutoPopup() const { return auto_popup_; }
  void SetAutoPopup(bool on) { auto_popup_ = on; }
  TPopupAlignment Alignment() const { return alignment_; }
  void SetAlignment(TPopupAlignment a) { alignment_ = a; }
  TNotifyEvent OnPopup;

 protected:
  HMENU CreateMenuHandle() override;

 private:
  TComponent* popup_component_ = nullptr;
  bool auto_popup_ = true;
  TPopupAlignment alignment_ = TPopupAlignment::paLeft;
};

class TMainMenu : public TMenu {
 public:
  explicit TMainMenu(TComponent* owner);
  void MenuChanged() override;
  HWND WindowHandle() const { return window_; }
  void SetWindowHandle(HWND hwnd) { window_ = hwnd; }

 protected:
  HMENU CreateMenuHandle() override;

 private:
  HWND window_ = nullptr;
};
