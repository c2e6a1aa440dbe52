// The receive path fed directly with chosen bytes: the DP burst tests, the combination of failed receptions,
// and a reception that ends the session in the middle of a transmission.
#include <gtest/gtest.h>

#include "tests/autex_sim/outils_test.h"

using namespace autexsim;
using enum autex::NomElement;

namespace {

// Hands bytes to a station as its port would and runs one supervisor tick.
void RECOIT(Station& s, const std::string& octets) {
  s.io->boucle.Tampon_reception += octets;
  s.autex.SUPERVISION_AUTEX();
}

// A frame of a link Master in session with F2BBB carrying a text.
std::string TRAME_MAITRE(Station& m, const std::string& texte) {
  auto& a = m.autex;
  a.STATION_MAITRE = 1;
  a.SESSION_EN_COURS = 1;
  a.INDICATIFS_CORRESPONDANTS[0] = "F2BBB";
  a.NOUVEAU_TEXTE = 1;
  a.TEXTE_A_EMETTRE = texte;
  a.TEXTE_EN_ATTENTE = 1;
  a.EMISSION_REPONSE(1);
  a.FIN_EMISSION_AUTEX();
  return m.trames.back();
}

// Inverts bits [debut, fin) of every copy of the block of a link frame (the block starts after the 96 DP bits).
std::string ABIME_BLOC(const std::string& trame, int vitesse, int bits_bloc, int debut, int fin) {
  std::string bits = autex::TEXTE_VERS_BINAIRE(std::string_view(trame).substr(1));
  for (int k = 0; k < autex::FACTEUR_REPETITION(vitesse); ++k)
    for (int i = debut; i < fin; ++i) {
      char& b = bits[size_t(96 + k * bits_bloc + i)];
      b = b == '1' ? '0' : '1';
    }
  return "U" + autex::Binaire_vers_texte(bits);
}

}  // namespace

TEST(Reception, ThreeDamagedReceptionsFailAloneAndDecodeCombined) {
  for (const int v : {1200, 400}) {
    SCOPED_TRACE(v);
    Simulation sim(30);
    auto& m = sim.ajoute_station("F1AAA", uint16_t(v));
    const std::string texte = "combined decoding of three";
    const std::string trame = TRAME_MAITRE(m, texte);
    const auto r = ANALYSE_TRANSMISSION(trame, v, 2, true, [](int) { return std::string("F2BBB"); });
    const int n = r.sections[0].bloc.bits;
    ASSERT_GE(n, 180);
    // Three disjoint bursts of 60 bits: ten symbols or more each, beyond what one reception corrects.
    const std::string abimes[3] = {ABIME_BLOC(trame, v, n, 0, 60), ABIME_BLOC(trame, v, n, 60, 120),
                                   ABIME_BLOC(trame, v, n, 120, 180)};
    for (int k = 0; k < 3; ++k) {
      auto& seul = sim.ajoute_station("F2BBB", uint16_t(v));
      seul.module.hors_antenne = true;
      UTILISATEUR_EN_SESSION(sim, seul);
      RECOIT(seul, abimes[k]);
      EXPECT_EQ(seul.texte_fenetre(0), "") << k;
      EXPECT_EQ(seul.autex.CONTEXTES[0].NB_ECHECS, 1) << k;
    }
    auto& u = sim.ajoute_station("F2BBB", uint16_t(v));
    u.module.hors_antenne = true;
    UTILISATEUR_EN_SESSION(sim, u);
    for (int k = 0; k < 3; ++k) {
      RECOIT(u, abimes[k]);
      if (k < 2) {
        EXPECT_EQ(u.texte_fenetre(0), "") << k;
        EXPECT_EQ(u.autex.CONTEXTES[0].NB_ECHECS, k + 1);
      }
      // The station answers, then listens again.
      u.autex.FIN_EMISSION_AUTEX();
    }
    EXPECT_EQ(u.texte_fenetre(0), texte);
    EXPECT_EQ(u.autex.CONTEXTES[0].NB_ECHECS, 0);
    EXPECT_EQ(u.autex.KD1_MAITRE_RECU, r.sections[0].bloc.entete[0]);
    // The same frame, whole, is now a repetition: not shown again.
    RECOIT(u, trame);
    EXPECT_EQ(u.texte_fenetre(0), texte);
  }
}

