// State-change cross-fades of a graphic control, tick by tick: the factor of every step,
// an animation reversed half way, a control that cannot repaint its cache, the switches that stop animations,
// and which events animate.
#include <gtest/gtest.h>

#include <vector>

#include "gui/gui.h"
#include "skin/data/scommondata.h"
#include "skin/painters/acanimation.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/painters/painter_services.h"
#include "skin/pixels/pixel_helpers.h"
#include "tests/skin_painters/painters_fixture.h"

namespace {

using skin::TsCommonData;

// A graphic control with skin data: it paints its cache in the colour of its state when asked to update it, and
// records the frame it would show on every repaint.
class ProbeControl : public gui::TGraphicControl {
 public:
  ProbeControl(skin::TsSkinManager& manager, int32_t section) : gui::TGraphicControl(nullptr) {
    SetBounds(0, 0, 20, 10);
    data.OwnerControl = this;
    data.OwnerObject = this;
    data.FSkinManager = &manager;
    data.SkinIndex = section;
    data.RepaintBlocked = 0;
    data.CacheBmp = std::make_unique<skin::Bitmap>(20, 10, skin::pf32bit);
    Paint(colour);
  }
  void Paint(uint32_t pixel) { skin::FillRectBitmap32(*data.CacheBmp, skin::TRect{0, 0, 20, 10}, skin::SwapRedBlue(pixel & 0xFFFFFF), int(pixel >> 24)); }

  TsCommonData data;
  uint32_t colour = 0xFF000000u;  // the state the next cache update paints
  intptr_t updateAnswer = 0;
  std::vector<uint32_t> frames;

 protected:
  void WndProc(gui::TMessage& m) override {
    if (m.Msg == skin::library_command::Message) {
      switch (HIWORD(m.WParam)) {
        case skin::library_command::UpdateCache:
          Paint(colour);
          m.Result = updateAnswer;
          return;
        case skin::library_command::Repaint:
          if (data.AnimTimer != nullptr && data.AnimTimer->Frame)
            frames.push_back(skin::GetPixel32(*data.AnimTimer->Frame, 5, 5));
          return;
        default:
          return;
      }
    }
    gui::TGraphicControl::WndProc(m);
  }
};

class ChangeAnimationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    before = skin::ledger::Take();
    control = std::make_unique<ProbeControl>(skin.manager, skin.button);
  }
  void TearDown() override {
    control.reset();
    EXPECT_EQ(skin::ledger::Difference(before, skin::ledger::Take()), "");
  }
  // n ticks of the control's animation timer (its own 12 ms timer is exercised by the timer's tests).
  void Ticks(int n) {
    for (int i = 0; i < n; ++i)
      if (control->data.AnimTimer != nullptr) control->data.AnimTimer->Tick();
  }
  skin::test::PaintersFixture skin;
  std::unique_ptr<ProbeControl> control;
  skin::ledger::Snapshot before;
};

// The weight of the old picture over 11 steps, 255 - round(255 x step / 11), worked out by hand.
constexpr int kFactors[12] = {255, 232, 209, 185, 162, 139, 116, 93, 70, 46, 23, 0};

uint32_t Mixed(uint32_t oldChannel, uint32_t newChannel, int a) { return (oldChannel * a + newChannel * (256 - a)) >> 8; }

TEST_F(ChangeAnimationTest, ElevenStepsCrossFadeFromTheOldPictureToTheNewOne) {
  control->colour = 0xFFFFFFFFu;  // the hot look: white
  skin::StartChangeAnimation(control->data, 1, &skin::ChangeAnimationStep, false, false, true);
  ASSERT_NE(control->data.AnimTimer, nullptr);
  EXPECT_EQ(control->data.AnimTimer->StepCount, 11);
  EXPECT_EQ(control->data.Animating, 0) << "only during the set-up";
  Ticks(13);
  ASSERT_EQ(control->frames.size(), 12u) << "the first frame at once, then one per tick";
  for (int step = 0; step <= 11; ++step) {
    const uint32_t c = Mixed(0, 255, kFactors[step]), a = Mixed(255, 255, kFactors[step]);
    EXPECT_EQ(control->frames[size_t(step)], skin::MakePixel(c, c, c, a)) << "step " << step;
  }
  EXPECT_FALSE(skin::CommonDataAnimationRunning(control->data)) << "off once the steps are used up";
}

