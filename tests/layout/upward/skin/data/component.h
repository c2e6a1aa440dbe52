#pragma once
// A file of the skin model that uses the component layer: the layering check refuses it.
#include "skin/pixels/geometry.h"
#include "gui/forms.h"
