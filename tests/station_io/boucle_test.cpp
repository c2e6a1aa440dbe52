// The receive pump, the paced writer, the Escape key, the beacon and the opening of the port.
#include <gtest/gtest.h>

#include "station/affichage_memo.h"
#include "tests/station_io/rig.h"

using namespace stationtest;

namespace {

struct Loop : ::testing::Test {
  Rig rig;
  std::shared_ptr<FakeLine> line;
  station::BouclePrincipale& b = rig.io.boucle;
  void SetUp() override {
    rig.window.transceiver = "";  // no module checks in these tests
    line = rig.openPort(3, 1200);
    line->written.clear();
    rig.priority.calls.clear();
  }
};

TEST_F(Loop, OpeningThePort) {
  EXPECT_EQ(b.Port_ouvert, 1);
  EXPECT_EQ(rig.window.lastInfo(), "Success opening the serial port at 1200 bauds");
  EXPECT_EQ(line->settings.BaudRate, 1200u);
  EXPECT_EQ(line->settings.ByteSize, 8);
  EXPECT_EQ(line->settings.Parity, 0);
  EXPECT_EQ(line->settings.StopBits, 0);
  ASSERT_FALSE(line->escapes.empty());
  EXPECT_EQ(line->escapes.back(), platform::EscapeFunction::SetRts);
  EXPECT_EQ(rig.io.materiel.Vitesse_ouverture, 1200u);
  EXPECT_EQ(rig.window.code252, 3);
  EXPECT_GE(rig.window.sauvegardes, 1);

  b.File_emission = "x";
  b.Tampon_reception = "y";
  line->input = "\x2E\r\n";  // the end of a module's reply to a station that ended while it came in
  rig.io.materiel.Vitesse_port = 9600;
  rig.langues.Langue = 2;
  b.Ouverture_port_transceiver(9600);
  EXPECT_TRUE(b.File_emission.empty());
  EXPECT_TRUE(b.Tampon_reception.empty());
  line->input += "ok";
  rig.run(1);
  EXPECT_EQ(rig.window.reception, "ok");
  EXPECT_EQ(rig.window.lastInfo(), "R\xE9ussite de l'ouverture du port s\xE9rie \xE0 9600 bauds");

  line->exists = false;
  b.Ouverture_port_transceiver(9600);
  EXPECT_EQ(b.Port_ouvert, 0);
  EXPECT_EQ(rig.window.lastInfo(), "Echec de l'ouverture du port s\xE9rie \xE0 1200 bauds");
}

TEST_F(Loop, ThreeHundredBytesAt1200GoOutInChunksTheModuleCanTake) {
  rig.clock.advance(60000);  // a long idle
  b.File_emission = std::string(300, 'a');
  b.Emission_cadencee();
  EXPECT_EQ(line->written.size(), 109u);
  EXPECT_EQ(b.File_emission.size(), 191u);
  EXPECT_FLOAT_EQ(b.Niveau_tampon_module, 110.0f);
  EXPECT_EQ(b.OCTETS_ECRITS, 109u);
  // The level must fall below 109 before the next byte goes: 8 ms at 120 bytes a second is not enough.
  rig.clock.advance(8);
  b.Emission_cadencee();
  EXPECT_EQ(line->written.size(), 109u);
  rig.clock.advance(1);  // 9 ms in all: 108.92
  b.Emission_cadencee();
  EXPECT_EQ(line->written.size(), 110u);
  // Written in ASCII mode, the chunks show in the transmit memo.
  EXPECT_EQ(rig.window.emission, std::string(110, 'a'));
  // Each call raises the priority and lowers it again.
  ASSERT_GE(rig.priority.calls.size(), 6u);
  for (size_t i = 0; i < rig.priority.calls.size(); i += 2) {
    EXPECT_EQ(rig.priority.calls[i], platform::kRealtimePriorityClass);
    EXPECT_EQ(rig.priority.calls[i + 1], platform::kNormalPriorityClass);
  }
}

TEST_F(Loop, At9600SmallQueuesGoWholeAndAPartialChunkFillsTheModel) {
  rig.io.materiel.Vitesse_port = 9600;
  rig.clock.advance(60000);
  b.File_emission = std::string(50, 'b');
  b.Emission_cadencee();
  EXPECT_EQ(line->written.size(), 50u);
  EXPECT_FLOAT_EQ(b.Niveau_tampon_module, 50.0f);
  rig.clock.advance(60000);
  b.File_emission = std::string(1000, 'c');
  b.Emission_cadencee();
  EXPECT_EQ(line->written.size(), 50u + 329u);
  // After a partial chunk the model holds the module full at 9600 too.
  EXPECT_FLOAT_EQ(b.Niveau_tampon_module, 330.0f);
  rig.clock.advance(2);  // 0.72 bytes drained: still no room
  b.Emission_cadencee();
  EXPECT_EQ(line->written.size(), 379u);
}

TEST_F(Loop, ElapsedTimeIsCreditedOnce) {
  // Over one second of 1 ms ticks the writer hands over what the model lets the module drain: 109 bytes at
  // once, then one byte whenever 9 ms have drained the level below 109. Crediting the whole time since the
  // last write again at every tick would let a byte go every 4 ms, faster than the module empties.
  rig.clock.advance(60000);
  b.File_emission = std::string(5000, 'e');
  for (int i = 0; i < 1000; ++i) {
    b.Emission_cadencee();
    rig.clock.advance(1);
  }
  EXPECT_GE(line->written.size(), 109u + 100u);
  EXPECT_LE(line->written.size(), 109u + 120u);
}

TEST_F(Loop, TheWriterKeepsUpWithTheModuleAtEveryTimerPeriod) {
  // The timer ticks every millisecond only in name: every 10 ms under Wine, about every 16 on Windows. At each
  // period the writer hands over what the module drains, 120 bytes a second after the first 109, and never
  // counts more than 110 bytes in the module.
  for (uint32_t tick : {1u, 10u, 16u}) {
    SCOPED_TRACE(tick);
    line->written.clear();
    b.Niveau_tampon_module = 0.0f;
    rig.clock.advance(60000);
    b.File_emission = std::string(5000, 'f');
    for (uint32_t t = 0; t < 5000; t += tick) {
      b.Emission_cadencee();
      ASSERT_LE(b.Niveau_tampon_module, 110.0f);
      rig.clock.advance(tick);
    }
    EXPECT_GE(line->written.size(), 109u + 595u);
    EXPECT_LE(line->written.size(), 109u + 601u);
  }
}

TEST_F(Loop, ReceivedBytesByMode) {
  line->input = std::string("ab\x08" "c\x07\x00\rd", 8);
  rig.run(1);
  EXPECT_EQ(rig.window.reception, "ac\r\nd");
  EXPECT_EQ(rig.window.supervisions, 0);
  rig.window.mode = "AUTEX";
  line->input = "\x01\x02\xFF";
  rig.run(3);
  EXPECT_EQ(b.Tampon_reception, "\x01\x02\xFF");
  EXPECT_EQ(rig.window.supervisions, 3);  // every tick, bytes or not
  EXPECT_EQ(rig.window.reception, "ac\r\nd");
}

TEST_F(Loop, NothingHappensWithThePortClosed) {
  b.Port_ouvert = 0;
  line->input = "zz";
  b.File_emission = "q";
  rig.run(5);
  EXPECT_EQ(line->input, "zz");
  EXPECT_TRUE(line->written.empty());
}

TEST_F(Loop, LeftoverModuleReplyIsCutOff) {
  rig.io.transceiver.Reponse_DRF = reply(2, params(1, 0x0A, 0x07)) + "hi";
  rig.run(1);
  // The reply is cut off up to its CR LF; the two bytes after it are received text.
  EXPECT_TRUE(rig.io.transceiver.Reponse_DRF.empty());
  EXPECT_EQ(rig.window.reception, "hi");
}

TEST_F(Loop, EscapeInAsciiModeTogglesAtMostEvery300ms) {
  rig.keyboard.escapeDown = true;
  rig.run(1);
  EXPECT_EQ(rig.window.passeEmission, 1);
  EXPECT_TRUE(rig.window.tx);
  rig.run(300);
  EXPECT_EQ(rig.window.passeReception, 0);
  rig.run(1);
  EXPECT_EQ(rig.window.passeReception, 1);
  EXPECT_TRUE(rig.window.rx);
  rig.run(301);
  EXPECT_EQ(rig.window.passeEmission, 2);
  EXPECT_EQ(rig.window.passeReception, 1);
}

TEST_F(Loop, EscapeIsIgnoredWithTheBeaconArmedOrAnotherProgramInFront) {
  rig.keyboard.escapeDown = true;
  b.Balise_active = 1;
  b.Balise_en_pause = 1;
  b.Echeance_balise = rig.clock.timeGetTime() + 100000;
  rig.run(400);
  EXPECT_EQ(rig.window.passeEmission, 0);
  b.Balise_active = 0;
  rig.keyboard.foreground = false;
  rig.run(400);
  EXPECT_EQ(rig.window.passeEmission, 0);
  rig.keyboard.foreground = true;
  rig.run(1);
  EXPECT_EQ(rig.window.passeEmission, 1);
}

// Escape pressed to close one of the program's menus or dialogs is that window's: the station neither
// switches nor sends, while the key is held afterwards nor for a quick press that no tick saw, and the key
// counts again once it has been let go.
TEST_F(Loop, EscapeThatClosesAMenuOrADialogOfTheProgramDoesNothingElse) {
  rig.window.principaleActive = false;  // a dialog is open
  rig.keyboard.escapeDown = true;
  rig.run(50);
  rig.window.principaleActive = true;  // closed by the key, which is still down
  rig.run(400);
  EXPECT_EQ(rig.window.passeEmission, 0);
  rig.keyboard.escapeDown = false;
  rig.run(50);
  rig.keyboard.escapePressed = true;  // too soon: the key may not be known up yet
  rig.run(1);
  EXPECT_EQ(rig.window.passeEmission, 0);
  rig.run(station::RELACHE_ECHAP + 2);  // seen up long enough
  rig.keyboard.escapePressed = true;  // a press of its own
  rig.run(1);
  EXPECT_EQ(rig.window.passeEmission, 1);

  rig.run(400);
  rig.window.principaleActive = false;  // a menu is open
  rig.run(5);
  rig.keyboard.escapePressed = true;  // closed by a quick press seen only as "pressed since"
  rig.window.principaleActive = true;
  rig.run(5);
  EXPECT_EQ(rig.window.passeReception, 0);
  EXPECT_TRUE(rig.window.tx);

  // AUTEX during a session: the message is not sent either.
  rig.window.mode = "AUTEX";
  rig.window.session = 1;
  rig.window.principaleActive = false;
  rig.keyboard.escapeDown = true;
  rig.run(5);
  rig.window.principaleActive = true;
  rig.run(5);
  EXPECT_EQ(rig.window.envoisMessage, 0);
  rig.keyboard.escapeDown = false;
  rig.run(station::RELACHE_ECHAP + 2);
  rig.keyboard.escapePressed = true;
  rig.run(1);
  EXPECT_EQ(rig.window.envoisMessage, 1);
}

TEST_F(Loop, EscapeInAutexModeSendsTheMessageOnlyDuringASession) {
  rig.window.mode = "AUTEX";
  rig.keyboard.escapePressed = true;
  rig.run(1);
  EXPECT_EQ(rig.window.envoisMessage, 0);
  EXPECT_EQ(rig.window.passeEmission, 0);
  rig.window.session = 1;
  rig.keyboard.escapePressed = true;
  rig.run(1);
  EXPECT_EQ(rig.window.envoisMessage, 1);
  EXPECT_EQ(b.DEMANDE_ENVOI_MESSAGE, 0);
  // A request made elsewhere (carriage return in the editor) is served by the next tick.
  b.DEMANDE_ENVOI_MESSAGE = 1;
  rig.run(1);
  EXPECT_EQ(rig.window.envoisMessage, 2);
}

TEST_F(Loop, BeaconCycleWithItsPause) {
  b.Pause_balise = 5;
  b.Balise_active = 1;
  b.Balise_a_emettre = 1;
  rig.run(1);  // due at once: queued and written in the same tick
  EXPECT_EQ(rig.window.editeur, "CQ de F4XYZ\r\n");
  EXPECT_EQ(line->written, "CQ de F4XYZ\r\n");
  // The written copy ends with LF: the pause starts, the station is back in reception.
  EXPECT_EQ(b.Balise_en_emission, 0);
  EXPECT_EQ(b.Balise_en_pause, 1);
  EXPECT_EQ(rig.window.modeAutex, 1);
  EXPECT_EQ(rig.window.emissionEnCours, 0);
  EXPECT_TRUE(rig.window.rx);
  EXPECT_TRUE(b.Copie_balise.empty());
  rig.run(5000);
  EXPECT_TRUE(b.File_emission.empty());  // not before the pause is over
  rig.run(1);
  EXPECT_EQ(b.File_emission, "CQ de F4XYZ\r\n");
  EXPECT_TRUE(rig.window.tx);
  EXPECT_EQ(rig.window.emissionEnCours, 1);
  rig.run(1);
  EXPECT_EQ(line->written, "CQ de F4XYZ\r\nCQ de F4XYZ\r\n");
}

TEST_F(Loop, BeaconCopyStaysBounded) {
  // Chunks written while the beacon is armed are copied; a copy that never ends with LF stays bounded.
  b.Balise_active = 1;
  b.Balise_en_emission = 1;
  for (int i = 0; i < 100; ++i) {
    b.File_emission = std::string(100, 'x');
    rig.run(1000);
  }
  EXPECT_EQ(line->written.size(), 10000u);
  EXPECT_EQ(b.Copie_balise.size(), station::TAILLE_MAX_COPIE_BALISE);
}

TEST_F(Loop, TimersTwoAndThree) {
  rig.window.timer1 = false;
  b.Timer2Timer();
  EXPECT_TRUE(rig.window.timer1);
  EXPECT_EQ(rig.window.prononciations, 1);
  EXPECT_EQ(rig.window.legende.substr(0, 17), "Station          ");
  EXPECT_EQ(rig.window.legende.size(), 17u + 17u);  // DD/MM/YY HH:MM:SS
  b.Port_ouvert = 0;
  b.Timer2Timer();
  EXPECT_EQ(rig.window.prononciations, 1);
}

TEST(Memo, DisplayRules) {
  std::string memo = "abc";
  std::string spoken;
  station::Ajoute_texte_memo(memo, std::string("\x08\x08x\x00\x07\x1b\ry\xE9", 9), [&](char c) { spoken += c; });
  EXPECT_EQ(memo, "ax\r\ny\xE9");
  EXPECT_EQ(spoken, "x\ry\xE9");
  std::string empty;
  station::Ajoute_texte_memo(empty, "\x08");
  EXPECT_TRUE(empty.empty());

  std::string big(9999, 'a');
  station::Limite_memo(big);
  EXPECT_EQ(big.size(), 9999u);
  big += "bc";
  station::Limite_memo(big);
  EXPECT_EQ(big.size(), 9000u);
  EXPECT_EQ(big.substr(8998), "bc");
}

// With its port gone, a station given a module command says why it cannot go, in place of the line that told
// it, and does not look hung: the clock of its title goes on.
TEST(PortLoss, AfterAnInitialWritingFailureTheClockRunsAndThePortIsNamed) {
  Rig rig;
  auto line = rig.openPort(3, 1200);
  rig.run(500);
  line->statusFails = true;
  rig.run(5);
  ASSERT_EQ(rig.io.boucle.Port_ouvert, 0);
  auto& t = rig.io.transceiver;
  t.Lecture_parametres_DRF1278DM(1);
  EXPECT_EQ(rig.window.lastInfo(), "Initial writing failure: the serial port COM3 is not open (choose it again)");
  EXPECT_EQ(t.Commande_DRF_en_attente, 0);
  const std::string legende = rig.window.legende;
  rig.run(2000);
  EXPECT_NE(rig.window.legende, legende);
  rig.io.ports.Aucun_port_serie_GPSClick();
  t.Ecriture_parametres_DRF1278DM();
  EXPECT_EQ(rig.window.lastInfo(), "Initial writing failure: no serial port selected");
}

}  // namespace

