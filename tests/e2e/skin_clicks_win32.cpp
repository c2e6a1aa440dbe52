// station.exe under Wine, driven with the real mouse of the X server (xdotool), on a bare display and under a
// window manager: its "Skin" buttons clicked in quick succession (clicks about 100 ms apart, while the skin of
// the click before is still being applied, each a choice of the operator's; the last click wins: the window
// shows its setting, and Quit saves it), and its skinned caption tapped and dragged (a tap moves nothing, a drag
// moves the window by the pointer's travel).
#include <gtest/gtest.h>

#include "tests/e2e/station_skins.h"

namespace {

using namespace stationskins;

using testsupport::Xdotool;

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
  // ends a run once, after a skin and after none. A run with a resting button first begins with the pointer at
  // rest on that button until its hint shows, the first click 0.3 s after the pointer left it (the hint lies over
  // the button below the resting one). A click on "None", or the first click from it, ends a burst: the next one is
  // aimed once the window shows that setting, as an operator aims again (under a window manager the window's own
  // frame comes or goes with the skin, and its controls move with it).
  struct Run {
    int resting;  // 0: none
    std::vector<int> clicks;
  };
  const std::vector<Run> runs = {{0, {3, 5, 4}}, {0, {2, 6, 1}}, {0, {4, 1, 3, 5}}, {0, {6, 2, 6}}, {0, {1, 4, 2}},
                                 {0, {5, 3, 6}}, {1, {4}},          {2, {5}},          {3, {6}},       {1, {4}},
                                 {2, {5, 4, 1, 6, 3, 2}},           {3, {6, 1, 2, 4, 5, 3}},          {1, {4, 5}}};
  {
    Station st(dir);
    ASSERT_NE(st.Main(), nullptr);
    ASSERT_NE(st.SkinBox(), nullptr);
    HWND edit = st.BeaconEdit();
    HWND report = st.Button({"Report", "Rapport"});
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(report, nullptr);
    // What the window shows once a setting is in force, or why not.
    auto faultOf = [&](int setting) {
      const Look look{settings[size_t(setting - 1)], setting != 1};
      std::string fault;
      WaitFor([&] {
        fault = look.EditFault(edit) + look.ButtonFault(report) + look.CaptionFault(st.Main());
        return fault.empty();
      }, 30000);
      return fault;
    };
    int last = 2;  // the program's first setting
    for (const Run& run : runs) {
      SetForegroundWindow(st.Main());
      WaitFor([&] { return GetForegroundWindow() == st.Main(); }, 5000);
      std::string args;
      if (run.resting != 0) {
        const POINT p = ButtonOnScreen(st, run.resting);
        ASSERT_TRUE(Xdotool("mousemove " + std::to_string(p.x) + " " + std::to_string(p.y)));
        EXPECT_TRUE(WaitFor([&] { return TopWindow(st.Pid(), "THintWindow") != nullptr; }, 20000)) << "no hint";
        args = "sleep 0.3 ";
      }
      std::string clicks, fault;
      for (size_t i = 0; i < run.clicks.size() && fault.empty(); ++i) {
        const POINT p = ButtonOnScreen(st, run.clicks[i]);
        args += "mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) + " click 1";
        clicks += std::to_string(run.clicks[i]) + " ";
        const bool burstEnds = run.clicks[i] == 1 || last == 1;
        last = run.clicks[i];
        if (i + 1 < run.clicks.size() && !burstEnds) {
          args += " sleep 0.1 ";
          continue;
        }
        // The pointer leaves the box after the run, as an operator's hand does.
        if (i + 1 == run.clicks.size()) args += " sleep 0.1 mousemove 5 5";
        // Every click is given before the result is judged: the pointer stands where xdotool left it.
        ASSERT_TRUE(Xdotool(args)) << "xdotool could not run, or the clicks were not all given: "
                                   << testsupport::XdotoolFault();
        args.clear();
        fault = faultOf(last);
        // A window manager's frame may come or go a moment later: the window is aimed at once it stays as it is.
        if (burstEnds) WaitUntilScreenSettles(st.Main(), 500, 10000);
      }
      EXPECT_EQ(fault, "") << "clicks on " << clicks << "(resting on " << run.resting << ") did not end in setting "
                           << last;
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

// In each skin, taps on the caption (press and release a few milliseconds apart, as a touchpad's) each followed
// by a move of the pointer along the caption and a drag from there of +100,+60 (or back) in ten steps with the
// button held: the tap moves nothing and the drag moves the window by the pointer's travel, every time. Under a
// window manager the system's move, handed to the manager, was still starting when the tap's release had gone (the
// window then followed the pointer until the next click); and each try begins with the manager's own drag of the
// window with Alt held, after which the next caption drag that left the window was lost.
TEST(CaptionDrags, ATapMovesNothingAndADragMovesTheWindowByThePointersTravel) {
  const auto& settings = Settings();
  ASSERT_EQ(settings.size(), 6u);
  Station st(WorkDir("caption"));
  ASSERT_NE(st.Main(), nullptr);
  HWND edit = st.BeaconEdit();
  ASSERT_NE(edit, nullptr);
  constexpr int kTries = 4;
  int tries = 0, exact = 0;
  const bool manager = Env("WINE_WINDOW_MANAGER") == "1";
  // The session's first key given by xdotool changes the keyboard's map, and openbox then takes its bindings
  // again: an Alt drag pressed meanwhile (on a busy machine) went to the window and moved nothing. So the first
  // key is given here, well before the first Alt drag.
  if (manager) {
    ASSERT_TRUE(Xdotool("keydown Alt_L keyup Alt_L")) << testsupport::XdotoolFault();
  }
  for (int setting = 2; setting <= 6; ++setting) {
    const POINT button = ButtonOnScreen(st, setting);
    ASSERT_TRUE(Xdotool("mousemove " + std::to_string(button.x) + " " + std::to_string(button.y) + " click 1"));
    const Look look{settings[size_t(setting - 1)], true};
    std::string fault;
    WaitFor([&] { return (fault = look.EditFault(edit) + look.CaptionFault(st.Main())).empty(); }, 10000);
    ASSERT_EQ(fault, "") << look.skin.name;
    for (int i = 0; i < kTries; ++i) {
      // Down and right, then back.
      const int sign = i % 2 == 0 ? 1 : -1;
      // Each try from the same place, with room on every side: one try's fault does not become the next one's.
      SetWindowPos(st.Main(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      RECT start{};
      ASSERT_TRUE(WaitFor([&] { return GetWindowRect(st.Main(), &start) && start.left == 300 && start.top == 200; },
                          10000));
      // A window manager places the window on the screen a moment later.
      ASSERT_TRUE(WaitFor([&] { return look.CaptionFault(st.Main()).empty(); }, 10000));
      auto at = [](int x, int y) { return " mousemove " + std::to_string(x) + " " + std::to_string(y); };
      if (manager) {
        // Where the manager has the window too: a press where it has not yet put the window's frame (on a busy
        // machine) falls beside it, and starts no drag.
        ASSERT_TRUE(testsupport::StandsOnScreenAt(st.Main(), 300, 200));
        const POINT body{start.left + 200, start.top + 300};
        ASSERT_TRUE(Xdotool("keydown Alt_L" + at(body.x, body.y) + " mousedown 1 sleep 0.1" + at(body.x - 20, body.y - 10) +
                            " sleep 0.1" + at(body.x - 40, body.y - 20) + " sleep 0.1 mouseup 1 keyup Alt_L"));
        ASSERT_TRUE(WaitFor([&] { return GetWindowRect(st.Main(), &start) && start.left == 260 && start.top == 180; },
                            10000))
            << "the manager's Alt drag left the window at " << start.left << "," << start.top << [&] {
                 POINT on{};
                 return testsupport::ScreenOrigin(st.Main(), on)
                            ? " (on the screen at " + std::to_string(on.x) + "," + std::to_string(on.y) + ")"
                            : std::string(" (its place on the screen could not be read)");
               }();
      }
      const POINT tap{start.left + (start.right - start.left) / 3, start.top + look.skin.titleHeight / 2};
      std::string args = at(tap.x, tap.y) + " click 1 sleep 0.2";
      for (int step = 1; step <= 4; ++step) args += at(tap.x + step * 20, tap.y) + " sleep 0.05";
      args += " sleep 0.3 mousedown 1 sleep 0.07";
      for (int step = 1; step <= 10; ++step)
        args += at(tap.x + 80 + sign * step * 10, tap.y + sign * step * 6) + " sleep 0.07";
      args += " mouseup 1 sleep 0.1" + at(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
      ASSERT_TRUE(Xdotool(args)) << "xdotool could not run: " << testsupport::XdotoolFault();
      RECT r{};
      const bool moved = WaitFor([&] {
        return GetWindowRect(st.Main(), &r) && r.left == start.left + sign * 100 && r.top == start.top + sign * 60;
      }, 10000);
      ++tries;
      if (moved) {
        ++exact;
        continue;
      }
      ADD_FAILURE() << look.skin.name << ", try " << i << ": the window went from " << start.left << "," << start.top
                    << " to " << r.left << "," << r.top << " (" << sign * 100 << "," << sign * 60 << " expected)";
      Xdotool("key Escape");  // a move still running ends
    }
  }
  std::printf("caption taps and drags: %d of %d exact\n", exact, tries);
}

}  // namespace
