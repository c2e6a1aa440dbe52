// What a message loop does when the system fails to hand over its next message.
#ifndef GUI_MESSAGE_WAITS_H
#define GUI_MESSAGE_WAITS_H

#include <cstdint>

namespace gui {

// The failures of a thread's waits for its next message (GetMessage's -1). One that comes alone (under Wine a
// message sent from another process with more data than it can receive) loses that message and ends nothing: the
// wait goes on. Failures that come back to back are spaced out, more and more up to 50 ms, so that one that repeats
// does not take a whole processor; once they have come back to back, without a message handed over between them,
// for kGiveUpMs and at least kGiveUpCount times, the system no longer hands the thread its messages and the loop
// gives up.
class FailedMessageWaits {
 public:
  static constexpr uint32_t kGiveUpMs = 5000;
  static constexpr uint32_t kGiveUpCount = 20;
  static constexpr uint32_t kLongestPauseMs = 50;

  // A failed wait at `now` (milliseconds, wrapping): the pause before the next wait, or -1 when the loop gives up.
  int Failed(uint32_t now);
  // A message was handed over: the failures before it were passing ones.
  void Succeeded() { count_ = 0; }
  uint32_t Count() const { return count_; }

 private:
  uint32_t count_ = 0;
  uint32_t first_ = 0;  // when the failures of this run began
};

}  // namespace gui
#endif
