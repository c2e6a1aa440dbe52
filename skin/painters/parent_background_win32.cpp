#include <windows.h>

#include <cstdint>

#include "skin/pixels/background_info.h"

namespace skin {

using DeliverMessage = void (*)(void* parent, uint32_t msg, uintptr_t wParam);

void PaintersDeliverToWindow(void* parent, uint32_t msg, uintptr_t wParam) {
  if (parent != nullptr) SendMessageA(static_cast<HWND>(parent), msg, WPARAM(wParam), 0);
}

void PaintersParentIntoDC(BackgroundInfo& info, DeliverMessage deliver, void* parent) {
  HDC dc = static_cast<HDC>(info.DC);
  if (dc == nullptr || parent == nullptr) return;
  const int saved = SaveDC(dc);
  if (saved == 0) return;
  POINT origin{};
  GetViewportOrgEx(dc, &origin);
  SetViewportOrgEx(dc, origin.x - info.Offset.X, origin.y - info.Offset.Y, nullptr);
  const TRect r{info.R.Left + info.Offset.X, info.R.Top + info.Offset.Y, info.R.Right + info.Offset.X,
                info.R.Bottom + info.Offset.Y};
  IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
  deliver(parent, WM_ERASEBKGND, reinterpret_cast<uintptr_t>(dc));
  deliver(parent, WM_PAINT, reinterpret_cast<uintptr_t>(dc));
  RestoreDC(dc, saved);
}

}  // namespace skin
