#pragma once
// FONCTIONS_FICHIERS: whole files in one call.
//
// The text routines (ECRIRE_FICHIER_TEXTE, LIRE_FICHIER_TEXTE) go through the multimedia file API on Windows,
// treat the content as a NUL-terminated text, report each failure to the user in the current language and
// return 1. The block routines carry any byte and report nothing; they return their failure instead of
// letting an input/output error escape (they are called from timers).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "autex/langues.h"

namespace autex {

// The platform's path separator for the paths the station builds ('\' on Windows, '/' elsewhere).
#ifdef _WIN32
constexpr char SEPARATEUR_CHEMIN = '\\';
#else
constexpr char SEPARATEUR_CHEMIN = '/';
#endif

// The longest full path that the shell opens (ShellExecuteA stops at 255 characters under Wine, and Windows
// programs at MAX_PATH): a received file is stored under a name that keeps its whole path within it wherever
// the directory allows, so that "File opening" and any other program reach it.
constexpr size_t LONGUEUR_MAX_CHEMIN = 255;

// False when the name holds NUL or one of \ / : * ? " < > |; an empty name gives true.
bool Nom_de_fichier_valide(std::string_view name);
// True when the name, received from outside, can only name a plain file right inside the directory it is
// created in, on Windows as elsewhere: not empty, nothing that Nom_de_fichier_valide refuses, no control
// character (below 32, or 127), not "." or "..", no trailing dot or blank, and no device name (CON, PRN, AUX,
// NUL, CLOCK$, CONIN$, CONOUT$, COM0-COM9 and LPT0-LPT9, the superscript digits included, in any case and
// with any extension).
bool Nom_de_fichier_sur(std::string_view name);
// True when the name stands for a device on Windows, whatever extension follows it and with blanks around it:
// CON, PRN, AUX, NUL, CLOCK$, CONIN$, CONOUT$, COM0-COM9 and LPT0-LPT9 (the superscript digits included), in
// any case. Such a "file" is the device: reading it gives nothing, or what the device gives.
bool Nom_de_peripherique(std::string_view name);
// The text after the last path separator (the whole path when there is none).
void NOM_SANS_CHEMIN(std::string_view path, std::string& name);
// True when an entry of that name exists (directories included).
bool FICHIER_EXISTE(const std::string& name);
// Clears read-only (and hidden and system) so the file can be rewritten.
void Rendre_inscriptible(const std::string& name);
// Turns path into the first free numbered variant base + 5-digit counter + extension. The counter goes in
// front of the extension of the file name itself (a dot in a directory name is not an extension).
void Nom_de_fichier_libre(std::string& path, bool& found);
// The path under which a new file named `name` goes into `directory`: the name itself when it is free and the
// whole path fits in LONGUEUR_MAX_CHEMIN, else its first free numbered variant that fits; a name too long for
// the directory is shortened to fit, its extension kept and a counter added when the shortened name is taken.
// When no name can fit beside so long a directory, the whole name (numbered when taken) is used. False when
// every numbered variant is taken.
bool Chemin_libre_dans(const std::string& directory, const std::string& name, std::string& path);
// Reads the whole file. Mode 1: content = all bytes, size = their number; other modes: only size.
// Returns false when the file cannot be opened or read (content and size then hold what was read).
bool LIRE_FICHIER_BLOCS(const std::string& name, int mode, std::string& content, int64_t& size);
// Creates or empties the file and writes the content in blocks of 100,000 bytes. 0 = written, 1 = failed.
int ECRIRE_FICHIER_BLOCS(const std::string& name, std::string_view content);
// A free temporary name in the directory of `name` ("~" + its name + a counter + ".tmp"); empty when none.
std::string Nom_temporaire_libre(const std::string& name);
// Writes the content whole under a temporary name beside the file, flushed to the disk, then puts it in
// the file's place in one step (replacing it), so that the name never holds a part of the content. On a
// failure the temporary file is removed and the file keeps what it held. 0 = written, 1 = failed.
int ECRIRE_FICHIER_REMPLACE(const std::string& name, std::string_view content);

class FonctionsFichiers {
 public:
  // erreur: shows an error to the user (the station's modal error dialog).
  FonctionsFichiers(const Langues& langues, std::function<void(const std::string&)> erreur)
      : langues_(&langues), erreur_(std::move(erreur)) {}

  int32_t Capacite_lecture_texte = 65500;
  // The working directory recorded at start-up; received files go into sub-directories of it.
  std::string Repertoire_travail;

  // 0 on success, 1 when a step failed (each failing step is reported). The text is written under a
  // temporary name and then replaces the file, so that a failure never leaves a part of it there.
  uint16_t ECRIRE_FICHIER_TEXTE(const std::string& name, std::string_view text);
  // Reads at most Capacite_lecture_texte bytes, cut at the first NUL. On an open failure text and count
  // are left unchanged; on a read failure count is -1 and text is empty.
  uint16_t LIRE_FICHIER_TEXTE(const std::string& name, std::string& text, int32_t& count);
  // Stores content as Repertoire_travail/sub_directory/file_name, under a free name that fits the directory
  // (Chemin_libre_dans); file_name comes back as the name used. The caller passes ok = true, message empty.
  void Ecrire_fichier_libre(std::string& file_name, const std::string& sub_directory, std::string_view content,
                            bool& ok, std::string& message);

  void set_erreur(std::function<void(const std::string&)> erreur) { erreur_ = std::move(erreur); }

 private:
  void report(std::string_view english, std::string_view french, const std::string& tail = std::string(),
              std::string_view english_end = {}, std::string_view french_end = {});

  const Langues* langues_;
  std::function<void(const std::string&)> erreur_;
};

namespace detail {
// The multimedia-file (Windows) or stdio (elsewhere) side of the text routines.
struct TextWriteResult {
  bool opened = false;
  int64_t written = 0;
  int close_code = 0;
};
// The text file is flushed to the disk before it is closed.
TextWriteResult os_write_text(const std::string& name, std::string_view text);
// Puts the file `from` in the place of `to` in one step (replacing it); false when it could not.
bool os_replace_file(const std::string& from, const std::string& to);
void os_remove_file(const std::string& name);
struct TextReadResult {
  bool opened = false;
  int64_t count = 0;  // -1 on a read error
  std::string bytes;
  int close_code = 0;
};
TextReadResult os_read_text(const std::string& name, int32_t capacity);
bool os_file_exists(const std::string& name);
void os_make_writable(const std::string& name);
bool os_make_directory(const std::string& name);
bool os_is_directory(const std::string& name);
void os_set_current_directory(const std::string& name);
// fopen, for paths of any length.
std::FILE* os_open_file(const std::string& name, const char* mode);
}  // namespace detail

}  // namespace autex
