#pragma once
// The short-message window's text. The AUTEX side writes each stretch in the colour it is meant in (the
// station's own messages in blue, received ones in black); the window shows it in a shade that reads on the
// background in force: black stands for the window's own text colour, any other colour is kept when it stands
// out from the background and is otherwise lightened or darkened until it does (platform::ReadableTextColor).
// When the window's background or text colour changes (a skin switched while the station runs), every stretch
// written before is shown again in the shade that reads on the new background.
#include <memory>
#include <string>
#include <vector>

#include "gui/comctrls.h"

namespace station {

class FenetreSMS {
 public:
  explicit FenetreSMS(gui::TRichEdit& fenetre);
  ~FenetreSMS();
  FenetreSMS(const FenetreSMS&) = delete;
  FenetreSMS& operator=(const FenetreSMS&) = delete;

  // Appends the text at the end of the window, meant in that colour, bold or not.
  void Ajoute(const std::string& texte, platform::TColor couleur, bool gras);
  // The colour in which text meant in `couleur` is shown now.
  platform::TColor Couleur_affichee(platform::TColor couleur) const;

 private:
  struct Morceau {
    int debut = 0, longueur = 0;  // in the rich edit's selection positions
    platform::TColor couleur = platform::clBlack;
    bool gras = false;
  };
  struct Crochet;
  // Forgets the stretches that the window no longer holds (it was cleared).
  void Oublie_efface();
  void Recolore();

  gui::TRichEdit& fenetre_;
  std::vector<Morceau> morceaux_;
  std::shared_ptr<FenetreSMS*> lien_;  // cleared when this object goes, for the hook left in the chain
};

}  // namespace station
