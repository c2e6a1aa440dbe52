// The program's own units behind the parts of Station::Fabriques: the radio module window bound to the serial
// side, the speech options window bound to the language and to the main window's switch, and the speech feed
// of the main window, which speaks through that window's voice.
#include "station/fiche_principale.h"
#include "station/fiche_transceiver.h"
#include "station/options_kestrado.h"
#include "station/station.h"

namespace station {

namespace {

// The main window's speech interface over Form43: the switch of the main window and the parameter image
// decide; the options window holds the voice and its settings.
class SyntheseFenetreOptions final : public SyntheseVocale {
 public:
  explicit SyntheseFenetreOptions(Station& st) : st_(st) {}

  bool Synthese_initialisee() const override {
    const TForm43* f = fenetre();
    return f && f->Synthese_initialisee == 1;
  }
  void Lance_synthese_vocale() override {
    if (TForm43* f = fenetre()) {
      f->Synthese_vocale_active = 1;
      f->Lance_synthese_vocale();
    }
  }
  void Prononce_texte(char c) override {
    if (TForm43* f = fenetre()) {
      f->Synthese_vocale_active = 1;  // the main window only hands characters over while speech is on
      f->Prononce_texte(c);
    }
  }
  void Relance_prononciation() override {
    if (TForm43* f = fenetre()) f->Relance_prononciation();
  }
  void Annule_prononciation_en_attente() override {
    if (TForm43* f = fenetre()) {
      f->Prononciation_en_attente = 0;
      if (st_.parametres) f->Synthese_vocale_active = st_.parametres->Reglages.Synthese_vocale_active;
      f->Commutateur_Synthese_vocale->SetDown(f->Synthese_vocale_active == 1);
    }
  }
  void Applique_reglages(Reglages_station& r) override {
    if (TForm43* f = fenetre()) {
      f->Synthese_vocale_active = r.Synthese_vocale_active;
      f->Index_voix = r.Index_voix;
      f->Volume_voix = r.Volume_voix;
      f->Vitesse_voix = r.Vitesse_voix;
    }
  }
  void Rassemble_reglages(Reglages_station& r) override {
    if (const TForm43* f = fenetre()) {
      r.Index_voix = f->Index_voix;
      r.Volume_voix = f->Volume_voix;
      r.Vitesse_voix = f->Vitesse_voix;
    }
  }

 private:
  // Form43 is created after the main window: until then there is no voice.
  TForm43* fenetre() const { return dynamic_cast<TForm43*>(st_.Form43); }
  Station& st_;
};

}  // namespace

Fabriques Fabriques_programme() {
  Fabriques f;
  f.synthese = [](Station& st) -> std::unique_ptr<SyntheseVocale> {
    return std::make_unique<SyntheseFenetreOptions>(st);
  };
  f.fenetre_options = [](gui::TComponent* owner, Station& st) -> forms::TForm43* {
    auto* w = new TForm43(owner);
    w->Lie_langues(st.langues);
    if (st.Form1) {
      w->Commutateur_fiche_principale = st.Form1->Commutateur_Synthese_vocale;
      w->Sur_commutation = [&st](bool active) {
        if (st.parametres) st.parametres->Reglages.Synthese_vocale_active = active ? 1 : 0;
      };
    }
    if (st.parametres) {
      const Reglages_station& r = st.parametres->Reglages;
      w->Synthese_vocale_active = r.Synthese_vocale_active;
      w->Index_voix = r.Index_voix;
      w->Volume_voix = r.Volume_voix;
      w->Vitesse_voix = r.Vitesse_voix;
    }
    return w;
  };
  f.fenetre_transceiver = [](gui::TComponent* owner, Station& st) -> forms::TForm19* {
    auto* w = new TForm19(owner);
    if (st.io) w->Lie_station(*st.io);
    return w;
  };
  return f;
}

}  // namespace station