// The port or the module goes away: a failed status, read or write call, or a verified module silent to the
// presence check while the station is idle. The loss is found within seconds, shown in both languages, the
// port closed and the beacon made ready again; choosing the port again brings it all back.
TEST(PortLoss, FoundShownAndUndoneByChoosingThePortAgain) {
  enum Panne { STATUT, LECTURE, ECRITURE, MODULE_MUET };
  struct Cas {
    const char* nom;
    Panne panne;
    uint8_t langue;
  };
  const Cas cas[] = {{"status call fails", STATUT, 1},
                     {"read fails", LECTURE, 2},
                     {"write fails", ECRITURE, 1},
                     {"module silent while idle", MODULE_MUET, 2}};
  for (const Cas& c : cas) {
    SCOPED_TRACE(c.nom);
    Rig rig;
    rig.langues.Langue = c.langue;
    auto line = rig.devices.add(3);
    FakeModule module;
    module.parameters = params(1, 0x0A, 0x07);
    module.attach(*line);
    rig.window.transceiver = c.panne == MODULE_MUET ? "DRF1278DM" : "";
    rig.openPort(3, 1200);
    rig.run(2500);
    auto& b = rig.io.boucle;
    ASSERT_EQ(b.Port_ouvert, 1);
    // Received before the loss: shown, and kept.
    line->input = "CQ DE F4XYZ\r";
    rig.run(10);
    ASSERT_EQ(rig.window.reception, "CQ DE F4XYZ\r\n");
    switch (c.panne) {
      case STATUT: line->statusFails = true; break;
      case LECTURE:
        line->readFails = true;
        line->input = "lost";
        break;
      case ECRITURE:
        line->writeFails = true;
        b.File_emission = "HELLO";
        break;
      case MODULE_MUET:
        ASSERT_EQ(rig.io.transceiver.Module_verifie, 1);
        module.silent = true;
        break;
    }
    rig.run(c.panne == MODULE_MUET ? 8000 : 5);
    EXPECT_EQ(b.Port_ouvert, 0);
    EXPECT_FALSE(line->open);  // closed, so that it can be opened again
    ASSERT_EQ(rig.window.pertes.size(), 1u);
    if (c.langue == 1) {
      EXPECT_EQ(rig.window.lastInfo(), "Loss of the serial port COM3 or of the radio module: choose the port again");
      EXPECT_EQ(rig.window.pertes[0], "Radio link lost: the serial port or the module does not answer");
    } else {
      EXPECT_EQ(rig.window.lastInfo(),
                "Perte du port s\xE9rie COM3 ou du module radio : choisissez \xE0 nouveau le port");
      EXPECT_EQ(rig.window.pertes[0], "Liaison radio perdue : le port s\xE9rie ou le module ne r\xE9pond pas");
    }
    EXPECT_EQ(rig.window.reception, "CQ DE F4XYZ\r\n");
    // Nothing more happens until the port is chosen again; then it works as before.
    rig.run(3000);
    EXPECT_EQ(rig.window.pertes.size(), 1u);
    line->statusFails = line->readFails = line->writeFails = false;
    module.silent = false;
    rig.openPort(3, 1200);
    EXPECT_EQ(b.Port_ouvert, 1);
    line->input = "73\r";
    rig.run(2500);
    EXPECT_EQ(rig.window.reception, "CQ DE F4XYZ\r\n73\r\n");
    EXPECT_EQ(b.Port_ouvert, 1);
    EXPECT_EQ(rig.window.pertes.size(), 1u);
  }
}

