// The radio module's command frames, replies and the automatic module check.
#include <gtest/gtest.h>

#include "station/controle_transceiver.h"
#include "tests/station_io/rig.h"

using namespace stationtest;
using station::ControleTransceiver;

namespace {

TEST(TramesDRF, ReadFrameOnTheWire) {
  const std::string expected = bytes({0x0D, 0x0A, 0xAF, 0xAF, 0x00, 0x00, 0xAF, 0x80, 0x02, 0x0C, 0, 0, 0, 0, 0, 0, 0, 0,
                                      0, 0, 0, 0, 0x9B, 0x0D, 0x0A});
  EXPECT_EQ(station::Trame_lecture_DRF(), expected);
  EXPECT_EQ(uint8_t(station::Somme_de_controle_DRF(expected.substr(2, 20))), 0x9B);
}

TEST(TramesDRF, WriteFrameOfTheStandardSettings) {
  Rig rig;
  auto& t = rig.io.transceiver;
  t.Puissance = 7;
  std::string frame;
  ASSERT_TRUE(t.Trame_ecriture_DRF(frame));
  const std::string expected = bytes({0xAF, 0xAF, 0x00, 0x00, 0xAF, 0x80, 0x01, 0x0C, 0x04, 0x00, 0x6C, 0x80, 0x12, 0x0A,
                                      0x00, 0x07, 0x00, 0x00, 0x00, 0x07, 0xB4, 0x0D, 0x0A});
  EXPECT_EQ(frame, expected);
  uint8_t ok = 0;
  station::Verifie_somme_DRF(frame.substr(0, 20), frame[20], ok);
  EXPECT_EQ(ok, 1);
  station::Verifie_somme_DRF(frame.substr(0, 20), char(0xB5), ok);
  EXPECT_EQ(ok, 0);
}

TEST(TramesDRF, WriteFrameFieldsAndRefusals) {
  Rig rig;
  auto& t = rig.io.transceiver;
  t.Frequence_HHz_texte = "5";  // 434.5000 MHz
  t.Node_ID = "258";
  t.Net_ID = "17";
  t.Puissance = 2;
  t.Facteur_etalement = 4096;
  t.Mode_module = 2;
  t.Bande_passante = "62.5";
  std::string frame;
  ASSERT_TRUE(t.Trame_ecriture_DRF(frame));
  EXPECT_EQ(station::Code_frequence(434, 5000), 7118866u);  // 434.5 MHz / 61.035 Hz
  EXPECT_EQ(frame.substr(10, 3), bytes({0x6C, 0xA0, 0x12}));
  EXPECT_EQ(frame.substr(13, 7), bytes({0x0C, 0x02, 0x06, 0x01, 0x02, 0x11, 0x02}));
  EXPECT_EQ(t.Node_ID_precedent, "00258");
  EXPECT_EQ(t.Net_ID_precedent, "017");

  // A field that gives no value: nothing is built.
  t.Frequence_MHz_texte = "";
  EXPECT_FALSE(t.Trame_ecriture_DRF(frame));
  t.Frequence_MHz_texte = "434";
  t.Node_ID = "70000";
  EXPECT_FALSE(t.Trame_ecriture_DRF(frame));
  t.Node_ID = "0";
  t.Net_ID = "256";
  EXPECT_FALSE(t.Trame_ecriture_DRF(frame));
}

TEST(TramesDRF, TheModulesAirRateFollowsItsSpreadingFactorAndBandwidth) {
  // Bytes a second of full 64-byte LoRa packets (time on the air worked out by hand).
  EXPECT_NEAR(station::Debit_air_LoRa(1024, "125"), 64000 / 698.368, 0.01);    // the program's settings
  EXPECT_NEAR(station::Debit_air_LoRa(2048, "125"), 64000 / 1560.576, 0.01);   // low data rate optimisation
  EXPECT_NEAR(station::Debit_air_LoRa(4096, "125"), 64000 / 2793.472, 0.01);
  EXPECT_NEAR(station::Debit_air_LoRa(4096, "62.5"), 64000 / 5586.944, 0.01);
  EXPECT_NEAR(station::Debit_air_LoRa(128, "500"), 64000 / 29.504, 0.1);
  EXPECT_EQ(station::Debit_air_LoRa(1000, "125"), 0.0);
  EXPECT_EQ(station::Debit_air_LoRa(1024, "100"), 0.0);
  // The module's rate: from what it answered, else from the settings the program writes into it.
  Rig rig;
  auto& t = rig.io.transceiver;
  EXPECT_NEAR(t.Debit_air(), 91.64, 0.01);
  t.Facteur_lu = 4096;
  t.Bande_lue = "125";
  EXPECT_NEAR(t.Debit_air(), 22.91, 0.01);
  t.Bande_lue = "?";
  EXPECT_NEAR(t.Debit_air(), 91.64, 0.01);
}

TEST(TramesDRF, FrequencyCodesBothWays) {
  EXPECT_EQ(station::Code_frequence(434, 0), 0x6C8012u);
  std::string mhz, hhz;
  station::Frequence_du_code(0x6C8012, mhz, hhz);  // 433.99998... MHz rounds up to the next whole MHz
  EXPECT_EQ(mhz, "434");
  EXPECT_EQ(hhz, "0000");
  station::Frequence_du_code(station::Code_frequence(433, 500), mhz, hhz);
  EXPECT_EQ(mhz, "433");
  EXPECT_EQ(hhz, "0500");
  station::Frequence_du_code(station::Code_frequence(868, 1234), mhz, hhz);
  EXPECT_EQ(mhz + "." + hhz, "868.1234");
  station::Frequence_du_code(0, mhz, hhz);
  EXPECT_EQ(mhz + "." + hhz, "0.0000");
}

TEST(TramesDRF, WholeReplySearch) {
  const std::string r = reply(2, params(1, 0x0A, 0x07));
  size_t at = 99, length = 0;
  EXPECT_TRUE(station::Reponse_DRF_entiere(r, at, length));
  EXPECT_EQ(at, 0u);
  EXPECT_EQ(length, 23u);
  EXPECT_FALSE(station::Reponse_DRF_entiere(r.substr(0, 22), at, length));
  EXPECT_TRUE(station::Reponse_DRF_entiere("xy" + r + "zz", at, length));
  EXPECT_EQ(at, 2u);
  EXPECT_EQ(length, 23u);
  // A header followed by bytes that do not end in a checksum and CR LF is not a reply.
  std::string broken = r;
  broken[21] = 'X';
  EXPECT_FALSE(station::Reponse_DRF_entiere(broken, at, length));
  std::string wrong = r;
  wrong[20] = char(wrong[20] + 1);
  EXPECT_FALSE(station::Reponse_DRF_entiere(wrong, at, length));
  // The reply's length is its structure's, not a fixed one: more bytes before the parameters, or a CR LF
  // among them (Node ID 0D 0A), still make one whole reply.
  std::string longer = r.substr(0, 8) + bytes({0x55, 0x66}) + r.substr(8, 12);
  longer.push_back(station::Somme_de_controle_DRF(longer));
  longer += "\r\n";
  EXPECT_TRUE(station::Reponse_DRF_entiere(longer + "air", at, length));
  EXPECT_EQ(length, 25u);
  const std::string crlf = reply(2, params(1, 0x0A, 0x07, 0x0D0A));
  ASSERT_EQ(crlf.substr(16, 2), "\r\n");
  EXPECT_TRUE(station::Reponse_DRF_entiere(crlf, at, length));
  EXPECT_EQ(length, 23u);
}

struct Pending : ::testing::Test {
  Rig rig;
  std::shared_ptr<FakeLine> line;
  void SetUp() override {
    line = rig.openPort(3, 1200);
    rig.io.transceiver.Module_verifie = 1;  // no automatic polling in these tests
    rig.window.timer1 = true;
    line->written.clear();
  }
};

// The wait starts once the command has left the line: 23 bytes at 1200 bauds take 192 ms.
TEST_F(Pending, NoReplyGivesNoneAnswerAtTheDeadline) {
  auto& t = rig.io.transceiver;
  t.Lecture_parametres_DRF1278DM(1);
  EXPECT_EQ(t.Commande_DRF_en_attente, 1);
  EXPECT_EQ(line->written, station::Trame_lecture_DRF());
  EXPECT_EQ(station::Duree_ligne_ms(station::LONGUEUR_TRAME_DRF, 1200), 192u);
  EXPECT_EQ(station::Duree_ligne_ms(station::LONGUEUR_TRAME_DRF, 9600), 24u);
  rig.clock.advance(332 + station::Duree_ligne_ms(station::Trame_lecture_DRF().size(), 1200));
  t.Timer1Timer();
  EXPECT_EQ(t.Commande_DRF_en_attente, 1);  // still waiting
  rig.clock.advance(1);
  t.Timer1Timer();
  EXPECT_EQ(t.Commande_DRF_en_attente, 0);
  // The message names the port and its speed.
  EXPECT_EQ(rig.window.lastInfo(), "None answer (suspect serial port or speed): COM3 at 1200 bauds");
  rig.langues.Langue = 2;
  t.Lecture_parametres_DRF1278DM(1);
  rig.clock.advance(600);
  t.Timer1Timer();
  EXPECT_EQ(rig.window.lastInfo(), "Aucune r\xE9ponse (vitesse ou port s\xE9rie suspect) : COM3 \xE0 1200 bauds");
}

// The receive pump did not run since the reply came (the thread was held): judged at the deadline, it is read
// from the port first.
TEST_F(Pending, AReplyWaitingOnThePortAtTheDeadlineIsTaken) {
  auto& t = rig.io.transceiver;
  t.Lecture_parametres_DRF1278DM(1);
  line->input = reply(2, params(1, 0x0A, 0x07, 5, 9, 4));
  rig.clock.advance(1000);
  t.Timer1Timer();
  EXPECT_EQ(t.Commande_DRF_en_attente, 0);
  EXPECT_EQ(t.Module_verifie, 1);
  EXPECT_EQ(t.Net_ID_lu, "009");
}

TEST_F(Pending, ReplyIsJudgedOnlyWhenWhole) {
  auto& t = rig.io.transceiver;
  t.Lecture_parametres_DRF1278DM(1);
  const std::string r = reply(2, params(1, 0x0A, 0x07, 5, 9, 4));
  line->input = r.substr(0, 10);
  rig.run(100);  // the pump collects the first bytes; the timer waits for the rest
  EXPECT_EQ(t.Commande_DRF_en_attente, 1);
  EXPECT_EQ(t.Reponse_DRF, r.substr(0, 10));
  line->input = r.substr(10);
  rig.run(100);
  EXPECT_EQ(t.Commande_DRF_en_attente, 0);
  EXPECT_EQ(t.Module_verifie, 1);
  EXPECT_EQ(t.Node_ID_lu, "00005");
  EXPECT_EQ(t.Net_ID_lu, "009");
  EXPECT_EQ(t.Puissance, 4);
  EXPECT_EQ(rig.window.lastInfo(), "1024 chips / 125 KHz Node ID:00005 Net ID:009");
  EXPECT_EQ(rig.window.infos[rig.window.infos.size() - 2],
            "434.0000 MHz 1024 chips / 125 KHz Node ID:00005 Net ID:009  20 mW");
}

TEST_F(Pending, AReplyLongerThanTheSimulatorsIsDecodedFromItsLastTwelveParameterBytes) {
  auto& t = rig.io.transceiver;
  t.Lecture_parametres_DRF1278DM(1);
  const std::string r = reply(2, params(1, 0x0A, 0x07, 5, 9, 4));
  std::string longer = r.substr(0, 8) + bytes({0x01, 0x02, 0x03}) + r.substr(8, 12);
  longer.push_back(station::Somme_de_controle_DRF(longer));
  line->input = longer + "\r\nair";
  rig.run(150);
  EXPECT_EQ(t.Commande_DRF_en_attente, 0);
  EXPECT_EQ(t.Module_verifie, 1);
  EXPECT_EQ(t.Node_ID_lu, "00005");
  EXPECT_EQ(t.Net_ID_lu, "009");
  EXPECT_EQ(rig.window.reception, "air");
}

TEST_F(Pending, PartOfAReplyAtTheDeadlineIsAFailureAndNotDecoded) {
  auto& t = rig.io.transceiver;
  t.Lecture_parametres_DRF1278DM(1);
  const std::string r = reply(2, params(1, 0x0A, 0x07, 5, 9, 4));
  line->input = r.substr(0, 15);
  rig.run(600);
  EXPECT_EQ(t.Commande_DRF_en_attente, 0);
  // Bytes came: the port and speed are named, and that they made no reply.
  EXPECT_EQ(rig.window.lastInfo(), "None answer (suspect serial port or speed): COM3 at 1200 bauds, 15 bytes not "
                                   "understood");
  EXPECT_EQ(rig.window.champsLus, 0);
  EXPECT_TRUE(t.Node_ID_lu.empty());
  // Its rest, late, is no received text; nor is a reply that comes whole after its command was judged (a slow
  // line at start-up): only the air bytes around them show.
  line->input = r.substr(15) + "air";
  rig.run(50);
  t.Lecture_parametres_DRF1278DM(1);
  rig.run(600);
  line->input = "hi" + r.substr(0, 12);
  rig.run(50);
  line->input = r.substr(12) + "yo";
  rig.run(50);
  EXPECT_EQ(rig.window.reception, "airhiyo");
  EXPECT_TRUE(t.Reponse_DRF.empty());
}

TEST_F(Pending, WrongChecksumIsAFailure) {
  auto& t = rig.io.transceiver;
  t.Fenetre_transceiver_active = 1;
  t.Ecriture_parametres_DRF1278DM();
  EXPECT_EQ(t.Commande_DRF_en_attente, 2);
  std::string r = reply(1, params(4, 0x0A, 0x07));
  r[20] = char(r[20] + 1);
  line->input = r;
  // Bytes that end in no checksum are no whole reply: judged at the deadline.
  rig.run(200);
  EXPECT_EQ(t.Commande_DRF_en_attente, 2);
  rig.run(400);
  EXPECT_EQ(t.Commande_DRF_en_attente, 0);
  ASSERT_FALSE(rig.window.info2.empty());
  EXPECT_EQ(rig.window.info2.back(), "Data writing failure");
  EXPECT_EQ(rig.window.champsLus, 0);
}

TEST_F(Pending, FieldsOutsideTheirCodesShowQuestionMarksAndFailTheComparison) {
  auto& t = rig.io.transceiver;
  t.Fenetre_transceiver_active = 1;
  t.Ecriture_parametres_DRF1278DM();
  line->input = reply(1, params(4, 0x0D, 0x0A, 0, 0, 9, 3));
  rig.run(200);
  EXPECT_EQ(rig.window.donnees.back(), "? chips / ? KHz Node ID:00000 Net ID:000");
  // Values no module holds are not put into the window's fields.
  EXPECT_EQ(t.Label_Puissance, "10");
  EXPECT_EQ(rig.window.champsLus, 0);
  EXPECT_EQ(rig.window.info2.back(), "Data writing failure");
  // Mode 3 alone (SF and bandwidth right) fails a write comparison too.
  t.Ecriture_parametres_DRF1278DM();
  line->input = reply(1, params(4, 0x0A, 0x07, 0, 0, 3, 3));
  rig.run(200);
  EXPECT_EQ(rig.window.info2.back(), "Data writing failure");
  t.Ecriture_parametres_DRF1278DM();
  line->input = reply(1, params(4, 0x0A, 0x07, 0, 0, 3, 0));
  rig.run(200);
  EXPECT_EQ(rig.window.info2.back(), "Data writing success");
  // A frequency the module's radio cannot tune to (code 0: 0 MHz) is no reading either.
  t.Lecture_parametres_DRF1278DM(1);
  line->input = reply(2, params(4, 0x0A, 0x07, 0, 0, 3, 0, 0));
  rig.run(200);
  EXPECT_EQ(rig.window.info2.back(), "Data reading failure");
  EXPECT_EQ(t.Frequence_MHz_texte, "434");
}

// A line that gives back what it is sent holds no module: the copy of a command is neither a reading, nor a
// write's acknowledgement, nor a sign of presence, nor received text; a reply after the copy (an adapter that
// echoes) is judged.
TEST_F(Pending, ALineThatGivesBackWhatItIsSentIsNoModule) {
  auto& t = rig.io.transceiver;
  line->onWrite = [](FakeLine& l, const std::string& w) { l.input += w; };
  t.Fenetre_transceiver_active = 1;
  t.Lecture_parametres_DRF1278DM(1);
  rig.run(600);
  EXPECT_EQ(rig.window.info2.back(), "Reading failure of the parameters");
  EXPECT_EQ(rig.window.donnees.back(), "None answer (suspect serial port or speed): COM3 at 1200 bauds, 25 bytes "
                                       "not understood");
  EXPECT_EQ(rig.window.champsLus, 0);
  t.Ecriture_parametres_DRF1278DM();
  rig.run(600);
  EXPECT_EQ(rig.window.info2.back(), "Data writing failure");
  EXPECT_EQ(rig.io.materiel.Vitesse_port, 1200);
  line->onWrite = [](FakeLine& l, const std::string& w) { l.input += w + reply(2, params(1, 0x0A, 0x07, 0, 5)); };
  t.Lecture_parametres_DRF1278DM(1);
  rig.run(600);
  EXPECT_EQ(t.Net_ID_lu, "005");
  EXPECT_TRUE(rig.window.reception.empty());
  // Idle and verified, the presence checks get only their own frames back: the module is lost.
  t.Fenetre_transceiver_active = 0;
  line->onWrite = [](FakeLine& l, const std::string& w) { l.input += w; };
  rig.run(9000);
  EXPECT_EQ(rig.window.pertes.size(), 1u);
}

// Writing refuses a value outside the module's range, naming the field and the range; nothing is sent.
TEST(TramesDRF, WritingRefusesValuesOutsideTheModulesRanges) {
  // The window's fields and the fixed settings, the standard ones unless a case says otherwise.
  struct Cas {
    std::string mhz = "434", hhz = "0000", node = "0", net = "0", bande = "125";
    int puissance = 3;
    uint16_t facteur = 1024, mode = 0;
    std::string refus;  // empty: written
  };
  const std::string frequence = "Writing refused: RF frequency from 137.0000 to 525.0000 MHz";
  const Cas cas[] = {
      {.mhz = "999", .refus = frequence},
      {.mhz = "", .refus = frequence},
      {.mhz = "136", .hhz = "9999", .refus = frequence},
      {.mhz = "525", .hhz = "0001", .refus = frequence},
      {.mhz = "137", .refus = ""},
      {.mhz = "525", .refus = ""},
      {.node = "65536", .refus = "Writing refused: Node ID from 0 to 65535"},
      {.net = "256", .refus = "Writing refused: Net ID from 0 to 255"},
      {.bande = "100", .refus = "Writing refused: bandwidth 62.5, 125, 250 or 500 kHz"},
      {.puissance = 8, .refus = "Writing refused: power from 2.5 to 100 mW (positions 1 to 7)"},
      {.facteur = 1000, .refus = "Writing refused: spreading factor 128, 256, 512, 1024, 2048 or 4096 chips"},
      {.mode = 3, .refus = "Writing refused: mode 0 (Standard), 1 (Central) or 2 (Node)"},
  };
  Rig rig;
  auto line = rig.openPort(3, 1200);
  auto& t = rig.io.transceiver;
  for (const Cas& c : cas) {
    SCOPED_TRACE(c.mhz + "." + c.hhz + " " + c.refus);
    line->written.clear();
    rig.window.infos.clear();
    t.Frequence_MHz_texte = c.mhz;
    t.Frequence_HHz_texte = c.hhz;
    t.Node_ID = c.node;
    t.Net_ID = c.net;
    t.Bande_passante = c.bande;
    t.Puissance = c.puissance;
    t.Facteur_etalement = c.facteur;
    t.Mode_module = c.mode;
    t.Ecriture_parametres_DRF1278DM();
    EXPECT_EQ(line->written.size(), c.refus.empty() ? 23u : 0u);
    EXPECT_EQ(rig.window.lastInfo(), c.refus);
  }
  rig.langues.Langue = 2;
  t.Ecriture_parametres_DRF1278DM();
  EXPECT_EQ(rig.window.lastInfo(), "Ecriture refus\xE9" "e : mode 0 (Standard), 1 (Central) ou 2 (Node)");
}

TEST_F(Pending, WindowReadComparesSpreadingFactorAndBandwidth) {
  auto& t = rig.io.transceiver;
  t.Fenetre_transceiver_active = 1;
  t.Lecture_parametres_DRF1278DM(1);
  line->input = reply(2, params(1, 0x0B, 0x07));
  rig.run(200);
  EXPECT_EQ(rig.window.info2.back(), "Data reading failure");
  EXPECT_EQ(rig.window.donnees.back(), "2048 chips / 125 KHz Node ID:00000 Net ID:000");
  EXPECT_EQ(rig.window.champsLus, 1);
  t.Lecture_parametres_DRF1278DM(1);
  line->input = reply(2, params(1, 0x0A, 0x07));
  rig.run(200);
  EXPECT_EQ(rig.window.info2.back(), "Reading success of the parameters");
}

TEST_F(Pending, WhilePendingReceivedBytesBelongToTheReply) {
  auto& t = rig.io.transceiver;
  auto& b = rig.io.boucle;
  b.File_emission = "queued";
  t.Lecture_parametres_DRF1278DM(1);
  line->written.clear();
  line->input = "air";
  b.Timer1Timer();
  EXPECT_EQ(t.Reponse_DRF, "air");
  EXPECT_EQ(b.File_emission, "queued");  // nothing written while a command is pending
  EXPECT_TRUE(line->written.empty());
  EXPECT_TRUE(rig.window.reception.empty());
}

TEST_F(Pending, AirBytesAroundAReplyAreNotLost) {
  auto& t = rig.io.transceiver;
  t.Lecture_parametres_DRF1278DM(1);
  line->input = "ab" + reply(2, params(1, 0x0A, 0x07)) + "cd";
  rig.run(150);
  EXPECT_EQ(t.Commande_DRF_en_attente, 0);
  EXPECT_EQ(rig.window.reception, "abcd");
}

TEST_F(Pending, FailedWriteLeavesNoCommandPending) {
  auto& t = rig.io.transceiver;
  rig.io.materiel.Fermer_port_serie(rig.io.materiel.Handle_port);
  t.Lecture_parametres_DRF1278DM(1);
  EXPECT_EQ(t.Commande_DRF_en_attente, 0);
  EXPECT_EQ(rig.window.lastInfo(), "Initial writing failure");
}

TEST(TramesDRF, FramesGoOutOnlyForTheDRF1278DM) {
  Rig rig;
  auto line = rig.openPort(3, 1200);
  line->written.clear();
  rig.window.transceiver = "";
  rig.io.transceiver.Lecture_parametres_DRF1278DM(1);
  rig.io.transceiver.Ecriture_parametres_DRF1278DM();
  rig.io.boucle.Timer3Timer();
  EXPECT_TRUE(line->written.empty());
  EXPECT_EQ(rig.io.transceiver.Commande_DRF_en_attente, 0);
}

TEST(ModuleCheck, ModuleAtSF2048IsRewrittenMovedTo9600AndRead) {
  Rig rig;
  auto line = rig.devices.add(3);
  FakeModule module;  // 1200 baud, SF 2048
  module.attach(*line);
  rig.openPort(3, 1200);
  auto& t = rig.io.transceiver;
  EXPECT_EQ(t.Module_verifie, 0);
  EXPECT_FALSE(rig.window.timer1);  // stopped by the port choice
  rig.run(2300);                    // Timer2 restarts Timer1; Timer3 sends the first read at 2 s
  EXPECT_EQ(module.reads, 2);       // the read, then the read after the move to 9600
  EXPECT_EQ(module.writes, 1);
  // The program's settings, with the power position read from the module.
  EXPECT_EQ(module.parameters, params(4, 0x0A, 0x07, 0, 0, 7));
  EXPECT_EQ(rig.io.materiel.Vitesse_port, 9600);
  EXPECT_EQ(line->settings.BaudRate, 9600u);
  EXPECT_EQ(rig.window.menuVitesses._9600, true);
  EXPECT_EQ(t.Module_verifie, 1);
  EXPECT_EQ(rig.io.boucle.Port_ouvert, 1);
  rig.run(200);
  EXPECT_EQ(t.Commande_DRF_en_attente, 0);
  EXPECT_TRUE(t.Reponse_DRF.empty());
  // Verified: no more automatic check; while the station is idle only the presence check reads the module,
  // and its replies change nothing and show nothing.
  const size_t infos = rig.window.infos.size();
  rig.run(4000);
  EXPECT_GE(module.reads, 3);
  EXPECT_LE(module.reads, 4);
  EXPECT_EQ(module.writes, 1);
  EXPECT_EQ(t.Module_verifie, 1);
  EXPECT_EQ(rig.window.infos.size(), infos);
  EXPECT_EQ(rig.io.boucle.Port_ouvert, 1);
}

TEST(ModuleCheck, MatchingModuleIsVerifiedAtOnce) {
  Rig rig;
  auto line = rig.devices.add(3);
  FakeModule module;
  module.parameters = params(1, 0x0A, 0x07);
  module.attach(*line);
  rig.openPort(3, 1200);
  rig.run(2200);
  EXPECT_EQ(module.reads, 1);
  EXPECT_EQ(module.writes, 0);
  EXPECT_EQ(rig.io.transceiver.Module_verifie, 1);
  EXPECT_EQ(rig.io.materiel.Vitesse_port, 1200);
}

TEST(ModuleCheck, SilentModuleIsPolledEveryTwoSeconds) {
  Rig rig;
  auto line = rig.devices.add(3);
  FakeModule module;
  module.silent = true;
  module.attach(*line);
  rig.openPort(3, 1200);
  line->written.clear();
  rig.run(6100);
  const std::string frame = station::Trame_lecture_DRF();
  EXPECT_EQ(line->written, frame + frame + frame);
  EXPECT_EQ(rig.window.lastInfo(), "None answer (suspect serial port or speed): COM3 at 1200 bauds");
  // No poll while the module window is open.
  rig.io.transceiver.Fenetre_transceiver_active = 1;
  line->written.clear();
  rig.run(4000);
  EXPECT_TRUE(line->written.empty());
}

TEST(ModuleWindowFields, EditsKeepTheLastAcceptedText) {
  Rig rig;
  auto& t = rig.io.transceiver;
  EXPECT_EQ(t.Frequence_MHzChange("433"), "433");
  EXPECT_EQ(t.Frequence_MHzChange("43a"), "433");
  EXPECT_EQ(t.Frequence_MHzChange(""), "");
  EXPECT_EQ(t.Frequence_HHzChange("05"), "05");
  EXPECT_EQ(t.Frequence_HHzChange("x"), "05");
  EXPECT_EQ(t.Edit_NODE_IDChange("123"), "123");
  EXPECT_EQ(t.Node_ID_precedent, "00123");
  EXPECT_EQ(t.Edit_NODE_IDChange("12a"), "00123");
  EXPECT_EQ(t.Edit_NODE_IDChange("65536"), "00123");
  EXPECT_EQ(t.Edit_NODE_IDChange("65535"), "65535");
  EXPECT_EQ(t.Edit_NET_IDChange("300"), "000");
  EXPECT_EQ(t.Edit_NET_IDChange("255"), "255");
  EXPECT_EQ(t.Net_ID_precedent, "255");
  t.PuissanceClick(1);
  EXPECT_EQ(t.Label_Puissance, "2.5");
  t.PuissanceClick(7);
  EXPECT_EQ(t.Label_Puissance, "100");
}

}  // namespace
