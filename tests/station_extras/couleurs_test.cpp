// The colour buttons' colour maths: HLS and RGB conversions both ways, their range errors, the light and dark
// shades, and the recolouring of a speed button painted in the system colours.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "station/forms/clrbtn.h"
#include "station/forms/clrspbtn.h"

namespace {

using forms::HLS2RGB;
using forms::RGB2HLS;

std::string ConversionError(const std::function<void()>& f) {
  try {
    f();
  } catch (const forms::EColorConv& e) {
    return e.what();
  }
  return "no error";
}

TEST(ColourConversions, KnownColours) {
  double r, g, b;
  HLS2RGB(0.0, 0.5, 1.0, r, g, b);
  EXPECT_DOUBLE_EQ(r, 1.0);
  EXPECT_DOUBLE_EQ(g, 0.0);
  EXPECT_DOUBLE_EQ(b, 0.0);
  HLS2RGB(1.0 / 3.0, 0.5, 1.0, r, g, b);  // green
  EXPECT_NEAR(r, 0.0, 1e-12);
  EXPECT_NEAR(g, 1.0, 1e-12);
  EXPECT_NEAR(b, 0.0, 1e-12);
  HLS2RGB(0.5, 0.25, 1.0, r, g, b);  // dark cyan
  EXPECT_NEAR(r, 0.0, 1e-12);
  EXPECT_NEAR(g, 0.5, 1e-12);
  EXPECT_NEAR(b, 0.5, 1e-12);
  HLS2RGB(1.0, 0.75, 1.0, r, g, b);  // hue 1 is red again, light
  EXPECT_NEAR(r, 1.0, 1e-12);
  EXPECT_NEAR(g, 0.5, 1e-12);
  EXPECT_NEAR(b, 0.5, 1e-12);
  for (double h : {0.0, 0.3, 0.77, 1.0})
    for (double l : {0.0, 0.2, 0.5, 0.9, 1.0}) {
      HLS2RGB(h, l, 0.0, r, g, b);
      EXPECT_DOUBLE_EQ(r, l);
      EXPECT_DOUBLE_EQ(g, l);
      EXPECT_DOUBLE_EQ(b, l);
    }
  double h, l, s;
  RGB2HLS(1.0, 1.0, 0.0, h, l, s);  // yellow
  EXPECT_NEAR(h, 1.0 / 6.0, 1e-12);
  EXPECT_NEAR(l, 0.5, 1e-12);
  EXPECT_NEAR(s, 1.0, 1e-12);
  RGB2HLS(0.3, 0.3, 0.3, h, l, s);
  EXPECT_DOUBLE_EQ(h, 0.0);
  EXPECT_DOUBLE_EQ(s, 0.0);
  EXPECT_DOUBLE_EQ(l, 0.3);
}

TEST(ColourConversions, RoundTripsBothWays) {
  double worst = 0.0;
  for (int ri = 0; ri <= 255; ri += 15)
    for (int gi = 0; gi <= 255; gi += 17)
      for (int bi = 0; bi <= 255; bi += 51) {
        const double r0 = ri / 255.0, g0 = gi / 255.0, b0 = bi / 255.0;
        double h, l, s, r, g, b;
        RGB2HLS(r0, g0, b0, h, l, s);
        ASSERT_GE(h, 0.0);
        ASSERT_LT(h, 1.0);
        HLS2RGB(h, l, s, r, g, b);
        worst = std::max({worst, std::abs(r - r0), std::abs(g - g0), std::abs(b - b0)});
      }
  EXPECT_LT(worst, 1e-12);

  worst = 0.0;
  for (int hi = 0; hi < 60; ++hi)
    for (int li = 1; li < 20; ++li)
      for (int si = 1; si <= 10; ++si) {
        const double h0 = hi / 60.0, l0 = li / 20.0, s0 = si / 10.0;
        double r, g, b, h, l, s;
        HLS2RGB(h0, l0, s0, r, g, b);
        RGB2HLS(r, g, b, h, l, s);
        // Hue is an angle: 1 and 0 are the same red.
        const double dh = std::min(std::abs(h - h0), 1.0 - std::abs(h - h0));
        worst = std::max({worst, dh, std::abs(l - l0), std::abs(s - s0)});
      }
  EXPECT_LT(worst, 1e-9);
}

TEST(ColourConversions, OutOfRangeComponentsAreNamed) {
  double a, b, c;
  EXPECT_EQ(ConversionError([&] { HLS2RGB(0.5, 1.2, 0.5, a, b, c); }), "HLS2RGB: 0 <= Luminance value <= 1 required");
  EXPECT_EQ(ConversionError([&] { HLS2RGB(1.2, 1.2, 0.5, a, b, c); }), "HLS2RGB: 0 <= Hue value <= 1 required");
  EXPECT_EQ(ConversionError([&] { HLS2RGB(0.5, 0.5, -0.1, a, b, c); }), "HLS2RGB: 0 <= Saturation value <= 1 required");
  EXPECT_EQ(ConversionError([&] { RGB2HLS(-1, 0.5, 2, a, b, c); }), "RGB2HLS: 0 <= Red value <= 1 required");
  EXPECT_EQ(ConversionError([&] { RGB2HLS(0, 1.5, 0, a, b, c); }), "RGB2HLS: 0 <= Green value <= 1 required");
  EXPECT_EQ(ConversionError([&] { RGB2HLS(0, 0, 1.0001, a, b, c); }), "RGB2HLS: 0 <= Blue value <= 1 required");
  EXPECT_EQ(ConversionError([&] { HLS2RGB(std::nan(""), 0.5, 0.5, a, b, c); }), "HLS2RGB: 0 <= Hue value <= 1 required");
  EXPECT_EQ(ConversionError([&] { HLS2RGB(1.0, 1.0, 1.0, a, b, c); }), "no error");
}

TEST(ColourShades, LightAndDark) {
  gui::TColor light = 0, dark = 0;
  forms::Couleurs_ombrees(0x000000, 0.4, 0.4, light, dark);
  EXPECT_EQ(light, 0x999999);  // 255 - round(102.4) = 153
  EXPECT_EQ(dark, 0x000000);
  forms::Couleurs_ombrees(0xFFFFFF, 0.4, 0.4, light, dark);
  EXPECT_EQ(light, 0xFFFFFF);  // 255 - round(0.4)
  EXPECT_EQ(dark, 0x666666);   // luminance 1 x 0.4 -> 102
  // The speech switch's green (R 128, G 255, B 128): luminance 0.751 -> 0.3004, saturation 1.
  forms::Couleurs_ombrees(0x80FF80, 0.4, 0.4, light, dark);
  EXPECT_EQ(light, 0xCCFFCC);  // 255 - round(51.2) = 204
  EXPECT_EQ(dark, 0x009900);   // G = 2 x 0.3004 x 255 rounded = 153, R = B = 0
  // Half-way values round to even: (256 - 131) x 0.5 = 62.5 -> 62 and (256 - 1) x 0.5 = 127.5 -> 128.
  forms::Couleurs_ombrees(0x000183, 0.5, 0.4, light, dark);
  EXPECT_EQ(light & 0xFF, uint32_t(255 - 62));  // (256 - 131) x 0.5 = 62.5 -> 62
  EXPECT_EQ((light >> 8) & 0xFF, uint32_t(255 - 128));
  // System colours are resolved first.
  forms::Couleurs_ombrees(gui::clBtnFace, 0.4, 0.4, light, dark);
  gui::TColor l2 = 0, d2 = 0;
  forms::Couleurs_ombrees(gui::TColor(gui::ColorToRGB(gui::clBtnFace)), 0.4, 0.4, l2, d2);
  EXPECT_EQ(light, l2);
  EXPECT_EQ(dark, d2);
}

TEST(ColourSpeedButton, HighlightsShadowsAndFaceTakeTheButtonsColour) {
  const uint32_t face = 0xC8D0D4, hi = 0xFFFFFF, sh = 0x808080, text = 0x000000;
  gui::TBitmap a;
  a.SetPixelFormat(gui::TPixelFormat::pf32bit);
  a.SetSize(4, 1);
  const uint32_t in[4] = {face, hi, sh, text};
  for (int x = 0; x < 4; ++x) {
    uint8_t* p = a.ScanLine(0) + 4 * x;
    p[0] = uint8_t(in[x] >> 16);
    p[1] = uint8_t(in[x] >> 8);
    p[2] = uint8_t(in[x]);
  }
  forms::Recolore_bouton(a, 0x80FF80, face, hi, sh);
  auto px = [&](int x) {
    const uint8_t* p = a.ScanLine(0) + 4 * x;
    return uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16;
  };
  EXPECT_EQ(px(0), 0x80FF80u);
  EXPECT_EQ(px(1), 0xCCFFCCu);
  EXPECT_EQ(px(2), 0x009900u);
  EXPECT_EQ(px(3), 0x000000u);
}

TEST(ColourButton, KeepsItsColourAndDefaultsToTheButtonFace) {
  forms::TClrBtn b(nullptr);
  EXPECT_EQ(b.Color(), gui::clBtnFace);
  EXPECT_STREQ(b.ClassName(), "TClrBtn");
  int colourChanges = 0;
  const gui::TWndMethod old = b.WindowProc;
  b.WindowProc = [&](gui::TMessage& m) {
    if (m.Msg == gui::CM_COLORCHANGED) ++colourChanges;
    old(m);
  };
  b.SetColor(0xC0FFC0);
  b.SetColor(0xC0FFC0);
  EXPECT_EQ(colourChanges, 1);
  EXPECT_EQ(b.Color(), 0xC0FFC0);
  b.WindowProc = old;
}

}  // namespace
