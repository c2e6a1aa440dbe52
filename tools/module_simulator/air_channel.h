#pragma once
// The air between the simulated modules: every byte a module radiates reaches every other module on the same
// channel, unless that module is transmitting itself (half duplex). Two transmissions heard at once collide;
// byte errors, losses and bursts of outside interference are injected from a fixed seed.
//
// As with LoRa, the bytes travel in packets: a receiving module hands the bytes of a packet to its station only
// once the packet has ended on the air - when the sender has radiated kPacketBytes bytes of it or has nothing
// more to send. A station that answers what it has just received therefore never talks over the end of the
// sender's transmission (the padding after a frame, in particular).
#include <cstddef>
#include <cstdint>
#include <string>
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
  static constexpr size_t kPacketBytes = modsim::kPacketBytes;

  AirChannel(const NoiseConfig& noise, uint64_t seed, size_t modules);
  // Lets dtUs microseconds of air time pass.
  void step(const std::vector<RadioModule*>& modules, uint64_t dtUs);

 private:
  NoiseConfig noise_;
  std::vector<Rng> rngs_;  // one per receiver: its noise depends only on what it receives
  std::vector<int> burst_;
  // pending_[r][t]: the bytes of the packet module t is radiating that module r has heard so far.
  std::vector<std::vector<std::string>> pending_;
  std::vector<size_t> packetSent_;  // bytes of the current packet each module has radiated
};

}  // namespace modsim
