#include "skin/forms/border_form.h"

#include <algorithm>

#include "gui/forms.h"
#include "skin/data/sskinmanager.h"
#include "skin/forms/form_window.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/provider_titlebar.h"
#include "skin/forms/provider_wndproc.h"
#include "skin/forms/system_menu.h"
#include "skin/forms/title_glow.h"
#include "skin/manager/win_values.h"

namespace skin {

using namespace wv;

namespace {

// A form's skin provider as the border window's owner.
class ProviderBorderOwner : public TacBorderOwner {
 public:
  explicit ProviderBorderOwner(TsSkinProvider& p) : p_(p) {}
  bool HasWindow() const override { return p_.Form() != nullptr; }
  void* SkinnedWindow() const override { return p_.Form() ? FormWindowHandle(*p_.Form()) : nullptr; }
  TRect SkinnedWindowRect() const override { return p_.Form() ? FormWindowRect(*p_.Form()) : TRect{}; }
  TsCommonData& FrameData() override { return p_.SkinData(); }
  TsSkinManager* FrameManager() const override { return ProviderManager(p_); }
  int32_t FrameWidth() const override { return ProviderCacheWidth(p_); }
  int32_t FrameHeight() override { return ProviderCacheHeight(p_); }
  int32_t SystemFrameWidth() const override { return FormBorderWidth(p_, false); }
  int32_t SystemCaptionHeight() const override { return ProviderCaptionHeight(p_, false); }
  int32_t SkinFrameWidth() const override { return SkinBorderWidth(p_); }
  int32_t SkinCaptionHeight() const override { return SkinTitleHeight(p_); }
  bool WindowEnabled() const override { return p_.Form() && FormWindowEnabled(*p_.Form()); }
  bool WindowZoomed() const override { return p_.Form() && FormWindowZoomed(*p_.Form()); }
  bool WindowSizeable() const override { return HasThickFrame(p_); }
  bool MovingTranslucent() const override { return (p_.StateFlags & psBlendMoving) != 0; }
  TRect TitleIconRect() const override { return p_.IconRect; }
  int32_t ClientTop() override { return ProviderClientTop(p_); }
  bool GripAt(const TPoint& pt) override {
    if (!ProviderGripVisible(p_)) return false;
    const TPoint g = ProviderGripOrigin(p_);
    return pt.X >= g.X && pt.Y >= g.Y;
  }
  void SetHotElement(int32_t code) override { ProviderSetHotElement(p_, code, true); }
  void RepaintFrame() override { ProviderPaintFrame(p_); }
  void StopTitleGlows() override { ProviderStopTitleButtonTimers(p_); }

  int32_t TitleElementAt(const TPoint& pt) override {
    TsSkinProvider& p = p_;
    // The visible window buttons, then the visible user title buttons, then the title bar's items.
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
    return ProviderTitleItemHitCode(p, pt);
  }

  bool ClientHole(TRect& hole) override {
    TsSkinProvider& p = p_;
    // While the form moves translucently, minimizes, or hides behind a snapshot, the border window shows it whole.
    // A skin change's snapshot keeps the hole: the form stays shown, and its client takes the clicks (a window
    // manager may stack the border window above it, and a client covered there gave them to the border window).
    if ((p.StateFlags & (psBlendMoving | psMinimizing | psHideSnapshot)) || !p.Form()) return false;
    const int32_t left = ProviderClientLeft(p);
    int32_t top = ProviderClientTop(p);
    const TSize client = FormClientSize(*p.Form());
    if (!(p.StateFlags & psInNcActivate))
      top -= ProviderMenuLineCount(p) * ProviderMenuLineHeight(p) + (ProviderMenuLineCount(p) > 0 ? 1 : 0);
    hole = TRect{left, top, left + client.cx, ProviderClientTop(p) + client.cy};
    return true;
  }

