#include "station/forms/form43.h"

#include "station/forms/builder.h"

namespace forms {

TForm43::TForm43(gui::TComponent* AOwner) : gui::TForm(AOwner) {
  BeginLoading();
  SetName("Form43");
  SetCaption("Options pour la synth\xE8se vocale (prononciation du texte d\xE9" "cod\xE9)");
  SetBorderStyle(gui::TFormBorderStyle::bsSingle);
  SetBorderIcons(gui::biSystemMenu);
  SetBounds(0, 0, 624, 76);
  SetPosition(gui::TPosition::poMainFormCenter);
  Font().SetName("Tahoma");
  Font().SetHeight(-11);
  SetClientSize(616, 42);

  GroupBox_Synthese_vocale = build::Group(this, this, "GroupBox_Synthese_vocale", "Options pour la synth\xE8se vocale (prononciation du texte d\xE9" "cod\xE9)", 0, 0, 616, 42);
  Commutateur_Synthese_vocale = build::Speed<TColorSpeedBtn>(this, GroupBox_Synthese_vocale, "Commutateur_Synthese_vocale",
                                                             "Lancer", 6, 14, 62, 22, 1, false, true);
  Commutateur_Synthese_vocale->SetColor(0x80FF80);
  Commutateur_Synthese_vocale->SetHint("Pour lancer la synth\xE8se vocale (prononciation du texte d\xE9" "cod\xE9).");
  Label_voix = build::Label(this, GroupBox_Synthese_vocale, "Label_voix", "Voix:", 76, 18);
  cbVoices = build::Place<gui::TComboBox>(this, GroupBox_Synthese_vocale, "cbVoices", 106, 14, 168, 21);
  cbVoices->SetStyle(gui::TComboBoxStyle::csDropDownList);
  Label_Volume = build::Label(this, GroupBox_Synthese_vocale, "Label_Volume", "Volume:", 282, 18);
  TB_Volume = build::Place<gui::TTrackBar>(this, GroupBox_Synthese_vocale, "TB_Volume", 324, 13, 110, 24);
  TB_Volume->SetMax(100);
  TB_Volume->SetFrequency(5);
  TB_Volume->SetPosition(100);
  LB_Volume = build::Label(this, GroupBox_Synthese_vocale, "LB_Volume", "100", 436, 18, 22, 13);
  Label_Vitesse = build::Label(this, GroupBox_Synthese_vocale, "Label_Vitesse", "Vitesse:", 462, 18);
  TB_Vitesse = build::Place<gui::TTrackBar>(this, GroupBox_Synthese_vocale, "TB_Vitesse", 504, 13, 88, 24);
  TB_Vitesse->SetMin(-10);
  TB_Vitesse->SetMax(10);
  TB_Vitesse->SetFrequency(1);
  TB_Vitesse->SetPosition(0);
  LB_Vitesse = build::Label(this, GroupBox_Synthese_vocale, "LB_Vitesse", "0", 594, 18, 18, 13);

  OnActivate = [this](gui::TObject* s) { FormActivate(s); };
  cbVoices->OnChange = [this](gui::TObject* s) { cbVoicesChange(s); };
  TB_Volume->OnChange = [this](gui::TObject* s) { TB_VolumeChange(s); };
  TB_Vitesse->OnChange = [this](gui::TObject* s) { TB_VitesseChange(s); };
  Commutateur_Synthese_vocale->OnClick = [this](gui::TObject* s) { Commutateur_Synthese_vocaleClick(s); };
  EndLoading();
}

}  // namespace forms
