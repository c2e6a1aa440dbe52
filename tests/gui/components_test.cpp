// Components: ownership, names, loading state, notifications; the message path of controls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/gui.h"
#include "tests/support/gui_input.h"

using namespace gui;
using testsupport::Owned;

namespace {

// Records the notifications and the Loaded call it gets.
class Recorder : public TComponent {
 public:
  explicit Recorder(TComponent* owner, std::vector<std::string>* log = nullptr) : TComponent(owner), log_(log) {}
  int loaded = 0;
  std::vector<std::pair<const TComponent*, TOperation>> notes;
  bool ownerWasDestroyingWhenFreed = false;
  ~Recorder() override {
    if (Owner()) ownerWasDestroyingWhenFreed = Owner()->IsDestroying();
    if (log_) log_->push_back("free " + Name() + (ownerWasDestroyingWhenFreed ? " (owner going)" : ""));
  }

 protected:
  void Loaded() override {
    TComponent::Loaded();
    ++loaded;
    if (log_) log_->push_back("loaded " + Name());
  }
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    notes.emplace_back(c, op);
  }

 private:
  std::vector<std::string>* log_;
};

TEST(Components, OwnerFreesWhatItOwnsLastCreatedFirst) {
  std::vector<std::string> log;
  auto* root = new Recorder(nullptr, &log);
  root->SetName("root");
  auto* a = new Recorder(root, &log);
  a->SetName("a");
  auto* b = new Recorder(root, &log);
  b->SetName("b");
  auto* a1 = new Recorder(a, &log);
  a1->SetName("a1");
  EXPECT_EQ(root->ComponentCount(), 2);
  EXPECT_EQ(root->Components(0), a);
  EXPECT_EQ(a->ComponentCount(), 1);
  Free(root);
  // Each destructor logs before its own components go: root first, then b (created last), then a and a1.
  const std::vector<std::string> expected = {"free root", "free b (owner going)", "free a (owner going)",
                                             "free a1 (owner going)"};
  EXPECT_EQ(log, expected);
}

TEST(Components, NamesAreUniquePerOwnerAndFoundWithoutCase) {
  Owned<TComponent> root(new TComponent(nullptr));
  auto* x = new TComponent(root.p);
  x->SetName("Memo_editeur");
  auto* y = new TComponent(root.p);
  EXPECT_THROW(y->SetName("MEMO_EDITEUR"), EComponentError);
  y->SetName("Memo_emission");
  EXPECT_EQ(root->FindComponent("memo_EDITEUR"), x);
  EXPECT_EQ(root->FindComponent("Memo_emission"), y);
  EXPECT_EQ(root->FindComponent("nothing"), nullptr);
  EXPECT_EQ(root->FindComponent(""), nullptr);
  // A free-standing component may take any name; moving it into the owner with a clashing name fails.
  auto* z = new TComponent(nullptr);
  z->SetName("memo_editeur");
  EXPECT_THROW(root->InsertComponent(z), EComponentError);
  Free(z);
}

TEST(Components, LoadingMarksEverythingAndLoadedRunsOnceAtTheEnd) {
  std::vector<std::string> log;
  Owned<Recorder> root(new Recorder(nullptr, &log));
  root->SetName("root");
  root->BeginLoading();
  auto* a = new Recorder(root.p, &log);  // created while loading: loading too
  a->SetName("a");
  EXPECT_TRUE(root->IsLoading());
  EXPECT_TRUE(a->IsLoading());
  root->EndLoading();
  EXPECT_FALSE(a->IsLoading());
  EXPECT_FALSE(root->IsLoading());
  EXPECT_EQ(a->loaded, 1);
  EXPECT_EQ(root->loaded, 1);
  const std::vector<std::string> expected = {"loaded a", "loaded root"};
  EXPECT_EQ(log, expected);
}

TEST(Components, TreeAndFreeNotificationsReachTheirSubscribers) {
  Owned<Recorder> root(new Recorder(nullptr));
  root->SetName("root");
  auto* watcher = new Recorder(root.p);
  watcher->SetName("watcher");
  auto* other = new Recorder(nullptr);
  other->SetName("other");
  watcher->FreeNotification(other);
  auto* added = new Recorder(root.p);
  added->SetName("added");
  ASSERT_FALSE(watcher->notes.empty());
  EXPECT_EQ(watcher->notes.back(), std::make_pair(static_cast<const TComponent*>(added), TOperation::opInsert));
  Free(added);
  EXPECT_EQ(watcher->notes.back(), std::make_pair(static_cast<const TComponent*>(added), TOperation::opRemove));
  const size_t before = watcher->notes.size();
  Free(other);  // not in the tree: only the subscriber learns it
  ASSERT_EQ(watcher->notes.size(), before + 1);
  EXPECT_EQ(watcher->notes.back(), std::make_pair(static_cast<const TComponent*>(other), TOperation::opRemove));
}

