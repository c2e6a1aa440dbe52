#include "station/controle_transceiver.h"

#include <algorithm>
#include <cmath>

#include "autex/mathematiques.h"
#include "autex/traitement_chaines.h"
#include "station/station_io.h"

namespace station {
namespace {

// Hz per step of the module's frequency code.
constexpr long double PAS_FREQUENCE = 61.035L;

constexpr int kFacteurs[] = {128, 256, 512, 1024, 2048, 4096};  // codes 07..0C
constexpr const char* kBandes[] = {"62.5", "125", "250", "500"};  // codes 06..09
constexpr const char* kPuissances[] = {"2.5", "5", "10", "20", "25", "50", "100"};

// Two upper-case hexadecimal digits of a byte.
std::string Hexa_octet(uint32_t v) {
  std::string h = autex::ENTIER_VERS_HEXA(v & 0xFF);
  if (h.size() < 2) h.insert(0, 1, '0');
  return h;
}

std::string Complete_zeros(std::string texte, int largeur) {
  autex::COMPLETER_CHAINE(texte, '0', largeur, 1);
  return texte;
}

// Value of a text made only of digits (the empty text is 0); -1 for any other text or a value above 999,999.
int32_t Valeur_chiffres(const std::string& texte) {
  if (!autex::CHAINE_NUMERIQUE(texte)) return -1;
  int64_t v = 0;
  for (const char c : texte) {
    v = v * 10 + (c - '0');
    if (v > 999999) return -1;
  }
  return int32_t(v);
}

// A frequency in hundreds of Hz as the window writes it: MHz, a point, four decimals.
std::string Texte_centaines_hz(int64_t centaines) {
  std::string decimales = std::to_string(centaines % 10000);
  decimales.insert(0, 4 - decimales.size(), '0');
  return std::to_string(centaines / 10000) + "." + decimales;
}

// A frame from its header: what a line that echoes gives back where a reply is awaited.
std::string_view Depuis_entete(std::string_view trame) {
  const size_t p = trame.find(ENTETE_DRF);
  return p == std::string_view::npos ? std::string_view() : trame.substr(p);
}

// Takes the copies of a frame out of the bytes: whole as it was written, then from its header.
void Retire_echos(std::string& octets, std::string_view trame) {
  for (const std::string_view copie : {trame, Depuis_entete(trame)}) {
    if (copie.empty()) continue;
    for (size_t p = octets.find(copie); p != std::string::npos; p = octets.find(copie, p)) octets.erase(p, copie.size());
  }
}

}  // namespace

char Somme_de_controle_DRF(std::string_view octets) {
  uint32_t somme = 0;
  for (const char c : octets) somme += static_cast<unsigned char>(c);
  return static_cast<char>(somme & 0xFF);
}

void Verifie_somme_DRF(std::string_view corps, char somme, uint8_t& drapeau) {
  drapeau = Somme_de_controle_DRF(corps) == somme ? 1 : 0;
}

uint32_t Code_frequence(int32_t mhz, int32_t dix_milliemes) {
  const long double hz = static_cast<long double>(mhz) * 1000000.0L + static_cast<long double>(dix_milliemes) * 100.0L;
  return static_cast<uint32_t>(std::nearbyintl(hz / PAS_FREQUENCE));
}

void Frequence_du_code(uint32_t code, std::string& mhz, std::string& hhz) {
  long double x = static_cast<long double>(code) * PAS_FREQUENCE / 1000000.0L;
  long double entier = std::floor(x);
  if (std::nearbyintl((x - entier) * 10000.0L) == 10000.0L) {
    x = entier + 1.0L;
    entier = x;
  }
  mhz = std::to_string(static_cast<int64_t>(entier));
  hhz = std::to_string(static_cast<int64_t>(std::nearbyintl((x - entier) * 10000.0L)));
  autex::COMPLETER_CHAINE(hhz, '0', 4, 1);
}

uint8_t Code_facteur_etalement(int facteur) {
  for (int i = 0; i < 6; ++i)
    if (kFacteurs[i] == facteur) return uint8_t(7 + i);
  return 0xFF;
}

uint8_t Code_bande_passante(std::string_view bande) {
  for (int i = 0; i < 4; ++i)
    if (bande == kBandes[i]) return uint8_t(6 + i);
  return 0xFF;
}

int Facteur_du_code(uint8_t code) { return (code >= 7 && code <= 12) ? kFacteurs[code - 7] : 0; }

std::string Bande_du_code(uint8_t code) { return (code >= 6 && code <= 9) ? kBandes[code - 6] : ""; }

std::string Texte_puissance(int position) {
  return (position >= 1 && position <= 7) ? kPuissances[position - 1] : "?";
}

double Debit_air_LoRa(int facteur, std::string_view bande, size_t octets_paquet) {
  if (Code_facteur_etalement(facteur) == 0xFF || Code_bande_passante(bande) == 0xFF || octets_paquet == 0) return 0.0;
  int sf = 0;
  while ((1 << sf) < facteur) ++sf;
  const double khz = bande == "62.5" ? 62.5 : bande == "125" ? 125.0 : bande == "250" ? 250.0 : 500.0;
  const double symbole_ms = double(facteur) / khz;
  const int optimisation = symbole_ms > 16.0 ? 1 : 0;
  // Payload symbols: 8, then groups of (4 + coding rate) for the bits of the payload, header and CRC.
  const double bits = 8.0 * double(octets_paquet) - 4.0 * sf + 28.0 + 16.0;
  const double groupes = std::max(0.0, std::ceil(bits / (4.0 * (sf - 2 * optimisation))));
  const double symboles = (8.0 + 4.25) + 8.0 + groupes * 5.0;
  return double(octets_paquet) * 1000.0 / (symboles * symbole_ms);
}

std::string Trame_lecture_DRF() {
  std::string trame = autex::HEXA_VERS_TEXTE("0D0AAFAF0000AF80020C000000000000000000000000");
  trame.push_back(Somme_de_controle_DRF(std::string_view(trame).substr(2)));
  trame += "\r\n";
  return trame;
}

bool Reponse_DRF_entiere(std::string_view reponse, size_t& debut, size_t& longueur, std::string_view commande) {
  for (size_t p = reponse.find(ENTETE_DRF); p != std::string_view::npos; p = reponse.find(ENTETE_DRF, p + 1)) {
    // The station's own frame given back by the line: its bytes are passed over as a whole.
    if (!commande.empty() && reponse.substr(p, commande.size()) == commande) {
      p += commande.size() - 1;
      continue;
    }
    // The checksum byte at q, CR LF after it; the body before it holds the header, the command bytes and at
    // least twelve parameter bytes. A CR LF among the parameters is passed over: its checksum does not match.
    for (size_t q = p + LONGUEUR_TRAME_DRF - 3; q + 2 < reponse.size(); ++q) {
      if (reponse[q + 1] != '\r' || reponse[q + 2] != '\n') continue;
      uint8_t juste = 0;
      Verifie_somme_DRF(reponse.substr(p, q - p), reponse[q], juste);
      if (juste == 1) {
        debut = p;
        longueur = q + 3 - p;
        return true;
      }
    }
  }
  return false;
}

ControleTransceiver::ControleTransceiver(StationIo& io) : io_(io) {}

uint32_t Duree_ligne_ms(size_t octets, uint32_t bauds) {
  return bauds == 0 ? 0 : uint32_t((uint64_t(octets) * 10000 + bauds - 1) / bauds);
}

double ControleTransceiver::Debit_air() const {
  const double lu = Debit_air_LoRa(Facteur_lu, Bande_lue);
  return lu > 0.0 ? lu : Debit_air_LoRa(Facteur_etalement, Bande_passante);
}

void ControleTransceiver::Affiche_statut(const std::string& statut) {
  if (Fenetre_transceiver_active == 1) io_.fenetre.Info2(statut);
  io_.fenetre.Label_Info(statut);
}

void ControleTransceiver::Echec_ecriture_initiale() {
  const auto& L = io_.langues;
  std::string statut = L.TRADUCTION("Initial writing failure", "Echec de l'\xE9" "criture initiale");
  // A closed port is said with the failure: this line takes the place of the one that told why it closed.
  if (io_.boucle.Port_ouvert != 1) {
    if (io_.materiel.Port_selectionne == 0) {
      statut += L.TRADUCTION(": no serial port selected", " : pas de port s\xE9rie s\xE9lectionn\xE9");
    } else {
      const std::string port = "COM" + std::to_string(io_.materiel.Numero_port);
      statut += L.TRADUCTION(": the serial port " + port + " is not open (choose it again)",
                             " : le port s\xE9rie " + port + " n'est pas ouvert (choisissez-le \xE0 nouveau)");
    }
  }
  Affiche_statut(statut);
}

bool ControleTransceiver::Envoie_commande(const std::string& trame, uint8_t etat) {
  // Nothing is written on a closed port.
  if (io_.boucle.Port_ouvert != 1 || !io_.materiel.Ecrire_port_serie(io_.materiel.Handle_port, trame)) {
    Echec_ecriture_initiale();
    return false;
  }
  Commande_DRF_en_attente = etat;
  Heure_commande_DRF = io_.clock.timeGetTime();
  Duree_commande_DRF = Duree_ligne_ms(trame.size(), io_.materiel.Vitesse_ouverture);
  Reponse_DRF.clear();
  Trame_DRF_ecrite = trame;
  return true;
}

void ControleTransceiver::Lecture_parametres_DRF1278DM(uint8_t etat) {
  if (!io_.Est_DRF1278DM()) return;
  Commande_DRF_en_attente = 0;
  Envoie_commande(Trame_lecture_DRF(), etat);
}

std::string ControleTransceiver::Refus_ecriture() const {
  const auto& L = io_.langues;
  const auto refus = [&](const std::string& anglais, const std::string& francais) {
    return L.TRADUCTION("Writing refused: " + anglais, "Ecriture refus\xE9" "e : " + francais);
  };
  const int32_t m = autex::DECIMAL_VERS_ENTIER(Frequence_MHz_texte);
  const int32_t h = autex::DECIMAL_VERS_ENTIER((Frequence_HHz_texte + "0000").substr(0, 4));
  const int64_t centaines = int64_t(m) * 10000 + h;
  if (m < 0 || h < 0 || centaines < FREQUENCE_MIN_CENTAINES_HZ || centaines > FREQUENCE_MAX_CENTAINES_HZ) {
    const std::string de = Texte_centaines_hz(FREQUENCE_MIN_CENTAINES_HZ);
    const std::string a = Texte_centaines_hz(FREQUENCE_MAX_CENTAINES_HZ);
    return refus("RF frequency from " + de + " to " + a + " MHz",
                 "fr\xE9quence HF de " + de + " \xE0 " + a + " MHz");
  }
  const int32_t node = Valeur_chiffres(Complete_zeros(Node_ID, 5));
  if (node < 0 || node > 65535) return refus("Node ID from 0 to 65535", "Node ID de 0 \xE0 65535");
  const int32_t net = Valeur_chiffres(Complete_zeros(Net_ID, 3));
  if (net < 0 || net > 255) return refus("Net ID from 0 to 255", "Net ID de 0 \xE0 255");
  if (Puissance < 1 || Puissance > 7)
    return refus("power from 2.5 to 100 mW (positions 1 to 7)", "puissance de 2.5 \xE0 100 mW (positions 1 \xE0 7)");
  if (Code_facteur_etalement(Facteur_etalement) == 0xFF)
    return refus("spreading factor 128, 256, 512, 1024, 2048 or 4096 chips",
                 "facteur d'\xE9talement 128, 256, 512, 1024, 2048 ou 4096 chips");
  if (Mode_module > 2)
    return refus("mode 0 (Standard), 1 (Central) or 2 (Node)", "mode 0 (Standard), 1 (Central) ou 2 (Node)");
  if (Code_bande_passante(Bande_passante) == 0xFF)
    return refus("bandwidth 62.5, 125, 250 or 500 kHz", "bande passante 62.5, 125, 250 ou 500 kHz");
  return std::string();
}

bool ControleTransceiver::Trame_ecriture_DRF(std::string& trame) {
  // A value outside its range is not sent: the frame would set the module to something nobody chose (or to
  // what its radio cannot do).
  if (!Refus_ecriture().empty()) return false;
  const uint32_t code = Code_frequence(autex::DECIMAL_VERS_ENTIER(Frequence_MHz_texte),
                                       autex::DECIMAL_VERS_ENTIER((Frequence_HHz_texte + "0000").substr(0, 4)));
  const std::string node = Complete_zeros(Node_ID, 5);
  const std::string net = Complete_zeros(Net_ID, 3);
  const uint32_t v_node = uint32_t(Valeur_chiffres(node));
  std::string hexa = "AFAF0000AF80010C0400";
  std::string frequence = autex::ENTIER_VERS_HEXA(code);
  frequence.insert(0, 6 - frequence.size(), '0');
  hexa += frequence;
  hexa += Hexa_octet(Code_facteur_etalement(Facteur_etalement)) + Hexa_octet(Mode_module) +
          Hexa_octet(Code_bande_passante(Bande_passante));
  hexa += Hexa_octet(v_node / 256) + Hexa_octet(v_node % 256);
  hexa += Hexa_octet(uint32_t(Valeur_chiffres(net)));
  hexa += Hexa_octet(uint32_t(Puissance));
  trame = autex::HEXA_VERS_TEXTE(hexa);
  trame.push_back(Somme_de_controle_DRF(trame));
  trame += "\r\n";
  Node_ID_precedent = node;
  Net_ID_precedent = net;
  return true;
}

void ControleTransceiver::Ecriture_parametres_DRF1278DM() {
  if (!io_.Est_DRF1278DM()) return;
  const std::string refus = Refus_ecriture();
  if (!refus.empty()) {
    Affiche_statut(refus);
    return;
  }
  std::string trame;
  if (Trame_ecriture_DRF(trame)) Envoie_commande(trame, 2);
}

void ControleTransceiver::Decodage_reponse_DRF1278DM(std::string_view p, std::string& donnees) {
  auto octet = [&](size_t i) { return static_cast<unsigned char>(p[i]); };
  const uint32_t f = uint32_t(octet(2)) * 65536 + uint32_t(octet(3)) * 256 + octet(4);
  Facteur_lu = uint16_t(Facteur_du_code(octet(5)));
  Mode_lu = octet(6);
  Mode_valide = Mode_lu <= 2;
  Bande_lue = Bande_du_code(octet(7));
  if (Bande_lue.empty()) Bande_lue = "?";
  Node_ID_lu = Complete_zeros(std::to_string(uint32_t(octet(8)) * 256 + octet(9)), 5);
  Net_ID_lu = Complete_zeros(std::to_string(octet(10)), 3);
  const int puissance = octet(11);
  Reponse_valide = f >= Code_frequence(FREQUENCE_MIN_CENTAINES_HZ / 10000, FREQUENCE_MIN_CENTAINES_HZ % 10000) &&
                   f <= Code_frequence(FREQUENCE_MAX_CENTAINES_HZ / 10000, FREQUENCE_MAX_CENTAINES_HZ % 10000) &&
                   Facteur_lu != 0 && Mode_valide && Bande_lue != "?" && puissance >= 1 && puissance <= 7;

  donnees = (Facteur_lu != 0 ? std::to_string(Facteur_lu) : std::string("?")) + " chips / " + Bande_lue + " KHz" +
            " Node ID:" + Node_ID_lu + " Net ID:" + Net_ID_lu;
  if (Fenetre_transceiver_active == 1) io_.fenetre.Label_Donnees(donnees);
  // Values the module cannot hold came from no module that works: the window keeps what it showed.
  if (!Reponse_valide) return;
  Frequence_du_code(f, Frequence_MHz_texte, Frequence_HHz_texte);
  Node_ID_precedent = Node_ID_lu;
  Net_ID_precedent = Net_ID_lu;
  Puissance = puissance;
  Label_Puissance = Texte_puissance(puissance);
  io_.fenetre.Champs_transceiver_lus();
  io_.fenetre.Label_Info(Frequence_MHz_texte + "." + Frequence_HHz_texte + " MHz " + donnees + "  " +
                         Label_Puissance + " mW");
}

std::string ControleTransceiver::Aucune_reponse(size_t octets) const {
  const std::string port = "COM" + std::to_string(io_.materiel.Numero_port);
  const std::string vitesse = std::to_string(io_.materiel.Vitesse_ouverture);
  std::string anglais = "None answer (suspect serial port or speed): " + port + " at " + vitesse + " bauds";
  std::string francais = "Aucune r\xE9ponse (vitesse ou port s\xE9rie suspect) : " + port + " \xE0 " + vitesse + " bauds";
  if (octets > 0) {
    const std::string n = std::to_string(octets);
    anglais += ", " + n + (octets == 1 ? " byte" : " bytes") + " not understood";
    francais += ", " + n + (octets == 1 ? " octet non compris" : " octets non compris");
  }
  return io_.langues.TRADUCTION(anglais, francais);
}

bool ControleTransceiver::Parametres_lus_egaux(bool tous) const {
  const bool base = Reponse_valide && Facteur_lu == Facteur_etalement && Bande_lue == Bande_passante;
  if (!tous) return base;
  return base && Mode_lu == Mode_module && Node_ID_lu == Complete_zeros(Node_ID, 5) &&
         Net_ID_lu == Complete_zeros(Net_ID, 3);
}

void ControleTransceiver::Timer1Timer() {
  if (Commande_DRF_en_attente == 0) return;
  const uint8_t etat = Commande_DRF_en_attente;
  // The frame as the line would give it back where a reply is awaited.
  const std::string_view commande = Depuis_entete(Trame_DRF_ecrite);
  size_t debut = 0, longueur = 0;
  bool entiere = Reponse_DRF_entiere(Reponse_DRF, debut, longueur, commande);
  if (!entiere &&
      platform::elapsedMs(io_.clock.timeGetTime(), Heure_commande_DRF) < DELAI_REPONSE_DRF + Duree_commande_DRF)
    return;
  // The time is up: what already waits on the port belongs to the reply (the receive pump may not have run since
  // it came, when the thread was held).
  if (!entiere && io_.boucle.Port_ouvert == 1) {
    Reponse_DRF += io_.materiel.Lire_port_serie(io_.materiel.Handle_port);
    entiere = Reponse_DRF_entiere(Reponse_DRF, debut, longueur, commande);
  }

  // The reply is whole, or the time is up: what was collected is judged now, once. Copies of the command that
  // the line gave back are neither a reply nor bytes from the air.
  const size_t recus = Reponse_DRF.size();
  std::string trame;
  std::string autres = Reponse_DRF;
  if (entiere) {
    trame = Reponse_DRF.substr(debut, longueur);
    autres = Reponse_DRF.substr(0, debut) + Reponse_DRF.substr(debut + longueur);
  }
  Retire_echos(autres, Trame_DRF_ecrite);
  Reponse_DRF.clear();
  // A reply begun and not ended by now ends later: the receive pump keeps it from the reply's text.
  const bool signe = !autres.empty();
  if (const size_t p = autres.find(ENTETE_DRF); !entiere && p != std::string::npos) {
    Reponse_DRF = autres.substr(p);
    autres.resize(p);
  }
  // Bytes around a whole reply came from the air; without one, only the presence check keeps what came (a
  // reply that went wrong is no text).
  if (entiere || etat == ETAT_PRESENCE_DRF) Octets_hors_reponse += autres;
  if (etat == ETAT_PRESENCE_DRF) {
    // Any byte but an echo shows the module is there; bytes that make no reply came from the air and are kept.
    Commande_DRF_en_attente = 0;
    if (entiere || signe) {
      Silences_module = 0;
    } else if (++Silences_module >= SILENCES_AVANT_PERTE) {
      io_.boucle.Perte_du_port();
    }
    return;
  }

  if (etat == 3) {
    Commande_DRF_en_attente = 0;
    io_.fenetre.Efface_memo_reception();
    return;
  }

  const auto& L = io_.langues;
  const std::string echec = etat == 1 ? L.TRADUCTION("Reading failure of the parameters",
                                                     "Echec de la lecture des param\xE8tres")
                                      : L.TRADUCTION("Data writing failure", "Echec de l'\xE9" "criture des donn\xE9" "es");
  std::string statut;
  std::string donnees;
  bool reecrire = false;

  if (!entiere) {
    // Nothing, or bytes that made no whole reply (a wrong checksum, a line that only gives back what it is sent,
    // another speed): nothing is decoded, and the port and its speed are named.
    if (recus > 0) statut = echec;
    donnees = Aucune_reponse(recus);
  } else {
    statut = etat == 1 ? L.TRADUCTION("Reading success of the parameters", "Succ\xE8s de la lecture des param\xE8tres")
                       : L.TRADUCTION("Data writing success", "Succ\xE8s de l'\xE9" "criture des donn\xE9" "es");
    // The last twelve bytes of the body, before the checksum and CR LF.
    Decodage_reponse_DRF1278DM(std::string_view(trame).substr(trame.size() - 15, 12), donnees);
    // A confirmed write leaves the module at 9600 baud (the frame's speed code 04): the port follows it,
    // whether the write came from the automatic check or from the module window.
    const bool ecriture_confirmee = etat == 2 && Parametres_lus_egaux(true);
    if (Fenetre_transceiver_active == 1) {
      if (etat == 2 && !ecriture_confirmee) statut = echec;
      if (etat == 1 && !Parametres_lus_egaux(false))
        statut = L.TRADUCTION("Data reading failure", "Echec de la lecture des donn\xE9" "es");
    } else if (etat == 1) {
      if (Parametres_lus_egaux(false))
        Module_verifie = 1;
      else
        reecrire = true;
    }
    if (ecriture_confirmee && (Fenetre_transceiver_active == 0 || io_.materiel.Vitesse_port == 1200)) {
      if (io_.materiel.Vitesse_port == 1200) {
        io_.materiel.Vitesse_port = 9600;
        io_.ports.Change_vitesse_port();
      }
      if (io_.boucle.Port_ouvert == 1) {
        Lecture_parametres_DRF1278DM(3);
        Module_verifie = 1;
        io_.fenetre.Efface_memo_reception();
      }
    }
  }

  if (Fenetre_transceiver_active == 1) {
    io_.fenetre.Info2(statut);
    if (!donnees.empty()) io_.fenetre.Label_Donnees(donnees);
  } else if (!donnees.empty()) {
    io_.fenetre.Label_Info(donnees);
  }

  // The command judged here is over, unless a new one was sent meanwhile.
  if ((etat == 1 || etat == 2) && Commande_DRF_en_attente == etat) Commande_DRF_en_attente = 0;
  if (reecrire) Ecriture_parametres_DRF1278DM();
}

std::string ControleTransceiver::Frequence_MHzChange(const std::string& texte) {
  if (autex::CHAINE_NUMERIQUE(texte)) Frequence_MHz_texte = texte;
  return Frequence_MHz_texte;
}

std::string ControleTransceiver::Frequence_HHzChange(const std::string& texte) {
  if (autex::CHAINE_NUMERIQUE(texte)) Frequence_HHz_texte = texte;
  return Frequence_HHz_texte;
}

std::string ControleTransceiver::Edit_NODE_IDChange(const std::string& texte) {
  const int32_t v = Valeur_chiffres(texte);
  Node_ID = (v >= 0 && v <= 65535) ? texte : Node_ID_precedent;
  Node_ID_precedent = Complete_zeros(Node_ID, 5);
  return Node_ID;
}

std::string ControleTransceiver::Edit_NET_IDChange(const std::string& texte) {
  const int32_t v = Valeur_chiffres(texte);
  Net_ID = (v >= 0 && v <= 255) ? texte : Net_ID_precedent;
  Net_ID_precedent = Complete_zeros(Net_ID, 3);
  return Net_ID;
}

void ControleTransceiver::PuissanceClick(int position) {
  if (position >= 1 && position <= 7) Puissance = position;
  Label_Puissance = Texte_puissance(Puissance);
}

}  // namespace station
