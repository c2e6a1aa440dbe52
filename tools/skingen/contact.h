#pragma once
// The contact sheet of a generated skin, for review: a sample window composed of the skin's parts, and every
// section and global image in each of its states (normal, hot, pressed, default or active where they apply,
// and the disabled look), drawn by a small compositor of the generator's own from the generated images: masks
// cut into states, key-colour pixels shown as transparent over a checkerboard.
#include <string>

#include "tools/skingen/generate.h"

namespace skingen {

// The sheet as a PNG file.
std::string ContactSheet(const GeneratedSkin& skin);

}  // namespace skingen
