#include "skin/pixels/acpng.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <limits>

#include "skin/pixels/graph_utils.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#endif


namespace skin {

// ---------------------------------------------------------------------------------------------------------
// Messages

std::string FormatGraphicMessage(const char* format, const char* first, const char* second) {
  std::string out;
  const char* args[2] = {first, second};
  int next = 0;
  for (const char* p = format; *p != '\0'; ++p) {
    if (p[0] == '%' && p[1] == 's' && next < 2) {
      out += args[next++];
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

namespace {

[[noreturn]] void RaiseInvalid(const char* format) { throw EInvalidGraphic(FormatGraphicMessage(format, "PNG")); }

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// CRC-32

namespace {

// Eight tables for eight bytes at a time ("slicing by eight"); table 0 is the plain byte table. Built once,
// from the exponents of the generator polynomial.
struct CrcTables {
  uint32_t t[8][256];
  CrcTables() {
    static constexpr int kExponents[] = {0, 1, 2, 4, 5, 7, 8, 10, 11, 12, 16, 22, 23, 26};
    uint32_t poly = 0;
    for (int e : kExponents) poly |= 1u << (31 - e);  // reflected: x^0 is the top bit
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? poly ^ (c >> 1) : c >> 1;
      t[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n)
      for (int k = 1; k < 8; ++k) t[k][n] = t[0][t[k - 1][n] & 0xFF] ^ (t[k - 1][n] >> 8);
  }
};

const CrcTables& Crc() {
  static const CrcTables tables;
  return tables;
}

inline uint32_t BE32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
inline uint16_t BE16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }

}  // namespace

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define SKIN_PNG_PCLMUL 1
namespace {

// The CRC of whole 16-byte blocks (at least four) by carry-less multiplication, on processors that have it
// (chosen at run time): the data is folded 64 bytes at a time into four 128-bit remainders, those into one, and
// the last 128 bits are reduced to 32 (a Barrett reduction); the constants are powers of x modulo the PNG
// polynomial, bit-reflected like the CRC. c is the running remainder (not inverted).
inline __m128i CrcLoad(const uint8_t* q) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q)); }

// x times the two constants of k (low halves, high halves), added to next.
__attribute__((target("pclmul,sse2"))) inline __m128i CrcFoldStep(__m128i x, __m128i k, __m128i next) {
  return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

__attribute__((target("pclmul,sse2"))) uint32_t CrcFold(uint32_t c, const uint8_t* p, size_t n) {
  const __m128i k1k2 = _mm_set_epi64x(0x1c6e41596, 0x154442bd4);
  const __m128i k3k4 = _mm_set_epi64x(0x0ccaa009e, 0x1751997d0);
  const __m128i k5 = _mm_set_epi64x(0, 0x163cd6124);
  const __m128i poly = _mm_set_epi64x(0x1F7011641, 0x1DB710641);  // mu, P'
  const __m128i mask32 = _mm_set_epi32(0, 0, 0, -1);

  __m128i x1 = _mm_xor_si128(CrcLoad(p), _mm_cvtsi32_si128(int(c)));
  __m128i x2 = CrcLoad(p + 16), x3 = CrcLoad(p + 32), x4 = CrcLoad(p + 48);
  p += 64;
  n -= 64;
  for (; n >= 64; n -= 64, p += 64) {
    x1 = CrcFoldStep(x1, k1k2, CrcLoad(p));
    x2 = CrcFoldStep(x2, k1k2, CrcLoad(p + 16));
    x3 = CrcFoldStep(x3, k1k2, CrcLoad(p + 32));
    x4 = CrcFoldStep(x4, k1k2, CrcLoad(p + 48));
  }
  x1 = CrcFoldStep(x1, k3k4, x2);
  x1 = CrcFoldStep(x1, k3k4, x3);
  x1 = CrcFoldStep(x1, k3k4, x4);
  for (; n >= 16; n -= 16, p += 16) x1 = CrcFoldStep(x1, k3k4, CrcLoad(p));

  // 128 to 64 bits (adding 32 zero bits), then to 32.
  x1 = _mm_xor_si128(_mm_clmulepi64_si128(k3k4, x1, 0x01), _mm_srli_si128(x1, 8));
  x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask32), k5, 0x00), _mm_srli_si128(x1, 4));
  __m128i t = _mm_and_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask32), poly, 0x10), mask32);
  t = _mm_clmulepi64_si128(t, poly, 0x00);
  x1 = _mm_xor_si128(x1, t);
  return uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(x1, 4)));
}

bool HasPclmul() {
  static const bool has = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse2");
  return has;
}

}  // namespace
#endif

