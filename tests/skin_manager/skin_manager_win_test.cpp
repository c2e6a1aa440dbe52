// The skin manager on real windows (Windows build, run under Wine): the default manager and its hook on the
// application window, a skin change as shown forms receive it, system colours while a skin is applied, blocks
// from an outside skin editor, commands from another thread, graphic controls painted into a device context,
// failed loads, and 200 switches against the leak ledger and the thread's window count.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "gui/gui.h"
#include "gui/syscolors.h"
#include "skin/manager/skinchange.h"
#include "skin/manager/skinsyscolors.h"
#include "skin/manager/svclutils.h"
#include "skin/pixels/gdi_ledger.h"
#include "tests/skin_manager/manager_env.h"
#include "tests/skin_manager/probe_form.h"
#include "tests/support/win_screen.h"

namespace {

using namespace skin;
using namespace skintest;
using testsupport::PumpFor;
using testsupport::PumpUntil;

// The system seam of the tests: the real system's answers, but the library's message boxes are recorded
// instead of shown (a modal box would stop the test) and layered windows are available.
struct TestSystem : PortableSkinSystem {
  TestSystem() { layeredWindows = true; }
  uint32_t SysColor(int index) override { return GetSysColor(index); }
  int32_t SystemMetric(int index) override { return GetSystemMetrics(index); }
};

using testsupport::ThreadWindowCount;

struct ShownForms {
  std::vector<gui::TCustomForm*> list;
  ProbeForm* Add(const std::string& name, bool skinned, int x) {
    auto* f = new ProbeForm(gui::Application, name, skinned, nullptr);
    f->SetBounds(x, 40, 220, 160);
    f->SetCaption(name);
    f->Show();
    list.push_back(f);
    return f;
  }
  ~ShownForms() {
    for (auto it = list.rbegin(); it != list.rend(); ++it) gui::Free(*it);
  }
};

std::vector<uint8_t> PreviewBlock(const std::string& name, const std::string& directory, const std::string& options) {
  std::vector<uint8_t> block(SkinPreviewDataSize, 0);
  block[1] = 0xA4;
  std::memcpy(block.data() + SkinPreviewNameOffset, name.data(), name.size());
  std::memcpy(block.data() + SkinPreviewDirectoryOffset, directory.data(), directory.size());
  std::memcpy(block.data() + SkinPreviewOptionsOffset, options.data(), options.size());
  return block;
}

LRESULT SendCopyData(WPARAM w, const std::vector<uint8_t>& data, size_t size) {
  COPYDATASTRUCT cds{0, DWORD(size), const_cast<uint8_t*>(data.data())};
  return SendMessageA(gui::Application->Handle(), WM_COPYDATA, w, reinterpret_cast<LPARAM>(&cds));
}

struct ManagerWinTest : ::testing::Test {
  ManagerWinTest() {
    gui::Application->OnException = [this](gui::TObject*, const std::string& message) { exceptions.push_back(message); };
  }
  ~ManagerWinTest() override { gui::Application->OnException = nullptr; }
  std::vector<std::string> exceptions;
};

TEST_F(ManagerWinTest, TheFirstManagerIsTheDefaultAndTakesTheEditorsBlocks) {
  TestSystem sys;
  ManagerEnv first(sys);
  ManagerEnv second(sys);
  EXPECT_TRUE(first.m->IsDefault());
  EXPECT_FALSE(second.m->IsDefault());
  ShownForms forms;
  ProbeForm* skinned = forms.Add("Skinned", true, 40);

  // Blocks that are short, badly tagged or unterminated change nothing (and are still taken as handled).
  const std::string options = FixtureOptionsText();
  // The editor sends the description and the directory of the skin's image files.
  testsupport::TempDir editor;
  std::vector<skin::PackedSkinMember> images = FixtureMembers();
  images.erase(images.begin());  // "Options.dat"
  std::filesystem::create_directories(editor.path() / "Preview");
  for (const auto& f : images) editor.write("Preview/" + f.Name, f.Data);
  const std::vector<uint8_t> good = PreviewBlock("Preview", editor.path().string(), options);
  std::vector<uint8_t> badMagic = good, unterminated = good;
  badMagic[0] = 1;
  std::memset(unterminated.data() + SkinPreviewNameOffset, 'x', SkinPreviewNameSize);
  SendCopyData(7, good, good.size() - 1);
  SendCopyData(6, good, good.size());
  SendCopyData(7, badMagic, badMagic.size());
  SendCopyData(7, unterminated, unterminated.size());
  PumpFor(100);
  EXPECT_EQ(first.m->ReceivedSkin[1], 0);
  EXPECT_EQ(first.m->SkinName(), "");
  EXPECT_EQ(skinned->Count(AC_SKINLOADED), 0);

  // A whole block: the default manager takes it, loads it in preview mode and applies it when the posted
  // command arrives.
  SendCopyData(7, good, good.size());
  EXPECT_EQ(first.m->SkinName(), "");  // not yet: the command is posted
  PumpUntil([&] { return first.m->SkinName() == "Preview"; });
  EXPECT_EQ(first.m->SkinName(), "Preview");
  EXPECT_EQ(first.m->SkinData().Active, 1);
  EXPECT_EQ(second.m->ReceivedSkin[1], 0);
  EXPECT_EQ(skinned->Count(AC_SKINLOADED), 1);
  EXPECT_TRUE(exceptions.empty());
}

TEST_F(ManagerWinTest, AHiddenMainFormLeavesThroughTheHideAnimation) {
  // A window-position change that hides the skinned main form, while minimizing is animated: the form is flagged
  // as minimized by the library, its border window gets its region, the form goes nearly opaque and hidden, and
  // the hide animation runs; any other change is left to the system.
  struct Case {
    const char* what;
    UINT flags;
    bool animated;
    uint32_t time;
    bool minimizing;
    bool runs;
  };
  const Case cases[] = {
      {"hidden", SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE, true, 200, false, true},
      {"moved", SWP_NOSIZE, true, 200, false, false},
      {"minimizing not animated", SWP_HIDEWINDOW, false, 200, false, false},
      {"an animation of no time", SWP_HIDEWINDOW, true, 0, false, false},
      {"already minimizing", SWP_HIDEWINDOW, true, 200, true, false},
  };
  TacManagerServices& services = ManagerServices();
  const TacManagerServices saved = services;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    TestSystem sys;
    ManagerEnv e(sys);
    e.Store("Skin", Pack(FixtureMembers()));
    e.m->SetSkinName("Skin");
    e.m->AnimEffects.Minimizing.Active = k.animated;
    e.m->AnimEffects.Minimizing.Time = k.time;
    ShownForms forms;
    ProbeForm* main = forms.Add("Main", true, 40);
    Log log;
    main->provider().log = &log;
    main->provider().MinimizingFlag = k.minimizing ? 1 : 0;
    gui::Application->SetMainForm(main);
    std::vector<std::string> calls;
    services.SetWindowAlpha = [&](HWND w, uint8_t alpha) {
      calls.push_back(std::string(w == main->WindowHandle() ? "main" : "other") + " alpha " + std::to_string(alpha));
    };
    services.AnimHideForm = [&](TacFormProvider& p) {
      calls.push_back(std::string(&p == &main->provider() ? "main" : "other") + " hidden " +
                      (IsWindowVisible(main->WindowHandle()) ? "visible" : "invisible"));
    };
    WINDOWPOS pos{};
    pos.hwnd = main->WindowHandle();
    pos.flags = k.flags;
    gui::TMessage m{WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos), 0};
    EXPECT_FALSE(e.m->AppHook(m));
    if (k.runs) {
      EXPECT_EQ(log, (Log{"Main:border-region"}));
      EXPECT_EQ(calls, (std::vector<std::string>{"main alpha 254", "main hidden invisible"}));
      EXPECT_EQ(main->provider().MinimizingFlag, 1);
      EXPECT_EQ(main->provider().MinimizedByLibrary, 1);
    } else {
      EXPECT_TRUE(log.empty());
      EXPECT_TRUE(calls.empty());
      EXPECT_TRUE(IsWindowVisible(main->WindowHandle()));
      EXPECT_EQ(main->provider().MinimizedByLibrary, 0);
    }
    gui::Application->SetMainForm(nullptr);
    services = saved;
  }
}

