#pragma once
// The skin manager of the program's main window as its stored definition gives it: the options it is stored
// with and its eight stored skins. The skins' packed data are filled in elsewhere; until then they are empty
// and load as empty skins.
#include <array>
#include <string_view>

#include "skin/engine/sskinmanager.h"

namespace skin {

// The stored skins, in their stored order.
inline constexpr std::array<std::string_view, 8> ProgramStoredSkinNames = {
    "Topaz (internal)",         "MacMetal (internal)", "Opus (internal)", "Snow Leopard (internal)",
    "Spring Willow (internal)", "Vienna Ext (internal)", "Zest (internal)", "Lucky (internal)"};
inline constexpr std::string_view ProgramSkinName = "Spring Willow (internal)";

// Reads the stored definition into a new manager, as the main window's definition is read: the properties in
// their stored order (the skin is loaded when its name is read), then Loaded, which applies the skin.
void ReadProgramSkinManager(TsSkinManager& Manager);

}  // namespace skin
