// Glows in the native build: there are no windows, so no glow window is ever made (ShowGlow answers -1) and
// nothing has a screen rectangle.
#include "skin/painters/acglow_window.h"

namespace skin {

bool GlowWindowsAvailable() { return false; }

void GlowWindowCreate(TacGlowEffect& Glow, const TRect& R, void*, uint8_t) {
  const TSize size = GlowWindowSize(Glow, R.Right - R.Left, R.Bottom - R.Top);
  GlowPaintBitmap(Glow, size.cx, size.cy);
}

void GlowWindowUpdate(TacGlowEffect&, uint8_t) {}
void GlowWindowRestoreProc(TacGlowEffect&) {}
void GlowWindowFree(TacGlowForm*) {}
void GlowWindowRelease(TacGlowForm*) {}
bool GlowOwnerRect(TsCommonData&, void*, TRect&, void*&) { return false; }
void* GlowWindowHandle(int32_t) { return nullptr; }

}  // namespace skin
