// Two stations linked through the simulated air: connection, messages both ways through noise, the ends of a
// link, the time-outs, a listener that changes speed, and the clock's wrap.
#include <gtest/gtest.h>

#include "tests/autex_sim/outils_test.h"

using namespace autexsim;
using enum autex::NomElement;

namespace {

// Messages alternately of lower-case words (packed in varicode) and of accented capitals (sent 8-bit).
std::string MESSAGE(char qui, int i) {
  if (i % 2 == 0) return std::string(1, qui) + std::to_string(i) + " hello there, this is a long test line";
  return std::string(1, qui) + std::to_string(i) + " \xC0 L'\xC9T\xC9 \xC0 \xC9LISE \xC0 \xC9VIAN \xC0 \xC9TRETAT";
}

// The codings (KD3 '0', '1') of the text blocks a station sent.
std::pair<int, int> CODAGES(const Station& s, int vitesse, bool maitre, const std::string& adresse) {
  int huit = 0, varicode = 0;
  for (const std::string& t : s.trames) {
    const auto r = ANALYSE_TRANSMISSION(t, vitesse, 2, maitre, [&](int) { return adresse; });
    if (r.sections.empty() || !r.sections[0].bloc.present || r.sections[0].bloc.texte.empty()) continue;
    if (!r.sections[0].dp.bch_ok) continue;
    (r.sections[0].bloc.entete[2] == '1' ? varicode : huit)++;
  }
  return {huit, varicode};
}

struct Cas {
  int vitesse;
  uint32_t tick;
  bool rafales;
};

}  // namespace

TEST(Liaison, TwentyMessagesEachWayThroughNoiseDeliveredOnceAndInOrder) {
  const Cas cas[] = {{1200, 1, false}, {400, 1, false}, {171, 1, false}, {1200, 16, false}, {400, 16, false},
                     {171, 16, false}, {1200, 1, true},  {400, 16, true},  {171, 1, true}};
  uint64_t graine = 100;
  for (const Cas& c : cas) {
    SCOPED_TRACE(std::to_string(c.vitesse) + std::string(" bauds, tick ").append(std::to_string(c.tick)) +
                 (c.rafales ? " ms, bursts" : " ms"));
    Bruit bruit;
    bruit.ber = 1e-3;
    if (c.rafales) {
      bruit.rafale_proba = 0.003;
      bruit.rafale_octets = 12;
      bruit.parasite_proba = 0.005;
    }
    Simulation sim(++graine, bruit, c.tick);
    auto& m = sim.ajoute_station("F1AAA", uint16_t(c.vitesse));
    auto& u = sim.ajoute_station("F2BBB", uint16_t(c.vitesse));
    ASSERT_TRUE(CONNECTE_LIEN(sim, m, u));
    EXPECT_EQ(m.etat_liaison(), "Connected");
    EXPECT_EQ(u.etat_liaison(), "Connected");
    const std::string avant_m = m.texte_fenetre(1), avant_u = u.texte_fenetre(0);
    std::string attendu_m, attendu_u;
    for (int i = 0; i < 20; ++i) {
      ASSERT_TRUE(m.Envoie(MESSAGE('M', i)));
      attendu_u += MESSAGE('M', i) + "\r\n";
      ASSERT_TRUE(u.Envoie(MESSAGE('U', i)));
      attendu_m += MESSAGE('U', i) + "\r\n";
    }
    // Each side's window of the other shows every message once, in order, and nothing else.
    const bool livre = sim.avance_jusqu_a(
        [&] { return u.texte_fenetre(0).size() >= avant_u.size() + attendu_u.size() &&
                     m.texte_fenetre(1).size() >= avant_m.size() + attendu_m.size(); },
        3600000);
    EXPECT_TRUE(livre) << m.info() << " / " << u.info();
    sim.avance(30000);
    EXPECT_TRUE(u.texte_fenetre(0) == avant_u + attendu_u);
    EXPECT_TRUE(m.texte_fenetre(1) == avant_m + attendu_m);
    EXPECT_TRUE(m.connectee() && u.connectee());
    // Both codings went over the air, each way.
    const auto cm = CODAGES(m, c.vitesse, true, "F2BBB"), cu = CODAGES(u, c.vitesse, false, "F1AAA");
    EXPECT_GE(cm.first, 1);
    EXPECT_GE(cm.second, 1);
    EXPECT_GE(cu.first, 1);
    EXPECT_GE(cu.second, 1);
    EXPECT_GT(sim.octets_corrompus, 0u);
  }
}

