#include "skin/forms/frame_paint.h"

#include <algorithm>
#include <cstring>

#include "gui/forms.h"
#include "skin/data/loaded_skin.h"
#include "skin/data/maskdata.h"
#include "skin/data/sskinmanager.h"
#include "skin/forms/border_form.h"
#include "skin/forms/form_window.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/provider_mdi.h"
#include "skin/forms/provider_titlebar.h"
#include "skin/forms/smdiform.h"
#include "skin/forms/system_menu.h"
#include "skin/forms/title_glow.h"
#include "skin/manager/commondata.h"
#include "skin/manager/sanimations.h"
#include "skin/manager/win_values.h"
#include "skin/painters/borders.h"
#include "skin/pixels/graph_utils.h"
#include "skin/painters/parent_background.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/section_paint.h"
#include "skin/painters/section_text.h"
#include "skin/painters/skin_mask.h"
#include "skin/painters/skinned_text.h"
#include "skin/painters/state_images.h"
#include "skin/painters/text_engine.h"

namespace skin {

using namespace wv;

const SkinImageRecord* ValidImage(const TsSkinManager* m, int32_t index) {
  if (m == nullptr || !SkinManagerIsValidImageIndex(*m, index)) return nullptr;
  return &m->Skin().Images[size_t(index)];
}

const SkinSectionRecord* ValidSection(const TsSkinManager* m, int32_t index) {
  if (m == nullptr || !SkinManagerIsValidSectionIndex(*m, index)) return nullptr;
  return &m->Skin().Sections[size_t(index)];
}

namespace {

// w x h pixels from (sx, sy) of src to (x, y) of dst, all four bytes, clipped to both (BitBlt SRCCOPY).
void CopyPixels(Bitmap& dst, int32_t x, int32_t y, int32_t w, int32_t h, const Bitmap& src, int32_t sx, int32_t sy) {
  if (x < 0) { w += x; sx -= x; x = 0; }
  if (y < 0) { h += y; sy -= y; y = 0; }
  if (sx < 0) { w += sx; x -= sx; sx = 0; }
  if (sy < 0) { h += sy; y -= sy; sy = 0; }
  w = std::min({w, dst.Width() - x, src.Width() - sx});
  h = std::min({h, dst.Height() - y, src.Height() - sy});
  if (w <= 0 || h <= 0 || dst.PixelFormat() != pf32bit || src.PixelFormat() != pf32bit) return;
  for (int32_t r = 0; r < h; ++r)
    std::memcpy(dst.ScanLine(y + r) + size_t(x) * 4, src.ScanLine(sy + r) + size_t(sx) * 4, size_t(w) * 4);
}

// A glyph of the component layer as a 32-bit bitmap (a 24-bit glyph gets alpha 0).
Bitmap GlyphBitmap(const gui::TBitmap& glyph) {
  Bitmap b(glyph.Width(), glyph.Height(), pf32bit);
  const int bpp = glyph.BytesPerPixel();
  for (int y = 0; y < glyph.Height(); ++y) {
    const uint8_t* s = glyph.ScanLine(y);
    uint8_t* d = b.ScanLine(y);
    for (int x = 0; x < glyph.Width(); ++x) {
      d[x * 4 + 0] = s[x * bpp + 0];
      d[x * 4 + 1] = s[x * bpp + 1];
      d[x * 4 + 2] = s[x * bpp + 2];
      d[x * 4 + 3] = bpp == 4 ? s[x * bpp + 3] : 0;
    }
  }
  return b;
}

}  // namespace

void DrawGlyphCentred(Bitmap& dst, const gui::TBitmap& glyph, const TRect& R, bool pressed) {
  if (glyph.Empty()) return;
  Bitmap g = GlyphBitmap(glyph);
  const int32_t x = R.Left + (R.Width() - g.Width()) / 2 + (pressed ? 1 : 0);
  const int32_t y = R.Top + (R.Height() - g.Height()) / 2 + (pressed ? 1 : 0);
  if (glyph.PixelFormat() == gui::TPixelFormat::pf24bit) {
    const uint32_t corner = GetPixel32(g, 0, g.Height() - 1) & 0x00FFFFFFu;
    const TColor key = TColor(SwapRedBlue(corner));
    CopyPieceExceptColor(dst, g, x, y, TRect{0, 0, g.Width(), g.Height()}, key);
  } else {
    AlphaBlendBitmap32(TPoint{x, y}, TRect{0, 0, g.Width(), g.Height()}, g, false, 0, clNone, false, EmptyCacheInfo,
                       dst);
  }
}

bool ProviderIconicSmallCaption(const TsSkinProvider& p) {
  return p.Form() && FormWindowIconic(*p.Form()) && gui::Application->MainForm() != p.Form();
}

bool ProviderCacheSizeChanged(TsSkinProvider& p) {
  const Bitmap* cache = p.SkinData().CacheBmp.get();
  return cache == nullptr || cache->Width() != ProviderCacheWidth(p) || cache->Height() != ProviderCacheHeight(p);
}

TRect ProviderCaptionRect(TsSkinProvider& p) {
  const int32_t b = FormBorderWidthIfNoSkin(p, true);
  const int32_t c = ProviderCaptionHeight(p, true);
  const TRect m = ProviderExtBorderMargins(p);
  const int32_t w = ProviderCacheWidth(p);
  return TRect{b + m.Left, b + m.Top, w - b - m.Right, b + m.Top + c};
}

void ProviderPaintTitleIcon(TsSkinProvider& p, Bitmap& bmp) {
  if (!TitleIconShown(p) || RectIsEmpty(p.IconRect)) return;
  const gui::TBitmap& glyph = p.TitleIcon().Glyph();
  if (!glyph.Empty()) {
    Bitmap g = GlyphBitmap(glyph);
    if (glyph.PixelFormat() == gui::TPixelFormat::pf24bit) {
      const TColor key = TColor(SwapRedBlue(GetPixel32(g, 0, g.Height() - 1) & 0x00FFFFFFu));
      Bitmap scaled(p.IconRect.Width(), p.IconRect.Height(), pf32bit);
      StretchCopy(scaled, TRect{0, 0, scaled.Width(), scaled.Height()}, g, TRect{0, 0, g.Width(), g.Height()});
      CopyPieceExceptColor(bmp, scaled, p.IconRect.Left, p.IconRect.Top, TRect{0, 0, scaled.Width(), scaled.Height()},
                           key);
    } else {
      StretchDrawAlpha(bmp, p.IconRect, g);
    }
    return;
  }
  DrawFormIcon(p, bmp, p.IconRect);
}

// ---- Caption buttons.

int32_t ProviderButtonVariantState(const TsSkinProvider& p, int32_t state, bool enabled, bool fading) {
  const bool inactiveLook = !p.FormActive || !enabled || (p.Form() && !FormWindowEnabled(*p.Form()));
  return (inactiveLook && (state == 0 || fading)) ? -1 : state;
}

void CopyBitmapPixels(Bitmap& dst, int32_t x, int32_t y, int32_t w, int32_t h, const Bitmap& src, int32_t sx,
                      int32_t sy) {
  CopyPixels(dst, x, y, w, h, src, sx, sy);
}

void DrawButtonImage(Bitmap& cache, const SkinImageRecord& image, const TRect& R, int32_t state) {
  if (state < 0) state = image.ImageCount > 3 ? 3 : 0;
  const CacheInfo ci = CacheInfoFromBitmap(&cache, 0, 0);
  const int32_t fw = ImageStateWidth(image), fh = ImageFrameHeight(image);
  // A glyph (an image without borders, as the '@' form gives) has no nine pieces to lay over a rectangle of another
  // size: laid out so it would leave the button blank. It is drawn as it is at the rectangle's top-left (a caption
  // whose close button has no image makes every button 21 pixels high).
  const bool bordered = image.BorderLeft > 0 || image.BorderTop > 0 || image.BorderRight > 0 ||
                        image.BorderBottom > 0 || image.CommonBorderWidth > 0;
  if ((fw == R.Width() && fh == R.Height()) || !bordered) {
    DrawImageState(cache, TPoint{R.Left, R.Top}, state, ci, image, 1);
  } else {
    DrawSkinMask(cache, R, ci, image, state, true);
  }
}

namespace {

// A button's image drawn into the cache in its state; a button that cannot act is also faded into the caption under
// it (the image's inactive variant alone is the inactive caption's look, which would not tell it apart there).
void DrawTitleButtonImage(TsSkinProvider& p, Bitmap& cache, const SkinImageRecord& image, const TRect& r,
                          int32_t state, bool enabled, bool fading) {
  if (enabled || RectIsEmpty(r)) {
    DrawButtonImage(cache, image, r, ProviderButtonVariantState(p, state, enabled, fading));
    return;
  }
  Bitmap under(r.Width(), r.Height(), pf32bit);
  CopyPixels(under, 0, 0, r.Width(), r.Height(), cache, r.Left, r.Top);
  DrawButtonImage(cache, image, r, ProviderButtonVariantState(p, 0, false, fading));
  BlendBitmaps(cache, r.Left, r.Top, clNone, DisabledBlendValue, TRect{0, 0, r.Width(), r.Height()}, under);
}

// Whether a system button can act now: on a minimized window minimize is its restore.
bool SystemButtonEnabled(TsSkinProvider& p, const TitleButtonRecord& record, bool enabled) {
  if (record.HitCode == kHtMinButton && p.Form() && FormWindowIconic(*p.Form()))
    return p.SystemMenu == nullptr || p.SystemMenu->RestoreEnabled();
  return enabled;
}

}  // namespace

void ProviderDrawButtonRecord(TsSkinProvider& p, TitleButtonRecord& record, bool enabled) {
  TsSkinManager* m = ProviderManager(p);
  Bitmap* cache = p.SkinData().CacheBmp.get();
  if (cache == nullptr || RectIsEmpty(record.Rect)) return;
  // The image for the form's state (restore on a minimized window's minimize, ...), as when the button alone is
  // painted.
  int32_t imageIndex = record.ImageIndex;
  bool disabled = false;
  ProviderTitleButtonImage(p, record, imageIndex, disabled);
  const SkinImageRecord* image = ValidImage(m, imageIndex);
  if (image == nullptr) return;
  const bool fading = record.GlowTimer != nullptr && record.GlowTimer->Enabled();
  const int32_t state = fading ? 0 : record.State;
  DrawTitleButtonImage(p, *cache, *image, record.Rect, state, SystemButtonEnabled(p, record, enabled) && !disabled,
                       fading);
}

void ProviderSaveCaptionStrip(TsSkinProvider& p) {
  Bitmap* cache = p.SkinData().CacheBmp.get();
  if (cache == nullptr) return;
  if (!p.CaptionStrip) p.CaptionStrip = std::make_unique<Bitmap>();
  const TRect m = ProviderExtBorderMargins(p);
  const int32_t w = std::min(cache->Width(), FormBorderWidth(p, true) + ProviderButtonsWidth(p) + m.Right);
  const int32_t h = std::min(cache->Height(), FormBorderWidth(p, true) + ProviderCaptionHeight(p, true) + m.Top);
  p.CaptionStrip->SetSize(std::max(0, w), std::max(0, h));
  CopyPixels(*p.CaptionStrip, 0, 0, w, h, *cache, cache->Width() - w, 0);
}

void ProviderPaintTitleButtons(TsSkinProvider& p) {
  Bitmap* cache = p.SkinData().CacheBmp.get();
  if (cache == nullptr || !ProviderFormHasBorder(p)) return;
  if (p.CaptionStrip && !p.CaptionStrip->Empty())
    CopyPixels(*cache, cache->Width() - p.CaptionStrip->Width(), 0, p.CaptionStrip->Width(), p.CaptionStrip->Height(),
               *p.CaptionStrip, 0, 0);
  if (p.SystemMenu && ProviderHasSystemMenu(p)) {
    ProviderDrawButtonRecord(p, p.ButtonClose, p.SystemMenu->CloseEnabled());
    if (p.SystemMenu->MaximizeVisible()) ProviderDrawButtonRecord(p, p.ButtonMax, p.SystemMenu->MaximizeEnabled());
    if (p.SystemMenu->MinimizeVisible()) ProviderDrawButtonRecord(p, p.ButtonMin, p.SystemMenu->MinimizeEnabled());
    if (p.Form()->BorderIcons() & gui::biHelp) ProviderDrawButtonRecord(p, p.ButtonHelp, true);
  }
  TsTitleButtons& buttons = p.TitleButtons();
  for (int i = 0; i < buttons.Count(); ++i) {
    TsTitleButton* b = buttons.Items(i);
    if (!b->Visible()) continue;
    ProviderDrawButtonRecord(p, b->Data, b->Enabled);
    b->Data.HitCode = kHtUserButton + i;
    if (!b->Glyph().Empty()) DrawGlyphCentred(*cache, b->Glyph(), b->Data.Rect, b->Data.State == 2);
  }
  ProviderPaintTitleItems(p);
  // A maximized MDI child's buttons at the right end of the skinned menu line.
  if (p.MenuLineBmp && !p.MenuLineBmp->Empty() && ProviderMenuLineSkinned(p)) ProviderPaintMDIChildButtons(p);
}

bool ProviderTitleButtonImage(TsSkinProvider& p, const TitleButtonRecord& record, int32_t& imageIndex, bool& disabled) {
  TsSkinManager* m = ProviderManager(p);
  imageIndex = record.ImageIndex;
  disabled = false;
  if (m == nullptr || !p.Form()) return true;
  const SkinCommonIndexes& ci = m->Skin().CommonIndexes;
  const bool large = record.LargeImage;
  const int32_t restoreImage = large ? ci.BIConNorm : ci.SIConNorm;
  const int32_t maximizeImage = large ? ci.BIConMax : ci.SIConMax;
  const bool iconic = FormWindowIconic(*p.Form());
  if (record.HitCode == kHtMaxButton) {
    if (p.Form()->WindowState() == gui::TWindowState::wsMaximized) {
      imageIndex = restoreImage;
    } else if (iconic) {
      imageIndex = maximizeImage;
      disabled = p.SystemMenu && !p.SystemMenu->MaximizeEnabled();
    }
  } else if (record.HitCode == kHtMinButton && iconic) {
    imageIndex = restoreImage;
  } else if (record.HitCode >= kHtUserButton && record.HitCode < kHtTitleItem) {
    const int n = record.HitCode - kHtUserButton;
    if (n < p.TitleButtons().Count() && !p.TitleButtons().Items(n)->UseSkinData) imageIndex = -1;
  }
  return true;
}

namespace {
bool ButtonEnabled(TsSkinProvider& p, const TitleButtonRecord& record) {
  if (record.HitCode >= kHtUserButton && record.HitCode < kHtTitleItem) {
    const int n = record.HitCode - kHtUserButton;
    return n < p.TitleButtons().Count() && p.TitleButtons().Items(n)->Enabled;
  }
  if (!p.SystemMenu) return true;
  switch (record.HitCode) {
    case kHtClose: return p.SystemMenu->CloseEnabled();
    case kHtMaxButton: return p.SystemMenu->MaximizeEnabled() || p.SystemMenu->RestoreEnabled();
    case kHtMinButton: return SystemButtonEnabled(p, record, p.SystemMenu->MinimizeEnabled());
    default: return true;
  }
}
}  // namespace

void ProviderPaintTitleButton(TsSkinProvider& p, int32_t code) {
  if (code >= kHtTitleItem) {
    ProviderPaintTitleItem(p, code);
    return;
  }
  TitleButtonRecord* record = ProviderButtonRecord(p, code);
  if (code == kHtMdiClose && !ProviderShowMDIChildButtons(p)) record = nullptr;
  if (record == nullptr || record->State < 0 || record->State > 2) return;
  TsSkinManager* m = ProviderManager(p);
  if (code >= kHtMdiClose && code <= kHtMdiMinimize) {
    // A button of the maximized MDI child, in the menu line: its clean background from the line's band, its image
    // for the child's state, copied into the form's window (where the menu line lies, with a border window too).
    Bitmap* cache = p.SkinData().CacheBmp.get();
    if (cache == nullptr || RectIsEmpty(record->Rect) || !ProviderShowMDIChildButtons(p)) return;
    if (p.MenuLineBmp && !p.MenuLineBmp->Empty())
      CopyPixels(*cache, record->Rect.Left, record->Rect.Top, record->Rect.Width(), record->Rect.Height(),
                 *p.MenuLineBmp, record->Rect.Left - p.MenuLineOrigin.X, record->Rect.Top - p.MenuLineOrigin.Y);
    int32_t image = -1;
    bool disabled = false;
    if (ProviderMDIButtonImage(p, code, image, disabled))
      if (const SkinImageRecord* rec = ValidImage(m, image))
        DrawButtonImage(*cache, *rec, record->Rect, ProviderButtonVariantState(p, record->State, !disabled, false));
    ProviderCopyCacheRectToFormWindow(p, record->Rect);
    return;
  }
  // The hot and pressed looks fade in a layered picture over the button: where the screen does not show the
  // alpha of layered windows that picture is never seen, and the button is drawn in its state in the frame.
  const bool animate = m && (m->Effects.AllowGlowing || p.BorderForm) && p.StateFlags == 0 && p.Form() &&
                       p.Form()->Parent() == nullptr && !ProviderIsMDIChild(p) && LayeredPicturesShown(m);
  if (animate) {
    switch (record->State) {
      case 1: AnimateTitleButtonGlow(*record, 1, 10, p, true); break;
      case 2: AnimateTitleButtonGlow(*record, 2, 1, p, true); break;
      default: AnimateTitleButtonGlow(*record, 0, 10, p, false); break;
    }
    return;
  }
  Bitmap* cache = p.SkinData().CacheBmp.get();
  if (cache == nullptr) return;
  if (record->Rect.Left >= p.IconRect.Right && p.CaptionStrip && !p.CaptionStrip->Empty()) {
    const int32_t dx = cache->Width() - p.CaptionStrip->Width();
    CopyPixels(*cache, record->Rect.Left, record->Rect.Top, record->Rect.Width(), record->Rect.Height(),
               *p.CaptionStrip, record->Rect.Left - dx, record->Rect.Top);
  }
  int32_t imageIndex = -1;
  bool disabled = false;
  ProviderTitleButtonImage(p, *record, imageIndex, disabled);
  const bool enabled = !disabled && ButtonEnabled(p, *record);
  if (const SkinImageRecord* image = ValidImage(m, imageIndex))
    DrawTitleButtonImage(p, *cache, *image, record->Rect, record->State, enabled, false);
  if (code >= kHtUserButton && code < kHtTitleItem) {
    const TsTitleButton* b = p.TitleButtons().Items(code - kHtUserButton);
    if (!b->Glyph().Empty()) DrawGlyphCentred(*cache, b->Glyph(), record->Rect, record->State == 2);
  }
  ProviderCopyCacheRectToWindow(p, record->Rect);
}

// ---- Caption text.

uint32_t ProviderCaptionTextFlags(const TsSkinProvider& p) {
  uint32_t flags = dtSingleLine | dtVCenter | dtNoPrefix | dtEndEllipsis;
  if (p.Form() && p.Form()->UseRightToLeftReading()) flags |= dtRtlReading;
  return flags;
}

TRect ProviderCaptionTextRect(TsSkinProvider& p) {
  const TRect m = ProviderExtBorderMargins(p);
  TRect r;
  r.Left = FormBorderWidth(p, true) + (TitleIconShown(p) ? TitleIconWidth(p) : 0) + 4 + m.Left;
  if (p.CaptionSectionIndex >= 0) r.Left += 2;
  r.Right = ProviderCacheWidth(p) - ProviderButtonsWidth(p) - 12 - m.Right;
  ProviderTitleBarCaptionSpan(p, r);
  const bool maximized = p.Form() && FormWindowZoomed(*p.Form());
  r.Top = (maximized && !p.BorderForm) ? 3 : m.Top + (maximized ? 1 : 2);
  r.Bottom = p.CaptionBottom;
  // With a border window the skin's caption shift moves it down, for a maximized form also half the difference
  // between the skin's normal and maximized caption heights.
  if (p.BorderForm)
    if (const TsSkinManager* manager = ProviderManager(p)) {
      const TsSkinData& g = manager->SkinData();
      int32_t shift = g.CenterOffset;
      if (maximized && g.MaxHeight != 0 && g.MaxHeight != g.TitleHeight) shift += (g.TitleHeight - g.MaxHeight) / 2;
      r.Top += shift;
      r.Bottom += shift;
    }
  return r;
}

namespace {

// The caption's glow laid over the cache from the state's glow image, which is made anew only when the text, its
// place, its colour or its size changed.
void PaintCaptionGlow(TsSkinProvider& p, Bitmap& cache, const gui::TFont& font, const std::string& text,
                      const TRect& R, TColor colour, int32_t size, uint32_t flags, int32_t state) {
  CaptionGlowImage& g = p.CaptionGlow[state > 0 ? 1 : 0];
  const int32_t w = R.Width() + 2 * size, h = R.Height() + 2 * size;
  if (w <= 0 || h <= 0) return;
  if (!g.Bmp || g.Text != text || g.R != R || g.Colour != colour || g.Size != size) {
    g.Bmp = std::make_unique<Bitmap>(w, h, pf32bit);
    FillRectBitmap32(*g.Bmp, TRect{0, 0, w, h}, 0, 0);
    DrawTextWithEffects(*g.Bmp, font, text, TRect{size, size, size + R.Width(), size + R.Height()}, colour, size, 0,
                        flags);
    g.Text = text;
    g.R = R;
    g.Colour = colour;
    g.Size = size;
  }
  // Premultiplied over: the colour already weighed by the coverage, the cache by what the glow leaves.
  const int32_t x0 = R.Left - size, y0 = R.Top - size;
  for (int32_t y = std::max(0, -y0); y < h && y0 + y < cache.Height(); ++y) {
    const uint8_t* s = g.Bmp->ScanLine(y);
    uint8_t* d = cache.ScanLine(y0 + y);
    for (int32_t x = std::max(0, -x0); x < w && x0 + x < cache.Width(); ++x) {
      const uint8_t* sp = s + size_t(x) * 4;
      const uint32_t a = sp[3];
      if (a == 0) continue;
      uint8_t* dp = d + size_t(x0 + x) * 4;
      for (int c = 0; c < 3; ++c) dp[c] = uint8_t(std::min<uint32_t>(255, sp[c] + dp[c] * (255 - a) / 255));
      dp[3] = uint8_t(std::min<uint32_t>(255, dp[3] + (255 - dp[3]) * a / 255));
    }
  }
}

}  // namespace

int32_t ProviderPaintCaptionText(TsSkinProvider& p) {
  if (ProviderCaptionHeight(p, true) == 0 || !p.DrawNonClientArea() || !p.Form()) return 0;
  Bitmap* cache = p.SkinData().CacheBmp.get();
  TsSkinManager* m = ProviderManager(p);
  if (cache == nullptr || m == nullptr) return 0;
  TRect R = ProviderCaptionTextRect(p);
  if (RectIsEmpty(R)) return 0;
  TextEngine& engine = CurrentTextEngine();
  const TacAddedTitle& added = p.AddedTitle();
  const TSize addedSize = added.Text().empty() ? TSize{} : engine.Extent(added.Font(), added.Text());
  gui::TFont captionFont;
  CaptionFont(captionFont);
  const std::string caption = p.Form()->Caption();
  const bool showMain = ProviderTitleBarShowsCaption(p, added.ShowMainCaption());
  const TSize captionSize = showMain ? engine.Extent(captionFont, caption) : addedSize;
  const int32_t textHeight = std::max(captionSize.cy, addedSize.cy);
  R.Top = p.ButtonsCenter - textHeight / 2;
  R.Bottom = R.Top + textHeight;

  gui::TAlignment alignment = p.CaptionAlignment();
  if (p.Form()->UseRightToLeftReading()) {
    if (alignment == gui::TAlignment::taLeftJustify)
      alignment = gui::TAlignment::taRightJustify;
    else if (alignment == gui::TAlignment::taRightJustify)
      alignment = gui::TAlignment::taLeftJustify;
  }
  const int32_t total = (showMain ? captionSize.cx : 0) + (added.Text().empty() ? 0 : addedSize.cx + 4);
  if (alignment == gui::TAlignment::taRightJustify) {
    if (total + 4 < R.Width()) R.Left = R.Right - total;
  } else if (alignment == gui::TAlignment::taCenter) {
    const int32_t centred = (ProviderCacheWidth(p) - total) / 2;
    R.Left = std::max(R.Left, centred);
    R.Right = std::min(R.Right, centred + total);
  }
  const uint32_t flags = ProviderCaptionTextFlags(p);
  const int32_t state = p.FormActive ? 1 : 0;
  const int32_t titleSection = ProviderTitleSectionIndex(p);
  int32_t bottom = R.Bottom + 1;  // a contour one pixel below

  int32_t textRight = R.Left;
  if (showMain) {
    int32_t section = titleSection;
    if (const SkinSectionRecord* cs = ValidSection(m, p.CaptionSectionIndex)) {
      (void)cs;
      section = p.CaptionSectionIndex;
      const TRect back{R.Left - 2, R.Top, std::min(R.Right, R.Left + captionSize.cx + 2), R.Bottom};
      if (!RectIsEmpty(back)) {
        Bitmap temp(back.Width(), back.Height(), pf32bit);
        CopyPixels(temp, 0, 0, back.Width(), back.Height(), *cache, back.Left, back.Top);
        PaintSkinItem(section, CacheInfoFromBitmap(&temp, 0, 0), state, TRect{0, 0, back.Width(), back.Height()},
                      TPoint{}, temp, m);
        CopyPixels(*cache, back.Left, back.Top, back.Width(), back.Height(), temp, 0, 0);
      }
    }
    if (const SkinSectionRecord* s = ValidSection(m, section)) {
      const SkinStateBlock& block = SectionStateBlock(*s, state);
      const bool glow = block.GradientSize > 0 && m->SkinData().Version > 7.5;
      if (glow) {
        PaintCaptionGlow(p, *cache, captionFont, caption, R, block.GradientColor, block.GradientSize, flags, state);
        bottom = std::max(bottom, R.Bottom + block.GradientSize);
      }
    }
    // The caption keeps the skin's colour for the active or inactive state: a form is disabled while a modal
    // window of the program is shown, and a window behind a dialog is no greyed-out control.
    WriteTextSectionEx(*cache, captionFont, caption, true, m, R, state, section, flags);
    textRight = std::min(R.Right, R.Left + captionSize.cx);
  }
  if (!added.Text().empty()) {
    TRect a = R;
    a.Left = showMain ? textRight + 4 : R.Left;
    a.Right = std::min(R.Right, a.Left + addedSize.cx + 4);
    const SkinSectionRecord* s = ValidSection(m, titleSection);
    if (a.Left + 8 < a.Right && s != nullptr) {
      const SkinStateBlock& block = SectionStateBlock(*s, state);
      TColor colour = added.Font().Color();
      if (colour == clNone || colour == clWindowText) colour = block.FontColor;
      colour = ColorToRGB(colour);
      if (!p.FormActive) colour = MixColorsRatio(colour, ColorToRGB(block.Color), 0.5);
      DrawTextMasked(*cache, added.Font(), added.Text(), colour, flags, a);
    }
  }
  return bottom;
}

// ---- The frame.

namespace {

// The skin's outer frame and shadow into the margins of the cache (a border window's image).
void PaintExtendedBorders(TsSkinProvider& p, Bitmap& cache) {
  TsSkinManager* m = ProviderManager(p);
  if (m == nullptr) return;
  const LoadedSkin& skin = m->Skin();
  const Bitmap* shadow = (p.FormActive ? skin.ActiveShadow : skin.InactiveShadow).get();
  if (shadow == nullptr || shadow->Empty()) return;
  const TRect margins = skin.ShadowMargins;
  TRect widths = margins;
  std::array<int32_t, 4> modes{0, 0, 0, 0};
  if (const SkinImageRecord* ex = ValidImage(m, skin.CommonIndexes.ExBorder)) {
    widths = TRect{SkinMaskBorderLeft(skin, skin.CommonIndexes.ExBorder), SkinMaskBorderTop(skin, skin.CommonIndexes.ExBorder),
                   SkinMaskBorderRight(skin, skin.CommonIndexes.ExBorder),
                   SkinMaskBorderBottom(skin, skin.CommonIndexes.ExBorder)};
    const int32_t mode = (ex->DrawMode & dmStretch) ? 1 : 0;
    modes = {mode, mode, mode, mode};
  }
  // The frame image's bands reach FORMOFFSET pixels into the form's own frame: they are laid under the form's
  // edge, which the FORM section paints over them, so only the part in the margins shows.
  PaintFormBorderParts(cache, *shadow, TRect{0, 0, cache.Width(), cache.Height()}, false, false, modes, widths, widths,
                       TRect{0, 0, shadow->Width(), shadow->Height()});
}

}  // namespace

namespace {

// The rows above the menu line and the client as they are before the caption text and the caption buttons are
// drawn: a new caption text is drawn again over them alone.
void SaveCaptionBack(TsSkinProvider& p, int32_t rows) {
  const Bitmap& cache = *p.SkinData().CacheBmp;
  if (!p.CaptionBack) p.CaptionBack = std::make_unique<Bitmap>();
  p.CaptionBack->SetSize(cache.Width(), std::max(0, rows));
  CopyPixels(*p.CaptionBack, 0, 0, cache.Width(), rows, cache, 0, 0);
}

// With a border window: the caption band's rows between the text's left and right limits, as far as they lie
// within the form's own window, when every pixel of them is opaque; empty otherwise. The form's window shows that
// span itself, so that a new caption text (a caption clock's, every second) is drawn there, on an ordinary window,
// and not pushed to the layered border window: under Wine each push of a layered window that a window manager
// manages sends it the window's hints and states again, and has it redraw what it keeps of the window.
TRect CaptionSpanOnForm(TsSkinProvider& p, const Bitmap& cache) {
  if (!p.BorderForm || !p.Form() || !p.CaptionBack || FormWindowZoomed(*p.Form()) || FormWindowIconic(*p.Form()))
    return {};
  const TRect text = ProviderCaptionTextRect(p);
  const TRect margins = ProviderExtBorderMargins(p);
  const TPoint origin = ProviderCacheOrigin(p);
  const TRect window = FormWindowRect(*p.Form());
  const TRect span{std::max({text.Left - 2, origin.X, 0}), std::max(margins.Top, origin.Y),
                   std::min({text.Right, origin.X + window.Width(), cache.Width()}),
                   std::min({p.CaptionBack->Height(), origin.Y + window.Height(), cache.Height()})};
  if (RectIsEmpty(span)) return {};
  for (int32_t y = span.Top; y < span.Bottom; ++y)
    for (int32_t x = span.Left; x < span.Right; ++x)
      if (PixelA(GetPixel32(cache, x, y)) != 255) return {};
  return span;
}

}  // namespace

bool ProviderRepaintCaptionBand(TsSkinProvider& p) {
  TsScrollWndData& data = p.SkinData();
  Bitmap* cache = data.CacheBmp.get();
  const Bitmap* back = p.CaptionBack.get();
  const TsSkinManager* m = ProviderManager(p);
  if (!p.Form() || cache == nullptr || back == nullptr || back->Empty() || back->Width() != cache->Width() ||
      data.BGChanged || p.FirstPaintPending || !p.CacheValid || ProviderCacheSizeChanged(p) || m == nullptr ||
      (p.StateFlags & (psBlendMoving | psHideSnapshot))) {
    data.BGChanged = true;
    return false;
  }
  CopyPixels(*cache, 0, 0, back->Width(), back->Height(), *back, 0, 0);
  if (ProviderPaintCaptionText(p) > back->Height()) {
    // The text's glow reaches below the band.
    data.BGChanged = true;
    return false;
  }
  ProviderSaveCaptionStrip(p);
  ProviderPaintTitleButtons(p);
  if (m->Effects.AllowOuterEffects && back->Height() > 0) {
    // The children's outer effects that reach up into the band are laid over it again, as the whole frame lays
    // them over its caption: drawn into a copy of the band alone, where the rest of each effect falls outside.
    Bitmap band(back->Width(), back->Height(), pf32bit);
    CopyPixels(band, 0, 0, band.Width(), band.Height(), *cache, 0, 0);
    CommonDataPaintChildOuterEffects(data, p.Form(), band, TPoint{ProviderClientLeft(p), ProviderClientTop(p)});
    CopyPixels(*cache, 0, 0, band.Width(), band.Height(), band, 0, 0);
  }
  return true;
}

bool ProviderPaintFrame(TsSkinProvider& p) {
  if (!p.Form() || (p.Form()->ControlState() & gui::csCreating) || (p.StateFlags & (psBlendMoving | psHideSnapshot)))
    return true;
  TsSkinManager* m = ProviderManager(p);
  TsScrollWndData& data = p.SkinData();
  if (m == nullptr || !SkinManagerIsValidSectionIndex(*m, data.SkinIndex)) return true;

  const int32_t b = FormBorderWidthIfNoSkin(p, true);
  const int32_t c = ProviderCaptionHeight(p, true);
  const TRect margins = ProviderExtBorderMargins(p);
  const int32_t t = b + c + margins.Top;

  if (!data.CacheBmp) {
    data.CacheBmp = std::make_unique<Bitmap>(0, 0, pf32bit);
    data.BGChanged = true;
  }
  Bitmap& cache = *data.CacheBmp;

  if (data.BGChanged) {
    ProviderLayoutTitle(p);
    p.LayoutChanged = true;
    const int32_t width = std::max(0, ProviderCacheWidth(p));
    const int32_t height = std::max(0, ProviderCacheHeight(p));
    if (cache.Width() != width || cache.Height() != height) cache.SetSize(width, height);
    if (cache.Empty()) return true;

    // What lies under the form: nothing for a top-level form, the parent's background for a parented one.
    CacheInfo ci = EmptyCacheInfo;
    Bitmap* parentImage = nullptr;
    if (gui::TWinControl* parent = p.Form()->Parent()) {
      BackgroundInfo bi;
      bi.R = p.Form()->BoundsRect();
      QueryControlBackground(bi, parent, false);
      if (bi.BgType == btNotReady) {
        // The parent's image is not painted yet: the next paint tries again.
        data.PaintSkipped = 1;
        return false;
      }
      BackgroundToCacheInfo(bi, ci);
      parentImage = bi.Bmp;
    }
    (void)parentImage;

    const TRect frame{margins.Left, margins.Top, width - margins.Right, height - margins.Bottom};
    if (p.BorderForm) {
      FillRectBitmap32(cache, TRect{0, 0, width, height}, 0, 0);
      PaintExtendedBorders(p, cache);
    }
    const int32_t state = p.FormActive ? 1 : 0;
    if (data.FillFlags & 1) {
      // A form painted in a plain colour.
      if (!p.BorderForm) {
        const int32_t top = std::min(height, c + b + ProviderMenuLineCount(p) * ProviderMenuLineHeight(p) + 1);
        FillRectBitmap32(cache, TRect{0, 0, width, top}, ProviderFormColor(p), 255);
        TRect client;
        PaintBorderFrame(TRect{0, 0, width, height}, 0, client, state, data);
      } else {
        FillRectBitmap32(cache, TRect{0, 0, width, height - margins.Bottom}, ProviderFormColor(p), 255);
        if (data.BorderIndex >= 0) {
          TRect client;
          PaintBorderFrame(frame, 0, client, state, data);
        }
      }
    } else if (!ProviderFormHasBorder(p) && p.Form()->Parent() == nullptr) {
      PaintSectionCore(data.SkinIndex, EmptyCacheInfo, 0, frame, TPoint{}, cache, m, -1, -1, KeyColor);
      const SkinSectionRecord& s = m->Skin().Sections[size_t(data.SkinIndex)];
      const CacheInfo self = CacheInfoFromBitmap(&cache, 0, 0);
      auto corner = [&](int32_t index, int32_t x, int32_t y) {
        if (const SkinImageRecord* image = ValidImage(m, index)) DrawImageState(cache, TPoint{x, y}, 0, self, *image, 1);
      };
      auto iw = [&](int32_t index) { return ValidImage(m, index) ? ImageStateWidth(*ValidImage(m, index)) : 0; };
      auto ih = [&](int32_t index) { return ValidImage(m, index) ? ImageFrameHeight(*ValidImage(m, index)) : 0; };
      corner(s.ImgTopLeft, frame.Left, frame.Top);
      corner(s.ImgTopRight, frame.Right - iw(s.ImgTopRight), frame.Top);
      corner(s.ImgBottomLeft, frame.Left, frame.Bottom - ih(s.ImgBottomLeft));
      corner(s.ImgBottomRight, frame.Right - iw(s.ImgBottomRight), frame.Bottom - ih(s.ImgBottomRight));
    } else {
      CacheInfo under = ci;
      std::unique_ptr<Bitmap> shadowCopy;
      if (p.BorderForm) {
        // The form's key-colour corners show the shadow under them.
        shadowCopy = NewBitmapLike(cache);
        CopyPixels(*shadowCopy, 0, 0, width, height, cache, 0, 0);
        under = CacheInfoFromBitmap(shadowCopy.get(), 0, 0);
      }
      const TPoint offset{-frame.Left, -frame.Top};
      if (p.BorderForm) {
        // The painters place an item at the bitmap's origin: paint the frame into its own bitmap.
        Bitmap item(frame.Width(), frame.Height(), pf32bit);
        under.X += frame.Left;
        under.Y += frame.Top;
        PaintControlItem(data, under, -1, -1, 1, item, TPoint{}, TRect{0, 0, frame.Width(), frame.Height()}, state);
        CopyPixels(cache, frame.Left, frame.Top, frame.Width(), frame.Height(), item, 0, 0);
      } else {
        PaintControlItem(data, under, -1, -1, 1, cache, TPoint{}, frame, state);
      }
      (void)offset;
    }

    // The empty area of an MDI parent's client window.
    if (p.MDIForm) {
      const TPoint origin = ProviderCacheOrigin(p);
      ProviderPaintMDIArea(p, cache, TPoint{origin.X + ProviderClientLeft(p), origin.Y + ProviderClientTop(p)});
    }

    // The title bar.
    if (c > 0 && p.DrawNonClientArea()) {
      const int32_t titleSection = ProviderTitleSectionIndex(p);
      const SkinSectionRecord* ts = ValidSection(m, titleSection);
      const TRect captionRect = ProviderCaptionRect(p);
      if (ts != nullptr && !RectIsEmpty(captionRect)) {
        const int32_t titleState = std::min(state, SectionStateCount(*ts) - 1);
        PaintSkinItem(titleSection, CacheInfoFromBitmap(&cache, 0, 0), titleState, captionRect, TPoint{}, cache, m);
      }
      if (ProviderSystemButtonCount(p) > 0) {
        const int32_t titleBar = SkinManagerGetImageIndex(*m, data.SkinIndex, "TITLEBAR");
        if (const SkinImageRecord* image = ValidImage(m, titleBar)) {
          // Behind the buttons, to the frame's right edge.
          const int32_t right = width - margins.Right;
          const TRect strip{right - ProviderCaptionReserve(p, titleBar), captionRect.Top, right, captionRect.Bottom};
          if (!RectIsEmpty(strip))
            DrawSkinMask(cache, strip, CacheInfoFromBitmap(&cache, 0, 0), *image, state, true);
        }
      }
      ProviderPaintTitleIcon(p, cache);
    }

    // The menu line: the skin's band, then each item drawn by its owner-draw event.
    const int32_t lines = ProviderMenuLineCount(p);
    if (ProviderHasMenuLine(p) && ProviderMenuHasVisibleItems(p) && lines > 0 && p.DrawNonClientArea() &&
        m->SkinnedPopups && ProviderMenuLineSkinned(p)) {
      const int32_t section =
          SkinManagerGetSectionIndex(*m, p.MenuLineSkin().empty() ? std::string("MENULINE") : p.MenuLineSkin());
      if (ValidSection(m, section) != nullptr) {
        const int32_t left = ProviderClientLeft(p) - FormInnerBorderWidth(p);
        const int32_t right = left + FormClientSize(*p.Form()).cx + 2 * FormInnerBorderWidth(p);
        const TRect band{left, t, right, t + ProviderMenuLineHeight(p) * lines + 1};
        if (!RectIsEmpty(band) && band.Bottom <= height) {
          PaintSkinItem(section, CacheInfoFromBitmap(&cache, 0, 0), 0, band, TPoint{}, cache, m);
          if (!p.MenuLineBmp) p.MenuLineBmp = std::make_unique<Bitmap>();
          p.MenuLineBmp->SetSize(band.Width(), band.Height());
          CopyPixels(*p.MenuLineBmp, 0, 0, band.Width(), band.Height(), cache, band.Left, band.Top);
          p.MenuLineOrigin = TPoint{band.Left, band.Top};
          // A maximized MDI child's icon at the line's left end.
          ProviderPaintMDIChildIcon(p);
          ProviderPaintMenuLineItems(p);
        }
      }
    }

    SaveCaptionBack(p, std::min({t, height, ProviderClientTop(p)}));
    ProviderPaintCaptionText(p);
    if (c > 0 && p.DrawNonClientArea()) {
      ProviderSaveCaptionStrip(p);
      ProviderPaintTitleButtons(p);
    }
    if (p.BorderForm) {
      // The layered image: the frame opaque, the shadow with its own alpha.
      const int32_t clientLeft = ProviderClientLeft(p), clientTop = ProviderClientTop(p);
      SetAlphaRect(cache, TRect{clientLeft, clientTop, clientLeft + FormClientSize(*p.Form()).cx,
                                clientTop + FormClientSize(*p.Form()).cy},
                   255, clNone);
    }
    p.FirstPaintPending = false;
    data.BGChanged = false;
    // What the form paints itself (its OnPaint) lies in the cache's client part too: the skinned client is
    // painted from there.
    if (p.DrawClientArea && p.Form()->OnPaint) ProviderPaintFormOnCache(p);
    // The outer effects (shadows) of the form's child controls, drawn into the cache around them.
    CommonDataPaintChildOuterEffects(data, p.Form(), cache, TPoint{ProviderClientLeft(p), ProviderClientTop(p)});
    p.CaptionOnForm = CaptionSpanOnForm(p, cache);
    p.CacheValid = true;
  }
  data.PaintSkipped = 0;
  return true;
}

bool ProviderCaptionOnFormAt(TsSkinProvider& p, const TPoint& screen) {
  if (!p.BorderForm || !p.Form() || RectIsEmpty(p.CaptionOnFormShown)) return false;
  const TPoint at = ProviderScreenToWindow(p, screen.X, screen.Y);
  const TPoint origin = ProviderCacheOrigin(p);
  return p.CaptionOnFormShown.Contains(TPoint{at.X + origin.X, at.Y + origin.Y});
}

FrameBands ProviderFrameBands(TsSkinProvider& p) {
  FrameBands bands;
  if (!p.Form()) return bands;
  // The window's own placement of its client area.
  const TRect w = FormWindowRect(*p.Form());
  const TPoint origin = FormClientOrigin(*p.Form());
  const TSize client = FormClientSize(*p.Form());
  const int32_t width = w.Width(), height = w.Height();
  const int32_t left = std::clamp(origin.X - w.Left, 0, width);
  const int32_t top = std::clamp(origin.Y - w.Top, 0, height);
  const int32_t right = std::clamp(left + client.cx, left, width);
  const int32_t bottom = std::clamp(top + client.cy, top, height);
  if (p.BorderForm) {
    // The border window shows the frame; the form's window only its menu line.
    const int32_t menu = ProviderMenuLineCount(p) * ProviderMenuLineHeight(p);
    bands.Top = TRect{left, std::max(0, top - (menu > 0 ? menu + 1 : 0)), right, top};
    return bands;
  }
  bands.Top = TRect{0, 0, width, top};
  bands.Left = TRect{0, top, left, bottom};
  bands.Bottom = TRect{0, bottom, width, height};
  bands.Right = TRect{right, top, width, bottom};
  return bands;
}

TPoint ProviderCacheOrigin(const TsSkinProvider& p) {
  if (!p.BorderForm) return TPoint{};
  return TPoint{BorderFormClientLeft(*p.BorderForm), BorderFormTopOffset(*p.BorderForm)};
}

bool ProviderMenuLineSkinned(const TsSkinProvider& p) {
  const gui::TMainMenu* menu = p.Form() ? p.Form()->Menu() : nullptr;
  if (menu == nullptr) return false;
  bool any = false;
  for (const gui::TMenuItem* item : menu->BarItems()) {
    if (!item->Visible()) continue;
    if (!item->OnAdvancedDrawItem) return false;
    any = true;
  }
  return any;
}


}  // namespace skin