TEST(Reception, TwoReceptionsOfTheSameLengthAreSummed) {
  Simulation sim(31);
  auto& m = sim.ajoute_station("F1AAA", 1200);
  const std::string trame = TRAME_MAITRE(m, "two halves");
  const auto r = ANALYSE_TRANSMISSION(trame, 1200, 2, true, [](int) { return std::string("F2BBB"); });
  const int n = r.sections[0].bloc.bits;
  auto& u = sim.ajoute_station("F2BBB", 1200);
  u.module.hors_antenne = true;
  UTILISATEUR_EN_SESSION(sim, u);
  // Errors of a reception that the other one does not have: at 1200 the raw values are summed, and where
  // the receptions disagree the sum is 0, read as '1'; bits that are '1' on the air survive such damage.
  std::string bits = autex::TEXTE_VERS_BINAIRE(std::string_view(trame).substr(1));
  std::string a = bits, b = bits;
  int abimes = 0;
  for (int i = 0; i < n && abimes < 70; ++i) {
    if (bits[size_t(96 + i)] != '1') continue;
    (abimes % 2 ? a : b)[size_t(96 + i)] = '0';
    ++abimes;
  }
  RECOIT(u, "U" + autex::Binaire_vers_texte(a));
  EXPECT_EQ(u.texte_fenetre(0), "");
  u.autex.FIN_EMISSION_AUTEX();
  RECOIT(u, "U" + autex::Binaire_vers_texte(b));
  EXPECT_EQ(u.texte_fenetre(0), "two halves");
}

TEST(Reception, BurstTestsOfTheDPWindow) {
  Simulation sim(32);
  auto& s = sim.ajoute_station("F1AAA", 1200);
  auto& a = s.autex;
  // A window still holding its zero template never yields a burst.
  int erreurs = -1;
  std::string bits;
  uint8_t verifie = 9, accepte = 9;
  a.DETECTION_TRAME_DP(a.MODELE_ZERO_DP, "", 0, erreurs, bits, verifie, accepte);
  EXPECT_EQ(accepte, 0);
  a.DETECTION_TRAME_DP(a.MODELE_ZERO_DP, "F1AAA", 1, erreurs, bits, verifie, accepte);
  EXPECT_EQ(accepte, 0);
  // A burst addressed to F1AAA: verified with that call sign, accepted unverified with another one when its
  // vote errors are few, refused when the speed word has two wrong positions.
  const std::string mot = autex::MOT_DP_LIEN(false, '1', '0', '1', "00100");
  const std::string salve = autex::SALVE_DP(mot, autex::CONTROLE_POLYNOME("F1AAA"), 1200);
  a.DETECTION_TRAME_DP(salve, "F1AAA", 1, erreurs, bits, verifie, accepte);
  EXPECT_EQ(accepte, 1);
  EXPECT_EQ(verifie, 1);
  EXPECT_EQ(bits, mot);
  EXPECT_EQ(erreurs, 0);
  a.DETECTION_TRAME_DP(salve, "F9ZZZ", 1, erreurs, bits, verifie, accepte);
  EXPECT_EQ(accepte, 1);
  EXPECT_EQ(verifie, 0);
  std::string abime = salve;
  for (const size_t i : {size_t(0), size_t(32), size_t(64), size_t(1), size_t(33), size_t(65)})
    abime[i] = abime[i] == '1' ? '0' : '1';  // two speed positions wrong in all three copies
  a.DETECTION_TRAME_DP(abime, "F1AAA", 1, erreurs, bits, verifie, accepte);
  EXPECT_EQ(accepte, 0);
  abime = salve;
  for (const size_t i : {size_t(0), size_t(32), size_t(64)}) abime[i] = abime[i] == '1' ? '0' : '1';
  a.DETECTION_TRAME_DP(abime, "F1AAA", 1, erreurs, bits, verifie, accepte);
  EXPECT_EQ(accepte, 1);  // one wrong position of the twelve is tolerated
  // One copy wrong on ten positions: ten vote errors exceed the addressed threshold of 9.
  abime = salve;
  for (size_t i = 12; i < 22; ++i) abime[i] = abime[i] == '1' ? '0' : '1';
  a.DETECTION_TRAME_DP(abime, "F1AAA", 1, erreurs, bits, verifie, accepte);
  EXPECT_EQ(accepte, 0);
  abime = salve;
  for (size_t i = 12; i < 21; ++i) abime[i] = abime[i] == '1' ? '0' : '1';
  a.DETECTION_TRAME_DP(abime, "F1AAA", 1, erreurs, bits, verifie, accepte);
  EXPECT_EQ(accepte, 1);
  EXPECT_EQ(erreurs, 9);
  EXPECT_EQ(bits, mot);  // the vote repairs a single wrong copy
  // A listener takes a burst of any address and does not change speed for a burst at its own.
  a.DETECTION_TRAME_DP(salve, "", 0, erreurs, bits, verifie, accepte);
  EXPECT_EQ(accepte, 1);
  EXPECT_EQ(verifie, 0);
  EXPECT_EQ(a.Vitesse_AUTEX, 1200);
}

