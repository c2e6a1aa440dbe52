#include "skin/painters/acalphaimagelist.h"

namespace skin {

int ScreenBitsPerPixel() { return 32; }

}  // namespace skin
