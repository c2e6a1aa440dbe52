// The station's serial side against the radio module simulator over real pseudo-terminals, on the real clock.
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include "tests/station_io/fakes.h"
#include "tests/support/temp_dir.h"
#include "station/station_io.h"
#include "tools/module_simulator/simulator.h"

using namespace stationtest;

namespace {

// A station on the system clock whose COM5 is a pseudo-terminal of the simulator.
struct PtyStation {
  FakeWindow window;
  autex::Langues langues;
  autex::Horodatage horodatage{platform::systemClock()};
  platform::PosixSerialDevices devices;
  platform::RecordingPriority priority;
  platform::SimulatedKeyboard keyboard;
  station::StationIo io{window, langues, horodatage, platform::systemClock(), devices, priority, keyboard};

  explicit PtyStation(const std::string& pty, uint16_t vitesse, const std::string& transceiver = "DRF1278DM") {
    devices.setPath(5, pty);
    window.transceiver = transceiver;
    io.materiel.Vitesse_port = vitesse;
    io.ports.COM_GPSClick(5);
  }

  // Runs the timers as the main window and the module window would, until `done` or the time is up.
  bool run(std::chrono::milliseconds limit, const std::function<bool()>& done = [] { return false; }) {
    auto& clock = platform::systemClock();
    const uint32_t start = clock.timeGetTime();
    uint32_t next100 = start + 100, next333 = start + 333, next2000 = start + 2000;
    while (platform::elapsedMs(clock.timeGetTime(), start) < uint32_t(limit.count())) {
      if (window.timer1) io.boucle.Timer1Timer();
      const uint32_t now = clock.timeGetTime();
      if (platform::reached(now, next100)) {
        io.transceiver.Timer1Timer();
        next100 += 100;
      }
      if (platform::reached(now, next333)) {
        io.boucle.Timer2Timer();
        next333 += 333;
      }
      if (platform::reached(now, next2000)) {
        io.boucle.Timer3Timer();
        next2000 += 2000;
      }
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
  }
};

modsim::Parameters at9600() {
  modsim::Parameters p = modsim::kFactoryParameters;
  p[0] = 0x04;
  p[5] = 0x0A;
  return p;
}

std::string randomBytes(size_t n, uint32_t seed) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (char& c : s) c = char(gen() & 0xFF);
  return s;
}

TEST(OverPty, AutomaticCheckEndsVerifiedAt9600) {
  modsim::SimulatorConfig config;  // factory modules: 1200 baud, spreading factor 2048
  modsim::Simulator sim(config);
  sim.start();
  PtyStation a(sim.ptyPath(0), 1200);
  ASSERT_EQ(a.io.boucle.Port_ouvert, 1);
  EXPECT_EQ(a.window.lastInfo(), "Success opening the serial port at 1200 bauds");
  auto& t = a.io.transceiver;
  ASSERT_TRUE(a.run(std::chrono::seconds(8), [&] { return t.Module_verifie == 1 && t.Commande_DRF_en_attente == 0; }));
  EXPECT_EQ(a.io.materiel.Vitesse_port, 9600);
  EXPECT_EQ(sim.stationBaud(0), 9600u);
  EXPECT_EQ(sim.parameters(0)[0], 0x04);
  EXPECT_EQ(sim.parameters(0)[5], 0x0A);
  EXPECT_EQ(sim.parameters(0)[7], 0x07);
  modsim::ModuleCounters c = sim.counters(0);
  EXPECT_EQ(c.readCommands, 2u);
  EXPECT_EQ(c.writeCommands, 1u);
  EXPECT_EQ(c.airSent, 0u);  // no command frame went on the air
  EXPECT_EQ(c.spoiledIn + c.spoiledOut, 0u);

  // The module window reads the module at 9600.
  t.Fenetre_transceiver_active = 1;
  t.Lecture_parametres_DRF1278DM(1);
  ASSERT_TRUE(a.run(std::chrono::seconds(2), [&] { return t.Commande_DRF_en_attente == 0; }));
  ASSERT_FALSE(a.window.info2.empty());
  EXPECT_EQ(a.window.info2.back(), "Reading success of the parameters");
  EXPECT_EQ(a.window.donnees.back(), "1024 chips / 125 KHz Node ID:00000 Net ID:000");
  sim.stop();
}

// A module reprogrammed by the station keeps its settings and line speed in the simulator's state file, as a
// real module does: after a restart of the simulator (which is given other settings) the station, now at
// 9600 baud, finds its module verified with one read and no write. Lines of the file that are not understood
// are skipped.
TEST(OverPty, AReprogrammedModuleKeepsItsSettingsAcrossRuns) {
  testsupport::TempDir dir;
  const std::string state = dir.file("modules.state");
  {
    modsim::SimulatorConfig config;  // a factory module: 1200 baud, spreading factor 2048
    config.stateFile = state;
    modsim::Simulator sim(config);
    sim.start();
    PtyStation a(sim.ptyPath(0), 1200);
    auto& t = a.io.transceiver;
    ASSERT_TRUE(a.run(std::chrono::seconds(8), [&] { return t.Module_verifie == 1 && t.Commande_DRF_en_attente == 0; }));
    EXPECT_EQ(sim.counters(0).writeCommands, 1u);
    sim.stop();
  }
  const std::string written = dir.read("modules.state");
  EXPECT_NE(written.find("M1 04006C80120A0007000000"), std::string::npos) << written;
  dir.write("modules.state", written + "M2 not-hex\nM0 01006C80120B000700000007\n");

  modsim::SimulatorConfig config;
  config.stateFile = state;
  config.parameters = {modsim::kFactoryParameters, modsim::kFactoryParameters};
  modsim::Simulator sim(config);
  EXPECT_EQ(sim.parameters(0)[0], 0x04);
  EXPECT_EQ(sim.parameters(0)[5], 0x0A);
  EXPECT_TRUE(sim.parameters(1) == modsim::kFactoryParameters);  // its line was not understood
  EXPECT_EQ(sim.stationBaud(0), 9600u);  // the line waits at the kept speed
  sim.start();
  PtyStation a(sim.ptyPath(0), 9600);
  auto& t = a.io.transceiver;
  ASSERT_TRUE(a.run(std::chrono::seconds(6), [&] { return t.Module_verifie == 1 && t.Commande_DRF_en_attente == 0; }));
  EXPECT_EQ(sim.counters(0).readCommands, 1u);
  EXPECT_EQ(sim.counters(0).writeCommands, 0u);
  sim.stop();
  // The file now holds both modules, the unreadable lines gone.
  const std::string after = dir.read("modules.state");
  EXPECT_NE(after.find("M2 01006C80120B000700000007"), std::string::npos) << after;
  EXPECT_EQ(after.find("not-hex"), std::string::npos);
}

TEST(OverPty, WrongSpeedGetsNoAnswer) {
  modsim::SimulatorConfig config;  // the module listens at 1200
  modsim::Simulator sim(config);
  sim.start();
  PtyStation a(sim.ptyPath(0), 9600);
  a.io.transceiver.Module_verifie = 1;
  a.io.transceiver.Lecture_parametres_DRF1278DM(1);
  ASSERT_TRUE(a.run(std::chrono::seconds(2), [&] { return a.io.transceiver.Commande_DRF_en_attente == 0; }));
  EXPECT_EQ(a.window.lastInfo(), "None answer (suspect serial port or speed): COM5 at 9600 bauds");
  EXPECT_EQ(sim.counters(0).spoiledIn, 25u);
  EXPECT_EQ(sim.counters(0).readCommands, 0u);
  sim.stop();
}

struct TenKilobytes : ::testing::Test {
  // Modules that radiate as fast as the paced writer counts them to at 9600 bauds (360 bytes a second).
  modsim::Simulator sim{[] {
    modsim::SimulatorConfig c;
    c.parameters = {at9600(), at9600()};
    c.airRate = 360;
    return c;
  }()};
  const std::string data = randomBytes(10240, 1234);

