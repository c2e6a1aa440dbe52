// The program's stored skins and the other skin resources, read from the program's resources: in the Windows
// build from the test executable's own resources (the script of station.exe linked in), natively from the bytes
// compiled in.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "skin/data/generalutils.h"
#include "skin/data/imagedecoders.h"
#include "skin/data/packedskin.h"
#include "skin/data/programskinmanager.h"
#include "skin/data/skinloading.h"
#include "skin/pixels/acpng.h"
#include "station/program_resources.h"

namespace {

// The VERSION that a packed skin's own description gives, read apart from the loader.
double describedVersion(std::string_view packed) {
  auto conv = std::make_unique<skin::TacSkinConvertor>();
  skin::TMemoryStream data;
  data.WriteBuffer(packed.data(), int64_t(packed.size()));
  conv->LendPackedData(data);
  const bool read = skin::ExtractPackedSkin(conv);
  if (conv) conv->ReleasePackedData();
  if (!read || !conv->Options) return -1;
  skin::TIniSections ini;
  skin::IniTextToSections(conv->Options->View(), ini);
  return skin::SkinManagerReadSkinVersion(ini);
}

TEST(StoredSkinResources, EachStoredSkinLoadsFromTheProgramResourcesWithItsNameAndVersion) {
  skin::PortableSkinSystem sys;
  skin::TsSkinManager m(sys);
  station::ReadProgramSkinManagerWithResources(m);
  // The stored definition applies the default skin.
  EXPECT_EQ(m.SkinName(), "Spring Willow (internal)");
  EXPECT_EQ(m.SkinData().Active, 1);
  for (std::string_view name : skin::ProgramStoredSkinNames) {
    SCOPED_TRACE(std::string(name));
    const std::string_view packed = station::StoredSkinData(name);
    ASSERT_FALSE(packed.empty());
    m.SetSkinName(std::string(name));
    EXPECT_EQ(m.SkinName(), name);
    EXPECT_EQ(m.Packed, 1);
    const double version = describedVersion(packed);
    EXPECT_EQ(m.SkinData().Version, version);
    EXPECT_GE(version, skin::OldestFullSkinVersion);
    EXPECT_LE(version, skin::NewestKnownSkinVersion);
    EXPECT_GT(m.Skin().Sections.size(), 60u);
    ASSERT_TRUE(m.Skin().MasterBitmap);
    EXPECT_FALSE(m.Skin().MasterBitmap->Empty());
  }
  EXPECT_TRUE(sys.messageBoxes.empty());
  EXPECT_TRUE(station::StoredSkinData("Spring Willow").empty());
}

TEST(StoredSkinResources, TheLibraryResourcesAreReadable) {
  for (const char* name : {"acSHDA", "acSHDI"}) {
    SCOPED_TRACE(name);
    const std::string_view png = station::ProgramResourceData(name);
    skin::TPNGGraphic img;
    img.LoadFromMemory(png.data(), png.size());
    EXPECT_EQ(img.Width(), img.Height());
    EXPECT_GT(img.Width(), 18);  // the shadow is 9 pixels wide on each side
  }
  for (const char* name : {"BLUR5", "MENUBTN"}) {
    SCOPED_TRACE(name);
    const std::string file = station::ProgramBitmapResource(name);
    skin::Bitmap bmp;
    skin::DecodeBmp(file.data(), file.size(), bmp);
    EXPECT_FALSE(bmp.Empty());
  }
  skin::Bitmap menu;
  const std::string file = station::ProgramBitmapResource("MENUBTN");
  skin::DecodeBmp(file.data(), file.size(), menu);
  EXPECT_EQ(menu.Width(), 3 * menu.Height());  // three states side by side
  EXPECT_TRUE(station::ProgramResourceData("NOSUCHRESOURCE").empty());
  EXPECT_TRUE(station::ProgramBitmapResource("NOSUCHRESOURCE").empty());
}

}  // namespace
