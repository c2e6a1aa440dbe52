#include "skin/manager/skinsyscolors.h"

#include <array>

#include "gui/syscolors.h"
#include "skin/data/sskinmanager.h"
#include "skin/pixels/graph_utils.h"

#ifdef _WIN32
#include "skin/pixels/gdi_ledger.h"
#endif

namespace skin {

namespace {

// A colour of the loaded skin as RGB (system colours through the unchanged system).
uint32_t Rgb(const TsSkinManager& m, TColor c) { return uint32_t(ColorToRGB(c, m.System())) & 0x00FFFFFFu; }

class SkinColorSource final : public gui::SystemColorSource {
 public:
  bool SysColor(int index, uint32_t& rgb) override { return SkinSysColor(index, rgb); }
  HBRUSH SysColorBrush(int index) override {
#ifdef _WIN32
    return SkinGetSysColorBrush(index);
#else
    (void)index;
    return nullptr;
#endif
  }
  COLORREF PenColor(COLORREF color) override { return SkinPenColor(color); }

  void FreeBrushes() {
#ifdef _WIN32
    for (HBRUSH& b : brushes) {
      if (b) ledger::DeleteObject(b);
      b = nullptr;
    }
#endif
  }
  ~SkinColorSource() override {
    gui::RemoveSystemColorSource(this);
    FreeBrushes();
  }

  std::array<HBRUSH, 32> brushes{};
  std::array<uint32_t, 32> brushColors{};
};

SkinColorSource& Source() {
  static SkinColorSource source;
  return source;
}

}  // namespace

bool SkinSysColor(int index, uint32_t& rgb) {
  const TsSkinManager* m = DefaultManager();
  if (!m) return false;
  const LoadedSkin& s = m->Skin();
  switch (index) {
    case 5: rgb = Rgb(*m, SkinManagerEditColor(s)); return true;
    case 6: rgb = Rgb(*m, s.Colors[scBorderColor]); return true;
    case 8: rgb = Rgb(*m, SkinManagerEditFontColor(s)); return true;
    case 13: rgb = Rgb(*m, SkinManagerHighlightColor(s, true)); return true;
    case 14: rgb = Rgb(*m, SkinManagerHighlightFontColor(s, true)); return true;
    case 16:
    case 21: rgb = uint32_t(MixColorsRatio(TColor(Rgb(*m, SkinManagerGlobalColor(s))), clBlack, 0.8)); return true;
    case 22: rgb = uint32_t(MixColorsRatio(TColor(Rgb(*m, SkinManagerGlobalColor(s))), clWhite, 0.8)); return true;
    default: return false;
  }
}

uint32_t SkinGetSysColor(int index) {
  uint32_t rgb = 0;
  return SkinSysColor(index, rgb) ? rgb : gui::SystemSysColor(index);
}

COLORREF SkinPenColor(COLORREF color) {
  const TsSkinManager* m = DefaultManager();
  if (!m) return color;
  const LoadedSkin& s = m->Skin();
  switch (color) {
    case 5: return Rgb(*m, SkinManagerEditColor(s));
    case 6: return Rgb(*m, s.Colors[scBorderColor]);
    case 13: return Rgb(*m, SkinManagerHighlightColor(s, true));
    case 14: return Rgb(*m, SkinManagerHighlightFontColor(s, true));
    case 15: return Rgb(*m, SkinManagerGlobalColor(s));
    case 16:
    case 21: return COLORREF(MixColorsRatio(TColor(Rgb(*m, SkinManagerGlobalColor(s))), clBlack, 0.8));
    case 22: return COLORREF(MixColorsRatio(TColor(Rgb(*m, SkinManagerGlobalColor(s))), clWhite, 0.8));
    case 0xC0C0C0:
    case 0xF0F0F0:
      return COLORREF(MixColorsRatio(TColor(Rgb(*m, SkinManagerEditFontColor(s))), TColor(Rgb(*m, SkinManagerEditColor(s))),
                                     0.15)) &
             0x00FFFFFFu;
    default: return color;
  }
}

#ifdef _WIN32
HBRUSH SkinGetSysColorBrush(int index) {
  if (index != 5 && index != 8 && index != 13 && index != 14) return nullptr;
  uint32_t rgb = 0;
  if (!SkinSysColor(index, rgb)) return nullptr;
  HBRUSH& b = Source().brushes[size_t(index)];
  uint32_t& made = Source().brushColors[size_t(index)];
  if (b && made != rgb) {  // a skin changed without telling: the brush follows it
    ledger::DeleteObject(b);
    b = nullptr;
  }
  if (!b) {
    b = ledger::CreateSolidBrush(rgb);
    made = rgb;
  }
  return b;
}

HPEN SkinCreatePen(int style, int width, COLORREF color) {
  return ledger::CreatePen(style, width, SkinPenColor(color));
}
#endif

bool InstallSkinSysColors() { return gui::InstallSystemColorSource(&Source()); }

void RemoveSkinSysColors() {
  if (gui::CurrentSystemColorSource() != &Source()) return;
  gui::RemoveSystemColorSource(&Source());
  Source().FreeBrushes();
}

bool SkinSysColorsInstalled() { return gui::CurrentSystemColorSource() == &Source(); }

void SkinSysColorsChanged() { Source().FreeBrushes(); }

int SkinSysColorBrushCount() {
  int n = 0;
  for (HBRUSH b : Source().brushes) n += b != nullptr;
  return n;
}

}  // namespace skin
