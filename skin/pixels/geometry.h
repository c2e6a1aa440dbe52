#pragma once
// Rectangle, point and size records that the skin subsystems pass between them: the program's own
// (platform/geometry.h; Win32 layout: four 32-bit signed fields, Right and Bottom exclusive).
#include "platform/geometry.h"

namespace skin {

using platform::TPoint, platform::TSize, platform::TRect;
using platform::MakeRect, platform::MakePoint, platform::RectWidth64, platform::RectHeight64, platform::RectIsEmpty,
    platform::ClipRectToSize;

}  // namespace skin
