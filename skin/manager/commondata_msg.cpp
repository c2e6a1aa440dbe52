// How the skin data answers the library command message and what it does with the window messages that concern
// the skin before its owner handles them.
#include <cstring>
#include <string>
#include <vector>

#include "gui/buttons.h"
#include "gui/forms.h"
#include "gui/stdctrls.h"
#include "skin/manager/commondata.h"
#include "skin/manager/commondata_window.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/manager/sskinmenus.h"
#include "skin/manager/svclutils.h"

namespace skin {

namespace {

constexpr uint32_t kRedrawNowAll = 0x585;     // RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME | RDW_UPDATENOW
constexpr uint32_t kRedrawInvalidFrame = 0x401;  // RDW_INVALIDATE | RDW_FRAME
constexpr uint32_t kRedrawNoErase = 0xB1;     // RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_ALLCHILDREN
constexpr uint32_t kFrameChangedInPlace = 0x37;
constexpr uint32_t kFrameChangedQuiet = 0x727;

const SkinSectionRecord* SectionOf(TsCommonData& data) {
  TsSkinManager* m = data.SkinManager();
  if (m == nullptr || !SkinManagerIsValidSectionIndex(*m, data.SkinIndex)) return nullptr;
  return &m->Skin().Sections[size_t(data.SkinIndex)];
}

gui::TWinControl* WindowedOwner(TsSkinDataOwner& o) { return dynamic_cast<gui::TWinControl*>(o.Control()); }

std::vector<gui::TControl*> ChildrenOf(gui::TWinControl* w) {
  std::vector<gui::TControl*> children;
  if (w != nullptr)
    for (int i = 0; i < w->ControlCount(); ++i) children.push_back(w->Controls(i));
  return children;
}

// A command to a child: a windowed child with its window by SendMessage, every other one by Perform.
LRESULT ToChild(gui::TControl* child, uint16_t code, LPARAM lp, uint16_t low = 0) {
  const WPARAM w = SkinCommandWParam(code, low);
  const OwnLibraryCommand own(w, lp);
#ifdef _WIN32
  if (auto* wc = dynamic_cast<gui::TWinControl*>(child); wc && wc->HandleAllocated())
    return SendMessageA(wc->WindowHandle(), WM_SKINCOMMAND, w, lp);
#endif
  return child->Perform(WM_SKINCOMMAND, w, lp);
}

void DropChildrenCaches(gui::TWinControl* w) {
  for (gui::TControl* child : ChildrenOf(w))
    if (w->ContainsControl(child) && !child->IsDestroying()) ToChild(child, AC_DROPCACHE, 0);
}

void ShrinkCache(TsCommonData& data) {
  if (data.CacheBmp) data.CacheBmp->SetSize(0, 0);
}

// The colours of a state block as the section stores them, set on the owner where they differ (not the custom
// ones); true when something changed.
bool SetStateColours(TsCommonData& data, TsSkinDataOwner& o, const SkinStateBlock& b) {
  bool changed = false;
  if (!data.CustomColor && o.Color() != b.Color) {
    o.SetColor(b.Color);
    changed = true;
  }
  if (!data.CustomFont && o.FontColor() != b.FontColor) {
    data.CtrlState |= csSettingFont;
    o.SetFontColor(b.FontColor);
    data.CtrlState &= ~csSettingFont;
    changed = true;
  }
  return changed;
}

// The normal colours back on a skin-coloured owner that left its active look.
void NormalColoursBack(TsCommonData& data, TsSkinDataOwner& o) {
  if (!KindSkinColoured(data.ControlKind)) return;
  bool changed = false;
  if (!CommonDataIsFocusedLook(data) && !CommonDataFullyTransparent(data))
    changed = SetStateColours(data, o, SectionOf(data)->NormalState);
  if (o.Visible()) {
    data.BGChanged = true;
    if (changed) o.InvalidateWindow();
    o.PaintFrame();
  }
}

LRESULT AnswerColour(TsCommonData& data, TsSkinDataOwner& o) {
  if (!CommonDataIsSkinned(data)) return LRESULT(ColorToRGB(o.Color()));
  const SkinStateBlock& b = SectionOf(data)->NormalState;
  const int32_t t = b.Transparency;
  if (t <= 0) return LRESULT(b.Color);
  const TColor parent = o.HasParent() ? o.ParentColor() : ColorToRGB(o.Color());
  if (t >= 100) return LRESULT(parent);
  return LRESULT(MixWithTransparency(b.Color, parent, t));
}

LRESULT AnswerUpdateLocked(TsCommonData& data, TsSkinDataOwner& o) {
  if (CommonDataIsUpdating(data, false)) return 1;
  if (!CommonDataCheckBgFlags(data) || data.CustomColor) return 0;
  if (!o.Windowed()) return 0;
  if (data.CacheBmp && !data.CacheBmp->Empty()) {
    const TRect b = o.Bounds();
    return (data.CacheBmp->Width() != b.Width() || data.CacheBmp->Height() != b.Height()) ? 1 : 0;
  }
  o.Perform(AC_UPDATECACHE, 0);
  return (!data.CacheBmp || data.CacheBmp->Empty()) ? 1 : 0;
}

}  // namespace

bool CommonDataMouseInside(TsCommonData& Data) {
  OwnerOf o(Data);
  int32_t extraRight = 0, extraBottom = 0;
  HWND h = CommonDataHandle(Data);
#ifdef _WIN32
  // Skinned scroll bars of an adapter lie outside the client area the system reports.
  if (h != nullptr && SendLibraryCommand(h, AC_GETADAPTER, 0) != 0) {
    const LONG style = GetWindowLongA(h, GWL_STYLE);
    const int32_t size = SkinManagerScrollWidth(Data.SkinManager());
    if (style & WS_VSCROLL) extraRight = size;
    if (style & WS_HSCROLL) extraBottom = size;
  }
#endif
  if (gui::TControl* c = o->Control()) {
    const TPoint p = c->ScreenToClient(gui::Screen->CursorPos());
    const TRect r = c->ClientRect();
    return p.X >= r.Left && p.Y >= r.Top && p.X < r.Right + extraRight && p.Y < r.Bottom + extraBottom;
  }
  return detail::CursorInClient(h, extraRight, extraBottom);
}

bool CommonDataMessage(gui::TMessage& Msg, TsCommonData* Data) {
  if (Data == nullptr || Msg.Msg != WM_SKINCOMMAND) return true;
  if (!AcceptSkinCommand(Msg)) return true;
  TsCommonData& d = *Data;
  OwnerOf o(d);
  const LPARAM manager = reinterpret_cast<LPARAM>(d.SkinManager());
  const uint16_t low = SkinCommandArgument(Msg.WParam);
  switch (SkinCommandCode(Msg.WParam)) {
    case AC_SKINLOADED:
      if (Msg.LParam != manager) return true;
      CommonDataStopAnimation(d);
      CommonDataSetDefaultSection(d);
      CommonDataSetSectionFromList(d, {d.SkinSection});
      ShrinkCache(d);
      CommonDataUpdateTransparency(d, false);
      return true;
    case AC_SKINREMOVED: {
      if (Msg.LParam != manager) return true;
      CommonDataStopAnimation(d);
      if (auto* component = dynamic_cast<gui::TComponent*>(d.SkinManager()); component && component->IsDestroying())
        d.FSkinManager = nullptr;
      d.BorderIndex = d.SkinIndex = d.TextureIndex = d.HotTextureIndex = -1;
      d.Updating = 1;
      ShrinkCache(d);
      if (o->IsEdit()) {
        if (!d.CustomColor) o->SetColor(clWindow);
        if (!d.CustomFont) o->SetFontColor(clWindowText);
        o->Redraw(kRedrawInvalidFrame);
      } else if (gui::TWinControl* w = WindowedOwner(*o)) {
        for (gui::TControl* child : ChildrenOf(w))
          if (auto* label = dynamic_cast<gui::TCustomLabel*>(child)) label->Font().SetColor(clWindowText);
      }
      return false;  // the owner's own handling runs too
    }
    case AC_SKINREFRESH:
      if (Msg.LParam != manager) return true;
      CommonDataStopAnimation(d);
      d.BGChanged = true;
      d.Updating = 0;
      CommonDataUpdateColors(d, true);
      CommonDataUpdateTransparency(d, false);
      if (KindFramed(d.ControlKind) && o->Windowed()) o->FrameChanged(kFrameChangedInPlace);
      return true;
    case AC_FLUSHREPAINT:
      if (d.Updating == 1 && o->Windowed()) {
        if (!CommonDataIsUpdating(d, true)) o->Redraw(kRedrawNowAll);
        RepaintChildControls(WindowedOwner(*o));
      }
      return true;
    case AC_ISSKINNED:
      Msg.Result = 1;
      return true;
    case AC_SETREPAINTPENDING:
      d.Updating = low == 1 ? 1 : 0;
      return true;
    case AC_ISUPDATELOCKED:
      Msg.Result = AnswerUpdateLocked(d, *o);
      return true;
    case AC_GETTAGBYTE:
      Msg.Result = d.PaintSkipped;
      return true;
    case AC_SECTIONCHANGED:
      if (CommonDataIsOwnSection(d, reinterpret_cast<const char*>(Msg.LParam))) CommonDataRepaint(d, false);
      return true;
    case AC_SETSECTION: {
      const auto* record = reinterpret_cast<const TacSectionRecord*>(Msg.LParam);
      if (record == nullptr || record->SectionName == nullptr) {
        Msg.Result = 0;
        return true;
      }
      CommonDataSetSkinSection(d, record->SectionName);
      Msg.Result = 1;
      return true;
    }
    case AC_STOPANIMATION:
      CommonDataStopAnimation(d);
      return true;
    case AC_SETBGCHANGED:
      d.BGChanged = true;
      return true;
    case AC_REPAINT:
      CommonDataRepaint(d, false);
      return true;
    case AC_ISCACHEUSABLE:
      Msg.Result = 1;
      return true;
    case AC_UPDATEBGCHANGED: {
      const bool stale = CommonDataUseParentCache(d);
      d.BGChanged = d.BGChanged || stale;
      if (gui::TWinControl* w = WindowedOwner(*o)) {
        if (low == 1) o->Redraw(kRedrawNoErase);
        if (stale)
          for (gui::TControl* child : ChildrenOf(w))
            if (w->ContainsControl(child) && !child->IsDestroying()) ToChild(child, AC_UPDATEBGCHANGED, 0, low);
      }
      return true;
    }
    case AC_GETCOLOR:
      if (o->Control() == nullptr) return false;
      Msg.Result = AnswerColour(d, *o);
      return true;
    case AC_SETTAGBYTE:
      d.PaintSkipped = 1;
      return true;
    case AC_UPDATECACHE:
      d.BGChanged = false;
      return true;
    case AC_GETSKININDEX:
      if (auto* index = reinterpret_cast<int32_t*>(Msg.LParam)) *index = d.SkinIndex;
      return true;
    case AC_DROPCACHE:
      if (d.CacheBmp) {
        DropChildrenCaches(WindowedOwner(*o));
        ShrinkCache(d);
        d.BGChanged = true;
      }
      return true;
    case AC_GETBACKGROUND: {
      auto* info = reinterpret_cast<BackgroundInfo*>(Msg.LParam);
      if (info == nullptr) return true;
      int32_t state = 0;
      if (d.Focused)
        state = 1;
      else if (d.MouseAbove == 1)
        state = KindContainer(d.ControlKind) ? 0 : 1;
      CommonDataGetBackground(d, *info, state, nullptr);
      return true;
    }
    case AC_TRANSPARENCYFLAGS:
      if (Msg.LParam == 1) {
        CommonDataUpdateTransparency(d, true);
      } else {
        if (d.CtrlState == csUndecided) CommonDataUpdateTransparency(d, false);
        Msg.Result = d.CtrlState;
      }
      return true;
    case AC_GETSKINDATA:
      Msg.Result = reinterpret_cast<LRESULT>(Data);
      return true;
    case AC_SETPAINTTARGET:
      if (Msg.LParam != 0)
        d.CtrlState |= csPrinting;
      else
        d.CtrlState &= ~csPrinting;
      d.PrintDC = reinterpret_cast<void*>(Msg.LParam);
      return true;
    case AC_PAINTOUTEREFFECT:
      if (auto* info = reinterpret_cast<BackgroundInfo*>(Msg.LParam)) CommonDataPaintOuterEffect(d, *info, low);
      return true;
    case AC_SCROLLSIZECHANGED:
      if (gui::TWinControl* w = WindowedOwner(*o)) {
        if (o->HasWindow()) o->FrameChanged(kFrameChangedQuiet);
        BroadcastToChildren(w, Msg);
      }
      return true;
    case AC_GETAPPLICATION:
      Msg.Result = reinterpret_cast<LRESULT>(gui::Application);
      return true;
    case AC_GETCONTROLRECT:
      if (auto* r = reinterpret_cast<TRect*>(Msg.LParam)) *r = o->Control() ? o->ClientRect() : TRect{};
      return true;
    default:
      return false;
  }
}

bool CommonDataWndProc(gui::TMessage& Msg, TsCommonData* Data) {
  if (Data == nullptr) return false;
  if (Msg.Msg == WM_SKINCOMMAND) return CommonDataMessage(Msg, Data);
  TsCommonData& d = *Data;
  OwnerOf o(d);
  TsSkinManager* m = d.SkinManager();
  switch (Msg.Msg) {
    case WM_MOVE:
      if (!CommonDataIsSkinned(d)) break;
      if (d.OuterEffects.Visibility == ovAlways) CommonDataRefreshParentCache(d);
      if (CommonDataUseParentCache(d)) {
        d.BGChanged = true;
        o->Perform(AC_UPDATEBGCHANGED, 0, 1);
      }
      HideGlow(d.GlowID, false);
      break;
    case WM_SIZE:
      if (!CommonDataIsSkinned(d)) break;
      d.BGChanged = true;
      if (d.OuterEffects.Visibility == ovAlways) CommonDataRefreshParentCache(d);
      if (gui::TWinControl* w = WindowedOwner(*o); w && SectionOf(d)->NormalState.GradientPercent >= 1)
        for (gui::TControl* child : ChildrenOf(w))
          if (w->ContainsControl(child) && !child->IsDestroying()) ToChild(child, AC_UPDATEBGCHANGED, 0, 1);
      HideGlow(d.GlowID, false);
      break;
    case WM_SETFOCUS: {
      if (!o->Windowed() || !CommonDataIsSkinned(d) || !o->CanFocus() || !o->TabStop()) break;
      if (CommonDataFullyTransparent(d)) break;
      d.BGChanged = true;
      d.Focused = 1;
      const SkinSectionRecord& s = *SectionOf(d);
      if (KindSkinColoured(d.ControlKind) && s.States >= 2) {
        if (SetStateColours(d, *o, s.HotState)) o->InvalidateWindow();
        o->PaintFrame();
      }
      break;
    }
    case WM_KILLFOCUS:
      if (!o->Windowed() || !CommonDataIsSkinned(d) || !o->CanFocus()) break;
      if (CommonDataFullyTransparent(d)) break;
      d.BGChanged = true;
      d.Focused = 0;
      NormalColoursBack(d, *o);
      break;
    case WM_FONTCHANGE:
    case gui::CM_ENABLEDCHANGED:
      d.MouseAbove = 0;
      d.Focused = 0;
      if (!o->Enabled()) HideGlow(d.GlowID, false);
      break;
    case WM_CONTEXTMENU:
      if (gui::TControl* c = o->Control(); c && c->PopupMenu() && m != nullptr)
        if (TsSkinableMenus* menus = SkinableMenusOf(m)) InstallPopupMenuHandlers(*menus, *c->PopupMenu(), m->Active());
      break;
    case WM_PARENTNOTIFY:
      if (o->Windowed() && LOWORD(Msg.WParam) == WM_CREATE) NotifyParentChildChanged(o->Control());
      break;
    case gui::CM_VISIBLECHANGED:
      if (m == nullptr || m->Options.OptimizingPriority != opMemory || o->Destroying() || !d.CacheBmp) break;
      if (Msg.WParam == 0) {
        ShrinkCache(d);
        if (gui::TWinControl* w = WindowedOwner(*o)) DropChildrenCaches(w);
      } else {
        d.Updating = 0;
      }
      d.BGChanged = true;
      break;
    case gui::CM_SHOWINGCHANGED:
      if (o->Control() && o->Visible()) CommonDataLoaded(d);
      break;
    case gui::CM_MOUSEENTER: {
      if (!CommonDataIsSkinned(d) || d.MouseAbove != 0 || (m && m->Options.NoMouseHover)) break;
      if (CommonDataFullyTransparent(d)) break;
      gui::TWinControl* w = WindowedOwner(*o);
      TsSkinManager* def = DefaultManager();
      if (w != nullptr && !o->Designing() && def != nullptr) {
        auto* except = reinterpret_cast<gui::TControl*>(Msg.LParam);
        for (gui::TControl* child : ChildrenOf(w)) {
          auto* button = dynamic_cast<gui::TSpeedButton*>(child);
          if (button == nullptr || button == o->Control() || child == except) continue;
          auto* cd = reinterpret_cast<TsCommonData*>(button->Perform(WM_SKINCOMMAND, SkinCommandWParam(AC_GETSKINDATA), 0));
          if (cd != nullptr && cd->MouseAbove) button->Perform(gui::CM_MOUSELEAVE, 0, 0);
        }
        if (!KindWithoutHover(d.ControlKind)) d.MouseAbove = 1;
        SkinManagerSetHotControl(def, o->Control());
        if (!KindWithoutGlow(d.ControlKind)) CommonDataShowGlow(d, false, nullptr, true, 0);
      } else if (!KindWithoutHover(d.ControlKind)) {
        d.MouseAbove = 1;
      }
      break;
    }
    case gui::CM_MOUSELEAVE:
      if (o->Control() == nullptr || !CommonDataIsSkinned(d) || (m && m->Options.NoMouseHover) || o->Designing())
        break;
      if (CommonDataMouseInside(d)) break;
      if (!KindWithoutHover(d.ControlKind)) d.MouseAbove = 0;
      if (!KindWithoutGlow(d.ControlKind)) HideGlow(d.GlowID, true);
      NormalColoursBack(d, *o);
      break;
    default:
      break;
  }
  return false;
}

}  // namespace skin
