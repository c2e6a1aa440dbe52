// PNG decoding: this reader against libpng and libspng on the same files, in one run, each decoding from memory
// into a new image with the chunk CRCs checked. Before timing, every decoder's output is compared with ours.
//
// Input kinds (the writer matters: filters and compression level change where the time goes):
//   rgb_photo_libpng   1280 x 960 photo-like RGB 8, libpng's own filter choice and compression
//   rgb_photo_paeth9   the same picture, every row Paeth, zlib level 9 (this project's test writer)
//   rgb_photo_avg      the same picture, every row Average, level 6 (test writer)
//   rgb_screen_sub1    1280 x 1024 screenshot-like RGB 8, every row Sub, level 1 (test writer)
//   rgba_skin_libpng   1024 x 1024 skin-like RGBA 8 (gradients, noise, an alpha disc), libpng
//   rgba_skin_mixed    the same, the filters in turn row by row, level 6 (test writer)
//   palette_libpng     1024 x 1024 palette image of 256 colours, libpng
//   gray16_mixed       1024 x 768 grey 16-bit photo, filters in turn (test writer)
//   rgb_adam7          the photo, 640 x 480, Adam7 interlaced, filters in turn (test writer)
//   rgba_adam7_libpng  the skin image, 512 x 512, Adam7 interlaced, libpng
//   icon16_gama        a 16 x 16 RGBA icon with a gAMA chunk of 1/2.2 (test writer)
//   icon16_libpng      the same icon without gAMA, libpng
//
// Outputs: ours B, G, R(, A) rows, palette indices, 8-bit grey. libpng is asked for the same (png_set_bgr,
// png_set_strip_16, the file's gamma on a 2.2 display); libspng gives R, G, B(, A) (its nearest format, compared
// channel by channel), palette indices, and for 16-bit grey its 16-bit samples (ours are x div 257, libpng's
// x shr 8: these may differ by 1; libspng's in host order are scaled as ours).
#include <png.h>
#include <spng.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/side_by_side.h"
#include "skin/pixels/acpng.h"
#include "tests/skin_pixels/png_writer.h"

namespace {

using pngtest::RawImage;

uint32_t NextRandom(uint32_t& s) {
  s ^= s << 13;
  s ^= s >> 17;
  s ^= s << 5;
  return s;
}

// --- pictures ------------------------------------------------------------------------------------------------

RawImage Blank(uint32_t w, uint32_t h, uint8_t colorType, uint8_t depth) {
  RawImage im;
  im.width = w;
  im.height = h;
  im.colorType = colorType;
  im.depth = depth;
  im.rowBytes = pngtest::RowBytesOf(w, colorType, depth);
  im.data.assign(im.rowBytes * h, 0);
  return im;
}

// Smooth value noise of a few octaves (0..1), the texture of a photograph.
struct ValueNoise {
  std::vector<float> grid;
  int n = 64;
  explicit ValueNoise(uint32_t seed) : grid(size_t(64 * 64)) {
    for (float& g : grid) g = float(NextRandom(seed) % 1000) / 999.0f;
  }
  float at(float x, float y) const {
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const float fx = x - float(x0), fy = y - float(y0);
    auto g = [&](int i, int j) { return grid[size_t(((j % n + n) % n) * n + (i % n + n) % n)]; };
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const float a = g(x0, y0) + (g(x0 + 1, y0) - g(x0, y0)) * sx;
    const float b = g(x0, y0 + 1) + (g(x0 + 1, y0 + 1) - g(x0, y0 + 1)) * sx;
    return a + (b - a) * sy;
  }
  float octaves(float x, float y) const {
    return 0.55f * at(x / 180, y / 180) + 0.3f * at(x / 40, y / 40) + 0.15f * at(x / 9, y / 9);
  }
};

// A photograph-like picture: smooth shapes and shading, fine texture and sensor grain. depth 8 or 16.
RawImage Photo(uint32_t w, uint32_t h, uint8_t colorType, uint8_t depth) {
  RawImage im = Blank(w, h, colorType, depth);
  const ValueNoise n1(11), n2(23), n3(37);
  uint32_t s = 99;
  const int channels = pngtest::Channels(colorType);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      const float light = 0.6f + 0.4f * float(y) / float(h);
      const float v[3] = {n1.octaves(float(x), float(y)), n2.octaves(float(x), float(y)),
                          n3.octaves(float(x), float(y))};
      for (int c = 0; c < channels; ++c) {
        const float mixed = c < 3 ? 0.6f * v[c] + 0.4f * v[0] : 1.0f;
        const float grain = float(int(NextRandom(s) % 7) - 3) / 255.0f;
        const float value = std::clamp(mixed * light + grain, 0.0f, 1.0f);
        if (depth == 16) {
          const uint32_t q = uint32_t(value * 65535.0f);
          im.data[size_t(y) * im.rowBytes + (size_t(x) * channels + c) * 2] = uint8_t(q >> 8);
          im.data[size_t(y) * im.rowBytes + (size_t(x) * channels + c) * 2 + 1] = uint8_t(q);
        } else {
          im.data[size_t(y) * im.rowBytes + size_t(x) * channels + c] = uint8_t(value * 255.0f);
        }
      }
    }
  return im;
}

