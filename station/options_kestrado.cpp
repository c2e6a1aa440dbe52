#include "station/options_kestrado.h"

#include "autex/traitement_chaines.h"

namespace station {
namespace {

// Characters that the voice is never given: controls, DEL, the 128..191 block and the letters that speech
// engines spell out as symbols.
bool Prononcable(unsigned char c) {
  if (c < 32 || c == 127) return false;
  if (c >= 128 && c <= 191) return false;
  switch (c) {
    case 208:
    case 215:
    case 222:
    case 240:
    case 247:
    case 254:
      return false;
    default:
      return true;
  }
}

}  // namespace

std::string TForm43::T(const char* english, const char* french) const {
  return (langues_ ? *langues_ : langue_par_defaut_).TRADUCTION(english, french);
}

void TForm43::Lance_synthese_vocale() {
  if (!SpVoice1) SpVoice1 = platform::createSystemVoice();
  std::vector<std::string> voix;
  if (!SpVoice1->GetVoices(voix)) voix.clear();
  cbVoices->Items().Clear();
  for (const std::string& v : voix) cbVoices->Items().Add(v);
  nombre_voix_ = static_cast<int>(voix.size());
  if (nombre_voix_ > 0) {
    if (Index_voix >= nombre_voix_) Index_voix = static_cast<uint8_t>(nombre_voix_ - 1);
    cbVoices->SetItemIndex(Index_voix);
    Choisir_voix(Index_voix);
    cbVoices->SetEnabled(true);
  } else {
    // No voice listed: nothing can be chosen, and the window says why nothing is spoken; the stored index
    // stays for a later start with voices.
    Montre_voix_absente(T("No voice installed", "Aucune voix install\xE9" "e"));
  }
  SpVoice1->SetVolume(Volume_voix);
  TB_Volume->SetPosition(Volume_voix);
  LB_Volume->SetCaption(std::to_string(Volume_voix));
  SpVoice1->SetRate(Vitesse_voix);
  TB_Vitesse->SetPosition(Vitesse_voix);
  LB_Vitesse->SetCaption(std::to_string(Vitesse_voix));
  Texte_a_prononcer.clear();
  Synthese_initialisee = 1;
}

bool TForm43::Voix_au_repos() {
  int etat = 0;
  return SpVoice1 && SpVoice1->RunningState(etat) && etat == platform::SRSEDone;
}

void TForm43::Prononce_texte(char caractere) {
  unsigned char c = static_cast<unsigned char>(caractere);
  if (c == 13 || c == 10) c = ' ';
  if (c == 216 || c == 248) c = '0';
  if (Prononcable(c)) {
    Texte_a_prononcer.push_back(static_cast<char>(c));
    if (Texte_a_prononcer.size() > TAILLE_MAXIMALE_TEXTE)
      Texte_a_prononcer.erase(0, Texte_a_prononcer.size() - TAILLE_MAXIMALE_TEXTE);
  }

  if (!Voix_au_repos()) {
    Prononciation_en_attente = 1;
    return;
  }
  Prononce_mots_complets();
}

void TForm43::Prononce_mots_complets() {
  Prononciation_en_attente = 0;
  const size_t espace = Texte_a_prononcer.rfind(' ');
  if (espace == std::string::npos) return;
  std::string mots = Texte_a_prononcer.substr(0, espace + 1);
  Texte_a_prononcer.erase(0, espace + 1);
  autex::SUPPRIMER_ESPACES(mots);
  if (!mots.empty() && mots[0] == '<') mots.erase(0, 1);
  if (!mots.empty() && !SpVoice1->Speak(mots + " ", platform::SVSFlagsAsync) && nombre_voix_ > 0)
    Montre_voix_absente(T("The voice does not speak", "La voix ne parle pas"));
}

void TForm43::Montre_voix_absente(const std::string& etat) {
  // The list shows the state in place of a voice, and cannot be opened: a failure never looks like a choice.
  nombre_voix_ = 0;
  cbVoices->Items().Clear();
  cbVoices->Items().Add(etat);
  cbVoices->SetItemIndex(0);
  cbVoices->SetEnabled(false);
  cbVoices->SetHint(T("Nothing is spoken: speech needs a voice of the system's speech engine (a Windows voice; "
                      "Wine has none)",
                      "Rien n'est prononc\xE9: la synth\xE8se vocale demande une voix du moteur de synth\xE8se du "
                      "syst\xE8me (une voix de Windows; Wine n'en a pas)"));
}

void TForm43::Relance_prononciation() {
  if (Synthese_vocale_active == 1 && Prononciation_en_attente == 1 && !Texte_a_prononcer.empty() && Voix_au_repos())
    Prononce_mots_complets();
}

void TForm43::Choisir_voix(int index) {
  if (!SpVoice1 || index < 0 || index >= nombre_voix_) return;
  SpVoice1->SetVoice(index);
}

void TForm43::Textes_options_synthese() {
  // The window opens over the main window (its definition's position), as the station's other windows do, not
  // in the screen's corner over the main window's caption.
  GroupBox_Synthese_vocale->SetBounds(0, 0, 616, 42);
  GroupBox_Synthese_vocale->SetCaption(Caption());
  Commutateur_Synthese_vocale->SetCaption(T("Start", "Lancer"));
  Commutateur_Synthese_vocale->SetHint(T("To start the speech synthesis (pronunciation of the decoded text).",
                                         "Pour lancer la synth\xE8se vocale (prononciation du texte d\xE9" "cod\xE9)."));
  Label_Volume->SetCaption(T("Volume", "Volume") + ":");
  Label_Vitesse->SetCaption(T("Rate", "Vitesse") + ":");
  Label_voix->SetCaption(T("Voice", "Voix") + ":");
}

void TForm43::FormActivate(gui::TObject*) {
  // The caption first: the group box takes the window's caption.
  SetCaption(T("Options for the speech synthesis (pronunciation of the decoded text)",
               "Options pour la synth\xE8se vocale (prononciation du texte d\xE9" "cod\xE9)"));
  Textes_options_synthese();
  GroupBox_Synthese_vocale->SetVisible(true);
  SetClientSize(GroupBox_Synthese_vocale->Width(), GroupBox_Synthese_vocale->Height());
  Commutateur_Synthese_vocale->SetDown(Synthese_vocale_active == 1);
  // The voices are listed once, when speech first starts or this window first shows: with none, it says so.
  if (Synthese_initialisee == 0) Lance_synthese_vocale();
}

void TForm43::cbVoicesChange(gui::TObject*) {
  const int index = cbVoices->ItemIndex();
  if (index < 0 || index >= nombre_voix_) return;
  Choisir_voix(index);
  Index_voix = static_cast<uint8_t>(index);
}

void TForm43::TB_VolumeChange(gui::TObject*) {
  Volume_voix = static_cast<uint8_t>(TB_Volume->Position());
  LB_Volume->SetCaption(std::to_string(Volume_voix));
  if (SpVoice1) SpVoice1->SetVolume(Volume_voix);
}

void TForm43::TB_VitesseChange(gui::TObject*) {
  Vitesse_voix = static_cast<int8_t>(TB_Vitesse->Position());
  LB_Vitesse->SetCaption(std::to_string(Vitesse_voix));
  if (SpVoice1) SpVoice1->SetRate(Vitesse_voix);
}

void TForm43::Change_synthese(bool active) {
  Synthese_vocale_active = active ? 1 : 0;
  if (Synthese_vocale_active == 1 && Synthese_initialisee == 0) Lance_synthese_vocale();
  Prononciation_en_attente = 0;
}

void TForm43::Commutateur_Synthese_vocaleClick(gui::TObject*) {
  Change_synthese(Commutateur_Synthese_vocale->Down());
  if (Commutateur_fiche_principale) Commutateur_fiche_principale->SetDown(Synthese_vocale_active == 1);
  if (Sur_commutation) Sur_commutation(Synthese_vocale_active == 1);
}

void TForm43::Commutateur_principal_clique(bool enfonce) {
  Change_synthese(enfonce);
  Commutateur_Synthese_vocale->SetDown(Synthese_vocale_active == 1);
}

void TForm43::Applique_synthese_demarrage() {
  if (Synthese_vocale_active == 1) {
    if (Commutateur_fiche_principale) Commutateur_fiche_principale->SetDown(true);
    if (Synthese_initialisee == 0) Lance_synthese_vocale();
    Prononciation_en_attente = 0;
  } else if (Commutateur_fiche_principale) {
    Commutateur_fiche_principale->SetDown(false);
  }
}

}  // namespace station
