#pragma once
// A skin for the form-skinning tests, built in memory and held by a skin manager: the sections a skinned frame
// uses (FORM with a bordered frame image whose top-left corner pixel is the key colour, FORMTITLE, MENULINE), the
// caption-button images of both sizes with one flat colour per state (four states: normal, hot, pressed,
// inactive), the user title-button image, a glow image for the close button, and the extended-border shadow.
// Every section state, frame edge and button state has a colour of its own, so that a probe of a painted pixel
// names what was painted there.
#include <cstdint>
#include <memory>
#include <string>

#include "skin/data/loaded_skin.h"
#include "skin/data/sskinmanager.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/pixel_helpers.h"

namespace formstest {

using skin::TColor;
using skin::TRect;

// Colours (TColor: R in the low byte).
inline constexpr TColor kFormActive = 0x30A050, kFormInactive = 0x5030A0;        // FORM section, hot / normal
inline constexpr TColor kFrameActive = 0x0000C8, kFrameInactive = 0x00B400;      // FORM border image states 1 / 0
inline constexpr TColor kTitleActive = 0xA06020, kTitleInactive = 0x707070;      // FORMTITLE states 1 / 0
inline constexpr TColor kTitleFont = 0xF0FFE0, kTitleFontInactive = 0xC8E0F0;
inline constexpr TColor kMenuLine = 0x40C0C0;
// Caption buttons: colour of (button, state); state 3 is the inactive look.
inline constexpr TColor ButtonColor(int button, int state) {
  return TColor(0x101010 * (button + 1) + 0x000040 * state + 0x200000);
}
enum Button { bClose, bMax, bNorm, bMin, bHelp, bUser, bCount };
inline constexpr int32_t kButtonW = 16, kButtonH = 14;   // large images
inline constexpr int32_t kSmallW = 12, kSmallH = 10;     // small images (state colours of the large ones + 8)
inline constexpr int32_t kUserW = 14;
inline constexpr TColor kGlow = 0x00E0FF;
inline constexpr int32_t kGlowW = 24, kGlowH = 22;
inline constexpr TColor kGrip = 0x5070F0;
inline constexpr int32_t kGripSize = 12;
inline constexpr TColor kShadow = 0x101010;               // the extended-border image's colour (alpha 128)
inline constexpr int32_t kShadowMargin = 6;

inline uint32_t Px(TColor c, uint8_t alpha = 255) { return skin::ColorToPixel(c, alpha); }

struct FormsSkin {
  skin::PortableSkinSystem system;
  std::unique_ptr<skin::TsSkinManagerComponent> manager;
  int32_t form = -1, title = -1, menuLine = -1, global = -1;
  int32_t frame = -1;
  int32_t images[bCount] = {};
  int32_t small[bCount] = {};
  int32_t glow = -1;
  int32_t grip = -1;

  // A manager of its own (the first one made is the application's default one); with extended borders the
  // skin gets its shadow margins and images.
  explicit FormsSkin(bool extendedBorders = false, gui::TComponent* owner = nullptr) {
    system.layeredWindows = true;
    manager = std::make_unique<skin::TsSkinManagerComponent>(owner, system);
    manager->SetExtendedBorders(extendedBorders);
    manager->Effects.AllowGlowing = true;
    Build(extendedBorders);
  }

  skin::LoadedSkin& Skin() { return manager->Skin(); }

