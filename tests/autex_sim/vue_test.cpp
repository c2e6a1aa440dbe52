#include "tests/autex_sim/vue_test.h"

#include <algorithm>

namespace autexsim {

using enum autex::NomElement;

namespace {

// The key of an element: the Master's panel is participant 0's panel.
std::pair<autex::NomElement, int> cle(const autex::Element& e) {
  if (e.nom == Panel_Master) return {Panel_participant, 0};
  return {e.nom, e.k};
}

// An element as the window's definition has it.
VueTest::Etat initial(const std::pair<autex::NomElement, int>& c) {
  VueTest::Etat e;
  const int k = c.second;
  switch (c.first) {
    case Panel_AUTEX: e.limites = platform::Bounds(0, 600, 672, 320); break;
    case Panel_participant: e.limites = platform::Bounds((k % 2) * 336, 80 + (k / 2) * 240, 336, 240); break;
    case Panel_inner: e.limites = platform::Bounds(0, 217, 336, 23); break;
    case Memo_Reception: e.limites = platform::Bounds(2, 19, 332, 199); break;
    case Panel_AUTEX_SMS: e.limites = platform::Bounds(672, 7, 336, 766); break;
    case Panel_Entete: e.limites = platform::Bounds(0, 0, 336, 28); break;
    case RichEdit_SMS: e.limites = platform::Bounds(1, 28, 334, 737); break;
    case Label_Utilisateur: e.texte = std::string("S").append(std::to_string(k)); break;
    case Nombre_de_repetitions: e.texte = "0"; break;
    case FIN_REUNION:
    case SORTIR_DE_LA_REUNION:
    case Partipants_Autex_2: e.enfonce = true; break;
    default: break;
  }
  return e;
}

// The other buttons of an element's group; a button of a group does not go up by itself.
std::vector<autex::Element> groupe(const autex::Element& e) {
  switch (e.nom) {
    case LANCEMENT_REUNION: return {FIN_REUNION};
    case FIN_REUNION: return {LANCEMENT_REUNION};
    case ENTRER_DANS_LA_REUNION: return {{SORTIR_DE_LA_REUNION, e.k}};
    case SORTIR_DE_LA_REUNION: return {{ENTRER_DANS_LA_REUNION, e.k}};
    case Partipants_Autex_2:
    case Partipants_Autex_4:
    case Partipants_Autex_7:
    case Partipants_Autex_13: {
      std::vector<autex::Element> g;
      for (const auto n : {Partipants_Autex_2, Partipants_Autex_4, Partipants_Autex_7, Partipants_Autex_13})
        if (n != e.nom) g.emplace_back(n);
      return g;
    }
    default: return {};
  }
}

// Line ends as a rich edit keeps them: CR LF, a lone CR and a lone LF each end one paragraph, shown as CR LF.
std::string paragraphes(const std::string& s) {
  std::string r;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' || s[i] == '\n') {
      r += "\r\n";
      if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else {
      r += s[i];
    }
  }
  return r;
}

}  // namespace

VueTest::VueTest() = default;

VueTest::Etat& VueTest::etat(const autex::Element& e) const {
  const auto c = cle(e);
  auto it = etats_.find(c);
  if (it == etats_.end()) it = etats_.emplace(c, initial(c)).first;
  return it->second;
}

void VueTest::Fixe_texte(const autex::Element& e, const std::string& texte) {
  Etat& s = etat(e);
  if (e.nom == RichEdit_SMS) {
    s.texte = paragraphes(texte);
    sms.clear();
    if (!s.texte.empty()) sms.push_back({s.texte, platform::clBlack, false});
  } else {
    s.texte = texte;
  }
  s.debut_selection = 0;
}

void VueTest::Fixe_enfonce(const autex::Element& e, bool enfonce) {
  Etat& s = etat(e);
  const std::vector<autex::Element> autres = groupe(e);
  if (enfonce == s.enfonce) return;
  if (s.enfonce && !autres.empty()) return;
  s.enfonce = enfonce;
  if (enfonce)
    for (const autex::Element& a : autres) etat(a).enfonce = false;
}

void VueTest::Fixe_limites(const autex::Element& e, const platform::TRect& limites) {
  etat(e).limites = platform::Bounds(limites.Left, limites.Top, std::max(0, limites.Width()),
                                     std::max(0, limites.Height()));
}

void VueTest::Insere_texte(const autex::Element& e, int position, const std::string& texte) {
  Etat& s = etat(e);
  const size_t p = size_t(std::clamp(position, 0, int(s.texte.size())));
  std::string ajout = texte;
  if (s.longueur_max > 0) ajout.resize(std::min(ajout.size(), size_t(std::max(0, s.longueur_max - int(s.texte.size())))));
  s.texte.insert(p, ajout);
  s.debut_selection = int(p + ajout.size());
}

void VueTest::Fixe_debut_selection(const autex::Element& e, int position) {
  Etat& s = etat(e);
  s.debut_selection = std::clamp(position, 0, int(s.texte.size()));
}

void VueTest::Ajoute_texte_SMS(const std::string& texte, platform::TColor couleur, bool gras) {
  const std::string t = paragraphes(texte);
  if (t.empty()) return;
  etat(RichEdit_SMS).texte += t;
  if (!sms.empty() && sms.back().Color == couleur && sms.back().Gras == gras)
    sms.back().Text += t;
  else
    sms.push_back({t, couleur, gras});
}

}  // namespace autexsim