TEST(Reception, ABurstFoundAtTwoPositionsIsInterpretedOnce) {
  Simulation sim(33);
  auto& m = sim.ajoute_station("F1AAA", 1200);
  const std::string trame = TRAME_MAITRE(m, "once");
  auto& u = sim.ajoute_station("F2BBB", 1200);
  u.module.hors_antenne = true;
  UTILISATEUR_EN_SESSION(sim, u);
  u.autex.TRACE_ACTIVE = 1;
  RECOIT(u, trame);
  EXPECT_EQ(u.texte_fenetre(0), "once");
  size_t dp = 0;
  for (size_t p = u.autex.TRACE_AUTEX.find(" RX DP "); p != std::string::npos; p = u.autex.TRACE_AUTEX.find(" RX DP ", p + 1))
    ++dp;
  EXPECT_EQ(dp, 1u);
  EXPECT_EQ(u.autex.RECEPTION_TERMINEE, 1);
  EXPECT_EQ(u.autex.REPONSE_DUE_UTILISATEUR, 0);  // the supervisor answered in the same tick
  EXPECT_EQ(u.trames.size(), 1u);
}

TEST(Reception, AMeetingUserDroppedByACallStillHearsTheRestOfIt) {
  Simulation sim(34);
  auto& m = sim.ajoute_station("F1AAA", 1200, 4);
  m.Lance_reunion();
  const std::string appel = m.trames.back();
  auto& u = sim.ajoute_station("F2BBB", 1200, 4);
  u.module.hors_antenne = true;
  auto& a = u.autex;
  a.SESSION_EN_COURS = 1;
  a.NUMERO_SLOT = 1;
  a.INDICATIF_MAITRE = "F1AAA";
  a.INDICATIF_CONNEXION = "F2BBB";
  a.T_RECEPTION_MAITRE = sim.horloge.timeGetTime();
  // The call offers the user's own slot: the Master dropped it. The rest of the call is heard as a listener.
  RECOIT(u, appel);
  EXPECT_TRUE(u.a_vu("Deconnection on CQ"));
  EXPECT_EQ(a.SESSION_EN_COURS, 0);
  EXPECT_EQ(u.etat_liaison(), "Disconnected");
  EXPECT_EQ(a.RECEPTION_TERMINEE, 0);
  EXPECT_EQ(u.Texte({Label_CQ, 2}), "CQ de F1AAA");
  EXPECT_EQ(u.Texte({Label_CQ, 3}), "CQ de F1AAA");
  EXPECT_TRUE(u.Actif({ENTRER_DANS_LA_REUNION, 3}));
  // The next call is heard whole.
  RECOIT(u, appel);
  EXPECT_EQ(u.Texte({Label_CQ, 1}), "CQ de F1AAA");
  EXPECT_TRUE(u.Actif({ENTRER_DANS_LA_REUNION, 1}));
}

