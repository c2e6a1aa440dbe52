#pragma once
// A window's procedure read and set with the calls of its character set (a Unicode window subclassed through the
// ANSI calls would get its messages translated).
#include <windows.h>

namespace skin {

inline WNDPROC CurrentProc(HWND h, bool unicode) {
  return reinterpret_cast<WNDPROC>(unicode ? GetWindowLongPtrW(h, GWLP_WNDPROC) : GetWindowLongPtrA(h, GWLP_WNDPROC));
}

inline void SetProc(HWND h, bool unicode, WNDPROC proc) {
  if (unicode)
    SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
  else
    SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
}

}  // namespace skin
