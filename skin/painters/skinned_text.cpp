#include "skin/painters/skinned_text.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "gui/graphics.h"
#include "skin/data/scommondata.h"
#include "skin/data/sskinmanager.h"
#include "skin/pixels/color_effects.h"
#include "skin/pixels/graph_utils.h"
#include "skin/painters/painter_services.h"
#include "skin/pixels/pixel_access.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/pixels/pixel_kernels.h"
#include "skin/painters/section_text.h"
#include "skin/painters/text_engine.h"

namespace skin {

using detail::GetView32;
using detail::TextPasses;
using detail::View32;

namespace {

constexpr TRect kNoClip{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};

int32_t Clamp32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// Contour passes then the text, in the block's colours passed through effect.
template <class Effect>
void ContouredText(Bitmap& bmp, const TextPasses& passes, const SkinStateBlock& block, const TRect& clip,
                   Effect effect) {
  const struct {
    TColor colour;
    int32_t dx, dy;
  } contours[4] = {{block.ContourLeft, -1, 0}, {block.ContourTop, 0, -1}, {block.ContourRight, 1, 0},
                   {block.ContourBottom, 0, 1}};
  for (const auto& c : contours)
    if (c.colour != -1) passes.Pass(bmp, effect(c.colour), c.dx, c.dy, clip);
  passes.Pass(bmp, effect(block.FontColor), 0, 0, clip);
}

// The font colour effects of a control: tone, hue, saturation x 2.55.
TColor FontEffects(const TsCommonData& data, TColor colour) {
  TColor c = ColorToRGB(colour);
  if (data.ColorTone != clNone) {
    uint32_t p = ColorToPixel(c, 255);
    PixelTone(p, ColorToRGB(data.ColorTone));
    c = RGBColor(uint8_t(PixelR(p)), uint8_t(PixelG(p)), uint8_t(PixelB(p)));
  }
  if (data.HUEOffset != 0) c = ChangeColorHue(c, data.HUEOffset);
  if (data.Saturation != 0) c = ChangeColorSaturation(c, int(std::nearbyint(data.Saturation * 2.55)));
  return c;
}

TRect Intersect(const TRect& a, const TRect& b) {
  return TRect{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
               std::min(a.Bottom, b.Bottom)};
}

}  // namespace

TColor DisabledTextColor(TColor font, TColor back, const std::vector<TColor>& behind) {
  font = ColorToRGB(font) & 0xFFFFFF, back = ColorToRGB(back) & 0xFFFFFF;
  // The luminances behind, each once, in order: a colour stands out least from the nearest of them.
  std::vector<TColor> colours = behind.empty() ? std::vector<TColor>{back} : behind;
  std::sort(colours.begin(), colours.end());
  colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
  std::vector<double> lum;
  for (TColor c : colours) lum.push_back(platform::RelativeLuminance(c) + 0.05);
  std::sort(lum.begin(), lum.end());
  const auto stands = [&lum](TColor c) {
    const double l = platform::RelativeLuminance(c) + 0.05;
    const auto it = std::lower_bound(lum.begin(), lum.end(), l);
    double worst = 21;
    if (it != lum.end()) worst = *it / l;
    if (it != lum.begin()) worst = std::min(worst, l / *(it - 1));
    return worst >= DisabledTextContrast;
  };
  for (double f = DisabledBlendValue; f < 1; f += 0.05)
    if (const TColor c = MixColorsRatio(font, back, f); stands(c)) return c;
  if (stands(font)) return font;
  const TColor darkest = RGBColor(0, 0, 0), lightest = RGBColor(255, 255, 255);
  const TColor pole = lum.front() / 0.05 >= 1.05 / lum.back() ? darkest : lightest;
  for (double f = 0.05; f < 1; f += 0.05)
    if (const TColor c = MixColorsRatio(pole, font, f); stands(c)) return c;
  return pole;
}

int WriteTextSectionEx(Bitmap& bmp, const gui::TFont& font, std::string_view text, bool enabled, TsSkinManager* manager,
                       const TRect& R, int32_t state, int32_t sectionIndex, uint32_t flags) {
  if (text.empty()) return 0;
  const TextPasses passes(font, text, R, flags);
  const TsSkinManager* m = ManagerOrDefault(manager);
  if (m == nullptr || !SkinManagerIsValidSectionIndex(m->Skin(), sectionIndex)) {
    passes.Pass(bmp, font.Color(), 0, 0, kNoClip);
    return 0;
  }
  const SkinSectionRecord& section = m->Skin().Sections[size_t(sectionIndex)];
  if (!enabled) {
    const SkinStateBlock& b = section.NormalState;
    passes.Pass(bmp, DisabledTextColor(b.FontColor, b.Color, passes.Covered(bmp, kNoClip)), 0, 0, kNoClip);
    return 0;
  }
  ContouredText(bmp, passes, SectionStateBlock(section, std::max(state, 0)), kNoClip,
                [](TColor c) { return ColorToRGB(c); });
  return 0;
}

void WriteSkinText(Bitmap& bmp, const gui::TFont& font, std::string_view text, bool enabled, int32_t state,
                   TsCommonData& data, uint32_t flags, const TRect& R) {
  if (text.empty()) return;
  TsSkinManager* m = SkinDataManager(data);
  const bool skinned = SkinDataSkinned(data);
  bool linkStyle = false, special = false;
  if (skinned) special = Services().SpecialSection(*m, data.SkinIndex, linkStyle);
  // The link-style section underlines a caption that is not in its normal state.
  gui::TFont underlined;
  const gui::TFont* f = &font;
  if (special && linkStyle && state != 0) {
    underlined.Assign(font);
    underlined.SetStyle(font.Style() | gui::fsUnderline);
    f = &underlined;
  }
  if (!skinned) {
    TextPasses(*f, text, R, flags).Pass(bmp, font.Color(), 0, 0, R);
    return;
  }
  const LoadedSkin& skin = m->Skin();
  auto effect = [&data](TColor c) { return FontEffects(data, c); };
  const SkinSectionRecord& own = skin.Sections[size_t(data.SkinIndex)];
  if (data.CustomFont) {
    TextPasses(*f, text, R, flags | dtNoClip).Pass(bmp, effect(SectionStateBlock(own, state).FontColor), 0, 0, R);
    return;
  }
  int32_t sectionIndex = data.SkinIndex;
  if (!special && SectionStateBlock(own, state).Transparency >= 1) {
    const int32_t parent = Services().ParentSectionIndex(data, state, sectionIndex, *m);
    if (SkinManagerIsValidSectionIndex(skin, parent)) sectionIndex = parent;
  }
  const SkinSectionRecord& section = skin.Sections[size_t(sectionIndex)];
  const TextPasses passes(*f, text, R, flags);
  if (!enabled) {
    const SkinStateBlock& b = section.NormalState;
    passes.Pass(bmp, DisabledTextColor(effect(b.FontColor), effect(b.Color), passes.Covered(bmp, R)), 0, 0, R);
    return;
  }
  const SkinStateBlock& block = SectionStateBlock(section, std::max(state, 0));
  if (block.GradientSize != 0)
    DrawTextWithEffects(bmp, *f, text, R, effect(block.GradientColor), block.GradientSize, cfAll, flags, R);
  ContouredText(bmp, passes, block, R, effect);
}

std::vector<uint32_t> GlowKernel(int32_t radius) {
  radius = std::clamp(radius, 0, 255);
  std::vector<uint32_t> weights(size_t(2 * radius + 1));
  if (radius == 0) {
    weights[0] = 65536;
    return weights;
  }
  const double sigma = std::max(radius / 2.0, 0.5);
  std::vector<double> w(weights.size());
  double sum = 0;
  for (int32_t i = -radius; i <= radius; ++i) sum += w[size_t(i + radius)] = std::exp(-double(i) * i / (2 * sigma * sigma));
  uint32_t total = 0;
  for (size_t i = 0; i < w.size(); ++i) total += weights[i] = uint32_t(std::lround(w[i] / sum * 65536.0));
  weights[size_t(radius)] += 65536 - total;  // the centre takes what rounding left over
  return weights;
}

void DrawTextWithEffects(Bitmap& bmp, const gui::TFont& font, std::string_view text, const TRect& R, TColor colour,
                         int32_t glowSize, uint32_t contourFlags, uint32_t flags, const TRect& clip) {
  View32 d;
  if (text.empty() || RectIsEmpty(R) || !GetView32(bmp, d)) return;
  const int32_t g = std::clamp(glowSize, 0, 255);
  const int64_t w64 = RectWidth64(R) + 2 * g, h64 = RectHeight64(R) + 2 * g;
  if (w64 > 0x7FFF || h64 > 0x7FFF) return;
  const int32_t w = int32_t(w64), h = int32_t(h64);
  // The text drawn into the enlarged area: its coverage, 255 where the text is black.
  Bitmap mask(w, h, pf32bit);
  FillRectBitmap32(mask, TRect{0, 0, w, h}, clWhite, 0);
  CurrentTextEngine().DrawMask(font, text, mask, TRect{g, g, w - g, h - g}, flags & ~dtCalcRect);
  View32 mv;
  GetView32(mask, mv);
  std::vector<uint32_t> cover(size_t(w) * size_t(h));
  for (int32_t y = 0; y < h; ++y) {
    const uint32_t* mr = mv.Row(y);
    for (int32_t x = 0; x < w; ++x)
      cover[size_t(y) * size_t(w) + size_t(x)] = 255 - std::min({PixelB(mr[x]), PixelG(mr[x]), PixelR(mr[x])});
  }
  // Contour copies: the text moved by one pixel in each asked direction.
  if (contourFlags & cfAll) {
    const std::vector<uint32_t> base = cover;
    auto at = [&](int32_t x, int32_t y) -> uint32_t {
      return x < 0 || y < 0 || x >= w || y >= h ? 0 : base[size_t(y) * size_t(w) + size_t(x)];
    };
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        uint32_t& c = cover[size_t(y) * size_t(w) + size_t(x)];
        if (contourFlags & cfLeft) c = std::max(c, at(x + 1, y));
        if (contourFlags & cfTop) c = std::max(c, at(x, y + 1));
        if (contourFlags & cfRight) c = std::max(c, at(x - 1, y));
        if (contourFlags & cfBottom) c = std::max(c, at(x, y - 1));
      }
  }
  // Separable Gaussian blur, 16.16 weights, rounded.
  if (g > 0) {
    const std::vector<uint32_t> k = GlowKernel(g);
    std::vector<uint32_t> line(size_t(std::max(w, h)));
    for (int32_t y = 0; y < h; ++y) {
      uint32_t* row = &cover[size_t(y) * size_t(w)];
      for (int32_t x = 0; x < w; ++x) {
        uint64_t sum = 0;
        for (int32_t i = -g; i <= g; ++i)
          if (x + i >= 0 && x + i < w) sum += uint64_t(k[size_t(i + g)]) * row[x + i];
        line[size_t(x)] = uint32_t((sum + 32768) >> 16);
      }
      std::copy(line.begin(), line.begin() + w, row);
    }
    for (int32_t x = 0; x < w; ++x) {
      for (int32_t y = 0; y < h; ++y) {
        uint64_t sum = 0;
        for (int32_t i = -g; i <= g; ++i)
          if (y + i >= 0 && y + i < h) sum += uint64_t(k[size_t(i + g)]) * cover[size_t(y + i) * size_t(w) + size_t(x)];
        line[size_t(y)] = uint32_t((sum + 32768) >> 16);
      }
      for (int32_t y = 0; y < h; ++y) cover[size_t(y) * size_t(w) + size_t(x)] = line[size_t(y)];
    }
  }
  // The colour laid in with the blurred coverage as its weight.
  const uint32_t c = uint32_t(ColorToRGB(colour));
  const int64_t left = int64_t(R.Left) - g, top = int64_t(R.Top) - g;
  const TRect area = Intersect(Intersect(TRect{Clamp32(left), Clamp32(top), Clamp32(left + w), Clamp32(top + h)}, clip),
                               TRect{0, 0, d.width, d.height});
  for (int32_t y = area.Top; y < area.Bottom; ++y) {
    uint32_t* dr = d.Row(y);
    const uint32_t* cr = &cover[size_t(y - top) * size_t(w)];
    for (int32_t x = area.Left; x < area.Right; ++x) {
      const uint32_t a = std::min<uint32_t>(cr[x - left], 255);
      if (a == 0) continue;
      const uint32_t dp = dr[x], da = PixelA(dp);
      dr[x] = MakePixel(kernels::Mix(PixelB(dp), ColorBlue(c), a), kernels::Mix(PixelG(dp), ColorGreen(c), a),
                        kernels::Mix(PixelR(dp), ColorRed(c), a), da + (((255 - da) * a) >> 8));
    }
  }
}

