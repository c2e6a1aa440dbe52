#include "autex/trames_autex.h"

#include <stdexcept>

#include "autex/mathematiques.h"

namespace autex {

namespace {

char bit(char c) { return c == '1' ? '1' : '0'; }

std::string normaliser(std::string_view bits) {
  std::string s(bits);
  for (char& c : s) c = bit(c);
  return s;
}

[[noreturn]] void refuser(const char* message) { throw std::invalid_argument(message); }

void verifierVitesse(int vitesse) {
  if (!VITESSE_VALIDE(vitesse)) refuser("AUTEX speed must be 1200, 400 or 171");
}

// Users of a meeting (N) and the width of the slot number, by participant count.
int utilisateurs(int participants) {
  switch (participants) {
    case 4: return 3;
    case 7: return 6;
    case 13: return 12;
    default: refuser("meeting size must be 4, 7 or 13");
  }
}

int bitsSlot(int participants) { return participants == 4 ? 2 : (participants == 7 ? 3 : 4); }

void verifierF5(std::string_view F5) {
  if (F5.size() != 5) refuser("F5 must be 5 bits");
}

}  // namespace

// ---- Speeds ----

bool VITESSE_VALIDE(int vitesse) { return vitesse == 1200 || vitesse == 400 || vitesse == 171; }

std::string_view MOT_VITESSE(int vitesse) {
  verifierVitesse(vitesse);
  if (vitesse == 400) return "011011100111";
  if (vitesse == 171) return "110110011011";
  return "101101001110";
}

int FACTEUR_REPETITION(int vitesse) {
  verifierVitesse(vitesse);
  return vitesse == 1200 ? 1 : (vitesse == 400 ? 3 : 7);
}

// ---- Check words ----

std::string SIGNATURE_0011(size_t longueur) {
  std::string s(longueur, '0');
  for (size_t i = 0; i < longueur; ++i) s[i] = (i % 4 < 2) ? '0' : '1';
  return s;
}

std::string CONTROLE_POLYNOME(std::string_view indicatif) {
  const std::string bits = TEXTE_VERS_BINAIRE(indicatif);
  return DIVISION_BINAIRE(POLYNOME_CRC21, DEGRE_CRC21, static_cast<int>(bits.size()) + DEGRE_CRC21, bits);
}

std::string BITS_BCH(std::string_view mot21) {
  if (mot21.size() != 21) refuser("the BCH(31,21) word must be 21 bits");
  return DIVISION_BINAIRE(POLYNOME_BCH, DEGRE_BCH, LONGUEUR_BCH, normaliser(mot21));
}

// ---- DP words ----

std::string CHAMP_F5(char BM, uint8_t L, size_t longueur_texte) {
  if (bit(BM) == '0' && L >= 1 && L <= 3) return ENTIER_VERS_BINAIRE(L - 1, 5);
  const size_t n = (longueur_texte == 0 || longueur_texte > 32) ? 31 : longueur_texte - 1;
  return ENTIER_VERS_BINAIRE(static_cast<int32_t>(n), 5);
}

std::string MOT_DP_LIEN(bool maitre, char BA, char BE, char BM, std::string_view F5) {
  verifierF5(F5);
  std::string w;
  w += '0';
  w += maitre ? '0' : '1';
  w += bit(BA);
  w += bit(BE);
  w += bit(BM);
  w += normaliser(F5);
  return w;
}

std::string MOT_DP_UTILISATEUR(int participants, int slot, std::string_view B, char BE, char BM,
                               std::string_view F5) {
  const int n = utilisateurs(participants);
  if (slot < 1 || slot > n) refuser("a meeting user's slot must be 1..N");
  if (B.size() < size_t(n) + 1) refuser("B must hold B0..BN");
  verifierF5(F5);
  std::string b = normaliser(B.substr(0, size_t(n) + 1));
  b[size_t(slot)] = bit(BE);  // the own slot's position carries BE
  std::string w;
  if (participants == 4) {
    w = ENTIER_VERS_BINAIRE(slot, 2) + b;
  } else {
    w = b;
    w += bit(BE);
  }
  w += bit(BM);
  w += normaliser(F5);
  return w;
}

std::string MOT_DP_MAITRE(int participants, int slot, uint8_t D, char BA, char BN, char BP, char BE, char BM,
                          std::string_view F5) {
  const int n = utilisateurs(participants);
  if (slot < 0 || slot > n) refuser("a Master's slot must be 0..N");
  if (D > 15) refuser("the answer value D has 4 bits");
  verifierF5(F5);
  std::string w = ENTIER_VERS_BINAIRE(D, 4);
  if (slot == 0) {
    w += participants == 7 ? "000" : "00";
    w += bit(BN);
  } else {
    if (participants == 7) w += '0';
    w += bit(BA);
    w += bit(BN);
    w += bit(BP);
  }
  w += ENTIER_VERS_BINAIRE(slot, static_cast<uint8_t>(bitsSlot(participants)));
  w += bit(BE);
  w += bit(BM);
  w += normaliser(F5);
  return w;
}

int LONGUEUR_MOT_DP_EMIS(int participants, bool maitre) {
  if (participants == 2) return 10;
  utilisateurs(participants);
  if (maitre) return participants == 4 ? 16 : 18;
  return participants == 4 ? 12 : (participants == 7 ? 14 : 20);
}

std::string_view INDICATIF_SALVE_DP(int participants, bool maitre, int slot, bool maitre_appelle,
                                    bool premiere_trame_slot, std::string_view indicatif_propre,
                                    std::string_view indicatif_maitre, std::string_view indicatif_correspondant) {
  if (!maitre) return indicatif_maitre;
  if (participants == 2) return maitre_appelle ? std::string_view() : indicatif_correspondant;
  if (slot == 0) return indicatif_propre;
  return premiere_trame_slot ? indicatif_correspondant : indicatif_propre;
}

std::string SALVE_DP(std::string_view mot_dp, std::string_view crc21, int vitesse) {
  const std::string_view vit = MOT_VITESSE(vitesse);
  if (mot_dp.empty() || mot_dp.size() > 21) refuser("a DP word has 1 to 21 bits");
  if (!crc21.empty() && crc21.size() != 21) refuser("the address is a 21-bit CRC or nothing");
  const std::string w = normaliser(mot_dp);
  std::string w21 = std::string(21 - w.size(), '0') + w;
  XOR_BINAIRE(normaliser(crc21), w21);
  // The significant bits as they were before padding and addressing, then the check bits of the padded and
  // addressed word.
  std::string t = w + DIVISION_BINAIRE(POLYNOME_BCH, DEGRE_BCH, LONGUEUR_BCH, w21);
  XOR_BINAIRE(SIGNATURE_0011(t.size()), t);
  std::string x = std::string(vit) + t;
  std::string inverse = x;
  INVERSER_BINAIRE(inverse);
  return x + x + inverse;
}

// ---- RS blocks ----

std::string ENTETE_RS(char KD1, char KD2, char KD3) {
  std::string h;
  h += bit(KD1);
  h += bit(KD2);
  h += bit(KD3);
  h += "0000000";
  return h;
}

std::string CODE_6_BITS(char c) {
  const int v = static_cast<unsigned char>(c);
  return ENTIER_VERS_BINAIRE((v >= 32 && v <= 95) ? v - 32 : 0, 6);
}

char CARACTERE_6_BITS(int valeur) { return static_cast<char>((valeur & 63) + 32); }

std::string MOT_CANAL_SECONDAIRE(int index, char c1, char c2) {
  if (index < 0 || index > 15) refuser("the secondary-channel index has 4 bits");
  return ENTIER_VERS_BINAIRE(index, 4) + CODE_6_BITS(c1) + CODE_6_BITS(c2);
}

std::string MOT_ETAT_SLOTS(std::string_view kd1) {
  if (kd1.size() > 16) refuser("at most 16 toggle bits");
  std::string w = normaliser(kd1);
  w.resize(16, '0');
  return w;
}

std::string CANAL_RELAYE(std::string_view bloc_desblanchi) {
  if (bloc_desblanchi.size() < size_t(BITS_BLOC_VIDE)) return std::string(CANAL_RELAIS_ABSENT);
  return normaliser(bloc_desblanchi.substr(bloc_desblanchi.size() - BITS_BLOC_VIDE, 16));
}

void BLANCHIR(std::string& bloc) {
  if (bloc.size() > size_t(LONGUEUR_MASQUE_BLANCHIMENT)) refuser("a block has at most 378 bits");
  XOR_BINAIRE(MASQUE_BLANCHIMENT, bloc);
}

std::string BLOC_RS(std::string_view entete, std::string_view texte, std::string_view canal, int vitesse) {
  const int copies = FACTEUR_REPETITION(vitesse);
  if (entete.size() != 0 && entete.size() != 10) refuser("the block header has 10 bits");
  if (entete.empty() && !texte.empty()) refuser("a text needs a header");
  if (texte.size() > size_t(TEXTE_MAX_BLOC)) refuser("a block carries at most 32 text bytes");
  if (canal.size() != 16) refuser("the secondary channel has 16 bits");
  std::string b = normaliser(entete) + TEXTE_VERS_BINAIRE(texte) + normaliser(canal);
  // The coder sees B padded to 282 bits, cut into 47 symbols of 6 bits.
  std::string complet = b;
  complet.resize(BITS_DONNEES_BLOC, '0');
  Tableau_symboles symboles{};
  Binaire_vers_tableau(complet, RS_M, symboles);
  Donnees_RS donnees;
  for (int i = 0; i < RS_K; ++i) donnees[i] = static_cast<uint8_t>(symboles[i]);
  REED_SOLOMON_AUTEX_RX_TX rs;
  const Mot_RS mot = rs.RS_ENCODER(donnees);
  Tableau_symboles parite{};
  for (int i = 0; i < RS_PARITE; ++i) parite[i] = mot[i];
  std::string bloc = b + Tableau_vers_binaire(parite, RS_PARITE, RS_M);
  BLANCHIR(bloc);
  std::string envoi;
  envoi.reserve(bloc.size() * copies);
  for (int k = 0; k < copies; ++k) envoi += bloc;
  return envoi;
}

bool CORRIGER_BLOC_RS(REED_SOLOMON_AUTEX_RX_TX& rs, std::string_view bloc, std::string& donnees,
                      int* corrections) {
  if (bloc.size() < size_t(BITS_BLOC_VIDE) || bloc.size() > size_t(BITS_DONNEES_BLOC + BITS_PARITE_BLOC))
    return false;
  const size_t nDonnees = bloc.size() - BITS_PARITE_BLOC;
  auto symbole = [](std::string_view s, size_t debut) {
    uint8_t v = 0;
    for (size_t k = 0; k < size_t(RS_M); ++k) v = static_cast<uint8_t>((v << 1) | (s[debut + k] == '1'));
    return v;
  };
  Mot_RS recu{};
  const std::string_view paritesBits = bloc.substr(nDonnees);
  for (int i = 0; i < RS_PARITE; ++i) recu[i] = symbole(paritesBits, size_t(i) * RS_M);
  std::string complet(bloc.substr(0, nDonnees));
  complet.resize(BITS_DONNEES_BLOC, '0');
  for (int i = 0; i < RS_K; ++i) recu[RS_PARITE + i] = symbole(complet, size_t(i) * RS_M);
  Mot_RS corrige;
  const int n = rs.RS_DECODER(recu, corrige);
  if (n < 0) return false;
  std::string sortie(BITS_DONNEES_BLOC, '0');
  for (int i = 0; i < RS_K; ++i) {
    const uint8_t v = corrige[RS_PARITE + i];
    for (int k = 0; k < RS_M; ++k) sortie[size_t(i) * RS_M + k] = ((v >> (RS_M - 1 - k)) & 1) ? '1' : '0';
  }
  // The padding was never sent: a correction that changed it corrected into the wrong code word.
  if (sortie.find('1', nDonnees) != std::string::npos) return false;
  donnees = std::move(sortie);
  if (corrections) *corrections = n;
  return true;
}

// ---- Framing ----

std::string ENCADRER_TRAME(std::string_view bits, int vitesse) {
  const int apres = FACTEUR_REPETITION(vitesse);
  std::string b = normaliser(bits);
  if (b.size() % 8 != 0) b.resize(b.size() + (8 - b.size() % 8), '0');
  const std::string octets = Binaire_vers_texte(b);
  std::string trame;
  trame.reserve(octets.size() + 1 + size_t(apres));
  trame.push_back('U');
  trame += octets;
  trame.append(size_t(apres), 'U');
  return trame;
}

}  // namespace autex
