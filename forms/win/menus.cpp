#include "forms/win/menus.h"

#include <algorithm>
#include <map>
#include <set>

#include "base/win/runningversion.h"
#include "base/win/structsizes.h"
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
TMenuItemForm& ItemForm() {
  static TMenuItemForm form = MenuItemFormOf(RunningWindowsVersion());
  return form;
}
UINT NextCommand() {
  static UINT next = 0x1000;
  while (Commands().count(++next) || next == 0 || next > 0xEFFF)
    if (next > 0xEFFF) next = 0x1000;
  return next;
}
}  // namespace

TShortCut ShortCutOf(WORD key, TShiftState shift) {
  TShortCut sc = key & 0xFF;
  if (shift & ssShift) sc |= scShift;
  if (shift & ssCtrl) sc |= scCtrl;
  if (shift & ssAlt) sc |= scAlt;
  return sc;
}

TMenuItemForm MenuItemForm() { return ItemForm(); }

void SetMenuItemForm(TMenuItemForm form) {
  if (form == ItemForm()) return;
  ItemForm() = form;
  for (TMenuItem* i : LiveItems())
    if (i->handle_) i->Rebuild();
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
  link_.reset();
  Clear();
  if (parent_) parent_->Remove(this);
  if (handle_) DestroyMenu(handle_);
}

TMenuItem* TMenuItem::FromCommand(UINT command) {
  auto it = Commands().find(command);
  return it == Commands().end() ? nullptr : it->second;
}

TMenuItem* TMenuItem::Live(const void* item) {
  auto* i = static_cast<TMenuItem*>(const_cast<void*>(item));
  return LiveItems().count(i) ? i : nullptr;
}

TBitmap* TMenuItem::Bitmap() {
  if (!bitmap_) bitmap_ = std::make_unique<TBitmap>();
  return bitmap_.get();
}

void TMenuItem::SetSubMenuImages(TImageList* images) {
  if (images == sub_menu_images_) return;
  if (sub_menu_images_) RemoveFreeNotification(sub_menu_images_);
  sub_menu_images_ = images;
  if (images) FreeNotification(images);
  Changed();
}

void TMenuItem::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == sub_menu_images_) sub_menu_images_ = nullptr;
  // An action that goes leaves the item with the values it showed.
  if (link_ && component == link_->Action()) link_->SetAction(nullptr);
}

void TMenuItem::SetAction(TBasicAction* action) {
  if (action == Action()) return;
  if (TBasicAction* old = Action()) RemoveFreeNotification(old);
  if (!action) {
    link_.reset();
    return;
  }
  if (!link_) link_ = std::make_unique<TMenuActionLink>(this);
  link_->SetAction(action);
  FreeNotification(action);
  // A new action: the item takes all of its values.
  if (auto* c = dynamic_cast<TCustomAction*>(action)) {
    SetCaption(c->Caption());
    SetEnabled(c->Enabled());
    SetVisible(c->Visible());
    SetHint(c->Hint());
    SetImageIndex(c->ImageIndex());
    SetShortCut(c->ShortCut());
  }
  OnClick = action->OnExecute();
}

