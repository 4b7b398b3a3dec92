// Actions: one command (its caption, state, hint, image and handler) shared by
// the controls that offer it. A client holds an action link; the action tells
// its links of every change, and each link passes a change on to its client
// while the client's value still is the action's (a client that was given a
// value of its own keeps it).
//
// An action list gathers the actions of a form; the form's key handling runs
// an action whose shortcut was pressed (menus.h: IsMenuKey). The standard
// edit actions at the bottom act on an edit without a handler of their own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/component.h"
#include "base/events.h"

class TBasicActionLink;
class TActionList;
class TCustomEdit;

// A keyboard shortcut: a virtual key with scShift, scCtrl and scAlt bits.
using TShortCut = uint16_t;
enum : TShortCut { scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000 };
// "Ctrl+A", "Alt+BkSp", "F5" ... (empty for none).
std::string ShortCutToText(TShortCut shortcut);

class TBasicAction : public TComponent {
 public:
  explicit TBasicAction(TComponent* owner);
  // The links stay with their clients, linked to no action.
  ~TBasicAction() override;

  // Runs OnExecute; false when there is none.
  virtual bool Execute();
  // Runs the action for a client (a menu item, a button): the action may ask
  // which one while it runs.
  bool ExecuteFor(TComponent* client);
  // Update for a client (an item about to show).
  bool UpdateFor(TComponent* client);
  TComponent* ActionComponent() const { return action_component_; }
  void SetActionComponent(TComponent* client) { action_component_ = client; }
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
  template <class F>
  bool RunFor(TComponent* client, F run);
  std::vector<TBasicActionLink*> links_;
  TNotifyEvent on_execute_;
  TComponent* action_component_ = nullptr;
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
  // The same, telling the action which client runs it.
  bool ExecuteFor(TComponent* client);
  bool UpdateFor(TComponent* client);
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
  ~TCustomAction() override;

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
  TShortCut ShortCut() const { return shortcut_; }
  void SetShortCut(TShortCut shortcut);

  // The list the action belongs to (null for none).
  TActionList* ActionList() const { return list_; }
  void SetActionList(TActionList* list);

  // Runs the handler only while the action is enabled.
  bool Execute() override;

 private:
  friend class TActionList;
  std::string caption_;
  bool enabled_ = true;
  bool visible_ = true;
  std::string hint_;
  int image_index_ = -1;
  TShortCut shortcut_ = 0;
  TActionList* list_ = nullptr;
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
  virtual bool IsShortCutLinked() const { return Custom() != nullptr; }
  bool IsOnExecuteLinked() const override { return Custom() != nullptr; }

  virtual void SetCaption(const std::string&) {}
  virtual void SetEnabled(bool) {}
  virtual void SetVisible(bool) {}
  virtual void SetHint(const std::string&) {}
  virtual void SetImageIndex(int) {}
  virtual void SetShortCut(TShortCut) {}

 protected:
  TCustomAction* Custom() const { return dynamic_cast<TCustomAction*>(Action()); }
};

// The actions of a form, in the order they were added. The actions stay
// components of their owner; the list only knows them.
class TActionList : public TComponent {
 public:
  explicit TActionList(TComponent* owner) : TComponent(owner) {}
  ~TActionList() override;

  int ActionCount() const { return static_cast<int>(actions_.size()); }
  TCustomAction* Actions(int index) const { return actions_.at(index); }

  // Runs the first action with this shortcut that is enabled and visible
  // once brought up to date; true when one ran.
  bool IsShortCut(TShortCut shortcut);

 private:
  friend class TCustomAction;
  std::vector<TCustomAction*> actions_;
};

// The standard edit actions. Each works on an edit: the one whose popup menu
// holds the item it runs from, else the edit that has the focus. Without an
// edit, or when there is nothing to do, the action is disabled, so its
// shortcut reaches the focused control as an ordinary key. An OnExecute or
// OnUpdate handler of the program replaces the standard behaviour.
class TEditAction : public TCustomAction {
 public:
  explicit TEditAction(TComponent* owner) : TCustomAction(owner) {}
  TCustomEdit* Target() const;
  bool Update() override;
  bool Execute() override;

 protected:
  virtual bool CanAct(TCustomEdit& edit) const = 0;
  virtual void Act(TCustomEdit& edit) = 0;
};

// "&Copy", Ctrl+C: the selection to the clipboard.
class TEditCopy : public TEditAction {
 public:
  explicit TEditCopy(TComponent* owner);

 protected:
  bool CanAct(TCustomEdit& edit) const override;
  void Act(TCustomEdit& edit) override;
};

// "&Paste", Ctrl+V: the clipboard's text over the selection.
class TEditPaste : public TEditAction {
 public:
  explicit TEditPaste(TComponent* owner);

 protected:
  bool CanAct(TCustomEdit& edit) const override;
  void Act(TCustomEdit& edit) override;
};

// "&Undo", Alt+Backspace: the edit's last change undone.
class TEditUndo : public TEditAction {
 public:
  explicit TEditUndo(TComponent* owner);

 protected:
  bool CanAct(TCustomEdit& edit) const override;
  void Act(TCustomEdit& edit) override;
};

// "Select &All", Ctrl+A: the whole text selected.
class TEditSelectAll : public TEditAction {
 public:
  explicit TEditSelectAll(TComponent* owner);

 protected:
  bool CanAct(TCustomEdit& edit) const override;
  void Act(TCustomEdit& edit) override;
};
