// STAND-IN until the glow windows and the animation timer are merged (see motion_standin.h).
#include "skin/engine/motion_standin.h"

#include "skin/engine/commondata.h"
#include "skin/engine/commondata_window.h"

namespace skin {

void CommonDataRepaint(TsCommonData& Data, bool Now) {
  if (Data.RepaintBlocked != 0) return;
  const uint32_t flags = Now ? 0x585 : 0x485;
  OwnerOf o(Data);
  if (o->Control() != nullptr) {
    if (o->Destroying() || o->Loading()) return;
    Data.BGChanged = true;
    if (o->CanPaint()) o->Redraw(flags);
    return;
  }
  if (o->IsProvider() || Data.WndHandle != nullptr) {
    Data.BGChanged = true;
    o->Redraw(flags);
  }
}

// No animation timer exists before the timer unit arrives.
bool CommonDataAnimationRunning(const TsCommonData&) { return false; }
void CommonDataStopAnimation(TsCommonData&) {}

// No glow window exists before the glow unit arrives.
void CommonDataShowGlow(TsCommonData&, bool, void*, bool, uint8_t) {}
bool CommonDataSetGlowAlpha(TsCommonData*, int32_t) { return false; }
void HideGlow(int32_t& GlowID, bool) { GlowID = -1; }
void ClearGlows(bool) {}

}  // namespace skin
