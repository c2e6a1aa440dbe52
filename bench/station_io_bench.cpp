// Cost of one tick of the 1 ms receive pump (idle, receiving, writing) and the module simulator's input
// parser. The pump runs a thousand times a second on the user-interface thread: its cost is that thread's
// floor. No other library does this work, so the anchor is the cost of the serial read itself (an in-memory
// line here), measured in the same run.
#include <benchmark/benchmark.h>

#include "station/station_io.h"
#include "tests/station_io/fakes.h"
#include "tools/module_simulator/radio_module.h"

namespace {

struct Bench {
  stationtest::FakeWindow window;
  autex::Langues langues;
  platform::SimulatedClock clock{1000};
  autex::Horodatage horodatage{clock};
  stationtest::FakeDevices devices;
  std::shared_ptr<stationtest::FakeLine> line = devices.add(1);
  platform::RecordingPriority priority;
  platform::SimulatedKeyboard keyboard;
  station::StationIo io{window, langues, horodatage, clock, devices, priority, keyboard};
  Bench(const std::string& mode) {
    window.mode = mode;
    window.transceiver = "";
    window.code252 = 1;
    io.ports.Choix_port_serie();
  }
};

void BM_SerialReadOnly(benchmark::State& state) {
  Bench b("ASCII");
  for (auto _ : state) benchmark::DoNotOptimize(b.io.materiel.Lire_port_serie(b.io.materiel.Handle_port));
}
BENCHMARK(BM_SerialReadOnly);

void BM_PumpIdleTick(benchmark::State& state) {
  Bench b("AUTEX");
  for (auto _ : state) {
    b.clock.advance(1);
    b.io.boucle.Timer1Timer();
  }
}
BENCHMARK(BM_PumpIdleTick);

void BM_PumpReceiveTick(benchmark::State& state) {
  Bench b("AUTEX");
  const std::string chunk(12, 'U');  // what 9600 baud brings in about 12 ms
  for (auto _ : state) {
    b.line->input = chunk;
    b.clock.advance(1);
    b.io.boucle.Timer1Timer();
    b.io.boucle.Tampon_reception.clear();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * 12);
}
BENCHMARK(BM_PumpReceiveTick);

void BM_PumpWriteTick(benchmark::State& state) {
  Bench b("AUTEX");
  b.io.materiel.Vitesse_port = 9600;
  for (auto _ : state) {
    if (b.io.boucle.File_emission.size() < 1000) b.io.boucle.File_emission.append(4000, 'x');
    b.clock.advance(1);
    b.io.boucle.Timer1Timer();
    if (b.line->written.size() > 100000) b.line->written.clear();
  }
}
BENCHMARK(BM_PumpWriteTick);

void BM_ModuleInputParser(benchmark::State& state) {
  modsim::Rng rng(5);
  std::string data(65536, '\0');
  for (char& c : data) c = char(rng.byte());
  modsim::RadioModule m(0, modsim::kFactoryParameters, 1u << 30, 0, nullptr);
  uint64_t t = 0;
  for (auto _ : state) {
    m.fromStation(data, 1200, 0, t, rng);
    t += 100000;
    m.poll(t);
    m.radiate(uint64_t(1) << 40);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
}
BENCHMARK(BM_ModuleInputParser);

}  // namespace
