#pragma once
// Reading a key of a skin section with inheritance: a value that a section lacks is taken from the section
// that its PARENTCLASS names, and so on up the chain. The walk stops at a section that names itself, at an
// empty or "?" parent, and at any section already visited, so a cycle of parents ends instead of looping.
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "skin/engine/generalutils.h"

namespace skin {

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
