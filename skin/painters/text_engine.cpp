#include "skin/painters/text_engine.h"

#include <algorithm>

#include "gui/graphics.h"
#include "skin/pixels/pixel_access.h"

namespace skin {

namespace {
TextEngine* chosenEngine = nullptr;

// DT_END_ELLIPSIS: a line wider than the rectangle keeps as many characters as fit before "...".
void EndEllipsis(std::vector<TextLine>& lines, uint32_t flags, int32_t width, int32_t cw) {
  if (!(flags & dtEndEllipsis)) return;
  for (TextLine& l : lines) {
    if (l.width <= width) continue;
    const int32_t keep = std::max(0, width / cw - 3);
    l.text = l.text.substr(0, size_t(keep)) + "...";
    l.width = int32_t(l.text.size()) * cw;
  }
}
}  // namespace

// The build's own engine (text_engine_posix.cpp, text_engine_win32.cpp).
TextEngine& PaintersBuiltInTextEngine();

TextEngine& CurrentTextEngine() { return chosenEngine ? *chosenEngine : PaintersBuiltInTextEngine(); }

TextEngine* SetTextEngine(TextEngine* engine) {
  TextEngine* previous = chosenEngine;
  chosenEngine = engine;
  return previous;
}

FixedMetricTextEngine& FixedMetricEngine() {
  static FixedMetricTextEngine engine;
  return engine;
}

std::string StripPrefixes(std::string_view text, bool noPrefix) {
  if (noPrefix) return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += text[i];
  }
  return out;
}

int32_t FixedMetricTextEngine::CellWidth(const gui::TFont& font) {
  const int32_t h = font.PixelHeight();
  int32_t w = (h * 9 + 10) / 20;
  if (font.Style() & gui::fsBold) ++w;
  return std::max(w, 1);
}

int32_t FixedMetricTextEngine::LineHeight(const gui::TFont& font) { return font.PixelHeight() + 2; }

TSize FixedMetricTextEngine::Extent(const gui::TFont& font, std::string_view text) {
  return TSize{int32_t(std::min<size_t>(text.size(), 1u << 20)) * CellWidth(font), LineHeight(font)};
}

TRect FixedMetricTextEngine::CalcRect(const gui::TFont& font, std::string_view text, const TRect& r, uint32_t flags) {
  const int32_t cw = CellWidth(font);
  auto lines = LayoutLines(text, flags, r.Right - r.Left, [cw](const std::string& s) { return int32_t(s.size()) * cw; });
  EndEllipsis(lines, flags, r.Right - r.Left, cw);
  int32_t widest = 0;
  for (const TextLine& l : lines) widest = std::max(widest, l.width);
  return TRect{r.Left, r.Top, r.Left + widest, r.Top + int32_t(lines.size()) * LineHeight(font)};
}

void FixedMetricTextEngine::DrawMask(const gui::TFont& font, std::string_view text, Bitmap& mask, const TRect& r,
                                     uint32_t flags) {
  detail::View32 v;
  if (!detail::GetView32(mask, v)) return;
  const int32_t cw = CellWidth(font), lh = LineHeight(font), h = font.PixelHeight();
  const bool underline = (font.Style() & gui::fsUnderline) != 0;
  auto lines = LayoutLines(text, flags, r.Right - r.Left, [cw](const std::string& s) { return int32_t(s.size()) * cw; });
  EndEllipsis(lines, flags, r.Right - r.Left, cw);
  const int32_t width = r.Right - r.Left, height = r.Bottom - r.Top;
  int32_t y = r.Top;
  if (flags & dtSingleLine) {
    if (flags & dtBottom) {
      y = r.Bottom - lh;
    } else if (flags & dtVCenter) {
      y = r.Top + (height - lh) / 2;
    }
  }
  // Pixels outside r are left alone unless dtNoClip.
  const TRect clip = (flags & dtNoClip) ? TRect{0, 0, v.width, v.height} : ClipRectToSize(r, v.width, v.height);
  auto fill = [&](int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    x0 = std::max(x0, clip.Left);
    y0 = std::max(y0, clip.Top);
    x1 = std::min(x1, clip.Right);
    y1 = std::min(y1, clip.Bottom);
    for (int32_t yy = y0; yy < y1; ++yy) {
      uint32_t* row = v.Row(yy);
      for (int32_t xx = x0; xx < x1; ++xx) row[xx] = 0;
    }
  };
  for (const TextLine& line : lines) {
    int32_t x = r.Left;
    if (flags & dtCenter) {
      x = r.Left + (width - line.width) / 2;
    } else if (flags & dtRight) {
      x = r.Right - line.width;
    }
    for (char c : line.text) {
      const unsigned char u = static_cast<unsigned char>(c);
      if (u > ' ' && u != 0x7F) fill(x, y + 1, x + (cw < 2 ? cw : cw - 1), y + 1 + h);
      if (underline) fill(x, y + h + 1, x + cw, y + h + 2);
      x += cw;
    }
    y += lh;
  }
}

}  // namespace skin
