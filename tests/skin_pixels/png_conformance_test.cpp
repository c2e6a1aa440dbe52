// The PNG reader against libpng on the generated corpus: for every valid file the reader's raw rows equal
// libpng's, and its bitmap is what the conversion rules make of them; every damaged file gives its message.
// The corpus is written into a temporary directory and read back from the files.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "skin/pixels/acpng.h"
#include "tests/skin_pixels/png_corpus.h"
#include "tests/skin_pixels/png_expect.h"
#include "tests/support/temp_dir.h"

namespace skin {
namespace {

using pngcorpus::CorpusFile;

std::string LoadFile(TPNGGraphic& g, const std::string& path) {
  try {
    g.LoadFromFile(path);
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

// The colour a bKGD or tRNS sample shows as in the bitmap: grey levels through the index they convert to,
// direct colours scaled, all through the gamma table when gAMA is given.
TColor ExpectedColor(const pngtest::RawImage& raw, const uint16_t* s, const pngtest::Ancillary& anc) {
  const auto g = pngtest::ExpectedGammaTable(anc.gamma);
  auto corrected = [&](int v) { return uint8_t(anc.hasGamma ? g[size_t(v)] : v); };
  if (raw.colorType == 3) {
    const size_t i = s[0];
    return RGBColor(corrected(anc.plte[3 * i]), corrected(anc.plte[3 * i + 1]), corrected(anc.plte[3 * i + 2]));
  }
  if (raw.colorType == 0 || raw.colorType == 4) {
    const unsigned tb = pngtest::TargetBits(raw.colorType, raw.depth);
    const uint32_t index = pngtest::ExpectedGreyIndex(s[0], raw.depth, tb);
    const uint8_t level = corrected(int(index * (255 / ((1u << tb) - 1))));
    return RGBColor(level, level, level);
  }
  auto scaled = [&](uint16_t v) { return corrected(raw.depth == 16 ? v / 257 : v); };
  return RGBColor(scaled(s[0]), scaled(s[1]), scaled(s[2]));
}

bool NearColor(TColor a, TColor b, int tolerance) {
  return pngtest::Near(ColorRed(uint32_t(a)), ColorRed(uint32_t(b)), tolerance) &&
         pngtest::Near(ColorGreen(uint32_t(a)), ColorGreen(uint32_t(b)), tolerance) &&
         pngtest::Near(ColorBlue(uint32_t(a)), ColorBlue(uint32_t(b)), tolerance);
}

TEST(PngConformance, RawRowsEqualLibpngsAndBitmapsFollowTheRules) {
  const std::vector<CorpusFile> files = pngcorpus::ValidFiles();
  ASSERT_GT(files.size(), 1000u);
  testsupport::TempDir dir;
  for (const CorpusFile& f : files) dir.write(f.name, f.bytes);

  int checkedGamma = 0, checkedBackground = 0, checkedTransparent = 0, adam7 = 0;
  for (const CorpusFile& f : files) {
    SCOPED_TRACE(f.name);
    pngtest::RawImage ref;
    pngtest::Ancillary anc;
    pngcorpus::Extras extras;
    std::string libpngError;
    ASSERT_TRUE(pngcorpus::ReadWithLibpng(f.bytes, ref, anc, extras, libpngError)) << libpngError;

    TPNGGraphic g;
    PngRawRows raw;
    g.RawRows = &raw;
    ASSERT_EQ(LoadFile(g, dir.file(f.name)), "");
    ASSERT_EQ(raw.RowBytes, ref.rowBytes);
    ASSERT_EQ(raw.Width, int32_t(ref.width));
    ASSERT_EQ(raw.Height, int32_t(ref.height));
    EXPECT_TRUE(raw.Data == ref.data) << "raw rows differ from libpng's";
    EXPECT_EQ(pngtest::CompareConverted(g, ref, anc), "");
    adam7 += raw.Interlace == 1;

    const int tolerance = anc.hasGamma ? 1 : 0;
    checkedGamma += anc.hasGamma;
    EXPECT_EQ((g.ImageProperties().Options & ioGammaGiven) != 0, anc.hasGamma);
    if (extras.hasBackground) {
      ++checkedBackground;
      EXPECT_TRUE(NearColor(g.BackgroundColor(), ExpectedColor(ref, extras.background, anc), tolerance))
          << std::hex << g.BackgroundColor();
    } else {
      EXPECT_EQ(g.BackgroundColor(), clWhite);
    }
    if (extras.hasTransparentColor) {
      ++checkedTransparent;
      EXPECT_TRUE(g.Transparent());
      EXPECT_TRUE(NearColor(g.TransparentColor(), ExpectedColor(ref, extras.transparent, anc), tolerance))
          << std::hex << g.TransparentColor();
    } else {
      EXPECT_EQ(g.TransparentColor(), clNone);
      EXPECT_FALSE(g.Transparent());
    }
    if (ref.colorType == 3) {
      for (size_t i = 0; i < 256; ++i)
        ASSERT_EQ(g.TransparencyTable()[i], i < extras.paletteAlpha.size() ? extras.paletteAlpha[i] : 255) << i;
    }
  }
  // The corpus holds what it claims to.
  EXPECT_GT(checkedGamma, 100);
  EXPECT_GT(checkedBackground, 100);
  EXPECT_GT(checkedTransparent, 50);
  EXPECT_EQ(adam7 * 2, int(files.size()));
}

TEST(PngConformance, EveryDamagedFileGivesItsMessage) {
  const std::vector<CorpusFile> files = pngcorpus::DamagedFiles();
  testsupport::TempDir dir;
  for (const CorpusFile& f : files) {
    SCOPED_TRACE(f.name);
    dir.write(f.name, f.bytes);
    TPNGGraphic g;
    EXPECT_EQ(LoadFile(g, dir.file(f.name)), f.message);
    // The same from memory.
    try {
      g.LoadFromMemory(f.bytes.data(), f.bytes.size());
      EXPECT_EQ(f.message, "");
    } catch (const std::exception& e) {
      EXPECT_EQ(e.what(), f.message);
    }
    if (f.name == "damaged-gama-short.png") {
      EXPECT_FALSE(g.ImageProperties().Options & ioGammaGiven);
    } else if (f.name == "damaged-bkgd-short.png") {
      EXPECT_EQ(g.BackgroundColor(), clWhite);
    } else if (f.name == "damaged-trns-short.png") {
      EXPECT_FALSE(g.Transparent());
    } else if (f.name == "damaged-palette-index-beyond-palette.png") {
      ASSERT_EQ(g.PixelFormat(), pf8bit);
      int beyond = 0;
      for (int32_t y = 0; y < g.Height(); ++y)
        for (int32_t x = 0; x < g.Width(); ++x) beyond += g.ScanLine(y)[x] >= 4;
      EXPECT_GT(beyond, 0);
      for (size_t i = 4; i < 256; ++i) {
        ASSERT_EQ(g.Palette()[i], (TRGBQuad{0, 0, 0, 0}));
        ASSERT_EQ(g.TransparencyTable()[i], 255);
      }
    } else if (f.name == "damaged-zlib-trailer-in-its-own-chunk.png" ||
               f.name == "damaged-image-data-after-the-image.png") {
      pngtest::RawImage ref;
      pngtest::Ancillary anc;
      pngcorpus::Extras extras;
      std::string error;
      // The same image as the undamaged base file.
      const auto bases = pngcorpus::DamagedFiles();
      ASSERT_TRUE(pngcorpus::ReadWithLibpng(bases.front().bytes.substr(0, 2) + "N" + bases.front().bytes.substr(3),
                                            ref, anc, extras, error))
          << error;
      EXPECT_EQ(pngtest::CompareConverted(g, ref, anc), "");
    }
  }
  EXPECT_GE(files.size(), 30u);
}

}  // namespace
}  // namespace skin
