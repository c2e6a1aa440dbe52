#include "skin/forms/border_form.h"

#include <algorithm>

#include "gui/forms.h"
#include "skin/engine/sskinmanager.h"
#include "skin/forms/form_window.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/provider_titlebar.h"
#include "skin/forms/system_menu.h"
#include "skin/forms/title_glow.h"
#include "skin/forms/win_values.h"

namespace skin {

using namespace wv;

TacBorderForm::TacBorderForm(TsSkinProvider& owner)
    : Owner(&owner), Provider(&owner), SkinData(&owner.SkinData()) {
  BorderFormCreateWindow(*this);
}

TRect SkinExtBorderMargins(const TacBorderForm& bf) {
  const TsSkinManager* m = ProviderManager(*bf.Provider);
  return m ? m->Skin().ShadowMargins : TRect{};
}

int32_t BorderFormTopOffset(const TacBorderForm& bf) {
  const TsSkinProvider& p = *bf.Provider;
  const int32_t systemCaption = ProviderCaptionHeight(p, false);
  const int32_t skinTitle = systemCaption != 0 ? SkinTitleHeight(p) : 0;
  return SkinExtBorderMargins(bf).Top - FormBorderWidth(p, false) + skinTitle - systemCaption;
}

int32_t BorderFormClientLeft(const TacBorderForm& bf) {
  const TsSkinProvider& p = *bf.Provider;
  return SkinExtBorderMargins(bf).Left + SkinBorderWidth(p) - FormBorderWidth(p, false);
}

TRect BorderFormScreenRect(const TacBorderForm& bf) {
  TsSkinProvider& p = *bf.Provider;
  if (!p.Form()) return TRect{};
  const TRect w = FormWindowRect(*p.Form());
  const int32_t left = w.Left - BorderFormClientLeft(bf), top = w.Top - BorderFormTopOffset(bf);
  return TRect{left, top, left + ProviderCacheWidth(p), top + ProviderCacheHeight(p)};
}

namespace {

// The frame's outline inside the margins, extended by the skin's align offsets: the sizing zone.
TRect SizingZone(const TacBorderForm& bf) {
  TsSkinProvider& p = *bf.Provider;
  const TRect m = SkinExtBorderMargins(bf);
  const TsSkinManager* manager = ProviderManager(p);
  const int32_t w = ProviderCacheWidth(p), h = ProviderCacheHeight(p);
  TRect zone{m.Left, m.Top, w - m.Right, h - m.Bottom};
  if (manager) {
    const TsSkinData& g = manager->SkinData();
    zone.Left -= g.AlignOffset;
    zone.Right += g.AlignOffsetR;
    zone.Top -= g.AlignOffsetT;
    zone.Bottom += g.AlignOffsetB;
  }
  return zone;
}

bool Zoomed(const TacBorderForm& bf) { return bf.Provider->Form() && FormWindowZoomed(*bf.Provider->Form()); }

}  // namespace

bool BorderFormOverShadow(const TacBorderForm& bf, const TPoint& p) {
  if ((bf.Provider->StateFlags & psBlendMoving) || Zoomed(bf)) return false;
  return !SizingZone(bf).Contains(p);
}

int32_t BorderFormHitTestAt(TacBorderForm& bf, const TPoint& pt) {
  TsSkinProvider& p = *bf.Provider;
  if (!p.Form() || !FormWindowEnabled(*p.Form())) return kHtTransparent;

  // Caption elements: the visible window buttons, then the visible user title buttons.
  if (p.SystemMenu && ProviderHasSystemMenu(p)) {
    const TsSystemMenu& sm = *p.SystemMenu;
    if (p.ButtonClose.Rect.Contains(pt)) return sm.CloseEnabled() ? kHtClose : kHtCaption;
    if (sm.MaximizeVisible() && p.ButtonMax.Rect.Contains(pt))
      return (sm.MaximizeEnabled() || sm.RestoreEnabled()) ? kHtMaxButton : kHtCaption;
    if (sm.MinimizeVisible() && p.ButtonMin.Rect.Contains(pt))
      return (sm.MinimizeEnabled() || FormWindowIconic(*p.Form())) ? kHtMinButton : kHtCaption;
    if ((p.Form()->BorderIcons() & gui::biHelp) && p.ButtonHelp.Rect.Contains(pt)) return kHtHelp;
  }
  TsTitleButtons& buttons = p.TitleButtons();
  for (int i = 0; i < buttons.Count(); ++i) {
    TsTitleButton* b = buttons.Items(i);
    if (b->Visible() && b->Data.Rect.Contains(pt)) return b->Enabled ? kHtUserButton + i : kHtCaption;
  }
  if (const int32_t item = ProviderTitleItemHitCode(p, pt)) return item;

  const TRect zone = SizingZone(bf);
  const int32_t frame = FormBorderWidth(p, true);
  if (!Zoomed(bf) && HasThickFrame(p) && zone.Contains(pt)) {
    const bool top = pt.Y < zone.Top + 4;
    const bool bottom = pt.Y >= zone.Bottom - frame;
    const bool left = pt.X < zone.Left + frame;
    const bool right = pt.X >= zone.Right - frame;
    if (top && left) return kHtTopLeft;
    if (top && right) return kHtTopRight;
    if (bottom && left) return kHtBottomLeft;
    if (bottom && right) return kHtBottomRight;
    if (top) return kHtTop;
    if (bottom) return kHtBottom;
    if (left) return kHtLeft;
    if (right) return kHtRight;
  }
  const TRect m = SkinExtBorderMargins(bf);
  const int32_t captionBottom = FormBorderWidth(p, false) + ProviderCaptionHeight(p, false) + BorderFormTopOffset(bf);
  const int32_t cacheWidth = ProviderCacheWidth(p);
  if (pt.Y >= 0 && pt.Y < captionBottom && pt.X >= m.Left && pt.X < cacheWidth - m.Right)
    return p.IconRect.Contains(pt) ? kHtSysMenu : kHtCaption;
  const int32_t clientTop = ProviderClientTop(p);
  if (pt.Y >= captionBottom && pt.Y < clientTop && pt.X >= m.Left && pt.X < cacheWidth - m.Right) return kHtMenu;
  if (pt.Y >= clientTop && ProviderGripVisible(p)) {
    const TPoint g = ProviderGripOrigin(p);
    if (pt.X >= g.X && pt.Y >= g.Y) return kHtBottomRight;
  }
  return kHtTransparent;
}

}  // namespace skin
