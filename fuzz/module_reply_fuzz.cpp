// Arbitrary bytes from the serial port while a module command is pending, then as ordinary received bytes:
// the reply handling must never decode a reply that was not received whole, and never show more than it got.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "station/station_io.h"
#include "tests/station_io/fakes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  stationtest::FakeWindow window;
  autex::Langues langues;
  platform::SimulatedClock clock(4000000000u);  // close to the wrap of the millisecond clock
  autex::Horodatage horodatage(clock);
  stationtest::FakeDevices devices;
  auto line = devices.add(1);
  platform::RecordingPriority priority;
  platform::SimulatedKeyboard keyboard;
  station::StationIo io(window, langues, horodatage, clock, devices, priority, keyboard);
  window.code252 = 1;
  io.ports.Choix_port_serie();
  window.timer1 = true;
  if (io.boucle.Port_ouvert != 1) std::abort();

  auto& t = io.transceiver;
  t.Module_verifie = 1;
  t.Fenetre_transceiver_active = data[0] & 1;
  if (data[0] & 2) t.Ecriture_parametres_DRF1278DM(); else t.Lecture_parametres_DRF1278DM((data[0] & 4) ? 3 : 1);
  if (t.Commande_DRF_en_attente == 0) std::abort();
  const size_t split = data[1] % (size - 1);
  const std::string bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
  line->input = bytes.substr(0, split);
  for (int tick = 0; tick < 400; ++tick) {
    clock.advance(1);
    if (tick == 150) line->input += bytes.substr(split);
    io.boucle.Timer1Timer();
    if (tick % 100 == 99) t.Timer1Timer();
  }
  // A reply was decoded only when a whole one was received.
  size_t at = 0, length = 0;
  if (window.champsLus > 0 && !station::Reponse_DRF_entiere(bytes, at, length)) std::abort();
  if (window.reception.size() > bytes.size() * 2) std::abort();
  return 0;
}
