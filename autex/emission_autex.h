#pragma once
// EMISSION_AUTEX: the transmit side's state. What the station's next AUTEX transmission carries is decided and
// built by the operations of the station's AUTEX object (autex/traduction_autex.h); this unit holds the values
// they keep between transmissions: the own frame and, on a meeting Master, the word and block of every slot,
// the saved copies used for repetitions, the relay and second-message buffers, the answer windows, the
// secondary-channel rotation and the text queue.
//
// Index 0 of the per-slot arrays is the station's own frame; index s = 1..12 is slot s of a meeting Master.
// Bits are the characters '0' and '1'.
#include <array>
#include <cstdint>
#include <deque>
#include <string>

#include "autex/textes_encadres.h"

namespace autex {

// The L code of a frame: end request, end acknowledgement, empty block; L_AUCUN = no code (the frame carries
// text, or its length field is the text's).
inline constexpr uint8_t L_FIN_DEMANDE = 1;
inline constexpr uint8_t L_FIN_ACQUITTEE = 2;
inline constexpr uint8_t L_BLOC_VIDE = 3;
inline constexpr uint8_t L_AUCUN = 255;

// Slots of a meeting: 0 the Master, 1..12 the users.
inline constexpr int NOMBRE_SLOTS = 13;

template <class T>
using ParSlot = std::array<T, NOMBRE_SLOTS>;

inline ParSlot<char> bits_a(char c) {
  ParSlot<char> a;
  a.fill(c);
  return a;
}

struct EtatEmissionAutex {
  // ---- The own frame ([0]) and the Master's slot words ([s]) ----
  ParSlot<char> BA_TX = bits_a('0');
  ParSlot<char> BE_TX = bits_a('0');
  ParSlot<char> BM_TX = bits_a('0');
  ParSlot<char> BN_TX = bits_a('0');
  ParSlot<char> BP_TX = bits_a('0');
  ParSlot<char> KD1_TX = bits_a('0');
  ParSlot<char> KD2_TX = bits_a('0');
  ParSlot<char> KD3_TX = bits_a('0');
  ParSlot<uint8_t> L_TX = [] {
    ParSlot<uint8_t> a;
    a.fill(L_AUCUN);
    return a;
  }();
  // Text of the frame (varicode-packed when its KD3 is '1') and the text as typed.
  ParSlot<std::string> TEXTE_TX;
  ParSlot<std::string> TEXTE_TX_AFFICHE;
  // The frame is a DP burst alone; its block is empty (secondary bits only).
  ParSlot<uint8_t> TRAME_DP_SEULE{};
  ParSlot<uint8_t> BLOC_VIDE_TX{};
  // Slot-number string of each slot word (2, 3 or 4 bits; all zeros for the own frame of a meeting Master).
  ParSlot<std::string> MOT_SLOT;

  // ---- Meeting Master: slots ----
  ParSlot<uint8_t> SLOT_ACTIF{};           // the slot holds a connected user
  ParSlot<uint8_t> NOUVELLE_TRAME_SLOT{};  // a new word and block may be built for the slot ([0]: own frame)
  ParSlot<uint8_t> PREMIERE_TRAME_SLOT{};  // the slot's next word is addressed with the user's call sign
  // Relay buffer of slot s: the user's block being relayed (bits with the whitening removed), its text as sent
  // (8 bits per byte, varicode-packed when its KD3 is '1') and its toggle and coding bits. Its display text is
  // the receive side's TEXTE_MESSAGE_S[s]; the second message waiting behind it is MESSAGE_RELAIS_1[s].
  ParSlot<std::string> BLOC_RELAIS;
  ParSlot<std::string> TEXTE_RELAIS;
  ParSlot<char> KD1_RELAIS = bits_a('0');
  ParSlot<char> KD3_RELAIS = bits_a('0');
  // Users of the meeting counted when the Master's own text went into service.
  ParSlot<uint8_t> SLOTS_ACTIFS_MESSAGE{};

  // ---- Meeting user ----
  ParSlot<char> B_EMIS = bits_a('0');  // B0..B12: per-slot status bits the user sends back
  uint8_t NOUVEAU_TEXTE_REUNION = 0;   // a new frame may be taken (the meeting user's NOUVEAU_TEXTE)

