#include "skin/paint/colors.h"

#include <windows.h>

namespace skin {

uint32_t SystemColorRGB(int index) { return uint32_t(GetSysColor(index)); }

}  // namespace skin
