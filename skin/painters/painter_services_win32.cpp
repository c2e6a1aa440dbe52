#include <windows.h>

#include <cstdint>

#include "skin/painters/painter_services.h"

namespace skin {

intptr_t PaintersSendToWindow(void* window, uint16_t code, intptr_t lParam) {
  if (window == nullptr) return 0;
  return intptr_t(SendMessageA(static_cast<HWND>(window), library_command::Message, MAKEWPARAM(0, code), lParam));
}

void* PaintersParentWindow(void* window) { return window ? GetParent(static_cast<HWND>(window)) : nullptr; }

}  // namespace skin
