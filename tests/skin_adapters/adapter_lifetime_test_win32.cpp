// Window adapters on real windows (Windows build, under Wine): attaching and detaching put every window back as it
// was; a procedure installed over the adapter's, before or after it goes, loses no message and never reaches a
// freed adapter; adapters go only when no adapter procedure runs.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "skin/adapters/acmainwnd.h"
#include "skin/adapters/acscrollwnd.h"
#include "skin/manager/skincommands.h"
#include "skin/painters/acglow.h"
#include "skin/pixels/gdi_ledger.h"
#include "tests/skin_adapters/adapter_env_win32.h"
#include "tests/skin_adapters/scroll_skin.h"

namespace {

using namespace skin;
using namespace adaptertest;

constexpr UINT kProbe = WM_APP + 7;

LRESULT AskAdapter(HWND h) { return SendMessageA(h, WM_SKINCOMMAND, SkinCommandWParam(AC_GETADAPTER), 0); }

bool HasAdapterProps(HWND h) {
  return GetPropA(h, AdapterPropName) != nullptr || GetPropA(h, AdapterOriginalPropName) != nullptr;
}

struct LifetimeTest : ::testing::Test {
  TestSystem sys;
  std::unique_ptr<TsSkinManagerComponent> manager = std::make_unique<TsSkinManagerComponent>(nullptr, sys);
  HWND host = MakeHost(20, 20, 420, 300);
  LifetimeTest() { ApplyScrollSkin(*manager); }
  ~LifetimeTest() override {
    DestroyWindow(host);
    Pump();
  }
};

TEST_F(LifetimeTest, AThousandCyclesPutEveryClassBack) {
  const std::vector<std::pair<std::string, DWORD>> classes = {
      {"Button", BS_PUSHBUTTON},         {"Edit", ES_MULTILINE | WS_VSCROLL}, {"Static", SS_LEFT},
      {"ListBox", WS_VSCROLL},           {"ComboBox", CBS_DROPDOWN},         {"RichEdit20W", ES_MULTILINE},
      {"msctls_updown32", UDS_ARROWKEYS}, {"SysListView32", LVS_REPORT},
  };
  const ledger::Snapshot before = ledger::Take();
  const int windowsBefore = ThreadWindowCount();
  for (const auto& [cls, style] : classes) {
    SCOPED_TRACE(cls);
    HWND h = MakeChild(host, cls, style, 10, 10, 200, 120, "text");
    ASSERT_NE(h, nullptr);
    const WNDPROC original = WindowProcOf(h);
    const bool unicode = IsWindowUnicode(h) != FALSE;
    RECT client;
    GetClientRect(h, &client);
    for (int i = 0; i < 1000; ++i) {
      // Every other cycle with the adapter of windows with a border and scroll bars, which also recalculates the
      // frame when it comes and when it goes.
      TacMainWnd* a = i % 2 == 0 ? NewAdapter<TacMainWnd>(h, nullptr, manager.get(), TacSkinParams{}, false)
                                 : NewAdapter<TacEditWnd>(h, nullptr, manager.get(), TacSkinParams{}, true);
      if (i == 1 && (GetWindowLongA(h, GWL_STYLE) & WS_VSCROLL)) {  // skinned: the skin's bar is there
        auto* e = static_cast<TacEditWnd*>(a);
        EXPECT_TRUE(e->VertBar && e->VertBar->Visible);
      }
      if (i == 0) {
        EXPECT_EQ(AdapterOfWindow(h), a);
        EXPECT_NE(WindowProcOf(h), original);
        EXPECT_EQ(AskAdapter(h), reinterpret_cast<LRESULT>(a));
        EXPECT_EQ(IsWindowUnicode(h) != FALSE, unicode);  // the window keeps its character set
      }
      FreeAdapter(a);
      EXPECT_EQ(a, nullptr);
      RECT now;
      GetClientRect(h, &now);
      if (WindowProcOf(h) != original || HasAdapterProps(h) || now.right != client.right || now.bottom != client.bottom) {
        ADD_FAILURE() << "cycle " << i << " left the window changed";
        break;
      }
    }
    EXPECT_EQ(AskAdapter(h), 0);
    DestroyWindow(h);
  }
  Pump();
  EXPECT_EQ(PendingDeferredFrees(), 0u);
  EXPECT_EQ(PoisonedAdapterCalls(), 0u);
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
  EXPECT_EQ(ThreadWindowCount(), windowsBefore);
}

// A window class of the test whose procedure counts what it receives (the "original" procedure).
std::map<UINT, int>& Received() {
  static std::map<UINT, int> r;
  return r;
}
LRESULT CALLBACK CountingProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  ++Received()[msg];
  return DefWindowProcA(h, msg, w, l);
}
HWND MakeCountingChild(HWND host) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "AdapterCountingChild";
    RegisterClassA(&wc);
    registered = true;
  }
  Received().clear();
  return CreateWindowExA(0, "AdapterCountingChild", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, host, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

// Another library's subclass on top of the adapter's.
struct Foreign {
  static inline WNDPROC previous = nullptr;
  static inline int seen = 0;
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg == kProbe) ++seen;
    return CallWindowProcA(previous, h, msg, w, l);
  }
  static void Install(HWND h) {
    seen = 0;
    previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
  }
  static void Remove(HWND h) { SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous)); }
};