uint32_t PngCRC32(uint32_t crc, const void* buffer, size_t length) {
  if (buffer == nullptr) return 0;
  const CrcTables& T = Crc();
  const uint8_t* p = static_cast<const uint8_t*>(buffer);
  uint32_t c = ~crc;
#if defined(SKIN_PNG_PCLMUL)
  if (length >= 64 && HasPclmul()) {
    const size_t whole = length & ~size_t(15);
    c = CrcFold(c, p, whole);
    p += whole;
    length -= whole;
  }
#endif
  while (length >= 8) {
    uint32_t lo;
    uint32_t hi;
    std::memcpy(&lo, p, 4);
    std::memcpy(&hi, p + 4, 4);
    lo ^= c;  // little-endian words: byte 0 is the low byte
    c = T.t[7][lo & 0xFF] ^ T.t[6][(lo >> 8) & 0xFF] ^ T.t[5][(lo >> 16) & 0xFF] ^ T.t[4][lo >> 24] ^
        T.t[3][hi & 0xFF] ^ T.t[2][(hi >> 8) & 0xFF] ^ T.t[1][(hi >> 16) & 0xFF] ^ T.t[0][hi >> 24];
    p += 8;
    length -= 8;
  }
  while (length-- > 0) c = T.t[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
  return ~c;
}

// ---------------------------------------------------------------------------------------------------------
// zlib decoder

TLZ77Decoder::~TLZ77Decoder() {
  if (FInitialized) inflateEnd(&FStream);
}

void TLZ77Decoder::DecodeInit() {
  if (FInitialized) {
    inflateEnd(&FStream);
    FInitialized = false;
  }
  FStream = z_stream{};
  FZLibResult = inflateInit(&FStream);
  if (FZLibResult < 0) throw EGraphicCompression(gesLZ77Error);
  FInitialized = true;
}

int TLZ77Decoder::Decode(const uint8_t*& input, uint32_t inputSize, uint8_t*& output, uint32_t outputSize) {
  if (!FInitialized) {
    FZLibResult = Z_STREAM_ERROR;
    return FZLibResult;
  }
  if (FAutoReset) inflateReset(&FStream);
  FStream.next_in = const_cast<Bytef*>(input);
  FStream.avail_in = inputSize;
  FStream.next_out = output;
  FStream.avail_out = outputSize;
  FZLibResult = inflate(&FStream, FFlushMode);
  input = FStream.next_in;
  output = FStream.next_out;
  return FZLibResult;
}

void TLZ77Decoder::DecodeEnd() {
  if (!FInitialized) return;
  FInitialized = false;
  FZLibResult = inflateEnd(&FStream);
  if (FZLibResult < 0) throw EGraphicCompression(gesLZ77Error);
}

// ---------------------------------------------------------------------------------------------------------
// Sources

bool PngSource::Skip(uint64_t count) {
  uint8_t scratch[4096];
  while (count > 0) {
    const size_t n = size_t(std::min<uint64_t>(count, sizeof scratch));
    if (Read(scratch, n) != n) return false;
    count -= n;
  }
  return true;
}

size_t PngMemorySource::Read(void* buffer, size_t count) {
  const size_t n = std::min(count, FSize - FPosition);
  if (n > 0) std::memcpy(buffer, FData + FPosition, n);
  FPosition += n;
  return n;
}

const uint8_t* PngMemorySource::Take(size_t count) {
  if (count > FSize - FPosition) return nullptr;
  const uint8_t* p = FData + FPosition;
  FPosition += count;
  return p;
}

bool PngMemorySource::Skip(uint64_t count) {
  if (count > FSize - FPosition) {
    FPosition = FSize;
    return false;
  }
  FPosition += size_t(count);
  return true;
}

namespace {

std::FILE* OpenForReading(const std::string& name) {
#ifdef _WIN32
  return std::fopen(name.c_str(), "rb");
#else
  std::string p = name;
  std::replace(p.begin(), p.end(), '\\', '/');
  return std::fopen(p.c_str(), "rb");
#endif
}

bool SeekFile(std::FILE* f, int64_t offset, int origin) {
#ifdef _WIN32
  return _fseeki64(f, offset, origin) == 0;
#else
  return fseeko(f, off_t(offset), origin) == 0;
#endif
}

int64_t TellFile(std::FILE* f) {
#ifdef _WIN32
  return _ftelli64(f);
#else
  return int64_t(ftello(f));
#endif
}

}  // namespace

PngFileSource::PngFileSource(const std::string& fileName) {
  FFile = OpenForReading(fileName);
  if (FFile == nullptr) throw std::runtime_error("Cannot open file \"" + fileName + "\"");
  if (SeekFile(FFile, 0, SEEK_END)) {
    FSize = std::max<int64_t>(TellFile(FFile), 0);
    SeekFile(FFile, 0, SEEK_SET);
  }
}

PngFileSource::~PngFileSource() {
  if (FFile != nullptr) std::fclose(FFile);
}

size_t PngFileSource::Read(void* buffer, size_t count) {
  const size_t n = std::fread(buffer, 1, count, FFile);
  FPosition += int64_t(n);
  return n;
}

bool PngFileSource::Skip(uint64_t count) {
  if (int64_t(count) > FSize - FPosition) {
    SeekFile(FFile, 0, SEEK_END);
    FPosition = FSize;
    return false;
  }
  if (!SeekFile(FFile, int64_t(count), SEEK_CUR)) return false;
  FPosition += int64_t(count);
  return true;
}

// ---------------------------------------------------------------------------------------------------------
// The reader

namespace {

constexpr uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

constexpr uint32_t ChunkCode(const char (&s)[5]) {
  return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) | (uint32_t(uint8_t(s[2])) << 8) |
         uint32_t(uint8_t(s[3]));
}
constexpr uint32_t kIHDR = ChunkCode("IHDR");
constexpr uint32_t kIDAT = ChunkCode("IDAT");
constexpr uint32_t kIEND = ChunkCode("IEND");
constexpr uint32_t kPLTE = ChunkCode("PLTE");
constexpr uint32_t kgAMA = ChunkCode("gAMA");
constexpr uint32_t kbKGD = ChunkCode("bKGD");
constexpr uint32_t ktRNS = ChunkCode("tRNS");

// The largest chunk length PNG allows.
constexpr uint32_t kMaxChunkLength = 0x7FFFFFFF;

// Compressed image data is inflated in batches of whole rows of about this size: zlib copies the last 32 KB
// of every call's output into its window, which costs less the more each call writes.
constexpr size_t kBatchBytes = 64 * 1024;

struct Adam7Pass {
  uint32_t rowStart, colStart, rowStep, colStep;
  uint8_t mask;
};
constexpr Adam7Pass kAdam7[7] = {
    {0, 0, 8, 8, 0x80}, {0, 4, 8, 8, 0x08}, {4, 0, 8, 4, 0x88}, {0, 2, 4, 4, 0x22},
    {2, 0, 4, 2, 0xAA}, {0, 1, 2, 2, 0x55}, {1, 0, 2, 1, 0xFF},
};

// Samples per pixel of a colour type as the image data holds them (0 for an unknown type).
int ChannelsOf(uint8_t colorType) {
  switch (colorType) {
    case 0: return 1;
    case 2: return 3;
    case 3: return 1;
    case 4: return 2;
    case 6: return 4;
    default: return 0;
  }
}

// Bits per pixel of the bitmap that an image of that type and depth becomes (32 for combinations that the
// reader refuses later, so that the size check never lets through more than it should).
int BitmapBitsFor(uint8_t colorType, uint8_t depth) {
  switch (colorType) {
    case 0:
    case 3: return depth == 1 ? 1 : (depth == 2 || depth == 4) ? 4 : 8;
    case 2: return 24;
    case 4: return 8;
    default: return 32;
  }
}

uint64_t CeilBytes(uint64_t pixels, uint64_t bitsPerPixel) { return (pixels * bitsPerPixel + 7) / 8; }

// Why the image data stopped before the image was complete.
enum class DataError { None, Chunk, Compression, ExtraData };

}  // namespace

// The state of one load: the chunk being read, the inflate state and the rows.
class PngLoader {
 public:
  PngLoader(TPNGGraphic& graphic, PngSource& source) : G(graphic), S(source) {}
  void Load();

 private:
  // Chunks
  void ReadChunkHeader();
  bool ChunkIs(uint32_t code) const { return (FChunkType & 0xDFDFDFDFu) == (code & 0xDFDFDFDFu); }
  void ReadChunkData();
  void SkipChunk();
  // Handles a chunk that the reader does not use; true for IEND.
  bool HandleOtherChunk();

  // Header and ancillary chunks
  void ReadHeader();
  int SetupColorFormat(uint8_t colorType, uint8_t bitDepth);
  void ReadPalette();
  void ReadGamma();
  void ReadBackground();
  void ReadTransparency();
  void ResolveColors();

  // Image data
  void ReadImage();
  void ReadRows(uint64_t rows, uint64_t rowLength, const Adam7Pass* pass, int passIndex);
  size_t FillImageData(uint8_t* buffer, size_t size);
  bool NextImageDataChunk();
  void FinishImageData();
  [[noreturn]] void RaiseDataError();
  void FillBackground(int32_t firstRow);
  void PlaceRawPassRow(const uint8_t* row, uint64_t y, const Adam7Pass& pass);

  TPNGGraphic& G;
  PngSource& S;

  // Current chunk
  uint32_t FLength = 0;
  uint32_t FChunkType = 0;
  uint32_t FCRC = 0;
  const uint8_t* FData = nullptr;  // the chunk's data (in place, or in FRawBuffer)
  std::vector<uint8_t> FRawBuffer;

  // Header values
  uint32_t FWidth = 0;
  uint32_t FHeight = 0;
  uint8_t FBitDepth = 0;
  uint8_t FColorType = 0;
  uint8_t FInterlace = 0;
  uint64_t FBitsPerPixel = 0;  // of the image data

  bool FFormatSet = false;
  bool FPaletteRead = false;

