#pragma once
// The colour manager of the image readers: turns one row of decoded image samples into one scan line of a
// bitmap. It reorders channels (RGB to the bitmap's BGR), changes the bits per sample (1, 2, 4, 8, 16 to 1, 4,
// 8), keeps or drops alpha, swaps the bytes of big-endian 16-bit samples, applies a gamma table and writes only
// the pixels that a pixel mask selects (the passes of an interlaced image). It also builds the palettes of the
// indexed bitmaps it fills: a grey ramp, or the colours of a file's palette.
//
// The PNG reader programs one manager per image and calls ConvertRow once per row.
#include <array>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "skin/pixels/bitmap.h"

namespace skin {

// A conversion the manager cannot do; it stops the image load that asked for it.
class EColorConversionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char* gesInvalidColorDepth = "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.";
inline constexpr const char* gesInvalidSampleCount =
    "Sample count per pixel does not correspond to the given color scheme.";
inline constexpr const char* gesIndexedNotSupported =
    "Conversion between indexed and non-indexed pixel formats is not supported.";
inline constexpr const char* gesConversionUnsupported = "Color conversion failed. Could not find a proper method.";

// Colour schemes of source rows and target scan lines (BGR and BGRA serve only as targets).
enum TColorScheme : uint8_t {
  csUnknown = 0,
  csIndexed = 1,
  csG = 2,
  csGA = 3,
  csRGB = 4,
  csRGBA = 5,
  csBGR = 6,
  csBGRA = 7,
};

// Conversion options, a set of bits.
using TConvertOptions = uint8_t;
inline constexpr TConvertOptions coAlpha = 0x01;         // the scheme carries an alpha sample
inline constexpr TConvertOptions coApplyGamma = 0x02;    // colour samples go through the gamma table
inline constexpr TConvertOptions coNeedByteSwap = 0x04;  // 16-bit samples are stored big-endian

class TColorManager {
 public:
  TColorManager();

  // Writes the selected pixels of one row. source holds the row's samples packed as the source options say;
  // target is the first byte of the scan line; count is the number of target pixels the mask walks over
  // (the bitmap's width); mask selects target pixels in groups of eight (bit 0x80 first, 0xFF: every
  // pixel). The source must hold the selected pixels, the target count pixels. Prepares the conversion first
  // after any change; raises EColorConversionError when no routine fits the programmed formats.
  void ConvertRow(const uint8_t* source, uint8_t* target, uint32_t count, uint8_t mask);

  // Gamma: MainGamma := mainGamma when positive, else 1.0; DisplayGamma := displayGamma when positive,
  // else 2.2; the table maps a sample i to round(maxOut x (i / maxIn) ^ (1 / (MainGamma x DisplayGamma))).
  void SetGamma(float displayGamma, float mainGamma);

  // The bitmap format for a target depth of 1, 4 or 8 bits (pfDevice for any other).
  static TPixelFormat PixelFormatFor(int bits);
  // A grey ramp of 2^min(target bits x target samples, 8) entries, through the gamma table when the target
  // options apply gamma; reverse runs it from white to black.
  std::vector<TRGBQuad> CreateGrayscalePalette(bool reverse) const;
  // min(count, 256) entries from consecutive 8-bit R, G, B triples, through the gamma table when the target
  // options apply gamma.
  std::vector<TRGBQuad> CreateColorPalette(const uint8_t* data, uint32_t count) const;

  // Properties. The setters of the depths raise gesInvalidColorDepth outside 1..16, those of the sample
  // counts gesInvalidSampleCount outside 1..4; every setter marks the conversion for preparation only when
  // the value changes.
  uint8_t SourceBitsPerSample() const { return FSourceBPS; }
  void SetSourceBitsPerSample(uint8_t bits);
  uint8_t TargetBitsPerSample() const { return FTargetBPS; }
  void SetTargetBitsPerSample(uint8_t bits);
  uint8_t SourceSamplesPerPixel() const { return FSourceSPP; }
  void SetSourceSamplesPerPixel(uint8_t samples);
  uint8_t TargetSamplesPerPixel() const { return FTargetSPP; }
  void SetTargetSamplesPerPixel(uint8_t samples);
  TColorScheme SourceColorScheme() const { return FSourceScheme; }
  void SetSourceColorScheme(TColorScheme scheme);
  TColorScheme TargetColorScheme() const { return FTargetScheme; }
  void SetTargetColorScheme(TColorScheme scheme);
  TConvertOptions SourceOptions() const { return FSourceOptions; }
  void SetSourceOptions(TConvertOptions options);
  TConvertOptions TargetOptions() const { return FTargetOptions; }
  void SetTargetOptions(TConvertOptions options);

  bool Changed() const { return FChanged != 0; }
  float MainGamma() const { return FMainGamma; }
  float DisplayGamma() const { return FDisplayGamma; }
  const std::array<uint8_t, 256>& GammaTable() const { return FGammaTable; }

  // Luminance weights of R, G and B, kept for colour-space conversions that the readers do not use.
  float YCoefficients[3] = {0.299f, 0.587f, 0.114f};

  using RowConversionProc = void (*)(const TColorManager&, const uint8_t*, uint8_t*, uint32_t, uint8_t);

 private:
  void PrepareConversion();

  uint8_t FChanged = 1;
  uint8_t FSourceBPS = 8;
  uint8_t FTargetBPS = 8;
  uint8_t FSourceSPP = 3;
  uint8_t FTargetSPP = 3;
  float FMainGamma = 1.0f;
  float FDisplayGamma = 2.2f;
  std::array<uint8_t, 256> FGammaTable{};
  TColorScheme FSourceScheme = csRGB;
  TColorScheme FTargetScheme = csBGR;
  RowConversionProc FRowConversion = nullptr;
  TConvertOptions FSourceOptions = 0;
  TConvertOptions FTargetOptions = 0;
};

}  // namespace skin
