// Without windows there is no window-creation hook to fill.
#include "skin/forms/acdialogs.h"

namespace skin {

void InstallDialogHookServices() {}

}  // namespace skin
