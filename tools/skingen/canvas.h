#pragma once
// The drawing surface of the skin generator: floating-point RGBA images (premultiplied alpha), shapes given by
// signed distance functions and filled with anti-aliased coverage, gradients, tileable noise and blurs.
//
// Coordinates are pixels; the centre of pixel (x, y) is (x + 0.5, y + 0.5). A shape's distance is negative
// inside; its coverage of a pixel is clamp(0.5 - distance, 0, 1).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

namespace skingen {

// A colour with straight alpha, channels 0..1.
struct Color {
  float r = 0, g = 0, b = 0, a = 1;
};

// 0xRRGGBB.
inline Color Rgb(uint32_t rgb, float a = 1.0f) {
  return Color{float((rgb >> 16) & 0xFF) / 255.0f, float((rgb >> 8) & 0xFF) / 255.0f, float(rgb & 0xFF) / 255.0f, a};
}
inline Color WithAlpha(Color c, float a) { return Color{c.r, c.g, c.b, a}; }
inline Color Mix(Color a, Color b, float t) {
  return Color{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}
inline Color Lighten(Color c, float t) { return Mix(c, Color{1, 1, 1, c.a}, t); }
inline Color Darken(Color c, float t) { return Mix(c, Color{0, 0, 0, c.a}, t); }
// Perceived brightness 0..1.
inline float Luma(Color c) { return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b; }
// The contrast ratio of two colours (alpha ignored), 1 to 21.
float Contrast(Color a, Color b);
// The colour difference of two colours (CIE76, in CIELAB under D65), 0 for equal colours.
float DeltaE(Color a, Color b);
// A colour told apart from `from` by `min` (DeltaE): the colour itself when it is, else the colour carried
// further from `from` along the way it already differs (or darker, or lighter, where that way ends first).
Color Apart(Color c, Color from, float min);
// A text colour that stands out from every one of the backgrounds by `min`: the colour itself when it does, else
// the nearest mix of it with black or with white that does (the pole that reaches it sooner), else that pole.
Color Legible(Color text, std::initializer_list<Color> on, float min = 5.0f);
// A background that the text stands out from by `min`: the colour itself, else the nearest mix of it away from
// the text (darker under light text, lighter under dark text) that does.
Color Beneath(Color background, Color text, float min = 5.0f);
// 0xRRGGBB of the colour (alpha ignored), rounded.
uint32_t ToRgb(Color c);
// The colour as a skin writes it: 0x00BBGGRR.
inline int32_t ToTColor(Color c) {
  const uint32_t v = ToRgb(c);
  return int32_t(((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF));
}

// A premultiplied pixel.
struct Px {
  float r = 0, g = 0, b = 0, a = 0;
};

// Colour stops along 0..1.
class Stops {
 public:
  Stops() = default;
  Stops(std::initializer_list<std::pair<float, Color>> s) : s_(s) {}
  Stops(Color a, Color b) : s_{{0.0f, a}, {1.0f, b}} {}
  explicit Stops(Color c) : s_{{0.0f, c}, {1.0f, c}} {}
  Color At(float t) const;
  bool Empty() const { return s_.empty(); }
  const std::vector<std::pair<float, Color>>& Points() const { return s_; }
  // Every stop's colour changed by f.
  Stops Map(const std::function<Color(Color)>& f) const;
  // The stops from the other end (t becomes 1 - t).
  Stops Reversed() const;

 private:
  std::vector<std::pair<float, Color>> s_;
};

struct RectF {
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  float W() const { return x1 - x0; }
  float H() const { return y1 - y0; }
  RectF Inset(float d) const { return RectF{x0 + d, y0 + d, x1 - d, y1 - d}; }
  RectF Inset(float dx, float dy) const { return RectF{x0 + dx, y0 + dy, x1 - dx, y1 - dy}; }
  RectF Offset(float dx, float dy) const { return RectF{x0 + dx, y0 + dy, x1 + dx, y1 + dy}; }
};

// Signed distance functions.
using Sdf = std::function<float(float x, float y)>;
// A rounded rectangle; each corner has its own radius (top-left, top-right, bottom-right, bottom-left).
float SdRoundRect(float x, float y, const RectF& r, float tl, float tr, float br, float bl);
inline float SdRoundRect(float x, float y, const RectF& r, float radius) {
  return SdRoundRect(x, y, r, radius, radius, radius, radius);
}
float SdCircle(float x, float y, float cx, float cy, float radius);
// A line segment of the given thickness with round ends.
float SdSegment(float x, float y, float ax, float ay, float bx, float by, float thickness);
// A closed polygon.
float SdPolygon(float x, float y, const std::vector<std::pair<float, float>>& points);
inline float Coverage(float d) { return std::clamp(0.5f - d, 0.0f, 1.0f); }

class Image {
 public:
  Image() = default;
  Image(int w, int h) : w_(w), h_(h), px_(size_t(std::max(w, 0)) * size_t(std::max(h, 0))) {}
  int W() const { return w_; }
  int H() const { return h_; }
  bool Empty() const { return w_ <= 0 || h_ <= 0; }
  Px& At(int x, int y) { return px_[size_t(y) * size_t(w_) + size_t(x)]; }
  const Px& At(int x, int y) const { return px_[size_t(y) * size_t(w_) + size_t(x)]; }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
  // Straight-alpha colour of a pixel.
  Color Get(int x, int y) const;

  // Source-over of a colour with a coverage at one pixel.
  void Blend(int x, int y, Color c, float coverage);
  void Fill(Color c);
  // A shape filled with colour(x, y) (pixel centres) inside the bounding box.
  void FillShape(const RectF& box, const Sdf& sdf, const std::function<Color(float, float)>& colour);
  void FillShape(const RectF& box, const Sdf& sdf, Color c) {
    FillShape(box, sdf, [c](float, float) { return c; });
  }
  // The band inside a shape's outline, `width` thick.
  void StrokeInside(const RectF& box, const Sdf& sdf, float width, const std::function<Color(float, float)>& colour);
  void StrokeInside(const RectF& box, const Sdf& sdf, float width, Color c) {
    StrokeInside(box, sdf, width, [c](float, float) { return c; });
  }
  // Source-over of another image at (x, y), scaled by opacity.
  void Draw(const Image& src, int x, int y, float opacity = 1.0f);
  // Multiplies the alpha (and premultiplied colour) by a shape's coverage: everything outside is cleared.
  void Clip(const Sdf& sdf);
  // A part of the image.
  Image Crop(int x, int y, int w, int h) const;
  Image FlipH() const;
  Image FlipV() const;
  // Rotated a quarter turn clockwise.
  Image RotateCW() const;
  // f applied to every pixel's straight colour (alpha kept).
  void Tint(const std::function<Color(Color)>& f);

 private:
  int w_ = 0, h_ = 0;
  std::vector<Px> px_;
};

// Gaussian-like blur (three box passes) of the premultiplied pixels; `radius` in pixels.
void Blur(Image& img, float radius);

// Tileable value noise of period `period` (in lattice cells) with fBm octaves; result 0..1.
class Noise {
 public:
  explicit Noise(uint32_t seed) : seed_(seed) {}
  float Value(float x, float y, int period) const;
  float Fbm(float x, float y, int period, int octaves) const;
  // A hash of a lattice point, 0..1.
  float Hash(int x, int y) const;

 private:
  uint32_t seed_;
};

// A small deterministic generator.
class Rng {
 public:
  explicit Rng(uint64_t seed) : s_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  uint32_t Next() {
    s_ ^= s_ << 13;
    s_ ^= s_ >> 7;
    s_ ^= s_ << 17;
    return uint32_t(s_ >> 16);
  }
  float Uniform() { return float(Next() & 0xFFFFFF) / float(0x1000000); }

 private:
  uint64_t s_;
};

}  // namespace skingen
