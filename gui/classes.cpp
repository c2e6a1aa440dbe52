#include "gui/classes.h"

#include <algorithm>
#include <cctype>

namespace gui {

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Subscribers learn first that this component goes away, then the owned components are freed (last
  // created first), then the owner's tree is told.
  std::vector<TComponent*> subscribers;
  subscribers.swap(freeNotifies_);
  for (TComponent* c : subscribers) {
    auto& back = c->freeNotifies_;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
    c->Notification(this, TOperation::opRemove);
  }
  while (!components_.empty()) {
    TComponent* c = components_.back();
    delete c;  // its destructor removes it from components_
  }
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (owner_ && !name.empty()) {
    for (TComponent* c : owner_->components_)
      if (c != this && SameText(c->name_, name))
        throw EComponentError("A component named " + name + " already exists");
  }
  name_ = name;
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->name_, name)) return c;
  return nullptr;
}

void TComponent::FreeNotification(TComponent* c) {
  if (!c || c == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), c) == freeNotifies_.end()) freeNotifies_.push_back(c);
  if (std::find(c->freeNotifies_.begin(), c->freeNotifies_.end(), this) == c->freeNotifies_.end())
    c->freeNotifies_.push_back(this);
  state_ |= csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* c) {
  if (!c) return;
  freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), c), freeNotifies_.end());
  c->freeNotifies_.erase(std::remove(c->freeNotifies_.begin(), c->freeNotifies_.end(), this), c->freeNotifies_.end());
}

void TComponent::InsertComponent(TComponent* c) {
  if (!c || c->owner_ == this) return;
  if (c->owner_) c->owner_->RemoveComponent(c);
  if (!c->name_.empty()) {
    for (TComponent* other : components_)
      if (SameText(other->name_, c->name_)) throw EComponentError("A component named " + c->name_ + " already exists");
  }
  components_.push_back(c);
  c->owner_ = this;
  if (state_ & csLoading) c->state_ |= csLoading | csReading;  // created while its owner's definition loads
  NotifyTree(c, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* c) {
  if (!c || c->owner_ != this) return;
  NotifyTree(c, TOperation::opRemove);
  components_.erase(std::remove(components_.begin(), components_.end(), c), components_.end());
  c->owner_ = nullptr;
}

void TComponent::NotifyTree(TComponent* AComponent, TOperation Operation) {
  // The root of the ownership tree passes the notification down through every owned component.
  TComponent* root = this;
  while (root->owner_) root = root->owner_;
  root->Notification(AComponent, Operation);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == TOperation::opRemove && AComponent) RemoveFreeNotification(AComponent);
  // A copy: a component may free others while it is told.
  const std::vector<TComponent*> owned = components_;
  for (TComponent* c : owned)
    if (c != AComponent || Operation == TOperation::opInsert) c->Notification(AComponent, Operation);
}

void TComponent::BeginLoading() {
  state_ |= csLoading | csReading;
  for (TComponent* c : components_) c->BeginLoading();
}

void TComponent::EndLoading() {
  const std::vector<TComponent*> owned = components_;
  for (TComponent* c : owned) c->EndLoading();
  if (state_ & csLoading) Loaded();
  state_ &= ~(csLoading | csReading);
}

void TComponent::Loaded() { state_ &= ~(csLoading | csReading); }

void TComponent::Destroying() {
  if (state_ & csDestroying) return;
  state_ |= csDestroying;
  for (TComponent* c : components_) c->Destroying();
}

void Free(TComponent* c) {
  if (!c) return;
  c->BeforeDestruction();
  delete c;
}

// ---- TStrings ----

void TStrings::Changed() {
  if (OnChange) OnChange();
}

void TStrings::SetString(int i, const std::string& s) {
  items_.at(static_cast<size_t>(i)).text = s;
  Changed();
}

void TStrings::SetObject(int i, TObject* o) {
  items_.at(static_cast<size_t>(i)).object = o;
  Changed();
}

int TStrings::AddObject(const std::string& s, TObject* o) {
  items_.push_back(Item{s, o});
  Changed();
  return Count() - 1;
}

void TStrings::Insert(int i, const std::string& s) {
  if (i < 0 || i > Count()) throw std::out_of_range("TStrings::Insert: index out of range");
  items_.insert(items_.begin() + i, Item{s, nullptr});
  Changed();
}

void TStrings::Delete(int i) {
  if (i < 0 || i >= Count()) throw std::out_of_range("TStrings::Delete: index out of range");
  items_.erase(items_.begin() + i);
  Changed();
}

void TStrings::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

int TStrings::IndexOf(const std::string& s) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (SameText(items_[i].text, s)) return static_cast<int>(i);
  return -1;
}

int TStrings::IndexOfObject(const TObject* o) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].object == o) return static_cast<int>(i);
  return -1;
}

std::string TStrings::Text() const {
  std::string out;
  for (const Item& it : items_) {
    out += it.text;
    out += "\r\n";
  }
  return out;
}

void TStrings::SetText(const std::string& text) {
  items_.clear();
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      items_.push_back(Item{line, nullptr});
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) items_.push_back(Item{line, nullptr});
  Changed();
}

void TStrings::Assign(const TStrings& other) {
  items_ = other.items_;
  Changed();
}

}  // namespace gui
