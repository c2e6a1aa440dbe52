#include "skin/engine/inheritedkeys.h"

#include <unordered_set>

namespace skin {

namespace {

// Walks from Section up its chain of parents until `present` accepts a value; false when none does.
template <class Present>
bool findInherited(const IniSource& Ini, std::string_view Section, std::string_view Key, Present present,
                   std::string& value) {
  std::unordered_set<std::string> visited;
  std::string current(Section);
  while (true) {
    if (Ini.FindValue(current, Key, value) && present(value)) return true;
    const std::string parent = ReadIniValue(Ini, current, "?", ParentClassKey);
    if (parent.empty() || parent == "?" || parent == current) return false;
    visited.insert(std::move(current));
    if (visited.count(parent)) return false;
    current = parent;
  }
}

}  // namespace

int32_t ReadInheritedInt(const IniSource& Ini, std::string_view Section, std::string_view Key, int32_t Default,
                         int32_t Max, SkinSystem& System) {
  std::string text;
  const bool found =
      findInherited(Ini, Section, Key, [](const std::string& v) { return IniTextToInt(v, -1) != -1; }, text);
  if (!found) return Default;
  const int32_t value = ColorToRGB(IniTextToInt(text, -1), System);
  return value > Max ? Max : value;
}

std::string ReadInheritedString(const IniSource& Ini, std::string_view Section, std::string_view Key,
                                std::string_view Default) {
  std::string text;
  if (findInherited(Ini, Section, Key, [](const std::string& v) { return v != "?"; }, text)) return text;
  return std::string(Default);
}

bool ReadInheritedBool(const IniSource& Ini, std::string_view Section, std::string_view Key, bool Default) {
  std::string text;
  if (!findInherited(Ini, Section, Key, [](const std::string& v) { return v != "?"; }, text)) return Default;
  return text == "TRUE" || text == "1";
}

}  // namespace skin