// A screenshot: a desktop gradient, windows with flat faces and title bars, text-like ink.
RawImage Screen(uint32_t w, uint32_t h) {
  RawImage im = Blank(w, h, 2, 8);
  uint32_t s = 5;
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      uint8_t* p = &im.data[size_t(y) * im.rowBytes + size_t(x) * 3];
      const bool window = x > 200 && x < 1000 && y > 150 && y < 800;
      const bool title = window && y < 180;
      const bool ink = window && !title && y % 18 < 11 && (NextRandom(s) & 7) == 0;
      if (title) {
        p[0] = uint8_t(40 + x / 10), p[1] = 80, p[2] = 160;
      } else if (window) {
        p[0] = p[1] = p[2] = ink ? 20 : 236;
      } else {
        p[0] = uint8_t(x / 6), p[1] = uint8_t(y / 5), p[2] = 120;
      }
    }
  return im;
}

// Smooth colours with a little noise and an anti-aliased disc of alpha: roughly what skin images hold.
RawImage Skin(uint32_t size) {
  RawImage im = Blank(size, size, 6, 8);
  uint32_t s = 12345;
  const double c = size / 2.0, r = size * 0.4;
  for (uint32_t y = 0; y < size; ++y)
    for (uint32_t x = 0; x < size; ++x) {
      uint8_t* p = &im.data[size_t(y) * im.rowBytes + size_t(x) * 4];
      const int noise = int(NextRandom(s) % 9) - 4;
      p[0] = uint8_t(std::clamp(int(x * 255 / size) + noise, 0, 255));
      p[1] = uint8_t(std::clamp(int(y * 255 / size) + noise, 0, 255));
      p[2] = uint8_t(std::clamp(int(128 + 100 * std::sin((x + y) * 0.02)) + noise, 0, 255));
      const double d = std::hypot(x - c, y - c);
      p[3] = uint8_t(d < r - 2 ? 255 : d > r + 2 ? 0 : int(255 * (r + 2 - d) / 4));
    }
  return im;
}

RawImage Palette(uint32_t size) {
  RawImage im = Blank(size, size, 3, 8);
  uint32_t s = 777;
  for (uint32_t y = 0; y < size; ++y)
    for (uint32_t x = 0; x < size; ++x)
      im.data[size_t(y) * im.rowBytes + x] = uint8_t(((x / 16 + y / 16) * 9 + ((NextRandom(s) % 9) > 6 ? 1 : 0)) & 0xFF);
  return im;
}

std::string PaletteData() {
  std::string p;
  for (int i = 0; i < 256; ++i) {
    p += char(i);
    p += char((i * 7) & 0xFF);
    p += char(255 - i);
  }
  return p;
}

// A 16 x 16 icon: a shaded ball with an anti-aliased edge on a transparent ground.
RawImage Icon() {
  RawImage im = Blank(16, 16, 6, 8);
  for (uint32_t y = 0; y < 16; ++y)
    for (uint32_t x = 0; x < 16; ++x) {
      uint8_t* p = &im.data[size_t(y) * im.rowBytes + size_t(x) * 4];
      const double d = std::hypot(x - 7.5, y - 7.5);
      p[0] = uint8_t(60 + 12 * x);
      p[1] = uint8_t(200 - 10 * y);
      p[2] = uint8_t(90 + 5 * (x + y));
      p[3] = uint8_t(d < 6 ? 255 : d > 7.5 ? 0 : int(255 * (7.5 - d) / 1.5));
    }
  return im;
}

// --- writers ---------------------------------------------------------------------------------------------------

// This project's test writer: one filter for every row (-1: the five in turn), a zlib level.
std::string OwnWriter(const RawImage& im, int filter, int level, bool adam7, const std::string& gama = "",
                      const std::string& palette = "") {
  std::string out =
      pngtest::Signature() + pngtest::Chunk("IHDR", pngtest::IhdrData(im.width, im.height, im.depth, im.colorType, adam7));
  if (!gama.empty()) out += pngtest::Chunk("gAMA", gama);
  if (!palette.empty()) out += pngtest::Chunk("PLTE", palette);
  out += pngtest::IdatChunks(pngtest::Deflate(pngtest::ScanLines(im, adam7, filter), level), 8192);
  out += pngtest::Chunk("IEND", "");
  return out;
}

void WriteBytes(png_structp png, png_bytep data, size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}
void FlushBytes(png_structp) {}

