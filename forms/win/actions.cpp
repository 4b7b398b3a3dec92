#include "forms/win/actions.h"

#include <algorithm>

// ---- TBasicAction ----

TBasicAction::TBasicAction(TComponent* owner) : TComponent(owner) {}

TBasicAction::~TBasicAction() {
  for (TBasicActionLink* link : links_) link->action_ = nullptr;
  links_.clear();
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

bool TCustomAction::Execute() {
  Update();  // the owner may change the state first
  return enabled_ && TBasicAction::Execute();
}
