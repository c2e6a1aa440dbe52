// The headless half of image lists: each image is kept as the 32-bit pixels of the list's size, and drawing
// composes them by their alpha over the canvas's bitmap.
#include <algorithm>

#include "gui/imglist.h"

namespace gui {

bool TCustomImageList::HandleAllocated() const { return allocated_; }

void TCustomImageList::CreateSystemList() { allocated_ = true; }

void TCustomImageList::DestroySystemList() {
  images_.clear();
  allocated_ = false;
}

int TCustomImageList::SystemCount() const { return static_cast<int>(images_.size()); }

void TCustomImageList::SystemClear() { images_.clear(); }

int TCustomImageList::SystemAdd(const TBitmap& image) {
  std::vector<uint32_t> pixels(static_cast<size_t>(width_) * height_);
  const int bpp = image.BytesPerPixel();
  for (int y = 0; y < height_; ++y) {
    const uint8_t* row = image.ScanLine(static_cast<int>(static_cast<int64_t>(y) * image.Height() / height_));
    for (int x = 0; x < width_; ++x) {
      const uint8_t* p = row + static_cast<int64_t>(x) * image.Width() / width_ * bpp;
      const uint32_t a = bpp == 4 ? p[3] : 255u;
      pixels[static_cast<size_t>(y) * width_ + x] = p[0] | (p[1] << 8) | (p[2] << 16) | (a << 24);
    }
  }
  images_.push_back(std::move(pixels));
  return static_cast<int>(images_.size()) - 1;
}

bool TCustomImageList::SystemGet(int index, TBitmap& out) {
  out.SetPixelFormat(TPixelFormat::pf32bit);
  out.SetSize(width_, height_);
  const std::vector<uint32_t>& pixels = images_[static_cast<size_t>(index)];
  for (int y = 0; y < height_; ++y) {
    uint8_t* row = out.ScanLine(y);
    for (int x = 0; x < width_; ++x) {
      const uint32_t p = pixels[static_cast<size_t>(y) * width_ + x];
      row[4 * x] = static_cast<uint8_t>(p);
      row[4 * x + 1] = static_cast<uint8_t>(p >> 8);
      row[4 * x + 2] = static_cast<uint8_t>(p >> 16);
      row[4 * x + 3] = static_cast<uint8_t>(p >> 24);
    }
  }
  return true;
}

void TCustomImageList::SystemBkColor() {}

void TCustomImageList::SystemDraw(int index, TCanvas& canvas, int x, int y, bool enabled) {
  const std::vector<uint32_t>& pixels = images_[static_cast<size_t>(index)];
  for (int j = 0; j < height_; ++j) {
    for (int i = 0; i < width_; ++i) {
      const uint32_t p = pixels[static_cast<size_t>(j) * width_ + i];
      const uint32_t a = p >> 24;
      if (a == 0) continue;
      uint32_t b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
      if (!enabled) b = g = r = (b + g + r) / 3;  // disabled: grey, as the system list saturates it
      const TColor under = canvas.Pixel(x + i, y + j);
      if (under == clNone) continue;  // outside the canvas's bitmap
      const uint32_t d = static_cast<uint32_t>(under);
      auto mix = [a](uint32_t s, uint32_t dc) { return (s * a + dc * (255 - a)) / 255; };
      canvas.SetPixel(x + i, y + j,
                      static_cast<TColor>(RGB(mix(r, GetRValue(d)), mix(g, GetGValue(d)), mix(b, GetBValue(d)))));
    }
  }
}

}  // namespace gui
