#include "skin/painters/painting_libraries.h"

namespace skin {

void StartPaintingLibraries() {}
void StopPaintingLibraries() {}
bool LayeredApiPresent() { return false; }
TSize CheckBoxGlyphSize() { return TSize{13, 13}; }

}  // namespace skin
