#include "tools/skingen/elements.h"

#include <cmath>

namespace skingen {

namespace {

constexpr float Pi = 3.14159265358979f;

Color White(float a) { return Color{1, 1, 1, a}; }
Color Black(float a) { return Color{0, 0, 0, a}; }

// Whether a caption of these colours reads as dark (light symbols on it).
bool darkCaption(const Theme& t) { return Luma(Mix(t.titleTop, t.titleBottom, 0.5f)) < 0.55f; }

float clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

// The light half of an etched line over a surface: white, much fainter over a dark surface.
Color etch(Color surface, float alpha) { return White(Luma(surface) > 0.5f ? alpha : alpha * 0.18f); }

// Rotated a quarter turn counter-clockwise (the top row becomes the left column).
Image rotateCCW(const Image& img) { return img.RotateCW().FlipH().FlipV(); }

States mapStates(const States& s, Image (*f)(const Image&)) {
  States r;
  for (const Image& i : s) r.push_back(f(i));
  return r;
}
Image flipV(const Image& i) { return i.FlipV(); }
Image rotCW(const Image& i) { return i.RotateCW(); }
Image rotCCW(const Image& i) { return rotateCCW(i); }

// The sheen of a face: stronger at the top, ending at `end` (a fraction of the height).
void sheen(Image& img, const RectF& r, const Sdf& inner, float alpha, float end, bool sharp) {
  if (alpha <= 0) return;
  const float gy = r.y0 + r.H() * end;
  img.FillShape(r, [&](float x, float y) { return sharp ? std::max(inner(x, y), y - gy) : inner(x, y); },
                [&](float, float y) {
                  const float k = clamp01((y - r.y0) / std::max(1.0f, gy - r.y0));
                  return White(sharp ? alpha * (1.0f - 0.55f * k) : alpha * (1.0f - k) * (1.0f - k));
                });
}

// A symbol of a caption button, drawn into the square box of side `s` at (x, y).
void drawSymbol(Image& img, Caption kind, float x, float y, float s, float th, Color c) {
  auto seg = [&](float ax, float ay, float bx, float by, float w) {
    img.FillShape(RectF{x - 2, y - 2, x + s + 2, y + s + 2},
                  [=](float px, float py) { return SdSegment(px, py, x + ax * s, y + ay * s, x + bx * s, y + by * s, w); },
                  c);
  };
  switch (kind) {
    case Caption::Close:
    case Caption::CloseAlone:
      seg(0.08f, 0.08f, 0.92f, 0.92f, th);
      seg(0.92f, 0.08f, 0.08f, 0.92f, th);
      break;
    case Caption::Max: {
      const RectF box{x + 0.02f * s, y + 0.06f * s, x + 0.98f * s, y + 0.94f * s};
      img.StrokeInside(box, [=](float px, float py) { return SdRoundRect(px, py, box, 1.0f); }, th * 0.8f, c);
      img.FillShape(box, [=](float px, float py) {
        return std::max(SdRoundRect(px, py, box, 1.0f), py - (box.y0 + th * 1.3f));
      }, c);
      break;
    }
    case Caption::Restore: {
      const RectF back{x + 0.32f * s, y + 0.02f * s, x + 0.98f * s, y + 0.64f * s};
      const RectF front{x + 0.02f * s, y + 0.36f * s, x + 0.68f * s, y + 0.98f * s};
      img.FillShape(back, [=](float px, float py) {
        const float ring = std::max(SdRoundRect(px, py, back, 0.8f), -(SdRoundRect(px, py, back, 0.8f) + th * 0.75f));
        return std::max(ring, -SdRoundRect(px, py, front.Inset(-th * 0.6f), 1.0f));
      }, c);
      img.StrokeInside(front, [=](float px, float py) { return SdRoundRect(px, py, front, 0.8f); }, th * 0.75f, c);
      img.FillShape(front, [=](float px, float py) {
        return std::max(SdRoundRect(px, py, front, 0.8f), py - (front.y0 + th * 1.2f));
      }, c);
      break;
    }
    case Caption::Min:
      seg(0.1f, 0.84f, 0.9f, 0.84f, th * 1.15f);
      break;
    case Caption::Help: {
      const std::vector<std::pair<float, float>> hook = {{0.24f, 0.3f}, {0.3f, 0.14f}, {0.5f, 0.05f}, {0.7f, 0.14f},
                                                        {0.76f, 0.3f}, {0.66f, 0.46f}, {0.52f, 0.56f}, {0.5f, 0.7f}};
      for (size_t i = 1; i < hook.size(); ++i)
        seg(hook[i - 1].first, hook[i - 1].second, hook[i].first, hook[i].second, th);
      img.FillShape(RectF{x, y, x + s, y + s}, [=](float px, float py) { return SdCircle(px, py, x + 0.5f * s, y + 0.92f * s, th * 0.62f); }, c);
      break;
    }
    case Caption::User:
      break;
  }
}

}  // namespace

FaceLook FaceFor(const Theme& t, int state, Color base, Color hot, Color pressed) {
  const Color c = state == 1 ? hot : state == 2 ? pressed : base;
  FaceLook f;
  f.outline = Mix(t.outline, Darken(c, 0.55f), 0.35f);
  if (state == 1) f.outline = Mix(f.outline, Darken(t.accent, 0.2f), 0.45f);
  f.outlineBottom = Darken(f.outline, 0.18f);
  f.grain = t.grain;
  switch (t.material) {
    case Material::Satin:
      f.fill = Stops{{0.0f, Lighten(c, 0.5f)}, {0.45f, Lighten(c, 0.2f)}, {1.0f, Darken(c, 0.03f)}};
      f.rim = White(0.55f * t.bevel + 0.2f);
      f.glossAlpha = t.gloss * 0.35f;
      f.glossSharp = false;
      f.glossEnd = 0.55f;
      break;
    case Material::Gloss:
      f.fill = Stops{{0.0f, Lighten(c, 0.42f)}, {0.49f, Lighten(c, 0.2f)}, {0.5f, c}, {1.0f, Lighten(c, 0.12f)}};
      f.glossAlpha = t.gloss * 0.55f;
      f.glossEnd = 0.49f;
      f.rim = White(0.45f * t.bevel);
      f.bottomLight = Lighten(c, 0.45f);
      f.bottomLight.a = 0.45f;
      break;
    case Material::Glass:
      f.fill = Stops{{0.0f, Lighten(c, 0.62f)}, {0.46f, Lighten(c, 0.42f)}, {0.5f, Lighten(c, 0.1f)}, {1.0f, c}};
      f.glossAlpha = t.gloss * 0.3f;
      f.glossEnd = 0.46f;
      f.rim = White(0.8f * t.bevel + 0.1f);
      f.bottomLight = Lighten(c, 0.35f);
      f.bottomLight.a = state == 1 ? 0.55f : 0.25f;
      break;
    case Material::Metal:
      f.fill = Stops{{0.0f, Lighten(c, 0.3f)}, {0.5f, Lighten(c, 0.08f)}, {1.0f, Darken(c, 0.1f)}};
      f.brushed = true;
      f.rim = White(0.5f * t.bevel + 0.15f);
      f.glossAlpha = t.gloss * 0.25f;
      f.glossEnd = 0.5f;
      break;
    case Material::Matte:
      f.fill = Stops{{0.0f, Lighten(c, 0.07f)}, {1.0f, Darken(c, 0.06f)}};
      f.rim = White(0.12f + 0.15f * t.bevel);
      break;
  }
  if (state == 2) {
    // Pressed: the light comes from below, the sheen is weaker, the top edge casts a shadow inside.
    f.fill = f.fill.Reversed().Map([](Color x) { return Darken(x, 0.06f); });
    f.glossAlpha *= 0.4f;
    f.rim.a *= 0.25f;
    f.innerShadow = 0.22f;
    f.bottomLight.a *= 0.5f;
  }
  if (state == 3 && t.defaultFilled) {
    const Color k = Mix(t.accent, Rgb(0xFFFFFF), 0.12f);
    FaceLook d = FaceFor(t, 0, k, k, k);
    d.outline = Darken(t.accent, 0.3f);
    d.outlineBottom = Darken(t.accent, 0.45f);
    return d;
  }
  if (state == 3) {
    f.ring = Mix(t.accent, White(1), 0.1f);
    f.ring.a = 0.9f;
    f.outline = Mix(f.outline, Darken(t.accent, 0.35f), 0.6f);
    f.outlineBottom = Darken(f.outline, 0.15f);
  }
  return f;
}

void PaintFace(Image& img, const RectF& r, const Radii& rad, const FaceLook& f, uint32_t seed) {
  const Sdf outer = [=](float x, float y) { return SdRoundRect(x, y, r, rad.tl, rad.tr, rad.br, rad.bl); };
  const float ow = f.outlineWidth;
  const Sdf inner = [=](float x, float y) { return outer(x, y) + ow; };
  const Noise n(seed);
  img.FillShape(r, outer, [&](float x, float y) {
    Color c = f.fill.At(clamp01((y - r.y0) / std::max(1.0f, r.H())));
    if (f.brushed) {
      const float v = n.Fbm(x * 0.03f, y * 0.7f, 0, 3) - 0.5f;
      c = v > 0 ? Lighten(c, v * 0.25f) : Darken(c, -v * 0.25f);
    }
    if (f.grain > 0) {
      const float g = n.Hash(int(x * 7.0f), int(y * 13.0f)) - 0.5f;
      c = g > 0 ? Lighten(c, g * f.grain) : Darken(c, -g * f.grain);
    }
    return c;
  });
  sheen(img, r, inner, f.glossAlpha, f.glossEnd, f.glossSharp);
  if (f.bottomLight.a > 0) {
    const float cx = (r.x0 + r.x1) * 0.5f, rx = r.W() * 0.62f, ry = r.H() * 0.42f;
    img.FillShape(r, inner, [&](float x, float y) {
      const float dx = (x - cx) / rx, dy = (y - r.y1) / ry;
      const float d = clamp01(1.0f - std::sqrt(dx * dx + dy * dy));
      return WithAlpha(f.bottomLight, f.bottomLight.a * d * d);
    });
  }
  if (f.innerShadow > 0)
    img.FillShape(r, inner, [&](float, float y) {
      return Black(f.innerShadow * clamp01(1.0f - (y - r.y0 - ow) / 3.0f));
    });
  if (f.rim.a > 0)
    img.StrokeInside(r, inner, 1.0f, [&](float, float y) {
      return WithAlpha(f.rim, f.rim.a * clamp01(1.1f - 1.3f * (y - r.y0) / std::max(1.0f, r.H())));
    });
  if (f.ring.a > 0) img.StrokeInside(r, inner, f.ringWidth, f.ring);
  img.StrokeInside(r, outer, ow, [&](float, float y) {
    return Mix(f.outline, f.outlineBottom, clamp01((y - r.y0) / std::max(1.0f, r.H())));
  });
}

States ButtonStates(const Theme& t, int w, int h, float radius, int count, uint32_t seed) {
  States s;
  for (int i = 0; i < count; ++i) {
    Image img(w, h);
    const RectF r{0, 0, float(w), float(h) - 1.0f};
    // A soft lip under the face.
    img.FillShape(r.Offset(0, 1), [=](float x, float y) { return SdRoundRect(x, y, r.Offset(0, 1), radius); },
                  Black(i == 2 ? 0.04f : 0.1f));
    PaintFace(img, r, Radii(radius), FaceFor(t, i, t.face, t.faceHot, t.facePressed), seed + uint32_t(i));
    s.push_back(std::move(img));
  }
  return s;
}

States FlatButtonStates(const Theme& t, int w, int h, float radius, uint32_t seed) {
  States s;
  s.push_back(Image(w, h));  // normal: nothing
  for (int i = 1; i <= 2; ++i) {
    Image img(w, h);
    // Flat, the button has no face at rest: under the pointer its face leans to the accent to show at once.
    FaceLook f = FaceFor(t, i, t.face, Mix(t.faceHot, t.accent, 0.2f), t.facePressed);
    f.outline.a = 0.75f;
    f.outlineBottom.a = 0.75f;
    PaintFace(img, RectF{0, 0, float(w), float(h)}, Radii(radius), f, seed + uint32_t(i));
    s.push_back(std::move(img));
  }
  return s;
}

States EditStates(const Theme& t, int w, int h, float radius) {
  States s;
  for (int i = 0; i < 2; ++i) {
    Image img(w, h);
    const RectF r{0, 0, float(w), float(h)};
    const Sdf outer = [=](float x, float y) { return SdRoundRect(x, y, r, radius); };
    const Sdf inner = [=](float x, float y) { return outer(x, y) + 1.0f; };
    // A shadow under the top edge, lighter down the sides.
    img.StrokeInside(r, inner, 1.0f, [&](float, float y) { return Black(0.1f * clamp01(1.0f - (y - 1.0f) / 3.0f)); });
    if (i == 1) img.StrokeInside(r, inner, 1.0f, WithAlpha(t.accent, 0.35f));
    const Color border = i == 1 ? t.editBorderFocus : t.editBorder;
    img.StrokeInside(r, outer, 1.0f, [&](float, float y) {
      return Mix(Darken(border, 0.08f), Lighten(border, 0.12f), clamp01(y / float(h)));
    });
    s.push_back(std::move(img));
  }
  return s;
}

States FormFrameStates(const Theme& t, int size) {
  const int b = t.borderWidth;
  const float radius = float(std::min(t.frameRadius, b));
  States s;
  for (int active = 0; active < 2; ++active) {
    Image img(size, size);
    const Color frame = active ? t.frame : t.frameInactive;
    const Color top = active ? t.titleTop : t.titleTopInactive;
    const Color line = active ? t.outline : Mix(t.outline, t.frameInactive, 0.45f);
    const RectF r{0, 0, float(size), float(size)};
    const Sdf outer = [=](float x, float y) { return SdRoundRect(x, y, r, radius, radius, 1.5f, 1.5f); };
    const Noise n(t.seed + 77);
    img.FillShape(r, outer, [&](float x, float y) {
      Color c = y < float(b) ? Mix(Lighten(top, 0.12f), top, y / float(b)) : frame;
      if (t.titleMaterial == Material::Metal) {
        const float v = n.Fbm(x * 0.03f, y * 0.7f, 0, 3) - 0.5f;
        c = v > 0 ? Lighten(c, v * 0.22f) : Darken(c, -v * 0.22f);
      }
      return c;
    });
    // The light rim inside the outline, and the dark edge around the client on three sides.
    img.StrokeInside(r, [=](float x, float y) { return outer(x, y) + 1.0f; }, 1.0f,
                     White((active ? 0.4f : 0.25f) * t.bevel));
    const Color edge = WithAlpha(Darken(frame, 0.3f), 0.85f);
    for (int y = b; y < size; ++y) {
      if (y < size - b) {
        img.Blend(b - 1, y, edge, 1.0f);
        img.Blend(size - b, y, edge, 1.0f);
      }
    }
    for (int x = b - 1; x <= size - b; ++x) img.Blend(x, size - b, edge, 1.0f);
    img.StrokeInside(r, outer, 1.0f, line);
    s.push_back(std::move(img));
  }
  return s;
}

States TitleStates(const Theme& t, int w, uint32_t seed) {
  const int h = t.titleHeight;
  States s;
  for (int active = 0; active < 2; ++active) {
    Image img(w, h);
    const Color top = active ? t.titleTop : t.titleTopInactive;
    const Color bottom = active ? t.titleBottom : t.titleBottomInactive;
    const Noise n(seed);
    Stops fill{top, bottom};
    if (t.titleMaterial == Material::Gloss || t.titleMaterial == Material::Glass)
      fill = Stops{{0.0f, Lighten(top, 0.18f)}, {0.5f, Mix(top, bottom, 0.35f)}, {0.52f, Mix(top, bottom, 0.55f)},
                   {1.0f, bottom}};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        Color c = fill.At((float(y) + 0.5f) / float(h));
        if (t.titleMaterial == Material::Metal) {
          const float v = n.Fbm(float(x) * 0.03f, float(y) * 0.7f, 0, 3) - 0.5f;
          c = v > 0 ? Lighten(c, v * 0.22f) : Darken(c, -v * 0.22f);
        }
        if (t.titleMaterial == Material::Matte && t.grain > 0) {
          const float g = n.Hash(x, y) - 0.5f;
          c = g > 0 ? Lighten(c, g * t.grain) : Darken(c, -g * t.grain);
        }
        img.Blend(x, y, c, 1.0f);
      }
    if (t.titleMaterial == Material::Gloss || t.titleMaterial == Material::Glass)
      for (int y = 0; y < h / 2; ++y)
        for (int x = 0; x < w; ++x) img.Blend(x, y, White(t.gloss * 0.25f * (1.0f - float(y) / float(h))), 1.0f);
    for (int x = 0; x < w; ++x) {
      img.Blend(x, 0, White(active ? 0.35f : 0.25f), 1.0f);
      img.Blend(x, h - 1, Darken(bottom, 0.28f), 0.75f);
      if (t.trimLine) img.Blend(x, h - 2, active ? t.trim : Mix(t.trim, bottom, 0.6f), active ? 0.9f : 0.5f);
    }
    s.push_back(std::move(img));
  }
  return s;
}

