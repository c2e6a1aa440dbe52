// The seven windows on real windows (Windows build, run under Wine): created in the program's order, shown,
// their window classes and texts checked, and a picture of each saved as a test artefact.
#include <gtest/gtest.h>

#include <string>

#include "station/forms/creation.h"
#include "tests/support/gui_input.h"
#include "tests/support/win_screen.h"

using namespace gui;

namespace {

std::string WindowClass(HWND h) {
  char name[96] = {};
  GetClassNameA(h, name, sizeof(name));
  return name;
}

std::string WindowText(HWND h) {
  char text[512] = {};
  GetWindowTextA(h, text, sizeof(text));
  return text;
}

const std::string kArtefacts = ARTEFACT_DIR;

class SevenForms : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { forms_ = new forms::TStationForms(forms::CreateForms(*Application)); }
  static void TearDownTestSuite() {
    for (TCustomForm* f : {static_cast<TCustomForm*>(forms_->Form19), static_cast<TCustomForm*>(forms_->Form43),
                           static_cast<TCustomForm*>(forms_->Form3), static_cast<TCustomForm*>(forms_->Form36),
                           static_cast<TCustomForm*>(forms_->Form20), static_cast<TCustomForm*>(forms_->Form2),
                           static_cast<TCustomForm*>(forms_->Form1)})
      Free(f);
    delete forms_;
  }
  static forms::TStationForms* forms_;
};
forms::TStationForms* SevenForms::forms_ = nullptr;

TEST_F(SevenForms, TheMainWindowShowsItsControlsAsWindows) {
  forms::TForm1& f = *forms_->Form1;
  f.Show();
  testsupport::PumpUntil([&] { return IsWindowVisible(f.Handle()) != FALSE; });
  EXPECT_EQ(WindowClass(f.Handle()), "TForm1");
  EXPECT_EQ(WindowText(f.Handle()), "Vornatel");
  EXPECT_STRCASEEQ(WindowClass(f.Memo_editeur->Handle()).c_str(), "Edit");
  EXPECT_STRCASEEQ(WindowClass(f.Texte_balise->Handle()).c_str(), "Edit");
  EXPECT_EQ(WindowClass(f.RichEdit_SMS->Handle()), "RichEdit20A");
  EXPECT_EQ(WindowClass(f.Pause->Handle()), "msctls_updown32");
  EXPECT_EQ(WindowClass(f.Panel_ASCII->Handle()), "TPanel");
  EXPECT_STRCASEEQ(WindowClass(f.GroupBox_controle_du_mode->Handle()).c_str(), "Button");
  EXPECT_STRCASEEQ(WindowClass(f.Quit->Handle()).c_str(), "Button");
  EXPECT_EQ(WindowText(f.Quit->Handle()), "Quitte");
  EXPECT_EQ(WindowText(f.GroupBox_controle_du_mode->Handle()), "Contr\xF4le du mode");
  EXPECT_EQ(WindowText(f.ENVOI_MESSAGE_ARQ->Handle()), "Envoyer le message");
  EXPECT_TRUE(IsWindowVisible(f.Memo_editeur->Handle()));
  EXPECT_FALSE(IsWindowVisible(f.Panel_AUTEX->Handle()));
  // The client area keeps the definition's size whatever the frame of the window manager.
  RECT c;
  GetClientRect(f.Handle(), &c);
  EXPECT_EQ(c.right, 675);
  EXPECT_EQ(c.bottom, 651);
  HMENU bar = GetMenu(f.Handle());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(GetMenuItemCount(bar), 5);
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 0)), 41);
  // The definition's labels fit where they were placed.
  for (int i = 0; i < f.ComponentCount(); ++i) {
    auto* l = dynamic_cast<TLabel*>(f.Components(i));
    if (!l || !l->Visible() || !l->AutoSize()) continue;
    EXPECT_LE(l->Left() + l->Width(), l->Parent()->ClientWidth()) << l->Name();
  }
  testsupport::SaveWindowPicture(f.Handle(), kArtefacts, "Form1-ascii");

  // The AUTEX side as the mode layout shows it for a two-station link: the participant panels under the
  // text windows, the short-message window on the right.
  f.Panel_AUTEX_GENERAL->Show();
  f.GroupBox_Balise->Hide();
  f.Panel_ASCII_GENERAL->Hide();
  f.Rapport->Hide();
  f.GroupBox_transmitted->SetHeight(60);
  f.GroupBox_reception->SetBounds(336, f.GroupBox_transmitted->Top(), 337, 60);
  f.GroupBox_transmitted->SetWidth(336);
  for (TGroupBox* box : {f.GroupBox_transmitted, f.GroupBox_reception}) {
    TMemo* memo = box == f.GroupBox_transmitted ? f.Memo_emission : f.Memo_Reception_memo;
    memo->SetBounds(14, 14, box->Width() - 32, box->Height() - 17);
    TControl* clear = box == f.GroupBox_transmitted ? static_cast<TControl*>(f.Clear_TX_text2) : f.Clear_RX_text;
    clear->SetLeft(box->Width() - 30);
  }
  f.Panel_ASCII->SetHeight(129 + 60);
  f.Panel_AUTEX->SetBounds(0, f.Panel_ASCII->Top() + f.Panel_ASCII->Height(), 672, 320);
  f.Panel_AUTEX->Show();
  f.Panel_AUTEX_SMS->SetHeight(f.Panel_AUTEX->Top() + f.Panel_AUTEX->Height() - 7);
  f.RichEdit_SMS->SetHeight(f.Panel_AUTEX_SMS->Height() - f.Panel_Entete->Height() - 1);
  f.Panel_AUTEX_SMS->Show();
  f.SetClientSize(3 * 336, f.Panel_AUTEX->Top() + f.Panel_AUTEX->Height());
  f.AUTEX->SetDown(true);
  testsupport::SaveWindowPicture(f.Handle(), kArtefacts, "Form1-autex");
  f.Hide();
}

