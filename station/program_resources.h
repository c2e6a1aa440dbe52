#pragma once
// The program's own resources that the skinning library reads: the packed data of the stored skins of the main
// window's skin manager, the standard extended-border shadows "acSHDA" and "acSHDI" (PNG), and the bitmaps
// "BLUR5" and "MENUBTN". In the Windows program they are resources of station.exe (RCDATA and BITMAP); the
// native build carries the same bytes compiled in.
#include <cctype>
#include <string>
#include <string_view>

#include "skin/data/sskinmanager.h"

namespace station {

// The resource name of a stored skin: "SKIN_" followed by the letters and digits of its name before
// " (internal)", upper-cased ("Spring Willow (internal)" gives "SKIN_SPRINGWILLOW").
inline std::string StoredSkinResourceName(std::string_view skinName) {
  const size_t cut = skinName.find(" (internal)");
  std::string r = "SKIN_";
  for (char c : skinName.substr(0, cut))
    if (std::isalnum(static_cast<unsigned char>(c))) r += char(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

// The bytes of an RCDATA resource of the program; empty when it has none of that name.
std::string_view ProgramResourceData(std::string_view name);
// A BITMAP resource of the program as the bytes of a bitmap file; empty when it has none of that name.
std::string ProgramBitmapResource(std::string_view name);
// The packed data of one of the program's stored skins (by its exact name); empty for any other name.
std::string_view StoredSkinData(std::string_view skinName);

// The main window's skin manager as its stored definition gives it, its stored skins filled from the program's
// resources.
void ReadProgramSkinManagerWithResources(skin::TsSkinManager& manager);

}  // namespace station
