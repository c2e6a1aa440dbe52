#include "gui/menus.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <string>

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

// ---- Shortcuts ----

namespace {
struct NamedKey {
  const char* name;
  uint16_t key;
};
constexpr NamedKey kNamedKeys[] = {
    {"Esc", 0x1B},   {"Enter", 0x0D}, {"Tab", 0x09},  {"Space", 0x20}, {"Backspace", 0x08}, {"Bksp", 0x08},
    {"Ins", 0x2D},   {"Del", 0x2E},   {"Home", 0x24}, {"End", 0x23},   {"PgUp", 0x21},      {"PgDn", 0x22},
    {"Left", 0x25},  {"Up", 0x26},    {"Right", 0x27}, {"Down", 0x28}};

bool StartsWithNoCase(const std::string& s, size_t at, const std::string& prefix) {
  if (s.size() - at < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[at + i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}
}  // namespace

TShortCut TextToShortCut(const std::string& text) {
  TShortCut mods = 0;
  size_t at = 0;
  for (;;) {
    if (StartsWithNoCase(text, at, "Shift+")) {
      mods |= scShift;
      at += 6;
    } else if (StartsWithNoCase(text, at, "Ctrl+")) {
      mods |= scCtrl;
      at += 5;
    } else if (StartsWithNoCase(text, at, "Alt+")) {
      mods |= scAlt;
      at += 4;
    } else {
      break;
    }
  }
  const std::string key = text.substr(at);
  if (key.size() == 1) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(key[0])));
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<TShortCut>(mods | static_cast<uint8_t>(c));
    return 0;
  }
  if (key.size() >= 2 && (key[0] == 'F' || key[0] == 'f')) {
    int n = 0;
    for (size_t i = 1; i < key.size(); ++i) {
      if (key[i] < '0' || key[i] > '9' || n > 24) return 0;
      n = n * 10 + (key[i] - '0');
    }
    if (n >= 1 && n <= 24) return static_cast<TShortCut>(mods | (0x70 + n - 1));
    return 0;
  }
  for (const NamedKey& k : kNamedKeys)
    if (key.size() == std::char_traits<char>::length(k.name) && StartsWithNoCase(key, 0, k.name))
      return static_cast<TShortCut>(mods | k.key);
  return 0;
}

std::string ShortCutToText(TShortCut shortCut) {
  const uint16_t key = shortCut & 0xFF;
  std::string name;
  if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
    name = std::string(1, static_cast<char>(key));
  } else if (key >= 0x70 && key < 0x70 + 24) {
    name = "F";
    name += std::to_string(key - 0x70 + 1);
  } else {
    for (const NamedKey& k : kNamedKeys)
      if (k.key == key) {
        name = k.name;
        break;
      }
  }
  if (name.empty()) return {};
  std::string text;
  if (shortCut & scShift) text += "Shift+";
  if (shortCut & scCtrl) text += "Ctrl+";
  if (shortCut & scAlt) text += "Alt+";
  return text + name;
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

void TMenuItem::SetDefault(bool v) {
  if (v == default_) return;
  default_ = v;
  Changed(false);
}

void TMenuItem::MeasureItem(TCanvas& ACanvas, int& Width, int& Height) {
  if (IsLine()) {
    Width = 0;
    Height = 8;
  } else {
    std::string text = StripHotkey(caption_);
    if (shortCut_ != 0) text += "    " + ShortCutToText(shortCut_);
    const TPoint extent = ACanvas.TextExtent(text);
    Width = extent.X + 24;
    Height = std::max(extent.Y + 4, bitmap_.Height() + 4);
  }
  if (OnMeasureItem) OnMeasureItem(this, ACanvas, Width, Height);
}

void TMenuItem::DrawItem(TCanvas& ACanvas, const TRect& ARect, TOwnerDrawState State) {
  if (OnAdvancedDrawItem) {
    OnAdvancedDrawItem(this, ACanvas, ARect, State);
    return;
  }
  if (OnDrawItem) {
    OnDrawItem(this, ACanvas, ARect, (State & odSelected) != 0);
    return;
  }
  // The plain look: the menu colours, a line for a divider, the caption after a glyph column.
  const bool selected = (State & odSelected) != 0;
  ACanvas.Brush().Color = selected ? clHighlight : clMenu;
  ACanvas.FillRect(ARect);
  if (IsLine()) {
    const int y = (ARect.Top + ARect.Bottom) / 2;
    ACanvas.Pen().Color = clBtnShadow;
    ACanvas.MoveTo(ARect.Left + 2, y);
    ACanvas.LineTo(ARect.Right - 2, y);
    return;
  }
  ACanvas.Font().SetColor(!enabled_ ? clGrayText : selected ? clHighlightText : clMenuText);
  ACanvas.Brush().Style = TBrushStyle::bsClear;
  const std::string text = StripHotkey(caption_);
  const TPoint extent = ACanvas.TextExtent(text);
  ACanvas.TextOut(ARect.Left + 20, ARect.Top + (ARect.Height() - extent.Y) / 2, text);
  ACanvas.Brush().Style = TBrushStyle::bsSolid;
}

void TMenuItem::SetBreak(TMenuBreak b) {
  if (b == break_) return;
  break_ = b;
  Changed(true);
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

std::vector<TMenuItem*> TMenu::BarItems() const { return items_->items_; }

TCustomForm* TMainMenu::MergedInto() const {
  if (form_ == nullptr || form_->FormStyle() != TFormStyle::fsMDIChild) return nullptr;
  TCustomForm* frame = form_->MDIParent();
  return frame != nullptr && !frame->IsDestroying() && frame->Menu() != nullptr ? frame : nullptr;
}

std::vector<TMenuItem*> TMainMenu::BarItems() const {
  auto itemsOf = [](const TMenuItem& parent) {
    std::vector<TMenuItem*> list;
    for (int i = 0; i < parent.Count(); ++i) list.push_back(parent.Items(i));
    return list;
  };
  const std::vector<TMenuItem*> own = itemsOf(*Items());
  const TCustomForm* child =
      form_ != nullptr && form_->FormStyle() == TFormStyle::fsMDIForm ? form_->ActiveMDIChild() : nullptr;
  const TMainMenu* merged = child != nullptr && !child->IsDestroying() ? child->Menu() : nullptr;
  if (merged == nullptr || merged == this || merged->Items()->Count() == 0) return own;
  const std::vector<TMenuItem*> theirs = itemsOf(*merged->Items());
  auto hasGroup = [&](int g) {
    return std::any_of(theirs.begin(), theirs.end(), [g](const TMenuItem* i) { return i->GroupIndex() == g; });
  };
  std::vector<TMenuItem*> bar;
  size_t next = 0;  // the child's next item (its items in their own order, groups ascending as the form's)
  for (TMenuItem* item : own) {
    while (next < theirs.size() && theirs[next]->GroupIndex() <= item->GroupIndex()) bar.push_back(theirs[next++]);
    if (!hasGroup(item->GroupIndex())) bar.push_back(item);
  }
  while (next < theirs.size()) bar.push_back(theirs[next++]);
  return bar;
}

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner) {
  items_ = new TMenuItem(nullptr);
  items_->menu_ = this;
}

void TMenu::SetOwnerDraw(bool v) {
  if (v == ownerDraw_) return;
  ownerDraw_ = v;
  ItemChanged(items_, true);
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
