#include <windows.h>

#include "skin/painters/acanimation_window.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"

namespace skin {

intptr_t SendWindowMessage(void* Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  return Window != nullptr ? intptr_t(SendMessageA(static_cast<HWND>(Window), Msg, WParam, LParam)) : 0;
}

void CopyFrameToWindow(void* Window, const Bitmap& Frame) {
  HWND h = static_cast<HWND>(Window);
  if (h == nullptr || Frame.Empty()) return;
  HDC dc = ledger::GetDC(h);
  if (dc == nullptr) return;
  BitmapToDC(dc, 0, 0, Frame.Width(), Frame.Height(), Frame, 0, 0);
  ledger::ReleaseDC(h, dc);
}

void RedrawOwnerWindow(void* Window, bool Now) {
  if (Window == nullptr) return;
  const UINT flags = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | (Now ? RDW_UPDATENOW : 0);
  RedrawWindow(static_cast<HWND>(Window), nullptr, nullptr, flags);
}

}  // namespace skin
