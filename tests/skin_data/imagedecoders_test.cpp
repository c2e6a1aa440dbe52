// The skin's image decoders (bitmap files, JPEG), gradient descriptions and case-blind file look-up.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "skin/data/gradientdata.h"
#include "skin/data/imagedecoders.h"
#include "skin/pixels/pixel_helpers.h"
#include "tests/skin_data/skin_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace skin;
using namespace skintest;

// A bitmap file of any depth: header fields and the rows as given (bottom-up unless height < 0).
std::string BmpFile(int32_t w, int32_t h, int bpp, const std::vector<uint32_t>& palette, const std::string& rows,
                    uint32_t compression = 0, uint32_t headerSize = 40) {
  std::string s = "BM";
  const uint32_t off = 14 + headerSize + uint32_t(palette.size()) * 4;
  PutLE32(s, off + uint32_t(rows.size()));
  PutLE32(s, 0);
  PutLE32(s, off);
  PutLE32(s, headerSize);
  PutLE32(s, uint32_t(w));
  PutLE32(s, uint32_t(h));
  PutLE16(s, 1);
  PutLE16(s, uint32_t(bpp));
  PutLE32(s, compression);
  for (int i = 0; i < 3; ++i) PutLE32(s, 0);
  PutLE32(s, uint32_t(palette.size()));
  PutLE32(s, 0);
  s.resize(14 + headerSize, '\0');
  for (uint32_t c : palette) PutLE32(s, c);
  return s + rows;
}

TEST(SkinImageDecoders, BitmapFilesOfEveryDepth) {
  struct Case {
    const char* name;
    std::string file;
    bool alpha;
    std::vector<uint32_t> top;  // the pixels of the top row
  };
  const std::vector<uint32_t> pal = {0x000000, 0xFF00FF, 0x102030, 0xFFFFFF};
  const std::vector<Case> cases = {
      {"1 bit", BmpFile(3, 2, 1, {0x000000, 0x123456}, std::string("\x00\x00\x00\x00\xA0\x00\x00\x00", 8)), false,
       {0x00123456, 0, 0x00123456}},
      {"4 bits", BmpFile(3, 1, 4, pal, std::string("\x12\x30\x00\x00", 4)), false, {0x00FF00FF, 0x00102030, 0xFFFFFF}},
      {"8 bits top-down", BmpFile(2, -2, 8, pal, std::string("\x02\x01\x00\x00\x00\x00\x00\x00", 8)), false,
       {0x00102030, 0x00FF00FF}},
      {"24 bits", BmpFile(1, 1, 24, {}, std::string("\x30\x20\x10\x00", 4)), false, {0x00102030}},
      {"32 bits keep their alpha", BmpFile(1, 1, 32, {}, std::string("\x30\x20\x10\x80", 4)), true, {0x80102030}},
      {"32-bit bit fields", BmpFile(1, 1, 32, {0xFF0000, 0xFF00, 0xFF}, std::string("\x30\x20\x10\x00", 4), 3), true,
       {0x00102030}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Bitmap b;
    EXPECT_EQ(DecodeBmp(k.file.data(), k.file.size(), b), k.alpha);
    ASSERT_EQ(b.Width(), int32_t(k.top.size()));
    EXPECT_EQ(b.PixelFormat(), pf32bit);
    for (size_t x = 0; x < k.top.size(); ++x) EXPECT_EQ(GetPixel32(b, int32_t(x), 0), k.top[x]) << x;
  }
}

TEST(SkinImageDecoders, DamagedBitmapFilesAreRefused) {
  const std::string good = BmpFile(2, 2, 24, {}, std::string(16, '\x40'));
  auto with = [&good](size_t at, uint32_t v) {
    std::string s = good;
    for (int i = 0; i < 4; ++i) s[at + size_t(i)] = char(v >> (8 * i));
    return s;
  };
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"not a bitmap", "XY" + good.substr(2)},
      {"width times height overflows", with(18, 0x7FFFFFFF)},
      {"rows beyond the file", with(22, 0x10000)},
      {"pixel offset beyond the file", with(10, 0xFFFFFFF0)},
      {"header beyond the file", with(14, 0x7FFFFFF0)},
      {"negative width", with(18, uint32_t(-2))},
      {"run-length compressed", BmpFile(2, 2, 8, {0, 0}, std::string(8, '\0'), 1)},
      {"16 bits", BmpFile(2, 2, 16, {}, std::string(8, '\0'))},
      {"truncated", good.substr(0, good.size() - 1)},
      {"empty", ""},
  };
  for (const auto& [name, file] : cases) {
    Bitmap b;
    EXPECT_THROW(DecodeBmp(file.data(), file.size(), b), EInvalidGraphic) << name;
    EXPECT_TRUE(b.Empty()) << name;
  }
  Bitmap b;
  EXPECT_NO_THROW(DecodeBmp(good.data(), good.size(), b));
}

