#include "skin/painters/text_engine.h"

namespace skin {

// The native build has no fonts: its text is the fixed-metric engine's.
TextEngine& PaintersBuiltInTextEngine() { return FixedMetricEngine(); }

bool FontFamilyInstalled(const char*) { return true; }

}  // namespace skin
