#pragma once
// Unit ClrSpBtn: the toggle speed button of the speech options window, whose 3-D look follows its Color, and
// the conversions between RGB and HLS colours that give the button its shadow shade.
//
// Painting. A flat button paints as a speed button. Otherwise the button is first painted as a speed button
// in the system colours into a bitmap; then its highlight pixels take the light shade of Color, its shadow
// pixels the dark shade, and its face pixels Color itself.
#include <stdexcept>

#include "gui/buttons.h"

namespace forms {

// Raised by the colour conversions for a component outside 0..1.
class EColorConv : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Components in 0..1. Each input is checked in order; the first one outside 0..1 raises EColorConv naming it.
void HLS2RGB(double Hue, double Luminance, double Saturation, double& Red, double& Green, double& Blue);
// The exact inverse of HLS2RGB (greys get hue 0 and saturation 0).
void RGB2HLS(double Red, double Green, double Blue, double& Hue, double& Luminance, double& Saturation);

// The light and dark shades of a colour: each component c of the light shade is 255 - round((256 - c) x
// light); the dark shade is the colour with its luminance multiplied by `dark`.
void Couleurs_ombrees(gui::TColor couleur, double facteur_clair, double facteur_sombre, gui::TColor& claire,
                      gui::TColor& sombre);
// The factors of the speed button.
inline constexpr double FACTEUR_CLAIR = 0.4;
inline constexpr double FACTEUR_SOMBRE = 0.4;

// Recolours a speed button painted in the system colours (a pf32bit bitmap): pixels of the highlight colour
// take the light shade of `couleur`, then pixels of the shadow colour the dark shade, then pixels of the face
// colour `couleur` itself (face, highlight and shadow given as RGB values).
void Recolore_bouton(gui::TBitmap& image, gui::TColor couleur, uint32_t face, uint32_t clair, uint32_t ombre);

class TColorSpeedBtn : public gui::TSpeedButton {
 public:
  explicit TColorSpeedBtn(gui::TComponent* AOwner) : gui::TSpeedButton(AOwner) { SetParentColor(false); }
  GUI_CLASS_NAME("TColorSpeedBtn")

 protected:
  void WndProc(gui::TMessage& m) override;

 private:
  void PaintColored(HDC dc);
};

}  // namespace forms
