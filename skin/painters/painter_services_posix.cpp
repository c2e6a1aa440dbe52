#include <cstdint>

namespace skin {

// No window exists in the native build: nobody answers.
intptr_t PaintersSendToWindow(void*, uint16_t, intptr_t) { return 0; }

}  // namespace skin

namespace skin {

void* PaintersParentWindow(void*) { return nullptr; }

}  // namespace skin
