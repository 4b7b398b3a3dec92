#include "controls/win/mru.h"

#include <algorithm>
#include <functional>
#include <memory>

#include "base/sysutils.h"
#include "base/win/structsizes.h"
#include "forms/win/application.h"

HKEY RootKeyHandle(TRootKey key) {
  switch (key) {
    case TRootKey::rkClassesRoot: return HKEY_CLASSES_ROOT;
    case TRootKey::rkCurrentUser: return HKEY_CURRENT_USER;
    case TRootKey::rkLocalMachine: return HKEY_LOCAL_MACHINE;
    case TRootKey::rkUsers: return HKEY_USERS;
    case TRootKey::rkCurrentConfig: return HKEY_CURRENT_CONFIG;
    case TRootKey::rkDynData: return HKEY_DYN_DATA;
  }
  return HKEY_CURRENT_USER;
}

namespace {

// The system's menu font on a screen-compatible DC, made once for the
// program: captions are shortened in the font they are shown in.
struct TMenuFontCanvas {
  HDC dc = nullptr;
  HFONT font = nullptr;
  HGDIOBJ old = nullptr;
  TMenuFontCanvas() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = kNonClientMetricsSize;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0))
      font = CreateFontIndirectA(&metrics.lfMenuFont);
    dc = CreateCompatibleDC(nullptr);
    if (dc && font) old = SelectObject(dc, font);
  }
  ~TMenuFontCanvas() {
    if (dc && old) SelectObject(dc, old);
    if (dc) DeleteDC(dc);
    if (font) DeleteObject(font);
  }
  int Width(const std::string& s) const {
    SIZE size{};
    if (!dc || !GetTextExtentPoint32A(dc, s.data(), static_cast<int>(s.size()), &size)) return 0;
    return size.cx;
  }
};

const TMenuFontCanvas& MenuFontCanvas() {
  static TMenuFontCanvas canvas;
  return canvas;
}

std::string StripLeadingBackslash(const std::string& s) { return !s.empty() && s[0] == '\\' ? s.substr(1) : s; }

struct TKey {
  HKEY h = nullptr;
  ~TKey() {
    if (h) RegCloseKey(h);
  }
};

}  // namespace

// ======================================================================
// TMRUMenuItem

TMRUMenuItem::TMRUMenuItem(TLkMRUFileList* list) : TMenuItem(nullptr), MRUList(list) {}

TMRUMenuItem::~TMRUMenuItem() {
  if (MRUList) MRUList->ItemGone(this);
}

// ======================================================================
// TLkMRUFileList

TLkMRUFileList::TLkMRUFileList(TComponent* owner) : TComponent(owner) {
  // Made while its form is being built: it loads once the form is loaded.
  if (owner && owner->Loading()) BeginLoading();
}

TLkMRUFileList::~TLkMRUFileList() {
  if (auto_save_ && !Designing()) {
    try {
      Save();
    } catch (...) {
      // The list is gone with the program either way.
    }
  }
  RemoveMenuItems();
  if (popup_menu_) RemoveFreeNotification(popup_menu_);
  if (file_menu_) RemoveFreeNotification(file_menu_);
}

void TLkMRUFileList::Loaded() {
  TComponent::Loaded();
  if (auto_save_) Load();
}

void TLkMRUFileList::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  // The menu's items went before it (each told us); only the reference stays.
  if (component == popup_menu_) popup_menu_ = nullptr;
  if (component == file_menu_) file_menu_ = nullptr;
}

void TLkMRUFileList::SetMaximum(int value) {
  if (value < 0) value = 0;
  if (value > 255) value = 255;
  if (entries_.SetMaximum(value)) Rebuild();
}

void TLkMRUFileList::SetUseSubmenu(bool on) {
  if (on == use_submenu_) return;
  use_submenu_ = on;
  Rebuild();
}

void TLkMRUFileList::SetInsertSeparator(bool on) {
  if (on == insert_separator_) return;
  insert_separator_ = on;
  Rebuild();
}

void TLkMRUFileList::SetSubmenuName(const std::string& name) {
  if (name == submenu_name_) return;
  submenu_name_ = name;
  if (use_submenu_) Rebuild();
}

void TLkMRUFileList::SetClearItemName(const std::string& name) {
  clear_item_name_ = name;
  if (!Designing()) Rebuild();
}

void TLkMRUFileList::SetShowClearItem(bool on) {
  show_clear_item_ = on;
  if (!Designing()) Rebuild();
}

