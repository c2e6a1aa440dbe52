// Picture formats by extension and image lists: what the skinned image lists and the program's start-up build on.
#include <gtest/gtest.h>

#include <string>

#include "gui/gui.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(Pictures, FilesAreReadByTheClassRegisteredForTheirExtension) {
  testsupport::TempDir dir;
  gui::TBitmap source;
  source.SetPixelFormat(gui::TPixelFormat::pf24bit);
  source.SetSize(3, 2);
  const std::string path = (dir.path() / "Image.BMP").string();
  source.SaveToFile(path);

  gui::TPicture picture;
  picture.LoadFromFile(path);
  ASSERT_NE(picture.Graphic(), nullptr);
  EXPECT_STREQ(picture.Graphic()->ClassName(), "TBitmap");
  EXPECT_EQ(picture.Width(), 3);
  EXPECT_EQ(picture.Height(), 2);

  try {
    picture.LoadFromFile((dir.path() / "notes.xyz").string());
    FAIL() << "an unknown extension was read";
  } catch (const gui::EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "Unknown picture file extension (.xyz)");
  }
  EXPECT_STREQ(picture.Graphic()->ClassName(), "TBitmap") << "a failed load keeps the picture";

  // A later registration of an extension replaces the earlier one; unregistering a class removes its extensions.
  gui::TPicture::RegisterFileFormat(".XYZ", "Test pictures", "TTestPicture",
                                    [] { return std::unique_ptr<gui::TGraphic>(std::make_unique<gui::TBitmap>()); });
  ASSERT_NE(gui::TPicture::FindFileFormat("xyz"), nullptr);
  EXPECT_EQ(gui::TPicture::FindFileFormat(".Xyz")->Description, "Test pictures");
  gui::TPicture::UnregisterGraphicClass("TTestPicture");
  EXPECT_EQ(gui::TPicture::FindFileFormat("xyz"), nullptr);
  EXPECT_NE(gui::TPicture::FindFileFormat("bmp"), nullptr);
}

const gui::TBitmap& Image32(int w, int h, uint32_t (*pixel)(int x, int y)) {
  static gui::TBitmap bmp;
  bmp.SetPixelFormat(gui::TPixelFormat::pf32bit);
  bmp.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t p = pixel(x, y);
      uint8_t* d = bmp.ScanLine(y) + 4 * x;
      d[0] = uint8_t(p);
      d[1] = uint8_t(p >> 8);
      d[2] = uint8_t(p >> 16);
      d[3] = uint8_t(p >> 24);
    }
  return bmp;
}

uint32_t PixelOf(const gui::TBitmap& bmp, int x, int y) {
  const uint8_t* p = bmp.ScanLine(y) + 4 * x;
  return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
}

TEST(ImageLists, ImagesKeepTheirAlphaAndTakeTheListsSize) {
  gui::TImageList list(nullptr);
  list.SetSize(4, 2);
  int changes = 0, linked = 0;
  list.OnChange = [&](gui::TObject*) { ++changes; };
  {
    gui::TChangeLink link;
    link.OnChange = [&](gui::TObject*) { ++linked; };
    list.RegisterChanges(&link);
    EXPECT_EQ(list.AddImage32(Image32(4, 2, [](int x, int y) { return uint32_t(0x80102030 + x + 16 * y); })), 0);
    EXPECT_EQ(list.AddImage32(Image32(2, 1, [](int x, int) { return x ? 0xFF00FF00u : 0x400000FFu; })), 1);
    EXPECT_EQ(linked, 2);
  }  // the link unregisters itself
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(changes, 2);

  gui::TBitmap out;
  ASSERT_TRUE(list.GetImage32(0, out));
  EXPECT_EQ(out.Width(), 4);
  EXPECT_EQ(PixelOf(out, 3, 1), 0x80102030u + 3 + 16);
  ASSERT_TRUE(list.GetImage32(1, out));
  EXPECT_EQ(PixelOf(out, 0, 1), 0x400000FFu) << "scaled by nearest pixel";
  EXPECT_EQ(PixelOf(out, 3, 0), 0xFF00FF00u);
  EXPECT_FALSE(list.GetImage32(2, out));

  list.SetSize(8, 8);
  EXPECT_EQ(list.Count(), 0) << "a new size empties the list";
  EXPECT_EQ(changes, 3);
}

}  // namespace
