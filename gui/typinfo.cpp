#include "gui/typinfo.h"

#include "gui/controls.h"
#include "gui/extctrls.h"
#include "gui/forms.h"
#include "gui/graphics.h"
#include "gui/grids.h"

namespace gui {

namespace {

struct Entry {
  std::function<bool(const TObject*)> isInstance;
  TPropInfo info;
};

std::vector<Entry>& Entries() {
  static std::vector<Entry> entries;
  return entries;
}

const std::vector<std::string> kBoolean = {"False", "True"};

template <class T>
void Bool(const char* name, bool (T::*get)() const, void (T::*set)(bool)) {
  TPropInfo p;
  p.Name = name;
  p.Kind = TTypeKind::tkEnumeration;
  p.Names = kBoolean;
  p.GetOrd = [get](const TObject& o) -> int64_t { return (static_cast<const T&>(o).*get)() ? 1 : 0; };
  if (set) p.SetOrd = [set](TObject& o, int64_t v) { (static_cast<T&>(o).*set)(v != 0); };
  RegisterPublishedProperty<T>(std::move(p));
}

template <class T, class V>
void Int(const char* name, V (T::*get)() const, void (T::*set)(V)) {
  TPropInfo p;
  p.Name = name;
  p.Kind = TTypeKind::tkInteger;
  p.GetOrd = [get](const TObject& o) -> int64_t { return static_cast<int64_t>((static_cast<const T&>(o).*get)()); };
  if (set) p.SetOrd = [set](TObject& o, int64_t v) { (static_cast<T&>(o).*set)(static_cast<V>(v)); };
  RegisterPublishedProperty<T>(std::move(p));
}

template <class T, class E>
void Enum(const char* name, std::vector<std::string> names, E (T::*get)() const, void (T::*set)(E)) {
  TPropInfo p;
  p.Name = name;
  p.Kind = TTypeKind::tkEnumeration;
  p.Names = std::move(names);
  const int64_t count = static_cast<int64_t>(p.Names.size());
  p.GetOrd = [get](const TObject& o) -> int64_t { return static_cast<int64_t>((static_cast<const T&>(o).*get)()); };
  if (set)
    p.SetOrd = [set, count](TObject& o, int64_t v) {
      if (v >= 0 && v < count) (static_cast<T&>(o).*set)(static_cast<E>(v));
    };
  RegisterPublishedProperty<T>(std::move(p));
}

template <class T, class S>
void Set(const char* name, std::vector<std::string> names, S (T::*get)() const, void (T::*set)(S)) {
  TPropInfo p;
  p.Name = name;
  p.Kind = TTypeKind::tkSet;
  p.Names = std::move(names);
  const int64_t mask = (int64_t{1} << p.Names.size()) - 1;
  p.GetOrd = [get](const TObject& o) -> int64_t { return static_cast<int64_t>((static_cast<const T&>(o).*get)()); };
  if (set) p.SetOrd = [set, mask](TObject& o, int64_t v) { (static_cast<T&>(o).*set)(static_cast<S>(v & mask)); };
  RegisterPublishedProperty<T>(std::move(p));
}

template <class T>
void Str(const char* name, std::string (T::*get)() const, void (T::*set)(const std::string&)) {
  TPropInfo p;
  p.Name = name;
  p.Kind = TTypeKind::tkString;
  p.GetStr = [get](const TObject& o) { return (static_cast<const T&>(o).*get)(); };
  if (set) p.SetStr = [set](TObject& o, const std::string& v) { (static_cast<T&>(o).*set)(v); };
  RegisterPublishedProperty<T>(std::move(p));
}

// The classes of the layer publish what their stored definitions set, base classes first.
void RegisterLayerProperties() {
  {
    TPropInfo p;
    p.Name = "Name";
    p.Kind = TTypeKind::tkString;
    p.GetStr = [](const TObject& o) { return static_cast<const TComponent&>(o).Name(); };
    p.SetStr = [](TObject& o, const std::string& v) { static_cast<TComponent&>(o).SetName(v); };
    RegisterPublishedProperty<TComponent>(std::move(p));
  }
  Int<TComponent, intptr_t>("Tag", &TComponent::Tag, &TComponent::SetTag);

  Int<TFont, int>("Height", &TFont::Height, &TFont::SetHeight);
  Int<TFont, int>("Size", &TFont::Size, &TFont::SetSize);
  Int<TFont, TColor>("Color", &TFont::Color, &TFont::SetColor);
  Int<TFont, int>("Charset", &TFont::Charset, &TFont::SetCharset);
  Set<TFont, TFontStyles>("Style", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}, &TFont::Style,
                          &TFont::SetStyle);
  {
    TPropInfo p;
    p.Name = "Name";
    p.Kind = TTypeKind::tkString;
    p.GetStr = [](const TObject& o) { return static_cast<const TFont&>(o).Name(); };
    p.SetStr = [](TObject& o, const std::string& v) { static_cast<TFont&>(o).SetName(v); };
    RegisterPublishedProperty<TFont>(std::move(p));
  }

