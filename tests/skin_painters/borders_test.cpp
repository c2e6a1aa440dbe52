// Borders and frame regions: the transparent runs a border leaves, the key-colour corners of a frame, a control's
// border over its parent and the nine parts of a form's frame.
#include "skin/painters/borders.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>

#include "gui/extctrls.h"
#include "skin/data/scommondata.h"
#include "skin/painters/painter_services.h"
#include "skin/painters/parent_background.h"
#include "tests/skin_painters/painters_fixture.h"
#include "tests/skin_pixels/test_pixels.h"

namespace skin {
namespace {

using test::PaintersFixture;

// The index along an axis n long with borders a and b over a source f long: borders 1:1, the middle tiled or
// stretched (the pixel under each target centre).
int32_t Along(int32_t i, int32_t n, int32_t a, int32_t b, int32_t f, bool stretch) {
  if (i < a) return i;
  if (i >= n - b) return f - b + (i - (n - b));
  const int32_t c = f - a - b, run = n - a - b, k = i - a;
  return a + (stretch ? (2 * k + 1) * c / (2 * run) : k % c);
}

TEST(Borders, TransparentRunsAreTheKeyPixelsLeft) {
  PaintersFixture f;
  for (uint16_t drawMode : {uint16_t(0), uint16_t(1 | 4)}) {
    SkinImageRecord rec = f.Image(f.frame);  // 12 x 12 states, borders 3, 3, 4, 2, key pixels in two corners
    rec.DrawMode = drawMode;
    const TRect R{1, 2, 31, 22};
    Bitmap dst = test::Filled(34, 24, 0x5A5A5A5Au);
    std::vector<TRect> runs;
    DrawBorderImage(dst, R, rec, 1, true, &runs);
    std::set<std::pair<int32_t, int32_t>> fromRuns;
    for (const TRect& r : runs) {
      ASSERT_EQ(r.Bottom - r.Top, 1);
      for (int32_t x = r.Left; x < r.Right; ++x) fromRuns.insert({x, r.Top});
    }
    std::set<std::pair<int32_t, int32_t>> keys;
    const bool stretch = drawMode & 1, centre = drawMode & 4;
    for (int32_t y = R.Top; y < R.Bottom; ++y)
      for (int32_t x = R.Left; x < R.Right; ++x) {
        const int32_t sx = Along(x - R.Left, 30, 3, 4, 12, stretch), sy = Along(y - R.Top, 20, 3, 2, 12, stretch);
        const bool middle = sx >= 3 && sx < 8 && sy >= 3 && sy < 10 && x - R.Left >= 3 && x - R.Left < 26 &&
                            y - R.Top >= 3 && y - R.Top < 18;
        const uint32_t s = GetPixel32(f.Master(), 12 + sx, sy);
        if (middle && !centre) {
          ASSERT_EQ(GetPixel32(dst, x, y), 0x5A5A5A5Au);
        } else if (s == KeyPixel) {
          keys.insert({x, y});
          ASSERT_EQ(GetPixel32(dst, x, y), 0x5A5A5A5Au);
        } else {
          ASSERT_EQ(GetPixel32(dst, x, y), s) << x << ", " << y;
        }
      }
    EXPECT_EQ(fromRuns, keys) << "draw mode " << drawMode;
    EXPECT_EQ(keys.size(), 4u);
  }
}

TEST(Borders, KeyColourCornersOfAFrame) {
  PaintersFixture f;
  struct Case {
    const char* what;
    std::shared_ptr<Bitmap> own;  // an image of its own, else the frame of the fixture
    bool bottom;
    std::vector<TRect> rects;
  };
  auto fiveInARow = std::make_shared<Bitmap>(12, 4, pf32bit);
  FillRectBitmap32(*fiveInARow, TRect{0, 0, 12, 4}, 0x808080, 255);
  for (int32_t x = 0; x < 5; ++x) SetPixel32(*fiveInARow, x, 0, KeyPixel);
  auto none = std::make_shared<Bitmap>(12, 4, pf32bit);
  const Case cases[] = {
      {"top band of the frame", nullptr, false, {{0, 7, 2, 8}, {0, 8, 1, 9}}},
      {"bottom band of the frame", nullptr, true, {{99, 8, 100, 9}}},
      {"first row magenta over five pixels", fiveInARow, false, {{0, 7, 5, 8}}},
      {"no magenta", none, false, {}},
  };
  for (const Case& c : cases) {
    SkinImageRecord rec = f.Image(f.frame);
    if (c.own) {
      rec.Bitmap = c.own;
      rec.SourceRect = TRect{0, 0, 12, 4};
      rec.ImageCount = 1;
      rec.BorderLeft = 6;
      rec.BorderTop = 2;
    }
    std::vector<TRect> rects;
    MaskCornerRects(rects, 100, rec, 7, c.bottom);
    EXPECT_EQ(rects, c.rects) << c.what;
  }
  // A band larger than the bitmap adds nothing.
  SkinImageRecord tall = f.Image(f.frame);
  tall.BorderTop = 200;
  std::vector<TRect> rects;
  MaskCornerRects(rects, 100, tall, 0, false);
  EXPECT_TRUE(rects.empty());
}

TEST(Borders, ControlBorderOverItsParent) {
  PaintersFixture f;
  auto parent = std::make_unique<gui::TPanel>(nullptr);
  parent->SetColor(0x00FF00);  // the parent answers no background: its colour is used
  auto* child = new gui::TPanel(parent.get());
  child->SetParent(parent.get());
  child->SetBounds(4, 4, 30, 20);
  TsCommonData data;
  data.FSkinManager = &f.manager;
  data.SkinIndex = f.button;
  data.BorderIndex = f.frame;
  data.OwnerControl = child;
  data.CacheBmp = std::make_unique<Bitmap>(30, 20, pf32bit);
  const TRect R{0, 0, 30, 20};
  TRect client;
  PaintBorderFrame(R, 0, client, 0, data);
  EXPECT_EQ(client, (TRect{3, 3, 26, 18}));
  // The border image with its key pixels showing the parent's colour (not ready: the fill colour, alpha 0).
  EXPECT_EQ(GetPixel32(*data.CacheBmp, 1, 0), ColorToKeyPixel(0x00FF00));
  EXPECT_EQ(GetPixel32(*data.CacheBmp, 2, 0), GetPixel32(f.Master(), 2, 0));
  // A client margin: the band inside the border takes the control's background colour (the opaque section colour).
  FillRectBitmap32(*data.CacheBmp, R, 0, 0);
  PaintBorderFrame(R, 5, client, 0, data);
  EXPECT_EQ(client, (TRect{5, 5, 25, 15}));
  EXPECT_EQ(GetPixel32(*data.CacheBmp, 4, 10), ColorToPixel(PaintersFixture::kButtonColor, 255));
  EXPECT_EQ(GetPixel32(*data.CacheBmp, 5, 10), 0u);
}

TEST(Borders, FormFramePartsAndStrips) {
  const Bitmap src = test::RandomBitmap(20, 16, 41);
  const TRect dstRect{1, 1, 41, 31};  // 40 x 30 from 20 x 16 with borders 3, 2, 4, 5
  for (bool stretch : {false, true}) {
    Bitmap dst = test::Filled(44, 34, 0x77777777u);
    const int32_t mode = stretch ? 1 : 0;
    PaintFormBorderParts(dst, src, dstRect, true, stretch, {mode, mode, mode, mode}, TRect{9, 9, 9, 9},
                         TRect{3, 2, 4, 5}, TRect{0, 0, 20, 16});
    for (int32_t y = 0; y < 34; ++y)
      for (int32_t x = 0; x < 44; ++x) {
        const bool inside = x >= 1 && x < 41 && y >= 1 && y < 31;
        const uint32_t expected = inside ? GetPixel32(src, Along(x - 1, 40, 3, 4, 20, stretch), Along(y - 1, 30, 2, 5, 16, stretch))
                                         : 0x77777777u;
        ASSERT_EQ(GetPixel32(dst, x, y), expected) << (stretch ? "stretched" : "tiled") << " at " << x << ", " << y;
      }
  }
  // A zero frame fill paints nothing visible.
  Bitmap dst = test::Filled(44, 34, 0x77777777u);
  FillFrameColor(dst, TRect{0, 0, 44, 34}, 0, 0, 0, 0, 0x0000FF);
  EXPECT_TRUE(test::SamePixels(dst, test::Filled(44, 34, 0x77777777u)));
  // Strips: each pixel of the frame once, from the same place around the source origin; the inside left alone.
  const Bitmap from = test::RandomBitmap(40, 40, 43);
  Bitmap to = test::Filled(30, 30, 0x77777777u);
  CopyBorderStrips(to, 2, 3, 3, 20, 15, from, 10, 11);
  for (int32_t y = 0; y < 30; ++y)
    for (int32_t x = 0; x < 30; ++x) {
      const int32_t dx = x - 2, dy = y - 3;
      const bool inFrame = dx >= 0 && dx < 20 && dy >= 0 && dy < 15 && (dx < 3 || dy < 3 || dx >= 17 || dy >= 12);
      ASSERT_EQ(GetPixel32(to, x, y), inFrame ? GetPixel32(from, 10 + dx, 11 + dy) : 0x77777777u) << x << ", " << y;
    }
}

TEST(ParentBackground, QueriesAndTheirFallbacks) {
  PaintersFixture f;  // the fixture's manager is the default one
  auto parent = std::make_unique<gui::TPanel>(nullptr);
  parent->SetColor(0x00FF00);
  intptr_t colourAnswer = 0;
  bool answerImage = false;
  Bitmap image(10, 10, pf32bit);
  parent->WindowProc = [&, old = parent->WindowProc](gui::TMessage& m) {
    if (m.Msg == library_command::Message && HIWORD(m.WParam) == library_command::GetColor) {
      m.Result = colourAnswer;
      return;
    }
    if (m.Msg == library_command::Message && HIWORD(m.WParam) == library_command::GetBackground && answerImage) {
      auto* info = reinterpret_cast<BackgroundInfo*>(m.LParam);
      EXPECT_EQ(info->R, (TRect{0, 0, 5, 6}));
      info->Bmp = &image;
      info->Offset = TPoint{3, 4};
      info->BgType = btCache;
      return;
    }
    old(m);
  };
  BackgroundInfo info;
  info.R = TRect{0, 0, 5, 6};
  info.FillR = TRect{1, 1, 1, 1};
  EXPECT_TRUE(QueryControlBackground(info, parent.get(), false));
  EXPECT_EQ(info.BgType, btFill);
  EXPECT_EQ(info.Color, 0x00FF00);  // no answer to either question: the parent's colour
  EXPECT_EQ(info.FillR, TRect{});
  colourAnswer = 0x123456;
  QueryControlBackground(info, parent.get(), false);
  EXPECT_EQ(info.Color, 0x123456);
  answerImage = true;
  QueryControlBackground(info, parent.get(), false);
  EXPECT_EQ(info.BgType, btCache);
  EXPECT_EQ(info.Bmp, &image);
  CacheInfo ci;
  BackgroundToCacheInfo(info, ci);
  EXPECT_TRUE(ci.Ready);
  EXPECT_EQ(ci.X, 3);
  // A window that does not answer (natively no window answers): the default manager's global colour, false.
  BackgroundInfo window;
  EXPECT_FALSE(QueryParentBackground(window, nullptr, false));
  EXPECT_EQ(window.BgType, btFill);
  EXPECT_EQ(window.Color, SkinManagerGlobalColor(f.manager));
}

}  // namespace
}  // namespace skin
