#include "station/historique_des_versions.h"

namespace station {

FenetreHistorique::FenetreHistorique(gui::TComponent* AOwner, const autex::Langues& langues)
    : forms::TForm3(AOwner), langues_(langues) {}

void FenetreHistorique::FormActivate(gui::TObject*) { SetCaption(langues_.TRADUCTION("Modifications", "Modifications")); }

}  // namespace station