// libpng with its defaults (adaptive filter choice, zlib's default level).
std::string Libpng(const RawImage& im, bool adam7, const std::string& palette = "") {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("libpng could not write a benchmark image");
  }
  png_set_write_fn(png, &out, WriteBytes, FlushBytes);
  png_set_IHDR(png, info, im.width, im.height, im.depth, im.colorType,
               adam7 ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  std::vector<png_color> colours;
  for (size_t i = 0; i + 2 < palette.size(); i += 3)
    colours.push_back(png_color{png_byte(palette[i]), png_byte(palette[i + 1]), png_byte(palette[i + 2])});
  if (!colours.empty()) png_set_PLTE(png, info, colours.data(), int(colours.size()));
  png_write_info(png, info);
  std::vector<png_bytep> rows(im.height);
  for (uint32_t y = 0; y < im.height; ++y) rows[y] = const_cast<png_bytep>(im.row(y));
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

// --- decoders --------------------------------------------------------------------------------------------------

struct Decoded {
  std::vector<uint8_t> pixels;
  size_t rowBytes = 0;
  uint32_t height = 0;
};

struct ReadState {
  const std::string* input;
  size_t position;
};

void ReadBytes(png_structp png, png_bytep data, size_t length) {
  auto* r = static_cast<ReadState*>(png_get_io_ptr(png));
  if (r->input->size() - r->position < length) png_error(png, "read past the end");
  std::memcpy(data, r->input->data() + r->position, length);
  r->position += length;
}

bool LibpngDecode(const std::string& file, Decoded& out) {
  ReadState in{&file, 0};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &in, ReadBytes);
  png_read_info(png, info);
  const int colorType = png_get_color_type(png, info);
  if (colorType & PNG_COLOR_MASK_COLOR && colorType != PNG_COLOR_TYPE_PALETTE) png_set_bgr(png);
  if (png_get_bit_depth(png, info) == 16) png_set_strip_16(png);
  double gamma = 0;
  if (png_get_gAMA(png, info, &gamma)) png_set_gamma(png, 2.2, gamma);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  out.rowBytes = png_get_rowbytes(png, info);
  out.height = png_get_image_height(png, info);
  out.pixels.resize(out.rowBytes * out.height);  // a new image each time, as the others make
  std::vector<png_bytep> rows(out.height);
  for (png_uint_32 y = 0; y < out.height; ++y) rows[y] = out.pixels.data() + size_t(y) * out.rowBytes;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

int SpngFormat(uint8_t colorType) {
  switch (colorType) {
    case 2: return SPNG_FMT_RGB8;
    case 6: return SPNG_FMT_RGBA8;
    default: return SPNG_FMT_PNG;
  }
}

bool SpngDecode(const std::string& file, uint8_t colorType, bool gamma, Decoded& out) {
  spng_ctx* ctx = spng_ctx_new(0);
  spng_set_png_buffer(ctx, file.data(), file.size());
  const int fmt = SpngFormat(colorType);
  size_t bytes = 0;
  spng_ihdr ihdr{};
  bool ok = spng_get_ihdr(ctx, &ihdr) == 0 && spng_decoded_image_size(ctx, fmt, &bytes) == 0;
  if (ok) {
    out.pixels.resize(bytes);
    out.height = ihdr.height;
    out.rowBytes = bytes / ihdr.height;
    ok = spng_decode_image(ctx, out.pixels.data(), bytes, fmt, gamma ? SPNG_DECODE_GAMMA : 0) == 0;
  }
  spng_ctx_free(ctx);
  return ok;
}

// --- output checks ---------------------------------------------------------------------------------------------

// The largest difference between our bitmap's samples and the peer's. Ours: B, G, R(, A) or one sample per pixel.
// rgbOrder: the peer's pixels are R, G, B(, A); sixteen: the peer holds 16-bit samples in host order, taken as
// x div 257 like ours.
int MaxDifference(const skin::TPNGGraphic& g, const Decoded& peer, int channels, bool rgbOrder, bool sixteen) {
  if (uint32_t(g.Height()) != peer.height) return 1 << 20;
  int worst = 0;
  const int step = sixteen ? 2 : 1;
  for (int32_t y = 0; y < g.Height(); ++y) {
    const uint8_t* o = g.ScanLine(y);
    const uint8_t* p = peer.pixels.data() + size_t(y) * peer.rowBytes;
    for (int32_t x = 0; x < g.Width(); ++x)
      for (int c = 0; c < channels; ++c) {
        const int pc = rgbOrder && c < 3 ? 2 - c : c;
        const uint8_t* q = p + (size_t(x) * channels + pc) * step;
        uint16_t host = 0;
        if (sixteen) std::memcpy(&host, q, 2);
        const int theirs = sixteen ? host / 257 : q[0];
        worst = std::max(worst, std::abs(int(o[size_t(x) * channels + c]) - theirs));
      }
  }
  return worst;
}

struct Input {
  std::string name;
  std::string file;
  RawImage image;
};

std::string Describe(int difference, int allowed) {
  if (difference == 0) return "identical";
  char text[64];
  std::snprintf(text, sizeof text, "differ by up to %d%s", difference, difference <= allowed ? " (16-bit scaling)" : "");
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  sidebyside::Table table(sidebyside::Options::FromArgs(argc, argv));
  const std::string plte = PaletteData();
  const std::string gama = pngtest::BE32(45455);

  std::vector<Input> inputs;
  // Pictures are made only for the workloads asked for.
  auto add = [&](const std::string& name, const std::function<RawImage()>& make, auto write) {
    if (!table.Wanted(name)) return;
    RawImage im = make();
    std::string file = write(im);
    inputs.push_back(Input{name, std::move(file), std::move(im)});
  };
  RawImage photoMade, skinMade;
  auto photo = [&] {
    if (photoMade.data.empty()) photoMade = Photo(1280, 960, 2, 8);
    return photoMade;
  };
  auto skin = [&] {
    if (skinMade.data.empty()) skinMade = Skin(1024);
    return skinMade;
  };
  add("rgb_photo_libpng", photo, [](const RawImage& im) { return Libpng(im, false); });
  add("rgb_photo_paeth9", photo, [](const RawImage& im) { return OwnWriter(im, 4, 9, false); });
  add("rgb_photo_avg", photo, [](const RawImage& im) { return OwnWriter(im, 3, 6, false); });
  add("rgb_screen_sub1", [] { return Screen(1280, 1024); }, [](const RawImage& im) { return OwnWriter(im, 1, 1, false); });
  add("rgba_skin_libpng", skin, [](const RawImage& im) { return Libpng(im, false); });
  add("rgba_skin_mixed", skin, [](const RawImage& im) { return OwnWriter(im, -1, 6, false); });
  add("palette_libpng", [] { return Palette(1024); }, [&](const RawImage& im) { return Libpng(im, false, plte); });
  add("gray16_mixed", [] { return Photo(1024, 768, 0, 16); },
      [](const RawImage& im) { return OwnWriter(im, -1, 6, false); });
  add("rgb_adam7", [] { return Photo(640, 480, 2, 8); }, [](const RawImage& im) { return OwnWriter(im, -1, 6, true); });
  add("rgba_adam7_libpng", [] { return Skin(512); }, [](const RawImage& im) { return Libpng(im, true); });
  add("icon16_gama", Icon, [&](const RawImage& im) { return OwnWriter(im, -1, 9, false, gama); });
  add("icon16_libpng", Icon, [](const RawImage& im) { return Libpng(im, false); });

  for (const Input& in : inputs) {
    const uint8_t colorType = in.image.colorType;
    const bool sixteen = in.image.depth == 16;
    const bool gamma = in.file.find("gAMA") != std::string::npos;
    const int channels = colorType == 2 ? 3 : colorType == 6 ? 4 : 1;
    char size[48];
    std::snprintf(size, sizeof size, " [%.0f kB]", double(in.file.size()) / 1024);

    skin::TPNGGraphic ours;
    Decoded png, spng;
    try {
      ours.LoadFromMemory(in.file.data(), in.file.size());
    } catch (const std::exception& e) {
      table.Fail(in.name, std::string("ours: ") + e.what());
      continue;
    }
    if (!LibpngDecode(in.file, png)) table.Fail(in.name, "libpng failed");
    if (!SpngDecode(in.file, colorType, gamma, spng)) table.Fail(in.name, "libspng failed");
    const int dPng = MaxDifference(ours, png, channels, false, false);
    const int dSpng = MaxDifference(ours, spng, channels, channels >= 3, sixteen);
    if (dPng > (sixteen ? 1 : 0)) table.Fail(in.name, "libpng's output differs by " + std::to_string(dPng));
    if (dSpng > 0) table.Fail(in.name, "libspng's output differs by " + std::to_string(dSpng));

    const std::string& file = in.file;
    auto decodeOurs = [&] {
      skin::TPNGGraphic g;
      g.LoadFromMemory(file.data(), file.size());
      benchmark::DoNotOptimize(g.ScanLine(g.Height() - 1)[0]);
    };
    table.Add(in.name, "libpng", decodeOurs, [&] {
      Decoded d;
      LibpngDecode(file, d);
      benchmark::DoNotOptimize(d.pixels.back());
    }, Describe(dPng, 1) + size);
    table.Add(in.name, "libspng", decodeOurs, [&] {
      Decoded d;
      SpngDecode(file, colorType, gamma, d);
      benchmark::DoNotOptimize(d.pixels.back());
    }, Describe(dSpng, 0) + size);
  }
  return table.Finish();
}