  // bKGD and tRNS as the file gives them; turned into colours once the bitmap's format is known.
  bool FHasBackground = false;
  uint16_t FBackground[3] = {};
  bool FHasTransparentColor = false;
  uint16_t FTransparent[3] = {};
  uint32_t FTransparencyCount = 0;  // tRNS entries of a palette image
  int FBackgroundIndex = -1;        // index that fills an indexed bitmap

  // Image data
  std::unique_ptr<TLZ77Decoder> FDecoder;
  const uint8_t* FIDATPosition = nullptr;
  uint32_t FIDATSize = 0;      // bytes of the current IDAT chunk not yet given to the decoder
  bool FIDATHeaderRead = false;  // the current header is an IDAT whose data is still to be read
  bool FStreamEnded = false;
  DataError FDataError = DataError::None;
  std::exception_ptr FChunkError;
  int32_t FRowsWritten = 0;  // rows of a plain image written so far
  std::vector<uint8_t> FBatch;
  std::vector<uint8_t> FPrevious;
};

void PngLoader::ReadChunkHeader() {
  uint8_t h[8];
  if (S.Read(h, 8) != 8) RaiseInvalid(gesInvalidImage);
  FLength = BE32(h);
  FChunkType = BE32(h + 4);
  FCRC = PngCRC32(0, h + 4, 4);
  const int64_t remaining = S.Remaining();
  if (FLength > kMaxChunkLength || (remaining >= 0 && int64_t(FLength) + 4 > remaining)) RaiseInvalid(gesInvalidImage);
}

void PngLoader::ReadChunkData() {
  const uint8_t* crcBytes = nullptr;
  uint8_t crcBuffer[4];
  if (const uint8_t* p = S.Take(size_t(FLength) + 4)) {
    FData = p;
    crcBytes = p + FLength;
  } else {
    // Read in steps, so that a length the data does not back is found out before it is all allocated.
    FRawBuffer.clear();
    size_t have = 0;
    while (have < FLength) {
      const size_t step = std::min<size_t>(FLength - have, size_t(1) << 20);
      FRawBuffer.resize(have + step);
      if (S.Read(FRawBuffer.data() + have, step) != step) RaiseInvalid(gesInvalidImage);
      have += step;
    }
    if (S.Read(crcBuffer, 4) != 4) RaiseInvalid(gesInvalidImage);
    FData = FRawBuffer.data();
    crcBytes = crcBuffer;
  }
  const uint32_t crc = FLength > 0 ? PngCRC32(FCRC, FData, FLength) : FCRC;  // an empty chunk: the type's CRC
  if (crc != BE32(crcBytes)) RaiseInvalid(gesInvalidCRC);
}

void PngLoader::SkipChunk() {
  if (!S.Skip(uint64_t(FLength) + 4)) RaiseInvalid(gesInvalidImage);
}

bool PngLoader::HandleOtherChunk() {
  SkipChunk();
  if (ChunkIs(kIEND)) return true;
  if ((FChunkType & 0x20000000u) == 0) throw EInvalidGraphic(gesUnknownCriticalChunk);
  return false;
}

void PngLoader::ReadHeader() {
  uint8_t signature[8];
  if (S.Read(signature, 8) != 8 || std::memcmp(signature, kSignature, 8) != 0) RaiseInvalid(gesInvalidImage);
  ReadChunkHeader();
  if (!ChunkIs(kIHDR)) RaiseInvalid(gesInvalidImage);
  TImageProperties& P = G.FImageProperties;
  P.Options |= ioHeaderRead;
  ReadChunkData();
  if (FLength != 13) RaiseInvalid(gesInvalidImage);
  FWidth = BE32(FData);
  FHeight = BE32(FData + 4);
  FBitDepth = FData[8];
  FColorType = FData[9];
  const uint8_t compression = FData[10];
  FInterlace = FData[12];
  if (FWidth == 0 || FHeight == 0 || FWidth > 0x7FFFFFFFu || FHeight > 0x7FFFFFFFu) RaiseInvalid(gesInvalidImage);
  // Sizes the bitmap cannot hold, or the caller does not want, are refused before anything is allocated.
  const uint64_t pixels = uint64_t(FWidth) * FHeight;
  if (G.MaxPixels > 0 && pixels > uint64_t(G.MaxPixels)) RaiseInvalid(gesInvalidImage);
  const uint64_t rowBytes = ((uint64_t(FWidth) * BitmapBitsFor(FColorType, FBitDepth) + 31) / 32) * 4;
  if (rowBytes > uint64_t(MaxBitmapBytes) / FHeight) RaiseInvalid(gesInvalidImage);

  P.Width = int32_t(FWidth);
  P.Compression = compression == 0 ? 2 : 0;
  P.BitsPerSample = FBitDepth;
  switch (FColorType) {
    case 0: P.ColorScheme = csG; P.SamplesPerPixel = 1; break;
    case 2: P.ColorScheme = csRGB; P.SamplesPerPixel = 3; break;
    case 3: P.ColorScheme = csIndexed; P.SamplesPerPixel = 1; break;
    case 4: P.ColorScheme = csGA; P.SamplesPerPixel = 1; break;
    case 6: P.ColorScheme = csRGBA; P.SamplesPerPixel = 4; break;
    default: P.ColorScheme = csUnknown; P.SamplesPerPixel = 1; break;
  }
  FBitsPerPixel = uint64_t(FBitDepth) * uint64_t(std::max(ChannelsOf(FColorType), 1));
}

int PngLoader::SetupColorFormat(uint8_t colorType, uint8_t bitDepth) {
  TColorManager& cm = *G.FColorManager;
  auto accept = [&](std::initializer_list<uint8_t> depths) {
    if (std::find(depths.begin(), depths.end(), bitDepth) == depths.end()) RaiseInvalid(gesInvalidColorFormat);
  };
  int bytesPerPixel = 1;
  uint8_t targetBits = 8;
  TPixelFormat format = pf8bit;
  switch (colorType) {
    case 0:
      accept({1, 2, 4, 8, 16});
      cm.SetSourceColorScheme(csG);
      cm.SetTargetColorScheme(csG);
      cm.SetSourceSamplesPerPixel(1);
      cm.SetTargetSamplesPerPixel(1);
      targetBits = bitDepth == 2 ? 4 : bitDepth == 16 ? 8 : bitDepth;
      format = TColorManager::PixelFormatFor(targetBits);
      bytesPerPixel = (bitDepth + 7) / 8;
      break;
    case 2:
      accept({8, 16});
      cm.SetSourceColorScheme(csRGB);
      cm.SetTargetColorScheme(csBGR);
      cm.SetSourceSamplesPerPixel(3);
      cm.SetTargetSamplesPerPixel(3);
      format = pf24bit;
      bytesPerPixel = bitDepth * 3 / 8;
      break;
    case 3:
      accept({1, 2, 4, 8});
      cm.SetSourceColorScheme(csIndexed);
      cm.SetTargetColorScheme(csIndexed);
      cm.SetSourceSamplesPerPixel(1);
      cm.SetTargetSamplesPerPixel(1);
      targetBits = bitDepth == 2 ? 4 : bitDepth;
      format = TColorManager::PixelFormatFor(targetBits);
      bytesPerPixel = 1;
      break;
    case 4:
      accept({8, 16});
      cm.SetSourceColorScheme(csGA);
      cm.SetTargetColorScheme(csIndexed);
      cm.SetSourceSamplesPerPixel(1);
      cm.SetTargetSamplesPerPixel(1);
      format = pf8bit;
      bytesPerPixel = bitDepth * 2 / 8;
      break;
    case 6:
      accept({8, 16});
      cm.SetSourceColorScheme(csRGBA);
      cm.SetTargetColorScheme(csBGRA);
      cm.SetSourceSamplesPerPixel(4);
      cm.SetTargetSamplesPerPixel(4);
      format = pf32bit;
      bytesPerPixel = bitDepth * 4 / 8;
      break;
    default: RaiseInvalid(gesInvalidColorFormat);
  }
  cm.SetSourceBitsPerSample(bitDepth);
  cm.SetTargetBitsPerSample(targetBits);
  G.SetPixelFormat(format);
  if (colorType == 0 || colorType == 4) G.FPalette = cm.CreateGrayscalePalette(false);
  FFormatSet = true;
  return std::max(bytesPerPixel, 1);
}