TEST_F(LifetimeTest, AForeignSubclassOnTopLosesNoMessageAndNeverReachesAFreedAdapter) {
  struct Case {
    const char* name;
    bool foreignLeavesFirst;  // the other library takes its subclass out before the window goes
    bool reattach;            // a new adapter is attached while the first one's hook still sits in the chain
  };
  for (const Case c : {Case{"window destroyed under the foreign subclass", false, false},
                       Case{"foreign subclass leaves first", true, false},
                       Case{"new adapter on the kept hook", false, true}}) {
    SCOPED_TRACE(c.name);
    HWND h = MakeCountingChild(host);
    const WNDPROC original = WindowProcOf(h);
    TacMainWnd* a = NewAdapter<TacMainWnd>(h, nullptr, manager.get(), TacSkinParams{}, false);
    Foreign::Install(h);
    // Detaching cannot put the original back while the foreign procedure is on top...
    TacMainWnd* variable = a;
    EXPECT_FALSE(DetachWindow(h, true, false, variable));
    EXPECT_EQ(variable, nullptr);
    EXPECT_EQ(PendingDeferredFrees(), 0u);  // ...yet the adapter is freed at once: nothing reaches it any more
    EXPECT_EQ(GetPropA(h, AdapterPropName), nullptr);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(h, GWLP_WNDPROC)), &Foreign::Proc);
    for (int i = 0; i < 5; ++i) SendMessageA(h, kProbe, 0, 0);
    EXPECT_EQ(Foreign::seen, 5);
    EXPECT_EQ(Received()[kProbe], 5);
    EXPECT_EQ(AskAdapter(h), 0);

    if (c.reattach) {
      TacMainWnd* b = NewAdapter<TacMainWnd>(h, nullptr, manager.get(), TacSkinParams{}, false);
      EXPECT_EQ(AskAdapter(h), reinterpret_cast<LRESULT>(b));
      SendMessageA(h, kProbe, 0, 0);
      EXPECT_EQ(Received()[kProbe], 6);
      EXPECT_EQ(Foreign::seen, 6);
      FreeAdapter(b);
      EXPECT_EQ(AskAdapter(h), 0);
    }
    if (c.foreignLeavesFirst) {
      Foreign::Remove(h);
      SendMessageA(h, kProbe, 0, 0);  // the shared procedure, on top again with no adapter, takes itself out
      EXPECT_EQ(WindowProcOf(h), original);
      EXPECT_FALSE(HasAdapterProps(h));
    }
    const int probes = Received()[kProbe];
    SendMessageA(h, kProbe, 0, 0);
    EXPECT_EQ(Received()[kProbe], probes + 1);
    DestroyWindow(h);
    EXPECT_EQ(Received()[WM_DESTROY], 1);
    EXPECT_EQ(Received()[WM_NCDESTROY], 1);
  }
  EXPECT_EQ(PoisonedAdapterCalls(), 0u);
}

