// When adapters are freed: at once when no adapter procedure runs, else from the deferred list when the outermost
// procedure returns; frees asked for by the destructors of freed objects are taken in the same flush.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <vector>

#include "skin/adapters/adapter_lifetime.h"

namespace {

using namespace skin;

struct Tracked : DeferredFree {
  Tracked(std::vector<int>& log, int id, Tracked* next = nullptr) : log_(log), id_(id), next_(next) {}
  ~Tracked() override {
    log_.push_back(id_);
    FreeDeferred(next_);  // an object that frees another one on its way out
  }
  std::vector<int>& log_;
  int id_;
  Tracked* next_;
};

TEST(AdapterLifetime, FreedOnlyWhenNoAdapterProcedureRuns) {
  std::vector<int> log;
  FreeDeferred(new Tracked(log, 1));
  EXPECT_EQ(log, (std::vector<int>{1}));  // nothing on the stack: at once

  {
    AdapterProcScope outer;
    {
      AdapterProcScope inner;  // a message that came back through an adapter
      auto* a = new Tracked(log, 2, new Tracked(log, 3));
      FreeDeferred(a);
      FreeDeferred(a);  // listed once
      EXPECT_EQ(PendingDeferredFrees(), 1u);
      FlushDeferredFrees();  // refused while a procedure runs
    }
    EXPECT_EQ(AdapterProcDepth(), 1);
    EXPECT_EQ(log.size(), 1u);
  }
  EXPECT_EQ(AdapterProcDepth(), 0);
  EXPECT_EQ(log, (std::vector<int>{1, 2, 3}));  // the destructor's own free is taken in the same flush
  EXPECT_EQ(PendingDeferredFrees(), 0u);
  FreeDeferred(nullptr);
}

#if SKIN_ADAPTER_MARKER
TEST(AdapterLifetime, TheMarkerIsPoisonedWhenTheObjectIsFreed) {
  std::vector<int> log;
  alignas(Tracked) unsigned char storage[sizeof(Tracked)];
  auto count = [&storage](uint32_t word) {
    int n = 0;
    for (size_t i = 0; i + sizeof word <= sizeof storage; ++i) n += std::memcmp(storage + i, &word, sizeof word) == 0;
    return n;
  };
  auto* t = new (storage) Tracked(log, 7);
  EXPECT_TRUE(t->MarkerAlive());
  EXPECT_EQ(count(DeferredFree::kAlive), 1);
  t->~Tracked();
  // What the shared window procedure would find through a stale link: the poisoned word, never the live one.
  EXPECT_EQ(count(DeferredFree::kAlive), 0);
  EXPECT_EQ(count(DeferredFree::kDead), 1);
}
#endif

}  // namespace
