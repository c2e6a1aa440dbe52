#include "skin/forms/provider_geometry.h"
#include "skin/forms/provider_scroll.h"

#include <algorithm>

#include "gui/forms.h"
#include "gui/menus.h"
#include "skin/data/loaded_skin.h"
#include "skin/data/maskdata.h"
#include "skin/data/sskinmanager.h"
#include "skin/forms/border_form.h"
#include "skin/forms/form_window.h"
#include "skin/forms/provider_mdi.h"
#include "skin/forms/provider_titlebar.h"
#include "skin/forms/system_menu.h"
#include "skin/manager/win_values.h"
#include "skin/painters/layered_alpha.h"

namespace skin {

using namespace wv;
using gui::TFormBorderStyle;
using gui::TFormStyle;

namespace {

// The default size of a caption button whose image is missing or has no states.
constexpr int32_t kDefaultButtonSize = 21;
constexpr int32_t kDefaultMDIButtonSize = 16;

bool ToolWindowStyle(const TsSkinProvider& p) {
  const TFormBorderStyle s = p.Form()->BorderStyle();
  return s == TFormBorderStyle::bsToolWindow || s == TFormBorderStyle::bsSizeToolWin;
}

bool Iconic(const TsSkinProvider& p) { return p.Form() && FormWindowIconic(*p.Form()); }
bool Zoomed(const TsSkinProvider& p) { return p.Form() && FormWindowZoomed(*p.Form()); }
uint32_t Style(const TsSkinProvider& p) { return p.Form() ? FormWindowStyle(*p.Form()) : 0; }

const TsSkinData* SkinGeneral(const TsSkinProvider& p) {
  const TsSkinManager* m = ProviderManager(p);
  return m ? &m->SkinData() : nullptr;
}

const SkinImageRecord* ValidImage(const TsSkinProvider& p, int32_t index) {
  const TsSkinManager* m = ProviderManager(p);
  if (m == nullptr || !SkinManagerIsValidImageIndex(*m, index)) return nullptr;
  return &m->Skin().Images[size_t(index)];
}

// The width of one state of an image: its own bitmap's width per state, else its state width; 0 when it has no
// states.
int32_t ImageButtonWidth(const SkinImageRecord& image) {
  if (image.ImageCount <= 0) return 0;
  if (image.Bitmap) return image.Bitmap->Width() / image.ImageCount;
  return ImageStateWidth(image);
}

int32_t ClientHeightOf(const TsSkinProvider& p) { return p.Form() ? FormClientSize(*p.Form()).cy : 0; }
int32_t ClientWidthOf(const TsSkinProvider& p) { return p.Form() ? FormClientSize(*p.Form()).cx : 0; }
TRect WindowRectOf(const TsSkinProvider& p) { return p.Form() ? FormWindowRect(*p.Form()) : TRect{}; }

}  // namespace

// ---- Frame widths.

int32_t FormBorderWidth(const TsSkinProvider& p, bool skinned) {
  if (skinned && p.BorderForm)
    if (const TsSkinData* g = SkinGeneral(p)) return g->BorderWidth;
  const uint32_t style = Style(p);
  if (style & kWsThickFrame) return SystemMetric(kSmCxFrame);
  if (style & kWsBorder) return SystemMetric(kSmCxFixedFrame);
  return 0;
}

int32_t FormBorderWidthIfNoSkin(const TsSkinProvider& p, bool skinned) {
  return p.BorderForm ? 0 : FormBorderWidth(p, skinned);
}

int32_t FormCaptionHeight(const TsSkinProvider& p) {
  static const int32_t caption = SystemMetric(kSmCyCaption);
  static const int32_t small = SystemMetric(kSmCySmCaption);
  return (p.Form() && ToolWindowStyle(p) && !Iconic(p)) ? small : caption;
}

int32_t SkinTitleHeight(const TsSkinProvider& p) {
  if (p.BorderForm && SkinGeneral(p)) return ProviderSkinTitleHeight(p, false);
  return FormCaptionHeight(p);
}

int32_t SkinBorderWidth(const TsSkinProvider& p) {
  if (p.BorderForm)
    if (const TsSkinData* g = SkinGeneral(p)) return g->BorderWidth;
  return FormBorderWidth(p, false);
}

int32_t FormTitleHeightDelta(const TsSkinProvider& p) {
  return SkinTitleHeight(p) - FormCaptionHeight(p) - FormBorderWidth(p, false);
}

int32_t FormBorderExtraWidth(const TsSkinProvider& p) {
  return p.BorderForm ? SkinBorderWidth(p) - FormBorderWidth(p, false) : 0;
}

int32_t FormInnerBorderWidth(const TsSkinProvider&) { return 0; }

bool ProviderFormHasBorder(const TsSkinProvider& p) {
  if (!p.Form()) return false;
  return p.Form()->BorderStyle() != TFormBorderStyle::bsNone || (Style(p) & kWsChild) != 0;
}

bool HasThickFrame(const TsSkinProvider& p) { return (Style(p) & kWsThickFrame) != 0; }

bool ProviderGripVisible(const TsSkinProvider& p) {
  return p.GripMode == gmRightBottom && !Zoomed(p) && HasThickFrame(p);
}

bool SkinImageIsSingleState(const TsSkinProvider& p, int32_t imageIndex) {
  if (imageIndex < 0) return true;
  const SkinImageRecord* image = ValidImage(p, imageIndex);
  return image != nullptr && image->ImageCount == 1;
}

// ---- Measures.

int32_t ProviderSystemCaptionHeight(const TsSkinProvider& p) {
  return (p.Form() && ToolWindowStyle(p) && !Iconic(p)) ? SystemMetric(kSmCySmCaption) : SystemMetric(kSmCyCaption);
}

int32_t ProviderCaptionHeight(const TsSkinProvider& p, bool askSkin) {
  if (!Iconic(p) && (!ProviderFormHasBorder(p) || !(Style(p) & kWsCaption))) return 0;
  const int32_t h = askSkin ? SkinTitleHeight(p) : 0;
  if (p.TallTitle) return std::max(h, ProviderSystemCaptionHeight(p) + 4);
  return h != 0 ? h : ProviderSystemCaptionHeight(p);
}

int32_t ProviderExtraTitleHeight(const TsSkinProvider& p, bool maximized) {
  return std::max(0, ProviderSkinTitleHeight(p, maximized) - (FormCaptionHeight(p) + 4));
}

TRect ProviderExtBorderMargins(const TsSkinProvider& p) {
  if (!p.BorderForm) return TRect{};
  const TsSkinManager* m = ProviderManager(p);
  return m ? m->Skin().ShadowMargins : TRect{};
}

bool ProviderUseExtBorders(const TsSkinProvider& p) {
  const TsSkinManager* m = ProviderManager(p);
  if (m == nullptr || !m->ExtendedBorders() || !p.AllowExtBorders()) return false;
  if (m->Options.NativeBordersMaximized && Zoomed(p)) return false;
  // The border window's shadow is drawn with per-pixel alpha: where the screen does not show it, it would be a
  // black frame round the form, so the form keeps the skin's frame inside its own window.
  return LayeredAlphaShown();
}

int32_t ProviderBottomFrame(const TsSkinProvider& p, bool skinned) {
  return FormBorderWidthIfNoSkin(p, skinned) + FormInnerBorderWidth(p);
}

int32_t ProviderSideFrame(const TsSkinProvider& p, bool skinned) {
  return FormBorderWidth(p, skinned) + FormInnerBorderWidth(p);
}

bool ProviderHasMenuLine(const TsSkinProvider& p) {
  if (!p.Form()) return false;
  // An MDI child's menu merges into its parent's line; a menu that merges shows none of its own.
  const gui::TMainMenu* menu = p.Form()->Menu();
  return menu != nullptr && menu->Items()->Count() > 0 && !menu->AutoMerge() &&
         p.Form()->FormStyle() != TFormStyle::fsMDIChild && p.Form()->BorderStyle() != TFormBorderStyle::bsDialog;
}

namespace {
bool AnyVisibleItem(const gui::TMainMenu* menu) {
  if (menu == nullptr) return false;
  for (int i = 0; i < menu->Items()->Count(); ++i)
    if (menu->Items()->Items(i)->Visible()) return true;
  return false;
}
}  // namespace

bool ProviderMenuHasVisibleItems(const TsSkinProvider& p) {
  const gui::TCustomForm* form = p.Form();
  if (!form || form->BorderStyle() == TFormBorderStyle::bsDialog || form->FormStyle() == TFormStyle::fsMDIChild)
    return false;
  const gui::TMainMenu* menu = form->Menu();
  if (menu == nullptr || menu->AutoMerge()) return false;
  if (AnyVisibleItem(menu)) return true;
  // An MDI parent's line also shows the items of its active child's menu.
  if (form->FormStyle() == TFormStyle::fsMDIForm)
    if (const gui::TCustomForm* child = form->ActiveMDIChild()) return AnyVisibleItem(child->Menu());
  return false;
}

int32_t ProviderMenuLineHeight(const TsSkinProvider& p) {
  return (ProviderHasMenuLine(p) && ProviderMenuHasVisibleItems(p)) ? SystemMetric(kSmCyMenu) - 1 : 0;
}

int32_t ProviderMenuLineCount(TsSkinProvider& p) {
  if (p.MenuLineCountCache != -1) return p.MenuLineCountCache;
  int32_t count = 0;
  TRect first;
  if (p.Form() && p.Form()->Menu() && !Iconic(p) && FormMenuItemRect(*p.Form(), 0, first)) {
    // The rows of a wrapped menu bar lie between the first item and the client area.
    const TRect w = WindowRectOf(p);
    const int32_t available = w.Top + w.Height() - ClientHeightOf(p) - ProviderBottomFrame(p, true) -
                              ProviderScrollBarsShown(p).cy - 2 * FormInnerBorderWidth(p);
    const int32_t row = std::max(1, SystemMetric(kSmCyMenu) - 2);
    count = first.Bottom < available ? 1 + (available - first.Bottom) / row : 1;
  }
  p.MenuLineCountCache = count;
  return count;
}

int32_t ProviderTopNonClient(TsSkinProvider& p) {
  int32_t top;
  if (p.BorderForm) {
    top = FormBorderWidthIfNoSkin(p, true) + ProviderCaptionHeight(p, true);
  } else {
    // The window's own top band: what lies above the client area.
    const TRect w = WindowRectOf(p);
    const int32_t bottom = FormBorderWidth(p, false) > 0 ? ProviderBottomFrame(p, true) : 0;
    top = w.Height() - ClientHeightOf(p) - bottom - ProviderScrollBarsShown(p).cy;
  }
  top = std::max(0, top);
  if (Iconic(p)) top += FormBorderWidth(p, true);
  return top;
}

int32_t ProviderClientLeft(const TsSkinProvider& p) {
  if (p.BorderForm) return ProviderSideFrame(p, true) + ProviderExtBorderMargins(p).Left;
  // The skinned vertical bar lies beside the client area, inside the frame.
  return (WindowRectOf(p).Width() - ClientWidthOf(p) - ProviderScrollBarsShown(p).cx) / 2;
}

int32_t ProviderClientTop(TsSkinProvider& p) {
  if (p.BorderForm) {
    const int32_t lines = ProviderMenuLineCount(p);
    const int32_t lineHeight = ProviderMenuLineHeight(p);
    int32_t top = ProviderCaptionHeight(p, true) + lines * lineHeight + FormInnerBorderWidth(p) +
                  ProviderExtBorderMargins(p).Top;
    if (lines > 0 && lineHeight > 0) top += 1;
    return top;
  }
  const int32_t side = (Style(p) & kWsBorder) ? ProviderSideFrame(p, true) : 0;
  return WindowRectOf(p).Height() - ClientHeightOf(p) - side - ProviderScrollBarsShown(p).cy;
}

int32_t ProviderCacheWidth(const TsSkinProvider& p) {
  const TRect m = ProviderExtBorderMargins(p);
  if (Iconic(p) && gui::Application->MainForm() != p.Form()) return m.Left + m.Right + 160;
  return WindowRectOf(p).Width() + 2 * FormBorderExtraWidth(p) + m.Left + m.Right;
}

int32_t ProviderCacheHeight(TsSkinProvider& p) {
  const TRect m = ProviderExtBorderMargins(p);
  if (Iconic(p) && gui::Application->MainForm() != p.Form())
    return FormBorderWidth(p, true) + ProviderCaptionHeight(p, true) + 2 + m.Top + m.Bottom;
  if (!p.BorderForm) return WindowRectOf(p).Height();
  // With a border window: the skin's caption and borders around the window's client area, and the margins.
  if (Iconic(p)) return WindowRectOf(p).Height() + m.Top + m.Bottom;
  return ProviderClientTop(p) + ClientHeightOf(p) + ProviderSideFrame(p, true) + m.Bottom;
}

TPoint ProviderFormOrigin(const TsSkinProvider& p) {
  const TRect w = WindowRectOf(p);
  return TPoint{w.Left, w.Top};
}

TPoint ProviderScreenToWindow(const TsSkinProvider& p, int32_t x, int32_t y) {
  const TPoint o = ProviderFormOrigin(p);
  return TPoint{x - o.X, y - o.Y};
}

bool ProviderHasSystemMenu(const TsSkinProvider& p) {
  return p.Form() && (p.Form()->BorderIcons() & gui::biSystemMenu) != 0;
}

int32_t ProviderSystemButtonCount(const TsSkinProvider& p) {
  if (!p.SystemMenu || !ProviderHasSystemMenu(p)) return 0;
  return 1 + (p.SystemMenu->MaximizeVisible() ? 1 : 0) + (p.SystemMenu->MinimizeVisible() ? 1 : 0) +
         ((p.Form()->BorderIcons() & gui::biHelp) ? 1 : 0);
}

int32_t ProviderTitleButtonWidth(const TsSkinProvider& p, const TitleButtonRecord& button) {
  const SkinImageRecord* image = ValidImage(p, button.ImageIndex);
  if (image == nullptr) return kDefaultButtonSize;
  const int32_t w = ImageButtonWidth(*image);
  return w > 0 ? w : kDefaultButtonSize;
}

int32_t ProviderCloseButtonHeight(const TsSkinProvider& p) {
  const SkinImageRecord* image = ValidImage(p, p.ButtonClose.ImageIndex);
  return image ? ImageFrameHeight(*image) : kDefaultButtonSize;
}

int32_t ProviderMDIButtonWidth(const TsSkinProvider& p) {
  const SkinImageRecord* image = ValidImage(p, p.ButtonMDIClose.ImageIndex);
  if (image == nullptr) return kDefaultMDIButtonSize;
  if (image->Bitmap) return image->Bitmap->Width() / 3;
  const int32_t w = ImageStateWidth(*image);
  return w > 0 ? w : kDefaultMDIButtonSize;
}

int32_t ProviderMDIButtonHeight(const TsSkinProvider& p) {
  const SkinImageRecord* image = ValidImage(p, p.ButtonMDIClose.ImageIndex);
  if (image == nullptr) return kDefaultMDIButtonSize;
  if (image->Bitmap) return image->Bitmap->Height() / 2;
  return ImageFrameHeight(*image);
}

int32_t ProviderUserButtonWidth(const TsSkinProvider& p, const TsTitleButton& button) {
  const int32_t glyph = button.Glyph().Empty() ? 0 : button.Glyph().Width() + 2;
  const SkinImageRecord* image = ValidImage(p, p.UserBtnIndex);
  int32_t w = image ? ImageButtonWidth(*image) : kDefaultButtonSize;
  if (w <= 0) w = kDefaultButtonSize;
  return std::max(glyph, w);
}

int32_t ProviderButtonsWidth(const TsSkinProvider& p) {
  const TsSkinData* g = SkinGeneral(p);
  const int32_t space = (g && p.NormalCaption) ? g->BISpace : 0;
  int32_t width = g ? g->BIRight : 0;
  if (ProviderSystemButtonCount(p) > 0) {
    width += ProviderTitleButtonWidth(p, p.ButtonClose) + space;
    if (p.SystemMenu->MaximizeVisible()) width += ProviderTitleButtonWidth(p, p.ButtonMax) + space;
    if (p.SystemMenu->MinimizeVisible()) width += ProviderTitleButtonWidth(p, p.ButtonMin) + space;
    if (p.Form()->BorderIcons() & gui::biHelp) width += ProviderTitleButtonWidth(p, p.ButtonHelp) + space;
  }
  const TsTitleButtons& buttons = p.TitleButtons();
  if (buttons.Count() > 0) {
    width += 6;
    for (int i = 0; i < buttons.Count(); ++i)
      if (buttons.Items(i)->Visible()) width += ProviderUserButtonWidth(p, *buttons.Items(i)) + space;
  }
  return width;
}

int32_t ProviderCaptionReserve(const TsSkinProvider& p, int32_t imageIndex) {
  const TsSkinManager* m = ProviderManager(p);
  const int32_t state = m ? SkinImageStateWidth(m->Skin(), imageIndex) : 0;
  return 2 * state + ProviderButtonsWidth(p);
}

bool ProviderShowMDIChildButtons(const TsSkinProvider& p) {
  // An MDI parent with a main menu whose active child is maximized and has a system menu: its buttons stand in
  // the parent's menu line (whether or not the child wears a provider of its own).
  const gui::TCustomForm* form = p.Form();
  if (form == nullptr || form->FormStyle() != TFormStyle::fsMDIForm || form->Menu() == nullptr ||
      !ProviderHasMenuLine(p) || !p.DrawNonClientArea())
    return false;
  const gui::TCustomForm* child = form->ActiveMDIChild();
  return child != nullptr && !child->IsDestroying() && FormWindowExists(*child) && FormWindowZoomed(*child) &&
         (child->BorderIcons() & gui::biSystemMenu) != 0;
}

TPoint ProviderGripOrigin(const TsSkinProvider& p) {
  const Bitmap* cache = p.SkinData().CacheBmp.get();
  const TsSkinManager* m = ProviderManager(p);
  if (cache == nullptr || m == nullptr) return TPoint{};
  const int32_t grip = m->Skin().CommonIndexes.GripImage;
  const TRect margins = ProviderExtBorderMargins(p);
  const int32_t frame = FormBorderWidth(p, true);
  const SkinImageRecord* image = ValidImage(p, grip);
  const int32_t w = image ? ImageStateWidth(*image) : 0;
  const int32_t h = image ? ImageFrameHeight(*image) : 0;
  return TPoint{cache->Width() - w - frame - margins.Right, cache->Height() - h - frame - margins.Bottom - 1};
}

TPoint ProviderGripWindowOrigin(const TsSkinProvider& p) {
  const TPoint g = ProviderGripOrigin(p);
  if (!p.BorderForm) return g;
  return TPoint{g.X - BorderFormClientLeft(*p.BorderForm), g.Y - BorderFormTopOffset(*p.BorderForm)};
}

bool ProviderGripAt(const TsSkinProvider& p, const TPoint& pt) {
  const TsSkinManager* m = ProviderManager(p);
  if (m == nullptr || !p.Form() || !SkinManagerIsValidImageIndex(*m, m->Skin().CommonIndexes.GripImage)) return false;
  if (!ProviderGripVisible(p)) {
    // The box between two shown scroll bars of the form's window.
    const TSize bars = ProviderScrollBarsShown(p);
    if (bars.cx <= 0 || bars.cy <= 0) return false;
    const TRect w = WindowRectOf(p);
    const TPoint origin = FormClientOrigin(*p.Form());
    const TSize client = FormClientSize(*p.Form());
    const int32_t left = origin.X - w.Left + client.cx, top = origin.Y - w.Top + client.cy;
    if (!TRect{left, top, left + bars.cx, top + bars.cy}.Contains(pt)) return false;
  }
  const TPoint g = ProviderGripWindowOrigin(p);
  return pt.X >= g.X && pt.Y >= g.Y;
}

int32_t SnapOffset(int32_t x, int32_t a, int32_t tolerance) {
  return (x >= a - tolerance && x <= a + tolerance) ? x - a : 0;
}

gui::TWinControl* FindControlByDlgID(int32_t id, gui::TWinControl* parent) {
  if (parent == nullptr) return nullptr;
  for (int i = 0; i < parent->ComponentCount(); ++i) {
    auto* c = dynamic_cast<gui::TWinControl*>(parent->Components(i));
    if (c == nullptr) continue;
    if (c->HandleAllocated() && WindowDlgCtrlID(c->WindowHandle()) == id) return c;
    if (gui::TWinControl* found = FindControlByDlgID(id, c)) return found;
  }
  return nullptr;
}

// ---- The title bar.

int32_t ProviderCaptionTopOffset(const TsSkinProvider& p) {
  const TsSkinData* g = SkinGeneral(p);
  if (p.BorderForm && g) {
    const TRect m = ProviderExtBorderMargins(p);
    if (Zoomed(p)) {
      int32_t offset = m.Top + 4;
      if (g->MaxHeight != 0 && g->MaxHeight != g->TitleHeight) offset += std::max(0, g->TitleHeight - g->MaxHeight);
      return offset;
    }
    return m.Top + g->BITop;
  }
  return Zoomed(p) ? 6 : 0;
}

int32_t ProviderSkinTitleHeight(const TsSkinProvider& p, bool maximizedHeight) {
  const TsSkinData* g = SkinGeneral(p);
  if (g == nullptr) return 0;
  if (maximizedHeight || (g->MaxHeight != 0 && Zoomed(p))) return g->MaxHeight;
  return g->TitleHeight;
}

bool TitleIconShown(const TsSkinProvider& p) {
  if (!p.Form() || !p.TitleIcon().Visible() || !p.ShowAppIcon()) return false;
  const TFormBorderStyle s = p.Form()->BorderStyle();
  return (s == TFormBorderStyle::bsSingle || s == TFormBorderStyle::bsSizeable) && FormHasSystemMenu(*p.Form());
}

int32_t DefaultIconSize(int32_t captionHeight) {
  if (captionHeight >= -100 && captionHeight <= 8) return 1;
  if (captionHeight >= 9 && captionHeight <= 16) return 8;
  return 16;
}

int32_t TitleIconWidth(const TsSkinProvider& p) {
  if (!TitleIconShown(p)) return 0;
  if (p.TitleIcon().Width != 0) return p.TitleIcon().Width;
  return DefaultIconSize(ProviderCaptionHeight(p, true));
}

int32_t TitleIconHeight(const TsSkinProvider& p) {
  if (!TitleIconShown(p)) return 0;
  if (p.TitleIcon().Height != 0) return p.TitleIcon().Height;
  return DefaultIconSize(ProviderCaptionHeight(p, true));
}

void PlaceTitleButton(TsSkinProvider& p, TitleButtonRecord& record, int32_t& counter, const TsTitleButton* button,
                      int32_t& x) {
  const TsSkinData* g = SkinGeneral(p);
  const int32_t width = button ? ProviderUserButtonWidth(p, *button) : ProviderTitleButtonWidth(p, record);
  record.Rect.Right = x;
  record.Rect.Left = x - width;
  const int32_t height = ProviderCloseButtonHeight(p);
  if (record.LargeImage && g && g->BIVAlign == 1)
    record.Rect.Top = p.ButtonsTop;
  else
    record.Rect.Top = p.ButtonsCenter - height / 2;
  record.Rect.Bottom = record.Rect.Top + height;
  x = (p.NormalCaption && g) ? record.Rect.Left - g->BISpace : record.Rect.Left;
  ++counter;
}

namespace {
void MakeEmpty(TitleButtonRecord& r, int32_t x) { r.Rect = TRect{x, 0, x, 0}; }
}  // namespace

void ProviderLayoutTitle(TsSkinProvider& p) {
  if (!p.Form()) return;
  const TsSkinData* g = SkinGeneral(p);
  const TsSkinManager* manager = ProviderManager(p);
  const TRect m = ProviderExtBorderMargins(p);
  const int32_t fw = FormBorderWidth(p, true);
  const int32_t ch = ProviderCaptionHeight(p, true);
  const int32_t th = ProviderSkinTitleHeight(p, false);
  p.NormalCaption = p.Form()->BorderStyle() == TFormBorderStyle::bsSingle ||
                    p.Form()->BorderStyle() == TFormBorderStyle::bsSizeable;

  if (p.BorderForm) {
    p.ButtonsTop = ProviderCaptionTopOffset(p);
    p.ButtonsCenter = m.Top + th / 2 + ch - th;
    p.CaptionBottom = ch + m.Top;
    const bool maxDiffers = g && g->MaxHeight != g->TitleHeight;
    if (!(p.Form()->WindowState() == gui::TWindowState::wsMaximized && maxDiffers) && g)
      p.ButtonsCenter += g->CenterOffset;
  } else {
    p.ButtonsCenter = ch / 2;
    p.ButtonsTop = Zoomed(p) ? SystemMetric(kSmCxFrame) - 1 : 0;
    p.CaptionBottom = FormBorderWidthIfNoSkin(p, true) + ch + m.Top;
    p.ButtonsCenter += FormBorderWidth(p, false) / 2;
  }
  if (Zoomed(p)) p.ButtonsCenter += 2;

  // Icon.
  p.IconRect.Left = fw + (g ? g->BILeft : 0) + m.Left;
  if (TitleIconShown(p)) {
    p.IconRect.Right = p.IconRect.Left + TitleIconWidth(p);
    p.IconRect.Top = p.ButtonsCenter - TitleIconHeight(p) / 2;
    p.IconRect.Bottom = p.IconRect.Top + TitleIconHeight(p);
  } else {
    p.IconRect.Right = p.IconRect.Left;
    p.IconRect.Top = p.IconRect.Bottom = p.ButtonsCenter;
  }

  int32_t x = ProviderCacheWidth(p) - (g ? g->BIRight : 0) - m.Right - fw;
  p.CaptionRight = x;
  int32_t counter = 0;

  // System buttons.
  if (p.SystemMenu && ProviderHasSystemMenu(p)) {
    const SkinCommonIndexes* ci = manager ? &manager->Skin().CommonIndexes : nullptr;
    PlaceTitleButton(p, p.ButtonClose, counter, nullptr, x);
    if (p.SystemMenu->MaximizeVisible()) {
      if (ci) {
        const bool maximized = p.Form()->WindowState() == gui::TWindowState::wsMaximized;
        if (p.ButtonMax.LargeImage)
          p.ButtonMax.ImageIndex = maximized ? ci->BIConNorm : ci->BIConMax;
        else
          p.ButtonMax.ImageIndex = maximized ? ci->SIConNorm : ci->SIConMax;
      }
      PlaceTitleButton(p, p.ButtonMax, counter, nullptr, x);
    } else {
      MakeEmpty(p.ButtonMax, x);
    }
    if (p.SystemMenu->MinimizeVisible()) {
      if (ci) {
        // On a minimized window minimize is its restore, the main form's too (its own window is the one minimized).
        const bool restore = Iconic(p);
        if (p.ButtonMin.LargeImage)
          p.ButtonMin.ImageIndex = restore ? ci->BIConNorm : ci->BIConMin;
        else
          p.ButtonMin.ImageIndex = restore ? ci->SIConNorm : ci->SIConMin;
      }
      PlaceTitleButton(p, p.ButtonMin, counter, nullptr, x);
    } else {
      MakeEmpty(p.ButtonMin, x);
    }
    if (p.Form()->BorderIcons() & gui::biHelp) {
      x -= 6;
      PlaceTitleButton(p, p.ButtonHelp, counter, nullptr, x);
    } else {
      MakeEmpty(p.ButtonHelp, x);
    }
  } else {
    MakeEmpty(p.ButtonClose, x);
    MakeEmpty(p.ButtonMax, x);
    MakeEmpty(p.ButtonMin, x);
    MakeEmpty(p.ButtonHelp, x);
  }

  // User title buttons.
  TsTitleButtons& buttons = p.TitleButtons();
  if (buttons.Count() > 0) {
    x -= 6;
    const bool userImage = manager && SkinManagerIsValidImageIndex(*manager, p.UserBtnIndex);
    for (int i = 0; i < buttons.Count(); ++i) {
      TsTitleButton* b = buttons.Items(i);
      if (!b->Visible()) continue;
      b->Data.ImageIndex = (b->UseSkinData && userImage) ? p.UserBtnIndex : -1;
      PlaceTitleButton(p, b->Data, counter, b, x);
      b->Data.HitCode = kHtUserButton + i;
    }
  }
  ProviderLayoutTitleBar(p, x);
  p.ButtonsLeft = x;
  // The maximized MDI child's buttons in the menu line.
  ProviderLayoutMDIChildButtons(p);
}

TitleButtonRecord* ProviderButtonRecord(TsSkinProvider& p, int32_t code) {
  switch (code) {
    case kHtMinButton: return &p.ButtonMin;
    case kHtMaxButton: return &p.ButtonMax;
    case kHtClose: return &p.ButtonClose;
    case kHtHelp: return &p.ButtonHelp;
    case kHtMdiClose: return &p.ButtonMDIClose;
    case kHtMdiRestore: return &p.ButtonMDIMax;
    case kHtMdiMinimize: return &p.ButtonMDIMin;
    default: break;
  }
  if (code >= kHtUserButton && code < kHtTitleItem) {
    const int n = code - kHtUserButton;
    if (n < p.TitleButtons().Count() && p.TitleButtons().Items(n)->Visible()) return &p.TitleButtons().Items(n)->Data;
  }
  return nullptr;
}

}  // namespace skin
