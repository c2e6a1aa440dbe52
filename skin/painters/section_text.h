#pragma once
// Captions written in a skin section's colours with their one-pixel outline passes (form and dialog captions, the
// title bar, skinned menus), on 32-bit bitmaps. Text is laid through a mask (text_engine.h): each pass mixes its
// colour into the pixels the text covers (black text gives the colour, anti-aliased edges mix) and makes them opaque.
#include <cstdint>
#include <string_view>
#include <vector>

#include "skin/pixels/bitmap.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

namespace gui {
class TFont;
}

namespace skin {

class TsSkinManager;

// One pass: the text drawn with the DrawText flags into a mask of R's size, its colour mixed into R of bmp (the
// part of R outside bmp skipped).
void DrawTextMasked(Bitmap& bmp, const gui::TFont& font, std::string_view text, TColor colour, uint32_t flags,
                    const TRect& R);

// Text written into R in section sectionIndex's colours: with withOutline, first one pass per outline colour of the
// state block that is not -1, R moved by one pixel (left (-1, 0), top (0, -1), right (+1, 0), bottom (0, +1)); then
// the text in the block's font colour. The hot block with useActiveState (for a section with states), else the
// normal one. Without a manager (nullptr: the default one) or a valid section: one pass in the font's colour.
// Nothing for an empty text or R. Returns 0.
int DrawSectionText(Bitmap& bmp, const gui::TFont& font, std::string_view text, bool withOutline, const TRect& R,
                    uint32_t flags, int32_t sectionIndex, bool useActiveState, TsSkinManager* manager);

namespace detail {
// The passes of one text: its mask made once, each pass mixing a colour at R moved by an offset, only inside clip.
class TextPasses {
 public:
  TextPasses(const gui::TFont& font, std::string_view text, const TRect& R, uint32_t flags);
  void Pass(Bitmap& bmp, TColor colour, int32_t dx, int32_t dy, const TRect& clip) const;
  // The colours (RGB) of the pixels of bmp that a pass at R would cover at least half, only inside clip.
  std::vector<TColor> Covered(const Bitmap& bmp, const TRect& clip) const;
  bool Empty() const { return mask_.Empty(); }

 private:
  Bitmap mask_;
  TRect r_;
};
}  // namespace detail

}  // namespace skin
