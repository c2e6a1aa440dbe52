#include "station/verification_materiel.h"

#include <algorithm>

namespace station {

VerificationMateriel::VerificationMateriel(platform::SerialDevices& devices, const autex::Langues& langues,
                                           std::function<void(const std::string&)> info)
    : devices_(devices), langues_(langues), info_(std::move(info)) {}

bool VerificationMateriel::Sonder_port_serie(int n) {
  Fermer_sonde_port();
  Handle_sonde = devices_.open(n);
  if (!Handle_sonde) return false;
  platform::SerialSettings settings;
  if (Handle_sonde->getCommState(settings)) return true;
  Fermer_sonde_port();  // a device that is no serial port is not held
  return false;
}

void VerificationMateriel::Fermer_sonde_port() { Handle_sonde.reset(); }

uint32_t VerificationMateriel::Octets_en_attente(Handle& handle) {
  if (!handle) return 0;
  uint32_t count = 0;
  if (!handle->inputQueueCount(count)) {
    Defaillance_port = true;
    return 0;
  }
  if (count > ATTENTE_MAXIMALE) {
    info_(langues_.TRADUCTION("Problem detected with your serial port!", "Probl\xE8me d\xE9tect\xE9 avec le port s\xE9rie!"));
    return 0;
  }
  return count;
}

std::string VerificationMateriel::Lire_port_serie(Handle& handle) {
  std::string bytes;
  if (!handle) return bytes;
  const uint32_t waiting = std::min(Octets_en_attente(handle), LECTURE_MAXIMALE);
  if (waiting == 0) return bytes;
  if (!handle->readBytes(waiting, bytes)) {
    Defaillance_port = true;
    bytes.clear();
  }
  return bytes;
}

bool VerificationMateriel::Ecrire_port_serie(Handle& handle, std::string_view bytes) {
  if (!handle) return false;
  uint32_t written = 0;
  if (!handle->writeBytes(bytes, written)) Defaillance_port = true;
  return written == bytes.size();
}

void VerificationMateriel::Fermer_port_serie(Handle& handle) { handle.reset(); }

bool VerificationMateriel::Ouvrir_port_serie(Handle& handle, int n, uint32_t vitesse, uint8_t bits_stop,
                                             uint8_t parite, uint8_t bits_donnees) {
  Fermer_port_serie(handle);
  handle = devices_.open(n);
  if (!handle) return false;
  platform::SerialSettings settings;
  if (!handle->getCommState(settings)) {
    Fermer_port_serie(handle);
    return false;
  }
  Defaillance_port = false;
  settings.BaudRate = vitesse;
  settings.ByteSize = bits_donnees;
  settings.Parity = parite;
  settings.StopBits = bits_stop;
  handle->setCommState(settings);  // its result is not examined
  return true;
}

bool VerificationMateriel::Ouvrir_port_serie_sans_reglage(Handle& handle, int n) {
  Fermer_port_serie(handle);
  handle = devices_.open(n);
  if (!handle) return false;
  platform::SerialSettings settings;
  if (handle->getCommState(settings)) {
    Defaillance_port = false;
    return true;
  }
  Fermer_port_serie(handle);
  return false;
}

void VerificationMateriel::Tester_port_serie() {
  if (Port_selectionne == 0) {
    Port_teste = 0;
    info_(langues_.TRADUCTION("No selected serial port.", "Pas de port s\xE9rie s\xE9lectionn\xE9."));
    return;
  }
  const std::string numero = std::to_string(Numero_port);
  if (Ouvrir_port_serie_sans_reglage(Handle_port, Numero_port)) {
    info_(langues_.TRADUCTION("Success when opening the serial port COM ",
                              "R\xE9ussite de l'ouverture du port s\xE9rie COM ") +
          numero + ".");
    Fermer_port_serie(Handle_port);
    Port_teste = 1;
  } else {
    info_(langues_.TRADUCTION("Failure when opening the serial port COM ", "Echec de l'ouverture du port s\xE9rie COM ") +
          numero);
    Port_teste = 0;
  }
}

void VerificationMateriel::Detection_ports_serie() {
  Ports_presents.assign(40, 'N');
  for (int n = 1; n <= 40; ++n) {
    if (Sonder_port_serie(n)) Ports_presents[size_t(n - 1)] = 'Y';
    Fermer_sonde_port();
  }
}

}  // namespace station
