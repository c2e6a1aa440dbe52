#pragma once
// What the AUTEX side needs of the station that holds it: the send queue and the paced serial writer, the
// receive buffer, the display of received and sent text in the main window, the editor's focus, the speed
// choice, the process priority, the message dialogs and the working directory.
//
// What the AUTEX side shows or reads on the main window's controls (captions, texts, enabled and down states,
// panels) is added to this interface by autex/vue_autex.h. The station's main window implements both; tests
// implement them over a simulated radio channel and plain values.
#include <cstdint>
#include <string>

namespace autex {

class HoteAutex {
 public:
  virtual ~HoteAutex() = default;

  // The send queue `File_emission` and the receive buffer `Tampon_reception` of the main loop (byte strings).
  virtual std::string& File_emission() = 0;
  virtual std::string& Tampon_reception() = 0;
  // The paced writer's count of bytes written (`OCTETS_ECRITS`), read to know when a transmission has left and
  // set back to 0 when a new one is queued.
  virtual uint32_t OCTETS_ECRITS() = 0;
  virtual void Fixe_OCTETS_ECRITS(uint32_t valeur) = 0;
  // Writes at most one chunk of the send queue to the port.
  virtual void Emission_cadencee() = 0;
  // The request to send the typed message (`DEMANDE_ENVOI_MESSAGE`, set by Escape or carriage return).
  virtual void Fixe_DEMANDE_ENVOI_MESSAGE(uint8_t valeur) = 0;

  // Received and sent characters in `Memo_Reception_memo` and `Memo_emission`.
  virtual void Affiche_reception(const std::string& texte) = 0;
  virtual void Affiche_emission(const std::string& texte) = 0;
  // Gives the keyboard focus back to the editor `Memo_editeur`.
  virtual void Redonne_focus_editeur() = 0;

  // Sets the AUTEX speed (1200, 400 or 171): puts its button down, then runs GESTION_PRELIMINAIRE_AUTEX and
  // INITIALISATION_PARAMETRES_RX_AUTEX of this AUTEX side. Called from inside the receive path when a listener
  // hears another speed.
  virtual void Choix_vitesse_AUTEX(uint16_t vitesse) = 0;
  // Puts down the speed button of the current AUTEX speed.
  virtual void Affiche_vitesse_AUTEX() = 0;

  // The radio module's rates, in bytes a second: how fast it radiates what it is given (its air rate, as its
  // settings give it), and how fast the paced writer counts it to radiate (the writer keeps the module's
  // buffer from overflowing on that count). When the host knows nothing of the module the two are the same.
  virtual double Debit_air_module() = 0;
  virtual double Debit_ecriture_module() = 0;

  // The priority class of the process (platform::kRealtimePriorityClass, platform::kNormalPriorityClass).
  virtual void Classe_priorite(uint32_t classe) = 0;

  // The station's modal message dialogs ("Erreur"/"Error", "Information").
  virtual void Afficher_erreur(const std::string& texte) = 0;
  virtual void Afficher_information(const std::string& texte) = 0;

  // The working directory (received files are stored in its "AUTEX" sub-directory).
  virtual std::string Repertoire_travail() = 0;
};

}  // namespace autex
