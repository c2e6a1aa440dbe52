#pragma once
// The settings that the skin manager carries in small objects of its own and that painters and adapters read
// directly: effects, animations, scroll-bar, button and label options, and the general options. Plain values with
// their defaults; the setters that act on a change (repaints, broadcasts) belong to the manager.
#include <cstdint>

namespace skin {

// Effects.
struct TacSkinEffects {
  bool AllowAeroBluring = true;
  bool AllowGlowing = true;
  bool AllowOuterEffects = false;
  bool DiscoloredGlyphs = false;
};

enum TacAnimType : uint8_t { atFading = 0, atAero = 1 };

// Base of the animation settings.
struct TacFormAnimation {
  uint16_t Time = 0;  // ms
  bool Active = true;
  TacAnimType Mode = atAero;
};
struct TacBlendOnMoving : TacFormAnimation {
  uint8_t BlendValue = 170;
  TacBlendOnMoving() { Active = false; Time = 1000; }
};
struct TacMinimizing : TacFormAnimation {
  TacMinimizing() { Time = 120; }
};
struct TacSkinChanging : TacFormAnimation {
  TacSkinChanging() { Time = 100; Mode = atFading; }
};
using TacFormShow = TacFormAnimation;
using TacFormHide = TacFormAnimation;
using TacDialogShow = TacFormAnimation;
using TacPageChange = TacFormAnimation;

// Button events that animate (a set).
using TacBtnEvents = uint8_t;
inline constexpr TacBtnEvents beMouseEnter = 1, beMouseLeave = 2, beMouseDown = 4, beMouseUp = 8;
struct TacBtnEffects {
  TacBtnEvents Events = beMouseEnter | beMouseLeave | beMouseDown | beMouseUp;
};

struct TacAnimEffects {
  TacBlendOnMoving BlendOnMoving;
  TacBtnEffects Buttons;
  TacDialogShow DialogShow;
  TacFormShow FormShow;
  TacFormHide FormHide;
  TacFormHide DialogHide;
  TacMinimizing Minimizing;
  TacPageChange PageChange;
  TacSkinChanging SkinChanging;
};

struct TacScrollBarsSupport {
  int32_t ScrollSize = -1;   // -1: the system's scroll-bar width
  int32_t ButtonsSize = -1;  // -1: automatic
};

struct TacButtonsSupport {
  bool ShowFocusRect = true;
  bool ShiftContentOnClick = true;
};

struct TacLabelsSupport {
  bool TransparentAlways = true;
};

enum TacOptimizingPriority : uint8_t { opSpeed = 0, opMemory = 1 };

struct TacOptions {
  bool NoMouseHover = false;
  bool StdGlyphsOrder = false;
  bool ChangeSysColors = false;
  bool CheckEmptyAlpha = false;
  bool NativeBordersMaximized = false;
  TacOptimizingPriority OptimizingPriority = opSpeed;
};

// The Boolean options by index: 0 CheckEmptyAlpha, 1 NoMouseHover, 2 NativeBordersMaximized, 3 StdGlyphsOrder,
// 4 ChangeSysColors; False for any other index.
inline bool SkinOptionFlag(const TacOptions& options, int index) {
  switch (index) {
    case 0: return options.CheckEmptyAlpha;
    case 1: return options.NoMouseHover;
    case 2: return options.NativeBordersMaximized;
    case 3: return options.StdGlyphsOrder;
    case 4: return options.ChangeSysColors;
    default: return false;
  }
}

}  // namespace skin
