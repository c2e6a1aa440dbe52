// The skin's image decoders (bitmap files, JPEG), gradient descriptions and case-blind file look-up.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <string>
#include <vector>

#include "skin/data/gradientdata.h"
#include "skin/data/imagedecoders.h"
#include "skin/data/streams.h"
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

// The width and height an image file's header gives, read before any pixel: what the decoder then gives.
TEST(SkinImageDecoders, HeadersGiveTheSizeTheDecodersGive) {
  const std::string jpeg = Jpeg(24, 8, [](int, int) { return 0x336699u; });
  std::string core = Bmp24(1, 1, [](int, int) { return 0u; }).substr(0, 26);
  core[14] = 12;  // a core header: 16-bit width and height
  core[18] = 9, core[19] = 0, core[20] = 2, core[21] = 1;
  const struct {
    const char* name;
    std::string file;
    bool told;
    int64_t w, h;
  } cases[] = {
      {"bitmap", BmpFile(5, 3, 24, {}, std::string(24, '\0')), true, 5, 3},
      {"bitmap top-down", BmpFile(5, -3, 24, {}, std::string(24, '\0')), true, 5, 3},
      {"bitmap with a core header", core, true, 9, 258},
      {"PNG", PngRgba(7, 4, [](int, int) { return 0x80FF0000u; }), true, 7, 4},
      {"JPEG", jpeg, true, 24, 8},
      // Application segments of 70,000 bytes together before the frame (past the first 64 KiB that a folder's
      // image is sized by), and stray bytes before a marker (libjpeg passes over them, and so does the header's
      // reader).
      {"JPEG with a long segment first", jpeg.substr(0, 2) + "\xFF\xE1\x11\x72" + std::string(0x1170, 'x') + "\xFF\xE2\xFF\xFF" +
           std::string(0xFFFD, 'y') + jpeg.substr(2), true, 24, 8},
      {"JPEG with stray bytes", jpeg.substr(0, 2) + "\x14\x15" + jpeg.substr(2), true, 24, 8},
      {"JPEG cut before its frame", jpeg.substr(0, 25), false, 0, 0},
      {"a bitmap header cut short", BmpFile(5, 3, 24, {}, "").substr(0, 20), false, 0, 0},
      {"text", "[GLOBALINFO]\r\n", false, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    int64_t w = -1, h = -1;
    EXPECT_EQ(ImageFileDimensions(c.file.data(), c.file.size(), w, h), c.told);
    if (!c.told) continue;
    EXPECT_EQ(w, c.w);
    EXPECT_EQ(h, c.h);
    if (c.file[0] == '\xFF') {
      Bitmap b;
      DecodeJpeg(c.file.data(), c.file.size(), b);
      EXPECT_EQ(b.Width(), c.w);
      EXPECT_EQ(b.Height(), c.h);
    }
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

// A file read whole within a bound is sized before it is read; one that is no regular file (a pipe: its open would
// wait for a writer for ever, a directory) is refused before anything is read.
TEST(SkinFiles, AreReadWithinABoundAndOnlyWhenRegular) {
  testsupport::TempDir dir;
  dir.write("ten.bmp", "0123456789");
  TMemoryStream s;
  s.LoadFromFile(dir.file("ten.bmp"), 10);
  EXPECT_EQ(s.Bytes(), "0123456789");
  try {
    s.LoadFromFile(dir.file("ten.bmp"), 9);
    ADD_FAILURE() << "read past its bound";
  } catch (const EFileTooLarge& e) {
    EXPECT_EQ(e.Size, 10);
    EXPECT_EQ(e.Max, 9);
  }
  std::vector<std::string> notFiles = {"."};
#ifndef _WIN32
  ASSERT_EQ(::mkfifo(dir.file("pipe.bmp").c_str(), 0600), 0);
  notFiles.push_back("pipe.bmp");
#endif
  for (const std::string& name : notFiles) {
    SCOPED_TRACE(name);
    try {
      TFileReader f(dir.file(name));
      ADD_FAILURE() << "opened";
    } catch (const EFOpenError& e) {
      EXPECT_EQ(e.Why, "it is not a regular file");
    }
  }
  EXPECT_THROW(TFileReader(dir.file("absent.bmp")), EFOpenError);
}

}  // namespace
