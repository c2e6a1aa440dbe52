// The form's picture kept while it closes or hides, and faded out where it was (see provider_hide.h).
#include "skin/forms/provider_hide.h"

#include <algorithm>

#include "gui/forms.h"
#include "skin/manager/sanimations.h"
#include "skin/data/sskinmanager.h"
#include "skin/forms/border_form.h"
#include "skin/forms/composition.h"
#include "skin/forms/provider_geometry.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/forms/form_window.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/provider_handlers.h"
#include "skin/forms/provider_wndproc.h"
#include "skin/painters/acglow.h"
#include "skin/pixels/graph_utils.h"
#include "skin/manager/win_values.h"

namespace skin {

namespace {

constexpr uint32_t kSwpHideWindow = 0x80;

bool Runs(const TacFormAnimation& a) { return a.Active && a.Time >= 12; }

bool Layered(const TsSkinProvider& p) { return LayeredPicturesShown(ProviderManager(p)); }

// The form shows a picture worth keeping: its window on the screen, not minimized.
bool OnScreen(const TsSkinProvider& p) {
  return p.Form() && FormWindowExists(*p.Form()) && FormWindowVisible(*p.Form()) && !FormWindowIconic(*p.Form());
}

// The fade of a picture on a window (the cover, else a helper the animation makes over the form).
void FadeOut(TsSkinProvider& p, TacAnimWindow window, std::unique_ptr<Bitmap> picture) {
  TsSkinManager* m = ProviderManager(p);
  if (m == nullptr || !picture || picture->Empty() || !p.Form()) {
    if (window.Free) window.Free();
    return;
  }
  const TacFormAnimation& hide = m->AnimEffects.FormHide;
  AnimHideWindow(std::move(window), std::move(picture), hide.Time,
                 static_cast<HWND>(FormWindowHandle(*p.Form())), hide.Mode == atAero, 255);
}

// Waits, pumping messages, while a hide fade holds its window, at most the limit.
void WaitForHideFade(const TsSkinProvider& p) {
  // No messages are handled while the form is being destroyed: the fade ends by itself.
  if (p.Form() == nullptr || p.Form()->IsDestroying()) return;
  TacHideTimer* timer = HideAnimTimer();
  TsSkinManager* m = ProviderManager(p);
  if (timer == nullptr || m == nullptr || gui::Application == nullptr) return;
  const uint32_t start = TickCount(), limit = HideWaitLimit(m->AnimEffects.FormHide.Time);
  for (int i = 0; i < 10000 && timer->HoldsWindow() && !gui::Application->Terminated() && TickCount() - start < limit;
       ++i)
    gui::Application->ProcessMessages();
}

}  // namespace

uint32_t HideWaitLimit(uint16_t animationTime) { return uint32_t(animationTime) + 250; }

bool ProviderTakeHideSnapshot(TsSkinProvider& p) {
  if (p.StateFlags & psHideSnapshot) return true;
  if (!p.Form() || !p.SkinData().CacheBmp || p.SkinData().CacheBmp->Empty()) return false;
  if (p.SkinData().BGChanged) ProviderPaintFrame(p);
  // Nothing composes the frame while the picture is taken, nor afterwards until the hide is over.
  p.StateFlags |= psHideSnapshot;
  std::unique_ptr<Bitmap> picture = ProviderFormSnapshot(p, false);
  if (!picture) {
    p.StateFlags &= ~psHideSnapshot;
    return false;
  }
  if (p.BorderForm) {
    // The form's own part of the border window's picture is opaque.
    const TSize client = FormClientSize(*p.Form());
    SetAlphaRect(*picture, TRect{ProviderClientLeft(p), ProviderClientTop(p), ProviderClientLeft(p) + client.cx,
                                 ProviderClientTop(p) + client.cy},
                 255, clNone);
  }
  p.SkinData().CacheBmp = std::move(picture);
  p.SkinData().BGChanged = false;
  return true;
}

std::unique_ptr<Bitmap> ProviderHidePicture(const TsSkinProvider& p) {
  const Bitmap* cache = p.SkinData().CacheBmp.get();
  if (cache == nullptr || cache->Empty()) return nullptr;
  auto picture = std::make_unique<Bitmap>(cache->Width(), cache->Height(), pf32bit);
  for (int32_t y = 0; y < cache->Height(); ++y) {
    const auto* s = reinterpret_cast<const uint32_t*>(cache->ScanLine(y));
    auto* d = reinterpret_cast<uint32_t*>(picture->ScanLine(y));
    for (int32_t x = 0; x < cache->Width(); ++x) {
      const uint32_t v = s[x], a = p.BorderForm ? PixelA(v) : 255;
      d[x] = a == 255 ? (v | 0xFF000000u)
                      : MakePixel(uint8_t((PixelB(v) * a + 127) / 255), uint8_t((PixelG(v) * a + 127) / 255),
                                  uint8_t((PixelR(v) * a + 127) / 255), uint8_t(a));
    }
  }
  if (!p.BorderForm) ClearAlphaRects(p.RegionRects, *picture);
  return picture;
}

TRect ProviderHidePictureRect(const TsSkinProvider& p) {
  if (p.BorderForm) return BorderFormScreenRect(*p.BorderForm);
  return p.Form() ? FormWindowRect(*p.Form()) : TRect{};
}

void ProviderEndHideSnapshot(TsSkinProvider& p) {
  if (!(p.StateFlags & psHideSnapshot)) return;
  p.StateFlags &= ~psHideSnapshot;
  p.SkinData().BGChanged = true;
}

void ProviderWmClose(TsSkinProvider& p, gui::TMessage& m) {
  gui::TCustomForm* form = p.Form();
  const bool keep = form && !form->IsDestroying() && p.DrawNonClientArea() && !(p.StateFlags & psHideSnapshot) &&
                    OnScreen(p) && ProviderHideAnimationWanted(p);
  const bool taken = keep && ProviderTakeHideSnapshot(p);
  const auto token = p.AliveToken();
  ProviderCallOldProc(p, m);
  if (!taken || token.expired()) return;
  // The form stays (the close was refused, or it waits to be freed): its own frame comes back. A main form
  // that ends the program keeps its picture until its window goes.
  if (OnScreen(p) && !p.Form()->IsDestroying() && !gui::Application->Terminated()) {
    ProviderEndHideSnapshot(p);
    ProviderRepaintFrame(p);
  }
}

bool ProviderBeforePosChanging(TsSkinProvider& p, gui::TMessage& m) {
  if (!(WindowPosFlags(m.LParam) & kSwpHideWindow)) return false;
  if (!p.DrawNonClientArea() || !OnScreen(p) || !ProviderHideAnimationWanted(p)) return false;
  if (!ProviderTakeHideSnapshot(p)) return false;
  // The picture lies over the form (and its border window) while they go.
  if (std::unique_ptr<Bitmap> picture = ProviderHidePicture(p))
    ProviderShowSnapshotCoverAt(p, *picture, ProviderHidePictureRect(p));
  return true;
}

void ProviderAfterPosChanging(TsSkinProvider& p, gui::TMessage& m, bool covered) {
  // The form's own handling took the hide back: the form stays, with its own frame.
  if (covered && !(WindowPosFlags(m.LParam) & kSwpHideWindow)) {
    ProviderAfterHide(p);
    ProviderRepaintFrame(p);
  }
}

void ProviderFadeOutSnapshot(TsSkinProvider& p) {
  ClearGlows(true);
  std::unique_ptr<Bitmap> picture = ProviderHidePicture(p);
  if (!picture) return;
  // Without a cover yet (the form's window hid before the picture could be laid over it), one is made now.
  if (!ProviderHasSnapshotCover(p)) ProviderShowSnapshotCoverAt(p, *picture, ProviderHidePictureRect(p));
  FadeOut(p, ProviderTakeSnapshotCover(p), std::move(picture));
}

void ProviderAfterHide(TsSkinProvider& p) {
  ProviderEndHideSnapshot(p);
  ProviderFreeSnapshotCover(p);
}

// ---- While the form is not skinned.

void ProviderBeforeHide(TsSkinProvider& p, gui::TMessage& m) {
  gui::TCustomForm* form = p.Form();
  TsSkinManager* manager = ProviderManager(p);
  // Hidden by the component layer, or by the system (a window being destroyed is hidden first).
  const bool hiding = m.Msg == wv::kWmWindowPosChanging ? (WindowPosFlags(m.LParam) & kSwpHideWindow) != 0 : m.WParam == 0;
  if (!hiding || form == nullptr || manager == nullptr || !p.DrawNonClientArea() || !p.AllowAnimation ||
      gui::Application->Terminated() || !Runs(manager->AnimEffects.FormHide) || !Layered(p))
    return;
  if ((p.StateFlags & psHideSnapshot) || form->Parent() != nullptr || !OnScreen(p)) return;
  ProviderShowSnapshotCover(p);
}

void ProviderAfterPosChanged(TsSkinProvider& p, gui::TMessage& m) {
  const bool hidden = (WindowPosFlags(m.LParam) & kSwpHideWindow) != 0;
  if (!hidden || p.Form() == nullptr) return;
  TsSkinManager* manager = ProviderManager(p);
  const bool fade = manager != nullptr && Layered(p) && p.AllowAnimation && !p.MinimizingByButton &&
                    Runs(manager->AnimEffects.FormHide);
  const auto token = p.AliveToken();
  const bool closed = (p.StateFlags & psHideSnapshot) && p.SkinData().CacheBmp && !p.SkinData().CacheBmp->Empty();
  if (fade && closed) {
    // The picture taken when the form closed (its children may be gone by now).
    ProviderFadeOutSnapshot(p);
    WaitForHideFade(p);
  } else if (fade && ProviderHasSnapshotCover(p)) {
    // The picture the window showed, faded on the cover that shows it.
    std::unique_ptr<Bitmap> picture;
    TacAnimWindow cover = ProviderTakeSnapshotCover(p, &picture);
    FadeOut(p, std::move(cover), std::move(picture));
    WaitForHideFade(p);
  }
  if (token.expired()) return;
  p.StateFlags &= ~psHideSnapshot;
  ProviderFreeSnapshotCover(p);
}

}  // namespace skin
