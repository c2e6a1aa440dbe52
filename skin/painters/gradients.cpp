#include "skin/painters/gradients.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "skin/pixels/pixel_access.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/pixels/pixel_kernels.h"

namespace skin {

using detail::GetView32;
using detail::View32;

// The build's own triangle-gradient entry point (gradients_posix.cpp, gradients_win32.cpp).
GradientFillFunction PaintersSystemGradientFill();

namespace {

bool procChosen = false;
GradientFillFunction chosenProc = nullptr;

uint32_t RoundByte(double v) { return uint32_t(std::clamp(std::nearbyint(v), 0.0, 255.0)); }

// Colours (opaque pixels) along one axis of n pixels, by the step rules of the rows mode (byRows: each step
// (n + extra) x Percent div 100 long) or of the columns mode (Round(Percent x n / 100) long); entries that no step
// paints keep `unset`.
void StepColours(const GradientStepArray& steps, int32_t n, int32_t extra, bool byRows, uint32_t unset,
                 std::vector<uint32_t>& out) {
  out.assign(size_t(n), unset);
  if (n == 1) {  // one pixel is no step of more than one pixel: it takes the first colour
    out[0] = ColorToPixel(ColorToRGB(steps[0].Color1), 255);
    return;
  }
  int64_t pos = byRows ? extra : 0;
  const int64_t last = n - 1;
  for (size_t i = 0; i < steps.size(); ++i) {
    const GradientStep& st = steps[i];
    const int64_t span = byRows ? (int64_t(n) + extra) * st.Percent / 100
                                : int64_t(std::nearbyint(double(st.Percent) * double(n) / 100.0));
    int64_t end = std::min(pos + span, last);
    if (i + 1 == steps.size()) end = last;
    if (end - pos >= 1) {
      const uint32_t c1 = uint32_t(ColorToRGB(st.Color1)), c2 = uint32_t(ColorToRGB(st.Color2));
      const int64_t count = end - pos;
      for (int64_t k = 0; k <= count; ++k) {
        const int64_t at = pos + k;
        if (at < 0 || at >= n) continue;
        if (c1 == c2) {
          out[size_t(at)] = ColorToPixel(TColor(c1), 255);
          continue;
        }
        const double f = double(k) / double(count);
        auto ch = [f](uint32_t a, uint32_t b) { return RoundByte(double(a) + (double(b) - double(a)) * f); };
        out[size_t(at)] = MakePixel(ch(ColorBlue(c1), ColorBlue(c2)), ch(ColorGreen(c1), ColorGreen(c2)),
                                    ch(ColorRed(c1), ColorRed(c2)), 255);
      }
    }
    pos = std::max(pos, end);
  }
}

// The five corner and centre colours of the triangle gradient.
void TriangleGradient(Bitmap& bmp, const TRect& r, const GradientStepArray& steps) {
  const GradientFillFunction fill = GradientFillProc();
  if (fill == nullptr) return;
  const int32_t w = r.Right - r.Left, h = r.Bottom - r.Top;
  const TPoint at[5] = {{r.Left, r.Top}, {r.Left + w / 2, r.Top + h / 2}, {r.Right, r.Top}, {r.Right, r.Bottom},
                        {r.Left, r.Bottom}};
  GradientVertex v[5];
  TColor colour = 0;
  for (size_t i = 0; i < 5; ++i) {
    if (i < steps.size()) colour = ColorToRGB(steps[i].Color1);
    const uint32_t c = uint32_t(colour);
    v[i] = GradientVertex{at[i].X, at[i].Y, uint16_t(ColorRed(c) << 8), uint16_t(ColorGreen(c) << 8),
                          uint16_t(ColorBlue(c) << 8), 0xFF00};
  }
  const GradientTriangle t[4] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
  if (fill(bmp, v, 5, t, 4)) SetAlphaRect(bmp, r, 255, clNone);
}

}  // namespace

GradientFillFunction GradientFillProc() { return procChosen ? chosenProc : PaintersSystemGradientFill(); }

GradientFillFunction SetGradientFillProc(GradientFillFunction proc) {
  const GradientFillFunction previous = GradientFillProc();
  procChosen = true;
  chosenProc = proc;
  return previous;
}

void PaintGradient(Bitmap& bmp, const TRect& R, const GradientStepArray& steps, int32_t extra, int32_t) {
  View32 v;
  if (steps.empty() || !GetView32(bmp, v)) return;
  const TRect r = ClipRectToSize(R, v.width, v.height);
  if (RectIsEmpty(r)) return;
  const int32_t w = r.Right - r.Left, h = r.Bottom - r.Top;
  std::vector<uint32_t> colours;
  switch (steps[0].Mode) {
    case gmRows: {
      StepColours(steps, h, extra, true, 0, colours);
      for (int32_t y = 0; y < h; ++y)
        if (colours[size_t(y)] != 0) kernels::RowFill(v.Row(r.Top + y) + r.Left, w, colours[size_t(y)]);
      break;
    }
    case gmColumns: {
      StepColours(steps, w, 0, false, 0, colours);
      uint32_t* top = v.Row(r.Top) + r.Left;
      for (int32_t x = 0; x < w; ++x)
        if (colours[size_t(x)] != 0) top[x] = colours[size_t(x)];
      for (int32_t y = 1; y < h; ++y) std::memcpy(v.Row(r.Top + y) + r.Left, top, size_t(w) * 4);
      break;
    }
    case gmTriangles:
      TriangleGradient(bmp, r, steps);
      break;
    default:
      break;
  }
}

void PaintGradientVariant(Bitmap& bmp, const TRect& R, const GradientStepArray& steps, uint8_t alpha,
                          int32_t textureWeight, const TRect& srcRect, const Bitmap& texture) {
  View32 v, t;
  if (steps.empty() || steps[0].Mode > gmColumns || steps[0].Mode < gmRows) return;
  if (!GetView32(bmp, v) || !GetView32(texture, t)) return;
  const TRect r = ClipRectToSize(R, v.width, v.height);
  TRect tex = RectIsEmpty(srcRect) ? TRect{0, 0, t.width, t.height} : ClipRectToSize(srcRect, t.width, t.height);
  if (RectIsEmpty(r) || RectIsEmpty(tex)) return;
  const int32_t w = r.Right - r.Left, h = r.Bottom - r.Top;
  const int32_t tw = tex.Right - tex.Left, th = tex.Bottom - tex.Top;
  const uint32_t tw8 = uint32_t(std::clamp(textureWeight, 0, 255)), gw8 = 256 - tw8;
  const uint32_t a = uint32_t(alpha) << 24;
  auto mix = [tw8, gw8, a](uint32_t tp, uint32_t gp) {
    return MakePixel((PixelB(tp) * tw8 + PixelB(gp) * gw8) >> 8, (PixelG(tp) * tw8 + PixelG(gp) * gw8) >> 8,
                     (PixelR(tp) * tw8 + PixelR(gp) * gw8) >> 8, 0) |
           a;
  };
  std::vector<uint32_t> colours;
  const bool rows = steps[0].Mode == gmRows;
  StepColours(steps, rows ? h : w, 0, rows, 0, colours);
  // Entries no step reached take the nearest one painted before them.
  uint32_t carry = ColorToPixel(ColorToRGB(steps[0].Color1), 255);
  for (uint32_t& c : colours) {
    if (c == 0) c = carry;
    carry = c;
  }
  const int32_t band = rows ? h : std::min(h, th);
  for (int32_t y = 0; y < band; ++y) {
    uint32_t* dr = v.Row(r.Top + y) + r.Left;
    const uint32_t* tr = t.Row(tex.Top + y % th) + tex.Left;
    for (int32_t x = 0, tx = 0; x < w; ++x) {
      dr[x] = mix(tr[tx], colours[size_t(rows ? y : x)]);
      if (++tx == tw) tx = 0;
    }
  }
  // Columns: the band copied downwards, the last copy cut at the bottom.
  for (int32_t y = band; y < h; ++y)
    std::memcpy(v.Row(r.Top + y) + r.Left, v.Row(r.Top + (y - band) % band) + r.Left, size_t(w) * 4);
}

bool ShadeTriangles(Bitmap& bmp, const GradientVertex* vertices, uint32_t vertexCount,
                    const GradientTriangle* triangles, uint32_t triangleCount) {
  View32 v;
  if (!GetView32(bmp, v) || vertices == nullptr || triangles == nullptr) return false;
  for (uint32_t i = 0; i < triangleCount; ++i) {
    const GradientTriangle& tri = triangles[i];
    if (tri.v1 >= vertexCount || tri.v2 >= vertexCount || tri.v3 >= vertexCount) continue;
    const GradientVertex& a = vertices[tri.v1];
    const GradientVertex& b = vertices[tri.v2];
    const GradientVertex& c = vertices[tri.v3];
    const double area = double(b.x - a.x) * double(c.y - a.y) - double(b.y - a.y) * double(c.x - a.x);
    if (area == 0) continue;
    const int32_t x0 = std::max(std::min({a.x, b.x, c.x}), 0), x1 = std::min(std::max({a.x, b.x, c.x}), v.width);
    const int32_t y0 = std::max(std::min({a.y, b.y, c.y}), 0), y1 = std::min(std::max({a.y, b.y, c.y}), v.height);
    for (int32_t y = y0; y < y1; ++y) {
      uint32_t* row = v.Row(y);
      const double py = y + 0.5;
      for (int32_t x = x0; x < x1; ++x) {
        const double px = x + 0.5;
        // Barycentric weights of the pixel centre; inside when none is negative.
        const double wa = (double(b.x - px) * double(c.y - py) - double(b.y - py) * double(c.x - px)) / area;
        const double wb = (double(c.x - px) * double(a.y - py) - double(c.y - py) * double(a.x - px)) / area;
        const double wc = 1.0 - wa - wb;
        if (wa < 0 || wb < 0 || wc < 0) continue;
        auto ch = [&](uint16_t ca, uint16_t cb, uint16_t cc) {
          return uint32_t(std::clamp(wa * ca + wb * cb + wc * cc, 0.0, 65535.0)) >> 8;
        };
        row[x] = MakePixel(ch(a.blue, b.blue, c.blue), ch(a.green, b.green, c.green), ch(a.red, b.red, c.red),
                           ch(a.alpha, b.alpha, c.alpha));
      }
    }
  }
  return true;
}

}  // namespace skin
