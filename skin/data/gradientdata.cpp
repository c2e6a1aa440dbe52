#include "skin/data/gradientdata.h"

#include <vector>

namespace skin {

void ParseGradientSteps(std::string_view Text, GradientStepArray& Steps, SkinSystem& System) {
  Steps.clear();
  std::vector<std::string_view> fields;
  size_t from = 0;
  while (from < Text.size()) {
    size_t end = Text.find(';', from);
    if (end == std::string_view::npos) end = Text.size();
    if (end > from) fields.push_back(Text.substr(from, end - from));
    from = end + 1;
  }
  const size_t count = fields.size() / 5;
  GradientStepArray steps(count);
  for (size_t i = 0; i < count; ++i) {
    GradientStep& s = steps[i];
    s.Color1 = ColorToRGB(StrToInt(fields[i * 5]), System);
    s.Color2 = ColorToRGB(StrToInt(fields[i * 5 + 1]), System);
    s.Percent = uint8_t(LimitValue(StrToInt(fields[i * 5 + 2]), 0, 100));
    s.Mode = StrToInt(fields[i * 5 + 3]);
  }
  Steps = std::move(steps);
}

}  // namespace skin
