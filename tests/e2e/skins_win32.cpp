// station.exe in its six skin settings, under Wine: one start of the real program, each setting chosen through
// its button in the "Skin" box, and what the main window, a message box and the file-open dialog show read
// back from the screen and compared with the colours of the skin itself (loaded here from the same packed skins
// that station.exe carries), or with the system colours when no skin is chosen. The last setting chosen is
// saved by Quit and shows again at the next start. In each setting the station's six other windows are opened
// from the main window too, their caption (and a button or an edit of theirs) checked the same way. Pictures of
// every window in each setting are kept.
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

// The main menu's columns and the items used here, by place.
constexpr int kTransceiverMenu = 2, kHelpMenu = 4;
constexpr int kDrf1278dmItem = 0, kModificationsItem = 1, kAboutItem = 2;

void Press(WORD vk) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof in[0]);
  Sleep(40);
}

// Chooses the item `row` of the main menu's column `column` with the keyboard (menus cannot be read from
// another process under Wine): F10 enters the menu bar; once the program is in it, Right to the column and Down
// open the column's menu; once it shows, Down to the item and Enter. Keys typed while the X focus has not yet
// followed the window made foreground are lost, a Right typed before the program is in its menu bar goes to the
// window (on a busy machine the wrong column's item was chosen), and the menu may show long after its keys:
// nothing more is typed until each shows, so that no key goes astray into a window the item opens late. A menu
// that does not show is left and asked for again.
bool ChooseMenuItem(DWORD pid, HWND main, int column, int row) {
  const auto menuShown = [&] { return TopWindow(pid, "#32768") != nullptr; };
  const auto inMenuBar = [&] {
    GUITHREADINFO g{};
    g.cbSize = sizeof g;
    return GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &g) && (g.flags & GUI_INMENUMODE);
  };
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (menuShown()) {
      Press(VK_ESCAPE);
      Press(VK_ESCAPE);
      WaitFor([&] { return !menuShown(); }, 5000);
    }
    SetForegroundWindow(main);
    WaitFor([&] { return GetForegroundWindow() == main; }, 5000);
    Press(VK_F10);
    if (!WaitFor(inMenuBar, 5000)) continue;
    for (int i = 0; i < column; ++i) Press(VK_RIGHT);
    Press(VK_DOWN);
    if (!WaitFor(menuShown, 5000)) {
      Press(VK_ESCAPE);  // the menu bar, when only F10 got through
      continue;
    }
    for (int i = 0; i < row; ++i) Press(VK_DOWN);
    Press(VK_RETURN);
    return WaitFor([&] { return !menuShown(); }, 10000);
  }
  return false;
}

// One of the station's other windows: how the main window opens it, which of its controls shows the skin
// besides the caption (a push button, an edit, or none where every control has colours of its own) and how it
// is closed.
struct OtherWindow {
  const char* cls;
  const char* picture;
  enum Opener { kMenu, kButton, kSendInAutex } opener;
  std::vector<std::string> opens;  // the button's texts
  int menuItem;                    // the item of the help menu
  enum Probe { kNone, kButtonProbe, kEditProbe, kTextProbe } probe;
  std::vector<std::string> closes;  // the button that closes it (WM_CLOSE when empty)
};

const std::vector<OtherWindow>& OtherWindows() {
  static const std::vector<OtherWindow> windows = {
      {"TForm2", "about", OtherWindow::kMenu, {}, kAboutItem, OtherWindow::kTextProbe, {}},
      {"TForm3", "history", OtherWindow::kMenu, {}, kModificationsItem, OtherWindow::kEditProbe, {}},
      {"TForm20", "yes-no", OtherWindow::kButton, {"Default Parameters", "Param\xE8tres par d\xE9" "faut"}, 0,
       OtherWindow::kButtonProbe, {"No", "Non"}},
      {"TForm43", "speech", OtherWindow::kButton, {"Options"}, 0, OtherWindow::kNone, {}},
      {"TForm36", "error", OtherWindow::kSendInAutex, {"Send the message", "Envoyer le message"}, 0,
       OtherWindow::kButtonProbe, {"OK"}},
      {"TForm19", "module", OtherWindow::kButton, {"DRF1278DM"}, 0, OtherWindow::kEditProbe, {}},
  };
  return windows;
}

// Whether the about box's first line (its labels are filled as it is activated) shows text: a pixel along it
// far from the colour where it starts.
bool ShowsText(HWND about) {
  const COLORREF background = ClientPixel(about, 14, 38);
  for (int x = 20; x < 300; ++x)
    if (Distance(ClientPixel(about, x, 38), background) > 80) return true;
  return false;
}

