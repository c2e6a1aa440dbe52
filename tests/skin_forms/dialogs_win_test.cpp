// The window-creation hook on real windows (Windows build, run under Wine): message boxes and file dialogs of
// the thread are skinned as they are created (the skin's caption and caption buttons on the window's own surface,
// the hit test and a click on the close button, the skinned system menu, every child of a listed class adapted),
// a form created without a provider gets one when it is activated, the skin switched off under an open message
// box gives it back as it was, and many dialogs leave the leak ledger and the thread's windows as they were.
// Modal dialogs are driven from a thread timer while their own loop runs.
#include <windows.h>

#include <commdlg.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "gui/gui.h"
#include "gui/extctrls.h"
#include "gui/stdctrls.h"
#include "skin/adapters/acstatics.h"
#include "skin/manager/sanimations.h"
#include "skin/manager/skinchange.h"
#include "skin/manager/skincommands.h"
#include "skin/adapters/acmnuwnd.h"
#include "skin/adapters/acsbwnd.h"
#include "skin/forms/acdialogs.h"
#include "skin/forms/title_glow.h"
#include "skin/painters/dc_copy.h"
#include "skin/painters/layered_alpha.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/pixel_helpers.h"
#include "tests/skin_adapters/adapter_env_win32.h"
#include "tests/skin_forms/forms_fixture.h"
#include "tests/support/win_screen.h"

namespace {

using namespace formstest;
using adaptertest::ThreadWindowCount;
using testsupport::PumpFor;

inline constexpr TColor kDialogActive = 0x2080C0, kDialogInactive = 0x604020;
inline constexpr TColor kDialogTitleActive = 0x20C0A0, kDialogTitleInactive = 0x808040;
inline constexpr TColor kDialogFont = 0xFFFFFF;

// The forms fixture with the dialog's sections, the hook's services and the hook installed.
struct DialogSkin : FormsSkin {
  explicit DialogSkin(bool extendedBorders = false) : FormsSkin(extendedBorders) {
    skin::LoadedSkin& s = Skin();
    auto add = [&](const char* name, TColor normal, TColor hot) {
      skin::SkinSectionRecord r;
      r.SectionName = name;
      r.States = 2;
      r.NormalState.Color = normal;
      r.NormalState.FontColor = kDialogFont;
      r.HotState = r.NormalState;
      r.HotState.Color = hot;
      s.Sections.push_back(r);
    };
    add("DIALOG", kDialogInactive, kDialogActive);
    add("DIALOGTITLE", kDialogTitleInactive, kDialogTitleActive);
    // Statics show what lies under them.
    add("CHECKBOX", kDialogInactive, kDialogActive);
    s.Sections.back().NormalState.Transparency = s.Sections.back().HotState.Transparency = 100;
    skin::InstallDialogHookServices();
    manager->InstallHooks();
  }
};

std::string ClassOf(HWND h) {
  char name[64] = {};
  GetClassNameA(h, name, int(sizeof(name)));
  return name;
}

HWND FindDialog() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM l) -> BOOL {
        if (IsWindowVisible(h) && ClassOf(h) == "#32770") {
          *reinterpret_cast<HWND*>(l) = h;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

skin::Bitmap WindowPicture(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  skin::Bitmap b(r.right - r.left, r.bottom - r.top, skin::pf32bit);
  HDC dc = GetWindowDC(h);
  skin::DCToBitmap(b, 0, 0, b.Width(), b.Height(), dc, 0, 0);
  ReleaseDC(h, dc);
  GdiFlush();
  return b;
}

uint32_t Rgb(const skin::Bitmap& b, int x, int y) { return skin::GetPixel32(b, x, y) & 0xFFFFFF; }

void Redraw(HWND h) {
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// ---- The modal driver: a thread timer hands the visible dialog to the step until the step says it is done;
// a dialog still open three seconds later is ended (and the test told so), so that a fault never hangs the run.
struct ModalDriver {
  static inline std::function<bool(HWND)> step;
  static inline DWORD doneAt = 0;
  static inline DWORD firstSeen = 0;
  static inline bool forced = false;
  static inline bool busy = false;

  static DWORD HoldMs() {
    const char* v = std::getenv("DIALOG_TEST_HOLD_MS");
    return v ? DWORD(std::atoi(v)) : 0;
  }

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (busy) return;
    HWND d = FindDialog();
    if (d == nullptr) return;
    busy = true;
    if (firstSeen == 0) firstSeen = GetTickCount();
    if (step) {
      if (GetTickCount() - firstSeen >= HoldMs() && step(d)) {
        step = nullptr;
        doneAt = GetTickCount();
      }
    } else if (GetTickCount() - doneAt > 3000) {
      forced = true;
      PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
      doneAt = GetTickCount();
    }
    busy = false;
  }

  template <class Show>
  static auto Run(Show show, std::function<bool(HWND)> s) {
    step = std::move(s);
    forced = false;
    firstSeen = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 40, Tick);
    auto result = show();
    KillTimer(nullptr, timer);
    step = nullptr;
    return result;
  }
};

// A shown form to own the dialogs.
struct Owner {
  gui::TForm* form;
  Owner() {
    form = new gui::TForm(gui::Application);
    form->SetBounds(40, 40, 360, 260);
    form->SetCaption("Owner");
    form->Show();
    PumpFor(100);
  }
  ~Owner() {
    gui::Free(form);
    PumpFor(50);
  }
  HWND Handle() const { return form->WindowHandle(); }
};

int ShowMessageBox(HWND owner, std::function<bool(HWND)> step, UINT type = MB_OK) {
  return ModalDriver::Run([owner, type] { return MessageBoxW(owner, L"Skinned message", L"Q", type); },
                          std::move(step));
}

// The thread's visible top-level windows.
std::set<HWND> VisibleThreadWindows() {
  std::set<HWND> found;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND h, LPARAM l) -> BOOL {
        if (IsWindowVisible(h)) reinterpret_cast<std::set<HWND>*>(l)->insert(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

int ShowFileOpenDialog(HWND owner, std::function<bool(HWND)> step) {
  wchar_t file[MAX_PATH] = L"";
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner;
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrFilter = L"Texts\0*.txt\0";
  ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST;
  return ModalDriver::Run([&] { return int(GetOpenFileNameW(&ofn)); }, std::move(step));
}

TEST(DialogHook, AMessageBoxShowsTheSkinsCaptionAndCloseButtonAndAPostedClickOnItClosesIt) {
  DialogSkin skin;
  Owner owner;
  int hit = -1;
  bool adapted = false;
  const int result = ShowMessageBox(owner.Handle(), [&](HWND d) {
    skin::TacDialogWnd* a = skin::DialogAdapterOf(d);
    adapted = a != nullptr;
    if (!a) {
      PostMessageA(d, WM_COMMAND, IDOK, 0);
      return true;
    }
    Redraw(d);
    const skin::Bitmap shown = WindowPicture(d);
    const int b = a->BorderWidth(), c = a->CaptionHeight();
    EXPECT_GT(c, 0);
    // The caption band between the text and the buttons shows the title section of the window's state.
    EXPECT_EQ(Rgb(shown, shown.Width() / 2, b + c / 2), Px(a->Active ? kDialogTitleActive : kDialogTitleInactive) & 0xFFFFFF);
    // The close button (the small image of a modal frame) at the caption's right end, centred in the caption.
    const skin::TRect r = a->CloseButton.Rect;
    EXPECT_EQ(r.Right, shown.Width() - skin.Skin().SkinData.BIRight - b);
    EXPECT_EQ(r.Width(), kSmallW);
    EXPECT_TRUE(r.Top >= b && r.Bottom <= b + c);
    const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
    EXPECT_EQ(Rgb(shown, cx, cy), Px(ButtonColor(bClose, a->Active ? 0 : 3) + 8) & 0xFFFFFF);
    // The client background is the dialog section's, also where an icon static without an icon lies.
    EXPECT_EQ(Rgb(shown, a->ClientOffsetX() + 2, shown.Height() - b - 2),
              Px(a->Active ? kDialogActive : kDialogInactive) & 0xFFFFFF);
    for (HWND c = GetWindow(d, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
      if (ClassOf(c) != "Static" || (GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) != SS_ICON || !IsWindowVisible(c) ||
          SendMessageA(c, STM_GETICON, 0, 0) != 0)
        continue;
      RECT r{}, wr{};
      GetWindowRect(c, &r);
      GetWindowRect(d, &wr);
      EXPECT_EQ(Rgb(shown, (r.left + r.right) / 2 - wr.left, (r.top + r.bottom) / 2 - wr.top),
                Px(a->Active ? kDialogActive : kDialogInactive) & 0xFFFFFF);
    }
    RECT wr{};
    GetWindowRect(d, &wr);
    const LPARAM at = MAKELPARAM(wr.left + cx, wr.top + cy);
    hit = int(SendMessageA(d, WM_NCHITTEST, 0, at));
    PostMessageA(d, WM_NCLBUTTONDOWN, HTCLOSE, at);
    PostMessageA(d, WM_NCLBUTTONUP, HTCLOSE, at);
    return true;
  });
  EXPECT_TRUE(adapted);
  EXPECT_EQ(hit, HTCLOSE);
  EXPECT_FALSE(ModalDriver::forced) << "the click on the close button did not close the message box";
  // Windows answers IDOK for a closed MB_OK box, Wine IDCANCEL: either way the box ended without a button.
  EXPECT_TRUE(result == IDOK || result == IDCANCEL) << result;
  EXPECT_EQ(FindDialog(), nullptr);
}

TEST(DialogHook, TheHitTestAnswersEachPartOfAMessageBoxsFrame) {
  DialogSkin skin;
  Owner owner;
  std::vector<std::pair<std::string, int>> answers;
  ShowMessageBox(owner.Handle(), [&](HWND d) {
    skin::TacDialogWnd* a = skin::DialogAdapterOf(d);
    if (a != nullptr) {
      Redraw(d);
      RECT wr{};
      GetWindowRect(d, &wr);
      const int b = a->BorderWidth(), c = a->CaptionHeight();
      const skin::TRect icon = a->IconRect(), close = a->CloseButton.Rect;
      const struct {
        const char* part;
        int x, y;
      } points[] = {{"icon", (icon.Left + icon.Right) / 2, (icon.Top + icon.Bottom) / 2},
                    {"caption", int(wr.right - wr.left) / 2, b + c / 2},
                    {"close", (close.Left + close.Right) / 2, (close.Top + close.Bottom) / 2},
                    {"client", int(wr.right - wr.left) / 2, int(wr.bottom - wr.top) - b - 3}};
      for (const auto& p : points)
        answers.emplace_back(p.part, int(SendMessageA(d, WM_NCHITTEST, 0, MAKELPARAM(wr.left + p.x, wr.top + p.y))));
    }
    PostMessageA(d, WM_COMMAND, IDOK, 0);
    return true;
  });
  const std::vector<std::pair<std::string, int>> expected{
      {"icon", HTSYSMENU}, {"caption", HTCAPTION}, {"close", HTCLOSE}, {"client", HTCLIENT}};
  EXPECT_EQ(answers, expected);
}

// A release over the close button without a press on it, and a double click on the caption of a box that cannot
// be maximized, leave the box open and as it was; zoomed from outside all the same (a window manager's own
// command), a double click on its caption gives it back.
TEST(DialogHook, AReleaseWithoutAPressAndACaptionDoubleClickLeaveAMessageBoxAsItWas) {
  DialogSkin skin;
  Owner owner;
  int phase = 0;
  bool stillOpen = false, notZoomed = false, restored = false;
  RECT before{}, after{};
  ShowMessageBox(owner.Handle(), [&](HWND d) {
    skin::TacDialogWnd* a = skin::DialogAdapterOf(d);
    if (a == nullptr) {
      PostMessageA(d, WM_COMMAND, IDOK, 0);
      return true;
    }
    if (phase == 0) {
      GetWindowRect(d, &before);
      const skin::TRect close = a->CloseButton.Rect;
      const LPARAM at = MAKELPARAM(before.left + (close.Left + close.Right) / 2, before.top + (close.Top + close.Bottom) / 2);
      PostMessageA(d, WM_NCLBUTTONUP, HTCLOSE, at);
      PostMessageA(d, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(before.left + 30, before.top + a->BorderWidth() + 2));
      phase = 1;
      return false;
    }
    if (phase == 1) {
      stillOpen = IsWindowVisible(d) != FALSE;
      notZoomed = IsZoomed(d) == FALSE;
      GetWindowRect(d, &after);
      ShowWindow(d, SW_MAXIMIZE);
      PostMessageA(d, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(30, a->BorderWidth() + 2));
      phase = 2;
      return false;
    }
    restored = IsZoomed(d) == FALSE;
    PostMessageA(d, WM_COMMAND, IDOK, 0);
    return true;
  });
  EXPECT_TRUE(stillOpen);
  EXPECT_TRUE(notZoomed);
  EXPECT_TRUE(restored);
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_FALSE(ModalDriver::forced);
}

// A skinned box has its region before it shows: shown without one, a window manager takes it for a window to
// decorate and frames it, then unframes it when the region comes (the box resized to and fro meanwhile).
int g_shownWithRegion = -1;
TEST(DialogHook, AMessageBoxHasItsRegionBeforeItShows) {
  DialogSkin skin(true);
  Owner owner;
  HHOOK hook = SetWindowsHookExA(
      WH_CALLWNDPROCRET,
      [](int code, WPARAM w, LPARAM l) -> LRESULT {
        const auto* c = reinterpret_cast<const CWPRETSTRUCT*>(l);
        if (code == HC_ACTION && c->message == WM_SHOWWINDOW && c->wParam && skin::DialogAdapterOf(c->hwnd)) {
          HRGN r = CreateRectRgn(0, 0, 0, 0);
          g_shownWithRegion = GetWindowRgn(c->hwnd, r) != ERROR;
          DeleteObject(r);
        }
        return CallNextHookEx(nullptr, code, w, l);
      },
      nullptr, GetCurrentThreadId());
  ShowMessageBox(owner.Handle(), [&](HWND d) { return PostMessageA(d, WM_COMMAND, IDOK, 0) != FALSE; });
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(g_shownWithRegion, 1);
}

TEST(DialogHook, AMessageBoxsSystemMenuOffersMoveAndClose) {
  DialogSkin skin;
  Owner owner;
  std::set<std::string> visible, enabled;
  bool systemMenuTaken = false;
  ShowMessageBox(owner.Handle(), [&](HWND d) {
    if (skin::TacDialogWnd* a = skin::DialogAdapterOf(d)) {
      systemMenuTaken = (GetWindowLongPtrA(d, GWL_STYLE) & WS_SYSMENU) == 0;
      a->SystemMenu->UpdateItems();
      gui::TMenuItem* items = a->SystemMenu->Items();
      for (int i = 0; i < items->Count(); ++i) {
        gui::TMenuItem* item = items->Items(i);
        if (item->Caption() == "-" || !item->Visible()) continue;
        visible.insert(item->Name());
        if (item->Enabled()) enabled.insert(item->Name());
      }
    }
    PostMessageA(d, WM_COMMAND, IDOK, 0);
    return true;
  });
  EXPECT_TRUE(systemMenuTaken);
  EXPECT_EQ(visible, (std::set<std::string>{"miClose", "miMove"}));
  EXPECT_EQ(enabled, (std::set<std::string>{"miClose", "miMove"}));
}

// The skinned system menu pops up at the caption's icon with the items the box offers; a chosen item's command
// reaches the dialog (Close ends the box).
TEST(DialogHook, TheSkinnedSystemMenuPopsUpWithMoveAndCloseAndItsCloseEndsTheBox) {
  DialogSkin skin;
  Owner owner;
  static std::vector<std::string> shown;
  shown.clear();
  bool opened = false;
  const int result = ShowMessageBox(owner.Handle(), [&](HWND d) {
    skin::TacDialogWnd* a = skin::DialogAdapterOf(d);
    if (a == nullptr) {
      PostMessageA(d, WM_COMMAND, IDOK, 0);
      return true;
    }
    // While the menu's own loop runs: read its items, then choose the last one (Close) with the keyboard.
    SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      HWND menuWnd = FindWindowA("#32768", nullptr);
      HMENU menu = menuWnd ? reinterpret_cast<HMENU>(SendMessageA(menuWnd, 0x01E1 /* MN_GETHMENU */, 0, 0)) : nullptr;
      for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
        char text[64] = {};
        if (GetMenuStringA(menu, UINT(i), text, int(sizeof(text)), MF_BYPOSITION) > 0) shown.push_back(text);
      }
      if (menuWnd) {
        PostMessageA(menuWnd, WM_KEYDOWN, VK_END, 0);
        PostMessageA(menuWnd, WM_KEYDOWN, VK_RETURN, 0);
      } else {
        EndMenu();
      }
    });
    RECT wr{};
    GetWindowRect(d, &wr);
    const skin::TRect icon = a->IconRect();
    SendMessageA(d, WM_NCLBUTTONDOWN, HTSYSMENU,
                 MAKELPARAM(wr.left + (icon.Left + icon.Right) / 2, wr.top + (icon.Top + icon.Bottom) / 2));
    opened = true;
    return true;
  });
  EXPECT_TRUE(opened);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_NE(shown[0].find("Move"), std::string::npos) << shown[0];
  EXPECT_NE(shown[1].find("Close"), std::string::npos) << shown[1];
  EXPECT_FALSE(ModalDriver::forced) << "choosing Close did not end the box";
  EXPECT_NE(result, 0);
}

TEST(DialogHook, SwitchingTheSkinOffUnderAnOpenMessageBoxGivesItBackItsSystemMenuRegionAndFrame) {
  DialogSkin skin;
  Owner owner;
  bool skinnedBefore = false, adapterGone = false, sysMenuBack = false, noRegion = false, ownCaption = false;
  const int result = ShowMessageBox(owner.Handle(), [&](HWND d) {
    skin::TacDialogWnd* a = skin::DialogAdapterOf(d);
    skinnedBefore = a != nullptr && (GetWindowLongPtrA(d, GWL_STYLE) & WS_SYSMENU) == 0;
    const int b = a ? a->BorderWidth() : 0, c = a ? a->CaptionHeight() : 0;
    skin.manager->RemoveSkin();  // what switching the manager off does
    adapterGone = skin::AdapterOfWindow(d) == nullptr && skin::DialogAdapterOf(d) == nullptr;
    sysMenuBack = (GetWindowLongPtrA(d, GWL_STYLE) & WS_SYSMENU) != 0 && GetSystemMenu(d, FALSE) != nullptr;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    noRegion = GetWindowRgn(d, region) == ERROR;
    DeleteObject(region);
    Redraw(d);
    const skin::Bitmap shown = WindowPicture(d);
    const uint32_t px = Rgb(shown, shown.Width() / 2, b + c / 2);
    ownCaption = px != (Px(kDialogTitleActive) & 0xFFFFFF) && px != (Px(kDialogTitleInactive) & 0xFFFFFF);
    // The system's close command works on the window as it is now.
    PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
  });
  EXPECT_TRUE(skinnedBefore);
  EXPECT_TRUE(adapterGone);
  EXPECT_TRUE(sysMenuBack);
  EXPECT_TRUE(noRegion);
  EXPECT_TRUE(ownCaption);
  EXPECT_FALSE(ModalDriver::forced);
  EXPECT_NE(result, 0);
  EXPECT_EQ(skin::ProviderList(), nullptr);
}

TEST(DialogHook, AFormWithoutAProviderIsGivenOneWhenItIsActivatedUnlessItIsTheLibrarysOwn) {
  DialogSkin skin;
  Owner owner;
  const struct {
    intptr_t tag;
    bool skinned;
  } cases[] = {{0, true}, {0x100, false}};
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.tag);
    auto* form = new gui::TForm(gui::Application);
    form->SetTag(tc.tag);
    form->SetBounds(120, 120, 300, 200);
    form->SetCaption("Second");
    form->Show();
    PumpFor(150);
    HWND h = form->WindowHandle();
    EXPECT_EQ(SendMessageA(h, skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_ISSKINNED), 0) == 1, tc.skinned);
    // The provider list holds an automatic form provider for it.
    bool listed = false;
    if (skin::TacProviderList* list = skin::ProviderList())
      for (const auto& e : *list)
        if (auto* p = dynamic_cast<skin::TacHookProvider*>(e.get()); p && p->Form == form && p->FormProvider && !p->FormProviderAlive.expired())
          listed = p->FormProvider->Automatic;
    EXPECT_EQ(listed, tc.skinned);
    gui::Free(form);
    PumpFor(50);
  }
}

