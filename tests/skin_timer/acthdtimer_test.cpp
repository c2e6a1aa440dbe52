// The animation timer on the application's simulated clock: when its inner timer runs, how a stepped animation
// counts its steps (fresh, interrupted, fast), and what a step may do to the timer that runs it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "gui/gui.h"
#include "platform/clock.h"
#include "skin/timer/acthdtimer.h"
#include "skin/pixels/gdi_ledger.h"

namespace {

using skin::TacThreadedTimer;

class AnimTimerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gui::Application->SetClock(&clock);
    steps.clear();
    ledgerBefore = skin::ledger::Take();
  }
  void TearDown() override {
    EXPECT_EQ(skin::ledger::Difference(ledgerBefore, skin::ledger::Take()), "");
    gui::Application->SetClock(nullptr);
  }
  // Advances the clock tick by tick, letting the timers fire.
  void RunFor(uint32_t ms) {
    for (uint32_t t = 0; t < ms; ++t) {
      clock.advance(1);
      gui::Application->ProcessTimers();
    }
  }
  platform::SimulatedClock clock{5000};
  skin::ledger::Snapshot ledgerBefore;
  static inline std::vector<int32_t> steps;
  static bool Record(skin::TsCommonData*, int32_t step) {
    steps.push_back(step);
    return true;
  }
};

TEST_F(AnimTimerTest, InnerTimerRunsOnlyWithIntervalEnabledAndAHandler) {
  TacThreadedTimer timer(nullptr);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 1000u);
  EXPECT_EQ(timer.ThreadPriority(), skin::tpNormal);
  EXPECT_EQ(timer.State, -1);
  EXPECT_EQ(timer.StepCount, 11);
  EXPECT_FALSE(timer.Running()) << "no handler yet";
  int fired = 0;
  timer.SetOnTimer([&](gui::TObject*) { ++fired; });
  EXPECT_TRUE(timer.Running());
  timer.SetInterval(0);
  EXPECT_FALSE(timer.Running()) << "interval 0";
  timer.SetInterval(20);
  RunFor(61);
  EXPECT_EQ(fired, 3);
  timer.SetEnabled(false);
  RunFor(40);
  EXPECT_EQ(fired, 3);

  TacThreadedTimer owned(nullptr, &fired, true);
  EXPECT_FALSE(owned.Enabled());
  EXPECT_EQ(owned.OwnerObject, &fired);
  EXPECT_TRUE(bool(owned.OnTimer())) << "the own step method";
}

TEST_F(AnimTimerTest, StepCountsOfFreshInterruptedAndFastAnimations) {
  struct Case {
    const char* name;
    bool hasFrame;
    int32_t oldCount, startStep;
    bool fast;
    int32_t wantStep, wantCount;
  };
  const Case cases[] = {
      {"fresh", false, 11, 0, false, 0, 11},
      {"fresh, continuing a glow fade at step 4", false, 11, 7, false, 7, 11},
      {"fresh, mirroring a fade that had not begun", false, 11, 11, false, 10, 11},
      {"fresh, fast", false, 11, 0, true, 0, 5},
      {"interrupted after 4 of 11 steps", true, 11, 7, false, 0, 4},
      {"interrupted after 2 of 5 fast steps", true, 5, 9, false, 0, 4},
      {"interrupted before its first step", true, 11, 11, false, 0, 1},
      {"interrupted with a count of 0", true, 0, 3, false, 0, 11},
      {"interrupted, fast, before its first step", true, 11, 11, true, 0, 1},
  };
  for (const Case& c : cases) {
    TacThreadedTimer* timer = nullptr;
    EXPECT_EQ(skin::AnimTimerStepOrCreate(timer, nullptr, true), 0) << c.name;
    ASSERT_NE(timer, nullptr);
    timer->StepCount = c.oldCount;
    if (c.hasFrame) timer->Frame = std::make_unique<skin::Bitmap>(4, 3);
    skin::AnimTimerStart(*timer, nullptr, c.startStep, c.fast, 1, &Record);
    EXPECT_EQ(timer->Step, c.wantStep) << c.name;
    EXPECT_EQ(timer->StepCount, c.wantCount) << c.name;
    EXPECT_EQ(timer->State, 1) << c.name;
    EXPECT_EQ(timer->Interval(), 12u) << c.name;
    if (c.hasFrame) {
      ASSERT_TRUE(timer->OldImage) << c.name;
      EXPECT_EQ(timer->OldImage->Width(), 4);
      EXPECT_EQ(timer->OldImage->Height(), 3);
    }
    skin::ReleaseAnimTimer(timer);
    EXPECT_EQ(timer, nullptr);
  }
}

