#pragma once
// Test doubles for the station's serial side: an in-memory serial line per COM number and a window that
// records what the logic shows.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/serial_port.h"
#include "station/affichage_memo.h"
#include "station/fenetre_io.h"

namespace stationtest {

// One serial line: what the station wrote, what waits for it, and its settings.
struct FakeLine {
  bool exists = true;
  bool commStateFails = false;
  bool open = false;
  platform::SerialSettings settings;
  std::string input;    // bytes waiting for the station
  std::string written;  // every byte the station wrote
  uint32_t reportedQueue = 0xFFFFFFFF;  // when not 0xFFFFFFFF, the count ClearCommError reports
  std::vector<platform::EscapeFunction> escapes;
  int setCommStateCalls = 0;
  int systemCalls = 0;
  // The device has gone: these calls fail.
  bool statusFails = false;
  bool readFails = false;
  bool writeFails = false;
  // Called after each write with the bytes written (a module answering commands, for instance).
  std::function<void(FakeLine&, const std::string&)> onWrite;
};

class FakePort final : public platform::SerialPort {
 public:
  explicit FakePort(std::shared_ptr<FakeLine> line) : line_(std::move(line)) { line_->open = true; }
  ~FakePort() override { line_->open = false; }
  bool getCommState(platform::SerialSettings& s) override {
    ++line_->systemCalls;
    if (line_->commStateFails) return false;
    s = line_->settings;
    return true;
  }
  bool setCommState(const platform::SerialSettings& s) override {
    ++line_->systemCalls;
    ++line_->setCommStateCalls;
    line_->settings = s;
    return true;
  }
  bool inputQueueCount(uint32_t& count) override {
    ++line_->systemCalls;
    if (line_->statusFails) return false;
    count = line_->reportedQueue != 0xFFFFFFFF ? line_->reportedQueue : uint32_t(line_->input.size());
    return true;
  }
  bool readBytes(uint32_t count, std::string& out) override {
    ++line_->systemCalls;
    if (line_->readFails) {
      out.clear();
      return false;
    }
    out = line_->input.substr(0, count);
    line_->input.erase(0, out.size());
    return true;
  }
  bool writeBytes(std::string_view bytes, uint32_t& written) override {
    ++line_->systemCalls;
    if (line_->writeFails) {
      written = 0;
      return false;
    }
    line_->written.append(bytes);
    written = uint32_t(bytes.size());
    if (line_->onWrite) line_->onWrite(*line_, std::string(bytes));
    return true;
  }
  bool escapeCommFunction(platform::EscapeFunction f) override {
    ++line_->systemCalls;
    line_->escapes.push_back(f);
    return true;
  }

 private:
  std::shared_ptr<FakeLine> line_;
};

class FakeDevices final : public platform::SerialDevices {
 public:
  std::shared_ptr<FakeLine> add(int com) {
    auto line = std::make_shared<FakeLine>();
    lines[com] = line;
    return line;
  }
  std::unique_ptr<platform::SerialPort> open(int com) override {
    ++opens;
    const auto it = lines.find(com);
    if (it == lines.end() || !it->second->exists || it->second->open) return nullptr;
    return std::make_unique<FakePort>(it->second);
  }
  std::map<int, std::shared_ptr<FakeLine>> lines;
  int opens = 0;
};

// A window that keeps what the logic shows in it.
class FakeWindow final : public station::FenetreIo {
 public:
  std::string mode = "ASCII";
  std::string transceiver = "DRF1278DM";
  std::vector<std::string> infos;
  std::string reception;
  std::string emission;
  std::string editeur;
  std::string balise = "CQ de F4XYZ";
  bool tx = false;
  bool rx = true;
  int passeEmission = 0;
  int passeReception = 0;
  uint8_t session = 0;
  uint8_t modeAutex = 1;
  uint8_t emissionEnCours = 0;
  int supervisions = 0;
  int envoisMessage = 0;
  bool timer1 = true;
  bool principaleActive = true;  // no menu or dialog of the program over the main window
  uint8_t code252 = 10;
  int sauvegardes = 0;
  station::MenuPortsSerie menuPorts;
  station::MenuVitesses menuVitesses;
  std::vector<std::string> info2;
  std::vector<std::string> donnees;
  int champsLus = 0;
  int effacementsReception = 0;
  std::vector<std::string> pertes;
  std::string legende;
  int prononciations = 0;
  // Where the module window's lines go besides the records (a real module window, in its tests).
  std::function<void(const std::string&)> onInfo2;
  std::function<void(const std::string&)> onDonnees;
  std::function<void()> onChampsLus;

  std::string lastInfo() const { return infos.empty() ? std::string() : infos.back(); }

  std::string Mode_fonctionnement() override { return mode; }
  std::string Nom_transceiver() override { return transceiver; }
  bool Fenetre_principale_active() override { return principaleActive; }
  void Label_Info(const std::string& t) override { infos.push_back(t); }
  void Affiche_reception(const std::string& t) override {
    station::Ajoute_texte_memo(reception, t);
    station::Limite_memo(reception);
  }
  void Affiche_emission(const std::string& t) override {
    station::Ajoute_texte_memo(emission, t);
    station::Limite_memo(emission);
  }
  void Efface_memo_reception() override {
    reception.clear();
    ++effacementsReception;
  }
  void Affiche_editeur(const std::string& t) override { editeur = t; }
  std::string Texte_balise() override { return balise; }
  void Redonne_focus_editeur() override {}
  std::string Titre_fiche_principale() override { return "Station"; }
  void Legende_fenetre_principale(const std::string& c) override { legende = c; }
  void Prononciation_en_attente() override { ++prononciations; }
  bool Bouton_TX_enfonce() override { return tx; }
  bool Bouton_RX_enfonce() override { return rx; }
  void Enfonce_Bouton_TX() override {
    tx = true;
    rx = false;
  }
  void Enfonce_Bouton_RX() override {
    rx = true;
    tx = false;
  }
  void Passe_en_emission() override { ++passeEmission; }
  void Passe_en_reception() override { ++passeReception; }
  uint8_t SESSION_EN_COURS() override { return session; }
  uint8_t MODE_AUTEX() override { return modeAutex; }
  void Fixe_MODE_AUTEX(uint8_t v) override { modeAutex = v; }
  void Fixe_EMISSION_EN_COURS(uint8_t v) override { emissionEnCours = v; }
  void SUPERVISION_AUTEX() override { ++supervisions; }
  void Envoi_message_AUTEX() override { ++envoisMessage; }
  void Perte_liaison_radio(const std::string& info) override { pertes.push_back(info); }
  bool Timer1_actif() override { return timer1; }
  void Active_Timer1(bool a) override { timer1 = a; }
  uint8_t Code_port_image() override { return code252; }
  void Fixe_code_port_image(uint8_t c) override { code252 = c; }
  void Sauve_image_parametres() override { ++sauvegardes; }
  void Affiche_menu_ports(const station::MenuPortsSerie& m) override { menuPorts = m; }
  void Affiche_menu_vitesses(const station::MenuVitesses& m) override { menuVitesses = m; }
  void Info2(const std::string& t) override {
    info2.push_back(t);
    if (onInfo2) onInfo2(t);
  }
  void Label_Donnees(const std::string& t) override {
    donnees.push_back(t);
    if (onDonnees) onDonnees(t);
  }
  void Champs_transceiver_lus() override {
    ++champsLus;
    if (onChampsLus) onChampsLus();
  }
};

}  // namespace stationtest
