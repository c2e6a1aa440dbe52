#pragma once
// What the station's start-up and commands ask of the operating system beyond the other seams: the current
// directory, the user's short date format, the system's language and screen, message boxes, and ending the
// process.
#include <cstdint>
#include <string>

#include "station/table_parametres.h"

namespace station {

class SystemeStation {
 public:
  virtual ~SystemeStation() = default;
  // The current directory, without a trailing separator (a drive's root keeps its "\").
  virtual std::string Repertoire_courant();
  // The directory of the running program (where its help pages are shipped), without a trailing separator;
  // empty when it cannot be told.
  virtual std::string Repertoire_programme();
  // The date 30 December 1899 written in the user's short date format.
  virtual std::string Date_zero_format_court();
  // The system's default language identifier (1036: French) and the primary screen's size, which the
  // parameter image's standard values use.
  virtual uint16_t Identifiant_langue();
  virtual Taille_ecran Ecran();
  // A message box of the program (MessageBoxA owned by its active window): the button pressed (IDOK, ...).
  virtual int Boite_message(const std::string& texte, const std::string& legende, unsigned drapeaux);
  // Ends the process at once (ExitProcess); natively the application's message loop is ended.
  virtual void Fin_du_processus();
};

// The operating system's.
SystemeStation& Systeme_station();

}  // namespace station
