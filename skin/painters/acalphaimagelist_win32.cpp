// The Windows half of the alpha image lists: the screen's colour depth and drawing onto a device context.
#include <windows.h>

#include "skin/painters/acalphaimagelist.h"
#include "skin/painters/canvas_bitmap.h"
#include "skin/pixels/gdi_ledger.h"

namespace skin {

int ScreenBitsPerPixel() {
  HDC screen = ledger::GetDC(nullptr);
  const int bits = screen ? GetDeviceCaps(screen, BITSPIXEL) : 32;
  ledger::ReleaseDC(nullptr, screen);
  return bits;
}

void DrawAlphaImageDC(gui::TCustomImageList& List, void* DC, int32_t X, int32_t Y, int Index, int StateCount,
                      int State, int Blend, bool Grey, TColor Tint, TSize& FrameSize, bool Reflected) {
  if (DC == nullptr) return;
  gui::TCanvas canvas;
  canvas.SetHandle(static_cast<HDC>(DC));
  Bitmap work(List.Width(), List.Height() + (Reflected ? List.Height() / 2 : 0), pf32bit);
  CanvasToBitmap(canvas, X, Y, work);
  DrawAlphaImage(List, work, 0, 0, Index, StateCount, State, Blend, Grey, Tint, FrameSize, Reflected);
  BitmapToCanvas(work, canvas, X, Y);
  canvas.SetHandle(nullptr);
}

}  // namespace skin