void TLkMRUFileList::SetShowRemoveObsolete(bool on) {
  show_remove_obsolete_ = on;
  if (!Designing()) Rebuild();
}

void TLkMRUFileList::SetRemoveObsoleteName(const std::string& name) {
  remove_obsolete_name_ = name;
  if (!Designing()) Rebuild();
}

void TLkMRUFileList::SetFileMenu(TMenuItem* item) {
  RemoveMenuItems();
  if (file_menu_) RemoveFreeNotification(file_menu_);
  file_menu_ = item;
  if (item) FreeNotification(item);
  Rebuild();
}

void TLkMRUFileList::SetPopupMenu(TPopupMenu* menu) {
  RemoveMenuItems();
  if (popup_menu_) RemoveFreeNotification(popup_menu_);
  popup_menu_ = menu;
  if (menu) FreeNotification(menu);
  Rebuild();
}

void TLkMRUFileList::SetAutoSaveName(const std::string& name) {
  auto_save_name_ = name;
  if (ReloadAllowed()) Load();
}

void TLkMRUFileList::SetAutoSaveKey(const std::string& key) {
  auto_save_key_ = key;
  if (ReloadAllowed()) Load();
}

void TLkMRUFileList::SetAutoSaveRootKey(TRootKey key) {
  root_key_ = key;
  if (auto_save_) Load();
}

void TLkMRUFileList::SetMaxCaptionWidth(int pixels) {
  if (pixels == max_caption_width_) return;
  max_caption_width_ = pixels;
  Rebuild();
}

void TLkMRUFileList::SetMRUDisplay(TMRUDisplay display) {
  display_ = display;
  if (ReloadAllowed()) Load();
}

void TLkMRUFileList::AddEntry(const std::string& name) {
  entries_.Add(name);
  Rebuild();
}

TMRUMenuItem* TLkMRUFileList::NewItem(const std::string& caption, uint8_t number) {
  auto* item = new TMRUMenuItem(this);
  item->SetCaption(caption);
  item->ItemNumber = number;
  items_.push_back(item);
  return item;
}

void TLkMRUFileList::AddEntryItems(TMenuItem* parent, int at) {
  const TMenuFontCanvas& font = MenuFontCanvas();
  for (int i = 0; i < entries_.Count(); ++i) {
    const std::string& entry = entries_[i];
    std::string caption = MRUCaption(display_, i, entry, max_caption_width_,
                                     [&font](const std::string& s) { return font.Width(s); });
    TMRUMenuItem* item = NewItem("", static_cast<uint8_t>(i + 1 > 255 ? 0 : i + 1));
    item->FullCaption = MRUPrefix(i) + entry;
    if (display_ == TMRUDisplay::mdCustom) caption = DoGetDisplayName(entry, caption);
    item->SetCaption(caption);
    item->OnClick = TNotifyEvent(this, &TLkMRUFileList::ItemClick);
    parent->Insert(at + i, item);
    DoCreateItem(item);
  }
}

void TLkMRUFileList::PopulateMenu() {
  if (!file_menu_ && !popup_menu_) return;
  RemoveMenuItems();
  if (entries_.Count() == 0) return;

  if (file_menu_) {
    TMenuItem* parent;
    int at;
    if (file_menu_->Count() > 0) {
      parent = file_menu_;
      at = file_menu_->Count();
    } else {
      parent = file_menu_->Parent();
      at = parent ? parent->IndexOf(file_menu_) : 0;
    }
    if (parent) {
      if (insert_separator_) {
        TMRUMenuItem* line = NewItem("-", 0);
        parent->Insert(at++, line);
        DoCreateItem(line);
      }
      TMenuItem* into = parent;
      int from = at;
      if (use_submenu_) {
        TMRUMenuItem* sub = NewItem(submenu_name_, 0);
        parent->Insert(at++, sub);
        DoCreateItem(sub);
        into = sub;
        from = 0;
      }
      AddEntryItems(into, from);
      int next = into == parent ? from + entries_.Count() : into->Count();
      if (show_clear_item_ || show_remove_obsolete_) {
        TMRUMenuItem* line = NewItem("-", 0);
        into->Insert(next++, line);
        DoCreateItem(line);
      }
      if (show_clear_item_) {
        TMRUMenuItem* clear = NewItem(clear_item_name_.empty() ? "&Clear MRU List" : clear_item_name_, 0);
        clear->OnClick = TNotifyEvent::WithIdentity(this, 1, [this](TObject* s) { FromItem(s, [this] { ClearItems(); }); });
        into->Insert(next++, clear);
        DoCreateItem(clear);
      }
      if (show_remove_obsolete_) {
        TMRUMenuItem* obsolete =
            NewItem(remove_obsolete_name_.empty() ? "&Remove Obsolete" : remove_obsolete_name_, 0);
        obsolete->OnClick =
            TNotifyEvent::WithIdentity(this, 2, [this](TObject* s) { FromItem(s, [this] { RemoveObsoleteItems(); }); });
        into->Insert(next++, obsolete);
        DoCreateItem(obsolete);
      }
    }
  }
  // The popup gets the entries alone, at its top.
  if (popup_menu_) AddEntryItems(popup_menu_->Items(), 0);
}

