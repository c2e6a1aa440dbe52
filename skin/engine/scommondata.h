#pragma once
// The per-control skin data record, as plain data: the fields that the skin manager reads of the skin data a
// control answers to AC_GETSKINDATA. (Its behaviour lives with the window side of the library.)
#include <cstdint>

#include "skin/engine/sskinmanager.h"

namespace skin {

struct TsCommonData {
  uint8_t MouseAbove = 0;              // the mouse is over the owner
  TsSkinManager* FSkinManager = nullptr;  // the explicitly assigned manager; nullptr = the default manager

  // The manager that serves the owner: its own, else the application's default one (nullptr when neither).
  TsSkinManager* SkinManager() const { return FSkinManager ? FSkinManager : DefaultManager(); }
};

}  // namespace skin
