// The headless windows of the native build (see form_window.h).
#include <map>

#include "gui/forms.h"
#include "gui/menus.h"
#include "skin/forms/form_window.h"
#include "skin/manager/win_values.h"

namespace skin {

void ReleaseCapture(const gui::TCustomForm& form);

namespace {

using namespace wv;

struct HeadlessWindow {
  bool styleSet = false;
  uint32_t style = 0;
  bool exStyleSet = false;
  uint32_t exStyle = 0;
  bool menuMade = false;
  std::vector<SystemMenuEntry> menu;
};

std::map<const gui::TCustomForm*, HeadlessWindow>& Windows() {
  static std::map<const gui::TCustomForm*, HeadlessWindow> windows;
  return windows;
}

HeadlessWindow& WindowOf(const gui::TCustomForm& form) { return Windows()[&form]; }

uint32_t CreatedStyle(const gui::TCustomForm& form, bool ex) {
  DWORD style = 0, exStyle = 0;
  form.WindowStyles(style, exStyle);
  if (ex) return exStyle;
  uint32_t s = style;
  if (form.Visible()) s |= kWsVisible;
  if (form.WindowState() == gui::TWindowState::wsMinimized) s |= kWsMinimize;
  if (form.WindowState() == gui::TWindowState::wsMaximized) s |= kWsMaximize;
  return s;
}

// Windows' standard system menu.
std::vector<SystemMenuEntry> StandardSystemMenu() {
  return {{0xF120, "&Restore", 0}, {0xF010, "&Move", 0},     {0xF000, "&Size", 0}, {0xF020, "Mi&nimize", 0},
          {0xF030, "Ma&ximize", 0}, {0, "", 0x800},          {0xF060, "&Close\tAlt+F4", 0}};
}

}  // namespace

bool FormWindowExists(const gui::TCustomForm&) { return true; }
void* FormWindowHandle(const gui::TCustomForm&) { return nullptr; }

uint32_t FormWindowStyle(const gui::TCustomForm& form) {
  const HeadlessWindow& w = WindowOf(form);
  return w.styleSet ? w.style : CreatedStyle(form, false);
}

void SetFormWindowStyle(gui::TCustomForm& form, uint32_t style) {
  HeadlessWindow& w = WindowOf(form);
  w.styleSet = true;
  w.style = style;
}

uint32_t FormWindowExStyle(const gui::TCustomForm& form) {
  const HeadlessWindow& w = WindowOf(form);
  return w.exStyleSet ? w.exStyle : CreatedStyle(form, true);
}

void SetFormWindowExStyle(gui::TCustomForm& form, uint32_t exStyle) {
  HeadlessWindow& w = WindowOf(form);
  w.exStyleSet = true;
  w.exStyle = exStyle;
}

TRect FormWindowRect(const gui::TCustomForm& form) {
  if (FormWindowIconic(form)) {
    const int32_t frame = SystemMetric(kSmCxFrame);
    return gui::Bounds(-32000, -32000, 160, 2 * frame + SystemMetric(kSmCyCaption));
  }
  return form.BoundsRect();
}

TSize FormClientSize(const gui::TCustomForm& form) {
  if (FormWindowIconic(form)) return TSize{};
  const TRect c = form.ClientRect();
  return TSize{c.Width(), c.Height()};
}

TPoint FormClientOrigin(const gui::TCustomForm& form) { return form.ClientOrigin(); }

bool FormWindowIconic(const gui::TCustomForm& form) { return (FormWindowStyle(form) & kWsMinimize) != 0; }
bool FormWindowZoomed(const gui::TCustomForm& form) { return (FormWindowStyle(form) & kWsMaximize) != 0; }
bool FormWindowVisible(const gui::TCustomForm& form) { return (FormWindowStyle(form) & kWsVisible) != 0; }
bool FormWindowEnabled(const gui::TCustomForm& form) { return form.Enabled(); }

int32_t SystemMetric(int index) {
  switch (index) {
    case kSmCxFrame: return 4;
    case kSmCxFixedFrame: return 3;
    case kSmCyCaption: return 19;
    case kSmCySmCaption: return 15;
    case kSmCyMenu: return 19;
    case kSmCxVScroll:
    case kSmCyHScroll: return 17;
    default: return 0;
  }
}

TRect FormMonitorWorkArea(const gui::TCustomForm&) {
  return TRect{0, 0, gui::Screen->Width(), gui::Screen->Height()};
}

TPoint CursorScreenPos() { return gui::Screen->CursorPos(); }
bool AltKeyHeld() { return false; }

std::vector<SystemMenuEntry>& HeadlessSystemMenu(const gui::TCustomForm& form) {
  HeadlessWindow& w = WindowOf(form);
  if (!w.menuMade) {
    w.menuMade = true;
    w.menu = StandardSystemMenu();
  }
  return w.menu;
}

bool FormHasSystemMenu(const gui::TCustomForm& form) {
  // As on Windows: the menu is made the first time it is asked for while the window has WS_SYSMENU, and kept.
  HeadlessWindow& w = WindowOf(form);
  if (!w.menuMade && (FormWindowStyle(form) & kWsSysMenu)) HeadlessSystemMenu(form);
  return w.menuMade && !w.menu.empty();
}

std::vector<SystemMenuEntry> FormSystemMenuEntries(const gui::TCustomForm& form) {
  if (!FormHasSystemMenu(form)) return {};
  return HeadlessSystemMenu(form);
}

int32_t FormSystemMenuState(const gui::TCustomForm& form, uint32_t command) {
  if (!FormHasSystemMenu(form)) return -1;
  for (const SystemMenuEntry& e : HeadlessSystemMenu(form))
    if (e.Id == command && command != 0) return int32_t(e.State);
  return -1;
}

void CaptionFont(gui::TFont& font) {
  font.SetName("Tahoma");
  font.SetHeight(-11);
  font.SetStyle(gui::fsBold);
}

bool FormMenuItemRect(const gui::TCustomForm& form, int index, TRect& rect) {
  const gui::TMainMenu* menu = form.Menu();
  if (menu == nullptr || FormWindowIconic(form)) return false;
  // One row of items below the caption, each as wide as its text and 16 pixels.
  const TRect w = FormWindowRect(form);
  const TRect m = form.FrameMargins();
  const int32_t top = w.Top + m.Top - SystemMetric(kSmCyMenu);
  int32_t x = w.Left + m.Left;
  int shown = 0;
  for (int i = 0; i < menu->Items()->Count(); ++i) {
    const gui::TMenuItem* item = menu->Items()->Items(i);
    if (!item->Visible()) continue;
    const int32_t width = gui::HeadlessTextExtent(form.Font(), gui::StripHotkey(item->Caption())).X + 16;
    if (shown == index) {
      rect = TRect{x, top, x + width, top + SystemMetric(kSmCyMenu)};
      return true;
    }
    x += width;
    ++shown;
  }
  return false;
}

int32_t WindowDlgCtrlID(void*) { return 0; }

intptr_t SendFormMessage(gui::TCustomForm& form, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  return form.Perform(msg, wParam, lParam);
}

void PostFormMessage(gui::TCustomForm& form, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  form.Perform(msg, wParam, lParam);
}

uint32_t TickCount() { return gui::Application->Clock().timeGetTime(); }

void RedrawFormWindow(gui::TCustomForm&, uint32_t) {}
void RedrawMDIClientWindow(gui::TCustomForm&, uint32_t) {}
void ResetWindowTheme(gui::TCustomForm&) {}
void RemoveFormRegion(gui::TCustomForm&) {}

void SetFormAlpha(gui::TCustomForm& form, uint8_t alpha) {
  const uint32_t ex = FormWindowExStyle(form);
  SetFormWindowExStyle(form, alpha == 255 ? ex & ~kWsExLayered : ex | kWsExLayered);
}

uint32_t WindowPosFlags(intptr_t) { return 0; }

void ForgetFormWindow(const gui::TCustomForm& form) {
  Windows().erase(&form);
  ReleaseCapture(form);
}

namespace {
const gui::TCustomForm* g_capture = nullptr;
bool g_minimizeAnimation = true;
int g_outlineDC = 0;
}  // namespace

void ReleaseCapture(const gui::TCustomForm& form) {
  if (g_capture == &form) g_capture = nullptr;
}
void SetFormCapture(gui::TCustomForm& form) { g_capture = &form; }
void InvalidateFormClientRect(gui::TCustomForm&, const TRect&, bool) {}
void ReleaseFormCapture() { g_capture = nullptr; }
void TrackFormFrameLeave(gui::TCustomForm&) {}
bool PointerOverFormWindow(const gui::TCustomForm&, void*) { return false; }
bool FormHasCapture(const gui::TCustomForm& form) { return g_capture == &form; }
bool DragFullWindows() { return true; }
bool RunFormCaptionMove(gui::TCustomForm&, TPoint, const std::function<void()>&) { return false; }
bool SystemMinimizeAnimation() { return g_minimizeAnimation; }
void SetSystemMinimizeAnimation(bool on) { g_minimizeAnimation = on; }
void* BeginDesktopOutline() { return &g_outlineDC; }
void DrawDesktopOutline(void* dc, const TRect&) {
  if (dc) ++DesktopOutlineDraws();
}
void EndDesktopOutline(void*) {}
int64_t& DesktopOutlineDraws() {
  static int64_t draws = 0;
  return draws;
}

}  // namespace skin
