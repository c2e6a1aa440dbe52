#include "tools/skingen/canvas.h"

#include <algorithm>
#include <cmath>

namespace skingen {

namespace {
float channel(float v) { return v <= 0.04045f ? v / 12.92f : std::pow((v + 0.055f) / 1.055f, 2.4f); }
float luminance(Color c) { return 0.2126f * channel(c.r) + 0.7152f * channel(c.g) + 0.0722f * channel(c.b); }
float worst(Color text, std::initializer_list<Color> on) {
  float w = 21.0f;
  for (const Color& b : on) w = std::min(w, Contrast(text, b));
  return w;
}
}  // namespace

float DeltaE(Color a, Color b) {
  const auto lab = [](Color c, float& l, float& x, float& z) {
    const float r = channel(c.r), g = channel(c.g), bl = channel(c.b);
    const auto f = [](float t) { return t > 0.008856f ? std::cbrt(t) : 7.787f * t + 16.0f / 116.0f; };
    const float fx = f((0.4124f * r + 0.3576f * g + 0.1805f * bl) / 0.95047f);
    const float fy = f(0.2126f * r + 0.7152f * g + 0.0722f * bl);
    const float fz = f((0.0193f * r + 0.1192f * g + 0.9505f * bl) / 1.08883f);
    l = 116 * fy - 16, x = 500 * (fx - fy), z = 200 * (fy - fz);
  };
  float la, aa, ba, lb, ab, bb;
  lab(a, la, aa, ba);
  lab(b, lb, ab, bb);
  return std::sqrt((la - lb) * (la - lb) + (aa - ab) * (aa - ab) + (ba - bb) * (ba - bb));
}

Color Apart(Color c, Color from, float min) {
  if (DeltaE(c, from) >= min) return c;
  const auto clamp = [](float v) { return std::min(1.0f, std::max(0.0f, v)); };
  for (float k = 1.25f; k <= 6.0f; k += 0.25f) {
    const Color x{clamp(from.r + (c.r - from.r) * k), clamp(from.g + (c.g - from.g) * k), clamp(from.b + (c.b - from.b) * k), c.a};
    if (DeltaE(x, from) >= min) return x;
  }
  const bool light = luminance(from) > 0.4f;
  for (float t = 0.05f; t <= 1.0f; t += 0.05f) {
    const Color x = light ? Darken(c, t) : Lighten(c, t);
    if (DeltaE(x, from) >= min) return x;
  }
  return light ? Darken(c, 1) : Lighten(c, 1);
}

float Contrast(Color a, Color b) {
  const float la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05f) / (std::min(la, lb) + 0.05f);
}

Color Legible(Color text, std::initializer_list<Color> on, float min) {
  if (worst(text, on) >= min) return text;
  for (int step = 1; step <= 20; ++step) {
    const float t = float(step) / 20.0f;
    const Color dark = Darken(text, t), light = Lighten(text, t);
    const float d = worst(dark, on), l = worst(light, on);
    if (d >= min || l >= min) return d >= l ? dark : light;
  }
  return worst(Darken(text, 1), on) >= worst(Lighten(text, 1), on) ? Darken(text, 1) : Lighten(text, 1);
}

Color Beneath(Color background, Color text, float min) {
  const bool darker = luminance(text) > luminance(background);
  for (int step = 0; step <= 40; ++step) {
    const float t = float(step) / 40.0f;
    const Color c = darker ? Darken(background, t) : Lighten(background, t);
    if (Contrast(c, text) >= min) return c;
  }
  return darker ? Darken(background, 1) : Lighten(background, 1);
}

