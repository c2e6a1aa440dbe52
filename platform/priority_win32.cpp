#include <windows.h>

#include "platform/priority.h"

namespace platform {
namespace {

class Win32Priority final : public ProcessPriority {
 public:
  bool setPriorityClass(uint32_t priorityClass) override {
    return ::SetPriorityClass(::GetCurrentProcess(), priorityClass) != 0;
  }
};

}  // namespace

ProcessPriority& systemProcessPriority() {
  static Win32Priority priority;
  return priority;
}

}  // namespace platform