TEST_F(ManagerWinTest, SteppingThroughTheStoredSkinsAndSwitchingOff) {
  TestSystem sys;
  ManagerEnv e(sys);
  const std::vector<std::string> names = {"Alpha", "Beta", "Gamma"};
  for (size_t i = 0; i < names.size(); ++i) e.Store(names[i], ColouredFixture(0x101010 * uint32_t(i + 1), 0x303030));
  ShownForms forms;
  ProbeForm* skinned = forms.Add("Skinned", true, 40);
  ProbeForm* plain = forms.Add("Plain", false, 280);
  auto* edit = new gui::TEdit(plain);
  edit->SetParent(plain);
  ASSERT_TRUE(skinned->HandleAllocated() && plain->HandleAllocated());
  Log events;
  auto note = [&events](const char* name) { return [&events, name](TsSkinManager&) { events.push_back(name); }; };
  e.m->OnBeforeChange = note("before");
  e.m->OnSkinLoading = note("loading");
  e.m->OnActivate = note("activate");
  e.m->OnAfterChange = note("after");
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    events.clear();
    skinned->received.clear();
    plain->received.clear();
    e.m->SetSkinName(name);
    EXPECT_EQ(e.m->SkinName(), name);
    EXPECT_EQ(events, (Log{"before", "loading", "activate", "after"}));
    // Through their windows: the skinned form once as a skinned form, the plain one and its edit's parent chain.
    EXPECT_EQ(skinned->Count(AC_SKINLOADED), 1);
    EXPECT_EQ(skinned->Count(AC_SKINREFRESH), 1);
    EXPECT_EQ(plain->Count(AC_SKINLOADED), 1);
    EXPECT_EQ(plain->Count(AC_SKINREFRESH), 1);
    EXPECT_EQ(skinned->provider().StateFlags, 0u);
  }
  EXPECT_EQ(e.m->HooksInstalled, 1);
  e.m->SetActive(false);
  e.m->SetActive(false);
  EXPECT_EQ(skinned->Count(AC_SKINREMOVED), 1);
  EXPECT_EQ(plain->Count(AC_SKINREMOVED), 1);
  EXPECT_EQ(e.m->HooksInstalled, 0);
  EXPECT_TRUE(exceptions.empty());
}

