#pragma once
// The AUTEX over-the-air format: what one transmission puts on the air, bit by bit.
//
// A transmission is a bit string (most significant bit first): one or more DP bursts (a short control word
// protected by BCH(31,21), addressed by the CRC-21 of a call sign, XORed with the "0011" signature, preceded
// by the speed word and sent twice plain and once inverted), each optionally followed by an RS block (header,
// text, secondary channel and the 16 parity symbols of RS(63,47), whitened, sent 1, 3 or 7 times at 1200, 400
// and 171 bauds), padded with '0' to whole bytes and framed with 'U' characters for the radio module.
//
// Every builder here is a pure function: fields in, bits or bytes out. Which values the fields carry, and
// where the bytes go, belongs to the transmit side. Arguments outside their domain (a speed other than 1200,
// 400 or 171, a meeting size other than 2, 4, 7 or 13, a slot outside the meeting, a text of more than 32
// bytes, a field of the wrong width) throw std::invalid_argument. One-character fields ('0'/'1') read '1' as
// one and anything else as zero.
#include <cstdint>
#include <string>
#include <string_view>

#include "autex/reed_solomon_autex_rx_tx.h"

namespace autex {

// ---- Constants of the format ----
inline constexpr std::string_view POLYNOME_CRC21 = "1000000000000000000101";  // x^21 + x^2 + 1
inline constexpr int DEGRE_CRC21 = 21;
inline constexpr std::string_view POLYNOME_BCH = "11101101001";  // x^10 + x^9 + x^8 + x^6 + x^5 + x^3 + 1
inline constexpr int DEGRE_BCH = 10;
inline constexpr int LONGUEUR_BCH = 31;
// Put before the DP burst of every slot word of a meeting Master.
inline constexpr std::string_view SEPARATEUR_SLOT_MAITRE = "11001100110011001100";
// Relayed secondary bits when the user's block is too short to carry any.
inline constexpr std::string_view CANAL_RELAIS_ABSENT = "1111000000000000";
// Most text bytes in one RS block, and the block's data bits before the parity (10 + 256 + 16).
inline constexpr int TEXTE_MAX_BLOC = 32;
inline constexpr int BITS_DONNEES_BLOC = RS_K * RS_M;  // 282
inline constexpr int BITS_PARITE_BLOC = RS_PARITE * RS_M;  // 96
inline constexpr int BITS_BLOC_VIDE = 16 + BITS_PARITE_BLOC;  // 112: secondary channel and parity only

// The whitening mask: 378 bits, the 95-bit pattern below repeated.
inline constexpr std::string_view MOTIF_BLANCHIMENT =
    "11110001100010100110100001010100100010111110001110100001011001000111001000001110101010101011000";
inline constexpr int LONGUEUR_MASQUE_BLANCHIMENT = 378;
struct Masque_blanchiment {
  char bits[LONGUEUR_MASQUE_BLANCHIMENT + 1]{};
  constexpr Masque_blanchiment() {
    for (int i = 0; i < LONGUEUR_MASQUE_BLANCHIMENT; ++i) bits[i] = MOTIF_BLANCHIMENT[i % MOTIF_BLANCHIMENT.size()];
  }
};
inline constexpr Masque_blanchiment MASQUE_BLANCHIMENT_BITS{};
inline constexpr std::string_view MASQUE_BLANCHIMENT{MASQUE_BLANCHIMENT_BITS.bits, LONGUEUR_MASQUE_BLANCHIMENT};

// ---- Speeds ----
bool VITESSE_VALIDE(int vitesse);
// The 12-bit speed word: "101101001110" at 1200, "011011100111" at 400, "110110011011" at 171.
std::string_view MOT_VITESSE(int vitesse);
// Copies of each RS block: 1, 3 or 7; also the number of 'U' after the frame.
int FACTEUR_REPETITION(int vitesse);

// ---- Check words ----
// "0011" repeated and cut to the length.
std::string SIGNATURE_0011(size_t longueur);
// CRC-21 of a call sign: its 8-bit characters divided by x^21 + x^2 + 1 (21 bits; empty for an empty call
// sign, which then addresses nothing).
std::string CONTROLE_POLYNOME(std::string_view indicatif);
// The 10 BCH(31,21) check bits of a 21-bit word.
std::string BITS_BCH(std::string_view mot21);

// ---- DP words (the significant bits) ----
// F5: "00000", "00001" or "00010" when BM is '0' and L is 1, 2 or 3; otherwise the text length in bytes
// minus one, capped at 31 (an empty text also gives 31).
std::string CHAMP_F5(char BM, uint8_t L, size_t longueur_texte);
// Link, either station (10 bits): '0', role ('0' Master, '1' user), BA, BE, BM, F5.
std::string MOT_DP_LIEN(bool maitre, char BA, char BE, char BM, std::string_view F5);
// Meeting user of slot 1..N (N = 3, 6, 12 for 4, 7, 13 participants). B holds B0 .. BN at least (its first
// N + 1 characters are used) and the own slot's position is sent as BE. 4 participants (12 bits): own slot in
// 2 bits, B0..B3, BM, F5. 7 and 13 participants (14 and 20 bits): B0..BN, BE, BM, F5.
std::string MOT_DP_UTILISATEUR(int participants, int slot, std::string_view B, char BE, char BM,
                               std::string_view F5);
// Meeting Master: slot 0 (its own frame; BA and BP unused): D, Z, BN, S = zeros, BE, BM, F5 with Z "00" (4,
// 13 participants) or "000" (7); slot s = 1..N: D, Z', BA, BN, BP, S = s, BE, BM, F5 with Z' empty (4, 13) or
// "0" (7). S has 2, 3 or 4 bits. 16 bits at 4 participants, 18 at 7 and 13. D is the 4-bit answer value.
std::string MOT_DP_MAITRE(int participants, int slot, uint8_t D, char BA, char BN, char BP, char BE, char BM,
                          std::string_view F5);
// Significant bits of the DP words a station sends: 10 on a link; a meeting user 12, 14, 20; a meeting Master
// 16, 18, 18 (4, 7, 13 participants).
int LONGUEUR_MOT_DP_EMIS(int participants, bool maitre);

// The call sign whose CRC-21 addresses a DP burst; empty while a link Master calls (no address). Link Master:
// the correspondent (entry 0); link or meeting user: the Master's; meeting Master: its own for slot 0, and
// for slot s the user of slot s on the slot's first frame, else its own.
std::string_view INDICATIF_SALVE_DP(int participants, bool maitre, int slot, bool maitre_appelle,
                                    bool premiere_trame_slot, std::string_view indicatif_propre,
                                    std::string_view indicatif_maitre, std::string_view indicatif_correspondant);

// DP burst of a word W (1 to 21 bits): W21 = zeros + W XOR crc21 (empty crc21: no address), P = BCH check bits
// of W21, T = (W + P) XOR the signature, X = speed word + T; the burst is X + X + X inverted: 3 x (22 + |W|)
// bits.
std::string SALVE_DP(std::string_view mot_dp, std::string_view crc21, int vitesse);

// ---- RS blocks ----
// Header KD1 + KD2 + KD3 + "0000000".
std::string ENTETE_RS(char KD1, char KD2, char KD3);
// 6-bit code of a secondary-channel character: c - 32 for 32 <= c <= 95, else 0 (a blank).
std::string CODE_6_BITS(char c);
// Character of a 6-bit value: value + 32.
char CARACTERE_6_BITS(int valeur);
// Secondary bits of an own frame: the 4-bit index (0..15) of the pair, then its two characters in 6 bits.
std::string MOT_CANAL_SECONDAIRE(int index, char c1, char c2);
// Secondary bits of a Master's slot without a connected user: KD1 (own) then KD1[1]..KD1[N], padded with '0'
// to 16 bits (at most 16 characters).
std::string MOT_ETAT_SLOTS(std::string_view kd1);
// Secondary bits a Master relays from a user's block (whitening already removed): the 16 bits before its last
// 96, or CANAL_RELAIS_ABSENT when the block is shorter than 112 bits.
std::string CANAL_RELAYE(std::string_view bloc_desblanchi);
// XORs the whitening mask's first bits into a block (at most 378 bits); applying it twice restores the block.
void BLANCHIR(std::string& bloc);
// A block as sent: B = header + text (8 bits per byte) + 16 secondary bits, then the 96 parity bits of
// RS(63,47) over B padded with '0' to 282 bits (the padding is not sent), whitened, repeated 1, 3 or 7 times.
// An empty block has no header and no text (112 bits per copy); a header without text gives 122 bits, a text
// of n bytes 122 + 8n.
std::string BLOC_RS(std::string_view entete, std::string_view texte, std::string_view canal, int vitesse);
// Receive side: corrects one copy of a block whose whitening was removed (112 to 378 bits: the data bits, then
// 96 parity bits). On success `donnees` gets the 282 corrected data bits (header, text and secondary bits, then
// the padding) and `corrections` the number of symbols corrected. Fails for a block of another size, a word
// the decoder rejects, or a correction that puts a '1' into the padding that was never sent.
bool CORRIGER_BLOC_RS(REED_SOLOMON_AUTEX_RX_TX& rs, std::string_view bloc, std::string& donnees,
                      int* corrections = nullptr);

// ---- Framing ----
// The transmission's bits padded with '0' to whole bytes, as bytes (most significant bit first), with one "U"
// before and 1, 3 or 7 "U" after.
std::string ENCADRER_TRAME(std::string_view bits, int vitesse);

}  // namespace autex
