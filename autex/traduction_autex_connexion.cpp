// TRADUCTION_AUTEX: call-sign checks, the Master's CQ, entering and leaving a meeting, the return to the idle
// state, the guard on speed changes, the session buttons and the own secondary channel.
#include <algorithm>

#include "autex/traduction_autex.h"
#include "autex/vue_autex.h"

namespace autex {

using enum NomElement;

// ---------------------------------------------------------------------------------------------------------
// Call signs
// ---------------------------------------------------------------------------------------------------------

std::string Autex::INDICATIF_SAISI() const {
  std::string indicatif = vue_.Texte(Edit_INDICATIF);
  SUPPRIMER_ESPACES(indicatif);
  Majuscules(indicatif);
  return indicatif;
}

void Autex::VERIF_INDICATIF(uint8_t maitre, uint8_t& ok) {
  ok = 0;
  const std::string indicatif = INDICATIF_SAISI();
  if (indicatif.find(' ') != std::string::npos) {
    hote_.Afficher_information(T("Your call must not contain space", "Votre indicatif ne doit pas contenir d'espace"));
    return;
  }
  // A Master's call sign is known only after a CQ was heard: an empty one matches nothing. (Compared as it
  // stands, an empty own call sign would "be the Master's", and the user would be told to correct a call that
  // is in fact missing, instead of being told it is missing.)
  if (maitre == 0 && !INDICATIF_MAITRE.empty() && indicatif == INDICATIF_MAITRE) {
    hote_.Afficher_information(T("Your call is the same one as the Master station! Correct it.",
                                 "Votre indicatif est le m\xEAme que celui de la station Ma\xEEtre! Corrigez-le."));
    return;
  }
  if (indicatif.size() > LONGUEUR_MAX_INDICATIF) {
    hote_.Afficher_information(
        T("Your call transmitted in AUTEX must be limited to 14 characters (button \"Personal\")",
          "Votre indicatif transmis en AUTEX doit \xEAtre limit\xE9 \xE0 14 caract\xE8res (bouton \"Personnel\")"));
    return;
  }
  if (indicatif.empty()) {
    hote_.Afficher_information(
        T("No possibility to transmit your call, because there is no call in your personal data (button "
          "\"Personal\").",
          "Pas de possibilit\xE9 de transmettre votre indicatif, parce qu'il n'y a pas d'indicatif dans vos "
          "donn\xE9" "es personnelles (bouton \"Personnel\")."));
    return;
  }
  ok = 1;
}

void Autex::VERIF_INDICATIF_MAITRE(std::string& indicatif) {
  uint8_t ok = 0;
  VERIF_INDICATIF(1, ok);
  if (ok == 0) {
    hote_.Redonne_focus_editeur();
    MAITRE_APPELLE = 0;
    CQ_REUNION_ACTIF = 0;
    vue_.Fixe_enfonce(FIN_REUNION, true);
    return;
  }
  indicatif = INDICATIF_SAISI();
  MAITRE_APPELLE = 1;
  CQ_REUNION_ACTIF = 1;
}

void Autex::VERIF_INDICATIF_UTILISATEUR(std::string& indicatif) {
  indicatif = INDICATIF_SAISI();
  std::string refus;
  if (indicatif.find(' ') != std::string::npos)
    refus = T("Your call must not contain space", "Votre indicatif ne doit pas contenir d'espace");
  else if (indicatif.size() > LONGUEUR_MAX_INDICATIF)
    refus = T("Your call transmitted in AUTEX must be limited to 14 characters",
              "Votre indicatif transmis en AUTEX doit \xEAtre limit\xE9 \xE0 14 caract\xE8res");
  else if (indicatif.empty())
    refus = T("It misses your call", "Il manque votre indicatif");
  if (refus.empty()) {
    DEMANDE_CONNEXION = 1;
    return;
  }
  hote_.Afficher_information(refus);
  ETAT_BOUTONS_AUTEX(1, 255, 0);
  hote_.Redonne_focus_editeur();
  DEMANDE_CONNEXION = 0;
  DEMANDE_CONNEXION_REUNION = 0;
}

void Autex::VERIF_INDICATIF_PROPRE() {
  if (SESSION_EN_COURS != 0) return;
  if (vue_.Texte(Edit_INDICATIF).empty()) {
    ABSENCE_INDICATIF = 1;
    INFO(T("No callsign defined: click on \"<MY CALL>\" field", "Pas d'indicatif d\xE9" "fini: cliquez sur \"Champ \"MY CALL>\""));
  } else {
    if (ABSENCE_INDICATIF == 1) INFO("");
    ABSENCE_INDICATIF = 0;
  }
  std::string texte = vue_.Texte(Edit_INDICATIF);
  SUPPRIMER_ESPACES(texte);
  std::string filtre;
  FILTRE_CARACTERES(texte, filtre);
  vue_.Fixe_texte(Edit_INDICATIF, filtre);
  LIMITE_DIVERS();
}

void Autex::LIMITE_DIVERS() {
  // The free text keeps the call sign, a blank and itself within 32 characters; a call sign of 31 characters
  // or more leaves it no room.
  const int place = std::max(0, 31 - int(vue_.Texte(Edit_INDICATIF).size()));
  vue_.Fixe_longueur_max(DIVERS, place);
  if (int(vue_.Texte(DIVERS).size()) > place) {
    vue_.Fixe_texte(DIVERS, vue_.Texte(DIVERS).substr(0, size_t(place)));
    TEXTE_DIVERS = vue_.Texte(DIVERS);
  }
}

// ---------------------------------------------------------------------------------------------------------
// CQ and sessions
// ---------------------------------------------------------------------------------------------------------

void Autex::LANCEMENT_CQ(const std::string& indicatif) {
  if (FIN_REUNION_DEMANDEE == 1 && !vue_.Actif(FIN_REUNION) && !vue_.Actif(LANCEMENT_REUNION)) {
    DECONNEXION();
    return;
  }
  vue_.Fixe_texte({Memo_Reception, 0}, "");
  INDICATIF_PROPRE = indicatif;
  TEXTE_TX[0] = "CQ meeting DE " + indicatif + "\r";
  TEXTE_TX_AFFICHE[0] = TEXTE_TX[0];
  CHOIX_CODAGE_TEXTE();
  TEXTE_CQ = TEXTE_TX[0];
  TEXTE_CQ_AFFICHE = TEXTE_TX_AFFICHE[0];
  KD3_CQ = KD3_TX[0];
  SAUVE_TEXTE.clear();
  INFO(T("Connection attempt...", "Tentative de connexion..."));
  DEBUT_EMISSION_AUTEX();
}

void Autex::ENTREE_DANS_REUNION() {
  // Only the own slot's quit button is enabled.
  ETAT_BOUTONS_AUTEX(0, NUMERO_SLOT, 1);
  // The offer must be recent.
  uint8_t valide = 0;
  if (!reunion()) {
    if (!INDICATIF_MAITRE.empty()) VERIF_VALIDITE_CQ(1, valide);
  } else if (NUMERO_SLOT >= 1 && NUMERO_SLOT < NOMBRE_SLOTS && CQ_RECU_SLOT[NUMERO_SLOT] == 1) {
    VERIF_VALIDITE_CQ(NUMERO_SLOT, valide);
  }
  if (valide == 0) {
    ETAT_BOUTONS_AUTEX(1, 255, 0);
    hote_.Afficher_information(T("No \"CQ meeting\" received recently (<1 minute)",
                                 "Pas de \"CQ meeting\" re\xE7u r\xE9" "cemment (<1 minute)"));
    hote_.Redonne_focus_editeur();
    return;
  }
  // The call sign is checked and the connection request prepared.
  std::string indicatif;
  VERIF_INDICATIF_UTILISATEUR(indicatif);
  if (DEMANDE_CONNEXION == 1) {
    STATION_MAITRE = 0;
    INDICATIF_CONNEXION = indicatif;
    SESSION_EN_COURS = 0;
    TENTATIVE_EN_COURS = 0;
    NOUVEAU_TEXTE = 0;
    IGNORES_MAITRE = 0;
    ACQUITTEMENT_ATTENDU = 0;
    NOUVEAU_TEXTE_REUNION = 0;
    if (reunion()) vue_.Fixe_visible(AUCUN_CQ_S2, false);
    if (TRACE_ACTIVE == 1) TRACE_LIGNE(HEURE_SYSTEME() + " ENTREE DANS REUNION DE S" + std::to_string(NUMERO_SLOT));
    hote_.Redonne_focus_editeur();
  }
}

void Autex::SORTIE_DE_REUNION(int slot) {
  if (STATION_MAITRE == 0) {
    if (SESSION_EN_COURS == 0) {
      INFO("");
      DECONNEXION();
    } else {
      INFO(!reunion() ? T("End of meeting required by me", "Fin de r\xE9union demand\xE9" "e par moi")
                      : T("End of link required by me", "Fin de lien demand\xE9 par moi"));
      FIN_REUNION_DEMANDEE = 1;
    }
  } else if (reunion() && slot >= 1 && slot < NOMBRE_SLOTS && CONNECTE_SLOT[size_t(slot)] == 1) {
    INFO(T("End of link required by me, with", "Fin de lien demand\xE9 par moi, avec") + " " + NOM_SLOT[size_t(slot)]);
    for (auto& ligne : ACQUITTEMENT_MANQUANT) ligne[size_t(slot)] = 0;
    FIN_SLOT_DEMANDEE[size_t(slot)] = 1;
  }
  if (TRACE_ACTIVE == 1) TRACE_LIGNE(HEURE_SYSTEME() + " SORTIE DE REUNION");
}

void Autex::DECONNEXION() {
  // A file or short message still coming, or going, is cut off by this end, whose reason the information line
  // gives; what was queued behind the one going waits for the next link.
  const std::string raison = FIN_DE_LIAISON(vue_.Texte(Label_Info_AUTEX));
  RECEPTIONS_COUPEES(raison);
  FIN_LIEN_EMISSION(raison);
  // Nor is a text of the Master's relays waiting to be shown: the next link's first relay would show it.
  for (std::string& t : TEXTE_RECU_S) t.clear();
  MAITRE_APPELLE = 0;
  CQ_REUNION_ACTIF = 0;
  DEMANDE_CONNEXION = 0;
  DEMANDE_CONNEXION_REUNION = 0;
  STATION_MAITRE = 0;
  ETAT_BOUTONS_AUTEX(1, 255, 0);
  GESTION_PRELIMINAIRE_AUTEX();
  EMISSION_EN_COURS = 0;
  MODE_AUTEX = 1;
  INITIALISATION_PARAMETRES_RX_AUTEX();
  ETAT(T("Disconnected", "D\xE9" "connect\xE9"));
  hote_.Redonne_focus_editeur();
  NUMERO_SLOT = 1;
}

std::string Autex::FIN_DE_LIAISON(const std::string& pourquoi) const {
  std::string raison = T("cut off by the end of the link", "coup\xE9 par la fin de la liaison");
  if (!pourquoi.empty()) raison.append(" (").append(pourquoi).append(")");
  return raison;
}

void Autex::PERTE_LIAISON(const std::string& info) {
  RECEPTIONS_COUPEES(FIN_DE_LIAISON(info));
  RAZ_RECEPTION_FICHIERS();
  FIN_LIEN_EMISSION(FIN_DE_LIAISON(info));
  const bool en_cours = SESSION_EN_COURS == 1 || MAITRE_APPELLE == 1 || CQ_REUNION_ACTIF == 1 ||
                        TENTATIVE_EN_COURS == 1 || DEMANDE_CONNEXION == 1 || DEMANDE_CONNEXION_REUNION == 1 ||
                        UTILISATEUR_CONNECTE == 1 || EMISSION_EN_COURS == 1;
  if (en_cours) {
    SESSION_EN_COURS = 0;
    DECONNEXION();
  }
  INFO(info);
}

void Autex::ACTIVATION_AUTEX() {
  INITIALISATION_PARAMETRES_RX_AUTEX();
  INFO("");
  // The editor starts empty; what was received and sent stays until the user clears it.
  vue_.Fixe_texte(Memo_editeur, "");
}

bool Autex::CHANGEMENT_VITESSE_AUTEX() {
  if (SESSION_EN_COURS != 1) return true;
  INFO(T("A meeting is in progress. You must finish it first",
         "Une r\xE9union est en cours. Vous devez d'abord la terminer"));
  switch (NOMBRE_PARTICIPANTS) {
    case 4: vue_.Fixe_enfonce(Partipants_Autex_4, true); break;
    case 7: vue_.Fixe_enfonce(Partipants_Autex_7, true); break;
    case 13: vue_.Fixe_enfonce(Partipants_Autex_13, true); break;
    default: vue_.Fixe_enfonce(Partipants_Autex_2, true); break;
  }
  hote_.Affiche_vitesse_AUTEX();
  return false;
}

// ---------------------------------------------------------------------------------------------------------
// Buttons
// ---------------------------------------------------------------------------------------------------------

void Autex::ETAT_BOUTONS_AUTEX(uint8_t mode, uint8_t bouton, uint8_t drapeau) {
  if (mode == 1) {
    vue_.Fixe_actif(LANCEMENT_REUNION, true);
    vue_.Fixe_enfonce(FIN_REUNION, true);
    vue_.Fixe_enfonce(LANCEMENT_REUNION, false);
    vue_.Fixe_actif(FIN_REUNION, false);
    for (int n = 1; n <= SLOTS_EXISTANTS(); ++n) {
      vue_.Fixe_enfonce({SORTIR_DE_LA_REUNION, n}, true);
      vue_.Fixe_enfonce({ENTRER_DANS_LA_REUNION, n}, false);
      vue_.Fixe_actif({ENTRER_DANS_LA_REUNION, n}, false);
      vue_.Fixe_actif({SORTIR_DE_LA_REUNION, n}, false);
    }
    return;
  }
  DESACTIVE_BOUTONS();
  if (drapeau == 1) {
    if (bouton == 0)
      vue_.Fixe_actif(FIN_REUNION, true);
    else if (bouton >= 1 && bouton <= 12)
      vue_.Fixe_actif({SORTIR_DE_LA_REUNION, bouton}, true);
  }
}

void Autex::DESACTIVE_BOUTONS() {
  vue_.Fixe_actif(LANCEMENT_REUNION, false);
  vue_.Fixe_actif(FIN_REUNION, false);
  for (int n = 1; n <= SLOTS_EXISTANTS(); ++n) {
    vue_.Fixe_actif({ENTRER_DANS_LA_REUNION, n}, false);
    vue_.Fixe_actif({SORTIR_DE_LA_REUNION, n}, false);
  }
}

void Autex::ACTIVE_ENTREE_SLOT(int slot) {
  if (slot >= 1 && slot <= 12) vue_.Fixe_actif({ENTRER_DANS_LA_REUNION, slot}, true);
}

void Autex::DESACTIVE_ENTREE_SLOT(int slot) {
  if (slot < 1 || slot > 12) return;
  BOUTONS_SLOT_LIBERE(slot);
  vue_.Fixe_actif({ENTRER_DANS_LA_REUNION, slot}, false);
}

// ---------------------------------------------------------------------------------------------------------
// Secondary channel
// ---------------------------------------------------------------------------------------------------------

void Autex::EFFACE_CANAL(int slot, uint8_t demande) {
  if (slot < 1 || slot > 12) return;
  CQ_RECU_SLOT[size_t(slot)] = 0;
  DESACTIVE_ENTREE_SLOT(slot);
  vue_.Fixe_texte({Label_CQ, slot}, "");
  vue_.Fixe_texte({Secondary_channel, slot}, "");
  if (demande == 1 && vue_.Enfonce({ENTRER_DANS_LA_REUNION, slot})) {
    DEMANDE_CONNEXION = 0;
    DEMANDE_CONNEXION_REUNION = 0;
  }
  hote_.Redonne_focus_editeur();
  if (TRACE_ACTIVE == 1) TRACE_LIGNE(HEURE_SYSTEME() + " EFFACE CANAL S" + std::to_string(slot));
}

void Autex::AFFICHE_CANAL_SECONDAIRE() {
  TEXTE_CANAL = vue_.Texte(Edit_INDICATIF) + " " + vue_.Texte(DIVERS);
  if (TEXTE_CANAL.size() % 2 == 1) TEXTE_CANAL += ' ';
  if (TEXTE_CANAL.size() > 32) TEXTE_CANAL.resize(32);
}

void Autex::MAPPE_CARACTERE(uint8_t c, uint8_t& garde, uint8_t& code) {
  garde = 1;
  if (c >= 97 && c <= 122) {
    code = uint8_t(c - 32);
    return;
  }
  switch (c) {
    case 199: case 231: code = 'C'; return;
    case 220: case 249: case 250: case 251: case 252: code = 'U'; return;
    case 201: case 232: case 233: case 234: case 235: code = 'E'; return;
    case 196: case 197: case 224: case 225: case 226: case 228: case 229: code = 'A'; return;
    case 236: case 237: case 238: case 239: code = 'I'; return;
    case 214: case 242: case 243: case 244: case 246: code = 'O'; return;
    case 255: code = 'Y'; return;
    case 209: case 241: code = 'N'; return;
    default: break;
  }
  if (c <= 95) {
    code = c;
    return;
  }
  garde = 0;  // the grave accent, '{', '}' and every other character above 95
  code = 0;
}

void Autex::FILTRE_CARACTERES(std::string_view texte, std::string& resultat) {
  std::string r;
  r.reserve(texte.size());
  for (const char ch : texte) {
    uint8_t garde = 0, code = 0;
    MAPPE_CARACTERE(static_cast<uint8_t>(ch), garde, code);
    if (garde == 1) r.push_back(static_cast<char>(code));
  }
  resultat = std::move(r);
}

}  // namespace autex
