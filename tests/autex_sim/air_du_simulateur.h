#pragma once
// The radio module simulator's own modules and air (tools/module_simulator) put behind the ports of a
// Simulation's stations, in place of the harness's own air: each station's serial port talks to a simulated
// module, whose air rate follows its LoRa settings (or is fixed), and whose packets reach the other modules when
// they end. Used by the tests of links through those modules and by the link benchmark.
#include <string>
#include <vector>

#include "tests/autex_sim/autex_sim.h"
#include "tools/module_simulator/air_channel.h"
#include "tools/module_simulator/radio_module.h"

namespace autexsim {

struct AirDuSimulateur {
  // One module per station, in the order the stations are added; `debit` 0: each module's LoRa rate.
  AirDuSimulateur(Simulation& sim, const std::vector<modsim::Parameters>& parametres, double debit,
                  const modsim::NoiseConfig& bruit = {})
      : air(bruit, 7, parametres.size()) {
    for (size_t i = 0; i < parametres.size(); ++i) modules.emplace_back(int(i), parametres[i], 512, debit, nullptr);
    for (auto& m : modules) ptrs.push_back(&m);
    sim.canal = [this, &sim](uint64_t t) {
      for (size_t i = 0; i < modules.size() && i < sim.stations.size(); ++i) {
        Module& port = sim.stations[i]->module;
        modsim::RadioModule& m = modules[i];
        if (!port.a_emettre.empty()) {
          m.fromStation(std::string(port.a_emettre.begin(), port.a_emettre.end()), m.serialBaud(), 0, t, ligne);
          port.a_emettre.clear();
        }
        m.poll(t);
      }
      air.step(ptrs, 1000);
      for (size_t i = 0; i < modules.size() && i < sim.stations.size(); ++i)
        sim.stations[i]->module.entree += modules[i].toStation(1000, modules[i].serialBaud(), 0, ligne);
    };
  }
  std::vector<modsim::RadioModule> modules;
  std::vector<modsim::RadioModule*> ptrs;
  modsim::AirChannel air;
  modsim::Rng ligne{11};
};

}  // namespace autexsim