  Int<TControl, int>("Left", &TControl::Left, &TControl::SetLeft);
  Int<TControl, int>("Top", &TControl::Top, &TControl::SetTop);
  Int<TControl, int>("Width", &TControl::Width, &TControl::SetWidth);
  Int<TControl, int>("Height", &TControl::Height, &TControl::SetHeight);
  Bool<TControl>("Visible", &TControl::Visible, &TControl::SetVisible);
  Bool<TControl>("Enabled", &TControl::Enabled, &TControl::SetEnabled);
  Int<TControl, TColor>("Color", &TControl::Color, &TControl::SetColor);
  Int<TCustomGrid, TColor>("FixedColor", &TCustomGrid::FixedColor, &TCustomGrid::SetFixedColor);
  Int<TCustomGrid, TColor>("SelectionColor", &TCustomGrid::SelectionColor, &TCustomGrid::SetSelectionColor);
  Int<TCustomGrid, TColor>("SelectionTextColor", &TCustomGrid::SelectionTextColor, &TCustomGrid::SetSelectionTextColor);
  Int<TCustomGrid, TColor>("GridLineColor", &TCustomGrid::GridLineColor, &TCustomGrid::SetGridLineColor);
  Int<TCustomGrid, TColor>("GridFixedLineColor", &TCustomGrid::GridFixedLineColor, &TCustomGrid::SetGridFixedLineColor);
  Int<TCustomGrid, int>("GridLineWidth", &TCustomGrid::GridLineWidth, &TCustomGrid::SetGridLineWidth);
  Bool<TControl>("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
  Bool<TControl>("ParentFont", &TControl::ParentFont, &TControl::SetParentFont);
  Bool<TControl>("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
  Bool<TControl>("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint);
  Enum<TControl, TAlign>("Align", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}, &TControl::Align,
                         &TControl::SetAlign);
  Str<TControl>("Caption", &TControl::Caption, &TControl::SetCaption);
  {
    TPropInfo p;
    p.Name = "Hint";
    p.Kind = TTypeKind::tkString;
    p.GetStr = [](const TObject& o) { return static_cast<const TControl&>(o).Hint(); };
    p.SetStr = [](TObject& o, const std::string& v) { static_cast<TControl&>(o).SetHint(v); };
    RegisterPublishedProperty<TControl>(std::move(p));
  }
  {
    TPropInfo p;
    p.Name = "Font";
    p.Kind = TTypeKind::tkClass;
    p.GetObjectValue = [](const TObject& o) -> TObject* { return &const_cast<TControl&>(static_cast<const TControl&>(o)).Font(); };
    RegisterPublishedProperty<TControl>(std::move(p));
  }

  Bool<TWinControl>("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop);
  Int<TWinControl, int>("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder);

  Enum<TCustomPanel, TBevelCut>("BevelOuter", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}, &TCustomPanel::BevelOuter,
                                &TCustomPanel::SetBevelOuter);
  Enum<TCustomPanel, TBevelCut>("BevelInner", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}, &TCustomPanel::BevelInner,
                                &TCustomPanel::SetBevelInner);
  Int<TCustomPanel, int>("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth);

  Enum<TCustomForm, TFormBorderStyle>(
      "BorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"},
      &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle);
  Set<TCustomForm, TBorderIcons>("BorderIcons", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"},
                                 &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons);
  Enum<TCustomForm, TFormStyle>("FormStyle", {"fsNormal", "fsStayOnTop", "fsMDIChild", "fsMDIForm"}, &TCustomForm::FormStyle,
                                &TCustomForm::SetFormStyle);
  Enum<TCustomForm, TPosition>(
      "Position", {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter", "poMainFormCenter"},
      &TCustomForm::Position, &TCustomForm::SetPosition);
  Enum<TCustomForm, TWindowState>("WindowState", {"wsNormal", "wsMinimized", "wsMaximized"}, &TCustomForm::WindowState,
                                  &TCustomForm::SetWindowState);
  Bool<TCustomForm>("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview);
}

std::vector<Entry>& Registry() {
  static const bool initialised = [] {
    RegisterLayerProperties();
    return true;
  }();
  (void)initialised;
  return Entries();
}

}  // namespace

namespace typinfo_detail {
void Register(std::function<bool(const TObject*)> isInstance, TPropInfo info) {
  Entries().push_back(Entry{std::move(isInstance), std::move(info)});
}
}  // namespace typinfo_detail

const TPropInfo* GetPropInfo(const TObject* obj, std::string_view name) {
  if (!obj) return nullptr;
  const std::vector<Entry>& entries = Registry();
  const std::string n(name);
  for (auto it = entries.rbegin(); it != entries.rend(); ++it)
    if (SameText(it->info.Name, n) && it->isInstance(obj)) return &it->info;
  return nullptr;
}

std::vector<const TPropInfo*> GetPropList(const TObject* obj) {
  std::vector<const TPropInfo*> list;
  if (!obj) return list;
  const std::vector<Entry>& entries = Registry();
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    if (!it->isInstance(obj)) continue;
    bool seen = false;
    for (const TPropInfo* p : list) seen = seen || SameText(p->Name, it->info.Name);
    if (!seen) list.push_back(&it->info);
  }
  return list;
}

bool IsPublishedProp(const TObject* obj, std::string_view name) { return GetPropInfo(obj, name) != nullptr; }

int64_t GetOrdProp(const TObject* obj, std::string_view name) {
  const TPropInfo* p = GetPropInfo(obj, name);
  return p && p->GetOrd ? p->GetOrd(*obj) : -1;
}

bool SetOrdProp(TObject* obj, std::string_view name, int64_t value) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (!p || !p->SetOrd) return false;
  p->SetOrd(*obj, value);
  return true;
}

TObject* GetObjectProp(const TObject* obj, std::string_view name) {
  const TPropInfo* p = GetPropInfo(obj, name);
  return p && p->Kind == TTypeKind::tkClass && p->GetObjectValue ? p->GetObjectValue(*obj) : nullptr;
}

std::string GetStrProp(const TObject* obj, std::string_view name) {
  const TPropInfo* p = GetPropInfo(obj, name);
  return p && p->GetStr ? p->GetStr(*obj) : std::string();
}

bool SetStrProp(TObject* obj, std::string_view name, const std::string& value) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (!p || !p->SetStr) return false;
  p->SetStr(*obj, value);
  return true;
}

bool SetMethodProp(TObject* obj, std::string_view name, TNotifyEvent handler) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (!p || !p->SetMethod) return false;
  p->SetMethod(*obj, std::move(handler));
  return true;
}

std::string GetEnumName(const TPropInfo& info, int64_t value) {
  if (value < 0 || value >= static_cast<int64_t>(info.Names.size())) return {};
  return info.Names[static_cast<size_t>(value)];
}

std::string SetToString(const TPropInfo& info, int64_t value) {
  std::string text;
  for (size_t i = 0; i < info.Names.size() && i < 64; ++i) {
    if (!(value & (int64_t{1} << i))) continue;
    if (!text.empty()) text += ',';
    text += info.Names[i];
  }
  return text;
}

int64_t StringToSet(const TPropInfo& info, std::string_view text) {
  int64_t value = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(',', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view word = text.substr(start, end - start);
    while (!word.empty() && (word.front() == ' ' || word.front() == '[')) word.remove_prefix(1);
    while (!word.empty() && (word.back() == ' ' || word.back() == ']')) word.remove_suffix(1);
    for (size_t i = 0; i < info.Names.size() && i < 64; ++i)
      if (SameText(info.Names[i], std::string(word))) value |= int64_t{1} << i;
    start = end + 1;
  }
  return value;
}

}  // namespace gui
