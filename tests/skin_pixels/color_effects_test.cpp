#include "skin/pixels/color_effects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <thread>

#include "skin/pixels/graph_utils.h"
#include "skin/pixels/masked_stretch.h"
#include "skin/pixels/pixel_helpers.h"
#include "tests/skin_pixels/test_pixels.h"

namespace skin {
namespace {

using test::Filled;
using test::RandomBitmap;
using test::SamePixels;

TEST(ColourFunctions, Brightness) {
  EXPECT_EQ(ChangeColorBrightness(RGBColor(250, 10, 0), 10), RGBColor(255, 20, 10));
  EXPECT_EQ(ChangeColorBrightness(RGBColor(5, 10, 200), -20), RGBColor(0, 0, 180));
  EXPECT_EQ(ChangeColorBrightness(TColor(0x01020304), 0), TColor(0x01020304));
}

TEST(ColourFunctions, Saturation) {
  EXPECT_EQ(ChangeColorSaturation(RGBColor(200, 100, 0), -90), RGBColor(165, 100, 35));
  EXPECT_EQ(ChangeColorSaturation(RGBColor(200, 100, 0), 0), RGBColor(200, 100, 0));
  for (int amount : {-100, -37, 1, 90, 255}) EXPECT_EQ(ChangeColorSaturation(RGBColor(77, 77, 77), amount), RGBColor(77, 77, 77));
  // More saturation pushes the channels apart and clamps: grey 100; 200 - 255 x (-100) div 255 = 300 -> 255.
  EXPECT_EQ(ChangeColorSaturation(RGBColor(200, 100, 0), 255), RGBColor(255, 100, 0));
}

TEST(ColourFunctions, Hue) {
  EXPECT_EQ(ChangeColorHue(RGBColor(255, 0, 0), 120), RGBColor(0, 255, 0));
  EXPECT_EQ(ChangeColorHue(RGBColor(255, 0, 0), 240), RGBColor(0, 0, 255));
  EXPECT_EQ(ChangeColorHue(RGBColor(255, 0, 0), -120), RGBColor(0, 0, 255));
  EXPECT_EQ(ChangeColorHue(RGBColor(200, 100, 50), 360), RGBColor(200, 100, 50));
  EXPECT_EQ(ChangeColorHue(RGBColor(200, 100, 50), 720 + 60), ChangeColorHue(RGBColor(200, 100, 50), 60));
  EXPECT_EQ(ChangeColorHue(RGBColor(90, 90, 90), 77), RGBColor(90, 90, 90));
  EXPECT_EQ(ChangeColorHue(RGBColor(255, 128, 0), 0), RGBColor(255, 128, 0));
  // Largest and smallest channel stay; the middle one moves: orange (30 deg) + 30 = yellow.
  EXPECT_EQ(ChangeColorHue(RGBColor(255, 128, 1), 30), RGBColor(255, 255, 1));
}

TEST(PixelFunctions, SkipTheKeyAndKeepAlpha) {
  Bitmap b(3, 1, pf32bit);
  SetPixel32(b, 0, 0, KeyPixel);
  SetPixel32(b, 1, 0, MakePixel(0, 0, 0, 200));
  SetPixel32(b, 2, 0, 0xFFFF00FF);  // magenta but opaque: not the key
  ApplyPixelFunc(b, PixelBrightness, 50, KeyColor);
  EXPECT_EQ(GetPixel32(b, 0, 0), KeyPixel);
  EXPECT_EQ(GetPixel32(b, 1, 0), MakePixel(50, 50, 50, 200));
  EXPECT_EQ(GetPixel32(b, 2, 0), MakePixel(255, 50, 255, 255));
  ApplyPixelFunc(b, PixelBrightness, -50, clNone);  // no key: every pixel
  EXPECT_EQ(GetPixel32(b, 0, 0), MakePixel(205, 0, 205, 0));

  uint32_t p = MakePixel(10, 200, 30, 77);
  PixelTone(p, RGBColor(255, 128, 0));  // max 200: R 200 x 255 shr 8, G 200 x 128 shr 8, B 0
  EXPECT_EQ(p, MakePixel(0, 100, 199, 77));
  p = MakePixel(0, 0, 255, 9);
  PixelHue(p, 120);
  EXPECT_EQ(p, MakePixel(0, 255, 0, 9));
  p = MakePixel(0, 100, 200, 9);
  PixelSaturation(p, -90);
  EXPECT_EQ(p, MakePixel(35, 100, 165, 9));

  Bitmap g(2, 1, pf32bit);
  SetPixel32(g, 0, 0, MakePixel(10, 20, 31, 5));
  SetPixel32(g, 1, 0, KeyPixel);
  GrayScaleBitmapKey(g, KeyColor);
  EXPECT_EQ(GetPixel32(g, 0, 0), MakePixel(20, 20, 20, 5));
  EXPECT_EQ(GetPixel32(g, 1, 0), KeyPixel);
  GrayScaleBitmap(g);
  EXPECT_EQ(GetPixel32(g, 1, 0), MakePixel(170, 170, 170, 0));
}

TEST(Blur, AveragesNeighboursRowsThenColumns) {
  Bitmap b(3, 1, pf32bit);
  SetPixel32(b, 0, 0, 0);
  SetPixel32(b, 1, 0, 0x1E1E1E1E);  // 30
  SetPixel32(b, 2, 0, 0x3C3C3C3C);  // 60
  BlurBitmap(b);
  EXPECT_EQ(GetPixel32(b, 0, 0), 0x0F0F0F0Fu);  // (0 + 30) / 2
  EXPECT_EQ(GetPixel32(b, 1, 0), 0x1E1E1E1Eu);  // 90 / 3
  EXPECT_EQ(GetPixel32(b, 2, 0), 0x2D2D2D2Du);  // 90 / 2
  Bitmap c(1, 3, pf32bit);
  SetPixel32(c, 0, 1, 0x09090909);
  BlurBitmap(c);
  EXPECT_EQ(GetPixel32(c, 0, 0), 0x04040404u);
  EXPECT_EQ(GetPixel32(c, 0, 1), 0x03030303u);
  Bitmap flat = Filled(7, 5, 0x80402010);
  BlurBitmap(flat);
  EXPECT_TRUE(SamePixels(flat, Filled(7, 5, 0x80402010)));
}

TEST(Resampler, KernelValues) {
  EXPECT_DOUBLE_EQ(ResampleFilterValue(rfBox, -0.5), 1.0);
  EXPECT_DOUBLE_EQ(ResampleFilterValue(rfBox, 0.5), 0.0);
  EXPECT_DOUBLE_EQ(ResampleFilterValue(rfTriangle, 0.25), 0.75);
  EXPECT_DOUBLE_EQ(ResampleFilterValue(rfHermite, 0.5), 0.5);
  EXPECT_DOUBLE_EQ(ResampleFilterValue(rfBell, 0.0), 0.75);
  EXPECT_DOUBLE_EQ(ResampleFilterValue(rfBell, 1.0), 0.125);
  EXPECT_DOUBLE_EQ(ResampleFilterValue(rfSpline, 0.0), 2.0 / 3.0);
  EXPECT_DOUBLE_EQ(ResampleFilterValue(rfSpline, 1.0), 1.0 / 6.0);
  EXPECT_NEAR(ResampleFilterValue(rfLanczos, 0.5), 6.0 / (3.14159265358979 * 3.14159265358979), 1e-12);
  EXPECT_NEAR(ResampleFilterValue(rfLanczos, 1.0), 0.0, 1e-15);
  EXPECT_NEAR(ResampleFilterValue(rfMitchell, 0.0), 8.0 / 9.0, 1e-15);
  EXPECT_NEAR(ResampleFilterValue(rfMitchell, 1.0), 1.0 / 18.0, 1e-15);
  for (int f = rfBox; f <= rfMitchell; ++f) EXPECT_EQ(ResampleFilterValue(f, ResampleFilterRadius(f) + 0.01), 0.0);
}

TEST(Resampler, SameSizeIsTheIdentity) {
  const Bitmap s = RandomBitmap(13, 7, 5);
  for (int f = rfBox; f <= rfMitchell; ++f) {
    Bitmap d(2, 2, pf32bit);
    StretchBitmapFiltered(s, d, 13, 7, f);
    EXPECT_TRUE(SamePixels(d, s)) << "filter " << f;
  }
}

TEST(Resampler, FlatImagesStayFlatAtEveryScale) {
  const Bitmap s = Filled(9, 6, 0xFF804020);
  for (int f = rfBox; f <= rfMitchell; ++f) {
    for (auto size : {std::pair{3, 2}, std::pair{20, 13}, std::pair{1, 1}, std::pair{9, 30}}) {
      Bitmap d;
      StretchBitmapFiltered(s, d, size.first, size.second, f);
      ASSERT_TRUE(SamePixels(d, Filled(size.first, size.second, 0xFF804020)))
          << "filter " << f << " size " << size.first << "x" << size.second;
    }
  }
}

TEST(Resampler, TriangleHalvingByHand) {
  // One row 0, 100, 200, 255 halved: weights 1/2, 3/8, 1/8 (the edge repeats) give 62.5 -> 62 and 215.
  Bitmap s(4, 1, pf32bit);
  const uint32_t v[4] = {0, 100, 200, 255};
  for (int x = 0; x < 4; ++x) SetPixel32(s, x, 0, v[x] * 0x01010101u);
  Bitmap d;
  StretchBitmapFiltered(s, d, 2, 1, rfTriangle);
  ASSERT_EQ(d.Width(), 2);
  EXPECT_EQ(GetPixel32(d, 0, 0), 62u * 0x01010101u);
  EXPECT_EQ(GetPixel32(d, 1, 0), 215u * 0x01010101u);
}

// The two passes written out plainly: sum(weight x channel) shr 16, clamped, through an 8-bit work image.
Bitmap ReferenceResample(const Bitmap& s, int32_t w, int32_t h, int filter) {
  const ResampleContributions cx = BuildResampleContributions(s.Width(), w, filter);
  const ResampleContributions cy = BuildResampleContributions(s.Height(), h, filter);
  auto clamp = [](int64_t sum) { return uint32_t(sum < 0 ? 0 : (sum >= 0xFF0001 ? 255 : sum >> 16)); };
  Bitmap work(w, s.Height(), pf32bit), out(w, h, pf32bit);
  for (int32_t y = 0; y < s.Height(); ++y)
    for (int32_t x = 0; x < w; ++x) {
      uint32_t p = 0;
      for (int ch = 0; ch < 4; ++ch) {
        int64_t sum = 0;
        for (int32_t k = cx.first[size_t(x)]; k < cx.first[size_t(x) + 1]; ++k)
          sum += int64_t((GetPixel32(s, cx.index[size_t(k)], y) >> (8 * ch)) & 0xFF) * cx.weight[size_t(k)];
        p |= clamp(sum) << (8 * ch);
      }
      SetPixel32(work, x, y, p);
    }
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      uint32_t p = 0;
      for (int ch = 0; ch < 4; ++ch) {
        int64_t sum = 0;
        for (int32_t k = cy.first[size_t(y)]; k < cy.first[size_t(y) + 1]; ++k)
          sum += int64_t((GetPixel32(work, x, cy.index[size_t(k)]) >> (8 * ch)) & 0xFF) * cy.weight[size_t(k)];
        p |= clamp(sum) << (8 * ch);
      }
      SetPixel32(out, x, y, p);
    }
  return out;
}

TEST(Resampler, ContributionsAddUpToOne) {
  for (int f = rfBox; f <= rfMitchell; ++f) {
    for (auto [from, to] : {std::pair{10, 3}, std::pair{3, 10}, std::pair{1000, 7}, std::pair{1, 5}}) {
      const ResampleContributions c = BuildResampleContributions(from, to, f);
      ASSERT_EQ(c.first.size(), size_t(to) + 1);
      for (int t = 0; t < to; ++t) {
        int64_t total = 0;
        for (int32_t k = c.first[size_t(t)]; k < c.first[size_t(t) + 1]; ++k) {
          total += c.weight[size_t(k)];
          EXPECT_GE(c.index[size_t(k)], 0);
          EXPECT_LT(c.index[size_t(k)], from);
        }
        EXPECT_EQ(total, 65536) << "filter " << f << " " << from << " -> " << to << " at " << t;
      }
    }
  }
}

TEST(Resampler, BothPassesFollowTheIntegerRule) {
  const Bitmap s = RandomBitmap(23, 17, 31);
  for (int f = rfBox; f <= rfMitchell; ++f) {
    // Halving, 1.5 and 3 times, and sizes that make every filter mix more than two pixels.
    for (auto [w, h] : {std::pair{9, 40}, std::pair{50, 6}, std::pair{5, 5}, std::pair{11, 8}, std::pair{34, 25},
                        std::pair{69, 51}}) {
      Bitmap d;
      StretchBitmapFiltered(s, d, w, h, f);
      ASSERT_TRUE(SamePixels(d, ReferenceResample(s, w, h, f))) << "filter " << f << " to " << w << "x" << h;
    }
  }
  // Sources one pixel wide or high.
  for (auto [sw, sh] : {std::pair{1, 9}, std::pair{9, 1}}) {
    const Bitmap thin = RandomBitmap(sw, sh, 7);
    for (int f = rfBox; f <= rfMitchell; ++f) {
      Bitmap d;
      StretchBitmapFiltered(thin, d, 13, 4, f);
      ASSERT_TRUE(SamePixels(d, ReferenceResample(thin, 13, 4, f))) << "filter " << f;
    }
  }
}

TEST(Resampler, BoxEnlargingIsNearestPixel) {
  const Bitmap s = RandomBitmap(5, 4, 77);
  Bitmap filtered, nearest(15, 8, pf32bit);
  StretchBitmapFiltered(s, filtered, 15, 8, rfBox);
  StretchCopy(nearest, TRect{0, 0, 15, 8}, s, TRect{0, 0, 5, 4});
  EXPECT_TRUE(SamePixels(filtered, nearest));
}

TEST(Resampler, OvershootIsClampedNotWrapped) {
  Bitmap s(8, 1, pf32bit);
  for (int x = 0; x < 8; ++x) SetPixel32(s, x, 0, x < 4 ? 0xFF000000u : 0xFFFFFFFFu);
  for (int f : {rfLanczos, rfMitchell}) {
    Bitmap d;
    StretchBitmapFiltered(s, d, 40, 1, f);
    // The lobes ring past black and white next to the edge; sums beyond 0..255 are clamped, never wrapped.
    for (int x = 0; x < 40; ++x) {
      const uint32_t g = PixelG(GetPixel32(d, x, 0));
      if (x < 16) {
        EXPECT_LE(g, 40u) << "filter " << f << " at " << x;
      } else if (x >= 24) {
        EXPECT_GE(g, 215u) << "filter " << f << " at " << x;
      }
    }
    EXPECT_EQ(GetPixel32(d, 0, 0), 0xFF000000u);
    EXPECT_EQ(GetPixel32(d, 39, 0), 0xFFFFFFFFu);
  }
  Bitmap from24(2, 2, pf24bit);  // a source of another format is converted first
  Bitmap d;
  StretchBitmapFiltered(from24, d, 4, 4, rfSpline);
  EXPECT_EQ(d.PixelFormat(), pf32bit);
  EXPECT_EQ(d.Width(), 4);
}

TEST(Resampler, AStretchedPieceMixedThroughItsMaskAgreesWithTheFilteredStretch) {
  // The one-pass stretch of an image piece and its mask against each piece stretched on its own (a one-column or
  // one-row piece doubled first) and mixed by the rule d := s + (d - s) x m_c shr 8, alpha 255: within two levels.
  // Grey and coloured masks, enlarging and shrinking, pieces of one row or column, a target cut by the bitmap, rows
  // of odd lengths and rows wider than the strips the stretch works through, pieces at their own size.
  const Bitmap src = RandomBitmap(40, 60, 77);
  Bitmap greySrc;
  greySrc.Assign(src);
  for (int32_t y = 30; y < 60; ++y)
    for (int32_t x = 0; x < 40; ++x) {
      const uint32_t v = GetPixel32(src, x, y) & 0xFF;
      SetPixel32(greySrc, x, y, v * 0x010101u);
    }
  struct Case {
    int32_t sx, sy, sw, sh, x, y, w, h, imageFilter, maskFilter, targetWidth = 320;
  };
  const Case cases[] = {
      {2, 3, 12, 9, 5, 4, 300, 80, rfMitchell, rfMitchell},  // enlarged
      {0, 0, 40, 30, 0, 0, 13, 7, rfMitchell, rfHermite},     // shrunk
      {7, 1, 1, 20, 2, 2, 30, 50, rfMitchell, rfMitchell},    // one column
      {3, 11, 25, 1, 0, 0, 90, 6, rfMitchell, rfHermite},     // one row
      {1, 1, 16, 16, 250, 90, 200, 100, rfMitchell, rfMitchell},  // cut at the bitmap's edge
      {0, 2, 37, 5, 3, 1, 2301, 9, rfMitchell, rfMitchell, 2310},  // wide, of an odd width
      {4, 0, 9, 7, 1, 0, 2600, 30, rfMitchell, rfHermite, 2500},   // wide, cut at the bitmap's edge
      {5, 6, 14, 11, 3, 2, 14, 11, rfMitchell, rfMitchell},         // at its own size: copied
      {9, 2, 1, 13, 0, 4, 2, 13, rfMitchell, rfMitchell},           // one column at its doubled size
  };
  for (const Bitmap* source : {static_cast<const Bitmap*>(&src), static_cast<const Bitmap*>(&greySrc)}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h) + (source == &greySrc ? ", grey mask" : ""));
      Bitmap ours = RandomBitmap(c.targetWidth, 120, 5);
      Bitmap reference;
      reference.Assign(ours);
      StretchMixByMask(ours, c.x, c.y, c.w, c.h, *source, c.sx, c.sy, c.sw, c.sh, 30, c.imageFilter, c.maskFilter);
      auto piece = [&](int32_t top, int filter) {
        Bitmap p(std::max(c.sw, 2), std::max(c.sh, 2), pf32bit);
        for (int32_t y = 0; y < p.Height(); ++y)
          for (int32_t x = 0; x < p.Width(); ++x)
            SetPixel32(p, x, y, GetPixel32(*source, c.sx + std::min(x, c.sw - 1), top + std::min(y, c.sh - 1)));
        Bitmap out;
        StretchBitmapFiltered(p, out, c.w, c.h, filter);
        return out;
      };
      const Bitmap image = piece(c.sy, c.imageFilter), mask = piece(c.sy + 30, c.maskFilter);
      int worst = 0;
      for (int32_t y = 0; y < 120; ++y)
        for (int32_t x = 0; x < c.targetWidth; ++x) {
          uint32_t expected = GetPixel32(reference, x, y);
          if (x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h) {
            const uint32_t s = GetPixel32(image, x - c.x, y - c.y), m = GetPixel32(mask, x - c.x, y - c.y);
            auto ch = [&](int shift) {
              const uint32_t sc = (s >> shift) & 0xFF, dc = (expected >> shift) & 0xFF, mc = (m >> shift) & 0xFF;
              return ((sc * (256 - mc) + dc * mc) >> 8) << shift;
            };
            expected = ch(0) | ch(8) | ch(16) | 0xFF000000u;
          }
          const uint32_t got = GetPixel32(ours, x, y);
          for (int shift : {0, 8, 16, 24})
            worst = std::max(worst, std::abs(int((got >> shift) & 0xFF) - int((expected >> shift) & 0xFF)));
        }
      EXPECT_LE(worst, 2);
    }
  }
}

