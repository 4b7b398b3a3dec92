// Menus: items in a tree (each item owns its sub-items), popup menus shown
// at a point, and the main menu of a form.
//
// The system menu is built from the tree when it is first needed and
// rebuilt after every change. Every window of ours hands the menu messages
// to DispatchMenuMessage: a command runs TMenuItem::Click, an opening
// sub-menu brings its items' actions up to date and clicks its item, and
// with OwnerDraw on the menu, items are measured and drawn through
// OnMeasureItem / OnDrawItem (the menu painter hooks these; its handlers are
// told apart from a program's by their identity).
//
// Items go to the system in the form its version takes (MenuItemForm): on
// Windows 98 and 2000 on, every item keeps its text there, owner-drawn ones
// too, so a screen reader or any tool reading the menu finds its captions.
// On Windows 95 and NT 4.0 an owner-drawn item has no text in the system, and
// WM_MENUCHAR answers its mnemonic.
//
// Shortcuts: the message loop asks IsMenuKey before a key reaches the
// focused control. A shortcut shown by a popup menu of that control or of
// one of its parents, by the form's main menu, or by an action of one of the
// form's action lists runs its item or action, and the key and its
// character go no further.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/component.h"
#include "base/events.h"
#include "base/winversion.h"
#include "forms/win/actions.h"
#include "forms/win/controls.h"
#include "forms/win/graphics.h"

class TMenu;
class TMenuItem;
class TImageList;

// The shortcut of a key with the Shift, Ctrl and Alt of a shift state.
TShortCut ShortCutOf(WORD key, TShiftState shift);

// The form the items of every menu take in the system: the running system's
// (MenuItemFormOf its version). A test sets the other one; the menus already
// built are built again in it.
TMenuItemForm MenuItemForm();
void SetMenuItemForm(TMenuItemForm form);

using TMenuMeasureItemEvent = TEvent<void(TObject* sender, TCanvas* canvas, int& width, int& height)>;
using TMenuDrawItemEvent = TEvent<void(TObject* sender, TCanvas* canvas, const TRect& rect, bool selected)>;

// The link of an item that shows an action's values.
class TMenuActionLink : public TActionLink {
 public:
  explicit TMenuActionLink(TMenuItem* client) : client_(client) {}
  bool IsCaptionLinked() const override;
  bool IsEnabledLinked() const override;
  bool IsVisibleLinked() const override;
  bool IsHintLinked() const override;
  bool IsImageIndexLinked() const override;
  bool IsShortCutLinked() const override;
  bool IsOnExecuteLinked() const override;
  void SetCaption(const std::string& caption) override;
  void SetEnabled(bool on) override;
  void SetVisible(bool on) override;
  void SetHint(const std::string& hint) override;
  void SetImageIndex(int index) override;
  void SetShortCut(TShortCut shortcut) override;
  void SetOnExecute(const TNotifyEvent& handler) override;

 private:
  TMenuItem* client_;
};

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

  // The item's own picture (used when no image list gives one); made on
  // first use, empty until given a size.
  TBitmap* Bitmap();
  bool HasBitmap() const { return bitmap_ && bitmap_->Width() > 0; }
  // The images of the sub-items (instead of the menu's Images).
  TImageList* SubMenuImages() const { return sub_menu_images_; }
  void SetSubMenuImages(TImageList* images);

  // The action whose caption, state, shortcut and handler the item shows.
  TBasicAction* Action() const { return link_ ? link_->Action() : nullptr; }
  void SetAction(TBasicAction* action);
  // Brings the linked action's state up to date (before the item shows).
  void InitiateAction();

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
  bool HandleAllocated() const { return handle_ != nullptr; }

  // Runs OnClick, or the linked action when the item has no handler of its own.
  virtual void Click();
  TNotifyEvent OnClick;
  TMenuMeasureItemEvent OnMeasureItem;
  TMenuDrawItemEvent OnDrawItem;

  static TMenuItem* FromCommand(UINT command);
  // An item that still exists, by address (null once it has gone).
  static TMenuItem* Live(const void* item);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TMenu;
  friend class TMenuActionLink;
  friend void SetMenuItemForm(TMenuItemForm form);
  void Changed();
  void Rebuild();
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
  std::unique_ptr<TBitmap> bitmap_;
  TImageList* sub_menu_images_ = nullptr;
  std::unique_ptr<TMenuActionLink> link_;
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
  // Items laid out and read from right to left.
  bool RightToLeft() const { return right_to_left_; }
  void SetRightToLeft(bool on);
  HMENU Handle() { return items_->Handle(); }
  // A change in the tree (the main menu redraws its bar).
  virtual void MenuChanged() {}
  // Runs the first shown and enabled item with this shortcut; true when one ran.
  virtual bool IsShortCut(TShortCut shortcut);

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  virtual HMENU CreateMenuHandle() = 0;
  // The items below the root with this shortcut that the user can reach.
  std::vector<TMenuItem*> ShortCutItems(TShortCut shortcut) const;

 private:
  friend class TMenuItem;
  TMenuItem* items_;
  TImageList* images_ = nullptr;
  bool owner_draw_ = false;
  bool right_to_left_ = false;
};

enum class TPopupAlignment { paLeft, paRight, paCenter };

class TPopupMenu : public TMenu {
 public:
  explicit TPopupMenu(TComponent* owner);
  // Shows the menu at a screen point and handles the chosen command.
  virtual void Popup(int x, int y);
  TComponent* PopupComponent() const { return popup_component_; }
  void SetPopupComponent(TComponent* c);
  bool AutoPopup() const { return auto_popup_; }
  void SetAutoPopup(bool on) { auto_popup_ = on; }
  TPopupAlignment Alignment() const { return alignment_; }
  void SetAlignment(TPopupAlignment a) { alignment_ = a; }
  TNotifyEvent OnPopup;

  // A shortcut pressed in `component`: OnPopup decides the items' state
  // first, as when the menu opens for it.
  bool IsShortCutFor(TShortCut shortcut, TComponent* component);

 protected:
  HMENU CreateMenuHandle() override;
  void Notification(TComponent* component, TOperation operation) override;

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

// The menu messages of any window of ours (WM_COMMAND from a menu,
// WM_INITMENUPOPUP, and WM_MEASUREITEM / WM_DRAWITEM of menu items). True
// when the message was for one of our menus; `result` is then the window
// procedure's answer. Anything else goes on to the window's own handling.
bool DispatchMenuMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result);

// A key pressed in `control` (the focused one): true when a shortcut took it.
bool IsMenuKey(TWinControl* control, WORD key, TShiftState shift);

// Every component of `form` and of the parts it owns (a page owns its
// popup menus and action lists), depth first in creation order. Another
// form's components are that form's own; a menu item's are its menu's.
void ForEachFormComponent(TComponent* form, const std::function<void(TComponent*)>& visit);