// Whether a button with a face of the program's own colour shows its caption: pixels along its middle rows far
// from its face.
bool ShowsCaption(HWND button) {
  RECT r{};
  GetClientRect(button, &r);
  const COLORREF face = ClientPixel(button, 6, r.bottom / 2);
  int text = 0;
  for (int y = r.bottom / 2 - 2; y <= r.bottom / 2 + 2; y += 2)
    for (int x = 6; x < r.right - 6; ++x) text += Distance(ClientPixel(button, x, y), face) > 120;
  return text >= 6;
}

// The first visible edit among the descendants of `window`.
HWND FirstEdit(HWND window) {
  HWND found = nullptr;
  EnumChildWindows(
      window,
      [](HWND h, LPARAM p) -> BOOL {
        if (!IsWindowVisible(h) || ClassOf(h) != "Edit") return TRUE;
        *reinterpret_cast<HWND*>(p) = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Opens each of the station's other windows from the main window, checks its caption and its probe against
// `look`, keeps its picture and closes it.
void CheckOtherWindows(Station& st, const Look& look, int setting) {
  HWND modes = Child(st.Main(), "Button", {"Mode"});
  ASSERT_NE(modes, nullptr);
  for (const OtherWindow& w : OtherWindows()) {
    const std::string what = std::string(w.picture) + " in setting " + std::to_string(setting);
    if (w.opener == OtherWindow::kMenu) {
      ASSERT_TRUE(ChooseMenuItem(st.Pid(), st.Main(), kHelpMenu, w.menuItem)) << what << ": the help menu";
    } else {
      if (w.opener == OtherWindow::kSendInAutex) st.ClickIn(modes, 50, 53);  // "AUTEX"
      HWND button = nullptr;
      ASSERT_TRUE(WaitFor([&] { return (button = st.Button(w.opens)) != nullptr; }, 10000)) << what;
      PostMessageA(button, BM_CLICK, 0, 0);
    }
    HWND window = nullptr;
    const bool shown = WaitFor([&] { return (window = TopWindow(st.Pid(), w.cls)) != nullptr; }, 10000);
    ASSERT_TRUE(shown) << what;
    // The window's children may come a moment after the window itself on a busy machine.
    HWND probe = nullptr;
    if (w.probe == OtherWindow::kButtonProbe || w.probe == OtherWindow::kEditProbe) {
      WaitFor([&] {
        probe = w.probe == OtherWindow::kButtonProbe ? Child(window, "Button", w.closes) : FirstEdit(window);
        return probe != nullptr;
      }, 20000);
      ASSERT_NE(probe, nullptr) << what;
    }
    std::string fault;
    WaitFor([&] {
      fault = look.CaptionFault(window);
      if (w.probe == OtherWindow::kButtonProbe) fault += look.ButtonFault(probe, true);
      if (w.probe == OtherWindow::kEditProbe) fault += look.EditFault(probe);
      if (w.probe == OtherWindow::kTextProbe && !ShowsText(window)) fault += "no text on its first line";
      return fault.empty();
    }, 5000);
    EXPECT_EQ(fault, "") << what;
    // The pictures below are taken once the window is brought to the top and repainted: what the screen held
    // when a check failed is kept as well.
    if (!fault.empty()) SaveScreenPicture("skins-" + std::to_string(setting) + "-" + w.picture + "-screen-at-fault");
    if (std::string(w.cls) == "TForm19") {  // its coloured buttons keep a caption that shows on their light faces
      HWND reading = Child(window, "Button", {"Reading", "Lecture"});
      ASSERT_NE(reading, nullptr) << what;
      EXPECT_TRUE(WaitFor([&] { return ShowsCaption(reading); }, 5000)) << what << ": the caption of \"Reading\"";
    }
    if (w.probe == OtherWindow::kTextProbe) {
      // With the pointer over it, redrawn whole soon after it opened (as when it is covered and uncovered): its
      // lines show again with that redraw.
      RECT r{};
      GetWindowRect(window, &r);
      SetCursorPos((r.left + r.right) / 2, r.top + 60);
      RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      EXPECT_TRUE(WaitFor([&] { return ShowsText(window); }, 5000)) << what << ", redrawn whole";
      Station::ParkPointer();
    }
    // The window over the main window as the screen shows them, then the window alone, once any fade that
    // shows it is over and the screen holds it (the checks above may pass on the main window's own caption,
    // which lies where a window at (0, 0) has its own).
    WaitFor([&] { return !(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED); }, 3000);
    WaitUntilScreenSettles(window);
    SavePictureOf(st.Main(), window, "skins-" + std::to_string(setting) + "-" + w.picture + "-over-main");
    SavePicture(window, "skins-" + std::to_string(setting) + "-" + w.picture);
    if (w.closes.empty()) {
      PostMessageA(window, WM_CLOSE, 0, 0);
    } else {
      PostMessageA(Child(window, "Button", w.closes), BM_CLICK, 0, 0);
    }
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); }, 10000)) << what;
    if (w.opener == OtherWindow::kSendInAutex) st.ClickIn(modes, 50, 28);  // back to "ASCII"
  }
}

