#include <windows.h>

#include <utility>

#include "platform/keyboard.h"

namespace platform {
namespace {

// A press of Escape that reached this thread's message queue since the last query. The system's "pressed since
// the previous query" bit is one for the whole desktop: another program that asks for the key first (the other
// station in the same Wine desktop, which polls it as often) takes a quick press away from this one, which then
// sees the key neither down nor pressed.
bool escapePressedHere = false;

LRESULT CALLBACK EscapeHook(int code, WPARAM key, LPARAM flags) {
  // A message taken from the queue (not only peeked at), a press (bit 31 clear) and not a repeat (bit 30 clear).
  if (code == HC_ACTION && key == VK_ESCAPE && (flags & 0xC0000000) == 0) escapePressedHere = true;
  return ::CallNextHookEx(nullptr, code, key, flags);
}

class Win32Keyboard final : public Keyboard {
 public:
  bool escapeKeyState() override {
    // Watches the keys of the thread that asks (the one whose timer polls the key).
    if (hook_ == nullptr) hook_ = ::SetWindowsHookExA(WH_KEYBOARD, EscapeHook, nullptr, ::GetCurrentThreadId());
    const bool pressedHere = std::exchange(escapePressedHere, false);
    return ::GetAsyncKeyState(VK_ESCAPE) != 0 || pressedHere;
  }
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

 private:
  HHOOK hook_ = nullptr;
};

}  // namespace

Keyboard& systemKeyboard() {
  static Win32Keyboard keyboard;
  return keyboard;
}

}  // namespace platform
