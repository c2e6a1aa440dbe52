#pragma once
// Reading a key of a skin section with inheritance: a value that a section lacks is taken from the section
// that its PARENTCLASS names, and so on up the chain. The walk stops at a section that names itself, at an
// empty or "?" parent, and at any section already visited, so a cycle of parents ends instead of looping.
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_set>

#include "skin/data/generalutils.h"

namespace skin {

// Walks a chain of parents by name: calls visit(name) for Start, then for the parent that parentOf(name)
// names, and so on, until visit returns true (the result is then true) or the chain ends: at an empty or
// "?" parent, a section that names itself, or a section already visited (false). Any lookup that follows
// parent names (keys of the description, image records of the loaded skin) goes through here.
template <class ParentOf, class Visit>
bool WalkParentChain(std::string_view Start, ParentOf parentOf, Visit visit) {
  std::unordered_set<std::string> visited;
  std::string current(Start);
  while (true) {
    if (visit(std::string_view(current))) return true;
    std::string parent = parentOf(std::string_view(current));
    if (parent.empty() || parent == "?" || parent == current) return false;
    visited.insert(std::move(current));
    if (visited.count(parent)) return false;
    current = std::move(parent);
  }
}

inline constexpr std::string_view ParentClassKey = "PARENTCLASS";

// An integer or colour key: "0x" values are hexadecimal; -1 or a text that is not a number counts as absent.
// An absent value gives Default; a present one goes through ColorToRGB (system colour constants may be
// written) and is limited to Max.
int32_t ReadInheritedInt(const IniSource& Ini, std::string_view Section, std::string_view Key, int32_t Default,
                         int32_t Max = std::numeric_limits<int32_t>::max(), SkinSystem& System = systemSkinSystem());
// A string key: "?" counts as absent; an absent value gives Default.
std::string ReadInheritedString(const IniSource& Ini, std::string_view Section, std::string_view Key,
                                std::string_view Default);
// A Boolean key: "TRUE" or "1" is true, any other present text false, an absent value Default.
bool ReadInheritedBool(const IniSource& Ini, std::string_view Section, std::string_view Key, bool Default);

}  // namespace skin
