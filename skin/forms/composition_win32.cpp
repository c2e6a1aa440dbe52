// Desktop composition bound at run time, the taskbar, window regions, snapshots with the child windows, the
// thumbnail answers, the snapshot cover and the size grip.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "gui/forms.h"
#include "skin/manager/skincommands.h"
#include "skin/data/sskinmanager.h"
#include "skin/manager/svclutils.h"
#include "skin/forms/border_form.h"
#include "skin/forms/composition.h"
#include "skin/forms/form_window.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/provider_scroll.h"
#include "skin/manager/sanimations.h"
#include "skin/manager/sanimations_window.h"
#include "skin/painters/borders.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/state_images.h"

namespace skin {

namespace {

struct BlurBehind {
  DWORD dwFlags;
  BOOL fEnable;
  HRGN hRgnBlur;
  BOOL fTransitionOnMaximized;
};

using IsCompositionEnabledFn = HRESULT(WINAPI*)(BOOL*);
using SetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, const void*, DWORD);
using EnableBlurBehindFn = HRESULT(WINAPI*)(HWND, const BlurBehind*);
using SetIconicThumbnailFn = HRESULT(WINAPI*)(HWND, HBITMAP, DWORD);
using SetIconicLivePreviewFn = HRESULT(WINAPI*)(HWND, HBITMAP, POINT*, DWORD);
using InvalidateIconicBitmapsFn = HRESULT(WINAPI*)(HWND);

struct Dwm {
  HMODULE library = nullptr;
  bool tried = false;
  IsCompositionEnabledFn isCompositionEnabled = nullptr;
  SetWindowAttributeFn setWindowAttribute = nullptr;
  EnableBlurBehindFn enableBlurBehind = nullptr;
  SetIconicThumbnailFn setIconicThumbnail = nullptr;
  SetIconicLivePreviewFn setIconicLivePreview = nullptr;
  InvalidateIconicBitmapsFn invalidateIconicBitmaps = nullptr;
};

bool Windows6() { return LOBYTE(LOWORD(GetVersion())) >= 6; }

template <class F>
F Bind(HMODULE m, const char* name) {
  return m ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m, name))) : nullptr;
}

Dwm& DwmEntries() {
  static Dwm dwm;
  if (!dwm.tried) {
    dwm.tried = true;
    if (Windows6()) dwm.library = LoadLibraryA("DWMAPI.DLL");
    dwm.isCompositionEnabled = Bind<IsCompositionEnabledFn>(dwm.library, "DwmIsCompositionEnabled");
    dwm.setWindowAttribute = Bind<SetWindowAttributeFn>(dwm.library, "DwmSetWindowAttribute");
    dwm.enableBlurBehind = Bind<EnableBlurBehindFn>(dwm.library, "DwmEnableBlurBehindWindow");
    dwm.setIconicThumbnail = Bind<SetIconicThumbnailFn>(dwm.library, "DwmSetIconicThumbnail");
    dwm.setIconicLivePreview = Bind<SetIconicLivePreviewFn>(dwm.library, "DwmSetIconicLivePreviewBitmap");
    dwm.invalidateIconicBitmaps = Bind<InvalidateIconicBitmapsFn>(dwm.library, "DwmInvalidateIconicBitmaps");
  }
  return dwm;
}

// The pictures last handed over for a form's thumbnail.
struct ThumbnailRecord {
  const gui::TCustomForm* form;
  std::unique_ptr<Bitmap> picture;
};
std::vector<ThumbnailRecord>& Thumbnails() {
  static std::vector<ThumbnailRecord> records;
  return records;
}

// A DIB section (counted by the ledger) holding a copy of a 32-bit bitmap, for the composition manager.
HBITMAP DibCopy(const Bitmap& bmp) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = bmp.Width();
  bi.bmiHeader.biHeight = -bmp.Height();
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP h = ledger::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!h || !bits) return h;
  for (int32_t y = 0; y < bmp.Height(); ++y)
    std::copy_n(bmp.ScanLine(y), size_t(bmp.Width()) * 4, static_cast<uint8_t*>(bits) + size_t(y) * bmp.Width() * 4);
  return h;
}

