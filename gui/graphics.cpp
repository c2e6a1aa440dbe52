#include "gui/graphics.h"

#include "gui/syscolors.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

namespace gui {

// ---- colours ----

uint32_t ColorToRGB(TColor color) {
  if (color == clNone || color == clDefault) return 0;
  if (color & clSystemColor) return GetSysColor(color & 0xFF);  // through a skin's colours while one is applied
  return static_cast<uint32_t>(color) & 0x00FFFFFF;
}

// ---- TFont ----

TFont::TFont() = default;

TFont::~TFont() {
#ifdef _WIN32
  FreeHandle();
#endif
}

void TFont::Changed() {
#ifdef _WIN32
  FreeHandle();
#endif
  if (OnChange) OnChange();
}

void TFont::SetName(const std::string& n) {
  if (n == name_) return;
  name_ = n;
  Changed();
}
void TFont::SetHeight(int h) {
  if (h == height_) return;
  height_ = h;
  Changed();
}
int TFont::Size() const {
  return static_cast<int>(std::lround(-static_cast<double>(height_) * 72.0 / kDesignPixelsPerInch));
}
void TFont::SetSize(int points) {
  SetHeight(-static_cast<int>(std::lround(points * static_cast<double>(kDesignPixelsPerInch) / 72.0)));
}
void TFont::SetStyle(TFontStyles s) {
  if (s == style_) return;
  style_ = s;
  Changed();
}
void TFont::SetColor(TColor c) {
  if (c == color_) return;
  color_ = c;
  Changed();
}
void TFont::SetCharset(int c) {
  if (c == charset_) return;
  charset_ = c;
  Changed();
}
void TFont::SetPitch(TFontPitch p) {
  if (p == pitch_) return;
  pitch_ = p;
  Changed();
}
bool TFont::SameAs(const TFont& o) const {
  return name_ == o.name_ && height_ == o.height_ && style_ == o.style_ && color_ == o.color_ &&
         charset_ == o.charset_ && pitch_ == o.pitch_;
}
void TFont::Assign(const TFont& o) {
  if (SameAs(o)) return;
  name_ = o.name_;
  height_ = o.height_;
  style_ = o.style_;
  color_ = o.color_;
  charset_ = o.charset_;
  pitch_ = o.pitch_;
  Changed();
}

#ifdef _WIN32
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
#endif

TPoint HeadlessTextExtent(const TFont& font, const std::string& text) {
  // The average character width of a proportional interface font is a little under half its cell height;
  // bold adds a pixel.
  const int h = font.PixelHeight();
  int charWidth = (h * 9 + 10) / 20;
  if (font.Style() & fsBold) charWidth += 1;
  if (charWidth < 1) charWidth = 1;
  int widest = 0, width = 0, lines = 1;
  for (char c : text) {
    if (c == '\n') {
      ++lines;
      widest = std::max(widest, width);
      width = 0;
    } else if (c != '\r') {
      width += charWidth;
    }
  }
  widest = std::max(widest, width);
  return TPoint{widest, lines * (h + 2)};
}

// ---- TCanvas ----

TCanvas::TCanvas() = default;

TCanvas::~TCanvas() { SetHandle(nullptr); }

void TCanvas::SetHandle(HDC dc) {
  if (dc == dc_) return;
  Unselect();
  dc_ = dc;
}

void TCanvas::Select() {
#ifdef _WIN32
  if (!dc_) return;
  HGDIOBJ f = SelectObject(dc_, font_.Handle());
  if (!oldFont_) oldFont_ = f;
  if (brushHandle_) DeleteObject(brushHandle_);
  brushHandle_ = brush_.Style == TBrushStyle::bsClear ? nullptr : CreateSolidBrush(ColorToRGB(brush_.Color));
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
  penHandle_ = CreatePen(style, pen_.Width, PenColor(ColorToRGB(pen_.Color)));
  HGDIOBJ p = SelectObject(dc_, penHandle_);
  if (!oldPen_) oldPen_ = p;
  SetTextColor(dc_, ColorToRGB(font_.Color()));
  SetBkColor(dc_, ColorToRGB(brush_.Color));
  SetBkMode(dc_, brush_.Style == TBrushStyle::bsClear ? TRANSPARENT : OPAQUE);
#endif
}

void TCanvas::Unselect() {
#ifdef _WIN32
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
#endif
}

namespace {
// Native drawing helpers on a bitmap's pixel buffer.
void PutPixel(TBitmap* bmp, int x, int y, uint32_t rgb) {
  if (!bmp || x < 0 || y < 0 || x >= bmp->Width() || y >= bmp->Height()) return;
  uint8_t* p = bmp->ScanLine(y) + x * bmp->BytesPerPixel();
  p[0] = GetBValue(rgb);
  p[1] = GetGValue(rgb);
  p[2] = GetRValue(rgb);
  if (bmp->BytesPerPixel() == 4) p[3] = 0;
}
uint32_t GetPixelRGB(const TBitmap* bmp, int x, int y) {
  const uint8_t* p = bmp->ScanLine(y) + x * bmp->BytesPerPixel();
  return RGB(p[2], p[1], p[0]);
}
}  // namespace

void TCanvas::FillRect(const TRect& r) {
#ifdef _WIN32
  if (dc_) {
    if (brush_.Style == TBrushStyle::bsClear) return;
    HBRUSH b = CreateSolidBrush(ColorToRGB(brush_.Color));
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    ::FillRect(dc_, &rc, b);
    DeleteObject(b);
    return;
  }
#endif
  if (!bitmap_ || brush_.Style == TBrushStyle::bsClear) return;
  const uint32_t rgb = ColorToRGB(brush_.Color);
  const int x0 = std::max(0, r.Left), x1 = std::min(bitmap_->Width(), r.Right);
  const int y0 = std::max(0, r.Top), y1 = std::min(bitmap_->Height(), r.Bottom);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) PutPixel(bitmap_, x, y, rgb);
}

