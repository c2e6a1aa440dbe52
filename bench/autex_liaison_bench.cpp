// A simulated AUTEX link: two stations on the simulated air (bit errors 1e-3), the Master sending a long text to
// the user, at 171, 400 and 1200 bauds, with the receive pump ticking every 1, 10 and 16 ms (its 1 ms timer as
// it really ticks: every 10 ms under Wine, about every 15.6 ms on Windows). The delivered text must be the text
// sent, character for character. Reported per case (the mean of a few seeds):
//   chars/s      characters delivered per second of link time, from the message to its last character shown;
//   bound        the best the air format allows: 32 characters per cycle of one full text frame (DP burst,
//                32-byte block repeated 1/3/7 times, 'U' framing) and the user's shortest answer (DP burst and
//                empty block), both at the module's 120 bytes a second, with no gap;
//   ratio        chars/s / bound;
//   ratio_mod    chars/s / the bound with the simulated module's wait: a transmission shorter than one packet
//                (64 bytes) goes on the air only after three byte times of quiet on the serial line (25 ms),
//                which no station can avoid (at 1200 bauds both transmissions of a cycle are that short);
// and where the link time goes, per transmission, in milliseconds:
//   air          the module sending (the bytes of the transmission at 120 a second);
//   wait_write   queued but not yet on the air: the paced writer has not written enough for the module to start
//                a packet, or the module waits for the serial line to pause before its last packet;
//   gaps         nothing on the air in the middle of a transmission: the module has sent what it had and the
//                writer has not given it the next bytes yet;
//   turnaround   from the end of a transmission on the air to the other station's answer queued: the bytes
//                waiting for the pump's next tick, decoding, the decision;
//   air_s/cpu_s  link seconds simulated per second of CPU time.
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "autex/trames_autex.h"
#include "tests/autex_sim/autex_sim.h"

