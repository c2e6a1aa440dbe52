#include "skin/pixels/gdi_ledger.h"

#include <chrono>
#include <thread>

namespace skin::ledger {

namespace {
std::array<std::atomic<int64_t>, kKindCount> live{};
std::atomic<int> background{0};
}  // namespace

void BackgroundBegun() { background.fetch_add(1, std::memory_order_acq_rel); }
void BackgroundEnded() { background.fetch_sub(1, std::memory_order_acq_rel); }

const char* KindName(int kind) {
  static const char* const names[kKindCount] = {"Bitmap", "Brush",  "Pen",   "Font", "Region",
                                                "MemoryDC", "WindowDC", "Icon", "Timer", "Hook", "Window"};
  return kind >= 0 && kind < kKindCount ? names[kind] : "?";
}

Snapshot Take() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (background.load(std::memory_order_acquire) > 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  Snapshot s;
  for (int k = 0; k < kKindCount; ++k) s.Live[k] = live[k].load(std::memory_order_relaxed);
  return s;
}

std::string Difference(const Snapshot& before, const Snapshot& after) {
  std::string out;
  for (int k = 0; k < kKindCount; ++k) {
    if (before.Live[k] == after.Live[k]) continue;
    out += KindName(k);
    out += ": " + std::to_string(before.Live[k]) + " -> " + std::to_string(after.Live[k]) + "\n";
  }
  return out;
}

void Made(int kind) {
  if (kind >= 0 && kind < kKindCount) live[kind].fetch_add(1, std::memory_order_relaxed);
}

void Freed(int kind) {
  if (kind >= 0 && kind < kKindCount) live[kind].fetch_sub(1, std::memory_order_relaxed);
}

}  // namespace skin::ledger
