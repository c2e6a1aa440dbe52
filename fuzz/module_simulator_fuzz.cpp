// Arbitrary bytes from a station to a simulated module: every byte is either radiated, part of a recognised
// command frame, or counted as lost to the full buffer; the module's replies are whole frames.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/module_simulator/radio_module.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  modsim::RadioModule m(0, modsim::kFactoryParameters, 64 + data[0], 0, nullptr);
  modsim::Rng noise(1);
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  uint64_t t = 0;
  size_t radiated = 0;
  for (size_t i = 0; i < bytes.size(); i += 7) {
    const uint32_t baud = (bytes[i] & 0x40) ? 9600 : m.serialBaud();
    m.fromStation(std::string_view(bytes).substr(i, 7), baud, 0, t, noise);
    t += 3000 + uint64_t(static_cast<unsigned char>(bytes[i])) * 500;
    m.poll(t);
    radiated += m.radiate(20000).size();
  }
  m.poll(t + 1000000);
  radiated += m.radiate(100000000).size();
  const auto& c = m.counters();
  const uint64_t commands = (c.readCommands + c.writeCommands + c.badCommands) * 23;
  if (radiated + c.overflow + commands > c.fromStation) std::abort();
  if (radiated + c.overflow + commands + 2 * (c.readCommands + c.writeCommands + c.badCommands) < c.fromStation)
    std::abort();
  const std::string out = m.toStation(1000000000, m.serialBaud(), 0, noise);
  if (out.size() != (c.readCommands + c.writeCommands) * 23) std::abort();
  return 0;
}
