#pragma once
// CONTROLE_TRANSCEIVER, its window: the radio module set-up window Form19. The command frames, the reply
// handling and the automatic check live in ControleTransceiver (station/controle_transceiver.h); this class
// binds the window's controls and handlers to it.
//
// Binding. The program creates Form19 with the other forms (forms::CreateForms<..., station::TForm19>), then
// hands it the station's serial side with Lie_station. Until then the handlers do nothing. The main window,
// which implements FenetreIo, passes the module window's lines on to it:
//   FenetreIo::Info2(t)                  -> Form19->Affiche_Info2(t)
//   FenetreIo::Label_Donnees(t)          -> Form19->Affiche_Label_Donnees(t)
//   FenetreIo::Champs_transceiver_lus()  -> Form19->Affiche_champs_lus()
// and its button DRF1278DM2 shows the window modally (Form19->ShowModal()). The window's Timer1 (100 ms)
// runs whether the window is open or not and judges the module's replies.
#include <set>
#include <string>

#include "station/forms/form19.h"

namespace station {

class StationIo;

class TForm19 : public forms::TForm19 {
 public:
  explicit TForm19(gui::TComponent* AOwner) : forms::TForm19(AOwner) {}
  GUI_CLASS_NAME("TForm19")

  // Binds the window to the station's serial side (its language, transceiver name and module commands).
  void Lie_station(StationIo& io);
  StationIo* Station() const { return io_; }

  // What the module logic shows in the window.
  void Affiche_Info2(const std::string& texte);
  void Affiche_Label_Donnees(const std::string& texte);
  // The fields read back from the module: frequency, Node ID, Net ID and power. An edit that the user changed
  // since the last reading or writing asked for keeps the user's text: a reading made on the window's
  // activation (each time it comes to the front) does not undo the typing.
  void Affiche_champs_lus();

  void FormActivate(gui::TObject* Sender) override;
  void FormClose(gui::TObject* Sender, gui::TCloseAction& Action) override;
  void LECTUREClick(gui::TObject* Sender) override;
  void ECRITUREClick(gui::TObject* Sender) override;
  void PuissanceClick(gui::TObject* Sender, gui::TUDBtnType Button) override;
  void Frequence_MHzChange(gui::TObject* Sender) override;
  void Frequence_HHzChange(gui::TObject* Sender) override;
  void Edit_NODE_IDChange(gui::TObject* Sender) override;
  void Edit_NET_IDChange(gui::TObject* Sender) override;
  void Timer1Timer(gui::TObject* Sender) override;

 private:
  // Puts a text back into an edit when it differs, the caret at its end (a change that is not the user's).
  void Remet_texte(gui::TEdit& edit, const std::string& texte);
  // An edit's change: the user's unless the window is putting a text back.
  void Saisie(gui::TEdit& edit, const std::string& acceptee);
  void Textes_fenetre();

  StationIo* io_ = nullptr;
  std::set<const gui::TEdit*> saisies_;  // edits the user changed since the last reading or writing asked for
  bool remise_ = false;
};

}  // namespace station
