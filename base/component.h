// The component model: an owner frees what it owns, in reverse order of
// insertion; components can ask to hear when another one goes away.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/events.h"

enum class TOperation { opInsert, opRemove };

// ComponentState bits.
enum : uint32_t { csLoading = 1, csDestroying = 2, csDesigning = 4 };

class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }
  intptr_t Tag() const { return tag_; }
  void SetTag(intptr_t tag) { tag_ = tag; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_.at(index); }
  TComponent* FindComponent(const std::string& name) const;

  uint32_t ComponentState() const { return state_; }
  bool Loading() const { return state_ & csLoading; }
  bool Destroying() const { return state_ & csDestroying; }

  // A form built in code brackets its property writes with these; EndLoading
  // calls Loaded() on the component and on everything it owns.
  void BeginLoading();
  void EndLoading();

  // Ask to be told (Notification with opRemove) when `other` is destroyed.
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);

  // Runs before the destructor while the most derived object still exists
  // (forms fire OnDestroy here). Owners call it before freeing what they own;
  // whoever frees a component by hand calls it through Free().
  virtual void BeforeDestruction() {}

  void InsertComponent(TComponent* c);
  void RemoveComponent(TComponent* c);

 protected:
  virtual void Loaded() {}
  virtual void Notification(TComponent* component, TOperation operation);
  void SetDestroying() { state_ |= csDestroying; }

 private:
  void DestroyComponents();
  void ClearLoading();

  TComponent* owner_ = nullptr;
  std::string name_;
  intptr_t tag_ = 0;
  uint32_t state_ = 0;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> free_notifies_;
};

// BeforeDestruction, then delete.
inline void Free(TComponent* c) {
  if (!c) return;
  c->BeforeDestruction();
  delete c;
}
