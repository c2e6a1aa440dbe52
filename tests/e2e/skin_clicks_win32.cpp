// station.exe under Wine, its "Skin" buttons clicked in quick succession with the real mouse of the X server
// (xdotool): clicks about 100 ms apart, while the skin of the click before is still being applied, each a
// choice of the operator's. The last click wins: the window shows its setting, and Quit saves it.
#include <gtest/gtest.h>

#include "tests/e2e/station_skins.h"

namespace {

using namespace stationskins;

// xdotool run with these arguments, waited for (at most 30 s). False when it could not run.
bool Xdotool(const std::string& args) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string cmd = "/usr/bin/xdotool " + args;
  if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  WaitForSingleObject(pi.hProcess, 30000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

// The screen point at the middle of a setting's button.
POINT ButtonOnScreen(Station& st, int setting) {
  POINT p = Station::SettingButton(setting);
  p = POINT{p.x + 28, p.y + 11};
  ClientToScreen(st.SkinBox(), &p);
  return p;
}

TEST(SkinClicks, TheLastOfQuickClicksOnTheSkinButtonsWins) {
  const auto& settings = Settings();
  ASSERT_EQ(settings.size(), 6u);
  const std::string dir = WorkDir("clicks");
  // Each run: clicks 100 ms apart, the last one on another setting than the run before ended on; every setting
  // ends a run once, after a skin and after none.
  const std::vector<std::vector<int>> runs = {{3, 5, 4}, {2, 6, 1}, {4, 1, 3, 5}, {6, 2, 6}, {1, 4, 2}, {5, 3, 6}};
  {
    Station st(dir);
    ASSERT_NE(st.Main(), nullptr);
    ASSERT_NE(st.SkinBox(), nullptr);
    HWND edit = st.BeaconEdit();
    HWND report = st.Button({"Report", "Rapport"});
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(report, nullptr);
    int last = 0;
    for (const std::vector<int>& run : runs) {
      SetForegroundWindow(st.Main());
      WaitFor([&] { return GetForegroundWindow() == st.Main(); }, 5000);
      std::string args;
      for (size_t i = 0; i < run.size(); ++i) {
        const POINT p = ButtonOnScreen(st, run[i]);
        if (i > 0) args += " sleep 0.1 ";
        args += "mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) + " click 1";
      }
      // The pointer leaves the box afterwards, as an operator's hand does.
      args += " sleep 0.1 mousemove 5 5";
      ASSERT_TRUE(Xdotool(args)) << "xdotool could not run";
      last = run.back();
      const Look look{settings[size_t(last - 1)], last != 1};
      std::string fault;
      WaitFor([&] {
        fault = look.EditFault(edit) + look.ButtonFault(report) + look.CaptionFault(st.Main());
        return fault.empty();
      }, 10000);
      std::string clicks;
      for (int s : run) clicks += std::to_string(s) + " ";
      EXPECT_EQ(fault, "") << "clicks on " << clicks << "did not end in setting " << last;
      SavePicture(st.Main(), "skin-clicks-" + std::to_string(last));
    }
    HWND quit = st.Button({"Quit", "Quitter"});
    ASSERT_NE(quit, nullptr);
    PostMessageA(quit, BM_CLICK, 0, 0);
    EXPECT_TRUE(st.WaitExit(20000));
    const std::string image = ReadFile(dir + "\\CONF_COM.SER");
    ASSERT_GE(image.size(), 3u);
    EXPECT_EQ(int(image[2]), last);
  }
}

}  // namespace