States TitleBarStates(const Theme& t, int w) {
  const int h = t.titleHeight;
  const bool tray = t.titleButtons == TitleButtonStyle::Plates || t.titleButtons == TitleButtonStyle::Gems;
  States s;
  for (int active = 0; active < 2; ++active) {
    Image img(w, h);
    if (tray) {
      const RectF r{0, 3, float(w) + 8.0f, float(h) - 3.0f};
      const float rad = std::min(8.0f, (r.H()) / 2.0f);
      const Sdf sd = [=](float x, float y) { return SdRoundRect(x, y, r, rad); };
      const bool dark = darkCaption(t);
      img.FillShape(r, sd, dark ? Black(active ? 0.16f : 0.1f) : Black(active ? 0.07f : 0.04f));
      img.StrokeInside(r, [=](float x, float y) { return sd(x, y) + 1.0f; }, 1.0f, Black(0.06f));
      img.StrokeInside(r, sd, 1.0f, [&](float, float y) {
        return White((dark ? 0.22f : 0.5f) * clamp01(1.2f - (y - r.y0) / r.H()));
      });
    }
    s.push_back(std::move(img));
  }
  return s;
}

States CaptionButton(const Theme& t, Caption kind, bool small, uint32_t seed) {
  const bool close = kind == Caption::Close || kind == Caption::CloseAlone;
  const int w = small ? t.smallBtnW : (close && kind == Caption::Close ? t.closeBtnW : t.titleBtnW);
  const int h = small ? t.smallBtnH : t.titleBtnH;
  States s;
  for (int state = 0; state < 3; ++state) {
    Image img(w, h);
    const float side = std::floor(std::min(float(w), float(h)) * (small ? 0.52f : 0.5f));
    const float sx = std::floor((float(w) - side) * 0.5f), sy = std::floor((float(h) - side) * 0.5f);
    const float th = std::max(1.6f, side * 0.2f);
    switch (t.titleButtons) {
      case TitleButtonStyle::Plates:
      case TitleButtonStyle::Gems: {
        const RectF r{0.5f, 0.5f, float(w) - 0.5f, float(h) - 0.5f};
        const float rad = small ? 2.5f : 3.5f;
        const bool dark = darkCaption(t);
        const bool gems = t.titleButtons == TitleButtonStyle::Gems;
        Color plate = close ? Rgb(0xD9503F) : (dark ? Mix(t.trim, t.titleBottom, 0.3f) : Lighten(t.faceHot, 0.1f));
        if (gems) plate = close ? Rgb(0xB0243A) : Mix(t.accent, t.titleTop, 0.3f);
        // At rest the symbol lies on the caption itself (the faint plate lets it through): a colour that stands out
        // from the caption's gradient, so that each button tells what it does before it is pointed at.
        Color symbol = state == 0 ? Legible(t.titleText, {t.titleTop, t.titleBottom, Mix(t.titleTop, t.titleBottom, 0.5f)}, 4.5f)
                                  : (close || dark || gems ? Rgb(0xFFFFFF) : t.text);
        if (state == 0) {
          // Resting: a faint plate so that the button reads as one.
          img.FillShape(r, [=](float x, float y) { return SdRoundRect(x, y, r, rad); },
                        dark || gems ? White(0.1f) : White(0.35f));
          img.StrokeInside(r, [=](float x, float y) { return SdRoundRect(x, y, r, rad); }, 1.0f,
                           dark || gems ? White(0.22f) : Black(0.16f));
          if (gems) {
            img.FillShape(r, [=](float x, float y) {
              return std::max(SdRoundRect(x, y, r, rad), (x - r.x0) + (y - r.y0) - r.H() * 0.9f);
            }, White(0.1f));
          }
        } else {
          FaceLook f;
          const Color c = state == 2 ? Darken(plate, 0.2f) : plate;
          f.fill = gems ? Stops{{0.0f, Lighten(c, 0.45f)}, {0.5f, Lighten(c, 0.15f)}, {0.51f, c}, {1.0f, Darken(c, 0.1f)}}
                        : Stops{{0.0f, Lighten(c, 0.35f)}, {0.5f, Lighten(c, 0.1f)}, {0.52f, c}, {1.0f, Lighten(c, 0.08f)}};
          f.outline = Darken(c, 0.45f);
          f.outlineBottom = Darken(c, 0.55f);
          f.rim = White(state == 2 ? 0.15f : 0.5f);
          f.glossAlpha = state == 2 ? 0.05f : 0.18f;
          f.innerShadow = state == 2 ? 0.25f : 0.0f;
          f.bottomLight = WithAlpha(Lighten(c, 0.5f), state == 1 ? 0.45f : 0.0f);
          PaintFace(img, r, Radii(rad), f, seed);
          if (gems)
            img.FillShape(r, [=](float x, float y) {
              return std::max(SdRoundRect(x, y, r.Inset(1), rad - 1), (x - r.x0) + (y - r.y0) - r.H() * 0.85f);
            }, White(0.18f));
        }
        if (kind != Caption::User) {
          if (state > 0 || dark) drawSymbol(img, kind, sx + 0.5f, sy + 1.5f, side, th, Black(dark ? 0.35f : 0.15f));
          drawSymbol(img, kind, sx, sy + (state == 2 ? 1.0f : 0.0f), side, th, symbol);
        }
        break;
      }
      case TitleButtonStyle::Spheres: {
        const float d = std::min(float(w), float(h)) - 2.0f;
        const float cx = float(w) * 0.5f, cy = float(h) * 0.5f, rr = d * 0.5f;
        Color c = t.accent;
        const bool graphite = t.titleMaterial == Material::Metal;
        if (!graphite) {
          if (close) c = Rgb(0xEC5A50);
          else if (kind == Caption::Min) c = Rgb(0xF4B941);
          else if (kind == Caption::Max || kind == Caption::Restore) c = Rgb(0x5EC14E);
          else c = Rgb(0x9AA0A8);
        } else {
          c = Rgb(0x8D929A);
        }
        // Under the pointer the sphere lights up (graphite takes the accent's hue), pressed it darkens.
        if (state == 1) c = graphite ? Mix(c, t.accent, 0.6f) : Lighten(c, 0.3f);
        if (state == 2) c = Darken(c, 0.28f);
        const Sdf ball = [=](float x, float y) { return SdCircle(x, y, cx, cy, rr); };
        img.FillShape(RectF{0, 0, float(w), float(h)}, [=](float x, float y) { return SdCircle(x, y, cx, cy + 0.6f, rr); },
                      Black(0.18f));
        img.FillShape(RectF{0, 0, float(w), float(h)}, ball, [=](float x, float y) {
          const float dx = (x - cx) / rr, dy = (y - cy) / rr;
          const float lightness = clamp01(1.0f - std::sqrt((dx) * (dx) + (dy - 0.9f) * (dy - 0.9f)) * 0.7f);
          return Mix(Darken(c, 0.18f), Lighten(c, 0.45f), lightness * lightness);
        });
        // The highlight: a soft ellipse in the upper half.
        img.FillShape(RectF{0, 0, float(w), float(h)},
                      [=](float x, float y) {
                        const float dx = (x - cx) / (rr * 0.62f), dy = (y - (cy - rr * 0.45f)) / (rr * 0.38f);
                        return (std::sqrt(dx * dx + dy * dy) - 1.0f) * rr * 0.4f;
                      },
                      [=](float, float y) { return White(0.75f * clamp01(1.0f - (y - (cy - rr)) / (rr * 0.9f))); });
        img.StrokeInside(RectF{0, 0, float(w), float(h)}, ball, 1.0f, Darken(c, 0.45f));
        // The symbol shows at rest too: spheres alike in colour (graphite) would otherwise be told apart only by
        // pointing at them.
        if (kind != Caption::User) {
          const float ss = d * 0.44f;
          const Caption k = kind == Caption::Max || kind == Caption::Restore ? Caption::Max : kind;
          if (k == Caption::Max && !graphite) {
            // A plus on the green sphere (graphite spheres, all of one colour, take the window mark instead: a plus
            // and a minus differ by one stroke only).
            const float x0 = cx - ss * 0.5f, y0 = cy - ss * 0.5f;
            img.FillShape(RectF{x0 - 2, y0 - 2, x0 + ss + 2, y0 + ss + 2}, [=](float x, float y) {
              return std::min(SdSegment(x, y, x0, cy, x0 + ss, cy, 1.6f), SdSegment(x, y, cx, y0, cx, y0 + ss, 1.6f));
            }, Darken(c, 0.65f));
          } else if (k == Caption::Min) {
            img.FillShape(RectF{0, 0, float(w), float(h)}, [=](float x, float y) {
              return SdSegment(x, y, cx - ss * 0.5f, cy, cx + ss * 0.5f, cy, 1.7f);
            }, Darken(c, 0.65f));
          } else {
            drawSymbol(img, k, cx - ss * 0.5f, cy - ss * 0.5f, ss, 1.5f, Darken(c, 0.65f));
          }
        }
        break;
      }
      case TitleButtonStyle::Glass: {
        const RectF r{0.5f, -3.0f, float(w) - 0.5f, float(h) - 0.5f};
        const float rad = small ? 3.0f : 4.0f;
        Color c = close ? Rgb(0xC7463C) : Mix(t.titleBottom, Rgb(0xFFFFFF), 0.25f);
        if (state == 1) c = close ? Rgb(0xE5483A) : Rgb(0x5E9FE3);
        if (state == 2) c = close ? Rgb(0x9E2418) : Rgb(0x2F6DB2);
        FaceLook f;
        f.fill = Stops{{0.0f, Lighten(c, 0.5f)}, {0.46f, Lighten(c, 0.3f)}, {0.5f, Darken(c, 0.05f)}, {1.0f, c}};
        if (!close && state == 0) f.fill = f.fill.Map([](Color x) { return WithAlpha(x, 0.55f); });
        f.outline = Darken(c, 0.5f);
        f.outline.a = close || state ? 0.9f : 0.55f;
        f.outlineBottom = f.outline;
        f.rim = White(0.55f);
        f.glossAlpha = 0.12f;
        f.bottomLight = WithAlpha(Lighten(c, 0.6f), state == 1 ? 0.8f : 0.35f);
        f.innerShadow = state == 2 ? 0.25f : 0.0f;
        PaintFace(img, r, Radii(0, 0, rad, rad), f, seed);
        if (kind != Caption::User) {
          // A light cap at rest (translucent over the caption) carries a dark symbol; the coloured ones a white one.
          const bool light = !close && state == 0;
          const Color mark = light ? Legible(Darken(t.titleBottom, 0.6f), {t.titleTop, t.titleBottom, Lighten(c, 0.5f)}, 4.5f)
                                   : White(1);
          drawSymbol(img, kind, sx + 0.6f, sy + 1.2f, side, th + 0.6f, light ? White(0.45f) : Black(0.45f));
          drawSymbol(img, kind, sx, sy + 0.5f, side, th, mark);
        }
        break;
      }
    }
    s.push_back(std::move(img));
  }
  return s;
}

