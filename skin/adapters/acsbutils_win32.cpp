// The skinned scroll bars: geometry on a window, the non-client layout, painting, the mouse and the timers.
#include "skin/adapters/acsbutils.h"

#include <windowsx.h>

#include <algorithm>
#include <memory>

#include "skin/adapters/acscrollwnd.h"
#include "skin/adapters/scroll_paint.h"
#include "skin/data/sskinmanager.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/manager/svclutils.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/graph_utils.h"
#include "skin/painters/parent_background.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/state_images.h"

namespace skin {

namespace {

ScrollEngineState g_engine;

using GetScrollBarInfoFn = BOOL(WINAPI*)(HWND, LONG, PSCROLLBARINFO);

GetScrollBarInfoFn ScrollBarInfoEntry() {
  static const GetScrollBarInfoFn entry = [] {
    HMODULE user = GetModuleHandleA("user32.dll");
    return user != nullptr
               ? reinterpret_cast<GetScrollBarInfoFn>(reinterpret_cast<void*>(GetProcAddress(user, "GetScrollBarInfo")))
               : nullptr;
  }();
  return entry;
}

HMODULE Comctl32() {
  static const HMODULE module = LoadLibraryA("comctl32.dll");
  return module;
}

TRect ToRect(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }

TRect WindowRectOf(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return ToRect(r);
}

// The cursor, or the position of the message being handled, in screen coordinates.
TPoint MessagePoint() {
  const DWORD p = GetMessagePos();
  return TPoint{GET_X_LPARAM(p), GET_Y_LPARAM(p)};
}

TPoint CursorPoint() {
  POINT p{};
  GetCursorPos(&p);
  return TPoint{p.x, p.y};
}

TacScrollBar* BarOfKind(TacScrollWnd* a, int32_t kind) {
  if (a == nullptr) return nullptr;
  return kind == 0 ? a->HorzBar.get() : a->VertBar.get();
}

// The window's part of the busy byte, kept set while the engine sends its own messages.
struct Busy {
  explicit Busy(TacScrollWnd* a) : a_(a) {
    if (a_ != nullptr) a_->ScrollBusy() = 1;
  }
  ~Busy() {
    if (a_ != nullptr) a_->ScrollBusy() = 0;
  }
  TacScrollWnd* a_;
};

bool LeftButtonDown() {
  const int vk = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
  return (GetAsyncKeyState(vk) & 0x8000) != 0;
}

bool BarEnabled(TacScrollBar& bar, HWND h) {
  if (!ScrollBarVisible(bar) || !IsWindowEnabled(h)) return false;
  TacScrollWnd* a = bar.Owner;
  gui::TControl* control = a != nullptr && a->SkinData != nullptr ? a->SkinData->OwnerControl : nullptr;
  return control == nullptr || control->Enabled();
}

void ReadBar(TacScrollBar& bar, HWND h) {
  bar.ScrollInfo.cbSize = sizeof(SCROLLINFO);
  bar.ScrollInfo.fMask = SIF_ALL;
  GetScrollInfo(h, bar.Kind == 0 ? SB_HORZ : SB_VERT, &bar.ScrollInfo);
}

// The bar's rectangle in the window's coordinates.
TRect InWindow(const TRect& screen, HWND h) {
  const TRect w = WindowRectOf(h);
  return TRect{screen.Left - w.Left, screen.Top - w.Top, screen.Right - w.Left, screen.Bottom - w.Top};
}

// The parent background under a rectangle of the window (window coordinates), mapped to the rectangle's origin.
CacheInfo ParentBackgroundAt(HWND h, const TRect& r, BackgroundInfo& info) {
  CacheInfo ci = EmptyCacheInfo;
  const HWND parent = GetParent(h);
  if (parent == nullptr) {
    ci.FillColor = DefaultManager() != nullptr ? SkinManagerGlobalColor(*DefaultManager()) : ColorToRGB(clBtnFace);
    return ci;
  }
  info = BackgroundInfo{};
  info.R = r;
  QueryParentBackground(info, parent, false);
  BackgroundToCacheInfo(info, ci);
  RECT wr{};
  GetWindowRect(h, &wr);
  POINT at{wr.left, wr.top};
  ScreenToClient(parent, &at);
  ci.X += at.x + r.Left;
  ci.Y += at.y + r.Top;
  return ci;
}

void RepaintBars(TacScrollWnd* a, HWND h) {
  if (a != nullptr && IsWindow(h)) PaintNonClientScrollBars(a, h, -1, nullptr);
}

void KillEngineTimer(HWND h, UINT_PTR id) {
  if (h != nullptr) ledger::KillTimer(h, id);
}

// The hover state ends (the hot window's timer killed); its bars are repainted when asked.
void EndHover(bool repaint) {
  const HWND h = g_engine.HotWnd;
  if (g_engine.HoverTimer != 0) KillEngineTimer(h, ScrollHoverTimerId);
  g_engine.HoverTimer = 0;
  g_engine.HotWnd = nullptr;
  g_engine.HotBar = g_engine.HotPart = g_engine.PrevHotPart = -1;
  if (repaint && h != nullptr) RepaintBars(dynamic_cast<TacScrollWnd*>(AdapterOfWindow(h)), h);
}

void ResetPress() {
  g_engine.PressedWnd = nullptr;
  g_engine.PressedPart = g_engine.ShownPart = g_engine.PressedBar = -1;
  g_engine.RepeatTimer = 0;
  g_engine.ScrollMsg = 0;
}

// A press ends: timers killed, the capture let go, the closing scroll messages sent (SB_THUMBPOSITION after a
// drag, then SB_ENDSCROLL), the bar repainted without a part.
void EndPress(TacScrollWnd* a, HWND h, bool releaseCapture) {
  if (g_engine.PressedWnd != h || g_engine.PressedPart == -1) return;
  const int32_t part = g_engine.PressedPart;
  const UINT msg = g_engine.ScrollMsg;
  const int32_t last = g_engine.LastTrackPos;
  const bool dragging = a != nullptr && a->TrackingThumb != 0;
  if (g_engine.RepeatTimer != 0) {
    KillEngineTimer(h, ScrollFirstRepeatTimerId);
    KillEngineTimer(h, ScrollRepeatTimerId);
  }
  ResetPress();  // before the capture goes: its loss must find nothing left to end
  if (releaseCapture && GetCapture() == h && (a == nullptr || !a->KeepsCapture())) ReleaseCapture();
  if (a != nullptr) a->TrackingThumb = 0;
  {
    Busy busy(a);
    if (dragging) SendScrollMessage(h, msg, SB_THUMBPOSITION, last);
    SendScrollMessage(h, msg, SB_ENDSCROLL, part == sbpThumb ? last : 0);
  }
  RepaintBars(a, h);
}

// The part under a screen point in the pressed bar.
int32_t PressedBarPart(TacScrollWnd* a, HWND h, const TPoint& p) {
  TacScrollBar* bar = BarOfKind(a, g_engine.PressedBar);
  if (bar == nullptr) return sbpNone;
  return ScrollHitTest(*bar, ScrollBarRect(a, g_engine.PressedBar, h), p.X, p.Y);
}

// Arrow or track pressed: the part shown pressed follows the cursor; the bar is repainted when it changes.
void FollowPressedPart(TacScrollWnd* a, HWND h, const TPoint& p) {
  const int32_t shown = PressedBarPart(a, h, p) == g_engine.PressedPart ? g_engine.PressedPart : -1;
  if (shown == g_engine.ShownPart) return;
  g_engine.ShownPart = shown;
  RepaintBars(a, h);
}

bool SizeGripApplies(TacScrollWnd* a, HWND h, const TRect& corner) {
  const HWND parent = GetParent(h);
  if (parent == nullptr || !(GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) return true;
  if (GetWindowLongA(parent, GWL_STYLE) & WS_CHILD) return false;  // only a child of a top-level window
  RECT pc{};
  GetClientRect(parent, &pc);
  POINT tl{pc.left, pc.top}, br{pc.right, pc.bottom};
  ClientToScreen(parent, &tl);
  ClientToScreen(parent, &br);
  if (corner.Bottom + a->BorderBottom != br.y) return false;
  return a->LeftScrollBar ? corner.Left - a->BorderLeft == tl.x : corner.Right + a->BorderRight == br.x;
}

TRect CornerRect(TacScrollWnd* a, HWND h) {
  const TRect hr = HorzScrollBarRect(a, h), vr = VertScrollBarRect(a, h);
  return TRect{vr.Left, hr.Top, vr.Right, hr.Bottom};
}

void PaintCorner(TacScrollWnd* a, HWND h, HDC dc) {
  TsSkinManager* m = a->SkinManager;
  if (m == nullptr) return;
  const TRect screen = CornerRect(a, h);
  const TRect r = InWindow(screen, h);
  if (r.IsEmpty()) return;
  const LoadedSkin& skin = m->Skin();
  Bitmap bmp(r.Width(), r.Height(), pf32bit);
  BackgroundInfo info;
  const CacheInfo ci = ParentBackgroundAt(h, r, info);
  const int32_t track = skin.CommonIndexes.ScrollBar1H.SectionIndex;
  if (SkinManagerIsValidSectionIndex(skin, track) && skin.Sections[size_t(track)].NormalState.Transparency != 100) {
    TColor c = skin.Sections[size_t(track)].NormalState.Color;
    if (c == KeyColor) c = SkinManagerGlobalColor(skin);
    const bool bothEnabled = BarEnabled(*a->HorzBar, h) && BarEnabled(*a->VertBar, h);
    if (!bothEnabled && SkinManagerIsValidSectionIndex(skin, a->SkinData->SkinIndex)) {
      const SkinSectionRecord& own = skin.Sections[size_t(a->SkinData->SkinIndex)];
      c = MixColorsRatio(c, SectionStateBlock(own, a->SkinData->MouseAbove ? 1 : 0).Color, 0.4);
    }
    FillRectBitmap32(bmp, TRect{0, 0, bmp.Width(), bmp.Height()}, c, 255);
  } else if (!ci.Ready || ci.Bmp == nullptr) {
    FillRectBitmap32(bmp, TRect{0, 0, bmp.Width(), bmp.Height()}, SkinManagerGlobalColor(skin), 255);
  } else {
    CopyPieceKeyed(bmp, *ci.Bmp, 0, 0, TRect{ci.X, ci.Y, ci.X + bmp.Width(), ci.Y + bmp.Height()}, clNone, false, ci);
  }
  const int32_t grip = skin.CommonIndexes.GripImage;
  if (SkinManagerIsValidImageIndex(skin, grip) && SizeGripApplies(a, h, screen)) {
    const SkinImageRecord& rec = skin.Images[size_t(grip)];
    DrawImageState(bmp, TPoint{bmp.Width() - ImageStateWidth(rec), bmp.Height() - ImageFrameHeight(rec)}, 0,
                   CacheInfoFromBitmap(&bmp, 0, 0), rec, 1);
  }
  BitmapToDC(dc, r.Left, r.Top, r.Width(), r.Height(), bmp, 0, 0);
}

// The dragged thumb drawn at its new place into the window's DC.
void PaintDraggedBar(TacScrollWnd* a, HWND h, TacScrollBar& bar, int32_t thumbStart) {
  const TRect screen = g_engine.DragBarRect;
  const TRect r = InWindow(screen, h);
  if (r.Width() < 2 || r.Height() < 2) return;
  ScrollBarLook look;
  look.Vertical = bar.Kind == 1;
  look.Arrow = ScrollBarSize(&bar, false);
  look.MinThumbSize = bar.MinThumbSize;
  look.Range = bar.Range();
  look.Dragging = true;
  look.DragStart = thumbStart - (look.Vertical ? screen.Top : screen.Left);
  look.DragLength = g_engine.DragThumbLength;
  Bitmap bmp(r.Width(), r.Height(), pf32bit);
  BackgroundInfo info;
  const CacheInfo ci = ParentBackgroundAt(h, r, info);
  if (!PaintScrollBarImage(bmp, look, a->SkinManager, ci)) return;
  if (HDC dc = ledger::GetWindowDC(h)) {
    BitmapToDC(dc, r.Left, r.Top, r.Width(), r.Height(), bmp, 0, 0);
    ledger::ReleaseDC(h, dc);
  }
}

}  // namespace

const ScrollEngineState& ScrollEngine() { return g_engine; }

FlatSBFn InitializeFlatSBEntry() {
  static const FlatSBFn entry =
      Comctl32() != nullptr
          ? reinterpret_cast<FlatSBFn>(reinterpret_cast<void*>(GetProcAddress(Comctl32(), "InitializeFlatSB")))
          : nullptr;
  return entry;
}

FlatSBFn UninitializeFlatSBEntry() {
  static const FlatSBFn entry =
      Comctl32() != nullptr
          ? reinterpret_cast<FlatSBFn>(reinterpret_cast<void*>(GetProcAddress(Comctl32(), "UninitializeFlatSB")))
          : nullptr;
  return entry;
}

// ---- Attaching.

bool AttachScrollWindow(TacScrollWnd* Adapter, HWND Handle, bool Repaint) {
  if (Adapter == nullptr) return false;
  Adapter->Handle = Handle;
  Adapter->ScrollBusy() = 0;
  Adapter->HorzBar = std::make_unique<TacScrollBar>();
  Adapter->VertBar = std::make_unique<TacScrollBar>();
  Adapter->HorzBar->Owner = Adapter;
  Adapter->VertBar->Owner = Adapter;
  Adapter->HorzBar->Kind = 0;
  Adapter->VertBar->Kind = 1;
  ReadBar(*Adapter->HorzBar, Handle);
  ReadBar(*Adapter->VertBar, Handle);
  Adapter->LeftScrollBar = (GetWindowLongA(Handle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR) != 0;
  const LONG style = GetWindowLongA(Handle, GWL_STYLE);
  Adapter->HorzBar->HasStyle = (style & WS_HSCROLL) ? 8 : 0;
  Adapter->VertBar->HasStyle = (style & WS_VSCROLL) ? 8 : 0;
  Adapter->Updating = 0;
  if (!AttachWindow(Adapter, Handle)) return false;
  Adapter->HorzBar->MinThumbSize = 16;
  Adapter->VertBar->MinThumbSize = 16;
  if (Repaint && AttachPaintDeferred(Handle))
    SetWindowPos(Handle, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOREDRAW);
  else if (Repaint)
    RedrawWindowFrame(Handle, true);
  return true;
}

bool DetachScrollWindow(HWND Handle, bool FreeAdapter, bool RedrawFrame, TacMainWnd*& Adapter) {
  // The scrollable family frees its bars and ends its hover and press state as it leaves the window (before the
  // frame is refreshed, so that the system's own bars come back).
  return DetachWindow(Handle, FreeAdapter, RedrawFrame, Adapter);
}

void ScrollEngineForget(HWND Handle) {
  if (Handle == nullptr) return;
  if (g_engine.PressedWnd == Handle) {
    if (g_engine.RepeatTimer != 0) {
      KillEngineTimer(Handle, ScrollFirstRepeatTimerId);
      KillEngineTimer(Handle, ScrollRepeatTimerId);
    }
    ResetPress();
    if (GetCapture() == Handle) ReleaseCapture();
  }
  if (g_engine.HotWnd == Handle) EndHover(false);
}

// ---- Geometry.

int32_t ScrollBarSize(const TacScrollBar* Bar, bool Thickness) {
  if (Bar == nullptr) return 0;
  const TacScrollData* own = nullptr;
  if (Bar->Owner != nullptr)
    if (TsScrollWndData* data = Bar->Owner->ScrollData()) own = Bar->Kind == 0 ? &data->HorzScrollData : &data->VertScrollData;
  const TsSkinManager* m = Bar->Owner != nullptr ? Bar->Owner->SkinManager : nullptr;
  const int32_t managerSize = m != nullptr ? m->ScrollsOptions.ScrollSize : -1;
  const int32_t defaultSize = managerSize >= 0 ? managerSize : GetSystemMetrics(SM_CXVSCROLL);
  if (Thickness) return own != nullptr && own->ScrollWidth >= 0 ? own->ScrollWidth : defaultSize;
  if (own != nullptr && own->ButtonsSize >= 0) return own->ButtonsSize;
  if (m != nullptr && m->ScrollsOptions.ButtonsSize >= 0) return m->ScrollsOptions.ButtonsSize;
  return defaultSize;
}

TRect HorzScrollBarRect(TacScrollWnd* Adapter, HWND Handle) {
  if (Adapter == nullptr || !Adapter->HorzBar || !Adapter->VertBar) return TRect{};
  const TRect w = WindowRectOf(Handle);
  TRect r;
  r.Bottom = w.Bottom - Adapter->BorderBottom;
  r.Top = r.Bottom - Adapter->HorzBar->Visible * ScrollBarSize(Adapter->HorzBar.get(), true);
  r.Left = w.Left + Adapter->BorderLeft;
  r.Right = w.Right - Adapter->BorderRight;
  const int32_t room = Adapter->VertBar->Visible * ScrollBarSize(Adapter->VertBar.get(), true);
  if (Adapter->LeftScrollBar)
    r.Left += room;
  else
    r.Right -= room;
  return r;
}

TRect VertScrollBarRect(TacScrollWnd* Adapter, HWND Handle) {
  if (Adapter == nullptr || !Adapter->HorzBar || !Adapter->VertBar) return TRect{};
  const TRect w = WindowRectOf(Handle);
  TRect r;
  r.Top = w.Top + Adapter->BorderTop;
  r.Bottom = w.Bottom - Adapter->BorderBottom - Adapter->HorzBar->Visible * ScrollBarSize(Adapter->HorzBar.get(), true);
  const int32_t width = Adapter->VertBar->Visible * ScrollBarSize(Adapter->VertBar.get(), true);
  if (Adapter->LeftScrollBar) {
    r.Left = w.Left + Adapter->BorderLeft;
    r.Right = r.Left + width;
  } else {
    r.Right = w.Right - Adapter->BorderRight;
    r.Left = r.Right - width;
  }
  return r;
}

TRect ScrollBarRect(TacScrollWnd* Adapter, int32_t Kind, HWND Handle) {
  return Kind == 0 ? HorzScrollBarRect(Adapter, Handle) : VertScrollBarRect(Adapter, Handle);
}

ScrollThumb ScrollThumbRect(const TacScrollBar& Bar, const TRect& BarRect) {
  const bool v = Bar.Kind == 1;
  return ScrollThumbRect(Bar.Range(), Bar.MinThumbSize, v ? BarRect.Top : BarRect.Left,
                         v ? BarRect.Height() : BarRect.Width(), ScrollBarSize(&Bar, false));
}

int32_t ScrollHitTest(const TacScrollBar& Bar, const TRect& BarRect, int32_t X, int32_t Y) {
  return ScrollHitTest(Bar.Range(), Bar.MinThumbSize, BarRect, Bar.Kind == 1, ScrollBarSize(&Bar, false),
                       TPoint{X, Y});
}

bool ScrollBarVisible(const TacScrollBar& Bar) {
  const HWND h = Bar.Owner != nullptr ? Bar.Owner->Handle : nullptr;
  if (h == nullptr) return false;
  if (GetScrollBarInfoFn entry = ScrollBarInfoEntry()) {
    SCROLLBARINFO info{};
    info.cbSize = sizeof(info);
    if (!entry(h, Bar.Kind == 0 ? OBJID_HSCROLL : OBJID_VSCROLL, &info)) return false;
    return (info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0;
  }
  return (GetWindowLongA(h, GWL_STYLE) & (Bar.Kind == 0 ? WS_HSCROLL : WS_VSCROLL)) != 0;
}

// ---- Painting.

bool PaintScrollBar(TacScrollBar& Bar, HWND Handle, HDC DC, int32_t Part, const TRect& BarRect) {
  TacScrollWnd* a = Bar.Owner;
  if (a == nullptr || a->TrackingThumb || !Bar.Visible || DC == nullptr) return false;
  TsSkinManager* m = a->SkinManager;
  if (m == nullptr) return false;
  const SkinCommonIndexes& c = m->Skin().CommonIndexes;
  if (!SkinManagerIsValidSectionIndex(m->Skin(), Bar.Kind == 0 ? c.ScrollBar1H.SectionIndex : c.ScrollBar1V.SectionIndex))
    return false;
  if (BarRect.Width() < 2 || BarRect.Height() < 2) return false;
  ReadBar(Bar, Handle);
  ScrollBarLook look;
  look.Vertical = Bar.Kind == 1;
  look.Arrow = ScrollBarSize(&Bar, false);
  look.MinThumbSize = Bar.MinThumbSize;
  look.Range = Bar.Range();
  look.Enabled = BarEnabled(Bar, Handle);
  if (g_engine.HotWnd == Handle && g_engine.HotBar == Bar.Kind) look.HotPart = g_engine.HotPart;
  if (g_engine.PressedWnd == Handle && g_engine.PressedBar == Bar.Kind) look.PressedPart = Part;
  Bitmap bmp(BarRect.Width(), BarRect.Height(), pf32bit);
  BackgroundInfo info;
  const CacheInfo ci = ParentBackgroundAt(Handle, BarRect, info);
  if (!PaintScrollBarImage(bmp, look, m, ci)) return false;
  return BitmapToDC(DC, BarRect.Left, BarRect.Top, BarRect.Width(), BarRect.Height(), bmp, 0, 0);
}

LRESULT PaintNonClientScrollBars(TacScrollWnd* Adapter, HWND Handle, int32_t Part, HDC DC) {
  if (Adapter == nullptr || Adapter->SkinData == nullptr || !Adapter->HorzBar || !Adapter->VertBar) return 0;
  TsCommonData* data = Adapter->SkinData;
  if (data->Updating) return 0;
  gui::TControl* control = data->OwnerControl;
  if (control != nullptr && control->IsDestroying()) return 0;
  if (!IsWindowVisible(Handle) && (control == nullptr || !control->Visible())) return 0;
  if (data->BGChanged) SendLibraryCommand(Handle, AC_UPDATECACHE, 0);
  HDC dc = DC;
  if (dc == nullptr) dc = ledger::GetWindowDC(Handle);
  if (dc == nullptr) return 0;
  for (TacScrollBar* bar : {Adapter->HorzBar.get(), Adapter->VertBar.get()}) {
    if (!bar->Visible) continue;
    const int32_t part = (g_engine.PressedWnd == Handle && g_engine.PressedBar == bar->Kind) ? g_engine.ShownPart : -1;
    PaintScrollBar(*bar, Handle, dc, part, InWindow(ScrollBarRect(Adapter, bar->Kind, Handle), Handle));
  }
  if (Adapter->HorzBar->Visible && Adapter->VertBar->Visible) PaintCorner(Adapter, Handle, dc);
  if (DC == nullptr) ledger::ReleaseDC(Handle, dc);
  (void)Part;
  return 1;
}

// ---- Scroll messages and refreshes.

LRESULT SendScrollMessage(HWND Handle, UINT Msg, int32_t Code, int32_t Pos) {
  const LPARAM which = LPARAM(MAKELONG(WORD(Code), WORD(Msg)));
  // The high word carries Min(Pos, 65535): a negative position keeps its low 16 bits (-5 travels as 0xFFFB), as
  // the system's own bars send it; the exact value is in LParam for receivers that ask for it.
  const WPARAM wParam = MAKEWPARAM(WORD(Code), WORD(uint32_t(std::min(Pos, 65535)) & 0xFFFFu));
  if (SendLibraryCommand(Handle, AC_SCROLLBEGIN, which) == 1) {
    SendMessageA(Handle, Msg, wParam, LPARAM(Pos));
  } else {
    if (Code == SB_THUMBTRACK) {
      // The window reads the exact position from its scroll information (the word in WParam stops at 65535).
      SCROLLINFO si{};
      si.cbSize = sizeof(si);
      si.fMask = SIF_POS;
      si.nPos = Pos;
      SetScrollInfo(Handle, Msg == WM_HSCROLL ? SB_HORZ : SB_VERT, &si, FALSE);
    }
    SendMessageA(Handle, Msg, wParam, 0);
  }
  return SendLibraryCommand(Handle, AC_SCROLLEND, which);
}

void RefreshScrollBars(TacScrollWnd* Adapter, bool Repaint) {
  if (Adapter == nullptr || !Adapter->HorzBar || !Adapter->VertBar || Adapter->SkinData == nullptr) return;
  const HWND h = Adapter->Handle;
  if (!IsWindowVisible(h) || Adapter->SkinData->Updating) return;
  ReadBar(*Adapter->HorzBar, h);
  ReadBar(*Adapter->VertBar, h);
  if (Repaint && !SkinChangeInProgress(Adapter->SkinManager)) PaintNonClientScrollBars(Adapter, h, -1, nullptr);
}

// ---- The non-client layout.

LRESULT ScrollNcCalcSize(TacScrollWnd* Adapter, HWND Handle, WPARAM WParam, LPARAM LParam) {
  auto* rects = reinterpret_cast<RECT*>(LParam);
  const TRect window = ToRect(rects[0]);
  const LONG style = GetWindowLongA(Handle, GWL_STYLE);
  LRESULT result = 0;
  gui::TMessage m{WM_NCCALCSIZE, WParam, LParam, 0};
  if (style & (WS_HSCROLL | WS_VSCROLL)) {
    // The system computes the client area as if there were no scroll bars.
    Adapter->Updating = 1;
    SetWindowLongA(Handle, GWL_STYLE, style & ~LONG(WS_HSCROLL | WS_VSCROLL));
    result = Adapter->CallOriginal(m);
    SetWindowLongA(Handle, GWL_STYLE, style);
    Adapter->Updating = 0;
  } else {
    result = Adapter->CallOriginal(m);
  }
  TRect client = ToRect(rects[0]);
  if (TsSkinManager* mgr = Adapter->SkinManager; mgr != nullptr && Adapter->SkinData != nullptr) {
    const LoadedSkin& skin = mgr->Skin();
    if (SkinManagerIsValidSectionIndex(skin, Adapter->SkinData->SkinIndex)) {
      const int32_t code = skin.Sections[size_t(Adapter->SkinData->SkinIndex)].BorderKind;
      if (code < 0 && client.Left - window.Left > 1) {
        // The system's border is thinned to what the skin draws.
        client = TRect{client.Left + code, client.Top + code, client.Right - code, client.Bottom - code};
      }
    }
  }
  Adapter->BorderLeft = client.Left - window.Left;
  Adapter->BorderRight = window.Right - client.Right;
  Adapter->BorderTop = client.Top - window.Top;
  Adapter->BorderBottom = window.Bottom - client.Bottom;
  TacScrollBar& h = *Adapter->HorzBar;
  TacScrollBar& v = *Adapter->VertBar;
  h.HasStyle = (style & WS_HSCROLL) ? 8 : 0;
  const int32_t hs = ScrollBarSize(&h, true);
  if (h.HasStyle && hs <= client.Height()) {
    client.Bottom -= hs;
    h.Visible = 1;
  } else {
    h.Visible = 0;
  }
  v.HasStyle = (style & WS_VSCROLL) ? 8 : 0;
  const int32_t vs = ScrollBarSize(&v, true);
  if (v.HasStyle && vs <= client.Width()) {
    if (Adapter->LeftScrollBar)
      client.Left += vs;
    else
      client.Right -= vs;
    v.Visible = 1;
  } else {
    v.Visible = 0;
  }
  rects[0] = RECT{client.Left, client.Top, client.Right, client.Bottom};
  return result;
}

LRESULT ScrollStyleChanged(TacScrollWnd* Adapter, HWND Handle, WPARAM WParam, LPARAM LParam) {
  if (LONG_PTR(WParam) == GWL_EXSTYLE && LParam != 0)
    Adapter->LeftScrollBar = (reinterpret_cast<const STYLESTRUCT*>(LParam)->styleNew & WS_EX_LEFTSCROLLBAR) != 0;
  gui::TMessage m{WM_STYLECHANGED, WParam, LParam, 0};
  return Adapter->CallOriginal(m);
}

LRESULT ScrollNcHitTest(TacScrollWnd* Adapter, HWND Handle, WPARAM WParam, LPARAM LParam) {
  TsCommonData* data = Adapter->SkinData;
  if (data != nullptr && data->OwnerControl != nullptr && !data->MouseAbove)
    if (TsSkinManagerComponent* c = ManagerComponent(DefaultManager()); c != nullptr && c->HotControl() != data->OwnerControl)
      SkinManagerSetHotControl(c, data->OwnerControl);
  const TPoint p{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
  if (Adapter->HorzBar->Visible && HorzScrollBarRect(Adapter, Handle).Contains(p))
    return ScrollBarVisible(*Adapter->HorzBar) ? HTHSCROLL : HTNOWHERE;
  if (Adapter->VertBar->Visible && VertScrollBarRect(Adapter, Handle).Contains(p))
    return ScrollBarVisible(*Adapter->VertBar) ? HTVSCROLL : HTNOWHERE;
  if (Adapter->HorzBar->Visible && Adapter->VertBar->Visible) {
    const TRect corner = CornerRect(Adapter, Handle);
    if (corner.Contains(p) && SizeGripApplies(Adapter, Handle, corner)) return HTBOTTOMRIGHT;
  }
  gui::TMessage m{WM_NCHITTEST, WParam, LParam, 0};
  return Adapter->CallOriginal(m);
}

// ---- The mouse.

LRESULT ScrollNcMouseMove(TacScrollWnd* Adapter, HWND Handle, WPARAM WParam, LPARAM LParam) {
  if (WParam == HTHSCROLL || WParam == HTVSCROLL) {
    const int32_t kind = WParam == HTHSCROLL ? 0 : 1;
    if (!(g_engine.HotWnd == Handle && g_engine.HotBar == kind)) {
      if (g_engine.HotWnd != nullptr && g_engine.HotWnd != Handle) EndHover(true);  // another window's bar
      g_engine.PrevHotPart = g_engine.HotPart = -1;
      g_engine.HotBarRect = ScrollBarRect(Adapter, kind, Handle);
      g_engine.HotBar = kind;
      g_engine.HotWnd = Handle;
      if (g_engine.HoverTimer == 0) g_engine.HoverTimer = ledger::SetTimer(Handle, ScrollHoverTimerId, ScrollHoverInterval, nullptr);
      RepaintBars(Adapter, Handle);
    }
  }
  gui::TMessage m{WM_NCMOUSEMOVE, WParam, LParam, 0};
  return Adapter->CallOriginal(m);
}

LRESULT ScrollNcLButtonDown(TacScrollWnd* Adapter, HWND Handle, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (WParam != HTHSCROLL && WParam != HTVSCROLL) {
    gui::TMessage m{Msg, WParam, LParam, 0};
    return Adapter->CallOriginal(m);
  }
  // A press that did not end (its button-up went elsewhere) ends before a new one starts.
  if (g_engine.PressedWnd != nullptr) {
    const HWND old = g_engine.PressedWnd;
    EndPress(dynamic_cast<TacScrollWnd*>(AdapterOfWindow(old)), old, true);
    ResetPress();
  }
  const int32_t kind = WParam == HTHSCROLL ? 0 : 1;
  TacScrollBar& bar = *BarOfKind(Adapter, kind);
  const TRect barRect = ScrollBarRect(Adapter, kind, Handle);
  const TPoint p{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
  ReadBar(bar, Handle);
  const int32_t part = ScrollHitTest(bar, barRect, p.X, p.Y);
  if (part == sbpNone) {
    gui::TMessage m{Msg, WParam, LParam, 0};
    return Adapter->CallOriginal(m);
  }
  if (!BarEnabled(bar, Handle)) return 0;
  g_engine.PressedWnd = Handle;
  g_engine.ScrollMsg = kind == 0 ? WM_HSCROLL : WM_VSCROLL;
  g_engine.PressedBar = kind;
  g_engine.PressedPart = part;
  // A window that holds the mouse already (an open drop-down list) keeps it: taken again, it would be told that it
  // lost it, which ends the press that is just starting.
  if (GetCapture() != Handle) SetCapture(Handle);
  if (part == sbpThumb) {
    const ScrollThumb thumb = ScrollThumbRect(bar, barRect);
    g_engine.DragBarRect = barRect;
    g_engine.DragThumbStart = thumb.Start;
    g_engine.DragThumbLength = thumb.Length;
    bar.ScrollInfo.nTrackPos = bar.ScrollInfo.nPos;
    g_engine.DragGrabOffset = (kind == 1 ? p.Y : p.X) - thumb.Start;
    g_engine.LastTrackPos = bar.ScrollInfo.nPos;
    Adapter->TrackingThumb = 1;
    PaintDraggedBar(Adapter, Handle, bar, thumb.Start);
    return 0;
  }
  g_engine.ShownPart = part;
  {
    Busy busy(Adapter);
    SendScrollMessage(Handle, g_engine.ScrollMsg, part, 0);
  }
  // Painted after the message: the control may have redrawn the system's bar while it scrolled.
  RepaintBars(Adapter, Handle);
  if (g_engine.PressedWnd == Handle) {
    g_engine.RepeatTimer = ledger::SetTimer(Handle, ScrollFirstRepeatTimerId, ScrollFirstRepeatDelay, nullptr);
  }
  return 0;
}

LRESULT ScrollMouseMove(TacScrollWnd* Adapter, HWND Handle, WPARAM WParam, LPARAM LParam) {
  if (g_engine.PressedWnd != Handle || g_engine.PressedPart == -1) {
    gui::TMessage m{WM_MOUSEMOVE, WParam, LParam, 0};
    return Adapter->CallOriginal(m);
  }
  const TPoint p = MessagePoint();
  if (Adapter->TrackingThumb) {
    TacScrollBar& bar = *BarOfKind(Adapter, g_engine.PressedBar);
    const bool v = bar.Kind == 1;
    const int32_t a = ScrollBarSize(&bar, false);
    const TRect& r = g_engine.DragBarRect;
    const int32_t trackStart = (v ? r.Top : r.Left) + a, trackEnd = (v ? r.Bottom : r.Right) - a;
    const int32_t thumbStart =
        ScrollDragThumbStart(v ? p.Y : p.X, g_engine.DragGrabOffset, trackStart, trackEnd, g_engine.DragThumbLength);
    const int32_t pos = ScrollDragPosition(bar.Range(), thumbStart, trackStart, trackEnd, g_engine.DragThumbLength);
    if (pos != g_engine.LastTrackPos) {
      bar.ScrollInfo.nTrackPos = pos;
      Busy busy(Adapter);
      SendScrollMessage(Handle, g_engine.ScrollMsg, SB_THUMBTRACK, pos);
    }
    g_engine.LastTrackPos = pos;
    // Drawn after the message, over whatever the control drew while it scrolled.
    if (Adapter->TrackingThumb) PaintDraggedBar(Adapter, Handle, bar, thumbStart);
    return 0;
  }
  FollowPressedPart(Adapter, Handle, p);
  return 0;
}

LRESULT ScrollMouseUp(TacScrollWnd* Adapter, HWND Handle, WPARAM WParam, LPARAM LParam) {
  if (g_engine.PressedWnd != Handle || g_engine.PressedPart == -1) {
    gui::TMessage m{WM_LBUTTONUP, WParam, LParam, 0};
    return Adapter->CallOriginal(m);
  }
  EndPress(Adapter, Handle, true);
  if (WParam == WPARAM(-1) || Adapter->KeepsCapture()) return 0;
  if (gui::TControl* control = Adapter->SkinData != nullptr ? Adapter->SkinData->OwnerControl : nullptr) {
    const std::string cls = control->ClassName();
    if (cls == "TImageEnView" || cls == "TImageEnVect") return 0;
  }
  gui::TMessage m{WM_LBUTTONUP, WParam, LParam, 0};
  return Adapter->CallOriginal(m);
}

LRESULT ScrollCaptureLost(TacScrollWnd* Adapter, HWND Handle, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (g_engine.PressedWnd == Handle && g_engine.PressedPart != -1) {
    // WM_CAPTURECHANGED: the capture is already elsewhere; WM_CANCELMODE: it is let go here.
    EndPress(Adapter, Handle, Msg == WM_CANCELMODE);
  }
  gui::TMessage m{Msg, WParam, LParam, 0};
  return Adapter->CallOriginal(m);
}

// ---- The timers.

LRESULT ScrollTimer(TacScrollWnd* Adapter, HWND Handle, WPARAM WParam, LPARAM LParam) {
  const UINT_PTR id = WParam;
  const bool ours = id == ScrollHoverTimerId || id == ScrollFirstRepeatTimerId || id == ScrollRepeatTimerId;
  LRESULT result = 0;
  if (!ours) {
    gui::TMessage m{WM_TIMER, WParam, LParam, 0};
    result = Adapter->CallOriginal(m);
  } else if (id == ScrollFirstRepeatTimerId || id == ScrollRepeatTimerId) {
    if (g_engine.PressedWnd != Handle || g_engine.PressedPart == -1 || Adapter->TrackingThumb) {
      KillEngineTimer(Handle, id);  // a timer of a press that ended
    } else if (!LeftButtonDown()) {
      EndPress(Adapter, Handle, true);  // the button went up where this window did not see it
    } else if (id == ScrollFirstRepeatTimerId) {
      KillEngineTimer(Handle, ScrollFirstRepeatTimerId);
      g_engine.RepeatTimer = ledger::SetTimer(Handle, ScrollRepeatTimerId, ScrollRepeatInterval, nullptr);
    } else {
      FollowPressedPart(Adapter, Handle, CursorPoint());
      if (g_engine.ShownPart != -1) {
        {
          Busy busy(Adapter);
          SendScrollMessage(Handle, g_engine.ScrollMsg, g_engine.ShownPart, 0);
        }
      }
    }
  } else {  // the hover poll
    if (g_engine.HotWnd != Handle) {
      KillEngineTimer(Handle, ScrollHoverTimerId);
    } else if (!Adapter->TrackingThumb) {
      const TPoint p = CursorPoint();
      if (g_engine.HotBarRect.Contains(p)) {
        TacScrollBar* bar = BarOfKind(Adapter, g_engine.HotBar);
        g_engine.HotPart = bar != nullptr ? ScrollHitTest(*bar, g_engine.HotBarRect, p.X, p.Y) : -1;
        if (g_engine.HotPart != g_engine.PrevHotPart) RepaintBars(Adapter, Handle);
        g_engine.PrevHotPart = g_engine.HotPart;
      } else {
        EndHover(true);
      }
    }
  }
  if (!Adapter->ScrollBusy() && !Adapter->TrackingThumb) RefreshScrollBars(Adapter, true);
  return result;
}

}  // namespace skin
