#include "platform/priority.h"

namespace platform {
namespace {

class RememberedPriority final : public ProcessPriority {
 public:
  bool setPriorityClass(uint32_t priorityClass) override {
    current_ = priorityClass;
    return true;
  }

 private:
  uint32_t current_ = kNormalPriorityClass;
};

}  // namespace

ProcessPriority& systemProcessPriority() {
  static RememberedPriority priority;
  return priority;
}

}  // namespace platform
