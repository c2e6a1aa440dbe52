#pragma once
// TRADUCTION_AUTEX: the AUTEX protocol of one station: session state and set-up, trace, the receive side (bit
// path, frame search, DP interpretation, RS block decoding and received texts), the link and meeting
// supervisor, connection and meeting entry, the window support, and the operations of the transmit side
// (EMISSION_AUTEX, whose state is in autex/emission_autex.h).
//
// One object per station holds every variable of both units (the names are the protocol's own), so a process
// can run two or thirteen stations side by side. It is bound to its language, its time stamps, a clock, and a
// view (autex/vue_autex.h): the host of the send queue and the paced writer, and everything it shows or reads
// on the main window (captions, texts, button states, panels).
//
// Everything runs on one thread: the main window's 1 ms timer calls SUPERVISION_AUTEX after appending the
// received bytes to the host's receive buffer; the buttons call the entry points (LANCEMENT_CQ,
// ENTREE_DANS_REUNION, SORTIE_DE_REUNION, DECONNEXION, ...). Times are timeGetTime milliseconds; every
// comparison takes the modular difference of the 32-bit clock, and a time variable holding 0 means "not set".
//
// The operations are spread over several files named after the unit and the part of it they hold:
// traduction_autex_session.cpp (state, set-up, trace), emission_autex.cpp (transmit side),
// traduction_autex_reception.cpp (bit path and frame search), traduction_autex_trame_dp.cpp (DP interpretation),
// traduction_autex_bloc_rs.cpp (block decoding and handling), traduction_autex_supervision.cpp (supervisor),
// traduction_autex_connexion.cpp (connection, CQ, meeting entry, buttons, secondary channel) and
// traduction_autex_fenetres.cpp (window support and received texts).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "autex/emission_autex.h"
#include "autex/hote_autex.h"
#include "autex/vue_autex.h"
#include "autex/langues.h"
#include "autex/reed_solomon_autex_rx_tx.h"
#include "autex/textes_encadres.h"
#include "autex/traitement_chaines.h"
#include "platform/clock.h"

namespace autex {

// Largest block copy (282 data bits and 96 parity bits) and the most copies of a block (at 171).
inline constexpr int BITS_BLOC_MAX = 378;
inline constexpr int COPIES_BLOC_MAX = 7;

// The capture and decoding state of one RS block: the station's own (index 0) and, on a meeting Master, one
// per user slot.
struct ContexteBloc {
  uint16_t BITS_PAR_BLOC = 0;    // bits of one copy of the expected block
  uint16_t BITS_RECUS_BLOC = 0;  // soft values received so far, all copies counted
  uint8_t BLOC_COMPLET = 0;
  uint8_t BLOC_EN_RECEPTION_2 = 0;  // the block is being decoded and handled
  std::array<float, BITS_BLOC_MAX> VALEURS_BLOC{};
  std::array<float, BITS_BLOC_MAX * COPIES_BLOC_MAX> ECHANTILLONS_BLOC{};
  std::string BITS_BLOC;         // hard bits of the block
  std::string BITS_BLOC_BRUTS;   // the same before the whitening is removed (meetings)
  uint8_t BLOC_VIDE_ATTENDU = 0;
  uint8_t LONGUEUR_TEXTE_ATTENDU = 0;
  // Failure memory of the repeated frame.
  uint8_t NB_ECHECS = 0;
  uint16_t LONGUEUR_ECHEC = 0;
  std::array<std::array<float, BITS_BLOC_MAX>, 3> VALEURS_ECHEC{};
  std::array<float, BITS_BLOC_MAX> SOMME_ECHEC{};
  std::array<std::string, 3> BITS_ECHEC;
  // Fields of the last decoded block.
  std::string ENTETE_RECU;       // 10 bits, empty for an empty block
  std::string BITS_TEXTE_RECU;
  std::string TEXTE_8_BITS_RECU;
  std::string CANAL_RECU;        // 16 secondary-channel bits
  uint8_t VARICODE_RECU = 0;
};

// A user's block kept by a meeting Master for relaying.
struct MessageRelais {
  std::string BITS;      // the block's bits (whitening removed)
  std::string TEXTE_8_BITS;
  std::string TEXTE;
  char KD1 = '0';
  char KD3 = '0';
  void vider() { *this = MessageRelais(); }
};

class Autex : public EtatEmissionAutex {
 public:
  Autex(Langues& langues, Horodatage& horodatage, platform::Clock& horloge, VueAutex& vue);
  Autex(const Autex&) = delete;
  Autex& operator=(const Autex&) = delete;

