#pragma once
// Framed texts of the AUTEX text stream: how short messages, files and the stop request travel inside the
// text that the transmit side cuts into blocks. Each frame is the control byte 3 followed by a code, the
// frame's data, and the end sequence 3, 0:
//
//   message          3, 1, text (every byte 3 removed), 3, 0
//   file, plain      3, 4, N (3 bytes, most significant first), call sign, 0, file name, 0,
//                    data with every byte 3 doubled, 3, 0
//   file, compressed 3, 6, then the same fields, the data being the zlib stream of the file
//   stop             3, 5
//
// N counts every byte after the three length bytes, the final 3, 0 included. The receiving side takes the
// frames apart in Autex::RECEPTION_FICHIER_SMS (autex/traduction_autex.h).
//
// These are pure functions: the main window's sending handlers append their result to TEXTE_A_EMETTRE (and set
// TEXTE_EN_ATTENTE); the tests build the same frames with them.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace autex {

inline constexpr char OCTET_CONTROLE = '\x03';
// The codes that follow the control byte.
inline constexpr char CODE_FIN = '\x00';
inline constexpr char CODE_MESSAGE = '\x01';
inline constexpr char CODE_FICHIER = '\x04';
inline constexpr char CODE_ARRET = '\x05';
inline constexpr char CODE_FICHIER_COMPRESSE = '\x06';
// The largest N that three length bytes can carry.
inline constexpr int64_t TAILLE_MAX_TRAME_FICHIER = 16777215;
// The most bytes of a file that a station sends; a received file that would inflate to more is refused (no
// sender makes one, and a small stream of zeros would otherwise fill the disk far faster than the air does).
inline constexpr int64_t TAILLE_MAX_FICHIER_ENVOYE = 65000;

// 3, 1, the text without any byte 3, 3, 0.
std::string TRAME_MESSAGE_AUTEX(std::string_view texte);

// The frame of a file. With `compression` the data is compressed first and the compressed form is sent when it
// is shorter (`compresse` then comes back true, and the frame starts with 3, 6); otherwise the plain data with
// 3, 4. Returns false (and an empty frame) when N would not fit in three bytes.
bool TRAME_FICHIER_AUTEX(std::string_view indicatif, std::string_view nom_fichier, std::string_view donnees,
                         bool compression, std::string& trame, bool& compresse);

// 3, 5.
std::string TRAME_ARRET_AUTEX();

// One framed text of a send queue, as the queue's bytes give it.
struct TrameEnFile {
  enum class Genre : uint8_t { Message, Fichier, Arret, Texte };
  Genre genre = Genre::Texte;
  size_t longueur = 0;  // its bytes in the queue
  std::string texte;    // a message's text, a file's name, the bytes of a text that is no frame
  int64_t taille = -1;  // a file's size as its sender read it (-1: not known from the frame)
};

// The framed texts of a send queue, in order, covering it whole: a message ends with its 3, 0 (or where the next
// frame starts, as the receiving side reads it), a file spans its three length bytes and the N bytes they count,
// a stop is 3, 5, and the bytes up to the next frame that are none of these are a text. A frame whose end is
// not in the queue spans to the queue's end.
std::vector<TrameEnFile> DECOUPE_TRAMES(std::string_view file);

// What an echo window ("Text transmitted", "Text received from the addressee") shows of a text stream: the text
// and the short messages' text as they come, each message on a line of its own (a line end before it when the
// window's last line holds text, and after it), and in place of a file frame (its length, call sign, name and
// data, which are bytes and no text) one line that names the file. A frame may be cut anywhere between two
// chunks: the state is kept from one to the next; Raz starts again from plain text (a new link).
class EchoSansFichier {
 public:
  // `mot_fichier` starts the line that stands for a file ("File" or "Fichier").
  std::string Filtre(std::string_view morceau, std::string_view mot_fichier);
  void Raz() { *this = EchoSansFichier(); }
  bool Dans_un_fichier() const { return etat_ != Etat::Texte && etat_ != Etat::Controle; }
  // Where the echo window stands before the next chunk: at the start of a line (or empty), or after text.
  void Fixe_debut_de_ligne(bool debut) { debut_de_ligne_ = debut; }

 private:
  enum class Etat : uint8_t { Texte, Controle, Longueur, Indicatif, Nom, Donnees, Donnees_controle };
  Etat etat_ = Etat::Texte;
  std::string champ_;
  bool debut_de_ligne_ = true;  // the last character shown ended a line (or nothing was shown yet)
};

}  // namespace autex
