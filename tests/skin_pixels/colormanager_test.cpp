#include "skin/pixels/colormanager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace skin {
namespace {

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EColorConversionError& e) {
    return e.what();
  }
  return "";
}

void Program(TColorManager& cm, TColorScheme src, TColorScheme dst, uint8_t srcBits, uint8_t dstBits,
             uint8_t srcSamples, uint8_t dstSamples) {
  cm.SetSourceColorScheme(src);
  cm.SetTargetColorScheme(dst);
  cm.SetSourceBitsPerSample(srcBits);
  cm.SetTargetBitsPerSample(dstBits);
  cm.SetSourceSamplesPerPixel(srcSamples);
  cm.SetTargetSamplesPerPixel(dstSamples);
}

TEST(ColorManager, SettersCheckTheirRangesAndMarkChangesOnly) {
  TColorManager cm;
  EXPECT_TRUE(cm.Changed());
  EXPECT_EQ(cm.SourceBitsPerSample(), 8);
  EXPECT_EQ(cm.TargetSamplesPerPixel(), 3);
  EXPECT_EQ(cm.SourceColorScheme(), csRGB);
  EXPECT_EQ(cm.TargetColorScheme(), csBGR);
  const std::string depth = "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.";
  const std::string samples = "Sample count per pixel does not correspond to the given color scheme.";
  EXPECT_EQ(ErrorOf([&] { cm.SetTargetBitsPerSample(0); }), depth);
  EXPECT_EQ(ErrorOf([&] { cm.SetTargetBitsPerSample(17); }), depth);
  EXPECT_EQ(ErrorOf([&] { cm.SetSourceBitsPerSample(0); }), depth);
  EXPECT_EQ(ErrorOf([&] { cm.SetSourceSamplesPerPixel(5); }), samples);
  EXPECT_EQ(ErrorOf([&] { cm.SetTargetSamplesPerPixel(0); }), samples);
  EXPECT_EQ(cm.TargetBitsPerSample(), 8);  // refused values leave the old ones

  // A conversion prepares once; setting a value again does not ask for another preparation.
  uint8_t src[3] = {1, 2, 3}, dst[3] = {};
  cm.ConvertRow(src, dst, 1, 0xFF);
  EXPECT_FALSE(cm.Changed());
  cm.SetSourceBitsPerSample(8);
  cm.SetTargetColorScheme(csBGR);
  EXPECT_FALSE(cm.Changed());
  cm.SetSourceSamplesPerPixel(4);
  EXPECT_TRUE(cm.Changed());
}

TEST(ColorManager, SchemesThatDoNotMatchRaise) {
  TColorManager cm;
  uint8_t src[16] = {}, dst[16] = {};
  const std::string indexed = "Conversion between indexed and non-indexed pixel formats is not supported.";
  const std::string none = "Color conversion failed. Could not find a proper method.";
  Program(cm, csIndexed, csBGR, 8, 8, 1, 3);
  EXPECT_EQ(ErrorOf([&] { cm.ConvertRow(src, dst, 1, 0xFF); }), indexed);
  Program(cm, csRGB, csIndexed, 8, 8, 3, 1);
  EXPECT_EQ(ErrorOf([&] { cm.ConvertRow(src, dst, 1, 0xFF); }), indexed);
  Program(cm, csG, csG, 16, 4, 1, 1);  // 16 bits only to and from 8 or 16
  EXPECT_EQ(ErrorOf([&] { cm.ConvertRow(src, dst, 1, 0xFF); }), none);
  Program(cm, csGA, csG, 4, 4, 1, 1);
  EXPECT_EQ(ErrorOf([&] { cm.ConvertRow(src, dst, 1, 0xFF); }), none);
  Program(cm, csRGB, csRGB, 8, 8, 3, 3);  // only to BGR or BGRA
  EXPECT_EQ(ErrorOf([&] { cm.ConvertRow(src, dst, 1, 0xFF); }), none);
  Program(cm, csRGBA, csBGRA, 8, 8, 3, 4);  // RGBA needs four samples
  EXPECT_EQ(ErrorOf([&] { cm.ConvertRow(src, dst, 1, 0xFF); }), "Sample count per pixel does not correspond to the given color scheme.");
  Program(cm, csRGB, csBGR, 8, 8, 3, 3);
  EXPECT_EQ(ErrorOf([&] { cm.ConvertRow(src, dst, 1, 0xFF); }), "");
}

