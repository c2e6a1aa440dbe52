#include "station/forms/clrspbtn.h"

#include <cmath>

#include "gui/syscolors.h"

namespace forms {
namespace {

// Corners of the six hue sextants: red, yellow, green, cyan, blue, magenta.
constexpr int kCoins[6][3] = {{1, -1, -1}, {1, 1, -1}, {-1, 1, -1}, {-1, 1, 1}, {-1, -1, 1}, {1, -1, 1}};

void Verifie(const char* fonction, const char* nom, double v) {
  if (!(v >= 0.0 && v <= 1.0))
    throw EColorConv(std::string(fonction) + ": 0 <= " + nom + " value <= 1 required");
}

double Borne(double v) { return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v); }

uint8_t Octet(double x) { return static_cast<uint8_t>(std::nearbyint(Borne(x) * 255.0)); }

uint32_t Pixel(const uint8_t* p) { return uint32_t(p[2]) | (uint32_t(p[1]) << 8) | (uint32_t(p[0]) << 16); }

void Ecrit(uint8_t* p, uint32_t rgb) {
  p[0] = static_cast<uint8_t>(rgb >> 16);
  p[1] = static_cast<uint8_t>(rgb >> 8);
  p[2] = static_cast<uint8_t>(rgb);
}

// Every pixel of `de` equal to `cle` becomes `par`.
void Remplace(gui::TBitmap& image, uint32_t cle, uint32_t par) {
  for (int y = 0; y < image.Height(); ++y) {
    uint8_t* p = image.ScanLine(y);
    for (int x = 0; x < image.Width(); ++x, p += 4)
      if (Pixel(p) == cle) Ecrit(p, par);
  }
}

}  // namespace

void HLS2RGB(double Hue, double Luminance, double Saturation, double& Red, double& Green, double& Blue) {
  Verifie("HLS2RGB", "Hue", Hue);
  Verifie("HLS2RGB", "Luminance", Luminance);
  Verifie("HLS2RGB", "Saturation", Saturation);
  const double h6 = Hue * 6.0;
  const int s = static_cast<int>(std::floor(h6)) % 6;
  const int t = (s + 1) % 6;
  const double f = h6 - std::floor(h6);
  double c[3];
  for (int k = 0; k < 3; ++k) {
    c[k] = (kCoins[s][k] + (kCoins[t][k] - kCoins[s][k]) * f) * Saturation;
    c[k] = Luminance <= 0.5 ? (c[k] + 1.0) * Luminance : c[k] * (1.0 - Luminance) + Luminance;
    c[k] = Borne(c[k]);
  }
  Red = c[0];
  Green = c[1];
  Blue = c[2];
}

void RGB2HLS(double Red, double Green, double Blue, double& Hue, double& Luminance, double& Saturation) {
  Verifie("RGB2HLS", "Red", Red);
  Verifie("RGB2HLS", "Green", Green);
  Verifie("RGB2HLS", "Blue", Blue);
  const double c[3] = {Red, Green, Blue};
  int imax = 0, imin = 0;
  for (int k = 1; k < 3; ++k) {
    if (c[k] > c[imax]) imax = k;
    if (c[k] < c[imin]) imin = k;
  }
  const double M = c[imax], m = c[imin];
  Luminance = (M + m) / 2.0;
  if (M == m) {
    Hue = 0.0;
    Saturation = 0.0;
    return;
  }
  Saturation = Luminance <= 0.5 ? (M - m) / (M + m) : (M - m) / (2.0 - M - m);
  // The component between the two extremes, as it was before luminance and saturation: -1..1.
  const int imid = 3 - imax - imin;
  const double v = (c[imid] - Luminance) / (M - Luminance);
  // The sextant whose corners have +1 on the largest component and -1 on the smallest.
  int s = 0;
  for (int k = 0; k < 6; ++k)
    if (kCoins[k][imax] == 1 && kCoins[k][imin] == -1 && kCoins[(k + 1) % 6][imid] != kCoins[k][imid]) s = k;
  // Along sextant s the middle component goes from its corner value to the next corner's.
  const double f = kCoins[s][imid] == -1 ? (v + 1.0) / 2.0 : (1.0 - v) / 2.0;
  Hue = (s + f) / 6.0;
  if (Hue >= 1.0) Hue -= 1.0;
}

void Couleurs_ombrees(gui::TColor couleur, double facteur_clair, double facteur_sombre, gui::TColor& claire,
                      gui::TColor& sombre) {
  const uint32_t rgb = gui::ColorRef(couleur);
  const int c[3] = {int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF)};
  int l[3];
  for (int k = 0; k < 3; ++k) l[k] = 255 - static_cast<int>(std::nearbyint((256 - c[k]) * facteur_clair));
  claire = gui::TColor(uint32_t(l[0]) | (uint32_t(l[1]) << 8) | (uint32_t(l[2]) << 16));
  double h, lum, sat, r, g, b;
  RGB2HLS(c[0] / 255.0, c[1] / 255.0, c[2] / 255.0, h, lum, sat);
  HLS2RGB(h, lum * facteur_sombre, sat, r, g, b);
  sombre = gui::TColor(uint32_t(Octet(r)) | (uint32_t(Octet(g)) << 8) | (uint32_t(Octet(b)) << 16));
}

void Recolore_bouton(gui::TBitmap& image, gui::TColor couleur, uint32_t face, uint32_t clair, uint32_t ombre) {
  if (image.Empty()) return;
  image.SetPixelFormat(gui::TPixelFormat::pf32bit);
  gui::TColor claire = 0, sombre = 0;
  Couleurs_ombrees(couleur, FACTEUR_CLAIR, FACTEUR_SOMBRE, claire, sombre);
  // The three transparent draws of the painting, in their order: over the light shade with the highlight
  // colour transparent, over the dark shade with the shadow colour transparent, over Color with the face
  // colour transparent.
  Remplace(image, clair, gui::ColorRef(claire));
  Remplace(image, ombre, gui::ColorRef(sombre));
  Remplace(image, face, gui::ColorRef(couleur));
}

void TColorSpeedBtn::WndProc(gui::TMessage& m) {
  if (m.Msg == WM_PAINT && m.WParam && !Flat()) {
    PaintColored(reinterpret_cast<HDC>(m.WParam));
    m.Result = 0;
    return;
  }
  gui::TSpeedButton::WndProc(m);
}

void TColorSpeedBtn::PaintColored(HDC dc) {
#ifdef _WIN32
  if (width_ <= 0 || height_ <= 0) return;
  // The face is the button's own colour: the button is drawn in the system's colours, which are made for it,
  // rather than a skin's (a dark skin's light text would vanish on a light face).
  gui::SystemColoursOnly systemColours;
  gui::TBitmap a;
  a.SetPixelFormat(gui::TPixelFormat::pf32bit);
  a.SetSize(width_, height_);
  // The ordinary speed button, in the system colours, into the bitmap.
  canvas_.Font().Assign(font_);
  canvas_.SetHandle(a.Canvas().Handle());
  gui::TSpeedButton::Paint();
  canvas_.SetHandle(nullptr);
  GdiFlush();
  Recolore_bouton(a, Color(), gui::ColorRef(gui::clBtnFace), gui::ColorRef(gui::clBtnHighlight),
                  gui::ColorRef(gui::clBtnShadow));
  BitBlt(dc, 0, 0, width_, height_, a.Canvas().Handle(), 0, 0, SRCCOPY);
#else
  (void)dc;
#endif
}

}  // namespace forms
