#pragma once
// A skin with a glow: section BUTTON has a glow of 6 pixels with a margin of 3 and the image "GLOW0" (24 x 24,
// borders of 8, an orange halo whose alpha falls from the middle outwards, premultiplied as skin images are);
// section PANEL asks for a glow but has no image.
#include <algorithm>
#include <cmath>
#include <memory>

#include "skin/data/loaded_skin.h"
#include "skin/data/sskinmanager.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/pixel_helpers.h"

namespace skin::test {

struct GlowFixture {
  PortableSkinSystem system;
  TsSkinManager manager{system};
  int32_t button = -1, panel = -1, glowImage = -1;

  GlowFixture() {
    LoadedSkin s;
    auto section = [&](const char* name, int32_t glow, int32_t margin) {
      SkinSectionRecord r;
      r.SectionName = name;
      r.GlowSize = glow;
      r.GlowMargin = margin;
      s.Sections.push_back(r);
      return int32_t(s.Sections.size() - 1);
    };
    section("GLOBALINFO", 0, 0);
    button = section("BUTTON", 6, 3);
    panel = section("PANEL", 6, 3);
    auto picture = std::make_shared<Bitmap>(24, 24, pf32bit);
    for (int32_t y = 0; y < 24; ++y)
      for (int32_t x = 0; x < 24; ++x) {
        // Distance to the inner 8 x 8 square, 0 inside it.
        const double dx = std::max({8.0 - x, 0.0, x - 15.0}), dy = std::max({8.0 - y, 0.0, y - 15.0});
        const uint32_t a = uint32_t(std::clamp(255.0 * (1.0 - std::hypot(dx, dy) / 8.0), 0.0, 255.0));
        SetPixel32(*picture, x, y, MakePixel(0x20 * a / 255, 0x90 * a / 255, 0xFF * a / 255, a));
      }
    glowImage = SkinManagerAddImage(s, button, "GLOW0", 0, 1, 1, TRect{0, 0, 24, 24}, 2, "BUTTON", &manager);
    SkinImageRecord& rec = s.Images[size_t(glowImage)];
    rec.Bitmap = picture;
    rec.BorderLeft = rec.BorderTop = rec.BorderRight = rec.BorderBottom = 8;
    s.SkinData.Active = 1;
    manager.Skin() = std::move(s);
  }
};

}  // namespace skin::test
