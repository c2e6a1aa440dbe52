#include "skin/pixels/graph_utils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "skin/pixels/pixel_helpers.h"
#include "skin/pixels/pixel_kernels.h"
#include "tests/skin_pixels/test_pixels.h"

namespace skin {
namespace {

using test::Filled;
using test::RandomBitmap;
using test::SamePixels;

// The rule, written out for the comparisons: ((s - d) x f + d x 256) shr 8.
uint32_t RuleMix(uint32_t d, uint32_t s, uint32_t f) { return uint32_t((int(s) - int(d)) * int(f) + int(d) * 256) >> 8; }

TEST(MixingRule, ConstantBlendWeightsTheDestination) {
  Bitmap d = Filled(2, 2, MakePixel(200, 200, 200, 200));
  const Bitmap s = Filled(2, 2, 0);
  BlendBitmapsConst(d, s, 255, TRect{0, 0, 1, 1}, TPoint{0, 0});
  EXPECT_EQ(GetPixel32(d, 0, 0), MakePixel(199, 199, 199, 199));  // d x 255/256, not d
  EXPECT_EQ(GetPixel32(d, 1, 1), MakePixel(199, 199, 199, 199));  // the rectangle is walked inclusively

  Bitmap d2 = Filled(3, 3, 0x12345678);
  const Bitmap s2 = Filled(3, 3, 0x9ABCDEF0);
  BlendBitmapsConst(d2, s2, 0, TRect{0, 0, 3, 3}, TPoint{0, 0});  // f = 0 copies the source, cut at its edge
  EXPECT_TRUE(SamePixels(d2, s2));

  Bitmap d3 = Filled(1, 1, MakePixel(200, 100, 0, 255));
  BlendBitmapsConst(d3, Filled(1, 1, MakePixel(0, 50, 255, 0)), 1000, TRect{0, 0, 0, 0}, TPoint{0, 0});
  EXPECT_EQ(GetPixel32(d3, 0, 0), MakePixel(199, 99, 0, 254));  // a weight above 255 counts as 255
}

TEST(MixingRule, ConstantBlendMatchesTheRuleOnEveryChannelAndWidth) {
  for (int width : {1, 3, 4, 5, 17}) {
    Bitmap d = RandomBitmap(width, 3, 7u + uint32_t(width));
    const Bitmap before = RandomBitmap(width, 3, 7u + uint32_t(width));
    const Bitmap s = RandomBitmap(width, 3, 99u);
    for (int f : {0, 1, 128, 200, 255}) {
      d.Assign(before);
      BlendBitmapsConst(d, s, f, TRect{0, 0, width - 1, 2}, TPoint{0, 0});
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < width; ++x) {
          const uint32_t dv = GetPixel32(before, x, y), sv = GetPixel32(s, x, y);
          const uint32_t expect = MakePixel(RuleMix(PixelB(sv), PixelB(dv), uint32_t(f)),
                                            RuleMix(PixelG(sv), PixelG(dv), uint32_t(f)),
                                            RuleMix(PixelR(sv), PixelR(dv), uint32_t(f)),
                                            RuleMix(PixelA(sv), PixelA(dv), uint32_t(f)));
          ASSERT_EQ(GetPixel32(d, x, y), expect) << "width " << width << " f " << f << " at " << x;
        }
    }
  }
}

TEST(MixingRule, RatioBlendRoundsHalfToEvenAndSkipsTheKey) {
  Bitmap d = Filled(4, 1, MakePixel(0, 0, 0, 77));
  Bitmap s(4, 1, pf32bit);
  SetPixel32(s, 0, 0, MakePixel(255, 1, 3, 9));
  SetPixel32(s, 1, 0, KeyPixel);
  SetPixel32(s, 2, 0, MakePixel(5, 5, 5, 0));
  SetPixel32(s, 3, 0, MakePixel(255, 255, 255, 255));
  BlendBitmaps(d, 0, 0, KeyColor, 0.5, TRect{0, 0, 4, 1}, s);
  EXPECT_EQ(GetPixel32(d, 0, 0), MakePixel(128, 0, 2, 77));  // 127.5 -> 128, 0.5 -> 0, 1.5 -> 2; alpha kept
  EXPECT_EQ(GetPixel32(d, 1, 0), MakePixel(0, 0, 0, 77));    // key skipped
  EXPECT_EQ(GetPixel32(d, 2, 0), MakePixel(2, 2, 2, 77));    // 2.5 -> 2
  Bitmap kept = Filled(1, 1, MakePixel(10, 20, 30, 40));
  BlendBitmaps(kept, 0, 0, clNone, 7.0, TRect{0, 0, 1, 1}, Filled(1, 1, 0xFFFFFFFF));  // ratio 7 counts as 1
  EXPECT_EQ(GetPixel32(kept, 0, 0), MakePixel(10, 20, 30, 40));
  BlendBitmaps(kept, 0, 0, clNone, -1.0, TRect{0, 0, 1, 1}, Filled(1, 1, 0x00FFFFFF));  // -1 counts as 0
  EXPECT_EQ(GetPixel32(kept, 0, 0), MakePixel(255, 255, 255, 40));
}

TEST(MixingRule, ColourRatios) {
  EXPECT_EQ(MixColorsRatio(RGBColor(255, 0, 1), RGBColor(0, 0, 0), 0.5), RGBColor(128, 0, 0));  // 127.5 -> 128, 0.5 -> 0
  EXPECT_EQ(MixColorsRatio(TColor(0x7F0000FF), RGBColor(0, 0, 0), 1.0), TColor(0x7F0000FF));  // high byte of c1
  EXPECT_EQ(MixColorsRatio(RGBColor(10, 20, 30), RGBColor(110, 120, 130), 0.8), RGBColor(30, 40, 50));
  EXPECT_EQ(MixColorsRatio(RGBColor(10, 20, 30), RGBColor(110, 120, 130), 3.0), RGBColor(10, 20, 30));

  Bitmap b(2, 1, pf32bit);
  SetPixel32(b, 0, 0, MakePixel(100, 0, 255, 66));
  SetPixel32(b, 1, 0, KeyPixel);
  BlendBitmapWithColor(b, RGBColor(0, 0, 0), 0.25);
  EXPECT_EQ(GetPixel32(b, 0, 0), MakePixel(25, 0, 64, 66));  // 63.75 -> 64
  EXPECT_EQ(GetPixel32(b, 1, 0), KeyPixel);
}

TEST(AlphaBlend, SourceAlphaZeroLeavesTheDestinationWhole) {
  Bitmap d = Filled(3, 1, MakePixel(10, 20, 30, 40));
  Bitmap s(3, 1, pf32bit);
  SetPixel32(s, 0, 0, MakePixel(200, 200, 200, 0));
  SetPixel32(s, 1, 0, MakePixel(200, 100, 0, 128));
  SetPixel32(s, 2, 0, KeyPixel);
  BlendPixelsWithAlpha(TPoint{0, 0}, TPoint{0, 0}, d, false, EmptyCacheInfo, s);
  EXPECT_EQ(GetPixel32(d, 0, 0), MakePixel(10, 20, 30, 40));
  // mix(10, 200, 128) = 105, mix(20, 100, 128) = 60, mix(30, 0, 128) = 15; alpha 40 + (215 x 128 shr 8) = 147
  EXPECT_EQ(GetPixel32(d, 1, 0), MakePixel(105, 60, 15, 147));
  EXPECT_EQ(GetPixel32(d, 2, 0), MakePixel(10, 20, 30, 40));
}

TEST(AlphaBlend, KeyPixelsTakeTheParentWhereItReaches) {
  Bitmap parent = Filled(4, 4, MakePixel(1, 2, 3, 4));
  SetPixel32(parent, 3, 2, MakePixel(9, 9, 9, 9));
  Bitmap d = Filled(3, 1, MakePixel(50, 50, 50, 50));
  Bitmap s = Filled(3, 1, KeyPixel);
  const CacheInfo ci = CacheInfoFromBitmap(&parent, 2, 2);
  BlendPixelsWithAlpha(TPoint{0, 0}, TPoint{0, 0}, d, true, ci, s);
  EXPECT_EQ(GetPixel32(d, 0, 0), MakePixel(1, 2, 3, 255));
  EXPECT_EQ(GetPixel32(d, 1, 0), MakePixel(9, 9, 9, 255));
  EXPECT_EQ(GetPixel32(d, 2, 0), MakePixel(50, 50, 50, 50));  // outside the parent: left as it was

  Bitmap d2 = Filled(3, 1, MakePixel(50, 50, 50, 50));
  AlphaBlendBitmap32(TPoint{0, 0}, TRect{0, 0, 3, 1}, s, false, 0, clNone, true, ci, d2);
  EXPECT_EQ(GetPixel32(d2, 1, 0), MakePixel(9, 9, 9, 255));
  EXPECT_EQ(GetPixel32(d2, 2, 0), MakePixel(50, 50, 50, 50));
  AlphaBlendBitmap32(TPoint{0, 0}, TRect{0, 0, 3, 1}, s, false, 0, clNone, false, ci, d2);  // no parent: skipped
  EXPECT_EQ(GetPixel32(d2, 2, 0), MakePixel(50, 50, 50, 50));
}

// Every alpha value and transparency, over widths that exercise the four-pixel steps and the tails.
TEST(AlphaBlend, EveryAlphaAndTransparencyFollowsTheRule) {
  Bitmap s(256, 1, pf32bit);
  for (int a = 0; a < 256; ++a) SetPixel32(s, a, 0, MakePixel(uint32_t(255 - a), uint32_t(a), 77, uint32_t(a)));
  const Bitmap before = RandomBitmap(256, 1, 1234);
  for (int t = 0; t <= 100; ++t) {
    Bitmap d;
    d.Assign(before);
    AlphaBlendBitmap32(TPoint{0, 0}, TRect{0, 0, 256, 1}, s, false, t, clNone, false, EmptyCacheInfo, d);
    Bitmap g;
    g.Assign(before);
    BlendPixelsWithAlpha(TPoint{0, 0}, TPoint{0, 0}, g, false, EmptyCacheInfo, s);
    for (int x = 0; x < 256; ++x) {
      const uint32_t sv = GetPixel32(s, x, 0), dv = GetPixel32(before, x, 0);
      const uint32_t a = PixelA(sv) * uint32_t(100 - t) / 100;
      const uint32_t expect = MakePixel(RuleMix(PixelB(dv), PixelB(sv), a), RuleMix(PixelG(dv), PixelG(sv), a),
                                        RuleMix(PixelR(dv), PixelR(sv), a), PixelA(dv));
      ASSERT_EQ(GetPixel32(d, x, 0), expect) << "transparency " << t << " alpha " << x;
      if (t == 0) {
        const uint32_t sa = PixelA(sv), da = PixelA(dv);
        const uint32_t grown = MakePixel(RuleMix(PixelB(dv), PixelB(sv), sa), RuleMix(PixelG(dv), PixelG(sv), sa),
                                         RuleMix(PixelR(dv), PixelR(sv), sa), da + (((255 - da) * sa) >> 8));
        ASSERT_EQ(GetPixel32(g, x, 0), grown) << "alpha " << x;
      }
    }
  }
  Bitmap d = Filled(1, 1, 0x11223344);  // transparency beyond 100 counts as 100: nothing drawn
  AlphaBlendBitmap32(TPoint{0, 0}, TRect{0, 0, 1, 1}, Filled(1, 1, 0xFFFFFFFF), false, 250, clNone, false,
                     EmptyCacheInfo, d);
  EXPECT_EQ(GetPixel32(d, 0, 0), 0x11223344u);
}

// Each row kernel (four-wide, eight-wide when the processor has it, and the scalar tail) on every width up to 40.
TEST(AlphaBlend, RowKernelsAgreeWithTheRuleAtEveryWidth) {
  uint32_t state = 99;
  for (int32_t n = 1; n <= 40; ++n) {
    std::vector<uint32_t> s(static_cast<size_t>(n)), before(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
      s[size_t(i)] = test::NextRandom(state);
      before[size_t(i)] = test::NextRandom(state);
    }
    if (n % 5 == 0) std::fill(s.begin(), s.begin() + n / 2, 0x00123456u);  // transparent runs
    if (n % 3 == 0)  // opaque runs (the destination both above and below the source)
      for (int32_t i = 0; i < 2 * n / 3; ++i) s[size_t(i)] |= 0xFF000000u;
    for (uint32_t scale : {100u, 37u, 0u}) {
      std::vector<uint32_t> kept = before, grown = before, best = before, grownBest = before;
      kernels::RowMixAlpha<false>(kept.data(), s.data(), n, scale);
      kernels::RowMixAlpha<true>(grown.data(), s.data(), n, scale);
      kernels::RowMixAlphaBest<false>(best.data(), s.data(), n, scale);
      kernels::RowMixAlphaBest<true>(grownBest.data(), s.data(), n, scale);
      for (int32_t i = 0; i < n; ++i) {
        const uint32_t sv = s[size_t(i)], dv = before[size_t(i)];
        const uint32_t a = PixelA(sv) * scale / 100;
        const uint32_t rgb = MakePixel(RuleMix(PixelB(dv), PixelB(sv), a), RuleMix(PixelG(dv), PixelG(sv), a),
                                       RuleMix(PixelR(dv), PixelR(sv), a), 0);
        ASSERT_EQ(kept[size_t(i)], rgb | (dv & 0xFF000000u)) << "width " << n << " at " << i;
        ASSERT_EQ(best[size_t(i)], kept[size_t(i)]) << "width " << n << " at " << i;
        const uint32_t da = PixelA(dv);
        ASSERT_EQ(grown[size_t(i)], rgb | ((da + (((255 - da) * a) >> 8)) << 24)) << "width " << n << " at " << i;
        ASSERT_EQ(grownBest[size_t(i)], grown[size_t(i)]) << "width " << n << " at " << i;
      }
    }
  }
}

// The mask mix row kernels (four-wide, eight-wide, scalar tail) against the rule per channel, with and without key
// pixels left alone, on every width up to 40.
TEST(MaskMix, RowKernelsAgreeWithTheRuleAtEveryWidth) {
  uint32_t state = 7;
  for (int32_t n = 0; n <= 40; ++n) {
    std::vector<uint32_t> s(static_cast<size_t>(n)), m(static_cast<size_t>(n)), before(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
      s[size_t(i)] = test::NextRandom(state);
      m[size_t(i)] = test::NextRandom(state);
      before[size_t(i)] = test::NextRandom(state);
      if (i % 7 == 3) s[size_t(i)] = KeyPixel;
      if (i % 5 == 1) m[size_t(i)] = 0;
      if (i % 5 == 2) m[size_t(i)] = 0xFFFFFFFFu;
    }
    for (bool skipKey : {false, true})
      for (uint32_t orAlpha : {0u, 0xFF000000u}) {
        std::vector<uint32_t> plain = before, best = before;
        kernels::RowMixByMask(plain.data(), s.data(), m.data(), n, orAlpha, skipKey);
        kernels::RowMixByMaskBest(best.data(), s.data(), m.data(), n, orAlpha, skipKey);
        for (int32_t i = 0; i < n; ++i) {
          const uint32_t sv = s[size_t(i)], mv = m[size_t(i)], dv = before[size_t(i)];
          uint32_t expected = dv;
          if (!(skipKey && sv == KeyPixel)) {
            expected = (dv & 0xFF000000u) | orAlpha;
            for (int shift : {0, 8, 16}) {
              const uint32_t sc = (sv >> shift) & 0xFF, dc = (dv >> shift) & 0xFF, mc = (mv >> shift) & 0xFF;
              expected |= ((sc * (256 - mc) + dc * mc) >> 8) << shift;
            }
          }
          ASSERT_EQ(plain[size_t(i)], expected) << "width " << n << " at " << i;
          ASSERT_EQ(best[size_t(i)], expected) << "width " << n << " at " << i;
        }
      }
  }
}

TEST(AlphaBlend, ConvertsTheDestinationAndClipsAtEveryEdge) {
  Bitmap d(4, 4, pf24bit);
  const Bitmap s = Filled(3, 3, MakePixel(255, 255, 255, 255));
  AlphaBlendBitmap32(TPoint{-1, 2}, TRect{0, 0, 3, 3}, s, false, 0, clNone, false, EmptyCacheInfo, d);
  EXPECT_EQ(d.PixelFormat(), pf32bit);
  EXPECT_EQ(GetPixel32(d, 0, 2), MakePixel(254, 254, 254, 0));
  EXPECT_EQ(GetPixel32(d, 1, 3), MakePixel(254, 254, 254, 0));
  EXPECT_EQ(GetPixel32(d, 2, 2), 0u);
  EXPECT_EQ(GetPixel32(d, 0, 1), 0u);
  // A source rectangle reaching outside the source: only its real pixels are drawn, at their own places.
  Bitmap d2 = Filled(4, 4, 0);
  AlphaBlendBitmap32(TPoint{0, 0}, TRect{-2, -1, 9, 9}, s, false, 0, clNone, false, EmptyCacheInfo, d2);
  EXPECT_EQ(GetPixel32(d2, 1, 0), 0u);
  EXPECT_EQ(GetPixel32(d2, 2, 1), MakePixel(254, 254, 254, 0));
  EXPECT_EQ(GetPixel32(d2, 3, 3), MakePixel(254, 254, 254, 0));
}

TEST(AlphaBlend, ReflectionFadesOutBelowTheImage) {
  Bitmap s(1, 2, pf32bit);
  SetPixel32(s, 0, 0, MakePixel(0, 0, 0, 255));
  SetPixel32(s, 0, 1, MakePixel(255, 255, 255, 255));
  Bitmap d = Filled(1, 4, MakePixel(0, 0, 0, 9));
  AlphaBlendBitmap32(TPoint{0, 0}, TRect{0, 0, 1, 2}, s, true, 0, clNone, false, EmptyCacheInfo, d);
  // n = 2 rows; row k = 1 mirrors the last source row with a = ((255 x 1 div 2) x 255) shr 9 = 63.
  EXPECT_EQ(GetPixel32(d, 0, 2), MakePixel(62, 62, 62, 9));
  EXPECT_EQ(GetPixel32(d, 0, 3), MakePixel(0, 0, 0, 9));  // a = 0 in the last row
}

TEST(AlphaBlend, TintKeepsAlphaAndBrightnessOrder) {
  Bitmap s(3, 1, pf32bit);
  SetPixel32(s, 0, 0, MakePixel(10, 10, 10, 255));
  SetPixel32(s, 1, 0, MakePixel(100, 150, 200, 255));
  SetPixel32(s, 2, 0, MakePixel(250, 250, 250, 255));
  Bitmap d = Filled(3, 1, 0);
  AlphaBlendBitmap32(TPoint{0, 0}, TRect{0, 0, 3, 1}, s, false, 0, RGBColor(255, 0, 0), false, EmptyCacheInfo, d);
  EXPECT_EQ(PixelG(GetPixel32(d, 1, 0)), 0u);
  EXPECT_EQ(PixelB(GetPixel32(d, 1, 0)), 0u);
  EXPECT_LT(PixelR(GetPixel32(d, 0, 0)), PixelR(GetPixel32(d, 1, 0)));
  EXPECT_LT(PixelR(GetPixel32(d, 1, 0)), PixelR(GetPixel32(d, 2, 0)));
}

TEST(Copies, ExceptColorSkipsTheKeyAndMakesCopiesOpaque) {
  Bitmap s(6, 1, pf32bit);
  for (int x = 0; x < 6; ++x) SetPixel32(s, x, 0, x % 2 ? KeyPixel : MakePixel(uint32_t(x), 0, 0, 0));
  Bitmap d = Filled(8, 2, 0x01010101);
  CopyExceptColor(d, s, 1, 1, KeyColor);
  EXPECT_EQ(GetPixel32(d, 1, 1), MakePixel(0, 0, 0, 255));
  EXPECT_EQ(GetPixel32(d, 2, 1), 0x01010101u);
  EXPECT_EQ(GetPixel32(d, 5, 1), MakePixel(4, 0, 0, 255));
  EXPECT_EQ(GetPixel32(d, 7, 1), 0x01010101u);
  EXPECT_EQ(GetPixel32(d, 1, 0), 0x01010101u);
  // A key of another alpha is not the key.
  Bitmap s2 = Filled(1, 1, 0xFFFF00FF);
  CopyExceptColor(d, s2, 0, 0, KeyColor);
  EXPECT_EQ(GetPixel32(d, 0, 0), 0xFFFF00FFu);

  Bitmap d3 = Filled(3, 1, 7);
  CopyPieceExceptColor(d3, s, 0, 0, TRect{0, 0, 3, 1}, KeyColor);
  EXPECT_EQ(GetPixel32(d3, 0, 0), 0u);
  EXPECT_EQ(GetPixel32(d3, 1, 0), 7u);
  EXPECT_EQ(GetPixel32(d3, 2, 0), MakePixel(2, 0, 0, 0));  // alpha as it was
}

TEST(Copies, NegativeOriginsMoveTheOtherSideAndNothingOutsideIsTouched) {
  const Bitmap s = RandomBitmap(5, 5, 42);
  Bitmap d = Filled(6, 6, 0xAAAAAAAA);
  CopyPieceKeyed(d, s, -2, -1, TRect{0, 0, 5, 5}, clNone, false, EmptyCacheInfo);
  EXPECT_EQ(GetPixel32(d, 0, 0), GetPixel32(s, 2, 1));
  EXPECT_EQ(GetPixel32(d, 2, 3), GetPixel32(s, 4, 4));
  EXPECT_EQ(GetPixel32(d, 3, 0), 0xAAAAAAAAu);
  EXPECT_EQ(GetPixel32(d, 0, 4), 0xAAAAAAAAu);
  Bitmap d2 = Filled(6, 6, 0xAAAAAAAA);
  CopyPieceKeyed(d2, s, 1, 1, TRect{-3, -3, 2, 2}, clNone, false, EmptyCacheInfo);  // source origin negative
  EXPECT_EQ(GetPixel32(d2, 4, 4), GetPixel32(s, 0, 0));
  EXPECT_EQ(GetPixel32(d2, 5, 5), GetPixel32(s, 1, 1));
  EXPECT_EQ(GetPixel32(d2, 3, 3), 0xAAAAAAAAu);
  EXPECT_EQ(GetPixel32(d2, 1, 1), 0xAAAAAAAAu);
  CopyPieceKeyed(d2, s, 100, 0, TRect{0, 0, 5, 5}, clNone, false, EmptyCacheInfo);  // entirely outside
  CopyPieceKeyed(d2, s, 0, 0, TRect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, clNone, false, EmptyCacheInfo);
  CopyPieceKeyed(d2, s, INT32_MAX, INT32_MIN, TRect{0, 0, 5, 5}, clNone, false, EmptyCacheInfo);
  EXPECT_EQ(GetPixel32(d2, 4, 4), GetPixel32(s, 0, 0));
  EXPECT_EQ(GetPixel32(d2, 0, 0), 0xAAAAAAAAu);
}

TEST(Copies, KeyedPieceFollowsTheCacheRecord) {
  Bitmap s(2, 1, pf32bit);
  SetPixel32(s, 0, 0, KeyPixel);
  SetPixel32(s, 1, 0, 0x80112233);
  Bitmap d = Filled(2, 1, 0x55555555);
  CacheInfo notReady = EmptyCacheInfo;
  notReady.FillColor = RGBColor(1, 2, 3);
  CopyPieceKeyed(d, s, 0, 0, TRect{0, 0, 2, 1}, KeyColor, false, notReady);
  EXPECT_EQ(GetPixel32(d, 0, 0), MakePixel(3, 2, 1, 0));  // the fill colour, pixel order, alpha 0
  EXPECT_EQ(GetPixel32(d, 1, 0), 0x80112233u);

  Bitmap parent = Filled(3, 3, 0x01020304);
  const CacheInfo ready = CacheInfoFromBitmap(&parent, 1, 1);
  Bitmap d2 = Filled(2, 1, 0x55555555);
  CopyPieceKeyed(d2, s, 0, 0, TRect{0, 0, 2, 1}, KeyColor, false, ready);
  EXPECT_EQ(GetPixel32(d2, 0, 0), 0x55555555u);  // skipped
  CopyPieceKeyed(d2, s, 0, 0, TRect{0, 0, 2, 1}, KeyColor, true, ready);
  EXPECT_EQ(GetPixel32(d2, 0, 0), 0x01020304u);  // the parent pixel, alpha included
  const CacheInfo onItself = CacheInfoFromBitmap(&d2, 0, 0);
  SetPixel32(d2, 0, 0, 0x66666666);
  CopyPieceKeyed(d2, s, 0, 0, TRect{0, 0, 2, 1}, KeyColor, true, onItself);
  EXPECT_EQ(GetPixel32(d2, 0, 0), 0x66666666u);  // the destination is the parent itself: skipped
}

TEST(Copies, MaskedPieceMixesByTheMaskBelowTheImage) {
  Bitmap s(3, 2, pf32bit);
  SetPixel32(s, 0, 0, MakePixel(200, 100, 0, 5));
  SetPixel32(s, 1, 0, MakePixel(200, 100, 0, 5));
  SetPixel32(s, 2, 0, KeyPixel);
  SetPixel32(s, 0, 1, MakePixel(0, 0, 0, 0));        // mask 0: the image
  SetPixel32(s, 1, 1, MakePixel(255, 128, 255, 0));  // mask 255 and 128
  SetPixel32(s, 2, 1, MakePixel(0, 0, 0, 0));
  Bitmap d = Filled(3, 1, MakePixel(100, 100, 100, 77));
  CopyPieceMasked(d, 0, 0, TRect{0, 0, 3, 1}, 1, s, false, EmptyCacheInfo);
  EXPECT_EQ(GetPixel32(d, 0, 0), MakePixel(200, 100, 0, 77));
  // ((d - s) x m + s x 256) shr 8: B (100-200) x 255 + 51200 = 25700 -> 100; G 100; R 100 x 255 shr 8 = 99
  EXPECT_EQ(GetPixel32(d, 1, 0), MakePixel(100, 100, 99, 77));
  EXPECT_EQ(GetPixel32(d, 2, 0), MakePixel(100, 100, 100, 77));  // key skipped

  Bitmap parent = Filled(3, 1, MakePixel(10, 20, 30, 40));
  Bitmap d2 = Filled(3, 1, MakePixel(100, 100, 100, 77));
  CopyPieceMasked(d2, 0, 0, TRect{0, 0, 3, 1}, 1, s, true, CacheInfoFromBitmap(&parent, 0, 0));
  EXPECT_EQ(GetPixel32(d2, 0, 0), MakePixel(200, 100, 0, 255));  // ready: alpha 255
  EXPECT_EQ(GetPixel32(d2, 2, 0), MakePixel(10, 20, 30, 255));   // the key took the parent, mask 0 keeps it

  // Mask rows below the source are never read: the rows that have none are not drawn.
  Bitmap d3 = Filled(3, 2, 0x12121212);
  CopyPieceMasked(d3, 0, 0, TRect{0, 0, 3, 2}, 1, s, false, EmptyCacheInfo);
  EXPECT_EQ(GetPixel32(d3, 0, 1), 0x12121212u);
  CopyPieceMasked(d3, 0, 0, TRect{0, 0, 3, 2}, 50, s, false, EmptyCacheInfo);
  CopyPieceMasked(d3, 0, 0, TRect{0, 0, 3, 2}, -50, s, false, EmptyCacheInfo);
  EXPECT_EQ(GetPixel32(d3, 0, 1), 0x12121212u);
}

TEST(Copies, MixByMaskUsesEachChannelOfTheMask) {
  const Bitmap a = Filled(2, 1, MakePixel(200, 200, 200, 200));
  const Bitmap b = Filled(2, 1, MakePixel(0, 0, 0, 0));
  Bitmap mask(2, 1, pf32bit);
  SetPixel32(mask, 0, 0, MakePixel(0, 128, 255, 64));
  Bitmap d(2, 1, pf32bit);
  MixBitmapsByMask(d, a, b, 0, &mask);
  EXPECT_EQ(GetPixel32(d, 0, 0), MakePixel(0, 100, 199, 50));  // mix(s2, s1, w) = s1 x w shr 8 here
  MixBitmapsByMask(d, a, b, 999, nullptr);
  EXPECT_EQ(GetPixel32(d, 1, 0), MakePixel(199, 199, 199, 199));
  Bitmap small(1, 1, pf32bit);
  MixBitmapsByMask(small, a, b, 128, nullptr);  // sizes differ: nothing
  EXPECT_EQ(GetPixel32(small, 0, 0), 0u);
}

TEST(Copies, AThumbDrawnThroughAWorkBitmapBlendsWithWhatWasThere) {
  // percent x 255 div 100 weights what was there: 0 shows the part, 50 gives f = 127; key pixels of the part
  // leave the background; the part is placed at (x, y) and cut at the bitmap's edge.
  Bitmap part = test::Filled(3, 2, 0xFF0000C8u);
  SetPixel32(part, 2, 1, KeyPixel);
  for (int32_t percent : {0, 50, 150}) {
    SCOPED_TRACE(percent);
    Bitmap dst = test::Filled(4, 4, 0xFF000064u);
    PaintScrollThumbBlended(dst, 2, 1, part, percent);
    const uint32_t f = uint32_t(std::min(percent, 100) * 255 / 100);
    const uint32_t blue = (0x64 * f + 0xC8 * (256 - f)) >> 8;
    EXPECT_EQ(GetPixel32(dst, 2, 1), 0xFF000000u | blue);
    EXPECT_EQ(GetPixel32(dst, 3, 2), 0xFF000000u | blue);
    EXPECT_EQ(GetPixel32(dst, 1, 1), 0xFF000064u);  // left of the part
    EXPECT_EQ(GetPixel32(dst, 2, 3), 0xFF000064u);  // below it
  }
  Bitmap keyed = test::Filled(4, 4, 0xFF000064u);
  PaintScrollThumbBlended(keyed, 1, 1, part, 0);
  EXPECT_EQ(GetPixel32(keyed, 3, 2), 0xFF000064u);  // the part's key pixel
}

TEST(Copies, ChannelsGoToEightBitsAndBack) {
  Bitmap b(3, 2, pf32bit);
  SetPixel32(b, 2, 1, MakePixel(1, 2, 3, 4));
  Bitmap eight;
  CopyBitmapChannel(b, eight, 3, true);
  ASSERT_EQ(eight.PixelFormat(), pf8bit);
  ASSERT_EQ(eight.Width(), 3);
  EXPECT_EQ(eight.ScanLine(1)[2], 4);
  eight.ScanLine(0)[0] = 99;
  CopyBitmapChannel(b, eight, 1, false);
  EXPECT_EQ(GetPixel32(b, 0, 0), MakePixel(0, 99, 0, 0));
  EXPECT_EQ(GetPixel32(b, 2, 1), MakePixel(1, 4, 3, 4));
  CopyBitmapChannel(b, eight, 4, true);  // no such channel
  EXPECT_EQ(GetPixel32(b, 2, 1), MakePixel(1, 4, 3, 4));
}

TEST(Stretch, NearestPixelScaling) {
  Bitmap s(2, 2, pf32bit);
  SetPixel32(s, 0, 0, 1);
  SetPixel32(s, 1, 0, 2);
  SetPixel32(s, 0, 1, 3);
  SetPixel32(s, 1, 1, 4);
  Bitmap d(4, 4, pf32bit);
  StretchCopy(d, TRect{0, 0, 4, 4}, s, TRect{0, 0, 2, 2});
  const uint32_t expect[4][4] = {{1, 1, 2, 2}, {1, 1, 2, 2}, {3, 3, 4, 4}, {3, 3, 4, 4}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(GetPixel32(d, x, y), expect[y][x]);
  Bitmap same(2, 2, pf32bit);
  StretchCopy(same, TRect{0, 0, 2, 2}, s, TRect{0, 0, 2, 2});
  EXPECT_TRUE(SamePixels(same, s));
  Bitmap half(1, 1, pf32bit);
  StretchCopy(half, TRect{0, 0, 1, 1}, d, TRect{0, 0, 4, 4});
  EXPECT_EQ(GetPixel32(half, 0, 0), 4u);  // the pixel under the centre
  Bitmap clipped = Filled(2, 2, 9);
  StretchCopy(clipped, TRect{-2, -2, 2, 2}, s, TRect{0, 0, 2, 2});  // the scale stays that of the whole rectangle
  EXPECT_EQ(GetPixel32(clipped, 0, 0), 4u);
  EXPECT_EQ(GetPixel32(clipped, 1, 1), 4u);
  // Rows of every width (several pixels at a time, then the rest): target x takes source (2x + 1) x 5 div 2w.
  Bitmap row(5, 1, pf32bit);
  for (int x = 0; x < 5; ++x) SetPixel32(row, x, 0, uint32_t(10 + x));
  for (int32_t w = 1; w <= 13; ++w) {
    Bitmap out(w, 1, pf32bit);
    StretchCopy(out, TRect{0, 0, w, 1}, row, TRect{0, 0, 5, 1});
    for (int32_t x = 0; x < w; ++x) ASSERT_EQ(GetPixel32(out, x, 0), uint32_t(10 + (2 * x + 1) * 5 / (2 * w))) << w;
  }
}

TEST(Stretch, DrawAlphaBlendsThirtyTwoBitImagesAndCopiesOthers) {
  const Bitmap img = Filled(2, 2, MakePixel(255, 0, 0, 255));
  Bitmap d = Filled(4, 4, 0);
  StretchDrawAlpha(d, TRect{0, 0, 4, 4}, img);
  EXPECT_EQ(GetPixel32(d, 3, 3), MakePixel(254, 0, 0, 0));
  Bitmap opaque(1, 1, pf24bit);
  opaque.ScanLine(0)[2] = 200;
  StretchDrawAlpha(d, TRect{1, 1, 3, 3}, opaque);
  EXPECT_EQ(GetPixel32(d, 2, 2), MakePixel(0, 0, 200, 0));
  EXPECT_EQ(GetPixel32(d, 0, 0), MakePixel(254, 0, 0, 0));
}

}  // namespace
}  // namespace skin