void TMenuItem::InitiateAction() {
  if (link_) link_->UpdateFor(this);
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

// Each item as the system's form takes it (MenuItemForm). Kind and text
// apart: every item holds its text, an owner-drawn one too. Kind and text in
// one field (MIIM_TYPE, all that Windows 95 and NT 4.0 know): an owner-drawn
// item's field holds its value instead, so it has no text in the system, and
// its mnemonic is answered through WM_MENUCHAR (MenuChar below). Either way
// dwItemData is the item, which WM_MEASUREITEM and WM_DRAWITEM hand back.
void TMenuItem::Rebuild() {
  if (!handle_) return;
  while (GetMenuItemCount(handle_) > 0) RemoveMenu(handle_, 0, MF_BYPOSITION);
  TMenu* menu = GetParentMenu();
  const bool owner_draw = menu && menu->OwnerDraw();
  const TMenuItemForm form = ItemForm();
  for (TMenuItem* i : items_) {
    if (!i->visible_) continue;
    MENUITEMINFOA mi{};
    mi.cbSize = kMenuItemInfoSize;
    mi.fMask = MIIM_ID | MIIM_STATE | MIIM_DATA;
    mi.wID = i->command_;
    mi.dwItemData = reinterpret_cast<ULONG_PTR>(i);
    std::string text = i->caption_;
    if (i->shortcut_) text += "\t" + ShortCutToText(i->shortcut_);
    mi.fType = i->IsLine() ? MFT_SEPARATOR : MFT_STRING;
    if (owner_draw) mi.fType |= MFT_OWNERDRAW;
    if (menu && menu->RightToLeft()) mi.fType |= MFT_RIGHTORDER;
    if (i->radio_item_) mi.fType |= MFT_RADIOCHECK;
    if (form == TMenuItemForm::TypeAndText) {
      mi.fMask |= MIIM_FTYPE;
      if (!i->IsLine()) {
        mi.fMask |= MIIM_STRING;
        mi.dwTypeData = text.data();
        mi.cch = static_cast<UINT>(text.size());
      }
    } else {
      mi.fMask |= MIIM_TYPE;
      if (owner_draw) {
        // The item's value either way, whichever field the system hands back.
        mi.dwTypeData = reinterpret_cast<LPSTR>(i);
      } else if (!i->IsLine()) {
        mi.dwTypeData = text.data();
        mi.cch = static_cast<UINT>(text.size());
      }
    }
    mi.fState = (i->enabled_ ? MFS_ENABLED : MFS_DISABLED) | (i->checked_ ? MFS_CHECKED : 0) |
                (i->default_ ? MFS_DEFAULT : 0);
    if (!i->items_.empty()) {
      mi.fMask |= MIIM_SUBMENU;
      mi.hSubMenu = i->Handle();
    }
    InsertMenuItemA(handle_, GetMenuItemCount(handle_), TRUE, &mi);
  }
}

void TMenuItem::Click() {
  TBasicAction* action = Action();
  if (OnClick && (!action || OnClick != action->OnExecute())) {
    OnClick(this);
  } else if (action) {
    link_->ExecuteFor(this);
  } else if (OnClick) {
    OnClick(this);
  }
}

// ======================================================================
// TMenuActionLink: the item follows a value of the action while it still
// shows the action's value.

bool TMenuActionLink::IsCaptionLinked() const {
  return TActionLink::IsCaptionLinked() && client_->Caption() == Custom()->Caption();
}
bool TMenuActionLink::IsEnabledLinked() const {
  return TActionLink::IsEnabledLinked() && client_->Enabled() == Custom()->Enabled();
}
bool TMenuActionLink::IsVisibleLinked() const {
  return TActionLink::IsVisibleLinked() && client_->Visible() == Custom()->Visible();
}
bool TMenuActionLink::IsHintLinked() const {
  return TActionLink::IsHintLinked() && client_->Hint() == Custom()->Hint();
}
bool TMenuActionLink::IsImageIndexLinked() const {
  return TActionLink::IsImageIndexLinked() && client_->ImageIndex() == Custom()->ImageIndex();
}
bool TMenuActionLink::IsShortCutLinked() const {
  return TActionLink::IsShortCutLinked() && client_->ShortCut() == Custom()->ShortCut();
}
bool TMenuActionLink::IsOnExecuteLinked() const {
  return Action() && client_->OnClick == Action()->OnExecute();
}
void TMenuActionLink::SetCaption(const std::string& caption) { client_->SetCaption(caption); }
void TMenuActionLink::SetEnabled(bool on) { client_->SetEnabled(on); }
void TMenuActionLink::SetVisible(bool on) { client_->SetVisible(on); }
void TMenuActionLink::SetHint(const std::string& hint) { client_->SetHint(hint); }
void TMenuActionLink::SetImageIndex(int index) { client_->SetImageIndex(index); }
void TMenuActionLink::SetShortCut(TShortCut shortcut) { client_->SetShortCut(shortcut); }
void TMenuActionLink::SetOnExecute(const TNotifyEvent& handler) { client_->OnClick = handler; }


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
  std::vector<TMenuItem*> stack{items_};
  while (!stack.empty()) {
    TMenuItem* i = stack.back();
    stack.pop_back();
    i->Rebuild();
    for (TMenuItem* c : i->items_) stack.push_back(c);
  }
  MenuChanged();
}

