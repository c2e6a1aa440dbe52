// The skin provider on real windows (Windows build, run under Wine): the messages the provider leaves to the
// form, the frame on the screen against the frame cache through showing, activation, a caption change, a resize
// and printing, the system's caption colours never showing, the extended border window's place and its shadow
// letting a click through, a caption button's glow fading in and out, the form's own procedure back when the
// provider goes, and the leak ledger and the thread's windows over skin switches of the program's stored skins,
// with a button that the form's control adapter skins as the form shows and gives back when the skin goes; the
// manager's skin-change and hide animations on the form's frame and border window, the menu line's items over the
// frame cache, a resize's corner images, the children told when a child window comes or goes, a panel that the
// form uncovers as it grows painted over the form's new picture (and a skinned button its panel uncovers), and the
// disabled controls of a form that fades in printed into its picture as they paint themselves.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "gui/gui.h"
#include "skin/data/packedskin.h"
#include "skin/data/programskinmanager.h"
#include "skin/manager/skinchange.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/adapters/acctrladapter.h"
#include "skin/adapters/acmainwnd.h"
#include "skin/adapters/acscrollwnd.h"
#include "skin/adapters/adapter_lifetime.h"
#include "skin/forms/border_form.h"
#include "skin/forms/composition.h"
#include "skin/forms/form_window.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/provider_wndproc.h"
#include "skin/forms/sskinprovider.h"
#include "skin/forms/system_menu.h"
#include "skin/forms/min_animation.h"
#include "skin/forms/provider_handlers.h"
#include "skin/forms/provider_hide.h"
#include "skin/forms/provider_messages.h"
#include "skin/forms/provider_scroll.h"
#include "skin/forms/sbuttons.h"
#include "skin/manager/sanimations.h"
#include "skin/manager/sskinmenus.h"
#include "skin/forms/title_glow.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/pixel_helpers.h"
#include "station/forms/clrbtn.h"
#include "station/program_resources.h"
#include "tests/skin_forms/caption_hover.h"
#include "tests/skin_forms/forms_fixture.h"
#include "tests/support/win_screen.h"

