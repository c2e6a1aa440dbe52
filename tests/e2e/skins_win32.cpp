// station.exe in its six skin settings, under Wine: one start of the real program, each setting chosen through
// its button in the "Skin" box, and what the main window, a message box and the file-open dialog show read
// back from the screen and compared with the colours of the skin itself (loaded here from the same packed skins
// that station.exe carries), or with the system colours when no skin is chosen. The last setting chosen is
// saved by Quit and shows again at the next start. Pictures of the main window in each setting are kept.
#include <gtest/gtest.h>

#include "tests/e2e/station_skins.h"

namespace {

using namespace stationskins;

// The dialog of class #32770 the station shows next, with the caption and button checks of a look; closed with
// `close` (a command id).
void CheckDialog(Station& st, const Look& look, const std::string& what, const std::vector<std::string>& buttons,
                 WPARAM close) {
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (dialog = TopWindow(st.Pid(), "#32770")) != nullptr; }, 20000)) << what;
  HWND button = Child(dialog, "Button", buttons);
  ASSERT_NE(button, nullptr) << what;
  std::string fault;
  // Skinned, the dialog is drawn after it showed: it is given a while to get there.
  WaitFor([&] { return (fault = look.CaptionFault(dialog) + look.ButtonFault(button, true)).empty(); }, 5000);
  EXPECT_EQ(fault, "") << what << " in " << look.skin.name;
  PostMessageA(dialog, WM_COMMAND, close, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 10000)) << what;
}

// From one start: each setting through its button, the main window, a message box and the file-open dialog in
// that setting; then the AUTEX layout's file dialog; the last choice saved by Quit and shown at the next start.
TEST(StationSkins, EachSettingDrawsTheWindowsInItsSkinAndTheLastOneIsKept) {
  const auto& settings = Settings();
  ASSERT_EQ(settings.size(), 6u);
  for (size_t i = 1; i < settings.size(); ++i) {
    EXPECT_FALSE(settings[i].button.colours.empty()) << settings[i].name;
    EXPECT_FALSE(settings[i].caption.colours.empty()) << settings[i].name;
    EXPECT_GT(settings[i].titleHeight, 0) << settings[i].name;
  }
  // The checks can tell the skins apart.
  for (size_t i = 1; i < settings.size(); ++i)
    for (size_t j = i + 1; j < settings.size(); ++j)
      EXPECT_FALSE(settings[i].editColour == settings[j].editColour &&
                   settings[i].button.colours == settings[j].button.colours)
          << i << " " << j;
  const std::string dir = WorkDir("run");
  {
    Station st(dir);
    ASSERT_NE(st.Main(), nullptr);
    HWND edit = st.BeaconEdit();
    HWND report = st.Button({"Report", "Rapport"});
    HWND save = st.Button({"Save Parameters", "Sauve Param\xE8tres"});
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(report, nullptr);
    ASSERT_NE(save, nullptr);
    // The order visits every setting, starting from the default skin; skins come after another skin and after
    // none.
    for (int setting : {3, 1, 4, 5, 1, 6, 2}) {
      const Look look{settings[size_t(setting - 1)], setting != 1};
      st.ChooseSetting(setting);
      std::string fault;
      WaitFor([&] {
        fault = look.EditFault(edit) + look.ButtonFault(report) + look.CaptionFault(st.Main());
        return fault.empty();
      }, 8000);
      EXPECT_EQ(fault, "") << "setting " << setting;
      SavePicture(st.Main(), "skins-main-" + std::to_string(setting));
      // The information box of "Save Parameters".
      PostMessageA(save, BM_CLICK, 0, 0);
      CheckDialog(st, look, "message box", {"OK"}, IDOK);
    }
    // The file-open dialog of the AUTEX layout ("Your file"), in the last skin chosen.
    HWND modes = Child(st.Main(), "Button", {"Mode"});
    ASSERT_NE(modes, nullptr);
    st.ClickIn(modes, 50, 53);  // "AUTEX", under "ASCII"
    HWND yourFile = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (yourFile = st.Button({"Your file", "Votre fichier"})) != nullptr; }, 10000));
    PostMessageA(yourFile, BM_CLICK, 0, 0);
    CheckDialog(st, Look{settings[1], true}, "file-open dialog", {"&Open", "Open", "&Ouvrir", "Ouvrir"}, IDCANCEL);
    // Topaz, then Quit: the choice is saved.
    st.ClickIn(modes, 50, 28);  // back to "ASCII"
    st.ChooseSetting(6);
    Sleep(1000);
    HWND quit = st.Button({"Quit", "Quitter"});
    ASSERT_NE(quit, nullptr);
    PostMessageA(quit, BM_CLICK, 0, 0);
    EXPECT_TRUE(st.WaitExit(20000));
  }
  const std::string image = ReadFile(dir + "\\CONF_COM.SER");
  ASSERT_GE(image.size(), 3u);
  EXPECT_EQ(image[2], 6);
  Station again(dir);
  ASSERT_NE(again.Main(), nullptr);
  const Look topaz{settings[5], true};
  std::string fault;
  WaitFor([&] {
    fault = topaz.EditFault(again.BeaconEdit()) + topaz.CaptionFault(again.Main());
    return fault.empty();
  }, 8000);
  EXPECT_EQ(fault, "") << "after the restart";
}

}  // namespace
