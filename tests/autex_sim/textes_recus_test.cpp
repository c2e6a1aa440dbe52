// What a station keeps of what it receives: the reception windows, short messages in the short-message window,
// files stored in the AUTEX directory (framed texts cut anywhere, unsafe names, corrupt data), the panel grid,
// the saved texts and the captions of the AUTEX window; and a 65,000-byte file over the simulated air.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>

#include "autex/fonctions_fichiers.h"
#include "autex/textes_encadres.h"
#include "tests/autex_sim/outils_test.h"
#include "tests/support/temp_dir.h"

using namespace autexsim;
using enum autex::NomElement;
namespace fs = std::filesystem;

namespace {

const std::string CRLF = "\r\n";

std::string octets(std::initializer_list<int> v) {
  std::string s;
  for (const int b : v) s.push_back(char(b));
  return s;
}

// A working directory for the stations of one test. Storing a file sets the process's current directory back
// to the station's working directory: the test's own is restored before the directory goes.
struct Travail {
  testsupport::TempDir dir;
  fs::path ancien = fs::current_path();
  ~Travail() {
    std::error_code ec;
    fs::current_path(ancien, ec);
  }
  std::string chemin() const { return dir.path().string(); }
  fs::path autex() const { return dir.path() / "AUTEX"; }
  // The files of the AUTEX directory: name -> content.
  std::map<std::string, std::string> fichiers() const {
    std::map<std::string, std::string> r;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(autex(), ec)) r[e.path().filename().string()] = dir.read("AUTEX/" + e.path().filename().string());
    return r;
  }
  // Every entry under the working directory, relative to it.
  std::vector<std::string> arbre() const {
    std::vector<std::string> r;
    for (const auto& e : fs::recursive_directory_iterator(dir.path()))
      r.push_back(fs::relative(e.path(), dir.path()).generic_string());
    std::sort(r.begin(), r.end());
    return r;
  }
  void vide_autex() const {
    std::error_code ec;
    fs::remove_all(autex(), ec);
  }
};

// A station off the air whose received texts the test hands over directly, as the receive path does.
struct Poste {
  Simulation sim{1};
  Station& s;
  autex::Autex& a;
  explicit Poste(const Travail& t, const std::string& indicatif = "F2BBB") : s(sim.ajoute_station(indicatif)), a(s.autex) {
    s.module.hors_antenne = true;
    s.repertoire = t.chemin();
    // A link user connected to F1AAA.
    a.STATION_MAITRE = 0;
    a.NUMERO_SLOT = 1;
    a.INDICATIF_MAITRE = "F1AAA";
    a.INDICATIF_CONNEXION = indicatif;
  }
  // Shows the text in participant k's window in chunks of the given sizes (the rest in one chunk).
  void recoit(int k, const std::string& texte, const std::vector<size_t>& morceaux = {}) {
    size_t p = 0;
    for (const size_t n : morceaux) {
      if (p >= texte.size()) break;
      a.AFFICHE_MESSAGE_SLOT(k, texte.substr(p, n));
      p += n;
    }
    if (p < texte.size()) a.AFFICHE_MESSAGE_SLOT(k, texte.substr(p));
  }
  const std::string& fenetre(int k) const { return a.TEXTE_FENETRE[size_t(k)]; }
  std::string sms() const { return s.Texte(RichEdit_SMS); }
  // The short-message window as runs: "*" marks bold, "~" blue.
  std::string sms_styles() const {
    std::string r;
    for (const auto& run : s.sms)
      r += std::string(run.Gras ? "*" : "") + (run.Color == platform::clBlue ? "~" : "") + run.Text + "|";
    return r;
  }
  std::string fichier_rx() const { return s.Texte(Nom_du_fichier_RX_AUTEX); }
  std::string info() const { return s.Texte(Label_Info_AUTEX); }
  void remise_a_zero() {
    a.EFFACE_FENETRES_M_ET_SX();
    a.RAZ_RECEPTION_FICHIERS();
    s.Fixe_texte(RichEdit_SMS, "");
    s.Fixe_texte(Nom_du_fichier_RX_AUTEX, "");
    s.Fixe_texte(Label_Info_AUTEX, "");
  }
};

std::string TRAME_FICHIER(const std::string& indicatif, const std::string& nom, const std::string& donnees,
                          bool compression = false) {
  std::string trame;
  bool compresse = false;
  EXPECT_TRUE(autex::TRAME_FICHIER_AUTEX(indicatif, nom, donnees, compression, trame, compresse));
  EXPECT_EQ(compresse, compression);
  return trame;
}

// The reception window without its progress marks ("...42% "), which follow the chunks.
std::string SANS_PROGRESSION(const std::string& t) {
  static const std::regex marque(R"(\.\.\.[0-9]+% )");
  return std::regex_replace(t, marque, "");
}

// Bytes of every value, 3s among them, in a fixed pseudo-random order.
std::string DONNEES_ALEATOIRES(size_t n, uint64_t graine) {
  Alea alea(graine);
  std::string d(n, '\0');
  for (size_t i = 0; i < n; ++i) d[i] = char(i < 256 ? i : alea.suivant() & 0xFF);
  for (size_t i = 0; i + 1 < n; i += 2) std::swap(d[i], d[size_t(alea.suivant() % n)]);
  return d;
}