void TCanvas::FrameRect(const TRect& r) {
#ifdef _WIN32
  if (dc_) {
    HBRUSH b = CreateSolidBrush(ColorToRGB(brush_.Color));
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    ::FrameRect(dc_, &rc, b);
    DeleteObject(b);
    return;
  }
#endif
  if (!bitmap_ || r.IsEmpty()) return;
  const uint32_t rgb = ColorToRGB(brush_.Color);
  for (int x = r.Left; x < r.Right; ++x) {
    PutPixel(bitmap_, x, r.Top, rgb);
    PutPixel(bitmap_, x, r.Bottom - 1, rgb);
  }
  for (int y = r.Top; y < r.Bottom; ++y) {
    PutPixel(bitmap_, r.Left, y, rgb);
    PutPixel(bitmap_, r.Right - 1, y, rgb);
  }
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
#ifdef _WIN32
  if (dc_) {
    Select();
    ::Rectangle(dc_, x1, y1, x2, y2);
    return;
  }
#endif
  if (!bitmap_) return;
  TRect inner{x1 + 1, y1 + 1, x2 - 1, y2 - 1};
  FillRect(inner);
  if (pen_.Style == TPenStyle::psClear) return;
  const uint32_t rgb = ColorToRGB(pen_.Color);
  for (int x = x1; x < x2; ++x) {
    PutPixel(bitmap_, x, y1, rgb);
    PutPixel(bitmap_, x, y2 - 1, rgb);
  }
  for (int y = y1; y < y2; ++y) {
    PutPixel(bitmap_, x1, y, rgb);
    PutPixel(bitmap_, x2 - 1, y, rgb);
  }
}

void TCanvas::MoveTo(int x, int y) {
  penPos_ = TPoint{x, y};
#ifdef _WIN32
  if (dc_) MoveToEx(dc_, x, y, nullptr);
#endif
}

