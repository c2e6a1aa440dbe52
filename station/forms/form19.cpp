#include "station/forms/form19.h"

#include "station/forms/builder.h"

namespace forms {

TForm19::TForm19(gui::TComponent* AOwner) : gui::TForm(AOwner) {
  BeginLoading();
  SetName("Form19");
  SetCaption("Contr\xF4le du transceiver");
  SetBorderStyle(gui::TFormBorderStyle::bsSingle);
  SetBorderIcons(gui::biSystemMenu);
  SetPosition(gui::TPosition::poMainFormCenter);
  Font().SetName("Tahoma");
  Font().SetHeight(-11);
  SetClientSize(420, 242);

  DRF1278DM = build::Group(this, this, "DRF1278DM", "DRF1278DM", 8, 6, 404, 228);
  GroupBox_Frequence = build::Group(this, DRF1278DM, "GroupBox_Frequence", "Fr\xE9quence HF", 10, 16, 186, 48);
  Frequence_MHz = build::Edit(this, GroupBox_Frequence, "Frequence_MHz", "434", 12, 18, 34, 21, 3);
  Label1 = build::Label(this, GroupBox_Frequence, "Label1", ".", 50, 22);
  Label1->Font().SetStyle(gui::fsBold);
  Frequence_HHz = build::Edit(this, GroupBox_Frequence, "Frequence_HHz", "0000", 58, 18, 44, 21, 4);
  MHz = build::Label(this, GroupBox_Frequence, "MHz", "MHz", 108, 22);
  GroupBox_Power = build::Group(this, DRF1278DM, "GroupBox_Power", "Puissance", 206, 16, 188, 48);
  Puissance = build::Place<gui::TUpDown>(this, GroupBox_Power, "Puissance", 12, 16, 17, 25);
  Puissance->SetMin(1);
  Puissance->SetMax(7);
  Puissance->SetPosition(3);
  Label_Puissance = build::Label(this, GroupBox_Power, "Label_Puissance", "10", 34, 22, 30, 13);
  Label_Puissance->SetAlignment(gui::TAlignment::taRightJustify);
  Label_Puissance->Font().SetStyle(gui::fsBold);
  mWatt = build::Label(this, GroupBox_Power, "mWatt", "mW", 68, 22);
  GroupBox_Node_ID = build::Group(this, DRF1278DM, "GroupBox_Node_ID", "Node ID", 10, 70, 186, 48);
  Edit_NODE_ID = build::Edit(this, GroupBox_Node_ID, "Edit_NODE_ID", "00000", 12, 18, 60, 21, 5);
  GroupBox_Net_ID = build::Group(this, DRF1278DM, "GroupBox_Net_ID", "Net ID", 206, 70, 188, 48);
  Edit_NET_ID = build::Edit(this, GroupBox_Net_ID, "Edit_NET_ID", "000", 12, 18, 44, 21, 3);
  LECTURE = build::Button<TClrBtn>(this, DRF1278DM, "LECTURE", "Lecture", 10, 126, 186, 28);
  LECTURE->SetColor(0xC0FFC0);
  ECRITURE = build::Button<TClrBtn>(this, DRF1278DM, "ECRITURE", "Ecriture", 206, 126, 188, 28);
  ECRITURE->SetColor(0xC0E0FF);
  // Two lines each: a refusal names its field and range, a missing answer its port, speed and what came.
  Info2 = build::Label(this, DRF1278DM, "Info2", "", 10, 160, 384, 28);
  Info2->Font().SetStyle(gui::fsBold);
  Info2->SetWordWrap(true);
  Label_Donnees = build::Label(this, DRF1278DM, "Label_Donnees", "", 10, 192, 384, 28);
  Label_Donnees->SetWordWrap(true);
  Timer1 = build::Timer(this, "Timer1", 100);

  OnActivate = [this](gui::TObject* s) { FormActivate(s); };
  OnClose = [this](gui::TObject* s, gui::TCloseAction& a) { FormClose(s, a); };
  LECTURE->OnClick = [this](gui::TObject* s) { LECTUREClick(s); };
  ECRITURE->OnClick = [this](gui::TObject* s) { ECRITUREClick(s); };
  Puissance->OnClick = [this](gui::TObject* s, gui::TUDBtnType b) { PuissanceClick(s, b); };
  Frequence_MHz->OnChange = [this](gui::TObject* s) { Frequence_MHzChange(s); };
  Frequence_HHz->OnChange = [this](gui::TObject* s) { Frequence_HHzChange(s); };
  Edit_NODE_ID->OnChange = [this](gui::TObject* s) { Edit_NODE_IDChange(s); };
  Edit_NET_ID->OnChange = [this](gui::TObject* s) { Edit_NET_IDChange(s); };
  Timer1->OnTimer = [this](gui::TObject* s) { Timer1Timer(s); };
  EndLoading();
}

}  // namespace forms
