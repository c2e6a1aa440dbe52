#include "tests/skin_pixels/png_corpus.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstring>
#include <stdexcept>

namespace pngcorpus {

using pngtest::RawImage;

namespace {

// libpng reports through these: the message is kept, then libpng unwinds to its setjmp.
struct PngContext {
  char message[256] = {};
  const std::string* input = nullptr;
  size_t position = 0;
  std::string* output = nullptr;
};

void OnError(png_structp png, png_const_charp message) {
  auto* ctx = static_cast<PngContext*>(png_get_error_ptr(png));
  std::snprintf(ctx->message, sizeof ctx->message, "%s", message);
  png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}

void WriteBytes(png_structp png, png_bytep data, size_t length) {
  auto* ctx = static_cast<PngContext*>(png_get_io_ptr(png));
  ctx->output->append(reinterpret_cast<const char*>(data), length);
}
void FlushBytes(png_structp) {}

void ReadBytes(png_structp png, png_bytep data, size_t length) {
  auto* ctx = static_cast<PngContext*>(png_get_io_ptr(png));
  if (ctx->input->size() - ctx->position < length) png_error(png, "read past the end");
  std::memcpy(data, ctx->input->data() + ctx->position, length);
  ctx->position += length;
}

// What one valid file carries.
struct Recipe {
  RawImage image;
  bool adam7 = false;
  int filter = 0;
  size_t bufferSize = 8192;  // zlib output per IDAT chunk
  std::vector<uint8_t> plte;
  bool gamma = false;
  uint32_t gammaValue = 45455;
  bool trns = false;
  std::vector<uint8_t> paletteAlpha;
  uint16_t trnsColor[3] = {};
  bool bkgd = false;
  uint16_t bkgdColor[3] = {};
  uint8_t bkgdIndex = 0;
};

// libpng's writing, in a frame of its own (no C++ object lives across the setjmp).
bool WriteFrame(const Recipe& s, png_bytep* rows, PngContext& ctx) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &ctx, OnError, OnWarning);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &ctx, WriteBytes, FlushBytes);
  png_set_compression_buffer_size(png, s.bufferSize);
  static const int kFilters[5] = {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_AVG, PNG_FILTER_PAETH};
  png_set_filter(png, PNG_FILTER_TYPE_BASE, kFilters[s.filter]);
  png_set_IHDR(png, info, s.image.width, s.image.height, s.image.depth, s.image.colorType,
               s.adam7 ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  if (s.gamma) png_set_gAMA_fixed(png, info, png_fixed_point(s.gammaValue));
  png_color palette[256];
  if (!s.plte.empty()) {
    const int n = int(s.plte.size() / 3);
    for (int i = 0; i < n; ++i) palette[i] = png_color{s.plte[3 * i], s.plte[3 * i + 1], s.plte[3 * i + 2]};
    png_set_PLTE(png, info, palette, n);
  }
  if (s.trns) {
    png_color_16 c{};
    if (s.image.colorType == 0) c.gray = s.trnsColor[0];
    c.red = s.trnsColor[0];
    c.green = s.trnsColor[1];
    c.blue = s.trnsColor[2];
    png_set_tRNS(png, info, s.paletteAlpha.empty() ? nullptr : s.paletteAlpha.data(), int(s.paletteAlpha.size()),
                 &c);
  }
  if (s.bkgd) {
    png_color_16 c{};
    c.index = s.bkgdIndex;
    c.gray = s.bkgdColor[0];
    c.red = s.bkgdColor[0];
    c.green = s.bkgdColor[1];
    c.blue = s.bkgdColor[2];
    png_set_bKGD(png, info, &c);
  }
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

std::string Write(const Recipe& s) {
  std::vector<png_bytep> rows(s.image.height);
  for (uint32_t y = 0; y < s.image.height; ++y) rows[y] = const_cast<png_bytep>(s.image.row(y));
  std::string out;
  PngContext ctx;
  ctx.output = &out;
  if (!WriteFrame(s, rows.data(), ctx)) throw std::runtime_error(std::string("libpng: ") + ctx.message);
  return out;
}

struct ReadResult {
  uint32_t width = 0, height = 0;
  int depth = 0, colorType = 0;
  size_t rowBytes = 0;
  bool hasGamma = false;
  png_fixed_point gamma = 0;
};

bool ReadFrame(PngContext& ctx, std::vector<uint8_t>& data, ReadResult& r, pngtest::Ancillary& anc, Extras& ex) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &ctx, OnError, OnWarning);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &ctx, ReadBytes);
  png_read_info(png, info);
  png_uint_32 w, h;
  int depth, type, interlace;
  png_get_IHDR(png, info, &w, &h, &depth, &type, &interlace, nullptr, nullptr);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  r.width = w;
  r.height = h;
  r.depth = depth;
  r.colorType = type;
  r.rowBytes = png_get_rowbytes(png, info);
  data.assign(r.rowBytes * h, 0);
  std::vector<png_bytep> rows(h);
  for (png_uint_32 y = 0; y < h; ++y) rows[y] = data.data() + size_t(y) * r.rowBytes;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);

  png_fixed_point g;
  if (png_get_gAMA_fixed(png, info, &g)) {
    anc.hasGamma = true;
    anc.gamma = uint32_t(g);
  }
  png_colorp palette;
  int count;
  if (png_get_PLTE(png, info, &palette, &count))
    for (int i = 0; i < count; ++i) {
      anc.plte.push_back(palette[i].red);
      anc.plte.push_back(palette[i].green);
      anc.plte.push_back(palette[i].blue);
    }
  png_bytep alpha;
  int alphaCount;
  png_color_16p trans;
  if (png_get_tRNS(png, info, &alpha, &alphaCount, &trans)) {
    if (type == 3) {
      ex.paletteAlpha.assign(alpha, alpha + alphaCount);
    } else {
      ex.hasTransparentColor = true;
      ex.transparent[0] = type == 0 ? trans->gray : trans->red;
      ex.transparent[1] = trans->green;
      ex.transparent[2] = trans->blue;
    }
  }
  png_color_16p bkgd;
  if (png_get_bKGD(png, info, &bkgd)) {
    ex.hasBackground = true;
    ex.background[0] = type == 3 ? bkgd->index : (type == 0 || type == 4) ? bkgd->gray : bkgd->red;
    ex.background[1] = bkgd->green;
    ex.background[2] = bkgd->blue;
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

struct Kind {
  uint8_t type, depth;
};
constexpr Kind kKinds[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                           {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};

std::vector<uint8_t> Palette(unsigned n, uint32_t seed) {
  const std::string p = pngtest::PaletteData(n, seed);
  return std::vector<uint8_t>(p.begin(), p.end());
}

unsigned PaletteSize(uint8_t depth) { return depth >= 8 ? 181 : 1u << depth; }

// A sample of the depth, drawn from the seed.
uint16_t SampleOf(uint32_t& seed, uint8_t depth) {
  return uint16_t(pngtest::NextRandom(seed) & (depth >= 16 ? 0xFFFF : (1u << depth) - 1));
}

Recipe MakeRecipe(const Kind& k, uint32_t w, uint32_t h, bool adam7, int filter, unsigned ancillary, uint32_t seed) {
  Recipe s;
  const unsigned paletteSize = k.type == 3 ? PaletteSize(k.depth) : 0;
  s.image = pngtest::RandomImage(w, h, k.type, k.depth, seed, paletteSize);
  s.adam7 = adam7;
  s.filter = filter;
  s.bufferSize = (seed % 3 == 0) ? 7 : 8192;  // many small IDAT chunks in a third of the files
  if (k.type == 3) s.plte = Palette(paletteSize, seed);
  uint32_t r = seed * 2654435761u | 1;
  if (ancillary & 1) {
    s.gamma = true;
    s.gammaValue = (seed & 1) ? 45455 : 100000;
  }
  if ((ancillary & 2) && (k.type == 0 || k.type == 2 || k.type == 3)) {
    s.trns = true;
    if (k.type == 3) {
      s.paletteAlpha.resize(paletteSize / 2 + 1);
      for (auto& a : s.paletteAlpha) a = uint8_t(pngtest::NextRandom(r));
    } else {
      for (auto& c : s.trnsColor) c = SampleOf(r, k.depth);
    }
  }
  if (ancillary & 4) {
    s.bkgd = true;
    if (k.type == 3) {
      s.bkgdIndex = uint8_t(pngtest::NextRandom(r) % paletteSize);
    } else {
      for (auto& c : s.bkgdColor) c = SampleOf(r, k.depth);
    }
  }
  return s;
}

// Chunk surgery for the damaged files.
struct RawChunk {
  std::string type;
  std::string data;
};

std::vector<RawChunk> SplitChunks(const std::string& file) {
  std::vector<RawChunk> out;
  size_t p = 8;
  while (p + 12 <= file.size()) {
    const auto* b = reinterpret_cast<const uint8_t*>(file.data() + p);
    const uint32_t n = (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
    out.push_back({file.substr(p + 4, 4), file.substr(p + 8, n)});
    p += 12 + n;
  }
  return out;
}

std::string JoinChunks(const std::vector<RawChunk>& chunks) {
  std::string out = pngtest::Signature();
  for (const RawChunk& c : chunks) out += pngtest::Chunk(c.type, c.data);
  return out;
}

size_t Find(const std::vector<RawChunk>& chunks, const std::string& type) {
  for (size_t i = 0; i < chunks.size(); ++i)
    if (chunks[i].type == type) return i;
  return chunks.size();
}

std::string ImageData(const std::vector<RawChunk>& chunks) {
  std::string z;
  for (const RawChunk& c : chunks)
    if (c.type == "IDAT") z += c.data;
  return z;
}

// The chunks with all image data replaced by one IDAT chunk of z.
std::vector<RawChunk> WithImageData(std::vector<RawChunk> chunks, const std::string& z) {
  std::vector<RawChunk> out;
  bool placed = false;
  for (RawChunk& c : chunks) {
    if (c.type != "IDAT") {
      out.push_back(std::move(c));
    } else if (!placed) {
      out.push_back({"IDAT", z});
      placed = true;
    }
  }
  return out;
}

std::string Inflate(const std::string& z) {
  std::string out(1 << 20, '\0');
  uLongf size = uLongf(out.size());
  if (uncompress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(z.data()),
                 uLong(z.size())) != Z_OK)
    throw std::runtime_error("uncompress failed");
  out.resize(size);
  return out;
}

void SetIhdr(std::vector<RawChunk>& chunks, size_t offset, const std::string& bytes) {
  chunks[0].data.replace(offset, bytes.size(), bytes);
}

}  // namespace

bool ReadWithLibpng(const std::string& bytes, RawImage& raw, pngtest::Ancillary& anc, Extras& extras,
                    std::string& error) {
  PngContext ctx;
  ctx.input = &bytes;
  ReadResult r;
  std::vector<uint8_t> data;
  anc = {};
  extras = {};
  if (!ReadFrame(ctx, data, r, anc, extras)) {
    error = ctx.message;
    return false;
  }
  raw = RawImage{};
  raw.width = r.width;
  raw.height = r.height;
  raw.depth = uint8_t(r.depth);
  raw.colorType = uint8_t(r.colorType);
  raw.rowBytes = r.rowBytes;
  raw.data = std::move(data);
  return true;
}

std::vector<CorpusFile> ValidFiles() {
  static const std::pair<uint32_t, uint32_t> kSizes[] = {{1, 1}, {1, 9}, {3, 7}, {13, 5}, {33, 17}};
  static const char* kAncillary[] = {"plain", "gama", "trns", "gama-trns", "bkgd", "gama-bkgd", "trns-bkgd", "all"};
  std::vector<CorpusFile> files;
  uint32_t seed = 1;
  for (const Kind& k : kKinds)
    for (bool adam7 : {false, true})
      for (int filter = 0; filter <= 4; ++filter)
        for (auto [w, h] : kSizes) {
          // Every combination of the three chunks on the first size; one in turn on the others.
          const unsigned pick = seed % 8;
          for (unsigned anc = 0; anc < 8; ++anc) {
            if ((w != 1 || h != 1) && anc != pick) continue;
            const Recipe s = MakeRecipe(k, w, h, adam7, filter, anc, seed++);
            CorpusFile f;
            f.name = "t" + std::to_string(k.type) + "d" + std::to_string(k.depth) + (adam7 ? "-adam7" : "-plain") +
                     "-f" + std::to_string(filter) + "-" + std::to_string(w) + "x" + std::to_string(h) + "-" +
                     kAncillary[anc] + ".png";
            f.bytes = Write(s);
            files.push_back(std::move(f));
          }
        }
  return files;
}

std::vector<CorpusFile> DamagedFiles() {
  const std::string kInvalid = "Cannot load image. Invalid or unexpected PNG image format.";
  const std::string kCrc = "Cannot load image. CRC error found in PNG file.";
  const std::string kCompression = "Cannot load image. Compression error found in PNG file.";
  const std::string kExtra = "Cannot load image. Extra compressed data found in PNG file.";
  const std::string kPalette = "Cannot load image. Palette in PNG file is invalid.";
  const std::string kCritical = "Cannot load PNG image. Unexpected but critical chunk detected.";
  const std::string kColorFormat = "Invalid color format in PNG file.";
  const std::string kScheme = "Cannot load image. The compression scheme is not supported for PNG files.";

  // Bases: RGBA with gAMA in many small IDAT chunks, RGB, and an 8-bit palette image.
  Recipe rgbaRecipe = MakeRecipe({6, 8}, 19, 11, false, 4, 1, 3);
  rgbaRecipe.bufferSize = 64;
  const std::string rgba = Write(rgbaRecipe);
  const std::string rgb = Write(MakeRecipe({2, 8}, 9, 5, false, 1, 0, 5));
  const std::string pal = Write(MakeRecipe({3, 8}, 9, 5, true, 2, 0, 7));
  const auto R = SplitChunks(rgba);
  const auto P = SplitChunks(pal);

  std::vector<CorpusFile> out;
  auto add = [&](const std::string& name, const std::string& bytes, const std::string& message) {
    CorpusFile f;
    f.name = "damaged-" + name + ".png";
    f.bytes = bytes;
    f.valid = false;
    f.message = message;
    out.push_back(std::move(f));
  };
  auto edited = [&](std::vector<RawChunk> c, auto&& edit) {
    edit(c);
    return JoinChunks(c);
  };

  std::string s = rgba;
  s[2] = 'n';
  add("signature", s, kInvalid);
  add("first-chunk-not-ihdr", edited(R, [](auto& c) { std::swap(c[0], c[1]); }), kInvalid);
  add("width-zero", edited(R, [](auto& c) { SetIhdr(c, 0, pngtest::BE32(0)); }), kInvalid);
  add("height-zero", edited(R, [](auto& c) { SetIhdr(c, 4, pngtest::BE32(0)); }), kInvalid);
  add("width-above-2g", edited(R, [](auto& c) { SetIhdr(c, 0, pngtest::BE32(0x80000001u)); }), kInvalid);
  add("height-above-2g", edited(R, [](auto& c) { SetIhdr(c, 4, pngtest::BE32(0xFFFFFFFFu)); }), kInvalid);
  add("beyond-bitmap-size", edited(R, [](auto& c) {
        SetIhdr(c, 0, pngtest::BE32(0x10000));
        SetIhdr(c, 4, pngtest::BE32(0x10000));
      }),
      kInvalid);
  add("ihdr-short", edited(R, [](auto& c) { c[0].data.resize(12); }), kInvalid);
  s = rgba;
  s[8 + 8 + 13 + 2] ^= 0x40;
  add("ihdr-crc", s, kCrc);
  {
    std::string t = rgba;
    const size_t idat = t.find("IDAT");
    t[idat + 4 + 1] ^= 0x01;  // a data byte: the stored CRC no longer matches
    add("idat-crc", t, kCrc);
  }
  add("plte-767-bytes", edited(P, [](auto& c) { c[Find(c, "PLTE")].data.assign(767, '\x20'); }), kPalette);
  add("plte-missing", edited(P, [](auto& c) { c.erase(c.begin() + long(Find(c, "PLTE"))); }), kPalette);
  add("plte-empty", edited(P, [](auto& c) { c[Find(c, "PLTE")].data.clear(); }), kPalette);
  add("critical-unknown-chunk", edited(R, [](auto& c) { c.insert(c.begin() + 1, RawChunk{"ZZZZ", "data"}); }),
      kCritical);
  add("compression-method", edited(R, [](auto& c) { c[0].data[10] = 1; }), kScheme);
  add("color-format-rgb-4bit", edited(R, [](auto& c) {
        c[0].data[8] = 4;
        c[0].data[9] = 2;
      }),
      kColorFormat);
  add("color-type-7", edited(R, [](auto& c) { c[0].data[9] = 7; }), kColorFormat);
  add("zlib-corrupt", edited(R, [](auto& c) { c[Find(c, "IDAT")].data[0] = 0x08; }), kCompression);
  add("zlib-bad-block", edited(WithImageData(R, ImageData(R)), [](auto& c) { c[Find(c, "IDAT")].data[2] = char(0xFF); }),
      kCompression);
  add("extra-compressed-data", JoinChunks(WithImageData(R, ImageData(R) + "surplus")), kExtra);
  {
    // The IDAT run ends before the zlib stream: the last chunks of image data are dropped.
    auto c = R;
    size_t last = c.size();
    for (size_t i = 0; i < c.size(); ++i)
      if (c[i].type == "IDAT") last = i;
    c.erase(c.begin() + long(last) - 3, c.begin() + long(last) + 1);
    add("image-data-runs-out", JoinChunks(c), kCompression);
  }
  {
    // A complete zlib stream of half the rows.
    const std::string rows = Inflate(ImageData(R));
    add("zlib-stream-ends-early", JoinChunks(WithImageData(R, pngtest::Deflate(rows.substr(0, rows.size() / 2)))),
        kExtra);
  }
  add("no-image-data", edited(R, [](auto& c) {
        std::erase_if(c, [](const RawChunk& k) { return k.type == "IDAT"; });
      }),
      kInvalid);
  add("no-iend", edited(R, [](auto& c) { c.pop_back(); }), kInvalid);
  add("cut-in-a-chunk", rgba.substr(0, rgba.size() / 2), kInvalid);
  add("chunk-length-above-2g",
      JoinChunks({R[0]}) + pngtest::BE32(0x80000000u) + "tEXt" + std::string(40, 'x') + rgba.substr(33), kInvalid);

  // Damaged files that load: bad ancillary chunks are ignored, odd but usable data is read.
  add("gama-short", edited(R, [](auto& c) { c[Find(c, "gAMA")].data.resize(2); }), "");
  add("bkgd-short", edited(SplitChunks(rgb), [](auto& c) { c.insert(c.begin() + 1, RawChunk{"bKGD", "\x01\x02"}); }),
      "");
  add("trns-short", edited(SplitChunks(rgb), [](auto& c) { c.insert(c.begin() + 1, RawChunk{"tRNS", "\x01\x02\x03"}); }),
      "");
  add("palette-index-beyond-palette", edited(P, [](auto& c) { c[Find(c, "PLTE")].data.resize(12); }), "");
  add("image-data-after-the-image", edited(R, [](auto& c) {
        c.insert(c.end() - 1, RawChunk{"tEXt", std::string("k\0v", 3)});
        c.insert(c.end() - 1, RawChunk{"IDAT", "stray"});
      }),
      "");
  {
    const std::string z = ImageData(R);
    auto c = WithImageData(R, z.substr(0, z.size() - 4));
    c.insert(c.begin() + long(Find(c, "IDAT")) + 1, RawChunk{"IDAT", z.substr(z.size() - 4)});
    add("zlib-trailer-in-its-own-chunk", JoinChunks(c), "");
  }
  return out;
}

}  // namespace pngcorpus
