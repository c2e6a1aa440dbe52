// The skin's colours written into grids by property path, and put back.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "gui/gui.h"
#include "gui/typinfo.h"
#include "skin/adapters/grid_colors.h"

namespace {

using namespace skin;

// A foreign grid as another component family publishes it: nested objects and a set of options.
struct FakeLook : gui::TObject {
  int64_t from = 11, to = 12, mirrorFrom = 13, mirrorTo = 14;
};
struct FakeFont : gui::TObject {
  int64_t color = 21;
};
struct FakeGrid : gui::TObject {
  FakeLook look;
  FakeFont fixedFont, titleFont;
  int64_t fixedColor = 1, options = 0x5;  // bits: dghFixed3D (0), dghFooter (1), dghRowHighlight (2)
  int64_t evenRow = 31;
};

template <class T>
void Ord(const char* name, int64_t T::*field) {
  gui::TPropInfo p;
  p.Name = name;
  p.GetOrd = [field](const gui::TObject& o) { return static_cast<const T&>(o).*field; };
  p.SetOrd = [field](gui::TObject& o, int64_t v) { static_cast<T&>(o).*field = v; };
  gui::RegisterPublishedProperty<T>(std::move(p));
}

template <class T, class H>
void Obj(const char* name, H T::*field) {
  gui::TPropInfo p;
  p.Name = name;
  p.Kind = gui::TTypeKind::tkClass;
  p.GetObjectValue = [field](const gui::TObject& o) -> gui::TObject* {
    return &(const_cast<T&>(static_cast<const T&>(o)).*field);
  };
  gui::RegisterPublishedProperty<T>(std::move(p));
}

void RegisterFakes() {
  static bool done = false;
  if (done) return;
  done = true;
  Ord<FakeLook>("FixedGradientFrom", &FakeLook::from);
  Ord<FakeLook>("FixedGradientTo", &FakeLook::to);
  Ord<FakeLook>("FixedGradientMirrorFrom", &FakeLook::mirrorFrom);
  Ord<FakeLook>("FixedGradientMirrorTo", &FakeLook::mirrorTo);
  Ord<FakeFont>("Color", &FakeFont::color);
  Obj<FakeGrid>("ControlLook", &FakeGrid::look);
  Obj<FakeGrid>("FixedFont", &FakeGrid::fixedFont);
  Obj<FakeGrid>("TitleFont", &FakeGrid::titleFont);
  Ord<FakeGrid>("FixedColor", &FakeGrid::fixedColor);
  Ord<FakeGrid>("EvenRowColor", &FakeGrid::evenRow);
  gui::TPropInfo set;
  set.Name = "OptionsEh";
  set.Kind = gui::TTypeKind::tkSet;
  set.Names = {"dghFixed3D", "dghFooter", "dghRowHighlight"};
  set.GetOrd = [](const gui::TObject& o) { return static_cast<const FakeGrid&>(o).options; };
  set.SetOrd = [](gui::TObject& o, int64_t v) { static_cast<FakeGrid&>(o).options = v; };
  gui::RegisterPublishedProperty<FakeGrid>(std::move(set));
}

GridSkinColors Colours() {
  GridSkinColors c;
  c.Global = 0x404040;
  c.GlobalFont = 0x0000F0;
  c.Edit = 0xFFFFFF;
  c.EditFont = 0x000000;
  c.Selection = 0xC08000;
  c.SelectionFont = 0x00FFFF;
  c.Border = 0x102030;
  c.EditOdd = 0xF0F0F0;
  c.EditEven = 0xE0E0E0;
  c.GlobalInfo = 0x00A0A0;
  c.SectionFont = 0x303030;
  return c;
}

TEST(GridColors, PathsReachNestedObjectsAndSkipWhatIsNotPublished) {
  RegisterFakes();
  FakeGrid g;
  struct Case {
    const char* path;
    bool exists;
  } cases[] = {
      {"FixedColor", true},
      {"ControlLook.FixedGradientTo", true},
      {"TitleFont.Color", true},
      {"ControlLook.Missing", false},
      {"Missing.Color", false},
      {"FixedColor.Color", false},  // an ordinal holds no object
      {"ControlLook", true},
      {"", false},
      {"ControlLook.", false},
  };
  for (const Case& c : cases) EXPECT_EQ(PropertyPathExists(&g, c.path), c.exists) << c.path;
  EXPECT_EQ(GetPropertyPath(&g, "ControlLook.FixedGradientMirrorTo"), 14);
  EXPECT_EQ(GetPropertyPath(&g, "ControlLook.Missing"), -1);
}

TEST(GridColors, TheGridTableWritesEveryPublishedNameAndRestoreGivesBackTheOldValues) {
  RegisterFakes();
  FakeGrid g;
  const GridSkinColors c = Colours();
  SavedProperties saved;
  ApplyPropertyValues(&g, GridColorTable(c, &g), saved);
  struct Case {
    const char* path;
    int64_t skinned, own;
  } cases[] = {
      {"FixedColor", c.Global, 1},
      {"TitleFont.Color", c.GlobalFont, 21},
      {"FixedFont.Color", c.GlobalFont, 21},  // written because the grid has a ControlLook
      {"ControlLook.FixedGradientFrom", 0xA0A0A0, 11},  // Mix(G, E, 0.5): Round(159.5) = 160 each
      {"ControlLook.FixedGradientTo", c.Global, 12},
      {"ControlLook.FixedGradientMirrorFrom", 0x3D3D3D, 13},
      {"ControlLook.FixedGradientMirrorTo", 0x535353, 14},  // Round(64 x 0.9 + 255 x 0.1) = 83
  };
  for (const Case& k : cases) EXPECT_EQ(GetPropertyPath(&g, k.path), k.skinned) << k.path;
  EXPECT_EQ(saved.Values.size(), std::size(cases));
  // Writing again (a skin change) keeps the grid's own values, not the first skin's.
  ApplyPropertyValues(&g, GridColorTable(c, &g), saved);
  EXPECT_EQ(saved.Values.size(), std::size(cases));
  RestoreProperties(&g, saved);
  for (const Case& k : cases) EXPECT_EQ(GetPropertyPath(&g, k.path), k.own) << k.path;
  EXPECT_TRUE(saved.Empty());
}

TEST(GridColors, AStringGridTakesItsColourNamesAndKeepsWhatItDoesNotPublish) {
  gui::TStringGrid grid(nullptr);
  const GridSkinColors c = Colours();
  const TColor own[4] = {grid.FixedColor(), grid.SelectionColor(), grid.SelectionTextColor(), grid.GridLineColor()};
  const TColor fixedLine = grid.GridFixedLineColor(), gridColour = grid.Color();
  SavedProperties saved;
  ApplyPropertyValues(&grid, GridColorTable(c, &grid), saved);
  EXPECT_EQ(grid.FixedColor(), c.Global);
  EXPECT_EQ(grid.SelectionColor(), c.Selection);
  EXPECT_EQ(grid.SelectionTextColor(), c.SelectionFont);
  EXPECT_EQ(grid.GridFixedLineColor(), c.Border);
  EXPECT_EQ(grid.GridLineColor(), 0xB2B2B2);  // Mix(E, ET, 0.7): Round(255 x 0.7) = 178
  EXPECT_EQ(grid.Color(), gridColour);        // the cells' colour is the edit family's business
  RestoreProperties(&grid, saved);
  EXPECT_EQ(grid.FixedColor(), own[0]);
  EXPECT_EQ(grid.SelectionColor(), own[1]);
  EXPECT_EQ(grid.SelectionTextColor(), own[2]);
  EXPECT_EQ(grid.GridLineColor(), own[3]);
  EXPECT_EQ(grid.GridFixedLineColor(), fixedLine);
}

TEST(GridColors, SetElementsChangeOnlyWhereNeededAndComeBack) {
  RegisterFakes();
  struct Case {
    int64_t options;
    size_t changes;
  } cases[] = {{0x5, 1}, {0x4, 0}};  // dghFixed3D set: removed and put back; not set: left alone
  for (const Case& k : cases) {
    FakeGrid g;
    g.options = k.options;
    SavedProperties saved;
    ApplySetChanges(&g, GridEhSetChanges(), saved);
    EXPECT_EQ(g.options, k.options & ~int64_t{1});
    EXPECT_EQ(saved.Elements.size(), k.changes);
    ApplyPropertyValues(&g, GridEhColorTable(Colours()), saved);
    EXPECT_EQ(g.evenRow, Colours().EditEven);
    RestoreProperties(&g, saved);
    EXPECT_EQ(g.options, k.options);
    EXPECT_EQ(g.evenRow, 31);
  }
}

}  // namespace