// From one start: each setting through its button, the main window, a message box, the other windows and the
// file-open dialog in that setting; then the AUTEX layout's file dialog; the last choice saved by Quit and shown at the next start.
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
    // The module set-up window needs the DRF1278DM module chosen.
    ASSERT_TRUE(ChooseMenuItem(st.Pid(), st.Main(), kTransceiverMenu, kDrf1278dmItem)) << "the transceiver menu";
    std::set<int> visited;
    // The order visits every setting, starting from the default skin; skins come after another skin and after
    // none.
    for (int setting : {3, 1, 4, 5, 1, 6, 2}) {
      const Look look{settings[size_t(setting - 1)], setting != 1};
      // With the pointer, which stays on the button as a user's would.
      st.ChooseSettingWithPointer(setting);
      std::string fault;
      WaitFor([&] {
        fault = look.EditFault(edit) + look.ButtonFault(report) + look.CaptionFault(st.Main());
        return fault.empty();
      }, 8000);
      EXPECT_EQ(fault, "") << "setting " << setting;
      // The other buttons of the "Skin" box show the new skin from the switch itself, not only after the window
      // is repainted whole.
      WaitFor([&] { return (fault = look.SkinButtonsFault(st.SkinBox(), setting)).empty(); }, 8000);
      EXPECT_EQ(fault, "") << "setting " << setting;
      Station::ParkPointer();
      SavePicture(st.Main(), "skins-main-" + std::to_string(setting));
      // The information box of "Save Parameters".
      PostMessageA(save, BM_CLICK, 0, 0);
      CheckDialog(st, look, "message box", {"OK"}, IDOK);
      if (!visited.insert(setting).second) continue;
      CheckOtherWindows(st, look, setting);
      if (HasFatalFailure()) return;
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
    const Look topaz{settings[5], true};
    std::string fault;
    WaitFor([&] { return (fault = topaz.EditFault(edit) + topaz.CaptionFault(st.Main())).empty(); }, 8000);
    EXPECT_EQ(fault, "") << "Topaz before Quit";
    HWND quit = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (quit = st.Button({"Quit", "Quitter"})) != nullptr; }, 10000));
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

// The window of a class that the process `pid` made, shown or not.
HWND TopWindowOfClass(DWORD pid, const char* cls) {
  for (HWND h = FindWindowExA(nullptr, nullptr, cls, nullptr); h; h = FindWindowExA(nullptr, h, cls, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == pid) return h;
  }
  return nullptr;
}

// A skin editor's block of 10 MB sent to the application window: under Wine more than the system hands over
// (the receiving GetMessage fails), on Windows a block without a skin's name. Either way the station goes on, and
// Quit still saves the setting chosen before it.
TEST(StationSkins, ABlockTooLargeToBeHandedOverEndsNothing) {
  const std::string dir = WorkDir("large-block");
  Station st(dir);
  ASSERT_NE(st.Main(), nullptr);
  HWND app = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (app = TopWindowOfClass(st.Pid(), "TApplication")) != nullptr; }, 10000));
  const Look macMetal{Settings()[3], true};
  st.ChooseSetting(4);
  std::string fault;
  WaitFor([&] { return (fault = macMetal.EditFault(st.BeaconEdit())).empty(); }, 8000);
  ASSERT_EQ(fault, "");
  std::vector<uint8_t> block(10 << 20, 0);
  block[1] = 0xA4;  // the editor's mark; the name stays empty
  COPYDATASTRUCT data{0, DWORD(block.size()), block.data()};
  DWORD_PTR answer = 0;
  // Under Wine the block is never answered: the send gives up after a while, and the message stays queued before
  // the click below (a sent message comes before a posted one).
  SendMessageTimeoutA(app, WM_COPYDATA, 7, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 1000, &answer);
  HWND quit = st.Button({"Quit", "Quitter"});
  ASSERT_NE(quit, nullptr) << "the station ended before Quit";
  PostMessageA(quit, BM_CLICK, 0, 0);
  ASSERT_TRUE(st.WaitExit(20000));
  const std::string image = ReadFile(dir + "\\CONF_COM.SER");
  ASSERT_GE(image.size(), 3u);
  EXPECT_EQ(image[2], 4);
}

}  // namespace
