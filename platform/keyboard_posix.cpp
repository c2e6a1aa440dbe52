#include "platform/keyboard.h"

namespace platform {
namespace {

class NoKeyboard final : public Keyboard {
 public:
  bool escapeKeyState() override { return false; }
  bool programInForeground() override { return false; }
  bool windowHasKeys(const void*) override { return false; }
  bool windowInForeground(const void*) override { return false; }
};

}  // namespace

Keyboard& systemKeyboard() {
  static NoKeyboard keyboard;
  return keyboard;
}

}  // namespace platform
