#include "tools/module_simulator/simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace modsim {
namespace {

uint32_t baudOf(speed_t s) {
  switch (s) {
    case B300: return 300;
    case B600: return 600;
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
  }
}

void closeFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

bool parseHexParameters(const std::string& hex, Parameters& p) {
  if (hex.size() != 24) return false;
  for (size_t i = 0; i < 12; ++i) {
    unsigned v = 0;
    for (size_t k = 0; k < 2; ++k) {
      const char c = hex[i * 2 + k];
      unsigned d;
      if (c >= '0' && c <= '9') d = unsigned(c - '0');
      else if (c >= 'A' && c <= 'F') d = unsigned(c - 'A' + 10);
      else if (c >= 'a' && c <= 'f') d = unsigned(c - 'a' + 10);
      else return false;
      v = v * 16 + d;
    }
    p[i] = uint8_t(v);
  }
  return true;
}

std::string hexParameters(const Parameters& p) {
  char out[32];
  std::snprintf(out, sizeof out, "%02X%02X%02X%02X%02X%02X%02X%02X%02X%02X%02X%02X", p[0], p[1], p[2], p[3], p[4],
                p[5], p[6], p[7], p[8], p[9], p[10], p[11]);
  return out;
}

}  // namespace

void readModuleState(const std::string& file, std::vector<Parameters>& params, std::vector<bool>& kept,
                     std::vector<std::string>& problems) {
  std::ifstream in(file);
  if (!in) return;
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string name, hex, rest;
    words >> name >> hex >> rest;
    char* end = nullptr;
    const long n = name.size() >= 2 && (name[0] == 'M' || name[0] == 'm') ? std::strtol(name.c_str() + 1, &end, 10) : 0;
    Parameters p{};
    if (n < 1 || n > 1000 || end == nullptr || *end != '\0' || !parseHexParameters(hex, p) || !rest.empty()) {
      problems.push_back(file + ":" + std::to_string(number) + ": not understood, skipped: " + line.substr(0, 80));
      continue;
    }
    if (params.size() < size_t(n)) params.resize(size_t(n), kFactoryParameters);
    if (kept.size() < size_t(n)) kept.resize(size_t(n), false);
    params[size_t(n - 1)] = p;
    kept[size_t(n - 1)] = true;
  }
}

bool writeModuleState(const std::string& file, const std::vector<Parameters>& params) {
  const std::string tmp = file + ".tmp";
  {
    std::ofstream out(tmp, std::ios::trunc);
    out << "# Simulated radio modules: M<n> and its twelve parameters (P0 serial speed code, P1 parity,\n"
           "# P2-P4 frequency, P5 spreading factor, P6 mode, P7 bandwidth, P8-P9 Node ID, P10 Net ID, P11 power).\n";
    for (size_t i = 0; i < params.size(); ++i) out << "M" << (i + 1) << " " << hexParameters(params[i]) << "\n";
    out.flush();
    if (!out) {
      std::remove(tmp.c_str());
      return false;
    }
  }
  return std::rename(tmp.c_str(), file.c_str()) == 0;
}

uint64_t nowUs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return uint64_t(ts.tv_sec) * 1000000u + uint64_t(ts.tv_nsec) / 1000u;
}

