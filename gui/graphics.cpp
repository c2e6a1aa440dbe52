#include "gui/graphics.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

namespace gui {

// ---- TFont ----

TFont::TFont() = default;

TFont::~TFont() { FreeHandle(); }

void TFont::Changed(bool handle) {
  if (handle) {
    FreeHandle();
    ++handleChanges_;
  }
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
  Changed(false);
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
  const bool handle = !(name_ == o.name_ && height_ == o.height_ && style_ == o.style_ && charset_ == o.charset_ &&
                        pitch_ == o.pitch_);
  name_ = o.name_;
  height_ = o.height_;
  style_ = o.style_;
  color_ = o.color_;
  charset_ = o.charset_;
  pitch_ = o.pitch_;
  Changed(handle);
}

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

void TCanvas::Draw(int x, int y, const TBitmap& bmp) {
  StretchDraw(Bounds(x, y, bmp.Width(), bmp.Height()), bmp);
}

void TCanvas::Draw(int x, int y, const TGraphic& graphic) {
  StretchDraw(Bounds(x, y, graphic.Width(), graphic.Height()), graphic);
}

void TCanvas::StretchDraw(const TRect& dest, const TGraphic& graphic) {
  if (graphic.Empty() || dest.IsEmpty()) return;
  graphic.Draw(*this, dest);
}

// ---- TGraphic ----

namespace {
std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EInvalidGraphic("Cannot open " + path);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw EInvalidGraphic("Cannot read " + path);
  return bytes;
}
}  // namespace

void TGraphic::LoadFromFile(const std::string& path) { LoadFromBytes(ReadWholeFile(path)); }

// ---- TPicture ----

namespace {
std::string LowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::vector<TPicture::FileFormat>& Formats() {
  static std::vector<TPicture::FileFormat> formats{
      {"bmp", "Bitmaps", "TBitmap", [] { return std::unique_ptr<TGraphic>(std::make_unique<TBitmap>()); }}};
  return formats;
}

// The extension of a file name ('\' and '/' separate directories), lower case, without its dot.
std::string FileExtension(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string();
  return LowerAscii(path.substr(dot + 1));
}
}  // namespace

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  const std::string& className, TGraphicFactory factory) {
  std::string ext = LowerAscii(extension);
  if (!ext.empty() && ext.front() == '.') ext.erase(0, 1);
  auto& formats = Formats();
  formats.erase(std::remove_if(formats.begin(), formats.end(), [&](const FileFormat& f) { return f.Extension == ext; }),
                formats.end());
  formats.push_back(FileFormat{ext, description, className, std::move(factory)});
}

void TPicture::UnregisterGraphicClass(const std::string& className) {
  auto& formats = Formats();
  formats.erase(std::remove_if(formats.begin(), formats.end(),
                               [&](const FileFormat& f) { return f.ClassName == className; }),
                formats.end());
}

std::vector<TPicture::FileFormat> TPicture::FileFormats() { return Formats(); }

const TPicture::FileFormat* TPicture::FindFileFormat(const std::string& extension) {
  std::string ext = LowerAscii(extension);
  if (!ext.empty() && ext.front() == '.') ext.erase(0, 1);
  for (const FileFormat& f : Formats())
    if (f.Extension == ext) return &f;
  return nullptr;
}

void TPicture::LoadFromFile(const std::string& path) {
  const std::string ext = FileExtension(path);
  const FileFormat* format = FindFileFormat(ext);
  if (format == nullptr || !format->Factory) throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
  std::unique_ptr<TGraphic> graphic = format->Factory();
  graphic->LoadFromFile(path);
  graphic_ = std::move(graphic);
}

// ---- TBitmap ----

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  delete canvas_;
  canvas_ = nullptr;
  Release();
}

void TBitmap::Allocate() {
  Release();
  const int bpp = BytesPerPixel();
  stride_ = ((std::max(width_, 0) * bpp) + 3) & ~3;
  if (width_ <= 0 || height_ <= 0) return;
  AllocatePixels();
}

void TBitmap::SetSize(int w, int h) {
  w = std::max(w, 0);
  h = std::max(h, 0);
  if (w == width_ && h == height_ && (bits_ || w == 0 || h == 0)) return;
  width_ = w;
  height_ = h;
  Allocate();
  Changed();
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

const uint8_t* TBitmap::ScanLine(int y) const { return const_cast<TBitmap*>(this)->ScanLine(y); }

TCanvas& TBitmap::Canvas() {
  if (!canvas_) {
    canvas_ = new TCanvas();
    canvas_->bitmap_ = this;
    AttachCanvas();
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
  Changed();
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
  Changed();
}

void TBitmap::LoadFromFile(const std::string& path) { LoadFromBytes(ReadWholeFile(path)); }

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) const { canvas.StretchDraw(rect, *this); }

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