 private:
  TsSkinProvider& p_;
};

}  // namespace

TacBorderForm::TacBorderForm(TsSkinProvider& owner)
    : Owner(nullptr), Provider(&owner), SkinData(&owner.SkinData()),
      providerOwner_(std::make_unique<ProviderBorderOwner>(owner)) {
  Owner = providerOwner_.get();
  BorderFormCreateWindow(*this);
}

TacBorderForm::TacBorderForm(TacBorderOwner& owner) : Owner(&owner), Provider(nullptr), SkinData(&owner.FrameData()) {
  BorderFormCreateWindow(*this);
}

TRect SkinExtBorderMargins(const TacBorderForm& bf) {
  const TsSkinManager* m = bf.Owner->FrameManager();
  return m ? m->Skin().ShadowMargins : TRect{};
}

int32_t BorderFormTopOffset(const TacBorderForm& bf) {
  const TacBorderOwner& o = *bf.Owner;
  const int32_t systemCaption = o.SystemCaptionHeight();
  const int32_t skinTitle = systemCaption != 0 ? o.SkinCaptionHeight() : 0;
  return SkinExtBorderMargins(bf).Top - o.SystemFrameWidth() + skinTitle - systemCaption;
}

int32_t BorderFormClientLeft(const TacBorderForm& bf) {
  const TacBorderOwner& o = *bf.Owner;
  return SkinExtBorderMargins(bf).Left + o.SkinFrameWidth() - o.SystemFrameWidth();
}

TRect BorderFormScreenRect(const TacBorderForm& bf) {
  TacBorderOwner& o = *bf.Owner;
  if (!o.HasWindow()) return TRect{};
  const TRect w = o.SkinnedWindowRect();
  const int32_t left = w.Left - BorderFormClientLeft(bf), top = w.Top - BorderFormTopOffset(bf);
  return TRect{left, top, left + o.FrameWidth(), top + o.FrameHeight()};
}

namespace {

// The frame's outline: the picture inside the margins.
TRect FrameOutline(const TacBorderForm& bf) {
  const TRect m = SkinExtBorderMargins(bf);
  return TRect{m.Left, m.Top, bf.Owner->FrameWidth() - m.Right, bf.Owner->FrameHeight() - m.Bottom};
}

// The sizing zone: the outline, reaching out into the shadow by the skin's align offsets and, for a window that
// sizes, by at least the sizing band its own frame would have without the skin (the shadow's inner band, which a
// user takes for the window's edge), never beyond the shadow.
TRect SizingZone(const TacBorderForm& bf) {
  TacBorderOwner& o = *bf.Owner;
  const TRect m = SkinExtBorderMargins(bf);
  const TsSkinManager* manager = o.FrameManager();
  int32_t out[4] = {0, 0, 0, 0};  // left, top, right, bottom
  if (manager) {
    const TsSkinData& g = manager->SkinData();
    out[0] = g.AlignOffset;
    out[1] = g.AlignOffsetT;
    out[2] = g.AlignOffsetR;
    out[3] = g.AlignOffsetB;
  }
  if (o.WindowSizeable() && !o.WindowZoomed()) {
    const int32_t band = o.SystemFrameWidth();
    const int32_t margin[4] = {m.Left, m.Top, m.Right, m.Bottom};
    for (int i = 0; i < 4; ++i) out[i] = std::max(out[i], std::min(band, margin[i]));
  }
  const TRect outline = FrameOutline(bf);
  return TRect{outline.Left - out[0], outline.Top - out[1], outline.Right + out[2], outline.Bottom + out[3]};
}

}  // namespace

bool BorderFormOverShadow(const TacBorderForm& bf, const TPoint& p) {
  if (bf.Owner->MovingTranslucent() || bf.Owner->WindowZoomed()) return false;
  return !SizingZone(bf).Contains(p);
}

int32_t BorderFormHitTestAt(TacBorderForm& bf, const TPoint& pt) {
  TacBorderOwner& o = *bf.Owner;
  if (!o.HasWindow() || !o.WindowEnabled()) return kHtTransparent;

  // Caption elements first.
  if (const int32_t element = o.TitleElementAt(pt)) return element;

  // The sizing bands: from the zone's edges (in the shadow) to the frame's width inside the outline (4 pixels at
  // the top, above the caption).
  const TRect zone = SizingZone(bf);
  const TRect outline = FrameOutline(bf);
  const int32_t frame = o.SkinFrameWidth();
  if (!o.WindowZoomed() && o.WindowSizeable() && zone.Contains(pt)) {
    const bool top = pt.Y < outline.Top + 4;
    const bool bottom = pt.Y >= outline.Bottom - frame;
    const bool left = pt.X < outline.Left + frame;
    const bool right = pt.X >= outline.Right - frame;
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
  const int32_t captionBottom = o.SystemFrameWidth() + o.SystemCaptionHeight() + BorderFormTopOffset(bf);
  const int32_t cacheWidth = o.FrameWidth();
  if (pt.Y >= 0 && pt.Y < captionBottom && pt.X >= m.Left && pt.X < cacheWidth - m.Right)
    return o.TitleIconRect().Contains(pt) ? kHtSysMenu : kHtCaption;
  const int32_t clientTop = o.ClientTop();
  if (pt.Y >= captionBottom && pt.Y < clientTop && pt.X >= m.Left && pt.X < cacheWidth - m.Right) return kHtMenu;
  if (pt.Y >= clientTop && o.GripAt(pt)) return kHtBottomRight;
  return kHtTransparent;
}

}  // namespace skin
