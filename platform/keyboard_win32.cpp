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
  bool windowInForeground(const void* window) override {
    return window != nullptr && ::GetForegroundWindow() == static_cast<HWND>(const_cast<void*>(window));
  }
  bool windowHasKeys(const void* window) override {
    HWND h = static_cast<HWND>(const_cast<void*>(window));
    if (h == nullptr || ::GetForegroundWindow() != h || !::IsWindowEnabled(h)) return false;
    // A menu (the bar entered with F10 or Alt, a popup, the system menu) has the keyboard.
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return !(::GetGUIThreadInfo(::GetWindowThreadProcessId(h, nullptr), &info) &&
             (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE)) != 0);
  }
};

}  // namespace

Keyboard& systemKeyboard() {
  static Win32Keyboard keyboard;
  return keyboard;
}

}  // namespace platform
