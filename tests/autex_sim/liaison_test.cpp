// Two stations linked through the simulated air: connection and messages both ways.
#include <gtest/gtest.h>

#include "tests/autex_sim/autex_sim.h"

using autexsim::Simulation;

TEST(Liaison, ConnectsAndCarriesOneMessageEachWay) {
  Simulation sim(1);
  auto& m = sim.ajoute_station("F1AAA", 1200);
  auto& u = sim.ajoute_station("F2BBB", 1200);
  m.Lance_reunion();
  ASSERT_TRUE(sim.avance_jusqu_a([&] { return u.cq_recu(); }, 20000));
  u.Entre(1);
  ASSERT_TRUE(sim.avance_jusqu_a([&] { return m.connectee() && u.connectee(); }, 30000));
  ASSERT_TRUE(m.Envoie("hello from master"));
  ASSERT_TRUE(u.Envoie("hello from user"));
  sim.avance(20000);
  // On a link the message's start code becomes a line break.
  EXPECT_EQ(u.texte_fenetre(0), "\r\nhello from master");
  EXPECT_EQ(m.texte_fenetre(1), "F1AAA < F2BBB\r\n\r\nhello from user");
}
