#include "platform/screen.h"

namespace platform {
namespace {

class NoScreen final : public Screen {
 public:
  bool Capture(ScreenImage& image) override {
    image = ScreenImage{};
    return false;
  }
};

}  // namespace

Screen& systemScreen() {
  static NoScreen screen;
  return screen;
}

}  // namespace platform
