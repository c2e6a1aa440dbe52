#include "station/boucle_principale.h"

#include <cmath>

#include "station/station_io.h"

namespace station {

BouclePrincipale::BouclePrincipale(StationIo& io) : io_(io) {}

void BouclePrincipale::Vide_tampons() {
  Tampon_reception.clear();
  File_emission.clear();
}

bool BouclePrincipale::Echap() {
  const bool etat = io_.keyboard.escapeKeyState();
  // Another program in front: the key is its own.
  if (!io_.keyboard.programInForeground()) return false;
  // One of this program's menus or dialogs has the keyboard: Escape closes it and is nothing more, here and
  // until it has been let go.
  if (!io_.fenetre.Fenetre_principale_active()) {
    Echap_a_relacher_ = true;
    Echap_relachee_depuis_ = 0;
    return false;
  }
  if (Echap_a_relacher_) {
    const uint32_t maintenant = io_.clock.timeGetTime();
    if (etat) {
      Echap_relachee_depuis_ = 0;
    } else if (Echap_relachee_depuis_ == 0) {
      Echap_relachee_depuis_ = maintenant == 0 ? 1 : maintenant;
    } else if (platform::elapsedMs(maintenant, Echap_relachee_depuis_) >= RELACHE_ECHAP) {
      Echap_a_relacher_ = false;
    }
    return false;
  }
  return etat;
}

void BouclePrincipale::Timer1Timer() {
  if (Port_ouvert != 1) return;
  auto& transceiver = io_.transceiver;
  auto& materiel = io_.materiel;
  auto& fenetre = io_.fenetre;

  // While a module command is pending every received byte belongs to its reply.
  if (transceiver.Commande_DRF_en_attente != 0) {
    const std::string lus = materiel.Lire_port_serie(materiel.Handle_port);
    if (!lus.empty()) Heure_derniere_reception = io_.clock.timeGetTime();
    transceiver.Reponse_DRF += lus;
    if (materiel.Defaillance_port) Perte_du_port();
    return;
  }

  const std::string mode = fenetre.Mode_fonctionnement();
  const bool echap = Echap();

  // AUTEX: Escape sends the typed message.
  if (mode == "AUTEX" && fenetre.SESSION_EN_COURS() == 1) {
    if (echap) DEMANDE_ENVOI_MESSAGE = 1;
    if (DEMANDE_ENVOI_MESSAGE == 1) {
      DEMANDE_ENVOI_MESSAGE = 0;
      fenetre.Envoi_message_AUTEX();
    }
  }

  // ASCII: Escape switches between transmission and reception, at most once in 300 ms.
  if (echap && mode == "ASCII" && Balise_active == 0) {
    const uint32_t maintenant = io_.clock.timeGetTime();
    if (platform::elapsedMs(maintenant, Derniere_bascule_Echap) > INTERVALLE_BASCULE_ECHAP) {
      Derniere_bascule_Echap = maintenant;
      if (fenetre.Bouton_TX_enfonce()) {
        fenetre.Enfonce_Bouton_RX();
        fenetre.Passe_en_reception();
      } else if (fenetre.Bouton_RX_enfonce()) {
        fenetre.Enfonce_Bouton_TX();
        fenetre.Passe_en_emission();
      }
    }
  }

  // Received bytes, with those that came around the last module reply first.
  std::string recus;
  recus.swap(transceiver.Octets_hors_reponse);
  if (!transceiver.Reponse_DRF.empty() &&
      transceiver.Reponse_DRF.compare(0, ENTETE_DRF.size(), ENTETE_DRF) != 0) {
    recus += transceiver.Reponse_DRF;
    transceiver.Reponse_DRF.clear();
  }
  std::string lus = materiel.Lire_port_serie(materiel.Handle_port);
  if (!lus.empty()) Heure_derniere_reception = io_.clock.timeGetTime();
  recus += Hors_reponse_tardive(lus);
  if (!recus.empty()) {
    if (mode != "ASCII")
      Tampon_reception += recus;
    else
      fenetre.Affiche_reception(recus);
  }

  if (mode == "AUTEX") fenetre.SUPERVISION_AUTEX();

  // The beacon is due as soon as the station receives.
  if (Balise_active == 1 && Balise_a_emettre == 1 && Balise_en_emission == 0 && fenetre.MODE_AUTEX() == 1)
    Emission_balise();

  if (!File_emission.empty()) Emission_cadencee();

  if (materiel.Defaillance_port) {
    Perte_du_port();
    return;
  }

  // End of a beacon: its last byte (LF) has been written.
  if (Balise_active == 1 && Balise_a_emettre == 0 && Balise_en_emission == 1 && !Copie_balise.empty() &&
      Copie_balise.back() == '\n') {
    Balise_en_emission = 0;
    Balise_en_pause = 1;
    Echeance_balise = io_.clock.timeGetTime() + uint32_t(Pause_balise) * 1000u;
    Copie_balise.clear();
    fenetre.Fixe_MODE_AUTEX(1);
    fenetre.Fixe_EMISSION_EN_COURS(0);
    fenetre.Enfonce_Bouton_RX();
  }

  // End of the pause: the next beacon goes out once the queue is empty.
  if (Balise_active == 1 && Balise_en_pause == 1 &&
      static_cast<int32_t>(io_.clock.timeGetTime() - Echeance_balise) > 0 && File_emission.empty()) {
    Balise_en_pause = 0;
    Balise_a_emettre = 1;
    Balise_en_emission = 0;
    Emission_balise();
  }
}

std::string BouclePrincipale::Hors_reponse_tardive(std::string lus) {
  std::string& reponse = io_.transceiver.Reponse_DRF;
  const auto commencee = [&] { return reponse.compare(0, ENTETE_DRF.size(), ENTETE_DRF) == 0; };
  if (reponse.empty()) {
    if (const size_t p = lus.find(ENTETE_DRF); p != std::string::npos) {
      reponse = lus.substr(p);
      lus.resize(p);
    }
  } else if (commencee()) {
    reponse += lus;
    lus.clear();
  }
  if (!commencee()) return lus;
  size_t debut = 0, longueur = 0;
  if (Reponse_DRF_entiere(reponse, debut, longueur)) {
    lus += reponse.substr(debut + longueur);
    reponse.clear();
  } else if (reponse.size() > 2 * LONGUEUR_TRAME_DRF) {
    // No reply after all: bytes of the air.
    lus += reponse;
    reponse.clear();
  }
  return lus;
}

void BouclePrincipale::Timer2Timer() {
  auto& fenetre = io_.fenetre;
  if (Port_ouvert == 1) fenetre.Prononciation_en_attente();
  // The clock of the title runs whether the port is open or not: stopped, it made a station whose port had
  // closed look hung.
  fenetre.Legende_fenetre_principale(fenetre.Titre_fiche_principale() + std::string(10, ' ') +
                                     io_.horodatage.HORODATAGE_LOCAL());
  if (!fenetre.Timer1_actif()) fenetre.Active_Timer1(true);
}

void BouclePrincipale::Timer3Timer() {
  auto& t = io_.transceiver;
  // A closed port has no module to check (a frame sent there would only hide the port's state).
  if (!io_.Est_DRF1278DM() || t.Fenetre_transceiver_active != 0 || t.Commande_DRF_en_attente != 0 ||
      Port_ouvert != 1)
    return;
  if (t.Module_verifie == 0)
    t.Lecture_parametres_DRF1278DM(1);
  else if (Au_repos())
    t.Lecture_parametres_DRF1278DM(ETAT_PRESENCE_DRF);  // a module that went silent is found out
}

bool BouclePrincipale::Au_repos() {
  const uint32_t maintenant = io_.clock.timeGetTime();
  return File_emission.empty() && io_.fenetre.MODE_AUTEX() == 1 && io_.fenetre.SESSION_EN_COURS() == 0 &&
         platform::elapsedMs(maintenant, Heure_derniere_reception) >= REPOS_AVANT_PRESENCE &&
         platform::elapsedMs(maintenant, Heure_derniere_ecriture) >= REPOS_AVANT_PRESENCE;
}

void BouclePrincipale::Perte_du_port() {
  auto& materiel = io_.materiel;
  auto& t = io_.transceiver;
  auto& fenetre = io_.fenetre;
  const auto& L = io_.langues;
  // Bytes that came with a module reply are still shown (the AUTEX side has no use for them any more).
  std::string recus;
  recus.swap(t.Octets_hors_reponse);
  if (t.Reponse_DRF.compare(0, ENTETE_DRF.size(), ENTETE_DRF) != 0) recus += t.Reponse_DRF;
  t.Reponse_DRF.clear();
  if (!recus.empty() && fenetre.Mode_fonctionnement() == "ASCII") fenetre.Affiche_reception(recus);
  t.Commande_DRF_en_attente = 0;
  t.Silences_module = 0;
  t.Module_verifie = 0;
  materiel.Fermer_port_serie(materiel.Handle_port);
  materiel.Defaillance_port = false;
  Port_ouvert = 0;
  // A beacon cut off in the middle goes out again whole once the port is back.
  if (Balise_active == 1 && Balise_en_emission == 1) {
    Balise_en_emission = 0;
    Balise_a_emettre = 1;
    Copie_balise.clear();
    fenetre.Fixe_MODE_AUTEX(1);
    fenetre.Fixe_EMISSION_EN_COURS(0);
    fenetre.Enfonce_Bouton_RX();
  }
  const std::string port = "COM" + std::to_string(materiel.Numero_port);
  const std::string anglais = "Loss of the serial port " + port + " or of the radio module: choose the port again";
  const std::string francais =
      "Perte du port s\xE9rie " + port + " ou du module radio : choisissez \xE0 nouveau le port";
  fenetre.Label_Info(L.TRADUCTION(anglais, francais));
  fenetre.Perte_liaison_radio(L.TRADUCTION("Radio link lost: the serial port or the module does not answer",
                                           "Liaison radio perdue : le port s\xE9rie ou le module ne r\xE9pond pas"));
}

double BouclePrincipale::Debit_ecriture() const { return io_.materiel.Vitesse_port == 1200 ? 120.0 : 360.0; }

void BouclePrincipale::Emission_cadencee() {
  if (File_emission.empty()) return;
  const size_t n = File_emission.size();
  io_.priority.setPriorityClass(platform::kRealtimePriorityClass);

  // The module empties its buffer at k x 120 bytes a second and takes at most k x 110 from the writer.
  const int k = io_.materiel.Vitesse_port == 1200 ? 1 : 3;
  const uint32_t maintenant = io_.clock.timeGetTime();
  // Each elapsed millisecond is credited once, whether or not a chunk was written since.
  const float e = static_cast<float>(platform::elapsedMs(maintenant, Heure_derniere_vidange_));
  Heure_derniere_vidange_ = maintenant;
  Niveau_tampon_module = Niveau_tampon_module - static_cast<float>(k * 120) * e / 1000.0f;
  if (!(Niveau_tampon_module >= 0.0f)) Niveau_tampon_module = 0.0f;

  const long place = long(k) * 110 - (static_cast<long>(std::trunc(Niveau_tampon_module)) + 1);
  if (place <= 0) {
    io_.priority.setPriorityClass(platform::kNormalPriorityClass);
    return;
  }
  Heure_derniere_ecriture = maintenant;

  std::string morceau;
  if (size_t(place) > n) {
    morceau.swap(File_emission);
    Niveau_tampon_module += static_cast<float>(n);
  } else {
    morceau = File_emission.substr(0, size_t(place));
    File_emission.erase(0, size_t(place));
    // The module is now counted full. Met empty, it is counted at k x 110, a little more than it holds; while
    // the writer keeps it full, at the level plus the chunk, so that the part of a byte drained since the last
    // chunk is carried over: rounded up at every chunk, a timer that ticks every 10 or 16 ms (as it does under
    // Wine and on Windows) would hand over one byte a tick, 100 or 62 bytes a second instead of 120.
    Niveau_tampon_module = Niveau_tampon_module > 0.0f ? Niveau_tampon_module + static_cast<float>(place)
                                                       : static_cast<float>(k * 110);
  }

  if (Balise_active == 1) {
    Copie_balise += morceau;
    if (Copie_balise.size() > TAILLE_MAX_COPIE_BALISE)
      Copie_balise.erase(0, Copie_balise.size() - TAILLE_MAX_COPIE_BALISE);
  }
  if (io_.fenetre.Mode_fonctionnement() == "ASCII") io_.fenetre.Affiche_emission(morceau);
  OCTETS_ECRITS += uint32_t(morceau.size());
  io_.materiel.Ecrire_port_serie(io_.materiel.Handle_port, morceau);  // a failed write is not retried
  io_.priority.setPriorityClass(platform::kNormalPriorityClass);
}

void BouclePrincipale::Emission_balise() {
  const std::string texte = io_.fenetre.Texte_balise() + "\r\n";
  io_.fenetre.Affiche_editeur(texte);
  File_emission += texte;
  io_.fenetre.Fixe_MODE_AUTEX(0);
  io_.fenetre.Fixe_EMISSION_EN_COURS(1);
  Balise_a_emettre = 0;
  Balise_en_emission = 1;
  io_.fenetre.Enfonce_Bouton_TX();
}

void BouclePrincipale::Ouverture_port_transceiver(uint32_t vitesse) {
  auto& materiel = io_.materiel;
  const auto& L = io_.langues;
  materiel.Vitesse_ouverture = vitesse;
  if (!materiel.Ouvrir_port_serie(materiel.Handle_port, materiel.Numero_port, vitesse, 0, 0, 8)) {
    io_.fenetre.Label_Info(L.TRADUCTION("Failure opening the serial port at 1200 bauds",
                                        "Echec de l'ouverture du port s\xE9rie \xE0 1200 bauds"));
    Port_ouvert = 0;
  } else {
    if (materiel.Vitesse_port == 9600)
      io_.fenetre.Label_Info(L.TRADUCTION("Success opening the serial port at 9600 bauds",
                                          "R\xE9ussite de l'ouverture du port s\xE9rie \xE0 9600 bauds"));
    else
      io_.fenetre.Label_Info(L.TRADUCTION("Success opening the serial port at 1200 bauds",
                                          "R\xE9ussite de l'ouverture du port s\xE9rie \xE0 1200 bauds"));
    Vide_tampons();
    // What the port holds as it opens came before: the rest of a module's reply that the station read only in
    // part before it ended, kept by a pseudo-terminal as no real port keeps it. It is no text of the air.
    materiel.Lire_port_serie(materiel.Handle_port);
    Port_ouvert = 1;
    Niveau_tampon_module = 0.0f;
    Heure_derniere_ecriture = io_.clock.timeGetTime();
    Heure_derniere_vidange_ = Heure_derniere_ecriture;
    io_.fenetre.Redonne_focus_editeur();
  }
  if (materiel.Handle_port) materiel.Handle_port->escapeCommFunction(platform::EscapeFunction::SetRts);
}

}  // namespace station
