#pragma once
// A skin built by the skin data's tests, held by a manager component: flat colours per section and state so that
// every colour a test reads can be told apart, sections of each transparency and fill kind the decisions care
// about, and the menu sections (a popup frame with key-colour corners, a hot menu item, a glyph column, a menu
// line) in colours of their own.
#include <cstdint>
#include <memory>
#include <string>

#include "skin/data/loaded_skin.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/pixel_helpers.h"

namespace skindatatest {

using namespace skin;

inline constexpr TColor kEditColor = 0xF0E0D0, kEditFont = 0x102030, kEditHot = 0xD0F0FF, kEditHotFont = 0x0000A0;
inline constexpr TColor kPanelColor = 0x808040, kGlassColor = 0x0000FF, kGlobalColor = 0xC8C8C8;
inline constexpr TColor kMenuColor = 0xE8F0F8, kMenuItemHot = 0x884422, kMenuItemHotFont = 0xFFFFFF;
inline constexpr TColor kMenuItemFont = 0x202020, kIcoLineColor = 0xB0D0E0, kMenuLineColor = 0xA0B0C0;
inline constexpr TColor kMenuLineHot = 0x3060C0, kMenuFrame = 0x604020;
inline constexpr int32_t kMenuBorder = 4;  // the popup frame's width on each side

struct SkinDataFixture {
  PortableSkinSystem system;
  std::unique_ptr<TsSkinManagerComponent> manager;

  int32_t edit = -1, panel = -1, glass = -1, clear = -1, gradient = -1, framed = -1, opaqueFrame = -1,
          corner = -1, textured = -1, mainMenu = -1, menuItem = -1, icoLine = -1, menuLine = -1;
  int32_t frameImage = -1, opaqueFrameImage = -1, menuFrame = -1, textureImage = -1, cornerImage = -1;

  SkinDataFixture() {
    system.layeredWindows = true;
    manager = std::make_unique<TsSkinManagerComponent>(nullptr, system);
    LoadedSkin s;
    s.MasterBitmap = std::make_shared<Bitmap>(64, 64, pf32bit);
    Bitmap& m = *s.MasterBitmap;
    FillRectBitmap32(m, TRect{0, 0, 64, 64}, 0x404040, 255);
    // The popup frame (0, 0)-(16, 16): one state, borders 4, key-colour pixels in its two top corners and in
    // the bottom-left one.
    FillRectBitmap32(m, TRect{0, 0, 16, 16}, kMenuFrame, 255);
    for (auto [x, y] : {std::pair{0, 0}, {1, 0}, {0, 1}, {15, 0}, {0, 15}}) SetPixel32(m, x, y, KeyPixel);
    // A 1-pixel frame (20, 0)-(26, 6), and a 4 x 4 texture at (30, 0), and a corner image at (40, 0).
    FillRectBitmap32(m, TRect{20, 0, 26, 6}, 0x202020, 255);
    FillRectBitmap32(m, TRect{30, 0, 34, 4}, 0x00A000, 255);
    FillRectBitmap32(m, TRect{40, 0, 44, 4}, 0xA000A0, 255);

    auto section = [&](const std::string& name, TColor color, int32_t transparency) {
      SkinSectionRecord r;
      r.SectionName = name;
      r.States = 1;
      r.NormalState.Color = r.HotState.Color = color;
      r.NormalState.Transparency = r.HotState.Transparency = transparency;
      s.Sections.push_back(r);
      return int32_t(s.Sections.size() - 1);
    };
    section("GLOBALINFO", kGlobalColor, 0);
    edit = section("EDIT", kEditColor, 0);
    s.Sections[size_t(edit)].States = 2;
    s.Sections[size_t(edit)].NormalState.FontColor = kEditFont;
    s.Sections[size_t(edit)].HotState.Color = kEditHot;
    s.Sections[size_t(edit)].HotState.FontColor = kEditHotFont;
    panel = section("PANEL", kPanelColor, 0);
    glass = section("GLASS", kGlassColor, 50);
    clear = section("CLEAR", 0x123456, 100);
    gradient = section("GRADIENT", 0x00FF00, 0);
    s.Sections[size_t(gradient)].NormalState.GradientPercent = 50;
    s.Sections[size_t(gradient)].NormalState.GradientSteps = {GradientStep{0xFFFFFF, 0, 100, 1}};
    framed = section("FRAMED", 0x336699, 0);
    opaqueFrame = section("OPAQUEFRAME", 0x996633, 100);
    corner = section("CORNER", 0x669933, 0);
    textured = section("TEXTURED", 0x999999, 100);
    mainMenu = section("MAINMENU", kMenuColor, 0);
    menuItem = section("MENUITEM", kMenuColor, 100);
    s.Sections[size_t(menuItem)].States = 2;
    s.Sections[size_t(menuItem)].NormalState.FontColor = kMenuItemFont;
    s.Sections[size_t(menuItem)].HotState.Color = kMenuItemHot;
    s.Sections[size_t(menuItem)].HotState.Transparency = 0;
    s.Sections[size_t(menuItem)].HotState.FontColor = kMenuItemHotFont;
    icoLine = section("ICOLINE", kIcoLineColor, 0);
    menuLine = section("MENULINE", kMenuLineColor, 0);
    s.Sections[size_t(menuLine)].States = 2;
    s.Sections[size_t(menuLine)].HotState.Color = kMenuLineHot;

    auto image = [&](int32_t sec, const char* key, uint16_t drawMode, TRect r, int16_t border, uint8_t kind) {
      const int32_t i = SkinManagerAddImage(s, sec, key, 0, drawMode, 1, r, kind, s.Sections[size_t(sec)].SectionName,
                                            manager.get());
      SkinImageRecord& rec = s.Images[size_t(i)];
      rec.BorderLeft = rec.BorderTop = rec.BorderRight = rec.BorderBottom = border;
      return i;
    };
    frameImage = image(framed, "BORDERSMASK", 1, TRect{20, 0, 26, 6}, 1, 2);
    s.Sections[size_t(framed)].BorderIndex = frameImage;
    opaqueFrameImage = image(opaqueFrame, "BORDERSMASK", 4, TRect{20, 0, 26, 6}, 1, 2);
    s.Sections[size_t(opaqueFrame)].BorderIndex = opaqueFrameImage;
    menuFrame = image(mainMenu, "BORDERSMASK", 1, TRect{0, 0, 16, 16}, kMenuBorder, 2);
    s.Sections[size_t(mainMenu)].BorderIndex = menuFrame;
    textureImage = image(textured, "PATTERN", 10, TRect{30, 0, 34, 4}, 0, 1);
    s.Images[size_t(textureImage)].MaskType = 1;
    s.Sections[size_t(textured)].TextureIndex = textureImage;
    cornerImage = image(corner, "IMGTOPLEFT", 0, TRect{40, 0, 44, 4}, 0, 2);
    s.Sections[size_t(corner)].ImgTopLeft = cornerImage;
    s.Colors[scMainColor] = kGlobalColor;
    s.CommonIndexes.GlobalInfo = 0;
    s.SkinData.Active = 1;
    manager->Skin() = std::move(s);
    manager->MenuSupport.IcoLineSkin = "ICOLINE";
  }

  TsSkinManager* Manager() { return manager.get(); }
  LPARAM ManagerParam() { return manager->ManagerParam(); }
  SkinSectionRecord& Section(int32_t i) { return manager->Skin().Sections[size_t(i)]; }
};

}  // namespace skindatatest
