#pragma once
// The radio module simulator: one pseudo-terminal per station, each served by a simulated module, and the air
// between the modules. The station opens the pseudo-terminal's slave side as its serial port (natively, or
// under Wine through a COMn link in the prefix's dosdevices).
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/module_simulator/air_channel.h"
#include "tools/module_simulator/radio_module.h"

namespace modsim {

struct SimulatorConfig {
  int stations = 2;
  uint64_t seed = 1;
  NoiseConfig noise;
  size_t bufferSize = 512;  // transmit buffer of each module, bytes
  double airRate = 0.0;     // bytes a second on the air; 0 follows each module's spreading factor and bandwidth
  std::vector<Parameters> parameters;  // per module; modules without an entry start with kFactoryParameters
  std::vector<std::string> links;      // per module: a symbolic link made to its pseudo-terminal (optional)
  // A file that keeps each module's parameters (its settings and line speed) across runs, as a real module
  // keeps them: read at start (a module found there starts with what it held, whatever `parameters` says)
  // and written again whenever a module's parameters change. Empty: nothing is kept.
  std::string stateFile;
  std::function<void(const std::string&)> log;
};

class Simulator {
 public:
  // Makes the pseudo-terminals and links; throws std::runtime_error when it cannot.
  explicit Simulator(SimulatorConfig config);
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  int stations() const { return int(ports_.size()); }
  // The device a station opens for module i.
  const std::string& ptyPath(int i) const { return ports_[size_t(i)].path; }

  // One turn of the loop: waits at most timeoutMs for bytes from a station, then moves every byte that is due.
  void runOnce(int timeoutMs);
  // Runs the loop on a thread of its own until stop().
  void start();
  void stop();

  ModuleCounters counters(int i) const;
  Parameters parameters(int i) const;
  void setParameters(int i, const Parameters& p);
  size_t bufferLevel(int i) const;
  // Line speed the station has set on pseudo-terminal i (0 when unknown).
  uint32_t stationBaud(int i) const;
  // Every counter as "m<n>.<name>=<value>" lines.
  std::string report() const;

 private:
  struct Port {
    int master = -1;
    int slave = -1;  // held open so that the line keeps its settings between the station's openings
    std::string path;
    std::string link;
    std::string pendingOut;  // bytes judged and due, that the pseudo-terminal could not take yet
  };
  void lineSettings(const Port& p, uint32_t& baud, uint8_t& parity) const;
  void log(const std::string& line) const;
  void keepState();

  SimulatorConfig config_;
  std::vector<Port> ports_;
  std::vector<RadioModule> modules_;
  AirChannel air_;
  std::vector<Rng> lineNoise_;
  uint64_t lastUs_ = 0;
  uint64_t startUs_ = 0;
  std::vector<Parameters> keptParameters_;  // what the state file holds
  bool stateWriteFailed_ = false;
  mutable std::mutex mutex_;
  std::thread thread_;
  std::atomic<bool> running_{false};
};

// Monotonic microseconds.
uint64_t nowUs();

// The state file: one line per module that was kept, "M<n> " and its twelve parameters as 24 hexadecimal
// digits (P0 is the serial speed code). Lines starting with '#' and empty lines are skipped.
// Reads `file` into `params` (entry n-1 for module n, grown as needed; `kept` tells which entries the file
// set). A missing file reads as empty; a line that is not understood is skipped and described in `problems`.
void readModuleState(const std::string& file, std::vector<Parameters>& params, std::vector<bool>& kept,
                     std::vector<std::string>& problems);
// Writes the parameters of every module (whole, through a temporary file renamed over the old one); false
// when the file cannot be written.
bool writeModuleState(const std::string& file, const std::vector<Parameters>& params);

}  // namespace modsim
