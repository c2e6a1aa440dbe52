#pragma once
// The window side of state-change animations (acanimation_win32.cpp; acanimation_posix.cpp for the native
// build, which has no windows).
#include <cstdint>

#include "gui/win32_types.h"
#include "skin/pixels/bitmap.h"

namespace skin {

// SendMessageA to a window (natively there is none: 0).
intptr_t SendWindowMessage(void* Window, UINT Msg, WPARAM WParam, LPARAM LParam);
// The frame copied at (0, 0) onto the window's device context.
void CopyFrameToWindow(void* Window, const Bitmap& Frame);
// RedrawWindow with RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN (and RDW_UPDATENOW with Now).
void RedrawOwnerWindow(void* Window, bool Now);

}  // namespace skin