namespace {

using namespace formstest;
using skin::TsSkinProvider;
using testsupport::PumpFor;
using testsupport::PumpUntil;

using testsupport::ThreadWindowCount;

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

// The colour the window shows at a point of its own (window coordinates).
uint32_t ShownAt(HWND h, int x, int y) { return skin::GetPixel32(WindowPicture(h), x, y) & 0xFFFFFF; }

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

// The form's window at (x, y), put back there should a window manager have placed it elsewhere (openbox on a busy
// machine may), and waited for.
bool StandsAt(HWND h, int x, int y) {
  RECT r{};
  for (int tries = 0; tries < 3; ++tries) {
    if (PumpUntil([&] { return GetWindowRect(h, &r) && r.left == x && r.top == y; }, 1000)) return true;
    SetWindowPos(h, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return false;
}

// Waits until a window manager has the window's new state too ("state: Iconic", "state: Normal", "MAXIMIZED_HORZ"
// or, with `says` false, not): a test that undoes a state before the manager has reported it loses the undoing, as
// Wine takes the late report for the manager's own command and gives the state to the window once more.
bool ManagerHasIt(HWND h, const char* words, bool says = true) {
  return PumpUntil([&] { return testsupport::WindowManagerSays(h, words, says); }, 15000);
}

// A shown, skinned form over a fixture skin.
struct Shown {
  FormsSkin skin;
  gui::TForm* form;
  TsSkinProvider* p;
  explicit Shown(bool extended = false, int x = 60, int y = 60, int w = 320, int h = 240,
                 gui::TBorderIcons icons = gui::biSystemMenu | gui::biMinimize | gui::biMaximize)
      : skin(extended) {
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
    form->SetBorderIcons(icons);
    p = new TsSkinProvider(form);
    form->Show();
    PumpFor(200);
    StandsAt(Handle(), x, y);
  }
  ~Shown() {
    gui::Free(form);
    PumpFor(50);
  }
  HWND Handle() { return form->WindowHandle(); }
  // Every band of the frame equals the cache; returns the picture.
  skin::Bitmap ExpectFrameEqualsCache(const char* when) {
    SCOPED_TRACE(when);
    const skin::FrameBands bands = skin::ProviderFrameBands(*p);
    const skin::TPoint origin = skin::ProviderCacheOrigin(*p);
    // Once the window's repaint has come (late on a busy machine).
    PumpUntil([&] {
      if (!p->SkinData().CacheBmp) return false;
      const skin::Bitmap now = WindowPicture(Handle());
      int d = 0;
      for (const skin::TRect& band : {bands.Top, bands.Left, bands.Bottom, bands.Right})
        d += BandDifferences(now, *p->SkinData().CacheBmp, band, origin, Handle());
      return !p->SkinData().BGChanged && d == 0;
    });
    skin::Bitmap shown = WindowPicture(Handle());
    const skin::Bitmap& cache = *p->SkinData().CacheBmp;
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
    // No owner (the system would keep it above the form): it lies right below the form in the z-order.
    EXPECT_EQ(GetWindow(border, GW_OWNER), nullptr);
    EXPECT_EQ(GetWindow(s.Handle(), GW_HWNDNEXT), border);
    // The form's window shows only its client area; the border window the frame, with a hole for the client.
    HRGN region = skin::ledger::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(border, region), ERROR);
    EXPECT_TRUE(PtInRegion(region, 2, 100));
    EXPECT_FALSE(PtInRegion(region, (br.right - br.left) / 2, (br.bottom - br.top) / 2));
    skin::ledger::DeleteObject(region);
    // A click on the shadow beyond the sizing band along the frame reaches the window below.
    ASSERT_LT(GetSystemMetrics(SM_CXFRAME), kShadowMargin - 1);
    const int x = br.left + 1, y = br.top + 120;
    MoveMouse(x, y);
    PumpFor(100);
    Click();
    PumpUntil([&] { return belowClicks == 1; });
    EXPECT_EQ(belowClicks, 1);
    // Moving the form moves its border window.
    s.form->SetBounds(160, 130, 320, 240);
    PumpUntil([&] { return GetWindowRect(border, &br) && br.left == 160 - kShadowMargin && br.top == 130 - kShadowMargin; });
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
  PumpUntil([&] {
    return s.p->ButtonClose.GlowTimer && s.p->ButtonClose.State == 1 && ThreadWindowCount() == windows + 1;
  });
  skin::TacSBAnimation* anim = s.p->ButtonClose.GlowTimer;
  ASSERT_NE(anim, nullptr);
  EXPECT_EQ(s.p->ButtonClose.State, 1);
  HWND glow = static_cast<HWND>(anim->GlowWindow);
  ASSERT_NE(glow, nullptr);
  EXPECT_TRUE(IsWindowVisible(glow));
  EXPECT_EQ(ThreadWindowCount(), windows + 1);
  PumpUntil([&] { return anim->ShownAlpha == 255; });
  EXPECT_EQ(anim->ShownAlpha, 255);
  // Around the button by the skin's glow margin, the size of the skin's glow image.
  RECT gr{};
  GetWindowRect(glow, &gr);
  EXPECT_EQ(gr.left, fr.left + close.Left - 4);
  EXPECT_EQ(gr.right - gr.left, kGlowW);
  // The mouse leaves: the glow fades out and its window goes.
  MoveMouse(fr.left + 150, fr.top + 150);
  PumpUntil([&] { return s.p->ButtonClose.State == 0 && anim->GlowWindow == nullptr && ThreadWindowCount() == windows; });
  EXPECT_EQ(s.p->ButtonClose.State, 0);
  EXPECT_EQ(anim->GlowWindow, nullptr);
  EXPECT_EQ(ThreadWindowCount(), windows);
  // Glowing again under the X server's mouse, the form is deactivated by a window opening over it: it lets the
  // button go without a repaint of its frame, and the glow, which lies over the frame, still fades out and goes,
  // and stays gone once the pointer leaves.
  using testsupport::MoveTo;
  const int cx = fr.left + (close.Left + close.Right) / 2, cy = fr.top + (close.Top + close.Bottom) / 2;
  ASSERT_TRUE(testsupport::Xdotool(MoveTo(cx - 20, cy) + " sleep 0.1 " + MoveTo(cx, cy)));
  ASSERT_TRUE(PumpUntil([&] { return s.p->ButtonClose.GlowTimer && s.p->ButtonClose.GlowTimer->ShownAlpha == 255; }));
  anim = s.p->ButtonClose.GlowTimer;
  gui::TForm other(gui::Application);
  other.SetBounds(600, 500, 200, 150);
  other.Show();
  SetForegroundWindow(other.WindowHandle());
  ASSERT_TRUE(PumpUntil([&] { return !s.p->FormActive; }));
  testsupport::Xdotool(MoveTo(fr.left + 150, fr.top + 150));
  EXPECT_TRUE(PumpUntil([&] { return anim->GlowWindow == nullptr; }));
  EXPECT_EQ(s.p->ButtonClose.State, 0);
  other.Hide();
}

// Reached by the pointer from the body or from outside, a caption button shows its hover: its hot picture faded
// in over the frame.
TEST(ProviderWindows, ACaptionButtonReachedFromTheBodyOrFromOutsideShowsItsHover) {
  ExpectCaptionButtonLightsUpFromTheBodyAndFromOutside();
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


// The hit code the form's window answers at a point relative to its top-left.
int HitAt(HWND h, int x, int y) {
  RECT wr{};
  GetWindowRect(h, &wr);
  return int(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(wr.left + x, wr.top + y)));
}

skin::TPoint Centre(const skin::TRect& r) { return skin::TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

// Every probe of the frame: the caption buttons' centres, the icon, the caption, the menu line, one pixel
// inside and outside each sizing edge, the corners, the client and the points just outside the window, with the
// code the layout gives there.
void ExpectHitMap(Shown& s, bool menu) {
  HWND h = s.Handle();
  RECT wr{}, cr{};
  GetWindowRect(h, &wr);
  GetClientRect(h, &cr);
  POINT co{0, 0};
  ClientToScreen(h, &co);
  const int W = wr.right - wr.left, H = wr.bottom - wr.top;
  const int cl = co.x - wr.left, ct = co.y - wr.top, cR = cl + cr.right, cB = ct + cr.bottom;
  const int f = cl;  // the sizing frame's width (the client begins right after it)
  struct Probe {
    int x, y, code;
    const char* what;
  };
  std::vector<Probe> probes = {
      {Centre(s.p->ButtonClose.Rect).X, Centre(s.p->ButtonClose.Rect).Y, HTCLOSE, "close"},
      {Centre(s.p->ButtonMax.Rect).X, Centre(s.p->ButtonMax.Rect).Y, HTMAXBUTTON, "maximize"},
      {Centre(s.p->ButtonMin.Rect).X, Centre(s.p->ButtonMin.Rect).Y, HTMINBUTTON, "minimize"},
      {Centre(s.p->IconRect).X, Centre(s.p->IconRect).Y, HTSYSMENU, "icon"},
      {W / 2, f + 2, HTCAPTION, "caption"},
      {f - 1, H / 2, HTLEFT, "left edge, inside"},
      {f, H / 2, HTCLIENT, "left edge, outside"},
      {cR, H / 2, HTRIGHT, "right edge, inside"},
      {cR - 1, H / 2, HTCLIENT, "right edge, outside"},
      {W / 2, cB, HTBOTTOM, "bottom edge, inside"},
      {W / 2, cB - 1, HTCLIENT, "bottom edge, outside"},
      {W / 2, f - 1, HTTOP, "top edge, inside"},
      {W / 2, f, HTCAPTION, "top edge, outside"},
      {0, 0, HTTOPLEFT, "top-left"},
      {W - 1, 0, HTTOPRIGHT, "top-right"},
      {0, H - 1, HTBOTTOMLEFT, "bottom-left"},
      {W - 1, H - 1, HTBOTTOMRIGHT, "bottom-right"},
      {(cl + cR) / 2, (ct + cB) / 2, HTCLIENT, "client"},
      {-1, H / 2, HTNOWHERE, "left of the window"},
      {W, H / 2, HTNOWHERE, "right of the window"},
      {W / 2, H, HTNOWHERE, "below the window"},
  };
  if (menu) probes.push_back({W / 2, ct - 2, HTMENU, "menu line"});
  // The size grip inside the client's bottom-right corner, when the form shows one.
  probes.push_back({cR - 5, cB - 5, s.p->GripMode == skin::gmRightBottom ? HTBOTTOMRIGHT : HTCLIENT, "grip"});
  for (const Probe& pr : probes) EXPECT_EQ(HitAt(h, pr.x, pr.y), pr.code) << pr.what << " at " << pr.x << "," << pr.y;
}

TEST(ProviderWindows, TheHitTestAgreesWithTheLayoutEverywhere) {
  {  // without a border window
    Shown s;
    SetForegroundWindow(s.Handle());
    PumpFor(100);
    {
      SCOPED_TRACE("on the screen");
      ExpectHitMap(s, false);
    }
    {
      SCOPED_TRACE("partly off the screen to the left");
      s.form->SetBounds(-150, 60, 320, 240);
      PumpFor(100);
      ExpectHitMap(s, false);
    }
    {
      SCOPED_TRACE("with a menu line");
      auto* mm = new gui::TMainMenu(s.form);
      auto* item = new gui::TMenuItem(s.form);
      item->SetCaption("&File");
      mm->Items()->Add(item);
      s.form->SetMenu(mm);
      s.form->SetBounds(60, 60, 320, 240);
      PumpFor(150);
      ExpectHitMap(s, true);
    }
    {
      SCOPED_TRACE("with a size grip");
      s.p->GripMode = skin::gmRightBottom;
      s.p->SkinData().BGChanged = true;
      RedrawWindow(s.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
      PumpFor(100);
      ExpectHitMap(s, true);
    }
  }
  // Through the border window: it answers for the buttons, the caption and the shadow; the form's own window
  // never answers a button code.
  Shown e(true, 120, 100);
  SetForegroundWindow(e.Handle());
  PumpFor(150);
  ASSERT_TRUE(e.p->BorderForm);
  skin::TacBorderForm& bf = *e.p->BorderForm;
  EXPECT_EQ(skin::BorderFormHitTestAt(bf, Centre(e.p->ButtonClose.Rect)), HTCLOSE);
  EXPECT_EQ(skin::BorderFormHitTestAt(bf, Centre(e.p->ButtonMax.Rect)), HTMAXBUTTON);
  EXPECT_EQ(skin::BorderFormHitTestAt(bf, Centre(e.p->ButtonMin.Rect)), HTMINBUTTON);
  EXPECT_EQ(skin::BorderFormHitTestAt(bf, skin::TPoint{1, 1}), HTTRANSPARENT);
  RECT br{};
  GetWindowRect(static_cast<HWND>(bf.AForm), &br);
  EXPECT_EQ(skin::BorderFormHitTestAt(bf, skin::TPoint{(br.right - br.left) / 2, kShadowMargin + 8}), HTCAPTION);
  const skin::TPoint close = Centre(e.p->ButtonClose.Rect);
  const int own = int(SendMessageA(e.Handle(), WM_NCHITTEST, 0, MAKELPARAM(br.left + close.X, br.top + close.Y)));
  EXPECT_NE(own, HTCLOSE);
  // A click counts where it was made, not where the pointer is once it is handled (late, on a busy machine): a
  // double click on the border window's caption with the pointer gone meanwhile maximizes the form.
  SetCursorPos(br.right + 100, br.bottom + 100);
  ASSERT_TRUE(PumpUntil([&] {
    POINT c{};
    return GetCursorPos(&c) && c.x == br.right + 100;
  }));
  SendMessageA(static_cast<HWND>(bf.AForm), WM_NCLBUTTONDBLCLK, HTCAPTION,
               MAKELPARAM((br.left + br.right) / 2, br.top + kShadowMargin + 8));
  EXPECT_TRUE(IsZoomed(e.Handle()));
}

TEST(ProviderWindows, PostedClicksOnTheCaptionButtonsMinimizeMaximizeRestoreAndClose) {
  Shown s;
  HWND h = s.Handle();
  SetForegroundWindow(h);
  PumpFor(100);
  auto post = [&](UINT msg, int code, const skin::TPoint& at) {
    RECT wr{};
    GetWindowRect(h, &wr);
    PostMessageA(h, msg, WPARAM(code), MAKELPARAM(wr.left + at.X, wr.top + at.Y));
  };
  auto click = [&](int code, const skin::TRect& button) {
    post(WM_NCLBUTTONDOWN, code, Centre(button));
    post(WM_NCLBUTTONUP, code, Centre(button));
    PumpFor(200);
  };
  click(HTMAXBUTTON, s.p->ButtonMax.Rect);
  EXPECT_TRUE(IsZoomed(h));
  EXPECT_TRUE(ManagerHasIt(h, "MAXIMIZED_HORZ"));
  click(HTMAXBUTTON, s.p->ButtonMax.Rect);
  EXPECT_FALSE(IsZoomed(h));
  EXPECT_TRUE(ManagerHasIt(h, "MAXIMIZED_HORZ", false));
  click(HTMINBUTTON, s.p->ButtonMin.Rect);
  EXPECT_TRUE(IsIconic(h));
  EXPECT_TRUE(ManagerHasIt(h, "state: Iconic"));
  ShowWindow(h, SW_RESTORE);
  ASSERT_TRUE(PumpUntil([&] { return !IsIconic(h); }));
  EXPECT_TRUE(ManagerHasIt(h, "state: Normal"));
  // Pressed, then released on the caption: nothing, and the button is not left pressed.
  post(WM_NCLBUTTONDOWN, HTMINBUTTON, Centre(s.p->ButtonMin.Rect));
  post(WM_NCLBUTTONUP, HTCAPTION, skin::TPoint{100, 10});
  PumpFor(150);
  EXPECT_FALSE(IsIconic(h));
  EXPECT_EQ(s.p->ButtonMin.State, 0);
  EXPECT_FALSE(skin::TitleButtonPressed());
  // A disabled close button: the caption there, and a click does nothing.
  HMENU sys = GetSystemMenu(h, FALSE);
  EnableMenuItem(sys, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED);
  skin::SysMenuUpdateItems(*s.p->SystemMenu);
  EXPECT_EQ(HitAt(h, Centre(s.p->ButtonClose.Rect).X, Centre(s.p->ButtonClose.Rect).Y), HTCAPTION);
  click(HTCLOSE, s.p->ButtonClose.Rect);
  EXPECT_TRUE(IsWindowVisible(h));
  EnableMenuItem(sys, SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
  skin::SysMenuUpdateItems(*s.p->SystemMenu);
  click(HTCLOSE, s.p->ButtonClose.Rect);
  EXPECT_FALSE(IsWindowVisible(h));
  EXPECT_EQ(s.p->ButtonClose.State, 0);
}

TEST(ProviderWindows, AMovedFormSnapsWithinItsBufferAndNotOnePixelBeyond) {
  Shown s(false, 200, 200, 300, 200);
  s.p->ScreenSnap = true;
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  HWND h = s.Handle();
  auto moveTo = [&](int x, int y) {
    SetWindowPos(h, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpFor(30);
    RECT r{};
    GetWindowRect(h, &r);
    return skin::TPoint{r.left, r.top};
  };
  EXPECT_EQ(moveTo(work.left + 10, 300).X, work.left);
  EXPECT_EQ(moveTo(work.left + 11, 300).X, work.left + 11);
  EXPECT_EQ(moveTo(400, work.top + 10).Y, work.top);
  EXPECT_EQ(moveTo(400, work.top + 11).Y, work.top + 11);
  EXPECT_EQ(moveTo(work.right - 300 + 10, 300).X, work.right - 300);
  // Onto another skinned form's edge, where the two overlap along it.
  Shown other(false, 700, 250, 200, 200);
  ASSERT_TRUE(StandsAt(other.Handle(), 700, 250));
  EXPECT_EQ(moveTo(700 - 300 - 10, 300).X, 400);
  EXPECT_EQ(moveTo(700 - 300 - 11, 300).X, 389);
}

// The form's client shows the skin's form colour at a point of its window (the client is painted from the frame
// cache; a picture taken of a window that was not painted yet would leave it black).
bool ClientShowsFormColour(HWND h, int x, int y) {
  const uint32_t c = skin::GetPixel32(WindowPicture(h), x, y) & 0xFFFFFF;
  return c == (Px(kFormActive) & 0xFFFFFF) || c == (Px(kFormInactive) & 0xFFFFFF);
}

TEST(ProviderWindows, MinimizeAndRestoreAnimateAndEndInTheRightStates) {
  Shown s;
  s.skin.manager->AnimEffects.Minimizing.Time = 150;
  HWND h = s.Handle();
  SetForegroundWindow(h);
  EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == h; }));
  {
    // The timers' utility window, made once for the process by the first timer that runs, and the caption cover
    // that the form keeps for its life from its first activation change on (a window manager may have activated it
    // before the call above), are there before the windows are counted.
    gui::TTimer first(nullptr);
    first.SetEnabled(true);
    if (skin::ProviderShowCaptionCover(*s.p)) skin::ProviderHideCaptionCover(*s.p);
  }
  const int windows = ThreadWindowCount();
  SendMessageA(h, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  // Under way (watched at each of its steps): the form's window is minimized at once and its copy shrinks,
  // smaller than the form; at the end the copy is gone.
  skin::TacMinTimer* t = skin::ProviderMinTimer(*s.p);
  ASSERT_NE(t, nullptr);
  HWND copy = static_cast<HWND>(skin::AnimCopyWindowHandle(t->AnimWnd));
  ASSERT_NE(copy, nullptr);
  const auto animating = [&] { return (s.p->StateFlags & (skin::psMinimizing | skin::psRestoring)) != 0; };
  bool shrunk = false, shownWhileMinimizing = true;
  EXPECT_TRUE(PumpUntil(
      [&] {
        if (animating() && IsWindowVisible(copy) && t->CurrentRect().Width() < 320) shrunk = true;
        if (animating() && !IsIconic(h)) shownWhileMinimizing = false;
        return !animating() && !IsWindowVisible(copy);
      },
      10000));
  EXPECT_TRUE(shrunk);
  EXPECT_TRUE(shownWhileMinimizing);
  EXPECT_TRUE(IsIconic(h));
  EXPECT_FALSE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_TRUE(ManagerHasIt(h, "state: Iconic"));
  SendMessageA(h, WM_SYSCOMMAND, SC_RESTORE, 0);
  // The window stays minimized until the copy has grown back.
  bool iconicWhileRestoring = true;
  EXPECT_TRUE(PumpUntil(
      [&] {
        if ((s.p->StateFlags & skin::psRestoring) && !IsIconic(h)) iconicWhileRestoring = false;
        return !animating() && !IsIconic(h) && !skin::ProviderMinimizeTimerRunning(*s.p) &&
               ThreadWindowCount() == windows;
      },
      10000));
  EXPECT_TRUE(iconicWhileRestoring);
  EXPECT_FALSE(IsIconic(h));
  EXPECT_TRUE(IsWindowVisible(h));
  EXPECT_FALSE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_FALSE(s.p->StateFlags & (skin::psMinimizing | skin::psRestoring));
  EXPECT_FALSE(skin::ProviderMinimizeTimerRunning(*s.p));
  EXPECT_EQ(ThreadWindowCount(), windows);
  s.ExpectFrameEqualsCache("restored");
  EXPECT_TRUE(PumpUntil([&] { return ClientShowsFormColour(h, 150, 120); }));
}

TEST(ProviderWindows, TheBorderWindowFollowsTheFormThroughMovesSizingMinimizeAndRestore) {
  for (const bool animated : {false, true}) {
    SCOPED_TRACE(animated ? "animated" : "not animated");
    Shown s(true, 120, 100);
    s.skin.manager->AnimEffects.Minimizing.Active = animated;
    s.skin.manager->AnimEffects.Minimizing.Time = 60;
    HWND h = s.Handle();
    SetForegroundWindow(h);
    PumpFor(150);
    ASSERT_TRUE(s.p->BorderForm);
    auto expectAround = [&](const char* when) {
      SCOPED_TRACE(when);
      HWND border = static_cast<HWND>(s.p->BorderForm ? s.p->BorderForm->AForm : nullptr);
      ASSERT_NE(border, nullptr);
      EXPECT_TRUE(IsWindowVisible(border));
      RECT fr{}, br{};
      GetWindowRect(h, &fr);
      GetWindowRect(border, &br);
      EXPECT_EQ(br.left, fr.left - kShadowMargin);
      EXPECT_EQ(br.top, fr.top - kShadowMargin);
      EXPECT_EQ(br.right, fr.right + kShadowMargin);
      EXPECT_EQ(br.bottom, fr.bottom + kShadowMargin);
    };
    expectAround("shown");
    SetWindowPos(h, nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PumpFor(100);
    expectAround("moved");
    SetWindowPos(h, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    PumpFor(100);
    expectAround("sized");
    SendMessageA(h, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    PumpFor(150);
    ASSERT_TRUE(IsIconic(h));
    if (s.p->BorderForm) {
      EXPECT_FALSE(IsWindowVisible(static_cast<HWND>(s.p->BorderForm->AForm)));
    }
    EXPECT_TRUE(ManagerHasIt(h, "state: Iconic"));
    SendMessageA(h, WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsIconic(h); }));
    EXPECT_TRUE(ManagerHasIt(h, "state: Normal"));
    expectAround("restored");
    EXPECT_TRUE(ClientShowsFormColour(h, 150, 120));
  }
}

// The program's own manager with its stored skins, and a live form with a provider.
struct StationForm {
  skin::PortableSkinSystem system;
  gui::TForm* form;
  skin::TsSkinManagerComponent* manager;
  TsSkinProvider* p;
  // `beforeShow` is called with the manager and provider made, before the form shows.
  explicit StationForm(const std::function<void(StationForm&)>& beforeShow = {}) {
    system.layeredWindows = true;
    form = new gui::TForm(gui::Application);
    manager = new skin::TsSkinManagerComponent(form, system);
    station::ReadProgramSkinManagerWithResources(*manager);
    form->SetBounds(60, 60, 360, 260);
    form->SetCaption("Live");
    p = new TsSkinProvider(form);
    if (beforeShow) beforeShow(*this);
    MoveMouse(700, 600);
    form->Show();
    SetForegroundWindow(form->WindowHandle());
    PumpFor(200);
  }
  ~StationForm() { gui::Free(form); }
  HWND Handle() const { return form->WindowHandle(); }
};

// The station's "None" and then a skin: the manager switched off, given another skin while off, and on again.
// The form gets its border window back each time, right below it and showing.
TEST(ProviderWindows, TheBorderWindowComesBackWhenTheSkinIsSwitchedOnAgain) {
  StationForm s;
  ASSERT_TRUE(s.p->BorderForm);
  for (const char* name : {"Lucky (internal)", "Spring Willow (internal)", "Spring Willow (internal)"}) {
    s.manager->SetActive(false);
    EXPECT_TRUE(PumpUntil([&] { return s.p->BorderForm == nullptr; })) << name;
    if (s.manager->SkinName() != name) s.manager->SetSkinName(name);
    s.manager->SetActive(true);
    HWND border = nullptr;
    EXPECT_TRUE(PumpUntil([&] {
      border = s.p->BorderForm ? static_cast<HWND>(s.p->BorderForm->AForm) : nullptr;
      return border != nullptr && IsWindowVisible(border) && GetWindow(s.Handle(), GW_HWNDNEXT) == border;
    })) << name;
  }
}

// A label on a panel of a form with a border window, recoloured and recaptioned after the form was shown: the
// screen shows each new look, not the client as the border window last copied it.
TEST(ProviderWindows, ALabelRepaintedAfterTheFormWasShownShowsOnTheScreen) {
  StationForm s;
  ASSERT_TRUE(s.p->BorderForm);
  auto* panel = new gui::TPanel(s.form);
  panel->SetParent(s.form);
  panel->SetBounds(20, 20, 260, 120);
  panel->SetCaption("");
  auto* label = new gui::TLabel(s.form);
  label->SetParent(panel);
  label->SetAutoSize(false);
  label->SetBounds(20, 20, 120, 30);
  label->SetColor(0x2040E0);
  PumpFor(300);
  POINT centre{150, 65};  // clear of the caption
  ClientToScreen(s.Handle(), &centre);
  for (TColor c : {TColor(0x2040E0), TColor(0xE04020), TColor(0x20C040)}) {
    label->SetColor(c);
    label->SetCaption(c == 0xE04020 ? "Disconnected" : "Connected");
    PumpFor(300);
    SCOPED_TRACE(c);
    EXPECT_EQ(testsupport::ScreenPixel(centre.x, centre.y) & 0xFFFFFF, uint32_t(c));
  }
}

// A window of this thread whose handler runs what another thread asks of it by SendMessage.
struct ThreadTarget {
  HWND window = nullptr;
  std::function<void()> onSent;
  ThreadTarget() {
    static const bool registered = [] {
      WNDCLASSA wc{};
      wc.lpfnWndProc = [](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
        auto* self = reinterpret_cast<ThreadTarget*>(GetWindowLongPtrA(h, GWLP_USERDATA));
        if (msg == WM_APP && self && self->onSent) {
          self->onSent();
          return 1;
        }
        return DefWindowProcA(h, msg, w, l);
      };
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = "FormsThreadTarget";
      return RegisterClassA(&wc) != 0;
    }();
    (void)registered;
    window = CreateWindowExA(0, "FormsThreadTarget", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~ThreadTarget() { DestroyWindow(window); }
  // Sends WM_APP from another thread, this thread answering it meanwhile.
  void SendFromAnotherThread() {
    std::atomic<bool> done{false};
    std::thread other([&] {
      SendMessageA(window, WM_APP, 0, 0);
      done = true;
    });
    while (!done) {
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      Sleep(1);
    }
    other.join();
  }
};

// A transparent label on a panel that shows the form's background through it, its text changed and painted at
// once while the program answers a message from outside (as a click sent by another program): the label's
// empty part shows the panel's pixels, not a band of the skin's plain colour.
TEST(ProviderWindows, ALabelRepaintedWhileAnsweringAnotherThreadShowsItsPanelsBackground) {
  StationForm s;
  auto* panel = new gui::TPanel(s.form);
  panel->SetParent(s.form);
  panel->SetBevelOuter(gui::TBevelCut::bvNone);
  panel->SetBounds(10, 150, 300, 60);
  panel->SetCaption("");
  auto* label = new gui::TLabel(s.form);
  label->SetParent(panel);
  label->SetAutoSize(false);
  label->SetTransparent(true);
  label->SetBounds(20, 20, 200, 16);
  label->SetCaption("Idle");
  PumpFor(300);
  ThreadTarget target;
  target.onSent = [&] {
    label->SetCaption(label->Caption() == "Connected" ? "Idle" : "Connected");
    UpdateWindow(panel->WindowHandle());
  };
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    target.SendFromAnotherThread();
    PumpFor(150);
    for (int y : {22, 28, 34}) {
      POINT inside{218, y}, beside{222, y};  // the label's empty end and the panel next to it, one row
      ClientToScreen(panel->WindowHandle(), &inside);
      ClientToScreen(panel->WindowHandle(), &beside);
      const uint32_t a = testsupport::ScreenPixel(inside.x, inside.y), b = testsupport::ScreenPixel(beside.x, beside.y);
      EXPECT_EQ(a, b) << std::hex << "label " << a << " panel " << b << " at y " << std::dec << y;
    }
  }
}

// The border window shows the form's client through it while the form moves or fades; that copy of the screen
// goes into the border window's picture only: the frame cache, where the form's controls take their background,
// keeps the skin's own.
TEST(ProviderWindows, TheBorderWindowsCopyOfTheClientStaysOutOfTheFrameCache) {
  StationForm s;
  ASSERT_TRUE(s.p->BorderForm);
  auto* label = new gui::TLabel(s.form);
  label->SetParent(s.form);
  label->SetAutoSize(false);
  label->SetBounds(0, 0, 300, 150);
  label->SetColor(0x2040E0);
  PumpFor(300);
  skin::BorderFormUpdate(*s.p->BorderForm, false, 255);
  const skin::Bitmap& cache = *s.p->SkinData().CacheBmp;
  const skin::TPoint origin = skin::ProviderCacheOrigin(*s.p);
  const int x = origin.X + skin::ProviderClientLeft(*s.p) + 150;
  const int y = origin.Y + skin::ProviderClientTop(*s.p) + 75;
  ASSERT_LT(y, cache.Height());
  const uint8_t* px = cache.ScanLine(y) + 4 * x;
  EXPECT_NE(uint32_t(px[0] | px[1] << 8 | px[2] << 16), uint32_t(skin::ColorToPixel(0x2040E0, 0) & 0xFFFFFF));
}

bool HasRegion(HWND h) {
  HRGN r = skin::ledger::CreateRectRgn(0, 0, 0, 0);
  const bool has = GetWindowRgn(h, r) != ERROR;
  skin::ledger::DeleteObject(r);
  return has;
}

TEST(ProviderWindows, TheSkinsRemovalAndLoadSwitchALiveFormBetweenPlainAndSkinned) {
  StationForm s;
  s.manager->SetExtendedBorders(false);
  PumpFor(100);
  HWND h = s.Handle();
  ASSERT_TRUE(skin::ProviderSkinned(*s.p));
  const bool skinnedRegion = HasRegion(h);
  EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & WS_SYSMENU, 0);  // the system draws no caption buttons
  EXPECT_NE(s.form->Color(), skin::clBtnFace);
  for (int round = 0; round < 2; ++round) {
    s.manager->SetActive(false);
    PumpFor(150);
    EXPECT_FALSE(skin::ProviderSkinned(*s.p));
    EXPECT_FALSE(HasRegion(h));
    EXPECT_NE(GetWindowLongA(h, GWL_STYLE) & WS_SYSMENU, 0);
    EXPECT_EQ(s.form->Color(), skin::clBtnFace);
    EXPECT_EQ(s.p->BorderForm, nullptr);
    // The system's own frame: the hit test is the system's, its close button answers as the system's.
    RECT wr{};
    GetWindowRect(h, &wr);
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(wr.left + 100, wr.top + GetSystemMetrics(SM_CYFRAME) + 3)),
              HTCAPTION);
    s.manager->SetActive(true);
    PumpFor(200);
    EXPECT_TRUE(skin::ProviderSkinned(*s.p));
    EXPECT_EQ(HasRegion(h), skinnedRegion);
    EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & WS_SYSMENU, 0);
    EXPECT_NE(s.form->Color(), skin::clBtnFace);
  }
}

// Stores as `name` the stored skin `from` with its description edited.
void StoreEditedSkin(skin::TsSkinManager& m, const std::string& from, const std::string& name,
                     const std::function<void(std::string&)>& edit) {
  auto conv = std::make_unique<skin::TacSkinConvertor>();
  conv->LendPackedData(m.InternalSkins[m.InternalSkins.IndexOf(from)].Data);
  ASSERT_TRUE(skin::ExtractPackedSkin(conv));
  conv->ReleasePackedData();
  std::vector<skin::PackedSkinMember> members = {{"Options.dat", std::string(conv->Options->View())}};
  edit(members[0].Data);
  for (const auto& f : conv->Files) members.push_back({f.FileName, std::string(f.Data->View())});
  const std::string packed = skin::PackSkin(members);
  skin::TsStoredSkin& stored = m.InternalSkins.Add();
  stored.Name = name;
  stored.Data.WriteBuffer(packed.data(), int64_t(packed.size()));
}

// Variants of a stored skin whose description lacks sections, switched to live from another skin: the form and a
// speed button look exactly as when the same skin is applied afresh (switched on from "None"), where a section
// the skin lacks gives the plain look, never what the previous skin left.
TEST(ProviderWindows, ASkinLackingSectionsLooksAfterALiveSwitchAsAfterAFreshStart) {
  StationForm s;
  auto* box = new gui::TGroupBox(s.form);
  box->SetParent(s.form);
  box->SetBounds(10, 10, 220, 80);
  auto* speed = new gui::TSpeedButton(s.form);
  speed->SetParent(box);
  speed->SetBounds(20, 30, 80, 24);
  speed->SetCaption("Lucky");
  using Edit = std::function<void(std::string&)>;
  const auto without = [](const std::string& section) -> Edit {  // up to the next section
    return [section](std::string& o) {
      const size_t at = o.find("[" + section + "]");
      o.erase(at, o.find("\n[", at) + 1 - at);
    };
  };
  const Edit globalOnly = [](std::string& o) { o.erase(o.find("\n[", o.find("[GLOBALINFO]")) + 1); };
  // The frame (skinned, system caption buttons, region, border window) and the speed button's pixels.
  auto look = [&] {
    std::vector<uint32_t> l = {skin::ProviderSkinned(*s.p), (GetWindowLongA(s.Handle(), GWL_STYLE) & WS_SYSMENU) != 0,
                               HasRegion(s.Handle()), s.p->BorderForm != nullptr};
    for (int y = 30; y < 54; y += 3)
      for (int x = 20; x < 100; x += 2) {
        POINT pt{x, y};
        ClientToScreen(box->WindowHandle(), &pt);
        l.push_back(testsupport::ScreenPixel(pt.x, pt.y) & 0xFFFFFF);
      }
    return l;
  };
  auto settled = [&] {  // redrawn until two pictures in a row agree
    std::vector<uint32_t> last = look(), now;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 20000; last = now) {
      RedrawWindow(s.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      PumpFor(150);
      if ((now = look()) == last) break;
    }
    return now;
  };
  for (const auto& [name, edit] : {std::pair<std::string, Edit>{"No SPEEDBUTTON", without("SPEEDBUTTON")},
                                   {"GLOBALINFO alone", globalOnly}, {"No FORM", without("FORM")}}) {
    SCOPED_TRACE(name);
    StoreEditedSkin(*s.manager, "Lucky (internal)", name, edit);
    s.manager->SetSkinName("Spring Willow (internal)");
    settled();
    s.manager->SetSkinName(name);
    const std::vector<uint32_t> live = settled();
    s.manager->SetActive(false);
    settled();
    s.manager->SetActive(true);
    EXPECT_TRUE(live == settled()) << "the frame or the speed button differs from a fresh start";
    // Drawn by a section or plain, never a black block.
    EXPECT_LT(std::count(live.begin() + 4, live.end(), 0u), std::ptrdiff_t(live.size() / 4));
  }
  EXPECT_TRUE(s.system.messageBoxes.empty());
}

// A skin whose caption is taller than the room above the form, taken live or at start-up: the form comes down so
// that the border window's caption starts on the screen, where it can be grabbed; maximised, the same.
TEST(ProviderWindows, ATallCaptionTakenLiveStaysOnTheScreen) {
  const auto tall = [](StationForm& s) {
    StoreEditedSkin(*s.manager, "Lucky (internal)", "Tall", [](std::string& o) {
      o.insert(o.find("[GLOBALINFO]\r\n") + 14, "TITLEHEIGHT=200\r\nMAXHEIGHT=200\r\n");
    });
    s.manager->SetSkinName("Tall");
    ASSERT_EQ(s.manager->SkinName(), "Tall");
  };
  for (const bool atStartUp : {false, true}) {
    SCOPED_TRACE(atStartUp ? "at start-up" : "live");
    StationForm s(atStartUp ? std::function<void(StationForm&)>(tall) : nullptr);
    ASSERT_TRUE(s.p->BorderForm);
    if (!atStartUp) tall(s);
    // Where the caption starts: below the border window's margin, or at the maximised window's own top.
    const auto captionTop = [&] {
      const HWND h = s.Handle();
      RECT w{};
      GetWindowRect(h, &w);
      const int32_t top = s.p->BorderForm ? skin::BorderFormScreenRect(*s.p->BorderForm).Top : int32_t(w.top);
      return top + (IsZoomed(h) || !s.p->BorderForm ? skin::ProviderCaptionTopOffset(*s.p)
                                                     : skin::SkinExtBorderMargins(*s.p->BorderForm).Top);
    };
    const auto onScreen = [&] {
      MONITORINFO mi{};
      mi.cbSize = sizeof mi;
      GetMonitorInfoA(MonitorFromWindow(s.Handle(), MONITOR_DEFAULTTONEAREST), &mi);
      return captionTop() >= mi.rcWork.top;
    };
    EXPECT_TRUE(PumpUntil(onScreen, 20000)) << captionTop();
    ShowWindow(s.Handle(), SW_MAXIMIZE);
    EXPECT_TRUE(PumpUntil([&] { return IsZoomed(s.Handle()) && onScreen(); }, 20000)) << captionTop();
  }
}

// Counts the WM_PAINT messages that paint a window on the screen (not those that print it into a given device
// context), and those it receives while it is layered at alpha 0 (and the messages of another kind, when one is
// given).
struct PaintCounter {
  HWND h;
  WNDPROC old;
  UINT other = 0;
  int paints = 0, transparentPaints = 0, others = 0, prints = 0;
  static PaintCounter*& Current() {
    static PaintCounter* current = nullptr;
    return current;
  }
  static bool Transparent(HWND w) {
    BYTE alpha = 255;
    DWORD flags = 0;
    return (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_LAYERED) && GetLayeredWindowAttributes(w, nullptr, &alpha, &flags) &&
           (flags & LWA_ALPHA) && alpha == 0;
  }
  static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    PaintCounter* c = Current();
    if (c->other != 0 && msg == c->other) ++c->others;
    if (msg == WM_PRINT) ++c->prints;
    if (msg == WM_PAINT && wp == 0) {
      ++c->paints;
      if (Transparent(w)) ++c->transparentPaints;
    }
    return CallWindowProcA(c->old, w, msg, wp, lp);
  }
  explicit PaintCounter(HWND window, UINT otherMessage = 0) : h(window), other(otherMessage) {
    Current() = this;
    old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
  }
  ~PaintCounter() {
    if (IsWindow(h) && GetWindowLongPtrA(h, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Proc))
      SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    Current() = nullptr;
  }
};

// The form's windows that were about to come on the screen while not transparent: seen as their showing message
// returns, before they show.
struct ShowWatch {
  static ShowWatch*& Current() {
    static ShowWatch* current = nullptr;
    return current;
  }
  static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp) {
    const auto* m = reinterpret_cast<const CWPRETSTRUCT*>(lp);
    ShowWatch* w = Current();
    if (code == HC_ACTION && w && m->message == WM_SHOWWINDOW && m->wParam && m->lParam == 0 &&
        w->form.HandleAllocated() && m->hwnd == w->form.WindowHandle() && !PaintCounter::Transparent(m->hwnd))
      ++w->shownOpaque;
    return CallNextHookEx(nullptr, code, wp, lp);
  }
  explicit ShowWatch(gui::TCustomForm& f) : form(f) {
    Current() = this;
    hook = SetWindowsHookExA(WH_CALLWNDPROCRET, &Hook, nullptr, GetCurrentThreadId());
  }
  ~ShowWatch() {
    UnhookWindowsHookEx(hook);
    Current() = nullptr;
  }
  gui::TCustomForm& form;
  HHOOK hook = nullptr;
  int shownOpaque = 0;
};

// A skinned form that fades in as it shows comes on the screen transparent (not first in full, then gone, then
// faded in), whether its window was made before (shown again) or is made by the show (as the main form's is), is
// never painted while it is transparent, and ends opaque showing the fade's last picture without painting again.
TEST(ProviderWindows, AFormThatFadesInIsNotPaintedWhileItIsTransparent) {
  skin::PortableSkinSystem system;
  system.layeredWindows = true;
  for (bool madeBefore : {true, false}) {
    auto* form = new gui::TForm(gui::Application);
    auto* manager = new skin::TsSkinManagerComponent(form, system);
    station::ReadProgramSkinManagerWithResources(*manager);
    form->SetBounds(60, 60, 360, 260);
    auto* p = new TsSkinProvider(form);
    if (madeBefore) form->HandleNeeded();
    ASSERT_TRUE(skin::ProviderShowAnimationWanted(*p));
    {
      ShowWatch watch(*form);
      std::optional<PaintCounter> counter;
      if (madeBefore) counter.emplace(form->WindowHandle());
      form->Show();
      PumpFor(300);
      if (counter) {
        EXPECT_EQ(counter->paints, 0);
        EXPECT_EQ(counter->transparentPaints, 0);
      }
      EXPECT_EQ(watch.shownOpaque, 0) << (madeBefore ? "shown again" : "shown first");
    }
    EXPECT_FALSE(PaintCounter::Transparent(form->WindowHandle()));
    gui::Free(form);
  }
}

// The child windows of a form that fades in are in the skin before the fade's picture is made of them, are printed
// into it once (never painted without the skin), and are shown by its last picture once the form is opaque, as
// they would paint themselves, without painting again.
TEST(ProviderWindows, TheChildWindowsOfAFormThatFadesInArePaintedOnceInTheSkin) {
  skin::PortableSkinSystem system;
  system.layeredWindows = true;
  auto* form = new gui::TForm(gui::Application);
  station::ReadProgramSkinManagerWithResources(*new skin::TsSkinManagerComponent(form, system));
  form->SetBounds(60, 60, 460, 300);
  auto* p = new TsSkinProvider(form);
  ASSERT_TRUE(skin::ProviderShowAnimationWanted(*p));
  auto* edit = new gui::TEdit(form);
  edit->SetParent(form);
  edit->SetBounds(20, 20, 120, 21);
  // Disabled controls of each kind the adapters paint, with a text: a list showing an item (as the station's list of
  // voices without a voice), a combo with an edit field, an edit, a memo, buttons, a check box, a static text and a
  // track bar.
  std::vector<gui::TWinControl*> disabled;
  auto place = [&](gui::TWinControl* c, int x, int y, int w, int h, const char* text) {
    c->SetParent(form);
    c->SetBounds(x, y, w, h);
    c->SetText(text);
    c->SetEnabled(false);
    disabled.push_back(c);
  };
  for (gui::TComboBoxStyle style : {gui::TComboBoxStyle::csDropDownList, gui::TComboBoxStyle::csDropDown}) {
    auto* list = new gui::TComboBox(form);
    list->SetStyle(style);
    place(list, 20, style == gui::TComboBoxStyle::csDropDown ? 90 : 60, 160, 21, "");
    list->Items().Add("No voice installed");
    list->SetItemIndex(0);
  }
  place(new gui::TEdit(form), 20, 120, 120, 21, "Disabled");
  auto* memo = new gui::TMemo(form);
  memo->SetScrollBars(gui::TScrollStyle::ssVertical);
  place(memo, 20, 150, 160, 60, "Disabled memo");
  place(new gui::TButton(form), 220, 20, 100, 28, "Button");
  place(new gui::TBitBtn(form), 220, 60, 100, 28, "Bit button");
  place(new gui::TCheckBox(form), 220, 100, 120, 21, "Check box");
  place(new gui::TStaticText(form), 220, 130, 120, 21, "Static text");
  place(new gui::TTrackBar(form), 220, 160, 160, 40, "");
  // The program's colour button, which draws itself (no adapter skins it), enabled; a label painted on the form.
  place(new forms::TClrBtn(form), 220, 210, 120, 28, "Writing");
  disabled.back()->SetEnabled(true);
  auto* label = new gui::TLabel(form);
  label->SetParent(form);
  label->SetBounds(20, 220, 160, 16);
  label->SetCaption("Are you sure?");
  // A window of the program's own, made with CreateWindowEx on the form: no control stands for it.
  constexpr COLORREF kRawColour = RGB(10, 200, 30);
  WNDCLASSA rawClass{};
  rawClass.lpszClassName = "FadeRawChild";
  rawClass.lpfnWndProc = [](HWND w, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
    if (msg != WM_PAINT) return DefWindowProcA(w, msg, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    HBRUSH b = CreateSolidBrush(kRawColour);
    FillRect(dc, &ps.rcPaint, b);
    DeleteObject(b);
    EndPaint(w, &ps);
    return 0;
  };
  RegisterClassA(&rawClass);
  HWND raw = CreateWindowExA(0, "FadeRawChild", "", WS_CHILD | WS_VISIBLE, 400, 20, 40, 40, form->Handle(), nullptr,
                             nullptr, nullptr);
  {
    PaintCounter counter(edit->Handle(), WM_NCPAINT);
    // The fade's pictures go to an output that notes whether the edit was in the skin when the first was made.
    struct FirstPicture : skin::TacLayeredOutput {
      HWND edit = nullptr;
      int pictures = 0;
      bool skinned = false;
      skin::Bitmap last;  // at full size (an aero fade grows its picture)
      bool showing = false;  // the show runs (a hide fading out meanwhile pushes its pictures from a timer)
      bool hiding = false, hideOnScreen = false;  // the hide's first picture went to a window on the screen
      void Push(HWND w, const skin::Bitmap& frame, uint8_t) override {
        if (hiding) hideOnScreen = IsWindowVisible(w), hiding = false;
        if (!showing) return;
        if (pictures++ == 0)
          skinned = SendMessageA(edit, skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_ISSKINNED), 0) != 0;
        last.Assign(frame);
      }
    } fade;
    fade.edit = edit->Handle();
    skin::TacLayeredOutput* previous = skin::SetLayeredOutput(&fade);
    fade.showing = true;
    form->Show();
    fade.showing = false;
    PumpFor(300);
    skin::SetLayeredOutput(previous);
    EXPECT_GT(fade.pictures, 1);
    EXPECT_TRUE(fade.skinned);
    EXPECT_EQ(counter.paints, 0);
    EXPECT_EQ(counter.others, 0);
    EXPECT_EQ(counter.prints, 1);
    // The edit's middle on the screen, in the window and in the picture (of the window, or of its border window
    // when the fade ran on one).
    RECT w{}, e{}, pic{};
    GetWindowRect(form->WindowHandle(), &w);
    GetWindowRect(edit->Handle(), &e);
    pic = w;
    if (p->BorderForm && p->BorderForm->AForm && fade.last.Width() != w.right - w.left)
      GetWindowRect(static_cast<HWND>(p->BorderForm->AForm), &pic);
    const int x = (e.left + e.right) / 2, y = (e.top + e.bottom) / 2;
    ASSERT_FALSE(fade.last.Empty());
    EXPECT_EQ(skin::GetPixel32(fade.last, x - pic.left, y - pic.top) & 0xFFFFFF,
              ShownAt(form->WindowHandle(), x - w.left, y - w.top));
    // The window the picture does not hold shows its own pixels.
    RECT rr{};
    GetWindowRect(raw, &rr);
    EXPECT_TRUE(testsupport::PumpUntil(
        [&] { return ShownAt(form->WindowHandle(), rr.left - w.left + 20, rr.top - w.top + 20) == (Px(kRawColour) & 0xFFFFFF); },
        20000));
    // Painted by itself, it looks the same; so does each disabled control, in its disabled look.
    auto shown = [&](HWND c) {
      RECT r{};
      GetWindowRect(c, &r);
      const skin::Bitmap picture = WindowPicture(form->WindowHandle());
      std::vector<uint32_t> pixels;
      for (int py = r.top; py < r.bottom; ++py)
        for (int px = r.left; px < r.right; ++px) pixels.push_back(skin::GetPixel32(picture, px - w.left, py - w.top));
      return pixels;
    };
    std::vector<std::vector<uint32_t>> printed;
    for (gui::TWinControl* c : disabled) printed.push_back(shown(c->Handle()));
    RedrawWindow(edit->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    // The disabled ones paint themselves anew, their pictures made again.
    for (gui::TWinControl* c : disabled) {
      SendMessageA(c->Handle(), skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_SETBGCHANGED), 0);
      RedrawWindow(c->Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    EXPECT_EQ(skin::GetPixel32(fade.last, x - pic.left, y - pic.top) & 0xFFFFFF,
              ShownAt(form->WindowHandle(), x - w.left, y - w.top));
    for (size_t i = 0; i < disabled.size(); ++i) {
      const std::vector<uint32_t> painted = shown(disabled[i]->Handle());
      size_t differ = 0;
      for (size_t k = 0; k < painted.size(); ++k) differ += painted[k] != printed[i][k];
      EXPECT_EQ(differ, 0u) << disabled[i]->ClassName() << " " << i;
    }
    // The picture the form holds as it hides shows its client area as the screen does (the label and the memo's
    // scroll bar too; the window no control stands for aside).
    POINT c{0, 0};
    ClientToScreen(form->WindowHandle(), &c);
    const skin::TRect client{c.x - w.left, c.y - w.top, c.x - w.left + 390, c.y - w.top + form->ClientHeight()};
    const skin::Bitmap screen = WindowPicture(form->WindowHandle());
    ASSERT_TRUE(skin::ProviderTakeHideSnapshot(*p));
    EXPECT_EQ(BandDifferences(screen, *p->SkinData().CacheBmp, client, skin::ProviderCacheOrigin(*p)), 0);
    skin::ProviderEndHideSnapshot(*p);
    fade.hiding = true;
    skin::SetLayeredOutput(&fade);
    form->Hide();
    skin::SetLayeredOutput(previous);
    EXPECT_TRUE(fade.hideOnScreen) << "the form's picture is on the screen before it hides";
  }
  EXPECT_NE(SendMessageA(edit->Handle(), skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_ISSKINNED), 0), 0);
  gui::Free(form);
}

// A size change that leaves the window as it is keeps the frame as it was composed (a mark put in it stays); a
// new client size has it composed anew.
TEST(ProviderWindows, ASizeChangeThatChangesNothingKeepsTheComposedFrame) {
  StationForm s;
  RECT client{};
  GetClientRect(s.Handle(), &client);
  const skin::TRect caption = skin::ProviderCaptionRect(*s.p);
  const int32_t x = (caption.Left + caption.Right) / 2, y = (caption.Top + caption.Bottom) / 2;
  for (int narrower : {0, 10}) {
    SendMessageA(s.Handle(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    skin::SetPixel32(*s.p->SkinData().CacheBmp, x, y, 0xFF123456);
    SendMessageA(s.Handle(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right - narrower, client.bottom));
    EXPECT_EQ(skin::GetPixel32(*s.p->SkinData().CacheBmp, x, y) != 0xFF123456, narrower != 0);
  }
}

// The form's region set again unchanged is no frame change (a window that lost it gets it back); while the form
// fades in as it shows, the style changes of its transparency leave the border window to the fade (else they
// update it).
TEST(ProviderWindows, AnUnchangedRegionAndTheFadesTransparencyLeaveTheWindowsAlone) {
  StationForm s;
  ASSERT_TRUE(s.p->BorderForm && s.p->BorderForm->AForm);
  EXPECT_EQ(s.p->StateFlags & skin::psShowFading, 0u);
  for (bool lost : {false, true}) {
    if (lost) SetWindowRgn(s.Handle(), nullptr, FALSE);
    PaintCounter frameChanges(s.Handle(), WM_NCCALCSIZE);
    skin::ProviderUpdateRegion(*s.p, false);
    EXPECT_TRUE(HasRegion(s.Handle()));
    EXPECT_EQ(frameChanges.others > 0, lost);
  }
  for (bool fading : {true, false}) {
    // A pass-through hole marked first: an update shows the frame anew and marks none.
    s.p->BorderForm->RgnChanged = true;
    if (fading) s.p->StateFlags |= skin::psShowFading;
    skin::SetFormAlpha(*s.form, 200);
    skin::SetFormAlpha(*s.form, 255);
    s.p->StateFlags &= ~skin::psShowFading;
    EXPECT_EQ(!s.p->BorderForm->RgnChanged, !fading);
  }
}

// In every stored skin a button in a group box carries its skin's outer effect: the band just outside the button
// shows something else with outer effects on than off, while the box away from the button shows the same.
TEST(ProviderWindows, ButtonsOfEveryStoredSkinCarryTheirOuterEffect) {
  StationForm s;
  auto* box = new gui::TGroupBox(s.form);
  box->SetParent(s.form);
  box->SetBounds(10, 10, 220, 130);
  box->SetCaption("Mode");
  auto* button = new gui::TButton(s.form);
  button->SetParent(box);
  button->SetBounds(50, 50, 100, 26);
  button->SetCaption("Report");
  // Points of the box in screen coordinates: two rows above the button and two columns beside it, and one far.
  auto screen = [&](int x, int y) {
    POINT pt{x, y};
    ClientToScreen(box->WindowHandle(), &pt);
    return testsupport::ScreenPixel(pt.x, pt.y) & 0xFFFFFF;
  };
  auto band = [&] {
    std::vector<uint32_t> v;
    for (int x = 60; x < 140; x += 8)
      for (int y : {48, 49}) v.push_back(screen(x, y));
    for (int y = 55; y < 72; y += 4)
      for (int x : {48, 49, 150, 151}) v.push_back(screen(x, y));
    return v;
  };
  auto settle = [&](const std::function<bool()>& done) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 5000) {
      RedrawWindow(s.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      PumpFor(50);
      if (done()) return true;
    }
    return false;
  };
  for (std::string_view name : skin::ProgramStoredSkinNames) {
    SCOPED_TRACE(std::string(name));
    s.manager->SetAllowOuterEffects(false);
    s.manager->SetSkinName(std::string(name));
    std::vector<uint32_t> plain;
    uint32_t away = 0;
    // Plain: the same picture twice in a row.
    ASSERT_TRUE(settle([&] {
      const std::vector<uint32_t> now = band();
      const bool same = now == plain;
      plain = now;
      away = screen(200, 110);
      return same;
    }));
    s.manager->SetAllowOuterEffects(true);
    EXPECT_TRUE(settle([&] { return band() != plain; }));
    EXPECT_EQ(screen(200, 110), away);
    if (const char* dir = std::getenv("STATION_SHOTS")) {
      std::string file = "outer-effect-";
      for (char c : name) file += std::isalnum(static_cast<unsigned char>(c)) ? c : '-';
      testsupport::SaveWindowPicture(s.Handle(), dir, file);
    }
  }
}

// A live skin change with its transition repaints the form once, under the transition's last picture.
TEST(ProviderWindows, ASkinChangeRepaintsTheFormOnce) {
  StationForm s;
  ASSERT_TRUE(s.manager->AnimEffects.SkinChanging.Active);
  PumpFor(200);
  for (const char* name : {"Lucky (internal)", "Spring Willow (internal)"}) {
    SCOPED_TRACE(name);
    PaintCounter counter(s.Handle());
    s.manager->SetSkinName(name);
    PumpFor(200);
    EXPECT_EQ(counter.paints, 1);
  }
}

// The skin commands of one code (a refresh unless told otherwise) that the thread's windows are sent, window by
// window.
static std::map<HWND, int> g_refreshes;
static uint16_t g_countedCommand = skin::AC_SKINREFRESH;
static LRESULT CALLBACK CountRefreshes(int code, WPARAM wp, LPARAM lp) {
  const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
  if (code == HC_ACTION && m->message == skin::WM_SKINCOMMAND && skin::SkinCommandCode(m->wParam) == g_countedCommand)
    ++g_refreshes[m->hwnd];
  return CallNextHookEx(nullptr, code, wp, lp);
}

struct NestedControls : StationForm {
  gui::TPanel *outer, *inner;
  gui::TEdit* edit;
  gui::TButton* button;
  NestedControls() {
    outer = new gui::TPanel(form);
    outer->SetParent(form);
    outer->SetBounds(10, 10, 300, 150);
    inner = new gui::TPanel(form);
    inner->SetParent(outer);
    inner->SetBounds(10, 10, 260, 100);
    edit = new gui::TEdit(form);
    edit->SetParent(inner);
    edit->SetBounds(10, 10, 120, 24);
    button = new gui::TButton(form);
    button->SetParent(form);
    button->SetBounds(10, 170, 80, 25);
    PumpFor(200);
  }
};

// A live skin change refreshes each control once, however deep it lies: the form's control adapter, every
// panel on the way and the walk over the form's children would each hand it the refresh.
TEST(ProviderWindows, ASkinChangeRefreshesEachControlOnce) {
  NestedControls s;
  for (const char* name : {"Lucky (internal)", "Spring Willow (internal)"}) {
    SCOPED_TRACE(name);
    g_refreshes.clear();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, &CountRefreshes, nullptr, GetCurrentThreadId());
    s.manager->SetSkinName(name);
    UnhookWindowsHookEx(hook);
    for (gui::TWinControl* c : std::initializer_list<gui::TWinControl*>{s.outer, s.inner, s.edit, s.button})
      EXPECT_EQ(g_refreshes[c->WindowHandle()], 1) << c->ClassName();
  }
}

// A clock in the caption, as the station's, changes the frame alone: each tick repaints the caption, and no
// control is told to flush a repaint (the whole form and every control below it were repainted every tick).
TEST(ProviderWindows, ACaptionClockRepaintsTheFrameAndFlushesNoControl) {
  NestedControls s;
  // At rest first: the form's first paints, which flush their children, are over.
  PumpUntil([] { return (HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT) == 0; }, 20000);
  static int ticks = 0;
  static gui::TForm* clockForm = nullptr;
  ticks = 0;
  clockForm = s.form;
  g_refreshes.clear();
  g_countedCommand = skin::AC_FLUSHREPAINT;
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, &CountRefreshes, nullptr, GetCurrentThreadId());
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
    if (ticks < 20) clockForm->SetCaption("Live " + std::to_string(++ticks));
  });
  PumpUntil([] { return ticks >= 20; }, 40000);
  KillTimer(nullptr, timer);
  PumpFor(200);
  UnhookWindowsHookEx(hook);
  g_countedCommand = skin::AC_SKINREFRESH;
  EXPECT_EQ(ticks, 20);
  EXPECT_TRUE(g_refreshes.empty()) << "a control was told to flush a repaint";
  char text[32] = {};
  GetWindowTextA(s.Handle(), text, sizeof text);
  EXPECT_STREQ(text, "Live 20");
  EXPECT_FALSE(s.p->SkinData().BGChanged);
}

