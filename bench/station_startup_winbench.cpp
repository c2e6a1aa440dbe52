// The steps of station.exe's start-up, skinned (the program's default skin) against plain (no skin), under Wine
// (Windows build; run by hand, not by ctest). This program is the station program itself with a recorder of its
// start-up: started with no argument it runs itself again and again, one start-up per process, the two kinds
// alternated, in a working directory of its own, and prints the median time of each step:
//   taskset -c 6 wine station_startup_winbench.exe [rounds (7)]
// pinned to one CPU (the station's thread and the recorder share it), best on a display with a compositing manager
// (xcompmgr), where a skinned main window fades in as operators see it. The totals are given whole, less the fade
// as measured, and less the fade's length as the skin manager stores it where a fade ran (what the fade costs
// beyond its length is start-up work; without a compositor the main window shows at once, and nothing is taken
// off).
// The steps, from the process created to the main window painted:
//   program entered     the process made and loaded up to WinMain
//   picture formats     the JPEG and PNG units' initialisation
//   to first window     the station's object up to its first window (the main window's definition, the skin
//                       manager reading its stored skins)
//   windows defined     the rest of the seven windows' definitions and creation handlers (parameters read and
//                       applied, the skin taken)
//   main window made    up to the main window's own window, made as it is about to show
//   to shown            up to the main window's showing
//   fade                the main window transparent and fading in (layered), when it fades
//   painted             up to the moment every window of the program is painted, the main window opaque
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "gui/jpeg.h"
#include "platform/html_help.h"
#include "skin/painters/acglow.h"
#include "skin/forms/sskinprovider.h"
#include "skin/manager/skincommands.h"
#include "skin/painters/acpng_picture.h"
#include "station/composants_peau.h"
#include "station/hh.h"
#include "station/hh_funcs.h"
#include "station/station.h"

