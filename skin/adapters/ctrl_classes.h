#pragma once
// Which adapter a control class gets: its category in the skin manager's class lists (one list of class names per
// category), compared exactly; the lower category wins when two lists name the class.
#include <string>
#include <string_view>
#include <vector>

namespace skin {

// The category (0 ..) of the first list, in list order, that names the class; -1 when none does.
int ThirdPartyCategoryOf(const std::vector<std::vector<std::string>>& Lists, std::string_view ClassName);

// The adapter kinds of the categories, in category order (what each category's windows become).
enum class AdapterKind {
  None,        // no adapter of this kind is built: the class stays unskinned
  Edit,        // the scrollable edit adapter
  Button,
  BitBtn,
  CheckBox,
  ComboBox,
  GroupBox,
  Panel,
  ToolBar,
  StatusBar,
  UpDown,
  StaticText,
  ListView,
  Grid,         // grids (colours through published properties)
  GridEh,       // grids of the "OptionsEh" family
  TreeView,     // tree views (colours through the tree's messages)
  VirtualTree,  // virtual trees
  PageControl,
  TabControl,
  ScrollBox,
  ScrollBar,
  NativePaint,
  WWComboBox,
  TrackBar,
};
AdapterKind AdapterKindOfCategory(int Category);

}  // namespace skin
