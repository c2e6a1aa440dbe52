// The headless half of timers and panels: timers fire on the application's clock (TApplication::
// ProcessTimers), with no system timer behind them, and nothing is painted.
#include "gui/extctrls.h"

namespace gui {

void TTimer::SystemTimer(bool) {}

void TCustomPanel::PaintCaption(const std::string&, const TRect&) {}

}  // namespace gui
