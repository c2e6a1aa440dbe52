// The message, yes/no, version-history and about windows, the windows the main window opens modally, and
// the documents handed to the shell.
#include "tests/station_app/rig.h"

#include "station/a_propos.h"
#include "station/historique_des_versions.h"
#include "station/menu_oui_non.h"
#include "station/message_d_erreur.h"
#ifdef _WIN32
#include "tests/support/win_screen.h"
#endif

using namespace apptest;

namespace {

TEST(Message, ASecondMessageReplacesTheOpenOneInsteadOfStacking) {
  Bureau bureau;
  StationTest st(bureau);
  station::Station& s = st.Demarre();
  int showings = 0;
  bureau.reponse_modale = [&](gui::TCustomForm& w) {
    ++showings;
    EXPECT_EQ(w.Caption(), "Error");
    EXPECT_EQ(s.Form36->Memo1->Text(), "First");
    EXPECT_EQ(s.Form36->Bouton_OK_presse, 0);
    s.Form36->Afficher_information("Second", "Deuxi\xE8me");  // returns at once
    EXPECT_EQ(w.Caption(), "Information");
    EXPECT_EQ(s.Form36->Memo1->Text(), "Second");
    s.Form36->OKClick(nullptr);
  };
  s.Form36->Afficher_erreur("First", "Premier");
  EXPECT_EQ(showings, 1);
  EXPECT_EQ(s.Form36->Bouton_OK_presse, 1);
  EXPECT_FALSE(s.Form36->Visible());
}

TEST(Message, TheTextFollowsTheLanguageByte) {
  Bureau bureau;
  StationTest st(bureau);
  station::Station& s = st.Demarre();
  s.langues.Langue = 2;
  std::string legende, texte;
  bureau.reponse_modale = [&](gui::TCustomForm& w) {
    legende = w.Caption();
    texte = s.Form36->Memo1->Text();
  };
  s.Form36->Afficher_erreur("Not found", "Introuvable");
  EXPECT_EQ(legende, "Erreur");
  EXPECT_EQ(texte, "Introuvable");
  // Any language byte but English gives the French text.
  s.langues.Langue = 7;
  s.Form36->Afficher_information("Done", "Fait");
  EXPECT_EQ(legende, "Information");
  EXPECT_EQ(texte, "Fait");
}

#ifndef _WIN32
TEST(Message, TheWindowOpensNearTheMouseButNeverOffTheScreen) {
  Bureau bureau;
  StationTest st(bureau);
  station::Station& s = st.Demarre();
  gui::TPoint place{};
  bureau.reponse_modale = [&](gui::TCustomForm& w) { place = gui::TPoint{w.Left(), w.Top()}; };
  gui::Screen->SetHeadlessCursorPos(gui::TPoint{100, 50});
  s.Form36->Afficher_information("a", "a");
  EXPECT_EQ(place.X, 0);
  EXPECT_EQ(place.Y, 0);
  gui::Screen->SetHeadlessCursorPos(gui::TPoint{900, 700});
  s.Form36->Afficher_information("a", "a");
  EXPECT_EQ(place.X, 400);
  EXPECT_EQ(place.Y, 550);
}

// A second station may stand beside this one: the window opens over this station's own main window.
TEST(Message, TheWindowOpensOverTheStationsOwnWindow) {
  Bureau bureau;
  StationTest st(bureau);
  station::Station& s = st.Demarre();
  st.Montre();
  st.f().SetBounds(300, 20, st.f().Width(), st.f().Height());
  gui::TRect place{};
  bureau.reponse_modale = [&](gui::TCustomForm& w) { place = w.BoundsRect(); };
  const gui::TRect station = st.f().BoundsRect();
  const struct {
    int x, y;  // the mouse
    int gauche, haut;  // -1: against the window's right or bottom edge
  } cas[] = {
      {350, 500, 300, 350},  // left of the window: at its left edge
      {100, 10, 300, 20},    // over the other station: in the corner
      {1000, 400, 500, 250}, // inside: where the mouse says
      {1279, 1000, -1, -1},  // below and right: within the window
  };
  for (const auto& c : cas) {
    gui::Screen->SetHeadlessCursorPos(gui::TPoint{c.x, c.y});
    s.Form36->Afficher_information("a", "a");
    EXPECT_EQ(c.gauche < 0 ? place.Right : place.Left, c.gauche < 0 ? station.Right : c.gauche) << c.x << "," << c.y;
    EXPECT_EQ(c.haut < 0 ? place.Bottom : place.Top, c.haut < 0 ? station.Bottom : c.haut) << c.x << "," << c.y;
  }
}

#endif

TEST(OuiNon, TheAnswerAndTheCheckBoxAreKeptForTheCaller) {
  Bureau bureau;
  StationTest st(bureau);
  station::Station& s = st.Demarre();
  st.Montre();  // as in the program, the main window is on screen
  station::FenetreOuiNon& q = *s.Form20;
  // Closed by its close box: No.
  EXPECT_FALSE(q.Question("Are you sure?"));
  EXPECT_EQ(q.Reponse_oui, 0);
  EXPECT_EQ(q.OUI->Caption(), "Yes");
  EXPECT_EQ(q.NON->Caption(), "No");

  bureau.reponse_modale = [&](gui::TCustomForm&) {
    q.PLUS_DE_DEMANDE->SetChecked(true);
    q.OUIClick(nullptr);
  };
  EXPECT_TRUE(q.Question("Quit?"));
  EXPECT_EQ(q.Plus_de_demande, 1);
  EXPECT_EQ(q.Label1->Caption(), "Quit?");

  s.langues.Langue = 2;
  bool coche = false;
  bureau.reponse_modale = [&](gui::TCustomForm&) {
    coche = q.PLUS_DE_DEMANDE->Checked();
    EXPECT_EQ(q.OUI->Caption(), "Oui");
    EXPECT_EQ(q.PLUS_DE_DEMANDE->Caption(), "Plus de demande Oui/Non pour quitter le programme");
    q.PLUS_DE_DEMANDE->SetChecked(false);
    q.NONClick(nullptr);
  };
  EXPECT_FALSE(q.Question("S\xFBr?"));
  EXPECT_TRUE(coche);  // the next showing started with the box as it was left
  EXPECT_EQ(q.Plus_de_demande, 0);
}

TEST(HistoriqueEtAPropos, TheirTextsAndCaptions) {
  Bureau bureau;
  StationTest st(bureau);
  station::Station& s = st.Demarre();
  st.Montre();
  std::string legende;
  bureau.reponse_modale = [&](gui::TCustomForm& w) { legende = w.Caption(); };

  st.f().ModificationsClick(nullptr);
  EXPECT_EQ(legende, "Modifications");
  s.langues.Langue = 2;
  st.f().ModificationsClick(nullptr);
  EXPECT_EQ(legende, "Modifications");
  // The history: blocks of a title line then "* " lines, separated by an empty line.
  const std::string texte = s.Form3->Memo1->Text();
  ASSERT_EQ(texte.rfind("Version ", 0), 0u);
  size_t debut = 0;
  bool titre = true;
  while (debut < texte.size()) {
    const size_t fin = texte.find("\r\n", debut);
    const std::string ligne = texte.substr(debut, fin == std::string::npos ? std::string::npos : fin - debut);
    if (ligne.empty())
      titre = true;
    else if (titre)
      titre = false;
    else
      EXPECT_EQ(ligne.rfind("* ", 0), 0u) << ligne;
    if (fin == std::string::npos) break;
    debut = fin + 2;
  }

  st.f().AproposdeClick(nullptr);
  EXPECT_EQ(legende, "A propos");
  EXPECT_EQ(s.Form2->Nom_du_produit->Caption(), station::Ligne_produit(2));
  EXPECT_EQ(s.Form2->Auteur->Caption(), station::Ligne_auteur());
  s.langues.Langue = 1;
  st.f().AproposdeClick(nullptr);
  EXPECT_EQ(legende, "About");
  EXPECT_EQ(s.Form2->Nom_du_produit->Caption(), station::Ligne_produit(1));
  EXPECT_EQ(station::Ligne_produit(1).size(), 70u);
  EXPECT_EQ(station::Ligne_auteur().size(), 70u);
  EXPECT_NE(station::Ligne_produit(1), station::Ligne_produit(2));
}

TEST(Fenetres, SpeechOptionsAndModuleWindowsOpenModallyOverTheMainWindow) {
  Bureau bureau;
  StationTest st(bureau);
  station::Station& s = st.Demarre();
  st.Montre();
  st.f().SetBounds(300, 200, st.f().Width(), st.f().Height());
  bool modale = false;
  gui::TRect place{};
  bureau.reponse_modale = [&](gui::TCustomForm& w) {
    modale = w.IsModal();
    place = w.BoundsRect();
  };
  st.f().Options_pour_synthese_vocaleClick(nullptr);
  EXPECT_EQ(bureau.modales.back(), "TForm43");
  EXPECT_TRUE(modale);
  // Centred over the main window, clear of its caption.
  const gui::TRect station = st.f().BoundsRect();
  EXPECT_NEAR(place.Left - station.Left, station.Right - place.Right, 1);
  EXPECT_GT(place.Top, station.Top + 40);
  st.f().DRF1278DM2Click(nullptr);
  EXPECT_EQ(bureau.modales.back(), "TForm19");
  EXPECT_FALSE(s.Form43->Visible());
}

TEST(Fenetres, APathLongerThan255CharactersReachesTheShellWhole) {
  Bureau bureau;
  StationTest st(bureau);
  st.Demarre();
  st.Montre();
  const std::string chemin = std::string(290, 'd') + "\\received file.txt";
  st.f().Ouvre_document(chemin, "", "", station::AFFICHAGE_SW_SHOWDEFAULT);
  ASSERT_EQ(st.shell.requests.size(), 1u);
  EXPECT_EQ(st.shell.requests[0].document, chemin);
  EXPECT_EQ(st.shell.requests[0].showMode, 10);
  // What the shell shows for it belongs to the station's window.
  EXPECT_EQ(st.shell.requests[0].owner, static_cast<void*>(st.f().WindowHandle()));
}

#ifdef _WIN32
// The message window's keys, typed to what has the keyboard once it shows: Return presses its OK button, Escape
// closes it without.
TEST(Message, ReturnPressesTheOkButtonAndEscapeClosesTheWindow) {
  Bureau bureau;
  StationTest st(bureau);
  station::Station& s = st.Demarre();
  st.Montre();
  for (const WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    bool ferme = false;
    bureau.reponse_modale = [&](gui::TCustomForm& w) {
      testsupport::PumpUntil([&] { return GetActiveWindow() == w.Handle() && GetFocus() != nullptr; });
      PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
      PostMessageA(GetFocus(), WM_KEYUP, key, LPARAM(0xC0000001));
      ferme = testsupport::PumpUntil([&] { return w.ModalResult() != gui::mrNone; }, 20000);
    };
    s.Form36->Afficher_erreur("Your are not yet connected...", "Vous n'\xEAtes pas encore connect\xE9...");
    EXPECT_TRUE(ferme) << key;
    EXPECT_EQ(s.Form36->Bouton_OK_presse, key == VK_RETURN ? 1 : 0) << key;
    EXPECT_FALSE(s.Form36->Visible());
  }
}
#endif

}  // namespace
