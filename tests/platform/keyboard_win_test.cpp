// The system keyboard under the real message queue: a quick press of Escape in the program's window.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "platform/keyboard.h"

namespace {

bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (done()) return true;
    if (GetTickCount() - start > ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// Another program that polls the key as well (the other station in the same Wine desktop) asks for it before
// this one: it takes the desktop's "pressed since the previous query" bit, and the press, already released,
// still counts here, once.
TEST(SystemKeyboard, AQuickEscapeInTheProgramsWindowCountsThoughAnotherProgramAskedForTheKeyFirst) {
  HWND w = CreateWindowExA(0, "EDIT", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 300, 120, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(w, nullptr);
  SetForegroundWindow(w);
  SetFocus(w);
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == w && GetFocus() == w; }, 20000));
  platform::Keyboard& keyboard = platform::systemKeyboard();
  PumpUntil([&] { return !keyboard.escapeKeyState(); }, 20000);

  INPUT keys[2]{};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ASSERT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);
  std::thread([] { GetAsyncKeyState(VK_ESCAPE); }).join();

  EXPECT_TRUE(PumpUntil([&] { return keyboard.escapeKeyState(); }, 20000));
  EXPECT_FALSE(keyboard.escapeKeyState());
  DestroyWindow(w);
}

}  // namespace
