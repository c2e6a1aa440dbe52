#include "station/message_d_erreur.h"

#include <algorithm>

#include "station/fenetre_station.h"

namespace station {

FenetreMessage::FenetreMessage(gui::TComponent* AOwner, const autex::Langues& langues)
    : forms::TForm36(AOwner), langues_(langues) {}

void FenetreMessage::Afficher(const std::string& legende, std::string_view anglais, std::string_view francais) {
  // Any language byte but English shows the French text.
  const std::string_view message = langues_.Langue == autex::LANGUE_ANGLAIS ? anglais : francais;
  SetCaption(legende);
  Memo1->SetText(std::string(message));
  if (Visible()) return;  // already on screen: its text is replaced
  Dialogue_au_premier_plan devant;
  ShowModal();
}

void FenetreMessage::Afficher_erreur(std::string_view anglais, std::string_view francais) {
  Afficher(langues_.TRADUCTION("Error", "Erreur"), anglais, francais);
}

void FenetreMessage::Afficher_information(std::string_view anglais, std::string_view francais) {
  Afficher("Information", anglais, francais);
}

void FenetreMessage::FormActivate(gui::TObject*) {
  // Near the mouse, but never off the top or left edge of the screen, and over the station's own main window
  // while it is on screen: a second station beside it would otherwise cover it, or be covered by it.
  const gui::TPoint souris = gui::Screen->CursorPos();
  int gauche = std::max(0, souris.X - 500), haut = std::max(0, souris.Y - 150);
  if (gui::TCustomForm* f = gui::Application->MainForm(); f && f != this && f->Visible()) {
    gauche = std::max(std::clamp(gauche, f->Left(), std::max(f->Left(), f->Left() + f->Width() - Width())), 0);
    haut = std::max(std::clamp(haut, f->Top(), std::max(f->Top(), f->Top() + f->Height() - Height())), 0);
  }
  SetBounds(gauche, haut, Width(), Height());
  Bouton_OK_presse = 0;
  // The keyboard on OK, as in a message box: Return (or Space) presses it.
  SetActiveControl(OK);
}

void FenetreMessage::OKClick(gui::TObject*) {
  Bouton_OK_presse = 1;
  Close();
}

}  // namespace station
