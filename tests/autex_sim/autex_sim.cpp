#include "tests/autex_sim/autex_sim.h"

#include <algorithm>

#include "station/affichage_memo.h"

namespace autexsim {

using enum autex::NomElement;

namespace {

// The serial port of one station, wired to its simulated radio module.
class PortSimule final : public platform::SerialPort {
 public:
  explicit PortSimule(Module& m) : m_(m) {}
  bool getCommState(platform::SerialSettings& s) override {
    s = reglages_;
    return true;
  }
  bool setCommState(const platform::SerialSettings& s) override {
    reglages_ = s;
    return true;
  }
  bool inputQueueCount(uint32_t& n) override {
    n = uint32_t(m_.entree.size());
    return true;
  }
  bool readBytes(uint32_t n, std::string& out) override {
    out = m_.entree.substr(0, n);
    m_.entree.erase(0, out.size());
    return true;
  }
  bool writeBytes(std::string_view octets, uint32_t& ecrits) override {
    m_.a_emettre.insert(m_.a_emettre.end(), octets.begin(), octets.end());
    if (m_.horloge_us) m_.dernier_ecrit_us = *m_.horloge_us;
    ecrits = uint32_t(octets.size());
    return true;
  }
  bool escapeCommFunction(platform::EscapeFunction) override { return true; }

 private:
  Module& m_;
  platform::SerialSettings reglages_;
};

class PortsSimules final : public platform::SerialDevices {
 public:
  explicit PortsSimules(Module& m) : m_(m) {}
  std::unique_ptr<platform::SerialPort> open(int com) override {
    if (com != 1) return nullptr;
    return std::make_unique<PortSimule>(m_);
  }