void PngLoader::ReadPalette() {
  if (FLength % 3 != 0) RaiseInvalid(gesInvalidPalette);
  ReadChunkData();
  if (FColorType != 3) return;  // a suggested palette of a direct-colour image: not used
  if (FLength == 0) RaiseInvalid(gesInvalidPalette);
  G.FBytesPerPixel = SetupColorFormat(FColorType, FBitDepth);
  G.FPalette = G.FColorManager->CreateColorPalette(FData, FLength / 3);
  FPaletteRead = true;
}

void PngLoader::ReadGamma() {
  ReadChunkData();
  if (FLength != 4) return;
  TColorManager& cm = *G.FColorManager;
  cm.SetGamma(2.2f, float(BE32(FData) / 100000.0));
  cm.SetTargetOptions(cm.TargetOptions() | coApplyGamma);
  G.FImageProperties.Options |= ioGammaGiven;
}

void PngLoader::ReadBackground() {
  ReadChunkData();
  const uint32_t maxSample = FBitDepth >= 16 ? 0xFFFF : (1u << std::min<uint8_t>(FBitDepth, 16)) - 1;
  switch (FColorType) {
    case 2:
    case 6:
      if (FLength != 6) return;
      for (int i = 0; i < 3; ++i)
        if (BE16(FData + 2 * i) > maxSample) return;
      for (int i = 0; i < 3; ++i) FBackground[i] = BE16(FData + 2 * i);
      break;
    case 0:
    case 4:
      if (FLength != 2 || BE16(FData) > maxSample) return;
      FBackground[0] = BE16(FData);
      break;
    case 3:
      if (FLength != 1) return;
      FBackground[0] = FData[0];
      break;
    default: return;
  }
  FHasBackground = true;
  if (FFormatSet) ResolveColors();
}

void PngLoader::ReadTransparency() {
  ReadChunkData();
  const uint32_t maxSample = FBitDepth >= 16 ? 0xFFFF : (1u << std::min<uint8_t>(FBitDepth, 16)) - 1;
  switch (FColorType) {
    case 2:
      if (FLength != 6) return;
      for (int i = 0; i < 3; ++i)
        if (BE16(FData + 2 * i) > maxSample) return;
      for (int i = 0; i < 3; ++i) FTransparent[i] = BE16(FData + 2 * i);
      FHasTransparentColor = true;
      break;
    case 0:
      if (FLength != 2 || BE16(FData) > maxSample) return;
      FTransparent[0] = BE16(FData);
      FHasTransparentColor = true;
      break;
    case 3: {
      FTransparencyCount = std::min<uint32_t>(FLength, 256);
      G.FTransparencyTable.fill(255);
      std::copy_n(FData, FTransparencyCount, G.FTransparencyTable.begin());
      break;
    }
    default: return;  // grey and RGB with alpha carry their own
  }
  if (FFormatSet) ResolveColors();
}

// The background and transparent colours as the bitmap shows them: direct colours through the gamma table
// like the pixels, grey levels and palette indices as the palette entry that the converted pixel takes.
void PngLoader::ResolveColors() {
  const TColorManager& cm = *G.FColorManager;
  const bool gamma = (cm.TargetOptions() & coApplyGamma) != 0;
  const auto& table = cm.GammaTable();
  const auto& palette = G.FPalette;
  auto direct = [&](const uint16_t* s) {
    uint8_t c[3];
    for (int i = 0; i < 3; ++i) {
      c[i] = uint8_t(FBitDepth == 16 ? s[i] / 257 : s[i]);
      if (gamma) c[i] = table[c[i]];
    }
    return RGBColor(c[0], c[1], c[2]);
  };
  // The bitmap index that a grey sample becomes, as the row conversion makes it.
  auto greyIndex = [&](uint32_t s) -> uint32_t {
    if (FBitDepth == 16) return s / 257;
    const uint32_t targetBits = cm.TargetBitsPerSample();
    return s * ((1u << targetBits) - 1) / ((1u << FBitDepth) - 1);
  };
  auto entryColor = [&](uint32_t i) {
    const TRGBQuad& q = palette[i];
    return RGBColor(q.rgbRed, q.rgbGreen, q.rgbBlue);
  };

  G.FBackgroundColor = clWhite;
  FBackgroundIndex = -1;
  if (FHasBackground) {
    switch (FColorType) {
      case 2:
      case 6: G.FBackgroundColor = direct(FBackground); break;
      case 0:
      case 4: {
        const uint32_t i = greyIndex(FBackground[0]);
        if (i < palette.size()) {
          FBackgroundIndex = int(i);
          G.FBackgroundColor = entryColor(i);
        }
        break;
      }
      case 3:
        if (FBackground[0] < palette.size()) {
          FBackgroundIndex = FBackground[0];
          G.FBackgroundColor = entryColor(FBackground[0]);
        }
        break;
      default: break;
    }
  }
  G.FTransparentColor = clNone;
  if (FHasTransparentColor) {
    if (FColorType == 2) {
      G.FTransparentColor = direct(FTransparent);
    } else if (FColorType == 0) {
      const uint32_t i = greyIndex(FTransparent[0]);
      if (i < palette.size()) G.FTransparentColor = entryColor(i);
    }
  }
  if (FColorType == 3) {
    // Indices beyond the palette show opaque black.
    for (size_t i = palette.size(); i < 256; ++i) G.FTransparencyTable[i] = 255;
  }
}

