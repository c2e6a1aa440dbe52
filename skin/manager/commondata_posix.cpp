// The skin data's window half in the native build: there are no windows and no device contexts.
#include "skin/manager/commondata_window.h"

namespace skin::detail {

void WindowRedraw(HWND, uint32_t) {}
void WindowInvalidate(HWND) {}
void WindowSetPos(HWND, uint32_t) {}
LRESULT WindowSend(HWND, UINT, WPARAM, LPARAM) { return 0; }
HWND WindowParent(HWND) { return nullptr; }
TRect WindowBoundsInParent(HWND) { return {}; }
TRect WindowClientRect(HWND) { return {}; }
bool CursorInClient(HWND, int32_t, int32_t) { return false; }
void FillDC(void*, const TRect&, TColor) {}
void CopyBitmapToDC(const Bitmap&, const TRect&, void*, const TPoint&) {}

}  // namespace skin::detail
