// The skin provider on real windows (Windows build, run under Wine): the messages the provider leaves to the
// form, the frame on the screen against the frame cache through showing, activation, a caption change, a resize
// and printing, the system's caption colours never showing, the extended border window's place and its shadow
// letting a click through, a caption button's glow fading in and out, the form's own procedure back when the
// provider goes, and the leak ledger and the thread's windows over skin switches of the program's stored skins,
// with a button that the form's control adapter skins as the form shows and gives back when the skin goes.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "skin/engine/skinchange.h"
#include "skin/engine/skincommands.h"
#include "skin/engine/sskinmanager_component.h"
#include "skin/forms/border_form.h"
#include "skin/forms/composition.h"
#include "skin/forms/form_window.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/provider_wndproc.h"
#include "skin/forms/sskinprovider.h"
#include "skin/forms/title_glow.h"
#include "skin/paint/dc_copy.h"
#include "skin/paint/gdi_ledger.h"
#include "skin/paint/pixel_helpers.h"
#include "station/program_resources.h"
#include "tests/skin_forms/forms_fixture.h"
#include "tests/support/win_screen.h"

namespace {

using namespace formstest;
using skin::TsSkinProvider;
using testsupport::PumpFor;

int ThreadWindowCount() {
  int n = 0;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND, LPARAM l) -> BOOL {
        ++*reinterpret_cast<int*>(l);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&n));
  return n;
}

// What the window shows on the screen, read through its window DC.
skin::Bitmap WindowPicture(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  skin::Bitmap b(r.right - r.left, r.bottom - r.top, skin::pf32bit);
  HDC dc = skin::ledger::GetWindowDC(h);
  skin::DCToBitmap(b, 0, 0, b.Width(), b.Height(), dc, 0, 0);
  skin::ledger::ReleaseDC(h, dc);
  GdiFlush();
  return b;
}

// Pixels of a band of the window that differ from the cache at the same place (colour bytes only); pixels that
// the window's region leaves out (the skin's transparent corners) show what lies below and are not compared.
int BandDifferences(const skin::Bitmap& shown, const skin::Bitmap& cache, const skin::TRect& band,
                    const skin::TPoint& origin, HWND window = nullptr) {
  HRGN region = skin::ledger::CreateRectRgn(0, 0, 0, 0);
  const bool hasRegion = window && GetWindowRgn(window, region) != ERROR;
  int differences = 0;
  for (int32_t y = band.Top; y < band.Bottom; ++y)
    for (int32_t x = band.Left; x < band.Right; ++x) {
      if (hasRegion && !PtInRegion(region, x, y)) continue;
      if ((skin::GetPixel32(shown, x, y) & 0xFFFFFF) !=
          (skin::GetPixel32(cache, x + origin.X, y + origin.Y) & 0xFFFFFF))
        ++differences;
    }
  skin::ledger::DeleteObject(region);
  return differences;
}

void MoveMouse(int x, int y) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = LONG((x * 65535 + GetSystemMetrics(SM_CXSCREEN) / 2) / (GetSystemMetrics(SM_CXSCREEN) - 1));
  in.mi.dy = LONG((y * 65535 + GetSystemMetrics(SM_CYSCREEN) / 2) / (GetSystemMetrics(SM_CYSCREEN) - 1));
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof(in));
  SetCursorPos(x, y);
}

void Click() {
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof(INPUT));
}

