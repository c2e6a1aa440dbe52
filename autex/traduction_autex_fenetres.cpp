// TRADUCTION_AUTEX: support of the AUTEX window (participant panels, counters, saving the texts, captions and
// hints) and the display of received texts in the participants' reception windows, with the short messages
// and files carried in the text stream.
#include <algorithm>
#include <cstdio>

#include "autex/fonctions_fichiers.h"
#include "autex/textes_encadres.h"
#include "autex/traduction_autex.h"
#include "autex/vue_autex.h"
#include "platform/priority.h"

namespace autex {

using enum NomElement;

namespace {
constexpr int HAUTEUR_BAS_PANNEAU = 23;  // the inner bottom panel (secondary channel) of a participant panel
constexpr int MARGE_MEMO = 41;           // the panel's height less its reception memo's
const std::string CRLF = "\r\n";
// What sets a short message's second line and those after it in, in the short-message window and its report.
const std::string RETRAIT_SUITE = "  ";

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Panels
// ---------------------------------------------------------------------------------------------------------

void Autex::FIXE_LARGEUR(const Element& e, int largeur) {
  const platform::TRect r = vue_.Limites(e);
  vue_.Fixe_limites(e, platform::Bounds(r.Left, r.Top, largeur, r.Height()));
}

void Autex::FIXE_HAUTEUR(const Element& e, int hauteur) {
  const platform::TRect r = vue_.Limites(e);
  vue_.Fixe_limites(e, platform::Bounds(r.Left, r.Top, r.Width(), hauteur));
}

void Autex::FIXE_HAUT(const Element& e, int haut) {
  const platform::TRect r = vue_.Limites(e);
  vue_.Fixe_limites(e, platform::Bounds(r.Left, haut, r.Width(), r.Height()));
}

void Autex::DISPOSITION_PANNEAUX_AUTEX() {
  const int slots = SLOTS_EXISTANTS();
  // Every panel but the Master's and the first slot's is hidden, with its counters.
  for (int n = 2; n <= 12; ++n) {
    vue_.Fixe_visible({Panel_participant, n}, false);
    vue_.Fixe_visible({Indicatif, n}, false);
    vue_.Fixe_visible({Nombre_de_repetitions, n}, false);
  }
  // Two columns, or three for 7 or 13 participants when asked.
  NOMBRE_COLONNES = 2;
  if ((NOMBRE_PARTICIPANTS == 7 && TROIS_COLONNES_7 == 1) || (NOMBRE_PARTICIPANTS == 13 && TROIS_COLONNES_13 == 1))
    NOMBRE_COLONNES = 3;
  // Panels start below the top of the Master's panel, each of the standard width.
  const int haut = vue_.Limites(Panel_Master).Top;
  LARGEUR_PANNEAU = 336;
  LARGEUR_AUTEX = uint16_t(NOMBRE_COLONNES * LARGEUR_PANNEAU);
  // Rows: the participants (the panels that exist) on NOMBRE_COLONNES columns, rounded up.
  const int participants = slots + 1;
  const int rangees = (participants + NOMBRE_COLONNES - 1) / NOMBRE_COLONNES;
  // A height below the panels' top gives empty panels, never negative sizes.
  const int h = std::max(0, (int(HAUTEUR_PANNEAU) - haut) / rangees);
  const int hauteur_memo = std::max(0, h - MARGE_MEMO);
  const int haut_bas = std::max(0, h - HAUTEUR_BAS_PANNEAU);
  // The AUTEX panel holds the columns and the rows.
  FIXE_LARGEUR(Panel_AUTEX, LARGEUR_AUTEX);
  FIXE_HAUTEUR(Panel_AUTEX, rangees * h + haut);
  // The short-message window takes the height left beside (2 columns) or above (3 columns) the AUTEX panel.
  const platform::TRect panneau = vue_.Limites(Panel_AUTEX);
  const int hauteur_sms = NOMBRE_COLONNES == 3 ? panneau.Top - 10 : panneau.Top + panneau.Height();
  FIXE_HAUTEUR(Panel_AUTEX_SMS, std::max(0, hauteur_sms));
  const int entete = vue_.Limites(Panel_Entete).Height();
  const platform::TRect sms = vue_.Limites(Panel_AUTEX_SMS);
  vue_.Fixe_limites(RichEdit_SMS, platform::Bounds(1, entete, std::max(0, sms.Width() - 2),
                                                   std::max(0, sms.Height() - entete - 1)));
  // The window ends with the AUTEX panel.
  const platform::TRect autex = vue_.Limites(Panel_AUTEX);
  vue_.Fixe_hauteur_client(autex.Top + autex.Height());
  // Reading order M, S1, S2, ... on the grid.
  for (int k = 0; k <= slots; ++k) {
    const platform::TRect p = vue_.Limites({Panel_participant, k});
    vue_.Fixe_limites({Panel_participant, k}, platform::Bounds((k % NOMBRE_COLONNES) * LARGEUR_PANNEAU,
                                                               haut + (k / NOMBRE_COLONNES) * h, p.Width(), h));
    FIXE_HAUT({Panel_inner, k}, haut_bas);
    FIXE_HAUTEUR({Memo_Reception, k}, hauteur_memo);
    vue_.Fixe_visible({Panel_participant, k}, true);
  }
  for (int n = 2; n <= slots; ++n) {
    vue_.Fixe_visible({Indicatif, n}, true);
    vue_.Fixe_visible({Nombre_de_repetitions, n}, true);
  }
}

void Autex::HAUTEUR_PANNEAU_AUTEX() {
  const uint8_t pas = uint8_t(std::min(255, HAUTEUR_PANNEAU / 20));
  switch (NOMBRE_PARTICIPANTS) {
    case 4: PAS_HAUTEUR_4 = pas; break;
    case 7: PAS_HAUTEUR_7 = pas; break;
    case 13: PAS_HAUTEUR_13 = pas; break;
    default: PAS_HAUTEUR_2 = pas; break;
  }
  vue_.Fixe_texte(Label_hauteur_Panel_Autex, std::to_string(HAUTEUR_PANNEAU));
  DISPOSITION_PANNEAUX_AUTEX();
}

void Autex::EFFACE_FENETRES_M_ET_SX() {
  for (int k = 0; k <= SLOTS_EXISTANTS(); ++k) {
    vue_.Fixe_texte({Memo_Reception, k}, "");
    TEXTE_FENETRE[size_t(k)].clear();
    vue_.Fixe_texte({Secondary_channel, k}, "");
  }
}

void Autex::RAZ_COMPTEURS_AFFICHES() {
  if (STATION_MAITRE != 1) {
    vue_.Fixe_visible(Panel_Etat_utilisateurs, false);
    return;
  }
  vue_.Fixe_visible(Panel_Etat_utilisateurs, true);
  for (int n = 1; n <= 12; ++n) {
    vue_.Fixe_visible({Indicatif, n}, false);
    vue_.Fixe_visible({Nombre_de_repetitions, n}, false);
    vue_.Fixe_texte({Indicatif, n}, "");
    vue_.Fixe_texte({Nombre_de_repetitions, n}, "0");
  }
  for (int n = 1; n <= SLOTS_EXISTANTS(); ++n) {
    vue_.Fixe_visible({Indicatif, n}, true);
    vue_.Fixe_visible({Nombre_de_repetitions, n}, true);
  }
}

// ---------------------------------------------------------------------------------------------------------
// Saving every window
// ---------------------------------------------------------------------------------------------------------

platform::SystemTime Autex::HEURE_FICHIER() { return horloge_.utcTime(); }

void Autex::SAUVE_TOUT() {
  // The file is named after the UTC time.
  const platform::SystemTime t = HEURE_FICHIER();
  char date[32], heure[32];
  std::snprintf(date, sizeof date, "%04u-%02u-%02u", unsigned(t.wYear), unsigned(t.wMonth) % 100,
                unsigned(t.wDay) % 100);
  std::snprintf(heure, sizeof heure, "%02uh%02um%02us", unsigned(t.wHour) % 100, unsigned(t.wMinute) % 100,
                unsigned(t.wSecond) % 100);
  const std::string nom = std::string("AUTEX ") + date + " " + heure + ".TXT";
  // It goes to the AUTEX sub-directory, made when missing.
  const std::string travail = hote_.Repertoire_travail();
  const std::string repertoire = travail.empty() ? std::string("AUTEX") : travail + SEPARATEUR_CHEMIN + "AUTEX";
  if (!detail::os_is_directory(repertoire) && !detail::os_make_directory(repertoire)) {
    INFO(T("Impossible to create the sub-directory AUTEX", "Impossible de cr\xE9" "er le sous-r\xE9pertoire AUTEX"));
    return;
  }
  // The Master's window, then each slot that holds a secondary channel or a text.
  std::string contenu = "Master " + vue_.Texte({Secondary_channel, 0}) + CRLF + TEXTE_FENETRE[0] + CRLF + CRLF;
  for (int n = 1; n <= SLOTS_EXISTANTS(); ++n) {
    const std::string canal = vue_.Texte({Secondary_channel, n});
    const std::string& texte = TEXTE_FENETRE[size_t(n)];
    if (canal.empty() && texte.empty()) continue;
    contenu += std::string("S").append(std::to_string(n)) + " " + canal + CRLF + texte + CRLF + CRLF;
  }
  // A save made in the same second as an earlier one goes beside it instead of over it.
  std::string chemin = repertoire + SEPARATEUR_CHEMIN + nom;
  if (FICHIER_EXISTE(chemin)) {
    bool libre = false;
    Nom_de_fichier_libre(chemin, libre);
    if (!libre) {
      INFO(T("Problem to find a free file", "Probl\xE8me pour trouver un fichier libre"));
      return;
    }
  }
  FonctionsFichiers fichiers(langues_, [this](const std::string& message) { hote_.Afficher_erreur(message); });
  fichiers.Repertoire_travail = travail;
  fichiers.ECRIRE_FICHIER_TEXTE(chemin, contenu);
}

// ---------------------------------------------------------------------------------------------------------
// Captions and hints
// ---------------------------------------------------------------------------------------------------------

void Autex::TEXTES_FENETRE_AUTEX(bool garder_info) {
  const bool info_gardee = garder_info && !vue_.Texte(Label_Info_AUTEX).empty();
  struct Texte {
    Element controle;
    const char* legende_en;  // nullptr: the caption is not set
    const char* legende_fr;
    const char* aide_en;     // nullptr: the hint is not set
    const char* aide_fr;
  };
  const Texte textes[] = {
      {Label_Info_AUTEX, "Display and control window for the AUTEX modes",
       "Fen\xEAtre d'affichage et de contr\xF4le pour les modes AUTEX", nullptr, nullptr},
      {Efface_toutes_les_fenetres_M_et_Sx, "Erase all", "Efface tout",
       "This button permits to erase all the reception windows (\"Master\" and \"Slaves\") and the secondary "
       "channels (callsigns,...)",
       "Ce bouton permet d'effacer toutes les fen\xEAtres de r\xE9" "ception (\"Ma\xEEtre\" et \"Esclaves\") et les "
       "canaux secondaires (indicatifs,...)"},
      {Options_AUTEX, "Options", "Options", "To close the options window, re-click on this button",
       "Pour fermer cette fen\xEAtre des options, re-cliquez sur ce bouton"},
      {Sauve_toutes_les_fenetres_M_et_Sx, "Save all", "Sauve tout",
       "This button permits to save all the texts and callsigns received, in a dated file (\"AUTEX date "
       "time.TXT\") located in the sub-directory \\AUTEX",
       "Ce bouton permet de sauvegarder tous les textes et indicatifs re\xE7us, dans un fichier dat\xE9 (\"AUTEX "
       "date heure.TXT\")  situ\xE9 dans le sous-r\xE9pertoire \\AUTEX"},
      {Hauteur_du_Panel_Autex, nullptr, nullptr,
       "The \"Up Down\" control permits to adjust the windows height, according to the screen height",
       "Le contr\xF4le fl\xE8" "ch\xE9 permet d'ajuster la hauteur de la fen\xEAtre \xE0 la hauteur de l'\xE9" "cran"},
      {Sur_3_colonnes_AUTEX, "On 3 columns", "Sur 3 colonnes",
       "Display of the users panels on 3 columns instead of 2, to better match the screen sizes",
       "Affichage des volets utilisateurs sur 3 colonnes au lieu de 2, pour mieux s'ajuster aux dimensions de "
       "l'\xE9" "cran"},
      {Label_canal_secondaire, "Your secondary channel (callsign and various information)",
       "Votre canal secondaire (indicatif et informations diverses)", nullptr, nullptr},
      {Label_canal_secondaire2, "32 characters max (with 14 characters max callsign included)",
       "32 caract\xE8res max (avec indicatif inclus de 14 caract\xE8res max)", nullptr, nullptr},
      {Label_Indicatif, "Callsign", "Indicatif",
       "To define your callsign or identifier (\"Q0XYZ\" ou \"ZZT45\" for example), without spaces",
       "Pour d\xE9" "finir votre indicatif ou identifiant (\"Q0XYZ\" ou \"ZZT45\" par exemple), sans espaces"},
      {DIVERS, nullptr, nullptr,
       "To define your other information (name, QTH, Locator...), but not the callsign",
       "Pour d\xE9" "finir vos autres informations (nom, QTH, Locator...), mais pas l'indicatif"},
      {Label_divers2, "Various information (name, QTH, Locator...)",
       "Informations diverses (nom, QTH, Locator...)", nullptr, nullptr},
      {Label_Panneau_Utilisateurs, "Users state", "Etat utilisateurs", nullptr, nullptr},
      {{Indicatif, 1}, nullptr, nullptr, "Call sign of the connected user",
       "Indicatif de l'utilisateur connect\xE9"},
      {{Nombre_de_repetitions, 1}, nullptr, nullptr,
       "Number of consecutive frames not received or frames received but without all the expected "
       "acknowledgements, from a given user (at 3, this one is automatically disconnected)",
       "Nombre de trames cons\xE9" "cutives non re\xE7ues ou de trames re\xE7ues mais sans tous les acquittements "
       "pr\xE9vus, de la part d'un utilisateur donn\xE9 (\xE0 3, celui-ci est automatiquement d\xE9" "connect\xE9)"},
      {LANCEMENT_REUNION, "Start the meeting", "Lancer la r\xE9union",
       "For the originator Ham (Master), to start the meeting. As long as this button is pushed, the meeting is "
       "supposed to be in progress",
       "Pour l'OM initiateur (Ma\xEEtre), pour lancer la r\xE9union. Aussi longtemps que ce bouton est pouss\xE9, la "
       "r\xE9union est suppos\xE9" "e en cours"},
      {FIN_REUNION, "End the meeting", "Terminer la r\xE9union",
       "For the originator Ham (Master), to end the meeting with all the users.",
       "Pour l'OM initiateur (Ma\xEEtre), pour arr\xEAter la r\xE9union avec tous les utilisateurs."},
      {Label_Master, nullptr, nullptr, "\"Master\" (the one who initiates and controls the meeting)",
       "\"Master\" pour \"Maitre\" (celui qui initie et contr\xF4le la r\xE9union)"},
      {{ENTRER_DANS_LA_REUNION, 1}, "Enter", "Entrer",
       "For a user, to enter the meeting. As long as this button is pushed, the connection with the other "
       "participants is supposed to be in progress",
       "Pour un utilisateur, pour entrer dans la r\xE9union. Aussi longtemps que ce bouton est pouss\xE9, la "
       "connexion avec le Ma\xEEtre et les autres participants est suppos\xE9" "e en cours"},
      {{SORTIR_DE_LA_REUNION, 1}, "Quit", "Sortir", "For the user, to end his/her partipation to this meeting",
       "Pour l'utilisateur, pour mettre fin \xE0 sa participation dans cette r\xE9union"},
      {{Label_Utilisateur, 1}, nullptr, nullptr, "\"S\" for \"Slave\" (User) followed by its order number",
       "\"S\" pour \"Slave\" (Utilisateur) suivi de son num\xE9ro d'ordre"},
      {{Label_CQ, 1}, nullptr, nullptr,
       "Displays a \"CQ de \" callsign on reception of a \"CQ meeting DE \" transmitted by a Ham (\"Master\")",
       "Affiche un \"CQ de \" suivi d'un indicatif sur r\xE9" "ception d'un \"CQ meeting DE \" transmis par un OM "
       "(\"Ma\xEEtre\")"},
      {AUCUN_CQ_S2, "No CQ", "Pas de CQ", "Useful for the Master to reserve the channel 2 for someone",
       "Utile au Ma\xEEtre pour r\xE9server le canal 2 pour quelqu'un"},
      {ARRET_TRANSMISSION_AUTEX, nullptr, nullptr,
       "If you click on this button, your transmission in progress (message, position or file) will be "
       "immediatly stopped.",
       "Si vous cliquez sur ce bouton, votre transmission en cours (message, position ou fichier) sera "
       "imm\xE9" "diatement arr\xEAt\xE9" "e."},
      {Envoi_texte_sur_CR, "Transmission of the message on line feed (\"Enter\" key)",
       "Envoi du message sur passage \xE0 la ligne (touche \"Entr\xE9" "e\")",
       "This option can be useful for the Hams who prefer to send their message, by typing on the \"Enter\" key",
       "Cette option peut \xEAtre utile pour les OM qui pr\xE9" "f\xE8rent envoyer leur message, en tapant sur la "
       "touche \"Entr\xE9" "e\""},
      {Compression_du_fichier_transmis, "Compression of the file before transmission",
       "Compression du fichier avant transmission",
       "Compression (up to 4) to reduce the transmission time (but the transmitted characters of a text file "
       "will be unreadable)",
       "Compression (jusqu'\xE0 4) pour r\xE9" "duire le temps de transmission (mais les caract\xE8res transmis d'un "
       "fichier texte seront illisibles)"},
      {ENVOI_MESSAGE_ARQ, "Send the message", "Envoyer le message",
       "Once the message is ready to be sent, send it by clicking on this button or typing the <Esc> key. You "
       "must be connected.",
       "Une fois le message pr\xEAt \xE0 \xEAtre envoy\xE9, envoyez le en cliquant sur ce bouton ou en tapant sur la "
       "touche <Echap>. Vous devez \xEAtre connect\xE9."},
      {Label_TX_FICHIER, "TX file", "TX fichier", nullptr, nullptr},
      {Label_RX_FICHIER, "RX file", "RX fichier", nullptr, nullptr},
      {Fichier_TX_AUTEX, "Your file", "Votre fichier",
       "Selection of the file (limited to a maximum size of 63 Kbytes) to send to the other Ham(s)",
       "S\xE9lection du fichier (limit\xE9 \xE0 une taille maximum de 63 Koctets) \xE0 envoyer \xE0 votre(vos) "
       "correspondant(s)"},
      {TRANSMISSION_FICHIER_AUTEX, "Transmission", "Transmission",
       "To transmit to the group your file (at reception, it will be stored in the \"AUTEX\" sub-directory of "
       "the Vornatel directory)",
       "Pour transmettre au groupe votre fichier (\xE0 la r\xE9" "ception, il sera stock\xE9 dans le "
       "sous-r\xE9pertoire \"AUTEX\" du r\xE9pertoire Vornatel)."},
      {Ouverture_du_fichier_AUTEX, "File opening", "Ouverture fichier",
       "After a file reception, click on this button to open this file",
       "Apr\xE8s la r\xE9" "ception d'un fichier, cliquez sur ce bouton pour ouvrir ce fichier"},
      {Nom_du_fichier_RX_AUTEX, nullptr, nullptr,
       "The receive file is stored in the \"AUTEX\" sub-directory of the Vornatel directory",
       "Le fichier re\xE7u est stock\xE9 dans le sous-r\xE9pertoire \"AUTEX\" du r\xE9pertoire Vornatel"},
  };
  for (const Texte& t : textes) {
    if (t.legende_en && !(info_gardee && t.controle == Element(Label_Info_AUTEX)))
      vue_.Fixe_texte(t.controle, T(t.legende_en, t.legende_fr));
    if (t.aide_en) vue_.Fixe_aide(t.controle, T(t.aide_en, t.aide_fr));
  }
  // The link state keeps its meaning in the new language: a language switch during a session must not show
  // the station as disconnected.
  const std::string etat = vue_.Texte(Etat_liaison);
  if (etat == "Connected" || etat == "Connect\xE9")
    vue_.Fixe_texte(Etat_liaison, T("Connected", "Connect\xE9"));
  else
    vue_.Fixe_texte(Etat_liaison, T("Disconnected", "D\xE9" "connect\xE9"));
  // The S1 controls' texts go to the same controls of S2 to S12 (the captions of the buttons only: the other
  // captions hold call signs and CQ offers).
  for (int n = 2; n <= 12; ++n) {
    vue_.Fixe_aide({Indicatif, n}, vue_.Aide({Indicatif, 1}));
    vue_.Fixe_aide({Nombre_de_repetitions, n}, vue_.Aide({Nombre_de_repetitions, 1}));
    vue_.Fixe_texte({ENTRER_DANS_LA_REUNION, n}, vue_.Texte({ENTRER_DANS_LA_REUNION, 1}));
    vue_.Fixe_aide({ENTRER_DANS_LA_REUNION, n}, vue_.Aide({ENTRER_DANS_LA_REUNION, 1}));
    vue_.Fixe_texte({SORTIR_DE_LA_REUNION, n}, vue_.Texte({SORTIR_DE_LA_REUNION, 1}));
    vue_.Fixe_aide({SORTIR_DE_LA_REUNION, n}, vue_.Aide({SORTIR_DE_LA_REUNION, 1}));
    vue_.Fixe_aide({Label_Utilisateur, n}, vue_.Aide({Label_Utilisateur, 1}));
    vue_.Fixe_aide({Label_CQ, n}, vue_.Aide({Label_CQ, 1}));
  }
  // Last, the missing call sign.
  if (vue_.Texte(Edit_INDICATIF).empty()) {
    ABSENCE_INDICATIF = 1;
    INFO(T("No callsign: fill the \"Callsign\" field", "Pas d'indicatif: remplissez le champ \"Indicatif\""));
  } else {
    ABSENCE_INDICATIF = 0;
  }
}

// ---------------------------------------------------------------------------------------------------------
// Received texts
// ---------------------------------------------------------------------------------------------------------

void Autex::AFFICHE_MESSAGE_SLOT(int k, std::string texte) {
  // Nothing to show, or no such window.
  if (texte.empty() || k < 0 || k > 12) return;
  hote_.Classe_priorite(platform::kRealtimePriorityClass);
  // Short messages and files are taken out of the text.
  RECEPTION_FICHIER_SMS(k, texte);
  // Trace of what is shown.
  const std::string& ancien = TEXTE_FENETRE[size_t(k)];
  if (TRACE_ACTIVE == 1)
    TRACE_LIGNE(HEURE_SYSTEME() + (k == 0 ? std::string(" MEMO_I M ") : std::string(" MEMO_I DE S").append(std::to_string(k)) + " ") +
                texte);
  // A line end cut between two chunks is shown once.
  if (!texte.empty() && texte.back() == '\r') texte += '\n';
  if (!ancien.empty() && ancien.back() == '\n' && !texte.empty() && texte.front() == '\n') texte.erase(0, 1);
  // Control characters other than CR and LF are not shown.
  std::string propre;
  propre.reserve(texte.size());
  for (const char c : texte)
    if (static_cast<unsigned char>(c) >= 32 || c == '\r' || c == '\n') propre.push_back(c);
  // The text goes at the end of the participant's window.
  vue_.Insere_texte({Memo_Reception, k}, int(ancien.size()), propre);
  vue_.Redessine({Memo_Reception, k});
  // The window's text is kept for saving.
  TEXTE_FENETRE[size_t(k)] += propre;
  hote_.Classe_priorite(platform::kNormalPriorityClass);
}

void Autex::RAZ_RECEPTION_PARTICIPANT(size_t k) {
  REPRISE_SEQUENCE[k] = 1;
  CARACTERE_PRECEDENT[k] = -1;
  TAMPON_SEGMENT[k].clear();
  SMS_EN_COURS[k] = 0;
  FICHIER_EN_COURS[k] = 0;
  FICHIER_COMPRESSE[k] = 0;
  OCTETS_TAILLE[k].clear();
  TAILLE_LUE[k] = 0;
  TAILLE_FICHIER[k] = 0;
  OCTETS_RECUS[k] = 0;
}

void Autex::RECEPTIONS_COUPEES(const std::string& raison) {
  for (int k = 0; k < NOMBRE_SLOTS; ++k) RECEPTION_COUPEE(k, raison);
}

void Autex::RECEPTION_COUPEE(int k, const std::string& raison) {
  if (k < 0 || k >= NOMBRE_SLOTS) return;
  const size_t i = size_t(k);
  if (FICHIER_EN_COURS[i] == 0 && SMS_EN_COURS[i] == 0) return;
  if (FICHIER_EN_COURS[i] == 1) FICHIER_INTERROMPU(k, TAMPON_SEGMENT[i], raison);
  if (SMS_EN_COURS[i] == 1) MESSAGE_INTERROMPU(k, TAMPON_SEGMENT[i], raison);
  RAZ_RECEPTION_PARTICIPANT(i);
  // The window's line under way ("...18% ", or the start of the message) ends here.
  AFFICHE_MESSAGE_SLOT(k, "..." + T("error", "erreur") + CRLF);
}

void Autex::RAZ_RECEPTION_FICHIERS() {
  RECEPTIONS_COUPEES(T("the reception was interrupted", "la r\xE9" "ception a \xE9t\xE9 interrompue"));
  ECHO_EMIS.Raz();
  for (size_t k = 0; k < size_t(NOMBRE_SLOTS); ++k) {
    ECHO_RECU[k].Raz();
    RAZ_RECEPTION_PARTICIPANT(k);
    NOMS_EMETTEURS[k].clear();
    EMETTEUR_PROPRE[k] = 0;
  }
}

void Autex::RECEPTION_FICHIER_SMS(int k, std::string& texte) {
  // The text stream of a participant carries framed texts (autex/textes_encadres.h): the byte 3 followed by a
  // code starts a short message (1) or a file (4, 6), ends it (0) or abandons it (5); a doubled 3 is one data
  // byte 3. The state lives per participant, so a frame may be cut anywhere between two chunks. What the
  // reception window shows comes back in texte; the control characters left in it are removed on display.
  const size_t i = size_t(k);
  std::string& tampon = TAMPON_SEGMENT[i];
  int precedent = CARACTERE_PRECEDENT[i];
  std::string affichage;
  std::string segment;
  uint64_t compte = 0;  // bytes of the file frame received in this chunk, after its length
  // Neither a short message nor a file in progress any more, and nothing kept of them.
  const auto plus_rien_en_cours = [&] {
    SMS_EN_COURS[i] = 0;
    FICHIER_EN_COURS[i] = 0;
    FICHIER_COMPRESSE[i] = 0;
    TAILLE_LUE[i] = 0;
    tampon.clear();
    segment.clear();
    REPRISE_SEQUENCE[i] = 1;
  };
  // What came of the frame under way before the 3 that starts the sequence cutting it short.
  const auto recu = [&] {
    std::string r = tampon + segment;
    if (!r.empty()) r.pop_back();
    return r;
  };
  // The file under way is cut short by its sender (a stop, or a new message or file in its place): announced
  // as not stored, with how much of it had come. The 3 that starts the sequence came as one of its bytes and
  // was counted so: it is none.
  const auto coupe = [&](const std::string& raison) -> std::string {
    OCTETS_RECUS[i] += compte;
    if (OCTETS_RECUS[i] > 0) --OCTETS_RECUS[i];
    compte = 0;
    return FICHIER_INTERROMPU(k, recu(), raison);
  };
  // The same, and the window's line ends with the error word (the sender's own window says nothing more: its
  // sending side tells the operator in the sender's words).
  const auto coupe_erreur = [&](const std::string& raison) {
    const std::string dit = coupe(raison);
    if (EMETTEUR_PROPRE[i] == 1)
      affichage += "..." + T("error", "erreur") + CRLF;
    else
      ERREUR_FICHIER_RECU(dit, affichage);
  };
  // The short message under way is cut short by its sender: announced with what came of it, its window's
  // line ended.
  const auto message_coupe = [&](const std::string& raison, bool erreur) {
    MESSAGE_INTERROMPU(k, recu(), raison);
    if (erreur) affichage += "..." + T("error", "erreur") + CRLF;
  };
  const auto abandon = [&](std::string& a) {
    if (FICHIER_EN_COURS[i] == 1)
      ERREUR_FICHIER_RECU(T("Error on file containt", "Erreur sur contenu du fichier"), a);
    else
      a += "..." + T("error", "erreur") + CRLF;
    plus_rien_en_cours();
  };
  // A short message or a file starts on a line of its own: the window's last line may still hold the end of
  // text that never came whole (a link lost in the middle of a message or a file).
  const auto nouvelle_ligne = [&](std::string& a) {
    for (auto p = a.rbegin(); p != a.rend(); ++p) {
      const unsigned char v = static_cast<unsigned char>(*p);
      if (v == '\r' || v == '\n') return;
      if (v >= 32) {
        a += CRLF;
        return;
      }
    }
    const std::string& fenetre = TEXTE_FENETRE[i];
    if (!fenetre.empty() && fenetre.back() != '\n' && fenetre.back() != '\r') a += CRLF;
  };
  for (const char ch : texte) {
    const int c = static_cast<unsigned char>(ch);
    // After a sequence, the next character pairs with nothing.
    if (REPRISE_SEQUENCE[i] == 1) {
      REPRISE_SEQUENCE[i] = 0;
      precedent = -1;
    }
    if (FICHIER_EN_COURS[i] == 1 && TAILLE_LUE[i] == 0) {
      // The three length bytes are a binary field, read as they come: a 3 among them starts no sequence, so
      // that every length (768 = 0, 3, 0 for one) reads right.
      OCTETS_TAILLE[i].push_back(ch);
      if (OCTETS_TAILLE[i].size() == 3) {
        TAILLE_LUE[i] = 1;
        TAILLE_FICHIER[i] = uint64_t(uint32_t(Trois_octets_vers_entier(OCTETS_TAILLE[i])));
        affichage += " " + std::to_string(TAILLE_FICHIER[i]) + " " + T("bytes", "octets");
        OCTETS_RECUS[i] = 0;
        compte = 0;
        tampon.clear();
        segment.clear();
        REPRISE_SEQUENCE[i] = 1;
      }
      continue;
    }
    if (precedent == 3 && c == 3) {
      // The second 3 of a data byte 3: dropped, and the next character pairs with nothing.
      REPRISE_SEQUENCE[i] = 1;
      if (FICHIER_EN_COURS[i] == 1) ++compte;
    } else if (precedent == 3 && c == 5) {
      // Stop: the short message or file in progress is dropped.
      if (FICHIER_EN_COURS[i] == 1) coupe(T("stopped by the sender", "arr\xEAt\xE9 par l'\xE9metteur"));
      if (SMS_EN_COURS[i] == 1) message_coupe(T("stopped by the sender", "arr\xEAt\xE9 par l'\xE9metteur"), false);
      affichage += " ...Stop!" + CRLF;
      plus_rien_en_cours();
    } else if (precedent == 3 && c == 0) {
      // End: the collected text without the 3 that began this sequence.
      std::string s = tampon + segment;
      if (!s.empty()) s.pop_back();
      REPRISE_SEQUENCE[i] = 1;
      if (SMS_EN_COURS[i] == 1) {
        EN_TETE_SMS(k);
        AJOUTE_TEXTE_SMS(k, Message_affichable(s) + CRLF + CRLF);
        SMS_EN_COURS[i] = 0;
        affichage += CRLF;
      } else if (FICHIER_EN_COURS[i] == 1) {
        FIN_FICHIER_RECU(k, std::move(s), affichage);
      }
      tampon.clear();
      segment.clear();
    } else if (precedent == 3 && c == 1) {
      // A short message; one that starts abandons a short message or a file left unfinished.
      if (FICHIER_EN_COURS[i] == 1)
        coupe_erreur(T("cut short by a short message of the sender", "interrompu par un message court de l'\xE9metteur"));
      if (SMS_EN_COURS[i] == 1)
        message_coupe(T("cut short by another short message of the sender",
                        "interrompu par un autre message court de l'\xE9metteur"),
                      true);
      nouvelle_ligne(affichage);
      CHOIX_NOM_EMETTEUR(k);
      FICHIER_EN_COURS[i] = 0;
      FICHIER_COMPRESSE[i] = 0;
      TAILLE_LUE[i] = 0;
      SMS_EN_COURS[i] = 1;
      tampon.clear();
      segment = ": ";
      REPRISE_SEQUENCE[i] = 1;
    } else if (precedent == 3 && (c == 4 || c == 6)) {
      // A file; one that starts abandons a short message or a file left unfinished.
      if (FICHIER_EN_COURS[i] == 1)
        coupe_erreur(T("cut short by another file of the sender", "interrompu par un autre fichier de l'\xE9metteur"));
      if (SMS_EN_COURS[i] == 1)
        message_coupe(T("cut short by a file of the sender", "interrompu par un fichier de l'\xE9metteur"), true);
      nouvelle_ligne(affichage);
      CHOIX_NOM_EMETTEUR(k);
      SMS_EN_COURS[i] = 0;
      FICHIER_EN_COURS[i] = 1;
      tampon.clear();
      segment.clear();
      OCTETS_TAILLE[i].clear();
      TAILLE_LUE[i] = 0;
      TAILLE_FICHIER[i] = 0;
      OCTETS_RECUS[i] = 0;
      affichage += T("File transmission:", "Transmission d'un fichier:") + " ";
      REPRISE_SEQUENCE[i] = 1;
      FICHIER_COMPRESSE[i] = c == 6 ? 1 : 0;
    } else {
      // Data of a short message or file, or plain text.
      segment.push_back(ch);
      if (FICHIER_EN_COURS[i] == 1) ++compte;
      if ((SMS_EN_COURS[i] == 1 || FICHIER_EN_COURS[i] == 1) && tampon.size() + segment.size() > TAILLE_MAX_SEGMENT)
        abandon(affichage);
    }
    // Plain text is shown; the last character is kept to pair with the next.
    if (FICHIER_EN_COURS[i] == 0) affichage.push_back(ch);
    if (REPRISE_SEQUENCE[i] == 0) precedent = c;
  }
  // Only a frame in progress needs its text; elsewhere the last character is all that pairs with the next chunk.
  if (SMS_EN_COURS[i] == 1 || FICHIER_EN_COURS[i] == 1)
    tampon += segment;
  else
    tampon.clear();
  CARACTERE_PRECEDENT[i] = int16_t(precedent);
  if (FICHIER_EN_COURS[i] == 1 && TAILLE_LUE[i] == 1) {
    OCTETS_RECUS[i] += compte;
    // An announced length of 0 cannot be divided by: the file is then all there.
    const uint64_t pour_cent =
        TAILLE_FICHIER[i] == 0 ? 100 : std::min<uint64_t>(100, OCTETS_RECUS[i] * 100 / TAILLE_FICHIER[i]);
    affichage += "..." + std::to_string(pour_cent) + "% ";
  }
  texte = std::move(affichage);
}

void Autex::ERREUR_FICHIER_RECU(const std::string& raison, std::string& affichage) {
  // The last file stored stays the one that "File opening" opens.
  affichage += "..." + T("error", "erreur") + CRLF;
  INFO(raison);
}

std::string Autex::MOT_OCTETS(uint64_t n) const {
  // "1 byte", "0 bytes"; in French 0 and 1 take the singular.
  return langues_.Langue == LANGUE_ANGLAIS ? std::string(n == 1 ? "byte" : "bytes")
                                           : std::string(n <= 1 ? "octet" : "octets");
}

void Autex::ANNONCE_FICHIER(int k, const std::string* indicatif, const std::string* nom, int64_t octets,
                            const std::string& stocke, const std::string& echec) {
  // Each name on one line, as received; a call sign left empty by its sender names no one.
  std::string ligne = ": ";
  if (indicatif != nullptr && !indicatif->empty()) {
    ligne += T("File of", "Fichier de");
    ligne += ' ';
    ligne += Nom_affichable(*indicatif);
  } else {
    ligne += T("File", "Fichier");
  }
  if (nom != nullptr) ligne.append(" \"").append(Nom_affichable(*nom)).append("\"");
  if (octets >= 0) {
    ligne.append(" (").append(std::to_string(octets)).append(" ");
    ligne.append(MOT_OCTETS(uint64_t(octets))).append(")");
  }
  if (!stocke.empty() && (nom == nullptr || stocke != *nom)) {
    ligne += ' ';
    ligne += T("stored as", "enregistr\xE9 sous");
    ligne.append(" \"").append(stocke).append("\"");
  }
  if (!echec.empty()) {
    ligne += ' ';
    ligne += T("not stored: ", "non enregistr\xE9: ");
    ligne += echec;
  }
  EN_TETE_SMS(k);
  AJOUTE_TEXTE_SMS(k, ligne + CRLF + CRLF);
}

std::string Autex::FICHIER_INTERROMPU(int k, const std::string& recu, const std::string& raison) {
  const size_t i = size_t(k);
  // What came of its header: the call sign and the name, each read once its NUL has come.
  std::string indicatif, nom;
  const std::string* lu_indicatif = nullptr;
  const std::string* lu_nom = nullptr;
  if (const size_t fin = recu.find('\0'); fin != std::string::npos && fin <= size_t(LONGUEUR_MAX_INDICATIF)) {
    indicatif = recu.substr(0, fin);
    lu_indicatif = &indicatif;
    if (const size_t fin_nom = recu.find('\0', fin + 1); fin_nom != std::string::npos && fin_nom - fin - 1 <= 230) {
      nom = recu.substr(fin + 1, fin_nom - fin - 1);
      lu_nom = &nom;
    }
  }
  // How much of it came, against the length its frame announced: the bytes of its transmission (header and
  // data as sent, compressed or not), which the file's own size is not.
  std::string echec = raison;
  if (TAILLE_LUE[i] == 1) {
    const uint64_t n = std::min(OCTETS_RECUS[i], TAILLE_FICHIER[i]), total = TAILLE_FICHIER[i];
    echec += ", ";
    if (langues_.Langue == LANGUE_ANGLAIS)
      echec.append(std::to_string(n)).append(" of the ").append(std::to_string(total)).append(" ")
          .append(MOT_OCTETS(total)).append(" of its transmission received");
    else
      echec.append(std::to_string(n)).append(" ").append(MOT_OCTETS(n)).append(n <= 1 ? " re\xE7u" : " re\xE7us")
          .append(" sur les ").append(std::to_string(total)).append(" de sa transmission");
  }
  // The station's own file is told by its sending side, in the sender's words.
  if (EMETTEUR_PROPRE[i] != 1) ANNONCE_FICHIER(k, lu_indicatif, lu_nom, -1, std::string(), echec);
  return echec;
}

void Autex::MESSAGE_INTERROMPU(int k, std::string recu, const std::string& raison) {
  // The station's own message is told by its sending side, in the sender's words.
  if (EMETTEUR_PROPRE[size_t(k)] == 1) return;
  if (recu.rfind(": ", 0) == 0) recu.erase(0, 2);
  // A last 3 starts the sequence that never came whole (a message holds none).
  if (!recu.empty() && recu.back() == OCTET_CONTROLE) recu.pop_back();
  std::string ligne = ": " + T("Short message not received whole: ", "Message court non re\xE7u en entier: ") + raison;
  if (!recu.empty()) ligne += CRLF + RETRAIT_SUITE + Message_affichable(recu);
  EN_TETE_SMS(k);
  AJOUTE_TEXTE_SMS(k, ligne + CRLF + CRLF);
}

namespace {

// The name under which a file whose own name is not safe is stored: a fixed stem with the received name's
// extension when that extension is plain letters and digits.
std::string NOM_FICHIER_REMPLACEMENT(const std::string& recu) {
  std::string nom = "RX_FILE";
  const size_t point = recu.rfind('.');
  if (point == std::string::npos) return nom;
  const std::string extension = recu.substr(point + 1);
  if (extension.empty() || extension.size() > 10) return nom;
  for (const char c : extension)
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return nom;
  return nom + "." + extension;
}

}  // namespace

void Autex::FIN_FICHIER_RECU(int k, std::string segment, std::string& affichage) {
  const size_t i = size_t(k);
  // Whatever follows, this file is over.
  FICHIER_EN_COURS[i] = 0;
  TAILLE_LUE[i] = 0;
  const bool compresse = FICHIER_COMPRESSE[i] == 1;
  FICHIER_COMPRESSE[i] = 0;
  const std::string_view nul("\0", 1);
  // The call sign, then the file name, each ended by a NUL; the rest is the content.
  std::string indicatif, nom;
  bool indicatif_lu = false, nom_lu = false;
  // Every file that ends is announced in the short-message window, stored or not (the information line shows
  // a failure's reason only for a while).
  const auto annonce = [&](int64_t octets, const std::string& stocke, const std::string& echec) {
    ANNONCE_FICHIER(k, indicatif_lu ? &indicatif : nullptr, nom_lu ? &nom : nullptr, octets, stocke, echec);
    if (!echec.empty()) ERREUR_FICHIER_RECU(echec, affichage);
  };
  // A frame that starts among the three length bytes (a 3 followed by the code of a message, a file or a stop)
  // cut the file off there: what was read as its length and its header is that frame. Its header then does
  // not read right, and the file is said to be cut short by it, a short message being shown as it came (its
  // text runs to the end read here: a message holds no byte 3).
  const auto coupe_dans_sa_longueur = [&](const std::string& apres_longueur) {
    const std::string brut = OCTETS_TAILLE[i] + apres_longueur;
    for (size_t p = 0; p < 3 && p + 1 < brut.size(); ++p) {
      if (brut[p] != OCTET_CONTROLE) continue;
      const char code = brut[p + 1];
      std::string raison;
      if (code == CODE_MESSAGE)
        raison = T("cut short by a short message of the sender", "interrompu par un message court de l'\xE9metteur");
      else if (code == CODE_FICHIER || code == CODE_FICHIER_COMPRESSE)
        raison = T("cut short by another file of the sender, lost with it",
                   "interrompu par un autre fichier de l'\xE9metteur, perdu avec lui");
      else if (code == CODE_ARRET)
        raison = T("stopped by the sender", "arr\xEAt\xE9 par l'\xE9metteur");
      else
        continue;
      annonce(-1, "", raison + T(" within its length", " dans sa longueur"));
      if (code == CODE_MESSAGE) {
        const std::string texte = brut.substr(p + 2);
        EN_TETE_SMS(k);
        AJOUTE_TEXTE_SMS(k, ": " + Message_affichable(texte) + CRLF + CRLF);
        affichage += texte + CRLF;
      }
      return true;
    }
    return false;
  };
  int longueur = 0;
  size_t avant = segment.size();
  Extraire_avant_separateur(segment, nul, indicatif, 1, longueur);
  if (indicatif.size() == avant || longueur > LONGUEUR_MAX_INDICATIF) {
    if (coupe_dans_sa_longueur(indicatif.size() == avant ? indicatif : indicatif + '\0' + segment)) return;
    annonce(-1, "", T("Error on file callsign", "Erreur sur indicatif du fichier"));
    return;
  }
  indicatif_lu = true;
  avant = segment.size();
  Extraire_avant_separateur(segment, nul, nom, 1, longueur);
  if (nom.size() == avant || longueur > 230) {
    const std::string apres_indicatif = nom.size() == avant ? nom : nom + '\0' + segment;
    indicatif_lu = false;
    if (coupe_dans_sa_longueur(indicatif + '\0' + apres_indicatif)) return;
    indicatif_lu = true;
    annonce(-1, "", T("Error on file name", "Erreur sur nom de fichier"));
    return;
  }
  nom_lu = true;
  std::string contenu = std::move(segment);
  if (compresse && !contenu.empty()) {
    // A stream that does not inflate whole is refused: nothing of it is stored. Nor is one that inflates to
    // more than any station sends.
    std::string clair;
    const Decompression d = DECOMPRESSER_BORNE(contenu, clair, size_t(TAILLE_MAX_FICHIER_ENVOYE));
    if (d == Decompression::Trop_grande) {
      const std::string limite = std::to_string(TAILLE_MAX_FICHIER_ENVOYE);
      annonce(-1, "", T("Error on file size: more than " + limite + " bytes once decompressed",
                        "Erreur sur taille du fichier: plus de " + limite + " octets une fois d\xE9" "compress\xE9"));
      return;
    }
    // A sender compresses a file into one stream and nothing after it: what follows a stream that ends is
    // no part of the file as sent, and the file is not stored.
    if (d == Decompression::Suivie_de_donnees) {
      annonce(-1, "", T("Error on file containt: data after the end of the compressed file",
                        "Erreur sur contenu du fichier: des donn\xE9" "es apr\xE8s la fin du fichier compress\xE9"));
      return;
    }
    contenu = std::move(clair);
  }
  if (contenu.empty()) {
    annonce(-1, "", T("Error on file containt", "Erreur sur contenu du fichier"));
    return;
  }
  // A name from outside never leaves the AUTEX directory nor names a device, and is stored so that the shell
  // finds nothing in it to expand (%NAME% stands for a variable there).
  std::string nom_stocke =
      Nom_de_fichier_sur(nom) && nom.find('%') == std::string::npos ? nom : NOM_FICHIER_REMPLACEMENT(nom);
  FonctionsFichiers fichiers(langues_, nullptr);
  fichiers.Repertoire_travail = hote_.Repertoire_travail();
  bool ok = true;
  std::string message;
  fichiers.Ecrire_fichier_libre(nom_stocke, "AUTEX", contenu, ok, message);
  annonce(int64_t(contenu.size()), ok ? nom_stocke : std::string(), ok ? std::string() : message);
  if (!ok) return;
  affichage += "..." + T("completed", "termin\xE9") + CRLF;
  // The station's own file leaves the last received file the one to open.
  if (k != NUMERO_SLOT) vue_.Fixe_texte(Nom_du_fichier_RX_AUTEX, nom_stocke);
}

// ---------------------------------------------------------------------------------------------------------
// The short-message window
// ---------------------------------------------------------------------------------------------------------

void Autex::CHOIX_NOM_EMETTEUR(int k) {
  const size_t i = size_t(k);
  EMETTEUR_PROPRE[i] = 0;
  std::string& nom = NOMS_EMETTEURS[i];
  if (STATION_MAITRE != 1) {
    if (k == 0) {
      nom = INDICATIF_MAITRE;
    } else if ((!reunion() && k == 1) || k == NUMERO_SLOT) {
      nom = INDICATIF_CONNEXION;
      EMETTEUR_PROPRE[i] = 1;
    } else {
      const std::string canal = vue_.Texte({Secondary_channel, k}).substr(0, 14);
      std::string mot;
      int longueur = 0;
      if (!canal.empty() && canal[0] != ' ') PREMIER_MOT(canal, mot, longueur);
      nom = longueur >= 3 ? mot : std::string("S").append(std::to_string(k));
    }
  } else if (k == 0) {
    nom = INDICATIF_PROPRE;
    EMETTEUR_PROPRE[i] = 1;
  } else {
    nom = reunion() ? INDICATIFS_CORRESPONDANTS[i] : INDICATIFS_CORRESPONDANTS[0];
  }
}

void Autex::EN_TETE_SMS(int k) {
  const platform::TColor couleur = EMETTEUR_PROPRE[size_t(k)] == 1 ? platform::clBlue : platform::clBlack;
  vue_.Ajoute_texte_SMS(Nom_affichable(NOMS_EMETTEURS[size_t(k)]), couleur, /*gras=*/true);
  vue_.Ajoute_texte_SMS(" (" + HEURE_LOCALE() + ")", couleur, /*gras=*/false);
}

void Autex::AJOUTE_TEXTE_SMS(int k, const std::string& texte) {
  vue_.Ajoute_texte_SMS(texte, EMETTEUR_PROPRE[size_t(k)] == 1 ? platform::clBlue : platform::clBlack, /*gras=*/false);
  vue_.Redessine(RichEdit_SMS);
}

}  // namespace autex
