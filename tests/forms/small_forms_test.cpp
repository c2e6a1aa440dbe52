// The six smaller windows' definitions and the program's creation order, headless.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "station/forms/creation.h"
#include "tests/support/gui_input.h"

using namespace gui;
using testsupport::Owned;

namespace {

TEST(SmallForms, MessageDialog) {
  Owned<forms::TForm36> f(new forms::TForm36(nullptr));
  EXPECT_STREQ(f->ClassName(), "TForm36");
  EXPECT_EQ(f->ClientWidth(), 418);
  EXPECT_EQ(f->ClientHeight(), 103);
  EXPECT_EQ(f->BorderStyle(), TFormBorderStyle::bsSingle);
  EXPECT_EQ(f->BorderIcons(), biSystemMenu);
  EXPECT_EQ(f->FormStyle(), TFormStyle::fsStayOnTop);
  EXPECT_EQ(f->Color(), clSkyBlue);
  EXPECT_EQ(f->Caption(), "");
  EXPECT_EQ(f->Memo1->BoundsRect(), Bounds(0, 0, 417, 86));
  EXPECT_EQ(f->Memo1->ScrollBars(), TScrollStyle::ssVertical);
  EXPECT_EQ(f->Memo1->Font().Name(), "Arial");
  EXPECT_TRUE(f->Memo1->Font().Style() & fsBold);
  EXPECT_EQ(f->OK->BoundsRect(), Bounds(0, 86, 417, 17));
  EXPECT_EQ(f->OK->Caption(), "OK");
  EXPECT_TRUE(f->OK->Font().Style() & fsBold);
}

TEST(SmallForms, YesNoQuestion) {
  Owned<forms::TForm20> f(new forms::TForm20(nullptr));
  EXPECT_EQ(f->Caption(), "Confirmation");
  EXPECT_EQ(f->ClientWidth(), 450);
  EXPECT_EQ(f->ClientHeight(), 123);
  EXPECT_EQ(f->FormStyle(), TFormStyle::fsStayOnTop);
  EXPECT_EQ(f->Label1->Alignment(), TAlignment::taCenter);
  EXPECT_EQ(f->Label1->Width(), 450);
  EXPECT_TRUE(f->Label1->Font().Style() & fsBold);
  EXPECT_FALSE(f->PLUS_DE_DEMANDE->Visible());
  EXPECT_GT(f->PLUS_DE_DEMANDE->Top(), f->Label1->Top());
  for (TButton* b : {f->OUI, f->NON}) {
    EXPECT_EQ(b->Width(), 209);
    EXPECT_EQ(b->Height(), 33);
    EXPECT_TRUE(b->Font().Style() & fsBold);
  }
  EXPECT_LT(f->OUI->Left(), f->NON->Left());
}

TEST(SmallForms, HistoryAndAbout) {
  Owned<forms::TForm3> h(new forms::TForm3(nullptr));
  EXPECT_EQ(h->ClientWidth(), 615);
  EXPECT_EQ(h->ClientHeight(), 215);
  EXPECT_EQ(h->Memo1->Align(), TAlign::alClient);
  EXPECT_EQ(h->Memo1->BoundsRect(), Bounds(0, 0, 615, 215));
  const std::string text = h->Memo1->Text();
  EXPECT_EQ(text.rfind("Version ", 0), 0u);
  // Every line after a version's title line is a change, "* " and the French wording in brackets.
  for (int i = 1; i < h->Memo1->Lines().Count(); ++i) {
    const std::string line = h->Memo1->Lines()[i];
    if (line.empty() || line.rfind("Version ", 0) == 0) continue;
    EXPECT_EQ(line.rfind("* ", 0), 0u) << line;
    EXPECT_EQ(line.back(), ')') << line;
  }
  Owned<forms::TForm2> a(new forms::TForm2(nullptr));
  EXPECT_EQ(a->Caption(), "About");
  EXPECT_EQ(a->BorderStyle(), TFormBorderStyle::bsDialog);
  EXPECT_EQ(a->Position(), TPosition::poScreenCenter);
  EXPECT_EQ(a->ClientWidth(), 631);
  EXPECT_EQ(a->ClientHeight(), 112);
  EXPECT_EQ(a->Panel1->BevelOuter(), TBevelCut::bvLowered);
  EXPECT_EQ(a->Nom_du_produit->Parent(), a->Panel1);
  EXPECT_EQ(a->Auteur->Parent(), a->Panel1);
  EXPECT_LT(a->Nom_du_produit->Top(), a->Auteur->Top());
}

TEST(SmallForms, SpeechOptions) {
  Owned<forms::TForm43> f(new forms::TForm43(nullptr));
  EXPECT_EQ(f->GroupBox_Synthese_vocale->BoundsRect(), Bounds(0, 0, 616, 42));
  EXPECT_EQ(f->ClientWidth(), 616);
  EXPECT_EQ(f->ClientHeight(), 42);
  EXPECT_STREQ(f->Commutateur_Synthese_vocale->ClassName(), "TColorSpeedBtn");
  f->Commutateur_Synthese_vocale->SetDown(true);
  EXPECT_TRUE(f->Commutateur_Synthese_vocale->Down());
  f->Commutateur_Synthese_vocale->SetDown(false);
  EXPECT_FALSE(f->Commutateur_Synthese_vocale->Down());
  EXPECT_EQ(f->TB_Volume->Min(), 0);
  EXPECT_EQ(f->TB_Volume->Max(), 100);
  EXPECT_EQ(f->TB_Volume->Frequency(), 5);
  EXPECT_EQ(f->TB_Vitesse->Min(), -10);
  EXPECT_EQ(f->TB_Vitesse->Max(), 10);
  EXPECT_EQ(f->TB_Vitesse->Frequency(), 1);
  EXPECT_EQ(f->cbVoices->Style(), TComboBoxStyle::csDropDownList);
  struct Recording : forms::TForm43 {
    explicit Recording(TComponent* o) : forms::TForm43(o) {}
    std::vector<std::string> calls;
    void cbVoicesChange(TObject*) override { calls.push_back("cbVoicesChange"); }
    void TB_VolumeChange(TObject*) override { calls.push_back("TB_VolumeChange"); }
    void TB_VitesseChange(TObject*) override { calls.push_back("TB_VitesseChange"); }
    void Commutateur_Synthese_vocaleClick(TObject*) override { calls.push_back("Commutateur_Synthese_vocaleClick"); }
    void FormActivate(TObject*) override { calls.push_back("FormActivate"); }
  };
  Owned<Recording> r(new Recording(nullptr));
  r->TB_Volume->SetPosition(40);
  r->TB_Vitesse->SetPosition(-3);
  r->cbVoices->Items().Add("Voice");
  r->cbVoices->SetItemIndex(0);
  r->cbVoices->Perform(CN_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), 0);
  testsupport::UserClick(*r->Commutateur_Synthese_vocale);
  r->OnActivate(r.p);
  const std::vector<std::string> expected = {"TB_VolumeChange", "TB_VitesseChange", "cbVoicesChange",
                                             "Commutateur_Synthese_vocaleClick", "FormActivate"};
  EXPECT_EQ(r->calls, expected);
  EXPECT_TRUE(r->Commutateur_Synthese_vocale->Down());
}

