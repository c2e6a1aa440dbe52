#include "skin/adapters/ctrl_classes.h"

#include <array>

namespace skin {

int ThirdPartyCategoryOf(const std::vector<std::vector<std::string>>& Lists, std::string_view ClassName) {
  if (ClassName.empty()) return -1;
  for (size_t i = 0; i < Lists.size(); ++i)
    for (const std::string& entry : Lists[i])
      if (entry == ClassName) return int(i);
  return -1;
}

AdapterKind AdapterKindOfCategory(int Category) {
  using K = AdapterKind;
  // Edits, buttons, bit buttons, check boxes, combo boxes, grids, group boxes, list views, panels, tree views,
  // three foreign families, page and tab controls, tool bars, status bars, speed buttons (windowed classes listed
  // there get the edit adapter), scroll controls, up-downs, scroll bars, static texts, natively painted windows.
  static constexpr std::array<K, 23> kinds = {
      K::Edit, K::Button,  K::BitBtn,    K::CheckBox, K::ComboBox, K::None, K::GroupBox, K::None,
      K::Panel, K::None,   K::None,      K::None,     K::None,     K::None, K::None,     K::ToolBar,
      K::StatusBar, K::Edit, K::None,    K::UpDown,   K::None,     K::StaticText, K::None};
  if (Category < 0 || Category >= int(kinds.size())) return K::None;
  return kinds[size_t(Category)];
}

}  // namespace skin
