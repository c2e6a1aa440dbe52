#include "skin/painters/layered_alpha.h"

namespace skin {

bool LayeredAlphaShown() { return true; }
const char* LayeredAlphaSource() { return "system"; }
void AskLayeredAlphaEarly() {}

}  // namespace skin
