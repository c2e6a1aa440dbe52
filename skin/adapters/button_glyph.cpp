#include "skin/adapters/button_glyph.h"

#include <algorithm>

#include "skin/data/sskinmanager.h"
#include "skin/painters/canvas_bitmap.h"
#include "skin/pixels/color_effects.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/skinned_text.h"

namespace skin {

namespace {

int32_t CellCount(int32_t numGlyphs) {
  const int32_t n = numGlyphs & 127;
  return n < 1 ? 1 : n;
}


// Runs draw on Data's Target, or on a work bitmap of R's size copied from and back to the canvas.
template <class Draw>
void OnTargetOrCanvas(GlyphPaintData& Data, int32_t w, int32_t h, Draw&& draw) {
  if (Data.Target != nullptr) {
    draw(*Data.Target, TPoint{Data.R.Left, Data.R.Top});
    return;
  }
  if (Data.Canvas == nullptr || w < 1 || h < 1) return;
  Bitmap work(w, h, pf32bit);
  CanvasToBitmap(*Data.Canvas, Data.R.Left, Data.R.Top, work);
  draw(work, TPoint{0, 0});
  BitmapToCanvas(work, *Data.Canvas, Data.R.Left, Data.R.Top);
}

bool DrawFromImageList(GlyphPaintData& Data, TColor tint, int32_t state, int32_t cells) {
  gui::TCustomImageList* list = Data.Images;
  if (list == nullptr || Data.ImageIndex < 0 || Data.ImageIndex >= ImageCountOf(list)) return false;
  if (IsAlphaList(list)) {
    const int32_t w = list->Width() * cells, h = list->Height() * (Data.Reflected ? 2 : 1);
    OnTargetOrCanvas(Data, w, h, [&](Bitmap& dst, TPoint p) {
      DrawAlphaListImage(*list, dst, p.X, p.Y, Data.ImageIndex, cells, state + (Data.Down ? 1 : 0), tint,
                         Data.Reflected);
    });
    return true;
  }
  if (Data.Target == nullptr) {
    if (Data.Canvas != nullptr) list->Draw(*Data.Canvas, Data.R.Left, Data.R.Top, Data.ImageIndex, Data.Enabled);
    return true;
  }
  // A cell of the list's size on the list's background colour (the key colour without one).
  gui::TBitmap image;
  if (!list->GetImage32(Data.ImageIndex, image)) return true;
  bool opaque = false;
  Bitmap src = GlyphBitmap32(image, false, opaque);
  Bitmap cell(src.Width(), src.Height(), pf32bit);
  const TColor bk = list->BkColor() == clNone ? KeyColor : TColor(platform::ColorToRGB(list->BkColor()));
  // The key colour as the copies and blends below know it (alpha 0), so that they skip what the image leaves.
  FillRectBitmap32(cell, TRect{0, 0, cell.Width(), cell.Height()}, bk, bk == KeyColor ? 0 : 255);
  AlphaBlendBitmap32(TPoint{0, 0}, TRect{0, 0, src.Width(), src.Height()}, src, false, 0, clNone, false,
                     EmptyCacheInfo, cell);
  const TRect all{0, 0, cell.Width(), cell.Height()};
  Bitmap& dst = *Data.Target;
  if (!Data.Enabled) {
    if (Data.DisabledGlyphKind & dgGrayed) GrayScaleBitmapKey(cell, KeyColor);
    if (Data.DisabledGlyphKind & dgBlended) {
      BlendBitmaps(dst, Data.R.Left, Data.R.Top, KeyColor, 0.5, all, cell);
    } else {
      CopyExceptColor(dst, cell, Data.R.Left, Data.R.Top, KeyColor);
    }
    return true;
  }
  if (state == 0 && Data.Grayed) GrayScaleBitmapKey(cell, KeyColor);
  if (state == 0 && Data.Blend > 0) {
    BlendBitmaps(dst, Data.R.Left, Data.R.Top, KeyColor, std::min(Data.Blend, 100) / 100.0, all, cell);
  } else {
    CopyExceptColor(dst, cell, Data.R.Left, Data.R.Top, KeyColor);
  }
  return true;
}

void DrawFromGlyph(GlyphPaintData& Data, TColor tint, int32_t state, int32_t cells) {
  gui::TBitmap* glyph = Data.Glyph;
  if (glyph == nullptr || glyph->Empty()) return;
  TsSkinManager* def = DefaultManager();
  const bool is32 = glyph->PixelFormat() == gui::TPixelFormat::pf32bit;
  const bool check = !Data.Enabled || glyph->PixelFormat() == gui::TPixelFormat::pfDevice ||
                     (is32 && (def == nullptr || def->Options.CheckEmptyAlpha));
  bool opaque = false;
  Bitmap strip = GlyphBitmap32(*glyph, check, opaque);
  const int32_t cellW = strip.Width() / cells;
  if (cellW < 1) return;
  if (!opaque) {
    const int32_t col = std::min(state, cells - 1) * cellW;
    const TRect cell{col, 0, col + cellW, strip.Height()};
    if (Data.Target != nullptr) {
      AlphaBlendBitmap32(TPoint{Data.R.Left, Data.R.Top}, cell, strip, Data.Reflected, 0, tint, false, EmptyCacheInfo,
                         *Data.Target);
      return;
    }
    const int32_t f = (!Data.Enabled && (Data.DisabledGlyphKind & dgBlended)) ? std::max(50, Data.Blend) : Data.Blend;
    if (state == 0 && f != 0) {
      for (int32_t y = 0; y < strip.Height(); ++y) {
        uint8_t* row = strip.ScanLine(y);
        for (int32_t x = 0; x < strip.Width(); ++x) row[x * 4 + 3] = uint8_t(row[x * 4 + 3] * f / 100);
      }
    }
    if ((!Data.Enabled && (Data.DisabledGlyphKind & dgGrayed)) || (state == 0 && Data.Grayed)) GrayScaleBitmap(strip);
    OnTargetOrCanvas(Data, cellW, strip.Height() * (Data.Reflected ? 2 : 1), [&](Bitmap& dst, TPoint p) {
      AlphaBlendBitmap32(p, cell, strip, Data.Reflected, 0, clNone, false, EmptyCacheInfo, dst);
    });
    return;
  }
  if ((!Data.Enabled && (Data.DisabledGlyphKind & dgGrayed)) || (state == 0 && Data.Grayed)) {
    GrayScaleBitmapKey(strip, KeyColor);
  }
  int32_t percent = 0;
  if (!Data.Enabled) {
    // A strip without its own disabled image is blended half into what lies under it.
    if ((Data.DisabledGlyphKind & dgBlended) && cells < 2) percent = std::max(50, Data.Blend);
  } else if (state == 0) {
    percent = Data.Blend;
  }
  OnTargetOrCanvas(Data, cellW, strip.Height(), [&](Bitmap& dst, TPoint p) {
    PaintGlyphBlended(dst, p, strip, cells, state, Data.Enabled, percent);
  });
}

}  // namespace

TColor GlyphTintColor(const GlyphPaintData& Data) {
  if (!((Data.State == 0 && Data.Grayed) || (!Data.Enabled && (Data.DisabledGlyphKind & dgGrayed)))) return clNone;
  if (Data.SkinIndex < 0) return 0xFFFFFF;
  TsSkinManager* m = Data.Manager != nullptr ? Data.Manager : DefaultManager();
  if (m == nullptr || !SkinManagerIsValidSectionIndex(*m, Data.SkinIndex)) return 0xFFFFFF;
  return m->Skin().Sections[size_t(Data.SkinIndex)].NormalState.FontColor;
}

int32_t GlyphStateInOrder(int32_t State, bool Enabled, int32_t NumGlyphs) {
  TsSkinManager* def = DefaultManager();
  if (def == nullptr || !def->Options.StdGlyphsOrder) return State;
  if (State == 0) return Enabled ? 0 : 1;
  if (State == 1) return 0;
  return NumGlyphs < 3 ? 0 : State;
}

void DrawButtonGlyph(GlyphPaintData& Data) {
  if (Data.Target == nullptr && Data.Canvas == nullptr) return;
  const TColor tint = GlyphTintColor(Data);
  const int32_t cells = CellCount(Data.NumGlyphs);
  const int32_t state = GlyphStateInOrder(Data.State, Data.Enabled, cells);
  if (DrawFromImageList(Data, tint, state, cells)) return;
  DrawFromGlyph(Data, tint, state, cells);
}

Bitmap GlyphBitmap32(const gui::TBitmap& Glyph, bool checkEmptyAlpha, bool& opaque) {
  const int32_t w = Glyph.Width(), h = Glyph.Height();
  Bitmap out(std::max(w, 0), std::max(h, 0), pf32bit);
  if (w < 1 || h < 1) {
    opaque = true;
    return out;
  }
  const int bpp = Glyph.BytesPerPixel();
  bool anyAlpha = false;
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* s = Glyph.ScanLine(y);
    uint8_t* d = out.ScanLine(y);
    for (int32_t x = 0; x < w; ++x) {
      d[x * 4] = s[x * bpp];
      d[x * 4 + 1] = s[x * bpp + 1];
      d[x * 4 + 2] = s[x * bpp + 2];
      d[x * 4 + 3] = bpp == 4 ? s[x * bpp + 3] : 255;
      if (bpp == 4 && s[x * bpp + 3] != 0) anyAlpha = true;
    }
  }
  opaque = Glyph.PixelFormat() != gui::TPixelFormat::pf32bit || (checkEmptyAlpha && !anyAlpha);
  if (!opaque) return out;
  // An opaque glyph: its transparent colour (the bottom-left pixel unless set) becomes the key colour.
  const TColor c = TColor(platform::ColorToRGB(Glyph.TransparentColor()));
  const uint32_t trans = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* d = out.ScanLine(y);
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t p = (uint32_t(d[x * 4 + 2]) << 16) | (uint32_t(d[x * 4 + 1]) << 8) | d[x * 4];
      d[x * 4 + 3] = 255;
      if (p == trans) d[x * 4] = 0xFF, d[x * 4 + 1] = 0, d[x * 4 + 2] = 0xFF, d[x * 4 + 3] = 0;
    }
  }
  return out;
}

