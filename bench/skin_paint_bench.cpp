// The skin pixel routines side by side with pixman doing the same work on the same sizes, in one run; a table of
// time ratios (ours / pixman) closes the run.
//
//   blend_alpha   per-pixel alpha blend (AlphaBlendBitmap32)       vs pixman OVER a8r8g8b8 -> a8r8g8b8
//   blend_icon    the same on an icon-like image (transparent, opaque and edge runs)
//   blend_const   constant-factor blend (BlendBitmapsConst, 128)   vs pixman OVER with a solid 50 % mask
//   copy          row copy of a whole image (CopyPieceKeyed, no key) vs pixman SRC
//   copy_keyed    key-colour copy (CopyExceptColor)               vs pixman SRC (the nearest pixman operation)
//   fill          rectangle fill (FillRectBitmap32)                vs pixman_fill
//   scale_nearest 1.5x nearest-pixel enlargement (StretchCopy)     vs pixman NEAREST transform
//   shrink_*      halving with a filter (StretchBitmapFiltered)    vs pixman SEPARABLE_CONVOLUTION of that kernel
//                 (its CUBIC kernel is the Mitchell-Netravali cubic)
//   enlarge_*     1.5x enlargement with a filter                  vs pixman SEPARABLE_CONVOLUTION of that kernel
//   enlarge_tri_vs_bilinear                                         vs pixman BILINEAR (its fastest smooth scaling)
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "skin/paint/color_effects.h"
#include "skin/paint/graph_utils.h"
#include "skin/paint/pixel_helpers.h"

namespace {

using namespace skin;

uint32_t NextRandom(uint32_t& state) {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

// Random colours and alpha, never the key value.
Bitmap RandomImage(int32_t size, uint32_t seed) {
  Bitmap b(size, size, pf32bit);
  for (int32_t y = 0; y < size; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(b.ScanLine(y));
    for (int32_t x = 0; x < size; ++x) {
      row[x] = NextRandom(seed);
      if (row[x] == KeyPixel) row[x] = 0;
    }
  }
  return b;
}

// An icon-like image: a transparent margin, an opaque body and anti-aliased edges.
Bitmap IconImage(int32_t size) {
  Bitmap b(size, size, pf32bit);
  const int32_t c = size / 2, r = size * 3 / 8;
  for (int32_t y = 0; y < size; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(b.ScanLine(y));
    for (int32_t x = 0; x < size; ++x) {
      const int32_t d2 = (x - c) * (x - c) + (y - c) * (y - c);
      const int32_t edge = r * r - d2;
      uint32_t a = edge <= 0 ? 0 : (edge >= 4 * r ? 255 : uint32_t(edge * 255 / (4 * r)));
      row[x] = a == 0 ? 0 : MakePixel(uint32_t(x & 0xFF), uint32_t(y & 0xFF), 128, a);
    }
  }
  return b;
}

// A pixman image over a copy of a bitmap's pixels (premultiplied, as pixman expects).
struct PixmanImage {
  std::vector<uint32_t> pixels;
  pixman_image_t* image = nullptr;
  PixmanImage(const Bitmap& b, bool premultiply) : pixels(size_t(b.Width()) * size_t(b.Height())) {
    for (int32_t y = 0; y < b.Height(); ++y) {
      const uint32_t* row = reinterpret_cast<const uint32_t*>(b.ScanLine(y));
      for (int32_t x = 0; x < b.Width(); ++x) {
        uint32_t p = row[x];
        if (premultiply) {
          const uint32_t a = PixelA(p);
          p = MakePixel(PixelB(p) * a / 255, PixelG(p) * a / 255, PixelR(p) * a / 255, a);
        }
        pixels[size_t(y) * size_t(b.Width()) + size_t(x)] = p;
      }
    }
    image = pixman_image_create_bits(PIXMAN_a8r8g8b8, b.Width(), b.Height(), pixels.data(), b.Width() * 4);
  }
  PixmanImage(int32_t w, int32_t h) : pixels(size_t(w) * size_t(h)) {
    image = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, pixels.data(), w * 4);
  }
  ~PixmanImage() { pixman_image_unref(image); }
  PixmanImage(const PixmanImage&) = delete;
  PixmanImage& operator=(const PixmanImage&) = delete;
};

void SetPixelsProcessed(benchmark::State& state, int64_t pixels) {
  state.SetItemsProcessed(int64_t(state.iterations()) * pixels);
}

// --- blending ----------------------------------------------------------------------------------------------

void BlendAlphaOurs(benchmark::State& state, bool icon) {
  const int32_t n = int32_t(state.range(0));
  const Bitmap src = icon ? IconImage(n) : RandomImage(n, 1);
  Bitmap dst = RandomImage(n, 2);
  for (auto _ : state) {
    AlphaBlendBitmap32(TPoint{0, 0}, TRect{0, 0, n, n}, src, false, 0, clNone, false, EmptyCacheInfo, dst);
    benchmark::ClobberMemory();
  }
  SetPixelsProcessed(state, int64_t(n) * n);
}
void BlendAlphaPixman(benchmark::State& state, bool icon) {
  const int32_t n = int32_t(state.range(0));
  PixmanImage src(icon ? IconImage(n) : RandomImage(n, 1), true);
  PixmanImage dst(RandomImage(n, 2), false);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, src.image, nullptr, dst.image, 0, 0, 0, 0, 0, 0, n, n);
    benchmark::ClobberMemory();
  }
  SetPixelsProcessed(state, int64_t(n) * n);
}