// Fills rows firstRow to the last with the background colour.
void PngLoader::FillBackground(int32_t firstRow) {
  const int32_t w = G.Width(), h = G.Height();
  const TPixelFormat format = G.PixelFormat();
  const TColor bg = G.FBackgroundColor;
  if (format == pf32bit || format == pf24bit) {
    const uint8_t b = ColorBlue(uint32_t(bg)), gr = ColorGreen(uint32_t(bg)), r = ColorRed(uint32_t(bg));
    std::vector<uint8_t> pattern(G.RowBytes());
    const int step = format == pf32bit ? 4 : 3;
    for (int32_t x = 0; x < w; ++x) {
      uint8_t* p = pattern.data() + size_t(x) * step;
      p[0] = b;
      p[1] = gr;
      p[2] = r;
      if (step == 4) p[3] = 0;
    }
    for (int32_t y = firstRow; y < h; ++y) std::memcpy(G.ScanLine(y), pattern.data(), pattern.size());
    return;
  }
  // Indexed: the bKGD index, else the palette entry nearest to the colour.
  uint32_t index = 0;
  if (FBackgroundIndex >= 0) {
    index = uint32_t(FBackgroundIndex);
  } else {
    int best = std::numeric_limits<int>::max();
    for (size_t i = 0; i < G.FPalette.size(); ++i) {
      const TRGBQuad& q = G.FPalette[i];
      const int db = int(q.rgbBlue) - ColorBlue(uint32_t(bg));
      const int dg = int(q.rgbGreen) - ColorGreen(uint32_t(bg));
      const int dr = int(q.rgbRed) - ColorRed(uint32_t(bg));
      const int d = db * db + dg * dg + dr * dr;
      if (d < best) {
        best = d;
        index = uint32_t(i);
      }
    }
  }
  uint8_t byte = 0;
  switch (format) {
    case pf1bit: byte = (index & 1) ? 0xFF : 0x00; break;
    case pf4bit: byte = uint8_t((index & 0xF) * 0x11); break;
    default: byte = uint8_t(index); break;
  }
  for (int32_t y = firstRow; y < h; ++y) std::memset(G.ScanLine(y), byte, G.RowBytes());
}

// The decoder's next input: the data of the next IDAT chunk (empty ones passed over). False when the image
// data ends here (FDataError says why).
bool PngLoader::NextImageDataChunk() {
  try {
    while (FIDATSize == 0) {
      if (!FIDATHeaderRead) {
        ReadChunkHeader();
        if (!ChunkIs(kIDAT)) {
          // The compressed data ends before the image does. The chunk stays current for the chunk loop.
          FDataError = DataError::Compression;
          return false;
        }
        FIDATHeaderRead = true;
      }
      ReadChunkData();
      FIDATHeaderRead = false;
      FIDATPosition = FData;
      FIDATSize = FLength;
    }
  } catch (const EInvalidGraphic&) {
    // A broken chunk: raised once the rows before it are written.
    FDataError = DataError::Chunk;
    FChunkError = std::current_exception();
    return false;
  }
  return true;
}

size_t PngLoader::FillImageData(uint8_t* buffer, size_t size) {
  uint8_t* out = buffer;
  size_t left = size;
  if (FStreamEnded) {
    if (left > 0) FDataError = DataError::ExtraData;
    return 0;
  }
  while (left > 0) {
    if (FIDATSize == 0 && !NextImageDataChunk()) return size - left;
    const uint8_t* in = FIDATPosition;
    const uint32_t want = uint32_t(std::min<size_t>(left, size_t(1) << 30));
    uint8_t* before = out;
    const int status = FDecoder->Decode(in, FIDATSize, out, want);
    FIDATSize -= uint32_t(in - FIDATPosition);
    FIDATPosition = in;
    left -= size_t(out - before);
    if (status == Z_STREAM_END) {
      FStreamEnded = true;
      break;
    }
    if (status != Z_OK) {
      FDataError = DataError::Compression;
      return size - left;
    }
  }
  if (FStreamEnded && (left > 0 || FIDATSize > 0)) FDataError = DataError::ExtraData;
  return size - left;
}

void PngLoader::RaiseDataError() {
  switch (FDataError) {
    case DataError::Chunk: std::rethrow_exception(FChunkError);
    case DataError::Compression: RaiseInvalid(gesCompression);
    case DataError::ExtraData: RaiseInvalid(gesExtraCompressedData);
    default: RaiseInvalid(gesInvalidImage);
  }
}

void PngLoader::PlaceRawPassRow(const uint8_t* row, uint64_t y, const Adam7Pass& pass) {
  PngRawRows& raw = *G.RawRows;
  uint8_t* dst = raw.Data.data() + size_t(y) * raw.RowBytes;
  const uint64_t count = (uint64_t(FWidth) - pass.colStart + pass.colStep - 1) / pass.colStep;
  if (FBitsPerPixel >= 8) {
    const size_t n = size_t(FBitsPerPixel / 8);
    for (uint64_t i = 0; i < count; ++i)
      std::memcpy(dst + size_t(pass.colStart + i * pass.colStep) * n, row + size_t(i) * n, n);
    return;
  }
  const unsigned bits = unsigned(FBitsPerPixel);
  const unsigned m = (1u << bits) - 1;
  for (uint64_t i = 0; i < count; ++i) {
    const uint64_t sb = i * bits;
    const uint32_t v = (row[sb >> 3] >> (8 - bits - (sb & 7))) & m;
    const uint64_t db = (pass.colStart + i * pass.colStep) * bits;
    const unsigned shift = unsigned(8 - bits - (db & 7));
    uint8_t& b = dst[db >> 3];
    b = uint8_t((b & ~(m << shift)) | (v << shift));
  }
}

// Reads, unfilters and converts the rows of the whole image (pass == nullptr) or of one Adam7 pass.
void PngLoader::ReadRows(uint64_t rows, uint64_t rowLength, const Adam7Pass* pass, int passIndex) {
  if (rows == 0 || rowLength <= 1) return;
  const size_t len = size_t(rowLength);
  const size_t batchRows = size_t(std::clamp<uint64_t>(kBatchBytes / rowLength, 1, rows));
  FBatch.resize(batchRows * len);
  FPrevious.assign(len, 0);  // the row above the first row of every pass is all zeros
  TColorManager& cm = *G.FColorManager;
  const uint32_t width = FWidth;
  const int bpp = G.FBytesPerPixel;
  const uint8_t mask = pass ? pass->mask : 0xFF;
  const bool trackProgress = pass == nullptr || passIndex == 6;

  for (uint64_t first = 0; first < rows;) {
    const size_t n = size_t(std::min<uint64_t>(batchRows, rows - first));
    const size_t filled = FillImageData(FBatch.data(), n * len);
    const size_t complete = filled / len;
    for (size_t j = 0; j < complete; ++j) {
      uint8_t* row = FBatch.data() + j * len;
      const uint8_t* previous = j == 0 ? FPrevious.data() : row - len;
      PngUnfilterRow(row[0], row + 1, len - 1, bpp, previous + 1);
      const uint64_t i = first + j;
      const int32_t y = int32_t(pass ? pass->rowStart + i * pass->rowStep : i);
      cm.ConvertRow(row + 1, G.ScanLine(y), width, mask);
      if (G.RawRows != nullptr) {
        if (pass)
          PlaceRawPassRow(row + 1, uint64_t(y), *pass);
        else
          std::memcpy(G.RawRows->Data.data() + size_t(y) * G.RawRows->RowBytes, row + 1, len - 1);
      }
      if (trackProgress) {
        ++G.FProgressRect.Top;
        ++G.FProgressRect.Bottom;
      }
      if (pass == nullptr) FRowsWritten = y + 1;
    }
    if (complete < n || FDataError != DataError::None) {
      if (FDataError == DataError::None) FDataError = DataError::Compression;
      RaiseDataError();
    }
    std::memcpy(FPrevious.data(), FBatch.data() + (n - 1) * len, len);
    first += n;
  }
}