void TCanvas::LineTo(int x, int y) {
#ifdef _WIN32
  if (dc_) {
    Select();
    MoveToEx(dc_, penPos_.X, penPos_.Y, nullptr);
    ::LineTo(dc_, x, y);
    penPos_ = TPoint{x, y};
    return;
  }
#endif
  if (bitmap_ && pen_.Style != TPenStyle::psClear) {
    // Bresenham, the end point excluded as GDI does.
    const uint32_t rgb = ColorToRGB(pen_.Color);
    int x0 = penPos_.X, y0 = penPos_.Y;
    const int dx = std::abs(x - x0), sx = x0 < x ? 1 : -1;
    const int dy = -std::abs(y - y0), sy = y0 < y ? 1 : -1;
    int err = dx + dy;
    while (!(x0 == x && y0 == y)) {
      PutPixel(bitmap_, x0, y0, rgb);
      const int e2 = 2 * err;
      if (e2 >= dy) {
        err += dy;
        x0 += sx;
      }
      if (e2 <= dx) {
        err += dx;
        y0 += sy;
      }
    }
  }
  penPos_ = TPoint{x, y};
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
#ifdef _WIN32
  if (dc_) {
    Select();
    ::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
    penPos_ = TPoint{x + TextWidth(text), y};
    return;
  }
#endif
  penPos_ = TPoint{x + TextWidth(text), y};
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
#ifdef _WIN32
  if (dc_) {
    Select();
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    ::ExtTextOutA(dc_, x, y, ETO_CLIPPED | (brush_.Style == TBrushStyle::bsClear ? 0 : ETO_OPAQUE), &rc, text.data(),
                  static_cast<UINT>(text.size()), nullptr);
    return;
  }
#endif
  FillRect(r);
  (void)x;
  (void)y;
}

TPoint TCanvas::TextExtent(const std::string& text) {
#ifdef _WIN32
  if (dc_) {
    Select();
    SIZE sz{};
    GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &sz);
    return TPoint{sz.cx, sz.cy};
  }
  {
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font_.Handle());
    SIZE sz{};
    GetTextExtentPoint32A(screen, text.data(), static_cast<int>(text.size()), &sz);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return TPoint{sz.cx, sz.cy};
  }
#else
  return HeadlessTextExtent(font_, text);
#endif
}

void TCanvas::Draw(int x, int y, const TBitmap& bmp) {
  StretchDraw(Bounds(x, y, bmp.Width(), bmp.Height()), bmp);
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap& bmp) {
  if (bmp.Empty() || dest.IsEmpty()) return;
#ifdef _WIN32
  if (dc_) {
    TBitmap& src = const_cast<TBitmap&>(bmp);
    HDC sdc = src.Canvas().Handle();
    GdiFlush();
    if (bmp.Transparent()) {
      TransparentBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), sdc, 0, 0, bmp.Width(), bmp.Height(),
                     ColorToRGB(bmp.TransparentColor()));
    } else {
      SetStretchBltMode(dc_, COLORONCOLOR);
      StretchBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), sdc, 0, 0, bmp.Width(), bmp.Height(), SRCCOPY);
    }
    return;
  }
#endif
  if (!bitmap_) return;
  const bool keyed = bmp.Transparent();
  const uint32_t key = keyed ? ColorToRGB(bmp.TransparentColor()) : 0;
  for (int y = dest.Top; y < dest.Bottom; ++y) {
    if (y < 0 || y >= bitmap_->Height()) continue;
    const int sy = static_cast<int>((static_cast<int64_t>(y - dest.Top) * bmp.Height()) / dest.Height());
    for (int x = dest.Left; x < dest.Right; ++x) {
      if (x < 0 || x >= bitmap_->Width()) continue;
      const int sx = static_cast<int>((static_cast<int64_t>(x - dest.Left) * bmp.Width()) / dest.Width());
      const uint32_t rgb = GetPixelRGB(&bmp, sx, sy);
      if (keyed && rgb == key) continue;
      PutPixel(bitmap_, x, y, rgb);
    }
  }
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) {
  if (dest.IsEmpty() || sourceRect.IsEmpty()) return;
#ifdef _WIN32
  if (dc_ && source.dc_) {
    GdiFlush();
    SetStretchBltMode(dc_, COLORONCOLOR);
    StretchBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), source.dc_, sourceRect.Left, sourceRect.Top,
               sourceRect.Width(), sourceRect.Height(), SRCCOPY);
    return;
  }
#endif
  if (!bitmap_ || !source.bitmap_) return;
  const TBitmap* s = source.bitmap_;
  for (int y = dest.Top; y < dest.Bottom; ++y) {
    const int sy = sourceRect.Top + static_cast<int>((static_cast<int64_t>(y - dest.Top) * sourceRect.Height()) / dest.Height());
    if (y < 0 || y >= bitmap_->Height() || sy < 0 || sy >= s->Height()) continue;
    for (int x = dest.Left; x < dest.Right; ++x) {
      const int sx = sourceRect.Left + static_cast<int>((static_cast<int64_t>(x - dest.Left) * sourceRect.Width()) / dest.Width());
      if (x < 0 || x >= bitmap_->Width() || sx < 0 || sx >= s->Width()) continue;
      PutPixel(bitmap_, x, y, GetPixelRGB(s, sx, sy));
    }
  }
}

