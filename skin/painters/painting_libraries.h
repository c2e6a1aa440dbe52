#pragma once
// The optional system entry points of the painters, bound at start-up: GradientFill of msimg32 (the triangle
// gradient, gradients.h) and UpdateLayeredWindow / SetLayeredWindowAttributes of user32 (glow windows, form
// opacity, window animations); and the size of one system check-box image. The start-up and shut-down calls are
// counted, so that only the first binds and the last frees; whatever is asked before start-up binds on first use.
// The native build has none of these entry points.
#include <cstdint>

#include "skin/pixels/geometry.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace skin {

void StartPaintingLibraries();
void StopPaintingLibraries();

// Whether UpdateLayeredWindow is bound.
bool LayeredApiPresent();

#ifdef _WIN32
using UpdateLayeredWindowFunction = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                                  DWORD);
using SetLayeredWindowAttributesFunction = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
using MsImgGradientFillFunction = BOOL(WINAPI*)(HDC, TRIVERTEX*, ULONG, void*, ULONG, ULONG);
// nullptr when the system lacks them.
UpdateLayeredWindowFunction UpdateLayeredWindowProc();
SetLayeredWindowAttributesFunction SetLayeredWindowAttributesProc();
MsImgGradientFillFunction MsImgGradientFill();
#endif

// Width and height of one image of the system's check-box bitmap (4 x 3 images), measured at start-up; 13 x 13
// where the system cannot tell.
TSize CheckBoxGlyphSize();

}  // namespace skin
