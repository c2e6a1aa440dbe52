#include "tools/skinlint/look.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

#include "skin/painters/section_paint.h"
#include "gui/graphics.h"
#include "skin/painters/skinned_text.h"
#include "skin/painters/text_engine.h"
#include "skin/painters/state_images.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_helpers.h"
#include "platform/colors.h"

namespace skinlint {

namespace {

using skin::Bitmap;
using skin::TRect;

// A colour as three channels 0..255.
struct Rgb {
  double r = 0, g = 0, b = 0;
};

Rgb fromTColor(uint32_t c) { return Rgb{double(c & 0xFF), double((c >> 8) & 0xFF), double((c >> 16) & 0xFF)}; }
Rgb fromPixel(uint32_t p) { return Rgb{double((p >> 16) & 0xFF), double((p >> 8) & 0xFF), double(p & 0xFF)}; }

double linear(double v) {
  v /= 255.0;
  return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

// Relative luminance of an sRGB colour.
double luminance(const Rgb& c) { return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b); }

double contrast(const Rgb& a, const Rgb& b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct Lab {
  double l, a, b;
};

Lab lab(const Rgb& c) {
  const double r = linear(c.r), g = linear(c.g), b = linear(c.b);
  const double x = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047;
  const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
  const double z = (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883;
  const auto f = [](double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116.0; };
  return Lab{116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}

double deltaE(const Rgb& p, const Rgb& q) {
  const Lab a = lab(p), b = lab(q);
  return std::sqrt((a.l - b.l) * (a.l - b.l) + (a.a - b.a) * (a.a - b.a) + (a.b - b.b) * (a.b - b.b));
}

uint32_t pixel(const Bitmap& bmp, int x, int y) { return reinterpret_cast<const uint32_t*>(bmp.ScanLine(y))[x]; }

// The mean colour of a rectangle of a bitmap.
Rgb mean(const Bitmap& bmp, const TRect& r) {
  Rgb s;
  int n = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      const Rgb c = fromPixel(pixel(bmp, x, y));
      s.r += c.r, s.g += c.g, s.b += c.b;
      ++n;
    }
  if (n > 0) s.r /= n, s.g /= n, s.b /= n;
  return s;
}

// The mean colour difference of two bitmaps of one size, pixel by pixel.
double meanDifference(const Bitmap& a, const Bitmap& b) {
  double s = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) s += deltaE(fromPixel(pixel(a, x, y)), fromPixel(pixel(b, x, y)));
  return s / double(std::max(1, a.Width() * a.Height()));
}

std::string number(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%.1f", v);
  return b;
}

// A colour as the usual #RRGGBB.
std::string hex(const Rgb& c) {
  char b[16];
  std::snprintf(b, sizeof b, "#%02X%02X%02X", unsigned(c.r + 0.5), unsigned(c.g + 0.5), unsigned(c.b + 0.5));
  return b;
}

class Look {
 public:
  Look(skin::TsSkinManager& m, const skin::TIniSections& ini, const std::function<void(const std::string&)>& problem)
      : m_(m), s_(m.Skin()), ini_(ini), problem_(problem) {}

  void Run() {
    Texts();
    DisabledTexts();
    RichEditTexts();
    SeeThroughShadows();
    States();
    TitleButtons();
    Ornaments();
  }

 private:
  int Section(const std::string& name) const { return skin::SkinManagerGetSectionIndex(s_, name); }

  // The section painted for a state over its parent's picture (the parent painted for parentState over the
  // skin's main colour), in a bitmap of w x h.
  Bitmap Paint(int sec, int state, int parent, int parentState, int w, int h) const {
    const TRect r{0, 0, w, h};
    Bitmap under(w, h, skin::pf32bit);
    const uint32_t main = s_.Colors[skin::scMainColor];
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const Rgb c = fromTColor(main);
        reinterpret_cast<uint32_t*>(under.ScanLine(y))[x] =
            0xFF000000u | (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | uint32_t(c.b);
      }
    skin::CacheInfo none{nullptr, 0, 0, static_cast<skin::TColor>(main), TRect{}, false};
    if (parent >= 0) skin::PaintSkinItem(parent, none, parentState, r, skin::TPoint{0, 0}, under, &m_);
    Bitmap over;
    over.Assign(under);
    if (sec >= 0) skin::PaintSkinItem(sec, skin::CacheInfoFromBitmap(&under, 0, 0), state, r, skin::TPoint{0, 0}, over, &m_);
    return over;
  }

  // The section a section's picture lies on.
  int ParentOf(const std::string& name) const {
    if (name == "FORM" || name == "DIALOG" || name == "FORMTITLE" || name == "DIALOGTITLE") return -1;
    if (name == "CAPTION") return Section("FORMTITLE");
    if (name == "MENUITEM" || name == "MENUCAPTION" || name == "ICOLINE") return Section("MAINMENU");
    if (name == "SELECTION") return Section("EDIT");
    return Section("FORM");
  }

  // Whether the description gives the section (or a section it inherits from) a font colour.
  bool CarriesText(const std::string& name) const {
    std::string sec = name;
    for (int depth = 0; depth < 16 && !sec.empty(); ++depth) {
      if (skin::ReadIniValue(ini_, sec, "", "FONTCOLOR") != "" || skin::ReadIniValue(ini_, sec, "", "HOTFONTCOLOR") != "")
        return true;
      sec = skin::ReadIniValue(ini_, sec, "", "PARENTCLASS");
    }
    return false;
  }

  // The usual size of a control of the section.
  void SizeOf(const std::string& name, int& w, int& h) const {
    w = 96, h = 24;
    if (name == "CAPTION" || name == "FORMTITLE" || name == "DIALOGTITLE" || name == "BARTITLE")
      h = std::max(16, s_.SkinData.TitleHeight);
    if (name == "MENUITEM" || name == "MENULINE" || name == "MENUCAPTION") h = 20;
  }

  // The inner rectangle of a picture of the section: inside the frame of its border image.
  TRect Inner(const skin::SkinSectionRecord& sec, int w, int h) const {
    TRect r{2, 2, w - 2, h - 2};
    if (sec.BorderIndex >= 0) {
      const skin::SkinImageRecord& b = s_.Images[size_t(sec.BorderIndex)];
      r = TRect{std::min<int>(b.BorderLeft + 1, w / 3), 2, std::max<int>(w - b.BorderRight - 1, 2 * w / 3), h - 2};
    }
    return r;
  }

  // Text: the font colour of each state against the rows of the band where text stands (the middle third of the
  // picture, inside its frame), row by row, the weakest row counted. A text drawn with a contour stands out by
  // its contour where that is stronger.
  void Texts() {
    for (size_t i = 0; i < s_.Sections.size(); ++i) {
      const skin::SkinSectionRecord& sec = s_.Sections[i];
      const std::string& name = sec.SectionName;
      if (name == "GLOBALINFO" || !CarriesText(name)) continue;
      // A caption is written in the colours of CAPTION where the skin has that section.
      if ((name == "FORMTITLE" || name == "DIALOGTITLE") && Section("CAPTION") >= 0) continue;
      int w, h;
      SizeOf(name, w, h);
      const int parent = ParentOf(name);
      const int states = std::min(skin::SectionStateCount(sec), 4);
      for (int state = 0; state < states; ++state) {
        const skin::SkinStateBlock& block = skin::SectionStateBlock(sec, state);
        if (block.FontColor & 0xFF000000) continue;  // a system colour: the system's pair
        const int parentState = name == "CAPTION" ? std::min(state, 1) : 0;
        const Bitmap bmp = Paint(int(i), state, parent, parentState, w, h);
        const TRect band = Inner(sec, w, h);
        double worst = 21;
        Rgb worstRow;
        for (int y = h / 3; y < h - h / 3; ++y) {
          const Rgb row = mean(bmp, TRect{band.Left, y, band.Right, y + 1});
          const double c = contrast(fromTColor(block.FontColor), row);
          if (c < worst) worst = c, worstRow = row;
        }
        double outline = 0;
        const int32_t contours[] = {block.ContourLeft, block.ContourTop, block.ContourRight, block.ContourBottom};
        if (std::all_of(std::begin(contours), std::end(contours), [](int32_t c) { return c >= 0; })) {
          outline = 21;
          for (int32_t c : contours) outline = std::min(outline, contrast(fromTColor(block.FontColor), fromTColor(uint32_t(c))));
        }
        if (std::max(worst, outline) < MinTextContrast)
          problem_("[" + name + "] text of state " + std::to_string(state) + ": " + hex(fromTColor(block.FontColor)) + " on about " + hex(worstRow) +
                   " has a contrast of " + number(worst) + ":1, under " + number(MinTextContrast) + ":1");
      }
    }
  }

  // Disabled captions of buttons and check boxes, at rest and (buttons) held down: a caption written by the
  // program's own text writer in the disabled colour of its text section (the control's, or its parent's where
  // the control shows its parent) over the control's faded picture (the program's own fade, over the parent's
  // picture). The caption's own colour (the one most of the pixels it changed took) stands out from each pixel it
  // covers by MinDisabledContrast, and differs from the enabled caption's colour by MinStateDifference.
  void DisabledTexts() {
    for (const char* name : {"BUTTON", "SPEEDBUTTON", "CHECKBOX"}) {
      const int sec = Section(name);
      if (sec < 0 || !CarriesText(name)) continue;
      const skin::SkinSectionRecord& own = s_.Sections[size_t(sec)];
      const int parent = ParentOf(name);
      const int textSection = own.NormalState.Transparency >= 1 && parent >= 0 ? parent : sec;
      const skin::SkinStateBlock& block = s_.Sections[size_t(textSection)].NormalState;
      if ((block.FontColor | block.Color) & 0xFF000000) continue;  // system colours: the system's pair
      int w, h;
      SizeOf(name, w, h);
      const int states = std::string(name) == "CHECKBOX" ? 1 : std::min(skin::SectionStateCount(own), 3);
      for (int state = 0; state < states; state += 2) {
        Bitmap under = Paint(-1, 0, parent, 0, w, h);
        Bitmap faded = Paint(sec, state, parent, 0, w, h);
        skin::PaintDisabledLook(faded, skin::dkBlended, skin::TColor(s_.Colors[skin::scMainColor]), skin::TPoint{},
                                skin::CacheInfoFromBitmap(&under, 0, 0));
        Bitmap written;
        written.Assign(faded);
        skin::WriteTextSectionEx(written, gui::TFont(), "End the meeting", false, &m_, Inner(own, w, h), state,
                                 textSection, skin::dtCenter | skin::dtVCenter | skin::dtSingleLine);
        std::map<uint32_t, int> changed;
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x)
            if (pixel(written, x, y) != pixel(faded, x, y)) ++changed[pixel(written, x, y)];
        if (changed.empty()) continue;
        const uint32_t ink =
            std::max_element(changed.begin(), changed.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
        const Rgb text = fromPixel(ink);
        double worst = 21;
        Rgb worstPixel;
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x)
            if (pixel(written, x, y) == ink && pixel(faded, x, y) != ink)
              if (const double c = contrast(text, fromPixel(pixel(faded, x, y))); c < worst)
                worst = c, worstPixel = fromPixel(pixel(faded, x, y));
        const std::string what =
            std::string("[") + name + "] disabled text of state " + std::to_string(state) + " " + hex(text);
        if (worst < MinDisabledContrast)
          problem_(what + " on " + hex(worstPixel) + " (of the pixels it covers, the one it stands out from least)" +
                   " has a contrast of " + number(worst) + ":1, under " + number(MinDisabledContrast) + ":1");
        if (const double d = deltaE(text, fromTColor(uint32_t(block.FontColor))); d < MinStateDifference)
          problem_(what + " differs from the enabled text by " + number(d) + ", under " + number(MinStateDifference));
      }
    }
  }

  // The short-message window (a rich edit on the skin's "EDIT" colours): the station writes received texts in
  // the edit's font colour and its own in blue, each in the shade that reads on the edit's background
  // (platform::ReadableTextColor). In each state of the section both shades stand out from the background, and
  // from each other.
  void RichEditTexts() {
    const int sec = Section("EDIT");
    if (sec < 0) return;
    const skin::SkinSectionRecord& edit = s_.Sections[size_t(sec)];
    const int states = std::min(skin::SectionStateCount(edit), 2);
    for (int state = 0; state < states; ++state) {
      const skin::SkinStateBlock& block = skin::SectionStateBlock(edit, state);
      if ((block.Color | block.FontColor) & 0xFF000000) continue;  // system colours: the system's pair
      uint32_t background = uint32_t(block.Color) & 0xFFFFFF;
      if (block.Transparency >= 100)
        background = s_.Colors[skin::scMainColor] & 0xFFFFFF;
      else if (block.Transparency >= 1)
        background = uint32_t(skin::MixColorsRatio(skin::TColor(s_.Colors[skin::scMainColor] & 0xFFFFFF),
                                                   skin::TColor(background), block.Transparency / 100.0));
      const platform::TColor bg = platform::TColor(background);
      const platform::TColor received = platform::ReadableTextColor(block.FontColor, bg);
      const platform::TColor own = platform::ReadableTextColor(platform::clBlue, bg);
      const std::string where = "[EDIT] short messages of state " + std::to_string(state) + " on " + hex(fromTColor(uint32_t(bg)));
      for (const auto& [what, colour] : {std::pair{"received", received}, std::pair{"own", own}}) {
        const double c = platform::ContrastRatio(colour, bg);
        if (c < MinTextContrast)
          problem_(where + ": the " + what + " text " + hex(fromTColor(uint32_t(colour))) + " has a contrast of " + number(c) +
                   ":1, under " + number(MinTextContrast) + ":1");
      }
      const double apart = deltaE(fromTColor(uint32_t(own)), fromTColor(uint32_t(received)));
      if (apart < MinStateDifference)
        problem_(where + ": the own text " + hex(fromTColor(uint32_t(own))) + " and the received text " +
                 hex(fromTColor(uint32_t(received))) + " differ by " + number(apart) + ", under " + number(MinStateDifference));
    }
  }

  // A section that shows its parent through itself (TRANSPARENCY 100, no border image drawing a face over it)
  // and casts an outer effect (its OUTERMASK, or the skin's shadow frame that OUTERMODE chooses, the loader's
  // default) shows that effect through the control: the frame's corners and edges inside a track bar.
  void SeeThroughShadows() {
    for (const skin::SkinSectionRecord& sec : s_.Sections) {
      if (sec.SectionName == "GLOBALINFO" || sec.NormalState.Transparency < 100 || sec.BorderIndex >= 0) continue;
      if (sec.OuterMask >= 0 || sec.OuterMode == 1 || sec.OuterMode == 2)
        problem_("[" + sec.SectionName + "] shows its parent through itself and casts an outer effect (OUTERMODE " +
                 std::to_string(sec.OuterMode) + (sec.OuterMask >= 0 ? ", OUTERMASK" : "") + ") that shows through it");
    }
  }

  // States: a control that is pressed, held down or under the pointer shows it. The sections of such controls
  // (buttons, column headers, scroll-bar buttons and thumbs, menu items; a tab's states are its place among the
  // others) whose border image paints their state: each state's picture against the normal one, the mean colour
  // difference of their pixels. A state past the image's last shows its last, as the skin is written (the advice
  // says so).
  void States() {
    for (size_t i = 0; i < s_.Sections.size(); ++i) {
      const skin::SkinSectionRecord& sec = s_.Sections[i];
      const std::string& name = sec.SectionName;
      const bool control = name.find("BUTTON") != std::string::npos || name.find("BTN") != std::string::npos ||
                           name == "COLHEADER" || name.rfind("SCROLLSLIDER", 0) == 0 || name == "MENUITEM" ||
                           name == "MENULINE";
      const int mask = skin::SkinManagerGetImageIndex(s_, int(i), "BORDERSMASK");
      if (!control || mask < 0 || skin::SectionStateCount(sec) < 2) continue;
      int w, h;
      SizeOf(name, w, h);
      const int parent = ParentOf(name);
      const Bitmap normal = Paint(int(i), 0, parent, 0, w, h);
      const int last = std::min({skin::SectionStateCount(sec), 3, int(s_.Images[size_t(mask)].ImageCount)}) - 1;
      for (int state = 1; state <= last; ++state) {
        const double d = meanDifference(normal, Paint(int(i), state, parent, 0, w, h));
        if (d < MinStateDifference)
          problem_("[" + name + "] the " + (state == 1 ? "hot" : "pressed") + " state differs from the normal one by " +
                   number(d) + " on average, under " + number(MinStateDifference));
      }
    }
  }

  // A title button in a state (at rest: 0) over the active title bar (the middle of its picture).
  Bitmap Button(const skin::SkinImageRecord& rec, int& w, int& h, int state = 0) const {
    w = skin::ImageStateWidth(rec), h = skin::ImageFrameHeight(rec);
    const int title = Section("FORMTITLE");
    Bitmap bar = Paint(title, 1, -1, 0, w + 8, std::max(h + 4, int(s_.SkinData.TitleHeight)));
    Bitmap under;
    under.Assign(bar);
    skin::DrawImageState(bar, skin::TPoint{4, (bar.Height() - h) / 2}, state, skin::CacheInfoFromBitmap(&under, 0, 0), rec,
                         1);
    Bitmap b(w, h, skin::pf32bit);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        reinterpret_cast<uint32_t*>(b.ScanLine(y))[x] = pixel(bar, x + 4, y + (bar.Height() - h) / 2);
    return b;
  }

  // The pixels of two pictures of one size that differ by `least` or more.
  static int Differing(const Bitmap& a, const Bitmap& b, double least) {
    int differ = 0;
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x)
        differ += deltaE(fromPixel(pixel(a, x, y)), fromPixel(pixel(b, x, y))) >= least;
    return differ;
  }

