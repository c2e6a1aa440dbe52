// The Win32 half of timers and panels: timers as SetTimer timers of a hidden utility window, and the panel's
// caption drawn with GDI.
#include <map>

#include "gui/extctrls.h"
#include "gui/forms.h"
#include "gui/win32_bridge.h"

namespace gui {

namespace {
std::map<uintptr_t, TTimer*>& TimerMap() {
  static std::map<uintptr_t, TTimer*> timers;
  return timers;
}

LRESULT CALLBACK UtilWndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_TIMER) {
    auto& timers = TimerMap();
    auto it = timers.find(static_cast<uintptr_t>(w));
    if (it != timers.end()) {
      TTimer* t = it->second;
      try {
        t->Timer();
      } catch (...) {
        try {
          Application->HandleException(t);
        } catch (...) {
        }
      }
    }
    return 0;
  }
  return DefWindowProcA(h, msg, w, l);
}

HWND UtilWindow() {
  static HWND h = nullptr;
  if (!h) {
    WindowBridge::EnsureClass("TPUtilWindow", 0, UtilWndProc);
    h = CreateWindowExA(WS_EX_TOOLWINDOW, "TPUtilWindow", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                        WindowBridge::Instance(), nullptr);
  }
  return h;
}

uintptr_t NextTimerId() {
  static uintptr_t next = 1;
  return next++;
}
}  // namespace

void TTimer::SystemTimer(bool run) {
  if (id_) {
    KillTimer(UtilWindow(), id_);
    TimerMap().erase(id_);
    id_ = 0;
  }
  if (run) {
    id_ = NextTimerId();
    TimerMap()[id_] = this;
    if (!SetTimer(UtilWindow(), id_, interval_, nullptr)) {
      TimerMap().erase(id_);
      id_ = 0;
      throw EInvalidOperation("Not enough timers available");
    }
  }
}

void TCustomPanel::PaintCaption(const std::string& caption, const TRect& r) {
  HDC dc = canvas_.Handle();
  HGDIOBJ old = SelectObject(dc, font_.Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorRef(enabled_ ? font_.Color() : clGrayText));
  RECT rc{r.Left + 2, r.Top, r.Right - 2, r.Bottom};
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  flags |= alignment_ == TAlignment::taCenter ? DT_CENTER : alignment_ == TAlignment::taRightJustify ? DT_RIGHT : DT_LEFT;
  DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &rc, flags);
  SelectObject(dc, old);
}

}  // namespace gui
