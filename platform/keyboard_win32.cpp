#include <windows.h>

#include "platform/keyboard.h"

namespace platform {
namespace {

class Win32Keyboard final : public Keyboard {
 public:
  bool escapeKeyState() override { return ::GetAsyncKeyState(VK_ESCAPE) != 0; }
  bool programInForeground() override {
    HWND w = ::GetForegroundWindow();
    if (w == nullptr) return false;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(w, &pid);
    return pid == ::GetCurrentProcessId();
  }
};

}  // namespace

Keyboard& systemKeyboard() {
  static Win32Keyboard keyboard;
  return keyboard;
}

}  // namespace platform
