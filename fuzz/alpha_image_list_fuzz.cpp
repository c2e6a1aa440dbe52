// Alpha image lists read from streamed items (outside data: stored forms): the input is a run of items, each a
// format byte (PNG, ICO, 32-bit BMP) and its "ImgData" value (a 32-bit length and the file's bytes). Any input
// gives a list whose damaged items draw nothing, or EReadError for a stream cut short; never a read outside it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "skin/painters/acalphaimagelist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  skin::TsAlphaImageList list(nullptr);
  list.SetSize(1 + data[0] % 48, 1 + data[1] % 48);
  const std::string_view stream(reinterpret_cast<const char*>(data) + 2, size - 2);
  size_t pos = 0;
  try {
    while (pos < stream.size() && list.Items.Count() < 8) {
      auto& item = list.Items.Add();
      item.ImageFormat = skin::TsImageFormat(uint8_t(stream[pos++]) % 3);
      item.ReadData(stream, pos);
    }
  } catch (const skin::EReadError&) {
    list.Items.Delete(list.Items.Count() - 1);
  }
  list.AfterConstruction();
  skin::Bitmap dest(64, 64, skin::pf32bit);
  for (int i = 0; i < list.Count(); ++i) {
    skin::TSize frame{};
    skin::DrawAlphaImage(list, dest, 3, 2, i, 2, i, 0, i % 2 == 1, skin::clNone, frame);
    auto other = list.GetItemBitmap32(i, 17, 9);
    (void)other;
  }
  return 0;
}