TEST(ProviderWindows, TheProgramsStoredAnimationsRunAsStored) {
  StationForm s;
  HWND h = s.Handle();
  EXPECT_TRUE(skin::ProviderShowAnimationWanted(*s.p));  // shows and hides fade in 100 ms
  EXPECT_TRUE(skin::ProviderHideAnimationWanted(*s.p));
  // Minimizing in 150 ms: twelve steps of the 12 ms timer.
  SendMessageA(h, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_NE(skin::ProviderMinTimer(*s.p), nullptr);
  EXPECT_EQ(skin::ProviderMinTimer(*s.p)->StepCount, 12);
  EXPECT_TRUE(PumpUntil([&] { return IsIconic(h) != FALSE; }));
  EXPECT_TRUE(ManagerHasIt(h, "state: Iconic"));
  SendMessageA(h, WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(PumpUntil([&] { return !IsIconic(h); }));
  EXPECT_TRUE(ManagerHasIt(h, "state: Normal"));
  // Blended moves fade to 170 in 500 ms.
  auto* move = new skin::TacMoveTimer(*s.p);
  EXPECT_EQ(move->MinAlpha, 170);
  EXPECT_DOUBLE_EQ(move->AlphaStep, 85.0 / (500.0 / 12));
  skin::TacThreadedTimer* t = move;
  skin::ReleaseAnimTimer(t);
  // Extended borders are on: the border window is there exactly when the skin has them.
  EXPECT_TRUE(s.manager->ExtendedBorders());
  EXPECT_EQ(s.p->BorderForm != nullptr, skin::ProviderUseExtBorders(*s.p));
}

TEST(ProviderWindows, TheLedgerAndWindowCountAreFlatOverTwentyRoundsOfUse) {
  StationForm s;
  s.manager->AnimEffects.Minimizing.Time = 36;
  s.manager->AnimEffects.FormShow.Time = 24;
  s.manager->AnimEffects.FormHide.Time = 24;
  HWND h = s.Handle();
  const std::vector<std::string> names{"Topaz (internal)", "Snow Leopard (internal)", "Vienna Ext (internal)",
                                       "Spring Willow (internal)"};
  // Six settings: four skins with and without extended borders, the skin removed and loaded again, and the first
  // skin with extended borders. Each setting leaves the same state whenever it is made.
  auto setting = [&](int i) {
    const int k = i % 6;
    if (k == 4) {
      s.manager->SetActive(false);
      s.manager->SetActive(true);
      return;
    }
    s.manager->SetExtendedBorders(k == 1 || k == 2 || k == 5);
    s.manager->SetSkinName(names[size_t(k == 5 ? 0 : k)]);
  };
  auto round = [&](int i) {
    setting(i);
    PumpFor(20);
    s.form->Hide();
    PumpFor(20);
    s.form->Show();
    PumpFor(20);
    RECT wr{};
    GetWindowRect(h, &wr);
    const skin::TPoint close = Centre(s.p->ButtonClose.Rect);
    SendMessageA(h, WM_NCMOUSEMOVE, HTCLOSE, MAKELPARAM(wr.left + close.X, wr.top + close.Y));
    SendMessageA(h, WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(wr.left + close.X, wr.top + close.Y));
    SendMessageA(h, WM_NCLBUTTONUP, HTCAPTION, MAKELPARAM(wr.left + 60, wr.top + 8));
    s.form->SetBounds(60, 60, 360 + (i % 3) * 20, 260 + (i % 2) * 30);
    PumpFor(20);
    skin::Bitmap printed(s.form->Width(), s.form->Height(), skin::pf32bit);
    {
      skin::BitmapDC dc(printed);
      SendMessageA(h, WM_PRINT, reinterpret_cast<WPARAM>(dc.dc()), PRF_NONCLIENT | PRF_CLIENT);
    }
    SendMessageA(h, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(h) != FALSE; }));
    ASSERT_TRUE(ManagerHasIt(h, "state: Iconic"));
    SendMessageA(h, WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsIconic(h) && IsWindowVisible(h); }, 15000));
    ASSERT_TRUE(ManagerHasIt(h, "state: Normal"));
  };
  {
    gui::TTimer warm(nullptr);
    warm.SetEnabled(true);
  }
  // What the rounds keep (caches of the last skin) in place, ending on the setting the last round makes.
  for (int i = 18; i < 20; ++i) round(i);
  PumpFor(100);
  const skin::ledger::Snapshot before = skin::ledger::Take();
  const int windows = ThreadWindowCount();
  for (int i = 0; i < 20; ++i) {
    SCOPED_TRACE(i);
    round(i);
  }
  PumpFor(150);
  EXPECT_EQ(skin::ledger::Difference(before, skin::ledger::Take()), "");
  EXPECT_EQ(ThreadWindowCount(), windows);
}


