#pragma once
// What the main window asks of the AUTEX side of the station: the session state that the window reads and
// writes (reception or transmission, session in progress, speed, participants), the AUTEX settings that the
// parameter image carries, and the entry points that the window's timers, modes, activation and language
// switch call.
//
// The AUTEX protocol object plugs in behind this interface (see Station::Fabriques). Until one is plugged,
// the station runs with `AutexAbsent`: it keeps the session state that ASCII mode uses and the AUTEX
// settings of the parameter image, holds no link, and its protocol entry points do nothing.
#include <cstdint>

#include "station/parametres.h"

namespace station {

class CoteAutex {
 public:
  virtual ~CoteAutex() = default;

  // Session state. MODE_AUTEX is 1 while the station receives and 0 while a transmission is written;
  // EMISSION_EN_COURS is 1 while it transmits (ASCII mode uses both the same way).
  virtual uint8_t MODE_AUTEX() const = 0;
  virtual void Fixe_MODE_AUTEX(uint8_t valeur) = 0;
  virtual uint8_t EMISSION_EN_COURS() const = 0;
  virtual void Fixe_EMISSION_EN_COURS(uint8_t valeur) = 0;
  virtual uint8_t SESSION_EN_COURS() const = 0;
  // A link or meeting is held, or a call or connection attempt is running: the main window's activation
  // then leaves the AUTEX side and the send queue as they are.
  virtual bool Session_ou_tentative_en_cours() const = 0;
  virtual uint16_t Vitesse_AUTEX() const = 0;  // 1200, 400 or 171
  virtual void Fixe_Vitesse_AUTEX(uint16_t vitesse) = 0;
  virtual uint8_t NOMBRE_PARTICIPANTS() const = 0;  // 2, 4, 7 or 13

  // The AUTEX settings of the parameter image (participant count, panel height steps, three-column switches;
  // the AUTEX speed is only given back): taken when the image is applied, given back when it is gathered.
  // The send-on-CR and compression switches belong to the main window's sending side.
  virtual void Applique_reglages(const Reglages_station& reglages) = 0;
  virtual void Rassemble_reglages(Reglages_station& reglages) const = 0;

  // Entry points.
  virtual void GESTION_PRELIMINAIRE_AUTEX() = 0;
  virtual void REINIT_EMISSION() = 0;
  virtual void INITIALISATION_PARAMETRES_RX_AUTEX() = 0;
  virtual void SUPERVISION_AUTEX() = 0;       // every tick of the receive pump in AUTEX mode
  virtual void Envoi_message_AUTEX() = 0;     // the typed message, framed for the transmit side
  // Entering the AUTEX layout: PREMIERE_ACTIVATION := 1, then ACTIVATION_AUTEX.
  virtual void Activation_mise_en_page() = 0;
  // The stored height step (20 pixels) of the participant panels for the current participant count.
  virtual uint8_t Pas_hauteur_courant() const = 0;
  virtual void Fixe_HAUTEUR_PANNEAU(uint16_t hauteur) = 0;
  virtual void DISPOSITION_PANNEAUX_AUTEX() = 0;
  virtual uint8_t NOMBRE_COLONNES() const = 0;  // 2 or 3, as the last layout chose
  virtual void TEXTES_FENETRE_AUTEX() = 0;
};

// The AUTEX side when no protocol is plugged in.
class AutexAbsent : public CoteAutex {
 public:
  uint8_t MODE_AUTEX() const override { return mode_autex_; }
  void Fixe_MODE_AUTEX(uint8_t v) override { mode_autex_ = v; }
  uint8_t EMISSION_EN_COURS() const override { return emission_en_cours_; }
  void Fixe_EMISSION_EN_COURS(uint8_t v) override { emission_en_cours_ = v; }
  uint8_t SESSION_EN_COURS() const override { return 0; }
  bool Session_ou_tentative_en_cours() const override { return false; }
  uint16_t Vitesse_AUTEX() const override { return vitesse_; }
  void Fixe_Vitesse_AUTEX(uint16_t v) override { vitesse_ = v; }
  uint8_t NOMBRE_PARTICIPANTS() const override { return reglages_.NOMBRE_PARTICIPANTS; }

  void Applique_reglages(const Reglages_station& r) override { reglages_ = r; }
  void Rassemble_reglages(Reglages_station& r) const override {
    r.Vitesse_AUTEX = vitesse_;
    r.NOMBRE_PARTICIPANTS = reglages_.NOMBRE_PARTICIPANTS;
    r.PAS_HAUTEUR_2 = reglages_.PAS_HAUTEUR_2;
    r.PAS_HAUTEUR_4 = reglages_.PAS_HAUTEUR_4;
    r.PAS_HAUTEUR_7 = reglages_.PAS_HAUTEUR_7;
    r.PAS_HAUTEUR_13 = reglages_.PAS_HAUTEUR_13;
    r.TROIS_COLONNES_7 = reglages_.TROIS_COLONNES_7;
    r.TROIS_COLONNES_13 = reglages_.TROIS_COLONNES_13;
  }

  void GESTION_PRELIMINAIRE_AUTEX() override {}
  void REINIT_EMISSION() override {}
  void INITIALISATION_PARAMETRES_RX_AUTEX() override {}
  void SUPERVISION_AUTEX() override {}
  void Envoi_message_AUTEX() override {}
  void Activation_mise_en_page() override {}
  uint8_t Pas_hauteur_courant() const override {
    switch (reglages_.NOMBRE_PARTICIPANTS) {
      case 4: return reglages_.PAS_HAUTEUR_4;
      case 7: return reglages_.PAS_HAUTEUR_7;
      case 13: return reglages_.PAS_HAUTEUR_13;
      default: return reglages_.PAS_HAUTEUR_2;
    }
  }
  void Fixe_HAUTEUR_PANNEAU(uint16_t) override {}
  void DISPOSITION_PANNEAUX_AUTEX() override {}
  uint8_t NOMBRE_COLONNES() const override { return 2; }
  void TEXTES_FENETRE_AUTEX() override {}

 private:
  uint8_t mode_autex_ = 1;
  uint8_t emission_en_cours_ = 0;
  uint16_t vitesse_ = 1200;
  Reglages_station reglages_;
};

}  // namespace station