HWND Handle(const TsSkinProvider& p) { return p.Form() ? p.Form()->WindowHandle() : nullptr; }

}  // namespace

bool LoadDwmLibrary() { return DwmEntries().library != nullptr; }

bool DwmCompositionEnabled() {
  Dwm& dwm = DwmEntries();
  if (!Windows6() || !dwm.isCompositionEnabled) return false;
  BOOL on = FALSE;
  return SUCCEEDED(dwm.isCompositionEnabled(&on)) && on;
}

bool DwmThumbnailsAvailable() {
  Dwm& dwm = DwmEntries();
  return Windows6() && dwm.setIconicThumbnail && dwm.setIconicLivePreview;
}

int32_t DwmSetWindowAttributeFor(void* window, uint32_t attribute, const void* data, uint32_t size) {
  Dwm& dwm = DwmEntries();
  if (!Windows6() || !dwm.setWindowAttribute) return int32_t(0x80004001);
  return dwm.setWindowAttribute(static_cast<HWND>(window), attribute, data, size);
}

void DwmSetTransitionsDisabled(void* window, bool value, bool fallback) {
  if (!window) return;
  const BOOL v = (DwmCompositionEnabled() ? value : fallback) ? TRUE : FALSE;
  DwmSetWindowAttributeFor(window, 3, &v, sizeof(v));
}

void DwmInvalidateIconicBitmapsFor(void* window) {
  Dwm& dwm = DwmEntries();
  if (Windows6() && dwm.invalidateIconicBitmaps && window) dwm.invalidateIconicBitmaps(static_cast<HWND>(window));
}

void DwmEnableBlurFor(HWND window, bool enable, HRGN region) {
  Dwm& dwm = DwmEntries();
  if (dwm.library && dwm.enableBlurBehind && window) {
    const BlurBehind bb{DWORD(region ? 3 : 1), enable ? TRUE : FALSE, region, FALSE};
    dwm.enableBlurBehind(window, &bb);
  }
  if (region) ledger::DeleteObject(region);
}

bool ProviderSendIconicThumbnail(void* window, TsSkinProvider& p, int32_t maxWidth, int32_t maxHeight) {
  Dwm& dwm = DwmEntries();
  if (!Windows6() || maxWidth == 0 || maxHeight == 0 || !dwm.setIconicThumbnail) return false;
  std::unique_ptr<Bitmap> picture = ProviderFormSnapshot(p, false);
  if (!picture) return false;
  const TSize size = ThumbnailSize(picture->Width(), picture->Height(), maxWidth, maxHeight);
  auto scaled = std::make_unique<Bitmap>(size.cx, size.cy, pf32bit);
  StretchCopy(*scaled, TRect{0, 0, size.cx, size.cy}, *picture, TRect{0, 0, picture->Width(), picture->Height()});
  p.StateFlags |= psThumbnail;
  HBITMAP dib = DibCopy(*scaled);
  const bool accepted = dib && dwm.setIconicThumbnail(static_cast<HWND>(window), dib, 0) == 0;
  // The composition manager keeps its own copy.
  if (dib) ledger::DeleteObject(dib);
  p.StateFlags &= ~psThumbnail;
  if (accepted) {
    auto& records = Thumbnails();
    auto it = std::find_if(records.begin(), records.end(), [&](const ThumbnailRecord& r) { return r.form == p.Form(); });
    if (it == records.end())
      records.push_back({p.Form(), std::move(scaled)});
    else
      it->picture = std::move(scaled);
    if (p.BorderForm) BorderFormUpdate(*p.BorderForm, false, 255);
  }
  return accepted;
}

bool ProviderSendIconicLivePreview(void* window, TsSkinProvider& p) {
  Dwm& dwm = DwmEntries();
  if (!Windows6() || !dwm.setIconicLivePreview) return false;
  std::unique_ptr<Bitmap> picture = ProviderFormSnapshot(p, false);
  if (!picture) return false;
  p.StateFlags |= psThumbnail;
  HBITMAP dib = DibCopy(*picture);
  POINT offset{0, 0};
  const bool accepted = dib && dwm.setIconicLivePreview(static_cast<HWND>(window), dib, &offset, 0) == 0;
  if (dib) ledger::DeleteObject(dib);
  p.StateFlags &= ~psThumbnail;
  if (accepted && p.BorderForm) BorderFormUpdate(*p.BorderForm, false, 255);
  return accepted;
}