namespace {

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return double(c.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// ---- One start-up, recorded.

enum Mark { kEntered, kFormats, kFirstWindow, kBuilt, kMainWindow, kShown, kFadeOn, kFadeOff, kPainted, kMarks };

struct Recorder {
  double at[kMarks];
  double origin = 0;
  HWND main = nullptr;
  std::string out;
  Recorder() { std::fill(std::begin(at), std::end(at), -1.0); }
  void Set(Mark m) {
    if (at[m] < 0) at[m] = NowMs() - origin;
  }
};
Recorder g_rec;

bool PaintPending(HWND h) {
  if (GetUpdateRect(h, nullptr, FALSE)) return true;
  bool pending = false;
  EnumChildWindows(
      h,
      [](HWND c, LPARAM p) -> BOOL {
        if (IsWindowVisible(c) && GetUpdateRect(c, nullptr, FALSE)) *reinterpret_cast<bool*>(p) = true;
        return !*reinterpret_cast<bool*>(p);
      },
      reinterpret_cast<LPARAM>(&pending));
  return pending;
}

// The fade's length as the main window's skin manager stores it (0 without a skin).
int StoredFadeMs() {
  const LRESULT r = SendMessageA(g_rec.main, skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_GETPROVIDER), 0);
  auto* provider = static_cast<skin::TsSkinProvider*>(reinterpret_cast<skin::TacFormProvider*>(r));
  const skin::TsSkinManager* manager = provider ? skin::ProviderManager(*provider) : nullptr;
  return manager && manager->Active() ? manager->AnimEffects.FormShow.Time : 0;
}

void Finish() {
  std::ofstream f(g_rec.out, std::ios::trunc);
  for (double t : g_rec.at) f << t << ' ';
  f << StoredFadeMs() << '\n';
  f.close();
  ExitProcess(0);  // the start-up is all that is measured
}

LRESULT CALLBACK OnCreate(int code, WPARAM w, LPARAM l) {
  if (code == HCBT_CREATEWND) {
    g_rec.Set(kFirstWindow);
    char name[64] = {};
    GetClassNameA(reinterpret_cast<HWND>(w), name, sizeof name);
    if (!g_rec.main && std::string(name) == "TForm1") {
      g_rec.main = reinterpret_cast<HWND>(w);
      g_rec.Set(kMainWindow);
    }
  }
  return CallNextHookEx(nullptr, code, w, l);
}

LRESULT CALLBACK OnSent(int code, WPARAM w, LPARAM l) {
  const auto* m = reinterpret_cast<const CWPRETSTRUCT*>(l);
  if (code == HC_ACTION && g_rec.main && m->hwnd == g_rec.main) {
    if (m->message == WM_SHOWWINDOW && m->wParam) g_rec.Set(kShown);
    if (m->message == WM_STYLECHANGED && m->wParam == WPARAM(GWL_EXSTYLE)) {
      const auto* s = reinterpret_cast<const STYLESTRUCT*>(m->lParam);
      if (!(s->styleOld & WS_EX_LAYERED) && (s->styleNew & WS_EX_LAYERED)) g_rec.Set(kFadeOn);
      if ((s->styleOld & WS_EX_LAYERED) && !(s->styleNew & WS_EX_LAYERED) && g_rec.at[kFadeOn] >= 0) g_rec.Set(kFadeOff);
    }
  }
  return CallNextHookEx(nullptr, code, w, l);
}

// Each message the loop takes: once the main window showed, is opaque and nothing of the program waits to be
// painted, the start-up is over (the station's 10 ms timer brings a message at least that often).
LRESULT CALLBACK OnMessage(int code, WPARAM w, LPARAM l) {
  HWND h = g_rec.main;
  if (code == HC_ACTION && h && g_rec.at[kShown] >= 0 && IsWindowVisible(h) &&
      !(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_LAYERED) && !PaintPending(h)) {
    g_rec.Set(kPainted);
    Finish();
  }
  return CallNextHookEx(nullptr, code, w, l);
}

// As the program's WinMain, with the recorder's hooks on the thread.
int OneStartUp() {
  g_rec.Set(kEntered);
  const DWORD thread = GetCurrentThreadId();
  SetWindowsHookExA(WH_CBT, &OnCreate, nullptr, thread);
  SetWindowsHookExA(WH_CALLWNDPROCRET, &OnSent, nullptr, thread);
  SetWindowsHookExA(WH_GETMESSAGE, &OnMessage, nullptr, thread);
  gui::RegisterJpegFileFormats();
  skin::RegisterPngFileFormat();
  g_rec.Set(kFormats);
  try {
    gui::Application->SetHelpFile(std::string());
    gui::Application->SetTitle(station::TITRE_PROGRAMME);
    station::Hh hh(platform::systemHelp());
    station::HhFuncs hh_funcs(platform::systemHelp());
    station::Fabriques fabriques = station::Fabriques_programme();
    fabriques.composants_peau = station::Composants_peau_programme;
    station::Station station(station::Plateforme_systeme(), fabriques);
    g_rec.Set(kBuilt);
    gui::Application->Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "start-up failed: %s\n", e.what());
    return 1;
  }
  return 1;  // the main window closed before it was painted
}

// ---- The driver.

std::string ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// Whether `out` holds a start-up's marks whole (their line ended).
bool MarksWritten(const std::string& out) {
  const std::string text = ReadAll(out);
  if (text.empty() || text.back() != '\n') return false;
  std::istringstream in(text);
  int n = 0;
  for (double v; in >> v;) ++n;
  return n == kMarks + 1;
}

// One start-up in `dir`; its marks (ms from the process's creation), empty when it failed. What is measured is
// over once the marks are written: the process, which ends itself from a hook of its message loop (one that did not
// end by itself was waited for a minute), is waited for until then or until it ends, and ended if it is
// still there.
std::vector<double> Run(const std::string& self, const std::string& dir) {
  const std::string out = dir + "\\startup.txt";
  DeleteFileA(out.c_str());
  const double t0 = NowMs();
  char origin[32];
  std::snprintf(origin, sizeof origin, "%.3f", t0);
  std::string command = "\"" + self + "\" --one \"" + out + "\" " + origin;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) return {};
  const double begun = NowMs();
  bool ended = false;
  while (!(ended = WaitForSingleObject(pi.hProcess, 10) == WAIT_OBJECT_0) && !MarksWritten(out) &&
         NowMs() - begun < 60000) {
  }
  if (!ended) {
    TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, 10000);
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  std::vector<double> marks;
  std::istringstream in(ReadAll(out));
  for (double v; in >> v;) marks.push_back(v);
  if (marks.size() != kMarks + 1) marks.clear();
  Sleep(300);  // the process's windows and X resources gone before the next start
  return marks;
}

