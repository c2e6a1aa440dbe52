// TRADUCTION_AUTEX: RS block decoding (with the combination of up to three failed receptions of the same
// frame) and the handling of a decoded block: CQ offers, connection requests and their answers, messages, the
// secondary channel and the meeting Master's relay store.
#include "autex/mathematiques.h"
#include "autex/trames_autex.h"
#include "autex/traduction_autex.h"
#include "autex/varicode_autex.h"
#include "autex/vue_autex.h"

namespace autex {

using enum NomElement;

// ---------------------------------------------------------------------------------------------------------
// Decoding
// ---------------------------------------------------------------------------------------------------------

void Autex::DECODAGE_BLOC_RS(const std::string& bits, uint8_t& ok) {
  ok = 0;
  ContexteBloc& c = *ctx;
  std::string donnees;
  if (!CORRIGER_BLOC_RS(rs_, bits, donnees)) return;
  c.ENTETE_RECU.clear();
  c.BITS_TEXTE_RECU.clear();
  c.TEXTE_8_BITS_RECU.clear();
  c.VARICODE_RECU = 0;
  size_t p = 0;
  if (c.BLOC_VIDE_ATTENDU == 0) {
    c.ENTETE_RECU = donnees.substr(0, 10);
    c.VARICODE_RECU = c.ENTETE_RECU[2] == '1' ? 1 : 0;
    const size_t n = size_t(8) * c.LONGUEUR_TEXTE_ATTENDU;
    c.BITS_TEXTE_RECU = donnees.substr(10, n);
    c.TEXTE_8_BITS_RECU = Binaire_vers_texte(c.BITS_TEXTE_RECU);
    p = 10 + n;
  }
  c.CANAL_RECU = donnees.substr(p, 16);
  ok = c.CANAL_RECU.size() == 16 ? 1 : 0;
}

void Autex::DECODAGE_BLOC_COMBINE(uint8_t& decode) {
  decode = 0;
  ContexteBloc& c = *ctx;
  const size_t L = std::min<size_t>(c.LONGUEUR_ECHEC, BITS_BLOC_MAX);
  auto essai_valeurs = [&](auto valeur) {
    std::string bits(L, '0');
    for (size_t i = 0; i < L; ++i) bits[i] = valeur(i) >= 0.0f ? '1' : '0';
    XOR_BINAIRE(MASQUE_BLANCHIMENT, bits);
    uint8_t ok = 0;
    DECODAGE_BLOC_RS(bits, ok);
    return ok == 1;
  };
  bool reussi = essai_valeurs([&](size_t i) { return c.SOMME_ECHEC[i]; });
  if (!reussi && c.NB_ECHECS == 3) {
    reussi = essai_valeurs([&](size_t i) { return c.VALEURS_ECHEC[0][i] + c.VALEURS_ECHEC[2][i]; });
    if (!reussi) reussi = essai_valeurs([&](size_t i) { return c.VALEURS_ECHEC[1][i] + c.VALEURS_ECHEC[2][i]; });
    if (!reussi) {
      // Bit-wise majority of the three receptions, whose whitening is already removed.
      std::string majorite(L, '0');
      for (size_t i = 0; i < L; ++i) {
        int uns = 0;
        for (const std::string& b : c.BITS_ECHEC) uns += i < b.size() && b[i] == '1';
        majorite[i] = uns >= 2 ? '1' : '0';
      }
      uint8_t ok = 0;
      DECODAGE_BLOC_RS(majorite, ok);
      reussi = ok == 1;
    }
    if (!reussi) {
      c.VALEURS_ECHEC[0] = c.VALEURS_ECHEC[1];
      c.VALEURS_ECHEC[1] = c.VALEURS_ECHEC[2];
      c.BITS_ECHEC[0] = c.BITS_ECHEC[1];
      c.BITS_ECHEC[1] = c.BITS_ECHEC[2];
    }
  }
  if (reussi) {
    c.NB_ECHECS = 0;
    decode = 1;
    TRAITEMENT_BLOC_RS();
  }
}

// ---------------------------------------------------------------------------------------------------------
// Parsing of the CQ and of the connection request
// ---------------------------------------------------------------------------------------------------------

void Autex::LECTURE_CQ_REUNION(const std::string& texte, std::string& indicatif, uint8_t& trouve) {
  trouve = 0;
  static constexpr std::string_view ENTETE = "CQ meeting DE ";
  if (texte.size() < ENTETE.size() || texte.compare(0, ENTETE.size(), ENTETE) != 0) return;
  std::string mot;
  int n = 0;
  DERNIER_MOT(texte, mot, n);
  if (mot.empty() || mot.size() > LONGUEUR_MAX_INDICATIF) return;
  indicatif = mot;
  trouve = 1;
}

void Autex::LECTURE_DEMANDE_CONNEXION(const std::string& texte, std::string& indicatif_maitre,
                                      std::string& indicatif, uint8_t& trouve) {
  trouve = 0;
  std::string premier, dernier;
  int n = 0;
  PREMIER_MOT(texte, premier, n);
  if (premier.empty() || premier != indicatif_maitre) return;
  std::string copie = texte;
  Supprimer_espaces_debut(copie);
  if (copie.compare(premier.size(), 3, " < ") != 0) return;
  DERNIER_MOT(texte, dernier, n);
  if (dernier.empty() || dernier.size() > LONGUEUR_MAX_INDICATIF || dernier == premier) return;
  indicatif = dernier;
  trouve = 1;
}

bool Autex::TEXTE_DU_PROTOCOLE(const std::string& texte, char be, char bm, uint8_t longueur, size_t s) {
  std::string indicatif;
  uint8_t trouve = 0;
  if (be == '1' && bm == '0' && longueur >= 10) {
    LECTURE_CQ_REUNION(texte, indicatif, trouve);
    if (trouve == 1) return true;
  }
  // A request as the Master takes it, or, in a meeting, as the Master answers it in the user's slot (a word
  // without a message, where a user's message relayed has one).
  if (STATION_MAITRE == 1) {
    if (reunion() ? TRAME_EN_ATTENTE[s] != 1 : SESSION_EN_COURS != 0) return false;
    LECTURE_DEMANDE_CONNEXION(texte, INDICATIF_PROPRE, indicatif, trouve);
  } else {
    if (!reunion() || s == 0 || bm != '0') return false;
    LECTURE_DEMANDE_CONNEXION(texte, INDICATIF_MAITRE, indicatif, trouve);
  }
  return trouve == 1;
}

std::string Autex::SUR_UNE_LIGNE(const std::string& texte) {
  // Its line end (the CR it is sent with) stays, and only it.
  size_t fin = texte.size();
  while (fin > 0 && (texte[fin - 1] == '\r' || texte[fin - 1] == '\n')) --fin;
  return Nom_affichable(std::string_view(texte).substr(0, fin)) + texte.substr(fin);
}

// ---------------------------------------------------------------------------------------------------------
// Handling
// ---------------------------------------------------------------------------------------------------------

void Autex::AFFICHE_TEXTE_RECU(const std::string& texte) {
  if (TRACE_ACTIVE == 1) TRACE_LIGNE(HEURE_SYSTEME() + " MEMO_R " + texte);
  hote_.Affiche_reception(texte);
}

void Autex::MAJ_MESSAGES_ACQUITTES() {
  for (int k = 0; k <= NOMBRE_UTILISATEURS && k < NOMBRE_SLOTS; ++k) {
    const size_t kk = size_t(k);
    MESSAGE_ACQUITTE[kk] = MESSAGE_EN_SERVICE[kk] == 1 ? 0 : 1;
    NOUVELLE_TRAME_SLOT[kk] = MESSAGE_ACQUITTE[kk];
  }
}

void Autex::MISE_EN_SERVICE_MESSAGE(int k) {
  const size_t kk = size_t(k);
  COMPTE_CONNECTES();
  bool attendu = false;
  for (int j = 1; j <= NOMBRE_UTILISATEURS && j < NOMBRE_SLOTS; ++j) {
    const size_t jj = size_t(j);
    if (j != k && CONNECTE_SLOT[jj] == 1 && FIN_SLOT_DEMANDEE[jj] == 0) {
      ACQUITTEMENT_MANQUANT[kk][jj] = 1;
      attendu = true;
    }
  }
  // A message waits for acknowledgements only when some other user must give one.
  MESSAGE_EN_SERVICE[kk] = attendu ? 1 : 0;
  MESSAGE_RELAYE[kk] = 0;
  MESSAGE_ACQUITTE[kk] = attendu ? 0 : 1;
  NOUVELLE_TRAME_SLOT[kk] = attendu ? 0 : 1;
  KD1_MESSAGE[kk] = k == 0 ? KD1_TX[0] : KD1_RECU[kk];
}

void Autex::NOUVEAU_MESSAGE_SLOT(int s, uint8_t& nouveau) {
  const size_t ss = size_t(s);
  KD1_PRECEDENT[ss] = KD1_RECU[ss];
  if (MESSAGE_EN_SERVICE[ss] == 1) {
    SECOND_MESSAGE[ss] = 1;
  } else {
    SECOND_MESSAGE[ss] = 0;
    MISE_EN_SERVICE_MESSAGE(s);
    KD1_MESSAGE[ss] = KD1_RECU[ss];
    if (NB_CONNECTES == 1) {
      BN_STOCKE[ss] = KD1_RECU[ss];
      nouveau = 1;
      EFFACE_MESSAGE_SLOT(s);
    } else {
      nouveau = 0;
    }
  }
  if (TRACE_ACTIVE == 1)
    TRACE_LIGNE(HEURE_SYSTEME() + (SECOND_MESSAGE[ss] == 1 ? " SECOND MESSAGE EN SERVICE de S" : " PREMIER MESSAGE EN SERVICE de S") +
                std::to_string(s) + std::string(" Nc=").append(std::to_string(NB_CONNECTES)) + " KD1=" + KD1_RECU[ss] +
                " KD3=" + KD3_RECU[ss]);
}

std::string Autex::BLOC_CORRIGE(const ContexteBloc& c) {
  // The block as it was sent, its data corrected: header, text, secondary bits, then the received parity (the
  // whitening removed).
  std::string bits = c.ENTETE_RECU + c.BITS_TEXTE_RECU + c.CANAL_RECU;
  if (c.BITS_BLOC.size() >= size_t(BITS_PARITE_BLOC)) {
    std::string parite = c.BITS_BLOC.substr(c.BITS_BLOC.size() - BITS_PARITE_BLOC);
    XOR_BINAIRE(MASQUE_BLANCHIMENT.substr(c.BITS_BLOC.size() - BITS_PARITE_BLOC), parite);
    bits += parite;
  }
  return bits;
}

void Autex::STOCKE_RELAIS(int s) {
  const size_t ss = size_t(s);
  const ContexteBloc& c = CONTEXTES[ss];
  const bool entete = !c.ENTETE_RECU.empty();
  // A repetition of a text already taken is not relayed again: the users would see it twice.
  if (entete && BLOC_REPETE[ss] == 1) return;
  MessageRelais m;
  m.BITS = BLOC_CORRIGE(c);
  m.TEXTE_8_BITS = c.TEXTE_8_BITS_RECU;
  if (c.VARICODE_RECU == 1)
    DECODAGE_VARICODE(c.BITS_TEXTE_RECU, m.TEXTE);
  else
    m.TEXTE = c.TEXTE_8_BITS_RECU;
  if (entete) {
    m.KD1 = c.ENTETE_RECU[0];
    m.KD3 = c.ENTETE_RECU[2];
  }
  if (SECOND_MESSAGE[ss] == 1 && entete) {
    SECOND_MESSAGE[ss] = 0;
    MESSAGE_RELAIS_2[ss] = m;
    RELAIS_2_OCCUPE[ss] = 1;
  } else if (RELAIS_2_OCCUPE[ss] == 0) {
    MessageRelais& r = MESSAGE_RELAIS_1[ss];
    const char kd1 = r.KD1, kd3 = r.KD3;
    r = m;
    if (!entete) {
      r.KD1 = kd1;
      r.KD3 = kd3;
    }
  }
}

void Autex::TRAITEMENT_BLOC_RS() {
  const uint32_t epoque = EPOQUE_RECEPTION;
  const bool maitre = STATION_MAITRE == 1;
  const bool maitre_reunion = reunion() && maitre;
  ContexteBloc& c = *ctx;
  const size_t s = maitre_reunion ? SLOT_TRAITE : (NUMERO_S_DP < NOMBRE_SLOTS ? NUMERO_S_DP : 0);
  const char be = maitre_reunion ? BE_S[s] : BE_RECU;
  const char bm = maitre_reunion ? BM_S[s] : BM_RECU;
  const bool entete = !c.ENTETE_RECU.empty();
  uint8_t nouveau = entete ? 1 : 0;
  // Header toggles.
  if (entete) {
    const char kd1 = c.ENTETE_RECU[0];
    if (!reunion()) {
      if (maitre) {
        KD1_RECU[0] = kd1;
        if (SESSION_EN_COURS == 1) {
          if (kd1 == KD1_PRECEDENT[0])
            nouveau = 0;
          else
            KD1_PRECEDENT[0] = kd1;
        }
      } else {
        KD1_MAITRE_RECU = kd1;
        if (SESSION_EN_COURS == 1) {
          if (kd1 == KD1_MAITRE_PRECEDENT)
            nouveau = 0;
          else
            KD1_MAITRE_PRECEDENT = kd1;
        }
      }
    } else if (maitre) {
      KD1_RECU[s] = kd1;
    } else {
      nouveau = 0;
      if (s == 0)
        KD1_MAITRE_RECU = kd1;
      else
        KD1_S_RECU[s] = kd1;
    }
    KD3_RECU[s] = c.ENTETE_RECU[2];
    // Only KD1, '0', KD3 and seven '0' make a header.
    if (c.ENTETE_RECU[1] != '0' || c.ENTETE_RECU.compare(3, 7, "0000000") != 0) return;
  }
  // The received text, 8-bit or varicode.
  std::string texte;
  std::string brut;
  if (!c.BITS_TEXTE_RECU.empty()) {
    if (c.VARICODE_RECU == 1)
      DECODAGE_VARICODE(c.BITS_TEXTE_RECU, texte);
    else
      texte = c.TEXTE_8_BITS_RECU;
    // The participants' windows take the text as received: the short messages and files it carries may hold
    // any byte. Only the main reception window loses its NULs and shows 0x01 as a line break.
    brut = texte;
    // The echo window names a file rather than showing its bytes as text.
    std::string vu = VU_DANS_ECHO(ECHO_RECU[s], Memo_Reception_memo, texte);
    // A CQ and a connection request are one line of the protocol: a call sign in them that holds line ends
    // (its sender put them there) is shown on that line, each control character as "?", in the echo window and
    // where the request is shown. Their text stays as it came for everything else (the call signs read from it).
    if (TEXTE_DU_PROTOCOLE(texte, be, bm, c.LONGUEUR_TEXTE_ATTENDU, s)) {
      vu = SUR_UNE_LIGNE(vu);
      brut = SUR_UNE_LIGNE(brut);
    }
    const bool rien_a_montrer = vu.empty() && !texte.empty();
    if (!reunion() || ECOUTE_HORS_SESSION == 1) {
      SUPPRIMER_CARACTERE('\0', texte);
      SUPPRIMER_CARACTERE('\0', vu);
      bool trouve = false;
      Remplacer_sous_chaine(texte, std::string(1, '\x01'), "\r\n", trouve);
      Remplacer_sous_chaine(vu, std::string(1, '\x01'), "\r\n", trouve);
    }
    if (rien_a_montrer) {
      // A chunk of a file's data only.
    } else if (!reunion()) {
      AFFICHE_TEXTE_RECU(vu);
    } else {
      std::string affiche = s == 0 ? std::string("M: ") : std::string("S").append(std::to_string(s)) + ": ";
      affiche += vu;
      if (vu.empty() || (vu.back() != '\r' && vu.back() != '\n')) affiche += "\r\n";
      AFFICHE_TEXTE_RECU(affiche);
    }
  }
  const uint8_t L = c.LONGUEUR_TEXTE_ATTENDU;

  // On a link.
  if (!reunion()) {
    std::string indicatif;
    uint8_t trouve = 0;
    if (!maitre && SESSION_EN_COURS == 0 && be == '1' && bm == '0' && L >= 10 &&
        (LECTURE_CQ_REUNION(texte, indicatif, trouve), trouve == 1)) {
      INDICATIF_MAITRE = indicatif;
      T_CQ_RECU = horodate();
      vue_.Fixe_texte({Label_CQ, 1}, "CQ de " + Nom_affichable(INDICATIF_MAITRE));
      if (SESSION_EN_COURS == 0 && TENTATIVE_EN_COURS == 0 && DEMANDE_CONNEXION == 0) ACTIVE_ENTREE_SLOT(1);
      T_CQ_RECU_LIEN = horodate();
      TENTATIVE_EN_COURS = 0;
    } else if (ECOUTE_HORS_SESSION == 1 && bm == '1') {
      AFFICHE_MESSAGE_SLOT(NUMERO_S_DP, brut);
    } else if (!maitre && SESSION_EN_COURS == 1) {
      if (bm == '1' && nouveau == 1) AFFICHE_MESSAGE_SLOT(0, brut);
    } else if (maitre && SESSION_EN_COURS == 0) {
      std::string utilisateur;
      LECTURE_DEMANDE_CONNEXION(texte, INDICATIF_PROPRE, utilisateur, trouve);
      if (trouve == 1) {
        SESSION_EN_COURS = 1;
        MAITRE_APPELLE = 0;
        ETAT(T("Connected", "Connect\xE9"));
        INFO(T("Connected", "Connect\xE9"));
        vue_.Fixe_texte({Indicatif, 1}, Nom_affichable(utilisateur));
        AFFICHE_MESSAGE_SLOT(1, brut);
        if (EPOQUE_RECEPTION != epoque) return;
        REPONSE_DUE_MAITRE = 1;
        INDICATIFS_CORRESPONDANTS[0] = utilisateur;
        hote_.Redonne_focus_editeur();
      }
    } else if (maitre && SESSION_EN_COURS == 1) {
      if (bm == '1' && nouveau == 1) AFFICHE_MESSAGE_SLOT(1, brut);
    }
    if (EPOQUE_RECEPTION != epoque) return;
    AFFICHE_CANAL_SECONDAIRE_RECU(NUMERO_S_DP);
    return;
  }

  bool canal_affiche = false;
  if (!maitre) {
    // Meeting, user side.
    if (SESSION_EN_COURS == 1) TEXTE_RECU_S[s] = texte;
    if (s == 2 && be == '1' && bm == '0' && texte == "Reser") {
      ++RANG_TRAME_MAITRE;
      if (RANG_TRAME_MAITRE > s) RANG_TRAME_MAITRE = 0;
      ETIQUETTE_CQ_SLOT(2, T("Reserved", "Reserv\xE9"));
    }
    std::string indicatif;
    uint8_t trouve = 0;
    const bool offre = s > 0 && be == '1' && bm == '0' && L >= 10;
    if (offre) LECTURE_CQ_REUNION(texte, indicatif, trouve);
    if (offre && trouve == 1) {
      INDICATIF_MAITRE = indicatif;
      ++RANG_TRAME_MAITRE;
      if (RANG_TRAME_MAITRE > s) RANG_TRAME_MAITRE = 0;
      if (s == NUMERO_SLOT) {
        if (TENTATIVE_EN_COURS == 1 && SESSION_EN_COURS == 0) {
          // The Master offers the slot again: it did not hear the attempt, which is over. The offer counts as
          // a first one, so that the slot's enter button can be pressed again.
          INFO(T("Failure of the attempt", "Echec de la tentative"));
          CQ_RECU_SLOT[s] = 0;
        }
        TENTATIVE_EN_COURS = 0;
        if (SESSION_EN_COURS == 1) {
          // The Master offers this user's slot again: it dropped the user.
          SESSION_EN_COURS = 0;
          T_FIN_SESSION = 0;
          INFO(T("Deconnection on CQ", "D\xE9" "connexion sur CQ"));
          DECONNEXION();
          return;
        }
      }
      if (CQ_RECU_SLOT[s] == 0) {
        CQ_RECU_SLOT[s] = 1;
        if (SESSION_EN_COURS == 0 && TENTATIVE_EN_COURS == 0 && DEMANDE_CONNEXION == 0) ACTIVE_ENTREE_SLOT(int(s));
      }
      T_CQ_RECU_SLOT[s] = horodate();
      ETIQUETTE_CQ_SLOT(int(s), "CQ de " + INDICATIF_MAITRE);
      // The origin of the attempt windows is the end of the Master's frame (FIN_TRAME_RECUE), not an estimate
      // from this offer.
    } else if (s > 0 && !offre && !(s == NUMERO_SLOT && (SESSION_EN_COURS == 1 || TENTATIVE_EN_COURS == 1))) {
      if (CQ_RECU_SLOT[s] == 1) {
        CQ_RECU_SLOT[s] = 0;
        EFFACE_CANAL(int(s), 1);
      }
    }
    if (ECOUTE_HORS_SESSION == 1 && bm == '1') {
      AFFICHE_MESSAGE_SLOT(int(s), brut);
      if (EPOQUE_RECEPTION != epoque) return;
    }
    if (s > 0 && s == NUMERO_SLOT && TENTATIVE_EN_COURS == 1 && REPONSE_A_LA_TENTATIVE == 1) {
      // The answer to the own connection attempt (addressed with the user's own call sign).
      AFFICHE_CANAL_SECONDAIRE_RECU(int(s));
      canal_affiche = true;
      CQ_RECU_SLOT[s] = 0;
      INFO(T("Connected (on condition)", "Connect\xE9 (sous condition)"));
      SESSION_EN_COURS = 1;
      TENTATIVE_EN_COURS = 0;
      TEXTE_EN_SERVICE.clear();
      TEXTE_SUIVANT.clear();
      INDEX_CANAL = 15;
      CONNEXION_CONDITIONNELLE = 1;
      T_TENTATIVE = horodate();
      ATTENTE_FENETRE = 1;
      T_RECEPTION_MAITRE = horodate();
      hote_.Redonne_focus_editeur();
    }
  } else {
    // Meeting, Master side.
    bool repetition = false;
    BLOC_REPETE[s] = 0;
    // A connection request is never a message, even in a slot the Master holds as connected (its user left on
    // its side and enters again): relayed, the request would reach the other users as that user's text.
    if (UTILISATEUR_CONNECTE == 1 && CONNECTE_SLOT[s] == 1 && entete && TRAME_EN_ATTENTE[s] == 0) {
      if (KD1_RECU[s] == KD1_PRECEDENT[s]) {
        repetition = true;
        BLOC_REPETE[s] = 1;
      } else {
        BA_TX[s] = KD1_RECU[s];
        NOUVEAU_MESSAGE_SLOT(int(s), nouveau);
      }
    } else if (TRAME_EN_ATTENTE[s] == 1) {
      std::string utilisateur;
      uint8_t trouve = 0;
      LECTURE_DEMANDE_CONNEXION(texte, INDICATIF_PROPRE, utilisateur, trouve);
      if (trouve == 1) {
        TENTATIVE_SLOT[s] = 1;
        MAITRE_APPELLE = 0;
        CQ_REUNION_ACTIF = 0;
        INFO(T("Connexion attempt to", "Tentative de connexion \xE0") + " " + NOM_SLOT[s]);
        INDICATIFS_CORRESPONDANTS[s] = utilisateur;
        MessageRelais& m = MESSAGE_RELAIS_1[s];
        m.BITS = BLOC_CORRIGE(c);
        m.TEXTE_8_BITS = c.TEXTE_8_BITS_RECU;
        m.TEXTE = texte;
        m.KD1 = entete ? c.ENTETE_RECU[0] : '0';
        m.KD3 = entete ? c.ENTETE_RECU[2] : '0';
        BN_STOCKE[s] = KD1_RECU[s];
        // The request is the user's first block of this connection: its next one, a message, toggles.
        KD1_PRECEDENT[s] = KD1_RECU[s];
        PREMIERE_TRAME_SLOT[s] = 1;
        hote_.Redonne_focus_editeur();
      } else {
        TRAME_EN_ATTENTE[s] = 0;
      }
    } else if (TENTATIVE_SLOT[s] == 1 && TRAME_EN_ATTENTE[s] == 0) {
      TENTATIVE_SLOT[s] = 0;
      CONNECTE_SLOT[s] = 1;
      CONFIRMATION_DUE = 1;
      ETIQUETTE_CQ_SLOT(int(s), "");
      BOUTONS_SLOT_CONNECTE(int(s));
      BILAN_CONNEXIONS();
      EFFACE_MESSAGE_SLOT(int(s));
      if (KD1_RECU[s] != KD1_PRECEDENT[s]) {
        BA_TX[s] = KD1_RECU[s];
        NOUVEAU_MESSAGE_SLOT(int(s), nouveau);
      }
      INFO(T("Connected to", "Connect\xE9 \xE0") + " " + NOM_SLOT[s]);
      AFFICHE_INDICATIF_SLOT(int(s), INDICATIFS_CORRESPONDANTS[s]);
      hote_.Redonne_focus_editeur();
    }
    if (!repetition && UTILISATEUR_CONNECTE == 1 && bm == '1' && nouveau == 1)
      INFO(T("Message received from", "Message re\xE7u de") + " " + NOM_SLOT[s]);
  }
  // The sender's secondary channel.
  if (!canal_affiche) AFFICHE_CANAL_SECONDAIRE_RECU(int(s));
}

// ---------------------------------------------------------------------------------------------------------
// Secondary channel
// ---------------------------------------------------------------------------------------------------------

void Autex::BITS_BASCULE_CQ() {
  // The secondary field of a free slot's offer is the Master's status word: its own toggle, then each slot's.
  const ContexteBloc& c = *ctx;
  if (c.CANAL_RECU.size() != 16) return;
  const std::string& bits = c.CANAL_RECU;
  KD1_MAITRE_RECU = bits[0];
  B_EMIS[0] = bits[0];
  for (int k = 1; k <= NOMBRE_UTILISATEURS && k < NOMBRE_SLOTS && k < 16; ++k) {
    KD1_S_RECU[size_t(k)] = bits[size_t(k)];
    B_EMIS[size_t(k)] = bits[size_t(k)];
  }
}

void Autex::AFFICHE_CANAL_SECONDAIRE_RECU(int participant) {
  if (participant < 0 || participant > 12) return;
  const ContexteBloc& c = *ctx;
  if (reunion() && STATION_MAITRE == 0 && participant > 0 && CQ_RECU_SLOT[size_t(participant)] == 1) {
    if (SESSION_EN_COURS == 0) BITS_BASCULE_CQ();
    return;
  }
  if (c.CANAL_RECU.size() != 16) return;
  const int q = Binaire_vers_entier(std::string_view(c.CANAL_RECU).substr(0, 4));
  const char c1 = CARACTERE_6_BITS(Binaire_vers_entier(std::string_view(c.CANAL_RECU).substr(4, 6)));
  const char c2 = CARACTERE_6_BITS(Binaire_vers_entier(std::string_view(c.CANAL_RECU).substr(10, 6)));
  const Element canal{Secondary_channel, participant};
  if (q == 0 && c1 == ' ') return;
  std::string texte = vue_.Texte(canal);
  if (c1 == '^' && c2 == '^') {
    if (texte.size() > size_t(2 * q)) texte.resize(size_t(2 * q));
  } else if (c1 == '^' || c2 == '^') {
    return;
  } else {
    if (texte.size() < size_t(2 * q + 2)) texte.resize(size_t(2 * q + 2), ' ');
    texte[size_t(2 * q)] = c1;
    texte[size_t(2 * q + 1)] = c2;
  }
  vue_.Fixe_texte(canal, texte);
  if (TRACE_ACTIVE == 1) TRACE_LIGNE(HEURE_SYSTEME() + std::string(" CAN.SECOND. DE S").append(std::to_string(participant)) + " " + texte);
}

}  // namespace autex
