// TRADUCTION_AUTEX: the link and meeting supervisor. One tick of the main window's 1 ms timer: old information
// line, completion of ends of sessions, time-outs and calls, the received bits, retry limits, the decision to
// transmit, and the end of a transmission that the paced writer has finished.
#include <algorithm>
#include <cmath>

#include "autex/mathematiques.h"
#include "autex/traduction_autex.h"
#include "autex/trames_autex.h"
#include "platform/priority.h"
#include "autex/vue_autex.h"

namespace autex {

using enum NomElement;

namespace {
// Below these the limits never go: a block capture with no byte for 1.5 s, and 1.2 s of silence after a frame,
// hold at a module's usual 120 bytes a second also when the sender's timer ticks every 16 ms (its writer then
// hands the module about a byte a tick, and a packet fills more slowly than it goes on the air).
constexpr uint32_t CAPTURE_ABANDONNEE_MIN = 1500;
constexpr uint32_t SILENCE_FIN_TRAME_MIN = 1200;
// The longest time from the Master's wait origin (the end of its transmission as the writer counts it) to an
// answer's first packet when the answer was written as its window opened, at 120 bytes a second (0.35 to
// 1.45 s measured in the simulated meetings, at 1200 and 9600 bauds on the serial line and 1 or 16 ms timer
// periods).
constexpr uint32_t MARGE_ARRIVEE_MIN = 1600;
}  // namespace

// ---------------------------------------------------------------------------------------------------------
// The radio module's time on the air
// ---------------------------------------------------------------------------------------------------------

uint32_t Autex::DUREE_AIR(uint32_t octets) const {
  const double debit = std::max(1.0, hote_.Debit_air_module());
  return uint32_t(std::ceil(double(octets) * 1000.0 / debit));
}

uint32_t Autex::RETARD_AIR(uint32_t octets) const {
  // The paced writer's count assumes the module radiates as fast as it counts; a module on slower settings
  // is still sending when the writer is done.
  const double ecriture = hote_.Debit_ecriture_module();
  const uint32_t compte = ecriture > 0.0 ? uint32_t(std::ceil(double(octets) * 1000.0 / ecriture)) : 0;
  const uint32_t air = DUREE_AIR(octets);
  return air > compte ? air - compte : 0;
}

uint32_t Autex::DELAI_CAPTURE_ABANDONNEE() const {
  // The longest block at the speed (every copy of it), the packet it may share with what follows it, and
  // half as much again: bytes of a block that is still coming never stay away longer.
  const int copies = FACTEUR_REPETITION(VITESSE_VALIDE(Vitesse_AUTEX) ? Vitesse_AUTEX : 171);
  const uint32_t octets = uint32_t(copies * BITS_BLOC_MAX / 8) + OCTETS_PAQUET;
  return std::max(CAPTURE_ABANDONNEE_MIN, DUREE_AIR(octets) * 3 / 2);
}

uint32_t Autex::SILENCE_FIN_TRAME() const {
  // The radio module hands over what it hears a packet at a time: a frame still coming brings a packet at
  // least every packet's time on the air (533 ms at 120 bytes a second).
  return std::max(SILENCE_FIN_TRAME_MIN, DUREE_AIR(OCTETS_PAQUET) * 9 / 4);
}

// ---------------------------------------------------------------------------------------------------------
// Answer windows of a meeting user
// ---------------------------------------------------------------------------------------------------------

// The windows of slots 1, 2 and 3 open 0, 1 and 2 s after their origin in every meeting. In a meeting of 4
// the slot selector of each user's word tells the Master who answered. The words of a meeting of 7 or 13
// carry no selector: the Master tells its users apart by when their words reach it (SLOT_PAR_INSTANT),
// measured from the end of its own frame on the air, when the users' windows start. A word reaches the
// Master once the module has sent its first packet (a fraction of a second at 120 bytes a second), well within
// the second between two of these windows. The windows of slots 4 to 12 are 1.5 s apart: that also keeps one
// user's answer off the air before the next one's window at every speed with a 9600-baud serial line, and
// still fits the meeting of 13: its last user, entering, answers 15.5 s after the Master's frame, and the
// confirmation comes at the end of the Master's next frame, which must be within the 24 s the user waits.
uint32_t Autex::OUVERTURE_FENETRE(int slot) const {
  if (slot <= 1) return 0;
  if (slot <= 3) return uint32_t(slot - 1) * 1000;
  return 2000 + uint32_t(slot - 3) * PAS_FENETRES_LIBRES;
}

uint32_t Autex::MARGE_ARRIVEE() const {
  // The Master's own frame still leaving its module when its wait begins (the writer keeps up to a second of
  // it there), then the answer's first packet on the air.
  return std::max(MARGE_ARRIVEE_MIN, 1000 + DUREE_AIR(OCTETS_PAQUET) + 100);
}

bool Autex::DANS_FENETRE_REPONSE(int slot, uint32_t d) const {
  if (slot < 1) return false;
  const uint32_t debut = OUVERTURE_FENETRE(slot);
  return d >= debut && d <= debut + LARGEUR_FENETRE;
}

bool Autex::DANS_SECONDE_FENETRE(int slot, uint32_t d) const {
  // The second windows follow the first ones of every slot: slot 1 at 3 s, slot 2 at 4 s, slot 3 at 5 s. They
  // serve a meeting of 4, whose Master, still calling with every slot free, waits 13 s between its calls; in
  // meetings of 7 and 13 they would fall on the first windows of slots 4 to 6, so an attempt there uses its
  // slot's first window only.
  if (slot < 1 || NOMBRE_PARTICIPANTS != 4) return false;
  const uint32_t debut = uint32_t(NOMBRE_UTILISATEURS + slot - 1) * 1000;
  return d >= debut && d <= debut + LARGEUR_FENETRE;
}

uint32_t Autex::FIN_FENETRES_TENTATIVE() const {
  if (NOMBRE_PARTICIPANTS == 4) return uint32_t(2 * NOMBRE_UTILISATEURS - 1) * 1000 + LARGEUR_FENETRE;
  return OUVERTURE_FENETRE(NOMBRE_UTILISATEURS) + LARGEUR_FENETRE;
}

uint32_t Autex::ATTENTE_ENTREES() const {
  // Users already in the meeting are waited for by their answers; a slot that is free (offered) or whose user
  // is connecting may bring a frame in its window, which reaches the Master up to MARGE_ARRIVEE after the
  // window opened. The next cycle waits for the last such window, else an entering user could never be heard:
  // the Master would already be transmitting again when the user's window comes.
  // A user that has just got in waits for the Master's next frame to confirm its connection, and gives up
  // after DELAI_TENTATIVE: that frame then goes out without waiting for the windows of free slots (an
  // entering user tries again in the next cycle).
  int dernier = 0;
  for (int s = 1; s <= NOMBRE_UTILISATEURS && s < NOMBRE_SLOTS; ++s) {
    const size_t i = size_t(s);
    if (CONNECTE_SLOT[i] == 1 && TENTATIVE_SLOT[i] == 0) continue;
    if (CONFIRMATION_DUE == 1 && TENTATIVE_SLOT[i] == 0 && TRAME_EN_ATTENTE[i] == 0) continue;
    if (s == 2 && RESERVATION_S2 == 1 && TENTATIVE_SLOT[i] == 0 && TRAME_EN_ATTENTE[i] == 0) continue;
    dernier = s;
  }
  if (dernier == 0) return 0;
  return OUVERTURE_FENETRE(dernier) + LARGEUR_FENETRE + MARGE_ARRIVEE();
}

uint8_t Autex::SLOT_PAR_INSTANT(int32_t e) const {
  // Slot n's words arrive from its window's opening on, until a little before the next slot's window opens
  // (the end of the Master's frame on the air is an estimate, hence the tolerance on both sides). Earlier than
  // the first slot's, or later than the last one's, the frame was sent out of turn (a late answer to the
  // Master's previous frame): taken for a slot's, its acknowledgements and its text would be credited to the
  // wrong user, so it belongs to none.
  const int N = std::min<int>(NOMBRE_UTILISATEURS, NOMBRE_SLOTS - 1);
  const int64_t t = int64_t(e) + TOLERANCE_ARRIVEE;
  for (int n = N; n >= 1; --n)
    if (t >= int64_t(OUVERTURE_FENETRE(n))) return t < int64_t(OUVERTURE_FENETRE(n + 1)) ? uint8_t(n) : 0;
  return 0;
}

// ---------------------------------------------------------------------------------------------------------
// Transmissions
// ---------------------------------------------------------------------------------------------------------

void Autex::DEBUT_EMISSION_AUTEX() {
  EMISSION_EN_COURS = 1;
  MODE_AUTEX = 0;
  vue_.Fixe_actif(GroupBox_Parameters, false);
  hote_.Classe_priorite(platform::kRealtimePriorityClass);
  PREPARATION_TX();
  hote_.Classe_priorite(platform::kNormalPriorityClass);
}

void Autex::FIN_EMISSION_AUTEX() {
  if (EMISSION_EN_COURS == 1) {
    if (!vue_.A_le_focus(Memo_editeur) && TENTATIVE_EN_COURS != 1 && SESSION_EN_COURS != 1 &&
        vue_.Visible(Memo_editeur)) {
      vue_.Prend_focus(Memo_editeur);
      vue_.Fixe_texte(Memo_editeur, "");
      vue_.Redessine(Memo_editeur);
    }
    MODE_AUTEX = 1;
    EMISSION_EN_COURS = 0;
    // The parameters, locked while the frame was written, are free again.
    vue_.Fixe_actif(GroupBox_Parameters, true);
    INITIALISATION_PARAMETRES_RX_AUTEX();
    // The writer is done; the radio module radiates the frame until it has had the air time of all of it,
    // from when the frame was queued (it starts at once and never waits for the writer when it is slower).
    const uint32_t t = horodate();
    const uint32_t fin = T_DEBUT_EMISSION + DUREE_AIR(LONGUEUR_EMISSION);
    T_FIN_AIR = T_DEBUT_EMISSION != 0 && static_cast<int32_t>(fin - t) > 0 ? fin : t;
    if (T_FIN_AIR == 0) T_FIN_AIR = 1;
    // A Master waits for the answer from the end of its transmission. The waits are reckoned for a module that
    // radiates as fast as the writer counts; on slower settings the frame is still on the air when the writer
    // is done, for as much longer as the wait then starts later.
    if (STATION_MAITRE == 1) {
      T_DEBUT_ATTENTE += RETARD_AIR(LONGUEUR_EMISSION);
      if (T_DEBUT_ATTENTE == 0) T_DEBUT_ATTENTE = 1;
    }
  }
  hote_.Redonne_focus_editeur();
}

void Autex::EMISSION_SIMPLE() { DEBUT_EMISSION_AUTEX(); }

void Autex::EMISSION_REPONSE(uint8_t prendre) {
  if (prendre == 1) PRENDRE_TEXTE_SUIVANT();
  DEBUT_EMISSION_AUTEX();
}

void Autex::EMISSION_UTILISATEUR(uint8_t prendre) {
  if (!reunion()) {
    if (prendre == 1) PRENDRE_TEXTE_SUIVANT();
  } else {
    // The meeting user's new-frame flag follows the one its answer is sent with.
    NOUVEAU_TEXTE_REUNION = prendre;
    const size_t moi = NUMERO_SLOT < NOMBRE_SLOTS ? NUMERO_SLOT : 1;
    if (NOUVEAU_TEXTE_REUNION == 1 && BP_MEMORISE[moi] == '1') PRENDRE_TEXTE_SUIVANT();
  }
  DEBUT_EMISSION_AUTEX();
}

void Autex::EMISSION_MAITRE_REUNION() {
  if (NOUVELLE_TRAME_SLOT[0] == 1) PRENDRE_TEXTE_SUIVANT();
  CONFIRMATION_DUE = 0;
  DEBUT_EMISSION_AUTEX();
  REPONSE_RECUE_SLOT.fill(0);
}

void Autex::TENTATIVE_CONNEXION(const std::string& indicatif) {
  vue_.Fixe_texte({Memo_Reception, reunion() ? (NUMERO_SLOT >= 1 && NUMERO_SLOT <= 12 ? NUMERO_SLOT : 1) : 1}, "");
  MESSAGE_A_EMETTRE = INDICATIF_MAITRE + " < " + indicatif + "\r";
  MESSAGE_A_AFFICHER = Nom_affichable(INDICATIF_MAITRE + " < " + indicatif) + "\r";
  INFO(T("Connection attempt...", "Tentative de connexion..."));
  INDEX_CANAL = 15;
  DEBUT_EMISSION_AUTEX();
}

void Autex::VERIF_VALIDITE_CQ(int slot, uint8_t& valide) {
  const uint32_t t = maintenant();
  valide = 1;
  if (!reunion()) {
    if (T_CQ_RECU == 0 || platform::elapsedMs(t, T_CQ_RECU) > VALIDITE_CQ) {
      INDICATIF_MAITRE.clear();
      vue_.Fixe_texte({Label_CQ, 1}, "");
      vue_.Fixe_texte({Secondary_channel, 1}, "");
      ETAT_BOUTONS_AUTEX(1, 255, 0);
      hote_.Redonne_focus_editeur();
      DEMANDE_CONNEXION = 0;
      valide = 0;
    }
  } else if (slot >= 1 && slot < NOMBRE_SLOTS) {
    const uint32_t recu = T_CQ_RECU_SLOT[size_t(slot)];
    if (recu == 0 || platform::elapsedMs(t, recu) > VALIDITE_CQ) {
      EFFACE_CANAL(slot, 1);
      valide = 0;
    }
  } else {
    valide = 0;
  }
}

// ---------------------------------------------------------------------------------------------------------
// Meeting Master bookkeeping
// ---------------------------------------------------------------------------------------------------------

void Autex::COMPTE_CONNECTES() {
  NB_CONNECTES = 0;
  for (int s = 1; s <= NOMBRE_UTILISATEURS && s < NOMBRE_SLOTS; ++s)
    if (CONNECTE_SLOT[size_t(s)] == 1 && FIN_SLOT_DEMANDEE[size_t(s)] == 0) ++NB_CONNECTES;
}

void Autex::BILAN_CONNEXIONS() {
  const int N = std::min<int>(NOMBRE_UTILISATEURS, NOMBRE_SLOTS - 1);
  // An end of meeting asked for stays only while a user has not completed its end.
  if (FIN_REUNION_DEMANDEE == 1) {
    bool encore = false;
    for (int s = 1; s <= N; ++s) encore = encore || FIN_SLOT_DEMANDEE[size_t(s)] == 1;
    FIN_REUNION_DEMANDEE = encore ? 1 : 0;
  }
  // A slot is free when no user is connected in it, active when one is.
  for (int s = 1; s <= N; ++s) {
    const size_t i = size_t(s);
    SLOT_LIBRE[i] = CONNECTE_SLOT[i] == 1 ? 0 : 1;
    SLOT_ACTIF[i] = CONNECTE_SLOT[i];
  }
  // A user is connected when one slot is; the CQ goes on while no slot is connected or being attempted.
  UTILISATEUR_CONNECTE = 0;
  CQ_REUNION_ACTIF = 1;
  for (int s = 1; s <= N; ++s) {
    const size_t i = size_t(s);
    if (TENTATIVE_SLOT[i] == 1 || CONNECTE_SLOT[i] == 1) {
      CQ_REUNION_ACTIF = 0;
      if (CONNECTE_SLOT[i] == 1) UTILISATEUR_CONNECTE = 1;
    }
  }
  SESSION_EN_COURS = UTILISATEUR_CONNECTE;
  // With users connected, the Master waits until each has answered.
  if (UTILISATEUR_CONNECTE == 1) {
    TOUS_REPONDU = 1;
    for (int s = 1; s <= N; ++s)
      if (CONNECTE_SLOT[size_t(s)] == 1 && REPONDU_SLOT[size_t(s)] == 0) TOUS_REPONDU = 0;
    ATTENTE_REPONSE = TOUS_REPONDU == 0 ? 1 : 0;
  }
  // The link state shows the slots connected.
  std::string etat;
  if (UTILISATEUR_CONNECTE == 0) {
    etat = T("Disconnected", "D\xE9" "connect\xE9");
  } else {
    etat = T("Connected to S", "Connect\xE9 \xE0 S");
    for (int s = 1; s <= N; ++s)
      if (CONNECTE_SLOT[size_t(s)] == 1) etat += std::to_string(s) + " ";
  }
  if (vue_.Texte(Etat_liaison) != etat) ETAT(etat);
  // Users counted.
  COMPTE_CONNECTES();
}

void Autex::LIBERE_SLOT(int slot) {
  if (slot < 1 || slot > 12) return;
  vue_.Fixe_texte({Secondary_channel, slot}, "");
  vue_.Fixe_texte({Indicatif, slot}, "");
  vue_.Fixe_texte({Nombre_de_repetitions, slot}, "0");
}

void Autex::FIN_LIEN_ACHEVEE(int slot) {
  INFO(T("End of link completed, with", "Fin de lien achev\xE9" "e, avec") + " " + NOM_SLOT[size_t(slot)]);
  LIBERE_SLOT(slot);
  T_FIN_LIEN_SLOT[size_t(slot)] = 0;
  CONNECTE_SLOT[size_t(slot)] = 0;
  BOUTONS_SLOT_LIBERE(slot);
  BILAN_CONNEXIONS();
  FIN_LIEN_UTILISATEUR(slot);
}

void Autex::FIN_LIEN_UTILISATEUR(int slot) {
  // Its reason is the information line's.
  const std::string raison = FIN_DE_LIAISON(vue_.Texte(Label_Info_AUTEX));
  RECEPTION_COUPEE(slot, raison);
  bool reste = false;
  for (int s = 1; s <= NOMBRE_UTILISATEURS && s < NOMBRE_SLOTS; ++s) reste = reste || CONNECTE_SLOT[size_t(s)] == 1;
  if (!reste) FIN_LIENS_MAITRE(raison);
}

void Autex::MANQUE_ACQUITTEMENT(int mode, int slot) {
  const size_t s = size_t(slot);
  vue_.Fixe_texte(Label_Info_AUTEX, 
      (mode == 1 ? T("No reception of", "Pas de r\xE9" "ception de")
                 : T("It misses acknowledgments from", "Il manque des acquittements de")) +
      " " + NOM_SLOT[s] + " (" + std::to_string(MANQUES_SLOT[s]) + ")");
  COMPTE_CONNECTES();
  LIMITE_MANQUES = NB_CONNECTES == 1 ? 5 : 2;
  if (MANQUES_SLOT[s] > LIMITE_MANQUES) {
    SLOT_PERDU[s] = 1;
    MANQUES_SLOT[s] = 0;
    AFFICHE_INDICATIF_SLOT(slot, "");
    AFFICHE_MANQUES_SLOT(slot);
  }
  TRACE_INFO();
}

void Autex::BOUTONS_SLOT_CONNECTE(int slot) {
  if (slot < 1 || slot > 12) return;
  vue_.Fixe_actif({SORTIR_DE_LA_REUNION, slot}, true);
  vue_.Fixe_enfonce({ENTRER_DANS_LA_REUNION, slot}, true);
}

void Autex::BOUTONS_SLOT_LIBERE(int slot) {
  if (slot < 1 || slot > 12) return;
  vue_.Fixe_enfonce({SORTIR_DE_LA_REUNION, slot}, true);
  vue_.Fixe_actif({SORTIR_DE_LA_REUNION, slot}, false);
}

// ---------------------------------------------------------------------------------------------------------
// One tick
// ---------------------------------------------------------------------------------------------------------

void Autex::SUPERVISION_AUTEX() {
  if (MODE_AUTEX == 1) {
    const uint32_t t = maintenant();
    const bool maitre = STATION_MAITRE == 1;
    const int N = std::min<int>(NOMBRE_UTILISATEURS, NOMBRE_SLOTS - 1);
    // The information line is emptied 15 s after it was written.
    if (T_MESSAGE_INFO != 0 && platform::elapsedMs(t, T_MESSAGE_INFO) > 15000) {
      T_MESSAGE_INFO = 0;
      vue_.Fixe_texte(Label_Info_AUTEX, "");
    }
    // A capture whose end never came is given up.
    bool capture = CAPTURE_BLOC == 1 || BLOC_EN_RECEPTION > 0;
    for (int s = 1; s <= N; ++s) capture = capture || CAPTURE_BLOC_SLOT[size_t(s)] == 1;
    if (capture && RECEPTION_TERMINEE == 0 && T_DERNIER_OCTET != 0 &&
        platform::elapsedMs(t, T_DERNIER_OCTET) > DELAI_CAPTURE_ABANDONNEE()) {
      RAZ_DETECTION_DP();
      BLOC_EN_RECEPTION = 0;
      for (auto& c : CONTEXTES) {
        c.BLOC_COMPLET = 0;
        c.BLOC_EN_RECEPTION_2 = 0;
        c.BITS_RECUS_BLOC = 0;
      }
      T_DERNIER_OCTET = 0;
    }
    // Completion of ends of sessions.
    if ((!reunion() && FIN_LIEN_EN_COURS == 1) || (reunion() && !maitre && FIN_REUNION_EN_COURS == 1)) {
      if (T_FIN_SESSION == 0) {
        T_FIN_SESSION = horodate();
      } else if (platform::elapsedMs(t, T_FIN_SESSION) > DELAI_FIN_SESSION) {
        SESSION_EN_COURS = 0;
        T_FIN_SESSION = 0;
        INFO(T("End of meeting completed", "Fin de r\xE9union achev\xE9" "e"));
        DECONNEXION();
        return;
      }
    } else if (reunion() && maitre) {
      for (int n = 1; n <= N; ++n) {
        const size_t i = size_t(n);
        if (FIN_LIEN_SLOT[i] == 1) {
          if (T_FIN_LIEN_SLOT[i] == 0) {
            T_FIN_LIEN_SLOT[i] = horodate();
          } else if (platform::elapsedMs(t, T_FIN_LIEN_SLOT[i]) > DELAI_FIN_SESSION) {
            FIN_LIEN_SLOT[i] = 0;
            FIN_LIEN_ACHEVEE(n);
          }
        }
      }
    }
    // Time-outs and calls.
    if (maitre) {
      // (The wait may start a little ahead, while the own frame is still on the air: nothing has elapsed yet.)
      const uint32_t e = platform::reached(t, T_DEBUT_ATTENTE) ? platform::elapsedMs(t, T_DEBUT_ATTENTE) : 0;
      bool applique = false;
      if (!reunion()) {
        // Nor is a link user's block that is coming in cut off: on slow settings it takes longer on the air
        // than the whole wait, though its DP reached the Master in time.
        if (SESSION_EN_COURS == 1 && ATTENTE_REPONSE == 1 && e > DELAI_REPONSE && BLOC_EN_RECEPTION == 0) {
          REPETITION_DEMANDEE = 1;
          INFO(T("No reception of the user", "Pas de r\xE9" "ception de l'utilisateur"));
          EMISSION_REPONSE(0);
          return;
        }
      } else {
        bool attente = false;
        for (int n = 1; n <= N; ++n) attente = attente || TRAME_EN_ATTENTE[size_t(n)] == 1;
        // A user's block that is coming in is not cut off by the time-out: its DP reached the Master in time.
        if ((UTILISATEUR_CONNECTE == 1 || attente) && ATTENTE_REPONSE == 1 && e > DELAI_REPONSE &&
            BLOC_EN_RECEPTION == 0) {
          applique = true;
          if (UTILISATEUR_CONNECTE == 1 || e > std::max<uint32_t>(8000, ATTENTE_ENTREES())) {
            if (UTILISATEUR_CONNECTE == 0 && attente) {
              INFO(T("Pseudo-acknowledgement to a next user", "Pseudo-acquittement \xE0 un prochain utilisateur"));
              T_DERNIER_CQ = horodate();
            }
            for (int n = 1; n <= N; ++n) {
              const size_t i = size_t(n);
              if (CONNECTE_SLOT[i] == 1 && REPONDU_SLOT[i] == 0) {
                if (MANQUES_SLOT[i] < 255) ++MANQUES_SLOT[i];
                MANQUE_ACQUITTEMENT(1, n);
                AFFICHE_MANQUES_SLOT(n);
              }
            }
            EMISSION_MAITRE_REUNION();
            return;
          }
        }
      }
      if (!applique && BLOC_EN_RECEPTION == 0) {
        if (!reunion()) {
          if (MAITRE_APPELLE == 1 && platform::elapsedMs(t, T_DERNIER_CQ) > PERIODE_CQ_LIEN) {
            T_DERNIER_CQ = horodate();
            LANCEMENT_CQ(INDICATIF_PROPRE);
          }
        } else {
          const uint32_t periode = NOMBRE_PARTICIPANTS == 4 ? PERIODE_CQ_REUNION_4
                                   : NOMBRE_PARTICIPANTS == 7 ? PERIODE_CQ_REUNION_7
                                                              : PERIODE_CQ_REUNION_13;
          if (UTILISATEUR_CONNECTE == 0 && platform::elapsedMs(t, T_DERNIER_CQ) > periode) {
            T_DERNIER_CQ = horodate();
            bool attente = false;
            for (int n = 1; n <= N; ++n) attente = attente || TRAME_EN_ATTENTE[size_t(n)] == 1;
            if (!attente && CQ_REUNION_ACTIF == 1)
              LANCEMENT_CQ(INDICATIF_PROPRE);
            else
              EMISSION_MAITRE_REUNION();
          }
        }
      }
    } else {
      // User time-outs: the first that applies.
      if (SESSION_EN_COURS == 1 && IGNORES_MAITRE >= 9) {
        INFO(!reunion() ? T("End of meeting, the Master ignoring my messages",
                            "Fin de r\xE9union, le Ma\xEEtre ignorant mes messages")
                        : T("End of link, the Master ignoring my messages",
                            "Fin de lien, le Ma\xEEtre ignorant mes messages"));
        DECONNEXION();
        return;
      }
      if (SESSION_EN_COURS == 1 && T_RECEPTION_MAITRE != 0 &&
          platform::elapsedMs(t, T_RECEPTION_MAITRE) > DELAI_PERTE_MAITRE) {
        SESSION_EN_COURS = 0;
        INFO(T("End of meeting by loss of the Master", "Fin de r\xE9union par perte du Ma\xEEtre"));
        DECONNEXION();
        return;
      }
      if (reunion() && TENTATIVE_EN_COURS == 1 && platform::elapsedMs(t, T_TENTATIVE) > DELAI_TENTATIVE) {
        TENTATIVE_EN_COURS = 0;
        INFO(T("Failure of the attempt", "Echec de la tentative"));
        ETAT_BOUTONS_AUTEX(1, 255, 0);
        GESTION_PRELIMINAIRE_AUTEX();
        EMISSION_EN_COURS = 0;
        MODE_AUTEX = 1;
        INITIALISATION_PARAMETRES_RX_AUTEX();
        ETAT(T("Disconnected", "D\xE9" "connect\xE9"));
        hote_.Redonne_focus_editeur();
        return;
      }
      if (reunion() && SESSION_EN_COURS == 1 && CONNEXION_CONDITIONNELLE == 1 &&
          platform::elapsedMs(t, T_TENTATIVE) > DELAI_TENTATIVE) {
        CONNEXION_CONDITIONNELLE = 0;
        SESSION_EN_COURS = 0;
        INFO(T("End of connection by loss of the Master", "Fin de connexion par perte du Ma\xEEtre"));
        DECONNEXION();
        return;
      }
      if (SESSION_EN_COURS == 1 && CONTEXTES[0].BLOC_EN_RECEPTION_2 == 0 && ATTENTE_FENETRE == 1 &&
          T_TRAME_MAITRE != 0 && BLOC_EN_RECEPTION == 0) {
        bool dans_fenetre = !reunion() && platform::elapsedMs(t, T_TRAME_MAITRE) > DELAI_AVANT_REPONSE;
        if (reunion() && NOMBRE_PARTICIPANTS == 4) {
          // Without the end of the Master's frame the origin of the window is estimated: the announced delay
          // after the last word heard. That delay is reckoned for 1200 bauds and a fast module; at 400 and 171,
          // or on slow settings, the Master is still transmitting then, deaf to the answer, and the user,
          // transmitting, would miss the rest of the frame. The origin is therefore never before the frame has
          // stopped coming in: the radio module hands over what it hears a packet at a time, so the frame is over
          // once no byte came for longer than a packet takes to come at the module's rate.
          uint32_t origine = T_TRAME_MAITRE + DELAI_AVANT_REPONSE;
          const uint32_t silence = T_DERNIER_OCTET + SILENCE_FIN_TRAME();
          if (T_DERNIER_OCTET != 0 && static_cast<int32_t>(silence - origine) > 0) origine = silence;
          dans_fenetre = static_cast<int32_t>(t - origine) > 0 && DANS_FENETRE_REPONSE(NUMERO_SLOT, t - origine);
        }
        // In a meeting of 7 or 13 the Master tells its users apart by when their answers arrive, and an answer
        // placed by an estimate could land in another user's window: the user stays silent until the next
        // complete frame.
        if (dans_fenetre) {
          INFO(T("Answer to CQ (or no complete Master frame)", "R\xE9ponse \xE0 CQ (ou trame Ma\xEEtre incompl\xE8te)"));
          EMISSION_UTILISATEUR(NOUVEAU_TEXTE);
          T_TRAME_MAITRE = 0;
          return;
        }
      }
    }
    // The received bits, one soft value each.
    std::string& tampon = hote_.Tampon_reception();
    if (!tampon.empty()) {
      std::string octets;
      octets.swap(tampon);
      T_DERNIER_OCTET = horodate();
      for (const char octet : octets) {
        const auto o = static_cast<unsigned char>(octet);
        for (int b = 7; b >= 0; --b) {
          const float soft = ((o >> b) & 1) ? 1.0f : -1.0f;
          if (STATION_MAITRE == 1 && reunion())
            RECEPTION_BIT_MAITRE(soft);
          else
            RECEPTION_BIT_STATION(soft);
        }
      }
    }
    // Retry limits.
    if (!reunion()) {
      if (ESSAIS_EMISSION[0] >= LIMITE_ESSAIS_LIEN || ESSAIS_EMISSION[1] >= LIMITE_ESSAIS_LIEN) {
        SESSION_EN_COURS = 0;
        INFO(T("End of meeting considered after 3 retries", "Fin de r\xE9union consid\xE9r\xE9" "e apr\xE8s 3 essais"));
        DECONNEXION();
        return;
      }
    } else if (STATION_MAITRE == 0) {
      if (ESSAIS_EMISSION[0] >= LIMITE_ESSAIS_REUNION || ESSAIS_EMISSION[1] >= LIMITE_ESSAIS_REUNION) {
        SESSION_EN_COURS = 0;
        INFO(T("End of link considered after 3 retries", "Fin de lien apr\xE8s 3 essais"));
        DECONNEXION();
        return;
      }
    } else {
      const uint8_t f = FIN_REUNION_DEMANDEE;
      for (int n = 1; n <= N; ++n) {
        const size_t i = size_t(n);
        if (ESSAIS_SLOT[i] >= LIMITE_ESSAIS_REUNION) {
          ESSAIS_SLOT[i] = 0;
          FIN_SLOT_DEMANDEE[i] = 0;
          CONNECTE_SLOT[i] = 0;
          LIBERE_SLOT(n);
          BOUTONS_SLOT_LIBERE(n);
          for (auto& ligne : ACQUITTEMENT_MANQUANT) ligne[i] = 0;
          BILAN_CONNEXIONS();
          INFO(T("End of link considered after 3 retries, with", "Fin de lien apr\xE8s 3 essais, avec") + " " +
               NOM_SLOT[i]);
          ETIQUETTE_CQ_SLOT(n, T("End of link", "Fin du lien"));
          FIN_LIEN_UTILISATEUR(n);
          if (f == 1 && FIN_REUNION_DEMANDEE == 0 && UTILISATEUR_CONNECTE == 0) {
            DECONNEXION();
            return;
          }
        }
      }
    }
    // Transmissions (none while one is being written).
    if (EMISSION_EN_COURS == 0) {
      if (maitre && !reunion()) {
        if (SESSION_EN_COURS == 1) {
          if (PERTE_UTILISATEUR == 1) {
            INFO(T("End of meeting by loss of the user", "Fin de r\xE9union par perte de l'utilisateur"));
            DECONNEXION();
            return;
          }
          if (FIN_A_EMETTRE_MAITRE == 1) {
            EMISSION_SIMPLE();
            FIN_A_EMETTRE_MAITRE = 0;
          } else if (REPONSE_DUE_MAITRE == 1) {
            EMISSION_REPONSE(NOUVEAU_TEXTE);
            return;
          }
        }
      } else if (maitre) {
        if (UTILISATEUR_CONNECTE == 1) {
          for (int n = 1; n <= N; ++n) {
            const size_t i = size_t(n);
            if (CONNECTE_SLOT[i] == 1) {
              if (PERTE_SLOT[i] == 1) {
                INFO(T("End of meeting by loss of", "Fin de r\xE9union par perte de") + " " + NOM_SLOT[i]);
                CONNECTE_SLOT[i] = 0;
                LIBERE_SLOT(n);
                BOUTONS_SLOT_LIBERE(n);
                FIN_LIEN_UTILISATEUR(n);
                return;
              }
              if (REPONSE_RECUE_SLOT[i] == 1) {
                REPONDU_SLOT[i] = 1;
                BILAN_CONNEXIONS();
              }
            }
          }
          BILAN_CONNEXIONS();
          if (TOUS_REPONDU == 1 && BLOC_EN_RECEPTION == 0 &&
              platform::reached(t, T_DEBUT_ATTENTE) &&
              platform::elapsedMs(t, T_DEBUT_ATTENTE) >= ATTENTE_ENTREES()) {
            TOUS_REPONDU = 0;
            EMISSION_MAITRE_REUNION();
            return;
          }
        }
      } else if (SESSION_EN_COURS == 1) {
        if (!reunion() && FIN_A_EMETTRE_UTILISATEUR == 1) {
          EMISSION_SIMPLE();
          FIN_A_EMETTRE_UTILISATEUR = 0;
        } else if (REPONSE_DUE_UTILISATEUR == 1) {
          if (!reunion() || DANS_FENETRE_REPONSE(NUMERO_SLOT, platform::elapsedMs(t, T_TRAME_UTILISATEUR))) {
            if (reunion() && FIN_REUNION_A_EMETTRE == 1) {
              EMISSION_SIMPLE();
              FIN_REUNION_A_EMETTRE = 0;
            } else {
              EMISSION_UTILISATEUR(NOUVEAU_TEXTE);
            }
            return;
          }
        }
      } else if (!reunion()) {
        if (DEMANDE_CONNEXION == 1 && T_CQ_RECU_LIEN != 0 && platform::elapsedMs(t, T_CQ_RECU_LIEN) > 0 &&
            platform::elapsedMs(t, T_CQ_RECU_LIEN) < 4000) {
          T_CQ_RECU_LIEN = 0;
          TENTATIVE_CONNEXION(INDICATIF_CONNEXION);
          TENTATIVE_EN_COURS = 1;
          SESSION_EN_COURS = 0;
          DP_VERIFIE = 0;
          DEMANDE_CONNEXION = 0;
        } else if (!INDICATIF_MAITRE.empty()) {
          uint8_t valide = 0;
          VERIF_VALIDITE_CQ(1, valide);
        }
      } else {
        if (DEMANDE_CONNEXION == 1 && T_TRAME_REUNION != 0 && platform::reached(t, T_TRAME_REUNION)) {
          const uint32_t d = platform::elapsedMs(t, T_TRAME_REUNION);
          if (d > FIN_FENETRES_TENTATIVE()) T_TRAME_REUNION = 0;
          if (DANS_FENETRE_REPONSE(NUMERO_SLOT, d) ||
              (RANG_TRAME_MAITRE == NOMBRE_UTILISATEURS && DANS_SECONDE_FENETRE(NUMERO_SLOT, d))) {
            T_TRAME_REUNION = 0;
            T_TENTATIVE = horodate();
            TENTATIVE_CONNEXION(INDICATIF_CONNEXION);
            TENTATIVE_EN_COURS = 1;
            SESSION_EN_COURS = 0;
            DP_VERIFIE = 0;
            DEMANDE_CONNEXION = 0;
            DEMANDE_CONNEXION_REUNION = 0;
          }
        } else {
          for (int n = 1; n <= N; ++n) {
            if (CQ_RECU_SLOT[size_t(n)] == 1) {
              uint8_t valide = 0;
              VERIF_VALIDITE_CQ(n, valide);
            }
          }
        }
      }
    }
  }
  // Transmission progress.
  if (EMISSION_EN_COURS == 1) {
    // Shown and painted at once when it appears; while it stays up, nothing of it changes to repaint.
    if (!vue_.Visible(Indique_TX_AUTEX)) {
      vue_.Fixe_visible(Indique_TX_AUTEX, true);
      vue_.Redessine(Indique_TX_AUTEX);
    }
    if (hote_.OCTETS_ECRITS() >= LONGUEUR_EMISSION) {
      FIN_EMISSION_AUTEX();
      vue_.Fixe_visible(Indique_TX_AUTEX, false);
    }
  }
}

}  // namespace autex
