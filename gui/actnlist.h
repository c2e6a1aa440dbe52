#pragma once
// Actions: a command kept apart from the controls that show it. A control linked to an action (SetAction) takes
// the action's caption, enabled state, hint and visibility at once and whenever they change, and a click on a
// control without an OnClick handler of its own executes the action. Freeing either side unlinks them.
#include <string>
#include <vector>

#include "gui/classes.h"

namespace gui {

class TControl;

class TBasicAction : public TComponent {
 public:
  explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
  ~TBasicAction() override;
  GUI_CLASS_NAME("TBasicAction")

  // Runs OnExecute; false when there is none.
  virtual bool Execute();
  TNotifyEvent OnExecute;

  int ClientCount() const { return static_cast<int>(clients_.size()); }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Every linked control hears of a change (ActionChange with CheckDefaults off).
  void Change();

 private:
  friend class TControl;
  void RegisterClient(TControl* c);
  void UnRegisterClient(TControl* c);
  std::vector<TControl*> clients_;
};

class TCustomAction : public TBasicAction {
 public:
  explicit TCustomAction(TComponent* AOwner) : TBasicAction(AOwner) {}
  GUI_CLASS_NAME("TCustomAction")

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);

 private:
  std::string caption_;
  bool enabled_ = true;
  std::string hint_;
  bool visible_ = true;
  int imageIndex_ = -1;
};

class TAction : public TCustomAction {
 public:
  explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
  GUI_CLASS_NAME("TAction")
};

}  // namespace gui
