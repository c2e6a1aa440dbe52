// A skinned form on a screen that does not show the per-pixel alpha of layered windows (a bare X server under
// Wine: no compositing manager): the screen is asked, and the soft edges that would show black there (the border
// window's shadow, the caption buttons' glows) are left out; the form keeps the skin's frame in its own window.
// Runs on a display of its own without a compositor (the executables marked COMPOSITED check the other side).
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <thread>

#include "gui/gui.h"
#include "skin/adapters/acmainwnd.h"
#include "skin/data/programskinmanager.h"
#include "skin/forms/min_animation.h"
#include "skin/forms/sskinprovider.h"
#include "skin/forms/title_glow.h"
#include "skin/painters/acglow.h"
#include "skin/painters/acglow_window.h"
#include "skin/painters/layered_alpha.h"
#include "skin/pixels/gdi_ledger.h"
#include "tests/skin_forms/caption_hover.h"
#include "tests/skin_forms/forms_fixture.h"
#include "tests/support/win_screen.h"

namespace {

using namespace formstest;
using testsupport::PumpFor;
using testsupport::PumpUntil;
using testsupport::Xdotool;

// A plain popup of one colour, under the form where its shadow would lie.
struct Backdrop {
  HWND h = nullptr;
  HBRUSH brush = nullptr;
  Backdrop(const RECT& r, COLORREF colour) {
    brush = CreateSolidBrush(colour);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "AlphaDisplayBackdrop";
    wc.hbrBackground = brush;
    RegisterClassA(&wc);
    h = CreateWindowExA(WS_EX_NOACTIVATE, wc.lpszClassName, "", WS_POPUP, r.left, r.top, r.right - r.left,
                        r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(h, SW_SHOWNOACTIVATE);
    UpdateWindow(h);
  }
  ~Backdrop() {
    DestroyWindow(h);
    UnregisterClassA("AlphaDisplayBackdrop", GetModuleHandleA(nullptr));
    DeleteObject(brush);
  }
};

TEST(AlphaDisplay, TheScreenIsAskedAndAnswersThatItShowsNoPerPixelAlpha) {
  // Asked early, as a skin is applied: the probe runs on a thread of its own, and a snapshot of the ledger taken
  // meanwhile waits for it rather than count its windows and DCs.
  const skin::ledger::Snapshot before = skin::ledger::Take();
  skin::AskLayeredAlphaEarly();
  EXPECT_EQ(skin::ledger::Difference(before, skin::ledger::Take()), "");
  EXPECT_FALSE(skin::LayeredAlphaShown());
  EXPECT_EQ(std::string(skin::LayeredAlphaSource()), "probe: not shown");
  // The probe's windows are gone.
  EXPECT_EQ(FindWindowA("acLayeredAlphaProbe", nullptr), nullptr);
  EXPECT_FALSE(skin::GlowWindowsAvailable());
}

// A skin with a shadow round its forms: no border window, the frame in the form's own window, nothing dark where
// the shadow would have been; a hovered caption button shows its hot image and no glow window; the caption drags.
TEST(AlphaDisplay, AFormOfASkinWithAShadowKeepsItsFrameAndShowsNoShadowNorGlow) {
  FormsSkin skin(true);
  skin.Skin().SkinData.BorderWidth = GetSystemMetrics(SM_CXFRAME);
  skin.Skin().SkinData.TitleHeight = skin.Skin().SkinData.MaxHeight =
      GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CXFRAME);
  const COLORREF back = RGB(0x24, 0xD0, 0x9C);
  const RECT area{140, 120, 640, 520};
  Backdrop backdrop(area, back);
  auto* form = new gui::TForm(gui::Application);
  form->SetBounds(200, 150, 360, 260);
  form->SetCaption("Skinned station");
  auto* p = new skin::TsSkinProvider(form);
  form->Show();
  SetForegroundWindow(form->WindowHandle());
  PumpFor(300);
  HWND h = form->WindowHandle();
  EXPECT_FALSE(p->BorderForm);
  // Outside the form, where the shadow lay: the window below. On the frame and caption: the skin.
  EXPECT_EQ(testsupport::ScreenPixel(200 - 3, 280) & 0xFFFFFF, uint32_t(back));
  EXPECT_EQ(testsupport::ScreenPixel(360, 150 + GetSystemMetrics(SM_CYCAPTION) + 3 + 10) & 0xFFFFFF, uint32_t(kFormActive));
  EXPECT_NE(testsupport::ScreenPixel(300, 150 + 8) & 0xFFFFFF, uint32_t(back));
  EXPECT_EQ(WindowFromPoint(POINT{300, 158}), h);
  // The pointer over the close button: hot, and no glow window.
  RECT fr{};
  GetWindowRect(h, &fr);
  const skin::TRect close = p->ButtonClose.Rect;
  const int cx = fr.left + (close.Left + close.Right) / 2, cy = fr.top + (close.Top + close.Bottom) / 2;
  ASSERT_TRUE(Xdotool("mousemove " + std::to_string(cx - 30) + " " + std::to_string(cy) + " sleep 0.1 mousemove " +
                      std::to_string(cx) + " " + std::to_string(cy)));
  EXPECT_TRUE(PumpUntil([&] { return p->ButtonClose.State == 1; }, 2000));
  PumpFor(200);
  const skin::TacSBAnimation* anim = p->ButtonClose.GlowTimer;
  EXPECT_TRUE(anim == nullptr || anim->GlowWindow == nullptr);
  // Dragged by its caption, the form moves.
  ASSERT_TRUE(Xdotool("mousemove 300 158 mousedown 1 sleep 0.1 mousemove 320 170 sleep 0.3 mousemove 360 198 "
                      "sleep 0.3 mouseup 1 sleep 0.2 mousemove 900 700"));
  EXPECT_TRUE(PumpUntil([&] {
    RECT r{};
    GetWindowRect(h, &r);
    return r.left == 260 && r.top == 190;
  }, 3000));
  gui::Free(form);
  PumpFor(50);
}

// The caption buttons' looks where no layered picture is seen: drawn in the frame itself. The pointer over close
// shows it hot, a press shows it pressed; dragged off with the button held it is normal again, its release on the
// caption closes nothing, and the hot look follows the pointer to the next button.
TEST(AlphaDisplay, ACaptionButtonShowsItsStatesInTheFrameAndLosesItsPressWhenDraggedOff) {
  FormsSkin skin;
  auto* form = new gui::TForm(gui::Application);
  form->SetBounds(200, 150, 360, 260);
  form->SetCaption("Skinned station");
  auto* p = new skin::TsSkinProvider(form);
  form->Show();
  SetForegroundWindow(form->WindowHandle());
  PumpFor(300);
  HWND h = form->WindowHandle();
  RECT fr{};
  GetWindowRect(h, &fr);
  auto centre = [&](const skin::TitleButtonRecord& b) {
    return POINT{fr.left + (b.Rect.Left + b.Rect.Right) / 2, fr.top + (b.Rect.Top + b.Rect.Bottom) / 2};
  };
  const POINT close = centre(p->ButtonClose), minimize = centre(p->ButtonMin);
  auto shows = [](POINT at, TColor colour) {
    return PumpUntil([&] { return (testsupport::ScreenPixel(at.x, at.y) & 0xFFFFFF) == uint32_t(colour); }, 3000);
  };
  auto at = [](POINT pt) { return std::to_string(pt.x) + " " + std::to_string(pt.y); };
  ASSERT_TRUE(shows(close, ButtonColor(bClose, 0)));
  ASSERT_TRUE(Xdotool("mousemove " + std::to_string(close.x - 30) + " " + std::to_string(close.y) + " sleep 0.1 mousemove " +
                      at(close)));
  EXPECT_TRUE(shows(close, ButtonColor(bClose, 1)));
  ASSERT_TRUE(Xdotool("mousedown 1"));
  EXPECT_TRUE(shows(close, ButtonColor(bClose, 2)));
  ASSERT_TRUE(Xdotool("mousemove " + std::to_string(close.x - 40) + " " + std::to_string(close.y) + " sleep 0.1 mousemove 300 158"));
  EXPECT_TRUE(shows(close, ButtonColor(bClose, 0)));
  ASSERT_TRUE(Xdotool("mouseup 1"));
  EXPECT_TRUE(IsWindowVisible(h));
  EXPECT_EQ(p->ButtonClose.State, 0);
  ASSERT_TRUE(Xdotool("mousemove " + std::to_string(minimize.x - 20) + " " + std::to_string(minimize.y) +
                      " sleep 0.1 mousemove " + at(minimize)));
  EXPECT_TRUE(shows(minimize, ButtonColor(bMin, 1)));
  EXPECT_TRUE(shows(close, ButtonColor(bClose, 0)));
  Xdotool("mousemove 900 700");
  EXPECT_TRUE(shows(minimize, ButtonColor(bMin, 0)));
  gui::Free(form);
  PumpFor(50);
}

// Reached by the pointer from the body or from outside, a caption button shows its hot image in the frame.
TEST(AlphaDisplay, ACaptionButtonReachedFromTheBodyOrFromOutsideShowsItsHover) {
  ExpectCaptionButtonLightsUpFromTheBodyAndFromOutside();
}

// The main form of a skin that animates minimizing, without a maximize button, minimized by its minimize button:
// at once, with no shrinking copy (a layered picture whose falling alpha would darken through black here). The
// minimized window's minimize shows the restore image, its maximize (the form has none) the disabled look, and
// one click on the restore button restores it.
TEST(AlphaDisplay, AMinimizedFormShowsRestoreAndItsDisabledMaximizeAndOneClickRestoresIt) {
  FormsSkin skin;
  skin.manager->AnimEffects.Minimizing.Active = true;
  skin.manager->AnimEffects.Minimizing.Time = 150;
  auto* form = new gui::TForm(gui::Application);
  form->SetBounds(200, 150, 360, 260);
  form->SetCaption("Skinned station");
  form->SetBorderIcons(gui::biSystemMenu | gui::biMinimize);
  auto* p = new skin::TsSkinProvider(form);
  gui::TCustomForm* main = gui::Application->MainForm();
  gui::Application->SetMainForm(form);
  form->Show();
  SetForegroundWindow(form->WindowHandle());
  PumpFor(300);
  HWND h = form->WindowHandle();
  auto centre = [&](const skin::TitleButtonRecord& b) {
    RECT fr{};
    GetWindowRect(h, &fr);
    return POINT{fr.left + (b.Rect.Left + b.Rect.Right) / 2, fr.top + (b.Rect.Top + b.Rect.Bottom) / 2};
  };
  auto at = [](POINT pt) { return std::to_string(pt.x) + " " + std::to_string(pt.y); };
  auto shown = [](POINT pt) { return testsupport::ScreenPixel(pt.x, pt.y) & 0xFFFFFF; };
  ASSERT_TRUE(Xdotool("mousemove " + at(centre(p->ButtonMin)) + " sleep 0.1 click 1"));
  EXPECT_TRUE(PumpUntil([&] { return IsIconic(h) != FALSE; }, 3000));
  EXPECT_EQ(skin::ProviderMinTimer(*p), nullptr);
  // The restore image (in its active or inactive look) where minimize was; maximize faded into the caption.
  auto isRestore = [&] {
    const uint32_t c = shown(centre(p->ButtonMin));
    return c == uint32_t(ButtonColor(bNorm, 0)) || c == uint32_t(ButtonColor(bNorm, 3));
  };
  EXPECT_TRUE(PumpUntil(isRestore, 3000)) << std::hex << shown(centre(p->ButtonMin));
  ASSERT_FALSE(skin::RectIsEmpty(p->ButtonMax.Rect));
  const uint32_t max = shown(centre(p->ButtonMax));
  for (int state : {0, 1, 3}) EXPECT_NE(max, uint32_t(ButtonColor(bMax, state))) << state;
  ASSERT_TRUE(Xdotool("mousemove " + at(centre(p->ButtonMin)) + " sleep 0.1 click 1 sleep 0.1 mousemove 900 700"));
  EXPECT_TRUE(PumpUntil([&] { return !IsIconic(h) && IsWindowVisible(h); }, 3000));
  gui::Application->SetMainForm(main);
  gui::Free(form);
  PumpFor(50);
}

// A form that fades in and out as it shows and hides: the fade's picture would rise from black and sink into it
// over the window below, so the form shows and hides at once; what the screen shows where the form lies is the
// window below or the form, never dark, before, during and after each.
TEST(AlphaDisplay, AFormShowsAndHidesWithoutAFadeThroughBlack) {
  FormsSkin skin;
  skin.manager->AnimEffects.FormShow.Active = skin.manager->AnimEffects.FormHide.Active = true;
  skin.manager->AnimEffects.FormShow.Time = skin.manager->AnimEffects.FormHide.Time = 400;
  const COLORREF back = RGB(0x24, 0xD0, 0x9C);
  Backdrop backdrop(RECT{140, 120, 640, 520}, back);
  PumpFor(100);
  auto* form = new gui::TForm(gui::Application);
  form->SetBounds(200, 150, 360, 260);
  form->SetCaption("Speech options");
  new skin::TsSkinProvider(form);
  // The screen read from a thread of its own: a show blocks this one while it fades.
  std::atomic<bool> sampling{true};
  std::atomic<uint32_t> darkest{0xFFFFFF};
  std::atomic<int> samples{0};
  std::thread sampler([&] {
    while (sampling) {
      const uint32_t c = testsupport::ScreenPixel(380, 300) & 0xFFFFFF;
      const uint32_t brightest = std::max({c & 0xFF, (c >> 8) & 0xFF, c >> 16});
      if (brightest < std::max({darkest & 0xFF, (darkest >> 8) & 0xFF, darkest >> 16})) darkest = c;
      ++samples;
      Sleep(2);
    }
  });
  // The screen watched before, while and after the form shows (the sampler's pace is the machine's: a few
  // samples a second on a busy one, a hundred on a quiet one).
  auto watchedFiveMore = [&] {
    const int from = samples.load();
    return PumpUntil([&] { return samples.load() >= from + 5; }, 10000);
  };
  EXPECT_TRUE(watchedFiveMore());
  form->Show();
  EXPECT_TRUE(PumpUntil([&] { return (testsupport::ScreenPixel(380, 300) & 0xFFFFFF) == uint32_t(kFormActive); }, 3000));
  EXPECT_TRUE(watchedFiveMore());
  form->Hide();
  EXPECT_TRUE(PumpUntil([&] { return (testsupport::ScreenPixel(380, 300) & 0xFFFFFF) == uint32_t(back); }, 3000));
  EXPECT_TRUE(watchedFiveMore());
  sampling = false;
  sampler.join();
  const uint32_t d = darkest;
  EXPECT_GE(std::max({d & 0xFF, (d >> 8) & 0xFF, d >> 16}), 0x50u) << std::hex << "darkest " << d;
  gui::Free(form);
  PumpFor(50);
}

// Shown at once (no fade where the alpha is not seen), a skinned form has its frame made while it is still
// hidden: its first frame paint on the screen finds the region already cut and the frame already composed, so
// nothing on the shown window changes its frame again (each change paints the frame anew, and the region's
// erases every child window).
HWND g_watched = nullptr;
int g_regionAtFirstPaint = -1, g_frameChangesShown = 0;
LRESULT CALLBACK WatchFrame(int code, WPARAM w, LPARAM l) {
  const auto* c = reinterpret_cast<const CWPSTRUCT*>(l);
  char text[32] = {};
  if (code == HC_ACTION && GetParent(c->hwnd) == nullptr && GetWindowTextA(c->hwnd, text, sizeof text) &&
      std::string(text) == "Framed before shown" && IsWindowVisible(c->hwnd)) {
    g_watched = c->hwnd;
    if (c->message == WM_NCPAINT && g_regionAtFirstPaint < 0) {
      HRGN r = CreateRectRgn(0, 0, 0, 0);
      g_regionAtFirstPaint = GetWindowRgn(c->hwnd, r);
      DeleteObject(r);
    }
    if (c->message == WM_WINDOWPOSCHANGING &&
        (reinterpret_cast<const WINDOWPOS*>(c->lParam)->flags & SWP_FRAMECHANGED))
      ++g_frameChangesShown;
  }
  return CallNextHookEx(nullptr, code, w, l);
}

TEST(AlphaDisplay, AFormShownAtOnceHasItsFrameMadeBeforeItShows) {
  FormsSkin skin;
  auto* form = new gui::TForm(gui::Application);
  form->SetBounds(200, 150, 360, 260);
  form->SetCaption("Framed before shown");
  auto* menu = new gui::TMainMenu(form);
  auto* item = new gui::TMenuItem(menu);
  item->SetCaption("File");
  menu->Items()->Add(item);
  form->SetMenu(menu);
  new skin::TsSkinProvider(form);
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchFrame, nullptr, GetCurrentThreadId());
  form->Show();
  PumpFor(300);
  UnhookWindowsHookEx(hook);
  HWND h = form->WindowHandle();
  EXPECT_EQ(g_watched, h);
  HRGN r = CreateRectRgn(0, 0, 0, 0);
  const int region = GetWindowRgn(h, r);
  DeleteObject(r);
  ASSERT_NE(region, ERROR);  // the skin cuts the window to its frame
  EXPECT_EQ(g_regionAtFirstPaint, region);
  EXPECT_EQ(g_frameChangesShown, 0);
  // Shown, it wears the skin's frame, with its menu line.
  const int y = 150 + GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU) + 40;
  EXPECT_TRUE(PumpUntil([&] { return (testsupport::ScreenPixel(360, y) & 0xFFFFFF) == uint32_t(kFormActive); }, 3000));
  gui::Free(form);
  PumpFor(50);
}

