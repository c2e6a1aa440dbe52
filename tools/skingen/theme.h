#pragma once
// The look of one skin: its palette, its materials and shapes, its measures and the features it carries. The
// element painters (elements.h) and the skin writer (generate.cpp) draw every section from these values, so that
// all the parts of one skin share one character.
#include <cstdint>
#include <string>

#include "tools/skingen/canvas.h"

namespace skingen {

// How a raised surface (a button face, a scroll-bar thumb, a tab) is rendered.
enum class Material {
  Satin,   // soft vertical gradient, a light inner highlight
  Gloss,   // a bright glossy upper half with a sharp edge, a deeper lower half
  Glass,   // translucent-looking glass: pale gloss over a coloured body, an inner white rim
  Metal,   // brushed metal: fine horizontal streaks over a grey gradient
  Matte,   // flat with grain, a thin rim light
};

// How the caption buttons look.
enum class TitleButtonStyle {
  Plates,   // rounded plates carrying a symbol
  Spheres,  // small coloured spheres (red, amber, green), symbols shown when hot
  Glass,    // glass caps hanging from the caption's top edge, the close cap red
  Gems,     // faceted gem-like plates
};

// The client background of a form.
enum class Backdrop {
  Gradient,      // a vertical gradient (GRADIENTDATA)
  TiledTexture,  // a texture tiled from the master bitmap (draw mode 0)
  Stretched,     // a texture stretched over the form (draw mode 1)
  JpegMix,       // a JPEG texture file, mixed with a gradient by IMAGEPERCENT and GRADIENTPERCENT
};

struct Theme {
  std::string name;         // the stored skin's name, "... (internal)"
  std::string slug;         // file-name form, "spring_willow"
  std::string description;  // GLOBALINFO DESCRIPTION
  std::string version;      // GLOBALINFO VERSION, '.' as the decimal separator
  uint32_t seed = 1;

  // Measures.
  int titleHeight = 26;
  int borderWidth = 4;   // BORDERWIDTH: the skinned frame
  int formOffset = 4;    // FORMOFFSET
  int frameRadius = 6;   // top corners of a form
  int buttonRadius = 3;
  int editRadius = 2;
  int tabRadius = 3;
  int checkRadius = 2;   // check boxes (radio buttons are round)
  int titleBtnW = 26, titleBtnH = 18, closeBtnW = 26;
  int smallBtnW = 18, smallBtnH = 15;
  int biSpace = 2, biRight = 4, biTop = 0;
  int biVAlign = 0;

  // Palette.
  Color window;        // main colour, client of forms (GLOBALINFO COLOR)
  Color windowLow;     // lower end of the form's backdrop
  Color text;          // main font colour
  Color textDim;       // disabled and secondary text
  Color accent;        // focus, default button, selection
  Color accentText;    // text on the accent
  Color frame;         // active frame of a form
  Color frameInactive;
  Color outline;       // the dark outer line of frames and faces
  Color titleTop, titleBottom;          // active caption gradient
  Color titleTopInactive, titleBottomInactive;
  Color titleText, titleTextInactive;
  Color titleGlow;     // text contour of the caption (alpha 0: none)
  Color face;          // button face colour (middle)
  Color faceHot;       // hot tint
  Color facePressed;
  Color edit, editText, editBorder, editBorderFocus;
  Color menu, menuText, menuHot, menuHotText, menuBar;
  Color panel;         // panels and tool bars
  Color track;         // scroll-bar tracks, slider channels
  Color trim;          // ornaments (gold lines, studs)
  Color glow;          // glow colour (buttons, caption buttons)
  Color shadow;        // extended-border shadow colour

  // Materials and styles.
  Material material = Material::Satin;
  Material titleMaterial = Material::Satin;
  TitleButtonStyle titleButtons = TitleButtonStyle::Plates;
  Backdrop backdrop = Backdrop::Gradient;
  float gloss = 0.35f;       // strength of highlights
  float grain = 0.0f;        // grain of surfaces (0..0.1)
  float bevel = 0.6f;        // inner highlight strength

  // Features.
  bool glows = false;           // PNG glows of buttons and caption buttons
  bool extendedBorders = false; // an EXBORDER image
  bool outerShadows = false;    // OUTERMASK under buttons and panels
  bool cornerStuds = false;     // IMGTOPLEFT ... studs in the corners of the group boxes' frames
  bool deepParentChain = false; // BUTTON_HUGE -> BUTTON_BIG -> BUTTON
  bool shadowMask = false;      // SH_SOURCE=1 with an SH_MASK of its own
  bool aeroBlur = false;        // AEROBLUR
  bool trimLine = false;        // a line of the trim colour under the active caption
  bool defaultFilled = false;   // the default button filled with the accent (instead of a ring)
  int panelTransparency = 0;    // TRANSPARENCY of PANEL
  int groupTransparency = 100;  // TRANSPARENCY of GROUPBOX
};

// The eight skins, in their stored order.
const Theme* Themes(int& count);

}  // namespace skingen
