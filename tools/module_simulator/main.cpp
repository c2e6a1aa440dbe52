// module_simulator: simulated LoRa radio modules ("DRF1278DM") for stations on one Linux machine.
//
// Each station gets a pseudo-terminal served by one simulated module. A station opens the pseudo-terminal as
// its serial port: natively by its /dev/pts path, or under Wine through a COMn link in the prefix, made with
// --link (for example --link "$WINEPREFIX/dosdevices/com5"). The modules answer the station's read and write
// command frames (never radiating them), keep their twelve parameters, spoil the bytes when the station's line
// speed or parity differs from theirs, and radiate every other byte to the modules on the same channel
// (frequency, spreading factor, bandwidth, Net ID) at the air rate, through a bounded transmit buffer whose
// overflow is counted. Byte errors, losses and collisions are injected from a fixed seed.
//
// Usage: module_simulator [options]
//   --stations N           modules, one pseudo-terminal each (default 2)
//   --link PATH            a symbolic link to the next module's pseudo-terminal (repeat for each module)
//   --pty-file FILE        writes the pseudo-terminal paths there, one line per module, once ready
//   --params HEX           the twelve parameter bytes of the next module, 24 hex digits (repeatable;
//                          default 01006C80120B000700000007: 1200 baud, 434 MHz, SF 2048, 125 kHz, power 7)
//   --state FILE           keeps each module's parameters (settings and line speed) in FILE across runs, as a
//                          real module keeps them: a module found there starts with them instead of --params,
//                          and the file is written again whenever a module is reprogrammed
//   --seed S               noise seed (default 1)
//   --error-rate P         probability that a received byte is altered (default 0)
//   --loss-rate P          probability that a received byte is lost (default 0)
//   --collision-rate P     probability per received byte that outside interference starts (default 0)
//   --collision-length N   bytes garbled by one interference (default 16)
//   --buffer BYTES         transmit buffer of each module (default 512)
//   --air-rate BPS         bytes a second on the air (default: each module's LoRa rate from its spreading
//                          factor and bandwidth)
//   --log FILE             event log (default: standard error); --quiet for none
//   --stats FILE           counters, "m<n>.<name>=<value>" lines, written at exit and on SIGUSR1
//   --duration SECONDS     stops after that time (default: until SIGINT or SIGTERM)
//
// Two stations under Wine:
//   module_simulator --link "$WINEPREFIX/dosdevices/com5" --link "$WINEPREFIX/dosdevices/com6"
//                    --params 04006C80120A000700000007 --params 04006C80120A000700000007 &
//   then start one station.exe on COM5 and one on COM6 (two prefixes work as well: one link in each).
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "tools/module_simulator/simulator.h"