States CheckBox(const Theme& t, Check kind, int size) {
  States s;
  for (int state = 0; state < 3; ++state) {
    Image img(size, size);
    const RectF r{0.5f, 0.5f, float(size) - 0.5f, float(size) - 0.5f};
    const float rad = float(t.checkRadius);
    const Sdf box = [=](float x, float y) { return SdRoundRect(x, y, r, rad); };
    const Color bg = state == 2 ? Darken(t.edit, 0.12f) : state == 1 ? Mix(t.edit, t.accent, 0.1f) : t.edit;
    img.FillShape(r, box, [&](float, float y) {
      return Mix(Darken(bg, 0.07f), Lighten(bg, 0.08f), clamp01((y - r.y0) / r.H()));
    });
    img.StrokeInside(r, [=](float x, float y) { return box(x, y) + 1.0f; }, 1.0f, Black(state == 2 ? 0.12f : 0.05f));
    img.StrokeInside(r, box, 1.0f, state == 1 ? Darken(t.accent, 0.1f) : t.editBorder);
    const Color mark = Darken(t.accent, 0.3f);
    if (kind == Check::Checked) {
      const float k = float(size);
      img.FillShape(r, [=](float x, float y) {
        return std::min(SdSegment(x, y, 0.24f * k, 0.5f * k, 0.43f * k, 0.7f * k, k * 0.15f),
                        SdSegment(x, y, 0.43f * k, 0.7f * k, 0.78f * k, 0.27f * k, k * 0.15f));
      }, mark);
    } else if (kind == Check::Grayed) {
      const RectF in = r.Inset(float(size) * 0.26f);
      img.FillShape(in, [=](float x, float y) { return SdRoundRect(x, y, in, 1.0f); }, WithAlpha(t.accent, 0.6f));
    }
    s.push_back(std::move(img));
  }
  return s;
}