void BlendConstOurs(benchmark::State& state) {
  const int32_t n = int32_t(state.range(0));
  const Bitmap src = RandomImage(n, 3);
  Bitmap dst = RandomImage(n, 4);
  for (auto _ : state) {
    BlendBitmapsConst(dst, src, 128, TRect{0, 0, n, n}, TPoint{0, 0});
    benchmark::ClobberMemory();
  }
  SetPixelsProcessed(state, int64_t(n) * n);
}
void BlendConstPixman(benchmark::State& state) {
  const int32_t n = int32_t(state.range(0));
  PixmanImage src(RandomImage(n, 3), true);
  PixmanImage dst(RandomImage(n, 4), false);
  const pixman_color_t half{0x8000, 0x8000, 0x8000, 0x8000};
  pixman_image_t* mask = pixman_image_create_solid_fill(&half);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, src.image, mask, dst.image, 0, 0, 0, 0, 0, 0, n, n);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(mask);
  SetPixelsProcessed(state, int64_t(n) * n);
}

// --- copying and filling -------------------------------------------------------------------------------------

void CopyOurs(benchmark::State& state, bool keyed) {
  const int32_t n = int32_t(state.range(0));
  Bitmap src = RandomImage(n, 5);
  if (keyed) {
    for (int32_t y = 0; y < n; y += 3) FillRectBitmap32(src, TRect{y % 7, y, n / 2, y + 1}, KeyColor, 0);
  }
  Bitmap dst = RandomImage(n, 6);
  for (auto _ : state) {
    if (keyed) {
      CopyExceptColor(dst, src, 0, 0, KeyColor);
    } else {
      CopyPieceKeyed(dst, src, 0, 0, TRect{0, 0, n, n}, clNone, false, EmptyCacheInfo);
    }
    benchmark::ClobberMemory();
  }
  SetPixelsProcessed(state, int64_t(n) * n);
}
void CopyPixman(benchmark::State& state) {
  const int32_t n = int32_t(state.range(0));
  PixmanImage src(RandomImage(n, 5), false);
  PixmanImage dst(RandomImage(n, 6), false);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, src.image, nullptr, dst.image, 0, 0, 0, 0, 0, 0, n, n);
    benchmark::ClobberMemory();
  }
  SetPixelsProcessed(state, int64_t(n) * n);
}