// The form given an automatic provider wears the skin's frame: caption band and borders of the skin, not the
// system's.
TEST(DialogHook, AFormGivenAnAutomaticProviderShowsTheSkinsCaptionAndBorders) {
  DialogSkin skin;
  Owner owner;
  auto* form = new gui::TForm(gui::Application);
  form->SetBounds(120, 120, 300, 200);
  form->SetCaption("Second");
  form->Show();
  PumpFor(150);
  HWND h = form->WindowHandle();
  skin::TsSkinProvider* provider = nullptr;
  if (skin::TacProviderList* list = skin::ProviderList())
    for (const auto& e : *list)
      if (auto* p = dynamic_cast<skin::TacHookProvider*>(e.get()); p && p->Form == form) provider = p->FormProvider;
  ASSERT_NE(provider, nullptr);
  Redraw(h);
  PumpFor(50 + int(ModalDriver::HoldMs()));
  const skin::Bitmap shown = WindowPicture(h);
  const bool active = provider->FormActive;
  // The caption band right of the caption text, and the middle of the left and bottom borders.
  EXPECT_EQ(Rgb(shown, shown.Width() / 2, 8), Px(active ? kTitleActive : kTitleInactive) & 0xFFFFFF);
  EXPECT_EQ(Rgb(shown, 1, shown.Height() / 2), Px(active ? kFrameActive : kFrameInactive) & 0xFFFFFF);
  EXPECT_EQ(Rgb(shown, shown.Width() / 2, shown.Height() - 2), Px(active ? kFrameActive : kFrameInactive) & 0xFFFFFF);
  // The system draws no caption buttons of its own over the skinned ones.
  EXPECT_EQ(GetWindowLongA(h, GWL_STYLE) & WS_SYSMENU, 0);
  gui::Free(form);
  PumpFor(50);
}

