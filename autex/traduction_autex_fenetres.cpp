// TRADUCTION_AUTEX: support of the AUTEX window (participant panels, counters) and the display of received
// texts in the participants' reception windows.
#include <algorithm>

#include "autex/traduction_autex.h"
#include "platform/priority.h"
#include "station/forms/form1.h"

namespace autex {

// ---------------------------------------------------------------------------------------------------------
// Panels
// ---------------------------------------------------------------------------------------------------------

void Autex::DISPOSITION_PANNEAUX_AUTEX() {
  // The participant panels keep the layout of the window's definition; their placement on 2 or 3 columns at
  // HAUTEUR_PANNEAU belongs to the window support of the AUTEX panel.
}

void Autex::TEXTES_FENETRE_AUTEX() {
  // The captions and hints of the AUTEX controls in the current language belong to the window support of the
  // AUTEX panel; the definition's own texts stand until then.
}

void Autex::HAUTEUR_PANNEAU_AUTEX() {
  const uint8_t pas = uint8_t(std::min(255, HAUTEUR_PANNEAU / 20));
  switch (NOMBRE_PARTICIPANTS) {
    case 4: PAS_HAUTEUR_4 = pas; break;
    case 7: PAS_HAUTEUR_7 = pas; break;
    case 13: PAS_HAUTEUR_13 = pas; break;
    default: PAS_HAUTEUR_2 = pas; break;
  }
  fenetre_.Label_hauteur_Panel_Autex->SetCaption(std::to_string(HAUTEUR_PANNEAU));
  DISPOSITION_PANNEAUX_AUTEX();
}

void Autex::EFFACE_FENETRES_M_ET_SX() {
  for (int k = 0; k <= SLOTS_EXISTANTS(); ++k) {
    fenetre_.Memo_Reception(k)->Clear();
    TEXTE_FENETRE[size_t(k)].clear();
    fenetre_.Secondary_channel(k)->SetCaption("");
  }
}

void Autex::RAZ_COMPTEURS_AFFICHES() {
  auto& f = fenetre_;
  if (STATION_MAITRE != 1) {
    f.Panel_Etat_utilisateurs->SetVisible(false);
    return;
  }
  f.Panel_Etat_utilisateurs->SetVisible(true);
  for (int n = 1; n <= 12; ++n) {
    f.Indicatif(n)->SetVisible(false);
    f.Nombre_de_repetitions(n)->SetVisible(false);
    f.Indicatif(n)->SetCaption("");
    f.Nombre_de_repetitions(n)->SetCaption("0");
  }
  for (int n = 1; n <= SLOTS_EXISTANTS(); ++n) {
    f.Indicatif(n)->SetVisible(true);
    f.Nombre_de_repetitions(n)->SetVisible(true);
  }
}

// ---------------------------------------------------------------------------------------------------------
// Received texts
// ---------------------------------------------------------------------------------------------------------

void Autex::AFFICHE_MESSAGE_SLOT(int k, std::string texte) {
  // 1.
  if (texte.empty() || k < 0 || k > 12) return;
  hote_.Classe_priorite(platform::kRealtimePriorityClass);
  // 2.
  RECEPTION_FICHIER_SMS(k, texte);
  // 3.
  const std::string ancien = TEXTE_FENETRE[size_t(k)];
  if (TRACE_ACTIVE == 1)
    TRACE_LIGNE(HEURE_SYSTEME() + (k == 0 ? std::string(" MEMO_I M ") : std::string(" MEMO_I DE S").append(std::to_string(k)) + " ") +
                texte);
  // 4.
  if (!texte.empty() && texte.back() == '\r') texte += '\n';
  if (!ancien.empty() && ancien.back() == '\n' && !texte.empty() && texte.front() == '\n') texte.erase(0, 1);
  // 5.
  std::string propre;
  propre.reserve(texte.size());
  for (const char c : texte)
    if (static_cast<unsigned char>(c) >= 32 || c == '\r' || c == '\n') propre.push_back(c);
  // 6.
  gui::TMemo* memo = fenetre_.Memo_Reception(k);
  memo->SetSelStart(int(ancien.size()));
  memo->SetSelLength(0);
  memo->SetSelText(propre);
  memo->Repaint();
  // 7.
  TEXTE_FENETRE[size_t(k)] = ancien + propre;
  hote_.Classe_priorite(platform::kNormalPriorityClass);
}

void Autex::RECEPTION_FICHIER_SMS(int k, std::string& texte) {
  // The text stream of a participant carries in-band sequences: the byte 3 followed by a code. A doubled 3 is
  // one data byte 3; the sequences of short messages and files (codes 1, 4, 6, 0 and 5) are interpreted by the
  // short-message and file reception, which keeps its state in TAMPON_SEGMENT and the per-participant flags.
  std::string& tampon = TAMPON_SEGMENT[size_t(k)];
  int precedent = tampon.empty() ? -1 : static_cast<unsigned char>(tampon.back());
  std::string affichage;
  std::string segment;
  for (const char ch : texte) {
    const int c = static_cast<unsigned char>(ch);
    if (REPRISE_SEQUENCE[size_t(k)] == 1) {
      REPRISE_SEQUENCE[size_t(k)] = 0;
      precedent = -1;
    }
    if (precedent == 3 && c == 3) {
      // The second 3 of a pair: the first one stands for the data byte, detection restarts.
      REPRISE_SEQUENCE[size_t(k)] = 1;
    } else {
      segment.push_back(ch);
    }
    affichage.push_back(ch);
    if (REPRISE_SEQUENCE[size_t(k)] == 0) precedent = c;
  }
  // Only the last character is needed to pair a 3 across chunks.
  tampon += segment;
  if (tampon.size() > 1) tampon.erase(0, tampon.size() - 1);
  texte = affichage;
}

}  // namespace autex
