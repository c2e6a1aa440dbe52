#include "tools/module_simulator/radio_module.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace modsim {
namespace {

constexpr char kHeader[] = {char(0xAF), char(0xAF), char(0x00), char(0x00), char(0xAF)};
constexpr size_t kFrameLength = 23;  // header through CR LF
// A possible command frame is held back at most this long after its last byte.
constexpr uint64_t kHoldGapUs = 50000;
// Bytes waiting for a station that does not read them.
constexpr size_t kMaxOutput = 65536;

std::string hex(std::string_view bytes) {
  std::string out;
  char buf[4];
  for (const char c : bytes) {
    std::snprintf(buf, sizeof buf, "%02X ", static_cast<unsigned char>(c));
    out += buf;
  }
  if (!out.empty()) out.pop_back();
  return out;
}

uint8_t checksum(std::string_view bytes) {
  unsigned sum = 0;
  for (const char c : bytes) sum += static_cast<unsigned char>(c);
  return uint8_t(sum & 0xFF);
}

}  // namespace

uint32_t baudOfSpeedCode(uint8_t code) {
  static constexpr uint32_t kBauds[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600};
  return (code >= 1 && code <= 7) ? kBauds[code - 1] : 0;
}

double loraTimeOnAirMs(int sf, double bandwidthKhz, size_t payloadBytes) {
  const double symbolMs = double(1u << sf) / bandwidthKhz;
  const int lowRate = symbolMs > 16.0 ? 1 : 0;
  const double preamble = 8 + 4.25;
  const double bits = 8.0 * double(payloadBytes) - 4.0 * sf + 28 + 16;  // payload, header and CRC
  const double groups = std::ceil(bits / (4.0 * (sf - 2 * lowRate)));
  const double payload = 8 + std::max(groups, 0.0) * (4 + 1);          // coding rate 4/5
  return (preamble + payload) * symbolMs;
}

double loraAirRate(uint8_t spreadingFactorCode, uint8_t bandwidthCode) {
  static constexpr double kBandwidthsKhz[] = {62.5, 125.0, 250.0, 500.0};
  const int sf = std::clamp<int>(spreadingFactorCode, 7, 12);
  const double bandwidth = kBandwidthsKhz[std::clamp<int>(bandwidthCode, 6, 9) - 6];
  return double(kPacketBytes) * 1000.0 / loraTimeOnAirMs(sf, bandwidth, kPacketBytes);
}

RadioModule::RadioModule(int index, const Parameters& parameters, size_t bufferSize, double airRate,
                         std::function<void(const std::string&)> log)
    : index_(index), parameters_(parameters), bufferSize_(bufferSize), fixedAirRate_(airRate), log_(std::move(log)) {}

void RadioModule::log(const std::string& line) const {
  if (log_) log_("M" + std::to_string(index_ + 1) + " " + line);
}

void RadioModule::setParameters(const Parameters& p) { parameters_ = p; }

double RadioModule::airRate() const {
  if (fixedAirRate_ > 0) return fixedAirRate_;
  return loraAirRate(parameters_[5], parameters_[7]);
}

bool RadioModule::sameChannel(const RadioModule& o) const {
  const Parameters& a = parameters_;
  const Parameters& b = o.parameters_;
  return a[2] == b[2] && a[3] == b[3] && a[4] == b[4] && a[5] == b[5] && a[7] == b[7] && a[10] == b[10];
}

void RadioModule::fromStation(std::string_view bytes, uint32_t lineBaud, uint8_t lineParity, uint64_t sinceUs,
                              uint64_t nowUs, Rng& noise) {
  if (bytes.empty()) return;
  counters_.fromStation += bytes.size();
  const bool mismatch = lineBaud != serialBaud() || lineParity != parameters_[1];
  if (mismatch) {
    if (!mismatchLogged_)
      log("serial mismatch: station line " + std::to_string(lineBaud) + " baud, module " +
          std::to_string(serialBaud()) + " baud: bytes spoiled");
    mismatchLogged_ = true;
    counters_.spoiledIn += bytes.size();
  } else {
    mismatchLogged_ = false;
  }
  if (sinceUs > nowUs) sinceUs = nowUs;
  const uint64_t span = nowUs - sinceUs;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const uint64_t at = sinceUs + span * (i + 1) / bytes.size();
    held_.push_back(mismatch ? char(noise.byte()) : bytes[i]);
    lastInputUs_ = at;
    scan(at, false);
  }
}

void RadioModule::poll(uint64_t nowUs) {
  if (!held_.empty() && nowUs - lastInputUs_ >= kHoldGapUs) scan(nowUs, true);
}

// Matches the held bytes against a command frame: [CR LF] AF AF 00 00 AF 80 (01|02) 0C, twelve parameters,
// checksum, CR LF.
RadioModule::Match RadioModule::matchFrame(size_t& length, size_t& offset) const {
  offset = 0;
  if (held_[0] == '\r') {
    if (held_.size() < 2) return Match::kPrefix;
    if (held_[1] != '\n') return Match::kNone;
    offset = 2;
  } else if (held_[0] != kHeader[0]) {
    return Match::kNone;
  }
  const size_t available = held_.size() - offset;
  for (size_t i = 0; i < std::min(available, kFrameLength); ++i) {
    const char c = held_[offset + i];
    bool ok = true;
    if (i < 5) ok = c == kHeader[i];
    else if (i == 5) ok = c == char(0x80);
    else if (i == 6) ok = c == 1 || c == 2;
    else if (i == 7) ok = c == 0x0C;
    else if (i == 21) ok = c == '\r';
    else if (i == 22) ok = c == '\n';
    if (!ok) return Match::kNone;
  }
  if (available < kFrameLength) return Match::kPrefix;
  length = offset + kFrameLength;
  return Match::kComplete;
}

