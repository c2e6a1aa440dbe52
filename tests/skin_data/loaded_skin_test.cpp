#include "skin/data/loaded_skin.h"

#include <gtest/gtest.h>

#include "skin/data/skin_manager_options.h"
#include "skin/pixels/graph_utils.h"
#include "tests/support/test_skin.h"

namespace skin {
namespace {

TEST(LoadedSkin, SectionLookUpIsExact) {
  const LoadedSkin s = test::MakeTestSkin();
  EXPECT_EQ(SkinManagerGetSectionIndex(s, "BUTTON"), 1);
  EXPECT_EQ(SkinManagerGetSectionIndex(s, "button"), -1);
  EXPECT_EQ(SkinManagerGetSectionIndex(s, ""), -1);
  EXPECT_TRUE(SkinManagerIsValidSectionIndex(s, 3));
  EXPECT_FALSE(SkinManagerIsValidSectionIndex(s, 4));
  EXPECT_FALSE(SkinManagerIsValidSectionIndex(s, -1));
  EXPECT_FALSE(SkinManagerIsValidSectionIndex(LoadedSkin{}, 0));
  EXPECT_TRUE(SkinManagerIsValidImageIndex(s, 2));
  EXPECT_FALSE(SkinManagerIsValidImageIndex(s, 3));
}

TEST(LoadedSkin, ImagesAreInheritedThroughTheParentChain) {
  LoadedSkin s = test::MakeTestSkin();
  EXPECT_EQ(SkinManagerGetImageIndex(s, 3, "BORDERSMASK"), 0);  // SPEEDBUTTON from BUTTON
  EXPECT_EQ(SkinManagerGetTextureIndex(s, 3, "PATTERN"), 1);
  EXPECT_EQ(SkinManagerGetTextureIndex(s, 3, "BORDERSMASK"), -1);  // not a texture
  EXPECT_EQ(SkinManagerGetImageIndex(s, 2, "BORDERSMASK"), -1);
  EXPECT_EQ(SkinManagerGetImageIndex(s, -1, "BORDERSMASK"), -1);
  EXPECT_EQ(SkinManagerGetSectionImageIndexEx(s, 3, "SPEEDBUTTON", "BORDERSMASK"), 0);
  EXPECT_EQ(SkinManagerGetSectionImageIndexEx(s, 3, "BUTTON", "BORDERSMASK"), -1);  // parent named as given
  EXPECT_EQ(SkinManagerGetImageIndexByName(s, "GLOBALINFO", "BICONCLOSE"), 2);
  EXPECT_EQ(SkinManagerGetImageIndexByName(s, "SPEEDBUTTON", "BORDERSMASK"), -1);  // no inheritance
  // Chains that loop end: A -> B -> A, and a section naming itself.
  s.Sections[2].ParentName = "SPEEDBUTTON";
  s.Sections[3].ParentName = "EDIT";
  EXPECT_EQ(SkinManagerGetImageIndex(s, 2, "GLOW"), -1);
  EXPECT_EQ(SkinManagerGetSectionImageIndexEx(s, 2, "EDIT", "GLOW"), -1);
  s.Sections[2].ParentName = "EDIT";
  EXPECT_EQ(SkinManagerGetImageIndex(s, 2, "GLOW"), -1);
}

TEST(LoadedSkin, StatesAreClampedToTheBlocksThatExist) {
  const LoadedSkin s = test::MakeTestSkin();
  const SkinSectionRecord& button = s.Sections[1];
  EXPECT_EQ(ClampSectionState(button, 0), 0);
  EXPECT_EQ(ClampSectionState(button, 2), 1);
  EXPECT_EQ(ClampSectionState(button, 9), 1);
  EXPECT_EQ(SectionStateBlock(button, 5).Color, 0xE0E0E0);
  const SkinSectionRecord& edit = s.Sections[2];  // a state count of 0 counts as 1
  EXPECT_EQ(SectionStateCount(edit), 1);
  EXPECT_EQ(ClampSectionState(edit, 1), 0);
  EXPECT_EQ(SectionStateBlock(edit, 1).Color, 0xFFFFFF);
  EXPECT_EQ(StateKeyNames[1][9], "HOTGRADIENTDATA");
}

TEST(LoadedSkin, FrameGeometryAndBorderWidths) {
  LoadedSkin s = test::MakeTestSkin();
  SkinImageRecord r;
  r.SourceRect = TRect{0, 0, 31, 61};
  r.MaskType = 1;
  EXPECT_EQ(ImageFrameHeight(r), 30);
  r.MaskType = 2;
  EXPECT_EQ(ImageFrameHeight(r), 20);
  r.MaskType = -1;
  EXPECT_EQ(ImageFrameHeight(r), 0);
  r.ImageCount = 0;
  EXPECT_EQ(ImageStateWidth(r), 0);
  r.ImageCount = 3;
  EXPECT_EQ(ImageStateWidth(r), 10);
  EXPECT_EQ(SkinImageStateWidth(s, 0), 8);
  EXPECT_EQ(SkinImageWidth(s, 0), 16);
  EXPECT_EQ(SkinImageHeight(s, 0), 8);
  EXPECT_EQ(SkinImageHeight(s, 9), 0);
  EXPECT_EQ(SkinMaskBorderLeft(s, 0), 2);
  EXPECT_EQ(SkinMaskBorderRight(s, 0), 3);
  EXPECT_EQ(SkinMaskBorderBottom(s, 0), 1);  // its own is 0: the common width
  s.Images[0].CommonBorderWidth = 0;
  EXPECT_EQ(SkinMaskBorderBottom(s, 0), 8);  // then one frame
  s.Images[0].BorderLeft = 0;
  s.Images[0].ImageCount = 0;
  EXPECT_EQ(SkinMaskBorderLeft(s, 0), 16);   // an image count of 0 counts as 1
  EXPECT_EQ(SkinMaskBorderTop(s, -3), 0);
  EXPECT_EQ(SkinImageBitmap(s, s.Images[0]), s.MasterBitmap.get());
  EXPECT_EQ(SkinImageBitmap(s, s.Images[2]), s.Images[2].Bitmap.get());
}

TEST(LoadedSkin, ColourTableDefaults) {
  const LoadedSkin s;
  EXPECT_EQ(SkinManagerGlobalColor(s), ColorToRGB(clBtnFace));
  EXPECT_EQ(SkinManagerEditColor(s), ColorToRGB(clWindow));
  EXPECT_EQ(SkinManagerEditFontColor(s), ColorToRGB(clWindowText));
  EXPECT_EQ(SkinManagerHighlightColor(s, true), ColorToRGB(clHighlight));
  EXPECT_EQ(SkinManagerHighlightFontColor(s, false), ColorToRGB(clHighlightText));
  EXPECT_EQ(s.Colors[scBottomContour], 0xFF0000);
  EXPECT_EQ(s.Colors[scEditBgAlert], 0x95A7E9);
  EXPECT_EQ(s.Colors[scEditBgEven], MixColorsRatio(ColorToRGB(clWindowText), ColorToRGB(clWindow), 0.05));
  EXPECT_EQ(s.SkinData.TitleHeight, 30);
  EXPECT_EQ(s.SkinData.ComboMargin, 2);
}

TEST(ManagerOptions, DefaultsAndFlagsByIndex) {
  TacOptions o;
  o.NoMouseHover = true;
  EXPECT_TRUE(SkinOptionFlag(o, 1));
  EXPECT_FALSE(SkinOptionFlag(o, 0));
  EXPECT_FALSE(SkinOptionFlag(o, 7));
  const TacAnimEffects a;
  EXPECT_FALSE(a.BlendOnMoving.Active);
  EXPECT_EQ(a.BlendOnMoving.Time, 1000);
  EXPECT_EQ(a.BlendOnMoving.BlendValue, 170);
  EXPECT_EQ(a.Minimizing.Time, 120);
  EXPECT_EQ(a.SkinChanging.Mode, atFading);
  EXPECT_EQ(a.FormShow.Mode, atAero);
  EXPECT_EQ(TacScrollBarsSupport{}.ScrollSize, -1);
}

}  // namespace
}  // namespace skin
