#pragma once
// The air between the simulated modules: every byte a module radiates reaches every other module on the same
// channel, unless that module is transmitting itself (half duplex). Two transmissions heard at once collide;
// byte errors, losses and bursts of outside interference are injected from a fixed seed.
#include <cstdint>
#include <vector>

#include "tools/module_simulator/radio_module.h"

namespace modsim {

struct NoiseConfig {
  double errorRate = 0.0;      // probability that a received byte is altered
  double lossRate = 0.0;       // probability that a received byte is lost
  double collisionRate = 0.0;  // probability, per received byte, that outside interference starts
  int collisionLength = 16;    // bytes garbled by one such interference
};

class AirChannel {
 public:
  AirChannel(const NoiseConfig& noise, uint64_t seed, size_t modules);
  // Lets dtUs microseconds of air time pass.
  void step(const std::vector<RadioModule*>& modules, uint64_t dtUs);

 private:
  NoiseConfig noise_;
  std::vector<Rng> rngs_;  // one per receiver: its noise depends only on what it receives
  std::vector<int> burst_;
};

}  // namespace modsim