// A shown, skinned form over a fixture skin.
struct Shown {
  FormsSkin skin;
  gui::TForm* form;
  TsSkinProvider* p;
  explicit Shown(bool extended = false, int x = 60, int y = 60, int w = 320, int h = 240) : skin(extended) {
    if (extended) {
      // The skin's caption and border as tall and wide as the system's: the border window then lies around the
      // window by exactly the skin's margins.
      skin.Skin().SkinData.BorderWidth = GetSystemMetrics(SM_CXFRAME);
      skin.Skin().SkinData.TitleHeight = skin.Skin().SkinData.MaxHeight =
          GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CXFRAME);
    }
    form = new gui::TForm(gui::Application);
    form->SetBounds(x, y, w, h);
    form->SetCaption("Skinned station");
    p = new TsSkinProvider(form);
    form->Show();
    PumpFor(200);
  }
  ~Shown() {
    gui::Free(form);
    PumpFor(50);
  }
  HWND Handle() { return form->WindowHandle(); }
  // Every band of the frame equals the cache; returns the picture.
  skin::Bitmap ExpectFrameEqualsCache(const char* when) {
    SCOPED_TRACE(when);
    PumpFor(150);
    skin::Bitmap shown = WindowPicture(Handle());
    const skin::Bitmap& cache = *p->SkinData().CacheBmp;
    const skin::FrameBands bands = skin::ProviderFrameBands(*p);
    const skin::TPoint origin = skin::ProviderCacheOrigin(*p);
    EXPECT_FALSE(p->SkinData().BGChanged);
    EXPECT_EQ(BandDifferences(shown, cache, bands.Top, origin, Handle()), 0);
    EXPECT_EQ(BandDifferences(shown, cache, bands.Left, origin, Handle()), 0);
    EXPECT_EQ(BandDifferences(shown, cache, bands.Bottom, origin, Handle()), 0);
    EXPECT_EQ(BandDifferences(shown, cache, bands.Right, origin, Handle()), 0);
    // The system's caption colours never show in the caption (the title icon, drawn by the system, aside).
    std::set<uint32_t> system;
    for (int index : {COLOR_ACTIVECAPTION, COLOR_INACTIVECAPTION, COLOR_GRADIENTACTIVECAPTION,
                      COLOR_GRADIENTINACTIVECAPTION})
      system.insert(skin::ColorToPixel(GetSysColor(index), 0) & 0xFFFFFF);
    int systemPixels = 0;
    for (int32_t y = 0; y < bands.Top.Bottom; ++y)
      for (int32_t x = 0; x < shown.Width(); ++x)
        if (!p->IconRect.Contains(skin::TPoint{x, y}))
          systemPixels += int(system.count(skin::GetPixel32(shown, x, y) & 0xFFFFFF));
    EXPECT_EQ(systemPixels, 0);
    return shown;
  }
};

TEST(ProviderWindows, MessagesTheProviderDoesNotTakeReachTheForm) {
  FormsSkin skin;
  auto* form = new gui::TForm(gui::Application);
  form->SetBounds(40, 40, 240, 180);
  std::vector<UINT> seen;
  gui::TWndMethod own = form->WindowProc;
  form->WindowProc = [&seen, own](gui::TMessage& m) {
    seen.push_back(m.Msg);
    own(m);
  };
  auto* p = new TsSkinProvider(form);
  form->Show();
  PumpFor(100);
  HWND h = form->WindowHandle();
  const UINT passed[] = {WM_MOUSEMOVE, WM_KEYDOWN, WM_CHAR, WM_TIMER, WM_USER + 7, WM_COMMAND, WM_NCCALCSIZE,
                         WM_SETCURSOR, WM_CANCELMODE, WM_NCLBUTTONDBLCLK + 100};
  const UINT taken[] = {WM_PRINTCLIENT, WM_ENTERIDLE, 0xB04C, skin::WM_SKINPROBE};
  for (UINT msg : passed) {
    seen.clear();
    SendMessageA(h, msg, 0, 0);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), msg), 1) << std::hex << msg;
  }
  for (UINT msg : taken) {
    seen.clear();
    SendMessageA(h, msg, 0, 0);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), msg), 0) << std::hex << msg;
  }
  // Freed, the provider gives the form its own procedure back: the spy sees everything again.
  skin::FreeProvider(p);
  seen.clear();
  SendMessageA(h, WM_PRINTCLIENT, 0, 0);
  SendMessageA(h, WM_NCPAINT, 1, 0);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), WM_PRINTCLIENT), 1);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), WM_NCPAINT), 1);
  EXPECT_FALSE(skin::IsSkinnedFormRegistered(form));
  gui::Free(form);
}

