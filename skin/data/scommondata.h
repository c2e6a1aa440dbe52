#pragma once
// The per-control skin data: what every skinned element (a skinned control, a window adapter, a form's skin
// provider, an item of a graphic control) keeps about its skin section, its skin manager, its cached image and
// the flags that say whether that image is still valid. Plain data with the values an element starts with; the
// behaviour that resolves sections, answers the library command message and repaints lives above this library.
#include <cstdint>
#include <memory>
#include <string>

#include "skin/pixels/bitmap.h"
#include "skin/pixels/colors.h"
#include "skin/data/sskinmanager.h"

namespace gui {
class TObject;
class TControl;
}  // namespace gui

namespace skin {

class TsSkinManager;
class TacThreadedTimer;  // the animation timer (skin/timer/acthdtimer.h)
class TsSkinDataOwner;   // what the data asks of its owner (commondata.h)
struct TsCommonData;

// Control kinds that carry behaviour in the painters and the skin data (the number a creator gives its data).
inline constexpr int32_t ckListView = 10;
inline constexpr int32_t ckCheckBox = 32;
inline constexpr int32_t ckSpeedButton = 92;
inline constexpr int32_t ckButton = 93;
inline constexpr int32_t ckBitBtn = 94;
inline constexpr int32_t ckFormProvider = 224;
inline constexpr int32_t ckSelfMadeEdit = 231;

// CtrlState bits.
inline constexpr uint16_t csTransparent = 0x0001;   // the background comes from the parent
inline constexpr uint16_t csUndecided = 0x0002;     // transparency not computed yet
inline constexpr uint16_t csPrinting = 0x0200;      // being printed into PrintDC
inline constexpr uint16_t csInUpdate = 0x0800;      // between BeginUpdate and EndUpdate
inline constexpr uint16_t csSettingFont = 0x2000;   // the library itself sets the owner's font colour

// Visibility of a control's outer effect.
enum TacOuterVisibility : uint8_t { ovNone = 0, ovAlways = 1 };

struct TacOuterEffects {
  TsCommonData* Owner = nullptr;
  TacOuterVisibility Visibility = ovNone;
};

// Scroll-bar sizes of one direction; -1 = take the size from the skin or the system.
struct TacScrollData {
  int32_t ScrollWidth = -1;
  int32_t ButtonsSize = -1;
  TsCommonData* Owner = nullptr;
};

// How a skin data's animation timer and glow are released when the skin data goes. The layers that make timers
// and glows set these when they make the first one (before, a skin data has neither).
struct TsCommonDataReleasers {
  void (*AnimTimer)(TacThreadedTimer*& Timer) = nullptr;
  void (*Glow)(int32_t& GlowID) = nullptr;
};
inline TsCommonDataReleasers& CommonDataReleasers() {
  static TsCommonDataReleasers releasers;
  return releasers;
}

struct TsCommonData {
  TsCommonData() { OuterEffects.Owner = this; }
  // The animation timer and the glow go with the skin data.
  virtual ~TsCommonData() {
    if (AnimTimer != nullptr && CommonDataReleasers().AnimTimer != nullptr) CommonDataReleasers().AnimTimer(AnimTimer);
    if (GlowID >= 0 && CommonDataReleasers().Glow != nullptr) CommonDataReleasers().Glow(GlowID);
  }
  TsCommonData(const TsCommonData&) = delete;
  TsCommonData& operator=(const TsCommonData&) = delete;

  uint8_t CustomFont = 0;              // the owner's font colour is the user's, never set from the skin
  uint8_t CustomColor = 0;             // the owner's colour is the user's, never set from the skin
  std::unique_ptr<Bitmap> OuterBmp;    // scratch image of an outer effect
  std::string SkinSection;             // section name, upper case
  int32_t UpdateCount = 0;             // nesting depth of the update lock
  TacOuterEffects OuterEffects;
  uint8_t Focused = 0;                 // 1 after the owner got the focus
  uint8_t Updating = 0;                // repaint pending
  uint8_t MouseAbove = 0;
  uint8_t PaintSkipped = 1;            // the owner's last paint was incomplete
  uint8_t RepaintBlocked = 1;          // 1 until the owner finished loading
  int32_t ControlKind = 0;
  int32_t GlowID = -1;                 // the owner's glow window, -1 = none
  int32_t TextureIndex = -1;           // PATTERN image
  int32_t SkinIndex = -1;              // the section of SkinSection, -1 = not in the skin
  int32_t HUEOffset = 0;
  int32_t Saturation = 0;
  int32_t BorderIndex = -1;            // BORDERSMASK image
  int32_t HotTextureIndex = -1;        // HOTPATTERN image
  void* PrintDC = nullptr;             // the outside device context while printing
  std::unique_ptr<Bitmap> CacheBmp;    // the owner's cached skinned image (32-bit)
  TColor ColorTone = clNone;
  void* WndHandle = nullptr;           // the window of an owner that is not a windowed control
  gui::TObject* OwnerObject = nullptr; // control, adapter or provider
  gui::TControl* OwnerControl = nullptr;  // the owner when it is a control
  TsSkinManager* FSkinManager = nullptr;  // nullptr: the default manager
  TacThreadedTimer* AnimTimer = nullptr;  // state-change or glow fade timer (owned; released with the data)
  uint8_t Animating = 0;               // a state-change animation was started and not stopped yet
  uint16_t FillFlags = 0;
  uint16_t CtrlState = csUndecided;
  bool BGChanged = true;               // the cached image is stale
  // Answers about the owner (focus, parent, colours, ...); nullptr: taken from OwnerControl, OwnerObject and
  // WndHandle. Not owned.
  TsSkinDataOwner* Owner = nullptr;

  // The manager that serves the owner: its own, else the application's default one (nullptr when neither).
  TsSkinManager* SkinManager() const { return FSkinManager ? FSkinManager : DefaultManager(); }
};

// Skin data of a control with scroll bars.
struct TsScrollWndData : TsCommonData {
  TsScrollWndData() {
    VertScrollData.Owner = this;
    HorzScrollData.Owner = this;
  }
  TacScrollData HorzScrollData;
  TacScrollData VertScrollData;
};

// Skin data that publishes its colour adjustments (no data of its own).
struct TsCtrlSkinData : TsCommonData {};

}  // namespace skin