// The presence check waits for the station to be idle, keeps the air bytes that come with its reply and
// takes any byte as a sign of life; two checks in a row left unanswered make the loss.
TEST(PortLoss, ThePresenceCheckKeepsAirBytesAndOnlyRunsWhileIdle) {
  Rig rig;
  auto line = rig.devices.add(3);
  FakeModule module;
  module.parameters = params(1, 0x0A, 0x07);
  module.attach(*line);
  rig.openPort(3, 1200);
  rig.run(2500);
  ASSERT_EQ(rig.io.transceiver.Module_verifie, 1);
  const std::string trame = station::Trame_lecture_DRF();
  const auto trames = [&] {
    size_t n = 0;
    for (size_t p = line->written.find(trame); p != std::string::npos; p = line->written.find(trame, p + 1)) ++n;
    return n;
  };
  // Waits for the next read frame (at most `ms`); true when one was written.
  const auto attend_trame = [&](uint32_t ms) {
    const size_t avant = trames();
    for (uint32_t t = 0; t < ms; ++t) {
      rig.run(1);
      if (trames() > avant) return true;
    }
    return false;
  };
  // Transmitting (ASCII transmission), or bytes arriving every second: no check.
  rig.window.modeAutex = 0;
  EXPECT_FALSE(attend_trame(6000));
  rig.window.modeAutex = 1;
  for (int i = 0; i < 6; ++i) {
    line->input += "x";
    EXPECT_FALSE(attend_trame(1000));
  }
  // Idle: checked; air bytes around the reply reach the reception window.
  module.silent = true;  // answered by hand below
  ASSERT_TRUE(attend_trame(5000));
  line->input += "AB" + reply(2, module.parameters) + "CD";
  rig.run(700);
  EXPECT_EQ(rig.window.reception.substr(rig.window.reception.size() - 4), "ABCD");
  // A reply begun before the deadline and ended after it: no text, and the module is there.
  ASSERT_TRUE(attend_trame(5000));
  line->input += "G" + reply(2, module.parameters).substr(0, 9);
  rig.run(700);
  line->input += reply(2, module.parameters).substr(9) + "H";
  rig.run(20);
  EXPECT_EQ(rig.window.reception.substr(rig.window.reception.size() - 4), "CDGH");
  // No reply, but air bytes: the module is there.
  ASSERT_TRUE(attend_trame(5000));
  line->input += "EF";
  rig.run(700);
  EXPECT_EQ(rig.window.reception.substr(rig.window.reception.size() - 2), "EF");
  ASSERT_TRUE(attend_trame(5000));
  rig.run(700);
  EXPECT_EQ(rig.io.boucle.Port_ouvert, 1);  // one silence
  EXPECT_TRUE(rig.window.pertes.empty());
  ASSERT_TRUE(attend_trame(5000));
  rig.run(700);
  EXPECT_EQ(rig.io.boucle.Port_ouvert, 0);  // two in a row
  EXPECT_EQ(rig.window.pertes.size(), 1u);
}