  // Title buttons at rest: a mark (pixels of the middle half of the button standing out from its face, the
  // face being the button's median colour) of a few pixels at least, and close, maximize and minimize not alike;
  // hot and pressed, each apart from the rest state.
  void TitleButtons() {
    const char* const sizes[][3] = {{"BICONCLOSE", "BICONMAX", "BICONMIN"}, {"SICONCLOSE", "SICONMAX", "SICONMIN"}};
    const char* const others[] = {"BICLOSEALONE", "BICONNORM", "BICONHELP", "SICONNORM", "SICONHELP"};
    std::vector<std::string> keys;
    for (const auto& s : sizes)
      for (const char* k : s) keys.push_back(k);
    for (const char* k : others) keys.push_back(k);
    for (const std::string& key : keys) {
      const int img = skin::SkinManagerGetImageIndexByName(s_, "GLOBALINFO", key);
      if (img < 0) continue;  // a missing image is another check's
      int w, h;
      const Bitmap b = Button(s_.Images[size_t(img)], w, h);
      std::vector<double> lums;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) lums.push_back(luminance(fromPixel(pixel(b, x, y))));
      std::vector<double> sorted = lums;
      std::nth_element(sorted.begin(), sorted.begin() + long(sorted.size() / 2), sorted.end());
      const double face = sorted[sorted.size() / 2];
      int mark = 0, area = 0;
      for (int y = h / 4; y < h - h / 4; ++y)
        for (int x = w / 4; x < w - w / 4; ++x) {
          ++area;
          const double l = lums[size_t(y * w + x)];
          if ((std::max(l, face) + 0.05) / (std::min(l, face) + 0.05) >= MinMarkContrast) ++mark;
        }
      if (mark < std::max(6, area / 20))
        problem_("[GLOBALINFO] " + key + ": at rest the button shows no mark (" + std::to_string(mark) + " of its " +
                 std::to_string(area) + " middle pixels stand out from its face by " + number(MinMarkContrast) + ":1)");
      // Under the pointer and pressed, the button shows it: a tenth of its pixels at least changes plainly.
      for (int state = 1; state < std::min(int(s_.Images[size_t(img)].ImageCount), 3); ++state) {
        const int differ = Differing(b, Button(s_.Images[size_t(img)], w, h, state), MinTitleStateDifference);
        if (differ < std::max(6, w * h / 10))
          problem_("[GLOBALINFO] " + key + ": " + (state == 1 ? "hot" : "pressed") + ", the button looks as at rest (" +
                   std::to_string(differ) + " of its " + std::to_string(w * h) + " pixels differ by " +
                   number(MinTitleStateDifference) + " or more)");
      }
    }
    for (const auto& s : sizes) {
      int idx[3];
      for (int k = 0; k < 3; ++k) idx[k] = skin::SkinManagerGetImageIndexByName(s_, "GLOBALINFO", s[k]);
      for (int a = 0; a < 3; ++a)
        for (int c = a + 1; c < 3; ++c) {
          if (idx[a] < 0 || idx[c] < 0) continue;
          int wa, ha, wc, hc;
          const Bitmap ba = Button(s_.Images[size_t(idx[a])], wa, ha), bc = Button(s_.Images[size_t(idx[c])], wc, hc);
          if (wa != wc || ha != hc) continue;  // of other sizes: told apart
          const int differ = Differing(ba, bc, MinButtonsDifference);
          if (differ < std::max(6, wa * ha / 25))
            problem_(std::string("[GLOBALINFO] ") + s[a] + " and " + s[c] + " look alike at rest (" +
                     std::to_string(differ) + " of their " + std::to_string(wa * ha) + " pixels differ by " +
                     number(MinButtonsDifference) + " or more)");
        }
    }
  }

