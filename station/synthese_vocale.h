#pragma once
// What the main window asks of the speech unit: preparing the voice once, the feed of received characters,
// and the retry of the 333 ms timer. The speech unit plugs in behind this interface (see Station::Fabriques);
// without one the station says nothing.
#include "station/parametres.h"

namespace station {

class SyntheseVocale {
 public:
  virtual ~SyntheseVocale() = default;
  // 1 once the voice has been prepared.
  virtual bool Synthese_initialisee() const { return true; }
  virtual void Lance_synthese_vocale() {}
  // One received character shown while speech is on.
  virtual void Prononce_texte(char c) { (void)c; }
  // The 333 ms timer's step: speaks the waiting words when the voice is idle.
  virtual void Relance_prononciation() {}
  // Prononciation_en_attente := 0 (speech switched on or off by the main window).
  virtual void Annule_prononciation_en_attente() {}
  // The speech settings of the parameter image (switch, voice, volume, rate): taken when the parameters are
  // applied, given back when they are gathered (the options window may have changed them).
  virtual void Applique_reglages(Reglages_station& reglages) { (void)reglages; }
  virtual void Rassemble_reglages(Reglages_station& reglages) { (void)reglages; }
};

}  // namespace station