States Radio(const Theme& t, bool checked, int size) {
  States s;
  const float c = float(size) * 0.5f, rr = float(size) * 0.5f - 0.5f;
  for (int state = 0; state < 3; ++state) {
    Image img(size, size);
    const RectF box{0, 0, float(size), float(size)};
    const Sdf ball = [=](float x, float y) { return SdCircle(x, y, c, c, rr); };
    const Color bg = state == 2 ? Darken(t.edit, 0.12f) : state == 1 ? Mix(t.edit, t.accent, 0.1f) : t.edit;
    img.FillShape(box, ball, [&](float, float y) { return Mix(Darken(bg, 0.08f), Lighten(bg, 0.08f), y / float(size)); });
    img.StrokeInside(box, [=](float x, float y) { return ball(x, y) + 1.0f; }, 1.0f, Black(0.05f));
    img.StrokeInside(box, ball, 1.0f, state == 1 ? Darken(t.accent, 0.1f) : t.editBorder);
    if (checked) {
      const float dr = float(size) * 0.2f;
      const Color dot = t.accent;
      img.FillShape(box, [=](float x, float y) { return SdCircle(x, y, c, c, dr); }, [=](float, float y) {
        return Mix(Lighten(dot, 0.35f), Darken(dot, 0.25f), clamp01((y - (c - dr)) / (2 * dr)));
      });
      img.FillShape(box, [=](float x, float y) { return SdCircle(x, y, c - dr * 0.3f, c - dr * 0.35f, dr * 0.38f); },
                    White(0.55f));
    }
    s.push_back(std::move(img));
  }
  return s;
}

