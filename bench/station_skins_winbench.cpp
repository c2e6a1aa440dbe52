// station.exe skinned against station.exe plain, under Wine and Xvfb (Windows build; run by hand, not by ctest):
//   STATION_EXE=build/windows/station/station.exe STATION_SKINS=build/windows/generated/skins/packed
//   wine station_skins_winbench.exe [rounds]      (both variables in the environment)
// Three measures, each printed with its ratio:
// - start-up: from the process created to its main window painted (the beacon edit, a button and the caption
//   showing what the setting draws), in the default skin against no skin; medians over the rounds, the two kinds
//   of start alternated;
// - a live switch of the whole program: from the click on a skin button to the main window showing the new
//   skin, between the default skin and "Lucky"; median, and its ratio to a repaint of the plain main window
//   (RedrawWindow of the window with its children and frame, painted at once);
// - the idle CPU time of the process over ten seconds after start-up, skinned and plain (10 ms resolution).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/station_skins.h"

namespace {

using namespace stationskins;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// The parameter file of a directory with its skin setting changed (the file a first start wrote).
void SetSkin(const std::string& dir, int setting) {
  std::string image = ReadFile(dir + "\\CONF_COM.SER");
  if (image.size() < 3) return;
  image[2] = char(setting);
  std::ofstream(dir + "\\CONF_COM.SER", std::ios::binary | std::ios::trunc) << image;
}

// The two windows the look is read from. They are looked for once (the search asks every child window of the
// station for its text, which would load the very thread being measured at every poll).
struct Probes {
  HWND edit = nullptr, report = nullptr;
};

// The main window itself shows the look: its pixels on the screen, and the window opaque. While a skinned window
// fades in it is transparent under the fade's pictures, whose alpha Xvfb does not honour: the pictures would pass
// for the window.
bool Shows(Station& st, const Look& look, Probes& p) {
  if (!p.edit || !IsWindow(p.edit)) p.edit = st.BeaconEdit();
  if (!p.report || !IsWindow(p.report)) p.report = st.Button({"Report", "Rapport"});
  return p.edit && p.report && !(GetWindowLongA(st.Main(), GWL_EXSTYLE) & WS_EX_LAYERED) &&
         (look.EditFault(p.edit) + look.ButtonFault(p.report) + look.CaptionFault(st.Main())).empty();
}

// The CPU time used so far by the running copies of the program file `exe`, read from Linux's process table:
// Wine runs each Windows process as a Linux process whose command line starts with the program's path (its own
// GetProcessTimes answers 0 for another process).
double CpuMs(const std::string& exe) {
  double total = 0;
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA("Z:\\proc\\*", &fd);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    const std::string pid = fd.cFileName;
    if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string cmdline = ReadFile("Z:\\proc\\" + pid + "\\cmdline");
    if (cmdline.compare(0, exe.size(), exe) != 0) continue;
    // utime and stime, the 14th and 15th fields, counted after the command name's closing parenthesis.
    const std::string stat = ReadFile("Z:\\proc\\" + pid + "\\stat");
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    unsigned long long utime = 0, stime = 0;
    if (std::sscanf(stat.c_str() + close + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime,
                    &stime) == 2)
      total += double(utime + stime) * 10.0;  // clock ticks of 10 ms
  } while (FindNextFileA(find, &fd));
  FindClose(find);
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const auto& settings = Settings();
  const Look plain{settings[0], false}, spring{settings[1], true}, lucky{settings[2], true};
  const std::string dir = WorkDir("bench");
  { Station first(dir); }  // writes the standard parameter file, and warms Wine's caches

  // Start-up.
  std::vector<double> startSkinned, startPlain;
  for (int r = 0; r < rounds; ++r)
    for (int setting : {1, 2}) {
      SetSkin(dir, setting);
      const Clock::time_point t0 = Clock::now();
      Station st(dir, 0);
      const Look& look = setting == 1 ? plain : spring;
      Probes probes;
      if (!st.Main() || !WaitFor([&] { return Shows(st, look, probes); }, 30000)) {
        std::printf("start-up in setting %d: the main window never showed its look\n", setting);
        return 1;
      }
      (setting == 1 ? startPlain : startSkinned).push_back(Ms(Clock::now() - t0));
    }
  std::printf("start-up to the painted main window: skinned %.0f ms, plain %.0f ms, ratio %.2f\n",
              Median(startSkinned), Median(startPlain), Median(startSkinned) / Median(startPlain));

  // A live switch, against a plain repaint.
  std::vector<double> switches, repaints;
  {
    SetSkin(dir, 2);
    Station st(dir);
    Probes probes;
    HWND box = st.SkinBox();
    for (int r = 0; r < rounds; ++r)
      for (int setting : {3, 2}) {
        const Look& look = setting == 3 ? lucky : spring;
        const POINT button = Station::SettingButton(setting);
        const Clock::time_point t0 = Clock::now();
        st.ClickIn(box, button.x + 28, button.y + 11);
        if (!WaitFor([&] { return Shows(st, look, probes); }, 30000)) {
          std::printf("the switch to setting %d never showed\n", setting);
          return 1;
        }
        switches.push_back(Ms(Clock::now() - t0));
      }
    st.ChooseSetting(1);
    WaitFor([&] { return Shows(st, plain, probes); }, 30000);
    for (int r = 0; r < 2 * rounds; ++r) {
      // The whole window invalidated and painted at once: the update is sent to the station's thread and the
      // call returns when every window of it has painted.
      const Clock::time_point t0 = Clock::now();
      RedrawWindow(st.Main(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      WaitFor([&] { return Shows(st, plain, probes); }, 30000);
      repaints.push_back(Ms(Clock::now() - t0));
    }
  }
  std::printf("live switch of the whole program: %.0f ms (median of %zu); plain repaint of the main window %.0f ms; "
              "ratio %.1f\n",
              Median(switches), switches.size(), Median(repaints), Median(switches) / Median(repaints));

  // Idle CPU.
  double idle[2] = {0, 0};
  for (int setting : {1, 2}) {
    SetSkin(dir, setting);
    Station st(dir, 3000);
    const std::string exe = WindowsPath(Env("STATION_EXE"));
    const double c0 = CpuMs(exe);
    Sleep(10000);
    idle[setting - 1] = CpuMs(exe) - c0;
  }
  std::printf("idle CPU over 10 s: skinned %.0f ms (%.2f %%), plain %.0f ms (%.2f %%), ratio %.2f\n", idle[1],
              idle[1] / 100.0, idle[0], idle[0] / 100.0, idle[0] > 0 ? idle[1] / idle[0] : 0.0);
  return 0;
}
