// Standard and common controls: speed-button groups, edits and memos (typing, caret, selection, OnChange),
// rich edits, check boxes, combo boxes (owner-drawn too), static texts, up-downs, track bars, menus.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/gui.h"
#include "tests/support/gui_input.h"

using namespace gui;
using testsupport::Owned;
using testsupport::TypeChar;
using testsupport::TypeText;
using testsupport::UserClick;

namespace {

struct FormFixture : ::testing::Test {
  Owned<TForm> form{new TForm(nullptr)};
  template <class T>
  T* Add(TWinControl* parent = nullptr) {
    auto* c = new T(form.p);
    c->SetParent(parent ? parent : form.p);
    return c;
  }
};

using SpeedButtons = FormFixture;

TEST_F(SpeedButtons, OneDownPerGroupAndParent) {
  auto* a = Add<TSpeedButton>();
  auto* b = Add<TSpeedButton>();
  auto* c = Add<TSpeedButton>();
  auto* panel = Add<TPanel>();
  auto* elsewhere = Add<TSpeedButton>(panel);
  for (auto* s : {a, b, c, elsewhere}) s->SetGroupIndex(1);
  a->SetDown(true);
  elsewhere->SetDown(true);  // another parent: another group
  EXPECT_TRUE(a->Down());
  b->SetDown(true);
  EXPECT_FALSE(a->Down());
  EXPECT_TRUE(b->Down());
  EXPECT_TRUE(elsewhere->Down());
  UserClick(*c);
  EXPECT_TRUE(c->Down());
  EXPECT_FALSE(b->Down());
  EXPECT_TRUE(elsewhere->Down());
}

TEST_F(SpeedButtons, DownFromCodeFiresNothingAndAClickFiresOnce) {
  auto* a = Add<TSpeedButton>();
  auto* b = Add<TSpeedButton>();
  a->SetGroupIndex(3);
  b->SetGroupIndex(3);
  int clicksA = 0, clicksB = 0;
  a->OnClick = [&](TObject*) { ++clicksA; };
  b->OnClick = [&](TObject*) { ++clicksB; };
  a->SetDown(true);
  b->SetDown(true);
  EXPECT_EQ(clicksA + clicksB, 0);
  UserClick(*a);
  EXPECT_EQ(clicksA, 1);
  EXPECT_TRUE(a->Down());
  // A down button of a group that does not allow all up stays down, and the click still reports.
  UserClick(*a);
  EXPECT_EQ(clicksA, 2);
  EXPECT_TRUE(a->Down());
  a->SetDown(false);
  EXPECT_TRUE(a->Down());
}

TEST_F(SpeedButtons, AllowAllUpIsSharedByTheGroup) {
  auto* a = Add<TSpeedButton>();
  auto* b = Add<TSpeedButton>();
  a->SetGroupIndex(2);
  b->SetGroupIndex(2);
  a->SetAllowAllUp(true);
  EXPECT_TRUE(b->AllowAllUp());
  UserClick(*b);
  EXPECT_TRUE(b->Down());
  UserClick(*b);
  EXPECT_FALSE(b->Down());
  EXPECT_FALSE(a->Down());
}

TEST_F(SpeedButtons, GroupZeroNeverStaysDownAndDisabledButtonsIgnoreTheMouse) {
  auto* push = Add<TSpeedButton>();
  int clicks = 0;
  push->OnClick = [&](TObject*) { ++clicks; };
  push->SetDown(true);
  EXPECT_FALSE(push->Down());
  UserClick(*push);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(push->Down());
  EXPECT_EQ(push->State(), TButtonState::bsUp);
  push->SetEnabled(false);
  UserClick(*push);
  EXPECT_EQ(clicks, 1);
}

TEST_F(SpeedButtons, ReleasingOutsideTheButtonDoesNotClick) {
  auto* b = Add<TSpeedButton>();
  b->SetBounds(0, 0, 40, 20);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  b->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(b->State(), TButtonState::bsDown);
  b->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 5));
  EXPECT_EQ(b->State(), TButtonState::bsUp);
  b->Perform(WM_LBUTTONUP, 0, MAKELPARAM(60, 5));
  EXPECT_EQ(clicks, 0);
}

using Edits = FormFixture;

