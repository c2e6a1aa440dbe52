#include "skin/painters/section_text.h"

#include <algorithm>

#include "gui/graphics.h"
#include "skin/data/sskinmanager.h"
#include "skin/painters/painter_services.h"
#include "skin/pixels/pixel_access.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/pixels/pixel_kernels.h"
#include "skin/painters/text_engine.h"

namespace skin {

using detail::GetView32;
using detail::View32;

namespace detail {

TextPasses::TextPasses(const gui::TFont& font, std::string_view text, const TRect& R, uint32_t flags) : r_(R) {
  const int64_t w = RectWidth64(R), h = RectHeight64(R);
  if (text.empty() || w <= 0 || h <= 0 || w > 0x7FFF || h > 0x7FFF) return;
  mask_ = Bitmap(int32_t(w), int32_t(h), pf32bit);
  FillRectBitmap32(mask_, TRect{0, 0, int32_t(w), int32_t(h)}, clWhite, 0);
  CurrentTextEngine().DrawMask(font, text, mask_, TRect{0, 0, int32_t(w), int32_t(h)}, flags & ~dtCalcRect);
}

void TextPasses::Pass(Bitmap& bmp, TColor colour, int32_t dx, int32_t dy, const TRect& clip) const {
  View32 d, m;
  if (!GetView32(bmp, d) || !GetView32(mask_, m)) return;
  const int64_t left = int64_t(r_.Left) + dx, top = int64_t(r_.Top) + dy;
  const int64_t x0 = std::max<int64_t>({left, clip.Left, 0}), y0 = std::max<int64_t>({top, clip.Top, 0});
  const int64_t x1 = std::min<int64_t>({left + m.width, clip.Right, d.width});
  const int64_t y1 = std::min<int64_t>({top + m.height, clip.Bottom, d.height});
  if (x1 <= x0 || y1 <= y0) return;
  const uint32_t k = uint32_t(ColorToRGB(colour));
  const uint32_t kb = ColorBlue(k), kg = ColorGreen(k), kr = ColorRed(k);
  for (int64_t y = y0; y < y1; ++y) {
    uint32_t* dr = d.Row(int32_t(y));
    const uint32_t* mr = m.Row(int32_t(y - top));
    for (int64_t x = x0; x < x1; ++x) {
      const uint32_t mp = mr[x - left];
      if (mp == 0x00FFFFFFu || mp == 0xFFFFFFFFu) continue;
      const uint32_t dp = dr[x];
      // ((d - k) x m + k x 256) shr 8 per channel: black text gives the colour.
      dr[x] = MakePixel(kernels::Mix(kb, PixelB(dp), PixelB(mp)), kernels::Mix(kg, PixelG(dp), PixelG(mp)),
                        kernels::Mix(kr, PixelR(dp), PixelR(mp)), 255);
    }
  }
}

std::vector<TColor> TextPasses::Covered(const Bitmap& bmp, const TRect& clip) const {
  std::vector<TColor> out;
  View32 d, m;
  if (!GetView32(bmp, d) || !GetView32(mask_, m)) return out;
  const int64_t x0 = std::max<int64_t>({r_.Left, clip.Left, 0}), y0 = std::max<int64_t>({r_.Top, clip.Top, 0});
  const int64_t x1 = std::min<int64_t>({int64_t(r_.Left) + m.width, clip.Right, d.width});
  const int64_t y1 = std::min<int64_t>({int64_t(r_.Top) + m.height, clip.Bottom, d.height});
  for (int64_t y = y0; y < y1; ++y) {
    const uint32_t* dr = d.Row(int32_t(y));
    const uint32_t* mr = m.Row(int32_t(y - r_.Top));
    for (int64_t x = x0; x < x1; ++x) {
      const uint32_t mp = mr[x - r_.Left];
      if (std::min({PixelB(mp), PixelG(mp), PixelR(mp)}) > 127) continue;  // black text: the lower, the more
      out.push_back(RGBColor(uint8_t(PixelR(dr[x])), uint8_t(PixelG(dr[x])), uint8_t(PixelB(dr[x]))));
    }
  }
  return out;
}

}  // namespace detail

void DrawTextMasked(Bitmap& bmp, const gui::TFont& font, std::string_view text, TColor colour, uint32_t flags,
                    const TRect& R) {
  const detail::TextPasses passes(font, text, R, flags);
  passes.Pass(bmp, colour, 0, 0, TRect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
}

int DrawSectionText(Bitmap& bmp, const gui::TFont& font, std::string_view text, bool withOutline, const TRect& R,
                    uint32_t flags, int32_t sectionIndex, bool useActiveState, TsSkinManager* manager) {
  if (text.empty() || RectIsEmpty(R)) return 0;
  const detail::TextPasses passes(font, text, R, flags);
  const TRect all{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  const TsSkinManager* m = ManagerOrDefault(manager);
  if (m == nullptr || !SkinManagerIsValidSectionIndex(m->Skin(), sectionIndex)) {
    passes.Pass(bmp, font.Color(), 0, 0, all);
    return 0;
  }
  const SkinSectionRecord& section = m->Skin().Sections[size_t(sectionIndex)];
  const SkinStateBlock& block = useActiveState && section.States > 0 ? section.HotState : section.NormalState;
  if (withOutline) {
    const struct {
      TColor colour;
      int32_t dx, dy;
    } outline[4] = {{block.ContourLeft, -1, 0}, {block.ContourTop, 0, -1}, {block.ContourRight, 1, 0},
                    {block.ContourBottom, 0, 1}};
    for (const auto& o : outline)
      if (o.colour != -1) passes.Pass(bmp, o.colour, o.dx, o.dy, all);
  }
  passes.Pass(bmp, block.FontColor, 0, 0, all);
  return 0;
}

}  // namespace skin