// Every listed child class of a file dialog gets an adapter (statics of the kinds left to the system aside).
TEST(DialogHook, FileOpenDialogsCloseCleanlyWithEveryListedChildAdapted) {
  DialogSkin skin;
  Owner owner;
  const int rounds = std::getenv("DIALOG_TEST_ROUNDS") ? std::atoi(std::getenv("DIALOG_TEST_ROUNDS")) : 50;
  std::vector<std::string> unadapted;
  int checked = 0;
  skin::ledger::Snapshot before;
  int windowsBefore = 0;
  for (int round = 0; round < rounds; ++round) {
    if (round == 1) {
      // After the first dialog: the system's own caches of the common dialogs exist from then on.
      before = skin::ledger::Take();
      windowsBefore = ThreadWindowCount();
    }
    ShowFileOpenDialog(owner.Handle(), [&](HWND d) {
      if (skin::DialogAdapterOf(d) == nullptr) unadapted.push_back("#32770 dialog");
      std::function<void(HWND)> visit = [&](HWND parent) {
        for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
          std::string cls = ClassOf(c);
          for (char& ch : cls) ch = char(std::tolower(static_cast<unsigned char>(ch)));
          const LONG_PTR style = GetWindowLongPtrA(c, GWL_STYLE);
          const LONG_PTR type = style & 31;
          bool listed = cls == "button" || cls == "combobox" || cls == "listbox" || cls == "toolbarwindow32" ||
                        cls == "syslistview32" || (cls == "edit" && (style & WS_VISIBLE));
          if (cls == "static") listed = !((style & 13) == 13 || type == 5 || type == 6 || type == 11);
          if (listed) {
            ++checked;
            if (skin::AdapterOfWindow(c) == nullptr) unadapted.push_back(cls + " in " + ClassOf(parent));
          }
          visit(c);
        }
      };
      visit(d);
      PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
      return true;
    });
    EXPECT_FALSE(ModalDriver::forced);
    PumpFor(20);
  }
  EXPECT_GT(checked, rounds * 3);
  EXPECT_TRUE(unadapted.empty()) << unadapted.size() << " children unadapted, first: " << unadapted.front();
  if (rounds > 1) {
    EXPECT_EQ(skin::ledger::Difference(before, skin::ledger::Take()), "");
    EXPECT_EQ(ThreadWindowCount(), windowsBefore);
  }
}

// The file dialog's visible size grip, or nullptr.
HWND SizeGripOf(HWND d) {
  for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (ClassOf(c) == "ScrollBar" && (GetWindowLongA(c, GWL_STYLE) & SBS_SIZEGRIP) && IsWindowVisible(c)) return c;
  return nullptr;
}

// The file dialog's size grip (the system's grip control, adapted by the skin) sizes the dialog when dragged with
// the real mouse: the adapter answers the corner's hit code, and the press hands the sizing to the dialog (it
// sized the grip itself, so nothing moved).
TEST(DialogHook, TheFileDialogIsSizedByDraggingItsGrip) {
  DialogSkin skin;
  Owner owner;
  RECT before{}, after{}, last{};
  DWORD launched = 0, steady = 0;
  bool gripFound = false;
  ShowFileOpenDialog(owner.Handle(), [&](HWND d) {
    if (launched == 0) {
      HWND grip = SizeGripOf(d);
      gripFound = grip != nullptr && skin::AdapterOfWindow(grip) != nullptr;
      if (!gripFound) {
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
        return true;
      }
      SetForegroundWindow(d);
      GetWindowRect(d, &before);
      last = before;
      RECT g{};
      GetWindowRect(grip, &g);
      const int x = (g.left + g.right) / 2, y = (g.top + g.bottom) / 2;
      auto at = [](int px, int py) { return " mousemove " + std::to_string(px) + " " + std::to_string(py); };
      std::string cmd = "/usr/bin/xdotool" + at(x, y) + " sleep 0.2 mousedown 1 sleep 0.2" + at(x + 30, y + 20) +
                        " sleep 0.2" + at(x + 80, y + 60) + " sleep 0.3 mouseup 1 sleep 0.2 mousemove 5 5";
      STARTUPINFOA si{};
      si.cb = sizeof si;
      PROCESS_INFORMATION pi{};
      if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
        return true;
      }
      // Wine does not always see the end of a Unix program: the drag is over once the mouse is let go and the
      // dialog has kept its size for 300 ms (or after 6 s).
      if (pi.hThread) CloseHandle(pi.hThread);
      if (pi.hProcess) CloseHandle(pi.hProcess);
      launched = steady = GetTickCount();
      return false;
    }
    RECT now{};
    GetWindowRect(d, &now);
    if (!EqualRect(&now, &last) || GetCapture() != nullptr) {
      last = now;
      steady = GetTickCount();
    }
    const DWORD t = GetTickCount();
    if (t - launched < 6000 && (t - launched < 1500 || t - steady < 300)) return false;
    after = now;
    PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    return true;
  });
  ASSERT_TRUE(gripFound);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  EXPECT_EQ(after.right - before.right, 80);
  EXPECT_EQ(after.bottom - before.bottom, 60);
}

TEST(DialogHook, ManyMessageBoxesLeaveTheLedgerAndTheWindowCountAsTheyWere) {
  DialogSkin skin;
  Owner owner;
  const int rounds = std::getenv("DIALOG_TEST_ROUNDS") ? std::atoi(std::getenv("DIALOG_TEST_ROUNDS")) : 40;
  int brushAnswers = 0, sameBrush = 0;
  auto one = [&] {
    ShowMessageBox(owner.Handle(), [&](HWND d) {
      Redraw(d);
      // The dialog's background brush is made once and kept: asked twice, it answers the same brush.
      HDC dc = GetDC(d);
      const LRESULT first = SendMessageA(d, WM_CTLCOLORDLG, WPARAM(dc), LPARAM(d));
      const LRESULT second = SendMessageA(d, WM_CTLCOLORDLG, WPARAM(dc), LPARAM(d));
      ReleaseDC(d, dc);
      brushAnswers += first != 0 ? 1 : 0;
      sameBrush += first != 0 && first == second ? 1 : 0;
      PostMessageA(d, WM_COMMAND, IDOK, 0);
      return true;
    });
    PumpFor(10);
  };
  one();
  const skin::ledger::Snapshot before = skin::ledger::Take();
  const int windowsBefore = ThreadWindowCount();
  for (int i = 0; i < rounds; ++i) one();
  EXPECT_EQ(skin::ledger::Difference(before, skin::ledger::Take()), "");
  EXPECT_EQ(ThreadWindowCount(), windowsBefore);
  EXPECT_EQ(skin::PendingDeferredFrees(), 0u);
  EXPECT_EQ(brushAnswers, rounds + 1);
  EXPECT_EQ(sameBrush, rounds + 1);
  // Every provider of a closed message box left the list.
  size_t live = 0;
  if (skin::TacProviderList* list = skin::ProviderList())
    for (const auto& e : *list) live += e && ClassOf(e->AdapterWindow()) == "#32770" ? 1 : 0;
  EXPECT_EQ(live, 0u);
}

// Popup-menu windows go to the popup-menu adapter's factory while the manager skins popups; the adapter lives
// while its menu is open and is gone after it closes.
size_t gMenuAdaptersWhileOpen = 0;

TEST(DialogHook, PopupMenuWindowsReachTheMenuAdapterFactoryOnlyWhileTheManagerSkinsPopups) {
  DialogSkin skin;
  Owner owner;
  std::vector<std::string> classes;
  const skin::MenuAdapterFactory original = skin::MenuWindowAdapterFactory();
  skin::MenuWindowAdapterFactory() = [&classes, &original](HWND w, skin::TsSkinManager* m) -> skin::TacMainWnd* {
    classes.push_back(ClassOf(w));
    return original(w, m);
  };
  auto popUp = [&] {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "Item");
    gMenuAdaptersWhileOpen = 0;
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      gMenuAdaptersWhileOpen = skin::MenuWindowAdapters().size();
      EndMenu();
    });
    TrackPopupMenu(menu, TPM_LEFTALIGN, 100, 100, 0, owner.Handle(), nullptr);
    DestroyMenu(menu);
    PumpFor(20);
  };
  const struct {
    bool skinnedPopups;
    size_t adapters;
  } cases[] = {{true, 1}, {false, 0}};
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.skinnedPopups);
    classes.clear();
    skin.manager->SkinnedPopups = tc.skinnedPopups;
    popUp();
    EXPECT_EQ(classes.size(), tc.adapters);
    EXPECT_EQ(gMenuAdaptersWhileOpen, tc.adapters);
    EXPECT_TRUE(skin::MenuWindowAdapters().empty());
    for (const std::string& c : classes) EXPECT_EQ(c, "#32768");
  }
  skin.manager->SkinnedPopups = true;
  skin::MenuWindowAdapterFactory() = original;
}

HWND MakeDialogWindow(HWND parent, DWORD style) {
  return CreateWindowExA(WS_EX_DLGMODALFRAME, "#32770", "Made", style, 60, 60, 240, 160, parent, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

// A dialog made sizeable after it was created (as the file dialog makes itself), its frame in a border window: it
// sizes from its frame's edge and from the shadow's inner band (which its own frame's sizing band would cover); a
// press further out in the shadow reaches what lies below.
TEST(DialogHook, WithExtendedBordersADialogSizesFromItsEdgeAndTheShadowsInnerBand) {
  DialogSkin skin(true);
  constexpr int kMargin = 12;  // a shadow with a part beyond the sizing band
  skin.Skin().ShadowMargins = skin::TRect{kMargin, kMargin, kMargin, kMargin};
  for (auto* shadow : {&skin.Skin().ActiveShadow, &skin.Skin().InactiveShadow}) {
    *shadow = std::make_shared<skin::Bitmap>(3 * kMargin, 3 * kMargin, skin::pf32bit);
    skin::FillRectBitmap32(**shadow, skin::TRect{0, 0, 3 * kMargin, 3 * kMargin}, kShadow, 128);
  }
  HWND h = MakeDialogWindow(nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
  SetWindowLongA(h, GWL_STYLE, GetWindowLongA(h, GWL_STYLE) | WS_THICKFRAME);
  SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  SetForegroundWindow(h);
  skin::TacDialogWnd* a = skin::DialogAdapterOf(h);
  ASSERT_TRUE(a != nullptr && a->BorderForm && a->BorderForm->AForm);
  HWND border = static_cast<HWND>(a->BorderForm->AForm);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return IsWindowVisible(border) != FALSE; }));
  RECT wr{}, cr{}, br{};
  GetWindowRect(h, &wr);
  GetClientRect(h, &cr);
  const int band = ((wr.right - wr.left) - cr.right) / 2;  // its own frame's sizing band
  ASSERT_GT(band, 0);
  ASSERT_LT(band + 2, kMargin);
  const struct {
    const char* where;
    int fromEdge, widened;
  } presses[] = {
      {"on the frame's edge", -2, 30}, {"in the shadow's inner band", band - 1, 30}, {"further out", band + 2, 0}};
  for (const auto& press : presses) {
    SCOPED_TRACE(press.where);
    GetWindowRect(h, &wr);
    GetWindowRect(border, &br);
    const int x = br.right - kMargin + press.fromEdge, y = (br.top + br.bottom) / 2;
    using testsupport::MoveTo;
    ASSERT_TRUE(testsupport::Xdotool(MoveTo(x, y) + " mousedown 1 sleep 0.1 " + MoveTo(x + 15, y) + " sleep 0.2 " +
                                         MoveTo(x + 30, y) + " sleep 0.2 mouseup 1 sleep 0.1 mousemove 900 700",
                                     500));
    RECT now{};
    EXPECT_TRUE(testsupport::PumpUntil([&] {
      GetWindowRect(h, &now);
      return now.right == wr.right + press.widened && GetCapture() == nullptr;
    }, 3000)) << now.right - wr.right;
    EXPECT_EQ(now.left, wr.left);
  }
  DestroyWindow(h);
  PumpFor(50);
}