void PngLoader::ReadImage() {
  G.Progress(psStarting, 0, "Transfering...");
  if (!FFormatSet) G.FBytesPerPixel = SetupColorFormat(FColorType, FBitDepth);
  if (FColorType == 3 && !FPaletteRead) RaiseInvalid(gesInvalidPalette);
  ResolveColors();
  if (!G.FPalette.empty()) G.SetPalette(G.FPalette);
  G.SetSize(int32_t(FWidth), int32_t(FHeight));
  // Rows that the image data does not reach show the background. A plain image writes whole rows from the
  // top, so only those after the last written row are filled (when the data fails); the passes of an
  // interlaced image write scattered pixels, so it is filled first.
  FRowsWritten = 0;
  if (FInterlace == 1) FillBackground(0);
  if (G.FTransparentColor != clNone) {
    G.SetTransparentColor(G.FTransparentColor);
    G.SetTransparent(true);
  }
  if (G.RawRows != nullptr) {
    PngRawRows& raw = *G.RawRows;
    raw = PngRawRows{};
    raw.Width = int32_t(FWidth);
    raw.Height = int32_t(FHeight);
    raw.BitDepth = FBitDepth;
    raw.ColorType = FColorType;
    raw.Interlace = FInterlace;
    raw.RowBytes = size_t(CeilBytes(FWidth, FBitsPerPixel));
    raw.Data.assign(raw.RowBytes * FHeight, 0);
  }

  if (FInterlace != 1) {
    try {
      ReadRows(FHeight, CeilBytes(FWidth, FBitsPerPixel) + 1, nullptr, -1);
    } catch (...) {
      FillBackground(FRowsWritten);
      throw;
    }
  } else {
    for (int p = 0; p < 7; ++p) {
      const Adam7Pass& pass = kAdam7[p];
      if (FWidth <= pass.colStart || FHeight <= pass.rowStart) continue;
      const uint64_t columns = (uint64_t(FWidth) - pass.colStart + pass.colStep - 1) / pass.colStep;
      const uint64_t rows = (uint64_t(FHeight) - pass.rowStart + pass.rowStep - 1) / pass.rowStep;
      ReadRows(rows, CeilBytes(columns, FBitsPerPixel) + 1, &pass, p);
    }
  }
  FBatch = {};
  FPrevious = {};
}

// After the last row: the rest of the image data (the end of the zlib stream, empty or surplus IDAT chunks)
// is passed over, up to the first chunk of another type, which becomes current.
void PngLoader::FinishImageData() {
  FIDATSize = 0;
  if (FIDATHeaderRead) {
    SkipChunk();
    FIDATHeaderRead = false;
  }
  for (;;) {
    ReadChunkHeader();
    if (!ChunkIs(kIDAT)) return;
    SkipChunk();
  }
}

void PngLoader::Load() {
  G.Clear();
  G.SetTransparent(false);
  G.SetTransparentColor(clNone);
  G.FImageProperties = TImageProperties{};
  G.FPalette.clear();
  G.FTransparencyTable.fill(255);
  G.FBackgroundColor = clWhite;
  G.FTransparentColor = clNone;
  G.FBytesPerPixel = 1;
  // Nothing of an earlier image (gamma, depths) carries over into this one.
  TColorManager& cm = *G.FColorManager;
  cm = TColorManager();
  cm.SetSourceOptions(coNeedByteSwap);

  ReadHeader();
  G.FProgressRect = TRect{0, 0, int32_t(FWidth), 1};
  G.Progress(psStarting, 0, "Preparing...");
  if (G.FImageProperties.Compression != 2)
    throw EInvalidGraphic(FormatGraphicMessage(gesUnsupportedFeature, gesCompressionScheme, "PNG"));
  FDecoder = std::make_unique<TLZ77Decoder>(Z_PARTIAL_FLUSH, false);
  FDecoder->DecodeInit();

  bool imageRead = false;
  for (;;) {
    ReadChunkHeader();
    if (ChunkIs(kIDAT)) {
      if (imageRead) {  // image data after the image: passed over
        SkipChunk();
        continue;
      }
      G.Progress(psEnding, 100, "");
      FIDATHeaderRead = true;
      ReadImage();
      imageRead = true;
      FinishImageData();
      if (HandleOtherChunk()) break;
    } else if (ChunkIs(kPLTE)) {
      ReadPalette();
    } else if (ChunkIs(kgAMA)) {
      ReadGamma();
    } else if (ChunkIs(kbKGD)) {
      ReadBackground();
    } else if (ChunkIs(ktRNS)) {
      ReadTransparency();
    } else if (HandleOtherChunk()) {
      break;
    }
  }
  if (!imageRead) RaiseInvalid(gesInvalidImage);  // no image data at all
  FDecoder->DecodeEnd();
  FDecoder.reset();
  FRawBuffer = {};
  G.Progress(psEnding, 100, "");
}

// ---------------------------------------------------------------------------------------------------------
// TPNGGraphic

TPNGGraphic::TPNGGraphic() : FColorManager(std::make_unique<TColorManager>()) { FTransparencyTable.fill(255); }

TPNGGraphic::~TPNGGraphic() = default;

void TPNGGraphic::Progress(TProgressStage stage, uint8_t percent, const std::string& message) {
  if (OnProgress) OnProgress(*this, stage, percent, FProgressRect, message);
}

void TPNGGraphic::LoadFromStream(PngSource& Stream) {
  PngLoader loader(*this, Stream);
  loader.Load();
}

void TPNGGraphic::LoadFromMemory(const void* data, size_t size) {
  PngMemorySource source(data, size);
  LoadFromStream(source);
}

void TPNGGraphic::LoadFromFile(const std::string& fileName) {
  PngFileSource source(fileName);
  LoadFromStream(source);
}

void TPNGGraphic::Assign(const TPNGGraphic& Source) {
  if (&Source == this) return;
  FImageProperties = Source.FImageProperties;
  Bitmap::Assign(Source);
}

void TPNGGraphic::DrawInto(Bitmap& work, int32_t w, int32_t h) const {
  if (PixelFormat() != pf32bit || Empty() || w <= 0 || h <= 0) return;
  const TRect whole{0, 0, Width(), Height()};
  if (w == Width() && h == Height()) {
    AlphaBlendBitmap32(TPoint{0, 0}, whole, *this, Reflected != 0, 0, clNone, false, EmptyCacheInfo, work);
    return;
  }
  Bitmap scaled(w, h, pf32bit);
  StretchCopy(scaled, TRect{0, 0, w, h}, *this, whole);
  AlphaBlendBitmap32(TPoint{0, 0}, TRect{0, 0, w, h}, scaled, false, 0, clNone, false, EmptyCacheInfo, work);
}

void LoadPngFile(Bitmap& graphic, const std::string& fileName) {
  TPNGGraphic png;
  png.LoadFromFile(fileName);
  graphic = std::move(static_cast<Bitmap&>(png));
}

void LoadPngStream(Bitmap& graphic, PngSource& stream) {
  TPNGGraphic png;
  png.LoadFromStream(stream);
  graphic = std::move(static_cast<Bitmap&>(png));
}

void LoadPngMemory(Bitmap& graphic, const void* data, size_t size) {
  TPNGGraphic png;
  png.LoadFromMemory(data, size);
  graphic = std::move(static_cast<Bitmap&>(png));
}

}  // namespace skin

// ---------------------------------------------------------------------------------------------------------
// Row filters