using testsupport::Xdotool;

TEST(ProviderWindows, ABorderDraggedWithTheMouseStopsAtTheMinimumSize) {
  for (skin::TsResizeMode mode : {skin::rmStandard, skin::rmBorder}) {
    SCOPED_TRACE(mode == skin::rmStandard ? "live sizing" : "outline");
    Shown s(false, 200, 150, 360, 260);
    s.p->ResizeMode = mode;
    s.form->Constraints.MinWidth = 300;
    s.form->Constraints.MinHeight = 200;
    SetForegroundWindow(s.Handle());
    // Where it stands once a window manager has placed it (on a busy machine openbox may put it elsewhere).
    RECT at{};
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == s.Handle(); }));
    PumpFor(100);
    GetWindowRect(s.Handle(), &at);
    // The bottom-left corner dragged 150 pixels right and 120 up: the left edge stops 300 pixels from the right
    // one, the bottom edge 200 below the top; the right and top edges stay.
    ASSERT_EQ(HitAt(s.Handle(), 1, 258), HTBOTTOMLEFT);
    using testsupport::MoveTo;
    const int x = at.left + 1, y = at.bottom - 2;
    ASSERT_TRUE(Xdotool(MoveTo(x, y) + " mousedown 1 sleep 0.2 " + MoveTo(x + 59, y - 28) + " sleep 0.2 " +
                        MoveTo(x + 150, y - 120) + " sleep 0.3 mouseup 1"));
    RECT r{};
    GetWindowRect(s.Handle(), &r);
    EXPECT_EQ(r.right, at.right);
    EXPECT_EQ(r.top, at.top);
    // Wine's own sizing loop may stop one pixel before the minimum; never below it.
    EXPECT_GE(r.right - r.left, 300);
    EXPECT_LE(r.right - r.left, mode == skin::rmBorder ? 300 : 301);
    EXPECT_GE(r.bottom - r.top, 200);
    EXPECT_LE(r.bottom - r.top, mode == skin::rmBorder ? 200 : 201);
    EXPECT_FALSE(s.p->DragActive);
    EXPECT_EQ(GetCapture(), nullptr);
    Xdotool("mousemove 900 700");
  }
}

// The close box of a modal form that lies in its border window closes it under the X server's mouse, the pointer
// resting on it first (its hover glow's window lies under the press), and again when the form shows a second time
// (its border window made anew for a window that keeps its region from the hide).
TEST(ProviderWindows, TheCloseBoxOfAModalFormClosesItEachTimeItShows) {
  FormsSkin skin(true);
  skin.Skin().SkinData.BorderWidth = GetSystemMetrics(SM_CXFRAME);
  skin.Skin().SkinData.TitleHeight = skin.Skin().SkinData.MaxHeight =
      GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CXFRAME);
  auto* form = new gui::TForm(gui::Application);
  form->SetBounds(300, 250, 320, 200);
  form->SetCaption("Modal");
  form->SetBorderIcons(gui::biSystemMenu);
  auto* p = new TsSkinProvider(form);
  struct DriverGuard {
    ~DriverGuard() { gui::Application->ModalDriver = nullptr; }
  } guard;
  bool closed = false, glowed = false;
  gui::Application->ModalDriver = [&](gui::TCustomForm& f) {
    closed = glowed = false;
    if (!PumpUntil([&] { return p->BorderForm && skin::BorderFormShown(*p->BorderForm); }))
      return f.SetModalResult(gui::mrCancel);
    const skin::TRect b = skin::BorderFormScreenRect(*p->BorderForm), box = p->ButtonClose.Rect;
    const int x = b.Left + (box.Left + box.Right) / 2, y = b.Top + (box.Top + box.Bottom) / 2;
    using testsupport::MoveTo;
    testsupport::Xdotool(MoveTo(x - 40, y + 60) + " sleep 0.1 " + MoveTo(x - 1, y) + " sleep 0.1 " + MoveTo(x, y));
    glowed = PumpUntil([&] { return p->ButtonClose.GlowTimer && p->ButtonClose.GlowTimer->ShownAlpha == 255; });
    testsupport::Xdotool("click 1");
    closed = PumpUntil([&] { return f.ModalResult() != gui::mrNone; });
    if (!closed) f.SetModalResult(gui::mrCancel);
  };
  for (int show = 1; show <= 2; ++show) {
    SCOPED_TRACE(show);
    form->ShowModal();
    EXPECT_TRUE(glowed);
    EXPECT_TRUE(closed);
  }
  testsupport::Xdotool("mousemove 900 700");
  gui::Free(form);
  PumpFor(50);
}

// The lowest constant alpha the form's window had while a timer sampled it (255 when never layered).
HWND g_sampled = nullptr;
int g_lowestAlpha = 255;
void CALLBACK SampleAlpha(HWND, UINT, UINT_PTR, DWORD) {
  BYTE alpha = 255;
  DWORD flags = 0;
  if ((GetWindowLongA(g_sampled, GWL_EXSTYLE) & WS_EX_LAYERED) &&
      GetLayeredWindowAttributes(g_sampled, nullptr, &alpha, &flags) && (flags & LWA_ALPHA))
    g_lowestAlpha = std::min<int>(g_lowestAlpha, alpha);
}

// A point on the screen's row y of the caption that a form's border window carries: right of the span round the
// caption's text, which the form's own window shows.
POINT BorderCaptionPoint(skin::TsSkinProvider& p, int y) {
  RECT br{};
  GetWindowRect(static_cast<HWND>(p.BorderForm->AForm), &br);
  return POINT{br.left + p.CaptionOnFormShown.Right + 4, y};
}

// The caption of a form whose frame lies in a border window is the border window's, but for the span round its
// text, which the form's own window shows: dragged with the mouse by either, the form moves, and its border window
// with it.
TEST(ProviderWindows, AFormWithABorderWindowMovesWhenItsCaptionIsDragged) {
  for (const bool onBorder : {true, false}) {
    SCOPED_TRACE(onBorder ? "the border window's caption" : "the span the form shows");
    Shown s(true, 200, 150, 360, 260);
    SetForegroundWindow(s.Handle());
    PumpFor(150);
    ASSERT_TRUE(s.p->BorderForm && s.p->BorderForm->AForm);
    HWND border = static_cast<HWND>(s.p->BorderForm->AForm);
    ASSERT_FALSE(skin::RectIsEmpty(s.p->CaptionOnFormShown));
    const POINT at = onBorder ? BorderCaptionPoint(*s.p, 158) : POINT{300, 158};
    ASSERT_EQ(WindowFromPoint(at), onBorder ? border : s.Handle());
    ASSERT_TRUE(Xdotool(testsupport::MoveTo(at) + " mousedown 1 sleep 0.1 mousemove_relative 20 12 sleep 0.3 "
                        "mousemove_relative 40 28 sleep 0.3 mouseup 1"));
    // A window manager that runs the drag places the window when it has ended: it comes late on a busy machine.
    RECT r{}, br{};
    EXPECT_TRUE(PumpUntil([&] { return GetWindowRect(s.Handle(), &r) && r.left == 260 && r.top == 190; }, 15000))
        << r.left << ", " << r.top;
    EXPECT_TRUE(PumpUntil([&] {
      return GetWindowRect(border, &br) && br.left == r.left - kShadowMargin && br.top == r.top - kShadowMargin;
    }, 15000)) << br.left << ", " << br.top;
    EXPECT_EQ(GetCapture(), nullptr);
    Xdotool("mousemove 900 700");
  }
}

// A double click on the caption that the border window carries maximizes only a form that can be maximized, and a
// second one gives it back; one without a maximize box stays as it is.
TEST(ProviderWindows, ACaptionDoubleClickOnTheBorderWindowMaximizesOnlyAFormThatCanBe) {
  for (bool maximizable : {true, false}) {
    SCOPED_TRACE(maximizable);
    Shown s(true, 200, 150, 360, 260,
            maximizable ? gui::biSystemMenu | gui::biMinimize | gui::biMaximize : gui::biSystemMenu | gui::biMinimize);
    SetForegroundWindow(s.Handle());
    POINT at{};
    ASSERT_TRUE(PumpUntil([&] {
      if (!s.p->BorderForm || skin::RectIsEmpty(s.p->CaptionOnFormShown)) return false;
      at = BorderCaptionPoint(*s.p, 158);
      return WindowFromPoint(at) == static_cast<HWND>(s.p->BorderForm->AForm);
    }));
    auto doubleClick = [](POINT at) {
      return Xdotool(testsupport::MoveTo(at) + " click --repeat 2 --delay 80 1 sleep 0.1 mousemove 900 700");
    };
    ASSERT_TRUE(doubleClick(at));
    if (!maximizable) {
      // It stays as it is; zoomed from outside all the same (a window manager's own command), its caption gives it
      // back as it does a maximizable one.
      EXPECT_FALSE(IsZoomed(s.Handle()));
      ShowWindow(s.Handle(), SW_MAXIMIZE);
    }
    ASSERT_TRUE(PumpUntil([&] { return IsZoomed(s.Handle()) != FALSE; }));
    ASSERT_TRUE(ManagerHasIt(s.Handle(), "MAXIMIZED_HORZ"));
    RECT r{};
    GetWindowRect(s.Handle(), &r);
    // Zoomed, its caption shows along the top of the screen (a window manager that took the border window for a
    // full-screen window would have moved it by its margins).
    uint32_t top = 0;
    EXPECT_TRUE(PumpUntil([&] { return (top = testsupport::ScreenPixel((r.left + r.right) / 2, 3)) == kTitleActive; }))
        << std::hex << top;
    ASSERT_TRUE(doubleClick(POINT{(r.left + r.right) / 2, std::max<LONG>(r.top, 0) + 8}));
    EXPECT_TRUE(PumpUntil([&] { return !IsZoomed(s.Handle()); }));
  }
}

// Dragged by its caption as an outline (Wine's default: no full-window dragging), back and forth, a form shows
// nothing of the outline afterwards: where the outline crossed it before it moved, the screen shows what the form
// paints (the outline's last erase reached the screen before the form went to the outline's place).
TEST(ProviderWindows, AFormDraggedAsAnOutlineKeepsNoneOfItInside) {
  Shown s(false, 300, 250, 360, 260);
  SetForegroundWindow(s.Handle());
  PumpFor(100);
  BOOL full = FALSE;
  SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
  SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, FALSE, nullptr, 0);
  for (int drag = 0; drag < 8; ++drag) {
    SCOPED_TRACE(drag);
    const int dx = drag % 2 ? 60 : -60, dy = drag % 2 ? 40 : -40;
    RECT from{};
    GetWindowRect(s.Handle(), &from);
    const int w = from.right - from.left, h = from.bottom - from.top;
    const POINT at{from.left + 200, from.top + 8};
    ASSERT_TRUE(Xdotool(testsupport::MoveTo(at) + " mousedown 1 sleep 0.1 mousemove_relative -- " +
                        std::to_string(dx / 2) + " " + std::to_string(dy / 2) + " sleep 0.2 mousemove_relative -- " +
                        std::to_string(dx - dx / 2) + " " + std::to_string(dy - dy / 2) + " sleep 0.2 mouseup 1"));
    RECT r{};
    ASSERT_TRUE(PumpUntil([&] {
      return GetWindowRect(s.Handle(), &r) && r.left == from.left + dx && r.top == from.top + dy;
    }, 15000)) << r.left << ", " << r.top;
    // The last outline's edges as they lay over the form before it moved, in the form's own coordinates.
    std::vector<POINT> crossed;
    for (int x = std::max(0, dx); x < std::min(w, w + dx); x += 3) {
      if (dy > 0) crossed.push_back(POINT{x, dy});
      if (dy < 0) crossed.push_back(POINT{x, h - 1 + dy});
    }
    for (int y = std::max(0, dy); y < std::min(h, h + dy); y += 3) {
      if (dx > 0) crossed.push_back(POINT{dx, y});
      if (dx < 0) crossed.push_back(POINT{w - 1 + dx, y});
    }
    int differ = 0;
    const bool same = PumpUntil([&] {
      differ = 0;
      for (const POINT& p : crossed)
        if ((testsupport::ScreenPixel(r.left + p.x, r.top + p.y) & 0xFFFFFF) !=
            (testsupport::WindowPixel(s.Handle(), p.x, p.y) & 0xFFFFFF))
          ++differ;
      return differ == 0;
    }, 3000);
    EXPECT_TRUE(same) << differ << " of " << crossed.size() << " points where the outline lay show otherwise than the form";
  }
  SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, full, nullptr, 0);
  Xdotool("mousemove 900 700");
}

// The drag below, driven from a timer of the move's own loop as the form reaches each state: pressed on the caption
// and moved a first step (by the test), held there until the form has faded to the blend value (the fade goes by
// the timer's ticks, which come late on a busy machine), moved on to its end; there, while the button is still
// held, a window manager's late report of the first step, as Wine applies it (the window put back there); then
// released.
// A stage not reached within 30 s (the test's own wait cannot run while the move's loop holds the thread) is
// noted with where the form stood, and the button is released, which ends the loop.
int g_dragStage = 0;
DWORD g_dragStart = 0;
std::string g_dragStuck;
void CALLBACK DriveDrag(HWND, UINT, UINT_PTR, DWORD) {
  RECT r{};
  const bool held = GetCapture() == g_sampled && GetWindowRect(g_sampled, &r);
  if (g_dragStage < 3 && g_dragStuck.empty() && GetTickCount() - g_dragStart > 30000) {
    GetWindowRect(g_sampled, &r);
    g_dragStuck = "stage " + std::to_string(g_dragStage) + " not left within 30 s: the form at (" +
                  std::to_string(r.left) + ", " + std::to_string(r.top) + "), " +
                  (GetCapture() == g_sampled ? "holding" : "not holding") + " the mouse, lowest alpha " +
                  std::to_string(g_lowestAlpha);
    Xdotool("mouseup 1", false);
    return;
  }
  if (g_dragStage == 0 && held && r.left == 220 && r.top == 160 && g_lowestAlpha <= 175) {
    g_dragStage = 1;
    Xdotool("mousemove 360 200", false);
  } else if (g_dragStage == 1 && held && r.left == 260 && r.top == 190) {
    g_dragStage = 2;
    SetWindowPos(g_sampled, nullptr, 220, 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Xdotool("mouseup 1", false);
  } else if (g_dragStage == 2 && GetCapture() != g_sampled) {
    g_dragStage = 3;
  }
}

TEST(ProviderWindows, AFormDraggedByItsCaptionIsTranslucentWhileItMoves) {
  Shown s(false, 200, 150, 360, 260);
  s.skin.manager->AnimEffects.BlendOnMoving.Active = true;
  s.skin.manager->AnimEffects.BlendOnMoving.Time = 100;
  SetForegroundWindow(s.Handle());
  PumpFor(100);
  // The blend belongs to full-window dragging (on by default on Windows; Wine's default is off).
  BOOL full = FALSE;
  SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
  SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
  ASSERT_TRUE(testsupport::StandsOnScreenAt(s.Handle(), 200, 150));
  g_sampled = s.Handle();
  g_lowestAlpha = 255;
  g_dragStage = 0;
  g_dragStuck.clear();
  g_dragStart = GetTickCount();
  const UINT_PTR sampler = SetTimer(nullptr, 0, 15, SampleAlpha);
  // The press and the first step wait in the queue until the loop below hands them over.
  ASSERT_TRUE(Xdotool("mousemove 300 160 mousedown 1 sleep 0.1 mousemove 320 170", false));
  const UINT_PTR driver = SetTimer(nullptr, 0, 15, DriveDrag);
  EXPECT_TRUE(PumpUntil([] { return g_dragStage == 3 || !g_dragStuck.empty(); }, 45000)) << "stage " << g_dragStage;
  EXPECT_EQ(g_dragStuck, "");
  KillTimer(nullptr, driver);
  KillTimer(nullptr, sampler);
  SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, full, nullptr, 0);
  EXPECT_LE(g_lowestAlpha, 175);  // faded to the blend value (170) while moving
  EXPECT_GE(g_lowestAlpha, 170);
  // Where the drag ended, the late report notwithstanding (where a window manager runs, once it has placed the
  // window), and opaque again.
  RECT r{};
  EXPECT_TRUE(PumpUntil([&] { return GetWindowRect(s.Handle(), &r) && r.left == 260 && r.top == 190; }, 15000))
      << r.left << ", " << r.top;
  EXPECT_FALSE(GetWindowLongA(s.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_FALSE(s.p->StateFlags & skin::psBlendMoving);
  Xdotool("mousemove 900 700");
}

// ---- Leaving the screen: the form's picture kept over it and faded out.

int CoverWindows() {
  int n = 0;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM l) -> BOOL {
        char name[32] = {};
        GetClassNameA(w, name, sizeof(name));
        if (std::string(name) == "TacFormCover" && IsWindowVisible(w)) ++*reinterpret_cast<int*>(l);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&n));
  return n;
}
HWND FirstCoverWindow() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM l) -> BOOL {
        char name[32] = {};
        GetClassNameA(w, name, sizeof(name));
        if (std::string(name) != "TacFormCover" || !IsWindowVisible(w)) return TRUE;
        *reinterpret_cast<HWND*>(l) = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}
bool HideFadeRuns() { return skin::HideAnimTimer() && skin::HideAnimTimer()->HoldsWindow(); }

// The program's one hide timer is made by the first fade.
void WarmHideFade(gui::TForm& form) {
  form.Hide();
  PumpFor(400);
  form.Show();
  PumpFor(200);
}

int g_mostCovers = 0;
void CALLBACK SampleCovers(HWND, UINT, UINT_PTR, DWORD) { g_mostCovers = std::max(g_mostCovers, CoverWindows()); }

TEST(ProviderWindows, AClosingFormKeepsItsPictureWithItsControlsOverItAndFadesOut) {
  Shown s;
  s.skin.manager->AnimEffects.FormHide.Time = 120;
  auto* edit = new gui::TEdit(s.form);
  edit->SetParent(s.form);
  edit->SetBounds(20, 20, 140, 24);
  PumpFor(150);
  HWND h = s.Handle();
  WarmHideFade(*s.form);
  const int windows = ThreadWindowCount();
  const int32_t x = skin::ProviderClientLeft(*s.p) + 60, y = skin::ProviderClientTop(*s.p) + 30;
  const uint32_t onScreen = skin::GetPixel32(WindowPicture(h), x, y) & 0xFFFFFF;
  ASSERT_NE(onScreen, Px(kFormActive) & 0xFFFFFF);
  ASSERT_NE(onScreen, Px(kFormInactive) & 0xFFFFFF);
  bool allow = false;
  s.form->OnCloseQuery = [&](gui::TObject*, bool& can) { can = allow; };
  // Refused: the form stays and shows its own frame again.
  SendMessageA(h, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindowVisible(h));
  EXPECT_FALSE(s.p->StateFlags & skin::psHideSnapshot);
  EXPECT_EQ(CoverWindows(), 0);
  s.ExpectFrameEqualsCache("close refused");
  // Closed: while the form's own handling closes it, the picture held is the form with its edit as the screen
  // showed it.
  bool held = false;
  uint32_t inPicture = 0;
  s.form->OnClose = [&](gui::TObject*, gui::TCloseAction&) {
    held = (s.p->StateFlags & skin::psHideSnapshot) != 0;
    if (s.p->SkinData().CacheBmp) inPicture = skin::GetPixel32(*s.p->SkinData().CacheBmp, x, y) & 0xFFFFFF;
  };
  allow = true;
  SendMessageA(h, WM_CLOSE, 0, 0);
  EXPECT_TRUE(held);
  EXPECT_EQ(inPicture, onScreen);
  EXPECT_FALSE(IsWindowVisible(h));
  // The cover that showed the picture while the window hid is the fade's window now.
  EXPECT_EQ(CoverWindows(), 1);
  EXPECT_TRUE(HideFadeRuns());
  EXPECT_FALSE(s.p->StateFlags & skin::psHideSnapshot);
  PumpFor(500);
  EXPECT_FALSE(HideFadeRuns());
  EXPECT_EQ(CoverWindows(), 0);
  EXPECT_EQ(ThreadWindowCount(), windows);
  s.form->OnClose = nullptr;
  s.form->Show();
  PumpFor(200);
  s.ExpectFrameEqualsCache("shown again");
}

TEST(ProviderWindows, AnUnskinnedFormFadesOutWhenHiddenAndOnlyThen) {
  StationForm s;  // the program's manager: shows and hides fade in 100 ms
  s.manager->SetActive(false);
  PumpFor(150);
  ASSERT_FALSE(skin::ProviderSkinned(*s.p));
  HWND h = s.Handle();
  WarmHideFade(*s.form);
  const int windows = ThreadWindowCount();
  g_mostCovers = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, SampleCovers);
  // Moved and sized: nothing covers or fades.
  SetWindowPos(h, nullptr, 100, 90, 300, 220, SWP_NOZORDER | SWP_NOACTIVATE);
  PumpFor(60);
  EXPECT_EQ(g_mostCovers, 0);
  EXPECT_FALSE(HideFadeRuns());
  // Hidden: the window's picture fades out on a cover.
  s.form->Hide();
  KillTimer(nullptr, timer);
  EXPECT_EQ(g_mostCovers, 1);
  PumpFor(300);
  EXPECT_FALSE(HideFadeRuns());
  EXPECT_EQ(CoverWindows(), 0);
  EXPECT_FALSE(s.p->StateFlags & skin::psHideSnapshot);
  EXPECT_EQ(ThreadWindowCount(), windows);
}

}  // namespace

