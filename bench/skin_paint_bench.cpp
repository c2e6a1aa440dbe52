// The skin pixel routines side by side with pixman doing the same work on the same sizes, in one run. Each pair is
// checked first: both sides run once on the same pixels and their outputs are compared.
//
//   blend_alpha      per-pixel alpha blend (AlphaBlendBitmap32) of random pixels onto an opaque image
//                    vs pixman OVER a8r8g8b8 -> a8r8g8b8 (the source premultiplied beforehand, as pixman keeps it)
//   blend_icon       the same with an icon: a transparent margin, an opaque body, anti-aliased edges
//   blend_const      constant-factor blend of two opaque images (BlendBitmapsConst, factor 128)
//                    vs pixman OVER x8r8g8b8 with a solid 50 % mask: for an opaque source both are the same mix
//   copy             row copy of a whole image (CopyPieceKeyed without a key) vs pixman SRC
//   fill             rectangle fill (FillRectBitmap32) vs pixman_fill
//   scale_nearest    1.5x nearest-pixel enlargement (StretchCopy) vs pixman NEAREST
//   shrink_box       halving with the box filter (StretchBitmapFiltered, kind 0: each target pixel the mean of two
//                    by two source pixels) vs pixman BILINEAR at exactly 1/2, which samples between the same four
//   enlarge_triangle 1.5x enlargement with the triangle filter (kind 1: linear interpolation between the two
//                    nearest pixels on each axis) vs pixman BILINEAR; both sample at pixel centres and repeat the
//                    edge pixels (pixman REPEAT_PAD)
//   enlarge_triangle_sizes  the same with the target size changing at every call among six: the resampler keeps
//                    the contributions of the last sizes it met (painting meets the same few sizes again and
//                    again); here every call computes them anew. Only at 256: six targets of 1536 x 1536 no
//                    longer fit the caches, and the run would measure the memory instead.
//
// The outputs may differ slightly where the arithmetic does: the blends mix with a shift by 8 (x / 256) where
// pixman divides by 255, and pixman's source is premultiplied (rounded); the check column gives the largest
// channel difference found. The smooth scalings are each compared with bilinear interpolation computed exactly
// (pixman's bilinear weights have 7 bits and its positions 16.16 fixed point, ours 16-bit weights).
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/side_by_side.h"
#include "skin/pixels/color_effects.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_helpers.h"

