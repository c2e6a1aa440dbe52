#include "skin/paint/acalphaimagelist.h"

namespace skin {

int ScreenBitsPerPixel() { return 32; }

}  // namespace skin
