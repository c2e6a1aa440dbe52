// The scroll-bar control, scroll boxes and the windows whose frame and background only are painted from the skin.
#include "skin/adapters/acsbwnd.h"

#include <commctrl.h>

#include <algorithm>

#include "gui/scrollctrls.h"
#include "skin/adapters/scroll_geometry.h"
#include "skin/adapters/scroll_paint.h"
#include "skin/manager/commondata.h"
#include "skin/manager/skinchange.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/svclutils.h"
#include "skin/painters/borders.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/section_paint.h"

namespace skin {

namespace {

TRect Span(bool vertical, int32_t from, int32_t to, int32_t thickness) {
  return vertical ? TRect{0, from, thickness, to} : TRect{from, 0, to, thickness};
}

void CopyWholeCache(HDC dc, const Bitmap& cache) { BitmapToDC(dc, 0, 0, cache.Width(), cache.Height(), cache, 0, 0); }

// The border strips of a cache (as wide as Strip) into the window's DC (nullptr: the window DC is taken).
void CopyStrips(HWND h, HDC given, const Bitmap& cache, int32_t Strip) {
  if (Strip <= 0 || cache.Empty()) return;
  HDC dc = given != nullptr ? given : ledger::GetWindowDC(h);
  if (dc == nullptr) return;
  {
    BitmapDC src(cache);
    if (src.dc() != nullptr) CopyBorderStrips(dc, 0, 0, Strip, cache.Width(), cache.Height(), src.dc(), 0, 0);
  }
  if (given == nullptr) ledger::ReleaseDC(h, dc);
}

}  // namespace

// ---- TacSBWnd.

bool TacSBWnd::Vertical() const {
  if (ScrollBar != nullptr) return ScrollBar->Kind() == gui::TScrollBarKind::sbVertical;
  return (GetWindowLongA(Handle, GWL_STYLE) & SBS_VERT) != 0;
}

int32_t TacSBWnd::BarLength() const {
  RECT r{};
  GetClientRect(Handle, &r);
  return Vertical() ? r.bottom : r.right;
}

int32_t TacSBWnd::ArrowLength() const {
  // The system's arrow size (the control's SCROLLBARINFO is not relied on for it: some systems report the thumb
  // there), halved on a bar too short for two.
  return ScrollEffectiveArrow(BarLength(), GetSystemMetrics(Vertical() ? SM_CYVSCROLL : SM_CXHSCROLL));
}

int32_t TacSBWnd::ThumbLength() const {
  // An empty range shows the smallest thumb in the middle.
  if (Data.Max <= Data.Min) return GetSystemMetrics(Vertical() ? SM_CYVTHUMB : SM_CXHTHUMB);
  SCROLLBARINFO info{};
  info.cbSize = sizeof info;
  if (GetScrollBarInfo(Handle, OBJID_CLIENT, &info) && info.xyThumbBottom > info.xyThumbTop)
    return info.xyThumbBottom - info.xyThumbTop;
  const ScrollRange r{Data.Min, Data.Max, uint32_t(Data.Page), Data.Position, Data.TrackPos};
  const ScrollThumb t = ScrollThumbRect(r, GetSystemMetrics(Vertical() ? SM_CYVTHUMB : SM_CXHTHUMB), 0, BarLength(),
                                        ArrowLength());
  return t.Length;
}

int32_t TacSBWnd::PartAt(int32_t X, int32_t Y) const {
  RECT r{};
  GetClientRect(Handle, &r);
  if (X < 0 || Y < 0 || X >= r.right || Y >= r.bottom) return -1;
  return SBPartAt(Data, BarLength(), ArrowLength(), ThumbLength(), IsWindowEnabled(Handle) != 0, Vertical() ? Y : X);
}

void TacSBWnd::ReadScrollInfo() {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  LPARAM l = reinterpret_cast<LPARAM>(&si);
  if (!CallOriginalWndProc(Handle, SBM_GETSCROLLINFO, 0, l)) return;
  SBApplyScrollInfo(Data, SBMaskRange | SBMaskPage | SBMaskPos, si.nMin, si.nMax, si.nPage, si.nPos,
                    PressedPart == SBThumbDragging);
}

void TacSBWnd::Initialize() {
  ScrollBar = dynamic_cast<gui::TScrollBar*>(SkinData->OwnerControl);
  if (ScrollBar != nullptr) ScrollBar->SetTabStop(false);
  ReadScrollInfo();
  TacSelfPaintedWnd::Initialize();
}

void TacSBWnd::SetRedraw(bool On) {
  const bool was = OwnRedraw;
  OwnRedraw = true;
  SendMessageA(Handle, WM_SETREDRAW, On ? 1 : 0, 0);
  OwnRedraw = was;
}

void TacSBWnd::PaintCache() {
  WindowRectInParent();
  if (WndSize.cx <= 0 || WndSize.cy <= 0 || SkinData == nullptr || SkinManager == nullptr) return;
  PrepareWindowCache(*SkinData, WndSize.cx, WndSize.cy);
  Bitmap& cache = *SkinData->CacheBmp;
  CacheInfo ci;
  ParentBgInfoOfWindow(Handle, ci);
  FillFromParent(cache, ci, TRect{0, 0, cache.Width(), cache.Height()});
  if (PressedPart == SBThumbDragging) {
    // The thumb shows where the control tracks it.
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_TRACKPOS;
    LPARAM l = reinterpret_cast<LPARAM>(&si);
    CallOriginalWndProc(Handle, SBM_GETSCROLLINFO, 0, l);
    Data.TrackPos = std::clamp(si.nTrackPos, Data.Min, std::max(Data.Min, SBLastPosition(Data)));
  }
  const bool v = Vertical();
  const int32_t length = v ? cache.Height() : cache.Width();
  const int32_t thickness = v ? cache.Width() : cache.Height();
  const int32_t arrow = ArrowLength(), thumb = ThumbLength();
  const bool enabled = IsWindowEnabled(Handle) != 0;
  const SkinCommonIndexes& c = SkinManager->Skin().CommonIndexes;
  const SkinSectionEntry& track1 = v ? c.ScrollBar1V : c.ScrollBar1H;
  const SkinSectionEntry& track2 = SkinManagerIsValidSectionIndex(*SkinManager, (v ? c.ScrollBar2V : c.ScrollBar2H).SectionIndex)
                                       ? (v ? c.ScrollBar2V : c.ScrollBar2H)
                                       : track1;
  const int32_t centre = std::clamp(SBThumbCentre(Data, length, arrow, thumb), 0, length);
  auto track = [&](const SkinSectionEntry& e, int32_t from, int32_t to, int32_t part) {
    const TRect r = Span(v, from, to, thickness);
    if (r.IsEmpty() || !SkinManagerIsValidSectionIndex(*SkinManager, e.SectionIndex)) return;
    const SkinSectionRecord& s = SkinManager->Skin().Sections[size_t(e.SectionIndex)];
    const int32_t state = std::min<int32_t>(States[size_t(part)], std::max<int32_t>(s.States - 1, 0));
    Bitmap piece(r.Width(), r.Height(), pf32bit);
    PaintSkinItem(e.SectionIndex, CacheInfoFromBitmap(&cache, r.Left, r.Top), state,
                  TRect{0, 0, r.Width(), r.Height()}, TPoint{}, piece, SkinManager);
    CopyExceptColor(cache, piece, r.Left, r.Top, clNone);
  };
  track(track1, 0, centre, sbTrackBefore);
  track(track2, centre, length, sbTrackAfter);
  PaintScrollArrow(Span(v, 0, arrow, thickness), States[sbFirstArrow], cache, v ? 1 : 0, SkinManager);
  PaintScrollArrow(Span(v, length - arrow, length, thickness), States[sbSecondArrow], cache, v ? 3 : 2, SkinManager);
  if (enabled) {
    if (thumb > 0 && thumb < length - 2 * arrow)
      PaintScrollThumb(Span(v, centre - thumb / 2, centre - thumb / 2 + thumb, thickness), States[sbThumb], cache, v,
                       SkinManager);
  } else {
    PaintDisabledLook(cache, dkBlended, WindowBgColor(ParentWnd), TPoint{}, ci);
  }
  SetAlphaRect(cache, TRect{0, 0, cache.Width(), cache.Height()}, 255, clNone);
  SkinData->BGChanged = false;
}

void TacSBWnd::PaintNow(HDC DC) {
  HDC dc = DC != nullptr ? DC : ledger::GetDC(Handle);
  if (dc == nullptr) return;
  PaintCache();
  if (SkinData->CacheBmp && !SkinData->CacheBmp->Empty()) CopyWholeCache(dc, *SkinData->CacheBmp);
  if (DC == nullptr) ledger::ReleaseDC(Handle, dc);
}

void TacSBWnd::PassLocked(gui::TMessage& m) {
  const int32_t locks = RedrawLocks;
  for (int32_t i = 0; i < locks; ++i) SetRedraw(true);
  SetRedraw(false);
  CallOriginal(m);
  if (Destroyed) return;
  SetRedraw(true);
  RedrawLocks = 0;
  PaintNow(nullptr);
  for (int32_t i = 0; i < locks; ++i) SetRedraw(false);
  RedrawLocks = locks;
}

void TacSBWnd::MouseDown(gui::TMessage& m) {
  const int32_t x = short(LOWORD(m.LParam)), y = short(HIWORD(m.LParam));
  DragOffset = 0;
  const int32_t part = m.Msg == WM_NCLBUTTONDOWN ? -1 : PartAt(x, y);
  switch (part) {
    case sbFirstArrow:
    case sbSecondArrow:
    case sbTrackBefore:
    case sbTrackAfter:
      PressedPart = part;
      SBSetPartState(States, part, 2);
      break;
    case sbThumb:
      if (States[sbThumb] != 2)
        DragOffset = SBPositionAt(Data, BarLength(), ArrowLength(), ThumbLength(), Vertical() ? y : x) - Data.Position;
      PressedPart = SBThumbDragging;
      SBSetPartState(States, sbThumb, 2);
      break;
    default:
      break;
  }
  PassLocked(m);
  // The control tracks the mouse itself until the button goes up: what follows is the release.
  if (!Destroyed && PressedPart != SBNothingPressed && GetCapture() != Handle) {
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(Handle, &p);
    MouseUp(p.x, p.y);
  }
}

void TacSBWnd::MouseUp(int32_t X, int32_t Y) {
  const int32_t under = PartAt(X, Y);
  if (PressedPart == SBThumbDragging || States[sbThumb] == 2) {
    PressedPart = SBThumbReleased;
    States = {0, 0, 0, 0, 0};
    if (under == sbThumb) SBSetPartState(States, sbThumb, 1);
  } else {
    States = {0, 0, 0, 0, 0};
    if (under >= 0) SBSetPartState(States, under, 1);
  }
  PressedPart = SBNothingPressed;
  Data.TrackPos = Data.Position;
  SkinData->BGChanged = true;
  if (IsWindowVisible(Handle)) PaintNow(nullptr);
}

void TacSBWnd::Hover(int32_t Part) {
  if (PressedPart != SBNothingPressed) return;
  const std::array<int32_t, 5> before = States;
  States = {0, 0, 0, 0, 0};
  if (Part >= 0) SBSetPartState(States, Part, 1);
  if (States != before && IsWindowVisible(Handle)) PaintNow(nullptr);
}

void TacSBWnd::SetScrollInfoMessage(gui::TMessage& m) {
  const auto* si = reinterpret_cast<const SCROLLINFO*>(m.LParam);
  if (si != nullptr) {
    uint32_t mask = 0;
    if (si->fMask & SIF_RANGE) mask |= SBMaskRange;
    if (si->fMask & SIF_PAGE) mask |= SBMaskPage;
    if (si->fMask & SIF_POS) mask |= SBMaskPos;
    SBApplyScrollInfo(Data, mask, si->nMin, si->nMax, si->nPage, si->nPos, PressedPart == SBThumbDragging);
  }
  const bool visible = ScrollBar != nullptr ? ScrollBar->Visible() : (IsWindowVisible(Handle) || RedrawLocks > 0);
  if (!visible) {
    CallOriginal(m);
    return;
  }
  PassLocked(m);
}

void TacSBWnd::WndProc(gui::TMessage& m) {
  if (HandledFirst(m)) return;
  if (m.Msg == WM_SKINCOMMAND) {
    if (ScrollBar != nullptr && ScrollBar->IsDestroying()) {
      TacMainWnd::WndProc(m);
      return;
    }
    const bool own = m.LParam == reinterpret_cast<LPARAM>(SkinManager);
    switch (SkinCommandCode(m.WParam)) {
      case AC_ISSKINNED:
        m.Result = 1;
        return;
      case AC_REPAINT:
        SkinData->BGChanged = true;
        InvalidateRect(Handle, nullptr, FALSE);
        return;
      case AC_SKINREMOVED:
        if (own) {
          CommonDataMessage(m, SkinData);
          SkinData->BGChanged = true;
        }
        break;
      default:
        break;
    }
    TacMainWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_SETREDRAW:
      if (!OwnRedraw) RedrawLocks = std::max(0, RedrawLocks + (m.WParam == 0 ? 1 : -1));
      CallOriginal(m);
      return;
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      const bool begun = dc == nullptr;
      if (begun) dc = BeginPaint(Handle, &ps);
      if (dc != nullptr && !SkinData->Updating) PaintNow(dc);
      if (begun) EndPaint(Handle, &ps);
      m.Result = 0;
      return;
    }
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_NCPAINT:
      m.Result = 0;
      return;
    case WM_PRINT:
    case WM_PRINTCLIENT:
      if (m.WParam != 0) PaintNow(reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
      MouseDown(m);
      if (!Destroyed && m.Msg == WM_LBUTTONDBLCLK) MouseUp(short(LOWORD(m.LParam)), short(HIWORD(m.LParam)));
      return;
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP:
      CallOriginal(m);
      if (!Destroyed) MouseUp(short(LOWORD(m.LParam)), short(HIWORD(m.LParam)));
      return;
    case WM_CAPTURECHANGED:
      CallOriginal(m);
      if (!Destroyed && PressedPart != SBNothingPressed) {
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(Handle, &p);
        MouseUp(p.x, p.y);
      }
      return;
    case WM_NCHITTEST: {
      CallOriginal(m);
      POINT p{short(LOWORD(m.LParam)), short(HIWORD(m.LParam))};
      ScreenToClient(Handle, &p);
      if (!Destroyed && IsWindowEnabled(Handle)) Hover(PartAt(p.x, p.y));
      return;
    }
    case WM_MOUSEMOVE:
      // The control may show its own hover look: what it draws stays off the screen.
      TrackMouse(m);
      if (Destroyed) return;
      NoteHotControl();
      if (IsWindowEnabled(Handle) && PressedPart == SBNothingPressed) {
        States = {0, 0, 0, 0, 0};
        const int32_t part = PartAt(short(LOWORD(m.LParam)), short(HIWORD(m.LParam)));
        if (part >= 0) SBSetPartState(States, part, 1);
      }
      PassLocked(m);
      return;
    case WM_MOUSELEAVE:
    case gui::CM_MOUSELEAVE:
      tracking_ = false;
      if (PressedPart == SBNothingPressed) States = {0, 0, 0, 0, 0};
      PassLocked(m);
      return;
    case gui::CM_MOUSEENTER:
      break;
    case gui::CM_ENABLEDCHANGED:
    case WM_ENABLE:
      CallOriginal(m);
      if (!Destroyed) {
        SkinData->BGChanged = true;
        InvalidateRect(Handle, nullptr, FALSE);
      }
      return;
    case SBM_SETSCROLLINFO:
      SetScrollInfoMessage(m);
      return;
    case SBM_SETPOS:
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW:
      PassLocked(m);
      ReadScrollInfo();
      if (IsWindowVisible(Handle)) PaintNow(nullptr);
      return;
    default:
      break;
  }
  TacMainWnd::WndProc(m);
}

// ---- TacScrollBoxWnd.

void TacScrollBoxWnd::Initialize() {
  if (OwnsSkinData && SkinData != nullptr && SkinData->FSkinManager == nullptr) SkinData->FSkinManager = SkinManager;
  if (SkinData != nullptr && SkinData->SkinSection.empty()) SetSectionName(DefaultSection());
  TacScrollWnd::Initialize();
}

bool TacScrollBoxWnd::Container() const {
  gui::TControl* c = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  return c != nullptr && (c->ControlStyle() & gui::csAcceptsControls) != 0;
}

TPoint TacScrollBoxWnd::ClientOrigin() const {
  RECT wr{};
  GetWindowRect(Handle, &wr);
  POINT p{0, 0};
  ClientToScreen(Handle, &p);
  return TPoint{p.x - wr.left, p.y - wr.top};
}

void TacScrollBoxWnd::RefreshCache() {
  WindowRectInParent();
  SkinData->BGChanged = true;
  gui::TControl* c = SkinData->OwnerControl;
  if (c != nullptr && SkinData->CustomColor) {
    PrepareWindowCache(*SkinData, WndSize.cx, WndSize.cy);
    FillRectBitmap32(*SkinData->CacheBmp, TRect{0, 0, WndSize.cx, WndSize.cy}, ColorToRGB(c->Color()), 255);
    SkinData->BGChanged = false;
  } else {
    PaintSubclassedBackground(SkinData, Handle, false);
  }
  if (SkinData->CacheBmp && !SkinData->CacheBmp->Empty())
    SetAlphaRect(*SkinData->CacheBmp, TRect{0, 0, SkinData->CacheBmp->Width(), SkinData->CacheBmp->Height()}, 255,
                 clNone);
}

void TacScrollBoxWnd::PaintClient(HDC DC) {
  if (DC == nullptr) return;
  if (SkinData->BGChanged || !SkinData->CacheBmp) RefreshCache();
  if (!SkinData->CacheBmp || SkinData->CacheBmp->Empty()) return;
  RECT client{};
  GetClientRect(Handle, &client);
  const TPoint o = ClientOrigin();
  BitmapToDC(DC, 0, 0, client.right, client.bottom, *SkinData->CacheBmp, o.X, o.Y);
  if (auto* w = OwnerWinControl()) PaintGraphicControls(DC, w, false, TPoint{});
}

void TacScrollBoxWnd::PaintFrame(HDC DC) {
  if (SkinData->BGChanged || !SkinData->CacheBmp) RefreshCache();
  if (!SkinData->CacheBmp || SkinData->CacheBmp->Empty()) return;
  HDC dc = DC != nullptr ? DC : ledger::GetWindowDC(Handle);
  if (dc == nullptr) return;
  const int saved = SaveDC(dc);
  PaintNonClientScrollBars(this, Handle, -1, dc);
  CopyStrips(Handle, dc, *SkinData->CacheBmp, std::min<int32_t>(2, ClientOrigin().X));
  RestoreDC(dc, saved);
  if (DC == nullptr) ledger::ReleaseDC(Handle, dc);
}

bool TacScrollBoxWnd::ScrollBoxMessage(gui::TMessage& m) {
  const bool visible = IsWindowVisible(Handle) != 0;
  if (m.Msg == WM_SKINCOMMAND && AcceptSkinCommand(m)) {
    const bool own = m.LParam == reinterpret_cast<LPARAM>(SkinManager);
    switch (SkinCommandCode(m.WParam)) {
      case AC_SKINLOADED:
      case AC_SKINREFRESH:
        if (!own) return false;
        CommonDataMessage(m, SkinData);
        CommonDataUpdateIndexes(*SkinData, true);
        SkinData->BGChanged = true;
        SendToChildWindows(Handle, m);
        SetWindowPos(Handle, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
        return true;
      case AC_SKINREMOVED:
        if (!own) return false;
        CommonDataMessage(m, SkinData);
        SetWindowPos(Handle, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
        return true;
      case AC_ISSKINNED:
        m.Result = 1;
        return true;
      case AC_UPDATECACHE:
        return true;
      case AC_GETAPPLICATION:
        m.Result = reinterpret_cast<LRESULT>(gui::Application);
        return true;
      case AC_GETBACKGROUND: {
        if (SkinData->BGChanged) RefreshCache();
        CommonDataMessage(m, SkinData);
        // The children ask in client coordinates: the cache holds the whole window.
        if (auto* info = reinterpret_cast<BackgroundInfo*>(m.LParam); info != nullptr && info->BgType == btCache) {
          const TPoint o = ClientOrigin();
          info->Offset = TPoint{info->Offset.X + o.X, info->Offset.Y + o.Y};
        }
        return true;
      }
      default:
        return false;
    }
  }
  switch (m.Msg) {
    case WM_NCPAINT:
      if (visible && !SkinChangeInProgress(SkinManager) && !SkinData->Updating) {
        if (!FrameCalculated) RedrawWindowFrame(Handle, true);
        PaintFrame(nullptr);
      }
      m.Result = 0;
      return true;
    case WM_PAINT: {
      InvalidateRect(Handle, nullptr, TRUE);
      PAINTSTRUCT ps{};
      BeginPaint(Handle, &ps);
      EndPaint(Handle, &ps);
      m.Result = 0;
      return true;
    }
    case WM_ERASEBKGND:
      PaintClient(reinterpret_cast<HDC>(m.WParam));
      m.Result = 1;
      return true;
    case WM_PRINT: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      if (dc == nullptr) return true;
      SkinData->BGChanged = true;
      const TPoint o = ClientOrigin();
      POINT old{};
      OffsetViewportOrgEx(dc, o.X, o.Y, &old);
      PaintClient(dc);
      SetViewportOrgEx(dc, old.x, old.y, nullptr);
      PaintFrame(dc);
      m.Result = 0;
      return true;
    }
    case WM_UPDATEUISTATE:
      m.Result = 1;
      return true;
    case WM_PARENTNOTIFY:
      ScrollWndProc(m);
      if (!Destroyed && LOWORD(m.WParam) == WM_CREATE) NotifyTopWindowChildAdded(Handle);
      return true;
    case gui::CM_SHOWINGCHANGED:
      ScrollWndProc(m);
      if (!Destroyed && IsWindowVisible(Handle)) {
        NotifyTopWindowChildAdded(Handle);
        gui::TMessage loaded{WM_SKINCOMMAND, SkinCommandWParam(AC_SKINLOADED), reinterpret_cast<LPARAM>(SkinManager), 0};
        SendToChildWindows(Handle, loaded);
        gui::TMessage refresh{WM_SKINCOMMAND, SkinCommandWParam(AC_SKINREFRESH), reinterpret_cast<LPARAM>(SkinManager), 0};
        SendToChildWindows(Handle, refresh);
      }
      return true;
    case WM_SETTEXT:
      if (!visible) return false;
      SendMessageA(Handle, WM_SETREDRAW, 0, 0);
      ScrollWndProc(m);
      if (Destroyed) return true;
      SendMessageA(Handle, WM_SETREDRAW, 1, 0);
      SendMessageA(Handle, WM_PAINT, 0, 0);
      return true;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED: {
      const SkinSectionRecord* s = SkinManagerIsValidSectionIndex(*SkinManager, SkinData->SkinIndex)
                                       ? &SkinManager->Skin().Sections[size_t(SkinData->SkinIndex)]
                                       : nullptr;
      if (s != nullptr && s->NormalState.Transparency > 0) SkinData->BGChanged = true;
      if (const auto* wp = reinterpret_cast<const WINDOWPOS*>(m.LParam); wp != nullptr && !(wp->flags & SWP_NOSIZE))
        SkinData->BGChanged = true;
      ScrollWndProc(m);
      if (!Destroyed && m.Msg == WM_WINDOWPOSCHANGING) SendMessageA(Handle, WM_NCPAINT, 1, 0);
      return true;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
      ScrollWndProc(m);
      if (!Destroyed) RefreshScrollBars(this, true);
      return true;
    default:
      return false;
  }
}

void TacScrollBoxWnd::WndProc(gui::TMessage& m) {
  if (Destroyed || !Container() || !IsSkinned() || !HorzBar || m.Msg == WM_DESTROY || m.Msg == WM_NCDESTROY) {
    ScrollWndProc(m);
    return;
  }
  if (ScrollBoxMessage(m)) return;
  ScrollWndProc(m);
}

// ---- TacNativePaint.

void TacNativePaint::WndProc(gui::TMessage& m) {
  if (Destroyed || !IsSkinned() || !HorzBar || m.Msg == WM_DESTROY || m.Msg == WM_NCDESTROY) {
    ScrollWndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_PAINT:
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      CallOriginal(m);
      return;
    case WM_SKINCOMMAND:
      if (SkinCommandCode(m.WParam) == AC_UPDATECACHE && AcceptSkinCommand(m)) {
        CallOriginal(m);
        if (!Destroyed && SkinData->BGChanged) {
          WindowRectInParent();
          PaintSubclassedBackground(SkinData, Handle, false);
          PaintScrollWindowFrame(SkinData, nullptr, this);
        }
        return;
      }
      break;
    default:
      break;
  }
  if (Container() && ScrollBoxMessage(m)) return;
  ScrollWndProc(m);
}

// ---- TacContainerWnd.

void TacContainerWnd::PaintCache() {
  CacheInfo ci;
  if (!CanPaint() || !PrepareCache(ci)) return;
  Bitmap& cache = *SkinData->CacheBmp;
  PaintSkinItem(SkinData->SkinIndex, ci, 0, TRect{0, 0, cache.Width(), cache.Height()}, TPoint{}, cache, SkinManager);
  RECT cr{};
  GetClientRect(Handle, &cr);
  ClientRect = TRect{cr.left, cr.top, cr.right, cr.bottom};
  Margin = std::max<int32_t>((WndSize.cy - cr.bottom) / 2, 0);
  SetAlphaRect(cache, TRect{0, 0, cache.Width(), cache.Height()}, 255, clNone);
  SkinData->BGChanged = false;
}

void TacContainerWnd::PaintBorder() {
  if (SkinData->BGChanged || !SkinData->CacheBmp) PaintCache();
  if (!SkinData->CacheBmp) return;
  RECT cr{};
  GetClientRect(Handle, &cr);
  CopyStrips(Handle, nullptr, *SkinData->CacheBmp, (WndSize.cx - cr.right) / 2);
}

void TacContainerWnd::WndProc(gui::TMessage& m) {
  if (HandledFirst(m)) return;
  const bool visible = IsWindowVisible(Handle) != 0;
  switch (m.Msg) {
    case WM_NCPAINT:
      if (visible) PaintBorder();
      m.Result = 0;
      return;
    case WM_PAINT:
      if (!visible) break;
      [[fallthrough]];
    case WM_PRINT:
    case WM_PRINTCLIENT: {
      PAINTSTRUCT ps{};
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      const bool begun = dc == nullptr && m.Msg == WM_PAINT;
      if (begun) dc = BeginPaint(Handle, &ps);
      if (dc != nullptr && !SkinData->Updating) {
        SkinData->BGChanged = true;
        PaintCache();
        if (SkinData->CacheBmp) {
          const Bitmap& cache = *SkinData->CacheBmp;
          const int32_t border = (WndSize.cx - ClientRect.Width()) / 2;
          if (m.Msg == WM_PRINT)
            CopyWholeCache(dc, cache);
          else
            BitmapToDC(dc, 0, 0, ClientRect.Width(), ClientRect.Height(), cache, border, Margin);
        }
      }
      if (begun) EndPaint(Handle, &ps);
      m.Result = 0;
      return;
    }
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      SkinData->BGChanged = true;
      break;
    default:
      break;
  }
  TacMainWnd::WndProc(m);
  if (!Destroyed && m.Msg == WM_WINDOWPOSCHANGED) SendMessageA(Handle, WM_NCPAINT, 1, 0);
}

// ---- TacSearchWnd.

void TacSearchWnd::PaintCache() {
  CacheInfo ci;
  if (!CanPaint() || !PrepareCache(ci)) return;
  Bitmap& cache = *SkinData->CacheBmp;
  RECT cr{};
  GetClientRect(Handle, &cr);
  ClientRect = TRect{cr.left, cr.top, cr.right, cr.bottom};
  PaintSkinItem(SkinData->SkinIndex, ci, 0, TRect{0, 0, cache.Width(), cache.Height()}, TPoint{}, cache, SkinManager);
  SetAlphaRect(cache, TRect{0, 0, cache.Width(), cache.Height()}, 255, clNone);
  SkinData->BGChanged = false;
}

void TacSearchWnd::PaintBorder() {
  if (SkinData->BGChanged || !SkinData->CacheBmp) PaintCache();
  if (SkinData->CacheBmp) CopyStrips(Handle, nullptr, *SkinData->CacheBmp, 3);
}

void TacSearchWnd::WndProc(gui::TMessage& m) {
  if (HandledFirst(m)) return;
  switch (m.Msg) {
    case WM_PAINT:
      CallOriginal(m);
      if (!Destroyed) PaintBorder();
      return;
    case WM_NCPAINT:
      PaintBorder();
      m.Result = 0;
      return;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    default:
      break;
  }
  TacMainWnd::WndProc(m);
  if (!Destroyed && m.Msg == WM_SIZE) {
    SkinData->BGChanged = true;
    RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
}

// ---- TacWWComboBoxWnd.

TRect TacWWComboBoxWnd::ButtonRect() {
  WindowRectInParent();
  const int32_t w = SkinManagerScrollWidthMax(SkinManager) + 2;
  TRect r;
  r.Left = (GetWindowLongA(Handle, GWL_EXSTYLE) & WS_EX_RTLREADING) ? 2 : WndSize.cx - w - 2;
  r.Top = 2;
  r.Right = r.Left + w;
  r.Bottom = WndSize.cy - 2;
  return r;
}

void TacWWComboBoxWnd::ReleaseSteps() {
  FreeAdapter(ListBoxAdapter);
  TacComboBoxWnd::ReleaseSteps();
  ListData.reset();
}

void TacWWComboBoxWnd::WndProc(gui::TMessage& m) {
  if (m.Msg == WM_CTLCOLORLISTBOX) {
    CallOriginal(m);
    return;
  }
  TacComboBoxWnd::WndProc(m);
  if (Destroyed || m.Msg != WM_PARENTNOTIFY || LOWORD(m.WParam) != WM_CREATE) return;
  gui::TWinControl* owner = OwnerWinControl();
  if (owner == nullptr) return;
  for (int i = 0; i < owner->ControlCount(); ++i) {
    // The component layer has no list-box class of its own: a list box is a windowed child of that window class.
    auto* list = dynamic_cast<gui::TWinControl*>(owner->Controls(i));
    if (list == nullptr || !list->HandleAllocated() || lstrcmpiA(GetWndClassName(list->WindowHandle()).c_str(), "ListBox") != 0)
      continue;
    if (ListBox != list || !ListData) {
      // A new list: a new skin data; the adapter of the old one goes first.
      FreeAdapter(ListBoxAdapter);
      ListData = std::make_unique<TsScrollWndData>();
      ListData->SkinSection = "EDIT";
      ListData->OwnerControl = list;
      ListData->OwnerObject = list;
      ListData->FSkinManager = SkinManager;
      ListData->RepaintBlocked = 0;
      CommonDataUpdateIndexes(*ListData, true);
      ListBox = list;
    }
    RecreateEditAdapter(ListData.get(), ListBoxAdapter);
  }
}

}  // namespace skin