namespace {

using namespace skin;

uint32_t NextRandom(uint32_t& state) {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

// Random colours and alpha, never the key value; opaque: alpha 255 everywhere.
Bitmap RandomImage(int32_t size, uint32_t seed, bool opaque = false) {
  Bitmap b(size, size, pf32bit);
  for (int32_t y = 0; y < size; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(b.ScanLine(y));
    for (int32_t x = 0; x < size; ++x) {
      row[x] = NextRandom(seed);
      if (opaque) row[x] |= 0xFF000000u;
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

// A pixman image over a copy of a bitmap's pixels (premultiplied when asked, as pixman expects).
struct PixmanImage {
  std::vector<uint32_t> pixels;
  int32_t w = 0, h = 0;
  pixman_image_t* image = nullptr;
  PixmanImage(const Bitmap& b, bool premultiply, pixman_format_code_t format = PIXMAN_a8r8g8b8)
      : pixels(size_t(b.Width()) * size_t(b.Height())), w(b.Width()), h(b.Height()) {
    for (int32_t y = 0; y < h; ++y) {
      const uint32_t* row = reinterpret_cast<const uint32_t*>(b.ScanLine(y));
      for (int32_t x = 0; x < w; ++x) {
        uint32_t p = row[x];
        if (premultiply) {
          const uint32_t a = PixelA(p);
          p = MakePixel((PixelB(p) * a + 127) / 255, (PixelG(p) * a + 127) / 255, (PixelR(p) * a + 127) / 255, a);
        }
        pixels[size_t(y) * size_t(w) + size_t(x)] = p;
      }
    }
    image = pixman_image_create_bits(format, w, h, pixels.data(), w * 4);
  }
  PixmanImage(int32_t width, int32_t height) : pixels(size_t(width) * size_t(height)), w(width), h(height) {
    image = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, pixels.data(), w * 4);
  }
  ~PixmanImage() { pixman_image_unref(image); }
  PixmanImage(const PixmanImage&) = delete;
  PixmanImage& operator=(const PixmanImage&) = delete;
};

// The largest difference of the channels selected by `mask` (0xFFFFFFFF: all four).
int MaxDifference(const Bitmap& ours, const PixmanImage& theirs, uint32_t mask = 0xFFFFFFFFu) {
  if (ours.Width() != theirs.w || ours.Height() != theirs.h) return 1 << 20;
  int worst = 0;
  for (int32_t y = 0; y < theirs.h; ++y) {
    const uint32_t* o = reinterpret_cast<const uint32_t*>(ours.ScanLine(y));
    const uint32_t* t = theirs.pixels.data() + size_t(y) * size_t(theirs.w);
    for (int32_t x = 0; x < theirs.w; ++x)
      for (int c = 0; c < 4; ++c) {
        if (((mask >> (8 * c)) & 0xFF) == 0) continue;
        worst = std::max(worst, std::abs(int((o[x] >> (8 * c)) & 0xFF) - int((t[x] >> (8 * c)) & 0xFF)));
      }
  }
  return worst;
}

std::string Describe(int difference, const char* why = "") {
  if (difference == 0) return "identical";
  char text[96];
  std::snprintf(text, sizeof text, "differ by up to %d%s", difference, why);
  return text;
}

// Bilinear interpolation of a square image to m x m in doubles: target pixel centres mapped onto source pixel
// centres, the edge pixels repeated; visit(x, y, channel, value) for every channel of every target pixel.
template <class Visit>
void ExactBilinear(const Bitmap& src, int32_t m, Visit visit) {
  const int32_t n = src.Width();
  auto at = [&](int32_t x, int32_t y, int c) {
    x = std::clamp(x, 0, n - 1);
    y = std::clamp(y, 0, n - 1);
    return double((reinterpret_cast<const uint32_t*>(src.ScanLine(y))[x] >> (8 * c)) & 0xFF);
  };
  for (int32_t y = 0; y < m; ++y) {
    const double sy = (y + 0.5) * n / m - 0.5;
    const int32_t y0 = int32_t(std::floor(sy));
    const double fy = sy - y0;
    for (int32_t x = 0; x < m; ++x) {
      const double sx = (x + 0.5) * n / m - 0.5;
      const int32_t x0 = int32_t(std::floor(sx));
      const double fx = sx - x0;
      for (int c = 0; c < 4; ++c) {
        const double top = at(x0, y0, c) * (1 - fx) + at(x0 + 1, y0, c) * fx;
        const double bottom = at(x0, y0 + 1, c) * (1 - fx) + at(x0 + 1, y0 + 1, c) * fx;
        visit(x, y, c, top * (1 - fy) + bottom * fy);
      }
    }
  }
}

void SetScale(pixman_image_t* image, int32_t from, int32_t to) {
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed(double(from) / to), pixman_double_to_fixed(double(from) / to));
  pixman_image_set_transform(image, &t);
}

struct Run {
  sidebyside::Table& table;
  int32_t n;
  std::string Name(const char* what) const { return std::string(what) + "/" + std::to_string(n); }

  // A check, then the timing; allowed: the largest difference that the arithmetic explains.
  void Pair(const std::string& name, int difference, int allowed, const char* why, const std::function<void()>& ours,
            const std::function<void()>& theirs) {
    if (difference > allowed) table.Fail(name, "outputs differ by " + std::to_string(difference));
    table.Add(name, "pixman", ours, theirs, Describe(difference, why));
  }

  void Blend(bool icon) {
    const std::string name = Name(icon ? "blend_icon" : "blend_alpha");
    if (!table.Wanted(name)) return;
    const Bitmap src = icon ? IconImage(n) : RandomImage(n, 1);
    const Bitmap start = RandomImage(n, 2, true);
    Bitmap dst;
    dst.Assign(start);
    PixmanImage psrc(src, true), pdst(start, false);
    AlphaBlendBitmap32(TPoint{0, 0}, TRect{0, 0, n, n}, src, false, 0, clNone, false, EmptyCacheInfo, dst);
    pixman_image_composite32(PIXMAN_OP_OVER, psrc.image, nullptr, pdst.image, 0, 0, 0, 0, 0, 0, n, n);
    // x / 256 against x / 255 on a premultiplied (rounded) source.
    Pair(name, MaxDifference(dst, pdst), 2, " (x/256 against x/255)", [&] {
      AlphaBlendBitmap32(TPoint{0, 0}, TRect{0, 0, n, n}, src, false, 0, clNone, false, EmptyCacheInfo, dst);
      benchmark::ClobberMemory();
    }, [&] {
      pixman_image_composite32(PIXMAN_OP_OVER, psrc.image, nullptr, pdst.image, 0, 0, 0, 0, 0, 0, n, n);
      benchmark::ClobberMemory();
    });
  }

  void BlendConst() {
    const std::string name = Name("blend_const");
    if (!table.Wanted(name)) return;
    const Bitmap src = RandomImage(n, 3, true);
    const Bitmap start = RandomImage(n, 4, true);
    Bitmap dst;
    dst.Assign(start);
    PixmanImage psrc(src, false, PIXMAN_x8r8g8b8), pdst(start, false);
    const pixman_color_t half{0x8000, 0x8000, 0x8000, 0x8000};
    pixman_image_t* mask = pixman_image_create_solid_fill(&half);
    BlendBitmapsConst(dst, src, 128, TRect{0, 0, n, n}, TPoint{0, 0});
    pixman_image_composite32(PIXMAN_OP_OVER, psrc.image, mask, pdst.image, 0, 0, 0, 0, 0, 0, n, n);
    Pair(name, MaxDifference(dst, pdst), 1, " (x/256 against x/255)", [&] {
      BlendBitmapsConst(dst, src, 128, TRect{0, 0, n, n}, TPoint{0, 0});
      benchmark::ClobberMemory();
    }, [&] {
      pixman_image_composite32(PIXMAN_OP_OVER, psrc.image, mask, pdst.image, 0, 0, 0, 0, 0, 0, n, n);
      benchmark::ClobberMemory();
    });
    pixman_image_unref(mask);
  }

  void Copy() {
    const std::string name = Name("copy");
    if (!table.Wanted(name)) return;
    const Bitmap src = RandomImage(n, 5);
    Bitmap dst = RandomImage(n, 6);
    PixmanImage psrc(src, false), pdst(dst, false);
    CopyPieceKeyed(dst, src, 0, 0, TRect{0, 0, n, n}, clNone, false, EmptyCacheInfo);
    pixman_image_composite32(PIXMAN_OP_SRC, psrc.image, nullptr, pdst.image, 0, 0, 0, 0, 0, 0, n, n);
    Pair(name, MaxDifference(dst, pdst), 0, "", [&] {
      CopyPieceKeyed(dst, src, 0, 0, TRect{0, 0, n, n}, clNone, false, EmptyCacheInfo);
      benchmark::ClobberMemory();
    }, [&] {
      pixman_image_composite32(PIXMAN_OP_SRC, psrc.image, nullptr, pdst.image, 0, 0, 0, 0, 0, 0, n, n);
      benchmark::ClobberMemory();
    });
  }

  void Fill() {
    const std::string name = Name("fill");
    if (!table.Wanted(name)) return;
    Bitmap dst(n, n, pf32bit);
    PixmanImage pdst(n, n);
    FillRectBitmap32(dst, TRect{0, 0, n, n}, RGBColor(10, 20, 30), 255);
    pixman_fill(pdst.pixels.data(), n, 32, 0, 0, n, n, 0xFF0A141E);
    Pair(name, MaxDifference(dst, pdst), 0, "", [&] {
      FillRectBitmap32(dst, TRect{0, 0, n, n}, RGBColor(10, 20, 30), 255);
      benchmark::ClobberMemory();
    }, [&] {
      pixman_fill(pdst.pixels.data(), n, 32, 0, 0, n, n, 0xFF0A141E);
      benchmark::ClobberMemory();
    });
  }

  void ScaleNearest() {
    const std::string name = Name("scale_nearest");
    if (!table.Wanted(name)) return;
    const int32_t m = n * 3 / 2;
    const Bitmap src = RandomImage(n, 7);
    Bitmap dst(m, m, pf32bit);
    PixmanImage psrc(src, false), pdst(m, m);
    // Ours takes the pixel under each target centre, a centre on a border belonging to the pixel on its right;
    // pixman leans the other way and truncates its 16.16 scale. Its scale rounded up and moved by its smallest
    // step, pixman samples the same pixels.
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_double_to_fixed(double(n) / m) + 1, pixman_double_to_fixed(double(n) / m) + 1);
    pixman_transform_translate(&t, nullptr, pixman_fixed_e, pixman_fixed_e);
    pixman_image_set_transform(psrc.image, &t);
    pixman_image_set_filter(psrc.image, PIXMAN_FILTER_NEAREST, nullptr, 0);
    StretchCopy(dst, TRect{0, 0, m, m}, src, TRect{0, 0, n, n});
    pixman_image_composite32(PIXMAN_OP_SRC, psrc.image, nullptr, pdst.image, 0, 0, 0, 0, 0, 0, m, m);
    const int difference = MaxDifference(dst, pdst);
    if (difference > 0) table.Fail(name, "outputs differ");
    table.Add(name, "pixman", [&] {
      StretchCopy(dst, TRect{0, 0, m, m}, src, TRect{0, 0, n, n});
      benchmark::ClobberMemory();
    }, [&] {
      pixman_image_composite32(PIXMAN_OP_SRC, psrc.image, nullptr, pdst.image, 0, 0, 0, 0, 0, 0, m, m);
      benchmark::ClobberMemory();
    }, Describe(difference));
  }

  // filter kind, target size m; pixman BILINEAR on the same pixels (not premultiplied: with opaque pixels there
  // is no difference, and both sides then interpolate the same channel values).
  void Smooth(const char* what, int filter, int32_t m) {
    const std::string name = Name(what);
    if (!table.Wanted(name)) return;
    const Bitmap src = RandomImage(n, 8, true);
    Bitmap dst;
    PixmanImage psrc(src, false), pdst(m, m);
    SetScale(psrc.image, n, m);
    pixman_image_set_repeat(psrc.image, PIXMAN_REPEAT_PAD);
    pixman_image_set_filter(psrc.image, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    StretchBitmapFiltered(src, dst, m, m, filter);
    pixman_image_composite32(PIXMAN_OP_SRC, psrc.image, nullptr, pdst.image, 0, 0, 0, 0, 0, 0, m, m);
    // Both against bilinear interpolation computed exactly: ours rounds down twice (16-bit weights, one pass
    // after the other), pixman has 7-bit weights and 16.16 positions (its scale 2/3 is not exact: the error
    // grows to the right and down, and random pixels make the most of it).
    double oursOff = 0, theirsOff = 0;
    ExactBilinear(src, m, [&](int32_t x, int32_t y, int c, double v) {
      const auto channel = [&](uint32_t p) { return double((p >> (8 * c)) & 0xFF); };
      oursOff = std::max(oursOff, std::abs(channel(reinterpret_cast<const uint32_t*>(dst.ScanLine(y))[x]) - v));
      theirsOff = std::max(theirsOff, std::abs(channel(pdst.pixels[size_t(y) * size_t(m) + size_t(x)]) - v));
    });
    // Two roundings down, each under 1, and weights rounded to 1/65536: under 2.01.
    if (oursOff > 2.01) table.Fail(name, "ours is not bilinear interpolation");
    char check[96];
    std::snprintf(check, sizeof check, "off exact bilinear by: ours %.3f, pixman %.3f", oursOff, theirsOff);
    table.Add(name, "pixman", [&] {
      StretchBitmapFiltered(src, dst, m, m, filter);
      benchmark::ClobberMemory();
    }, [&] {
      pixman_image_composite32(PIXMAN_OP_SRC, psrc.image, nullptr, pdst.image, 0, 0, 0, 0, 0, 0, m, m);
      benchmark::ClobberMemory();
    }, check);
  }

  // The same, the target size changing at every call among six (more sizes than the resampler keeps prepared),
  // so that every call prepares its contributions again; pixman's transform changes with it.
  void SmoothSizes(const char* what, int filter, int32_t m) {
    const std::string name = Name(what);
    if (!table.Wanted(name)) return;
    const Bitmap src = RandomImage(n, 8, true);
    Bitmap dst[6];  // one image for each size, on both sides
    PixmanImage psrc(src, false), pdst0(m, m), pdst1(m - 1, m - 1), pdst2(m - 2, m - 2), pdst3(m - 3, m - 3),
        pdst4(m - 4, m - 4), pdst5(m - 5, m - 5);
    PixmanImage* pdst[6] = {&pdst0, &pdst1, &pdst2, &pdst3, &pdst4, &pdst5};
    pixman_image_set_repeat(psrc.image, PIXMAN_REPEAT_PAD);
    pixman_image_set_filter(psrc.image, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    int oursNext = 0, theirsNext = 0;
    table.Add(name, "pixman", [&] {
      const int32_t size = m - oursNext;
      StretchBitmapFiltered(src, dst[oursNext], size, size, filter);
      oursNext = (oursNext + 1) % 6;
      benchmark::ClobberMemory();
    }, [&] {
      const int32_t size = m - theirsNext;
      SetScale(psrc.image, n, size);
      pixman_image_composite32(PIXMAN_OP_SRC, psrc.image, nullptr, pdst[theirsNext]->image, 0, 0, 0, 0, 0, 0, size,
                               size);
      theirsNext = (theirsNext + 1) % 6;
      benchmark::ClobberMemory();
    }, "as above");
  }
};

}  // namespace

int main(int argc, char** argv) {
  sidebyside::Table table(sidebyside::Options::FromArgs(argc, argv));
  for (int32_t n : {256, 1024}) {
    Run run{table, n};
    run.Blend(false);
    run.Blend(true);
    run.BlendConst();
    run.Copy();
    run.Fill();
    run.ScaleNearest();
    run.Smooth("shrink_box", rfBox, n / 2);
    run.Smooth("enlarge_triangle", rfTriangle, n * 3 / 2);
    if (n == 256) run.SmoothSizes("enlarge_triangle_sizes", rfTriangle, n * 3 / 2);
  }
  return table.Finish();
}
