#include "tools/skingen/generate.h"

#include <cstdio>
#include <optional>
#include <tuple>

#include "tools/skingen/elements.h"

namespace skingen {

namespace {

std::string hexColor(Color c) {
  char b[16];
  std::snprintf(b, sizeof b, "0x%06X", unsigned(ToTColor(c)));
  return b;
}

struct Step {
  Color from, to;
  int percent;
};
// A GRADIENTDATA text: groups of colour from, colour to, percent, mode and a reserved 0; colours in decimal.
std::string gradient(std::initializer_list<Step> steps, int mode = 0) {
  std::string s;
  for (const Step& st : steps) {
    if (!s.empty()) s += ";";
    s += std::to_string(ToTColor(st.from)) + ";" + std::to_string(ToTColor(st.to)) + ";" + std::to_string(st.percent) +
         ";" + std::to_string(mode) + ";0";
  }
  return s;
}

// The keys of one section: the normal state's values, the hot state's (the normal ones unless given), and
// the other keys in the order set. Written in a fixed order when the section is finished.
class Sec {
 public:
  Sec(SkinBuilder& b, std::string name) : b_(b), name_(std::move(name)) {}
  ~Sec() { Write(); }
  Sec& Parent(const std::string& p) { parent_ = p; return *this; }
  Sec& States(int n) { states_ = n; return *this; }
  Sec& Color_(Color c) { color_ = c; return *this; }
  Sec& HotColor(Color c) { hotColor_ = c; return *this; }
  Sec& Font(Color c) { font_ = c; return *this; }
  Sec& HotFont(Color c) { hotFont_ = c; return *this; }
  Sec& Transparency(int v) { transparency_ = v; return *this; }
  Sec& HotTransparency(int v) { hotTransparency_ = v; return *this; }
  Sec& Gradient(const std::string& g, int percent) { gradient_ = g, gradientPercent_ = percent; return *this; }
  Sec& HotGradient(const std::string& g, int percent) { hotGradient_ = g, hotGradientPercent_ = percent; return *this; }
  Sec& ImagePercent(int v) { imagePercent_ = v; return *this; }
  Sec& Contour(Color c) { contour_ = c; return *this; }
  Sec& HotContour(Color c) { hotContour_ = c; return *this; }
  Sec& Glow(int size, int margin) { glow_ = size, glowMargin_ = margin; return *this; }
  Sec& Key(const std::string& k, const std::string& v) { extra_.push_back({k, v}); return *this; }
  Sec& Key(const std::string& k, int v) { return Key(k, std::to_string(v)); }

  void Write() {
    if (written_) return;
    written_ = true;
    if (parent_) b_.Set(name_, "PARENTCLASS", *parent_);
    if (states_) b_.Set(name_, "STATES", *states_);
    const bool hot = states_.value_or(parent_ ? 1 : 3) > 1 || hotColor_ || hotFont_ || hotTransparency_;
    auto color = [&](const char* k, const char* hk, const std::optional<Color>& v, const std::optional<Color>& hv) {
      if (v) b_.Set(name_, k, hexColor(*v));
      if (hot && (hv || v)) b_.Set(name_, hk, hexColor(hv ? *hv : *v));
    };
    color("COLOR", "HOTCOLOR", color_, hotColor_);
    color("FONTCOLOR", "HOTFONTCOLOR", font_, hotFont_);
    auto integer = [&](const char* k, const char* hk, const std::optional<int>& v, const std::optional<int>& hv) {
      if (v) b_.Set(name_, k, *v);
      if (hot && (hv || v)) b_.Set(name_, hk, hv ? *hv : *v);
    };
    integer("TRANSPARENCY", "HOTTRANSPARENCY", transparency_, hotTransparency_);
    if (gradient_) {
      b_.Set(name_, "GRADIENTDATA", *gradient_);
      b_.Set(name_, "GRADIENTPERCENT", gradientPercent_);
    }
    if (hot && (hotGradient_ || gradient_)) {
      b_.Set(name_, "HOTGRADIENTDATA", hotGradient_ ? *hotGradient_ : *gradient_);
      b_.Set(name_, "HOTGRADIENTPERCENT", hotGradient_ ? hotGradientPercent_ : gradientPercent_);
    }
    integer("IMAGEPERCENT", "HOTIMAGEPERCENT", imagePercent_, std::nullopt);
    if (contour_ && contour_->a > 0) {
      for (const char* k : {"TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM"}) b_.Set(name_, k, hexColor(*contour_));
    }
    if (hot && (hotContour_ || contour_)) {
      const Color c = hotContour_ ? *hotContour_ : *contour_;
      if (c.a > 0)
        for (const char* k : {"HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM"}) b_.Set(name_, k, hexColor(c));
    }
    if (glow_) {
      b_.Set(name_, "GLOW", *glow_);
      b_.Set(name_, "GLOWMARGIN", glowMargin_);
    }
    for (const auto& e : extra_) b_.Set(name_, e.first, e.second);
  }