// Which "#32770" windows the hook takes: top-level ones, while fewer than two skinned dialogs show, unless the
// program's handler refuses.
TEST(DialogHook, TheHookSkinsTopLevelDialogsUpToTheLimitAndOnlyWhenTheProgramAllows) {
  DialogSkin skin;
  const DWORD popup = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
  std::vector<HWND> made;
  auto skinned = [](HWND h) { return skin::DialogAdapterOf(h) != nullptr && skin::FindProviderForWindow(h) != nullptr; };
  // The first two visible dialogs are skinned; a third one (no tool bar in it) is left to the system.
  for (int i = 0; i < 3; ++i) made.push_back(MakeDialogWindow(nullptr, popup));
  PumpFor(30);
  EXPECT_TRUE(skinned(made[0]));
  EXPECT_TRUE(skinned(made[1]));
  EXPECT_FALSE(skinned(made[2]));
  for (HWND h : made) DestroyWindow(h);
  made.clear();
  PumpFor(30);
  // A dialog inside another window is a child, never a top-level dialog of its own.
  HWND host = MakeDialogWindow(nullptr, popup);
  HWND page = MakeDialogWindow(host, WS_CHILD | WS_VISIBLE);
  EXPECT_TRUE(skinned(host));
  EXPECT_EQ(skin::FindProviderForWindow(page), nullptr);
  DestroyWindow(host);
  // The program's handler is asked with the window and may refuse.
  HWND asked = nullptr;
  skin.manager->OnSysDlgInit = [&asked](const skin::TacSysDlgData& data, bool& allow) {
    asked = data.WndHandle;
    allow = false;
  };
  HWND refused = MakeDialogWindow(nullptr, popup);
  EXPECT_EQ(asked, refused);
  EXPECT_FALSE(skinned(refused));
  DestroyWindow(refused);
  skin.manager->OnSysDlgInit = nullptr;
  PumpFor(30);
}

// A sizeable dialog takes the large caption buttons; its frame follows a new size, and maximized, its system menu
// offers Restore while Move and Maximize are disabled.
TEST(DialogHook, ASizeableDialogsFrameFollowsItsSizeAndItsMaximizedMenuOffersRestore) {
  DialogSkin skin;
  HWND h = MakeDialogWindow(nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX |
                                         WS_MAXIMIZEBOX | WS_VISIBLE);
  skin::TacDialogWnd* a = skin::DialogAdapterOf(h);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->BorderStyle, 3);
  SetWindowPos(h, nullptr, 0, 0, 400, 260, SWP_NOMOVE | SWP_NOZORDER);
  Redraw(h);
  PumpFor(30);
  ASSERT_TRUE(a->SkinData->CacheBmp);
  EXPECT_EQ(a->SkinData->CacheBmp->Width(), 400);
  EXPECT_EQ(a->SkinData->CacheBmp->Height(), 260);
  EXPECT_EQ(a->CloseButton.Rect.Right, 400 - skin.Skin().SkinData.BIRight - a->BorderWidth());
  EXPECT_EQ(a->CloseButton.Rect.Width(), kButtonW);
  EXPECT_LT(a->MinButton.Rect.Right, a->MaxButton.Rect.Left);
  EXPECT_LT(a->MaxButton.Rect.Right, a->CloseButton.Rect.Left);
  const skin::Bitmap shown = WindowPicture(h);
  const skin::TRect close = a->CloseButton.Rect;
  EXPECT_EQ(Rgb(shown, (close.Left + close.Right) / 2, (close.Top + close.Bottom) / 2),
            Px(ButtonColor(bClose, a->Active ? 0 : 3)) & 0xFFFFFF);

  ShowWindow(h, SW_MAXIMIZE);
  // Zoomed as the window manager has it, with what it said by then handled. Wine takes a report of the manager's
  // that reaches it before the manager has said "maximized" (on a busy machine, its answer to the resize above,
  // or the maximized size itself) as the user's restore, and maximizes the window again at the next one.
  EXPECT_TRUE(testsupport::PumpUntil([&] {
    const bool said = testsupport::WindowManagerSays(h, "_NET_WM_STATE_MAXIMIZED_HORZ");
    testsupport::PumpUntil([] { return HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0; }, 1000);
    return said && IsZoomed(h);
  }, 15000));
  a->SystemMenu->UpdateItems();
  auto state = [](gui::TMenuItem* item) { return std::make_pair(item->Visible(), item->Enabled()); };
  const skin::TacSystemMenu& m = *a->SystemMenu;
  EXPECT_EQ(state(m.ItemRestore), std::make_pair(true, true));
  EXPECT_EQ(state(m.ItemMove), std::make_pair(true, false));
  EXPECT_EQ(state(m.ItemMaximize), std::make_pair(true, false));
  EXPECT_EQ(state(m.ItemSize), std::make_pair(true, true));
  EXPECT_EQ(state(m.ItemClose), std::make_pair(true, true));
  DestroyWindow(h);
  PumpFor(20);
}

