#pragma once
// Takes one queued AUTEX transmission (the framed bytes of the send queue) apart, field by field, with the
// coding layer's own checks and decoder: the 'U' framing, each DP burst (its three copies, speed word,
// signature, address and BCH check bits) and each RS block (its copies, whitening, RS(63,47) correction,
// header, text and secondary bits). Independent of the transmit side: it only knows the air format.
#include <functional>
#include <string>
#include <vector>

#include "autex/mathematiques.h"
#include "autex/reed_solomon_autex_rx_tx.h"
#include "autex/trames_autex.h"
#include "autex/varicode_autex.h"

namespace autexsim {

struct DPAnalyse {
  std::string mot;          // the significant bits
  bool copies_ok = false;   // copy 2 equals copy 1, copy 3 is copy 1 inverted
  bool vitesse_ok = false;  // the speed word of the expected speed
  bool bch_ok = false;      // check bits right for the expected address
};

struct BlocAnalyse {
  bool present = false;
  int bits = 0;                 // one copy
  bool copies_identiques = false;
  bool decode = false;
  int corrections = -1;
  std::string entete;           // 10 bits, empty for an empty block
  std::string texte;            // the text bytes (packed when KD3 is '1')
  std::string texte_clair;      // the text, unpacked when KD3 is '1'
  std::string canal;            // 16 bits
};

struct SectionAnalyse {
  DPAnalyse dp;
  BlocAnalyse bloc;
};

struct TransmissionAnalyse {
  bool cadre_ok = false;        // one 'U' before, 1/3/7 after
  bool separateurs_ok = true;   // the Master's 20-bit separators before each slot word
  bool bourrage_ok = false;     // only '0' bits pad to the byte
  std::vector<SectionAnalyse> sections;  // [0] the own frame, then the Master's slots 1..N
  std::string erreur;
};

// Field helpers of a DP word.
inline char BIT_DP(const std::string& mot, size_t position) {
  return position >= 1 && position <= mot.size() ? mot[position - 1] : '?';
}
inline int ENTIER_DP(const std::string& mot, size_t premier, size_t longueur) {
  if (premier < 1 || premier - 1 + longueur > mot.size()) return -1;
  return autex::Binaire_vers_entier(std::string_view(mot).substr(premier - 1, longueur));
}

// `indicatif(slot)` gives the call sign whose CRC-21 is expected in the DP of that section (empty: none).
inline TransmissionAnalyse ANALYSE_TRANSMISSION(const std::string& trame, int vitesse, int participants, bool maitre,
                                                const std::function<std::string(int)>& indicatif) {
  using namespace autex;
  TransmissionAnalyse r;
  const int R = FACTEUR_REPETITION(vitesse);
  if (trame.size() < size_t(2 + R) || trame.front() != 'U') {
    r.erreur = "frame too short or no leading U";
    return r;
  }
  r.cadre_ok = trame.compare(trame.size() - size_t(R), size_t(R), std::string(size_t(R), 'U')) == 0;
  const std::string bits = TEXTE_VERS_BINAIRE(std::string_view(trame).substr(1, trame.size() - 1 - size_t(R)));
  const bool reunion = participants >= 4;
  const int N = participants - 1;
  const int n = LONGUEUR_MOT_DP_EMIS(participants, maitre);
  const size_t L = size_t(22 + n);
  size_t p = 0;
  const int sections = reunion && maitre ? N + 1 : 1;
  REED_SOLOMON_AUTEX_RX_TX rs;
  for (int s = 0; s < sections; ++s) {
    if (s > 0) {
      if (bits.compare(p, SEPARATEUR_SLOT_MAITRE.size(), SEPARATEUR_SLOT_MAITRE) != 0) r.separateurs_ok = false;
      p += SEPARATEUR_SLOT_MAITRE.size();
    }
    SectionAnalyse sec;
    if (p + 3 * L > bits.size()) {
      r.erreur = "DP burst cut";
      return r;
    }
    const std::string c1 = bits.substr(p, L), c2 = bits.substr(p + L, L);
    std::string c3 = bits.substr(p + 2 * L, L);
    p += 3 * L;
    INVERSER_BINAIRE(c3);
    sec.dp.copies_ok = c1 == c2 && c1 == c3;
    sec.dp.vitesse_ok = c1.compare(0, 12, MOT_VITESSE(vitesse)) == 0;
    std::string t = c1.substr(12);
    XOR_BINAIRE(SIGNATURE_0011(t.size()), t);
    sec.dp.mot = t.substr(0, size_t(n));
    std::string w21 = std::string(size_t(21 - n), '0') + sec.dp.mot;
    const std::string ind = indicatif(s);
    if (!ind.empty()) XOR_BINAIRE(CONTROLE_POLYNOME(ind), w21);
    sec.dp.bch_ok = BITS_BCH(w21) == t.substr(size_t(n));
    // The block behind the DP: BM, and the length field (last five bits).
    const std::string& m = sec.dp.mot;
    const char BM = m[m.size() - 6];
    const int F5 = ENTIER_DP(m, m.size() - 4, 5);
    int taille = 0;
    if (BM == '1') {
      taille = 122 + 8 * (F5 + 1);
    } else if (F5 == 2) {
      taille = BITS_BLOC_VIDE;
    } else if (F5 == 0 || F5 == 1) {
      taille = (reunion && !maitre) ? 122 : 0;
    } else {
      taille = 122 + 8 * (F5 + 1);
    }
    if (taille > 0) {
      BlocAnalyse& b = sec.bloc;
      b.present = true;
      b.bits = taille;
      if (p + size_t(taille) * size_t(R) > bits.size()) {
        r.erreur = "block cut";
        r.sections.push_back(sec);
        return r;
      }
      const std::string premier = bits.substr(p, size_t(taille));
      b.copies_identiques = true;
      for (int k = 1; k < R; ++k)
        if (bits.compare(p + size_t(k) * size_t(taille), size_t(taille), premier) != 0) b.copies_identiques = false;
      p += size_t(taille) * size_t(R);
      std::string clair = premier;
      BLANCHIR(clair);
      std::string donnees;
      int corrections = -1;
      b.decode = CORRIGER_BLOC_RS(rs, clair, donnees, &corrections);
      b.corrections = corrections;
      if (b.decode) {
        size_t q = 0;
        if (taille != BITS_BLOC_VIDE) {
          b.entete = donnees.substr(0, 10);
          const size_t nt = size_t(taille - 122) / 8;
          b.texte = Binaire_vers_texte(donnees.substr(10, nt * 8));
          q = 10 + nt * 8;
          if (b.entete[2] == '1')
            DECODAGE_VARICODE(donnees.substr(10, nt * 8), b.texte_clair);
          else
            b.texte_clair = b.texte;
        }
        b.canal = donnees.substr(q, 16);
      }
    }
    r.sections.push_back(sec);
  }
  r.bourrage_ok = bits.size() - p < 8 && bits.find('1', p) == std::string::npos;
  if (bits.size() - p >= 8) r.erreur = "bits left after the last section";
  return r;
}

}  // namespace autexsim
