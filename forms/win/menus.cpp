#include "forms/win/menus.h"

#include <algorithm>
#include <map>
#include <set>

#include "forms/win/application.h"
#include "forms/win/forms.h"

namespace {
// Never destroyed: menu items may still go during exit, after function statics.
std::map<UINT, TMenuItem*>& Commands() {
  static auto* m = new std::map<UINT, TMenuItem*>;
  return *m;
}
std::set<TMenuItem*>& LiveItems() {
  static auto* s = new std::set<TMenuItem*>;
  return *s;
}
UINT NextCommand() {
  static UINT next = 0x1000;
  while (Commands().count(++next) || next == 0 || next > 0xEFFF)
    if (next > 0xEFFF) next = 0x1000;
  return next;
}
}  // namespace

std::string ShortCutToText(TShortCut sc) {
  if (!sc) return "";
  std::string s;
  if (sc & scCtrl) s += "Ctrl+";
  if (sc & scAlt) s += "Alt+";
  if (sc & scShift) s += "Shift+";
  const UINT vk = sc & 0xFF;
  if (vk >= VK_F1 && vk <= VK_F24) return s + "F" + std::to_string(vk - VK_F1 + 1);
  switch (vk) {
    case VK_DELETE: return s + "Del";
    case VK_INSERT: return s + "Ins";
    case VK_RETURN: return s + "Enter";
    case VK_ESCAPE: return s + "Esc";
    case VK_BACK: return s + "BkSp";
    case VK_TAB: return s + "Tab";
    case VK_SPACE: return s + "Space";
    default: break;
  }
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return s + static_cast<char>(vk);
  return s;
}

// ======================================================================
// TMenuItem

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {
  command_ = NextCommand();
  Commands()[command_] = this;
  LiveItems().insert(this);
}

TMenuItem::~TMenuItem() {
  Commands().erase(command_);
  LiveItems().erase(this);
  Clear();
  if (parent_) parent_->Remove(this);
  if (handle_) DestroyMenu(handle_);
}

TMenuItem* TMenuItem::FromCommand(UINT command) {
  auto it = Commands().find(command);
  return it == Commands().end() ? nullptr : it->second;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* i = this;
  while (i->parent_) i = i->parent_;
  return i->menu_;
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item || item == this) return;
  if (item->parent_) item->parent_->Remove(item);
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  item->parent_ = nullptr;
  // Detach its menu before we rebuild: ours must not destroy it.
  if (handle_) {
    for (int i = GetMenuItemCount(handle_) - 1; i >= 0; --i) RemoveMenu(handle_, i, MF_BYPOSITION);
  }
  Changed();
}

void TMenuItem::Delete(int index) {
  TMenuItem* item = items_.at(index);
  Remove(item);
  ::Free(item);
}

void TMenuItem::Clear() {
  while (!items_.empty()) Delete(Count() - 1);
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenuItem* TMenuItem::Find(const std::string& caption) const {
  auto strip = [](const std::string& s) {
    std::string r;
    for (char c : s)
      if (c != '&') r += c;
    return r;
  };
  for (TMenuItem* i : items_)
    if (strip(i->caption_) == strip(caption)) return i;
  return nullptr;
}

void TMenuItem::SetCaption(const std::string& c) {
  if (c == caption_) return;
  caption_ = c;
  if (parent_) parent_->Changed();
}
void TMenuItem::SetChecked(bool on) {
  if (on == checked_) return;
  checked_ = on;
  if (on && radio_item_ && parent_)
    for (TMenuItem* s : parent_->items_)
      if (s != this && s->radio_item_) s->checked_ = false;
  if (parent_) parent_->Changed();
}
void TMenuItem::SetRadioItem(bool on) {
  radio_item_ = on;
  if (parent_) parent_->Changed();
}
void TMenuItem::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  if (parent_) parent_->Changed();
}
void TMenuItem::SetVisible(bool on) {
  if (on == visible_) return;
  visible_ = on;
  if (parent_) parent_->Changed();
}
void TMenuItem::SetDefault(bool on) {
  if (on == default_) return;
  default_ = on;
  if (parent_) parent_->Changed();
}
void TMenuItem::SetImageIndex(int index) {
  if (index == image_index_) return;
  image_index_ = index;
  if (parent_) parent_->Changed();
}
void TMenuItem::SetShortCut(TShortCut sc) {
  if (sc == shortcut_) return;
  shortcut_ = sc;
  if (parent_) parent_->Changed();
}

