#include "skin/data/libstrings.h"

namespace skin {

const std::array<LibraryText, LibraryTextCount> LibraryTextTable = {{
    {sidOK, "OK"},
    {sidCancel, "Cancel"},
    {sidHelp, "&Help"},
    {sidRestore, "Restore"},
    {sidMove, "Move"},
    {sidSize, "Size"},
    {sidMinimize, "Minimize"},
    {sidMaximize, "Maximize"},
    {sidClose, "Close"},
    {sidCalculator, "Calculator"},
    {sidFileOpen, "File open"},
    {sidAvailSkins, "Available skins"},
    {sidInternal, "(internal)"},
    {sidErrorSettingCount, "Error setting %s.Count"},
    {sidListBoxMustBeVirtual, "Listbox (%s) style must be virtual in order to set Count"},
    {sidAddToCustomColors, "Add to custom colors set"},
    {sidDefineColors, "Define colors"},
    {sidMainPalette, "Main palette :"},
    {sidAdditionalColors, "Additional colors :"},
    {sidColorCaption, "Color"},
    {sidRed, "Red :"},
    {sidGreen, "Green :"},
    {sidBlue, "Blue :"},
    {sidDecimal, "Decimal - "},
    {sidHex, "Hex - "},
    {sidFrameAdapterPlacement, "TsFrameAdapter adapter must be placed on the handled frame"},
    {sidHintDesignerForm, "Hint Designer Form"},
    {sidPreservedSettings, "Preserved settings :"},
    {sidStyle, "Style :"},
    {sidBevelWidth, "Bevel width"},
    {sidBlur, "Blur"},
    {sidArrowLength, "Arrow length"},
    {sidHorizMargin, "Horiz. margin"},
    {sidVertMargin, "Vert. margin"},
    {sidCornersRadius, "Corners radius"},
    {sidMaxWidth, "Max width"},
    {sidPauseHide, "Pause hide (ms)"},
    {sidPercent, "Percent"},
    {sidOffset, "Offset"},
    {sidTransparency, "Transparency"},
    {sidNoPicture, "No picture available"},
    {sidFont, "Font"},
    {sidTexture, "Texture"},
    {sidLoadFromFile, "Load from file"},
    {sidSaveToFileAs, "Save to file as..."},
    {sidColor, "Color"},
    {sidTopBorder, "Top border"},
    {sidBottomBorder, "Bottom border"},
    {sidShadow, "Shadow"},
    {sidBackground, "Background"},
    {sidGradient, "Gradient"},
    {sidHintPreview, "Preview of the future hint window"},
    {sidSelectDirectory, "Select directory"},
    {sidCreate, "Create"},
    {sidInvalidDate, "Invalid date"},
}};

std::string_view BuiltInLibraryText(uint16_t id) {
  for (const LibraryText& t : LibraryTextTable)
    if (t.Id == id) return t.Text;
  return {};
}

void LibraryStrings::Load(SkinSystem& system, const std::function<std::string(uint16_t)>& source) {
  for (size_t i = 0; i < LibraryTextTable.size(); ++i) {
    const uint16_t id = LibraryTextTable[i].Id;
    texts_[i] = source ? source(id) : std::string(LibraryTextTable[i].Text);
    if (id == sidInvalidDate && texts_[i].empty()) texts_[i] = "Invalid date";
  }
  AcWinVersion = AcWinVersionOf(system.Version());
  AcHScrollArrowWidth = system.HScrollArrowWidth();
}

const std::string& LibraryStrings::Text(uint16_t id) const {
  static const std::string empty;
  for (size_t i = 0; i < LibraryTextTable.size(); ++i)
    if (LibraryTextTable[i].Id == id) return texts_[i];
  return empty;
}

}  // namespace skin