 private:
  Module& m_;
};

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Station
// ---------------------------------------------------------------------------------------------------------

Station::Station(Simulation& sim, const std::string& indicatif_, uint16_t vitesse, uint8_t participants,
                 uint16_t vitesse_port)
    : horodatage(sim.horloge),
      ports(std::make_unique<PortsSimules>(module)),
      io(std::make_unique<station::StationIo>(*this, langues, horodatage, sim.horloge, *ports, priorite, clavier)),
      autex(langues, horodatage, sim.horloge, *this),
      indicatif(indicatif_),
      sim_(sim) {
  module.octets_par_seconde = vitesse_port == 9600 ? 360 : 120;
  module.debit_air = sim.debit_air != 0 ? sim.debit_air : module.octets_par_seconde;
  module.horloge_us = &sim.temps_us();
  // The serial port of the radio module, opened as the station opens it.
  io->materiel.Numero_port = 1;
  io->materiel.Vitesse_port = vitesse_port;
  io->boucle.Ouverture_port_transceiver(vitesse_port);
  // AUTEX mode: the first activation of the AUTEX layout, at the chosen speed and participant count.
  Fixe_texte(Edit_INDICATIF, indicatif);
  autex.NOMBRE_PARTICIPANTS = participants;
  autex.Vitesse_AUTEX = vitesse;
  Affiche_vitesse_AUTEX();
  autex.PREMIERE_ACTIVATION = 1;
  autex.ACTIVATION_AUTEX();
  autex.GESTION_PRELIMINAIRE_AUTEX();
  autex.INITIALISATION_PARAMETRES_RX_AUTEX();
  autex.REINIT_EMISSION();
}

Station::~Station() { io.reset(); }

void Station::Emission_cadencee() {
  if (!io->boucle.File_emission.empty() && io->boucle.OCTETS_ECRITS == 0) {
    trames.push_back(io->boucle.File_emission);
    instants.push_back(sim_.horloge.timeGetTime());
    ++transmissions;
  }
  io->boucle.Emission_cadencee();
}

void Station::Redonne_focus_editeur() {
  ++focus;
  const std::string info = Texte(Label_Info_AUTEX);
  if (!info.empty() && (infos.empty() || infos.back() != info)) infos.push_back(info);
}

bool Station::a_vu(const std::string& info) const {
  for (const auto& i : infos)
    if (i.find(info) != std::string::npos) return true;
  return false;
}

void Station::Affiche_reception(const std::string& texte) {
  recu += texte;
  std::string memo = Texte(Memo_Reception_memo);
  station::Ajoute_texte_memo(memo, texte);
  station::Limite_memo(memo);
  Fixe_texte(Memo_Reception_memo, memo);
}

void Station::Affiche_emission(const std::string& texte) {
  emis += texte;
  std::string memo = Texte(Memo_emission);
  station::Ajoute_texte_memo(memo, texte);
  station::Limite_memo(memo);
  Fixe_texte(Memo_emission, memo);
}

void Station::Choix_vitesse_AUTEX(uint16_t vitesse) {
  autex.Vitesse_AUTEX = vitesse;
  Affiche_vitesse_AUTEX();
  autex.GESTION_PRELIMINAIRE_AUTEX();
  autex.INITIALISATION_PARAMETRES_RX_AUTEX();
}

void Station::Affiche_vitesse_AUTEX() {
  if (autex.Vitesse_AUTEX == 1200 || autex.Vitesse_AUTEX == 400 || autex.Vitesse_AUTEX == 171)
    vitesse_enfoncee = autex.Vitesse_AUTEX;
}

void Station::Envoi_message_AUTEX() {
  // The editor's text framed as a message: 3, 1, text, 3, 0.
  std::string t = Texte(Memo_editeur);
  if (t.empty()) return;
  if (t.size() == 1) t += "\r\n";
  const size_t n = t.size();
  if (n >= 2 && ((t[n - 2] == '\r' && t[n - 1] == '\n') || (t[n - 2] == '\n' && t[n - 1] == '\r')))
    t.resize(n - 2);
  else if (t.back() == '\n' || t.back() == '\r')
    t.pop_back();
  autex::SUPPRIMER_CARACTERE('\x03', t);
  autex.TEXTE_A_EMETTRE += std::string("\x03\x01", 2) + t + std::string("\x03\x00", 2);
  autex.TEXTE_EN_ATTENTE = 1;
  Fixe_texte(Memo_editeur, "");
}

void Station::Lance_reunion() {
  uint8_t ok = 0;
  autex.VERIF_INDICATIF(1, ok);
  if (ok == 0) {
    Fixe_enfonce(FIN_REUNION, true);
    return;
  }
  autex.ETAT_BOUTONS_AUTEX(0, 0, 1);
  autex.RAZ_ETAT_SESSION();
  std::string ind;
  autex.VERIF_INDICATIF_MAITRE(ind);
  if (autex.MAITRE_APPELLE != 1) return;
  autex.STATION_MAITRE = 1;
  const bool reunion = autex.NOMBRE_PARTICIPANTS >= 4;
  if (reunion)
    for (int s = 1; s <= autex.NOMBRE_UTILISATEURS; ++s) autex.SLOT_LIBRE[size_t(s)] = 1;
  autex.RAZ_COMPTEURS_AFFICHES();
  autex.REINIT_EMISSION();
  autex.T_DERNIER_CQ = sim_.horloge.timeGetTime();
  autex.INDEX_CANAL = 15;
  autex.LANCEMENT_CQ(ind);
  autex.SESSION_EN_COURS = 0;
  if (reunion) {
    autex.UTILISATEUR_CONNECTE = 0;
    for (int s = 1; s <= autex.NOMBRE_UTILISATEURS; ++s) autex.CONNECTE_SLOT[size_t(s)] = 0;
  }
  autex.NOUVEAU_TEXTE = 0;
  autex.ACQUITTEMENT_ATTENDU = 0;
  Redonne_focus_editeur();
  if (!reunion) {
    Fixe_texte({Secondary_channel, 0}, "");
    Fixe_texte({Label_CQ, 1}, "");
    Fixe_texte({Secondary_channel, 1}, "");
  } else {
    Fixe_texte({Secondary_channel, 0}, "");
    for (int s = 1; s <= autex.NOMBRE_UTILISATEURS; ++s) autex.EFFACE_CANAL(s, 0);
  }
  autex.EFFACE_FENETRES_M_ET_SX();
  autex.NUMERO_SLOT = 0;
  if (reunion) autex.INITIALISATION_PARAMETRES_RX_AUTEX();
}

void Station::Fin_reunion() {
  const bool reunion = autex.NOMBRE_PARTICIPANTS >= 4;
  if ((!reunion && autex.SESSION_EN_COURS == 0) || (reunion && autex.UTILISATEUR_CONNECTE == 0)) {
    Fixe_texte(Label_Info_AUTEX, "");
    autex.TRACE_INFO();
    autex.DECONNEXION();
    return;
  }
  autex.ETAT_BOUTONS_AUTEX(0, 0, 0);
  Fixe_texte(Label_Info_AUTEX,
             langues.TRADUCTION("End of meeting required by me", "Fin de r\xE9union demand\xE9" "e par moi"));
  autex.TRACE_INFO();
  autex.FIN_REUNION_DEMANDEE = 1;
  if (reunion)
    for (int s = 1; s <= autex.NOMBRE_UTILISATEURS; ++s) {
      const size_t i = size_t(s);
      if (autex.CONNECTE_SLOT[i] == 1) {
        autex.FIN_SLOT_DEMANDEE[i] = 1;
        for (auto& ligne : autex.ACQUITTEMENT_MANQUANT) ligne[i] = 0;
      } else {
        autex.FIN_SLOT_DEMANDEE[i] = 0;
      }
    }
}

void Station::Entre(int slot) {
  uint8_t ok = 0;
  autex.VERIF_INDICATIF(0, ok);
  if (ok == 0) {
    Fixe_enfonce({SORTIR_DE_LA_REUNION, slot}, true);
    return;
  }
  Fixe_enfonce({ENTRER_DANS_LA_REUNION, slot}, true);
  autex.NUMERO_SLOT = uint8_t(slot);
  Fixe_texte({Secondary_channel, slot}, "");
  Fixe_texte({Memo_Reception, slot}, "");
  Fixe_texte({Label_CQ, slot}, "");
  autex.ENTREE_DANS_REUNION();
}

void Station::Sort(int slot) { autex.SORTIE_DE_REUNION(slot); }

bool Station::Envoie(const std::string& message) {
  if (autex.SESSION_EN_COURS != 1) {
    Afficher_erreur(langues.TRADUCTION("Your are not yet connected...", "Vous n'\xEAtes pas encore connect\xE9..."));
    return false;
  }
  Fixe_texte(Memo_editeur, message);
  Envoi_message_AUTEX();
  return true;
}

bool Station::Vitesse(uint16_t vitesse) {
  if (!autex.CHANGEMENT_VITESSE_AUTEX()) return false;
  Choix_vitesse_AUTEX(vitesse);
  return true;
}

bool Station::cq_recu() const {
  for (int n = 1; n <= autex.SLOTS_EXISTANTS(); ++n)
    if (Actif({ENTRER_DANS_LA_REUNION, n})) return true;
  return false;
}

// ---------------------------------------------------------------------------------------------------------
// Simulation
// ---------------------------------------------------------------------------------------------------------

Simulation::Simulation(uint64_t graine, Bruit b, uint32_t tick)
    : horloge(100000), bruit(b), tick_ms(tick == 0 ? 1 : tick), alea_(graine) {}

Simulation::~Simulation() { stations.clear(); }

Station& Simulation::ajoute_station(const std::string& indicatif, uint16_t vitesse, uint8_t participants,
                                    uint16_t vitesse_port) {
  stations.push_back(std::make_unique<Station>(*this, indicatif, vitesse, participants, vitesse_port));
  return *stations.back();
}

namespace {
constexpr size_t TAILLE_PAQUET = 64;
}  // namespace

void Simulation::pas_canal() {
  temps_us_ += 1000;
  const uint64_t t = temps_us_;
  if (canal) {
    canal(t);
    return;
  }
  // Packets that end now reach every other module.
  for (size_t e = 0; e < stations.size(); ++e) {
    Module& me = stations[e]->module;
    if (!me.emet || me.fin_us > t) continue;
    me.emet = false;
    bool collision = false;
    for (const Passage& q : passages_)
      if (q.emetteur != e && q.debut_us < me.fin_us && q.fin_us > me.debut_us) collision = true;
    if (collision) ++collisions;
    for (size_t r = 0; r < stations.size(); ++r) {
      if (r == e) continue;
      Module& m = stations[r]->module;
      // A module that transmitted during the packet heard nothing of it.
      bool sourd = false;
      for (const Passage& q : passages_)
        if (q.emetteur == r && q.debut_us < me.fin_us && q.fin_us > me.debut_us) sourd = true;
      if (m.emet && m.debut_us < me.fin_us) sourd = true;
      if (sourd || m.hors_antenne || m.n_entend_rien) continue;
      for (const char octet : me.paquet) {
        if (alea_.tirage(bruit.perte_octet)) continue;
        auto o = static_cast<uint8_t>(octet);
        bool corrompu = false;
        if (collision) {
          o = static_cast<uint8_t>(o ^ uint8_t(alea_.suivant() | 1));
          corrompu = true;
        }
        if (m.rafale == 0 && bruit.rafale_octets > 0 && alea_.tirage(bruit.rafale_proba))
          m.rafale = bruit.rafale_octets;
        if (m.rafale > 0) {
          o = static_cast<uint8_t>(o ^ uint8_t(alea_.suivant() | 1));
          --m.rafale;
          corrompu = true;
        }
        for (int b = 0; b < 8; ++b)
          if (alea_.tirage(bruit.ber)) {
            o = static_cast<uint8_t>(o ^ (1u << b));
            corrompu = true;
          }
        if (corrompu) ++octets_corrompus;
        m.entree.push_back(static_cast<char>(o));
        ++m.octets_recus;
      }
    }
  }
  // Forget the packets that can no longer overlap one on the air.
  uint64_t plus_ancien = t;
  for (auto& s : stations)
    if (s->module.emet) plus_ancien = std::min(plus_ancien, s->module.debut_us);
  passages_.erase(std::remove_if(passages_.begin(), passages_.end(),
                                 [&](const Passage& q) { return q.fin_us < plus_ancien && q.fin_us < t; }),
                  passages_.end());
  // Modules that start a packet now: a full packet, or what the station wrote once its serial line has paused.
  bool air_occupe = false;
  for (auto& s : stations) air_occupe = air_occupe || s->module.emet;
  std::vector<size_t> partants;
  for (size_t e = 0; e < stations.size(); ++e) {
    Module& m = stations[e]->module;
    if (m.emet || m.a_emettre.empty()) continue;
    if (m.hors_antenne) {
      m.a_emettre.clear();
      continue;
    }
    const uint64_t octet_us = 1000000 / m.octets_par_seconde;
    const bool pret = m.a_emettre.size() >= TAILLE_PAQUET || t - m.dernier_ecrit_us >= 3 * octet_us;
    if (!pret) continue;
    if (bruit.ecoute_avant_emission && air_occupe) continue;
    partants.push_back(e);
  }
  for (const size_t e : partants) {
    Module& m = stations[e]->module;
    const size_t n = std::min(TAILLE_PAQUET, m.a_emettre.size());
    const uint64_t air_us = 1000000 / std::max<uint32_t>(1, m.debit_air);
    m.paquet.assign(m.a_emettre.begin(), m.a_emettre.begin() + std::ptrdiff_t(n));
    m.a_emettre.erase(m.a_emettre.begin(), m.a_emettre.begin() + std::ptrdiff_t(n));
    m.emet = true;
    m.debut_us = t;
    m.fin_us = t + n * air_us;
    m.octets_emis += n;
    octets_air += n;
    ++paquets;
    passages_.push_back({e, m.debut_us, m.fin_us});
  }
  // Garbage heard between frames: nothing on the air and nothing waiting in any module.
  bool attente = false;
  for (auto& s : stations) attente = attente || !s->module.a_emettre.empty();
  if (bruit.parasite_proba > 0.0 && !air_occupe && partants.empty() && !attente)
    for (auto& s : stations)
      if (alea_.tirage(bruit.parasite_proba)) s->module.entree.push_back(static_cast<char>(alea_.suivant() & 0xFF));
}

void Simulation::avance(uint32_t ms) {
  for (uint32_t k = 0; k < ms; ++k) {
    horloge.advance(1);
    ++ms_ecoulees;
    pas_canal();
    if (horloge.timeGetTime() % tick_ms == 0)
      for (auto& s : stations) s->io->boucle.Timer1Timer();
  }
}

bool Simulation::avance_jusqu_a(const std::function<bool()>& condition, uint32_t max_ms) {
  for (uint32_t k = 0; k < max_ms; ++k) {
    if (condition()) return true;
    avance(1);
  }
  return condition();
}

}  // namespace autexsim
