// The program's own resources besides the stored skins.
#include <cmath>

#include "tools/skingen/generate.h"

namespace skingen {

// A standard extended-border shadow: a soft shadow 9 pixels wide around a window, the window itself empty.
Image StandardShadowImage(bool active) {
  const int margin = 9, size = 2 * margin + 22;
  Image img(size, size);
  const RectF win{float(margin), float(margin), float(size - margin), float(size - margin)};
  const Sdf sd = [=](float x, float y) { return SdRoundRect(x, y, win, 3.0f); };
  img.FillShape(RectF{0, 0, float(size), float(size)}, [=](float x, float y) { return sd(x, y - 1.5f) + 1.0f; },
                Color{0, 0, 0, active ? 0.55f : 0.32f});
  Blur(img, 5.5f);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const float keep = 1.0f - Coverage(sd(float(x) + 0.5f, float(y) + 0.5f));
      Px& p = img.At(x, y);
      p.r *= keep, p.g *= keep, p.b *= keep, p.a *= keep;
    }
  return img;
}

// The program's icon: a green badge with an antenna sending waves.
Image ProgramIcon(int n);

namespace {

// "BLUR5": a square grey image whose brightness is the strength of a shadow with a five-pixel blur: white in
// the middle, fading to black over the five pixels at its edges. The library cuts it into nine pieces with borders
// of half its width, so it is an odd number of pixels wide (a middle column and row for the edges), and a control's
// outer effect shows its outer few columns and rows.
Pixels8 blur5() {
  const int w = 21;
  Image img(w, w);
  const RectF inner{3, 3, float(w - 3), float(w - 3)};
  img.FillShape(RectF{0, 0, float(w), float(w)}, [=](float x, float y) { return SdRoundRect(x, y, inner, 1.0f); },
                Color{1, 1, 1, 1});
  Blur(img, 4.0f);
  Pixels8 p(w, w);
  for (int y = 0; y < w; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t v = uint32_t(std::lround(std::clamp(img.At(x, y).a, 0.0f, 1.0f) * 255.0f));
      p.At(x, y) = 0xFF000000u | (v << 16) | (v << 8) | v;
    }
  return p;
}

// "MENUBTN": the drop-down glyph of title-bar menu items, three states side by side (normal, hot, pressed)
// on the key colour.
Pixels8 menuButton() {
  const int n = 16;
  Pixels8 out(n * 3, n, 0xFF00FF);
  const Color colours[3] = {Rgb(0x404040), Rgb(0x1F5FB0), Rgb(0x103A70)};
  for (int s = 0; s < 3; ++s) {
    Image img(n, n);
    const float dy = s == 2 ? 1.0f : 0.0f;
    for (int i = 0; i < 3; ++i) {
      const float y = 4.5f + float(i) * 3.0f + dy;
      img.FillShape(RectF{0, 0, float(n), float(n)}, [=](float px, float py) {
        return SdSegment(px, py, 3.0f, y, 12.0f, y, 1.6f);
      }, colours[s]);
    }
    const Pixels8 p = ToPixels8(img);
    for (int y = 0; y < n; ++y)
      for (int x = 0; x < n; ++x) {
        const uint32_t c = p.At(x, y);
        if ((c >> 24) >= 128) out.At(s * n + x, y) = c & 0xFFFFFF;
      }
  }
  return out;
}

}  // namespace

Image ProgramIcon(int n) {
  Image img(n, n);
  const float k = float(n) / 32.0f;
  const RectF badge{1.0f * k, 1.0f * k, 31.0f * k, 31.0f * k};
  const Sdf sd = [=](float x, float y) { return SdRoundRect(x, y, badge, 7.0f * k); };
  img.FillShape(badge, sd, [=](float, float y) {
    return Mix(Rgb(0x8CCB52), Rgb(0x2F7A1E), std::clamp((y - badge.y0) / badge.H(), 0.0f, 1.0f));
  });
  img.FillShape(badge, [=](float x, float y) { return std::max(sd(x, y) + 1.0f * k, y - 15.0f * k); },
                Color{1, 1, 1, 0.22f});
  img.StrokeInside(badge, sd, std::max(1.0f, 1.0f * k), Rgb(0x1E4E12));
  const Color white = Rgb(0xFFFFFF);
  const float cx = 16.0f * k, top = 11.0f * k;
  // Small icons get bolder lines and one wave on each side, so that they stay legible.
  const bool small = n <= 16;
  const float line = small ? std::max(1.4f, 2.6f * k) : 2.2f * k;
  // The mast and its feet.
  img.FillShape(badge, [=](float x, float y) {
    return std::min({SdSegment(x, y, cx, top, cx, 26.0f * k, line), SdSegment(x, y, cx, top + 3 * k, 11.0f * k, 26.0f * k, line * 0.82f),
                     SdSegment(x, y, cx, top + 3 * k, 21.0f * k, 26.0f * k, line * 0.82f)});
  }, white);
  img.FillShape(badge, [=](float x, float y) { return SdCircle(x, y, cx, top, line); }, white);
  // Waves on each side.
  for (int i = 1; i <= (small ? 1 : 2); ++i) {
    const float r = (small ? 8.0f : 3.5f + 3.8f * float(i)) * k;
    const float half = small ? std::max(0.7f, 1.3f * k) : 0.9f * k;
    img.FillShape(badge, [=](float x, float y) {
      const float d = std::fabs(std::hypot(x - cx, y - top) - r) - half;
      const float ang = std::fabs(std::atan2(y - top, std::fabs(x - cx)));
      return ang < 0.75f ? d : std::max(d, (ang - 0.75f) * r);
    }, Color{1, 1, 1, 0.95f - 0.2f * float(i)});
  }
  return img;
}

std::vector<ProgramResource> GenerateProgramResources() {
  std::vector<ProgramResource> r;
  r.push_back({"acSHDA", "RCDATA", "acSHDA.png", EncodePng(ToPixels8(StandardShadowImage(true)))});
  r.push_back({"acSHDI", "RCDATA", "acSHDI.png", EncodePng(ToPixels8(StandardShadowImage(false)))});
  r.push_back({"BLUR5", "BITMAP", "BLUR5.bmp", EncodeBmp24(blur5())});
  r.push_back({"MENUBTN", "BITMAP", "MENUBTN.bmp", EncodeBmp24(menuButton())});
  std::vector<Pixels8> sizes;
  for (int n : {16, 24, 32, 48}) sizes.push_back(ToPixels8(ProgramIcon(n)));
  r.push_back({"MAINICON", "ICON", "station.ico", EncodeIco(sizes)});
  return r;
}

}  // namespace skingen