namespace {

// ---- Menus of a skinned form.

TEST(ProviderWindows, MainMenuItemsTheSkinnedMenusDidNotTakeAreMeasuredAsTheyWould) {
  Shown s;
  auto* mm = new gui::TMainMenu(s.form);
  auto* file = new gui::TMenuItem(s.form);
  file->SetCaption("&File");
  mm->Items()->Add(file);
  s.form->SetMenu(mm);
  PumpFor(150);
  ASSERT_TRUE(skin::ProviderHasMenuLine(*s.p));
  // Added after the skinned menus took the menu: the form hears of it and hands it to them at once.
  auto* late = new gui::TMenuItem(s.form);
  late->SetCaption("&Late");
  mm->Items()->Add(late);
  auto* own = new gui::TMenuItem(s.form);
  own->SetCaption("&Own");
  own->OnMeasureItem = [](gui::TObject*, gui::TCanvas&, int& w, int& h) {
    w = 77;
    h = 33;
  };
  mm->Items()->Add(own);
  auto measure = [&](gui::TMenuItem* item) {
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemID = item->Command();
    mis.itemData = item->Command();
    EXPECT_TRUE(SendMessageA(s.Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis)));
    return std::make_pair(int(mis.itemWidth), int(mis.itemHeight));
  };
  // The late item: the skinned menus' size of a menu-line item, not the plain one the form alone would give.
  HDC screen = GetDC(nullptr);
  gui::TCanvas canvas;
  canvas.SetHandle(screen);
  int skinnedW = 0, skinnedH = 0, plainW = 0, plainH = 0;
  skin::SkinMenuLineMeasureItem(late, canvas, skinnedW, skinnedH);
  gui::TMenuItem plain(nullptr);
  plain.SetCaption(late->Caption());
  plain.MeasureItem(canvas, plainW, plainH);
  canvas.SetHandle(nullptr);
  ReleaseDC(nullptr, screen);
  const auto got = measure(late);
  EXPECT_EQ(got.first, skinnedW);
  EXPECT_EQ(got.second, std::max(0, skinnedH));
  EXPECT_NE(got.first, plainW);
  // An item of the bar that does not draw itself is the skinned menus' whole: its own measure event gives way to
  // theirs, as for every item of the bar they take.
  EXPECT_TRUE(late->OnAdvancedDrawItem && own->OnAdvancedDrawItem) << "both drawn by the skinned menus";
  int ownW = 0, ownH = 0;
  {
    HDC dc = GetDC(nullptr);
    gui::TCanvas c;
    c.SetHandle(dc);
    skin::SkinMenuLineMeasureItem(own, c, ownW, ownH);
    c.SetHandle(nullptr);
    ReleaseDC(nullptr, dc);
  }
  EXPECT_EQ(measure(own), std::make_pair(ownW, std::max(0, ownH)));
}

TEST(ProviderWindows, TheFormsPopupMenuIsMadeReadyForTheSkinnedMenusWhenItOpens) {
  Shown s;
  auto* popup = new gui::TPopupMenu(s.form);
  auto* item = new gui::TMenuItem(s.form);
  item->SetCaption("Copy");
  popup->Items()->Add(item);
  s.form->SetPopupMenu(popup);
  for (const bool skinned : {true, false}) {
    SCOPED_TRACE(skinned ? "skinned popups" : "system popups");
    s.skin.manager->SkinnedPopups = skinned;
    // The context menu is asked for and dismissed at once.
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      EndMenu();
    });
    RECT wr{};
    GetWindowRect(s.Handle(), &wr);
    SendMessageA(s.Handle(), WM_CONTEXTMENU, WPARAM(s.Handle()), MAKELPARAM(wr.left + 80, wr.top + 80));
    PumpFor(150);
    EXPECT_EQ(bool(item->OnMeasureItem), skinned);
    EXPECT_EQ(popup->OwnerDraw(), skinned);
  }
}

}  // namespace

namespace {

// An activation change is taken under a cover showing the frame as it was (the system draws its own frame then).
// A caption change (a caption clock makes one every second) makes no window and leaves the window as it shows:
// the system draws nothing of its own caption, and the skin's caption band is drawn again.
TEST(ProviderWindows, ActivationHappensUnderACoverAndACaptionChangeMakesNoWindowAndDrawsNoSystemCaption) {
  Shown s;
  HWND h = s.Handle();
  SetForegroundWindow(h);
  PumpFor(100);
  int windows = ThreadWindowCount();
  HWND kept = nullptr, seen = nullptr;
  struct Case {
    UINT msg;
    std::function<void()> act;
    const char* what;
    bool cover;
  } cases[] = {
      {WM_SETTEXT, [&] { s.form->SetCaption("A new caption"); }, "caption change", false},
      {WM_NCACTIVATE, [&] { SendMessageA(h, WM_NCACTIVATE, FALSE, 0); }, "deactivation", true},
      {WM_NCACTIVATE, [&] { SendMessageA(h, WM_NCACTIVATE, TRUE, 0); }, "activation", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const skin::Bitmap before = WindowPicture(h);
    // What lies over the frame while the form's own handling takes the message, and what the window shows after it.
    bool covered = false, clientUncovered = false;
    uint32_t coverPixel = 0, shownAfter = 0;
    int windowsDuring = 0;
    gui::TWndMethod own = s.p->OldWndProc;
    s.p->OldWndProc = [&](gui::TMessage& m) {
      if (m.Msg == c.msg) {
        HWND cover = seen = static_cast<HWND>(skin::ProviderCaptionCoverWindow(*s.p));
        RECT wr{}, cr{};
        GetWindowRect(h, &wr);
        if (cover) GetWindowRect(cover, &cr);
        covered = cover && IsWindowVisible(cover) && EqualRect(&wr, &cr);
        // The caption is within the cover's region; the client is not.
        HRGN region = skin::ledger::CreateRectRgn(0, 0, 0, 0);
        const bool shaped = cover && GetWindowRgn(cover, region) != ERROR;
        covered = covered && shaped && PtInRegion(region, 100, 8);
        clientUncovered = shaped && !PtInRegion(region, (wr.right - wr.left) / 2, (wr.bottom - wr.top) / 2);
        skin::ledger::DeleteObject(region);
        if (cover) coverPixel = skin::GetPixel32(WindowPicture(cover), 100, 8) & 0xFFFFFF;
        windowsDuring = ThreadWindowCount();
        own(m);
        // The form's own handling of a caption change may change its style: that change stays.
        if (m.Msg == WM_SETTEXT) SetWindowLongA(h, GWL_STYLE, GetWindowLongA(h, GWL_STYLE) & ~WS_MAXIMIZEBOX);
        shownAfter = ShownAt(h, 100, 8);
        return;
      }
      own(m);
    };
    c.act();
    s.p->OldWndProc = own;
    const uint32_t frameBefore = skin::GetPixel32(before, 100, 8) & 0xFFFFFF;
    if (c.cover) {
      EXPECT_TRUE(covered);
      EXPECT_TRUE(clientUncovered);
      EXPECT_EQ(coverPixel, frameBefore);  // the frame as it was
    } else {
      EXPECT_EQ(windowsDuring, windows) << "a window was made for the change";
      EXPECT_EQ(shownAfter, frameBefore) << "the system drew its own caption";
      EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & (WS_CAPTION | WS_MAXIMIZEBOX), WS_CAPTION);
      SetWindowLongA(h, GWL_STYLE, GetWindowLongA(h, GWL_STYLE) | WS_MAXIMIZEBOX);
    }
    EXPECT_EQ(skin::ProviderCaptionCoverWindow(*s.p), nullptr);
    if (c.cover) {
      // One cover, made once, kept for the next change and hidden meanwhile (a moment later: a press that fell on
      // it is read first).
      if (kept == nullptr) {
        kept = seen;
        ++windows;
      }
      EXPECT_EQ(seen, kept);
      EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(kept); }));
    }
    EXPECT_EQ(ThreadWindowCount(), windows);
    s.ExpectFrameEqualsCache("afterwards");
  }
}

// A press that fell on the caption cover while it lay over the caption, read once the cover has gone (the thread was
// busy), starts the caption's move all the same, and the move follows the pointer out of the window.
TEST(ProviderWindows, APressThatFellOnTheCaptionCoverStartsTheCaptionsMove) {
  Shown s(false, 200, 150, 360, 260);
  HWND h = s.Handle();
  SetForegroundWindow(h);
  // Where it stands once a window manager has placed it (on a busy machine openbox may put it elsewhere), room
  // above it for the drag.
  RECT at{};
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == h; }));
  ASSERT_TRUE(StandsAt(h, 200, 150));
  GetWindowRect(h, &at);
  using testsupport::MoveTo;
  ASSERT_TRUE(Xdotool(MoveTo(at.left + 100, at.top + 10)));
  ASSERT_TRUE(skin::ProviderShowCaptionCover(*s.p));
  HWND cover = static_cast<HWND>(skin::ProviderCaptionCoverWindow(*s.p));
  ASSERT_TRUE(Xdotool("mousedown 1 sleep 0.1 " + MoveTo(at.left + 80, at.top - 20) + " sleep 0.1 " +
                          MoveTo(at.left + 60, at.top - 50) + " sleep 0.1 mouseup 1",
                      false));
  skin::ProviderHideCaptionCover(*s.p);
  // A move whose release never comes is ended after a while (Escape puts the window back).
  const UINT_PTR watchdog = SetTimer(h, 77, 10000, [](HWND w, UINT, UINT_PTR, DWORD) { PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0); });
  RECT r{};
  EXPECT_TRUE(PumpUntil([&] { return GetWindowRect(h, &r) && r.left == at.left - 40 && r.top == at.top - 60; }, 15000))
      << r.left << "," << r.top;
  KillTimer(h, watchdog);
  EXPECT_EQ(GetCapture(), nullptr);
  // Put away while the button was down, the cover is hidden once it is up.
  EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(cover); }));
  Xdotool("mousemove 900 700");
}

// The Alt key of a window manager's drag (the window moved while the key was down, the mouse button taken by the
// manager) opens no menu; Alt pressed and released alone opens the menu line's keyboard mode as ever.
TEST(ProviderWindows, TheAltKeyOfAWindowManagersDragOpensNoMenu) {
  Shown s(false, 200, 150, 360, 260);
  auto* mm = new gui::TMainMenu(s.form);
  auto* file = new gui::TMenuItem(s.form);
  file->SetCaption("&File");
  mm->Items()->Add(file);
  s.form->SetMenu(mm);
  HWND h = s.Handle();
  SetForegroundWindow(h);
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == h; }));
  static bool menuOpened;
  for (bool moved : {false, true}) {
    SCOPED_TRACE(moved);
    menuOpened = false;
    // The menu's loop, seen from a timer of its own, is ended at once.
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
      GUITHREADINFO info{};
      info.cbSize = sizeof info;
      if (GetGUIThreadInfo(GetCurrentThreadId(), &info) && (info.flags & GUI_INMENUMODE)) {
        menuOpened = true;
        EndMenu();
      }
    });
    ASSERT_TRUE(Xdotool("keydown Alt_L"));
    if (moved) SetWindowPos(h, nullptr, 240, 170, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The key's release is handled before the helper returns; the menu command it posts may come after.
    ASSERT_TRUE(Xdotool("keyup Alt_L"));
    if (moved)
      EXPECT_TRUE(PumpUntil([] { return menuOpened || HIWORD(GetQueueStatus(QS_POSTMESSAGE | QS_INPUT)) == 0; }));
    else
      EXPECT_TRUE(PumpUntil([] { return menuOpened; }));
    KillTimer(nullptr, timer);
    EXPECT_EQ(menuOpened, !moved);
  }
}

}  // namespace

namespace {

TEST(ProviderWindows, AMenuLoopOfAnMDIParentWithAMaximizedChildKeepsTheChildsButtonsAsTheSkinDrawsThem) {
  FormsSkin skin;
  auto* frame = new gui::TForm(gui::Application);
  frame->SetFormStyle(gui::TFormStyle::fsMDIForm);
  frame->SetBounds(40, 40, 520, 380);
  frame->SetCaption("MDI");
  auto* mm = new gui::TMainMenu(frame);
  auto* file = new gui::TMenuItem(frame);
  file->SetCaption("&File");
  mm->Items()->Add(file);
  frame->SetMenu(mm);
  auto* p = new TsSkinProvider(frame);
  frame->Show();
  PumpFor(150);
  HWND h = frame->WindowHandle();
  const int windows = ThreadWindowCount();
  // Without a maximized child: no helper.
  SendMessageA(h, WM_ENTERMENULOOP, 0, 0);
  EXPECT_EQ(skin::ProviderMDIIconsWindow(*p), nullptr);
  SendMessageA(h, WM_EXITMENULOOP, 0, 0);
  auto* child = new gui::TForm(gui::Application);
  child->SetFormStyle(gui::TFormStyle::fsMDIChild);
  child->SetBounds(10, 10, 200, 150);
  child->Show();
  child->SetWindowState(gui::TWindowState::wsMaximized);
  PumpFor(150);
  ASSERT_TRUE(skin::ProviderMDIChildMaximized(*p));
  const int withChild = ThreadWindowCount();
  SendMessageA(h, WM_ENTERMENULOOP, 0, 0);
  HWND icons = static_cast<HWND>(skin::ProviderMDIIconsWindow(*p));
  ASSERT_NE(icons, nullptr);
  EXPECT_TRUE(IsWindowVisible(icons));
  // 60 pixels at the menu line's right end, a menu high and 3 more, right below the caption.
  RECT wr{}, ir{};
  GetWindowRect(h, &wr);
  GetWindowRect(icons, &ir);
  EXPECT_EQ(ir.right - ir.left, 60);
  EXPECT_EQ(ir.bottom - ir.top, GetSystemMetrics(SM_CYMENU) + 3);
  EXPECT_EQ(ir.right, wr.right - skin::FormBorderWidth(*p, true));
  EXPECT_EQ(ir.top, wr.top + skin::FormBorderWidthIfNoSkin(*p, true) + skin::ProviderSystemCaptionHeight(*p));
  // Once per loop.
  SendMessageA(h, WM_ENTERMENULOOP, 0, 0);
  EXPECT_EQ(skin::ProviderMDIIconsWindow(*p), icons);
  SendMessageA(h, WM_EXITMENULOOP, 0, 0);
  EXPECT_EQ(skin::ProviderMDIIconsWindow(*p), nullptr);
  EXPECT_EQ(ThreadWindowCount(), withChild);
  gui::Free(child);
  PumpFor(100);
  EXPECT_EQ(ThreadWindowCount(), windows);
  gui::Free(frame);
  PumpFor(50);
}

}  // namespace

namespace {

TEST(ProviderWindows, AFormWithABorderWindowFadesOutWithItsWholeFrameWhereTheBorderWindowWas) {
  Shown s(true, 120, 100);
  s.skin.manager->AnimEffects.FormHide.Time = 120;
  SetForegroundWindow(s.Handle());
  PumpFor(150);
  ASSERT_TRUE(s.p->BorderForm);
  WarmHideFade(*s.form);
  ASSERT_TRUE(s.p->BorderForm);
  const int windows = ThreadWindowCount();
  RECT border{};
  GetWindowRect(static_cast<HWND>(s.p->BorderForm->AForm), &border);
  s.form->Hide();
  EXPECT_FALSE(IsWindowVisible(s.Handle()));
  HWND cover = FirstCoverWindow();
  ASSERT_NE(cover, nullptr);
  RECT cr{};
  GetWindowRect(cover, &cr);
  EXPECT_TRUE(EqualRect(&cr, &border));
  EXPECT_TRUE(HideFadeRuns());
  PumpFor(500);
  EXPECT_EQ(CoverWindows(), 0);
  // Shown again with its border window, and nothing left of the hide.
  s.form->Show();
  PumpFor(200);
  EXPECT_TRUE(s.p->BorderForm);
  EXPECT_EQ(ThreadWindowCount(), windows);
}

}  // namespace

namespace {

TEST(ProviderWindows, AFormFreedWhenItClosesFadesOutWithItsControls) {
  Shown s;
  s.skin.manager->AnimEffects.FormHide.Time = 120;
  WarmHideFade(*s.form);
  auto* edit = new gui::TEdit(s.form);
  edit->SetParent(s.form);
  edit->SetBounds(20, 20, 140, 24);
  PumpFor(150);
  const int windows = ThreadWindowCount();
  s.form->OnClose = [](gui::TObject*, gui::TCloseAction& action) { action = gui::TCloseAction::caFree; };
  g_mostCovers = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, SampleCovers);
  s.form->Close();
  s.form = nullptr;  // freed by the message loop
  PumpFor(100);
  KillTimer(nullptr, timer);
  EXPECT_EQ(g_mostCovers, 1);
  PumpFor(400);
  EXPECT_EQ(CoverWindows(), 0);
  EXPECT_FALSE(HideFadeRuns());
  EXPECT_EQ(ThreadWindowCount(), windows - 1);  // the form is gone
}

}  // namespace

namespace {

TEST(ProviderWindows, AHideTheFormTakesBackLeavesItsOwnFrameAndNoCover) {
  Shown s;
  s.skin.manager->AnimEffects.FormHide.Time = 120;
  HWND h = s.Handle();
  SetForegroundWindow(h);
  PumpFor(100);
  gui::TWndMethod own = s.p->OldWndProc;
  s.p->OldWndProc = [&](gui::TMessage& m) {
    if (m.Msg == WM_WINDOWPOSCHANGING && m.LParam) reinterpret_cast<WINDOWPOS*>(m.LParam)->flags &= ~SWP_HIDEWINDOW;
    own(m);
  };
  ShowWindow(h, SW_HIDE);
  s.p->OldWndProc = own;
  EXPECT_TRUE(IsWindowVisible(h));
  EXPECT_EQ(CoverWindows(), 0);
  EXPECT_FALSE(s.p->StateFlags & skin::psHideSnapshot);
  s.ExpectFrameEqualsCache("hide taken back");
}

}  // namespace

// ---- The manager's form animations on a provider's form.

namespace {

// The pictures pushed to layered windows, passed on to the screen as well: the window of the first push (the
// animation's), and the last picture pushed to it.
struct PushSpy : skin::TacLayeredOutput {
  skin::TacLayeredOutput* next = nullptr;
  HWND wnd = nullptr;
  skin::Bitmap last;
  uint8_t lastAlpha = 0;
  int pushes = 0;
  std::function<void(HWND, const skin::Bitmap&)> look;  // called with each picture of that window
  void Push(HWND w, const skin::Bitmap& frame, uint8_t alpha) override {
    if (wnd == nullptr) wnd = w;
    if (w == wnd) {
      frame.Flush();
      last.Assign(frame);
      lastAlpha = alpha;
      ++pushes;
      if (look) look(w, frame);
    }
    if (next) next->Push(w, frame, alpha);
  }
};
struct PushSpyScope {
  PushSpy spy;
  skin::TacLayeredOutput* previous;
  PushSpyScope() {
    spy.next = &skin::LayeredOutput();
    previous = skin::SetLayeredOutput(&spy);
  }
  ~PushSpyScope() { skin::SetLayeredOutput(previous); }
};

int CountColour(const skin::Bitmap& b, const skin::TRect& band, skin::TColor c) {
  const uint32_t want = formstest::Px(c) & 0xFFFFFF;
  int n = 0;
  for (int32_t y = std::max(band.Top, 0); y < std::min(band.Bottom, b.Height()); ++y)
    for (int32_t x = std::max(band.Left, 0); x < std::min(band.Right, b.Width()); ++x)
      n += (skin::GetPixel32(b, x, y) & 0xFFFFFF) == want;
  return n;
}

}  // namespace

// A live change of a form with a border window: the transition ends on the form's client area as the form's window
// shows it in the new skin, opaque and at its place in the frame, and the border window then shows the live frame.
// A live change leaves the form's client area to the form's own window all along: the border window's region has its
// hole there and every picture of the fade is fully transparent there (under a window manager the border window may
// lie above the form on the screen, and it took the clicks meant for the form's controls while it covered them).
TEST(ProviderWindows, ALiveChangeLeavesTheClientAreaToTheForm) {
  StationForm s;
  ASSERT_TRUE(s.p->BorderForm && s.p->BorderForm->AForm);
  HWND border = static_cast<HWND>(s.p->BorderForm->AForm);
  PumpFor(200);
  PushSpyScope scope;
  int covered = 0;
  scope.spy.look = [&](HWND w, const skin::Bitmap& frame) {
    RECT br{}, cr{};
    GetWindowRect(w, &br);
    GetClientRect(s.Handle(), &cr);
    POINT o{0, 0};
    ClientToScreen(s.Handle(), &o);
    HRGN region = skin::ledger::CreateRectRgn(0, 0, 0, 0);
    const bool shaped = GetWindowRgn(w, region) != ERROR;
    for (POINT at : {POINT{80, 32}, POINT{cr.right - 5, cr.bottom - 5}}) {
      const int x = o.x - br.left + at.x, y = o.y - br.top + at.y;
      if ((skin::GetPixel32(frame, x, y) >> 24) != 0 || !shaped || PtInRegion(region, x, y)) ++covered;
    }
    skin::ledger::DeleteObject(region);
  };
  s.manager->SetSkinName("Lucky (internal)");
  ASSERT_GT(scope.spy.pushes, 1);
  EXPECT_EQ(scope.spy.wnd, border);
  EXPECT_EQ(covered, 0);
  // The fade ends on the border window's own frame, fully opaque, not on one more opaque picture of the fade.
  EXPECT_LT(scope.spy.lastAlpha, 255);
  EXPECT_EQ(s.p->StateFlags & skin::pfBorderSnapshot, 0u);
  EXPECT_TRUE(IsWindowVisible(border));
}

