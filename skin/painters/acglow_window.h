#pragma once
// The window side of glows (acglow_win32.cpp; acglow_posix.cpp for the native build, which has no windows).
#include <cstdint>

#include "skin/painters/acglow.h"

namespace skin {

// Whether glow windows can be made (the layered-window entry point exists).
bool GlowWindowsAvailable();
// Makes the glow's window around R (screen coordinates): its picture painted at the window's size, placed just
// above OwnerWnd (or topmost), shown at Alpha without activation.
void GlowWindowCreate(TacGlowEffect& Glow, const TRect& R, void* OwnerWnd, uint8_t Alpha);
// The picture shown again at a constant alpha, where the window is.
void GlowWindowUpdate(TacGlowEffect& Glow, uint8_t Alpha);
// The window's procedure before the glow's put back.
void GlowWindowRestoreProc(TacGlowEffect& Glow);
// The window freed now, or released from the message loop.
void GlowWindowFree(TacGlowForm* Form);
void GlowWindowRelease(TacGlowForm* Form);
// The screen rectangle a skin data's glow surrounds (its control clipped to what its window shows, or the window
// Wnd) and the window that owns the glow (the control's form). False when there is none.
bool GlowOwnerRect(TsCommonData& Data, void* Wnd, TRect& R, void*& OwnerWnd);

}  // namespace skin