TEST(Resampler, AStretchRepeatedOnTheSameGeometryTakesTheNewPixelsWhateverThreadMadeTheOneBefore) {
  // What one geometry needs is kept between stretches, by the process: a stretch of the same geometry over other
  // pixels just before changes nothing, and a thread that stretched and ended leaves what it kept usable (under
  // Wine the end of such a thread once freed it, and crashed). The reference is the same stretch cut by a narrower
  // target (another geometry of the columns made) on a thread that then ends, compared where both show it.
  const Bitmap a = RandomBitmap(40, 60, 11), b = RandomBitmap(40, 60, 12);
  auto stretch = [](const Bitmap& src, int32_t targetWidth) {
    Bitmap out = test::Filled(targetWidth, 120, 0xFF406080u);
    StretchMixByMask(out, 4, 2, 301, 101, src, 3, 2, 21, 13, 30, rfMitchell, rfMitchell);
    return out;
  };
  Bitmap reference;
  std::thread worker([&] { reference = stretch(b, 200); });
  worker.join();
  stretch(a, 320);
  const Bitmap again = stretch(b, 320);
  int differ = 0;
  for (int32_t y = 0; y < 120; ++y)
    for (int32_t x = 4; x < 200; ++x) differ += GetPixel32(again, x, y) != GetPixel32(reference, x, y) ? 1 : 0;
  EXPECT_EQ(differ, 0);
}

}  // namespace
}  // namespace skin
