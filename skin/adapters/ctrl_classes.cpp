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
  // there get the edit adapter), scroll controls, up-downs, scroll bars, static texts, natively painted windows,
  // track bars.
  static constexpr std::array<K, 24> kinds = {
      K::Edit, K::Button,  K::BitBtn,    K::CheckBox, K::ComboBox, K::Grid, K::GroupBox, K::ListView,
      K::Panel, K::TreeView, K::WWComboBox, K::GridEh, K::VirtualTree, K::PageControl, K::TabControl, K::ToolBar,
      K::StatusBar, K::Edit, K::ScrollBox, K::UpDown, K::ScrollBar, K::StaticText, K::NativePaint, K::TrackBar};
  if (Category < 0 || Category >= int(kinds.size())) return K::None;
  return kinds[size_t(Category)];
}

}  // namespace skin
