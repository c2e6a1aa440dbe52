#pragma once
// VERIFICATION_MATERIEL: the serial port of the radio module. Probing a COM port, opening it with or without
// line settings, the count of bytes waiting, reading, writing, closing, and the test of the selected port.
// (The port code of byte 252 is in station/parametres.h: Code_du_port, Numero_port_du_code.)
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "autex/langues.h"
#include "platform/serial_port.h"

namespace station {

// A port handle variable: empty (the invalid handle, -1) when closed.
using Handle = std::unique_ptr<platform::SerialPort>;

// Most bytes one read takes from the port.
constexpr uint32_t LECTURE_MAXIMALE = 65535;
// Above this count of waiting bytes the port is taken as broken.
constexpr uint32_t ATTENTE_MAXIMALE = 999999;

class VerificationMateriel {
 public:
  // `info` shows a text in the main window's information line (Label_Info).
  VerificationMateriel(platform::SerialDevices& devices, const autex::Langues& langues,
                       std::function<void(const std::string&)> info);

  Handle Handle_port;   // the transceiver port
  Handle Handle_sonde;  // the port probe
  uint8_t Port_selectionne = 0;
  uint8_t Numero_port = 0;
  uint8_t Port_teste = 0;
  uint32_t Vitesse_ouverture = 0;
  std::string Ports_presents = std::string(40, 'N');
  uint16_t Vitesse_port = 1200;
  // Set when a status, read or write call failed on an open port (the port or its module has gone: a
  // pseudo-terminal whose other end closed, an adapter pulled out); cleared when a port is opened.
  bool Defaillance_port = false;

  // True when COM n can be opened and its settings read; the handle stays in Handle_sonde.
  bool Sonder_port_serie(int n);
  void Fermer_sonde_port();
  // Bytes in the input queue of the port; 0 for a closed port, a failed query, or a count above 999,999
  // (which also reports the broken port).
  uint32_t Octets_en_attente(Handle& handle);
  // The bytes waiting on the port (at most LECTURE_MAXIMALE per call; the rest waits for the next call).
  std::string Lire_port_serie(Handle& handle);
  // One write of all the bytes: true when every byte was written (an empty text gives true); false for a
  // closed port, without a system call.
  bool Ecrire_port_serie(Handle& handle, std::string_view bytes);
  void Fermer_port_serie(Handle& handle);
  // Opens COM n with the given line settings (the handle is closed first when open); false when the port
  // cannot be opened or its settings read.
  bool Ouvrir_port_serie(Handle& handle, int n, uint32_t vitesse, uint8_t bits_stop, uint8_t parite,
                         uint8_t bits_donnees);
  // The same opening with no change of settings.
  bool Ouvrir_port_serie_sans_reglage(Handle& handle, int n);
  // The test of the selected port: opens it, reports, closes it again; Port_teste := 1 on success.
  void Tester_port_serie();
  // Probes COM1..COM40 and fills Ports_presents ('Y' where the probe succeeds).
  void Detection_ports_serie();

 private:
  platform::SerialDevices& devices_;
  const autex::Langues& langues_;
  std::function<void(const std::string&)> info_;
};

}  // namespace station
