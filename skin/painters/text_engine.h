#pragma once
// How the painters measure and rasterise text: one small seam, so that every colour and layout rule of the text
// painters is the same code in both builds and only the glyphs differ.
//
// A text engine draws text in black into a white 32-bit mask (the value 0x00FFFFFF), with the DrawText flags
// below; the painters then lay their colours through that mask (MixTextMask), so that text never leaves alpha 0
// behind in a 32-bit image. The Windows build's engine is GDI (DrawTextA with the font selected into a memory DC
// holding the mask's DIB section; GetTextExtentPoint32A). The native build has no fonts: its engine is the
// fixed-metric one below, which also serves tests that want the same pixels in both builds.
//
// The fixed-metric engine: every character cell is W = max(1, (h x 9 + 10) div 20) pixels wide (one more for bold)
// and every line h + 2 high, h being the font's pixel height (the metrics of the component layer's headless
// TCanvas). A printable character other than a blank is a solid block covering columns 0 .. W - 2 of its cell (the
// whole cell when W < 2) and rows 1 .. h of its line; an underlined font adds row h + 1 across the cell. Layout
// follows DrawText: lines split at LF (CR ignored) unless single-line, word wrap at blanks with dtWordBreak, '&'
// prefixes removed ("&&" gives '&') unless dtNoPrefix; horizontal alignment left, centre ((width - line) div 2) or
// right; vertical alignment for single-line text: top, centre ((height - line height) div 2) or bottom; with
// dtEndEllipsis a line wider than the rectangle keeps the characters that fit before "..." (at least none).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace gui {
class TFont;
}

namespace skin {

// DrawText flags (the Win32 values).
inline constexpr uint32_t dtLeft = 0x0000;
inline constexpr uint32_t dtTop = 0x0000;
inline constexpr uint32_t dtCenter = 0x0001;
inline constexpr uint32_t dtRight = 0x0002;
inline constexpr uint32_t dtVCenter = 0x0004;
inline constexpr uint32_t dtBottom = 0x0008;
inline constexpr uint32_t dtWordBreak = 0x0010;
inline constexpr uint32_t dtSingleLine = 0x0020;
inline constexpr uint32_t dtExpandTabs = 0x0040;
inline constexpr uint32_t dtNoClip = 0x0100;
inline constexpr uint32_t dtCalcRect = 0x0400;
inline constexpr uint32_t dtNoPrefix = 0x0800;
inline constexpr uint32_t dtEndEllipsis = 0x8000;
inline constexpr uint32_t dtRtlReading = 0x20000;

class TextEngine {
 public:
  virtual ~TextEngine() = default;
  // Width and height of one line of text (GetTextExtentPoint32A).
  virtual TSize Extent(const gui::TFont& font, std::string_view text) = 0;
  // The rectangle the text takes when drawn into r with these flags (DrawText with DT_CALCRECT).
  virtual TRect CalcRect(const gui::TFont& font, std::string_view text, const TRect& r, uint32_t flags) = 0;
  // Draws the text in black into rectangle r of mask (32-bit, prepared white by the caller) with these flags.
  virtual void DrawMask(const gui::TFont& font, std::string_view text, Bitmap& mask, const TRect& r,
                        uint32_t flags) = 0;
};

// The engine the painters use: the build's own unless one was set.
TextEngine& CurrentTextEngine();
// Sets the engine (nullptr: back to the build's own); returns the previous one (nullptr when it was the own one).
TextEngine* SetTextEngine(TextEngine* engine);

// Whether the system has a font family of this name (the native build, which has no fonts: always).
bool FontFamilyInstalled(const char* face);

// The deterministic fixed-metric engine described above (the native build's own).
class FixedMetricTextEngine final : public TextEngine {
 public:
  TSize Extent(const gui::TFont& font, std::string_view text) override;
  TRect CalcRect(const gui::TFont& font, std::string_view text, const TRect& r, uint32_t flags) override;
  void DrawMask(const gui::TFont& font, std::string_view text, Bitmap& mask, const TRect& r, uint32_t flags) override;

  // Cell width and line height of a font.
  static int32_t CellWidth(const gui::TFont& font);
  static int32_t LineHeight(const gui::TFont& font);
};
FixedMetricTextEngine& FixedMetricEngine();

// The text as DrawText shows it: '&' prefixes removed unless noPrefix ("&&" gives '&').
std::string StripPrefixes(std::string_view text, bool noPrefix);

// Lines of a text laid out by DrawText's rules, measured by a width function (the width of a run of characters).
struct TextLine {
  std::string text;
  int32_t width = 0;
};
template <class Width>
std::vector<TextLine> LayoutLines(std::string_view text, uint32_t flags, int32_t wrapWidth, Width width) {
  std::vector<TextLine> lines;
  const std::string shown = StripPrefixes(text, (flags & dtNoPrefix) != 0);
  std::vector<std::string> paragraphs;
  if (flags & dtSingleLine) {
    std::string one;
    for (char c : shown)
      if (c != '\r' && c != '\n') one += c;
    paragraphs.push_back(std::move(one));
  } else {
    std::string cur;
    for (char c : shown) {
      if (c == '\r') continue;
      if (c == '\n') {
        paragraphs.push_back(std::move(cur));
        cur.clear();
      } else {
        cur += c;
      }
    }
    paragraphs.push_back(std::move(cur));
  }
  for (std::string& p : paragraphs) {
    if (!(flags & dtWordBreak) || (flags & dtSingleLine)) {
      lines.push_back(TextLine{p, width(p)});
      continue;
    }
    // Word wrap: words are added while the line fits; a word wider than the line stands alone.
    std::string line;
    size_t i = 0;
    bool any = false;
    while (i <= p.size()) {
      size_t j = p.find(' ', i);
      if (j == std::string::npos) j = p.size();
      const std::string word = p.substr(i, j - i);
      const std::string candidate = line.empty() && !any ? word : line + " " + word;
      if (any && width(candidate) > wrapWidth) {
        lines.push_back(TextLine{line, width(line)});
        line = word;
      } else {
        line = candidate;
      }
      any = true;
      i = j + 1;
    }
    lines.push_back(TextLine{line, width(line)});
  }
  return lines;
}

}  // namespace skin
