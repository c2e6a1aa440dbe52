#pragma once
// The AUTEX view's window part: each element the AUTEX side names (autex/vue_autex.h) is the main window's
// control of that name, and each operation is the control's own (caption or text, hint, visibility, enabled
// and down states, bounds, text insertion). The host part (send queue, paced writer, display of received and
// sent text, dialogs) and the focus, which depends on whether the window is in front, are left to the class that
// completes it: the main window's own view.
#include <stdexcept>
#include <string>

#include "autex/vue_autex.h"
#include "station/fenetre_sms.h"
#include "station/forms/form1.h"

namespace station {

// The main window's control of an AUTEX element (an element the window does not have is a programming error:
// std::logic_error).
gui::TControl& Controle_fenetre(forms::TForm1& fenetre, const autex::Element& e);

class VueAutexFenetre : public autex::VueAutex {
 public:
  explicit VueAutexFenetre(forms::TForm1& fenetre) : fenetre_(fenetre), sms_(*fenetre.RichEdit_SMS) {}

  std::string Texte(const autex::Element& e) override;
  void Fixe_texte(const autex::Element& e, const std::string& texte) override;
  std::string Aide(const autex::Element& e) override;
  void Fixe_aide(const autex::Element& e, const std::string& texte) override;
  bool Visible(const autex::Element& e) override;
  void Fixe_visible(const autex::Element& e, bool visible) override;
  bool Actif(const autex::Element& e) override;
  void Fixe_actif(const autex::Element& e, bool actif) override;
  bool Enfonce(const autex::Element& e) override;
  void Fixe_enfonce(const autex::Element& e, bool enfonce) override;
  void Redessine(const autex::Element& e) override;
  platform::TRect Limites(const autex::Element& e) override;
  void Fixe_limites(const autex::Element& e, const platform::TRect& limites) override;
  void Fixe_hauteur_client(int hauteur) override;
  void Insere_texte(const autex::Element& e, int position, const std::string& texte) override;
  void Fixe_longueur_max(const autex::Element& e, int longueur) override;
  void Fixe_debut_selection(const autex::Element& e, int position) override;
  void Ajoute_texte_SMS(const std::string& texte, platform::TColor couleur, bool gras) override;
  void* Handle_fenetre(const autex::Element& e) override;

 protected:
  gui::TControl& Controle(const autex::Element& e) const { return Controle_fenetre(fenetre_, e); }
  // The control of an element as the kind of control an operation needs (an edit, a speed button, ...).
  template <class T>
  T& Comme(const autex::Element& e) const {
    auto* c = dynamic_cast<T*>(&Controle(e));
    if (!c)
      throw std::logic_error("The AUTEX element " + std::to_string(int(e.nom)) + " (" + Controle(e).ClassName() +
                             ") has no such operation");
    return *c;
  }

 private:
  forms::TForm1& fenetre_;
  FenetreSMS sms_;
};

}  // namespace station
