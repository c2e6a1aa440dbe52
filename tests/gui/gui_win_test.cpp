// The component layer on real windows (Windows build, run under Wine): window classes, the message path from
// the window manager to WindowProc, painting of graphic controls on their parent, timers during a modal
// showing and the activation rules.
#include <windows.h>

#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "gui/gui.h"
#include "gui/hintwnd.h"
#include "gui/win32_bridge.h"
#include "platform/colors.h"
#include "tests/support/gui_input.h"
#include "tests/support/win_screen.h"

using namespace gui;
using testsupport::Owned;
using testsupport::PumpFor;
using testsupport::PumpUntil;

namespace {

std::string WindowClass(HWND h) {
  char name[96] = {};
  GetClassNameA(h, name, sizeof(name));
  return name;
}

std::string WindowText(HWND h) {
  char text[256] = {};
  GetWindowTextA(h, text, sizeof(text));
  return text;
}

struct WinFixture : ::testing::Test {
  Owned<TForm> form{new TForm(nullptr)};
  WinFixture() {
    form->SetBounds(40, 40, 420, 320);
    form->SetCaption("Layer test");
  }
  ~WinFixture() override { Application->ModalDriver = nullptr; }
  template <class T>
  T* Add(TWinControl* parent, int l, int t, int w, int h) {
    auto* c = new T(form.p);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    return c;
  }
};

TEST_F(WinFixture, ControlsAreWindowsOfTheStandardClasses) {
  auto* group = Add<TGroupBox>(form.p, 4, 4, 200, 150);
  group->SetCaption("Group");
  auto* edit = Add<TEdit>(group, 8, 20, 100, 21);
  edit->SetText("F4ABC");
  auto* memo = Add<TMemo>(form.p, 210, 4, 200, 60);
  auto* rich = Add<TRichEdit>(form.p, 210, 70, 200, 60);
  auto* button = Add<TButton>(group, 8, 50, 80, 25);
  button->SetCaption("Send");
  auto* check = Add<TCheckBox>(group, 8, 80, 120, 17);
  auto* combo = Add<TComboBox>(group, 8, 100, 120, 21);
  auto* ud = Add<TUpDown>(form.p, 4, 160, 17, 25);
  auto* tb = Add<TTrackBar>(form.p, 30, 160, 150, 30);
  auto* panel = Add<TPanel>(form.p, 210, 140, 100, 40);
  EXPECT_FALSE(edit->HandleAllocated());  // lazily: nothing before the form needs its window
  form->Show();
  ASSERT_TRUE(edit->HandleAllocated());
  EXPECT_EQ(WindowClass(form->Handle()), "TForm");
  EXPECT_EQ(WindowText(form->Handle()), "Layer test");
  EXPECT_STRCASEEQ(WindowClass(group->Handle()).c_str(), "Button");
  EXPECT_EQ(GetWindowLongA(group->Handle(), GWL_STYLE) & 0x0F, BS_GROUPBOX);
  EXPECT_STRCASEEQ(WindowClass(edit->Handle()).c_str(), "Edit");
  EXPECT_EQ(GetParent(edit->Handle()), group->Handle());
  EXPECT_STRCASEEQ(WindowClass(memo->Handle()).c_str(), "Edit");
  EXPECT_TRUE(GetWindowLongA(memo->Handle(), GWL_STYLE) & ES_MULTILINE);
  EXPECT_EQ(WindowClass(rich->Handle()), "RichEdit20A");
  EXPECT_STRCASEEQ(WindowClass(button->Handle()).c_str(), "Button");
  EXPECT_STRCASEEQ(WindowClass(check->Handle()).c_str(), "Button");
  EXPECT_STRCASEEQ(WindowClass(combo->Handle()).c_str(), "ComboBox");
  EXPECT_EQ(WindowClass(ud->Handle()), "msctls_updown32");
  EXPECT_EQ(WindowClass(tb->Handle()), "msctls_trackbar32");
  EXPECT_EQ(WindowClass(panel->Handle()), "TPanel");
  EXPECT_EQ(WindowText(edit->Handle()), "F4ABC");
  EXPECT_EQ(WindowText(button->Handle()), "Send");
  EXPECT_EQ(TWinControl::FromHandle(edit->Handle()), edit);
  // Setters reach the window; the window's state reads back.
  edit->SetText("G0XYZ");
  EXPECT_EQ(WindowText(edit->Handle()), "G0XYZ");
  SetWindowTextA(memo->Handle(), "typed\r\nby hand");
  EXPECT_EQ(memo->Text(), "typed\r\nby hand");
  edit->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(edit->Handle()));
  panel->Hide();
  EXPECT_FALSE(IsWindowVisible(panel->Handle()));
  check->SetChecked(true);
  EXPECT_EQ(SendMessageA(check->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  tb->SetMax(100);
  tb->SetPosition(40);
  EXPECT_EQ(SendMessageA(tb->Handle(), TBM_GETPOS, 0, 0), 40);
  // The bounds follow the window when it is moved from outside.
  SetWindowPos(memo->Handle(), nullptr, 220, 10, 150, 50, SWP_NOZORDER);
  EXPECT_EQ(memo->BoundsRect(), Bounds(220, 10, 150, 50));
}

// A form placed inside a control is a child window of that control, shown there with its own frame, whichever
// window is made first.
TEST_F(WinFixture, AFormInsideAControlIsAChildWindowOfThatControl) {
  for (const bool formFirst : {false, true}) {
    SCOPED_TRACE(formFirst ? "the host form shown first" : "the inner form shown first");
    auto* panel = Add<TPanel>(form.p, 10, 10, 300, 240);
    auto* inner = new TForm(form.p);
    inner->SetBorderStyle(TFormBorderStyle::bsSingle);
    inner->SetParent(panel);
    inner->SetBounds(12, 14, 200, 150);
    if (formFirst) form->Show();
    inner->Show();
    form->Show();
    const LONG style = GetWindowLongA(inner->Handle(), GWL_STYLE);
    EXPECT_EQ(GetParent(inner->Handle()), panel->Handle());
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_TRUE(style & WS_CAPTION);
    POINT at{0, 0};
    ClientToScreen(panel->Handle(), &at);
    RECT r;
    GetWindowRect(inner->Handle(), &r);
    EXPECT_EQ(r.left - at.x, 12);
    EXPECT_EQ(r.top - at.y, 14);
  }
}

TEST_F(WinFixture, AWindowLeadsToItsControlOnlyWhileBothLive) {
  auto* group = Add<TGroupBox>(form.p, 4, 4, 200, 150);
  auto* edit = Add<TEdit>(group, 8, 20, 100, 21);
  auto* button = Add<TButton>(form.p, 8, 170, 80, 25);
  form->Show();
  const HWND groupWnd = group->Handle(), editWnd = edit->Handle(), buttonWnd = button->Handle();
  ASSERT_EQ(TWinControl::FromHandle(editWnd), edit);
  // Destroyed from outside, with its parent: the control forgets the window, and the window its control.
  DestroyWindow(groupWnd);
  EXPECT_FALSE(edit->HandleAllocated());
  EXPECT_EQ(TWinControl::FromHandle(editWnd), nullptr);
  EXPECT_EQ(TWinControl::FromHandle(groupWnd), nullptr);
  // Freed with its control.
  delete button;
  EXPECT_EQ(TWinControl::FromHandle(buttonWnd), nullptr);
  EXPECT_EQ(TWinControl::FromHandle(form->Handle()), form.p);
}

TEST_F(WinFixture, TypedCharactersGoThroughKeyPressToTheRealEdit) {
  auto* memo = Add<TMemo>(form.p, 4, 4, 300, 100);
  int changes = 0;
  memo->OnChange = [&](TObject*) { ++changes; };
  memo->OnKeyPress = [](TObject*, char& k) {
    if (k == '#') k = 0;
  };
  form->Show();
  for (char c : std::string("ab#c\rd")) SendMessageA(memo->Handle(), WM_CHAR, static_cast<unsigned char>(c), 0);
  EXPECT_EQ(memo->Text(), "abc\r\nd");
  EXPECT_EQ(changes, 5);
  memo->SetSelStart(3);
  EXPECT_EQ(memo->SelStart(), 3);
  memo->SetSelText("X");
  EXPECT_EQ(memo->Text(), "abcX\r\nd");
  memo->SetText("set from code");
  EXPECT_EQ(changes, 7);  // the replacement and the multi-line text set from code both report
}

// A run of pieces such as a file's progress ("...12% ...13% ") wraps between its pieces, as typed and as set
// whole.
TEST_F(WinFixture, AMemoBreaksItsLinesAtBlanksOnly) {
  auto* memo = Add<TMemo>(form.p, 4, 4, 332, 199);
  memo->SetScrollBars(TScrollStyle::ssVertical);
  form->Show();
  std::string run = "File transmission:  4096 bytes";
  for (int p = 0; p <= 100; ++p) run += "..." + std::to_string(p) + "% ";
  for (const bool whole : {true, false}) {
    SCOPED_TRACE(whole ? "set whole" : "appended piece by piece");
    if (whole) {
      memo->SetText(run);
    } else {
      memo->SetText("File transmission:  4096 bytes");
      for (int p = 0; p <= 100; ++p) {
        memo->SetSelStart(memo->GetTextLen());
        memo->SetSelText("..." + std::to_string(p) + "% ");
      }
    }
    ASSERT_EQ(memo->Text(), run);
    HWND h = memo->Handle();
    const int lines = int(SendMessageA(h, EM_GETLINECOUNT, 0, 0));
    EXPECT_GT(lines, 5);
    for (int i = 1; i < lines; ++i) {
      const int start = int(SendMessageA(h, EM_LINEINDEX, WPARAM(i), 0));
      EXPECT_EQ(run.compare(size_t(start), 3, "..."), 0) << "line " << i << " starts inside a piece: " << run.substr(size_t(start), 12);
      EXPECT_EQ(run[size_t(start) - 1], ' ') << "line " << i;
    }
  }
}

TEST_F(WinFixture, AReplacedWindowProcSeesTheWindowsMessages) {
  auto* edit = Add<TEdit>(form.p, 4, 4, 100, 21);
  form->Show();
  std::vector<UINT> seen;
  TWndMethod previous = edit->WindowProc;
  edit->WindowProc = [&](TMessage& m) {
    seen.push_back(m.Msg);
    if (m.Msg == WM_GETTEXTLENGTH) {  // answered by the replacement, not by the window
      m.Result = 42;
      return;
    }
    previous(m);
  };
  SendMessageA(edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc"));
  EXPECT_EQ(GetWindowTextLengthA(edit->Handle()), 42);
  InvalidateRect(edit->Handle(), nullptr, TRUE);
  UpdateWindow(edit->Handle());
  auto has = [&](UINT msg) { return std::find(seen.begin(), seen.end(), msg) != seen.end(); };
  EXPECT_TRUE(has(WM_SETTEXT));
  EXPECT_TRUE(has(WM_PAINT));
  edit->WindowProc = previous;
  EXPECT_EQ(GetWindowTextLengthA(edit->Handle()), 3);
}

// A windowed control whose font changes colour only keeps its font (a live handle) and is repainted; another
// change gives the window the new font.
TEST_F(WinFixture, AFontsColourAloneRepaintsTheWindowWithoutGivingItTheFontAgain) {
  auto* edit = Add<TEdit>(form.p, 4, 4, 100, 21);
  auto* rich = Add<TRichEdit>(form.p, 4, 40, 200, 60);
  form->Show();
  PumpFor(100);
  for (TWinControl* c : std::initializer_list<TWinControl*>{edit, rich}) {
    SCOPED_TRACE(c->ClassName());
    std::vector<UINT> seen;
    TWndMethod previous = c->WindowProc;
    c->WindowProc = [&](TMessage& m) {
      seen.push_back(m.Msg);
      previous(m);
    };
    auto count = [&](UINT msg) { return std::count(seen.begin(), seen.end(), msg); };
    c->Font().SetColor(clRed);
    UpdateWindow(c->Handle());
    EXPECT_EQ(count(WM_SETFONT), 0);
    EXPECT_GT(count(WM_PAINT), 0);
    LOGFONTA lf{};
    EXPECT_NE(GetObjectA(c->Font().Handle(), sizeof lf, &lf), 0);  // the handle the window holds lives on
    c->Font().SetHeight(-15);
    EXPECT_EQ(count(WM_SETFONT), 1);
    c->WindowProc = previous;
  }
}

TEST_F(WinFixture, AnExceptionInAHandlerIsReportedAndTheWindowLivesOn) {
  auto* button = Add<TButton>(form.p, 4, 4, 80, 25);
  button->OnClick = [](TObject*) { throw std::runtime_error("handler failed"); };
  std::vector<std::string> reports;
  Application->OnException = [&](TObject*, const std::string& m) { reports.push_back(m); };
  form->Show();
  SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  Application->OnException = nullptr;
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], "handler failed");
  EXPECT_TRUE(IsWindow(button->Handle()));
}

TEST_F(WinFixture, GraphicControlsPaintOnTheirParent) {
  form->SetColor(clWhite);
  auto* label = new TLabel(form.p);
  label->SetParent(form.p);
  label->SetAutoSize(false);
  label->SetBounds(20, 20, 60, 30);
  label->SetColor(clRed);
  auto* speed = new TSpeedButton(form.p);
  speed->SetParent(form.p);
  speed->SetBounds(100, 20, 60, 30);
  speed->SetCaption("Go");
  form->Show();
  const TPoint inLabel = form->ClientToScreen(TPoint{50, 35});
  const TPoint outside = form->ClientToScreen(TPoint{50, 80});
  testsupport::PumpUntil([&] {
    return testsupport::ScreenPixel(inLabel.X, inLabel.Y) == RGB(255, 0, 0) &&
           testsupport::ScreenPixel(outside.X, outside.Y) == RGB(255, 255, 255);
  });
  EXPECT_EQ(testsupport::ScreenPixel(inLabel.X, inLabel.Y), RGB(255, 0, 0));
  EXPECT_EQ(testsupport::ScreenPixel(outside.X, outside.Y), RGB(255, 255, 255));
  // Disabled, its caption is dimmed and reads at 3:1 at least on its face.
  const TPoint corner = form->ClientToScreen(TPoint{100, 20});
  const auto caption = [&] {
    HDC dc = GetDC(nullptr);
    const platform::TColor face = platform::TColor(GetPixel(dc, corner.X + 4, corner.Y + 4));
    double best = 1;
    for (int y = 4; y < 26; ++y)
      for (int x = 4; x < 56; ++x)
        best = std::max(best, platform::ContrastRatio(platform::TColor(GetPixel(dc, corner.X + x, corner.Y + y)), face));
    ReleaseDC(nullptr, dc);
    return best;
  };
  EXPECT_TRUE(testsupport::PumpUntil([&] { return caption() > 10; }, 20000));  // in the text colour
  speed->SetEnabled(false);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return caption() < 10; }, 20000));
  EXPECT_GE(caption(), 3.0);
  speed->SetEnabled(true);
  // A mouse click on the parent window reaches the speed button under it.
  int clicks = 0;
  speed->OnClick = [&](TObject*) { ++clicks; };
  SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(120, 30));
  SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(120, 30));
  EXPECT_EQ(clicks, 1);
}

