// The frame schedule of the show and hide animations, and the hide timer run on the application's simulated clock
// with a layered output that records every picture.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "gui/forms.h"
#include "platform/clock.h"
#include "skin/manager/sanimations.h"
#include "skin/data/scommondata.h"
#include "skin/manager/skinchange.h"
#include "skin/pixels/pixel_helpers.h"

namespace {

using namespace skin;

struct Recorded {
  HWND wnd;
  uint8_t alpha;
  uint32_t centre;  // the picture's centre pixel
  uint32_t corner;  // its top-left pixel
};

struct RecordingOutput : TacLayeredOutput {
  std::vector<Recorded> pushes;
  void Push(HWND Wnd, const Bitmap& Frame, uint8_t Alpha) override {
    pushes.push_back(Recorded{Wnd, Alpha, GetPixel32(Frame, Frame.Width() / 2, Frame.Height() / 2),
                              GetPixel32(Frame, 0, 0)});
  }
};

struct OutputScope {
  RecordingOutput output;
  TacLayeredOutput* previous;
  OutputScope() : previous(SetLayeredOutput(&output)) {}
  ~OutputScope() { SetLayeredOutput(previous); }
};

struct ClockScope {
  platform::SimulatedClock clock;
  ClockScope() { gui::Application->SetClock(&clock); }
  ~ClockScope() { gui::Application->SetClock(nullptr); }
  void Tick() {
    clock.advance(AnimFrameInterval);
    gui::Application->ProcessTimers();
  }
};

[[maybe_unused]] HWND FakeWindow(uintptr_t n) { return reinterpret_cast<HWND>(n); }

std::unique_ptr<Bitmap> Image(int32_t w, int32_t h) {
  auto b = std::make_unique<Bitmap>(w, h, pf32bit);
  FillRectBitmap32(*b, TRect{0, 0, w, h}, 0x3366CC, 255);
  return b;
}

TEST(AnimationSchedule, FramesAlphasAndAeroGeometry) {
  const TSize size{160, 96};
  struct Row {
    uint16_t time;
    size_t hideFrames, showFrames;
  };
  for (const Row& r : {Row{0, 0, 1}, Row{11, 0, 1}, Row{12, 2, 2}, Row{120, 11, 11}, Row{130, 11, 11}}) {
    SCOPED_TRACE(r.time);
    EXPECT_EQ(HideAnimFrames(size, r.time, 255, true).size(), r.hideFrames);
    EXPECT_EQ(ShowAnimFrames(size, r.time, 255, false).size(), r.showFrames);
  }
  // Without frames a show is one picture at its full alpha.
  EXPECT_EQ(ShowAnimFrames(size, 0, 200, true)[0].Alpha, 200);
  EXPECT_EQ(ShowAnimFrames(size, 0, 200, true)[0].Rect, (TRect{0, 0, 160, 96}));

  // A hide of 120 ms: from full alpha and size down to alpha 0 at 3/4 of the size, centred.
  const std::vector<TacAnimFrame> hide = HideAnimFrames(size, 120, 255, true);
  EXPECT_EQ(hide.front().Alpha, 255);
  EXPECT_EQ(hide.front().Rect, (TRect{0, 0, 160, 96}));
  EXPECT_EQ(hide.back().Alpha, 0);
  EXPECT_EQ(hide.back().Rect, (TRect{20, 12, 140, 84}));
  for (size_t i = 1; i < hide.size(); ++i) {
    EXPECT_LE(hide[i].Alpha, hide[i - 1].Alpha);
    EXPECT_GE(hide[i].Rect.Left, hide[i - 1].Rect.Left);
    EXPECT_EQ(hide[i].Rect.Left + hide[i].Rect.Right, 160);  // centred horizontally throughout
  }
  // A fading hide keeps the whole size.
  EXPECT_EQ(HideAnimFrames(size, 120, 255, false).back().Rect, (TRect{0, 0, 160, 96}));
  // A show is the hide's geometry backwards, rising to its maximum alpha; a dialog's alpha step is Max / (n + 1).
  const std::vector<TacAnimFrame> show = ShowAnimFrames(size, 120, 255, true);
  EXPECT_EQ(show.front().Alpha, 0);
  EXPECT_EQ(show.front().Rect, (TRect{20, 12, 140, 84}));
  EXPECT_EQ(show.back().Alpha, 255);
  EXPECT_EQ(show.back().Rect, (TRect{0, 0, 160, 96}));
  EXPECT_EQ(ShowAnimFrames(size, 120, 255, false, true).back().Alpha, 232);  // round(10 x 255 / 11)
  EXPECT_EQ(ShowAnimFrames(size, 120, 128, false).back().Alpha, 128);

  // An aero picture: the image stretched into the rectangle of a transparent picture.
  Bitmap frame;
  const std::unique_ptr<Bitmap> image = Image(160, 96);
  ComposeAnimFrame(frame, *image, hide.back(), true);
  EXPECT_EQ(GetPixel32(frame, 10, 10), 0u);
  EXPECT_EQ(GetPixel32(frame, 80, 48), GetPixel32(*image, 80, 48));
  ComposeAnimFrame(frame, *image, hide.back(), false);
  EXPECT_EQ(GetPixel32(frame, 10, 10), GetPixel32(*image, 10, 10));
}

#ifndef _WIN32
// The application's clock drives the timers natively; the Windows build's timers are the system's (the Windows
// tests run the same hide on real windows).
TEST(AnimationSchedule, LatePushesSkipToTheFrameDueButNeverPastTheLast) {
  struct Row {
    size_t current, count;
    uint32_t elapsed;
    size_t next;
  };
  for (const Row& r : {Row{0, 13, 0, 1}, Row{0, 13, 12, 1}, Row{1, 13, 17, 2},  // on time: the next one
                       Row{1, 13, 40, 3}, Row{3, 13, 100, 8},                     // behind: the one due by then
                       Row{5, 13, 1000, 12}, Row{11, 13, 1000, 12},               // far behind: the last one
                       Row{12, 13, 1000, 13}, Row{0, 1, 0, 1}}) {                 // after the last: done
    SCOPED_TRACE(testing::Message() << r.current << " of " << r.count << " at " << r.elapsed << " ms");
    EXPECT_EQ(NextAnimFrame(r.current, r.count, r.elapsed), r.next);
  }
}

TEST(HideAnimation, RunsOnTheSharedTimerAndFreesWhatItOwns) {
  OutputScope out;
  ClockScope clock;
  int freed = 0;
  // A hide of 120 ms: the first picture at once, one per tick, the end at the eleventh tick.
  AnimHideWindow(TacAnimWindow{FakeWindow(0x10), [&] { ++freed; }}, Image(80, 40), 120, nullptr, true, 255);
  ASSERT_NE(HideAnimTimer(), nullptr);
  EXPECT_EQ(out.output.pushes.size(), 1u);
  for (int tick = 1; tick <= 10; ++tick) clock.Tick();
  EXPECT_EQ(out.output.pushes.size(), 11u);
  EXPECT_TRUE(HideAnimTimer()->HoldsWindow());
  EXPECT_EQ(freed, 0);
  clock.Tick();
  EXPECT_FALSE(HideAnimTimer()->HoldsWindow());
  EXPECT_EQ(freed, 1);
  EXPECT_EQ(out.output.pushes.size(), 11u);
  EXPECT_EQ(out.output.pushes.front().alpha, 255);
  EXPECT_EQ(out.output.pushes.back().alpha, 0);
  EXPECT_EQ(out.output.pushes.back().corner, 0u);  // the aero picture's margin is transparent
  EXPECT_EQ(AnimationInProgress(), 0);
  clock.Tick();  // nothing more after the end
  EXPECT_EQ(out.output.pushes.size(), 11u);

  // A second hide finishes the first (its window freed) before it takes its own.
  int firstFreed = 0, secondFreed = 0;
  AnimHideWindow(TacAnimWindow{FakeWindow(0x20), [&] { ++firstFreed; }}, Image(80, 40), 120, nullptr, false, 255);
  clock.Tick();
  AnimHideWindow(TacAnimWindow{FakeWindow(0x30), [&] { ++secondFreed; }}, Image(80, 40), 60, nullptr, false, 255);
  EXPECT_EQ(firstFreed, 1);
  EXPECT_EQ(secondFreed, 0);
  for (int tick = 0; tick < 6; ++tick) clock.Tick();
  EXPECT_EQ(secondFreed, 1);
  EXPECT_EQ(out.output.pushes.back().wnd, FakeWindow(0x30));

  // Without frames the window and the image go at once.
  int quick = 0;
  const size_t before = out.output.pushes.size();
  AnimHideWindow(TacAnimWindow{FakeWindow(0x40), [&] { ++quick; }}, Image(80, 40), 11, nullptr, true, 255);
  EXPECT_EQ(quick, 1);
  EXPECT_EQ(out.output.pushes.size(), before);
  EXPECT_FALSE(HideAnimTimer()->HoldsWindow());
}

// A dialog whose border window the hide takes over: the adapter's border form goes at once, the window only when
// the hide has ended.
struct FakeDialog : TacAnimatedDialog {
  TsCommonData data;
  int windowFreed = 0, borderFormFreed = 0, windowFreedWhenFormWent = -1;
  HWND Window() const override { return FakeWindow(0x50); }
  TsCommonData& SkinData() override { return data; }
  TacAnimWindow TakeAnimationWindow() override { return TacAnimWindow{FakeWindow(0x60), [this] { ++windowFreed; }}; }
  void FreeBorderForm() override {
    ++borderFormFreed;
    windowFreedWhenFormWent = windowFreed;
  }
};

TEST(HideAnimation, ADialogsHideOwnsTheWindowItRunsOn) {
  OutputScope out;
  ClockScope clock;
  PortableSkinSystem system;
  TsSkinManager manager(system);
  ASSERT_EQ(DefaultManager(), &manager);
  manager.AnimEffects.DialogHide.Time = 60;
  FakeDialog dialog;
  dialog.data.CacheBmp = Image(40, 30);
  AnimHideDialog(dialog);
  EXPECT_EQ(dialog.borderFormFreed, 1);
  EXPECT_EQ(dialog.windowFreedWhenFormWent, 0);
  EXPECT_EQ(AnimationInProgress(), 0);
  for (int tick = 0; tick < 6; ++tick) clock.Tick();
  EXPECT_EQ(dialog.windowFreed, 1);
  EXPECT_EQ(out.output.pushes.size(), 6u);
  EXPECT_EQ(out.output.pushes.front().wnd, FakeWindow(0x60));
}
#endif

TEST(AnimationHelpers, AlphaRectsAndPartBlends) {
  Bitmap bmp(10, 10, pf32bit);
  FillRectBitmap32(bmp, TRect{0, 0, 10, 10}, 0xFFFFFF, 255);
  ClearAlphaRects({TRect{0, 0, 2, 1}, TRect{9, 9, 10, 10}}, bmp);
  EXPECT_EQ(GetPixel32(bmp, 1, 0), 0u);
  EXPECT_EQ(GetPixel32(bmp, 9, 9), 0u);
  EXPECT_EQ(GetPixel32(bmp, 5, 5), 0xFFFFFFFFu);
  // A blend of a part: weight (a x Alpha) shr 8; transparent source pixels skipped; negative places clipped.
  Bitmap src(4, 4, pf32bit);
  FillRectBitmap32(src, TRect{0, 0, 4, 4}, 0x000000, 255);
  SetPixel32(src, 2, 1, 0);  // alpha 0: skipped
  BlendBitmapPart(bmp, TRect{0, 0, 4, 4}, src, 128, TPoint{-1, 4});
  EXPECT_EQ(GetPixel32(bmp, 0, 4) & 0xFFFFFF, MakePixel(127, 127, 127, 0));  // (255 - 127) x 255 shr 8
  EXPECT_EQ(GetPixel32(bmp, 1, 5), 0xFFFFFFFFu);  // under the transparent pixel
  EXPECT_EQ(GetPixel32(bmp, 3, 4), 0xFFFFFFFFu);  // beyond the source's three columns left
  // The hint's fade: only for short texts with both system settings on.
  EXPECT_TRUE(HintUsesAnimateWindow(std::string(99, 'x'), true, true));
  EXPECT_FALSE(HintUsesAnimateWindow(std::string(100, 'x'), true, true));
  EXPECT_FALSE(HintUsesAnimateWindow("short", true, false));
  EXPECT_EQ(ShowHintWindow("", TPoint{0, 0}), nullptr);
}

}  // namespace