uint32_t ToRgb(Color c) {
  auto b = [](float v) { return uint32_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
  return (b(c.r) << 16) | (b(c.g) << 8) | b(c.b);
}

Color Stops::At(float t) const {
  if (s_.empty()) return Color{0, 0, 0, 0};
  if (t <= s_.front().first) return s_.front().second;
  for (size_t i = 1; i < s_.size(); ++i) {
    if (t <= s_[i].first) {
      const float span = s_[i].first - s_[i - 1].first;
      const float f = span > 0 ? (t - s_[i - 1].first) / span : 1.0f;
      return Mix(s_[i - 1].second, s_[i].second, f);
    }
  }
  return s_.back().second;
}

Stops Stops::Map(const std::function<Color(Color)>& f) const {
  Stops r;
  for (const auto& p : s_) r.s_.push_back({p.first, f(p.second)});
  return r;
}

Stops Stops::Reversed() const {
  Stops r;
  for (auto it = s_.rbegin(); it != s_.rend(); ++it) r.s_.push_back({1.0f - it->first, it->second});
  return r;
}

float SdRoundRect(float x, float y, const RectF& r, float tl, float tr, float br, float bl) {
  const float cx = (r.x0 + r.x1) * 0.5f, cy = (r.y0 + r.y1) * 0.5f;
  const float hx = r.W() * 0.5f, hy = r.H() * 0.5f;
  const float px = x - cx, py = y - cy;
  float rad = px < 0 ? (py < 0 ? tl : bl) : (py < 0 ? tr : br);
  rad = std::min({rad, hx, hy});
  const float qx = std::fabs(px) - hx + rad, qy = std::fabs(py) - hy + rad;
  const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - rad;
}

float SdCircle(float x, float y, float cx, float cy, float radius) {
  return std::hypot(x - cx, y - cy) - radius;
}

float SdSegment(float x, float y, float ax, float ay, float bx, float by, float thickness) {
  const float pax = x - ax, pay = y - ay, bax = bx - ax, bay = by - ay;
  const float len2 = bax * bax + bay * bay;
  const float h = len2 > 0 ? std::clamp((pax * bax + pay * bay) / len2, 0.0f, 1.0f) : 0.0f;
  return std::hypot(pax - bax * h, pay - bay * h) - thickness * 0.5f;
}

float SdPolygon(float x, float y, const std::vector<std::pair<float, float>>& v) {
  const size_t n = v.size();
  if (n < 3) return 1e9f;
  float d = (x - v[0].first) * (x - v[0].first) + (y - v[0].second) * (y - v[0].second);
  float s = 1.0f;
  for (size_t i = 0, j = n - 1; i < n; j = i, ++i) {
    const float ex = v[j].first - v[i].first, ey = v[j].second - v[i].second;
    const float wx = x - v[i].first, wy = y - v[i].second;
    const float h = std::clamp((wx * ex + wy * ey) / (ex * ex + ey * ey), 0.0f, 1.0f);
    const float bx = wx - ex * h, by = wy - ey * h;
    d = std::min(d, bx * bx + by * by);
    const bool c1 = y >= v[i].second, c2 = y < v[j].second, c3 = ex * wy > ey * wx;
    if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
  }
  return s * std::sqrt(d);
}

Color Image::Get(int x, int y) const {
  const Px& p = At(x, y);
  if (p.a <= 0.0f) return Color{0, 0, 0, 0};
  return Color{p.r / p.a, p.g / p.a, p.b / p.a, p.a};
}

void Image::Blend(int x, int y, Color c, float coverage) {
  if (!Inside(x, y)) return;
  const float a = std::clamp(c.a * coverage, 0.0f, 1.0f);
  if (a <= 0.0f) return;
  Px& d = At(x, y);
  const float k = 1.0f - a;
  d.r = c.r * a + d.r * k;
  d.g = c.g * a + d.g * k;
  d.b = c.b * a + d.b * k;
  d.a = a + d.a * k;
}

void Image::Fill(Color c) {
  for (Px& p : px_) p = Px{c.r * c.a, c.g * c.a, c.b * c.a, c.a};
}

namespace {
struct Bounds {
  int x0, y0, x1, y1;
};
Bounds boundsOf(const RectF& box, int w, int h) {
  return Bounds{std::max(0, int(std::floor(box.x0)) - 1), std::max(0, int(std::floor(box.y0)) - 1),
                std::min(w, int(std::ceil(box.x1)) + 1), std::min(h, int(std::ceil(box.y1)) + 1)};
}
}  // namespace

void Image::FillShape(const RectF& box, const Sdf& sdf, const std::function<Color(float, float)>& colour) {
  const Bounds b = boundsOf(box, w_, h_);
  for (int y = b.y0; y < b.y1; ++y)
    for (int x = b.x0; x < b.x1; ++x) {
      const float cx = float(x) + 0.5f, cy = float(y) + 0.5f;
      const float cov = Coverage(sdf(cx, cy));
      if (cov > 0.0f) Blend(x, y, colour(cx, cy), cov);
    }
}

void Image::StrokeInside(const RectF& box, const Sdf& sdf, float width,
                         const std::function<Color(float, float)>& colour) {
  const Bounds b = boundsOf(box, w_, h_);
  for (int y = b.y0; y < b.y1; ++y)
    for (int x = b.x0; x < b.x1; ++x) {
      const float cx = float(x) + 0.5f, cy = float(y) + 0.5f;
      const float d = sdf(cx, cy);
      const float cov = Coverage(d) - Coverage(d + width);
      if (cov > 0.0f) Blend(x, y, colour(cx, cy), cov);
    }
}

void Image::Draw(const Image& src, int ox, int oy, float opacity) {
  for (int y = 0; y < src.h_; ++y)
    for (int x = 0; x < src.w_; ++x) {
      if (!Inside(x + ox, y + oy)) continue;
      const Px& s = src.At(x, y);
      const float a = s.a * opacity;
      if (a <= 0.0f) continue;
      Px& d = At(x + ox, y + oy);
      const float k = 1.0f - a;
      d.r = s.r * opacity + d.r * k;
      d.g = s.g * opacity + d.g * k;
      d.b = s.b * opacity + d.b * k;
      d.a = a + d.a * k;
    }
}

void Image::Clip(const Sdf& sdf) {
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) {
      const float cov = Coverage(sdf(float(x) + 0.5f, float(y) + 0.5f));
      Px& p = At(x, y);
      p.r *= cov;
      p.g *= cov;
      p.b *= cov;
      p.a *= cov;
    }
}

