// Statics, edges, icons, links, panels, transparent containers, tool bars, status bars and the size grip painted
// from the skin.
#include "skin/adapters/acstatics.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "gui/bars.h"
#include "gui/extctrls.h"
#include "gui/forms.h"
#include "gui/stdctrls.h"
#include "skin/adapters/acscrollwnd.h"
#include "skin/manager/commondata.h"
#include "skin/data/maskdata.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/manager/svclutils.h"
#include "skin/painters/borders.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/section_paint.h"
#include "skin/painters/skin_mask.h"
#include "skin/painters/skinned_text.h"
#include "skin/painters/state_images.h"

namespace skin {

namespace {

LONG StyleOf(HWND h) { return GetWindowLongA(h, GWL_STYLE); }
LONG ExStyleOf(HWND h) { return GetWindowLongA(h, GWL_EXSTYLE); }

const SkinImageRecord* ImageOf(TsSkinManager* m, int32_t index) {
  if (m == nullptr || !SkinManagerIsValidImageIndex(*m, index)) return nullptr;
  return &m->Skin().Images[size_t(index)];
}

void CopyCache(HDC dc, const Bitmap& cache) { BitmapToDC(dc, 0, 0, cache.Width(), cache.Height(), cache, 0, 0); }

// Half of what the window's border takes across (0 without a border).
int32_t FrameWidth(HWND h) {
  RECT w{}, c{};
  GetWindowRect(h, &w);
  GetClientRect(h, &c);
  return std::max<int32_t>(((w.right - w.left) - c.right) / 2, 0);
}

// The border strips of a window-sized cache into the window's DC (nullptr: the window's own).
void CopyFrameStrips(HWND h, HDC dc, const Bitmap& cache, int32_t bw) {
  if (bw <= 0) return;
  const bool got = dc == nullptr;
  if (got) dc = ledger::GetWindowDC(h);
  if (dc == nullptr) return;
  BitmapDC src(cache);
  if (src.dc() != nullptr) CopyBorderStrips(dc, 0, 0, bw, cache.Width(), cache.Height(), src.dc(), 0, 0);
  if (got) ledger::ReleaseDC(h, dc);
}

// The client part of a window-sized cache (inside the border) into a client DC.
void CopyClient(HWND h, HDC dc, const Bitmap& cache) {
  const int32_t bw = FrameWidth(h);
  BitmapToDC(dc, 0, 0, cache.Width() - 2 * bw, cache.Height() - 2 * bw, cache, bw, bw);
}

// The cache's background from the section in state 0 over the parent.
void PaintSectionBackground(TsCommonData& data, TsSkinManager* m, const CacheInfo& ci, int32_t state = 0) {
  Bitmap& cache = *data.CacheBmp;
  PaintSkinItem(data.SkinIndex, ci, state, TRect{0, 0, cache.Width(), cache.Height()}, TPoint{}, cache, m);
}

}  // namespace

// ---- TacStaticWnd.

bool TacStaticWnd::LeftAlone() const {
  return (StyleOf(Handle) & WS_TABSTOP) != 0 || (ExStyleOf(Handle) & WS_EX_STATICEDGE) != 0;
}

void TacStaticWnd::PaintCache() {
  CacheInfo ci;
  if (!CanPaint() || !PrepareCache(ci)) return;
  PaintSectionBackground(*SkinData, SkinManager, ci);
  DrawContent();
  DisabledLook(ci);
  SkinData->BGChanged = false;
}

namespace {

// The text reads right to left: the window says so, or the program's main form reads right to left.
bool RightToLeftReading(HWND h) {
  if (ExStyleOf(h) & WS_EX_RTLREADING) return true;
  gui::TCustomForm* main = gui::Application != nullptr ? gui::Application->MainForm() : nullptr;
  return main != nullptr && main->UseRightToLeftReading();
}

}  // namespace

bool TacStaticWnd::DrawContent() {
  const std::string& text = WindowText();
  if (text.empty()) return true;
  gui::TFont font;
  SelectAdapterFont(this, font);
  uint32_t flags = 0x0BD0;  // word break, expand tabs, no clip, tab stop 10
  const LONG style = StyleOf(Handle);
  if (style & SS_NOPREFIX) flags |= DT_NOPREFIX;
  if (ExStyleOf(Handle) & WS_EX_RIGHT) flags |= DT_RIGHT;
  if (RightToLeftReading(Handle)) flags |= DT_RTLREADING;
  switch (style & SS_TYPEMASK) {
    case SS_CENTER:
      flags |= DT_CENTER;
      break;
    case SS_RIGHT:
      flags |= DT_RIGHT;
      break;
    default:
      break;
  }
  WriteSkinText(*SkinData->CacheBmp, font, text, true, 0, *SkinData, flags, TRect{0, 0, WndSize.cx, WndSize.cy});
  return true;
}

void TacStaticWnd::PaintTo(gui::TMessage& m) {
  WindowRectInParent();
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  const bool got = dc == nullptr;
  if (got) dc = ledger::GetWindowDC(Handle);
  if (dc == nullptr) return;
  const int saved = SaveDC(dc);
  SkinData->BGChanged = true;
  CacheInfo ci;
  if (CanPaint() && PrepareCache(ci)) {
    PaintSectionBackground(*SkinData, SkinManager, ci);
    // With nothing of its own to show (an icon static without an icon), the control still shows its background:
    // its erasing is swallowed, and its parent leaves its place unpainted.
    DrawContent();
    CopyCache(dc, *SkinData->CacheBmp);
    SkinData->BGChanged = false;
  }
  RestoreDC(dc, saved);
  if (got) ledger::ReleaseDC(Handle, dc);
}

void TacStaticWnd::WndProc(gui::TMessage& m) {
  NoteSkinChange(m);
  if (Destroyed || !CanPaint() || LeftAlone() || m.Msg == WM_DESTROY || m.Msg == WM_NCDESTROY) {
    TacMainWnd::WndProc(m);
    return;
  }
  if (SelfPaintedCommand(m)) return;
  const bool visible = IsWindowVisible(Handle) != 0;
  switch (m.Msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      HDC dc = BeginPaint(Handle, &ps);
      if (visible) {
        gui::TMessage inner{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
        PaintTo(inner);
      }
      EndPaint(Handle, &ps);
      m.Result = 0;
      return;
    }
    case WM_PRINT:
    case WM_PRINTCLIENT:
      PaintTo(m);
      return;
    case WM_ERASEBKGND:
      if (visible) {
        m.Result = 1;
        return;
      }
      break;
    case WM_NCPAINT:
      m.Result = 0;
      return;
    case WM_MOVE:
    case WM_ENABLE:
      if (visible) {
        SkinData->BGChanged = true;
        CallOriginal(m);
        if (!Destroyed) RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return;
      }
      break;
    case WM_SETTEXT:
      if (visible) {
        SendMessageA(Handle, WM_SETREDRAW, 0, 0);
        CallOriginal(m);
        if (Destroyed) return;
        textStale_ = true;
        SkinData->BGChanged = true;
        SendMessageA(Handle, WM_SETREDRAW, 1, 0);
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return;
      }
      break;
    default:
      break;
  }
  TacMainWnd::WndProc(m);
}

// ---- TacEdgeWnd: the control's own etched line stays; only a 2-pixel band around it comes from the skin.

void TacEdgeWnd::PaintTo(gui::TMessage& m) {
  WindowRectInParent();
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  const bool got = dc == nullptr;
  if (got) dc = ledger::GetWindowDC(Handle);
  if (dc == nullptr) return;
  SkinData->BGChanged = true;
  CacheInfo ci;
  if (CanPaint() && PrepareCache(ci)) {
    PaintSectionBackground(*SkinData, SkinManager, ci);
    DrawContent();
    BitmapDC src(*SkinData->CacheBmp);
    if (src.dc() != nullptr) CopyBorderStrips(dc, 0, 0, 2, WndSize.cx, WndSize.cy, src.dc(), 0, 0);
    SkinData->BGChanged = false;
  }
  if (got) ledger::ReleaseDC(Handle, dc);
}

void TacEdgeWnd::WndProc(gui::TMessage& m) {
  NoteSkinChange(m);
  if (Destroyed || !CanPaint() || LeftAlone() || m.Msg == WM_DESTROY || m.Msg == WM_NCDESTROY) {
    TacMainWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_PAINT: {
      CallOriginal(m);
      const LRESULT kept = m.Result;
      gui::TMessage inner{WM_PAINT, 0, 0, 0};
      PaintTo(inner);
      m.Result = kept;
      return;
    }
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      m.Result = 1;
      return;
    default:
      TacStaticWnd::WndProc(m);
  }
}

// ---- TacIconWnd.

bool TacIconWnd::IsBitmap() const { return (StyleOf(Handle) & SS_TYPEMASK) != SS_ICON; }

bool TacIconWnd::DrawContent() {
  Bitmap& cache = *SkinData->CacheBmp;
  if (IsBitmap()) {
    if (!Image) {
      const HBITMAP h = reinterpret_cast<HBITMAP>(SendMessageA(Handle, STM_GETIMAGE, IMAGE_BITMAP, 0));
      BITMAP b{};
      if (h == nullptr || GetObjectA(h, sizeof b, &b) != int(sizeof b) || b.bmWidth <= 0 || b.bmHeight == 0) return false;
      const int32_t w = b.bmWidth, hh = std::abs(b.bmHeight);
      Image = std::make_unique<Bitmap>(w, hh, pf32bit);
      BITMAPINFO bi{};
      bi.bmiHeader.biSize = sizeof bi.bmiHeader;
      bi.bmiHeader.biWidth = w;
      bi.bmiHeader.biHeight = -hh;
      bi.bmiHeader.biPlanes = 1;
      bi.bmiHeader.biBitCount = 32;
      HDC screen = ledger::GetDC(nullptr);
      std::vector<uint8_t> bits(size_t(w) * size_t(hh) * 4);
      GetDIBits(screen, h, 0, UINT(hh), bits.data(), &bi, DIB_RGB_COLORS);
      ledger::ReleaseDC(nullptr, screen);
      for (int32_t y = 0; y < hh; ++y) std::copy_n(&bits[size_t(y) * size_t(w) * 4], size_t(w) * 4, Image->ScanLine(y));
      // Opaque unless it carries alpha: a bitmap of fewer bits, or a 32-bit one whose alpha is all 0 (a bitmap
      // made for the screen), is copied as it is.
      bool anyAlpha = false;
      if (b.bmBitsPixel == 32)
        for (int32_t y = 0; y < hh && !anyAlpha; ++y)
          for (int32_t x = 0; x < w && !anyAlpha; ++x) anyAlpha = Image->ScanLine(y)[x * 4 + 3] != 0;
      ImageOpaque = !anyAlpha;
      if (ImageOpaque)
        for (int32_t y = 0; y < hh; ++y)
          for (int32_t x = 0; x < w; ++x) Image->ScanLine(y)[x * 4 + 3] = 255;
      Image->SetPixelFormat(pf32bit);
    }
    if (Image->Empty()) return false;
    const int32_t w = std::min(Image->Width(), cache.Width()), h = std::min(Image->Height(), cache.Height());
    if (ImageOpaque) {
      for (int32_t y = 0; y < h; ++y) std::copy_n(Image->ScanLine(y), size_t(w) * 4, cache.ScanLine(y));
      return true;
    }
    AlphaBlendBitmap32(TPoint{0, 0},
                       TRect{0, 0, std::min(Image->Width(), cache.Width()), std::min(Image->Height(), cache.Height())},
                       *Image, false, 0, clNone, false, EmptyCacheInfo, cache);
    return true;
  }
  const HICON icon = reinterpret_cast<HICON>(SendMessageA(Handle, STM_GETICON, 0, 0));
  if (icon == nullptr) return false;
  BitmapDC dc(cache);
  if (dc.dc() == nullptr) return false;
  DrawIconEx(dc.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  return true;
}

// ---- TacLinkWnd.

std::string LinkTextWithoutTags(const std::string& Text) {
  std::string out;
  for (size_t i = 0; i < Text.size();) {
    auto tagAt = [&](const char* tag) {
      const size_t n = std::char_traits<char>::length(tag);
      if (i + n > Text.size()) return false;
      for (size_t k = 0; k < n; ++k)
        if (std::toupper(static_cast<unsigned char>(Text[i + k])) != tag[k]) return false;
      return true;
    };
    if (tagAt("<A>")) {
      i += 3;
    } else if (tagAt("</A>")) {
      i += 4;
    } else {
      out += Text[i++];
    }
  }
  return out;
}

bool TacLinkWnd::DrawContent() {
  gui::TFont font;
  SelectAdapterFont(this, font);
  font.SetStyle(font.Style() | gui::fsUnderline);
  WriteSkinText(*SkinData->CacheBmp, font, LinkTextWithoutTags(WindowText()), true, 0, *SkinData, 0x150,
                TRect{0, 0, WndSize.cx + 4, WndSize.cy});
  return true;
}

void TacLinkWnd::WndProc(gui::TMessage& m) {
  NoteSkinChange(m);
  if (Destroyed || !CanPaint() || (ExStyleOf(Handle) & WS_EX_STATICEDGE) || m.Msg == WM_DESTROY ||
      m.Msg == WM_NCDESTROY) {
    TacStaticWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_ERASEBKGND:
      if (IsWindowVisible(Handle)) {
        gui::TMessage inner{WM_PAINT, m.WParam, 0, 0};
        PaintTo(inner);
        m.Result = 1;
        return;
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      BeginPaint(Handle, &ps);
      EndPaint(Handle, &ps);
      m.Result = 0;
      return;
    }
    default:
      break;
  }
  TacStaticWnd::WndProc(m);
}

// ---- TacStaticTextWnd.

gui::TCustomStaticText* TacStaticTextWnd::StaticText() const {
  return SkinData != nullptr ? dynamic_cast<gui::TCustomStaticText*>(SkinData->OwnerControl) : nullptr;
}

std::string TacStaticTextWnd::DefaultSection() const {
  auto* t = dynamic_cast<gui::TCustomStaticText*>(SectionControl());
  return t != nullptr && t->BorderStyle() != gui::TStaticBorderStyle::sbsNone ? "GROUPBOX" : "CHECKBOX";
}

int32_t TacStaticTextWnd::BorderWidth() const {
  RECT w{}, c{};
  GetWindowRect(Handle, &w);
  GetClientRect(Handle, &c);
  return std::max<int32_t>(((w.right - w.left) - c.right) / 2, 0);
}

void TacStaticTextWnd::PaintCache() {
  CacheInfo ci;
  if (!CanPaint() || !PrepareCache(ci)) return;
  if (ci.FillColor == KeyColor && !ci.Ready) {  // the parent cannot serve its background yet
    SkinData->Updating = 1;
    return;
  }
  SkinData->Updating = 0;
  Bitmap& cache = *SkinData->CacheBmp;
  gui::TControl* control = SkinData->OwnerControl;
  if (control != nullptr && SkinData->CustomColor)
    FillRectBitmap32(cache, TRect{0, 0, cache.Width(), cache.Height()}, ColorToRGB(control->Color()), 255);
  else
    PaintSectionBackground(*SkinData, SkinManager, ci);
  const std::string text = control != nullptr ? control->Caption() : WindowText();
  if (!text.empty()) {
    gui::TFont font;
    SelectAdapterFont(this, font);
    const int32_t bw = BorderWidth();
    const TRect r{bw, bw, cache.Width() - bw, cache.Height() - bw};
    uint32_t flags = DT_CENTER;
    if (gui::TCustomStaticText* t = StaticText()) {
      flags = GetTextFlags(t, t->Alignment()) & ~uint32_t(DT_VCENTER);
      flags |= DT_WORDBREAK;
      if (!t->ShowAccelChar()) flags |= DT_NOPREFIX;
    }
    WriteSkinText(cache, font, text, control == nullptr || control->Enabled(), 0, *SkinData, flags, r);
  }
  DisabledLook(ci);
  SkinData->BGChanged = false;
}

void TacStaticTextWnd::PaintClient(HDC dc) {
  gui::TControl* control = SkinData->OwnerControl;
  if (control == nullptr || control->IsDestroying() || control->IsLoading()) return;
  if (CacheOutOfDate()) PaintCache();
  if (!SkinData->CacheBmp || SkinData->Updating) return;
  const bool got = dc == nullptr;
  if (got) dc = ledger::GetDC(Handle);
  if (dc == nullptr) return;
  const Bitmap& cache = *SkinData->CacheBmp;
  const int32_t bw = BorderWidth();
  BitmapToDC(dc, 0, 0, cache.Width() - 2 * bw, cache.Height() - 2 * bw, cache, bw, bw);
  if (got) ledger::ReleaseDC(Handle, dc);
  SendToChildWindows(Handle, gui::TMessage{WM_SKINCOMMAND, SkinCommandWParam(AC_FLUSHREPAINT), 0, 0});
}

void TacStaticTextWnd::PaintBorder(HDC dc) {
  const int32_t bw = BorderWidth();
  if (bw <= 0) return;
  if (CacheOutOfDate()) PaintCache();
  if (!SkinData->CacheBmp || SkinData->Updating) {
    SkinData->Updating = 1;
    return;
  }
  const bool got = dc == nullptr;
  if (got) dc = ledger::GetWindowDC(Handle);
  if (dc == nullptr) return;
  const Bitmap& cache = *SkinData->CacheBmp;
  BitmapDC src(cache);
  if (src.dc() != nullptr) CopyBorderStrips(dc, 0, 0, bw, cache.Width(), cache.Height(), src.dc(), 0, 0);
  if (got) ledger::ReleaseDC(Handle, dc);
}

void TacStaticTextWnd::WndProc(gui::TMessage& m) {
  NoteSkinChange(m);
  if (Destroyed || SkinData == nullptr || SkinData->OwnerControl == nullptr || m.Msg == WM_DESTROY ||
      m.Msg == WM_NCDESTROY) {
    TacMainWnd::WndProc(m);
    return;
  }
  if (m.Msg == WM_SKINCOMMAND) {
    switch (SkinCommandCode(m.WParam)) {
      case AC_FLUSHREPAINT:
        if (SkinData->Updating) {
          SkinData->Updating = 0;
          RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        }
        SendToChildWindows(Handle, m);
        return;
      case AC_SKINLOADED:
      case AC_SKINREFRESH:
        if (!SelfPaintedCommand(m)) TacMainWnd::WndProc(m);
        if (!Destroyed) SendToChildWindows(Handle, m);
        return;
      case AC_SKINREMOVED:
        SavedControlStyle &= ~gui::csOpaque;
        break;
      case AC_ISSKINNED:
        m.Result = 1;
        return;
      case AC_UPDATECACHE:
        if (CanPaint()) PaintCache();
        break;
      case AC_GETBACKGROUND:
      case AC_GETCOLOR:
      case AC_ISCACHEUSABLE:
      case AC_TRANSPARENCYFLAGS:
        if (CacheOutOfDate() && CanPaint()) PaintCache();
        CommonDataMessage(m, SkinData);
        return;
      default:
        if (SelfPaintedCommand(m)) return;
        break;
    }
    TacMainWnd::WndProc(m);
    return;
  }
  if (!CanPaint()) {
    TacMainWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case gui::CM_TEXTCHANGED:
      textStale_ = true;
      SkinData->BGChanged = true;
      break;
    case gui::CM_SHOWINGCHANGED:
      if (SkinData->OwnerControl->Visible()) {
        NotifyTopWindowChildAdded(Handle);
        const LPARAM manager = reinterpret_cast<LPARAM>(SkinManager);
        SendToChildWindows(Handle, gui::TMessage{WM_SKINCOMMAND, SkinCommandWParam(AC_SKINLOADED), manager, 0});
        SendToChildWindows(Handle, gui::TMessage{WM_SKINCOMMAND, SkinCommandWParam(AC_SKINREFRESH), manager, 0});
      }
      break;
    case gui::CM_ENABLEDCHANGED:
      SendMessageA(Handle, WM_SETREDRAW, 0, 0);
      SkinData->BGChanged = true;  // the disabled look comes and goes with the cache
      TacMainWnd::WndProc(m);
      if (Destroyed) return;
      SendMessageA(Handle, WM_SETREDRAW, 1, 0);
      RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
      return;
    case WM_PARENTNOTIFY:
      TacMainWnd::WndProc(m);
      if (!Destroyed && LOWORD(m.WParam) == WM_CREATE) NotifyTopWindowChildAdded(Handle);
      return;
    case WM_PRINT:
    case WM_PRINTCLIENT: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      if (dc == nullptr) break;
      SkinData->BGChanged = true;
      // The DC of a print starts at the window's corner: the client goes inside the border.
      const int32_t bw = m.Msg == WM_PRINT ? BorderWidth() : 0;
      POINT old{};
      OffsetViewportOrgEx(dc, bw, bw, &old);
      PaintClient(dc);
      SetViewportOrgEx(dc, old.x, old.y, nullptr);
      if (m.Msg == WM_PRINT) PaintBorder(dc);
      m.Result = 0;
      return;
    }
    case WM_NCPAINT:
      PaintBorder(nullptr);
      m.Result = 0;
      return;
    case WM_ERASEBKGND:
      PaintClient(reinterpret_cast<HDC>(m.WParam));
      m.Result = 1;
      return;
    case WM_PAINT: {
      // The content comes with the erase that BeginPaint asks for.
      InvalidateRect(Handle, nullptr, TRUE);
      PAINTSTRUCT ps{};
      BeginPaint(Handle, &ps);
      EndPaint(Handle, &ps);
      m.Result = 0;
      return;
    }
    case WM_UPDATEUISTATE:
      m.Result = 1;
      return;
    case WM_SETTEXT:
      if (IsWindowVisible(Handle)) {
        SendMessageA(Handle, WM_SETREDRAW, 0, 0);
        TacMainWnd::WndProc(m);
        if (Destroyed) return;
        SendMessageA(Handle, WM_SETREDRAW, 1, 0);
        textStale_ = true;
        SkinData->BGChanged = true;
        SendMessageA(Handle, WM_PAINT, 0, 0);
        return;
      }
      textStale_ = true;
      break;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED: {
      const int32_t i = SkinData->SkinIndex;
      if (SkinManagerIsValidSectionIndex(*SkinManager, i) &&
          SkinManager->Skin().Sections[size_t(i)].NormalState.Transparency != 0)
        SkinData->BGChanged = true;
      if (m.Msg == WM_WINDOWPOSCHANGED) {
        const auto* wp = reinterpret_cast<const WINDOWPOS*>(m.LParam);
        if (wp != nullptr && !(wp->flags & SWP_NOSIZE)) SkinData->BGChanged = true;  // a cache of the old size
      }
      TacMainWnd::WndProc(m);
      if (!Destroyed && m.Msg == WM_WINDOWPOSCHANGING) SendMessageA(Handle, WM_NCPAINT, 1, 0);
      return;
    }
    default:
      break;
  }
  TacMainWnd::WndProc(m);
}

// ---- TacPanelWnd.

std::string PanelSection(int BevelOuter, int BevelInner) {
  const int lowered = int(gui::TBevelCut::bvLowered), raised = int(gui::TBevelCut::bvRaised);
  if (BevelOuter == lowered) return BevelInner == raised ? "GROUPBOX" : "PANEL_LOW";
  if (BevelOuter == raised) return BevelInner == lowered ? "GROUPBOX" : "PANEL";
  return "CHECKBOX";
}

gui::TCustomPanel* TacPanelWnd::Panel() const {
  return SkinData != nullptr ? dynamic_cast<gui::TCustomPanel*>(SkinData->OwnerControl) : nullptr;
}

std::string TacPanelWnd::DefaultSection() const {
  if (auto* p = dynamic_cast<gui::TCustomPanel*>(SectionControl()))
    return PanelSection(int(p->BevelOuter()), int(p->BevelInner()));
  return "PANEL";
}

void TacPanelWnd::PaintCache() {
  CacheInfo ci;
  if (!CanPaint() || !PrepareCache(ci)) return;
  if (ci.FillColor == KeyColor && !ci.Ready && GetParent(Handle) != nullptr &&
      QueryLibraryCommand(GetParent(Handle), AC_ISUPDATELOCKED)) {
    SkinData->Updating = 1;
    return;
  }
  Bitmap& cache = *SkinData->CacheBmp;
  gui::TCustomPanel* panel = Panel();
  if (panel != nullptr && SkinData->CustomColor)
    FillRectBitmap32(cache, TRect{0, 0, cache.Width(), cache.Height()}, ColorToRGB(panel->Color()), 255);
  else
    PaintSectionBackground(*SkinData, SkinManager, ci);
  const std::string& text = panel != nullptr ? panel->Caption() : WindowText();
  if (!text.empty() && !(panel != nullptr && panel->Tag() == 999)) {
    gui::TFont font;
    SelectAdapterFont(this, font);
    // The cache holds the whole window: the caption goes inside the border.
    const int32_t bw = FrameWidth(Handle);
    TRect r{bw, bw, cache.Width() - bw, cache.Height() - bw};
    uint32_t flags = DT_CENTER | DT_VCENTER;
    if (panel != nullptr) {
      int inset = panel->BorderWidth();
      if (panel->BevelInner() != gui::TBevelCut::bvNone) inset += panel->BevelWidth();
      if (panel->BevelOuter() != gui::TBevelCut::bvNone) inset += panel->BevelWidth();
      r = TRect{r.Left + inset, r.Top + inset, r.Right - inset, r.Bottom - inset};
      const TSize ts = GetTextSize(text, font, std::max<int32_t>(r.Width(), 1), true);
      r.Top += (r.Height() - ts.cy) / 2;
      r.Bottom = r.Top + ts.cy;
      flags = GetTextFlags(panel, panel->Alignment()) | DT_VCENTER | DT_WORDBREAK;
    } else {
      flags |= DT_SINGLELINE;
    }
    WriteSkinText(cache, font, text, Enabled(), 0, *SkinData, flags, r);
  }
  // The outer effects of the controls on the panel, around them in its image.
  CommonDataPaintChildOuterEffects(*SkinData, panel, cache, TPoint{});
  DisabledLook(ci);
  SkinData->BGChanged = false;
}

void TacPanelWnd::PaintClient(HDC dc) {
  if (dc == nullptr) return;
  if (CacheOutOfDate()) PaintCache();
  if (!SkinData->CacheBmp || PaintHeldBack()) return;
  CopyClient(Handle, dc, *SkinData->CacheBmp);
  if (gui::TCustomPanel* panel = Panel()) PaintGraphicControls(dc, panel, false, TPoint{});
}

void TacPanelWnd::PaintBorder(HDC dc) {
  const int32_t bw = FrameWidth(Handle);
  if (bw <= 0) return;
  if (CacheOutOfDate()) PaintCache();
  if (!SkinData->CacheBmp || PaintHeldBack()) return;
  CopyFrameStrips(Handle, dc, *SkinData->CacheBmp, bw);
}

void TacPanelWnd::WndProc(gui::TMessage& m) {
  NoteSkinChange(m);
  if (Destroyed || !CanPaint() || m.Msg == WM_DESTROY || m.Msg == WM_NCDESTROY) {
    TacMainWnd::WndProc(m);
    return;
  }
  if (m.Msg == WM_SKINCOMMAND) {
    switch (SkinCommandCode(m.WParam)) {
      case AC_ISSKINNED:
        m.Result = 1;
        return;
      case AC_GETBACKGROUND:
      case AC_GETCOLOR:
      case AC_ISCACHEUSABLE:
      case AC_TRANSPARENCYFLAGS:
        if (CacheOutOfDate()) PaintCache();
        CommonDataMessage(m, SkinData);
        return;
      case AC_FLUSHREPAINT:
        if (SkinData->Updating) {
          SkinData->Updating = 0;
          RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        }
        SendToChildWindows(Handle, m);
        return;
      case AC_SKINREMOVED:
        SavedControlStyle &= ~gui::csOpaque;
        break;
      case AC_SKINLOADED:
      case AC_SKINREFRESH:
        if (AcceptSkinCommand(m) && m.LParam == reinterpret_cast<LPARAM>(SkinManager)) {
          SelfPaintedCommand(m);
          SendToChildWindows(Handle, m);
          return;
        }
        break;
      default:
        break;
    }
    if (SelfPaintedCommand(m)) return;
    TacMainWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case gui::CM_TEXTCHANGED:
      textStale_ = true;
      SkinData->BGChanged = true;
      break;
    case WM_PRINT:
    case WM_PRINTCLIENT: {
      SkinData->BGChanged = true;
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      if (dc == nullptr) return;
      // A print's DC starts at the window's corner: the client inside the border, then the border.
      const int32_t bw = m.Msg == WM_PRINT ? FrameWidth(Handle) : 0;
      POINT old{};
      OffsetViewportOrgEx(dc, bw, bw, &old);
      PaintClient(dc);
      SetViewportOrgEx(dc, old.x, old.y, nullptr);
      if (m.Msg == WM_PRINT) PaintBorder(dc);
      return;
    }
    case WM_NCPAINT:
      PaintBorder(nullptr);
      m.Result = 0;
      return;
    case WM_ERASEBKGND:
      PaintClient(reinterpret_cast<HDC>(m.WParam));
      m.Result = 1;
      return;
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      HDC dc = BeginPaint(Handle, &ps);
      if (m.WParam != 0) dc = reinterpret_cast<HDC>(m.WParam);
      PaintClient(dc);
      EndPaint(Handle, &ps);
      m.Result = 0;
      return;
    }
    case WM_SETTEXT:
      if (IsWindowVisible(Handle)) {
        PassQuietly(m, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        textStale_ = true;
        SkinData->BGChanged = true;
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        return;
      }
      textStale_ = true;
      break;
    case WM_WINDOWPOSCHANGED:
    case WM_SIZE:
      SkinData->BGChanged = true;
      break;
    case WM_PARENTNOTIFY:
      TacMainWnd::WndProc(m);
      if (LOWORD(m.WParam) == WM_CREATE) NotifyTopWindowChildAdded(Handle);
      return;
    case gui::CM_VISIBLECHANGED: {
      SkinData->BGChanged = true;
      SkinData->Updating = 0;
      if (m.WParam != 0) PaintCache();
      TacMainWnd::WndProc(m);
      if (Destroyed || m.WParam == 0) return;
      gui::TMessage flush{WM_SKINCOMMAND, SkinCommandWParam(AC_FLUSHREPAINT), 0, 0};
      SendToChildWindows(Handle, flush);
      return;
    }
    case gui::CM_SHOWINGCHANGED: {
      TacMainWnd::WndProc(m);
      gui::TCustomPanel* panel = Panel();
      if (Destroyed || panel == nullptr || !panel->Visible() || !panel->Showing()) return;
      SkinData->Updating = 0;
      // Children made while the panel was hidden (a layout shown later) may have no adapter yet: the form adapts
      // them now, and every child takes the skin in force.
      NotifyParentChildChanged(panel);
      if (Destroyed) return;
      const LPARAM manager = reinterpret_cast<LPARAM>(SkinManager);
      gui::TMessage loaded{WM_SKINCOMMAND, SkinCommandWParam(AC_SKINLOADED), manager, 0};
      SendToChildWindows(Handle, loaded);
      gui::TMessage refresh{WM_SKINCOMMAND, SkinCommandWParam(AC_SKINREFRESH), manager, 0};
      SendToChildWindows(Handle, refresh);
      return;
    }
    default:
      break;
  }
  TacMainWnd::WndProc(m);
}

// ---- TacTransPanelWnd.

void TacTransPanelWnd::PaintCache() {
  WindowRectInParent();
  SkinData->BGChanged = true;
  PaintSubclassedBackground(SkinData, Handle, false);
}

void TacTransPanelWnd::WndProc(gui::TMessage& m) {
  if (HandledFirst(m)) return;
  switch (m.Msg) {
    case WM_PAINT:
    case WM_PRINT:
    case WM_PRINTCLIENT: {
      PAINTSTRUCT ps{};
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      const bool begun = dc == nullptr && m.Msg == WM_PAINT;
      if (begun) dc = BeginPaint(Handle, &ps);
      PaintCache();
      if (SkinData->CacheBmp && dc != nullptr) {
        CopyCache(dc, *SkinData->CacheBmp);
        // The visible child windows over it.
        for (HWND c = GetWindow(Handle, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
          if (IsWindowVisible(c)) InvalidateRect(c, nullptr, FALSE);
      }
      if (begun) EndPaint(Handle, &ps);
      m.Result = 0;
      return;
    }
    case WM_ERASEBKGND:
      PaintCache();
      if (SkinData->CacheBmp && m.WParam != 0) CopyCache(reinterpret_cast<HDC>(m.WParam), *SkinData->CacheBmp);
      m.Result = 1;
      return;
    case WM_NCPAINT:
      m.Result = 0;
      return;
    default:
      break;
  }
  TacMainWnd::WndProc(m);
}

// ---- TacSizerWnd.

void TacSizerWnd::PaintCache() {
  CacheInfo ci;
  if (!CanPaint() || !PrepareCache(ci)) return;
  Bitmap& cache = *SkinData->CacheBmp;
  const SkinImageRecord* grip = ImageOf(SkinManager, SkinManager->Skin().CommonIndexes.GripImage);
  if (grip == nullptr) return;
  if (ci.Ready && ci.Bmp != nullptr) {
    for (int32_t y = 0; y < cache.Height(); ++y)
      for (int32_t x = 0; x < cache.Width(); ++x) {
        const int32_t px = ci.X + x, py = ci.Y + y;
        if (px >= 0 && py >= 0 && px < ci.Bmp->Width() && py < ci.Bmp->Height())
          SetPixel32(cache, x, y, GetPixel32(*ci.Bmp, px, py) | 0xFF000000u);
      }
  } else {
    FillRectBitmap32(cache, TRect{0, 0, cache.Width(), cache.Height()},
                     ci.FillColor != KeyColor ? ci.FillColor : WindowBgColor(ParentWnd), 255);
  }
  const TSize f = ImageStateSize(grip->SourceRect, uint16_t(std::max<int16_t>(grip->ImageCount, 1)), grip->MaskType);
  DrawImageState(cache, TPoint{std::max<int32_t>(cache.Width() - f.cx, 0), std::max<int32_t>(cache.Height() - f.cy, 0)},
                 0, ci, *grip, 1);
  SkinData->BGChanged = false;
}

void TacSizerWnd::WndProc(gui::TMessage& m) {
  if (HandledFirst(m)) return;
  switch (m.Msg) {
    case WM_PAINT:
      PaintToWindow(m);
      return;
    case WM_ERASEBKGND:
    case WM_NCPAINT:
      m.Result = 1;
      return;
    case WM_NCHITTEST:
      TacMainWnd::WndProc(m);
      if (!Destroyed && Enabled()) {
        if (TsSkinManager* dm = DefaultManager()) SkinManagerSetHotControl(dm, nullptr);
        m.Result = HTBOTTOMRIGHT;
      }
      return;
    case WM_NCLBUTTONDOWN:
      // The grip sizes the window it stands in (the system's own grip does the same): the corner the hit test
      // names would otherwise size the grip itself, a child without a sizing frame, and nothing moves.
      if (m.WParam == HTBOTTOMRIGHT && Enabled()) {
        if (HWND top = GetAncestor(Handle, GA_ROOT); top && top != Handle &&
                                                     (GetWindowLongA(top, GWL_STYLE) & WS_THICKFRAME)) {
          SendMessageA(top, WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, m.LParam);
          m.Result = 0;
          return;
        }
      }
      break;
    default:
      break;
  }
  TacMainWnd::WndProc(m);
}

// ---- TacToolBarWnd (the common-control tool bar).

void TacToolBarWnd::PaintCache() {
  CacheInfo ci;
  if (!CanPaint() || !PrepareCache(ci)) return;
  Bitmap& cache = *SkinData->CacheBmp;
  PaintSectionBackground(*SkinData, SkinManager, ci);
  RECT cr{};
  GetClientRect(Handle, &cr);
  ClientRect = TRect{cr.left, cr.top, cr.right, cr.bottom};
  Margin = (WndSize.cy - cr.bottom) / 2;
  const int32_t buttonSection = SkinManagerGetSectionIndex(*SkinManager, "TOOLBUTTON");
  const int32_t dividerSection = SkinManagerGetSectionIndex(*SkinManager, "DIVIDER");
  const int32_t dividerMask = SkinManagerGetImageIndex(*SkinManager, dividerSection, "BORDERSMASK");
  POINT cursor{};
  GetCursorPos(&cursor);
  ScreenToClient(Handle, &cursor);
  const int count = int(SendMessageA(Handle, TB_BUTTONCOUNT, 0, 0));
  const HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageA(Handle, TB_GETIMAGELIST, 0, 0));
  gui::TFont font;
  SelectAdapterFont(this, font);
  for (int i = 0; i < count; ++i) {
    RECT ir{};
    TBBUTTON b{};
    if (!SendMessageA(Handle, TB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&ir))) continue;
    SendMessageA(Handle, TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(&b));
    const TRect r{ir.left + Margin, ir.top + Margin, ir.right + Margin, ir.bottom + Margin};
    if (b.fsStyle & BTNS_SEP) {
      if (const SkinImageRecord* rec = ImageOf(SkinManager, dividerMask)) {
        const TSize f = ImageStateSize(rec->SourceRect, uint16_t(std::max<int16_t>(rec->ImageCount, 1)), rec->MaskType);
        const TRect d{r.Left + (r.Width() - f.cx) / 2, r.Top, r.Left + (r.Width() - f.cx) / 2 + f.cx, r.Bottom};
        DrawSkinMask(cache, d, ci, *rec, 0, true);
      }
      continue;
    }
    int32_t state = 0;
    if (!(b.fsState & TBSTATE_ENABLED))
      state = 0;
    else if (b.fsState & TBSTATE_PRESSED)
      state = 2;
    else if (PtInRect(&ir, cursor))
      state = 1;
    if (buttonSection >= 0) PaintSkinItem(buttonSection, EmptyCacheInfo, state, r, TPoint{}, cache, SkinManager);
    if (images != nullptr && b.iBitmap >= 0) {
      int iw = 0, ih = 0;
      ImageList_GetIconSize(images, &iw, &ih);
      BitmapDC dc(cache);
      if (dc.dc() != nullptr)
        ImageList_Draw(images, b.iBitmap, dc.dc(), r.Left + (r.Width() - iw) / 2, r.Top + (r.Height() - ih) / 2,
                       ILD_TRANSPARENT);
    }
    char text[256] = {};
    const LRESULT n = SendMessageA(Handle, TB_GETBUTTONTEXTA, WPARAM(b.idCommand), reinterpret_cast<LPARAM>(text));
    if (n > 0 && n < LRESULT(sizeof text) && buttonSection >= 0) {
      TRect tr = r;
      WriteTextSectionEx(cache, font, std::string(text, size_t(n)), (b.fsState & TBSTATE_ENABLED) != 0, SkinManager, tr,
                         state, buttonSection, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
    }
  }
  SetAlphaRect(cache, TRect{0, 0, cache.Width(), cache.Height()}, 255, clNone);
  SkinData->BGChanged = false;
}

void TacToolBarWnd::WndProc(gui::TMessage& m) {
  if (HandledFirst(m)) return;
  switch (m.Msg) {
    case WM_PAINT:
    case WM_PRINT:
    case WM_PRINTCLIENT:
      if (!IsWindowVisible(Handle) && m.WParam == 0) break;
      PaintToWindow(m);
      return;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    default:
      break;
  }
  TacMainWnd::WndProc(m);
  if (Destroyed) return;
  switch (m.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      SkinData->BGChanged = true;
      RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      break;
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
      TrackMouse(m);
      InvalidateRect(Handle, nullptr, FALSE);
      break;
    default:
      break;
  }
}

// ---- TacStatusBarWnd.

namespace {

// A part's text as the status bar keeps it: up to three pieces parted by tabs, the first on the left, the second
// centred, the third on the right.
struct PartPieces {
  std::string Left, Centre, Right;
};

PartPieces SplitPartText(const std::string& Text) {
  PartPieces p;
  std::string* pieces[3] = {&p.Left, &p.Centre, &p.Right};
  size_t at = 0;
  for (int i = 0; i < 3; ++i) {
    const size_t tab = i < 2 ? Text.find('\t', at) : std::string::npos;
    *pieces[i] = Text.substr(at, tab == std::string::npos ? std::string::npos : tab - at);
    if (tab == std::string::npos) break;
    at = tab + 1;
  }
  return p;
}

}  // namespace

gui::TStatusBar* TacStatusBarWnd::StatusBar() const {
  return SkinData != nullptr ? dynamic_cast<gui::TStatusBar*>(SkinData->OwnerControl) : nullptr;
}

void TacStatusBarWnd::DrawOwnerPart(Bitmap& Cache, int Part, const RECT& R, LPARAM Data) {
  BitmapDC dc(Cache);
  if (dc.dc() == nullptr) return;
  const int32_t bw = FrameWidth(Handle);
  // The owner draws in client coordinates, as on the bar's own window.
  SetViewportOrgEx(dc.dc(), bw, bw, nullptr);
  IntersectClipRect(dc.dc(), R.left, R.top, R.right, R.bottom);
  gui::TStatusBar* bar = StatusBar();
  if (bar != nullptr && !bar->SimplePanel() && Part < bar->Panels().Count()) {
    // A component's part is painted by its component, through its own event.
    gui::TCanvas& canvas = bar->Canvas();
    canvas.SetHandle(dc.dc());
    canvas.Font().Assign(bar->Font());
    canvas.Brush().Color = bar->Color();
    bar->DrawPanel(bar->Panels().Items(Part), TRect{R.left, R.top, R.right, R.bottom});
    canvas.SetHandle(nullptr);
  } else if (bar == nullptr) {
    // A foreign bar's part is painted by the window it reports to, as the bar itself would ask it.
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_STATIC;
    dis.CtlID = UINT(GetWindowLongPtrA(Handle, GWLP_ID));
    dis.itemID = UINT(Part);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.hwndItem = Handle;
    dis.hDC = dc.dc();
    dis.rcItem = R;
    dis.itemData = ULONG_PTR(Data);
    if (HWND parent = GetParent(Handle))
      SendMessageA(parent, WM_DRAWITEM, WPARAM(dis.CtlID), reinterpret_cast<LPARAM>(&dis));
  }
  GdiFlush();
  // What GDI wrote carries no alpha.
  SetAlphaRect(Cache, TRect{R.left + bw, R.top + bw, R.right + bw, R.bottom + bw}, 255, clNone);
}

void TacStatusBarWnd::PaintCache() {
  CacheInfo ci;
  if (!CanPaint() || !PrepareCache(ci)) return;
  Bitmap& cache = *SkinData->CacheBmp;
  PaintSectionBackground(*SkinData, SkinManager, ci);
  // The cache holds the whole window: the parts (client coordinates) lie inside the border.
  const int32_t bw = FrameWidth(Handle);
  const int32_t panelMask = SkinManagerGetImageIndex(*SkinManager, SkinData->SkinIndex, "STATUSPANELMASK");
  const int32_t dividerSection = SkinManagerGetSectionIndex(*SkinManager, "DIVIDER");
  const int32_t dividerMask = SkinManagerGetImageIndex(*SkinManager, dividerSection, "BORDERSMASK");
  const bool simple = SendMessageA(Handle, SB_ISSIMPLE, 0, 0) != 0;
  const int parts = simple ? 1 : std::clamp(int(SendMessageA(Handle, SB_GETPARTS, 0, 0)), 0, 256);
  gui::TFont font;
  SelectAdapterFont(this, font);
  gui::TStatusBar* bar = StatusBar();
  for (int i = 0; i < parts; ++i) {
    RECT pr{};
    if (!SendMessageA(Handle, SB_GETRECT, WPARAM(simple ? 0 : i), reinterpret_cast<LPARAM>(&pr))) {
      if (!simple) continue;
      GetClientRect(Handle, &pr);
    }
    const WPARAM index = simple ? SB_SIMPLEID : WPARAM(i);
    const LRESULT lenInfo = SendMessageA(Handle, SB_GETTEXTLENGTHA, index, 0);
    const UINT kind = HIWORD(lenInfo);
    const TRect r{pr.left + bw + 1, pr.top + bw + 1, pr.right + bw - 1, pr.bottom + bw - 1};
    // A raised part is drawn in the second state of the part's frame and the section's (where the skin gives them).
    const int32_t raised = (kind & SBT_POPOUT) ? 1 : 0;
    if (!(kind & SBT_NOBORDERS))
      if (const SkinImageRecord* rec = ImageOf(SkinManager, panelMask))
        DrawSkinMask(cache, r, ci, *rec, std::min<int32_t>(raised, std::max<int16_t>(rec->ImageCount, 1) - 1), true);
    if (!simple && i < parts - 1)
      if (const SkinImageRecord* rec = ImageOf(SkinManager, dividerMask)) {
        const TSize f = ImageStateSize(rec->SourceRect, uint16_t(std::max<int16_t>(rec->ImageCount, 1)), rec->MaskType);
        const int32_t x = pr.right + bw - f.cx / 2;
        DrawSkinMask(cache, TRect{x, r.Top, x + f.cx, r.Bottom}, ci, *rec, 0, true);
      }
    if (kind & SBT_OWNERDRAW) {
      // The part's data travels in place of its text.
      const LRESULT data = SendMessageA(Handle, SB_GETTEXTA, index, 0);
      DrawOwnerPart(cache, i, RECT{pr.left + 1, pr.top + 1, pr.right - 1, pr.bottom - 1}, LPARAM(data));
      continue;
    }
    const size_t len = LOWORD(lenInfo);
    if (len == 0) continue;
    std::string text(len + 1, '\0');
    SendMessageA(Handle, SB_GETTEXTA, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::min(len, std::char_traits<char>::length(text.c_str())));
    const TRect tr{r.Left + 2, r.Top, r.Right - 2, r.Bottom};
    const bool enabled = bar == nullptr || bar->Enabled();
    // The bar keeps a component panel's alignment as tabs before its text (one centres, two put it right).
    const PartPieces pieces = SplitPartText(text);
    const std::pair<const std::string*, uint32_t> placed[3] = {
        {&pieces.Left, DT_LEFT}, {&pieces.Centre, DT_CENTER}, {&pieces.Right, DT_RIGHT}};
    const int32_t textState =
        std::min<int32_t>(raised, SectionStateCount(SkinManager->Skin().Sections[size_t(SkinData->SkinIndex)]) - 1);
    const uint32_t reading = (kind & SBT_RTLREADING) ? DT_RTLREADING : 0;
    for (const auto& [piece, align] : placed)
      if (!piece->empty())
        WriteSkinText(cache, font, *piece, enabled, textState, *SkinData,
                      align | reading | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, tr);
  }
  const bool grip = bar != nullptr ? bar->SizeGrip() : (StyleOf(Handle) & SBARS_SIZEGRIP) != 0;
  if (grip)
    if (const SkinImageRecord* g = ImageOf(SkinManager, SkinManager->Skin().CommonIndexes.GripImage)) {
      const TSize f = ImageStateSize(g->SourceRect, uint16_t(std::max<int16_t>(g->ImageCount, 1)), g->MaskType);
      DrawImageState(cache,
                     TPoint{std::max<int32_t>(cache.Width() - bw - f.cx, 0), std::max<int32_t>(cache.Height() - bw - f.cy, 0)},
                     0, ci, *g, 1);
    }
  SkinData->BGChanged = false;
}

void TacStatusBarWnd::PaintFrame(HDC DC) {
  const int32_t bw = FrameWidth(Handle);
  if (bw <= 0 || AnimationInProgress()) return;
  if (SkinData->BGChanged || !SkinData->CacheBmp) PaintCache();
  if (!SkinData->CacheBmp) return;
  CopyFrameStrips(Handle, DC, *SkinData->CacheBmp, bw);
}

void TacStatusBarWnd::WndProc(gui::TMessage& m) {
  if (HandledFirst(m)) return;
  switch (m.Msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      HDC dc = BeginPaint(Handle, &ps);
      PaintCache();
      if (SkinData->CacheBmp) CopyClient(Handle, dc, *SkinData->CacheBmp);
      EndPaint(Handle, &ps);
      m.Result = 0;
      return;
    }
    case WM_ERASEBKGND:
    case WM_PRINTCLIENT:
      if (m.WParam != 0) {
        PaintCache();
        if (SkinData->CacheBmp) CopyClient(Handle, reinterpret_cast<HDC>(m.WParam), *SkinData->CacheBmp);
      }
      m.Result = 1;
      return;
    case WM_PRINT:
      // A print's DC starts at the window's corner: the whole cache, border included.
      if (m.WParam != 0) {
        PaintCache();
        if (SkinData->CacheBmp) CopyCache(reinterpret_cast<HDC>(m.WParam), *SkinData->CacheBmp);
      }
      m.Result = 1;
      return;
    case WM_NCPAINT:
      PaintFrame(nullptr);
      m.Result = 0;
      return;
    default:
      break;
  }
  TacMainWnd::WndProc(m);
  if (!Destroyed && m.Msg == WM_SIZE) {
    SkinData->BGChanged = true;
    RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
  }
}

}  // namespace skin
