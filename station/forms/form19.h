#pragma once
// The radio module set-up window: unit CONTROLE_TRANSCEIVER, class TForm19, instance Form19, caption
// "Controle du transceiver" (with its accent) at design time. In the group box DRF1278DM: the RF frequency (Frequence_MHz, at most
// 3 characters, "." and Frequence_HHz, at most 4), the power (up-down Puissance 1..7, start 3, shown in mW by
// Label_Puissance), the Node ID (Edit_NODE_ID, 5 characters) and the Net ID (Edit_NET_ID, 3 characters), the
// coloured buttons LECTURE and ECRITURE, the status line Info2 and the data line Label_Donnees; Timer1 (100 ms,
// running from the start). Handlers as described in forms_common.h.
#include "station/forms/clrbtn.h"
#include "station/forms/forms_common.h"

namespace forms {

class TForm19 : public gui::TForm {
 public:
  explicit TForm19(gui::TComponent* AOwner);
  GUI_CLASS_NAME("TForm19")

  gui::TGroupBox* DRF1278DM = nullptr;
  gui::TGroupBox* GroupBox_Frequence = nullptr;
  gui::TEdit* Frequence_MHz = nullptr;
  gui::TLabel* Label1 = nullptr;
  gui::TEdit* Frequence_HHz = nullptr;
  gui::TLabel* MHz = nullptr;
  gui::TGroupBox* GroupBox_Power = nullptr;
  gui::TUpDown* Puissance = nullptr;
  gui::TLabel* Label_Puissance = nullptr;
  gui::TLabel* mWatt = nullptr;
  gui::TGroupBox* GroupBox_Node_ID = nullptr;
  gui::TEdit* Edit_NODE_ID = nullptr;
  gui::TGroupBox* GroupBox_Net_ID = nullptr;
  gui::TEdit* Edit_NET_ID = nullptr;
  TClrBtn* LECTURE = nullptr;
  TClrBtn* ECRITURE = nullptr;
  gui::TLabel* Info2 = nullptr;
  gui::TLabel* Label_Donnees = nullptr;
  gui::TTimer* Timer1 = nullptr;

  virtual void FormActivate(gui::TObject* Sender) {}
  virtual void FormClose(gui::TObject* Sender, gui::TCloseAction& Action) {}
  virtual void LECTUREClick(gui::TObject* Sender) {}
  virtual void ECRITUREClick(gui::TObject* Sender) {}
  virtual void PuissanceClick(gui::TObject* Sender, gui::TUDBtnType Button) {}
  virtual void Frequence_MHzChange(gui::TObject* Sender) {}
  virtual void Frequence_HHzChange(gui::TObject* Sender) {}
  virtual void Edit_NODE_IDChange(gui::TObject* Sender) {}
  virtual void Edit_NET_IDChange(gui::TObject* Sender) {}
  virtual void Timer1Timer(gui::TObject* Sender) {}
};

}  // namespace forms
