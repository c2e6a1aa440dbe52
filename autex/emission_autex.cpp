// EMISSION_AUTEX: the transmit side. Chooses what the next transmission carries (new text or repetition, end
// requests and acknowledgements, CQ, a meeting Master's slot words and relayed blocks), builds its bits and
// hands the framed bytes to the main window's send queue.
#include <algorithm>
#include <cmath>

#include "autex/mathematiques.h"
#include "autex/trames_autex.h"
#include "autex/traduction_autex.h"
#include "autex/varicode_autex.h"
#include "autex/vue_autex.h"

namespace autex {

using enum NomElement;

namespace {

// Constants of the answer windows by meeting size: start lower, start upper, a, b, c, d.
struct ConstantesFenetres {
  uint16_t debut_inf, debut_sup, a, b, c, d;
};

ConstantesFenetres constantes_fenetres(int participants) {
  switch (participants) {
    case 7: return {2122, 5208, 16, 205, 16, 744};
    case 13: return {3775, 9672, 16, 205, 16, 744};
    default: return {1247, 4223, 16, 224, 16, 744};
  }
}

int bits_numero_slot(int participants) { return participants == 4 ? 2 : (participants == 7 ? 3 : 4); }

// The Master's relay of a slot's message, both stores, emptied.
void vider_relais(Autex& a, size_t i) {
  a.BLOC_RELAIS[i].clear();
  a.TEXTE_RELAIS[i].clear();
  a.TEXTE_MESSAGE_S[i].clear();
  a.MESSAGE_RELAIS_1[i].vider();
  a.MESSAGE_RELAIS_2[i].vider();
  a.RELAIS_2_OCCUPE[i] = 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Text chunks and their coding
// ---------------------------------------------------------------------------------------------------------

void Autex::PRENDRE_TEXTE_SUIVANT() {
  // Timing statistics of the chunks.
  const uint32_t t = maintenant();
  if (T_DERNIER_MORCEAU != 0) {
    const uint32_t intervalle = platform::elapsedMs(t, T_DERNIER_MORCEAU);
    if (intervalle < 13000) {
      SOMME_INTERVALLES += intervalle;
      ++NB_INTERVALLES;
      INTERVALLE_MAX = std::max(INTERVALLE_MAX, intervalle);
      INTERVALLE_MIN = std::min(INTERVALLE_MIN, intervalle);
    }
  }
  T_DERNIER_MORCEAU = horodate();
  // Nothing to send: no text in this frame. An acknowledgement still awaited stays awaited: a meeting user's
  // second message in service is acknowledged after the first, while its queue may be empty. Nor is anything
  // taken outside a session, or when this frame ends the session: the CQ, the connection request and the end
  // frames carry no text, and a chunk taken for them would be lost from the queue, the rest of its frame
  // reaching the peer as text; what waits goes out in the session, or in the next one.
  bool fin = FIN_REUNION_DEMANDEE == 1 || FIN_A_EMETTRE_MAITRE == 1 || FIN_A_EMETTRE_UTILISATEUR == 1 ||
             FIN_REUNION_A_EMETTRE == 1 || FIN_LIEN_EN_COURS == 1 || FIN_REUNION_EN_COURS == 1 || ABANDON_LIEN == 1;
  // A meeting Master whose every user is ending its link has no one left to send to.
  if (reunion() && STATION_MAITRE == 1) {
    bool reste = false;
    for (int s = 1; s <= NOMBRE_UTILISATEURS && s < NOMBRE_SLOTS; ++s) {
      const size_t i = size_t(s);
      reste = reste || (CONNECTE_SLOT[i] == 1 && FIN_SLOT_DEMANDEE[i] == 0 && FIN_DEMANDEE_PAR_SLOT[i] == 0 &&
                        FIN_LIEN_SLOT[i] == 0);
    }
    fin = fin || !reste;
  }
  if (TEXTE_A_EMETTRE.empty() || SESSION_EN_COURS != 1 || fin) {
    TEXTE_TX[0].clear();
    TEXTE_TX_AFFICHE[0].clear();
    return;
  }
  SUIVI_FILE_EMISSION();
  // In message mode a text waits until it is sent as a whole.
  if (MODE_MESSAGES == 1 && TEXTE_EN_ATTENTE == 0 && SESSION_EN_COURS == 1) return;
  // How much fits, 8-bit or packed.
  int n = int(std::min<size_t>(TEXTE_MAX_BLOC, TEXTE_A_EMETTRE.size()));
  int nombre = 0;
  bool packer = false;
  MESURE_VARICODE(TEXTE_A_EMETTRE, TEXTE_MAX_BLOC, nombre, packer);
  if (packer) {
    KD3_TX[0] = '1';
    n = nombre;
  } else {
    KD3_TX[0] = '0';
  }
  // The chunk taken from the text to send.
  std::string morceau;
  if (MODE_MESSAGES == 1 && TEXTE_EN_ATTENTE == 1 && SESSION_EN_COURS == 1) {
    morceau = TEXTE_A_EMETTRE.substr(0, size_t(n));
    TEXTE_A_EMETTRE.erase(0, morceau.size());
    if (TEXTE_A_EMETTRE.empty()) TEXTE_EN_ATTENTE = 0;
  } else if (ENVOI_SUR_CR == 1) {
    const size_t p = TEXTE_A_EMETTRE.find_last_of("\r\n");
    if (p != std::string::npos) {
      morceau = TEXTE_A_EMETTRE.substr(0, std::min(p + 1, size_t(n)));
      TEXTE_A_EMETTRE.erase(0, morceau.size());
    }
  } else {
    morceau = TEXTE_A_EMETTRE.substr(0, size_t(n));
    TEXTE_A_EMETTRE.erase(0, morceau.size());
  }
  if (!morceau.empty()) MORCEAU_PRIS(morceau.size());
  // The chunk becomes the frame's text; a meeting user keeps it as the message in service or the next one.
  TEXTE_TX[0] = morceau;
  TEXTE_TX_AFFICHE[0] = morceau;
  if (reunion() && STATION_MAITRE == 0 && SESSION_EN_COURS == 1 && !morceau.empty()) {
    if (TEXTE_EN_SERVICE.empty())
      TEXTE_EN_SERVICE = morceau;
    else
      TEXTE_SUIVANT = morceau;
  }
  // A packed chunk is varicode-coded.
  if (KD3_TX[0] == '1') PACKER_VARICODE(TEXTE_TX[0]);
  // A new text toggles KD1 and awaits its acknowledgement.
  if (!TEXTE_TX[0].empty()) {
    KD1_TX[0] = KD1_TX[0] == '1' ? '0' : '1';
    ACQUITTEMENT_ATTENDU = 1;
  } else {
    ACQUITTEMENT_ATTENDU = 0;
  }
}

void Autex::CHOIX_CODAGE_TEXTE() {
  int nombre = 0;
  bool packer = false;
  MESURE_VARICODE(TEXTE_TX[0], TEXTE_MAX_BLOC, nombre, packer);
  if (packer) {
    KD3_TX[0] = '1';
    PACKER_VARICODE(TEXTE_TX[0]);
  } else {
    KD3_TX[0] = '0';
  }
}

void Autex::REINIT_EMISSION() {
  if (reunion()) FENETRES_REPONSE_REUNION();
}

void Autex::FENETRES_REPONSE_REUNION() {
  // Each slot's bounds are the previous slot's less a step. The upper bound falls faster than the lower one:
  // it would pass below it from slot 5 of a meeting of 7 and slot 8 of 13, and below zero from slot 6 of 7 and
  // slot 10 of 13, where a 16-bit value wraps to some 65 s. An upper bound stops at its slot's lower bound
  // instead (and a lower bound at 0), so the delay a user takes from a word never grows from slot to slot.
  const ConstantesFenetres k = constantes_fenetres(NOMBRE_PARTICIPANTS);
  int inf = int(k.debut_inf) - k.a - k.b;
  int sup = int(k.debut_sup) - k.a - k.b;
  BORNE_INF_REPONSE[0] = uint16_t(inf);
  BORNE_SUP_REPONSE[0] = uint16_t(sup);
  for (int s = 1; s <= NOMBRE_UTILISATEURS && s < NOMBRE_SLOTS; ++s) {
    inf = std::max(0, inf - k.c - k.b);
    sup = std::max(inf, sup - k.d - k.c - k.b);
    BORNE_INF_REPONSE[size_t(s)] = uint16_t(inf);
    BORNE_SUP_REPONSE[size_t(s)] = uint16_t(sup);
  }
  TEMPS_REPONSE = 0.0f;
  TEMPS_SLOT.fill(0.0f);
}

uint8_t Autex::VALEUR_REPONSE(int s) {
  const ConstantesFenetres k = constantes_fenetres(NOMBRE_PARTICIPANTS);
  if (s == 0)
    TEMPS_REPONSE = TEMPS_REPONSE - k.a - k.b;
  else
    TEMPS_REPONSE = TEMPS_REPONSE - TEMPS_SLOT[size_t(s)] - k.c - k.b;
  const float inf = BORNE_INF_REPONSE[size_t(s)];
  const float sup = BORNE_SUP_REPONSE[size_t(s)];
  if (sup == inf) return 0;
  const float x = (TEMPS_REPONSE - inf) * 15.0f / (sup - inf);
  float entier = std::trunc(x);
  if (x - entier >= 0.001f) entier += 1.0f;
  return uint8_t(std::clamp(entier, 0.0f, 15.0f));
}

// ---------------------------------------------------------------------------------------------------------
// Secondary channel
// ---------------------------------------------------------------------------------------------------------

std::string Autex::CANAL_SECONDAIRE() {
  if (TEXTE_CANAL.size() % 2 == 1) TEXTE_CANAL += ' ';
  const int p = int(TEXTE_CANAL.size() / 2);
  if (p == 0) {
    INDEX_CANAL = 0;
    return MOT_CANAL_SECONDAIRE(0, '^', '^');
  }
  const int m = std::min(p - 1, 15);
  ++INDEX_CANAL;
  if (INDEX_CANAL >= 16) INDEX_CANAL = 0;
  if (INDEX_CANAL == m + 2) INDEX_CANAL = 0;
  if (INDEX_CANAL == m + 1) return MOT_CANAL_SECONDAIRE(INDEX_CANAL, '^', '^');
  const size_t i = size_t(INDEX_CANAL) * 2;
  return MOT_CANAL_SECONDAIRE(INDEX_CANAL, TEXTE_CANAL[i], TEXTE_CANAL[i + 1]);
}

std::string Autex::MOT_ETAT_SLOTS_EMIS() const {
  std::string kd1(1, KD1_TX[0]);
  for (int s = 1; s <= NOMBRE_UTILISATEURS && s < NOMBRE_SLOTS; ++s) kd1 += KD1_TX[size_t(s)];
  return MOT_ETAT_SLOTS(kd1.substr(0, 16));
}

// ---------------------------------------------------------------------------------------------------------
// Frame builders
// ---------------------------------------------------------------------------------------------------------

std::string Autex::MOT_DP_EMIS(int slot) {
  const size_t i = size_t(slot);
  const std::string F5 = CHAMP_F5(BM_TX[i], L_TX[i], TEXTE_TX[i].size());
  if (!reunion()) return MOT_DP_LIEN(STATION_MAITRE == 1, BA_TX[0], BE_TX[0], BM_TX[0], F5);
  if (STATION_MAITRE == 0) {
    std::string b(B_EMIS.begin(), B_EMIS.end());
    return MOT_DP_UTILISATEUR(NOMBRE_PARTICIPANTS, NUMERO_SLOT, b, BE_TX[0], BM_TX[0], F5);
  }
  // The Master's running time value gives the answer value D (see VALEUR_REPONSE).
  const uint8_t D = VALEUR_REPONSE(slot);
  if (slot == 0) return MOT_DP_MAITRE(NOMBRE_PARTICIPANTS, 0, D, '0', BN_TX[0], '0', BE_TX[0], BM_TX[0], F5);
  return MOT_DP_MAITRE(NOMBRE_PARTICIPANTS, slot, D, BA_TX[i], BN_TX[i], BP_TX[i], BE_TX[i], BM_TX[i], F5);
}

void Autex::AJOUTE_BITS_TX(std::string_view bits) { TAMPON_BITS_TX += bits; }

void Autex::TRAME_DP(int slot) {
  const size_t i = size_t(slot);
  const std::string mot = MOT_DP_EMIS(slot);
  const bool maitre = STATION_MAITRE == 1;
  const bool premiere = reunion() && maitre && slot > 0 && PREMIERE_TRAME_SLOT[i] == 1;
  const std::string indicatif(INDICATIF_SALVE_DP(NOMBRE_PARTICIPANTS, maitre, slot, MAITRE_APPELLE == 1, premiere,
                                                 INDICATIF_PROPRE, INDICATIF_MAITRE,
                                                 INDICATIFS_CORRESPONDANTS[reunion() ? i : 0]));
  if (premiere) PREMIERE_TRAME_SLOT[i] = 0;
  const std::string crc = indicatif.empty() ? std::string() : CONTROLE_POLYNOME(indicatif);
  AJOUTE_BITS_TX(SALVE_DP(mot, crc, Vitesse_AUTEX));
  if (TRACE_ACTIVE == 1) {
    std::string ligne = HEURE_SYSTEME();
    if (reunion() && maitre && slot == 0) {
      ligne += " TX DP de M Donnees DP=" + mot;
    } else {
      ligne += std::string(" TX DP de S").append(std::to_string(reunion() && maitre ? slot : NUMERO_SLOT)) + " Donnees DP=" + mot;
      if (reunion() && maitre) {
        std::string ba, bn;
        for (int s = 1; s <= 12; ++s) {
          ba += BA_TX[size_t(s)];
          bn += BN_TX[size_t(s)];
        }
        ligne += " Ba=" + ba + " Bn=" + bn;
      }
    }
    TRACE_LIGNE(ligne);
  }
}

void Autex::TRAME_RS(int slot) {
  const size_t i = size_t(slot);
  const bool vide = BM_TX[i] == '0' && L_TX[i] == L_BLOC_VIDE;
  const std::string entete = vide ? std::string() : ENTETE_RS(KD1_TX[i], KD2_TX[i], KD3_TX[i]);
  const std::string texte = vide ? std::string() : TEXTE_TX[i].substr(0, TEXTE_MAX_BLOC);
  std::string canal;
  if (slot == 0)
    canal = CANAL_SECONDAIRE();
  else if (SLOT_ACTIF[i] == 1)
    canal = CANAL_RELAYE(BLOC_RELAIS[i]);
  else
    canal = MOT_ETAT_SLOTS_EMIS();
  BLOC_VIDE_TX[i] = vide ? 1 : 0;
  BLOC_RS_SAUVE[i] = BLOC_RS(entete, texte, canal, Vitesse_AUTEX);
  AJOUTE_BITS_TX(BLOC_RS_SAUVE[i]);
  if (TRACE_ACTIVE == 1) {
    if (reunion() && STATION_MAITRE == 1 && slot == 0)
      TRACE_LIGNE(HEURE_SYSTEME() + " TX RS de M Message=" + TEXTE_TX_AFFICHE[i]);
    else if (reunion() && STATION_MAITRE == 1)
      TRACE_LIGNE(HEURE_SYSTEME() + std::string(" TX RS de S").append(std::to_string(slot)) + " Message=" + TEXTE_TX_AFFICHE[i]);
    else if (reunion())
      TRACE_LIGNE(HEURE_SYSTEME() + std::string(" TX MON RS de S").append(std::to_string(NUMERO_SLOT)) + " B0=" + B_EMIS[0] +
                  " B1=" + B_EMIS[1] + " B2=" + B_EMIS[2] + " B3=" + B_EMIS[3] + " BE=" + BE_TX[0] +
                  " BM=" + BM_TX[0] + " KD1=" + KD1_TX[0] + " KD3=" + KD3_TX[0] +
                  std::string(" L=").append(std::to_string(L_TX[0])) + " Message=" + TEXTE_TX_AFFICHE[0]);
    else
      TRACE_LIGNE(HEURE_SYSTEME() + std::string(" TX RS de S").append(std::to_string(STATION_MAITRE == 1 ? 0 : 1)) +
                  " Message=" + TEXTE_TX_AFFICHE[0]);
  }
}

void Autex::ENVOI_TRAME() {
  std::string trame = ENCADRER_TRAME(TAMPON_BITS_TX, Vitesse_AUTEX);
  LONGUEUR_EMISSION = uint32_t(trame.size());
  T_DEBUT_EMISSION = horodate();
  hote_.File_emission() = std::move(trame);
  hote_.Fixe_OCTETS_ECRITS(0);
  hote_.Emission_cadencee();
}

// ---------------------------------------------------------------------------------------------------------
// Frame choice
// ---------------------------------------------------------------------------------------------------------

namespace {
// A frame that carries an end request or acknowledgement without a block: every frame of a link station and
// a meeting Master's words; a meeting user's end frames carry a block without text.
bool est_dp_seule(char BM, uint8_t L) { return BM == '0' && (L == L_FIN_DEMANDE || L == L_FIN_ACQUITTEE); }
}  // namespace

void Autex::SAUVER_OU_RESTAURER_TRAME() {
  if (SESSION_EN_COURS != 1) return;
  uint8_t nouveau;
  if (!reunion())
    nouveau = NOUVEAU_TEXTE;
  else if (STATION_MAITRE == 0)
    nouveau = NOUVEAU_TEXTE_REUNION;
  else if (UTILISATEUR_CONNECTE == 1)
    nouveau = NOUVELLE_TRAME_SLOT[0];
  else
    return;
  if (nouveau == 0) {
    BE_TX[0] = SAUVE_BE;
    BM_TX[0] = SAUVE_BM;
    L_TX[0] = SAUVE_L;
    TEXTE_TX[0] = SAUVE_TEXTE;
    ++NB_TRAMES_REPETEES;
  } else {
    SAUVE_BE = BE_TX[0];
    SAUVE_BM = BM_TX[0];
    SAUVE_L = L_TX[0];
    SAUVE_TEXTE = TEXTE_TX[0];
    ++NB_TRAMES_SAUVEES;
  }
}

void Autex::COMPTER_ACQUITTEMENT_MANQUANT() {
  ++IGNORES_MAITRE;
  INFO(T("Acknowledgment not received from the Master", "Acquittement non re\xE7u du Ma\xEEtre") + " (" +
       std::to_string(IGNORES_MAITRE) + ")");
  if (IGNORES_MAITRE == 9) {
    if (reunion()) {
      NOUVEAU_TEXTE_REUNION = 1;
      if (NUMERO_SLOT < NOMBRE_SLOTS) BP_MEMORISE[NUMERO_SLOT] = '1';
      FIN_REUNION_DEMANDEE = 1;
    } else {
      FIN_REUNION_DEMANDEE = 1;
      BE_TX[0] = '1';
      L_TX[0] = L_FIN_DEMANDE;
      NOUVEAU_TEXTE = 1;
      TEXTE_TX[0].clear();
      TEXTE_TX_AFFICHE[0].clear();
      BM_TX[0] = '0';
      TRAME_DP_SEULE[0] = 1;
      INFO(T("End of meeting request sent by me", "Demande de fin de r\xE9union envoy\xE9" "e par moi"));
    }
  }
}

void Autex::CHOISIR_TRAME_PROPRE() {
  if (SESSION_EN_COURS != 1) return;
  const bool maitre = STATION_MAITRE == 1;
  // The acknowledgement state kept for the peer: the toggle of its last decoded text.
  const char acquittement = maitre ? KD1_RECU[0] : KD1_MAITRE_RECU;
  if (NOUVEAU_TEXTE == 0) {
    BA_TX[0] = acquittement;
    if (!maitre) COMPTER_ACQUITTEMENT_MANQUANT();
    return;
  }
  BE_TX[0] = '0';
  BM_TX[0] = '0';
  L_TX[0] = L_AUCUN;
  TRAME_DP_SEULE[0] = 0;
  IGNORES_MAITRE = 0;
  // An end acknowledgement is due: the user's after the Master's request, the Master's after the user's, and
  // the one a link Master sends when it gives the user up (it raises the user's flag).
  if (FIN_A_EMETTRE_UTILISATEUR == 1 || FIN_A_EMETTRE_MAITRE == 1) {
    BE_TX[0] = '1';
    L_TX[0] = L_FIN_ACQUITTEE;
    TEXTE_TX[0].clear();
    TEXTE_TX_AFFICHE[0].clear();
    TRAME_DP_SEULE[0] = 1;
    FIN_LIEN_EN_COURS = 1;
    T_FIN_SESSION = 0;
    ++ESSAIS_EMISSION[0];
    FIN_A_EMETTRE_UTILISATEUR = 0;
    FIN_A_EMETTRE_MAITRE = 0;
    NOUVEAU_TEXTE = 1;
    INFO(T("End of meeting acknowledgment sent", "Acquittement de fin de r\xE9union envoy\xE9"));
  } else if (FIN_REUNION_DEMANDEE == 1) {
    BE_TX[0] = '1';
    L_TX[0] = L_FIN_DEMANDE;
    TEXTE_TX[0].clear();
    TEXTE_TX_AFFICHE[0].clear();
    TRAME_DP_SEULE[0] = 1;
    ++ESSAIS_EMISSION[1];
    INFO(T("End of meeting request sent by me", "Demande de fin de r\xE9union envoy\xE9" "e par moi"));
  } else if (!TEXTE_TX[0].empty()) {
    BM_TX[0] = '1';
  } else {
    L_TX[0] = L_BLOC_VIDE;
  }
  BA_TX[0] = acquittement;
  KD2_TX[0] = '0';
}

void Autex::PREPARER_SLOT_LIBRE(int s) {
  const size_t i = size_t(s);
  // A free slot keeps nothing of its last user: its message still in service would wait for acknowledgements
  // that no relay asks for any more (and the users would be counted as missing them), and its toggles would
  // make the next user's first message look like a repetition of the last one. The offer carries toggle '0',
  // which the users in the meeting take for the slot; the next user starts from it too.
  MESSAGE_EN_SERVICE[i] = 0;
  MESSAGE_RELAYE[i] = 0;
  MESSAGE_ACQUITTE[i] = 1;
  ACQUITTEMENT_MANQUANT[i].fill(0);
  KD1_RECU[i] = '0';
  KD1_PRECEDENT[i] = '0';
  KD1_MESSAGE[i] = '0';
  BN_STOCKE[i] = '0';
  KD1_RELAIS[i] = '0';
  vider_relais(*this, i);
  SECOND_MESSAGE[i] = 0;
  MOT_SLOT[i] = ENTIER_VERS_BINAIRE(s, uint8_t(bits_numero_slot(NOMBRE_PARTICIPANTS)));
  BE_TX[i] = '1';
  BM_TX[i] = '0';
  BA_TX[i] = '0';
  BN_TX[i] = '0';
  BP_TX[i] = '1';
  KD1_TX[i] = '0';
  KD2_TX[i] = '0';
  KD3_TX[i] = KD3_CQ;
  L_TX[i] = L_AUCUN;
  TEXTE_TX[i] = TEXTE_CQ;
  TEXTE_TX_AFFICHE[i] = TEXTE_CQ_AFFICHE;
  if (s == 2 && RESERVATION_S2 == 1) {
    TEXTE_TX_AFFICHE[i] = "Reser";
    TEXTE_TX[i] = TEXTE_RESERVE;
    KD3_TX[i] = '1';
  }
}

void Autex::TRAME_RS_MAITRE(int s) {
  const size_t i = size_t(s);
  MOT_SLOT[i] = s == 0 ? std::string(size_t(bits_numero_slot(NOMBRE_PARTICIPANTS)), '0')
                       : ENTIER_VERS_BINAIRE(s, uint8_t(bits_numero_slot(NOMBRE_PARTICIPANTS)));
  const bool nouvelle = NOUVELLE_TRAME_SLOT[i] == 1;
  // A new word for the slot.
  if (nouvelle) {
    if (s == 0) {
      KD2_TX[0] = '0';
      BE_TX[0] = '0';
      BM_TX[0] = '0';
      L_TX[0] = L_AUCUN;
      TRAME_DP_SEULE[0] = 0;
      if (FIN_REUNION_DEMANDEE == 1) {
        BE_TX[0] = '1';
        L_TX[0] = L_FIN_DEMANDE;
        TEXTE_TX[0].clear();
        TEXTE_TX_AFFICHE[0].clear();
        TRAME_DP_SEULE[0] = 1;
        INFO(T("End of meeting information sent by me", "Information de fin de r\xE9union envoy\xE9" "e par moi"));
      } else if (!TEXTE_TX[0].empty()) {
        BM_TX[0] = '1';
      } else {
        L_TX[0] = L_BLOC_VIDE;
      }
    } else {
      KD1_TX[i] = KD1_RELAIS[i];
      KD3_TX[i] = KD3_RELAIS[i];
      KD2_TX[i] = '0';
      BE_TX[i] = '0';
      BP_TX[i] = '0';
      BM_TX[i] = '0';
      TRAME_DP_SEULE[i] = 0;
      BLOC_VIDE_TX[i] = 0;
      if (FIN_DEMANDEE_PAR_SLOT[i] == 1) {
        BE_TX[i] = '1';
        L_TX[i] = L_FIN_ACQUITTEE;
        FIN_LIEN_SLOT[i] = 1;
        T_FIN_LIEN_SLOT[i] = 0;
        ++ESSAIS_SLOT[i];
        FIN_DEMANDEE_PAR_SLOT[i] = 0;
        TRAME_DP_SEULE[i] = 1;
        INFO(T("End of link acknowledgment sent to", "Acquittement de fin de lien envoy\xE9 \xE0") + " " +
             INDICATIFS_CORRESPONDANTS[i]);
      } else if (FIN_SLOT_DEMANDEE[i] == 1) {
        BE_TX[i] = '1';
        L_TX[i] = L_FIN_DEMANDE;
        TRAME_DP_SEULE[i] = 1;
        ++ESSAIS_SLOT[i];
        INFO(T("End of link request sent to", "Demande de fin de lien envoy\xE9" "e \xE0") + " " +
             INDICATIFS_CORRESPONDANTS[i]);
      }
    }
  }
  // The relay of the slot's block is complete once the Master has announced it with BN equal to the block's
  // toggle: the relay buffers are emptied, and so is the second message when it is no newer text.
  if (s > 0 && nouvelle && BN_TX[i] == KD1_RELAIS[i] && BLOC_RELAIS[i].size() > size_t(BITS_BLOC_VIDE)) {
    BLOC_RELAIS[i].clear();
    TEXTE_RELAIS[i].clear();
    TEXTE_MESSAGE_S[i].clear();
    const MessageRelais& m = MESSAGE_RELAIS_1[i];
    if (m.BITS.size() <= size_t(BITS_BLOC_VIDE) || m.KD1 == KD1_RELAIS[i]) MESSAGE_RELAIS_1[i].vider();
  }
  // The slot's BN bit: the stored one, or with a single user connected the slot's own KD1.
  if (s == 0) {
    BN_TX[0] = BN_STOCKE[0];
  } else {
    COMPTE_CONNECTES();
    BN_TX[i] = NB_CONNECTES == 1 ? KD1_TX[i] : BN_STOCKE[i];
  }
  if (s == 0) return;
  // What the slot relays.
  const bool fin = BE_TX[i] == '1' && (L_TX[i] == L_FIN_DEMANDE || L_TX[i] == L_FIN_ACQUITTEE);
  if (!fin) {
    if (BLOC_RELAIS[i].empty()) {
      BP_TX[i] = '1';
      MessageRelais& m = MESSAGE_RELAIS_1[i];
      if (!m.BITS.empty()) {
        BLOC_RELAIS[i] = m.BITS;
        TEXTE_RELAIS[i] = m.TEXTE_8_BITS;
        TEXTE_MESSAGE_S[i] = m.TEXTE;
        KD1_RELAIS[i] = m.KD1;
        KD3_RELAIS[i] = m.KD3;
        KD1_TX[i] = m.KD1;
        KD3_TX[i] = m.KD3;
      }
      BILAN_CONNEXIONS();
      if (NB_CONNECTES == 1 && !m.BITS.empty()) AFFICHE_MESSAGE_SLOT(s, m.TEXTE);
      m.vider();
    } else {
      BP_TX[i] = '0';
    }
    if (BLOC_RELAIS[i].empty()) {
      L_TX[i] = L_FIN_ACQUITTEE;
      TRAME_DP_SEULE[i] = 1;
      TEXTE_TX[i].clear();
      TEXTE_TX_AFFICHE[i].clear();
    } else if (BLOC_RELAIS[i].size() == size_t(BITS_BLOC_VIDE)) {
      L_TX[i] = L_BLOC_VIDE;
      TEXTE_TX[i].clear();
      TEXTE_TX_AFFICHE[i].clear();
    } else {
      BM_TX[i] = '1';
      L_TX[i] = L_AUCUN;
      TEXTE_TX[i] = TEXTE_RELAIS[i];
      TEXTE_TX_AFFICHE[i] = TEXTE_MESSAGE_S[i];
    }
  } else {
    BP_TX[i] = '0';
    vider_relais(*this, i);
    TEXTE_TX[i].clear();
    TEXTE_TX_AFFICHE[i].clear();
  }
}

void Autex::TRAME_RS_UTILISATEUR() {
  const size_t moi = NUMERO_SLOT < NOMBRE_SLOTS ? NUMERO_SLOT : 1;
  // The B bits: B0 acknowledges the Master's text, Bs the toggle last received for slot s.
  B_EMIS[0] = KD1_MAITRE_RECU;
  for (int s = 1; s <= NOMBRE_UTILISATEURS && s < NOMBRE_SLOTS; ++s)
    if (size_t(s) != moi) B_EMIS[size_t(s)] = KD1_S_RECU[size_t(s)];
  MOT_SLOT[0] = ENTIER_VERS_BINAIRE(int(moi), uint8_t(bits_numero_slot(NOMBRE_PARTICIPANTS)));
  if (NOUVEAU_TEXTE_REUNION == 0) COMPTER_ACQUITTEMENT_MANQUANT();
  if (FIN_REUNION_A_EMETTRE == 1) {
    BE_TX[0] = '1';
    BM_TX[0] = '0';
    B_EMIS[moi] = BE_TX[0];
    L_TX[0] = L_FIN_ACQUITTEE;
    TEXTE_TX[0].clear();
    TEXTE_TX_AFFICHE[0].clear();
    FIN_REUNION_EN_COURS = 1;
    T_FIN_SESSION = 0;
    ++ESSAIS_EMISSION[0];
    FIN_A_EMETTRE_MAITRE = 0;
    FIN_REUNION_A_EMETTRE = 0;
    NOUVEAU_TEXTE = 1;
    NOUVEAU_TEXTE_REUNION = 1;
    IGNORES_MAITRE = 0;
    INFO(T("End of link acknowledgment sent to the Master", "Acquittement de fin de lien envoy\xE9 au Ma\xEEtre"));
  } else if (NOUVEAU_TEXTE_REUNION == 1 && BP_MEMORISE[moi] == '1') {
    IGNORES_MAITRE = 0;
    BE_TX[0] = '0';
    BM_TX[0] = '0';
    L_TX[0] = L_AUCUN;
    if (FIN_REUNION_DEMANDEE == 1) {
      BE_TX[0] = '1';
      L_TX[0] = L_FIN_DEMANDE;
      TEXTE_TX[0].clear();
      TEXTE_TX_AFFICHE[0].clear();
      ++ESSAIS_EMISSION[1];
      INFO(T("End of link request sent by me", "Demande de fin de lien envoy\xE9" "e par moi"));
    } else if (!TEXTE_TX[0].empty()) {
      BM_TX[0] = '1';
    } else {
      L_TX[0] = L_BLOC_VIDE;
    }
    B_EMIS[moi] = BE_TX[0];
    KD2_TX[0] = '0';
  } else if (NOUVEAU_TEXTE_REUNION == 1) {
    // The Master still relays the previous text: the new one waits.
    IGNORES_MAITRE = 0;
    BE_TX[0] = '0';
    BM_TX[0] = '0';
    B_EMIS[moi] = BE_TX[0];
    L_TX[0] = L_BLOC_VIDE;
  }
}

// ---------------------------------------------------------------------------------------------------------
// One transmission
// ---------------------------------------------------------------------------------------------------------

void Autex::PREPARATION_TX() {
  TAMPON_BITS_TX.clear();
  const bool maitre = STATION_MAITRE == 1;
  bool repetition = false;

  if (reunion() && maitre) {
    MAJ_MESSAGES_ACQUITTES();
    const int N = NOMBRE_UTILISATEURS;
    // A further message of a user moves up into the slot's second-message buffers.
    if (SESSION_EN_COURS == 1) {
      for (int s = 1; s <= N; ++s) {
        const size_t i = size_t(s);
        if (SLOT_ACTIF[i] == 1 && NOUVELLE_TRAME_SLOT[i] == 1 && RELAIS_2_OCCUPE[i] == 1) {
          RELAIS_2_OCCUPE[i] = 0;
          MESSAGE_RELAIS_1[i] = MESSAGE_RELAIS_2[i];
          MESSAGE_RELAIS_2[i].vider();
          KD1_TX[i] = MESSAGE_RELAIS_1[i].KD1;
          if (TRACE_ACTIVE == 1)
            TRACE_LIGNE(HEURE_SYSTEME() + std::string(" SECOND MESSAGE TRANSFERE de S").append(std::to_string(s)));
        }
      }
    }
    // Attempts that the user did not follow up.
    for (int s = 1; s <= N; ++s) {
      const size_t i = size_t(s);
      if (TENTATIVE_SLOT[i] == 1 && TRAME_EN_ATTENTE[i] == 0) {
        SLOT_ACTIF[i] = 0;
        TENTATIVE_SLOT[i] = 0;
        LIBERE_SLOT(s);
        BOUTONS_SLOT_LIBERE(s);
        BILAN_CONNEXIONS();
        INFO(T("Connection faillure with", "Echec de la connexion avec") + " " + INDICATIFS_CORRESPONDANTS[i]);
      }
    }
    // 8a.
    for (int s = 1; s <= N; ++s) {
      L_TX[size_t(s)] = L_AUCUN;
      TRAME_DP_SEULE[size_t(s)] = 0;
      BLOC_VIDE_TX[size_t(s)] = 0;
    }
    // 8b. Lost users: the Master ends their link.
    for (int s = 1; s <= N; ++s) {
      const size_t i = size_t(s);
      if (SLOT_PERDU[i] == 1) {
        SLOT_PERDU[i] = 0;
        NOUVELLE_TRAME_SLOT[i] = 1;
        FIN_SLOT_DEMANDEE[i] = 1;
        ESSAIS_SLOT[i] = 3;
        INFO(T("Disconnection of", "D\xE9" "connexion de") + " " + INDICATIFS_CORRESPONDANTS[i] + " " +
             T("(too much difficult QSO)", "(QSO trop difficile)"));
      }
    }
    // 8c, 8d. The own frame.
    bool attente = false;
    for (int s = 1; s <= N; ++s) attente = attente || TRAME_EN_ATTENTE[size_t(s)] == 1;
    auto offre_propre = [&] {
      MOT_SLOT[0] = std::string(size_t(bits_numero_slot(NOMBRE_PARTICIPANTS)), '0');
      BE_TX[0] = '0';
      BN_TX[0] = '0';
      BM_TX[0] = '0';
      L_TX[0] = L_BLOC_VIDE;
      TEXTE_TX[0].clear();
      TEXTE_TX_AFFICHE[0].clear();
    };
    if (!attente && CQ_REUNION_ACTIF == 1) {
      offre_propre();
      for (int s = 1; s <= N; ++s) PREPARER_SLOT_LIBRE(s);
    } else if (attente && UTILISATEUR_CONNECTE == 0) {
      offre_propre();
    } else {
      TRAME_RS_MAITRE(0);
    }
    // 8e. The slots.
    for (int s = 1; s <= N; ++s) {
      const size_t i = size_t(s);
      if (TRAME_EN_ATTENTE[i] == 1 && ESSAIS_TENTATIVE_SLOT[i] >= LIMITE_ESSAIS_REUNION) {
        // The attempt was answered this many times and its user was never heard since: without a limit the
        // slot would stay taken, answered at every cycle, for good. It is given up and offered again.
        TRAME_EN_ATTENTE[i] = 0;
        ESSAIS_TENTATIVE_SLOT[i] = 0;
        if (TENTATIVE_SLOT[i] == 1) {
          TENTATIVE_SLOT[i] = 0;
          if (CONNECTE_SLOT[i] == 0) {
            SLOT_ACTIF[i] = 0;
            LIBERE_SLOT(s);
            BOUTONS_SLOT_LIBERE(s);
          }
          BILAN_CONNEXIONS();
          INFO(T("Connection faillure with", "Echec de la connexion avec") + " " + INDICATIFS_CORRESPONDANTS[i]);
        }
      }
      if (TRAME_EN_ATTENTE[i] == 1) {
        if (ESSAIS_TENTATIVE_SLOT[i] < 255) ++ESSAIS_TENTATIVE_SLOT[i];
        // The answer to a user's frame (its connection request): its text is sent back in the slot.
        const MessageRelais& m = MESSAGE_RELAIS_1[i];
        MOT_SLOT[i] = ENTIER_VERS_BINAIRE(s, uint8_t(bits_numero_slot(NOMBRE_PARTICIPANTS)));
        BE_TX[i] = '0';
        BM_TX[i] = '0';
        BA_TX[i] = '0';
        BN_TX[i] = '0';
        BP_TX[i] = '1';
        KD1_TX[i] = m.KD1;
        KD2_TX[i] = '0';
        KD3_TX[i] = m.KD3;
        TEXTE_TX[i] = m.TEXTE_8_BITS.substr(0, TEXTE_MAX_BLOC);
        TEXTE_TX_AFFICHE[i] = m.TEXTE;
      } else if (SLOT_ACTIF[i] == 0) {
        PREPARER_SLOT_LIBRE(s);
      } else {
        TRAME_RS_MAITRE(s);
      }
    }
    // 8f. The bits.
    SAUVER_OU_RESTAURER_TRAME();
    TEMPS_REPONSE = 0.0f;
    if (BM_TX[0] == '1' && NOUVELLE_TRAME_SLOT[0] == 1 && !TEXTE_TX[0].empty()) {
      NOUVELLE_TRAME_SLOT[0] = 0;
      MISE_EN_SERVICE_MESSAGE(0);
      for (int s = 1; s <= N; ++s) SLOTS_ACTIFS_MESSAGE[size_t(s)] = SLOT_ACTIF[size_t(s)];
      TEXTE_EMIS = TEXTE_TX_AFFICHE[0];
    }
    TRAME_DP(0);
    TRAME_DP_SEULE[0] = est_dp_seule(BM_TX[0], L_TX[0]) ? 1 : 0;
    if (TRAME_DP_SEULE[0] == 0)
      TRAME_RS(0);
    else
      BLOC_RS_SAUVE[0].clear();
    for (int s = 1; s <= N; ++s) {
      const size_t i = size_t(s);
      AJOUTE_BITS_TX(SEPARATEUR_SLOT_MAITRE);
      TRAME_DP(s);
      TRAME_DP_SEULE[i] = est_dp_seule(BM_TX[i], L_TX[i]) ? 1 : 0;
      if (TRAME_DP_SEULE[i] == 0)
        TRAME_RS(s);
      else
        BLOC_RS_SAUVE[i].clear();
    }
    // The messages in service that this frame carries: a user that answers it without acknowledging one of
    // them has missed it.
    for (int k = 0; k <= N; ++k) {
      const size_t i = size_t(k);
      if (MESSAGE_EN_SERVICE[i] == 1 && BM_TX[i] == '1' && KD1_TX[i] == KD1_MESSAGE[i]) MESSAGE_RELAYE[i] = 1;
    }
    if (!TEXTE_TX_AFFICHE[0].empty()) {
      const std::string vu = VU_DANS_ECHO(ECHO_EMIS, Memo_emission, TEXTE_TX_AFFICHE[0]);
      if (!vu.empty()) {
        std::string echo = "M: " + vu;
        if (echo.back() != '\r' && echo.back() != '\n') echo += "\r\n";
        TRACE_MEMO_E(echo);
      }
    }
    TEXTE_TX[0].clear();
    TEXTE_TX_AFFICHE[0].clear();
  } else if (maitre) {
    // The user's answer did not come.
    if (REPETITION_DEMANDEE == 1) {
      if (SESSION_EN_COURS == 1) {
        ++NB_REPETITIONS_MAITRE;
        if (NB_REPETITIONS_MAITRE > LIMITE_REPETITIONS_MAITRE) ABANDON_LIEN = 1;
        INFO(T("No user frame received", "Pas de trame utilisateur re\xE7u" "e") + " " +
             std::to_string(NB_REPETITIONS_MAITRE));
        vue_.Fixe_texte({Nombre_de_repetitions, 1}, std::to_string(NB_REPETITIONS_MAITRE));
      }
      REPETITION_DEMANDEE = 0;
      if (FIN_REUNION_DEMANDEE == 1) {
        ++ESSAIS_EMISSION[1];
        repetition = true;
      } else if (SESSION_EN_COURS == 1 && ACQUITTEMENT_ATTENDU == 1) {
        ++NB_REPETITIONS_BLOC;
        if (NB_REPETITIONS_BLOC <= LIMITE_REPETITIONS_BLOC)
          repetition = true;
        else
          ABANDON_LIEN = 1;
      }
      // Nothing was sent yet: there is nothing to repeat, the frame is built as usual.
      if (repetition && TRAME_COMPLETE_SAUVEE.empty()) repetition = false;
      if (repetition) TAMPON_BITS_TX = TRAME_COMPLETE_SAUVEE;
    }
    if (!repetition && ABANDON_LIEN == 1) {
      // The user is given up: an end acknowledgement alone, then the supervisor disconnects.
      NOUVEAU_TEXTE = 1;
      FIN_A_EMETTRE_UTILISATEUR = 1;
      CHOISIR_TRAME_PROPRE();
      TRAME_DP(0);
      BLOC_RS_SAUVE[0].clear();
      PERTE_UTILISATEUR = 1;
      ABANDON_LIEN = 0;
      INFO(T("Disconnection of the user (too much difficult QSO)",
             "D\xE9" "connexion de l'utilisateur (QSO trop difficile)"));
    } else if (!repetition) {
      // A new frame: the CQ of a calling Master, otherwise the own frame; then its DP burst and block.
      L_TX[0] = L_AUCUN;
      if (MAITRE_APPELLE == 1) {
        BA_TX[0] = '0';
        BE_TX[0] = '1';
        BM_TX[0] = '0';
        KD1_TX[0] = '0';
        KD2_TX[0] = '0';
        TEXTE_TX[0] = TEXTE_CQ;
        TEXTE_TX_AFFICHE[0] = TEXTE_CQ_AFFICHE;
        KD3_TX[0] = KD3_CQ;
      } else {
        CHOISIR_TRAME_PROPRE();
      }
      SAUVER_OU_RESTAURER_TRAME();
      TRAME_DP(0);
      TRAME_DP_SEULE[0] = est_dp_seule(BM_TX[0], L_TX[0]) ? 1 : 0;
      if (SESSION_EN_COURS == 1 && ACQUITTEMENT_ATTENDU == 1 && NOUVEAU_TEXTE == 0) {
        AJOUTE_BITS_TX(BLOC_RS_SAUVE[0]);
      } else if (TRAME_DP_SEULE[0] == 0) {
        if (BM_TX[0] == '1') TEXTE_EMIS = TEXTE_TX_AFFICHE[0];
        TRAME_RS(0);
      } else {
        BLOC_RS_SAUVE[0].clear();
      }
      if (!TEXTE_TX_AFFICHE[0].empty()) {
        const std::string vu = VU_DANS_ECHO(ECHO_EMIS, Memo_emission, TEXTE_TX_AFFICHE[0]);
        if (!vu.empty()) TRACE_MEMO_E(vu);
      }
      TEXTE_TX[0].clear();
      TEXTE_TX_AFFICHE[0].clear();
    }
  } else {
    // Link station or meeting user.
    TRAME_DP_SEULE[0] = 0;
    BLOC_VIDE_TX[0] = 0;
    bool choisi = false;
    if (!reunion() && ATTENTE_FENETRE == 1) {
      INFO(T("No Master frame received (except RS ID)", "Pas de trame Ma\xEEtre re\xE7u" "e (sauf RS ID)"));
      ATTENTE_FENETRE = 0;
      if (SESSION_EN_COURS == 1 && NOUVEAU_TEXTE == 0 && !TRAME_COMPLETE_SAUVEE.empty()) {
        if (FIN_REUNION_DEMANDEE == 1) ++ESSAIS_EMISSION[1];
        repetition = true;
        TAMPON_BITS_TX = TRAME_COMPLETE_SAUVEE;
      } else {
        CHOISIR_TRAME_PROPRE();
        choisi = true;
      }
    } else if (reunion() && ATTENTE_FENETRE == 1) {
      ATTENTE_FENETRE = 0;
      TRAME_RS_UTILISATEUR();
      choisi = true;
      INFO(T("Answer to CQ (or no complete Master frame)", "R\xE9ponse \xE0 CQ (ou trame Ma\xEEtre incompl\xE8te)"));
    }
    if (!repetition) {
      if (DEMANDE_CONNEXION == 1) {
        BE_TX[0] = '0';
        if (!reunion()) {
          BA_TX[0] = '0';
          BM_TX[0] = '1';
          KD1_TX[0] = '1';
          ACQUITTEMENT_ATTENDU = 1;
          NOUVEAU_TEXTE = 0;
        } else {
          MOT_SLOT[0] = ENTIER_VERS_BINAIRE(NUMERO_SLOT, uint8_t(bits_numero_slot(NOMBRE_PARTICIPANTS)));
          BM_TX[0] = '0';
          KD1_TX[0] = '0';
          ACQUITTEMENT_ATTENDU = 0;
          NOUVEAU_TEXTE = 1;
          NOUVEAU_TEXTE_REUNION = 1;
          DEMANDE_CONNEXION_REUNION = 1;
        }
        KD2_TX[0] = '0';
        L_TX[0] = L_AUCUN;
        TEXTE_TX[0] = MESSAGE_A_EMETTRE;
        TEXTE_TX_AFFICHE[0] = MESSAGE_A_AFFICHER;
        CHOIX_CODAGE_TEXTE();
      } else if (REPONSE_DUE_UTILISATEUR == 1) {
        REPONSE_DUE_UTILISATEUR = 0;
        if (!reunion())
          CHOISIR_TRAME_PROPRE();
        else if (!choisi)
          TRAME_RS_UTILISATEUR();
      } else if (!reunion() && FIN_A_EMETTRE_UTILISATEUR == 1) {
        // On a link the end acknowledgement is chosen with the link's own frame.
        CHOISIR_TRAME_PROPRE();
      }
      if (reunion() && FIN_REUNION_A_EMETTRE == 1) TRAME_RS_UTILISATEUR();
      // The DP burst and the block of the chosen frame (the saved block when the text is not new).
      SAUVER_OU_RESTAURER_TRAME();
      TRAME_DP(0);
      const uint8_t nouveau = reunion() ? NOUVEAU_TEXTE_REUNION : NOUVEAU_TEXTE;
      TRAME_DP_SEULE[0] = !reunion() && est_dp_seule(BM_TX[0], L_TX[0]) ? 1 : 0;
      if (SESSION_EN_COURS == 1 && nouveau == 0) {
        AJOUTE_BITS_TX(BLOC_RS_SAUVE[0]);
      } else if (TRAME_DP_SEULE[0] == 0) {
        if (BM_TX[0] == '1') TEXTE_EMIS = TEXTE_TX_AFFICHE[0];
        TRAME_RS(0);
      } else {
        BLOC_RS_SAUVE[0].clear();
      }
      if (!TEXTE_TX_AFFICHE[0].empty()) {
        const std::string vu = VU_DANS_ECHO(ECHO_EMIS, Memo_emission, TEXTE_TX_AFFICHE[0]);
        if (!vu.empty()) TRACE_MEMO_E(vu);
      }
      TEXTE_TX[0].clear();
      TEXTE_TX_AFFICHE[0].clear();
    }
  }
  // A link station keeps the whole transmission for repetitions.
  if (!reunion()) TRAME_COMPLETE_SAUVEE = TAMPON_BITS_TX;
  ENVOI_TRAME();
  if (TRACE_ACTIVE == 1) TRACE_LIGNE(HEURE_SYSTEME() + " FIN DE PREPARATION TX");
}

}  // namespace autex