TEST(Reception, AnAbandonedBlockDoesNotHoldTheCallBack) {
  // A Master calling hears the first half of a frame and then nothing: after a while the capture is given
  // up, and the call is repeated on time.
  Simulation sim(35);
  auto& m = sim.ajoute_station("F1AAA", 1200);
  auto& autre = sim.ajoute_station("F9ZZZ", 1200);
  autre.module.hors_antenne = true;
  m.Lance_reunion();
  autre.autex.STATION_MAITRE = 0;
  autre.autex.DEMANDE_CONNEXION = 1;
  autre.autex.INDICATIF_MAITRE = "F1AAA";
  autre.autex.TENTATIVE_CONNEXION("F9ZZZ");
  const std::string tentative = autre.trames.back();
  sim.avance(3000);
  m.io->boucle.Tampon_reception += tentative.substr(0, tentative.size() / 2);
  sim.avance(10);
  EXPECT_EQ(m.autex.BLOC_EN_RECEPTION, 1);
  const size_t appels = m.trames.size();
  sim.avance(7000);
  EXPECT_EQ(m.autex.BLOC_EN_RECEPTION, 0);
  EXPECT_GT(m.trames.size(), appels);
}

TEST(Reception, AMeetingUsersSecondMessageInServiceIsShownOnceAcknowledged) {
  // A meeting user has two messages in service: the first, then the next one taken before the first was
  // relayed to all. The Master's completion of the first puts the second in service; taking the next text
  // with nothing more to send leaves it awaited, and the Master's completion of it shows it in the user's own
  // window.
  Simulation sim(37);
  auto& u = sim.ajoute_station("F2BBB", 1200, 4);
  auto& a = u.autex;
  a.STATION_MAITRE = 0;
  a.SESSION_EN_COURS = 1;
  a.NUMERO_SLOT = 1;
  a.INDICATIF_MAITRE = "F1AAA";
  a.BP_MEMORISE[1] = '1';
  a.BN_MEMORISE[1] = '0';
  for (const char* texte : {"first", "second"}) {
    a.TEXTE_A_EMETTRE = texte;
    a.TEXTE_EN_ATTENTE = 1;
    a.PRENDRE_TEXTE_SUIVANT();
  }
  ASSERT_EQ(a.TEXTE_EN_SERVICE, "first");
  ASSERT_EQ(a.TEXTE_SUIVANT, "second");
  // The Master's word for slot 1: its own acknowledgement of the user's last block (BA), and the relay of a
  // message completed (BN changed).
  auto mot_du_maitre = [&](char bn) {
    uint8_t slot = 1, sans_bloc = 0;
    a.TRAITEMENT_TRAME_DP(slot, autex::MOT_DP_MAITRE(4, 1, 0, a.KD1_TX[0], bn, '1', '0', '0',
                                                     autex::CHAMP_F5('0', autex::L_BLOC_VIDE, 0)),
                          sans_bloc);
  };
  mot_du_maitre('1');
  EXPECT_EQ(a.TEXTE_FENETRE[1], "first");
  EXPECT_EQ(a.TEXTE_EN_SERVICE, "second");
  EXPECT_EQ(a.ACQUITTEMENT_ATTENDU, 1);
  a.PRENDRE_TEXTE_SUIVANT();
  EXPECT_EQ(a.ACQUITTEMENT_ATTENDU, 1);
  mot_du_maitre('0');
  EXPECT_EQ(a.TEXTE_FENETRE[1], "firstsecond");
  EXPECT_TRUE(a.TEXTE_EN_SERVICE.empty());
  EXPECT_EQ(a.ACQUITTEMENT_ATTENDU, 0);
  EXPECT_TRUE(u.a_vu("Complete message acknowledgment received (0/1)"));
}
