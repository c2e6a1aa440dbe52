// The eight skins of the program, each a theme: a palette, materials, shapes and features that suit its name.
#include <array>

#include "tools/skingen/theme.h"

namespace skingen {

namespace {

// Warm amber gems set in dark chocolate: glossy golden caption and buttons, faceted caption buttons, a sandstone
// backdrop, gold studs on the group boxes, extended shadows.
Theme topaz() {
  Theme t;
  t.name = "Topaz (internal)";
  t.slug = "topaz";
  t.description = "Amber gems on warm sandstone";
  t.version = "9.74";
  t.seed = 11;
  t.titleHeight = 28, t.borderWidth = 5, t.formOffset = 5, t.frameRadius = 5;
  t.buttonRadius = 4, t.editRadius = 3, t.tabRadius = 4, t.checkRadius = 3;
  t.titleBtnW = 27, t.titleBtnH = 19, t.closeBtnW = 33, t.smallBtnW = 20, t.smallBtnH = 16;
  t.biSpace = 2, t.biRight = 4;
  t.window = Rgb(0xEFE3CC), t.windowLow = Rgb(0xE0CCA6);
  t.text = Rgb(0x3A2410), t.textDim = Rgb(0x8E7A60);
  t.accent = Rgb(0xD98E1F), t.accentText = Rgb(0xFFFFFF);
  t.frame = Rgb(0x6A3F1C), t.frameInactive = Rgb(0x8C7660), t.outline = Rgb(0x2A170A);
  t.titleTop = Rgb(0xF8C86A), t.titleBottom = Rgb(0xB0621C);
  t.titleTopInactive = Rgb(0xD2C2A8), t.titleBottomInactive = Rgb(0xA08A72);
  t.titleText = Rgb(0xFFFFFF), t.titleTextInactive = Rgb(0xF3EBDD), t.titleGlow = Rgb(0x4A2300, 0.7f);
  t.face = Rgb(0xF1D6A0), t.faceHot = Rgb(0xFFD375), t.facePressed = Rgb(0xD49E4C);
  t.edit = Rgb(0xFFFBF2), t.editText = Rgb(0x2A1A08), t.editBorder = Rgb(0xA88458), t.editBorderFocus = Rgb(0xD98E1F);
  t.menu = Rgb(0xFCF6EA), t.menuText = Rgb(0x3A2410), t.menuHot = Rgb(0xE29A30), t.menuHotText = Rgb(0xFFFFFF);
  t.menuBar = Rgb(0xE8D3AC);
  t.panel = Rgb(0xEBDCBE), t.track = Rgb(0xDDC9A2);
  t.trim = Rgb(0xE6B24A), t.glow = Rgb(0xFFC04A), t.shadow = Rgb(0x2A1505);
  t.material = Material::Gloss, t.titleMaterial = Material::Gloss;
  t.titleButtons = TitleButtonStyle::Gems, t.backdrop = Backdrop::JpegMix;
  t.gloss = 0.5f, t.bevel = 0.7f;
  t.glows = true, t.extendedBorders = true, t.outerShadows = true, t.cornerStuds = true, t.deepParentChain = true;
  t.trimLine = true;
  return t;
}

// Brushed aluminium with graphite caption spheres and glossy white capsule buttons; plain and quiet, no glow.
Theme macMetal() {
  Theme t;
  t.name = "MacMetal (internal)";
  t.slug = "macmetal";
  t.description = "Brushed aluminium";
  t.version = "8.65";
  t.seed = 23;
  t.titleHeight = 22, t.borderWidth = 4, t.formOffset = 4, t.frameRadius = 4;
  t.buttonRadius = 8, t.editRadius = 0, t.tabRadius = 4, t.checkRadius = 3;
  t.titleBtnW = 18, t.titleBtnH = 18, t.closeBtnW = 18, t.smallBtnW = 15, t.smallBtnH = 15;
  t.biSpace = 3, t.biRight = 6;
  t.window = Rgb(0xC6C9CE), t.windowLow = Rgb(0xB2B6BC);
  t.text = Rgb(0x1C1C1C), t.textDim = Rgb(0x6F737A);
  t.accent = Rgb(0x3D7DD8), t.accentText = Rgb(0xFFFFFF);
  t.frame = Rgb(0xAEB2B8), t.frameInactive = Rgb(0xC4C7CC), t.outline = Rgb(0x4E5258);
  t.titleTop = Rgb(0xD6D9DE), t.titleBottom = Rgb(0xAEB2B8);
  t.titleTopInactive = Rgb(0xDEE0E3), t.titleBottomInactive = Rgb(0xC6C9CD);
  t.titleText = Rgb(0x1E1E1E), t.titleTextInactive = Rgb(0x70747A), t.titleGlow = Rgb(0xFFFFFF, 0.6f);
  t.face = Rgb(0xF0F1F3), t.faceHot = Rgb(0xDCE8F8), t.facePressed = Rgb(0xA9BBD3);
  t.edit = Rgb(0xFFFFFF), t.editText = Rgb(0x000000), t.editBorder = Rgb(0x81858C), t.editBorderFocus = Rgb(0x5B9BE6);
  t.menu = Rgb(0xF4F4F5), t.menuText = Rgb(0x111111), t.menuHot = Rgb(0x3D7DD8), t.menuHotText = Rgb(0xFFFFFF);
  t.menuBar = Rgb(0xD6D9DD);
  t.panel = Rgb(0xCACDD2), t.track = Rgb(0xD9DBDF);
  t.trim = t.accent, t.glow = Rgb(0x8FB8EE, 0.0f), t.shadow = Rgb(0x000000);
  t.material = Material::Gloss, t.titleMaterial = Material::Metal;
  t.titleButtons = TitleButtonStyle::Spheres, t.backdrop = Backdrop::TiledTexture;
  t.gloss = 0.55f, t.bevel = 0.8f;
  t.defaultFilled = true;
  return t;
}

// Dark and composed: charcoal surfaces with a fine grain, violet accents, quiet plates on the caption.
Theme opus() {
  Theme t;
  t.name = "Opus (internal)";
  t.slug = "opus";
  t.description = "Charcoal and violet, for long evenings";
  t.version = "10.02";
  t.seed = 37;
  t.titleHeight = 24, t.borderWidth = 4, t.formOffset = 4, t.frameRadius = 3;
  t.buttonRadius = 2, t.editRadius = 2, t.tabRadius = 2, t.checkRadius = 2;
  t.titleBtnW = 26, t.titleBtnH = 18, t.closeBtnW = 30, t.smallBtnW = 19, t.smallBtnH = 15;
  t.biSpace = 1, t.biRight = 4;
  t.window = Rgb(0x302E35), t.windowLow = Rgb(0x26242B);
  t.text = Rgb(0xE4E0EA), t.textDim = Rgb(0x8D8798);
  t.accent = Rgb(0x9B6BD6), t.accentText = Rgb(0xFFFFFF);
  t.frame = Rgb(0x1F1D23), t.frameInactive = Rgb(0x34323A), t.outline = Rgb(0x0C0B0E);
  t.titleTop = Rgb(0x3C3743), t.titleBottom = Rgb(0x221F27);
  t.titleTopInactive = Rgb(0x38363D), t.titleBottomInactive = Rgb(0x2C2A31);
  t.titleText = Rgb(0xF0E8FA), t.titleTextInactive = Rgb(0x8D8798), t.titleGlow = Rgb(0x000000, 0.0f);
  t.face = Rgb(0x48444F), t.faceHot = Rgb(0x5E4C77), t.facePressed = Rgb(0x2C2834);
  t.edit = Rgb(0x1E1C22), t.editText = Rgb(0xEDE9F2), t.editBorder = Rgb(0x57525F), t.editBorderFocus = Rgb(0x9B6BD6);
  t.menu = Rgb(0x2B2830), t.menuText = Rgb(0xE4E0EA), t.menuHot = Rgb(0x7A52B0), t.menuHotText = Rgb(0xFFFFFF);
  t.menuBar = Rgb(0x242228);
  t.panel = Rgb(0x37343D), t.track = Rgb(0x26242B);
  t.trim = t.accent, t.glow = Rgb(0x9B6BD6, 0.0f), t.shadow = Rgb(0x000000);
  t.material = Material::Matte, t.titleMaterial = Material::Matte;
  t.titleButtons = TitleButtonStyle::Plates, t.backdrop = Backdrop::TiledTexture;
  t.gloss = 0.1f, t.grain = 0.05f, t.bevel = 0.35f;
  t.trimLine = true;
  return t;
}

// Light, clean grey with blue accents and coloured caption spheres; soft glows.
Theme snowLeopard() {
  Theme t;
  t.name = "Snow Leopard (internal)";
  t.slug = "snow_leopard";
  t.description = "Clean light grey with blue accents";
  t.version = "9.10";
  t.seed = 41;
  t.titleHeight = 22, t.borderWidth = 3, t.formOffset = 3, t.frameRadius = 3;
  t.buttonRadius = 5, t.editRadius = 1, t.tabRadius = 3, t.checkRadius = 3;
  t.titleBtnW = 18, t.titleBtnH = 18, t.closeBtnW = 18, t.smallBtnW = 15, t.smallBtnH = 15;
  t.biSpace = 3, t.biRight = 6;
  t.window = Rgb(0xE8E8E8), t.windowLow = Rgb(0xD9D9D9);
  t.text = Rgb(0x1A1A1A), t.textDim = Rgb(0x828282);
  t.accent = Rgb(0x3B88E8), t.accentText = Rgb(0xFFFFFF);
  t.frame = Rgb(0xAFAFAF), t.frameInactive = Rgb(0xD2D2D2), t.outline = Rgb(0x6A6A6A);
  t.titleTop = Rgb(0xE8E8E8), t.titleBottom = Rgb(0xB6B6B6);
  t.titleTopInactive = Rgb(0xF2F2F2), t.titleBottomInactive = Rgb(0xDADADA);
  t.titleText = Rgb(0x222222), t.titleTextInactive = Rgb(0x8C8C8C), t.titleGlow = Rgb(0xFFFFFF, 0.65f);
  t.face = Rgb(0xFBFBFB), t.faceHot = Rgb(0xE6EFFB), t.facePressed = Rgb(0xC4D3E6);
  t.edit = Rgb(0xFFFFFF), t.editText = Rgb(0x000000), t.editBorder = Rgb(0x9A9A9A), t.editBorderFocus = Rgb(0x6FA3EA);
  t.menu = Rgb(0xF7F7F7), t.menuText = Rgb(0x000000), t.menuHot = Rgb(0x3D84E6), t.menuHotText = Rgb(0xFFFFFF);
  t.menuBar = Rgb(0xECECEC);
  t.panel = Rgb(0xE3E3E3), t.track = Rgb(0xE6E6E6);
  t.trim = t.accent, t.glow = Rgb(0x8DBDF6), t.shadow = Rgb(0x000000);
  t.material = Material::Satin, t.titleMaterial = Material::Satin;
  t.titleButtons = TitleButtonStyle::Spheres, t.backdrop = Backdrop::Stretched;
  t.gloss = 0.3f, t.bevel = 0.9f;
  t.glows = true, t.shadowMask = true, t.defaultFilled = true;
  return t;
}

// The default: fresh willow greens on cream, soft satin faces, a light glossy caption, green glows.
Theme springWillow() {
  Theme t;
  t.name = "Spring Willow (internal)";
  t.slug = "spring_willow";
  t.description = "Fresh willow green, the station's own";
  t.version = "9.50";
  t.seed = 53;
  t.titleHeight = 26, t.borderWidth = 4, t.formOffset = 4, t.frameRadius = 4;
  t.buttonRadius = 4, t.editRadius = 2, t.tabRadius = 4, t.checkRadius = 3;
  t.titleBtnW = 26, t.titleBtnH = 18, t.closeBtnW = 30, t.smallBtnW = 19, t.smallBtnH = 15;
  t.biSpace = 2, t.biRight = 4;
  t.window = Rgb(0xEEF4E4), t.windowLow = Rgb(0xDCE8CB);
  t.text = Rgb(0x223018), t.textDim = Rgb(0x7D8C70);
  t.accent = Rgb(0x5E9E32), t.accentText = Rgb(0xFFFFFF);
  t.frame = Rgb(0x86B561), t.frameInactive = Rgb(0xB8C9A8), t.outline = Rgb(0x3B6022);
  t.titleTop = Rgb(0xC4E39A), t.titleBottom = Rgb(0x78AD4E);
  t.titleTopInactive = Rgb(0xDDE6D2), t.titleBottomInactive = Rgb(0xB8C8A8);
  t.titleText = Rgb(0x1E3A0C), t.titleTextInactive = Rgb(0x6E7E62), t.titleGlow = Rgb(0xF4FBE8, 0.7f);
  t.face = Rgb(0xF2F8E8), t.faceHot = Rgb(0xDDF0BD), t.facePressed = Rgb(0xC1DA9C);
  t.edit = Rgb(0xFFFFFE), t.editText = Rgb(0x1A2812), t.editBorder = Rgb(0x98B181), t.editBorderFocus = Rgb(0x6DAE3C);
  t.menu = Rgb(0xF9FBF4), t.menuText = Rgb(0x223018), t.menuHot = Rgb(0x74B244), t.menuHotText = Rgb(0xFFFFFF);
  t.menuBar = Rgb(0xE2EDD4);
  t.panel = Rgb(0xE5EED8), t.track = Rgb(0xDCE7CD);
  t.trim = t.accent, t.glow = Rgb(0xA6E05A), t.shadow = Rgb(0x1B2A10);
  t.material = Material::Satin, t.titleMaterial = Material::Gloss;
  t.titleButtons = TitleButtonStyle::Plates, t.backdrop = Backdrop::Gradient;
  t.gloss = 0.4f, t.bevel = 0.8f;
  t.glows = true;
  return t;
}

// Glass in the manner of the 2009 desktop: translucent blue caption and frame, red close cap, glossy grey
// buttons that turn blue, an extended soft shadow.
Theme viennaExt() {
  Theme t;
  t.name = "Vienna Ext (internal)";
  t.slug = "vienna_ext";
  t.description = "Blue glass with extended borders";
  t.version = "10.30";
  t.seed = 67;
  t.titleHeight = 28, t.borderWidth = 6, t.formOffset = 6, t.frameRadius = 6;
  t.buttonRadius = 3, t.editRadius = 1, t.tabRadius = 2, t.checkRadius = 1;
  t.titleBtnW = 27, t.titleBtnH = 19, t.closeBtnW = 45, t.smallBtnW = 25, t.smallBtnH = 17;
  t.biSpace = 0, t.biRight = 2, t.biVAlign = 1;
  t.window = Rgb(0xF0F4F9), t.windowLow = Rgb(0xDCE6F2);
  t.text = Rgb(0x1E1E1E), t.textDim = Rgb(0x8D8D8D);
  t.accent = Rgb(0x3399FF), t.accentText = Rgb(0xFFFFFF);
  t.frame = Rgb(0x93B9E3), t.frameInactive = Rgb(0xCCDAEB), t.outline = Rgb(0x3A5E86);
  t.titleTop = Rgb(0xC9DEF5), t.titleBottom = Rgb(0x8AB3E0);
  t.titleTopInactive = Rgb(0xE0E9F3), t.titleBottomInactive = Rgb(0xC6D4E5);
  t.titleText = Rgb(0x0E1822), t.titleTextInactive = Rgb(0x5C6B7C), t.titleGlow = Rgb(0xFFFFFF, 0.85f);
  t.face = Rgb(0xE4E4E4), t.faceHot = Rgb(0xB7E2FC), t.facePressed = Rgb(0x8ECBEE);
  t.edit = Rgb(0xFFFFFF), t.editText = Rgb(0x000000), t.editBorder = Rgb(0xABADB3), t.editBorderFocus = Rgb(0x3D7BAD);
  t.menu = Rgb(0xF2F4F7), t.menuText = Rgb(0x000000), t.menuHot = Rgb(0xC4DFF7), t.menuHotText = Rgb(0x000000);
  t.menuBar = Rgb(0xDDE8F5);
  t.panel = Rgb(0xEEF2F7), t.track = Rgb(0xE8EAED);
  t.trim = t.accent, t.glow = Rgb(0x7CC4FF), t.shadow = Rgb(0x06111E);
  t.material = Material::Glass, t.titleMaterial = Material::Glass;
  t.titleButtons = TitleButtonStyle::Glass, t.backdrop = Backdrop::Gradient;
  t.gloss = 0.6f, t.bevel = 0.9f;
  t.glows = true, t.extendedBorders = true, t.outerShadows = true, t.aeroBlur = true;
  t.panelTransparency = 50;
  return t;
}

// Citrus: juicy orange caption, round white pill buttons, lime highlights in the menus.
Theme zest() {
  Theme t;
  t.name = "Zest (internal)";
  t.slug = "zest";
  t.description = "Orange and lime, bright and round";
  t.version = "9.90";
  t.seed = 79;
  t.titleHeight = 27, t.borderWidth = 4, t.formOffset = 4, t.frameRadius = 4;
  t.buttonRadius = 9, t.editRadius = 4, t.tabRadius = 6, t.checkRadius = 4;
  t.titleBtnW = 26, t.titleBtnH = 19, t.closeBtnW = 26, t.smallBtnW = 19, t.smallBtnH = 16;
  t.biSpace = 3, t.biRight = 5;
  t.window = Rgb(0xFFFCF6), t.windowLow = Rgb(0xFFEFD8);
  t.text = Rgb(0x2F2A22), t.textDim = Rgb(0xA0968A);
  t.accent = Rgb(0xFF8A1E), t.accentText = Rgb(0xFFFFFF);
  t.frame = Rgb(0xF08C24), t.frameInactive = Rgb(0xE3CCAE), t.outline = Rgb(0x9A4A05);
  t.titleTop = Rgb(0xFFBC5E), t.titleBottom = Rgb(0xF07812);
  t.titleTopInactive = Rgb(0xF3E2CC), t.titleBottomInactive = Rgb(0xE0C29C);
  t.titleText = Rgb(0xFFFFFF), t.titleTextInactive = Rgb(0xFFF8EE), t.titleGlow = Rgb(0x8A3D00, 0.55f);
  t.face = Rgb(0xFFFFFF), t.faceHot = Rgb(0xFFE2B5), t.facePressed = Rgb(0xFFC070);
  t.edit = Rgb(0xFFFFFF), t.editText = Rgb(0x2F2A22), t.editBorder = Rgb(0xE2B98A), t.editBorderFocus = Rgb(0xFF8A1E);
  t.menu = Rgb(0xFFFFFF), t.menuText = Rgb(0x2F2A22), t.menuHot = Rgb(0x9BCB3C), t.menuHotText = Rgb(0xFFFFFF);
  t.menuBar = Rgb(0xFFE8C9);
  t.panel = Rgb(0xFFF3E3), t.track = Rgb(0xF7E9D6);
  t.trim = Rgb(0x9BCB3C), t.glow = Rgb(0xFFB347), t.shadow = Rgb(0x5A2A00);
  t.material = Material::Gloss, t.titleMaterial = Material::Gloss;
  t.titleButtons = TitleButtonStyle::Plates, t.backdrop = Backdrop::Gradient;
  t.gloss = 0.55f, t.bevel = 0.85f;
  t.glows = true, t.trimLine = true;
  t.groupTransparency = 50;
  return t;
}

// Emerald and gold: a deep green caption with cream letters, gold glows, a faint clover backdrop.
Theme lucky() {
  Theme t;
  t.name = "Lucky (internal)";
  t.slug = "lucky";
  t.description = "Emerald and gold, with clover";
  t.version = "9.25";
  t.seed = 97;
  t.titleHeight = 26, t.borderWidth = 5, t.formOffset = 5, t.frameRadius = 5;
  t.buttonRadius = 5, t.editRadius = 3, t.tabRadius = 5, t.checkRadius = 3;
  t.titleBtnW = 26, t.titleBtnH = 18, t.closeBtnW = 30, t.smallBtnW = 19, t.smallBtnH = 15;
  t.biSpace = 2, t.biRight = 4;
  t.window = Rgb(0xEEF2E6), t.windowLow = Rgb(0xDFE8D2);
  t.text = Rgb(0x18301C), t.textDim = Rgb(0x72806A);
  t.accent = Rgb(0x2E8B45), t.accentText = Rgb(0xFFFFFF);
  t.frame = Rgb(0x22633A), t.frameInactive = Rgb(0x7A9480), t.outline = Rgb(0x0C2A14);
  t.titleTop = Rgb(0x33924C), t.titleBottom = Rgb(0x175429);
  t.titleTopInactive = Rgb(0x98AD9C), t.titleBottomInactive = Rgb(0x738B78);
  t.titleText = Rgb(0xFFF4C8), t.titleTextInactive = Rgb(0xE2E9E0), t.titleGlow = Rgb(0x06200C, 0.6f);
  t.face = Rgb(0xF3F6EB), t.faceHot = Rgb(0xFBEBAA), t.facePressed = Rgb(0xD2E2C0);
  t.edit = Rgb(0xFFFFFA), t.editText = Rgb(0x10240F), t.editBorder = Rgb(0x809E80), t.editBorderFocus = Rgb(0xC9A227);
  t.menu = Rgb(0xFAFCF5), t.menuText = Rgb(0x18301C), t.menuHot = Rgb(0x2E8B45), t.menuHotText = Rgb(0xFFF4C8);
  t.menuBar = Rgb(0xDBE7CF);
  t.panel = Rgb(0xE6EEDB), t.track = Rgb(0xDAE4CE);
  t.trim = Rgb(0xD4AF37), t.glow = Rgb(0xF2D45C), t.shadow = Rgb(0x061A0B);
  t.material = Material::Gloss, t.titleMaterial = Material::Gloss;
  t.titleButtons = TitleButtonStyle::Plates, t.backdrop = Backdrop::TiledTexture;
  t.gloss = 0.3f, t.bevel = 0.75f;
  t.glows = true, t.extendedBorders = true, t.cornerStuds = true, t.trimLine = true;
  return t;
}

// What every skin keeps whatever its palette: a control under the pointer, pressed or held down, and a menu
// entry under the pointer, look plainly other than at rest.
Theme distinct(Theme t) {
  t.faceHot = Apart(t.faceHot, t.face, 18.0f);
  t.facePressed = Apart(t.facePressed, t.face, 24.0f);
  t.menuHot = Apart(t.menuHot, t.menuBar, 18.0f);
  return t;
}

}  // namespace

const Theme* Themes(int& count) {
  static const std::array<Theme, 8> themes = {distinct(topaz()), distinct(macMetal()), distinct(opus()),
                                               distinct(snowLeopard()), distinct(springWillow()),
                                               distinct(viennaExt()), distinct(zest()), distinct(lucky())};
  count = int(themes.size());
  return themes.data();
}

}  // namespace skingen