namespace skin {

namespace {

// The filters walk the row with the pixel distance as a compile-time constant where it is one of PNG's
// (1, 2, 3, 4, 6, 8 bytes), so that the loops unroll over the bytes of a pixel.
template <int B>
struct Filters {
  static void Sub(uint8_t* row, size_t n, size_t bpp) {
    const size_t d = B ? size_t(B) : bpp;
    for (size_t i = d; i < n; ++i) row[i] = uint8_t(row[i] + row[i - d]);
  }
  static void Average(uint8_t* row, size_t n, size_t bpp, const uint8_t* prev) {
    const size_t d = B ? size_t(B) : bpp;
    const size_t k = std::min(d, n);
    for (size_t i = 0; i < k; ++i) row[i] = uint8_t(row[i] + (prev[i] >> 1));
    for (size_t i = d; i < n; ++i) row[i] = uint8_t(row[i] + ((unsigned(row[i - d]) + prev[i]) >> 1));
  }
  static void Paeth(uint8_t* row, size_t n, size_t bpp, const uint8_t* prev) {
    const size_t d = B ? size_t(B) : bpp;
    const size_t k = std::min(d, n);
    for (size_t i = 0; i < k; ++i) row[i] = uint8_t(row[i] + prev[i]);  // left and upper left are 0
    for (size_t i = d; i < n; ++i) {
      int a = row[i - d];
      const int b = prev[i];
      const int c = prev[i - d];
      const int p = b - c;
      const int q = a - c;
      int pa = p < 0 ? -p : p;   // |a + b - c - a|
      const int pb = q < 0 ? -q : q;  // |a + b - c - b|
      const int pc = p + q < 0 ? -(p + q) : p + q;
      // Ties go to a, then b, then c.
      if (pb < pa) {
        pa = pb;
        a = b;
      }
      if (pc < pa) a = c;
      row[i] = uint8_t(row[i] + a);
    }
  }
};

#if defined(__SSE2__)
// Pixels of 3 to 8 bytes, one pixel per step in SSE2 registers: the byte dependency from one pixel to the
// next stays, but all bytes of a pixel are done at once (Paeth in 16-bit lanes). Same results as above.
template <int B>
struct PixelFilters {
  static __m128i Load(const uint8_t* p) {
    uint64_t v = 0;
    std::memcpy(&v, p, B);
    return _mm_cvtsi64_si128(int64_t(v));
  }
  static void Store(uint8_t* p, __m128i v) {
    const uint64_t x = uint64_t(_mm_cvtsi128_si64(v));
    std::memcpy(p, &x, B);
  }
  // Whole pixels; the bytes after the last whole pixel (none in a PNG row) are left to the scalar loop.
  static size_t Sub(uint8_t* row, size_t n) {
    __m128i a = _mm_setzero_si128();
    size_t i = 0;
    for (; i + B <= n; i += B) {
      a = _mm_add_epi8(a, Load(row + i));
      Store(row + i, a);
    }
    return i;
  }
  // With the bytes complemented (A = ~a, B = ~b): ~(x + ((a + b) shr 1)) = avg(A, B) - x, avg rounding up.
  static size_t Average(uint8_t* row, size_t n, const uint8_t* prev) {
    const __m128i ones = _mm_set1_epi8(-1);
    __m128i na = ones;
    size_t i = 0;
    for (; i + B <= n; i += B) {
      na = _mm_sub_epi8(_mm_avg_epu8(na, _mm_xor_si128(Load(prev + i), ones)), Load(row + i));
      Store(row + i, _mm_xor_si128(na, ones));
    }
    return i;
  }
  static size_t Paeth(uint8_t* row, size_t n, const uint8_t* prev) {
    const __m128i zero = _mm_setzero_si128();
    __m128i a = zero, c = zero;  // 16-bit lanes
    size_t i = 0;
    for (; i + B <= n; i += B) {
      const __m128i b = _mm_unpacklo_epi8(Load(prev + i), zero);
      const __m128i p = _mm_sub_epi16(b, c);
      const __m128i q = _mm_sub_epi16(a, c);
      const __m128i r = _mm_add_epi16(p, q);
      const __m128i pa = _mm_max_epi16(p, _mm_sub_epi16(zero, p));
      const __m128i pb = _mm_max_epi16(q, _mm_sub_epi16(zero, q));
      const __m128i pc = _mm_max_epi16(r, _mm_sub_epi16(zero, r));
      const __m128i least = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
      // a when pa is the least, else b when pb is, else c.
      const __m128i useA = _mm_cmpeq_epi16(pa, least);
      const __m128i useB = _mm_andnot_si128(useA, _mm_cmpeq_epi16(pb, least));
      const __m128i useC = _mm_andnot_si128(_mm_or_si128(useA, useB), _mm_set1_epi16(-1));
      const __m128i pred = _mm_or_si128(_mm_or_si128(_mm_and_si128(useA, a), _mm_and_si128(useB, b)),
                                        _mm_and_si128(useC, c));
      const __m128i x = _mm_add_epi8(Load(row + i), _mm_packus_epi16(pred, zero));
      Store(row + i, x);
      a = _mm_unpacklo_epi8(x, zero);
      c = b;
    }
    return i;
  }
};
#endif

#if defined(__SSE2__)
// Pixels of 3 bytes (RGB 8). Moving 3 bytes between memory and a register one pixel at a time costs more than the
// filter itself, and a store that the next load overlaps stalls it; so the rows are read 16 bytes at a time (four
// pixels and 4 bytes beyond them), the four results are made in registers and 12 bytes are stored, never read
// again by a later load. The last pixels of a row (fewer than 16 bytes left) go one by one. Same results as the
// scalar filters.
struct Filters3 {
  static __m128i Load16(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static __m128i Load3(const uint8_t* p) {
    uint16_t lo;
    std::memcpy(&lo, p, 2);
    return _mm_cvtsi32_si128(int(uint32_t(lo) | (uint32_t(p[2]) << 16)));
  }
  static void Store3(uint8_t* p, __m128i v) {
    const uint32_t x = uint32_t(_mm_cvtsi128_si32(v));
    const uint16_t lo = uint16_t(x);
    std::memcpy(p, &lo, 2);
    p[2] = uint8_t(x >> 16);
  }
  static void Store12(uint8_t* p, __m128i v) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
    const uint32_t x = uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(v, 8)));
    std::memcpy(p + 8, &x, 4);
  }
  static __m128i Low3() { return _mm_cvtsi32_si128(0x00FFFFFF); }
  // The four pixel results (each in the low 3 bytes of its register) side by side.
  static __m128i Join(__m128i p0, __m128i p1, __m128i p2, __m128i p3) {
    const __m128i m = Low3();
    return _mm_or_si128(_mm_or_si128(_mm_and_si128(p0, m), _mm_slli_si128(_mm_and_si128(p1, m), 3)),
                        _mm_or_si128(_mm_slli_si128(_mm_and_si128(p2, m), 6), _mm_slli_si128(_mm_and_si128(p3, m), 9)));
  }