// An adapter made while another child is adapted from inside a child's adaptation is still flagged as a dialog
// child, and so is the outer one made after the nested call returned.
TEST(DialogHook, NestedChildAdaptationKeepsTheDialogChildFlagUntilTheOutermostCallEnds) {
  DialogSkin skin;
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "NestProbe";
  RegisterClassA(&wc);
  HWND dialog = CreateWindowExA(WS_EX_DLGMODALFRAME, "#32770", "Nested", WS_POPUP | WS_CAPTION | WS_SYSMENU, 50, 50,
                                300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(dialog, nullptr);
  skin::TacHookProvider* provider = skin::FindProviderForWindow(dialog);
  ASSERT_NE(provider, nullptr);
  HWND inner = CreateWindowExA(0, "STATIC", "inner", WS_CHILD | WS_VISIBLE, 10, 10, 80, 20, dialog, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  HWND outer = CreateWindowExA(0, "NestProbe", "", WS_CHILD | WS_VISIBLE, 10, 40, 80, 20, dialog, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  int depthInside = 0;
  skin::DialogChildAdapterFactories()["nestprobe"] = [&](HWND child, skin::TsSkinManager* m, const std::string&) {
    skin::SkinChildWindow(*provider, inner);
    depthInside = skin::ChildSkinningDepth();
    return static_cast<skin::TacMainWnd*>(skin::NewAdapter<skin::TacStaticWnd>(child, nullptr, m, {}, false));
  };
  EXPECT_TRUE(skin::SkinChildWindow(*provider, outer));
  skin::DialogChildAdapterFactories().erase("nestprobe");
  EXPECT_EQ(depthInside, 1);
  EXPECT_EQ(skin::ChildSkinningDepth(), 0);
  ASSERT_NE(skin::AdapterOfWindow(inner), nullptr);
  ASSERT_NE(skin::AdapterOfWindow(outer), nullptr);
  EXPECT_EQ(skin::AdapterOfWindow(inner)->CreatedByDispatcher, 1);
  EXPECT_EQ(skin::AdapterOfWindow(outer)->CreatedByDispatcher, 1);
  EXPECT_EQ(skin::DispatcherSkinning(), 0);
  DestroyWindow(dialog);
  PumpFor(20);
  EXPECT_EQ(skin::FindProviderForWindow(dialog), nullptr);
}

// The newer file dialog's container windows and its search box are adapted by their classes: a container only
// while it shows, the search box only at its height of 24 pixels.
TEST(DialogHook, TheNewerFileDialogsContainersAndSearchBoxGetTheirAdapters) {
  DialogSkin skin;
  for (const char* name : {"CtrlNotifySink", "DirectUIHWND"}) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
  }
  HWND dialog = CreateWindowExA(WS_EX_DLGMODALFRAME, "#32770", "Open", WS_POPUP | WS_CAPTION | WS_SYSMENU, 50, 50,
                                400, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(dialog, nullptr);
  skin::TacHookProvider* provider = skin::FindProviderForWindow(dialog);
  ASSERT_NE(provider, nullptr);
  auto child = [&](const char* cls, DWORD visible, int h) {
    return CreateWindowExA(0, cls, "", WS_CHILD | visible, 10, 10, 200, h, dialog, nullptr, GetModuleHandleA(nullptr),
                           nullptr);
  };
  HWND shown = child("CtrlNotifySink", WS_VISIBLE, 60), hidden = child("CtrlNotifySink", 0, 60);
  HWND search = child("DirectUIHWND", WS_VISIBLE, 24), other = child("DirectUIHWND", WS_VISIBLE, 30);
  for (HWND h : {shown, hidden, search, other}) EXPECT_TRUE(skin::SkinChildWindow(*provider, h));
  EXPECT_NE(dynamic_cast<skin::TacContainerWnd*>(skin::AdapterOfWindow(shown)), nullptr);
  EXPECT_EQ(skin::AdapterOfWindow(hidden), nullptr);
  EXPECT_NE(dynamic_cast<skin::TacSearchWnd*>(skin::AdapterOfWindow(search)), nullptr);
  EXPECT_EQ(skin::AdapterOfWindow(other), nullptr);
  DestroyWindow(dialog);
  PumpFor(20);
  EXPECT_EQ(skin::FindProviderForWindow(dialog), nullptr);
}

// With a skin of extended borders a dialog's frame, caption and shadow lie in a border window around it: the
// dialog shows only its client area, where the skin's frame leaves room for it, and the border window answers
// for the caption and its buttons. Without extended borders the border window goes and the dialog shows its frame
// itself again.
TEST(DialogHook, WithExtendedBordersADialogsFrameLiesInABorderWindowAroundItsClientArea) {
  DialogSkin skin(true);
  skin::ledger::Snapshot before;
  int windowsBefore = 0;
  // The first round checks; the later ones leave the ledger and the windows as the first left them.
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    if (round == 1) {
      before = skin::ledger::Take();
      windowsBefore = ThreadWindowCount();
    }
    HWND h = MakeDialogWindow(nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
    SetForegroundWindow(h);
    Redraw(h);
    PumpFor(200 + (round == 0 ? int(ModalDriver::HoldMs()) : 0));
    skin::TacDialogWnd* a = skin::DialogAdapterOf(h);
    ASSERT_NE(a, nullptr);
    ASSERT_TRUE(a->BorderForm && a->BorderForm->AForm);
    if (round == 0) {
      HWND border = static_cast<HWND>(a->BorderForm->AForm);
      EXPECT_TRUE(IsWindowVisible(border));
      // No owner (the system would keep it above the dialog): right below the dialog in the z-order.
      EXPECT_EQ(GetWindow(border, GW_OWNER), nullptr);
      EXPECT_EQ(GetWindow(h, GW_HWNDNEXT), border);
      const skin::TsSkinData& g = skin.Skin().SkinData;
      RECT br{}, wr{}, cr{};
      GetWindowRect(border, &br);
      GetWindowRect(h, &wr);
      GetClientRect(h, &cr);
      POINT o{0, 0};
      ClientToScreen(h, &o);
      EXPECT_EQ(o.x - br.left, kShadowMargin + g.BorderWidth);
      EXPECT_EQ(o.y - br.top, kShadowMargin + g.TitleHeight);
      EXPECT_EQ(br.right - (o.x + cr.right), g.BorderWidth + kShadowMargin);
      EXPECT_EQ(br.bottom - (o.y + cr.bottom), g.BorderWidth + kShadowMargin);
      // On the screen: the caption in the title section's colour, the client in the dialog section's.
      ASSERT_GE(a->TitleSection, 0);
      const skin::SkinSectionRecord& title = skin.Skin().Sections[size_t(a->TitleSection)];
      const bool active = a->Active != 0;
      const TColor titleColour = active ? title.HotState.Color : title.NormalState.Color;
      const int captionY = br.top + kShadowMargin + g.BorderWidth + (g.TitleHeight - g.BorderWidth) / 2;
      EXPECT_EQ(testsupport::ScreenPixel((br.left + br.right) / 2, captionY) & 0xFFFFFF, uint32_t(titleColour));
      EXPECT_EQ(testsupport::ScreenPixel(o.x + 3, o.y + cr.bottom - 3) & 0xFFFFFF,
                uint32_t(active ? kDialogActive : kDialogInactive));
      // The dialog's own window keeps only its client area.
      HRGN region = skin::ledger::CreateRectRgn(0, 0, 0, 0);
      ASSERT_NE(GetWindowRgn(h, region), ERROR);
      EXPECT_TRUE(PtInRegion(region, o.x - wr.left + 1, o.y - wr.top + 1));
      EXPECT_FALSE(PtInRegion(region, 1, 1));
      skin::ledger::DeleteObject(region);
      // The border window's hit test: the close button, the caption, the shadow.
      skin::TacBorderForm& bf = *a->BorderForm;
      const skin::TRect close = a->CloseButton.Rect;
      EXPECT_EQ(skin::BorderFormHitTestAt(bf, skin::TPoint{(close.Left + close.Right) / 2, (close.Top + close.Bottom) / 2}),
                HTCLOSE);
      EXPECT_EQ(skin::BorderFormHitTestAt(bf, skin::TPoint{(br.right - br.left) / 2, captionY - br.top}), HTCAPTION);
      EXPECT_EQ(skin::BorderFormHitTestAt(bf, skin::TPoint{1, 1}), HTTRANSPARENT);
      // Extended borders off: the dialog paints its frame itself again, over its whole window.
      a->SetExtendedBorders(false);
      PumpFor(50);
      EXPECT_EQ(a->BorderForm, nullptr);
      Redraw(h);
      const skin::Bitmap shown = WindowPicture(h);
      EXPECT_EQ(Rgb(shown, shown.Width() / 2, a->BorderWidth() + a->CaptionHeight() / 2),
                Px(titleColour) & 0xFFFFFF);
    }
    DestroyWindow(h);
    PumpFor(50);
  }
  EXPECT_EQ(skin::ledger::Difference(before, skin::ledger::Take()), "");
  EXPECT_EQ(ThreadWindowCount(), windowsBefore);
}

// A hovered caption button of a dialog glows with the skin's glow image around it, on the dialog or on its
// border window, and the glow fades out and goes when the mouse leaves.
TEST(DialogHook, AHoveredCloseButtonOfADialogGlowsAndTheGlowGoesWhenTheMouseLeaves) {
  {
    // The component layer's timers run on a window of their own, made once.
    gui::TTimer warm(nullptr);
    warm.SetEnabled(true);
  }
  for (const bool extended : {false, true}) {
    SCOPED_TRACE(extended);
    DialogSkin skin(extended);
    const int windows = ThreadWindowCount();
    HWND h = MakeDialogWindow(nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_VISIBLE);
    SetForegroundWindow(h);
    Redraw(h);
    PumpFor(150);
    skin::TacDialogWnd* a = skin::DialogAdapterOf(h);
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->BorderForm != nullptr, extended);
    RECT wr{};
    GetWindowRect(h, &wr);
    skin::TPoint origin{wr.left, wr.top};
    if (a->BorderForm) {
      const skin::TRect br = skin::BorderFormScreenRect(*a->BorderForm);
      origin = skin::TPoint{br.Left, br.Top};
    }
    const skin::TRect close = a->CloseButton.Rect;
    const int cx = origin.X + (close.Left + close.Right) / 2, cy = origin.Y + (close.Top + close.Bottom) / 2;
    adaptertest::MouseTo(origin.X + close.Left - 20, cy);
    PumpFor(40);
    adaptertest::MouseTo(cx - 1, cy);
    PumpFor(20);
    adaptertest::MouseTo(cx, cy);
    testsupport::PumpUntil([&] { return a->CloseButton.GlowTimer && a->CloseButton.State == 1; });
    skin::TacSBAnimation* anim = a->CloseButton.GlowTimer;
    ASSERT_NE(anim, nullptr);
    EXPECT_EQ(a->CloseButton.State, 1);
    HWND glow = static_cast<HWND>(anim->GlowWindow);
    ASSERT_NE(glow, nullptr);
    EXPECT_TRUE(IsWindowVisible(glow));
    testsupport::PumpUntil([&] { return anim->ShownAlpha == 255; }, 5000 + ModalDriver::HoldMs());
    EXPECT_EQ(anim->ShownAlpha, 255);
    RECT gr{};
    GetWindowRect(glow, &gr);
    EXPECT_EQ(gr.left, origin.X + close.Left - skin.Skin().SkinData.BICloseGlowMargin);
    EXPECT_EQ(gr.right - gr.left, kGlowW);
    adaptertest::MouseTo(wr.right + 200, wr.bottom + 200);
    testsupport::PumpUntil([&] { return a->CloseButton.State == 0 && anim->GlowWindow == nullptr; });
    EXPECT_EQ(a->CloseButton.State, 0);
    EXPECT_EQ(anim->GlowWindow, nullptr);
    DestroyWindow(h);
    testsupport::PumpUntil([&] { return ThreadWindowCount() == windows; });
    EXPECT_EQ(ThreadWindowCount(), windows);
  }
}

// The samples of a dialog's translucency taken while the move runs.
struct MoveSampler {
  static inline HWND dialog = nullptr;
  static inline int lowest = 256;
  static inline bool layeredSeen = false;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    BYTE alpha = 0;
    DWORD flags = 0;
    if ((GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_LAYERED) &&
        GetLayeredWindowAttributes(dialog, nullptr, &alpha, &flags) && (flags & LWA_ALPHA)) {
      layeredSeen = true;
      lowest = std::min(lowest, int(alpha));
    }
  }
};

// A caption drag driven stage by stage from a timer, since the move's loop holds the thread while it runs: press,
// two steps of the pointer, release, each given once the dialog stands where the step before put it. Under a
// window manager the move is the manager's, which takes it when it gets to Wine's request and then follows the
// pointer's motion from the press: on a busy machine it can take it after the pointer has stepped (stopping the
// manager from the press to the release leaves the dialog where it was), and it sees no motion until the pointer
// moves again. So while the dialog has not followed a step, the pointer goes a pixel aside and back to the step's
// place every 100 ms. A stage not reached within 30 s is noted with where the dialog stood, and the button is
// released, which ends the loop.
struct DialogDrag {
  static inline skin::TacDialogWnd* adapter = nullptr;
  static inline RECT from{};
  static inline POINT press{};
  static inline int stage = 0;
  static inline DWORD begun = 0, nudged = 0;
  static inline std::string stuck;
  static void Begin(skin::TacDialogWnd* a, const RECT& before, POINT start) {
    adapter = a;
    from = before;
    press = start;
    stage = 0;
    stuck.clear();
    begun = nudged = GetTickCount();
  }
  // Where the screen shows the dialog: while the manager moves a window, Wine learns its place at the move's end.
  static bool StandsAt(int dx, int dy) {
    POINT at{};
    if (!GetPropA(adapter->Handle, "__wine_x11_whole_window")) {
      RECT r{};
      GetWindowRect(adapter->Handle, &r);
      at = {r.left, r.top};
    } else if (!testsupport::ScreenOrigin(adapter->Handle, at, false)) {
      return false;
    }
    return at.x == from.left + dx && at.y == from.top + dy;
  }
  static void Step(int dx, int dy) {
    testsupport::Xdotool(testsupport::MoveTo(press.x + dx, press.y + dy), false);
    nudged = GetTickCount();
  }
  // The pointer a pixel aside and back where it stands, while the dialog has not followed it.
  static void Nudge(int dx, int dy) {
    if (GetTickCount() - nudged < 100) return;
    testsupport::Xdotool(testsupport::MoveTo(press.x + dx + 1, press.y + dy) + " " +
                             testsupport::MoveTo(press.x + dx, press.y + dy),
                         false);
    nudged = GetTickCount();
  }
  static void CALLBACK Drive(HWND, UINT, UINT_PTR, DWORD) {
    const bool moving = (adapter->MoveFlags & 0x80) != 0;
    if (stage < 4 && stuck.empty() && GetTickCount() - begun > 30000) {
      RECT r{};
      GetWindowRect(adapter->Handle, &r);
      POINT on{-1, -1};
      testsupport::ScreenOrigin(adapter->Handle, on, false);
      stuck = "stage " + std::to_string(stage) + " not left within 30 s: the dialog at (" + std::to_string(r.left) +
              ", " + std::to_string(r.top) + "), on the screen at (" + std::to_string(on.x) + ", " +
              std::to_string(on.y) + "), from (" + std::to_string(from.left) + ", " + std::to_string(from.top) +
              "), " + (moving ? "moving" : "not moving");
      testsupport::Xdotool("mouseup 1", false);
      return;
    }
    if (stage == 0 && moving) {
      stage = 1;
      Step(20, 10);
    } else if (stage == 1 && moving) {
      if (StandsAt(20, 10)) {
        stage = 2;
        Step(40, 30);
      } else {
        Nudge(20, 10);
      }
    } else if (stage == 2 && moving) {
      if (StandsAt(40, 30)) {
        stage = 3;
        testsupport::Xdotool("mouseup 1", false);
      } else {
        Nudge(40, 30);
      }
    } else if (stage == 3 && !moving) {
      stage = 4;
    }
  }
};

// Dragging a dialog by its caption with the X server's mouse while the skin blends moving windows: the dialog
// fades to the skin's blend value during the move, follows the mouse, and is opaque (no longer layered)
// afterwards. The real mouse, because under a window manager the move is the manager's, which follows the X
// server's pointer and button, never input made inside Wine.
TEST(DialogHook, DraggingADialogsCaptionMovesItTranslucentlyWhenTheSkinBlendsMovingWindows) {
  DialogSkin skin;
  skin.manager->AnimEffects.BlendOnMoving.Active = true;
  skin.manager->AnimEffects.BlendOnMoving.BlendValue = 150;
  skin.manager->AnimEffects.BlendOnMoving.Time = 12;
  HWND h = MakeDialogWindow(nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
  SetForegroundWindow(h);
  Redraw(h);
  skin::TacDialogWnd* a = skin::DialogAdapterOf(h);
  ASSERT_NE(a, nullptr);
  // Where a window manager has placed it, once it stays there.
  RECT before{};
  GetWindowRect(h, &before);
  DWORD steady = GetTickCount();
  testsupport::PumpUntil([&] {
    RECT now{};
    GetWindowRect(h, &now);
    if (!EqualRect(&now, &before)) before = now, steady = GetTickCount();
    return IsWindowVisible(h) && GetForegroundWindow() == h && GetTickCount() - steady >= 200;
  }, 3000);
  MoveSampler::dialog = h;
  MoveSampler::lowest = 256;
  MoveSampler::layeredSeen = false;
  const POINT start{(before.left + before.right) / 2, before.top + a->BorderWidth() + a->CaptionHeight() / 2};
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, MoveSampler::Tick);
  DialogDrag::Begin(a, before, start);
  // The press waits in the queue until the driver's loop hands it over.
  ASSERT_TRUE(testsupport::Xdotool(testsupport::MoveTo(start) + " mousedown 1", false));
  const UINT_PTR driver = SetTimer(nullptr, 0, 15, DialogDrag::Drive);
  EXPECT_TRUE(testsupport::PumpUntil([] { return DialogDrag::stage == 4 || !DialogDrag::stuck.empty(); }, 45000))
      << "stage " << DialogDrag::stage;
  EXPECT_EQ(DialogDrag::stuck, "");
  KillTimer(nullptr, driver);
  RECT after{};
  testsupport::PumpUntil([&] {
    GetWindowRect(h, &after);
    return after.left - before.left == 40 && after.top - before.top == 30 && !GetCapture() &&
           (GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_LAYERED) == 0;
  });
  KillTimer(nullptr, timer);
  EXPECT_TRUE(MoveSampler::layeredSeen);
  EXPECT_EQ(MoveSampler::lowest, 150);
  EXPECT_EQ(after.left - before.left, 40);
  EXPECT_EQ(after.top - before.top, 30);
  EXPECT_EQ(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_EQ(a->MoveFlags & 0x80, 0);
  testsupport::Xdotool("mousemove 900 700");
  DestroyWindow(h);
  PumpFor(20);
}

// The pictures pushed to layered windows by the skin manager's animations.
struct RecordedOutput : skin::TacLayeredOutput {
  std::vector<HWND> windows;
  void Push(HWND Wnd, const skin::Bitmap&, uint8_t) override { windows.push_back(Wnd); }
};

// When the skin animates dialogs, a dialog fades in on a helper window as it is shown, and fades out as it is
// hidden; with extended borders the fade out runs on its border window, which goes with it.
TEST(DialogHook, ADialogFadesInAsItIsShownAndOutAsItIsHiddenWhenTheSkinAnimatesDialogs) {
  for (const bool extended : {false, true}) {
    SCOPED_TRACE(extended);
    DialogSkin skin(extended);
    skin.manager->AnimEffects.DialogShow.Time = 60;
    skin.manager->AnimEffects.DialogShow.Active = true;
    skin.manager->AnimEffects.DialogHide.Time = 60;
    skin.manager->AnimEffects.DialogHide.Active = true;
    const skin::ledger::Snapshot before = skin::ledger::Take();
    RecordedOutput out;
    skin::TacLayeredOutput* previous = skin::SetLayeredOutput(&out);
    HWND h = MakeDialogWindow(nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU);
    skin::TacDialogWnd* a = skin::DialogAdapterOf(h);
    ASSERT_NE(a, nullptr);
    ShowWindow(h, SW_SHOW);
    PumpFor(100);
    const size_t shown = out.windows.size();
    EXPECT_GT(shown, 0u);
    for (HWND w : out.windows) EXPECT_NE(w, h);
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_EQ(a->BorderForm != nullptr, extended);
    HWND border = a->BorderForm ? static_cast<HWND>(a->BorderForm->AForm) : nullptr;
    // Cancel that leaves the dialog open leaves no picture over it, and its border window its frame.
    const std::set<HWND> open = VisibleThreadWindows();
    SendMessageA(h, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_EQ(VisibleThreadWindows(), open);
    if (extended) {
      EXPECT_FALSE(a->BorderForm->Animating);
    }
    ShowWindow(h, SW_HIDE);
    PumpFor(300);
    ASSERT_GT(out.windows.size(), shown);
    if (extended) {
      EXPECT_EQ(out.windows.back(), border);
    }
    EXPECT_EQ(a->BorderForm, nullptr);
    skin::SetLayeredOutput(previous);
    DestroyWindow(h);
    PumpFor(50);
    EXPECT_EQ(skin::ledger::Difference(before, skin::ledger::Take()), "");
  }
}

// The pixels of a rectangle of a picture that differ from its top-left pixel (text over a plain background).
int Marks(const skin::Bitmap& b, const skin::TRect& r) {
  int n = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) n += Rgb(b, x, y) != Rgb(b, r.Left, r.Top);
  return n;
}

// The marks of the first frame pushed once the rectangle to look at is given, and whether its window already
// showed there (visible, its region holding the rectangle's middle).
struct FirstFrameMarks : skin::TacLayeredOutput {
  skin::TRect probe, button;
  int marks = -1, buttonMarks = -1;
  bool shown = false;
  void Push(HWND w, const skin::Bitmap& frame, uint8_t) override {
    if (probe.Width() <= 0 || marks >= 0) return;
    marks = Marks(frame, probe);
    buttonMarks = Marks(frame, button);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    shown = IsWindowVisible(w) && (GetWindowRgn(w, region) == ERROR ||
                                   PtInRegion(region, (probe.Left + probe.Right) / 2, (probe.Top + probe.Bottom) / 2));
    DeleteObject(region);
  }
};

// A message box fades out showing its text, whatever ends it (Escape, its close button, its Cancel, Yes or OK
// button), with or without a border window; ended otherwise than by its close button, its picture lies over it
// before it goes, and none stays.
TEST(DialogHook, AMessageBoxFadesOutWithItsTextWhateverClosesIt) {
  enum How { kEscape, kCloseButton, kCancelButton, kYesButton, kOkButton };
  struct C {
    How how;
    bool extended;
  };
  for (const C& c : {C{kEscape, false}, C{kCloseButton, false}, C{kEscape, true}, C{kCancelButton, false},
                     C{kYesButton, false}, C{kYesButton, true}, C{kOkButton, false}}) {
    SCOPED_TRACE(testing::Message() << "how " << c.how << ", extended borders " << c.extended);
    DialogSkin skin(c.extended);
    skin.manager->AnimEffects.DialogHide.Time = 60;
    skin.manager->AnimEffects.DialogHide.Active = true;
    Owner owner;
    FirstFrameMarks out;
    skin::TacLayeredOutput* previous = skin::SetLayeredOutput(&out);
    int shownMarks = -1, shownButtonMarks = -1;
    std::set<HWND> before;
    const UINT type = c.how == kCancelButton ? MB_OKCANCEL : c.how == kYesButton ? MB_YESNO : MB_OK;
    const int pressed = c.how == kYesButton ? IDYES : c.how == kOkButton ? IDOK : IDCANCEL;
    const int result = ShowMessageBox(owner.Handle(), [&](HWND d) {
      skin::TacDialogWnd* a = skin::DialogAdapterOf(d);
      HWND text = FindWindowExA(d, nullptr, "Static", "Skinned message");
      // A push button that the closing leaves alone.
      HWND button = GetDlgItem(d, c.how == kYesButton ? IDNO : IDOK);
      if (!a || !text || !button || (a->BorderForm != nullptr) != c.extended) return false;
      RECT wr{};
      GetWindowRect(d, &wr);
      // The frame picture of a dialog with a border window is larger than its window.
      const int ox = a->BorderForm ? skin::BorderFormClientLeft(*a->BorderForm) : 0;
      const int oy = a->BorderForm ? skin::BorderFormTopOffset(*a->BorderForm) : 0;
      Redraw(d);
      const skin::Bitmap picture = WindowPicture(d);
      for (auto [child, shown, probe] : {std::tuple{text, &shownMarks, &out.probe},
                                         std::tuple{button, &shownButtonMarks, &out.button}}) {
        RECT r{};
        GetWindowRect(child, &r);
        const skin::TRect inWindow{r.left - wr.left, r.top - wr.top, r.right - wr.left, r.bottom - wr.top};
        *shown = Marks(picture, inWindow);
        *probe = skin::TRect{inWindow.Left + ox, inWindow.Top + oy, inWindow.Right + ox, inWindow.Bottom + oy};
      }
      before = VisibleThreadWindows();
      before.erase(d);
      if (a->BorderForm) before.erase(static_cast<HWND>(a->BorderForm->AForm));
      if (c.how == kEscape) {
        PostMessageA(GetFocus() ? GetFocus() : d, WM_KEYDOWN, VK_ESCAPE, 0);
      } else if (c.how == kCloseButton) {
        const skin::TRect b = a->CloseButton.Rect;
        const LPARAM at = MAKELPARAM(wr.left + (b.Left + b.Right) / 2, wr.top + (b.Top + b.Bottom) / 2);
        PostMessageA(d, WM_NCLBUTTONDOWN, HTCLOSE, at);
        PostMessageA(d, WM_NCLBUTTONUP, HTCLOSE, at);
      } else {
        PostMessageA(GetDlgItem(d, pressed), BM_CLICK, 0, 0);
      }
      return true;
    }, type);
    skin::SetLayeredOutput(previous);
    EXPECT_FALSE(ModalDriver::forced);
    EXPECT_EQ(result, pressed);
    ASSERT_GT(shownMarks, 20) << "the text shows while the box is open";
    EXPECT_GT(out.marks, shownMarks / 2) << "the hide's first frame holds the text";
    ASSERT_GT(shownButtonMarks, 100) << "the button shows while the box is open";
    EXPECT_GT(out.buttonMarks, shownButtonMarks / 2) << "the hide's first frame holds the button";
    if (c.how != kCloseButton) {
      EXPECT_TRUE(out.shown) << "the picture lies over the box before it goes";
    }
    EXPECT_TRUE(testsupport::PumpUntil(
        [&] {
          const std::set<HWND> now = VisibleThreadWindows();
          return std::includes(before.begin(), before.end(), now.begin(), now.end());
        },
        20000))
        << "no picture of the box stays on the screen";
  }
}

// The save dialog's OK on a file that exists does not end it yet: it asks first. Nothing of the dialog's hide
// fade lies over that question meanwhile (a picture laid over the dialog would lie over its box too, and take its
// clicks); answered No, the dialog stays open.
TEST(DialogHook, TheOverwriteQuestionOfASaveDialogIsWhatThePointerFinds) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string existing = std::string(temp) + "dialogs_win_test_" + std::to_string(GetCurrentProcessId()) + ".txt";
  std::ofstream(existing) << "kept";
  for (const bool extended : {false, true}) {
    SCOPED_TRACE(extended);
    DialogSkin skin(extended);
    skin.manager->AnimEffects.DialogHide.Time = 60;
    skin.manager->AnimEffects.DialogHide.Active = true;
    Owner owner;
    char file[MAX_PATH] = {};
    existing.copy(file, MAX_PATH - 1);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner.Handle();
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT;
    HWND dialog = nullptr, no = nullptr, found = nullptr;
    std::string foundClass;
    bool answered = false, stayed = false;
    const int saved = ModalDriver::Run([&] { return int(GetSaveFileNameA(&ofn)); }, [&](HWND d) {
      if (dialog == nullptr) {
        dialog = d;
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return false;
      }
      HWND question = nullptr;
      for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT))
        if (IsWindowVisible(h) && ClassOf(h) == "#32770" && GetWindow(h, GW_OWNER) == dialog) question = h;
      if (question == nullptr) {
        if (!answered) return false;
        stayed = IsWindowVisible(dialog) != FALSE;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
      }
      if (answered || (no = GetDlgItem(question, IDNO)) == nullptr || !IsWindowVisible(no)) return false;
      // The question over the middle of the dialog, where the system may well put it.
      RECT r{}, q{};
      GetWindowRect(dialog, &r);
      GetWindowRect(question, &q);
      SetWindowPos(question, nullptr, (r.left + r.right - (q.right - q.left)) / 2, (r.top + r.bottom - (q.bottom - q.top)) / 2,
                   0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      GetWindowRect(no, &r);
      found = WindowFromPoint(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
      foundClass = ClassOf(found);
      answered = true;
      PostMessageA(no, BM_CLICK, 0, 0);
      return false;
    });
    EXPECT_FALSE(ModalDriver::forced);
    ASSERT_TRUE(answered) << "no question was asked";
    EXPECT_EQ(found, no) << "the pointer finds " << foundClass << " over the question's No button";
    EXPECT_TRUE(stayed);
    EXPECT_EQ(saved, 0);
  }
  DeleteFileA(existing.c_str());
}

// A child may take its background from the dialog's picture only when the dialog's section is see-through or
// drawn from an image.
TEST(DialogHook, ADialogLetsChildrenUseItsPictureOnlyWhenItsSectionIsSeeThroughOrAnImage) {
  DialogSkin skin;
  const int32_t section = skin::SkinManagerGetSectionIndex(*skin.manager, "DIALOG");
  ASSERT_GE(section, 0);
  const struct {
    int32_t transparency, image;
    LRESULT usable;
  } cases[] = {{0, 0, 0}, {40, 0, 1}, {0, 100, 1}};
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.transparency * 1000 + tc.image);
    skin::SkinStateBlock& normal = skin.Skin().Sections[size_t(section)].NormalState;
    normal.Transparency = tc.transparency;
    normal.ImagePercent = tc.image;
    HWND h = MakeDialogWindow(nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
    ASSERT_NE(skin::DialogAdapterOf(h), nullptr);
    EXPECT_EQ(SendMessageA(h, skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_ISCACHEUSABLE), 0), tc.usable);
    DestroyWindow(h);
    PumpFor(20);
  }
}

