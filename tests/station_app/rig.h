#pragma once
// Whole stations in one test process: the real windows (headless natively), parameter files in a temporary
// working directory, in-memory serial lines, a simulated clock that drives the windows' timers, and drivers
// that answer the message boxes and the modal windows as a user would.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "platform/clock.h"
#include "platform/keyboard.h"
#include "platform/priority.h"
#include "station/fiche_principale.h"
#include "station/station.h"
#include "tests/station_io/fakes.h"
#include "tests/support/gui_input.h"
#include "tests/support/temp_dir.h"

namespace apptest {

// A message box as the program showed it.
struct Boite {
  std::string texte;
  std::string legende;
  UINT drapeaux = 0;
};

// The operating system as a test sets it; message boxes are recorded and answered OK.
class SystemeTest final : public station::SystemeStation {
 public:
  std::string repertoire;
  std::string programme;  // the program's directory
  std::string date_zero = "30/12/1899";
  uint16_t langue = 1033;
  station::Taille_ecran ecran{1280, 1024};
  std::vector<Boite>* boites = nullptr;
  int fins = 0;

  std::string Repertoire_courant() override { return repertoire; }
  std::string Repertoire_programme() override { return programme; }
  std::string Date_zero_format_court() override { return date_zero; }
  uint16_t Identifiant_langue() override { return langue; }
  station::Taille_ecran Ecran() override { return ecran; }
  int Boite_message(const std::string& texte, const std::string& legende, unsigned drapeaux) override {
    if (boites) boites->push_back(Boite{texte, legende, drapeaux});
    return IDOK;
  }
  void Fin_du_processus() override { ++fins; }
};

class StationTest;

// The application-wide drivers of one test: the clock, the stations' timers and the modal windows (answered
// by `reponse_modale`, then closed as a user closes them when they are still open).
class Bureau {
 public:
  Bureau() {
    gui::Application->SetClock(&clock);
    gui::Screen->SetHeadlessMetrics(1280, 1024, 96);
    gui::Application->ModalDriver = [this](gui::TCustomForm& f) {
      modales.push_back(f.ClassName());
      if (reponse_modale) reponse_modale(f);
      if (f.IsModal() && f.ModalResult() == gui::mrNone) f.Close();
    };
  }
  ~Bureau() {
    gui::Application->ModalDriver = nullptr;
    gui::Application->SetClock(nullptr);
    gui::Screen->SetHeadlessMetrics(1280, 1024, 96);
  }
  Bureau(const Bureau&) = delete;
  Bureau& operator=(const Bureau&) = delete;

  // `ms` milliseconds, one at a time: every started station's timers fire when their interval elapses (the
  // 1 ms pump, the 333 ms and 2000 ms timers, the module window's 100 ms timer), in both builds.
  void Run(uint32_t ms);

  platform::SimulatedClock clock{50000};
  std::vector<Boite> boites;
  std::vector<std::string> modales;  // class names of the windows shown modally, in order
  std::function<void(gui::TCustomForm&)> reponse_modale;
  std::vector<StationTest*> stations;
};

// One station in its own working directory, with its serial lines.
class StationTest {
 public:
  explicit StationTest(Bureau& bureau) : bureau_(bureau) {
    systeme.repertoire = dir.path().string();
    systeme.boites = &bureau.boites;
    bureau.stations.push_back(this);
  }
  ~StationTest() {
    Arrete();
    std::erase(bureau_.stations, this);
  }
  StationTest(const StationTest&) = delete;
  StationTest& operator=(const StationTest&) = delete;

  // Starts the program: the seven windows, the main window loading and applying the parameters.
  station::Station& Demarre(const station::Fabriques& fabriques = {}) {
    station_ = std::make_unique<station::Station>(
        station::Plateforme{bureau_.clock, ports, priorite, clavier, shell, systeme, ecran_capture}, fabriques);
    return *station_;
  }
  // Shows the main window (its first activation).
  void Montre() { f().Show(); }
  // Starts the program with the given skin components for its main window (as station.exe makes them, say) and
  // shows it.
  station::FichePrincipale& Demarre_et_montre(const forms::TForm1::TSkinComponentsFactory& composants_peau) {
    station::Fabriques fabriques;
    fabriques.composants_peau = composants_peau;
    Demarre(fabriques);
    Montre();
    return f();
  }
  void Arrete() {
    if (!station_) return;
    if (f().Visible()) f().Hide();
    station_.reset();
  }

  bool Demarree() const { return station_ != nullptr; }
  station::Station& s() { return *station_; }
  station::FichePrincipale& f() { return *station_->Form1; }
  // The parameter image as written on disk.
  std::string Image() const { return dir.read("CONF_COM.SER"); }
  uint8_t Octet_fichier(int i) const { return uint8_t(Image().at(size_t(i - 1))); }

  testsupport::TempDir dir;
  SystemeTest systeme;
  stationtest::FakeDevices ports;
  platform::RecordingPriority priorite;
  platform::SimulatedKeyboard clavier;
  platform::RecordingShell shell;
  // A screen of 64 x 48 pixels for captures.
  struct EcranTest final : platform::Screen {
    bool Capture(platform::ScreenImage& image) override {
      image.width = 64;
      image.height = 48;
      image.bgra.assign(size_t(64) * 48 * 4, 0x80);
      return true;
    }
  } ecran_capture;

 private:
  Bureau& bureau_;
  std::unique_ptr<station::Station> station_;
};

inline void Bureau::Run(uint32_t ms) {
  for (uint32_t t = 0; t < ms; ++t) {
    clock.advance(1);
    const uint32_t now = clock.timeGetTime();
    for (StationTest* st : stations) {
      if (!st->Demarree()) continue;
      station::FichePrincipale& f = st->f();
      if (f.Timer1->Enabled()) f.Timer1Timer(nullptr);
      if (now % 100 == 0) st->s().Form19->Timer1Timer(nullptr);
      if (now % 333 == 0) f.Timer2Timer(nullptr);
      if (now % 2000 == 0) f.Timer3Timer(nullptr);
    }
  }
}

// The standard image of a 1280 x 1024 screen.
inline std::string Image_standard() {
  autex::Langues langues;
  autex::FonctionsFichiers fichiers(langues, nullptr);
  struct Hote : station::Hote_parametres {
    station::Taille_ecran Ecran() override { return {1280, 1024}; }
  } hote;
  station::Parametres p(langues, fichiers, hote);
  return p.Image_standard;
}

// An image with some bytes changed (1-based indexes).
inline std::string Image_avec(std::initializer_list<std::pair<int, int>> octets) {
  std::string image = Image_standard();
  for (auto [i, v] : octets) image[size_t(i - 1)] = char(v);
  return image;
}

}  // namespace apptest
