// Switching the skin manager between two stored skins of about 100 kB with ten skinned forms shown on real
// windows (Windows build; run by hand under Wine and Xvfb, not by ctest):
//   wine skin_switch_winbench.exe [rounds]
// It prints the median time from SkinName set to the last form repainted, the median time of a plain repaint of
// the same ten forms unskinned (RedrawWindow of each with its children and frame, painted by the system), and
// their ratio. The skinned forms paint their client area from the cache their provider repainted from the skin.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "bench/skin_switch_forms.h"

namespace {

using namespace skin;
using skinbench::BenchForm;
using skinbench::Clock;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

std::vector<BenchForm*> ShowForms(bool skinned) {
  std::vector<BenchForm*> forms;
  for (int i = 0; i < 10; ++i) {
    forms.push_back(new BenchForm(gui::Application, i, skinned));
    forms.back()->Show();
  }
  Pump();
  return forms;
}

void FreeForms(std::vector<BenchForm*>& forms) {
  for (BenchForm* f : forms) gui::Free(f);
  forms.clear();
  Pump();
}

double RedrawAll(const std::vector<BenchForm*>& forms) {
  const auto t0 = Clock::now();
  for (BenchForm* f : forms)
    RedrawWindow(f->WindowHandle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  GdiFlush();
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(3, std::atoi(argv[1])) : 40;
  PortableSkinSystem sys;  // the library's message boxes recorded, not shown
  sys.layeredWindows = true;
  auto m = std::make_unique<TsSkinManagerComponent>(nullptr, sys);
  for (const auto& [name, colour] : {std::pair{"Light", 0xE0E0E0u}, std::pair{"Dark", 0x303030u}}) {
    TsStoredSkin& s = m->InternalSkins.Add();
    s.Name = name;
    const std::string data = skinbench::BenchSkin(colour);
    s.Data.WriteBuffer(data.data(), int64_t(data.size()));
  }
  std::vector<BenchForm*> forms = ShowForms(false);
  m->SetSkinName("Light");
  RedrawAll(forms);

  // Rounds alternate between the plain repaint of the forms unskinned and a switch with the forms skinned, so
  // that a change of the machine's load falls on both alike; medians of each.
  std::vector<double> plain, switches, toLastPaint, skinnedRepaint;
  bool dark = true;
  int missed = 0;
  for (int i = 0; i < rounds; ++i) {
    for (BenchForm* f : forms) f->SetSkinned(false);
    plain.push_back(RedrawAll(forms));
    Pump();
    for (BenchForm* f : forms) {
      f->SetSkinned(true);
      f->paints = f->refreshes = 0;
    }
    const auto t0 = Clock::now();
    m->SetSkinName(dark ? "Dark" : "Light");
    GdiFlush();
    const auto t1 = Clock::now();
    Clock::time_point last = t0;
    for (BenchForm* f : forms) {
      if (f->refreshes != 1 || f->paints < 1) ++missed;
      last = std::max(last, f->lastPaint);
    }
    switches.push_back(std::chrono::duration<double>(t1 - t0).count());
    toLastPaint.push_back(std::chrono::duration<double>(last - t0).count());
    skinnedRepaint.push_back(RedrawAll(forms));
    dark = !dark;
    Pump();
  }
  FreeForms(forms);
  m.reset();

  const double p = Median(plain), s = Median(switches), l = Median(toLastPaint), r = Median(skinnedRepaint);
  std::printf("rounds                                   %d\n", rounds);
  std::printf("unskinned repaint of ten forms           %.3f ms\n", p * 1e3);
  std::printf("skin switch, SkinName to return          %.3f ms\n", s * 1e3);
  std::printf("skin switch, SkinName to last form paint %.3f ms\n", l * 1e3);
  std::printf("skinned repaint of ten forms (no switch) %.3f ms\n", r * 1e3);
  std::printf("switch / unskinned repaint               %.2f\n", l / p);
  std::printf("forms not repainted by a switch          %d\n", missed);
  return missed == 0 ? 0 : 1;
}
