#include "gui/actnlist.h"

#include <algorithm>

#include "gui/controls.h"

namespace gui {

TBasicAction::~TBasicAction() {
  // The controls forget the action through their free notification.
  clients_.clear();
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

void TBasicAction::RegisterClient(TControl* c) {
  if (c != nullptr && std::find(clients_.begin(), clients_.end(), c) == clients_.end()) clients_.push_back(c);
}

void TBasicAction::UnRegisterClient(TControl* c) { clients_.erase(std::remove(clients_.begin(), clients_.end(), c), clients_.end()); }

void TBasicAction::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  // A control being freed is no TControl any more by now: compared as a component.
  if (Operation == TOperation::opRemove)
    clients_.erase(std::remove_if(clients_.begin(), clients_.end(),
                                  [AComponent](TControl* c) { return static_cast<TComponent*>(c) == AComponent; }),
                   clients_.end());
}

void TBasicAction::Change() {
  const std::vector<TControl*> clients = clients_;  // a control may unlink itself meanwhile
  for (TControl* c : clients)
    if (std::find(clients_.begin(), clients_.end(), c) != clients_.end()) c->ActionChange(this, false);
}

void TCustomAction::SetCaption(const std::string& v) {
  if (v == caption_) return;
  caption_ = v;
  Change();
}

void TCustomAction::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Change();
}

void TCustomAction::SetHint(const std::string& v) {
  if (v == hint_) return;
  hint_ = v;
  Change();
}

void TCustomAction::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  Change();
}

void TCustomAction::SetImageIndex(int v) {
  if (v == imageIndex_) return;
  imageIndex_ = v;
  Change();
}

}  // namespace gui
