#include <cstdint>

#include "skin/pixels/background_info.h"

namespace skin {

using DeliverMessage = void (*)(void* parent, uint32_t msg, uintptr_t wParam);

// No device contexts and no windows in the native build.
void PaintersParentIntoDC(BackgroundInfo&, DeliverMessage, void*) {}
void PaintersDeliverToWindow(void*, uint32_t, uintptr_t) {}

}  // namespace skin