double Median(std::vector<double> v) {
  if (v.empty()) return -1;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void SetSkin(const std::string& dir, int setting) {
  std::string image = ReadAll(dir + "\\CONF_COM.SER");
  if (image.size() < 3) return;
  image[2] = char(setting);
  std::ofstream(dir + "\\CONF_COM.SER", std::ios::binary | std::ios::trunc) << image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::string(argv[1]) == "--one") {
    g_rec.out = argv[2];
    g_rec.origin = std::atof(argv[3]);
    return OneStartUp();
  }
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  char self[MAX_PATH] = {}, temp[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  GetTempPathA(MAX_PATH, temp);
  const std::string dir = std::string(temp) + "station_startup_" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(dir.c_str(), nullptr);
  Run(self, dir);  // writes the standard parameter file, and warms Wine's caches
  // Steps per kind (0: plain, 1: skinned), each the time from the mark before.
  // The rows: each step's length from its marks (-1: a mark missing, the fade of a plain start-up).
  struct Row {
    const char* name;
    Mark from, to;
  };
  const Row rows[] = {{"program entered", kEntered, kEntered}, {"picture formats", kEntered, kFormats},
                      {"to first window", kFormats, kFirstWindow}, {"windows defined", kFirstWindow, kBuilt},
                      {"main window made", kBuilt, kMainWindow},   {"to shown", kMainWindow, kShown},
                      {"fade", kFadeOn, kFadeOff},                 {"painted", kFadeOff, kPainted}};
  auto length = [](const std::vector<double>& m, const Row& row) {
    if (row.from == row.to) return m[row.to];
    if (row.to == kPainted) return m[kPainted] - std::max(m[kShown], m[kFadeOff]);
    return m[row.from] >= 0 && m[row.to] >= 0 ? m[row.to] - m[row.from] : 0.0;
  };
  std::vector<double> steps[2][std::size(rows)], totals[2], fades[2], stored[2];
  int ranFades = 0;
  double storedLength = 0;  // the skin manager's fade length (skinned start-ups)
  for (int r = 0; r < rounds; ++r)
    for (int kind : {0, 1}) {
      SetSkin(dir, kind == 0 ? 1 : 2);
      const std::vector<double> m = Run(self, dir);
      if (m.empty()) {
        std::printf("a %s start-up did not end painted\n", kind ? "skinned" : "plain");
        return 1;
      }
      for (size_t i = 0; i < std::size(rows); ++i) steps[kind][i].push_back(length(m, rows[i]));
      totals[kind].push_back(m[kPainted]);
      fades[kind].push_back(length(m, rows[6]));
      const bool faded = m[kFadeOn] >= 0 && m[kFadeOff] >= 0;
      stored[kind].push_back(faded ? m[kMarks] : 0);
      ranFades += faded ? 1 : 0;
      storedLength = std::max(storedLength, m[kMarks]);
    }
  // The machine's load as the rounds ended (Linux's, under Wine), for numbers measured on a shared machine.
  std::string load = ReadAll("Z:\\proc\\loadavg");
  if (!load.empty() && load.back() == '\n') load.pop_back();
  std::printf("station.exe start-up steps under Wine, median of %d rounds (ms); load %s\n", rounds,
              load.empty() ? "unknown" : load.c_str());
  std::printf("%-18s %9s %9s %9s\n", "step", "plain", "skinned", "extra");
  for (size_t i = 0; i < std::size(rows); ++i) {
    const double p = Median(steps[0][i]), s = Median(steps[1][i]);
    std::printf("%-18s %9.1f %9.1f %+9.1f\n", rows[i].name, p, s, s - p);
  }
  std::vector<double> net[2], netStored[2];
  for (int k : {0, 1})
    for (size_t i = 0; i < totals[k].size(); ++i) {
      net[k].push_back(totals[k][i] - fades[k][i]);
      netStored[k].push_back(totals[k][i] - stored[k][i]);
    }
  std::printf("total              %9.1f %9.1f   ratio %.2f\n", Median(totals[0]), Median(totals[1]),
              Median(totals[1]) / Median(totals[0]));
  std::printf("minus fade         %9.1f %9.1f   ratio %.2f (fade %.0f ms as measured)\n", Median(net[0]), Median(net[1]),
              Median(net[1]) / Median(net[0]), Median(fades[1]));
  std::printf("minus stored fade  %9.1f %9.1f   ratio %.2f (stored %.0f ms, taken off the %d of %d start-ups that faded)\n",
              Median(netStored[0]), Median(netStored[1]), Median(netStored[1]) / Median(netStored[0]), storedLength,
              ranFades, 2 * rounds);
  return 0;
}
