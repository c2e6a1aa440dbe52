#include "skin/forms/provider_mdi.h"

#include <algorithm>

#include "gui/forms.h"
#include "skin/data/loaded_skin.h"
#include "skin/data/sskinmanager.h"
#include "skin/manager/commondata.h"
#include "skin/forms/border_form.h"
#include "skin/forms/form_window.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/glued_forms.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/provider_wndproc.h"
#include "skin/forms/smdiform.h"
#include "skin/forms/system_menu.h"
#include "skin/manager/win_values.h"
#include "skin/painters/state_images.h"

namespace skin {

using namespace wv;

namespace {

bool Gone(const TsSkinProvider& p) { return p.IsDestroying() || p.Form() == nullptr || p.Form()->IsDestroying(); }

gui::TCustomForm* MaximizedChildOf(const gui::TCustomForm* form) {
  if (form == nullptr || form->FormStyle() != gui::TFormStyle::fsMDIForm) return nullptr;
  gui::TCustomForm* child = form->ActiveMDIChild();
  if (child == nullptr || child->IsDestroying() || !FormWindowExists(*child) || !FormWindowZoomed(*child)) return nullptr;
  return child;
}

// The skinned system menu of the maximized child when it wears a provider (nullptr otherwise).
const TsSystemMenu* ChildSystemMenu(const TsSkinProvider& parent) {
  TsSkinProvider* child = ProviderOfForm(ProviderMaximizedMDIChild(parent));
  return child != nullptr ? child->SystemMenu.get() : nullptr;
}

}  // namespace

bool ProviderIsMDIChild(const TsSkinProvider& p) {
  return p.Form() != nullptr && p.Form()->FormStyle() == gui::TFormStyle::fsMDIChild && p.Form()->MDIParent() != nullptr;
}

bool ProviderIsMDIParent(const TsSkinProvider& p) {
  return p.Form() != nullptr && p.Form()->FormStyle() == gui::TFormStyle::fsMDIForm;
}

TsSkinProvider* ProviderOfForm(gui::TCustomForm* form) { return form != nullptr ? SkinProviderOf(*form) : nullptr; }

TsSkinProvider* ProviderMDIParentOf(const TsSkinProvider& child) {
  if (!ProviderIsMDIChild(child)) return nullptr;
  TsSkinProvider* parent = ProviderOfForm(child.Form()->MDIParent());
  return (parent != nullptr && !Gone(*parent)) ? parent : nullptr;
}

gui::TCustomForm* ProviderMaximizedMDIChild(const TsSkinProvider& p) { return MaximizedChildOf(p.Form()); }

bool ProviderHiddenByMaximizedSibling(const TsSkinProvider& p) {
  if (!ProviderIsMDIChild(p)) return false;
  const gui::TCustomForm* maximized = MaximizedChildOf(p.Form()->MDIParent());
  return maximized != nullptr && maximized != p.Form();
}

bool MDIChildMinimizeAllowed(const TsSkinProvider& parent) {
  const gui::TCustomForm* child = ProviderMaximizedMDIChild(parent);
  if (child == nullptr) return false;
  if (const TsSystemMenu* sm = ChildSystemMenu(parent)) return sm->MinimizeEnabled();
  return (child->BorderIcons() & gui::biMinimize) != 0;
}

bool MDIChildRestoreAllowed(const TsSkinProvider& parent) {
  const gui::TCustomForm* child = ProviderMaximizedMDIChild(parent);
  if (child == nullptr) return false;
  if (const TsSystemMenu* sm = ChildSystemMenu(parent)) return sm->RestoreEnabled();
  return (child->BorderIcons() & gui::biMaximize) != 0;
}

void ProviderLayoutMDIChildButtons(TsSkinProvider& p) {
  TitleButtonRecord* records[] = {&p.ButtonMDIClose, &p.ButtonMDIMax, &p.ButtonMDIMin};
  for (TitleButtonRecord* r : records) r->Rect = TRect{};
  if (!ProviderShowMDIChildButtons(p)) return;
  const TRect margins = ProviderExtBorderMargins(p);
  const int32_t lineTop = FormBorderWidthIfNoSkin(p, true) + ProviderCaptionHeight(p, true) + margins.Top;
  const int32_t lineHeight = ProviderMenuLineHeight(p);
  const int32_t w = ProviderMDIButtonWidth(p), h = ProviderMDIButtonHeight(p);
  const int32_t top = lineTop + std::max(0, lineHeight - h) / 2;
  int32_t right = ProviderCacheWidth(p) - FormBorderWidth(p, true) - margins.Right;
  for (TitleButtonRecord* r : records) {
    r->Rect = TRect{right - w, top, right, top + h};
    right -= w + 1;
  }
}

bool ProviderMDIButtonImage(TsSkinProvider& p, int32_t code, int32_t& imageIndex, bool& disabled) {
  TsSkinManager* m = ProviderManager(p);
  disabled = false;
  imageIndex = -1;
  if (m == nullptr) return false;
  const SkinCommonIndexes& ci = m->Skin().CommonIndexes;
  switch (code) {
    case kHtMdiMinimize:
      // Not drawn at all when the child may not be minimized.
      if (!MDIChildMinimizeAllowed(p)) return false;
      imageIndex = p.ButtonMDIMin.ImageIndex;
      return true;
    case kHtMdiRestore:
      imageIndex = p.ButtonMDIMax.ImageIndex;
      if (ProviderMaximizedMDIChild(p) == nullptr && p.Form()->ActiveMDIChild() != nullptr)
        imageIndex = SkinManagerIsValidImageIndex(*m, ci.SIConNorm) ? ci.SIConNorm : ci.BIConNorm;
      disabled = !MDIChildRestoreAllowed(p);
      return true;
    case kHtMdiClose:
      imageIndex = p.ButtonMDIClose.ImageIndex;
      return true;
    default: return false;
  }
}

void ProviderPaintMDIChildIcon(TsSkinProvider& p) {
  Bitmap* cache = p.SkinData().CacheBmp.get();
  gui::TCustomForm* child = ProviderMaximizedMDIChild(p);
  if (cache == nullptr || child == nullptr || !ProviderShowMDIChildButtons(p)) return;
  const TRect margins = ProviderExtBorderMargins(p);
  const int32_t lineTop = FormBorderWidthIfNoSkin(p, true) + ProviderCaptionHeight(p, true) + margins.Top;
  const int32_t size = ProviderMenuLineHeight(p) - 2;
  if (size <= 0) return;
  const int32_t left = FormBorderWidth(p, true) + 1 + margins.Left;
  DrawFormIconOf(*child, *cache, TRect{left, lineTop + 1, left + size, lineTop + 1 + size});
}

void ProviderPaintMDIChildButtons(TsSkinProvider& p) {
  Bitmap* cache = p.SkinData().CacheBmp.get();
  TsSkinManager* m = ProviderManager(p);
  if (cache == nullptr || m == nullptr || !ProviderShowMDIChildButtons(p)) return;
  for (int32_t code : {kHtMdiMinimize, kHtMdiRestore, kHtMdiClose}) {
    TitleButtonRecord& r = *ProviderButtonRecord(p, code);
    if (RectIsEmpty(r.Rect)) continue;
    int32_t image = -1;
    bool disabled = false;
    if (!ProviderMDIButtonImage(p, code, image, disabled)) continue;
    if (const SkinImageRecord* rec = ValidImage(m, image))
      DrawButtonImage(*cache, *rec, r.Rect, ProviderButtonVariantState(p, r.State, !disabled, false));
  }
}

void ProviderRefreshMDIButtons(TsSkinProvider& parent) {
  if (Gone(parent)) return;
  if (!ProviderShowMDIChildButtons(parent)) {
    // Gone from the line: none of them stays hot or pressed for the next maximized child.
    for (TitleButtonRecord* r : {&parent.ButtonMDIClose, &parent.ButtonMDIMax, &parent.ButtonMDIMin}) r->State = 0;
    if (parent.CurrentHTCode >= kHtMdiClose && parent.CurrentHTCode <= kHtMdiMinimize) parent.CurrentHTCode = 0;
  }
  ProviderUpdateTitleButtons(parent);
  parent.SkinData().BGChanged = true;
  parent.MenuLineCountCache = -1;
  if (FormWindowHandle(*parent.Form()) && FormWindowVisible(*parent.Form()))
    ProviderSendToWndProc(parent, kWmNcPaint, 0, 0);
}

// ---- Handlers.

void ProviderWmChildActivate(TsSkinProvider& p, gui::TMessage& m) {
  const auto token = p.AliveToken();
  ProviderCallOldProc(p, m);
  if (token.expired()) return;
  if (TsSkinProvider* parent = ProviderMDIParentOf(p)) {
    if (ProviderMaximizedMDIChild(*parent) != nullptr && parent->MDIForm != nullptr)
      parent->MDIForm->RepaintFrame();
    else
      ProviderRefreshMDIButtons(*parent);
  }
}

void ProviderWmMDIChange(TsSkinProvider& p, gui::TMessage& m) {
  const auto token = p.AliveToken();
  ProviderCallOldProc(p, m);
  if (token.expired()) return;
  if (TsSkinProvider* parent = ProviderMDIParentOf(p)) ProviderRefreshMDIButtons(*parent);
  HandledProvider() = &p;
}

bool ProviderMDISysCommand(TsSkinProvider& p, gui::TMessage& m) {
  if (!ProviderIsMDIChild(p)) return false;
  gui::TCustomForm& form = *p.Form();
  const uint32_t command = uint32_t(m.WParam) & 0xFFF0;
  TsSkinProvider* parent = ProviderMDIParentOf(p);
  const auto token = p.AliveToken();
  const auto parentToken = parent ? parent->AliveToken() : std::weak_ptr<const int>();
  // While the child is maximized its parent's frame (which shows the child's buttons) is held until the command
  // is done, so that it is composed once, as the command leaves it.
  const bool hold = parent != nullptr && FormWindowZoomed(form) && command != kScMaximize;
  if (hold) CommonDataBeginUpdate(parent->SkinData());
  struct EndHold {
    bool hold;
    const std::weak_ptr<const int>& alive;
    TsSkinProvider* parent;
    ~EndHold() {
      if (hold && !alive.expired()) CommonDataEndUpdate(parent->SkinData(), false);
    }
  } endHold{hold, parentToken, parent};
  switch (command) {
    case kScMaximize:
      HandledProvider() = &p;
      ProviderCallOldProc(p, m);
      if (token.expired()) return true;
      RedrawFormWindow(form, 0x506);  // RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_FRAME
      break;
    case kScRestore:
      ProviderCallOldProc(p, m);
      if (token.expired()) return true;
      p.SkinData().BGChanged = true;
      ProviderUpdateSysMenuStyle(p, true);
      RedrawFormWindow(form, 0x505);  // RDW_INVALIDATE | RDW_ERASE | RDW_FRAME
      break;
    case kScMinimize:
      ProviderCallOldProc(p, m);
      if (token.expired()) return true;
      p.SkinData().BGChanged = true;
      break;
    case kScClose:
      ProviderCallOldProc(p, m);
      if (token.expired() || form.IsDestroying()) return true;
      ProviderSetHotElement(p, 0, true);
      break;
    default:
      ProviderCallOldProc(p, m);
      if (token.expired()) return true;
      break;
  }
  if (p.SystemMenu) SysMenuUpdateItems(*p.SystemMenu);
  if (parent != nullptr && !parentToken.expired()) {
    // The parent's frame shows the maximized child's buttons, or no longer.
    endHold.hold = false;
    if (hold) CommonDataEndUpdate(parent->SkinData(), false);
    if (command == kScMaximize || command == kScRestore || command == kScMinimize || command == kScClose)
      ProviderRefreshMDIButtons(*parent);
  }
  return true;
}

void ProviderMDIChildGone(TsSkinProvider& p) {
  TsSkinProvider* parent = ProviderMDIParentOf(p);
  if (parent == nullptr || parent->MDIForm == nullptr || !ProviderSkinned(*parent)) return;
  if (HandledProvider() == &p) HandledProvider() = nullptr;
  ProviderRefreshMDIButtons(*parent);
  gui::TCustomForm* active = parent->Form()->ActiveMDIChild();
  if (active == nullptr || active == p.Form()) RedrawMDIClientWindow(*parent->Form(), 0x507);
}

}  // namespace skin
