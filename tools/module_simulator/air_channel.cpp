#include "tools/module_simulator/air_channel.h"

#include <string>

namespace modsim {

AirChannel::AirChannel(const NoiseConfig& noise, uint64_t seed, size_t modules)
    : noise_(noise), burst_(modules, 0), pending_(modules, std::vector<std::string>(modules)), packetSent_(modules, 0) {
  for (size_t i = 0; i < modules; ++i) rngs_.emplace_back(seed * 0x100000001B3ull + i + 1);
}

void AirChannel::step(const std::vector<RadioModule*>& modules, uint64_t dtUs) {
  const size_t n = modules.size();
  std::vector<bool> transmitting(n);
  std::vector<std::string> sent(n);
  for (size_t i = 0; i < n; ++i) {
    transmitting[i] = modules[i]->onAir();
    sent[i] = modules[i]->radiate(dtUs);
  }
  for (size_t r = 0; r < n; ++r) {
    RadioModule& receiver = *modules[r];
    size_t heard = 0;
    for (size_t t = 0; t < n; ++t)
      if (t != r && transmitting[t] && receiver.sameChannel(*modules[t])) ++heard;
    if (heard == 0) continue;
    const bool collision = heard >= 2;
    ModuleCounters& c = receiver.channelCounters();
    Rng& rng = rngs_[r];
    for (size_t t = 0; t < n; ++t) {
      if (t == r || !transmitting[t] || !receiver.sameChannel(*modules[t])) continue;
      std::string& received = pending_[r][t];
      for (char b : sent[t]) {
        if (transmitting[r]) {
          ++c.missedWhileSending;
          continue;
        }
        if (collision) {
          b = char(b ^ rng.nonZeroByte());
          ++c.collisionBytes;
        } else if (burst_[r] > 0) {
          --burst_[r];
          b = char(b ^ rng.nonZeroByte());
          ++c.collisionBytes;
        } else if (noise_.collisionRate > 0 && rng.uniform() < noise_.collisionRate) {
          burst_[r] = noise_.collisionLength - 1;
          b = char(b ^ rng.nonZeroByte());
          ++c.collisionBytes;
        } else if (noise_.lossRate > 0 && rng.uniform() < noise_.lossRate) {
          ++c.losses;
          continue;
        } else if (noise_.errorRate > 0 && rng.uniform() < noise_.errorRate) {
          b = char(b ^ rng.nonZeroByte());
          ++c.errors;
        }
        received.push_back(b);
      }
    }
  }
  // Packets that ended in this step reach their listeners.
  for (size_t t = 0; t < n; ++t) {
    packetSent_[t] += sent[t].size();
    const bool ended = !modules[t]->onAir() || packetSent_[t] >= kPacketBytes;
    if (!ended) continue;
    packetSent_[t] = 0;
    for (size_t r = 0; r < n; ++r) {
      std::string& heard = pending_[r][t];
      if (heard.empty()) continue;
      modules[r]->fromAir(heard);
      heard.clear();
    }
  }
}

}  // namespace modsim