TEST(Liaison, SlowModuleSettingsConnectAndCarryMessages) {
  // A radio module on slow LoRa settings radiates 30 to 60 bytes a second where the paced writer counts 120: a
  // frame at 171 bauds stays on the air up to 12 s, and the receiving module hands it over a packet of 64
  // bytes every 2 s. The link still connects and carries a message each way, at every speed.
  uint64_t graine = 900;
  for (const uint32_t debit : {30u, 40u, 60u, 120u}) {
    for (const int v : {1200, 400, 171}) {
      SCOPED_TRACE(std::to_string(v) + " bauds, " + std::to_string(debit) + " bytes a second on the air");
      Simulation sim(++graine);
      sim.debit_air = debit;
      auto& m = sim.ajoute_station("F1AAA", uint16_t(v));
      auto& u = sim.ajoute_station("F2BBB", uint16_t(v));
      ASSERT_TRUE(CONNECTE_LIEN(sim, m, u)) << m.info() << " / " << u.info();
      const std::string avant_m = m.texte_fenetre(1), avant_u = u.texte_fenetre(0);
      ASSERT_TRUE(m.Envoie("from the Master on a slow module"));
      ASSERT_TRUE(u.Envoie("AND FROM THE USER"));
      EXPECT_TRUE(sim.avance_jusqu_a(
          [&] {
            return u.texte_fenetre(0) == avant_u + "from the Master on a slow module\r\n" &&
                   m.texte_fenetre(1) == avant_m + "AND FROM THE USER\r\n";
          },
          600000))
          << m.info() << " / " << u.info();
      EXPECT_TRUE(m.connectee() && u.connectee());
      EXPECT_FALSE(m.a_vu("No reception of the user"));
    }
  }
}

TEST(Liaison, EndOfLinkFromEitherSide) {
  for (const int v : {1200, 171}) {
    for (const bool par_maitre : {true, false}) {
      SCOPED_TRACE(std::to_string(v) + (par_maitre ? " ended by the Master" : " ended by the user"));
      Simulation sim(21);
      auto& m = sim.ajoute_station("F1AAA", uint16_t(v));
      auto& u = sim.ajoute_station("F2BBB", uint16_t(v));
      ASSERT_TRUE(CONNECTE_LIEN(sim, m, u));
      sim.avance(3000);
      Station& demandeur = par_maitre ? m : u;
      Station& autre = par_maitre ? u : m;
      if (par_maitre)
        m.Fin_reunion();
      else
        u.Sort(1);
      EXPECT_TRUE(demandeur.a_vu("End of meeting required by me"));
      ASSERT_TRUE(sim.avance_jusqu_a([&] { return !m.connectee() && !u.connectee(); }, 120000));
      EXPECT_TRUE(demandeur.a_vu("End of meeting request sent by me"));
      EXPECT_TRUE(autre.a_vu(par_maitre ? "End of meeting required by the Master" : "End of meeting required by the user"));
      EXPECT_TRUE(autre.a_vu("End of meeting acknowledgment sent"));
      EXPECT_TRUE(demandeur.a_vu("End of meeting accepted"));
      EXPECT_TRUE(autre.a_vu("End of meeting completed"));
      for (Station* s : {&m, &u}) {
        EXPECT_EQ(s->etat_liaison(), "Disconnected");
        EXPECT_EQ(s->autex.STATION_MAITRE, 0);
        EXPECT_EQ(s->autex.MODE_AUTEX, 1);
        EXPECT_EQ(s->autex.FIN_LIEN_EN_COURS, 0);
      }
    }
  }
}

