// The PNG reader on files made by the tests' own writer (so that these tests run on every platform): every
// colour type and depth, plain and Adam7, every filter; the chunk rules; every error with its message; the
// background, transparency and gamma values.
#include "skin/pixels/acpng.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/skin_pixels/png_expect.h"
#include "tests/skin_pixels/png_writer.h"
#include "tests/support/temp_dir.h"

namespace skin {
namespace {

using pngtest::Ancillary;
using pngtest::Chunk;
using pngtest::FileOptions;
using pngtest::RawImage;

// The message of the error that loading gives, or "" when it loads.
std::string LoadError(TPNGGraphic& g, const std::string& bytes) {
  try {
    g.LoadFromMemory(bytes.data(), bytes.size());
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}
std::string LoadError(const std::string& bytes) {
  TPNGGraphic g;
  return LoadError(g, bytes);
}

const std::string kInvalid = "Cannot load image. Invalid or unexpected PNG image format.";
const std::string kCrc = "Cannot load image. CRC error found in PNG file.";
const std::string kCompression = "Cannot load image. Compression error found in PNG file.";
const std::string kExtra = "Cannot load image. Extra compressed data found in PNG file.";
const std::string kPalette = "Cannot load image. Palette in PNG file is invalid.";
const std::string kCritical = "Cannot load PNG image. Unexpected but critical chunk detected.";
const std::string kColorFormat = "Invalid color format in PNG file.";
const std::string kScheme = "Cannot load image. The compression scheme is not supported for PNG files.";

std::string PaletteFor(uint8_t depth) { return pngtest::PaletteData(depth >= 8 ? 200 : 1u << depth); }

// A valid file of that kind with random samples.
std::string MakeFile(const RawImage& im, FileOptions o = {}) {
  if (im.colorType == 3 && o.palette.empty()) o.palette = PaletteFor(im.depth);
  return pngtest::EncodePng(im, o);
}

RawImage Random(uint32_t w, uint32_t h, uint8_t type, uint8_t depth, uint32_t seed = 1) {
  return pngtest::RandomImage(w, h, type, depth, seed, type == 3 ? (depth >= 8 ? 200 : 1u << depth) : 0);
}

struct Kind {
  uint8_t type;
  uint8_t depth;
};
const Kind kKinds[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                       {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};

// Loads bytes, checks the raw rows against im and the bitmap against the conversion rules.
void ExpectRoundTrip(const std::string& bytes, const RawImage& im, const Ancillary& anc, const std::string& what) {
  TPNGGraphic g;
  PngRawRows raw;
  g.RawRows = &raw;
  const std::string error = LoadError(g, bytes);
  ASSERT_EQ(error, "") << what;
  ASSERT_EQ(raw.RowBytes, im.rowBytes) << what;
  EXPECT_TRUE(raw.Data == im.data) << what << ": raw rows differ";
  EXPECT_EQ(pngtest::CompareConverted(g, im, anc), "") << what;
}

TEST(PngReader, EveryColourTypeDepthInterlaceAndFilterReadsBack) {
  const std::pair<uint32_t, uint32_t> sizes[] = {{1, 1}, {1, 9}, {7, 1}, {3, 5}, {9, 8}, {13, 11}, {33, 3}};
  uint32_t seed = 1;
  for (const Kind& k : kKinds)
    for (bool adam7 : {false, true})
      for (int filter = -1; filter <= 4; ++filter)
        for (auto [w, h] : sizes) {
          const RawImage im = Random(w, h, k.type, k.depth, seed++);
          FileOptions o;
          o.adam7 = adam7;
          o.filter = filter;
          Ancillary anc;
          if (k.type == 3) {
            o.palette = PaletteFor(k.depth);
            anc.plte.assign(o.palette.begin(), o.palette.end());
          }
          const std::string what = "type " + std::to_string(k.type) + " depth " + std::to_string(k.depth) +
                                   (adam7 ? " Adam7" : " plain") + " filter " + std::to_string(filter) + " " +
                                   std::to_string(w) + "x" + std::to_string(h);
          ExpectRoundTrip(MakeFile(im, o), im, anc, what);
        }
}

TEST(PngReader, GammaGoesThroughColoursAndPalettesButNotAlpha) {
  uint32_t seed = 99;
  for (uint32_t gama : {45455u, 100000u, 0u, 220000u})
    for (const Kind& k : kKinds) {
      const RawImage im = Random(11, 6, k.type, k.depth, seed++);
      FileOptions o;
      o.gama = pngtest::BE32(gama);
      Ancillary anc;
      anc.hasGamma = true;
      anc.gamma = gama;
      if (k.type == 3) {
        o.palette = PaletteFor(k.depth);
        anc.plte.assign(o.palette.begin(), o.palette.end());
      }
      TPNGGraphic g;
      ASSERT_EQ(LoadError(g, MakeFile(im, o)), "");
      EXPECT_EQ(pngtest::CompareConverted(g, im, anc), "") << "gamma " << gama << " type " << int(k.type);
      EXPECT_TRUE(g.ImageProperties().Options & ioGammaGiven);
    }
  // A file gamma of 1/2.2 against the display's 2.2 leaves colours almost as they are.
  TColorManager cm;
  cm.SetGamma(2.2f, 0.45455f);
  for (int i = 0; i < 256; ++i) EXPECT_NEAR(cm.GammaTable()[size_t(i)], i, 1);
}

TEST(PngReader, ImageDataMaySplitAnywhereAndLowerCaseNamesMatch) {
  const RawImage im = Random(17, 13, 6, 8, 5);
  const std::string z = pngtest::Deflate(pngtest::ScanLines(im, false, -1));
  const std::string head = pngtest::Signature() + Chunk("IHDR", pngtest::IhdrData(17, 13, 8, 6, 0));
  // One byte per chunk, empty chunks between, the zlib trailer alone in the last chunk.
  std::string split = head + Chunk("IDAT", "");
  for (size_t i = 0; i < z.size(); ++i) split += Chunk("IDAT", z.substr(i, 1)) + (i % 7 == 0 ? Chunk("IDAT", "") : "");
  ExpectRoundTrip(split + Chunk("IEND", ""), im, {}, "one byte per IDAT");
  // Trailer in its own chunk after all the rows.
  ExpectRoundTrip(head + Chunk("IDAT", z.substr(0, z.size() - 4)) + Chunk("IDAT", z.substr(z.size() - 4)) +
                      Chunk("IEND", ""),
                  im, {}, "trailer alone");
  // Chunk names compare without regard to case.
  ExpectRoundTrip(pngtest::Signature() + Chunk("ihdr", pngtest::IhdrData(17, 13, 8, 6, 0)) + Chunk("idat", z) +
                      Chunk("iend", ""),
                  im, {}, "lower-case names");
}

TEST(PngReader, ChunksThatAreNotUsedArePassedOver) {
  const RawImage im = Random(6, 4, 2, 8, 3);
  FileOptions o;
  // Ancillary chunks of any kind, even with a wrong CRC (skipped chunks are not checked), a palette in an
  // RGB image, and a second run of image data after the image.
  std::string text = Chunk("tEXt", std::string("Comment\0hello", 13));
  text[text.size() - 1] ^= 0x55;
  o.extraBeforeData = text + Chunk("PLTE", pngtest::PaletteData(3)) + Chunk("sRGB", std::string(1, '\0'));
  o.extraAfterData = Chunk("tIME", std::string(7, '\1')) + Chunk("IDAT", "garbage that is never read");
  ExpectRoundTrip(MakeFile(im, o), im, {}, "unused chunks");
}

TEST(PngReader, MalformedAncillaryChunksAreIgnoredWithoutReadingPastThem) {
  const RawImage rgb = Random(4, 3, 2, 8, 9);
  FileOptions o;
  o.gama = std::string("\0\1", 2);  // short gAMA
  o.bkgd = std::string("\0\1\0\2", 4);  // short bKGD for RGB
  o.trns = std::string("\0\1\0\2", 4);  // short tRNS for RGB
  TPNGGraphic g;
  ASSERT_EQ(LoadError(g, MakeFile(rgb, o)), "");
  EXPECT_EQ(pngtest::CompareConverted(g, rgb, {}), "");
  EXPECT_FALSE(g.ImageProperties().Options & ioGammaGiven);
  EXPECT_EQ(g.BackgroundColor(), clWhite);
  EXPECT_EQ(g.TransparentColor(), clNone);
  EXPECT_FALSE(g.Transparent());

  // Samples out of the depth's range, and a palette index beyond the palette, are ignored too.
  const RawImage grey = Random(4, 3, 0, 4, 9);
  o = {};
  o.bkgd = pngtest::BE16(16);
  o.trns = pngtest::BE16(300);
  ASSERT_EQ(LoadError(g, MakeFile(grey, o)), "");
  EXPECT_EQ(g.BackgroundColor(), clWhite);
  EXPECT_EQ(g.TransparentColor(), clNone);
  const RawImage pal = Random(4, 3, 3, 2, 9);
  o = {};
  o.bkgd = std::string(1, char(9));
  ASSERT_EQ(LoadError(g, MakeFile(pal, o)), "");
  EXPECT_EQ(g.BackgroundColor(), clWhite);
}

// A file with every pixel given, whose image data stops after `rows` rows (a complete zlib stream).
std::string ShortImageData(const RawImage& im, uint32_t rows, const FileOptions& o) {
  RawImage part = im;
  part.height = rows;
  part.data.resize(im.rowBytes * rows);
  std::string bytes = pngtest::Signature() + Chunk("IHDR", pngtest::IhdrData(im.width, im.height, im.depth, im.colorType, 0));
  if (!o.bkgd.empty()) bytes += Chunk("bKGD", o.bkgd);
  return bytes + Chunk("IDAT", pngtest::Deflate(pngtest::ScanLines(part, false, 1))) + Chunk("IEND", "");
}

TEST(PngReader, DataThatRunsOutStopsTheRowsAndMissingRowsKeepTheBackground) {
  const RawImage im = Random(5, 6, 2, 8, 21);
  FileOptions o;
  o.bkgd = pngtest::BE16(10) + pngtest::BE16(20) + pngtest::BE16(30);
  auto checkRows = [&](TPNGGraphic& g, uint32_t goodRows) {
    for (uint32_t y = 0; y < im.height; ++y)
      for (uint32_t x = 0; x < im.width; ++x) {
        const uint8_t* p = g.ScanLine(int32_t(y)) + 3 * x;
        if (y < goodRows) {
          ASSERT_EQ(p[2], im.row(y)[3 * x]) << x << "," << y;
          ASSERT_EQ(p[0], im.row(y)[3 * x + 2]) << x << "," << y;
        } else {
          ASSERT_EQ(p[0], 30) << x << "," << y;
          ASSERT_EQ(p[1], 20) << x << "," << y;
          ASSERT_EQ(p[2], 10) << x << "," << y;
        }
      }
  };
  // The zlib stream ends after three rows.
  TPNGGraphic g;
  EXPECT_EQ(LoadError(g, ShortImageData(im, 3, o)), kExtra);
  EXPECT_EQ(g.BackgroundColor(), RGBColor(10, 20, 30));
  checkRows(g, 3);

  // The image data chunks end in the middle of the zlib stream: a compression error, whether another chunk
  // follows or the file ends.
  const std::string z = pngtest::Deflate(pngtest::ScanLines(im, false, 1), 0);  // stored: bytes map to rows
  const std::string head = pngtest::Signature() + Chunk("IHDR", pngtest::IhdrData(5, 6, 8, 2, 0)) +
                           Chunk("bKGD", o.bkgd);
  const size_t cut = 2 + 5 + 4 * 16 + 3;  // zlib header, stored block header, four rows and a bit
  EXPECT_EQ(LoadError(g, head + Chunk("IDAT", z.substr(0, cut)) + Chunk("IEND", "")), kCompression);
  checkRows(g, 4);
  EXPECT_EQ(LoadError(g, head + Chunk("IDAT", z.substr(0, cut))), kInvalid);
  checkRows(g, 4);
  // A chunk cut short by the end of the file is refused before its bytes are read.
  EXPECT_EQ(LoadError(g, head + Chunk("IDAT", z.substr(0, cut)).substr(0, 30)), kInvalid);
  EXPECT_TRUE(g.Empty());
  // A damaged chunk of image data: the rows before it are kept.
  std::string damaged = head + Chunk("IDAT", z.substr(0, cut)) + Chunk("IDAT", z.substr(cut)) + Chunk("IEND", "");
  damaged[head.size() + 12 + cut + 8 + 3] ^= 1;
  EXPECT_EQ(LoadError(g, damaged), kCrc);
  checkRows(g, 4);

  // Data left in the chunk after the end of the zlib stream.
  std::string extra = head + Chunk("IDAT", z + "junk") + Chunk("IEND", "");
  EXPECT_EQ(LoadError(g, extra), kExtra);
  checkRows(g, 6);
  // A file that ends after its image data, without IEND: every row is there, but the file is refused.
  EXPECT_EQ(LoadError(g, head + Chunk("IDAT", z)), kInvalid);
  checkRows(g, 6);
}

TEST(PngReader, EveryErrorGivesItsMessage) {
  const RawImage im = Random(4, 4, 6, 8, 2);
  const std::string good = MakeFile(im);
  const std::string sig = pngtest::Signature();
  const std::string ihdr = Chunk("IHDR", pngtest::IhdrData(4, 4, 8, 6, 0));
  const std::string z = pngtest::Deflate(pngtest::ScanLines(im, false, 0));
  const std::string idat = Chunk("IDAT", z);
  const std::string iend = Chunk("IEND", "");
  ASSERT_EQ(LoadError(good), "");

  struct Case {
    const char* name;
    std::string bytes;
    std::string message;
  };
  std::string badSig = good;
  badSig[1] = 'p';
  std::string badIhdrCrc = good;
  badIhdrCrc[8 + 8 + 13] ^= 0x10;
  std::string badIdatCrc = sig + ihdr + idat + iend;
  badIdatCrc[sig.size() + ihdr.size() + 8 + z.size()] ^= 1;
  std::string badIdatData = sig + ihdr + idat + iend;
  badIdatData[sig.size() + ihdr.size() + 8] ^= 1;  // one byte of the data: its CRC no longer matches
  std::string badZlib = z;
  badZlib[0] = 0x08;  // a zlib header whose check bits fail
  std::string brokenDeflate = z;
  brokenDeflate[2] = char(0xFF);  // reserved block type 3
  std::string hugeLength = sig + ihdr + pngtest::BE32(0x80000000u) + "tEXt" + std::string(16, 'x');
  const std::vector<Case> cases = {
      {"empty file", "", kInvalid},
      {"signature", badSig, kInvalid},
      {"signature only", sig, kInvalid},
      {"first chunk not IHDR", sig + Chunk("gAMA", pngtest::BE32(45455)) + ihdr + idat + iend, kInvalid},
      {"width 0", sig + Chunk("IHDR", pngtest::IhdrData(0, 4, 8, 6, 0)) + idat + iend, kInvalid},
      {"height 0", sig + Chunk("IHDR", pngtest::IhdrData(4, 0, 8, 6, 0)) + idat + iend, kInvalid},
      {"width above 2^31-1", sig + Chunk("IHDR", pngtest::IhdrData(0x80000000u, 1, 8, 6, 0)) + idat + iend, kInvalid},
      {"more than the bitmap holds", sig + Chunk("IHDR", pngtest::IhdrData(40000, 40000, 8, 6, 0)) + idat + iend,
       kInvalid},
      {"short IHDR", sig + Chunk("IHDR", pngtest::IhdrData(4, 4, 8, 6, 0).substr(0, 12)) + idat + iend, kInvalid},
      {"long IHDR", sig + Chunk("IHDR", pngtest::IhdrData(4, 4, 8, 6, 0) + "x") + idat + iend, kInvalid},
      {"IHDR CRC", badIhdrCrc, kCrc},
      {"IDAT CRC", badIdatCrc, kCrc},
      {"IDAT data", badIdatData, kCrc},
      {"compression method", sig + Chunk("IHDR", pngtest::IhdrData(4, 4, 8, 6, 0, 1)) + idat + iend, kScheme},
      {"RGB of 4 bits", sig + Chunk("IHDR", pngtest::IhdrData(4, 4, 4, 2, 0)) + idat + iend, kColorFormat},
      {"colour type 5", sig + Chunk("IHDR", pngtest::IhdrData(4, 4, 8, 5, 0)) + idat + iend, kColorFormat},
      {"palette of 16 bits", sig + Chunk("IHDR", pngtest::IhdrData(4, 4, 16, 3, 0)) + Chunk("PLTE", "abc") + idat + iend,
       kColorFormat},
      {"grey of 3 bits", sig + Chunk("IHDR", pngtest::IhdrData(4, 4, 3, 0, 0)) + idat + iend, kColorFormat},
      {"palette of 767 bytes",
       sig + Chunk("IHDR", pngtest::IhdrData(4, 4, 8, 3, 0)) + Chunk("PLTE", std::string(767, '\1')) + idat + iend,
       kPalette},
      {"palette image without PLTE", sig + Chunk("IHDR", pngtest::IhdrData(4, 4, 8, 3, 0)) + idat + iend, kPalette},
      {"empty PLTE", sig + Chunk("IHDR", pngtest::IhdrData(4, 4, 8, 3, 0)) + Chunk("PLTE", "") + idat + iend, kPalette},
      {"unknown critical chunk", sig + ihdr + Chunk("ABCD", "x") + idat + iend, kCritical},
      {"critical chunk right after the data", sig + ihdr + idat + Chunk("PLTE", "abc") + iend, kCritical},
      {"zlib header", sig + ihdr + Chunk("IDAT", badZlib) + iend, kCompression},
      {"deflate data", sig + ihdr + Chunk("IDAT", brokenDeflate) + iend, kCompression},
      {"no image data", sig + ihdr + iend, kInvalid},
      {"no IEND", sig + ihdr + idat, kInvalid},
      {"chunk longer than the file", sig + ihdr + pngtest::BE32(1000) + "tEXt" + "abc", kInvalid},
      {"chunk length above 2^31-1", hugeLength, kInvalid},
      {"IDAT longer than the file", sig + ihdr + pngtest::BE32(5000) + "IDAT" + z, kInvalid},
  };
  for (const Case& c : cases) EXPECT_EQ(LoadError(c.bytes), c.message) << c.name;

  // The caller's pixel cap.
  TPNGGraphic capped;
  capped.MaxPixels = 15;
  EXPECT_EQ(LoadError(capped, good), kInvalid);
  capped.MaxPixels = 16;
  EXPECT_EQ(LoadError(capped, good), "");
}

TEST(PngReader, PaletteIndicesBeyondThePaletteShowOpaqueBlack) {
  // Indices 0..15 against a palette of 4 entries, with a tRNS longer than the palette.
  RawImage im = pngtest::RandomImage(16, 1, 3, 4, 1, 0);
  for (uint32_t x = 0; x < 16; ++x) im.data[x / 2] = uint8_t(x % 2 ? (im.data[x / 2] & 0xF0) | x : x << 4);
  FileOptions o;
  o.palette = pngtest::PaletteData(4);
  o.trns = std::string(8, char(0x40));
  TPNGGraphic g;
  ASSERT_EQ(LoadError(g, MakeFile(im, o)), "");
  ASSERT_EQ(g.PixelFormat(), pf4bit);
  for (int32_t x = 0; x < 16; ++x) EXPECT_EQ(ReadIndex(g.ScanLine(0), x, 4), uint32_t(x));
  for (size_t i = 4; i < 16; ++i) {
    EXPECT_EQ(g.Palette()[i], (TRGBQuad{0, 0, 0, 0})) << i;
    EXPECT_EQ(g.TransparencyTable()[i], 255) << i;
  }
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(g.TransparencyTable()[i], 0x40) << i;
  // Made 32-bit, an index beyond the palette is black.
  g.SetPixelFormat(pf32bit);
  const uint32_t* px = reinterpret_cast<const uint32_t*>(g.ScanLine(0));
  EXPECT_EQ(px[9] & 0xFFFFFFu, 0u);
}

TEST(PngReader, TwoBitImagesBecomeFourBitBitmaps) {
  // Grey levels are spread over the 4-bit ramp; palette indices keep their value and entries.
  RawImage grey = pngtest::RandomImage(4, 1, 0, 2, 1);
  grey.data[0] = 0x1B;  // 0, 1, 2, 3
  TPNGGraphic g;
  ASSERT_EQ(LoadError(g, MakeFile(grey)), "");
  ASSERT_EQ(g.PixelFormat(), pf4bit);
  EXPECT_EQ(g.ScanLine(0)[0], 0x05);
  EXPECT_EQ(g.ScanLine(0)[1], 0xAF);
  EXPECT_EQ(g.Palette()[5], (TRGBQuad{85, 85, 85, 0}));
  RawImage pal = grey;
  pal.colorType = 3;
  FileOptions o;
  o.palette = std::string("\x10\x20\x30\x40\x50\x60\x70\x80\x90\xA0\xB0\xC0", 12);
  ASSERT_EQ(LoadError(g, MakeFile(pal, o)), "");
  EXPECT_EQ(g.ScanLine(0)[0], 0x01);
  EXPECT_EQ(g.ScanLine(0)[1], 0x23);
  EXPECT_EQ(g.Palette()[3], (TRGBQuad{0xC0, 0xB0, 0xA0, 0}));
  EXPECT_EQ(g.ImageProperties().BitsPerSample, 2);
  EXPECT_EQ(g.ImageProperties().ColorScheme, csIndexed);
}

TEST(PngReader, BackgroundAndTransparentColoursAreThoseOfThePixels) {
  TPNGGraphic g;
  // RGB 16 bits: samples scaled like the pixels.
  FileOptions o;
  o.bkgd = pngtest::BE16(0xFFFF) + pngtest::BE16(0x8080) + pngtest::BE16(0x0101);
  o.trns = pngtest::BE16(0x1234) + pngtest::BE16(0) + pngtest::BE16(0xFFFF);
  ASSERT_EQ(LoadError(g, MakeFile(Random(3, 3, 2, 16), o)), "");
  EXPECT_EQ(g.BackgroundColor(), RGBColor(255, 128, 1));
  EXPECT_EQ(g.TransparentColor(), RGBColor(0x12, 0, 255));
  EXPECT_TRUE(g.Transparent());
  EXPECT_EQ(static_cast<Bitmap&>(g).TransparentColor(), RGBColor(0x12, 0, 255));
  // With gamma, the colours go through the same table as the pixels.
  o.gama = pngtest::BE32(100000);
  ASSERT_EQ(LoadError(g, MakeFile(Random(3, 3, 2, 16), o)), "");
  const auto t = pngtest::ExpectedGammaTable(100000);
  EXPECT_EQ(g.TransparentColor(), RGBColor(uint8_t(t[0x12]), uint8_t(t[0]), uint8_t(t[255])));
  // Grey of 2 bits: the bitmap's palette entry of the converted level.
  o = {};
  o.bkgd = pngtest::BE16(2);
  o.trns = pngtest::BE16(1);
  ASSERT_EQ(LoadError(g, ShortImageData(Random(3, 3, 0, 2), 0, o)), kExtra);
  EXPECT_EQ(g.BackgroundColor(), RGBColor(170, 170, 170));
  EXPECT_EQ(ReadIndex(g.ScanLine(2), 2, 4), 10u);  // the background fill
  ASSERT_EQ(LoadError(g, MakeFile(Random(3, 3, 0, 2), o)), "");
  EXPECT_EQ(g.TransparentColor(), RGBColor(85, 85, 85));
  // Grey of 16 bits.
  o.bkgd = pngtest::BE16(0x4000);
  o.trns = pngtest::BE16(0xFFFF);
  ASSERT_EQ(LoadError(g, MakeFile(Random(3, 3, 0, 16), o)), "");
  EXPECT_EQ(g.BackgroundColor(), RGBColor(0x3F, 0x3F, 0x3F));
  EXPECT_EQ(g.TransparentColor(), clWhite);
  // Palette: the entry's colour; the fill is that index.
  RawImage pal = Random(3, 3, 3, 8);
  o = {};
  o.palette = pngtest::PaletteData(200);
  o.bkgd = std::string(1, char(3));
  ASSERT_EQ(LoadError(g, MakeFile(pal, o)), "");
  EXPECT_EQ(g.BackgroundColor(), RGBColor(uint8_t(o.palette[9]), uint8_t(o.palette[10]), uint8_t(o.palette[11])));
  EXPECT_EQ(g.TransparentColor(), clNone);
  EXPECT_FALSE(g.Transparent());
  // RGBA: background pixels are the colour with alpha 0.
  o = {};
  o.bkgd = pngtest::BE16(1) + pngtest::BE16(2) + pngtest::BE16(3);
  ASSERT_EQ(LoadError(g, ShortImageData(Random(2, 2, 6, 8), 1, o)), kExtra);
  EXPECT_EQ(reinterpret_cast<const uint32_t*>(g.ScanLine(1))[1], 0x00010203u);
  // Without bKGD the fill is white; grey bitmaps take their whitest entry.
  ASSERT_EQ(LoadError(g, ShortImageData(Random(2, 2, 0, 4), 1, {})), kExtra);
  EXPECT_EQ(g.BackgroundColor(), clWhite);
  EXPECT_EQ(ReadIndex(g.ScanLine(1), 1, 4), 15u);
}

TEST(PngReader, NothingOfAnEarlierImageCarriesOver) {
  TPNGGraphic g;
  FileOptions o;
  o.gama = pngtest::BE32(100000);
  o.trns = pngtest::BE16(1) + pngtest::BE16(2) + pngtest::BE16(3);
  ASSERT_EQ(LoadError(g, MakeFile(Random(5, 5, 2, 8), o)), "");
  ASSERT_TRUE(g.Transparent());
  const RawImage grey = Random(5, 5, 0, 2, 7);
  ASSERT_EQ(LoadError(g, MakeFile(grey)), "");
  EXPECT_EQ(pngtest::CompareConverted(g, grey, {}), "");
  EXPECT_FALSE(g.Transparent());
  EXPECT_EQ(g.TransparentColor(), clNone);
  const RawImage rgb = Random(5, 5, 2, 8, 8);
  ASSERT_EQ(LoadError(g, MakeFile(rgb)), "");
  EXPECT_EQ(pngtest::CompareConverted(g, rgb, {}), "");
  EXPECT_EQ(g.ImageProperties().Options, ioHeaderRead);
}

TEST(PngReader, PropertiesProgressAndAssignment) {
  const RawImage im = Random(7, 5, 6, 16, 4);
  FileOptions o;
  o.adam7 = true;
  TPNGGraphic g;
  std::vector<std::string> events;
  g.OnProgress = [&](TPNGGraphic&, TProgressStage stage, uint8_t percent, const TRect& r, const std::string& m) {
    events.push_back(std::to_string(int(stage)) + ":" + std::to_string(percent) + ":" + m + ":" +
                     std::to_string(r.Top) + "-" + std::to_string(r.Bottom));
  };
  ASSERT_EQ(LoadError(g, MakeFile(im, o)), "");
  const std::vector<std::string> want = {"0:0:Preparing...:0-1", "2:100::0-1", "0:0:Transfering...:0-1",
                                         "2:100::2-3"};  // the last pass holds rows 1 and 3
  EXPECT_EQ(events, want);
  EXPECT_EQ(g.ProgressRect(), (TRect{0, 2, 7, 3}));
  const TImageProperties& p = g.ImageProperties();
  EXPECT_EQ(p.Options, ioHeaderRead);
  EXPECT_EQ(p.Width, 7);
  EXPECT_EQ(p.ColorScheme, csRGBA);
  EXPECT_EQ(p.BitsPerSample, 16);
  EXPECT_EQ(p.SamplesPerPixel, 4);
  EXPECT_EQ(p.Compression, 2);
  EXPECT_EQ(g.BytesPerPixel(), 8);
  EXPECT_EQ(g.PixelFormat(), pf32bit);

  TPNGGraphic copy;
  copy.Assign(g);
  EXPECT_EQ(copy.ImageProperties().Width, 7);
  EXPECT_EQ(copy.ImageProperties().BitsPerSample, 16);
  EXPECT_EQ(pngtest::CompareConverted(copy, im, {}), "");
  Bitmap plain;
  const std::string plainFile = MakeFile(im);
  LoadPngMemory(plain, plainFile.data(), plainFile.size());
  EXPECT_EQ(pngtest::CompareConverted(plain, im, {}), "");
}

// A source that hands out a few bytes at a time and cannot tell its size.
class TrickleSource : public PngSource {
 public:
  explicit TrickleSource(const std::string& b) : bytes(b) {}
  size_t Read(void* buffer, size_t count) override {
    const size_t n = std::min({count, size_t(3), bytes.size() - pos});
    std::memcpy(buffer, bytes.data() + pos, n);
    pos += n;
    // Short reads are only allowed at the end: keep reading until count or the end.
    if (n < count && pos < bytes.size()) return n + Read(static_cast<uint8_t*>(buffer) + n, count - n);
    return n;
  }
  std::string bytes;
  size_t pos = 0;
};

TEST(PngReader, LoadsFromFilesAndStreams) {
  const RawImage im = Random(9, 7, 3, 4, 6);
  FileOptions o;
  o.palette = PaletteFor(4);
  o.adam7 = true;
  const std::string bytes = MakeFile(im, o);
  Ancillary anc;
  anc.plte.assign(o.palette.begin(), o.palette.end());

  testsupport::TempDir dir;
  dir.write("image.png", bytes);
  Bitmap b;
  LoadPngFile(b, dir.file("image.png"));
  EXPECT_EQ(pngtest::CompareConverted(b, im, anc), "");
  EXPECT_THROW(LoadPngFile(b, dir.file("missing.png")), std::runtime_error);
  dir.write("cut.png", bytes.substr(0, bytes.size() - 20));
  TPNGGraphic g;
  try {
    g.LoadFromFile(dir.file("cut.png"));
    ADD_FAILURE() << "a cut file loads";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(std::string(e.what()), kInvalid);
  }

  // A stream holding the image and more: read up to IEND, the rest left in place.
  TrickleSource s(bytes + "after");
  LoadPngStream(b, s);
  EXPECT_EQ(pngtest::CompareConverted(b, im, anc), "");
  EXPECT_EQ(s.bytes.substr(s.pos), "after");
  PngMemorySource m(bytes.data(), bytes.size());
  LoadPngStream(b, m);
  EXPECT_EQ(m.Position(), bytes.size());
  // Empty chunks and chunks split anywhere, from a source that cannot hand out its bytes in place.
  const RawImage rgba = Random(5, 4, 6, 8, 12);
  const std::string z = pngtest::Deflate(pngtest::ScanLines(rgba, false, 4));
  TrickleSource split(pngtest::Signature() + Chunk("IHDR", pngtest::IhdrData(5, 4, 8, 6, 0)) + Chunk("IDAT", "") +
                      Chunk("IDAT", z.substr(0, 9)) + Chunk("IDAT", "") + Chunk("IDAT", z.substr(9)) +
                      Chunk("tEXt", "") + Chunk("IEND", ""));
  LoadPngStream(b, split);
  EXPECT_EQ(pngtest::CompareConverted(b, rgba, {}), "");
  // A chunk that claims more than a trickling source holds.
  TrickleSource cut(bytes.substr(0, 60));
  EXPECT_THROW(g.LoadFromStream(cut), EInvalidGraphic);
}

TEST(PngCRC32, IsTheCrcOfPngChunks) {
  EXPECT_EQ(PngCRC32(0, "123456789", 9), 0xCBF43926u);
  EXPECT_EQ(PngCRC32(0, nullptr, 5), 0u);
  EXPECT_EQ(PngCRC32(0, "IEND", 4), 0xAE426082u);
  std::vector<uint8_t> data(3000);
  uint32_t s = 1;
  for (auto& b : data) b = uint8_t(pngtest::NextRandom(s));
  for (size_t n = 0; n <= data.size(); n += 7) {
    const uint32_t whole = PngCRC32(0, data.data(), n);
    ASSERT_EQ(whole, uint32_t(crc32(0, data.data(), uInt(n)))) << n;
    ASSERT_EQ(PngCRC32(PngCRC32(0, data.data(), n / 3), data.data() + n / 3, n - n / 3), whole) << n;
  }
}

TEST(PngUnfilterRow, FiltersAtEveryPixelSize) {
  // Each filter against the test writer's forward filters, for every pixel size and short rows.
  uint32_t s = 3;
  for (int bpp : {1, 2, 3, 4, 6, 8, 5})
    for (size_t n : {size_t(1), size_t(3), size_t(bpp), size_t(4 * bpp + 1), size_t(16 * bpp), size_t(67),
                     size_t(37 * bpp)})
      for (int f = 0; f <= 4; ++f) {
        std::vector<uint8_t> prev(n), cur(n);
        for (auto& b : prev) b = uint8_t(pngtest::NextRandom(s));
        for (auto& b : cur) b = uint8_t(pngtest::NextRandom(s));
        const std::string filtered = pngtest::FilterRow(f, cur.data(), prev.data(), n, size_t(bpp));
        std::vector<uint8_t> row(filtered.begin() + 1, filtered.end());
        PngUnfilterRow(uint8_t(f), row.data(), n, bpp, prev.data());
        ASSERT_TRUE(row == cur) << "filter " << f << " bpp " << bpp << " n " << n;
      }
  // An unknown filter leaves the row as read.
  std::vector<uint8_t> row = {1, 2, 3}, prev = {9, 9, 9};
  PngUnfilterRow(5, row.data(), 3, 1, prev.data());
  EXPECT_EQ(row, (std::vector<uint8_t>{1, 2, 3}));
}

}  // namespace
}  // namespace skin