TEST_F(ManagerWinTest, ASystemColourReadsTheSkinsValueWhileApplied) {
  TestSystem sys;
  ManagerEnv e(sys);
  const uint32_t skinEdit = 0x2468AC;
  e.Store("Coloured", ColouredFixture(skinEdit, 0x506070));
  e.m->SetChangeSysColors(true);
  ShownForms forms;
  ProbeForm* form = forms.Add("Edits", false, 40);
  auto* edit = new gui::TEdit(form);
  edit->SetParent(form);
  edit->SetBounds(10, 10, 150, 24);
  ASSERT_TRUE(edit->HandleAllocated());
  const COLORREF systemWindow = GetSysColor(COLOR_WINDOW);
  ASSERT_NE(systemWindow, skinEdit);

  // The colour an edit is painted with: the background its parent answers to WM_CTLCOLOREDIT.
  auto editBackground = [&] {
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageA(form->WindowHandle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(edit->WindowHandle()));
    const COLORREF c = GetBkColor(dc);
    DeleteDC(dc);
    return c;
  };
  // What the edit shows on the screen, away from its text and border, once it shows `expected` (or after 5 s).
  auto editPixel = [&](COLORREF expected) {
    edit->SetText("");
    RedrawWindow(edit->WindowHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT r;
    GetWindowRect(edit->WindowHandle(), &r);
    const auto shown = [&] { return testsupport::ScreenPixel(r.right - 12, (r.top + r.bottom) / 2); };
    PumpUntil([&] { return shown() == expected; });
    return shown();
  };

  EXPECT_EQ(editBackground(), systemWindow);
  const ledger::Snapshot before = ledger::Take();
  e.m->SetSkinName("Coloured");
  EXPECT_EQ(gui::GetSysColor(COLOR_WINDOW), skinEdit);
  EXPECT_EQ(editBackground(), skinEdit);
  EXPECT_EQ(editPixel(skinEdit), skinEdit);
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), systemWindow);  // the system itself is untouched
  EXPECT_EQ(gui::GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNFACE));
  // One brush per index per skin.
  HBRUSH brush = gui::GetSysColorBrush(COLOR_WINDOW);
  EXPECT_EQ(gui::GetSysColorBrush(COLOR_WINDOW), brush);
  EXPECT_EQ(SkinSysColorBrushCount(), 1);
  LOGBRUSH lb{};
  GetObjectA(brush, sizeof lb, &lb);
  EXPECT_EQ(lb.lbColor, skinEdit);
  testsupport::SaveWindowPicture(form->WindowHandle(), "artefacts", "skin_manager_system_colours");

  e.m->SetActive(false);
  EXPECT_EQ(gui::GetSysColor(COLOR_WINDOW), systemWindow);
  EXPECT_EQ(editBackground(), systemWindow);
  EXPECT_EQ(editPixel(systemWindow), systemWindow);
  EXPECT_EQ(SkinSysColorBrushCount(), 0);
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");  // hook and brush gone with the skin
}

