// Forms: activation, modal showing, closing; timers on the application's clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/gui.h"
#include "gui/message_waits.h"
#include "tests/support/gui_input.h"

using namespace gui;
using testsupport::Owned;
using testsupport::TimerPump;
using testsupport::UserClick;

namespace {

// Ends every modal showing that a test leaves open (the Windows build would otherwise wait for a user).
struct ModalGuard {
  ~ModalGuard() { Application->ModalDriver = nullptr; }
};

TEST(Forms, ActivationFiresWhenTheActiveFormChangesOnly) {
  ModalGuard guard;
  Owned<TForm> main(new TForm(nullptr));
  Owned<TForm> dialog(new TForm(nullptr));
  auto* ok = new TButton(dialog.p);
  ok->SetParent(dialog.p);
  ok->SetModalResult(mrOk);
  std::vector<std::string> log;
  main->OnActivate = [&](TObject*) { log.push_back("main activate"); };
  main->OnDeactivate = [&](TObject*) { log.push_back("main deactivate"); };
  dialog->OnActivate = [&](TObject*) { log.push_back("dialog activate"); };
  dialog->OnClose = [&](TObject*, TCloseAction&) { log.push_back("dialog close"); };
  main->Show();
  main->Show();  // already the active form
  Application->ModalDriver = [&](TCustomForm& f) {
    log.push_back("dialog shown");
    EXPECT_TRUE(f.IsModal());
    UserClick(*ok);
  };
  const TModalResult r = dialog->ShowModal();
  log.push_back("returned");
  EXPECT_EQ(r, mrOk);
  EXPECT_FALSE(dialog->Visible());
  EXPECT_TRUE(main->Active());
  const std::vector<std::string> expected = {"main activate",  "main deactivate", "dialog activate", "dialog shown",
                                             "dialog close",   "main activate",   "returned"};
  EXPECT_EQ(log, expected);
}

TEST(Forms, CloseEndsAModalShowingWithCancelAndOnCloseMayRefuse) {
  ModalGuard guard;
  Owned<TForm> main(new TForm(nullptr));
  Owned<TForm> dialog(new TForm(nullptr));
  main->Show();
  int closes = 0;
  bool refuse = true;
  dialog->OnClose = [&](TObject*, TCloseAction& a) {
    ++closes;
    if (refuse) a = TCloseAction::caNone;
  };
  Application->ModalDriver = [&](TCustomForm& f) {
    f.Close();
#ifdef _WIN32
    // The real loop asks OnClose, which refuses once: close again from a later message.
    PostMessageA(f.Handle(), WM_CLOSE, 0, 0);
#endif
    refuse = false;
#ifndef _WIN32
    f.Close();
#endif
  };
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_GE(closes, 1);
  EXPECT_FALSE(dialog->IsModal());
  EXPECT_THROW(
      {
        main->Show();
        main->ShowModal();
      },
      EInvalidOperation);
}

TEST(Forms, FreeingAFormRunsOnDestroyWhileItIsWhole) {
  auto* f = new TForm(nullptr);
  auto* edit = new TEdit(f);
  edit->SetParent(f);
  edit->SetText("kept");
  std::string seen;
  f->OnDestroy = [&](TObject*) { seen = edit->Text(); };
  Free(f);
  EXPECT_EQ(seen, "kept");
}

TEST(Forms, NestedModalFormsReturnTheActivationInOrder) {
  ModalGuard guard;
  Owned<TForm> main(new TForm(nullptr));
  Owned<TForm> first(new TForm(nullptr));
  Owned<TForm> second(new TForm(nullptr));
  std::vector<std::string> log;
  main->OnActivate = [&](TObject*) { log.push_back("main"); };
  first->OnActivate = [&](TObject*) { log.push_back("first"); };
  second->OnActivate = [&](TObject*) { log.push_back("second"); };
  main->Show();
  Application->ModalDriver = [&](TCustomForm& f) {
    if (&f == first.p) {
      EXPECT_EQ(second->ShowModal(), mrNo);
      log.push_back("second returned");
      f.SetModalResult(mrYes);
    } else {
      f.SetModalResult(mrNo);
    }
  };
  EXPECT_EQ(first->ShowModal(), mrYes);
  const std::vector<std::string> expected = {"main", "first", "second", "first", "second returned", "main"};
  EXPECT_EQ(log, expected);
}

#ifndef _WIN32
TEST(Forms, HeadlessModalShowingWithoutADriverIsCancelled) {
  Owned<TForm> dialog(new TForm(nullptr));
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_FALSE(dialog->Visible());
}

TEST(Forms, HeadlessFrameAndClientSize) {
  Owned<TForm> f(new TForm(nullptr));
  f->SetBorderStyle(TFormBorderStyle::bsSingle);
  f->SetClientSize(418, 103);
  EXPECT_EQ(f->ClientWidth(), 418);
  EXPECT_EQ(f->ClientHeight(), 103);
  const TRect m = f->FrameMargins();
  EXPECT_EQ(f->Width(), 418 + m.Left + m.Right);
  EXPECT_EQ(f->Height(), 103 + m.Top + m.Bottom);
  // A menu bar keeps the client size and makes the window taller.
  auto* menu = new TMainMenu(f.p);
  auto* item = new TMenuItem(f.p);
  item->SetCaption("Help");
  menu->Items()->Add(item);
  const int before = f->Height();
  f->SetMenu(menu);
  EXPECT_EQ(f->ClientHeight(), 103);
  EXPECT_GT(f->Height(), before);
  Screen->SetHeadlessMetrics(1024, 768, 120);
  EXPECT_EQ(Screen->PixelsPerInch(), 120);
  f->SetWindowState(TWindowState::wsMaximized);
  EXPECT_EQ(f->Width(), 1024);
  Screen->SetHeadlessMetrics(1280, 1024, 96);
}

TEST(Timers, FireOnTheApplicationClockOncePerElapsedInterval) {
  TimerPump pump;
  Owned<TComponent> owner(new TComponent(nullptr));
  auto* fast = new TTimer(owner.p);
  fast->SetInterval(1);
  auto* slow = new TTimer(owner.p);
  slow->SetInterval(333);
  int fastTicks = 0, slowTicks = 0;
  fast->OnTimer = [&](TObject*) { ++fastTicks; };
  slow->OnTimer = [&](TObject*) { ++slowTicks; };
  pump.Run(1000);
  EXPECT_EQ(fastTicks, 1000);
  EXPECT_EQ(slowTicks, 3);
  // A long pause fires each timer once, as the system's timer does.
  pump.clock().advance(5000);
  Application->ProcessTimers();
  EXPECT_EQ(fastTicks, 1001);
  EXPECT_EQ(slowTicks, 4);
  slow->SetEnabled(false);
  pump.Run(1000, 10);
  EXPECT_EQ(slowTicks, 4);
  // Re-enabling starts a whole interval from now.
  slow->SetEnabled(true);
  pump.Run(332);
  EXPECT_EQ(slowTicks, 4);
  pump.Run(1);
  EXPECT_EQ(slowTicks, 5);
}

TEST(Timers, ATimerOfALoadingDefinitionStartsWhenLoadingEnds) {
  TimerPump pump;
  Owned<TComponent> owner(new TComponent(nullptr));
  owner->BeginLoading();
  auto* t = new TTimer(owner.p);
  t->SetInterval(100);
  int ticks = 0;
  t->OnTimer = [&](TObject*) { ++ticks; };
  pump.Run(500, 10);
  EXPECT_EQ(ticks, 0);
  owner->EndLoading();
  pump.Run(500, 10);
  EXPECT_EQ(ticks, 5);
}

TEST(Timers, AFailingHandlerIsReportedAndTheOthersRun) {
  TimerPump pump;
  Owned<TComponent> owner(new TComponent(nullptr));
  auto* bad = new TTimer(owner.p);
  bad->SetInterval(10);
  auto* good = new TTimer(owner.p);
  good->SetInterval(10);
  int ticks = 0;
  std::vector<std::string> reports;
  bad->OnTimer = [](TObject*) { throw std::runtime_error("handler failed"); };
  good->OnTimer = [&](TObject*) { ++ticks; };
  Application->OnException = [&](TObject*, const std::string& m) { reports.push_back(m); };
  pump.Run(30);
  Application->OnException = nullptr;
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(reports.size(), 3u);
  EXPECT_EQ(reports[0], "handler failed");
}

TEST(Timers, KeepRunningAcrossTheClockWrap) {
  TimerPump pump;
  pump.clock().setTicks(0xFFFFFF00u);
  Owned<TComponent> owner(new TComponent(nullptr));
  auto* t = new TTimer(owner.p);
  t->SetInterval(100);
  int ticks = 0;
  t->OnTimer = [&](TObject*) { ++ticks; };
  pump.Run(1000, 5);
  EXPECT_EQ(ticks, 10);
}

TEST(Timers, RunInsideAModalShowing) {
  TimerPump pump;
  ModalGuard guard;
  Owned<TForm> main(new TForm(nullptr));
  auto* pumpTimer = new TTimer(main.p);
  pumpTimer->SetInterval(1);
  int ticks = 0;
  pumpTimer->OnTimer = [&](TObject*) { ++ticks; };
  Owned<TForm> dialog(new TForm(nullptr));
  int activations = 0;
  main->OnActivate = [&](TObject*) { ++activations; };
  main->Show();
  Application->ModalDriver = [&](TCustomForm& f) {
    pump.Run(250);
    f.Close();
  };
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(ticks, 250);
  EXPECT_EQ(activations, 2);
}
#endif

TEST(Dialogs, FileDialogsAnswerThroughTheirDriverWhenHeadless) {
#ifdef _WIN32
  GTEST_SKIP() << "the Windows build shows the system's dialog";
#else
  Owned<TOpenDialog> d(new TOpenDialog(nullptr));
  EXPECT_FALSE(d->Execute());
  TCommonDialog::HeadlessDriver = [](TCommonDialog& dlg) {
    static_cast<TOpenDialog&>(dlg).FileName = "C:\\AUTEX\\ABC.TXT";
    return true;
  };
  EXPECT_TRUE(d->Execute());
  EXPECT_EQ(d->FileName, "C:\\AUTEX\\ABC.TXT");
  TCommonDialog::HeadlessDriver = nullptr;
#endif
}

// The full names that the file dialog makes of its name box, as it joins them before it looks at them.
TEST(Dialogs, TheLongestFullNameOfTheNameBoxCountsTheFolderWhereTheNameNeedsIt) {
  const struct {
    const char* folder;
    const char* box;
    size_t extra, longest;
  } cases[] = {
      {"C:\\Data", "", 0, 0},
      {"C:\\Data", "a.txt", 0, 13},                 // C:\Data\a.txt
      {"C:\\", "a.txt", 0, 8},                      // the root ends in its separator already
      {"C:\\Data", "D:\\x\\a.txt", 0, 10},          // a drive: taken whole
      {"C:\\Data", "\\x\\a.txt", 0, 10},            // the current drive's root
      {"C:\\Data", "\\\\server\\share\\a", 0, 18},  // a network path
      {"C:\\Data", "\"a.txt\" \"longer.txt\"", 0, 18},  // each quoted name; the longest counts
      {"C:\\Data", "sub\\a", 4, 17},                // no extension: the one the dialog adds
      {"C:\\Data", "sub.d\\a", 4, 19},              // a dot in a folder is no extension
  };
  for (const auto& c : cases) EXPECT_EQ(LongestFullName(c.folder, c.box, c.extra), c.longest) << c.box;
}

}  // namespace