  void Build(bool extendedBorders) {
    using namespace skin;
    LoadedSkin s;
    s.MasterBitmap = std::make_shared<Bitmap>(256, 160, pf32bit);
    Bitmap& m = *s.MasterBitmap;
    // Frame image: 2 states of 12 x 12, borders 4; the top-left pixel of each state is the key colour.
    for (int st = 0; st < 2; ++st) {
      FillRectBitmap32(m, TRect{st * 12, 0, st * 12 + 12, 12}, st ? kFrameActive : kFrameInactive, 255);
      SetPixel32(m, st * 12, 0, KeyPixel);
    }
    // Buttons: large at rows 16 + 16k, four states; small at x 80.
    for (int b = 0; b < bCount; ++b) {
      const int32_t w = b == bUser ? kUserW : kButtonW;
      for (int st = 0; st < 4; ++st) {
        FillRectBitmap32(m, TRect{st * w, 16 + 16 * b, st * w + w, 16 + 16 * b + kButtonH}, ButtonColor(b, st), 255);
        FillRectBitmap32(m, TRect{80 + st * kSmallW, 16 + 16 * b, 80 + st * kSmallW + kSmallW, 16 + 16 * b + kSmallH},
                         ButtonColor(b, st) + 8, 255);
      }
    }
    FillRectBitmap32(m, TRect{160, 0, 160 + kGlowW, kGlowH}, kGlow, 255);

    auto section = [&](const std::string& name) {
      SkinSectionRecord r;
      r.SectionName = name;
      s.Sections.push_back(r);
      return int32_t(s.Sections.size() - 1);
    };
    global = section("GLOBALINFO");
    form = section("FORM");
    title = section("FORMTITLE");
    menuLine = section("MENULINE");
    SkinSectionRecord& f = s.Sections[size_t(form)];
    f.States = 2;
    f.NormalState.Color = kFormInactive;
    f.HotState = f.NormalState;
    f.HotState.Color = kFormActive;
    SkinSectionRecord& t = s.Sections[size_t(title)];
    t.States = 2;
    t.NormalState.Color = kTitleInactive;
    t.NormalState.FontColor = kTitleFontInactive;
    t.HotState = t.NormalState;
    t.HotState.Color = kTitleActive;
    t.HotState.FontColor = kTitleFont;
    SkinSectionRecord& ml = s.Sections[size_t(menuLine)];
    ml.States = 1;
    ml.NormalState.Color = kMenuLine;
    ml.HotState = ml.NormalState;

    frame = SkinManagerAddImage(s, form, "BORDERSMASK", 0, 0, 2, TRect{0, 0, 24, 12}, 2, "FORM", manager.get());
    SkinImageRecord& fr = s.Images[size_t(frame)];
    fr.BorderLeft = fr.BorderTop = fr.BorderRight = fr.BorderBottom = 4;
    fr.TransparentFlag = SkinImageTransparentFlag(s, fr);
    s.Sections[size_t(form)].BorderIndex = frame;
    s.Sections[size_t(form)].BorderKind = 0;

    static const char* names[bCount] = {"BICONCLOSE", "BICONMAX", "BICONNORM", "BICONMIN", "BICONHELP", "TITLEBUTTON"};
    static const char* smallNames[bCount] = {"SICONCLOSE", "SICONMAX", "SICONNORM", "SICONMIN", "SICONHELP", ""};
    for (int b = 0; b < bCount; ++b) {
      const int32_t w = b == bUser ? kUserW : kButtonW;
      images[b] = SkinManagerAddImage(s, global, names[b], 0, 0, 4, TRect{0, 16 + 16 * b, 4 * w, 16 + 16 * b + kButtonH},
                                      2, "GLOBALINFO", manager.get());
      if (b != bUser)
        small[b] = SkinManagerAddImage(s, global, smallNames[b], 0, 0, 4,
                                       TRect{80, 16 + 16 * b, 80 + 4 * kSmallW, 16 + 16 * b + kSmallH}, 2,
                                       "GLOBALINFO", manager.get());
    }
    glow = SkinManagerAddImage(s, global, "BICONCLOSEGLOW0", 0, 0, 1, TRect{160, 0, 160 + kGlowW, kGlowH}, 2,
                               "GLOBALINFO", manager.get());
    // The size grip: one state of 12 x 12.
    FillRectBitmap32(m, TRect{200, 40, 200 + kGripSize, 40 + kGripSize}, kGrip, 255);
    grip = SkinManagerAddImage(s, global, "GRIPIMAGE", 0, 0, 1, TRect{200, 40, 200 + kGripSize, 40 + kGripSize}, 2,
                               "GLOBALINFO", manager.get());

    TsSkinData& g = s.SkinData;
    g.TitleHeight = 26;
    g.MaxHeight = 26;
    g.BorderWidth = 5;
    g.BILeft = 2;
    g.BIRight = 2;
    g.BISpace = 1;
    g.BITop = 3;
    g.FormOffset = 0;
    g.BICloseGlowMargin = 4;
    g.Active = 1;
    g.Version = 10;
    SkinCommonIndexes& ci = s.CommonIndexes;
    ci.GlobalInfo = global;
    ci.BIConClose = images[bClose];
    ci.BIConMax = images[bMax];
    ci.BIConNorm = images[bNorm];
    ci.BIConMin = images[bMin];
    ci.BIConHelp = images[bHelp];
    ci.SIConClose = small[bClose];
    ci.SIConMax = small[bMax];
    ci.SIConNorm = small[bNorm];
    ci.SIConMin = small[bMin];
    ci.SIConHelp = small[bHelp];
    ci.GripImage = grip;
    if (extendedBorders) {
      s.ShadowMargins = TRect{kShadowMargin, kShadowMargin, kShadowMargin, kShadowMargin};
      for (auto* shadow : {&s.ActiveShadow, &s.InactiveShadow}) {
        *shadow = std::make_shared<Bitmap>(3 * kShadowMargin, 3 * kShadowMargin, pf32bit);
        FillRectBitmap32(**shadow, TRect{0, 0, 3 * kShadowMargin, 3 * kShadowMargin}, kShadow, 128);
      }
    }
    manager->Skin() = std::move(s);
  }
};

}  // namespace formstest
