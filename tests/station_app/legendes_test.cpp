// The captions of the main window fit their controls, in both languages and both modes, with the fonts the
// window's definition names as the system draws them (under Wine: the fonts the setup makes visible to it).
// Natively there are no fonts to measure with: the test is for the Windows build.
#include <gtest/gtest.h>

#include <string>

#include "gui/gui.h"
#include "tests/station_app/rig.h"

using namespace apptest;

#ifdef _WIN32
namespace {

std::string SansRaccourci(const std::string& t) {
  std::string r;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '&' && i + 1 < t.size()) ++i;
    r.push_back(t[i]);
  }
  return r;
}

int Largeur_texte(const gui::TControl& c, const std::string& texte) {
  gui::TCanvas canevas;
  canevas.Font().Assign(c.Font());
  return canevas.TextWidth(texte);
}

// The controls of the window whose caption does not fit, each with what it needs and what it has.
std::vector<std::string> Legendes_coupees(gui::TComponent& fiche) {
  std::vector<std::string> coupees;
  for (int i = 0; i < fiche.ComponentCount(); ++i) {
    auto* c = dynamic_cast<gui::TControl*>(fiche.Components(i));
    if (!c || !c->Showing() || c->Caption().empty() || !c->Parent()) continue;
    const std::string texte = SansRaccourci(c->Caption());
    const int w = Largeur_texte(*c, texte);
    int besoin = 0;  // the width the caption needs
    bool dans_le_parent = false;
    if (auto* l = dynamic_cast<gui::TCustomLabel*>(c)) {
      if (l->WordWrap()) continue;
      besoin = w;
      dans_le_parent = true;
    } else if (dynamic_cast<gui::TCustomGroupBox*>(c)) {
      besoin = w + 12;  // the caption starts a few pixels into the frame
    } else if (dynamic_cast<gui::TCustomCheckBox*>(c)) {
      besoin = w + 18;  // the box and its gap
      dans_le_parent = true;
    } else if (dynamic_cast<gui::TButton*>(c)) {
      besoin = w + 6;
    } else if (dynamic_cast<gui::TSpeedButton*>(c)) {
      besoin = w + 4;
    } else {
      continue;
    }
    std::string probleme;
    if (besoin > c->Width())
      probleme = "needs " + std::to_string(besoin) + " px, has " + std::to_string(c->Width());
    else if (dans_le_parent && c->Left() + besoin > c->Parent()->ClientWidth())
      probleme = "ends at " + std::to_string(c->Left() + besoin) + " px, its parent at " +
                 std::to_string(c->Parent()->ClientWidth());
    if (!probleme.empty()) coupees.push_back(c->Name() + " \"" + texte + "\": " + probleme);
  }
  return coupees;
}

}  // namespace
#endif

TEST(Legendes, EveryCaptionOfTheMainWindowFitsInBothLanguagesAndModes) {
#ifndef _WIN32
  GTEST_SKIP() << "the fonts are measured by the system (Windows build)";
#else
  Bureau bureau;
  StationTest st{bureau};
  st.ports.add(1);
  st.dir.write("CONF_COM.SER", Image_avec({{252, 1}}));
  st.dir.write("CONFSTRINGS_COM.TXT", "\r\nF4ABC\r\nJEAN PARIS\r\n\r\n\r\n");
  st.Demarre();
  st.Montre();
  station::FichePrincipale& f = st.f();
  for (const bool francais : {false, true}) {
    if (francais)
      f.Francais1Click(nullptr);
    else
      f.English1Click(nullptr);
    f.ASCIIClick(nullptr);
    for (const std::string& c : Legendes_coupees(f)) ADD_FAILURE() << (francais ? "French" : "English") << ", ASCII: " << c;
    f.AUTEXClick(nullptr);
    f.Options_AUTEX->SetDown(true);
    f.Options_AUTEXClick(nullptr);
    for (const std::string& c : Legendes_coupees(f)) ADD_FAILURE() << (francais ? "French" : "English") << ", AUTEX: " << c;
    f.Options_AUTEX->SetDown(false);
    f.Options_AUTEXClick(nullptr);
  }
#endif
}