TEST(SmallForms, RadioModuleWindow) {
  struct Recording : forms::TForm19 {
    explicit Recording(TComponent* o) : forms::TForm19(o) {}
    std::vector<std::string> calls;
    void FormActivate(TObject*) override { calls.push_back("FormActivate"); }
    void FormClose(TObject*, TCloseAction&) override { calls.push_back("FormClose"); }
    void LECTUREClick(TObject*) override { calls.push_back("LECTUREClick"); }
    void ECRITUREClick(TObject*) override { calls.push_back("ECRITUREClick"); }
    void PuissanceClick(TObject*, TUDBtnType) override { calls.push_back("PuissanceClick"); }
    void Frequence_MHzChange(TObject*) override { calls.push_back("Frequence_MHzChange"); }
    void Frequence_HHzChange(TObject*) override { calls.push_back("Frequence_HHzChange"); }
    void Edit_NODE_IDChange(TObject*) override { calls.push_back("Edit_NODE_IDChange"); }
    void Edit_NET_IDChange(TObject*) override { calls.push_back("Edit_NET_IDChange"); }
    void Timer1Timer(TObject*) override { calls.push_back("Timer1Timer"); }
  };
  Owned<Recording> f(new Recording(nullptr));
  EXPECT_TRUE(f->calls.empty());  // setting the initial texts while loading calls nothing of the station
  EXPECT_EQ(f->Timer1->Interval(), 100u);
  EXPECT_TRUE(f->Timer1->Enabled());
  EXPECT_EQ(f->Frequence_MHz->MaxLength(), 3);
  EXPECT_EQ(f->Frequence_HHz->MaxLength(), 4);
  EXPECT_EQ(f->Edit_NODE_ID->MaxLength(), 5);
  EXPECT_EQ(f->Edit_NET_ID->MaxLength(), 3);
  EXPECT_EQ(f->Frequence_MHz->Text(), "434");
  EXPECT_EQ(f->Frequence_HHz->Text(), "0000");
  EXPECT_EQ(f->Edit_NODE_ID->Text(), "00000");
  EXPECT_EQ(f->Edit_NET_ID->Text(), "000");
  EXPECT_EQ(f->Puissance->Min(), 1);
  EXPECT_EQ(f->Puissance->Max(), 7);
  EXPECT_EQ(f->Puissance->Position(), 3);
  EXPECT_EQ(f->Label_Puissance->Caption(), "10");
  EXPECT_STREQ(f->LECTURE->ClassName(), "TClrBtn");
  EXPECT_STREQ(f->ECRITURE->ClassName(), "TClrBtn");
  EXPECT_EQ(f->LECTURE->Caption(), "Lecture");
  EXPECT_EQ(f->ECRITURE->Caption(), "Ecriture");
  EXPECT_EQ(f->GroupBox_Frequence->Parent(), f->DRF1278DM);
  EXPECT_EQ(f->GroupBox_Frequence->Caption(), "Fr\xE9quence HF");
  EXPECT_EQ(f->GroupBox_Power->Caption(), "Puissance");
  EXPECT_EQ(f->Caption(), "Contr\xF4le du transceiver");
  testsupport::UserClick(*f->LECTURE);
  testsupport::UserClick(*f->ECRITURE);
  f->Puissance->Click(TUDBtnType::btNext);
  f->Frequence_MHz->SelectAll();
  testsupport::TypeChar(*f->Frequence_MHz, '5');
  testsupport::TypeChar(*f->Frequence_HHz, '5');  // full: refused, nothing changes
  f->Frequence_HHz->SelectAll();
  testsupport::TypeChar(*f->Frequence_HHz, '5');
  f->Edit_NODE_ID->SetText("1");
  f->Edit_NET_ID->SetText("2");
  f->Timer1->Timer();
  f->OnActivate(f.p);
  TCloseAction a = TCloseAction::caHide;
  f->OnClose(f.p, a);
  const std::vector<std::string> expected = {"LECTUREClick",       "ECRITUREClick",      "PuissanceClick",
                                             "Frequence_MHzChange", "Frequence_HHzChange", "Edit_NODE_IDChange",
                                             "Edit_NET_IDChange",  "Timer1Timer",        "FormActivate",
                                             "FormClose"};
  EXPECT_EQ(f->calls, expected);
  EXPECT_EQ(f->Puissance->Position(), 4);
}

TEST(Creation, TheSevenFormsComeInTheProgramsOrder) {
  const int before = Screen->FormCount();
  forms::TStationForms f = forms::CreateForms(*Application);
  ASSERT_EQ(Screen->FormCount(), before + 7);
  const std::vector<std::string> expected = {"TForm1", "TForm2", "TForm20", "TForm36", "TForm3", "TForm43", "TForm19"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(Screen->Forms(before + i)->ClassName(), expected[static_cast<size_t>(i)]);
  EXPECT_EQ(Application->MainForm(), f.Form1);
  EXPECT_EQ(f.Form19->Owner(), Application);
  for (TCustomForm* form : {static_cast<TCustomForm*>(f.Form19), static_cast<TCustomForm*>(f.Form43),
                            static_cast<TCustomForm*>(f.Form3), static_cast<TCustomForm*>(f.Form36),
                            static_cast<TCustomForm*>(f.Form20), static_cast<TCustomForm*>(f.Form2),
                            static_cast<TCustomForm*>(f.Form1)})
    Free(form);
  EXPECT_EQ(Application->MainForm(), nullptr);
  EXPECT_EQ(Screen->FormCount(), before);
}

}  // namespace