States MenuCheck(const Theme& t) {
  States s;
  const int size = 14;
  for (int state = 0; state < 2; ++state) {
    Image img(size, size);
    const Color c = state ? t.menuHotText : t.menuText;
    const float k = float(size);
    img.FillShape(RectF{0, 0, k, k}, [=](float x, float y) {
      return std::min(SdSegment(x, y, 0.2f * k, 0.52f * k, 0.42f * k, 0.74f * k, 1.9f),
                      SdSegment(x, y, 0.42f * k, 0.74f * k, 0.8f * k, 0.26f * k, 1.9f));
    }, c);
    s.push_back(std::move(img));
  }
  return s;
}

States Arrow(const Theme& t, Dir dir, int size, Color normal, Color hot, Color pressed) {
  (void)t;
  States s;
  const float k = float(size);
  std::vector<std::pair<float, float>> down = {{0.12f * k, 0.3f * k}, {0.88f * k, 0.3f * k}, {0.5f * k, 0.74f * k}};
  for (int state = 0; state < 3; ++state) {
    Image img(size, size);
    const Color c = state == 0 ? normal : state == 1 ? hot : pressed;
    img.FillShape(RectF{0, 0, k, k}, [&](float x, float y) {
      // Points of the down arrow, turned to the direction.
      float px = x, py = y;
      switch (dir) {
        case Dir::Down: break;
        case Dir::Up: py = k - y; break;
        case Dir::Right: px = y, py = x; break;
        case Dir::Left: px = y, py = k - x; break;
      }
      return SdPolygon(px, py, down) - 0.35f;
    }, c);
    s.push_back(std::move(img));
  }
  return s;
}

States Grip(const Theme& t, int w, int h, int kind) {
  Image img(w, h);
  const Color dark = Darken(t.window, 0.42f), light = Lighten(t.window, 0.6f);
  auto dot = [&](int x, int y) {
    img.FillShape(RectF{float(x), float(y), float(x) + 3, float(y) + 3}, [=](float px, float py) {
      return SdRoundRect(px, py, RectF{float(x) + 1, float(y) + 1, float(x) + 3, float(y) + 3}, 0.6f);
    }, light);
    img.FillShape(RectF{float(x), float(y), float(x) + 3, float(y) + 3}, [=](float px, float py) {
      return SdRoundRect(px, py, RectF{float(x), float(y), float(x) + 2, float(y) + 2}, 0.6f);
    }, dark);
  };
  if (kind == 0) {
    for (int j = 0; j < 3; ++j)
      for (int i = 0; i < 3; ++i)
        if (i + j >= 2) dot(w - 12 + i * 4, h - 12 + j * 4);
  } else if (kind == 1) {
    for (int i = 0; i < 3; ++i) dot(w / 2 - 6 + i * 4, h / 2 - 1);
  } else {
    for (int i = 0; i < 3; ++i) dot(w / 2 - 1, h / 2 - 6 + i * 4);
  }
  return States{img};
}

States TabStates(const Theme& t, Side side, uint32_t seed) {
  const int w = 24, h = 22;
  const float rad = float(t.tabRadius);
  States top;
  for (int state = 0; state < 3; ++state) {
    Image img(w, h);
    const RectF r{0, 0, float(w), float(h) + 2.0f};  // the bottom edge lies outside: the tab opens on its page
    if (state == 2) {
      const Color page = t.panel;
      FaceLook f;
      f.fill = Stops{{0.0f, Lighten(page, 0.35f)}, {0.6f, page}, {1.0f, page}};
      f.outline = Mix(t.outline, page, 0.25f);
      f.outlineBottom = f.outline;
      f.rim = White(0.7f * t.bevel);
      PaintFace(img, r, Radii(rad, rad, 0, 0), f, seed);
      // The active tab's accent along its top.
      const RectF band{1, 1, float(w) - 1, 3};
      img.FillShape(band, [=](float x, float y) {
        return std::max(SdRoundRect(x, y, r.Inset(1), std::max(rad - 1, 0.0f), std::max(rad - 1, 0.0f), 0, 0), y - 3.0f);
      }, WithAlpha(t.accent, 0.85f));
    } else {
      const Color base = state == 1 ? Mix(t.panel, t.faceHot, 0.6f) : Darken(t.panel, 0.06f);
      FaceLook f = FaceFor(t, 0, base, base, base);
      f.fill = Stops{{0.0f, Lighten(base, 0.3f)}, {1.0f, Darken(base, 0.04f)}};
      f.bottomLight.a = 0;
      PaintFace(img, RectF{0, 2, float(w), float(h) + 2.0f}, Radii(rad, rad, 0, 0), f, seed);
      for (int x = 0; x < w; ++x) img.Blend(x, h - 1, Mix(t.outline, t.panel, 0.25f), 1.0f);
    }
    top.push_back(std::move(img));
  }
  switch (side) {
    case Side::Top: return top;
    case Side::Bottom: return mapStates(top, flipV);
    case Side::Left: return mapStates(top, rotCCW);
    case Side::Right: return mapStates(top, rotCW);
  }
  return top;
}

States PageFrame(const Theme& t) {
  const int n = 16;
  Image img(n, n);
  const RectF r{0, 0, float(n), float(n)};
  const Sdf sd = [=](float x, float y) { return SdRoundRect(x, y, r, 2.0f); };
  img.FillShape(r, sd, t.panel);
  img.StrokeInside(r, [=](float x, float y) { return sd(x, y) + 1.0f; }, 1.0f, White(0.45f * t.bevel));
  img.StrokeInside(r, sd, 1.0f, Mix(t.outline, t.panel, 0.25f));
  return States{img};
}

States ScrollButton(const Theme& t, bool vertical, uint32_t seed) {
  (void)vertical;
  const int n = 17;
  States s;
  const Color base = Mix(t.face, t.track, 0.35f);
  for (int state = 0; state < 3; ++state) {
    Image img(n, n);
    FaceLook f = FaceFor(t, state, base, t.faceHot, t.facePressed);
    PaintFace(img, RectF{0.5f, 0.5f, float(n) - 0.5f, float(n) - 0.5f}, Radii(std::min(2.5f, float(t.buttonRadius))),
              f, seed + uint32_t(state));
    s.push_back(std::move(img));
  }
  return s;
}

States ScrollTrack(const Theme& t, bool vertical) {
  const int w = 16, h = 17;
  States s;
  for (int state = 0; state < 3; ++state) {
    Image img(w, h);
    const Color c = state == 2 ? Darken(t.track, 0.15f) : t.track;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        Color k = Mix(Darken(c, 0.08f), Lighten(c, 0.06f), float(y) / float(h - 1));
        if (y < 2) k = Darken(k, 0.06f * float(2 - y));
        img.Blend(x, y, k, 1.0f);
      }
    for (int x = 0; x < w; ++x) {
      img.Blend(x, 0, Darken(c, 0.25f), 0.6f);
      img.Blend(x, h - 1, Darken(c, 0.15f), 0.5f);
    }
    s.push_back(std::move(img));
  }
  return vertical ? mapStates(s, rotCCW) : s;
}

