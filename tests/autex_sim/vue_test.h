#pragma once
// The main window as the AUTEX side sees it (autex/vue_autex.h), kept in plain values: for each element its
// text, hint, visibility, enabled and down states, bounds and length limit; the short-message window as runs
// of equal colour and weight. It starts as the window's definition has the elements the protocol reads (the
// panels' bounds, the slot labels "S1" to "S12", the counters "0", the buttons of each group that are down) and
// follows the window's button groups. Nothing can take the focus and nothing has a window of its own. The host
// part (send queue, paced writer, dialogs, ...) is left to the class that completes it.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "autex/vue_autex.h"

namespace autexsim {

class VueTest : public autex::VueAutex {
 public:
  struct Etat {
    std::string texte;
    std::string aide;
    bool visible = true;
    bool actif = true;
    bool enfonce = false;
    platform::TRect limites;
    int longueur_max = 0;
    int debut_selection = 0;
  };
  // One stretch of the short-message window with the same attributes (text with CR LF line ends).
  struct Passage {
    std::string Text;
    platform::TColor Color = platform::clBlack;
    bool Gras = false;
  };

  VueTest();

  // The state of an element (created as the window's definition has it on first use).
  Etat& etat(const autex::Element& e) const;
  // What the tests read of a view they hold as const.
  std::string Texte(const autex::Element& e) const { return etat(e).texte; }
  std::string Aide(const autex::Element& e) const { return etat(e).aide; }
  bool Visible(const autex::Element& e) const { return etat(e).visible; }
  bool Actif(const autex::Element& e) const { return etat(e).actif; }
  bool Enfonce(const autex::Element& e) const { return etat(e).enfonce; }
  platform::TRect Limites(const autex::Element& e) const { return etat(e).limites; }
  int hauteur_client = 0;
  std::vector<Passage> sms;  // the short-message window, stretch by stretch

  std::string Texte(const autex::Element& e) override { return etat(e).texte; }
  void Fixe_texte(const autex::Element& e, const std::string& texte) override;
  std::string Aide(const autex::Element& e) override { return etat(e).aide; }
  void Fixe_aide(const autex::Element& e, const std::string& texte) override { etat(e).aide = texte; }
  bool Visible(const autex::Element& e) override { return etat(e).visible; }
  void Fixe_visible(const autex::Element& e, bool visible) override { etat(e).visible = visible; }
  bool Actif(const autex::Element& e) override { return etat(e).actif; }
  void Fixe_actif(const autex::Element& e, bool actif) override { etat(e).actif = actif; }
  bool Enfonce(const autex::Element& e) override { return etat(e).enfonce; }
  void Fixe_enfonce(const autex::Element& e, bool enfonce) override;
  void Redessine(const autex::Element&) override { ++redessins; }
  platform::TRect Limites(const autex::Element& e) override { return etat(e).limites; }
  void Fixe_limites(const autex::Element& e, const platform::TRect& limites) override;
  void Fixe_hauteur_client(int hauteur) override { hauteur_client = hauteur; }
  void Insere_texte(const autex::Element& e, int position, const std::string& texte) override;
  void Fixe_longueur_max(const autex::Element& e, int longueur) override { etat(e).longueur_max = longueur; }
  void Fixe_debut_selection(const autex::Element& e, int position) override;
  void Ajoute_texte_SMS(const std::string& texte, platform::TColor couleur, bool gras) override;
  bool A_le_focus(const autex::Element&) override { return false; }
  void Prend_focus(const autex::Element&) override {}
  void* Handle_fenetre(const autex::Element&) override { return nullptr; }

  int redessins = 0;

 private:
  mutable std::map<std::pair<autex::NomElement, int>, Etat> etats_;
};

// The view with a host that does nothing: a send queue and a receive buffer that no writer drains, nothing
// shown, no dialog, the current directory as the working directory.
class VueMuette : public VueTest {
 public:
  std::string file, tampon;
  uint32_t ecrits = 0;
  std::string& File_emission() override { return file; }
  std::string& Tampon_reception() override { return tampon; }
  uint32_t OCTETS_ECRITS() override { return ecrits; }
  void Fixe_OCTETS_ECRITS(uint32_t v) override { ecrits = v; }
  void Emission_cadencee() override {}
  void Fixe_DEMANDE_ENVOI_MESSAGE(uint8_t) override {}
  void Affiche_reception(const std::string&) override {}
  void Affiche_emission(const std::string&) override {}
  void Redonne_focus_editeur() override {}
  void Choix_vitesse_AUTEX(uint16_t) override {}
  void Affiche_vitesse_AUTEX() override {}
  void Classe_priorite(uint32_t) override {}
  double Debit_air_module() override { return 120.0; }
  double Debit_ecriture_module() override { return 120.0; }
  void Afficher_erreur(const std::string&) override {}
  void Afficher_information(const std::string&) override {}
  std::string Repertoire_travail() override { return "."; }
};

}  // namespace autexsim
