#pragma once
// The main window's transceiver port menu (None, COM1..COM40 with the detected ports) and baud-rate menu, and
// the way a choice in them is tested, opened and stored in byte 252 of the parameter image.
#include <cstdint>
#include <string_view>

#include "autex/langues.h"
#include "station/fenetre_io.h"
#include "station/parametres.h"

namespace station {

class StationIo;

// The port menu for the port code of byte 252 and the detected ports ('Y'/'N' per COM1..COM40).
MenuPortsSerie Modele_menu_ports(uint8_t code, std::string_view ports_presents, const autex::Langues& langues);
// The baud-rate menu for a port speed.
MenuVitesses Modele_menu_vitesses(uint16_t vitesse_port);

class PortsSerie {
 public:
  explicit PortsSerie(StationIo& io);

  // Rebuilds the port menu from byte 252 and sets Port_selectionne and Numero_port.
  void Construit_menus_ports_serie();
  // No port: byte 252 := 10, menu, message, port released, image written.
  void Aucun_port_selectionne();
  // Tests the port of byte 252 and opens it, or falls back to no port.
  void Choix_port_serie();
  void Coche_vitesse_port();
  // Re-opens the port at Vitesse_port.
  void Change_vitesse_port();

  // Menu handlers.
  void Aucun_port_serie_GPSClick();
  void COM_GPSClick(int n);  // COMn_GPS, n = 1..40
  void _1200Click();
  void _9600Click();

 private:
  StationIo& io_;
};

}  // namespace station