TEST_F(ManagerWinTest, CommandsCarryingAddressesAreRefusedFromAnotherThread) {
  ShownForms forms;
  ProbeForm* form = forms.Add("Receiver", true, 40);
  int accepted = 0, refused = 0;
  form->onCommand = [&](uint16_t, gui::TMessage& m) { (AcceptSkinCommand(m) ? accepted : refused)++; };
  int index = -1;
  HWND h = form->WindowHandle();
  SendLibraryCommand(h, AC_GETSKININDEX, reinterpret_cast<LPARAM>(&index));
  SendLibraryCommand(h, AC_REPAINT, 0);
  EXPECT_EQ(accepted, 2);
  std::thread other([h, &index] {
    SendMessageA(h, WM_SKINCOMMAND, SkinCommandWParam(AC_GETSKININDEX), reinterpret_cast<LPARAM>(&index));
    SendMessageA(h, WM_SKINCOMMAND, SkinCommandWParam(AC_REPAINT), 0);
  });
  while (refused + accepted < 4) {
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(1);
  }
  other.join();
  EXPECT_EQ(refused, 1);
  EXPECT_EQ(accepted, 3);
}

// While this thread answers a message of another thread, the commands that it sends itself (a repaint asking
// for backgrounds meanwhile) are still its own: through each of the library's senders they are taken.
TEST_F(ManagerWinTest, CommandsThisThreadSendsWhileAnsweringAnotherThreadAreTaken) {
  ShownForms forms;
  ProbeForm* form = forms.Add("Receiver", true, 40);
  HWND h = form->WindowHandle();
  int index = -1;
  std::vector<std::string> taken;
  form->onCommand = [&](uint16_t code, gui::TMessage& m) {
    if (code == AC_REPAINT) {  // from the other thread
      SendLibraryCommand(h, AC_GETSKININDEX, reinterpret_cast<LPARAM>(&index));
      SendLibraryCommandToControl(form, AC_GETCONTROLRECT, reinterpret_cast<LPARAM>(&index));
    } else {
      taken.push_back(CommandName(code) + (AcceptSkinCommand(m) ? " taken" : " refused"));
    }
  };
  std::atomic<bool> done{false};
  std::thread other([&] {
    SendMessageA(h, WM_SKINCOMMAND, SkinCommandWParam(AC_REPAINT), 0);
    done = true;
  });
  while (!done) {
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(1);
  }
  other.join();
  EXPECT_EQ(taken, (std::vector<std::string>{CommandName(AC_GETSKININDEX) + " taken",
                                             CommandName(AC_GETCONTROLRECT) + " taken"}));
}