  // ---- Acknowledgement and repetition ----
  uint8_t ACQUITTEMENT_ATTENDU = 0;  // a text block was sent and its acknowledgement is awaited
  uint8_t ABANDON_LIEN = 0;          // link Master: give the user up at the next transmission
  // Saved copies: the complete last transmission of a link station; the last RS block sent per slot (bits
  // after whitening and repetition); the own frame's BE, BM, L and text for repetitions.
  std::string TRAME_COMPLETE_SAUVEE;
  ParSlot<std::string> BLOC_RS_SAUVE;
  char SAUVE_BE = '0';
  char SAUVE_BM = '0';
  uint8_t SAUVE_L = L_AUCUN;
  std::string SAUVE_TEXTE;
  // Statistics, and the counters of the link Master's repetitions with their limits (set by RAZ_ETAT_SESSION).
  uint32_t NB_TRAMES_REPETEES = 0;
  uint32_t NB_TRAMES_SAUVEES = 0;
  uint8_t NB_REPETITIONS_MAITRE = 0;  // transmissions without a user frame
  uint8_t NB_REPETITIONS_BLOC = 0;    // repetitions of an unacknowledged text block
  uint8_t LIMITE_REPETITIONS_MAITRE = 5;
  uint8_t LIMITE_REPETITIONS_BLOC = 5;

  // ---- Answer windows of a meeting (ms) and the Master's running time value ----
  ParSlot<uint16_t> BORNE_INF_REPONSE{};
  ParSlot<uint16_t> BORNE_SUP_REPONSE{};
  float TEMPS_REPONSE = 0.0f;
  ParSlot<float> TEMPS_SLOT{};

  // ---- Secondary channel ----
  std::string TEXTE_CANAL;  // at most 32 characters, even length
  uint8_t INDEX_CANAL = 15;

  // ---- Texts ----
  std::string TEXTE_A_EMETTRE;  // framed texts waiting to be sent, in order
  uint8_t TEXTE_EN_ATTENTE = 0; // set whenever the main window changes TEXTE_A_EMETTRE
  uint8_t ENVOI_SUR_CR = 0;     // a chunk ends at the last line break of the queue
  uint8_t MODE_MESSAGES = 1;    // the queue holds framed messages: a session takes them whole, 32 bytes a block
  std::string TEXTE_CQ;         // "CQ meeting DE " + call sign + CR, coded
  std::string TEXTE_CQ_AFFICHE;
  char KD3_CQ = '0';
  uint8_t RESERVATION_S2 = 0;   // the Master keeps slot 2 reserved
  std::string TEXTE_RESERVE;    // "Reser", coded
  std::string TEXTE_EMIS;       // own last message, shown once it is acknowledged

  // ---- The framed texts that the queue holds ----
  // TEXTE_A_EMETTRE stays the queue; the framed texts it holds are followed beside it, from what it showed
  // when last looked at (the main window appends to it and its stop replaces it), so that the end of a link
  // drops the one frame it cuts off and keeps those behind it, and so that the operator is told what did not go.
  struct ArticleEmis {
    TrameEnFile trame;      // as queued
    uint64_t debut = 0;     // where it starts in the stream of everything queued (FLUX_PRIS counts the same way)
    uint64_t longueur = 0;  // its bytes in that stream: all of them, or those taken before it was cut short
    std::string coupe;      // why it was cut short (empty while it goes whole)
  };
  std::deque<ArticleEmis> ARTICLES_EMIS;  // from the oldest not yet acknowledged whole
  std::string FILE_VUE;                   // TEXTE_A_EMETTRE as the framed texts were last matched with it
  uint64_t FLUX_PRIS = 0;                 // bytes taken from the queue so far: where its front stands in the stream
  uint64_t FLUX_ACQUITTE = 0;             // of those, the bytes whose chunk was acknowledged
  std::deque<uint64_t> MORCEAUX_EN_VOL;   // chunks taken and sent, not yet acknowledged, oldest first
  // The queue, and where its front stood, when what waited was last announced.
  uint64_t FLUX_ANNONCE = ~uint64_t(0);
  std::string FILE_ANNONCEE;

  // ---- Timing statistics of the text chunks ----
  uint32_t T_DERNIER_MORCEAU = 0;
  uint64_t SOMME_INTERVALLES = 0;
  uint32_t NB_INTERVALLES = 0;
  uint32_t INTERVALLE_MAX = 0;
  uint32_t INTERVALLE_MIN = 999999999;

  // ---- The transmission being built and its length once framed ----
  std::string TAMPON_BITS_TX;
  uint32_t LONGUEUR_EMISSION = 0;
};

}  // namespace autex
