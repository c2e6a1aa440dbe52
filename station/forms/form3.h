#pragma once
// The version history: unit HISTORIQUE_DES_VERSIONS, class TForm3, instance Form3. Single border, system menu
// only, client area 615 x 215, filled by Memo1 (Arial 12 px, vertical scroll bar) whose text is the history
// stored in the definition (`VersionHistory`). Handlers as described in forms_common.h.
#include "station/forms/forms_common.h"

namespace forms {

class TForm3 : public gui::TForm {
 public:
  explicit TForm3(gui::TComponent* AOwner);
  GUI_CLASS_NAME("TForm3")

  gui::TMemo* Memo1 = nullptr;

  // One block per version, newest first: a title line (version and date), then one "* " line per change in
  // English with the French wording in brackets; blocks separated by an empty line; CR LF line ends.
  static const char* const VersionHistory;

  virtual void FormActivate(gui::TObject* Sender) {}
};

}  // namespace forms