  // ======== Session state ========
  // Settings and role.
  uint8_t NOMBRE_PARTICIPANTS = 2;  // 2 = link; 4, 7, 13 = meeting
  uint8_t NOMBRE_UTILISATEURS = 1;
  uint8_t STATION_MAITRE = 0;
  uint8_t NUMERO_SLOT = 1;
  uint16_t Vitesse_AUTEX = 1200;
  std::string Nom_transceiver;
  uint8_t TRACE_ACTIVE = 0;
  static constexpr uint8_t LONGUEUR_MAX_INDICATIF = 14;
  static constexpr uint8_t LONGUEUR_MOT_VITESSE = 12;

  // Call signs and slot names.
  std::string INDICATIF_PROPRE;
  std::string INDICATIF_MAITRE;
  ParSlot<std::string> INDICATIFS_CORRESPONDANTS;
  std::string INDICATIF_CONNEXION;
  ParSlot<std::string> NOM_SLOT;

  // Session flags.
  uint8_t SESSION_EN_COURS = 0;
  uint8_t MAITRE_APPELLE = 0;
  uint8_t CQ_REUNION_ACTIF = 0;
  uint8_t UTILISATEUR_CONNECTE = 0;
  uint8_t DEMANDE_CONNEXION = 0;
  uint8_t DEMANDE_CONNEXION_REUNION = 0;
  uint8_t TENTATIVE_EN_COURS = 0;
  uint8_t CONNEXION_CONDITIONNELLE = 0;
  uint8_t FIN_LIEN_EN_COURS = 0;
  uint8_t FIN_REUNION_EN_COURS = 0;
  ParSlot<uint8_t> FIN_LIEN_SLOT{};
  uint8_t ATTENTE_REPONSE = 0;
  uint8_t MODE_AUTEX = 0;
  uint8_t EMISSION_EN_COURS = 0;

  // Time stamps and time-outs (ms).
  uint32_t T_DERNIER_CQ = 0;
  uint32_t T_DEBUT_ATTENTE = 0;
  uint32_t DELAI_REPONSE = 0;
  uint32_t T_RECEPTION_MAITRE = 0;
  uint32_t DELAI_PERTE_MAITRE = 0;
  uint32_t T_TRAME_MAITRE = 0;
  uint32_t DELAI_AVANT_REPONSE = 0;
  uint32_t T_FIN_SESSION = 0;
  ParSlot<uint32_t> T_FIN_LIEN_SLOT{};
  uint32_t DELAI_FIN_SESSION = 0;
  uint32_t T_TENTATIVE = 0;
  uint32_t DELAI_TENTATIVE = 0;
  uint32_t T_CQ_RECU = 0;
  uint32_t T_CQ_RECU_LIEN = 0;
  uint32_t T_TRAME_REUNION = 0;  // the instant after which the attempt may be sent (0 = none)
  ParSlot<uint32_t> T_CQ_RECU_SLOT{};
  ParSlot<uint8_t> CQ_RECU_SLOT{};
  uint32_t T_MESSAGE_INFO = 0;
  uint32_t PERIODE_CQ_LIEN = 7500;
  static constexpr uint32_t PERIODE_CQ_REUNION_4 = 13000;
  static constexpr uint32_t PERIODE_CQ_REUNION_7 = 14000;
  static constexpr uint32_t PERIODE_CQ_REUNION_13 = 20000;
  static constexpr uint32_t VALIDITE_CQ = 20000;

  // Retries.
  std::array<uint8_t, 2> ESSAIS_EMISSION{};  // [0] end acknowledgements sent, [1] end requests sent
  uint8_t LIMITE_ESSAIS_LIEN = 3;
  uint8_t LIMITE_ESSAIS_REUNION = 3;
  ParSlot<uint8_t> ESSAIS_SLOT{};

  // Receive parameters.
  uint8_t NB_BITS_DP_ATTENDUS = 10;
  uint8_t LONGUEUR_MOT_DP = 32;
  uint8_t NB_ZEROS_DP = 11;
  uint8_t SEUIL_ERREURS_DP_1 = 9;
  uint8_t SEUIL_ERREURS_DP_2 = 7;
  std::string MODELE_ZERO_DP;
  std::string SIGNATURE_ATTENDUE;
  std::string SIGNATURE_EMISE;
  std::string POLYNOME_BCH_RX;
  uint32_t DEGRE_BCH_RX = 10;
  std::string MOT_NUL_31;
  uint32_t DIVISEUR_CQ = 254;  // divisor of the CQ timing term

