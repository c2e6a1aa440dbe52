// AUTEX mode through the main window's own handlers, on whole stations: two stations on a simulated air (the
// radio modules' packets at the serial line's rate, with seeded byte errors when asked), links at 1200 and 171
// set up, used and ended from either side with the meeting, slot, message, stop and file buttons; the framed
// texts that the window hands to the transmit side; the file choice and its checks; the layout controls, the
// secondary channel, the short-message window and the settings that the parameter image keeps.
#include "tests/station_app/rig.h"

#include <deque>
#include <filesystem>
#include <fstream>
#include <regex>

#include "autex/textes_encadres.h"
#include "autex/traitement_chaines.h"
#include "station/documents.h"
#include "station/message_d_erreur.h"
#include "station/vue_autex_fenetre.h"
#include "tests/autex_sim/vue_test.h"

using namespace apptest;

namespace {

// True once the AUTEX side interprets the short messages and files carried in the received text (the
// reception of in-band sequences); the tests that need the far end to store a file or show a short message
// wait for it.
template <class A>
constexpr bool Reception_sms_fichiers = requires(A a) { a.SMS_EN_COURS; };
constexpr bool RECEPTION_SMS_FICHIERS = Reception_sms_fichiers<autex::Autex>;

std::string Octets(std::initializer_list<int> v) {
  std::string s;
  for (int c : v) s.push_back(char(c));
  return s;
}

// The radio modules of two stations: each gathers what its station writes and sends it as packets of at most
// 64 bytes once the serial line has paused for three byte times, each byte taking 1/120 s on the air; the
// other module hands a packet's bytes to its station when the packet ends. A module waits while the other one
// sends. Received bytes are altered with the probability `erreurs` (seeded).
class Air {
 public:
  Air(stationtest::FakeLine& a, stationtest::FakeLine& b, platform::SimulatedClock& clock)
      : clock_(clock) {
    modules_[0].ligne = &a;
    modules_[1].ligne = &b;
    for (int i = 0; i < 2; ++i) {
      Module* m = &modules_[size_t(i)];
      m->ligne->onWrite = [this, m](stationtest::FakeLine&, const std::string& w) {
        m->attente.insert(m->attente.end(), w.begin(), w.end());
        m->dernier_ecrit = clock_.timeGetTime();
      };
    }
  }
  double erreurs = 0.0;
  std::array<bool, 2> muet{};  // a module whose packets no one hears any more (its station fell silent)
  uint64_t octets_alteres = 0;
  uint64_t octets_emis = 0;

  // One millisecond of air.
  void Pas() {
    const uint32_t t = clock_.timeGetTime();
    for (int i = 0; i < 2; ++i) {
      Module& m = modules_[size_t(i)];
      if (!m.emet || platform::elapsedMs(t, m.debut) < m.duree) continue;
      m.emet = false;
      if (muet[size_t(i)]) continue;
      for (char c : m.paquet) {
        if (alea() < erreurs) {
          c = char(uint8_t(c) ^ uint8_t(1u + (rng_ >> 40) % 255));
          ++octets_alteres;
        }
        modules_[size_t(1 - i)].ligne->input.push_back(c);
      }
    }
    for (int i = 0; i < 2; ++i) {
      Module& m = modules_[size_t(i)];
      if (m.emet || m.attente.empty() || modules_[size_t(1 - i)].emet) continue;
      if (m.attente.size() < 64 && platform::elapsedMs(t, m.dernier_ecrit) < 25) continue;
      const size_t n = std::min<size_t>(64, m.attente.size());
      m.paquet.assign(m.attente.begin(), m.attente.begin() + std::ptrdiff_t(n));
      m.attente.erase(m.attente.begin(), m.attente.begin() + std::ptrdiff_t(n));
      m.emet = true;
      m.debut = t;
      m.duree = uint32_t((n * 1000 + 119) / 120);
      octets_emis += n;
    }
  }

 private:
  struct Module {
    stationtest::FakeLine* ligne = nullptr;
    std::deque<char> attente;
    uint32_t dernier_ecrit = 0;
    bool emet = false;
    uint32_t debut = 0;
    uint32_t duree = 0;
    std::string paquet;
  };
  double alea() {
    rng_ = rng_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return double(rng_ >> 11) * (1.0 / 9007199254740992.0);
  }
  platform::SimulatedClock& clock_;
  std::array<Module, 2> modules_;
  uint64_t rng_ = 12345;
};

// Two stations in AUTEX mode, A ("F1AAA") on COM1 and B ("F2BBB") on COM2, on one air.
struct DeuxStationsAutex {
  Bureau bureau;
  StationTest a{bureau};
  StationTest b{bureau};
  std::shared_ptr<stationtest::FakeLine> la = a.ports.add(1);
  std::shared_ptr<stationtest::FakeLine> lb = b.ports.add(2);
  Air air{*la, *lb, bureau.clock};

  explicit DeuxStationsAutex(const std::vector<std::pair<int, int>>& octets = {}) {
    Prepare(a, 1, "F1AAA", "JEAN PARIS", octets);
    Prepare(b, 2, "F2BBB", "PAUL LYON", octets);
    a.Demarre();
    b.Demarre();
    a.Montre();
    b.Montre();
  }
  static void Prepare(StationTest& st, int port, const std::string& indicatif, const std::string& divers,
                      const std::vector<std::pair<int, int>>& octets) {
    std::string image = Image_avec({{252, port}, {station::octet::MODE, 78}});
    for (auto [i, v] : octets) image[size_t(i - 1)] = char(v);
    st.dir.write("CONF_COM.SER", image);
    st.dir.write("CONFSTRINGS_COM.TXT", "\r\n" + indicatif + "\r\n" + divers + "\r\nQRZ?\r\n73 de " + indicatif + "\r\n");
  }
  station::FichePrincipale& A() { return a.f(); }
  station::FichePrincipale& B() { return b.f(); }
  autex::Autex& AA() { return *a.s().autex; }
  autex::Autex& AB() { return *b.s().autex; }

