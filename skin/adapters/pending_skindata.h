#pragma once
// PENDING-SKINDATA: stand-ins for the skin data's behaviour until it is merged; removed then.
#include "skin/engine/scommondata.h"
#include "skin/engine/sskinmanager.h"
#include "skin/paint/painter_services.h"

namespace skin::pending {
inline bool IsSkinned(const TsCommonData& d) { return SkinDataSkinned(d); }
inline void UpdateIndexes(TsCommonData& d) {
  TsSkinManager* m = SkinDataManager(d);
  if (m == nullptr) return;
  d.SkinIndex = SkinManagerGetSectionIndex(*m, d.SkinSection);
  d.BorderIndex = SkinManagerGetImageIndex(*m, d.SkinIndex, "BORDERSMASK");
}
}  // namespace skin::pending
