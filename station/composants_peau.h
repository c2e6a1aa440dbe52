#pragma once
// The main window's skin components as station.exe makes them: the skin manager of its definition, with the
// stored skins of the program's resources, and the form's skin provider.
#include "skin/forms/sskinprovider.h"
#include "skin/manager/sskinmanager_component.h"
#include "station/fiche_principale.h"
#include "station/program_resources.h"

namespace station {

inline void Composants_peau_programme(forms::TForm1& form) {
  auto* manager = new skin::TsSkinManagerComponent(&form);
  manager->SetName("sSkinManager1");
  ReadProgramSkinManagerWithResources(*manager);
  form.sSkinManager1 = manager;
  auto* provider = new skin::TsSkinProvider(&form);
  provider->SetName("sSkinProvider1");
  form.sSkinProvider1 = provider;
}

}  // namespace station