TColor TCanvas::Pixel(int x, int y) {
#ifdef _WIN32
  if (dc_) {
    GdiFlush();
    const COLORREF c = ::GetPixel(dc_, x, y);
    return c == CLR_INVALID ? clNone : static_cast<TColor>(c);
  }
#endif
  if (!bitmap_ || x < 0 || y < 0 || x >= bitmap_->Width() || y >= bitmap_->Height()) return clNone;
  return static_cast<TColor>(GetPixelRGB(bitmap_, x, y));
}

void TCanvas::SetPixel(int x, int y, TColor c) {
#ifdef _WIN32
  if (dc_) {
    ::SetPixel(dc_, x, y, ColorToRGB(c));
    return;
  }
#endif
  PutPixel(bitmap_, x, y, ColorToRGB(c));
}

// ---- TBitmap ----

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  delete canvas_;
  canvas_ = nullptr;
  Release();
}

void TBitmap::Release() {
#ifdef _WIN32
  if (memDC_) {
    if (canvas_) canvas_->SetHandle(nullptr);
    SelectObject(memDC_, oldBitmap_);
    DeleteDC(memDC_);
    memDC_ = nullptr;
  }
  if (dib_) DeleteObject(dib_);
  dib_ = nullptr;
#endif
  buffer_.clear();
  bits_ = nullptr;
}

void TBitmap::Allocate() {
  Release();
  const int bpp = BytesPerPixel();
  stride_ = ((std::max(width_, 0) * bpp) + 3) & ~3;
  if (width_ <= 0 || height_ <= 0) return;
#ifdef _WIN32
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
  if (canvas_) {
    memDC_ = CreateCompatibleDC(nullptr);
    oldBitmap_ = SelectObject(memDC_, dib_);
    canvas_->SetHandle(memDC_);
  }
#else
  buffer_.assign(static_cast<size_t>(stride_) * height_, 0);
  bits_ = buffer_.data();
#endif
}

void TBitmap::SetSize(int w, int h) {
  w = std::max(w, 0);
  h = std::max(h, 0);
  if (w == width_ && h == height_ && (bits_ || w == 0 || h == 0)) return;
  width_ = w;
  height_ = h;
  Allocate();
}

void TBitmap::SetPixelFormat(TPixelFormat f) {
  if (f == format_) return;
  const bool sameBytes = (BytesPerPixel() == (f == TPixelFormat::pf24bit ? 3 : 4));
  if (sameBytes) {
    format_ = f;
    return;
  }
  // Convert the pixels.
  std::vector<uint8_t> old;
  const int oldStride = stride_, oldBpp = BytesPerPixel();
  if (bits_) old.assign(bits_, bits_ + static_cast<size_t>(stride_) * height_);
  format_ = f;
  Allocate();
  if (old.empty()) return;
  const int bpp = BytesPerPixel();
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const uint8_t* s = old.data() + static_cast<size_t>(y) * oldStride + x * oldBpp;
      uint8_t* d = bits_ + static_cast<size_t>(y) * stride_ + x * bpp;
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
      if (bpp == 4) d[3] = 0;
    }
}

uint8_t* TBitmap::ScanLine(int y) {
  if (!bits_ || y < 0 || y >= height_) throw std::out_of_range("TBitmap::ScanLine: row out of range");
#ifdef _WIN32
  GdiFlush();
#endif
  return bits_ + static_cast<size_t>(y) * stride_;
}

const uint8_t* TBitmap::ScanLine(int y) const { return const_cast<TBitmap*>(this)->ScanLine(y); }

TCanvas& TBitmap::Canvas() {
  if (!canvas_) {
    canvas_ = new TCanvas();
    canvas_->bitmap_ = this;
#ifdef _WIN32
    if (dib_) {
      memDC_ = CreateCompatibleDC(nullptr);
      oldBitmap_ = SelectObject(memDC_, dib_);
      canvas_->SetHandle(memDC_);
    }
#endif
  }
  return *canvas_;
}