TEST(Liaison, ALostMasterEndsTheUsersSession) {
  const struct {
    int vitesse;
    uint32_t delai;
  } cas[] = {{1200, 19000}, {400, 27000}, {171, 45000}};
  for (const auto& c : cas) {
    SCOPED_TRACE(c.vitesse);
    Simulation sim(22);
    auto& m = sim.ajoute_station("F1AAA", uint16_t(c.vitesse));
    auto& u = sim.ajoute_station("F2BBB", uint16_t(c.vitesse));
    ASSERT_TRUE(CONNECTE_LIEN(sim, m, u));
    sim.avance(2000);
    m.module.hors_antenne = true;
    // The time of the last Master frame the user heard (a packet already on the air still arrives).
    uint32_t dernier = 0;
    ASSERT_TRUE(sim.avance_jusqu_a(
        [&] {
          if (u.connectee()) dernier = u.autex.T_RECEPTION_MAITRE;
          return !u.connectee();
        },
        200000));
    const uint32_t ecoule = sim.horloge.timeGetTime() - dernier;
    EXPECT_GT(ecoule, c.delai);
    EXPECT_LE(ecoule, c.delai + 20);
    EXPECT_TRUE(u.a_vu("End of meeting by loss of the Master"));
    EXPECT_EQ(u.etat_liaison(), "Disconnected");
  }
}

TEST(Liaison, AnUnansweredCallExpires) {
  Simulation sim(23);
  auto& m = sim.ajoute_station("F1AAA", 1200);
  auto& u = sim.ajoute_station("F2BBB", 1200);
  m.Lance_reunion();
  ASSERT_TRUE(sim.avance_jusqu_a([&] { return u.cq_recu(); }, 20000));
  EXPECT_EQ(u.autex.INDICATIF_MAITRE, "F1AAA");
  EXPECT_EQ(u.Texte({Label_CQ, 1}), "CQ de F1AAA");
  m.module.hors_antenne = true;
  const uint32_t recu = u.autex.T_CQ_RECU;
  // The offer stays valid 20 s, then the Master's call sign is forgotten and the slot closed.
  sim.avance_jusqu_a([&] { return sim.horloge.timeGetTime() - recu >= 20000; }, 30000);
  EXPECT_EQ(u.autex.INDICATIF_MAITRE, "F1AAA");
  ASSERT_TRUE(sim.avance_jusqu_a([&] { return u.autex.INDICATIF_MAITRE.empty(); }, 100));
  EXPECT_EQ(u.Texte({Label_CQ, 1}), "");
  EXPECT_FALSE(u.Actif({ENTRER_DANS_LA_REUNION, 1}));
  // Pressing "enter" now is refused.
  u.Fixe_actif({ENTRER_DANS_LA_REUNION, 1}, true);
  u.Entre(1);
  ASSERT_FALSE(u.dialogues.empty());
  EXPECT_EQ(u.dialogues.back(), "No \"CQ meeting\" received recently (<1 minute)");
  EXPECT_EQ(u.autex.DEMANDE_CONNEXION, 0);
  sim.avance(10000);
  EXPECT_TRUE(u.trames.empty());
}

TEST(Liaison, AListenerTakesTheSpeedItHears) {
  for (const int v : {400, 171}) {
    SCOPED_TRACE(v);
    Simulation sim(24);
    auto& m = sim.ajoute_station("F1AAA", uint16_t(v));
    auto& u = sim.ajoute_station("F2BBB", 1200);
    m.Lance_reunion();
    ASSERT_TRUE(sim.avance_jusqu_a([&] { return u.autex.Vitesse_AUTEX == v; }, 20000));
    EXPECT_EQ(u.vitesse_enfoncee, v);
    // The block behind the burst that changed the speed is read at the new speed: the call is heard at once.
    ASSERT_TRUE(sim.avance_jusqu_a([&] { return u.cq_recu(); }, 20000));
    EXPECT_EQ(u.autex.INDICATIF_MAITRE, "F1AAA");
    u.Entre(1);
    ASSERT_TRUE(sim.avance_jusqu_a([&] { return m.connectee() && u.connectee(); }, 60000));
    m.Envoie("same speed now");
    ASSERT_TRUE(sim.avance_jusqu_a([&] { return u.texte_fenetre(0) == "same speed now\r\n"; }, 60000));
  }
}

