#pragma once
// A station's parameter routines over a temporary directory, with a host that records what they ask of
// the window, the serial port and the dialogs.
#include <string>
#include <vector>

#include "autex/fonctions_fichiers.h"
#include "autex/langues.h"
#include "station/parametres.h"
#include "tests/support/temp_dir.h"

namespace testsupport {

class HoteEnregistreur : public station::Hote_parametres {
 public:
  explicit HoteEnregistreur(const autex::Langues& langues) : langues_(&langues) {}

  uint16_t langue_systeme = 1033;
  station::Taille_ecran ecran{1280, 1024};
  bool reponse_oui = true;
  bool test_port_reussit = true;
  bool port_ouvert = false;

  std::vector<std::string> erreurs, informations, questions;
  std::vector<std::string> journal;       // the host operations, in call order
  std::vector<uint8_t> langue_a_l_appel;  // the chooser's language when Applique_langue was called
  std::string label_info;

  uint16_t GetSystemDefaultLangID() override { return langue_systeme; }
  station::Taille_ecran Ecran() override { return ecran; }
  void Afficher_erreur(const std::string& t) override { erreurs.push_back(t); }
  void Afficher_information(const std::string& t) override { informations.push_back(t); }
  bool Question_oui_non(const std::string& t) override {
    questions.push_back(t);
    return reponse_oui;
  }
  void Detection_ports_serie() override { journal.push_back("Detection_ports_serie"); }
  void Applique_langue() override {
    journal.push_back("Applique_langue");
    langue_a_l_appel.push_back(langues_->Langue);
  }
  void Coche_vitesse_port() override { journal.push_back("Coche_vitesse_port"); }
  void Construit_menus_ports_serie() override { journal.push_back("Construit_menus_ports_serie"); }
  void Pas_de_port_selectionne(const std::string& message) override {
    journal.push_back("Pas_de_port_selectionne");
    label_info = message;
    port_ouvert = false;
  }
  bool Tester_port_serie() override {
    journal.push_back("Tester_port_serie");
    port_ouvert = false;  // the test closes the transceiver port
    return test_port_reussit;
  }
  bool Port_ouvert() override { return port_ouvert; }
  void Ouverture_port_transceiver(uint16_t vitesse) override {
    journal.push_back("Ouverture_port_transceiver " + std::to_string(vitesse));
    port_ouvert = true;
  }
  void Port_ferme() override {
    journal.push_back("Port_ferme");
    port_ouvert = false;
  }
  void Applique_parametres() override { journal.push_back("Applique_parametres"); }

  bool a_appele(const std::string& operation) const {
    for (const auto& j : journal)
      if (j == operation) return true;
    return false;
  }

 private:
  const autex::Langues* langues_;
};

struct Station {
  TempDir dir;
  autex::Langues langues;
  std::vector<std::string> erreurs_fichiers;
  autex::FonctionsFichiers fichiers{langues, [this](const std::string& m) { erreurs_fichiers.push_back(m); }};
  HoteEnregistreur hote{langues};
  station::Parametres p{langues, fichiers, hote};

  Station() { p.Repertoire = dir.path().string(); }

  // A 945-byte image that passes every check and differs from the standard image in several bytes.
  std::string image_valide() {
    p.Parametres_standard_image();
    std::string image = p.Image_standard;
    image[3 - 1] = 5;      // a skin
    image[27 - 1] = 12;    // beacon pause 60 s
    image[252 - 1] = 11;   // COM9
    image[281 - 1] = 0;    // a byte whose allowed values include 0
    image[500 - 1] = 2;
    return image;
  }
};

}  // namespace testsupport
