// A simulated AUTEX link: two stations on the simulated air (bit errors 1e-3), the Master sending a long text
// to the user at 171 and at 1200. Reported per run:
//   air_s_per_cpu_s   seconds of link time simulated per second of CPU time (both stations, the channel, the
//                     main loops and the AUTEX code);
//   chars_per_air_s   characters delivered per second of link time, from the first frame of the text to the
//                     last character shown at the user;
//   best_chars_per_s  the best the format allows: 32 characters per cycle of one full text frame (DP burst,
//                     32-byte block repeated 1/3/7 times, 'U' framing) and the user's shortest answer (DP
//                     burst and empty block), both at the paced writer's 120 bytes a second, with no gap;
//   ratio             chars_per_air_s / best_chars_per_s.
// The text is of accented capitals, which go 8-bit (a packed text can carry more than 32 characters a block).
#include <benchmark/benchmark.h>

#include <string>

#include "autex/trames_autex.h"
#include "tests/autex_sim/autex_sim.h"

namespace {

double MEILLEUR(int vitesse) {
  const int R = autex::FACTEUR_REPETITION(vitesse);
  const double trame = 1 + (96 + R * 378 + 7) / 8 + R;
  const double reponse = 1 + (96 + R * autex::BITS_BLOC_VIDE + 7) / 8 + R;
  return 32.0 / ((trame + reponse) / 120.0);
}

void BM_LiaisonSimulee(benchmark::State& state) {
  const int vitesse = int(state.range(0));
  const int tick = int(state.range(1));
  std::string texte;
  for (int i = 0; i < 12; ++i) texte += "\xC0 L'\xC9T\xC9 \xC0 \xC9LISE \xC0 \xC9VIAN \xC0 \xC9TRETAT ";
  double air_s = 0, livres = 0, duree_texte = 0;
  uint64_t graine = 1;
  for (auto _ : state) {
    autexsim::Bruit bruit;
    bruit.ber = 1e-3;
    autexsim::Simulation sim(graine++, bruit, uint32_t(tick));
    auto& m = sim.ajoute_station("F1AAA", uint16_t(vitesse));
    auto& u = sim.ajoute_station("F2BBB", uint16_t(vitesse));
    m.Lance_reunion();
    sim.avance_jusqu_a([&] { return u.cq_recu(); }, 60000);
    u.Entre(1);
    sim.avance_jusqu_a([&] { return m.connectee() && u.connectee(); }, 60000);
    sim.avance(2000);
    const uint64_t debut = sim.ms_ecoulees;
    m.Envoie(texte);
    const std::string attendu = "\r\n" + texte;
    sim.avance_jusqu_a([&] { return u.texte_fenetre(0).size() >= attendu.size(); }, 3600000);
    duree_texte += double(sim.ms_ecoulees - debut) / 1000.0;
    livres += double(u.texte_fenetre(0).size()) - 2;
    air_s += double(sim.ms_ecoulees) / 1000.0;
  }
  state.counters["air_s_per_cpu_s"] = benchmark::Counter(air_s, benchmark::Counter::kIsRate);
  state.counters["chars_per_air_s"] = livres / duree_texte;
  state.counters["best_chars_per_s"] = MEILLEUR(vitesse);
  state.counters["ratio"] = livres / duree_texte / MEILLEUR(vitesse);
}

}  // namespace

BENCHMARK(BM_LiaisonSimulee)
    ->ArgNames({"speed", "tick_ms"})
    ->Args({171, 1})
    ->Args({1200, 1})
    ->Args({171, 16})
    ->Args({1200, 16})
    ->Unit(benchmark::kMillisecond);
