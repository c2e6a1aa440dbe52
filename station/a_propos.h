#pragma once
// A_PROPOS: the about box: the product line in the current language and the author line.
#include <string>

#include "autex/langues.h"
#include "station/forms/form2.h"

namespace station {

// Each line is kept as 70 characters (the text, then blanks).
constexpr size_t LONGUEUR_LIGNE_A_PROPOS = 70;
std::string Ligne_produit(uint8_t langue);  // English when langue is 1, French otherwise
std::string Ligne_auteur();

class FenetreAPropos : public forms::TForm2 {
 public:
  FenetreAPropos(gui::TComponent* AOwner, const autex::Langues& langues);
  void FormActivate(gui::TObject* Sender) override;

 private:
  const autex::Langues& langues_;
};

}  // namespace station