  // ======== Supervisor ========
  ParSlot<uint8_t> CONNECTE_SLOT{};
  ParSlot<uint8_t> TENTATIVE_SLOT{};
  ParSlot<uint8_t> SLOT_LIBRE{};
  ParSlot<uint8_t> REPONSE_RECUE_SLOT{};
  ParSlot<uint8_t> REPONDU_SLOT{};
  uint8_t TOUS_REPONDU = 0;
  ParSlot<uint8_t> TRAME_EN_ATTENTE{};
  ParSlot<uint8_t> ESSAIS_TENTATIVE_SLOT{};  // Master: answers sent to a slot's attempt that its user did not follow
  ParSlot<uint8_t> ENTENDU_SLOT{};           // Master of 7 or 13: a word of the slot was heard in this cycle
  ParSlot<int32_t> INSTANT_SLOT{};           // ... and when, after the end of the Master's frame on the air (ms)
  uint8_t CONFIRMATION_DUE = 0;              // Master: a user got connected since the Master's last transmission
  ParSlot<uint8_t> MANQUES_SLOT{};
  uint8_t LIMITE_MANQUES = 5;
  ParSlot<uint8_t> SLOT_PERDU{};
  ParSlot<uint8_t> PERTE_SLOT{};
  uint8_t FIN_REUNION_DEMANDEE = 0;
  ParSlot<uint8_t> FIN_SLOT_DEMANDEE{};
  ParSlot<uint8_t> FIN_DEMANDEE_PAR_SLOT{};  // meeting Master: the slot's user asked to end its link
  uint8_t NB_CONNECTES = 0;
  uint8_t PERTE_UTILISATEUR = 0;
  uint8_t REPONSE_DUE_MAITRE = 0;
  uint8_t REPETITION_DEMANDEE = 0;
  uint8_t FIN_A_EMETTRE_MAITRE = 0;
  uint8_t FIN_A_EMETTRE_UTILISATEUR = 0;
  uint8_t FIN_REUNION_A_EMETTRE = 0;
  uint8_t REPONSE_DUE_UTILISATEUR = 0;
  uint8_t ATTENTE_FENETRE = 0;
  uint8_t IGNORES_MAITRE = 0;
  uint8_t RANG_TRAME_MAITRE = 0;
  uint32_t T_TRAME_UTILISATEUR = 0;
  uint8_t NOUVEAU_TEXTE = 0;
  std::string MESSAGE_A_EMETTRE;
  // The same request as this station's windows and trace show it: the Master's call sign as received, on one
  // line (MESSAGE_A_EMETTRE keeps it byte for byte, as the Master checks it).
  std::string MESSAGE_A_AFFICHER;

  // ======== Receive side ========
  std::string FENETRE_DP;
  uint8_t DP_TROUVE = 0;
  uint8_t DP_RETROUVE = 0;
  uint8_t CAPTURE_BLOC = 0;
  ParSlot<std::string> DP_RECU;
  uint8_t DP_VERIFIE = 0;
  uint8_t NUMERO_S_DP = 0;
  uint8_t RECEPTION_TERMINEE = 0;
  uint8_t ECOUTE_HORS_SESSION = 0;
  uint8_t S_COURANT = 1;
  ParSlot<std::string> FENETRE_DP_SLOT;
  ParSlot<uint8_t> DP_TROUVE_SLOT{};
  ParSlot<uint8_t> DP_RETROUVE_SLOT{};
  ParSlot<uint8_t> CAPTURE_BLOC_SLOT{};
  uint8_t BLOC_EN_RECEPTION = 0;
  uint8_t BLOC_TERMINE = 0;
  uint8_t BLOC_DECODE = 0;
  uint8_t SLOT_TRAITE = 0;  // the slot whose block is being handled (meeting Master)
  uint32_t T_DERNIER_OCTET = 0;  // when the last received byte was fed to the receive path
  // The own last transmission: when it was queued, and when the radio module will have radiated it (ms).
  uint32_t T_DEBUT_EMISSION = 0;
  uint32_t T_FIN_AIR = 0;
  // A meeting user waiting for the answer to its attempt: the word being captured was addressed with the
  // user's own call sign (the answer), not with the Master's (a word for the whole meeting).
  uint8_t REPONSE_A_LA_TENTATIVE = 0;
  // Block contexts: [0] the station's own, [s] the meeting Master's slot s. `ctx` is the working one.
  ParSlot<ContexteBloc> CONTEXTES;
  ContexteBloc* ctx = &CONTEXTES[0];

