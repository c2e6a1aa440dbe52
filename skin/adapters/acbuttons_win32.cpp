// Push buttons, buttons with a glyph, check boxes, radio buttons, group boxes, up-downs and track bars painted
// from the skin.
#include "skin/adapters/acbuttons.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "gui/buttons.h"
#include "gui/stdctrls.h"
#include "skin/adapters/acscrollwnd.h"
#include "skin/adapters/button_glyph.h"
#include "skin/manager/commondata.h"
#include "skin/data/maskdata.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/svclutils.h"
#include "skin/painters/acanimation.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/pixel_access.h"
#include "skin/painters/borders.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/section_paint.h"
#include "skin/painters/skin_mask.h"
#include "skin/painters/skinned_text.h"
#include "skin/painters/state_images.h"

namespace skin {

namespace {

const SkinSectionRecord* SectionOf(TsSkinManager* m, int32_t index) {
  if (m == nullptr || !SkinManagerIsValidSectionIndex(*m, index)) return nullptr;
  return &m->Skin().Sections[size_t(index)];
}

const SkinImageRecord* ImageOf(TsSkinManager* m, int32_t index) {
  if (m == nullptr || !SkinManagerIsValidImageIndex(*m, index)) return nullptr;
  return &m->Skin().Images[size_t(index)];
}

TColor SectionFontColor(TsSkinManager* m, int32_t section, int32_t state) {
  const SkinSectionRecord* s = SectionOf(m, section);
  if (s == nullptr) return 0;
  return SectionStateBlock(*s, state).FontColor;
}

LONG StyleOf(HWND h) { return GetWindowLongA(h, GWL_STYLE); }
LONG ExStyleOf(HWND h) { return GetWindowLongA(h, GWL_EXSTYLE); }

TRect Shifted(const TRect& r, int32_t dx, int32_t dy) { return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }

TSize ClientSizeOf(HWND h) {
  RECT r{};
  if (h == nullptr || !GetClientRect(h, &r)) return TSize{};
  return TSize{r.right - r.left, r.bottom - r.top};
}

bool CursorIn(HWND h) {
  POINT p{};
  GetCursorPos(&p);
  RECT r{};
  GetWindowRect(h, &r);
  return PtInRect(&r, p) != 0;
}

}  // namespace

// ---- TacSelfPaintedWnd.

void TacSelfPaintedWnd::Create(HWND Wnd, TsCommonData* Data, TsSkinManager* Manager, const TacSkinParams& Params,
                               bool Repaint) {
  TacSkinParams p = Params;
  creating_ = Params.Control;
  if (p.SkinSection.empty()) p.SkinSection = DefaultSection();
  TacMainWnd::Create(Wnd, Data, Manager, p, Repaint);
  if (Data != nullptr && SkinData != nullptr && SkinData->SkinSection.empty()) SetSectionName(DefaultSection());
  creating_ = nullptr;
}

gui::TControl* TacSelfPaintedWnd::SectionControl() const {
  if (creating_ != nullptr) return creating_;
  return SkinData != nullptr ? SkinData->OwnerControl : nullptr;
}

bool TacSelfPaintedWnd::CanPaint() const {
  if (Destroyed || SkinData == nullptr || SkinManager == nullptr || !SkinManager->Active()) return false;
  if (SkinManager->Skin().Sections.empty()) return false;
  return SkinManagerIsValidSectionIndex(*SkinManager, SkinData->SkinIndex);
}

bool TacSelfPaintedWnd::PrepareCache(CacheInfo& ci) {
  WindowRectInParent();
  if (WndSize.cx <= 0 || WndSize.cy <= 0 || SkinData == nullptr) return false;
  PrepareWindowCache(*SkinData, WndSize.cx, WndSize.cy);
  paintedUnder_ = ClientSizeOf(ParentWnd);
  const bool inside = ParentWnd == nullptr ||
                      (WndPos.X >= 0 && WndPos.Y >= 0 && int64_t(WndPos.X) + WndSize.cx <= paintedUnder_.cx &&
                       int64_t(WndPos.Y) + WndSize.cy <= paintedUnder_.cy);
  SkinData->PaintSkipped = inside ? 0 : 1;
  ParentBgInfoOfWindow(Handle, ci);
  return true;
}

bool TacSelfPaintedWnd::CacheOutOfDate() const {
  if (!SkinData->CacheBmp || SkinData->BGChanged) return true;
  // Painted while reaching beyond the parent's client area: what lay beyond came from no picture at all. Once
  // that area has grown (or shrunk) the window may show that part: painted again over the parent as it is now.
  return SkinData->PaintSkipped != 0 && !(ClientSizeOf(GetParent(Handle)) == paintedUnder_);
}

void TacSelfPaintedWnd::FillFromParent(Bitmap& Bmp, const CacheInfo& ci, const TRect& R) {
  if (ci.Ready && ci.Bmp != nullptr) {
    // Row by row: the parent's pixels where its bitmap reaches, black where it does not, all opaque.
    detail::View32 dst, src;
    if (!detail::GetView32(Bmp, dst)) return;
    const bool parent = detail::GetView32(*ci.Bmp, src);
    const int32_t left = std::max<int32_t>(R.Left, 0), right = std::min(R.Right, dst.width);
    for (int32_t y = std::max<int32_t>(R.Top, 0); y < std::min(R.Bottom, dst.height); ++y) {
      uint32_t* d = dst.Row(y);
      const int32_t py = ci.Y + y;
      const uint32_t* s = parent && py >= 0 && py < src.height ? src.Row(py) : nullptr;
      for (int32_t x = left; x < right; ++x) {
        const int32_t px = ci.X + x;
        d[x] = (s != nullptr && px >= 0 && px < src.width ? s[px] : 0) | 0xFF000000u;
      }
    }
    return;
  }
  const TColor c = ci.FillColor != KeyColor ? ci.FillColor : WindowBgColor(ParentWnd);
  FillRectBitmap32(Bmp, R, c, 255);
}

bool TacSelfPaintedWnd::HotLook() const {
  if (SkinData == nullptr || !IsWindowEnabled(Handle)) return false;
  if (SkinManager != nullptr && SkinManager->Options.NoMouseHover && !SkinData->Focused) return false;
  return SkinData->MouseAbove != 0 || SkinData->Focused != 0;
}

void TacSelfPaintedWnd::DisabledLook(const CacheInfo& ci) {
  if (IsWindowEnabled(Handle) || !SkinData->CacheBmp) return;
  PaintDisabledLook(*SkinData->CacheBmp, dkBlended, WindowBgColor(ParentWnd), TPoint{}, ci);
}

void TacSelfPaintedWnd::PaintToWindow(gui::TMessage& m) {
  PAINTSTRUCT ps{};
  const bool paintMessage = m.Msg == WM_PAINT;
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  bool begun = false, got = false;
  if (dc == nullptr && paintMessage) {
    dc = BeginPaint(Handle, &ps);
    begun = true;
  }
  if (dc == nullptr) {
    dc = ledger::GetDC(Handle);
    got = dc != nullptr;
  }
  if (PaintHeldBack()) {
    // Painting is held back: only flagged.
  } else if (dc != nullptr && CommonDataAnimationRunning(*SkinData) && SkinData->AnimTimer->Frame) {
    // A cross-fade runs: the frame on screen now.
    const Bitmap& frame = *SkinData->AnimTimer->Frame;
    BitmapToDC(dc, 0, 0, frame.Width(), frame.Height(), frame, 0, 0);
  } else if (dc != nullptr) {
    SkinData->BGChanged = true;
    PaintCache();
    if (SkinData->CacheBmp) {
      const Bitmap& cache = *SkinData->CacheBmp;
      BitmapToDC(dc, 0, 0, cache.Width(), cache.Height(), cache, 0, 0);
      PaintedOver(dc);
    }
  }
  if (got) ledger::ReleaseDC(Handle, dc);
  if (begun) EndPaint(Handle, &ps);
  m.Result = 0;
}

void TacSelfPaintedWnd::TrackMouse(gui::TMessage& m) {
  if (m.Msg == WM_MOUSEMOVE) {
    if (!IsWindowEnabled(Handle) || (SkinManager != nullptr && SkinManager->Options.NoMouseHover)) return;
    if (!tracking_) {
      TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, Handle, 0};
      tracking_ = TrackMouseEvent(&t) != 0;
    }
    if (!SkinData->MouseAbove) HoverChanged(1);
  } else if (m.Msg == WM_MOUSELEAVE) {
    tracking_ = false;
    if (SkinData->MouseAbove) HoverChanged(0);
  }
}

