// Actions: one command reached from menus, buttons and keys, with an update
// callback computing whether it is enabled. Every live action with an update
// is refreshed when the message loop runs idle, menus refresh the actions of
// their items when they open, and Execute refreshes before it runs, so a
// disabled command never runs and the controls bound to it show its state.
//   Action& actRepair = actions.Add("&Repair", [&] { Repair(); }, [&] { return HasTicks(); });
//   btnRepair.SetAction(&actRepair);
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace widgets {

class Action;

// A control or menu showing an action's caption and enabled state.
class ActionClient {
 public:
  virtual void ActionChanged(Action& action) = 0;
  // The action is going away; the client forgets it.
  virtual void ActionDestroyed(Action& action) = 0;

 protected:
  ~ActionClient() = default;
};

class Action {
 public:
  Action();
  Action(std::string caption, std::function<void()> onExecute, std::function<bool()> onUpdate = {});
  ~Action();
  Action(const Action&) = delete;
  Action& operator=(const Action&) = delete;

  const std::string& Caption() const noexcept { return caption_; }
  void SetCaption(std::string caption);
  bool Enabled() const noexcept { return enabled_; }
  void SetEnabled(bool enabled);

  std::function<void()> OnExecute;
  // Returns the enabled state; empty keeps whatever SetEnabled set.
  std::function<bool()> OnUpdate;

  void Update();
  // Updates, then runs OnExecute if enabled; false when it did not run.
  bool Execute();

  void AddClient(ActionClient& client);
  void RemoveClient(ActionClient& client);

  // Every live action of the GUI thread (the message loop's idle pass).
  static void UpdateAll();

 private:
  void Changed();

  std::string caption_;
  bool enabled_ = true;
  std::vector<ActionClient*> clients_;
};

// The actions of one window, owned together.
class ActionList {
 public:
  Action& Add(std::string caption, std::function<void()> onExecute, std::function<bool()> onUpdate = {});
  void Update();

 private:
  std::vector<std::unique_ptr<Action>> actions_;
};

}  // namespace widgets