 private:
  SkinBuilder& b_;
  std::string name_;
  bool written_ = false;
  std::optional<std::string> parent_;
  std::optional<int> states_;
  std::optional<Color> color_, hotColor_, font_, hotFont_, contour_, hotContour_;
  std::optional<int> transparency_, hotTransparency_, imagePercent_, glow_;
  std::optional<std::string> gradient_, hotGradient_;
  int gradientPercent_ = 0, hotGradientPercent_ = 0, glowMargin_ = 0;
  std::vector<std::pair<std::string, std::string>> extra_;
};

// Borders of an image turned a quarter counter-clockwise (top becomes left) or clockwise.
Borders ccw(Borders b) { return Borders{b.t, b.r, b.b, b.l}; }
Borders cw(Borders b) { return Borders{b.b, b.l, b.t, b.r}; }

// Whether every pixel of every state is opaque (such images need no mask).
bool opaque(const States& s) {
  for (const Image& i : s)
    for (int y = 0; y < i.H(); ++y)
      for (int x = 0; x < i.W(); ++x)
        if (i.At(x, y).a < 0.999f) return false;
  return true;
}

void bordered(SkinBuilder& b, const std::string& sec, const std::string& key, const States& s, Borders br, int mode) {
  b.AddBordered(sec, key, s, br, mode, opaque(s) ? 0 : 1);
}

// Draw modes of a bordered mask: 1 stretch the edges and the centre (else tile), 2 nothing for state 0,
// 4 paint the centre.
constexpr int Frame = 1, Face = 5, HotOnlyFace = 7;

void writeGlobal(SkinBuilder& b, const Theme& t) {
  const std::string g = "GLOBALINFO";
  b.Set(g, "VERSION", t.version);
  b.Set(g, "AUTHOR", "The station project");
  b.Set(g, "DESCRIPTION", t.description);
  b.Set(g, "MASTERBITMAP", "Master.bmp");
  b.SetColor(g, "COLOR", t.window);
  b.SetColor(g, "FONTCOLOR", t.text);
  b.SetColor(g, "BORDERCOLOR", Mix(t.outline, t.window, 0.45f));
  b.SetColor(g, "EDITBG_ODD", t.edit);
  b.SetColor(g, "EDITBG_EVEN", Mix(t.edit, t.accent, 0.05f));
  b.Set(g, "TITLEHEIGHT", t.titleHeight);
  b.Set(g, "MAXHEIGHT", t.titleHeight - 2);
  b.Set(g, "BORDERWIDTH", t.borderWidth);
  b.Set(g, "FORMOFFSET", t.formOffset);
  b.Set(g, "CENTEROFFSET", 0);
  b.Set(g, "BILEFT", 2);
  b.Set(g, "BIRIGHT", t.biRight);
  b.Set(g, "BISPACE", t.biSpace);
  b.Set(g, "BIVALIGN", t.biVAlign);
  b.Set(g, "BITOP", t.biTop);
  b.Set(g, "COMBOMARGIN", 2);
  if (t.extendedBorders) b.Set(g, "ALIGNOFFSET", 3);
  if (t.aeroBlur) b.Set(g, "AEROBLUR", 1);
  // Caption buttons.
  b.AddGlyph(g, "BICONCLOSE", CaptionButton(t, Caption::Close, false, t.seed));
  b.AddGlyph(g, "BICLOSEALONE", CaptionButton(t, Caption::CloseAlone, false, t.seed));
  b.AddGlyph(g, "BICONMAX", CaptionButton(t, Caption::Max, false, t.seed));
  b.AddGlyph(g, "BICONNORM", CaptionButton(t, Caption::Restore, false, t.seed));
  b.AddGlyph(g, "BICONMIN", CaptionButton(t, Caption::Min, false, t.seed));
  b.AddGlyph(g, "BICONHELP", CaptionButton(t, Caption::Help, false, t.seed));
  b.AddGlyph(g, "SICONCLOSE", CaptionButton(t, Caption::Close, true, t.seed));
  b.AddGlyph(g, "SICONMAX", CaptionButton(t, Caption::Max, true, t.seed));
  b.AddGlyph(g, "SICONNORM", CaptionButton(t, Caption::Restore, true, t.seed));
  b.AddGlyph(g, "SICONMIN", CaptionButton(t, Caption::Min, true, t.seed));
  b.AddGlyph(g, "SICONHELP", CaptionButton(t, Caption::Help, true, t.seed));
  b.AddGlyph(g, "TITLEBUTTON", CaptionButton(t, Caption::User, false, t.seed));
  if (t.glows) {
    const int m = 8;
    for (auto [key, kind, file] : {std::tuple{"BICONCLOSE", Caption::Close, "CloseGlow.png"},
                                   std::tuple{"BICONMAX", Caption::Max, "MaxGlow.png"},
                                   std::tuple{"BICONMIN", Caption::Min, "MinGlow.png"}}) {
      const Image glow = CaptionGlow(t, kind, m, t.seed);
      b.Set(g, std::string(key) + "GLOW", m);
      b.Set(g, std::string(key) + "GLOWMARGIN", m);
      b.AddFileImage(g, std::string(key) + "GLOW0", file, EncodePng(ToPixels8(glow)), glow.W(), glow.H(), 1, 0, 2);
    }
  }
  // Check boxes, radio buttons, grips.
  b.AddGlyph(g, "BOXUNCHECKED", CheckBox(t, Check::Unchecked, 15));
  b.AddGlyph(g, "BOXCHECKED", CheckBox(t, Check::Checked, 15));
  b.AddGlyph(g, "BOXGRAYED", CheckBox(t, Check::Grayed, 15));
  b.AddGlyph(g, "SMALLUNCHECKED", CheckBox(t, Check::Unchecked, 12));
  b.AddGlyph(g, "SMALLCHECKED", CheckBox(t, Check::Checked, 12));
  b.AddGlyph(g, "SMALLGRAYED", CheckBox(t, Check::Grayed, 12));
  b.AddGlyph(g, "RADIOUNCHECKED", Radio(t, false, 15));
  b.AddGlyph(g, "RADIOCHECKED", Radio(t, true, 15));
  b.AddGlyph(g, "GRIPIMAGE", Grip(t, 14, 14, 0));
  b.AddGlyph(g, "GRIPHORZ", Grip(t, 14, 6, 1));
  b.AddGlyph(g, "GRIPVERT", Grip(t, 6, 14, 2));
  if (t.extendedBorders) {
    const int margin = 14, band = t.formOffset;
    const Image a = ExtendedBorder(t, true, margin, band), i = ExtendedBorder(t, false, margin, band);
    Image both(a.W() * 2, a.H());
    both.Draw(a, 0, 0);
    both.Draw(i, a.W(), 0);
    const Borders br{margin + band, margin + band, margin + band, margin + band};
    b.AddFileImage(g, "EXBORDER", "ExBorder.png", EncodePng(ToPixels8(both)), both.W(), both.H(), 2, 0, 0, &br, 0);
  }
  if (t.shadowMask) {
    const int e = 6;
    const States m = OuterShadow(t, 2 * e + 8, e);
    b.Set(g, "SH_SOURCE", 1);
    b.Set(g, "SH_OPACITY", 90);
    b.AddBordered(g, "SH_MASK", m, Borders{e, e, e, e}, Frame, 1);
    b.Set(g, "LO_SOURCE", 1);
    b.Set(g, "LO_OPACITY", 60);
    b.AddBordered(g, "LO_MASK", m, Borders{e, e, e, e}, Frame, 1);
  }
}

void writeForms(SkinBuilder& b, const Theme& t) {
  {
    Sec s(b, "FORM");
    s.States(2).Color_(t.window).Font(t.text);
    switch (t.backdrop) {
      case Backdrop::Gradient:
        s.Gradient(gradient({{t.window, t.windowLow, 100}}), 100);
        break;
      case Backdrop::TiledTexture:
      case Backdrop::Stretched:
        s.ImagePercent(100);
        break;
      case Backdrop::JpegMix:
        s.ImagePercent(45).Gradient(gradient({{Lighten(t.window, 0.3f), t.windowLow, 100}}), 55);
        break;
    }
    s.Write();
    const int size = 2 * t.borderWidth + 8;
    bordered(b, "FORM", "BORDERSMASK", FormFrameStates(t, size),
             Borders{t.borderWidth, t.borderWidth, t.borderWidth, t.borderWidth}, Frame);
    const int tb = std::min(11, (t.titleHeight - 2) / 2);
    b.AddBordered("FORM", "TITLEBAR", TitleBarStates(t, 24), Borders{10, tb, 2, tb}, Face, 1);
    switch (t.backdrop) {
      case Backdrop::TiledTexture: {
        const Image tex = t.titleMaterial == Material::Metal ? BrushedMetal(t, 256, 64, t.seed)
                          : t.material == Material::Matte    ? Grain(t.window, 64, 64, 0.06f, t.seed)
                                                             : Clover(t, 96, t.seed);
        b.AddTexture("FORM", "PATTERN", tex, 0);
        break;
      }
      case Backdrop::Stretched:
        b.AddTexture("FORM", "PATTERN", SoftVignette(Lighten(t.window, 0.4f), t.windowLow, 32, 128, t.seed), 1);
        break;
      case Backdrop::JpegMix: {
        const Image tex = Sandstone(t, 128, 128, t.seed);
        b.AddFile("Sandstone.jpg", EncodeJpeg(ToPixels8(tex), 88));
        b.AddFileTexture("FORM", "PATTERN", "SANDSTONE.JPG", tex.W(), tex.H());
        break;
      }
      case Backdrop::Gradient:
        break;
    }
    if (t.backdrop != Backdrop::Gradient) b.Alias("FORM", "HOTPATTERN", "FORM", "PATTERN");
  }
  Sec(b, "DIALOG").Parent("FORM").States(2);
  {
    Sec s(b, "FORMTITLE");
    s.States(2)
        .Color_(t.titleBottomInactive)
        .HotColor(t.titleBottom)
        .Font(t.titleTextInactive)
        .HotFont(t.titleText);
    s.Write();
    bordered(b, "FORMTITLE", "BORDERSMASK", TitleStates(t, 16, t.seed), Borders{2, 2, 2, 2}, Face);
  }
  Sec(b, "DIALOGTITLE").Parent("FORMTITLE").States(2);
  {
    // The caption's letters stand out from the title bar, or from their contour where the skin draws one.
    const Color inactiveContour = WithAlpha(Mix(t.titleGlow, t.titleBottomInactive, 0.5f), t.titleGlow.a);
    const auto readable = [](Color text, Color contour, Color top, Color bottom) {
      if (contour.a > 0 && Contrast(text, contour) >= 5.0f) return text;
      return Legible(text, {top, bottom, Mix(top, bottom, 0.5f)});
    };
    Sec(b, "CAPTION")
        .States(2)
        .Transparency(100)
        .Font(readable(t.titleTextInactive, inactiveContour, t.titleTopInactive, t.titleBottomInactive))
        .HotFont(readable(t.titleText, t.titleGlow, t.titleTop, t.titleBottom))
        .Contour(inactiveContour)
        .HotContour(t.titleGlow);
  }
  {
    Sec s(b, "MDIAREA");
    s.States(1).Color_(Mix(t.window, t.textDim, 0.35f)).Font(t.text).ImagePercent(100);
    s.Write();
    if (t.slug == "lucky") {
      const Image m = Meadow(t, 96, 96, t.seed);
      b.AddFile("Meadow.jpg", EncodeJpeg(ToPixels8(m), 85));
      b.AddTextureInFile("MDIAREA", "PATTERN", "MEADOW.JPG", 0, 0, m.W(), m.H(), 1);
    } else if (t.material == Material::Matte || t.titleMaterial == Material::Metal) {
      b.AddTexture("MDIAREA", "PATTERN", Grain(Mix(t.window, t.textDim, 0.35f), 48, 48, 0.08f, t.seed + 5), 0);
    } else {
      b.AddTexture("MDIAREA", "PATTERN",
                   Stripes(Mix(t.window, t.textDim, 0.3f), WithAlpha(Mix(t.window, t.textDim, 0.42f), 0.6f), 16), 0);
    }
  }
}

void writeMenus(SkinBuilder& b, const Theme& t) {
  {
    Sec s(b, "MENULINE");
    s.States(2).Color_(t.menuBar).Font(t.menuText).HotFont(Legible(t.menuHotText, {t.menuHot, Lighten(t.menuHot, 0.45f)})).Gradient(
        gradient({{Lighten(t.menuBar, 0.25f), t.menuBar, 100}}), 100);
    s.Write();
    bordered(b, "MENULINE", "BORDERSMASK", MenuItemHot(t, t.menuHot, 3), Borders{5, 5, 5, 5}, HotOnlyFace);
  }
  {
    Sec s(b, "MAINMENU");
    s.States(1).Color_(t.menu).Font(t.menuText);
    s.Write();
    bordered(b, "MAINMENU", "BORDERSMASK", MenuFrame(t), Borders{3, 3, 3, 3}, Frame);
  }
  {
    Sec s(b, "MENUITEM");
    s.States(2).Color_(t.menu).HotColor(t.menuHot).Font(t.menuText).HotFont(Legible(t.menuHotText, {t.menuHot, Lighten(t.menuHot, 0.45f)})).Transparency(100);
    s.Write();
    bordered(b, "MENUITEM", "BORDERSMASK", MenuItemHot(t, t.menuHot, 2), Borders{5, 5, 5, 5}, HotOnlyFace);
  }
  Sec(b, "ICOLINE")
      .States(1)
      .Color_(Mix(t.menu, t.accent, 0.06f))
      .Font(t.menuText)
      .Gradient(gradient({{Mix(t.menu, t.accent, 0.1f), Mix(t.menu, t.accent, 0.03f), 100}}, 1), 100);
  {
    Sec s(b, "DIVIDERV");
    s.States(1).Transparency(100);
    s.Write();
    bordered(b, "DIVIDERV", "BORDERSMASK", DividerLine(t, false), Borders{2, 1, 2, 1}, Face);
  }
  Sec(b, "MENUCAPTION")
      .States(1)
      .Color_(Mix(t.menu, t.accent, 0.14f))
      .Font(t.menuText)
      .Gradient(gradient({{Mix(t.menu, t.accent, 0.06f), Mix(t.menu, t.accent, 0.2f), 100}}), 100);
  Sec(b, "EXTRALINE")
      .States(1)
      .Color_(t.accent)
      .Font(Legible(t.accentText, {Lighten(t.accent, 0.25f), Darken(t.accent, 0.15f)}))
      .Gradient(gradient({{Lighten(t.accent, 0.25f), Darken(t.accent, 0.15f), 100}}), 100);
  {
    Sec s(b, "SELECTION");
    s.States(2).Color_(Mix(t.window, t.textDim, 0.3f)).HotColor(t.accent).Font(t.text)
        .HotFont(Legible(t.accentText, {t.accent, Lighten(t.accent, 0.35f)}))
        .Transparency(100);
    s.Write();
    bordered(b, "SELECTION", "BORDERSMASK", Selection(t), Borders{4, 4, 4, 4}, Face);
  }
}

void writeButtons(SkinBuilder& b, const Theme& t) {
  const int r = t.buttonRadius;
  const int bw = std::max(5, r + 3);
  {
    Sec s(b, "BUTTON");
    s.States(4).Color_(t.face).HotColor(t.faceHot).Font(t.text).HotFont(t.text).Transparency(100);
    if (t.glows) s.Glow(7, 3);
    if (t.outerShadows) s.Key("OUTOFFSL", 3).Key("OUTOFFST", 2).Key("OUTOFFSR", 3).Key("OUTOFFSB", 4).Key("OUTOPACITY", 130);
    s.Write();
    bordered(b, "BUTTON", "BORDERSMASK", ButtonStates(t, 2 * bw + 8, 2 * bw + 8, float(r), 4, t.seed + 1),
             Borders{bw, bw, bw, bw}, Face);
    if (t.glows) {
      const Image glow = ControlGlow(t, t.glow, float(r), 7, 3, 10);
      const Borders gb{10, 10, 10, 10};
      b.AddFileImage("BUTTON", "GLOW0", "ButtonGlow.png", EncodePng(ToPixels8(glow)), glow.W(), glow.H(), 1, 0, 2, &gb, 1);
    }
    if (t.outerShadows) {
      const int e = 5;
      b.AddBordered("BUTTON", "OUTERMASK", OuterShadow(t, 2 * e + 10, e), Borders{e, e, e, e}, Frame, 1);
    }
  }
  {
    const int rs = std::max(2, r - 2), bs = std::max(4, rs + 2);
    Sec(b, "BUTTON_SMALL").Parent("BUTTON").States(4);
    bordered(b, "BUTTON_SMALL", "BORDERSMASK", ButtonStates(t, 2 * bs + 6, 2 * bs + 6, float(rs), 4, t.seed + 2),
             Borders{bs, bs, bs, bs}, Face);
  }
  {
    const int rb = r + 2, bb = rb + 3;
    Sec(b, "BUTTON_BIG").Parent("BUTTON").States(4);
    bordered(b, "BUTTON_BIG", "BORDERSMASK", ButtonStates(t, 2 * bb + 10, 2 * bb + 10, float(rb), 4, t.seed + 3),
             Borders{bb, bb, bb, bb}, Face);
  }
  {
    // The huge button's face lies in the skin's button bitmap of its own.
    const int rh = r + 4, bh = rh + 4;
    Sec(b, "BUTTON_HUGE").Parent(t.deepParentChain ? "BUTTON_BIG" : "BUTTON").States(4);
    const States s = ButtonStates(t, 2 * bh + 12, 2 * bh + 12, float(rh), 4, t.seed + 4);
    const Borders br{bh, bh, bh, bh};
    b.AddFileImage("BUTTON_HUGE", "BORDERSMASK", "Buttons.bmp", SkinBuilder::MaskedBmp(s, &br), s[0].W() * 4,
                   s[0].H() * 2, 4, 1, 2, &br, Face);
  }
  Sec(b, "SPEEDBUTTON").Parent("BUTTON").States(3);
  {
    Sec s(b, "TOOLBUTTON");
    s.States(3).Transparency(100).Color_(t.panel).HotColor(t.faceHot).Font(t.text).HotFont(t.text);
    s.Write();
    bordered(b, "TOOLBUTTON", "BORDERSMASK", FlatButtonStates(t, 16, 16, float(std::min(r, 4)), t.seed + 5),
             Borders{5, 5, 5, 5}, HotOnlyFace);
  }
  Sec(b, "SPEEDBUTTON_SMALL").Parent("TOOLBUTTON").States(3);
  Sec(b, "TB_BTN").Parent("TOOLBUTTON").States(3);
  Sec(b, "TB_MENUBTN").Parent("TOOLBUTTON").States(3);
  Sec(b, "WEBBUTTON")
      .States(2)
      .Transparency(100)
      .Font(Legible(Luma(t.window) > 0.5f ? Darken(t.accent, 0.15f) : Lighten(t.accent, 0.2f), {t.window, t.windowLow}))
      .HotFont(Legible(Luma(t.window) > 0.5f ? Darken(t.accent, 0.4f) : Lighten(t.accent, 0.45f), {t.window, t.windowLow}));
  {
    Sec s(b, "COLHEADER");
    // The header's text lies on the middle of its gradient (from the colour lightened by 0.45 down to it).
    const Color hot = HeaderHot(t), pressed = HeaderPressed(t);
    s.States(3).Color_(t.panel).HotColor(hot)
        .Font(Legible(t.text, {Lighten(t.panel, 0.3f), Lighten(t.panel, 0.15f)}))
        .HotFont(Legible(t.text, {Lighten(hot, 0.3f), Lighten(hot, 0.15f), Lighten(pressed, 0.3f), Lighten(pressed, 0.15f)}));
    s.Write();
    bordered(b, "COLHEADER", "BORDERSMASK", HeaderCell(t, t.seed), Borders{3, 3, 3, 3}, Face);
  }
}

void writeEdits(SkinBuilder& b, const Theme& t) {
  {
    Sec s(b, "EDIT");
    s.States(2).Color_(t.edit).Font(t.editText);
    s.Write();
    bordered(b, "EDIT", "BORDERSMASK", EditStates(t, 12, 12, float(t.editRadius)), Borders{3, 3, 3, 3}, Frame);
  }
  Sec(b, "ALPHAEDIT").Parent("EDIT").States(2);
  {
    Sec(b, "COMBOBOX").Parent("EDIT").States(2);
    b.AddGlyph("COMBOBOX", "GLYPHMASK", Arrow(t, Dir::Down, 9, t.textDim, t.text, t.text));
  }
  {
    Sec s(b, "COMBOBTN");
    s.States(3).Transparency(100).Color_(t.face).HotColor(t.faceHot).Font(t.text);
    s.Write();
    bordered(b, "COMBOBTN", "BORDERSMASK", SmallFace(t, 17, 20, float(std::min(t.editRadius + 1, 3)), t.seed + 6),
             Borders{4, 4, 4, 4}, Face);
    b.AddGlyph("COMBOBTN", "GLYPHMASK", Arrow(t, Dir::Down, 9, t.text, t.text, t.text));
  }
  {
    Sec s(b, "UPDOWNBTN");
    s.States(3).Transparency(100).Color_(t.face).HotColor(t.faceHot).Font(t.text);
    s.Write();
    bordered(b, "UPDOWNBTN", "BORDERSMASK", SmallFace(t, 14, 12, 2.0f, t.seed + 7), Borders{3, 3, 3, 3}, Face);
  }
  {
    Sec s(b, "CHECKBOX");
    s.States(2).Transparency(100).Color_(t.window).Font(t.text).HotFont(Luma(t.window) > 0.5f ? Darken(t.text, 0.3f) : Lighten(t.text, 0.2f));
    s.Write();
    b.AddGlyph("CHECKBOX", "CHECK", MenuCheck(t));
  }
  Sec(b, "RADIOBUTTON").Parent("CHECKBOX").States(2);
  Sec(b, "TRANSPARENT").States(1).Transparency(100).Color_(t.window).Font(t.text);
}

void writePanels(SkinBuilder& b, const Theme& t) {
  {
    Sec s(b, "GROUPBOX");
    s.States(1).Transparency(t.groupTransparency).Color_(t.panel).Font(
        Legible(Luma(t.window) > 0.5f ? Darken(t.accent, 0.35f) : Lighten(t.accent, 0.35f), {t.window, t.windowLow, t.panel}));
    s.Write();
    bordered(b, "GROUPBOX", "BORDERSMASK", GroupFrame(t), Borders{5, 5, 5, 5}, Frame);
    if (t.cornerStuds) {  // within the frame's five pixels: off the box's caption and controls
      b.AddGlyph("GROUPBOX", "IMGTOPLEFT", Stud(t, 5));
      b.AddGlyph("GROUPBOX", "IMGTOPRIGHT", Stud(t, 5));
      b.AddGlyph("GROUPBOX", "IMGBTMLEFT", Stud(t, 5));
      b.AddGlyph("GROUPBOX", "IMGBTMRIGHT", Stud(t, 5));
    }
  }
  {
    Sec s(b, "PANEL");
    s.States(1).Transparency(t.panelTransparency).Color_(t.panel).Font(t.text).Gradient(
        gradient({{Lighten(t.panel, 0.12f), t.panel, 100}}), 100);
    s.Write();
    bordered(b, "PANEL", "BORDERSMASK", PanelBevel(t, true), Borders{2, 2, 2, 2}, Frame);
  }
  {
    Sec s(b, "PANEL_LOW");
    s.States(1).Color_(Darken(t.panel, 0.03f)).Font(t.text);
    s.Write();
    bordered(b, "PANEL_LOW", "BORDERSMASK", PanelBevel(t, false), Borders{2, 2, 2, 2}, Frame);
  }
  {
    Sec s(b, "TOOLBAR");
    s.States(1).Color_(t.panel).Font(t.text).Gradient(gradient({{Lighten(t.panel, 0.3f), t.panel, 100}}), 100);
    s.Write();
    bordered(b, "TOOLBAR", "BORDERSMASK", BarLine(t, true), Borders{1, 1, 1, 2}, Frame);
  }
  {
    Sec s(b, "STATUSBAR");
    s.States(1).Color_(t.panel).Font(t.text).Gradient(gradient({{t.panel, Darken(t.panel, 0.06f), 100}}), 100);
    s.Write();
    bordered(b, "STATUSBAR", "BORDERSMASK", BarLine(t, false), Borders{1, 2, 1, 1}, Frame);
    bordered(b, "STATUSBAR", "STATUSPANELMASK", StatusPanel(t), Borders{2, 2, 2, 2}, Frame);
  }
  {
    Sec s(b, "DIVIDER");
    s.States(1).Transparency(100);
    s.Write();
    bordered(b, "DIVIDER", "BORDERSMASK", DividerLine(t, true), Borders{1, 4, 1, 4}, Face);
  }
  Sec(b, "BAR").Parent("TOOLBAR").States(1);
  Sec(b, "BARTITLE")
      .States(1)
      .Color_(t.titleBottom)
      .Font(Legible(t.titleText, {t.titleTop, t.titleBottom}))
      .Gradient(gradient({{t.titleTop, t.titleBottom, 100}}), 100);
  Sec(b, "DRAGBAR").Parent("TOOLBAR").States(1);
  Sec(b, "SPLITTER").States(2).Color_(t.window).HotColor(Mix(t.window, t.accent, 0.25f));
  Sec(b, "GAUGE").Parent("PANEL_LOW").States(1);
  Sec(b, "SLIDER_OFF").Parent("PANEL_LOW").States(1);
  Sec(b, "TABSHEET").States(1).Color_(t.panel).Font(t.text);
}

void writeTabs(SkinBuilder& b, const Theme& t) {
  {
    Sec s(b, "PAGECONTROL");
    s.States(1).Color_(t.panel).Font(t.text);
    s.Write();
    bordered(b, "PAGECONTROL", "BORDERSMASK", PageFrame(t), Borders{4, 4, 4, 4}, Face);
  }
  for (const char* side : {"PAGECONTROLBOTTOM", "PAGECONTROLLEFT", "PAGECONTROLRIGHT"})
    Sec(b, side).Parent("PAGECONTROL").States(1);
  const Borders top{6, 6, 6, 3};
  const struct {
    const char* name;
    Side side;
    Borders borders;
  } tabs[] = {{"TABTOP", Side::Top, top},
              {"TABBOTTOM", Side::Bottom, Borders{6, 3, 6, 6}},
              {"TABLEFT", Side::Left, ccw(top)},
              {"TABRIGHT", Side::Right, cw(top)}};
  for (const auto& tab : tabs) {
    Sec s(b, tab.name);
    const Color hotTab = Mix(t.panel, t.faceHot, 0.6f);
    s.States(3).Transparency(100).Color_(t.panel)
        .Font(Legible(Mix(t.text, t.panel, 0.2f), {Darken(t.panel, 0.06f), Lighten(Darken(t.panel, 0.06f), 0.3f), Lighten(t.panel, 0.35f)}))
        .HotFont(Legible(t.text, {hotTab, Lighten(hotTab, 0.3f), Lighten(t.panel, 0.35f)}));
    if (tab.side == Side::Top) s.Key("TABSCOVERING", 2);
    s.Write();
    bordered(b, tab.name, "BORDERSMASK", TabStates(t, tab.side, t.seed + 9), tab.borders, Face);
  }
  for (const char* side : {"TOP", "BOTTOM", "LEFT", "RIGHT"})
    for (const char* place : {"FIRST", "LAST", "MIDDLE"})
      Sec(b, std::string("TAB") + side + place).Parent(std::string("TAB") + side).States(3);
  Sec(b, "TB_TAB").Parent("TABTOP").States(3);
}

void writeScrolls(SkinBuilder& b, const Theme& t) {
  const Borders track{3, 4, 3, 4};
  {
    Sec s(b, "SCROLLBAR1H");
    s.States(3).Color_(t.track).HotColor(t.track).Font(t.text);
    s.Write();
    bordered(b, "SCROLLBAR1H", "BORDERSMASK", ScrollTrack(t, false), track, Face);
  }
  {
    Sec s(b, "SCROLLBAR1V");
    s.States(3).Color_(t.track).HotColor(t.track).Font(t.text);
    s.Write();
    bordered(b, "SCROLLBAR1V", "BORDERSMASK", ScrollTrack(t, true), ccw(track), Face);
  }
  Sec(b, "SCROLLBAR2H").Parent("SCROLLBAR1H").States(3);
  Sec(b, "SCROLLBAR2V").Parent("SCROLLBAR1V").States(3);
  const Color arrow = Mix(t.text, t.face, 0.25f);
  {
    Sec s(b, "SCROLLBTNLEFT");
    s.States(3).Transparency(100).Color_(t.face).HotColor(t.faceHot).Font(t.text);
    s.Write();
    bordered(b, "SCROLLBTNLEFT", "BORDERSMASK", ScrollButton(t, false, t.seed + 11), Borders{4, 4, 4, 4}, Face);
    b.AddGlyph("SCROLLBTNLEFT", "GLYPHMASK", Arrow(t, Dir::Left, 9, arrow, t.text, t.text));
  }
  const struct {
    const char* name;
    Dir dir;
  } arrows[] = {{"SCROLLBTNRIGHT", Dir::Right}, {"SCROLLBTNTOP", Dir::Up}, {"SCROLLBTNBOTTOM", Dir::Down}};
  for (const auto& a : arrows) {
    Sec(b, a.name).Parent("SCROLLBTNLEFT").States(3);
    b.AddGlyph(a.name, "GLYPHMASK", Arrow(t, a.dir, 9, arrow, t.text, t.text));
  }
  const Borders thumb{9, 8, 9, 8};
  {
    Sec s(b, "SCROLLSLIDERH");  // a thumb writes no text
    s.States(3).Transparency(100).Color_(t.face).HotColor(t.faceHot);
    s.Write();
    bordered(b, "SCROLLSLIDERH", "BORDERSMASK", ScrollThumb(t, false, t.seed + 12), thumb, Face);
    b.AddGlyph("SCROLLSLIDERH", "GLYPHMASK", ThumbGrip(t, false));
  }
  {
    Sec s(b, "SCROLLSLIDERV");  // a thumb writes no text
    s.States(3).Transparency(100).Color_(t.face).HotColor(t.faceHot);
    s.Write();
    bordered(b, "SCROLLSLIDERV", "BORDERSMASK", ScrollThumb(t, true, t.seed + 12), ccw(thumb), Face);
    b.AddGlyph("SCROLLSLIDERV", "GLYPHMASK", ThumbGrip(t, true));
  }
  {
    Sec s(b, "TRACKBAR");
    s.States(2).Transparency(100).Color_(t.window).Font(t.text);
    s.Write();
    b.AddGlyph("TRACKBAR", "SLIDERMASK", SliderThumb(t, false, t.seed + 13));
    b.AddGlyph("TRACKBAR", "SLIDERVMASK", SliderThumb(t, true, t.seed + 13));
    bordered(b, "TRACKBAR", "SLIDERCHANNEL", SliderChannel(t), Borders{3, 2, 3, 2}, Face);
    b.AddGlyph("TRACKBAR", "TICKHORZ", Tick(t, false));
    b.AddGlyph("TRACKBAR", "TICKVERT", Tick(t, true));
  }
}

}  // namespace

// A section that shows what lies under it (no border image drawing a face over it: a track bar, a check box,
// a caption's text) casts no outer effect: the loader's default, the skin's generated shadow frame drawn around
// the control into its parent, would show through the control itself. Keys are looked up through PARENTCLASS.
void seeThroughSectionsCastNothing(SkinBuilder& b) {
  const auto lookUp = [&b](std::string section, const std::string& key) {
    for (int depth = 0; depth < 8 && !section.empty(); ++depth) {
      const std::string v = b.Get(section, key);
      if (!v.empty()) return v;
      section = b.Get(section, "PARENTCLASS");
    }
    return std::string();
  };
  std::vector<std::string> names;
  for (const SkinBuilder::Section& sec : b.Sections()) names.push_back(sec.name);
  for (const std::string& name : names)
    if (name != "GLOBALINFO" && lookUp(name, "TRANSPARENCY") == "100" && lookUp(name, "BORDERSMASK").empty() &&
        lookUp(name, "OUTERMASK").empty() && lookUp(name, "OUTERMODE").empty())
      b.Set(name, "OUTERMODE", 0);
}

GeneratedSkin GenerateSkin(const Theme& t) {
  GeneratedSkin g;
  g.theme = &t;
  SkinBuilder& b = g.builder;
  writeGlobal(b, t);
  writeForms(b, t);
  writeMenus(b, t);
  writeButtons(b, t);
  writeEdits(b, t);
  writePanels(b, t);
  writeTabs(b, t);
  writeScrolls(b, t);
  seeThroughSectionsCastNothing(b);
  g.members = b.Build();
  g.packed = skin::PackSkin(g.members, 6);
  return g;
}

std::vector<GeneratedSkin> GenerateAllSkins() {
  int n = 0;
  const Theme* themes = Themes(n);
  std::vector<GeneratedSkin> r;
  r.reserve(size_t(n));
  for (int i = 0; i < n; ++i) r.push_back(GenerateSkin(themes[i]));
  return r;
}

}  // namespace skingen