Simulator::Simulator(SimulatorConfig config)
    : config_(std::move(config)), air_(config_.noise, config_.seed, size_t(std::max(config_.stations, 0))) {
  if (config_.stations < 1) throw std::runtime_error("at least one station is needed");
  startUs_ = lastUs_ = nowUs();
  // What the modules kept from an earlier run comes before the settings they are given.
  std::vector<bool> kept;
  std::vector<std::string> problems;
  if (!config_.stateFile.empty()) {
    std::vector<Parameters> stored = config_.parameters;
    readModuleState(config_.stateFile, stored, kept, problems);
    config_.parameters.resize(size_t(config_.stations), kFactoryParameters);
    for (size_t i = 0; i < config_.parameters.size() && i < kept.size(); ++i)
      if (kept[i]) config_.parameters[i] = stored[i];
  }
  ports_.resize(size_t(config_.stations));
  for (int i = 0; i < config_.stations; ++i) {
    Port& p = ports_[size_t(i)];
    p.master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (p.master < 0 || ::grantpt(p.master) != 0 || ::unlockpt(p.master) != 0)
      throw std::runtime_error(std::string("cannot make a pseudo-terminal: ") + std::strerror(errno));
    const char* name = ::ptsname(p.master);
    if (name == nullptr) throw std::runtime_error("cannot name the pseudo-terminal");
    p.path = name;
    p.slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (p.slave < 0) throw std::runtime_error("cannot open " + p.path + ": " + std::strerror(errno));
    // A raw line (no echo, no line editing) at the module's speed until the station sets its own.
    termios t{};
    ::tcgetattr(p.slave, &t);
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    const Parameters& params =
        size_t(i) < config_.parameters.size() ? config_.parameters[size_t(i)] : kFactoryParameters;
    const uint32_t baud = baudOfSpeedCode(params[0]);
    ::cfsetspeed(&t, baud == 9600 ? B9600 : B1200);
    ::tcsetattr(p.slave, TCSANOW, &t);

    if (size_t(i) < config_.links.size() && !config_.links[size_t(i)].empty()) {
      p.link = config_.links[size_t(i)];
      struct stat st{};
      if (::lstat(p.link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) throw std::runtime_error(p.link + " exists and is not a link");
        ::unlink(p.link.c_str());
      }
      if (::symlink(p.path.c_str(), p.link.c_str()) != 0)
        throw std::runtime_error("cannot link " + p.link + ": " + std::strerror(errno));
    }
  }
  modules_.reserve(ports_.size());
  for (int i = 0; i < config_.stations; ++i) {
    const Parameters& params =
        size_t(i) < config_.parameters.size() ? config_.parameters[size_t(i)] : kFactoryParameters;
    modules_.emplace_back(i, params, config_.bufferSize, config_.airRate,
                          [this](const std::string& line) { log(line); });
    lineNoise_.emplace_back(config_.seed * 0x9E3779B97F4A7C15ull + 0x1000u + uint64_t(i));
  }
  for (int i = 0; i < config_.stations; ++i)
    log("M" + std::to_string(i + 1) + " on " + ports_[size_t(i)].path +
        (ports_[size_t(i)].link.empty() ? "" : " (" + ports_[size_t(i)].link + ")"));
  for (const std::string& p : problems) log("state file: " + p);
  if (!config_.stateFile.empty()) {
    for (int i = 0; i < config_.stations; ++i)
      log("M" + std::to_string(i + 1) + (size_t(i) < kept.size() && kept[size_t(i)] ? " kept " : " starts with ") +
          hexParameters(modules_[size_t(i)].parameters()));
    keepState();
  }
}

// Writes the state file when a module's parameters are no longer those it holds.
void Simulator::keepState() {
  if (config_.stateFile.empty()) return;
  std::vector<Parameters> now;
  for (const RadioModule& m : modules_) now.push_back(m.parameters());
  if (now == keptParameters_) return;
  if (writeModuleState(config_.stateFile, now)) {
    keptParameters_ = std::move(now);
    stateWriteFailed_ = false;
  } else if (!stateWriteFailed_) {
    stateWriteFailed_ = true;  // said once; tried again at the next change
    log("cannot write the state file " + config_.stateFile + ": the modules' settings will not be kept");
  }
}

Simulator::~Simulator() {
  stop();
  for (Port& p : ports_) {
    if (!p.link.empty()) ::unlink(p.link.c_str());
    closeFd(p.slave);
    closeFd(p.master);
  }
}

void Simulator::log(const std::string& line) const {
  if (!config_.log) return;
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "[%10.3f] ", double(nowUs() - startUs_) / 1e6);
  config_.log(stamp + line);
}

void Simulator::lineSettings(const Port& p, uint32_t& baud, uint8_t& parity) const {
  termios t{};
  if (::tcgetattr(p.master, &t) != 0) {
    baud = 0;
    parity = 0;
    return;
  }
  baud = baudOf(::cfgetospeed(&t));
  parity = (t.c_cflag & PARENB) ? ((t.c_cflag & PARODD) ? 1 : 2) : 0;
}