// Compressible data holding every byte value, runs of 3s included.
std::string DONNEES_TEXTE(size_t n) {
  std::string d;
  for (int b = 0; b < 256; ++b) d.push_back(char(b));
  d += octets({3, 3, 3, 0, 1, 3, 0, 3, 5, 3, 4, 3, 6});
  for (int i = 0; d.size() < n; ++i) d += "line " + std::to_string(i % 97) + " of the log\r\n";
  d.resize(n);
  return d;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Reception windows and short messages
// ---------------------------------------------------------------------------------------------------------

TEST(TextesRecus, LineEndsAndControlCharactersInTheWindow) {
  Travail t;
  Poste p(t);
  p.recoit(0, "abc\r");
  EXPECT_EQ(p.fenetre(0), "abc\r\n");
  p.recoit(0, "\ndef");
  EXPECT_EQ(p.fenetre(0), "abc\r\ndef");
  p.recoit(0, octets({'x', 2, 'y', 7, 9, 'z', 0x1F}));
  EXPECT_EQ(p.fenetre(0), "abc\r\ndefxyz");
  EXPECT_EQ(p.s.Texte({Memo_Reception, 0}), "abc\r\ndefxyz");
  EXPECT_EQ(p.fenetre(1), "");
  // The priority is raised while a text is shown and set back after.
  ASSERT_GE(p.s.priorite.calls.size(), 2u);
  EXPECT_EQ(p.s.priorite.calls[p.s.priorite.calls.size() - 2], platform::kRealtimePriorityClass);
  EXPECT_EQ(p.s.priorite.calls.back(), platform::kNormalPriorityClass);
}

TEST(TextesRecus, AShortMessageSplitAcrossChunksGoesToTheShortMessageWindow) {
  Travail t;
  Poste p(t);
  const std::string heure = p.a.HEURE_LOCALE();
  p.recoit(0, octets({3, 1}) + "Hel");
  EXPECT_EQ(p.sms(), "");
  p.recoit(0, "lo there" + octets({3, 0}));
  EXPECT_EQ(p.fenetre(0), "Hello there\r\n");
  EXPECT_EQ(p.sms_styles(), "*F1AAA| (" + heure + "): Hello there\r\n\r\n|");
  // The station's own message (a link user's slot 1) carries its own call sign, in blue.
  p.recoit(1, autex::TRAME_MESSAGE_AUTEX("mine"));
  EXPECT_EQ(p.fenetre(1), "mine\r\n");
  EXPECT_EQ(p.sms_styles(), "*F1AAA| (" + heure + "): Hello there\r\n\r\n|*~F2BBB|~ (" + heure + "): mine\r\n\r\n|");
  // The sequence start split from its code, and the end split from its 3.
  p.recoit(0, octets({3}));
  p.recoit(0, octets({1}) + "ab" + octets({3}));
  p.recoit(0, octets({0}));
  EXPECT_EQ(p.fenetre(0), "Hello there\r\nab\r\n");
  EXPECT_NE(p.sms().find("): ab\r\n\r\n"), std::string::npos);
}

TEST(TextesRecus, SenderNames) {
  Travail t;
  Poste p(t);
  auto& a = p.a;
  // Meeting user in slot 2.
  a.NOMBRE_PARTICIPANTS = 4;
  a.NUMERO_SLOT = 2;
  a.CHOIX_NOM_EMETTEUR(0);
  EXPECT_EQ(a.NOMS_EMETTEURS[0], "F1AAA");
  EXPECT_EQ(a.EMETTEUR_PROPRE[0], 0);
  a.CHOIX_NOM_EMETTEUR(2);
  EXPECT_EQ(a.NOMS_EMETTEURS[2], "F2BBB");
  EXPECT_EQ(a.EMETTEUR_PROPRE[2], 1);
  const struct {
    const char* canal;
    const char* nom;
  } cas[] = {{"F5XYZ Paris JN18", "F5XYZ"}, {"", "S3"}, {" F5XYZ", "S3"}, {"AB cd", "S3"}, {"ABC", "ABC"},
             {"F5XYZABCDEFGHIJKLMN", "F5XYZABCDEFGHI"}};
  for (const auto& c : cas) {
    p.s.Fixe_texte({Secondary_channel, 3}, c.canal);
    a.CHOIX_NOM_EMETTEUR(3);
    EXPECT_EQ(a.NOMS_EMETTEURS[3], c.nom) << c.canal;
    EXPECT_EQ(a.EMETTEUR_PROPRE[3], 0);
  }
  // Meeting Master.
  a.STATION_MAITRE = 1;
  a.NUMERO_SLOT = 0;
  a.INDICATIF_PROPRE = "F1AAA";
  a.INDICATIFS_CORRESPONDANTS[3] = "F6CCC";
  a.CHOIX_NOM_EMETTEUR(0);
  EXPECT_EQ(a.NOMS_EMETTEURS[0], "F1AAA");
  EXPECT_EQ(a.EMETTEUR_PROPRE[0], 1);
  a.CHOIX_NOM_EMETTEUR(3);
  EXPECT_EQ(a.NOMS_EMETTEURS[3], "F6CCC");
  // Link Master: the correspondent.
  a.NOMBRE_PARTICIPANTS = 2;
  a.INDICATIFS_CORRESPONDANTS[0] = "F2BBB";
  a.CHOIX_NOM_EMETTEUR(1);
  EXPECT_EQ(a.NOMS_EMETTEURS[1], "F2BBB");
  EXPECT_EQ(a.EMETTEUR_PROPRE[1], 0);
}

TEST(TextesRecus, CallSignsAsReceivedShowOnOneLine) {
  // Call signs holding control characters (the link works all the same): the captions, the information line
  // and the short-message headers show each of them as "?".
  Simulation sim(31);
  auto& m = sim.ajoute_station("F1\r\nAA", 1200, 4);
  auto& u = sim.ajoute_station("F2\aBB", 1200, 4);
  u.autex.TRACE_ACTIVE = 1;
  m.Lance_reunion();
  ASSERT_TRUE(sim.avance_jusqu_a([&] { return u.Texte({Label_CQ, 1}) == "CQ de F1??AA"; }, 20000));
  u.Entre(1);
  ASSERT_TRUE(sim.avance_jusqu_a([&] { return m.Texte({Indicatif, 1}) == "F2?BB" && u.connectee(); }, 60000));
  // The Master's offers, and its answer to the user's request, in the user's echo window, each on its line.
  EXPECT_NE(u.recu.find("S1: CQ meeting DE F1??AA\r"), std::string::npos) << u.recu;
  EXPECT_NE(u.recu.find("S1: F1??AA < F2?BB\r"), std::string::npos) << u.recu;
  EXPECT_EQ(u.recu.find("F1\r\nAA"), std::string::npos) << u.recu;
  m.Envoie("hi");
  ASSERT_TRUE(sim.avance_jusqu_a([&] { return u.Texte(RichEdit_SMS).starts_with("F1??AA ("); }, 60000));
  u.module.hors_antenne = true;
  EXPECT_TRUE(sim.avance_jusqu_a([&] { return m.a_vu("Disconnection of F2?BB (too much difficult QSO)"); }, 300000));
  // On a link, the user's own request in its S1 window and in its echo window, the CQ in its echo window, and
  // the request in the Master's S1 window and echo window; every trace line on one line. On the air each goes
  // as it was made, or the Master would not know its call sign in the request.
  Simulation lien(32);
  auto& ml = lien.ajoute_station("F1\r\nAA", 1200);
  auto& ul = lien.ajoute_station("F2\r\nBB", 1200);
  ul.autex.TRACE_ACTIVE = 1;
  ml.Lance_reunion();
  ASSERT_TRUE(lien.avance_jusqu_a([&] { return ul.cq_recu(); }, 20000));
  EXPECT_EQ(ul.recu, "CQ meeting DE F1??AA\r");
  ul.Entre(1);
  ASSERT_TRUE(lien.avance_jusqu_a([&] { return ml.connectee() && ul.connectee(); }, 60000));
  EXPECT_EQ(ul.Texte({Memo_Reception, 1}) + ul.Texte(Memo_emission), "F1??AA < F2??BB\r\nF1??AA < F2??BB\r\n");
  EXPECT_EQ(ml.Texte({Memo_Reception, 1}), "F1??AA < F2??BB\r\n");
  EXPECT_EQ(ml.recu, "F1??AA < F2??BB\r");
  EXPECT_EQ(ml.Texte({Indicatif, 1}), "F2??BB");
  for (const Station* st : {&u, &ul}) {
    const std::string& trace = st->autex.TRACE_AUTEX;
    EXPECT_NE(trace.find("F1??AA"), std::string::npos);
    EXPECT_FALSE(std::regex_search(trace, std::regex("\r[^\n]|[^\r]\n|\r$"))) << trace;
  }
}

// ---------------------------------------------------------------------------------------------------------
// Files
// ---------------------------------------------------------------------------------------------------------

TEST(FichiersRecus, ProgressThenCompletionAndStorage) {
  Travail t;
  Poste p(t);
  // N = 1000: the call sign, the name and the data with the end sequence.
  const std::string nom = "NOTES.TXT";
  const std::string donnees(1000 - (5 + 1 + nom.size() + 1 + 2), 'n');
  const std::string trame = TRAME_FICHIER("F1AAA", nom, donnees);
  ASSERT_EQ(autex::Trois_octets_vers_entier(trame.substr(2, 3)), 1000);
  p.recoit(0, trame.substr(0, 105));
  EXPECT_EQ(p.fenetre(0), "File transmission:  1000 bytes...10% ");
  p.recoit(0, trame.substr(105, 500));
  EXPECT_EQ(p.fenetre(0), "File transmission:  1000 bytes...10% ...60% ");
  EXPECT_TRUE(p.fichier_rx().empty());
  p.recoit(0, trame.substr(605));
  EXPECT_EQ(p.fenetre(0), "File transmission:  1000 bytes...10% ...60% ...completed\r\n");
  EXPECT_EQ(p.fichier_rx(), nom);
  EXPECT_EQ(t.fichiers(), (std::map<std::string, std::string>{{nom, donnees}}));
  EXPECT_EQ(p.sms_styles(), "*F1AAA| (" + p.a.HEURE_LOCALE() + "): File of F1AAA \"NOTES.TXT\" (" +
                                std::to_string(donnees.size()) + " bytes)\r\n\r\n|");
  // The same name again: stored beside the first under a free name, which both windows show.
  p.recoit(0, TRAME_FICHIER("F1AAA", nom, "second"));
  EXPECT_EQ(p.fichier_rx(), "NOTES00000.TXT");
  EXPECT_TRUE(p.sms().ends_with(": File of F1AAA \"NOTES.TXT\" (6 bytes) stored as \"NOTES00000.TXT\"\r\n\r\n"));
  EXPECT_EQ(t.fichiers().at("NOTES00000.TXT"), "second");
  EXPECT_EQ(t.fichiers().at(nom), donnees);
  // One byte, from a call sign left empty.
  p.recoit(0, TRAME_FICHIER("", "nocall.txt", "1"));
  EXPECT_TRUE(p.sms().ends_with(": File \"nocall.txt\" (1 byte)\r\n\r\n")) << p.sms();
  // In French.
  p.s.langues.Langue = 2;
  p.recoit(0, TRAME_FICHIER("F1AAA", "X.BIN", "xyz"));
  EXPECT_NE(p.fenetre(0).find("Transmission d'un fichier:  17 octets...termin\xE9\r\n"), std::string::npos);
  EXPECT_NE(p.sms().find(": Fichier de F1AAA \"X.BIN\" (3 octets)\r\n"), std::string::npos);
  p.recoit(0, TRAME_FICHIER("F1AAA", "X.BIN", "xyz"));
  EXPECT_TRUE(p.sms().ends_with(": Fichier de F1AAA \"X.BIN\" (3 octets) enregistr\xE9 sous \"X00000.BIN\"\r\n\r\n"));
  p.recoit(0, TRAME_FICHIER("F1AAA", "UN.TXT", "1"));
  EXPECT_TRUE(p.sms().ends_with(": Fichier de F1AAA \"UN.TXT\" (1 octet)\r\n\r\n")) << p.sms();
}

TEST(FichiersRecus, StopInTheMiddleDiscardsTheFile) {
  Travail t;
  Poste p(t);
  const std::string trame = TRAME_FICHIER("F1AAA", "HALF.BIN", std::string(300, 'h'));
  p.recoit(0, trame.substr(0, 150));
  p.recoit(0, autex::TRAME_ARRET_AUTEX() + autex::TRAME_MESSAGE_AUTEX("next"));
  EXPECT_EQ(SANS_PROGRESSION(p.fenetre(0)), "File transmission:  317 bytes ...Stop!\r\nnext\r\n");
  EXPECT_TRUE(t.fichiers().empty());
  EXPECT_TRUE(p.fichier_rx().empty());
  // The rest of the abandoned frame, should it come, is no file either.
  p.recoit(0, trame.substr(150));
  EXPECT_TRUE(t.fichiers().empty());
  // A stop during a short message drops it, and says so with what had come of it.
  p.recoit(0, octets({3, 1}) + "unfinished" + autex::TRAME_ARRET_AUTEX());
  EXPECT_NE(p.sms().find(": Short message not received whole: stopped by the sender\r\n  unfinished\r\n"),
            std::string::npos)
      << p.sms();
}

TEST(FichiersRecus, EveryByteValueArrivesAndALengthHolding3ReadsRight) {
  Travail t;
  Poste p(t);
  // 256 byte values then 497 others: 754 bytes once the 3 is doubled, so that N = 14 + 754 = 768 = 0, 3, 0.
  std::string donnees;
  for (int b = 0; b < 256; ++b) donnees.push_back(char(b));
  for (int i = 0; i < 497; ++i) donnees.push_back(char("\x01\x00\x05\x06\x04"[i % 5]));
  const std::string trame = TRAME_FICHIER("F1AAA", "D.BIN", donnees);
  ASSERT_EQ(trame.substr(2, 3), octets({0, 3, 0}));
  p.recoit(0, trame);
  EXPECT_TRUE(t.fichiers().at("D.BIN") == donnees);
  EXPECT_EQ(SANS_PROGRESSION(p.fenetre(0)), "File transmission:  768 bytes...completed\r\n");
  // Other lengths with a 3 followed by a code: 0, 3, 5 and 0, 3, 3.
  for (const int fin : {5, 3}) {
    const size_t n = size_t(768 + fin - 14 - 1);
    const std::string d = std::string(1, 3) + std::string(n - 1, 'z');
    const std::string f = TRAME_FICHIER("F1AAA", "D.BIN", d);
    ASSERT_EQ(f.substr(2, 3), octets({0, 3, fin}));
    t.vide_autex();
    p.recoit(0, f);
    EXPECT_TRUE(t.fichiers().at("D.BIN") == d) << fin;
  }
}

TEST(FichiersRecus, ASizeOfZeroShowsAHundredPercent) {
  Travail t;
  Poste p(t);
  p.recoit(0, octets({3, 4, 0, 0, 0}) + "F1AAA" + octets({0}) + "Z.TXT" + octets({0}) + "zz");
  EXPECT_EQ(p.fenetre(0), "File transmission:  0 bytes...100% ");
  p.recoit(0, octets({3, 0}));
  EXPECT_EQ(t.fichiers().at("Z.TXT"), "zz");
}

TEST(FichiersRecus, CompressedFileIsInflated) {
  Travail t;
  Poste p(t);
  const std::string donnees = DONNEES_TEXTE(20000);
  const std::string trame = TRAME_FICHIER("F1AAA", "LOG.TXT", donnees, true);
  ASSERT_EQ(trame.substr(0, 2), octets({3, 6}));
  ASSERT_LT(trame.size(), donnees.size());
  p.recoit(0, trame, {7, 31, 1, 2, 300});
  EXPECT_TRUE(t.fichiers().at("LOG.TXT") == donnees);
  EXPECT_NE(p.sms().find("(20000 bytes)"), std::string::npos);
  // The compressed flag belongs to the participant: a plain file from S1 meanwhile is stored as it came.
  t.vide_autex();
  const std::string plain = TRAME_FICHIER("F3CCC", "PLAIN.TXT", "as is");
  p.recoit(0, trame.substr(0, 40));
  p.recoit(1, plain);
  p.recoit(0, trame.substr(40));
  EXPECT_EQ(t.fichiers().at("PLAIN.TXT"), "as is");
  EXPECT_TRUE(t.fichiers().at("LOG.TXT") == donnees);
}

TEST(FichiersRecus, ACorruptCompressedFileIsReportedAndNotStored) {
  Travail t;
  Poste p(t);
  const std::string donnees = DONNEES_TEXTE(5000);
  const std::string trame = TRAME_FICHIER("F1AAA", "LOG.TXT", donnees, true);
  const size_t debut = trame.find('\0', trame.find('\0', 5) + 1) + 1;
  // A damaged byte of the stream (neither 3 nor next to one, so the frame stays whole), then a stream cut short
  // (the frame ends early).
  size_t q = debut + 40;
  while (trame[q] == 3 || trame[q - 1] == 3 || trame[q + 1] == 3 || (trame[q] ^ 0x5A) == 3) ++q;
  std::string abimee = trame;
  abimee[q] = char(abimee[q] ^ 0x5A);
  std::string coupee = trame.substr(0, debut + 100);
  if (coupee.back() == 3) coupee.pop_back();
  coupee += octets({3, 0});
  // A whole stream followed by a second one (its 3s doubled, as the frame carries them).
  std::string second;
  autex::COMPRESSER_CHAINE("more", second);
  std::string suivie = trame.substr(0, trame.size() - 2);
  for (const char c : second) suivie += c == 3 ? octets({3, 3}) : std::string(1, c);
  suivie += octets({3, 0});
  // A stream of a few hundred bytes that would inflate to more than any station sends.
  const std::string bombe =
      TRAME_FICHIER("F1AAA", "ZEROS.BIN", std::string(size_t(autex::TAILLE_MAX_FICHIER_ENVOYE) + 1, '\0'), true);
  const struct {
    std::string trame;
    const char* raison;
  } cas[] = {{abimee, "Error on file containt"},
             {coupee, "Error on file containt"},
             {suivie, "Error on file containt: data after the end of the compressed file"},
             {bombe, "Error on file size: more than 65000 bytes once decompressed"}};
  for (const auto& [f, raison] : cas) {
    p.remise_a_zero();
    p.s.Fixe_texte(Nom_du_fichier_RX_AUTEX, "OLD.TXT");
    p.recoit(0, f);
    const std::string fenetre = SANS_PROGRESSION(p.fenetre(0));
    EXPECT_EQ(fenetre.substr(fenetre.find("bytes")), "bytes...error\r\n");
    EXPECT_EQ(p.info(), raison);
    // The last file stored is still the one to open; the short-message window keeps the reason.
    EXPECT_EQ(p.fichier_rx(), "OLD.TXT");
    EXPECT_TRUE(t.fichiers().empty());
    EXPECT_NE(p.sms().find("\" not stored: " + std::string(raison) + "\r\n"), std::string::npos) << p.sms();
    // The next frame is read as usual.
    p.recoit(0, autex::TRAME_MESSAGE_AUTEX("after"));
    EXPECT_NE(p.sms().find(": after"), std::string::npos);
  }
}

TEST(FichiersRecus, MalformedHeadersAreRefused) {
  Travail t;
  Poste p(t);
  const std::string debut = octets({3, 4, 0, 0, 40});
  const struct {
    std::string corps;
    const char* raison;
  } cas[] = {
      {"F1AAA", "Error on file callsign"},                                              // no NUL at all
      {"F1AAAF1AAAF1AAAX" + octets({0}) + "A.TXT" + octets({0}) + "x", "Error on file callsign"},  // 16 characters
      {"F1AAA" + octets({0}) + "A.TXT", "Error on file name"},                          // no NUL after the name
      {"F1AAA" + octets({0}) + std::string(231, 'n') + octets({0}) + "x", "Error on file name"},
      {"F1AAA" + octets({0}) + "A.TXT" + octets({0}), "Error on file containt"},        // empty
  };
  for (const auto& c : cas) {
    p.remise_a_zero();
    p.recoit(0, debut + c.corps + octets({3, 0}));
    EXPECT_EQ(SANS_PROGRESSION(p.fenetre(0)), "File transmission:  40 bytes...error\r\n") << c.raison;
    EXPECT_EQ(p.info(), c.raison);
    EXPECT_TRUE(p.sms().ends_with(" not stored: " + std::string(c.raison) + "\r\n\r\n")) << c.raison;
    EXPECT_TRUE(t.fichiers().empty());
    // The file is over: what follows shows again.
    p.recoit(0, "plain");
    EXPECT_EQ(SANS_PROGRESSION(p.fenetre(0)), "File transmission:  40 bytes...error\r\nplain") << c.raison;
  }
  // 14 characters and 230 are accepted (whether a path that long can be written depends on the system).
  p.remise_a_zero();
  const std::string long_nom = std::string(226, 'n') + ".TXT";
  p.recoit(0, TRAME_FICHIER("F1AAAF1AAAF1AA", long_nom, "ok"));
  EXPECT_NE(p.sms().find("File of F1AAAF1AAAF1AA \"" + long_nom + "\" (2 bytes)"), std::string::npos);
  EXPECT_NE(p.info(), "Error on file callsign");
  EXPECT_NE(p.info(), "Error on file name");
}

TEST(FichiersRecus, UnsafeNamesNeverLeaveTheDirectory) {
  Travail t;
  Poste p(t);
  const struct {
    std::string recu;
    const char* stocke;
  } cas[] = {{"../../escape.txt", "RX_FILE.txt"}, {"..\\..\\escape.txt", "RX_FILE.txt"}, {"..", "RX_FILE"},
             {".", "RX_FILE"}, {"/tmp/abs.sh", "RX_FILE.sh"}, {"C:\\Windows\\win.ini", "RX_FILE.ini"},
             {"C:x.dat", "RX_FILE.dat"}, {"CON", "RX_FILE"}, {"nul.txt", "RX_FILE.txt"}, {"COM1.log", "RX_FILE.log"},
             {"LPT9", "RX_FILE"}, {"AUX .c", "RX_FILE.c"}, {"name.", "RX_FILE"}, {"name ", "RX_FILE"},
             {"a\x01" "b.txt", "RX_FILE.txt"}, {"x:stream", "RX_FILE"}, {"", "RX_FILE"},
             {"what?.t*t", "RX_FILE"}, {"sub/dir/", "RX_FILE"}, {"x/y.a-b", "RX_FILE"},
             {"%COMSPEC%.txt", "RX_FILE.txt"}, {"%NOSUCHVAR%.txt", "RX_FILE.txt"}};
  for (const auto& c : cas) {
    t.vide_autex();
    p.recoit(0, TRAME_FICHIER("F1AAA", c.recu, "content"));
    EXPECT_EQ(p.fichier_rx(), c.stocke) << c.recu;
    EXPECT_TRUE(p.sms().ends_with(" (7 bytes) stored as \"" + std::string(c.stocke) + "\"\r\n\r\n")) << c.recu;
    EXPECT_EQ(t.fichiers(), (std::map<std::string, std::string>{{c.stocke, "content"}})) << c.recu;
    EXPECT_EQ(t.arbre(), (std::vector<std::string>{"AUTEX", std::string("AUTEX/") + c.stocke})) << c.recu;
  }
  // Generated names are free names too.
  t.vide_autex();
  p.recoit(0, TRAME_FICHIER("F1AAA", "CON", "1"));
  p.recoit(0, TRAME_FICHIER("F1AAA", "PRN", "2"));
  EXPECT_EQ(t.fichiers(), (std::map<std::string, std::string>{{"RX_FILE", "1"}, {"RX_FILE00000", "2"}}));
  EXPECT_EQ(p.fichier_rx(), "RX_FILE00000");
}

TEST(FichiersRecus, TheStationsOwnFileIsKeptWithoutTakingTheReceivedName) {
  Travail t;
  Poste p(t);
  p.a.STATION_MAITRE = 1;
  p.a.NUMERO_SLOT = 0;
  p.a.INDICATIF_PROPRE = "F2BBB";
  p.s.Fixe_texte(Nom_du_fichier_RX_AUTEX, "LAST.BIN");
  p.recoit(0, TRAME_FICHIER("F2BBB", "SENT.BIN", "mine"));
  EXPECT_EQ(t.fichiers().at("SENT.BIN"), "mine");
  EXPECT_EQ(p.fichier_rx(), "LAST.BIN");
  EXPECT_NE(p.sms_styles().find("*~F2BBB|"), std::string::npos);
}

TEST(FichiersRecus, StorageFailureIsReported) {
  Travail t;
  Poste p(t);
  // A plain file named AUTEX stands where the directory should be.
  t.dir.write("AUTEX", "not a directory");
  p.s.Fixe_texte(Nom_du_fichier_RX_AUTEX, "OLD.TXT");
  p.recoit(0, TRAME_FICHIER("F1AAA", "A.TXT", "data"));
  // Not stored: neither window says it arrived, and the last file stored stays the one to open.
  EXPECT_EQ(SANS_PROGRESSION(p.fenetre(0)), "File transmission:  18 bytes...error\r\n");
  EXPECT_EQ(p.info(), "Problem to create or write the file");
  EXPECT_EQ(p.sms_styles(), "*F1AAA| (" + p.a.HEURE_LOCALE() +
                                "): File of F1AAA \"A.TXT\" (4 bytes) not stored: Problem to create or write the file"
                                "\r\n\r\n|");
  EXPECT_EQ(p.fichier_rx(), "OLD.TXT");
}

TEST(FichiersRecus, LongNamesAreShortenedToFitTheDirectoryAndNeverLost) {
  // The AUTEX directory's path has `repertoire` characters, the name `nom` (with its extension ".Txt"). The
  // file is stored under `premier` n's and the extension, and a second one of the same name under `second`
  // n's, the counter and the extension. A path of 255 characters at most is one that the shell opens.
  const struct {
    size_t repertoire, nom, premier, second;
  } cas[] = {
      {58, 196, 192, 187},   // fits as it is, the path ending at 255; the second is shortened to fit too
      {58, 200, 192, 187},   // 58 + 1 + 200 is beyond 255: shortened so that the path ends at 255
      {58, 230, 192, 187},
      {241, 230, 9, 4},      // room for 13 characters
      {248, 230, 226, 226},  // no room for a name with its counter: the whole name, beyond the limit
  };
  constexpr size_t kMaxPath = 255;
  for (const auto& c : cas) {
    Travail t;
    const size_t base = t.chemin().size() + 1;
    ASSERT_LT(base, c.repertoire - 6) << "the temporary directory's path is too long for this test";
    const fs::path travail = t.dir.path() / std::string(c.repertoire - 6 - base, 'w');
    fs::create_directories(travail);
    const std::string repertoire = (travail / "AUTEX").string();
    ASSERT_EQ(repertoire.size(), c.repertoire);
    Poste p(t);
    p.s.repertoire = travail.string();
    const std::string nom = std::string(c.nom - 4, 'n') + ".Txt";
    const std::string attendus[] = {std::string(c.premier, 'n') + ".Txt", std::string(c.second, 'n') + "00000.Txt"};
    for (const std::string& attendu : attendus) {
      p.remise_a_zero();
      p.recoit(0, TRAME_FICHIER("F1AAA", nom, attendu));
      EXPECT_TRUE(SANS_PROGRESSION(p.fenetre(0)).ends_with("bytes...completed\r\n")) << c.repertoire << " " << c.nom;
      EXPECT_EQ(p.fichier_rx(), attendu) << c.repertoire << " " << c.nom;
      const std::string chemin = repertoire + autex::SEPARATEUR_CHEMIN + attendu;
      if (c.repertoire + 1 + 10 <= kMaxPath) {
        EXPECT_LE(chemin.size(), kMaxPath);
      }
      // The content is there, under that name.
      std::string lu;
      int64_t taille = 0;
      EXPECT_TRUE(autex::LIRE_FICHIER_BLOCS(chemin, 1, lu, taille)) << chemin;
      EXPECT_EQ(lu, attendu);
    }
    // The two files and nothing else: no temporary file left behind.
    std::vector<std::string> noms;
    for (const auto& e : fs::directory_iterator(travail / "AUTEX")) noms.push_back(e.path().filename().string());
    EXPECT_EQ(noms.size(), 2u) << c.repertoire << " " << c.nom;
    for (const std::string& n : noms) autex::detail::os_remove_file(repertoire + autex::SEPARATEUR_CHEMIN + n);
  }
}

TEST(FichiersRecus, AFramedStreamCutAtEveryBoundaryGivesTheSameResult) {
  Travail t;
  Poste p(t);
  std::string donnees;
  for (int b = 0; b < 256; ++b) donnees.push_back(char(b));
  for (int i = 0; i < 497; ++i) donnees.push_back(char("\x01\x00\x05\x06\x04"[i % 5]));
  const std::string flux = autex::TRAME_MESSAGE_AUTEX("first message") + TRAME_FICHIER("F1AAA", "D.BIN", donnees) +
                           TRAME_FICHIER("F1AAA", "C.TXT", DONNEES_TEXTE(3000), true) +
                           autex::TRAME_MESSAGE_AUTEX("second") +
                           TRAME_FICHIER("F1AAA", "CUT.BIN", std::string(100, 3)).substr(0, 59) +
                           autex::TRAME_ARRET_AUTEX() + "free text" + autex::TRAME_MESSAGE_AUTEX("after stop") +
                           TRAME_FICHIER("F1AAA", "CON", octets({3, 3, 0, 1}));
  struct Resultat {
    std::string fenetre, sms, fichier_rx, info;
    std::map<std::string, std::string> fichiers;
    bool operator==(const Resultat&) const = default;
  };
  const auto releve = [&] {
    return Resultat{SANS_PROGRESSION(p.fenetre(0)), p.sms(), p.fichier_rx(), p.info(), t.fichiers()};
  };
  p.remise_a_zero();
  p.recoit(0, flux);
  const Resultat entier = releve();
  EXPECT_EQ(entier.fenetre, "first message\r\nFile transmission:  768 bytes...completed\r\n"
                            "File transmission:  " + std::to_string(autex::Trois_octets_vers_entier(
                                                        TRAME_FICHIER("F1AAA", "C.TXT", DONNEES_TEXTE(3000), true).substr(2, 3))) +
                                " bytes...completed\r\nsecond\r\nFile transmission:  216 bytes ...Stop!\r\n"
                                "free text\r\nafter stop\r\nFile transmission:  18 bytes...completed\r\n");
  EXPECT_EQ(entier.fichiers.size(), 3u);
  EXPECT_TRUE(entier.fichiers.at("D.BIN") == donnees);
  EXPECT_TRUE(entier.fichiers.at("C.TXT") == DONNEES_TEXTE(3000));
  EXPECT_EQ(entier.fichiers.at("RX_FILE"), octets({3, 3, 0, 1}));
  EXPECT_EQ(entier.fichier_rx, "RX_FILE");
  EXPECT_NE(entier.sms.find(": first message\r\n"), std::string::npos);
  EXPECT_NE(entier.sms.find(": after stop\r\n"), std::string::npos);
  // Cut once at every position, then into chunks of one byte, then as the air does (up to 32 bytes).
  std::vector<std::vector<size_t>> coupes;
  for (size_t c = 1; c < flux.size(); ++c) coupes.push_back({c});
  coupes.push_back(std::vector<size_t>(flux.size(), 1));
  Alea alea(5);
  for (int r = 0; r < 20; ++r) {
    std::vector<size_t> m;
    for (size_t total = 0; total < flux.size();) m.push_back(1 + alea.suivant() % 32), total += m.back();
    coupes.push_back(m);
  }
  int differents = 0;
  for (const auto& c : coupes) {
    p.remise_a_zero();
    t.vide_autex();
    p.recoit(0, flux, c);
    const Resultat r = releve();
    if (!(r == entier) && ++differents <= 3)
      ADD_FAILURE() << "chunks: " << c.size() << ", first " << c[0] << "\n" << r.fenetre << "\n" << r.sms << "\n"
                    << r.fichier_rx << "\n" << r.info << "\n" << r.fichiers.size();
  }
  EXPECT_EQ(differents, 0);
}

// ---------------------------------------------------------------------------------------------------------
// Panels, saving, captions
// ---------------------------------------------------------------------------------------------------------

TEST(FenetreAutex, PanelGridForEveryParticipantCount) {
  Travail t;
  Poste p(t);
  auto& a = p.a;
  auto& f = p.s;
  const auto haut_de = [&](autex::NomElement e, int haut) {
    const platform::TRect r = f.Limites(e);
    f.Fixe_limites(e, platform::Bounds(r.Left, haut, r.Width(), r.Height()));
  };
  const int haut = f.Limites(Panel_Master).Top;
  const struct {
    int participants;
    bool trois;
    int hauteur;
    int colonnes, rangees;
  } cas[] = {{2, false, 320, 2, 1}, {4, false, 220, 2, 2}, {7, false, 740, 2, 4}, {7, true, 340, 3, 3},
             {13, false, 1000, 2, 7}, {13, true, 520, 3, 5}, {2, true, 160, 2, 1}, {4, true, 2000, 2, 2}};
  for (const auto& c : cas) {
    SCOPED_TRACE(std::to_string(c.participants) + (c.trois ? " on 3 columns" : ""));
    a.NOMBRE_PARTICIPANTS = uint8_t(c.participants);
    a.TROIS_COLONNES_7 = a.TROIS_COLONNES_13 = c.trois ? 1 : 0;
    a.HAUTEUR_PANNEAU = uint16_t(c.hauteur);
    a.DISPOSITION_PANNEAUX_AUTEX();
    const int h = (c.hauteur - haut) / c.rangees;
    EXPECT_EQ(a.NOMBRE_COLONNES, c.colonnes);
    EXPECT_EQ(a.LARGEUR_AUTEX, 336 * c.colonnes);
    EXPECT_EQ(f.Limites(Panel_AUTEX).Width(), 336 * c.colonnes);
    EXPECT_EQ(f.Limites(Panel_AUTEX).Height(), c.rangees * h + haut);
    EXPECT_EQ(f.hauteur_client, f.Limites(Panel_AUTEX).Top + f.Limites(Panel_AUTEX).Height());
    const int sms = c.colonnes == 3 ? f.Limites(Panel_AUTEX).Top - 10 : f.Limites(Panel_AUTEX).Top + f.Limites(Panel_AUTEX).Height();
    EXPECT_EQ(f.Limites(Panel_AUTEX_SMS).Height(), std::max(0, sms));
    EXPECT_EQ(f.Limites(RichEdit_SMS), platform::Bounds(1, f.Limites(Panel_Entete).Height(), f.Limites(Panel_AUTEX_SMS).Width() - 2,
                                                        std::max(0, f.Limites(Panel_AUTEX_SMS).Height() - f.Limites(Panel_Entete).Height() - 1)));
    for (int k = 0; k <= 12; ++k) {
      const bool existe = k < c.participants;
      EXPECT_EQ(f.Visible({Panel_participant, k}), existe) << k;
      if (k >= 2) {
        EXPECT_EQ(f.Visible({Indicatif, k}), existe) << k;
        EXPECT_EQ(f.Visible({Nombre_de_repetitions, k}), existe) << k;
      }
      if (!existe) continue;
      EXPECT_EQ(f.Limites({Panel_participant, k}).Left, (k % c.colonnes) * 336) << k;
      EXPECT_EQ(f.Limites({Panel_participant, k}).Top, haut + (k / c.colonnes) * h) << k;
      EXPECT_EQ(f.Limites({Panel_participant, k}).Height(), h) << k;
      EXPECT_EQ(f.Limites({Memo_Reception, k}).Height(), h - 41) << k;
      EXPECT_EQ(f.Limites({Panel_inner, k}).Top, h - 23) << k;
    }
  }
  // The example of the window's definition: 520 pixels, 13 participants on 3 columns, panels from the top 20.
  haut_de(Panel_Master, 20);
  a.NOMBRE_PARTICIPANTS = 13;
  a.TROIS_COLONNES_13 = 1;
  a.HAUTEUR_PANNEAU = 520;
  a.DISPOSITION_PANNEAUX_AUTEX();
  EXPECT_EQ(f.Limites({Panel_participant, 12}).Height(), 100);
  EXPECT_EQ(f.Limites({Memo_Reception, 12}).Height(), 59);
  EXPECT_EQ(f.Limites({Panel_inner, 12}).Top, 77);
  EXPECT_EQ(f.Limites({Panel_participant, 12}).Top, 20 + 4 * 100);
  // A height below the panels' top gives empty panels, never a negative size.
  for (const int hauteur : {0, 20, 40, 60}) {
    a.HAUTEUR_PANNEAU = uint16_t(hauteur);
    a.DISPOSITION_PANNEAUX_AUTEX();
    for (int k = 0; k <= 12; ++k) {
      EXPECT_GE(f.Limites({Panel_participant, k}).Height(), 0);
      EXPECT_GE(f.Limites({Memo_Reception, k}).Height(), 0);
      EXPECT_GE(f.Limites({Panel_inner, k}).Top, 0);
    }
    EXPECT_GE(f.Limites(Panel_AUTEX).Height(), 0);
    EXPECT_GE(f.Limites(RichEdit_SMS).Height(), 0);
  }
  haut_de(Panel_AUTEX, 4);
  a.DISPOSITION_PANNEAUX_AUTEX();
  EXPECT_EQ(f.Limites(Panel_AUTEX_SMS).Height(), 0);
  EXPECT_EQ(f.Limites(RichEdit_SMS).Height(), 0);
}

TEST(FenetreAutex, HeightStepsFollowTheParticipantCount) {
  Travail t;
  Poste p(t);
  for (const int n : {2, 4, 7, 13}) {
    p.a.NOMBRE_PARTICIPANTS = uint8_t(n);
    p.a.HAUTEUR_PANNEAU = uint16_t(400 + 20 * n);
    p.a.HAUTEUR_PANNEAU_AUTEX();
    EXPECT_EQ(p.a.PAS_HAUTEUR_COURANT(), (400 + 20 * n) / 20);
    EXPECT_EQ(p.s.Texte(Label_hauteur_Panel_Autex), std::to_string(400 + 20 * n));
  }
  EXPECT_EQ(p.a.PAS_HAUTEUR_2, 22);
  EXPECT_EQ(p.a.PAS_HAUTEUR_4, 24);
  EXPECT_EQ(p.a.PAS_HAUTEUR_7, 27);
  EXPECT_EQ(p.a.PAS_HAUTEUR_13, 33);
}

TEST(FenetreAutex, SaveAllWritesADatedFileOfTheWindowsThatHoldText) {
  for (const int n : {2, 4, 7, 13}) {
    SCOPED_TRACE(n);
    Travail t;
    Poste p(t);
    auto& a = p.a;
    auto& f = p.s;
    a.NOMBRE_PARTICIPANTS = uint8_t(n);
    a.EFFACE_FENETRES_M_ET_SX();
    p.sim.horloge.setUtc(platform::unixMsFromSystemTime({2026, 3, 0, 7, 9, 5, 0, 0}));
    // Everything empty: the Master's section alone.
    a.SAUVE_TOUT();
    EXPECT_EQ(t.fichiers(), (std::map<std::string, std::string>{{"AUTEX 2026-03-07 09h05m00s.TXT", "Master \r\n\r\n\r\n"}}));
    // The Master's window, and of the users the last slot's channel and the second slot's text.
    f.Fixe_texte({Secondary_channel, 0}, "F1AAA Paris");
    p.recoit(0, "hello from M");
    const int dernier = a.SLOTS_EXISTANTS();
    f.Fixe_texte({Secondary_channel, dernier}, "F9ZZZ");
    if (dernier >= 2) p.recoit(2, "text of S2");
    p.sim.horloge.setUtc(platform::unixMsFromSystemTime({2027, 12, 0, 31, 23, 59, 58, 999}));
    a.SAUVE_TOUT();
    std::string attendu = "Master F1AAA Paris\r\nhello from M\r\n\r\n";
    if (dernier >= 2) attendu += "S2 \r\ntext of S2\r\n\r\n";
    attendu += "S" + std::to_string(dernier) + " F9ZZZ\r\n\r\n\r\n";
    EXPECT_EQ(t.fichiers().at("AUTEX 2027-12-31 23h59m58s.TXT"), attendu);
    // A second save within the same second goes beside the first.
    p.recoit(0, " again");
    a.SAUVE_TOUT();
    EXPECT_EQ(t.fichiers().at("AUTEX 2027-12-31 23h59m58s.TXT"), attendu);
    EXPECT_NE(t.fichiers().at("AUTEX 2027-12-31 23h59m58s00000.TXT").find("hello from M again"), std::string::npos);
    EXPECT_TRUE(p.s.dialogues.empty());
  }
  // No AUTEX directory can be made: the information line says so and nothing is written.
  Travail t;
  Poste p(t);
  t.dir.write("AUTEX", "a plain file");
  p.a.SAUVE_TOUT();
  EXPECT_EQ(p.info(), "Impossible to create the sub-directory AUTEX");
  EXPECT_EQ(t.dir.read("AUTEX"), "a plain file");
}

TEST(FenetreAutex, CaptionsAndHintsInBothLanguages) {
  Travail t;
  Poste p(t);
  auto& a = p.a;
  auto& f = p.s;
  a.TEXTES_FENETRE_AUTEX();
  EXPECT_EQ(f.Texte(Label_Info_AUTEX), "Display and control window for the AUTEX modes");
  EXPECT_EQ(f.Texte(Sauve_toutes_les_fenetres_M_et_Sx), "Save all");
  EXPECT_EQ(f.Aide(Sauve_toutes_les_fenetres_M_et_Sx),
            "This button permits to save all the texts and callsigns received, in a dated file (\"AUTEX date "
            "time.TXT\") located in the sub-directory \\AUTEX");
  EXPECT_EQ(f.Texte(Etat_liaison), "Disconnected");
  EXPECT_EQ(f.Aide(Hauteur_du_Panel_Autex),
            "The \"Up Down\" control permits to adjust the windows height, according to the screen height");
  EXPECT_EQ(f.Texte({ENTRER_DANS_LA_REUNION, 7}), "Enter");
  EXPECT_EQ(f.Texte({SORTIR_DE_LA_REUNION, 12}), "Quit");
  EXPECT_EQ(f.Aide({Nombre_de_repetitions, 9}), f.Aide({Nombre_de_repetitions, 1}));
  EXPECT_EQ(f.Aide({Label_Utilisateur, 5}), "\"S\" for \"Slave\" (User) followed by its order number");
  EXPECT_EQ(f.Texte({Label_Utilisateur, 5}), "S5");  // the slot's name stays
  EXPECT_EQ(a.ABSENCE_INDICATIF, 0);

  // French, during a session: the link state stays "connected".
  f.Fixe_texte(Etat_liaison, "Connected");
  f.Fixe_texte({Label_CQ, 4}, "CQ de F1AAA");
  p.s.langues.Langue = 2;
  a.TEXTES_FENETRE_AUTEX();
  EXPECT_EQ(f.Texte(Label_Info_AUTEX), "Fen\xEAtre d'affichage et de contr\xF4le pour les modes AUTEX");
  EXPECT_EQ(f.Texte(Etat_liaison), "Connect\xE9");
  EXPECT_EQ(f.Texte({Label_CQ, 4}), "CQ de F1AAA");
  EXPECT_EQ(f.Aide({Label_CQ, 4}), f.Aide({Label_CQ, 1}));
  EXPECT_EQ(f.Aide(ARRET_TRANSMISSION_AUTEX),
            "Si vous cliquez sur ce bouton, votre transmission en cours (message, position ou fichier) sera "
            "imm\xE9" "diatement arr\xEAt\xE9" "e.");
  EXPECT_EQ(f.Texte({ENTRER_DANS_LA_REUNION, 3}), "Entrer");
  EXPECT_EQ(f.Texte(Compression_du_fichier_transmis), "Compression du fichier avant transmission");
  EXPECT_EQ(f.Texte(Label_canal_secondaire2), "32 caract\xE8res max (avec indicatif inclus de 14 caract\xE8res max)");
  p.s.langues.Langue = 1;
  a.TEXTES_FENETRE_AUTEX();
  EXPECT_EQ(f.Texte(Etat_liaison), "Connected");
  EXPECT_EQ(f.Texte({ENTRER_DANS_LA_REUNION, 3}), "Enter");

  // The return to idle keeps the outcome that the information line shows; the language switch does not.
  f.Fixe_texte(Label_Info_AUTEX, "End of meeting completed");
  a.GESTION_PRELIMINAIRE_AUTEX();
  EXPECT_EQ(f.Texte(Label_Info_AUTEX), "End of meeting completed");
  a.TEXTES_FENETRE_AUTEX();
  EXPECT_EQ(f.Texte(Label_Info_AUTEX), "Display and control window for the AUTEX modes");

  // No call sign: the information line asks for one.
  f.Fixe_texte(Edit_INDICATIF, "");
  a.TEXTES_FENETRE_AUTEX();
  EXPECT_EQ(a.ABSENCE_INDICATIF, 1);
  EXPECT_EQ(f.Texte(Label_Info_AUTEX), "No callsign: fill the \"Callsign\" field");
}

// ---------------------------------------------------------------------------------------------------------
// Over the air
// ---------------------------------------------------------------------------------------------------------

TEST(FichiersParLaLiaison, A65000ByteFileArrivesWholePlainAndCompressed) {
  Travail tm, tu;
  Bruit bruit;
  bruit.ber = 1e-4;
  Simulation sim(81, bruit, 1);
  auto& m = sim.ajoute_station("F1AAA", 1200);
  auto& u = sim.ajoute_station("F2BBB", 1200);
  m.repertoire = tm.chemin();
  u.repertoire = tu.chemin();
  ASSERT_TRUE(CONNECTE_LIEN(sim, m, u));
  // A short message first: in the short-message window with its sender's name in bold.
  ASSERT_TRUE(m.Envoie("file follows"));
  ASSERT_TRUE(sim.avance_jusqu_a([&] { return u.texte_fenetre(0) == "file follows\r\n"; }, 60000));
  const auto runs = u.sms;
  ASSERT_GE(runs.size(), 2u);
  EXPECT_EQ(runs[0].Text, "F1AAA");
  EXPECT_TRUE(runs[0].Gras);
  EXPECT_TRUE(std::regex_match(runs[1].Text, std::regex(R"( \([0-9]{2}:[0-9]{2}\): file follows\r\n\r\n)")))
      << runs[1].Text;

  const struct {
    Station& emetteur;
    Station& recepteur;
    Travail& t_recepteur;
    Travail& t_emetteur;
    std::string nom, donnees;
    bool compression;
  } envois[] = {{m, u, tu, tm, "DATA.BIN", DONNEES_ALEATOIRES(65000, 7), false},
                {u, m, tm, tu, "LOG.TXT", DONNEES_TEXTE(65000), true}};
  for (const auto& e : envois) {
    SCOPED_TRACE(e.nom);
    ASSERT_EQ(e.donnees.size(), 65000u);
    ASSERT_NE(e.donnees.find('\x03'), std::string::npos);
    e.emetteur.autex.TEXTE_A_EMETTRE += TRAME_FICHIER(e.emetteur.indicatif, e.nom, e.donnees, e.compression);
    e.emetteur.autex.TEXTE_EN_ATTENTE = 1;
    const int k = &e.recepteur == &u ? 0 : 1;
    ASSERT_TRUE(sim.avance_jusqu_a(
        [&] { return e.recepteur.texte_fenetre(k).find("completed") != std::string::npos; }, 7200000))
        << e.recepteur.info();
    EXPECT_TRUE(e.t_recepteur.fichiers().at(e.nom) == e.donnees);
    EXPECT_EQ(e.recepteur.Texte(Nom_du_fichier_RX_AUTEX), e.nom);
    EXPECT_NE(e.recepteur.Texte(RichEdit_SMS).find(std::string("File of ") + e.emetteur.indicatif + " \"" +
                                                              e.nom + "\" (65000 bytes)"),
              std::string::npos);
    // The sender keeps its own copy once every block is acknowledged.
    ASSERT_TRUE(sim.avance_jusqu_a([&] { return e.t_emetteur.fichiers().count(e.nom) == 1; }, 60000));
    EXPECT_TRUE(e.t_emetteur.fichiers().at(e.nom) == e.donnees);
    EXPECT_TRUE(m.connectee() && u.connectee());
  }
  EXPECT_GT(sim.octets_corrompus, 0u);
}
