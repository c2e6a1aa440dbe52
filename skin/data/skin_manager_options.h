#pragma once
// The settings that the skin manager carries in small objects of its own and that painters and adapters read
// directly: effects, animations, scroll-bar, button and label options, the general options, the lists of
// foreign control classes to skin, and the collection of stored skins whose packed bytes travel with the
// program. Plain values with their defaults; the setters that act on a change (repaints, broadcasts) belong to
// the manager.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "skin/data/streams.h"
#include "skin/data/thirdpartyconsts.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/colors.h"

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

// The Boolean options by index (one getter and one setter serve all five).
enum TacOptionFlag : int {
  ofCheckEmptyAlpha = 0,
  ofNoMouseHover = 1,
  ofNativeBordersMaximized = 2,
  ofStdGlyphsOrder = 3,
  ofChangeSysColors = 4,
};
// The Boolean options by index: 0 CheckEmptyAlpha, 1 NoMouseHover, 2 NativeBordersMaximized, 3 StdGlyphsOrder,
// 4 ChangeSysColors; False for any other index.
inline bool SkinOptionFlag(const TacOptions& options, int index) {
  switch (index) {
    case ofCheckEmptyAlpha: return options.CheckEmptyAlpha;
    case ofNoMouseHover: return options.NoMouseHover;
    case ofNativeBordersMaximized: return options.NativeBordersMaximized;
    case ofStdGlyphsOrder: return options.StdGlyphsOrder;
    case ofChangeSysColors: return options.ChangeSysColors;
    default: return false;
  }
}
// Stores the Boolean of that index; nothing for any other index.
void SetSkinOptionFlag(TacOptions& options, int index, bool value);

// The lists of foreign control classes to skin: one text per category (class names, one per line), indexed by
// the category order of thirdpartyconsts.h.
enum TacThirdPartyCategory : int {
  tpEdits = 0, tpButtons, tpBitBtns, tpCheckBoxes, tpComboBoxes, tpGrids, tpGroupBoxes, tpListViews, tpPanels,
  tpTreeViews, tpWWEdits, tpGridEh, tpVirtualTrees, tpPageControl, tpTabControl, tpToolBar, tpStatusBar,
  tpSpeedButton, tpScrollControl, tpUpDown, tpScrollBar, tpStaticText, tpNativePaint, tpTrackBar,
};
struct ThirdPartyList {
  std::array<std::string, ThirdPartyCategoryCount> Texts{};

  std::string& operator[](int category) { return Texts[size_t(category)]; }
  const std::string& operator[](int category) const { return Texts[size_t(category)]; }
};

// A font as the manager's settings store it.
struct TacFontSpec {
  std::string Name = "Tahoma";
  int32_t Height = -11;
  bool Italic = false;
  uint8_t Charset = 1;  // DEFAULT_CHARSET
  TColor Color = clSystemColor | 8;  // clWindowText
  bool Bold = false;
  bool Underline = false;
  bool StrikeOut = false;
};

// The settings of the skinned menus: the menus' opacity, the section painted under the glyph column of popups,
// and the optional extra line beside popup menus (its width and font). (The menus themselves are painted by the
// skinned menus.)
struct TacMenuSupport {
  uint8_t AlphaBlend = 255;
  std::string IcoLineSkin;
  bool UseExtraLine = false;
  int32_t ExtraLineWidth = 32;
  TacFontSpec ExtraLineFont;
};

// Which windows the manager skins (a set).
using TacSkinningRules = uint8_t;
inline constexpr TacSkinningRules srStdForms = 1, srStdDialogs = 2, srThirdParty = 4;

class TsSkinManager;

// A skin stored with the program: its name, a few general values and its packed container ("Data").
class TsStoredSkin {
 public:
  TsStoredSkin();
  TsStoredSkin(const TsStoredSkin&) = delete;
  TsStoredSkin& operator=(const TsStoredSkin&) = delete;

  // The Data, the bitmap and every property of another stored skin.
  void Assign(const TsStoredSkin& source);

  std::string Name;
  Bitmap MasterBitmap;
  TColor Shadow1Color = 0;
  int32_t Shadow1Offset = 0;
  int32_t Shadow1Blur = -1;
  int32_t Shadow1Transparency = 0;
  TColor BorderColor = clFuchsia;
  double Version = 0.0;
  std::string Author;
  std::string Description;
  // The packed container of the skin (written and read as raw bytes). A load reads it in place.
  TMemoryStream Data;
};

// The stored skins of a manager (its InternalSkins), in order.
class TsStoredSkins {
 public:
  explicit TsStoredSkins(TsSkinManager* owner = nullptr) : owner_(owner) {}
  TsStoredSkins(const TsStoredSkins&) = delete;
  TsStoredSkins& operator=(const TsStoredSkins&) = delete;

  TsSkinManager* GetOwner() const { return owner_; }
  int Count() const { return int(items_.size()); }
  TsStoredSkin& operator[](int index) { return *items_[size_t(index)]; }
  const TsStoredSkin& operator[](int index) const { return *items_[size_t(index)]; }
  // A new stored skin at the end.
  TsStoredSkin& Add();
  void Delete(int index);
  void Clear();
  // The index of the first stored skin whose Name equals the name exactly (case-sensitive); -1 when none.
  int IndexOf(std::string_view name) const;
  // Tells the owner that the list changed (its OnSkinListChanged).
  void Update();
  // Does nothing: stored skins are not copied from another collection.
  void Assign(const TsStoredSkins&) {}

 private:
  TsSkinManager* owner_;
  std::vector<std::unique_ptr<TsStoredSkin>> items_;
};

}  // namespace skin
