#include "gui/menus.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "gui/forms.h"

namespace gui {

namespace {
std::map<UINT, TMenuItem*>& Commands() {
  static std::map<UINT, TMenuItem*> commands;
  return commands;
}
UINT AllocateCommand(TMenuItem* item) {
  static UINT next = 1000;
  auto& commands = Commands();
  for (int tries = 0; tries < 0x7000; ++tries) {
    const UINT c = next;
    next = next >= 0x7FFF ? 1000 : next + 1;
    if (!commands.count(c)) {
      commands[c] = item;
      return c;
    }
  }
  throw EComponentError("Too many menu items");
}
}  // namespace

std::string StripHotkey(const std::string& caption) {
  std::string out;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += caption[i];
  }
  return out;
}

// ---- TMenuItem ----

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) { command_ = AllocateCommand(this); }

TMenuItem::~TMenuItem() {
  Destroying();
  while (!items_.empty()) {
    TMenuItem* child = items_.back();
    delete child;  // removes itself from items_
  }
  if (parent_) parent_->Remove(this);
  Commands().erase(command_);
}

TMenuItem* TMenuItem::FromCommand(UINT command) {
  auto& commands = Commands();
  auto it = commands.find(command);
  return it == commands.end() ? nullptr : it->second;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* i = this;
  while (i->parent_) i = i->parent_;
  return i->menu_;
}

void TMenuItem::Changed(bool structure) {
  if (TMenu* m = GetParentMenu()) m->ItemChanged(this, structure);
}

void TMenuItem::SetCaption(const std::string& c) {
  if (c == caption_) return;
  const bool structure = (c == "-") != IsLine();
  caption_ = c;
  Changed(structure);
}

void TMenuItem::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  Changed(false);
}

void TMenuItem::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Changed(false);
}

void TMenuItem::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  Changed(true);
}

void TMenuItem::SetRadioItem(bool v) {
  if (v == radioItem_) return;
  radioItem_ = v;
  Changed(false);
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  if (item->parent_) throw EInvalidOperation("Menu item " + item->Name() + " is already in a menu");
  if (index < 0 || index > Count()) throw std::out_of_range("TMenuItem::Insert: index out of range");
  for (const TMenuItem* p = this; p; p = p->parent_)
    if (p == item) throw EInvalidOperation("A menu item cannot contain itself");
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  Changed(true);
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  item->parent_ = nullptr;
  if (!IsDestroying()) Changed(true);
}

void TMenuItem::Delete(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("TMenuItem::Delete: index out of range");
  Remove(items_[static_cast<size_t>(index)]);
}

void TMenuItem::Clear() {
  while (!items_.empty()) delete items_.back();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenuItem* TMenuItem::Find(const std::string& caption) const {
  const std::string wanted = StripHotkey(caption);
  for (TMenuItem* i : items_)
    if (SameText(StripHotkey(i->caption_), wanted)) return i;
  return nullptr;
}

void TMenuItem::Click() {
  if (!enabled_) return;
  if (OnClick) OnClick(this);
}

// ---- TMenu ----

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner) {
  items_ = new TMenuItem(nullptr);
  items_->menu_ = this;
}

TMenu::~TMenu() {
  Destroying();
  // The root's sub-items are owned by the form; they leave the menu as they are freed.
  for (TMenuItem* i : items_->items_) i->parent_ = nullptr;
  items_->items_.clear();
  delete items_;
  Release();
}

}  // namespace gui