TColor TBitmap::TransparentColor() const {
  if (transparentColor_ != clDefault) return transparentColor_;
  if (Empty()) return clNone;
  const uint8_t* p = ScanLine(height_ - 1);
  return static_cast<TColor>(RGB(p[2], p[1], p[0]));
}

void TBitmap::Assign(const TBitmap& other) {
  if (&other == this) return;
  format_ = other.format_;
  width_ = other.width_;
  height_ = other.height_;
  transparent_ = other.transparent_;
  transparentColor_ = other.transparentColor_;
  Allocate();
  if (bits_ && other.bits_) std::memcpy(bits_, other.ScanLine(0), static_cast<size_t>(stride_) * height_);
}

namespace {
uint32_t Le32(const std::string& b, size_t at) {
  if (at + 4 > b.size()) throw EInvalidGraphic("Bitmap file is truncated");
  return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) | (static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8) |
         (static_cast<uint32_t>(static_cast<uint8_t>(b[at + 2])) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24);
}
uint16_t Le16(const std::string& b, size_t at) {
  if (at + 2 > b.size()) throw EInvalidGraphic("Bitmap file is truncated");
  return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | (static_cast<uint8_t>(b[at + 1]) << 8));
}
void Put32(std::string& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void Put16(std::string& b, uint16_t v) {
  b += static_cast<char>(v & 0xFF);
  b += static_cast<char>(v >> 8);
}
int MaskShift(uint32_t mask) {
  int s = 0;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++s;
  }
  return s;
}
uint8_t MaskValue(uint32_t pixel, uint32_t mask) {
  if (!mask) return 0;
  const int shift = MaskShift(mask);
  const uint32_t m = mask >> shift;
  const uint32_t v = (pixel & mask) >> shift;
  return static_cast<uint8_t>(m == 255 ? v : (v * 255 + m / 2) / m);
}
}  // namespace