void DrawTextString(Bitmap& bmp, const gui::TFont& font, std::string_view text, TRect& R, uint32_t flags,
                    TColor colour) {
  if (flags & dtCalcRect) {
    R = CurrentTextEngine().CalcRect(font, text, R, flags);
    return;
  }
  TextPasses(font, text, R, flags).Pass(bmp, colour, 0, 0, kNoClip);
}

TSize CanvasTextExtent(gui::TCanvas& canvas, std::string_view text) {
  const gui::TPoint p = canvas.TextExtent(std::string(text));
  return TSize{p.X, p.Y};
}

void CanvasTextExtentVar(gui::TCanvas& canvas, std::string_view text, TSize& size) {
  size = CanvasTextExtent(canvas, text);
}

void CanvasTextRect(gui::TCanvas& canvas, const TRect& R, int32_t x, int32_t y, std::string_view text) {
  canvas.TextRect(gui::TRect{R.Left, R.Top, R.Right, R.Bottom}, x, y, std::string(text));
}

TSize GetTextSize(std::string_view text, const gui::TFont& font, int32_t wrapWidth, bool wordWrap) {
  TextEngine& engine = CurrentTextEngine();
  if (wordWrap) {
    const TRect r = engine.CalcRect(font, text, TRect{0, 0, wrapWidth, 0}, dtWordBreak);
    return TSize{r.Right - r.Left, r.Bottom - r.Top};
  }
  return engine.Extent(font, text);
}

