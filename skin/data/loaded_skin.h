#pragma once
// The loaded skin: the in-memory tables that the skin manager fills when it loads a skin and that every painter
// reads: the section array (each section with a normal and a hot state block), the image array, the master image,
// the colour table, the general data of the GLOBALINFO section and the cache of often-used indexes; with the
// look-ups that follow a section's PARENTCLASS.
//
// Indexes are 32-bit signed, -1 meaning none. Look-ups by name are exact and case-sensitive.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "skin/pixels/bitmap.h"
#include "skin/pixels/colors.h"
#include "skin/pixels/geometry.h"
#include "skin/data/generalutils.h"
#include "skin/data/gradient_step.h"
#include "skin/data/maskdata.h"

namespace skin {

class TsSkinManager;

// How a section looks in one state (row 0 keys for the normal state, row 1 keys, HOT..., for the hot state).
struct SkinStateBlock {
  int32_t GradientSize = 0;       // GSIZE
  int32_t ImagePercent = 0;       // IMAGEPERCENT: share of the texture, 0..100
  int32_t TextureIndex = -1;      // the PATTERN (HOTPATTERN) image
  int32_t Transparency = 0;       // TRANSPARENCY: share of the parent background, percent
  int32_t GradientPercent = 0;    // GRADIENTPERCENT: share of the gradient
  TColor Color = 0xFFFFFF;        // COLOR: background colour
  TColor GradientColor = 0xFFFFFF;  // GCOL
  TColor FontColor = 0;           // FONTCOLOR
  TColor ContourLeft = -1;        // TCLEFT ... TCBOTTOM: text outline colours, -1 none
  TColor ContourTop = -1;
  TColor ContourRight = -1;
  TColor ContourBottom = -1;
  std::string GradientData = " ";  // GRADIENTDATA as written
  GradientStepArray GradientSteps;  // parsed from GradientData when it is longer than 2 characters
  friend bool operator==(const SkinStateBlock&, const SkinStateBlock&) = default;
};

// The keys of the two state blocks, in table order (row 0 normal, row 1 hot).
extern const std::array<std::array<std::string_view, 12>, 2> StateKeyNames;

// One section of the skin.
struct SkinSectionRecord {
  std::string ParentName;         // PARENTCLASS; empty when none
  std::string SectionName;
  SkinStateBlock NormalState;
  SkinStateBlock HotState;        // a copy of the normal state when States is 1 or less
  bool GiveOwnFont = false;
  bool ReservedBoolean = false;
  int32_t States = 3;             // number of states painted, at most 255
  int32_t BorderKind = -2;        // -2 no BORDERSMASK; EDIT/ALPHAEDIT: -1 when its four border widths are 1; else 0
  int32_t GlowSize = 0;           // GLOW, 0 = no glow
  int32_t GlowMargin = 0;
  int32_t BorderIndex = -1;       // BORDERSMASK image
  int32_t ImgTopLeft = -1;
  int32_t ImgTopRight = -1;
  int32_t ImgBottomLeft = -1;
  int32_t ImgBottomRight = -1;
  int32_t TextureIndex = -1;      // PATTERN texture
  int32_t OuterMode = 2;
  TRect OuterOffsets;             // OUTOFFSL, OUTOFFST, OUTOFFSR, OUTOFFSB
  int32_t OuterMask = -1;
  int32_t OuterOpacity = 200;     // at most 255
  friend bool operator==(const SkinSectionRecord&, const SkinSectionRecord&) = default;
};

// The state count of a section as painters use it: at least 1.
inline int32_t SectionStateCount(const SkinSectionRecord& s) { return s.States < 1 ? 1 : s.States; }
// A painter's state clamped to the section's last state, then to the two blocks that exist (0 normal, 1 hot).
inline int32_t ClampSectionState(const SkinSectionRecord& s, int32_t state) {
  if (state > SectionStateCount(s) - 1) state = SectionStateCount(s) - 1;
  if (state > 1) state = 1;
  return state < 0 ? 0 : state;
}
inline const SkinStateBlock& SectionStateBlock(const SkinSectionRecord& s, int32_t state) {
  return ClampSectionState(s, state) == 0 ? s.NormalState : s.HotState;
}

// One image of the skin: a part of the master image, or a bitmap of its own.
struct SkinImageRecord {
  std::shared_ptr<skin::Bitmap> Bitmap;  // own bitmap (an image file); none: the image lies in the master image
  std::string SectionName;
  std::string KeyName;            // BORDERSMASK, GLYPHMASK, PATTERN, HOTPATTERN, IMGTOPLEFT, BICONCLOSE, ...
  TRect SourceRect;               // place in the master image, or the whole own bitmap
  int16_t ImageCount = 1;         // states side by side
  int16_t MaskType = 0;           // -1 no frame, 0 one frame, 1 image and mask, n: n + 1 frames
  int16_t CommonBorderWidth = 0;
  uint16_t DrawMode = 0;          // fill and stretch mode for the painters
  uint8_t ImageKind = 0;          // 0 outer-shadow mask, 1 texture, 2 glyph or bordered mask
  TsSkinManager* Manager = nullptr;
  int16_t BorderLeft = 0;
  int16_t BorderTop = 0;
  int16_t BorderRight = 0;
  int16_t BorderBottom = 0;
  int32_t TransparentFlag = 0;    // 2: BUTTON_HUGE BORDERSMASK; 1: key colour in a corner of the first state
  int32_t SectionIndex = -1;
};

// ImageStateWidth, ImageFrameHeight and ImageStateSize of an image record: skin/data/maskdata.h.

// Entries of the colour table.
enum SkinColorEntry : int {
  scMainColor = 0,
  scMainFontColor = 1,
  scBottomContour = 2,
  scTopContour = 3,
  scEditText = 4,
  scEditBackground = 5,
  scSelection = 6,
  scSelectionText = 7,
  scSelectionFocused = 8,
  scSelectionTextFocused = 9,
  scEditBgInv = 10,
  scEditTextInv = 11,
  scEditBgOdd = 12,
  scEditBgEven = 13,
  scEditTextOk = 14,
  scEditTextWarn = 15,
  scEditTextAlert = 16,
  scEditText4 = 17,
  scEditText5 = 18,
  scEditBgOk = 19,
  scEditBgWarn = 20,
  scEditBgAlert = 21,
  scEditBg4 = 22,
  scEditBg5 = 23,
  scEditTextH1 = 24,
  scEditTextH2 = 25,
  scEditTextH3 = 26,
  scBorderColor = 27,
  SkinColorCount = 28,
};
using SkinColorTable = std::array<TColor, SkinColorCount>;
// The table of a skin that gives no colour (system colours resolved).
SkinColorTable DefaultSkinColors();
class SkinSystem;
// The same, system colours resolved through that system.
SkinColorTable DefaultSkinColors(SkinSystem& System);

// An outer-shadow record of the general data (SH_ for the active window, LO_ for the inactive one).
struct SkinShadowRecord {
  std::array<TColor, 4> Colors{};       // left, top, right, bottom
  std::array<int32_t, 4> Offsets{};
  std::array<int32_t, 4> Widths{-1, -1, -1, -1};
  int32_t Opacity = 0;
  int32_t Source = 2;
  int32_t MaskIndex = -1;
  friend bool operator==(const SkinShadowRecord&, const SkinShadowRecord&) = default;
};

// The general data of the loaded skin (GLOBALINFO), owned by the manager.
struct TsSkinData {
  uint8_t Active = 0;             // 0 while loading, 1 once the skin is applied
  uint8_t Enabled = 1;
  uint8_t AeroBlur = 0;
  std::string SkinPath;           // the skin's directory with a trailing backslash; empty for a stored skin
  std::string Author;
  std::string Description;
  int32_t Shadow1Offset = 0;
  int32_t Shadow1Blur = -1;
  int32_t Shadow1Transparency = 0;
  int32_t BorderWidth = 4;
  int32_t TitleHeight = 30;
  int32_t MaxHeight = 30;         // caption height of a maximized form (the title height when not given)
  int32_t FormOffset = 4;         // the system's frame width when not given
  int32_t CenterOffset = 0;
  int32_t BorderMode = 0;
  int32_t AlignOffset = 0;
  int32_t AlignOffsetR = 0;
  int32_t AlignOffsetT = 0;
  int32_t AlignOffsetB = 0;
  int32_t BISpace = 0;
  int32_t BIVAlign = 0;
  int32_t BIRight = 0;
  int32_t BILeft = 0;
  int32_t BITop = 0;
  int32_t BIKeepHue = 0;
  int32_t BICloseGlow = 0;
  int32_t BICloseGlowMargin = 0;
  int32_t BIMaxGlow = 0;
  int32_t BIMaxGlowMargin = 0;
  int32_t BIMinGlow = 0;
  int32_t BIMinGlowMargin = 0;
  int32_t ComboMargin = 2;
  int32_t BrightMin = -50;
  int32_t BrightMax = 50;
  int32_t TabTopCovering = 0;
  int32_t RibbonTabCovering = 0;
  TColor Shadow1Color = 0;
  double Version = 0.0;
  SkinShadowRecord ActiveShadow;    // SH_
  SkinShadowRecord InactiveShadow;  // LO_
  friend bool operator==(const TsSkinData&, const TsSkinData&) = default;
};

// A section of the common-index cache: its index, the indexes of its four images and the name that was found.
struct SkinSectionEntry {
  int32_t SectionIndex = -1;
  int32_t BorderIndex = -1;       // BORDERSMASK
  int32_t GlyphIndex = -1;        // GLYPHMASK
  int32_t TextureIndex = -1;      // PATTERN
  int32_t HotTextureIndex = -1;   // HOTPATTERN
  std::string Name;
  friend bool operator==(const SkinSectionEntry&, const SkinSectionEntry&) = default;
};

// Tab sections of the cache, in this order.
enum SkinTabSection : int {
  tsLeftFirst, tsTopFirst, tsRightFirst, tsBottomFirst,
  tsLeftLast, tsTopLast, tsRightLast, tsBottomLast,
  tsLeftMiddle, tsTopMiddle, tsRightMiddle, tsBottomMiddle,
  tsLeft, tsTop, tsRight, tsBottom,
  TabSectionCount
};

// The indexes cached after every load (-1 for what the skin lacks).
struct SkinCommonIndexes {
  int32_t GlobalInfo = -1;
  int32_t BoxUnchecked = -1, BoxChecked = -1, BoxGrayed = -1;
  int32_t SmallUnchecked = -1, SmallChecked = -1, SmallGrayed = -1;
  int32_t RadioUnchecked = -1, RadioChecked = -1;
  int32_t ExBorder = -1, GripImage = -1, GripHorz = -1, GripVert = -1;
  int32_t BIConClose = -1, BICloseAlone = -1, BIConMax = -1, BIConNorm = -1, BIConMin = -1, BIConHelp = -1;
  int32_t SIConClose = -1, SIConMax = -1, SIConNorm = -1, SIConMin = -1, SIConHelp = -1;
  int32_t ComboGlyph = -1;        // COMBOBOX GLYPHMASK
  SkinSectionEntry MenuItem, ComboBtn;
  std::array<SkinSectionEntry, TabSectionCount> Tabs;
  SkinSectionEntry ScrollSliderH, ScrollSliderV;
  SkinSectionEntry ScrollBtnLeft, ScrollBtnTop, ScrollBtnRight, ScrollBtnBottom;
  // The tracks of the scroll bars: from the bar's start to the thumb's centre (1) and from there to its end (2).
  SkinSectionEntry ScrollBar1H, ScrollBar1V, ScrollBar2H, ScrollBar2V;
  SkinSectionEntry UpDownBtn;
  friend bool operator==(const SkinCommonIndexes&, const SkinCommonIndexes&) = default;
};

// A separate image file of the current skin, loaded once however many keys name it.
struct SkinImageFile {
  std::shared_ptr<skin::Bitmap> Bitmap;
  std::string FileName;           // upper case
  bool Flag = false;
};

// The look-up tables of a loaded skin: the first section of each name, and the first image (and the first texture)
// of each section and key. Made by SkinManagerIndexSkin once a skin's sections and images are complete; the
// look-ups use them only while the skin still holds the sections and images they were made for (a skin built or
// changed by hand is searched record by record).
struct SkinLookupIndex {
  bool Made = false;
  size_t SectionCount = 0;
  size_t ImageCount = 0;
  TextMap<int32_t> SectionByName;
  std::unordered_map<std::string, int32_t> ImageByKey;    // section index (4 bytes) + key name
  std::unordered_map<std::string, int32_t> TextureByKey;  // the same, textures only (ImageKind 1)
  std::vector<int32_t> Parent;  // the section each section's PARENTCLASS names, -1 none
  // Inherited image look-ups already answered, per kind and key name: for each section the image it takes (-1
  // none, -2 not yet known), so that deep PARENTCLASS chains are climbed once.
  mutable std::unordered_map<std::string, std::vector<int32_t>> Inherited;
};

// Everything of the loaded skin that the painters read.
struct LoadedSkin {
  std::vector<SkinSectionRecord> Sections;
  std::vector<SkinImageRecord> Images;
  SkinColorTable Colors = DefaultSkinColors();
  TsSkinData SkinData;
  SkinCommonIndexes CommonIndexes;
  std::shared_ptr<skin::Bitmap> MasterBitmap;  // the one big image most records are cut from
  std::vector<SkinImageFile> ImageFiles;
  TRect ShadowMargins;                         // extended-border margins (left, top, right, bottom)
  std::shared_ptr<skin::Bitmap> ActiveShadow;  // extended-border images of the active and inactive window
  std::shared_ptr<skin::Bitmap> InactiveShadow;
  SkinLookupIndex Lookup;
};

// Makes (again) the look-up tables of the skin for its present sections and images.
void SkinManagerIndexSkin(LoadedSkin& skin);

// Look-ups (the manager's, on its loaded skin).
int32_t SkinManagerGetSectionIndex(const LoadedSkin& skin, std::string_view name);
bool SkinManagerIsValidSectionIndex(const LoadedSkin& skin, int32_t index);
bool SkinManagerIsValidImageIndex(const LoadedSkin& skin, int32_t index);
// The first image record of that section and key; when none, the same search in the section named by its
// PARENTCLASS, and so on up the chain (a chain that loops ends the search).
int32_t SkinManagerGetImageIndex(const LoadedSkin& skin, int32_t sectionIndex, std::string_view keyName);
// The same, following a parent only when its name differs from sectionName, which the search then passes on.
int32_t SkinManagerGetSectionImageIndexEx(const LoadedSkin& skin, int32_t sectionIndex, std::string_view sectionName,
                                          std::string_view keyName);
// As the two above, counting only textures (ImageKind 1).
int32_t SkinManagerGetTextureIndex(const LoadedSkin& skin, int32_t sectionIndex, std::string_view keyName);
int32_t SkinManagerGetTextureIndexEx(const LoadedSkin& skin, int32_t sectionIndex, std::string_view sectionName,
                                     std::string_view keyName);
// The first record whose section name and key name both match; no inheritance.
int32_t SkinManagerGetImageIndexByName(const LoadedSkin& skin, std::string_view sectionName, std::string_view keyName);
// Appends an image record (no bitmap) and returns its index.
int32_t SkinManagerAddImage(LoadedSkin& skin, int32_t sectionIndex, std::string_view keyName, int16_t maskType,
                            uint16_t drawMode, int16_t imageCount, const TRect& rect, uint8_t imageKind,
                            std::string_view sectionName, TsSkinManager* manager = nullptr);

// Frees every image of the skin: the records, the separate image files and the master image.
void SkinManagerFreeImages(LoadedSkin& skin);
// The transparent flag of an image record: 2 for the BORDERSMASK of section BUTTON_HUGE; otherwise 1 when a
// key-colour pixel lies in one of the four corners of its first state (each corner as wide and high as the
// border on its sides, within its bitmap), else 0. A record of height 0 gives 0. With a budget, each pixel looked
// at is taken from it, and a scan that runs out of it gives 1 (corners that may hold key pixels, which paints the
// same as corners that hold none).
int32_t SkinImageTransparentFlag(const LoadedSkin& skin, const SkinImageRecord& image, int64_t* budget = nullptr);
// The image indexes of every section but GLOBALINFO (border mask, outer mask, corners, textures of both
// states) and its BorderKind.
void SkinManagerReadSectionImages(LoadedSkin& skin);
// Fills the cache of often-used indexes, then reads the section images.
void SkinManagerCacheCommonIndexes(LoadedSkin& skin);

// Colours of the table.
TColor SkinManagerGlobalColor(const LoadedSkin& skin);
TColor SkinManagerGlobalFontColor(const LoadedSkin& skin);
TColor SkinManagerEditColor(const LoadedSkin& skin);
TColor SkinManagerEditFontColor(const LoadedSkin& skin);
TColor SkinManagerHighlightColor(const LoadedSkin& skin, bool focused);
TColor SkinManagerHighlightFontColor(const LoadedSkin& skin, bool focused);

// Border widths of an image: its own width on that side when above 0, else CommonBorderWidth when at least 1, else
// one state's width (left, right) or one frame's height (top, bottom). 0 for an invalid index.
int32_t SkinMaskBorderLeft(const LoadedSkin& skin, int32_t imageIndex);
int32_t SkinMaskBorderTop(const LoadedSkin& skin, int32_t imageIndex);
int32_t SkinMaskBorderRight(const LoadedSkin& skin, int32_t imageIndex);
int32_t SkinMaskBorderBottom(const LoadedSkin& skin, int32_t imageIndex);

// Pixels of one state, of the whole image and of one frame of an image; 0 for an invalid index.
int32_t SkinImageStateWidth(const LoadedSkin& skin, int32_t imageIndex);
int32_t SkinImageWidth(const LoadedSkin& skin, int32_t imageIndex);
int32_t SkinImageHeight(const LoadedSkin& skin, int32_t imageIndex);
// The bitmap that holds an image's pixels: its own, else the master image; nullptr when neither exists.
const skin::Bitmap* SkinImageBitmap(const LoadedSkin& skin, const SkinImageRecord& image);

}  // namespace skin
