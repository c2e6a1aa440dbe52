#pragma once
// A skin manager on a headless system, a skin directory of its own, and the comparison of loaded tables.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "skin/data/sskinmanager.h"
#include "tests/skin_data/skin_fixture.h"
#include "tests/support/temp_dir.h"

namespace skintest {

struct SkinEnv {
  testsupport::TempDir dir;
  skin::PortableSkinSystem sys;
  std::unique_ptr<skin::TsSkinManager> m;

  SkinEnv() {
    m = std::make_unique<skin::TsSkinManager>(sys);
    m->SetSkinDirectory(dir.path().string());
  }
  // A sub-directory of the skin directory holding these files.
  void WriteDirectory(const std::string& name, const std::vector<skin::PackedSkinMember>& members) {
    std::filesystem::create_directories(dir.path() / name);
    for (const auto& f : members) dir.write(name + "/" + f.Name, f.Data);
  }
  void WritePacked(const std::string& name, const std::string& bytes) { dir.write(name + ".asz", bytes); }
  skin::TsStoredSkin& Store(const std::string& name, const std::string& bytes) {
    skin::TsStoredSkin& s = m->InternalSkins.Add();
    s.Name = name;
    s.Data.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    return s;
  }
};

// A checksum of a bitmap's pixels (and size).
inline uint64_t PixelSum(const skin::Bitmap* b) {
  if (!b || b->Empty()) return 0;
  uint64_t h = 1469598103934665603ull ^ uint64_t(b->Width()) << 32 ^ uint64_t(b->Height());
  for (int32_t y = 0; y < b->Height(); ++y) {
    const uint8_t* row = b->ScanLine(y);
    for (size_t i = 0; i < b->RowBytes(); ++i) h = (h ^ row[i]) * 1099511628211ull;
  }
  return h;
}

// Every table of two loaded skins, bitmaps by their pixels; the skin path (where the files were) aside.
inline void ExpectSameTables(const skin::LoadedSkin& a, const skin::LoadedSkin& b) {
  EXPECT_EQ(a.Sections, b.Sections);
  EXPECT_EQ(a.Colors, b.Colors);
  EXPECT_EQ(a.CommonIndexes, b.CommonIndexes);
  skin::TsSkinData da = a.SkinData, db = b.SkinData;
  da.SkinPath = db.SkinPath = "";
  EXPECT_EQ(da, db);
  EXPECT_EQ(PixelSum(a.MasterBitmap.get()), PixelSum(b.MasterBitmap.get()));
  ASSERT_EQ(a.Images.size(), b.Images.size());
  for (size_t i = 0; i < a.Images.size(); ++i) {
    const skin::SkinImageRecord &x = a.Images[i], &y = b.Images[i];
    SCOPED_TRACE(x.SectionName + " " + x.KeyName);
    EXPECT_EQ(x.SectionName, y.SectionName);
    EXPECT_EQ(x.KeyName, y.KeyName);
    EXPECT_EQ(x.SourceRect, y.SourceRect);
    EXPECT_EQ(x.ImageCount, y.ImageCount);
    EXPECT_EQ(x.MaskType, y.MaskType);
    EXPECT_EQ(x.CommonBorderWidth, y.CommonBorderWidth);
    EXPECT_EQ(x.DrawMode, y.DrawMode);
    EXPECT_EQ(x.ImageKind, y.ImageKind);
    EXPECT_EQ((std::array<int16_t, 4>{x.BorderLeft, x.BorderTop, x.BorderRight, x.BorderBottom}),
              (std::array<int16_t, 4>{y.BorderLeft, y.BorderTop, y.BorderRight, y.BorderBottom}));
    EXPECT_EQ(x.TransparentFlag, y.TransparentFlag);
    EXPECT_EQ(x.SectionIndex, y.SectionIndex);
    EXPECT_EQ(PixelSum(x.Bitmap.get()), PixelSum(y.Bitmap.get()));
  }
  ASSERT_EQ(a.ImageFiles.size(), b.ImageFiles.size());
  for (size_t i = 0; i < a.ImageFiles.size(); ++i) {
    EXPECT_EQ(a.ImageFiles[i].FileName, b.ImageFiles[i].FileName);
    EXPECT_EQ(PixelSum(a.ImageFiles[i].Bitmap.get()), PixelSum(b.ImageFiles[i].Bitmap.get()));
  }
}

}  // namespace skintest