void TLkMRUFileList::RemoveMenuItems() {
  if (removing_) return;
  removing_ = true;
  std::vector<TMRUMenuItem*> all = items_;
  items_.clear();
  // Sub-menu items go with their sub-menu: only the outermost are freed.
  std::vector<TMRUMenuItem*> outermost;
  for (TMRUMenuItem* item : all) {
    bool nested = false;
    for (TMenuItem* p = item->Parent(); p && !nested; p = p->Parent())
      nested = std::find(all.begin(), all.end(), p) != all.end();
    if (!nested) outermost.push_back(item);
  }
  for (TMRUMenuItem* item : all) {
    item->MRUList = nullptr;
    DoDestroyItem(item);
  }
  // An item whose click is still running leaves its menu now and goes later.
  if (clicked_ && Application && std::find(all.begin(), all.end(), clicked_) != all.end()) {
    TMRUMenuItem* running = clicked_;
    if (running->Parent()) running->Parent()->Remove(running);
    outermost.erase(std::remove(outermost.begin(), outermost.end(), running), outermost.end());
    Application->Queue([running] { ::Free(running); });
  }
  for (TMRUMenuItem* item : outermost) ::Free(item);
  removing_ = false;
}

void TLkMRUFileList::FromItem(TObject* sender, const std::function<void()>& fn) {
  TMRUMenuItem* before = clicked_;
  clicked_ = dynamic_cast<TMRUMenuItem*>(sender);
  try {
    fn();
  } catch (...) {
    clicked_ = before;
    throw;
  }
  clicked_ = before;
}

void TLkMRUFileList::ItemGone(TMRUMenuItem* item) {
  items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
  DoDestroyItem(item);
}

std::vector<TMRUMenuItem*> TLkMRUFileList::PopupItems() const {
  std::vector<TMRUMenuItem*> out;
  if (!popup_menu_) return out;
  TMenuItem* root = popup_menu_->Items();
  for (int i = 0; i < root->Count(); ++i)
    if (auto* item = dynamic_cast<TMRUMenuItem*>(root->Items(i)); item && item->MRUList == this) out.push_back(item);
  return out;
}

void TLkMRUFileList::ClearItems() {
  RemoveMenuItems();
  entries_.Clear();
}

void TLkMRUFileList::RemoveObsoleteItems() {
  bool removed = false;
  for (int i = entries_.Count() - 1; i >= 0; --i) {
    if (DoRemoveObsolete(entries_[i])) {
      entries_.Delete(i);
      removed = true;
    }
  }
  if (removed) Rebuild();
}

void TLkMRUFileList::ItemClick(TObject* sender) {
  if (!OnMRUItemClick) return;
  auto* item = dynamic_cast<TMRUMenuItem*>(sender);
  if (!item || item->ItemNumber == 0 || item->ItemNumber > entries_.Count()) return;
  const std::string name = entries_[item->ItemNumber - 1];
  if (remove_on_click_) {
    entries_.Delete(item->ItemNumber - 1);
    FromItem(item, [this] { Rebuild(); });
  }
  DoItemClick(name);
}

std::string TLkMRUFileList::DoGetDisplayName(const std::string& name, const std::string& caption) {
  std::string result = caption;
  if (OnGetDisplayName) OnGetDisplayName(this, name, result);
  return result;
}

bool TLkMRUFileList::DoRemoveObsolete(const std::string& name) {
  bool remove = false;
  if (OnRemoveObsolete) {
    OnRemoveObsolete(this, name, remove);
  } else {
    // Only files count as present.
    const DWORD a = GetFileAttributesA(name.c_str());
    remove = a == INVALID_FILE_ATTRIBUTES || (a & FILE_ATTRIBUTE_DIRECTORY);
  }
  return remove;
}

