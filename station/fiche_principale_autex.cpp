// FICHE_PRINCIPALE, AUTEX mode: the meeting and slot buttons, the speed buttons, the panel layout controls and
// the secondary channel, which call the AUTEX protocol's entry points; the sending of typed messages, stored
// sequences, files and the stop request as framed texts for the AUTEX transmit side; the short-message window
// and the AUTEX options panel.
#include <cstdio>
#include <vector>

#include "autex/fonctions_fichiers.h"
#include "autex/textes_encadres.h"
#include "autex/traitement_chaines.h"
#include "station/documents.h"
#include "station/fenetre_station.h"
#include "station/fiche_principale.h"
#include "station/station.h"

namespace station {

// ---------------------------------------------------------------------------------------------------
// Framed texts

std::string Trame_message(std::string t) {
  if (t.empty()) return std::string();
  // One character gets a line end, which the next step takes off again: the character goes out as it is.
  if (t.size() == 1) t += "\r\n";
  const size_t n = t.size();
  if ((t[n - 2] == '\r' && t[n - 1] == '\n') || (t[n - 2] == '\n' && t[n - 1] == '\r'))
    t.erase(n - 2);
  else if (t[n - 1] == '\n' || t[n - 1] == '\r')
    t.pop_back();
  return autex::TRAME_MESSAGE_AUTEX(t);
}

std::string Trame_fichier(const std::string& indicatif, const std::string& nom, const std::string& donnees,
                          bool compression) {
  // The header's fields end at a NUL and a byte 3 starts a control sequence: neither may be part of them.
  std::string ind = indicatif;
  std::string fichier = nom;
  for (std::string* champ : {&ind, &fichier}) {
    autex::SUPPRIMER_CARACTERE(autex::OCTET_CONTROLE, *champ);
    autex::SUPPRIMER_CARACTERE('\0', *champ);
  }
  std::string trame;
  bool compresse = false;
  // The files sent are far below the largest count: the frame is always built.
  autex::TRAME_FICHIER_AUTEX(ind, fichier, donnees, compression, trame, compresse);
  return trame;
}

namespace {

enum class Lecture_fichier { Lu, Absent, Illisible, Trop_grand };

// The file's bytes, at most `limite` of them: a file longer than that is only measured that far.
Lecture_fichier Lire_fichier_limite(const std::string& chemin, int64_t limite, std::string& contenu) {
  contenu.clear();
  std::FILE* f = std::fopen(chemin.c_str(), "rb");
  if (!f) return autex::FICHIER_EXISTE(chemin) ? Lecture_fichier::Illisible : Lecture_fichier::Absent;
  std::vector<char> bloc(65536);
  bool erreur = false;
  while (int64_t(contenu.size()) <= limite) {
    const size_t n = std::fread(bloc.data(), 1, bloc.size(), f);
    if (n == 0) {
      erreur = std::ferror(f) != 0;
      break;
    }
    contenu.append(bloc.data(), n);
  }
  std::fclose(f);
  if (erreur) return Lecture_fichier::Illisible;
  if (int64_t(contenu.size()) > limite) return Lecture_fichier::Trop_grand;
  return Lecture_fichier::Lu;
}

constexpr const char* TROP_GRAND_EN = "The selected file is larger than 63 Kbytes";
constexpr const char* TROP_GRAND_FR = "Le fichier s\xE9lectionn\xE9 est plus grand que 63 Koctets";

}  // namespace

// ---------------------------------------------------------------------------------------------------
// State and settings

bool FichePrincipale::Session_ou_tentative_en_cours() const {
  const autex::Autex& a = autex();
  return a.SESSION_EN_COURS == 1 || a.STATION_MAITRE == 1 || a.MAITRE_APPELLE == 1 || a.CQ_REUNION_ACTIF == 1 ||
         a.DEMANDE_CONNEXION == 1 || a.DEMANDE_CONNEXION_REUNION == 1 || a.TENTATIVE_EN_COURS == 1 ||
         a.FIN_LIEN_EN_COURS == 1 || a.FIN_REUNION_EN_COURS == 1;
}

void FichePrincipale::Applique_reglages_autex() {
  const Reglages_station& r = reglages();
  autex::Autex& a = autex();
  a.NOMBRE_PARTICIPANTS = r.NOMBRE_PARTICIPANTS;
  a.Nom_transceiver = r.Nom_transceiver;
  a.ENVOI_SUR_CR = r.ENVOI_SUR_CR;
  a.PAS_HAUTEUR_2 = r.PAS_HAUTEUR_2;
  a.PAS_HAUTEUR_4 = r.PAS_HAUTEUR_4;
  a.PAS_HAUTEUR_7 = r.PAS_HAUTEUR_7;
  a.PAS_HAUTEUR_13 = r.PAS_HAUTEUR_13;
  a.TROIS_COLONNES_7 = r.TROIS_COLONNES_7;
  a.TROIS_COLONNES_13 = r.TROIS_COLONNES_13;
  // The AUTEX speed is not read back from the image: the speed in force stays.
}

void FichePrincipale::Rassemble_reglages_autex() {
  Reglages_station& r = reglages();
  const autex::Autex& a = autex();
  r.Vitesse_AUTEX = a.Vitesse_AUTEX;
  r.NOMBRE_PARTICIPANTS = a.NOMBRE_PARTICIPANTS;
  r.PAS_HAUTEUR_2 = a.PAS_HAUTEUR_2;
  r.PAS_HAUTEUR_4 = a.PAS_HAUTEUR_4;
  r.PAS_HAUTEUR_7 = a.PAS_HAUTEUR_7;
  r.PAS_HAUTEUR_13 = a.PAS_HAUTEUR_13;
  r.TROIS_COLONNES_7 = a.TROIS_COLONNES_7;
  r.TROIS_COLONNES_13 = a.TROIS_COLONNES_13;
}

void FichePrincipale::Info_AUTEX(const std::string& texte) {
  Label_Info_AUTEX->SetCaption(texte);
  autex().TRACE_INFO();  // repainted, emptied 15 s later, traced; the focus goes back to the editor
}

// ---------------------------------------------------------------------------------------------------
// Meeting buttons

void FichePrincipale::LANCEMENT_REUNIONClick(gui::TObject*) {
  autex::Autex& a = autex();
  uint8_t ok = 0;
  a.VERIF_INDICATIF(1, ok);
  if (ok == 0) {
    FIN_REUNION->SetDown(true);
    return;
  }
  a.ETAT_BOUTONS_AUTEX(0, 0, 1);
  a.RAZ_ETAT_SESSION();
  std::string indicatif;
  a.VERIF_INDICATIF_MAITRE(indicatif);
  if (a.MAITRE_APPELLE != 1) return;
  const bool reunion = a.NOMBRE_PARTICIPANTS >= 4;
  const int n = a.NOMBRE_UTILISATEURS;
  a.STATION_MAITRE = 1;
  if (reunion)
    for (int s = 1; s <= n; ++s) a.SLOT_LIBRE[size_t(s)] = 1;
  a.RAZ_COMPTEURS_AFFICHES();
  a.REINIT_EMISSION();
  const uint32_t maintenant = station_.plateforme.clock.timeGetTime();
  a.T_DERNIER_CQ = maintenant == 0 ? 1 : maintenant;  // 0 means "never"
  a.INDEX_CANAL = 15;
  a.LANCEMENT_CQ(indicatif);
  a.SESSION_EN_COURS = 0;
  if (reunion) {
    a.UTILISATEUR_CONNECTE = 0;
    for (int s = 1; s <= n; ++s) a.CONNECTE_SLOT[size_t(s)] = 0;
  }
  a.NOUVEAU_TEXTE = 0;
  a.ACQUITTEMENT_ATTENDU = 0;
  Redonne_focus_editeur();
  Secondary_channel_MASTER->SetCaption(std::string());
  if (!reunion) {
    Label_CQ_S1->SetCaption(std::string());
    Secondary_channel_S1->SetCaption(std::string());
  } else {
    for (int s = 1; s <= n; ++s) a.EFFACE_CANAL(s, 0);
  }
  a.EFFACE_FENETRES_M_ET_SX();
  a.NUMERO_SLOT = 0;
  if (reunion) a.INITIALISATION_PARAMETRES_RX_AUTEX();
  if (a.TRACE_ACTIVE == 1) a.TRACE_LIGNE(a.HEURE_SYSTEME() + " LANCEMENT DE REUNION");
}

void FichePrincipale::FIN_REUNIONClick(gui::TObject*) {
  autex::Autex& a = autex();
  if (a.TRACE_ACTIVE == 1) a.TRACE_LIGNE(a.HEURE_SYSTEME() + " FIN DE REUNION");
  const bool reunion = a.NOMBRE_PARTICIPANTS >= 4;
  if ((!reunion && a.SESSION_EN_COURS == 0) || (reunion && a.UTILISATEUR_CONNECTE == 0)) {
    Label_Info_AUTEX->SetCaption(std::string());
    a.TRACE_INFO();
    a.DECONNEXION();
    return;
  }
  a.ETAT_BOUTONS_AUTEX(0, 0, 0);
  Info_AUTEX(traduction("End of meeting required by me", "Fin de r\xE9union demand\xE9" "e par moi"));
  a.FIN_REUNION_DEMANDEE = 1;
  if (!reunion) return;
  for (int s = 1; s <= a.NOMBRE_UTILISATEURS; ++s) {
    const size_t i = size_t(s);
    if (a.CONNECTE_SLOT[i] == 1) {
      a.FIN_SLOT_DEMANDEE[i] = 1;
      // The acknowledgements still awaited from that user are no longer waited for.
      for (auto& ligne : a.ACQUITTEMENT_MANQUANT) ligne[i] = 0;
    } else {
      a.FIN_SLOT_DEMANDEE[i] = 0;
    }
  }
}

void FichePrincipale::ENTRER_DANS_LA_REUNIONClick(gui::TObject*, int slot) {
  if (slot < 1 || slot > 12) return;
  autex::Autex& a = autex();
  uint8_t ok = 0;
  a.VERIF_INDICATIF(0, ok);
  if (ok == 0) {
    SORTIR_DE_LA_REUNION(slot)->SetDown(true);
    return;
  }
  a.NUMERO_SLOT = uint8_t(slot);
  Secondary_channel(slot)->SetCaption(std::string());
  Memo_Reception(slot)->Clear();
  Label_CQ(slot)->SetCaption(std::string());
  a.ENTREE_DANS_REUNION();
}

void FichePrincipale::SORTIR_DE_LA_REUNIONClick(gui::TObject*, int slot) {
  if (slot < 1 || slot > 12) return;
  autex().SORTIE_DE_REUNION(slot);
}

void FichePrincipale::AUCUN_CQ_S2Click(gui::TObject*) {
  autex::Autex& a = autex();
  a.RESERVATION_S2 = AUCUN_CQ_S2->Down() ? 1 : 0;
  if (a.RESERVATION_S2 != 1) return;
  // The reserved text is coded as a frame's own text; the own frame keeps its text and coding bit.
  const std::string texte = a.TEXTE_TX[0];
  const char kd3 = a.KD3_TX[0];
  a.TEXTE_TX[0] = "Reser";
  a.CHOIX_CODAGE_TEXTE();
  a.TEXTE_RESERVE = a.TEXTE_TX[0];
  a.TEXTE_TX[0] = texte;
  a.KD3_TX[0] = kd3;
}

void FichePrincipale::DIVERSChange(gui::TObject*) {
  autex::Autex& a = autex();
  const std::string saisi = DIVERS->Text();
  std::string filtre;
  autex::Autex::FILTRE_CARACTERES(saisi, filtre);
  // What goes out has no blanks at its ends; the field keeps the blank being typed between two words.
  std::string texte = filtre;
  autex::SUPPRIMER_ESPACES(texte);
  if (filtre != saisi) {
    const int curseur = DIVERS->SelStart();
    DIVERS->SetText(filtre);
    DIVERS->SetSelStart(std::min<int>(curseur, int(filtre.size())));
  }
  if (texte == a.TEXTE_DIVERS) return;
  a.INDEX_CANAL = 15;
  a.TEXTE_DIVERS = texte;
  a.AFFICHE_CANAL_SECONDAIRE();
}

// ---------------------------------------------------------------------------------------------------
// Layout controls

void FichePrincipale::Change_hauteur_panneau(int hauteur) {
  autex().HAUTEUR_PANNEAU = uint16_t(hauteur);
  autex().HAUTEUR_PANNEAU_AUTEX();
}

void FichePrincipale::Hauteur_du_Panel_AutexDownClick(gui::TObject*) {
  const int hauteur = autex().HAUTEUR_PANNEAU;
  if (hauteur < Hauteur_maximale_panneau(autex().NOMBRE_PARTICIPANTS)) Change_hauteur_panneau(hauteur + 20);
}

void FichePrincipale::Hauteur_du_Panel_AutexUpClick(gui::TObject*) {
  // The smallest height of each participant count is the smallest the parameter image keeps (2: 180, 4: 220,
  // 7: 340, 13: 520), so that the height in force is the one saved.
  const int hauteur = autex().HAUTEUR_PANNEAU;
  if (hauteur > Hauteur_minimale_panneau(autex().NOMBRE_PARTICIPANTS)) Change_hauteur_panneau(hauteur - 20);
}

void FichePrincipale::Sur_3_colonnes_AUTEXClick(gui::TObject*) {
  autex::Autex& a = autex();
  const uint8_t trois = Sur_3_colonnes_AUTEX->Down() ? 1 : 0;
  if (a.NOMBRE_PARTICIPANTS == 7) a.TROIS_COLONNES_7 = trois;
  if (a.NOMBRE_PARTICIPANTS == 13) a.TROIS_COLONNES_13 = trois;
  a.DISPOSITION_PANNEAUX_AUTEX();
}

void FichePrincipale::Efface_toutes_les_fenetres_M_et_SxClick(gui::TObject*) {
  autex().EFFACE_FENETRES_M_ET_SX();
  Redonne_focus_editeur();
}

void FichePrincipale::Sauve_toutes_les_fenetres_M_et_SxClick(gui::TObject*) { autex().SAUVE_TOUT(); }

// ---------------------------------------------------------------------------------------------------
// Speeds

void FichePrincipale::Choix_vitesse_demande(uint16_t vitesse) {
  if (autex().CHANGEMENT_VITESSE_AUTEX()) Choix_vitesse_AUTEX(vitesse);
}

void FichePrincipale::Vitesse_haute_AUTEXClick(gui::TObject*) { Choix_vitesse_demande(1200); }
void FichePrincipale::Vitesse_moyenne_AUTEXClick(gui::TObject*) { Choix_vitesse_demande(400); }
void FichePrincipale::Vitesse_basse_AUTEXClick(gui::TObject*) { Choix_vitesse_demande(171); }

// ---------------------------------------------------------------------------------------------------
// Messages and sequences

void FichePrincipale::Envoi_message_AUTEX() {
  const std::string trame = Trame_message(Memo_editeur->Text());
  if (trame.empty()) return;
  autex().TEXTE_A_EMETTRE += trame;
  autex().TEXTE_EN_ATTENTE = 1;
  Memo_editeur->Clear();
}

void FichePrincipale::ENVOI_MESSAGE_ARQClick(gui::TObject*) {
  if (autex().SESSION_EN_COURS == 1)
    Envoi_message_AUTEX();
  else
    Afficher_erreur("Your are not yet connected...", "Vous n'\xEAtes pas encore connect\xE9...");
}

void FichePrincipale::Envoi_sequence(int k) {
  const std::string s = (k == 1 ? Edit_Sequence1 : Edit_Sequence2)->Text() + "\r\n";
  if (reglages().Mode_fonctionnement != MODE_AUTEX) {
    Bouton_TX->SetDown(true);
    Memo_editeur->SetText(s);
    Passe_en_emission();
    Memo_editeur->Clear();
    return;
  }
  if (autex().SESSION_EN_COURS != 1) {
    Afficher_erreur("Your are not yet connected...", "Vous n'\xEAtes pas encore connect\xE9...");
    return;
  }
  Memo_editeur->SetText(Memo_editeur->Text() + s);
  Envoi_message_AUTEX();
}

void FichePrincipale::Sequence1Click(gui::TObject*) { Envoi_sequence(1); }
void FichePrincipale::Sequence2Click(gui::TObject*) { Envoi_sequence(2); }

void FichePrincipale::ARRET_TRANSMISSION_AUTEXClick(gui::TObject*) {
  autex::Autex& a = autex();
  if (a.SESSION_EN_COURS == 0) {
    Info_AUTEX(traduction("No need of <Stop!> as you must be connected",
                          "Pas besoin de <Stop!> car vous devez \xEAtre connect\xE9"));
  } else if (a.TEXTE_A_EMETTRE.empty()) {
    Info_AUTEX(traduction("No need of <Stop!> as no transmission in progress",
                          "Pas besoin de <Stop!> car aucune transmission en cours"));
  } else {
    Info_AUTEX(traduction("<Stop!> taken into account", "<Stop!> pris en compte"));
    a.TEXTE_A_EMETTRE = autex::TRAME_ARRET_AUTEX();
    a.TEXTE_EN_ATTENTE = 1;
  }
}

// ---------------------------------------------------------------------------------------------------
// Files

void FichePrincipale::Fichier_TX_AUTEXClick(gui::TObject*) {
  OpenDialog1->Filter = "(*.*)|*.*";
  // The station's own directory, not the last folder the system remembers for the program: two stations run
  // from one installation would otherwise open each other's (the previous choice, when there is one, still
  // opens its own folder).
  OpenDialog1->InitialDir = Repertoire_travail;
  OpenDialog1->LongNameMessage =
      traduction("The full name of the chosen file (its folders and its name) has more than 259 characters.\r\n"
                 "Choose a file whose full name is shorter, or move the file into a shorter folder.",
                 "Le nom complet du fichier choisi (ses dossiers et son nom) a plus de 259 caract\xE8res.\r\n"
                 "Choisissez un fichier au nom complet plus court, ou d\xE9placez le fichier dans un dossier plus "
                 "court.");
  if (!OpenDialog1->Execute()) return;
  const std::string chemin = OpenDialog1->FileName;
  auto oublie = [this] {
    Nom_fichier_TX.clear();
    Chemin_fichier_TX.clear();
    Nom_du_fichier_TX_AUTEX->SetCaption(std::string());
  };
  if (chemin.empty()) {
    oublie();
    Redonne_focus_editeur();
    return;
  }
  std::string nom;
  autex::NOM_SANS_CHEMIN(chemin, nom);
  // A device's name (NUL.txt, COM1.log...) opens the device, not a file: nothing of it is read.
  if (autex::Nom_de_peripherique(nom)) {
    oublie();
    Info_AUTEX(traduction("The selected file has the name of a device (" + nom + "): it cannot be sent",
                          "Le fichier s\xE9lectionn\xE9 porte le nom d'un p\xE9riph\xE9rique (" + nom +
                              "): il ne peut pas \xEAtre envoy\xE9"));
    Redonne_focus_editeur();
    return;
  }
  std::string contenu;
  const Lecture_fichier lu = Lire_fichier_limite(chemin, TAILLE_MAX_FICHIER_TX, contenu);
  if (lu != Lecture_fichier::Lu) {
    oublie();
    if (lu == Lecture_fichier::Trop_grand)
      Info_AUTEX(traduction(TROP_GRAND_EN, TROP_GRAND_FR));
    else
      Info_AUTEX(traduction("The selected file cannot be read", "Le fichier s\xE9lectionn\xE9 ne peut pas \xEAtre lu"));
    Redonne_focus_editeur();
    return;
  }
  if (nom.size() > LONGUEUR_MAX_NOM_FICHIER_TX) {
    oublie();
    Info_AUTEX(traduction("The name of the selected file has more than 230 characters.",
                          "Le nom du fichier s\xE9lectionn\xE9 a plus de 230 caract\xE8res."));
    Redonne_focus_editeur();
    return;
  }
  Nom_fichier_TX = nom;
  Chemin_fichier_TX = chemin;
  Nom_du_fichier_TX_AUTEX->SetCaption(Nom_fichier_TX);
}

void FichePrincipale::TRANSMISSION_FICHIER_AUTEXClick(gui::TObject*) {
  if (autex().SESSION_EN_COURS == 0)
    Info_AUTEX(traduction("You must be connected", "Vous devez \xEAtre connect\xE9"));
  else
    Envoi_fichier_AUTEX();
}

void FichePrincipale::Envoi_fichier_AUTEX() {
  if (Nom_fichier_TX.empty()) {
    Info_AUTEX(traduction("Error: the file has not been selected", "Erreur: le fichier n'a pas \xE9t\xE9 s\xE9lectionn\xE9"));
    Redonne_focus_editeur();
    return;
  }
  // The file is read again now: it may have gone, become unreadable or grown since it was chosen.
  std::string donnees;
  switch (Lire_fichier_limite(Chemin_fichier_TX, TAILLE_MAX_FICHIER_TX, donnees)) {
    case Lecture_fichier::Lu: break;
    case Lecture_fichier::Absent:
      Info_AUTEX(traduction("The selected file no longer exists", "Le fichier s\xE9lectionn\xE9 n'existe plus"));
      return;
    case Lecture_fichier::Illisible:
      Info_AUTEX(traduction("The selected file cannot be read", "Le fichier s\xE9lectionn\xE9 ne peut pas \xEAtre lu"));
      return;
    case Lecture_fichier::Trop_grand:
      Info_AUTEX(traduction(TROP_GRAND_EN, TROP_GRAND_FR));
      return;
  }
  // The sender's call sign: a Master's own, a user's as given when connecting.
  const autex::Autex& a = autex();
  const std::string& indicatif = a.STATION_MAITRE == 1 ? a.INDICATIF_PROPRE : a.INDICATIF_CONNEXION;
  autex().TEXTE_A_EMETTRE += Trame_fichier(indicatif, Nom_fichier_TX, donnees, reglages().COMPRESSION_FICHIER == 1);
  autex().TEXTE_EN_ATTENTE = 1;
}

void FichePrincipale::Ouverture_du_fichier_AUTEXClick(gui::TObject*) {
  if (Nom_du_fichier_RX_AUTEX->Caption().empty()) {
    Afficher_information("No file has been received yet.", "Aucun fichier n'a encore \xE9t\xE9 re\xE7u.");
    return;
  }
  const std::string document =
      Chemin_dans(Chemin_dans(Repertoire_travail, "AUTEX"), Nom_du_fichier_RX_AUTEX->Caption());
  // The shell reaches no file beyond this length: it would only answer that no program opens it.
  if (document.size() > autex::LONGUEUR_MAX_CHEMIN) {
    const std::string n = std::to_string(document.size());
    const std::string max = std::to_string(autex::LONGUEUR_MAX_CHEMIN);
    Afficher_erreur("The received file cannot be opened here: its full path has " + n + " characters, more than the " +
                        max + " that the shell accepts. It is " + document,
                    "Le fichier re\xE7u ne peut pas \xEAtre ouvert ici: son chemin complet a " + n +
                        " caract\xE8res, plus que les " + max + " que le shell accepte. C'est " + document);
    return;
  }
  // A file that is no longer there (it or its folder moved, renamed, removed or out of reach) is said to be
  // gone, whatever its kind: the shell would answer "file not found" (2) or "path not found" (3), which is not
  // that no program opens it, and Notepad would start on nothing.
  const auto introuvable = [&] {
    Afficher_erreur("The received file cannot be found. It was stored as " + document +
                        ": the file or its folder has been moved, renamed or removed, or is out of reach.",
                    "Le fichier re\xE7u est introuvable. Il avait \xE9t\xE9 enregistr\xE9 sous " + document +
                        ": le fichier ou son dossier a \xE9t\xE9 d\xE9plac\xE9, renomm\xE9 ou supprim\xE9, "
                        "ou n'est plus accessible.");
  };
  if (!autex::FICHIER_EXISTE(document)) return introuvable();
  // A file from the air is opened only when it is a document that runs nothing, by its kind and by what the
  // system says of that kind: any other is named, to be looked at knowingly.
  if (!Document_a_ouvrir(document) || station_.plateforme.shell.IsDangerous(document)) {
    Afficher_information("The file was received: " + document +
                             "\r\nIt is not opened, as a file of this kind could run a program.",
                         "Le fichier a \xE9t\xE9 re\xE7u: " + document +
                             "\r\nIl n'est pas ouvert, car un fichier de ce genre pourrait lancer un programme.");
    return;
  }
  const intptr_t resultat =
      Ouvre_fichier_recu(station_.plateforme.shell, Fenetre_de_la_station(), document, AFFICHAGE_SW_SHOWDEFAULT);
  if (resultat == SHELL_FICHIER_INTROUVABLE || resultat == SHELL_CHEMIN_INTROUVABLE) return introuvable();
  // Nothing that opens it: the file is named in full, to be opened by hand.
  if (resultat <= 32)
    Afficher_erreur("The received file cannot be opened here: no program opens it (error " +
                        std::to_string(resultat) + "). It is " + document,
                    "Le fichier re\xE7u ne peut pas \xEAtre ouvert ici: aucun programme ne l'ouvre (erreur " +
                        std::to_string(resultat) + "). C'est " + document);
}

// ---------------------------------------------------------------------------------------------------
// Short-message window and options

std::string FichePrincipale::Rapport_messages() {
  const std::string repertoire = Chemin_dans(Repertoire_travail, "REPORTS");
  if (!autex::detail::os_is_directory(repertoire)) autex::detail::os_make_directory(repertoire);
  const std::string texte = "<Autex Messages>\r\n\r\n" + RichEdit_SMS->Text();
  std::string nom = Chemin_dans(repertoire, "MESSAGES_" + station_.horodatage.HORODATAGE_UTC() + ".TXT");
  if (!Nom_libre(nom)) return std::string();
  if (station_.fichiers.ECRIRE_FICHIER_TEXTE(nom, texte) != 0) return std::string();
  return nom;
}

void FichePrincipale::Rapport_SMSClick(gui::TObject*) { Rapport_messages(); }

void FichePrincipale::Efface_fenetre_SMS() { RichEdit_SMS->Clear(); }

void FichePrincipale::Clear_fenetre_SMSClick(gui::TObject*) {
  Efface_fenetre_SMS();
  Redonne_focus_editeur();
}

void FichePrincipale::Options_AUTEXClick(gui::TObject*) {
  if (Options_AUTEX->Down()) {
    Panel_Options_AUTEX->SetBounds(336, 45, Panel_Options_AUTEX->Width(), 57);
    // Above the participant panels it overlaps (S1's, in every layout), so that its boxes can be reached.
    Panel_Options_AUTEX->BringToFront();
    Panel_Options_AUTEX->Show();
  } else {
    Panel_Options_AUTEX->Hide();
  }
}

void FichePrincipale::Envoi_texte_sur_CRClick(gui::TObject*) {
  reglages().ENVOI_SUR_CR = Envoi_texte_sur_CR->Checked() ? 1 : 0;
  autex().ENVOI_SUR_CR = reglages().ENVOI_SUR_CR;
}

void FichePrincipale::Compression_du_fichier_transmisClick(gui::TObject*) {
  reglages().COMPRESSION_FICHIER = Compression_du_fichier_transmis->Checked() ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------------
// The AUTEX speed

void FichePrincipale::Choix_vitesse_AUTEX(uint16_t vitesse) {
  switch (vitesse) {
    case 1200: Vitesse_haute_AUTEX->SetDown(true); break;
    case 400: Vitesse_moyenne_AUTEX->SetDown(true); break;
    case 171: Vitesse_basse_AUTEX->SetDown(true); break;
    default: break;
  }
  autex().Vitesse_AUTEX = vitesse;
  autex().GESTION_PRELIMINAIRE_AUTEX();
  autex().INITIALISATION_PARAMETRES_RX_AUTEX();
}

void FichePrincipale::Affiche_vitesse_AUTEX() {
  switch (autex().Vitesse_AUTEX) {
    case 1200: Vitesse_haute_AUTEX->SetDown(true); break;
    case 400: Vitesse_moyenne_AUTEX->SetDown(true); break;
    case 171: Vitesse_basse_AUTEX->SetDown(true); break;
    default: break;
  }
}

}  // namespace station
