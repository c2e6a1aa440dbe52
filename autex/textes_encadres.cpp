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

namespace {

// A frame starts at q: the control byte followed by the code of a message, a file or a stop.
bool debut_de_trame(std::string_view f, size_t q) {
  if (q + 1 >= f.size() || f[q] != OCTET_CONTROLE) return false;
  const char c = f[q + 1];
  return c == CODE_MESSAGE || c == CODE_FICHIER || c == CODE_FICHIER_COMPRESSE || c == CODE_ARRET;
}

// What a whole file frame says of its file: its name and its size once its data is read back as the sender
// read it (3, 3 is one byte 3; a compressed file is inflated).
void lire_fichier(std::string_view trame, TrameEnFile& t) {
  std::string_view corps = trame.substr(5);
  const size_t fin_indicatif = corps.find('\0');
  if (fin_indicatif == std::string_view::npos) return;
  const size_t fin_nom = corps.find('\0', fin_indicatif + 1);
  if (fin_nom == std::string_view::npos) return;
  t.texte = std::string(corps.substr(fin_indicatif + 1, fin_nom - fin_indicatif - 1));
  const std::string_view doublees = corps.substr(fin_nom + 1);
  if (doublees.size() < 2 || doublees.substr(doublees.size() - 2) != std::string_view("\x03\x00", 2)) return;
  std::string donnees;
  donnees.reserve(doublees.size());
  for (size_t q = 0; q + 2 < doublees.size(); ++q) {
    donnees.push_back(doublees[q]);
    if (doublees[q] == OCTET_CONTROLE && doublees[q + 1] == OCTET_CONTROLE) ++q;
  }
  if (trame[1] == CODE_FICHIER_COMPRESSE) {
    std::string clair;
    if (DECOMPRESSER_BORNE(donnees, clair, size_t(TAILLE_MAX_FICHIER_ENVOYE)) != Decompression::Faite) return;
    t.taille = int64_t(clair.size());
  } else {
    t.taille = int64_t(donnees.size());
  }
}

}  // namespace

std::vector<TrameEnFile> DECOUPE_TRAMES(std::string_view f) {
  std::vector<TrameEnFile> trames;
  size_t p = 0;
  while (p < f.size()) {
    TrameEnFile t;
    if (!debut_de_trame(f, p)) {
      size_t q = p + 1;
      while (q < f.size() && !debut_de_trame(f, q)) ++q;
      t.texte = std::string(f.substr(p, q - p));
      t.longueur = q - p;
    } else if (f[p + 1] == CODE_ARRET) {
      t.genre = TrameEnFile::Genre::Arret;
      t.longueur = 2;
    } else if (f[p + 1] == CODE_MESSAGE) {
      t.genre = TrameEnFile::Genre::Message;
      size_t q = p + 2;
      while (q < f.size() && !(f[q] == OCTET_CONTROLE && q + 1 < f.size() && f[q + 1] == CODE_FIN) &&
             !debut_de_trame(f, q))
        ++q;
      t.texte = std::string(f.substr(p + 2, q - p - 2));
      t.longueur = q + 1 < f.size() && f[q + 1] == CODE_FIN && f[q] == OCTET_CONTROLE ? q + 2 - p : q - p;
    } else {
      t.genre = TrameEnFile::Genre::Fichier;
      t.longueur = f.size() - p;
      if (f.size() - p >= 5) {
        const uint64_t n = uint64_t(uint32_t(Trois_octets_vers_entier(f.substr(p + 2, 3))));
        if (5 + n <= f.size() - p) {
          t.longueur = size_t(5 + n);
          lire_fichier(f.substr(p, t.longueur), t);
        }
      }
    }
    trames.push_back(std::move(t));
    p += trames.back().longueur;
  }
  return trames;
}

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