TEST(ProviderWindows, TheSkinChangeTransitionShowsTheFormsNewFrame) {
  for (bool extended : {false, true}) {
    SCOPED_TRACE(extended ? "with a border window" : "without one");
    Shown s(extended);
    ASSERT_EQ(s.p->BorderForm != nullptr, extended);
    // The new skin has another caption colour; the form's window still shows the old one.
    const skin::TColor newTitle = 0x2080F0;
    skin::SkinSectionRecord& title = s.skin.Skin().Sections[size_t(s.skin.title)];
    title.HotState.Color = title.NormalState.Color = newTitle;
    s.p->SkinData().BGChanged = true;
    HWND border = extended ? static_cast<HWND>(s.p->BorderForm->AForm) : nullptr;
    PushSpyScope scope;
    skin::AnimSkinChange(*s.p, 48, 255, false);
    ASSERT_GT(scope.spy.pushes, 0);
    const skin::Bitmap& picture = scope.spy.last;
    const skin::Bitmap& cache = *s.p->SkinData().CacheBmp;
    ASSERT_EQ(picture.Width(), cache.Width());
    ASSERT_EQ(picture.Height(), cache.Height());
    // The animation's picture is the frame in the new skin: its caption band has the new colour, none of the old.
    const skin::TRect caption = skin::ProviderCaptionRect(*s.p);
    EXPECT_GT(CountColour(picture, caption, newTitle), caption.Width());
    EXPECT_EQ(CountColour(picture, caption, kTitleActive), 0);
    if (extended) {
      // Shown on the border window, which shows the frame again afterwards.
      EXPECT_EQ(scope.spy.wnd, border);
      EXPECT_TRUE(IsWindowVisible(border));
    } else {
      // Shown on a helper over the form, with the skin's cut-away corner transparent and the rest opaque.
      EXPECT_NE(scope.spy.wnd, s.Handle());
      EXPECT_EQ(skin::GetPixel32(picture, 0, 0) >> 24, 0u);
      EXPECT_EQ(skin::GetPixel32(picture, picture.Width() / 2, caption.Bottom - 2) >> 24, 255u);
      EXPECT_FALSE(IsWindow(scope.spy.wnd));
    }
  }
}

// The border window shown again at the end of a change keeps the frame composed for the transition, and composes it
// again only when something made it out of date.
TEST(ProviderWindows, TheBorderWindowShowsItsFrameComposedAgainOnlyWhenOutOfDate) {
  Shown s(true);
  ASSERT_TRUE(s.p->BorderForm);
  const skin::TColor newTitle = 0x2080F0;
  skin::SkinSectionRecord& title = s.skin.Skin().Sections[size_t(s.skin.title)];
  title.HotState.Color = title.NormalState.Color = newTitle;
  const skin::TRect caption = skin::ProviderCaptionRect(*s.p);
  ASSERT_FALSE(s.p->SkinData().BGChanged);
  s.p->ShowBorderFrame(255);
  EXPECT_EQ(CountColour(*s.p->SkinData().CacheBmp, caption, newTitle), 0);
  s.p->SkinData().BGChanged = true;
  s.p->ShowBorderFrame(255);
  EXPECT_GT(CountColour(*s.p->SkinData().CacheBmp, caption, newTitle), caption.Width());
  EXPECT_TRUE(IsWindowVisible(static_cast<HWND>(s.p->BorderForm->AForm)));
}

// A new caption shows over the border window at once, its frame beside the caption as it was, with or without
// outer effects (the program's own manager allows them), and leaves the border window where it lies: not moved,
// reshaped nor restacked (a caption clock changes the caption every second). The span round the caption's text is
// the form's own window's, which draws a change there itself (the layered border window is not pushed for it).
TEST(ProviderWindows, ANewCaptionShowsOnTheBorderWindowWithTheRestOfItsFrame) {
  for (bool effects : {false, true}) {
    SCOPED_TRACE(effects ? "outer effects" : "no outer effects");
    Shown s(true);
    s.skin.manager->Effects.AllowOuterEffects = effects;
    ASSERT_TRUE(s.p->BorderForm && s.p->BorderForm->AForm);
    HWND border = static_cast<HWND>(s.p->BorderForm->AForm);
    // Where the border window belongs: round the form by the skin's margins.
    ASSERT_TRUE(testsupport::StandsOnScreenAt(s.Handle(), 60, 60));
    const skin::TPoint origin = skin::ProviderCacheOrigin(*s.p);
    const POINT home{60 - origin.X, 60 - origin.Y};
    ASSERT_TRUE(testsupport::StandsOnScreenAt(border, home.x, home.y));
    const skin::Bitmap& cache = *s.p->SkinData().CacheBmp;
    const int32_t left = skin::ProviderClientLeft(*s.p), top = skin::ProviderClientTop(*s.p);
    const skin::TRect parts[] = {skin::ProviderCaptionTextRect(*s.p), {left - 2, top, left, top + 60}};
    auto differences = [&] {
      // What the screen shows where the border window lies.
      RECT br{};
      GetWindowRect(border, &br);
      skin::Bitmap shown(br.right - br.left, br.bottom - br.top, skin::pf32bit);
      HDC screen = skin::ledger::GetDC(nullptr);
      skin::DCToBitmap(shown, 0, 0, shown.Width(), shown.Height(), screen, br.left, br.top);
      skin::ledger::ReleaseDC(nullptr, screen);
      int n = 0;
      for (const skin::TRect& r : parts) n += BandDifferences(shown, cache, r, skin::TPoint{});
      return n;
    };
    PaintCounter placed(border, WM_WINDOWPOSCHANGED);
    const skin::TRect text = parts[0];
    RECT br{};
    GetWindowRect(border, &br);
    EXPECT_EQ(WindowFromPoint(POINT{br.left + (text.Left + text.Right) / 2, br.top + (text.Top + text.Bottom) / 2}),
              s.Handle());
    for (const char* caption : {"Station 12:00:01", "Station 12:00:02, and a longer caption", "S"}) {
      SCOPED_TRACE(caption);
      s.form->SetCaption(caption);
      EXPECT_FALSE(s.p->SkinData().BGChanged);
      EXPECT_TRUE(PumpUntil([&] { return differences() == 0; }, 20000)) << differences();
    }
    // Every placement of the border window counts where no window manager keeps the windows. Under one, on a
    // busy machine (openbox on a processor shared with busy loops), its late reports of where the form and the
    // border window were while it took them in (the form's client area, a size the border window once had)
    // reached Wine during the captions, and Wine moved them there and back, the border window following its
    // form: the count then tells the manager's pace, not the program's. There the border window is to stand
    // where it belongs once the captions are shown.
    if (const char* wm = std::getenv("WINE_WINDOW_MANAGER"); !wm || std::string(wm) != "1")
      EXPECT_EQ(placed.others, 0) << "the border window was moved, reshaped or restacked";
    else
      EXPECT_TRUE(testsupport::StandsOnScreenAt(border, home.x, home.y));
  }
}

TEST(ProviderWindows, AHideRunsOnTheBorderWindowAndTellsTheFormWhenItEnds) {
  Shown e(true);
  ASSERT_TRUE(e.p->BorderForm && e.p->BorderForm->AForm);
  HWND border = static_cast<HWND>(e.p->BorderForm->AForm);
  std::vector<int32_t> told;
  e.p->OnAfterAnimation = [&told](int32_t v) { told.push_back(v); };
  e.skin.manager->AnimEffects.FormHide.Time = 48;
  {
    PushSpyScope scope;
    skin::AnimHideForm(*e.p);
    // The frame cache on the border window, which the hide took over from the border form.
    EXPECT_EQ(scope.spy.wnd, border);
    EXPECT_EQ(scope.spy.last.Width(), e.p->SkinData().CacheBmp->Width());
    EXPECT_EQ(e.p->BorderForm->AForm, nullptr);
    for (int i = 0; i < 100 && told.empty(); ++i) PumpFor(20);
  }
  EXPECT_EQ(told, std::vector<int32_t>{1});
  EXPECT_FALSE(IsWindow(border));
  // Only the window went: the border form makes a new one when the form shows again.
  ASSERT_NE(e.p->BorderForm, nullptr);
  e.form->Hide();
  e.form->Show();
  PumpFor(150);
  ASSERT_NE(e.p->BorderForm->AForm, nullptr);
  EXPECT_TRUE(IsWindowVisible(static_cast<HWND>(e.p->BorderForm->AForm)));
}

TEST(ProviderWindows, AMenuLineItemLiesOverTheFormsFrameCache) {
  Shown s;
  auto* mm = new gui::TMainMenu(s.form);
  auto* file = new gui::TMenuItem(s.form);
  file->SetCaption("&File");
  mm->Items()->Add(file);
  s.form->SetMenu(mm);
  PumpFor(150);
  // A see-through menu line: what shows under an item is what lies there.
  skin::SkinSectionRecord& line = s.skin.Skin().Sections[size_t(s.skin.menuLine)];
  line.NormalState.Transparency = line.HotState.Transparency = 100;
  const skin::Bitmap& cache = *s.p->SkinData().CacheBmp;
  // Item places over the caption, the left border and the client's top (cache coordinates).
  const skin::TRect caption = skin::ProviderCaptionRect(*s.p);
  const skin::TRect places[] = {{caption.Left + 20, caption.Top + 2, caption.Left + 80, caption.Top + 18},
                                {0, caption.Bottom + 4, 60, caption.Bottom + 20}};
  for (const skin::TRect& r : places) {
    SCOPED_TRACE(r.Left * 1000 + r.Top);
    skin::Bitmap out(cache.Width(), cache.Height(), skin::pf32bit);
    {
      skin::BitmapDC dc(out);
      gui::TCanvas canvas;
      canvas.SetHandle(dc.dc());
      skin::SkinMenuLineDrawItem(file, canvas, r, 0);
      canvas.SetHandle(nullptr);
      GdiFlush();
    }
    for (const skin::TPoint& at : {skin::TPoint{r.Left + 1, r.Top + 1}, skin::TPoint{r.Right - 2, r.Bottom - 2}})
      EXPECT_EQ(skin::GetPixel32(out, at.X, at.Y) & 0xFFFFFF, skin::GetPixel32(cache, at.X, at.Y) & 0xFFFFFF)
          << at.X << "," << at.Y;
  }
}

TEST(ProviderWindows, AResizeInvalidatesTheCornerImagesAtTheOldRightEdge) {
  // With a border window a resize repaints the border window only: what the client must repaint is invalidated.
  Shown e(true);
  skin::SkinSectionRecord& f = e.skin.Skin().Sections[size_t(e.skin.form)];
  f.ImgTopRight = f.ImgBottomRight = e.skin.glow;  // kGlowW x kGlowH
  HWND h = e.Handle();
  RECT c{};
  GetClientRect(h, &c);
  const int32_t cx = c.right, cy = c.bottom;
  struct Case {
    const char* name;
    skin::TRect before;
    std::vector<skin::TPoint> invalid, valid;
  };
  const Case cases[] = {
      {"grown wider", {0, 0, cx - 40, cy}, {{cx - 40 - 2, 2}, {cx - 40 - kGlowW + 1, cy - 2}}, {{cx - 2, 2}, {20, cy / 2}}},
      {"grown taller", {0, 0, cx, cy - 30}, {{cx - 2, 2}, {cx - 2, cy - 30 - kGlowH + 1}}, {{cx - 2, cy - 2}, {20, 2}}},
      {"first size", {0, 0, 0, 0}, {}, {{cx - 2, 2}, {cx - 2, cy - 2}, {20, cy / 2}}},
      {"same size", {0, 0, cx, cy}, {}, {{cx - 2, 2}, {cx - 2, cy - 2}, {20, cy / 2}}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    PumpFor(50);
    ValidateRect(h, nullptr);
    e.p->LastClientRect = k.before;
    SendMessageA(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(cx, cy));
    HRGN update = skin::ledger::CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(h, update, FALSE);
    for (const skin::TPoint& at : k.invalid) EXPECT_TRUE(PtInRegion(update, at.X, at.Y)) << at.X << "," << at.Y;
    for (const skin::TPoint& at : k.valid) EXPECT_FALSE(PtInRegion(update, at.X, at.Y)) << at.X << "," << at.Y;
    skin::ledger::DeleteObject(update);
  }
}

TEST(ProviderWindows, AChildWindowMadeOrDestroyedMakesTheFormsChildrenRecomputeTheirTransparency) {
  int recomputed = 0;
  Shown s;
  auto* panel = new gui::TPanel(s.form);
  panel->SetParent(s.form);
  panel->SetBounds(20, 20, 200, 100);
  PumpFor(100);
  gui::TWndMethod own = panel->WindowProc;
  panel->WindowProc = [&recomputed, own](gui::TMessage& m) {
    if (m.Msg == skin::WM_SKINCOMMAND && skin::SkinCommandCode(m.WParam) == skin::AC_TRANSPARENCYFLAGS && m.LParam == 1)
      ++recomputed;
    own(m);
  };
  gui::TEdit* edit = nullptr;
  struct Step {
    const char* name;
    std::function<void()> run;
    int told;
  };
  const Step steps[] = {
      {"a child window made",
       [&] {
         edit = new gui::TEdit(s.form);
         edit->SetParent(s.form);
         edit->SetBounds(20, 140, 120, 24);
         edit->HandleNeeded();
       },
       1},
      {"a click on a child", [&] { SendMessageA(s.Handle(), WM_PARENTNOTIFY, WM_LBUTTONDOWN, MAKELPARAM(30, 150)); }, 0},
      {"a child window destroyed", [&] { gui::Free(edit); }, 1},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    recomputed = 0;
    step.run();
    PumpFor(50);
    EXPECT_EQ(recomputed, step.told);
  }
  panel->WindowProc = own;
}

namespace {

// A plain top-level window of one flat colour (a window of another program, say).
struct PlainWindow {
  HWND h = nullptr;
  HBRUSH brush = nullptr;
  PlainWindow(int x, int y, int w, int ht, COLORREF colour, HWND owner = nullptr) {
    brush = CreateSolidBrush(colour);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "FormsTestPlainWindow";
    RegisterClassA(&wc);
    h = CreateWindowExA(0, wc.lpszClassName, "Plain", WS_POPUP, x, y, w, ht, owner, nullptr, wc.hInstance, nullptr);
    SetClassLongPtrA(h, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush));
  }
  ~PlainWindow() {
    DestroyWindow(h);
    DeleteObject(brush);
  }
};

// What the screen shows at a few places of a form's frame and client.
struct FrameProbes {
  POINT shadow, frame, caption, client;
  explicit FrameProbes(const RECT& fr)
      : shadow{fr.left - 3, (fr.top + fr.bottom) / 2},
        frame{fr.left + 2, (fr.top + fr.bottom) / 2},
        caption{fr.left + 60, fr.top + 8},
        client{fr.left + 100, (fr.top + fr.bottom) / 2} {}
};

TEST(ProviderWindows, AFormAndItsBorderWindowComeToTheFrontTogetherAndGoBehindTogether) {
  Shown s(true, 120, 100);
  SetForegroundWindow(s.Handle());
  PumpFor(200);
  ASSERT_TRUE(s.p->BorderForm);
  RECT fr{};
  GetWindowRect(s.Handle(), &fr);
  const FrameProbes at(fr);
  // Another window over the form's left half: its frame, caption, shadow and part of its client.
  const COLORREF colour = RGB(0x24, 0xD0, 0x9C);
  PlainWindow other(fr.left - 40, fr.top - 30, 200, fr.bottom - fr.top + 60, colour);
  auto pixel = [](POINT p) { return testsupport::ScreenPixel(p.x, p.y) & 0xFFFFFF; };
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    // The other window comes to the front: nothing of the form nor of its border window shows over it.
    SetWindowPos(other.h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(other.h);
    PumpFor(250);
    for (POINT p : {at.shadow, at.frame, at.caption, at.client}) EXPECT_EQ(pixel(p), colour);
    // The form is brought back to the front: it shows whole, its frame over the other window.
    SetWindowPos(s.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    PumpFor(250);
    EXPECT_EQ(pixel(at.client), uint32_t(kFormActive));
    EXPECT_NE(pixel(at.frame), colour);
    EXPECT_NE(pixel(at.caption), colour);
    EXPECT_TRUE(skin::BorderFormBelowForm(*s.p->BorderForm));
  }
}


// The border window lies right below its form, never above a window that lies above the form: a dialog the form
// owns (as the station's about box over its main window), or another program's window. Each round repaints the
// form's frame (its caption changes) while the other window covers the frame's left part.
TEST(ProviderWindows, TheBorderWindowStaysBelowTheFormsDialogsAndOtherWindowsWhenTheFrameIsRepainted) {
  Shown s(true, 120, 100);
  SetForegroundWindow(s.Handle());
  PumpFor(200);
  ASSERT_TRUE(s.p->BorderForm && s.p->BorderForm->AForm);
  HWND border = static_cast<HWND>(s.p->BorderForm->AForm);
  RECT fr{};
  GetWindowRect(s.Handle(), &fr);
  const FrameProbes at(fr);
  auto pixel = [](POINT p) { return testsupport::ScreenPixel(p.x, p.y) & 0xFFFFFF; };
  for (bool owned : {true, false}) {
    SCOPED_TRACE(owned ? "a dialog of the form" : "another window");
    const COLORREF colour = owned ? RGB(0xD0, 0x24, 0x9C) : RGB(0x24, 0xD0, 0x9C);
    PlainWindow other(fr.left - 40, fr.top - 30, 200, fr.bottom - fr.top + 60, colour, owned ? s.Handle() : nullptr);
    SetWindowPos(other.h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    PumpFor(150);
    for (int round = 0; round < 3; ++round) {
      SCOPED_TRACE(round);
      s.form->SetCaption("Skinned station " + std::to_string(round));
      s.p->SkinData().BGChanged = true;
      skin::BorderFormUpdate(*s.p->BorderForm, true, 255);
      PumpFor(200);
      EXPECT_EQ(GetWindow(s.Handle(), GW_HWNDNEXT), border);
      for (POINT p : {at.shadow, at.frame, at.caption, at.client}) EXPECT_EQ(pixel(p), colour);
    }
  }
}

// A form owned by another (the station's forms are owned by its main form) keeps its frame when its owner is
// clicked with the X server's mouse: the owner comes to the front with the form and its border window above it,
// in that order (the window manager raises them, not Wine). Only under a window manager: on a bare X display
// Wine itself leaves any owned form, skinned or not, below its owner on the screen once the owner is clicked.
TEST(ProviderWindows, AnOwnedFormKeepsItsFrameWhenItsOwnerIsClicked) {
  if (const char* wm = std::getenv("WINE_WINDOW_MANAGER"); !wm || std::string(wm) != "1")
    GTEST_SKIP() << "no window manager on this display";
  gui::TCustomForm* mainForm = gui::Application->MainForm();
  auto* owner = new gui::TForm(gui::Application);
  owner->SetBounds(40, 40, 600, 500);
  owner->SetCaption("Owner");
  owner->Show();
  PumpFor(100);
  gui::Application->SetMainForm(owner);
  {
    Shown s(true, 120, 100);
    ASSERT_EQ(GetWindow(s.Handle(), GW_OWNER), owner->WindowHandle());
    SetForegroundWindow(s.Handle());
    ASSERT_TRUE(PumpUntil([&] { return s.p->BorderForm && s.p->BorderForm->AForm && GetForegroundWindow() == s.Handle(); }));
    RECT fr{}, orr{};
    GetWindowRect(s.Handle(), &fr);
    GetWindowRect(owner->WindowHandle(), &orr);
    const FrameProbes at(fr);
    // The frame's left edge comes from the border window; the owner lies under all of it.
    auto frameShown = [&] {
      const uint32_t c = testsupport::ScreenPixel(at.frame.x, at.frame.y) & 0xFFFFFF;
      return c == uint32_t(kFrameActive) || c == uint32_t(kFrameInactive);
    };
    ASSERT_TRUE(PumpUntil(frameShown));
    using testsupport::MoveTo;
    ASSERT_TRUE(testsupport::Xdotool(MoveTo(orr.right - 40, orr.bottom - 40) + " click 1"));
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == owner->WindowHandle(); }));
    // Inactive now: the form's frame in its inactive colour, the owner nowhere over it.
    uint32_t shown = 0;
    EXPECT_TRUE(PumpUntil([&] {
      shown = testsupport::ScreenPixel(at.frame.x, at.frame.y) & 0xFFFFFF;
      return shown == uint32_t(kFrameInactive);
    })) << std::hex << shown;
    testsupport::Xdotool("mousemove 900 700");
  }
  gui::Application->SetMainForm(mainForm);
  gui::Free(owner);
  PumpFor(50);
}

}  // namespace

