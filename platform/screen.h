#pragma once
// The screen seam: a copy of the whole primary screen (on Windows the desktop window's device context copied
// with BitBlt into a bitmap of the screen's size).
#include <cstdint>
#include <vector>

namespace platform {

struct ScreenImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bgra;  // rows top-down, B, G, R, A per pixel
};

class Screen {
 public:
  virtual ~Screen() = default;
  // False when there is no screen to copy.
  virtual bool Capture(ScreenImage& image) = 0;
};

// The operating system's (natively there is no screen: Capture fails).
Screen& systemScreen();

}  // namespace platform
