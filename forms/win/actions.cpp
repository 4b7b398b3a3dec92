#include "forms/win/actions.h"

#include <windows.h>

#include <algorithm>

#include "forms/win/menus.h"
#include "forms/win/stdctrls.h"

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

// ---- TBasicAction ----

namespace {
// Actions alive now: a handler may free the action that runs it.
std::vector<const TBasicAction*>& LiveActions() {
  static auto* v = new std::vector<const TBasicAction*>;
  return *v;
}
bool IsLive(const TBasicAction* a) {
  const auto& v = LiveActions();
  return std::find(v.begin(), v.end(), a) != v.end();
}
}  // namespace

TBasicAction::TBasicAction(TComponent* owner) : TComponent(owner) { LiveActions().push_back(this); }

TBasicAction::~TBasicAction() {
  auto& live = LiveActions();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
  for (TBasicActionLink* link : links_) link->action_ = nullptr;
  links_.clear();
}

template <class F>
bool TBasicAction::RunFor(TComponent* client, F run) {
  TComponent* before = action_component_;
  action_component_ = client;
  bool done = false;
  try {
    done = run();
  } catch (...) {
    if (IsLive(this)) action_component_ = before;
    throw;
  }
  if (IsLive(this)) action_component_ = before;
  return done;
}

bool TBasicAction::ExecuteFor(TComponent* client) {
  return RunFor(client, [this] { return Execute(); });
}

bool TBasicAction::UpdateFor(TComponent* client) {
  return RunFor(client, [this] { return Update(); });
}

