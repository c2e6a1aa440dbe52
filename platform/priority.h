#pragma once
// The process-priority seam: SetPriorityClass on the program's own process (GetCurrentProcess).
#include <cstdint>
#include <vector>

namespace platform {

// The Win32 priority-class values (NORMAL_PRIORITY_CLASS, REALTIME_PRIORITY_CLASS).
constexpr uint32_t kNormalPriorityClass = 0x20;
constexpr uint32_t kRealtimePriorityClass = 0x100;

class ProcessPriority {
 public:
  virtual ~ProcessPriority() = default;
  // Sets the priority class of the current process; false when the system refuses.
  virtual bool setPriorityClass(uint32_t priorityClass) = 0;
};

// Windows: SetPriorityClass(GetCurrentProcess(), class). Natively the class is only remembered: raising a
// process to real time needs privileges that a native tool has no business asking for.
ProcessPriority& systemProcessPriority();

// A priority seam that records the classes it is asked for (tests).
class RecordingPriority final : public ProcessPriority {
 public:
  bool setPriorityClass(uint32_t priorityClass) override {
    calls.push_back(priorityClass);
    current = priorityClass;
    return true;
  }
  uint32_t current = kNormalPriorityClass;
  std::vector<uint32_t> calls;
};

}  // namespace platform
