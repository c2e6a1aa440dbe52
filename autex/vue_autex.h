#pragma once
// VueAutex: everything the AUTEX side shows or reads on the station's main window, added to its host
// (autex/hote_autex.h). The window's elements are named as on the window; the operations are the few the
// protocol needs: texts (captions of labels, buttons and panels; contents of edits and memos), hints,
// visibility, enabled and down states, bounds, the focus, and appending text to a memo or to the short-message
// window. The station's main window implements it over its controls; the simulation implements it over plain
// values, so that the protocol builds, runs and is tested without any window.
//
// Down states follow the window's button groups: putting a button down puts up the other buttons of its group
// (LANCEMENT_REUNION and FIN_REUNION; the ENTRER_DANS_LA_REUNION and SORTIR_DE_LA_REUNION of one slot; the
// participant counts Partipants_Autex_*), and a down button of those groups does not go up by itself.
#include <cstdint>
#include <string>

#include "autex/hote_autex.h"
#include "platform/colors.h"
#include "platform/geometry.h"

namespace autex {

// The elements of the main window that the AUTEX side writes or reads.
enum class NomElement : uint8_t {
  Fiche_principale,  // the window itself
  // Lines of the AUTEX panel.
  Etat_liaison,
  Label_Info_AUTEX,
  Indique_TX_AUTEX,
  Nom_du_fichier_RX_AUTEX,
  Label_hauteur_Panel_Autex,
  // Settings.
  Edit_INDICATIF,
  DIVERS,
  GroupBox_Parameters,
  Partipants_Autex_2,
  Partipants_Autex_4,
  Partipants_Autex_7,
  Partipants_Autex_13,
  Sur_3_colonnes_AUTEX,
  // The Master's buttons and the reservation of slot 2.
  LANCEMENT_REUNION,
  FIN_REUNION,
  AUCUN_CQ_S2,
  // Panels.
  Panel_AUTEX,
  Panel_Master,
  Panel_Entete,
  Panel_AUTEX_SMS,
  Panel_Etat_utilisateurs,
  RichEdit_SMS,
  // One per participant: 0 for the Master, 1 to 12 for the user slots.
  Panel_participant,
  Panel_inner,
  Memo_Reception,
  Secondary_channel,
  // One per user slot, 1 to 12.
  Label_Utilisateur,
  Label_CQ,
  ENTRER_DANS_LA_REUNION,
  SORTIR_DE_LA_REUNION,
  Indicatif,
  Nombre_de_repetitions,
  // The station's text windows.
  Memo_editeur,
  Memo_emission,
  Memo_Reception_memo,
  // Controls whose captions and hints only the language routine (TEXTES_FENETRE_AUTEX) sets.
  Efface_toutes_les_fenetres_M_et_Sx,
  Options_AUTEX,
  Sauve_toutes_les_fenetres_M_et_Sx,
  Hauteur_du_Panel_Autex,
  Label_canal_secondaire,
  Label_canal_secondaire2,
  Label_Indicatif,
  Label_divers2,
  Label_Panneau_Utilisateurs,
  Label_Master,
  ARRET_TRANSMISSION_AUTEX,
  Envoi_texte_sur_CR,
  Compression_du_fichier_transmis,
  ENVOI_MESSAGE_ARQ,
  Label_TX_FICHIER,
  Label_RX_FICHIER,
  Fichier_TX_AUTEX,
  TRANSMISSION_FICHIER_AUTEX,
  Ouverture_du_fichier_AUTEX,
};

// An element and, for the ones that exist per participant or per slot, its index (0 for the others).
struct Element {
  NomElement nom;
  int k = 0;
  Element(NomElement n, int index = 0) : nom(n), k(index) {}  // NOLINT: an element name is an element
  friend bool operator==(const Element&, const Element&) = default;
};

class VueAutex : public HoteAutex {
 public:
  // The caption of a label, button, panel or group; the text of an edit or a memo.
  virtual std::string Texte(const Element& e) = 0;
  virtual void Fixe_texte(const Element& e, const std::string& texte) = 0;
  virtual std::string Aide(const Element& e) = 0;
  virtual void Fixe_aide(const Element& e, const std::string& texte) = 0;
  virtual bool Visible(const Element& e) = 0;
  virtual void Fixe_visible(const Element& e, bool visible) = 0;
  virtual bool Actif(const Element& e) = 0;  // enabled
  virtual void Fixe_actif(const Element& e, bool actif) = 0;
  virtual bool Enfonce(const Element& e) = 0;  // down (the speed buttons)
  virtual void Fixe_enfonce(const Element& e, bool enfonce) = 0;
  // Paints the element at once.
  virtual void Redessine(const Element& e) = 0;
  // Position and size in the element's parent.
  virtual platform::TRect Limites(const Element& e) = 0;
  virtual void Fixe_limites(const Element& e, const platform::TRect& limites) = 0;
  // The height of the main window's client area.
  virtual void Fixe_hauteur_client(int hauteur) = 0;

  // Edits and memos: inserts the text at a position of the element's text (the caret follows it), limits the
  // length of what is typed, moves the caret.
  virtual void Insere_texte(const Element& e, int position, const std::string& texte) = 0;
  virtual void Fixe_longueur_max(const Element& e, int longueur) = 0;
  virtual void Fixe_debut_selection(const Element& e, int position) = 0;
  // The short-message window: appends the text at its end, meant in that colour (blue for the station's own
  // texts, black for received ones: the window shows them in shades that read on its background), bold or not.
  virtual void Ajoute_texte_SMS(const std::string& texte, platform::TColor couleur, bool gras) = 0;

  // The keyboard focus: whether the element has it; gives it to the element when the element can take it.
  virtual bool A_le_focus(const Element& e) = 0;
  virtual void Prend_focus(const Element& e) = 0;
  // The element's own window (its HWND), nullptr while it has none.
  virtual void* Handle_fenetre(const Element& e) = 0;
};

}  // namespace autex