TEST_F(WinFixture, MenusAreRealMenusWhoseCommandsReachTheItems) {
  auto* menu = new TMainMenu(form.p);
  auto* top = new TMenuItem(form.p);
  top->SetCaption("&Ports");
  menu->Items()->Add(top);
  auto* com = new TMenuItem(form.p);
  com->SetCaption("COM 1");
  top->Add(com);
  int clicks = 0;
  com->OnClick = [&](TObject*) { ++clicks; };
  form->SetMenu(menu);
  form->Show();
  HMENU bar = GetMenu(form->Handle());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(GetMenuItemCount(bar), 1);
  HMENU sub = GetSubMenu(bar, 0);
  ASSERT_NE(sub, nullptr);
  com->SetChecked(true);
  EXPECT_TRUE(GetMenuState(sub, com->Command(), MF_BYCOMMAND) & MF_CHECKED);
  com->SetCaption("COM 1 detected");
  char text[64] = {};
  GetMenuStringA(sub, com->Command(), text, sizeof(text), MF_BYCOMMAND);
  EXPECT_STREQ(text, "COM 1 detected");
  SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(com->Command(), 0), 0);
  EXPECT_EQ(clicks, 1);
  auto* added = new TMenuItem(form.p);
  added->SetCaption("COM 2");
  top->Add(added);
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(GetMenu(form->Handle()), 0)), 2);
}

