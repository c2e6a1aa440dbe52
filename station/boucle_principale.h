#pragma once
// The main loop of the station: the receive pump of the 1 ms timer, the Escape key, the beacon, the paced
// writer that never lets the radio module's input buffer overflow, the 333 ms and 2000 ms timers, and the
// opening of the transceiver port.
#include <cstdint>
#include <string>

namespace station {

class StationIo;

// Most bytes the beacon copy keeps (only its end is ever looked at).
constexpr size_t TAILLE_MAX_COPIE_BALISE = 4096;
// The Escape key switches between transmission and reception at most once in this many ms.
constexpr uint32_t INTERVALLE_BASCULE_ECHAP = 300;
// An Escape that closed a menu or a dialog counts again once the key has been seen up this many ms in a row
// (the key's state as the system reports it may lag a few tens of ms behind the key).
constexpr uint32_t RELACHE_ECHAP = 100;
// A verified module is asked for its parameters every 2000 ms once the station has neither written nor
// received anything for this many ms (the presence check).
constexpr uint32_t REPOS_AVANT_PRESENCE = 2000;

class BouclePrincipale {
 public:
  explicit BouclePrincipale(StationIo& io);

  // Byte strings shared with the AUTEX side.
  std::string File_emission;     // the send queue, oldest byte first
  std::string Tampon_reception;  // bytes received in AUTEX mode, in arrival order

  // State of the loop.
  uint8_t Port_ouvert = 0;
  float Niveau_tampon_module = 0.0f;  // estimate of the bytes still inside the radio module
  uint32_t Heure_derniere_ecriture = 0;
  uint32_t Derniere_bascule_Echap = 0;
  uint32_t OCTETS_ECRITS = 0;
  uint8_t DEMANDE_ENVOI_MESSAGE = 0;

  // The beacon.
  uint8_t Balise_active = 0;
  uint8_t Balise_a_emettre = 0;
  uint8_t Balise_en_emission = 0;
  uint8_t Balise_en_pause = 0;
  uint32_t Echeance_balise = 0;
  uint16_t Pause_balise = 0;  // seconds
  std::string Copie_balise;

  // The timers of the main window.
  void Timer1Timer();  // 1 ms: the receive pump
  void Timer2Timer();  // 333 ms
  void Timer3Timer();  // 2000 ms: the module check
  // Writes at most one chunk of the send queue.
  void Emission_cadencee();
  // Bytes a second the writer counts the radio module to radiate: 120 at 1200 bauds, 360 at 9600.
  double Debit_ecriture() const;
  // Queues one beacon text.
  void Emission_balise();
  // Opens the transceiver port at the baud rate (1200 or 9600) and resets the buffers and the pacing.
  void Ouverture_port_transceiver(uint32_t vitesse);
  // Empties the send queue and the receive buffer (port opening, main-window activation).
  void Vide_tampons();
  // The port or the module has gone (a failed port call, or a module silent to the presence check): the
  // port is closed, the loss is shown in the information line and on the AUTEX side, and a beacon being
  // written starts again once the port is chosen again. What was typed and received stays where it is.
  void Perte_du_port();
  // Nothing written or received for REPOS_AVANT_PRESENCE ms, nothing queued, not transmitting, no AUTEX
  // session.
  bool Au_repos();

  uint32_t Heure_derniere_reception = 0;  // timeGetTime when bytes last came from the port

 private:
  // The Escape key as the main loop counts it (queried once a tick).
  bool Echap();
  // Bytes read from the port, less a module reply that comes after its command was judged (late, whole or
  // the rest of one begun by then: the transceiver's Reponse_DRF keeps it from its header on until it ends),
  // which is no received text. What surrounds it is kept; a "reply" that never ends is given back.
  std::string Hors_reponse_tardive(std::string lus);

  StationIo& io_;
  // An Escape that closed one of the program's menus or dialogs, or that is held from then: it counts only
  // once the key has been let go.
  bool Echap_a_relacher_ = false;
  uint32_t Echap_relachee_depuis_ = 0;  // timeGetTime when the key was first seen up (0: not up)
  // Time up to which the module's draining has been credited to Niveau_tampon_module.
  uint32_t Heure_derniere_vidange_ = 0;
};

}  // namespace station
