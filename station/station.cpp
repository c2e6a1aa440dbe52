#include "station/station.h"

#include "gui/gui.h"
#include "station/a_propos.h"
#include "station/fiche_principale.h"
#include "station/historique_des_versions.h"
#include "station/menu_oui_non.h"
#include "station/message_d_erreur.h"

namespace station {

namespace {

// The radio module window when its own unit is not given: its 100 ms timer still judges the module's
// replies, so that a pending module command always ends.
class FenetreTransceiverMinimale final : public forms::TForm19 {
 public:
  FenetreTransceiverMinimale(gui::TComponent* owner, Station& station) : forms::TForm19(owner), station_(station) {}
  void Timer1Timer(gui::TObject*) override { station_.io->transceiver.Timer1Timer(); }

 private:
  Station& station_;
};

template <class F>
void Acheve(F* fiche) {
  fiche->AfterConstruction();
}

}  // namespace

Plateforme Plateforme_systeme() {
  return Plateforme{platform::systemClock(), platform::systemSerialDevices(), platform::systemProcessPriority(),
                    platform::systemKeyboard(), platform::systemShell(), Systeme_station(), platform::systemScreen()};
}

Station::Station(const Plateforme& p, const Fabriques& fabriques)
    : plateforme(p), horodatage(p.clock), fichiers(langues, nullptr) {
  // File errors are reported in a message box owned by the program's window.
  fichiers.set_erreur([this](const std::string& texte) {
    plateforme.systeme.Boite_message(texte, langues.TRADUCTION("Error", "Erreur"), MB_OK | MB_ICONERROR);
  });

  gui::TApplication& app = *gui::Application;
  Proprietaire = new gui::TComponent(&app);
  gui::TComponent* owner = Proprietaire;

  // 1. The main window: its definition, then the parts that report to it, then its creation handler.
  Form1 = new FichePrincipale(owner, *this, fabriques.composants_peau);
  parametres.emplace(langues, fichiers, Form1->hote_parametres());
  io.emplace(Form1->fenetre_io(), langues, horodatage, p.clock, p.ports, p.priorite, p.clavier);
  autex = std::make_unique<autex::Autex>(langues, horodatage, p.clock, Form1->hote_autex());
  synthese = fabriques.synthese ? fabriques.synthese(*this) : nullptr;
  if (!synthese) synthese = std::make_unique<SyntheseVocale>();
  Acheve(Form1);
  if (!app.MainForm()) app.SetMainForm(Form1);

  // 2 to 7: the other windows.
  Form2 = new FenetreAPropos(owner, langues);
  Acheve(Form2);
  Form20 = new FenetreOuiNon(owner, langues);
  Acheve(Form20);
  Form36 = new FenetreMessage(owner, langues);
  Acheve(Form36);
  Form3 = new FenetreHistorique(owner, langues);
  Acheve(Form3);
  Form43 = fabriques.fenetre_options ? fabriques.fenetre_options(owner, *this) : new forms::TForm43(owner);
  Acheve(Form43);
  Form19 = fabriques.fenetre_transceiver ? fabriques.fenetre_transceiver(owner, *this)
                                         : new FenetreTransceiverMinimale(owner, *this);
  Acheve(Form19);
}

Station::~Station() {
  gui::TApplication& app = *gui::Application;
  for (gui::TCustomForm* f : {static_cast<gui::TCustomForm*>(Form19), static_cast<gui::TCustomForm*>(Form43),
                              static_cast<gui::TCustomForm*>(Form3), static_cast<gui::TCustomForm*>(Form36),
                              static_cast<gui::TCustomForm*>(Form20), static_cast<gui::TCustomForm*>(Form2)})
    if (f) gui::Free(f);
  if (Form1) {
    // The windows' parts go before the window that they report to.
    if (app.MainForm() == Form1) app.SetMainForm(nullptr);
    Form1->Timer1->SetEnabled(false);
    Form1->Timer2->SetEnabled(false);
    Form1->Timer3->SetEnabled(false);
  }
  synthese.reset();
  autex.reset();
  io.reset();
  parametres.reset();
  if (Form1) gui::Free(Form1);
  if (Proprietaire) gui::Free(Proprietaire);
}

}  // namespace station
