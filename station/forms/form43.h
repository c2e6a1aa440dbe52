#pragma once
// The speech options window: unit OPTIONS_KESTRADO, class TForm43, instance Form43. The group box
// GroupBox_Synthese_vocale (616 x 42 at 0, 0, captioned like the window) holds the switch
// Commutateur_Synthese_vocale (a toggle that stays down while speech is on), the voice list cbVoices (each item
// keeps its voice object), the volume track bar TB_Volume (0..100, ticks every 5) with LB_Volume, and the rate
// track bar TB_Vitesse (-10..+10, ticks every 1) with LB_Vitesse. The speech object (SpVoice1) belongs to the
// station's speech unit. Handlers as described in forms_common.h.
#include "station/forms/clrspbtn.h"
#include "station/forms/forms_common.h"

namespace forms {

class TForm43 : public gui::TForm {
 public:
  explicit TForm43(gui::TComponent* AOwner);
  GUI_CLASS_NAME("TForm43")

  gui::TGroupBox* GroupBox_Synthese_vocale = nullptr;
  TColorSpeedBtn* Commutateur_Synthese_vocale = nullptr;
  gui::TLabel* Label_voix = nullptr;
  gui::TComboBox* cbVoices = nullptr;
  gui::TLabel* Label_Volume = nullptr;
  gui::TTrackBar* TB_Volume = nullptr;
  gui::TLabel* LB_Volume = nullptr;
  gui::TLabel* Label_Vitesse = nullptr;
  gui::TTrackBar* TB_Vitesse = nullptr;
  gui::TLabel* LB_Vitesse = nullptr;

  virtual void FormActivate(gui::TObject* Sender) {}
  virtual void cbVoicesChange(gui::TObject* Sender) {}
  virtual void TB_VolumeChange(gui::TObject* Sender) {}
  virtual void TB_VitesseChange(gui::TObject* Sender) {}
  virtual void Commutateur_Synthese_vocaleClick(gui::TObject* Sender) {}
};

}  // namespace forms