TEST_F(ChangeAnimationTest, AChangeHalfWayReversesFromTheFrameOnScreen) {
  control->colour = 0xFFFFFFFFu;
  skin::StartChangeAnimation(control->data, 1, &skin::ChangeAnimationStep, false, false, true);
  Ticks(4);
  ASSERT_EQ(control->frames.size(), 5u);
  const uint32_t shown = control->frames.back();
  // The same state again does nothing.
  skin::StartChangeAnimation(control->data, 1, &skin::ChangeAnimationStep, false, false, true);
  EXPECT_EQ(control->frames.size(), 5u);

  control->colour = 0xFF000000u;  // back to normal
  control->frames.clear();
  skin::StartChangeAnimation(control->data, 0, &skin::ChangeAnimationStep, false, false, true);
  ASSERT_NE(control->data.AnimTimer, nullptr);
  EXPECT_EQ(control->data.AnimTimer->StepCount, 4) << "the 4 steps run so far";
  Ticks(6);
  ASSERT_EQ(control->frames.size(), 5u);
  for (int shift = 0; shift < 32; shift += 8)  // the old picture keeps 255 / 256 of itself at the first step
    EXPECT_NEAR(int(control->frames.front() >> shift & 0xFF), int(shown >> shift & 0xFF), 1) << "starts from the frame on screen";
  EXPECT_EQ(control->frames.back(), 0xFF000000u) << "ends on the normal look";
  EXPECT_FALSE(skin::CommonDataAnimationRunning(control->data));
}

TEST_F(ChangeAnimationTest, WhatKeepsAChangeFromAnimating) {
  // A control that cannot repaint its cache gets no running timer.
  control->updateAnswer = 1;
  control->colour = 0xFFFFFFFFu;
  skin::StartChangeAnimation(control->data, 1, &skin::ChangeAnimationStep, false, false, true);
  ASSERT_NE(control->data.AnimTimer, nullptr);
  EXPECT_FALSE(control->data.AnimTimer->Enabled());
  Ticks(3);
  EXPECT_TRUE(control->frames.empty());
  skin::CommonDataStopAnimation(control->data);
  EXPECT_EQ(control->data.AnimTimer, nullptr);

  // Animations off, locked, or not asked for: the control is repainted at once and no timer is made.
  control->updateAnswer = 0;
  for (int c = 0; c < 3; ++c) {
    skin::AnimationsOff() = c == 0;
    skin::AnimationsLocked() = c == 1;
    control->data.BGChanged = false;
    skin::StartChangeAnimation(control->data, 1, &skin::ChangeAnimationStep, false, false, c != 2);
    EXPECT_EQ(control->data.AnimTimer, nullptr) << c;
    EXPECT_TRUE(control->data.BGChanged) << "repainted, case " << c;
  }
  skin::AnimationsOff() = 0;
  skin::AnimationsLocked() = 0;

  // Fast: 5 steps.
  skin::StartChangeAnimation(control->data, 1, &skin::ChangeAnimationStep, false, true, true);
  ASSERT_NE(control->data.AnimTimer, nullptr);
  EXPECT_EQ(control->data.AnimTimer->StepCount, 5);
  Ticks(7);
  EXPECT_EQ(control->frames.size(), 6u);
}

TEST(AnimatedEvents, ControlEventsOrTheManagersButtonEvents) {
  skin::test::PaintersFixture skin;
  skin.manager.AnimEffects.Buttons.Events = skin::beMouseEnter | skin::beMouseUp;
  using skin::AnimatEventSet;
  const struct {
    skin::TacAnimatEvent event;
    skin::TacAnimatEvents control;
    bool want;
  } cases[] = {
      {skin::aeMouseDown, AnimatEventSet(skin::aeMouseDown), true},
      {skin::aeMouseDown, AnimatEventSet(skin::aeMouseUp), false},
      {skin::aeMouseEnter, AnimatEventSet(skin::aeGlobalDef), true},
      {skin::aeMouseLeave, AnimatEventSet(skin::aeGlobalDef), false},
      {skin::aeMouseUp, AnimatEventSet(skin::aeGlobalDef), true},
      {skin::aeMouseDown, AnimatEventSet(skin::aeGlobalDef), false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(skin::IsAnimatedEvent(c.event, c.control, &skin.manager), c.want) << int(c.event) << " " << int(c.control);
}

}  // namespace
