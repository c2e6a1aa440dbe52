#include <windows.h>

#include <cstring>

#include "platform/screen.h"

namespace platform {
namespace {

class DesktopScreen final : public Screen {
 public:
  bool Capture(ScreenImage& image) override {
    image = ScreenImage{};
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0) return false;
    HWND desktop = GetDesktopWindow();
    HDC screen = GetDC(desktop);
    if (!screen) return false;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = bitmap ? CreateCompatibleDC(screen) : nullptr;
    bool ok = false;
    if (memory) {
      HGDIOBJ old = SelectObject(memory, bitmap);
      ok = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY) != 0;
      GdiFlush();
      if (ok) {
        image.width = width;
        image.height = height;
        image.bgra.resize(size_t(width) * size_t(height) * 4);
        std::memcpy(image.bgra.data(), bits, image.bgra.size());
      }
      SelectObject(memory, old);
      DeleteDC(memory);
    }
    if (bitmap) DeleteObject(bitmap);
    ReleaseDC(desktop, screen);
    return ok;
  }
};

}  // namespace

Screen& systemScreen() {
  static DesktopScreen screen;
  return screen;
}

}  // namespace platform
