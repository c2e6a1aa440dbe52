#pragma once
// A simulated AUTEX air: N stations in one process on one simulated clock, joined by a radio channel.
//
// Each Station is a whole station as far as AUTEX goes: its own main window as the AUTEX side sees it (VueTest,
// plain values), its own AUTEX object (autex::Autex), and the station's real serial side (station::StationIo: the 1 ms receive pump
// Timer1Timer and the paced writer Emission_cadencee) on a simulated serial port. Behind the port sits a
// simulated LoRa module: it gathers the bytes the paced writer writes and sends them as packets, when the
// serial line has paused for three byte times or a packet is full (64 bytes); each byte of a packet takes on the
// air the time its module's air rate gives it: by default the rate the paced writer counts (120 bytes a second
// at 1200 baud, 360 at 9600), or Simulation::debit_air when set (a module on slow LoRa settings). Every
// other module hears the packet and hands its bytes to its station's port when the packet ends. A module that
// is transmitting hears nothing; by default a module waits while it hears another packet (listen before talk),
// so only packets started in the same millisecond overlap; Bruit::ecoute_avant_emission = false lets every
// overlapping transmission happen. Packets that overlap collide: each listener gets their bytes corrupted.
//
// The channel (Bruit) adds, from a fixed seed: independent bit errors (ber), error bursts (a burst starts on a
// byte with probability rafale_proba and garbles rafale_octets bytes), lost bytes (perte_octet), and garbage
// bytes heard between frames, while nothing is on the air or waiting in a module (parasite_proba per
// millisecond and station).
//
// Use:
//   autexsim::Bruit bruit;
//   bruit.ber = 1e-3;
//   autexsim::Simulation sim(/*graine=*/42, bruit, /*tick_ms=*/16);
//   auto& m = sim.ajoute_station("F1AAA", 1200);      // call sign, AUTEX speed, participants (2 = link)
//   auto& u = sim.ajoute_station("F2BBB", 1200);
//   m.Lance_reunion();                                 // the Master's "start" button: CQ
//   sim.avance_jusqu_a([&] { return u.cq_recu(); }, 20000);
//   u.Entre(1);                                        // the user's "enter" button of slot 1
//   sim.avance_jusqu_a([&] { return m.connectee() && u.connectee(); }, 30000);
//   m.Envoie("hello");                                 // typed message + "Send the message"
//   sim.avance(10000);
//   u.texte_fenetre(0);                                // what the Master's window shows at the user
// `tick_ms` is the period of each station's 1 ms timer (1, or 16 as Windows delivers it without a finer timer
// resolution); the channel and the clock always move by 1 ms. Every run with the same seed is the same.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "autex/vue_autex.h"
#include "autex/langues.h"
#include "autex/traduction_autex.h"
#include "autex/traitement_chaines.h"
#include "platform/clock.h"
#include "platform/keyboard.h"
#include "platform/priority.h"
#include "platform/serial_port.h"
#include "station/fenetre_io.h"
#include "station/station_io.h"
#include "tests/autex_sim/vue_test.h"

