#pragma once
// A hint window: a small bordered pop-up that shows one text in the system's tool-tip colours at a place of the
// screen, above every other window, without ever taking the activation or the mouse (clicks fall through to what
// lies below). Whoever shows a hint of its own (the skinned title bar's buttons and items) owns one and frees it
// when the hint goes; the window is made on the first ActivateHint and destroyed with the object (on Windows also
// with the window it last showed over, which owns it: it is then made anew on the next ActivateHint).
//
// Natively there is no window: the object only remembers what it shows and where, so that the layers above
// can be tested headless.
#include <string>

#include "gui/types.h"
#include "gui/win32_types.h"

namespace gui {

class THintWindow {
 public:
  THintWindow() = default;
  ~THintWindow();
  THintWindow(const THintWindow&) = delete;
  THintWindow& operator=(const THintWindow&) = delete;

  // The rectangle (at 0, 0) that the text needs, frame and margins included, its lines broken at maxWidth.
  TRect CalcHintRect(int maxWidth, const std::string& text) const;
  // Shows the text in rect (screen coordinates); the window is made on first use.
  void ActivateHint(const TRect& rect, const std::string& text);
  // Hides the window (it stays made until the object goes).
  void Hide();
  // Shown and not hidden since (on Windows also: its window still there, which goes with the window it showed over).
  bool Showing() const;
  const std::string& Caption() const { return text_; }
  const TRect& BoundsRect() const { return rect_; }
  // The window (Windows; nullptr until shown once, after the window it showed over is destroyed, and always
  // natively).
  HWND Handle() const { return handle_; }

 private:
  std::string text_;
  TRect rect_{};
  bool showing_ = false;
  HWND handle_ = nullptr;
};

// Where a hint of that size is shown for the mouse at (x, y): offset by (dx, dy), kept on a screen of the given
// size (moved left to fit, and above the mouse when it would leave the screen's bottom).
TRect PlaceHintRect(const TRect& size, int x, int y, int dx, int dy, int screenWidth, int screenHeight);

}  // namespace gui
