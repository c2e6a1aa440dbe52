#pragma once
// Loading a skin into the tables of a skin manager: the skin's description ("Options.dat", an INI text) and
// its images, from a skin directory, from a packed container (a ".asz" file or a stored skin's data) or from
// an options text received from a skin editor.
//
// Values of the description that name images (positions count from 1; numbers are decimal):
//   @LLLL@TTTT@RRRR@BBBB@C@M                      a glyph cut from the master image
//   ^LLLL^TTTT^RRRR^BBBB^WWWW^XXXX^YYYY^ZZZZ^C^M^D^B  a bordered mask cut from the master image
//   ~LLLL~TTTT~RRRR~BBBB~DD~M[~FILE]               a texture cut from the master image (or from FILE)
//   !FILE.EXT!C!M!K[!WL!WT!WR!WB[!D]]              an image in a file of its own
//   any value holding ".JPG" or ".BMP"             a texture in a file of its own
// (L, T, R, B: rectangle; W..Z: border widths; C: image count; M: mask type; D: draw mode; B: common border
// width; K: image kind.) File names are matched without regard to letter case, on disk and in containers.
//
// The manager's LoadSkin and LoadPackedSkin (declared in sskinmanager.h) are defined with this file.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "skin/data/generalutils.h"
#include "skin/pixels/geometry.h"

namespace skin {

// The skin's GLOBALINFO VERSION with '.' as the decimal separator whatever the locale; 0 when absent.
double SkinManagerReadSkinVersion(const IniSource& Ini);

// The decimal number of Length characters from Position (1-based) of Text; EConvertError when that part is not a
// number (a part beyond the text's end is empty, so not a number).
int32_t SubstringToInt(std::string_view Text, int Position, int Length);
// A rectangle of four 4-digit numbers at Position, Position + 5, + 10 and + 15.
TRect RectFromString(std::string_view Text, int Position);
// The N-th word (1-based) as a number; 0 when it is missing or not a number.
int32_t ExtractWordInt(int N, std::string_view Text, const TCharSet& Separators);

// The texts of the load's messages.
inline constexpr std::string_view SOldSkinVersionStart = "You are using an old version of the ";
inline constexpr std::string_view SOldSkinVersionAdvice =
    "Please, update skins to latest or contact the skin library support for upgrading of existing skin.";
inline constexpr std::string_view SOldSkinVersionDesignTime =
    "This notification occurs in design-time only for your information and will not occur in real-time.";
inline constexpr std::string_view SNewSkinVersion1 =
    "This version of the skin have not complete support by used skin library package release.";
inline constexpr std::string_view SNewSkinVersion2 =
    "Components must be updated up to latest version for using this skin.";
// "Internal format error in the "NAME" skin. Please, update this skin to latest version."
std::string InternalFormatErrorText(std::string_view SkinName);
// "The "NAME" skin cannot be used: " and the reason: the load error of a skin that could not be drawn as a skin.
std::string SkinRefusedText(std::string_view SkinName, std::string_view Reason);
// The reason of a refusal that one value of the description gives: "its key KEY of section [SECTION] has the
// value "VALUE", " and what is wrong with it.
std::string SkinValueRefusedText(std::string_view SkinName, std::string_view Section, std::string_view Key,
                                 std::string_view Value, std::string_view What);

// The size keys of a description: pixel measures of the frame, the caption and its buttons, glows, shadows and
// outer effects, each with the range of values that the frame painters and the title-bar layout can draw. Real
// skins stay well inside (captions of 18 to 60 pixels, frames and margins of a few pixels to a few tens); a
// value outside (2147483647, -2147483648, a caption taller than a dialog) would push the caption, its buttons or
// the client area out of the window, so the skin is refused like one whose master image is damaged.
struct SkinSizeKey {
  std::string_view Section;  // "GLOBALINFO", or empty: the key in any other section
  std::string_view Key;
  int32_t Min, Max;
};
std::span<const SkinSizeKey> SkinSizeKeys();
// The bound of a key of a section; nullptr when it is no size key.
const SkinSizeKey* FindSkinSizeKey(std::string_view Section, std::string_view Key);
// The title-button images of GLOBALINFO (close, maximize, restore, minimize, help in both sizes, and the user
// title button's): one that lies outside its bitmap, or whose states hold no pixel, would leave the caption
// without that button, so the skin is refused.
bool IsTitleButtonKey(std::string_view Section, std::string_view Key);

// What one load may take. The images of a skin (its master image and its image files) hold at most
// MaxSkinImagePixels pixels together: an image beyond what is left is left out like a damaged one (a master
// image refuses the skin). The key-colour corners of image records are looked for over at most
// MaxCornerScanPixels pixels; records beyond get corners that may hold key pixels.
inline constexpr int64_t MaxCornerScanPixels = int64_t{1} << 24;

// Versions below the first get a notice at design time (or with the "/actest" switch); versions above the
// second a warning.
inline constexpr double OldestFullSkinVersion = 7.45;
inline constexpr double NewestKnownSkinVersion = 10.99;

}  // namespace skin
