#pragma once
// Simulated user input for tests of the component layer: the same messages a user's mouse and keyboard produce,
// sent through the controls' message path (in the Windows build they reach the real windows).
#include <string>

#include "gui/gui.h"
#include "platform/clock.h"

namespace testsupport {

// A left click in the middle of a control: mouse down and up for graphic controls (speed buttons, labels),
// the button's click notification for push buttons and check boxes.
inline void UserClick(gui::TControl& c) {
  if (dynamic_cast<gui::TButtonControl*>(&c)) {
    c.Perform(gui::CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), 0);
    return;
  }
  const LPARAM mid = MAKELPARAM(static_cast<WORD>(c.Width() / 2), static_cast<WORD>(c.Height() / 2));
  c.Perform(WM_LBUTTONDOWN, MK_LBUTTON, mid);
  c.Perform(WM_LBUTTONUP, 0, mid);
}

// One typed character, as the keyboard delivers it to the focused control.
inline void TypeChar(gui::TWinControl& c, char ch) { c.Perform(WM_CHAR, static_cast<unsigned char>(ch), 0); }

inline void TypeText(gui::TWinControl& c, const std::string& s) {
  for (char ch : s) TypeChar(c, ch);
}

// Drives the application's timers on a simulated clock for as long as it lives.
class TimerPump {
 public:
  TimerPump() { gui::Application->SetClock(&clock_); }
  ~TimerPump() { gui::Application->SetClock(nullptr); }
  TimerPump(const TimerPump&) = delete;
  TimerPump& operator=(const TimerPump&) = delete;
  platform::SimulatedClock& clock() { return clock_; }
  // Moves the clock forward `ms` milliseconds in steps, processing the due timers after each step.
  void Run(uint32_t ms, uint32_t step = 1) {
    for (uint32_t t = 0; t < ms; t += step) {
      clock_.advance(step);
      gui::Application->ProcessTimers();
    }
  }

 private:
  platform::SimulatedClock clock_;
};

// Owns a component for one test and frees it the way the class library does.
template <class T>
struct Owned {
  T* p;
  explicit Owned(T* x) : p(x) {}
  ~Owned() { gui::Free(p); }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  T* operator->() const { return p; }
  T& operator*() const { return *p; }
};

}  // namespace testsupport
