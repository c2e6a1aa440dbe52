#pragma once
// Fonts, brushes, pens, canvases and bitmaps. In the Windows build a canvas draws through GDI on a device
// context and a bitmap is a DIB section; in the native build a bitmap is a plain pixel buffer that a canvas
// fills, frames, lines and copies into (text is measured with fixed metrics and not rasterised there).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gui/classes.h"
#include "gui/types.h"
#include "gui/win32_types.h"

namespace gui {

using TFontStyles = uint8_t;
inline constexpr TFontStyles fsBold = 1;
inline constexpr TFontStyles fsItalic = 2;
inline constexpr TFontStyles fsUnderline = 4;
inline constexpr TFontStyles fsStrikeOut = 8;

enum class TFontPitch { fpDefault, fpVariable, fpFixed };

// The layer designs at 96 pixels per inch: Size (points) and Height (negative = character height in pixels)
// convert with that resolution.
inline constexpr int kDesignPixelsPerInch = 96;

class TFont : public TObject {
 public:
  TFont();
  ~TFont() override;
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;
  GUI_CLASS_NAME("TFont")

  const std::string& Name() const { return name_; }
  void SetName(const std::string& n);
  int Height() const { return height_; }
  void SetHeight(int h);
  int Size() const;
  void SetSize(int points);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles s);
  TColor Color() const { return color_; }
  void SetColor(TColor c);
  int Charset() const { return charset_; }
  void SetCharset(int c);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch p);
  void Assign(const TFont& other);
  bool SameAs(const TFont& other) const;
  // Pixel height of a character cell (|Height|, or the cell of the default size).
  int PixelHeight() const { return height_ < 0 ? -height_ : (height_ > 0 ? height_ : 11); }

#ifdef _WIN32
  HFONT Handle() const;
#endif

  std::function<void()> OnChange;

 private:
  void Changed();
  std::string name_ = "Tahoma";
  int height_ = -11;
  TFontStyles style_ = 0;
  TColor color_ = clWindowText;
  int charset_ = 1;  // DEFAULT_CHARSET
  TFontPitch pitch_ = TFontPitch::fpDefault;
  // Window side: the font handle is made on demand and freed when the font changes (none natively).
  void FreeHandle() const;
#ifdef _WIN32
  mutable HFONT handle_ = nullptr;
#endif
};

enum class TBrushStyle { bsSolid, bsClear };
enum class TPenStyle { psSolid, psDash, psDot, psClear };

class TBrush {
 public:
  TColor Color = clWhite;
  TBrushStyle Style = TBrushStyle::bsSolid;
};

class TPen {
 public:
  TColor Color = clBlack;
  int Width = 1;
  TPenStyle Style = TPenStyle::psSolid;
};

class TBitmap;

class TCanvas : public TObject {
 public:
  TCanvas();
  ~TCanvas() override;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;
  GUI_CLASS_NAME("TCanvas")

  TFont& Font() { return font_; }
  TBrush& Brush() { return brush_; }
  TPen& Pen() { return pen_; }

  // The device context the canvas draws on (Windows; nullptr natively and while unbound).
  HDC Handle() const { return dc_; }
  // Binds the canvas to a device context that someone else owns (a paint or owner-draw request); nullptr
  // unbinds it and puts back what the canvas selected into it.
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return dc_ != nullptr; }

  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  TPoint PenPos() const { return penPos_; }
  void TextOut(int x, int y, const std::string& text);
  void TextRect(const TRect& r, int x, int y, const std::string& text);
  TPoint TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).X; }
  int TextHeight(const std::string& text) { return TextExtent(text).Y; }
  void Draw(int x, int y, const TBitmap& bmp);
  void StretchDraw(const TRect& dest, const TBitmap& bmp);
  void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);
  TColor Pixel(int x, int y);
  void SetPixel(int x, int y, TColor c);

 private:
  friend class TBitmap;
  void Select();
  void Unselect();
  TFont font_;
  TBrush brush_;
  TPen pen_;
  TPoint penPos_{};
  TBitmap* bitmap_ = nullptr;  // the bitmap this canvas belongs to, if any
  HDC dc_ = nullptr;
#ifdef _WIN32
  HGDIOBJ oldFont_ = nullptr, oldBrush_ = nullptr, oldPen_ = nullptr;
  HBRUSH brushHandle_ = nullptr;
  HPEN penHandle_ = nullptr;
#endif
};

enum class TPixelFormat { pfDevice, pf24bit, pf32bit };

// Raised when a bitmap file cannot be read (bad signature, truncated, unsupported layout).
class EInvalidGraphic : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A device-independent bitmap, rows top-down. pf24bit rows hold B, G, R per pixel; pf32bit (and pfDevice)
// rows hold B, G, R, A; every row is padded to a multiple of 4 bytes.
class TBitmap : public TObject {
 public:
  TBitmap();
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;
  GUI_CLASS_NAME("TBitmap")

  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetWidth(int w) { SetSize(w, height_); }
  void SetHeight(int h) { SetSize(width_, h); }
  // Resizes; the pixels become black (alpha 0).
  void SetSize(int w, int h);
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  TPixelFormat PixelFormat() const { return format_; }
  void SetPixelFormat(TPixelFormat f);
  int BytesPerPixel() const { return format_ == TPixelFormat::pf24bit ? 3 : 4; }
  int Stride() const { return stride_; }
  // The first byte of row y (0 = top).
  uint8_t* ScanLine(int y);
  const uint8_t* ScanLine(int y) const;

  TCanvas& Canvas();

  bool Transparent() const { return transparent_; }
  void SetTransparent(bool t) { transparent_ = t; }
  // clDefault: the colour of the bottom-left pixel.
  TColor TransparentColor() const;
  void SetTransparentColor(TColor c) { transparentColor_ = c; }

  void Assign(const TBitmap& other);
  // Windows bitmap files: 1, 4, 8 (palette), 24 and 32 bits per pixel, uncompressed or with bit fields;
  // anything else raises EInvalidGraphic. Saving writes 24 or 32 bits.
  void LoadFromBytes(const std::string& bytes);
  void LoadFromFile(const std::string& path);
  std::string SaveToBytes() const;
  void SaveToFile(const std::string& path) const;

#ifdef _WIN32
  HBITMAP Handle() const { return dib_; }
#endif

 private:
  void Allocate();
  void Release();
  // Window side: the pixels of a new size (a DIB section on Windows, plain memory natively), and the canvas's
  // device context on them.
  void AllocatePixels();
  void AttachCanvas();
  int width_ = 0;
  int height_ = 0;
  int stride_ = 0;
  TPixelFormat format_ = TPixelFormat::pfDevice;
  bool transparent_ = false;
  TColor transparentColor_ = clDefault;
  uint8_t* bits_ = nullptr;
  std::vector<uint8_t> buffer_;  // native storage
  TCanvas* canvas_ = nullptr;
#ifdef _WIN32
  HBITMAP dib_ = nullptr;
  HDC memDC_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
#endif
};

// Text metrics without a device: an approximation used natively (and by nothing in the Windows build).
TPoint HeadlessTextExtent(const TFont& font, const std::string& text);

}  // namespace gui
