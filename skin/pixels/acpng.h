#pragma once
// The PNG reader: reads Portable Network Graphics images of every colour type and bit depth, plain or Adam7
// interlaced, into an ordinary bitmap, so that skin images, stored image lists and image files can be kept as
// PNG and drawn with their alpha channel.
//
// Decoded image data becomes these bitmaps (the colour manager converts each row):
//   grey 1, 2, 4, 8, 16 bits      1-, 4-, 4-, 8-, 8-bit bitmap with a grey palette (16-bit samples scaled)
//   RGB 8, 16 bits                24-bit bitmap
//   palette 1, 2, 4, 8 bits       1-, 4-, 4-, 8-bit bitmap with the file's palette (indices kept)
//   grey + alpha 8, 16 bits       8-bit bitmap with a grey palette (alpha dropped)
//   RGBA 8, 16 bits               32-bit bitmap, bytes B, G, R, A
// gAMA makes colour samples and palettes go through a gamma table (display gamma 2.2); tRNS gives the
// transparent colour of grey and RGB images and the alpha table of palette entries; bKGD the colour that
// fills the bitmap before the rows are written, so that rows missing from a damaged file show it.
//
// Every chunk the reader uses is checked against its CRC. Format errors raise EInvalidGraphic, zlib set-up
// errors EGraphicCompression, conversion errors EColorConversionError; the bitmap may then hold the rows read
// so far, the others keep the background.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <zlib.h>

#include "skin/pixels/bitmap.h"
#include "skin/pixels/colormanager.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"

namespace skin {

// A picture file that cannot be read as the picture it claims to be.
class EInvalidGraphic : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
// zlib could not set up or release its inflate state.
class EGraphicCompression : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Message texts; %s stands for the file type or the named part.
inline constexpr const char* gesInvalidImage = "Cannot load image. Invalid or unexpected %s image format.";
inline constexpr const char* gesInvalidCRC = "Cannot load image. CRC error found in %s file.";
inline constexpr const char* gesCompression = "Cannot load image. Compression error found in %s file.";
inline constexpr const char* gesExtraCompressedData = "Cannot load image. Extra compressed data found in %s file.";
inline constexpr const char* gesInvalidPalette = "Cannot load image. Palette in %s file is invalid.";
inline constexpr const char* gesUnsupportedFeature = "Cannot load image. %s not supported for %s files.";
inline constexpr const char* gesInvalidColorFormat = "Invalid color format in %s file.";
inline constexpr const char* gesUnknownCriticalChunk = "Cannot load PNG image. Unexpected but critical chunk detected.";
inline constexpr const char* gesCompressionScheme = "The compression scheme is";
inline constexpr const char* gesLZ77Error = "LZ77 decompression error.";

// The message with its %s place holders filled in order.
std::string FormatGraphicMessage(const char* format, const char* first, const char* second = "");

// The CRC-32 of PNG chunks (ISO 3309: reflected, preset to all ones and inverted at the end), continued from
// crc over length bytes: PngCRC32(PngCRC32(0, a, n), b, m) is the CRC of a followed by b. A null buffer
// gives 0.
uint32_t PngCRC32(uint32_t crc, const void* buffer, size_t length);

// A thin zlib inflate object.
class TLZ77Decoder {
 public:
  // flushMode: the zlib flush argument of every inflate call; autoReset: inflateReset before each Decode.
  TLZ77Decoder(int flushMode, bool autoReset) : FFlushMode(flushMode), FAutoReset(autoReset) {}
  ~TLZ77Decoder();  // releases the zlib state when DecodeEnd was not reached
  TLZ77Decoder(const TLZ77Decoder&) = delete;
  TLZ77Decoder& operator=(const TLZ77Decoder&) = delete;

  void DecodeInit();  // EGraphicCompression when zlib cannot set up
  // One inflate call from input into output; both pointers are advanced to where zlib left them. Returns
  // the zlib status (also kept as ZLibResult).
  int Decode(const uint8_t*& input, uint32_t inputSize, uint8_t*& output, uint32_t outputSize);
  void DecodeEnd();  // EGraphicCompression when zlib reports an error
  uint32_t AvailableInput() const { return FStream.avail_in; }
  uint32_t AvailableOutput() const { return FStream.avail_out; }
  int ZLibResult() const { return FZLibResult; }

 private:
  z_stream FStream{};
  int FFlushMode;
  bool FAutoReset;
  bool FInitialized = false;
  int FZLibResult = Z_OK;
};

// Where a PNG's bytes come from.
class PngSource {
 public:
  virtual ~PngSource() = default;
  // Up to count bytes; fewer only at the end of the data.
  virtual size_t Read(void* buffer, size_t count) = 0;
  // Bytes left to read, or -1 when the source cannot tell.
  virtual int64_t Remaining() const { return -1; }
  // The next count bytes in place, consumed, when the source holds them in memory; nullptr (nothing
  // consumed) otherwise.
  virtual const uint8_t* Take(size_t count) { return nullptr; }
  // Passes over count bytes; false when the data ends first.
  virtual bool Skip(uint64_t count);
};

// Bytes in memory (not copied; they must outlive the source).
class PngMemorySource final : public PngSource {
 public:
  PngMemorySource(const void* data, size_t size) : FData(static_cast<const uint8_t*>(data)), FSize(size) {}
  size_t Read(void* buffer, size_t count) override;
  int64_t Remaining() const override { return int64_t(FSize - FPosition); }
  const uint8_t* Take(size_t count) override;
  bool Skip(uint64_t count) override;
  size_t Position() const { return FPosition; }