  // DP interpretation.
  char BA_RECU = '0';
  char BE_RECU = '0';
  char BM_RECU = '0';
  ParSlot<char> BN_MEMORISE = bits_a('0');
  ParSlot<char> BP_MEMORISE = bits_a('0');
  uint8_t ACQUITTEMENT_PERSONNEL = 0;
  ParSlot<std::string> B_S;  // meeting Master: B0..BN of slot s's last DP word
  ParSlot<char> BE_S = bits_a('0');
  ParSlot<char> BM_S = bits_a('0');
  ParSlot<uint8_t> MESSAGE_EN_SERVICE{};
  ParSlot<uint8_t> MESSAGE_RELAYE{};  // Master: the message in service has gone out in one of its frames
  std::array<ParSlot<uint8_t>, NOMBRE_SLOTS> ACQUITTEMENT_MANQUANT{};  // [message k][slot s]
  ParSlot<uint8_t> MESSAGE_ACQUITTE{};
  ParSlot<char> KD1_MESSAGE = bits_a('0');  // toggle bit of message k ([0]: own message)
  ParSlot<char> BN_STOCKE = bits_a('0');    // the BN bit the Master sends for participant k
  ParSlot<std::string> TEXTE_MESSAGE_S;
  std::string TEXTE_EN_SERVICE;
  std::string TEXTE_SUIVANT;
  ParSlot<std::string> TEXTE_RECU_S;

  // Block handling.
  ParSlot<char> KD1_RECU = bits_a('0');       // Master side, per slot ([0] on a link)
  ParSlot<char> KD1_PRECEDENT = bits_a('0');
  ParSlot<char> KD3_RECU = bits_a('0');
  char KD1_MAITRE_RECU = '0';
  char KD1_MAITRE_PRECEDENT = '0';
  ParSlot<char> KD1_S_RECU = bits_a('0');
  ParSlot<MessageRelais> MESSAGE_RELAIS_1;
  ParSlot<MessageRelais> MESSAGE_RELAIS_2;
  ParSlot<uint8_t> RELAIS_2_OCCUPE{};
  ParSlot<uint8_t> SECOND_MESSAGE{};
  ParSlot<uint8_t> BLOC_REPETE{};  // meeting Master: the slot's last block repeated a text already taken

  // ======== Connection and secondary channel ========
  std::string TEXTE_DIVERS;
  uint8_t ABSENCE_INDICATIF = 0;

  // ======== Window support ========
  uint8_t PAS_HAUTEUR_2 = 16;
  uint8_t PAS_HAUTEUR_4 = 16;
  uint8_t PAS_HAUTEUR_7 = 37;
  uint8_t PAS_HAUTEUR_13 = 37;
  uint8_t TROIS_COLONNES_7 = 0;
  uint8_t TROIS_COLONNES_13 = 0;
  uint16_t HAUTEUR_PANNEAU = 320;
  uint8_t NOMBRE_COLONNES = 2;
  uint16_t LARGEUR_PANNEAU = 336;
  uint16_t LARGEUR_AUTEX = 672;
  ParSlot<std::string> TEXTE_FENETRE;
  uint8_t PREMIERE_ACTIVATION = 0;
  ParSlot<void*> HANDLE_MEMO_RECEPTION{};
  // Received-text interpretation per participant (short messages and files carried in the text stream, see
  // autex/textes_encadres.h).
  ParSlot<uint8_t> REPRISE_SEQUENCE = [] {
    ParSlot<uint8_t> a;
    a.fill(1);
    return a;
  }();
  ParSlot<std::string> TAMPON_SEGMENT;      // the short message or file collected from earlier chunks
  // What the two echo windows show of each participant's text and of this station's own: files named, not
  // shown as text.
  ParSlot<EchoSansFichier> ECHO_RECU;
  EchoSansFichier ECHO_EMIS;
  ParSlot<int16_t> CARACTERE_PRECEDENT = [] {  // the last character handled (-1: none), pairs with the next
    ParSlot<int16_t> a;
    a.fill(-1);
    return a;
  }();
  ParSlot<uint8_t> SMS_EN_COURS{};
  ParSlot<uint8_t> FICHIER_EN_COURS{};
  ParSlot<uint8_t> FICHIER_COMPRESSE{};     // the file being received was announced compressed
  ParSlot<std::string> OCTETS_TAILLE;       // the length bytes of the file read so far
  ParSlot<uint8_t> TAILLE_LUE{};
  ParSlot<uint64_t> TAILLE_FICHIER{};       // announced length of the file frame, in bytes
  ParSlot<uint64_t> OCTETS_RECUS{};         // bytes of the file frame received since its length
  ParSlot<std::string> NOMS_EMETTEURS;
  ParSlot<uint8_t> EMETTEUR_PROPRE{};
  // The most bytes a short message or file may collect: beyond it the frame is abandoned.
  static constexpr size_t TAILLE_MAX_SEGMENT = 16777215;

