// Speech: the feed that speaks complete words only when the voice is idle, the voice choice, the options
// window, and a voice that lists nothing or fails.
#include <gtest/gtest.h>

#include "station/options_kestrado.h"

namespace {

struct Speech : ::testing::Test {
  station::TForm43* form = new station::TForm43(nullptr);
  platform::RecordingVoice* voice = nullptr;
  gui::TSpeedButton* mainSwitch = new gui::TSpeedButton(nullptr);
  autex::Langues langues;

  void SetUp() override {
    auto v = std::make_unique<platform::RecordingVoice>();
    v->voices = {"Microsoft Anna - English (United States)", "Microsoft Hortense - French"};
    voice = v.get();
    form->Fixe_voix(std::move(v));
    form->Lie_langues(langues);
    mainSwitch->SetGroupIndex(7);
    mainSwitch->SetAllowAllUp(true);
    form->Commutateur_fiche_principale = mainSwitch;
  }
  void TearDown() override {
    gui::Free(form);
    gui::Free(mainSwitch);
  }
  void feed(const std::string& text) {
    for (char c : text) form->Prononce_texte(c);
  }
  void start() {
    form->Synthese_vocale_active = 1;
    form->Lance_synthese_vocale();
  }
};

TEST_F(Speech, CompleteWordsAreSpokenWhenTheVoiceIsIdle) {
  start();
  feed("CQ CQ de F4");
  ASSERT_EQ(voice->spoken.size(), 3u);  // a word at each blank, the voice being idle each time
  EXPECT_EQ(voice->spoken[0], "CQ ");
  EXPECT_EQ(voice->spoken[2], "de ");
  EXPECT_EQ(voice->spokenFlags[0], platform::SVSFlagsAsync);
  EXPECT_EQ(form->Texte_a_prononcer, "F4");  // the unfinished word waits

  // While the voice speaks, everything is collected.
  voice->busy = true;
  feed("XYZ pse K\r");
  EXPECT_EQ(voice->spoken.size(), 3u);
  EXPECT_EQ(form->Prononciation_en_attente, 1);
  EXPECT_EQ(form->Texte_a_prononcer, "F4XYZ pse K ");

  // The 333 ms step does nothing while it is busy, and speaks everything complete in one call once idle.
  form->Relance_prononciation();
  EXPECT_EQ(voice->spoken.size(), 3u);
  voice->busy = false;
  form->Relance_prononciation();
  ASSERT_EQ(voice->spoken.size(), 4u);
  EXPECT_EQ(voice->spoken[3], "F4XYZ pse K ");
  EXPECT_EQ(form->Texte_a_prononcer, "");
  EXPECT_EQ(form->Prononciation_en_attente, 0);
  // Nothing waits any more: the step leaves the voice alone.
  const int calls = voice->statusCalls;
  form->Relance_prononciation();
  EXPECT_EQ(voice->statusCalls, calls);
}

TEST_F(Speech, ANextCharacterSpeaksWhatWaitedWhenTheVoiceFellIdle) {
  start();
  voice->busy = true;
  feed("73 de F4XYZ");
  voice->busy = false;
  feed(" ");
  ASSERT_EQ(voice->spoken.size(), 1u);
  EXPECT_EQ(voice->spoken[0], "73 de F4XYZ ");
}

TEST_F(Speech, OneWordWithoutBlankIsNotSpoken) {
  start();
  feed("ABCDEFGH");
  EXPECT_TRUE(voice->spoken.empty());
  feed("\n");
  ASSERT_EQ(voice->spoken.size(), 1u);
  EXPECT_EQ(voice->spoken[0], "ABCDEFGH ");
}

TEST_F(Speech, CharactersAreMappedOrDropped) {
  start();
  feed("\xD8" "K1 ");  // capital O with stroke, as some stations type zero
  feed("a\x80\xA9\xBF" "b\x7F\xD0\xD7\xDE\xF0\xF7\xFE\x05 ");
  feed("\xE9t\xE9 ");
  ASSERT_EQ(voice->spoken.size(), 3u);
  EXPECT_EQ(voice->spoken[0], "0K1 ");
  EXPECT_EQ(voice->spoken[1], "ab ");
  EXPECT_EQ(voice->spoken[2], "\xE9t\xE9 ");
}

TEST_F(Speech, ALeadingAngleBracketIsNotSpoken) {
  start();
  voice->busy = true;
  feed("<F4XYZ> hello");
  voice->busy = false;
  feed(" ");
  ASSERT_EQ(voice->spoken.size(), 1u);
  EXPECT_EQ(voice->spoken[0], "F4XYZ> hello ");
  feed("   ");  // blanks only: nothing to say
  EXPECT_EQ(voice->spoken.size(), 1u);
}

TEST_F(Speech, TheStoredVoiceIndexIsBroughtWithinTheInstalledVoices) {
  form->Index_voix = 5;
  form->Volume_voix = 40;
  form->Vitesse_voix = -3;
  start();
  EXPECT_EQ(form->Index_voix, 1);
  EXPECT_EQ(voice->voice, 1);
  ASSERT_EQ(form->cbVoices->Items().Count(), 2);
  EXPECT_EQ(form->cbVoices->Items()[1], "Microsoft Hortense - French");
  EXPECT_EQ(form->cbVoices->ItemIndex(), 1);
  EXPECT_EQ(voice->volume, 40);
  EXPECT_EQ(form->TB_Volume->Position(), 40);
  EXPECT_EQ(form->LB_Volume->Caption(), "40");
  EXPECT_EQ(voice->rate, -3);
  EXPECT_EQ(form->TB_Vitesse->Position(), -3);
  EXPECT_EQ(form->LB_Vitesse->Caption(), "-3");
  EXPECT_EQ(form->Synthese_initialisee, 1);
}

TEST_F(Speech, TheWindowsControlsChangeTheVoice) {
  start();
  form->cbVoices->SetItemIndex(0);
  form->cbVoicesChange(form->cbVoices);
  EXPECT_EQ(form->Index_voix, 0);
  EXPECT_EQ(voice->voice, 0);
  form->TB_Volume->SetPosition(55);
  EXPECT_EQ(form->Volume_voix, 55);
  EXPECT_EQ(form->LB_Volume->Caption(), "55");
  EXPECT_EQ(voice->volume, 55);
  form->TB_Vitesse->SetPosition(7);
  EXPECT_EQ(form->Vitesse_voix, 7);
  EXPECT_EQ(form->LB_Vitesse->Caption(), "7");
  EXPECT_EQ(voice->rate, 7);
}

TEST_F(Speech, TheVoiceIsPreparedOnceAndTheSwitchesStayInStep) {
  form->Commutateur_Synthese_vocale->SetDown(true);
  form->Commutateur_Synthese_vocaleClick(form->Commutateur_Synthese_vocale);
  EXPECT_EQ(form->Synthese_vocale_active, 1);
  EXPECT_EQ(form->Synthese_initialisee, 1);
  EXPECT_TRUE(mainSwitch->Down());
  feed("half");
  voice->voices.push_back("Another voice");  // a later start would list three

  form->Commutateur_Synthese_vocale->SetDown(false);
  form->Commutateur_Synthese_vocaleClick(form->Commutateur_Synthese_vocale);
  EXPECT_EQ(form->Synthese_vocale_active, 0);
  EXPECT_FALSE(mainSwitch->Down());

  form->Commutateur_principal_clique(true);
  EXPECT_EQ(form->Synthese_vocale_active, 1);
  EXPECT_TRUE(form->Commutateur_Synthese_vocale->Down());
  EXPECT_EQ(form->cbVoices->Items().Count(), 2);  // not prepared again
  EXPECT_EQ(form->Texte_a_prononcer, "half");     // the buffer was emptied the first time only
  EXPECT_EQ(form->Prononciation_en_attente, 0);
}

TEST_F(Speech, StartUpWithSpeechOnPreparesTheVoice) {
  form->Synthese_vocale_active = 1;
  form->Applique_synthese_demarrage();
  EXPECT_TRUE(mainSwitch->Down());
  EXPECT_EQ(form->Synthese_initialisee, 1);
  form->Synthese_vocale_active = 0;
  form->Applique_synthese_demarrage();
  EXPECT_FALSE(mainSwitch->Down());
}

TEST_F(Speech, TheOptionsWindowTakesItsTextsWhenActivatedAndKeepsItsPlace) {
  langues.Langue = autex::LANGUE_ANGLAIS;
  form->Synthese_vocale_active = 1;
  form->SetLeft(300);
  form->FormActivate(form);
  EXPECT_EQ(form->Caption(), "Options for the speech synthesis (pronunciation of the decoded text)");
  EXPECT_EQ(form->GroupBox_Synthese_vocale->Caption(), form->Caption());
  EXPECT_EQ(form->Commutateur_Synthese_vocale->Caption(), "Start");
  EXPECT_EQ(form->Label_voix->Caption(), "Voice:");
  EXPECT_EQ(form->Label_Volume->Caption(), "Volume:");
  EXPECT_EQ(form->Label_Vitesse->Caption(), "Rate:");
  EXPECT_EQ(form->Left(), 300);  // where its showing put it (over the main window), not the screen's corner
  EXPECT_EQ(form->ClientWidth(), 616);
  EXPECT_EQ(form->ClientHeight(), 42);
  EXPECT_TRUE(form->Commutateur_Synthese_vocale->Down());
  langues.Langue = autex::LANGUE_FRANCAIS;
  form->Synthese_vocale_active = 0;
  form->FormActivate(form);
  EXPECT_EQ(form->Commutateur_Synthese_vocale->Caption(), "Lancer");
  EXPECT_EQ(form->Label_Vitesse->Caption(), "Vitesse:");
  EXPECT_EQ(form->Commutateur_Synthese_vocale->Hint(),
            "Pour lancer la synth\xE8se vocale (prononciation du texte d\xE9" "cod\xE9).");
  EXPECT_FALSE(form->Commutateur_Synthese_vocale->Down());
}

TEST_F(Speech, AVoiceThatListsNothingChoosesNothingAndTheWindowSaysSo) {
  voice->voices.clear();
  form->Index_voix = 3;
  start();
  // The list shows that there is no voice, and cannot be opened.
  ASSERT_EQ(form->cbVoices->Items().Count(), 1);
  EXPECT_EQ(form->cbVoices->Items()[0], "No voice installed");
  EXPECT_EQ(form->cbVoices->ItemIndex(), 0);
  EXPECT_FALSE(form->cbVoices->Enabled());
  EXPECT_NE(form->cbVoices->Hint().find("Windows voice"), std::string::npos);
  EXPECT_EQ(form->Index_voix, 3);  // kept for a start with voices
  EXPECT_EQ(voice->voice, -1);
  form->cbVoicesChange(form->cbVoices);
  form->Choisir_voix(-1);
  form->Choisir_voix(0);
  EXPECT_EQ(voice->voice, -1);
  EXPECT_EQ(form->Index_voix, 3);
}

TEST_F(Speech, AFailingEngineCountsAsBusyAndSpeaksNothing) {
  voice->failing = true;
  start();
  ASSERT_EQ(form->cbVoices->Items().Count(), 1);
  EXPECT_EQ(form->cbVoices->Items()[0], "No voice installed");
  feed("hello world ");
  EXPECT_TRUE(voice->spoken.empty());
  EXPECT_EQ(form->Prononciation_en_attente, 1);
  form->Relance_prononciation();
  EXPECT_TRUE(voice->spoken.empty());
  // Whatever never gets said is bounded.
  for (int i = 0; i < 3000; ++i) feed("word ");
  EXPECT_EQ(form->Texte_a_prononcer.size(), station::TForm43::TAILLE_MAXIMALE_TEXTE);
  EXPECT_EQ(form->Texte_a_prononcer.substr(form->Texte_a_prononcer.size() - 5), "word ");
  // The engine recovers: what was kept is spoken.
  voice->failing = false;
  feed("x");
  ASSERT_EQ(voice->spoken.size(), 1u);
}

TEST_F(Speech, AVoiceThatDoesNotSpeakIsShownSoInTheWindow) {
  voice->mute = true;
  start();
  EXPECT_TRUE(form->cbVoices->Enabled());
  feed("hello world ");
  ASSERT_EQ(form->cbVoices->Items().Count(), 1);
  EXPECT_EQ(form->cbVoices->Items()[0], "The voice does not speak");
  EXPECT_FALSE(form->cbVoices->Enabled());
}

TEST_F(Speech, TheOptionsWindowListsTheVoicesWhenItFirstShows) {
  langues.Langue = autex::LANGUE_FRANCAIS;
  voice->voices.clear();
  form->FormActivate(form);  // speech never started: the window still tells
  ASSERT_EQ(form->cbVoices->Items().Count(), 1);
  EXPECT_EQ(form->cbVoices->Items()[0], "Aucune voix install\xE9" "e");
}

#ifndef _WIN32
TEST(SpeechWithoutEngine, TheNativeSystemVoiceIsSilent) {
  station::TForm43 form(nullptr);
  form.Synthese_vocale_active = 1;
  form.Lance_synthese_vocale();  // the system's voice
  ASSERT_NE(form.Voix(), nullptr);
  for (char c : std::string("no engine here ")) form.Prononce_texte(c);
  EXPECT_EQ(form.Prononciation_en_attente, 1);
  EXPECT_EQ(form.cbVoices->Items().Count(), 1);  // "No voice installed"
}
#endif

}  // namespace