TEST_F(Edits, TypingInsertsAtTheCaretAndLineEndsCountTwo) {
  auto* memo = Add<TMemo>();
  memo->SetText("ab");
  EXPECT_EQ(memo->SelStart(), 0);
  memo->SetSelStart(2);
  TypeChar(*memo, '\r');
  TypeText(*memo, "cd");
  EXPECT_EQ(memo->Text(), "ab\r\ncd");
  EXPECT_EQ(memo->SelStart(), 6);
  // Insertion with the caret put after "ab" CR LF: position 4.
  memo->SetSelStart(4);
  memo->SetSelText("X");
  EXPECT_EQ(memo->Text(), "ab\r\nXcd");
  EXPECT_EQ(memo->SelStart(), 5);
  // Backspace right after a line end removes the pair.
  memo->SetSelStart(4);
  TypeChar(*memo, '\b');
  EXPECT_EQ(memo->Text(), "abXcd");
  EXPECT_EQ(memo->SelStart(), 2);
  // A selection is replaced by what is typed.
  memo->SetSelStart(1);
  memo->SetSelLength(3);
  EXPECT_EQ(memo->SelText(), "bXc");
  TypeChar(*memo, '-');
  EXPECT_EQ(memo->Text(), "a-d");
}

TEST_F(Edits, KeyPressMaySwallowOrChangeTheKey) {
  auto* memo = Add<TMemo>();
  memo->OnKeyPress = [](TObject*, char& k) {
    if (k == '\n' || k == '\b') k = 0;  // swallowed
    if (k == 'a') k = 'A';              // changed
  };
  TypeText(*memo, "xa\nb");
  TypeChar(*memo, '\b');
  EXPECT_EQ(memo->Text(), "xAb");
}

TEST_F(Edits, OnChangeFiresForEveryChangeButNotForTheSameText) {
  auto* edit = Add<TEdit>();
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  edit->SetText("F4ABC");
  EXPECT_EQ(changes, 1);
  edit->SetText("F4ABC");
  EXPECT_EQ(changes, 1);
  edit->SetSelStart(5);
  TypeChar(*edit, 'D');
  EXPECT_EQ(changes, 2);
  TypeChar(*edit, '\r');  // a single-line edit takes no line end
  EXPECT_EQ(edit->Text(), "F4ABCD");
  EXPECT_EQ(changes, 2);
  edit->SetSelStart(0);
  TypeChar(*edit, '\b');  // nothing before the caret
  EXPECT_EQ(changes, 2);
}

TEST_F(Edits, AnOnChangeThatRewritesItsTextSettles) {
  auto* edit = Add<TEdit>();
  int calls = 0;
  edit->OnChange = [&](TObject*) {
    ++calls;
    std::string t = edit->Text();
    std::string up;
    for (char c : t) up += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    if (up != t) edit->SetText(up);
  };
  edit->SetText("ab");
  EXPECT_EQ(edit->Text(), "AB");
  EXPECT_EQ(calls, 2);
}

TEST_F(Edits, MaxLengthLimitsTypingButNotCode) {
  auto* edit = Add<TEdit>();
  edit->SetMaxLength(3);
  TypeText(*edit, "43456");
  EXPECT_EQ(edit->Text(), "434");
  edit->SetText("12345");
  EXPECT_EQ(edit->Text(), "12345");
  edit->SelectAll();
  TypeChar(*edit, '7');
  EXPECT_EQ(edit->Text(), "7");
}

TEST_F(Edits, ReadOnlyRefusesTypingButNotCode) {
  auto* memo = Add<TMemo>();
  memo->SetReadOnly(true);
  TypeText(*memo, "abc");
  EXPECT_EQ(memo->Text(), "");
  memo->SetText("shown");
  EXPECT_EQ(memo->Text(), "shown");
}

TEST_F(Edits, MemoLinesFollowTheText) {
  auto* memo = Add<TMemo>();
  EXPECT_EQ(memo->Lines().Count(), 0);
  memo->Lines().Add("one");
  memo->Lines().Add("two");
  EXPECT_EQ(memo->Text(), "one\r\ntwo\r\n");
  EXPECT_EQ(memo->Lines().Count(), 2);
  memo->SetText("a\r\nb");
  EXPECT_EQ(memo->Lines().Count(), 2);
  EXPECT_EQ(memo->Lines()[1], "b");
  memo->Lines().Add("c");
  EXPECT_EQ(memo->Text(), "a\r\nb\r\nc\r\n");
  memo->Lines().Delete(0);
  EXPECT_EQ(memo->Text(), "b\r\nc\r\n");
  EXPECT_THROW(memo->Lines()[5], std::out_of_range);
}