  // ======== Trace ========
  std::string TRACE_AUTEX;

  // ======== Operations: session set-up and trace ========
  void GESTION_PRELIMINAIRE_AUTEX();
  void INITIALISATION_PARAMETRES_RX_AUTEX();
  void RAZ_ETAT_SESSION();
  std::string HEURE_SYSTEME();
  std::string HEURE_LOCALE();
  void TRACE_LIGNE(const std::string& ligne);
  void TRACE_ETAT();
  void TRACE_INFO();
  void TRACE_MEMO_E(const std::string& texte);
  // What an echo window (`Memo_emission` or `Memo_Reception_memo`) shows of a text through its filter, which
  // starts from where the window's last line stands.
  std::string VU_DANS_ECHO(EchoSansFichier& filtre, NomElement memo, const std::string& texte);
  // The role word of the trace: "MASTER", "USER" or "SWL".
  std::string MOT_ROLE() const;

  // ======== Operations: transmit side ========
  void PREPARATION_TX();
  void PRENDRE_TEXTE_SUIVANT();
  void CHOIX_CODAGE_TEXTE();
  void REINIT_EMISSION();
  void PREPARER_SLOT_LIBRE(int s);
  void CHOISIR_TRAME_PROPRE();
  void COMPTER_ACQUITTEMENT_MANQUANT();
  void TRAME_RS_MAITRE(int s);
  void TRAME_RS_UTILISATEUR();
  void SAUVER_OU_RESTAURER_TRAME();
  void FENETRES_REPONSE_REUNION();
  uint8_t VALEUR_REPONSE(int s);
  std::string CANAL_SECONDAIRE();
  std::string MOT_ETAT_SLOTS_EMIS() const;
  // Frame builders: one DP burst or RS block for the own frame (0) or slot s, appended to TAMPON_BITS_TX.
  void TRAME_DP(int slot);
  void TRAME_RS(int slot);
  void AJOUTE_BITS_TX(std::string_view bits);
  void ENVOI_TRAME();
  // The DP word (significant bits) that TRAME_DP sends for the own frame or slot s.
  std::string MOT_DP_EMIS(int slot);
  // The framed texts of the queue (ARTICLES_EMIS) matched again with TEXTE_A_EMETTRE, which the main window
  // changes: what it appended is followed; what its stop replaced is cut short (the frame that had begun to go)
  // or dropped (those that had not), each said in the short-message window.
  void SUIVI_FILE_EMISSION();
  // A chunk of n bytes was taken off the front of the queue and sent; the oldest chunk sent was acknowledged.
  void MORCEAU_PRIS(size_t n);
  void MORCEAU_ACQUITTE();
  // The link ends, for `raison`: the framed texts that had begun to go and are not acknowledged whole are cut
  // off there (said in the short-message window in the sender's words; the rest of the one still queued is
  // dropped, never to reach the next link as text); those queued behind them stay queued for the next link,
  // and the short-message window says what waits.
  void FIN_LIEN_EMISSION(const std::string& raison);
  // A meeting Master whose last user has gone: its message under way is cut off as by the end of a link
  // (FIN_LIEN_EMISSION), and no longer waits for acknowledgements, so that nothing of it goes to the next user.
  void FIN_LIENS_MAITRE(const std::string& raison);

  // ======== Operations: receive bit path ========
  void RECEPTION_BIT_STATION(float soft);
  void RECEPTION_BIT_MAITRE(float soft);
  void DETECTION_DP_STATION(const std::string& indicatif, uint8_t drapeau_adresse, uint8_t& accepte,
                            std::string& bits_dp, uint8_t& verifie, float soft);
  void DETECTION_DP_SLOT(int slot, const std::string& indicatif, uint8_t drapeau_adresse, std::string& bits_dp,
                         uint8_t& verifie, uint8_t& accepte, float soft);
  void DETECTION_TRAME_DP(const std::string& fenetre, const std::string& indicatif, uint8_t drapeau_adresse,
                          int& erreurs, std::string& bits_dp, uint8_t& verifie, uint8_t& accepte);
  static void VERIFICATION_BCH_DP(std::string_view generateur, int degre, std::string_view mot, uint8_t& ok);
  void NUMERO_S_DANS_DP(const std::string& bits_dp);
  void LONGUEUR_BLOC_ATTENDU(int slot);
  void RECEPTION_BLOC_RS(uint8_t& termine, float soft);
  void RECEPTION_BLOC_RS_SLOT(int slot, uint8_t& termine, float soft);
  void FIN_TRAME_RECUE(int slot);
  void RAZ_DETECTION_DP();

