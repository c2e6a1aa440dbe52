#include "station/program_resources.h"

#include <memory>

#include "skin/data/imagedecoders.h"
#include "skin/data/programskinmanager.h"
#include "skin/pixels/acpng.h"
#include "skin/pixels/pixel_helpers.h"

namespace station {

std::string_view StoredSkinData(std::string_view skinName) {
  for (std::string_view stored : skin::ProgramStoredSkinNames)
    if (stored == skinName) return ProgramResourceData(StoredSkinResourceName(skinName));
  return {};
}

namespace {

// A PNG resource as a 32-bit bitmap whose fully transparent white pixels are cleared; null when the program
// has no such resource or it cannot be read.
std::shared_ptr<const skin::Bitmap> pngResource(std::string_view name) {
  const std::string_view bytes = ProgramResourceData(name);
  if (bytes.empty()) return nullptr;
  try {
    skin::TPNGGraphic png;
    png.LoadFromMemory(bytes.data(), bytes.size());
    auto bmp = std::make_shared<skin::Bitmap>(std::move(static_cast<skin::Bitmap&>(png)));
    if (bmp->Empty()) return nullptr;
    skin::ClearWhiteTransparent(*bmp);
    return bmp;
  } catch (const std::exception&) {
    return nullptr;
  }
}

}  // namespace

void ReadProgramSkinManagerWithResources(skin::TsSkinManager& manager) {
  // The standard extended-border shadows, for the skins without an EXBORDER image of their own.
  auto active = pngResource("acSHDA"), inactive = pngResource("acSHDI");
  if (active && inactive) skin::SetStandardBorderShadows(std::move(active), std::move(inactive));
  // The blur image of the generated outer-shadow masks.
  const std::string blur = ProgramBitmapResource("BLUR5");
  if (!blur.empty()) {
    auto bmp = std::make_shared<skin::Bitmap>();
    try {
      skin::DecodeBmp(blur.data(), blur.size(), *bmp);
      skin::SetShadowBlurImage(std::move(bmp));
    } catch (const std::exception&) {
    }
  }
  skin::ReadProgramSkinManager(manager, [](std::string_view name) { return StoredSkinData(name); });
}

}  // namespace station
