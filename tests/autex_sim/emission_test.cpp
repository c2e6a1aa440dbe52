// The transmit side and the session state: every frame a station queues, taken apart field by field with the
// coding layer; repetitions and give-ups; call signs; the session buttons; the set-up tables; two sessions in a
// row.
#include <gtest/gtest.h>

#include "tests/autex_sim/outils_test.h"

using namespace autexsim;
using enum autex::NomElement;

namespace {

const int VITESSES[] = {1200, 400, 171};

std::string adresse(const std::string& a) { return a; }

// Checks that hold for every frame queued without noise.
void VERIFIE_FORME(const TransmissionAnalyse& r, const std::string& contexte) {
  SCOPED_TRACE(contexte);
  EXPECT_TRUE(r.erreur.empty()) << r.erreur;
  EXPECT_TRUE(r.cadre_ok);
  EXPECT_TRUE(r.bourrage_ok);
  EXPECT_TRUE(r.separateurs_ok);
  for (const SectionAnalyse& s : r.sections) {
    EXPECT_TRUE(s.dp.copies_ok);
    EXPECT_TRUE(s.dp.vitesse_ok);
    EXPECT_TRUE(s.dp.bch_ok);
    if (s.bloc.present) {
      EXPECT_TRUE(s.bloc.copies_identiques);
      EXPECT_TRUE(s.bloc.decode);
      EXPECT_EQ(s.bloc.corrections, 0);
      if (!s.bloc.entete.empty()) {
        EXPECT_EQ(s.bloc.entete.substr(1), std::string(1, '0') + s.bloc.entete[2] + "0000000");
      }
    }
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Link frames
// ---------------------------------------------------------------------------------------------------------

TEST(TramesLien, EveryFrameOfASessionAtEachSpeed) {
  for (const int v : VITESSES) {
    SCOPED_TRACE(v);
    Simulation sim(11);
    auto& m = sim.ajoute_station("F1AAA", uint16_t(v));
    auto& u = sim.ajoute_station("F2BBB", uint16_t(v));
    ASSERT_TRUE(CONNECTE_LIEN(sim, m, u));
    // One short text packed in varicode, one long text of upper-case words sent 8-bit.
    const std::string court = "hello";
    // Accented capitals have long varicode codes: packing would let fewer characters into a block.
    const std::string long_ = "\xC0\xC9T\xC9 \xC0 L'\xCELE \xC9" "CRIT \xC0 \xC9LISE \xC0 \xC9VIAN \xC0 \xC9TRETAT";
    m.Envoie(court);
    u.Envoie(long_);
    ASSERT_TRUE(sim.avance_jusqu_a([&] { return m.file_vide() && u.file_vide() && m.autex.ACQUITTEMENT_ATTENDU == 0 &&
                                                u.autex.ACQUITTEMENT_ATTENDU == 0; },
                                   120000));
    sim.avance(5000);
    m.Fin_reunion();
    ASSERT_TRUE(sim.avance_jusqu_a([&] { return !m.connectee() && !u.connectee(); }, 120000));

    // Every frame, in the order they were queued.
    std::string texte_m, texte_u;
    char kd1_m = '?', kd1_u = '?';
    char dernier_kd1_u = '0', dernier_kd1_m = '0';
    int cq = 0, kd3_0 = 0, kd3_1 = 0;
    const auto chrono = CHRONOLOGIE(m, u);
    for (size_t i = 0; i < chrono.size(); ++i) {
      const bool maitre = chrono[i].station == &m;
      const std::string& t = chrono[i].octets;
      // A CQ carries no address; everything else is addressed to the other end.
      TransmissionAnalyse r = ANALYSE_TRANSMISSION(t, v, 2, maitre, [&](int) { return std::string(); });
      const bool appel = maitre && r.sections.size() == 1 && r.sections[0].dp.bch_ok &&
                         r.sections[0].bloc.texte_clair == "CQ meeting DE F1AAA\r";
      if (!appel) r = ANALYSE_TRANSMISSION(t, v, 2, maitre, [&](int) { return adresse(maitre ? "F2BBB" : "F1AAA"); });
      VERIFIE_FORME(r, (maitre ? "M " : "U ") + std::to_string(i));
      ASSERT_EQ(r.sections.size(), 1u);
      const SectionAnalyse& s = r.sections[0];
      const ChampsLien c = CHAMPS_LIEN(s.dp.mot);
      EXPECT_EQ(c.role, maitre ? '0' : '1');
      EXPECT_EQ(BIT_DP(s.dp.mot, 1), '0');
      // The size of the frame follows from its sections.
      const size_t bits = 96 + (s.bloc.present ? size_t(s.bloc.bits) * size_t(autex::FACTEUR_REPETITION(v)) : 0);
      EXPECT_EQ(t.size(), TAILLE_TRAME(bits, v));
      if (appel) {
        ++cq;
        EXPECT_EQ(c.BA, '0');
        EXPECT_EQ(c.BE, '1');
        EXPECT_EQ(c.BM, '0');
        EXPECT_EQ(c.F5 + 1, int(s.bloc.texte.size()));
        EXPECT_GE(c.F5 + 1, 10);  // long enough to be taken for a CQ
        EXPECT_EQ(s.bloc.entete.substr(0, 3), "001");
        continue;
      }
      if (c.BM == '1') {
        ASSERT_TRUE(s.bloc.present);
        EXPECT_EQ(c.F5 + 1, int(s.bloc.texte.size()));
        (s.bloc.entete[2] == '1' ? kd3_1 : kd3_0)++;
        // Each new text inverts the toggle; the peer echoes the toggle of the last text it decoded.
        char& kd1 = maitre ? kd1_m : kd1_u;
        if (kd1 != '?') {
          EXPECT_NE(s.bloc.entete[0], kd1);
        }
        kd1 = s.bloc.entete[0];
        (maitre ? texte_m : texte_u) += s.bloc.texte_clair;
        (maitre ? dernier_kd1_m : dernier_kd1_u) = kd1;
      } else if (c.BE == '0') {
        // Nothing to send: an empty block with the secondary channel only.
        EXPECT_EQ(c.F5, 2);
        EXPECT_EQ(s.bloc.bits, autex::BITS_BLOC_VIDE);
      }
      if (maitre && i > 0) {
        EXPECT_EQ(c.BA, dernier_kd1_u) << i;
      }
      if (!maitre && !texte_u.empty() && i > 0 && c.BM != '1') {
        EXPECT_EQ(c.BA, dernier_kd1_m) << i;
      }
    }
    EXPECT_GE(cq, 1);
    // The user's first frame is the connection request.
    const TransmissionAnalyse demande =
        ANALYSE_TRANSMISSION(u.trames.front(), v, 2, false, [](int) { return std::string("F1AAA"); });
    const ChampsLien d = CHAMPS_LIEN(demande.sections[0].dp.mot);
    EXPECT_EQ(d.BA, '0');
    EXPECT_EQ(d.BE, '0');
    EXPECT_EQ(d.BM, '1');
    EXPECT_EQ(demande.sections[0].bloc.entete[0], '1');
    EXPECT_EQ(demande.sections[0].bloc.texte_clair, "F1AAA < F2BBB\r");
    // The texts sent are the framed messages, whole and in order.
    EXPECT_EQ(texte_m, MESSAGE_ENCADRE(court));
    EXPECT_EQ(texte_u, "F1AAA < F2BBB\r" + MESSAGE_ENCADRE(long_));
    EXPECT_GE(kd3_1, 1);  // packed chunks
    EXPECT_GE(kd3_0, 1);  // 8-bit chunks
    // The end: the Master's request, the user's acknowledgement, each a DP alone.
    const auto fin_m = ANALYSE_TRANSMISSION(m.trames.back(), v, 2, true, [](int) { return std::string("F2BBB"); });
    const auto fin_u = ANALYSE_TRANSMISSION(u.trames.back(), v, 2, false, [](int) { return std::string("F1AAA"); });
    VERIFIE_FORME(fin_m, "end request");
    VERIFIE_FORME(fin_u, "end acknowledgement");
    const ChampsLien fm = CHAMPS_LIEN(fin_m.sections[0].dp.mot), fu = CHAMPS_LIEN(fin_u.sections[0].dp.mot);
    EXPECT_EQ(std::string() + fm.BE + fm.BM, "10");
    EXPECT_EQ(fm.F5, 0);
    EXPECT_FALSE(fin_m.sections[0].bloc.present);
    EXPECT_EQ(std::string() + fu.BE + fu.BM, "10");
    EXPECT_EQ(fu.F5, 1);
    EXPECT_FALSE(fin_u.sections[0].bloc.present);
    EXPECT_EQ(m.trames.back().size(), TAILLE_TRAME(96, v));
    EXPECT_TRUE(m.a_vu("End of meeting accepted"));
    EXPECT_TRUE(u.a_vu("End of meeting completed"));
  }
}

TEST(TramesLien, SizesOfAOneByteText) {
  // 96 DP bits and a 130-bit block: 29 bytes and the framing at 1200; seven copies of the block at 171.
  for (const int v : {1200, 171}) {
    Simulation sim(2);
    auto& m = sim.ajoute_station("F1AAA", uint16_t(v));
    auto& a = m.autex;
    a.STATION_MAITRE = 1;
    a.SESSION_EN_COURS = 1;
    a.INDICATIFS_CORRESPONDANTS[0] = "F2BBB";
    a.NOUVEAU_TEXTE = 1;
    a.TEXTE_A_EMETTRE = "e";
    a.TEXTE_EN_ATTENTE = 1;
    a.EMISSION_REPONSE(1);
    const std::string& t = m.trames.back();
    EXPECT_EQ(t.size(), v == 1200 ? 31u : 134u);
    EXPECT_EQ(t.substr(t.size() - (v == 1200 ? 1 : 7)), std::string(v == 1200 ? 1 : 7, 'U'));
    const auto r = ANALYSE_TRANSMISSION(t, v, 2, true, [](int) { return std::string("F2BBB"); });
    VERIFIE_FORME(r, "one byte");
    EXPECT_EQ(r.sections[0].bloc.bits, 130);
  }
}

TEST(TramesLien, TheCallOfAMasterCarriesNoAddressAndTheChannelRotates) {
  Simulation sim(3);
  auto& m = sim.ajoute_station("F1AAA", 400);
  m.Fixe_texte(DIVERS, "Jo");
  m.autex.GESTION_PRELIMINAIRE_AUTEX();
  m.autex.INITIALISATION_PARAMETRES_RX_AUTEX();
  m.Lance_reunion();
  // "F1AAA Jo" is four pairs: indexes 0..3, the end sign at 4, then 0 again.
  for (int k = 0; k < 6; ++k) {
    sim.avance(8000);
  }
  ASSERT_GE(m.trames.size(), 6u);
  const char* attendus[] = {"F1", "AA", "A ", "JO", "^^", "F1"};
  for (size_t k = 0; k < 6; ++k) {
    const auto r = ANALYSE_TRANSMISSION(m.trames[k], 400, 2, true, [](int) { return std::string(); });
    VERIFIE_FORME(r, std::string("CQ ").append(std::to_string(k)));
    const std::string& canal = r.sections[0].bloc.canal;
    const int index = k == 5 ? 0 : int(k);
    EXPECT_EQ(canal, autex::MOT_CANAL_SECONDAIRE(index, attendus[k][0], attendus[k][1])) << k;
  }
  // The same CQ addressed with any call sign fails its check word.
  const auto r = ANALYSE_TRANSMISSION(m.trames[0], 400, 2, true, [](int) { return std::string("F1AAA"); });
  EXPECT_FALSE(r.sections[0].dp.bch_ok);
}

// ---------------------------------------------------------------------------------------------------------
// Repetitions and give-ups
// ---------------------------------------------------------------------------------------------------------

TEST(Repetitions, ASilentUserGetsFiveRepetitionsThenTheEnd) {
  for (const int v : VITESSES) {
    SCOPED_TRACE(v);
    Simulation sim(5);
    auto& m = sim.ajoute_station("F1AAA", uint16_t(v));
    auto& u = sim.ajoute_station("F2BBB", uint16_t(v));
    ASSERT_TRUE(CONNECTE_LIEN(sim, m, u));
    sim.avance(3000);
    // The user goes silent as soon as the Master has queued its text.
    const size_t avant = m.trames.size();
    m.Envoie("are you there?");
    ASSERT_TRUE(sim.avance_jusqu_a([&] { return m.autex.ACQUITTEMENT_ATTENDU == 1; }, 30000));
    u.module.hors_antenne = true;
    ASSERT_TRUE(sim.avance_jusqu_a([&] { return m.a_vu("End of meeting by loss of the user"); }, 300000));
    // The text frame, five identical repetitions, then the give-up: an end acknowledgement alone.
    std::vector<std::string> apres(m.trames.begin() + std::ptrdiff_t(avant), m.trames.end());
    size_t premier = 0;
    while (premier < apres.size()) {
      const auto r = ANALYSE_TRANSMISSION(apres[premier], v, 2, true, [](int) { return std::string("F2BBB"); });
      if (CHAMPS_LIEN(r.sections[0].dp.mot).BM == '1') break;
      ++premier;
    }
    ASSERT_EQ(apres.size(), premier + 7);
    for (size_t k = premier + 1; k <= premier + 5; ++k) EXPECT_TRUE(apres[k] == apres[premier]) << k;
    const auto fin = ANALYSE_TRANSMISSION(apres.back(), v, 2, true, [](int) { return std::string("F2BBB"); });
    VERIFIE_FORME(fin, "give-up");
    const ChampsLien c = CHAMPS_LIEN(fin.sections[0].dp.mot);
    EXPECT_EQ(std::string() + c.BE + c.BM, "10");
    EXPECT_EQ(c.F5, 1);
    EXPECT_FALSE(fin.sections[0].bloc.present);
    EXPECT_TRUE(m.a_vu("No user frame received 6"));
    EXPECT_FALSE(m.a_vu("No user frame received 7"));
    EXPECT_TRUE(m.a_vu("Disconnection of the user (too much difficult QSO)"));
    EXPECT_EQ(m.autex.SESSION_EN_COURS, 0);
    EXPECT_EQ(m.autex.STATION_MAITRE, 0);
    EXPECT_EQ(m.etat_liaison(), "Disconnected");
  }
}

namespace {
// The supervisor answers a Master frame; runs until the answer has been written.
void REPOND(Simulation& sim, Station& u) {
  u.autex.REPONSE_DUE_UTILISATEUR = 1;
  u.autex.T_RECEPTION_MAITRE = sim.horloge.timeGetTime();
  const size_t n = u.trames.size();
  ASSERT_TRUE(sim.avance_jusqu_a([&] { return u.trames.size() > n && u.autex.EMISSION_EN_COURS == 0; }, 20000));
}
}  // namespace

TEST(Repetitions, NineUnacknowledgedFramesEndTheLink) {
  Simulation sim(6);
  auto& u = sim.ajoute_station("F2BBB", 1200);
  UTILISATEUR_EN_SESSION(sim, u);
  u.autex.NOUVEAU_TEXTE = 0;
  for (int k = 1; k <= 8; ++k) {
    REPOND(sim, u);
    EXPECT_EQ(u.autex.IGNORES_MAITRE, k);
    EXPECT_TRUE(u.a_vu(std::string("Acknowledgment not received from the Master (").append(std::to_string(k)) + ")"));
    EXPECT_EQ(u.autex.SESSION_EN_COURS, 1);
  }
  REPOND(sim, u);
  // The ninth answer is the end request, a DP alone; the supervisor then ends the link.
  const auto r = ANALYSE_TRANSMISSION(u.trames.back(), 1200, 2, false, [](int) { return std::string("F1AAA"); });
  VERIFIE_FORME(r, "ninth");
  const ChampsLien c = CHAMPS_LIEN(r.sections[0].dp.mot);
  EXPECT_EQ(std::string() + c.BE + c.BM, "10");
  EXPECT_EQ(c.F5, 0);
  EXPECT_FALSE(r.sections[0].bloc.present);
  sim.avance(100);
  EXPECT_TRUE(u.a_vu("End of meeting, the Master ignoring my messages"));
  EXPECT_EQ(u.autex.SESSION_EN_COURS, 0);
}

TEST(Repetitions, ThreeEndRequestsWithoutAnswerEndTheLink) {
  Simulation sim(7);
  auto& u = sim.ajoute_station("F2BBB", 400);
  UTILISATEUR_EN_SESSION(sim, u);
  u.Sort(1);
  EXPECT_EQ(u.autex.FIN_REUNION_DEMANDEE, 1);
  EXPECT_TRUE(u.a_vu("End of meeting required by me"));
  for (int k = 1; k <= 3; ++k) {
    u.autex.NOUVEAU_TEXTE = 1;
    REPOND(sim, u);
    EXPECT_EQ(u.autex.ESSAIS_EMISSION[1], k);
    const auto r = ANALYSE_TRANSMISSION(u.trames.back(), 400, 2, false, [](int) { return std::string("F1AAA"); });
    const ChampsLien c = CHAMPS_LIEN(r.sections[0].dp.mot);
    EXPECT_EQ(std::string() + c.BE + c.BM, "10");
    EXPECT_EQ(c.F5, 0);
  }
  sim.avance(100);
  EXPECT_TRUE(u.a_vu("End of meeting considered after 3 retries"));
  EXPECT_EQ(u.autex.SESSION_EN_COURS, 0);
  EXPECT_EQ(u.autex.ESSAIS_EMISSION[1], 0);
}

// ---------------------------------------------------------------------------------------------------------
// Meeting frames
// ---------------------------------------------------------------------------------------------------------

TEST(TramesReunion, TheMastersCallOffersEverySlot) {
  for (const int p : {4, 7, 13}) {
    for (const int v : VITESSES) {
      SCOPED_TRACE(std::to_string(p) + std::string(" participants at ").append(std::to_string(v)));
      Simulation sim(8);
      auto& m = sim.ajoute_station("F1AAA", uint16_t(v), uint8_t(p));
      m.Lance_reunion();
      ASSERT_EQ(m.trames.size(), 1u);
      const int N = p - 1;
      const auto r = ANALYSE_TRANSMISSION(m.trames[0], v, p, true, [](int) { return std::string("F1AAA"); });
      VERIFIE_FORME(r, "CQ");
      ASSERT_EQ(r.sections.size(), size_t(N + 1));
      const int bits_s = p == 4 ? 2 : (p == 7 ? 3 : 4);
      // The own frame: D 0, Z, BN 0, S 0, BE 0, BM 0, L 3 (an empty block: the secondary channel only).
      const std::string& w0 = r.sections[0].dp.mot;
      EXPECT_EQ(w0.size(), p == 4 ? 16u : 18u);
      EXPECT_EQ(w0.substr(0, 4), "0000");
      const size_t z = p == 7 ? 3 : 2;
      EXPECT_EQ(w0.substr(4, z + 1 + size_t(bits_s)), std::string(z + 1 + size_t(bits_s), '0'));
      EXPECT_EQ(w0.substr(w0.size() - 7), "0000010");
      EXPECT_EQ(r.sections[0].bloc.bits, autex::BITS_BLOC_VIDE);
      for (int s = 1; s <= N; ++s) {
        SCOPED_TRACE(s);
        const SectionAnalyse& sec = r.sections[size_t(s)];
        const std::string& w = sec.dp.mot;
        size_t q = 4;
        if (p == 7) {
          EXPECT_EQ(w[q++], '0');
        }
        EXPECT_EQ(w.substr(q, 3), "001");  // BA 0, BN 0, BP 1
        q += 3;
        EXPECT_EQ(ENTIER_DP(w, q + 1, size_t(bits_s)), s);
        q += size_t(bits_s);
        EXPECT_EQ(w.substr(q, 2), "10");  // BE 1, BM 0: an offer
        EXPECT_EQ(ENTIER_DP(w, q + 3, 5) + 1, int(sec.bloc.texte.size()));
        EXPECT_EQ(sec.bloc.texte_clair, "CQ meeting DE F1AAA\r");
        EXPECT_EQ(sec.bloc.entete.substr(0, 2), "00");
        // A free slot carries the Master's status word: the toggles of the Master and of every slot.
        EXPECT_EQ(sec.bloc.canal, std::string(16, '0'));
      }
    }
  }
}

TEST(TramesReunion, ReservedSlotTwo) {
  Simulation sim(9);
  auto& m = sim.ajoute_station("F1AAA", 1200, 4);
  m.autex.RESERVATION_S2 = 1;
  m.autex.TEXTE_TX[0] = "Reser";
  m.autex.CHOIX_CODAGE_TEXTE();
  m.autex.TEXTE_RESERVE = m.autex.TEXTE_TX[0];
  m.Lance_reunion();
  const auto r = ANALYSE_TRANSMISSION(m.trames[0], 1200, 4, true, [](int) { return std::string("F1AAA"); });
  VERIFIE_FORME(r, "reserved");
  EXPECT_EQ(r.sections[2].bloc.texte_clair, "Reser");
  EXPECT_EQ(r.sections[2].bloc.entete[2], '1');
  EXPECT_GE(r.sections[2].bloc.texte.size(), 4u);  // never mistaken for an L code
  EXPECT_EQ(r.sections[1].bloc.texte_clair, "CQ meeting DE F1AAA\r");
}

TEST(TramesReunion, AUsersConnectionAttemptAndEndRequest) {
  for (const int p : {4, 7, 13}) {
    for (const int v : VITESSES) {
      SCOPED_TRACE(std::to_string(p) + std::string(" participants at ").append(std::to_string(v)));
      Simulation sim(10);
      auto& u = sim.ajoute_station("F3CCC", uint16_t(v), uint8_t(p));
      auto& a = u.autex;
      a.NUMERO_SLOT = 2;
      a.INDICATIF_MAITRE = "F1AAA";
      a.INDICATIF_CONNEXION = "F3CCC";
      a.DEMANDE_CONNEXION = 1;
      a.B_EMIS[1] = '1';  // the toggle of S1 learnt from the Master's offer
      a.TENTATIVE_CONNEXION("F3CCC");
      const int N = p - 1;
      auto r = ANALYSE_TRANSMISSION(u.trames.back(), v, p, false, [](int) { return std::string("F1AAA"); });
      VERIFIE_FORME(r, "attempt");
      std::string w = r.sections[0].dp.mot;
      EXPECT_EQ(w.size(), size_t(p == 4 ? 12 : (p == 7 ? 14 : 20)));
      std::string b;
      if (p == 4) {
        EXPECT_EQ(w.substr(0, 2), "10");  // own slot 2
        b = w.substr(2, 4);
        EXPECT_EQ(b[2], '0');  // the own position holds BE
      } else {
        b = w.substr(0, size_t(N) + 1);
        EXPECT_EQ(w[size_t(N) + 1], '0');  // BE
      }
      EXPECT_EQ(b[1], '1');
      EXPECT_EQ(w[w.size() - 6], '0');  // BM 0 with a text: a connection request
      EXPECT_EQ(ENTIER_DP(w, w.size() - 4, 5) + 1, int(r.sections[0].bloc.texte.size()));
      EXPECT_GE(r.sections[0].bloc.texte.size(), 4u);
      EXPECT_EQ(r.sections[0].bloc.texte_clair, "F1AAA < F3CCC\r");
      EXPECT_EQ(r.sections[0].bloc.entete[0], '0');

      // In session, the user's own end request: L 1 and a block with the header and no text.
      sim.avance(10000);
      a.SESSION_EN_COURS = 1;
      a.TENTATIVE_EN_COURS = 0;
      a.DEMANDE_CONNEXION = 0;
      a.T_RECEPTION_MAITRE = sim.horloge.timeGetTime();
      a.T_TRAME_UTILISATEUR = sim.horloge.timeGetTime() - 1000;
      a.BP_MEMORISE[2] = '1';
      u.Sort(2);
      EXPECT_TRUE(u.a_vu("End of link required by me"));
      a.NOUVEAU_TEXTE = 1;
      a.REPONSE_DUE_UTILISATEUR = 1;
      const size_t n = u.trames.size();
      ASSERT_TRUE(sim.avance_jusqu_a([&] { return u.trames.size() > n; }, 3000));
      r = ANALYSE_TRANSMISSION(u.trames.back(), v, p, false, [](int) { return std::string("F1AAA"); });
      VERIFIE_FORME(r, "end request");
      w = r.sections[0].dp.mot;
      const char BE = p == 4 ? w[2 + 2] : w[size_t(N) + 1];
      EXPECT_EQ(BE, '1');
      EXPECT_EQ(w[w.size() - 6], '0');
      EXPECT_EQ(ENTIER_DP(w, w.size() - 4, 5), 0);
      EXPECT_EQ(r.sections[0].bloc.bits, 122);
      EXPECT_TRUE(r.sections[0].bloc.texte.empty());
      EXPECT_EQ(a.ESSAIS_EMISSION[1], 1);
    }
  }
}

TEST(TramesReunion, TheMasterRelaysItsUsersText) {
  Simulation sim(12, Bruit(), 1);
  auto& m = sim.ajoute_station("F1AAA", 1200, 4, 9600);
  auto& u = sim.ajoute_station("F2BBB", 1200, 4, 9600);
  m.Lance_reunion();
  ASSERT_TRUE(sim.avance_jusqu_a([&] { return u.cq_recu(); }, 30000));
  u.Entre(1);
  ASSERT_TRUE(sim.avance_jusqu_a([&] { return u.etat_liaison() == "Connected" && m.connectee(); }, 60000));
  u.Envoie("over to you");
  ASSERT_TRUE(sim.avance_jusqu_a([&] { return m.texte_fenetre(1).find("over to you") != std::string::npos &&
                                              u.texte_fenetre(1) == "over to you\r\n"; },
                                 30000));
  // The Master's frames since: find the one that relays the user's text in slot 1.
  bool relaye = false;
  for (const std::string& t : m.trames) {
    const auto r = ANALYSE_TRANSMISSION(t, 1200, 4, true, [](int) { return std::string("F1AAA"); });
    if (r.sections.size() != 4 || !r.sections[1].bloc.present || r.sections[1].bloc.texte.empty()) continue;
    if (r.sections[1].bloc.texte_clair != MESSAGE_ENCADRE("over to you")) continue;
    VERIFIE_FORME(r, "relay");
    relaye = true;
    const std::string& w = r.sections[1].dp.mot;
    EXPECT_EQ(BIT_DP(w, 5), r.sections[1].bloc.entete[0]);  // BA: the user's toggle, personally acknowledged
    EXPECT_EQ(ENTIER_DP(w, 8, 2), 1);
    EXPECT_EQ(w.substr(9, 2), "01");  // BE 0, BM 1
    // The relayed secondary channel is the user's own: a pair of its call sign.
    const int index = autex::Binaire_vers_entier(r.sections[1].bloc.canal.substr(0, 4));
    EXPECT_LE(index, 3);
  }
  EXPECT_TRUE(relaye);
  EXPECT_EQ(u.texte_fenetre(1), "over to you\r\n");
}

TEST(TramesReunion, TheMasterEndsALinkAndTheMeeting) {
  for (const int p : {4, 13}) {
    SCOPED_TRACE(p);
    Simulation sim(41);
    auto& m = sim.ajoute_station("F1AAA", 400, uint8_t(p));
    m.Lance_reunion();
    auto& a = m.autex;
    // Slot 1 holds F2BBB; the Master ends its link, then the whole meeting.
    a.INDICATIFS_CORRESPONDANTS[1] = "F2BBB";
    a.CONNECTE_SLOT[1] = 1;
    a.BILAN_CONNEXIONS();
    a.FIN_EMISSION_AUTEX();
    a.SORTIE_DE_REUNION(1);
    EXPECT_TRUE(m.a_vu("End of link required by me, with S1"));
    a.EMISSION_MAITRE_REUNION();
    auto r = ANALYSE_TRANSMISSION(m.trames.back(), 400, p, true, [](int) { return std::string("F1AAA"); });
    VERIFIE_FORME(r, "slot end request");
    const std::string& w = r.sections[1].dp.mot;
    const size_t bits_s = p == 4 ? 2 : 4;
    EXPECT_EQ(ENTIER_DP(w, 8, bits_s), 1);
    EXPECT_EQ(w.substr(7 + bits_s, 7), "1000000");  // BE 1, BM 0, L 1
    EXPECT_FALSE(r.sections[1].bloc.present);
    EXPECT_EQ(a.ESSAIS_SLOT[1], 1);
    EXPECT_TRUE(m.a_vu("End of link request sent to F2BBB"));
    // The other slots are still offered.
    EXPECT_EQ(r.sections[2].bloc.texte_clair, "CQ meeting DE F1AAA\r");
    a.FIN_EMISSION_AUTEX();
    a.FIN_REUNION_DEMANDEE = 1;
    a.EMISSION_MAITRE_REUNION();
    r = ANALYSE_TRANSMISSION(m.trames.back(), 400, p, true, [](int) { return std::string("F1AAA"); });
    VERIFIE_FORME(r, "meeting end");
    const std::string& w0 = r.sections[0].dp.mot;
    EXPECT_EQ(w0.substr(w0.size() - 7), "1000000");
    EXPECT_FALSE(r.sections[0].bloc.present);
    EXPECT_TRUE(m.a_vu("End of meeting information sent by me"));
    // Three unanswered requests release the slot.
    a.FIN_EMISSION_AUTEX();
    a.EMISSION_MAITRE_REUNION();
    a.FIN_EMISSION_AUTEX();
    EXPECT_EQ(a.ESSAIS_SLOT[1], 3);
    m.module.hors_antenne = true;
    sim.avance(10);
    EXPECT_TRUE(m.a_vu("End of link considered after 3 retries, with S1"));
    EXPECT_EQ(a.CONNECTE_SLOT[1], 0);
  }
}

// ---------------------------------------------------------------------------------------------------------
// Call signs and the secondary channel
// ---------------------------------------------------------------------------------------------------------

TEST(Indicatifs, RulesOfTheCheck) {
  Simulation sim(13);
  auto& s = sim.ajoute_station("F1AAA", 1200);
  auto& a = s.autex;
  auto essai = [&](const std::string& indicatif, uint8_t maitre) {
    s.Fixe_texte(Edit_INDICATIF, indicatif);
    s.dialogues.clear();
    uint8_t ok = 9;
    a.VERIF_INDICATIF(maitre, ok);
    return std::make_pair(ok, s.dialogues.empty() ? std::string() : s.dialogues.back());
  };
  EXPECT_EQ(essai("F1 AAA", 1).second, "Your call must not contain space");
  EXPECT_EQ(essai("ABCDEFGHIJKLMN", 1).first, 1);  // 14 characters
  EXPECT_EQ(essai("ABCDEFGHIJKLMNO", 1).second,
            "Your call transmitted in AUTEX must be limited to 14 characters (button \"Personal\")");
  EXPECT_EQ(essai("   ", 1).second.substr(0, 36), "No possibility to transmit your call");
  a.INDICATIF_MAITRE = "F9ZZZ";
  EXPECT_EQ(essai("f9zzz", 0).second, "Your call is the same one as the Master station! Correct it.");
  EXPECT_EQ(essai("f9zzz", 1).first, 1);
  // With no Master known, an empty call sign is reported as missing, not as the Master's.
  a.INDICATIF_MAITRE.clear();
  EXPECT_EQ(essai("", 0).second.substr(0, 36), "No possibility to transmit your call");
  // The user's check.
  s.Fixe_texte(Edit_INDICATIF, "");
  std::string ind;
  a.VERIF_INDICATIF_UTILISATEUR(ind);
  EXPECT_EQ(s.dialogues.back(), "It misses your call");
  EXPECT_EQ(a.DEMANDE_CONNEXION, 0);
  s.Fixe_texte(Edit_INDICATIF, " f2bbb ");
  a.VERIF_INDICATIF_UTILISATEUR(ind);
  EXPECT_EQ(ind, "F2BBB");
  EXPECT_EQ(a.DEMANDE_CONNEXION, 1);
  // French.
  s.langues.Langue = autex::LANGUE_FRANCAIS;
  EXPECT_EQ(essai("A B", 1).second, "Votre indicatif ne doit pas contenir d'espace");
}

TEST(Indicatifs, FilterAndSecondaryChannel) {
  std::string r;
  autex::Autex::FILTRE_CARACTERES("abc\xE9{x}\t|~`\xC7\xFF\xF1", r);
  EXPECT_EQ(r, "ABCEX\tCYN");
  Simulation sim(14);
  auto& s = sim.ajoute_station("F1AAA", 1200);
  auto& a = s.autex;
  // A lower-case call sign is sent in upper case; an accented letter of the free text as its base letter.
  s.Fixe_texte(Edit_INDICATIF, " f4abc ");
  s.Fixe_texte(DIVERS, "Ren\xE9 {Paris}");
  a.GESTION_PRELIMINAIRE_AUTEX();
  EXPECT_EQ(s.Texte(Edit_INDICATIF), "F4ABC");
  EXPECT_EQ(a.TEXTE_DIVERS, "RENE PARIS");
  EXPECT_EQ(a.TEXTE_CANAL, "F4ABC RENE PARIS");
  // A 10-character call sign leaves 21 characters to the free text; an odd channel gets a blank.
  s.Fixe_texte(Edit_INDICATIF, "ABCDEFGHIJ");
  s.Fixe_texte(DIVERS, std::string(30, 'X'));
  a.LIMITE_DIVERS();
  EXPECT_EQ(s.etat(DIVERS).longueur_max, 21);
  EXPECT_EQ(s.Texte(DIVERS), std::string(21, 'X'));
  s.Fixe_texte(DIVERS, "AB");
  s.Fixe_texte(Edit_INDICATIF, "F4AB");
  a.AFFICHE_CANAL_SECONDAIRE();
  EXPECT_EQ(a.TEXTE_CANAL, "F4AB AB ");
  // A call sign of 31 characters or more leaves no room, and the limit does not wrap.
  s.Fixe_texte(Edit_INDICATIF, std::string(40, 'A'));
  s.Fixe_texte(DIVERS, "abc");
  a.LIMITE_DIVERS();
  EXPECT_EQ(s.etat(DIVERS).longueur_max, 0);
  EXPECT_EQ(s.Texte(DIVERS), "");
  // Rotation: six characters give the pairs 0, 1, 2, the end sign at 3, then 0 again; 16 pairs no end sign.
  a.TEXTE_CANAL = "ABCDEF";
  a.INDEX_CANAL = 15;
  const std::string attendus[] = {autex::MOT_CANAL_SECONDAIRE(0, 'A', 'B'), autex::MOT_CANAL_SECONDAIRE(1, 'C', 'D'),
                                  autex::MOT_CANAL_SECONDAIRE(2, 'E', 'F'), autex::MOT_CANAL_SECONDAIRE(3, '^', '^'),
                                  autex::MOT_CANAL_SECONDAIRE(0, 'A', 'B')};
  for (const std::string& attendu : attendus) EXPECT_EQ(a.CANAL_SECONDAIRE(), attendu);
  a.TEXTE_CANAL = std::string(32, 'Z');
  a.INDEX_CANAL = 15;
  for (int k = 0; k < 40; ++k) EXPECT_NE(a.CANAL_SECONDAIRE().substr(4), autex::MOT_CANAL_SECONDAIRE(0, '^', '^').substr(4));
}

// ---------------------------------------------------------------------------------------------------------
// Session buttons
// ---------------------------------------------------------------------------------------------------------

namespace {
struct Boutons {
  bool lance_actif, lance_bas, fin_actif, fin_bas;
  std::vector<std::pair<bool, bool>> entrer, sortir;  // enabled, down per slot
};
Boutons BOUTONS(const Station& s) {
  const auto& f = s;
  Boutons b{f.Actif(LANCEMENT_REUNION), f.Enfonce(LANCEMENT_REUNION), f.Actif(FIN_REUNION),
            f.Enfonce(FIN_REUNION), {}, {}};
  for (int n = 1; n <= s.autex.SLOTS_EXISTANTS(); ++n) {
    b.entrer.emplace_back(f.Actif({ENTRER_DANS_LA_REUNION, n}), f.Enfonce({ENTRER_DANS_LA_REUNION, n}));
    b.sortir.emplace_back(f.Actif({SORTIR_DE_LA_REUNION, n}), f.Enfonce({SORTIR_DE_LA_REUNION, n}));
  }
  return b;
}
void VERIFIE_REPOS(const Station& s) {
  const Boutons b = BOUTONS(s);
  EXPECT_TRUE(b.lance_actif);
  EXPECT_FALSE(b.lance_bas);
  EXPECT_FALSE(b.fin_actif);
  EXPECT_TRUE(b.fin_bas);
  for (size_t n = 0; n < b.entrer.size(); ++n) {
    EXPECT_EQ(b.entrer[n], std::make_pair(false, false)) << n + 1;
    EXPECT_EQ(b.sortir[n], std::make_pair(false, true)) << n + 1;
  }
}
}  // namespace

TEST(Boutons, StatesAfterEachEntryPoint) {
  Simulation sim(15);
  auto& m = sim.ajoute_station("F1AAA", 1200);
  auto& u = sim.ajoute_station("F2BBB", 1200);
  VERIFIE_REPOS(m);
  VERIFIE_REPOS(u);
  // A refused call sign leaves the buttons idle.
  m.Fixe_texte(Edit_INDICATIF, "F1 AAA");
  m.Lance_reunion();
  VERIFIE_REPOS(m);
  EXPECT_TRUE(m.trames.empty());
  m.Fixe_texte(Edit_INDICATIF, "F1AAA");
  // The Master's call: only the end button is enabled.
  m.Lance_reunion();
  Boutons b = BOUTONS(m);
  EXPECT_FALSE(b.lance_actif);
  EXPECT_TRUE(b.fin_actif);
  EXPECT_EQ(b.entrer[0].first, false);
  EXPECT_EQ(b.sortir[0].first, false);
  // The user: the call heard enables the slot's enter button; entering leaves only its quit button enabled.
  ASSERT_TRUE(sim.avance_jusqu_a([&] { return u.cq_recu(); }, 20000));
  EXPECT_EQ(BOUTONS(u).entrer[0], std::make_pair(true, false));
  EXPECT_EQ(u.Texte({Label_CQ, 1}), "CQ de F1AAA");
  u.Entre(1);
  b = BOUTONS(u);
  EXPECT_FALSE(b.lance_actif);
  EXPECT_FALSE(b.fin_actif);
  EXPECT_EQ(b.entrer[0].first, false);
  EXPECT_EQ(b.sortir[0].first, true);
  ASSERT_TRUE(sim.avance_jusqu_a([&] { return m.connectee() && u.connectee(); }, 30000));
  EXPECT_EQ(m.etat_liaison(), "Connected");
  EXPECT_EQ(u.etat_liaison(), "Connected");
  EXPECT_EQ(m.Texte({Indicatif, 1}), "F2BBB");
  // A speed change during the session is refused and the buttons put back.
  EXPECT_FALSE(u.Vitesse(400));
  EXPECT_EQ(u.vitesse_enfoncee, 1200);
  EXPECT_EQ(u.info(), "A meeting is in progress. You must finish it first");
  // The end: both back to idle.
  m.Fin_reunion();
  b = BOUTONS(m);
  EXPECT_FALSE(b.fin_actif);
  ASSERT_TRUE(sim.avance_jusqu_a([&] { return !m.connectee() && !u.connectee(); }, 60000));
  VERIFIE_REPOS(m);
  VERIFIE_REPOS(u);
  EXPECT_EQ(u.autex.NUMERO_SLOT, 1);
  EXPECT_TRUE(u.Vitesse(400));
  EXPECT_EQ(u.vitesse_enfoncee, 400);
}

TEST(Boutons, MeetingSlotsAndAStaleOffer) {
  Simulation sim(16);
  auto& m = sim.ajoute_station("F1AAA", 1200, 7);
  auto& u = sim.ajoute_station("F5EEE", 1200, 7);
  VERIFIE_REPOS(u);
  EXPECT_EQ(BOUTONS(u).entrer.size(), 6u);
  m.Lance_reunion();
  ASSERT_TRUE(sim.avance_jusqu_a([&] { return u.Texte({Label_CQ, 6}) == "CQ de F1AAA"; }, 20000));
  for (int n = 1; n <= 6; ++n) {
    EXPECT_TRUE(u.Actif({ENTRER_DANS_LA_REUNION, n})) << n;
    EXPECT_EQ(u.Texte({Label_CQ, n}), "CQ de F1AAA") << n;
  }
  // The Master goes away; 21 s after the last offer the slot can no longer be entered.
  m.module.hors_antenne = true;
  const uint32_t dernier = u.autex.T_CQ_RECU_SLOT[4];
  sim.avance_jusqu_a([&] { return sim.horloge.timeGetTime() - dernier >= 21000; }, 60000);
  u.dialogues.clear();
  u.Fixe_actif({ENTRER_DANS_LA_REUNION, 4}, true);
  u.Entre(4);
  ASSERT_FALSE(u.dialogues.empty());
  EXPECT_EQ(u.dialogues.back(), "No \"CQ meeting\" received recently (<1 minute)");
  VERIFIE_REPOS(u);
  EXPECT_EQ(u.autex.DEMANDE_CONNEXION, 0);
  EXPECT_EQ(u.Texte({Label_CQ, 4}), "");
}

// ---------------------------------------------------------------------------------------------------------
// Set-up
// ---------------------------------------------------------------------------------------------------------

TEST(Parametres, ReceiveParametersByRoleAndSize) {
  Simulation sim(17);
  auto& s = sim.ajoute_station("F1AAA", 1200);
  auto& a = s.autex;
  struct Cas {
    int participants;
    int maitre;
    int n, longueur, emise, attendue, seuil1;
  };
  const Cas cas[] = {{2, 0, 10, 32, 20, 20, 9},  {2, 1, 10, 32, 20, 20, 9},  {4, 1, 12, 34, 26, 22, 10},
                     {7, 1, 14, 36, 28, 24, 11}, {13, 1, 20, 42, 28, 30, 14}, {4, 0, 16, 38, 20, 26, 12},
                     {7, 0, 18, 40, 24, 28, 13}, {13, 0, 18, 40, 30, 28, 13}};
  for (const Cas& c : cas) {
    SCOPED_TRACE(std::to_string(c.participants) + (c.maitre ? " Master" : " user"));
    a.NOMBRE_PARTICIPANTS = uint8_t(c.participants);
    a.GESTION_PRELIMINAIRE_AUTEX();
    a.STATION_MAITRE = uint8_t(c.maitre);
    a.INITIALISATION_PARAMETRES_RX_AUTEX();
    EXPECT_EQ(a.NB_BITS_DP_ATTENDUS, c.n);
    EXPECT_EQ(a.LONGUEUR_MOT_DP, c.longueur);
    EXPECT_EQ(a.NB_ZEROS_DP, 21 - c.n);
    EXPECT_EQ(a.MODELE_ZERO_DP, std::string(size_t(3 * c.longueur), '0'));
    EXPECT_EQ(a.FENETRE_DP.size(), size_t(3 * c.longueur));
    EXPECT_EQ(a.SIGNATURE_EMISE, autex::SIGNATURE_0011(size_t(c.emise)));
    EXPECT_EQ(a.SIGNATURE_ATTENDUE, autex::SIGNATURE_0011(size_t(c.attendue)));
    EXPECT_EQ(a.SEUIL_ERREURS_DP_1, c.seuil1);
    EXPECT_EQ(a.NOMBRE_UTILISATEURS, c.participants - 1);
  }
  // The Master keeps the second threshold of the previous set-up; a link sets 7 again.
  a.NOMBRE_PARTICIPANTS = 7;
  a.GESTION_PRELIMINAIRE_AUTEX();
  a.INITIALISATION_PARAMETRES_RX_AUTEX();
  EXPECT_EQ(a.SEUIL_ERREURS_DP_2, 11);
  a.STATION_MAITRE = 1;
  a.INITIALISATION_PARAMETRES_RX_AUTEX();
  EXPECT_EQ(a.SEUIL_ERREURS_DP_2, 11);
  a.NOMBRE_PARTICIPANTS = 2;
  a.GESTION_PRELIMINAIRE_AUTEX();
  a.INITIALISATION_PARAMETRES_RX_AUTEX();
  EXPECT_EQ(a.SEUIL_ERREURS_DP_2, 7);
}

TEST(Parametres, TimeOutsBySpeedAndTransceiver) {
  Simulation sim(18);
  auto& s = sim.ajoute_station("F1AAA", 1200);
  auto& a = s.autex;
  const uint32_t lien[3][4] = {{3500, 7500, 5000, 19000}, {5500, 9500, 7100, 27000}, {10000, 14000, 11900, 45000}};
  for (int k = 0; k < 3; ++k) {
    a.Vitesse_AUTEX = uint16_t(VITESSES[k]);
    for (const char* module : {"", "DRF1278DM"}) {
      a.Nom_transceiver = module;
      a.INITIALISATION_PARAMETRES_RX_AUTEX();
      const int j = *module ? 0 : k;
      EXPECT_EQ(a.DELAI_REPONSE, lien[j][0]);
      EXPECT_EQ(a.PERIODE_CQ_LIEN, lien[j][1]);
      EXPECT_EQ(a.DELAI_FIN_SESSION, lien[j][2]);
      EXPECT_EQ(a.DELAI_PERTE_MAITRE, lien[j][3]);
    }
  }
  const uint32_t reunion[3][3] = {{8500, 29000, 15000}, {9900, 33000, 18000}, {16000, 58000, 24000}};
  const int tailles[] = {4, 7, 13};
  for (int k = 0; k < 3; ++k) {
    a.NOMBRE_PARTICIPANTS = uint8_t(tailles[k]);
    a.GESTION_PRELIMINAIRE_AUTEX();
    a.Vitesse_AUTEX = 171;
    a.INITIALISATION_PARAMETRES_RX_AUTEX();
    EXPECT_EQ(a.DELAI_REPONSE, 5200u);
    EXPECT_EQ(a.DELAI_FIN_SESSION, reunion[k][0]);
    EXPECT_EQ(a.DELAI_PERTE_MAITRE, reunion[k][1]);
    EXPECT_EQ(a.DELAI_TENTATIVE, reunion[k][2]);
  }
  // The answer windows of a meeting.
  a.NOMBRE_PARTICIPANTS = 4;
  a.GESTION_PRELIMINAIRE_AUTEX();
  EXPECT_EQ(a.BORNE_INF_REPONSE[0], 1007);
  EXPECT_EQ(a.BORNE_SUP_REPONSE[0], 3983);
  EXPECT_EQ(a.BORNE_INF_REPONSE[3], 287);
  EXPECT_EQ(a.BORNE_SUP_REPONSE[3], 1031);
  EXPECT_EQ(a.VALEUR_REPONSE(1), 0);
  EXPECT_TRUE(a.DANS_FENETRE_REPONSE(2, 1000));
  EXPECT_TRUE(a.DANS_FENETRE_REPONSE(2, 1200));
  EXPECT_FALSE(a.DANS_FENETRE_REPONSE(2, 1201));
  EXPECT_TRUE(a.DANS_SECONDE_FENETRE(1, 3000));
  EXPECT_FALSE(a.DANS_SECONDE_FENETRE(3, 4999));
}

TEST(Trace, TimeStampsAndTheSwitch) {
  Simulation sim(19);
  sim.horloge.setUtc(1798761600000LL + ((7 * 60 + 5) * 60 + 9) * 1000LL + 42);  // 2027-01-01 07:05:09.042 UTC
  auto& s = sim.ajoute_station("F1AAA", 1200);
  EXPECT_EQ(s.autex.HEURE_SYSTEME(), "07:05:09:042");
  sim.horloge.setLocalOffsetMinutes(-122);
  EXPECT_EQ(s.autex.HEURE_LOCALE(), "05:03");
  // A whole session with the switch off writes no trace; the information line's time is still kept.
  auto& u = sim.ajoute_station("F2BBB", 1200);
  ASSERT_TRUE(CONNECTE_LIEN(sim, s, u));
  EXPECT_TRUE(s.autex.TRACE_AUTEX.empty());
  EXPECT_NE(s.autex.T_MESSAGE_INFO, 0u);
  // The information line is emptied 15 s after it was last written.
  auto& w = sim.ajoute_station("F3CCC", 1200);
  w.module.hors_antenne = true;
  w.Fixe_texte(Label_Info_AUTEX, "x");
  w.autex.TRACE_INFO();
  sim.avance(14990);
  EXPECT_EQ(w.info(), "x");
  sim.avance(20);
  EXPECT_EQ(w.info(), "");
}

// ---------------------------------------------------------------------------------------------------------
// Two sessions in a row
// ---------------------------------------------------------------------------------------------------------

TEST(Sessions, TwoSessionsInARowAreTheSame) {
  Simulation sim(20, Bruit(), 1);
  auto& m = sim.ajoute_station("F1AAA", 400);
  auto& u = sim.ajoute_station("F2BBB", 400);
  struct Releve {
    std::vector<std::string> trames_m, trames_u, infos_m, infos_u;
    std::string fenetre_m, fenetre_u;
  };
  auto session = [&](bool fin_par_maitre) {
    const size_t tm = m.trames.size(), tu = u.trames.size(), im = m.infos.size(), iu = u.infos.size();
    const size_t fu = u.texte_fenetre(0).size();
    EXPECT_TRUE(CONNECTE_LIEN(sim, m, u));
    for (int k = 0; k < 3; ++k) {
      m.Envoie(std::string("master line ").append(std::to_string(k)));
      u.Envoie(std::string("USER LINE ").append(std::to_string(k)));
    }
    EXPECT_TRUE(sim.avance_jusqu_a([&] { return m.file_vide() && u.file_vide() && m.autex.ACQUITTEMENT_ATTENDU == 0 &&
                                                u.autex.ACQUITTEMENT_ATTENDU == 0; },
                                   120000));
    if (fin_par_maitre)
      m.Fin_reunion();
    else
      u.Sort(1);
    EXPECT_TRUE(sim.avance_jusqu_a([&] { return !m.connectee() && !u.connectee(); }, 120000));
    sim.avance(20000);
    Releve r;
    r.trames_m.assign(m.trames.begin() + std::ptrdiff_t(tm), m.trames.end());
    r.trames_u.assign(u.trames.begin() + std::ptrdiff_t(tu), u.trames.end());
    r.infos_m.assign(m.infos.begin() + std::ptrdiff_t(im), m.infos.end());
    r.infos_u.assign(u.infos.begin() + std::ptrdiff_t(iu), u.infos.end());
    // The information line's resting text is no event of the session.
    for (auto* infos : {&r.infos_m, &r.infos_u})
      std::erase(*infos, std::string("Display and control window for the AUTEX modes"));
    r.fenetre_m = m.texte_fenetre(1);
    r.fenetre_u = u.texte_fenetre(0).substr(fu);
    return r;
  };
  for (const bool fin_par_maitre : {true, false}) {
    SCOPED_TRACE(fin_par_maitre ? "ended by the Master" : "ended by the user");
    const Releve a = session(fin_par_maitre);
    const Releve b = session(fin_par_maitre);
    EXPECT_EQ(a.trames_m.size(), b.trames_m.size());
    EXPECT_TRUE(a.trames_m == b.trames_m);
    EXPECT_TRUE(a.trames_u == b.trames_u);
    EXPECT_EQ(a.infos_m, b.infos_m);
    EXPECT_EQ(a.infos_u, b.infos_u);
    EXPECT_EQ(a.fenetre_m, b.fenetre_m);
    EXPECT_EQ(a.fenetre_u, b.fenetre_u);
    EXPECT_NE(a.fenetre_u.find("master line 2"), std::string::npos);
  }
}
