#pragma once
// How the seven form definitions are written. Each form class builds its stored definition in its
// constructor (components owned by the form, with their names, properties and event bindings) between
// BeginLoading and EndLoading, as if streamed. Every bound event calls a virtual method of the form class named
// after the handler; those methods do nothing here and the station's forms override them (see form1.h).
#include "gui/gui.h"
