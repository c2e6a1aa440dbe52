#pragma once
// OPTIONS_KESTRADO: speaking the received text, and the speech options window Form43.
//
// The feed. The reception display hands every character it shows to Prononce_texte while speech is on; the
// characters are collected and, whenever the voice is idle, the complete words collected so far are spoken in
// one asynchronous call (an unfinished word waits for the next blank). The main window's 333 ms timer calls
// Relance_prononciation, which speaks words that found the voice busy once it is idle.
//
// The voice (SpVoice1) is the system's speech object (platform::createSystemVoice), made the first time speech
// starts, unless one was given with Fixe_voix. A voice that cannot list, choose or speak leaves the station
// working and silent: a failed status call counts as a busy voice, and nothing is chosen when no voice is
// listed.
//
// What the main window calls (Form43 is this class, created with the other forms):
//   - start-up (speech switch of the parameters):  Form43->Applique_synthese_demarrage();
//   - its switch Commutateur_Synthese_vocale:      Form43->Commutateur_principal_clique(button->Down());
//   - its menu Options_pour_synthese_vocale:       Form43->ShowModal();
//   - the reception display, for each character:  if (Form43->Synthese_vocale_active == 1) Form43->Prononce_texte(c);
//   - the 333 ms timer, while the port is open:    Form43->Relance_prononciation();
// and it points Commutateur_fiche_principale at its own switch, which this window keeps in step. The four
// settings are those of the parameter image (bytes 780 to 783): copy them in when the parameters are applied
// and out when they are gathered.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "autex/langues.h"
#include "platform/speech.h"
#include "station/forms/form43.h"

namespace station {

class TForm43 : public forms::TForm43 {
 public:
  explicit TForm43(gui::TComponent* AOwner) : forms::TForm43(AOwner) {}
  GUI_CLASS_NAME("TForm43")

  // At most this many characters wait to be spoken; older ones are dropped first (a voice that never falls
  // idle must not make the buffer grow without end).
  static constexpr size_t TAILLE_MAXIMALE_TEXTE = 8192;

  // Settings.
  uint8_t Synthese_vocale_active = 0;  // 1 = on
  uint8_t Index_voix = 0;              // 0-based position of the voice in cbVoices
  uint8_t Volume_voix = 100;           // 0..100
  int8_t Vitesse_voix = 0;             // -10..10

  // The feed.
  std::string Texte_a_prononcer;
  uint8_t Synthese_initialisee = 0;
  uint8_t Prononciation_en_attente = 0;

  // The main window's speech switch, kept in step with this window's (may stay null), and what the main
  // window wants to know when this window's switch turns speech on or off.
  gui::TSpeedButton* Commutateur_fiche_principale = nullptr;
  std::function<void(bool active)> Sur_commutation;

  // The language the window's texts follow (the station's).
  void Lie_langues(const autex::Langues& langues) { langues_ = &langues; }
  // The speech object to use instead of the system's (tests); takes effect at the next Lance_synthese_vocale.
  void Fixe_voix(std::unique_ptr<platform::SpeechVoice> voix) { SpVoice1 = std::move(voix); }
  platform::SpeechVoice* Voix() const { return SpVoice1.get(); }

  void Lance_synthese_vocale();
  void Prononce_texte(char caractere);
  // The 333 ms step: waiting words are spoken once the voice is idle.
  void Relance_prononciation();
  void Choisir_voix(int index);
  void Textes_options_synthese();
  // True when the voice answers that it has spoken everything queued.
  bool Voix_au_repos();
  // The voice list shows `etat` (no voice installed, or the voice does not speak) and is disabled.
  void Montre_voix_absente(const std::string& etat);

  // The main window's side.
  void Commutateur_principal_clique(bool enfonce);
  void Applique_synthese_demarrage();

  void FormActivate(gui::TObject* Sender) override;
  void cbVoicesChange(gui::TObject* Sender) override;
  void TB_VolumeChange(gui::TObject* Sender) override;
  void TB_VitesseChange(gui::TObject* Sender) override;
  void Commutateur_Synthese_vocaleClick(gui::TObject* Sender) override;

 private:
  std::string T(const char* english, const char* french) const;
  void Change_synthese(bool active);
  // The voice being idle: the complete words collected so far are spoken in one call.
  void Prononce_mots_complets();

  std::unique_ptr<platform::SpeechVoice> SpVoice1;
  int nombre_voix_ = 0;
  const autex::Langues* langues_ = nullptr;
  autex::Langues langue_par_defaut_;
};

}  // namespace station
