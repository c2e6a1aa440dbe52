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
// Then the goodput of a file as bench/station_link_runs.sh measures it between two real station.exe, like for
// like: the same files (bytes zlib cannot shrink: 4096, 2048 and 1024 at 1200, 400 and 171 bauds), stations on
// their standard settings (a 1200-baud line, no transceiver named), the module simulator's own modules and air
// (tools/module_simulator) on the settings scripts/run.sh gives them (spreading factor 1024 at 125 kHz), clean
// air, and the receive pump ticking every 10 ms as under Wine; timed from the file frame queued
// ("Transmission") to the file stored at the other station. Lines "file BAUDS BYTES SECONDS BYTES/S BOUND RATIO":
//   bound        the best these modules allow: 32 bytes per cycle of one full text frame and the user's shortest
//                answer, each radiated at the modules' air rate, its last packet then handed to the receiving
//                station over its 1200-baud line (120 bytes a second: a module hands a packet over once it has
//                received it whole, the earlier ones while the next is on the air), with no other gap;
//   ratio        bytes/s / bound.
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "autex/textes_encadres.h"
#include "autex/trames_autex.h"
#include "tests/autex_sim/air_du_simulateur.h"
#include "tests/autex_sim/autex_sim.h"
#include "tests/autex_sim/outils_test.h"

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

// The modules' settings of scripts/run.sh: 1200 baud, 434.0000 MHz, spreading factor 1024, 125 kHz.
constexpr modsim::Parameters kModulesRun = {0x01, 0x00, 0x6C, 0x80, 0x12, 0x0A, 0x00, 0x07, 0x00, 0x00, 0x00, 0x03};

// The bytes of the end-to-end goodput run's file (tests/e2e/driver_win32.cpp, Incompressible).
std::string Incompressible(size_t n, uint32_t seed) {
  std::string t(n, '\0');
  for (char& c : t) {
    seed = seed * 1664525u + 1013904223u;
    c = char(seed >> 24);
  }
  return t;
}

// The best goodput of a link through modules radiating `air` bytes a second on 1200-baud lines.
double FileBound(int vitesse, double air) {
  const auto dernier_paquet = [](double octets) { return octets - 64.0 * std::floor((octets - 1.0) / 64.0); };
  const double t = Trame(vitesse), r = Reponse(vitesse);
  return 32.0 / ((t + r) / air + (dernier_paquet(t) + dernier_paquet(r)) / 120.0);
}

// Seconds from the file frame queued to the file stored at the user; 0 when it did not come within an hour.
double RunFile(int vitesse, uint32_t tick, uint64_t graine, size_t octets, const std::string& dossier) {
  autexsim::Simulation sim(graine, autexsim::Bruit(), tick);
  autexsim::AirDuSimulateur air(sim, {kModulesRun, kModulesRun}, 0.0);
  auto& m = sim.ajoute_station("F1AAA", uint16_t(vitesse));
  auto& u = sim.ajoute_station("F2BBB", uint16_t(vitesse));
  u.repertoire = dossier;
  if (!autexsim::CONNECTE_LIEN(sim, m, u)) return 0;
  m.Envoie("goodput at " + std::to_string(vitesse));
  if (!sim.avance_jusqu_a([&] { return u.texte_fenetre(0).find("goodput at") != std::string::npos; }, 600000))
    return 0;
  sim.avance(2000);
  std::string trame;
  bool compresse = false;
  const std::string nom = "random_" + std::to_string(vitesse) + ".bin";
  autex::TRAME_FICHIER_AUTEX("F1AAA", nom, Incompressible(octets, uint32_t(vitesse)), true, trame, compresse);
  const uint64_t debut = sim.ms_ecoulees;
  m.autex.TEXTE_A_EMETTRE += trame;
  m.autex.TEXTE_EN_ATTENTE = 1;
  // The window says "...completed" once the file is stored.
  if (!sim.avance_jusqu_a([&] { return u.texte_fenetre(0).find("...completed") != std::string::npos; }, 3600000))
    return 0;
  return double(sim.ms_ecoulees - debut) / 1000.0;
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

  // The file between two stations through the module simulator's modules on scripts/run.sh's settings.
  char modele[] = "/tmp/autex_liaison_bench.XXXXXX";
  const char* dossier = mkdtemp(modele);
  const double air = modsim::loraAirRate(kModulesRun[5], kModulesRun[7]);
  std::printf("\nfile goodput, modules at spreading factor 1024 and 125 kHz (%.1f bytes/s on the air), clean air, "
              "tick 10 ms\n%-6s %-5s %6s %8s %8s %7s %6s\n",
              air, "", "bauds", "bytes", "seconds", "bytes/s", "bound", "ratio");
  for (const auto& [vitesse, octets] : {std::pair{1200, size_t(4096)}, {400, size_t(2048)}, {171, size_t(1024)}}) {
    double secondes = 0;
    bool recu = dossier != nullptr;
    for (int k = 0; k < seeds && recu; ++k) {
      const double s = RunFile(vitesse, 10, uint64_t(2000 + k), octets, dossier);
      recu = s > 0;
      secondes += s / seeds;
    }
    all = all && recu;
    if (recu)
      std::printf("%-6s %-5d %6zu %8.1f %8.2f %7.2f %6.3f\n", "file", vitesse, octets, secondes,
                  double(octets) / secondes, FileBound(vitesse, air), double(octets) / secondes / FileBound(vitesse, air));
    else
      std::printf("%-6s %-5d %6zu NOT RECEIVED\n", "file", vitesse, octets);
    std::fflush(stdout);
  }
  if (dossier) std::system(("rm -rf '" + std::string(dossier) + "'").c_str());
  return all ? 0 : 1;
}
