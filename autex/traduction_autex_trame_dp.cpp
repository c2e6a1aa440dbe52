// TRADUCTION_AUTEX: interpretation of an accepted DP word. Decodes its fields, tells the bit path whether an
// RS block follows and how long it is, and acts on end requests and acknowledgements, connection
// confirmations, the acknowledgements of the own message and, on a meeting Master, the users' acknowledgements
// of every relayed message.
#include "autex/mathematiques.h"
#include "autex/trames_autex.h"
#include "autex/traduction_autex.h"
#include "autex/vue_autex.h"

namespace autex {

using enum NomElement;

namespace {
// Character at a 1-based position of the DP bits ('0' beyond the end).
char a(const std::string& bits, size_t position) {
  return position >= 1 && position <= bits.size() ? bits[position - 1] : '0';
}
uint8_t longueur(const std::string& bits, size_t premier) {
  if (bits.size() < premier + 4) return 1;
  return uint8_t(Binaire_vers_entier(std::string_view(bits).substr(premier - 1, 5)) + 1);
}
}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Panel routines
// ---------------------------------------------------------------------------------------------------------

void Autex::ETIQUETTE_CQ_SLOT(int slot, const std::string& texte) {
  if (slot < 1 || slot > 12) return;
  // The caller's call sign as received, on one line.
  const std::string vu = Nom_affichable(texte);
  vue_.Fixe_texte({Label_CQ, slot}, vu);
  vue_.Redessine({Label_CQ, slot});
  if (TRACE_ACTIVE == 1) TRACE_LIGNE(HEURE_SYSTEME() + std::string(" CQ DE S").append(std::to_string(slot)) + " " + vu);
}

void Autex::AFFICHE_MANQUES_SLOT(int slot) {
  if (slot < 1 || slot > 12) return;
  const uint8_t n = MANQUES_SLOT[size_t(slot)];
  const std::string chiffre = n <= 9 ? std::string(1, char('0' + n)) : std::string();
  vue_.Fixe_texte({Nombre_de_repetitions, slot}, chiffre);
  if (TRACE_ACTIVE == 1) TRACE_LIGNE(HEURE_SYSTEME() + std::string(" REPETITIONS DE S").append(std::to_string(slot)) + " :" + chiffre);
}

void Autex::AFFICHE_INDICATIF_SLOT(int slot, const std::string& indicatif) {
  if (slot < 1 || slot > 12) return;
  const std::string vu = Nom_affichable(indicatif);
  vue_.Fixe_texte({Indicatif, slot}, vu);
  if (TRACE_ACTIVE == 1) TRACE_LIGNE(HEURE_SYSTEME() + std::string(" INDICATIF DE S").append(std::to_string(slot)) + " " + vu);
}

void Autex::EFFACE_MESSAGE_SLOT(int k) {
  if (k < 1 || k >= NOMBRE_SLOTS) return;
  TEXTE_MESSAGE_S[size_t(k)].clear();
  BLOC_RELAIS[size_t(k)].clear();
  TEXTE_RELAIS[size_t(k)].clear();
  if (TRACE_ACTIVE == 1) TRACE_LIGNE(HEURE_SYSTEME() + std::string(" ALGO1 (RS_BLOCK_TX:=') de S").append(std::to_string(k)));
}

void Autex::ACQUITTEMENT_DE_SLOT(int k, int s, bool acquitte, int& manquants) {
  if (acquitte) {
    ACQUITTEMENT_MANQUANT[size_t(k)][size_t(s)] = 0;
    INFO(T("Acknowledgment from", "Acquittement de") + " " + NOM_SLOT[size_t(s)]);
  } else {
    ++manquants;
  }
}

// ---------------------------------------------------------------------------------------------------------
// Link
// ---------------------------------------------------------------------------------------------------------

void Autex::TRAITEMENT_TRAME_DP_LIEN(const std::string& bits_dp, uint8_t& sans_bloc) {
  const uint32_t epoque = EPOQUE_RECEPTION;
  const bool maitre = STATION_MAITRE == 1;
  ContexteBloc& c = CONTEXTES[0];
  // The DP word's fields: slot, acknowledgement, end and message bits, length.
  FIN_A_EMETTRE_UTILISATEUR = 0;
  FIN_A_EMETTRE_MAITRE = 0;
  sans_bloc = 0;
  c.BLOC_VIDE_ATTENDU = 0;
  NUMERO_S_DP = a(bits_dp, 2) == '0' ? 0 : 1;
  BA_RECU = a(bits_dp, 3);
  BE_RECU = a(bits_dp, 4);
  BM_RECU = a(bits_dp, 5);
  const uint8_t L = longueur(bits_dp, 6);
  c.LONGUEUR_TEXTE_ATTENDU = L;
  if (BM_RECU == '0' && (L == 1 || L == 2)) sans_bloc = 1;
  if (BM_RECU == '0' && L == 3) c.BLOC_VIDE_ATTENDU = 1;
  if (TRACE_ACTIVE == 1)
    TRACE_LIGNE(HEURE_SYSTEME() + std::string(" RX DP de S").append(std::to_string(NUMERO_S_DP)) + " BA=" + BA_RECU + " BE=" + BE_RECU +
                " BM=" + BM_RECU + std::string(" L=").append(std::to_string(L)));
  // End request.
  if (BE_RECU == '1' && BM_RECU == '0' && L == 1) {
    FIN_LIEN_EN_COURS = 0;
    if (!maitre) {
      INFO(T("End of meeting required by the Master", "Fin de r\xE9union demand\xE9" "e par le Ma\xEEtre"));
      FIN_A_EMETTRE_UTILISATEUR = 1;
    } else {
      INFO(T("End of meeting required by the user", "Fin de r\xE9union demand\xE9" "e par l'utilisateur"));
      FIN_A_EMETTRE_MAITRE = 1;
    }
  } else if (BE_RECU == '1' && BM_RECU == '0' && L == 2 && FIN_REUNION_DEMANDEE == 1) {
    // The end this station asked for is acknowledged.
    SESSION_EN_COURS = 0;
    INFO(T("End of meeting accepted", "Fin de r\xE9union accept\xE9" "e"));
    DECONNEXION();
    return;
  }
  // A link user whose Master sent no block may answer at once.
  if (!maitre && SESSION_EN_COURS == 1 && sans_bloc == 1) {
    ATTENTE_FENETRE = 0;
    T_TRAME_MAITRE = 0;
  }
  // Acknowledgement of the own message.
  if (ACQUITTEMENT_ATTENDU == 1) {
    if (BA_RECU == KD1_TX[0]) {
      NOUVEAU_TEXTE = 1;
      IGNORES_MAITRE = 0;
      ACQUITTEMENT_ATTENDU = 0;
      if (SESSION_EN_COURS == 1) {
        INFO(T("Acknowledgment received", "Acquittement re\xE7u"));
        NB_REPETITIONS_BLOC = 0;
        MORCEAU_ACQUITTE();
        AFFICHE_MESSAGE_SLOT(maitre ? 0 : 1, TEXTE_EMIS);
        if (EPOQUE_RECEPTION != epoque) return;
      }
    } else {
      NOUVEAU_TEXTE = 0;
      if (maitre) {
        ++NB_REPETITIONS_BLOC;
        INFO(T("No acknowledgment received", "Pas d'acquittement re\xE7u") + " " +
             std::to_string(NB_REPETITIONS_BLOC));
        if (NB_REPETITIONS_BLOC > LIMITE_REPETITIONS_BLOC) ABANDON_LIEN = 1;
      }
    }
  } else {
    NOUVEAU_TEXTE = 1;
    IGNORES_MAITRE = 0;
    if (SESSION_EN_COURS == 1) NB_REPETITIONS_BLOC = 0;
  }
  // A link user notes when it last heard its Master.
  if (!maitre && SESSION_EN_COURS == 1) T_RECEPTION_MAITRE = horodate();
}

// ---------------------------------------------------------------------------------------------------------
// Meeting
// ---------------------------------------------------------------------------------------------------------

void Autex::TRAITEMENT_TRAME_DP(uint8_t& slot, const std::string& bits_dp, uint8_t& sans_bloc) {
  const uint32_t epoque = EPOQUE_RECEPTION;
  sans_bloc = 0;
  const int N = NOMBRE_UTILISATEURS;
  if (STATION_MAITRE == 0) {
    // ---- Meeting user: the word comes from the Master ----
    NUMERO_S_DANS_DP(bits_dp);
    const size_t s = NUMERO_S_DP < NOMBRE_SLOTS ? NUMERO_S_DP : 0;
    slot = uint8_t(s);
    ContexteBloc& c = CONTEXTES[0];
    c.BLOC_VIDE_ATTENDU = 0;
    if (s == 0) RANG_TRAME_MAITRE = 0;
    // Answer delay.
    const uint8_t D = uint8_t(Binaire_vers_entier(std::string_view(bits_dp).substr(0, std::min<size_t>(4, bits_dp.size()))));
    T_TRAME_MAITRE = horodate();
    const uint32_t lo = BORNE_INF_REPONSE[s];
    const uint32_t hi = BORNE_SUP_REPONSE[s];
    if (D == 0)
      DELAI_AVANT_REPONSE = lo;
    else if (D == 15)
      DELAI_AVANT_REPONSE = hi;
    else
      DELAI_AVANT_REPONSE = uint32_t(int64_t(lo) + (int64_t(hi) - int64_t(lo)) * D / 15);
    if (SESSION_EN_COURS == 1) ATTENTE_FENETRE = 1;
    // Fields.
    size_t pBA = 5, pBN = s > 0 ? 6 : 7, pBP = 7, pBE = 10, pBM = 11, pL = 12;
    if (NOMBRE_PARTICIPANTS == 7) {
      pBA = 6;
      pBN = s > 0 ? 7 : 8;
      pBP = 8;
      pBE = 12;
      pBM = 13;
      pL = 14;
    } else if (NOMBRE_PARTICIPANTS == 13) {
      pBA = 5;
      pBN = s > 0 ? 6 : 7;
      pBP = 7;
      pBE = 12;
      pBM = 13;
      pL = 14;
    }
    const char BA = s > 0 ? a(bits_dp, pBA) : '0';
    const char BN = a(bits_dp, pBN);
    const char BP = s > 0 ? a(bits_dp, pBP) : '0';
    BE_RECU = a(bits_dp, pBE);
    BM_RECU = a(bits_dp, pBM);
    const uint8_t L = longueur(bits_dp, pL);
    c.LONGUEUR_TEXTE_ATTENDU = L;
    const bool propre = s > 0 && s == NUMERO_SLOT;
    // End of the meeting or of a user's link.
    if (BE_RECU == '1' && BM_RECU == '0') {
      if (L == 1 && s == 0) {
        INFO(T("End of meeting required by the Master", "Fin de meeting demand\xE9" "e par le Ma\xEEtre"));
      } else if (L == 1 && s > 0) {
        if (propre) {
          FIN_REUNION_A_EMETTRE = 1;
          FIN_REUNION_EN_COURS = 0;
          INFO(T("End of link required by the Master", "Fin de lien demand\xE9" "e par le Ma\xEEtre"));
        }
        ETIQUETTE_CQ_SLOT(int(s), T("End of link", "Fin du lien"));
      } else if (L == 2 && s > 0) {
        if (propre && FIN_REUNION_DEMANDEE == 1) {
          SESSION_EN_COURS = 0;
          INFO(T("End of link accepted", "Fin de lien accept\xE9" "e"));
          DECONNEXION();
          return;
        }
        ETIQUETTE_CQ_SLOT(int(s), T("End of link", "Fin du lien"));
      }
    }
    // Length field.
    if (BM_RECU == '0' && (L == 1 || L == 2)) sans_bloc = 1;
    if (BM_RECU == '0' && L == 3) c.BLOC_VIDE_ATTENDU = 1;
    if (TRACE_ACTIVE == 1) {
      const std::string genre = c.BLOC_VIDE_ATTENDU == 1 ? "Free text" : "Standard";
      if (s > 0)
        TRACE_LIGNE(HEURE_SYSTEME() + std::string(" RX DP de S").append(std::to_string(s)) + " BA=" + BA + " BN=" + BN + " BP=" + BP +
                    " BE=" + BE_RECU + " BM=" + BM_RECU + std::string(" L=").append(std::to_string(L)) + " " + genre);
      else
        TRACE_LIGNE(HEURE_SYSTEME() + " RX DP de M BN=" + BN + " BE=" + BE_RECU + " BM=" + BM_RECU +
                    std::string(" L=").append(std::to_string(L)) + " " + genre);
    }
    // A slot offered again is free: what the users last took of it belongs to a user who has gone, and the
    // offer's BN '0' is no completed relay (shown, it would show that user's last message again). The next
    // user's messages start from the offer's toggle '0'.
    const bool offre = s > 0 && !propre && BE_RECU == '1' && BM_RECU == '0' && L >= 10;
    if (offre) {
      KD1_S_RECU[s] = '0';
      TEXTE_RECU_S[s].clear();
    }
    const char ancien = BN_MEMORISE[s];
    const std::string suffixe = std::string(" (") + BN + "/" + ancien + ")";
    // A frame for this user.
    if (SESSION_EN_COURS == 1 && propre) {
      // The Master confirms the connection with its first word for the connected user. The answer to the
      // attempt, repeated while the Master has not heard the user since, is no confirmation: it echoes the
      // request (BM '0' with a text length), and the Master does not hold the user as connected yet.
      const bool echo_demande = BM_RECU == '0' && L >= 4;
      if (CONNEXION_CONDITIONNELLE == 1 && BE_RECU == '0' && !echo_demande) {
        CONNEXION_CONDITIONNELLE = 0;
        ETAT(T("Connected", "Connect\xE9"));
        INFO(T("Connection confirmed", "Connexion confirm\xE9" "e"));
      }
      if (ACQUITTEMENT_ATTENDU == 1) {
        const std::string accuse = std::string(" (") + BA + "/" + KD1_TX[0] + ")";
        if (BA == KD1_TX[0]) {
          ACQUITTEMENT_PERSONNEL = 1;
          IGNORES_MAITRE = 0;
          INFO(T("Personal acknowledgment from the Master", "Acquittement personnel de la part du Master") + accuse);
        } else {
          ACQUITTEMENT_PERSONNEL = 0;
          INFO(T("No personal acknowledgment from the Master", "Pas d'acquittement personnel de la part du Master") +
               accuse);
        }
        if (BN != ancien) {
          NOUVEAU_TEXTE = 1;
          IGNORES_MAITRE = 0;
          ACQUITTEMENT_ATTENDU = 0;
          INFO(T("Complete message acknowledgment received", "Acquittement complet du message re\xE7u") + suffixe);
          MORCEAU_ACQUITTE();
          AFFICHE_MESSAGE_SLOT(int(s), TEXTE_EN_SERVICE);
          if (EPOQUE_RECEPTION != epoque) return;
          if (!TEXTE_SUIVANT.empty()) {
            TEXTE_EN_SERVICE = TEXTE_SUIVANT;
            TEXTE_SUIVANT.clear();
            ACQUITTEMENT_ATTENDU = 1;
          } else {
            TEXTE_EN_SERVICE.clear();
          }
        } else {
          NOUVEAU_TEXTE = 0;
          if (ACQUITTEMENT_PERSONNEL == 0)
            INFO(T("No complete acknowledgment yet", "Pas encore d'acquittement complet") + suffixe);
        }
      } else {
        NOUVEAU_TEXTE = 1;
        IGNORES_MAITRE = 0;
      }
      T_RECEPTION_MAITRE = horodate();
    } else if (SESSION_EN_COURS == 1) {
      // The Master completed the relay of another participant's message.
      if (BN != ancien && !offre) {
        INFO(T("Message from", "Message de") + " " + NOM_SLOT[s] + suffixe);
        AFFICHE_MESSAGE_SLOT(int(s), TEXTE_RECU_S[s]);
        if (EPOQUE_RECEPTION != epoque) return;
      }
    }
    // The slot's BN and BP bits are remembered for the next word.
    BN_MEMORISE[s] = BN;
    if (s > 0) BP_MEMORISE[s] = BP;
    return;
  }

  // ---- Meeting Master: the word comes from a user ----
  std::string reste;
  size_t t;
  if (NOMBRE_PARTICIPANTS == 4) {
    // The first two bits select the slot.
    const std::string selecteur = bits_dp.substr(0, std::min<size_t>(2, bits_dp.size()));
    if (selecteur.size() < 2 || selecteur == "00") {
      slot = 0;
      return;
    }
    t = size_t(Binaire_vers_entier(selecteur));
    reste = bits_dp.substr(2);
  } else {
    // Meetings of 7 and 13: the user's word carries no slot number; it belongs to the slot being listened to.
    t = slot;
    reste = bits_dp;
  }
  if (t < 1 || int(t) > N || t >= NOMBRE_SLOTS) {
    slot = 0;
    return;
  }
  slot = uint8_t(t);
  ContexteBloc& c = CONTEXTES[t];
  c.BLOC_VIDE_ATTENDU = 0;
  TRAME_EN_ATTENTE[t] = 0;
  ESSAIS_TENTATIVE_SLOT[t] = 0;
  REPONSE_RECUE_SLOT[t] = 0;
  // Fields: B0..BN, then (7, 13) BE, BM and the length.
  const size_t nb = size_t(N) + 1;
  B_S[t] = reste.substr(0, std::min(nb, reste.size()));
  B_S[t].resize(nb, '0');
  size_t pBM;
  if (NOMBRE_PARTICIPANTS == 4) {
    BE_S[t] = a(reste, t + 1);
    pBM = nb + 1;
  } else {
    BE_S[t] = a(reste, nb + 1);
    pBM = nb + 2;
  }
  BM_S[t] = a(reste, pBM);
  const uint8_t L = longueur(reste, pBM + 1);
  c.LONGUEUR_TEXTE_ATTENDU = L;
  if (TRACE_ACTIVE == 1) {
    std::string ligne = HEURE_SYSTEME() + std::string(" RX DP de S").append(std::to_string(t));
    for (size_t k = 0; k < nb; ++k) ligne += std::string(" B").append(std::to_string(k)) + "=" + B_S[t][k];
    ligne += std::string(" BE=") + BE_S[t] + " BM=" + BM_S[t] + std::string(" L=").append(std::to_string(L));
    ligne += BM_S[t] == '0' && L == 3 ? " Free text" : " Standard";
    TRACE_LIGNE(ligne);
  }
  // End of the link with the user.
  if (BE_S[t] == '1' && BM_S[t] == '0' && L == 1) {
    FIN_LIEN_SLOT[t] = 0;
    FIN_DEMANDEE_PAR_SLOT[t] = 1;
    INFO(T("End of link required by", "Fin de lien demand\xE9" "e par") + " " + NOM_SLOT[t]);
    REPONSE_RECUE_SLOT[t] = 1;
    ETIQUETTE_CQ_SLOT(int(t), T("End of link", "Fin du lien"));
  } else if (BE_S[t] == '1' && BM_S[t] == '0' && L == 2 && (FIN_REUNION_DEMANDEE == 1 || FIN_SLOT_DEMANDEE[t] == 1)) {
    const uint8_t fin_reunion = FIN_REUNION_DEMANDEE;
    FIN_SLOT_DEMANDEE[t] = 0;
    CONNECTE_SLOT[t] = 0;
    LIBERE_SLOT(int(t));
    BOUTONS_SLOT_LIBERE(int(t));
    for (auto& ligne : ACQUITTEMENT_MANQUANT) ligne[t] = 0;
    BILAN_CONNEXIONS();
    INFO(T("End of link accepted by", "Fin de lien accept\xE9" "e par") + " " + NOM_SLOT[t]);
    ETIQUETTE_CQ_SLOT(int(t), T("End of link", "Fin du lien"));
    FIN_LIEN_UTILISATEUR(int(t));
    if (fin_reunion == 1 && FIN_REUNION_DEMANDEE == 0 && UTILISATEUR_CONNECTE == 0) {
      DECONNEXION();
      return;
    }
  } else if (FIN_REUNION_DEMANDEE == 0 && BE_S[t] == '0' && BM_S[t] == '0' && L >= 4) {
    TRAME_EN_ATTENTE[t] = 1;
  }
  // Length field.
  if (BM_S[t] == '0' && (L == 1 || L == 2)) sans_bloc = 1;
  if (BM_S[t] == '0' && L == 3) c.BLOC_VIDE_ATTENDU = 1;
  // Connection of the user.
  if (TENTATIVE_SLOT[t] == 1 && TRAME_EN_ATTENTE[t] == 0) {
    TENTATIVE_SLOT[t] = 0;
    if (FIN_REUNION_DEMANDEE == 0) {
      CONNECTE_SLOT[t] = 1;
      CONFIRMATION_DUE = 1;
      ETIQUETTE_CQ_SLOT(int(t), "");
      BOUTONS_SLOT_CONNECTE(int(t));
      BILAN_CONNEXIONS();
      EFFACE_MESSAGE_SLOT(int(t));
      MESSAGE_RELAIS_1[t].vider();
      INFO(T("Connected to", "Connect\xE9 \xE0") + " " + NOM_SLOT[t]);
      AFFICHE_INDICATIF_SLOT(int(t), INDICATIFS_CORRESPONDANTS[t]);
      hote_.Redonne_focus_editeur();
    } else {
      INFO(T("Not connected to", "Non connect\xE9 \xE0") + " " + NOM_SLOT[t]);
    }
  } else if (CONNECTE_SLOT[t] == 1 && TRAME_EN_ATTENTE[t] == 0) {
    // The acknowledgements the user carries.
    int manquants = 0;
    for (int k = 0; k <= N; ++k) {
      const size_t kk = size_t(k);
      if (MESSAGE_EN_SERVICE[kk] == 1 && ACQUITTEMENT_MANQUANT[kk][t] == 1) {
        if (kk == t) {
          ACQUITTEMENT_MANQUANT[kk][t] = 0;  // a user does not acknowledge its own message
        } else {
          // A message that came in during this cycle (from a user who answered earlier in it) has not been
          // relayed yet: the users cannot have it, and are not counted as missing it. Counted, every user
          // after a talkative one missed a cycle, and a meeting where users keep writing lost its users.
          int manque = 0;
          ACQUITTEMENT_DE_SLOT(k, int(t), B_S[t][kk] == KD1_MESSAGE[kk], manque);
          if (MESSAGE_RELAYE[kk] == 1) manquants += manque;
        }
      }
    }
    if (manquants > 0) {
      if (MANQUES_SLOT[t] < 255) ++MANQUES_SLOT[t];
      AFFICHE_MANQUES_SLOT(int(t));
    } else if (MANQUES_SLOT[t] > 0) {
      vue_.Fixe_texte(Label_Info_AUTEX, T("Reception of", "R\xE9" "ception de") + " " + NOM_SLOT[t]);
      MANQUES_SLOT[t] = 0;
      AFFICHE_MANQUES_SLOT(int(t));
    }
    if (MANQUES_SLOT[t] > 0) MANQUE_ACQUITTEMENT(0, int(t));
    // Relays completed: every connected user acknowledged message k.
    for (int k = 0; k <= N; ++k) {
      const size_t kk = size_t(k);
      if (MESSAGE_EN_SERVICE[kk] == 1) {
        bool reste_manquant = false;
        for (int j = 1; j <= N; ++j) reste_manquant = reste_manquant || ACQUITTEMENT_MANQUANT[kk][size_t(j)] == 1;
        if (!reste_manquant) {
          BN_STOCKE[kk] = KD1_MESSAGE[kk];
          if (k == 0) ACQUITTEMENT_ATTENDU = 0;
          MESSAGE_EN_SERVICE[kk] = 0;
          MESSAGE_ACQUITTE[kk] = 1;
          NOUVELLE_TRAME_SLOT[kk] = 1;
          ACQUITTEMENT_MANQUANT[kk].fill(0);
          if (k == 0) {
            INFO(T("Acknowledgment received for my message", "Acquittement re\xE7u de mon message"));
          } else {
            INFO(T("Acknowledgment received for", "Acquittement re\xE7u pour") + " " + NOM_SLOT[kk]);
            MANQUES_SLOT[kk] = 0;
            AFFICHE_MANQUES_SLOT(k);
          }
          if (k == 0) MORCEAU_ACQUITTE();
          AFFICHE_MESSAGE_SLOT(k, k == 0 ? TEXTE_EMIS : TEXTE_MESSAGE_S[kk]);
          if (EPOQUE_RECEPTION != epoque) return;
          EFFACE_MESSAGE_SLOT(k);
        } else {
          MESSAGE_ACQUITTE[kk] = 0;
        }
      } else {
        EFFACE_MESSAGE_SLOT(k);
      }
    }
  }
}

}  // namespace autex
