#include "station/a_propos.h"

#include <string_view>

namespace station {

namespace {

constexpr std::string_view PRODUIT_ANGLAIS = "Vornatel - keyboard text, messages and files over a LoRa radio link";
constexpr std::string_view PRODUIT_FRANCAIS = "Vornatel - texte, messages et fichiers sur une liaison radio LoRa";
constexpr std::string_view AUTEUR = "Author / Auteur: the Vornatel development team";

static_assert(PRODUIT_ANGLAIS.size() <= LONGUEUR_LIGNE_A_PROPOS);
static_assert(PRODUIT_FRANCAIS.size() <= LONGUEUR_LIGNE_A_PROPOS);
static_assert(AUTEUR.size() <= LONGUEUR_LIGNE_A_PROPOS);

std::string sur_70(std::string_view texte) {
  std::string r(texte);
  r.resize(LONGUEUR_LIGNE_A_PROPOS, ' ');
  return r;
}

}  // namespace

std::string Ligne_produit(uint8_t langue) {
  return sur_70(langue == autex::LANGUE_ANGLAIS ? PRODUIT_ANGLAIS : PRODUIT_FRANCAIS);
}

std::string Ligne_auteur() { return sur_70(AUTEUR); }

FenetreAPropos::FenetreAPropos(gui::TComponent* AOwner, const autex::Langues& langues)
    : forms::TForm2(AOwner), langues_(langues) {}

void FenetreAPropos::FormActivate(gui::TObject*) {
  SetCaption(langues_.TRADUCTION("About", "A propos"));
  Nom_du_produit->SetCaption(Ligne_produit(langues_.Langue));
  Nom_du_produit->Repaint();
  Auteur->SetCaption(Ligne_auteur());
  Auteur->Repaint();
}

}  // namespace station
