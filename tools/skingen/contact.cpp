#include "tools/skingen/contact.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>

#include "skin/data/maskdata.h"
#include "skin/data/sskinmanager.h"
#include "tools/skingen/font.h"

namespace skingen {

namespace {

using skin::LoadedSkin;
using skin::SkinImageRecord;
using skin::SkinSectionRecord;

struct Rect {
  int x0, y0, x1, y1;
  int W() const { return x1 - x0; }
  int H() const { return y1 - y0; }
};

uint32_t rgbOf(skin::TColor c) {
  // TColor 0x00BBGGRR to 0xRRGGBB.
  const uint32_t v = uint32_t(c);
  return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

// A premultiplied sample of a skin image.
struct Sample {
  float r = 0, g = 0, b = 0, a = 0;
};

// The sheet: an opaque canvas with the compositing the skin's painters do, simplified.
class Sheet {
 public:
  Sheet(int w, int h, const LoadedSkin& s) : px_(w, h, 0xFFFFFFFF), s_(s) {}
  Pixels8& Pixels() { return px_; }

  void Put(int x, int y, uint32_t rgb, float a) {
    if (x < 0 || y < 0 || x >= px_.w || y >= px_.h || a <= 0) return;
    uint32_t& d = px_.At(x, y);
    auto ch = [&](int shift) {
      const float s = float((rgb >> shift) & 0xFF), o = float((d >> shift) & 0xFF);
      return uint32_t(std::lround(std::clamp(o + (s - o) * a, 0.0f, 255.0f))) << shift;
    };
    d = 0xFF000000u | ch(16) | ch(8) | ch(0);
  }
  void PutPremul(int x, int y, const Sample& s) {
    if (x < 0 || y < 0 || x >= px_.w || y >= px_.h || s.a <= 0) return;
    uint32_t& d = px_.At(x, y);
    auto ch = [&](int shift, float v) {
      const float o = float((d >> shift) & 0xFF);
      return uint32_t(std::lround(std::clamp(v * 255.0f + o * (1.0f - s.a), 0.0f, 255.0f))) << shift;
    };
    d = 0xFF000000u | ch(16, s.r) | ch(8, s.g) | ch(0, s.b);
  }
  void Fill(const Rect& r, uint32_t rgb, float a = 1.0f) {
    for (int y = r.y0; y < r.y1; ++y)
      for (int x = r.x0; x < r.x1; ++x) Put(x, y, rgb, a);
  }
  void Checker(const Rect& r) {
    for (int y = r.y0; y < r.y1; ++y)
      for (int x = r.x0; x < r.x1; ++x) Put(x, y, (((x - r.x0) / 6 + (y - r.y0) / 6) % 2) ? 0xC8C8C8 : 0xF4F4F4, 1.0f);
  }
  void VGradient(const Rect& r, uint32_t top, uint32_t bottom) {
    for (int y = r.y0; y < r.y1; ++y) {
      const float t = r.H() > 1 ? float(y - r.y0) / float(r.H() - 1) : 0.0f;
      Fill(Rect{r.x0, y, r.x1, y + 1}, mix(top, bottom, t));
    }
  }
  static uint32_t mix(uint32_t a, uint32_t b, float t) {
    auto ch = [&](int shift) {
      const float x = float((a >> shift) & 0xFF), y = float((b >> shift) & 0xFF);
      return uint32_t(std::lround(x + (y - x) * t)) << shift;
    };
    return ch(16) | ch(8) | ch(0);
  }
  void Text(int x, int y, const std::string& text, uint32_t rgb, int scale = 1) {
    for (char c : text) {
      const uint8_t* g = FontGlyph(c);
      if (g)
        for (int row = 0; row < FontHeight; ++row)
          for (int col = 0; col < FontWidth; ++col)
            if (g[row] & (0x10 >> col))
              Fill(Rect{x + col * scale, y + row * scale, x + (col + 1) * scale, y + (row + 1) * scale}, rgb);
      x += FontAdvance * scale;
    }
  }
  static int TextWidth(const std::string& t, int scale = 1) { return int(t.size()) * FontAdvance * scale - scale; }
  void TextCentred(const Rect& r, const std::string& text, uint32_t rgb) {
    Text(r.x0 + (r.W() - TextWidth(text)) / 2, r.y0 + (r.H() - FontHeight) / 2, text, rgb);
  }

  // ---- Skin images.

  int Section(const std::string& name) const { return skin::SkinManagerGetSectionIndex(s_, name); }
  int ImageOf(const std::string& section, const std::string& key) const {
    const int sec = Section(section);
    if (section == "GLOBALINFO") return skin::SkinManagerGetImageIndexByName(s_, section, key);
    return sec < 0 ? -1 : skin::SkinManagerGetImageIndex(s_, sec, key);
  }

  // The pixel of a record's bitmap at (x, y) of that bitmap.
  Sample At(const SkinImageRecord& rec, int x, int y) const {
    const skin::Bitmap* bmp = skin::SkinImageBitmap(s_, rec);
    if (!bmp || x < 0 || y < 0 || x >= bmp->Width() || y >= bmp->Height()) return Sample{};
    const uint8_t* p = bmp->ScanLine(y) + size_t(x) * 4;
    const uint32_t rgb = (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
    if (rec.MaskType >= 1) {
      if (rgb == 0xFF00FF) return Sample{};
      const int fh = skin::ImageFrameHeight(rec);
      const int my = y + fh;
      if (my >= bmp->Height()) return Sample{};
      const float a = 1.0f - float(bmp->ScanLine(my)[size_t(x) * 4 + 2]) / 255.0f;
      return Sample{float(p[2]) / 255.0f * a, float(p[1]) / 255.0f * a, float(p[0]) / 255.0f * a, a};
    }
    if (rgb == 0xFF00FF && p[3] == 0) return Sample{};
    const float a = float(p[3]) / 255.0f;
    if (rec.Bitmap) return Sample{float(p[2]) / 255.0f, float(p[1]) / 255.0f, float(p[0]) / 255.0f, a};
    return Sample{float(p[2]) / 255.0f, float(p[1]) / 255.0f, float(p[0]) / 255.0f, 1.0f};
  }

  // A nine-piece mask as the mask painter lays it out: corners at their size, edges and centre stretched or
  // tiled by the draw mode, the centre only with draw-mode bit 4, nothing for state 0 with bit 2.
  void Mask(int index, int state, const Rect& r, float opacity = 1.0f, int forceMode = -1) {
    if (index < 0 || index >= int(s_.Images.size()) || r.W() < 2 || r.H() < 2) return;
    const SkinImageRecord& rec = s_.Images[size_t(index)];
    const int mode = forceMode >= 0 ? forceMode : rec.DrawMode;
    if (state == 0 && (mode & 2)) return;
    int wl = skin::SkinMaskBorderLeft(s_, index), wr = skin::SkinMaskBorderRight(s_, index);
    int wt = skin::SkinMaskBorderTop(s_, index), wb = skin::SkinMaskBorderBottom(s_, index);
    if (r.W() < wl + wr) {
      const int d = wl + wr - r.W();
      wl = std::max(0, wl - d / 2);
      wr = std::max(0, wr - d / 2 - d % 2);
    }
    if (r.H() < wt + wb) {
      const int d = wt + wb - r.H();
      wt = std::max(0, wt - d / 2);
      wb = std::max(0, wb - d / 2 - d % 2);
    }
    const int s = std::min(state, std::max(1, int(rec.ImageCount)) - 1);
    const int fw = skin::ImageStateWidth(rec), fh = skin::ImageFrameHeight(rec);
    const int cw = fw - wl - wr, ch = fh - wt - wb;
    if (cw < 0 || ch < 0) return;
    const int sx = rec.SourceRect.Left + s * fw, sy = rec.SourceRect.Top;
    const bool stretch = (mode & 1) != 0;
    auto srcX = [&](int dx, bool& centre) {
      centre = false;
      if (dx < wl) return sx + dx;
      if (dx >= r.W() - wr) return sx + fw - (r.W() - dx);
      centre = true;
      if (cw <= 0) return -1;
      const int run = r.W() - wl - wr, pos = dx - wl;
      return sx + wl + (stretch ? pos * cw / std::max(1, run) : pos % cw);
    };
    auto srcY = [&](int dy, bool& centre) {
      centre = false;
      if (dy < wt) return sy + dy;
      if (dy >= r.H() - wb) return sy + fh - (r.H() - dy);
      centre = true;
      if (ch <= 0) return -1;
      const int run = r.H() - wt - wb, pos = dy - wt;
      return sy + wt + (stretch ? pos * ch / std::max(1, run) : pos % ch);
    };
    for (int dy = 0; dy < r.H(); ++dy) {
      bool cy;
      const int y = srcY(dy, cy);
      if (y < 0) continue;
      for (int dx = 0; dx < r.W(); ++dx) {
        bool cx;
        const int x = srcX(dx, cx);
        if (x < 0 || (cx && cy && !(mode & 4))) continue;
        Sample p = At(rec, x, y);
        p.r *= opacity, p.g *= opacity, p.b *= opacity, p.a *= opacity;
        PutPremul(r.x0 + dx, r.y0 + dy, p);
      }
    }
  }
  void Mask(const std::string& section, const std::string& key, int state, const Rect& r) {
    Mask(ImageOf(section, key), state, r);
  }

  // One state of a glyph at its own size.
  void Glyph(int index, int state, int x, int y, float opacity = 1.0f) {
    if (index < 0 || index >= int(s_.Images.size())) return;
    const SkinImageRecord& rec = s_.Images[size_t(index)];
    const int s = std::min(state, std::max(1, int(rec.ImageCount)) - 1);
    const int fw = skin::ImageStateWidth(rec), fh = skin::ImageFrameHeight(rec);
    for (int dy = 0; dy < fh; ++dy)
      for (int dx = 0; dx < fw; ++dx) {
        Sample p = At(rec, rec.SourceRect.Left + s * fw + dx, rec.SourceRect.Top + dy);
        p.r *= opacity, p.g *= opacity, p.b *= opacity, p.a *= opacity;
        PutPremul(x + dx, y + dy, p);
      }
  }
  int GlyphW(int index) const { return index < 0 ? 0 : skin::ImageStateWidth(s_.Images[size_t(index)]); }
  int GlyphH(int index) const { return index < 0 ? 0 : skin::ImageFrameHeight(s_.Images[size_t(index)]); }
  void GlyphCentred(int index, int state, const Rect& r, float opacity = 1.0f) {
    Glyph(index, state, r.x0 + (r.W() - GlyphW(index)) / 2, r.y0 + (r.H() - GlyphH(index)) / 2, opacity);
  }

  // ---- Sections.

  const SkinSectionRecord* Sec(int index) const {
    return index >= 0 && index < int(s_.Sections.size()) ? &s_.Sections[size_t(index)] : nullptr;
  }
  const skin::SkinStateBlock& Block(const SkinSectionRecord& s, int state) const {
    return skin::SectionStateBlock(s, state);
  }
  uint32_t FontColor(const std::string& section, int state) const {
    const SkinSectionRecord* s = Sec(Section(section));
    return s ? rgbOf(Block(*s, state).FontColor) : 0;
  }
  uint32_t SectionColor(const std::string& section, int state) const {
    const SkinSectionRecord* s = Sec(Section(section));
    return s ? rgbOf(Block(*s, state).Color) : 0x808080;
  }

  // The section's background in a state: colour, texture and gradient mixed by their percentages, over what
  // lies there by the transparency.
  void Background(int index, int state, const Rect& r) {
    const SkinSectionRecord* sp = Sec(index);
    if (!sp) return;
    const skin::SkinStateBlock& b = Block(*sp, state);
    if (b.Transparency >= 100) return;
    const float t = float(std::clamp(b.Transparency, 0, 100)) / 100.0f;
    const int img = b.ImagePercent, grad = b.GradientSteps.empty() ? 0 : b.GradientPercent;
    const int tex = b.TextureIndex;
    const uint32_t colour = rgbOf(b.Color);
    for (int y = r.y0; y < r.y1; ++y)
      for (int x = r.x0; x < r.x1; ++x) {
        float cr = float((colour >> 16) & 0xFF), cg = float((colour >> 8) & 0xFF), cb = float(colour & 0xFF);
        float wr = 0, wg = 0, wb = 0, left = 100;
        if (img > 0 && tex >= 0) {
          const SkinImageRecord& rec = s_.Images[size_t(tex)];
          const int tw = skin::RectWidth(rec.SourceRect), th = skin::RectHeight(rec.SourceRect);
          const int dx = x - r.x0, dy = y - r.y0;
          const int sx = rec.DrawMode == 1 ? dx * tw / std::max(1, r.W()) : dx % tw;
          const int sy = rec.DrawMode == 1 ? dy * th / std::max(1, r.H()) : dy % th;
          const Sample p = At(rec, rec.SourceRect.Left + sx, rec.SourceRect.Top + sy);
          wr += p.r * 255.0f * float(img), wg += p.g * 255.0f * float(img), wb += p.b * 255.0f * float(img);
          left -= float(img);
        }
        if (grad > 0) {
          const uint32_t gc = GradientAt(b.GradientSteps, x - r.x0, y - r.y0, r.W(), r.H());
          wr += float((gc >> 16) & 0xFF) * float(grad), wg += float((gc >> 8) & 0xFF) * float(grad),
              wb += float(gc & 0xFF) * float(grad);
          left -= float(grad);
        }
        left = std::max(0.0f, left);
        cr = (wr + cr * left) / 100.0f, cg = (wg + cg * left) / 100.0f, cb = (wb + cb * left) / 100.0f;
        const uint32_t own = (uint32_t(std::lround(std::clamp(cr, 0.0f, 255.0f))) << 16) |
                             (uint32_t(std::lround(std::clamp(cg, 0.0f, 255.0f))) << 8) |
                             uint32_t(std::lround(std::clamp(cb, 0.0f, 255.0f)));
        Put(x, y, own, 1.0f - t);
      }
  }
  static uint32_t GradientAt(const skin::GradientStepArray& steps, int x, int y, int w, int h) {
    if (steps.empty()) return 0;
    const bool columns = steps[0].Mode == 1;
    const int len = columns ? w : h, pos = columns ? x : y;
    int start = 0;
    for (size_t i = 0; i < steps.size(); ++i) {
      const int span = i + 1 == steps.size() ? len - start : len * steps[i].Percent / 100;
      if (pos < start + span || i + 1 == steps.size()) {
        const float t = span > 1 ? float(pos - start) / float(span - 1) : 0.0f;
        return mix(rgbOf(steps[i].Color1), rgbOf(steps[i].Color2), std::clamp(t, 0.0f, 1.0f));
      }
      start += span;
    }
    return rgbOf(steps.back().Color2);
  }

  // A whole section item: background, corner images, border mask.
  void Item(const std::string& section, int state, const Rect& r) {
    const int index = Section(section);
    const SkinSectionRecord* sp = Sec(index);
    if (!sp) return;
    state = std::min(state, skin::SectionStateCount(*sp) - 1);
    Background(index, state, r);
    auto corner = [&](int img, bool right, bool bottom) {
      if (img < 0) return;
      Glyph(img, state, right ? r.x1 - GlyphW(img) : r.x0, bottom ? r.y1 - GlyphH(img) : r.y0);
    };
    corner(sp->ImgTopLeft, false, false);
    corner(sp->ImgTopRight, true, false);
    corner(sp->ImgBottomLeft, false, true);
    corner(sp->ImgBottomRight, true, true);
    Mask(sp->BorderIndex, state, r);
  }
  // A control: its item, then its caption centred, optionally the disabled look (a blend at 0.4 with what
  // lay under it).
  void Control(const std::string& section, int state, const Rect& r, const std::string& caption, bool disabled = false) {
    Pixels8 under = Save(r);
    Item(section, state, r);
    if (!caption.empty()) TextCentred(r, caption, FontColor(section, state > 0 && !disabled ? 1 : 0));
    if (disabled) Restore(under, r, 0.4f);
  }
  Pixels8 Save(const Rect& r) const {
    Pixels8 p(r.W(), r.H());
    for (int y = 0; y < r.H(); ++y)
      for (int x = 0; x < r.W(); ++x)
        if (r.x0 + x >= 0 && r.y0 + y >= 0 && r.x0 + x < px_.w && r.y0 + y < px_.h) p.At(x, y) = px_.At(r.x0 + x, r.y0 + y);
    return p;
  }
  void Restore(const Pixels8& p, const Rect& r, float amount) {
    for (int y = 0; y < r.H(); ++y)
      for (int x = 0; x < r.W(); ++x) Put(r.x0 + x, r.y0 + y, p.At(x, y) & 0xFFFFFF, amount);
  }
  void DrawImage(const Image& img, int x, int y) {
    for (int yy = 0; yy < img.H(); ++yy)
      for (int xx = 0; xx < img.W(); ++xx) {
        const Px& p = img.At(xx, yy);
        PutPremul(x + xx, y + yy, Sample{p.r, p.g, p.b, p.a});
      }
  }

  const LoadedSkin& Skin() const { return s_; }

 private:
  Pixels8 px_;
  const LoadedSkin& s_;
};

// ---------------------------------------------------------------------------------------------------------
// The sample window, a dialog and a popup menu.

void drawScrollBar(Sheet& sh, const Rect& r, bool vertical, int hotPart) {
  const char* btn1 = vertical ? "SCROLLBTNTOP" : "SCROLLBTNLEFT";
  const char* btn2 = vertical ? "SCROLLBTNBOTTOM" : "SCROLLBTNRIGHT";
  const int a = 17;
  const Rect b1 = vertical ? Rect{r.x0, r.y0, r.x1, r.y0 + a} : Rect{r.x0, r.y0, r.x0 + a, r.y1};
  const Rect b2 = vertical ? Rect{r.x0, r.y1 - a, r.x1, r.y1} : Rect{r.x1 - a, r.y0, r.x1, r.y1};
  const int len = vertical ? r.H() : r.W();
  const int thumbLen = std::max(20, (len - 2 * a) / 3), thumbAt = a + (len - 2 * a - thumbLen) / 3;
  const Rect thumb = vertical ? Rect{r.x0, r.y0 + thumbAt, r.x1, r.y0 + thumbAt + thumbLen}
                              : Rect{r.x0 + thumbAt, r.y0, r.x0 + thumbAt + thumbLen, r.y1};
  const int mid = thumbAt + thumbLen / 2;
  sh.Item(vertical ? "SCROLLBAR1V" : "SCROLLBAR1H", 0,
          vertical ? Rect{r.x0, r.y0 + a, r.x1, r.y0 + mid} : Rect{r.x0 + a, r.y0, r.x0 + mid, r.y1});
  sh.Item(vertical ? "SCROLLBAR2V" : "SCROLLBAR2H", 0,
          vertical ? Rect{r.x0, r.y0 + mid, r.x1, r.y1 - a} : Rect{r.x0 + mid, r.y0, r.x1 - a, r.y1});
  sh.Item(btn1, hotPart == 0 ? 1 : 0, b1);
  sh.GlyphCentred(sh.ImageOf(btn1, "GLYPHMASK"), hotPart == 0 ? 1 : 0, b1);
  sh.Item(btn2, 0, b2);
  sh.GlyphCentred(sh.ImageOf(btn2, "GLYPHMASK"), 0, b2);
  const char* slider = vertical ? "SCROLLSLIDERV" : "SCROLLSLIDERH";
  sh.Item(slider, hotPart == 5 ? 1 : 0, thumb);
  sh.GlyphCentred(sh.ImageOf(slider, "GLYPHMASK"), hotPart == 5 ? 1 : 0, thumb);
}

// Window frame with caption; returns the client rectangle.
Rect drawWindow(Sheet& sh, const Rect& w, bool active, const std::string& caption, bool dialog) {
  const LoadedSkin& s = sh.Skin();
  const int bw = s.SkinData.BorderWidth, th = s.SkinData.TitleHeight;
  // The extended border (or the program's standard shadow) around the window.
  const int ex = s.CommonIndexes.ExBorder;
  if (ex >= 0) {
    const int m = skin::SkinMaskBorderLeft(s, ex) - s.SkinData.FormOffset;
    sh.Mask(ex, active ? 0 : 1, Rect{w.x0 - m, w.y0 - m, w.x1 + m, w.y1 + m}, 1.0f, 0);
  } else {
    const Image shadow = StandardShadowImage(active);
    // Nine pieces of the standard shadow, 9 pixels around the window.
    const int m = 9, n = shadow.W();
    for (int y = w.y0 - m; y < w.y1 + m; ++y)
      for (int x = w.x0 - m; x < w.x1 + m; ++x) {
        const int sx = x < w.x0 + m ? x - (w.x0 - m) : x >= w.x1 - m ? n - (w.x1 + m - x) : n / 2;
        const int sy = y < w.y0 + m ? y - (w.y0 - m) : y >= w.y1 - m ? n - (w.y1 + m - y) : n / 2;
        const Px& p = shadow.At(std::clamp(sx, 0, n - 1), std::clamp(sy, 0, n - 1));
        sh.PutPremul(x, y, Sample{p.r, p.g, p.b, p.a});
      }
  }
  const int state = active ? 1 : 0;
  const char* form = dialog ? "DIALOG" : "FORM";
  sh.Item(form, state, w);
  const Rect band{w.x0 + bw, w.y0 + bw, w.x1 - bw, w.y0 + bw + th};
  sh.Item(dialog ? "DIALOGTITLE" : "FORMTITLE", state, band);
  // Caption buttons, right to left.
  const int small = dialog;
  const int close = sh.ImageOf("GLOBALINFO", dialog ? "SICONCLOSE" : "BICONCLOSE");
  const int max = sh.ImageOf("GLOBALINFO", "BICONMAX"), min = sh.ImageOf("GLOBALINFO", "BICONMIN");
  std::vector<int> buttons = {close};
  if (!small) buttons.push_back(max), buttons.push_back(min);
  int right = w.x1 - bw - s.SkinData.BIRight;
  int reserve = 0;
  for (int b : buttons) reserve += sh.GlyphW(b) + s.SkinData.BISpace;
  const int tb = sh.ImageOf("FORM", "TITLEBAR");
  if (!small && tb >= 0) sh.Mask(tb, state, Rect{right - reserve - 8, band.y0, w.x1 - bw, band.y1});
  for (size_t i = 0; i < buttons.size(); ++i) {
    const int b = buttons[i];
    const int bwid = sh.GlyphW(b), bh = sh.GlyphH(b);
    const int top = (s.SkinData.BIVAlign == 1 && !small) ? band.y0 : band.y0 + (th - bh) / 2;
    // The close button of the active sample window shows its hot state.
    sh.Glyph(b, (active && i == 0 && !small) ? 1 : 0, right - bwid, top, active ? 1.0f : 0.55f);
    right -= bwid + s.SkinData.BISpace;
  }
  // Icon and caption text.
  int x = band.x0 + 4;
  if (!dialog) {
    sh.DrawImage(ProgramIcon(16), x, band.y0 + (th - 16) / 2);
    x += 22;
  }
  const uint32_t text = sh.FontColor("CAPTION", state);
  const skin::SkinSectionRecord* cap = sh.Sec(sh.Section("CAPTION"));
  if (cap && skin::SectionStateBlock(*cap, state).ContourLeft != -1) {
    const uint32_t glow = rgbOf(skin::SectionStateBlock(*cap, state).ContourLeft);
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (dx || dy) sh.Text(x + dx, band.y0 + (th - 7) / 2 + dy, caption, glow);
  }
  sh.Text(x, band.y0 + (th - 7) / 2, caption, text);
  return Rect{w.x0 + bw, band.y1, w.x1 - bw, w.y1 - bw};
}

void drawSampleWindow(Sheet& sh, const Theme& t, const Rect& w) {
  const LoadedSkin& s = sh.Skin();
  Rect c = drawWindow(sh, w, true, "STATION - " + t.name.substr(0, t.name.find(" (")), false);
  // Menu line.
  const Rect menu{c.x0, c.y0, c.x1, c.y0 + 20};
  sh.Item("MENULINE", 0, menu);
  int mx = menu.x0 + 4;
  const char* items[] = {"FILE", "MODE", "AUTEX", "OPTIONS", "HELP"};
  for (int i = 0; i < 5; ++i) {
    const int wdt = Sheet::TextWidth(items[i]) + 14;
    const Rect ir{mx, menu.y0 + 1, mx + wdt, menu.y1 - 1};
    if (i == 1) sh.Mask("MENULINE", "BORDERSMASK", 1, ir);
    sh.TextCentred(ir, items[i], sh.FontColor("MENULINE", i == 1 ? 1 : 0));
    mx += wdt + 2;
  }
  // Tool bar.
  const Rect tool{c.x0, menu.y1, c.x1, menu.y1 + 30};
  sh.Item("TOOLBAR", 0, tool);
  int tx = tool.x0 + 4;
  for (int i = 0; i < 6; ++i) {
    if (i == 3) {
      sh.Item("DIVIDER", 0, Rect{tx, tool.y0 + 5, tx + 4, tool.y1 - 6});
      tx += 8;
    }
    const Rect b{tx, tool.y0 + 3, tx + 24, tool.y1 - 4};
    const int st = i == 1 ? 1 : i == 4 ? 2 : 0;
    sh.Item("TOOLBUTTON", st, b);
    // A small pictogram.
    const uint32_t ink = sh.FontColor("TOOLBUTTON", 0);
    const int cx = b.x0 + 12 + (st == 2), cy = b.y0 + 11 + (st == 2);
    if (i % 3 == 0) sh.Fill(Rect{cx - 5, cy - 4, cx + 5, cy + 5}, ink, 0.75f), sh.Fill(Rect{cx - 4, cy - 3, cx + 4, cy + 4}, 0xFFFFFF, 0.9f);
    if (i % 3 == 1) for (int k = -5; k <= 5; ++k) sh.Fill(Rect{cx + k, cy - std::abs(k) / 2, cx + k + 1, cy - std::abs(k) / 2 + 2}, ink, 0.8f);
    if (i % 3 == 2) sh.Fill(Rect{cx - 1, cy - 5, cx + 1, cy + 5}, ink, 0.8f), sh.Fill(Rect{cx - 5, cy - 1, cx + 5, cy + 1}, ink, 0.8f);
    tx += 26;
  }
  // Status bar.
  const Rect status{c.x0, c.y1 - 22, c.x1, c.y1};
  sh.Item("STATUSBAR", 0, status);
  int sx = status.x0 + 2;
  const char* panels[] = {"COM3  9600", "AUTEX 400", "CONNECTED"};
  const int widths[] = {96, 84, 120};
  for (int i = 0; i < 3; ++i) {
    const Rect p{sx, status.y0 + 3, sx + widths[i], status.y1 - 2};
    sh.Mask("STATUSBAR", "STATUSPANELMASK", 0, p);
    sh.Text(p.x0 + 5, p.y0 + (p.H() - 7) / 2, panels[i], sh.FontColor("STATUSBAR", 0));
    sx += widths[i] + 2;
  }
  const int grip = s.CommonIndexes.GripImage;
  sh.Glyph(grip, 0, status.x1 - sh.GlyphW(grip) - 1, status.y1 - sh.GlyphH(grip) - 1);
  // Client: a group box of settings on the left, a page control with a memo on the right, buttons below.
  const Rect body{c.x0 + 8, tool.y1 + 8, c.x1 - 8, status.y0 - 8};
  const Rect group{body.x0, body.y0 + 4, body.x0 + 206, body.y1 - 40};
  {
    sh.Item("GROUPBOX", 0, Rect{group.x0, group.y0 + 4, group.x1, group.y1});
    const std::string cap = "SETTINGS";
    const Rect capRect{group.x0 + 8, group.y0, group.x0 + 14 + Sheet::TextWidth(cap), group.y0 + 9};
    // The caption cuts the frame: the form's background under it.
    Sheet& sheet = sh;
    for (int y = capRect.y0; y < capRect.y1; ++y)
      for (int x = capRect.x0; x < capRect.x1; ++x) {
        // Take the pixel a little to the left inside the group's top band as the background.
        sheet.Put(x, y, sheet.Pixels().At(group.x0 + 2, y) & 0xFFFFFF, 1.0f);
      }
    sh.Text(capRect.x0 + 3, capRect.y0 + 1, cap, sh.FontColor("GROUPBOX", 0));
  }
  int y = group.y0 + 18;
  const int lx = group.x0 + 10, ex0 = group.x0 + 78, ex1 = group.x1 - 10;
  const uint32_t label = rgbOf(s.Colors[skin::scMainFontColor]);
  sh.Text(lx, y + 7, "CALL", label);
  sh.Control("EDIT", 0, Rect{ex0, y, ex1, y + 22}, "");
  sh.Text(ex0 + 6, y + 8, "F4ABC", sh.FontColor("EDIT", 0));
  y += 28;
  sh.Text(lx, y + 7, "FREQ", label);
  sh.Control("EDIT", 1, Rect{ex0, y, ex1, y + 22}, "");
  sh.Text(ex0 + 6, y + 8, "433.775", sh.FontColor("EDIT", 1));
  sh.Fill(Rect{ex0 + 6 + Sheet::TextWidth("433.775") + 2, y + 6, ex0 + 7 + Sheet::TextWidth("433.775") + 2, y + 16},
          sh.FontColor("EDIT", 1));
  y += 28;
  sh.Text(lx, y + 7, "SPEED", label);
  {
    const Rect combo{ex0, y, ex1, y + 22};
    sh.Control("COMBOBOX", 0, combo, "");
    sh.Text(combo.x0 + 6, combo.y0 + 8, "400 BAUD", sh.FontColor("EDIT", 0));
    const Rect btn{combo.x1 - 19, combo.y0 + 2, combo.x1 - 2, combo.y1 - 2};
    sh.Item("COMBOBTN", 1, btn);
    sh.GlyphCentred(sh.ImageOf("COMBOBTN", "GLYPHMASK"), 1, btn);
  }
  y += 32;
  const int box = s.CommonIndexes.BoxChecked, unbox = s.CommonIndexes.BoxUnchecked;
  const int radio = s.CommonIndexes.RadioChecked, unradio = s.CommonIndexes.RadioUnchecked;
  sh.Glyph(box, 0, lx, y);
  sh.Text(lx + 21, y + 4, "SPEAK TEXT", sh.FontColor("CHECKBOX", 0));
  sh.Glyph(unbox, 1, lx + 108, y);
  sh.Text(lx + 129, y + 4, "BEACON", sh.FontColor("CHECKBOX", 1));
  y += 22;
  sh.Glyph(radio, 0, lx, y);
  sh.Text(lx + 21, y + 4, "ASCII", sh.FontColor("CHECKBOX", 0));
  sh.Glyph(unradio, 0, lx + 108, y);
  sh.Text(lx + 129, y + 4, "AUTEX", sh.FontColor("CHECKBOX", 0));
  y += 26;
  {
    // A track bar: its channel, ticks and thumb.
    const int ch = sh.ImageOf("TRACKBAR", "SLIDERCHANNEL");
    const Rect channel{lx + 4, y + 4, ex1 - 4, y + 4 + sh.GlyphH(ch)};
    sh.Mask(ch, 0, channel);
    const int tick = sh.ImageOf("TRACKBAR", "TICKHORZ");
    for (int i = 0; i <= 8; ++i) sh.Glyph(tick, 0, channel.x0 + 5 + i * (channel.W() - 10) / 8, y + 24);
    const int thumb = sh.ImageOf("TRACKBAR", "SLIDERMASK");
    sh.Glyph(thumb, 1, channel.x0 + channel.W() * 5 / 8, y - 2);
  }
  // Page control with tabs and a memo.
  const Rect pages{group.x1 + 12, body.y0 + 22, body.x1, body.y1 - 40};
  sh.Item("PAGECONTROL", 0, pages);
  {
    const char* tabs[] = {"RECEIVED", "SENT", "MESSAGES"};
    int x = pages.x0 + 2;
    int activeX0 = 0, activeX1 = 0;
    for (int i = 0; i < 3; ++i) {
      const int wdt = Sheet::TextWidth(tabs[i]) + 18;
      if (i != 0) {
        const Rect tr{x, pages.y0 - 20, x + wdt, pages.y0 + 1};
        sh.Item("TABTOP", i == 2 ? 1 : 0, tr);
        sh.TextCentred(Rect{tr.x0, tr.y0 + 1, tr.x1, tr.y1}, tabs[i], sh.FontColor("TABTOP", i == 2 ? 1 : 0));
      } else {
        activeX0 = x, activeX1 = x + wdt;
      }
      x += wdt;
    }
    const Rect tr{activeX0 - 2, pages.y0 - 22, activeX1 + 2, pages.y0 + 2};
    sh.Item("TABTOP", 2, tr);
    sh.TextCentred(Rect{tr.x0, tr.y0, tr.x1, tr.y1 - 2}, tabs[0], sh.FontColor("TABTOP", 1));
  }
  {
    const Rect memo{pages.x0 + 6, pages.y0 + 6, pages.x1 - 6, pages.y1 - 6};
    sh.Control("EDIT", 0, memo, "");
    const char* lines[] = {"F4ABC DE F6XYZ", "QSL 73, GOOD COPY", "AUTEX 400 LINK UP", "RS 63/47 OK", "SENT 1.2 KB",
                           "LAST ACK 12:04"};
    for (int i = 0; i < 6; ++i) sh.Text(memo.x0 + 6, memo.y0 + 6 + i * 12, lines[i], sh.FontColor("EDIT", 0));
    const Rect selLine{memo.x0 + 3, memo.y0 + 6 + 2 * 12 - 3, memo.x1 - 21, memo.y0 + 6 + 2 * 12 + 10};
    sh.Item("SELECTION", 1, selLine);
    sh.Text(memo.x0 + 6, memo.y0 + 6 + 2 * 12, lines[2], sh.FontColor("SELECTION", 1));
    drawScrollBar(sh, Rect{memo.x1 - 19, memo.y0 + 2, memo.x1 - 2, memo.y1 - 2}, true, 5);
  }
  // Buttons.
  const int by = body.y1 - 30;
  sh.Control("BUTTON", 0, Rect{body.x0, by, body.x0 + 84, by + 25}, "SEND");
  sh.Control("BUTTON", 1, Rect{body.x0 + 92, by, body.x0 + 176, by + 25}, "BEACON");
  sh.Control("BUTTON", 2, Rect{body.x0 + 184, by, body.x0 + 268, by + 25}, "STOP");
  sh.Control("BUTTON", 3, Rect{body.x1 - 176, by, body.x1 - 92, by + 25}, "OK");
  sh.Control("BUTTON", 0, Rect{body.x1 - 84, by, body.x1, by + 25}, "QUIT", true);
}

void drawDialog(Sheet& sh, const Theme& t, const Rect& w) {
  const Rect c = drawWindow(sh, w, false, "INFORMATION", true);
  sh.Text(c.x0 + 14, c.y0 + 16, "THE FILE WAS SENT.", rgbOf(sh.Skin().Colors[skin::scMainFontColor]));
  sh.Control("BUTTON", 3, Rect{c.x1 - 88, c.y1 - 36, c.x1 - 14, c.y1 - 12}, "OK");
}

void drawPopup(Sheet& sh, const Rect& r) {
  sh.Item("MAINMENU", 0, r);
  const int border = 3;
  const Rect inner{r.x0 + border, r.y0 + border, r.x1 - border, r.y1 - border};
  sh.Item("ICOLINE", 0, Rect{inner.x0, inner.y0, inner.x0 + 26, inner.y1});
  const char* items[] = {"SAVE REPORT", "CAPTURE", "-", "SPEECH", "SKINS", "-", "QUIT"};
  int y = inner.y0 + 2;
  for (int i = 0; i < 7; ++i) {
    if (items[i][0] == '-') {
      sh.Mask("DIVIDERV", "BORDERSMASK", 0, Rect{inner.x0 + 30, y + 3, inner.x1 - 3, y + 5});
      y += 8;
      continue;
    }
    const Rect ir{inner.x0 + 1, y, inner.x1 - 1, y + 20};
    const bool hot = i == 1, disabled = i == 4;
    if (hot) sh.Item("MENUITEM", 1, ir);
    if (i == 3) sh.GlyphCentred(sh.ImageOf("CHECKBOX", "CHECK"), 0, Rect{ir.x0, ir.y0, ir.x0 + 26, ir.y1});
    const uint32_t colour = sh.FontColor("MENUITEM", hot ? 1 : 0);
    if (disabled) {
      Pixels8 under = sh.Save(ir);
      sh.Text(ir.x0 + 32, ir.y0 + 7, items[i], colour);
      sh.Restore(under, ir, 0.6f);
    } else {
      sh.Text(ir.x0 + 32, ir.y0 + 7, items[i], colour);
    }
    y += 21;
  }
}

// ---------------------------------------------------------------------------------------------------------
// The catalogue of parts.

struct Cell {
  std::string section;
  int w, h;
  std::vector<int> states;
  bool disabled = true;
};

class Catalogue {
 public:
  Catalogue(Sheet& sh, int x, int y, int width) : sh_(sh), x0_(x), x_(x), y_(y), width_(width) {}
  int Y() const { return y_ + rowH_; }

  void Heading(const std::string& text) {
    NewLine();
    y_ += 8;
    sh_.Text(x0_, y_, text, 0x303030, 2);
    y_ += 20;
  }
  void NewLine() {
    if (x_ != x0_) {
      y_ += rowH_ + 10;
      x_ = x0_;
      rowH_ = 0;
    }
  }
  // A labelled block of w x h, drawn by paint(rect).
  void Block(const std::string& label, int w, int h, const std::function<void(const Rect&)>& paint) {
    const int bw = std::max(w, Sheet::TextWidth(label));
    if (x_ + bw > x0_ + width_) NewLine();
    sh_.Text(x_, y_, label, 0x505050);
    const Rect r{x_, y_ + 10, x_ + w, y_ + 10 + h};
    paint(r);
    x_ += bw + 14;
    rowH_ = std::max(rowH_, h + 10);
  }
  // A section in each of its states over a checkerboard, then disabled.
  void Section(const std::string& name, int w, int h, int states, bool disabled, const std::string& caption = "") {
    const int index = sh_.Section(name);
    if (index < 0) return;
    const int n = std::min(states, skin::SectionStateCount(*sh_.Sec(index)));
    const int total = (n + (disabled ? 1 : 0)) * (w + 4) - 4;
    Block(name, total, h, [&](const Rect& r) {
      for (int i = 0; i < n + (disabled ? 1 : 0); ++i) {
        const Rect c{r.x0 + i * (w + 4), r.y0, r.x0 + i * (w + 4) + w, r.y1};
        sh_.Checker(Rect{c.x0 - 1, c.y0 - 1, c.x1 + 1, c.y1 + 1});
        const bool dis = i == n;
        sh_.Control(name, dis ? 0 : i, c, caption, dis);
        Glyphs(name, dis ? 0 : i, c, dis);
      }
    });
  }
  void Glyphs(const std::string& name, int state, const Rect& c, bool disabled) {
    const int g = sh_.ImageOf(name, "GLYPHMASK");
    if (g >= 0 && name != "COMBOBOX") sh_.GlyphCentred(g, state, c, disabled ? 0.6f : 1.0f);
  }
  // An image's states side by side over a background.
  // bg 1: over the active caption.
  void Image_(const std::string& section, const std::string& key, uint32_t bg, bool checker = true, int pad = 3) {
    const int img = sh_.ImageOf(section, key);
    if (img < 0) return;
    const SkinImageRecord& rec = sh_.Skin().Images[size_t(img)];
    const int n = rec.ImageCount, w = sh_.GlyphW(img), h = sh_.GlyphH(img);
    Block(key, n * (w + 2 * pad + 3) - 3, h + 2 * pad, [&](const Rect& r) {
      for (int i = 0; i < n; ++i) {
        const Rect c{r.x0 + i * (w + 2 * pad + 3), r.y0, r.x0 + i * (w + 2 * pad + 3) + w + 2 * pad, r.y1};
        if (checker) {
          sh_.Checker(c);
        } else if (bg == 1) {
          sh_.Item("FORMTITLE", 1, c);
        } else {
          sh_.Fill(c, bg);
        }
        sh_.Glyph(img, i, c.x0 + pad, c.y0 + pad);
      }
    });
  }

 private:
  Sheet& sh_;
  int x0_, x_, y_, width_, rowH_ = 0;
};

}  // namespace

std::string ContactSheet(const GeneratedSkin& g) {
  const Theme& t = *g.theme;
  // The skin as the program loads it.
  skin::PortableSkinSystem sys;
  skin::TsSkinManager m(sys);
  m.SetSkinDirectory("/nonexistent-skin-directory");
  skin::TsStoredSkin& stored = m.InternalSkins.Add();
  stored.Name = t.name;
  stored.Data.WriteBuffer(g.packed.data(), int64_t(g.packed.size()));
  m.SetSkinName(t.name);
  const LoadedSkin& s = m.Skin();

  const int width = 1160;
  Sheet sh(width, 1700, s);
  sh.Fill(Rect{0, 0, width, 1700}, 0xF7F7F5);
  sh.Text(20, 16, t.name, 0x202020, 3);
  sh.Text(20, 44, t.description + "   VERSION " + t.version, 0x606060);
  // The sample window on a desktop.
  const Rect desk{0, 64, width, 560};
  sh.VGradient(desk, 0x5C7A99, 0x2E4257);
  drawSampleWindow(sh, t, Rect{36, 92, 636, 536});
  drawDialog(sh, t, Rect{680, 96, 1000, 250});
  drawPopup(sh, Rect{690, 300, 880, 470});
  {
    // The same caption, inactive.
    const Rect w{900, 300, 1130, 370};
    drawWindow(sh, w, false, "INACTIVE", false);
  }

  Catalogue c(sh, 20, 572, width - 40);
  const uint32_t title = 1;  // over the active caption
  c.Heading("CAPTION");
  c.Section("FORMTITLE", 90, s.SkinData.TitleHeight, 2, false);
  c.Section("CAPTION", 90, s.SkinData.TitleHeight, 2, false, "CAPTION");
  c.Block("FORM", 2 * 110 + 4, 70, [&](const Rect& r) {
    for (int i = 0; i < 2; ++i) {
      const Rect cr{r.x0 + i * 114, r.y0, r.x0 + i * 114 + 110, r.y1};
      sh.Checker(Rect{cr.x0 - 1, cr.y0 - 1, cr.x1 + 1, cr.y1 + 1});
      sh.Item("FORM", i, cr);
    }
  });
  for (const char* k : {"BICONCLOSE", "BICLOSEALONE", "BICONMAX", "BICONNORM", "BICONMIN", "BICONHELP", "TITLEBUTTON"})
    c.Image_("GLOBALINFO", k, title, false);
  for (const char* k : {"SICONCLOSE", "SICONMAX", "SICONNORM", "SICONMIN", "SICONHELP"})
    c.Image_("GLOBALINFO", k, title, false);
  c.Image_("FORM", "TITLEBAR", title, false, 0);

  c.Heading("BUTTONS");
  c.Section("BUTTON", 78, 25, 4, true, "BUTTON");
  c.Section("BUTTON_SMALL", 58, 19, 4, true, "SMALL");
  c.Section("BUTTON_BIG", 96, 32, 4, true, "BIG");
  c.Section("BUTTON_HUGE", 120, 46, 4, true, "HUGE");
  c.Section("SPEEDBUTTON", 60, 25, 3, true, "SPEED");
  c.Section("TOOLBUTTON", 30, 26, 3, true);
  c.Section("SPEEDBUTTON_SMALL", 30, 26, 3, true);
  c.Section("WEBBUTTON", 60, 18, 2, true, "LINK");
  c.Section("COLHEADER", 70, 22, 3, true, "HEADER");

  c.Heading("EDITS AND GLYPHS");
  c.Section("EDIT", 90, 22, 2, true);
  c.Section("COMBOBOX", 90, 22, 2, true);
  c.Section("COMBOBTN", 17, 18, 3, true);
  c.Section("UPDOWNBTN", 17, 11, 3, true);
  for (const char* k : {"BOXUNCHECKED", "BOXCHECKED", "BOXGRAYED", "SMALLUNCHECKED", "SMALLCHECKED", "SMALLGRAYED",
                        "RADIOUNCHECKED", "RADIOCHECKED"})
    c.Image_("GLOBALINFO", k, 0, true);
  c.Image_("CHECKBOX", "CHECK", 0, true);
  for (const char* k : {"GRIPIMAGE", "GRIPHORZ", "GRIPVERT"}) c.Image_("GLOBALINFO", k, 0, true);

  c.Heading("SCROLL BARS AND SLIDERS");
  for (const char* n : {"SCROLLBTNLEFT", "SCROLLBTNRIGHT", "SCROLLBTNTOP", "SCROLLBTNBOTTOM"}) c.Section(n, 17, 17, 3, true);
  c.Section("SCROLLBAR1H", 48, 17, 3, false);
  c.Section("SCROLLBAR1V", 17, 48, 3, false);
  c.Section("SCROLLSLIDERH", 46, 17, 3, true);
  c.Section("SCROLLSLIDERV", 17, 46, 3, true);
  c.Block("SCROLL BAR", 200, 17, [&](const Rect& r) { drawScrollBar(sh, r, false, 0); });
  c.Image_("TRACKBAR", "SLIDERMASK", 0, true);
  c.Image_("TRACKBAR", "SLIDERVMASK", 0, true);
  c.Block("SLIDERCHANNEL", 2 * 84, 6, [&](const Rect& r) {
    for (int i = 0; i < 2; ++i) sh.Mask("TRACKBAR", "SLIDERCHANNEL", i, Rect{r.x0 + i * 88, r.y0, r.x0 + i * 88 + 80, r.y1});
  });

  c.Heading("TABS, MENUS, SELECTION");
  c.Section("TABTOP", 60, 22, 3, false, "TOP");
  c.Section("TABBOTTOM", 60, 22, 3, false, "BOTTOM");
  c.Section("TABLEFT", 22, 50, 3, false);
  c.Section("TABRIGHT", 22, 50, 3, false);
  c.Section("PAGECONTROL", 90, 50, 1, false);
  c.Section("MENULINE", 70, 20, 2, false, "MENU");
  c.Section("MAINMENU", 90, 50, 1, false);
  c.Section("MENUITEM", 90, 20, 2, false, "ITEM");
  c.Section("ICOLINE", 26, 50, 1, false);
  c.Section("DIVIDERV", 90, 2, 1, false);
  c.Section("MENUCAPTION", 90, 20, 1, false, "CAPTION");
  c.Section("EXTRALINE", 26, 60, 1, false);
  c.Section("SELECTION", 90, 18, 2, false, "SELECTED");

  c.Heading("PANELS, BARS, AREAS");
  c.Section("GROUPBOX", 90, 50, 1, false);
  c.Section("PANEL", 90, 50, 1, false, "PANEL");
  c.Section("PANEL_LOW", 90, 50, 1, false, "LOW");
  c.Section("TOOLBAR", 120, 28, 1, false);
  c.Section("STATUSBAR", 120, 22, 1, false);
  c.Block("STATUSPANELMASK", 80, 18, [&](const Rect& r) {
    sh.Item("STATUSBAR", 0, Rect{r.x0 - 2, r.y0 - 2, r.x1 + 2, r.y1 + 2});
    sh.Mask("STATUSBAR", "STATUSPANELMASK", 0, r);
  });
  c.Section("DIVIDER", 6, 24, 1, false);
  c.Section("BARTITLE", 90, 20, 1, false, "BAR TITLE");
  c.Section("SPLITTER", 40, 20, 2, false);
  c.Section("MDIAREA", 120, 60, 1, false);

  c.Heading("IMAGES WITH ALPHA");
  auto overDarkAndLight = [&](const std::string& label, int img, int state) {
    if (img < 0) return;
    const int w = sh.GlyphW(img), h = sh.GlyphH(img);
    c.Block(label, 2 * w + 6, h, [&](const Rect& r) {
      sh.Fill(Rect{r.x0, r.y0, r.x0 + w, r.y1}, 0x303030);
      sh.Fill(Rect{r.x0 + w + 6, r.y0, r.x0 + 2 * w + 6, r.y1}, 0xE8E8E8);
      sh.Glyph(img, state, r.x0, r.y0);
      sh.Glyph(img, state, r.x0 + w + 6, r.y0);
    });
  };
  for (const char* k : {"BICONCLOSEGLOW0", "BICONMAXGLOW0", "BICONMINGLOW0"})
    overDarkAndLight(k, sh.ImageOf("GLOBALINFO", k), 0);
  {
    const int glow = skin::SkinManagerGetImageIndexByName(s, "BUTTON", "GLOW0");
    if (glow >= 0)
      c.Block("BUTTON GLOW0", 2 * 116 + 6, 50, [&](const Rect& r) {
        for (int i = 0; i < 2; ++i) {
          const Rect back{r.x0 + i * 122, r.y0, r.x0 + i * 122 + 116, r.y1};
          sh.Fill(back, i ? 0xE8E8E8 : 0x303030);
          const Rect ctl{back.x0 + 20, back.y0 + 12, back.x1 - 20, back.y1 - 12};
          const SkinSectionRecord* btn = sh.Sec(sh.Section("BUTTON"));
          const int m = btn ? btn->GlowMargin : 0;
          const int bl = skin::SkinMaskBorderLeft(s, glow), bt = skin::SkinMaskBorderTop(s, glow);
          const int br = skin::SkinMaskBorderRight(s, glow), bb = skin::SkinMaskBorderBottom(s, glow);
          sh.Control("BUTTON", 1, ctl, "HOT");
          sh.Mask(glow, 0, Rect{ctl.x0 - bl + m, ctl.y0 - bt + m, ctl.x1 + br - m, ctl.y1 + bb - m});
        }
      });
  }
  {
    const int ex = s.CommonIndexes.ExBorder;
    if (ex >= 0)
      c.Block("EXBORDER (ACTIVE, INACTIVE)", 2 * 160 + 8, 90, [&](const Rect& r) {
        sh.Fill(r, 0xE4E4E4);
        for (int i = 0; i < 2; ++i) {
          const Rect w{r.x0 + 20 + i * 168, r.y0 + 18, r.x0 + 140 + i * 168, r.y1 - 18};
          const int mg = skin::SkinMaskBorderLeft(s, ex) - s.SkinData.FormOffset;
          sh.Mask(ex, i, Rect{w.x0 - mg, w.y0 - mg, w.x1 + mg, w.y1 + mg}, 1.0f, 0);
          sh.Item("FORM", 1 - i, w);
        }
      });
    const int outer = sh.ImageOf("BUTTON", "OUTERMASK");
    if (outer >= 0)
      c.Block("BUTTON OUTERMASK", 110, 44, [&](const Rect& r) {
        sh.Fill(r, sh.SectionColor("FORM", 1));
        const Rect ctl{r.x0 + 14, r.y0 + 10, r.x1 - 14, r.y1 - 10};
        const int e = skin::SkinMaskBorderLeft(s, outer);
        sh.Mask(outer, 0, Rect{ctl.x0 - e + 2, ctl.y0 - e + 2, ctl.x1 + e - 2, ctl.y1 + e + 1});
        sh.Control("BUTTON", 0, ctl, "SHADOW");
      });
  }
  const int height = std::min(1700, c.Y() + 24);
  Pixels8 out(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) out.At(x, y) = sh.Pixels().At(x, y);
  return EncodePng(out, false, 6);
}

}  // namespace skingen
