#pragma once
// A file of the lowest folder that reaches the highest one: the layering check refuses it.
#include "skin/pixels/bitmap.h"
#include "skin/forms/sskinprovider.h"