TEST(ProviderWindows, TheWindowShowsTheFrameCacheBandByBand) {
  Shown s;
  ASSERT_TRUE(s.p->SkinData().CacheBmp);
  SetForegroundWindow(s.Handle());
  s.ExpectFrameEqualsCache("shown");
  // The caption in the skin's colour where the caption is.
  const skin::Bitmap shown = WindowPicture(s.Handle());
  EXPECT_EQ(skin::GetPixel32(shown, 200, 8) & 0xFFFFFF, Px(kTitleActive) & 0xFFFFFF);

  // Deactivated by another window, activated again.
  gui::TForm other(gui::Application);
  other.SetBounds(500, 400, 160, 120);
  other.Show();
  SetForegroundWindow(other.WindowHandle());
  PumpFor(150);
  EXPECT_FALSE(s.p->FormActive);
  const skin::Bitmap inactive = s.ExpectFrameEqualsCache("deactivated");
  EXPECT_EQ(skin::GetPixel32(inactive, 200, 8) & 0xFFFFFF, Px(kTitleInactive) & 0xFFFFFF);
  SetForegroundWindow(s.Handle());
  PumpFor(150);
  EXPECT_TRUE(s.p->FormActive);
  s.ExpectFrameEqualsCache("activated");

  s.form->SetCaption("Another caption, longer than the first one was");
  s.ExpectFrameEqualsCache("caption changed");
  s.form->SetBounds(80, 70, 380, 290);
  s.ExpectFrameEqualsCache("resized");
  EXPECT_EQ(s.p->SkinData().CacheBmp->Width(), 380);

  // Printed: the frame and the client background from the cache.
  skin::Bitmap printed(380, 290, skin::pf32bit);
  {
    skin::BitmapDC dc(printed);
    SendMessageA(s.Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc.dc()), PRF_NONCLIENT | PRF_CLIENT);
    GdiFlush();
  }
  const skin::FrameBands bands = skin::ProviderFrameBands(*s.p);
  EXPECT_EQ(BandDifferences(printed, *s.p->SkinData().CacheBmp, bands.Top, {}), 0);
  EXPECT_EQ(BandDifferences(printed, *s.p->SkinData().CacheBmp, bands.Bottom, {}), 0);
  EXPECT_EQ(skin::GetPixel32(printed, 190, 150) & 0xFFFFFF, Px(kFormActive) & 0xFFFFFF);
  // The print target does not outlive the print.
  EXPECT_EQ(s.p->SkinData().PrintDC, nullptr);
  other.Hide();
}

TEST(ProviderWindows, TheBorderWindowLiesAroundTheFormAndItsShadowLetsClicksThrough) {
  // A window below, recording the clicks it gets.
  gui::TForm below(gui::Application);
  below.SetBounds(0, 0, 700, 560);
  below.SetBorderStyle(gui::TFormBorderStyle::bsNone);
  int belowClicks = 0;
  below.OnMouseDown = [&](gui::TObject*, gui::TMouseButton, gui::TShiftState, int, int) { ++belowClicks; };
  below.Show();
  PumpFor(100);
  {
    Shown s(true, 120, 100);
    SetForegroundWindow(s.Handle());
    PumpFor(200);
    ASSERT_TRUE(s.p->BorderForm);
    HWND border = static_cast<HWND>(s.p->BorderForm->AForm);
    ASSERT_TRUE(border && IsWindowVisible(border));
    RECT fr{}, br{};
    GetWindowRect(s.Handle(), &fr);
    GetWindowRect(border, &br);
    EXPECT_EQ(br.left, fr.left - kShadowMargin);
    EXPECT_EQ(br.top, fr.top - kShadowMargin);
    EXPECT_EQ(br.right, fr.right + kShadowMargin);
    EXPECT_EQ(br.bottom, fr.bottom + kShadowMargin);
    EXPECT_EQ(GetWindowLongA(border, GWL_EXSTYLE) & 0x08080080, 0x08080080);
    EXPECT_EQ(GetWindow(border, GW_OWNER), s.Handle());
    // The form's window shows only its client area; the border window the frame, with a hole for the client.
    HRGN region = skin::ledger::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(border, region), ERROR);
    EXPECT_TRUE(PtInRegion(region, 2, 100));
    EXPECT_FALSE(PtInRegion(region, (br.right - br.left) / 2, (br.bottom - br.top) / 2));
    skin::ledger::DeleteObject(region);
    // A click on the shadow reaches the window below.
    const int x = br.left + 2, y = br.top + 120;
    MoveMouse(x, y);
    PumpFor(100);
    Click();
    PumpFor(150);
    EXPECT_EQ(belowClicks, 1);
    // Moving the form moves its border window.
    s.form->SetBounds(160, 130, 320, 240);
    PumpFor(150);
    GetWindowRect(border, &br);
    EXPECT_EQ(br.left, 160 - kShadowMargin);
    EXPECT_EQ(br.top, 130 - kShadowMargin);
  }
  below.Hide();
}

