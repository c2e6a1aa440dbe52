#pragma once
// The whole component layer.
#include "gui/buttons.h"
#include "gui/classes.h"
#include "gui/comctrls.h"
#include "gui/controls.h"
#include "gui/dialogs.h"
#include "gui/extctrls.h"
#include "gui/forms.h"
#include "gui/graphics.h"
#include "gui/menus.h"
#include "gui/messages.h"
#include "gui/stdctrls.h"
#include "gui/types.h"
