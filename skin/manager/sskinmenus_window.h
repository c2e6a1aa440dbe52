#pragma once
// The window half of the skinned menus (sskinmenus_win32.cpp; sskinmenus_posix.cpp natively, where no menu window
// exists: the window answers are empty and the copies do nothing).
#include <functional>
#include <vector>

#include "gui/graphics.h"
#include "gui/menus.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace skin::detail {

// The screen's menu font (natively the component layer's default font).
void ScreenMenuFont(gui::TFont& Font);
// The symbol font of the system menu's marks: "Webdings", or where the system lacks it (Wine ships none) "Marlett",
// which has the same marks under the same characters (0 minimize, 1 maximize, 2 restore, r close).
const char* SystemMenuSymbolFont();
// A canvas drawing into a 32-bit bitmap for the duration of Fn (natively a canvas without device context).
void WithBitmapCanvas(Bitmap& Bmp, const std::function<void(gui::TCanvas&)>& Fn);
// The popup menu window ("#32768") a canvas draws on; nullptr for any other.
HWND MenuWindowOfCanvas(gui::TCanvas& Canvas);
// Where a window's client area lies in the window, and the window's size.
TPoint ClientOffsetInWindow(HWND Wnd);
TSize WindowSize(HWND Wnd);
// The first item of the menu a popup window shows (nullptr when it is not one of the program's).
gui::TMenuItem* FirstItemOfMenuWindow(HWND Wnd);
// The popup's background copied into its window around its items (its frame and margins).
void CopyFrameToWindow(HWND Wnd, const Bitmap& Bg);
// SrcRect of Bmp copied to the canvas's device context at Dst.
void CopyToCanvas(gui::TCanvas& Canvas, const Bitmap& Bmp, const TRect& SrcRect, const TPoint& Dst);
// The window's region: its size less the rectangles (redrawn).
void SetMenuWindowRegion(HWND Wnd, const TSize& Size, const std::vector<TRect>& CutOuts);

}  // namespace skin::detail
