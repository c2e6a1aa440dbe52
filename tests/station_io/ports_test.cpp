// The serial port unit, the port code of byte 252 and the port and baud-rate menus.
#include <gtest/gtest.h>

#include "station/ports_serie.h"
#include "station/verification_materiel.h"
#include "tests/station_io/rig.h"

using namespace stationtest;

namespace {

TEST(PortCode, EveryPortRoundTrips) {
  EXPECT_EQ(station::Code_du_port(9), 11);
  EXPECT_EQ(station::Numero_port_du_code(11), 9);
  EXPECT_EQ(station::Code_du_port(7), 8);
  EXPECT_EQ(station::Code_du_port(8), 9);
  EXPECT_EQ(station::Code_du_port(40), 42);
  for (int n = 1; n <= 40; ++n) {
    const uint8_t code = station::Code_du_port(n);
    EXPECT_NE(code, 7);
    EXPECT_NE(code, 10);
    EXPECT_EQ(station::Numero_port_du_code(code), n) << n;
  }
  EXPECT_EQ(station::Numero_port_du_code(10), 0);
  EXPECT_EQ(station::Numero_port_du_code(0), 0);
  EXPECT_EQ(station::Numero_port_du_code(43), 0);
  EXPECT_EQ(station::Numero_port_du_code(255), 0);
}

TEST(PortMenu, CaptionsDetectionAndCheck) {
  autex::Langues L;
  std::string presents(40, 'N');
  presents[2] = 'Y';
  auto menu = station::Modele_menu_ports(station::Code_du_port(9), presents, L);
  EXPECT_EQ(menu.Elements[0].Caption, "None");
  EXPECT_EQ(menu.Elements[1].Caption, "COM 1");
  EXPECT_EQ(menu.Elements[2].Caption, "COM 2");
  EXPECT_EQ(menu.Elements[3].Caption, "COM 3 detected");
  EXPECT_TRUE(menu.Elements[3].Detecte);
  EXPECT_FALSE(menu.Elements[2].Detecte);
  EXPECT_EQ(menu.Elements[40].Caption, "COM 40");
  int checked = 0;
  for (size_t i = 0; i < 41; ++i) checked += menu.Elements[i].Checked;
  EXPECT_EQ(checked, 1);
  EXPECT_TRUE(menu.Elements[9].Checked);

  L.Langue = 2;
  menu = station::Modele_menu_ports(10, presents, L);
  EXPECT_EQ(menu.Elements[0].Caption, "Aucun");
  EXPECT_EQ(menu.Elements[3].Caption, "COM 3 d\xE9tect\xE9");
  EXPECT_TRUE(menu.Elements[0].Checked);
  // A code naming no port checks "None".
  menu = station::Modele_menu_ports(200, presents, L);
  EXPECT_TRUE(menu.Elements[0].Checked);

  const auto v = station::Modele_menu_vitesses(9600);
  EXPECT_FALSE(v._1200);
  EXPECT_TRUE(v._9600);
}

TEST(PortUnit, ProbeDetectionAndExclusiveOpening) {
  Rig rig;
  rig.devices.add(3);
  rig.devices.add(12)->commStateFails = true;  // a device that is no serial port
  auto held = rig.devices.add(20);
  auto& m = rig.io.materiel;
  EXPECT_TRUE(m.Sonder_port_serie(3));
  EXPECT_TRUE(m.Handle_sonde);
  m.Fermer_sonde_port();
  EXPECT_FALSE(m.Handle_sonde);
  EXPECT_FALSE(m.Sonder_port_serie(12));
  EXPECT_FALSE(rig.devices.lines[12]->open);  // not held after a failed probe

  station::Handle other;
  ASSERT_TRUE(m.Ouvrir_port_serie_sans_reglage(other, 20));  // another program holds COM20
  m.Detection_ports_serie();
  EXPECT_EQ(m.Ports_presents.substr(0, 4), "NNYN");
  EXPECT_EQ(m.Ports_presents[11], 'N');
  EXPECT_EQ(m.Ports_presents[19], 'N');
  EXPECT_EQ(std::count(m.Ports_presents.begin(), m.Ports_presents.end(), 'Y'), 1);
  EXPECT_FALSE(rig.devices.lines[3]->open);
}

TEST(PortUnit, ReadWriteAndWaitingBytes) {
  Rig rig;
  auto line = rig.devices.add(5);
  auto& m = rig.io.materiel;
  station::Handle closed;
  const int callsBefore = line->systemCalls;
  EXPECT_FALSE(m.Ecrire_port_serie(closed, "x"));
  EXPECT_EQ(m.Octets_en_attente(closed), 0u);
  EXPECT_TRUE(m.Lire_port_serie(closed).empty());
  EXPECT_EQ(line->systemCalls, callsBefore);

  station::Handle h;
  ASSERT_TRUE(m.Ouvrir_port_serie(h, 5, 9600, 0, 0, 8));
  EXPECT_EQ(line->settings.BaudRate, 9600u);
  EXPECT_TRUE(m.Ecrire_port_serie(h, ""));
  EXPECT_TRUE(m.Ecrire_port_serie(h, std::string("\0\xFF", 2)));
  EXPECT_EQ(line->written, std::string("\0\xFF", 2));
  line->input = std::string(70000, 'r');
  EXPECT_EQ(m.Octets_en_attente(h), 70000u);
  EXPECT_EQ(m.Lire_port_serie(h).size(), 65535u);  // one read takes at most 65,535 bytes; the rest waits
  EXPECT_EQ(m.Lire_port_serie(h).size(), 70000u - 65535u);
  EXPECT_TRUE(m.Lire_port_serie(h).empty());

  line->reportedQueue = 1000000;
  EXPECT_EQ(m.Octets_en_attente(h), 0u);
  EXPECT_EQ(rig.window.lastInfo(), "Problem detected with your serial port!");
  EXPECT_TRUE(m.Lire_port_serie(h).empty());
  line->reportedQueue = 999999;
  line->input = "abc";
  EXPECT_EQ(m.Octets_en_attente(h), 999999u);

  m.Fermer_port_serie(h);
  EXPECT_FALSE(h);
  EXPECT_FALSE(line->open);
}

TEST(PortUnit, TestOfTheSelectedPort) {
  Rig rig;
  auto& m = rig.io.materiel;
  m.Port_selectionne = 0;
  m.Tester_port_serie();
  EXPECT_EQ(m.Port_teste, 0);
  EXPECT_EQ(rig.window.lastInfo(), "No selected serial port.");
  auto line = rig.devices.add(9);
  m.Port_selectionne = 1;
  m.Numero_port = 9;
  m.Tester_port_serie();
  EXPECT_EQ(m.Port_teste, 1);
  EXPECT_EQ(rig.window.lastInfo(), "Success when opening the serial port COM 9.");
  EXPECT_FALSE(line->open);  // closed again after the test
  EXPECT_EQ(line->setCommStateCalls, 0);
  line->exists = false;
  rig.langues.Langue = 2;
  m.Tester_port_serie();
  EXPECT_EQ(m.Port_teste, 0);
  EXPECT_EQ(rig.window.lastInfo(), "Echec de l'ouverture du port s\xE9rie COM 9");
}

TEST(PortChoice, ChoosingCom9StoresCode11AndOpensIt) {
  Rig rig;
  rig.devices.add(9);
  rig.window.transceiver = "";
  rig.io.ports.COM_GPSClick(9);
  EXPECT_EQ(rig.window.code252, 11);
  EXPECT_TRUE(rig.window.menuPorts.Elements[9].Checked);
  EXPECT_EQ(rig.io.materiel.Numero_port, 9);
  EXPECT_EQ(rig.io.boucle.Port_ouvert, 1);
  EXPECT_EQ(rig.window.sauvegardes, 1);
  EXPECT_TRUE(rig.window.timer1);  // only a DRF1278DM restarts the module check
}

TEST(PortChoice, APortHeldByAnotherProgramFallsBackToNone) {
  Rig rig;
  rig.devices.add(4);
  station::Handle other;
  ASSERT_TRUE(rig.io.materiel.Ouvrir_port_serie_sans_reglage(other, 4));
  rig.io.transceiver.Module_verifie = 1;
  rig.io.ports.COM_GPSClick(4);
  EXPECT_EQ(rig.window.code252, 10);
  EXPECT_TRUE(rig.window.menuPorts.Elements[0].Checked);
  EXPECT_FALSE(rig.window.menuPorts.Elements[4].Checked);
  EXPECT_EQ(rig.io.boucle.Port_ouvert, 0);
  EXPECT_EQ(rig.window.lastInfo(), "No selected serial port.");
  EXPECT_EQ(rig.window.sauvegardes, 1);
  EXPECT_EQ(rig.io.transceiver.Module_verifie, 0);
  EXPECT_FALSE(rig.window.timer1);
}

TEST(PortChoice, NoneReleasesThePort) {
  Rig rig;
  auto line = rig.openPort(6, 1200);
  EXPECT_TRUE(line->open);
  rig.io.ports.Aucun_port_serie_GPSClick();
  EXPECT_EQ(rig.window.code252, 10);
  EXPECT_EQ(rig.io.boucle.Port_ouvert, 0);
  EXPECT_EQ(rig.io.materiel.Port_selectionne, 0);
  EXPECT_EQ(rig.io.materiel.Port_teste, 0);
  EXPECT_FALSE(line->open);
}

TEST(PortChoice, SpeedChoiceReopensThePort) {
  Rig rig;
  auto line = rig.openPort(2, 1200);
  rig.io.transceiver.Module_verifie = 1;
  rig.window.timer1 = true;
  rig.io.ports._9600Click();
  EXPECT_EQ(line->settings.BaudRate, 9600u);
  EXPECT_TRUE(rig.window.menuVitesses._9600);
  EXPECT_FALSE(rig.window.menuVitesses._1200);
  EXPECT_EQ(rig.window.lastInfo(), "Success opening the serial port at 9600 bauds");
  EXPECT_EQ(rig.io.transceiver.Module_verifie, 0);
  EXPECT_FALSE(rig.window.timer1);
  line->exists = false;
  rig.io.ports._1200Click();
  EXPECT_EQ(rig.io.boucle.Port_ouvert, 0);
  EXPECT_EQ(rig.window.code252, 10);
  EXPECT_TRUE(rig.window.menuVitesses._1200);
}

}  // namespace
