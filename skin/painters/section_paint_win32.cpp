#include <windows.h>

#include "skin/data/sskinmanager.h"
#include "skin/painters/dc_copy.h"
#include "skin/painters/painter_services.h"
#include "skin/painters/section_paint.h"

namespace skin {

void PaintSkinItemToDC(int32_t sectionIndex, const CacheInfo& ci, int32_t state, HDC dc, const TPoint& offset,
                       const TRect& R, TsSkinManager* manager) {
  TsSkinManager* m = ManagerOrDefault(manager);
  if (m == nullptr || dc == nullptr || !SkinManagerIsValidSectionIndex(m->Skin(), sectionIndex)) return;
  if (R.Left < 0 || R.Top < 0 || R.Right - R.Left < 1 || R.Bottom - R.Top < 1) return;
  const int saved = SaveDC(dc);
  const int32_t w = R.Right - R.Left, h = R.Bottom - R.Top;
  Bitmap work(w, h, pf32bit);
  PaintSkinItem(sectionIndex, ci, state, TRect{0, 0, w, h}, offset, work, m, -1, -1);
  BitmapToDC(dc, R.Left, R.Top, w, h, work, 0, 0);
  if (saved != 0) RestoreDC(dc, saved);
}

}  // namespace skin
