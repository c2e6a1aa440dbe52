#pragma once
// The keyboard seam: the asynchronous state of the Escape key and whether a window of this program is in the
// foreground.
namespace platform {

class Keyboard {
 public:
  virtual ~Keyboard() = default;
  // GetAsyncKeyState(VK_ESCAPE) is not 0: the key is down or was pressed since the previous query.
  virtual bool escapeKeyState() = 0;
  // The foreground window belongs to this process.
  virtual bool programInForeground() = 0;
};

// Windows: GetAsyncKeyState and GetForegroundWindow. Natively there is no keyboard: never pressed.
Keyboard& systemKeyboard();

// A keyboard driven by tests. `escapePressed` is reported once, like the "pressed since the previous query"
// bit; `escapeDown` is reported while it is set.
class SimulatedKeyboard final : public Keyboard {
 public:
  bool escapeKeyState() override {
    const bool state = escapeDown || escapePressed;
    escapePressed = false;
    return state;
  }
  bool programInForeground() override { return foreground; }

  bool escapeDown = false;
  bool escapePressed = false;
  bool foreground = true;
};

}  // namespace platform