States ScrollThumb(const Theme& t, bool vertical, uint32_t seed) {
  const int w = 26, h = 17;
  States s;
  const float rad = std::min(float(h - 5) * 0.5f, float(t.buttonRadius) + 1.5f);
  for (int state = 0; state < 3; ++state) {
    Image img(w, h);
    const RectF r{1, 2, float(w) - 1, float(h) - 2};
    // Under the pointer and held, the thumb leans to the accent: a thumb is small, its change must show.
    FaceLook f = FaceFor(t, state, Mix(t.face, t.accent, t.material == Material::Glass ? 0.0f : 0.06f),
                         Mix(t.faceHot, t.accent, 0.25f), Mix(t.facePressed, t.accent, 0.25f));
    PaintFace(img, r, Radii(rad), f, seed + uint32_t(state));
    s.push_back(std::move(img));
  }
  return vertical ? mapStates(s, rotCCW) : s;
}

States ThumbGrip(const Theme& t, bool vertical) {
  const int w = 9, h = 7;
  States s;
  for (int state = 0; state < 3; ++state) {
    Image img(w, h);
    const Color dark = WithAlpha(Darken(t.face, state == 1 ? 0.5f : 0.4f), 0.8f);
    for (int i = 0; i < 3; ++i) {
      const int x = 1 + i * 3;
      for (int y = 0; y < h; ++y) {
        img.Blend(x, y, dark, 1.0f);
        img.Blend(x + 1, y, etch(t.face, 0.7f), 1.0f);
      }
    }
    s.push_back(std::move(img));
  }
  return vertical ? mapStates(s, rotCCW) : s;
}

States SliderThumb(const Theme& t, bool vertical, uint32_t seed) {
  const int w = 11, h = 19;
  States s;
  const std::vector<std::pair<float, float>> shape = {
      {0.5f, 0.5f}, {float(w) - 0.5f, 0.5f}, {float(w) - 0.5f, 12.5f}, {float(w) * 0.5f, float(h) - 0.5f}, {0.5f, 12.5f}};
  for (int state = 0; state < 3; ++state) {
    Image img(w, h);
    const FaceLook f = FaceFor(t, state, t.face, t.faceHot, t.facePressed);
    const RectF r{0, 0, float(w), float(h)};
    const Sdf sd = [&](float x, float y) { return SdPolygon(x, y, shape); };
    const Noise n(seed);
    img.FillShape(r, sd, [&](float, float y) { return f.fill.At(y / float(h)); });
    img.StrokeInside(r, [&](float x, float y) { return sd(x, y) + 1.0f; }, 1.0f, WithAlpha(f.rim, f.rim.a * 0.8f));
    img.StrokeInside(r, sd, 1.0f, f.outline);
    s.push_back(std::move(img));
  }
  return vertical ? mapStates(s, rotCCW) : s;
}

States SliderChannel(const Theme& t) {
  const int w = 12, h = 6;
  States s;
  for (int state = 0; state < 2; ++state) {
    Image img(w, h);
    const RectF r{0, 0, float(w), float(h)};
    const Sdf sd = [=](float x, float y) { return SdRoundRect(x, y, r, 2.0f); };
    const Color c = state ? Mix(t.track, t.accent, 0.18f) : t.track;
    img.FillShape(r, sd, [&](float, float y) { return Mix(Darken(c, 0.2f), Lighten(c, 0.05f), y / float(h)); });
    img.StrokeInside(r, sd, 1.0f, [&](float, float y) {
      return Mix(t.outline, etch(t.window, 0.8f), clamp01(y / float(h - 1)));
    });
    s.push_back(std::move(img));
  }
  return s;
}

States Tick(const Theme& t, bool vertical) {
  Image img(vertical ? 4 : 1, vertical ? 1 : 4);
  for (int y = 0; y < img.H(); ++y)
    for (int x = 0; x < img.W(); ++x) img.Blend(x, y, Mix(t.textDim, t.window, 0.2f), 1.0f);
  return States{img};
}

States MenuFrame(const Theme& t) {
  const int n = 12;
  Image img(n, n);
  const RectF r{0, 0, float(n), float(n)};
  const Sdf sd = [=](float x, float y) { return SdRoundRect(x, y, r, 3.0f); };
  img.StrokeInside(r, [=](float x, float y) { return sd(x, y) + 1.0f; }, 2.0f, Mix(t.menu, Rgb(0xFFFFFF), Luma(t.menu) > 0.5f ? 0.5f : 0.06f));
  img.StrokeInside(r, sd, 1.0f, Mix(t.outline, t.menu, 0.2f));
  return States{img};
}

States MenuItemHot(const Theme& t, Color c, int count) {
  const int n = 16;
  States s;
  s.push_back(Image(n, n));
  for (int i = 1; i < count; ++i) {
    Image img(n, n);
    const RectF r{0, 0, float(n), float(n)};
    FaceLook f;
    const Color k = i == 2 ? Darken(c, 0.12f) : c;
    f.fill = Stops{{0.0f, Lighten(k, 0.35f)}, {1.0f, k}};
    if (t.material == Material::Gloss || t.material == Material::Glass)
      f.fill = Stops{{0.0f, Lighten(k, 0.45f)}, {0.5f, Lighten(k, 0.2f)}, {0.52f, k}, {1.0f, Lighten(k, 0.1f)}};
    f.outline = WithAlpha(Darken(k, 0.28f), 0.85f);
    f.outlineBottom = f.outline;
    f.rim = White(0.4f);
    PaintFace(img, r, Radii(3.0f), f, 5);
    s.push_back(std::move(img));
  }
  return s;
}

States DividerLine(const Theme& t, bool vertical) {
  Image img(vertical ? 4 : 12, vertical ? 16 : 2);
  const Color dark = WithAlpha(Darken(vertical ? t.panel : t.menu, 0.25f), 0.8f);
  for (int i = 0; i < (vertical ? img.H() : img.W()); ++i) {
    if (vertical) {
      img.Blend(1, i, dark, 1.0f);
      img.Blend(2, i, etch(t.panel, 0.6f), 1.0f);
    } else {
      img.Blend(i, 0, dark, 1.0f);
      img.Blend(i, 1, etch(t.menu, 0.6f), 1.0f);
    }
  }
  return States{img};
}

States GroupFrame(const Theme& t) {
  const int n = 16;
  Image img(n, n);
  const RectF r{0, 0, float(n), float(n)};
  const Sdf in = [=](float x, float y) { return SdRoundRect(x, y, RectF{1, 1, float(n), float(n)}, 4.0f); };
  img.StrokeInside(r, in, 1.0f, etch(t.window, 0.6f * t.bevel + 0.1f));
  img.StrokeInside(r, [=](float x, float y) { return SdRoundRect(x, y, RectF{0, 0, float(n) - 1, float(n) - 1}, 4.0f); },
                   1.0f, WithAlpha(Mix(t.outline, t.window, 0.45f), 0.9f));
  return States{img};
}

States PanelBevel(const Theme& t, bool raised) {
  const int n = 10;
  Image img(n, n);
  const Color light = etch(t.panel, raised ? 0.55f * t.bevel + 0.1f : 0.45f);
  const Color dark = WithAlpha(Darken(t.panel, 0.3f), raised ? 0.45f : 0.6f);
  for (int i = 0; i < n; ++i) {
    img.Blend(i, 0, raised ? light : dark, 1.0f);
    img.Blend(0, i, raised ? light : dark, 1.0f);
    img.Blend(i, n - 1, raised ? dark : light, 1.0f);
    img.Blend(n - 1, i, raised ? dark : light, 1.0f);
  }
  return States{img};
}

States StatusPanel(const Theme& t) {
  const int n = 8;
  Image img(n, n);
  const RectF r{0, 0, float(n), float(n)};
  const Sdf sd = [=](float x, float y) { return SdRoundRect(x, y, r, 1.5f); };
  img.FillShape(r, sd, Black(0.04f));
  img.StrokeInside(r, sd, 1.0f, [&](float, float y) {
    return Mix(WithAlpha(Darken(t.panel, 0.35f), 0.55f), etch(t.panel, 0.6f), clamp01(y / float(n)));
  });
  return States{img};
}