namespace {

// The scroll-bar sections of the fixture skin, each one flat colour.
constexpr skin::TColor kTrack1 = 0x3070B0, kTrack2 = 0x70B030, kSlider = 0xB03070, kArrow = 0x20C0A0;

void AddScrollSections(FormsSkin& f) {
  skin::LoadedSkin& s = f.Skin();
  auto add = [&s](const char* name, skin::TColor colour) {
    skin::SkinSectionRecord r;
    r.SectionName = name;
    r.States = 1;
    r.NormalState.Color = colour;
    r.HotState = r.NormalState;
    s.Sections.push_back(r);
    skin::SkinSectionEntry e;
    e.SectionIndex = int32_t(s.Sections.size() - 1);
    e.Name = name;
    return e;
  };
  skin::SkinCommonIndexes& c = s.CommonIndexes;
  c.ScrollBar1H = add("SCROLLBAR1H", kTrack1);
  c.ScrollBar1V = add("SCROLLBAR1V", kTrack1);
  c.ScrollBar2H = add("SCROLLBAR2H", kTrack2);
  c.ScrollBar2V = add("SCROLLBAR2V", kTrack2);
  c.ScrollSliderH = add("SCROLLSLIDERH", kSlider);
  c.ScrollSliderV = add("SCROLLSLIDERV", kSlider);
  c.ScrollBtnLeft = add("SCROLLBTNLEFT", kArrow);
  c.ScrollBtnTop = add("SCROLLBTNTOP", kArrow);
  c.ScrollBtnRight = add("SCROLLBTNRIGHT", kArrow);
  c.ScrollBtnBottom = add("SCROLLBTNBOTTOM", kArrow);
}

// A skinned form whose window has both scroll bars (a range of 100, a page of 10).
struct ScrolledForm {
  FormsSkin skin;
  gui::TForm* form;
  TsSkinProvider* p;
  std::vector<std::pair<UINT, WPARAM>> scrolls;  // the scroll messages that reached the form
  ScrolledForm() {
    AddScrollSections(skin);
    form = new gui::TForm(gui::Application);
    form->SetBounds(60, 60, 320, 240);
    form->SetCaption("Scrolled station");
    gui::TWndMethod own = form->WindowProc;
    form->WindowProc = [this, own](gui::TMessage& m) {
      if (m.Msg == WM_VSCROLL || m.Msg == WM_HSCROLL) scrolls.emplace_back(m.Msg, m.WParam & 0xFFFF);
      own(m);
    };
    p = new TsSkinProvider(form);
    form->Show();
    PumpFor(150);
    // The bars given to the shown window.
    HWND h = form->WindowHandle();
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL, 0, 99, 10, 0, 0};
    SetScrollInfo(h, SB_VERT, &si, FALSE);
    SetScrollInfo(h, SB_HORZ, &si, FALSE);
    SetWindowLongA(h, GWL_STYLE, GetWindowLongA(h, GWL_STYLE) | WS_HSCROLL | WS_VSCROLL);
    SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpFor(150);
  }
  ~ScrolledForm() {
    gui::Free(form);
    PumpFor(50);
  }
  HWND Handle() { return form->WindowHandle(); }
};

uint32_t Rgb(const skin::Bitmap& b, const skin::TPoint& at) { return skin::GetPixel32(b, at.X, at.Y) & 0xFFFFFF; }

}  // namespace

TEST(ProviderWindows, AFormWithScrollBarsShowsTheSkinsBarsInItsFrameAndTheyScroll) {
  ScrolledForm s;
  HWND h = s.Handle();
  ASSERT_NE(s.p->ScrollWnd, nullptr);
  EXPECT_EQ(skin::AdapterOfWindow(h), s.p->ScrollWnd);
  RECT wr{}, cr{};
  GetWindowRect(h, &wr);
  GetClientRect(h, &cr);
  POINT origin{0, 0};
  ClientToScreen(h, &origin);
  // The bars lie beside and below the client area, inside the skinned frame, which still knows where its client is.
  const skin::TRect v = skin::VertScrollBarRect(s.p->ScrollWnd, h);
  const skin::TRect hz = skin::HorzScrollBarRect(s.p->ScrollWnd, h);
  const int32_t bar = skin::ScrollBarSize(s.p->ScrollWnd->VertBar.get(), true);
  ASSERT_GT(bar, 0);
  EXPECT_EQ(v.Left, origin.x + cr.right);
  EXPECT_EQ(v.Width(), bar);
  EXPECT_EQ(hz.Top, origin.y + cr.bottom);
  EXPECT_EQ(hz.Height(), bar);
  EXPECT_EQ(skin::ProviderClientLeft(*s.p), origin.x - wr.left);
  EXPECT_EQ(skin::ProviderClientTop(*s.p), origin.y - wr.top);
  EXPECT_EQ(skin::ProviderScrollBarsShown(*s.p).cx, bar);
  EXPECT_EQ(skin::ProviderScrollBarsShown(*s.p).cy, bar);
  // On the screen, after the frame was painted again: the skin's track behind the thumb (the bar scrolled to its
  // start), its arrows, and the frame around them.
  skin::ProviderRepaintFrame(*s.p);
  PumpFor(100);
  const skin::Bitmap shown = WindowPicture(h);
  if (const char* dir = std::getenv("STATION_SHOTS")) testsupport::SaveWindowPicture(h, dir, "provider-scrollbars");
  auto inWindow = [&wr](int32_t x, int32_t y) { return skin::TPoint{x - wr.left, y - wr.top}; };
  const int32_t vx = (v.Left + v.Right) / 2, hy = (hz.Top + hz.Bottom) / 2;
  EXPECT_EQ(Rgb(shown, inWindow(vx, v.Bottom - bar - 4)), Px(kTrack2) & 0xFFFFFF);
  EXPECT_EQ(Rgb(shown, inWindow(hz.Right - bar - 4, hy)), Px(kTrack2) & 0xFFFFFF);
  EXPECT_EQ(Rgb(shown, inWindow(v.Left + 1, v.Bottom - 2)), Px(kArrow) & 0xFFFFFF);
  EXPECT_EQ(Rgb(shown, inWindow(vx, v.Top + bar + 2)), Px(kSlider) & 0xFFFFFF);
  EXPECT_EQ(Rgb(shown, inWindow(wr.left + 1, (wr.top + wr.bottom) / 2)), Px(kFrameActive) & 0xFFFFFF);
  // A print of the form shows them too.
  skin::Bitmap printed(shown.Width(), shown.Height(), skin::pf32bit);
  {
    skin::BitmapDC dc(printed);
    SendMessageA(h, WM_PRINT, reinterpret_cast<WPARAM>(dc.dc()), PRF_NONCLIENT | PRF_CLIENT);
    GdiFlush();
  }
  EXPECT_EQ(Rgb(printed, inWindow(vx, v.Bottom - bar - 4)), Px(kTrack2) & 0xFFFFFF);
  EXPECT_EQ(Rgb(printed, inWindow(hz.Right - bar - 4, hy)), Px(kTrack2) & 0xFFFFFF);
  // The bars answer the hit test; the frame still answers for the rest.
  EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(vx, (v.Top + v.Bottom) / 2)), HTVSCROLL);
  EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM((hz.Left + hz.Right) / 2, hy)), HTHSCROLL);
  EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(wr.left + 100, wr.top + 8)), HTCAPTION);
  // A press on the down arrow and on the right track scrolls the form as the system's bars would.
  SendMessageA(h, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(vx, v.Bottom - 2));
  SendMessageA(h, WM_LBUTTONUP, 0, 0);
  SendMessageA(h, WM_NCLBUTTONDOWN, HTHSCROLL, MAKELPARAM(hz.Right - bar - 4, hy));
  SendMessageA(h, WM_LBUTTONUP, 0, 0);
  ASSERT_GE(s.scrolls.size(), 2u);
  EXPECT_EQ(s.scrolls.front(), std::make_pair(UINT(WM_VSCROLL), WPARAM(SB_LINEDOWN)));
  EXPECT_NE(std::find(s.scrolls.begin(), s.scrolls.end(), std::make_pair(UINT(WM_HSCROLL), WPARAM(SB_PAGEDOWN))),
            s.scrolls.end());
}

TEST(ProviderWindows, TheFormsScrollAdapterGoesWithTheSkinAndComesBackWithIt) {
  ScrolledForm s;
  HWND h = s.Handle();
  ASSERT_NE(s.p->ScrollWnd, nullptr);
  PumpFor(100);
  const skin::ledger::Snapshot before = skin::ledger::Take();
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    const LPARAM manager = s.skin.manager->ManagerParam();
    SendMessageA(h, skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_SKINREMOVED), manager);
    PumpFor(150);
    EXPECT_EQ(s.p->ScrollWnd, nullptr);
    EXPECT_EQ(skin::AdapterOfWindow(h), nullptr);
    // The system's own bars again: the provider's procedure is the form's again and the client area is the system's.
    EXPECT_NE(s.form->WindowProc.target<skin::ProviderWindowProc>(), nullptr);
    EXPECT_EQ(skin::ProviderScrollBarsShown(*s.p).cx, 0);
    SendMessageA(h, skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_SKINLOADED), manager);
    PumpFor(200);
    ASSERT_NE(s.p->ScrollWnd, nullptr);
    EXPECT_EQ(skin::AdapterOfWindow(h), s.p->ScrollWnd);
  }
  skin::FlushDeferredFrees();
  EXPECT_EQ(skin::ledger::Difference(before, skin::ledger::Take()), "");
}

TEST(ProviderWindows, AResizeAlongTheBackgroundsGradientMakesTheChildrenRecomputeTheirTransparency) {
  Shown s;
  skin::SkinSectionRecord& section = s.skin.Skin().Sections[size_t(s.skin.form)];
  section.NormalState.GradientPercent = 100;
  section.NormalState.GradientSteps = {skin::GradientStep{0x102030, 0x405060, 100, 1}};  // columns
  auto* panel = new gui::TPanel(s.form);
  panel->SetParent(s.form);
  panel->SetBounds(20, 20, 120, 80);
  PumpFor(100);
  int told = 0;
  gui::TWndMethod own = panel->WindowProc;
  panel->WindowProc = [&told, own](gui::TMessage& m) {
    if (m.Msg == skin::WM_SKINCOMMAND && skin::SkinCommandCode(m.WParam) == skin::AC_TRANSPARENCYFLAGS && m.LParam == 1)
      ++told;
    own(m);
  };
  struct Step {
    const char* name;
    int dw, dh;
    bool told;
  };
  for (const Step& step : {Step{"taller", 0, 40, false}, Step{"wider", 50, 0, true}, Step{"both", -30, -20, true}}) {
    SCOPED_TRACE(step.name);
    told = 0;
    s.form->SetBounds(s.form->Left(), s.form->Top(), s.form->Width() + step.dw, s.form->Height() + step.dh);
    PumpFor(80);
    EXPECT_EQ(told > 0, step.told);
  }
  panel->WindowProc = own;
}

// A section of the skin that shows what lies under it, `percent` of it (over a flat colour otherwise).
void AddSeeThroughSection(Shown& s, const char* name, int percent, skin::TColor colour = 0) {
  skin::SkinSectionRecord section;
  section.SectionName = name;
  if (percent < 100) section.NormalState.Color = section.HotState.Color = colour;
  section.NormalState.Transparency = section.HotState.Transparency = percent;
  s.skin.Skin().Sections.push_back(section);
}

// Waits until every row of a window's left column shows `colour`; the rows that do not at the deadline.
int RowsNotShowing(HWND h, int height, COLORREF colour) {
  int wrong = 0;
  PumpUntil([&] {
    wrong = 0;
    for (int y = 0; y < height; ++y) wrong += testsupport::ClientPixel(h, 0, y) != colour;
    return wrong == 0;
  });
  return wrong;
}

// A panel reaching below its form's client area (as the station's message panel before the main window grows for
// the AUTEX layout) is painted while the form is small: below the form's picture its own has nothing. Once the
// form has grown, the panel's left column shows the form's colour on the screen, the rows uncovered included.
// Likewise the library's skinned push button reaching below the panel that holds it, once the panel has grown:
// its left column shows the panel as the panel shows itself beside it.
TEST(ProviderWindows, APanelOrButtonThatItsGrowingParentUncoversShowsTheParentThere) {
  for (const bool button : {false, true}) {
    SCOPED_TRACE(button ? "button in a panel" : "panel in the form");
    Shown s;
    // The panel's section: clear, or a flat colour with half the form's through it.
    AddSeeThroughSection(s, "CHECKBOX", button ? 50 : 100, button ? 0x3080C0 : 0);
    AddSeeThroughSection(s, "CLEARBUTTON", 100);  // the button's
    s.skin.manager->ThirdPartyLists[8] = {"TPanel"};  // the panels' category of classes the skin takes
    auto* panel = new gui::TPanel(s.form);
    panel->SetBevelOuter(gui::TBevelCut::bvNone);
    panel->SetBounds(button ? 20 : 40, 7, button ? 120 : 60, button ? 100 : s.form->ClientHeight() + 40);
    panel->SetParent(s.form);
    const HWND ph = panel->WindowHandle();
    if (!button) {
      ASSERT_TRUE(PumpUntil([&] {
        const skin::TacMainWnd* a = skin::AdapterOfWindow(ph);
        return a != nullptr && a->SkinData->CacheBmp && !a->SkinData->BGChanged;
      }));
      s.form->SetBounds(s.form->Left(), s.form->Top(), s.form->Width(), s.form->Height() + 80);
      const COLORREF colour = COLORREF(skin::ColorToRGB(skin::ProviderFormColor(*s.p)));
      EXPECT_EQ(RowsNotShowing(ph, panel->Height(), colour), 0) << "rows of the panel's left column";
      continue;
    }
    auto* b = new skin::TsButton(s.form);
    b->SkinData().SkinSection = "CLEARBUTTON";
    b->SetBounds(20, 10, 60, 140);
    b->SetParent(panel);
    ASSERT_TRUE(PumpUntil([&] {
      const skin::Bitmap* cache = b->SkinData().CacheBmp.get();
      return cache != nullptr && cache->Height() == b->Height() && !b->SkinData().BGChanged;
    }));
    panel->SetBounds(20, 7, 120, 180);
    // The panel's colour, as it shows itself left of the button, in its first and in its uncovered rows.
    using testsupport::ClientPixel;
    ASSERT_TRUE(PumpUntil([&] { return ClientPixel(ph, 5, 170) == ClientPixel(ph, 5, 5); }));
    EXPECT_EQ(RowsNotShowing(b->WindowHandle(), b->Height(), ClientPixel(ph, 5, 5)), 0)
        << "rows of the button's left column";
  }
}

TEST(ProviderWindows, TheFrameIsNotPaintedOverATrackedMenuAndIsPaintedWhenTheLoopEnds) {
  Shown s;
  HWND h = s.Handle();
  const skin::TPoint probe{60, 10};
  auto shownAt = [&] { return skin::GetPixel32(WindowPicture(h), probe.X, probe.Y) & 0xFFFFFF; };
  auto scribble = [&] {
    HDC dc = skin::ledger::GetWindowDC(h);
    RECT r{probe.X - 4, probe.Y - 4, probe.X + 4, probe.Y + 4};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    skin::ledger::ReleaseDC(h, dc);
  };
  SendMessageA(h, WM_ENTERMENULOOP, 0, 0);
  scribble();
  SendMessageA(h, WM_NCPAINT, 1, 0);
  EXPECT_EQ(shownAt(), 0u);  // what the system drew over the frame stays while the menu is tracked
  SendMessageA(h, WM_EXITMENULOOP, 0, 0);
  const skin::TPoint origin = skin::ProviderCacheOrigin(*s.p);
  const uint32_t frame = skin::GetPixel32(*s.p->SkinData().CacheBmp, probe.X + origin.X, probe.Y + origin.Y) & 0xFFFFFF;
  EXPECT_NE(frame, 0u);
  EXPECT_EQ(shownAt(), frame);
  // Outside a menu loop the frame is painted at once.
  scribble();
  SendMessageA(h, WM_NCPAINT, 1, 0);
  EXPECT_EQ(shownAt(), frame);
}

TEST(ProviderWindows, AKeptPlaceHoldsForOneMoveAndASystemMinimizeMinimizesTheForm) {
  Shown s;
  HWND h = s.Handle();
  RECT before{}, after{};
  GetWindowRect(h, &before);
  const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  skin::ProviderKeepPlaceOnce(*s.p, true, true);
  SetWindowPos(h, nullptr, before.left + 30, before.top + 40, 340, before.bottom - before.top + 50, flags);
  GetWindowRect(h, &after);
  EXPECT_EQ(after.left, before.left + 30);
  EXPECT_EQ(after.right - after.left, 340);
  EXPECT_EQ(after.top, before.top);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
  // Once only.
  SetWindowPos(h, nullptr, before.left, before.top + 40, 0, 0, flags | SWP_NOSIZE);
  GetWindowRect(h, &after);
  EXPECT_EQ(after.top, before.top + 40);
  // Only the top kept: the height follows what is asked.
  skin::ProviderKeepPlaceOnce(*s.p, true, false);
  SetWindowPos(h, nullptr, before.left, before.top, 340, 200, flags);
  GetWindowRect(h, &after);
  EXPECT_EQ(after.top, before.top + 40);
  EXPECT_EQ(after.bottom - after.top, 200);
  // The system minimizes the window by itself and puts it at the place of minimized windows (Windows does it in
  // one go; Wine keeps its own place, so the move is made here): the form counts as minimized.
  ASSERT_EQ(s.form->WindowState(), gui::TWindowState::wsNormal);
  ShowWindow(h, SW_MINIMIZE);
  PumpFor(100);
  ASSERT_TRUE(IsIconic(h));
  SetWindowPos(h, nullptr, skin::kMinimizedPlace, skin::kMinimizedPlace, 0, 0, flags | SWP_NOSIZE);
  PumpFor(100);
  EXPECT_TRUE(IsIconic(h));
  EXPECT_EQ(s.form->WindowState(), gui::TWindowState::wsMinimized);
}

namespace {

// A dialog's window as the adapted dialogs' list holds it: counts the repaints it is asked for.
int g_dialogRepaints = 0;
LRESULT CALLBACK CountingDialogProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == skin::WM_SKINCOMMAND && skin::SkinCommandCode(w) == skin::AC_REPAINT) ++g_dialogRepaints;
  return DefWindowProcA(h, msg, w, l);
}
struct ListedDialog final : skin::TacProvider {
  HWND wnd;
  explicit ListedDialog(HWND w) : wnd(w) {}
  HWND AdapterWindow() const override { return wnd; }
};


// The middle of the n-th item of a window's menu bar (window coordinates).
POINT MenuItemMiddle(HWND h, int n) {
  RECT item{}, w{};
  GetMenuItemRect(h, GetMenu(h), UINT(n), &item);
  GetWindowRect(h, &w);
  return POINT{(item.left + item.right) / 2 - w.left, item.top + 2 - w.top};
}

TEST(ProviderWindows, AMenuItemAddedAfterASkinSwitchWearsTheSkinAtOnce) {
  Shown s;
  auto* mm = new gui::TMainMenu(s.form);
  auto* file = new gui::TMenuItem(s.form);
  file->SetCaption("&File");
  auto* open = new gui::TMenuItem(s.form);
  open->SetCaption("&Open");
  file->Add(open);
  mm->Items()->Add(file);
  s.form->SetMenu(mm);
  SetForegroundWindow(s.Handle());
  PumpFor(150);
  // The skin goes and comes back (the manager's commands to the form).
  const LPARAM manager = reinterpret_cast<LPARAM>(static_cast<skin::TsSkinManager*>(s.skin.manager.get()));
  SendMessageA(s.Handle(), skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_SKINREMOVED), manager);
  PumpFor(100);
  EXPECT_FALSE(file->OnAdvancedDrawItem) << "the menu bar is the system's without the skin";
  SendMessageA(s.Handle(), skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_SKINLOADED), manager);
  PumpFor(150);
  ASSERT_TRUE(file->OnAdvancedDrawItem) << "the skin's menus come back with the skin";
  // An item of the bar and one of a sub-menu added now wear the skin without waiting for the next switch.
  auto* late = new gui::TMenuItem(s.form);
  late->SetCaption("&Late");
  mm->Items()->Add(late);
  auto* lateSub = new gui::TMenuItem(s.form);
  lateSub->SetCaption("&Recent");
  file->Add(lateSub);
  EXPECT_TRUE(late->OnAdvancedDrawItem && late->OnMeasureItem);
  EXPECT_TRUE(lateSub->OnAdvancedDrawItem && lateSub->OnMeasureItem);
  RedrawWindow(s.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  const POINT at = MenuItemMiddle(s.Handle(), 1);
  // The skin's menu line under the new item's left end (its text lies further right).
  RECT item{}, w{};
  GetMenuItemRect(s.Handle(), GetMenu(s.Handle()), 1, &item);
  GetWindowRect(s.Handle(), &w);
  EXPECT_TRUE(PumpUntil([&] { return ShownAt(s.Handle(), item.left - w.left + 1, at.y) == (Px(kMenuLine) & 0xFFFFFF); }))
      << std::hex << ShownAt(s.Handle(), item.left - w.left + 1, at.y);
}

POINT g_openAt{};
uint32_t g_openShown = 0, g_openPainted = 0;
HWND g_openWindow = nullptr;
std::function<void()> g_whileOpen;