TEST(ColorManager, SixteenBitRgbaWithSwapAndGammaKeepsAlpha) {
  TColorManager cm;
  Program(cm, csRGBA, csBGRA, 16, 8, 4, 4);
  cm.SetSourceOptions(coNeedByteSwap);
  cm.SetGamma(2.2f, 1.0f);
  cm.SetTargetOptions(coApplyGamma);
  // Big-endian samples: R = 0x8000, G = 0xFFFF, B = 0x0000, A = 0x7F7F; then R 0x0101, G 0x4000, B 0xC000, A 0xFFFF.
  const uint8_t src[16] = {0x80, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x7F, 0x7F,
                           0x01, 0x01, 0x40, 0x00, 0xC0, 0x00, 0xFF, 0xFF};
  uint8_t dst[8] = {};
  cm.ConvertRow(src, dst, 2, 0xFF);
  auto gamma = [](int v) { return int(std::lround(255 * std::pow(v / 255.0, 1 / 2.2))); };
  EXPECT_EQ(dst[0], gamma(0));
  EXPECT_EQ(dst[1], gamma(255));
  EXPECT_EQ(dst[2], gamma(0x8000 / 257));
  EXPECT_EQ(dst[3], 0x7F7F / 257);  // alpha scaled, not corrected
  EXPECT_EQ(dst[4], gamma(0xC000 / 257));
  EXPECT_EQ(dst[5], gamma(0x4000 / 257));
  EXPECT_EQ(dst[6], gamma(1));
  EXPECT_EQ(dst[7], 255);
  // Without the swap the samples are taken in memory order.
  cm.SetSourceOptions(0);
  cm.SetTargetOptions(0);
  cm.ConvertRow(src, dst, 1, 0xFF);
  EXPECT_EQ(dst[2], 0x0080 / 257);
  EXPECT_EQ(dst[3], 0x7F7F / 257);
}

