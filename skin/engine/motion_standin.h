#pragma once
// STAND-IN until the glow windows and the animation timer are merged: the operations of the skin data that run
// on them, under the names and signatures those units give them, so that callers need no change when the real
// ones replace this file. Without the glow windows no glow is ever shown (ShowGlow answers -1); without the
// animation timer no skin data has an AnimTimer. Replace by skin/paint/acglow.h and skin/paint/acanimation.h.
#include <cstdint>

namespace skin {

struct TsCommonData;

// The owner repainted (RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN, with RDW_UPDATENOW when Now);
// nothing while RepaintBlocked or while the owner loads or goes.
void CommonDataRepaint(TsCommonData& Data, bool Now);
// Whether the state animation's timer exists and runs; stopping it.
bool CommonDataAnimationRunning(const TsCommonData& Data);
void CommonDataStopAnimation(TsCommonData& Data);
// The glow of a hot control (nothing without glow windows), its fade step, hiding one glow and clearing all.
void CommonDataShowGlow(TsCommonData& Data, bool Hide, void* Wnd, bool Animate, uint8_t Alpha);
bool CommonDataSetGlowAlpha(TsCommonData* Data, int32_t Step);
void HideGlow(int32_t& GlowID, bool Animate);
void ClearGlows(bool ReleaseWindows);

}  // namespace skin