void FillOurs(benchmark::State& state) {
  const int32_t n = int32_t(state.range(0));
  Bitmap dst(n, n, pf32bit);
  for (auto _ : state) {
    FillRectBitmap32(dst, TRect{0, 0, n, n}, RGBColor(10, 20, 30), 255);
    benchmark::ClobberMemory();
  }
  SetPixelsProcessed(state, int64_t(n) * n);
}
void FillPixman(benchmark::State& state) {
  const int32_t n = int32_t(state.range(0));
  PixmanImage dst(n, n);
  for (auto _ : state) {
    pixman_fill(dst.pixels.data(), n, 32, 0, 0, n, n, 0xFF1E140A);
    benchmark::ClobberMemory();
  }
  SetPixelsProcessed(state, int64_t(n) * n);
}

// --- resampling ------------------------------------------------------------------------------------------------

void ScaleNearestOurs(benchmark::State& state) {
  const int32_t n = int32_t(state.range(0)), m = n * 3 / 2;
  const Bitmap src = RandomImage(n, 7);
  Bitmap dst(m, m, pf32bit);
  for (auto _ : state) {
    StretchCopy(dst, TRect{0, 0, m, m}, src, TRect{0, 0, n, n});
    benchmark::ClobberMemory();
  }
  SetPixelsProcessed(state, int64_t(m) * m);
}

void SetScale(pixman_image_t* image, int32_t from, int32_t to) {
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed(double(from) / to), pixman_double_to_fixed(double(from) / to));
  pixman_image_set_transform(image, &t);
}

void ScaleNearestPixman(benchmark::State& state) {
  const int32_t n = int32_t(state.range(0)), m = n * 3 / 2;
  PixmanImage src(RandomImage(n, 7), false);
  PixmanImage dst(m, m);
  SetScale(src.image, n, m);
  pixman_image_set_filter(src.image, PIXMAN_FILTER_NEAREST, nullptr, 0);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, src.image, nullptr, dst.image, 0, 0, 0, 0, 0, 0, m, m);
    benchmark::ClobberMemory();
  }
  SetPixelsProcessed(state, int64_t(m) * m);
}

void FilteredOurs(benchmark::State& state, int filter, int num, int den) {
  const int32_t n = int32_t(state.range(0)), m = n * num / den;
  const Bitmap src = RandomImage(n, 8);
  Bitmap dst;
  for (auto _ : state) {
    StretchBitmapFiltered(src, dst, m, m, filter);
    benchmark::ClobberMemory();
  }
  SetPixelsProcessed(state, int64_t(m) * m);
}

void FilteredPixman(benchmark::State& state, pixman_kernel_t kernel, int num, int den, bool bilinear) {
  const int32_t n = int32_t(state.range(0)), m = n * num / den;
  PixmanImage src(RandomImage(n, 8), true);
  PixmanImage dst(m, m);
  SetScale(src.image, n, m);
  pixman_image_set_repeat(src.image, PIXMAN_REPEAT_PAD);
  if (bilinear) {
    pixman_image_set_filter(src.image, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  } else {
    // Shrinking: the kernel widened to the shrink factor, as the resampler does (an impulse reconstruction
    // sampled by the kernel). Enlarging: the kernel as reconstruction, sampled at the pixel centres.
    const double scale = double(n) / m;
    const bool shrink = num < den;
    int count = 0;
    pixman_fixed_t* params = pixman_filter_create_separable_convolution(
        &count, pixman_double_to_fixed(shrink ? scale : 1.0), pixman_double_to_fixed(shrink ? scale : 1.0),
        shrink ? PIXMAN_KERNEL_IMPULSE : kernel, shrink ? PIXMAN_KERNEL_IMPULSE : kernel,
        shrink ? kernel : PIXMAN_KERNEL_IMPULSE, shrink ? kernel : PIXMAN_KERNEL_IMPULSE, 4, 4);
    pixman_image_set_filter(src.image, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params, count);
    std::free(params);
  }
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, src.image, nullptr, dst.image, 0, 0, 0, 0, 0, 0, m, m);
    benchmark::ClobberMemory();
  }
  SetPixelsProcessed(state, int64_t(m) * m);
}

