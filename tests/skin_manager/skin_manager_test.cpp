// The skin manager component on headless forms: the default manager, the order of a skin change as the forms
// see it, broadcasts and sweeps over skinned and unskinned forms, flags after failures, the skin's system
// colours in the component layer, skins from an outside editor, hot and tracked controls, the acting setters,
// skin names of a directory, and the control utilities.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "gui/extctrls.h"
#include "gui/frames.h"
#include "gui/stdctrls.h"
#include "gui/syscolors.h"
#include "skin/manager/commondata.h"
#include "skin/manager/componentprops.h"
#include "skin/data/programskinmanager.h"
#include "skin/data/scommondata.h"
#include "skin/manager/skinchange.h"
#include "skin/manager/skinsyscolors.h"
#include "skin/manager/svclutils.h"
#include "tests/skin_manager/manager_env.h"
#include "tests/skin_manager/probe_form.h"

namespace {

using namespace skin;
using namespace skintest;

// Forms owned by the application (as the program's are), freed at the end of the test.
struct Forms {
  std::vector<gui::TCustomForm*> list;
  ProbeForm* Add(const std::string& name, bool skinned, Log* log = nullptr) {
    auto* f = new ProbeForm(gui::Application, name, skinned, log);
    f->Show();
    list.push_back(f);
    return f;
  }
  ~Forms() {
    for (auto it = list.rbegin(); it != list.rend(); ++it) gui::Free(*it);
  }
};

TEST(SkinManagerComponent, TheFirstManagerIsTheDefaultAndHooksTheApplication) {
  PortableSkinSystem sys;
  auto themeChanged = [] {
    gui::TMessage m{0x031A, 0, 0, 0};
    return gui::Application->RunHooks(m);
  };
  EXPECT_FALSE(themeChanged());
  {
    TsSkinManagerComponent first(nullptr, sys);
    EXPECT_TRUE(first.IsDefault());
    EXPECT_STREQ(first.ClassName(), "TsSkinManager");
    EXPECT_TRUE(themeChanged());  // its hook on the main window takes the message
    {
      TsSkinManagerComponent second(nullptr, sys);
      EXPECT_FALSE(second.IsDefault());
      second.SetIsDefault(false);
      EXPECT_TRUE(first.IsDefault());  // False while a default exists changes nothing
      second.SetIsDefault(true);
      EXPECT_TRUE(second.IsDefault());
      first.SetIsDefault(true);
    }
    EXPECT_TRUE(first.IsDefault());
  }
  EXPECT_EQ(DefaultManager(), nullptr);  // no other manager becomes the default by itself
  EXPECT_FALSE(themeChanged());
}

TEST(SkinManagerComponent, TheProgramsStoredManagerAsAComponent) {
  PortableSkinSystem sys;
  TsSkinManagerComponent m(nullptr, sys);
  Forms forms;
  ProbeForm* plain = forms.Add("P", false);
  ReadProgramSkinManager(m);  // the skin is loaded while the definition is read, applied in Loaded
  EXPECT_EQ(plain->Count(AC_SKINLOADED), 1);
  EXPECT_EQ(m.SkinData().Active, 1);
  EXPECT_EQ(m.HooksInstalled, 1);
  EXPECT_TRUE(SkinSysColorsInstalled());  // the program's manager asks for the skin's system colours
  m.SetActive(false);
  EXPECT_FALSE(SkinSysColorsInstalled());
}

TEST(SkinManagerComponent, ASkinChangeInTheOrderTheFormsSeeIt) {
  PortableSkinSystem sys;
  sys.layeredWindows = true;
  ManagerEnv e(sys);
  e.Store("One", Pack(FixtureMembers()));
  e.Store("Two", Pack(FixtureMembers()));
  Log log;
  Forms forms;
  ProbeForm* skinned = forms.Add("S", true, &log);
  skinned->provider().border = true;
  ProbeForm* plain = forms.Add("P", false, &log);
  e.m->SetExtendedBorders(true);
  auto note = [&log](const char* name) { return [&log, name](TsSkinManager&) { log.push_back(name); }; };
  e.m->OnBeforeChange = note("before");
  e.m->OnSkinLoading = note("loading");
  e.m->OnActivate = note("activate");
  e.m->OnAfterChange = note("after");
  ManagerServices().AnimSkinChange = [&log](TacFormProvider& p, uint16_t time, uint8_t alpha, bool aero) {
    log.push_back(p.Form()->Name() + ":anim " + std::to_string(time));
  };
  e.m->SetSkinName("One");
  log.clear();
  e.m->SetSkinName("Two");
  ManagerServices().AnimSkinChange = nullptr;
  // The transition leaves the form repainted with its region: only its border window is shown again after it.
  const Log expected = {"before",     "loading",     "S:show-snapshot", "S:redraw-off",
                        "P:loaded",   "S:loaded",   "P:stop",      "S:stop",          "P:refresh",
                        "S:refresh",  "S:redraw-on", "S:anim 100", "S:border",        "activate",
                        "after"};
  EXPECT_EQ(log, expected);
  EXPECT_EQ(AnimationInProgress(), 0);
  EXPECT_EQ(skinned->provider().StateFlags, 0u);
  EXPECT_EQ(skinned->provider().SkinChangingByte, 0);
  EXPECT_EQ(plain->Count(AC_SKINLOADED), 2);
  EXPECT_EQ(e.m->HooksInstalled, 1);
  EXPECT_NE(ProviderList(), nullptr);

  // Without a transition the sweep itself gives the form its region and border window after the change.
  log.clear();
  e.m->SetSkinName("One");
  EXPECT_NE(std::find(log.begin(), log.end(), "S:region"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "S:border"), log.end());

  // Switching off: the removal once (a second switch-off does nothing), hooks and provider list gone.
  e.m->SetActive(false);
  e.m->SetActive(false);
  EXPECT_EQ(skinned->Count(AC_SKINREMOVED), 1);
  EXPECT_EQ(plain->Count(AC_SKINREMOVED), 1);
  EXPECT_EQ(e.m->HooksInstalled, 0);
  EXPECT_EQ(ProviderList(), nullptr);
}

// The old look is kept for the border window when another manager than the default one changes its skin: no
// transition holds the border window then (the default manager's keeps none, see above).
TEST(SkinManagerComponent, AnotherManagersChangeKeepsTheOldLookForTheBorderWindow) {
  PortableSkinSystem sys;
  sys.layeredWindows = true;
  ManagerEnv first(sys), second(sys);  // the first one is the default manager
  second.Store("One", Pack(FixtureMembers()));
  second.m->SetExtendedBorders(true);
  Log log;
  Forms forms;
  ProbeForm* skinned = forms.Add("S", true, &log);
  skinned->provider().border = true;
  skinned->provider().manager = second.m.get();
  second.m->SetSkinName("One");
  EXPECT_EQ(std::count(log.begin(), log.end(), "S:snapshot"), 1);
}

TEST(SkinManagerComponent, FailuresAndExceptionsLeaveNoFlagSet) {
  PortableSkinSystem sys;
  sys.layeredWindows = true;
  ManagerEnv e(sys);
  e.Store("Good", Pack(FixtureMembers()));
  e.dir.write("Broken.asz", "not a packed skin at all");
  e.m->SetExtendedBorders(true);
  Forms forms;
  ProbeForm* skinned = forms.Add("S", true);
  e.m->SetSkinName("Good");
  auto expectClear = [&](const char* when) {
    SCOPED_TRACE(when);
    EXPECT_EQ(e.m->SkinLoading, 0);
    EXPECT_EQ(e.m->SkinBroadcasting, 0);
    EXPECT_EQ(e.m->Deactivating, 0);
    EXPECT_EQ(AnimationInProgress(), 0);
    EXPECT_EQ(skinned->provider().StateFlags & (pfRedrawLocked | pfBorderSnapshot), 0u);
    EXPECT_EQ(skinned->provider().SkinChangingByte, 0);
  };

  e.m->SetSkinName("Broken");  // refused: reported, the previous skin stays and is applied again
  EXPECT_EQ(e.m->SkinName(), "Good");
  EXPECT_FALSE(sys.messageBoxes.empty() && sys.errorBoxes.empty());
  expectClear("failed load");

  // A form that fails while it is told: the change ends with the exception, and nothing stays locked.
  skinned->onCommand = [](uint16_t code, gui::TMessage&) {
    if (code == AC_SKINLOADED) throw std::runtime_error("receiver failed");
  };
  skinned->received.clear();
  std::vector<std::string> reported;
  gui::Application->OnException = [&reported](gui::TObject*, const std::string& message) { reported.push_back(message); };
#ifdef _WIN32
  // The window procedure reports it and answers for the form: the change goes on.
  e.m->SetSkinName("Good");
  EXPECT_EQ(reported, (std::vector<std::string>{"receiver failed"}));
#else
  EXPECT_THROW(e.m->SetSkinName("Good"), std::runtime_error);
#endif
  gui::Application->OnException = nullptr;
  expectClear("exception in the sweep");
  skinned->onCommand = nullptr;
  skinned->received.clear();
  e.m->SetSkinName("Good");
  EXPECT_EQ(skinned->Count(AC_SKINREFRESH), 1);

  // A load that switches the manager off (nothing to load) removes the skin and lets go of the forms.
  e.m->InternalSkins.Clear();
  e.m->SetSkinName("Nothing");
  EXPECT_FALSE(e.m->Active());
  expectClear("switched off by the load");
}

TEST(SkinManagerComponent, SkinnedFormsListAndWalksOverIt) {
  gui::TForm a(nullptr), b(nullptr), c(nullptr);
  RegisterSkinnedForm(&a);
  RegisterSkinnedForm(&b);
  RegisterSkinnedForm(&c);
  UnregisterSkinnedForm(&a);  // the last one takes its slot
  EXPECT_EQ(SkinnedFormsList(), (std::vector<gui::TCustomForm*>{&c, &b}));
  UnregisterSkinnedForm(&a);  // not listed: unchanged
  EXPECT_EQ(SkinnedFormsList().size(), 2u);
  UnregisterSkinnedForm(&b);
  UnregisterSkinnedForm(&c);
  EXPECT_TRUE(SkinnedFormsList().empty());
  UnregisterSkinnedForm(&c);  // an empty list is left alone
  EXPECT_TRUE(SkinnedFormsList().empty());

  // A form freed by a receiver during a broadcast is not reached any more.
  Forms forms;
  ProbeForm* first = forms.Add("First", true);
  ProbeForm* second = forms.Add("Second", true);
  first->onCommand = [&](uint16_t code, gui::TMessage&) {
    if (code != AC_SKINREFRESH || !second) return;
    forms.list.erase(std::find(forms.list.begin(), forms.list.end(), second));
    gui::Free(second);
    second = nullptr;
  };
  gui::TMessage m{WM_SKINCOMMAND, SkinCommandWParam(AC_SKINREFRESH), 0, 0};
  BroadcastToAllForms(m);
  EXPECT_EQ(first->Count(AC_SKINREFRESH), 1);
  EXPECT_EQ(second, nullptr);
}

TEST(SkinManagerComponent, BroadcastsReachUnskinnedFormsAndTheirControls) {
  Forms forms;
  ProbeForm* plain = forms.Add("Plain", false);
  ProbeForm* skinned = forms.Add("Skinned", true);
  // A panel nobody skinned passes the message to its children; a skinned control gets it itself.
  auto* panel = new ProbeControl<gui::TPanel>(plain, plain, false);
  auto* inner = new ProbeControl<gui::TEdit>(plain, panel, true);
  auto* label = new ProbeControl<gui::TLabel>(plain, plain, false);
  gui::TMessage m{WM_SKINCOMMAND, SkinCommandWParam(AC_SKINLOADED), 0, 0};
  BroadcastToAllForms(m);
  EXPECT_EQ(plain->Count(AC_SKINLOADED), 1);
  EXPECT_EQ(skinned->Count(AC_SKINLOADED), 1);  // once, as a skinned form
  EXPECT_EQ(panel->Count(AC_SKINLOADED), 0);
  EXPECT_EQ(inner->Count(AC_SKINLOADED), 1);
  EXPECT_EQ(label->Count(AC_SKINLOADED), 1);

  // Sweeps skip minimized and hidden forms.
  PortableSkinSystem sys;
  ManagerEnv e(sys);
  ProbeForm* hidden = forms.Add("Hidden", true);
  hidden->Hide();
  ProbeForm* minimized = forms.Add("Min", true);
  minimized->SetWindowState(gui::TWindowState::wsMinimized);
  int visited = 0;
  ForEachProviderForm(*e.m, [&](TacFormProvider& p) {
    ++visited;
    EXPECT_EQ(p.Form(), skinned);
  });
  EXPECT_EQ(visited, 1);

  // A refresh reaches each control once per broadcast, though the skinned form hands it to its controls, a
  // skinned container to its children and the walk over the form's children to them again; other commands go
  // as often as they are handed on.
  ProbeForm* nested = forms.Add("Nested", true);
  auto* box = new ProbeControl<gui::TPanel>(nested, nested, true);
  auto* edit = new ProbeControl<gui::TEdit>(nested, box, true);
  nested->onCommand = [&](uint16_t, gui::TMessage& msg) { BroadcastToChildren(nested, msg); };
  box->onCommand = [&](uint16_t, gui::TMessage& msg) { BroadcastToChildren(box, msg); };
  for (uint16_t code : {AC_SKINREFRESH, AC_SKINREFRESH, AC_STOPANIMATION}) {
    gui::TMessage c{WM_SKINCOMMAND, SkinCommandWParam(code), 0, 0};
    BroadcastToAllForms(c);
  }
  EXPECT_EQ(box->Count(AC_SKINREFRESH), 2);
  EXPECT_EQ(edit->Count(AC_SKINREFRESH), 2);
  EXPECT_EQ(box->Count(AC_STOPANIMATION), 2);
  EXPECT_EQ(edit->Count(AC_STOPANIMATION), 2);
  nested->onCommand = nullptr;
  box->onCommand = nullptr;
}

TEST(SkinManagerComponent, SystemColoursFollowTheAppliedSkinOnly) {
  PortableSkinSystem sys;
  ManagerEnv e(sys);
  const uint32_t edit = 0x123456, main = 0x405060;
  e.Store("Coloured", ColouredFixture(edit, main));
  auto members = FixtureMembers();
  std::string& o = members[0].Data;
  o.erase(o.find("[EDIT]"), o.find("[FORM]") - o.find("[EDIT]"));  // a skin without colours of its own for edits
  e.Store("NoEdit", Pack(members));
  const uint32_t systemWindow = gui::SystemSysColor(5), systemFace = gui::SystemSysColor(15);

  e.m->SetChangeSysColors(true);
  EXPECT_FALSE(SkinSysColorsInstalled());  // no skin applied yet
  e.m->SetSkinName("Coloured");
  ASSERT_TRUE(SkinSysColorsInstalled());
  EXPECT_EQ(gui::ColorToRGB(gui::clWindow), edit);
  EXPECT_EQ(gui::ColorToRGB(gui::clBtnFace), systemFace);  // not a colour the skin gives
  EXPECT_EQ(gui::PenColor(15), main);
  EXPECT_EQ(gui::PenColor(0x00FF00), 0x00FF00u);
  // A skin loaded meanwhile reads the system's values, not those of the skin in place.
  e.m->SetSkinName("NoEdit");
  EXPECT_EQ(uint32_t(SkinManagerEditColor(*e.m)), uint32_t(ColorToRGB(clWindow, sys)));
  e.m->SetSkinName("Coloured");

  e.m->SetChangeSysColors(false);
  EXPECT_EQ(gui::ColorToRGB(gui::clWindow), systemWindow);
  e.m->SetChangeSysColors(true);
  EXPECT_EQ(gui::ColorToRGB(gui::clWindow), edit);
  e.m->SetActive(false);
  EXPECT_EQ(gui::ColorToRGB(gui::clWindow), systemWindow);
  e.m->SetActive(true);
  EXPECT_EQ(gui::ColorToRGB(gui::clWindow), edit);
  e.m.reset();
  EXPECT_FALSE(SkinSysColorsInstalled());
  EXPECT_EQ(gui::ColorToRGB(gui::clWindow), systemWindow);
}

TEST(SkinManagerComponent, SkinsFromAnOutsideEditor) {
  std::vector<uint8_t> block(SkinPreviewDataSize, 0);
  auto put = [&block](size_t offset, const std::string& s) { std::memcpy(block.data() + offset, s.data(), s.size()); };
  block[0] = 0x00;
  block[1] = 0xA4;
  put(SkinPreviewNameOffset, "Preview");
  put(SkinPreviewDirectoryOffset, "C:\\Editor");
  put(SkinPreviewOptionsOffset, FixtureOptionsText());
  struct Case {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> change;
    bool whole;
  };
  for (const Case& k : std::vector<Case>{
           {"whole", [](std::vector<uint8_t>&) {}, true},
           {"longer than the record", [](std::vector<uint8_t>& b) { b.push_back(1); }, true},
           {"one byte short", [](std::vector<uint8_t>& b) { b.pop_back(); }, false},
           {"other magic", [](std::vector<uint8_t>& b) { b[1] = 0xA5; }, false},
           {"name unterminated",
            [](std::vector<uint8_t>& b) { std::memset(b.data() + SkinPreviewNameOffset, 'n', SkinPreviewNameSize); },
            false},
           {"directory unterminated",
            [](std::vector<uint8_t>& b) {
              std::memset(b.data() + SkinPreviewDirectoryOffset, 'd', SkinPreviewDirectorySize);
            },
            false},
           {"options unterminated",
            [](std::vector<uint8_t>& b) { std::memset(b.data() + SkinPreviewOptionsOffset, 'o', SkinPreviewOptionsSize); },
            false}}) {
    SCOPED_TRACE(k.what);
    std::vector<uint8_t> b = block;
    k.change(b);
    const auto parsed = ParseSkinPreviewData(b.data(), b.size());
    ASSERT_EQ(parsed.has_value(), k.whole);
    if (parsed) {
      EXPECT_EQ(parsed->Name, "Preview");
    }
  }

  // The manager loads the received description, with its images from the editor's directory, and applies it
  // without the animation.
  PortableSkinSystem sys;
  ManagerEnv e(sys);
  std::vector<PackedSkinMember> images = FixtureMembers();
  images.erase(images.begin());
  e.WriteDirectory("Preview", images);
  const std::string editorDirectory = e.dir.path().string();
  std::memset(block.data() + SkinPreviewDirectoryOffset, 0, SkinPreviewDirectorySize);
  put(SkinPreviewDirectoryOffset, editorDirectory);
  Forms forms;
  ProbeForm* skinned = forms.Add("S", true);
  EXPECT_FALSE(e.m->TakeSkinPreview(6, block.data(), block.size()));  // not from an editor
  std::vector<uint8_t> shortBlock(block.begin(), block.end() - 1);
  EXPECT_FALSE(e.m->TakeSkinPreview(SkinPreviewCopyDataWParam, shortBlock.data(), shortBlock.size()));
  EXPECT_EQ(e.m->ReceivedSkin[1], 0);  // nothing taken
  ASSERT_TRUE(e.m->TakeSkinPreview(SkinPreviewCopyDataWParam, block.data(), block.size()));
  gui::TMessage apply{WM_SKINCOMMAND, SkinCommandWParam(AC_APPLYRECEIVEDSKIN), 0, 0};
  EXPECT_TRUE(e.m->AppHook(apply));
  EXPECT_EQ(e.m->SkinName(), "Preview");
  EXPECT_EQ(e.m->SkinDirectory(), editorDirectory);
  EXPECT_GE(SkinManagerGetSectionIndex(*e.m, "BUTTON"), 0);
  EXPECT_TRUE(sys.messageBoxes.empty());
  EXPECT_EQ(e.m->SkinData().Active, 1);
  EXPECT_EQ(e.m->PreviewLock, 0);
  EXPECT_FALSE(e.m->ReceivedOptions.has_value());
  EXPECT_TRUE(e.m->AnimEffects.SkinChanging.Active);
  EXPECT_GE(skinned->Count(AC_SKINLOADED), 1);

  // A description whose master image the editor's directory lacks is refused: the skin in force stays.
  std::vector<uint8_t> elsewhere = block;
  std::memcpy(elsewhere.data() + SkinPreviewNameOffset, "Other", 6);
  ASSERT_TRUE(e.m->TakeSkinPreview(SkinPreviewCopyDataWParam, elsewhere.data(), elsewhere.size()));
  EXPECT_TRUE(e.m->AppHook(apply));
  ASSERT_EQ(sys.messageBoxes.size(), 1u);
  EXPECT_NE(sys.messageBoxes[0].Text.find("its master image \"master.BMP\" is missing"), std::string::npos);
  EXPECT_EQ(e.m->SkinName(), "Preview");
  EXPECT_GE(SkinManagerGetSectionIndex(*e.m, "BUTTON"), 0);
  EXPECT_FALSE(e.m->ReceivedOptions.has_value());
}

TEST(SkinManagerComponent, MinimizeAndRestoreArrivingAtTheApplicationWindow) {
  struct Case {
    const char* what;
    uintptr_t command;  // SC_MINIMIZE or SC_RESTORE, with the low bits the system may add
    bool skinApplied, animated, composition, borderImage, byLibrary, extendedBorders;
    bool handled;
    Log expected;             // what the main form's provider was asked
    bool minimized, restored;  // the application minimized (restored) by the hook, the system's animation off
  };
  const std::vector<Case> cases = {
      {"minimize, animated, without composition", 0xF022, true, true, false, false, false, false, true,
       {"Main:minimize-animation"}, true, false},
      {"minimize, animated, with composition", 0xF020, true, true, true, false, false, false, false,
       {"Main:minimize-animation"}, false, false},
      {"minimize without the animation", 0xF020, true, false, false, true, false, false, false,
       {"Main:release-border-image"}, false, false},
      {"minimize while no skin is applied", 0xF020, false, true, false, false, false, false, false, {}, false, false},
      {"restore of what the library minimized", 0xF120, true, true, false, false, true, true, false,
       {"Main:drop-frame-cache", "Main:clear-border-flag"}, false, true},
      {"restore of what the system minimized", 0xF120, true, true, false, false, false, false, false,
       {"Main:restore-animation"}, false, false},
      {"restore without the animation", 0xF120, true, false, false, false, false, false, false, {}, false, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    PortableSkinSystem sys;
    sys.minAnimation = true;
    sys.layeredWindows = k.extendedBorders;
    ManagerEnv e(sys);
    e.m->SetExtendedBorders(k.extendedBorders);
    e.Store("Skin", Pack(FixtureMembers()));
    e.m->SetSkinName("Skin");
    ASSERT_EQ(e.m->SkinData().Active, 1);
    e.m->SkinData().Active = k.skinApplied ? 1 : 0;
    e.m->AnimEffects.Minimizing.Active = k.animated;
    sys.composition = k.composition;
    Log log;
    Forms forms;
    ProbeForm* main = forms.Add("Main", true, &log);
    main->provider().borderImage = k.borderImage;
    main->provider().border = k.borderImage;
    main->provider().MinimizedByLibrary = k.byLibrary ? 1 : 0;
    gui::Application->SetMainForm(main);
    bool minimized = false, restored = false;
    gui::Application->OnMinimize = [&](gui::TObject*) { minimized = !sys.minAnimation; };
    gui::Application->OnRestore = [&](gui::TObject*) { restored = !sys.minAnimation; };
    log.clear();
    gui::TMessage m{WM_SYSCOMMAND, k.command, 0, 0};
    EXPECT_EQ(e.m->AppHook(m), k.handled);
    EXPECT_EQ(log, k.expected);
    EXPECT_EQ(minimized, k.minimized);
    EXPECT_EQ(restored, k.restored);
    EXPECT_TRUE(sys.minAnimation);  // the system's animation is put back
    if (k.byLibrary) {
      EXPECT_EQ(main->provider().MinimizedByLibrary, 0);
    }
    if (k.skinApplied) {
      EXPECT_EQ(e.m->LastSysCommand, (k.command & 0xFFF0) == 0xF020 ? 2 : 1);
    }
    gui::Application->OnMinimize = nullptr;
    gui::Application->OnRestore = nullptr;
    gui::Application->SetMainForm(nullptr);
  }
}

TEST(SkinManagerComponent, PopupMenusAreLeftAloneWithoutSkinnedPopups) {
  PortableSkinSystem sys;
  ManagerEnv e(sys);
  for (bool skinned : {false, true}) {
    e.m->SkinnedPopups = skinned;
    gui::TMessage item{WM_SKINMENUITEM, 0, 0, 0};
    gui::TMessage window{WM_SKINPOPUPWINDOW, 0, 0, 0};
    EXPECT_EQ(e.m->AppHook(item), skinned);
    EXPECT_EQ(e.m->AppHook(window), skinned);
  }
}

TEST(SkinManagerComponent, HotAndTrackedControls) {
  PortableSkinSystem sys;
  ManagerEnv e(sys);
  gui::TForm form(nullptr);
  auto* a = new ProbeControl<gui::TLabel>(&form, &form, true);
  auto* b = new ProbeControl<gui::TLabel>(&form, &form, true);
  TsCommonData pressedData;
  a->received.clear();
  e.m->SetHotControl(a);
  e.m->SetHotControl(b);
  EXPECT_EQ(a->received, (std::vector<uint16_t>{AC_MOUSEENTER, AC_MOUSELEAVE}));
  EXPECT_EQ(a->lastParam, e.m->ManagerParam());
  EXPECT_EQ(e.m->HotControl(), b);

  // The tracked control stays while the mouse is over it; the hot control waits for it.
  auto* tracked = new gui::TLabel(&form);
  tracked->SetParent(&form);
  tracked->WindowProc = [&pressedData](gui::TMessage& m) {
    if (m.Msg == WM_SKINCOMMAND && SkinCommandCode(m.WParam) == AC_GETSKINDATA)
      m.Result = reinterpret_cast<LRESULT>(&pressedData);
  };
  e.m->SetTrackedControl(tracked);
  pressedData.MouseAbove = 1;
  e.m->SetHotControl(a);
  EXPECT_EQ(e.m->HotControl(), b);
  EXPECT_EQ(e.m->TrackedControl(), tracked);
  pressedData.MouseAbove = 0;
  e.m->SetHotControl(a);
  EXPECT_EQ(e.m->HotControl(), a);
  EXPECT_EQ(e.m->TrackedControl(), nullptr);

  // Controls that go are forgotten.
  e.m->SetTrackedControl(b);
  delete a;
  delete b;
  EXPECT_EQ(e.m->HotControl(), nullptr);
  EXPECT_EQ(e.m->TrackedControl(), nullptr);
}

TEST(SkinManagerComponent, SettersThatActAndThoseThatDoNot) {
  PortableSkinSystem sys;
  ManagerEnv e(sys);
  e.Store("One", Pack(FixtureMembers()));
  Forms forms;
  ProbeForm* plain = forms.Add("P", false);
  e.m->SetSkinName("One");
  struct Case {
    const char* what;
    std::function<void()> set;
    uint16_t code;
    int times;
  };
  for (const Case& k : std::vector<Case>{
           {"outer effects", [&] { e.m->SetAllowOuterEffects(true); }, AC_SKINREFRESH, 1},
           {"outer effects again", [&] { e.m->SetAllowOuterEffects(true); }, AC_SKINREFRESH, 0},
           {"discoloured glyphs", [&] { e.m->SetDiscoloredGlyphs(true); }, AC_SKINREFRESH, 1},
           {"buttons size", [&] { e.m->SetButtonsSize(14); }, AC_SKINREFRESH, 1},
           {"scroll size", [&] { e.m->SetScrollSize(20); }, AC_SCROLLSIZECHANGED, 1},
           {"scroll size again", [&] { e.m->SetScrollSize(20); }, AC_SCROLLSIZECHANGED, 0},
           {"brightness above the range", [&] { e.m->SetBrightness(150); }, AC_SKINREFRESH, 1},
           {"brightness at the limit", [&] { e.m->SetBrightness(100); }, AC_SKINREFRESH, 0}}) {
    SCOPED_TRACE(k.what);
    plain->received.clear();
    k.set();
    EXPECT_EQ(plain->Count(k.code), k.times);
  }
  EXPECT_EQ(e.m->Brightness(), 100);
  EXPECT_EQ(SkinManagerScrollWidth(e.m.get()), 20);
  EXPECT_EQ(SkinManagerScrollWidthMax(e.m.get()), 20);
  e.m->SetScrollSize(-1);
  EXPECT_EQ(SkinManagerScrollWidth(e.m.get()), sys.SystemMetric(smCXVSCROLL));
  EXPECT_EQ(SkinManagerScrollWidth(nullptr), systemSkinSystem().SystemMetric(smCXVSCROLL));
}

// A reload for new colours or for the extended borders loads the skin again in place: it stays applied, with
// the shadows that the extended borders ask for, and the forms are repainted once.
TEST(SkinManagerComponent, AReloadKeepsTheSkinAppliedWithTheShadowsItsBordersAskFor) {
  PortableSkinSystem sys;
  sys.layeredWindows = true;
  SetStandardBorderShadows(std::make_shared<Bitmap>(5, 5), std::make_shared<Bitmap>(6, 6));
  ManagerEnv e(sys);
  e.Store("One", Pack(FixtureMembers()));
  Forms forms;
  ProbeForm* plain = forms.Add("P", false);
  e.m->SetSkinName("One");
  struct Case {
    const char* what;
    std::function<void()> set;
    bool shadows;
  };
  for (const Case& k : std::vector<Case>{{"extended borders on", [&] { e.m->SetExtendedBorders(true); }, true},
                                         {"brightness", [&] { e.m->SetBrightness(20); }, true},
                                         {"saturation", [&] { e.m->SetSaturation(-30); }, true},
                                         {"hue", [&] { e.m->SetHueOffset(40); }, true},
                                         {"extended borders off", [&] { e.m->SetExtendedBorders(false); }, false},
                                         {"brightness, no borders", [&] { e.m->SetBrightness(-10); }, false}}) {
    SCOPED_TRACE(k.what);
    plain->received.clear();
    e.m->LastSysCommand = 0;
    k.set();
    EXPECT_EQ(plain->Count(AC_SKINREFRESH), 1);
    EXPECT_EQ(e.m->SkinData().Active, 1);
    EXPECT_NE(e.m->SkinInfo(), "N/A");
    EXPECT_EQ(e.m->HooksInstalled, 1);
    TsCommonData data;
    data.FSkinManager = e.m.get();
    data.SkinIndex = SkinManagerGetSectionIndex(*e.m, "BUTTON");
    EXPECT_TRUE(CommonDataIsSkinned(data, true));
    gui::TMessage minimize{0x0112, 0xF020, 0, 0};
    e.m->AppHook(minimize);
    EXPECT_EQ(e.m->LastSysCommand, 2u);  // the application-window hook acts on system commands
    EXPECT_EQ(e.m->Skin().ActiveShadow != nullptr, k.shadows);
    EXPECT_EQ(e.m->Skin().ShadowMargins, k.shadows ? (TRect{9, 9, 9, 9}) : TRect{});
  }
  SetStandardBorderShadows(nullptr, nullptr);
}

TEST(SkinManagerComponent, SkinNamesOfTheStoredSkinsAndTheDirectory) {
  PortableSkinSystem sys;
  ManagerEnv e(sys);
  e.Store("Zest (internal)", "");
  e.Store("apple (internal)", "");
  e.WriteDirectory("Mango", {{"options.DAT", "[GLOBALINFO]\r\n"}});
  e.WriteDirectory("NoDescription", {{"Master.bmp", "BM"}});
  e.WriteDirectory(".Hidden", {{"Options.dat", "[GLOBALINFO]\r\n"}});
  e.dir.write("Berry.ASZ", "packed");
  e.dir.write("notes.txt", "");
  EXPECT_EQ(SkinManagerGetSkinNames(*e.m),
            (std::vector<std::string>{"apple (internal)", "Berry", "Mango", "Zest (internal)"}));
  e.m->SetSkinDirectory(e.dir.file("missing"));
  EXPECT_EQ(SkinManagerGetSkinNames(*e.m).size(), 2u);
}

TEST(SkinManagerComponent, ThirdPartyListsComeFromTheTextsOrTheirDefaults) {
  PortableSkinSystem sys;
  auto m = std::make_unique<TsSkinManagerComponent>(nullptr, sys);
  m->BeginLoading();
  m->ThirdParty[tpButtons] = "";
  m->ThirdParty[tpEdits] = "TMyEdit\r\nTOtherEdit";
  m->Loaded();
  EXPECT_EQ(m->ThirdPartyLists[tpButtons], (std::vector<std::string>{"TButton"}));
  EXPECT_EQ(m->ThirdPartyLists[tpEdits], (std::vector<std::string>{"TMyEdit", "TOtherEdit"}));
  EXPECT_EQ(m->ThirdPartyLists[tpGrids], (std::vector<std::string>{" "}));
  EXPECT_EQ(m->SkinDirectory(), "c:\\Skins");
  EXPECT_EQ(m->MenuSupport.IcoLineSkin, "ICOLINE");
}

TEST(SkinControlUtilities, ControlsFormsAndColours) {
  gui::TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  form.Show();  // windowed controls answer through their windows
  auto* top = new gui::TPanel(&form);
  top->SetParent(&form);
  top->SetHeight(30);
  top->SetAlign(gui::TAlign::alTop);
  auto* bottom = new gui::TPanel(&form);
  bottom->SetParent(&form);
  bottom->SetHeight(20);
  bottom->SetAlign(gui::TAlign::alBottom);
  auto* hiddenTop = new gui::TPanel(&form);
  hiddenTop->SetParent(&form);
  hiddenTop->SetHeight(50);
  hiddenTop->SetAlign(gui::TAlign::alTop);
  hiddenTop->Hide();
  auto* label = new gui::TLabel(&form);
  label->SetParent(&form);
  label->SetHeight(13);
  label->SetAlign(gui::TAlign::alTop);
  EXPECT_EQ(SumAlignedControls(&form, gui::TAlign::alTop, false), 30);
  EXPECT_EQ(SumAlignedControls(&form, gui::TAlign::alTop, true), 43);
  EXPECT_EQ(SumAlignedControls(&form, gui::TAlign::alBottom, false), 20);
  EXPECT_EQ(SumAlignedControls(&form, gui::TAlign::alClient, true), 0);
  EXPECT_EQ(SumAlignedControls(&form, gui::TAlign::alLeft, true), 0);

  EXPECT_EQ(GetOwnerForm(&form), &form);
  EXPECT_EQ(GetOwnerForm(label), &form);
  auto* frame = new gui::TFrame(&form);
  auto* inFrame = new gui::TPanel(frame);
  EXPECT_EQ(GetOwnerFrame(inFrame), frame);
  EXPECT_EQ(GetOwnerFrame(label), nullptr);
  EXPECT_EQ(GetOwnerForm(nullptr), nullptr);

  EXPECT_EQ(GetTextFlags(label, gui::TAlignment::taLeftJustify), 0x44u);
  EXPECT_EQ(GetTextFlags(label, gui::TAlignment::taRightJustify), 0x46u);
  EXPECT_EQ(GetTextFlags(label, gui::TAlignment::taCenter), 0x45u);

  EXPECT_EQ(ControlBgColor(nullptr), TColor(0xFF00FF));
  top->SetColor(0x102030);
  EXPECT_EQ(ControlBgColor(top), TColor(0x102030));
  auto* skinned = new ProbeControl<gui::TPanel>(&form, &form, true);
  gui::TWndMethod previous = skinned->WindowProc;
  skinned->WindowProc = [previous](gui::TMessage& m) {
    if (m.Msg == WM_SKINCOMMAND && SkinCommandCode(m.WParam) == AC_GETCOLOR)
      m.Result = 0x0A0B0C;
    else
      previous(m);
  };
  EXPECT_EQ(ControlBgColor(skinned), TColor(0x0A0B0C));

  EXPECT_TRUE(ControlCanPaint(label));
  EXPECT_FALSE(ControlCanPaint(&form));  // no parent
  EXPECT_FALSE(ControlCanPaint(nullptr));

  // Repaint requests go to the direct children, none while a skin-change animation runs.
  auto* child = new ProbeControl<gui::TLabel>(&form, &form, false);
  RepaintChildControls(&form);
  EXPECT_EQ(child->Count(AC_FLUSHREPAINT), 1);
  AnimationInProgress() = 1;
  RepaintChildControls(&form);
  AnimationInProgress() = 0;
  EXPECT_EQ(child->Count(AC_FLUSHREPAINT), 1);
  EXPECT_EQ(SendLibraryCommandNoParam(nullptr, AC_ISSKINNED), 0);
}

TEST(SkinControlUtilities, PublishedPropertiesThroughTheComponentRegistry) {
  gui::TForm form(nullptr);
  EXPECT_TRUE(HasPublishedProperty(&form, "color"));
  EXPECT_FALSE(HasPublishedProperty(&form, "Flat"));
  SetPublishedProperty(&form, "Color", 0x00FF00);
  EXPECT_EQ(form.Color(), 0x00FF00);
  EXPECT_EQ(GetPublishedOrdProperty(&form, "Flat"), -1);
  EXPECT_EQ(GetPublishedOrdProperty(&form, "ParentFont"), 0);
  auto* font = GetPublishedObjectProperty(&form, "Font");
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font, &form.Font());
  EXPECT_EQ(GetPublishedObjectProperty(&form, "Color"), nullptr);  // not an object
  SetPublishedProperty(font, "Color", 0x0000FF);
  EXPECT_EQ(form.Font().Color(), 0x0000FF);

  form.SetBorderIcons(gui::biSystemMenu | gui::biMaximize);
  EXPECT_TRUE(SetPropertyHasElement(&form, "BorderIcons", "biMaximize"));
  EXPECT_FALSE(SetPropertyHasElement(&form, "BorderIcons", "biMinimize"));
  ChangeSetPropertyElement(&form, "BorderIcons", "biMinimize", true);
  ChangeSetPropertyElement(&form, "BorderIcons", "biSystemMenu", false);
  EXPECT_EQ(form.BorderIcons(), gui::biMinimize | gui::biMaximize);
}

}  // namespace
