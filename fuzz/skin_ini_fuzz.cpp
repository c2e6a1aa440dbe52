// Arbitrary bytes as a skin description ("Options.dat"): splitting into sections and reading every key,
// with and without inheritance, must never fail, and must agree with the lines it was split from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "skin/engine/generalutils.h"
#include "skin/engine/inheritedkeys.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace skin;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TIniSections sections;
  IniTextToSections(text, sections);
  PortableSkinSystem system;
  int reads = 0;
  for (int s = 0; s < sections.Count() && reads < 2000; ++s) {
    const auto& section = sections[s];
    if (sections.IndexOf(section.Name) > s) std::abort();
    for (const std::string& line : section.Lines) {
      if (line.empty() || line[0] == ';') std::abort();
      const size_t eq = line.find('=');
      if (eq == std::string::npos) continue;
      const std::string key = line.substr(0, eq);
      const std::string value = ReadIniValue(sections, section.Name, "\x01", key);
      // The first section of this name and its first line of this key give the value.
      if (sections.IndexOf(section.Name) == s && IndexOfName(section.Lines, key) >= 0 &&
          value != section.Lines[size_t(IndexOfName(section.Lines, key))].substr(key.size() + 1))
        std::abort();
      const int32_t n = ReadIniInt(sections, section.Name, -7, key);
      (void)n;
      (void)StrToFloatDefDot(value, 0.0);
      (void)ReadInheritedInt(sections, section.Name, key, 0, 255, system);
      (void)ReadInheritedString(sections, section.Name, key, "");
      (void)ReadInheritedBool(sections, section.Name, key, false);
      ++reads;
    }
  }
  return 0;
}