const std::vector<std::string>& PopupSkipList() {
  static const std::vector<std::string> list = {"TApplication",          "TfcPopup",
                                                "TcxComboBoxPopupWindow", "TcxCustomPopupWindow",
                                                "TdxPopupEditForm",       "TcxDateEditPopupWindow",
                                                "TcxGridFilterPopup"};
  return list;
}

bool IsPopupSkipped(std::string_view ClassName) {
  for (const std::string& s : PopupSkipList()) {
    if (s == ClassName) return true;
  }
  return false;
}

}  // namespace skin

namespace skin {

int32_t OwnerDrawGlyphState(uint32_t ItemState) {
  if (ItemState & 0x1) return 2;   // ODS_SELECTED
  if (ItemState & 0x40) return 1;  // ODS_HOTLIGHT
  if (ItemState & 0x8) return 2;   // ODS_CHECKED
  return 0;
}

int32_t OwnerDrawImageIndex(uint32_t ItemState, int32_t ImageIndex, int32_t HotImageIndex, int32_t DisabledImageIndex) {
  if ((ItemState & 0x4) && DisabledImageIndex != 0) return DisabledImageIndex;  // ODS_DISABLED
  if (OwnerDrawGlyphState(ItemState) == 1 && HotImageIndex != 0) return HotImageIndex;
  return ImageIndex;
}

TRect OwnerDrawGlyphRect(const TSize& Button, const TSize& Image, bool CommandLink, bool Split, int32_t Lines,
                         int32_t LineHeight, bool Pressed) {
  TRect r;
  if (CommandLink) {
    r.Left = 5;
    r.Top = (Button.cy - Image.cy) / 2;
  } else {
    r.Left = (Button.cx - Image.cx) / 2 + 1 - (Split ? 8 : 0);
    r.Top = (Button.cy - Image.cy - std::max(Lines, 1) * (LineHeight + 3)) / 2;
  }
  if (Pressed) r.Left += 1, r.Top += 1;
  r.Right = r.Left + Image.cx;
  r.Bottom = r.Top + Image.cy;
  return r;
}

}  // namespace skin
