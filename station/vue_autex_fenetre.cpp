#include "station/vue_autex_fenetre.h"

#include <stdexcept>
#include <string>

namespace station {

using enum autex::NomElement;

gui::TControl& Controle_fenetre(forms::TForm1& f, const autex::Element& e) {
  gui::TControl* c = nullptr;
  switch (e.nom) {
    case Fiche_principale: c = &f; break;
    case Etat_liaison: c = f.Etat_liaison; break;
    case Label_Info_AUTEX: c = f.Label_Info_AUTEX; break;
    case Indique_TX_AUTEX: c = f.Indique_TX_AUTEX; break;
    case Nom_du_fichier_RX_AUTEX: c = f.Nom_du_fichier_RX_AUTEX; break;
    case Label_hauteur_Panel_Autex: c = f.Label_hauteur_Panel_Autex; break;
    case Edit_INDICATIF: c = f.Edit_INDICATIF; break;
    case DIVERS: c = f.DIVERS; break;
    case GroupBox_Parameters: c = f.GroupBox_Parameters; break;
    case Partipants_Autex_2: c = f.Partipants_Autex_2; break;
    case Partipants_Autex_4: c = f.Partipants_Autex_4; break;
    case Partipants_Autex_7: c = f.Partipants_Autex_7; break;
    case Partipants_Autex_13: c = f.Partipants_Autex_13; break;
    case Sur_3_colonnes_AUTEX: c = f.Sur_3_colonnes_AUTEX; break;
    case LANCEMENT_REUNION: c = f.LANCEMENT_REUNION; break;
    case FIN_REUNION: c = f.FIN_REUNION; break;
    case AUCUN_CQ_S2: c = f.AUCUN_CQ_S2; break;
    case Panel_AUTEX: c = f.Panel_AUTEX; break;
    case Panel_Master: c = f.Panel_Master; break;
    case Panel_Entete: c = f.Panel_Entete; break;
    case Panel_AUTEX_SMS: c = f.Panel_AUTEX_SMS; break;
    case Panel_Etat_utilisateurs: c = f.Panel_Etat_utilisateurs; break;
    case RichEdit_SMS: c = f.RichEdit_SMS; break;
    case Panel_participant: c = f.Panel_participant(e.k); break;
    case Panel_inner: c = f.Panel_inner(e.k); break;
    case Memo_Reception: c = f.Memo_Reception(e.k); break;
    case Secondary_channel: c = f.Secondary_channel(e.k); break;
    case Label_Utilisateur: c = f.Label_Utilisateur(e.k); break;
    case Label_CQ: c = f.Label_CQ(e.k); break;
    case ENTRER_DANS_LA_REUNION: c = f.ENTRER_DANS_LA_REUNION(e.k); break;
    case SORTIR_DE_LA_REUNION: c = f.SORTIR_DE_LA_REUNION(e.k); break;
    case Indicatif: c = f.Indicatif(e.k); break;
    case Nombre_de_repetitions: c = f.Nombre_de_repetitions(e.k); break;
    case Memo_editeur: c = f.Memo_editeur; break;
    case Memo_emission: c = f.Memo_emission; break;
    case Memo_Reception_memo: c = f.Memo_Reception_memo; break;
    case Efface_toutes_les_fenetres_M_et_Sx: c = f.Efface_toutes_les_fenetres_M_et_Sx; break;
    case Options_AUTEX: c = f.Options_AUTEX; break;
    case Sauve_toutes_les_fenetres_M_et_Sx: c = f.Sauve_toutes_les_fenetres_M_et_Sx; break;
    case Hauteur_du_Panel_Autex: c = f.Hauteur_du_Panel_Autex; break;
    case Label_canal_secondaire: c = f.Label_canal_secondaire; break;
    case Label_canal_secondaire2: c = f.Label_canal_secondaire2; break;
    case Label_Indicatif: c = f.Label_Indicatif; break;
    case Label_divers2: c = f.Label_divers2; break;
    case Label_Panneau_Utilisateurs: c = f.Label_Panneau_Utilisateurs; break;
    case Label_Master: c = f.Label_Master; break;
    case ARRET_TRANSMISSION_AUTEX: c = f.ARRET_TRANSMISSION_AUTEX; break;
    case Envoi_texte_sur_CR: c = f.Envoi_texte_sur_CR; break;
    case Compression_du_fichier_transmis: c = f.Compression_du_fichier_transmis; break;
    case ENVOI_MESSAGE_ARQ: c = f.ENVOI_MESSAGE_ARQ; break;
    case Label_TX_FICHIER: c = f.Label_TX_FICHIER; break;
    case Label_RX_FICHIER: c = f.Label_RX_FICHIER; break;
    case Fichier_TX_AUTEX: c = f.Fichier_TX_AUTEX; break;
    case TRANSMISSION_FICHIER_AUTEX: c = f.TRANSMISSION_FICHIER_AUTEX; break;
    case Ouverture_du_fichier_AUTEX: c = f.Ouverture_du_fichier_AUTEX; break;
  }
  if (!c) throw std::logic_error("The main window has no AUTEX element " + std::to_string(int(e.nom)));
  return *c;
}

std::string VueAutexFenetre::Texte(const autex::Element& e) { return Controle(e).Caption(); }
void VueAutexFenetre::Fixe_texte(const autex::Element& e, const std::string& texte) { Controle(e).SetCaption(texte); }
std::string VueAutexFenetre::Aide(const autex::Element& e) { return Controle(e).Hint(); }
void VueAutexFenetre::Fixe_aide(const autex::Element& e, const std::string& texte) { Controle(e).SetHint(texte); }
bool VueAutexFenetre::Visible(const autex::Element& e) { return Controle(e).Visible(); }
void VueAutexFenetre::Fixe_visible(const autex::Element& e, bool visible) { Controle(e).SetVisible(visible); }
bool VueAutexFenetre::Actif(const autex::Element& e) { return Controle(e).Enabled(); }
void VueAutexFenetre::Fixe_actif(const autex::Element& e, bool actif) { Controle(e).SetEnabled(actif); }
bool VueAutexFenetre::Enfonce(const autex::Element& e) { return Comme<gui::TSpeedButton>(e).Down(); }
void VueAutexFenetre::Fixe_enfonce(const autex::Element& e, bool enfonce) { Comme<gui::TSpeedButton>(e).SetDown(enfonce); }
void VueAutexFenetre::Redessine(const autex::Element& e) { Controle(e).Repaint(); }
platform::TRect VueAutexFenetre::Limites(const autex::Element& e) { return Controle(e).BoundsRect(); }
void VueAutexFenetre::Fixe_limites(const autex::Element& e, const platform::TRect& limites) {
  Controle(e).SetBoundsRect(limites);
}
void VueAutexFenetre::Fixe_hauteur_client(int hauteur) { fenetre_.SetClientHeight(hauteur); }

void VueAutexFenetre::Insere_texte(const autex::Element& e, int position, const std::string& texte) {
  auto& edit = Comme<gui::TCustomEdit>(e);
  edit.SetSelStart(position);
  edit.SetSelLength(0);
  edit.SetSelText(texte);
}

void VueAutexFenetre::Fixe_longueur_max(const autex::Element& e, int longueur) {
  Comme<gui::TCustomEdit>(e).SetMaxLength(longueur);
}

void VueAutexFenetre::Fixe_debut_selection(const autex::Element& e, int position) {
  Comme<gui::TCustomEdit>(e).SetSelStart(position);
}

void VueAutexFenetre::Ajoute_texte_SMS(const std::string& texte, platform::TColor couleur, bool gras) {
  sms_.Ajoute(texte, couleur, gras);
}

void* VueAutexFenetre::Handle_fenetre(const autex::Element& e) {
  auto& c = Comme<gui::TWinControl>(e);
  return c.HandleAllocated() ? static_cast<void*>(c.WindowHandle()) : nullptr;
}

}  // namespace station