TEST(Messages, InternalNotificationsKeepTheirNumbers) {
  EXPECT_EQ(CM_ACTIVATE, 0xB000u);
  EXPECT_EQ(CM_FOCUSCHANGED, 0xB007u);
  EXPECT_EQ(CM_VISIBLECHANGED, 0xB00Bu);
  EXPECT_EQ(CM_ENABLEDCHANGED, 0xB00Cu);
  EXPECT_EQ(CM_FONTCHANGED, 0xB00Eu);
  EXPECT_EQ(CM_TEXTCHANGED, 0xB012u);
  EXPECT_EQ(CM_MOUSEENTER, 0xB013u);
  EXPECT_EQ(CM_MOUSELEAVE, 0xB014u);
  EXPECT_EQ(CM_MENUCHANGED, 0xB015u);
  EXPECT_EQ(CM_SHOWINGCHANGED, 0xB019u);
  EXPECT_EQ(CM_EXIT, 0xB01Bu);
  EXPECT_EQ(CM_CONTROLLISTCHANGE, 0xB02Cu);
  EXPECT_EQ(CM_RECREATEWND, 0xB033u);
  EXPECT_EQ(CM_CHANGED, 0xB037u);
  EXPECT_EQ(CM_MOUSEWHEEL, 0xB043u);
  EXPECT_EQ(CN_COMMAND, 0xBD11u);
  EXPECT_EQ(CN_NOTIFY, 0xBC4Eu);
  EXPECT_EQ(CN_DRAWITEM, 0xBC2Bu);
  EXPECT_EQ(CN_KEYDOWN, 0xBD00u);
  EXPECT_EQ(CN_KEYUP, 0xBD01u);
}

TEST(Messages, AReplacedWindowProcSeesEveryNotificationAndChainsToThePrevious) {
  Owned<TForm> form(new TForm(nullptr));
  auto* label = new TLabel(form.p);
  label->SetParent(form.p);
  std::vector<UINT> seen;
  TWndMethod previous = label->WindowProc;
  label->WindowProc = [&](TMessage& m) {
    seen.push_back(m.Msg);
    if (m.Msg == 0xA100 && HIWORD(m.WParam) == 7) {  // a private command the replacement answers itself
      m.Result = 1;
      return;
    }
    previous(m);
  };
  label->SetCaption("Connected");
  label->SetEnabled(false);
  label->SetVisible(false);
  label->SetColor(clRed);
  label->Font().SetStyle(fsBold);
  EXPECT_EQ(label->Caption(), "Connected");  // the chained default stored the text
  EXPECT_EQ(label->Perform(0xA100, MAKEWPARAM(0, 7), 0), 1);
  EXPECT_EQ(label->Perform(0xA100, MAKEWPARAM(0, 8), 0), 0);
  const std::vector<UINT> expected = {WM_SETTEXT, CM_TEXTCHANGED, CM_ENABLEDCHANGED, CM_VISIBLECHANGED,
                                      CM_COLORCHANGED, CM_FONTCHANGED, 0xA100, 0xA100};
  EXPECT_EQ(seen, expected);
  // Setting what a property already holds sends nothing.
  seen.clear();
  label->SetCaption("Connected");
  label->SetEnabled(false);
  EXPECT_TRUE(seen.empty());
}

TEST(Messages, AReplacementThatSwallowsATextMessageKeepsTheOldText) {
  Owned<TForm> form(new TForm(nullptr));
  auto* edit = new TEdit(form.p);
  edit->SetParent(form.p);
  edit->SetText("kept");
  TWndMethod previous = edit->WindowProc;
  edit->WindowProc = [&](TMessage& m) {
    if (m.Msg == WM_SETTEXT) return;
    previous(m);
  };
  edit->SetText("lost");
  EXPECT_EQ(edit->Text(), "kept");
  edit->WindowProc = previous;
  edit->SetText("new");
  EXPECT_EQ(edit->Text(), "new");
}

