#include "station/message_d_erreur.h"

#include <algorithm>

namespace station {

FenetreMessage::FenetreMessage(gui::TComponent* AOwner, const autex::Langues& langues)
    : forms::TForm36(AOwner), langues_(langues) {}

void FenetreMessage::Afficher(const std::string& legende, std::string_view anglais, std::string_view francais) {
  // Any language byte but English shows the French text.
  const std::string_view message = langues_.Langue == autex::LANGUE_ANGLAIS ? anglais : francais;
  SetCaption(legende);
  Memo1->SetText(std::string(message));
  if (Visible()) return;  // already on screen: its text is replaced
  ShowModal();
}

void FenetreMessage::Afficher_erreur(std::string_view anglais, std::string_view francais) {
  Afficher(langues_.TRADUCTION("Error", "Erreur"), anglais, francais);
}

void FenetreMessage::Afficher_information(std::string_view anglais, std::string_view francais) {
  Afficher("Information", anglais, francais);
}

void FenetreMessage::FormActivate(gui::TObject*) {
  // Near the mouse, but never off the top or left edge of the screen.
  const gui::TPoint souris = gui::Screen->CursorPos();
  SetBounds(std::max(0, souris.X - 500), std::max(0, souris.Y - 150), Width(), Height());
  Bouton_OK_presse = 0;
}

void FenetreMessage::OKClick(gui::TObject*) {
  Bouton_OK_presse = 1;
  Close();
}

}  // namespace station
