#pragma once
// PENDING-SKINDATA: stand-ins for the skin data's behaviour until it is merged; removed then.
#include "skin/data/scommondata.h"
#include "skin/data/sskinmanager.h"
#include "skin/painters/painter_services.h"

namespace skin::pending {
inline bool IsSkinned(const TsCommonData& d) { return SkinDataSkinned(d); }
inline void UpdateIndexes(TsCommonData& d) {
  TsSkinManager* m = SkinDataManager(d);
  if (m == nullptr) return;
  d.SkinIndex = SkinManagerGetSectionIndex(*m, d.SkinSection);
  d.BorderIndex = SkinManagerGetImageIndex(*m, d.SkinIndex, "BORDERSMASK");
}
inline TColor GetBgColor(TsCommonData& d, int32_t state) { return Services().BgColor(d, state); }
inline bool IsUpdating(TsCommonData& d) { return d.Updating != 0; }
inline bool IsFocusedLook(const TsCommonData& d) { return d.MouseAbove || d.Focused; }
inline void PrepareCache(TsCommonData& d, int32_t w, int32_t h) {
  if (!d.CacheBmp) d.CacheBmp = std::make_unique<Bitmap>(w, h, pf32bit);
  if (d.CacheBmp->Width() != w || d.CacheBmp->Height() != h) d.CacheBmp->SetSize(w, h);
}
}  // namespace skin::pending
