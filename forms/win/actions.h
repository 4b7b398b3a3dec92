// Actions: one command (its caption, state, hint, image and handler) shared by
// the controls that offer it. A client holds an action link; the action tells
// its links of every change, and each link passes a change on to its client
// while the client's value still is the action's (a client that was given a
// value of its own keeps it).
#pragma once

#include <string>
#include <vector>

#include "base/component.h"
#include "base/events.h"

class TBasicActionLink;

class TBasicAction : public TComponent {
 public:
  explicit TBasicAction(TComponent* owner);
  // The links stay with their clients, linked to no action.
  ~TBasicAction() override;

  // Runs OnExecute; false when there is none.
  virtual bool Execute();
  // Runs OnUpdate (the owner brings the action's state up to date); false
  // when there is none.
  virtual bool Update();

  const TNotifyEvent& OnExecute() const { return on_execute_; }
  void SetOnExecute(const TNotifyEvent& handler);
  TNotifyEvent OnUpdate;

  int LinkCount() const { return static_cast<int>(links_.size()); }

 protected:
  // Tells every link that the action changed.
  void Change();
  const std::vector<TBasicActionLink*>& Links() const { return links_; }

 private:
  friend class TBasicActionLink;
  std::vector<TBasicActionLink*> links_;
  TNotifyEvent on_execute_;
};

class TBasicActionLink : public TObject {
 public:
  TBasicActionLink() = default;
  ~TBasicActionLink() override;
  TBasicActionLink(const TBasicActionLink&) = delete;
  TBasicActionLink& operator=(const TBasicActionLink&) = delete;

  TBasicAction* Action() const { return action_; }
  void SetAction(TBasicAction* action);
  // Runs the action; false without one or without its handler.
  virtual bool Execute();
  virtual bool Update();

  // The action's values reach the client through these.
  virtual bool IsOnExecuteLinked() const { return true; }
  virtual void SetOnExecute(const TNotifyEvent&) {}

 protected:
  // The action changed as a whole (a new action, or Change()).
  virtual void Changed() {}

 private:
  friend class TBasicAction;
  TBasicAction* action_ = nullptr;
};

// An action with the values a client shows.
class TCustomAction : public TBasicAction {
 public:
  explicit TCustomAction(TComponent* owner) : TBasicAction(owner) {}

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  bool Visible() const { return visible_; }
  void SetVisible(bool on);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  int ImageIndex() const { return image_index_; }
  void SetImageIndex(int index);

  // Runs the handler only while the action is enabled.
  bool Execute() override;

 private:
  std::string caption_;
  bool enabled_ = true;
  bool visible_ = true;
  std::string hint_;
  int image_index_ = -1;
};

class TAction : public TCustomAction {
 public:
  explicit TAction(TComponent* owner) : TCustomAction(owner) {}
};

// The link of a client that shows a TCustomAction's values. A client class
// derives from it: the Is...Linked tests say whether the client still
// follows the action for that value, the Set... members change the client.
class TActionLink : public TBasicActionLink {
 public:
  virtual bool IsCaptionLinked() const { return Custom() != nullptr; }
  virtual bool IsEnabledLinked() const { return Custom() != nullptr; }
  virtual bool IsVisibleLinked() const { return Custom() != nullptr; }
  virtual bool IsHintLinked() const { return Custom() != nullptr; }
  virtual bool IsImageIndexLinked() const { return Custom() != nullptr; }
  bool IsOnExecuteLinked() const override { return Custom() != nullptr; }

  virtual void SetCaption(const std::string&) {}
  virtual void SetEnabled(bool) {}
  virtual void SetVisible(bool) {}
  virtual void SetHint(const std::string&) {}
  virtual void SetImageIndex(int) {}

 protected:
  TCustomAction* Custom() const { return dynamic_cast<TCustomAction*>(Action()); }
};
