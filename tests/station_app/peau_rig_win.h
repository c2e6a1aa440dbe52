#pragma once
// The main window's skin components as station.exe makes them (the skin manager with the stored skins of its
// resources, the skin provider), for the Windows tests of the whole skinned station.
#include "skin/forms/sskinprovider.h"
#include "skin/manager/sskinmanager_component.h"
#include "station/fiche_principale.h"
#include "station/program_resources.h"

namespace apptest {

inline void ComposantsPeau(forms::TForm1& form) {
  auto* manager = new skin::TsSkinManagerComponent(&form);
  manager->SetName("sSkinManager1");
  station::ReadProgramSkinManagerWithResources(*manager);
  form.sSkinManager1 = manager;
  auto* provider = new skin::TsSkinProvider(&form);
  provider->SetName("sSkinProvider1");
  form.sSkinProvider1 = provider;
}

}  // namespace apptest