States BarLine(const Theme& t, bool bottom) {
  const int n = 8;
  Image img(n, n);
  for (int x = 0; x < n; ++x) {
    if (bottom) {
      img.Blend(x, n - 1, Darken(t.panel, 0.28f), 0.8f);
      img.Blend(x, 0, etch(t.panel, 0.55f), 1.0f);
    } else {
      img.Blend(x, 0, Darken(t.panel, 0.28f), 0.8f);
      img.Blend(x, 1, etch(t.panel, 0.55f), 1.0f);
    }
  }
  return States{img};
}

States Selection(const Theme& t) {
  const int n = 12;
  States s;
  for (int state = 0; state < 2; ++state) {
    Image img(n, n);
    const RectF r{0, 0, float(n), float(n)};
    const Color c = state ? t.accent : Mix(t.window, t.textDim, 0.3f);
    FaceLook f;
    f.fill = Stops{{0.0f, Lighten(c, 0.22f)}, {1.0f, c}};
    f.outline = Darken(c, 0.2f);
    f.outlineBottom = Darken(c, 0.28f);
    f.rim = White(0.3f);
    PaintFace(img, r, Radii(2.5f), f, 3);
    s.push_back(std::move(img));
  }
  return s;
}

Color HeaderHot(const Theme& t) { return Luma(t.panel) < 0.5f ? Mix(t.panel, t.faceHot, 0.8f) : t.faceHot; }
Color HeaderPressed(const Theme& t) { return Mix(Darken(t.panel, 0.25f), Mix(t.facePressed, t.accent, 0.45f), 0.75f); }

States HeaderCell(const Theme& t, uint32_t seed) {
  const int w = 16, h = 20;
  States s;
  for (int state = 0; state < 3; ++state) {
    Image img(w, h);
    const Color c = state == 1 ? HeaderHot(t) : state == 2 ? HeaderPressed(t) : t.panel;
    // The light of the header's top: softer on dark panels, where light text must read over it.
    const float sheen = Luma(t.panel) < 0.5f ? 0.2f : 0.45f;
    const Noise n(seed);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) img.Blend(x, y, Mix(Lighten(c, sheen), c, float(y) / float(h - 1)), 1.0f);
    for (int y = 3; y < h - 3; ++y) {
      img.Blend(w - 2, y, Darken(c, 0.22f), 1.0f);
      img.Blend(w - 1, y, etch(c, 0.7f), 1.0f);
    }
    for (int x = 0; x < w; ++x) img.Blend(x, h - 1, Darken(c, 0.25f), 1.0f);
    if (state == 1)
      for (int x = 0; x < w; ++x) img.Blend(x, h - 2, WithAlpha(t.accent, 0.6f), 1.0f);
    s.push_back(std::move(img));
  }
  return s;
}

States SmallFace(const Theme& t, int w, int h, float radius, uint32_t seed) {
  States s;
  for (int state = 0; state < 3; ++state) {
    Image img(w, h);
    PaintFace(img, RectF{0, 0, float(w), float(h)}, Radii(radius), FaceFor(t, state, t.face, t.faceHot, t.facePressed),
              seed + uint32_t(state));
    s.push_back(std::move(img));
  }
  return s;
}

States Stud(const Theme& t, int n) {
  Image img(n, n);
  const float c = float(n) * 0.5f, r = float(n) * 0.36f;
  const Color gold = t.trim;
  img.FillShape(RectF{0, 0, float(n), float(n)}, [=](float x, float y) { return SdCircle(x, y, c, c, r); },
                [=](float x, float y) {
                  const float d = clamp01(std::hypot(x - (c - 0.6f), y - (c - 0.6f)) / (r * 1.4f));
                  return Mix(Lighten(gold, 0.6f), Darken(gold, 0.35f), d);
                });
  img.StrokeInside(RectF{0, 0, float(n), float(n)}, [=](float x, float y) { return SdCircle(x, y, c, c, r); }, 0.7f,
                   Darken(gold, 0.5f));
  return States{img};
}

Image ControlGlow(const Theme& t, Color c, float radius, int extent, int margin, int centre) {
  (void)t;
  const int size = 2 * (extent + margin) + centre;
  Image img(size, size);
  const RectF ctl{float(extent), float(extent), float(size - extent), float(size - extent)};
  const Sdf sd = [=](float x, float y) { return SdRoundRect(x, y, ctl, radius); };
  img.FillShape(RectF{0, 0, float(size), float(size)}, [=](float x, float y) { return sd(x, y) - float(extent) * 0.35f; },
                WithAlpha(c, 1.0f));
  Blur(img, float(extent) * 0.7f);
  // Strengthen, then clear the control's own area (a soft edge a pixel inside it stays).
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      Px& p = img.At(x, y);
      const float k = std::min(1.0f, p.a * 0.85f) / std::max(p.a, 1e-6f);
      const float inside = Coverage(sd(float(x) + 0.5f, float(y) + 0.5f) + 1.5f);
      const float keep = k * (1.0f - inside);
      p.r *= keep, p.g *= keep, p.b *= keep, p.a *= keep;
    }
  return img;
}

Image CaptionGlow(const Theme& t, Caption kind, int margin, uint32_t seed) {
  const States button = CaptionButton(t, kind, false, seed);
  const int bw = button[1].W(), bh = button[1].H();
  const int w = bw + 2 * margin, h = bh + 2 * margin;
  Image img(w, h);
  const bool close = kind == Caption::Close || kind == Caption::CloseAlone;
  const Color c = close ? Rgb(0xFF5A3C) : t.glow;
  const RectF r{float(margin), float(margin), float(margin + bw), float(margin + bh)};
  img.FillShape(RectF{0, 0, float(w), float(h)}, [=](float x, float y) { return SdRoundRect(x, y, r, 4.0f) - 2.0f; },
                c);
  Blur(img, float(margin) * 0.75f);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      Px& p = img.At(x, y);
      const float k = std::min(1.0f, p.a * 1.1f) / std::max(p.a, 1e-6f);
      p.r *= k, p.g *= k, p.b *= k, p.a *= k;
    }
  img.Draw(button[1], margin, margin);
  return img;
}

Image ExtendedBorder(const Theme& t, bool active, int margin, int band) {
  const int size = 2 * (margin + band) + 16;
  Image img(size, size);
  const RectF win{float(margin), float(margin), float(size - margin), float(size - margin)};
  const float rad = float(std::min(t.frameRadius, t.borderWidth));
  const Sdf sd = [=](float x, float y) { return SdRoundRect(x, y, win, rad, rad, 1.5f, 1.5f); };
  const float strength = active ? 0.7f : 0.42f;
  img.FillShape(RectF{0, 0, float(size), float(size)}, [=](float x, float y) { return sd(x, y - 2.0f) + 1.0f; },
                WithAlpha(t.shadow, strength));
  Blur(img, float(margin) * 0.62f);
  if (active && t.glow.a > 0 && t.titleButtons == TitleButtonStyle::Glass) {
    Image halo(size, size);
    halo.FillShape(RectF{0, 0, float(size), float(size)}, [=](float x, float y) { return sd(x, y); },
                   WithAlpha(t.glow, 0.35f));
    Blur(halo, 3.0f);
    img.Draw(halo, 0, 0);
  }
  // The window itself is not part of the border image.
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const float inside = Coverage(sd(float(x) + 0.5f, float(y) + 0.5f));
      Px& p = img.At(x, y);
      const float keep = 1.0f - inside;
      p.r *= keep, p.g *= keep, p.b *= keep, p.a *= keep;
    }
  return img;
}

States OuterShadow(const Theme& t, int size, int extent) {
  Image img(size, size);
  const RectF ctl{float(extent), float(extent), float(size - extent), float(size - extent)};
  const Sdf sd = [=](float x, float y) { return SdRoundRect(x, y, ctl, float(t.buttonRadius)); };
  img.FillShape(RectF{0, 0, float(size), float(size)}, [=](float x, float y) { return sd(x, y - 1.0f); }, Black(0.55f));
  Blur(img, float(extent) * 0.6f);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const float inside = Coverage(sd(float(x) + 0.5f, float(y) + 0.5f));
      Px& p = img.At(x, y);
      p.r *= 1 - inside, p.g *= 1 - inside, p.b *= 1 - inside, p.a *= 1 - inside;
    }
  return States{img};
}