TEST(Liaison, AConnectionAttemptAnsweredByAnotherCallFails) {
  Simulation sim(25);
  auto& m = sim.ajoute_station("F1AAA", 1200);
  auto& u = sim.ajoute_station("F2BBB", 1200);
  m.Lance_reunion();
  ASSERT_TRUE(sim.avance_jusqu_a([&] { return u.cq_recu(); }, 20000));
  // The Master does not hear the attempt: its next call, addressed to nobody, fails the user's check word.
  m.module.hors_antenne = true;
  u.Entre(1);
  ASSERT_TRUE(sim.avance_jusqu_a([&] { return u.autex.TENTATIVE_EN_COURS == 1; }, 10000));
  ASSERT_TRUE(sim.avance_jusqu_a([&] { return u.module.a_emettre.empty() && !u.module.emet; }, 10000));
  sim.avance(100);
  m.module.hors_antenne = false;
  ASSERT_TRUE(sim.avance_jusqu_a([&] { return u.autex.TENTATIVE_EN_COURS == 0; }, 20000));
  EXPECT_TRUE(u.a_vu("Connection failure"));
  EXPECT_FALSE(u.connectee());
  EXPECT_EQ(u.etat_liaison(), "Disconnected");
  EXPECT_FALSE(m.connectee());
}

TEST(Liaison, AcrossTheWrapOfTheClock) {
  {
    // Connection and messages while the millisecond clock wraps.
    Simulation sim(26);
    sim.horloge.setTicks(0xFFFFFFFFu - 300u);
    auto& m = sim.ajoute_station("F1AAA", 1200);
    auto& u = sim.ajoute_station("F2BBB", 1200);
    ASSERT_TRUE(CONNECTE_LIEN(sim, m, u));
    for (int i = 0; i < 4; ++i) {
      m.Envoie(std::string("wrap ").append(std::to_string(i)));
      u.Envoie(std::string("WRAP ").append(std::to_string(i)));
    }
    ASSERT_TRUE(sim.avance_jusqu_a([&] { return u.texte_fenetre(0) == "wrap 0\r\nwrap 1\r\nwrap 2\r\nwrap 3\r\n"; },
                                   120000));
    EXPECT_LT(sim.horloge.timeGetTime(), 0x80000000u);  // the clock wrapped meanwhile
  }
  {
    // A time-out that runs across the wrap ends after its length, not before.
    Simulation sim(27);
    sim.horloge.setTicks(0xFFFFFFFFu - 8000u);
    auto& m = sim.ajoute_station("F1AAA", 1200);
    auto& u = sim.ajoute_station("F2BBB", 1200);
    ASSERT_TRUE(CONNECTE_LIEN(sim, m, u));
    m.module.hors_antenne = true;
    uint32_t dernier = 0;
    ASSERT_TRUE(sim.avance_jusqu_a(
        [&] {
          if (u.connectee()) dernier = u.autex.T_RECEPTION_MAITRE;
          return !u.connectee();
        },
        60000));
    EXPECT_GT(dernier, 0x80000000u);
    EXPECT_LT(sim.horloge.timeGetTime(), 0x80000000u);
    EXPECT_GT(sim.horloge.timeGetTime() - dernier, 19000u);
    EXPECT_LT(sim.horloge.timeGetTime() - dernier, 19100u);
  }
}

TEST(Simulation, ThirteenStationsHearTheMeetingCall) {
  // The Master of a meeting of 13 and twelve listeners on the same air: each listener is offered every slot.
  Simulation sim(28, Bruit(), 16);
  auto& m = sim.ajoute_station("F1AAA", 1200, 13, 9600);
  std::vector<Station*> auditeurs;
  for (int k = 1; k <= 12; ++k) auditeurs.push_back(&sim.ajoute_station(std::string("F").append(std::to_string(k)) + "ZZ", 1200, 13, 9600));
  m.Lance_reunion();
  ASSERT_TRUE(sim.avance_jusqu_a(
      [&] {
        for (const Station* a : auditeurs)
          if (a->Texte({Label_CQ, 12}) != "CQ de F1AAA") return false;
        return true;
      },
      30000));
  for (const Station* a : auditeurs)
    for (int n = 1; n <= 12; ++n) {
      EXPECT_EQ(a->Texte({Label_CQ, n}), "CQ de F1AAA") << a->indicatif << " S" << n;
      EXPECT_TRUE(a->Actif({ENTRER_DANS_LA_REUNION, n})) << a->indicatif << " S" << n;
    }
  EXPECT_EQ(sim.collisions, 0u);
}
