#include "autex/textes_encadres.h"

#include "autex/traitement_chaines.h"

namespace autex {

std::string TRAME_MESSAGE_AUTEX(std::string_view texte) {
  std::string t(texte);
  SUPPRIMER_CARACTERE(OCTET_CONTROLE, t);
  std::string trame;
  trame.reserve(t.size() + 4);
  trame += OCTET_CONTROLE;
  trame += CODE_MESSAGE;
  trame += t;
  trame += OCTET_CONTROLE;
  trame += CODE_FIN;
  return trame;
}

bool TRAME_FICHIER_AUTEX(std::string_view indicatif, std::string_view nom_fichier, std::string_view donnees,
                         bool compression, std::string& trame, bool& compresse) {
  trame.clear();
  compresse = false;
  std::string d(donnees);
  if (compression) {
    std::string z;
    COMPRESSER_CHAINE(d, z);
    if (z.size() < d.size()) {
      d = std::move(z);
      compresse = true;
    }
  }
  DOUBLER_CARACTERE(d, OCTET_CONTROLE);
  const int64_t n = int64_t(indicatif.size()) + 1 + int64_t(nom_fichier.size()) + 1 + int64_t(d.size()) + 2;
  if (n > TAILLE_MAX_TRAME_FICHIER) {
    compresse = false;
    return false;
  }
  std::string taille;
  ENTIER_VERS_TROIS_OCTETS(n, taille);
  trame.reserve(size_t(n) + 5);
  trame += OCTET_CONTROLE;
  trame += compresse ? CODE_FICHIER_COMPRESSE : CODE_FICHIER;
  trame += taille;
  trame += indicatif;
  trame += '\0';
  trame += nom_fichier;
  trame += '\0';
  trame += d;
  trame += OCTET_CONTROLE;
  trame += CODE_FIN;
  return true;
}

std::string TRAME_ARRET_AUTEX() { return std::string{OCTET_CONTROLE, CODE_ARRET}; }

std::string EchoSansFichier::Filtre(std::string_view morceau, std::string_view mot_fichier) {
  // A file's name is at most 230 characters (the sender refuses longer ones): a longer field is data.
  constexpr size_t NOM_MAX = 260;
  std::string vu;
  const auto montre = [&](char c) {
    vu.push_back(c);
    debut_de_ligne_ = c == '\r' || c == '\n';
  };
  const auto fin_de_ligne = [&] {
    if (debut_de_ligne_) return;
    montre('\r');
    montre('\n');
  };
  const auto debut_fichier = [&] {
    etat_ = Etat::Longueur;
    champ_.clear();
  };
  for (const char c : morceau) {
    switch (etat_) {
      case Etat::Texte:
        if (c == OCTET_CONTROLE)
          etat_ = Etat::Controle;
        else
          montre(c);
        break;
      case Etat::Controle:
        etat_ = Etat::Texte;
        if (c == CODE_FICHIER || c == CODE_FICHIER_COMPRESSE)
          debut_fichier();
        else if (c == CODE_FIN || c == CODE_MESSAGE || c == CODE_ARRET)
          fin_de_ligne();  // a message starts, ends or stops: it has its line
        else
          montre(c);
        break;
      case Etat::Longueur:
        champ_.push_back(c);
        if (champ_.size() == 3) etat_ = Etat::Indicatif;
        break;
      case Etat::Indicatif:
        if (c == '\0') {
          etat_ = Etat::Nom;
          champ_.clear();
        } else if (c == OCTET_CONTROLE) {
          etat_ = Etat::Donnees_controle;
        }
        break;
      case Etat::Nom:
        if (c == '\0' || champ_.size() > NOM_MAX) {
          fin_de_ligne();
          for (const char n : std::string("[").append(mot_fichier) + ": " + Nom_affichable(champ_) + "]\r\n") montre(n);
          etat_ = Etat::Donnees;
        } else {
          champ_.push_back(c);
        }
        break;
      case Etat::Donnees:
        if (c == OCTET_CONTROLE) etat_ = Etat::Donnees_controle;
        break;
      case Etat::Donnees_controle:
        // 3, 3 is a data byte 3; 3, 0 ends the file; 3, 5 stops it; a message or a file that starts ends it too.
        if (c == OCTET_CONTROLE)
          etat_ = Etat::Donnees;
        else if (c == CODE_FIN || c == CODE_ARRET || c == CODE_MESSAGE)
          etat_ = Etat::Texte;
        else if (c == CODE_FICHIER || c == CODE_FICHIER_COMPRESSE)
          debut_fichier();
        else
          etat_ = Etat::Donnees;
        break;
    }
  }
  return vu;
}

}  // namespace autex
