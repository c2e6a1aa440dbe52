#include "skin/manager/sskinmenus.h"

#include <algorithm>
#include <cstring>

#include "gui/forms.h"
#include "skin/manager/commondata.h"
#include "skin/manager/skinchange.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/manager/sskinmenus_window.h"
#include "skin/manager/svclutils.h"
#include "skin/painters/borders.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/section_paint.h"
#include "skin/painters/skin_mask.h"
#include "skin/painters/skinned_text.h"
#include "skin/painters/state_images.h"
#include "skin/painters/text_engine.h"
#include "skin/manager/win_values.h"

namespace skin {

namespace {

using MeasureFn = void (*)(gui::TObject*, gui::TCanvas&, int&, int&);
using DrawFn = void (*)(gui::TObject*, gui::TCanvas&, const TRect&, gui::TOwnerDrawState);

bool IsLibraryMeasure(const gui::TMenuMeasureItemEvent& e) {
  const MeasureFn* f = e.target<MeasureFn>();
  return f != nullptr && (*f == &SkinMenuMeasureItem || *f == &SkinMenuLineMeasureItem);
}
bool IsLibraryDraw(const gui::TAdvancedMenuDrawItemEvent& e) {
  const DrawFn* f = e.target<DrawFn>();
  return f != nullptr && (*f == &SkinMenuDrawItem || *f == &SkinMenuLineDrawItem);
}

void ClearLibraryHandlers(gui::TMenuItem& item) {
  if (IsLibraryMeasure(item.OnMeasureItem)) item.OnMeasureItem = nullptr;
  if (IsLibraryDraw(item.OnAdvancedDrawItem)) item.OnAdvancedDrawItem = nullptr;
}

void SetPopupHandlers(gui::TMenuItem& item) {
  if (!item.OnMeasureItem) item.OnMeasureItem = MeasureFn(&SkinMenuMeasureItem);
  if (!item.OnAdvancedDrawItem) item.OnAdvancedDrawItem = DrawFn(&SkinMenuDrawItem);
}

bool IsTopItemOfMainMenu(const gui::TMenuItem& item) {
  const gui::TMenuItem* parent = item.Parent();
  return parent != nullptr && parent->Parent() == nullptr &&
         dynamic_cast<gui::TMainMenu*>(item.GetParentMenu()) != nullptr;
}

const SkinSectionRecord* Section(const TsSkinManager& m, int32_t index) {
  return SkinManagerIsValidSectionIndex(m, index) ? &m.Skin().Sections[size_t(index)] : nullptr;
}

const SkinImageRecord* Image(const TsSkinManager& m, int32_t index) {
  return SkinManagerIsValidImageIndex(m, index) ? &m.Skin().Images[size_t(index)] : nullptr;
}

// Pixels of srcRect of src to (x, y) of dst, clipped to both (32-bit).
void CopyPart(Bitmap& dst, int32_t x, int32_t y, const Bitmap& src, const TRect& srcRect) {
  src.Flush();
  for (int32_t sy = srcRect.Top; sy < srcRect.Bottom; ++sy) {
    const int32_t dy = y + sy - srcRect.Top;
    if (sy < 0 || sy >= src.Height() || dy < 0 || dy >= dst.Height()) continue;
    const auto* s = reinterpret_cast<const uint32_t*>(src.ScanLine(sy));
    auto* d = reinterpret_cast<uint32_t*>(dst.ScanLine(dy));
    for (int32_t sx = srcRect.Left; sx < srcRect.Right; ++sx) {
      const int32_t dx = x + sx - srcRect.Left;
      if (sx >= 0 && sx < src.Width() && dx >= 0 && dx < dst.Width()) d[dx] = s[sx];
    }
  }
}

// A picture of the component layer as a 32-bit bitmap of the library; AlphaChannel tells whether any pixel has
// an alpha of its own.
std::unique_ptr<Bitmap> FromGuiBitmap(const gui::TBitmap& g, bool& AlphaChannel) {
  AlphaChannel = false;
  if (g.Empty()) return nullptr;
  auto b = std::make_unique<Bitmap>(g.Width(), g.Height(), pf32bit);
  const int bpp = g.BytesPerPixel();
  for (int y = 0; y < g.Height(); ++y) {
    const uint8_t* s = g.ScanLine(y);
    auto* d = reinterpret_cast<uint32_t*>(b->ScanLine(y));
    for (int x = 0; x < g.Width(); ++x) {
      const uint8_t* p = s + x * bpp;
      const uint32_t a = bpp == 4 ? p[3] : 255;
      if (bpp == 4 && a != 0) AlphaChannel = true;
      d[x] = MakePixel(p[0], p[1], p[2], a);
    }
  }
  if (bpp == 4 && !AlphaChannel)  // a 32-bit picture without alpha counts as opaque
    for (int y = 0; y < g.Height(); ++y) {
      auto* d = reinterpret_cast<uint32_t*>(b->ScanLine(y));
      for (int x = 0; x < g.Width(); ++x) d[x] |= 0xFF000000u;
    }
  return b;
}

// A glyph drawn at P: with its alpha when it has one, else with its bottom-left colour transparent.
void DrawGlyph(Bitmap& dst, const TPoint& P, const gui::TBitmap& glyph) {
  bool alpha = false;
  std::unique_ptr<Bitmap> g = FromGuiBitmap(glyph, alpha);
  if (!g) return;
  if (alpha) {
    BlendPixelsWithAlpha(P, TPoint{0, 0}, dst, false, EmptyCacheInfo, *g);
    return;
  }
  const uint32_t key = reinterpret_cast<const uint32_t*>(g->ScanLine(g->Height() - 1))[0];
  const TColor keyColour = RGBColor(uint8_t(PixelR(key)), uint8_t(PixelG(key)), uint8_t(PixelB(key)));
  CopyExceptColor(dst, *g, P.X, P.Y, keyColour);
}

// Text in a colour into R of bmp.
void WriteColouredText(Bitmap& bmp, const gui::TFont& font, std::string_view text, const TRect& R, TColor colour,
                       uint32_t flags) {
  gui::TFont f;
  f.Assign(font);
  f.SetColor(colour);
  WriteTextSectionEx(bmp, f, text, true, nullptr, R, 0, -1, flags);
}

TColor SectionFontColour(const TsSkinManager& m, int32_t section, int32_t state, TColor fallback) {
  const SkinSectionRecord* s = Section(m, section);
  return s ? SectionStateBlock(*s, state).FontColor : fallback;
}

std::string StripDashes(const std::string& caption) {
  size_t b = 0, e = caption.size();
  while (b < e && caption[b] == '-') ++b;
  while (e > b && caption[e - 1] == '-') --e;
  return caption.substr(b, e - b);
}

// The extra line's caption, read from bottom to top, centred in the strip, its start at startY.
void DrawRotatedCaption(Bitmap& bmp, const TacFontSpec& spec, const std::string& caption, const TRect& strip,
                        int32_t startY, TColor colour) {
  if (caption.empty()) return;
  gui::TFont font;
  font.SetName(spec.Name);
  font.SetHeight(spec.Height);
  font.SetStyle(gui::TFontStyles((spec.Bold ? gui::fsBold : 0) | (spec.Italic ? gui::fsItalic : 0) |
                                 (spec.Underline ? gui::fsUnderline : 0) | (spec.StrikeOut ? gui::fsStrikeOut : 0)));
  font.SetCharset(spec.Charset);
  TextEngine& engine = CurrentTextEngine();
  const TSize extent = engine.Extent(font, caption);
  if (extent.cx <= 0 || extent.cy <= 0) return;
  Bitmap flat(extent.cx, extent.cy, pf32bit);
  FillRectBitmap32(flat, TRect{0, 0, extent.cx, extent.cy}, 0xFFFFFF, 0);
  engine.DrawMask(font, caption, flat, TRect{0, 0, extent.cx, extent.cy}, dtSingleLine | dtNoPrefix);
  // Turned a quarter anticlockwise: the text's start at the bottom.
  Bitmap turned(extent.cy, extent.cx, pf32bit);
  for (int32_t y = 0; y < extent.cy; ++y) {
    const auto* s = reinterpret_cast<const uint32_t*>(flat.ScanLine(y));
    for (int32_t x = 0; x < extent.cx; ++x)
      reinterpret_cast<uint32_t*>(turned.ScanLine(extent.cx - 1 - x))[y] = s[x];
  }
  const int32_t left = strip.Left + (strip.Width() - extent.cy) / 2;
  MixTextMask(bmp, turned, TRect{left, startY - extent.cx, left + extent.cy, startY}, colour);
}

}  // namespace

// ---- Kinds and globals.

bool IsMenuCaptionItem(const std::string& Caption) {
  return Caption != "-" && Caption.size() >= 2 && Caption.front() == '-' && Caption.back() == '-';
}

TsItemKind MenuItemKind(const std::string& Caption) {
  if (Caption == "-") return ikDivider;
  return IsMenuCaptionItem(Caption) ? ikCaption : ikNormal;
}

gui::TControl*& OpenDropDownButton() {
  static gui::TControl* button = nullptr;
  return button;
}
uint8_t& MenuItemsPainting() {
  static uint8_t flag = 0;
  return flag;
}

bool& HintSuppressed() {
  static bool suppressed = false;
  return suppressed;
}
bool& SavedShowHint() {
  static bool saved = true;
  return saved;
}

// ---- The menus object.

TsSkinableMenus::TsSkinableMenus(TsSkinManager& Owner) : owner_(Owner) {}
TsSkinableMenus::~TsSkinableMenus() = default;

int32_t TsSkinableMenus::SkinBorderWidth() {
  if (skinBorderWidth_ >= 0) return skinBorderWidth_;
  const int32_t section = SkinManagerGetSectionIndex(owner_, "MAINMENU");
  const SkinImageRecord* mask = Image(owner_, section >= 0 ? SkinManagerGetImageIndex(owner_, section, "BORDERSMASK") : -1);
  if (mask == nullptr)
    skinBorderWidth_ = 0;
  else
    skinBorderWidth_ = mask->BorderTop < 1 ? 3 : mask->BorderTop;
  return skinBorderWidth_;
}

TacMenuBgRecord* TsSkinableMenus::FindRecord(uint32_t FirstItem, HWND Wnd) {
  for (TacMenuBgRecord& r : cache_)
    if ((FirstItem != 0 && r.FirstItem == FirstItem) || (FirstItem == 0 && Wnd != nullptr && r.Wnd == Wnd)) return &r;
  return nullptr;
}

TacExtraLineData TsSkinableMenus::AskExtraLine(gui::TMenuItem* FirstItem) {
  TacExtraLineData data;
  if (askingExtraLine_ || FirstItem == nullptr) return data;
  if (FirstItem->Name() == "SkinSelectItem" || (owner_.State() & csDesigning)) return data;
  askingExtraLine_ = true;
  data.Caption = "Use OnGetExtraLineData event";
  data.Visible = true;
  if (TsSkinManagerComponent* c = ManagerComponent(&owner_); c && c->OnGetMenuExtraLineData) {
    gui::TBitmap* glyph = nullptr;
    try {
      c->OnGetMenuExtraLineData(FirstItem, data.SkinSection, data.Caption, glyph, data.Visible);
    } catch (...) {
      askingExtraLine_ = false;
      delete glyph;
      throw;
    }
    data.Glyph.reset(glyph);  // the library owns what the handler gave
  }
  askingExtraLine_ = false;
  data.Caption.erase(std::remove(data.Caption.begin(), data.Caption.end(), '&'), data.Caption.end());
  if (!data.Visible) data.Glyph.reset();
  return data;
}

TsSkinableMenus* SkinableMenusOf(TsSkinManager* Manager) {
  TsSkinManagerComponent* c = ManagerComponent(Manager);
  return c ? c->SkinableMenus.get() : nullptr;
}

// ---- Installation.

void InstallTopItemHandlers(TsSkinableMenus& Menus, gui::TMenuItem& Item, bool Install) {
  if (IsTopItemOfMainMenu(Item)) {
    if (Install) {
      Item.OnMeasureItem = MeasureFn(&SkinMenuLineMeasureItem);
      Item.OnAdvancedDrawItem = DrawFn(&SkinMenuLineDrawItem);
    } else {
      ClearLibraryHandlers(Item);
    }
    return;
  }
  if (Install) {
    if (Menus.Owner().SkinnedPopups) SetPopupHandlers(Item);
  } else {
    ClearLibraryHandlers(Item);
  }
}

void InstallSubItemHandlers(TsSkinableMenus& Menus, gui::TMenuItem& Item, bool Install) {
  for (int i = 0; i < Item.Count(); ++i) {
    gui::TMenuItem& sub = *Item.Items(i);
    if (!IsTopItemOfMainMenu(sub)) InstallTopItemHandlers(Menus, sub, Install);
    InstallSubItemHandlers(Menus, sub, Install);
  }
}

void InstallMainMenuHandlers(TsSkinableMenus& Menus, gui::TMainMenu& Menu, bool Install) {
  TsSkinManager& m = Menus.Owner();
  gui::TMenuItem& root = *Menu.Items();
  for (int i = 0; i < root.Count(); ++i) {
    gui::TMenuItem& top = *root.Items(i);
    if (!Install) {
      ClearLibraryHandlers(top);
    } else if (m.Active() && m.SkinnedPopups) {
      top.OnMeasureItem = MeasureFn(&SkinMenuLineMeasureItem);
      top.OnAdvancedDrawItem = DrawFn(&SkinMenuLineDrawItem);
    }
  }
  if (!Menu.IsDestroying() && root.Count() > 0) {
    Menu.SetOwnerDraw(Install);
    Menu.Rebuild();
  }
}

void InstallPopupMenuHandlers(TsSkinableMenus& Menus, gui::TPopupMenu& Menu, bool Install) {
  std::function<void(gui::TMenuItem&)> walk = [&](gui::TMenuItem& parent) {
    for (int i = 0; i < parent.Count(); ++i) {
      gui::TMenuItem& item = *parent.Items(i);
      if (Install)
        SetPopupHandlers(item);
      else
        ClearLibraryHandlers(item);
      walk(item);
    }
  };
  walk(*Menu.Items());
  Menu.SetOwnerDraw(Install && Menus.Owner().SkinnedPopups);
  if (!Menu.IsDestroying()) Menu.Rebuild();
}

namespace {

void WalkComponent(TsSkinableMenus& menus, gui::TComponent& c, bool install) {
  if (auto* main = dynamic_cast<gui::TMainMenu*>(&c)) {
    InstallMainMenuHandlers(menus, *main, install);
    gui::TMenuItem& root = *main->Items();
    for (int i = 0; i < root.Count(); ++i) InstallSubItemHandlers(menus, *root.Items(i), install);
  } else if (auto* popup = dynamic_cast<gui::TPopupMenu*>(&c)) {
    InstallPopupMenuHandlers(menus, *popup, install);
  } else if (auto* item = dynamic_cast<gui::TMenuItem*>(&c)) {
    if (dynamic_cast<gui::TMainMenu*>(item->GetParentMenu()) == nullptr) InstallSubItemHandlers(menus, *item, install);
  }
  for (int i = 0; i < c.ComponentCount(); ++i) WalkComponent(menus, *c.Components(i), install);
}

}  // namespace

void SkinableMenusSetHooks(TsSkinableMenus& Menus, bool Install) {
  Menus.HooksState = Install ? 1 : 0;
  if (Menus.Owner().State() & csDesigning) return;
  gui::TApplication& app = *gui::Application;
  for (int i = 0; i < app.ComponentCount(); ++i) WalkComponent(Menus, *app.Components(i), Install);
}

void SkinableMenusUpdate(TsSkinableMenus& Menus) {
  TsSkinManager& m = Menus.Owner();
  const uint8_t state = (m.Active() && m.SkinData().Active) ? 1 : 0;
  if (state == Menus.HooksState) return;
  SkinableMenusSetHooks(Menus, state == 1 && m.SkinnedPopups);
  Menus.HooksState = state;
}

// ---- Measuring.

TSize MenuGlyphSize(const gui::TMenuItem& Item) {
  if (!Item.Bitmap().Empty()) return TSize{Item.Bitmap().Width(), Item.Bitmap().Height()};
  return TSize{16, 16};
}

void MenuItemFont(TsSkinableMenus& Menus, const gui::TMenuItem& Item, gui::TFont& Font) {
  if (Menus.MenuFontOverride != nullptr)
    Font.Assign(*Menus.MenuFontOverride);
  else
    detail::ScreenMenuFont(Font);
  if (Item.Default()) Font.SetStyle(gui::TFontStyles(Font.Style() | gui::fsBold));
}

TSize MeasureMenuItem(TsSkinableMenus& Menus, const gui::TMenuItem& Item, bool ExtraLine) {
  gui::TFont font;
  MenuItemFont(Menus, Item, font);
  const TsItemKind kind = MenuItemKind(Item.Caption());
  std::string text;
  if (kind == ikCaption) {
    text = "-";
    text += Item.Caption();
    text += '-';
  } else if (kind == ikNormal) {
    text = Item.Caption();
    if (Item.ShortCut() != 0) {
      text += '\t';
      text += gui::ShortCutToText(Item.ShortCut());
    }
  }
  const TSize glyph = MenuGlyphSize(Item);
  TextEngine& engine = CurrentTextEngine();
  int32_t width = 2 * glyph.cx + 3 * Menus.Margin + Menus.Spacing;
  int32_t textHeight = 0;
  if (!text.empty() && kind != ikDivider) {
    width += engine.Extent(font, StripPrefixes(text, false)).cx;
    textHeight = engine.CalcRect(font, text, TRect{0, 0, 800, 0}, dtWordBreak | dtCalcRect).Height();
  }
  if (ExtraLine && Menus.Owner().MenuSupport.UseExtraLine) width += Menus.Owner().MenuSupport.ExtraLineWidth;
  int32_t height = 0;
  switch (kind) {
    case ikDivider: height = 2; break;
    case ikCaption: height = textHeight + 2 * (Menus.Margin + 1) + 1; break;
    case ikNormal: height = std::max(textHeight, glyph.cy) + 2 * (Menus.Margin + 1); break;
  }
  return TSize{width, height};
}

gui::TMenuItem* FirstVisibleItem(const gui::TMenuItem& Parent) {
  for (int i = 0; i < Parent.Count(); ++i)
    if (Parent.Items(i)->Visible()) return Parent.Items(i);
  return nullptr;
}

bool InFirstColumn(const gui::TMenuItem& Item) {
  const gui::TMenuItem* parent = Item.Parent();
  if (parent == nullptr) return true;
  for (int i = 0; i < parent->Count(); ++i) {
    const gui::TMenuItem* it = parent->Items(i);
    if (!it->Visible()) continue;
    if (it != FirstVisibleItem(*parent) && it->Break() != gui::TMenuBreak::mbNone) return false;
    if (it == &Item) return true;
  }
  return true;
}

TSize PopupMenuSize(TsSkinableMenus& Menus, const gui::TMenuItem& Parent, bool ExtraLine) {
  int32_t width = 0, height = 0, columnWidth = 0, columnHeight = 0, breaks = 0;
  bool first = true, firstColumn = true;
  for (int i = 0; i < Parent.Count(); ++i) {
    const gui::TMenuItem& item = *Parent.Items(i);
    if (!item.Visible()) continue;
    if (!first && item.Break() != gui::TMenuBreak::mbNone) {
      width += columnWidth + 12;
      height = std::max(height, columnHeight);
      columnWidth = columnHeight = 0;
      ++breaks;
      firstColumn = false;
    }
    first = false;
    const TSize s = MeasureMenuItem(Menus, item, ExtraLine && firstColumn);
    columnWidth = std::max(columnWidth, s.cx);
    columnHeight += s.cy;
  }
  width += columnWidth + 12 + 4 * breaks + 2 * Menus.BorderWidth;
  height = std::max(height, columnHeight) + 2 * Menus.BorderWidth;
  return TSize{width, height};
}

// ---- Painting.

std::unique_ptr<Bitmap> BuildPopupBackground(TsSkinableMenus& Menus, const TSize& Size, const TacExtraLineData& Extra,
                                             int32_t GlyphWidth, std::vector<TRect>& CutOuts) {
  CutOuts.clear();
  if (Size.cx <= 0 || Size.cy <= 0) return nullptr;
  TsSkinManager& m = Menus.Owner();
  auto bmp = std::make_unique<Bitmap>(Size.cx, Size.cy, pf32bit);
  const TRect whole{0, 0, Size.cx, Size.cy};
  const int32_t mainMenu = SkinManagerGetSectionIndex(m, "MAINMENU");
  if (mainMenu >= 0)
    PaintSectionCore(mainMenu, EmptyCacheInfo, 0, whole, TPoint{0, 0}, *bmp, &m, -1, -1, KeyColor);
  else
    FillRectBitmap32(*bmp, whole, ColorToRGB(clMenu), 255);
  const CacheInfo self = CacheInfoFromBitmap(bmp.get(), 0, 0);
  const int32_t border = Menus.SkinBorderWidth();
  const bool extra = Extra.Visible && m.MenuSupport.UseExtraLine;
  const int32_t extraWidth = extra ? m.MenuSupport.ExtraLineWidth : 0;
  Menus.GlyphColumnWidth = GlyphWidth + 2 * Menus.Margin + Menus.Spacing / 2;
  Menus.TextOffset = Menus.Margin + GlyphWidth + Menus.Spacing;
  // The glyph column.
  const int32_t icoLine = SkinManagerGetSectionIndex(m, m.MenuSupport.IcoLineSkin);
  if (icoLine >= 0) {
    const TRect strip{border + extraWidth, border, border + extraWidth + Menus.GlyphColumnWidth, Size.cy - border};
    if (strip.Width() > 0 && strip.Height() > 0) PaintSkinItem(icoLine, self, 0, strip, TPoint{0, 0}, *bmp, &m);
  }
  // The frame.
  const SkinImageRecord* frame = Image(m, mainMenu >= 0 ? SkinManagerGetImageIndex(m, mainMenu, "BORDERSMASK") : -1);
  if (frame != nullptr) DrawSkinMask(*bmp, whole, EmptyCacheInfo, *frame, 0, false);
  // The extra line.
  if (extra) {
    const TRect strip{border, border, border + extraWidth, Size.cy - border};
    const int32_t section = SkinManagerGetSectionIndex(m, Extra.SkinSection);
    if (section >= 0 && strip.Height() > 0) PaintSkinItem(section, self, 0, strip, TPoint{0, 0}, *bmp, &m);
    int32_t start = strip.Bottom - 12;
    if (Extra.Glyph && !Extra.Glyph->Empty()) {
      const TPoint at{strip.Left + (strip.Width() - Extra.Glyph->Width()) / 2, strip.Bottom - 12 - Extra.Glyph->Height()};
      DrawGlyph(*bmp, at, *Extra.Glyph);
      start = at.Y - 20;
    }
    DrawRotatedCaption(*bmp, m.MenuSupport.ExtraLineFont, Extra.Caption, strip, start,
                       SectionFontColour(m, section, 0, ColorToRGB(clWindowText)));
  }
  if (frame != nullptr) {
    MaskCornerRects(CutOuts, Size.cx, *frame, 0, false);
    MaskCornerRects(CutOuts, Size.cx, *frame, Size.cy - std::max<int32_t>(frame->BorderBottom, 0), true);
  }
  return bmp;
}

void PaintPopupItem(TsSkinableMenus& Menus, gui::TMenuItem& Item, Bitmap& Bmp, const Bitmap* Bg, const TPoint& BgOrigin,
                    gui::TOwnerDrawState State, int32_t GlyphWidth) {
  TsSkinManager& m = Menus.Owner();
  const int32_t w = Bmp.Width(), h = Bmp.Height();
  if (w <= 0 || h <= 0) return;
  const TRect whole{0, 0, w, h};
  if (Bg != nullptr)
    CopyPart(Bmp, 0, 0, *Bg, TRect{BgOrigin.X, BgOrigin.Y, BgOrigin.X + w, BgOrigin.Y + h});
  else
    FillRectBitmap32(Bmp, whole, ColorToRGB(clMenu), 255);
  Bitmap background;
  background.Assign(Bmp);
  const CacheInfo self = CacheInfoFromBitmap(&Bmp, 0, 0);
  const bool enabled = Item.Enabled();
  const bool selected = (State & gui::odSelected) != 0;
  const TsItemKind kind = MenuItemKind(Item.Caption());
  const int32_t glyphColumn = GlyphWidth + 2 * Menus.Margin + Menus.Spacing / 2;
  TsMenuItemType type = smNormal;

  if (kind == ikDivider) {
    type = smDivider;
    const int32_t icoLine = SkinManagerGetSectionIndex(m, m.MenuSupport.IcoLineSkin);
    const SkinSectionRecord* ico = Section(m, icoLine);
    const bool columnShown = ico != nullptr && (ico->NormalState.Transparency < 100 || ico->BorderIndex >= 0);
    const int32_t x0 = columnShown ? std::max(Menus.Margin + Menus.Spacing, glyphColumn + 2) : std::max(Menus.Margin, 2);
    const int32_t x1 = w - Menus.Margin;
    const int32_t dividerV = SkinManagerGetSectionIndex(m, "DIVIDERV");
    const SkinImageRecord* line = Image(m, dividerV >= 0 ? SkinManagerGetImageIndex(m, dividerV, "BORDERSMASK") : -1);
    if (x1 > x0) {
      if (line != nullptr) {
        DrawSkinMask(Bmp, TRect{x0, 0, x1, h}, self, *line, 0, true);
      } else {
        TColor colour = m.Skin().Colors[scBorderColor];
        if (colour == KeyColor) colour = ColorToRGB(clBtnShadow);
        FillRectBitmap32(Bmp, TRect{x0, 0, x1, 1}, colour, 255);
      }
    }
  } else if (kind == ikCaption) {
    type = smCaption;
    int32_t band = SkinManagerGetSectionIndex(m, "MENUCAPTION");
    if (band < 0) band = SkinManagerGetSectionIndex(m, "TOOLBAR");
    if (band >= 0) PaintSkinItem(band, self, 0, whole, TPoint{0, 0}, Bmp, &m);
    gui::TFont font;
    font.Assign(Menus.MenuFontOverride ? *Menus.MenuFontOverride : Menus.CaptionFont());
    WriteColouredText(Bmp, font, StripDashes(Item.Caption()), whole,
                      SectionFontColour(m, band, 0, ColorToRGB(clMenuText)), dtCenter | dtVCenter | dtSingleLine);
  } else {
    const int32_t menuItem = SkinManagerGetSectionIndex(m, "MENUITEM");
    const int32_t state = selected && enabled ? 1 : 0;
    if (state == 1 && menuItem >= 0) PaintSkinItem(menuItem, self, 1, whole, TPoint{0, 0}, Bmp, &m);
    const bool hasGlyph = !Item.Bitmap().Empty();
    if (Item.Checked() && !hasGlyph) {
      int32_t image = -1;
      if (Item.RadioItem()) {
        image = m.Skin().CommonIndexes.RadioChecked;
      } else {
        const int32_t checkBox = SkinManagerGetSectionIndex(m, "CHECKBOX");
        if (checkBox >= 0) {
          image = SkinManagerGetImageIndex(m, checkBox, "CHECK");
          if (image < 0) image = SkinManagerGetImageIndex(m, checkBox, "BOXCHECKED");
        }
      }
      if (const SkinImageRecord* check = Image(m, image)) {
        const int32_t cw = ImageStateWidth(*check), ch = ImageFrameHeight(*check);
        DrawImageState(Bmp, TPoint{Menus.Margin + (GlyphWidth - cw) / 2, (h - ch) / 2}, 0, self, *check, 1);
      }
    }
    if (hasGlyph) {
      const TPoint at{Menus.Margin + (GlyphWidth - Item.Bitmap().Width()) / 2, (h - Item.Bitmap().Height()) / 2};
      if (Item.Checked()) {
        const int32_t frame = SkinManagerGetSectionIndex(m, "SPEEDBUTTON_SMALL");
        const TRect around{std::max(at.X - 1, 0), std::max(at.Y - 1, 0),
                           std::min(at.X + Item.Bitmap().Width() + 1, w), std::min(at.Y + Item.Bitmap().Height() + 1, h)};
        if (frame >= 0) PaintSkinItem(frame, self, 2, around, TPoint{0, 0}, Bmp, &m);
      }
      DrawGlyph(Bmp, at, Item.Bitmap());
    }
    gui::TFont font;
    MenuItemFont(Menus, Item, font);
    const gui::TMenu* menu = Item.GetParentMenu();
    if (menu != nullptr && menu->Name().rfind("acSysMenu", 0) == 0) {
      // The symbols of the library's own system menu.
      const char* symbol = nullptr;
      switch (Item.Tag()) {
        case wv::kScMinimize: symbol = "0"; break;
        case wv::kScMaximize: symbol = "1"; break;
        case wv::kScRestore: symbol = "2"; break;
        case wv::kScClose: symbol = "r"; break;
        default: break;
      }
      if (symbol != nullptr) {
        gui::TFont marks;
        marks.SetName(detail::SystemMenuSymbolFont());
        marks.SetCharset(2);  // SYMBOL_CHARSET: the marks, never a text font's letters
        marks.SetSize(10);
        WriteColouredText(Bmp, marks, symbol, TRect{0, 0, glyphColumn, h},
                          SectionFontColour(m, menuItem, state, ColorToRGB(clMenuText)),
                          dtCenter | dtVCenter | dtSingleLine);
      }
    }
    TColor colour = SectionFontColour(m, menuItem, state, ColorToRGB(selected ? clHighlightText : clMenuText));
    if (TsSkinManagerComponent* c = ManagerComponent(&m); c && c->OnGetPopupItemData) {
      const TColor before = font.Color();
      TacMenuItemData data{&font};
      c->OnGetPopupItemData(&Item, State, &data);
      if (font.Color() != before) colour = font.Color();
    }
    std::string caption = Item.Caption();
    std::string after;
    if (size_t tab = caption.find('\t'); tab != std::string::npos) {
      after = caption.substr(tab + 1);
      caption.resize(tab);
    }
    uint32_t flags = dtExpandTabs;
    switch (Menus.Alignment) {
      case gui::TAlignment::taRightJustify: flags |= dtRight; break;
      case gui::TAlignment::taCenter: flags |= dtCenter; break;
      default: break;
    }
    if (after.empty() && !caption.empty() && caption.front() == '\b') {
      caption = caption.substr(1) + "      ";
      flags = (flags & ~(dtCenter | dtRight)) | dtRight;
    }
    if (caption.find('\r') != std::string::npos)
      flags |= dtWordBreak;
    else
      flags |= dtSingleLine | dtVCenter;
    if (State & gui::odNoAccel) flags |= 0x00100000;  // DT_HIDEPREFIX
    const int32_t textLeft = GlyphWidth + 2 * Menus.Margin + Menus.Spacing;
    TRect textRect{textLeft, 0, w - 8, h};
    if (flags & dtWordBreak) {
      const TRect calc = CurrentTextEngine().CalcRect(font, caption, textRect, flags | dtCalcRect);
      textRect.Top = (h - calc.Height()) / 2;
      textRect.Bottom = textRect.Top + calc.Height();
    }
    WriteColouredText(Bmp, font, caption, textRect, colour, flags);
    const uint32_t right = dtRight | dtSingleLine | dtVCenter | dtExpandTabs;
    if (!after.empty()) WriteColouredText(Bmp, font, after, TRect{textLeft, 0, w - 8, h}, colour, right);
    if (Item.ShortCut() != 0)
      WriteColouredText(Bmp, font, gui::ShortCutToText(Item.ShortCut()), TRect{textLeft, 0, w - 8, h}, colour, right);
  }
  if (Menus.OnDrawItem) detail::WithBitmapCanvas(Bmp, [&](gui::TCanvas& canvas) {
    Menus.OnDrawItem(&Item, canvas, whole, State, type);
  });
  if (!enabled) BlendBitmaps(Bmp, 0, 0, KeyColor, 0.4, whole, background);
}

void PaintMenuLineItem(TsSkinableMenus& Menus, gui::TMenuItem& Item, Bitmap& Bmp, const Bitmap* Bg,
                       const TPoint& BgOrigin, gui::TOwnerDrawState State) {
  TsSkinManager& m = Menus.Owner();
  const int32_t w = Bmp.Width(), h = Bmp.Height();
  if (w <= 0 || h <= 0) return;
  const TRect whole{0, 0, w, h};
  if (Bg != nullptr)
    CopyPart(Bmp, 0, 0, *Bg, TRect{BgOrigin.X, BgOrigin.Y, BgOrigin.X + w, BgOrigin.Y + h});
  else
    FillRectBitmap32(Bmp, whole, SkinManagerGlobalColor(m), 255);
  Bitmap background;
  background.Assign(Bmp);
  const bool enabled = Item.Enabled();
  const int32_t state = enabled && (State & (gui::odSelected | gui::odHotLight)) ? 1 : 0;
  const int32_t section = SkinManagerGetSectionIndex(m, "MENULINE");
  if (section >= 0) PaintSkinItem(section, CacheInfoFromBitmap(&Bmp, 0, 0), state, whole, TPoint{0, 0}, Bmp, &m);
  int32_t left = 0;
  if (!Item.Bitmap().Empty()) {
    DrawGlyph(Bmp, TPoint{3, (h - Item.Bitmap().Height()) / 2}, Item.Bitmap());
    left = Item.Bitmap().Width() + 3;
  }
  gui::TFont font;
  MenuItemFont(Menus, Item, font);
  uint32_t flags = dtCenter | dtVCenter | dtSingleLine;
  if (State & gui::odNoAccel) flags |= 0x00100000;  // DT_HIDEPREFIX
  WriteColouredText(Bmp, font, Item.Caption(), TRect{left, 0, w, h},
                    SectionFontColour(m, section, state, ColorToRGB(clMenuText)), flags);
  if (Menus.OnDrawItem) detail::WithBitmapCanvas(Bmp, [&](gui::TCanvas& canvas) {
    Menus.OnDrawItem(&Item, canvas, whole, State, smTopLine);
  });
  if (!enabled) BlendBitmaps(Bmp, 0, 0, KeyColor, 0.4, whole, background);
}

// ---- The handlers.

void SkinMenuMeasureItem(gui::TObject* Sender, gui::TCanvas&, int& Width, int& Height) {
  auto* item = dynamic_cast<gui::TMenuItem*>(Sender);
  if (item == nullptr || item->IsDestroying() || item->Parent() == nullptr) return;
  TsSkinableMenus* menus = SkinableMenusOf(DefaultManager());
  if (menus == nullptr) return;
  MenuItemsPainting() = 1;
  gui::TMenuItem* first = FirstVisibleItem(*item->Parent());
  TacMenuBgRecord* rec = GetMenuBgCache(*menus, first, nullptr, false);
  const bool extra = rec != nullptr && rec->ExtraLine && InFirstColumn(*item);
  const TSize size = MeasureMenuItem(*menus, *item, extra);
  Width = size.cx;
  Height = size.cy;
}

void SkinMenuDrawItem(gui::TObject* Sender, gui::TCanvas& ACanvas, const TRect& ARect, gui::TOwnerDrawState State) {
  TsSkinManager* m = DefaultManager();
  auto* item = dynamic_cast<gui::TMenuItem*>(Sender);
  if (m == nullptr || !m->Active() || item == nullptr || item->Parent() == nullptr) return;
  TsSkinableMenus* menus = SkinableMenusOf(m);
  if (menus == nullptr) return;
  MenuItemsPainting() = 1;
  if (gui::TControl* button = OpenDropDownButton()) {
    if (HintSuppressed()) gui::Application->SetShowHint(SavedShowHint());
    SendLibraryCommandToControl(button, AC_MOUSELEAVE, reinterpret_cast<LPARAM>(m));
    OpenDropDownButton() = nullptr;
  }
  gui::TMenuItem* first = FirstVisibleItem(*item->Parent());
  HWND window = detail::MenuWindowOfCanvas(ACanvas);
  TacMenuBgRecord* rec = GetMenuBgCache(*menus, first, window, window != nullptr);
  TPoint client{0, 0};
  if (window != nullptr && rec != nullptr && rec->Bmp) {
    client = detail::ClientOffsetInWindow(window);
    if (rec->RegionWnd != window) PopupMenuRegion(*menus, window, *rec);
    if (item == first) detail::CopyFrameToWindow(window, *rec->Bmp);
  } else if (window == nullptr) {
    if (TsSkinManagerComponent* c = ManagerComponent(m)) c->PostMenuItem(item);
  }
  bool breaks = false;
  for (int i = 0; i < item->Parent()->Count(); ++i)
    if (item->Parent()->Items(i) != first && item->Parent()->Items(i)->Visible() &&
        item->Parent()->Items(i)->Break() != gui::TMenuBreak::mbNone)
      breaks = true;
  const bool extra = rec != nullptr && rec->ExtraLine && m->MenuSupport.UseExtraLine && (item == first || !breaks);
  const int32_t extraWidth = extra ? m->MenuSupport.ExtraLineWidth : 0;
  const int32_t width = ARect.Width() - extraWidth;
  if (width > 0 && ARect.Height() > 0) {
    Bitmap bmp(width, ARect.Height(), pf32bit);
    const Bitmap* bg = (rec != nullptr && rec->Bmp) ? rec->Bmp.get() : nullptr;
    const TPoint origin{client.X + ARect.Left + extraWidth, client.Y + ARect.Top};
    PaintPopupItem(*menus, *item, bmp, bg, origin, State, MenuGlyphSize(*item).cx);
    detail::CopyToCanvas(ACanvas, bmp, TRect{0, 0, width, ARect.Height()}, TPoint{ARect.Left + extraWidth, ARect.Top});
    if (extra && item == first && bg != nullptr) {
      const int32_t border = menus->SkinBorderWidth();
      detail::CopyToCanvas(ACanvas, *bg, TRect{border, border, border + extraWidth, bg->Height() - border},
                           TPoint{border - client.X, border - client.Y});
    }
  }
  if (item->OnDrawItem) item->OnDrawItem(item, ACanvas, ARect, (State & gui::odSelected) != 0);
}

void SkinMenuLineMeasureItem(gui::TObject* Sender, gui::TCanvas&, int& Width, int& Height) {
  auto* item = dynamic_cast<gui::TMenuItem*>(Sender);
  TsSkinManager* m = DefaultManager();
  TsSkinableMenus* menus = SkinableMenusOf(m);
  if (item == nullptr || menus == nullptr) return;
  Height = m->System().SystemMetric(15 /* SM_CYMENU */) - 1;
  gui::TFont font;
  MenuItemFont(*menus, *item, font);
  Width = CurrentTextEngine().Extent(font, gui::StripHotkey(item->Caption())).cx;
  if (!item->Bitmap().Empty()) Width += item->Bitmap().Width() + 6;
}

void SkinMenuLineDrawItem(gui::TObject* Sender, gui::TCanvas& ACanvas, const TRect& ARect, gui::TOwnerDrawState State) {
  auto* item = dynamic_cast<gui::TMenuItem*>(Sender);
  TsSkinManager* m = DefaultManager();
  TsSkinableMenus* menus = SkinableMenusOf(m);
  if (item == nullptr || menus == nullptr || !m->Active() || ARect.Width() <= 0 || ARect.Height() <= 0) return;
  Bitmap bmp(ARect.Width(), ARect.Height(), pf32bit);
  // The form's own picture under the bar, when its skin provider keeps one (window coordinates, as the item's).
  const Bitmap* bg = nullptr;
  if (auto* main = dynamic_cast<gui::TMainMenu*>(item->GetParentMenu()))
    if (TacFormProvider* p = FormProvider(main->Form())) bg = p->FrameCacheBitmap();
  PaintMenuLineItem(*menus, *item, bmp, bg, TopLeftOf(ARect), State);
  detail::CopyToCanvas(ACanvas, bmp, TRect{0, 0, ARect.Width(), ARect.Height()}, TopLeftOf(ARect));
  if (item->OnDrawItem) item->OnDrawItem(item, ACanvas, ARect, (State & gui::odSelected) != 0);
}

// ---- Popup windows.

void ClearMenuBgCache() {
  if (TsSkinableMenus* menus = SkinableMenusOf(DefaultManager())) menus->Cache().clear();
}

TacMenuBgRecord* GetMenuBgCache(TsSkinableMenus& Menus, gui::TMenuItem* FirstItem, HWND Wnd, bool Build) {
  if (FirstItem == nullptr && Wnd != nullptr) {
    if (TacMenuBgRecord* byWindow = Menus.FindRecord(0, Wnd); byWindow && !Build) return byWindow;
    FirstItem = detail::FirstItemOfMenuWindow(Wnd);
  }
  if (FirstItem == nullptr) return Menus.FindRecord(0, Wnd);
  TacMenuBgRecord* rec = Menus.FindRecord(FirstItem->Command(), nullptr);
  TacExtraLineData extra;
  if (rec == nullptr) {
    extra = Menus.AskExtraLine(FirstItem);
    TacMenuBgRecord r;
    r.FirstItem = FirstItem->Command();
    r.ExtraLine = extra.Visible;
    Menus.Cache().push_back(std::move(r));
    rec = &Menus.Cache().back();
  }
  if (!Build) return rec;
  const gui::TMenuItem* parent = FirstItem->Parent();
  const TSize size = Wnd != nullptr ? detail::WindowSize(Wnd)
                                    : (parent ? PopupMenuSize(Menus, *parent, rec->ExtraLine) : TSize{});
  if (size.cx <= 0 || size.cy <= 0) return rec;
  if (!rec->Bmp || rec->Bmp->Width() != size.cx || rec->Bmp->Height() != size.cy) {
    if (rec->ExtraLine && !extra.Visible) {
      extra = Menus.AskExtraLine(FirstItem);
      rec->ExtraLine = extra.Visible;
    }
    int32_t glyph = 16;
    if (parent != nullptr)
      for (int i = 0; i < parent->Count(); ++i) glyph = std::max<int32_t>(glyph, MenuGlyphSize(*parent->Items(i)).cx);
    rec->Bmp = BuildPopupBackground(Menus, size, extra, glyph, rec->CutOuts);
    Menus.CutOutRects = rec->CutOuts;
    rec->RegionWnd = nullptr;
  }
  if (Wnd != nullptr) {
    rec->Wnd = Wnd;
    if (rec->RegionWnd != Wnd) PopupMenuRegion(Menus, Wnd, *rec);
  }
  return rec;
}

std::function<bool()>& MDIChildMaximizedWithMenuSource() {
  static std::function<bool()> source;
  return source;
}

bool MDIChildMaximizedWithMenu() {
  const std::function<bool()>& source = MDIChildMaximizedWithMenuSource();
  return source && source();
}

bool PaintPopupMenuWindow(HWND Wnd, gui::TMenuItem* Item) {
  TsSkinableMenus* menus = SkinableMenusOf(DefaultManager());
  if (menus == nullptr || Wnd == nullptr) return false;
  gui::TMenuItem* first = Item != nullptr && Item->Parent() != nullptr ? FirstVisibleItem(*Item->Parent()) : nullptr;
  TacMenuBgRecord* rec = GetMenuBgCache(*menus, first, Wnd, true);
  if (rec == nullptr || !rec->Bmp) return false;
  if (rec->RegionWnd != Wnd) PopupMenuRegion(*menus, Wnd, *rec);
  return true;
}

void PopupMenuRegion(TsSkinableMenus& Menus, HWND Wnd, TacMenuBgRecord& Record) {
  if (Menus.RegionBusy || !Record.Bmp || Wnd == nullptr) return;
  if (Menus.Owner().System().Version().PlatformId != 2) return;  // the NT family only
  if (SendLibraryCommand(Wnd, AC_SETREPAINTPENDING, 0) != 0) return;
  SendLibraryCommand(Wnd, AC_MENUREGIONSET, 0);
  Menus.RegionBusy = 1;
  struct Busy {
    TsSkinableMenus& menus;
    ~Busy() { menus.RegionBusy = 0; }
  } busy{Menus};
  std::vector<TRect> rects = Record.CutOuts;
  if (rects.empty()) rects.push_back(TRect{0, 0, 1, 1});
  detail::SetMenuWindowRegion(Wnd, TSize{Record.Bmp->Width(), Record.Bmp->Height()}, rects);
  Record.RegionWnd = Wnd;
  detail::CopyFrameToWindow(Wnd, *Record.Bmp);
}

void InstallMenuServices() {
  TacManagerServices& s = ManagerServices();
  s.ResetMenuBorderWidth = [](TsSkinManager& m) {
    if (TsSkinableMenus* menus = SkinableMenusOf(&m)) {
      menus->ResetSkinBorderWidth();
      menus->Cache().clear();
    }
  };
  s.UpdateMenuHooks = [](TsSkinManager& m, bool On) {
    TsSkinableMenus* menus = SkinableMenusOf(&m);
    if (menus == nullptr) return;
    if (On) {
      menus->HooksState = 0xFF;  // taken again from the skin's state
      SkinableMenusUpdate(*menus);
    } else {
      SkinableMenusSetHooks(*menus, false);
    }
  };
  s.PaintPopupMenuWindow = [](HWND Wnd, gui::TMenuItem* Item) { return PaintPopupMenuWindow(Wnd, Item); };
}

}  // namespace skin
