#pragma once
// The keyboard seam: the asynchronous state of the Escape key and whether a window of this program is in the
// foreground.
namespace platform {

class Keyboard {
 public:
  virtual ~Keyboard() = default;
  // The Escape key is down, or was pressed since the previous query (in this program's windows at least).
  virtual bool escapeKeyState() = 0;
  // The foreground window belongs to this process.
  virtual bool programInForeground() = 0;
  // The keys typed now go to `window` (a window handle of this program): it is the foreground window and
  // enabled, and no menu is open.
  virtual bool windowHasKeys(const void* window) = 0;
  // `window` (a window handle of this program) is the foreground window: the one the system gives the keys.
  virtual bool windowInForeground(const void* window) = 0;
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
  bool windowHasKeys(const void*) override { return windowKeys; }
  bool windowInForeground(const void*) override { return foreground; }

  bool escapeDown = false;
  bool windowKeys = true;  // the main window has the keys (no menu or dialog of the program over it)
  bool escapePressed = false;
  bool foreground = true;  // the program, its main window, is in the foreground
};

}  // namespace platform