// The menu line marks the entry under the pointer (the system does not under Wine) and, once open, the open one;
// the mark follows the pointer and goes when the pointer leaves the line. The open entry stays marked when the
// frame is painted again from its cache while the menu is open (a caption that changes, as the station's clock
// does every second), on the screen and in the window's own picture.
TEST(ProviderWindows, TheMenuLineMarksTheEntryUnderThePointerAndTheOpenOne) {
  Shown s(false, 200, 150, 360, 260);
  constexpr skin::TColor kLineHot = 0x2090E0;
  skin::SkinSectionRecord& line = s.skin.Skin().Sections[size_t(s.skin.menuLine)];
  line.States = 2;
  line.HotState.Color = kLineHot;
  auto* mm = new gui::TMainMenu(s.form);
  for (const char* caption : {"&File", "&Edit"}) {
    auto* top = new gui::TMenuItem(s.form);
    top->SetCaption(caption);
    auto* sub = new gui::TMenuItem(s.form);
    sub->SetCaption("&Open");
    top->Add(sub);
    mm->Items()->Add(top);
  }
  s.form->SetMenu(mm);
  SetForegroundWindow(s.Handle());
  PumpFor(150);
  RECT w{};
  GetWindowRect(s.Handle(), &w);
  // Each entry's left end (no text there), on the screen, and its middle, for the pointer.
  POINT left[2], middle[2];
  for (int i = 0; i < 2; ++i) {
    RECT item{};
    GetMenuItemRect(s.Handle(), GetMenu(s.Handle()), UINT(i), &item);
    left[i] = POINT{item.left + 1, (item.top + item.bottom) / 2};
    middle[i] = POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
  }
  auto shows = [](POINT at, skin::TColor colour) {
    return PumpUntil([&] { return (testsupport::ScreenPixel(at.x, at.y) & 0xFFFFFF) == uint32_t(colour); });
  };
  auto to = [](POINT pt) { return "mousemove " + std::to_string(pt.x) + " " + std::to_string(pt.y); };
  ASSERT_TRUE(shows(left[0], kMenuLine));
  ASSERT_TRUE(Xdotool(to(POINT{middle[0].x - 5, middle[0].y}) + " sleep 0.1 " + to(middle[0])));
  EXPECT_TRUE(shows(left[0], kLineHot));
  EXPECT_TRUE(shows(left[1], kMenuLine));
  ASSERT_TRUE(Xdotool(to(middle[1])));
  EXPECT_TRUE(shows(left[1], kLineHot));
  EXPECT_TRUE(shows(left[0], kMenuLine));
  // Into the client area: no entry is marked.
  ASSERT_TRUE(Xdotool(to(POINT{middle[1].x, middle[1].y + 60})));
  EXPECT_TRUE(shows(left[1], kMenuLine));
  // Opened by a click: marked while it is open (read from a timer of the menu's loop, which then ends it), and not
  // after.
  g_openAt = left[0];
  g_openWindow = s.Handle();
  g_openShown = g_openPainted = 0;
  g_whileOpen = [&s] { s.form->SetCaption("Skinned station 12:00:01"); };
  const UINT_PTR timer = SetTimer(nullptr, 0, 600, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    g_whileOpen();
    RECT r{};
    GetWindowRect(g_openWindow, &r);
    g_openPainted = ShownAt(g_openWindow, g_openAt.x - r.left, g_openAt.y - r.top);
    g_openShown = testsupport::ScreenPixel(g_openAt.x, g_openAt.y) & 0xFFFFFF;
    EndMenu();
  });
  // Clicked, then the pointer off the line: the entry is marked as the open one, not as the one under the pointer.
  ASSERT_TRUE(Xdotool(to(middle[0]) + " sleep 0.1 click 1 sleep 0.1 " + to(POINT{middle[0].x, middle[0].y + 100})));
  EXPECT_TRUE(PumpUntil([] { return g_openShown != 0; }));
  KillTimer(nullptr, timer);
  EXPECT_EQ(g_openShown, uint32_t(kLineHot));
  EXPECT_EQ(g_openPainted, Px(kLineHot) & 0xFFFFFF) << std::hex << g_openPainted;
  EXPECT_EQ(s.form->Caption(), "Skinned station 12:00:01");
  ASSERT_TRUE(Xdotool(to(POINT{middle[0].x, middle[0].y + 120})));
  EXPECT_TRUE(shows(left[0], kMenuLine));
  Xdotool("mousemove 900 700");
  EXPECT_TRUE(shows(left[0], kMenuLine));
  EXPECT_TRUE(shows(left[1], kMenuLine));
}

TEST(ProviderWindows, DrawNonClientAreaOffGivesTheFrameAndTheMenuBackAndOnTakesThemAgain) {
  Shown s;
  auto* mm = new gui::TMainMenu(s.form);
  auto* file = new gui::TMenuItem(s.form);
  file->SetCaption("&File");
  mm->Items()->Add(file);
  s.form->SetMenu(mm);
  SetForegroundWindow(s.Handle());
  PumpFor(200);
  const HWND h = s.Handle();
  RECT w{};
  GetWindowRect(h, &w);
  const int captionX = (w.right - w.left) - 100, captionY = 6;
  const POINT menuAt = MenuItemMiddle(h, 0);
  RECT item{};
  GetMenuItemRect(h, GetMenu(h), 0, &item);
  const int menuX = item.left - w.left + 1;
  const uint32_t title = Px(kTitleActive) & 0xFFFFFF, line = Px(kMenuLine) & 0xFFFFFF;
  auto skinned = [&] { return ShownAt(h, captionX, captionY) == title && ShownAt(h, menuX, menuAt.y) == line; };
  ASSERT_TRUE(PumpUntil(skinned)) << std::hex << ShownAt(h, captionX, captionY) << " " << ShownAt(h, menuX, menuAt.y);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    s.p->SetDrawNonClientArea(false);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    // The system's frame, caption buttons and menu bar.
    EXPECT_TRUE(PumpUntil([&] { return ShownAt(h, captionX, captionY) != title && ShownAt(h, menuX, menuAt.y) != line; }));
    EXPECT_NE(GetWindowLongA(h, GWL_STYLE) & WS_SYSMENU, 0);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(h, region), ERROR) << "no region cut out of the system's frame";
    DeleteObject(region);
    EXPECT_FALSE(file->OnAdvancedDrawItem);
    EXPECT_FALSE(mm->OwnerDraw());
    s.p->SetDrawNonClientArea(true);
    EXPECT_TRUE(PumpUntil(skinned)) << std::hex << ShownAt(h, captionX, captionY) << " " << ShownAt(h, menuX, menuAt.y);
    EXPECT_TRUE(file->OnAdvancedDrawItem);
  }
}

TEST(ProviderWindows, AFormWithASizeGripShowsItAndSizesFromIt) {
  for (bool extended : {false, true}) {
    SCOPED_TRACE(extended ? "border window" : "no border window");
    Shown s(extended, 200, 150, 360, 260);
    s.p->GripMode = skin::gmRightBottom;
    const HWND h = s.Handle();
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    SetForegroundWindow(h);
    PumpFor(100);
    // The grip's image in the client's bottom-right corner.
    const skin::TPoint g = skin::ProviderGripWindowOrigin(*s.p);
    RECT client{};
    GetClientRect(h, &client);
    POINT corner{client.right, client.bottom};
    ClientToScreen(h, &corner);
    RECT w{};
    GetWindowRect(h, &w);
    EXPECT_EQ(g.X + kGripSize, corner.x - w.left);
    EXPECT_EQ(g.Y + kGripSize + 1, corner.y - w.top);
    EXPECT_TRUE(PumpUntil([&] { return ShownAt(h, g.X + kGripSize / 2, g.Y + kGripSize / 2) == (Px(kGrip) & 0xFFFFFF); }))
        << std::hex << ShownAt(h, g.X + kGripSize / 2, g.Y + kGripSize / 2);
    EXPECT_EQ(HitAt(h, g.X + 2, g.Y + 2), HTBOTTOMRIGHT);
    EXPECT_EQ(HitAt(h, g.X - 2, g.Y + 2), HTCLIENT);
    // Dragged 40 pixels right and 30 down from the grip, the form grows by that much.
    const int x = w.left + g.X + 4, y = w.top + g.Y + 4;
    ASSERT_TRUE(Xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " mousedown 1 sleep 0.2 mousemove " +
                            std::to_string(x + 20) + " " + std::to_string(y + 15) + " sleep 0.2 mousemove " +
                            std::to_string(x + 40) + " " + std::to_string(y + 30) + " sleep 0.3 mouseup 1"));
    RECT after{};
    GetWindowRect(h, &after);
    EXPECT_EQ(after.left, w.left);
    EXPECT_EQ(after.top, w.top);
    EXPECT_NEAR(after.right - after.left, 400, 1);
    EXPECT_NEAR(after.bottom - after.top, 290, 1);
    // At its new place the grip shows again.
    const skin::TPoint g2 = skin::ProviderGripWindowOrigin(*s.p);
    EXPECT_TRUE(PumpUntil([&] { return ShownAt(h, g2.X + kGripSize / 2, g2.Y + kGripSize / 2) == (Px(kGrip) & 0xFFFFFF); }))
        << std::hex << ShownAt(h, g2.X + kGripSize / 2, g2.Y + kGripSize / 2);
    Xdotool("mousemove 900 700");
  }
}

// What a skinned form draws itself (OnPaint) shows over the skin's client background, through every repaint.
TEST(ProviderWindows, WhatTheFormPaintsItselfShowsInTheSkinnedClient) {
  Shown s;
  s.form->OnPaint = [&](gui::TObject*) {
    gui::TCanvas& c = s.form->Canvas();
    c.Brush().Color = 0x2080F0;
    c.FillRect(gui::TRect{10, 10, 40, 30});
  };
  RedrawWindow(s.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
  POINT at{20, 20};
  ClientToScreen(s.Handle(), &at);
  RECT w{};
  GetWindowRect(s.Handle(), &w);
  EXPECT_TRUE(PumpUntil([&] { return ShownAt(s.Handle(), at.x - w.left, at.y - w.top) == (Px(0x2080F0) & 0xFFFFFF); }))
      << std::hex << ShownAt(s.Handle(), at.x - w.left, at.y - w.top);
  // Beside it, the skin's background.
  EXPECT_EQ(ShownAt(s.Handle(), at.x - w.left + 40, at.y - w.top), Px(kFormActive) & 0xFFFFFF);
}

// A form's border window, which has no owner, is hidden with its form when the form's own owner hides it.
TEST(ProviderWindows, TheBorderWindowIsHiddenWithItsForm) {
  Shown s(true);
  ASSERT_TRUE(s.p->BorderForm);
  const HWND border = static_cast<HWND>(s.p->BorderForm->AForm);
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(border) != FALSE; }));
  // The owner minimized: the system hides its owned windows with SW_PARENTCLOSING.
  SendMessageA(s.Handle(), WM_SHOWWINDOW, FALSE, SW_PARENTCLOSING);
  ShowWindow(s.Handle(), SW_HIDE);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(border); }));
  SendMessageA(s.Handle(), WM_SHOWWINDOW, TRUE, SW_PARENTOPENING);
  ShowWindow(s.Handle(), SW_SHOWNA);

  EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(border) != FALSE; }));
}

}  // namespace

TEST(ProviderWindows, TheEndOfAMoveRepaintsTheAdaptedDialogsWhenTheFormHasABorderWindow) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = CountingDialogProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "ProviderTestDialog";
  RegisterClassA(&wc);
  HWND dialog = CreateWindowExA(0, "ProviderTestDialog", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  skin::CreateProviderList();
  skin::TacProviderList& list = *skin::ProviderList();
  list.push_back(std::make_unique<ListedDialog>(dialog));
  const size_t entry = list.size() - 1;
  for (bool extended : {false, true}) {
    SCOPED_TRACE(extended);
    Shown s(extended);
    ASSERT_EQ(s.p->BorderForm != nullptr, extended);
    g_dialogRepaints = 0;
    SendMessageA(s.Handle(), WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(g_dialogRepaints, extended ? 1 : 0);
  }
  skin::ProviderList()->at(entry).reset();
  DestroyWindow(dialog);
}

TEST(ProviderWindows, WithoutSkinnedPopupsAClickOnTheIconWaitsForADoubleClickThatClosesTheForm) {
  for (bool doubleClick : {true, false}) {
    SCOPED_TRACE(doubleClick);
    Shown s;
    s.skin.manager->SkinnedPopups = false;
    HWND h = s.Handle();
    int menuLoops = 0;
    gui::TWndMethod own = s.form->WindowProc;
    s.form->WindowProc = [&menuLoops, own](gui::TMessage& m) {
      if (m.Msg == WM_ENTERMENULOOP) ++menuLoops;
      own(m);
    };
    // A menu that opens is shut again by a timer.
    const UINT_PTR timer = SetTimer(nullptr, 0, 400, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
    PostMessageA(h, WM_NCLBUTTONDOWN, HTSYSMENU, 0);
    if (doubleClick) PostMessageA(h, WM_NCLBUTTONDBLCLK, HTSYSMENU, 0);
    PumpFor(700);
    KillTimer(nullptr, timer);
    EXPECT_EQ(menuLoops, doubleClick ? 0 : 1);
    EXPECT_EQ(IsWindowVisible(h) != FALSE, !doubleClick);
    EXPECT_EQ(s.p->ClosingByIcon, doubleClick);
    s.form->WindowProc = own;
  }
}

TEST(ProviderWindows, AFormHiddenWithItsOwnerRemembersHowItShowedUntilItsCaptionIsNextInactive) {
  Shown s;
  HWND h = s.Handle();
  struct Row {
    const char* name;
    int show;
    int32_t remembered;
  };
  for (const Row& row : {Row{"normal", SW_SHOWNORMAL, 1}, Row{"iconic", SW_SHOWMINIMIZED, 2},
                         Row{"zoomed", SW_SHOWMAXIMIZED, 3}}) {
    SCOPED_TRACE(row.name);
    ShowWindow(h, row.show);
    PumpFor(100);
    SendMessageA(h, WM_SHOWWINDOW, FALSE, SW_PARENTCLOSING);
    EXPECT_EQ(s.p->ParentClosingState, row.remembered);
  }
  // Zoomed: drawn active again it keeps the remembered state; drawn inactive it forgets it.
  SendMessageA(h, WM_NCACTIVATE, TRUE, 0);
  EXPECT_EQ(s.p->ParentClosingState, 3);
  SendMessageA(h, WM_NCACTIVATE, FALSE, 0);
  EXPECT_EQ(s.p->ParentClosingState, 0);
  ShowWindow(h, SW_RESTORE);
  PumpFor(100);
}

TEST(ProviderWindows, TheMainFormRestoredFromOutsideCountsAsShownWhenTheApplicationIsActivated) {
  Shown s;
  HWND h = s.Handle();
  s.skin.manager->AnimEffects.Minimizing.Active = true;
  gui::TCustomForm* mainForm = gui::Application->MainForm();
  gui::Application->SetMainForm(s.form);
  // The form minimized for the component layer while its window shows.
  s.form->Hide();
  PumpFor(50);
  s.form->SetWindowState(gui::TWindowState::wsMinimized);
  ShowWindow(h, SW_SHOWNOACTIVATE);
  PumpFor(100);
  ASSERT_FALSE(IsIconic(h));
  SendMessageA(h, WM_ACTIVATEAPP, FALSE, 0);
  // Only an activation does it: a window manager that gives the focus to a window it maps (openbox does) has
  // activated the application already.
  if (GetForegroundWindow() != h) {
    EXPECT_EQ(s.form->WindowState(), gui::TWindowState::wsMinimized);
  }
  SendMessageA(h, WM_ACTIVATEAPP, TRUE, 0);
  PumpFor(100);
  EXPECT_EQ(s.form->WindowState(), gui::TWindowState::wsNormal);
  EXPECT_TRUE(HasRegion(h));  // the frame's region made anew
  gui::Application->SetMainForm(mainForm);
}

TEST(ProviderWindows, AFramelessSizeableFormPrintsItsBorderStripsFromTheFrameCache) {
  FormsSkin skin;
  auto* form = new gui::TForm(gui::Application);
  form->SetBorderStyle(gui::TFormBorderStyle::bsNone);
  form->SetBounds(60, 60, 300, 200);
  auto* p = new TsSkinProvider(form);
  form->Show();
  PumpFor(100);
  HWND h = form->WindowHandle();
  SetWindowLongA(h, GWL_STYLE, GetWindowLongA(h, GWL_STYLE) | WS_THICKFRAME);
  SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpFor(100);
  RECT wr{};
  GetWindowRect(h, &wr);
  const int32_t width = wr.right - wr.left, height = wr.bottom - wr.top;
  skin::Bitmap printed(width, height, skin::pf32bit);
  skin::FillRectBitmap32(printed, skin::TRect{0, 0, width, height}, 0x000000, 255);
  {
    skin::BitmapDC dc(printed);
    SendMessageA(h, WM_PRINT, reinterpret_cast<WPARAM>(dc.dc()), PRF_NONCLIENT | PRF_CLIENT);
    GdiFlush();
  }
  const skin::Bitmap& cache = *p->SkinData().CacheBmp;
  ASSERT_EQ(cache.Width(), width);
  const int32_t k = skin::FormInnerBorderWidth(*p) + 3;  // the form's own border width (none here) and 3
  const skin::TRect strips[] = {{0, 0, width, k}, {0, height - k, width, height}, {0, k, k, height - k},
                                {width - k, k, width, height - k}};
  for (const skin::TRect& strip : strips) EXPECT_EQ(BandDifferences(printed, cache, strip, {}), 0);
  gui::Free(form);
  PumpFor(50);
}

TEST(ProviderWindows, AFormInsideAnotherWaitsToPaintItsFrameWhileThatOneHoldsItsRepaints) {
  Shown outer(false, 60, 60, 420, 340);
  auto* inner = new gui::TForm(outer.form);
  inner->SetBorderStyle(gui::TFormBorderStyle::bsSingle);
  inner->SetParent(outer.form);
  inner->SetBounds(20, 20, 220, 160);
  auto* p = new TsSkinProvider(inner);
  inner->Show();
  PumpFor(150);
  HWND h = inner->WindowHandle();
  const skin::TPoint probe{60, 10};
  auto shownAt = [&] { return skin::GetPixel32(WindowPicture(h), probe.X, probe.Y) & 0xFFFFFF; };
  auto scribble = [&] {
    HDC dc = skin::ledger::GetWindowDC(h);
    RECT r{probe.X - 4, probe.Y - 4, probe.X + 4, probe.Y + 4};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    skin::ledger::ReleaseDC(h, dc);
  };
  ASSERT_TRUE(p->SkinData().CacheBmp);
  // The outer form holds its repaints: the inner one's frame paint waits and is marked pending.
  outer.p->SkinData().Updating = 1;
  scribble();
  SendMessageA(h, WM_NCPAINT, 1, 0);
  EXPECT_EQ(shownAt(), 0u);
  EXPECT_EQ(p->SkinData().Updating, 1);
  // Released and flushed, it paints.
  outer.p->SkinData().Updating = 0;
  SendMessageA(h, skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_FLUSHREPAINT), 0);
  PumpFor(100);
  const skin::TPoint origin = skin::ProviderCacheOrigin(*p);
  EXPECT_EQ(shownAt(), skin::GetPixel32(*p->SkinData().CacheBmp, probe.X + origin.X, probe.Y + origin.Y) & 0xFFFFFF);
  EXPECT_EQ(p->SkinData().Updating, 0);
}

// The provider's item events decide, through its control adapter, what the skin takes and how: a control kept
// out, another's section and colour flag changed, and a form placed inside a panel skinned by a provider of its
// own in the section the events chose, whether or not the creation hook skins standard forms; a control made
// while the form shows is given to the adapter alone, in its default section.
TEST(ProviderWindows, TheItemEventsChooseWhatTheControlAdapterSkinsAndHow) {
  using skin::TacSkinningRules;
  for (const TacSkinningRules rules : {TacSkinningRules(skin::srStdForms | skin::srStdDialogs | skin::srThirdParty),
                                       TacSkinningRules(skin::srStdDialogs | skin::srThirdParty)}) {
    SCOPED_TRACE(rules & skin::srStdForms ? "with standard forms" : "without standard forms");
    FormsSkin skin;
    skin.manager->SkinningRules = rules;
    skin.manager->ThirdPartyLists[0] = {"TEdit"};
    skin.manager->InstallHooks();
    auto* form = new gui::TForm(gui::Application);
    form->SetBounds(60, 60, 460, 340);
    // Placed on the form as it is made (as the form designer places one): the creation hook leaves it alone.
    auto* p = new TsSkinProvider(form);
    auto child = [form](auto* control, const char* name, int y) {
      control->SetName(name);
      control->SetParent(form);
      control->SetBounds(10, y, 120, 24);
      return control;
    };
    gui::TButton* kept = child(new gui::TButton(form), "Kept", 10);
    gui::TButton* plain = child(new gui::TButton(form), "Plain", 40);
    gui::TEdit* edit = child(new gui::TEdit(form), "Recoloured", 70);
    auto* panel = new gui::TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(150, 10, 280, 280);
    auto* inner = new gui::TForm(form);
    inner->SetBorderStyle(gui::TFormBorderStyle::bsSingle);
    inner->SetParent(panel);
    inner->SetBounds(10, 10, 240, 200);
    std::vector<std::string> asked;
    p->OnSkinItem = [&](gui::TComponent* item, bool& canBeAdded, std::string& section) {
      asked.push_back(item->Name());
      if (item == kept) canBeAdded = false;
      if (item == inner) section = "MENULINE";
    };
    p->OnSkinItemEx = [&](gui::TComponent* item, bool&, skin::TacSkinParams* params) {
      if (item != edit) return;
      params->SkinSection = "FORMTITLE";
      params->UseSkinColor = false;
    };
    inner->Show();
    form->Show();
    auto adapterOf = [](gui::TWinControl* c) { return skin::AdapterOfWindow(c->WindowHandle()); };
    EXPECT_TRUE(PumpUntil([&] { return adapterOf(plain) != nullptr && skin::FormProvider(inner) != nullptr; }, 3000));
    EXPECT_EQ(adapterOf(kept), nullptr);
    EXPECT_NE(std::find(asked.begin(), asked.end(), "Kept"), asked.end());
    skin::TacMainWnd* recoloured = adapterOf(edit);
    ASSERT_TRUE(recoloured && recoloured->SkinData);
    EXPECT_EQ(recoloured->SkinData->SkinSection, "FORMTITLE");
    EXPECT_TRUE(recoloured->SkinData->CustomColor);
    auto* innerProvider = dynamic_cast<TsSkinProvider*>(skin::FormProvider(inner));
    ASSERT_NE(innerProvider, nullptr);
    EXPECT_EQ(innerProvider->SkinData().SkinSection, "MENULINE");
    EXPECT_EQ(innerProvider->SkinData().SkinIndex, skin.menuLine);
    // A control whose window is made while the form shows goes to the control adapter alone, in its default section.
    ASSERT_NE(p->Adapter, nullptr);
    p->Adapter->DefaultSection = "MENULINE";
    gui::TButton* late = child(new gui::TButton(form), "Late", 100);
    late->HandleNeeded();
    EXPECT_TRUE(PumpUntil([&] { return adapterOf(late) != nullptr; }, 2000));
    ASSERT_TRUE(adapterOf(late) && adapterOf(late)->SkinData);
    EXPECT_EQ(adapterOf(late)->SkinData->SkinSection, "MENULINE");
    gui::Free(form);
    PumpFor(50);
  }
}
