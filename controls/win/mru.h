// The recent-name list: a non-visual component that keeps the names last
// used, shows them as numbered items of a file menu and/or at the top of a
// popup menu, reports a click on one, and keeps them in the registry (or an
// INI file) between runs. The ordering, captions and storage names are
// controls/core/mrurules.h.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/component.h"
#include "controls/core/mrurules.h"
#include "forms/win/menus.h"

class TLkMRUFileList;

enum class TRootKey { rkClassesRoot, rkCurrentUser, rkLocalMachine, rkUsers, rkCurrentConfig, rkDynData };
HKEY RootKeyHandle(TRootKey key);

// A menu item the list made: an entry (ItemNumber 1 and up), or a
// separator, sub-menu or command item (ItemNumber 0).
class TMRUMenuItem : public TMenuItem {
 public:
  TMRUMenuItem(TLkMRUFileList* list);
  ~TMRUMenuItem() override;  // tells the list (OnDestroyMRUItem)

  std::string FullCaption;  // the number prefix and the entry
  TLkMRUFileList* MRUList;
  uint8_t ItemNumber = 0;
};

using TMRUClickEvent = TEvent<void(TObject* sender, const std::string& name)>;
using TMRURemoveObsoleteEvent = TEvent<void(TObject* sender, const std::string& name, bool& remove)>;
using TMRUDisplayNameEvent = TEvent<void(TObject* sender, const std::string& name, std::string& caption)>;
using TMRUMenuItemEvent = TEvent<void(TObject* sender, TMenuItem* item)>;

class TLkMRUFileList : public TComponent {
 public:
  explicit TLkMRUFileList(TComponent* owner);
  ~TLkMRUFileList() override;  // saves (AutoSave), then removes its items

  bool UseRegistry() const { return use_registry_; }
  void SetUseRegistry(bool on) { use_registry_ = on; }
  std::string Version() const { return "TLkMRUFileList 1.0"; }
  bool AddToTop() const { return entries_.AddToTop; }
  void SetAddToTop(bool on) { entries_.AddToTop = on; }
  int Maximum() const { return entries_.Maximum(); }
  void SetMaximum(int value);
  bool RemoveOnClick() const { return remove_on_click_; }
  void SetRemoveOnClick(bool on) { remove_on_click_ = on; }
  bool UseSubmenu() const { return use_submenu_; }
  void SetUseSubmenu(bool on);
  bool InsertSeparator() const { return insert_separator_; }
  void SetInsertSeparator(bool on);
  const std::string& SubmenuName() const { return submenu_name_; }
  void SetSubmenuName(const std::string& name);
  const std::string& ClearItemName() const { return clear_item_name_; }
  void SetClearItemName(const std::string& name);
  bool ShowClearItem() const { return show_clear_item_; }
  void SetShowClearItem(bool on);
  bool ShowRemoveObsolete() const { return show_remove_obsolete_; }
  void SetShowRemoveObsolete(bool on);
  const std::string& RemoveObsoleteName() const { return remove_obsolete_name_; }
  void SetRemoveObsoleteName(const std::string& name);
  TMenuItem* FileMenu() const { return file_menu_; }
  void SetFileMenu(TMenuItem* item);
  TPopupMenu* PopupMenu() const { return popup_menu_; }
  void SetPopupMenu(TPopupMenu* menu);
  bool AutoSave() const { return auto_save_; }
  void SetAutoSave(bool on) { auto_save_ = on; }
  const std::string& AutoSaveName() const { return auto_save_name_; }
  void SetAutoSaveName(const std::string& name);
  const std::string& AutoSaveKey() const { return auto_save_key_; }
  void SetAutoSaveKey(const std::string& key);
  TRootKey AutoSaveRootKey() const { return root_key_; }
  void SetAutoSaveRootKey(TRootKey key);
  int MaxCaptionWidth() const { return max_caption_width_; }
  void SetMaxCaptionWidth(int pixels);
  TMRUDisplay MRUDisplay() const { return display_; }
  void SetMRUDisplay(TMRUDisplay display);

  TMRUClickEvent OnMRUItemClick;
  TMRURemoveObsoleteEvent OnRemoveObsolete;
  TMRUDisplayNameEvent OnGetDisplayName;
  TMRUMenuItemEvent OnCreateMRUItem;
  TMRUMenuItemEvent OnDestroyMRUItem;

  const TMRUEntries& Entries() const { return entries_; }
  void AddEntry(const std::string& name);
  virtual void PopulateMenu();
  void RemoveMenuItems();
  virtual void ClearItems();
  virtual void RemoveObsoleteItems();
  bool Load();
  bool Save();
  // The click of every entry item.
  void ItemClick(TObject* sender);
  // The items made for the popup menu (entries only), top first.
  std::vector<TMRUMenuItem*> PopupItems() const;

 protected:
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual std::string DoGetDisplayName(const std::string& name, const std::string& caption);
  virtual bool DoRemoveObsolete(const std::string& name);
  virtual void DoItemClick(const std::string& name);
  virtual void DoCreateItem(TMenuItem* item);
  virtual void DoDestroyItem(TMenuItem* item);

 private:
  friend class TMRUMenuItem;
  void ItemGone(TMRUMenuItem* item);
  // Runs fn for a click of one of our items: a rebuild meanwhile takes that
  // item out of its menu and frees it only once its click is over.
  void FromItem(TObject* sender, const std::function<void()>& fn);
  TMRUMenuItem* NewItem(const std::string& caption, uint8_t number);
  void AddEntryItems(TMenuItem* parent, int at);
  void Rebuild() { PopulateMenu(); }
  bool Designing() const { return ComponentState() & csDesigning; }
  bool ReloadAllowed() const { return auto_save_ && !Loading(); }
  std::string RegistryKeyPath() const;

  TMRUEntries entries_;
  bool use_registry_ = true;
  bool remove_on_click_ = true;
  bool use_submenu_ = false;
  bool insert_separator_ = true;
  std::string submenu_name_ = "Reopen";
  std::string clear_item_name_ = "&Clear MRU List";
  bool show_clear_item_ = true;
  bool show_remove_obsolete_ = true;
  std::string remove_obsolete_name_ = "&Remove Obsolete";
  TMenuItem* file_menu_ = nullptr;
  TPopupMenu* popup_menu_ = nullptr;
  bool auto_save_ = true;
  std::string auto_save_name_ = "\\Software\\My Application";
  std::string auto_save_key_ = "MRU Items";
  TRootKey root_key_ = TRootKey::rkCurrentUser;
  int max_caption_width_ = 200;
  TMRUDisplay display_ = TMRUDisplay::mdFullPath;
  std::vector<TMRUMenuItem*> items_;  // every item made, in both menus
  bool removing_ = false;
  TMRUMenuItem* clicked_ = nullptr;  // the item whose click is running
};