TEST_F(Edits, RichEditAppendsFormattedRuns) {
  auto* rich = Add<TRichEdit>();
  auto append = [&](const std::string& text, TFontStyles style, TColor color) {
    rich->SetSelStart(rich->GetTextLen());
    rich->SelAttributes().SetStyle(style);
    rich->SelAttributes().SetColor(color);
    rich->SetSelText(text);
  };
  append("F4ABC", fsBold, clBlue);
  append(" (12:30)", 0, clBlack);
  append(": hello\r\n\r\n", 0, clBlue);
  append("S2", fsBold, clBlack);
  EXPECT_EQ(rich->Text(), "F4ABC (12:30): hello\r\n\r\nS2");
  // Selection positions count a line end as one character.
  EXPECT_EQ(rich->GetTextLen(), 24);
  const std::vector<TRichRun> expected = {
      {"F4ABC", clBlue, fsBold}, {" (12:30)", clBlack, 0}, {": hello\r\n\r\n", clBlue, 0}, {"S2", clBlack, fsBold}};
  EXPECT_EQ(rich->Runs(), expected);
  rich->SetSelStart(1000);  // beyond the end: the end
  EXPECT_EQ(rich->SelStart(), 24);
  rich->Clear();
  EXPECT_TRUE(rich->Runs().empty());
}

using Buttons = FormFixture;

TEST_F(Buttons, CheckBoxClicksOnEveryChangeAndButtonsSetTheModalResult) {
  auto* box = Add<TCheckBox>();
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  box->SetChecked(true);
  box->SetChecked(true);
  EXPECT_EQ(clicks, 1);
  UserClick(*box);
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(clicks, 2);
  auto* ok = Add<TButton>();
  ok->SetModalResult(mrOk);
  int okClicks = 0;
  ok->OnClick = [&](TObject*) { ++okClicks; };
  UserClick(*ok);
  EXPECT_EQ(okClicks, 1);
  EXPECT_EQ(form->ModalResult(), mrOk);
}

using Lists = FormFixture;

TEST_F(Lists, ComboItemsKeepTheirObjectsAndCodeSelectsSilently) {
  auto* combo = Add<TComboBox>();
  combo->SetStyle(TComboBoxStyle::csDropDownList);
  TObject voiceA, voiceB;
  combo->Items().AddObject("Voice A", &voiceA);
  combo->Items().AddObject("Voice B", &voiceB);
  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  combo->SetItemIndex(1);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(combo->Text(), "Voice B");
  EXPECT_EQ(combo->Items().Objects(combo->ItemIndex()), &voiceB);
  combo->SetItemIndex(7);
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), "");
  combo->SetItemIndex(0);
  combo->Perform(CN_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), 0);  // the user's choice
  EXPECT_EQ(changes, 1);
  combo->Items().Clear();
  EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST_F(Lists, OwnerDrawnComboMeasuresAndDrawsThroughItsEvents) {
  auto* combo = Add<TComboBox>();
  combo->SetItemHeight(22);
  std::vector<int> asked;
  combo->OnMeasureItem = [&](TWinControl*, int index, int& height) {
    asked.push_back(index);
    height += index;
  };
  // Fixed items all take ItemHeight; only a variable combo asks its handler.
  for (TComboBoxStyle style : {TComboBoxStyle::csOwnerDrawFixed, TComboBoxStyle::csOwnerDrawVariable}) {
    combo->SetStyle(style);
    int h = 0;
    combo->MeasureItem(3, h);
    EXPECT_EQ(h, style == TComboBoxStyle::csOwnerDrawFixed ? 22 : 25);
  }
  EXPECT_EQ(asked, std::vector<int>{3});
  EXPECT_TRUE(combo->OwnerDrawn());
  combo->SetItemHeight(0);  // refused
  EXPECT_EQ(combo->ItemHeight(), 22);
  TOwnerDrawState seen = 0;
  combo->OnDrawItem = [&](TWinControl* c, int index, const TRect&, TOwnerDrawState state) {
    EXPECT_EQ(c, combo);
    EXPECT_EQ(index, 1);
    seen = state;
  };
  combo->DrawItem(1, TRect{0, 0, 100, 22}, odSelected | odFocused);
  EXPECT_EQ(seen, odSelected | odFocused);
}

