#include "station/traduction_fiche_principale.h"

#include <string>

namespace station {

namespace {

constexpr Propriete C = Propriete::Caption;
constexpr Propriete H = Propriete::Hint;

// Accented letters are written as escapes; a literal is split where the letter after an escape is a
// hexadecimal digit.
constexpr Ligne_traduction TABLE[] = {
    {"Quit", C, "Quit", "Quitte", ""},
    {"Aide", C, "&Help", "Ai&de", ""},
    {"Aide", H, "Informations and help of the user", "Informations et aide \xE0 l'utilisateur", ""},
    {"A_propos_de", C, "About", "A propos", ""},
    {"Help", C, "Help", "Aide", ""},
    {"Port_serie_GPS", C, "Serial port of the transceiver", "Port s\xE9rie du transceiver ", ""},
    {"Port_serie_GPS", H, "Selection of the serial port on which either the transceiver is connected",
     "Port s\xE9rie choisi sur lequel le transceiver est connect\xE9", ""},
    {"Le_Transceiver", H,
     "Selection of the transceiver. If the DRF1278DM one is selected, this one can be controlled (\"DRF1278DM\" "
     "button)",
     "Choix du transceiver. Si le DRF1278DM est choisi, celui-ci peut \xEAtre contr\xF4l\xE9 (bouton \"DRF1278DM\")",
     ""},
    {"Autre_transceiver", C, "Other", "Autre", ""},
    {"Baudrate", C, "Baud rate", "Vitesse bauds", ""},
    {"Baudrate", H, "Selection of the baud rate (1200 or 9600) of the serial port connected to the transceiver",
     "S\xE9lection de la vitesse en bauds (1200 ou 9600) du port s\xE9rie connect\xE9 au transceiver", ""},
    {"GroupBox_transceiver", H, "Settings of the DRF1278DM radio module", "R\xE9glages du module radio DRF1278DM", ""},
    {"DRF1278DM2", H, "Open the set-up window of the DRF1278DM radio module (frequency and modulation)",
     "Ouvre la fen\xEAtre de r\xE9glage du module radio DRF1278DM (fr\xE9quence et modulation)", ""},
    {"Modifications", C, "Modifications", "Modifications", ""},
    {"GroupBox_Parameters", C, "Parameters", "Param\xE8tres", ""},
    {"PARAMETRES_STANDARD", C, "Default Parameters", "Param\xE8tres par d\xE9" "faut", ""},
    {"PARAMETRES_STANDARD", H, "Attention! Return to default parameters",
     "Attention! Retour aux param\xE8tres par d\xE9" "faut", ""},
    {"Sauve_parametres", C, "Save Parameters", "Sauve Param\xE8tres", ""},
    {"Sauve_parametres", H, "Record the actual parameters in the file CONF_COM.BAK",
     "Sauvegarde des param\xE8tres actuels dans le fichier CONF_COM.BAK", ""},
    {"Charge_parametres", C, "Load Parameters", "Charge Param\xE8tres", ""},
    {"Charge_parametres", H, "Load parameters recorded in the file CONF_COM.BAK",
     "Charge les param\xE8tres sauvegard\xE9s dans le fichier CONF_COM.BAK", ""},
    {"GroupBox_Peau", C, "Skin", "Peau", ""},
    {"GroupBox_Peau", H, "Choice of the look of the program's windows",
     "Choix de l'apparence des fen\xEAtres du programme", ""},
    {"Peau_non", C, "None", "Aucune", ""},
    {"Peau_non", H, "Windows without skin, drawn by the system",
     "Fen\xEAtres sans peau, dessin\xE9" "es par le syst\xE8me", ""},
    {"Rapport", C, "Report", "Rapport", ""},
    {"Rapport", H,
     "Save a report containing the received text followed by the transmitted text, in the \"REPORT date time.TXT\" "
     "file of the sub-directory \"Reports\"",
     "Sauvegarde un rapport contenant le texte re\xE7u suivi par le texte envoy\xE9, dans le fichier \"REPORT date "
     "heure.TXT\" du sous-r\xE9pertoire \"Reports\"",
     ""},
    {"sauvegarde_de_l_ecran", C, "Snapshot", "Copie d'\xE9" "cran", ""},
    {"sauvegarde_de_l_ecran", H, "Save automatically the screen on a .JPG file of the sub-directory \"Screen\"",
     "Sauve automatiquement l'\xE9" "cran dans un fichier .JPG du sous-r\xE9pertoire \"Screen\"", ""},
    {"GroupBox_controle_du_mode", C, "Mode control", "Contr\xF4le du mode", ""},
    {"GroupBox_Mode", C, "Mode", "Mode", ""},
    {"GroupBox_Mode", H,
     "Select the digital mode: \"ASCII\" (for beginners, ideal for tests with the beacon) or \"AUTEX\" (\"message\" "
     "mode, comparable to SMS)",
     "S\xE9lectionnez le mode num\xE9rique: \"ASCII\" (pour d\xE9" "butants, id\xE9" "al pour des tests avec la "
     "balise) ou \"AUTEX\" (mode \"message\", comparable aux SMS)",
     ""},
    {"GroupBox_RX_TX", C, "Transmission/Reception", "Emission/R\xE9" "ception", ""},
    {"GroupBox_RX_TX", H,
     "Select the button \"Transmission\" or \"Reception\" whether you want to transmit your text or receive the "
     "text from the person with who you are chatting. You can also type the <Esc> to switch from Reception to "
     "Transmission and vice versa",
     "S\xE9lectionnez le bouton \"Emission\" ou \"R\xE9" "ception\" suivant que vous souhaitiez \xE9mettre votre "
     "texte ou recevoir le texte de votre correspondant. Vous pouvez aussi taper sur la touche <Echap> pour "
     "commuter de R\xE9" "ception \xE0 Transmission et vice versa",
     ""},
    {"Bouton_RX", C, "Reception", "R\xE9" "ception", ""},
    {"Bouton_TX", C, "Transmission", "Emission", ""},
    {"GroupBox_reception", C, "Text received from the addressee", "Texte re\xE7u du correspondant", ""},
    {"GroupBox_transmitted", C, "Text transmitted to the addressee", "Texte transmis au correspondant", ""},
    {"GroupBox_Balise", C, "Beacon", "Balise", ""},
    {"GroupBox_Balise", H,
     "Useful for testing, the beacon will send regularly the text typed in the editor. The user will adjust the "
     "space between transmissions, for 5 to 600 sec",
     "Utile pour les essais, la balise enverra r\xE9guli\xE8rement le texte frapp\xE9 dans l'\xE9" "diteur. "
     "L'utilisateur r\xE8glera l'espace entre transmissions, entre 5 et 600 sec",
     ""},
    {"Demarrage_Balise", C, "Start", "D\xE9marre", ""},
    {"Demarrage_Balise", H, "Start or stop the beacon", "D\xE9marre ou arr\xEAte la balise", ""},
    {"Texte_balise", H, "Text that the beacon sends", "Texte que la balise envoie", ""},
    {"Espace", C, "Space (s)", "Espace (s)", ""},
    {"Espace", H, "Space in seconds between the end of the last transmission and the beginning of the next one",
     "Espace en secondes entre la fin de la derni\xE8re transmission et le d\xE9" "but de la prochaine", ""},
    {"GroupBox_synthese_vocale", C, "Speech synthesis", "Synth\xE8se vocale", ""},
    {"GroupBox_synthese_vocale", H, "Speech of the received text", "Prononciation du texte re\xE7u", ""},
    {"Commutateur_Synthese_vocale", H, "Switch the speech of the received text on or off",
     "Active ou arr\xEAte la prononciation du texte re\xE7u", ""},
    {"Options_pour_synthese_vocale", C, "Options", "Options", ""},
    {"Options_pour_synthese_vocale", H, "Choice of the voice, the volume and the rate of the speech",
     "Choix de la voix, du volume et de la vitesse de prononciation", ""},
    {"Vitesse_haute_ASCII", C, "High", "Haute", ""},
    {"Vitesse_moyenne_ASCII", C, "Average", "Moyenne", ""},
    {"Vitesse_basse_ASCII", C, "Low", "Basse", ""},
    {"Vitesse_haute_ASCII", H,
     "ASCII speed: in ASCII mode the text goes at the air speed of the radio module (its spreading factor and "
     "bandwidth, in the \"Transceiver\" window); these buttons change nothing",
     "Vitesse ASCII: en mode ASCII le texte part \xE0 la vitesse radio du module (son facteur d'\xE9talement et "
     "sa bande passante, dans la fen\xEAtre \"Transceiver\"); ces boutons ne changent rien",
     ""},
    {"Vitesse_moyenne_ASCII", H,
     "ASCII speed: in ASCII mode the text goes at the air speed of the radio module (its spreading factor and "
     "bandwidth, in the \"Transceiver\" window); these buttons change nothing",
     "Vitesse ASCII: en mode ASCII le texte part \xE0 la vitesse radio du module (son facteur d'\xE9talement et "
     "sa bande passante, dans la fen\xEAtre \"Transceiver\"); ces boutons ne changent rien",
     ""},
    {"Vitesse_basse_ASCII", H,
     "ASCII speed: in ASCII mode the text goes at the air speed of the radio module (its spreading factor and "
     "bandwidth, in the \"Transceiver\" window); these buttons change nothing",
     "Vitesse ASCII: en mode ASCII le texte part \xE0 la vitesse radio du module (son facteur d'\xE9talement et "
     "sa bande passante, dans la fen\xEAtre \"Transceiver\"); ces boutons ne changent rien",
     ""},
    {"Panel_ASCII_GENERAL", H,
     "ASCII speed: in ASCII mode the text goes at the air speed of the radio module (its spreading factor and "
     "bandwidth, in the \"Transceiver\" window); these buttons change nothing",
     "Vitesse ASCII: en mode ASCII le texte part \xE0 la vitesse radio du module (son facteur d'\xE9talement et "
     "sa bande passante, dans la fen\xEAtre \"Transceiver\"); ces boutons ne changent rien",
     ""},
    {"Label_vitesse_AUTEX", C, "Transmission speed", "Vitesse de transmission", ":"},
    {"Vitesse_haute_AUTEX", C, "High", "Haute", ""},
    {"Vitesse_moyenne_AUTEX", C, "Average", "Moyenne", ""},
    {"Vitesse_basse_AUTEX", C, "Low", "Basse", ""},
    {"Panel_Vitesse_AUTEX", H, "AUTEX transmission speed: High 1200, Average 400, Low 171 (slower is sturdier)",
     "Vitesse de transmission AUTEX: Haute 1200, Moyenne 400, Basse 171 (plus lente, plus robuste)", ""},
    {"Label_Autex", C, "Number of participants to the meeting", "Nombre de participants \xE0 la r\xE9union", ":"},
    {"Partipants_Autex_2", H,
     "To change the maximum number of participants (2,4, 7 or 13), you must finish the meeting in progress, if any.",
     "Pour changer le nombre maximum de participants (2, 4, 7 ou 13), vous devez terminer la r\xE9union en cours, "
     "si c'est le cas",
     ""},
    {"Sequence1", C, "Sequence 1", "S\xE9quence 1", ""},
    {"Sequence2", C, "Sequence 2", "S\xE9quence 2", ""},
    {"Panel_Sequence", H,
     "Edit the sequence in the text field, then click on \"Sequence\" to send it. The sequence is immediatly sent "
     "(considered as a complete message)",
     "Editez la s\xE9quence dans le champ texte, puis cliquez sur \"S\xE9quence\". La s\xE9quence est imm\xE9"
     "diatement envoy\xE9" "e (car consid\xE9r\xE9" "e comme un message complet)",
     ""},
    {"Label_Indicatif", C, "My callsign", "Mon indicatif", ""},
    {"Label_Indicatif", H, "Type your callsign in the CALLSIGN field, without spaces. It is supposed to be unique.",
     "Tapez votre indicatif dans le champ CALLSIGN, sans espaces. Il est suppos\xE9 \xEAtre unique.", ""},
    {"Label_divers2", C, "Various information (name, QTH, Locator...)",
     "Informations diverses (nom, QTH, Locator...)", ""},
    {"Rapport_SMS", C, "Report", "Rapport", ""},
    {"Rapport_SMS", H, "Save the short messages in a file of the sub-directory \"Reports\"",
     "Sauvegarde les messages courts dans un fichier du sous-r\xE9pertoire \"Reports\"", ""},
    {"Label_SMS", C, "Messages sequential display", "Affichage s\xE9quentiel des messages", ""},
    {"Label_SMS", H, "Short messages received and sent, in the order of their arrival",
     "Messages courts re\xE7us et envoy\xE9s, dans l'ordre de leur arriv\xE9" "e", ""},
};

}  // namespace

std::span<const Ligne_traduction> Table_traduction_fiche_principale() { return TABLE; }

std::string Texte_traduit(const Ligne_traduction& ligne, const autex::Langues& langues) {
  return langues.TRADUCTION(ligne.anglais, ligne.francais) + std::string(ligne.suffixe);
}

const Ligne_traduction* Cherche_traduction(std::string_view composant, Propriete propriete) {
  for (const Ligne_traduction& l : TABLE)
    if (l.composant == composant && l.propriete == propriete) return &l;
  return nullptr;
}

}  // namespace station