namespace autexsim {

struct Bruit {
  double ber = 0.0;
  double rafale_proba = 0.0;
  int rafale_octets = 0;
  double perte_octet = 0.0;
  double parasite_proba = 0.0;
  bool ecoute_avant_emission = true;
};

// A small deterministic generator (splitmix64), the same on every platform.
class Alea {
 public:
  explicit Alea(uint64_t graine) : etat_(graine) {}
  uint64_t suivant() {
    uint64_t z = (etat_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double reel() { return double(suivant() >> 11) * (1.0 / 9007199254740992.0); }
  bool tirage(double p) { return p > 0.0 && reel() < p; }

 private:
  uint64_t etat_;
};

// The radio module behind one station's port.
struct Module {
  std::deque<char> a_emettre;      // written by the station, not yet sent
  uint64_t dernier_ecrit_us = 0;   // when the station last wrote to it
  const uint64_t* horloge_us = nullptr;
  uint32_t octets_par_seconde = 120;  // the serial line's rate as the paced writer assumes it
  uint32_t debit_air = 120;           // bytes a second the module radiates
  // The packet on the air.
  bool emet = false;
  uint64_t debut_us = 0;
  uint64_t fin_us = 0;
  std::string paquet;
  std::string entree;              // heard, waiting to be read by the station
  int rafale = 0;                  // bytes of the current error burst still to come
  uint64_t octets_emis = 0;
  uint64_t octets_recus = 0;
  // The station is off the air (switched off, out of range): it neither sends nor hears.
  bool hors_antenne = false;
  // The station's receiver is out: it still sends, but hears nothing.
  bool n_entend_rien = false;
};

class Simulation;

class Station final : public VueTest, public station::FenetreIo {
 public:
  Station(Simulation& sim, const std::string& indicatif, uint16_t vitesse, uint8_t participants,
          uint16_t vitesse_port);
  ~Station() override;
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;

  // ---- What an operator does (the main window's handlers) ----
  // "Start the meeting": the Master's call.
  void Lance_reunion();
  // "End the meeting".
  void Fin_reunion();
  // The "enter" button of a slot (1 on a link).
  void Entre(int slot);
  // The "quit" button of a slot (the user's own, or a Master's for one user).
  void Sort(int slot);
  // Types a message in the editor and presses "Send the message"; false when not connected.
  bool Envoie(const std::string& message);
  // A speed button; false when the change is refused.
  bool Vitesse(uint16_t vitesse);

  // ---- What the tests read ----
  bool connectee() const { return autex.SESSION_EN_COURS == 1; }
  bool cq_recu() const;  // the Master's call was heard (the enter button of a slot is enabled)
  const std::string& texte_fenetre(int participant) const { return autex.TEXTE_FENETRE[size_t(participant)]; }
  std::string etat_liaison() const { return etat(autex::NomElement::Etat_liaison).texte; }
  std::string info() const { return etat(autex::NomElement::Label_Info_AUTEX).texte; }
  // The AUTEX speed whose button is down (the speed buttons are the host's).
  uint16_t vitesse_enfoncee = 1200;
  // The texts written to the information line, in order (a text written twice in a row counts once).
  std::vector<std::string> infos;
  bool a_vu(const std::string& info) const;
  std::vector<std::string> dialogues;
  std::string recu;   // everything shown through Affiche_reception
  std::string emis;   // everything shown through Affiche_emission
  std::vector<std::string> trames;  // every framed transmission queued
  std::vector<uint32_t> instants;   // the clock when each was queued
  uint32_t transmissions = 0;
  bool file_vide() const { return autex.TEXTE_A_EMETTRE.empty(); }

  // ---- The parts of the station ----
  autex::Langues langues;
  autex::Horodatage horodatage;
  platform::RecordingPriority priorite;
  platform::SimulatedKeyboard clavier;
  Module module;
  std::unique_ptr<platform::SerialDevices> ports;
  std::unique_ptr<station::StationIo> io;
  autex::Autex autex;
  std::string indicatif;

  // ---- autex::HoteAutex ----
  std::string& File_emission() override { return io->boucle.File_emission; }
  std::string& Tampon_reception() override { return io->boucle.Tampon_reception; }
  uint32_t OCTETS_ECRITS() override { return io->boucle.OCTETS_ECRITS; }
  void Fixe_OCTETS_ECRITS(uint32_t v) override { io->boucle.OCTETS_ECRITS = v; }
  void Emission_cadencee() override;
  void Fixe_DEMANDE_ENVOI_MESSAGE(uint8_t v) override { io->boucle.DEMANDE_ENVOI_MESSAGE = v; }
  void Affiche_reception(const std::string& texte) override;
  void Affiche_emission(const std::string& texte) override;
  // Every information line is followed by the focus going back to the editor: that is where it is recorded.
  void Redonne_focus_editeur() override;
  void Choix_vitesse_AUTEX(uint16_t vitesse) override;
  void Affiche_vitesse_AUTEX() override;
  void Classe_priorite(uint32_t classe) override { priorite.setPriorityClass(classe); }
  double Debit_air_module() override { return module.debit_air; }
  double Debit_ecriture_module() override { return module.octets_par_seconde; }
  void Afficher_erreur(const std::string& texte) override { dialogues.push_back("Erreur: " + texte); }
  void Afficher_information(const std::string& texte) override { dialogues.push_back(texte); }
  std::string Repertoire_travail() override { return repertoire; }
  // The working directory (received files go to its "AUTEX" sub-directory).
  std::string repertoire = ".";
  int focus = 0;

  // ---- station::FenetreIo ----
  std::string Mode_fonctionnement() override { return "AUTEX"; }
  std::string Nom_transceiver() override { return autex.Nom_transceiver; }
  bool Fenetre_principale_active() override { return true; }
  void Label_Info(const std::string&) override {}
  void Efface_memo_reception() override { Fixe_texte(autex::NomElement::Memo_Reception_memo, ""); }
  void Affiche_editeur(const std::string& t) override { Fixe_texte(autex::NomElement::Memo_editeur, t); }
  std::string Texte_balise() override { return std::string(); }
  std::string Titre_fiche_principale() override { return "Station"; }
  void Legende_fenetre_principale(const std::string&) override {}
  void Prononciation_en_attente() override {}
  bool Bouton_TX_enfonce() override { return false; }
  bool Bouton_RX_enfonce() override { return true; }
  void Enfonce_Bouton_TX() override {}
  void Enfonce_Bouton_RX() override {}
  void Passe_en_emission() override {}
  void Passe_en_reception() override {}
  uint8_t SESSION_EN_COURS() override { return autex.SESSION_EN_COURS; }
  uint8_t MODE_AUTEX() override { return autex.MODE_AUTEX; }
  void Fixe_MODE_AUTEX(uint8_t v) override { autex.MODE_AUTEX = v; }
  void Fixe_EMISSION_EN_COURS(uint8_t v) override { autex.EMISSION_EN_COURS = v; }
  void SUPERVISION_AUTEX() override { autex.SUPERVISION_AUTEX(); }
  void Envoi_message_AUTEX() override;
  void Perte_liaison_radio(const std::string& info) override { autex.PERTE_LIAISON(info); }
  bool Timer1_actif() override { return true; }
  void Active_Timer1(bool) override {}
  uint8_t Code_port_image() override { return 10; }
  void Fixe_code_port_image(uint8_t) override {}
  void Sauve_image_parametres() override {}
  void Affiche_menu_ports(const station::MenuPortsSerie&) override {}
  void Affiche_menu_vitesses(const station::MenuVitesses&) override {}
  void Info2(const std::string&) override {}
  void Label_Donnees(const std::string&) override {}
  void Champs_transceiver_lus() override {}

 private:
  Simulation& sim_;
};

class Simulation {
 public:
  explicit Simulation(uint64_t graine, Bruit bruit = Bruit(), uint32_t tick_ms = 1);
  ~Simulation();
  Simulation(const Simulation&) = delete;
  Simulation& operator=(const Simulation&) = delete;

  // A station with its call sign, AUTEX speed, participant count and serial port speed (1200 or 9600). The
  // transceiver name is empty (the AUTEX time-outs follow the speed); set autex.Nom_transceiver to
  // "DRF1278DM" for the module's own time-outs.
  Station& ajoute_station(const std::string& indicatif, uint16_t vitesse = 1200, uint8_t participants = 2,
                          uint16_t vitesse_port = 1200);
  // Replaces the simulated air: called every millisecond with the time in microseconds, it takes what each
  // module's station wrote (Module::a_emettre) and gives what it hears (Module::entree). Set before the
  // first step (a test may put another radio model behind the stations' ports).
  std::function<void(uint64_t)> canal;
  // Moves the clock `ms` milliseconds: the channel every millisecond, each station's timer every tick.
  void avance(uint32_t ms);
  // Runs until the condition holds (checked every millisecond) or `max_ms` have passed; true when it held.
  bool avance_jusqu_a(const std::function<bool()>& condition, uint32_t max_ms);

  const uint64_t& temps_us() const { return temps_us_; }

  platform::SimulatedClock horloge;
  Bruit bruit;
  uint32_t tick_ms;
  // The air rate of the modules of the stations added from now on (bytes a second; 0: the rate the paced
  // writer counts for their serial line).
  uint32_t debit_air = 0;
  std::vector<std::unique_ptr<Station>> stations;
  // Statistics of the air.
  uint64_t octets_air = 0;      // bytes sent
  uint64_t octets_corrompus = 0;
  uint64_t paquets = 0;
  uint64_t collisions = 0;      // packets that overlapped another one
  uint64_t ms_ecoulees = 0;

 private:
  void pas_canal();
  struct Passage {
    size_t emetteur;
    uint64_t debut_us, fin_us;
  };
  std::vector<Passage> passages_;  // recent packets, for collisions
  Alea alea_;
  uint64_t temps_us_ = 0;
};

}  // namespace autexsim
