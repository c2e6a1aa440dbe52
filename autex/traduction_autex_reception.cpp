// TRADUCTION_AUTEX: the receive bit path. Each received bit, as a soft value, slides a window in which a DP
// burst is searched (majority vote over its three copies, speed word, signature, address and BCH check); an
// accepted DP is interpreted, and the RS block behind it is captured, its copies summed, and handed to the
// block decoding.
#include <algorithm>

#include "autex/mathematiques.h"
#include "autex/trames_autex.h"
#include "autex/traduction_autex.h"
#include "autex/vue_autex.h"

namespace autex {

using enum NomElement;

namespace {
constexpr std::string_view MOT_1200 = "101101001110";
constexpr std::string_view MOT_400 = "011011100111";
constexpr std::string_view MOT_171 = "110110011011";

void glisser(std::string& fenetre, const std::string& modele, char bit) {
  if (fenetre.size() != modele.size()) fenetre = modele;
  if (fenetre.empty()) return;
  fenetre.erase(0, 1);
  fenetre.push_back(bit);
}
}  // namespace

// ---------------------------------------------------------------------------------------------------------
// DP burst test
// ---------------------------------------------------------------------------------------------------------

void Autex::VERIFICATION_BCH_DP(std::string_view generateur, int degre, std::string_view mot, uint8_t& ok) {
  ok = 0;
  if (degre <= 0 || mot.size() <= size_t(degre)) return;
  const size_t n = mot.size() - size_t(degre);
  const std::string reste =
      DIVISION_BINAIRE(generateur, uint8_t(degre), int(mot.size()), mot.substr(0, n));
  ok = reste == mot.substr(n) ? 1 : 0;
}

void Autex::NUMERO_S_DANS_DP(const std::string& bits_dp) {
  size_t debut = 7, longueur = 2;  // characters 8..9
  if (NOMBRE_PARTICIPANTS == 7) {
    debut = 8;  // 9..11
    longueur = 3;
  } else if (NOMBRE_PARTICIPANTS == 13) {
    debut = 7;  // 8..11
    longueur = 4;
  }
  if (bits_dp.size() < debut + longueur) return;
  NUMERO_S_DP = uint8_t(Binaire_vers_entier(std::string_view(bits_dp).substr(debut, longueur)));
}

void Autex::DETECTION_TRAME_DP(const std::string& fenetre, const std::string& indicatif, uint8_t drapeau_adresse,
                               int& erreurs, std::string& bits_dp, uint8_t& verifie, uint8_t& accepte) {
  accepte = 0;
  erreurs = 0;
  const size_t L = LONGUEUR_MOT_DP;
  const size_t n = NB_BITS_DP_ATTENDUS;
  const size_t z = NB_ZEROS_DP;
  if (L <= LONGUEUR_MOT_VITESSE || fenetre.size() < 3 * L || z + n + 10 != 31) return;
  const char* c1 = fenetre.data();
  const char* c2 = c1 + L;
  const char* c3 = c2 + L;
  const bool avec_indicatif = !indicatif.empty();
  const std::string_view mot_courant =
      Vitesse_AUTEX == 400 ? MOT_400 : (Vitesse_AUTEX == 171 ? MOT_171 : MOT_1200);
  const int seuil = avec_indicatif ? SEUIL_ERREURS_DP_1 : SEUIL_ERREURS_DP_2;
  int m1200 = 0, m400 = 0, m171 = 0;
  uint16_t vitesse_detectee = 0;
  char Y[31];
  for (char& y : Y) y = '0';
  size_t p = z;
  for (size_t i = 0; i < L; ++i) {
    const int c = (c1[i] == '1') + (c2[i] == '1') + (c3[i] == '0');
    const char vote = c >= 2 ? '1' : '0';
    if (i < LONGUEUR_MOT_VITESSE) {
      if (avec_indicatif) {
        if (vote != mot_courant[i] && ++m1200 > 1) return;
      } else {
        if (vote != MOT_1200[i]) ++m1200;
        if ((m1200 > 0 || Vitesse_AUTEX == 400) && vote != MOT_400[i]) ++m400;
        if ((m400 > 0 || Vitesse_AUTEX == 171) && vote != MOT_171[i]) ++m171;
        if (m1200 > 0 && m400 > 0 && m171 > 0) return;
        if (i == LONGUEUR_MOT_VITESSE - 1) vitesse_detectee = m1200 == 0 ? 1200 : (m400 == 0 ? 400 : 171);
      }
    }
    if (c == 1 || c == 2) {
      if (++erreurs > seuil) return;
    }
    if (i >= LONGUEUR_MOT_VITESSE) Y[p++] = vote;
  }
  // Signature removed: the DP bits and the check bits.
  std::string T(Y + z, n + 10);
  XOR_BINAIRE(SIGNATURE_ATTENDUE, T);
  const std::string dp = T.substr(0, n);
  // The code word with its leading zeros, the address removed.
  std::string code = MOT_NUL_31.substr(0, z) + T;
  if (avec_indicatif) {
    std::string tete = code.substr(0, 21);
    XOR_BINAIRE(CRC_INDICATIF(indicatif), tete);
    code.replace(0, 21, tete);
  }
  // BCH check of the code word.
  uint8_t ok = 0;
  VERIFICATION_BCH_DP(POLYNOME_BCH_RX, int(DEGRE_BCH_RX), code, ok);
  uint8_t verifie_ici = (ok == 1 && drapeau_adresse == 1) ? 1 : 0;
  // A listener takes every burst that passed the vote.
  if (!avec_indicatif && ok == 0) ok = erreurs <= SEUIL_ERREURS_DP_2 ? 1 : 0;
  // A meeting user reads the slot number the burst carries.
  const bool utilisateur_reunion = reunion() && STATION_MAITRE == 0;
  if (utilisateur_reunion) NUMERO_S_DANS_DP(dp);
  // Accepted on the vote alone, except the answer to the own connection attempt.
  if (ok == 0 && drapeau_adresse == 1 && erreurs <= SEUIL_ERREURS_DP_2) {
    if (!(utilisateur_reunion && TENTATIVE_EN_COURS == 1 && NUMERO_S_DP == NUMERO_SLOT)) {
      ok = 1;
      verifie_ici = 0;
    }
  }
  // An accepted burst gives its DP bits and whether its check word passed.
  if (ok == 1) {
    accepte = 1;
    bits_dp = dp;
    verifie = verifie_ici;
    // Last: the speed switch resets the search window, which is not read after it.
    if (!avec_indicatif && vitesse_detectee != 0 && vitesse_detectee != Vitesse_AUTEX)
      hote_.Choix_vitesse_AUTEX(vitesse_detectee);
  }
}

void Autex::DETECTION_DP_STATION(const std::string& indicatif, uint8_t drapeau_adresse, uint8_t& accepte,
                                 std::string& bits_dp, uint8_t& verifie, float soft) {
  glisser(FENETRE_DP, MODELE_ZERO_DP, soft >= 0.0f ? '1' : '0');
  int erreurs = 0;
  DETECTION_TRAME_DP(FENETRE_DP, indicatif, drapeau_adresse, erreurs, bits_dp, verifie, accepte);
}

void Autex::DETECTION_DP_SLOT(int slot, const std::string& indicatif, uint8_t drapeau_adresse,
                              std::string& bits_dp, uint8_t& verifie, uint8_t& accepte, float soft) {
  std::string& f = FENETRE_DP_SLOT[size_t(slot)];
  glisser(f, MODELE_ZERO_DP, soft >= 0.0f ? '1' : '0');
  int erreurs = 0;
  DETECTION_TRAME_DP(f, indicatif, drapeau_adresse, erreurs, bits_dp, verifie, accepte);
}

// ---------------------------------------------------------------------------------------------------------
// Per-bit machines
// ---------------------------------------------------------------------------------------------------------

void Autex::RAZ_DETECTION_DP() {
  DP_TROUVE = 0;
  DP_RETROUVE = 0;
  CAPTURE_BLOC = 0;
  for (int s = 1; s <= NOMBRE_UTILISATEURS && s < NOMBRE_SLOTS; ++s) {
    DP_TROUVE_SLOT[size_t(s)] = 0;
    DP_RETROUVE_SLOT[size_t(s)] = 0;
    CAPTURE_BLOC_SLOT[size_t(s)] = 0;
  }
}

void Autex::LONGUEUR_BLOC_ATTENDU(int slot) {
  ContexteBloc& c = CONTEXTES[size_t(slot)];
  c.BITS_PAR_BLOC = c.BLOC_VIDE_ATTENDU == 1 ? uint16_t(BITS_BLOC_VIDE)
                                             : uint16_t(122 + 8 * int(c.LONGUEUR_TEXTE_ATTENDU));
}

void Autex::RECEPTION_BIT_STATION(float soft) {
  if (RECEPTION_TERMINEE == 1) return;
  const uint32_t epoque = EPOQUE_RECEPTION;
  if (CAPTURE_BLOC == 0) {
    // The address the station expects.
    std::string indicatif;
    uint8_t drapeau = 0;
    if (STATION_MAITRE == 1) {
      indicatif = INDICATIF_PROPRE;
      drapeau = 1;
    } else if (SESSION_EN_COURS == 1 || TENTATIVE_EN_COURS == 1) {
      if (!reunion())
        indicatif = INDICATIF_CONNEXION;
      else
        indicatif = TENTATIVE_EN_COURS == 1 ? INDICATIF_CONNEXION : INDICATIF_MAITRE;
      drapeau = 1;
    }
    // A meeting user waiting for the answer to its attempt searches with its own call sign, which only that
    // answer carries. Every other word of the Master is addressed with the Master's call sign: checked with it,
    // the user hears them too, among them the Master offering the user's slot again (it did not hear the
    // attempt, which is then over). Words that pass neither check are not taken: at 171 bauds, the burst of the
    // answer itself read a few bits early passes the vote; taken, its wrong length swallows the answer.
    const bool tentative_reunion = reunion() && STATION_MAITRE == 0 && TENTATIVE_EN_COURS == 1;
    uint8_t propre = 0;  // the burst passed its check with the station's own call sign
    auto cherche = [&](uint8_t& accepte, std::string& bits, uint8_t& verifie) {
      DETECTION_DP_STATION(indicatif, drapeau, accepte, bits, verifie, soft);
      propre = accepte == 1 && verifie == 1 ? 1 : 0;
      if (!tentative_reunion || propre == 1 || EPOQUE_RECEPTION != epoque) return;
      int erreurs = 0;
      uint8_t accepte_maitre = 0, verifie_maitre = 0;
      std::string bits_maitre;
      DETECTION_TRAME_DP(FENETRE_DP, INDICATIF_MAITRE, 1, erreurs, bits_maitre, verifie_maitre, accepte_maitre);
      if (accepte_maitre == 1 && verifie_maitre == 1) {
        accepte = 1;
        verifie = 1;
        bits = bits_maitre;
      } else {
        accepte = 0;
      }
    };
    // Search for a DP burst.
    if (DP_TROUVE == 0) {
      uint8_t accepte = 0, verifie = 0;
      std::string bits;
      cherche(accepte, bits, verifie);
      if (accepte == 1) {
        DP_TROUVE = 1;
        DP_RECU[0] = bits;
        DP_VERIFIE = verifie;
        REPONSE_A_LA_TENTATIVE = propre;
        // A Master, and a user in session, keep only the words that pass their check.
        if (verifie == 0 && (STATION_MAITRE == 1 || SESSION_EN_COURS == 1)) {
          DP_TROUVE = 0;
        } else {
          ctx->BLOC_COMPLET = 0;
          ctx->BLOC_EN_RECEPTION_2 = 0;
        }
      }
      return;
    }
    // A burst was accepted at the previous bit: the capture starts, and the burst may be found again here.
    CAPTURE_BLOC = 1;
    DP_TROUVE = 0;
    uint8_t accepte = 0, verifie = 0;
    std::string bits2;
    cherche(accepte, bits2, verifie);
    if (EPOQUE_RECEPTION != epoque) return;
    if (accepte == 1 && verifie == 0 && STATION_MAITRE == 1) accepte = 0;
    // Nor does a burst that passed its check word give way to one found a bit later on the vote alone: that
    // one is the same burst read one bit off, and its fields (the slot, the length) would be wrong.
    if (accepte == 1 && verifie == 0 && DP_VERIFIE == 1) accepte = 0;
    DP_RETROUVE = accepte;
    std::string bits;
    if (DP_RETROUVE == 1) {
      bits = bits2;
      DP_VERIFIE = verifie;
      REPONSE_A_LA_TENTATIVE = propre;
    } else {
      bits = DP_RECU[0];
    }
    // A meeting word carries the slot it concerns.
    if (reunion()) NUMERO_S_DANS_DP(bits);
    // The outcome of a connection attempt.
    if (TENTATIVE_EN_COURS == 1 && (!reunion() || NUMERO_S_DP == NUMERO_SLOT)) {
      if (!reunion()) TENTATIVE_EN_COURS = 0;
      if (!reunion() && DP_VERIFIE == 1) {
        ETAT(T("Connected", "Connect\xE9"));
        INFO(T("Connected", "Connect\xE9"));
        SESSION_EN_COURS = 1;
        T_RECEPTION_MAITRE = horodate();
        hote_.Redonne_focus_editeur();
      } else if (DP_VERIFIE == 0) {
        INFO(T("Connection failure", "Echec de la connexion"));
        SESSION_EN_COURS = 0;
        TENTATIVE_EN_COURS = 0;
        DECONNEXION();
        hote_.Redonne_focus_editeur();
        return;
      }
    }
    // The DP word is interpreted.
    uint8_t sans_bloc = 0;
    if (!reunion()) {
      TRAITEMENT_TRAME_DP_LIEN(bits, sans_bloc);
    } else {
      uint8_t s = NUMERO_S_DP;
      TRAITEMENT_TRAME_DP(s, bits, sans_bloc);
    }
    if (EPOQUE_RECEPTION != epoque) return;
    // The user has answered.
    if (!reunion() && STATION_MAITRE == 1 && SESSION_EN_COURS == 1) {
      REPETITION_DEMANDEE = 0;
      NB_REPETITIONS_MAITRE = 0;
    }
    // No block follows.
    if (sans_bloc == 1) {
      DP_RETROUVE = 0;
      CAPTURE_BLOC = 0;
      FIN_TRAME_RECUE(reunion() ? NUMERO_S_DP : 0);
      if (EPOQUE_RECEPTION != epoque) return;
      if (!reunion() && STATION_MAITRE == 0 && SESSION_EN_COURS == 1) {
        REPONSE_DUE_UTILISATEUR = 1;
        ATTENTE_FENETRE = 0;
        T_TRAME_MAITRE = 0;
      }
      if (ECOUTE_HORS_SESSION == 1) RAZ_DETECTION_DP();
      return;
    }
    // A block follows.
    LONGUEUR_BLOC_ATTENDU(0);
    ctx->BITS_BLOC.clear();
    ctx->BITS_RECUS_BLOC = 0;
    BLOC_EN_RECEPTION = 1;
    if (DP_RETROUVE == 1) {
      DP_RETROUVE = 0;
      return;
    }
    DP_RETROUVE = 0;
  }
  // The block that follows the burst.
  ECOUTE_HORS_SESSION = (STATION_MAITRE == 0 && SESSION_EN_COURS == 0) ? 1 : 0;
  if (ctx->BLOC_EN_RECEPTION_2 == 0) RECEPTION_BLOC_RS(RECEPTION_TERMINEE, soft);
}

void Autex::RECEPTION_BIT_MAITRE(float soft) {
  const uint32_t epoque = EPOQUE_RECEPTION;
  if (S_COURANT < 1 || S_COURANT > NOMBRE_UTILISATEURS || S_COURANT >= NOMBRE_SLOTS) S_COURANT = 1;
  const size_t s = S_COURANT;
  if (CAPTURE_BLOC_SLOT[s] == 0) {
    // Search in the current slot's window, addressed with the own call sign.
    if (DP_TROUVE_SLOT[s] == 0) {
      uint8_t accepte = 0, verifie = 0;
      std::string bits;
      DETECTION_DP_SLOT(int(s), INDICATIF_PROPRE, 1, bits, verifie, accepte, soft);
      if (accepte == 1 && verifie == 0) accepte = 0;
      DP_TROUVE_SLOT[s] = accepte;
      if (accepte == 1) {
        DP_RECU[s] = bits;
        DP_VERIFIE = verifie;
        CONTEXTES[s].BLOC_COMPLET = 0;
        CONTEXTES[s].BLOC_EN_RECEPTION_2 = 0;
      }
      return;
    }
    // A burst was accepted at the previous bit: the capture starts, and the burst may be found again here.
    CAPTURE_BLOC_SLOT[s] = 1;
    DP_TROUVE_SLOT[s] = 0;
    uint8_t accepte = 0, verifie = 0;
    std::string bits2;
    DETECTION_DP_SLOT(int(s), INDICATIF_PROPRE, 1, bits2, verifie, accepte, soft);
    if (accepte == 1 && verifie == 0) accepte = 0;
    DP_RETROUVE_SLOT[s] = accepte;
    const std::string bits = accepte == 1 ? bits2 : DP_RECU[s];
    // The slot the DP concerns: in a meeting of 4 its selector says it; in a meeting of 7 or 13 the word has
    // none, and the slot is the one whose answer window it was sent in, counted from the end of the Master's
    // frame on the air. A user answers once a cycle: a second word placed in the same slot in one cycle cannot
    // be told apart from its neighbour's and is dropped.
    const int32_t instant = static_cast<int32_t>(maintenant() - T_FIN_AIR);
    uint8_t t = uint8_t(s);
    bool doublon = false;
    if (NOMBRE_PARTICIPANTS != 4) {
      t = SLOT_PAR_INSTANT(instant);
      doublon = t == 0 || ENTENDU_SLOT[t] == 1;
    }
    uint8_t sans_bloc = 0;
    if (!doublon) TRAITEMENT_TRAME_DP(t, bits, sans_bloc);
    if (EPOQUE_RECEPTION != epoque) return;
    if (doublon || t == 0 || t > NOMBRE_UTILISATEURS || t >= NOMBRE_SLOTS) {
      DP_RETROUVE_SLOT[s] = 0;
      CAPTURE_BLOC_SLOT[s] = 0;
      return;
    }
    ENTENDU_SLOT[t] = 1;
    INSTANT_SLOT[t] = instant;
    // The detection state moves to slot t.
    if (t != s) {
      DP_RETROUVE_SLOT[t] = DP_RETROUVE_SLOT[s];
      CAPTURE_BLOC_SLOT[t] = 1;
      FENETRE_DP_SLOT[t] = FENETRE_DP_SLOT[s];
      DP_RETROUVE_SLOT[s] = 0;
      CAPTURE_BLOC_SLOT[s] = 0;
    }
    S_COURANT = t;
    // No block follows: the frame of slot t ends here.
    if (sans_bloc == 1) {
      DP_RETROUVE_SLOT[t] = 0;
      CAPTURE_BLOC_SLOT[t] = 0;
      FIN_TRAME_RECUE(t);
      return;
    }
    // A block follows: its capture starts.
    LONGUEUR_BLOC_ATTENDU(t);
    CONTEXTES[t].BITS_BLOC.clear();
    CONTEXTES[t].BITS_RECUS_BLOC = 0;
    if (BLOC_EN_RECEPTION < 255) ++BLOC_EN_RECEPTION;
    if (DP_RETROUVE_SLOT[t] == 1) {
      DP_RETROUVE_SLOT[t] = 0;
      return;
    }
    DP_RETROUVE_SLOT[t] = 0;
  }
  // The block of the current slot.
  const size_t c = S_COURANT;
  if (CAPTURE_BLOC_SLOT[c] == 1) {
    ECOUTE_HORS_SESSION = 0;
    if (CONTEXTES[c].BLOC_EN_RECEPTION_2 == 0) {
      uint8_t termine = 0;
      RECEPTION_BLOC_RS_SLOT(int(c), termine, soft);
    }
  }
}

// ---------------------------------------------------------------------------------------------------------
// Block capture
// ---------------------------------------------------------------------------------------------------------

void Autex::RECEPTION_BLOC_RS(uint8_t& termine, float soft) {
  const uint32_t epoque = EPOQUE_RECEPTION;
  ContexteBloc& c = *ctx;
  BLOC_DECODE = 0;
  termine = 0;
  const int R = FACTEUR_REPETITION(VITESSE_VALIDE(Vitesse_AUTEX) ? Vitesse_AUTEX : 1200);
  const int N = std::min<int>(c.BITS_PAR_BLOC, BITS_BLOC_MAX);
  if (N <= 0) return;
  const int total = R * N;
  if (c.BLOC_COMPLET == 0) {
    if (c.BITS_RECUS_BLOC <= total) ++c.BITS_RECUS_BLOC;  // values beyond the block are dropped
    const int k = c.BITS_RECUS_BLOC;
    if (k <= total) {
      if (R == 1) {
        c.VALEURS_BLOC[size_t(k - 1)] = soft;
        c.BITS_BLOC.push_back(soft >= 0.0f ? '1' : '0');
      } else {
        c.ECHANTILLONS_BLOC[size_t(k - 1)] = soft;
      }
    }
    if (k == total) {
      c.BLOC_COMPLET = 1;
      if (R > 1) {
        c.BITS_BLOC.clear();
        for (int i = 0; i < N; ++i) {
          float somme = 0.0f;
          for (int j = 0; j < R; ++j) somme += c.ECHANTILLONS_BLOC[size_t(i + j * N)];
          c.VALEURS_BLOC[size_t(i)] = somme > 0.0f ? 1.0f : -1.0f;
          c.BITS_BLOC.push_back(somme > 0.0f ? '1' : '0');
        }
      }
    }
  }
  if (c.BLOC_COMPLET != 1) return;

  // Decoding and handling.
  c.BLOC_EN_RECEPTION_2 = 1;
  const bool maitre_reunion = reunion() && STATION_MAITRE == 1;
  if (reunion()) c.BITS_BLOC_BRUTS = c.BITS_BLOC;
  std::string bits = c.BITS_BLOC;
  XOR_BINAIRE(MASQUE_BLANCHIMENT, bits);
  uint8_t ok = 0;
  DECODAGE_BLOC_RS(bits, ok);
  if (ok == 1) {
    TRAITEMENT_BLOC_RS();
    if (EPOQUE_RECEPTION != epoque) return;
    BLOC_DECODE = 1;
    c.NB_ECHECS = 0;
  } else {
    const bool session = maitre_reunion ? CONNECTE_SLOT[SLOT_TRAITE] == 1 : SESSION_EN_COURS == 1;
    if (session) {
      if (c.NB_ECHECS < 3) ++c.NB_ECHECS;
      if (c.NB_ECHECS == 1) {
        c.LONGUEUR_ECHEC = uint16_t(N);
        c.VALEURS_ECHEC[0] = c.VALEURS_BLOC;
        c.BITS_ECHEC[0] = bits;
      } else if (c.LONGUEUR_ECHEC == N) {
        const size_t r = size_t(c.NB_ECHECS - 1);
        c.VALEURS_ECHEC[r] = c.VALEURS_BLOC;
        c.BITS_ECHEC[r] = bits;
        for (int i = 0; i < N; ++i) {
          float somme = c.VALEURS_ECHEC[0][size_t(i)] + c.VALEURS_ECHEC[1][size_t(i)];
          if (c.NB_ECHECS == 3) somme += c.VALEURS_ECHEC[2][size_t(i)];
          c.SOMME_ECHEC[size_t(i)] = somme;
        }
        uint8_t decode = 0;
        DECODAGE_BLOC_COMBINE(decode);
        if (EPOQUE_RECEPTION != epoque) return;
        if (decode == 1) BLOC_DECODE = 1;
      } else {
        c.NB_ECHECS = 0;
      }
      if (c.NB_ECHECS == 3) c.NB_ECHECS = 2;
    }
  }
  // Block done: a listener searches again, a meeting user waits for the cycle's last slot.
  c.BLOC_COMPLET = 0;
  if (ECOUTE_HORS_SESSION == 1) {
    RAZ_DETECTION_DP();
  } else if (reunion() && STATION_MAITRE == 0) {
    if (NUMERO_S_DP == NOMBRE_UTILISATEURS)
      termine = 1;
    else
      CAPTURE_BLOC = 0;
  } else {
    termine = 1;
  }
  // The frame is over.
  BLOC_TERMINE = 1;
  FIN_TRAME_RECUE(!reunion() ? 0 : (maitre_reunion ? SLOT_TRAITE : NUMERO_S_DP));
  if (EPOQUE_RECEPTION != epoque) return;
  c.BLOC_EN_RECEPTION_2 = 0;
  if (BLOC_EN_RECEPTION > 0) --BLOC_EN_RECEPTION;
}

void Autex::RECEPTION_BLOC_RS_SLOT(int slot, uint8_t& termine, float soft) {
  const uint32_t epoque = EPOQUE_RECEPTION;
  SLOT_TRAITE = uint8_t(slot);
  NUMERO_S_DP = uint8_t(slot);
  ctx = &CONTEXTES[size_t(slot)];
  BLOC_TERMINE = 0;
  RECEPTION_BLOC_RS(termine, soft);
  if (EPOQUE_RECEPTION != epoque) return;
  if (BLOC_TERMINE == 1) {
    if (BLOC_DECODE == 1) {
      if (CONNECTE_SLOT[size_t(slot)] == 1) STOCKE_RELAIS(slot);
    } else {
      TRAME_EN_ATTENTE[size_t(slot)] = 0;
    }
    // The Master goes back to searching: the other users answer in the same cycle.
    CAPTURE_BLOC_SLOT[size_t(slot)] = 0;
  }
  ctx = &CONTEXTES[0];
  BLOC_TERMINE = 0;
}

void Autex::FIN_TRAME_RECUE(int slot) {
  const size_t s = size_t(slot < NOMBRE_SLOTS ? slot : 0);
  if (!reunion() && STATION_MAITRE == 1) {
    if (SESSION_EN_COURS == 1) REPONSE_DUE_MAITRE = 1;
  } else if (reunion() && STATION_MAITRE == 1) {
    if (CONNECTE_SLOT[s] == 1) {
      REPONDU_SLOT[s] = 1;
      BILAN_CONNEXIONS();
    }
  } else if (SESSION_EN_COURS == 1 && (!reunion() || slot == NOMBRE_UTILISATEURS)) {
    REPONSE_DUE_UTILISATEUR = 1;
    if (reunion()) T_TRAME_UTILISATEUR = horodate();
    ATTENTE_FENETRE = 0;
    T_TRAME_MAITRE = 0;
  } else if (reunion() && STATION_MAITRE == 0 && SESSION_EN_COURS == 0 && TENTATIVE_EN_COURS == 0 &&
             slot == NOMBRE_UTILISATEURS) {
    // A user out of the meeting: the end of the Master's word for the last slot, whatever that word is (an
    // offer, a connected user's word), is the end of the Master's frame, the origin of the attempt windows.
    // The origin is not estimated from the offer of an earlier slot (the time left of the Master's frame after
    // a slot's offer less the offer's length): that estimate holds at 1200 bauds only, and at 400 or 171 it
    // put the attempt on the air while the Master was still transmitting and could not hear it; in a meeting
    // of 7 or 13, where the Master tells its users apart by when their frames arrive, an attempt placed by an
    // estimate could also land in a connected user's window.
    T_TRAME_REUNION = horodate();
  }
}

}  // namespace autex
