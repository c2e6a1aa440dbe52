// TRADUCTION_AUTEX: session state, the idle set-up, the receive parameters and the trace.
#include <cstdio>

#include "autex/traduction_autex.h"
#include "autex/trames_autex.h"
#include "autex/vue_autex.h"

namespace autex {

using enum NomElement;

namespace {
// "M" for the Master, "S1" .. "S12" for the users.
std::string nom_slot(int s) {
  std::string nom(1, s == 0 ? 'M' : 'S');
  if (s > 0) nom += std::to_string(s);
  return nom;
}
}  // namespace

Autex::Autex(Langues& langues, Horodatage& horodatage, platform::Clock& horloge, VueAutex& vue)
    : vue_(vue), langues_(langues), horodatage_(horodatage), horloge_(horloge), hote_(vue) {
  for (int s = 0; s < NOMBRE_SLOTS; ++s) NOM_SLOT[size_t(s)] = nom_slot(s);
  MODELE_ZERO_DP.assign(size_t(3) * LONGUEUR_MOT_DP, '0');
  FENETRE_DP = MODELE_ZERO_DP;
  for (auto& f : FENETRE_DP_SLOT) f = MODELE_ZERO_DP;
  SIGNATURE_ATTENDUE = SIGNATURE_0011(20);
  SIGNATURE_EMISE = SIGNATURE_0011(20);
  POLYNOME_BCH_RX = std::string(POLYNOME_BCH);
  MOT_NUL_31.assign(31, '0');
}

// ---------------------------------------------------------------------------------------------------------
// Trace and status lines
// ---------------------------------------------------------------------------------------------------------

std::string Autex::HEURE_SYSTEME() {
  const platform::SystemTime t = horloge_.utcTime();
  char b[16];
  std::snprintf(b, sizeof b, "%02u:%02u:%02u:%03u", unsigned(t.wHour) % 100, unsigned(t.wMinute) % 100,
                unsigned(t.wSecond) % 100, unsigned(t.wMilliseconds) % 1000);
  return b;
}

std::string Autex::HEURE_LOCALE() {
  const platform::SystemTime t = horloge_.localTime();
  char b[8];
  std::snprintf(b, sizeof b, "%02u:%02u", unsigned(t.wHour) % 100, unsigned(t.wMinute) % 100);
  return b;
}

void Autex::TRACE_LIGNE(const std::string& ligne) {
  // One line each, whatever a text or a call sign received in it holds: its own line end goes, and every other
  // control character shows as "?".
  std::string_view texte = ligne;
  while (!texte.empty() && (texte.back() == '\r' || texte.back() == '\n')) texte.remove_suffix(1);
  TRACE_AUTEX += Nom_affichable(texte);
  TRACE_AUTEX += "\r\n";
}

void Autex::TRACE_ETAT() {
  vue_.Redessine(Etat_liaison);
  if (TRACE_ACTIVE == 1) TRACE_LIGNE(HEURE_SYSTEME() + " ETAT " + vue_.Texte(Etat_liaison));
}

void Autex::TRACE_INFO() {
  vue_.Redessine(Label_Info_AUTEX);
  T_MESSAGE_INFO = horodate();
  if (TRACE_ACTIVE == 1) TRACE_LIGNE(HEURE_SYSTEME() + " INFO " + vue_.Texte(Label_Info_AUTEX));
  hote_.Redonne_focus_editeur();
}

void Autex::TRACE_MEMO_E(const std::string& texte) {
  hote_.Affiche_emission(texte);
  if (TRACE_ACTIVE == 1) TRACE_LIGNE(HEURE_SYSTEME() + " MEMO_E " + texte);
}

std::string Autex::VU_DANS_ECHO(EchoSansFichier& filtre, NomElement memo, const std::string& texte) {
  const std::string montre = vue_.Texte(memo);
  filtre.Fixe_debut_de_ligne(montre.empty() || montre.back() == '\n' || montre.back() == '\r');
  return filtre.Filtre(texte, T("File", "Fichier"));
}

void Autex::INFO(const std::string& texte) {
  // One line, whatever a call sign received in it holds.
  vue_.Fixe_texte(Label_Info_AUTEX, Nom_affichable(texte));
  TRACE_INFO();
}

void Autex::ETAT(const std::string& texte) {
  vue_.Fixe_texte(Etat_liaison, texte);
  TRACE_ETAT();
}

std::string Autex::MOT_ROLE() const {
  if (STATION_MAITRE == 1) return "MASTER";
  if (SESSION_EN_COURS == 1) return "USER";
  return "SWL";
}

const std::string& Autex::CRC_INDICATIF(const std::string& indicatif) {
  if (indicatif != crc_indicatif_ || crc_valeur_.empty()) {
    crc_indicatif_ = indicatif;
    crc_valeur_ = CONTROLE_POLYNOME(indicatif);
  }
  return crc_valeur_;
}

int Autex::SLOTS_EXISTANTS() const {
  switch (NOMBRE_PARTICIPANTS) {
    case 4: return 3;
    case 7: return 6;
    case 13: return 12;
    default: return 1;
  }
}

uint8_t Autex::PAS_HAUTEUR_COURANT() const {
  switch (NOMBRE_PARTICIPANTS) {
    case 4: return PAS_HAUTEUR_4;
    case 7: return PAS_HAUTEUR_7;
    case 13: return PAS_HAUTEUR_13;
    default: return PAS_HAUTEUR_2;
  }
}

// ---------------------------------------------------------------------------------------------------------
// The idle state
// ---------------------------------------------------------------------------------------------------------

void Autex::GESTION_PRELIMINAIRE_AUTEX() {
  // Back to the idle reception mode, nothing on the air.
  MODE_AUTEX = 1;
  EMISSION_EN_COURS = 0;
  // Panel height of the participant count.
  HAUTEUR_PANNEAU = uint16_t(PAS_HAUTEUR_COURANT() * 20);
  vue_.Fixe_texte(Label_hauteur_Panel_Autex, std::to_string(HAUTEUR_PANNEAU));
  DISPOSITION_PANNEAUX_AUTEX();
  // The participant count's button is put down.
  switch (NOMBRE_PARTICIPANTS) {
    case 4: vue_.Fixe_enfonce(Partipants_Autex_4, true); break;
    case 7: vue_.Fixe_enfonce(Partipants_Autex_7, true); break;
    case 13: vue_.Fixe_enfonce(Partipants_Autex_13, true); break;
    default: vue_.Fixe_enfonce(Partipants_Autex_2, true); break;
  }
  // Users of the count, and the slot names of a meeting.
  NOMBRE_UTILISATEURS = uint8_t(NOMBRE_PARTICIPANTS > 0 ? NOMBRE_PARTICIPANTS - 1 : 0);
  if (reunion()) {
    for (int s = 0; s < NOMBRE_SLOTS; ++s) NOM_SLOT[size_t(s)] = nom_slot(s);
  }
  // Idle buttons; the station is no Master.
  ETAT_BOUTONS_AUTEX(1, 255, 0);
  STATION_MAITRE = 0;
  // Trace of the return to idle.
  if (TRACE_ACTIVE == 1)
    TRACE_LIGNE(HEURE_SYSTEME() + std::string(" GESTION_PRELIMINAIRE_AUTEX ").append(std::to_string(NOMBRE_PARTICIPANTS)));
  // First activation: each reception memo of the count is focused once and its handle recorded. Their texts
  // stay: only the user's erase button and the start of a meeting empty them.
  if (PREMIERE_ACTIVATION == 1) {
    PREMIERE_ACTIVATION = 0;
    for (int k = 0; k <= SLOTS_EXISTANTS(); ++k) {
      vue_.Prend_focus({Memo_Reception, k});
      HANDLE_MEMO_RECEPTION[size_t(k)] = vue_.Handle_fenetre({Memo_Reception, k});
    }
  }
  // Texts and flags of the transmit side.
  for (int s = 0; s < NOMBRE_SLOTS; ++s) {
    TEXTE_TX[size_t(s)].clear();
    TEXTE_TX_AFFICHE[size_t(s)].clear();
    BLOC_RELAIS[size_t(s)].clear();
    TEXTE_RELAIS[size_t(s)].clear();
    BLOC_RS_SAUVE[size_t(s)].clear();
    MESSAGE_RELAIS_1[size_t(s)].vider();
    MESSAGE_RELAIS_2[size_t(s)].vider();
    RELAIS_2_OCCUPE[size_t(s)] = 0;
    SECOND_MESSAGE[size_t(s)] = 0;
    BLOC_REPETE[size_t(s)] = 0;
    TEXTE_MESSAGE_S[size_t(s)].clear();
    TEXTE_RECU_S[size_t(s)].clear();
    MESSAGE_EN_SERVICE[size_t(s)] = 0;
    MESSAGE_ACQUITTE[size_t(s)] = 0;
    SLOTS_ACTIFS_MESSAGE[size_t(s)] = 0;
  }
  TEXTE_EMIS.clear();
  T_DERNIER_OCTET = 0;
  SESSION_EN_COURS = 0;
  NOUVEAU_TEXTE = 0;
  IGNORES_MAITRE = 0;
  TENTATIVE_EN_COURS = 0;
  CONNEXION_CONDITIONNELLE = 0;
  // The two transmit-side flags: the acknowledgement awaited and the meeting user's new-frame flag.
  ACQUITTEMENT_ATTENDU = 0;
  NOUVEAU_TEXTE_REUNION = 0;
  for (int s = 0; s < NOMBRE_SLOTS; ++s) {
    TRAME_EN_ATTENTE[size_t(s)] = 0;
    TENTATIVE_SLOT[size_t(s)] = 0;
    // Per participant: the slot is not active, a new frame may be built for it.
    SLOT_ACTIF[size_t(s)] = 0;
    NOUVELLE_TRAME_SLOT[size_t(s)] = 1;
    PREMIERE_TRAME_SLOT[size_t(s)] = 0;
    ACQUITTEMENT_MANQUANT[size_t(s)].fill(0);
  }
  // End times forgotten; the session state reset.
  T_FIN_SESSION = 0;
  T_FIN_LIEN_SLOT.fill(0);
  RAZ_ETAT_SESSION();
  // The transmit-side flag is the link Master's give-up; the three receive-side flags are the link
  // Master's reply due, repetition request and loss of the user; the per-slot ones are the answers received,
  // answered in the cycle and the loss of the slot's user.
  CQ_REUNION_ACTIF = 0;
  MAITRE_APPELLE = 0;
  DEMANDE_CONNEXION = 0;
  DEMANDE_CONNEXION_REUNION = 0;
  ABANDON_LIEN = 0;
  REPONSE_DUE_MAITRE = 0;
  REPETITION_DEMANDEE = 0;
  PERTE_UTILISATEUR = 0;
  REPONSE_RECUE_SLOT.fill(0);
  REPONDU_SLOT.fill(0);
  PERTE_SLOT.fill(0);
  SLOT_PERDU.fill(0);
  ENTENDU_SLOT.fill(0);
  ESSAIS_TENTATIVE_SLOT.fill(0);
  CONFIRMATION_DUE = 0;
  MESSAGE_RELAYE.fill(0);
  CONNECTE_SLOT.fill(0);
  UTILISATEUR_CONNECTE = 0;
  TOUS_REPONDU = 0;
  hote_.Fixe_DEMANDE_ENVOI_MESSAGE(0);
  // Call signs, texts waiting for transmission, the link user's pending answer and frame lengths forgotten; the own
  // slot is 1 again.
  INDICATIF_PROPRE.clear();
  INDICATIF_MAITRE.clear();
  for (auto& i : INDICATIFS_CORRESPONDANTS) i.clear();
  INDICATIF_CONNEXION.clear();
  TEXTE_TX[0].clear();
  SAUVE_TEXTE.clear();
  MESSAGE_A_EMETTRE.clear();
  MESSAGE_A_AFFICHER.clear();
  TRAME_COMPLETE_SAUVEE.clear();
  REPONSE_DUE_UTILISATEUR = 0;
  ATTENTE_FENETRE = 0;
  L_TX.fill(L_AUCUN);
  NUMERO_SLOT = 1;
  // The three receive-side counters: the Master frames of the cycle, and the failure counts of the block
  // memory (the station's and each slot's).
  RANG_TRAME_MAITRE = 0;
  for (auto& c : CONTEXTES) c.NB_ECHECS = 0;
  MANQUES_SLOT.fill(0);
  // Transmit indicator hidden, counters and CQ offers of the slots emptied.
  vue_.Fixe_visible(Indique_TX_AUTEX, false);
  RAZ_COMPTEURS_AFFICHES();
  for (int n = 1; n <= 12; ++n) vue_.Fixe_texte({Label_CQ, n}, "");
  // Own and per-slot header bits, and the header bits the receive side keeps. KD1_PRECEDENT of a link
  // starts at '1': the connection request carries KD1 '1', so the user's first text ('0') counts as new.
  BA_TX = bits_a('0');
  BE_TX = bits_a('0');
  BM_TX = bits_a('0');
  BN_TX = bits_a('0');
  BP_TX = bits_a('0');
  KD1_TX = bits_a('0');
  KD2_TX = bits_a('0');
  KD3_TX = bits_a('0');
  B_EMIS = bits_a('0');
  BA_RECU = BE_RECU = BM_RECU = '0';
  BN_MEMORISE = bits_a('0');
  BP_MEMORISE = bits_a('0');
  BE_S = bits_a('0');
  BM_S = bits_a('0');
  for (auto& b : B_S) b.clear();
  KD1_RECU = bits_a('0');
  KD1_PRECEDENT = bits_a('0');
  KD1_PRECEDENT[0] = reunion() ? '0' : '1';
  KD3_RECU = bits_a('0');
  KD1_MAITRE_RECU = '0';
  KD1_MAITRE_PRECEDENT = '0';
  KD1_S_RECU = bits_a('0');
  KD1_MESSAGE = bits_a('0');
  BN_STOCKE = bits_a('0');
  KD1_RELAIS = bits_a('0');
  KD3_RELAIS = bits_a('0');
  ACQUITTEMENT_PERSONNEL = 0;
  CQ_RECU_SLOT.fill(0);
  T_CQ_RECU_SLOT.fill(0);
  // Transmit side reset.
  REINIT_EMISSION();
  // Secondary channel.
  {
    std::string divers = vue_.Texte(DIVERS);
    SUPPRIMER_ESPACES(divers);
    FILTRE_CARACTERES(divers, TEXTE_DIVERS);
    vue_.Fixe_texte(DIVERS, TEXTE_DIVERS);
    VERIF_INDICATIF_PROPRE();
    AFFICHE_CANAL_SECONDAIRE();
    INDEX_CANAL = 15;
    vue_.Fixe_debut_selection(DIVERS, int(TEXTE_DIVERS.size()));
  }
  // The 3-column switch exists for 7 and 13 participants, set as stored for that count.
  if (NOMBRE_PARTICIPANTS == 7 || NOMBRE_PARTICIPANTS == 13) {
    vue_.Fixe_visible(Sur_3_colonnes_AUTEX, true);
    vue_.Fixe_enfonce(Sur_3_colonnes_AUTEX, (NOMBRE_PARTICIPANTS == 7 ? TROIS_COLONNES_7 : TROIS_COLONNES_13) == 1);
  } else {
    vue_.Fixe_visible(Sur_3_colonnes_AUTEX, false);
  }
  vue_.Fixe_visible(AUCUN_CQ_S2, true);
  TEXTES_FENETRE_AUTEX(/*garder_info=*/true);
  // Short-message and file reception of every participant.
  RAZ_RECEPTION_FICHIERS();
}

void Autex::RAZ_ETAT_SESSION() {
  // End-request flags of the transmit side and per slot.
  FIN_REUNION_DEMANDEE = 0;
  FIN_A_EMETTRE_MAITRE = 0;
  FIN_A_EMETTRE_UTILISATEUR = 0;
  FIN_REUNION_A_EMETTRE = 0;
  FIN_SLOT_DEMANDEE.fill(0);
  FIN_DEMANDEE_PAR_SLOT.fill(0);
  FIN_LIEN_EN_COURS = 0;
  FIN_REUNION_EN_COURS = 0;
  FIN_LIEN_SLOT.fill(0);
  ESSAIS_EMISSION.fill(0);
  LIMITE_ESSAIS_LIEN = 3;
  MANQUES_SLOT.fill(0);
  ESSAIS_SLOT.fill(0);
  LIMITE_ESSAIS_REUNION = 3;
  LIMITE_MANQUES = 5;
  LIMITE_REPETITIONS_MAITRE = 5;
  NB_REPETITIONS_MAITRE = 0;
  LIMITE_REPETITIONS_BLOC = 5;
  NB_REPETITIONS_BLOC = 0;
  NB_CONNECTES = 0;
  CONNECTE_SLOT.fill(0);
  TEXTE_EN_SERVICE.clear();
  TEXTE_SUIVANT.clear();
  T_RECEPTION_MAITRE = 0;
}

// ---------------------------------------------------------------------------------------------------------
// Receive parameters
// ---------------------------------------------------------------------------------------------------------

void Autex::INITIALISATION_PARAMETRES_RX_AUTEX() {
  ++EPOQUE_RECEPTION;
  // CQ divider; the reception mode unless a transmission is under way.
  DIVISEUR_CQ = 254;
  if (EMISSION_EN_COURS == 0) MODE_AUTEX = 1;
  // Trace of the new receive parameters with the station's role.
  if (TRACE_ACTIVE == 1) TRACE_LIGNE(HEURE_SYSTEME() + " INITIALISATION_PARAMETRES_RX_AUTEX " + MOT_ROLE());
  // No Master frame timed yet; a Master starts waiting for the answers now.
  T_TRAME_MAITRE = 0;
  if (STATION_MAITRE == 1) {
    T_DEBUT_ATTENTE = horodate();
    ATTENTE_REPONSE = 1;
  }
  // Signatures, significant bits and thresholds by case.
  uint8_t n = NB_BITS_DP_ATTENDUS;
  size_t emise = SIGNATURE_EMISE.size();
  size_t attendue = SIGNATURE_ATTENDUE.size();
  if (!reunion()) {
    emise = 20;
    attendue = 20;
    n = 10;
    SEUIL_ERREURS_DP_1 = 9;
    SEUIL_ERREURS_DP_2 = 7;
    // The link's transmit-side flags (give-up, DP alone, empty block) and the Master's reply due.
    ABANDON_LIEN = 0;
    TRAME_DP_SEULE[0] = 0;
    BLOC_VIDE_TX[0] = 0;
    REPONSE_DUE_MAITRE = 0;
  } else if (STATION_MAITRE == 1) {
    switch (NOMBRE_PARTICIPANTS) {
      case 4: emise = 26; attendue = 22; n = 12; SEUIL_ERREURS_DP_1 = 10; break;
      case 7: emise = 28; attendue = 24; n = 14; SEUIL_ERREURS_DP_1 = 11; break;
      default: emise = 28; attendue = 30; n = 20; SEUIL_ERREURS_DP_1 = 14; break;
    }
    S_COURANT = 1;
  } else {
    switch (NOMBRE_PARTICIPANTS) {
      case 4: emise = 20; attendue = 26; n = 16; SEUIL_ERREURS_DP_1 = 12; SEUIL_ERREURS_DP_2 = 10; break;
      case 7: emise = 24; attendue = 28; n = 18; SEUIL_ERREURS_DP_1 = 13; SEUIL_ERREURS_DP_2 = 11; break;
      default: emise = 30; attendue = 28; n = 18; SEUIL_ERREURS_DP_1 = 13; SEUIL_ERREURS_DP_2 = 11; break;
    }
    T_TRAME_REUNION = 0;
    RANG_TRAME_MAITRE = 0;
    TRAME_DP_SEULE[0] = 0;
    BLOC_VIDE_TX[0] = 0;
  }
  SIGNATURE_EMISE = SIGNATURE_0011(emise);
  SIGNATURE_ATTENDUE = SIGNATURE_0011(attendue);
  NB_BITS_DP_ATTENDUS = n;
  // DP word length and leading zeros for the expected DP bits, and the zero search window; a meeting Master resets
  // every slot's detection.
  LONGUEUR_MOT_DP = uint8_t(LONGUEUR_MOT_VITESSE + n + 10);
  NB_ZEROS_DP = uint8_t(21 - n);
  MODELE_ZERO_DP.assign(size_t(3) * LONGUEUR_MOT_DP, '0');
  if (reunion() && STATION_MAITRE == 1) {
    // Per slot: answered in this cycle, the detection flags and the block context (its failure memory stays).
    for (int s = 1; s < NOMBRE_SLOTS; ++s) {
      REPONDU_SLOT[size_t(s)] = 0;
      ENTENDU_SLOT[size_t(s)] = 0;
      DP_TROUVE_SLOT[size_t(s)] = 0;
      DP_RETROUVE_SLOT[size_t(s)] = 0;
      CAPTURE_BLOC_SLOT[size_t(s)] = 0;
      FENETRE_DP_SLOT[size_t(s)] = MODELE_ZERO_DP;
      ContexteBloc& c = CONTEXTES[size_t(s)];
      c.BLOC_COMPLET = 0;
      c.BLOC_EN_RECEPTION_2 = 0;
      c.BITS_RECUS_BLOC = 0;
      c.BITS_PAR_BLOC = 0;
    }
    BILAN_CONNEXIONS();
  }
  // Time-outs.
  const int v = Vitesse_AUTEX == 400 ? 1 : (Vitesse_AUTEX == 171 ? 2 : 0);
  if (!reunion()) {
    const int w = Nom_transceiver == "DRF1278DM" ? 0 : v;
    static constexpr uint32_t reponse[3] = {3500, 5500, 10000};
    static constexpr uint32_t periode[3] = {7500, 9500, 14000};
    static constexpr uint32_t fin[3] = {5000, 7100, 11900};
    static constexpr uint32_t perte[3] = {19000, 27000, 45000};
    DELAI_REPONSE = reponse[w];
    PERIODE_CQ_LIEN = periode[w];
    DELAI_FIN_SESSION = fin[w];
    DELAI_PERTE_MAITRE = perte[w];
  } else if (STATION_MAITRE == 1) {
    // The answers of a meeting of 4 all arrive within 5.2 s. The windows of 7 and 13 reach further (see
    // OUVERTURE_FENETRE): the Master waits for the last one, and for the answer written there to arrive.
    DELAI_REPONSE = NOMBRE_PARTICIPANTS == 4
                        ? 5200
                        : OUVERTURE_FENETRE(NOMBRE_UTILISATEURS) + LARGEUR_FENETRE + MARGE_ARRIVEE();
    // The Master's per-slot end-of-link wait uses DELAI_FIN_SESSION, which no Master set-up gives: a Master
    // that never held another role waits as long as a user of the same meeting size would.
    if (DELAI_FIN_SESSION == 0)
      DELAI_FIN_SESSION = NOMBRE_PARTICIPANTS == 4 ? 8500 : (NOMBRE_PARTICIPANTS == 7 ? 9900 : 16000);
  } else {
    const int t = NOMBRE_PARTICIPANTS == 4 ? 0 : (NOMBRE_PARTICIPANTS == 7 ? 1 : 2);
    static constexpr uint32_t fin[3] = {8500, 9900, 16000};
    static constexpr uint32_t perte[3] = {29000, 33000, 58000};
    static constexpr uint32_t tentative[3] = {15000, 18000, 24000};
    DELAI_REPONSE = 5200;
    DELAI_FIN_SESSION = fin[t];
    DELAI_PERTE_MAITRE = perte[t];
    DELAI_TENTATIVE = tentative[t];
  }
  // The station's search window and every flag of the receive path (the failure memory stays).
  FENETRE_DP = MODELE_ZERO_DP;
  DP_TROUVE = 0;
  DP_RETROUVE = 0;
  CAPTURE_BLOC = 0;
  RECEPTION_TERMINEE = 0;
  ECOUTE_HORS_SESSION = 0;
  BLOC_EN_RECEPTION = 0;
  BLOC_TERMINE = 0;
  BLOC_DECODE = 0;
  ContexteBloc& c0 = CONTEXTES[0];
  c0.BLOC_COMPLET = 0;
  c0.BLOC_EN_RECEPTION_2 = 0;
  c0.BITS_RECUS_BLOC = 0;
  ctx = &c0;
  // BCH check polynomial of the received words.
  POLYNOME_BCH_RX = std::string(POLYNOME_BCH);
  DEGRE_BCH_RX = 10;
  MOT_NUL_31.assign(31, '0');
  // The Reed-Solomon field tables and generator are constants of the coder: nothing to build.
}

}  // namespace autex
