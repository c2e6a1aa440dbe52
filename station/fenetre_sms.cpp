#include "station/fenetre_sms.h"

#include "gui/messages.h"

namespace station {

// Placed in the rich edit's WindowProc: the message goes down the chain first, then a change of background or
// font has the stretches shown again (a font change of a rich edit may also reformat the whole text).
struct FenetreSMS::Crochet {
  gui::TWndMethod precedent;
  std::shared_ptr<FenetreSMS*> lien;
  void operator()(gui::TMessage& m) const {
    if (precedent) precedent(m);
    if ((m.Msg == gui::CM_COLORCHANGED || m.Msg == gui::CM_FONTCHANGED) && *lien != nullptr) (*lien)->Recolore();
  }
};

FenetreSMS::FenetreSMS(gui::TRichEdit& fenetre) : fenetre_(fenetre), lien_(std::make_shared<FenetreSMS*>(this)) {
  fenetre_.WindowProc = Crochet{fenetre_.WindowProc, lien_};
}

FenetreSMS::~FenetreSMS() {
  *lien_ = nullptr;
  // Taken out of the chain only while it is still its head; under another hook it stays, and passes on.
  if (const Crochet* c = fenetre_.WindowProc.target<Crochet>(); c != nullptr && c->lien == lien_)
    fenetre_.WindowProc = gui::TWndMethod(c->precedent);
}

platform::TColor FenetreSMS::Couleur_affichee(platform::TColor couleur) const {
  const platform::TColor fond = platform::ColorToRGB(fenetre_.Color());
  const platform::TColor voulue =
      platform::ColorToRGB(couleur == platform::clBlack ? fenetre_.Font().Color() : couleur);
  return platform::ReadableTextColor(voulue, fond);
}

void FenetreSMS::Oublie_efface() {
  const int longueur = fenetre_.GetTextLen();
  while (!morceaux_.empty() && morceaux_.back().debut + morceaux_.back().longueur > longueur) morceaux_.pop_back();
}

void FenetreSMS::Ajoute(const std::string& texte, platform::TColor couleur, bool gras) {
  Oublie_efface();
  const int debut = fenetre_.GetTextLen();
  fenetre_.SetSelStart(debut);
  fenetre_.SetSelLength(0);
  fenetre_.SelAttributes().SetColor(Couleur_affichee(couleur));
  fenetre_.SelAttributes().SetStyle(gras ? gui::fsBold : 0);
  fenetre_.SetSelText(texte);
  const int longueur = fenetre_.GetTextLen() - debut;
  if (longueur > 0) morceaux_.push_back({debut, longueur, couleur, gras});
}

void FenetreSMS::Recolore() {
  Oublie_efface();
  if (morceaux_.empty()) return;
  const int debut = fenetre_.SelStart(), longueur = fenetre_.SelLength();
  for (const Morceau& m : morceaux_) {
    fenetre_.SetSelStart(m.debut);
    fenetre_.SetSelLength(m.longueur);
    fenetre_.SelAttributes().SetColor(Couleur_affichee(m.couleur));
    fenetre_.SelAttributes().SetStyle(m.gras ? gui::fsBold : 0);
  }
  fenetre_.SetSelStart(debut);
  fenetre_.SetSelLength(longueur);
}

}  // namespace station
