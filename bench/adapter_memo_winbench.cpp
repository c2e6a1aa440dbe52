// Appending to a memo with skinned scroll bars against the same memo unskinned (Windows build; run by hand under
// Wine and Xvfb, not by ctest):
//   wine adapter_memo_winbench.exe [packed skin file] [rounds]
// Two memos of 10,000 lines side by side, one with the edit adapter of the skin (its border, background and
// bars), one as the system draws it. A round appends 100 lines at the end of one memo the way the station adds
// received text (caret to the end, selection replaced), letting each line paint before the next; rounds
// alternate between the memos. It prints the median time of a round of each and their ratio.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "skin/adapters/acscrollwnd.h"
#include "skin/manager/sskinmanager_component.h"

namespace {

using Clock = std::chrono::steady_clock;

struct BenchSystem : skin::PortableSkinSystem {
  uint32_t SysColor(int index) override { return GetSysColor(index); }
  int32_t SystemMetric(int index) override { return GetSystemMetrics(index); }
};

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

std::string Lines(int n) {
  std::string t;
  for (int i = 0; i < n; ++i) {
    t += "Received line ";
    t += std::to_string(i + 1);
    t += " of the test text, as long as a line the station shows\r\n";
  }
  return t;
}

double AppendRound(gui::TMemo& memo) {
  const auto t0 = Clock::now();
  for (int i = 0; i < 100; ++i) {
    memo.SetSelStart(memo.GetTextLen());
    memo.SetSelText("Appended line " + std::to_string(i) + " of the round\r\n");
    Pump();
    UpdateWindow(memo.WindowHandle());
  }
  GdiFlush();
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string skinFile = argc > 1 ? argv[1] : STATION_DEFAULT_BENCH_SKIN;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
  std::ifstream in(skinFile, std::ios::binary);
  const std::string packed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (packed.empty()) {
    std::fprintf(stderr, "cannot read the packed skin %s\n", skinFile.c_str());
    return 1;
  }
  BenchSystem sys;
  skin::TsSkinManagerComponent manager(nullptr, sys);
  skin::TsStoredSkin& stored = manager.InternalSkins.Add();
  stored.Name = "Bench";
  stored.Data.WriteBuffer(packed.data(), int64_t(packed.size()));
  manager.SetSkinName("Bench");
  if (!manager.SkinData().Active) {
    std::fprintf(stderr, "the skin did not load\n");
    return 1;
  }

  auto* form = new gui::TForm(gui::Application);
  form->SetBounds(10, 10, 900, 420);
  form->SetCaption("Appending to memos");
  form->Show();
  gui::TMemo* memos[2];
  const std::string text = Lines(10000);
  for (int i = 0; i < 2; ++i) {
    memos[i] = new gui::TMemo(form);
    memos[i]->SetParent(form);
    memos[i]->SetBounds(10 + i * 440, 10, 420, 360);
    memos[i]->SetScrollBars(gui::TScrollStyle::ssVertical);
    memos[i]->SetText(text);
  }
  skin::TacSkinParams params;
  params.Control = memos[1];
  skin::TacEditWnd* adapter =
      skin::NewAdapter<skin::TacEditWnd>(memos[1]->Handle(), nullptr, &manager, params, true);
  Pump();

  std::vector<double> plain, skinned;
  for (int r = 0; r < rounds; ++r) {
    for (int i = 0; i < 2; ++i) {
      memos[i]->SetText(text);
      Pump();
      (i == 0 ? plain : skinned).push_back(AppendRound(*memos[i]));
    }
  }
  const double p = Median(plain), s = Median(skinned);
  std::printf("rounds                                      %d\n", rounds);
  std::printf("100 lines appended to the unskinned memo    %.3f ms\n", p * 1e3);
  std::printf("100 lines appended to the skinned memo      %.3f ms\n", s * 1e3);
  std::printf("skinned / unskinned                         %.2f\n", s / p);
  std::printf("skinned memo shows the skin's bar            %s\n",
              adapter->VertBar && adapter->VertBar->Visible && adapter->SkinData->SkinIndex >= 0 ? "yes" : "no");
  skin::FreeAdapter(adapter);
  gui::Free(form);
  Pump();
  return 0;
}
