#pragma once
// JPEG pictures through libjpeg: a TJPEGImage takes its pixels from a bitmap (Assign) and is saved with the
// library's default compression parameters, or is loaded from JPEG data and handed to a bitmap (AssignTo).
// Whatever libjpeg reports as an error (bad data, an image too large, an output failure) raises EJPEG; the
// process never ends on it, and libjpeg's warnings are not printed.
#include <cstdint>
#include <string>
#include <vector>

#include "gui/graphics.h"

namespace gui {

class EJPEG : public EInvalidGraphic {
 public:
  using EInvalidGraphic::EInvalidGraphic;
};

class TJPEGImage : public TGraphic {
 public:
  GUI_CLASS_NAME("TJPEGImage")

  // Images larger than this many pixels are refused (as bitmap files are).
  static constexpr int64_t kMaxPixels = int64_t{1} << 26;

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool Empty() const override { return width_ <= 0 || height_ <= 0; }

  // The bitmap's pixels (alpha ignored), compressed at once with libjpeg's default parameters (quality 75,
  // 4:2:0, baseline): libjpeg-turbo reads the bitmap's B, G, R (, A) rows as they are, and the image keeps only
  // the JPEG data. Raises EJPEG when libjpeg cannot compress them.
  void Assign(const TBitmap& bitmap);
  // The pixels into the bitmap (pf24bit, resized); an assigned image gives its decompressed pixels.
  void AssignTo(TBitmap& bitmap) const;

  // The JPEG data: that of an assigned image, or the loaded pixels compressed with libjpeg's default
  // parameters.
  std::string SaveToBytes() const;
  // Raises EJPEG when the file cannot be written whole.
  void SaveToFile(const std::string& path) const;
  void LoadFromBytes(const std::string& bytes) override;
  void LoadFromFile(const std::string& path) override;
  // The decompressed pixels stretched into rect.
  void Draw(TCanvas& canvas, const TRect& rect) const override;

  // Rows top-down, R, G, B per pixel.
  const std::vector<uint8_t>& Pixels() const;

 private:
  int width_ = 0;
  int height_ = 0;
  mutable std::vector<uint8_t> rgb_;  // the loaded pixels; those of an assigned image once asked for
  std::string jpeg_;                  // the JPEG data of an assigned image
};

// The unit's registration of its picture formats: "jpeg" and "jpg" (the program's start-up calls it), and its
// removal.
void RegisterJpegFileFormats();
void UnregisterJpegFileFormats();

}  // namespace gui