TEST(ProviderWindows, AHoveredCloseButtonGlowsAndTheGlowGoesAfterItsFade) {
  Shown s;
  SetForegroundWindow(s.Handle());
  {
    // The component layer's timers run on a window of their own, made once.
    gui::TTimer warm(nullptr);
    warm.SetEnabled(true);
  }
  PumpFor(100);
  const int windows = ThreadWindowCount();
  RECT fr{};
  GetWindowRect(s.Handle(), &fr);
  const skin::TRect close = s.p->ButtonClose.Rect;
  // Onto the button as a hand moves: from the caption, then over it.
  MoveMouse(fr.left + close.Left - 20, fr.top + (close.Top + close.Bottom) / 2);
  PumpFor(40);
  MoveMouse(fr.left + (close.Left + close.Right) / 2 - 1, fr.top + (close.Top + close.Bottom) / 2);
  PumpFor(20);
  MoveMouse(fr.left + (close.Left + close.Right) / 2, fr.top + (close.Top + close.Bottom) / 2);
  PumpFor(60);
  skin::TacSBAnimation* anim = s.p->ButtonClose.GlowTimer;
  ASSERT_NE(anim, nullptr);
  EXPECT_EQ(s.p->ButtonClose.State, 1);
  HWND glow = static_cast<HWND>(anim->GlowWindow);
  ASSERT_NE(glow, nullptr);
  EXPECT_TRUE(IsWindowVisible(glow));
  EXPECT_EQ(ThreadWindowCount(), windows + 1);
  PumpFor(300);
  EXPECT_EQ(anim->ShownAlpha, 255);
  // Around the button by the skin's glow margin, the size of the skin's glow image.
  RECT gr{};
  GetWindowRect(glow, &gr);
  EXPECT_EQ(gr.left, fr.left + close.Left - 4);
  EXPECT_EQ(gr.right - gr.left, kGlowW);
  // The mouse leaves: the glow fades out and its window goes.
  MoveMouse(fr.left + 150, fr.top + 150);
  PumpFor(400);
  EXPECT_EQ(s.p->ButtonClose.State, 0);
  EXPECT_EQ(anim->GlowWindow, nullptr);
  EXPECT_EQ(ThreadWindowCount(), windows);
}

TEST(ProviderWindows, TheLedgerIsFlatOverSkinSwitchesOnALiveForm) {
  skin::PortableSkinSystem system;
  system.layeredWindows = true;
  auto* form = new gui::TForm(gui::Application);
  auto* manager = new skin::TsSkinManagerComponent(form, system);
  station::ReadProgramSkinManagerWithResources(*manager);
  ASSERT_EQ(manager->SkinData().Active, 1);
  form->SetBounds(60, 60, 360, 260);
  form->SetCaption("Switching");
  auto* button = new gui::TButton(form);
  button->SetParent(form);
  button->SetBounds(20, 20, 120, 30);
  button->SetCaption("Skinned");
  auto* p = new TsSkinProvider(form);
  MoveMouse(700, 600);  // away from the form: no caption button is hovered meanwhile
  form->Show();
  SetForegroundWindow(form->WindowHandle());
  PumpFor(200);
  // The form's button got its window adapter as the form showed, and is painted by it.
  const auto skinned = [&] {
    return SendMessageA(button->WindowHandle(), skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_ISSKINNED), 0) &
           0xFF;
  };
  EXPECT_NE(skinned(), 0);
  ASSERT_NE(p->Adapter, nullptr);
  const std::vector<std::string> names{"Topaz (internal)", "Snow Leopard (internal)", "Vienna Ext (internal)",
                                       "Spring Willow (internal)"};
  // One round first, so that what a switch keeps (caches of the last skin) is in place before counting.
  for (const std::string& n : names) manager->SetSkinName(n);
  PumpFor(100);
  const skin::ledger::Snapshot before = skin::ledger::Take();
  const int windows = ThreadWindowCount();
  for (int i = 0; i < 20; ++i) {
    manager->SetSkinName(names[size_t(i) % names.size()]);
    PumpFor(30);
    ASSERT_TRUE(skin::ProviderSkinned(*p));
  }
  manager->SetSkinName(names.back());
  PumpFor(100);
  EXPECT_EQ(skin::ledger::Difference(before, skin::ledger::Take()), "");
  EXPECT_EQ(ThreadWindowCount(), windows);
  EXPECT_EQ(p->SkinData().CacheBmp->Width() > 0, true);
  EXPECT_NE(skinned(), 0);
  // Switched off, the manager takes the adapters away with the skin.
  manager->SetActive(false);
  PumpFor(50);
  EXPECT_EQ(p->Adapter, nullptr);
  EXPECT_EQ(skinned(), 0);
  gui::Free(form);
}

}  // namespace