// A provider of a hooked window: a plain popup window that records the library commands it receives.
struct HookedProvider : TacProvider {
  HWND window = nullptr;
  std::vector<uint16_t> got;
  std::function<void()> onCommand;
  int* freed;
  explicit HookedProvider(int* freedCount) : freed(freedCount) {
    static const bool registered = [] {
      WNDCLASSA wc{};
      wc.lpfnWndProc = [](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
        auto* self = reinterpret_cast<HookedProvider*>(GetWindowLongPtrA(h, GWLP_USERDATA));
        if (msg == WM_SKINCOMMAND && self) {
          self->got.push_back(SkinCommandCode(w));
          if (self->onCommand) self->onCommand();
          return 0;
        }
        return DefWindowProcA(h, msg, w, l);
      };
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = "HookedProviderTest";
      return RegisterClassA(&wc) != 0;
    }();
    (void)registered;
    window = CreateWindowExA(WS_EX_TOOLWINDOW, "HookedProviderTest", "", WS_POPUP | WS_VISIBLE, 600, 500, 60, 40,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~HookedProvider() override {
    DestroyWindow(window);
    ++*freed;
  }
  HWND AdapterWindow() const override { return window; }
};

TEST_F(ManagerWinTest, HookedWindowsAreToldAndFreedWithTheHooks) {
  TestSystem sys;
  ManagerEnv e(sys);
  e.Store("One", Pack(FixtureMembers()));
  int created = 0;
  ManagerServices().CBTHookProc = [&created](int code, WPARAM, LPARAM, LRESULT&) {
    created += code == HCBT_CREATEWND;
    return false;
  };
  e.m->SetSkinName("One");
  ASSERT_NE(ProviderList(), nullptr);
  int freed = 0;
  ProviderList()->push_back(std::make_unique<HookedProvider>(&freed));
  ProviderList()->push_back(std::make_unique<HookedProvider>(&freed));
  EXPECT_GE(created, 2);  // the replaceable hook procedure saw the windows made
  auto* first = static_cast<HookedProvider*>((*ProviderList())[0].get());
  // A provider that goes while the others are told is not reached: its entry is emptied, not compacted.
  first->onCommand = [] { (*ProviderList())[1].reset(); };
  gui::TMessage m{WM_SKINCOMMAND, SkinCommandWParam(AC_SKINREFRESH), 0, 0};
  BroadcastToSkinnedForms(m);
  EXPECT_EQ(first->got, (std::vector<uint16_t>{AC_SKINREFRESH}));
  EXPECT_EQ(freed, 1);
  EXPECT_EQ(ProviderList()->size(), 2u);
  first->onCommand = nullptr;

  e.m->SetActive(false);  // the hooks go: every provider freed, then the list
  EXPECT_EQ(freed, 2);
  EXPECT_EQ(ProviderList(), nullptr);
  const int before = created;
  HWND later = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(later);
  EXPECT_EQ(created, before);
  ManagerServices().CBTHookProc = nullptr;
}

TEST_F(ManagerWinTest, WindowHelpers) {
  ShownForms forms;
  ProbeForm* form = forms.Add("Helpers", true, 40);
  form->answerColor = 0x00A0B0C0;
  auto* panel = new gui::TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(10, 10, 100, 60);
  auto* edit = new gui::TEdit(form);
  edit->SetParent(panel);
  HWND f = form->WindowHandle(), p = panel->WindowHandle(), ed = edit->WindowHandle();
  EXPECT_EQ(TopParentWindow(ed), f);
  EXPECT_EQ(TopParentWindow(f), f);
  EXPECT_EQ(GetWndClassName(p), "TPanel");
  EXPECT_EQ(GetWndClassName(nullptr), "");
  EXPECT_EQ(WindowBgColor(f), TColor(0xA0B0C0));
  EXPECT_EQ(WindowBgColor(p), TColor(0));  // a window outside the library answers black
  EXPECT_EQ(WindowBgColor(nullptr), TColor(0xFF00FF));
  RECT client;
  ClientRectInWindow(f, client);
  RECT w;
  GetWindowRect(f, &w);
  POINT origin{0, 0};
  ClientToScreen(f, &origin);
  EXPECT_EQ(client.left, origin.x - w.left);
  EXPECT_EQ(client.top, origin.y - w.top);
  // Direct children only; every child window in Z order.
  form->received.clear();
  std::vector<uint16_t> panelGot;
  gui::TWndMethod previous = panel->WindowProc;
  panel->WindowProc = [&panelGot, previous](gui::TMessage& m) {
    if (m.Msg == WM_SKINCOMMAND) panelGot.push_back(SkinCommandCode(m.WParam));
    previous(m);
  };
  SendToChildWindows(f, gui::TMessage{WM_SKINCOMMAND, SkinCommandWParam(AC_REPAINT), 0, 0});
  RepaintChildWindows(f);
  EXPECT_EQ(panelGot, (std::vector<uint16_t>{AC_REPAINT, AC_FLUSHREPAINT}));
  EXPECT_TRUE(form->received.empty());
  EXPECT_EQ(ProgramSmallIcon(), ProgramSmallIcon());

  // A layered update from a bitmap: the window becomes layered, and nothing is left behind.
  const ledger::Snapshot before = ledger::Take();
  HWND popup = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 700, 100, 50, 50, nullptr,
                               nullptr, nullptr, nullptr);
  {
    Bitmap image(50, 50, pf32bit);
    const TPoint at{700, 100};
    UpdateLayeredFromBitmap(popup, &image, 200, &at);
  }
  EXPECT_TRUE(GetWindowLongA(popup, GWL_EXSTYLE) & WS_EX_LAYERED);
  UpdateLayeredFromBitmap(popup, nullptr, 255, nullptr);  // a snapshot of its own place
  DestroyWindow(popup);
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

// A graphic control that paints a square of its colour in its middle.
class Square : public gui::TGraphicControl {
 public:
  using gui::TGraphicControl::TGraphicControl;
  COLORREF colour = RGB(200, 0, 0);

 protected:
  void Paint() override {
    HDC dc = canvas_.Handle();
    HBRUSH b = CreateSolidBrush(colour);
    RECT r{Width() / 4, Height() / 4, Width() * 3 / 4, Height() * 3 / 4};
    FillRect(dc, &r, b);
    DeleteObject(b);
  }
};

TEST_F(ManagerWinTest, GraphicControlsArePaintedIntoADeviceContext) {
  ShownForms forms;
  ProbeForm* form = forms.Add("Graphic", false, 40);
  form->SetColor(RGB(0, 90, 200));
  auto* square = new Square(form);
  square->SetParent(form);
  square->SetBounds(20, 10, 40, 40);
  auto* hidden = new Square(form);
  hidden->SetParent(form);
  hidden->SetBounds(80, 10, 40, 40);
  hidden->Hide();
  std::vector<uint16_t> hiddenGot;
  hidden->WindowProc = [&hiddenGot](gui::TMessage& m) {
    if (m.Msg == WM_SKINCOMMAND) hiddenGot.push_back(SkinCommandCode(m.WParam));
  };

  const ledger::Snapshot before = ledger::Take();
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 200, 100);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT all{0, 0, 200, 100};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  PaintGraphicControls(dc, form, true, TPoint{5, 5});
  EXPECT_EQ(GetPixel(dc, 5 + 20 + 2, 5 + 10 + 2), RGB(0, 90, 200));  // the control's background under the child
  EXPECT_EQ(GetPixel(dc, 5 + 20 + 20, 5 + 10 + 20), RGB(200, 0, 0));  // the child's own painting
  EXPECT_EQ(GetPixel(dc, 2, 2), RGB(255, 255, 255));                  // outside the children: untouched
  EXPECT_EQ(hiddenGot, (std::vector<uint16_t>{AC_SETTAGBYTE}));

  // An empty clip box: only AC_SETTAGBYTE to the control.
  form->received.clear();
  HRGN empty = CreateRectRgn(0, 0, 0, 0);
  SelectClipRgn(dc, empty);
  PaintGraphicControls(dc, form, true, TPoint{0, 0});
  EXPECT_EQ(form->received, (std::vector<uint16_t>{AC_SETTAGBYTE}));
  DeleteObject(empty);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

TEST_F(ManagerWinTest, AFailedLoadLeavesNoFlagSet) {
  TestSystem sys;
  ManagerEnv e(sys);
  e.Store("Good", Pack(FixtureMembers()));
  e.dir.write("Broken.asz", "not a packed skin");
  e.m->SetExtendedBorders(true);
  ShownForms forms;
  ProbeForm* skinned = forms.Add("Skinned", true, 40);
  e.m->SetSkinName("Good");
  e.m->SetSkinName("Broken");
  EXPECT_EQ(e.m->SkinName(), "Good");
  EXPECT_FALSE(sys.messageBoxes.empty() && sys.errorBoxes.empty());
  EXPECT_EQ(e.m->SkinLoading, 0);
  EXPECT_EQ(e.m->SkinBroadcasting, 0);
  EXPECT_EQ(AnimationInProgress(), 0);
  EXPECT_EQ(skinned->provider().StateFlags, 0u);
  EXPECT_EQ(skinned->provider().SkinChangingByte, 0);
  EXPECT_TRUE(IsWindowVisible(skinned->WindowHandle()));
}

TEST_F(ManagerWinTest, TwoHundredSwitchesLeaveTheLedgerWhereItWas) {
  TestSystem sys;
  ManagerEnv e(sys);
  e.Store("Even", ColouredFixture(0x204060, 0x808080));
  e.Store("Odd", ColouredFixture(0x604020, 0x707070));
  e.m->SetChangeSysColors(true);
  ShownForms forms;
  for (int i = 0; i < 3; ++i) forms.Add("Skinned" + std::to_string(i), true, 20 + i * 60);
  forms.Add("Plain", false, 300);
  e.m->SetSkinName("Even");
  gui::GetSysColorBrush(COLOR_WINDOW);
  PumpFor(50);
  const ledger::Snapshot start = ledger::Take();
  const int windows = ThreadWindowCount();
  for (int i = 0; i < 200; ++i) {
    e.m->SetSkinName(i % 2 ? "Even" : "Odd");
    gui::GetSysColorBrush(COLOR_WINDOW);
    gui::GetSysColorBrush(COLOR_HIGHLIGHT);
    if (i % 50 == 49) {  // switched off and on again now and then: hooks and colours go and come back
      e.m->SetActive(false);
      e.m->SetActive(true);
    }
  }
  e.m->SetSkinName("Even");
  SkinSysColorsChanged();
  gui::GetSysColorBrush(COLOR_WINDOW);
  PumpUntil([&] { return ledger::Difference(start, ledger::Take()).empty() && ThreadWindowCount() == windows; });
  EXPECT_EQ(ledger::Difference(start, ledger::Take()), "");
  EXPECT_EQ(ThreadWindowCount(), windows);
  EXPECT_TRUE(exceptions.empty());
}

}  // namespace
