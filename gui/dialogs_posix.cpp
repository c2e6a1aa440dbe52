// The headless half of the common dialogs: no user answers natively; the headless driver, when a test installs
// one, plays the user (else the dialog is cancelled).
#include "gui/dialogs.h"

namespace gui {

bool TOpenDialog::Execute() { return HeadlessDriver ? HeadlessDriver(*this) : false; }

bool TFontDialog::Execute() { return HeadlessDriver ? HeadlessDriver(*this) : false; }

}  // namespace gui