void Register() {
  auto both = [](const std::string& name, auto ours, auto theirs) {
    for (int size : {256, 1024}) {
      benchmark::RegisterBenchmark((name + "/ours").c_str(), ours)->Arg(size)->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark((name + "/pixman").c_str(), theirs)->Arg(size)->Unit(benchmark::kMicrosecond);
    }
  };
  both("blend_alpha", [](benchmark::State& s) { BlendAlphaOurs(s, false); },
       [](benchmark::State& s) { BlendAlphaPixman(s, false); });
  both("blend_icon", [](benchmark::State& s) { BlendAlphaOurs(s, true); },
       [](benchmark::State& s) { BlendAlphaPixman(s, true); });
  both("blend_const", BlendConstOurs, BlendConstPixman);
  both("copy", [](benchmark::State& s) { CopyOurs(s, false); }, CopyPixman);
  both("copy_keyed", [](benchmark::State& s) { CopyOurs(s, true); }, CopyPixman);
  both("fill", FillOurs, FillPixman);
  both("scale_nearest", ScaleNearestOurs, ScaleNearestPixman);
  both("shrink_triangle", [](benchmark::State& s) { FilteredOurs(s, rfTriangle, 1, 2); },
       [](benchmark::State& s) { FilteredPixman(s, PIXMAN_KERNEL_LINEAR, 1, 2, false); });
  both("shrink_mitchell", [](benchmark::State& s) { FilteredOurs(s, rfMitchell, 1, 2); },
       [](benchmark::State& s) { FilteredPixman(s, PIXMAN_KERNEL_CUBIC, 1, 2, false); });
  both("shrink_lanczos3", [](benchmark::State& s) { FilteredOurs(s, rfLanczos, 1, 2); },
       [](benchmark::State& s) { FilteredPixman(s, PIXMAN_KERNEL_LANCZOS3, 1, 2, false); });
  both("enlarge_triangle", [](benchmark::State& s) { FilteredOurs(s, rfTriangle, 3, 2); },
       [](benchmark::State& s) { FilteredPixman(s, PIXMAN_KERNEL_LINEAR, 3, 2, false); });
  both("enlarge_lanczos3", [](benchmark::State& s) { FilteredOurs(s, rfLanczos, 3, 2); },
       [](benchmark::State& s) { FilteredPixman(s, PIXMAN_KERNEL_LANCZOS3, 3, 2, false); });
  both("enlarge_tri_vs_bilinear", [](benchmark::State& s) { FilteredOurs(s, rfTriangle, 3, 2); },
       [](benchmark::State& s) { FilteredPixman(s, PIXMAN_KERNEL_LINEAR, 3, 2, true); });
}

// Console output as usual, plus the real time of every run kept for the ratio table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> times;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.run_type == Run::RT_Iteration) times[r.benchmark_name()] = r.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Register();
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\n%-28s %12s %12s %8s\n", "workload", "ours (us)", "pixman (us)", "ratio");
  for (const auto& [name, time] : reporter.times) {
    const auto cut = name.find("/ours/");
    if (cut == std::string::npos) continue;
    const std::string label = name.substr(0, cut) + name.substr(cut + 5);
    const auto other = reporter.times.find(name.substr(0, cut) + "/pixman/" + name.substr(cut + 6));
    if (other == reporter.times.end()) continue;
    std::printf("%-28s %12.1f %12.1f %8.2f\n", label.c_str(), time, other->second, time / other->second);
  }
  benchmark::Shutdown();
  return 0;
}