  void SetUp() override { sim.start(); }
  void TearDown() override { sim.stop(); }

  // Collects what station B's port gives until `count` bytes came or nothing came for `quiet`.
  std::string collect(PtyStation& b, size_t count, std::chrono::milliseconds quiet) {
    std::string got;
    auto last = std::chrono::steady_clock::now();
    while (got.size() < count && std::chrono::steady_clock::now() - last < quiet) {
      const std::string r = b.io.materiel.Lire_port_serie(b.io.materiel.Handle_port);
      if (!r.empty()) {
        got += r;
        last = std::chrono::steady_clock::now();
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return got;
  }
};

TEST_F(TenKilobytes, ThroughThePacedWriterArriveIntact) {
  PtyStation a(sim.ptyPath(0), 9600, "");
  PtyStation b(sim.ptyPath(1), 9600, "");
  ASSERT_EQ(a.io.boucle.Port_ouvert, 1);
  ASSERT_EQ(b.io.boucle.Port_ouvert, 1);
  a.io.boucle.File_emission = data;
  std::string got;
  std::thread reader([&] { got = collect(b, data.size(), std::chrono::seconds(5)); });
  a.run(std::chrono::seconds(60), [&] { return a.io.boucle.File_emission.empty(); });
  reader.join();
  EXPECT_EQ(a.io.boucle.OCTETS_ECRITS, data.size());
  EXPECT_EQ(sim.counters(0).overflow, 0u);
  EXPECT_EQ(got.size(), data.size());
  EXPECT_TRUE(got == data);
}

TEST_F(TenKilobytes, SentUnpacedOverflowTheModule) {
  PtyStation a(sim.ptyPath(0), 9600, "");
  PtyStation b(sim.ptyPath(1), 9600, "");
  ASSERT_TRUE(a.io.materiel.Ecrire_port_serie(a.io.materiel.Handle_port, data));
  const std::string got = collect(b, data.size(), std::chrono::seconds(3));
  EXPECT_GT(sim.counters(0).overflow, 0u);
  EXPECT_EQ(sim.counters(0).overflow + got.size(), data.size());
  EXPECT_LT(got.size(), data.size());
}

// A simulator whose turn comes late (its thread waited for a processor) takes at once what a station wrote
// meanwhile at the pace its module radiates: the module lost nothing of it, as a real one, emptying its buffer
// all along, would not; bytes written faster than that still overflow it.
TEST(OverPty, ATurnThatComesLateLosesNothingThePacedStationSent) {
  modsim::SimulatorConfig config;
  config.parameters = {at9600(), at9600()};
  config.airRate = 360;
  modsim::Simulator sim(config);  // not started: its turns are taken below
  const int line = ::open(sim.ptyPath(0).c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(line, 0);
  sim.runOnce(0);
  const std::string data = randomBytes(36, 5);
  for (int i = 0; i < 20; ++i) {  // 720 bytes over two seconds: 360 a second
    ASSERT_EQ(::write(line, data.data(), data.size()), ssize_t(data.size()));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  sim.runOnce(0);
  EXPECT_EQ(sim.counters(0).fromStation, 720u);
  EXPECT_EQ(sim.counters(0).overflow, 0u);
  const std::string burst = randomBytes(1000, 6);
  ASSERT_EQ(::write(line, burst.data(), burst.size()), ssize_t(burst.size()));
  sim.runOnce(0);
  EXPECT_GT(sim.counters(0).overflow, 400u);
  ::close(line);
}

// The native serial port over a pseudo-terminal.
TEST(PosixSerialPort, SettingsQueueAndExclusiveOpening) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(master, 0);
  ASSERT_EQ(::grantpt(master), 0);
  ASSERT_EQ(::unlockpt(master), 0);
  const std::string path = ::ptsname(master);
  auto port = platform::PosixSerialDevices::openPath(path);
  ASSERT_TRUE(port);
  EXPECT_FALSE(platform::PosixSerialDevices::openPath(path));  // no sharing
  platform::SerialSettings s;
  s.BaudRate = 9600;
  s.StopBits = 2;  // (a pseudo-terminal keeps 8 bits and no parity whatever it is asked)
  ASSERT_TRUE(port->setCommState(s));
  platform::SerialSettings back;
  ASSERT_TRUE(port->getCommState(back));
  EXPECT_EQ(back.BaudRate, 9600u);
  EXPECT_EQ(back.ByteSize, 8);
  EXPECT_EQ(back.Parity, 0);
  EXPECT_EQ(back.StopBits, 2);
  s.BaudRate = 12345;
  EXPECT_FALSE(port->setCommState(s));

  ASSERT_EQ(::write(master, "\x00\x01\xFFZ", 4), 4);
  uint32_t waiting = 0;
  for (int i = 0; i < 100 && waiting < 4; ++i) {
    ASSERT_TRUE(port->inputQueueCount(waiting));
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(waiting, 4u);
  std::string got;
  ASSERT_TRUE(port->readBytes(waiting, got));
  EXPECT_EQ(got, std::string("\x00\x01\xFFZ", 4));
  uint32_t written = 0;
  ASSERT_TRUE(port->writeBytes("out", written));
  EXPECT_EQ(written, 3u);
  char buf[8];
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(::read(master, buf, sizeof buf), 3);
  port.reset();
  EXPECT_TRUE(platform::PosixSerialDevices::openPath(path));  // free again once closed
  ::close(master);

  platform::PosixSerialDevices none;
  EXPECT_FALSE(none.open(1));
}

}  // namespace
