// Two stations linked through the radio module simulator's own modules and air (tools/module_simulator), in
// simulated time: each station's serial port talks to a simulated module, whose air rate follows its LoRa
// settings or is fixed, and whose packets reach the other module when they end.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "tests/autex_sim/air_du_simulateur.h"
#include "tests/autex_sim/outils_test.h"

using namespace autexsim;

namespace {

modsim::Parameters PARAMETRES(uint8_t code_vitesse, uint8_t facteur, uint8_t bande) {
  modsim::Parameters p = modsim::kFactoryParameters;
  p[0] = code_vitesse;
  p[5] = facteur;
  p[7] = bande;
  return p;
}

// Connects a link, then one message each way; true when both are shown.
::testing::AssertionResult LIAISON(Simulation& sim, Station& m, Station& u) {
  if (!CONNECTE_LIEN(sim, m, u)) return ::testing::AssertionFailure() << "no link: " << m.info() << " / " << u.info();
  const std::string avant_m = m.texte_fenetre(1), avant_u = u.texte_fenetre(0);
  m.Envoie("over the simulator's air");
  u.Envoie("ET RETOUR");
  if (!sim.avance_jusqu_a(
          [&] {
            return u.texte_fenetre(0) == avant_u + "over the simulator's air\r\n" &&
                   m.texte_fenetre(1) == avant_m + "ET RETOUR\r\n";
          },
          600000))
    return ::testing::AssertionFailure() << "messages not shown: " << m.info() << " / " << u.info();
  if (!m.connectee() || !u.connectee()) return ::testing::AssertionFailure() << "link dropped";
  return ::testing::AssertionSuccess();
}

}  // namespace

TEST(ModulesSimules, ALinkAtEverySpeedWithModulesDeliveringThirtyToOneHundredTwentyBytesASecond) {
  uint64_t graine = 950;
  for (const double debit : {30.0, 40.0, 60.0, 120.0}) {
    for (const int v : {1200, 400, 171}) {
      SCOPED_TRACE(std::to_string(v) + " bauds, " + std::to_string(int(debit)) + " bytes a second");
      Simulation sim(++graine);
      sim.debit_air = uint32_t(debit);
      AirDuSimulateur air(sim, {PARAMETRES(1, 0x0A, 0x07), PARAMETRES(1, 0x0A, 0x07)}, debit);
      auto& m = sim.ajoute_station("F1AAA", uint16_t(v));
      auto& u = sim.ajoute_station("F2BBB", uint16_t(v));
      EXPECT_TRUE(LIAISON(sim, m, u));
      // Everything went through the simulator's modules, none of it lost.
      EXPECT_GT(air.modules[0].counters().airSent, 100u);
      EXPECT_EQ(air.modules[1].counters().airReceived, air.modules[0].counters().airSent);
      EXPECT_EQ(air.modules[0].counters().overflow + air.modules[1].counters().overflow, 0u);
      std::printf("[ %d bauds, %d bytes/s ] %llu bytes on the air, %.1f s simulated\n", v, int(debit),
                  (unsigned long long)(air.modules[0].counters().airSent + air.modules[1].counters().airSent),
                  double(sim.ms_ecoulees) / 1000.0);
    }
  }
}

TEST(ModulesSimules, TheModulesLoRaSettingsGiveTheirRate) {
  // Modules left at their own spreading factor of 2048 chips at 125 kHz (41 bytes a second), on 9600-baud
  // lines; the stations know the rate from the same settings.
  for (const int v : {1200, 171}) {
    SCOPED_TRACE(v);
    Simulation sim(960);
    AirDuSimulateur air(sim, {PARAMETRES(4, 0x0B, 0x07), PARAMETRES(4, 0x0B, 0x07)}, 0.0);
    const double debit = air.modules[0].airRate();
    EXPECT_GT(debit, 40.0);
    EXPECT_LT(debit, 42.0);
    sim.debit_air = uint32_t(debit);
    auto& m = sim.ajoute_station("F1AAA", uint16_t(v), 2, 9600);
    auto& u = sim.ajoute_station("F2BBB", uint16_t(v), 2, 9600);
    EXPECT_TRUE(LIAISON(sim, m, u));
  }
}
