#pragma once
// The window half of the skin data's behaviour (commondata_win32.cpp; commondata_posix.cpp natively, where no
// window exists and these do nothing or answer the empty value).
#include <cstdint>

#include "gui/win32_types.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace skin::detail {

void WindowRedraw(HWND Wnd, uint32_t Flags);
void WindowInvalidate(HWND Wnd);
// SetWindowPos(Wnd, 0, 0, 0, 0, 0, Flags).
void WindowSetPos(HWND Wnd, uint32_t Flags);
LRESULT WindowSend(HWND Wnd, UINT Msg, WPARAM W, LPARAM L);
HWND WindowParent(HWND Wnd);
// The window's rectangle in its parent's client coordinates (in screen coordinates without a parent).
TRect WindowBoundsInParent(HWND Wnd);
TRect WindowClientRect(HWND Wnd);
// The cursor in the window's client area, that area widened by the sizes given (visible scroll bars).
bool CursorInClient(HWND Wnd, int32_t ExtraRight, int32_t ExtraBottom);
// A rectangle of a device context filled with a colour; a part of a bitmap copied into a device context.
void FillDC(void* DC, const TRect& R, TColor Color);
void CopyBitmapToDC(const Bitmap& Src, const TRect& SrcRect, void* DC, const TPoint& Dst);

}  // namespace skin::detail