  void Run(uint32_t ms) {
    for (uint32_t i = 0; i < ms; ++i) {
      air.Pas();
      bureau.Run(1);
    }
  }
  bool Jusqu_a(const std::function<bool()>& condition, uint32_t max_ms) {
    for (uint32_t i = 0; i < max_ms; ++i) {
      if (condition()) return true;
      Run(1);
    }
    return condition();
  }
  // A click as the mouse gives it; a disabled button takes none.
  static bool Clic(gui::TControl* c) {
    if (!c->Enabled() || !c->Visible()) return false;
    testsupport::UserClick(*c);
    return true;
  }
  // A calls, B enters slot 1 once it heard the call; both connected.
  void Liaison() {
    ASSERT_TRUE(Clic(A().LANCEMENT_REUNION));
    ASSERT_TRUE(Jusqu_a([&] { return B().ENTRER_DANS_LA_REUNION_S1->Enabled(); }, 30000)) << "B never heard A's call";
    ASSERT_TRUE(Clic(B().ENTRER_DANS_LA_REUNION_S1));
    ASSERT_TRUE(Jusqu_a([&] { return AA().SESSION_EN_COURS == 1 && AB().SESSION_EN_COURS == 1; }, 60000))
        << "A: " << A().Etat_liaison->Caption() << " / B: " << B().Etat_liaison->Caption();
  }
  // Types a message in a station's editor and presses "Send the message".
  static void Envoie(station::FichePrincipale& f, const std::string& texte) {
    f.Memo_editeur->SetText(texte);
    ASSERT_TRUE(Clic(f.ENVOI_MESSAGE_ARQ));
  }
};

bool Contient(const std::string& texte, const std::string& partie) { return texte.find(partie) != std::string::npos; }

// Occurrences of a text in another.
int Nombre(const std::string& dans, const std::string& quoi) {
  int n = 0;
  for (size_t p = dans.find(quoi); p != std::string::npos; p = dans.find(quoi, p + quoi.size())) ++n;
  return n;
}

// A short-message window's text with its line ends as CR alone (natively the window gives CR LF, under
// Windows CR).
std::string Sms(station::FichePrincipale& f) {
  std::string t = f.RichEdit_SMS->Text();
  std::erase(t, '\n');
  return t;
}

std::string Fichier_sauve_tout(StationTest& st) {
  const auto dir = st.dir.path() / "AUTEX";
  if (!std::filesystem::is_directory(dir)) return std::string();
  for (const auto& e : std::filesystem::directory_iterator(dir))
    if (e.path().filename().string().rfind("AUTEX ", 0) == 0) return st.dir.read("AUTEX/" + e.path().filename().string());
  return std::string();
}

// A text of about `taille` bytes that zlib shrinks a lot: a station log with a few changing fields.
std::string Journal(size_t taille) {
  std::string t;
  for (int i = 0; t.size() < taille; ++i)
    t += "QSO " + std::to_string(1000 + i % 97) + " F" + std::to_string(i % 9) + "XYZ 434.100 MHz RST 59" +
         std::string(1, char(3)) + " 73\r\n";
  t.resize(taille);
  return t;
}

// ---------------------------------------------------------------------------------------------------
// Links between two stations

TEST(LiaisonAutex, AtHighSpeedACallIsAnsweredMessagesGoBothWaysAndTheUserEndsTheLink) {
  DeuxStationsAutex d;
  // The call: the session buttons follow, and B hears it.
  ASSERT_TRUE(DeuxStationsAutex::Clic(d.A().LANCEMENT_REUNION));
  EXPECT_TRUE(d.A().LANCEMENT_REUNION->Down());
  EXPECT_FALSE(d.A().LANCEMENT_REUNION->Enabled());
  EXPECT_TRUE(d.A().FIN_REUNION->Enabled());
  EXPECT_EQ(d.A().Label_Info_AUTEX->Caption(), "Connection attempt...");
  EXPECT_EQ(d.AA().STATION_MAITRE, 1);
  ASSERT_TRUE(d.Jusqu_a([&] { return d.B().ENTRER_DANS_LA_REUNION_S1->Enabled(); }, 30000));
  ASSERT_TRUE(DeuxStationsAutex::Clic(d.B().ENTRER_DANS_LA_REUNION_S1));
  ASSERT_TRUE(d.Jusqu_a([&] { return d.AA().SESSION_EN_COURS == 1 && d.AB().SESSION_EN_COURS == 1; }, 60000));
  d.Run(3000);
  EXPECT_EQ(d.A().Etat_liaison->Caption(), "Connected");
  EXPECT_EQ(d.B().Etat_liaison->Caption(), "Connected");
  EXPECT_TRUE(d.B().SORTIR_DE_LA_REUNION_S1->Enabled());
  // Each side shows the other's secondary channel (call sign and free text).
  EXPECT_TRUE(d.Jusqu_a([&] { return Contient(d.B().Secondary_channel_MASTER->Caption(), "F1AAA JEAN PARIS"); }, 60000))
      << d.B().Secondary_channel_MASTER->Caption();
  EXPECT_TRUE(d.Jusqu_a([&] { return Contient(d.A().Secondary_channel_S1->Caption(), "F2BBB PAUL LYON"); }, 60000))
      << d.A().Secondary_channel_S1->Caption();

  // A's message, sent with the button, shows in B's window of the Master and in B's "save all" file.
  DeuxStationsAutex::Envoie(d.A(), "Hello B, how do you copy?\r\n");
  EXPECT_EQ(d.A().Memo_editeur->Text(), "");
  ASSERT_TRUE(d.Jusqu_a([&] { return Contient(d.B().Memo_Reception_Master->Text(), "Hello B, how do you copy?"); }, 60000))
      << d.B().Memo_Reception_Master->Text();
  ASSERT_TRUE(DeuxStationsAutex::Clic(d.B().Sauve_toutes_les_fenetres_M_et_Sx));
  const std::string sauve = Fichier_sauve_tout(d.b);
  EXPECT_EQ(sauve.rfind("Master ", 0), 0u) << sauve;
  EXPECT_TRUE(Contient(sauve, "Hello B, how do you copy?")) << sauve;

  // B answers with Escape, as typed; it shows in A's window of S1.
  d.B().Memo_editeur->SetText("Fine, 73");
  d.b.clavier.escapePressed = true;
  d.Run(5);
  EXPECT_EQ(d.B().Memo_editeur->Text(), "");
  ASSERT_TRUE(d.Jusqu_a([&] { return Contient(d.A().Memo_Reception_S1->Text(), "Fine, 73"); }, 60000))
      << d.A().Memo_Reception_S1->Text();

  // A stored sequence goes out as a message.
  ASSERT_TRUE(DeuxStationsAutex::Clic(d.A().Sequence2));
  ASSERT_TRUE(d.Jusqu_a([&] { return Contient(d.B().Memo_Reception_Master->Text(), "73 de F1AAA"); }, 60000));
  // The echo windows show each message on a line of its own.
  const std::string deux_lignes = "Hello B, how do you copy?\r\n73 de F1AAA\r\n";
  EXPECT_TRUE(Contient(d.A().Memo_emission->Text(), deux_lignes)) << d.A().Memo_emission->Text();
  EXPECT_TRUE(d.Jusqu_a([&] { return Contient(d.B().Memo_Reception_memo->Text(), deux_lignes); }, 10000))
      << d.B().Memo_Reception_memo->Text();

  // B leaves: both return to their idle state.
  ASSERT_TRUE(DeuxStationsAutex::Clic(d.B().SORTIR_DE_LA_REUNION_S1));
  EXPECT_EQ(d.B().Label_Info_AUTEX->Caption(), "End of meeting required by me");
  ASSERT_TRUE(d.Jusqu_a([&] { return d.AA().SESSION_EN_COURS == 0 && d.AB().SESSION_EN_COURS == 0; }, 60000));
  d.Run(15000);
  EXPECT_EQ(d.A().Etat_liaison->Caption(), "Disconnected");
  EXPECT_EQ(d.B().Etat_liaison->Caption(), "Disconnected");
  EXPECT_TRUE(d.A().LANCEMENT_REUNION->Enabled());
  EXPECT_TRUE(d.B().LANCEMENT_REUNION->Enabled());
  // Not connected any more: the send button says so.
  d.B().Memo_editeur->SetText("anyone?");
  ASSERT_TRUE(DeuxStationsAutex::Clic(d.B().ENVOI_MESSAGE_ARQ));
  EXPECT_EQ(d.b.s().Form36->Memo1->Text(), "Your are not yet connected...");
}

TEST(LiaisonAutex, AtLowSpeedTheSpeedIsKeptDuringTheLinkAndTheMasterEndsIt) {
  DeuxStationsAutex d;
  for (station::FichePrincipale* f : {&d.A(), &d.B()}) {
    ASSERT_TRUE(DeuxStationsAutex::Clic(f->Vitesse_basse_AUTEX));
    EXPECT_TRUE(f->Vitesse_basse_AUTEX->Down());
  }
  EXPECT_EQ(d.AA().Vitesse_AUTEX, 171);
  EXPECT_EQ(d.AB().Vitesse_AUTEX, 171);
  d.Liaison();
  if (testing::Test::HasFatalFailure()) return;
  d.Run(2000);
  EXPECT_EQ(d.A().Etat_liaison->Caption(), "Connected");
  EXPECT_EQ(d.B().Etat_liaison->Caption(), "Connected");

  // A speed change is refused while the link holds.
  ASSERT_TRUE(DeuxStationsAutex::Clic(d.A().Vitesse_haute_AUTEX));
  EXPECT_EQ(d.AA().Vitesse_AUTEX, 171);
  EXPECT_TRUE(d.A().Vitesse_basse_AUTEX->Down());
  EXPECT_EQ(d.A().Label_Info_AUTEX->Caption(), "A meeting is in progress. You must finish it first");

  DeuxStationsAutex::Envoie(d.A(), "Slow but sure");
  ASSERT_TRUE(d.Jusqu_a([&] { return Contient(d.B().Memo_Reception_Master->Text(), "Slow but sure"); }, 120000));

  // A ends the link.
  ASSERT_TRUE(DeuxStationsAutex::Clic(d.A().FIN_REUNION));
  EXPECT_EQ(d.A().Label_Info_AUTEX->Caption(), "End of meeting required by me");
  EXPECT_FALSE(d.A().FIN_REUNION->Enabled());
  ASSERT_TRUE(d.Jusqu_a([&] { return d.AA().SESSION_EN_COURS == 0 && d.AB().SESSION_EN_COURS == 0; }, 120000));
  d.Run(20000);
  EXPECT_EQ(d.A().Etat_liaison->Caption(), "Disconnected");
  EXPECT_EQ(d.B().Etat_liaison->Caption(), "Disconnected");
  // The speed can change again; the AUTEX speed reaches the parameter file at Quit.
  ASSERT_TRUE(DeuxStationsAutex::Clic(d.A().Vitesse_moyenne_AUTEX));
  EXPECT_EQ(d.AA().Vitesse_AUTEX, 400);
  d.A().QuitClick(nullptr);
  EXPECT_EQ(d.a.Octet_fichier(station::octet::VITESSE_AUTEX), 2);
}

TEST(LiaisonAutex, ADialogClosedDuringACallOrALinkLeavesThemRunning) {
  DeuxStationsAutex d;
  ASSERT_TRUE(DeuxStationsAutex::Clic(d.A().LANCEMENT_REUNION));
  d.Run(500);
  // The call is being repeated: closing a window of the program must not stop it.
  d.A().AproposdeClick(nullptr);
  EXPECT_EQ(d.bureau.modales.back(), "TForm2");
  EXPECT_EQ(d.AA().MAITRE_APPELLE, 1);
  ASSERT_TRUE(d.Jusqu_a([&] { return d.B().ENTRER_DANS_LA_REUNION_S1->Enabled(); }, 30000));
  ASSERT_TRUE(DeuxStationsAutex::Clic(d.B().ENTRER_DANS_LA_REUNION_S1));
  d.Run(200);
  // B's attempt is pending: a dialog on B keeps it.
  ASSERT_EQ(d.AB().SESSION_EN_COURS, 0);
  ASSERT_TRUE(d.B().Session_ou_tentative_en_cours());
  d.B().ModificationsClick(nullptr);
  EXPECT_EQ(d.bureau.modales.back(), "TForm3");
  ASSERT_TRUE(d.Jusqu_a([&] { return d.AA().SESSION_EN_COURS == 1 && d.AB().SESSION_EN_COURS == 1; }, 60000));
  // During the link: a message queued when a dialog opens still goes out.
  DeuxStationsAutex::Envoie(d.B(), "still here");
  d.B().AproposdeClick(nullptr);
  ASSERT_TRUE(d.Jusqu_a([&] { return Contient(d.A().Memo_Reception_S1->Text(), "still here"); }, 60000));
  EXPECT_EQ(d.AA().SESSION_EN_COURS, 1);
  EXPECT_EQ(d.AB().SESSION_EN_COURS, 1);
}

// Two stations side by side, the operator at one of them: the other one's call, answer and link take neither
// the keyboard nor the text in its editor. (Natively the two windows share one focus, as two programs share
// the keyboard.)
TEST(LiaisonAutex, AStationInTheBackgroundNeverTakesTheKeyboardNorEmptiesItsEditor) {
  DeuxStationsAutex d;
  const auto au_premier_plan = [&](StationTest& st) {
    d.a.clavier.foreground = &st == &d.a;
    d.b.clavier.foreground = &st == &d.b;
  };
  au_premier_plan(d.a);
  ASSERT_TRUE(DeuxStationsAutex::Clic(d.A().LANCEMENT_REUNION));
  // While A calls, the operator types at B and has left a draft in A's editor.
  au_premier_plan(d.b);
  d.A().Memo_editeur->SetText("Draft of A");
  d.B().Memo_editeur->SetFocus();
  ASSERT_TRUE(d.Jusqu_a([&] { return d.B().ENTRER_DANS_LA_REUNION_S1->Enabled(); }, 30000));
  d.Run(3000);
  EXPECT_TRUE(d.B().Memo_editeur->Focused());
  EXPECT_EQ(d.A().Memo_editeur->Text(), "Draft of A");
  // B enters, and the operator goes back to A while the link comes up.
  ASSERT_TRUE(DeuxStationsAutex::Clic(d.B().ENTRER_DANS_LA_REUNION_S1));
  au_premier_plan(d.a);
  d.A().Memo_editeur->SetFocus();
  ASSERT_TRUE(d.Jusqu_a([&] { return d.AA().SESSION_EN_COURS == 1 && d.AB().SESSION_EN_COURS == 1; }, 60000));
  d.Run(3000);
  EXPECT_TRUE(d.A().Memo_editeur->Focused());
  EXPECT_EQ(d.A().Memo_editeur->Text(), "Draft of A");
  // B's editor is the control that B focuses when the operator comes back to it.
  EXPECT_EQ(d.B().ActiveControl(), d.B().Memo_editeur);
}

TEST(LiaisonAutex, StopReplacesWhatWaitsAndTheLinkGoesOn) {
  DeuxStationsAutex d;
  // Not connected: nothing to stop.
  ASSERT_TRUE(DeuxStationsAutex::Clic(d.A().ARRET_TRANSMISSION_AUTEX));
  EXPECT_EQ(d.A().Label_Info_AUTEX->Caption(), "No need of <Stop!> as you must be connected");
  d.Liaison();
  if (testing::Test::HasFatalFailure()) return;
  ASSERT_TRUE(DeuxStationsAutex::Clic(d.A().ARRET_TRANSMISSION_AUTEX));
  EXPECT_EQ(d.A().Label_Info_AUTEX->Caption(), "No need of <Stop!> as no transmission in progress");

  // A long text is on its way; Stop replaces what still waits by the stop sequence.
  std::string long_texte;
  for (int i = 0; i < 40; ++i) long_texte += "line " + std::to_string(i) + " of a long report\r\n";
  DeuxStationsAutex::Envoie(d.A(), long_texte);
  DeuxStationsAutex::Envoie(d.A(), "queued behind it");
  ASSERT_TRUE(d.Jusqu_a([&] { return Contient(d.B().Memo_Reception_Master->Text(), "line 1 "); }, 60000));
  ASSERT_FALSE(d.AA().TEXTE_A_EMETTRE.empty());
  ASSERT_TRUE(DeuxStationsAutex::Clic(d.A().ARRET_TRANSMISSION_AUTEX));
  EXPECT_EQ(d.A().Label_Info_AUTEX->Caption(), "<Stop!> taken into account");
  EXPECT_EQ(d.AA().TEXTE_A_EMETTRE, Octets({3, 5}));
  EXPECT_EQ(d.AA().TEXTE_EN_ATTENTE, 1);
  ASSERT_TRUE(d.Jusqu_a([&] { return d.AA().TEXTE_A_EMETTRE.empty(); }, 60000));
  d.Run(10000);
  EXPECT_FALSE(Contient(d.B().Memo_Reception_Master->Text(), "line 39 "));
  if (RECEPTION_SMS_FICHIERS) {
    EXPECT_TRUE(Contient(d.B().Memo_Reception_Master->Text(), "...Stop!")) << d.B().Memo_Reception_Master->Text();
  }
  // A says what was stopped and what the stop dropped, in that order.
  EXPECT_TRUE(std::regex_search(Sms(d.A()), std::regex(": Short message not sent whole: stopped by me, [0-9]+ of [0-9]+ "
                                                       "characters acknowledged\r  line 0 of a long report\r[\\s\\S]*\r\rF1AAA "
                                                       "\\([0-9:]+\\): Dropped by <Stop!>, not sent: 1 short message "
                                                       "\\(20 bytes\\)\r  queued behind it\r\r$")))
      << Sms(d.A());

  // The next message goes through.
  DeuxStationsAutex::Envoie(d.A(), "after the stop");
  ASSERT_TRUE(d.Jusqu_a([&] { return Contient(d.B().Memo_Reception_Master->Text(), "after the stop"); }, 60000));
}

TEST(LiaisonAutex, AShortMessageArrivesInTheShortMessageWindowAndItsReport) {
  if (!RECEPTION_SMS_FICHIERS) GTEST_SKIP() << "waits for the reception of short messages and files";
  DeuxStationsAutex d;
  d.Liaison();
  if (testing::Test::HasFatalFailure()) return;
  DeuxStationsAutex::Envoie(d.A(), "QSL via bureau");
  ASSERT_TRUE(d.Jusqu_a([&] { return Contient(d.B().RichEdit_SMS->Text(), "QSL via bureau"); }, 60000))
      << d.B().RichEdit_SMS->Text();
  EXPECT_TRUE(Contient(d.B().RichEdit_SMS->Text(), "F1AAA")) << d.B().RichEdit_SMS->Text();
  // A short message holding a NUL and lines, one of them in the form of the station's own: shown whole, the NUL
  // as "?", its lines after the first set in; the next entry on a line of its own. (Line ends as CR alone: the
  // window gives CR LF natively and CR under Windows.)
  const auto sans_lf = [](std::string t) {
    std::erase(t, '\n');
    return t;
  };
  // Nor does a byte that a reader of the report could take for a line end: 0x85 (the code page's ellipsis, NEL
  // in Latin-1) shown as "...", the line and paragraph separators of UTF-8 as "?".
  d.AA().TEXTE_A_EMETTRE += Octets({3, 1}) + "msg" + Octets({0}) + "with\r\nF1AAA (21:54): File of F1AAA \"a\" (1 byte)\nx" +
                            Octets({0x85}) + "F1AAA (21:55): y" + Octets({0xE2, 0x80, 0xA8}) + "F1AAA (21:56): z" +
                            Octets({0xE2, 0x80, 0xA9}) + "F1AAA (21:57): w" + Octets({3, 0}) +
                            autex::TRAME_MESSAGE_AUTEX("next");
  d.AA().TEXTE_EN_ATTENTE = 1;
  ASSERT_TRUE(d.Jusqu_a([&] { return Contient(d.B().RichEdit_SMS->Text(), "next"); }, 60000));
  const std::string message = ": msg?with\r  F1AAA (21:54): File of F1AAA \"a\" (1 byte)\r  x...F1AAA (21:55): y?F1AAA "
                              "(21:56): z?F1AAA (21:57): w\r\rF1AAA (";
  EXPECT_TRUE(Contient(sans_lf(d.B().RichEdit_SMS->Text()), message)) << d.B().RichEdit_SMS->Text();
  // A file whose call sign and name hold line ends: its announcement and its echo stay on one line, each control
  // character shown as "?", in the windows and the report.
  std::string trame;
  bool compresse = false;
  const std::string faux = "x.txt\r\nF2BBB (12:00): File of F1AAA \"fake.txt\" (13 bytes)";
  ASSERT_TRUE(autex::TRAME_FICHIER_AUTEX("F1\r\nAAA", faux, "forged file\r\n", false, trame, compresse));
  d.AA().TEXTE_A_EMETTRE += trame;
  d.AA().TEXTE_EN_ATTENTE = 1;
  ASSERT_TRUE(d.Jusqu_a([&] { return d.B().Nom_du_fichier_RX_AUTEX->Caption() == "RX_FILE"; }, 120000));
  const std::string vu = "x.txt??F2BBB (12:00): File of F1AAA \"fake.txt\" (13 bytes)";
  const std::string annonce = ": File of F1??AAA \"" + vu + "\" (13 bytes) stored as \"RX_FILE\"\r";
  EXPECT_TRUE(Contient(d.B().RichEdit_SMS->Text(), annonce)) << d.B().RichEdit_SMS->Text();
  EXPECT_TRUE(Contient(d.B().Memo_Reception_memo->Text(), "[File: " + vu + "]\r"));
  const std::string rapport = d.B().Rapport_messages();
  ASSERT_FALSE(rapport.empty());
  std::ifstream in(rapport, std::ios::binary);
  const std::string contenu((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(contenu.rfind("<Autex Messages>\r\n\r\n", 0), 0u);
  EXPECT_TRUE(Contient(contenu, "QSL via bureau"));
  EXPECT_TRUE(Contient(contenu, annonce)) << contenu;
  EXPECT_TRUE(Contient(sans_lf(contenu), message)) << contenu;
  for (const std::string& fin : {Octets({0x85}), Octets({0xE2, 0x80, 0xA8}), Octets({0xE2, 0x80, 0xA9})})
    EXPECT_FALSE(Contient(contenu, fin));
  // A short message that cuts a file off among its three length bytes is no file's length: the file is cut
  // short, and the message shown.
  d.AA().TEXTE_A_EMETTRE += Octets({3, 4, 0}) + autex::TRAME_MESSAGE_AUTEX("kept after all");
  d.AA().TEXTE_EN_ATTENTE = 1;
  ASSERT_TRUE(d.Jusqu_a([&] { return Contient(d.B().RichEdit_SMS->Text(), "kept after all"); }, 60000))
      << d.B().RichEdit_SMS->Text();
  EXPECT_TRUE(std::regex_search(sans_lf(d.B().RichEdit_SMS->Text()),
                                std::regex(": File not stored: cut short by a short message of the sender within its "
                                           "length\r\rF1AAA \\([0-9:]+\\): kept after all\r\r$")))
      << d.B().RichEdit_SMS->Text();
  ASSERT_TRUE(DeuxStationsAutex::Clic(d.B().Clear_fenetre_SMS));
  EXPECT_EQ(d.B().RichEdit_SMS->Text(), "");
}

TEST(LiaisonAutex, ACompressedFileArrivesWholeThroughByteErrors) {
  if (!RECEPTION_SMS_FICHIERS) GTEST_SKIP() << "waits for the reception of short messages and files";
  DeuxStationsAutex d;
  d.air.erreurs = 2e-3;
  d.Liaison();
  if (testing::Test::HasFatalFailure()) return;
  const std::string contenu = Journal(20000);
  d.a.dir.write("journal.txt", contenu);
  station::FichePrincipale& a = d.A();
  a.Nom_fichier_TX = "journal.txt";
  a.Chemin_fichier_TX = (d.a.dir.path() / "journal.txt").string();
  ASSERT_TRUE(a.Compression_du_fichier_transmis->Checked());
  ASSERT_TRUE(DeuxStationsAutex::Clic(a.TRANSMISSION_FICHIER_AUTEX));
  ASSERT_EQ(d.AA().TEXTE_A_EMETTRE.substr(0, 2), Octets({3, 6}));
  ASSERT_TRUE(d.Jusqu_a([&] { return !d.B().Nom_du_fichier_RX_AUTEX->Caption().empty(); }, 900000))
      << d.B().Memo_Reception_Master->Text();
  EXPECT_GT(d.air.octets_alteres, 0u);
  const std::string recu = d.b.dir.read("AUTEX/" + d.B().Nom_du_fichier_RX_AUTEX->Caption());
  EXPECT_TRUE(recu == contenu) << recu.size() << " bytes received";
  // The received file is opened with the shell's default action.
  ASSERT_TRUE(DeuxStationsAutex::Clic(d.B().Ouverture_du_fichier_AUTEX));
  ASSERT_FALSE(d.b.shell.requests.empty());
  EXPECT_EQ(d.b.shell.requests.back().document,
            station::Chemin_dans(station::Chemin_dans(d.B().Repertoire_travail, "AUTEX"),
                                 d.B().Nom_du_fichier_RX_AUTEX->Caption()));
}

// A file that does not come whole: cut short by its sender (a stop, a short message or another file in its
// place) or cut off by the end of the link (the sender falls silent, or ends the meeting). B announces each in
// its short-message window with why and how much of it had come, ends its M panel's line, and stores nothing.
TEST(LiaisonAutex, AFileThatDoesNotComeWholeIsAnnouncedAndNotStored) {
  if (!RECEPTION_SMS_FICHIERS) GTEST_SKIP() << "waits for the reception of short messages and files";
  DeuxStationsAutex d;
  station::FichePrincipale& b = d.B();
  std::string bruit, trame, y;
  for (uint32_t x = 7; bruit.size() < 1500; x = x * 1103515245u + 12345u) bruit.push_back(char(x >> 24));
  d.a.dir.write("x.bin", bruit);
  bool c = false;
  ASSERT_TRUE(autex::TRAME_FICHIER_AUTEX("F1AAA", "x.bin", bruit, false, trame, c));
  ASSERT_TRUE(autex::TRAME_FICHIER_AUTEX("F1AAA", "y.txt", "whole", false, y, c));
  const std::string total = std::to_string(trame.size() - 5);
  size_t vu = 0;  // what B's M panel showed before this file
  // How much of the file each side counts, after the text that announces it in a short-message window: the
  // count, and what follows it to the end of its line.
  const auto compte = [](station::FichePrincipale& f, const std::string& debut, unsigned long& n, std::string& suite) {
    const std::string t = f.RichEdit_SMS->Text();
    const size_t p = t.rfind(debut);
    if (p == std::string::npos) return false;
    const std::string reste = t.substr(p + debut.size());
    n = std::stoul(reste);
    suite = reste.substr(reste.find(' '), reste.find('\r') - reste.find(' '));
    return true;
  };
  // exact: the sender cut it short and went on, so that what it sent of it was all acknowledged, and its
  // receiver got just that.
  const struct {
    std::function<void()> coupe;
    std::string raison, raison_emetteur, fin_de_ligne;
    bool exact;
  } cas[] = {
      {[&] { DeuxStationsAutex::Clic(d.A().ARRET_TRANSMISSION_AUTEX); }, "stopped by the sender", "stopped by me",
       " \\.\\.\\.Stop!", true},
      {[&] { d.AA().TEXTE_A_EMETTRE = autex::TRAME_MESSAGE_AUTEX("instead"); },
       "cut short by a short message of the sender", "cut short by what was queued in its place", "\\.\\.\\.error",
       true},
      {[&] { d.AA().TEXTE_A_EMETTRE = y; }, "cut short by another file of the sender",
       "cut short by what was queued in its place", "\\.\\.\\.error", true},
      {[&] { d.air.muet[0] = true; }, "cut off by the end of the link (End of meeting by loss of the Master)",
       "cut off by the end of the link (End of meeting by loss of the user)", "\\.\\.\\.error", false},
      {[&] { DeuxStationsAutex::Clic(d.A().FIN_REUNION); }, "cut off by the end of the link (End of meeting completed)",
       "cut off by the end of the link (End of meeting accepted)", "\\.\\.\\.error", false}};
  for (const auto& k : cas) {
    if (d.AB().SESSION_EN_COURS == 0) d.Liaison();
    if (testing::Test::HasFatalFailure()) return;
    d.a.f().Nom_fichier_TX = "x.bin";
    d.a.f().Chemin_fichier_TX = (d.a.dir.path() / "x.bin").string();
    ASSERT_TRUE(DeuxStationsAutex::Clic(d.A().TRANSMISSION_FICHIER_AUTEX));
    ASSERT_TRUE(d.Jusqu_a([&] { return Contient(b.Memo_Reception_Master->Text().substr(vu), "%"); }, 120000));
    k.coupe();
    // The receiver counts the bytes of the file's transmission that came (the byte 3 that starts the sequence
    // cutting it short is none of them), against the length its frame announced, which is not the file's size.
    const std::string debut = ": File of F1AAA \"x.bin\" not stored: " + k.raison + ", ";
    unsigned long recus = 0, acquittes = 0;
    std::string suite;
    ASSERT_TRUE(d.Jusqu_a([&] { return compte(b, debut, recus, suite); }, 120000)) << k.raison;
    EXPECT_GT(recus, 0u);
    EXPECT_LT(recus, std::stoul(total));
    EXPECT_EQ(suite, " of the " + total + " bytes of its transmission received") << k.raison;
    // The sender says it in its own words: the file's size, not sent whole, why, and how much of its
    // transmission was acknowledged.
    const std::string dit = ": File \"x.bin\" (1500 bytes) not sent whole: " + k.raison_emetteur + ", ";
    ASSERT_TRUE(d.Jusqu_a([&] { return compte(d.A(), dit, acquittes, suite); }, 120000))
        << k.raison_emetteur << d.A().RichEdit_SMS->Text();
    EXPECT_EQ(suite, " of the " + total + " bytes of its transmission acknowledged") << k.raison;
    if (k.exact)
      EXPECT_EQ(acquittes, recus) << k.raison;
    else
      EXPECT_LE(acquittes, recus) << k.raison;
    EXPECT_FALSE(Contient(d.A().RichEdit_SMS->Text(), "File of F1AAA \"x.bin\" not stored")) << d.A().RichEdit_SMS->Text();
    ASSERT_TRUE(d.Jusqu_a([&] { return d.AA().SESSION_EN_COURS == 0 || d.AA().TEXTE_A_EMETTRE.empty(); }, 120000));
    d.air.muet[0] = false;
    d.Run(20000);
    const std::string m = b.Memo_Reception_Master->Text().substr(vu);
    EXPECT_TRUE(std::regex_search(m, std::regex("[0-9]+% " + k.fin_de_ligne + "\r\n"))) << k.raison << m;
    vu = b.Memo_Reception_Master->Text().size();
  }
  EXPECT_EQ(b.Nom_du_fichier_RX_AUTEX->Caption(), "y.txt");
  EXPECT_FALSE(std::filesystem::exists(d.b.dir.path() / "AUTEX" / "x.bin"));
}

// The end of a link in every way the stations have, while a file goes with short messages queued before and
// behind it: only the frame that the end cuts off is lost (its rest never reaches the next link, as text or
// otherwise), what was queued behind it goes out in the next link, nothing goes twice, and each side says what
// did not go in its own words, the sender also what waits.
TEST(LiaisonAutex, WhatWasQueuedBehindTheFrameALinksEndCutsOffGoesOutInTheNextLink) {
  if (!RECEPTION_SMS_FICHIERS) GTEST_SKIP() << "waits for the reception of short messages and files";
  DeuxStationsAutex d;
  std::string bruit;
  for (uint32_t x = 11; bruit.size() < 1800; x = x * 1103515245u + 12345u) bruit.push_back(char(x >> 24));
  for (StationTest* st : {&d.a, &d.b}) st->dir.write("x.bin", bruit);
  std::string trame;
  bool compresse = false;
  ASSERT_TRUE(autex::TRAME_FICHIER_AUTEX("F1AAA", "x.bin", bruit, false, trame, compresse));
  const std::string total = std::to_string(trame.size() - 5);
  const auto lignes_coupees = [&](bool etat) {
    for (auto& l : {d.la, d.lb}) l->statusFails = l->writeFails = etat;
  };
  // emetteur_a: A (the Master) sends, else B (the user). aussitot: the end comes as soon as all is queued
  // (nothing has gone); otherwise once the file is under way. raison: the sender's information line at the end.
  const struct {
    const char* nom;
    bool emetteur_a;
    bool aussitot;
    std::function<void()> fin;
    std::string raison;
    std::function<void()> retablit;
  } cas[] = {
      {"A ends the meeting", true, false, [&] { DeuxStationsAutex::Clic(d.A().FIN_REUNION); }, "End of meeting accepted", {}},
      {"B quits", true, false, [&] { DeuxStationsAutex::Clic(d.B().SORTIR_DE_LA_REUNION_S1); },
       "End of meeting completed", {}},
      {"B falls silent", true, false, [&] { d.air.muet[1] = true; }, "End of meeting by loss of the user",
       [&] { d.air.muet[1] = false; }},
      {"A ends the meeting while B is silent", true, false,
       [&] {
         d.air.muet[1] = true;
         DeuxStationsAutex::Clic(d.A().FIN_REUNION);
       },
       "End of meeting considered after 3 retries", [&] { d.air.muet[1] = false; }},
      {"A ends the meeting as soon as all is queued", true, true,
       [&] { DeuxStationsAutex::Clic(d.A().FIN_REUNION); }, "End of meeting accepted", {}},
      {"the ports are lost", true, false, [&] { lignes_coupees(true); },
       "Radio link lost: the serial port or the module does not answer",
       [&] {
         lignes_coupees(false);
         d.A().COM_GPSClick(nullptr, 1);
         d.B().COM_GPSClick(nullptr, 2);
       }},
      {"A falls silent", false, false, [&] { d.air.muet[0] = true; }, "End of meeting by loss of the Master",
       [&] { d.air.muet[0] = false; }},
      {"B quits", false, false, [&] { DeuxStationsAutex::Clic(d.B().SORTIR_DE_LA_REUNION_S1); },
       "End of meeting accepted", {}},
      {"A ends the meeting", false, false, [&] { DeuxStationsAutex::Clic(d.A().FIN_REUNION); },
       "End of meeting completed", {}},
      {"B quits as soon as all is queued", false, true,
       [&] { DeuxStationsAutex::Clic(d.B().SORTIR_DE_LA_REUNION_S1); }, "End of meeting accepted", {}},
  };
  int n = 0;
  for (const auto& k : cas) {
    SCOPED_TRACE(k.nom + std::string(k.emetteur_a ? " (A sends)" : " (B sends)"));
    ++n;
    StationTest& st = k.emetteur_a ? d.a : d.b;
    station::FichePrincipale& f = k.emetteur_a ? d.A() : d.B();
    station::FichePrincipale& g = k.emetteur_a ? d.B() : d.A();
    autex::Autex& af = k.emetteur_a ? d.AA() : d.AB();
    gui::TMemo* fenetre = k.emetteur_a ? g.Memo_Reception_Master : g.Memo_Reception_S1;
    const std::string indicatif = k.emetteur_a ? "F1AAA" : "F2BBB";
    const std::string m1 = "first " + std::to_string(n), m2 = "second " + std::to_string(n),
                      m3 = "third " + std::to_string(n);
    d.Liaison();
    if (testing::Test::HasFatalFailure()) return;
    const size_t vu = fenetre->Text().size();
    const size_t sms_vu_f = Sms(f).size(), sms_vu_g = Sms(g).size();
    f.Nom_fichier_TX = "x.bin";
    f.Chemin_fichier_TX = (st.dir.path() / "x.bin").string();
    DeuxStationsAutex::Envoie(f, m1);
    DeuxStationsAutex::Envoie(f, m2);
    ASSERT_TRUE(DeuxStationsAutex::Clic(f.TRANSMISSION_FICHIER_AUTEX));
    DeuxStationsAutex::Envoie(f, m3);
    const std::string file_entiere = autex::TRAME_MESSAGE_AUTEX(m1) + autex::TRAME_MESSAGE_AUTEX(m2);
    if (!k.aussitot)
      ASSERT_TRUE(d.Jusqu_a([&] { return std::regex_search(fenetre->Text().substr(vu), std::regex("[1-9][0-9]% ")); },
                            300000));
    k.fin();
    ASSERT_TRUE(d.Jusqu_a([&] { return d.AA().SESSION_EN_COURS == 0 && d.AB().SESSION_EN_COURS == 0; }, 300000));
    d.Run(20000);
    if (k.retablit) k.retablit();
    ASSERT_TRUE(d.A().LANCEMENT_REUNION->Enabled() && d.B().LANCEMENT_REUNION->Enabled());
    const std::string sms_f = Sms(f).substr(sms_vu_f), sms_g = Sms(g).substr(sms_vu_g);
    const std::string attente = ": Waiting to be sent in the next link: ";
    if (k.aussitot) {
      // Nothing had gone: all of it waits, as it was queued.
      EXPECT_EQ(af.TEXTE_A_EMETTRE.substr(0, file_entiere.size()), file_entiere);
      EXPECT_TRUE(Contient(sms_f, attente + "3 short messages and 1 file (" +
                                      std::to_string(af.TEXTE_A_EMETTRE.size()) + " bytes)\r  " + m1 + "\r  " + m2 +
                                      "\r  File \"x.bin\" (1800 bytes)\r  " + m3 + "\r"))
          << sms_f;
      EXPECT_FALSE(Contient(sms_f, "not sent whole")) << sms_f;
    } else {
      // The file is cut off, said by each side in its own words; what was queued behind it waits.
      EXPECT_EQ(af.TEXTE_A_EMETTRE, autex::TRAME_MESSAGE_AUTEX(m3));
      const std::string coupe = ": File \"x.bin\" (1800 bytes) not sent whole: cut off by the end of the link (" +
                                k.raison + "), ";
      ASSERT_TRUE(Contient(sms_f, coupe)) << sms_f;
      const std::string compte = sms_f.substr(sms_f.rfind(coupe) + coupe.size());
      EXPECT_EQ(compte.substr(compte.find(' '), compte.find('\r') - compte.find(' ')),
                " of the " + total + " bytes of its transmission acknowledged");
      EXPECT_LT(std::stoul(compte), std::stoul(total));
      EXPECT_TRUE(Contient(sms_f, attente + "1 short message (" + std::to_string(m3.size() + 4) + " bytes)\r  " + m3 +
                                      "\r"))
          << sms_f;
      const std::string recu = ": File of " + indicatif + " \"x.bin\" not stored: cut off by the end of the link (";
      ASSERT_TRUE(Contient(sms_g, recu)) << sms_g;
      const std::string suite = sms_g.substr(sms_g.rfind(recu));
      EXPECT_TRUE(std::regex_search(suite, std::regex(R"(\), ([0-9]+) of the )" + total +
                                                      R"( bytes of its transmission received\r)")))
          << suite;
      EXPECT_GE(std::stoul(suite.substr(suite.find("), ") + 3)), std::stoul(compte));
    }
    EXPECT_EQ(af.TEXTE_EN_ATTENTE, 1);

    // The next link: what waited goes out once; nothing of the frame cut off comes with it.
    ASSERT_TRUE(DeuxStationsAutex::Clic(g.Efface_toutes_les_fenetres_M_et_Sx));
    d.Liaison();
    if (testing::Test::HasFatalFailure()) return;
    ASSERT_TRUE(d.Jusqu_a([&] { return Contient(Sms(g), m3) && af.TEXTE_A_EMETTRE.empty(); }, 300000))
        << Sms(g) << fenetre->Text();
    d.Run(10000);
    for (const std::string& m : {m1, m2, m3}) EXPECT_EQ(Nombre(Sms(g), ": " + m + "\r"), 1) << m << Sms(g);
    // (The Master's window of its user starts with the user's connection request.)
    const std::string demande = k.emetteur_a ? "" : "F1AAA < F2BBB\r\n";
    const std::string apres = fenetre->Text();
    if (k.aussitot) {
      EXPECT_TRUE(std::regex_search(apres, std::regex("^" + demande + m1 + "\r\n" + m2 + "\r\nFile transmission:  " + total +
                                                      " bytes.*\\.\\.\\.completed\r\n" + m3 + "\r\n$")))
          << apres;
      // Stored whole (under another name when the station already holds one of that name).
      StationTest& r = k.emetteur_a ? d.b : d.a;
      EXPECT_EQ(r.dir.read("AUTEX/" + g.Nom_du_fichier_RX_AUTEX->Caption()), bruit);
    } else {
      EXPECT_EQ(apres, demande + m3 + "\r\n");
    }
    // The link ends, to start the next case from idle.
    ASSERT_TRUE(DeuxStationsAutex::Clic(d.A().FIN_REUNION));
    ASSERT_TRUE(d.Jusqu_a([&] { return d.AA().SESSION_EN_COURS == 0 && d.AB().SESSION_EN_COURS == 0; }, 300000));
    d.Run(20000);
    EXPECT_TRUE(d.AA().TEXTE_A_EMETTRE.empty() && d.AB().TEXTE_A_EMETTRE.empty());
  }
}

// A short message that does not go whole, cut off by the end of the link or cut short by its sender (a stop, a
// file in its place): a line in each station's short-message window and report, the sender's with its whole
// text and how much of it was acknowledged, the receiver's with what came of it.
TEST(LiaisonAutex, AShortMessageThatDoesNotGoWholeIsToldAtBothEnds) {
  if (!RECEPTION_SMS_FICHIERS) GTEST_SKIP() << "waits for the reception of short messages and files";
  DeuxStationsAutex d;
  std::string texte;
  for (int i = 0; i < 40; ++i) texte += "line " + std::to_string(i) + " of a long report\r\n";
  texte.resize(texte.size() - 2);
  std::string fichier;
  bool c = false;
  ASSERT_TRUE(autex::TRAME_FICHIER_AUTEX("F1AAA", "in.txt", "its place", false, fichier, c));
  const struct {
    bool emetteur_a;
    std::function<void()> coupe;
    std::string raison_emetteur, raison_recepteur;
    std::function<void()> retablit;
  } cas[] = {
      {true, [&] { DeuxStationsAutex::Clic(d.A().FIN_REUNION); }, "cut off by the end of the link (End of meeting accepted)",
       "cut off by the end of the link (End of meeting completed)", {}},
      {false, [&] { d.air.muet[0] = true; }, "cut off by the end of the link (End of meeting by loss of the Master)",
       "cut off by the end of the link (End of meeting by loss of the user)", [&] { d.air.muet[0] = false; }},
      {true, [&] { d.AA().TEXTE_A_EMETTRE = fichier; }, "cut short by what was queued in its place",
       "cut short by a file of the sender", {}},
      {true, [&] { DeuxStationsAutex::Clic(d.A().ARRET_TRANSMISSION_AUTEX); }, "stopped by me", "stopped by the sender",
       {}},
  };
  const auto rapport = [](station::FichePrincipale& f) {
    const std::string nom = f.Rapport_messages();
    std::ifstream in(nom, std::ios::binary);
    std::string t((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::erase(t, '\n');
    return t;
  };
  for (const auto& k : cas) {
    SCOPED_TRACE(k.raison_emetteur);
    if (d.AA().SESSION_EN_COURS == 0 || d.AB().SESSION_EN_COURS == 0) d.Liaison();
    if (testing::Test::HasFatalFailure()) return;
    station::FichePrincipale& f = k.emetteur_a ? d.A() : d.B();
    station::FichePrincipale& g = k.emetteur_a ? d.B() : d.A();
    gui::TMemo* fenetre = k.emetteur_a ? g.Memo_Reception_Master : g.Memo_Reception_S1;
    const size_t vu = fenetre->Text().size();
    DeuxStationsAutex::Envoie(f, texte);
    ASSERT_TRUE(d.Jusqu_a([&] { return Contient(fenetre->Text().substr(vu), "line 3 "); }, 120000));
    k.coupe();
    const std::string dit = ": Short message not sent whole: " + k.raison_emetteur + ", ";
    const std::string recu = ": Short message not received whole: " + k.raison_recepteur + "\r  line 0 of a long report\r  line 1 ";
    ASSERT_TRUE(d.Jusqu_a([&] { return Contient(Sms(f), dit) && Contient(Sms(g), recu); }, 300000))
        << Sms(f) << "\n" << Sms(g);
    // The sender gives its whole text, set in under the line, and how many of its characters were acknowledged.
    const std::string t = Sms(f).substr(Sms(f).rfind(dit) + dit.size());
    EXPECT_TRUE(std::regex_search(t, std::regex("^[0-9]+ of " + std::to_string(texte.size()) +
                                                " characters acknowledged\r  line 0 of a long report\r")))
        << t;
    EXPECT_TRUE(Contient(t, "\r  line 39 of a long report\r\r")) << t;
    EXPECT_LT(std::stoul(t), texte.size());
    EXPECT_GT(std::stoul(t), 0u);
    EXPECT_TRUE(Contient(rapport(f), dit));
    EXPECT_TRUE(Contient(rapport(g), recu));
    // Never in the other side's words.
    EXPECT_FALSE(Contient(Sms(f), "not received whole"));
    EXPECT_FALSE(Contient(Sms(g), "not sent whole"));
    ASSERT_TRUE(d.Jusqu_a([&] { return d.AA().SESSION_EN_COURS == 0 || (d.AA().TEXTE_A_EMETTRE.empty() && d.AB().TEXTE_A_EMETTRE.empty()); }, 300000));
    d.Run(20000);
    if (k.retablit) k.retablit();
    for (station::FichePrincipale* x : {&f, &g}) ASSERT_TRUE(DeuxStationsAutex::Clic(x->Clear_fenetre_SMS));
  }
}

// ---------------------------------------------------------------------------------------------------
// Framed texts

TEST(TramesAutex, MessagesLoseOneLineEndAndEveryControlByte) {
  EXPECT_EQ(station::Trame_message("HELLO\r\n"), Octets({3, 1, 'H', 'E', 'L', 'L', 'O', 3, 0}));
  EXPECT_EQ(station::Trame_message("K"), Octets({3, 1, 'K', 3, 0}));
  EXPECT_EQ(station::Trame_message("\r"), Octets({3, 1, '\r', 3, 0}));
  EXPECT_EQ(station::Trame_message("ab\n\r"), Octets({3, 1, 'a', 'b', 3, 0}));
  EXPECT_EQ(station::Trame_message("ab\n"), Octets({3, 1, 'a', 'b', 3, 0}));
  EXPECT_EQ(station::Trame_message("ab\r"), Octets({3, 1, 'a', 'b', 3, 0}));
  // Only one line end goes; the others are part of the message.
  EXPECT_EQ(station::Trame_message("a\r\n\r\n"), Octets({3, 1, 'a', '\r', '\n', 3, 0}));
  EXPECT_EQ(station::Trame_message(Octets({'a', 3, 'b', 3})), Octets({3, 1, 'a', 'b', 3, 0}));
  EXPECT_EQ(station::Trame_message(""), "");
}

TEST(TramesAutex, FilesCarryTheirCountCallSignNameAndDoubledControlBytes) {
  // 10 bytes named ABC.TXT from a 5-character call sign: N = 5 + 1 + 7 + 1 + 10 + 2 = 26.
  const std::string trame = station::Trame_fichier("F2BBB", "ABC.TXT", "0123456789", false);
  EXPECT_EQ(trame, Octets({3, 4, 0, 0, 26}) + "F2BBB" + Octets({0}) + "ABC.TXT" + Octets({0}) + "0123456789" +
                       Octets({3, 0}));
  // Every data byte 3 goes twice and counts twice. Compression asked on data that zlib cannot shrink: the
  // plain kind goes.
  const std::string c = station::Trame_fichier("F2BBB", "A", Octets({1, 3, 3, 2}), true);
  EXPECT_EQ(c, Octets({3, 4, 0, 0, 16}) + "F2BBB" + Octets({0, 'A', 0, 1, 3, 3, 3, 3, 2, 3, 0}));
  // Compressible data goes as the zlib stream, with 3, 6, and inflates back to the file.
  const std::string log(5000, 'q');
  const std::string z = station::Trame_fichier("F2BBB", "LOG.TXT", log, true);
  ASSERT_GT(z.size(), 2u + 3 + 6 + 8 + 2);
  EXPECT_EQ(z.substr(0, 2), Octets({3, 6}));
  EXPECT_LT(z.size(), 200u);
  const std::string double_ = z.substr(2 + 3 + 6 + 8, z.size() - (2 + 3 + 6 + 8) - 2);
  std::string flux;
  for (size_t i = 0; i < double_.size(); ++i) {
    flux += double_[i];
    if (double_[i] == 3) ++i;  // a doubled 3
  }
  std::string inflated;
  autex::DECOMPRESSER_CHAINE(flux, inflated);
  EXPECT_TRUE(inflated == log);
  // Counts above 255 are written most significant byte first.
  const std::string grand = station::Trame_fichier("F2BBB", "B.BIN", std::string(1000, 'x'), false);
  EXPECT_EQ(grand.substr(2, 3), Octets({0, 0x03, 0xF6}));  // 5 + 1 + 5 + 1 + 1000 + 2 = 1014
  // A count holding a 3 is announced as it is (the receiver reads it right): 5 + 1 + 5 + 1 + 754 + 2 = 768.
  const std::string t = station::Trame_fichier("F2BBB", "B.BIN", std::string(754, 'x'), false);
  EXPECT_EQ(t.substr(2, 3), Octets({0, 3, 0}));
  EXPECT_EQ(t.size(), 2 + 3 + 5 + 1 + 5 + 1 + 754 + 2u);
  // A NUL or a control byte in the call sign or the name could not be read back: they are left out.
  EXPECT_EQ(station::Trame_fichier(Octets({'F', 3, 0, 'X'}), "N", "d", false),
            Octets({3, 4, 0, 0, 8, 'F', 'X', 0, 'N', 0, 'd', 3, 0}));
}

// ---------------------------------------------------------------------------------------------------
// Handlers of one station

struct UneStationAutex {
  Bureau bureau;
  StationTest st{bureau};
  std::shared_ptr<stationtest::FakeLine> ligne = st.ports.add(1);
  explicit UneStationAutex(const std::string& indicatif = "F4ABC", std::vector<std::pair<int, int>> octets = {}) {
    std::string image = Image_avec({{252, 1}, {station::octet::MODE, 78}});
    for (auto [i, v] : octets) image[size_t(i - 1)] = char(v);
    st.dir.write("CONF_COM.SER", image);
    st.dir.write("CONFSTRINGS_COM.TXT", "\r\n" + indicatif + "\r\n\r\n\r\n\r\n");
    st.Demarre();
    st.Montre();
  }
  station::FichePrincipale& f() { return st.f(); }
  autex::Autex& a() { return *st.s().autex; }
  // A link as the receive side leaves it, without a peer.
  void Connecte(uint8_t maitre) {
    a().SESSION_EN_COURS = 1;
    a().STATION_MAITRE = maitre;
    if (maitre == 1)
      a().INDICATIF_PROPRE = "F4ABC";
    else
      a().INDICATIF_CONNEXION = "F4ABC";
  }
};

TEST(EnvoiAutex, AFileIsCheckedWhenChosenAndAgainWhenSent) {
  UneStationAutex u;
  station::FichePrincipale& f = u.f();
  // Nothing chosen, not connected.
  f.TRANSMISSION_FICHIER_AUTEXClick(nullptr);
  EXPECT_EQ(f.Label_Info_AUTEX->Caption(), "You must be connected");
  u.Connecte(0);
  f.TRANSMISSION_FICHIER_AUTEXClick(nullptr);
  EXPECT_EQ(f.Label_Info_AUTEX->Caption(), "Error: the file has not been selected");
  EXPECT_TRUE(u.a().TEXTE_A_EMETTRE.empty());

  // A chosen file, sent plain (compression off).
  f.Compression_du_fichier_transmis->SetChecked(false);
  f.Compression_du_fichier_transmisClick(nullptr);
  u.st.dir.write("ABC.TXT", "0123456789");
  f.Nom_fichier_TX = "ABC.TXT";
  f.Chemin_fichier_TX = (u.st.dir.path() / "ABC.TXT").string();
  f.TRANSMISSION_FICHIER_AUTEXClick(nullptr);
  EXPECT_EQ(u.a().TEXTE_A_EMETTRE, station::Trame_fichier("F4ABC", "ABC.TXT", "0123456789", false));
  EXPECT_EQ(u.a().TEXTE_EN_ATTENTE, 1);

  // Sent again once it has grown past the limit, gone, or become something that cannot be read: the
  // information line says so and nothing is queued.
  u.a().TEXTE_A_EMETTRE.clear();
  u.st.dir.write("ABC.TXT", std::string(65001, 'x'));
  f.TRANSMISSION_FICHIER_AUTEXClick(nullptr);
  EXPECT_EQ(f.Label_Info_AUTEX->Caption(), "The selected file is larger than 63 Kbytes");
  std::filesystem::remove(u.st.dir.path() / "ABC.TXT");
  f.TRANSMISSION_FICHIER_AUTEXClick(nullptr);
  EXPECT_EQ(f.Label_Info_AUTEX->Caption(), "The selected file no longer exists");
#ifndef _WIN32
  std::filesystem::create_directory(u.st.dir.path() / "ABC.TXT");  // a directory is no file to read
  f.TRANSMISSION_FICHIER_AUTEXClick(nullptr);
  EXPECT_EQ(f.Label_Info_AUTEX->Caption(), "The selected file cannot be read");
#endif
  EXPECT_TRUE(u.a().TEXTE_A_EMETTRE.empty());

  // A file of exactly 65,000 bytes goes.
  std::filesystem::remove(u.st.dir.path() / "ABC.TXT");
  u.st.dir.write("ABC.TXT", std::string(65000, 'y'));
  f.TRANSMISSION_FICHIER_AUTEXClick(nullptr);
  EXPECT_EQ(u.a().TEXTE_A_EMETTRE.size(), 2 + 3 + 5 + 1 + 7 + 1 + 65000 + 2u);
}

TEST(EnvoiAutex, CompressionIsUsedOnlyWhenItShortensTheFileAndTheMasterSignsWithItsOwnCall) {
  UneStationAutex u;
  station::FichePrincipale& f = u.f();
  u.Connecte(1);
  ASSERT_TRUE(f.Compression_du_fichier_transmis->Checked());  // the standard setting
  const std::string texte = Journal(20000);
  u.st.dir.write("log.txt", texte);
  f.Nom_fichier_TX = "log.txt";
  f.Chemin_fichier_TX = (u.st.dir.path() / "log.txt").string();
  f.TRANSMISSION_FICHIER_AUTEXClick(nullptr);
  const std::string trame = u.a().TEXTE_A_EMETTRE;
  ASSERT_EQ(trame.substr(0, 2), Octets({3, 6}));
  EXPECT_LT(trame.size(), 4000u);
  // The fields read back: call sign, name, then the data with its 3s undoubled, which inflate to the file.
  ASSERT_EQ(trame.substr(5, 6), Octets({'F', '4', 'A', 'B', 'C', 0}));
  ASSERT_EQ(trame.substr(11, 8), Octets({'l', 'o', 'g', '.', 't', 'x', 't', 0}));
  ASSERT_EQ(trame.substr(trame.size() - 2), Octets({3, 0}));
  std::string donnees = trame.substr(19, trame.size() - 21);
  std::string simple;
  for (size_t i = 0; i < donnees.size(); ++i) {
    simple.push_back(donnees[i]);
    if (donnees[i] == 3) {
      ASSERT_LT(i + 1, donnees.size());
      ASSERT_EQ(donnees[i + 1], 3);
      ++i;
    }
  }
  std::string inflate;
  ASSERT_TRUE(autex::DECOMPRESSER_CHAINE(simple, inflate));
  EXPECT_TRUE(inflate == texte);
  EXPECT_EQ(autex::Trois_octets_vers_entier(trame.substr(2, 3)), int32_t(trame.size() - 5));

  // Bytes that zlib cannot shrink go plain.
  u.a().TEXTE_A_EMETTRE.clear();
  std::string bruit;
  uint32_t x = 1;
  for (int i = 0; i < 3000; ++i) {
    x = x * 1103515245u + 12345u;
    bruit.push_back(char(x >> 24));
  }
  u.st.dir.write("log.txt", bruit);
  f.TRANSMISSION_FICHIER_AUTEXClick(nullptr);
  EXPECT_EQ(u.a().TEXTE_A_EMETTRE.substr(0, 2), Octets({3, 4}));
}

#ifndef _WIN32
// The open dialog answers as the user does (natively; under Windows it is the system's dialog).
struct ReponseDialogue {
  explicit ReponseDialogue(std::function<bool(gui::TOpenDialog&)> r) {
    gui::TCommonDialog::HeadlessDriver = [r](gui::TCommonDialog& d) { return r(dynamic_cast<gui::TOpenDialog&>(d)); };
  }
  ~ReponseDialogue() { gui::TCommonDialog::HeadlessDriver = nullptr; }
};

TEST(EnvoiAutex, TheFileChoiceKeepsFilesOfAtMost65000BytesWithNamesOfAtMost230Characters) {
  UneStationAutex u;
  station::FichePrincipale& f = u.f();
  std::string filtre, dossier;
  std::string choisi;
  std::string trop_long;
  ReponseDialogue dialogue([&](gui::TOpenDialog& d) {
    filtre = d.Filter;
    dossier = d.InitialDir;
    trop_long = d.LongNameMessage;
    if (choisi == "<cancel>") return false;
    d.FileName = choisi;
    return true;
  });
  u.st.dir.write("max.bin", std::string(65000, 'a'));
  choisi = (u.st.dir.path() / "max.bin").string();
  f.Fichier_TX_AUTEXClick(nullptr);
  EXPECT_EQ(filtre, "(*.*)|*.*");
  EXPECT_EQ(dossier, f.Repertoire_travail);  // the station's own, not the folder last used by another
  EXPECT_FALSE(dossier.empty());
  EXPECT_EQ(f.Nom_fichier_TX, "max.bin");
  EXPECT_EQ(f.Chemin_fichier_TX, choisi);
  EXPECT_EQ(f.Nom_du_fichier_TX_AUTEX->Caption(), "max.bin");

  // Cancelled: the choice stays.
  choisi = "<cancel>";
  f.Fichier_TX_AUTEXClick(nullptr);
  EXPECT_EQ(f.Nom_fichier_TX, "max.bin");

  // A device's name is refused before anything is read.
  for (const char* nom : {"NUL.txt", "com1.log", "CON"}) {
    u.st.dir.write(nom, "x");
    choisi = (u.st.dir.path() / nom).string();
    f.Fichier_TX_AUTEXClick(nullptr);
    EXPECT_EQ(f.Nom_fichier_TX, "") << nom;
    EXPECT_EQ(f.Chemin_fichier_TX, "") << nom;
    EXPECT_EQ(f.Label_Info_AUTEX->Caption(),
              "The selected file has the name of a device (" + std::string(nom) + "): it cannot be sent");
  }

  u.st.dir.write("big.bin", std::string(65001, 'a'));
  choisi = (u.st.dir.path() / "big.bin").string();
  f.Fichier_TX_AUTEXClick(nullptr);
  EXPECT_EQ(f.Nom_fichier_TX, "");
  EXPECT_EQ(f.Chemin_fichier_TX, "");
  EXPECT_EQ(f.Nom_du_fichier_TX_AUTEX->Caption(), "");
  EXPECT_EQ(f.Label_Info_AUTEX->Caption(), "The selected file is larger than 63 Kbytes");

  const std::string nom_230 = std::string(226, 'n') + ".txt";
  const std::string nom_231 = std::string(227, 'n') + ".txt";
  u.st.dir.write(nom_230, "x");
  u.st.dir.write(nom_231, "x");
  choisi = (u.st.dir.path() / nom_231).string();
  f.Fichier_TX_AUTEXClick(nullptr);
  EXPECT_EQ(f.Nom_fichier_TX, "");
  EXPECT_EQ(f.Label_Info_AUTEX->Caption(), "The name of the selected file has more than 230 characters.");
  choisi = (u.st.dir.path() / nom_230).string();
  f.Fichier_TX_AUTEXClick(nullptr);
  EXPECT_EQ(f.Nom_fichier_TX, nom_230);

  // An empty answer forgets the choice.
  choisi = "";
  f.Fichier_TX_AUTEXClick(nullptr);
  EXPECT_EQ(f.Nom_fichier_TX, "");
  EXPECT_EQ(f.Chemin_fichier_TX, "");

  // The dialog refuses a full name too long for it in the station's language.
  u.st.s().langues.Langue = 2;
  f.Fichier_TX_AUTEXClick(nullptr);
  EXPECT_EQ(trop_long.substr(0, 72), "Le nom complet du fichier choisi (ses dossiers et son nom) a plus de 259");
}
#endif

TEST(EnvoiAutex, SequencesMessagesAndTheShortMessageWindow) {
  UneStationAutex u;
  station::FichePrincipale& f = u.f();
  f.Edit_Sequence1->SetText("CQ CQ");
  // Not connected: the message window says so and nothing is queued.
  f.Sequence1Click(nullptr);
  EXPECT_EQ(u.bureau.modales.back(), "TForm36");
  EXPECT_EQ(u.st.s().Form36->Memo1->Text(), "Your are not yet connected...");
  EXPECT_TRUE(u.a().TEXTE_A_EMETTRE.empty());
  u.Connecte(0);
  f.Memo_editeur->SetText("QTH ");
  f.Sequence1Click(nullptr);
  EXPECT_EQ(u.a().TEXTE_A_EMETTRE, Octets({3, 1}) + "QTH CQ CQ" + Octets({3, 0}));
  EXPECT_EQ(f.Memo_editeur->Text(), "");
  f.Memo_editeur->SetText(Octets({'a', 3, 'b', '\r', '\n'}));
  f.ENVOI_MESSAGE_ARQClick(nullptr);
  EXPECT_EQ(u.a().TEXTE_A_EMETTRE, Octets({3, 1}) + "QTH CQ CQ" + Octets({3, 0, 3, 1, 'a', 'b', 3, 0}));
  // An empty editor sends nothing.
  f.ENVOI_MESSAGE_ARQClick(nullptr);
  EXPECT_EQ(u.a().TEXTE_A_EMETTRE.size(), 19u);

  // The short-message window: its report and its clear button.
  f.RichEdit_SMS->SetText("F1AAA (12:00)\r\n: QSL\r\n");
  const std::string rapport = f.Rapport_messages();
  ASSERT_FALSE(rapport.empty());
  EXPECT_EQ(std::filesystem::path(rapport).parent_path().filename().string(), "REPORTS");
  EXPECT_EQ(std::filesystem::path(rapport).filename().string().rfind("MESSAGES_ ", 0), 0u);
  std::ifstream in(rapport, std::ios::binary);
  const std::string contenu((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(contenu, "<Autex Messages>\r\n\r\nF1AAA (12:00)\r\n: QSL\r\n");
  f.Clear_fenetre_SMSClick(nullptr);
  EXPECT_EQ(f.RichEdit_SMS->Text(), "");

  // The options panel opens and closes with its button, whole and above the participant panels it overlaps,
  // in every layout: its compression box is the topmost control under the mouse.
  for (const auto& [participants, trois_colonnes] : {std::pair{2, 0}, {4, 0}, {7, 1}, {13, 0}, {13, 1}}) {
    u.a().NOMBRE_PARTICIPANTS = uint8_t(participants);
    u.a().TROIS_COLONNES_7 = u.a().TROIS_COLONNES_13 = uint8_t(trois_colonnes);
    u.a().GESTION_PRELIMINAIRE_AUTEX();
    f.Options_AUTEX->SetDown(true);
    f.Options_AUTEXClick(nullptr);
    gui::TPanel* options = f.Panel_Options_AUTEX;
    EXPECT_TRUE(options->Visible());
    EXPECT_EQ(options->Height(), 57);
    EXPECT_LE(options->Left() + options->Width(), f.Panel_AUTEX->Width()) << participants;
    EXPECT_LE(options->Top() + options->Height(), f.Panel_AUTEX->Height()) << participants;
    gui::TCheckBox* box = f.Compression_du_fichier_transmis;
    const gui::TPoint centre{options->Left() + box->Left() + box->Width() / 2, options->Top() + box->Top() + 8};
    EXPECT_EQ(f.Panel_AUTEX->ControlAtPos(centre, false, true), options) << participants << " participants";
    f.Options_AUTEX->SetDown(false);
    f.Options_AUTEXClick(nullptr);
    EXPECT_FALSE(options->Visible());
  }

  // With no file received yet, the received file's button says so.
  size_t modales = u.bureau.modales.size();
  f.Nom_du_fichier_RX_AUTEX->SetCaption("");
  f.Ouverture_du_fichier_AUTEXClick(nullptr);
  EXPECT_TRUE(u.st.shell.requests.empty());
  ASSERT_EQ(u.bureau.modales.size(), modales + 1);
  EXPECT_EQ(u.st.s().Form36->Memo1->Text(), "No file has been received yet.");
  // It hands "AUTEX\<name>" under the working directory to the shell.
  const std::string photo = station::Chemin_dans(station::Chemin_dans(f.Repertoire_travail, "AUTEX"), "photo.jpg");
  f.Nom_du_fichier_RX_AUTEX->SetCaption("photo.jpg");
  std::filesystem::create_directories(std::filesystem::path(photo).parent_path());
  std::ofstream(photo, std::ios::binary) << "jpeg";
  modales = u.bureau.modales.size();
  f.Ouverture_du_fichier_AUTEXClick(nullptr);
  ASSERT_EQ(u.st.shell.requests.size(), 1u);
  EXPECT_EQ(u.st.shell.requests[0].document, photo);
  EXPECT_EQ(u.st.shell.requests[0].showMode, station::AFFICHAGE_SW_SHOWDEFAULT);
  EXPECT_EQ(u.bureau.modales.size(), modales);
  // Nothing opens it: the message names the file in full.
  u.st.shell.result = 31;
  f.Ouverture_du_fichier_AUTEXClick(nullptr);
  ASSERT_EQ(u.bureau.modales.size(), modales + 1);
  EXPECT_EQ(u.st.s().Form36->Memo1->Text(),
            "The received file cannot be opened here: no program opens it (error 31). It is " + photo);
  // A file that is gone is said to be, with where it was: as the shell finds it, or as the station does first
  // (its folder removed: the shell is not asked, whatever the file's kind).
  const std::string introuvable = ": the file or its folder has been moved, renamed or removed, or is out of reach.";
  u.st.shell.result = station::SHELL_CHEMIN_INTROUVABLE;
  f.Ouverture_du_fichier_AUTEXClick(nullptr);
  EXPECT_EQ(u.st.s().Form36->Memo1->Text(), "The received file cannot be found. It was stored as " + photo +
                                                introuvable);
  std::filesystem::remove_all(std::filesystem::path(photo).parent_path());
  f.Nom_du_fichier_RX_AUTEX->SetCaption("RX_FILE");
  f.Ouverture_du_fichier_AUTEXClick(nullptr);
  EXPECT_EQ(u.st.shell.requests.size(), 3u);
  const std::string rx_file = (std::filesystem::path(photo).parent_path() / "RX_FILE").string();
  EXPECT_EQ(u.st.s().Form36->Memo1->Text(), "The received file cannot be found. It was stored as " + rx_file +
                                                introuvable);
}

TEST(BoutonsAutex, AReceivedFileOpensOnlyWhenItIsADocumentThatRunsNothing) {
  UneStationAutex u;
  station::FichePrincipale& f = u.f();
  const auto chemin = [&](const std::string& nom) {
    return station::Chemin_dans(station::Chemin_dans(f.Repertoire_travail, "AUTEX"), nom);
  };
  // The file is there, as received (unless its path is too long for the shell: then it need not be).
  const auto clic = [&](const std::string& nom) {
    if (chemin(nom).size() <= autex::LONGUEUR_MAX_CHEMIN) {
      std::filesystem::create_directories(std::filesystem::path(chemin(nom)).parent_path());
      std::ofstream(chemin(nom), std::ios::binary) << nom;
    }
    f.Nom_du_fichier_RX_AUTEX->SetCaption(nom);
    u.st.shell.requests.clear();
    u.st.s().Form36->Memo1->SetText("");
    f.Ouverture_du_fichier_AUTEXClick(nullptr);
  };
  const auto refuse = [&](const std::string& nom) {
    return u.st.shell.requests.empty() &&
           u.st.s().Form36->Memo1->Text() == "The file was received: " + chemin(nom) +
                                                 "\r\nIt is not opened, as a file of this kind could run a program.";
  };
  // Programs, scripts, shortcuts, installers, registry files, and names of no kind: never handed to the shell.
  for (const char* nom : {"S4TEST.bat", "a.cmd", "a.EXE", "a.com", "a.scr", "a.pif", "a.js", "a.vbs", "a.wsf",
                          "a.hta", "a.lnk", "a.msi", "a.reg", "a.ps1", "a.jar", "a.url", "NOTES.TXT.exe", "README",
                          "a.exe:b.txt"}) {
    clic(nom);
    EXPECT_TRUE(refuse(nom)) << nom;
  }
  // Text, pictures, PDF and archives are opened; the system is asked about their kind first. Pages are shown
  // as text in Notepad, never in a browser (which would run their scripts and fetch their addresses).
  for (const char* nom : {"NOTES.TXT", "trace.log", "photo.JPG", "a.jpeg", "a.png", "a.gif", "a.bmp", "a.pdf",
                          "a.htm", "a.HTML", "a.zip"}) {
    u.st.shell.asked.clear();
    clic(nom);
    ASSERT_EQ(u.st.shell.requests.size(), 1u) << nom;
    const bool page = std::string(nom) == "a.htm" || std::string(nom) == "a.HTML";
    EXPECT_EQ(u.st.shell.requests[0].document, page ? "notepad.exe" : chemin(nom));
    EXPECT_EQ(u.st.shell.requests[0].parameters, page ? "\"" + chemin(nom) + "\"" : "") << nom;
    EXPECT_EQ(u.st.shell.asked, std::vector<std::string>{chemin(nom)});
  }
  // A kind that the system counts as dangerous is not opened either.
  u.st.shell.dangerous = true;
  clic("photo.jpg");
  EXPECT_TRUE(refuse("photo.jpg"));
  // A path too long for the shell is not handed to it: the message gives that cause.
  u.st.shell.dangerous = false;
  const std::string repertoire = f.Repertoire_travail;
  f.Repertoire_travail = station::Chemin_dans(repertoire, std::string(250, 'w'));
  clic("photo.jpg");
  EXPECT_TRUE(u.st.shell.requests.empty());
  EXPECT_EQ(u.st.s().Form36->Memo1->Text(),
            "The received file cannot be opened here: its full path has " + std::to_string(chemin("photo.jpg").size()) +
                " characters, more than the 255 that the shell accepts. It is " + chemin("photo.jpg"));
  f.Repertoire_travail = repertoire;
  // In French.
  u.st.s().langues.Langue = 2;
  clic("a.vbs");
  EXPECT_EQ(u.st.s().Form36->Memo1->Text(), "Le fichier a \xE9t\xE9 re\xE7u: " + chemin("a.vbs") +
                                                "\r\nIl n'est pas ouvert, car un fichier de ce genre pourrait lancer "
                                                "un programme.");
}

TEST(BoutonsAutex, ARefusedCallSignChangesNothing) {
  UneStationAutex u("");
  station::FichePrincipale& f = u.f();
  ASSERT_TRUE(DeuxStationsAutex::Clic(f.LANCEMENT_REUNION));
  EXPECT_TRUE(f.FIN_REUNION->Down());
  EXPECT_FALSE(f.LANCEMENT_REUNION->Down());
  EXPECT_EQ(u.a().STATION_MAITRE, 0);
  EXPECT_EQ(u.a().MAITRE_APPELLE, 0);
  EXPECT_EQ(u.bureau.modales.back(), "TForm36");
  u.bureau.Run(2000);
  EXPECT_TRUE(u.ligne->written.empty());  // no call went out
  // A user's slot button with no call sign: the leave button goes back down.
  f.ENTRER_DANS_LA_REUNION_S1->SetEnabled(true);
  ASSERT_TRUE(DeuxStationsAutex::Clic(f.ENTRER_DANS_LA_REUNION_S1));
  EXPECT_TRUE(f.SORTIR_DE_LA_REUNION_S1->Down());
  EXPECT_EQ(u.a().DEMANDE_CONNEXION, 0);
}

TEST(BoutonsAutex, TheCallGoesOutAndEndsWithTheEndButtonWhenNobodyAnswered) {
  UneStationAutex u;
  station::FichePrincipale& f = u.f();
  ASSERT_TRUE(DeuxStationsAutex::Clic(f.LANCEMENT_REUNION));
  EXPECT_EQ(u.a().NUMERO_SLOT, 0);
  u.bureau.Run(3000);
  EXPECT_FALSE(u.ligne->written.empty());
  ASSERT_TRUE(DeuxStationsAutex::Clic(f.FIN_REUNION));
  EXPECT_EQ(u.a().STATION_MAITRE, 0);
  EXPECT_EQ(u.a().MAITRE_APPELLE, 0);
  EXPECT_EQ(f.Etat_liaison->Caption(), "Disconnected");
  EXPECT_EQ(f.Label_Info_AUTEX->Caption(), "Display and control window for the AUTEX modes");
  EXPECT_TRUE(f.LANCEMENT_REUNION->Enabled());
  const size_t ecrit = u.ligne->written.size();
  u.bureau.Run(20000);
  EXPECT_EQ(u.ligne->written.size(), ecrit);  // the call stopped
}

TEST(BoutonsAutex, TheSecondaryChannelFieldIsFilteredAsTyped) {
  UneStationAutex u;
  station::FichePrincipale& f = u.f();
  u.a().INDEX_CANAL = 3;
  testsupport::TypeText(*f.DIVERS, "Ren\xE9 {Paris}");
  EXPECT_EQ(f.DIVERS->Text(), "RENE PARIS");
  EXPECT_EQ(u.a().TEXTE_DIVERS, "RENE PARIS");
  EXPECT_EQ(u.a().INDEX_CANAL, 15);
  EXPECT_EQ(u.a().TEXTE_CANAL, "F4ABC RENE PARIS");
  // A blank being typed stays in the field; what goes out has none at its end.
  f.DIVERS->SetText("JN18 ");
  EXPECT_EQ(f.DIVERS->Text(), "JN18 ");
  EXPECT_EQ(u.a().TEXTE_DIVERS, "JN18");
}

TEST(BoutonsAutex, NoCqOnSlotTwoPreparesTheReservedTextAndKeepsTheOwnFrame) {
  UneStationAutex u;
  station::FichePrincipale& f = u.f();
  u.a().TEXTE_TX[0] = "own";
  u.a().KD3_TX[0] = '0';
  f.AUCUN_CQ_S2->SetDown(true);
  f.AUCUN_CQ_S2Click(nullptr);
  EXPECT_EQ(u.a().RESERVATION_S2, 1);
  EXPECT_FALSE(u.a().TEXTE_RESERVE.empty());
  EXPECT_NE(u.a().TEXTE_RESERVE, "Reser");  // coded (varicode)
  EXPECT_EQ(u.a().TEXTE_TX[0], "own");
  EXPECT_EQ(u.a().KD3_TX[0], '0');
  f.AUCUN_CQ_S2->SetDown(false);
  f.AUCUN_CQ_S2Click(nullptr);
  EXPECT_EQ(u.a().RESERVATION_S2, 0);
}

TEST(DispositionAutex, PanelHeightsStayWithinWhatTheParameterFileKeepsAndAreSaved) {
  // Seven participants, three columns, a panel of 360 pixels.
  UneStationAutex u("F4ABC", {{station::octet::PAS_HAUTEUR_7, 18}});
  station::FichePrincipale& f = u.f();
  u.a().NOMBRE_PARTICIPANTS = 7;
  u.a().GESTION_PRELIMINAIRE_AUTEX();
  EXPECT_EQ(u.a().HAUTEUR_PANNEAU, 360);
  EXPECT_TRUE(f.Sur_3_colonnes_AUTEX->Visible());
  f.Hauteur_du_Panel_AutexUpClick(nullptr);
  EXPECT_EQ(u.a().HAUTEUR_PANNEAU, 340);
  EXPECT_EQ(f.Label_hauteur_Panel_Autex->Caption(), "340");
  f.Hauteur_du_Panel_AutexUpClick(nullptr);
  EXPECT_EQ(u.a().HAUTEUR_PANNEAU, 340);  // the smallest for 7
  for (int i = 0; i < 120; ++i) f.Hauteur_du_Panel_AutexDownClick(nullptr);
  EXPECT_EQ(u.a().HAUTEUR_PANNEAU, 2000);
  EXPECT_EQ(u.a().PAS_HAUTEUR_7, 100);
  f.Sur_3_colonnes_AUTEX->SetDown(true);
  f.Sur_3_colonnes_AUTEXClick(nullptr);
  EXPECT_EQ(u.a().TROIS_COLONNES_7, 1);
  EXPECT_EQ(u.a().TROIS_COLONNES_13, 0);

  // Two participants: 180 at the least (the smallest height the file keeps).
  u.a().NOMBRE_PARTICIPANTS = 2;
  u.a().GESTION_PRELIMINAIRE_AUTEX();
  for (int i = 0; i < 20; ++i) f.Hauteur_du_Panel_AutexUpClick(nullptr);
  EXPECT_EQ(u.a().HAUTEUR_PANNEAU, 180);

  f.QuitClick(nullptr);
  EXPECT_EQ(u.st.Octet_fichier(station::octet::PAS_HAUTEUR_7), 100);
  EXPECT_EQ(u.st.Octet_fichier(station::octet::PAS_HAUTEUR_2), 9);
  EXPECT_EQ(u.st.Octet_fichier(station::octet::TROIS_COLONNES_7), 2);
  EXPECT_EQ(u.st.Octet_fichier(station::octet::TROIS_COLONNES_13), 1);
}

// What was received and sent stays through a language switch, modal windows and mode changes: only the
// user's clear and erase buttons empty the windows. A mode change closes the echo windows' last lines: the
// new mode's texts start on lines of their own.
TEST(DispositionAutex, ReceivedAndSentTextsStayUntilTheUserClearsThem) {
  UneStationAutex u;
  station::FichePrincipale& f = u.f();
  const std::vector<std::pair<gui::TCustomMemo*, std::string>> textes = {
      {f.Memo_Reception_memo, "CQ meeting DE F1AAA"},
      {f.Memo_emission, "73 de F4ABC"},
      {f.Memo_Reception_Master, "Hello from the Master"},
      {f.Memo_Reception_S1, "Hello from S1"}};
  for (const auto& [memo, texte] : textes) memo->SetText(texte);
  u.a().TEXTE_FENETRE[0] = "Hello from the Master";
  f.Francais1Click(nullptr);
  f.AproposdeClick(nullptr);
  f.ModificationsClick(nullptr);
  f.English1Click(nullptr);
  f.AproposdeClick(nullptr);
  f.ASCIIClick(nullptr);
  f.AUTEXClick(nullptr);
  f.AproposdeClick(nullptr);
  EXPECT_EQ(u.bureau.modales.size(), 4u);
  for (const auto& [memo, texte] : textes) {
    const bool echo = memo == f.Memo_Reception_memo || memo == f.Memo_emission;
    EXPECT_EQ(memo->Text(), echo ? texte + "\r\n" : texte) << memo->Name();
  }
  f.AUTEXClick(nullptr);  // no change of mode: nothing added
  EXPECT_EQ(f.Memo_emission->Text(), "73 de F4ABC\r\n");
  EXPECT_EQ(u.a().TEXTE_FENETRE[0], "Hello from the Master");
  f.Efface_toutes_les_fenetres_M_et_SxClick(nullptr);
  EXPECT_EQ(f.Memo_Reception_Master->Text(), "");
  EXPECT_EQ(f.Memo_Reception_S1->Text(), "");
  f.Clear_RX_textClick(nullptr);
  EXPECT_EQ(f.Memo_Reception_memo->Text(), "");
}

TEST(DispositionAutex, TheSettingsOfTheParameterFileReachTheAutexSide) {
  UneStationAutex u("F4ABC", {{station::octet::ENVOI_SUR_CR, 2},
                              {station::octet::TRANSCEIVER, 2},
                              {station::octet::PAS_HAUTEUR_2, 20},
                              {station::octet::TROIS_COLONNES_13, 2}});
  autex::Autex& a = u.a();
  EXPECT_EQ(a.NOMBRE_PARTICIPANTS, 2);
  EXPECT_EQ(a.ENVOI_SUR_CR, 1);
  EXPECT_EQ(a.Nom_transceiver, "DRF1278DM");
  EXPECT_EQ(a.PAS_HAUTEUR_2, 20);
  EXPECT_EQ(a.HAUTEUR_PANNEAU, 400);
  EXPECT_EQ(u.f().Label_hauteur_Panel_Autex->Caption(), "400");
  EXPECT_EQ(a.TROIS_COLONNES_13, 1);
  // The link's time-outs follow the module: the 1200 values at every speed.
  a.Vitesse_AUTEX = 171;
  a.INITIALISATION_PARAMETRES_RX_AUTEX();
  EXPECT_EQ(a.DELAI_REPONSE, 3500u);
  u.f().Autre_transceiverClick(nullptr);
  EXPECT_EQ(a.Nom_transceiver, "");
  a.INITIALISATION_PARAMETRES_RX_AUTEX();
  EXPECT_EQ(a.DELAI_REPONSE, 10000u);
  // The send-on-CR box reaches both.
  u.f().Envoi_texte_sur_CR->SetChecked(false);
  u.f().Envoi_texte_sur_CRClick(nullptr);
  EXPECT_EQ(a.ENVOI_SUR_CR, 0);
  // The module's rates the AUTEX side reckons with: another transceiver radiates as the writer counts (120
  // bytes a second at 1200 bauds); the DRF1278DM as its spreading factor and bandwidth give (91.6 at the
  // program's 1024 chips and 125 kHz), at either line speed.
  autex::HoteAutex& hote = u.f().hote_autex();
  EXPECT_EQ(hote.Debit_ecriture_module(), 120.0);
  EXPECT_EQ(hote.Debit_air_module(), 120.0);
  u.f().DRF1278DMClick(nullptr);
  EXPECT_NEAR(hote.Debit_air_module(), 91.64, 0.01);
  u.f().io().materiel.Vitesse_port = 9600;
  EXPECT_EQ(hote.Debit_ecriture_module(), 360.0);
  EXPECT_NEAR(hote.Debit_air_module(), 91.64, 0.01);
}

TEST(DispositionAutex, EnteringAutexModeSetsTheSessionButtonsAndTheSecondaryChannel) {
  Bureau bureau;
  StationTest st(bureau);
  st.ports.add(1);
  st.dir.write("CONF_COM.SER", Image_avec({{252, 1}}));
  st.dir.write("CONFSTRINGS_COM.TXT", "\r\nf4xyz\r\nnice\r\n\r\n\r\n");
  st.Demarre();
  st.Montre();
  station::FichePrincipale& f = st.f();
  ASSERT_TRUE(f.ASCII->Down());
  f.AUTEX->SetDown(true);
  f.AUTEXClick(nullptr);
  autex::Autex& a = *st.s().autex;
  EXPECT_TRUE(f.LANCEMENT_REUNION->Enabled());
  EXPECT_FALSE(f.FIN_REUNION->Enabled());
  EXPECT_FALSE(f.ENTRER_DANS_LA_REUNION_S1->Enabled());
  EXPECT_TRUE(f.Partipants_Autex_2->Down());
  EXPECT_EQ(f.Edit_INDICATIF->Text(), "F4XYZ");
  EXPECT_EQ(a.TEXTE_CANAL, "F4XYZ NICE");
  EXPECT_EQ(f.ClientWidth(), 3 * station::LARGEUR_PANNEAU_AUTEX);
  EXPECT_EQ(f.ClientHeight(), f.Panel_AUTEX->Top() + f.Panel_AUTEX->Height());
  EXPECT_TRUE(f.Panel_AUTEX_SMS->Visible());
  EXPECT_EQ(f.Panel_AUTEX_SMS->Left(), 2 * station::LARGEUR_PANNEAU_AUTEX);
}

}  // namespace

// The radio link goes away in the middle of a file (both stations' ports fail): within a second both show the
// loss in their status line and AUTEX information line, the file ends with the error word on both sides, the
// link is over, and what was typed and received stays. Once the port is chosen again, a new link carries a
// new message.
TEST(LiaisonAutex, ALostPortEndsTheFileWithItsErrorAndChoosingThePortAgainBringsTheLinkBack) {
  if (!RECEPTION_SMS_FICHIERS) GTEST_SKIP() << "waits for the reception of short messages and files";
  DeuxStationsAutex d;
  d.Liaison();
  if (testing::Test::HasFatalFailure()) return;
  DeuxStationsAutex::Envoie(d.A(), "Hello B\r\n");
  ASSERT_TRUE(d.Jusqu_a([&] { return Contient(d.B().Memo_Reception_Master->Text(), "Hello B"); }, 60000));
  std::string fichier;
  for (uint32_t x = 1; fichier.size() < 6000; x = x * 1103515245u + 12345u) fichier.push_back(char(x >> 24));
  d.a.dir.write("noise.bin", fichier);
  station::FichePrincipale& a = d.A();
  a.Nom_fichier_TX = "noise.bin";
  a.Chemin_fichier_TX = (d.a.dir.path() / "noise.bin").string();
  ASSERT_TRUE(DeuxStationsAutex::Clic(a.TRANSMISSION_FICHIER_AUTEX));
  // Under way on both sides: B receives it, A's window of its own text follows it.
  ASSERT_TRUE(d.Jusqu_a([&] { return Contient(d.B().Memo_Reception_Master->Text(), "%") &&
                                     Contient(d.A().Memo_Reception_Master->Text(), "%"); }, 120000))
      << d.B().Memo_Reception_Master->Text();
  d.A().Memo_editeur->SetText("typed while the port goes");
  d.B().Memo_editeur->SetText("B typed this");
  const std::string recu_b = d.B().Memo_Reception_Master->Text();

  d.la->statusFails = d.la->writeFails = true;
  d.lb->statusFails = d.lb->writeFails = true;
  d.Run(1000);
  for (station::FichePrincipale* f : {&d.A(), &d.B()}) {
    EXPECT_EQ(f->Label_Info->Caption().rfind("Loss of the serial port COM", 0), 0u) << f->Label_Info->Caption();
    EXPECT_EQ(f->Label_Info_AUTEX->Caption(), "Radio link lost: the serial port or the module does not answer");
    EXPECT_EQ(f->Etat_liaison->Caption(), "Disconnected");
  }
  EXPECT_EQ(d.AA().SESSION_EN_COURS, 0);
  EXPECT_EQ(d.AB().SESSION_EN_COURS, 0);
  const std::string fin_b = d.B().Memo_Reception_Master->Text();
  EXPECT_EQ(fin_b.rfind(recu_b, 0), 0u);  // what was received stays
  EXPECT_TRUE(Contient(fin_b.substr(recu_b.size()), "...error")) << fin_b;
  EXPECT_TRUE(Contient(d.A().Memo_Reception_Master->Text(), "...error")) << d.A().Memo_Reception_Master->Text();
  EXPECT_EQ(d.A().Memo_editeur->Text(), "typed while the port goes");
  EXPECT_EQ(d.B().Memo_editeur->Text(), "B typed this");
  EXPECT_TRUE(d.AA().TEXTE_A_EMETTRE.empty());
  // Still lost a while later: nothing overwrites the loss.
  d.Run(20000);
  EXPECT_EQ(d.A().Label_Info_AUTEX->Caption(), "Radio link lost: the serial port or the module does not answer");

  // The port chosen again: a new link, a new message.
  d.la->statusFails = d.la->writeFails = false;
  d.lb->statusFails = d.lb->writeFails = false;
  d.A().COM_GPSClick(nullptr, 1);
  d.B().COM_GPSClick(nullptr, 2);
  EXPECT_EQ(d.A().Label_Info->Caption(), "Success opening the serial port at 1200 bauds");
  d.Liaison();
  if (testing::Test::HasFatalFailure()) return;
  DeuxStationsAutex::Envoie(d.A(), "Back again\r\n");
  ASSERT_TRUE(d.Jusqu_a([&] { return Contient(d.B().Memo_Reception_Master->Text(), "Back again"); }, 60000));
  EXPECT_EQ(d.B().Memo_Reception_Master->Text().rfind(recu_b, 0), 0u);
  EXPECT_EQ(d.B().Memo_editeur->Text(), "B typed this");
}

// The AUTEX side names the main window's controls (autex/vue_autex.h): each name is the control of that name
// on the window, per participant and per slot included.
TEST(VueAutex, EachElementIsTheWindowsControlOfThatName) {
  using enum autex::NomElement;
  testsupport::Owned<forms::TForm1> f(new forms::TForm1(nullptr));
  f->AfterConstruction();
  EXPECT_EQ(&station::Controle_fenetre(*f, Fiche_principale), static_cast<gui::TControl*>(f.p));
  const struct {
    autex::Element e;
    const char* nom;
  } cas[] = {
      {Etat_liaison, "Etat_liaison"},
      {Label_Info_AUTEX, "Label_Info_AUTEX"},
      {Indique_TX_AUTEX, "Indique_TX_AUTEX"},
      {Nom_du_fichier_RX_AUTEX, "Nom_du_fichier_RX_AUTEX"},
      {Label_hauteur_Panel_Autex, "Label_hauteur_Panel_Autex"},
      {Edit_INDICATIF, "Edit_INDICATIF"},
      {DIVERS, "DIVERS"},
      {GroupBox_Parameters, "GroupBox_Parameters"},
      {Partipants_Autex_2, "Partipants_Autex_2"},
      {Partipants_Autex_4, "Partipants_Autex_4"},
      {Partipants_Autex_7, "Partipants_Autex_7"},
      {Partipants_Autex_13, "Partipants_Autex_13"},
      {Sur_3_colonnes_AUTEX, "Sur_3_colonnes_AUTEX"},
      {LANCEMENT_REUNION, "LANCEMENT_REUNION"},
      {FIN_REUNION, "FIN_REUNION"},
      {AUCUN_CQ_S2, "AUCUN_CQ_S2"},
      {Panel_AUTEX, "Panel_AUTEX"},
      {Panel_Master, "Panel_Master"},
      {Panel_Entete, "Panel_Entete"},
      {Panel_AUTEX_SMS, "Panel_AUTEX_SMS"},
      {Panel_Etat_utilisateurs, "Panel_Etat_utilisateurs"},
      {RichEdit_SMS, "RichEdit_SMS"},
      {{Panel_participant, 0}, "Panel_Master"},
      {{Panel_participant, 12}, "Panel_S12"},
      {{Panel_inner, 0}, "Panel0"},
      {{Panel_inner, 5}, "Panel5"},
      {{Memo_Reception, 0}, "Memo_Reception_Master"},
      {{Memo_Reception, 7}, "Memo_Reception_S7"},
      {{Secondary_channel, 0}, "Secondary_channel_MASTER"},
      {{Secondary_channel, 3}, "Secondary_channel_S3"},
      {{Label_Utilisateur, 4}, "Label_Utilisateur4"},
      {{Label_CQ, 1}, "Label_CQ_S1"},
      {{ENTRER_DANS_LA_REUNION, 9}, "ENTRER_DANS_LA_REUNION_S9"},
      {{SORTIR_DE_LA_REUNION, 12}, "SORTIR_DE_LA_REUNION_S12"},
      {{Indicatif, 2}, "Indicatif_S2"},
      {{Nombre_de_repetitions, 11}, "Nombre_de_repetitions_S11"},
      {Memo_editeur, "Memo_editeur"},
      {Memo_emission, "Memo_emission"},
      {Memo_Reception_memo, "Memo_Reception_memo"},
      {Efface_toutes_les_fenetres_M_et_Sx, "Efface_toutes_les_fenetres_M_et_Sx"},
      {Options_AUTEX, "Options_AUTEX"},
      {Sauve_toutes_les_fenetres_M_et_Sx, "Sauve_toutes_les_fenetres_M_et_Sx"},
      {Hauteur_du_Panel_Autex, "Hauteur_du_Panel_Autex"},
      {Label_canal_secondaire, "Label_canal_secondaire"},
      {Label_canal_secondaire2, "Label_canal_secondaire2"},
      {Label_Indicatif, "Label_Indicatif"},
      {Label_divers2, "Label_divers2"},
      {Label_Panneau_Utilisateurs, "Label_Panneau_Utilisateurs"},
      {Label_Master, "Label_Master"},
      {ARRET_TRANSMISSION_AUTEX, "ARRET_TRANSMISSION_AUTEX"},
      {Envoi_texte_sur_CR, "Envoi_texte_sur_CR"},
      {Compression_du_fichier_transmis, "Compression_du_fichier_transmis"},
      {ENVOI_MESSAGE_ARQ, "ENVOI_MESSAGE_ARQ"},
      {Label_TX_FICHIER, "Label_TX_FICHIER"},
      {Label_RX_FICHIER, "Label_RX_FICHIER"},
      {Fichier_TX_AUTEX, "Fichier_TX_AUTEX"},
      {TRANSMISSION_FICHIER_AUTEX, "TRANSMISSION_FICHIER_AUTEX"},
      {Ouverture_du_fichier_AUTEX, "Ouverture_du_fichier_AUTEX"},
  };
  for (const auto& c : cas) EXPECT_EQ(station::Controle_fenetre(*f, c.e).Name(), c.nom) << c.nom;
}

// The simulation's view of the window (tests/autex_sim/vue_test.h) starts as the window's definition has what the
// AUTEX side reads, and its buttons go down and up in their groups as the window's speed buttons do.
TEST(VueAutex, TheSimulationsViewStartsAndGroupsItsButtonsAsTheWindow) {
  using enum autex::NomElement;
  testsupport::Owned<forms::TForm1> f(new forms::TForm1(nullptr));
  f->AfterConstruction();
  autexsim::VueMuette vue;
  const auto fenetre = [&](const autex::Element& e) -> gui::TControl& { return station::Controle_fenetre(*f, e); };
  std::vector<autex::Element> panneaux = {Panel_AUTEX, Panel_AUTEX_SMS, Panel_Entete, RichEdit_SMS, Panel_Master};
  for (int k = 0; k <= 12; ++k)
    for (const auto n : {Panel_participant, Panel_inner, Memo_Reception}) panneaux.emplace_back(n, k);
  for (const auto& e : panneaux) EXPECT_EQ(vue.Limites(e), fenetre(e).BoundsRect()) << fenetre(e).Name();
  for (int n = 1; n <= 12; ++n)
    for (const auto nom : {Label_Utilisateur, Nombre_de_repetitions}) {
      const autex::Element e{nom, n};
      EXPECT_EQ(vue.Texte(e), fenetre(e).Caption()) << fenetre(e).Name();
    }
  // The same presses on both, then every button of the groups compared.
  std::vector<autex::Element> boutons = {LANCEMENT_REUNION,  FIN_REUNION,         Partipants_Autex_2,
                                         Partipants_Autex_4, Partipants_Autex_7, Partipants_Autex_13,
                                         Sur_3_colonnes_AUTEX, AUCUN_CQ_S2};
  for (int n = 1; n <= 12; ++n) {
    boutons.emplace_back(ENTRER_DANS_LA_REUNION, n);
    boutons.emplace_back(SORTIR_DE_LA_REUNION, n);
  }
  const auto compare = [&](const std::string& apres) {
    for (const auto& b : boutons)
      EXPECT_EQ(vue.Enfonce(b), dynamic_cast<gui::TSpeedButton&>(fenetre(b)).Down()) << fenetre(b).Name() << apres;
  };
  compare(" at the start");
  const struct {
    autex::Element e;
    bool bas;
  } appuis[] = {{LANCEMENT_REUNION, true},  {LANCEMENT_REUNION, false}, {FIN_REUNION, true},
                {{ENTRER_DANS_LA_REUNION, 3}, true}, {{ENTRER_DANS_LA_REUNION, 3}, false},
                {{SORTIR_DE_LA_REUNION, 3}, true}, {Partipants_Autex_7, true},  {Partipants_Autex_7, false},
                {Partipants_Autex_13, true}, {Sur_3_colonnes_AUTEX, true}, {Sur_3_colonnes_AUTEX, false},
                {AUCUN_CQ_S2, true}};
  for (const auto& a : appuis) {
    vue.Fixe_enfonce(a.e, a.bas);
    dynamic_cast<gui::TSpeedButton&>(fenetre(a.e)).SetDown(a.bas);
    compare(" after " + fenetre(a.e).Name() + (a.bas ? " down" : " up"));
  }
}

// A received and an own short message written on the backgrounds of the skins' edits (the window's background
// and text colour as the skinning library sets them): both read on each background (4.5:1 at least), the own
// one stays bluish and apart from the received one, and what was written before a change of background (a skin
// switched while the station runs) is shown again in colours that read on the new one.
TEST(EnvoiAutex, ShortMessagesReadOnTheWindowsBackgroundInForceAndFollowItsChanges) {
  UneStationAutex u;
  station::FichePrincipale& f = u.f();
  autex::Autex& a = u.a();
  gui::TRichEdit& r = *f.RichEdit_SMS;
  const struct {
    platform::TColor fond, police;
  } fonds[] = {{platform::clWindow, platform::clWindowText},
               {0x221C1E, 0xF2E9ED},   // charcoal, light text
               {0x2B1A10, 0xF0E6DC},   // deep blue, light text
               {0x808080, 0x000000},   // mid grey, black text
               {0xF4F7F8, 0x202020}};  // near white, dark text
  a.NOMS_EMETTEURS[1] = "F1AAA";
  a.NOMS_EMETTEURS[2] = "F4ABC";
  a.EMETTEUR_PROPRE[1] = 0;
  a.EMETTEUR_PROPRE[2] = 1;
  // The four stretches (name in bold, then text, for each sender) as they read on the background in force.
  const auto verifie = [&](platform::TColor fond_montre) {
    const platform::TColor fond = platform::ColorToRGB(fond_montre);
    SCOPED_TRACE("shown on " + std::to_string(fond));
    const auto runs = r.Runs();
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].Color, runs[1].Color);
    EXPECT_EQ(runs[2].Color, runs[3].Color);
    const platform::TColor recu = runs[1].Color, propre = runs[3].Color;
    EXPECT_GE(platform::ContrastRatio(recu, fond), platform::MinTextContrast);
    EXPECT_GE(platform::ContrastRatio(propre, fond), platform::MinTextContrast);
    EXPECT_NE(propre, recu);
    EXPECT_GT((propre >> 16) & 0xFF, propre & 0xFF) << "the own text keeps its blue";
  };
  for (const auto& ecrit : fonds) {
    SCOPED_TRACE("written on " + std::to_string(ecrit.fond));
    f.Clear_fenetre_SMSClick(nullptr);
    r.SetColor(ecrit.fond);
    r.Font().SetColor(ecrit.police);
    a.EN_TETE_SMS(1);
    a.AJOUTE_TEXTE_SMS(1, ": QSL 73\r\n\r\n");
    a.EN_TETE_SMS(2);
    a.AJOUTE_TEXTE_SMS(2, ": TNX\r\n\r\n");
    verifie(ecrit.fond);
    for (const auto& montre : fonds) {
      r.SetColor(montre.fond);
      r.Font().SetColor(montre.police);
      verifie(montre.fond);
    }
  }
  // On the system's window colour the texts keep their meant colours.
  f.Clear_fenetre_SMSClick(nullptr);
  r.SetColor(platform::clWindow);
  r.Font().SetColor(platform::clWindowText);
  a.EN_TETE_SMS(2);
  a.EN_TETE_SMS(1);
  const auto runs = r.Runs();
  ASSERT_EQ(runs.size(), 4u);  // each header: the name in bold, the time
  EXPECT_EQ(runs[1].Color, platform::clBlue);
  EXPECT_EQ(runs[3].Color, platform::clBlack);
}