void RadioModule::scan(uint64_t nowUs, bool flush) {
  while (!held_.empty()) {
    // Bytes that cannot start a frame go to the air at once.
    size_t start = 0;
    while (start < held_.size() && held_[start] != '\r' && held_[start] != kHeader[0]) ++start;
    for (size_t i = 0; i < start; ++i) toAir(held_[i], nowUs);
    held_.erase(0, start);
    if (held_.empty()) return;

    size_t length = 0;
    size_t offset = 0;
    const Match m = matchFrame(length, offset);
    if (m == Match::kComplete) {
      answer(std::string_view(held_).substr(offset, kFrameLength));
      held_.erase(0, length);
    } else if (m == Match::kPrefix && !flush) {
      return;  // wait for the rest, or for the line to fall idle
    } else {
      toAir(held_[0], nowUs);
      held_.erase(0, 1);
    }
  }
}

void RadioModule::toAir(char c, uint64_t atUs) {
  if (atUs > fillUs_) {
    fill_ = std::max(0.0, fill_ - airRate() * double(atUs - fillUs_) / 1e6);
    fillUs_ = atUs;
  }
  if (fill_ + 1.0 > double(bufferSize_) + 1e-6) {
    ++counters_.overflow;
    if (!overflowing_) log("transmit buffer full (" + std::to_string(bufferSize_) + " bytes): bytes lost");
    overflowing_ = true;
    return;
  }
  overflowing_ = false;
  fill_ += 1.0;
  airQueue_.push_back(c);
}

void RadioModule::answer(std::string_view frame) {
  const uint8_t command = uint8_t(frame[6]);
  if (checksum(frame.substr(0, 20)) != uint8_t(frame[20])) {
    ++counters_.badCommands;
    log("command with a wrong checksum ignored: " + hex(frame));
    return;
  }
  const uint32_t oldBaud = serialBaud();
  if (command == 1) {
    ++counters_.writeCommands;
    Parameters p;
    for (size_t i = 0; i < 12; ++i) p[i] = uint8_t(frame[8 + i]);
    parameters_ = p;
    log("write parameters: " + hex(frame.substr(8, 12)));
  } else {
    ++counters_.readCommands;
    log("read parameters: " + hex(std::string_view(reinterpret_cast<const char*>(parameters_.data()), 12)));
  }
  std::string reply(kHeader, sizeof kHeader);
  reply.push_back(char(0x00));
  reply.push_back(char(command));
  reply.push_back(char(0x0C));
  for (const uint8_t b : parameters_) reply.push_back(char(b));
  reply.push_back(char(checksum(reply)));
  reply += "\r\n";
  // The reply leaves at the line speed in force when the command came; a new speed applies after it.
  for (const char c : reply) {
    if (output_.size() >= kMaxOutput) {
      ++counters_.outputDropped;
      continue;
    }
    output_.push_back({c, oldBaud, parameters_[1]});
  }
  if (serialBaud() != oldBaud) log("serial line now " + std::to_string(serialBaud()) + " baud");
}

std::string RadioModule::radiate(uint64_t dtUs) {
  std::string out;
  if (airQueue_.empty()) {
    airCredit_ = 0.0;
    return out;
  }
  airCredit_ += airRate() * double(dtUs) / 1e6;
  const size_t n = std::min(airQueue_.size(), size_t(airCredit_));
  airCredit_ -= double(n);
  out.assign(airQueue_.begin(), airQueue_.begin() + std::ptrdiff_t(n));
  airQueue_.erase(airQueue_.begin(), airQueue_.begin() + std::ptrdiff_t(n));
  counters_.airSent += n;
  return out;
}

void RadioModule::fromAir(std::string_view bytes) {
  counters_.airReceived += bytes.size();
  queueOutput(bytes);
}

void RadioModule::queueOutput(std::string_view bytes) {
  for (const char c : bytes) {
    if (output_.size() >= kMaxOutput) {
      ++counters_.outputDropped;
      continue;
    }
    output_.push_back({c, serialBaud(), parameters_[1]});
  }
}

std::string RadioModule::toStation(uint64_t dtUs, uint32_t lineBaud, uint8_t lineParity, Rng& noise) {
  std::string out;
  if (output_.empty()) {
    outCredit_ = 0.0;
    return out;
  }
  // Ten bits a byte on the line (start, 8 data, stop). A module set to a speed code it does not know still
  // sends (garbage, since no station line matches it) at its slowest speed.
  outCredit_ += double(std::max<uint32_t>(output_.front().baud, 1200)) / 10.0 * double(dtUs) / 1e6;
  while (!output_.empty() && outCredit_ >= 1.0) {
    const OutByte b = output_.front();
    output_.pop_front();
    outCredit_ -= 1.0;
    if (b.baud != lineBaud || b.parity != lineParity) {
      ++counters_.spoiledOut;
      out.push_back(char(noise.byte()));
    } else {
      out.push_back(b.c);
    }
  }
  counters_.toStation += out.size();
  return out;
}

}  // namespace modsim
