#pragma once
// Helpers of the meeting scenarios: a Master and its users on the simulated air, entering slots as operators
// do, sending messages, and reading what every station's windows show.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/autex_sim/outils_test.h"

namespace autexsim {

// A meeting on one simulated air: the Master (stations[0]) and the stations that may enter it.
struct Reunion {
  Reunion(int participants, uint16_t vitesse, uint64_t graine, Bruit bruit = Bruit(), uint32_t tick = 1,
          uint16_t port = 9600, int stations = 0, uint32_t debit_air = 0)
      : sim(graine, bruit, tick), P(participants), v(vitesse) {
    sim.debit_air = debit_air;
    m = &sim.ajoute_station("F1AAA", vitesse, uint8_t(participants), port);
    const int n = stations > 0 ? stations : participants - 1;
    for (int k = 0; k < n; ++k)
      u.push_back(&sim.ajoute_station(std::string("F").append(std::to_string(k + 2)) + char('B' + k % 20) + "XY",
                                      vitesse, uint8_t(participants), port));
  }
  Simulation sim;
  int P;
  uint16_t v;
  Station* m = nullptr;
  std::vector<Station*> u;
  uint64_t ms() const { return sim.ms_ecoulees; }
};

// The station enters the slot when the Master offers it, presses again after a failed attempt, and is in once
// both sides hold the connection (the user confirmed, the Master's slot connected).
inline bool ENTRE(Reunion& r, Station& s, int slot, uint32_t max_ms = 240000) {
  const uint64_t fin = r.ms() + max_ms;
  auto dedans = [&] { return s.etat_liaison() == "Connected" && r.m->autex.CONNECTE_SLOT[size_t(slot)] == 1; };
  while (r.ms() < fin) {
    if (!r.sim.avance_jusqu_a([&] { return dedans() || s.Actif({autex::NomElement::ENTRER_DANS_LA_REUNION, slot}); },
                              uint32_t(fin - r.ms())))
      return false;
    if (dedans()) return true;
    s.Entre(slot);
    if (r.sim.avance_jusqu_a(
            [&] {
              return dedans() || (!s.connectee() && s.autex.TENTATIVE_EN_COURS == 0 && s.autex.DEMANDE_CONNEXION == 0);
            },
            uint32_t(fin - r.ms())) &&
        dedans())
      return true;
  }
  return false;
}

// Number of non-overlapping occurrences of a text.
inline int OCCURRENCES(const std::string& dans, const std::string& quoi) {
  int n = 0;
  for (size_t p = dans.find(quoi); p != std::string::npos; p = dans.find(quoi, p + quoi.size())) ++n;
  return n;
}

// The window shows each of the messages once, in the order they were sent, and nothing but them and line
// breaks: nothing twice, nothing corrupted, nothing from elsewhere.
inline ::testing::AssertionResult MONTRE_EXACTEMENT(const std::string& fenetre, const std::vector<std::string>& messages) {
  std::string reste = fenetre;
  size_t p = 0;
  for (const std::string& t : messages) {
    const int n = OCCURRENCES(fenetre, t);
    if (n != 1) return ::testing::AssertionFailure() << "\"" << t << "\" shown " << n << " times";
    const size_t q = fenetre.find(t);
    if (q < p) return ::testing::AssertionFailure() << "\"" << t << "\" out of order";
    p = q + t.size();
    reste.replace(reste.find(t), t.size(), "");
  }
  for (const char c : reste)
    if (c != '\r' && c != '\n')
      return ::testing::AssertionFailure() << "the window also shows \"" << reste.substr(0, 80) << "\"";
  return ::testing::AssertionSuccess();
}

// Has every message reached the window?
inline bool TOUS_MONTRES(const std::string& fenetre, const std::vector<std::string>& messages) {
  for (const std::string& t : messages)
    if (fenetre.find(t) == std::string::npos) return false;
  return true;
}

// A message of a participant: lower-case words (packed in varicode) or accented capitals (sent 8-bit), some
// longer than one block.
inline std::string MESSAGE_DE(const std::string& qui, int i) {
  if (i % 3 == 0) return qui + " m" + std::to_string(i) + " hello all";
  if (i % 3 == 1) return qui + " m" + std::to_string(i) + " \xC0 L'\xC9T\xC9 \xC0 \xC9LISE";
  return qui + " m" + std::to_string(i) + " this one is a longer line for two blocks";
}

}  // namespace autexsim
