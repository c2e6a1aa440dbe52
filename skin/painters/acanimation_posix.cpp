// State-change animations in the native build: no control has a window there, so nothing is sent to, copied to
// or redrawn on one.
#include "skin/painters/acanimation_window.h"

namespace skin {

intptr_t SendWindowMessage(void*, UINT, WPARAM, LPARAM) { return 0; }
void CopyFrameToWindow(void*, const Bitmap&) {}
void RedrawOwnerWindow(void*, bool) {}

}  // namespace skin
