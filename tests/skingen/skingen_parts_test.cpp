// The generator's parts whose faults the painters would show: how states become image and mask pixels, and
// the file encoders (read back by the program's own decoders).
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "skin/data/imagedecoders.h"
#include "skin/data/programskinmanager.h"
#include "skin/pixels/acpng.h"
#include "station/program_resources.h"
#include "tools/skingen/encode.h"
#include "tools/skingen/skinbuilder.h"

namespace {

using namespace skingen;

constexpr uint32_t Key = 0xFF00FF;

// One 8 x 8 state: opaque red on the left half, nothing on the right, one half-covered pixel, one visible pixel
// of the key colour.
Image sample() {
  Image img(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 4; ++x) img.Blend(x, y, Rgb(0xC00000), 1.0f);
  img.Blend(5, 4, Rgb(0x00A000), 0.5f);
  img.Blend(1, 6, Rgb(0xFF00FF), 1.0f);
  return img;
}

TEST(StateBlock, MasksHoldTheCoverageAndKeyPixelsStayInTheCornersOfABorderedImage) {
  const Borders corners{2, 2, 2, 2};
  const Pixels8 bordered = StateBlock(States{sample(), sample()}, true, &corners);
  ASSERT_EQ(bordered.w, 16);
  ASSERT_EQ(bordered.h, 16);  // the images, then their masks
  const struct {
    int x, y;
    uint32_t image, mask;
  } cases[] = {
      {0, 0, 0xC00000, 0x000000},   // opaque: the image shows
      {7, 0, Key, 0xFFFFFF},        // transparent in a corner: the key colour, the mask keeps what lies under
      {7, 4, 0x00A000, 0xFFFFFF},   // transparent on an edge: the nearest visible colour, never the key colour
      {5, 4, 0x00A000, 0x7F7F7F},   // half covered
      {1, 6, 0xFE00FE, 0x000000},   // visible magenta is not read as the key colour
      {15, 7, Key, 0xFFFFFF},       // the second state's corner
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    EXPECT_EQ(bordered.At(c.x, c.y) & 0xFFFFFF, c.image);
    EXPECT_EQ(bordered.At(c.x, c.y + 8) & 0xFFFFFF, c.mask);
  }
  // A glyph (no borders) may use the key colour anywhere.
  const Pixels8 glyph = StateBlock(States{sample()}, true, nullptr);
  EXPECT_EQ(glyph.At(7, 4) & 0xFFFFFF, Key);
}

TEST(Encoders, PngAndBitmapFilesReadBackThroughTheProgramsDecoders) {
  Pixels8 p(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) p.At(x, y) = (uint32_t(40 * x + 20) << 24) | uint32_t(x * 50 << 16 | y * 90 << 8 | 7);
  const std::string png = EncodePng(p);
  skin::TPNGGraphic decoded;
  decoded.LoadFromMemory(png.data(), png.size());
  const std::string bmp = EncodeBmp24(p);
  skin::Bitmap fromBmp;
  skin::DecodeBmp(bmp.data(), bmp.size(), fromBmp);
  ASSERT_EQ(decoded.Width(), 5);
  ASSERT_EQ(fromBmp.Height(), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) {
      const uint8_t* a = decoded.ScanLine(y) + x * 4;
      const uint8_t* b = fromBmp.ScanLine(y) + x * 4;
      const uint32_t want = p.At(x, y);
      EXPECT_EQ((uint32_t(a[3]) << 24) | (uint32_t(a[2]) << 16) | (uint32_t(a[1]) << 8) | a[0], want);
      EXPECT_EQ((uint32_t(b[2]) << 16) | (uint32_t(b[1]) << 8) | b[0], want & 0xFFFFFF);
    }
  // An icon file: its directory names each image's size and where its bitmap lies.
  const std::string ico = EncodeIco({Pixels8(16, 16, 0xFF00FF00), Pixels8(32, 32, 0)});
  ASSERT_GT(ico.size(), 38u);
  EXPECT_EQ(ico[2], 1);
  EXPECT_EQ(ico[4], 2);
  EXPECT_EQ(uint8_t(ico[6]), 16);
  EXPECT_EQ(uint8_t(ico[22]), 32);
  const uint32_t second = uint8_t(ico[34]) | uint32_t(uint8_t(ico[35])) << 8;
  EXPECT_EQ(second, 6 + 2 * 16 + 40 + 16 * 16 * 4 + 16 * 4);  // header, directory, first image and its mask
}

TEST(StoredSkinResourceNames, EachStoredSkinHasItsOwnResourceName) {
  EXPECT_EQ(station::StoredSkinResourceName("Spring Willow (internal)"), "SKIN_SPRINGWILLOW");
  EXPECT_EQ(station::StoredSkinResourceName("Vienna Ext (internal)"), "SKIN_VIENNAEXT");
  std::set<std::string> names;
  for (std::string_view n : skin::ProgramStoredSkinNames) names.insert(station::StoredSkinResourceName(n));
  EXPECT_EQ(names.size(), skin::ProgramStoredSkinNames.size());
}

}  // namespace