void TLkMRUFileList::DoItemClick(const std::string& name) {
  if (OnMRUItemClick) OnMRUItemClick(this, name);
}

void TLkMRUFileList::DoCreateItem(TMenuItem* item) {
  if (OnCreateMRUItem) OnCreateMRUItem(this, item);
}

void TLkMRUFileList::DoDestroyItem(TMenuItem* item) {
  if (OnDestroyMRUItem) OnDestroyMRUItem(this, item);
}

std::string TLkMRUFileList::RegistryKeyPath() const {
  return StripLeadingBackslash(auto_save_name_) + "\\" + auto_save_key_;
}

bool TLkMRUFileList::Load() {
  if (Designing()) return false;
  ClearItems();
  if (auto_save_name_.empty() || auto_save_key_.empty()) return false;
  std::vector<std::pair<std::string, std::string>> values;
  if (use_registry_) {
    TKey key;
    const LONG rc = RegCreateKeyExA(RootKeyHandle(root_key_), RegistryKeyPath().c_str(), 0, nullptr, 0, KEY_READ,
                                    nullptr, &key.h, nullptr);
    if (rc != ERROR_SUCCESS) throw EOSError("Cannot open the key " + RegistryKeyPath(), static_cast<uint32_t>(rc));
    for (DWORD i = 0;; ++i) {
      char name[16384];
      DWORD nameSize = sizeof name, type = 0, dataSize = 0;
      LONG r = RegEnumValueA(key.h, i, name, &nameSize, nullptr, &type, nullptr, &dataSize);
      if (r == ERROR_NO_MORE_ITEMS) break;
      if (r != ERROR_SUCCESS) throw EOSError("Cannot read the key " + RegistryKeyPath(), static_cast<uint32_t>(r));
      // Only texts are entries; a value of another kind is not one.
      if (type != REG_SZ && type != REG_EXPAND_SZ) continue;
      std::string data(dataSize + 1, '\0');
      DWORD got = dataSize + 1;
      if (RegQueryValueExA(key.h, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &got) != ERROR_SUCCESS)
        continue;
      data.resize(got);
      while (!data.empty() && data.back() == '\0') data.pop_back();
      values.emplace_back(name, data);
    }
  } else {
    std::string buffer(32767, '\0');
    const DWORD n = GetPrivateProfileSectionA(auto_save_key_.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()),
                                              auto_save_name_.c_str());
    for (std::size_t i = 0; i < n;) {
      const std::size_t end = buffer.find('\0', i);
      const std::string line = buffer.substr(i, end - i);
      const std::size_t eq = line.find('=');
      values.emplace_back(line.substr(0, eq), eq == std::string::npos ? std::string() : line.substr(eq + 1));
      i = end + 1;
    }
  }
  entries_.Load(values);
  Rebuild();
  return true;
}

bool TLkMRUFileList::Save() {
  if (auto_save_name_.empty() || auto_save_key_.empty() || Designing()) return false;
  const auto values = entries_.SaveValues();
  if (use_registry_) {
    TKey parent;
    const std::string base = StripLeadingBackslash(auto_save_name_);
    LONG rc = RegCreateKeyExA(RootKeyHandle(root_key_), base.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &parent.h, nullptr);
    if (rc != ERROR_SUCCESS) throw EOSError("Cannot open the key " + base, static_cast<uint32_t>(rc));
    RegDeleteKeyA(parent.h, auto_save_key_.c_str());
    TKey key;
    rc = RegCreateKeyExA(parent.h, auto_save_key_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key.h, nullptr);
    if (rc != ERROR_SUCCESS) throw EOSError("Cannot create the key " + RegistryKeyPath(), static_cast<uint32_t>(rc));
    for (const auto& [name, data] : values) {
      rc = RegSetValueExA(key.h, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() + 1));
      if (rc != ERROR_SUCCESS) throw EOSError("Cannot write " + name, static_cast<uint32_t>(rc));
    }
    return true;
  }
  WritePrivateProfileStringA(auto_save_key_.c_str(), nullptr, nullptr, auto_save_name_.c_str());
  for (const auto& [name, data] : values)
    if (!WritePrivateProfileStringA(auto_save_key_.c_str(), name.c_str(), data.c_str(), auto_save_name_.c_str()))
      return false;
  return true;
}