TEST_F(LifetimeTest, TheWindowsDestructionDetachesTheAdapterAndReachesTheOriginalOnce) {
  HWND h = MakeCountingChild(host);
  TacMainWnd* a = NewAdapter<TacMainWnd>(h, nullptr, manager.get(), TacSkinParams{}, false);
  DestroyWindow(h);
  EXPECT_EQ(Received()[WM_DESTROY], 1);
  EXPECT_EQ(Received()[WM_NCDESTROY], 1);
  EXPECT_EQ(a->Destroyed, 1);
  EXPECT_EQ(a->OldWndProc, nullptr);
  FreeAdapter(a);  // its owner frees it afterwards
  EXPECT_EQ(PendingDeferredFrees(), 0u);

  // A destruction message that reaches an adapter already detached goes to the original procedure once; the
  // window is never sent it again (which would come straight back).
  HWND w = MakeCountingChild(host);
  TacMainWnd* b = NewAdapter<TacMainWnd>(w, nullptr, manager.get(), TacSkinParams{}, false);
  TacMainWnd* variable = b;
  EXPECT_TRUE(DetachWindow(w, false, false, variable));
  for (UINT msg : {UINT(WM_DESTROY), UINT(WM_NCDESTROY)}) {
    gui::TMessage m{msg, 0, 0, 0};
    b->WndProc(m);
  }
  EXPECT_EQ(Received()[WM_DESTROY], 1);
  EXPECT_EQ(Received()[WM_NCDESTROY], 1);
  FreeAdapter(b);
  DestroyWindow(w);
  EXPECT_EQ(Received()[WM_DESTROY], 2);
}

