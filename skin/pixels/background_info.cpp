#include "skin/pixels/background_info.h"

namespace skin {

void BackgroundToCacheInfo(const BackgroundInfo& info, CacheInfo& ci) {
  if (info.BgType == btCache) {
    CacheInfoFromBitmap(info.Bmp, info.Offset.X, info.Offset.Y, ci);
    return;
  }
  ci.Bmp = info.Bmp;
  ci.X = info.Offset.X;
  ci.Y = info.Offset.Y;
  ci.Ready = false;
  ci.FillColor = ColorToRGB(info.Color);
  ci.FillRect = info.FillR;
}

}  // namespace skin
