// The manager's option objects, its stored skins and the program's stored manager.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/data/programskinmanager.h"
#include "skin/data/skin_manager_options.h"
#include "skin/data/sskinmanager.h"

namespace {

using namespace skin;

TEST(SkinManagerOptions, OptionFlagsByIndex) {
  TacOptions o;
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(SkinOptionFlag(o, i));
  SetSkinOptionFlag(o, 4, true);
  EXPECT_TRUE(o.ChangeSysColors);
  SetSkinOptionFlag(o, 0, true);
  EXPECT_TRUE(o.CheckEmptyAlpha);
  SetSkinOptionFlag(o, 7, true);  // no such option
  EXPECT_EQ((std::vector<bool>{SkinOptionFlag(o, 0), SkinOptionFlag(o, 1), SkinOptionFlag(o, 2), SkinOptionFlag(o, 3),
                               SkinOptionFlag(o, 4), SkinOptionFlag(o, 7)}),
            (std::vector<bool>{true, false, false, false, true, false}));
}

TEST(SkinManagerOptions, StoredSkins) {
  PortableSkinSystem sys;
  TsSkinManager m(sys);
  int changes = 0;
  m.OnSkinListChanged = [&changes](TsSkinManager&) { ++changes; };
  TsStoredSkin& a = m.InternalSkins.Add();
  EXPECT_EQ(a.Shadow1Blur, -1);
  EXPECT_EQ(a.BorderColor, 0xFF00FF);
  EXPECT_EQ(a.Data.Size(), 0);
  a.Name = "Topaz (internal)";
  a.Data.WriteBuffer("ASzf", 4);
  a.Version = 8.1;
  a.MasterBitmap.SetSize(3, 2);
  TsStoredSkin& b = m.InternalSkins.Add();
  b.Assign(a);
  EXPECT_EQ(b.Name, a.Name);
  EXPECT_EQ(b.Data.Bytes(), "ASzf");
  EXPECT_EQ(b.MasterBitmap.Width(), 3);
  EXPECT_EQ(b.Version, 8.1);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(m.InternalSkins.GetOwner(), &m);
  EXPECT_EQ(m.InternalSkins.IndexOf("Topaz (internal)"), 0);
  EXPECT_EQ(m.InternalSkins.IndexOf("topaz (internal)"), -1);
  m.InternalSkins.Delete(0);
  EXPECT_EQ(m.InternalSkins.Count(), 1);
  EXPECT_EQ(changes, 3);
}

TEST(SkinManagerOptions, ANewManagerHasTheDefaults) {
  PortableSkinSystem sys;
  TsSkinManager m(sys);
  EXPECT_TRUE(m.Active());
  EXPECT_TRUE(m.IsDefault());
  EXPECT_EQ(DefaultManager(), &m);
  {
    TsSkinManager second(sys);
    EXPECT_FALSE(second.IsDefault());
  }
  EXPECT_TRUE(m.SkinnedPopups);
  EXPECT_FALSE(m.ExtendedBorders());
  EXPECT_TRUE(m.AnimEffects.FormShow.Active);
  EXPECT_EQ(m.AnimEffects.SkinChanging.Mode, atFading);
  EXPECT_EQ(m.ThirdParty[tpButtons], "TButton");
  EXPECT_EQ(m.ThirdParty[tpEdits], " ");
  EXPECT_EQ(m.ThirdPartyLists[tpButtons], (std::vector<std::string>{"TButton"}));
  EXPECT_EQ(m.Version(), "10.02");
  EXPECT_EQ(m.SkinInfo(), "N/A");
}

TEST(SkinManagerOptions, TheProgramsStoredManager) {
  PortableSkinSystem sys;
  TsSkinManager m(sys);
  std::vector<std::string> events;
  m.OnActivate = [&events](TsSkinManager&) { events.push_back("activate"); };
  ReadProgramSkinManager(m);
  EXPECT_EQ(m.ComponentState, 0);
  ASSERT_EQ(m.InternalSkins.Count(), 8);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(m.InternalSkins[i].Name, ProgramStoredSkinNames[size_t(i)]);
    EXPECT_EQ(m.InternalSkins[i].Shadow1Color, 0);
  }
  EXPECT_EQ(m.InternalSkins.IndexOf("Lucky (internal)"), 7);
  EXPECT_EQ(m.SkinName(), "Spring Willow (internal)");
  EXPECT_EQ(m.SkinDirectory(), "c:\\Skins");
  EXPECT_TRUE(m.Effects.AllowOuterEffects);
  EXPECT_TRUE(m.ExtendedBordersOption());
  EXPECT_EQ(m.AnimEffects.BlendOnMoving.Time, 500);
  EXPECT_TRUE(m.AnimEffects.BlendOnMoving.Active);
  EXPECT_EQ(m.AnimEffects.Minimizing.Time, 150);
  EXPECT_EQ(m.AnimEffects.DialogHide.Time, 100);
  EXPECT_FALSE(m.ButtonsOptions.ShowFocusRect);
  EXPECT_EQ(m.MenuSupport.IcoLineSkin, "ICOLINE");
  EXPECT_EQ(m.MenuSupport.ExtraLineFont.Name, "Comic Sans MS");
  EXPECT_TRUE(SkinOptionFlag(m.Options, ofChangeSysColors));
  EXPECT_TRUE(m.Options.NativeBordersMaximized);
  EXPECT_EQ(m.Options.OptimizingPriority, opMemory);
  // The class lists name the standard controls of the program's windows, each in the category of its adapter;
  // the foreign families it does not use hold a single blank.
  const std::pair<int, std::vector<std::string>> lists[] = {
      {tpButtons, {"TButton"}},
      {tpCheckBoxes, {"TCheckBox", "TRadioButton", "TGroupButton"}},
      {tpGroupBoxes, {"TGroupBox", "TRadioGroup"}},
      {tpPanels, {"TPanel", "TPage", "TGridPanel"}},
      {tpSpeedButton, {"TSpeedButton"}},
      {tpUpDown, {"TUpDown"}},
      {tpWWEdits, {" "}},
      {tpNativePaint, {" "}},
      {tpTrackBar, {"TTrackBar"}},
  };
  for (const auto& [category, classes] : lists) EXPECT_EQ(m.ThirdPartyLists[size_t(category)], classes) << category;
  ASSERT_EQ(m.ThirdPartyLists[tpEdits].size(), 12u);
  EXPECT_EQ(m.ThirdPartyLists[tpEdits][1], "TMemo");
  EXPECT_EQ(m.ThirdPartyLists[tpEdits][8], "TRichEdit");
  // The stored skins carry no data yet: the chosen one loads as an empty skin, applied once the definition was read.
  EXPECT_EQ(m.SkinData().Active, 1);
  EXPECT_EQ(m.Skin().Sections.size(), 1u);
  EXPECT_EQ(events, (std::vector<std::string>{"activate"}));
  EXPECT_TRUE(sys.messageBoxes.empty());
}

}  // namespace