void TMenu::SetRightToLeft(bool on) {
  if (on == right_to_left_) return;
  right_to_left_ = on;
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

std::vector<TMenuItem*> TMenu::ShortCutItems(TShortCut shortcut) const {
  std::vector<TMenuItem*> found;
  if (!shortcut) return found;
  // Depth first, in menu order; a hidden or disabled item hides its
  // sub-items. The item's own state is its action's to decide first.
  std::vector<TMenuItem*> stack(items_->items_.rbegin(), items_->items_.rend());
  while (!stack.empty()) {
    TMenuItem* i = stack.back();
    stack.pop_back();
    if (!i->Visible()) continue;
    if (i->ShortCut() == shortcut && !i->IsLine()) found.push_back(i);
    if (!i->Enabled()) continue;
    for (auto it = i->items_.rbegin(); it != i->items_.rend(); ++it) stack.push_back(*it);
  }
  return found;
}

bool TMenu::IsShortCut(TShortCut shortcut) {
  for (TMenuItem* item : ShortCutItems(shortcut)) {
    if (!TMenuItem::Live(item)) continue;
    item->InitiateAction();
    if (!TMenuItem::Live(item) || !item->Enabled() || !item->Visible()) continue;
    item->Click();
    return true;
  }
  return false;
}

// ---- The one menu dispatch ----

namespace {

bool MeasureItem(MEASUREITEMSTRUCT* mis) {
  if (!mis || mis->CtlType != ODT_MENU) return false;
  TMenuItem* item = TMenuItem::Live(reinterpret_cast<void*>(mis->itemData));
  if (!item) return false;
  HDC dc = GetDC(nullptr);
  TCanvas canvas;
  canvas.SetHandle(dc);
  int w = static_cast<int>(mis->itemWidth), h = static_cast<int>(mis->itemHeight);
  try {
    if (item->OnMeasureItem) {
      // A handler raises what the system proposes.
      item->OnMeasureItem(item, &canvas, w, h);
    } else if (item->IsLine()) {
      h = 8;
    } else {
      SIZE s = canvas.TextExtent(item->Caption() + "    " + ShortCutToText(item->ShortCut()));
      w = s.cx + 24;
      h = std::max<int>(s.cy + 6, GetSystemMetrics(SM_CYMENU));
    }
  } catch (...) {
    canvas.SetHandle(nullptr);
    ReleaseDC(nullptr, dc);
    throw;
  }
  canvas.SetHandle(nullptr);
  ReleaseDC(nullptr, dc);
  mis->itemWidth = static_cast<UINT>(std::max(w, 0));
  mis->itemHeight = static_cast<UINT>(std::max(h, 0));
  return true;
}

// The look of an owner-drawn item nobody draws: the system's colours.
void DrawPlainItem(TMenuItem* item, TCanvas& canvas, const TRect& r, bool selected) {
  canvas.Brush()->SetColor(selected ? clHighlight : clMenu);
  canvas.FillRect(r);
  if (item->IsLine()) {
    RECT line = TRect(r.left + 2, (r.top + r.bottom) / 2 - 1, r.right - 2, (r.top + r.bottom) / 2 + 1);
    DrawEdge(canvas.Handle(), &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  canvas.Brush()->SetStyle(TBrushStyle::bsClear);
  canvas.Font()->SetColor(!item->Enabled() ? clGrayText : selected ? clHighlightText : clMenuText);
  TRect tr(r.left + 20, r.top, r.right - 4, r.bottom);
  canvas.DrawText(item->Caption(), tr, DT_SINGLELINE | DT_VCENTER);
}

bool DrawItem(DRAWITEMSTRUCT* dis) {
  if (!dis || dis->CtlType != ODT_MENU) return false;
  TMenuItem* item = TMenuItem::Live(reinterpret_cast<void*>(dis->itemData));
  if (!item) return false;
  TCanvas canvas;
  canvas.SetHandle(dis->hDC);
  const TRect r(dis->rcItem);
  const bool selected = dis->itemState & ODS_SELECTED;
  // The DC goes back to the system as it came, whatever a handler did.
  const int saved = SaveDC(dis->hDC);
  try {
    if (item->OnDrawItem)
      item->OnDrawItem(item, &canvas, r, selected);
    else
      DrawPlainItem(item, canvas, r, selected);
  } catch (...) {
    canvas.SetHandle(nullptr);
    RestoreDC(dis->hDC, saved);
    throw;
  }
  canvas.SetHandle(nullptr);
  RestoreDC(dis->hDC, saved);
  return true;
}

// The item whose menu handle this is.
TMenuItem* ItemOfMenu(HMENU menu) {
  for (TMenuItem* i : LiveItems())
    if (i->HandleAllocated() && i->Handle() == menu) return i;
  return nullptr;
}

// A (sub-)menu opens: its items show their actions' state, and the item
// that owns the sub-menu hears of it.
bool InitPopup(HMENU menu) {
  TMenuItem* i = ItemOfMenu(menu);
  if (!i) return false;
  std::vector<TMenuItem*> items;
  for (int k = 0; k < i->Count(); ++k) items.push_back(i->Items(k));
  for (TMenuItem* c : items)
    if (TMenuItem::Live(c)) c->InitiateAction();
  if (TMenuItem::Live(i) && i->Parent()) i->Click();
  return true;
}

// The letter after a single '&' ("&&" is an ampersand), upper case; 0 if none.
char MnemonicOf(const std::string& caption) {
  for (size_t k = 0; k + 1 < caption.size(); ++k) {
    if (caption[k] != '&') continue;
    if (caption[k + 1] != '&') {
      char c[2] = {caption[k + 1], 0};
      CharUpperBuffA(c, 1);
      return c[0];
    }
    ++k;
  }
  return 0;
}

// A key the system matched to no item's text: an owner-drawn item without
// text in the system (the old form) may still have it as its mnemonic.
bool MenuChar(WPARAM w, LPARAM l, LRESULT& result) {
  if (HIWORD(w) & MF_SYSMENU) return false;
  HMENU handle = reinterpret_cast<HMENU>(l);
  TMenuItem* menu = ItemOfMenu(handle);
  if (!menu) return false;
  char key[2] = {static_cast<char>(LOWORD(w)), 0};
  CharUpperBuffA(key, 1);
  // Positions in the system's menu: hidden items are not in it.
  std::vector<int> matches;
  int selected = -1, position = 0;
  for (int k = 0; k < menu->Count(); ++k) {
    TMenuItem* i = menu->Items(k);
    if (!i->Visible()) continue;
    if (GetMenuState(handle, static_cast<UINT>(position), MF_BYPOSITION) & MF_HILITE) selected = position;
    if (!i->IsLine() && key[0] && MnemonicOf(i->Caption()) == key[0]) matches.push_back(position);
    ++position;
  }
  if (matches.empty()) return false;
  if (matches.size() == 1) {
    // As the system does with its own texts: one item runs (a disabled one is only selected).
    const bool enabled = !(GetMenuState(handle, static_cast<UINT>(matches[0]), MF_BYPOSITION) & MF_GRAYED);
    result = MAKELRESULT(matches[0], enabled ? MNC_EXECUTE : MNC_SELECT);
    return true;
  }
  // Several: each press selects the next one.
  auto next = std::upper_bound(matches.begin(), matches.end(), selected);
  result = MAKELRESULT(next == matches.end() ? matches.front() : *next, MNC_SELECT);
  return true;
}

bool RunCommand(UINT command) {
  TMenuItem* item = TMenuItem::FromCommand(command);
  if (!item) return false;
  item->Click();
  return true;
}

}  // namespace

bool DispatchMenuMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND:
      // From a menu: no control, notification code 0.
      if (l != 0 || HIWORD(w) != 0 || !RunCommand(LOWORD(w))) return false;
      result = 0;
      return true;
    case WM_MEASUREITEM:
      if (!MeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(l))) return false;
      result = TRUE;
      return true;
    case WM_DRAWITEM:
      if (!DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(l))) return false;
      result = TRUE;
      return true;
    case WM_INITMENUPOPUP:
      // A menu of a native control (an edit's own) goes on to the control.
      if (!InitPopup(reinterpret_cast<HMENU>(w))) return false;
      result = 0;
      return true;
    case WM_MENUCHAR:
      return MenuChar(w, l, result);
    default:
      return false;
  }
}

