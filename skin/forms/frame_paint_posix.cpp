// The native build has no windows: the frame is composed into the cache (and its region collected), and no copy
// to a window follows.
#include "gui/forms.h"
#include "skin/forms/composition.h"
#include "skin/forms/frame_paint.h"

namespace skin {

void ProviderPaintNonClient(TsSkinProvider& p) {
  if (!p.DrawNonClientArea() || !p.Form()) return;
  TsCommonData& data = p.SkinData();
  if (!data.CacheBmp || data.CacheBmp->Width() == 0 || ProviderCacheSizeChanged(p)) data.BGChanged = true;
  if (data.BGChanged && !ProviderPaintFrame(p)) return;
  if (p.LayoutChanged) {
    if (!p.BorderForm) ProviderCollectRegionRects(p);
    p.LayoutChanged = false;
  }
}

void ProviderRepaintFrame(TsSkinProvider& p) {
  if (p.Form()) ProviderPaintFrame(p);
}

void ProviderRepaintCaption(TsSkinProvider& p) {
  if (p.Form() && !ProviderRepaintCaptionBand(p)) ProviderPaintFrame(p);
}

void ProviderCopyCacheRectToWindow(TsSkinProvider&, const TRect&) {}
void ProviderCopyCacheRectToFormWindow(TsSkinProvider&, const TRect&) {}

void DrawFormIcon(TsSkinProvider&, Bitmap&, const TRect&) {}
void DrawFormIconOf(const gui::TCustomForm&, Bitmap&, const TRect&) {}

void ProviderPaintMenuLineItems(TsSkinProvider&) {}
int32_t ProviderMenuLineItemAt(TsSkinProvider&, const TPoint&) { return -1; }
void ProviderSetHotMenuLineItem(TsSkinProvider& p, int32_t index) { p.HotMenuLineItem = index; }
int32_t ProviderMenuLineSelectedItem(TsSkinProvider&) { return -1; }
bool ProviderShowFadePicture(TsSkinProvider& p) {
  p.ShowPicture.reset();
  return false;
}
void ProviderSetOpenMenuLineItem(TsSkinProvider& p, int32_t index) { p.OpenMenuLineItem = index; }

void ProviderPaintFormOnCache(TsSkinProvider&) {}


}  // namespace skin
