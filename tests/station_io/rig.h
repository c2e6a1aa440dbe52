#pragma once
// One station's serial side on a simulated clock, with in-memory serial lines and a recording window.
#include <string>

#include "autex/langues.h"
#include "autex/traitement_chaines.h"
#include "platform/clock.h"
#include "platform/keyboard.h"
#include "platform/priority.h"
#include "station/station_io.h"
#include "tests/station_io/fakes.h"

namespace stationtest {

inline std::string bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(char(v));
  return s;
}

inline uint8_t sum(std::string_view s) {
  unsigned t = 0;
  for (char c : s) t += static_cast<unsigned char>(c);
  return uint8_t(t);
}

// A module reply: header, 00, command, 0C, the twelve parameters, checksum, CR LF.
inline std::string reply(uint8_t command, const std::string& params12) {
  std::string r = bytes({0xAF, 0xAF, 0x00, 0x00, 0xAF, 0x00, command, 0x0C}) + params12;
  r.push_back(char(sum(r)));
  return r + "\r\n";
}

// Parameters: speed code, parity, frequency code (3), SF code, mode, BW code, Node ID (2), Net ID, power.
inline std::string params(int speed, int sf, int bw, int node = 0, int net = 0, int power = 7, int mode = 0,
                          uint32_t freq = 0x6C8012) {
  return bytes({speed, 0, int(freq >> 16), int((freq >> 8) & 0xFF), int(freq & 0xFF), sf, mode, bw, node >> 8,
                node & 0xFF, net, power});
}

// A module on a fake line: answers read and write frames at once, on its own line speed only.
struct FakeModule {
  std::string parameters = params(1, 0x0B, 0x07);
  uint32_t baud() const { return parameters[0] == 4 ? 9600u : 1200u; }
  int reads = 0;
  int writes = 0;
  bool silent = false;

  void attach(FakeLine& line) {
    line.onWrite = [this](FakeLine& l, const std::string& w) {
      if (silent || l.settings.BaudRate != baud()) return;
      const size_t p = w.find(std::string("\xAF\xAF\x00\x00\xAF\x80", 6));
      if (p == std::string::npos || w.size() < p + 23) return;
      const uint8_t command = uint8_t(w[p + 6]);
      if (command == 2) {
        ++reads;
        l.input += reply(2, parameters);
      } else if (command == 1) {
        ++writes;
        parameters = w.substr(p + 8, 12);
        l.input += reply(1, parameters);
      }
    };
  }
};

struct Rig {
  FakeWindow window;
  autex::Langues langues;
  platform::SimulatedClock clock{100000};
  autex::Horodatage horodatage{clock};
  FakeDevices devices;
  platform::RecordingPriority priority;
  platform::SimulatedKeyboard keyboard;
  station::StationIo io{window, langues, horodatage, clock, devices, priority, keyboard};

  // Selects COM n (present on a fake line) and opens it at the port speed, as a port choice does.
  std::shared_ptr<FakeLine> openPort(int n = 3, uint16_t vitesse = 1200) {
    auto line = devices.lines.count(n) ? devices.lines[n] : devices.add(n);
    io.materiel.Vitesse_port = vitesse;
    io.ports.COM_GPSClick(n);
    return line;
  }
  // Runs the main window's and the module window's timers for `ms` milliseconds of simulated time.
  void run(uint32_t ms) {
    for (uint32_t t = 0; t < ms; ++t) {
      clock.advance(1);
      if (window.timer1) io.boucle.Timer1Timer();
      if (clock.timeGetTime() % 100 == 0) io.transceiver.Timer1Timer();
      if (clock.timeGetTime() % 333 == 0) io.boucle.Timer2Timer();
      if (clock.timeGetTime() % 2000 == 0) io.boucle.Timer3Timer();
    }
  }
};

}  // namespace stationtest
