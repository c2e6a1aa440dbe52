// Gradients against colours interpolated directly (within 1 on each channel: both sides interpolate in floating
// point), and the triangle gradient against barycentric interpolation at the pixel centres.
#include "skin/painters/gradients.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "skin/data/gradientdata.h"
#include "tests/skin_pixels/test_pixels.h"

namespace skin {
namespace {

struct Rgb {
  double r, g, b;
};
Rgb Of(TColor c) { return Rgb{double(ColorRed(uint32_t(c))), double(ColorGreen(uint32_t(c))), double(ColorBlue(uint32_t(c)))}; }

// The colour of every row (or column) of an axis n long: step i covers its share from where the previous ended, the
// last to the end; colours go linearly from Color1 to Color2 over the step.
std::vector<Rgb> AxisColours(const GradientStepArray& steps, int32_t n, bool rows) {
  std::vector<Rgb> out(size_t(n), Rgb{-1, -1, -1});
  int32_t at = 0;
  for (size_t i = 0; i < steps.size(); ++i) {
    const int32_t share = rows ? n * steps[i].Percent / 100 : int32_t(std::lround(steps[i].Percent * n / 100.0));
    const int32_t end = i + 1 == steps.size() ? n - 1 : std::min(at + share, n - 1);
    for (int32_t k = at; end > at && k <= end; ++k) {
      const double t = double(k - at) / double(end - at);
      const Rgb a = Of(steps[i].Color1), b = Of(steps[i].Color2);
      out[size_t(k)] = Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
    }
    at = std::max(at, end);
  }
  return out;
}

int Distance(uint32_t p, const Rgb& c) {
  return std::max({std::abs(int(PixelR(p)) - int(std::lround(c.r))), std::abs(int(PixelG(p)) - int(std::lround(c.g))),
                   std::abs(int(PixelB(p)) - int(std::lround(c.b)))});
}

TEST(Gradients, RowsAndColumnsFollowTheirSteps) {
  GradientStepArray parsed;
  ParseGradientSteps("16777215;0;100;0;0", parsed);  // white to black over the whole height
  struct Case {
    const char* what;
    GradientStepArray steps;
  };
  const Case cases[] = {
      {"one parsed step", parsed},
      {"two steps by rows", {{0x0000FF, 0x00FF00, 30, 0}, {0x00FF00, 0xFF0000, 70, 0}}},
      {"steps under 100 %: the last runs to the end", {{0x102030, 0x203040, 20, 0}, {0x405060, 0xF0E0D0, 40, 0}, {0x000000, 0xFFFFFF, 0, 0}}},
      {"a step of one colour", {{0x336699, 0x336699, 50, 0}, {0x336699, 0x000000, 50, 0}}},
      {"two steps by columns", {{0xFFFFFF, 0x000080, 50, 1}, {0x000080, 0x808000, 50, 1}}},
      {"three steps by columns", {{0x00FF00, 0xFF00FF, 33, 1}, {0xFF00FF, 0x00FFFF, 33, 1}, {0x00FFFF, 0x000000, 34, 1}}},
  };
  const TRect R{3, 4, 58, 41};
  for (const Case& c : cases) {
    Bitmap bmp = test::Filled(64, 48, 0x11223344u);
    PaintGradient(bmp, R, c.steps);
    const bool rows = c.steps[0].Mode == 0;
    const std::vector<Rgb> colours = AxisColours(c.steps, rows ? R.Bottom - R.Top : R.Right - R.Left, rows);
    int worst = 0;
    for (int32_t y = 0; y < 48; ++y)
      for (int32_t x = 0; x < 64; ++x) {
        const uint32_t p = GetPixel32(bmp, x, y);
        if (x < R.Left || x >= R.Right || y < R.Top || y >= R.Bottom) {
          ASSERT_EQ(p, 0x11223344u) << c.what << " outside at " << x << ", " << y;
          continue;
        }
        ASSERT_EQ(PixelA(p), 255u) << c.what;
        worst = std::max(worst, Distance(p, colours[size_t(rows ? y - R.Top : x - R.Left)]));
      }
    EXPECT_LE(worst, 1) << c.what;
  }
  // A rectangle one row high takes the first colour; an empty step list paints nothing.
  Bitmap one = test::Filled(10, 3, 0);
  PaintGradient(one, TRect{0, 1, 10, 2}, cases[1].steps);
  EXPECT_EQ(GetPixel32(one, 5, 1), 0xFFFF0000u);
  PaintGradient(one, TRect{0, 0, 10, 3}, GradientStepArray{});
  EXPECT_EQ(GetPixel32(one, 5, 0), 0u);
}

TEST(Gradients, TrianglesInterpolateAtPixelCentres) {
  const GradientFillFunction saved = SetGradientFillProc(ShadeTriangles);
  const GradientStepArray steps = {{0x0000FF, 0, 0, 2}, {0xFFFFFF, 0, 0, 2}, {0x00FF00, 0, 0, 2},
                                   {0xFF0000, 0, 0, 2}};  // the fifth corner repeats the fourth colour
  const TRect R{2, 3, 52, 37};
  Bitmap bmp = test::Filled(56, 40, 0x11223344u);
  PaintGradient(bmp, R, steps);
  const int32_t w = R.Right - R.Left, h = R.Bottom - R.Top;
  struct V {
    double x, y;
    Rgb c;
  };
  const V v[5] = {{double(R.Left), double(R.Top), Of(0x0000FF)},
                  {double(R.Left + w / 2), double(R.Top + h / 2), Of(0xFFFFFF)},
                  {double(R.Right), double(R.Top), Of(0x00FF00)},
                  {double(R.Right), double(R.Bottom), Of(0xFF0000)},
                  {double(R.Left), double(R.Bottom), Of(0xFF0000)}};
  const int tri[4][3] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
  int worst = 0;
  for (int32_t y = R.Top; y < R.Bottom; ++y)
    for (int32_t x = R.Left; x < R.Right; ++x) {
      const double px = x + 0.5, py = y + 0.5;
      Rgb expected{-1, -1, -1};
      for (const auto& t : tri) {
        const V &a = v[t[0]], &b = v[t[1]], &c = v[t[2]];
        const double det = (b.y - c.y) * (a.x - c.x) + (c.x - b.x) * (a.y - c.y);
        const double l1 = ((b.y - c.y) * (px - c.x) + (c.x - b.x) * (py - c.y)) / det;
        const double l2 = ((c.y - a.y) * (px - c.x) + (a.x - c.x) * (py - c.y)) / det;
        const double l3 = 1 - l1 - l2;
        if (l1 < -1e-9 || l2 < -1e-9 || l3 < -1e-9) continue;
        // 16-bit channels (byte x 256) interpolated, then the high byte.
        auto ch = [&](double ca, double cb, double cc) { return std::floor((ca * l1 + cb * l2 + cc * l3) * 256 / 256); };
        expected = Rgb{ch(a.c.r, b.c.r, c.c.r), ch(a.c.g, b.c.g, c.c.g), ch(a.c.b, b.c.b, c.c.b)};
      }
      ASSERT_GE(expected.r, 0) << "every pixel of R lies in a triangle";
      worst = std::max(worst, Distance(GetPixel32(bmp, x, y), expected));
      ASSERT_EQ(PixelA(GetPixel32(bmp, x, y)), 255u);
    }
  EXPECT_LE(worst, 1);
  EXPECT_EQ(GetPixel32(bmp, 1, 1), 0x11223344u);
  // Without the entry point the triangle gradient paints nothing.
  SetGradientFillProc(nullptr);
  Bitmap none = test::Filled(20, 20, 0x11223344u);
  PaintGradient(none, TRect{0, 0, 20, 20}, steps);
  EXPECT_TRUE(test::SamePixels(none, test::Filled(20, 20, 0x11223344u)));
  SetGradientFillProc(saved);
}

TEST(Gradients, VariantMixesTheRepeatedTexture) {
  Bitmap texture = test::RandomBitmap(9, 7, 5);
  const TRect tile{2, 1, 7, 4};  // 5 x 3
  for (int32_t mode : {0, 1}) {
    const GradientStepArray steps = {{0x000000, 0xFFFFFF, 100, mode}};
    Bitmap bmp = test::Filled(40, 30, 0x11223344u);
    const TRect R{4, 2, 37, 29};
    PaintGradientVariant(bmp, R, steps, 200, 76, tile, texture);
    const std::vector<Rgb> colours =
        AxisColours(steps, mode == 0 ? R.Bottom - R.Top : R.Right - R.Left, mode == 0);
    int worst = 0;
    for (int32_t y = R.Top; y < R.Bottom; ++y)
      for (int32_t x = R.Left; x < R.Right; ++x) {
        const uint32_t t = GetPixel32(texture, tile.Left + (x - R.Left) % 5, tile.Top + (y - R.Top) % 3);
        const Rgb g = colours[size_t(mode == 0 ? y - R.Top : x - R.Left)];
        const Rgb expected{(PixelR(t) * 76 + g.r * 180) / 256, (PixelG(t) * 76 + g.g * 180) / 256,
                           (PixelB(t) * 76 + g.b * 180) / 256};
        const uint32_t p = GetPixel32(bmp, x, y);
        ASSERT_EQ(PixelA(p), 200u);
        worst = std::max(worst, Distance(p, Rgb{std::floor(expected.r), std::floor(expected.g), std::floor(expected.b)}));
      }
    EXPECT_LE(worst, 1) << "mode " << mode;
    EXPECT_EQ(GetPixel32(bmp, 3, 2), 0x11223344u);
  }
}

}  // namespace
}  // namespace skin
