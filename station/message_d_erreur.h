#pragma once
// MESSAGE_D_ERREUR: the station's message window (errors and information), one modal window whose text a
// second message replaces while it is open. It belongs to the station's main window and opens over it.
#include <cstdint>
#include <string>
#include <string_view>

#include "autex/langues.h"
#include "station/forms/form36.h"

namespace station {

class FenetreMessage : public forms::TForm36 {
 public:
  FenetreMessage(gui::TComponent* AOwner, const autex::Langues& langues);

  // 0 while the window is shown, 1 once OK was pressed.
  uint8_t Bouton_OK_presse = 0;

  // The English text when the language is 1, the French text otherwise, under the caption "Error" /
  // "Erreur" or "Information". Shown modally; while the window is already open the new text and caption
  // replace the old ones and the call returns at once.
  void Afficher_erreur(std::string_view anglais, std::string_view francais);
  void Afficher_information(std::string_view anglais, std::string_view francais);

  void FormActivate(gui::TObject* Sender) override;
  void OKClick(gui::TObject* Sender) override;

 private:
  void Afficher(const std::string& legende, std::string_view anglais, std::string_view francais);
  const autex::Langues& langues_;
};

}  // namespace station
