// EMISSION_AUTEX: the framed texts of the send queue. The queue is the one string TEXTE_A_EMETTRE: the main
// window appends framed texts to it (messages, files) and its stop replaces it; the transmit side takes its
// chunks off its front. Beside it the frames it holds are followed, so that the end of a link drops the frame
// that it cuts off (its rest would reach the next link as text) and keeps those queued behind it for the next
// link, and so that the operator is told, in the short-message window and its report, what did not go and
// what waits.
#include <algorithm>
#include <vector>

#include "autex/traduction_autex.h"

namespace autex {

namespace {
const std::string CRLF = "\r\n";
// What sets the lines after the first of an entry in (as a received message's are).
const std::string RETRAIT = "  ";
using Genre = TrameEnFile::Genre;
// The most characters of a message that a list of waiting frames shows of it.
constexpr size_t DEBUT_MONTRE = 60;
}  // namespace

int Autex::SLOT_PROPRE() const {
  if (STATION_MAITRE == 1) return 0;
  return reunion() && NUMERO_SLOT >= 1 && NUMERO_SLOT <= 12 ? NUMERO_SLOT : 1;
}

void Autex::SUIVI_FILE_EMISSION() {
  if (TEXTE_A_EMETTRE == FILE_VUE) return;
  uint64_t depuis = FLUX_PRIS;
  std::vector<TrameEnFile> lachees;
  bool arret = false;
  if (TEXTE_A_EMETTRE.size() >= FILE_VUE.size() && TEXTE_A_EMETTRE.compare(0, FILE_VUE.size(), FILE_VUE) == 0) {
    // Appended to: the frames not begun are read again with what follows them (a frame may come in pieces).
    while (!ARTICLES_EMIS.empty() && ARTICLES_EMIS.back().debut >= FLUX_PRIS) ARTICLES_EMIS.pop_back();
    if (!ARTICLES_EMIS.empty()) depuis = std::max(depuis, ARTICLES_EMIS.back().debut + ARTICLES_EMIS.back().longueur);
  } else {
    // Replaced (the stop): the frame that had begun to go is cut short there, those that had not are dropped.
    arret = TEXTE_A_EMETTRE.rfind(TRAME_ARRET_AUTEX(), 0) == 0;
    while (!ARTICLES_EMIS.empty() && ARTICLES_EMIS.back().debut >= FLUX_PRIS) {
      if (ARTICLES_EMIS.back().trame.genre != Genre::Arret) lachees.insert(lachees.begin(), ARTICLES_EMIS.back().trame);
      ARTICLES_EMIS.pop_back();
    }
    if (!ARTICLES_EMIS.empty()) {
      ArticleEmis& a = ARTICLES_EMIS.back();
      if (a.debut + a.longueur > FLUX_PRIS) {
        a.longueur = FLUX_PRIS - a.debut;
        a.coupe = arret ? T("stopped by me", "arr\xEAt\xE9 par moi")
                        : T("cut short by what was queued in its place",
                            "interrompu par ce qui a \xE9t\xE9 mis \xE0 sa place");
      }
    }
  }
  const size_t decalage = size_t(depuis - FLUX_PRIS);
  if (decalage <= TEXTE_A_EMETTRE.size()) {
    for (TrameEnFile& t : DECOUPE_TRAMES(std::string_view(TEXTE_A_EMETTRE).substr(decalage))) {
      ArticleEmis a;
      a.debut = depuis;
      a.longueur = t.longueur;
      a.trame = std::move(t);
      depuis += a.longueur;
      ARTICLES_EMIS.push_back(std::move(a));
    }
  }
  FILE_VUE = TEXTE_A_EMETTRE;
  // The frame cut short is told (once what went of it is acknowledged), then what was dropped behind it.
  BILAN_ARTICLES_EMIS();
  if (!lachees.empty())
    ANNONCE_TRAMES(arret ? T("Dropped by <Stop!>, not sent", "Abandonn\xE9 par <Stop!>, non envoy\xE9")
                         : T("Replaced, not sent", "Remplac\xE9, non envoy\xE9"),
                   lachees);
}

void Autex::MORCEAU_PRIS(size_t n) {
  FLUX_PRIS += n;
  MORCEAUX_EN_VOL.push_back(n);
  FILE_VUE = TEXTE_A_EMETTRE;
}

void Autex::MORCEAU_ACQUITTE() {
  if (MORCEAUX_EN_VOL.empty()) return;
  FLUX_ACQUITTE += MORCEAUX_EN_VOL.front();
  MORCEAUX_EN_VOL.pop_front();
  SUIVI_FILE_EMISSION();
  BILAN_ARTICLES_EMIS();
}

void Autex::BILAN_ARTICLES_EMIS() {
  // The frames acknowledged whole are gone; one cut short is told once all that went of it is acknowledged.
  while (!ARTICLES_EMIS.empty()) {
    const ArticleEmis& a = ARTICLES_EMIS.front();
    if (FLUX_ACQUITTE < a.debut + a.longueur) break;
    if (!a.coupe.empty()) ANNONCE_ARTICLE_COUPE(a, a.coupe);
    ARTICLES_EMIS.pop_front();
  }
}

void Autex::FIN_LIEN_EMISSION(const std::string& raison) {
  SUIVI_FILE_EMISSION();
  // What had begun to go and is not acknowledged whole is cut off by this end: told, and the rest of the one
  // still in the queue dropped. Its chunk in flight is never sent again: the peer may have it already.
  uint64_t reste = 0;
  while (!ARTICLES_EMIS.empty() && ARTICLES_EMIS.front().debut < FLUX_PRIS) {
    const ArticleEmis& a = ARTICLES_EMIS.front();
    const uint64_t fin = a.debut + a.longueur;
    if (fin > FLUX_PRIS) reste = fin - FLUX_PRIS;
    ANNONCE_ARTICLE_COUPE(a, a.coupe.empty() ? raison : a.coupe);
    ARTICLES_EMIS.pop_front();
  }
  // A stop that had not gone has nothing left to stop.
  while (!ARTICLES_EMIS.empty() && ARTICLES_EMIS.front().trame.genre == Genre::Arret) {
    reste += ARTICLES_EMIS.front().longueur;
    ARTICLES_EMIS.pop_front();
  }
  reste = std::min<uint64_t>(reste, TEXTE_A_EMETTRE.size());
  TEXTE_A_EMETTRE.erase(0, size_t(reste));
  FLUX_PRIS += reste;
  FLUX_ACQUITTE = FLUX_PRIS;
  MORCEAUX_EN_VOL.clear();
  FILE_VUE = TEXTE_A_EMETTRE;
  // What waits goes out in the next link, as it was queued; the operator is told once what it is.
  TEXTE_EN_ATTENTE = TEXTE_A_EMETTRE.empty() ? 0 : 1;
  if (TEXTE_A_EMETTRE.empty() || (FLUX_PRIS == FLUX_ANNONCE && TEXTE_A_EMETTRE == FILE_ANNONCEE)) return;
  FLUX_ANNONCE = FLUX_PRIS;
  FILE_ANNONCEE = TEXTE_A_EMETTRE;
  std::vector<TrameEnFile> attente;
  for (const ArticleEmis& a : ARTICLES_EMIS)
    if (a.trame.genre != Genre::Arret) attente.push_back(a.trame);
  if (!attente.empty())
    ANNONCE_TRAMES(T("Waiting to be sent in the next link", "En attente d'envoi \xE0 la prochaine liaison"), attente);
}

void Autex::FIN_LIENS_MAITRE(const std::string& raison) {
  RECEPTION_COUPEE(0, raison);
  FIN_LIEN_EMISSION(raison);
  MESSAGE_EN_SERVICE[0] = 0;
  MESSAGE_RELAYE[0] = 0;
  MESSAGE_ACQUITTE[0] = 1;
  NOUVELLE_TRAME_SLOT[0] = 1;
  ACQUITTEMENT_MANQUANT[0].fill(0);
  ACQUITTEMENT_ATTENDU = 0;
  SAUVE_TEXTE.clear();
  TEXTE_EMIS.clear();
  // While no user is in, the Master's word carries the toggle '0' (its offers); the next user starts from it,
  // and the Master's next message toggles from it, so that the user takes it for a new one.
  BN_STOCKE[0] = '0';
  KD1_MESSAGE[0] = '0';
  KD1_TX[0] = '0';
}

void Autex::ENTREE_SMS_PROPRE(const std::string& texte) {
  const int k = SLOT_PROPRE();
  CHOIX_NOM_EMETTEUR(k);
  EN_TETE_SMS(k);
  AJOUTE_TEXTE_SMS(k, ": " + texte + CRLF + CRLF);
}

void Autex::ANNONCE_ARTICLE_COUPE(const ArticleEmis& a, const std::string& raison) {
  const TrameEnFile& t = a.trame;
  // How much of it was acknowledged, counted as its receiver counts: a message's characters, a file's bytes
  // after its three length bytes.
  const uint64_t acquitte = FLUX_ACQUITTE > a.debut ? std::min<uint64_t>(FLUX_ACQUITTE - a.debut, t.longueur) : 0;
  const bool anglais = langues_.Langue == LANGUE_ANGLAIS;
  // "x of n characters acknowledged", "x of the n bytes of its transmission acknowledged".
  const auto compte = [&](uint64_t x, uint64_t n, const std::string& unite, const std::string& unites,
                          bool transmission) {
    if (anglais)
      return std::to_string(x) + " of " + (transmission ? "the " : "") + std::to_string(n) + " " + unites +
             (transmission ? " of its transmission" : "") + " acknowledged";
    return std::to_string(x) + " " + (x <= 1 ? unite : unites) + (x <= 1 ? " acquitt\xE9" : " acquitt\xE9s") + " sur " +
           (transmission ? "les " : "") + std::to_string(n) + (transmission ? " de sa transmission" : "");
  };
  std::string ligne;
  switch (t.genre) {
    case Genre::Arret:
      return;
    case Genre::Message: {
      const uint64_t n = t.texte.size();
      const uint64_t x = std::min<uint64_t>(acquitte > 2 ? acquitte - 2 : 0, n);
      ligne = T("Short message not sent whole: ", "Message court non envoy\xE9 en entier: ") + raison + ", " +
              compte(x, n, "caract\xE8re", anglais ? "characters" : "caract\xE8res", false);
      if (!t.texte.empty()) ligne += CRLF + RETRAIT + Message_affichable(t.texte);
      break;
    }
    case Genre::Fichier: {
      ligne = T("File", "Fichier");
      if (!t.texte.empty()) ligne += " \"" + Nom_affichable(t.texte) + "\"";
      if (t.taille >= 0) ligne += " (" + std::to_string(t.taille) + " " + MOT_OCTETS(uint64_t(t.taille)) + ")";
      ligne += " " + T("not sent whole: ", "non envoy\xE9 en entier: ") + raison;
      if (t.longueur >= 5) {
        const uint64_t n = t.longueur - 5;
        const uint64_t x = std::min<uint64_t>(acquitte > 5 ? acquitte - 5 : 0, n);
        ligne += ", " + compte(x, n, "octet", anglais ? "bytes" : "octets", true);
      }
      break;
    }
    case Genre::Texte: {
      const uint64_t n = t.texte.size();
      ligne = T("Text not sent whole: ", "Texte non envoy\xE9 en entier: ") + raison + ", " +
              compte(std::min(acquitte, n), n, "octet", anglais ? "bytes" : "octets", false);
      break;
    }
  }
  ENTREE_SMS_PROPRE(ligne);
}

void Autex::ANNONCE_TRAMES(const std::string& titre, const std::vector<TrameEnFile>& trames) {
  const bool anglais = langues_.Langue == LANGUE_ANGLAIS;
  uint64_t messages = 0, fichiers = 0, textes = 0, octets = 0;
  std::string liste;
  for (const TrameEnFile& t : trames) {
    octets += t.longueur;
    std::string debut = t.texte.substr(0, std::min(t.texte.find_first_of("\r\n"), DEBUT_MONTRE));
    if (debut.size() < t.texte.size()) debut += "...";
    switch (t.genre) {
      case Genre::Arret:
        continue;
      case Genre::Message:
        ++messages;
        liste += CRLF + RETRAIT + Message_affichable(debut);
        break;
      case Genre::Fichier:
        ++fichiers;
        liste += CRLF + RETRAIT + T("File", "Fichier");
        if (!t.texte.empty()) liste += " \"" + Nom_affichable(t.texte) + "\"";
        if (t.taille >= 0) liste += " (" + std::to_string(t.taille) + " " + MOT_OCTETS(uint64_t(t.taille)) + ")";
        break;
      case Genre::Texte:
        ++textes;
        liste += CRLF + RETRAIT + T("Text: ", "Texte: ") + Message_affichable(debut);
        break;
    }
  }
  std::vector<std::string> parties;
  const auto partie = [&](uint64_t n, const char* un, const char* plusieurs) {
    if (n > 0) parties.push_back(std::to_string(n) + " " + (n == 1 ? un : plusieurs));
  };
  partie(messages, anglais ? "short message" : "message court", anglais ? "short messages" : "messages courts");
  partie(fichiers, anglais ? "file" : "fichier", anglais ? "files" : "fichiers");
  partie(textes, anglais ? "text" : "texte", anglais ? "texts" : "textes");
  if (parties.empty()) return;
  std::string quoi = parties[0];
  for (size_t i = 1; i < parties.size(); ++i)
    quoi += (i + 1 == parties.size() ? T(" and ", " et ") : std::string(", ")) + parties[i];
  ENTREE_SMS_PROPRE(titre + ": " + quoi + " (" + std::to_string(octets) + " " + MOT_OCTETS(octets) + ")" + liste);
}

}  // namespace autex
