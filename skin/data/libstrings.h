#pragma once
// The library's user-visible texts (captions of skinned dialogs and system menus, the colour and hint
// dialogs, the stored-skin suffix) and the system values read once at start-up.
//
// Each text has a fixed id; LibraryStrings holds the texts of one program, loaded once from a source of
// texts by id (the built-in table unless another source is given).
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "skin/data/generalutils.h"

namespace skin {

// Text ids, in the order in which the texts are loaded.
enum LibraryTextId : uint16_t {
  sidOK = 58992,
  sidCancel = 58991,
  sidHelp = 58990,
  sidRestore = 58981,
  sidMove = 58980,
  sidSize = 58979,
  sidMinimize = 58978,
  sidMaximize = 58977,
  sidClose = 58976,
  sidCalculator = 58975,
  sidFileOpen = 58970,
  sidAvailSkins = 58964,
  sidInternal = 58963,
  sidErrorSettingCount = 58962,
  sidListBoxMustBeVirtual = 58961,
  sidAddToCustomColors = 58960,
  sidDefineColors = 58959,
  sidMainPalette = 58958,
  sidAdditionalColors = 58957,
  sidColorCaption = 58956,
  sidRed = 58955,
  sidGreen = 58954,
  sidBlue = 58953,
  sidDecimal = 58952,
  sidHex = 58951,
  sidFrameAdapterPlacement = 58950,
  sidHintDesignerForm = 58949,
  sidPreservedSettings = 58948,
  sidStyle = 58947,
  sidBevelWidth = 58946,
  sidBlur = 58945,
  sidArrowLength = 58944,
  sidHorizMargin = 58943,
  sidVertMargin = 58942,
  sidCornersRadius = 58941,
  sidMaxWidth = 58940,
  sidPauseHide = 58939,
  sidPercent = 58938,
  sidOffset = 58937,
  sidTransparency = 58936,
  sidNoPicture = 58935,
  sidFont = 58934,
  sidTexture = 58933,
  sidLoadFromFile = 58932,
  sidSaveToFileAs = 58931,
  sidColor = 58930,
  sidTopBorder = 58929,
  sidBottomBorder = 58928,
  sidShadow = 58927,
  sidBackground = 58926,
  sidGradient = 58925,
  sidHintPreview = 58924,
  sidSelectDirectory = 58911,
  sidCreate = 58910,
  sidInvalidDate = 58923,
};

struct LibraryText {
  uint16_t Id;
  std::string_view Text;
};

constexpr int LibraryTextCount = 55;
// The built-in texts, in loading order.
extern const std::array<LibraryText, LibraryTextCount> LibraryTextTable;
// The built-in text of an id; empty for an unknown id.
std::string_view BuiltInLibraryText(uint16_t id);

// AcWinVersion: the major version, except that Windows 6.2 counts as 8.
constexpr int32_t AcWinVersionOf(WindowsVersion v) {
  return (v.Major == 6 && v.Minor == 2) ? 8 : int32_t(v.Major);
}

class LibraryStrings {
 public:
  // Loads every text (from `source` by id when given, else the built-in table), then the start-up values
  // of the system seam. An empty text for "Invalid date" becomes "Invalid date".
  void Load(SkinSystem& system = systemSkinSystem(),
            const std::function<std::string(uint16_t)>& source = std::function<std::string(uint16_t)>());

  // The loaded text of an id; empty for an id that is not a library text.
  const std::string& Text(uint16_t id) const;

  int32_t AcWinVersion = 0;
  int32_t AcHScrollArrowWidth = 0;

 private:
  std::array<std::string, LibraryTextCount> texts_{};
};

}  // namespace skin