// A click on a hint window reaches the control below it, whatever window lies between the hint and the window it
// belongs to in the z-order.
TEST_F(WinFixture, AClickOnAHintReachesTheControlBelowIt) {
  auto* button = Add<TButton>(form.p, 20, 20, 200, 40);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  form->Show();
  RECT b{};
  GetWindowRect(button->WindowHandle(), &b);
  ASSERT_TRUE(testsupport::Xdotool(testsupport::MoveTo(b.left + 20, b.top + 20)));
  HWND hint = nullptr;
  WindowBridge::CreateHintWindow("TestHint", [](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
    return msg == WM_NCHITTEST ? HTTRANSPARENT : DefWindowProcA(h, msg, w, l);
  }, &hint);
  ASSERT_NE(hint, nullptr);
  WindowBridge::ShowHintWindow(hint, RECT{b.left + 10, b.top + 10, b.left + 180, b.top + 30});
  Owned<TForm> other{new TForm(nullptr)};
  other->SetBounds(600, 500, 120, 90);
  other->Show();
  SetWindowPos(other->WindowHandle(), hint, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ASSERT_EQ(GetWindow(hint, GW_HWNDNEXT), other->WindowHandle());
  ASSERT_TRUE(testsupport::Xdotool(testsupport::MoveTo(b.left + 40, b.top + 20) + " click 1"));
  EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
  DestroyWindow(hint);
}

TEST_F(WinFixture, TimersRunDuringAModalShowingAndActivationReturnsOnce) {
  Owned<TForm> dialog(new TForm(nullptr));
  dialog->SetBounds(100, 100, 200, 120);
  auto* ticker = new TTimer(form.p);
  ticker->SetInterval(20);
  int ticks = 0;
  ticker->OnTimer = [&](TObject*) { ++ticks; };
  // The dialog closes once the main form's timer has ticked 5 times under it (or after 10 s).
  auto* closer = new TTimer(dialog.p);
  closer->SetInterval(100);
  closer->SetEnabled(false);
  int before = 0;
  DWORD opened = 0;
  closer->OnTimer = [&](TObject*) {
    if (ticks - before >= 5 || GetTickCount() - opened >= 10000) dialog->SetModalResult(mrOk);
  };
  std::vector<std::string> log;
  form->OnActivate = [&](TObject*) { log.push_back("main"); };
  dialog->OnActivate = [&](TObject*) {
    log.push_back("dialog");
    closer->SetEnabled(true);
  };
  form->Show();
  PumpUntil([&] { return !log.empty(); });
  ASSERT_EQ(log, std::vector<std::string>{"main"});
  before = ticks;
  opened = GetTickCount();
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  log.push_back("returned");
  EXPECT_GE(ticks - before, 5);
  EXPECT_EQ(log, (std::vector<std::string>{"main", "dialog", "main", "returned"}));
  PumpFor(200);
  EXPECT_EQ(log.size(), 4u);
  // Another program's window taking the activation and giving it back is not a change of form.
  HWND other = CreateWindowExA(0, "STATIC", "other program", WS_POPUP | WS_VISIBLE | WS_CAPTION, 300, 300, 200, 100,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  SetActiveWindow(other);
  PumpFor(100);
  SetActiveWindow(form->Handle());
  PumpFor(100);
  DestroyWindow(other);
  EXPECT_EQ(log.size(), 4u);
}

// The close command that Wine posts for a window manager's close request (Alt+F4 given for a dialog still to come,
// while the click that opens it waits in the queue of a busy program) is handed out before that click; the main
// form takes it only after the click, by which time the modal form has disabled it, and the program goes on.
TEST_F(WinFixture, AClosePostedBeforeAWaitingClickThatOpensAModalFormLeavesTheProgramRunning) {
  Application->SetMainForm(form.p);
  auto* button = Add<TButton>(form.p, 20, 20, 120, 30);
  Owned<TForm> dialog(new TForm(nullptr));
  dialog->SetBounds(300, 200, 200, 120);
  int shown = 0, closes = 0;
  button->OnClick = [&](TObject*) {
    ++shown;
    dialog->ShowModal();
  };
  TWndMethod previous = form->WindowProc;
  form->WindowProc = [&](TMessage& m) {
    if (m.Msg == WM_SYSCOMMAND && (m.WParam & 0xFFF0) == SC_CLOSE) ++closes;
    previous(m);
  };
  // The dialog goes once the main form has been asked to close twice (the command, then again after the click).
  auto* closer = new TTimer(dialog.p);
  closer->SetInterval(20);
  DWORD opened = 0;
  closer->OnTimer = [&](TObject*) {
    if (closes >= 2 || GetTickCount() - opened >= 10000) dialog->SetModalResult(mrOk);
  };
  dialog->OnShow = [&](TObject*) { opened = GetTickCount(); };
  form->Show();
  SetForegroundWindow(form->Handle());
  const TPoint at = button->ClientToScreen(TPoint{60, 15});
  SetCursorPos(at.X, at.Y);
  PumpUntil([&] { return WindowFromPoint(POINT{at.X, at.Y}) == button->Handle(); });
  PumpFor(100);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ASSERT_EQ(SendInput(2, in, sizeof in[0]), 2u);
  ASSERT_NE(HIWORD(GetQueueStatus(QS_MOUSEBUTTON)), 0u);
  PostMessageA(form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(PumpUntil([&] { return shown == 1 && !dialog->Visible(); }, 15000));
  EXPECT_FALSE(Application->Terminated()) << "the main form closed behind the dialog";
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(closes, 2);
  form->WindowProc = previous;
  Application->SetMainForm(nullptr);
}

// Hints through the real mouse over two forms: the hint shown over a form that is then freed does not take the
// hints with it (on a rest of the pointer, asked for at once, or a hint window of one's own). (The hint belongs to
// the window under the pointer so that a click on it reaches the control below: the skin-click end-to-end test.)
TEST_F(WinFixture, HintsOutliveTheFormTheyShowedOver) {
  auto* other = new TForm(nullptr);
  other->SetBounds(500, 40, 200, 160);
  auto* b = new TButton(other);
  b->SetParent(other);
  b->SetBounds(20, 20, 100, 30);
  TButton* a = Add<TButton>(form.p, 20, 20, 100, 30);
  for (TButton* x : {a, b}) x->SetHint("hint"), x->SetShowHint(true);
  form->Show();
  other->Show();
  Application->SetHintPause(50);
  Application->SetHintHidePause(60000);
  const auto hint = [] {
    HWND h = FindWindowA("THintWindow", nullptr);
    return h && IsWindowVisible(h) ? h : nullptr;
  };
  const auto rest = [](TControl* c) {
    const TPoint p = c->ClientToScreen(TPoint{10, 10});
    return testsupport::Xdotool(testsupport::MoveTo(p.X, p.Y));
  };
  THintWindow own;  // a hint window of its own (the title bar's)
  const auto ownShows = [&] {
    own.ActivateHint(Bounds(0, 0, 80, 20), "own");
    return IsWindowVisible(own.Handle()) != FALSE;
  };
  ASSERT_TRUE(rest(b));
  ASSERT_TRUE(PumpUntil([&] { return hint() != nullptr; }, 10000));
  EXPECT_EQ(GetWindow(hint(), GW_OWNER), other->Handle());
  EXPECT_TRUE(ownShows());
  Free(other);
  ASSERT_TRUE(rest(a));
  EXPECT_TRUE(PumpUntil([&] { return hint() != nullptr; }, 10000)) << "none on a rest";
  Application->ControlMouseMoved(nullptr);
  Application->ControlMouseMoved(a);
  Application->ShowHintWindow();
  EXPECT_NE(hint(), nullptr) << "none asked for at once";
  EXPECT_TRUE(ownShows());
  Application->SetHintPause(500);
  Application->SetHintHidePause(2500);
}

// The tests' real input: where xdotool left the pointer is asked again when the asking ended on an X error (the
// window under the pointer went meanwhile), here twice, as an xdotool standing in for the real one answers.
TEST(Xdotool, APointerPlaceThatAnXErrorKeptIsAskedAgain) {
  using UnixName = char*(CDECL*)(LPCWSTR);
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  ASSERT_NE(unixName, nullptr);
  char dir[MAX_PATH] = {};
  ASSERT_NE(GetTempPathA(MAX_PATH, dir), 0u);
  const std::string fake = std::string(dir) + "xdotool_" + std::to_string(GetCurrentProcessId()) + ".sh";
  wchar_t wide[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, fake.c_str(), -1, wide, MAX_PATH);
  char* unixFake = unixName(wide);
  ASSERT_NE(unixFake, nullptr);
  const std::string path = unixFake;
  HeapFree(GetProcessHeap(), 0, unixFake);
  std::ofstream(fake, std::ios::binary)
      << "if [ \"$1\" = getmouselocation ]; then\n"
         "  n=$(cat '" << path << ".n' 2>/dev/null || echo 0); echo $((n + 1)) >'" << path << ".n'\n"
         "  if [ \"$n\" -lt 2 ]; then echo 'X Error of failed request:  BadWindow (invalid Window parameter)' >&2;"
         " exit 1; fi\nfi\nexec /usr/bin/xdotool \"$@\"\n";
  SetEnvironmentVariableA("XDOTOOL", ("/bin/sh '" + path + "'").c_str());
  const bool ran = testsupport::Xdotool(testsupport::MoveTo(321, 123));
  SetEnvironmentVariableA("XDOTOOL", nullptr);
  DeleteFileA(fake.c_str());
  DeleteFileA((fake + ".n").c_str());
  ASSERT_TRUE(ran);
  POINT at{};
  GetCursorPos(&at);
  EXPECT_EQ(at.x, 321);
  EXPECT_EQ(at.y, 123);
}

// ---- The file dialog and long names. A thread timer plays the user while the dialog's own loop runs: it types
// a name in the name box and presses OK, closes a message box that the dialog shows (noting its text and its
// owner) and then cancels the dialog; whatever is still open after 20 s is cancelled and noted.
struct FileDialogUser {
  std::string typed;
  std::string message;  // the text of a message box shown over the dialog
  bool message_over_dialog = false;
  bool timed_out = false;
  HWND dialog = nullptr;
  DWORD started = 0;
  int stage = 0;
  static inline FileDialogUser* current = nullptr;

  static HWND TopDialog(HWND owner) {
    struct Search {
      HWND owner, found;
    } s{owner, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM lp) -> BOOL {
          auto* s = reinterpret_cast<Search*>(lp);
          if (WindowClass(h) == "#32770" && IsWindowVisible(h) && GetWindow(h, GW_OWNER) == s->owner &&
              (s->owner != nullptr || GetDlgItem(h, cmb13) != nullptr || GetDlgItem(h, edt1) != nullptr)) {
            s->found = h;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
  }

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    FileDialogUser& u = *current;
    HWND d = TopDialog(nullptr);
    if (d == nullptr) return;
    if (GetTickCount() - u.started > 20000) {
      u.timed_out = true;
      if (HWND box = TopDialog(d)) PostMessageA(box, WM_COMMAND, IDOK, 0);
      PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
      return;
    }
    if (u.stage == 0) {
      u.dialog = d;
      if (!SetDlgItemTextA(d, cmb13, u.typed.c_str())) SetDlgItemTextA(d, edt1, u.typed.c_str());
      u.stage = 1;
      PostMessageA(d, WM_COMMAND, IDOK, 0);
    } else if (HWND box = TopDialog(d)) {
      char text[1024] = {};
      GetDlgItemTextA(box, 0xFFFF, text, int(sizeof(text)));
      u.message = text;
      u.message_over_dialog = GetWindow(box, GW_OWNER) == u.dialog;
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      u.stage = 2;
    } else if (u.stage == 2) {
      PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
      u.stage = 3;
    }
  }

  bool Run(TOpenDialog& dialog) {
    current = this;
    started = GetTickCount();
    const UINT_PTR timer = SetTimer(nullptr, 0, 40, Tick);
    const bool ok = dialog.Execute();
    KillTimer(nullptr, timer);
    current = nullptr;
    return ok;
  }
};

// Paths of any length in the temporary folder (made through the wide calls and "\\?\"), removed with the test.
struct LongTree {
  std::string root;
  std::vector<std::wstring> made;
  static std::wstring Long(const std::string& path) {
    return L"\\\\?\\" + std::wstring(path.begin(), path.end());
  }
  LongTree() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    root = Dir(std::string(temp) + "longnames" + std::to_string(GetCurrentProcessId()));
  }
  ~LongTree() {
    for (auto it = made.rbegin(); it != made.rend(); ++it)
      if (!DeleteFileW(it->c_str())) RemoveDirectoryW(it->c_str());
  }
  std::string Dir(const std::string& path) {
    EXPECT_TRUE(CreateDirectoryW(Long(path).c_str(), nullptr)) << path;
    made.push_back(Long(path));
    return path;
  }
  std::string File(const std::string& path) {
    HANDLE h = CreateFileW(Long(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << path;
    DWORD n = 0;
    WriteFile(h, "x", 1, &n, nullptr);
    CloseHandle(h);
    made.push_back(Long(path));
    return path;
  }
};

TEST(FileDialog, AFullNameLongerThan259CharactersIsRefusedOverTheDialogAndNeverEndsTheProgram) {
  LongTree t;
  // A folder of 257 characters (the longest that the dialog can open in) and one of more than 300.
  const std::string edge = t.Dir(t.root + "\\" + std::string(257 - t.root.size() - 1, 'e'));
  std::string deep = t.root;
  for (int i = 0; deep.size() <= 300; ++i) deep = t.Dir(deep + "\\" + std::to_string(i) + std::string(60, 'd'));
  const std::string shortDir = t.Dir(t.root + "\\s");
  const auto sized = [&](size_t n) { return t.File(shortDir + "\\" + std::string(n - shortDir.size() - 5, 'f') + ".txt"); };
  const std::string of259 = sized(259), of260 = sized(260);
  const std::string a = t.File(shortDir + "\\a.txt");
  t.File(shortDir + "\\b.txt");
  const std::string deepFile = t.File(deep + "\\file.txt");
  ASSERT_EQ(of259.size(), 259u);

  const struct {
    const char* what;
    std::string initialDir, typed;
    bool accepted;
    std::string chosen;
  } cases[] = {
      {"a full name of 259 characters", "", of259, true, of259},
      {"a full name of 260 characters", "", of260, false, ""},
      {"a full name of more than 300 characters", "", deepFile, false, ""},
      {"a name that the folder shown makes too long", edge, "file.txt", false, ""},
      {"an initial folder too long for the dialog", deep, of259, true, of259},
      {"two names: the first is the choice", shortDir, "\"a.txt\" \"b.txt\"", true, a},
  };
  for (const auto& c : cases) {
    Owned<TOpenDialog> dialog(new TOpenDialog(nullptr));
    dialog->Filter = "(*.*)|*.*";
    dialog->InitialDir = c.initialDir;
    dialog->LongNameMessage = "too long";
    FileDialogUser user;
    user.typed = c.typed;
    const bool ok = user.Run(*dialog);
    EXPECT_FALSE(user.timed_out) << c.what;
    EXPECT_EQ(ok, c.accepted) << c.what;
    if (c.accepted) {
      EXPECT_EQ(dialog->FileName, c.chosen) << c.what;
      EXPECT_EQ(user.message, "") << c.what;
    } else {
      EXPECT_EQ(user.message, "too long") << c.what;
      EXPECT_TRUE(user.message_over_dialog) << c.what;
    }
  }
}

}  // namespace
