// The per-control skin data's decisions, asked through a fake owner: kind tables, the transparency decision,
// colour mixing, the update lock, background answers and the library command message.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "gui/extctrls.h"
#include "gui/stdctrls.h"
#include "skin/manager/commondata.h"
#include "tests/skin_manager/skin_data_fixture.h"

namespace {

using namespace skin;
using namespace skindatatest;

// An owner whose answers the test sets, recording what the data asks of it.
struct FakeOwner : TsSkinDataOwner {
  gui::TPanel control{nullptr};  // stands for "a control" where only its existence counts
  bool isControl = true, windowed = true, provider = false, extendedBorders = false;
  bool hasFocus = false, edit = false, destroying = false, enabled = true, visible = true;
  bool hasParent = true, parentWindow = true;
  TRect bounds{10, 20, 110, 70};
  std::map<uint16_t, LRESULT> parentAnswers;
  std::vector<uint16_t> toParent, performed;
  std::function<void(uint16_t, LPARAM)> onParent, onPerform;
  TColor color = clBtnFace, font = clWindowText, parentColor = 0x00FF00;

  gui::TControl* Control() override { return isControl ? &control : nullptr; }
  bool IsProvider() override { return provider; }
  bool ProviderExtendedBorders() override { return extendedBorders; }
  bool Windowed() override { return windowed; }
  bool HasWindow() override { return windowed; }
  bool Destroying() override { return destroying; }
  bool Enabled() override { return enabled; }
  bool Visible() override { return visible; }
  bool HasFocus() override { return hasFocus; }
  bool CanFocus() override { return true; }
  bool TabStop() override { return true; }
  bool IsEdit() override { return edit; }
  TRect Bounds() override { return bounds; }
  TRect ClientRect() override { return TRect{0, 0, bounds.Width(), bounds.Height()}; }
  bool HasParent() override { return hasParent; }
  bool ParentHasWindow() override { return parentWindow; }
  LRESULT SendToParent(uint16_t code, LPARAM l, uint16_t) override {
    toParent.push_back(code);
    if (onParent) onParent(code, l);
    auto it = parentAnswers.find(code);
    return it == parentAnswers.end() ? 0 : it->second;
  }
  TColor ParentColor() override { return parentColor; }
  LRESULT Perform(uint16_t code, LPARAM l, uint16_t) override {
    performed.push_back(code);
    if (onPerform) onPerform(code, l);
    return 0;
  }
  bool CanPaint() override { return true; }
  TColor Color() override { return color; }
  void SetColor(TColor c) override { color = c; }
  TColor FontColor() override { return font; }
  void SetFontColor(TColor c) override { font = c; }
  int Count(const std::vector<uint16_t>& v, uint16_t code) const { return int(std::count(v.begin(), v.end(), code)); }
};

struct Data {
  TsCommonData d;
  FakeOwner owner;
  explicit Data(int32_t section, int32_t kind = 0) {
    d.Owner = &owner;
    d.SkinIndex = section;
    d.ControlKind = kind;
    d.RepaintBlocked = 0;
  }
};

LRESULT Command(TsCommonData& d, uint16_t code, LPARAM l = 0, uint16_t low = 0) {
  gui::TMessage m{WM_SKINCOMMAND, SkinCommandWParam(code, low), l, 0};
  CommonDataMessage(m, &d);
  return m.Result;
}

TEST(SkinDataKinds, TablesOfKindsAndDefaultSections) {
  SkinDataFixture f;
  struct Row {
    int32_t kind;
    bool a, b, c, d, e, noGlow;
    const char* section;
  };
  const Row rows[] = {
      {0, false, false, false, false, false, false, ""},
      {2, false, true, false, true, false, false, "EDIT"},
      {10, false, true, false, true, true, false, "EDIT"},
      {17, false, true, false, true, false, false, "COMBOBOX"},
      {19, true, false, false, false, false, false, "BAR"},
      {51, true, false, true, false, false, true, "PANEL"},
      {53, true, false, false, false, false, false, "TOOLBAR"},
      {85, false, true, false, false, true, false, "EDIT"},
      {92, false, false, false, false, false, true, "SPEEDBUTTON"},
      {94, false, false, false, false, false, true, "BUTTON"},
      {110, true, false, true, false, false, true, ""},
      {143, true, false, true, false, false, true, "PAGECONTROL"},
      {165, false, false, false, false, false, false, "TRACKBAR"},
      {226, false, false, true, false, false, true, "GROUPBOX"},
      {231, false, true, false, true, true, false, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.kind);
    EXPECT_EQ(KindWithoutHover(r.kind), r.a);
    EXPECT_EQ(KindEditLike(r.kind), r.b);
    EXPECT_EQ(KindContainer(r.kind), r.c);
    EXPECT_EQ(KindSkinColoured(r.kind), r.d);
    EXPECT_EQ(KindFramed(r.kind), r.e);
    EXPECT_EQ(KindWithoutGlow(r.kind), r.noGlow);
    EXPECT_EQ(DefaultSectionOfKind(r.kind, f.Manager()), r.section);
  }
  // Kind 34 takes the first of SLIDER_OFF and PANEL_LOW that the skin has.
  EXPECT_EQ(DefaultSectionOfKind(34, f.Manager()), "PANEL_LOW");
  f.manager->Skin().Sections.push_back(SkinSectionRecord{});
  f.manager->Skin().Sections.back().SectionName = "SLIDER_OFF";
  EXPECT_EQ(DefaultSectionOfKind(34, f.Manager()), "SLIDER_OFF");

  // A group box by its button type: radio and owner-draw buttons are not group boxes.
  EXPECT_TRUE(IsGroupBoxStyle(0x50000007));   // WS_CHILD | WS_VISIBLE | BS_GROUPBOX
  EXPECT_FALSE(IsGroupBoxStyle(0x50000009));  // BS_AUTORADIOBUTTON
  EXPECT_FALSE(IsGroupBoxStyle(0x5000000B));  // BS_OWNERDRAW
  EXPECT_FALSE(IsGroupBoxStyle(0x50000003));  // BS_AUTOCHECKBOX
}

TEST(SkinDataSections, SectionNamesResolveByKindAndName) {
  SkinDataFixture f;
  auto edit = std::make_unique<gui::TEdit>(nullptr);
  TsCommonData d;
  CommonDataInit(d, edit.get(), true);
  EXPECT_EQ(d.OwnerControl, edit.get());
  ASSERT_TRUE(d.CacheBmp);
  EXPECT_TRUE(d.CacheBmp->Empty());
  d.ControlKind = 2;
  CommonDataLoaded(d);
  EXPECT_EQ(d.SkinSection, "EDIT");
  EXPECT_EQ(d.SkinIndex, f.edit);
  EXPECT_EQ(d.RepaintBlocked, 0);
  // Lower case is stored upper case; a name the skin lacks gives -1 and no border or texture.
  CommonDataSetSkinSection(d, "panel");
  EXPECT_EQ(d.SkinSection, "PANEL");
  EXPECT_EQ(d.SkinIndex, f.panel);
  CommonDataSetSkinSection(d, "framed");
  EXPECT_EQ(d.BorderIndex, f.frameImage);
  CommonDataSetSkinSection(d, "NOSUCH");
  EXPECT_EQ(d.SkinIndex, -1);
  EXPECT_EQ(d.BorderIndex, -1);
  // A kind without a default section takes the owner's class name.
  TsCommonData other;
  CommonDataInit(other, edit.get(), false);
  CommonDataLoaded(other);
  EXPECT_EQ(other.SkinSection, "TEDIT");
  // The first name of a list that the skin has; SkinSection stays.
  CommonDataSetSectionFromList(other, {"", "NOSUCH", "GLASS", "PANEL"});
  EXPECT_EQ(other.SkinIndex, f.glass);
  EXPECT_EQ(other.SkinSection, "TEDIT");
  // The default manager is stored as none.
  CommonDataSetSkinManager(other, f.Manager());
  EXPECT_EQ(other.FSkinManager, nullptr);
}

TEST(SkinDataTransparency, DecisionsByOwnerSectionAndParent) {
  SkinDataFixture f;
  struct Row {
    const char* name;
    int32_t section;
    bool windowed, allowOuter, provider, extended, hasParent, parentWindow;
    LRESULT parentSkinned, parentFlags;
    int32_t expected;
  };
  const Row rows[] = {
      {"no section", -1, true, false, false, false, true, true, 0, 0, 1},
      {"outer effects on a window", f.panel, true, true, false, false, true, true, 0, 0, 0},
      {"outer effects on a graphic control", f.panel, false, true, false, false, true, true, 0, 0, 1},
      {"a border that paints its centre", f.opaqueFrame, false, false, false, false, true, true, 0, 0, 0},
      {"partly transparent", f.glass, false, false, false, false, true, true, 0, 0, 0},
      {"a gradient share", f.gradient, false, false, false, false, true, true, 0, 0, 0},
      {"plain colour", f.panel, false, false, false, false, true, true, 0, 0, 1},
      {"a corner image", f.corner, false, false, false, false, true, true, 0, 0, 0},
      {"a provider with extended borders", f.panel, false, false, true, true, true, true, 0, 0, 0},
      {"a masked parent-look texture", f.textured, false, false, false, false, true, true, 0, 0, 0},
      {"transparent without parent", f.clear, false, false, false, false, false, false, 0, 0, 0},
      {"transparent, parent without window", f.clear, false, false, false, false, true, false, 0, 0, 2},
      {"transparent over a transparent skinned parent", f.clear, false, false, false, false, true, true, 1, 1, 1},
      {"transparent over an opaque skinned parent", f.clear, false, false, false, false, true, true, 1, 0, 0},
      {"transparent over an unskinned parent", f.clear, false, false, false, false, true, true, 0, 0, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    f.manager->Effects.AllowOuterEffects = r.allowOuter;
    Data d(r.section);
    if (r.section == f.textured) d.d.TextureIndex = f.textureImage;
    d.owner.windowed = r.windowed;
    d.owner.provider = r.provider;
    d.owner.isControl = !r.provider;
    d.owner.extendedBorders = r.extended;
    d.owner.hasParent = r.hasParent;
    d.owner.parentWindow = r.parentWindow;
    d.owner.parentAnswers[AC_ISSKINNED] = r.parentSkinned;
    d.owner.parentAnswers[AC_TRANSPARENCYFLAGS] = r.parentFlags;
    EXPECT_EQ(CommonDataCalcTransparency(d.d), r.expected);
    // The transparency word follows the decision; an undecided one is left as it was.
    d.d.CtrlState = csUndecided;
    CommonDataUpdateTransparency(d.d, false);
    if (r.expected == 2)
      EXPECT_EQ(d.d.CtrlState, csUndecided);
    else
      EXPECT_EQ(d.d.CtrlState & (csTransparent | csUndecided), r.expected);
  }
}

TEST(SkinDataColours, MixingAndTheAnswersToGetColor) {
  SkinDataFixture f;
  // AC_GETCOLOR's mix takes the transparency as the parent's share, as the painters do.
  struct Mix {
    TColor section, parent;
    int32_t t;
    TColor expected;
  };
  for (const Mix& m : {Mix{0x000000, 0xFFFFFF, 0, 0x000000}, Mix{0x000000, 0xFFFFFF, 100, 0xFFFFFF},
                       Mix{0x0000FF, 0x00FF00, 50, 0x007F7F}, Mix{0x204060, 0x204060, 37, 0x204060},
                       Mix{0xFF0000, 0x000000, 25, 0xBF0000}})
    EXPECT_EQ(MixWithTransparency(m.section, m.parent, m.t), m.expected) << m.t;

  Data opaque(f.panel), glass(f.glass), clear(f.clear), unskinned(-1);
  for (Data* d : {&opaque, &glass, &clear, &unskinned}) d->owner.parentColor = 0x00FF00;
  unskinned.owner.color = 0x112233;
  EXPECT_EQ(Command(opaque.d, AC_GETCOLOR), kPanelColor);
  EXPECT_EQ(Command(clear.d, AC_GETCOLOR), 0x00FF00);
  EXPECT_EQ(Command(unskinned.d, AC_GETCOLOR), 0x112233);
  const TColor answered = TColor(Command(glass.d, AC_GETCOLOR));
  // The background colour of the same control agrees with its answer (up to rounding).
  const TColor painted = CommonDataGetBgColor(glass.d, 0);
  for (int shift : {0, 8, 16})
    EXPECT_NEAR(int((answered >> shift) & 0xFF), int((painted >> shift) & 0xFF), 1) << shift;
  EXPECT_EQ(CommonDataGetBgColor(opaque.d, 0), kPanelColor);
  EXPECT_EQ(CommonDataGetBgColor(clear.d, 1), 0x00FF00);
  // CustomColor: the control's own colour, whatever the section says.
  opaque.d.CustomColor = 1;
  opaque.owner.color = 0x445566;
  EXPECT_EQ(CommonDataGetBgColor(opaque.d, 0), 0x445566);
  EXPECT_EQ(Command(opaque.d, AC_GETCOLOR), kPanelColor);  // the answer to children stays the section's

  // Colours from the skin for a skin-coloured kind; none for a fully transparent section; CustomFont kept.
  Data editData(f.edit, 2);
  CommonDataUpdateColors(editData.d, false);
  EXPECT_EQ(editData.owner.color, kEditColor);
  EXPECT_EQ(editData.owner.font, kEditFont);
  Data listView(f.edit, 10);  // never takes its font colour from the skin
  CommonDataUpdateColors(listView.d, false);
  EXPECT_EQ(listView.owner.font, TColor(clWindowText));
  Data transparent(f.clear, 2);
  CommonDataUpdateColors(transparent.d, false);
  EXPECT_EQ(transparent.owner.color, TColor(clBtnFace));
}

TEST(SkinDataUpdateLock, NestsAndAsksTheParent) {
  SkinDataFixture f;
  Data d(f.panel);
  CommonDataBeginUpdate(d.d);
  CommonDataBeginUpdate(d.d);
  EXPECT_EQ(d.d.UpdateCount, 2);
  EXPECT_EQ(d.owner.Count(d.owner.performed, AC_BEGINUPDATE), 2);
  EXPECT_TRUE(CommonDataUpdateLocked(d.d));
  CommonDataEndUpdate(d.d, false);
  // The inner end leaves the owner locked and tells nobody.
  EXPECT_TRUE(CommonDataUpdateLocked(d.d));
  EXPECT_EQ(d.d.CtrlState & csInUpdate, csInUpdate);
  EXPECT_EQ(d.owner.Count(d.owner.performed, AC_ENDUPDATE), 0);
  CommonDataEndUpdate(d.d, false);
  EXPECT_EQ(d.owner.Count(d.owner.performed, AC_ENDUPDATE), 1);
  EXPECT_EQ(d.d.UpdateCount, 0);
  EXPECT_FALSE(CommonDataUpdateLocked(d.d));
  // An end without a begin keeps the count at 0.
  CommonDataEndUpdate(d.d, false);
  EXPECT_EQ(d.d.UpdateCount, 0);
  // A parent that says it is locked locks the child; IsUpdating then sets the pending flag.
  d.owner.parentAnswers[AC_ISUPDATELOCKED] = 0x101;
  EXPECT_TRUE(CommonDataIsUpdating(d.d, true));
  EXPECT_EQ(d.d.Updating, 1);
  d.owner.parentAnswers[AC_ISUPDATELOCKED] = 0x100;  // only the low byte counts
  EXPECT_FALSE(CommonDataIsUpdating(d.d, true));
  EXPECT_EQ(d.d.Updating, 0);
  // AC_ISUPDATELOCKED answered by a control that paints its own background: locked until its cache has its size.
  d.d.CtrlState = 0;
  d.d.CacheBmp = std::make_unique<Bitmap>(0, 0, pf32bit);
  d.owner.onPerform = [&](uint16_t code, LPARAM) {
    if (code == AC_UPDATECACHE) d.d.CacheBmp->SetSize(100, 50);
  };
  EXPECT_EQ(Command(d.d, AC_ISUPDATELOCKED), 0);
  d.d.CacheBmp->SetSize(90, 50);
  EXPECT_EQ(Command(d.d, AC_ISUPDATELOCKED), 1);
}

TEST(SkinDataBackground, AnswersByKind) {
  SkinDataFixture f;
  // Unskinned: the owner's colour.
  {
    Data d(-1);
    d.owner.color = 0x010203;
    BackgroundInfo bi;
    CommonDataGetBackground(d.d, bi, 0);
    EXPECT_EQ(bi.BgType, btFill);
    EXPECT_EQ(bi.Color, 0x010203);
  }
  // Opaque plain colour: the section colour; with a border the cache's border band is valid too.
  {
    Data d(f.panel);
    BackgroundInfo bi;
    CommonDataGetBackground(d.d, bi, 0);
    EXPECT_EQ(bi.BgType, btFill);
    EXPECT_EQ(bi.Color, kPanelColor);
    EXPECT_EQ(bi.Bmp, nullptr);
    Data framed(f.framed);
    framed.d.CacheBmp = std::make_unique<Bitmap>(100, 50, pf32bit);
    CommonDataGetBackground(framed.d, bi, 0);
    EXPECT_EQ(bi.BgType, btFill);
    EXPECT_EQ(bi.Bmp, framed.d.CacheBmp.get());
    EXPECT_EQ(bi.FillR, (TRect{1, 1, 1, 1}));
  }
  // An opaque gradient: the cache, brought up to date by the owner first; still empty: not ready.
  {
    Data d(f.gradient);
    d.d.CacheBmp = std::make_unique<Bitmap>(0, 0, pf32bit);
    bool fill = true;
    d.owner.onPerform = [&](uint16_t code, LPARAM) {
      if (code == AC_UPDATECACHE && fill) d.d.CacheBmp->SetSize(100, 50);
    };
    BackgroundInfo bi;
    CommonDataGetBackground(d.d, bi, 0);
    EXPECT_EQ(bi.BgType, btCache);
    EXPECT_EQ(bi.Bmp, d.d.CacheBmp.get());
    EXPECT_EQ(bi.Offset, (TPoint{0, 0}));
    d.owner.bounds = TRect{0, 0, 120, 50};  // the cache no longer has the owner's size
    fill = false;
    CommonDataGetBackground(d.d, bi, 0);
    EXPECT_EQ(bi.BgType, btNotReady);
    EXPECT_TRUE(d.d.BGChanged);
  }
  // Fully transparent: the parent's answer, moved by the owner's place; without parent and window the skin's
  // global colour.
  {
    Data d(f.clear);
    d.d.CtrlState = csTransparent;
    Bitmap parentImage(300, 200, pf32bit);
    d.owner.onParent = [&](uint16_t code, LPARAM l) {
      if (code != AC_GETBACKGROUND) return;
      auto* info = reinterpret_cast<BackgroundInfo*>(l);
      EXPECT_EQ(info->R, (TRect{10, 20, 60, 40}));  // asked in the parent's coordinates
      info->Bmp = &parentImage;
      info->Offset = TPoint{3, 4};
      info->BgType = btCache;
    };
    BackgroundInfo bi;
    bi.R = TRect{0, 0, 50, 20};
    CommonDataGetBackground(d.d, bi, 0);
    EXPECT_EQ(bi.BgType, btCache);
    EXPECT_EQ(bi.Bmp, &parentImage);
    EXPECT_EQ(bi.Offset, (TPoint{13, 24}));
    EXPECT_EQ(bi.R, (TRect{0, 0, 50, 20}));
    d.owner.hasParent = false;
    CommonDataGetBackground(d.d, bi, 0);
    EXPECT_EQ(bi.BgType, btFill);
    EXPECT_EQ(bi.Color, kGlobalColor);
  }
  // Partly transparent: no cache gives the key colour; an empty one is not ready and marks a repaint pending.
  {
    Data d(f.glass);
    BackgroundInfo bi;
    CommonDataGetBackground(d.d, bi, 0);
    EXPECT_EQ(bi.BgType, btFill);
    EXPECT_EQ(bi.Color, KeyColor);
    d.d.CacheBmp = std::make_unique<Bitmap>(0, 0, pf32bit);
    CommonDataGetBackground(d.d, bi, 0);
    EXPECT_EQ(bi.BgType, btNotReady);
    EXPECT_EQ(d.d.Updating, 1);
    d.d.CacheBmp->SetSize(10, 10);
    CommonDataGetBackground(d.d, bi, 0);
    EXPECT_EQ(bi.BgType, btCache);
  }
  // The parent offset the painters take: a not-ready parent gives the key colour, never a ready record.
  {
    Data d(f.panel);
    d.owner.onParent = [](uint16_t code, LPARAM l) {
      if (code == AC_GETBACKGROUND) reinterpret_cast<BackgroundInfo*>(l)->BgType = btNotReady;
    };
    CacheInfo ci;
    CommonDataGetParentOffset(d.d, ci);
    EXPECT_EQ(ci.FillColor, KeyColor);
    EXPECT_EQ(ci.Bmp, nullptr);
    EXPECT_FALSE(ci.Ready);
  }
}

TEST(SkinDataOuterEffects, TheShadowRecordOfTheOuterModeAroundTheControl) {
  // A panel (OUTERMODE 2: the inactive shadow record) whose record has a mask made from a flat blur image of 5 x 5:
  // borders 2, colours black at the top and white at the sides; offsets 2, 2, 2, 4 and opacity 200 (the defaults).
  SkinDataFixture f;
  LoadedSkin& skin = f.manager->Skin();
  Bitmap blur(5, 5, pf32bit);
  FillRectBitmap32(blur, TRect{0, 0, 5, 5}, 0x808080, 0);
  SkinShadowRecord& lo = skin.SkinData.InactiveShadow;
  lo.Colors = {0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF};
  lo.Offsets = {2, 2, 2, 4};
  lo.Opacity = 200;
  lo.MaskIndex = SkinManagerGenerateShadowMask(skin, lo, 0, "LO_MASK", blur, f.Manager());
  // The mix of a faded piece: m = 255 - 128, k = (255 - m) x 200 shr 8 = 100.
  auto faded = [](uint32_t d, uint32_t s) { return (d * 155 + s * 100) >> 8; };
  const uint32_t grey = ColorToPixel(0xC8C8C8, 255);
  struct Case {
    const char* what;
    int32_t outerMode;
    TPoint probe;
    uint32_t expected;
  };
  const Case cases[] = {
      {"above the control: the top colour", 2, TPoint{50, 18}, MakePixel(faded(200, 0), faded(200, 0), faded(200, 0), 255)},
      {"left of it: the left colour", 2, TPoint{9, 40}, MakePixel(faded(200, 255), faded(200, 255), faded(200, 255), 255)},
      {"beyond the offsets", 2, TPoint{50, 17}, grey},
      {"under the control (no centre)", 2, TPoint{50, 40}, grey},
      {"no record for the mode", 0, TPoint{50, 18}, grey},
      {"a record without a mask", 1, TPoint{50, 18}, grey},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    f.Section(f.panel).OuterMode = k.outerMode;
    Data d(f.panel);  // the control at (10, 20)-(110, 70) of its parent
    Bitmap parent(130, 100, pf32bit);
    FillRectBitmap32(parent, TRect{0, 0, 130, 100}, 0xC8C8C8, 255);
    BackgroundInfo info;
    info.Bmp = &parent;
    info.BgType = btCache;
    Command(d.d, AC_PAINTOUTEREFFECT, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(GetPixel32(parent, k.probe.X, k.probe.Y), k.expected);
  }
}

TEST(SkinDataMessages, CommandsAndWindowMessages) {
  SkinDataFixture f;
  Data d(f.edit, 2);
  d.owner.edit = true;
  CommonDataUpdateColors(d.d, false);
  ASSERT_EQ(d.owner.color, kEditColor);
  // Commands that carry another manager are left alone (and count as handled).
  TsSkinManagerComponent other(nullptr, f.system);
  gui::TMessage removedByOther{WM_SKINCOMMAND, SkinCommandWParam(AC_SKINREMOVED), other.ManagerParam(), 0};
  EXPECT_TRUE(CommonDataMessage(removedByOther, &d.d));
  EXPECT_EQ(d.d.SkinIndex, f.edit);
  // Every handler answers AC_ISSKINNED with 1 and writes its index; unknown codes are not handled.
  EXPECT_EQ(Command(d.d, AC_ISSKINNED), 1);
  int32_t index = -1;
  Command(d.d, AC_GETSKININDEX, reinterpret_cast<LPARAM>(&index));
  EXPECT_EQ(index, f.edit);
  gui::TMessage unknown{WM_SKINCOMMAND, SkinCommandWParam(AC_SCROLLBEGIN), 0, 0};
  EXPECT_FALSE(CommonDataMessage(unknown, &d.d));

  // Focus in: the hot colours as the section stores them; focus out: the normal ones; both pass on.
  gui::TMessage focus{WM_SETFOCUS, 0, 0, 0};
  EXPECT_FALSE(CommonDataWndProc(focus, &d.d));
  EXPECT_EQ(d.d.Focused, 1);
  EXPECT_EQ(d.owner.color, kEditHot);
  EXPECT_EQ(d.owner.font, kEditHotFont);
  EXPECT_EQ(d.d.CtrlState & csSettingFont, 0);
  gui::TMessage blur{WM_KILLFOCUS, 0, 0, 0};
  EXPECT_FALSE(CommonDataWndProc(blur, &d.d));
  EXPECT_EQ(d.d.Focused, 0);
  EXPECT_EQ(d.owner.color, kEditColor);
  EXPECT_EQ(d.owner.font, kEditFont);

  // The mouse over an edit-like kind shows no hot look; over a button kind it does.
  gui::TMessage enter{gui::CM_MOUSEENTER, 0, 0, 0};
  CommonDataWndProc(enter, &d.d);
  EXPECT_EQ(d.d.MouseAbove, 1);
  EXPECT_FALSE(CommonDataIsFocusedLook(d.d));
  d.d.ControlKind = 93;
  EXPECT_TRUE(CommonDataIsFocusedLook(d.d));
  f.manager->Options.NoMouseHover = true;
  EXPECT_FALSE(CommonDataIsFocusedLook(d.d));
  f.manager->Options.NoMouseHover = false;
  d.d.ControlKind = 2;

  // AC_SKINREMOVED of its own manager: indexes gone, a repaint pending, the edit's standard colours back, and
  // not handled, so that the owner's own handling runs too.
  gui::TMessage removed{WM_SKINCOMMAND, SkinCommandWParam(AC_SKINREMOVED), f.ManagerParam(), 0};
  EXPECT_FALSE(CommonDataMessage(removed, &d.d));
  EXPECT_EQ(d.d.SkinIndex, -1);
  EXPECT_EQ(d.d.BorderIndex, -1);
  EXPECT_EQ(d.d.Updating, 1);
  EXPECT_EQ(d.owner.color, TColor(clWindow));
  EXPECT_EQ(d.owner.font, TColor(clWindowText));
  // Unskinned, AC_GETSKININDEX writes -1 and AC_ISSKINNED still answers 1.
  index = 7;
  Command(d.d, AC_GETSKININDEX, reinterpret_cast<LPARAM>(&index));
  EXPECT_EQ(index, -1);
  EXPECT_EQ(Command(d.d, AC_ISSKINNED), 1);
  // AC_SKINLOADED finds the section again by its name.
  d.d.SkinSection = "EDIT";
  Command(d.d, AC_SKINLOADED, f.ManagerParam());
  EXPECT_EQ(d.d.SkinIndex, f.edit);
  // AC_SECTIONCHANGED names the section in any case.
  EXPECT_TRUE(CommonDataIsOwnSection(d.d, "Edit"));
  EXPECT_FALSE(CommonDataIsOwnSection(d.d, "EDITS"));
  EXPECT_FALSE(CommonDataIsOwnSection(d.d, nullptr));
  // Other window messages are the owner's: the pre-processing answers False.
  gui::TMessage paint{WM_PAINT, 0, 0, 0};
  EXPECT_FALSE(CommonDataWndProc(paint, &d.d));
  EXPECT_FALSE(CommonDataWndProc(paint, nullptr));
}

}  // namespace