void DropThumbnailRecord(const gui::TCustomForm* form) {
  auto& records = Thumbnails();
  for (size_t i = 0; i < records.size(); ++i)
    if (records[i].form == form) {
      records[i] = std::move(records.back());
      records.pop_back();
      return;
    }
}

void* TaskbarWindow() { return FindWindowA("Shell_TrayWnd", nullptr); }
void* TopmostHandle() { return HWND_TOPMOST; }

HRGN ProviderBuildRegion(TsSkinProvider& p, int32_t dx, int32_t dy) {
  std::vector<TRect> moved;
  moved.reserve(p.RegionRects.size());
  for (const TRect& r : p.RegionRects) moved.push_back(TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy});
  return RegionWithoutRects(TRect{dx, dy, dx + ProviderCacheWidth(p), dy + ProviderCacheHeight(p)}, moved);
}

namespace {

// The window's region is that one already.
bool WindowHasRegion(HWND h, HRGN region) {
  HRGN current = ledger::CreateRectRgn(0, 0, 0, 0);
  if (!current) return false;
  const bool same = GetWindowRgn(h, current) != ERROR && EqualRgn(current, region);
  ledger::DeleteObject(current);
  return same;
}

}  // namespace

void ProviderUpdateRegion(TsSkinProvider& p, bool redraw) {
  HWND h = Handle(p);
  if (!p.DrawNonClientArea() || !h) return;
  if (!(ProviderFormHasBorder(p) || IsIconic(h) || HasThickFrame(p))) return;
  if (SendMessageA(h, WM_SKINPROBE, SkinProbeSignature, 0) == LRESULT(SkinProbeSignature)) return;
  HRGN region = nullptr;
  RECT wr{};
  GetWindowRect(h, &wr);
  TRect captionOnForm;
  if (p.BorderForm) {
    // The form's window shows its client area and menu line, and the span of its caption round the text when it
    // can (ProviderShowCaptionOnForm); the border window the rest.
    const FrameBands bands = ProviderFrameBands(p);
    const TSize client = FormClientSize(*p.Form());
    POINT o{0, 0};
    ClientToScreen(h, &o);
    const int32_t left = o.x - wr.left, top = o.y - wr.top;
    region = ledger::CreateRectRgn(left, std::min(top, bands.Top.Top), left + client.cx, top + client.cy);
    captionOnForm = p.CaptionOnForm;
    if (region && !RectIsEmpty(captionOnForm)) {
      const TPoint origin = ProviderCacheOrigin(p);
      HRGN caption = ledger::CreateRectRgn(captionOnForm.Left - origin.X, captionOnForm.Top - origin.Y,
                                           captionOnForm.Right - origin.X, captionOnForm.Bottom - origin.Y);
      CombineRgn(region, region, caption, RGN_OR);
      ledger::DeleteObject(caption);
    }
  } else if (IsZoomed(h)) {
    const int32_t b = FormBorderWidth(p, false);
    region = ledger::CreateRectRgn(b, b, wr.right - wr.left - b, wr.bottom - wr.top - b);
  } else {
    region = ProviderBuildRegion(p, 0, 0);
  }
  if (!region) return;
  // The same region again changes nothing on the screen, but setting it is a frame change all the same (the frame
  // recomputed and repainted; under Wine a round trip to the X server as well).
  if (!redraw && WindowHasRegion(h, region)) {
    ledger::DeleteObject(region);
  } else if (!ledger::SetWindowRgn(h, region, redraw ? TRUE : FALSE)) {
    ledger::DeleteObject(region);
    return;
  }
  // The border window leaves the caption's span to the form from now on (or shows it again).
  if (p.CaptionOnFormShown == captionOnForm) return;
  p.CaptionOnFormShown = captionOnForm;
  if (p.BorderForm) BorderFormUpdate(*p.BorderForm, false, 255);
}

