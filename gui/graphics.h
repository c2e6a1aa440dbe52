#pragma once
// Fonts, brushes, pens, canvases and bitmaps. In the Windows build a canvas draws through GDI on a device
// context and a bitmap is a DIB section; in the native build a bitmap is a plain pixel buffer that a canvas
// fills, frames, lines and copies into (text is measured with fixed metrics and not rasterised there).
#include <cstdint>
#include <functional>
#include <memory>
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
  // Counts the changes that give the font another handle: all but those of its colour alone, which the handle
  // does not carry (a window keeps its font when only the colour changes).
  uint32_t HandleChanges() const { return handleChanges_; }
  // Pixel height of a character cell (|Height|, or the cell of the default size).
  int PixelHeight() const { return height_ < 0 ? -height_ : (height_ > 0 ? height_ : 11); }

#ifdef _WIN32
  HFONT Handle() const;
#endif

  std::function<void()> OnChange;

 private:
  void Changed(bool handle = true);
  std::string name_ = "Tahoma";
  int height_ = -11;
  TFontStyles style_ = 0;
  TColor color_ = clWindowText;
  int charset_ = 1;  // DEFAULT_CHARSET
  TFontPitch pitch_ = TFontPitch::fpDefault;
  uint32_t handleChanges_ = 0;
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
class TGraphic;

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
  // A picture of any format, at its own size or scaled into dest (the picture's own drawing).
  void Draw(int x, int y, const TGraphic& graphic);
  void StretchDraw(const TRect& dest, const TGraphic& graphic);
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

// A picture of one file format: the base of bitmaps, JPEG images and the formats that other units register
// with TPicture.
class TGraphic : public TObject {
 public:
  GUI_CLASS_NAME("TGraphic")
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool Empty() const { return Width() <= 0 || Height() <= 0; }
  // The picture read from the bytes of its file; a file it cannot read raises EInvalidGraphic (or a descendant).
  virtual void LoadFromBytes(const std::string& bytes) = 0;
  // The whole file, then LoadFromBytes; a file that cannot be opened raises EInvalidGraphic.
  virtual void LoadFromFile(const std::string& path);
  // Draws the picture scaled into rect of the canvas.
  virtual void Draw(TCanvas& canvas, const TRect& rect) const = 0;
};

// A device-independent bitmap, rows top-down. pf24bit rows hold B, G, R per pixel; pf32bit (and pfDevice)
// rows hold B, G, R, A; every row is padded to a multiple of 4 bytes.
class TBitmap : public TGraphic {
 public:
  TBitmap();
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;
  GUI_CLASS_NAME("TBitmap")

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetWidth(int w) { SetSize(w, height_); }
  void SetHeight(int h) { SetSize(width_, h); }
  // Resizes; the pixels become black (alpha 0).
  void SetSize(int w, int h);
  bool Empty() const override { return width_ <= 0 || height_ <= 0; }
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
  // Told after a new size, Assign and a load; whoever writes pixels through ScanLine calls Changed.
  std::function<void()> OnChange;
  void Changed() {
    if (OnChange) OnChange();
  }
  // Windows bitmap files: 1, 4, 8 (palette), 24 and 32 bits per pixel, uncompressed or with bit fields;
  // anything else raises EInvalidGraphic. Saving writes 24 or 32 bits.
  void LoadFromBytes(const std::string& bytes) override;
  void LoadFromFile(const std::string& path) override;
  std::string SaveToBytes() const;
  void SaveToFile(const std::string& path) const;
  // Stretched into rect (transparent when Transparent is set), as the canvas's StretchDraw.
  void Draw(TCanvas& canvas, const TRect& rect) const override;

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

// A picture whose format follows its file: the file formats are registered by extension (the class library
// registers "bmp"; the program's start-up registers the others), and loading a file makes a graphic of the
// class registered for its extension.
using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

class TPicture : public TObject {
 public:
  GUI_CLASS_NAME("TPicture")

  struct FileFormat {
    std::string Extension;    // without the dot, lower case
    std::string Description;
    std::string ClassName;    // the class the factory makes
    TGraphicFactory Factory;
  };
  // Registers (or replaces) the format of an extension, compared without regard to case.
  static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                 const std::string& className, TGraphicFactory factory);
  // Removes every extension registered for that class.
  static void UnregisterGraphicClass(const std::string& className);
  static std::vector<FileFormat> FileFormats();
  // The format registered for an extension (with or without its dot), or nullptr.
  static const FileFormat* FindFileFormat(const std::string& extension);

  // A graphic of the class registered for the file's extension, loaded from the file. An extension nobody
  // registered raises EInvalidGraphic ("Unknown picture file extension (.ext)"); a file the graphic cannot read
  // raises its error and leaves the picture as it was.
  void LoadFromFile(const std::string& path);
  TGraphic* Graphic() const { return graphic_.get(); }
  void SetGraphic(std::unique_ptr<TGraphic> graphic) { graphic_ = std::move(graphic); }
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }

 private:
  std::unique_ptr<TGraphic> graphic_;
};

// Text metrics without a device: an approximation used natively (and by nothing in the Windows build).
TPoint HeadlessTextExtent(const TFont& font, const std::string& text);

}  // namespace gui
