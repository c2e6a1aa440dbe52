#pragma once
// One simulated LoRa radio module of the kind the station drives ("DRF1278DM"): its twelve parameters, its
// serial line (speed and parity taken from parameters P0 and P1), the command frames it answers and never
// radiates, its bounded transmit buffer emptied on the air at the air rate, and the bytes it hands back to its
// station at the speed of its serial line. Pure logic: time is given in microseconds, bytes are handed in and
// taken out by the simulator that owns the pseudo-terminals.
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

namespace modsim {

// A small, fast and fully specified generator (splitmix64), so that one seed gives the same noise everywhere.
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double uniform() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }  // [0, 1)
  uint8_t byte() { return uint8_t(next() >> 56); }
  uint8_t nonZeroByte() {
    uint8_t b;
    do b = byte();
    while (b == 0);
    return b;
  }

 private:
  uint64_t state_;
};

// P0 serial speed code, P1 parity (0 none, 1 odd, 2 even), P2-P4 frequency code, P5 spreading-factor code,
// P6 mode, P7 bandwidth code, P8-P9 Node ID, P10 Net ID, P11 RF power 1..7.
using Parameters = std::array<uint8_t, 12>;

// A module as it leaves the factory in this simulator: 1200 baud, no parity, 434.0000 MHz, spreading factor
// 2048, standard mode, 125 kHz, Node ID 0, Net ID 0, power position 7.
constexpr Parameters kFactoryParameters = {0x01, 0x00, 0x6C, 0x80, 0x12, 0x0B, 0x00, 0x07, 0x00, 0x00, 0x00, 0x07};

// Baud rate of a serial speed code (1 = 1200 ... 7 = 57600); 0 for an unknown code.
uint32_t baudOfSpeedCode(uint8_t code);

// Bytes a packet carries on the air: the module gathers what its station writes into packets of at most this
// many bytes, and a receiving module hands a packet over when it ends (see AirChannel).
constexpr size_t kPacketBytes = 64;

// LoRa time on the air of one packet, in milliseconds: spreading factor sf (7 to 12, 2^sf chips a symbol),
// bandwidth in kHz, payload bytes; a preamble of 8 symbols, explicit header, CRC on, coding rate 4/5, and the
// low data rate optimisation when a symbol lasts more than 16 ms.
double loraTimeOnAirMs(int sf, double bandwidthKhz, size_t payloadBytes);
// The module's air rate for its spreading-factor code (P5: 07..0C for 128..4096 chips) and bandwidth code
// (P7: 06..09 for 62.5, 125, 250, 500 kHz): the payload of a full packet over its time on the air. Codes out of
// range count as the nearest valid one.
double loraAirRate(uint8_t spreadingFactorCode, uint8_t bandwidthCode);

struct ModuleCounters {
  uint64_t fromStation = 0;       // bytes the station wrote
  uint64_t toStation = 0;         // bytes handed to the station
  uint64_t airSent = 0;           // bytes radiated
  uint64_t airReceived = 0;       // bytes received from the air (after losses)
  uint64_t overflow = 0;          // bytes lost because the transmit buffer was full
  uint64_t spoiledIn = 0;         // bytes from the station spoiled by a speed or parity mismatch
  uint64_t spoiledOut = 0;        // bytes to the station spoiled by a speed or parity mismatch
  uint64_t errors = 0;            // received bytes altered by injected noise
  uint64_t losses = 0;            // received bytes lost to injected noise
  uint64_t collisionBytes = 0;    // received bytes garbled by a collision
  uint64_t missedWhileSending = 0;// bytes not heard because this module was transmitting
  uint64_t readCommands = 0;
  uint64_t writeCommands = 0;
  uint64_t badCommands = 0;       // command frames with a wrong checksum (ignored)
  uint64_t outputDropped = 0;     // bytes for a station that did not read them
};

class RadioModule {
 public:
  // bufferSize: bytes the transmit buffer holds; airRate: bytes a second on the air, 0 to follow the module's
  // spreading factor and bandwidth (loraAirRate); log: receives one line per event worth telling.
  RadioModule(int index, const Parameters& parameters, size_t bufferSize, double airRate,
              std::function<void(const std::string&)> log);

  int index() const { return index_; }
  const Parameters& parameters() const { return parameters_; }
  void setParameters(const Parameters& p);
  const ModuleCounters& counters() const { return counters_; }
  uint32_t serialBaud() const { return baudOfSpeedCode(parameters_[0]); }
  double airRate() const;
  // True when two modules hear each other: same frequency, spreading factor, bandwidth and Net ID.
  bool sameChannel(const RadioModule& other) const;

  // Bytes written by the station on a line set to lineBaud / lineParity; `noise` spoils them on a mismatch.
  // They came in at nowUs, or spread evenly over (sinceUs, nowUs]: a simulator that ran late reads at once
  // what the line carried all that time, while a real module's transmitter went on emptying its buffer.
  void fromStation(std::string_view bytes, uint32_t lineBaud, uint8_t lineParity, uint64_t nowUs, Rng& noise) {
    fromStation(bytes, lineBaud, lineParity, nowUs, nowUs, noise);
  }
  void fromStation(std::string_view bytes, uint32_t lineBaud, uint8_t lineParity, uint64_t sinceUs, uint64_t nowUs,
                   Rng& noise);
  // Lets go of bytes held back as a possible command frame once the line has been idle long enough.
  void poll(uint64_t nowUs);

  // Air side: whether the module is transmitting, and the bytes it radiates in the next dtUs microseconds.
  bool onAir() const { return !airQueue_.empty(); }
  std::string radiate(uint64_t dtUs);
  size_t bufferLevel() const { return airQueue_.size(); }
  // Bytes received from the air (already passed through the noise), bound for the station.
  void fromAir(std::string_view bytes);
  // Counters the air channel keeps for this module.
  ModuleCounters& channelCounters() { return counters_; }

  // Serial side towards the station: the bytes the line carries in the next dtUs microseconds, spoiled when
  // the station's line does not match the module's.
  std::string toStation(uint64_t dtUs, uint32_t lineBaud, uint8_t lineParity, Rng& noise);

 private:
  enum class Match { kComplete, kPrefix, kNone };
  Match matchFrame(size_t& length, size_t& offset) const;
  void scan(uint64_t nowUs, bool flush);
  void toAir(char c, uint64_t atUs);
  void answer(std::string_view frame);
  void queueOutput(std::string_view bytes);
  void log(const std::string& line) const;

  int index_;
  Parameters parameters_;
  size_t bufferSize_;
  double fixedAirRate_;
  std::function<void(const std::string&)> log_;
  ModuleCounters counters_;

  std::string held_;            // input held back as a possible command frame
  uint64_t lastInputUs_ = 0;
  std::deque<char> airQueue_;   // the transmit buffer
  double airCredit_ = 0.0;
  // The buffer's fill as a byte coming in finds it: the transmitter empties it at the air rate all the time it
  // holds bytes, also between two of the simulator's turns (airQueue_ is emptied at the turns).
  double fill_ = 0.0;
  uint64_t fillUs_ = 0;
  bool overflowing_ = false;
  struct OutByte {
    char c;
    uint32_t baud;    // speed of the module's line when the byte was queued
    uint8_t parity;
  };
  std::deque<OutByte> output_;  // bytes bound for the station
  double outCredit_ = 0.0;
  bool mismatchLogged_ = false;
};

}  // namespace modsim