TEST(SkinImageDecoders, JpegFilesAndTheirErrors) {
  const std::string jpeg = Jpeg(24, 8, [](int x, int) { return x < 12 ? 0xF04010u : 0x2060E0u; });
  Bitmap b;
  DecodeJpeg(jpeg.data(), jpeg.size(), b);
  ASSERT_EQ(b.Width(), 24);
  ASSERT_EQ(b.Height(), 8);
  const uint32_t p = GetPixel32(b, 3, 3);
  EXPECT_EQ(PixelA(p), 0u);
  EXPECT_NEAR(int(PixelR(p)), 0xF0, 8);
  EXPECT_NEAR(int(PixelB(p)), 0x10, 8);
  for (const std::string& bad : {std::string("garbage"), jpeg.substr(0, 40), std::string()}) {
    Bitmap c;
    EXPECT_THROW(DecodeJpeg(bad.data(), bad.size(), c), EInvalidGraphic);
    EXPECT_TRUE(c.Empty());
  }
}

TEST(SkinGradientData, StepsOfFiveFields) {
  PortableSkinSystem sys;
  GradientStepArray steps{{1, 2, 3, 4}};
  ParseGradientSteps("16777215;0;100;0;0", steps, sys);
  EXPECT_EQ(steps, (GradientStepArray{{0xFFFFFF, 0, 100, 0}}));
  ParseGradientSteps("1;2;3;4", steps, sys);  // four fields: no step
  EXPECT_TRUE(steps.empty());
  ParseGradientSteps(";;1;;2;150;1;x;;3;4;-5;2", steps, sys);  // empty fields do not count; the fifth is not read
  EXPECT_EQ(steps, (GradientStepArray{{1, 2, 100, 1}}));
  ParseGradientSteps("-2147483633;0;-4;2;0", steps, sys);  // a system colour, a negative percent
  EXPECT_EQ(steps, (GradientStepArray{{TColor(sys.SysColor(15)), 0, 0, 2}}));
  EXPECT_THROW(ParseGradientSteps("1;2;3;four;5", steps, sys), EConvertError);
}

TEST(SkinFiles, NamesAreFoundWithoutRegardToCase) {
  testsupport::TempDir dir;
  std::filesystem::create_directories(dir.path() / "Skin" / "Images");
  dir.write("Skin/Images/Glow.Png", "x");
  const std::string base = dir.path().string();
  EXPECT_EQ(FindFileNoCase(base + "/Skin/Images/Glow.Png"), base + "/Skin/Images/Glow.Png");
  EXPECT_FALSE(FindFileNoCase(base + "\\SKIN\\images\\GLOW.PNG").empty());
  EXPECT_TRUE(FindFileNoCase(base + "/SKIN/images/none.png").empty());
  EXPECT_TRUE(FindFileNoCase(base + "/SKIN/images").empty());  // a directory is not a file
}

}  // namespace
