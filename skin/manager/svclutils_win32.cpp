// The window half of the control utilities: child windows, window colours, layered windows and the painting of
// graphic controls into a device context. Every GDI object made here goes through the leak ledger.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "skin/manager/skinchange.h"
#include "skin/manager/svclutils.h"
#include "skin/pixels/background_info.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"

namespace skin {

namespace {

bool g_paintingGraphicControls = false;

void FillWithColor(HDC dc, const RECT& r, TColor color) {
  HBRUSH b = ledger::CreateSolidBrush(COLORREF(color) & 0x00FFFFFF);
  FillRect(dc, &r, b);
  ledger::DeleteObject(b);
}

struct ChildrenEnum {
  HWND parent;
  const gui::TMessage* msg;
};

BOOL CALLBACK SendToDirectChild(HWND child, LPARAM l) {
  const auto* e = reinterpret_cast<const ChildrenEnum*>(l);
  if (GetParent(child) == e->parent && FirstDelivery(child, *e->msg))
    SendMessageA(child, e->msg->Msg, e->msg->WParam, e->msg->LParam);
  return TRUE;
}

}  // namespace

void GetCursorPosTo(TPoint& P) {
  POINT p{};
  GetCursorPos(&p);
  P = TPoint{p.x, p.y};
}

void SetRedraw(HWND Window, bool Redraw) { SendMessageA(Window, WM_SETREDRAW, Redraw ? 1 : 0, 0); }

void SendToChildWindows(HWND Window, const gui::TMessage& Msg) {
  if (!Window) return;
  const OwnLibraryCommand own(Msg.Msg == WM_SKINCOMMAND ? Msg.WParam : 0, Msg.LParam);
  ChildrenEnum e{Window, &Msg};
  EnumChildWindows(Window, SendToDirectChild, reinterpret_cast<LPARAM>(&e));
}

void ClientRectInWindow(HWND Window, RECT& R) {
  R = RECT{};
  if (!Window) return;
  GetClientRect(Window, &R);
  POINT origin{0, 0};
  ClientToScreen(Window, &origin);
  RECT w{};
  GetWindowRect(Window, &w);
  OffsetRect(&R, origin.x - w.left, origin.y - w.top);
}

std::string GetWndClassName(HWND Window) {
  char name[128] = {};
  if (!Window) return {};
  const int n = GetClassNameA(Window, name, sizeof name);
  return std::string(name, size_t(n > 0 ? n : 0));
}

HWND TopParentWindow(HWND Window) {
  HWND h = Window;
  while (h) {
    HWND parent = GetParent(h);
    if (!parent) break;
    h = parent;
  }
  return h;
}

void RepaintChildWindows(HWND Window) {
  if (!Window) return;
  std::vector<HWND> children;
  for (HWND h = GetTopWindow(Window); h; h = GetWindow(h, GW_HWNDNEXT)) children.push_back(h);
  for (HWND h : children)
    if (IsWindow(h) && (GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) SendLibraryCommand(h, AC_FLUSHREPAINT, 0);
}

TColor WindowBgColor(HWND Window) {
  if (!Window) return clFuchsia;
  return ColorToRGB(TColor(SendLibraryCommand(Window, AC_GETCOLOR, clFuchsia)));
}

void UpdateLayeredFromBitmap(HWND Window, const Bitmap* Bmp, uint8_t Alpha, const TPoint* DstPoint) {
  if (!Window) return;
  Bitmap snapshot;
  RECT wr{};
  GetWindowRect(Window, &wr);
  if (!Bmp) {
    snapshot = Bitmap(wr.right - wr.left, wr.bottom - wr.top, pf32bit);
    if (!snapshot.Empty()) {
      BitmapDC dst(snapshot);
      HDC screen = ledger::GetDC(nullptr);
      if (dst.dc() && screen) BitBlt(dst.dc(), 0, 0, snapshot.Width(), snapshot.Height(), screen, wr.left, wr.top, SRCCOPY);
      ledger::ReleaseDC(nullptr, screen);
    }
    Bmp = &snapshot;
  }
  const LONG_PTR ex = GetWindowLongPtrA(Window, GWL_EXSTYLE);
  if (!(ex & WS_EX_LAYERED)) SetWindowLongPtrA(Window, GWL_EXSTYLE, ex | WS_EX_LAYERED);
  BLENDFUNCTION blend{AC_SRC_OVER, 0, Alpha, AC_SRC_ALPHA};
  POINT src{0, 0};
  SIZE size{Bmp->Width(), Bmp->Height()};
  POINT dst{};
  if (DstPoint) dst = POINT{DstPoint->X, DstPoint->Y};
  BitmapDC source(*Bmp);
  HDC screen = ledger::GetDC(nullptr);
  UpdateLayeredWindow(Window, screen, DstPoint ? &dst : nullptr, &size, source.dc(), &src, 0, &blend, ULW_ALPHA);
  ledger::ReleaseDC(nullptr, screen);
}

void PaintGraphicControls(HDC DC, gui::TWinControl* Control, bool StopWhenHidden, TPoint Offset) {
  if (g_paintingGraphicControls || !DC || !Control) return;
  if (StopWhenHidden && !Control->Visible()) return;
  if (Control->ControlCount() == 0) return;
  RECT clip{};
  const int clipKind = GetClipBox(DC, &clip);
  if (clipKind == NULLREGION || clipKind == ERROR || clip.right <= clip.left || clip.bottom <= clip.top) {
    SendLibraryCommandNoParam(Control, AC_SETTAGBYTE);
    return;
  }
  g_paintingGraphicControls = true;
  struct Reset {
    ~Reset() { g_paintingGraphicControls = false; }
  } reset;

  // What lies under the children: the control's own background (its cached image or its colour).
  BackgroundInfo bg;
  bg.R = TRect{0, 0, Control->Width(), Control->Height()};
  SendLibraryCommandToControl(Control, AC_GETBACKGROUND, reinterpret_cast<LPARAM>(&bg));
  if (bg.BgType == btUnknown) {
    bg.BgType = btFill;
    bg.Color = ControlBgColor(Control);
  }

  // The memory DC and its bitmap go on every path (a child's paint may throw).
  struct MemorySurface {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    ~MemorySurface() {
      if (dc) {
        if (old) SelectObject(dc, old);
        ledger::DeleteDC(dc);
      }
      if (bitmap) ledger::DeleteObject(bitmap);
    }
  } surface;
  std::vector<gui::TControl*> children;
  for (int i = 0; i < Control->ControlCount(); ++i) children.push_back(Control->Controls(i));
  for (gui::TControl* child : children) {
    if (dynamic_cast<gui::TWinControl*>(child)) continue;
    const RECT r{child->Left(), child->Top(), child->Left() + child->Width(), child->Top() + child->Height()};
    const RECT inDC{r.left + Offset.X, r.top + Offset.Y, r.right + Offset.X, r.bottom + Offset.Y};
    const bool needs = child->Visible() && child->Width() >= 1 && child->Height() >= 1 && !child->IsDestroying() &&
                       RectVisible(DC, &inDC);
    if (!needs) {
      child->Perform(WM_SKINCOMMAND, SkinCommandWParam(AC_SETTAGBYTE), 0);
      continue;
    }
    if (!surface.dc) {
      HDC screen = ledger::GetDC(nullptr);
      surface.bitmap =
          ledger::CreateCompatibleBitmap(screen, std::max(Control->Width(), 1), std::max(Control->Height(), 1));
      surface.dc = ledger::CreateCompatibleDC(screen);
      ledger::ReleaseDC(nullptr, screen);
      if (!surface.dc || !surface.bitmap) break;
      surface.old = SelectObject(surface.dc, surface.bitmap);
    }
    HDC mem = surface.dc;
    // The child's background.
    if (child->ControlStyle() & gui::csOpaque) {
      FillWithColor(mem, r, ControlBgColor(child));
    } else if (bg.BgType == btCache && bg.Bmp && !bg.Bmp->Empty()) {
      BitmapDC src(*bg.Bmp);
      if (src.dc())
        BitBlt(mem, r.left, r.top, r.right - r.left, r.bottom - r.top, src.dc(), bg.Offset.X + r.left,
               bg.Offset.Y + r.top, SRCCOPY);
    } else {
      FillWithColor(mem, r, ColorToRGB(bg.Color));
    }
    // The child paints itself with its origin at its position and its clip limited to its size; the memory DC's
    // state comes back however the paint ends.
    const int saved = SaveDC(mem);
    struct RestoreState {
      HDC dc;
      int saved;
      ~RestoreState() {
        if (saved) RestoreDC(dc, saved);
      }
    } restore{mem, saved};
    SetViewportOrgEx(mem, r.left, r.top, nullptr);
    IntersectClipRect(mem, 0, 0, child->Width(), child->Height());
    child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
    RestoreDC(mem, saved);
    restore.saved = 0;
    BitBlt(DC, inDC.left, inDC.top, r.right - r.left, r.bottom - r.top, mem, r.left, r.top, SRCCOPY);
  }
}

SetWindowThemeFn SetWindowThemeEntry() {
  struct Theme {
    HMODULE module = nullptr;
    SetWindowThemeFn entry = nullptr;
    Theme() {
      module = LoadLibraryA("UXTHEME");
      if (module)
        entry = reinterpret_cast<SetWindowThemeFn>(reinterpret_cast<void*>(GetProcAddress(module, "SetWindowTheme")));
    }
    ~Theme() {
      if (module) FreeLibrary(module);
    }
  };
  static Theme theme;
  return theme.entry;
}

}  // namespace skin
