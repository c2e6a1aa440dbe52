#include "gui/message_waits.h"

namespace gui {

int FailedMessageWaits::Failed(uint32_t now) {
  if (count_ == 0) first_ = now;
  ++count_;
  if (count_ >= kGiveUpCount && now - first_ >= kGiveUpMs) return -1;
  // The first failure is tried again at once; each one after it waits a millisecond more.
  const uint32_t pause = count_ - 1;
  return int(pause < kLongestPauseMs ? pause : kLongestPauseMs);
}

}  // namespace gui