bool IsMenuKey(TWinControl* control, WORD key, TShiftState shift) {
  if (!control) return false;
  switch (key) {
    case VK_SHIFT: case VK_CONTROL: case VK_MENU: case VK_LWIN: case VK_RWIN: return false;
    default: break;
  }
  const TShortCut sc = ShortCutOf(key, shift);
  // The popup menus of the control and its parents, nearest first.
  for (TControl* c = control; c; c = c->Parent())
    if (TPopupMenu* m = c->PopupMenu())
      if (m->IsShortCutFor(sc, c)) return true;
  TCustomForm* form = GetParentForm(control);
  if (!form) return false;
  if (TMainMenu* m = form->Menu(); m && m->IsShortCut(sc)) return true;
  // The action lists of the form and of its pages, in creation order.
  std::vector<TActionList*> lists;
  ForEachFormComponent(form, [&](TComponent* c) {
    if (auto* list = dynamic_cast<TActionList*>(c)) lists.push_back(list);
  });
  for (TActionList* list : lists)
    if (list->IsShortCut(sc)) return true;
  return false;
}

void ForEachFormComponent(TComponent* form, const std::function<void(TComponent*)>& visit) {
  if (!form) return;
  for (int i = 0; i < form->ComponentCount(); ++i) {
    TComponent* c = form->Components(i);
    visit(c);
    if (!dynamic_cast<TCustomForm*>(c) && !dynamic_cast<TMenuItem*>(c)) ForEachFormComponent(c, visit);
  }
}

