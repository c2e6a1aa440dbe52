// JPEG data as the JPEG picture class reads it (skin images): any input gives a picture or EJPEG, never an
// exit of the process or a read outside the input; what is read saves again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "gui/jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  gui::TJPEGImage j;
  try {
    j.LoadFromBytes(std::string(reinterpret_cast<const char*>(data), size));
  } catch (const gui::EJPEG&) {
    return 0;
  }
  if (!j.Empty() && int64_t(j.Width()) * j.Height() <= 1 << 20) {
    gui::TBitmap b;
    j.AssignTo(b);
    gui::TJPEGImage again;
    again.Assign(b);
    (void)again.SaveToBytes();
  }
  return 0;
}
