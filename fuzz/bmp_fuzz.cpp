// Windows bitmap files as the component layer reads them (skin images and pictures): any input gives a bitmap
// or EInvalidGraphic, never a read outside the input.
#include <cstddef>
#include <cstdint>
#include <string>

#include "gui/graphics.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  gui::TBitmap b;
  try {
    b.LoadFromBytes(std::string(reinterpret_cast<const char*>(data), size));
  } catch (const gui::EInvalidGraphic&) {
    return 0;
  }
  if (!b.Empty()) {
    volatile uint8_t corner = b.ScanLine(b.Height() - 1)[(b.Width() - 1) * b.BytesPerPixel()];
    (void)corner;
    gui::TBitmap copy;
    copy.LoadFromBytes(b.SaveToBytes());
  }
  return 0;
}
