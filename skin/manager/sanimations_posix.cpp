// The animations' window half in the native build: there are no windows. The layered output does nothing (tests
// set their own), helper windows are none, the busy waits do not wait, and the work area is the screen's.
#include "gui/forms.h"
#include "skin/manager/sanimations.h"
#include "skin/manager/sanimations_window.h"

namespace skin {

namespace {
class NoOutput final : public TacLayeredOutput {
 public:
  void Push(HWND, const Bitmap&, uint8_t) override {}
};
}  // namespace

namespace detail {

TacLayeredOutput& SystemLayeredOutput() {
  static NoOutput output;
  return output;
}

TacAnimWindow MakeHelperWindow(const TRect&, bool, HWND) { return {}; }
void TakeInPendingInput() {}
void PrepareHideWindow(HWND) {}
void ShowHideWindow(HWND, const TSize&) {}
void ShowNoActivate(HWND) {}
void HideWindow(HWND) {}
TRect WindowScreenRect(HWND) { return {}; }
bool WindowTopmost(HWND) { return false; }
void CopyWindowRegion(HWND, HWND) {}
uint32_t TickCount() { return 0; }
void WaitUntil(uint32_t) {}
void SleepFor(uint32_t) {}
void RedrawOn(HWND, uint32_t) {}
void CaptureScreen(HWND, Bitmap&) {}
void PrintWindowInto(HWND, Bitmap&, int32_t, int32_t, int32_t, int32_t, bool) {}
void PrintControlInto(gui::TControl*, Bitmap&, int32_t, int32_t) {}
void CopyWindowDC(HWND, Bitmap&, const TPoint&) {}
TRect ClientRectInWindow(HWND) { return {}; }
void CopyWindowPart(HWND, const TRect&, Bitmap&, const TPoint&) {}
void* BitmapDeviceContext(Bitmap&) { return nullptr; }
void ReleaseBitmapDeviceContext(Bitmap&, void*) {}

}  // namespace detail

bool SetWindowAlpha(HWND, bool, uint8_t) { return false; }

TacHintWindow::~TacHintWindow() = default;

std::unique_ptr<TacHintWindow> ShowHintWindow(const std::string& Text, const TPoint&) {
  if (Text.empty()) return nullptr;
  auto hint = std::unique_ptr<TacHintWindow>(new TacHintWindow);
  hint->text_ = Text;
  return hint;
}

TRect FormMonitorWorkArea(gui::TCustomForm*) { return TRect{0, 0, gui::Screen->Width(), gui::Screen->Height()}; }

TRect WorkAreaAtPoint(const TPoint& Point) {
  const TRect screen{0, 0, gui::Screen->Width(), gui::Screen->Height()};
  const bool inside = Point.X >= screen.Left && Point.X < screen.Right && Point.Y >= screen.Top && Point.Y < screen.Bottom;
  return inside ? screen : TRect{};
}

}  // namespace skin
