#pragma once
// The skin generator's entry points: one skin from its theme, all eight, and the program's own resources that
// the skinning library reads (the standard extended-border shadows, the blur image, the title-bar menu glyph and
// the program's icon).
#include <string>
#include <vector>

#include "skin/data/packedskin.h"
#include "tools/skingen/skinbuilder.h"
#include "tools/skingen/theme.h"

namespace skingen {

struct GeneratedSkin {
  const Theme* theme = nullptr;
  std::vector<skin::PackedSkinMember> members;  // "Options.dat" first
  std::string packed;                           // the packed container of the members
  SkinBuilder builder;                          // what was written (sections, image entries, master)
};

// Draws and writes one skin.
GeneratedSkin GenerateSkin(const Theme& theme);
// All eight, in their stored order.
std::vector<GeneratedSkin> GenerateAllSkins();

struct ProgramResource {
  std::string name;   // resource name ("acSHDA", "BLUR5", ...)
  std::string type;   // "RCDATA", "BITMAP" or "ICON"
  std::string file;   // file name written
  std::string bytes;  // the file
};
// The program's standard extended-border shadow (active or inactive) and its icon at a size.
Image StandardShadowImage(bool active);
Image ProgramIcon(int size);

// The resources of the program besides the stored skins.
std::vector<ProgramResource> GenerateProgramResources();

}  // namespace skingen