void TMenuItem::Changed() {
  if (handle_) Rebuild();
  if (TMenu* m = GetParentMenu()) m->MenuChanged();
}

HMENU TMenuItem::Handle() {
  if (!handle_) {
    TMenu* m = menu_;
    handle_ = (m && !parent_) ? m->CreateMenuHandle() : CreatePopupMenu();
    Rebuild();
  }
  return handle_;
}

void TMenuItem::Rebuild() {
  if (!handle_) return;
  while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
  TMenu* menu = GetParentMenu();
  const bool owner_draw = menu && menu->OwnerDraw();
  for (TMenuItem* i : items_) {
    if (!i->visible_) continue;
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_DATA;
    mi.wID = i->command_;
    mi.dwItemData = reinterpret_cast<ULONG_PTR>(i);
    std::string text = i->caption_;
    if (i->shortcut_) text += "\t" + ShortCutToText(i->shortcut_);
    if (i->IsLine()) {
      mi.fType = MFT_SEPARATOR;
    } else {
      mi.fMask |= MIIM_STRING;
      mi.dwTypeData = text.data();
      mi.cch = static_cast<UINT>(text.size());
    }
    if (owner_draw) mi.fType |= MFT_OWNERDRAW;
    if (i->radio_item_) mi.fType |= MFT_RADIOCHECK;
    mi.fState = (i->enabled_ ? MFS_ENABLED : MFS_DISABLED) | (i->checked_ ? MFS_CHECKED : 0) |
                (i->default_ ? MFS_DEFAULT : 0);
    if (!i->items_.empty()) {
      mi.fMask |= MIIM_SUBMENU;
      mi.hSubMenu = i->Handle();
    }
    InsertMenuItemA(handle_, GetMenuItemCount(handle_), TRUE, &mi);
  }
}

void TMenuItem::DropHandle() {
  if (handle_) {
    while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
    DestroyMenu(handle_);
  }
  handle_ = nullptr;
}

void TMenuItem::Click() {
  if (OnClick) OnClick(this);
}

// ======================================================================
// TMenu

TMenu::TMenu(TComponent* owner) : TComponent(owner) {
  items_ = new TMenuItem(nullptr);
  items_->menu_ = this;
}

TMenu::~TMenu() { ::Free(items_); }

void TMenu::SetImages(TImageList* images) {
  if (images == images_) return;
  if (images_) RemoveFreeNotification(static_cast<TComponent*>(images_));
  images_ = images;
  if (images) FreeNotification(static_cast<TComponent*>(images));
  MenuChanged();
}

void TMenu::SetOwnerDraw(bool on) {
  if (on == owner_draw_) return;
  owner_draw_ = on;
  // Every level shows the new kind of entries.
  std::vector<TMenuItem*> stack{items_};
  while (!stack.empty()) {
    TMenuItem* i = stack.back();
    stack.pop_back();
    i->Rebuild();
    for (TMenuItem* c : i->items_) stack.push_back(c);
  }
  MenuChanged();
}

void TMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && static_cast<TComponent*>(images_) == component) images_ = nullptr;
}

static TMenuItem* LiveItem(ULONG_PTR data) {
  auto* i = reinterpret_cast<TMenuItem*>(data);
  return LiveItems().count(i) ? i : nullptr;
}