namespace {

volatile sig_atomic_t gStop = 0;
volatile sig_atomic_t gDump = 0;

void onStop(int) { gStop = 1; }
void onDump(int) { gDump = 1; }

[[noreturn]] void usage(const std::string& error) {
  std::cerr << "module_simulator: " << error << "\n(see the comment at the top of main.cpp for the options)\n";
  std::exit(2);
}

bool parseParameters(const std::string& hex, modsim::Parameters& p) {
  if (hex.size() != 24) return false;
  for (size_t i = 0; i < 12; ++i) {
    char* end = nullptr;
    const std::string byte = hex.substr(i * 2, 2);
    const unsigned long v = std::strtoul(byte.c_str(), &end, 16);
    if (end != byte.c_str() + 2) return false;
    p[i] = uint8_t(v);
  }
  return true;
}

double parseRate(const std::string& name, const std::string& v) {
  char* end = nullptr;
  const double d = std::strtod(v.c_str(), &end);
  if (end == v.c_str() || *end != '\0' || d < 0 || d > 1) usage(name + " wants a probability between 0 and 1");
  return d;
}

long parseCount(const std::string& name, const std::string& v, long min) {
  char* end = nullptr;
  const long n = std::strtol(v.c_str(), &end, 10);
  if (end == v.c_str() || *end != '\0' || n < min) usage(name + " wants a whole number of at least " + std::to_string(min));
  return n;
}

void writeStats(const std::string& file, const modsim::Simulator& sim) {
  if (file.empty()) return;
  const std::string tmp = file + ".tmp";
  {
    std::ofstream out(tmp);
    out << sim.report();
  }
  std::rename(tmp.c_str(), file.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  modsim::SimulatorConfig config;
  std::string ptyFile, logFile, statsFile;
  bool quiet = false;
  double duration = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) usage(a + " wants a value");
      return argv[++i];
    };
    if (a == "--stations") config.stations = int(parseCount(a, value(), 1));
    else if (a == "--link") config.links.push_back(value());
    else if (a == "--pty-file") ptyFile = value();
    else if (a == "--state") config.stateFile = value();
    else if (a == "--params") {
      modsim::Parameters p;
      if (!parseParameters(value(), p)) usage("--params wants 24 hexadecimal digits");
      config.parameters.push_back(p);
    } else if (a == "--seed") config.seed = std::strtoull(value().c_str(), nullptr, 0);
    else if (a == "--error-rate") config.noise.errorRate = parseRate(a, value());
    else if (a == "--loss-rate") config.noise.lossRate = parseRate(a, value());
    else if (a == "--collision-rate") config.noise.collisionRate = parseRate(a, value());
    else if (a == "--collision-length") config.noise.collisionLength = int(parseCount(a, value(), 1));
    else if (a == "--buffer") config.bufferSize = size_t(parseCount(a, value(), 1));
    else if (a == "--air-rate") config.airRate = double(parseCount(a, value(), 1));
    else if (a == "--log") logFile = value();
    else if (a == "--quiet") quiet = true;
    else if (a == "--stats") statsFile = value();
    else if (a == "--duration") duration = double(parseCount(a, value(), 1));
    else usage("unknown option " + a);
  }
  if (config.links.size() > size_t(config.stations)) config.stations = int(config.links.size());
  if (config.parameters.size() > size_t(config.stations)) config.stations = int(config.parameters.size());

  std::unique_ptr<std::ofstream> logStream;
  if (!quiet) {
    if (!logFile.empty()) {
      logStream = std::make_unique<std::ofstream>(logFile, std::ios::app);
      if (!*logStream) usage("cannot write " + logFile);
      config.log = [s = logStream.get()](const std::string& line) { *s << line << std::endl; };
    } else {
      config.log = [](const std::string& line) { std::cerr << line << std::endl; };
    }
  }

  std::unique_ptr<modsim::Simulator> sim;
  try {
    sim = std::make_unique<modsim::Simulator>(config);
  } catch (const std::exception& e) {
    std::cerr << "module_simulator: " << e.what() << "\n";
    return 1;
  }

  struct sigaction sa {};
  sa.sa_handler = onStop;
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  sa.sa_handler = onDump;
  sigaction(SIGUSR1, &sa, nullptr);
  signal(SIGPIPE, SIG_IGN);

  if (!ptyFile.empty()) {
    const std::string tmp = ptyFile + ".tmp";
    {
      std::ofstream out(tmp);
      for (int i = 0; i < sim->stations(); ++i) out << sim->ptyPath(i) << "\n";
    }
    std::rename(tmp.c_str(), ptyFile.c_str());
  } else {
    for (int i = 0; i < sim->stations(); ++i) std::cout << sim->ptyPath(i) << "\n";
    std::cout.flush();
  }

  const uint64_t end = duration > 0 ? modsim::nowUs() + uint64_t(duration * 1e6) : 0;
  while (!gStop && (end == 0 || modsim::nowUs() < end)) {
    sim->runOnce(1);
    if (gDump) {
      gDump = 0;
      writeStats(statsFile, *sim);
    }
  }
  writeStats(statsFile, *sim);
  return 0;
}
