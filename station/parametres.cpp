#include "station/parametres.h"

#include <algorithm>
#include <cstdio>

#include "autex/traitement_chaines.h"
#include "station/systeme_parametres.h"
#include "station/traduction_fiche_principale.h"

namespace station {

// ---------------------------------------------------------------------------------------------------
// Port codes and panel heights

int Numero_port_du_code(uint8_t code) {
  if (code >= 1 && code <= 6) return code;
  if (code == 8 || code == 9) return code - 1;
  if (code >= 11 && code <= 42) return code - 2;
  return 0;
}

uint8_t Code_du_port(int numero) {
  if (numero >= 1 && numero <= 6) return uint8_t(numero);
  if (numero == 7 || numero == 8) return uint8_t(numero + 1);
  if (numero >= 9 && numero <= 40) return uint8_t(numero + 2);
  return CODE_AUCUN_PORT;
}

int Octet_pas_hauteur(int participants) {
  switch (participants) {
    case 2: return octet::PAS_HAUTEUR_2;
    case 4: return octet::PAS_HAUTEUR_4;
    case 7: return octet::PAS_HAUTEUR_7;
    case 13: return octet::PAS_HAUTEUR_13;
    default: return 0;
  }
}

int Hauteur_minimale_panneau(int participants) {
  const int i = Octet_pas_hauteur(participants);
  return i ? 20 * Valeur_admise_minimale(i) : 0;
}

int Hauteur_maximale_panneau(int participants) {
  const int i = Octet_pas_hauteur(participants);
  return i ? 20 * Valeur_admise_maximale(i) : 0;
}

// ---------------------------------------------------------------------------------------------------
// Free-text fields

std::string& Textes_libres::champ(int numero) {
  return const_cast<std::string&>(static_cast<const Textes_libres&>(*this).champ(numero));
}

const std::string& Textes_libres::champ(int numero) const {
  switch (numero) {
    case 1: return Texte_balise;
    case 2: return Edit_INDICATIF;
    case 3: return DIVERS;
    case 4: return Edit_Sequence1;
    default: return Edit_Sequence2;
  }
}

// ---------------------------------------------------------------------------------------------------
// Host defaults

uint16_t Hote_parametres::GetSystemDefaultLangID() { return Identifiant_langue_systeme(); }

Taille_ecran Hote_parametres::Ecran() { return Taille_ecran_systeme(); }

// ---------------------------------------------------------------------------------------------------

Parametres::Parametres(autex::Langues& langues, autex::FonctionsFichiers& fichiers, Hote_parametres& hote)
    : langues_(&langues), fichiers_(&fichiers), hote_(&hote) {
  Parametres_standard_image();
  Image_parametres = Image_standard;
}

std::string Parametres::chemin(const std::string& nom) const {
  if (Repertoire.empty()) return nom;
  // A drive's root ("C:\\") already ends with its separator.
  if (Repertoire.back() == '\\' || Repertoire.back() == '/') return Repertoire + nom;
  return Repertoire + autex::SEPARATEUR_CHEMIN + nom;
}

std::string Parametres::traduction(std::string_view anglais, std::string_view francais) const {
  return langues_->TRADUCTION(anglais, francais);
}

void Parametres::Parametres_standard_image() {
  Longueur_image = LONGUEUR_IMAGE;
  const Taille_ecran ecran = hote_->Ecran();
  Image_standard.assign(size_t(Longueur_image), '\0');
  for (int i = 1; i <= Longueur_image; ++i) Image_standard[size_t(i - 1)] = char(Valeur_standard(i, ecran));
}

void Parametres::Langue_systeme() {
  fixe_octet(octet::LANGUE, hote_->GetSystemDefaultLangID() == 1036 ? autex::LANGUE_FRANCAIS : autex::LANGUE_ANGLAIS);
}

void Parametres::Ajoute_parametre_errone(int index, int valeur) {
  Liste_parametres_errones += std::to_string(index) + " " + std::to_string(valeur) + "\r\n";
  ++Nombre_parametres_errones;
  index_errones_.push_back(index);
}

int Parametres::Octets_errones(const std::string& octets) const {
  if (octets.size() < 100) return -1;
  std::string image = octets.substr(0, size_t(LONGUEUR_IMAGE));
  if (image.size() < Image_standard.size()) image += Image_standard.substr(image.size());
  int n = 0;
  for (const uint16_t i : Ordre_de_verification())
    if (!Valeur_admise(i, uint8_t(image[size_t(i - 1)]))) ++n;
  return n;
}

bool Parametres::lire(const std::string& nom, Lecture_binaire& lu) {
  lu = Lire_debut_fichier(nom, size_t(LONGUEUR_IMAGE));
  if (!lu.ouvert) {
    hote_->Afficher_erreur(traduction("Impossible to open the file ", "Impossible d'ouvrir le fichier ") + nom +
                           traduction(" in reading mode.", " en lecture."));
    return false;
  }
  if (lu.erreur) {
    hote_->Afficher_erreur(traduction("Error when reading the file ", "Erreur lors de la lecture du fichier ") + nom +
                           ".");
    return false;
  }
  return true;
}

void Parametres::image_standard_par_defaut() {
  // A file that cannot be read, or too short to be this program's: the standard image.
  hote_->Afficher_erreur(traduction("The file CONF_COM.SER is altered, so standard parameters.",
                                    "Le fichier CONF_COM.SER est alt\xE9r\xE9, donc param\xE8tres standard."));
  Image_parametres = Image_standard;
}

void Parametres::Lecture_parametres() {
  Parametres_standard_image();
  Liste_parametres_errones.clear();
  Nombre_parametres_errones = 0;
  index_errones_.clear();

  const std::string nom = chemin(NOM_CONF_COM_SER);
  if (!autex::FICHIER_EXISTE(nom) || Remise_parametres_standard == 1) {
    Image_parametres = Image_standard;
    if (Remise_parametres_standard == 0)
      Langue_systeme();  // no file: a first start
    else
      Remise_parametres_standard = 0;
    Ouverture_port_apres_chargement();
    Ecrire_CONF_COM_SER();
    return;
  }

  Lecture_binaire lu;
  const bool lisible = lire(nom, lu);
  const size_t n = lu.octets.size();
  if (!lisible || n < 100) {
    image_standard_par_defaut();
    Langue_systeme();
    Ouverture_port_apres_chargement();
    return;
  }

  // At least 100 bytes: completed from the standard image when short; a longer file is taken on its
  // first 945 bytes (which Lire_debut_fichier alone returns).
  Image_parametres = lu.octets;
  if (n < size_t(Longueur_image)) Image_parametres += Image_standard.substr(n);

  for (const uint16_t i : Ordre_de_verification())
    if (!Valeur_admise(i, octet(i))) Ajoute_parametre_errone(i, octet(i));

  if (Nombre_parametres_errones == 0) {
    Ouverture_port_apres_chargement();
    return;
  }

  fichiers_->ECRIRE_FICHIER_TEXTE(chemin(NOM_CONF_COM_ERR), Liste_parametres_errones);
  if (Nombre_parametres_errones <= 30) {
    for (const int i : index_errones_) fixe_octet(i, uint8_t(Image_standard[size_t(i - 1)]));
    hote_->Afficher_erreur(
        traduction("Several parameters are altered (listed below). They are replaced by standard parameters.",
                   "Quelques param\xE8tres sont alt\xE9r\xE9s (list\xE9s ci-dessous). Ils sont remplac\xE9s par des "
                   "param\xE8tres standard.") +
        "\r\n" + Liste_parametres_errones);
  } else {
    hote_->Afficher_erreur(traduction("The file CONF_COM.SER is altered, so standard parameters.",
                                      "Le fichier CONF_COM.SER est alt\xE9r\xE9, donc param\xE8tres standard."));
    Image_parametres = Image_standard;
  }
  Langue_systeme();
  Ouverture_port_apres_chargement();

  Liste_parametres_errones.clear();
  Nombre_parametres_errones = 0;
  index_errones_.clear();
}

// ---------------------------------------------------------------------------------------------------
// Post-load step and language

namespace {
void vitesse_et_transceiver(const Parametres& p, Reglages_station& r) {
  switch (p.octet(octet::VITESSE_PORT)) {
    case 1: r.Vitesse_port = 1200; break;
    case 9: r.Vitesse_port = 9600; break;
    default: break;
  }
  switch (p.octet(octet::TRANSCEIVER)) {
    case 1: r.Nom_transceiver.clear(); break;
    case 2: r.Nom_transceiver = NOM_DRF1278DM; break;
    default: break;
  }
}
}  // namespace

void Parametres::Ouverture_port_apres_chargement() {
  hote_->Detection_ports_serie();
  Applique_langue();
  vitesse_et_transceiver(*this, Reglages);
  hote_->Coche_vitesse_port();
  hote_->Construit_menus_ports_serie();
  if (Numero_port_du_code(octet(octet::PORT_TRANSCEIVER)) == 0) {
    // No port: whatever an earlier test found, nothing is opened.
    hote_->Pas_de_port_selectionne(traduction(AUCUN_PORT_ANGLAIS, AUCUN_PORT_FRANCAIS));
    return;
  }
  if (hote_->Tester_port_serie())
    hote_->Ouverture_port_transceiver(Reglages.Vitesse_port);
  else
    hote_->Port_ferme();
}

void Parametres::Applique_langue() {
  langues_->Langue = octet(octet::LANGUE);
  hote_->Applique_langue();
}

void Parametres::Etat_port_apres_langue() {
  if (Numero_port_du_code(octet(octet::PORT_TRANSCEIVER)) == 0) {
    hote_->Pas_de_port_selectionne(traduction(AUCUN_PORT_ANGLAIS, AUCUN_PORT_FRANCAIS));
    return;
  }
  // The test closes the transceiver port; a port that was receiving is opened again.
  const bool etait_ouvert = hote_->Port_ouvert();
  if (!hote_->Tester_port_serie())
    hote_->Port_ferme();
  else if (etait_ouvert)
    hote_->Ouverture_port_transceiver(Reglages.Vitesse_port);
}

void Parametres::Change_langue(uint8_t langue) {
  fixe_octet(octet::LANGUE, langue);
  Applique_langue();
  Ecrire_CONF_COM_SER();
}

// ---------------------------------------------------------------------------------------------------
// Applying and gathering

void Parametres::Applique_reglages() {
  Reglages_station& r = Reglages;
  r.Choix_peau = octet(octet::PEAU);
  vitesse_et_transceiver(*this, r);
  switch (octet(octet::MODE)) {
    case 31: r.Mode_fonctionnement = MODE_ASCII; break;
    case 78: r.Mode_fonctionnement = MODE_AUTEX; break;
    default: break;  // the other allowed values leave the mode as it is
  }
  if (r.Mode_fonctionnement != MODE_ASCII && r.Mode_fonctionnement != MODE_AUTEX) r.Mode_fonctionnement = MODE_ASCII;
  r.Pause_balise = uint16_t(5 * octet(octet::PAUSE_BALISE));
  r.Synthese_vocale_active = octet(octet::SYNTHESE_VOCALE) == 1 ? 0 : 1;
  r.Index_voix = uint8_t(octet(octet::VOIX) - 1);
  r.Volume_voix = uint8_t(octet(octet::VOLUME_VOIX) - 1);
  r.Vitesse_voix = int8_t(uint8_t(octet(octet::VITESSE_VOIX) - 11));
  r.NOMBRE_PARTICIPANTS = 2;
  r.ENVOI_SUR_CR = octet(octet::ENVOI_SUR_CR) == 1 ? 0 : 1;
  r.PAS_HAUTEUR_2 = octet(octet::PAS_HAUTEUR_2);
  r.PAS_HAUTEUR_4 = octet(octet::PAS_HAUTEUR_4);
  r.PAS_HAUTEUR_7 = octet(octet::PAS_HAUTEUR_7);
  r.PAS_HAUTEUR_13 = octet(octet::PAS_HAUTEUR_13);
  r.TROIS_COLONNES_7 = octet(octet::TROIS_COLONNES_7) == 1 ? 0 : 1;
  r.TROIS_COLONNES_13 = octet(octet::TROIS_COLONNES_13) == 1 ? 0 : 1;
  r.COMPRESSION_FICHIER = octet(octet::COMPRESSION_FICHIER) == 1 ? 0 : 1;
  // Applique_position_fiche
  r.Left = Decoder_coordonnee(octet(octet::GAUCHE_FICHE), octet(octet::GAUCHE_FICHE + 1));
  r.Top = Decoder_coordonnee(octet(octet::HAUT_FICHE), octet(octet::HAUT_FICHE + 1));
}

void Parametres::Applique_parametres() {
  Applique_reglages();
  hote_->Applique_parametres();
}

void Parametres::Rassemble_reglages() {
  const Reglages_station& r = Reglages;
  auto rassemble = [this](int i, int valeur) { fixe_octet(i, Valeur_admise_la_plus_proche(i, valeur)); };
  auto oui_non = [this](int i, uint8_t interrupteur) { fixe_octet(i, interrupteur ? 2 : 1); };

  rassemble(octet::PEAU, r.Choix_peau);
  if (r.Vitesse_port == 1200) fixe_octet(octet::VITESSE_PORT, 1);
  if (r.Vitesse_port == 9600) fixe_octet(octet::VITESSE_PORT, 9);
  if (r.Nom_transceiver.empty()) fixe_octet(octet::TRANSCEIVER, 1);
  if (r.Nom_transceiver == NOM_DRF1278DM) fixe_octet(octet::TRANSCEIVER, 2);
  if (r.Mode_fonctionnement == MODE_ASCII) fixe_octet(octet::MODE, 31);
  if (r.Mode_fonctionnement == MODE_AUTEX) fixe_octet(octet::MODE, 78);
  rassemble(octet::PAUSE_BALISE, r.Pause_balise / 5);
  switch (r.Vitesse_AUTEX) {
    case 1200: fixe_octet(octet::VITESSE_AUTEX, 1); break;
    case 400: fixe_octet(octet::VITESSE_AUTEX, 2); break;
    case 171: fixe_octet(octet::VITESSE_AUTEX, 3); break;
    default: break;
  }
  uint8_t premier = 0, second = 0;
  Coder_coordonnee(r.Left, premier, second);
  fixe_octet(octet::GAUCHE_FICHE, premier);
  fixe_octet(octet::GAUCHE_FICHE + 1, second);
  Coder_coordonnee(r.Top, premier, second);
  fixe_octet(octet::HAUT_FICHE, premier);
  fixe_octet(octet::HAUT_FICHE + 1, second);
  oui_non(octet::SYNTHESE_VOCALE, r.Synthese_vocale_active);
  // The voice index is a byte: "no voice" (255) plus one is 0, which becomes the first voice.
  rassemble(octet::VOIX, uint8_t(r.Index_voix + 1));
  rassemble(octet::VOLUME_VOIX, r.Volume_voix + 1);
  rassemble(octet::VITESSE_VOIX, r.Vitesse_voix + 11);
  rassemble(octet::PARTICIPANTS, r.NOMBRE_PARTICIPANTS);
  oui_non(octet::ENVOI_SUR_CR, r.ENVOI_SUR_CR);
  rassemble(octet::PAS_HAUTEUR_2, r.PAS_HAUTEUR_2);
  rassemble(octet::PAS_HAUTEUR_4, r.PAS_HAUTEUR_4);
  rassemble(octet::PAS_HAUTEUR_7, r.PAS_HAUTEUR_7);
  rassemble(octet::PAS_HAUTEUR_13, r.PAS_HAUTEUR_13);
  oui_non(octet::TROIS_COLONNES_7, r.TROIS_COLONNES_7);
  oui_non(octet::TROIS_COLONNES_13, r.TROIS_COLONNES_13);
  oui_non(octet::COMPRESSION_FICHIER, r.COMPRESSION_FICHIER);
}

bool Parametres::Sauve_parametres_CONF_COM(const Textes_libres& textes) {
  const bool textes_ecrits = Sauve_CONFSTRINGS(textes);
  Rassemble_reglages();
  const bool image_ecrite = Ecrire_CONF_COM_SER();
  return textes_ecrits && image_ecrite;
}

// ---------------------------------------------------------------------------------------------------
// Writing

bool Parametres::ecrire(const std::string& nom, std::string_view octets) {
  switch (Remplacer_fichier(nom, octets)) {
    case Echec_ecriture::AUCUN:
      return true;
    case Echec_ecriture::OUVERTURE:
      hote_->Afficher_erreur(traduction("Impossible to open the file ", "Impossible d'ouvrir le fichier ") + nom +
                             traduction(" in writing mode.", " en \xE9" "criture."));
      return false;
    case Echec_ecriture::ECRITURE:
      hote_->Afficher_erreur(traduction("Impossible text record. Full hard disk? ",
                                        "Ecriture du texte impossible. Disque dur plein? ") +
                             nom);
      return false;
    case Echec_ecriture::REMPLACEMENT:
      hote_->Afficher_erreur(traduction("Impossible to replace the file ", "Impossible de remplacer le fichier ") + nom +
                             ".");
      return false;
  }
  return false;
}

bool Parametres::ecrire_image(const std::string& nom) {
  if (Image_parametres.size() != size_t(Longueur_image)) {
    // Cannot happen through this class; kept whole-length all the same.
    Image_parametres.resize(size_t(Longueur_image), '\0');
  }
  for (int i = 1; i <= Longueur_image; ++i)
    if (!Valeur_admise(i, octet(i))) fixe_octet(i, uint8_t(Image_standard[size_t(i - 1)]));
  return ecrire(nom, Image_parametres);
}

bool Parametres::Ecrire_CONF_COM_SER() { return ecrire_image(chemin(NOM_CONF_COM_SER)); }

// ---------------------------------------------------------------------------------------------------
// The buttons of the "Parameters" group

void Parametres::PARAMETRES_STANDARDClick() {
  Remise_parametres_standard = 1;
  if (!hote_->Question_oui_non(traduction("Are you sure?", "Etes-vous s\xFBr?"))) {
    Remise_parametres_standard = 0;  // No leaves nothing pending
    return;
  }
  Lecture_parametres();
  Applique_parametres();
}

void Parametres::Sauve_parametresClick() {
  if (ecrire_image(chemin(NOM_CONF_COM_BAK)))
    hote_->Afficher_information(traduction("Parameters recording done in the CONF_COM.BAK file",
                                           "Sauvegarde des param\xE8tres fait dans le fichier CONF_COM.BAK"));
}

void Parametres::Charge_parametresClick() {
  const std::string sauvegarde = chemin(NOM_CONF_COM_BAK);
  if (!autex::FICHIER_EXISTE(sauvegarde)) {
    hote_->Afficher_erreur(traduction("No recording file CONF_COM.BAK!", "Pas de fichier de sauvegarde CONF_COM.BAK!"));
    return;
  }
  Lecture_binaire lu;
  // A backup that cannot be read changes nothing: the current file is not overwritten with it.
  if (!lire(sauvegarde, lu)) return;
  // Nor does a backup that the loader would throw away for the standard image: the user's settings in
  // "CONF_COM.SER" would be lost with it.
  const int errones = Octets_errones(lu.octets);
  if (errones < 0 || errones > 30) {
    hote_->Afficher_erreur(
        traduction("The file CONF_COM.BAK is altered: it is not taken into account and the current parameters are "
                   "kept.",
                   "Le fichier CONF_COM.BAK est alt\xE9r\xE9 : il n'est pas pris en compte et les param\xE8tres "
                   "actuels sont conserv\xE9s."));
    return;
  }
  hote_->Afficher_information(traduction("Taken into account of the parameters recording file CONF_COM.BAK.",
                                         "Prise en compte du fichier de sauvegarde des param\xE8tres CONF_COM.BAK."));
  if (!ecrire(chemin(NOM_CONF_COM_SER), lu.octets)) return;
  Lecture_parametres();
}

// ---------------------------------------------------------------------------------------------------
// Free-text fields

namespace {
// The complete lines of a text whose lines end with CR LF, LF or CR; `reste` receives what follows the
// last line end.
std::vector<std::string> lignes_completes(std::string_view texte, std::string_view& reste) {
  std::vector<std::string> lignes;
  size_t debut = 0;
  for (size_t i = 0; i < texte.size(); ++i) {
    const char c = texte[i];
    if (c != '\r' && c != '\n') continue;
    lignes.emplace_back(texte.substr(debut, i - debut));
    if (c == '\r' && i + 1 < texte.size() && texte[i + 1] == '\n') ++i;
    debut = i + 1;
  }
  reste = texte.substr(debut);
  return lignes;
}
}  // namespace

void Parametres::Lecture_CONFSTRINGS(Textes_libres& textes) {
  const std::string nom = chemin(Nom_fichier_CONFSTRINGS);
  if (!autex::FICHIER_EXISTE(nom)) return;
  confstrings_non_lu_ = false;
  const Lecture_binaire lu = Lire_debut_fichier(nom, Capacite_CONFSTRINGS);
  std::string_view reste;
  const std::vector<std::string> lignes = lignes_completes(lu.octets, reste);
  const int nombre = std::min(int(lignes.size()), std::min(Nombre_lignes_CONFSTRINGS, int(Textes_libres::NOMBRE_CHAMPS)));
  for (int i = 1; i <= nombre; ++i) {
    std::string ligne = lignes[size_t(i - 1)];
    std::erase(ligne, '\0');  // a field of the window holds no NUL
    autex::SUPPRIMER_ESPACES(ligne);
    textes.champ(i) = ligne;
  }
  // A last line without its line end is not taken; past the fields it does not matter.
  std::string fin(reste);
  autex::SUPPRIMER_ESPACES(fin);
  const bool fin_perdue = !fin.empty() && int(lignes.size()) < Textes_libres::NOMBRE_CHAMPS;
  if (lu.ouvert && !lu.erreur && !lu.plus_long && !fin_perdue) return;

  // Saving the fields as they stand would lose what was not read.
  confstrings_non_lu_ = true;
  textes_lus_ = textes;
  hote_->Afficher_erreur(
      traduction("The file ", "Le fichier ") + Nom_fichier_CONFSTRINGS +
      traduction(" could not be read whole: it is not overwritten. If you change the beacon text, the call sign, "
                 "the information or the sequences, it is kept as ",
                 " n'a pas pu \xEAtre lu en entier : il n'est pas remplac\xE9. Si vous modifiez le texte de la "
                 "balise, l'indicatif, les informations ou les s\xE9quences, il est conserv\xE9 sous le nom ") +
      NOM_CONFSTRINGS_ANCIEN + ".");
}

bool Parametres::Sauve_CONFSTRINGS(const Textes_libres& textes) {
  std::string contenu;
  for (int i = 1; i <= Textes_libres::NOMBRE_CHAMPS; ++i) {
    std::string champ = textes.champ(i);
    // A line break (or a NUL) inside a field would shift the following fields by a line.
    std::erase_if(champ, [](char c) { return c == '\r' || c == '\n' || c == '\0'; });
    contenu += champ + "\r\n";
  }
  const std::string nom = chemin(Nom_fichier_CONFSTRINGS);
  if (confstrings_non_lu_ && autex::FICHIER_EXISTE(nom)) {
    // The file on disk holds more than the fields: unchanged fields leave it alone; changed ones go to a
    // new file once the former one has been set aside.
    if (textes == textes_lus_) return true;
    std::string ancien = chemin(NOM_CONFSTRINGS_ANCIEN);
    bool libre = true;
    if (autex::FICHIER_EXISTE(ancien)) autex::Nom_de_fichier_libre(ancien, libre);
    if (!libre || std::rename(nom.c_str(), ancien.c_str()) != 0) {
      hote_->Afficher_erreur(traduction("Impossible to keep the former file ", "Impossible de conserver l'ancien fichier ") +
                             nom + traduction(": the fields are not saved.", " : les champs ne sont pas sauvegard\xE9s."));
      return false;
    }
  }
  if (!ecrire(nom, contenu)) return false;
  confstrings_non_lu_ = false;
  return true;
}

}  // namespace station