namespace {

// A released form lives until the message loop comes back to it, then goes (also from its own event handler).
TEST(Forms, ReleaseFreesTheFormFromTheMessageLoop) {
  auto* form = new TForm(nullptr);
  form->HandleNeeded();
  bool destroyed = false;
  form->OnDestroy = [&](TObject*) { destroyed = true; };
  form->OnClick = [form](TObject*) { form->Release(); };
  form->Click();
  EXPECT_FALSE(destroyed) << "still there while its handler runs";
  for (int i = 0; i < 20 && !destroyed; ++i) Application->ProcessMessages();
  EXPECT_TRUE(destroyed);
}

// The failed waits for a message: a failure that comes alone ends nothing; failures back to back are spaced out up
// to 50 ms, and the loop gives up only when they have gone on, without a message between them, for 5 s and 20 times
// (also across the clock's wrap).
TEST(MessageLoop, FailedWaitsAreSpacedOutAndGiveUpOnlyWhenTheyGoOn) {
  FailedMessageWaits w;
  EXPECT_EQ(w.Failed(1000), 0);  // alone: tried again at once
  w.Succeeded();
  for (int round = 0; round < 3; ++round) {  // passing failures, a message between each run of them
    for (uint32_t t = 0; t < 4000; t += 50) EXPECT_GE(w.Failed(2000 + round * 4000 + t), 0);
    w.Succeeded();
  }
  // Back to back: 0, 1, 2... then 50 ms; 200 of them within 4.9 s do not give up, the next after 5 s does.
  const uint32_t start = 0xFFFFF000u;  // 4 s before the wrap
  std::vector<int> pauses;
  for (uint32_t i = 0; i < 200; ++i) pauses.push_back(w.Failed(start + i * 24));
  EXPECT_EQ(pauses[0], 0);
  EXPECT_EQ(pauses[1], 1);
  EXPECT_EQ(pauses[50], 50);
  EXPECT_EQ(pauses[199], 50);
  EXPECT_EQ(w.Failed(start + 5000), -1);
  // Slow ones: 19 over a minute do not give up, the 20th does.
  w.Succeeded();
  for (uint32_t i = 0; i < 19; ++i) EXPECT_GE(w.Failed(i * 3000), 0);
  EXPECT_EQ(w.Failed(60000), -1);
}

}  // namespace
