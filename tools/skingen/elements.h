#pragma once
// The painters of the skin's parts: every function draws the states of one image from a theme. States are in
// the order the skin's painters use: 0 normal, 1 hot, 2 pressed, 3 default (buttons); inactive, active (frames
// and captions).
#include <cstdint>

#include "tools/skingen/canvas.h"
#include "tools/skingen/skinbuilder.h"
#include "tools/skingen/theme.h"

namespace skingen {

// Corner radii of a face: top-left, top-right, bottom-right, bottom-left.
struct Radii {
  float tl, tr, br, bl;
  Radii(float r = 0) : tl(r), tr(r), br(r), bl(r) {}
  Radii(float a, float b, float c, float d) : tl(a), tr(b), br(c), bl(d) {}
};

// How one raised face is painted.
struct FaceLook {
  Stops fill;                       // body, top to bottom
  float glossAlpha = 0;             // white sheen over the upper part
  float glossEnd = 0.48f;           // fraction of the height where the sheen ends
  bool glossSharp = true;           // a hard edge under the sheen
  Color outline, outlineBottom;     // outer line, top and bottom colour
  float outlineWidth = 1.0f;
  Color rim{1, 1, 1, 0.6f};         // inner highlight line, fading downwards
  Color ring{0, 0, 0, 0};           // inner ring (focus, default button)
  float ringWidth = 1.5f;
  Color bottomLight{0, 0, 0, 0};    // light rising from the bottom edge
  float grain = 0;
  bool brushed = false;
  float innerShadow = 0;            // pressed look: shadow under the top edge
};

// The look of a raised face of the theme in a state (0 normal, 1 hot, 2 pressed, 3 default) from a base
// colour.
FaceLook FaceFor(const Theme& t, int state, Color base, Color hot, Color pressed);
void PaintFace(Image& img, const RectF& r, const Radii& radii, const FaceLook& look, uint32_t seed);

// The colours of a column header under the pointer and pressed (the header's text must read on both).
Color HeaderHot(const Theme& t);
Color HeaderPressed(const Theme& t);

// Common images.
States ButtonStates(const Theme& t, int w, int h, float radius, int count, uint32_t seed);
States FlatButtonStates(const Theme& t, int w, int h, float radius, uint32_t seed);
States EditStates(const Theme& t, int w, int h, float radius);
States FormFrameStates(const Theme& t, int size);
States TitleStates(const Theme& t, int w, uint32_t seed);
States TitleBarStates(const Theme& t, int w);
enum class Caption { Close, CloseAlone, Max, Restore, Min, Help, User };
States CaptionButton(const Theme& t, Caption kind, bool small, uint32_t seed);
enum class Check { Unchecked, Checked, Grayed };
States CheckBox(const Theme& t, Check kind, int size);
States Radio(const Theme& t, bool checked, int size);
States MenuCheck(const Theme& t);
enum class Dir { Left, Up, Right, Down };
States Arrow(const Theme& t, Dir dir, int size, Color normal, Color hot, Color pressed);
States Grip(const Theme& t, int w, int h, int kind);  // 0 size grip (corner), 1 horizontal, 2 vertical
enum class Side { Top, Bottom, Left, Right };
States TabStates(const Theme& t, Side side, uint32_t seed);
States PageFrame(const Theme& t);
States ScrollButton(const Theme& t, bool vertical, uint32_t seed);
States ScrollTrack(const Theme& t, bool vertical);
States ScrollThumb(const Theme& t, bool vertical, uint32_t seed);
States ThumbGrip(const Theme& t, bool vertical);
States SliderThumb(const Theme& t, bool vertical, uint32_t seed);
States SliderChannel(const Theme& t);
States Tick(const Theme& t, bool vertical);
States MenuFrame(const Theme& t);
States MenuItemHot(const Theme& t, Color c, int count);
States DividerLine(const Theme& t, bool vertical);
States GroupFrame(const Theme& t);
States PanelBevel(const Theme& t, bool raised);
States StatusPanel(const Theme& t);
States BarLine(const Theme& t, bool bottom);
States Selection(const Theme& t);
States HeaderCell(const Theme& t, uint32_t seed);
States SmallFace(const Theme& t, int w, int h, float radius, uint32_t seed);
// A small round stud of the trim colour, n x n, for the corners of a frame at least n pixels wide.
States Stud(const Theme& t, int n);

// Images with real alpha (PNG files).
// A glow around a control: `extent` pixels outside it, `margin` pixels over it; the image is
// 2 * (extent + margin) + centre wide.
Image ControlGlow(const Theme& t, Color c, float radius, int extent, int margin, int centre);
// A caption button's hot image with its glow around it (`margin` pixels on every side).
Image CaptionGlow(const Theme& t, Caption kind, int margin, uint32_t seed);
// The extended border of a form: a soft shadow (or glow) around a window rectangle inset by `margin`, the
// window itself transparent; `band` more pixels are border image inside the margin.
Image ExtendedBorder(const Theme& t, bool active, int margin, int band);
// An outer shadow band for controls (mask type 1 in the master bitmap).
States OuterShadow(const Theme& t, int size, int extent);

// Textures.
Image BrushedMetal(const Theme& t, int w, int h, uint32_t seed);
Image Grain(Color base, int w, int h, float amount, uint32_t seed);
Image Clover(const Theme& t, int size, uint32_t seed);
Image Sandstone(const Theme& t, int w, int h, uint32_t seed);
Image SoftVignette(Color top, Color bottom, int w, int h, uint32_t seed);
Image Meadow(const Theme& t, int w, int h, uint32_t seed);
Image Stripes(Color base, Color stripe, int size);
Image Leaves(const Theme& t, int size, uint32_t seed);

}  // namespace skingen