namespace {

// Bytes of a full text frame and of the user's shortest answer.
double Trame(int vitesse) {
  const int R = autex::FACTEUR_REPETITION(vitesse);
  return 1 + (96 + R * 378 + 7) / 8 + R;
}
double Reponse(int vitesse) {
  const int R = autex::FACTEUR_REPETITION(vitesse);
  return 1 + (96 + R * autex::BITS_BLOC_VIDE + 7) / 8 + R;
}

double Bound(int vitesse) { return 32.0 / ((Trame(vitesse) + Reponse(vitesse)) / 120.0); }

// The same with the simulated module's own wait: a transmission shorter than its packet (64 bytes) goes on the
// air only once the serial line has been quiet for three byte times (25 ms).
double ModuleBound(int vitesse) {
  auto wait = [](double bytes) { return bytes < 64 ? 3.0 / 120.0 : 0.0; };
  return 32.0 / ((Trame(vitesse) + Reponse(vitesse)) / 120.0 + wait(Trame(vitesse)) + wait(Reponse(vitesse)));
}

double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// One transmission as the air saw it.
struct Transmission {
  size_t station;
  uint64_t queued = 0;      // ms: the frame put in the send queue
  uint64_t first = 0;       // first packet on the air
  uint64_t last_end = 0;    // end of its last packet
  uint64_t busy = 0;        // ms of its packets on the air
};

struct Result {
  bool delivered = false;
  bool same = false;
  double chars_per_s = 0;
  double air_s = 0;
  double per_tx[4] = {0, 0, 0, 0};  // air, wait_write, gaps, turnaround (ms per transmission)
};

Result Run(int vitesse, uint32_t tick, uint64_t graine, const std::string& texte) {
  autexsim::Bruit bruit;
  bruit.ber = 1e-3;
  autexsim::Simulation sim(graine, bruit, tick);
  auto& m = sim.ajoute_station("F1AAA", uint16_t(vitesse));
  auto& u = sim.ajoute_station("F2BBB", uint16_t(vitesse));
  Result r;
  m.Lance_reunion();
  if (!sim.avance_jusqu_a([&] { return u.cq_recu(); }, 60000)) return r;
  u.Entre(1);
  if (!sim.avance_jusqu_a([&] { return m.connectee() && u.connectee(); }, 60000)) return r;
  sim.avance(2000);

  const uint64_t debut = sim.ms_ecoulees;
  const std::string attendu = texte + "\r\n";  // a message ends its line in the window
  const std::string avant = u.texte_fenetre(0);
  m.Envoie(texte);
  // Follow the air millisecond by millisecond.
  autexsim::Station* stations[2] = {&m, &u};
  std::vector<Transmission> tx;
  size_t vues[2] = {m.transmissions, u.transmissions};
  bool emet[2] = {false, false};
  int courante[2] = {-1, -1};
  uint64_t debut_paquet[2] = {0, 0};
  while (sim.ms_ecoulees - debut < 3600000 && u.texte_fenetre(0).size() < avant.size() + attendu.size()) {
    sim.avance(1);
    const uint64_t t = sim.ms_ecoulees;
    for (size_t s = 0; s < 2; ++s) {
      autexsim::Station& st = *stations[s];
      if (st.transmissions != vues[s]) {
        vues[s] = st.transmissions;
        tx.push_back(Transmission{s, t});
        courante[s] = int(tx.size()) - 1;
      }
      if (st.module.emet && !emet[s]) debut_paquet[s] = t;
      if (!st.module.emet && emet[s] && courante[s] >= 0) {
        Transmission& x = tx[size_t(courante[s])];
        if (x.first == 0) x.first = debut_paquet[s];
        x.last_end = t;
        x.busy += t - debut_paquet[s];
      }
      emet[s] = st.module.emet;
    }
  }
  const std::string recu = u.texte_fenetre(0);
  r.delivered = recu.size() >= avant.size() + attendu.size();
  r.same = recu == avant + attendu;
  const double duree = double(sim.ms_ecoulees - debut) / 1000.0;
  r.chars_per_s = double(texte.size()) / duree;
  r.air_s = double(sim.ms_ecoulees) / 1000.0;
  // Per transmission: air, waiting before the first packet, gaps inside it, and the turnaround before the next.
  size_t n = 0;
  for (size_t i = 0; i < tx.size(); ++i) {
    const Transmission& x = tx[i];
    if (x.first == 0) continue;
    ++n;
    r.per_tx[0] += double(x.busy);
    r.per_tx[1] += double(x.first - x.queued);
    r.per_tx[2] += double(x.last_end - x.first - x.busy);
    if (i + 1 < tx.size() && tx[i + 1].queued > x.last_end) r.per_tx[3] += double(tx[i + 1].queued - x.last_end);
  }
  for (double& v : r.per_tx) v = n ? v / double(n) : 0;
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  int seeds = 3;
  for (int i = 1; i < argc; ++i)
    if (std::string(argv[i]).rfind("--seeds=", 0) == 0) seeds = std::max(1, std::atoi(argv[i] + 8));
  // Accented capitals: they go 8-bit, 32 characters a block.
  std::string texte;
  for (int i = 0; i < 12; ++i) texte += "\xC0 L'\xC9T\xC9 \xC0 \xC9LISE \xC0 \xC9VIAN \xC0 \xC9TRETAT ";
  std::printf("%-6s %-5s %8s %7s %6s %9s %6s %11s %6s %11s %12s  %s\n", "bauds", "tick", "chars/s", "bound", "ratio",
              "ratio_mod", "air", "wait_write", "gaps", "turnaround", "air_s/cpu_s", "text");
  bool all = true;
  for (int vitesse : {171, 400, 1200})
    for (uint32_t tick : {1u, 10u, 16u}) {
      Result mean;
      bool same = true, delivered = true;
      double cpu = 0;
      for (int k = 0; k < seeds; ++k) {
        const double c0 = CpuSeconds();
        const Result r = Run(vitesse, tick, uint64_t(1000 + k), texte);
        cpu += CpuSeconds() - c0;
        same = same && r.same;
        delivered = delivered && r.delivered;
        mean.chars_per_s += r.chars_per_s / seeds;
        mean.air_s += r.air_s;
        for (int j = 0; j < 4; ++j) mean.per_tx[j] += r.per_tx[j] / seeds;
      }
      all = all && same && delivered;
      std::printf("%-6d %-5u %8.3f %7.3f %6.3f %9.3f %6.0f %11.0f %6.0f %11.0f %12.0f  %s\n", vitesse, tick,
                  mean.chars_per_s, Bound(vitesse), mean.chars_per_s / Bound(vitesse),
                  mean.chars_per_s / ModuleBound(vitesse), mean.per_tx[0], mean.per_tx[1], mean.per_tx[2],
                  mean.per_tx[3], mean.air_s / cpu,
                  !delivered ? "NOT DELIVERED" : same ? "identical" : "DIFFERENT");
      std::fflush(stdout);
    }
  return all ? 0 : 1;
}