void TacSelfPaintedWnd::HoverChanged(uint8_t Over) {
  SkinData->MouseAbove = Over;
  SkinData->BGChanged = true;
  // The picture cross-fades to the new state when the manager animates that event; else it is repainted now.
  const bool animate = IsAnimatedEvent(Over ? aeMouseEnter : aeMouseLeave, AnimatEventSet(aeGlobalDef), SkinManager);
  if (animate && SkinData->CacheBmp && IsWindowVisible(Handle)) {
    StartChangeAnimation(*SkinData, Over, ChangeAnimationStepWnd, false, false, true);
    if (CommonDataAnimationRunning(*SkinData)) return;
  }
  RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TacSelfPaintedWnd::PassQuietly(gui::TMessage& m, UINT redrawFlags) {
  SendMessageA(Handle, WM_SETREDRAW, 0, 0);
  CallOriginal(m);
  if (Destroyed) return;
  SendMessageA(Handle, WM_SETREDRAW, 1, 0);
  SkinData->BGChanged = true;
  RedrawWindow(Handle, nullptr, nullptr, redrawFlags);
}

void TacSelfPaintedWnd::NoteSkinChange(const gui::TMessage& m) {
  // The section is looked up again in every new skin, whether or not the old index means anything there.
  if (Destroyed || m.Msg != WM_SKINCOMMAND || SkinData == nullptr) return;
  const uint16_t code = SkinCommandCode(m.WParam);
  if ((code == AC_SKINLOADED || code == AC_SKINREFRESH) && m.LParam == reinterpret_cast<LPARAM>(SkinManager) &&
      AcceptSkinCommand(m)) {
    CommonDataUpdateIndexes(*SkinData, true);
    SkinData->BGChanged = true;
  }
}

bool TacSelfPaintedWnd::HandledFirst(gui::TMessage& m) {
  NoteSkinChange(m);
  if (Destroyed || !CanPaint() || m.Msg == WM_DESTROY || m.Msg == WM_NCDESTROY) {
    TacMainWnd::WndProc(m);
    return true;
  }
  return SelfPaintedCommand(m);
}

bool TacSelfPaintedWnd::SelfPaintedCommand(gui::TMessage& m) {
  if (m.Msg != WM_SKINCOMMAND) return false;
  switch (SkinCommandCode(m.WParam)) {
    case AC_UPDATECACHE:
      if (CanPaint()) PaintCache();
      return true;
    case AC_FLUSHREPAINT:
      if (SkinData->Updating) {
        SkinData->Updating = 0;
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
      }
      return true;
    case AC_MOUSEENTER:
    case AC_MOUSELEAVE: {
      if (!HasHotLook()) return false;
      const uint8_t over = SkinCommandCode(m.WParam) == AC_MOUSEENTER ? 1 : 0;
      if (SkinData->MouseAbove != over) HoverChanged(over);
      return true;
    }
    case AC_GETSKININDEX:
      if (auto* index = reinterpret_cast<int32_t*>(m.LParam)) *index = SkinData->SkinIndex;
      return true;
    case AC_SKINLOADED:
    case AC_SKINREFRESH:
      if (AcceptSkinCommand(m) && m.LParam == reinterpret_cast<LPARAM>(SkinManager)) {
        CommonDataUpdateIndexes(*SkinData, true);
        SkinData->BGChanged = true;
        CommonWndProc(m);
        if (!Destroyed && IsWindowVisible(Handle)) RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
        return true;
      }
      return false;
    default:
      return false;
  }
}

// ---- TacBtnWnd.

bool TacBtnWnd::Pushed() const { return (SendMessageA(Handle, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }

int32_t TacBtnWnd::CtlState() {
  if (Pushed()) {
    if (SkinData->GlowID >= 0) HideGlow(SkinData->GlowID, false);
    return 2;
  }
  if (!Enabled()) return 0;
  if (SkinData->OwnerControl != nullptr) {
    if (SkinData->MouseAbove) return 1;
  } else if (GetFocus() == Handle || SkinData->MouseAbove || SkinData->Focused) {
    return 1;
  }
  if ((StyleOf(Handle) & 0xF) == BS_DEFPUSHBUTTON) return SkinData->OwnerControl == nullptr ? 3 : 1;
  return 0;
}

int32_t TacBtnWnd::MaxTextWidth() {
  if (WindowText().empty()) return 0;
  const TSize g = GlyphSize();
  if (g.cx > 0) return std::max<int32_t>(WndSize.cx - g.cx, 0);
  return WndSize.cx + 1;
}

TRect TacBtnWnd::TextRect() {
  gui::TFont font;
  SelectAdapterFont(this, font);
  const bool multi = (StyleOf(Handle) & BS_MULTILINE) != 0;
  const TSize ts = GetTextSize(WindowText(), font, MaxTextWidth() + 2, multi);
  const int32_t W = WndSize.cx, H = WndSize.cy;
  TRect r{(W - ts.cx) / 2 - 1, (H - ts.cy) / 2, W - (W - ts.cx) / 2 + 2, H - (H - ts.cy) / 2};
  if (Pushed() && !(SkinManager != nullptr && !SkinManager->ButtonsOptions.ShiftContentOnClick)) r = Shifted(r, 1, 1);
  return r;
}

void TacBtnWnd::PaintCache() {
  CacheInfo ci;
  if (!CanPaint() || !PrepareCache(ci)) return;
  Bitmap& cache = *SkinData->CacheBmp;
  const SkinSectionRecord& sec = *SectionOf(SkinManager, SkinData->SkinIndex);
  const int32_t states = SectionStateCount(sec);
  int32_t state = CtlState();
  const int32_t shown = state;
  if (state == 3 && states < 4) state = 1;
  state = std::min(state, states - 1);
  const TRect all{0, 0, cache.Width(), cache.Height()};
  PaintSkinItem(SkinData->SkinIndex, ci, state, all, TPoint{}, cache, SkinManager);
  DrawGlyph();
  // A disabled button's caption goes over its faded picture, faded once (in its disabled colour).
  DisabledLook(ci);
  const std::string& text = WindowText();
  if (!text.empty()) {
    gui::TFont font;
    SelectAdapterFont(this, font);
    uint32_t flags = DT_CENTER | DT_EXPANDTABS;
    const LONG style = StyleOf(Handle);
    if (style & BS_MULTILINE) flags |= DT_WORDBREAK;
    if (ExStyleOf(Handle) & WS_EX_RTLREADING) flags |= DT_RTLREADING;
    TRect tr = TextRect();
    WriteSkinText(cache, font, text, Enabled(), shown != 0 ? 1 : 0, *SkinData, flags, tr);
    if (Enabled() && SkinManager->ButtonsOptions.ShowFocusRect &&
        (SendMessageA(Handle, BM_GETSTATE, 0, 0) & BST_FOCUS)) {
      TRect fr{tr.Left - 2, std::max<int32_t>(tr.Top - 1, 3), tr.Right + 2, std::min<int32_t>(tr.Bottom + 1, WndSize.cy - 3)};
      DrawDottedFrame(cache, fr, SectionFontColor(SkinManager, SkinData->SkinIndex, std::min<int32_t>(1, states)),
                      clNone);
    }
  }
  SkinData->BGChanged = false;
}

void TacBtnWnd::WndProc(gui::TMessage& m) {
  if (HandledFirst(m)) return;
  switch (m.Msg) {
    case BM_SETSTATE:
    case WM_SETTEXT:
    case WM_ENABLE:
      CommonDataStopAnimation(*SkinData);
      if (IsWindowVisible(Handle)) {
        if (m.Msg == WM_SETTEXT) textStale_ = true;
        PassQuietly(m, RDW_INVALIDATE | RDW_UPDATENOW);
        if (m.Msg == WM_SETTEXT) textStale_ = true;
        return;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (Enabled()) {
        SkinData->Focused = m.Msg == WM_SETFOCUS ? 1 : 0;
        PassQuietly(m, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        return;
      }
      break;
    case WM_PAINT:
    case WM_PRINT:
    case WM_PRINTCLIENT:
      if (IsWindowVisible(Handle) || m.Msg != WM_PAINT || (SkinData->CtrlState & csPrinting)) {
        if (!Skinned) SetSkinColors();
        PaintToWindow(m);
        return;
      }
      break;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_NCPAINT:
    case WM_UPDATEUISTATE:
      m.Result = 0;
      return;
    case WM_MOVE: {
      // What shows through a transparent look changes with the place.
      const SkinSectionRecord* sec = SectionOf(SkinManager, SkinData->SkinIndex);
      if (sec != nullptr && (sec->NormalState.Transparency >= 1 || (HotLook() && sec->HotState.Transparency >= 1))) {
        SkinData->BGChanged = true;
        InvalidateRect(Handle, nullptr, FALSE);
      }
      break;
    }
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
      TacMainWnd::WndProc(m);
      if (!Destroyed) TrackMouse(m);
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      CommonDataStopAnimation(*SkinData);
      break;
    case WM_LBUTTONUP:
      CommonDataStopAnimation(*SkinData);
      TacMainWnd::WndProc(m);
      if (!Destroyed) {
        SkinData->MouseAbove = CursorIn(Handle) ? 1 : 0;
        SkinData->BGChanged = true;
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      }
      return;
    default:
      break;
  }
  TacMainWnd::WndProc(m);
}

// ---- TacBitBtnWnd.

TSize TacBitBtnWnd::GlyphSize() {
  if (auto* bb = dynamic_cast<gui::TBitBtn*>(SkinData->OwnerControl)) {
    if (bb->Glyph().Empty()) return TSize{0, 0};
    // One cell of the strip: the glyph holds NumGlyphs cells side by side.
    return TSize{bb->Glyph().Width() / std::max(bb->NumGlyphs() & 0x7F, 1), bb->Glyph().Height()};
  }
  // The size of the button's bitmap itself.
  const HBITMAP image = reinterpret_cast<HBITMAP>(SendMessageA(Handle, BM_GETIMAGE, IMAGE_BITMAP, 0));
  BITMAP b{};
  if (image != nullptr && GetObjectA(image, sizeof b, &b) == int(sizeof b)) return TSize{b.bmWidth, std::abs(b.bmHeight)};
  return TSize{0, 0};
}

int32_t TacBitBtnWnd::CtlState() {
  auto* bb = dynamic_cast<gui::TBitBtn*>(SkinData->OwnerControl);
  if (bb != nullptr && bb->Default() && !Pushed() && Enabled() && !SkinData->MouseAbove) {
    const HWND focus = GetFocus();
    if (focus == nullptr) return 3;
    return (GetWindowLongA(focus, GWL_STYLE) & BS_DEFPUSHBUTTON) ? 3 : 0;
  }
  return TacBtnWnd::CtlState();
}

TRect TacBitBtnWnd::GlyphRect() {
  const TSize g = GlyphSize();
  const int32_t W = WndSize.cx, H = WndSize.cy;
  auto* bb = dynamic_cast<gui::TBitBtn*>(SkinData->OwnerControl);
  const bool shift = Pushed() && !(SkinManager != nullptr && !SkinManager->ButtonsOptions.ShiftContentOnClick);
  TRect r;
  if (bb != nullptr) {
    gui::TFont font;
    SelectAdapterFont(this, font);
    const std::string& text = WindowText();
    const TSize ts = text.empty() ? TSize{0, 0} : GetTextSize(text, font, 0, false);
    const int32_t spacing = (g.cx > 0 && !text.empty()) ? bb->Spacing() : 0;
    switch (bb->Layout()) {
      case gui::TButtonLayout::blGlyphRight:
        r.Left = (W - g.cx + spacing + ts.cx) / 2;
        r.Top = (H - g.cy) / 2;
        break;
      case gui::TButtonLayout::blGlyphTop:
        r.Left = (W - g.cx) / 2 + 1;
        r.Top = (H - g.cy - ts.cy - spacing) / 2;
        break;
      case gui::TButtonLayout::blGlyphBottom:
        r.Left = (W - g.cx) / 2 + 1;
        r.Top = (H - g.cy - ts.cy - spacing) / 2 + ts.cy + spacing;
        break;
      default:
        r.Left = (W - g.cx - ts.cx - spacing) / 2;
        r.Top = (H - g.cy) / 2;
        break;
    }
  } else {
    const TRect tr = TacBtnWnd::TextRect();
    r.Left = tr.Left - 2 - g.cx;
    r.Top = (H - g.cy) / 2 + (Pushed() ? 1 : 0);
  }
  r.Right = r.Left + g.cx;
  r.Bottom = r.Top + g.cy;
  if (bb != nullptr && shift) r = Shifted(r, 1, 1);
  return r;
}

TRect TacBitBtnWnd::TextRect() {
  auto* bb = dynamic_cast<gui::TBitBtn*>(SkinData->OwnerControl);
  const TSize g = GlyphSize();
  if (bb == nullptr) return Shifted(TacBtnWnd::TextRect(), g.cx / 2 + 1, 0);
  gui::TFont font;
  SelectAdapterFont(this, font);
  const TSize ts = GetTextSize(WindowText(), font, 0, false);
  TPoint glyphPos;
  TRect bounds;
  CalcButtonLayout(TRect{0, 0, WndSize.cx, WndSize.cy}, TPoint{g.cx, g.cy}, TPoint{ts.cx, ts.cy},
                   int32_t(bb->Layout()), 2, -1, bb->Spacing(), 0, glyphPos, bounds);
  if (Pushed() && !(SkinManager != nullptr && !SkinManager->ButtonsOptions.ShiftContentOnClick))
    bounds = Shifted(bounds, 1, 1);
  return bounds;
}

void TacBitBtnWnd::DrawGlyph() {
  auto* bb = dynamic_cast<gui::TBitBtn*>(SkinData->OwnerControl);
  if (!SkinData->CacheBmp) return;
  GlyphPaintData d;
  d.Target = SkinData->CacheBmp.get();
  d.SkinIndex = SkinData->SkinIndex;
  d.Manager = SkinManager;
  d.R = GlyphRect();
  d.Enabled = Enabled();
  d.Down = Pushed();
  d.Grayed = SkinManager != nullptr && SkinManager->Effects.DiscoloredGlyphs;
  d.State = CtlState();
  if (bb != nullptr) {
    if (bb->Glyph().Empty()) return;
    d.Glyph = &bb->Glyph();
    d.NumGlyphs = bb->NumGlyphs() & 0x7F;
    DrawButtonGlyph(d);
    return;
  }
  // A button with a bitmap image: the bitmap's pixels as a one-cell glyph.
  const HBITMAP image = reinterpret_cast<HBITMAP>(SendMessageA(Handle, BM_GETIMAGE, IMAGE_BITMAP, 0));
  BITMAP b{};
  if (image == nullptr || GetObjectA(image, sizeof b, &b) != int(sizeof b) || b.bmWidth <= 0 || b.bmHeight == 0) return;
  gui::TBitmap glyph;
  glyph.SetPixelFormat(gui::TPixelFormat::pf24bit);
  glyph.SetSize(b.bmWidth, std::abs(b.bmHeight));
  HDC screen = ledger::GetDC(nullptr);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = b.bmWidth;
  bi.bmiHeader.biHeight = -std::abs(b.bmHeight);
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  for (int y = 0; y < glyph.Height(); ++y)
    GetDIBits(screen, image, UINT(glyph.Height() - 1 - y), 1, glyph.ScanLine(y), &bi, DIB_RGB_COLORS);
  ledger::ReleaseDC(nullptr, screen);
  d.Glyph = &glyph;
  d.NumGlyphs = 1;
  DrawButtonGlyph(d);
}

// ---- TacCheckBoxWnd.

void TacCheckBoxWnd::Initialize() {
  OwnerDrawn = (StyleOf(Handle) & BS_OWNERDRAW) == BS_OWNERDRAW;
  if (SkinData != nullptr) SkinData->ControlKind = ckCheckBox;
  TacSelfPaintedWnd::Initialize();
}

int32_t TacCheckBoxWnd::GlyphImage() const {
  if (SkinManager == nullptr) return -1;
  const SkinCommonIndexes& ix = SkinManager->Skin().CommonIndexes;
  const LONG type = StyleOf(Handle) & 0xF;
  const LRESULT st = SendMessageA(Handle, BM_GETSTATE, 0, 0);
  const int check = (st & BST_INDETERMINATE) ? 2 : (st & BST_CHECKED) ? 1 : 0;
  if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) return check ? ix.RadioChecked : ix.RadioUnchecked;
  return check == 2 ? ix.BoxGrayed : check == 1 ? ix.BoxChecked : ix.BoxUnchecked;
}

TSize TacCheckBoxWnd::GlyphSize() const {
  const SkinImageRecord* rec = ImageOf(SkinManager, GlyphImage());
  if (rec == nullptr) return TSize{16, 16};
  TSize s = ImageStateSize(rec->SourceRect, uint16_t(std::max<int16_t>(rec->ImageCount, 1)), rec->MaskType);
  return s;
}

void TacCheckBoxWnd::PaintCache() {
  CacheInfo ci;
  if (OwnerDrawn || !CanPaint() || !PrepareCache(ci)) return;
  Bitmap& cache = *SkinData->CacheBmp;
  const TRect all{0, 0, cache.Width(), cache.Height()};
  const bool hot = HotLook();
  PaintSkinItem(SkinData->SkinIndex, ci, hot ? 1 : 0, all, TPoint{}, cache, SkinManager);
  const LONG style = StyleOf(Handle);
  const bool leftText = (style & BS_LEFTTEXT) != 0, rtl = (ExStyleOf(Handle) & WS_EX_RTLREADING) != 0;
  const bool multi = (style & BS_MULTILINE) != 0;
  const TSize g = GlyphSize();
  const LRESULT st = SendMessageA(Handle, BM_GETSTATE, 0, 0);
  // The glyph, vertically centred at the left edge (the right edge with the text on the left).
  if (const SkinImageRecord* rec = ImageOf(SkinManager, GlyphImage())) {
    int32_t gs = 0;
    if (st & BST_PUSHED)
      gs = 2;
    else if ((SkinData->MouseAbove || (st & BST_FOCUS)) && !SkinManager->Options.NoMouseHover)
      gs = 1;
    const int32_t x = leftText ? WndSize.cx - g.cx : 0;
    DrawImageState(cache, TPoint{x, (WndSize.cy - g.cy) / 2}, std::min<int32_t>(gs, rec->ImageCount - 1), ci, *rec, 1);
  }
  // A disabled box's caption goes over its faded picture, faded once (in its disabled colour).
  DisabledLook(ci);
  // Caption beside the glyph.
  const std::string& text = WindowText();
  if (!text.empty()) {
    gui::TFont font;
    SelectAdapterFont(this, font);
    const int32_t room = std::max<int32_t>(WndSize.cx - g.cx - 2, 0);
    const TSize ts = GetTextSize(text, font, room, multi);
    const int32_t top = std::max<int32_t>((WndSize.cy - ts.cy) / 2, 0);
    TRect tr{0, top, 0, WndSize.cy - top};
    uint32_t flags = multi ? DT_WORDBREAK : DT_SINGLELINE;
    if (!leftText) {
      tr.Left = g.cx + 4;
      tr.Right = std::min<int32_t>(tr.Left + ts.cx, WndSize.cx);
    } else if (rtl) {
      tr.Right = WndSize.cx - g.cx - 6;
      tr.Left = std::max<int32_t>(tr.Right - ts.cx, 0);
      flags |= DT_RTLREADING | (multi ? 0 : DT_RIGHT);
    } else {
      tr.Left = 2;
      tr.Right = std::min<int32_t>(tr.Left + ts.cx, WndSize.cx - g.cx - 2);
    }
    WriteSkinText(cache, font, text, Enabled(), hot ? 1 : 0, *SkinData, flags, tr);
    if (st & BST_FOCUS) {
      const int32_t states = SectionStateCount(*SectionOf(SkinManager, SkinData->SkinIndex));
      DrawDottedFrame(cache, TRect{tr.Left - 2, tr.Top, tr.Right + 2, tr.Bottom},
                      SectionFontColor(SkinManager, SkinData->SkinIndex, std::min<int32_t>(1, states)), clNone);
    }
  }
  SkinData->BGChanged = false;
}

void TacCheckBoxWnd::WndProc(gui::TMessage& m) {
  if (HandledFirst(m)) return;
  switch (m.Msg) {
    case BM_SETSTATE:
    case BM_SETCHECK:
    case WM_ENABLE:
    case gui::CM_TEXTCHANGED:
    case WM_SETTEXT:
      CommonDataStopAnimation(*SkinData);
      if (IsWindowVisible(Handle)) {
        if (m.Msg == WM_SETTEXT || m.Msg == gui::CM_TEXTCHANGED) textStale_ = true;
        SendMessageA(Handle, WM_SETREDRAW, 0, 0);
        CallOriginal(m);
        if (Destroyed) return;
        SendMessageA(Handle, WM_SETREDRAW, 1, 0);
        if (m.Msg == WM_SETTEXT) textStale_ = true;
        SkinData->BGChanged = true;
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return;
      }
      if (m.Msg == WM_SETTEXT) textStale_ = true;
      break;
    case WM_PAINT:
    case WM_PRINT:
    case WM_PRINTCLIENT:
      if (OwnerDrawn) break;
      if (IsWindowVisible(Handle) || m.WParam != 0) {
        if (!Skinned) SetSkinColors();
        PaintToWindow(m);
        return;
      }
      break;
    case WM_NCPAINT:
      m.Result = 0;
      return;
    case WM_ERASEBKGND:
      if (OwnerDrawn && m.WParam != 0) {
        // The owner draws over what lies under the box.
        CacheInfo ci;
        if (PrepareCache(ci)) {
          FillFromParent(*SkinData->CacheBmp, ci, TRect{0, 0, WndSize.cx, WndSize.cy});
          BitmapToDC(reinterpret_cast<HDC>(m.WParam), 0, 0, WndSize.cx, WndSize.cy, *SkinData->CacheBmp, 0, 0);
        }
      }
      m.Result = 1;
      return;
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
      TacMainWnd::WndProc(m);
      if (!Destroyed) TrackMouse(m);
      return;
    default:
      break;
  }
  TacMainWnd::WndProc(m);
  if (Destroyed) return;
  switch (m.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_LBUTTONUP:
    case WM_LBUTTONDOWN:
      SkinData->BGChanged = true;
      RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (m.WParam == VK_SPACE) RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      break;
    default:
      break;
  }
}

// ---- TacGroupBoxWnd.

TRect TacGroupBoxWnd::CaptionRect() {
  const std::string& text = WindowText();
  gui::TFont font;
  SelectAdapterFont(this, font);
  const TSize ts = text.empty() ? TSize{0, 0} : GetTextSize(text, font, 0, false);
  TRect r;
  r.Left = (ExStyleOf(Handle) & WS_EX_RTLREADING) ? WndSize.cx - ts.cx - 14 : 6;
  r.Top = 0;
  r.Bottom = std::max<int32_t>(4, ts.cy) + 2;
  r.Right = std::min<int32_t>(r.Left + ts.cx + 8, WndSize.cx - 1);
  return r;
}

void TacGroupBoxWnd::PaintCache() {
  CacheInfo ci;
  if (!CanPaint() || !PrepareCache(ci)) return;
  Bitmap& cache = *SkinData->CacheBmp;
  const TRect cap = CaptionRect();
  const int32_t capH = RectHeight(cap);
  auto fillFromParent = [&](const TRect& r) { FillFromParent(cache, ci, r); };
  fillFromParent(TRect{0, 0, cache.Width(), std::min(capH, cache.Height())});
  const TRect frame{0, capH / 2, cache.Width(), cache.Height()};
  if (RectHeight(frame) > 0) PaintSkinItem(SkinData->SkinIndex, ci, 0, frame, TPoint{0, capH / 2}, cache, SkinManager);
  const std::string& text = WindowText();
  if (!text.empty()) {
    fillFromParent(cap);
    gui::TFont font;
    SelectAdapterFont(this, font);
    uint32_t flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (ExStyleOf(Handle) & WS_EX_RTLREADING) flags |= DT_RTLREADING;
    WriteSkinText(cache, font, text, Enabled(), 0, *SkinData, flags, cap);
  }
  // The outer effects of the controls in the box, around them in its image.
  CommonDataPaintChildOuterEffects(*SkinData, dynamic_cast<gui::TWinControl*>(SkinData->OwnerControl), cache, TPoint{});
  SkinData->BGChanged = false;
}

void TacGroupBoxWnd::WndProc(gui::TMessage& m) {
  NoteSkinChange(m);
  if (Destroyed || !CanPaint() || m.Msg == WM_DESTROY || m.Msg == WM_NCDESTROY) {
    TacMainWnd::WndProc(m);
    return;
  }
  if (m.Msg == WM_SKINCOMMAND) {
    switch (SkinCommandCode(m.WParam)) {
      case AC_GETFRAMEINFO:
        WindowRectInParent();
        m.Result = RectHeight(CaptionRect());
        return;
      case AC_GETBACKGROUND:
      case AC_GETCOLOR:
      case AC_ISCACHEUSABLE:
        if (SkinData->BGChanged) PaintCache();
        CommonDataMessage(m, SkinData);
        return;
      case AC_SKINREMOVED:
        if (SkinData->OwnerControl != nullptr)
          SavedControlStyle &= ~gui::csOpaque;
        break;
      default:
        break;
    }
    if (SelfPaintedCommand(m)) return;
  }
  switch (m.Msg) {
    case WM_PAINT:
    case WM_PRINT:
    case WM_PRINTCLIENT: {
      if (m.Msg != WM_PAINT) {
        SkinData->BGChanged = true;
        SkinData->Updating = 0;
      }
      if (!Skinned) SetSkinColors();
      PaintToWindow(m);
      return;
    }
    case WM_ERASEBKGND:
      if (m.WParam != 0 && WPARAM(m.LParam) == m.WParam) {
        // The library asks for the background in that DC.
        if (SkinData->BGChanged || !SkinData->CacheBmp) PaintCache();
        HDC dc = reinterpret_cast<HDC>(m.WParam);
        if (SkinData->CacheBmp)
          BitmapToDC(dc, 0, 0, SkinData->CacheBmp->Width(), SkinData->CacheBmp->Height(), *SkinData->CacheBmp, 0, 0);
        else
          FillRectWithColor(dc, TRect{0, 0, WndSize.cx, WndSize.cy}, CommonDataGetBgColor(*SkinData, 0, Handle));
      }
      m.Result = 1;
      return;
    case WM_NCPAINT:
      m.Result = 0;
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    // A click on the box's empty area presses it (the system paints its own caption then), and so does an enable.
    case BM_SETSTATE:
    case WM_ENABLE:
      PassQuietly(m, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      return;
    case WM_SETTEXT:
      CallOriginal(m);
      textStale_ = true;
      SkinData->BGChanged = true;
      RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      return;
    case WM_PARENTNOTIFY:
      TacMainWnd::WndProc(m);
      if (LOWORD(m.WParam) == WM_CREATE) NotifyTopWindowChildAdded(Handle);
      return;
    default:
      break;
  }
  TacMainWnd::WndProc(m);
}

void TacGroupBoxWnd::PaintedOver(HDC DC) {
  // The graphic children (labels, speed buttons) over the new background; the child windows repaint theirs.
  if (gui::TWinControl* owner = OwnerWinControl()) PaintGraphicControls(DC, owner, false, TPoint{});
  gui::TMessage flush{WM_SKINCOMMAND, SkinCommandWParam(AC_FLUSHREPAINT), 0, 0};
  SendToChildWindows(Handle, flush);
}

// ---- TacSpinWnd.

void TacSpinWnd::Create(HWND Wnd, TsCommonData* Data, TsSkinManager* Manager, const TacSkinParams& Params,
                        bool Repaint) {
  TacSkinParams p = Params;
  TsSkinManager* m = Manager != nullptr ? Manager : DefaultManager();
  if (p.SkinSection.empty() || (m != nullptr && SkinManagerGetSectionIndex(*m, p.SkinSection) < 0))
    p.SkinSection = "BUTTON";
  TacSelfPaintedWnd::Create(Wnd, Data, Manager, p, Repaint);
  Pressed = false;
}

bool TacSpinWnd::Horizontal() const { return (StyleOf(Handle) & UDS_HORZ) != 0; }

int32_t TacSpinWnd::ButtonState(int i) const {
  POINT p{};
  GetCursorPos(&p);
  ScreenToClient(Handle, &p);
  RECT r{};
  GetClientRect(Handle, &r);
  if (!PtInRect(&r, p) || !IsWindowEnabled(Handle)) return 0;
  const bool second = Horizontal() ? p.x >= r.right / 2 : p.y >= r.bottom / 2;
  if (second != (i == 1)) return 0;
  return Pressed ? 2 : 1;
}

bool TacSpinWnd::DrawSkinArrow(Bitmap& Cache, const TRect& R, int32_t Direction, int32_t State) {
  // The skin's arrow images are the glyphs of its scroll-bar buttons, cached with the skin.
  const LoadedSkin& skin = SkinManager->Skin();
  const SkinCommonIndexes& c = skin.CommonIndexes;
  const SkinSectionEntry* arrows[4] = {&c.ScrollBtnLeft, &c.ScrollBtnTop, &c.ScrollBtnRight, &c.ScrollBtnBottom};
  const int32_t index = arrows[Direction & 3]->GlyphIndex;
  if (!SkinManagerIsValidImageIndex(skin, index) || R.IsEmpty()) return false;
  const SkinImageRecord& rec = skin.Images[size_t(index)];
  // One state frame centred in the half (a frame larger than the half is cut at its edges).
  const TPoint at{R.Left + (R.Width() - ImageStateWidth(rec)) / 2, R.Top + (R.Height() - ImageFrameHeight(rec)) / 2};
  DrawImageState(Cache, at, std::min<int32_t>(State, std::max<int32_t>(rec.ImageCount, 1) - 1),
                 CacheInfoFromBitmap(&Cache, 0, 0), rec, 1);
  return true;
}

void TacSpinWnd::PaintCache() {
  CacheInfo ci;
  if (!CanPaint() || !PrepareCache(ci)) return;
  Bitmap& cache = *SkinData->CacheBmp;
  const int32_t W = cache.Width(), H = cache.Height();
  const bool horz = Horizontal();
  for (int i = 0; i < 2; ++i) {
    TRect r = horz ? TRect{i == 0 ? 0 : W / 2, 0, i == 0 ? W / 2 : W, H}
                   : TRect{0, i == 0 ? 0 : H / 2, W, i == 0 ? H / 2 : H};
    const int32_t state = ButtonState(i);
    PaintSkinItem(SkinData->SkinIndex, ci, state, r, TPoint{}, cache, SkinManager);
    if (state == 2 && SkinManager->ButtonsOptions.ShiftContentOnClick) r = Shifted(r, 1, 1);
    // Left (0), up (1), right (2), down (3).
    const int32_t dir = horz ? (i == 0 ? 0 : 2) : (i == 0 ? 1 : 3);
    if (!DrawSkinArrow(cache, r, dir, state))
      DrawArrowGlyph(cache, SectionFontColor(SkinManager, SkinData->SkinIndex, std::min(state, 1)), r, dir);
  }
  DisabledLook(ci);
  SkinData->BGChanged = false;
}

void TacSpinWnd::WndProc(gui::TMessage& m) {
  NoteSkinChange(m);
  if (Destroyed || !CanPaint() || m.Msg == WM_DESTROY || m.Msg == WM_NCDESTROY) {
    TacMainWnd::WndProc(m);
    return;
  }
  // Each half shows its own state from the cursor: entering and leaving only repaint.
  if (m.Msg == WM_SKINCOMMAND &&
      (SkinCommandCode(m.WParam) == AC_MOUSELEAVE || SkinCommandCode(m.WParam) == AC_MOUSEENTER)) {
    RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return;
  }
  if (SelfPaintedCommand(m)) return;
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      Pressed = true;
      break;
    case WM_LBUTTONUP:
      Pressed = false;
      break;
    case WM_MOUSELEAVE:
      tracking_ = false;
      InvalidateRect(Handle, nullptr, FALSE);
      break;
    case WM_PAINT:
    case WM_PRINT:
    case WM_PRINTCLIENT:
      PaintToWindow(m);
      return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      m.Result = 1;
      return;
    default:
      break;
  }
  TacMainWnd::WndProc(m);
  if (Destroyed) return;
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      break;
    case WM_MOUSEMOVE:
      if (!tracking_) {
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, Handle, 0};
        tracking_ = TrackMouseEvent(&t) != 0;
      }
      RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      break;
    default:
      break;
  }
}

// ---- TacTrackWnd.

void TacTrackWnd::Initialize() {
  TickLength = 4;
  Pressed = false;
  TacSelfPaintedWnd::Initialize();
}

void TacTrackWnd::PaintCache() {
  CacheInfo ci;
  if (!CanPaint() || !PrepareCache(ci)) return;
  Bitmap& cache = *SkinData->CacheBmp;
  const bool hot = HotLook();
  PaintSkinItem(SkinData->SkinIndex, ci, hot ? 1 : 0, TRect{0, 0, cache.Width(), cache.Height()}, TPoint{}, cache,
                SkinManager);
  SectionIndex = SkinManagerGetSectionIndex(*SkinManager, "TRACKBAR");
  if (SectionIndex >= 0) {
    const LONG style = StyleOf(Handle);
    const bool vert = (style & TBS_VERT) != 0;
    const int kind = (style & TBS_BOTH) ? 2 : (style & TBS_TOP) ? 1 : 0;
    RECT rc{};
    SendMessageA(Handle, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&rc));
    TRect ch{rc.left, rc.top, rc.right, rc.bottom};
    // A vertical bar may report its channel rotated: swapped only when it comes wider than tall.
    if (vert && RectWidth(ch) > RectHeight(ch)) ch = TRect{rc.top, rc.left, rc.bottom, rc.right};
    const int32_t chanImage = SkinManagerGetImageIndex(*SkinManager, SectionIndex, "SLIDERCHANNEL");
    if (const SkinImageRecord* rec = ImageOf(SkinManager, chanImage)) {
      const TSize f = ImageStateSize(rec->SourceRect, uint16_t(std::max<int16_t>(rec->ImageCount, 1)), rec->MaskType);
      TRect r = ch;
      if (!vert) {
        r.Top += (RectHeight(ch) - (f.cy - 1)) / 2;
        r.Bottom = r.Top + f.cy - 1;
      } else {
        r.Left += (RectWidth(ch) - (f.cx - 1)) / 2;
        r.Right = r.Left + f.cx - 1;
      }
      DrawSkinMask(cache, r, ci, *rec, std::min<int32_t>(hot ? 1 : 0, rec->ImageCount - 1), true);
    }
    RECT tr{};
    SendMessageA(Handle, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&tr));
    const TRect thumb{tr.left, tr.top, tr.right, tr.bottom};
    const int32_t n = int32_t(SendMessageA(Handle, TBM_GETNUMTICS, 0, 0));
    // Ticks need at least the first and the last.
    if (!(style & TBS_NOTICKS) && n >= 2) {
      const int32_t tickImage = SkinManagerGetImageIndex(*SkinManager, SectionIndex, vert ? "TICKVERT" : "TICKHORZ");
      const TColor tickColour = SectionFontColor(SkinManager, SectionIndex, 0);
      const int32_t chStart = vert ? ch.Top : ch.Left, chExt = vert ? RectHeight(ch) : RectWidth(ch);
      const int32_t thExt = vert ? RectHeight(thumb) : RectWidth(thumb);
      const int32_t thAcross = vert ? RectWidth(thumb) : RectHeight(thumb);
      const int32_t chAcross = vert ? RectWidth(ch) : RectHeight(ch);
      TickStep = double(chExt - thExt) / double(n - 1);
      const int32_t d = (thAcross - chAcross) / 2 + 2;
      const int32_t before = (vert ? ch.Left : ch.Top) - d - TickLength, after = (vert ? ch.Right : ch.Bottom) + d;
      for (int32_t i = 0; i < n; ++i) {
        const int32_t at = int32_t(std::lround(chStart + thExt / 2.0 + i * TickStep));
        auto tick = [&](int32_t across) {
          if (const SkinImageRecord* rec = ImageOf(SkinManager, tickImage)) {
            DrawImageState(cache, vert ? TPoint{across, at} : TPoint{at, across}, 0, ci, *rec, 1);
          } else {
            const TRect t = vert ? TRect{across, at, across + TickLength, at + 1}
                                 : TRect{at, across, at + 1, across + TickLength};
            FillRectBitmap32(cache, t, tickColour, 255);
          }
        };
        if (kind >= 1) tick(before);
        if (kind != 1) tick(after);
      }
    }
    int32_t thumbImage = vert ? SkinManagerGetImageIndex(*SkinManager, SectionIndex, "SLIDERVMASK") : -1;
    if (thumbImage < 0) thumbImage = SkinManagerGetImageIndex(*SkinManager, SectionIndex, "SLIDERMASK");
    if (const SkinImageRecord* rec = ImageOf(SkinManager, thumbImage)) {
      const TSize f = ImageStateSize(rec->SourceRect, uint16_t(std::max<int16_t>(rec->ImageCount, 1)), rec->MaskType);
      const TPoint at{thumb.Left + (RectWidth(thumb) - f.cx) / 2, thumb.Top + (RectHeight(thumb) - f.cy) / 2};
      const int32_t state = std::min<int32_t>(Pressed ? 2 : hot ? 1 : 0, rec->ImageCount - 1);
      if (kind == 1) {
        // Mirrored towards the ticks: drawn into a copy of what lies under it, flipped, copied back.
        Bitmap part(f.cx, f.cy, pf32bit);
        for (int32_t y = 0; y < f.cy; ++y)
          for (int32_t x = 0; x < f.cx; ++x) {
            const int32_t sx = vert ? at.X + f.cx - 1 - x : at.X + x, sy = vert ? at.Y + y : at.Y + f.cy - 1 - y;
            if (sx >= 0 && sy >= 0 && sx < cache.Width() && sy < cache.Height())
              SetPixel32(part, x, y, GetPixel32(cache, sx, sy));
          }
        DrawImageState(part, TPoint{0, 0}, state, EmptyCacheInfo, *rec, 1);
        for (int32_t y = 0; y < f.cy; ++y)
          for (int32_t x = 0; x < f.cx; ++x) {
            const int32_t dx = vert ? at.X + f.cx - 1 - x : at.X + x, dy = vert ? at.Y + y : at.Y + f.cy - 1 - y;
            if (dx >= 0 && dy >= 0 && dx < cache.Width() && dy < cache.Height())
              SetPixel32(cache, dx, dy, GetPixel32(part, x, y));
          }
      } else {
        DrawImageState(cache, at, state, ci, *rec, 1);
      }
    }
  }
  DisabledLook(ci);
  SkinData->BGChanged = false;
}

void TacTrackWnd::WndProc(gui::TMessage& m) {
  if (HandledFirst(m)) return;
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
      Pressed = true;
      break;
    case WM_LBUTTONUP:
      Pressed = false;
      break;
    case WM_PAINT:
    case WM_PRINT:
    case WM_PRINTCLIENT:
      if (SkinData->Updating) {
        ValidateRect(Handle, nullptr);
        return;
      }
      if (ParentWnd != nullptr) SendMessageA(ParentWnd, WM_SKINCOMMAND, SkinCommandWParam(AC_CHILDPAINTING), 0);
      if (!IsWindowVisible(Handle) && m.WParam == 0) {
        ValidateRect(Handle, nullptr);
        return;
      }
      PaintToWindow(m);
      return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      m.Result = 1;
      return;
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
      TacMainWnd::WndProc(m);
      if (!Destroyed) TrackMouse(m);
      return;
    default:
      break;
  }
  TacMainWnd::WndProc(m);
  if (!Destroyed && (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONUP))
    RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

}  // namespace skin
