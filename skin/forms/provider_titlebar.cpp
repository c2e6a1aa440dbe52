#include "skin/forms/provider_titlebar.h"

#include <algorithm>
#include <cstring>

#include "gui/forms.h"
#include "skin/adapters/button_glyph.h"
#include "skin/data/loaded_skin.h"
#include "skin/data/sskinmanager.h"
#include "skin/forms/form_window.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/provider_wndproc.h"
#include "skin/manager/win_values.h"
#include "skin/pixels/background_info.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/section_paint.h"
#include "skin/painters/section_text.h"
#include "skin/painters/skinned_text.h"
#include "skin/painters/text_engine.h"

namespace skin {

using namespace wv;

namespace {

constexpr int32_t kLastItemCode = kHtTitleItem + 255;

bool IsItemCode(int32_t code) { return code >= kHtTitleItem && code <= kLastItemCode; }
bool IsUserButtonCode(int32_t code) { return code >= kHtUserButton && code < kHtUserButton + 256; }
bool ButtonKind(const TacTitleBarItem& item) { return item.Style() != bsSpacing && item.Style() != bsInfo; }

TacTitleBarItem* ItemOfCode(TsSkinProvider& p, int32_t code) {
  TsTitleBar* bar = p.TitleBar();
  if (bar == nullptr || !IsItemCode(code)) return nullptr;
  const int index = code - kHtTitleItem;
  return index < bar->Items().Count() ? bar->Items().Items(index) : nullptr;
}

TsSkinProvider* ProviderOfItem(TacTitleBarItem& item) {
  gui::TCustomForm* form = item.Bar().Form();
  if (form == nullptr || form->IsDestroying()) return nullptr;
  auto* p = dynamic_cast<TsSkinProvider*>(FormProvider(form));
  return (p && p->TitleBar() == &item.Bar()) ? p : nullptr;
}

// w x h pixels from (sx, sy) of src to (x, y) of dst, clipped to both.
void Copy(Bitmap& dst, int32_t x, int32_t y, int32_t w, int32_t h, const Bitmap& src, int32_t sx, int32_t sy) {
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

TsSkinManager* Manager(TsSkinProvider& p) { return ProviderManager(p); }

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Layout.

int32_t TitleItemSection(TsSkinProvider& p, int index) {
  TsTitleBar* bar = p.TitleBar();
  TsSkinManager* m = Manager(p);
  if (bar == nullptr || m == nullptr || index < 0 || index >= bar->Items().Count()) return -1;
  const TacTitleBarItem& item = *bar->Items().Items(index);
  int32_t section = -1;
  if (!item.SkinSection().empty()) section = SkinManagerGetSectionIndex(*m, item.SkinSection());
  if (section < 0) {
    switch (item.Style()) {
      case bsButton: section = SkinManagerGetSectionIndex(*m, "TB_BTN"); break;
      case bsMenu: section = SkinManagerGetSectionIndex(*m, "TB_MENUBTN"); break;
      case bsTab: section = SkinManagerGetSectionIndex(*m, "TB_TAB"); break;
      default: break;
    }
  }
  if (section < 0) {
    if (item.Style() == bsButton) section = SkinManagerGetSectionIndex(*m, "TOOLBUTTON");
    if (item.Style() == bsTab) section = SkinManagerGetSectionIndex(*m, "TABTOP");
  }
  return section;
}

void ProviderHookTitleItems(TsSkinProvider& p) {
  TsTitleBar* bar = p.TitleBar();
  if (bar == nullptr) return;
  for (int i = 0; i < bar->Items().Count(); ++i) {
    TacTitleBarItem& item = *bar->Items().Items(i);
    if (!item.SkinRecord) item.SkinRecord = std::make_unique<TitleItemSkin>();
    item.SkinRecord->SectionIndex = TitleItemSection(p, i);
    item.SkinRecord->SectionName.clear();
    if (TsSkinManager* m = Manager(p); m && SkinManagerIsValidSectionIndex(*m, item.SkinRecord->SectionIndex))
      item.SkinRecord->SectionName = m->Skin().Sections[size_t(item.SkinRecord->SectionIndex)].SectionName;
    item.Paint = TitleItemPaint;
  }
}

void ProviderLayoutTitleBar(TsSkinProvider& p, int32_t x) {
  TsTitleBar* bar = p.TitleBar();
  if (bar == nullptr) return;
  ProviderHookTitleItems(p);
  int32_t left = p.IconRect.Right;
  if (TitleIconShown(p)) {
    for (int i = 0; i < bar->Items().Count(); ++i) {
      const TacTitleBarItem& item = *bar->Items().Items(i);
      if (!item.Visible()) continue;
      if (item.Align() != tbaRight) left += 6;
      break;
    }
  }
  bar->FullWidth = p.CaptionRight;
  bar->BarRect = TRect{left, ProviderCaptionTopOffset(p), x - 6, p.CaptionBottom};
  bar->CenterLine = p.ButtonsCenter;
  bar->MenuLine = bar->BarRect.Top;
  bar->ArrangeItems();
}

bool ProviderTitleBarCaptionSpan(TsSkinProvider& p, TRect& r) {
  TsTitleBar* bar = p.TitleBar();
  if (bar == nullptr) return false;
  r.Left = bar->BarRect.Left + bar->AlignWidths[tbaLeft] + 8;
  r.Right = bar->BarRect.Right - bar->AlignWidths[tbaRight] - 8;
  return true;
}

bool ProviderTitleBarShowsCaption(const TsSkinProvider& p, bool addedTitleShows) {
  return p.TitleBar() ? p.TitleBar()->ShowCaption : addedTitleShows;
}

// ---------------------------------------------------------------------------------------------------------
// Painting.

int32_t TitleItemPaintState(TsSkinProvider& p, const TacTitleBarItem& item) {
  const int32_t own = item.Bar().ItemState(item);
  if (own == 2) return 2;
  const int index = item.Index();
  if (TitleButtonPressed() && p.CurrentHTCode == kHtTitleItem + index) return 2;
  return own;
}

TColor TitleItemImageTint(TsSkinProvider& p, const TacTitleBarItem& item, int32_t section, int32_t state) {
  TsSkinManager* m = Manager(p);
  if (!IsAlphaList(item.Bar().Images()) || m == nullptr || !SkinManagerIsValidSectionIndex(*m, section)) return clNone;
  return SectionStateBlock(m->Skin().Sections[size_t(section)], state).FontColor;
}

namespace {

// The image, glyph, caption and arrow of an item into r.
void PaintContent(TsSkinProvider& p, TacTitleBarItem& item, const TRect& r, Bitmap& target, int32_t state,
                  int32_t section) {
  TsTitleBar& bar = item.Bar();
  TsSkinManager* m = Manager(p);
  const SkinSectionRecord* s =
      (m && SkinManagerIsValidSectionIndex(*m, section)) ? &m->Skin().Sections[size_t(section)] : nullptr;
  const int32_t shift = (state == 2 && !item.Down() && item.Style() != bsTab) ? 1 : 0;
  const TSize content = item.ContentSize;
  int32_t x = r.Left + (r.Width() - content.cx) / 2 + shift;
  const int32_t midY = (r.Top + r.Bottom) / 2 + shift;
  // The image: the list's (by state) or the glyph's.
  int32_t imageWidth = 0;
  gui::TCustomImageList* images = bar.Images();
  int32_t index = item.ImageIndex();
  if (!item.Enabled() && item.ImageIndexOf(0) >= 0) index = item.ImageIndexOf(0);
  else if (state == 2 && item.ImageIndexOf(3) >= 0) index = item.ImageIndexOf(3);
  else if (state == 1 && item.ImageIndexOf(2) >= 0) index = item.ImageIndexOf(2);
  if (images && index >= 0 && index < images->Count() && IsAlphaList(images)) {
    // An alpha image list draws with the section's glyph blend colour.
    DrawAlphaListImage(*images, target, x, midY - images->Height() / 2, index, 1, 0,
                       TitleItemImageTint(p, item, section, state), false);
    imageWidth = images->Width();
  } else if (images && index >= 0 && index < images->Count()) {
    gui::TBitmap picture;
    if (images->GetImage32(index, picture)) {
      Bitmap g(picture.Width(), picture.Height(), pf32bit);
      for (int y = 0; y < picture.Height(); ++y) std::memcpy(g.ScanLine(y), picture.ScanLine(y), size_t(g.Width()) * 4);
      AlphaBlendBitmap32(TPoint{x, midY - g.Height() / 2}, TRect{0, 0, g.Width(), g.Height()}, g, false, 0, clNone,
                         false, EmptyCacheInfo, target);
      imageWidth = g.Width();
    }
  } else if (!item.Glyph().Empty()) {
    const int32_t w = item.Glyph().Width() / std::max(1, item.NumGlyphs());
    DrawGlyphCentred(target, item.Glyph(), TRect{x, midY - item.Glyph().Height() / 2, x + w,
                                                  midY - item.Glyph().Height() / 2 + item.Glyph().Height()},
                     false);
    imageWidth = w;
  }
  if (imageWidth > 0) x += imageWidth + (item.Caption().empty() ? 0 : item.Spacing());
  // The caption in the section's colour for the state (or the font's own).
  const gui::TFont& font = item.FontData().WorkFont();
  TColor colour = font.Color();
  if (item.FontData().UseSysColor()) {
    // The item's section's colour; an item without one (a spacer or information field) writes in the caption's.
    const int32_t title = ProviderTitleSectionIndex(p);
    if (s)
      colour = SectionStateBlock(*s, state).FontColor;
    else if (m && SkinManagerIsValidSectionIndex(*m, title))
      colour = SectionStateBlock(m->Skin().Sections[size_t(title)], p.FormActive ? 1 : 0).FontColor;
  }
  colour = ColorToRGB(colour);
  const uint32_t flags = dtSingleLine | dtVCenter | dtNoPrefix;
  int32_t right = x;
  if (!item.Caption().empty()) {
    const TSize text = TextSize(font, item.Caption());
    const TRect tr{x, midY - text.cy / 2, std::min(r.Right, x + text.cx), midY - text.cy / 2 + text.cy};
    if (item.FontData().GlowSize > 0)
      DrawTextWithEffects(target, font, item.Caption(), tr, ColorToRGB(item.FontData().GlowColor),
                          item.FontData().GlowSize, 0, flags, r);
    DrawTextMasked(target, font, item.Caption(), colour, flags, tr);
    right = tr.Right;
  }
  if ((item.Style() == bsButton || item.Style() == bsMenu) && item.DropdownMenu()) {
    const int32_t ax = right + (item.Style() == bsMenu ? 4 : 1);
    DrawDropdownArrow(target, font, ax, midY, colour);
  }
}

}  // namespace

void TitleItemPaint(TacTitleBarItem& item, const TRect& rect, Bitmap& target) {
  TsSkinProvider* p = ProviderOfItem(item);
  TsSkinManager* m = p ? Manager(*p) : nullptr;
  if (p == nullptr || m == nullptr || !item.SkinRecord || rect.Width() <= 0 || rect.Height() <= 0) return;
  if (item.SkinRecord->SectionIndex >= int32_t(m->Skin().Sections.size())) return;
  int32_t section = item.SkinRecord->SectionIndex;
  if (section < 0 && !item.SkinSection().empty()) section = item.SkinRecord->SectionIndex = TitleItemSection(*p, item.Index());
  const SkinSectionRecord* s =
      SkinManagerIsValidSectionIndex(*m, section) ? &m->Skin().Sections[size_t(section)] : nullptr;
  const bool enabled = item.Enabled() && p->Form() && FormWindowEnabled(*p->Form());
  // A disabled item is laid over what lies under it at 40 percent.
  std::unique_ptr<Bitmap> under;
  if (!enabled) {
    under = std::make_unique<Bitmap>(rect.Width(), rect.Height(), pf32bit);
    Copy(*under, 0, 0, rect.Width(), rect.Height(), target, rect.Left, rect.Top);
  }
  int32_t state = s ? std::min(TitleItemPaintState(*p, item), SectionStateCount(*s) - 1) : 0;
  TRect r = rect;
  switch (item.Style()) {
    case bsButton:
    case bsInfo:
      if (s) PaintSkinItem(section, CacheInfoFromBitmap(&target, 0, 0), state, r, TPoint{}, target, m);
      break;
    case bsMenu:
      if (s) {
        PaintSkinItem(section, CacheInfoFromBitmap(&target, 0, 0), state, r, TPoint{}, target, m);
      } else if (!item.Bar().MenuGlyph.Empty()) {
        const Bitmap& g = item.Bar().MenuGlyph;
        const int32_t w = g.Width() / 3;
        const int32_t column = std::clamp(TitleItemPaintState(*p, item), 0, 2);
        Bitmap piece(std::max(0, r.Width() - 2), r.Height(), pf32bit);
        StretchNinePart(piece, g, TRect{0, 0, piece.Width(), piece.Height()}, TRect{2, 2, 2, 2},
                        TRect{column * w, 0, column * w + w, g.Height()});
        AlphaBlendBitmap32(TPoint{r.Left + 1, r.Top}, TRect{0, 0, piece.Width(), piece.Height()}, piece, false, 0,
                           clNone, false, EmptyCacheInfo, target);
      }
      break;
    case bsTab:
      if (!item.Down()) r = TRect{r.Left, r.Top + 1, r.Right, r.Bottom};
      if (s) PaintSkinItem(section, CacheInfoFromBitmap(&target, 0, 0), state, r, TPoint{}, target, m);
      break;
    case bsSpacing: break;
  }
  if (item.Style() != bsSpacing) PaintContent(*p, item, r, target, s ? state : TitleItemPaintState(*p, item), section);
  if (under) BlendBitmapsConst(target, *under, 154, TRect{0, 0, rect.Width(), rect.Height()}, TPoint{rect.Left, rect.Top});
}

void ProviderPaintTitleItems(TsSkinProvider& p) {
  TsTitleBar* bar = p.TitleBar();
  Bitmap* cache = p.SkinData().CacheBmp.get();
  if (bar == nullptr || cache == nullptr) return;
  // The band without items, for the single repaints and the fades' pictures.
  const TRect band{0, 0, cache->Width(), std::min(cache->Height(), p.CaptionBottom + 1)};
  bar->CleanBand.SetSize(band.Width(), band.Height());
  Copy(bar->CleanBand, 0, 0, band.Width(), band.Height(), *cache, 0, 0);
  bar->BandOrigin = TPoint{0, 0};
  for (const bool tabs : {false, true})
    for (int i = 0; i < bar->Items().Count(); ++i) {
      TacTitleBarItem& item = *bar->Items().Items(i);
      if (!item.Visible() || (item.Style() == bsTab) != tabs || item.Width() <= 0 || item.Rect.Left >= cache->Width())
        continue;
      if (item.Paint) item.Paint(item, item.Rect, *cache);
    }
}

void ProviderPaintTitleItemNow(TsSkinProvider& p, int index) {
  TsTitleBar* bar = p.TitleBar();
  Bitmap* cache = p.SkinData().CacheBmp.get();
  if (bar == nullptr || cache == nullptr || index < 0 || index >= bar->Items().Count()) return;
  TacTitleBarItem& item = *bar->Items().Items(index);
  if (!item.Visible() || item.Rect.Width() <= 0) return;
  const TRect& r = item.Rect;
  if (!bar->CleanBand.Empty())
    Copy(*cache, r.Left, r.Top, r.Width(), r.Height(), bar->CleanBand, r.Left - bar->BandOrigin.X,
         r.Top - bar->BandOrigin.Y);
  if (item.Paint) item.Paint(item, r, *cache);
  ProviderCopyCacheRectToWindow(p, r);
}

void ProviderPaintTitleItem(TsSkinProvider& p, int32_t code) {
  TacTitleBarItem* item = ItemOfCode(p, code);
  if (item == nullptr || !item->Visible() || !p.SkinData().CacheBmp) return;
  const int index = code - kHtTitleItem;
  const int32_t state = TitleItemPaintState(p, *item);
  if (state == 0) {
    // The frame shows the normal look at once; the fade lets the old one go over it.
    ProviderPaintTitleItemNow(p, index);
    if (item->Animation) ItemAnimationStart(*item, 0, 10, false);
    return;
  }
  // Hot and pressed fade in; the frame takes the new look once the fade is complete.
  ItemAnimationStart(*item, state, state == 2 ? 1 : 10, true);
  if (item->Animation) {
    TsSkinProvider* provider = &p;
    const auto token = p.AliveToken();
    item->Animation->OnGrown = [provider, token, index] {
      if (!token.expired()) ProviderPaintTitleItemNow(*provider, index);
    };
    if (item->Animation->StepCount == -1) ProviderPaintTitleItemNow(p, index);
  } else {
    ProviderPaintTitleItemNow(p, index);
  }
}

// ---------------------------------------------------------------------------------------------------------
// Hit test.

int32_t ProviderTitleItemPosition(TsSkinProvider& p, const TPoint& pt, int32_t position) {
  TsTitleBar* bar = p.TitleBar();
  if (bar == nullptr) return 0;
  for (int i = 0; i < bar->Items().Count(); ++i) {
    const TacTitleBarItem& item = *bar->Items().Items(i);
    if (!item.Visible()) continue;
    ++position;
    if (item.Rect.Contains(pt)) return ButtonKind(item) ? position : 0;
  }
  return 0;
}

int32_t ProviderTitleItemCodeAt(TsSkinProvider& p, int32_t n) {
  TsTitleBar* bar = p.TitleBar();
  if (bar == nullptr) return kHtClient;
  for (int i = 0; i < bar->Items().Count(); ++i) {
    const TacTitleBarItem& item = *bar->Items().Items(i);
    if (!item.Visible() || --n > 0) continue;
    // A tab that is down ignores clicks: the caption answers there.
    if (item.Style() == bsTab && item.Down()) return kHtClient;
    return kHtTitleItem + i;
  }
  return kHtClient;
}

int32_t ProviderTitleItemHitCode(TsSkinProvider& p, const TPoint& pt) {
  const int32_t n = ProviderTitleItemPosition(p, pt, 0);
  if (n == 0) return 0;
  const int32_t code = ProviderTitleItemCodeAt(p, n);
  return code == kHtClient ? 0 : code;
}

// ---------------------------------------------------------------------------------------------------------
// Hot, pressed, released.

void ProviderTitleHotChange(TsSkinProvider& p, int32_t previous, int32_t code, bool repaint) {
  if (previous > 0 && (IsItemCode(previous) || IsUserButtonCode(previous))) ProviderHideTitleHint(p);
  if (TacTitleBarItem* item = ItemOfCode(p, previous)) {
    item->Hot = false;
    p.TitleBar()->MouseLeave(previous - kHtTitleItem);
  }
  if (TitleButtonPressed() || code <= 0) return;
  if (TacTitleBarItem* item = ItemOfCode(p, code)) {
    item->Hot = true;
    p.TitleBar()->MouseEnter(code - kHtTitleItem);
    if (repaint) {
      // CurrentHTCode is set after this: the new item paints as hot, not as pressed.
      ProviderPaintTitleItem(p, code);
    }
    if (item->ShowHint && !item->Hint.empty()) ProviderStartTitleHint(p, code);
  } else if (IsUserButtonCode(code) && code - kHtUserButton < p.TitleButtons().Count()) {
    if (!p.TitleButtons().Items(code - kHtUserButton)->Hint.empty()) ProviderStartTitleHint(p, code);
  }
}

bool ProviderTitleItemDown(TsSkinProvider& p, int32_t code, gui::TMessage& m) {
  TacTitleBarItem* item = ItemOfCode(p, code);
  if (item == nullptr) return false;
  ProviderHideTitleHint(p);
  const int index = code - kHtTitleItem;
  const auto token = p.AliveToken();
  const auto life = item->LifeToken();
  TsTitleBar* bar = p.TitleBar();
  if (item->Style() != bsTab) ProviderPressElement(p, code);
  const int16_t x = int16_t(m.LParam & 0xFFFF), y = int16_t((m.LParam >> 16) & 0xFFFF);
  bar->MouseDown(index, gui::TMouseButton::mbLeft, 0, x, y);
  if (token.expired() || p.TitleBar() != bar) return true;
  if (life.expired() || item->Style() == bsTab || !item->Pressed) {
    // A tab acted on the press; a menu was dropped and closed: nothing waits for the release.
    TitleButtonPressed() = false;
    p.CurrentHTCode = 0;
    if (!life.expired()) item->Hot = false;
    p.SkinData().BGChanged = true;
    ProviderRepaintFrame(p);
  }
  return true;
}

bool ProviderTitleItemUp(TsSkinProvider& p, int32_t code, gui::TMessage& m) {
  if (!IsItemCode(code) && !IsItemCode(p.CurrentHTCode)) return false;
  const int32_t held = IsItemCode(p.CurrentHTCode) ? p.CurrentHTCode : code;
  TacTitleBarItem* item = ItemOfCode(p, held);
  if (item == nullptr) return false;
  const int index = held - kHtTitleItem;
  TsTitleBar* bar = p.TitleBar();
  const auto token = p.AliveToken();
  const auto life = item->LifeToken();
  const bool pressed = item->Pressed && TitleButtonPressed();
  if (!pressed) {
    if (item->Pressed) item->Pressed = false;
    return IsItemCode(code);
  }
  // Released over the same item: its click; elsewhere only the press goes.
  const TPoint c = CursorScreenPos();
  const int32_t now = (code == held && p.BorderForm == nullptr) ? ProviderHitTest(p, c) : code;
  const int16_t x = int16_t(m.LParam & 0xFFFF), y = int16_t((m.LParam >> 16) & 0xFFFF);
  TitleButtonPressed() = false;
  if (now == held && item->Enabled()) {
    bar->MouseUp(index, gui::TMouseButton::mbLeft, 0, x, y);
  } else {
    item->Pressed = false;
    if (item->OnMouseUp) item->OnMouseUp(bar->Form(), gui::TMouseButton::mbLeft, 0, x, y);
  }
  if (token.expired() || p.TitleBar() != bar) return true;
  if (life.expired()) {
    // The item's own handler freed it: the code held may name another item now.
    p.CurrentHTCode = 0;
    return true;
  }
  item->Hot = now == held;
  p.CurrentHTCode = now == held ? held : 0;
  ProviderPaintTitleItem(p, held);
  return true;
}

void ProviderStopTitleItemTimers(TsSkinProvider& p) {
  if (p.TitleHintState) {
    p.TitleHintState->Timer.reset();
    p.TitleHintState->Window.reset();
    p.TitleHintState->Code = 0;
  }
  if (p.IsDestroying() || !p.Form() || p.Form()->IsDestroying()) return;
  if (TsTitleBar* bar = p.TitleBar())
    for (int i = 0; i < bar->Items().Count(); ++i) ItemAnimationFree(*bar->Items().Items(i));
}

// ---------------------------------------------------------------------------------------------------------
// Hints.

namespace {
// The hint of the element waiting for it, when the cursor is still over the element (once per hover).
void ShowTitleHintNow(TsSkinProvider& p);
}  // namespace

ProviderTitleHints& TitleHints(TsSkinProvider& p) {
  if (!p.TitleHintState) p.TitleHintState = std::make_shared<ProviderTitleHints>();
  return *p.TitleHintState;
}

void ProviderStartTitleHint(TsSkinProvider& p, int32_t code) {
  if (!p.Form() || !p.Form()->ShowHint()) return;
  ProviderTitleHints& h = TitleHints(p);
  TRect r;
  if (TacTitleBarItem* item = ItemOfCode(p, code)) {
    r = item->Rect;
  } else if (IsUserButtonCode(code) && code - kHtUserButton < p.TitleButtons().Count()) {
    r = p.TitleButtons().Items(code - kHtUserButton)->Data.Rect;
  } else {
    return;
  }
  TPoint origin = ProviderFormOrigin(p);
  if (p.BorderForm) {
    const TPoint o = ProviderCacheOrigin(p);
    origin = TPoint{origin.X - o.X, origin.Y - o.Y};
  }
  h.Code = code;
  h.Shown = false;
  h.ScreenRect = TRect{r.Left + origin.X, r.Top + origin.Y, r.Right + origin.X, r.Bottom + origin.Y};
  const int pause = gui::Application ? gui::Application->HintPause() : 0;
  if (pause < 1) {
    ShowTitleHintNow(p);
    return;
  }
  if (!h.Timer) {
    h.Timer = std::make_unique<gui::TTimer>(nullptr);
    h.Timer->SetEnabled(false);
    TsSkinProvider* provider = &p;
    h.Timer->OnTimer = [provider](gui::TObject*) { ProviderTitleHintTimer(*provider); };
  }
  h.Timer->SetEnabled(false);
  h.Timer->SetInterval(UINT(pause));
  h.Timer->SetEnabled(true);
}

void ProviderTitleHintTimer(TsSkinProvider& p) {
  ProviderTitleHints& h = TitleHints(p);
  if (h.Timer) h.Timer->SetEnabled(false);
  if (p.CurrentHTCode != h.Code) return;
  ShowTitleHintNow(p);
}

namespace {
void ShowTitleHintNow(TsSkinProvider& p) {
  ProviderTitleHints& h = TitleHints(p);
  if (h.Code == 0 || h.Shown) return;
  const TPoint c = CursorScreenPos();
  if (!h.ScreenRect.Contains(c)) return;
  std::string text;
  int32_t dx = 0;
  if (TacTitleBarItem* item = ItemOfCode(p, h.Code)) {
    text = item->Hint;
  } else if (IsUserButtonCode(h.Code) && h.Code - kHtUserButton < p.TitleButtons().Count()) {
    text = p.TitleButtons().Items(h.Code - kHtUserButton)->Hint;
    dx = 8;
  }
  if (text.empty()) return;
  if (!h.Window) h.Window = std::make_unique<gui::THintWindow>();
  const TRect size = h.Window->CalcHintRect(300, text);
  const TRect work = p.Form() ? FormMonitorWorkArea(*p.Form()) : TRect{0, 0, 1 << 15, 1 << 15};
  h.Window->ActivateHint(gui::PlaceHintRect(size, c.X, c.Y, dx, 16, work.Right, work.Bottom), text);
  h.Shown = true;
}
}  // namespace

void ProviderHideTitleHint(TsSkinProvider& p) {
  if (!p.TitleHintState) return;
  ProviderTitleHints& h = *p.TitleHintState;
  if (h.Timer) h.Timer->SetEnabled(false);
  h.Window.reset();
  h.Code = 0;
  h.Shown = false;
}

}  // namespace skin