void CutTextToWidth(const gui::TFont& font, std::string_view text, int32_t width, std::string& result) {
  result = width < 1 ? std::string() : std::string(text);
  TextEngine& engine = CurrentTextEngine();
  if (result.empty() || engine.Extent(font, result).cx <= width) return;
  while (!result.empty()) {
    if (engine.Extent(font, result + "...").cx <= width) break;
    result.pop_back();
  }
  if (!result.empty()) result += "...";
}

void DrawArrowGlyph(Bitmap& bmp, TColor color, const TRect& R, int32_t direction) {
  const uint32_t p = ColorToPixel(ColorToRGB(color), 255);
  const int32_t w = R.Right - R.Left, h = R.Bottom - R.Top;
  auto column = [&](int32_t x, int32_t y0, int32_t y1) {
    for (int32_t y = y0; y <= y1; ++y) SetPixel32(bmp, x, y, p);
  };
  auto row = [&](int32_t y, int32_t x0, int32_t x1) {
    for (int32_t x = x0; x <= x1; ++x) SetPixel32(bmp, x, y, p);
  };
  switch (direction) {
    case 0:
    case 2: {
      const int32_t x0 = R.Left + (w - 3) / 2, y0 = R.Top + (h - 5) / 2;
      for (int32_t i = 0; i < 4; ++i) column(direction == 0 ? x0 + 3 - i : x0 + i, y0 + i, y0 + 6 - i);
      break;
    }
    case 1:
    case 3: {
      const int32_t x0 = R.Left + (w - 5) / 2 - 1, y0 = R.Top + (h - 3) / 2 - 1;
      for (int32_t i = 0; i < 4; ++i) row(direction == 1 ? y0 + 3 - i : y0 + i, x0 + i, x0 + 6 - i);
      break;
    }
    default:
      break;
  }
}

