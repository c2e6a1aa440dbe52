#include "skin/data/inheritedkeys.h"

namespace skin {

namespace {

// The value of Key in Section or the nearest parent that has one that `present` accepts.
template <class Present>
bool findInherited(const IniSource& Ini, std::string_view Section, std::string_view Key, Present present,
                   std::string& value) {
  return WalkParentChain(
      Section, [&](std::string_view name) { return ReadIniValue(Ini, name, "?", ParentClassKey); },
      [&](std::string_view name) { return Ini.FindValue(name, Key, value) && present(value); });
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