// The pointer moving over an enabled dialog's own area clears the manager's hot control; a disabled dialog
// leaves it.
TEST(DialogHook, ThePointerOverAnEnabledDialogLeavesNoControlHot) {
  DialogSkin skin;
  Owner owner;
  auto* button = new gui::TButton(owner.form);
  button->SetParent(owner.form);
  button->SetBounds(10, 10, 80, 24);
  for (const bool enabled : {true, false}) {
    SCOPED_TRACE(enabled ? "enabled" : "disabled");
    HWND h = MakeDialogWindow(nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
    ASSERT_NE(skin::DialogAdapterOf(h), nullptr);
    EnableWindow(h, enabled ? TRUE : FALSE);
    skin::SkinManagerSetHotControl(skin.manager.get(), button);
    ASSERT_EQ(skin.manager->HotControl(), button);
    SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    EXPECT_EQ(skin.manager->HotControl(), enabled ? nullptr : button);
    skin::SkinManagerSetHotControl(skin.manager.get(), nullptr);
    DestroyWindow(h);
    PumpFor(20);
  }
}

// A panel whose window paints its own background.
class SilentPaintPanel : public gui::TCustomPanel {
 public:
  using gui::TCustomPanel::TCustomPanel;
  GUI_CLASS_NAME("TSilentPaintPanel")

 protected:
  void CreateParams(gui::TCreateParams& p) override {
    gui::TCustomPanel::CreateParams(p);
    p.WinClassName = "TSilentPaintPanel";
  }
};

// Panels of the program inside a dialog: a plain panel's labels take the skin's text colour over a clear
// background, its windowed children are adapted and the panel takes the skin's colour; a panel that paints its
// own background loses its caption.
TEST(DialogHook, AProgramsPanelsInADialogTakeTheSkinsColoursAndASilentPanelShowsNoCaption) {
  DialogSkin skin;
  skin.Skin().Colors[skin::scMainColor] = 0x4060A0;
  skin.Skin().Colors[skin::scMainFontColor] = 0x10E0F0;
  // The library's own kind of form: the hook leaves it (and so its panels) alone.
  auto* holder = new gui::TForm(gui::Application);
  holder->SetTag(0x100);
  auto* panel = new gui::TPanel(holder);
  panel->SetParent(holder);
  panel->SetBounds(10, 10, 200, 80);
  auto* label = new gui::TLabel(panel);
  label->SetParent(panel);
  label->SetCaption("Label");
  auto* edit = new gui::TEdit(panel);
  edit->SetParent(panel);
  edit->SetBounds(10, 40, 100, 22);
  auto* silent = new SilentPaintPanel(holder);
  silent->SetParent(holder);
  silent->SetBounds(10, 100, 200, 40);
  silent->SetCaption("Quiet");
  panel->HandleNeeded();
  edit->HandleNeeded();
  silent->HandleNeeded();

  HWND dialog = MakeDialogWindow(nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
  skin::TacHookProvider* provider = skin::FindProviderForWindow(dialog);
  ASSERT_NE(provider, nullptr);
  SetParent(panel->WindowHandle(), dialog);
  SetParent(silent->WindowHandle(), dialog);
  EXPECT_TRUE(skin::SkinChildWindow(*provider, panel->WindowHandle()));
  EXPECT_TRUE(skin::SkinChildWindow(*provider, silent->WindowHandle()));

  EXPECT_NE(dynamic_cast<skin::TacPanelWnd*>(skin::AdapterOfWindow(panel->WindowHandle())), nullptr);
  EXPECT_EQ(label->Font().Color(), TColor(0x10E0F0));
  EXPECT_TRUE(label->Transparent());
  EXPECT_EQ(SendMessageA(edit->WindowHandle(), skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_ISSKINNED), 0), 1);
  EXPECT_EQ(panel->Color(), TColor(0x4060A0));
  auto* quiet = dynamic_cast<skin::TacPanelWnd*>(skin::AdapterOfWindow(silent->WindowHandle()));
  ASSERT_NE(quiet, nullptr);
  EXPECT_EQ(quiet->Panel(), silent);
  EXPECT_EQ(silent->Caption(), "");
  EXPECT_EQ(silent->Tag(), 999);

  SetParent(panel->WindowHandle(), holder->Handle());
  SetParent(silent->WindowHandle(), holder->Handle());
  DestroyWindow(dialog);
  PumpFor(20);
  gui::Free(holder);
  PumpFor(20);
}

#ifdef DIALOG_TEST_SKIN
// The program's own packed skin on a manager of the test: a message box and a file dialog show it in their
// caption (none of the system's caption colours between the frame's edges) and in their client area.
// The program's own skin of one name, applied to a manager that hooks the thread's dialogs.
struct StoredSkin {
  skin::PortableSkinSystem system;
  skin::TsSkinManagerComponent manager{nullptr, system};
  explicit StoredSkin(const std::string& file) {
    std::string path = DIALOG_TEST_SKIN;
    path = path.substr(0, path.find_last_of('/') + 1) + file;
    std::ifstream in(path, std::ios::binary);
    const std::string packed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(packed.empty()) << path;
    system.layeredWindows = true;
    skin::TsStoredSkin& stored = manager.InternalSkins.Add();
    stored.Name = "Stored";
    stored.Data.WriteBuffer(packed.data(), int64_t(packed.size()));
    skin::InstallDialogHookServices();
    manager.SetSkinName("Stored");
  }
};

TEST(DialogHook, TheProgramsOwnSkinShowsInTheCaptionsOfAMessageBoxAndAFileDialog) {
  StoredSkin skin("spring_willow.asz");
  skin::TsSkinManagerComponent& manager = skin.manager;
  ASSERT_TRUE(manager.SkinData().Active);
  ASSERT_EQ(manager.HooksInstalled, 1);
  Owner owner;
  std::set<uint32_t> system_colours;
  for (int index : {COLOR_ACTIVECAPTION, COLOR_INACTIVECAPTION, COLOR_GRADIENTACTIVECAPTION,
                    COLOR_GRADIENTINACTIVECAPTION})
    system_colours.insert(skin::ColorToPixel(TColor(GetSysColor(index)), 0) & 0xFFFFFF);
  auto systemPixelsInCaption = [&](HWND d) {
    skin::TacDialogWnd* a = skin::DialogAdapterOf(d);
    if (a == nullptr) return -1;
    Redraw(d);
    const skin::Bitmap shown = WindowPicture(d);
    const int b = a->BorderWidth(), c = a->CaptionHeight();
    const skin::TRect icon = a->IconRect();
    int n = 0;
    for (int y = b; y < b + c; ++y)
      for (int x = b; x < shown.Width() - b; ++x)
        if (!icon.Contains(skin::TPoint{x, y})) n += int(system_colours.count(Rgb(shown, x, y)));
    return n;
  };
  const struct {
    const char* name;
    std::function<int(std::function<bool(HWND)>)> show;
  } dialogs[] = {
      {"message box", [&](std::function<bool(HWND)> step) { return ShowMessageBox(owner.Handle(), step); }},
      {"file dialog", [&](std::function<bool(HWND)> step) { return ShowFileOpenDialog(owner.Handle(), step); }},
  };
  for (const auto& dialog : dialogs) {
    SCOPED_TRACE(dialog.name);
    int systemPixels = -2;
    dialog.show([&](HWND d) {
      systemPixels = systemPixelsInCaption(d);
      PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
      return true;
    });
    EXPECT_EQ(systemPixels, 0);
    EXPECT_FALSE(ModalDriver::forced);
  }
}

// What the screen shows of a window's client area, row by row (COLORREF values).
std::vector<uint32_t> ScreenClient(HWND h, int& w, int& hgt) {
  RECT r{};
  GetClientRect(h, &r);
  MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&r), 2);
  w = r.right - r.left, hgt = r.bottom - r.top;
  std::vector<uint32_t> out;
  HDC dc = GetDC(nullptr);
  for (int y = 0; y < hgt; ++y)
    for (int x = 0; x < w; ++x) out.push_back(uint32_t(GetPixel(dc, r.left + x, r.top + y)));
  ReleaseDC(nullptr, dc);
  return out;
}