bool TBasicAction::Execute() {
  if (!on_execute_) return false;
  on_execute_(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

void TBasicAction::SetOnExecute(const TNotifyEvent& handler) {
  if (handler == on_execute_) return;
  // The links compare their clients with the old handler.
  const std::vector<TBasicActionLink*> links = links_;
  for (TBasicActionLink* link : links)
    if (link->IsOnExecuteLinked()) link->SetOnExecute(handler);
  on_execute_ = handler;
  Change();
}

void TBasicAction::Change() {
  const std::vector<TBasicActionLink*> links = links_;
  for (TBasicActionLink* link : links) link->Changed();
}

// ---- TBasicActionLink ----

TBasicActionLink::~TBasicActionLink() { SetAction(nullptr); }

void TBasicActionLink::SetAction(TBasicAction* action) {
  if (action == action_) return;
  if (action_) {
    auto& links = action_->links_;
    links.erase(std::remove(links.begin(), links.end(), this), links.end());
  }
  action_ = action;
  if (action_) {
    action_->links_.push_back(this);
    Changed();
  }
}

bool TBasicActionLink::Execute() { return action_ && action_->Execute(); }

bool TBasicActionLink::ExecuteFor(TComponent* client) { return action_ && action_->ExecuteFor(client); }

bool TBasicActionLink::UpdateFor(TComponent* client) { return action_ && action_->UpdateFor(client); }

bool TBasicActionLink::Update() { return action_ && action_->Update(); }

// ---- TCustomAction ----

namespace {
// Each link hears of a value before the action stores it, so it can tell
// whether its client still shows the old one.
template <class F>
void TellLinks(const std::vector<TBasicActionLink*>& links, F tell) {
  const std::vector<TBasicActionLink*> copy = links;
  for (TBasicActionLink* link : copy)
    if (auto* l = dynamic_cast<TActionLink*>(link)) tell(*l);
}
}  // namespace

void TCustomAction::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  TellLinks(Links(), [&](TActionLink& l) {
    if (l.IsCaptionLinked()) l.SetCaption(caption);
  });
  caption_ = caption;
  Change();
}

void TCustomAction::SetEnabled(bool on) {
  if (on == enabled_) return;
  TellLinks(Links(), [&](TActionLink& l) {
    if (l.IsEnabledLinked()) l.SetEnabled(on);
  });
  enabled_ = on;
  Change();
}

void TCustomAction::SetVisible(bool on) {
  if (on == visible_) return;
  TellLinks(Links(), [&](TActionLink& l) {
    if (l.IsVisibleLinked()) l.SetVisible(on);
  });
  visible_ = on;
  Change();
}

void TCustomAction::SetHint(const std::string& hint) {
  if (hint == hint_) return;
  TellLinks(Links(), [&](TActionLink& l) {
    if (l.IsHintLinked()) l.SetHint(hint);
  });
  hint_ = hint;
  Change();
}

void TCustomAction::SetImageIndex(int index) {
  if (index == image_index_) return;
  TellLinks(Links(), [&](TActionLink& l) {
    if (l.IsImageIndexLinked()) l.SetImageIndex(index);
  });
  image_index_ = index;
  Change();
}

void TCustomAction::SetShortCut(TShortCut shortcut) {
  if (shortcut == shortcut_) return;
  TellLinks(Links(), [&](TActionLink& l) {
    if (l.IsShortCutLinked()) l.SetShortCut(shortcut);
  });
  shortcut_ = shortcut;
  Change();
}

TCustomAction::~TCustomAction() { SetActionList(nullptr); }

void TCustomAction::SetActionList(TActionList* list) {
  if (list == list_) return;
  if (list_) {
    auto& v = list_->actions_;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
  }
  list_ = list;
  if (list_) list_->actions_.push_back(this);
}

bool TCustomAction::Execute() {
  Update();  // the owner may change the state first
  return enabled_ && TBasicAction::Execute();
}

// ---- TActionList ----

TActionList::~TActionList() {
  for (TCustomAction* a : actions_) a->list_ = nullptr;
}

bool TActionList::IsShortCut(TShortCut shortcut) {
  if (!shortcut) return false;
  const std::vector<TCustomAction*> actions = actions_;
  for (TCustomAction* a : actions) {
    if (!IsLive(a) || a->list_ != this || a->ShortCut() != shortcut) continue;
    a->Update();
    if (a->Enabled()) return a->ExecuteFor(nullptr);
  }
  return false;
}

// ---- Standard edit actions ----

TCustomEdit* TEditAction::Target() const {
  if (auto* item = dynamic_cast<TMenuItem*>(ActionComponent()))
    if (auto* popup = dynamic_cast<TPopupMenu*>(item->GetParentMenu()))
      if (auto* edit = dynamic_cast<TCustomEdit*>(popup->PopupComponent())) return edit;
  // A native control's inner window counts as the control.
  for (HWND h = GetFocus(); h; h = GetParent(h))
    if (TWinControl* c = TWinControl::FromHandle(h)) return dynamic_cast<TCustomEdit*>(c);
  return nullptr;
}

bool TEditAction::Update() {
  if (OnUpdate) return TBasicAction::Update();
  TCustomEdit* edit = Target();
  SetEnabled(edit && edit->HandleAllocated() && CanAct(*edit));
  return true;
}

bool TEditAction::Execute() {
  Update();
  if (!Enabled()) return false;
  if (OnExecute()) return TBasicAction::Execute();
  TCustomEdit* edit = Target();
  if (!edit) return false;
  Act(*edit);
  return true;
}

TEditCopy::TEditCopy(TComponent* owner) : TEditAction(owner) {
  SetCaption("&Copy");
  SetShortCut('C' | scCtrl);
}
// A password edit never gives its text away.
bool TEditCopy::CanAct(TCustomEdit& edit) const { return edit.PasswordChar() == 0 && edit.SelLength() > 0; }
void TEditCopy::Act(TCustomEdit& edit) { SendMessageA(edit.Handle(), WM_COPY, 0, 0); }

TEditPaste::TEditPaste(TComponent* owner) : TEditAction(owner) {
  SetCaption("&Paste");
  SetShortCut('V' | scCtrl);
}
bool TEditPaste::CanAct(TCustomEdit& edit) const {
  return !edit.ReadOnly() && IsClipboardFormatAvailable(CF_TEXT);
}
void TEditPaste::Act(TCustomEdit& edit) { SendMessageA(edit.Handle(), WM_PASTE, 0, 0); }

TEditUndo::TEditUndo(TComponent* owner) : TEditAction(owner) {
  SetCaption("&Undo");
  SetShortCut(VK_BACK | scAlt);
}
bool TEditUndo::CanAct(TCustomEdit& edit) const {
  return !edit.ReadOnly() && SendMessageA(edit.Handle(), EM_CANUNDO, 0, 0) != 0;
}
void TEditUndo::Act(TCustomEdit& edit) { SendMessageA(edit.Handle(), EM_UNDO, 0, 0); }

TEditSelectAll::TEditSelectAll(TComponent* owner) : TEditAction(owner) {
  SetCaption("Select &All");
  SetShortCut('A' | scCtrl);
}
// Also on an empty text: the key must not reach the edit as a character.
bool TEditSelectAll::CanAct(TCustomEdit&) const { return true; }
void TEditSelectAll::Act(TCustomEdit& edit) { edit.SelectAll(); }
