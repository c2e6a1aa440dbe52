// The nine-piece mask painter against a reference that maps every target pixel to its source pixel directly.
#include "skin/painters/skin_mask.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "skin/data/maskdata.h"
#include "skin/pixels/graph_utils.h"
#include "tests/skin_painters/painters_fixture.h"
#include "tests/skin_pixels/test_pixels.h"

namespace skin {
namespace {

using test::PaintersFixture;

// Border widths after the sharing of a rectangle narrower (lower) than its two borders.
void Share(int32_t size, int32_t& a, int32_t& b) {
  if (size >= a + b) return;
  const int32_t d = a + b - size;
  a = std::max(a - d / 2, 0);
  b = std::max(b - d / 2 - d % 2, 0);
}

// The source index (within the state) of target offset i of an axis n long with borders a and b over a state f
// long; -1 for the centre piece's class is told by `part` (0 start border, 1 middle, 2 end border).
int32_t SourceIndex(int32_t i, int32_t n, int32_t a, int32_t b, int32_t f, bool stretch, int& part) {
  if (i < a) {
    part = 0;
    return i;
  }
  if (i >= n - b) {
    part = 2;
    return f - b + (i - (n - b));
  }
  part = 1;
  const int32_t c = f - a - b, run = n - a - b, k = i - a;
  return a + (stretch ? int32_t((2 * int64_t(k) + 1) * c / (2 * int64_t(run))) : k % c);
}

uint32_t MixChannelMask(uint32_t d, uint32_t s, uint32_t m) {  // ((d - s) x m + s x 256) shr 8 per channel
  auto ch = [](uint32_t dc, uint32_t sc, uint32_t mc) { return uint32_t((int32_t(dc) - int32_t(sc)) * int32_t(mc) + int32_t(sc) * 256) >> 8; };
  return MakePixel(ch(PixelB(d), PixelB(s), PixelB(m)), ch(PixelG(d), PixelG(s), PixelG(m)),
                   ch(PixelR(d), PixelR(s), PixelR(m)), 0);
}

// DrawSkinMask worked out pixel by pixel (tiled, or stretched unmasked).
Bitmap ReferenceMask(const Bitmap& start, const TRect& R, const CacheInfo& ci, const SkinImageRecord& rec,
                     int32_t state, bool useParentCorners, const Bitmap& src) {
  Bitmap out;
  out.Assign(start);
  int32_t wl = rec.BorderLeft, wt = rec.BorderTop, wr = rec.BorderRight, wb = rec.BorderBottom;
  const int32_t w = R.Right - R.Left, h = R.Bottom - R.Top;
  Share(w, wl, wr);
  Share(h, wt, wb);
  const int32_t fw = ImageStateWidth(rec), fh = ImageFrameHeight(rec);
  const int32_t s = std::min<int32_t>(state, rec.ImageCount - 1);
  const bool stretch = rec.DrawMode & dmStretch, masked = rec.MaskType != 0;
  const bool cornerParent = useParentCorners && rec.TransparentFlag > 0;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const int32_t dx = R.Left + x, dy = R.Top + y;
      if (dx < 0 || dy < 0 || dx >= out.Width() || dy >= out.Height()) continue;
      int px, py;
      const int32_t sx = rec.SourceRect.Left + s * fw + SourceIndex(x, w, wl, wr, fw, stretch, px);
      const int32_t sy = rec.SourceRect.Top + SourceIndex(y, h, wt, wb, fh, stretch, py);
      if (px == 1 && py == 1 && !(rec.DrawMode & dmPaintCentre)) continue;
      const bool corner = px != 1 && py != 1;
      const uint32_t sp = GetPixel32(src, sx, sy), dp = GetPixel32(out, dx, dy);
      uint32_t parent = 0;
      const bool hasParent = ci.Bmp && ci.X + dx >= 0 && ci.Y + dy >= 0 && ci.X + dx < ci.Bmp->Width() &&
                             ci.Y + dy < ci.Bmp->Height();
      if (hasParent) parent = GetPixel32(*ci.Bmp, ci.X + dx, ci.Y + dy);
      if (!masked) {
        if (!corner || sp != KeyPixel) {
          SetPixel32(out, dx, dy, sp);
        } else if (!ci.Ready) {
          SetPixel32(out, dx, dy, ColorToKeyPixel(ci.FillColor));
        } else if (cornerParent && hasParent && ci.Bmp != &out) {
          SetPixel32(out, dx, dy, parent);
        }
        continue;
      }
      // Masked: corners with ci and the corner flag, edges and centre without a parent.
      const bool ready = corner && ci.Ready, useParent = corner && cornerParent;
      uint32_t image = sp;
      if (sp == KeyPixel) {
        if (!ready && !useParent) continue;
        if (ready && useParent) {
          if (!hasParent) continue;
          image = parent;
        }
      }
      const uint32_t m = GetPixel32(src, sx, sy + fh);
      SetPixel32(out, dx, dy, MixChannelMask(dp, image, m) | (ready ? 0xFF000000u : (dp & 0xFF000000u)));
    }
  return out;
}

std::string FirstDifference(const Bitmap& a, const Bitmap& b) {
  for (int32_t y = 0; y < a.Height(); ++y)
    for (int32_t x = 0; x < a.Width(); ++x)
      if (GetPixel32(a, x, y) != GetPixel32(b, x, y)) {
        char buf[96];
        std::snprintf(buf, sizeof buf, "(%d, %d): %08X against %08X", x, y, GetPixel32(a, x, y), GetPixel32(b, x, y));
        return buf;
      }
  return "";
}

TEST(SkinMask, NinePiecesMatchTheReference) {
  PaintersFixture f;
  const Bitmap parent = test::RandomBitmap(60, 50, 99);
  Bitmap parentCopy;
  parentCopy.Assign(parent);
  const CacheInfo ready = CacheInfoFromBitmap(&parentCopy, 3, 2);
  CacheInfo colour = EmptyCacheInfo;
  colour.FillColor = 0x123456;
  struct Case {
    const char* what;
    int32_t image;
    uint16_t drawMode;
    TRect R;
    int32_t state;
    bool useParent;
    const CacheInfo* ci;
  };
  const Case cases[] = {
      {"unmasked, tiled, centre, parent corners", f.frame, 4, {2, 3, 45, 33}, 1, true, &ready},
      {"unmasked, corners keep the target", f.frame, 4, {0, 0, 40, 30}, 0, false, &ready},
      {"unmasked, corners take the fill colour", f.frame, 0, {5, 5, 30, 20}, 2, true, &colour},
      {"unmasked, stretched", f.frame, 1 | 4, {1, 1, 52, 41}, 2, true, &ready},
      {"unmasked, shrunk to fewer pixels than the state", f.frame, 1 | 4, {4, 4, 12, 10}, 0, true, &ready},
      {"narrower than the borders: the right one loses the odd pixel", f.frame, 4, {10, 10, 16, 14}, 1, true, &ready},
      {"state beyond the last is the last", f.frame, 4, {0, 0, 25, 25}, 7, true, &ready},
      {"masked, tiled, centre", f.masked, 4, {3, 2, 50, 41}, 1, true, &ready},
      {"masked, no centre, no parent", f.masked, 0, {0, 0, 33, 29}, 2, false, &EmptyCacheInfo},
      {"masked, partly outside the target", f.masked, 4, {-7, -5, 40, 30}, 0, true, &ready},
  };
  for (const Case& c : cases) {
    SkinImageRecord rec = f.Image(c.image);
    rec.DrawMode = c.drawMode;
    Bitmap dst = test::RandomBitmap(60, 50, 7);
    const Bitmap expected = ReferenceMask(dst, c.R, *c.ci, rec, c.state, c.useParent, f.Master());
    DrawSkinMask(dst, c.R, *c.ci, rec, c.state, c.useParent);
    EXPECT_EQ(FirstDifference(dst, expected), "") << c.what;
  }
}

TEST(SkinMask, DegenerateInputPaintsNothing) {
  PaintersFixture f;
  struct Case {
    const char* what;
    int32_t image;
    TRect R;
    int32_t state;
    void (*change)(SkinImageRecord&);
  };
  const Case cases[] = {
      {"image count 0", f.frame, {0, 0, 30, 30}, 0, [](SkinImageRecord& r) { r.ImageCount = 0; }},
      {"negative image count", f.frame, {0, 0, 30, 30}, 0, [](SkinImageRecord& r) { r.ImageCount = -3; }},
      {"negative state", f.frame, {0, 0, 30, 30}, -1, [](SkinImageRecord&) {}},
      {"state 0 of a record that paints nothing there", f.frame, {0, 0, 30, 30}, 0,
       [](SkinImageRecord& r) { r.DrawMode = dmNoState0 | dmPaintCentre; }},
      {"rectangle below 2 x 2", f.frame, {5, 5, 6, 30}, 1, [](SkinImageRecord&) {}},
      {"no manager", f.frame, {0, 0, 30, 30}, 1, [](SkinImageRecord& r) { r.Manager = nullptr; }},
      {"borders wider than the state", f.frame, {0, 0, 30, 30}, 1, [](SkinImageRecord& r) { r.BorderLeft = 9; }},
      {"source rectangle outside the master", f.masked, {0, 0, 30, 30}, 1,
       [](SkinImageRecord& r) { r.SourceRect = TRect{150, 90, 190, 130}; }},
      {"zero-size frame", f.masked, {0, 0, 30, 30}, 1, [](SkinImageRecord& r) { r.SourceRect.Bottom = r.SourceRect.Top; }},
  };
  for (const Case& c : cases) {
    SkinImageRecord rec = f.Image(c.image);
    c.change(rec);
    Bitmap dst = test::RandomBitmap(40, 40, 3);
    Bitmap before;
    before.Assign(dst);
    DrawSkinMask(dst, c.R, EmptyCacheInfo, rec, c.state, true);
    DrawSkinMaskAlpha(dst, c.R, EmptyCacheInfo, rec, c.state);
    DrawSkinMaskEx(dst, c.R, EmptyCacheInfo, rec, c.state, TRect{5, 5, 5, 5}, 200);
    EXPECT_TRUE(test::SamePixels(dst, before)) << c.what;
  }
  // A state 0 that paints nothing paints in state 1; far-away and huge rectangles are clipped, not walked.
  SkinImageRecord rec = f.Image(f.frame);
  rec.DrawMode = dmNoState0 | dmPaintCentre;
  Bitmap dst(40, 40, pf32bit);
  DrawSkinMask(dst, TRect{0, 0, 30, 30}, EmptyCacheInfo, rec, 1, false);
  EXPECT_EQ(GetPixel32(dst, 15, 15), GetPixel32(f.Master(), 12 + 3 + 12 % 5, 3 + 12 % 7));
  DrawSkinMask(dst, TRect{-2000000000, -2000000000, 2000000000, 2000000000}, EmptyCacheInfo, rec, 1, false);
  DrawSkinMask(dst, TRect{100000, 100000, 100050, 100050}, EmptyCacheInfo, f.Image(f.masked), 1, false);
}

TEST(SkinMask, TilingCutsTheLastPiece) {
  // An edge of 25 with pieces of 10: two whole pieces and a 5-pixel one; a zero-length piece leaves the run alone.
  struct Case {
    int64_t start, end, len, clipLow, clipHigh;
    std::vector<std::pair<int64_t, int64_t>> pieces;
  };
  const Case cases[] = {
      {0, 25, 10, 0, 100, {{0, 10}, {10, 10}, {20, 5}}},
      {0, 20, 10, 0, 100, {{0, 10}, {10, 10}}},
      {-25, 12, 10, -1000, 1000, {{-25, 10}, {-15, 10}, {-5, 10}, {5, 7}}},
      {-25, 12, 10, 0, 100, {{-5, 10}, {5, 7}}},  // tiles wholly before the clip are skipped
      {0, 25, 10, 0, 12, {{0, 10}, {10, 10}}},    // and after it
      {0, 25, 0, 0, 100, {}},
  };
  for (const Case& c : cases) {
    std::vector<std::pair<int64_t, int64_t>> got;
    TileRun(c.start, c.end, c.len, c.clipLow, c.clipHigh, [&](int64_t p, int64_t l) { got.emplace_back(p, l); });
    EXPECT_EQ(got, c.pieces) << c.start << ".." << c.end << " by " << c.len;
  }
}

TEST(SkinMask, StretchedMaskedPiecesMixTheirResampledMask) {
  // A flat image over a flat mask stays flat whatever the filter: every pixel is the mix of the two colours.
  PaintersFixture f;
  const SkinImageRecord& rec = f.Image(f.flatMasked);
  Bitmap dst(70, 50, pf32bit);
  FillRectBitmap32(dst, TRect{0, 0, 70, 50}, 0x0A141E, 255);
  const TRect R{3, 4, 67, 47};
  DrawSkinMask(dst, R, EmptyCacheInfo, rec, 0, false);
  const uint32_t expected = MixChannelMask(0xFF1E140Au, PaintersFixture::kFlatImage, PaintersFixture::kFlatMask);
  for (int32_t y = 0; y < 50; ++y)
    for (int32_t x = 0; x < 70; ++x) {
      const bool inside = x >= R.Left && x < R.Right && y >= R.Top && y < R.Bottom;
      ASSERT_EQ(GetPixel32(dst, x, y) & 0x00FFFFFFu, inside ? expected : 0x1E140Au) << x << ", " << y;
    }
  // A single-pixel centre fills its rectangle with the same mix at once.
  Bitmap small(20, 20, pf32bit);
  FillRectBitmap32(small, TRect{0, 0, 20, 20}, 0x0A141E, 255);
  StretchMaskedPiece(small, 2, 2, 15, 15, f.Master(), 41, 17, 1, 1, 8, true);
  EXPECT_EQ(GetPixel32(small, 10, 10), expected | 0xFF000000u);
  EXPECT_EQ(GetPixel32(small, 1, 1), 0xFF1E140Au);
  // A piece whose mask would lie outside the source is not drawn.
  StretchMaskedPiece(small, 0, 0, 10, 10, f.Master(), 40, 90, 8, 4, 8, false);
  EXPECT_EQ(GetPixel32(small, 0, 0), 0xFF1E140Au);
}

TEST(SkinMask, AMaskedPieceGrownOnBothAxesTakesTheNearestPixelsMixedThroughTheMask) {
  // Neither shrinking nor a centre: image and mask stretched by nearest pixel (the source pixel under each target
  // pixel's centre), then d := s + (d - s) x m_c shr 8, alpha 255; the target cut by the bitmap's edge.
  const Bitmap src = test::RandomBitmap(30, 40, 21);
  struct Case {
    int32_t x, y, w, h, sw, sh;
  };
  for (const Case c : {Case{3, 2, 47, 29, 5, 7}, Case{40, 30, 45, 33, 9, 4}, Case{0, 0, 8, 70, 1, 6}}) {
    SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
    Bitmap dst = test::RandomBitmap(60, 50, 4);
    Bitmap before;
    before.Assign(dst);
    StretchMaskedPiece(dst, c.x, c.y, c.w, c.h, src, 2, 1, c.sw, c.sh, 20, false);
    int wrong = 0;
    for (int32_t y = 0; y < 50; ++y)
      for (int32_t x = 0; x < 60; ++x) {
        uint32_t want = GetPixel32(before, x, y);
        if (x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h) {
          const int32_t sx = 2 + (2 * (x - c.x) + 1) * c.sw / (2 * c.w), sy = 1 + (2 * (y - c.y) + 1) * c.sh / (2 * c.h);
          want = MixChannelMask(want, GetPixel32(src, sx, sy), GetPixel32(src, sx, sy + 20)) | 0xFF000000u;
        }
        wrong += GetPixel32(dst, x, y) != want ? 1 : 0;
      }
    EXPECT_EQ(wrong, 0);
  }
}

TEST(SkinMask, ATiledMaskedCentreRepeatsItsPieceFromTheCentresCorner) {
  // Centre pixel (x, y) takes the piece's pixel ((x - left) mod width, (y - top) mod height) mixed through its mask
  // (d := s + (d - s) x m_c shr 8, the target's alpha kept); a key pixel of the image leaves the target as it was.
  // The frame cut by the bitmap on two sides, or inside it.
  PaintersFixture f;
  SkinImageRecord rec = f.Image(f.masked);
  auto own = std::make_shared<Bitmap>(test::RandomBitmap(24, 40, 31));
  SetPixel32(*own, 7, 9, KeyPixel);
  rec.Bitmap = own;
  rec.SourceRect = TRect{0, 0, 24, 40};
  rec.ImageCount = 1;
  rec.MaskType = 1;  // frames of 20 rows, the mask 20 rows below
  rec.BorderLeft = rec.BorderTop = rec.BorderRight = rec.BorderBottom = 3;
  rec.DrawMode = dmPaintCentre;
  for (const TRect R : {TRect{5, 4, 190, 140}, TRect{-11, -9, 150, 120}}) {
    SCOPED_TRACE(std::to_string(R.Left) + ", " + std::to_string(R.Top));
    Bitmap dst = test::RandomBitmap(200, 150, 8);
    Bitmap before;
    before.Assign(dst);
    DrawSkinMask(dst, R, EmptyCacheInfo, rec, 0, false);
    int wrong = 0;
    for (int32_t y = std::max(R.Top + 3, 0); y < R.Bottom - 3; ++y)
      for (int32_t x = std::max(R.Left + 3, 0); x < R.Right - 3; ++x) {
        const int32_t sx = 3 + (x - R.Left - 3) % 18, sy = 3 + (y - R.Top - 3) % 14;
        const uint32_t s = GetPixel32(*own, sx, sy), m = GetPixel32(*own, sx, sy + 20), d = GetPixel32(before, x, y);
        const uint32_t want = s == KeyPixel ? d : MixChannelMask(d, s, m) | (d & 0xFF000000u);
        wrong += GetPixel32(dst, x, y) != want ? 1 : 0;
      }
    EXPECT_EQ(wrong, 0);
  }
}

TEST(SkinMask, AlphaAndOuterBandMembers) {
  PaintersFixture f;
  const SkinImageRecord& rec = f.Image(f.masked);
  Bitmap parent = test::Filled(40, 40, 0xFF0000FFu);
  const CacheInfo ci = CacheInfoFromBitmap(&parent, 0, 0);
  const TRect R{0, 0, 30, 30};
  // Layered member: d := (d x m + s x (255 - m)) shr 8 with m the mask's red byte; alpha raised by 255 - m; the
  // key pixel of the corner shows the parent.
  Bitmap dst = test::Filled(40, 40, 0x40808080u);
  DrawSkinMaskAlpha(dst, R, ci, rec, 1);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 2; ++x) {
      const uint32_t s = GetPixel32(f.Master(), 10 + x, 16 + y), m = PixelR(GetPixel32(f.Master(), 10 + x, 26 + y));
      const uint32_t d = 0x40808080u;
      auto ch = [m](uint32_t dc, uint32_t sc) { return (dc * m + sc * (255 - m)) >> 8; };
      const uint32_t a = std::max<uint32_t>(0x40, 255 - m);
      EXPECT_EQ(GetPixel32(dst, x, y), MakePixel(ch(PixelB(d), PixelB(s)), ch(PixelG(d), PixelG(s)),
                                                 ch(PixelR(d), PixelR(s)), a))
          << x << ", " << y;
    }
  EXPECT_EQ(GetPixel32(dst, 29, 0), 0xFF0000FFu);  // state 1's key pixel at (9, 0) of the state, top-right corner
  // Outer band: only the outer 1 (left, top) and 2 (right, bottom) pixels of the edges; the corners whole; no centre.
  Bitmap band = test::Filled(40, 40, 0xFF808080u);
  DrawSkinMaskEx(band, R, ci, rec, 1, TRect{1, 1, 2, 2}, 128);
  EXPECT_EQ(GetPixel32(band, 15, 15), 0xFF808080u);  // centre
  EXPECT_EQ(GetPixel32(band, 1, 15), 0xFF808080u);   // left edge beyond its band of 1
  EXPECT_NE(GetPixel32(band, 0, 15), 0xFF808080u);
  EXPECT_EQ(GetPixel32(band, 15, 1), 0xFF808080u);   // top edge beyond its band of 1
  EXPECT_NE(GetPixel32(band, 1, 1), 0xFF808080u);    // inside the corner (2 x 3)
  {
    // The faded rule on an edge pixel: k = (255 - m) x opacity shr 8.
    const int32_t sx = 10 + 0, sy = 16 + 3;  // left edge, first row below the corner, from the outer column
    const uint32_t s = GetPixel32(f.Master(), sx, sy), m = PixelR(GetPixel32(f.Master(), sx, sy + 10));
    const uint32_t k = ((255 - m) * 128) >> 8;
    auto ch = [k](uint32_t dc, uint32_t sc) { return (dc * (255 - k) + sc * k) >> 8; };
    EXPECT_EQ(GetPixel32(band, 0, 3) & 0x00FFFFFFu,
              MakePixel(ch(0x80, PixelB(s)), ch(0x80, PixelG(s)), ch(0x80, PixelR(s)), 0));
  }
}

}  // namespace
}  // namespace skin