  // ======== Operations: DP interpretation ========
  void TRAITEMENT_TRAME_DP_LIEN(const std::string& bits_dp, uint8_t& sans_bloc);
  void TRAITEMENT_TRAME_DP(uint8_t& slot, const std::string& bits_dp, uint8_t& sans_bloc);
  void ETIQUETTE_CQ_SLOT(int slot, const std::string& texte);
  void AFFICHE_MANQUES_SLOT(int slot);
  void AFFICHE_INDICATIF_SLOT(int slot, const std::string& indicatif);
  void EFFACE_MESSAGE_SLOT(int k);
  void ACQUITTEMENT_DE_SLOT(int k, int s, bool acquitte, int& manquants);

  // ======== Operations: RS block decoding and handling ========
  void DECODAGE_BLOC_RS(const std::string& bits, uint8_t& ok);
  void DECODAGE_BLOC_COMBINE(uint8_t& decode);
  void TRAITEMENT_BLOC_RS();
  static void LECTURE_CQ_REUNION(const std::string& texte, std::string& indicatif, uint8_t& trouve);
  static void LECTURE_DEMANDE_CONNEXION(const std::string& texte, std::string& indicatif_maitre,
                                        std::string& indicatif, uint8_t& trouve);
  void AFFICHE_CANAL_SECONDAIRE_RECU(int participant);
  void BITS_BASCULE_CQ();
  void AFFICHE_TEXTE_RECU(const std::string& texte);
  // The received text of slot s (be, bm and the length of its DP word) is a CQ, or a connection request: one
  // this station takes as Master, or one its Master answers in a meeting.
  bool TEXTE_DU_PROTOCOLE(const std::string& texte, char be, char bm, uint8_t longueur, size_t s);
  // A line of the protocol as it is shown: on one line, every control character before its line end as "?".
  static std::string SUR_UNE_LIGNE(const std::string& texte);
  void NOUVEAU_MESSAGE_SLOT(int s, uint8_t& nouveau);
  void MISE_EN_SERVICE_MESSAGE(int k);
  void MAJ_MESSAGES_ACQUITTES();

  // ======== Operations: supervisor ========
  void SUPERVISION_AUTEX();
  void DEBUT_EMISSION_AUTEX();
  void FIN_EMISSION_AUTEX();
  void EMISSION_SIMPLE();
  void EMISSION_REPONSE(uint8_t prendre);
  void EMISSION_UTILISATEUR(uint8_t prendre);
  void EMISSION_MAITRE_REUNION();
  void TENTATIVE_CONNEXION(const std::string& indicatif);
  void VERIF_VALIDITE_CQ(int slot, uint8_t& valide);
  void BILAN_CONNEXIONS();
  void LIBERE_SLOT(int slot);
  void FIN_LIEN_ACHEVEE(int slot);
  // Meeting Master: the link with the user of the slot has ended (the information line says how). What was
  // coming from that user is cut off; with the last user gone, so is the Master's own message under way.
  void FIN_LIEN_UTILISATEUR(int slot);
  void MANQUE_ACQUITTEMENT(int mode, int slot);
  void COMPTE_CONNECTES();
  void BOUTONS_SLOT_CONNECTE(int slot);
  void BOUTONS_SLOT_LIBERE(int slot);
  // The answer windows of a meeting user (ms after their origin, bounds included): the first one of each slot,
  // and the second one that a connection attempt may also use.
  bool DANS_FENETRE_REPONSE(int slot, uint32_t d) const;
  // When the first answer window of a slot opens after its origin, and how long each stays open.
  uint32_t OUVERTURE_FENETRE(int slot) const;
  static constexpr uint32_t LARGEUR_FENETRE = 200;
  // Spacing of the windows of the slots the meeting's own rules leave open (slots 4 to 12 of a meeting of 7
  // or 13), and of the second windows of a meeting of 4.
  static constexpr uint32_t PAS_FENETRES_LIBRES = 1500;
  // How long after the Master's wait origin an answer written when its window opens may reach the Master (the
  // Master's own frame still leaving its module, then the answer's first packet): at most this.
  uint32_t MARGE_ARRIVEE() const;
  // The Master of 7 or 13 tells its users apart by when their words reach it, after the end of its own frame
  // on the air: a word arriving from TOLERANCE_ARRIVEE before a slot's window opened up to the same before the
  // next slot's belongs to the slot.
  static constexpr uint32_t TOLERANCE_ARRIVEE = 150;
  // Meeting Master: how long after the end of its transmission its next cycle waits for the windows of the
  // slots that are free or connecting (0 when every slot holds a connected user).
  uint32_t ATTENTE_ENTREES() const;
  // Meeting Master of 7 or 13: the slot whose window an answer arriving e ms after the end of the Master's
  // frame on the air (negative: before it) was written in (0: none could have sent it then).
  uint8_t SLOT_PAR_INSTANT(int32_t e) const;

