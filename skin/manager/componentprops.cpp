#include "skin/manager/componentprops.h"

#include <cctype>

namespace skin {

const PublishedProperties::Property* ComponentProperties::FindProperty(std::string_view Name) const {
  const gui::TPropInfo* info = gui::GetPropInfo(object_, Name);
  if (!info) return nullptr;
  std::string key(Name);
  for (char& c : key) c = char(std::tolower(static_cast<unsigned char>(c)));
  auto found = made_.find(key);
  if (found != made_.end()) return &found->second;
  Property p;
  p.Name = info->Name;
  gui::TObject* obj = object_;
  switch (info->Kind) {
    case gui::TTypeKind::tkInteger:
    case gui::TTypeKind::tkEnumeration:
    case gui::TTypeKind::tkSet:
      p.Kind = info->Kind == gui::TTypeKind::tkSet ? TPropertyKind::Set : TPropertyKind::Ordinal;
      if (info->Kind == gui::TTypeKind::tkSet) p.ElementNames = info->Names;
      if (info->GetOrd) p.GetOrd = [info, obj] { return info->GetOrd(*obj); };
      if (info->SetOrd) p.SetOrd = [info, obj](int64_t v) { info->SetOrd(*obj, v); };
      break;
    case gui::TTypeKind::tkClass:
      p.Kind = TPropertyKind::Object;
      p.ObjectType = &typeid(gui::TObject);
      if (info->GetObjectValue) p.GetObject = [info, obj]() -> void* { return info->GetObjectValue(*obj); };
      break;
    case gui::TTypeKind::tkString:
    case gui::TTypeKind::tkMethod:
      p.Kind = TPropertyKind::Other;
      break;
  }
  return &made_.emplace(std::move(key), std::move(p)).first->second;
}

bool HasPublishedProperty(gui::TObject* Obj, std::string_view Name) { return gui::IsPublishedProp(Obj, Name); }

gui::TObject* GetPublishedObjectProperty(gui::TObject* Obj, std::string_view Name) {
  if (!Obj) return nullptr;
  ComponentProperties props(Obj);
  return static_cast<gui::TObject*>(GetPublishedObjectProperty(&props, Name));
}

int64_t GetPublishedOrdProperty(gui::TObject* Obj, std::string_view Name) {
  if (!Obj) return -1;
  ComponentProperties props(Obj);
  return GetPublishedOrdProperty(&props, Name);
}

void SetPublishedProperty(gui::TObject* Obj, std::string_view Name, int64_t Value) {
  if (!Obj) return;
  ComponentProperties props(Obj);
  SetPublishedProperty(&props, Name, Value);
}

bool SetPropertyHasElement(gui::TObject* Obj, std::string_view Name, std::string_view Element) {
  if (!Obj) return false;
  ComponentProperties props(Obj);
  return SetPropertyHasElement(&props, Name, Element);
}

bool ChangeSetPropertyElement(gui::TObject* Obj, std::string_view Name, std::string_view Element, bool Add) {
  if (!Obj) return false;
  ComponentProperties props(Obj);
  return ChangeSetPropertyElement(&props, Name, Element, Add);
}

}  // namespace skin