// The file dialog under the program's dark and light skins, with the real mouse: the focused "File name" field
// shows the skin's edit colour; the "Look in" list, opened, shows its items on the skin's list colour and the
// chosen one in the skin's selection (not the system's white and blue); while the pointer runs over the list,
// the closed field keeps showing the folder it was opened on.
TEST(DialogHook, TheFileDialogsLookInListAndFileNameFieldTakeTheSkinAndTheFieldKeepsItsChoiceUnderThePointer) {
  for (const char* file : {"opus.asz", "topaz.asz"}) {
    SCOPED_TRACE(file);
    StoredSkin skin(file);
    ASSERT_TRUE(skin.manager.SkinData().Active);
    const skin::TsSkinManager& m = skin.manager;
    const int edit = skin::SkinManagerGetSectionIndex(m, "EDIT");
    ASSERT_GE(edit, 0);
    const skin::SkinSectionRecord& section = m.Skin().Sections[size_t(edit)];
    const uint32_t editFocused = uint32_t(skin::ColorToRGB(skin::SectionStateBlock(section, 1).Color)) & 0xFFFFFF;
    const uint32_t listBg = uint32_t(skin::ColorToRGB(section.NormalState.Color)) & 0xFFFFFF;
    const uint32_t selection = uint32_t(skin::ColorToRGB(skin::SkinManagerHighlightColor(skin.manager, true))) & 0xFFFFFF;
    const uint32_t sysWindow = GetSysColor(COLOR_WINDOW), sysHighlight = GetSysColor(COLOR_HIGHLIGHT);
    Owner owner;
    int stage = 0;
    DWORD since = GetTickCount();
    uint32_t fieldShown = 0;
    std::string fault;
    std::vector<uint32_t> faceOpened;
    int faceW = 0, faceH = 0, opened = -1;
    bool listChecked = false, faceChecked = false;
    auto next = [&](int s) {
      stage = s;
      since = GetTickCount();
    };
    auto late = [&] { return GetTickCount() - since > 20000; };
    // The closed field as the screen shows it once it has settled: painted again now, and the same at three
    // ticks of the driver in a row (on a busy machine the screen shows a repaint late).
    std::vector<uint32_t> lastFace;
    int sameReads = 0;
    auto settledFace = [&](HWND look) {
      RedrawWindow(look, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      faceOpened = ScreenClient(look, faceW, faceH);
      sameReads = faceOpened == lastFace ? sameReads + 1 : 0;
      lastFace = faceOpened;
      return sameReads >= 2;
    };
    ShowFileOpenDialog(owner.Handle(), [&](HWND d) {
      HWND look = GetDlgItem(d, 0x471);
      HWND name = reinterpret_cast<HWND>(SendMessageA(GetDlgItem(d, 0x47c), CBEM_GETEDITCONTROL, 0, 0));
      COMBOBOXINFO ci{};
      ci.cbSize = sizeof ci;
      GetComboBoxInfo(look, &ci);
      switch (stage) {
        case 0: {  // the "File name" field has the focus as the dialog opens
          if (name == nullptr || GetFocus() != name) return late() ? (fault = "no focused File name field", true) : false;
          RECT r{};
          GetWindowRect(name, &r);
          fieldShown = testsupport::ScreenPixel(r.right - 3, (r.top + r.bottom) / 2);
          if (fieldShown != editFocused && !late()) return false;
          RECT lr{};
          GetWindowRect(look, &lr);
          testsupport::XClick(POINT{lr.right - 8, (lr.top + lr.bottom) / 2});
          next(1);
          return false;
        }
        case 1: {  // the list opened: its rows on the skin's colours
          if (ci.hwndList == nullptr || !IsWindowVisible(ci.hwndList)) return late() ? (fault = "the list did not open", true) : false;
          int w = 0, h = 0;
          const std::vector<uint32_t> rows = ScreenClient(ci.hwndList, w, h);
          int system = 0, skinned = 0, selected = 0;
          for (int y = 0; y < h; ++y) {
            const uint32_t p = rows[size_t(y * w + w - 3)];
            system += p == sysWindow || p == sysHighlight;
            skinned += p == listBg;
            selected += p == selection;
          }
          if ((system > 0 || selected == 0) && !late()) return false;
          EXPECT_EQ(system, 0) << "rows in the system's window or highlight colour";
          EXPECT_GT(skinned, 0);
          EXPECT_GT(selected, 0) << "the chosen row in the skin's selection";
          listChecked = true;
          opened = int(SendMessageA(look, CB_GETCURSEL, 0, 0));
          next(3);
          return false;
        }
        case 3: {  // the closed field's look while the list shows its choice
          if (!settledFace(look) && !late()) return false;
          RECT lr{};
          GetWindowRect(ci.hwndList, &lr);
          testsupport::Xdotool(testsupport::MoveTo(lr.left + 30, lr.bottom - 8));
          next(2);
          return false;
        }
        case 2: {  // the pointer on the last row: the list follows it, the closed field does not
          if (int(SendMessageA(look, CB_GETCURSEL, 0, 0)) == opened) return late() ? (fault = "the pointer moved nothing", true) : false;
          // The field painted again now (Wine repaints it with the list's selection when it is next asked to).
          // The X screen shows a repaint of the field late, and for a moment what the list's opening left there:
          // the field must come back to its look with the list opened (a field that took the selection would
          // stay so while the pointer stays on the last row).
          RedrawWindow(look, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
          int w = 0, h = 0;
          const std::vector<uint32_t> face = ScreenClient(look, w, h);
          const int text = (ci.rcButton.left > 0 ? ci.rcButton.left : w) - 2;
          int changed = 0;
          // Inside the field's frame (the frame shows whether the pointer is over the combo).
          for (int y = 4; y < h - 4 && w == faceW && h == faceH; ++y)
            for (int x = 4; x < text - 2; ++x) changed += face[size_t(y * w + x)] != faceOpened[size_t(y * w + x)];
          if (changed > 0 && !late()) return false;
          EXPECT_EQ(changed, 0) << "pixels of the closed field changed while the pointer ran over the list";
          faceChecked = true;
          SendMessageA(look, CB_SHOWDROPDOWN, FALSE, 0);
          PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
          return true;
        }
      }
      return true;
    });
    EXPECT_EQ(fault, "");
    EXPECT_EQ(fieldShown, editFocused) << std::hex << fieldShown << " for the focused File name field";
    EXPECT_TRUE(listChecked);
    EXPECT_TRUE(faceChecked);
    EXPECT_FALSE(ModalDriver::forced);
  }
}

// The "File name" field after the dialog is sized with its grip (the real mouse), in a program's skin: what is
// typed shows, and its frame is drawn all round, the grown part too (the field and the combo boxes around it
// are moved while the dialog holds their repaints: they paint once it lets go).
TEST(DialogHook, TheFileNameFieldShowsItsTextAndFrameAfterTheFileDialogIsSized) {
  StoredSkin skin("spring_willow.asz");
  Owner owner;
  // The pixels of the field's text (unlike its background at its right end); the black ones of the frame of the
  // combo box that holds it.
  auto ink = [](HWND name, int& black) {
    RECT e{}, c{};
    GetWindowRect(name, &e);
    GetWindowRect(GetParent(GetParent(name)), &c);
    const uint32_t bg = testsupport::ScreenPixel(e.right - 2, (e.top + e.bottom) / 2);
    int n = 0;
    for (int y = e.top; y < e.bottom; ++y)
      for (int x = e.left; x < e.left + 60; ++x) n += testsupport::ScreenPixel(x, y) != bg;
    black = 0;
    for (int x = c.left; x < c.right; ++x)
      black += (testsupport::ScreenPixel(x, c.top) == 0) + (testsupport::ScreenPixel(x, c.bottom - 1) == 0);
    for (int y = c.top; y < c.bottom; ++y) black += testsupport::ScreenPixel(c.right - 1, y) == 0;
    return n;
  };
  int stage = 0, before = 0, after = 0, black = -1;
  DWORD since = GetTickCount();
  RECT first{}, last{};
  char text[16] = {};
  ShowFileOpenDialog(owner.Handle(), [&](HWND d) {
    HWND name = reinterpret_cast<HWND>(SendMessageA(GetDlgItem(d, 0x47c), CBEM_GETEDITCONTROL, 0, 0));
    const bool late = GetTickCount() - since > 20000;
    if (stage == 0) {  // "abc" shows in the focused field; the grip dragged by +60,+40
      if ((name == nullptr || GetFocus() != name) && !late) return false;
      if (GetWindowTextLengthA(name) == 0)
        for (char c : std::string("abc")) SendMessageA(name, WM_CHAR, WPARAM(c), 1);
      if ((before = ink(name, black)) < 20 && !late) return false;
      RECT g{};
      GetWindowRect(SizeGripOf(d), &g);
      GetWindowRect(d, &first);
      const POINT p{(g.left + g.right) / 2, (g.top + g.bottom) / 2};
      testsupport::Xdotool(testsupport::MoveTo(p) + " sleep 0.2 mousedown 1 sleep 0.2 " + testsupport::MoveTo(p.x + 30, p.y + 20) +
                           " sleep 0.2 " + testsupport::MoveTo(p.x + 60, p.y + 40) + " sleep 0.3 mouseup 1");
      stage = 1;
    } else if (stage == 1) {  // sized and steady: "de" typed
      RECT now{};
      GetWindowRect(d, &now);
      const bool moving = !EqualRect(&now, &last) || GetCapture() != nullptr || now.right - first.right < 60;
      last = now;
      if (moving && !late) return false;
      SetFocus(name);
      for (char c : std::string("de")) SendMessageA(name, WM_CHAR, WPARAM(c), 1);
      stage = 2;
    } else {  // the whole text shows, in a whole frame
      GetWindowTextA(name, text, int(sizeof text));
      if (((after = ink(name, black)) <= before || black > 0) && !late) return false;
      PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
      return true;
    }
    since = GetTickCount();
    return false;
  });
  EXPECT_EQ(std::string(text), "abcde");
  EXPECT_GT(after, before) << "the typed text does not show after the resize";
  EXPECT_EQ(black, 0) << "black edges in the field's frame";
  EXPECT_FALSE(ModalDriver::forced);
}

#endif

}  // namespace