  // Corner ornaments: inside the frame the section's border image draws (none without one).
  void Ornaments() {
    for (const skin::SkinSectionRecord& sec : s_.Sections) {
      const int corners[] = {sec.ImgTopLeft, sec.ImgTopRight, sec.ImgBottomLeft, sec.ImgBottomRight};
      const char* const keys[] = {"IMGTOPLEFT", "IMGTOPRIGHT", "IMGBTMLEFT", "IMGBTMRIGHT"};
      int bl = 0, bt = 0, br = 0, bb = 0;
      if (sec.BorderIndex >= 0) {
        const skin::SkinImageRecord& b = s_.Images[size_t(sec.BorderIndex)];
        bl = b.BorderLeft, bt = b.BorderTop, br = b.BorderRight, bb = b.BorderBottom;
      }
      for (int c = 0; c < 4; ++c) {
        if (corners[c] < 0) continue;
        const skin::SkinImageRecord& rec = s_.Images[size_t(corners[c])];
        const int w = skin::ImageStateWidth(rec), h = skin::ImageFrameHeight(rec);
        const int fw = (c % 2 == 0) ? bl : br, fh = (c < 2) ? bt : bb;
        if (w > fw || h > fh)
          problem_("[" + sec.SectionName + "] " + keys[c] + ": the ornament of " + std::to_string(w) + " x " +
                   std::to_string(h) + " reaches past the frame of the border image (" + std::to_string(fw) + " x " +
                   std::to_string(fh) + ") onto what the control holds there");
      }
    }
  }

  skin::TsSkinManager& m_;
  const skin::LoadedSkin& s_;
  const skin::TIniSections& ini_;
  const std::function<void(const std::string&)>& problem_;
};

}  // namespace

double ContrastRatio(uint32_t a, uint32_t b) { return contrast(fromTColor(a), fromTColor(b)); }

void CheckLook(skin::TsSkinManager& m, const skin::TIniSections& ini,
               const std::function<void(const std::string&)>& problem) {
  if (m.Skin().Sections.empty()) return;
  Look(m, ini, problem).Run();
}

}  // namespace skinlint
