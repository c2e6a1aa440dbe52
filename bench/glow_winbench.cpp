// Glow windows at 400 x 200 on real windows (Windows build; run by hand under Wine and Xvfb, not by ctest):
//   wine glow_winbench.exe [rounds]
// It prints the median time per call of one glow update (SetGlowAlpha: the picture given to UpdateLayeredWindow at
// a new constant alpha) and of a whole glow shown and hidden (window made, picture painted, window released).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "gui/gui.h"
#include "skin/data/scommondata.h"
#include "skin/painters/acglow.h"
#include "tests/skin_painters/glow_fixture.h"

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

template <class F>
double MicrosecondsPerCall(int calls, F f) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < calls; ++i) f(i);
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / calls;
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  skin::test::GlowFixture skin;
  auto* form = new gui::TForm(nullptr);
  form->SetBounds(50, 50, 600, 400);
  auto* panel = new gui::TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(100, 100, 400 - 10, 200 - 10);  // the glow adds 2 x (8 - 3) on each axis: 400 x 200
  form->Show();
  Pump();
  skin::TsCommonData data;
  data.OwnerControl = panel;
  data.OwnerObject = panel;
  data.FSkinManager = &skin.manager;
  data.SkinIndex = skin.button;
  data.RepaintBlocked = 0;
  data.MouseAbove = 1;

  std::vector<double> updates, cycles;
  for (int r = 0; r < rounds; ++r) {
    skin::CommonDataShowGlow(data, false, nullptr, false, 255);
    updates.push_back(MicrosecondsPerCall(200, [&](int i) { skin::SetGlowAlpha(data.GlowID, uint8_t(55 + i % 200)); }));
    skin::HideGlow(data.GlowID, false);
    Pump();
    cycles.push_back(MicrosecondsPerCall(20, [&](int) {
      skin::CommonDataShowGlow(data, false, nullptr, false, 255);
      skin::HideGlow(data.GlowID, false);
      Pump();
    }));
  }
  std::printf("glow_update/400x200     %9.1f us per call (SetGlowAlpha, median of %d rounds of 200)\n",
              Median(updates), rounds);
  std::printf("glow_show_hide/400x200  %9.1f us per call (window made, painted, shown, released)\n", Median(cycles));
  gui::Free(form);
  return 0;
}