Image BrushedMetal(const Theme& t, int w, int h, uint32_t seed) {
  Image img(w, h);
  const Noise n(seed);
  const int px = 8, py = h / 2;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float fx = float(x) * float(px) / float(w), fy = float(y) * float(py) / float(h);
      const float streak = n.Fbm(fx, fy, px, 3) - 0.5f;
      const float fine = n.Hash((x * 3) % (w * 3), y * 7) - 0.5f;
      Color c = t.window;
      const float v = streak * 0.14f + fine * 0.035f;
      c = v > 0 ? Lighten(c, v) : Darken(c, -v);
      img.Blend(x, y, c, 1.0f);
    }
  return img;
}

Image Grain(Color base, int w, int h, float amount, uint32_t seed) {
  Image img(w, h);
  const Noise n(seed);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float g = (n.Hash(x, y) - 0.5f) * amount + (n.Fbm(float(x) / 16.0f, float(y) / 16.0f, w / 16, 2) - 0.5f) * amount;
      img.Blend(x, y, g > 0 ? Lighten(base, g) : Darken(base, -g), 1.0f);
    }
  return img;
}

Image Clover(const Theme& t, int size, uint32_t seed) {
  Image img(size, size);
  img.Fill(t.window);
  const Noise n(seed);
  const Color leaf = WithAlpha(Darken(Mix(t.window, t.accent, 0.5f), 0.05f), 0.12f);
  // A clover of `leaves` heart-shaped leaves around (cx, cy), `s` across, turned by `turn`, with its stem.
  auto clover = [&](float cx, float cy, float s, int leaves, float turn) {
    const Sdf shape = [=](float x, float y) {
      float d = 1e9f;
      for (int k = 0; k < leaves; ++k) {
        const float a = turn + float(k) * 2.0f * Pi / float(leaves);
        const float ux = std::cos(a), uy = std::sin(a), px = -uy, py = ux;
        const float lx = cx + ux * s * 0.3f, ly = cy + uy * s * 0.3f;
        const float lobe = s * 0.17f;
        const float c1 = SdCircle(x, y, lx + px * lobe * 0.9f + ux * lobe * 0.5f, ly + py * lobe * 0.9f + uy * lobe * 0.5f, lobe);
        const float c2 = SdCircle(x, y, lx - px * lobe * 0.9f + ux * lobe * 0.5f, ly - py * lobe * 0.9f + uy * lobe * 0.5f, lobe);
        const float tip = SdPolygon(x, y, {{cx + ux * s * 0.04f, cy + uy * s * 0.04f},
                                           {lx + px * lobe * 1.75f + ux * lobe * 0.2f, ly + py * lobe * 1.75f + uy * lobe * 0.2f},
                                           {lx - px * lobe * 1.75f + ux * lobe * 0.2f, ly - py * lobe * 1.75f + uy * lobe * 0.2f}});
        d = std::min({d, c1, c2, tip});
      }
      const float stem = SdSegment(x, y, cx, cy, cx + s * 0.18f, cy + s * 0.62f, s * 0.06f);
      return std::min(d, stem);
    };
    for (int dy = -size; dy <= size; dy += size)
      for (int dx = -size; dx <= size; dx += size) {
        const float ox = float(dx), oy = float(dy);
        img.FillShape(RectF{cx + ox - s, cy + oy - s, cx + ox + s, cy + oy + s},
                      [=](float x, float y) { return shape(x - ox, y - oy); }, leaf);
      }
  };
  const float k = float(size) / 96.0f;
  clover(30 * k, 34 * k, 30 * k, 4, 0.35f);
  clover(74 * k, 76 * k, 22 * k, 3, 1.25f);
  clover(78 * k, 20 * k, 14 * k, 3, 2.1f);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) img.Blend(x, y, WithAlpha(Darken(t.window, 0.06f), 0.2f), n.Hash(x, y) * 0.25f);
  return img;
}

Image Sandstone(const Theme& t, int w, int h, uint32_t seed) {
  Image img(w, h);
  const Noise n(seed);
  const Color light = Lighten(t.window, 0.15f), dark = Darken(t.window, 0.1f);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float v = n.Fbm(float(x) / 32.0f, float(y) / 32.0f, w / 32, 4);
      const float layer = 0.5f + 0.5f * std::sin((float(y) / float(h)) * 2.0f * Pi * 3.0f + v * 5.0f);
      Color c = Mix(dark, light, clamp01(0.55f * v + 0.45f * layer));
      const float speck = n.Hash(x * 5, y * 3);
      if (speck > 0.985f) c = Darken(c, 0.18f);
      img.Blend(x, y, c, 1.0f);
    }
  return img;
}

Image SoftVignette(Color top, Color bottom, int w, int h, uint32_t seed) {
  Image img(w, h);
  const Noise n(seed);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float fx = (float(x) + 0.5f) / float(w) - 0.5f;
      Color c = Mix(top, bottom, (float(y) + 0.5f) / float(h));
      c = Darken(c, fx * fx * 0.12f);
      c = Lighten(c, (n.Hash(x, y) - 0.5f) * 0.015f);
      img.Blend(x, y, c, 1.0f);
    }
  return img;
}

Image Meadow(const Theme& t, int w, int h, uint32_t seed) {
  Image img(w, h);
  const Noise n(seed);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float v = n.Fbm(float(x) / 40.0f, float(y) / 40.0f, 0, 5);
      const float sky = float(y) / float(h);
      Color c = Mix(Lighten(t.window, 0.2f), Mix(t.window, t.accent, 0.25f), sky);
      c = Mix(c, Darken(c, 0.15f), clamp01((v - 0.4f) * 1.6f));
      img.Blend(x, y, c, 1.0f);
    }
  return img;
}

Image Stripes(Color base, Color stripe, int size) {
  Image img(size, size);
  img.Fill(base);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const float d = std::fmod(float(x + y) + 0.5f, float(size) / 2.0f);
      const float cov = clamp01(1.0f - std::fabs(d - float(size) / 8.0f) / (float(size) / 8.0f));
      img.Blend(x, y, stripe, cov);
    }
  return img;
}

Image Leaves(const Theme& t, int size, uint32_t seed) {
  Image img(size, size);
  img.Fill(t.panel);
  const Noise n(seed);
  Rng rng(seed);
  const Color vein = WithAlpha(Darken(Mix(t.panel, t.accent, 0.35f), 0.05f), 0.1f);
  for (int i = 0; i < 5; ++i) {
    const float cx = rng.Uniform() * float(size), cy = rng.Uniform() * float(size);
    const float a = rng.Uniform() * Pi, len = float(size) * (0.18f + 0.12f * rng.Uniform());
    const float ux = std::cos(a), uy = std::sin(a);
    for (int dy = -size; dy <= size; dy += size)
      for (int dx = -size; dx <= size; dx += size) {
        const float ox = cx + float(dx), oy = cy + float(dy);
        // A willow leaf: a long thin ellipse.
        img.FillShape(RectF{ox - len, oy - len, ox + len, oy + len}, [=](float x, float y) {
          const float px = (x - ox) * ux + (y - oy) * uy, py = -(x - ox) * uy + (y - oy) * ux;
          return (std::sqrt((px / len) * (px / len) + (py / (len * 0.22f)) * (py / (len * 0.22f))) - 1.0f) * len * 0.2f;
        }, vein);
      }
  }
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) img.Blend(x, y, Darken(t.panel, 0.05f), (n.Hash(x, y) - 0.5f) * 0.2f + 0.1f);
  return img;
}

}  // namespace skingen
