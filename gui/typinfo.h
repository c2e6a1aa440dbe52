#pragma once
// Run-time type information of the component layer: type tests by class, and the published properties of a
// class reached by name (the properties a stored form definition sets and that other code may read or write
// without knowing the class: "Color", "Font", "ParentColor", "BorderIcons", ...).
//
// Every class publishes its properties in one registry. A look-up walks the entries from the most derived
// class towards TObject, so a class may publish a property again with other accessors; names are compared
// without regard to case, as the class library does.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/classes.h"

namespace gui {

// Type tests: `obj` is an instance of T or of a class derived from it (false for nullptr).
template <class T>
bool InheritsFrom(const TObject* obj) {
  return dynamic_cast<const T*>(obj) != nullptr;
}

enum class TTypeKind { tkInteger, tkEnumeration, tkSet, tkClass, tkString, tkMethod };

struct TPropInfo {
  std::string Name;
  TTypeKind Kind = TTypeKind::tkInteger;
  // Enumerations: the names of the values 0, 1, ...; sets: the names of the elements of bits 0, 1, ...
  // (Booleans are the enumeration False, True).
  std::vector<std::string> Names;
  // Integers, enumerations (the value's ordinal) and sets (the bit mask).
  std::function<int64_t(const TObject&)> GetOrd;
  std::function<void(TObject&, int64_t)> SetOrd;  // empty for a read-only property
  // Class properties: the object held (may be nullptr).
  std::function<TObject*(const TObject&)> GetObjectValue;
  // Strings.
  std::function<std::string(const TObject&)> GetStr;
  std::function<void(TObject&, const std::string&)> SetStr;
  // Events (TNotifyEvent): the handler the object calls, with itself as the sender; an empty one removes it.
  std::function<void(TObject&, TNotifyEvent)> SetMethod;
};

namespace typinfo_detail {
void Register(std::function<bool(const TObject*)> isInstance, TPropInfo info);
}

// Publishes a property of class T (and of every class derived from it).
template <class T>
void RegisterPublishedProperty(TPropInfo info) {
  typinfo_detail::Register([](const TObject* o) { return InheritsFrom<T>(o); }, std::move(info));
}

// The published property of that name of the object's class, or nullptr.
const TPropInfo* GetPropInfo(const TObject* obj, std::string_view name);
// Every published property of the object's class, the most derived class's first (one entry per name).
std::vector<const TPropInfo*> GetPropList(const TObject* obj);

bool IsPublishedProp(const TObject* obj, std::string_view name);
// The ordinal value of an integer, enumeration or set property; -1 when there is none.
int64_t GetOrdProp(const TObject* obj, std::string_view name);
// Sets it when the property exists and can be written; false otherwise.
bool SetOrdProp(TObject* obj, std::string_view name, int64_t value);
// The object of a class property; nullptr when there is none.
TObject* GetObjectProp(const TObject* obj, std::string_view name);
// Strings: empty when absent; the setter answers whether it wrote.
std::string GetStrProp(const TObject* obj, std::string_view name);
bool SetStrProp(TObject* obj, std::string_view name, const std::string& value);
// Assigns the handler of an event property (a form definition binding a component's event to its own handler);
// false when there is no such event.
bool SetMethodProp(TObject* obj, std::string_view name, TNotifyEvent handler);
// The name of an enumeration value ("alClient"); empty when out of range.
std::string GetEnumName(const TPropInfo& info, int64_t value);
// A set as its comma-separated text ("biSystemMenu,biMinimize") and back (unknown names are left out).
std::string SetToString(const TPropInfo& info, int64_t value);
int64_t StringToSet(const TPropInfo& info, std::string_view text);

}  // namespace gui