void DrawFocusFrame(Bitmap& bmp, TRect& R, TColor topLeftColor, int32_t width, TColor bottomRightColor) {
  const uint32_t first = ColorToPixel(ColorToRGB(topLeftColor), 255);
  const uint32_t second = ColorToPixel(ColorToRGB(bottomRightColor), 255);
  --R.Right;
  --R.Bottom;
  // A line from (x0, y0) towards (x1, y1), horizontal or vertical, without its last point.
  auto line = [&bmp](int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t p) {
    const int32_t dx = (x1 > x0) - (x1 < x0), dy = (y1 > y0) - (y1 < y0);
    for (int32_t x = x0, y = y0; x != x1 || y != y1; x += dx, y += dy) SetPixel32(bmp, x, y, p);
  };
  for (int32_t i = 0; i < width; ++i) {
    line(R.Left, R.Bottom, R.Left, R.Top, first);
    line(R.Left, R.Top, R.Right, R.Top, first);
    line(R.Right, R.Top, R.Right, R.Bottom, second);
    line(R.Right, R.Bottom, R.Left - 1, R.Bottom, second);
    R = TRect{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
  }
}

void DrawDottedFrame(Bitmap& bmp, const TRect& R, TColor color1, TColor color2) {
  if (RectIsEmpty(R)) return;
  const uint32_t p1 = ColorToPixel(ColorToRGB(color1), 255), p2 = ColorToPixel(ColorToRGB(color2), 255);
  auto dot = [&](int32_t x, int32_t y) {
    const bool even = ((x + y) & 1) == 0;
    if ((even ? color1 : color2) != clNone) SetPixel32(bmp, x, y, even ? p1 : p2);
  };
  // Only the part of the outline inside the bitmap is walked.
  for (int32_t x = std::max(R.Left, 0); x < std::min(R.Right, bmp.Width()); ++x) {
    dot(x, R.Top);
    dot(x, R.Bottom - 1);
  }
  for (int32_t y = std::max(R.Top, 0); y < std::min(R.Bottom, bmp.Height()); ++y) {
    dot(R.Left, y);
    dot(R.Right - 1, y);
  }
}

void CalcButtonLayout(const TRect& client, const TPoint& glyphSize, const TPoint& textSize, int32_t layout,
                      int32_t alignment, int32_t margin, int32_t spacing, uint32_t biDiFlags, TPoint& glyphPos,
                      TRect& textBounds) {
  if (biDiFlags & 2) {
    if (layout == 0) {
      layout = 1;
    } else if (layout == 1) {
      layout = 0;
    }
  }
  const TPoint C{client.Right - client.Left, client.Bottom - client.Top};
  const TPoint& G = glyphSize;
  const TPoint& T = textSize;
  textBounds = TRect{0, 0, T.X, T.Y};
  glyphPos = TPoint{};
  TPoint text{};
  const bool vertical = layout == 2 || layout == 3;
  if (vertical) {
    glyphPos.X = (C.X - G.X + 1) / 2;
    text.X = (C.X - T.X + 1) / 2;
  } else {
    glyphPos.Y = (C.Y - G.Y + 1) / 2;
    text.Y = (C.Y - T.Y + 1) / 2;
  }
  if (T.X == 0 || G.X == 0) spacing = 0;
  const int32_t c = vertical ? C.Y : C.X, g = vertical ? G.Y : G.X, t = vertical ? T.Y : T.X;
  if (margin == -1) {
    if (spacing >= 0) {
      const int32_t total = g + spacing + t;
      margin = alignment == 2 ? (c - total + 1) / 2 : 2;
    } else {
      margin = (c - (g + t)) / 3;
      spacing = margin;
    }
  } else if (spacing < 0) {
    spacing = ((c - (margin + g)) - t) / 2;
  }
  switch (layout) {
    case 0:
      if (alignment == 0) {
        glyphPos.X = margin;
        text.X = margin + G.X + spacing;
        textBounds.Right = std::min(T.X, client.Right - margin - text.X);
      } else if (alignment == 1) {
        text.X = C.X - margin - T.X;
        glyphPos.X = text.X - spacing - G.X;
      } else {
        glyphPos.X = std::max((C.X - T.X - spacing - G.X) / 2, margin);
        text.X = glyphPos.X + spacing + G.X;
      }
      break;
    case 1:
      if (alignment == 0) {
        glyphPos.X = margin + T.X + spacing;
        text.X = glyphPos.X - spacing - T.X;
      } else if (alignment == 1) {
        glyphPos.X = C.X - margin - G.X;
        text.X = glyphPos.X - spacing - T.X;
      } else {
        text.X = (C.X - T.X - spacing - G.X) / 2;
        glyphPos.X = text.X + spacing + T.X;
      }
      break;
    case 2:
      glyphPos.Y = (C.Y - G.Y - spacing - T.Y) / 2;
      text.Y = glyphPos.Y + G.Y + spacing;
      break;
    case 3: {
      const int32_t m = (C.Y - G.Y - spacing - T.Y) / 2;
      glyphPos.Y = C.Y - G.Y - m;
      text.Y = glyphPos.Y - spacing - T.Y;
      break;
    }
    default:
      break;
  }
  glyphPos.X += client.Left;
  glyphPos.Y += client.Top;
  const int32_t ox = client.Left + text.X, oy = client.Top + text.Y;
  textBounds = TRect{textBounds.Left + ox, textBounds.Top + oy, textBounds.Right + ox, textBounds.Bottom + oy};
}

void PaintGlyphBlended(Bitmap& dst, const TPoint& pos, const Bitmap& strip, int32_t numGlyphs, int32_t state,
                       bool enabled, int32_t percent) {
  if (numGlyphs < 1 || strip.Empty()) return;
  const int32_t w = strip.Width() / numGlyphs;
  if (w < 1) return;
  int32_t image = 0;
  if (!enabled) {
    image = numGlyphs > 1 ? 1 : 0;
  } else if (state == 2 && numGlyphs > 2) {
    image = 2;
  } else if (state == 3 && numGlyphs > 3) {
    image = 3;
  }
  const TRect srcRect{image * w, 0, image * w + w, strip.Height()};
  const double ratio = std::clamp(percent, 0, 100) / 100.0;
  if (strip.PixelFormat() == pf32bit) {
    BlendBitmaps(dst, pos.X, pos.Y, KeyColor, ratio, srcRect, strip);
    return;
  }
  Bitmap copy;
  copy.Assign(strip);
  copy.SetPixelFormat(pf32bit);
  BlendBitmaps(dst, pos.X, pos.Y, KeyColor, ratio, srcRect, copy);
}

}  // namespace skin
