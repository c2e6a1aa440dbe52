#pragma once
// The published properties of the component layer's objects, as the library's routines by property name take
// them: the layer's registry (gui/typinfo.h) seen through skin::PublishedProperties. Adapters colour foreign
// controls this way, by name, leaving out what a class does not publish.
#include <map>
#include <string>
#include <string_view>

#include "gui/typinfo.h"
#include "skin/data/generalutils.h"

namespace skin {

// A view of one object's published properties. Integers, enumerations and Booleans are ordinal properties, sets
// set properties (their element names in bit order), class properties object properties (of type gui::TObject).
class ComponentProperties final : public PublishedProperties {
 public:
  explicit ComponentProperties(gui::TObject* Object) : object_(Object) {}
  const Property* FindProperty(std::string_view Name) const override;

 private:
  gui::TObject* object_;
  mutable std::map<std::string, Property> made_;  // by lower-case name
};

// The routines of generalutils.h on a component-layer object.
bool HasPublishedProperty(gui::TObject* Obj, std::string_view Name);
gui::TObject* GetPublishedObjectProperty(gui::TObject* Obj, std::string_view Name);
int64_t GetPublishedOrdProperty(gui::TObject* Obj, std::string_view Name);
void SetPublishedProperty(gui::TObject* Obj, std::string_view Name, int64_t Value);
bool SetPropertyHasElement(gui::TObject* Obj, std::string_view Name, std::string_view Element);
bool ChangeSetPropertyElement(gui::TObject* Obj, std::string_view Name, std::string_view Element, bool Add);

}  // namespace skin
