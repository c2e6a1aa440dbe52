// Switching the skin manager between two stored skins of about 100 kB with ten skinned forms open (headless
// forms of the native build): the time from SkinName set to the last form repainted, with the share of the
// load (time until OnSkinLoading) and of the forms' repaint. Anchors: loading the same skin into the tables
// alone, and the ten forms repainting their images without a skin change; the switch's ratio to the latter is
// the cost of a switch in units of one repaint of the forms.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "bench/skin_switch_forms.h"

namespace {

using namespace skin;
using skinbench::BenchForm;
using skinbench::Clock;

struct Setup {
  PortableSkinSystem sys;
  std::unique_ptr<TsSkinManagerComponent> m;
  std::vector<BenchForm*> forms;
  Setup() {
    m = std::make_unique<TsSkinManagerComponent>(nullptr, sys);
    for (const auto& [name, colour] : {std::pair{"Light", 0xE0E0E0u}, std::pair{"Dark", 0x303030u}}) {
      TsStoredSkin& s = m->InternalSkins.Add();
      s.Name = name;
      const std::string data = skinbench::BenchSkin(colour);
      s.Data.WriteBuffer(data.data(), int64_t(data.size()));
    }
    for (int i = 0; i < 10; ++i) {
      forms.push_back(new BenchForm(gui::Application, i, true));
      forms.back()->Show();
    }
    m->SetSkinName("Light");
  }
  ~Setup() {
    for (BenchForm* f : forms) gui::Free(f);
    m.reset();
  }
};

double RepaintTen(std::vector<BenchForm*>& forms) {
  const auto t0 = Clock::now();
  for (BenchForm* f : forms) f->RepaintCache();
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

void BM_SwitchSkinTenForms(benchmark::State& state) {
  Setup s;
  Clock::time_point loaded{};
  s.m->OnSkinLoading = [&loaded](TsSkinManager&) { loaded = Clock::now(); };
  double total = 0, load = 0;
  int64_t switches = 0;
  bool dark = true;
  for (auto _ : state) {
    for (BenchForm* f : s.forms) f->refreshes = 0;
    const auto t0 = Clock::now();
    s.m->SetSkinName(dark ? "Dark" : "Light");
    const auto t1 = Clock::now();
    for (BenchForm* f : s.forms)
      if (f->refreshes != 1) state.SkipWithError("a form was not repainted once");
    total += std::chrono::duration<double>(t1 - t0).count();
    load += std::chrono::duration<double>(loaded - t0).count();
    dark = !dark;
    ++switches;
  }
  double repaint = 1e9;
  for (int i = 0; i < 30; ++i) repaint = std::min(repaint, RepaintTen(s.forms));
  const double perSwitch = total / double(switches);
  state.counters["switch_ms"] = perSwitch * 1e3;
  state.counters["load_share_%"] = 100.0 * load / total;
  state.counters["repaint_share_%"] = 100.0 * repaint / perSwitch;
  state.counters["switch/repaint"] = perSwitch / repaint;
}

// Anchor: the load alone (the same skin into the manager's tables, no form told).
void BM_LoadSkinAloneAnchor(benchmark::State& state) {
  PortableSkinSystem sys;
  TsSkinManager m(sys);
  TsStoredSkin& stored = m.InternalSkins.Add();
  stored.Name = "Dark";
  const std::string data = skinbench::BenchSkin(0x303030);
  stored.Data.WriteBuffer(data.data(), int64_t(data.size()));
  m.SetSkinName("Dark");
  for (auto _ : state)
    if (m.LoadSkin() != TSkinLoadResult::Loaded) state.SkipWithError("load failed");
}

// Anchor: the ten forms repaint their images with the current skin, no skin change.
void BM_RepaintTenFormsAnchor(benchmark::State& state) {
  Setup s;
  for (auto _ : state) RepaintTen(s.forms);
}

BENCHMARK(BM_SwitchSkinTenForms)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadSkinAloneAnchor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintTenFormsAnchor)->Unit(benchmark::kMillisecond);

}  // namespace