TEST_F(SevenForms, TheSmallWindowsShowWithTheirClassesAndTexts) {
  struct Expect {
    TCustomForm* form;
    const char* cls;
    const char* picture;
  };
  forms_->Form36->Memo1->SetText("Your are not yet connected...");
  forms_->Form36->SetCaption("Error");
  forms_->Form20->Label1->SetCaption("Are you sure?");
  forms_->Form2->Nom_du_produit->SetCaption("Vornatel - keyboard, messages and files over LoRa radio");
  forms_->Form2->Auteur->SetCaption("Station program");
  for (const Expect& e : {Expect{forms_->Form2, "TForm2", "Form2"}, Expect{forms_->Form20, "TForm20", "Form20"},
                          Expect{forms_->Form36, "TForm36", "Form36"}, Expect{forms_->Form3, "TForm3", "Form3"},
                          Expect{forms_->Form43, "TForm43", "Form43"}, Expect{forms_->Form19, "TForm19", "Form19"}}) {
    e.form->Show();
    testsupport::PumpUntil([&] { return IsWindowVisible(e.form->Handle()) != FALSE; });
    EXPECT_EQ(WindowClass(e.form->Handle()), e.cls);
    EXPECT_EQ(WindowText(e.form->Handle()), e.form->Caption());
    testsupport::SaveWindowPicture(e.form->Handle(), kArtefacts, e.picture);
    e.form->Hide();
  }
  EXPECT_STRCASEEQ(WindowClass(forms_->Form36->Memo1->Handle()).c_str(), "Edit");
  EXPECT_EQ(WindowText(forms_->Form36->OK->Handle()), "OK");
  EXPECT_EQ(WindowClass(forms_->Form43->TB_Volume->Handle()), "msctls_trackbar32");
  EXPECT_STRCASEEQ(WindowClass(forms_->Form43->cbVoices->Handle()).c_str(), "ComboBox");
  EXPECT_EQ(WindowClass(forms_->Form19->Puissance->Handle()), "msctls_updown32");
  EXPECT_EQ(WindowText(forms_->Form19->Frequence_MHz->Handle()), "434");
  EXPECT_STRCASEEQ(WindowClass(forms_->Form19->LECTURE->Handle()).c_str(), "Button");
  EXPECT_TRUE(GetWindowLongA(forms_->Form36->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(SevenForms, TheMainWindowGetsItsActivationBackWhenAModalWindowCloses) {
  struct Counter {
    int main = 0;
  } count;
  forms::TForm1& f = *forms_->Form1;
  f.OnActivate = [&](TObject*) { ++count.main; };
  f.Show();
  EXPECT_TRUE(testsupport::PumpUntil([&] { return count.main == 1; }));
  const int shown = count.main;
  EXPECT_EQ(shown, 1);
  forms::TForm36& box = *forms_->Form36;
  int ticks = 0;
  f.Timer2->OnTimer = [&](TObject*) { ++ticks; };
  // The box stays until the main window's 333 ms timer has ticked twice under it (or 10 s have passed).
  const DWORD opened = GetTickCount();
  Application->ModalDriver = [&](TCustomForm&) {
    auto* closer = new TTimer(&box);
    closer->SetInterval(100);
    closer->OnTimer = [&box, closer, &ticks, opened](TObject*) {
      if (ticks < 2 && GetTickCount() - opened < 10000) return;
      closer->SetEnabled(false);
      box.OK->Click();
      box.Close();
    };
  };
  box.ShowModal();
  Application->ModalDriver = nullptr;
  EXPECT_TRUE(testsupport::PumpUntil([&] { return count.main == shown + 1; }));
  EXPECT_GE(ticks, 2);  // the 333 ms timer of the main window went on
  testsupport::PumpFor(200);  // and no further activation comes
  EXPECT_EQ(count.main, shown + 1);
  f.Hide();
}

}  // namespace
