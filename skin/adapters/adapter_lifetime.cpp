#include "skin/adapters/adapter_lifetime.h"

#include <algorithm>
#include <atomic>
#include <vector>

namespace skin {

namespace {

// Window procedures run on the user-interface thread only; these are that thread's.
int g_depth = 0;
std::vector<DeferredFree*>& Pending() {
  static std::vector<DeferredFree*> list;
  return list;
}
bool g_flushing = false;
std::atomic<uint64_t> g_poisoned{0};

}  // namespace

DeferredFree::~DeferredFree() {
#if SKIN_ADAPTER_MARKER
  marker_ = kDead;
#endif
}

AdapterProcScope::AdapterProcScope() noexcept { ++g_depth; }

AdapterProcScope::~AdapterProcScope() {
  if (--g_depth == 0 && !Pending().empty()) FlushDeferredFrees();
}

int AdapterProcDepth() noexcept { return g_depth; }

void FreeDeferred(DeferredFree* object) {
  if (object == nullptr) return;
  std::vector<DeferredFree*>& list = Pending();
  if (std::find(list.begin(), list.end(), object) != list.end()) return;
  list.push_back(object);
  if (g_depth == 0) FlushDeferredFrees();
}

void FlushDeferredFrees() {
  if (g_depth != 0 || g_flushing) return;
  g_flushing = true;
  std::vector<DeferredFree*>& list = Pending();
  // A destructor may list further objects: take them in turn until the list stays empty.
  while (!list.empty()) {
    DeferredFree* object = list.front();
    list.erase(list.begin());
    delete object;
  }
  g_flushing = false;
}

size_t PendingDeferredFrees() noexcept { return Pending().size(); }

uint64_t PoisonedAdapterCalls() noexcept { return g_poisoned.load(std::memory_order_relaxed); }
void CountPoisonedAdapterCall() noexcept { g_poisoned.fetch_add(1, std::memory_order_relaxed); }

}  // namespace skin