void TBitmap::LoadFromBytes(const std::string& b) {
  if (b.size() < 26 || b[0] != 'B' || b[1] != 'M') throw EInvalidGraphic("Not a bitmap file");
  const uint32_t dataOffset = Le32(b, 10);
  const uint32_t headerSize = Le32(b, 14);
  int64_t w = 0, h = 0;
  uint16_t bitCount = 0;
  uint32_t compression = 0, paletteCount = 0;
  size_t paletteAt = 0;
  int paletteEntry = 4;
  if (headerSize == 12) {  // OS/2 core header
    w = Le16(b, 18);
    h = static_cast<int16_t>(Le16(b, 20));
    bitCount = Le16(b, 24);
    paletteAt = 14 + 12;
    paletteEntry = 3;
  } else if (headerSize >= 40 && headerSize <= 124) {
    w = static_cast<int32_t>(Le32(b, 18));
    h = static_cast<int32_t>(Le32(b, 22));
    bitCount = Le16(b, 28);
    compression = Le32(b, 30);
    paletteCount = Le32(b, 46);
    paletteAt = 14 + headerSize;
  } else {
    throw EInvalidGraphic("Unsupported bitmap header");
  }
  const bool bottomUp = h > 0;
  if (h < 0) h = -h;
  if (w <= 0 || h <= 0 || w > 32768 || h > 32768 || w * h > (int64_t{1} << 26))
    throw EInvalidGraphic("Bitmap size out of range");
  uint32_t masks[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0};
  if (compression == 3) {  // BI_BITFIELDS
    if (bitCount != 16 && bitCount != 32) throw EInvalidGraphic("Unsupported bitmap layout");
    const size_t at = headerSize >= 52 ? 14 + 40 : paletteAt;
    masks[0] = Le32(b, at);
    masks[1] = Le32(b, at + 4);
    masks[2] = Le32(b, at + 8);
    masks[3] = headerSize >= 56 ? Le32(b, 14 + 52) : 0;
    if (headerSize < 52) paletteAt += 12;
  } else if (compression != 0) {
    throw EInvalidGraphic("Compressed bitmaps are not supported");
  } else if (bitCount == 16) {
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
  }
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
    throw EInvalidGraphic("Unsupported bitmap depth");
  std::vector<uint32_t> palette;
  if (bitCount <= 8) {
    const uint32_t n = paletteCount ? paletteCount : (1u << bitCount);
    if (n > 256) throw EInvalidGraphic("Bad bitmap palette");
    for (uint32_t i = 0; i < n; ++i) {
      const size_t at = paletteAt + static_cast<size_t>(i) * paletteEntry;
      if (at + 3 > b.size()) throw EInvalidGraphic("Bitmap file is truncated");
      palette.push_back(RGB(static_cast<uint8_t>(b[at + 2]), static_cast<uint8_t>(b[at + 1]), static_cast<uint8_t>(b[at])));
    }
  }
  const uint64_t rowBytes = ((static_cast<uint64_t>(w) * bitCount + 31) / 32) * 4;
  if (dataOffset > b.size() || rowBytes * static_cast<uint64_t>(h) > b.size() - dataOffset)
    throw EInvalidGraphic("Bitmap file is truncated");
  const bool alpha = bitCount == 32 && (compression == 0 || masks[3] != 0);
  format_ = alpha ? TPixelFormat::pf32bit : TPixelFormat::pf24bit;
  width_ = static_cast<int>(w);
  height_ = static_cast<int>(h);
  Allocate();
  for (int y = 0; y < height_; ++y) {
    const size_t src = dataOffset + static_cast<size_t>(rowBytes) * static_cast<size_t>(bottomUp ? height_ - 1 - y : y);
    uint8_t* dst = bits_ + static_cast<size_t>(y) * stride_;
    const int bpp = BytesPerPixel();
    for (int x = 0; x < width_; ++x) {
      uint8_t r = 0, g = 0, bl = 0, a = 0;
      if (bitCount <= 8) {
        const size_t bitPos = static_cast<size_t>(x) * bitCount;
        const uint8_t byte = static_cast<uint8_t>(b[src + bitPos / 8]);
        const int shift = 8 - bitCount - static_cast<int>(bitPos % 8);
        const uint32_t index = (byte >> shift) & ((1u << bitCount) - 1);
        const uint32_t c = index < palette.size() ? palette[index] : 0;
        r = GetRValue(c);
        g = GetGValue(c);
        bl = GetBValue(c);
      } else if (bitCount == 24) {
        bl = static_cast<uint8_t>(b[src + x * 3]);
        g = static_cast<uint8_t>(b[src + x * 3 + 1]);
        r = static_cast<uint8_t>(b[src + x * 3 + 2]);
      } else {
        const uint32_t px = bitCount == 16 ? Le16(b, src + x * 2) : Le32(b, src + x * 4);
        if (bitCount == 32 && compression == 0) {
          bl = px & 0xFF;
          g = (px >> 8) & 0xFF;
          r = (px >> 16) & 0xFF;
          a = (px >> 24) & 0xFF;
        } else {
          r = MaskValue(px, masks[0]);
          g = MaskValue(px, masks[1]);
          bl = MaskValue(px, masks[2]);
          a = MaskValue(px, masks[3]);
        }
      }
      uint8_t* d = dst + x * bpp;
      d[0] = bl;
      d[1] = g;
      d[2] = r;
      if (bpp == 4) d[3] = a;
    }
  }
}

void TBitmap::LoadFromFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EInvalidGraphic("Cannot open " + path);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LoadFromBytes(bytes);
}

std::string TBitmap::SaveToBytes() const {
  const int bpp = BytesPerPixel();
  const int rowBytes = ((width_ * bpp) + 3) & ~3;
  const uint32_t imageSize = static_cast<uint32_t>(rowBytes) * static_cast<uint32_t>(height_);
  std::string out;
  out += "BM";
  Put32(out, 14 + 40 + imageSize);
  Put32(out, 0);
  Put32(out, 14 + 40);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(width_));
  Put32(out, static_cast<uint32_t>(height_));  // bottom-up rows
  Put16(out, 1);
  Put16(out, static_cast<uint16_t>(bpp * 8));
  Put32(out, 0);
  Put32(out, imageSize);
  Put32(out, 3780);
  Put32(out, 3780);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = height_ - 1; y >= 0; --y) {
    const uint8_t* row = ScanLine(y);
    out.append(reinterpret_cast<const char*>(row), static_cast<size_t>(width_) * bpp);
    out.append(static_cast<size_t>(rowBytes - width_ * bpp), '\0');
  }
  return out;
}

void TBitmap::SaveToFile(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw EInvalidGraphic("Cannot create " + path);
  const std::string bytes = SaveToBytes();
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw EInvalidGraphic("Cannot write " + path);
}

}  // namespace gui
