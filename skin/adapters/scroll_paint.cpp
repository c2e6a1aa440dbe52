#include "skin/adapters/scroll_paint.h"

#include <algorithm>

#include "skin/data/loaded_skin.h"
#include "skin/data/sskinmanager.h"
#include "skin/pixels/graph_utils.h"
#include "skin/painters/painter_services.h"
#include "skin/painters/section_paint.h"
#include "skin/painters/skinned_text.h"
#include "skin/painters/state_images.h"

namespace skin {

namespace {

// A span along the bar as a rectangle of a bar `thickness` thick.
TRect Span(bool vertical, int32_t from, int32_t to, int32_t thickness) {
  return vertical ? TRect{0, from, thickness, to} : TRect{from, 0, to, thickness};
}

const SkinSectionEntry& ArrowEntry(const SkinCommonIndexes& c, int32_t kind) {
  switch (kind) {
    case 0: return c.ScrollBtnLeft;
    case 1: return c.ScrollBtnTop;
    case 2: return c.ScrollBtnRight;
    default: return c.ScrollBtnBottom;
  }
}

// Section background and border of an entry into R of bmp, over ci (which maps bmp's origin).
void PaintEntry(const SkinSectionEntry& e, TsSkinManager* m, Bitmap& bmp, const TRect& R, int32_t state,
                const CacheInfo& ci) {
  if (R.IsEmpty()) return;
  PaintSectionImage(e.SectionIndex, e.BorderIndex, m, bmp, TPoint{R.Left, R.Top}, R, state, ci);
}

// The entry's GLYPHMASK frame for the state, centred in bmp. False without one.
bool PaintCentredGlyph(const SkinSectionEntry& e, const LoadedSkin& skin, Bitmap& bmp, int32_t state) {
  if (!SkinManagerIsValidImageIndex(skin, e.GlyphIndex)) return false;
  const SkinImageRecord& rec = skin.Images[size_t(e.GlyphIndex)];
  const TPoint at{(bmp.Width() - ImageStateWidth(rec)) / 2, (bmp.Height() - ImageFrameHeight(rec)) / 2};
  DrawImageState(bmp, at, state, CacheInfoFromBitmap(&bmp, 0, 0), rec, 1);
  return true;
}

}  // namespace

void PaintScrollArrow(const TRect& R, int32_t State, Bitmap& Target, int32_t ArrowKind, TsSkinManager* Manager) {
  TsSkinManager* m = ManagerOrDefault(Manager);
  if (m == nullptr || R.IsEmpty()) return;
  const LoadedSkin& skin = m->Skin();
  const SkinSectionEntry& e = ArrowEntry(skin.CommonIndexes, ArrowKind);
  if (!SkinManagerIsValidSectionIndex(skin, e.SectionIndex)) return;
  Bitmap button(R.Width(), R.Height(), pf32bit);
  const TRect whole{0, 0, R.Width(), R.Height()};
  PaintEntry(e, m, button, whole, State, CacheInfoFromBitmap(&Target, R.Left, R.Top));
  if (!PaintCentredGlyph(e, skin, button, State)) {
    const SkinSectionRecord& section = skin.Sections[size_t(e.SectionIndex)];
    const TColor colour = (State == 0 ? section.NormalState : section.HotState).FontColor;
    TRect g = whole;
    if (ArrowKind == 0 || ArrowKind == 2) {
      --g.Top;
      --g.Bottom;
    }
    if (State == 2 && m->ButtonsOptions.ShiftContentOnClick) g = TRect{g.Left + 1, g.Top + 1, g.Right + 1, g.Bottom + 1};
    DrawArrowGlyph(button, colour, g, ArrowKind);
  }
  CopyExceptColor(Target, button, R.Left, R.Top, clNone);
}

void PaintScrollThumb(const TRect& R, int32_t State, Bitmap& Target, bool Vertical, TsSkinManager* Manager) {
  TsSkinManager* m = ManagerOrDefault(Manager);
  if (m == nullptr || R.IsEmpty()) return;
  const LoadedSkin& skin = m->Skin();
  const SkinSectionEntry& e = Vertical ? skin.CommonIndexes.ScrollSliderV : skin.CommonIndexes.ScrollSliderH;
  if (!SkinManagerIsValidSectionIndex(skin, e.SectionIndex)) return;
  Bitmap thumb(R.Width(), R.Height(), pf32bit);
  PaintEntry(e, m, thumb, TRect{0, 0, R.Width(), R.Height()}, State, CacheInfoFromBitmap(&Target, R.Left, R.Top));
  PaintCentredGlyph(e, skin, thumb, State);
  CopyExceptColor(Target, thumb, R.Left, R.Top, clNone);
}

bool PaintScrollBarImage(Bitmap& bmp, const ScrollBarLook& look, TsSkinManager* manager, const CacheInfo& ci) {
  TsSkinManager* m = ManagerOrDefault(manager);
  if (m == nullptr) return false;
  const LoadedSkin& skin = m->Skin();
  const SkinCommonIndexes& c = skin.CommonIndexes;
  const SkinSectionEntry& track1 = look.Vertical ? c.ScrollBar1V : c.ScrollBar1H;
  const SkinSectionEntry& track2 = look.Vertical ? c.ScrollBar2V : c.ScrollBar2H;
  if (!SkinManagerIsValidSectionIndex(skin, track1.SectionIndex)) return false;
  const bool v = look.Vertical;
  const int32_t length = v ? bmp.Height() : bmp.Width();
  const int32_t thickness = v ? bmp.Width() : bmp.Height();
  if (thickness < 2 || length <= 0) return false;
  const int32_t a = std::max(look.Arrow, 0);
  const int32_t firstKind = v ? 1 : 0, secondKind = v ? 3 : 2;
  auto arrowState = [&look](int32_t part) {
    if (look.Dragging) return 0;
    if (look.PressedPart == part) return 2;
    return look.HotPart == part && look.Enabled ? 1 : 0;
  };

  if (int64_t(a) * 2 >= length) {
    // No room for a thumb: each arrow over its half.
    const int32_t half = length / 2;
    PaintEntry(track1, m, bmp, Span(v, 0, half, thickness), 0, ci);
    PaintEntry(track2, m, bmp, Span(v, half, length, thickness), 0, ci);
    PaintScrollArrow(Span(v, 0, half, thickness), arrowState(sbpFirstArrow), bmp, firstKind, m);
    PaintScrollArrow(Span(v, half, length, thickness), arrowState(sbpSecondArrow), bmp, secondKind, m);
  } else {
    ScrollThumb thumb = ScrollThumbRect(look.Range, look.MinThumbSize, 0, length, a);
    if (look.Dragging) thumb = ScrollThumb{look.DragStart, look.DragLength, look.DragLength > 0};
    const int32_t split = std::clamp<int32_t>(thumb.Start + thumb.Length / 2, 0, length);
    PaintEntry(track1, m, bmp, Span(v, 0, split, thickness), look.PressedPart == sbpTrackBefore ? 2 : 0, ci);
    PaintEntry(SkinManagerIsValidSectionIndex(skin, track2.SectionIndex) ? track2 : track1, m, bmp,
               Span(v, split, length, thickness), look.PressedPart == sbpTrackAfter ? 2 : 0, ci);
    if (a > 0) {
      PaintScrollArrow(Span(v, 0, a, thickness), arrowState(sbpFirstArrow), bmp, firstKind, m);
      PaintScrollArrow(Span(v, length - a, length, thickness), arrowState(sbpSecondArrow), bmp, secondKind, m);
    }
    if (look.Enabled && thumb.Shown) {
      const int32_t state = look.Dragging ? 2 : (look.HotPart == sbpThumb ? 1 : 0);
      PaintScrollThumb(Span(v, thumb.Start, thumb.Start + thumb.Length, thickness), state, bmp, v, m);
    }
  }

  if (!look.Enabled) {
    // A bar that cannot be used shows 60 % of what lies under it.
    if (ci.Ready && ci.Bmp != nullptr && ci.Bmp != &bmp)
      BlendBitmaps(bmp, 0, 0, KeyColor, 0.4, TRect{ci.X, ci.Y, ci.X + bmp.Width(), ci.Y + bmp.Height()}, *ci.Bmp);
    else
      BlendBitmapWithColor(bmp, ci.FillColor == KeyColor ? SkinManagerGlobalColor(*m) : ci.FillColor, 0.4);
  }
  return true;
}

}  // namespace skin
