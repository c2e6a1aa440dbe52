// RS(63,47) decoding: this station's decoder against libfec's decode_rs_char on the same received words
// (0, 4 and 8 symbol errors), in one run, with the ratio of their times.
//
// libfec holds a code word highest power first (data[0] is the coefficient of x^62), this coder lowest power
// first (c[0] is the coefficient of x^0), so libfec is given each word reversed: the same polynomial, the same
// roots alpha^3 .. alpha^18 (fcr 3, prim 1) over the same field (x^6 + x + 1 = 0x43).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

extern "C" {
#include <fec.h>
}

#include "autex/reed_solomon_autex_rx_tx.h"

namespace {

using autex::Mot_RS;

constexpr int POOL = 512;

struct Workload {
  std::vector<Mot_RS> received;                       // this coder's order
  std::vector<std::array<unsigned char, 63>> libfec;  // reversed for libfec
  std::vector<Mot_RS> codewords;
};

void* libfecCodec() {
  static void* rs = init_rs_char(6, 0x43, autex::RS_B0, 1, autex::RS_PARITE, 0);
  return rs;
}

std::array<unsigned char, 63> reversed(const Mot_RS& w) {
  std::array<unsigned char, 63> r;
  for (int i = 0; i < 63; ++i) r[size_t(i)] = w[size_t(62 - i)];
  return r;
}

// The same words for both decoders, checked once: both must correct every one of them exactly.
const Workload& workload(int errors) {
  static std::map<int, Workload> cache;
  auto it = cache.find(errors);
  if (it != cache.end()) return it->second;
  Workload w;
  std::mt19937 rng(1000 + errors);
  autex::REED_SOLOMON_AUTEX_RX_TX rs;
  for (int k = 0; k < POOL; ++k) {
    autex::Donnees_RS d;
    for (auto& v : d) v = uint8_t(rng() % 64);
    const Mot_RS c = rs.RS_ENCODER(d);
    Mot_RS r = c;
    std::set<int> pos;
    while (int(pos.size()) < errors) pos.insert(int(rng() % 63));
    for (int p : pos) r[size_t(p)] ^= uint8_t(1 + rng() % 63);
    Mot_RS out{};
    auto lf = reversed(r);
    const int ours = rs.RS_DECODER(r, out);
    const int theirs = decode_rs_char(libfecCodec(), lf.data(), nullptr, 0);
    if (ours != errors || out != c || theirs != errors || lf != reversed(c)) {
      std::fprintf(stderr, "decoders disagree on word %d with %d errors (%d, %d)\n", k, errors, ours, theirs);
      std::abort();
    }
    w.received.push_back(r);
    w.libfec.push_back(reversed(r));
    w.codewords.push_back(c);
  }
  return cache.emplace(errors, std::move(w)).first->second;
}

void RS_decodage_autex(benchmark::State& state) {
  const Workload& w = workload(int(state.range(0)));
  autex::REED_SOLOMON_AUTEX_RX_TX rs;
  Mot_RS out;
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(rs.RS_DECODER(w.received[i], out));
    benchmark::DoNotOptimize(out);
    i = (i + 1) % POOL;
  }
  state.SetItemsProcessed(state.iterations());
}

void RS_decodage_libfec(benchmark::State& state) {
  const Workload& w = workload(int(state.range(0)));
  void* rs = libfecCodec();
  std::array<unsigned char, 63> buf;
  size_t i = 0;
  for (auto _ : state) {
    std::memcpy(buf.data(), w.libfec[i].data(), 63);  // decoded in place: a fresh copy each time
    benchmark::DoNotOptimize(decode_rs_char(rs, buf.data(), nullptr, 0));
    benchmark::DoNotOptimize(buf);
    i = (i + 1) % POOL;
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(RS_decodage_autex)->Arg(0)->Arg(4)->Arg(8);
BENCHMARK(RS_decodage_libfec)->Arg(0)->Arg(4)->Arg(8);

// Keeps each run's time per word so that the ratios can be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration && r.iterations > 0)
        ns_[r.benchmark_name()] = r.real_accumulated_time * 1e9 / double(r.iterations);
  }
  void PrintRatios() const {
    std::printf("\nRS(63,47) decoding, ns per word (same words, same run):\n");
    for (int e : {0, 4, 8}) {
      const auto a = ns_.find("RS_decodage_autex/" + std::to_string(e));
      const auto b = ns_.find("RS_decodage_libfec/" + std::to_string(e));
      if (a == ns_.end() || b == ns_.end()) continue;
      std::printf("  %d errors: autex %8.1f ns   libfec %8.1f ns   libfec/autex = %.2f\n", e, a->second, b->second,
                  b->second / a->second);
    }
  }

 private:
  std::map<std::string, double> ns_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (libfecCodec() == nullptr) {
    std::fprintf(stderr, "libfec could not build the RS(63,47) codec\n");
    return 1;
  }
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