  // ======== The radio module's time on the air ========
  // Bytes the radio module gathers into one packet: a receiving module hands a packet over when it ends.
  static constexpr uint32_t OCTETS_PAQUET = 64;
  // How long `octets` bytes take on the air at the module's rate (ms, rounded up).
  uint32_t DUREE_AIR(uint32_t octets) const;
  // How much longer than the paced writer counts the module takes to radiate `octets` bytes (0 when the
  // module is at least as fast as the writer counts it).
  uint32_t RETARD_AIR(uint32_t octets) const;
  // A block capture that receives no byte for this long is given up: the expected time of the longest block
  // at the speed on the air, with a packet of what follows it, and a margin.
  uint32_t DELAI_CAPTURE_ABANDONNEE() const;
  // No byte for this long: what was coming in has ended (a packet's time on the air, with a margin).
  uint32_t SILENCE_FIN_TRAME() const;
  bool DANS_SECONDE_FENETRE(int slot, uint32_t d) const;
  // The longest delay after its origin at which a meeting user may still send a connection attempt.
  uint32_t FIN_FENETRES_TENTATIVE() const;

  // ======== Operations: connection, CQ, meeting entry, buttons, secondary channel ========
  void VERIF_INDICATIF(uint8_t maitre, uint8_t& ok);
  void VERIF_INDICATIF_MAITRE(std::string& indicatif);
  void VERIF_INDICATIF_UTILISATEUR(std::string& indicatif);
  void VERIF_INDICATIF_PROPRE();
  void LIMITE_DIVERS();
  void LANCEMENT_CQ(const std::string& indicatif);
  void ENTREE_DANS_REUNION();
  void SORTIE_DE_REUNION(int slot);
  void DECONNEXION();
  // The radio link is lost (the station's port or module has gone): a short message or file under way in
  // any window ends with the error word, as does the frame this station was sending (what was queued behind
  // it waits for the next link), the session, call or attempt ends as a time-out ends it, and `info` goes to
  // the information line.
  void PERTE_LIAISON(const std::string& info);
  void ACTIVATION_AUTEX();
  bool CHANGEMENT_VITESSE_AUTEX();
  void ETAT_BOUTONS_AUTEX(uint8_t mode, uint8_t bouton, uint8_t drapeau);
  void DESACTIVE_BOUTONS();
  void ACTIVE_ENTREE_SLOT(int slot);
  void DESACTIVE_ENTREE_SLOT(int slot);
  void EFFACE_CANAL(int slot, uint8_t demande);
  void AFFICHE_CANAL_SECONDAIRE();
  static void MAPPE_CARACTERE(uint8_t c, uint8_t& garde, uint8_t& code);
  static void FILTRE_CARACTERES(std::string_view texte, std::string& resultat);
  // The call sign of Edit_INDICATIF with blanks removed at both ends, in upper case.
  std::string INDICATIF_SAISI() const;

  // ======== Operations: window support and received texts ========
  void DISPOSITION_PANNEAUX_AUTEX();
  void HAUTEUR_PANNEAU_AUTEX();
  void EFFACE_FENETRES_M_ET_SX();
  void RAZ_COMPTEURS_AFFICHES();
  // garder_info: a non-empty information line keeps its text (the return to idle after an outcome such as
  // "End of meeting completed" must not wipe it out at once); the language switch replaces it.
  void TEXTES_FENETRE_AUTEX(bool garder_info = false);
  void SAUVE_TOUT();
  platform::SystemTime HEURE_FICHIER();
  void AFFICHE_MESSAGE_SLOT(int k, std::string texte);
  void RECEPTION_FICHIER_SMS(int k, std::string& texte);
  void CHOIX_NOM_EMETTEUR(int k);
  void EN_TETE_SMS(int k);
  void AJOUTE_TEXTE_SMS(int k, const std::string& texte);
  // Every participant back to "no short message or file in progress"; a file or short message still coming is
  // cut off first (RECEPTIONS_COUPEES), with "the reception was interrupted" for its reason.
  void RAZ_RECEPTION_FICHIERS();
  // The files and short messages still coming from any participant end here: a file is announced in the
  // short-message window as not stored, for `raison` and with how much of it had come, and each window's line
  // under way ends with "...error".
  void RECEPTIONS_COUPEES(const std::string& raison);
  // The same for participant k alone (a meeting Master's user whose link ends).
  void RECEPTION_COUPEE(int k, const std::string& raison);
  // The stored height step of the current participant count.
  uint8_t PAS_HAUTEUR_COURANT() const;
  // Slots that exist for the participant count: 1 on a link, 3, 6 or 12 in a meeting.
  int SLOTS_EXISTANTS() const;

