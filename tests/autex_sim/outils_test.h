#pragma once
// Helpers of the AUTEX tests: connecting two stations as their operators would, reading DP fields.
#include <gtest/gtest.h>

#include <string>

#include "tests/autex_sim/analyse_trame.h"
#include "tests/autex_sim/autex_sim.h"

namespace autexsim {

// The Master calls, the user enters slot 1 when the call is heard and presses again after a failed attempt.
inline bool CONNECTE_LIEN(Simulation& sim, Station& m, Station& u, uint32_t max_ms = 300000) {
  m.Lance_reunion();
  const uint64_t fin = sim.ms_ecoulees + max_ms;
  while (sim.ms_ecoulees < fin) {
    if (!sim.avance_jusqu_a([&] { return u.cq_recu() || (m.connectee() && u.connectee()); },
                            uint32_t(fin - sim.ms_ecoulees)))
      return false;
    if (m.connectee() && u.connectee()) return true;
    u.Entre(1);
    if (sim.avance_jusqu_a(
            [&] { return (m.connectee() && u.connectee()) || (!u.connectee() && u.autex.TENTATIVE_EN_COURS == 0 &&
                                                                 u.autex.DEMANDE_CONNEXION == 0); },
            uint32_t(fin - sim.ms_ecoulees)) &&
        m.connectee() && u.connectee())
      return true;
  }
  return false;
}

// A link user in session with the Master F1AAA, as the connection leaves it.
inline void UTILISATEUR_EN_SESSION(Simulation& sim, Station& u) {
  auto& a = u.autex;
  a.SESSION_EN_COURS = 1;
  a.STATION_MAITRE = 0;
  a.INDICATIF_MAITRE = "F1AAA";
  a.INDICATIF_CONNEXION = u.indicatif;
  a.T_RECEPTION_MAITRE = sim.horloge.timeGetTime();
}

// Fields of a link DP word.
struct ChampsLien {
  char role, BA, BE, BM;
  int F5;
};
inline ChampsLien CHAMPS_LIEN(const std::string& mot) {
  return {BIT_DP(mot, 2), BIT_DP(mot, 3), BIT_DP(mot, 4), BIT_DP(mot, 5), ENTIER_DP(mot, 6, 5)};
}

// Transmissions of two stations in the order they were queued.
struct TrameDatee {
  uint32_t instant;
  const Station* station;
  std::string octets;
};
inline std::vector<TrameDatee> CHRONOLOGIE(const Station& a, const Station& b) {
  std::vector<TrameDatee> t;
  for (size_t i = 0; i < a.trames.size(); ++i) t.push_back({a.instants[i], &a, a.trames[i]});
  for (size_t i = 0; i < b.trames.size(); ++i) t.push_back({b.instants[i], &b, b.trames[i]});
  std::stable_sort(t.begin(), t.end(), [](const TrameDatee& x, const TrameDatee& y) { return x.instant < y.instant; });
  return t;
}

// Expected framed size of a transmission of `bits` bits at a speed.
inline size_t TAILLE_TRAME(size_t bits, int vitesse) {
  return 1 + (bits + 7) / 8 + size_t(autex::FACTEUR_REPETITION(vitesse));
}

// A text with the in-band framing of a typed message.
inline std::string MESSAGE_ENCADRE(const std::string& texte) {
  return std::string("\x03\x01", 2) + texte + std::string("\x03\x00", 2);
}

}  // namespace autexsim
