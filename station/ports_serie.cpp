#include "station/ports_serie.h"

#include "station/station_io.h"

namespace station {

MenuPortsSerie Modele_menu_ports(uint8_t code, std::string_view ports_presents, const autex::Langues& langues) {
  MenuPortsSerie menu;
  menu.Elements[0].Caption = langues.TRADUCTION("None", "Aucun");
  const std::string detecte = langues.TRADUCTION("detected", "d\xE9tect\xE9");
  for (int n = 1; n <= 40; ++n) {
    ElementMenu& e = menu.Elements[size_t(n)];
    e.Caption = "COM " + std::to_string(n);
    e.Detecte = size_t(n) <= ports_presents.size() && ports_presents[size_t(n - 1)] != 'N';
    if (e.Detecte) e.Caption += " " + detecte;
  }
  // A code that names no port shows "None".
  menu.Elements[size_t(Numero_port_du_code(code))].Checked = true;
  return menu;
}

MenuVitesses Modele_menu_vitesses(uint16_t vitesse_port) {
  MenuVitesses menu;
  menu._1200 = vitesse_port == 1200;
  menu._9600 = vitesse_port == 9600;
  return menu;
}

PortsSerie::PortsSerie(StationIo& io) : io_(io) {}

void PortsSerie::Construit_menus_ports_serie() {
  auto& materiel = io_.materiel;
  const uint8_t code = io_.fenetre.Code_port_image();
  io_.fenetre.Affiche_menu_ports(Modele_menu_ports(code, materiel.Ports_presents, io_.langues));
  const int numero = Numero_port_du_code(code);
  if (numero == 0) {
    materiel.Port_selectionne = 0;
  } else {
    materiel.Port_selectionne = 1;
    materiel.Numero_port = uint8_t(numero);
  }
}

void PortsSerie::Aucun_port_selectionne() {
  io_.fenetre.Fixe_code_port_image(CODE_AUCUN_PORT);
  Construit_menus_ports_serie();
  io_.fenetre.Label_Info(io_.langues.TRADUCTION("No selected serial port.", "Pas de port s\xE9rie s\xE9lectionn\xE9."));
  io_.boucle.Port_ouvert = 0;
  // No port chosen: the port is released and no earlier test counts any more.
  io_.materiel.Fermer_port_serie(io_.materiel.Handle_port);
  io_.materiel.Port_teste = 0;
  io_.fenetre.Sauve_image_parametres();
}

void PortsSerie::Choix_port_serie() {
  Construit_menus_ports_serie();
  io_.materiel.Tester_port_serie();
  if (io_.materiel.Port_teste == 1) {
    io_.boucle.Ouverture_port_transceiver(io_.materiel.Vitesse_port);
    io_.fenetre.Sauve_image_parametres();
  } else {
    io_.boucle.Port_ouvert = 0;
    Aucun_port_selectionne();
  }
  if (io_.Est_DRF1278DM()) {
    io_.transceiver.Module_verifie = 0;
    io_.fenetre.Active_Timer1(false);
  }
}

void PortsSerie::Coche_vitesse_port() { io_.fenetre.Affiche_menu_vitesses(Modele_menu_vitesses(io_.materiel.Vitesse_port)); }

void PortsSerie::Change_vitesse_port() {
  Coche_vitesse_port();
  io_.materiel.Tester_port_serie();
  if (io_.materiel.Port_teste == 1) {
    io_.boucle.Ouverture_port_transceiver(io_.materiel.Vitesse_port);
  } else {
    io_.boucle.Port_ouvert = 0;
    Aucun_port_selectionne();
  }
}

void PortsSerie::Aucun_port_serie_GPSClick() { Aucun_port_selectionne(); }

void PortsSerie::COM_GPSClick(int n) {
  io_.fenetre.Fixe_code_port_image(Code_du_port(n));
  Choix_port_serie();
}

void PortsSerie::_1200Click() {
  io_.materiel.Vitesse_port = 1200;
  Change_vitesse_port();
  if (io_.Est_DRF1278DM()) {
    io_.transceiver.Module_verifie = 0;
    io_.fenetre.Active_Timer1(false);
  }
}

void PortsSerie::_9600Click() {
  io_.materiel.Vitesse_port = 9600;
  Change_vitesse_port();
  if (io_.Est_DRF1278DM()) {
    io_.transceiver.Module_verifie = 0;
    io_.fenetre.Active_Timer1(false);
  }
}

}  // namespace station