 private:
  const uint8_t* FData;
  size_t FSize;
  size_t FPosition = 0;
};

// A file, read from its start. '\' separates directories on every system. Raises std::runtime_error
// ("Cannot open file "name"") when the file cannot be opened.
class PngFileSource final : public PngSource {
 public:
  explicit PngFileSource(const std::string& fileName);
  ~PngFileSource() override;
  PngFileSource(const PngFileSource&) = delete;
  PngFileSource& operator=(const PngFileSource&) = delete;
  size_t Read(void* buffer, size_t count) override;
  int64_t Remaining() const override { return FSize - FPosition; }
  bool Skip(uint64_t count) override;

 private:
  std::FILE* FFile = nullptr;
  int64_t FSize = 0;
  int64_t FPosition = 0;
};

// Unfiltered, de-interlaced image data as the file holds it: Height rows of RowBytes bytes, samples packed
// most significant bits first, 16-bit samples big-endian. For checking the decoder against other readers.
struct PngRawRows {
  int32_t Width = 0;
  int32_t Height = 0;
  uint8_t BitDepth = 0;
  uint8_t ColorType = 0;
  uint8_t Interlace = 0;
  size_t RowBytes = 0;
  std::vector<uint8_t> Data;
  const uint8_t* Row(int32_t y) const { return Data.data() + size_t(y) * RowBytes; }
};

enum TProgressStage : uint8_t { psStarting, psRunning, psEnding };

// Header facts of the loaded image.
struct TImageProperties {
  uint32_t Options = 0;         // bit 0: header read; bit 1: gamma given
  int32_t Width = 0;
  uint8_t ColorScheme = csUnknown;
  uint8_t BitsPerSample = 0;
  uint8_t SamplesPerPixel = 0;  // 1 for grey with alpha as well (the alpha sample is not counted)
  uint8_t Compression = 0;      // 2: the only scheme read; 0: unknown
};
inline constexpr uint32_t ioHeaderRead = 0x01;
inline constexpr uint32_t ioGammaGiven = 0x02;

// A bitmap read from a PNG image.
class TPNGGraphic : public Bitmap {
 public:
  TPNGGraphic();
  ~TPNGGraphic();

  // Reads a whole PNG from the source's current position up to its IEND chunk; the source is left after it
  // (or where an error stopped the reading).
  void LoadFromStream(PngSource& Stream);
  void LoadFromMemory(const void* data, size_t size);
  void LoadFromFile(const std::string& fileName);

  // The image properties and the picture of source.
  void Assign(const TPNGGraphic& Source);
  using Bitmap::Assign;

  const TImageProperties& ImageProperties() const { return FImageProperties; }
  TColorManager& ColorManager() { return *FColorManager; }
  // The colour that filled the bitmap before the rows (0xFFFFFF unless bKGD gives one), and the transparent
  // colour (clNone unless tRNS gives one); both as they appear in the bitmap's pixels.
  TColor BackgroundColor() const { return FBackgroundColor; }
  TColor TransparentColor() const { return FTransparentColor; }
  // Alpha of each palette entry of a palette image (255 where tRNS says nothing and beyond the palette).
  const std::array<uint8_t, 256>& TransparencyTable() const { return FTransparencyTable; }
  // The palette made from PLTE or the grey ramp of a grey image (empty for the others).
  const std::vector<TRGBQuad>& ImagePalette() const { return FPalette; }
  // The rectangle reported with progress: (0, 0, width, 1) at the start, one row lower per written row.
  const TRect& ProgressRect() const { return FProgressRect; }
  // Distance of the filters of the image (bytes of one pixel, at least 1).
  int BytesPerPixel() const { return FBytesPerPixel; }

  // Drawing flag: 1 draws the image mirrored below itself.
  uint8_t Reflected = 0;
  // The drawing of a 32-bit image into work, which holds what lies under the target rectangle of w x h (and, with
  // Reflected, h div 2 rows more below it): at its own size the image is blended by its alpha, with its
  // reflection; at another size it is first scaled to w x h by nearest pixel (colour and alpha alike) and blended
  // without reflection. Nothing for an image that is not 32-bit: that is drawn as a plain bitmap.
  void DrawInto(Bitmap& work, int32_t w, int32_t h) const;
  // Images of more pixels than this are refused (0: only the bitmap's own limit).
  int64_t MaxPixels = 0;
  // Progress: stage, percent done, the rectangle, the stage's text.
  std::function<void(TPNGGraphic&, TProgressStage, uint8_t, const TRect&, const std::string&)> OnProgress;
  // When set, the loads also fill it with the image data as the file holds it.
  PngRawRows* RawRows = nullptr;

 private:
  friend class PngLoader;
  void Progress(TProgressStage stage, uint8_t percent, const std::string& message);

  std::unique_ptr<TColorManager> FColorManager;
  TImageProperties FImageProperties;
  TRect FProgressRect;
  int FBytesPerPixel = 1;
  std::vector<TRGBQuad> FPalette;
  std::array<uint8_t, 256> FTransparencyTable;
  TColor FTransparentColor = clNone;
  TColor FBackgroundColor = clWhite;
};

// The unfiltering of one row in place (the five filters of PNG); previous is the unfiltered row above, all
// zeros for the first row of an image or pass. A filter above 4 leaves the row as it was read.
void PngUnfilterRow(uint8_t filter, uint8_t* row, size_t length, int bytesPerPixel, const uint8_t* previous);

// Read a PNG into any bitmap: through a TPNGGraphic, then assigned to graphic.
void LoadPngFile(Bitmap& graphic, const std::string& fileName);
void LoadPngStream(Bitmap& graphic, PngSource& stream);
void LoadPngMemory(Bitmap& graphic, const void* data, size_t size);

}  // namespace skin
