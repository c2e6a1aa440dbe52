#pragma once
// MENU_OUI_NON: the yes/no question. The caller puts the question in Label1, shows the window modally and
// reads Reponse_oui (Question does all three).
#include <cstdint>
#include <string>

#include "autex/langues.h"
#include "station/forms/form20.h"

namespace station {

class FenetreOuiNon : public forms::TForm20 {
 public:
  FenetreOuiNon(gui::TComponent* AOwner, const autex::Langues& langues);

  // 1 when the last showing was closed with OUI; 0 otherwise (NON, or the close box).
  uint8_t Reponse_oui = 0;
  // The check box's state when the window was last closed by one of its buttons.
  uint8_t Plus_de_demande = 0;

  // Asks the question; true for Yes. False at once when the window is already open.
  bool Question(const std::string& question);

  void FormActivate(gui::TObject* Sender) override;
  void OUIClick(gui::TObject* Sender) override;
  void NONClick(gui::TObject* Sender) override;

 private:
  const autex::Langues& langues_;
};

}  // namespace station
