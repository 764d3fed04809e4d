#include "widgets/actions.h"

#include <algorithm>

namespace widgets {

namespace {

// GUI thread only, like the controls the actions drive.
std::vector<Action*>& LiveActions() {
  static std::vector<Action*> actions;
  return actions;
}

}  // namespace

Action::Action() { LiveActions().push_back(this); }

Action::Action(std::string caption, std::function<void()> onExecute, std::function<bool()> onUpdate)
    : OnExecute(std::move(onExecute)), OnUpdate(std::move(onUpdate)), caption_(std::move(caption)) {
  LiveActions().push_back(this);
}

Action::~Action() {
  auto& live = LiveActions();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
  // A client removes itself in ActionDestroyed, so work on a copy.
  const std::vector<ActionClient*> clients = clients_;
  for (ActionClient* client : clients) client->ActionDestroyed(*this);
}

void Action::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  Changed();
}

void Action::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Changed();
}

void Action::Update() {
  if (OnUpdate) SetEnabled(OnUpdate());
}

bool Action::Execute() {
  Update();
  if (!enabled_ || !OnExecute) return false;
  OnExecute();
  return true;
}

void Action::AddClient(ActionClient& client) {
  if (std::find(clients_.begin(), clients_.end(), &client) == clients_.end()) clients_.push_back(&client);
}

void Action::RemoveClient(ActionClient& client) {
  clients_.erase(std::remove(clients_.begin(), clients_.end(), &client), clients_.end());
}

void Action::UpdateAll() {
  // An update may create or free actions (rarely); each one present now is
  // updated if it is still alive when its turn comes.
  const std::vector<Action*> actions = LiveActions();
  for (Action* action : actions) {
    const auto& live = LiveActions();
    if (std::find(live.begin(), live.end(), action) != live.end()) action->Update();
  }
}

void Action::Changed() {
  const std::vector<ActionClient*> clients = clients_;
  for (ActionClient* client : clients) client->ActionChanged(*this);
}

Action& ActionList::Add(std::string caption, std::function<void()> onExecute, std::function<bool()> onUpdate) {
  actions_.push_back(std::make_unique<Action>(std::move(caption), std::move(onExecute), std::move(onUpdate)));
  return *actions_.back();
}

void ActionList::Update() {
  for (const auto& action : actions_) action->Update();
}

}  // namespace widgets