// The form offers an accelerator to its controls, through containers, until one takes it: the first enabled,
// visible button whose caption marks that letter clicks.
TEST_F(Lists, FormOffersAcceleratorToButtonsThroughContainers) {
  auto* panel = Add<TPanel>();
  auto* plain = Add<TButton>();
  auto* nested = Add<TButton>(panel);
  auto* disabled = Add<TButton>();
  plain->SetCaption("&Send");
  nested->SetCaption("St&op");
  disabled->SetCaption("&Quit");
  disabled->SetEnabled(false);
  int sends = 0, stops = 0, quits = 0;
  plain->OnClick = [&](TObject*) { ++sends; };
  nested->OnClick = [&](TObject*) { ++stops; };
  disabled->OnClick = [&](TObject*) { ++quits; };
  form->Show();
  struct Case {
    char key;
    LRESULT taken;
    int sends, stops, quits;
  } cases[] = {{'s', 1, 1, 0, 0}, {'O', 1, 1, 1, 0}, {'q', 0, 1, 1, 0}, {'x', 0, 1, 1, 0}, {'t', 0, 1, 1, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(form->Perform(CM_DIALOGCHAR, WPARAM(c.key), 0), c.taken) << c.key;
    EXPECT_EQ(sends, c.sends) << c.key;
    EXPECT_EQ(stops, c.stops) << c.key;
    EXPECT_EQ(quits, c.quits) << c.key;
  }
  panel->SetVisible(false);  // a hidden container's buttons cannot take it
  EXPECT_EQ(form->Perform(CM_DIALOGCHAR, 'o', 0), 0);
  EXPECT_EQ(stops, 1);
}

// A control linked to an action takes its caption, enabled state, hint and visibility, at once and at every
// change; a click without a handler of the control's own executes it; freeing either side unlinks them.
TEST_F(Lists, ControlsFollowTheirActionAndExecuteIt) {
  auto* action = new TAction(form.p);
  action->SetCaption("&Transmit");
  action->SetHint("Send the text");
  int executed = 0;
  action->OnExecute = [&](TObject*) { ++executed; };
  auto* button = Add<TButton>();
  auto* speed = Add<TSpeedButton>();
  button->SetAction(action);
  speed->SetAction(action);
  EXPECT_EQ(action->ClientCount(), 2);
  struct Step {
    void (*change)(TAction*);
    std::string caption;
    bool enabled, visible;
  } steps[] = {{[](TAction*) {}, "&Transmit", true, true},
               {[](TAction* a) { a->SetCaption("&Stop"); }, "&Stop", true, true},
               {[](TAction* a) { a->SetEnabled(false); }, "&Stop", false, true},
               {[](TAction* a) { a->SetVisible(false); }, "&Stop", false, false},
               {[](TAction* a) {
                  a->SetEnabled(true);
                  a->SetVisible(true);
                },
                "&Stop", true, true}};
  for (const Step& st : steps) {
    st.change(action);
    for (TControl* c : {static_cast<TControl*>(button), static_cast<TControl*>(speed)}) {
      EXPECT_EQ(c->Caption(), st.caption) << c->ClassName();
      EXPECT_EQ(c->Enabled(), st.enabled) << st.caption;
      EXPECT_EQ(c->Visible(), st.visible) << st.caption;
      EXPECT_EQ(c->Hint(), "Send the text");
    }
  }
  button->Click();
  EXPECT_EQ(executed, 1);
  int own = 0;
  button->OnClick = [&](TObject*) { ++own; };
  button->Click();
  EXPECT_EQ(own, 1);
  EXPECT_EQ(executed, 1) << "the control's own handler wins";
  Free(speed);
  EXPECT_EQ(action->ClientCount(), 1);
  Free(action);
  EXPECT_EQ(button->Action(), nullptr);
  button->OnClick = nullptr;
  button->Click();  // nothing linked any more
  EXPECT_EQ(executed, 1);
}

// A label's transparency is its opaque style, whichever side changes it: a skin that clears the style makes the
// label draw no background of its own, and putting the style back makes it opaque again.
TEST_F(Lists, ALabelIsTransparentExactlyWhenItsStyleIsNotOpaque) {
  auto* label = new TLabel(form.p);
  label->SetParent(form.p);
  EXPECT_FALSE(label->Transparent());
  EXPECT_NE(label->ControlStyle() & csOpaque, 0u);
  struct Step {
    bool bySetter;  // SetTransparent, else the control style
    bool transparent;
  } steps[] = {{true, true}, {true, false}, {false, true}, {false, false}, {true, true}, {false, false}};
  for (const Step& s : steps) {
    if (s.bySetter)
      label->SetTransparent(s.transparent);
    else
      label->SetControlStyle(s.transparent ? label->ControlStyle() & ~csOpaque : label->ControlStyle() | csOpaque);
    EXPECT_EQ(label->Transparent(), s.transparent) << s.bySetter;
    EXPECT_EQ((label->ControlStyle() & csOpaque) == 0, s.transparent) << s.bySetter;
  }
}

// An autosized label is measured again when its font's face changes, not when its colour alone does.
TEST_F(Lists, AnAutosizedLabelIsMeasuredAgainForItsFontNotForItsColour) {
  auto* label = new TLabel(form.p);
  label->SetParent(form.p);
  label->SetCaption("Measured");
  const int measured = label->Width();
  label->SetBounds(label->Left(), label->Top(), 3, label->Height());  // a width the caption does not take
  label->Font().SetColor(clRed);
  EXPECT_EQ(label->Width(), 3);
  label->Font().SetStyle(fsBold);
  EXPECT_GE(label->Width(), measured);
}

TEST_F(Lists, StaticTextAcceleratorFocusesItsControl) {
  struct Case {
    const char* caption;
    char key;
  } cases[] = {{"&Frequency", 'F'}, {"Po&wer", 'W'}, {"R&&D", 0}, {"A&&&b", 'B'}, {"end&", 0}, {"", 0}};
  for (const Case& c : cases) EXPECT_EQ(CaptionAccelerator(c.caption), c.key) << c.caption;
  auto* label = Add<TStaticText>();
  auto* edit = Add<TEdit>();
  auto* other = Add<TEdit>();
  label->SetCaption("&Frequency");
  label->SetFocusControl(edit);
  form->Show();
  other->SetFocus();
  EXPECT_EQ(label->Perform(CM_DIALOGCHAR, 'x', 0), 0);
  EXPECT_EQ(FocusedControl(), other);
  EXPECT_EQ(label->Perform(CM_DIALOGCHAR, 'f', 0), 1);
  EXPECT_EQ(FocusedControl(), edit);
  // Without its accelerator shown the '&' is plain text.
  other->SetFocus();
  label->SetShowAccelChar(false);
  EXPECT_EQ(label->Perform(CM_DIALOGCHAR, 'F', 0), 0);
  EXPECT_EQ(FocusedControl(), other);
  // A freed focus control is forgotten.
  Free(edit);
  EXPECT_EQ(label->FocusControl(), nullptr);
}

TEST_F(Lists, UpDownReportsEveryPressWithinItsRange) {
  auto* ud = Add<TUpDown>();
  ud->SetMin(1);
  ud->SetMax(7);
  ud->SetPosition(6);
  std::vector<TUDBtnType> presses;
  ud->OnClick = [&](TObject*, TUDBtnType b) { presses.push_back(b); };
  ud->Click(TUDBtnType::btNext);
  ud->Click(TUDBtnType::btNext);  // already at 7: still reported
  EXPECT_EQ(ud->Position(), 7);
  ud->Click(TUDBtnType::btPrev);
  EXPECT_EQ(ud->Position(), 6);
  EXPECT_EQ(presses.size(), 3u);
  EXPECT_EQ(presses[1], TUDBtnType::btNext);
  ud->SetWrap(true);
  ud->SetPosition(7);
  ud->Click(TUDBtnType::btNext);
  EXPECT_EQ(ud->Position(), 1);
  ud->SetPosition(99);
  EXPECT_EQ(ud->Position(), 7);
}

TEST_F(Lists, TrackBarClampsAndReportsChanges) {
  auto* tb = Add<TTrackBar>();
  tb->SetMin(-10);
  tb->SetMax(10);
  int changes = 0;
  tb->OnChange = [&](TObject*) { ++changes; };
  tb->SetPosition(4);
  tb->SetPosition(4);
  tb->SetPosition(50);
  EXPECT_EQ(tb->Position(), 10);
  EXPECT_EQ(changes, 2);
  tb->SetMax(5);
  EXPECT_EQ(tb->Position(), 5);
}

TEST(Menus, ItemsFormATreeWithCommandsCaptionsAndStates) {
  Owned<TForm> form(new TForm(nullptr));
  auto* menu = new TMainMenu(form.p);
  auto* ports = new TMenuItem(form.p);
  ports->SetCaption("&Ports");
  menu->Items()->Add(ports);
  auto* none = new TMenuItem(form.p);
  none->SetCaption("None");
  ports->Add(none);
  auto* com1 = new TMenuItem(form.p);
  com1->SetCaption("COM 1 && more");
  ports->Add(com1);
  form->SetMenu(menu);
  EXPECT_EQ(menu->Items()->Count(), 1);
  EXPECT_EQ(ports->Count(), 2);
  EXPECT_EQ(com1->Parent(), ports);
  EXPECT_EQ(com1->GetParentMenu(), menu);
  EXPECT_EQ(menu->Items()->Find("ports"), ports);
  EXPECT_EQ(StripHotkey(com1->Caption()), "COM 1 & more");
  EXPECT_EQ(TMenuItem::FromCommand(com1->Command()), com1);
  EXPECT_NE(none->Command(), com1->Command());
  int clicks = 0;
  com1->OnClick = [&](TObject*) { ++clicks; };
  com1->Click();
  com1->SetEnabled(false);
  com1->Click();
  EXPECT_EQ(clicks, 1);
  com1->SetChecked(true);
  EXPECT_TRUE(com1->Checked());
  EXPECT_THROW(none->Add(ports), EInvalidOperation);
  const UINT command = none->Command();
  Free(none);
  EXPECT_EQ(ports->Count(), 1);
  EXPECT_EQ(TMenuItem::FromCommand(command), nullptr);
}

// The menu bar of an MDI form shows the menu of its active child among its own items, by group: a child's group
// takes the place of the form's items of that group and stands before the form's first item of a greater group.
TEST(Menus, AnMdiFormsBarMergesItsActiveChildsMenuByGroup) {
  Owned<TForm> frame(new TForm(nullptr));
  frame->SetFormStyle(TFormStyle::fsMDIForm);
  auto item = [](TComponent* owner, TMenu* menu, const std::string& caption, int group) {
    auto* i = new TMenuItem(owner);
    i->SetCaption(caption);
    i->SetGroupIndex(group);
    menu->Items()->Add(i);
    return i;
  };
  auto* bar = new TMainMenu(frame.p);
  item(frame.p, bar, "File", 0);
  item(frame.p, bar, "Window", 5);
  item(frame.p, bar, "Help", 9);
  frame->SetMenu(bar);
  auto captions = [&] {
    std::vector<std::string> list;
    for (const TMenuItem* i : bar->BarItems()) list.push_back(i->Caption());
    return list;
  };
  EXPECT_EQ(captions(), (std::vector<std::string>{"File", "Window", "Help"}));
  struct Case {
    std::vector<std::pair<std::string, int>> child;
    std::vector<std::string> shown;
  } cases[] = {
      {{{"Edit", 1}, {"View", 2}}, {"File", "Edit", "View", "Window", "Help"}},
      {{{"Sheet", 0}}, {"Sheet", "Window", "Help"}},
      {{{"Tools", 5}, {"Extra", 12}}, {"File", "Tools", "Help", "Extra"}},
      {{}, {"File", "Window", "Help"}},
  };
  for (const Case& c : cases) {
    Owned<TForm> child(new TForm(nullptr));
    child->SetFormStyle(TFormStyle::fsMDIChild);
    auto* menu = new TMainMenu(child.p);
    for (const auto& [caption, group] : c.child) item(child.p, menu, caption, group);
    child->SetMenu(menu);
    child->Show();
    EXPECT_EQ(captions(), c.shown);
    EXPECT_EQ(menu->MergedInto(), frame.p);
  }
  EXPECT_EQ(captions(), (std::vector<std::string>{"File", "Window", "Help"}));
}

}  // namespace
