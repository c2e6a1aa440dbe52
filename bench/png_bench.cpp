// PNG decoding: this reader against libpng and libspng on the same files, in one run; a table of time ratios
// (ours / theirs) closes the run.
//
//   rgba_<n>     an n x n RGBA image of 8 bits (smooth colours, noise, an alpha shape), written by libpng with
//                its default filter choice and compression; decoded to B, G, R, A pixels (libpng with
//                png_set_bgr; libspng to R, G, B, A, its nearest format)
//   palette_<n>  an n x n palette image of 8 bits (256 colours); decoded to palette indices
//
// Every reader checks the chunk CRCs and the zlib checksum, and decodes from memory into a new image.
#include <benchmark/benchmark.h>
#include <png.h>
#include <spng.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "skin/paint/acpng.h"

namespace {

uint32_t NextRandom(uint32_t& s) {
  s ^= s << 13;
  s ^= s >> 17;
  s ^= s << 5;
  return s;
}

struct Output {
  std::string bytes;
};

void WriteBytes(png_structp png, png_bytep data, size_t length) {
  static_cast<Output*>(png_get_io_ptr(png))->bytes.append(reinterpret_cast<const char*>(data), length);
}
void FlushBytes(png_structp) {}

bool EncodeFrame(Output& out, int size, int colorType, std::vector<png_bytep>& rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &out, WriteBytes, FlushBytes);
  png_set_IHDR(png, info, png_uint_32(size), png_uint_32(size), 8, colorType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  png_color palette[256];
  if (colorType == PNG_COLOR_TYPE_PALETTE) {
    for (int i = 0; i < 256; ++i)
      palette[i] = png_color{png_byte(i), png_byte((i * 7) & 0xFF), png_byte(255 - i)};
    png_set_PLTE(png, info, palette, 256);
  }
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

// Smooth gradients with a little noise and an anti-aliased disc of alpha: roughly what skin images hold.
std::string MakeFile(int size, bool palette) {
  const int channels = palette ? 1 : 4;
  std::vector<uint8_t> pixels(size_t(size) * size * channels);
  uint32_t s = 12345;
  const double c = size / 2.0, r = size * 0.4;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      uint8_t* p = pixels.data() + (size_t(y) * size + x) * channels;
      const int noise = int(NextRandom(s) % 9) - 4;
      if (palette) {
        p[0] = uint8_t(((x / 16 + y / 16) * 9 + (noise > 2 ? 1 : 0)) & 0xFF);
        continue;
      }
      p[0] = uint8_t(std::clamp(x * 255 / size + noise, 0, 255));
      p[1] = uint8_t(std::clamp(y * 255 / size + noise, 0, 255));
      p[2] = uint8_t(std::clamp(int(128 + 100 * std::sin((x + y) * 0.02)) + noise, 0, 255));
      const double d = std::hypot(x - c, y - c);
      p[3] = uint8_t(d < r - 2 ? 255 : d > r + 2 ? 0 : int(255 * (r + 2 - d) / 4));
    }
  std::vector<png_bytep> rows(static_cast<size_t>(size));
  for (int y = 0; y < size; ++y) rows[size_t(y)] = pixels.data() + size_t(y) * size * channels;
  Output out;
  if (!EncodeFrame(out, size, palette ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGBA, rows))
    throw std::runtime_error("libpng could not write the benchmark image");
  return out.bytes;
}

const std::string& File(int size, bool palette) {
  static std::map<std::pair<int, bool>, std::string> files;
  auto& f = files[{size, palette}];
  if (f.empty()) f = MakeFile(size, palette);
  return f;
}

void Ours(benchmark::State& state, int size, bool palette) {
  const std::string& file = File(size, palette);
  for (auto _ : state) {
    skin::TPNGGraphic g;
    g.LoadFromMemory(file.data(), file.size());
    benchmark::DoNotOptimize(g.ScanLine(size - 1)[0]);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * size * size);
  state.counters["file_kB"] = double(file.size()) / 1024;
}

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

bool LibpngFrame(ReadState& in, std::vector<uint8_t>& pixels, std::vector<png_bytep>& rows, bool palette) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &in, ReadBytes);
  png_read_info(png, info);
  if (!palette) png_set_bgr(png);
  png_read_update_info(png, info);
  const size_t rowBytes = png_get_rowbytes(png, info);
  const png_uint_32 h = png_get_image_height(png, info);
  pixels.resize(rowBytes * h);
  rows.resize(h);
  for (png_uint_32 y = 0; y < h; ++y) rows[y] = pixels.data() + size_t(y) * rowBytes;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

void Libpng(benchmark::State& state, int size, bool palette) {
  const std::string& file = File(size, palette);
  for (auto _ : state) {
    std::vector<uint8_t> pixels;  // a new image each time, as the others make
    std::vector<png_bytep> rows;
    ReadState in{&file, 0};
    if (!LibpngFrame(in, pixels, rows, palette)) state.SkipWithError("libpng failed");
    benchmark::DoNotOptimize(pixels.back());
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * size * size);
}

void Spng(benchmark::State& state, int size, bool palette) {
  const std::string& file = File(size, palette);
  const int fmt = palette ? SPNG_FMT_PNG : SPNG_FMT_RGBA8;
  for (auto _ : state) {
    spng_ctx* ctx = spng_ctx_new(0);
    spng_set_png_buffer(ctx, file.data(), file.size());
    size_t bytes = 0;
    spng_decoded_image_size(ctx, fmt, &bytes);
    std::vector<uint8_t> pixels(bytes);
    if (spng_decode_image(ctx, pixels.data(), pixels.size(), fmt, 0) != 0) state.SkipWithError("libspng failed");
    spng_ctx_free(ctx);
    benchmark::DoNotOptimize(pixels.back());
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * size * size);
}

void Register() {
  for (bool palette : {false, true})
    for (int size : {256, 2048}) {
      const std::string name = std::string(palette ? "palette_" : "rgba_") + std::to_string(size);
      benchmark::RegisterBenchmark((name + "/ours").c_str(), [=](benchmark::State& s) { Ours(s, size, palette); })
          ->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark((name + "/libpng").c_str(), [=](benchmark::State& s) { Libpng(s, size, palette); })
          ->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark((name + "/libspng").c_str(), [=](benchmark::State& s) { Spng(s, size, palette); })
          ->Unit(benchmark::kMicrosecond);
    }
}

// Console output as usual, plus the real time of every run kept for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> times;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration) times[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Register();
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n%-14s %11s %11s %11s %10s %11s\n", "workload", "ours (us)", "libpng (us)", "spng (us)",
              "ours/png", "ours/spng");
  for (const auto& [name, time] : reporter.times) {
    const auto cut = name.find("/ours");
    if (cut == std::string::npos) continue;
    const std::string base = name.substr(0, cut);
    const auto png = reporter.times.find(base + "/libpng");
    const auto spng = reporter.times.find(base + "/libspng");
    if (png == reporter.times.end() || spng == reporter.times.end()) continue;
    std::printf("%-14s %11.1f %11.1f %11.1f %10.2f %11.2f\n", base.c_str(), time, png->second, spng->second,
                time / png->second, time / spng->second);
  }
  benchmark::Shutdown();
  return 0;
}
