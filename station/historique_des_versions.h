#pragma once
// HISTORIQUE_DES_VERSIONS: the version history window (its text is the definition's).
#include "autex/langues.h"
#include "station/forms/form3.h"

namespace station {

class FenetreHistorique : public forms::TForm3 {
 public:
  FenetreHistorique(gui::TComponent* AOwner, const autex::Langues& langues);
  void FormActivate(gui::TObject* Sender) override;

 private:
  const autex::Langues& langues_;
};

}  // namespace station