  // The objects the station binds.
  VueAutex& vue() { return vue_; }
  HoteAutex& hote() { return hote_; }
  const Langues& langues() const { return langues_; }
  // Count of returns to the idle reception state (INITIALISATION_PARAMETRES_RX_AUTEX); the receive path uses it
  // to notice that a callee has reset the state it was working on.
  uint32_t EPOQUE_RECEPTION = 0;

 private:
  std::string T(std::string_view anglais, std::string_view francais) const {
    return langues_.TRADUCTION(anglais, francais);
  }
  uint32_t maintenant() { return horloge_.timeGetTime(); }
  // Now as a time stamp: never 0, which means "not set".
  uint32_t horodate() {
    const uint32_t t = horloge_.timeGetTime();
    return t == 0 ? 1 : t;
  }
  bool reunion() const { return NOMBRE_PARTICIPANTS >= 4; }
  // Information line and link state, each followed by its trace step.
  void INFO(const std::string& texte);
  void ETAT(const std::string& texte);
  // The CRC-21 of a call sign, cached (the receive path asks for it at every accepted vote).
  const std::string& CRC_INDICATIF(const std::string& indicatif);
  // Relay store of a meeting Master after slot s's block was completed.
  void STOCKE_RELAIS(int s);
  static std::string BLOC_CORRIGE(const ContexteBloc& c);
  // The end of participant k's file frame: checks, decompression and storage; appends to the display.
  void FIN_FICHIER_RECU(int k, std::string segment, std::string& affichage);
  // Abandons participant k's file with "...error" in the display and the reason in the information line.
  void ERREUR_FICHIER_RECU(const std::string& raison, std::string& affichage);
  // The short-message window's line of a file of participant k that ends: what its frame said of it (a null
  // call sign or name: not read), its length when stored (-1: not), the name stored under when another, or why
  // it was not stored.
  void ANNONCE_FICHIER(int k, const std::string* indicatif, const std::string* nom, int64_t octets,
                       const std::string& stocke, const std::string& echec);
  // Participant k's file, of which `recu` came (the frame after its length), ends before its end for
  // `raison`: announced as not stored, with the count of its bytes received. The reason as announced is
  // returned.
  std::string FICHIER_INTERROMPU(int k, const std::string& recu, const std::string& raison);
  // Participant k's short message, of which `recu` came (after its ": "), ends before its end for `raison`:
  // announced in the short-message window with what came of it.
  void MESSAGE_INTERROMPU(int k, std::string recu, const std::string& raison);
  // The reason given to what an end of the link cuts off, with the end's own when known (the information line).
  std::string FIN_DE_LIAISON(const std::string& pourquoi) const;
  // "bytes" / "octets", or the singular for a count that takes it.
  std::string MOT_OCTETS(uint64_t n) const;
  // Participant k back to "no short message or file in progress".
  void RAZ_RECEPTION_PARTICIPANT(size_t k);
  // The window of this station's own texts: the Master's (0), or the user's slot (1 on a link).
  int SLOT_PROPRE() const;
  // The framed texts of the queue acknowledged whole are forgotten, one cut short is told once what went of it
  // is acknowledged.
  void BILAN_ARTICLES_EMIS();
  // An entry of this station in the short-message window: its call sign, the time and the text.
  void ENTREE_SMS_PROPRE(const std::string& texte);
  // A framed text of the queue that did not go whole, in the sender's words: why, and how much of it was
  // acknowledged.
  void ANNONCE_ARTICLE_COUPE(const ArticleEmis& a, const std::string& raison);
  // Framed texts of the queue under a title: how many messages and files, their bytes, and one line each.
  void ANNONCE_TRAMES(const std::string& titre, const std::vector<TrameEnFile>& trames);

  // Sizes of an element of the main window set one at a time, as the window's own setters do.
  void FIXE_LARGEUR(const Element& e, int largeur);
  void FIXE_HAUTEUR(const Element& e, int hauteur);
  void FIXE_HAUT(const Element& e, int haut);

  VueAutex& vue_;
  Langues& langues_;
  Horodatage& horodatage_;
  platform::Clock& horloge_;
  HoteAutex& hote_;  // the host part of the view
  REED_SOLOMON_AUTEX_RX_TX rs_;
  std::string crc_indicatif_;
  std::string crc_valeur_;
};

}  // namespace autex
