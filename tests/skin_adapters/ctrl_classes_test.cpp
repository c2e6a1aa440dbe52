// Which adapter a control class gets from the manager's class lists.
#include <gtest/gtest.h>

#include "skin/adapters/ctrl_classes.h"

namespace {

using namespace skin;

TEST(ControlClasses, FirstListNamingTheClassExactlyWins) {
  std::vector<std::vector<std::string>> lists(23);
  lists[0] = {"TEdit", "TPanelish"};
  lists[1] = {"TButton"};
  lists[8] = {"TPanel", "TPanelish"};
  lists[19] = {"TUpDown"};
  struct Case {
    const char* name;
    int category;
    AdapterKind kind;
  } cases[] = {
      {"TPanelish", 0, AdapterKind::Edit},  // listed twice: the lower category
      {"TPanel", 8, AdapterKind::Panel},
      {"TButton", 1, AdapterKind::Button},
      {"TUpDown", 19, AdapterKind::UpDown},
      {"tbutton", -1, AdapterKind::None},   // case counts
      {"TButton ", -1, AdapterKind::None},  // the whole name
      {"TMemo", -1, AdapterKind::None},     // unlisted classes stay unskinned
      {"", -1, AdapterKind::None},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ThirdPartyCategoryOf(lists, c.name), c.category) << c.name;
    EXPECT_EQ(AdapterKindOfCategory(ThirdPartyCategoryOf(lists, c.name)), c.kind) << c.name;
  }
  // Speed-button names listed for a windowed class give the edit adapter; grids, list views and trees their own.
  EXPECT_EQ(AdapterKindOfCategory(17), AdapterKind::Edit);
  EXPECT_EQ(AdapterKindOfCategory(5), AdapterKind::Grid);
  EXPECT_EQ(AdapterKindOfCategory(7), AdapterKind::ListView);
  EXPECT_EQ(AdapterKindOfCategory(9), AdapterKind::TreeView);
  EXPECT_EQ(AdapterKindOfCategory(11), AdapterKind::GridEh);
  EXPECT_EQ(AdapterKindOfCategory(12), AdapterKind::VirtualTree);
  EXPECT_EQ(AdapterKindOfCategory(23), AdapterKind::TrackBar);
  EXPECT_EQ(AdapterKindOfCategory(24), AdapterKind::None);
}

}  // namespace
