#include "skin/forms/composition.h"

#include <algorithm>
#include <cmath>

#include "gui/forms.h"
#include "skin/data/loaded_skin.h"
#include "skin/data/sskinmanager.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/provider_geometry.h"
#include "skin/painters/borders.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_helpers.h"

namespace skin {

TSize ThumbnailSize(int32_t width, int32_t height, int32_t maxWidth, int32_t maxHeight) {
  if (width <= 0 || height <= 0 || maxWidth <= 0 || maxHeight <= 0) return TSize{};
  const double scale = std::min(double(maxWidth) / width, double(maxHeight) / height);
  return TSize{std::max(1, int32_t(std::lround(width * scale))), std::max(1, int32_t(std::lround(height * scale)))};
}

void ProviderCollectRegionRects(TsSkinProvider& p) {
  p.RegionRects.clear();
  TsSkinManager* m = ProviderManager(p);
  if (m == nullptr || !p.Form()) return;
  const LoadedSkin& skin = m->Skin();
  const int32_t width = ProviderCacheWidth(p);
  const int32_t height = ProviderCacheHeight(p);
  if (SkinManagerIsValidImageIndex(skin, p.SkinData().BorderIndex)) {
    const SkinImageRecord& rec = skin.Images[size_t(p.SkinData().BorderIndex)];
    MaskCornerRects(p.RegionRects, width, rec, 0, false);
    MaskCornerRects(p.RegionRects, width, rec, height - SkinMaskBorderBottom(skin, p.SkinData().BorderIndex), true);
  }
  const int32_t title = ProviderTitleSectionIndex(p);
  const TRect caption = ProviderCaptionRect(p);
  if (SkinManagerIsValidSectionIndex(skin, title) && caption.Left == 0 && caption.Right == width) {
    const int32_t border = skin.Sections[size_t(title)].BorderIndex;
    if (SkinManagerIsValidImageIndex(skin, border))
      MaskCornerRects(p.RegionRects, width, skin.Images[size_t(border)], caption.Top, false);
  }
}

std::unique_ptr<Bitmap> ProviderFormSnapshot(TsSkinProvider& p, bool freeCache) {
  Bitmap* cache = p.SkinData().CacheBmp.get();
  if (cache == nullptr) return nullptr;
  std::unique_ptr<Bitmap> snapshot = NewBitmap32SameSize(*cache);
  CopyPieceKeyed(*snapshot, *cache, 0, 0, TRect{0, 0, cache->Width(), cache->Height()}, clNone, false, EmptyCacheInfo);
  PaintFormChildren(p, *snapshot);
  if (!p.BorderForm) SetAlphaRect(*snapshot, TRect{0, 0, snapshot->Width(), snapshot->Height()}, 255, clNone);
  if (freeCache) p.SkinData().CacheBmp.reset();
  return snapshot;
}

}  // namespace skin