// ======================================================================
// TPopupMenu

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

HMENU TPopupMenu::CreateMenuHandle() { return CreatePopupMenu(); }

void TPopupMenu::SetPopupComponent(TComponent* c) {
  if (c == popup_component_) return;
  if (popup_component_) RemoveFreeNotification(popup_component_);
  popup_component_ = c;
  if (c) FreeNotification(c);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TMenu::Notification(component, operation);
  if (operation == TOperation::opRemove && component == popup_component_) popup_component_ = nullptr;
}

bool TPopupMenu::IsShortCutFor(TShortCut shortcut, TComponent* component) {
  if (ShortCutItems(shortcut).empty()) return false;
  SetPopupComponent(component);
  if (OnPopup) OnPopup(this);
  return IsShortCut(shortcut);
}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  HMENU h = Handle();
  HWND owner = GetActiveWindow();
  if (!owner && Application) owner = Application->Handle();
  UINT flags = alignment_ == TPopupAlignment::paRight    ? TPM_RIGHTALIGN
               : alignment_ == TPopupAlignment::paCenter ? TPM_CENTERALIGN
                                                         : TPM_LEFTALIGN;
  if (RightToLeft()) flags |= TPM_LAYOUTRTL;
  // The command comes back as the result, so the item runs after the menu has gone.
  UINT cmd = static_cast<UINT>(TrackPopupMenu(h, flags | TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, 0, owner, nullptr));
  if (owner) PostMessageA(owner, WM_NULL, 0, 0);
  if (cmd) RunCommand(cmd);
}

// ======================================================================
// TMainMenu

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) {}
HMENU TMainMenu::CreateMenuHandle() { return CreateMenu(); }
void TMainMenu::MenuChanged() {
  if (window_ && IsWindow(window_)) DrawMenuBar(window_);
}
