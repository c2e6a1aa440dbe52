// The main window's definition: its components, stored properties and event bindings, headless.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "station/forms/form1.h"
#include "tests/support/gui_input.h"

using namespace gui;
using forms::TForm1;
using testsupport::Owned;
using testsupport::UserClick;

namespace {

// Every handler the main window binds, by the names of the station's units.
#define FORM1_NOTIFY_HANDLERS(X)                                                                                   \
  X(A_la_creation_de_la_fiche) X(FormActivate) X(QuitClick) X(Timer1Timer) X(Timer2Timer) X(Timer3Timer)          \
  X(Aucun_port_serie_GPSClick) X(_1200Click) X(_9600Click) X(ASCIIClick) X(AUTEXClick) X(Bouton_TXClick)          \
  X(Bouton_RXClick) X(Clear_RX_textClick) X(Clear_TX_text1Click) X(Clear_TX_text2Click) X(Demarrage_BaliseClick)  \
  X(LANCEMENT_REUNIONClick) X(FIN_REUNIONClick) X(AUCUN_CQ_S2Click) X(DIVERSChange) X(Hauteur_du_Panel_AutexUpClick) \
  X(Hauteur_du_Panel_AutexDownClick) X(Sur_3_colonnes_AUTEXClick) X(Efface_toutes_les_fenetres_M_et_SxClick)      \
  X(Sauve_toutes_les_fenetres_M_et_SxClick) X(Vitesse_haute_AUTEXClick) X(Vitesse_moyenne_AUTEXClick)             \
  X(Vitesse_basse_AUTEXClick) X(Vitesse_haute_ASCIIClick) X(Vitesse_moyenne_ASCIIClick) X(Vitesse_basse_ASCIIClick) \
  X(DRF1278DMClick) X(Autre_transceiverClick) X(DRF1278DM2Click) X(Commutateur_Synthese_vocaleClick)              \
  X(Options_pour_synthese_vocaleClick) X(ENVOI_MESSAGE_ARQClick) X(Sequence1Click) X(Sequence2Click)              \
  X(Fichier_TX_AUTEXClick) X(TRANSMISSION_FICHIER_AUTEXClick) X(ARRET_TRANSMISSION_AUTEXClick)                    \
  X(Ouverture_du_fichier_AUTEXClick) X(Rapport_SMSClick) X(Clear_fenetre_SMSClick) X(Options_AUTEXClick)           \
  X(Envoi_texte_sur_CRClick) X(Compression_du_fichier_transmisClick) X(RapportClick) X(sauvegarde_de_l_ecranClick) \
  X(Peau_nonClick) X(Peau_SpringClick) X(Peau_LuckyClick) X(Peau_MacMetalClick) X(Peau_OpusClick)                 \
  X(Peau_TopazClick) X(AproposdeClick) X(ModificationsClick) X(HelpClick) X(PARAMETRES_STANDARDClick)             \
  X(Sauve_parametresClick) X(Charge_parametresClick) X(English1Click) X(Francais1Click)

// Records every handler call; the numbered families are recorded through their per-number methods.
class RecordingForm1 : public TForm1 {
 public:
  explicit RecordingForm1(TComponent* owner) : TForm1(owner) {}
  std::vector<std::string> calls;
#define RECORD(name) \
  void name(TObject*) override { calls.push_back(#name); }
  FORM1_NOTIFY_HANDLERS(RECORD)
#undef RECORD
  void Memo_editeurKeyPress(TObject*, char& key) override {
    calls.push_back("Memo_editeurKeyPress");
    if (key == '!') key = 0;
  }
  void PauseClick(TObject*, TUDBtnType) override { calls.push_back("PauseClick"); }
  void COM_GPSClick(TObject*, int n) override { calls.push_back("COM" + std::to_string(n) + "_GPSClick"); }
  void ENTRER_DANS_LA_REUNIONClick(TObject*, int slot) override {
    calls.push_back("ENTRER_DANS_LA_REUNION_S" + std::to_string(slot) + "Click");
  }
  void SORTIR_DE_LA_REUNIONClick(TObject*, int slot) override {
    calls.push_back("SORTIR_DE_LA_REUNION_S" + std::to_string(slot) + "Click");
  }
};

std::set<std::string> AllHandlerNames() {
  std::set<std::string> names = {
#define NAME(n) #n,
      FORM1_NOTIFY_HANDLERS(NAME)
#undef NAME
  };
  names.insert("Memo_editeurKeyPress");
  names.insert("PauseClick");
  for (int n = 1; n <= 40; ++n) names.insert("COM" + std::to_string(n) + "_GPSClick");
  for (int s = 1; s <= 12; ++s) {
    names.insert("ENTRER_DANS_LA_REUNION_S" + std::to_string(s) + "Click");
    names.insert("SORTIR_DE_LA_REUNION_S" + std::to_string(s) + "Click");
  }
  return names;
}

// Fires the events a component has bound, as its user would, and returns what was recorded.
std::vector<std::string> Fire(RecordingForm1& f, TComponent* c) {
  f.calls.clear();
  if (auto* item = dynamic_cast<TMenuItem*>(c)) {
    if (item->OnClick) item->Click();
  } else if (auto* t = dynamic_cast<TTimer*>(c)) {
    if (t->OnTimer) t->Timer();
  } else if (auto* ud = dynamic_cast<TUpDown*>(c)) {
    if (ud->OnClick) {
      ud->Click(TUDBtnType::btNext);
      ud->Click(TUDBtnType::btPrev);
    }
  } else if (auto* e = dynamic_cast<TCustomEdit*>(c)) {
    if (e->OnChange) e->SetText(e->Text() + "x");
    if (e->OnKeyPress) testsupport::TypeChar(*e, 'a');
  } else if (auto* ctl = dynamic_cast<TControl*>(c)) {
    if (ctl->OnClick) ctl->OnClick(ctl);
  }
  return f.calls;
}

TEST(Form1, EveryHandlerOfTheWindowIsBoundToItsComponent) {
  Owned<RecordingForm1> f(new RecordingForm1(nullptr));
  f->AfterConstruction();
  f->OnActivate(f.p);
  std::set<std::string> seen(f->calls.begin(), f->calls.end());
  // Handlers whose name is not the component's name followed by the event.
  const std::map<std::string, std::vector<std::string>> special = {
      {"A_propos_de", {"AproposdeClick"}},
      {"SpeedButton2", {"Sur_3_colonnes_AUTEXClick"}},
      {"Hauteur_du_Panel_Autex", {"Hauteur_du_Panel_AutexUpClick", "Hauteur_du_Panel_AutexDownClick"}},
      {"Pause", {"PauseClick", "PauseClick"}},
      {"DIVERS", {"DIVERSChange"}},
      {"Memo_editeur", {"Memo_editeurKeyPress"}},
  };
  for (int i = 0; i < f->ComponentCount(); ++i) {
    TComponent* c = f->Components(i);
    const std::vector<std::string> calls = Fire(*f, c);
    seen.insert(calls.begin(), calls.end());
    if (calls.empty()) continue;
    auto it = special.find(c->Name());
    if (it != special.end()) {
      EXPECT_EQ(calls, it->second) << c->Name();
    } else {
      const std::string event = dynamic_cast<TTimer*>(c) ? "Timer" : "Click";
      EXPECT_EQ(calls, std::vector<std::string>{c->Name() + event}) << c->Name();
    }
  }
  EXPECT_EQ(seen, AllHandlerNames());
}

TEST(Form1, CreationRunsTheDerivedHandlerOnceAfterConstruction) {
  Owned<RecordingForm1> f(new RecordingForm1(nullptr));
  EXPECT_TRUE(f->calls.empty());  // nothing during construction
  f->AfterConstruction();
  f->AfterConstruction();
  EXPECT_EQ(f->calls, std::vector<std::string>{"A_la_creation_de_la_fiche"});
}

TEST(Form1, NumberedHandlersPassTheirNumberOn) {
  struct Numbered : TForm1 {
    explicit Numbered(TComponent* o) : TForm1(o) {}
    std::vector<int> ports, enters, leaves;
    void COM_GPSClick(TObject*, int n) override { ports.push_back(n); }
    void ENTRER_DANS_LA_REUNIONClick(TObject*, int s) override { enters.push_back(s); }
    void SORTIR_DE_LA_REUNIONClick(TObject*, int s) override { leaves.push_back(s); }
  };
  Owned<Numbered> f(new Numbered(nullptr));
  f->COM9_GPS->Click();
  f->COM40_GPS->Click();
  UserClick(*f->ENTRER_DANS_LA_REUNION_S7);  // disabled at design time: the user cannot press it
  f->ENTRER_DANS_LA_REUNION_S7->SetEnabled(true);
  UserClick(*f->ENTRER_DANS_LA_REUNION_S7);
  f->SORTIR_DE_LA_REUNION_S12->OnClick(f->SORTIR_DE_LA_REUNION_S12);
  EXPECT_EQ(f->ports, (std::vector<int>{9, 40}));
  EXPECT_EQ(f->enters, std::vector<int>{7});
  EXPECT_EQ(f->leaves, std::vector<int>{12});
}

TEST(Form1, TheEditorsKeyHandlerMaySwallowAKey) {
  Owned<RecordingForm1> f(new RecordingForm1(nullptr));
  testsupport::TypeText(*f->Memo_editeur, "a!b");
  EXPECT_EQ(f->Memo_editeur->Text(), "ab");
}

TEST(Form1, TimersHaveTheirIntervalsAndRunFromTheStart) {
  Owned<TForm1> f(new TForm1(nullptr));
  EXPECT_EQ(f->Timer1->Interval(), 1u);
  EXPECT_EQ(f->Timer2->Interval(), 333u);
  EXPECT_EQ(f->Timer3->Interval(), 2000u);
  for (TTimer* t : {f->Timer1, f->Timer2, f->Timer3}) {
    EXPECT_TRUE(t->Enabled());
    EXPECT_FALSE(t->IsLoading());
    EXPECT_EQ(t->Owner(), f.p);
  }
}

TEST(Form1, ComponentsCarryTheirNamesAndKinds) {
  Owned<TForm1> f(new TForm1(nullptr));
  EXPECT_STREQ(f->ClassName(), "TForm1");
  EXPECT_EQ(f->Name(), "Form1");
  const std::map<std::string, std::string> kinds = {
      {"Memo_editeur", "TMemo"},          {"Memo_Reception_memo", "TMemo"},      {"Memo_emission", "TMemo"},
      {"RichEdit_SMS", "TRichEdit"},      {"Etat_liaison", "TLabel"},            {"Label_Info_AUTEX", "TLabel"},
      {"Label_Info", "TLabel"},           {"LANCEMENT_REUNION", "TSpeedButton"}, {"FIN_REUNION", "TSpeedButton"},
      {"ENVOI_MESSAGE_ARQ", "TButton"},   {"Texte_balise", "TEdit"},             {"Edit_INDICATIF", "TEdit"},
      {"DIVERS", "TEdit"},                {"Pause", "TUpDown"},                  {"Hauteur_du_Panel_Autex", "TUpDown"},
      {"Panel_AUTEX", "TPanel"},          {"Panel_AUTEX_SMS", "TPanel"},         {"Panel_Entete", "TPanel"},
      {"GroupBox_Parameters", "TGroupBox"}, {"Envoi_texte_sur_CR", "TCheckBox"}, {"Timer1", "TTimer"},
      {"MainMenu1", "TMainMenu"},         {"COM40_GPS", "TMenuItem"},            {"OpenDialog1", "TOpenDialog"},
      {"SaveDialog1", "TSaveDialog"},     {"FontDialog1", "TFontDialog"},        {"ApplicationEvents1", "TApplicationEvents"},
      {"Bouton_TX", "TSpeedButton"},      {"Demarrage_Balise", "TSpeedButton"},  {"Peau_Topaz", "TSpeedButton"},
      {"Panel_Etat_utilisateurs", "TPanel"}, {"Indique_TX_AUTEX", "TPanel"},     {"Panel_AUTEX2", "TPanel"},
  };
  for (const auto& [name, kind] : kinds) {
    TComponent* c = f->FindComponent(name);
    ASSERT_NE(c, nullptr) << name;
    EXPECT_EQ(c->ClassName(), kind) << name;
  }
  // Every component has a name of its own.
  std::set<std::string> names;
  for (int i = 0; i < f->ComponentCount(); ++i) {
    const std::string n = f->Components(i)->Name();
    EXPECT_FALSE(n.empty());
    EXPECT_TRUE(names.insert(n).second) << n;
  }
  EXPECT_EQ(f->sSkinManager1, nullptr);
  EXPECT_EQ(f->sSkinProvider1, nullptr);
}

TEST(Form1, ParticipantPanelsExistForMasterAndTwelveSlots) {
  Owned<TForm1> f(new TForm1(nullptr));
  for (int k = 0; k <= 12; ++k) {
    const std::string s = k == 0 ? "" : std::to_string(k);
    TPanel* panel = f->Panel_participant(k);
    ASSERT_NE(panel, nullptr) << k;
    EXPECT_EQ(panel->Name(), k == 0 ? "Panel_Master" : "Panel_S" + s);
    EXPECT_EQ(panel->Parent(), f->Panel_AUTEX);
    EXPECT_EQ(panel->Width(), 336);
    EXPECT_EQ(panel->Visible(), k <= 1);
    EXPECT_EQ(f->Panel_inner(k)->Name(), "Panel" + std::to_string(k));
    EXPECT_EQ(f->Panel_inner(k)->Parent(), panel);
    EXPECT_EQ(f->Panel_inner(k)->Top(), panel->Height() - 23);
    EXPECT_EQ(f->Memo_Reception(k)->Name(), k == 0 ? "Memo_Reception_Master" : "Memo_Reception_S" + s);
    EXPECT_EQ(f->Memo_Reception(k)->Parent(), panel);
    EXPECT_EQ(f->Memo_Reception(k)->Height(), panel->Height() - 41);
    EXPECT_EQ(f->Secondary_channel(k)->Name(), k == 0 ? "Secondary_channel_MASTER" : "Secondary_channel_S" + s);
    EXPECT_EQ(f->Secondary_channel(k)->Parent(), f->Panel_inner(k));
    if (k == 0) continue;
    EXPECT_EQ(f->Label_CQ(k)->Name(), "Label_CQ_S" + s);
    EXPECT_EQ(f->Label_Utilisateur(k)->Caption(), "S" + s);
    EXPECT_EQ(f->ENTRER_DANS_LA_REUNION(k)->Parent(), panel);
    EXPECT_EQ(f->Indicatif(k)->Parent(), f->Panel_Etat_utilisateurs);
    EXPECT_EQ(f->Nombre_de_repetitions(k)->Caption(), "0");
    // The idle state of a slot: enter up and disabled, leave down and disabled.
    EXPECT_FALSE(f->ENTRER_DANS_LA_REUNION(k)->Down());
    EXPECT_FALSE(f->ENTRER_DANS_LA_REUNION(k)->Enabled());
    EXPECT_TRUE(f->SORTIR_DE_LA_REUNION(k)->Down());
    EXPECT_FALSE(f->SORTIR_DE_LA_REUNION(k)->Enabled());
  }
  // The participant panels sit on the 2-column grid under the panel's header.
  EXPECT_EQ(f->Panel_Master->BoundsRect(), Bounds(0, 80, 336, 240));
  EXPECT_EQ(f->Panel_S1->BoundsRect(), Bounds(336, 80, 336, 240));
  EXPECT_EQ(f->Panel_AUTEX->Height(), 320);
  EXPECT_EQ(f->Label_hauteur_Panel_Autex->Caption(), "320");
}

TEST(Form1, SpeedButtonGroupsOfTheWindow) {
  Owned<TForm1> f(new TForm1(nullptr));
  auto exclusive = [](std::vector<TSpeedButton*> group) {
    for (TSpeedButton* b : group) {
      b->SetDown(true);
      for (TSpeedButton* other : group) EXPECT_EQ(other->Down(), other == b) << b->Name() << " " << other->Name();
    }
  };
  EXPECT_TRUE(f->ASCII->Down());
  EXPECT_TRUE(f->Bouton_RX->Down());
  EXPECT_TRUE(f->Peau_non->Down());
  EXPECT_TRUE(f->Vitesse_haute_AUTEX->Down());
  EXPECT_TRUE(f->Partipants_Autex_2->Down());
  EXPECT_TRUE(f->FIN_REUNION->Down());
  exclusive({f->ASCII, f->AUTEX});
  exclusive({f->Bouton_RX, f->Bouton_TX});
  exclusive({f->Peau_non, f->Peau_Spring, f->Peau_Lucky, f->Peau_MacMetal, f->Peau_Opus, f->Peau_Topaz});
  exclusive({f->Vitesse_haute_AUTEX, f->Vitesse_moyenne_AUTEX, f->Vitesse_basse_AUTEX});
  exclusive({f->Partipants_Autex_2, f->Partipants_Autex_4, f->Partipants_Autex_7, f->Partipants_Autex_13});
  exclusive({f->LANCEMENT_REUNION, f->FIN_REUNION});
  for (int s = 1; s <= 12; ++s) exclusive({f->ENTRER_DANS_LA_REUNION(s), f->SORTIR_DE_LA_REUNION(s)});
  // Slots do not share groups: entering slot 3 leaves slot 4 alone.
  f->SORTIR_DE_LA_REUNION(4)->SetDown(true);
  f->ENTRER_DANS_LA_REUNION(3)->SetDown(true);
  EXPECT_TRUE(f->SORTIR_DE_LA_REUNION(4)->Down());
  // Switches that may all be up.
  for (TSpeedButton* b : {f->Demarrage_Balise, f->Commutateur_Synthese_vocale, f->Options_AUTEX, f->Sur_3_colonnes_AUTEX,
                          f->AUCUN_CQ_S2}) {
    EXPECT_FALSE(b->Down()) << b->Name();
    b->SetDown(true);
    b->SetDown(false);
    EXPECT_FALSE(b->Down()) << b->Name();
  }
}

TEST(Form1, TheComPortMenuHoldsNoneAndFortyPorts) {
  Owned<TForm1> f(new TForm1(nullptr));
  ASSERT_EQ(f->Port_serie_GPS->Count(), 41);
  EXPECT_EQ(f->Port_serie_GPS->Items(0), f->Aucun_port_serie_GPS);
  EXPECT_EQ(f->Aucun_port_serie_GPS->Caption(), "Aucun");
  for (int n = 1; n <= 40; ++n) {
    TMenuItem* item = f->Port_serie_GPS->Items(n);
    EXPECT_EQ(item->Name(), "COM" + std::to_string(n) + "_GPS");
    EXPECT_EQ(item->Caption(), "COM " + std::to_string(n));
    EXPECT_EQ(f->COM_GPS(n), item);
  }
  EXPECT_EQ(f->Baudrate->Count(), 2);
  EXPECT_EQ(f->Baudrate->Items(0), f->_1200);
  EXPECT_EQ(f->Le_Transceiver->Count(), 2);
  EXPECT_EQ(f->Le_Transceiver->Items(0), f->DRF1278DM);
  EXPECT_EQ(f->Aide->Caption(), "Ai&de");
  EXPECT_EQ(f->A_propos_de->Parent(), f->Aide);
  EXPECT_EQ(f->Francais1->Caption(), "Fran\xE7" "ais");
  EXPECT_EQ(f->Menu(), f->MainMenu1);
}

TEST(Form1, TheLayoutFollowsTheModeGeometry) {
  Owned<TForm1> f(new TForm1(nullptr));
  EXPECT_EQ(f->Panel_ASCII->Left(), 2);
  EXPECT_EQ(f->Panel_ASCII->Width(), 673);
  EXPECT_EQ(f->Panel_ASCII->Top(), f->GroupBox_controle_du_mode->Top() + f->GroupBox_controle_du_mode->Height() + 2);
  EXPECT_EQ(f->ClientWidth(), f->Panel_ASCII->Left() + f->Panel_ASCII->Width());
  EXPECT_EQ(f->ClientHeight(), f->Panel_ASCII->Top() + f->Panel_ASCII->Height());
  for (TGroupBox* g : {f->GroupBox_to_transmit, f->GroupBox_transmitted, f->GroupBox_reception}) {
    EXPECT_EQ(g->Height(), 129) << g->Name();
    EXPECT_EQ(g->Width(), 673) << g->Name();
    EXPECT_EQ(g->Parent(), f->Panel_ASCII);
  }
  struct Box {
    TGroupBox* box;
    TMemo* memo;
    TControl* clear;
    int memoLeft;
  };
  for (const Box& b : {Box{f->GroupBox_to_transmit, f->Memo_editeur, f->Clear_TX_text1, 0},
                       Box{f->GroupBox_transmitted, f->Memo_emission, f->Clear_TX_text2, 14},
                       Box{f->GroupBox_reception, f->Memo_Reception_memo, f->Clear_RX_text, 14}}) {
    EXPECT_EQ(b.memo->Parent(), b.box);
    EXPECT_EQ(b.memo->Left(), b.memoLeft);
    EXPECT_EQ(b.memo->Top(), 14);
    EXPECT_EQ(b.memo->Height(), b.box->Height() - 17);
    // Every memo ends 32 pixels short of its box's right edge, beside its clear button rather than under it.
    EXPECT_EQ(b.memo->Left() + b.memo->Width(), b.box->Width() - 32);
    EXPECT_EQ(b.clear->Left(), b.box->Width() - 30);
  }
  EXPECT_EQ(f->GroupBox_transmitted->Top(), f->GroupBox_to_transmit->Top() + 129);
  EXPECT_EQ(f->GroupBox_reception->Top(), f->GroupBox_transmitted->Top() + 129);
  EXPECT_EQ(f->Panel_ASCII_GENERAL->BoundsRect(), Bounds(115, 115, 182, 41));
  EXPECT_EQ(f->Panel_ASCII_GENERAL->Color(), clWhite);
  EXPECT_EQ(f->Panel_AUTEX_GENERAL->Color(), clWhite);
  EXPECT_EQ(f->Panel_Options_AUTEX->BoundsRect(), Bounds(336, 45, f->Panel_Options_AUTEX->Width(), 57));
  EXPECT_FALSE(f->Panel_Options_AUTEX->Visible());
  // ASCII mode at design time: the AUTEX side waits hidden.
  EXPECT_FALSE(f->Panel_AUTEX->Visible());
  EXPECT_EQ(f->Panel_AUTEX->Top(), 600);
  EXPECT_FALSE(f->Panel_AUTEX_SMS->Visible());
  EXPECT_FALSE(f->Panel_AUTEX2->Visible());
  EXPECT_TRUE(f->GroupBox_Balise->Visible());
  EXPECT_TRUE(f->Rapport->Visible());
  EXPECT_EQ(f->Panel_AUTEX_SMS->Width(), 336);
  EXPECT_EQ(f->Panel_AUTEX_SMS->Left(), 2 * 336);
  EXPECT_EQ(f->RichEdit_SMS->Top(), f->Panel_Entete->Height());
  EXPECT_EQ(f->RichEdit_SMS->Left(), 1);
  EXPECT_EQ(f->RichEdit_SMS->Width(), f->Panel_AUTEX_SMS->Width() - 2);
  // Every control lies within its parent.
  for (int i = 0; i < f->ComponentCount(); ++i) {
    auto* c = dynamic_cast<TControl*>(f->Components(i));
    if (!c || !c->Visible() || !c->Parent() || c->Parent() == f.p) continue;
    const TRect p = c->Parent()->ClientRect();
    EXPECT_GE(c->Left(), 0) << c->Name();
    EXPECT_GE(c->Top(), 0) << c->Name();
    EXPECT_LE(c->Left() + c->Width(), p.Width()) << c->Name();
    EXPECT_LE(c->Top() + c->Height(), p.Height()) << c->Name();
  }
}

TEST(Form1, DesignTextsAndWindowStyle) {
  Owned<TForm1> f(new TForm1(nullptr));
  EXPECT_EQ(f->BorderStyle(), TFormBorderStyle::bsSingle);
  EXPECT_EQ(f->GroupBox_controle_du_mode->Caption(), "Contr\xF4le du mode");
  EXPECT_EQ(f->Bouton_RX->Caption(), "R\xE9" "ception");
  EXPECT_EQ(f->Etat_liaison->Caption(), "D\xE9" "connect\xE9");
  EXPECT_EQ(f->Label_Info_AUTEX->Caption(), "Fen\xEAtre d'affichage et de contr\xF4le pour les modes AUTEX");
  EXPECT_EQ(f->ENVOI_MESSAGE_ARQ->Caption(), "Envoyer le message");
  EXPECT_EQ(f->Label_Autex->Caption(), "Nombre de participants \xE0 la r\xE9union:");
  EXPECT_EQ(f->Pause->Min(), 1);
  EXPECT_EQ(f->Pause->Max(), 120);
  EXPECT_TRUE(f->Memo_emission->ReadOnly());
  EXPECT_TRUE(f->Memo_Reception_memo->ReadOnly());
  EXPECT_FALSE(f->Memo_editeur->ReadOnly());
  EXPECT_TRUE(f->RichEdit_SMS->ReadOnly());
  EXPECT_EQ(f->Memo_editeur->ScrollBars(), TScrollStyle::ssVertical);
  EXPECT_TRUE(f->ShowHint());
  EXPECT_TRUE(f->Label_Info_AUTEX->ShowHint());
  EXPECT_EQ(f->Secondary_channel_S3->Font().Name(), "Courier New");
}

TEST(Form1, ASkinFactoryCreatesItsComponentsWhileTheDefinitionLoads) {
  bool sawLoading = false;
  int componentsSeen = 0;
  Owned<TForm1> f(new TForm1(nullptr, [&](TForm1& form) {
    sawLoading = form.IsLoading();
    componentsSeen = form.ComponentCount();
    form.sSkinManager1 = new TComponent(&form);
    form.sSkinManager1->SetName("sSkinManager1");
  }));
  EXPECT_TRUE(sawLoading);
  EXPECT_GT(componentsSeen, 250);
  EXPECT_EQ(f->FindComponent("sSkinManager1"), f->sSkinManager1);
  EXPECT_FALSE(f->sSkinManager1->IsLoading());
}

}  // namespace