TEST(ColorManager, EightBitColourRowsReorderChannels) {
  TColorManager cm;
  const uint8_t rgba[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  uint8_t out[12] = {};
  Program(cm, csRGBA, csBGRA, 8, 8, 4, 4);
  cm.ConvertRow(rgba, out, 3, 0xFF);
  EXPECT_EQ(std::vector<uint8_t>(out, out + 12), (std::vector<uint8_t>{3, 2, 1, 4, 7, 6, 5, 8, 11, 10, 9, 12}));
  Program(cm, csRGB, csBGR, 8, 8, 3, 3);
  cm.ConvertRow(rgba, out, 4, 0xFF);
  EXPECT_EQ(std::vector<uint8_t>(out, out + 12), (std::vector<uint8_t>{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10}));
  // RGB to BGRA: alpha 255. RGBA to BGR: alpha dropped.
  Program(cm, csRGB, csBGRA, 8, 8, 3, 4);
  cm.ConvertRow(rgba, out, 2, 0xFF);
  EXPECT_EQ(std::vector<uint8_t>(out, out + 8), (std::vector<uint8_t>{3, 2, 1, 255, 6, 5, 4, 255}));
  Program(cm, csRGBA, csBGR, 8, 8, 4, 3);
  cm.ConvertRow(rgba, out, 3, 0xFF);
  EXPECT_EQ(std::vector<uint8_t>(out, out + 9), (std::vector<uint8_t>{3, 2, 1, 7, 6, 5, 11, 10, 9}));
  // Long rows (done several pixels at a time) and their last pixels, for both pixel sizes.
  for (uint8_t samples : {uint8_t(3), uint8_t(4)}) {
    Program(cm, samples == 3 ? csRGB : csRGBA, samples == 3 ? csBGR : csBGRA, 8, 8, samples, samples);
    for (uint32_t count : {5u, 6u, 37u}) {
      std::vector<uint8_t> row(count * samples), converted(row.size(), 0xEE);
      for (size_t i = 0; i < row.size(); ++i) row[i] = uint8_t(i * 7 + 1);
      cm.ConvertRow(row.data(), converted.data(), count, 0xFF);
      for (uint32_t x = 0; x < count; ++x)
        for (int c = 0; c < samples; ++c)
          ASSERT_EQ(converted[x * samples + c], row[x * samples + (c < 3 ? 2 - c : c)]) << count << " " << x;
    }
  }
}

TEST(ColorManager, TwoBitGreyWidensToFourBits) {
  TColorManager cm;
  Program(cm, csG, csG, 2, 4, 1, 1);
  const uint8_t src[1] = {0x1B};  // 0, 1, 2, 3
  uint8_t dst[2] = {};
  cm.ConvertRow(src, dst, 4, 0xFF);
  EXPECT_EQ(dst[0], 0x05);
  EXPECT_EQ(dst[1], 0xAF);
  // Palette indices keep their value when widened.
  cm.SetSourceColorScheme(csIndexed);
  cm.SetTargetColorScheme(csIndexed);
  cm.ConvertRow(src, dst, 4, 0xFF);
  EXPECT_EQ(dst[0], 0x01);
  EXPECT_EQ(dst[1], 0x23);
  // Narrowing grey: 8 to 1 bit keeps the top level only.
  Program(cm, csG, csG, 8, 1, 1, 1);
  const uint8_t grey[9] = {0, 127, 128, 254, 255, 255, 0, 255, 255};
  uint8_t bits[2] = {};
  cm.ConvertRow(grey, bits, 9, 0xFF);
  EXPECT_EQ(bits[0], 0x0D);  // 0 0 0 0 1 1 0 1
  EXPECT_EQ(bits[1], 0x80);
}

TEST(ColorManager, PixelMasksWriteOnlyTheirPixels) {
  TColorManager cm;
  // 8-bit indices: mask 0x88 writes pixels 0 and 4 of every 8 from consecutive source samples.
  Program(cm, csIndexed, csIndexed, 8, 8, 1, 1);
  const uint8_t src[4] = {10, 20, 30, 40};
  std::vector<uint8_t> dst(16, 0xEE);
  cm.ConvertRow(src, dst.data(), 16, 0x88);
  const std::vector<uint8_t> want = {10, 0xEE, 0xEE, 0xEE, 20, 0xEE, 0xEE, 0xEE,
                                     30, 0xEE, 0xEE, 0xEE, 40, 0xEE, 0xEE, 0xEE};
  EXPECT_EQ(dst, want);
  // 1-bit samples: mask 0x55 sets pixels 1, 3, 5, 7 and keeps the other bits.
  Program(cm, csG, csG, 1, 1, 1, 1);
  const uint8_t ones[1] = {0xF0};
  uint8_t row[2] = {0x00, 0xFF};
  cm.ConvertRow(ones, row, 16, 0x55);
  EXPECT_EQ(row[0], 0x55);
  EXPECT_EQ(row[1], 0xAA);
  // Colour pixels: mask 0x22 writes pixels 2 and 6 of every 8.
  Program(cm, csRGB, csBGR, 8, 8, 3, 3);
  const uint8_t rgb[6] = {1, 2, 3, 4, 5, 6};
  std::vector<uint8_t> bgr(3 * 8, 0);
  cm.ConvertRow(rgb, bgr.data(), 8, 0x22);
  EXPECT_EQ(bgr[6], 3);
  EXPECT_EQ(bgr[8], 1);
  EXPECT_EQ(bgr[18], 6);
  EXPECT_EQ(bgr[20], 4);
  EXPECT_EQ(bgr[3] + bgr[9] + bgr[21], 0);
}

TEST(ColorManager, GreyWithAlphaAndSixteenBitGrey) {
  TColorManager cm;
  Program(cm, csGA, csIndexed, 16, 8, 1, 1);
  cm.SetSourceOptions(coNeedByteSwap);
  const uint8_t ga[8] = {0xFF, 0xFF, 0x00, 0x00, 0x12, 0x34, 0xAB, 0xCD};
  uint8_t out[2] = {};
  cm.ConvertRow(ga, out, 2, 0xFF);
  EXPECT_EQ(out[0], 255);
  EXPECT_EQ(out[1], 0x1234 / 257);
  Program(cm, csGA, csIndexed, 8, 8, 1, 1);
  const uint8_t ga8[4] = {7, 200, 9, 100};
  cm.ConvertRow(ga8, out, 2, 0xFF);
  EXPECT_EQ(out[0], 7);
  EXPECT_EQ(out[1], 9);
  // 8 to 16 bits and 16 to 16 bits (written in memory order).
  Program(cm, csG, csG, 8, 16, 1, 1);
  const uint8_t g8[1] = {0x80};
  uint8_t g16[2] = {};
  cm.ConvertRow(g8, g16, 1, 0xFF);
  EXPECT_EQ(g16[0] | (g16[1] << 8), 0x8080);
  cm.SetSourceBitsPerSample(16);
  cm.ConvertRow(ga, g16, 1, 0xFF);
  EXPECT_EQ(g16[0] | (g16[1] << 8), 0xFFFF);
  cm.ConvertRow(ga + 4, g16, 1, 0xFF);
  EXPECT_EQ(g16[0] | (g16[1] << 8), 0x1234);
}

TEST(ColorManager, GammaTableAndPalettes) {
  TColorManager cm;
  EXPECT_FLOAT_EQ(cm.MainGamma(), 1.0f);
  EXPECT_FLOAT_EQ(cm.DisplayGamma(), 2.2f);
  // The table made at creation is that of 1.0 x 2.2.
  EXPECT_EQ(cm.GammaTable()[128], int(std::lround(255 * std::pow(128 / 255.0, 1 / 2.2))));
  cm.SetGamma(-1.0f, 0.0f);  // non-positive values fall back to 2.2 and 1.0
  EXPECT_FLOAT_EQ(cm.MainGamma(), 1.0f);
  EXPECT_FLOAT_EQ(cm.DisplayGamma(), 2.2f);
  cm.SetGamma(1.0f, 1.0f);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(cm.GammaTable()[size_t(i)], i);
  cm.SetGamma(2.2f, 2.0f);
  EXPECT_EQ(cm.GammaTable()[64], int(std::lround(255 * std::pow(64 / 255.0, 1 / 4.4))));

  // Tables asked for again (more gamma values than are kept, at two depths) are those of the formula; entries
  // beyond a depth's range keep what they held.
  for (int pass = 0; pass < 2; ++pass)
    for (float main : {1.0f, 0.45455f, 0.5f, 0.8f, 1.2f, 2.0f}) {
      Program(cm, csRGB, csBGR, 8, 8, 3, 3);
      cm.SetGamma(2.2f, main);
      for (int i = 0; i < 256; ++i)
        ASSERT_EQ(cm.GammaTable()[size_t(i)], int(std::nearbyint(255 * std::pow(i / 255.0, 1 / (double(main) * double(2.2f))))))
            << main << " " << i;
      const auto before = cm.GammaTable();
      Program(cm, csG, csG, 4, 4, 1, 1);
      cm.SetGamma(2.2f, main);
      for (int i = 0; i < 16; ++i)
        ASSERT_EQ(cm.GammaTable()[size_t(i)], int(std::nearbyint(15 * std::pow(i / 15.0, 1 / (double(main) * double(2.2f))))));
      for (int i = 16; i < 256; ++i) ASSERT_EQ(cm.GammaTable()[size_t(i)], before[size_t(i)]);
    }

  Program(cm, csG, csG, 4, 4, 1, 1);
  auto ramp = cm.CreateGrayscalePalette(false);
  ASSERT_EQ(ramp.size(), 16u);
  EXPECT_EQ(ramp[1], (TRGBQuad{17, 17, 17, 0}));
  EXPECT_EQ(ramp[15], (TRGBQuad{255, 255, 255, 0}));
  ramp = cm.CreateGrayscalePalette(true);
  EXPECT_EQ(ramp[0], (TRGBQuad{255, 255, 255, 0}));
  EXPECT_EQ(ramp[14], (TRGBQuad{17, 17, 17, 0}));
  cm.SetTargetBitsPerSample(1);
  EXPECT_EQ(cm.CreateGrayscalePalette(false).size(), 2u);
  cm.SetTargetBitsPerSample(8);
  cm.SetTargetOptions(coApplyGamma);
  ramp = cm.CreateGrayscalePalette(false);
  ASSERT_EQ(ramp.size(), 256u);
  EXPECT_EQ(ramp[64].rgbRed, cm.GammaTable()[64]);

  const uint8_t triples[9] = {255, 0, 64, 1, 2, 3, 64, 64, 64};
  auto pal = cm.CreateColorPalette(triples, 3);
  ASSERT_EQ(pal.size(), 3u);
  EXPECT_EQ(pal[0], (TRGBQuad{cm.GammaTable()[64], 0, 255, 0}));
  cm.SetTargetOptions(0);
  pal = cm.CreateColorPalette(triples, 2);
  EXPECT_EQ(pal[1], (TRGBQuad{3, 2, 1, 0}));
  std::vector<uint8_t> many(3 * 300, 9);
  EXPECT_EQ(cm.CreateColorPalette(many.data(), 300).size(), 256u);

  EXPECT_EQ(TColorManager::PixelFormatFor(1), pf1bit);
  EXPECT_EQ(TColorManager::PixelFormatFor(4), pf4bit);
  EXPECT_EQ(TColorManager::PixelFormatFor(8), pf8bit);
  EXPECT_EQ(TColorManager::PixelFormatFor(16), pfDevice);
}

}  // namespace
}  // namespace skin
