#pragma once
// When a window adapter may be freed. An adapter's window procedure can be several frames deep in the stack
// (a message it passes on makes the window send another, which comes back through the same adapter) when
// something decides that the adapter goes: detaching happens at once, so that no new message reaches it, but the
// object itself is freed only from a deferred list, emptied when no adapter procedure is running any more.
//
// Every adapter also carries a marker (in builds with assertions) that its destructor poisons; the shared window
// procedure checks it before it hands a message to an adapter, so that a freed adapter reached through a stale
// link is reported and passed over instead of being called.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace skin {

#if !defined(NDEBUG) || defined(SKIN_ADAPTER_MARKERS)
#define SKIN_ADAPTER_MARKER 1
#else
#define SKIN_ADAPTER_MARKER 0
#endif

// The base of every object that the deferred list frees.
class DeferredFree {
 public:
  DeferredFree() = default;
  virtual ~DeferredFree();
  DeferredFree(const DeferredFree&) = delete;
  DeferredFree& operator=(const DeferredFree&) = delete;

#if SKIN_ADAPTER_MARKER
  static constexpr uint32_t kAlive = 0xADA97E12u;
  static constexpr uint32_t kDead = 0xDEADADA9u;
#endif

  // False once the destructor ran (always true in builds without markers).
  bool MarkerAlive() const noexcept {
#if SKIN_ADAPTER_MARKER
    return marker_ == kAlive;
#else
    return true;
#endif
  }

 private:
#if SKIN_ADAPTER_MARKER
  volatile uint32_t marker_ = kAlive;
#endif
};

// Held while an adapter's window procedure runs (by the shared window procedure and by the method that stands
// in a control's message procedure). Leaving the outermost one empties the deferred list.
class AdapterProcScope {
 public:
  AdapterProcScope() noexcept;
  ~AdapterProcScope();
  AdapterProcScope(const AdapterProcScope&) = delete;
  AdapterProcScope& operator=(const AdapterProcScope&) = delete;
};

// The number of adapter procedures on the stack now.
int AdapterProcDepth() noexcept;
// Frees the object when no adapter procedure runs, else puts it on the deferred list. Null is ignored; an object
// already listed is not listed twice.
void FreeDeferred(DeferredFree* object);
// Frees the listed objects now (only when no adapter procedure runs; nothing otherwise). Objects freed by the
// destructors of listed ones are freed in the same call.
void FlushDeferredFrees();
// Objects waiting on the list.
size_t PendingDeferredFrees() noexcept;

// Messages that reached a poisoned adapter (its marker said it was freed) and were passed over; 0 in a sound run.
// The shared window procedure counts them and reports each one to the debugger.
uint64_t PoisonedAdapterCalls() noexcept;
void CountPoisonedAdapterCall() noexcept;

}  // namespace skin
