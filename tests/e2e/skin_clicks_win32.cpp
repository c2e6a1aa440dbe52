// station.exe under Wine, driven with the real mouse of the X server (xdotool), on a bare display and under a
// window manager: its "Skin" buttons clicked in quick succession (clicks about 100 ms apart, while the skin of
// the click before is still being applied, each a choice of the operator's; the last click wins: the window
// shows its setting, and Quit saves it), and its skinned caption tapped and dragged (a tap moves nothing, a drag
// moves the window by the pointer's travel).
#include <gtest/gtest.h>

#include "tests/e2e/station_skins.h"

namespace {

using namespace stationskins;

// xdotool run with these arguments, waited for (at most 30 s). False when it could not run or did not end. Wine
// hands back no handle that waits on a Unix program (the wait fails at once): xdotool runs under a shell that
// removes a mark file once it has ended, and that is waited for. Unwaited, a run's last move of the pointer could
// come among the next run's moves and clicks on a loaded machine, and a click then fell beside its button.
bool Xdotool(const std::string& args) {
  using UnixName = char*(CDECL*)(LPCWSTR);
  static const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  char dir[MAX_PATH] = {}, mark[MAX_PATH] = {};
  wchar_t wide[MAX_PATH] = {};
  if (!unixName || !GetTempPathA(MAX_PATH, dir) || !GetTempFileNameA(dir, "xdo", 0, mark)) return false;
  char* unixMark = MultiByteToWideChar(CP_ACP, 0, mark, -1, wide, MAX_PATH) ? unixName(wide) : nullptr;
  if (!unixMark) {
    DeleteFileA(mark);
    return false;
  }
  std::string cmd = "/bin/sh -c \"/usr/bin/xdotool " + args + "; rm -f '" + unixMark + "'\"";
  HeapFree(GetProcessHeap(), 0, unixMark);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const bool started = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  const bool ended = started && WaitFor([&] { return GetFileAttributesA(mark) == INVALID_FILE_ATTRIBUTES; }, 30000);
  DeleteFileA(mark);
  if (started) {
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  return ended;
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
  // ends a run once, after a skin and after none. A run with a resting button first begins with the pointer at
  // rest on that button until its hint shows, the first click 0.3 s after the pointer left it (the hint lies over
  // the button below the resting one).
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
    int last = 0;
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
      for (size_t i = 0; i < run.clicks.size(); ++i) {
        const POINT p = ButtonOnScreen(st, run.clicks[i]);
        if (i > 0) args += " sleep 0.1 ";
        args += "mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) + " click 1";
      }
      // The pointer leaves the box afterwards, as an operator's hand does.
      args += " sleep 0.1 mousemove 5 5";
      ASSERT_TRUE(Xdotool(args)) << "xdotool could not run";
      // Every click of the run is given before its result is judged: the pointer stands where the run left it.
      POINT at{};
      EXPECT_TRUE(GetCursorPos(&at) && at.x == 5 && at.y == 5) << "the run's clicks were not all given yet";
      last = run.clicks.back();
      const Look look{settings[size_t(last - 1)], last != 1};
      std::string fault;
      WaitFor([&] {
        fault = look.EditFault(edit) + look.ButtonFault(report) + look.CaptionFault(st.Main());
        return fault.empty();
      }, 30000);
      std::string clicks;
      for (int s : run.clicks) clicks += std::to_string(s) + " ";
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
// by a move of the pointer along the caption and a drag from there of +100,+60 in ten steps with the button held:
// the tap moves nothing and the drag moves the window by the pointer's travel. Under a window manager the system's
// move, handed to the manager, was still starting when the tap's release had gone: the window then followed the
// pointer until the next click.
TEST(CaptionDrags, ATapMovesNothingAndADragMovesTheWindowByThePointersTravel) {
  const auto& settings = Settings();
  ASSERT_EQ(settings.size(), 6u);
  Station st(WorkDir("caption"));
  ASSERT_NE(st.Main(), nullptr);
  HWND edit = st.BeaconEdit();
  ASSERT_NE(edit, nullptr);
  constexpr int kTries = 4;
  int tries = 0, exact = 0, untaken = 0;
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
      const POINT tap{start.left + (start.right - start.left) / 3, start.top + look.skin.titleHeight / 2};
      auto at = [](int x, int y) { return " mousemove " + std::to_string(x) + " " + std::to_string(y); };
      std::string args = at(tap.x, tap.y) + " click 1 sleep 0.2";
      for (int step = 1; step <= 4; ++step) args += at(tap.x + step * 20, tap.y) + " sleep 0.05";
      args += " sleep 0.3 mousedown 1 sleep 0.07";
      for (int step = 1; step <= 10; ++step)
        args += at(tap.x + 80 + sign * step * 10, tap.y + sign * step * 6) + " sleep 0.07";
      args += " mouseup 1 sleep 0.1" + at(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
      ASSERT_TRUE(Xdotool(args)) << "xdotool could not run";
      RECT r{};
      const bool moved = WaitFor([&] {
        return GetWindowRect(st.Main(), &r) && r.left == start.left + sign * 100 && r.top == start.top + sign * 60;
      }, 10000);
      ++tries;
      if (moved) {
        ++exact;
        continue;
      }
      // A drag that was not taken at all (the window where it was) is still seen now and then, about once in 20
      // to 50 tries: it is counted apart. A window that moved otherwise (it followed the tap, or went elsewhere) fails.
      if (r.left == start.left && r.top == start.top && ++untaken <= 1) {
        std::printf("%s, try %d: the drag was not taken\n", look.skin.name.c_str(), i);
        continue;
      }
      ADD_FAILURE() << look.skin.name << ", try " << i << ": the window went from " << start.left << "," << start.top
                    << " to " << r.left << "," << r.top << " (" << sign * 100 << "," << sign * 60 << " expected)";
      Xdotool("key Escape");  // a move still running ends
    }
  }
  std::printf("caption taps and drags: %d of %d exact, %d not taken\n", exact, tries, untaken);
}

}  // namespace