TEST_F(LifetimeTest, TheControlsGlowGoesAtOnceWithItsWindow) {
  // The EDIT section of the fixture gets a glow image.
  LoadedSkin& skin = manager->Skin();
  const int32_t edit = SkinManagerGetSectionIndex(skin, "EDIT");
  ASSERT_GE(edit, 0);
  skin.Sections[size_t(edit)].GlowSize = 4;
  skin.Sections[size_t(edit)].GlowMargin = 2;
  SkinManagerAddImage(skin, edit, "GLOW0", 0, 1, 1, TRect{24, 24, 48, 48}, 2, "EDIT", manager.get());
  const ledger::Snapshot before = ledger::Take();
  HWND h = MakeChild(host, "Edit", ES_MULTILINE, 40, 40, 120, 60, "glowing", WS_EX_CLIENTEDGE);
  TacSkinParams p;
  p.SkinSection = "EDIT";
  TacMainWnd* a = NewAdapter<TacMainWnd>(h, nullptr, manager.get(), p, false);
  a->SkinData->MouseAbove = 1;
  CommonDataShowGlow(*a->SkinData, false, h, false, 255);
  const int32_t id = a->SkinData->GlowID;
  ASSERT_GE(id, 0);
  HWND glow = static_cast<HWND>(GlowWindowHandle(id));
  ASSERT_NE(glow, nullptr);
  EXPECT_TRUE(IsWindowVisible(glow));
  DestroyWindow(h);
  EXPECT_EQ(a->SkinData->GlowID, -1);
  EXPECT_EQ(GlowWindowHandle(id), nullptr);
  FreeAdapter(a);
  Pump(50);
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

// An adapter whose window procedure frees it in the middle of a message.
struct SelfFreeing : TacMainWnd {
  void WndProc(gui::TMessage& m) override {
    if (m.Msg == kProbe) {
      TacMainWnd* self = this;
      FreeAdapter(self);
      pendingDuringMessage = PendingDeferredFrees();
      depthDuringMessage = AdapterProcDepth();
      // Still usable until the message returns: the original gets the message.
      CallOriginal(m);
      return;
    }
    TacMainWnd::WndProc(m);
  }
  static inline size_t pendingDuringMessage = 0;
  static inline int depthDuringMessage = 0;
};

TEST_F(LifetimeTest, AnAdapterFreedInsideItsOwnProcedureGoesWhenTheMessageReturns) {
  HWND h = MakeCountingChild(host);
  NewAdapter<SelfFreeing>(h, nullptr, manager.get(), TacSkinParams{}, false);
  const WNDPROC hooked = WindowProcOf(h);
  SendMessageA(h, kProbe, 0, 0);
  EXPECT_EQ(SelfFreeing::pendingDuringMessage, 1u);
  EXPECT_EQ(SelfFreeing::depthDuringMessage, 1);
  EXPECT_EQ(PendingDeferredFrees(), 0u);
  EXPECT_EQ(Received()[kProbe], 1);
  EXPECT_NE(WindowProcOf(h), hooked);
  EXPECT_FALSE(HasAdapterProps(h));
  DestroyWindow(h);
  EXPECT_EQ(Received()[WM_NCDESTROY], 1);
}

// An adapter that throws on a message: the window's original procedure answers instead.
struct Throwing : TacMainWnd {
  void WndProc(gui::TMessage& m) override {
    if (m.Msg == kProbe) throw std::runtime_error("adapter failure");
    TacMainWnd::WndProc(m);
  }
};

TEST_F(LifetimeTest, AnExceptionInAnAdapterFallsBackToTheOriginalProcedure) {
  std::vector<std::string> reported;
  gui::Application->OnException = [&reported](gui::TObject*, const std::string& text) { reported.push_back(text); };
  HWND h = MakeCountingChild(host);
  TacMainWnd* a = NewAdapter<Throwing>(h, nullptr, manager.get(), TacSkinParams{}, false);
  SendMessageA(h, kProbe, 0, 0);
  EXPECT_EQ(Received()[kProbe], 1);
  EXPECT_EQ(reported.size(), 1u);
  FreeAdapter(a);
  DestroyWindow(h);
  gui::Application->OnException = nullptr;
}

TEST_F(LifetimeTest, AControlsWindowProcIsReplacedAndPutBackOrLeftForwarding) {
  auto* form = new gui::TForm(gui::Application);
  form->SetBounds(450, 20, 300, 200);
  form->Show();
  auto* edit = new gui::TEdit(form);
  edit->SetParent(form);
  edit->SetBounds(10, 10, 150, 24);
  HWND h = edit->Handle();
  const WNDPROC windowProc = WindowProcOf(h);
  const auto& originalType = edit->WindowProc.target_type();
  TacSkinParams params;
  params.Control = edit;
  for (int i = 0; i < 200; ++i) {
    TacMainWnd* a = NewAdapter<TacMainWnd>(h, nullptr, manager.get(), params, false);
    EXPECT_EQ(WindowProcOf(h), windowProc);  // the window's own procedure is left alone
    EXPECT_EQ(edit->Perform(WM_SKINCOMMAND, SkinCommandWParam(AC_GETADAPTER), 0), reinterpret_cast<LRESULT>(a));
    FreeAdapter(a);
    if (edit->WindowProc.target_type() != originalType || GetPropA(h, AdapterPropName) != nullptr) {
      ADD_FAILURE() << "cycle " << i;
      break;
    }
  }
  // A WindowProc installed over the adapter's: detaching leaves the adapter's method forwarding to the control.
  TacMainWnd* a = NewAdapter<TacMainWnd>(h, nullptr, manager.get(), params, false);
  int seen = 0;
  gui::TWndMethod previous = edit->WindowProc;
  edit->WindowProc = [&seen, previous](gui::TMessage& m) {
    if (m.Msg == kProbe) ++seen;
    previous(m);
  };
  FreeAdapter(a);
  EXPECT_EQ(PendingDeferredFrees(), 0u);
  edit->SetText("still served");
  EXPECT_EQ(edit->Text(), "still served");
  SendMessageA(h, kProbe, 0, 0);
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(AskAdapter(h), 0);
  gui::Free(form);
  Pump();
  EXPECT_EQ(PoisonedAdapterCalls(), 0u);
}

}  // namespace