void Simulator::runOnce(int timeoutMs) {
  std::vector<pollfd> fds;
  for (const Port& p : ports_) fds.push_back({p.master, POLLIN, 0});
  ::poll(fds.data(), fds.size(), timeoutMs);

  std::lock_guard<std::mutex> lock(mutex_);
  // What the stations wrote is read before the clock, so that every byte read came in before `now`: read after
  // it, bytes written while this thread waited for a processor would count as come in before they were, on a
  // buffer not yet emptied for that time.
  std::vector<std::string> in(ports_.size());
  std::vector<uint32_t> bauds(ports_.size());
  std::vector<uint8_t> parities(ports_.size());
  for (size_t i = 0; i < ports_.size(); ++i) {
    Port& p = ports_[i];
    lineSettings(p, bauds[i], parities[i]);
    char buf[4096];
    for (;;) {
      const ssize_t r = ::read(p.master, buf, sizeof buf);
      if (r > 0) {
        in[i].append(buf, size_t(r));
        continue;
      }
      if (r < 0 && errno == EINTR) continue;
      break;  // nothing more now (EAGAIN), or no station on the line (EIO)
    }
  }
  const uint64_t now = nowUs();
  const uint64_t since = lastUs_;
  const uint64_t dt = now - since;
  lastUs_ = now;
  for (size_t i = 0; i < ports_.size(); ++i) {
    // They came in since the last turn: at a turn that comes late (a busy machine), all that the station wrote
    // meanwhile, while a real module's transmitter went on emptying its buffer.
    modules_[i].fromStation(in[i], bauds[i], parities[i], since, now, lineNoise_[i]);
    modules_[i].poll(now);
  }

  keepState();

  std::vector<RadioModule*> modules;
  for (RadioModule& m : modules_) modules.push_back(&m);
  air_.step(modules, dt);

  for (size_t i = 0; i < ports_.size(); ++i) {
    Port& p = ports_[i];
    if (p.pendingOut.empty()) {
      uint32_t baud;
      uint8_t parity;
      lineSettings(p, baud, parity);
      p.pendingOut = modules_[i].toStation(dt, baud, parity, lineNoise_[i]);
    }
    while (!p.pendingOut.empty()) {
      const ssize_t w = ::write(p.master, p.pendingOut.data(), p.pendingOut.size());
      if (w > 0) {
        p.pendingOut.erase(0, size_t(w));
        continue;
      }
      if (w < 0 && errno == EINTR) continue;
      break;  // the station's input queue is full: the rest waits
    }
  }
}

void Simulator::start() {
  if (running_.exchange(true)) return;
  thread_ = std::thread([this] {
    while (running_.load()) runOnce(1);
  });
}

void Simulator::stop() {
  if (!running_.exchange(false)) return;
  if (thread_.joinable()) thread_.join();
}

ModuleCounters Simulator::counters(int i) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return modules_[size_t(i)].counters();
}

Parameters Simulator::parameters(int i) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return modules_[size_t(i)].parameters();
}

void Simulator::setParameters(int i, const Parameters& p) {
  std::lock_guard<std::mutex> lock(mutex_);
  modules_[size_t(i)].setParameters(p);
  keepState();
}

size_t Simulator::bufferLevel(int i) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return modules_[size_t(i)].bufferLevel();
}

uint32_t Simulator::stationBaud(int i) const {
  uint32_t baud;
  uint8_t parity;
  lineSettings(ports_[size_t(i)], baud, parity);
  return baud;
}

std::string Simulator::report() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string out;
  for (const RadioModule& m : modules_) {
    const ModuleCounters& c = m.counters();
    const std::string k = "m" + std::to_string(m.index() + 1) + ".";
    auto line = [&](const char* name, uint64_t v) { out += k + name + "=" + std::to_string(v) + "\n"; };
    line("from_station", c.fromStation);
    line("to_station", c.toStation);
    line("air_sent", c.airSent);
    line("air_received", c.airReceived);
    line("overflow", c.overflow);
    line("spoiled_in", c.spoiledIn);
    line("spoiled_out", c.spoiledOut);
    line("errors", c.errors);
    line("losses", c.losses);
    line("collision_bytes", c.collisionBytes);
    line("missed_while_sending", c.missedWhileSending);
    line("read_commands", c.readCommands);
    line("write_commands", c.writeCommands);
    line("bad_commands", c.badCommands);
    line("output_dropped", c.outputDropped);
    line("serial_baud", m.serialBaud());
    char params[40];
    const Parameters& p = m.parameters();
    std::snprintf(params, sizeof params, "%02X%02X%02X%02X%02X%02X%02X%02X%02X%02X%02X%02X", p[0], p[1], p[2], p[3],
                  p[4], p[5], p[6], p[7], p[8], p[9], p[10], p[11]);
    out += k + "parameters=" + params + "\n";
  }
  return out;
}

}  // namespace modsim