void PaintFormChildren(TsSkinProvider& p, Bitmap& bmp) {
  HWND h = Handle(p);
  gui::TCustomForm* form = p.Form();
  if (!h || form == nullptr) return;
  RECT wr{};
  GetWindowRect(h, &wr);
  const TPoint origin = ProviderCacheOrigin(p);
  {
    BitmapDC dc(bmp);
    if (!dc.dc()) return;
    // What the form paints on itself: its graphic controls (labels) over its background, and its scroll bars.
    PaintGraphicControls(dc.dc(), form, false, TPoint{ProviderClientLeft(p), ProviderClientTop(p)});
    const int saved = SaveDC(dc.dc());
    SetViewportOrgEx(dc.dc(), origin.X, origin.Y, nullptr);
    ProviderPrintScrollBars(p, dc.dc());
    RestoreDC(dc.dc(), saved);
  }
  // The child windows as the form's show picture prints them: the skinned ones with their own scroll bars and
  // graphic children, the others through their window procedure.
  for (HWND child = GetWindow(h, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    RECT cr{};
    GetWindowRect(child, &cr);
    const int32_t x = origin.X + cr.left - wr.left, y = origin.Y + cr.top - wr.top;
    if (gui::TWinControl* control = gui::TWinControl::FromHandle(child); control && control->Parent() == form)
      PaintControlToBitmap(bmp, control, x, y, nullptr);
    else
      detail::PrintWindowInto(child, bmp, x, y, cr.right - cr.left, cr.bottom - cr.top, false);
  }
  GdiFlush();
}

HWND CreateSnapshotCoverForm(HWND window) {
  if (!window) return nullptr;
  RECT r{};
  GetWindowRect(window, &r);
  Bitmap picture(r.right - r.left, r.bottom - r.top, pf32bit);
  HDC dc = ledger::GetWindowDC(window);
  if (dc) {
    DCToBitmap(picture, 0, 0, picture.Width(), picture.Height(), dc, 0, 0);
    ledger::ReleaseDC(window, dc);
  }
  SetAlphaRect(picture, TRect{0, 0, picture.Width(), picture.Height()}, 255, clNone);
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TacSnapshotCover";
    registered = RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }
  HWND cover = ledger::CreateWindowEx(0x8000080, "TacSnapshotCover", "", WS_POPUP, r.left, r.top,
                                      r.right - r.left, r.bottom - r.top, nullptr, nullptr, GetModuleHandleA(nullptr),
                                      nullptr);
  if (!cover) return nullptr;
  const TPoint dst{r.left, r.top};
  UpdateLayeredFromBitmap(cover, &picture, 255, &dst);
  // Shown topmost where it was made, without activation (flags 0x659 keep the size, not the place).
  SetWindowPos(cover, HWND_TOPMOST, r.left, r.top, 0, 0, 0x659);
  return cover;
}

void ProviderPaintGrip(HDC dc, TsSkinProvider& p) {
  TsSkinManager* m = ProviderManager(p);
  Bitmap* cache = p.SkinData().CacheBmp.get();
  if (!dc || m == nullptr || cache == nullptr) return;
  const int32_t grip = m->Skin().CommonIndexes.GripImage;
  if (!SkinManagerIsValidImageIndex(*m, grip)) return;
  const SkinImageRecord& image = m->Skin().Images[size_t(grip)];
  const TPoint origin = ProviderGripOrigin(p);
  Bitmap piece(ImageStateWidth(image), ImageFrameHeight(image), pf32bit);
  if (p.SkinData().FillFlags & 1) {
    // A form painted in a plain colour: its cache holds no client background.
    FillRectBitmap32(piece, TRect{0, 0, piece.Width(), piece.Height()}, ProviderFormColor(p), 255);
  } else {
    CopyPieceKeyed(piece, *cache, 0, 0, TRect{origin.X, origin.Y, origin.X + piece.Width(), origin.Y + piece.Height()},
                   clNone, false, EmptyCacheInfo);
  }
  DrawImageState(piece, TPoint{}, 0, CacheInfoFromBitmap(&piece, 0, 0), image, 1);
  // The grip lies in the client area's bottom-right corner.
  BitmapToDC(dc, origin.X - ProviderClientLeft(p), origin.Y - ProviderClientTop(p), piece.Width(), piece.Height(),
             piece, 0, 0);
}

}  // namespace skin