  static void Sub(uint8_t* row, size_t n) {
    __m128i a = _mm_setzero_si128();  // the pixel on the left, in the low 3 bytes
    size_t i = 0;
    for (; i + 16 <= n; i += 12) {
      // Sums of the four raw pixels from the left (a prefix sum in two steps), plus the pixel before them.
      __m128i x = Load16(row + i);
      x = _mm_add_epi8(x, _mm_slli_si128(x, 3));
      x = _mm_add_epi8(x, _mm_slli_si128(x, 6));
      __m128i left = _mm_or_si128(a, _mm_slli_si128(a, 3));
      left = _mm_or_si128(left, _mm_slli_si128(left, 6));
      x = _mm_add_epi8(x, left);
      Store12(row + i, x);
      a = _mm_and_si128(_mm_srli_si128(x, 9), Low3());
    }
    for (; i + 3 <= n; i += 3) {
      a = _mm_add_epi8(a, Load3(row + i));
      Store3(row + i, a);
    }
  }

  // Average with the bytes complemented: with A = ~a and B = ~b, ~(x + ((a + b) shr 1)) = avg(A, B) - x (avg
  // rounding up), so the dependency from one pixel to the next is two instructions.
  static void Average(uint8_t* row, size_t n, const uint8_t* prev) {
    const __m128i ones = _mm_set1_epi8(-1);
    __m128i na = ones;  // ~(the pixel on the left), 0 at the start of the row
    size_t i = 0;
    for (; i + 16 <= n; i += 12) {
      const __m128i x = Load16(row + i), nb = _mm_xor_si128(Load16(prev + i), ones);
      const __m128i p0 = _mm_sub_epi8(_mm_avg_epu8(na, nb), x);
      const __m128i p1 = _mm_sub_epi8(_mm_avg_epu8(p0, _mm_srli_si128(nb, 3)), _mm_srli_si128(x, 3));
      const __m128i p2 = _mm_sub_epi8(_mm_avg_epu8(p1, _mm_srli_si128(nb, 6)), _mm_srli_si128(x, 6));
      const __m128i p3 = _mm_sub_epi8(_mm_avg_epu8(p2, _mm_srli_si128(nb, 9)), _mm_srli_si128(x, 9));
      Store12(row + i, _mm_xor_si128(Join(p0, p1, p2, p3), ones));
      na = p3;
    }
    for (; i + 3 <= n; i += 3) {
      na = _mm_sub_epi8(_mm_avg_epu8(na, _mm_xor_si128(Load3(prev + i), ones)), Load3(row + i));
      Store3(row + i, _mm_xor_si128(na, ones));
    }
  }

  // One Paeth pixel in 16-bit lanes: a, b, c the left, upper and upper-left pixels; x the raw bytes (low 3).
  static __m128i PaethPixel(__m128i x, __m128i a, __m128i b, __m128i c) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i p = _mm_sub_epi16(b, c);
    const __m128i q = _mm_sub_epi16(a, c);
    const __m128i r = _mm_add_epi16(p, q);
    const __m128i pa = _mm_max_epi16(p, _mm_sub_epi16(zero, p));
    const __m128i pb = _mm_max_epi16(q, _mm_sub_epi16(zero, q));
    const __m128i pc = _mm_max_epi16(r, _mm_sub_epi16(zero, r));
    const __m128i least = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
    const __m128i useA = _mm_cmpeq_epi16(pa, least);
    const __m128i useB = _mm_andnot_si128(useA, _mm_cmpeq_epi16(pb, least));
    const __m128i useC = _mm_andnot_si128(_mm_or_si128(useA, useB), _mm_set1_epi16(-1));
    const __m128i pred = _mm_or_si128(_mm_or_si128(_mm_and_si128(useA, a), _mm_and_si128(useB, b)),
                                      _mm_and_si128(useC, c));
    return _mm_unpacklo_epi8(_mm_add_epi8(x, _mm_packus_epi16(pred, zero)), zero);
  }

  static void Paeth(uint8_t* row, size_t n, const uint8_t* prev) {
    const __m128i zero = _mm_setzero_si128();
    __m128i a = zero, c = zero;  // 16-bit lanes
    size_t i = 0;
    for (; i + 16 <= n; i += 12) {
      const __m128i x = Load16(row + i), b = Load16(prev + i);
      const __m128i b0 = _mm_unpacklo_epi8(b, zero), b1 = _mm_unpacklo_epi8(_mm_srli_si128(b, 3), zero);
      const __m128i b2 = _mm_unpacklo_epi8(_mm_srli_si128(b, 6), zero), b3 = _mm_unpacklo_epi8(_mm_srli_si128(b, 9), zero);
      const __m128i p0 = PaethPixel(x, a, b0, c);
      const __m128i p1 = PaethPixel(_mm_srli_si128(x, 3), p0, b1, b0);
      const __m128i p2 = PaethPixel(_mm_srli_si128(x, 6), p1, b2, b1);
      const __m128i p3 = PaethPixel(_mm_srli_si128(x, 9), p2, b3, b2);
      Store12(row + i, Join(_mm_packus_epi16(p0, zero), _mm_packus_epi16(p1, zero), _mm_packus_epi16(p2, zero),
                            _mm_packus_epi16(p3, zero)));
      a = p3;
      c = b3;
    }
    for (; i + 3 <= n; i += 3) {
      const __m128i b = _mm_unpacklo_epi8(Load3(prev + i), zero);
      a = PaethPixel(Load3(row + i), a, b, c);
      Store3(row + i, _mm_packus_epi16(a, zero));
      c = b;
    }
  }
};
#endif

template <int B>
void Unfilter(uint8_t filter, uint8_t* row, size_t n, size_t bpp, const uint8_t* prev) {
#if defined(__SSE2__)
  if constexpr (B >= 3) {
    if constexpr (B == 3) {
      if (n % 3 == 0) {
        switch (filter) {
          case 1: Filters3::Sub(row, n); return;
          case 3: Filters3::Average(row, n, prev); return;
          case 4: Filters3::Paeth(row, n, prev); return;
          default: break;
        }
      }
    }
    // The vector loops do the whole pixels; a row is always made of whole pixels.
    if (n % B == 0) {
      switch (filter) {
        case 1: PixelFilters<B>::Sub(row, n); return;
        case 3: PixelFilters<B>::Average(row, n, prev); return;
        case 4: PixelFilters<B>::Paeth(row, n, prev); return;
        default: break;
      }
    }
  }
#endif
  switch (filter) {
    case 1: Filters<B>::Sub(row, n, bpp); break;
    case 2:
      for (size_t i = 0; i < n; ++i) row[i] = uint8_t(row[i] + prev[i]);
      break;
    case 3: Filters<B>::Average(row, n, bpp, prev); break;
    case 4: Filters<B>::Paeth(row, n, bpp, prev); break;
    default: break;  // 0 (None) and unknown filters leave the row as read
  }
}

}  // namespace

void PngUnfilterRow(uint8_t filter, uint8_t* row, size_t length, int bytesPerPixel, const uint8_t* previous) {
  const size_t bpp = size_t(std::max(bytesPerPixel, 1));
  switch (bpp) {
    case 1: Unfilter<1>(filter, row, length, bpp, previous); break;
    case 2: Unfilter<2>(filter, row, length, bpp, previous); break;
    case 3: Unfilter<3>(filter, row, length, bpp, previous); break;
    case 4: Unfilter<4>(filter, row, length, bpp, previous); break;
    case 6: Unfilter<6>(filter, row, length, bpp, previous); break;
    case 8: Unfilter<8>(filter, row, length, bpp, previous); break;
    default: Unfilter<0>(filter, row, length, bpp, previous); break;
  }
}

}  // namespace skin
