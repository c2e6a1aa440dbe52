// The Win32 half of fonts, canvases and bitmaps: font handles, drawing through GDI on the canvas's device
// context, and bitmaps as DIB sections that a memory device context draws into.
#include <cstring>

#include "gui/graphics.h"
#include "gui/syscolors.h"

namespace gui {

void TFont::FreeHandle() const {
  if (handle_) {
    DeleteObject(handle_);
    handle_ = nullptr;
  }
}

HFONT TFont::Handle() const {
  if (!handle_) {
    LOGFONTA lf{};
    lf.lfHeight = height_;
    lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style_ & fsItalic) ? 1 : 0;
    lf.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = static_cast<BYTE>(charset_);
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = pitch_ == TFontPitch::fpFixed ? FIXED_PITCH : (pitch_ == TFontPitch::fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH);
    strncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
    handle_ = CreateFontIndirectA(&lf);
  }
  return handle_;
}

void TCanvas::Select() {
  if (!dc_) return;
  HGDIOBJ f = SelectObject(dc_, font_.Handle());
  if (!oldFont_) oldFont_ = f;
  if (brushHandle_) DeleteObject(brushHandle_);
  brushHandle_ = brush_.Style == TBrushStyle::bsClear ? nullptr : CreateSolidBrush(ColorRef(brush_.Color));
  HGDIOBJ b = SelectObject(dc_, brushHandle_ ? static_cast<HGDIOBJ>(brushHandle_) : GetStockObject(NULL_BRUSH));
  if (!oldBrush_) oldBrush_ = b;
  if (penHandle_) {
    HGDIOBJ cur = SelectObject(dc_, GetStockObject(BLACK_PEN));
    (void)cur;
    DeleteObject(penHandle_);
  }
  int style = PS_SOLID;
  if (pen_.Style == TPenStyle::psDash) style = PS_DASH;
  if (pen_.Style == TPenStyle::psDot) style = PS_DOT;
  if (pen_.Style == TPenStyle::psClear) style = PS_NULL;
  penHandle_ = CreatePen(style, pen_.Width, PenColor(ColorRef(pen_.Color)));
  HGDIOBJ p = SelectObject(dc_, penHandle_);
  if (!oldPen_) oldPen_ = p;
  SetTextColor(dc_, ColorRef(font_.Color()));
  SetBkColor(dc_, ColorRef(brush_.Color));
  SetBkMode(dc_, brush_.Style == TBrushStyle::bsClear ? TRANSPARENT : OPAQUE);
}

void TCanvas::Unselect() {
  if (dc_) {
    if (oldFont_) SelectObject(dc_, oldFont_);
    if (oldBrush_) SelectObject(dc_, oldBrush_);
    if (oldPen_) SelectObject(dc_, oldPen_);
  }
  oldFont_ = oldBrush_ = oldPen_ = nullptr;
  if (brushHandle_) DeleteObject(brushHandle_);
  if (penHandle_) DeleteObject(penHandle_);
  brushHandle_ = nullptr;
  penHandle_ = nullptr;
}

void TCanvas::FillRect(const TRect& r) {
  if (!dc_) return;
  if (brush_.Style == TBrushStyle::bsClear) return;
  HBRUSH b = CreateSolidBrush(ColorRef(brush_.Color));
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  ::FillRect(dc_, &rc, b);
  DeleteObject(b);
}

void TCanvas::FrameRect(const TRect& r) {
  if (!dc_) return;
  HBRUSH b = CreateSolidBrush(ColorRef(brush_.Color));
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  ::FrameRect(dc_, &rc, b);
  DeleteObject(b);
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  if (!dc_) return;
  Select();
  ::Rectangle(dc_, x1, y1, x2, y2);
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
  if (!dc_) return;
  Select();
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  ::ExtTextOutA(dc_, x, y, ETO_CLIPPED | (brush_.Style == TBrushStyle::bsClear ? 0 : ETO_OPAQUE), &rc, text.data(),
                static_cast<UINT>(text.size()), nullptr);
}

void TCanvas::SetPixel(int x, int y, TColor c) {
  if (!dc_) return;
  ::SetPixel(dc_, x, y, ColorRef(c));
}

void TCanvas::MoveTo(int x, int y) {
  penPos_ = TPoint{x, y};
  if (dc_) MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  if (dc_) {
    Select();
    MoveToEx(dc_, penPos_.X, penPos_.Y, nullptr);
    ::LineTo(dc_, x, y);
  }
  penPos_ = TPoint{x, y};
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  if (dc_) {
    Select();
    ::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
  }
  penPos_ = TPoint{x + TextWidth(text), y};
}

TPoint TCanvas::TextExtent(const std::string& text) {
  if (dc_) {
    Select();
    SIZE sz{};
    GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &sz);
    return TPoint{sz.cx, sz.cy};
  }
  HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font_.Handle());
    SIZE sz{};
    GetTextExtentPoint32A(screen, text.data(), static_cast<int>(text.size()), &sz);
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  return TPoint{sz.cx, sz.cy};
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap& bmp) {
  if (bmp.Empty() || dest.IsEmpty()) return;
  if (!dc_) return;
  TBitmap& src = const_cast<TBitmap&>(bmp);
  HDC sdc = src.Canvas().Handle();
  GdiFlush();
  if (bmp.Transparent()) {
    TransparentBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), sdc, 0, 0, bmp.Width(), bmp.Height(),
                   ColorRef(bmp.TransparentColor()));
  } else {
    SetStretchBltMode(dc_, COLORONCOLOR);
    StretchBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), sdc, 0, 0, bmp.Width(), bmp.Height(), SRCCOPY);
  }
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) {
  if (dest.IsEmpty() || sourceRect.IsEmpty()) return;
  if (!dc_ || !source.dc_) return;
  GdiFlush();
  SetStretchBltMode(dc_, COLORONCOLOR);
  StretchBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), source.dc_, sourceRect.Left, sourceRect.Top,
             sourceRect.Width(), sourceRect.Height(), SRCCOPY);
}

TColor TCanvas::Pixel(int x, int y) {
  if (!dc_) return clNone;
  GdiFlush();
  const COLORREF c = ::GetPixel(dc_, x, y);
  return c == CLR_INVALID ? clNone : static_cast<TColor>(c);
}

void TBitmap::Release() {
  if (memDC_) {
    if (canvas_) canvas_->SetHandle(nullptr);
    SelectObject(memDC_, oldBitmap_);
    DeleteDC(memDC_);
    memDC_ = nullptr;
  }
  if (dib_) DeleteObject(dib_);
  dib_ = nullptr;
  buffer_.clear();
  bits_ = nullptr;
}

void TBitmap::AllocatePixels() {
  const int bpp = BytesPerPixel();
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width_;
  bi.bmiHeader.biHeight = -height_;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = static_cast<WORD>(bpp * 8);
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  dib_ = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib_) throw EInvalidGraphic("Out of system resources for a bitmap");
  bits_ = static_cast<uint8_t*>(bits);
  std::memset(bits_, 0, static_cast<size_t>(stride_) * height_);
  if (canvas_) AttachCanvas();
}

uint8_t* TBitmap::ScanLine(int y) {
  if (!bits_ || y < 0 || y >= height_) throw std::out_of_range("TBitmap::ScanLine: row out of range");
  GdiFlush();
  return bits_ + static_cast<size_t>(y) * stride_;
}

void TBitmap::AttachCanvas() {
  if (dib_) {
    memDC_ = CreateCompatibleDC(nullptr);
    oldBitmap_ = SelectObject(memDC_, dib_);
    canvas_->SetHandle(memDC_);
  }
}

}  // namespace gui