TEST(Controls, ParentFontColourAndHintFollowTheParentUntilSetOwnValues) {
  Owned<TForm> form(new TForm(nullptr));
  form->Font().SetName("Arial");
  form->SetShowHint(true);
  auto* panel = new TPanel(form.p);
  panel->SetParent(form.p);
  panel->SetColor(clWhite);
  auto* label = new TLabel(form.p);
  label->SetParent(panel);
  EXPECT_EQ(label->Font().Name(), "Arial");
  EXPECT_EQ(label->Color(), clWhite);  // labels take their parent's colour
  EXPECT_TRUE(label->ShowHint());
  form->Font().SetHeight(-20);
  EXPECT_EQ(label->Font().Height(), -20);
  EXPECT_TRUE(label->ParentFont());
  label->Font().SetStyle(fsBold);
  EXPECT_FALSE(label->ParentFont());
  form->Font().SetHeight(-9);
  EXPECT_EQ(label->Font().Height(), -20);  // no longer follows
  panel->SetColor(clYellow);
  EXPECT_EQ(label->Color(), clYellow);
  label->SetColor(clRed);
  panel->SetColor(clBlue);
  EXPECT_EQ(label->Color(), clRed);
  form->SetShowHint(false);
  EXPECT_FALSE(label->ShowHint());
}

TEST(Controls, AlignedChildrenShareTheClientArea) {
  Owned<TForm> form(new TForm(nullptr));
  form->SetBorderStyle(TFormBorderStyle::bsNone);
  form->SetClientSize(400, 300);
  auto* top = new TPanel(form.p);
  top->SetParent(form.p);
  top->SetHeight(40);
  top->SetAlign(TAlign::alTop);
  auto* client = new TMemo(form.p);
  client->SetParent(form.p);
  client->SetAlign(TAlign::alClient);
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 400, 40));
  EXPECT_EQ(client->BoundsRect(), Rect(0, 40, 400, 300));
  form->SetClientSize(500, 200);
  EXPECT_EQ(client->BoundsRect(), Rect(0, 40, 500, 200));
  top->SetVisible(false);
  EXPECT_EQ(client->BoundsRect(), Rect(0, 0, 500, 200));
}

TEST(Controls, ShowingFollowsTheFormAndParents) {
  Owned<TForm> form(new TForm(nullptr));
  auto* panel = new TPanel(form.p);
  panel->SetParent(form.p);
  auto* edit = new TEdit(form.p);
  edit->SetParent(panel);
  std::vector<bool> changes;
  TWndMethod previous = edit->WindowProc;
  edit->WindowProc = [&](TMessage& m) {
    if (m.Msg == CM_SHOWINGCHANGED) changes.push_back(edit->Showing());
    previous(m);
  };
  EXPECT_FALSE(edit->Showing());
  form->Show();
  EXPECT_TRUE(edit->Showing());
  panel->Hide();
  EXPECT_FALSE(edit->Showing());
  EXPECT_TRUE(edit->Visible());
  panel->Show();
  form->Hide();
  EXPECT_FALSE(edit->Showing());
  const std::vector<bool> expected = {true, false, true, false};
  EXPECT_EQ(changes, expected);
}

TEST(Controls, ChildControlsGoWithTheirParentAndLeaveTheirOwner) {
  auto* form = new TForm(nullptr);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  auto* edit = new TEdit(form);
  edit->SetName("Edit1");
  edit->SetParent(panel);
  Free(panel);
  EXPECT_EQ(form->FindComponent("Edit1"), nullptr);
  EXPECT_EQ(form->ComponentCount(), 0);
  Free(form);
}

TEST(Application, ExceptionsGoToTheHandlersOfTheApplication) {
  Owned<TApplicationEvents> events(new TApplicationEvents(nullptr));
  std::string viaApp, viaEvents;
  Application->OnException = [&](TObject*, const std::string& m) { viaApp = m; };
  events->OnException = [&](TObject*, const std::string& m) { viaEvents = m; };
  try {
    throw std::runtime_error("port failure");
  } catch (...) {
    Application->HandleException(nullptr);
  }
  Application->OnException = nullptr;
  EXPECT_EQ(viaApp, "port failure");
  EXPECT_EQ(viaEvents, "port failure");
  Application->HandleException(nullptr);  // outside a catch block: nothing happens
}

}  // namespace
