#include "base/component.h"

#include <algorithm>

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  state_ |= csDestroying;
  // Tell everyone who asked; copy first, since a listener may unhook others.
  auto listeners = free_notifies_;
  free_notifies_.clear();
  for (TComponent* c : listeners) {
    auto& back = c->free_notifies_;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
    c->Notification(this, TOperation::opRemove);
  }
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::DestroyComponents() {
  // Last inserted goes first; a component freed by another's destructor has
  // already left the list, so always take the current last entry.
  while (!components_.empty()) {
    TComponent* c = components_.back();
    components_.pop_back();
    c->owner_ = nullptr;
    Notification(c, TOperation::opRemove);
    c->BeforeDestruction();
    delete c;
  }
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (c->name_.size() == name.size() &&
        std::equal(name.begin(), name.end(), c->name_.begin(), [](char a, char b) {
          return (a | 0x20) == (b | 0x20) || a == b;
        }))
      return c;
  return nullptr;
}

void TComponent::BeginLoading() {
  state_ |= csLoading;
  for (TComponent* c : components_) c->BeginLoading();
}

void TComponent::EndLoading() {
  ClearLoading();
}

void TComponent::ClearLoading() {
  // Children first: a control's Loaded may look at what it owns.
  auto children = components_;
  for (TComponent* c : children) c->ClearLoading();
  if (state_ & csLoading) {
    state_ &= ~csLoading;
    Loaded();
  }
}

void TComponent::FreeNotification(TComponent* other) {
  if (!other || other == this) return;
  if (std::find(other->free_notifies_.begin(), other->free_notifies_.end(), this) == other->free_notifies_.end())
    other->free_notifies_.push_back(this);
  if (std::find(free_notifies_.begin(), free_notifies_.end(), other) == free_notifies_.end())
    free_notifies_.push_back(other);
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  if (!other) return;
  auto drop = [](std::vector<TComponent*>& v, TComponent* c) { v.erase(std::remove(v.begin(), v.end(), c), v.end()); };
  drop(other->free_notifies_, this);
  drop(free_notifies_, other);
}

void TComponent::InsertComponent(TComponent* c) {
  if (c->owner_) c->owner_->RemoveComponent(c);
  components_.push_back(c);
  c->owner_ = this;
  Notification(c, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* c) {
  auto it = std::find(components_.begin(), components_.end(), c);
  if (it == components_.end()) return;
  components_.erase(it);
  c->owner_ = nullptr;
  Notification(c, TOperation::opRemove);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  // Owned components hear about each other too.
  if (operation == TOperation::opRemove && !(state_ & csDestroying)) {
    auto children = components_;
    for (TComponent* c : children)
      if (c != component) c->Notification(component, operation);
  }
}