Image Image::Crop(int x0, int y0, int w, int h) const {
  Image r(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (Inside(x + x0, y + y0)) r.At(x, y) = At(x + x0, y + y0);
  return r;
}

Image Image::FlipH() const {
  Image r(w_, h_);
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) r.At(x, y) = At(w_ - 1 - x, y);
  return r;
}

Image Image::FlipV() const {
  Image r(w_, h_);
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) r.At(x, y) = At(x, h_ - 1 - y);
  return r;
}

Image Image::RotateCW() const {
  Image r(h_, w_);
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) r.At(h_ - 1 - y, x) = At(x, y);
  return r;
}

void Image::Tint(const std::function<Color(Color)>& f) {
  for (Px& p : px_) {
    if (p.a <= 0.0f) continue;
    Color c{p.r / p.a, p.g / p.a, p.b / p.a, p.a};
    c = f(c);
    p = Px{std::clamp(c.r, 0.0f, 1.0f) * p.a, std::clamp(c.g, 0.0f, 1.0f) * p.a, std::clamp(c.b, 0.0f, 1.0f) * p.a,
           p.a};
  }
}

namespace {
// One box pass of odd width 2r + 1 along rows (horizontal) or columns, edges clamped.
void boxPass(Image& img, int r, bool horizontal) {
  if (r <= 0) return;
  const int n = horizontal ? img.W() : img.H();
  const int lines = horizontal ? img.H() : img.W();
  std::vector<Px> line(static_cast<size_t>(n)), out(static_cast<size_t>(n));
  const float inv = 1.0f / float(2 * r + 1);
  for (int l = 0; l < lines; ++l) {
    for (int i = 0; i < n; ++i) line[size_t(i)] = horizontal ? img.At(i, l) : img.At(l, i);
    Px acc;
    auto get = [&](int i) -> const Px& {
      static const Px zero;
      return (i < 0 || i >= n) ? zero : line[size_t(i)];
    };
    for (int i = -r; i <= r; ++i) {
      const Px& p = get(i);
      acc.r += p.r, acc.g += p.g, acc.b += p.b, acc.a += p.a;
    }
    for (int i = 0; i < n; ++i) {
      out[size_t(i)] = Px{acc.r * inv, acc.g * inv, acc.b * inv, acc.a * inv};
      const Px& in = get(i + r + 1);
      const Px& drop = get(i - r);
      acc.r += in.r - drop.r, acc.g += in.g - drop.g, acc.b += in.b - drop.b, acc.a += in.a - drop.a;
    }
    for (int i = 0; i < n; ++i) (horizontal ? img.At(i, l) : img.At(l, i)) = out[size_t(i)];
  }
}
}  // namespace

void Blur(Image& img, float radius) {
  // Three box passes approximate a gaussian of this standard deviation.
  const float sigma = radius / 2.0f;
  const int r = std::max(0, int(std::lround(std::sqrt(4.0f * sigma * sigma + 1.0f) / 2.0f)));
  for (int i = 0; i < 3; ++i) {
    boxPass(img, r, true);
    boxPass(img, r, false);
  }
}

float Noise::Hash(int x, int y) const {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed_ * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return float(h & 0xFFFFFF) / float(0xFFFFFF);
}

float Noise::Value(float x, float y, int period) const {
  const float fx = std::floor(x), fy = std::floor(y);
  const int ix = int(fx), iy = int(fy);
  const float tx = x - fx, ty = y - fy;
  auto wrap = [period](int v) { return period > 0 ? ((v % period) + period) % period : v; };
  const float a = Hash(wrap(ix), wrap(iy)), b = Hash(wrap(ix + 1), wrap(iy));
  const float c = Hash(wrap(ix), wrap(iy + 1)), d = Hash(wrap(ix + 1), wrap(iy + 1));
  const float sx = tx * tx * (3 - 2 * tx), sy = ty * ty * (3 - 2 * ty);
  return a + (b - a) * sx + (c - a) * sy + (a - b - c + d) * sx * sy;
}

float Noise::Fbm(float x, float y, int period, int octaves) const {
  float sum = 0, amp = 0.5f, norm = 0;
  for (int o = 0; o < octaves; ++o) {
    sum += amp * Value(x, y, period);
    norm += amp;
    x *= 2;
    y *= 2;
    period *= 2;
    amp *= 0.5f;
  }
  return sum / norm;
}

}  // namespace skingen