bool TMenu::DispatchMeasureItem(MEASUREITEMSTRUCT* mis) {
  if (!mis || mis->CtlType != ODT_MENU) return false;
  TMenuItem* item = LiveItem(mis->itemData);
  if (!item) return false;
  HDC dc = GetDC(nullptr);
  TCanvas canvas;
  canvas.SetHandle(dc);
  NONCLIENTMETRICSA ncm{};
  ncm.cbSize = sizeof ncm;
  int w = 0, h = 0;
  if (item->IsLine()) {
    h = 8;
  } else {
    SIZE s = canvas.TextExtent(item->Caption() + "    " + ShortCutToText(item->ShortCut()));
    w = s.cx + 24;
    h = std::max<int>(s.cy + 6, GetSystemMetrics(SM_CYMENU));
  }
  if (item->OnMeasureItem) item->OnMeasureItem(item, &canvas, w, h);
  canvas.SetHandle(nullptr);
  ReleaseDC(nullptr, dc);
  mis->itemWidth = static_cast<UINT>(std::max(w, 0));
  mis->itemHeight = static_cast<UINT>(std::max(h, 0));
  return true;
}

bool TMenu::DispatchDrawItem(DRAWITEMSTRUCT* dis) {
  if (!dis || dis->CtlType != ODT_MENU) return false;
  TMenuItem* item = LiveItem(dis->itemData);
  if (!item) return false;
  TCanvas canvas;
  canvas.SetHandle(dis->hDC);
  TRect r(dis->rcItem);
  if (item->OnDrawItem) {
    item->OnDrawItem(item, &canvas, r, dis->itemState);
  } else {
    const bool sel = dis->itemState & ODS_SELECTED;
    canvas.Brush()->SetColor(sel ? clHighlight : clMenu);
    canvas.FillRect(r);
    if (item->IsLine()) {
      TRect line(r.left + 2, (r.top + r.bottom) / 2 - 1, r.right - 2, (r.top + r.bottom) / 2 + 1);
      RECT rc = line;
      DrawEdge(dis->hDC, &rc, EDGE_ETCHED, BF_TOP);
    } else {
      canvas.Brush()->SetStyle(TBrushStyle::bsClear);
      canvas.Font()->SetColor(!item->Enabled() ? clGrayText : sel ? clHighlightText : clMenuText);
      TRect tr(r.left + 20, r.top, r.right - 4, r.bottom);
      canvas.DrawText(item->Caption(), tr, DT_SINGLELINE | DT_VCENTER);
    }
  }
  canvas.SetHandle(nullptr);
  return true;
}

bool TMenu::DispatchInitPopup(HMENU menu) {
  for (TMenuItem* i : LiveItems())
    if (i->handle_ == menu) {
      if (i->parent_) i->Click();
      return true;
    }
  return false;
}

bool TMenu::DispatchCommand(UINT command) {
  TMenuItem* item = TMenuItem::FromCommand(command);
  if (!item) return false;
  item->Click();
  return true;
}

// ======================================================================
// TPopupMenu

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

HMENU TPopupMenu::CreateMenuHandle() { return CreatePopupMenu(); }

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  HMENU h = Handle();
  HWND owner = GetActiveWindow();
  if (!owner && Application) owner = Application->Handle();
  UINT align = alignment_ == TPopupAlignment::paRight ? TPM_RIGHTALIGN
               : alignment_ == TPopupAlignment::paCenter ? TPM_CENTERALIGN
                                                           : TPM_LEFTALIGN;
  // The command comes back as the result, so the item runs after the menu has gone.
  UINT cmd = static_cast<UINT>(TrackPopupMenu(h, align | TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, 0, owner, nullptr));
  if (owner) PostMessageA(owner, WM_NULL, 0, 0);
  if (cmd) DispatchCommand(cmd);
}

// ======================================================================
// TMainMenu

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) {}
HMENU TMainMenu::CreateMenuHandle() { return CreateMenu(); }
void TMainMenu::MenuChanged() {
  if (window_ && IsWindow(window_)) DrawMenuBar(window_);
}
