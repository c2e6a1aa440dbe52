#pragma once
// The skin's colours written into grids and trees whose colours live in published properties: which property
// takes which colour for each adapter kind, reached by a dotted path ("ControlLook.FixedGradientFrom" is the
// property FixedGradientFrom of the object held by the property ControlLook). A path that the control does not
// publish, all the way down, is skipped. What was there before is kept, so that removing the skin puts back
// exactly the values it changed.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gui/classes.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

namespace skin {

// The colour sources of the tables.
struct GridSkinColors {
  TColor Global = 0;         // the skin's main colour
  TColor GlobalFont = 0;     // its font colour
  TColor Edit = 0;           // edit background and text
  TColor EditFont = 0;
  TColor Selection = 0;      // focused selection and its text
  TColor SelectionFont = 0;
  TColor Border = 0;         // BORDERCOLOR
  TColor EditOdd = 0;        // alternate row colours of the colour table
  TColor EditEven = 0;
  TColor GlobalInfo = 0;     // COLOR of the skin's GLOBALINFO section
  TColor SectionFont = 0;    // FONTCOLOR of the control's own section (normal state)
};

// One property to write: a dotted path and its value.
struct PropertyValue {
  std::string Path;
  int64_t Value = 0;
};

// A set property to change: one element added or removed.
struct SetElementChange {
  std::string Path;
  std::string Element;
  bool Add = false;
};

// The tables. The grid rows that depend on another property ("FixedFont" under "ControlLook") are left out when
// that property is missing.
std::vector<PropertyValue> GridColorTable(const GridSkinColors& c, gui::TObject* Control);
std::vector<PropertyValue> GridEhColorTable(const GridSkinColors& c);
std::vector<SetElementChange> GridEhSetChanges();
std::vector<PropertyValue> VirtualTreeColorTable(const GridSkinColors& c);

// The object that holds the last name of the path and that name; false when a step is not published (or holds
// no object).
bool ResolvePropertyPath(gui::TObject* Root, std::string_view Path, gui::TObject*& Holder, std::string& Name);
bool PropertyPathExists(gui::TObject* Root, std::string_view Path);
// The ordinal value at a path (-1 when absent).
int64_t GetPropertyPath(gui::TObject* Root, std::string_view Path);

// What a set of writes changed, to be put back.
struct SavedProperties {
  std::vector<PropertyValue> Values;        // the values before the first write, in write order
  std::vector<SetElementChange> Elements;   // the element changes that did change something (to be undone)
  bool Empty() const { return Values.empty() && Elements.empty(); }
};

// Writes the values whose paths exist; the value before each path's first write is kept in Saved (a path saved
// once keeps its first value: applying again after a skin change does not lose the control's own colour).
void ApplyPropertyValues(gui::TObject* Root, const std::vector<PropertyValue>& Values, SavedProperties& Saved);
// Adds or removes set elements where the set exists and the element is (not) there yet; the changes made are
// kept in Saved.
void ApplySetChanges(gui::TObject* Root, const std::vector<SetElementChange>& Changes, SavedProperties& Saved);
// Puts the kept values back (last written first) and undoes the element changes; Saved is emptied.
void RestoreProperties(gui::TObject* Root, SavedProperties& Saved);

}  // namespace skin
