// The simulated radio module and the air between modules, without pseudo-terminals.
#include <gtest/gtest.h>

#include "tools/module_simulator/air_channel.h"
#include "tools/module_simulator/radio_module.h"

using namespace modsim;

namespace {

std::string bytes(std::initializer_list<int> v) {
  std::string s;
  for (int b : v) s.push_back(char(b));
  return s;
}

uint8_t sum(std::string_view s) {
  unsigned t = 0;
  for (char c : s) t += static_cast<unsigned char>(c);
  return uint8_t(t);
}

std::string command(uint8_t cmd, const Parameters& p = {}) {
  std::string f = bytes({0xAF, 0xAF, 0x00, 0x00, 0xAF, 0x80, cmd, 0x0C});
  for (uint8_t b : p) f.push_back(char(b));
  f.push_back(char(sum(f)));
  return f + "\r\n";
}

std::string paramString(const Parameters& p) { return std::string(reinterpret_cast<const char*>(p.data()), 12); }

struct ModuleTest : ::testing::Test {
  std::vector<std::string> log;
  RadioModule m{0, kFactoryParameters, 512, 0, [this](const std::string& l) { log.push_back(l); }};
  Rng noise{7};
  uint64_t t = 1000000;
  std::string drain(uint32_t baud = 1200) { return m.toStation(10000000, baud, 0, noise); }
};

TEST_F(ModuleTest, ReadCommandIsAnsweredAndNeverRadiated) {
  m.fromStation(std::string("\r\n") + command(2), 1200, 0, t, noise);
  EXPECT_EQ(m.bufferLevel(), 0u);
  std::string expected = bytes({0xAF, 0xAF, 0x00, 0x00, 0xAF, 0x00, 0x02, 0x0C}) + paramString(kFactoryParameters);
  expected.push_back(char(sum(expected)));
  expected += "\r\n";
  EXPECT_EQ(drain(), expected);
  EXPECT_EQ(m.counters().readCommands, 1u);
}

TEST_F(ModuleTest, DataAroundACommandGoesOnTheAir) {
  m.fromStation("hello\r\n" + std::string("\r\n") + command(2) + "bye\xAF", 1200, 0, t, noise);
  EXPECT_EQ(m.bufferLevel(), 10u);  // "hello\r\n", "bye"; the 0xAF may begin a frame and waits
  m.poll(t + 10000);
  EXPECT_EQ(m.bufferLevel(), 10u);
  m.poll(t + 60000);  // the line fell idle: it was data
  EXPECT_EQ(m.bufferLevel(), 11u);
  EXPECT_EQ(m.radiate(1000000), "hello\r\nbye\xAF");
  EXPECT_EQ(m.counters().readCommands, 1u);
}

TEST_F(ModuleTest, WriteCommandStoresTheParametersAndChangesSpeedAfterTheReply) {
  Parameters p = kFactoryParameters;
  p[0] = 0x04;  // 9600 baud
  p[5] = 0x0A;
  p[10] = 33;
  m.fromStation(command(1, p), 1200, 0, t, noise);
  EXPECT_EQ(m.parameters(), p);
  EXPECT_EQ(m.serialBaud(), 9600u);
  // The reply leaves at 1200 baud and reaches a station still at 1200 intact.
  const std::string r = m.toStation(1000000, 1200, 0, noise);
  ASSERT_EQ(r.size(), 23u);
  EXPECT_EQ(r.substr(8, 12), paramString(p));
  EXPECT_EQ(m.counters().spoiledOut, 0u);
  EXPECT_EQ(m.counters().writeCommands, 1u);
  // From now on the module speaks at 9600: a station left at 1200 gets spoiled bytes.
  m.fromStation(command(2), 1200, 0, t, noise);
  EXPECT_EQ(m.counters().readCommands, 0u);
  EXPECT_EQ(m.counters().spoiledIn, 23u);
  m.fromStation(command(2), 9600, 0, t + 100000, noise);
  EXPECT_EQ(m.counters().readCommands, 1u);
}

TEST_F(ModuleTest, UnknownSpeedCodeStillAnswersWithGarbage) {
  Parameters p = kFactoryParameters;
  p[0] = 0x09;
  m.fromStation(command(1, p), 1200, 0, t, noise);
  EXPECT_EQ(m.serialBaud(), 0u);
  EXPECT_EQ(drain().size(), 23u);  // the reply left at the old speed
  m.fromStation(command(2), 1200, 0, t + 100000, noise);
  EXPECT_EQ(m.counters().readCommands, 0u);  // no station line matches an unknown speed
  m.fromAir("zz");
  const std::string r = m.toStation(1000000, 1200, 0, noise);
  EXPECT_EQ(r.size(), 2u);
  EXPECT_EQ(m.counters().spoiledOut, 2u);
}

TEST_F(ModuleTest, WrongChecksumIsIgnored) {
  std::string f = command(2);
  f[20] = char(f[20] ^ 1);
  m.fromStation(f, 1200, 0, t, noise);
  EXPECT_EQ(m.counters().badCommands, 1u);
  EXPECT_EQ(m.bufferLevel(), 0u);
  EXPECT_TRUE(drain().empty());
}

TEST_F(ModuleTest, CommandSplitAcrossWritesIsRecognised) {
  const std::string f = "\r\n" + command(2);
  for (size_t i = 0; i < f.size(); ++i) m.fromStation(f.substr(i, 1), 1200, 0, t + i * 8000, noise);
  EXPECT_EQ(m.counters().readCommands, 1u);
  EXPECT_EQ(m.bufferLevel(), 0u);
}

TEST_F(ModuleTest, SpoiledOutputOnAParityMismatch) {
  m.fromStation(command(2), 1200, 0, t, noise);
  const std::string r = m.toStation(1000000, 1200, 2, noise);  // the station's line expects even parity
  EXPECT_EQ(r.size(), 23u);
  EXPECT_EQ(m.counters().spoiledOut, 23u);
  EXPECT_NE(r.substr(0, 5), bytes({0xAF, 0xAF, 0x00, 0x00, 0xAF}));
  EXPECT_EQ(m.counters().spoiledIn, 0u);
}

TEST_F(ModuleTest, BoundedBufferCountsOverflowAndAirRateFollowsTheLoRaSettings) {
  RadioModule small(1, kFactoryParameters, 100, 120, nullptr);
  small.fromStation(std::string(150, 'x'), 1200, 0, t, noise);
  EXPECT_EQ(small.bufferLevel(), 100u);
  EXPECT_EQ(small.counters().overflow, 50u);
  EXPECT_EQ(small.radiate(500000).size(), 60u);  // 120 bytes a second
  EXPECT_EQ(small.radiate(500000).size(), 40u);
  EXPECT_FALSE(small.onAir());
  // Bytes read at once that came in over a second (a simulator's turn that came late): the transmitter emptied
  // the buffer while they came, as a real module's does. 150 fit; of 400, those beyond what the buffer holds
  // and the second's 120 bytes of air are lost.
  const uint64_t later = t + 10000000;
  small.fromStation(std::string(150, 'y'), 1200, 0, later - 1000000, later, noise);
  EXPECT_EQ(small.counters().overflow, 50u);
  small.radiate(1000000);
  RadioModule late(1, kFactoryParameters, 100, 120, nullptr);
  late.fromStation(std::string(400, 'z'), 1200, 0, t, t + 1000000, noise);
  EXPECT_NEAR(double(late.counters().overflow), 400 - 100 - 120, 1);

  // Without a fixed rate the module radiates as its spreading factor and bandwidth allow: a 64-byte packet's
  // time on the air (8 + 4.25 preamble symbols, 8 + 5 x ceil((8 x 64 - 4 SF + 44) / (4 (SF - 2 DE))) payload
  // symbols of 2^SF / BW each), whatever the serial line's speed.
  const struct {
    uint8_t sf, bw;
    double symbols, symbolMs;
  } cases[] = {
      {0x0A, 0x07, 12.25 + 8 + 5 * 13, 1024 / 125.0},  // 1024 chips, 125 kHz (the station's settings)
      {0x0B, 0x07, 12.25 + 8 + 5 * 15, 2048 / 125.0},  // 2048 chips, 125 kHz: low data rate optimisation
      {0x0C, 0x07, 12.25 + 8 + 5 * 13, 4096 / 125.0},  // 4096 chips, 125 kHz
      {0x0C, 0x06, 12.25 + 8 + 5 * 13, 4096 / 62.5},   // 4096 chips, 62.5 kHz
      {0x07, 0x09, 12.25 + 8 + 5 * 19, 128 / 500.0},   // 128 chips, 500 kHz
  };
  RadioModule lora(3, kFactoryParameters, 100, 0, nullptr);
  for (const auto& c : cases) {
    Parameters p = kFactoryParameters;
    p[5] = c.sf;
    p[7] = c.bw;
    for (const uint8_t speed : {uint8_t(1), uint8_t(4)}) {
      p[0] = speed;
      lora.setParameters(p);
      EXPECT_NEAR(lora.airRate(), 64.0 * 1000.0 / (c.symbols * c.symbolMs), 1e-9) << int(c.sf) << " " << int(c.bw);
    }
  }
  Parameters slow = kFactoryParameters;
  slow[5] = 0x0C;
  lora.setParameters(slow);
  EXPECT_GT(lora.airRate(), 22.0);
  EXPECT_LT(lora.airRate(), 23.0);
  lora.fromStation(std::string(100, 'x'), 1200, 0, t, noise);
  EXPECT_EQ(lora.radiate(1000000).size(), 22u);
  RadioModule fixed(2, kFactoryParameters, 100, 50, nullptr);
  EXPECT_DOUBLE_EQ(fixed.airRate(), 50.0);
}

TEST_F(ModuleTest, SerialLinePacesTheBytesToTheStation) {
  m.fromAir(std::string(300, 'a'));
  EXPECT_EQ(m.toStation(500000, 1200, 0, noise).size(), 60u);  // 1200 baud, ten bits a byte
  EXPECT_EQ(m.toStation(1000000, 1200, 0, noise).size(), 120u);
  EXPECT_EQ(m.counters().toStation, 180u);
}

struct Air : ::testing::Test {
  std::vector<RadioModule> modules;
  std::vector<RadioModule*> ptrs;
  Rng noise{3};
  void make(int n) {
    modules.clear();
    // 120 bytes a second on the air, whatever the LoRa settings.
    for (int i = 0; i < n; ++i) modules.emplace_back(i, kFactoryParameters, 4096, 120, nullptr);
    ptrs.clear();
    for (auto& m : modules) ptrs.push_back(&m);
  }
  std::string received(int i) { return modules[size_t(i)].toStation(100000000, 1200, 0, noise); }
  void run(AirChannel& air, int seconds) {
    for (int i = 0; i < seconds * 100; ++i) air.step(ptrs, 10000);
  }
};

TEST_F(Air, BytesReachEveryModuleOnTheChannel) {
  make(3);
  Parameters other = kFactoryParameters;
  other[10] = 5;  // another Net ID
  modules[2].setParameters(other);
  AirChannel air({}, 1, 3);
  modules[0].fromStation("CQ CQ", 1200, 0, 0, noise);
  run(air, 1);
  EXPECT_EQ(received(1), "CQ CQ");
  EXPECT_EQ(received(2), "");
  EXPECT_EQ(modules[0].counters().airSent, 5u);
}

TEST_F(Air, HalfDuplexAndCollisions) {
  make(3);
  AirChannel air({}, 1, 3);
  modules[0].fromStation(std::string(60, 'a'), 1200, 0, 0, noise);
  modules[1].fromStation(std::string(60, 'b'), 1200, 0, 0, noise);
  run(air, 1);
  // The two senders do not hear each other; the third hears both at once, garbled.
  EXPECT_EQ(modules[0].counters().missedWhileSending, 60u);
  EXPECT_EQ(modules[1].counters().missedWhileSending, 60u);
  EXPECT_EQ(modules[2].counters().collisionBytes, 120u);
  const std::string r = received(2);
  EXPECT_EQ(r.size(), 120u);
  EXPECT_EQ(std::count(r.begin(), r.end(), 'a') + std::count(r.begin(), r.end(), 'b'), 0);
}

TEST_F(Air, TheBytesOfAPacketReachTheListenerOnlyWhenThePacketEnds) {
  make(2);
  AirChannel air({}, 1, 2);
  // 10 bytes at 120 bytes a second: on the air for about 83 ms; nothing is heard before the last one.
  modules[0].fromStation("0123456789", 1200, 0, 0, noise);
  for (int i = 0; i < 7; ++i) air.step(ptrs, 10000);
  EXPECT_TRUE(modules[0].onAir());
  EXPECT_EQ(received(1), "");
  for (int i = 0; i < 3; ++i) air.step(ptrs, 10000);
  EXPECT_FALSE(modules[0].onAir());
  EXPECT_EQ(received(1), "0123456789");

  // A long transmission arrives in packets of kPacketBytes, in order.
  std::string data;
  for (int i = 0; i < 150; ++i) data.push_back(char('a' + i % 26));
  modules[0].fromStation(data, 1200, 0, 0, noise);
  std::string heard;
  for (int i = 0; i < 200 && heard.size() < AirChannel::kPacketBytes; ++i) {
    air.step(ptrs, 10000);
    heard += received(1);
  }
  EXPECT_EQ(heard.size(), AirChannel::kPacketBytes);
  EXPECT_TRUE(modules[0].onAir());
  run(air, 2);
  heard += received(1);
  EXPECT_TRUE(heard == data);
}

TEST_F(Air, AnAnswerToAWholePacketIsHeardWhole) {
  // The second station answers as soon as it has the first one's frame: the sender is off the air by then
  // and hears the whole answer, even when the frame ends with padding.
  make(2);
  AirChannel air({}, 1, 2);
  modules[0].fromStation("FRAME" + std::string(7, 'U'), 1200, 0, 0, noise);
  std::string answer = "REPLY";
  bool answered = false;
  for (int i = 0; i < 300; ++i) {
    air.step(ptrs, 1000);
    if (!answered && received(1).find("FRAME") == 0) {
      modules[1].fromStation(answer, 1200, 0, uint64_t(i) * 1000, noise);
      answered = true;
    }
  }
  ASSERT_TRUE(answered);
  EXPECT_EQ(modules[0].counters().missedWhileSending, 0u);
  EXPECT_EQ(received(0), answer);
}

TEST_F(Air, InjectedNoiseIsReproducibleFromTheSeed) {
  auto runWith = [&](uint64_t seed) {
    make(2);
    NoiseConfig n;
    n.errorRate = 0.05;
    n.lossRate = 0.02;
    n.collisionRate = 0.002;
    n.collisionLength = 8;
    AirChannel air(n, seed, 2);
    std::string data;
    for (int i = 0; i < 2000; ++i) data.push_back(char('A' + i % 26));
    modules[0].fromStation(data, 1200, 0, 0, noise);
    run(air, 20);
    const ModuleCounters c = modules[1].counters();
    return std::make_tuple(received(1), c.errors, c.losses, c.collisionBytes);
  };
  const auto a = runWith(42);
  const auto b = runWith(42);
  const auto c = runWith(43);
  EXPECT_TRUE(std::get<0>(a) == std::get<0>(b));
  EXPECT_EQ(std::get<1>(a), std::get<1>(b));
  EXPECT_FALSE(std::get<0>(a) == std::get<0>(c));
  // Rates near the asked ones over 2000 bytes.
  EXPECT_GT(std::get<1>(a), 50u);
  EXPECT_LT(std::get<1>(a), 160u);
  EXPECT_GT(std::get<2>(a), 15u);
  EXPECT_LT(std::get<2>(a), 80u);
  EXPECT_GT(std::get<3>(a), 0u);
  EXPECT_EQ(std::get<0>(a).size(), 2000u - std::get<2>(a));
}

}  // namespace
