// The skinned menus' window half in the native build: no menu window exists.
#include "skin/manager/sskinmenus_window.h"

namespace skin::detail {

void ScreenMenuFont(gui::TFont& Font) { Font.Assign(gui::TFont()); }

const char* SystemMenuSymbolFont() { return "Webdings"; }

void WithBitmapCanvas(Bitmap&, const std::function<void(gui::TCanvas&)>& Fn) {
  gui::TCanvas canvas;
  Fn(canvas);
}

HWND MenuWindowOfCanvas(gui::TCanvas&) { return nullptr; }
TPoint ClientOffsetInWindow(HWND) { return {}; }
TSize WindowSize(HWND) { return {}; }
gui::TMenuItem* FirstItemOfMenuWindow(HWND) { return nullptr; }
void CopyFrameToWindow(HWND, const Bitmap&) {}
void CopyToCanvas(gui::TCanvas&, const Bitmap&, const TRect&, const TPoint&) {}
void SetMenuWindowRegion(HWND, const TSize&, const std::vector<TRect>&) {}

}  // namespace skin::detail