TEST_F(AnimTimerTest, AnElevenStepAnimationTicksEvery12msThenStops) {
  TacThreadedTimer* timer = nullptr;
  skin::AnimTimerStepOrCreate(timer, nullptr, true);
  skin::AnimTimerStart(*timer, nullptr, 0, false, 1, &Record);
  timer->SetEnabled(true);
  EXPECT_EQ(skin::AnimTimerStepOrCreate(timer, nullptr, true), 11);
  RunFor(12 * 5);
  EXPECT_EQ(steps, (std::vector<int32_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(skin::AnimTimerStepOrCreate(timer, nullptr, true), 6) << "steps left to mirror";
  EXPECT_EQ(skin::AnimTimerStepOrCreate(timer, nullptr, false), 5) << "steps run";
  RunFor(12 * 10);
  EXPECT_EQ(steps.size(), 11u);
  EXPECT_EQ(steps.back(), 11);
  EXPECT_FALSE(timer->Running()) << "switched off once the steps are used up";
  skin::ReleaseAnimTimer(timer);
}

// A step that frees the timer running it (the end of a glow fade): nothing of the freed timer is touched
// afterwards (AddressSanitizer watches), from a tick as from the own step method.
TacThreadedTimer* selfFreeing = nullptr;
int selfFreeingCalls = 0;
bool FreeOwnTimer(skin::TsCommonData*, int32_t step) {
  ++selfFreeingCalls;
  if (step >= 3) {
    skin::ReleaseAnimTimer(selfFreeing);
    return false;
  }
  return true;
}

TEST_F(AnimTimerTest, AStepMayFreeItsOwnTimer) {
  selfFreeingCalls = 0;
  skin::AnimTimerStepOrCreate(selfFreeing, nullptr, true);
  skin::AnimTimerStart(*selfFreeing, nullptr, 0, false, 2, &FreeOwnTimer);
  selfFreeing->SetEnabled(true);
  RunFor(12 * 6);
  EXPECT_EQ(selfFreeing, nullptr);
  EXPECT_EQ(selfFreeingCalls, 3);

  skin::AnimTimerStepOrCreate(selfFreeing, nullptr, true);
  skin::AnimTimerStart(*selfFreeing, nullptr, 0, false, 2, &FreeOwnTimer);
  selfFreeing->Step = 5;
  selfFreeing->SetEnabled(true);
  selfFreeing->OwnStep();
  EXPECT_EQ(selfFreeing, nullptr);
}

// A message loop nested in a step does not run a second step.
TacThreadedTimer* nestingTimer = nullptr;
int nestedCalls = 0;
bool NestedTick(skin::TsCommonData*, int32_t) {
  ++nestedCalls;
  nestingTimer->Tick();
  return true;
}

TEST_F(AnimTimerTest, ABusyTimerDoesNotStepTwice) {
  nestedCalls = 0;
  skin::AnimTimerStepOrCreate(nestingTimer, nullptr, true);
  skin::AnimTimerStart(*nestingTimer, nullptr, 0, false, 1, &NestedTick);
  nestingTimer->SetEnabled(true);
  nestingTimer->Tick();
  EXPECT_EQ(nestedCalls, 1);
  EXPECT_EQ(nestingTimer->Busy, 0);
  skin::ReleaseAnimTimer(nestingTimer);
}

TEST_F(AnimTimerTest, OwnStepStopsOnAFalseAnswer) {
  TacThreadedTimer* timer = nullptr;
  skin::AnimTimerStepOrCreate(timer, nullptr, true);
  skin::AnimTimerStart(*timer, nullptr, 0, false, 3, [](skin::TsCommonData*, int32_t) { return false; });
  timer->SetEnabled(true);
  timer->OwnStep();
  EXPECT_FALSE(timer->Enabled());
  EXPECT_EQ(timer->State, -1);
  skin::ReleaseAnimTimer(timer);
}

// The application terminates only once per process: checked in a child process.
TEST(AnimTimerTerminating, ATimerMadeWhileTerminatingStaysOffAndIgnoresItsSetters) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        gui::Application->Terminate();
        const auto before = skin::ledger::Take();
        TacThreadedTimer timer(nullptr);
        timer.SetEnabled(true);
        timer.SetInterval(12);
        timer.SetOnTimer([](gui::TObject*) {});
        const bool ok = !timer.Enabled() && !timer.HasInnerTimer() && !timer.Running() &&
                        timer.Interval() == 0 && !timer.OnTimer() &&
                        skin::ledger::Difference(before, skin::ledger::Take()).empty();
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
