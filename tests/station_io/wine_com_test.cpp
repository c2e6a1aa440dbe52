// Under Wine: the Windows serial calls on a COM port that is a pseudo-terminal of the radio module simulator.
// wine_com_test.sh starts the simulator, links its ports as COMn in the prefix and names them in
// STATION_TEST_COM (a factory module) and STATION_TEST_COM2 (another factory module).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "station/station_io.h"
#include "tests/station_io/fakes.h"

using namespace stationtest;

namespace {

int portFromEnv(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::atoi(v) : 0;
}

struct WinStation {
  FakeWindow window;
  autex::Langues langues;
  autex::Horodatage horodatage{platform::systemClock()};
  platform::RecordingPriority priority;
  platform::SimulatedKeyboard keyboard;
  station::StationIo io{window,   langues,  horodatage, platform::systemClock(), platform::systemSerialDevices(),
                        priority, keyboard};

  bool run(uint32_t limitMs, const std::function<bool()>& done) {
    auto& clock = platform::systemClock();
    const uint32_t start = clock.timeGetTime();
    uint32_t next100 = start + 100, next333 = start + 333, next2000 = start + 2000;
    while (platform::elapsedMs(clock.timeGetTime(), start) < limitMs) {
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
      ::Sleep(1);
    }
    return done();
  }
};

TEST(WineCom, SimulatorPortIsDetected) {
  const int com = portFromEnv("STATION_TEST_COM");
  ASSERT_GE(com, 1);
  ASSERT_LE(com, 40);
  WinStation s;
  s.io.materiel.Detection_ports_serie();
  EXPECT_EQ(s.io.materiel.Ports_presents[size_t(com - 1)], 'Y');
  EXPECT_FALSE(s.io.materiel.Handle_sonde);
  const auto menu = station::Modele_menu_ports(station::Code_du_port(com), s.io.materiel.Ports_presents, s.langues);
  EXPECT_EQ(menu.Elements[size_t(com)].Caption, "COM " + std::to_string(com) + " detected");
  EXPECT_TRUE(menu.Elements[size_t(com)].Checked);
  // A COM port with nothing behind it is not.
  const int absent = com == 40 ? 39 : 40;
  EXPECT_EQ(s.io.materiel.Ports_presents[size_t(absent - 1)], 'N');
}

TEST(WineCom, ReadsAValidModuleReply) {
  const int com = portFromEnv("STATION_TEST_COM");
  ASSERT_GE(com, 1);
  WinStation s;
  s.window.code252 = station::Code_du_port(com);
  s.io.materiel.Vitesse_port = 1200;
  s.io.ports.Choix_port_serie();
  ASSERT_EQ(s.io.boucle.Port_ouvert, 1) << s.window.lastInfo();
  auto& t = s.io.transceiver;
  t.Fenetre_transceiver_active = 1;  // as the module window does: no automatic check
  s.window.timer1 = true;
  t.Lecture_parametres_DRF1278DM(1);
  ASSERT_EQ(t.Commande_DRF_en_attente, 1);
  ASSERT_TRUE(s.run(3000, [&] { return t.Commande_DRF_en_attente == 0; }));
  ASSERT_FALSE(s.window.info2.empty());
  EXPECT_EQ(s.window.info2.back(), "Data reading failure");  // a factory module runs at spreading factor 2048
  ASSERT_FALSE(s.window.donnees.empty());
  EXPECT_EQ(s.window.donnees.back(), "2048 chips / 125 KHz Node ID:00000 Net ID:000");
  EXPECT_EQ(t.Frequence_MHz_texte, "434");
  EXPECT_EQ(t.Frequence_HHz_texte, "0000");
  EXPECT_EQ(t.Label_Puissance, "100");
}

TEST(WineCom, AutomaticCheckMovesTheModuleTo9600) {
  const int com = portFromEnv("STATION_TEST_COM2");
  ASSERT_GE(com, 1);
  WinStation s;
  s.window.code252 = station::Code_du_port(com);
  s.io.materiel.Vitesse_port = 1200;
  s.io.ports.Choix_port_serie();
  ASSERT_EQ(s.io.boucle.Port_ouvert, 1) << s.window.lastInfo();
  auto& t = s.io.transceiver;
  ASSERT_TRUE(s.run(10000, [&] { return t.Module_verifie == 1 && t.Commande_DRF_en_attente == 0; }))
      << s.window.lastInfo();
  EXPECT_EQ(s.io.materiel.Vitesse_port, 9600);
  EXPECT_EQ(s.io.materiel.Vitesse_ouverture, 9600u);
  t.Fenetre_transceiver_active = 1;
  t.Lecture_parametres_DRF1278DM(1);
  ASSERT_TRUE(s.run(3000, [&] { return t.Commande_DRF_en_attente == 0; }));
  EXPECT_EQ(s.window.info2.back(), "Reading success of the parameters");
  EXPECT_EQ(s.window.donnees.back(), "1024 chips / 125 KHz Node ID:00000 Net ID:000");
}

}  // namespace