// Shown at once, a skinned form's child windows take the skin while it is still hidden: each child paints for
// the first time in the skin, and once (taken after the form showed, each first painted in its own look, and the
// whole form was then painted again).
struct ChildPaints {
  int paints = 0;
  bool unskinnedPaint = false;
};
std::map<HWND, ChildPaints>* g_childPaints = nullptr;
LRESULT CALLBACK WatchChildPaints(int code, WPARAM w, LPARAM l) {
  const auto* c = reinterpret_cast<const CWPSTRUCT*>(l);
  if (code == HC_ACTION && g_childPaints && (c->message == WM_PAINT || c->message == WM_NCPAINT)) {
    const auto it = g_childPaints->find(c->hwnd);
    if (it != g_childPaints->end() && IsWindowVisible(c->hwnd)) {
      if (c->message == WM_PAINT) ++it->second.paints;
      if (GetPropA(c->hwnd, skin::AdapterPropName) == nullptr) it->second.unskinnedPaint = true;
    }
  }
  return CallNextHookEx(nullptr, code, w, l);
}

TEST(AlphaDisplay, AFormShownAtOnceHasItsChildWindowsInTheSkinBeforeItShows) {
  FormsSkin skin;
  // The program's lists of the classes each window adapter takes.
  for (size_t i = 0; i < skin::ProgramThirdParty.size(); ++i)
    skin.manager->ThirdParty[int(i)] = std::string(skin::ProgramThirdParty[i]);
  skin.manager->InitThirdPartyLists(false);
  auto* form = new gui::TForm(gui::Application);
  form->SetBounds(200, 150, 360, 260);
  form->SetCaption("Children before shown");
  auto* panel = new gui::TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(10, 10, 200, 120);
  auto* inner = new gui::TEdit(panel);
  inner->SetParent(panel);
  inner->SetBounds(10, 10, 150, 24);
  auto* edit = new gui::TEdit(form);
  edit->SetParent(form);
  edit->SetBounds(10, 150, 150, 24);
  auto* button = new gui::TButton(form);
  button->SetParent(form);
  button->SetBounds(220, 150, 100, 28);
  new skin::TsSkinProvider(form);
  form->HandleNeeded();
  std::map<HWND, ChildPaints> paints;
  for (gui::TWinControl* c : {static_cast<gui::TWinControl*>(panel), static_cast<gui::TWinControl*>(inner),
                              static_cast<gui::TWinControl*>(edit), static_cast<gui::TWinControl*>(button)})
    paints[c->WindowHandle()] = {};
  g_childPaints = &paints;
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchChildPaints, nullptr, GetCurrentThreadId());
  form->Show();
  PumpFor(300);
  UnhookWindowsHookEx(hook);
  g_childPaints = nullptr;
  for (const auto& [h, p] : paints) {
    char name[32] = {};
    GetClassNameA(h, name, sizeof name);
    EXPECT_FALSE(p.unskinnedPaint) << name;
    EXPECT_EQ(p.paints, 1) << name;
  }
  gui::Free(form);
  PumpFor(50);
}

}  // namespace
