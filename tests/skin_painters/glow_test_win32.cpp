// Glow windows under Wine: the window's styles, its answer to hit tests and its place in the Z order, the fade-out
// on the animation timer, clearing, and the leak ledger with the thread's windows over many glows.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "gui/gui.h"
#include "skin/data/scommondata.h"
#include "skin/data/sskinmanager.h"
#include "skin/timer/acthdtimer.h"
#include "skin/painters/acanimation.h"
#include "skin/painters/acglow.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/pixel_helpers.h"
#include "tests/skin_painters/glow_fixture.h"
#include "tests/support/win_screen.h"

namespace skin {
namespace {

using testsupport::ThreadWindowCount;

// A form with panels whose skin data use the fixture's sections.
struct GlowScene {
  test::GlowFixture skin;
  gui::TForm* form = new gui::TForm(nullptr);
  std::vector<gui::TPanel*> panels;
  std::vector<std::unique_ptr<TsCommonData>> data;

  explicit GlowScene(int count = 1) {
    form->SetBounds(200, 150, 400, 260);
    for (int i = 0; i < count; ++i) {
      auto* panel = new gui::TPanel(form);
      panel->SetParent(form);
      panel->SetBounds(30 + 120 * (i % 3), 40 + 80 * (i / 3), 90, 40);
      panels.push_back(panel);
      auto d = std::make_unique<TsCommonData>();
      d->OwnerControl = panel;
      d->OwnerObject = panel;
      d->FSkinManager = &skin.manager;
      d->SkinIndex = skin.button;
      d->RepaintBlocked = 0;
      d->MouseAbove = 1;
      data.push_back(std::move(d));
    }
    form->Show();
    testsupport::PumpFor(50);
  }
  ~GlowScene() {
    data.clear();  // the skin data release their glows and timers
    gui::Free(form);
    testsupport::PumpFor(20);
  }
  TsCommonData& Data(int i = 0) { return *data[size_t(i)]; }
};

TEST(GlowWindows, AGlowIsALayeredClickThroughToolWindowAroundItsControl) {
  GlowScene scene;
  TsCommonData& d = scene.Data();
  CommonDataShowGlow(d, false, nullptr, false, 255);
  ASSERT_GE(d.GlowID, 0);
  HWND glow = static_cast<HWND>(GlowWindowHandle(d.GlowID));
  ASSERT_NE(glow, nullptr);
  EXPECT_TRUE(IsWindowVisible(glow));
  const LONG ex = GetWindowLongA(glow, GWL_EXSTYLE);
  for (LONG bit : {LONG(WS_EX_LAYERED), LONG(WS_EX_TRANSPARENT), LONG(WS_EX_TOOLWINDOW), LONG(WS_EX_NOACTIVATE)})
    EXPECT_NE(ex & bit, 0) << std::hex << bit;
  EXPECT_EQ(ex & WS_EX_TOPMOST, 0) << "the owner is not topmost";
  EXPECT_EQ(LRESULT(SendMessageA(glow, WM_NCHITTEST, 0, 0)), LRESULT(HTTRANSPARENT));
  EXPECT_NE(GetForegroundWindow(), glow);

  // Around the panel: the image's borders (8 on every side) less the margin (3), on each side.
  RECT panel{}, r{};
  GetWindowRect(scene.panels[0]->WindowHandle(), &panel);
  GetWindowRect(glow, &r);
  EXPECT_EQ(r.left, panel.left - 5);
  EXPECT_EQ(r.top, panel.top - 5);
  EXPECT_EQ(r.right - r.left, 90 + 10);
  EXPECT_EQ(r.bottom - r.top, 40 + 10);

  // Shown once only; a section without a glow image gives none.
  CommonDataShowGlow(d, false, nullptr, false, 255);
  const int windows = ThreadWindowCount();
  TsCommonData plain;
  plain.OwnerControl = scene.panels[0];
  plain.FSkinManager = &scene.skin.manager;
  plain.SkinIndex = scene.skin.panel;
  plain.MouseAbove = 1;
  CommonDataShowGlow(plain, false, nullptr, false, 255);
  EXPECT_EQ(plain.GlowID, -1);
  EXPECT_EQ(ShowGlow(TRect{0, 0, 10, 10}, "PANEL", "GLOW", &plain, nullptr, 255, 0), -1);
  EXPECT_EQ(ThreadWindowCount(), windows);
}

TEST(GlowWindows, AGlowOfATopmostFormIsTopmost) {
  GlowScene scene;
  scene.form->SetFormStyle(gui::TFormStyle::fsStayOnTop);
  testsupport::PumpFor(20);
  ASSERT_NE(GetWindowLongA(scene.form->WindowHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  CommonDataShowGlow(scene.Data(), false, nullptr, false, 255);
  HWND glow = static_cast<HWND>(GlowWindowHandle(scene.Data().GlowID));
  ASSERT_NE(glow, nullptr);
  EXPECT_NE(GetWindowLongA(glow, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST(GlowWindows, AnAnimatedHideEndsAfterItsStepsAndIsNotRestarted) {
  GlowScene scene;
  TsCommonData& d = scene.Data();
  CommonDataShowGlow(d, false, nullptr, false, 255);
  const int32_t id = d.GlowID;
  HWND glow = static_cast<HWND>(GlowWindowHandle(id));
  ASSERT_NE(glow, nullptr);

  HideGlow(d.GlowID, true);
  ASSERT_NE(d.AnimTimer, nullptr);
  EXPECT_EQ(d.AnimTimer->State, 2);
  EXPECT_TRUE(d.AnimTimer->Running());
  for (int step = 1; step <= 5; ++step) d.AnimTimer->Tick();
  HideGlow(d.GlowID, true);  // again during the fade
  EXPECT_EQ(d.AnimTimer->Step, 5) << "not restarted";
  for (int step = 6; step <= 10; ++step) d.AnimTimer->Tick();
  EXPECT_EQ(d.GlowID, id) << "still fading after 10 steps";
  d.AnimTimer->Tick();
  EXPECT_EQ(d.GlowID, -1) << "released at the 11th step";
  EXPECT_EQ(d.AnimTimer, nullptr);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return !IsWindow(glow); })) << "the window is gone";

  // The same on the real 12 ms timer.
  CommonDataShowGlow(d, false, nullptr, false, 255);
  glow = static_cast<HWND>(GlowWindowHandle(d.GlowID));
  HideGlow(d.GlowID, true);
  const DWORD start = GetTickCount();
  while (d.GlowID >= 0 && GetTickCount() - start < 3000) testsupport::PumpFor(10);
  EXPECT_EQ(d.GlowID, -1);
  EXPECT_GE(GetTickCount() - start, 11u * 10u) << "11 steps of about 12 ms";
  EXPECT_TRUE(testsupport::PumpUntil([&] { return !IsWindow(glow); }));
}

TEST(GlowWindows, AfterClearingEveryGlowIdIsFree) {
  GlowScene scene(5);
  std::vector<int32_t> ids;
  std::vector<HWND> windows;
  for (auto& d : scene.data) {
    CommonDataShowGlow(*d, false, nullptr, false, 200);
    ASSERT_GE(d->GlowID, 0);
    ids.push_back(d->GlowID);
    windows.push_back(static_cast<HWND>(GlowWindowHandle(d->GlowID)));
  }
  HideGlow(scene.Data(1).GlowID, true);  // one of them fading out
  ClearGlows(true);
  EXPECT_TRUE(GlowList().empty());
  for (auto& d : scene.data) EXPECT_EQ(d->GlowID, -1);
  for (size_t i = 0; i < ids.size(); ++i) {
    EXPECT_EQ(GlowWindowHandle(ids[i]), nullptr);
    SetGlowAlpha(ids[i], 128);  // ignored
    EXPECT_FALSE(IsWindow(windows[i]));
  }
  EXPECT_EQ(scene.Data(1).AnimTimer, nullptr) << "the fade's timer went with its glow";
}

TEST(GlowWindows, TheLedgerAndTheWindowsAreFlatOver200Glows) {
  GlowScene scene(2);
  testsupport::PumpFor(20);
  const ledger::Snapshot before = ledger::Take();
  const int windows = ThreadWindowCount();
  for (int cycle = 0; cycle < 200; ++cycle) {
    TsCommonData& d = scene.Data(cycle % 2);
    CommonDataShowGlow(d, false, nullptr, cycle % 3 == 0, 255);
    ASSERT_GE(d.GlowID, 0) << cycle;
    SetGlowAlpha(d.GlowID, uint8_t(cycle));
    if (cycle % 4 == 1) {
      HideGlow(d.GlowID, true);
      for (int step = 0; step < 12 && d.AnimTimer != nullptr && d.GlowID >= 0; ++step) d.AnimTimer->Tick();
      ASSERT_EQ(d.GlowID, -1) << "the fade ends, even one that had not begun, cycle " << cycle;
    } else if (cycle % 4 == 2) {
      ClearGlows(cycle % 8 == 2);
    } else {
      HideGlow(d.GlowID, false);
    }
    CommonDataStopAnimation(d);
    if (cycle % 10 == 9) gui::Application->ProcessMessages();
  }
  // The windows of the last glows go once their messages are handled.
  testsupport::PumpUntil([&] { return ledger::Difference(before, ledger::Take()).empty() && ThreadWindowCount() == windows; });
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
  EXPECT_EQ(ThreadWindowCount(), windows);
}

}  // namespace
}  // namespace skin

namespace skin {
namespace {

// A windowed control's cross-fade goes straight onto its window, and its glow follows the change: shown with
// the hot state, hidden once its alpha falls below 10 on the way back.
TEST(WindowAnimation, FramesReachTheWindowAndTheGlowFollows) {
  GlowScene scene;
  gui::TPanel& panel = *scene.panels[0];
  TsCommonData& d = scene.Data();
  d.CacheBmp = std::make_unique<Bitmap>(90, 40, pf32bit);
  uint32_t next = 0xFF000000u;
  const gui::TWndMethod old = panel.WindowProc;
  panel.WindowProc = [&](gui::TMessage& m) {
    if (m.Msg == 0xA100 && HIWORD(m.WParam) == 23) {  // paint the cache in the new state
      FillRectBitmap32(*d.CacheBmp, TRect{0, 0, 90, 40}, SwapRedBlue(next & 0xFFFFFF), 255);
      m.Result = 0;
      return;
    }
    old(m);
  };
  auto windowPixel = [&] {
    HDC dc = GetDC(panel.WindowHandle());
    const COLORREF c = GetPixel(dc, 10, 10);
    ReleaseDC(panel.WindowHandle(), dc);
    return c;
  };
  FillRectBitmap32(*d.CacheBmp, TRect{0, 0, 90, 40}, 0x000000, 255);

  next = 0xFFFFFFFFu;  // hot: white
  StartChangeAnimation(d, 1, &ChangeAnimationStepWnd, true, false, true);
  ASSERT_NE(d.AnimTimer, nullptr);
  EXPECT_GE(d.GlowID, 0) << "the glow comes with the hot state";
  std::vector<int> reds;
  for (int i = 0; i < 12; ++i) {
    d.AnimTimer->Tick();
    reds.push_back(GetRValue(windowPixel()));
  }
  EXPECT_EQ(reds.front(), (255 * (256 - 232)) >> 8) << "step 1";
  EXPECT_EQ(reds[10], 255) << "step 11: the new picture";
  EXPECT_TRUE(std::is_sorted(reds.begin(), reds.end()));
  EXPECT_GE(d.GlowID, 0);

  next = 0xFF000000u;  // pressed (black): the glow fades with the change and goes at its end
  StartChangeAnimation(d, 2, &ChangeAnimationStepWnd, true, false, true);
  int hiddenAt = -1;
  for (int step = 1; step <= 12 && d.AnimTimer != nullptr; ++step) {
    d.AnimTimer->Tick();
    if (hiddenAt < 0 && d.GlowID < 0) hiddenAt = step;
  }
  EXPECT_EQ(hiddenAt, 11) << "alpha round(255 x (11 - step) / 11) stays above 10 until the end";
  EXPECT_EQ(GetRValue(windowPixel()), 0);

  // Leaving the control: its glow goes at once.
  CommonDataStopAnimation(d);
  next = 0xFFFFFFFFu;
  StartChangeAnimation(d, 1, &ChangeAnimationStepWnd, true, false, true);
  ASSERT_GE(d.GlowID, 0);
  d.MouseAbove = 0;
  next = 0xFF000000u;
  StartChangeAnimation(d, 0, &ChangeAnimationStepWnd, true, false, true);
  EXPECT_EQ(d.GlowID, -1);
  panel.WindowProc = old;
}

}  // namespace
}  // namespace skin
