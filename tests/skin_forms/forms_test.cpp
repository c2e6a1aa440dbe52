// The skin provider on headless forms: frame geometry for every border style and window state, the title bar's
// layout, the system menu's rules, the caption text's rectangle, the frame cache's composition, the caption
// buttons' states and glow fades, the library commands and the provider's life cycle.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/extctrls.h"
#include "gui/forms.h"
#include "gui/extctrls.h"
#include "gui/menus.h"
#include "gui/stdctrls.h"
#include "platform/clock.h"
#include "skin/manager/skinchange.h"
#include "skin/manager/skincommands.h"
#include "skin/forms/border_form.h"
#include "skin/forms/composition.h"
#include "skin/forms/form_window.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/glued_forms.h"
#include "skin/forms/min_animation.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/provider_menus.h"
#include "skin/forms/provider_size.h"
#include "skin/forms/provider_wndproc.h"
#include "skin/forms/sskinprovider.h"
#include "skin/forms/system_menu.h"
#include "skin/forms/title_glow.h"
#include "skin/manager/win_values.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/text_engine.h"
#include "tests/skin_forms/forms_fixture.h"

namespace {

using namespace formstest;
using gui::TFormBorderStyle;
using gui::TWindowState;
using skin::TsSkinProvider;

// A form of 300 x 200 at (100, 50) with its provider.
struct Rig {
  FormsSkin skin;
  std::unique_ptr<gui::TForm> form;
  TsSkinProvider* p = nullptr;

  explicit Rig(TFormBorderStyle style = TFormBorderStyle::bsSizeable, bool extended = false, bool menu = false,
               gui::TBorderIcons icons = gui::biSystemMenu | gui::biMinimize | gui::biMaximize,
               TWindowState state = TWindowState::wsNormal)
      : skin(extended) {
    form = std::make_unique<gui::TForm>(nullptr);
    form->SetBorderStyle(style);
    form->SetBorderIcons(icons);
    if (menu) {
      auto* mm = new gui::TMainMenu(form.get());
      auto* item = new gui::TMenuItem(form.get());
      item->SetCaption("&File");
      mm->Items()->Add(item);
      form->SetMenu(mm);
    }
    form->SetBounds(100, 50, 300, 200);
    form->SetCaption("Station");
    form->SetWindowState(state);
    form->Show();
    p = new TsSkinProvider(form.get());
    skin::ProviderPrepareForm(*p);
    if (extended) skin::ProviderUpdateExtBorders(*p, true);
    skin::ProviderLayoutTitle(*p);
  }
  ~Rig() { form.reset(); }
  skin::Bitmap& Cache() {
    skin::ProviderPaintFrame(*p);
    return *p->SkinData().CacheBmp;
  }
  uint32_t At(int32_t x, int32_t y) { return skin::GetPixel32(Cache(), x, y); }
};

TEST(ProviderGeometry, MeasuresForEveryBorderStyleAndWindowState) {
  struct Case {
    TFormBorderStyle style;
    TWindowState state;
    bool menu;
    int captionSkin, captionSystem, frame, menuLine, clientLeft, clientTop, cacheW, cacheH;
  };
  using S = TFormBorderStyle;
  using W = TWindowState;
  const Case cases[] = {
      // Normal 300 x 200: frames 3 (bordered) or 4 (sizeable), captions 19 or 15 (tool windows).
      {S::bsNone, W::wsNormal, false, 0, 0, 0, 0, 0, 0, 300, 200},
      {S::bsSingle, W::wsNormal, false, 19, 19, 3, 0, 3, 22, 300, 200},
      {S::bsSizeable, W::wsNormal, false, 19, 19, 4, 0, 4, 23, 300, 200},
      {S::bsDialog, W::wsNormal, false, 19, 19, 3, 0, 3, 22, 300, 200},
      {S::bsToolWindow, W::wsNormal, false, 15, 15, 3, 0, 3, 18, 300, 200},
      {S::bsSizeToolWin, W::wsNormal, false, 15, 15, 4, 0, 4, 19, 300, 200},
      // A menu line of SM_CYMENU - 1 (dialogs have none), the client area one menu row lower.
      {S::bsSingle, W::wsNormal, true, 19, 19, 3, 18, 3, 41, 300, 200},
      {S::bsSizeable, W::wsNormal, true, 19, 19, 4, 18, 4, 42, 300, 200},
      {S::bsDialog, W::wsNormal, true, 19, 19, 3, 0, 3, 41, 300, 200},
      {S::bsSizeToolWin, W::wsNormal, true, 15, 15, 4, 18, 4, 38, 300, 200},
      // Maximized: the whole 1280 x 1024 screen.
      {S::bsSizeable, W::wsMaximized, false, 19, 19, 4, 0, 4, 23, 1280, 1024},
      {S::bsToolWindow, W::wsMaximized, false, 15, 15, 3, 0, 3, 18, 1280, 1024},
      // Minimized secondary forms: 160 wide, frame + normal caption + 2 high, tool windows too.
      {S::bsNone, W::wsMinimized, false, 19, 19, 0, 0, 80, 27, 160, 21},
      {S::bsSingle, W::wsMinimized, false, 19, 19, 3, 0, 80, 24, 160, 24},
      {S::bsSizeable, W::wsMinimized, false, 19, 19, 4, 0, 80, 23, 160, 25},
      {S::bsToolWindow, W::wsMinimized, false, 19, 19, 3, 0, 80, 24, 160, 24},
      {S::bsSizeToolWin, W::wsMinimized, true, 19, 19, 4, 18, 80, 23, 160, 25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "style " << int(c.style) << " state " << int(c.state) << " menu " << c.menu);
    Rig r(c.style, false, c.menu, gui::biSystemMenu | gui::biMinimize | gui::biMaximize, c.state);
    EXPECT_EQ(skin::ProviderCaptionHeight(*r.p, true), c.captionSkin);
    EXPECT_EQ(skin::ProviderCaptionHeight(*r.p, false), c.captionSystem);
    EXPECT_EQ(skin::FormBorderWidth(*r.p, true), c.frame);
    EXPECT_EQ(skin::FormBorderWidthIfNoSkin(*r.p, true), c.frame);
    EXPECT_EQ(skin::ProviderMenuLineHeight(*r.p), c.menuLine);
    EXPECT_EQ(skin::ProviderClientLeft(*r.p), c.clientLeft);
    EXPECT_EQ(skin::ProviderClientTop(*r.p), c.clientTop);
    EXPECT_EQ(skin::ProviderCacheWidth(*r.p), c.cacheW);
    EXPECT_EQ(skin::ProviderCacheHeight(*r.p), c.cacheH);
    EXPECT_EQ(r.Cache().Width(), c.cacheW);
    EXPECT_EQ(r.Cache().Height(), c.cacheH);
  }
}

TEST(ProviderGeometry, ExtendedBordersAddTheSkinsMarginsTitleAndBorder) {
  // Skin: margins 6, border 5, title 26; the window's own frame 4 and caption 19.
  for (bool menu : {false, true}) {
    SCOPED_TRACE(menu);
    Rig r(TFormBorderStyle::bsSizeable, true, menu);
    ASSERT_TRUE(r.p->BorderForm);
    const skin::TacBorderForm& bf = *r.p->BorderForm;
    EXPECT_EQ(skin::ProviderExtBorderMargins(*r.p), (TRect{6, 6, 6, 6}));
    EXPECT_EQ(skin::FormBorderWidth(*r.p, true), 5);
    EXPECT_EQ(skin::FormBorderWidth(*r.p, false), 4);
    EXPECT_EQ(skin::FormBorderWidthIfNoSkin(*r.p, true), 0);
    EXPECT_EQ(skin::ProviderCaptionHeight(*r.p, true), 26);
    EXPECT_EQ(skin::ProviderCaptionHeight(*r.p, false), 19);
    EXPECT_EQ(skin::ProviderClientLeft(*r.p), 11);
    EXPECT_EQ(skin::ProviderClientTop(*r.p), menu ? 26 + 18 + 6 + 1 : 32);
    EXPECT_EQ(skin::BorderFormClientLeft(bf), 7);
    EXPECT_EQ(skin::BorderFormTopOffset(bf), 9);
    // The cache holds the window with its client area where the window has it.
    const int32_t clientH = skin::FormClientSize(*r.form).cy;
    EXPECT_EQ(skin::ProviderCacheWidth(*r.p), 300 + 2 + 12);
    EXPECT_EQ(skin::ProviderCacheHeight(*r.p), skin::ProviderClientTop(*r.p) + clientH + 5 + 6);
    EXPECT_EQ(skin::BorderFormTopOffset(bf) + (menu ? 42 : 23), skin::ProviderClientTop(*r.p));
    EXPECT_EQ(skin::BorderFormScreenRect(bf),
              (TRect{100 - 7, 50 - 9, 100 - 7 + skin::ProviderCacheWidth(*r.p), 50 - 9 + skin::ProviderCacheHeight(*r.p)}));
  }
}

TEST(ProviderGeometry, MenuLinesFollowTheMenuBarRows) {
  Rig r(TFormBorderStyle::bsSingle, false, true);
  EXPECT_EQ(skin::ProviderMenuLineCount(*r.p), 1);
  // The count is kept until it is reset.
  r.p->MenuLineCountCache = 3;
  EXPECT_EQ(skin::ProviderMenuLineCount(*r.p), 3);
  r.p->MenuLineCountCache = -1;
  EXPECT_EQ(skin::ProviderMenuLineCount(*r.p), 1);
  Rig none(TFormBorderStyle::bsSingle);
  EXPECT_EQ(skin::ProviderMenuLineCount(*none.p), 0);
}

TEST(TitleBar, ButtonsStandRightToLeftWithTheirGaps) {
  struct Case {
    TFormBorderStyle style;
    gui::TBorderIcons icons;
    int users;  // user title buttons; the second one is hidden when there are three
    TRect close, max, min, help, user0, user2, icon;
  };
  using S = TFormBorderStyle;
  const TRect none{};
  const gui::TBorderIcons all = gui::biSystemMenu | gui::biMinimize | gui::biMaximize;
  const Case cases[] = {
      // Sizeable (frame 4, caption 19: centre line 11): 16 x 14 buttons one pixel apart from x 294 leftward,
      // help 6 further left, user buttons 6 further; the icon 16 x 16 at x 6.
      {S::bsSizeable, all | gui::biHelp, 3, {278, 4, 294, 18}, {261, 4, 277, 18}, {244, 4, 260, 18},
       {221, 4, 237, 18}, {200, 4, 214, 18}, {185, 4, 199, 18}, {6, 3, 22, 19}},
      // Only the close and help buttons: help right of where maximize would stand, 6 pixels apart.
      {S::bsSingle, gui::biSystemMenu | gui::biHelp, 0, {279, 3, 295, 17}, none, none, {256, 3, 272, 17}, none,
       none, {5, 2, 21, 18}},
      // A tool window: small 12 x 10 buttons without spacing, no maximize or minimize, no icon.
      {S::bsToolWindow, all, 1, {283, 3, 295, 13}, none, none, none, {263, 3, 277, 13}, none, {5, 8, 5, 8}},
      // No system menu: no system buttons, the user button from the right edge.
      {S::bsSizeable, gui::biMinimize, 1, none, none, none, none, {274, 4, 288, 18}, none, {6, 11, 6, 11}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "style " << int(c.style) << " icons " << int(c.icons));
    Rig r(c.style, false, false, c.icons);
    for (int i = 0; i < c.users; ++i) r.p->TitleButtons().Add();
    if (c.users == 3) r.p->TitleButtons().Items(1)->SetVisible(false);
    skin::ProviderLayoutTitle(*r.p);
    auto width = [](const TRect& rc) { return rc.Right - rc.Left; };
    EXPECT_EQ(r.p->ButtonClose.Rect.Right == r.p->ButtonClose.Rect.Left ? none : r.p->ButtonClose.Rect, c.close);
    EXPECT_EQ(width(r.p->ButtonMax.Rect) == 0 ? none : r.p->ButtonMax.Rect, c.max);
    EXPECT_EQ(width(r.p->ButtonMin.Rect) == 0 ? none : r.p->ButtonMin.Rect, c.min);
    EXPECT_EQ(width(r.p->ButtonHelp.Rect) == 0 ? none : r.p->ButtonHelp.Rect, c.help);
    if (c.users > 0) {
      EXPECT_EQ(r.p->TitleButtons().Items(0)->Data.Rect, c.user0);
    }
    if (c.users > 2) {
      EXPECT_EQ(r.p->TitleButtons().Items(2)->Data.Rect, c.user2);
    }
    EXPECT_EQ(r.p->IconRect, c.icon);
  }
}

TEST(TitleBar, IconSizeAndButtonWidthsFallBack) {
  EXPECT_EQ(skin::DefaultIconSize(-5), 1);
  EXPECT_EQ(skin::DefaultIconSize(8), 1);
  EXPECT_EQ(skin::DefaultIconSize(12), 8);
  EXPECT_EQ(skin::DefaultIconSize(16), 8);
  EXPECT_EQ(skin::DefaultIconSize(20), 16);
  Rig r;
  // An image without states, or none at all, gives the default width of 21.
  skin::TitleButtonRecord rec;
  rec.ImageIndex = r.skin.images[bClose];
  EXPECT_EQ(skin::ProviderTitleButtonWidth(*r.p, rec), kButtonW);
  r.skin.Skin().Images[size_t(rec.ImageIndex)].ImageCount = 0;
  EXPECT_EQ(skin::ProviderTitleButtonWidth(*r.p, rec), 21);
  rec.ImageIndex = 999;
  EXPECT_EQ(skin::ProviderTitleButtonWidth(*r.p, rec), 21);
  r.skin.Skin().Images[size_t(r.skin.images[bUser])].ImageCount = 0;
  skin::TsTitleButton* b = r.p->TitleButtons().Add();
  EXPECT_EQ(skin::ProviderUserButtonWidth(*r.p, *b), 21);
  // A glyph wider than the image widens the button.
  gui::TBitmap glyph;
  glyph.SetSize(30, 8);
  b->SetGlyph(glyph);
  EXPECT_EQ(skin::ProviderUserButtonWidth(*r.p, *b), 32);
}

// A skin that gives no close image: the close button is a blank 21 x 21 and the caption's other buttons, as high as
// it, still show their images, each at the top of its rectangle, in every state.
TEST(TitleButtons, WithoutACloseImageTheOthersStillShowTheirs) {
  Rig r;
  r.skin.Skin().CommonIndexes.BIConClose = -1;
  r.p->ButtonClose.ImageIndex = -1;
  skin::ProviderLayoutTitle(*r.p);
  const TRect close = r.p->ButtonClose.Rect, min = r.p->ButtonMin.Rect, max = r.p->ButtonMax.Rect;
  ASSERT_EQ(close.Width(), 21);
  ASSERT_EQ(close.Height(), 21);
  ASSERT_EQ(min.Height(), 21);
  r.p->FormActive = true;
  for (int state : {0, 1, 2}) {
    SCOPED_TRACE(state);
    r.p->ButtonMin.State = r.p->ButtonMax.State = state;
    r.p->SkinData().BGChanged = true;
    EXPECT_EQ(r.At(min.Left + 2, min.Top + 2), Px(ButtonColor(bMin, state)));
    EXPECT_EQ(r.At(min.Right - 1, min.Top + kButtonH - 1), Px(ButtonColor(bMin, state)));
    EXPECT_EQ(r.At(max.Left + 2, max.Top + 2), Px(ButtonColor(bMax, state)));
    EXPECT_EQ(r.At(close.Left + 10, close.Top + 10), Px(kTitleActive));
  }
}

// The system menu's rules, as a table of what each border style allows, against the skinned menu's predicates.
TEST(SystemMenu, RulesForEveryBorderStyleIconsAndWindowState) {
  using S = TFormBorderStyle;
  struct StyleRow {
    S style;
    bool captionButtons;  // minimize and maximize may show (they need their icons)
    bool restore;         // the restore item shows
    bool size;            // the size item shows
    bool sizeable;        // the size item may be enabled
    bool normalCaption;   // maximize may be enabled
  };
  const StyleRow styles[] = {{S::bsNone, false, false, false, true, false},
                             {S::bsSingle, true, true, true, false, true},
                             {S::bsSizeable, true, true, true, true, true},
                             {S::bsDialog, false, false, false, true, false},
                             {S::bsToolWindow, false, false, false, true, false},
                             {S::bsSizeToolWin, false, false, true, true, false}};
  for (const StyleRow& row : styles)
    for (int icons = 0; icons < 16; ++icons)
      for (TWindowState state : {TWindowState::wsNormal, TWindowState::wsMaximized, TWindowState::wsMinimized}) {
        SCOPED_TRACE(testing::Message() << "style " << int(row.style) << " icons " << icons << " state " << int(state));
        Rig r(row.style, false, false, gui::TBorderIcons(icons), state);
        // Secondary form (another one is the main form).
        ASSERT_TRUE(r.p->SystemMenu);
        const skin::TsSystemMenu& m = *r.p->SystemMenu;
        const bool sys = icons & gui::biSystemMenu, mx = icons & gui::biMaximize, mn = icons & gui::biMinimize;
        const bool iconic = state == TWindowState::wsMinimized;
        // A window without WS_SYSMENU has no system menu at all.
        const bool hasMenu = sys && row.style != S::bsNone;
        EXPECT_EQ(m.CloseVisible(), hasMenu);
        EXPECT_EQ(m.MaximizeVisible(), sys && (iconic || (row.captionButtons && mx)));
        EXPECT_EQ(m.MinimizeVisible(), sys && (iconic || (row.captionButtons && mn)));
        EXPECT_EQ(m.MaximizeEnabled(), row.normalCaption && mx);
        EXPECT_EQ(m.MinimizeEnabled(), mn && !iconic);
        EXPECT_EQ(m.RestoreEnabled(), (mx && state != TWindowState::wsNormal) || iconic);
        EXPECT_EQ(m.RestoreVisible(), sys && row.restore);
        EXPECT_EQ(m.MoveEnabled(), state != TWindowState::wsMaximized);
        EXPECT_EQ(m.SizeVisible(), row.size);
        EXPECT_EQ(m.SizeEnabled(), row.sizeable && !iconic);
        EXPECT_EQ(m.CloseEnabled(), hasMenu);
      }
}

// An MDI parent of 640 x 440 at (20, 20) with a main menu and its provider, and one MDI child of 300 x 200 at
// (0, 0) of its client with a provider of its own.
struct MdiRig {
  FormsSkin skin;
  std::unique_ptr<gui::TForm> parent, child;
  TsSkinProvider* pp = nullptr;
  TsSkinProvider* p = nullptr;

  MdiRig(TFormBorderStyle style, gui::TBorderIcons icons, TWindowState state, bool childMenu = false) {
    parent = std::make_unique<gui::TForm>(nullptr);
    parent->SetFormStyle(gui::TFormStyle::fsMDIForm);
    auto* mm = new gui::TMainMenu(parent.get());
    auto* item = new gui::TMenuItem(parent.get());
    item->SetCaption("&Window");
    mm->Items()->Add(item);
    parent->SetMenu(mm);
    parent->SetBounds(20, 20, 640, 440);
    parent->Show();
    pp = new TsSkinProvider(parent.get());
    skin::ProviderPrepareForm(*pp);
    child = std::make_unique<gui::TForm>(nullptr);
    child->SetFormStyle(gui::TFormStyle::fsMDIChild);
    child->SetBorderStyle(style);
    child->SetBorderIcons(icons);
    if (childMenu) {
      auto* cm = new gui::TMainMenu(child.get());
      auto* ci = new gui::TMenuItem(child.get());
      ci->SetCaption("&Edit");
      cm->Items()->Add(ci);
      child->SetMenu(cm);
    }
    child->SetBounds(0, 0, 300, 200);
    child->SetWindowState(state);
    child->Show();
    p = new TsSkinProvider(child.get());
    skin::ProviderPrepareForm(*p);
    skin::ProviderLayoutTitle(*p);
  }
  ~MdiRig() {
    child.reset();
    parent.reset();
  }
};

// The MDI-child rows of the system menu's rules: inside its parent's client area a child may always be maximized,
// minimized, restored and sized, whatever its border style.
TEST(SystemMenu, RulesOfAnMdiChildForEveryBorderStyleIconsAndWindowState) {
  using S = TFormBorderStyle;
  for (S style : {S::bsNone, S::bsSingle, S::bsSizeable, S::bsDialog, S::bsToolWindow, S::bsSizeToolWin})
    for (int icons = 0; icons < 16; ++icons)
      for (TWindowState state : {TWindowState::wsNormal, TWindowState::wsMaximized, TWindowState::wsMinimized}) {
        SCOPED_TRACE(testing::Message() << "style " << int(style) << " icons " << icons << " state " << int(state));
        MdiRig r(style, gui::TBorderIcons(icons), state);
        ASSERT_TRUE(r.p->SystemMenu);
        const skin::TsSystemMenu& m = *r.p->SystemMenu;
        const bool sys = icons & gui::biSystemMenu, mx = icons & gui::biMaximize, mn = icons & gui::biMinimize;
        const bool iconic = state == TWindowState::wsMinimized;
        const bool hasMenu = sys && style != S::bsNone;
        EXPECT_EQ(m.CloseVisible(), hasMenu);
        EXPECT_EQ(m.MaximizeVisible(), sys);
        EXPECT_EQ(m.MinimizeVisible(), sys);
        EXPECT_EQ(m.MaximizeEnabled(), mx);
        EXPECT_EQ(m.MinimizeEnabled(), mn && !iconic);
        EXPECT_EQ(m.RestoreEnabled(), (mx && state != TWindowState::wsNormal) || iconic);
        EXPECT_EQ(m.RestoreVisible(), sys);
        EXPECT_EQ(m.MoveEnabled(), state != TWindowState::wsMaximized);
        EXPECT_TRUE(m.SizeVisible());
        EXPECT_EQ(m.SizeEnabled(), style != S::bsSingle && !iconic);
      }
}

// The MDI-child rows of the caption-button table: a tool-window child shows its maximize and minimize buttons
// (small images, no spacing), answers them, and its menu shows no menu line of its own (it belongs to its
// parent's).
TEST(TitleBar, AnMdiChildShowsItsButtonsInEveryBorderStyleAndNoMenuLine) {
  using S = TFormBorderStyle;
  const gui::TBorderIcons all = gui::biSystemMenu | gui::biMinimize | gui::biMaximize;
  struct Case {
    S style;
    int buttons;
    TRect close, max, min;
  } cases[] = {
      {S::bsToolWindow, 3, {283, 3, 295, 13}, {271, 3, 283, 13}, {259, 3, 271, 13}},
      {S::bsSizeToolWin, 3, {282, 4, 294, 14}, {270, 4, 282, 14}, {258, 4, 270, 14}},
      // A dialog frame with a normal caption (centre line lower), small images all the same.
      {S::bsDialog, 3, {283, 5, 295, 15}, {271, 5, 283, 15}, {259, 5, 271, 15}},
      {S::bsSizeable, 3, {278, 4, 294, 18}, {261, 4, 277, 18}, {244, 4, 260, 18}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.style));
    MdiRig r(c.style, all, TWindowState::wsNormal, true);
    EXPECT_EQ(skin::ProviderSystemButtonCount(*r.p), c.buttons);
    EXPECT_EQ(r.p->ButtonClose.Rect, c.close);
    EXPECT_EQ(r.p->ButtonMax.Rect, c.max);
    EXPECT_EQ(r.p->ButtonMin.Rect, c.min);
    const skin::TPoint o = skin::ProviderFormOrigin(*r.p);
    auto hit = [&](const TRect& b) {
      return skin::ProviderHitTest(*r.p, skin::TPoint{o.X + (b.Left + b.Right) / 2, o.Y + (b.Top + b.Bottom) / 2});
    };
    EXPECT_EQ(hit(c.close), 20);
    EXPECT_EQ(hit(c.max), 9);
    EXPECT_EQ(hit(c.min), 8);
    EXPECT_FALSE(skin::ProviderHasMenuLine(*r.p));
    EXPECT_FALSE(skin::ProviderMenuHasVisibleItems(*r.p));
    EXPECT_EQ(skin::ProviderMenuLineHeight(*r.p), 0);
  }
}

// The parent's menu line shows its maximized child's buttons at its right end: laid out one pixel apart, drawn
// in the skin (the minimize button only when the child may be minimized), hit-tested; a child that is not
// maximized, or has no system menu, shows none.
TEST(TitleBar, TheMaximizedMdiChildsButtonsStandInTheParentsMenuLine) {
  const gui::TBorderIcons all = gui::biSystemMenu | gui::biMinimize | gui::biMaximize;
  struct Case {
    gui::TBorderIcons icons;
    TWindowState state;
    bool shown, minimize;
  } cases[] = {{all, TWindowState::wsMaximized, true, true},
               {gui::biSystemMenu | gui::biMaximize, TWindowState::wsMaximized, true, false},
               {all, TWindowState::wsNormal, false, false},
               {gui::biMinimize | gui::biMaximize, TWindowState::wsMaximized, false, false}};
  // Parent 640 wide, frame 4, caption 19: its menu line from y 23, 18 high; small 12 x 10 buttons.
  const TRect close{624, 27, 636, 37}, restore{611, 27, 623, 37}, minimize{598, 27, 610, 37};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.icons) << " " << int(c.state));
    MdiRig r(TFormBorderStyle::bsSizeable, c.icons, c.state);
    skin::ProviderSkinMainMenu(*r.pp);
    r.pp->SkinData().BGChanged = true;
    skin::ProviderPaintFrame(*r.pp);
    EXPECT_EQ(skin::ProviderShowMDIChildButtons(*r.pp), c.shown);
    auto hit = [&](const TRect& b) {
      return skin::ProviderHitTest(*r.pp, skin::TPoint{20 + (b.Left + b.Right) / 2, 20 + (b.Top + b.Bottom) / 2});
    };
    const skin::Bitmap& cache = *r.pp->SkinData().CacheBmp;
    auto at = [&](const TRect& b) { return skin::GetPixel32(cache, (b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2); };
    if (!c.shown) {
      EXPECT_EQ(hit(close), 5);
      EXPECT_EQ(at(close), Px(kMenuLine));
      continue;
    }
    EXPECT_EQ(r.pp->ButtonMDIClose.Rect, close);
    EXPECT_EQ(r.pp->ButtonMDIMax.Rect, restore);
    EXPECT_EQ(r.pp->ButtonMDIMin.Rect, minimize);
    EXPECT_EQ(hit(close), 101);
    EXPECT_EQ(hit(restore), 102);
    EXPECT_EQ(hit(minimize), 103);
    EXPECT_EQ(hit(TRect{300, 27, 302, 37}), 5);
    EXPECT_EQ(at(close), Px(ButtonColor(bClose, 0) + 8));
    EXPECT_EQ(at(restore), Px(ButtonColor(bNorm, 0) + 8));
    EXPECT_EQ(at(minimize), c.minimize ? Px(ButtonColor(bMin, 0) + 8) : Px(kMenuLine));
    // A press on the minimize button's place presses it only when the child may be minimized.
    r.parent->Perform(skin::wv::kWmNcLButtonDown, 103, 0);
    EXPECT_EQ(r.pp->CurrentHTCode, c.minimize ? 103 : 0);
    EXPECT_EQ(r.pp->ButtonMDIMin.State, c.minimize ? 2 : 0);
    skin::TitleButtonPressed() = false;
  }
}

TEST(SystemMenu, ItemsMirrorTheWindowsSystemMenu) {
  Rig r(TFormBorderStyle::bsDialog, false, false, gui::biSystemMenu);
  auto& entries = skin::HeadlessSystemMenu(*r.form);
  entries.insert(entries.begin() + 6, {0xF200, "&Extra", 0});
  entries.insert(entries.begin() + 6, {0xF1FF, "&Inside", 0});
  skin::SysMenuUpdateItems(*r.p->SystemMenu, true);
  const gui::TMenuItem* items = r.p->SystemMenu->Items();
  std::vector<std::string> captions;
  for (int i = 0; i < items->Count(); ++i) captions.push_back(items->Items(i)->Caption());
  EXPECT_EQ(captions, (std::vector<std::string>{"&Restore", "&Move", "&Size", "Mi&nimize", "Ma&ximize", "-", "&Extra",
                                                "-", "&Close"}));
  const skin::TsSystemMenu& m = *r.p->SystemMenu;
  EXPECT_FALSE(m.ItemRestore->Visible());
  EXPECT_TRUE(m.ItemMove->Visible());
  EXPECT_FALSE(m.ItemSize->Visible());
  EXPECT_FALSE(m.ItemMinimize->Visible());
  EXPECT_FALSE(m.ItemMaximize->Visible());
  EXPECT_TRUE(m.ItemClose->Visible());
  EXPECT_EQ(m.ItemClose->ShortCut(), gui::TShortCut(gui::scAlt | 0x73));  // Alt+F4
  EXPECT_EQ(items->Items(6)->Tag(), 0xF200);
  // A disabled close entry disables the item and the close button's hit.
  skin::HeadlessSystemMenu(*r.form).back().State = 3;
  EXPECT_FALSE(m.CloseEnabled());
}

// The skin list: a radio item per skin under "Available skins", the current skin checked, a new column every 20
// items, a second list in place of the first; choosing an item selects the skin its caption names.
TEST(SystemMenu, TheSkinListChecksTheCurrentSkinAndSelectsTheChosenOne) {
  Rig r;
  skin::TsSkinManager& m = *r.skin.manager;
  for (int i = 0; i < 45; ++i) m.InternalSkins.Add().Name = "Skin " + std::to_string(100 + i) + " (internal)";
  m.SetActive(false);  // a choice then only names the skin
  m.SetSkinName("Skin 103 (internal)");
  skin::SysMenuAddSkinItems(*r.p->SystemMenu);
  skin::SysMenuAddSkinItems(*r.p->SystemMenu);
  gui::TMenuItem* items = r.p->SystemMenu->Items();
  gui::TMenuItem* root = items->Items(0);
  ASSERT_EQ(root->Name(), "SkinSelectItem");
  EXPECT_EQ(root->Caption(), "Available skins");
  EXPECT_TRUE(items->Items(1)->IsLine());
  EXPECT_EQ(items->Items(2)->Name(), "acIR");  // the system block follows: one list, one separator
  ASSERT_EQ(root->Count(), 45);
  for (int i = 0; i < 45; ++i) {
    const gui::TMenuItem* item = root->Items(i);
    EXPECT_EQ(item->Name(), "SkinSelectItem" + std::to_string(i));
    EXPECT_TRUE(item->RadioItem());
    EXPECT_EQ(item->Checked(), i == 3) << i;
    EXPECT_EQ(item->Break() == gui::TMenuBreak::mbBreak, i == 20 || i == 40) << i;
  }
  root->Items(7)->SetCaption("&Skin 107 (internal)");
  root->Items(7)->Click();
  EXPECT_EQ(m.SkinName(), "Skin 107 (internal)");
  for (const auto& [caption, name] : std::vector<std::pair<std::string, std::string>>{
           {"&Office (internal)", "Office (internal)"},
           {"x(internal)y (internal)", "x(internal)"},
           {"&Snow Leopard (internal) x", "Snow Leopard (internal)"},
           {"Rock && R&oll", "Rock  Roll"},
           {"Plain", "Plain"}})
    EXPECT_EQ(skin::SkinNameOfMenuCaption(caption), name) << caption;
  // Without skins to choose, no list.
  m.InternalSkins.Clear();
  skin::SysMenuAddSkinItems(*r.p->SystemMenu);
  EXPECT_EQ(r.p->SystemMenu->Items()->Items(0)->Name(), "acIR");
}

TEST(CaptionText, RectangleAlignmentAndEllipsis) {
  skin::TextEngine* previous = skin::SetTextEngine(&skin::FixedMetricEngine());
  Rig r;
  // Left of the text: frame 4 + icon 16 + 4; right: before the buttons (2 + 3 x 17) and 12 more.
  skin::TRect rect = skin::ProviderCaptionTextRect(*r.p);
  EXPECT_EQ(rect.Left, 24);
  EXPECT_EQ(rect.Right, 300 - 53 - 12);
  EXPECT_EQ(skin::ProviderCaptionTextFlags(*r.p), 0x8824u);
  gui::TFont font;
  skin::CaptionFont(font);
  const int32_t cw = skin::FixedMetricTextEngine::CellWidth(font);
  // Where the title colour lands in the caption's middle row.
  auto written = [&](int32_t& first, int32_t& last) {
    r.p->SkinData().BGChanged = true;
    skin::Bitmap& c = r.Cache();
    first = -1;
    last = -1;
    for (int32_t x = 0; x < c.Width(); ++x)
      for (int32_t y = 4; y < 23; ++y)
        if (skin::GetPixel32(c, x, y) == Px(kTitleFont)) {
          if (first < 0) first = x;
          last = x;
        }
  };
  int32_t first, last;
  written(first, last);
  EXPECT_EQ(first, rect.Left);
  EXPECT_LT(last, rect.Left + 7 * cw);
  // Right to left: the caption moves to the right end.
  r.form->SetBiDiMode(gui::TBiDiMode::bdRightToLeft);
  EXPECT_EQ(skin::ProviderCaptionTextFlags(*r.p), 0x28824u);
  written(first, last);
  EXPECT_EQ(last, rect.Right - 1 - (cw - (cw < 2 ? cw : cw - 1)));
  r.form->SetBiDiMode(gui::TBiDiMode::bdLeftToRight);
  // Too long: cut with an ellipsis inside the rectangle, every cell written up to its end.
  r.form->SetCaption(std::string(100, 'W'));
  written(first, last);
  EXPECT_EQ(first, rect.Left);
  EXPECT_LT(last, rect.Right);
  EXPECT_GE(last, rect.Right - cw);
  skin::SetTextEngine(previous);
}

TEST(FrameCache, ComposedFromTheSkinInEveryPart) {
  Rig r;
  r.p->FormActive = true;
  r.p->SkinData().BGChanged = true;
  // The frame image's key-colour corner stays transparent (the region cuts it); its edges; the caption; the
  // client background; the buttons in their normal state.
  EXPECT_EQ(r.At(0, 0), skin::KeyPixel);  // the frame image's key-colour corner, cut by the region
  EXPECT_EQ(r.At(1, 100), Px(kFrameActive));
  EXPECT_EQ(r.At(150, 198), Px(kFrameActive));
  EXPECT_EQ(r.At(150, 6), Px(kTitleActive));
  EXPECT_EQ(r.At(150, 100), Px(kFormActive));
  EXPECT_EQ(r.At(285, 10), Px(ButtonColor(bClose, 0)));
  EXPECT_EQ(r.At(268, 10), Px(ButtonColor(bMax, 0)));
  EXPECT_EQ(r.At(251, 10), Px(ButtonColor(bMin, 0)));
  EXPECT_EQ(r.p->RegionRects.size(), 0u);
  skin::ProviderPaintNonClient(*r.p);
  EXPECT_EQ(r.p->RegionRects, (std::vector<TRect>{{0, 0, 1, 1}}));
  // Inactive: the inactive section states and the buttons' inactive look.
  r.p->FormActive = false;
  r.p->SkinData().BGChanged = true;
  EXPECT_EQ(r.At(1, 100), Px(kFrameInactive));
  EXPECT_EQ(r.At(150, 6), Px(kTitleInactive));
  EXPECT_EQ(r.At(150, 100), Px(kFormInactive));
  EXPECT_EQ(r.At(285, 10), Px(ButtonColor(bClose, 3)));
  // Maximized: the restore image instead of maximize.
  Rig m(TFormBorderStyle::bsSizeable, false, false, gui::biSystemMenu | gui::biMinimize | gui::biMaximize,
        TWindowState::wsMaximized);
  const TRect maxRect = m.p->ButtonMax.Rect;
  EXPECT_EQ(m.At(maxRect.Left + 2, maxRect.Top + 2), Px(ButtonColor(bNorm, 0)));
  // A stale cache is composed once; further paints change nothing.
  m.p->SkinData().BGChanged = false;
  skin::SetPixel32(*m.p->SkinData().CacheBmp, 150, 100, 0);
  EXPECT_EQ(m.At(150, 100), 0u);
}

TEST(FrameCache, ChildrenPaintTheirOuterEffectsIntoTheRebuiltCache) {
  // Each visible child is asked, once the cache is composed, to draw its outer effect into it, the client origin
  // given as the offset; only while the manager allows outer effects.
  for (bool allowed : {false, true}) {
    SCOPED_TRACE(allowed ? "allowed" : "not allowed");
    Rig r;
    r.skin.manager->Effects.AllowOuterEffects = allowed;
    auto* child = new gui::TPanel(r.form.get());
    child->SetParent(r.form.get());
    child->SetBounds(20, 30, 40, 20);
    auto* hidden = new gui::TPanel(r.form.get());
    hidden->SetParent(r.form.get());
    hidden->SetVisible(false);
    std::vector<std::pair<const skin::Bitmap*, skin::TPoint>> asked;
    auto listen = [&asked](gui::TControl* c) {
      c->WindowProc = [&asked, c](gui::TMessage& m) {
        if (m.Msg == skin::WM_SKINCOMMAND && skin::SkinCommandCode(m.WParam) == skin::AC_PAINTOUTEREFFECT) {
          const auto* info = reinterpret_cast<const skin::BackgroundInfo*>(m.LParam);
          asked.emplace_back(info->Bmp, info->Offset);
          return;
        }
        c->WndProc(m);
      };
    };
    listen(child);
    listen(hidden);
    r.p->SkinData().BGChanged = true;
    skin::Bitmap& cache = r.Cache();
    if (!allowed) {
      EXPECT_TRUE(asked.empty());
      continue;
    }
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].first, &cache);
    EXPECT_EQ(asked[0].second, (skin::TPoint{skin::ProviderClientLeft(*r.p), skin::ProviderClientTop(*r.p)}));
    // A cache that is not rebuilt asks nobody again.
    r.Cache();
    EXPECT_EQ(asked.size(), 1u);
  }
}

TEST(FrameCache, ExtendedBordersCarryTheShadowAndAnOpaqueFrame) {
  Rig r(TFormBorderStyle::bsSizeable, true);
  const skin::Bitmap& c = r.Cache();
  ASSERT_EQ(c.Width(), 314);
  // The shadow in the margins with its own alpha; the frame from the margin on; the caption over the skin's title
  // height; the client part opaque.
  EXPECT_EQ(skin::GetPixel32(c, 2, 100), Px(kShadow, 128));
  EXPECT_EQ(skin::GetPixel32(c, 7, 100), Px(kFrameActive));
  EXPECT_EQ(skin::GetPixel32(c, 150, 6 + 10), Px(kTitleActive));
  EXPECT_EQ(skin::GetPixel32(c, 150, 100), Px(kFormActive));
  EXPECT_EQ(skin::PixelA(skin::GetPixel32(c, skin::ProviderClientLeft(*r.p), skin::ProviderClientTop(*r.p))), 255u);
}

TEST(TitleButtons, StatesAndPressRefusals) {
  Rig r;
  r.skin.manager->Effects.AllowGlowing = false;
  skin::ProviderSetHotElement(*r.p, 20, true);
  EXPECT_EQ(r.p->ButtonClose.State, 1);
  EXPECT_EQ(r.At(285, 10), Px(ButtonColor(bClose, 1)));
  skin::ProviderSetHotElement(*r.p, 9, true);
  EXPECT_EQ(r.p->ButtonClose.State, 0);
  EXPECT_EQ(r.At(285, 10), Px(ButtonColor(bClose, 0)));
  EXPECT_EQ(r.At(268, 10), Px(ButtonColor(bMax, 1)));
  skin::ProviderPressElement(*r.p, 9);
  EXPECT_EQ(r.At(268, 10), Px(ButtonColor(bMax, 2)));
  EXPECT_TRUE(skin::TitleButtonPressed());
  // While a button is pressed hovering makes nothing hot.
  skin::ProviderSetHotElement(*r.p, 8, true);
  EXPECT_EQ(r.p->ButtonMin.State, 0);
  skin::TitleButtonPressed() = false;
  // Codes naming a user button are checked against the buttons there are.
  skin::ProviderSetHotElement(*r.p, 1005, true);
  EXPECT_EQ(skin::ProviderButtonRecord(*r.p, 1005), nullptr);
  // A form without maximize refuses the press.
  Rig single(TFormBorderStyle::bsSingle, false, false, gui::biSystemMenu | gui::biMinimize);
  skin::ProviderPressElement(*single.p, 9);
  EXPECT_EQ(single.p->CurrentHTCode, 0);
  skin::TitleButtonPressed() = false;
}

TEST(TitleButtons, HitTestFindsEveryElement) {
  Rig r;
  r.p->TitleButtons().Add();
  skin::ProviderLayoutTitle(*r.p);
  auto hit = [&](int32_t x, int32_t y) { return skin::ProviderHitTest(*r.p, skin::TPoint{100 + x, 50 + y}); };
  EXPECT_EQ(hit(285, 10), 20);
  EXPECT_EQ(hit(268, 10), 9);
  EXPECT_EQ(hit(251, 10), 8);
  const TRect u = r.p->TitleButtons().Items(0)->Data.Rect;
  EXPECT_EQ(hit(u.Left + 1, u.Top + 1), 1000);
  EXPECT_EQ(hit(10, 10), 3);    // the icon
  EXPECT_EQ(hit(150, 10), 2);   // the caption
  EXPECT_EQ(hit(1, 100), 10);   // left edge
  EXPECT_EQ(hit(298, 198), 17);  // bottom-right corner
  EXPECT_EQ(hit(150, 100), 1);  // client
}

TEST(GlowFade, HoverFadesInAndLeavingFadesOut) {
  platform::SimulatedClock clock;
  gui::Application->SetClock(&clock);
  Rig r;
  gui::Screen->SetHeadlessCursorPos(skin::TPoint{100 + 285, 50 + 10});
  skin::ProviderSetHotElement(*r.p, 20, true);
  skin::TacSBAnimation* anim = r.p->ButtonClose.GlowTimer;
  ASSERT_NE(anim, nullptr);
  // The skin's glow image, its margin up and left of the button.
  EXPECT_EQ(skin::GlowRect(*anim), (TRect{100 + 278 - 4, 50 + 4 - 4, 100 + 278 - 4 + kGlowW, 50 + kGlowH}));
  std::vector<int32_t> alphas{anim->ShownAlpha};
  for (int i = 0; i < 12; ++i) {
    clock.advance(12);
    gui::Application->ProcessTimers();
    alphas.push_back(anim->ShownAlpha);
  }
  EXPECT_EQ(alphas.front(), 25);
  EXPECT_EQ(alphas[8], 225);
  EXPECT_EQ(alphas.back(), 255);
  ASSERT_TRUE(anim->GlowImage);
  EXPECT_EQ(skin::GetPixel32(*anim->GlowImage, 5, 5), Px(kGlow));
  // The cursor leaves: the form is told, the button goes back to normal and the glow fades out and goes.
  gui::Screen->SetHeadlessCursorPos(skin::TPoint{0, 0});
  int32_t last = 255;
  bool falling = true;
  for (int i = 0; i < 15 && r.p->ButtonClose.GlowTimer && anim->ShownAlpha >= 0; ++i) {
    clock.advance(12);
    gui::Application->ProcessTimers();
    if (anim->ShownAlpha >= 0) {
      falling = falling && anim->ShownAlpha <= last;
      last = anim->ShownAlpha;
    }
  }
  EXPECT_TRUE(falling);
  EXPECT_EQ(r.p->ButtonClose.State, 0);
  EXPECT_EQ(anim->ShownAlpha, -1);
  EXPECT_FALSE(anim->GlowImage);
  EXPECT_FALSE(anim->Enabled());
  gui::Application->SetClock(nullptr);
}

TEST(Provider, CommandsAndLifeCycle) {
  FormsSkin skin;
  gui::TForm form(nullptr);
  form.SetBounds(0, 0, 200, 150);
  gui::TWndMethod original = form.WindowProc;
  std::vector<UINT> seen;
  form.WindowProc = [&, original](gui::TMessage& m) {
    seen.push_back(m.Msg);
    original(m);
  };
  auto* p = new TsSkinProvider(&form);
  EXPECT_TRUE(skin::IsSkinnedFormRegistered(&form));
  EXPECT_EQ(skin::FormProvider(&form), static_cast<skin::TacFormProvider*>(p));
  EXPECT_EQ(form.Perform(skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_ISSKINNED), 0), 1);
  // The client offset; the background answered from the frame cache at the child's place.
  const intptr_t offset = form.Perform(skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_GETCLIENTOFFSET), 0);
  EXPECT_EQ(offset, intptr_t(skin::ProviderClientLeft(*p) | (skin::ProviderClientTop(*p) << 16)));
  skin::BackgroundInfo bi;
  bi.R = TRect{10, 20, 30, 40};
  form.Perform(skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_GETBACKGROUND), reinterpret_cast<LPARAM>(&bi));
  EXPECT_EQ(bi.BgType, skin::btCache);
  EXPECT_EQ(bi.Bmp, p->SkinData().CacheBmp.get());
  EXPECT_EQ(bi.Offset, (skin::TPoint{10 + skin::ProviderClientLeft(*p), 20 + skin::ProviderClientTop(*p)}));
  // Messages the provider does not take reach the form's own procedure; WM_PRINTCLIENT does not.
  seen.clear();
  form.Perform(0x0318, 0, 0);
  form.Perform(0x0200, 0, 0);
  EXPECT_EQ(seen, (std::vector<UINT>{0x0200}));
  // The manager's removal unskins the form; its load skins it again.
  form.Perform(skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_SKINREMOVED), skin.manager->ManagerParam());
  EXPECT_FALSE(skin::ProviderSkinned(*p));
  form.Perform(skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_SKINLOADED), skin.manager->ManagerParam());
  EXPECT_TRUE(skin::ProviderSkinned(*p));
  // The provider's own manager is forgotten when it goes.
  auto* own = new skin::TsSkinManagerComponent(&form, skin.system);
  p->SkinData().FSkinManager = own;
  skin::ProviderPrepareForm(*p);
  delete own;
  EXPECT_EQ(p->SkinData().FSkinManager, nullptr);
  // Freed, the provider gives the form its own procedure back and leaves the skinned forms.
  skin::FreeProvider(p);
  EXPECT_FALSE(skin::IsSkinnedFormRegistered(&form));
  seen.clear();
  form.Perform(0x0318, 0, 0);
  EXPECT_EQ(seen, (std::vector<UINT>{0x0318}));
}

// A form inside a control whose own picture is not painted yet waits (nothing composed, marked to try again)
// and paints once the control's picture is there.
TEST(Provider, AFormInsideAControlWaitsForTheControlsBackground) {
  FormsSkin skin;
  gui::TForm host(nullptr);
  host.SetBounds(0, 0, 400, 300);
  auto* panel = new gui::TPanel(&host);
  panel->SetParent(&host);
  panel->SetBounds(0, 0, 400, 300);
  bool ready = false;
  gui::TWndMethod panelProc = panel->WindowProc;
  panel->WindowProc = [&](gui::TMessage& m) {
    if (m.Msg == skin::WM_SKINCOMMAND && skin::SkinCommandCode(m.WParam) == skin::AC_GETBACKGROUND) {
      auto& bi = *reinterpret_cast<skin::BackgroundInfo*>(m.LParam);
      bi.BgType = ready ? skin::btFill : skin::btNotReady;
      bi.Color = 0x123456;
      m.Result = 1;
      return;
    }
    panelProc(m);
  };
  auto* inner = new gui::TForm(&host);
  inner->SetBorderStyle(TFormBorderStyle::bsSingle);
  inner->SetParent(panel);
  inner->SetBounds(20, 20, 200, 150);
  auto* p = new TsSkinProvider(inner);
  skin::ProviderPrepareForm(*p);
  p->SkinData().BGChanged = true;
  EXPECT_FALSE(skin::ProviderPaintFrame(*p));
  EXPECT_TRUE(p->SkinData().BGChanged);
  EXPECT_EQ(p->SkinData().PaintSkipped, 1);
  ready = true;
  EXPECT_TRUE(skin::ProviderPaintFrame(*p));
  EXPECT_FALSE(p->SkinData().BGChanged);
  EXPECT_EQ(p->SkinData().PaintSkipped, 0);
}

// The update locks: a repaint held back marks the frame stale while the form (or a parent) holds its repaints,
// and the form answers that it is locked, but not while a skin change holds every repaint.
TEST(Provider, RepaintsHeldBackAndTheUpdateLockAreAnswered) {
  Rig r;
  auto send = [&](int32_t code, uint16_t arg) {
    return r.form->Perform(skin::WM_SKINCOMMAND, (uint32_t(code) << 16) | arg, 0);
  };
  skin::ProviderPaintFrame(*r.p);
  ASSERT_FALSE(r.p->SkinData().BGChanged);
  EXPECT_EQ(send(skin::AC_ISUPDATELOCKED, 0), 0);
  send(skin::AC_SETREPAINTPENDING, 1);
  EXPECT_EQ(r.p->SkinData().Updating, 1);
  EXPECT_TRUE(r.p->SkinData().BGChanged);
  EXPECT_EQ(send(skin::AC_ISUPDATELOCKED, 0), 1);
  skin::AnimationInProgress() = 1;
  EXPECT_EQ(send(skin::AC_ISUPDATELOCKED, 0), 0);
  skin::AnimationInProgress() = 0;
  send(skin::AC_SETREPAINTPENDING, 0);
  EXPECT_EQ(send(skin::AC_ISUPDATELOCKED, 0), 0);
}

// The caption's glow is made once per caption and state and laid over the frame at every composition.
TEST(CaptionText, TheGlowIsMadeOncePerCaptionAndState) {
  Rig r;
  skin::SkinSectionRecord& t = r.skin.Skin().Sections[size_t(r.skin.title)];
  t.HotState.GradientSize = 3;
  t.HotState.GradientColor = 0x00FFFF;
  const skin::TRect caption = skin::ProviderCaptionTextRect(*r.p);
  r.p->SkinData().BGChanged = true;
  skin::ProviderPaintFrame(*r.p);
  ASSERT_TRUE(r.p->CaptionGlow[1].Bmp);
  const skin::Bitmap* made = r.p->CaptionGlow[1].Bmp.get();
  // The glow shows left of the text, over the title's colour.
  const uint32_t glowed = skin::GetPixel32(*r.p->SkinData().CacheBmp, caption.Left - 1, r.p->ButtonsCenter);
  EXPECT_NE(glowed & 0xFFFFFF, Px(kTitleActive) & 0xFFFFFF);
  r.p->SkinData().BGChanged = true;
  skin::ProviderPaintFrame(*r.p);
  EXPECT_EQ(r.p->CaptionGlow[1].Bmp.get(), made) << "the same caption keeps its glow";
  EXPECT_EQ(skin::GetPixel32(*r.p->SkinData().CacheBmp, caption.Left - 1, r.p->ButtonsCenter), glowed);
  r.form->SetCaption("Another station");
  r.p->SkinData().BGChanged = true;
  skin::ProviderPaintFrame(*r.p);
  EXPECT_EQ(r.p->CaptionGlow[1].Text, "Another station");
  EXPECT_FALSE(r.p->CaptionGlow[0].Bmp) << "no inactive caption painted yet";
}

// A new caption text repaints the caption band of the cache alone (the client part, spoilt here, stays as it was),
// and the band then equals a frame composed whole: with a menu line below it, with extended borders, with the
// text's glow, with outer effects of the children (one reaching up into the band). A glow that reaches below the
// band has the whole frame composed.
TEST(CaptionText, ANewTextRepaintsTheCaptionBandAsTheWholeFrameWouldBe) {
  struct Case {
    const char* what;
    bool extended, menu;
    int32_t glow;
    bool whole, effects = false;
  } cases[] = {{"plain", false, false, 0, false},
               {"menu line", false, true, 0, false},
               {"extended borders", true, false, 0, false},
               {"glow", false, false, 2, false},
               {"glow below the band", false, false, 40, true},
               {"outer effects", true, false, 0, false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rig r(TFormBorderStyle::bsSizeable, c.extended, c.menu);
    r.skin.manager->Effects.AllowOuterEffects = c.effects;
    if (c.effects) {
      // A child at the client's top whose effect (a flat band) reaches 4 rows up into the caption.
      auto* child = new gui::TPanel(r.form.get());
      child->SetParent(r.form.get());
      child->SetBounds(10, 0, 60, 20);
      gui::TControl* control = child;
      child->WindowProc = [control](gui::TMessage& m) {
        if (m.Msg == skin::WM_SKINCOMMAND && skin::SkinCommandCode(m.WParam) == skin::AC_PAINTOUTEREFFECT) {
          const auto* info = reinterpret_cast<const skin::BackgroundInfo*>(m.LParam);
          const skin::TPoint at{info->Offset.X + 10, info->Offset.Y};
          skin::FillRectBitmap32(*info->Bmp, skin::TRect{at.X - 4, at.Y - 4, at.X + 64, at.Y + 24}, 0x3366CC, 255);
          return;
        }
        control->WndProc(m);
      };
    }
    r.p->FormActive = true;
    skin::SkinSectionRecord& t = r.skin.Skin().Sections[size_t(r.skin.title)];
    t.HotState.GradientSize = c.glow;
    t.HotState.GradientColor = 0x00FFFF;
    r.p->SkinData().BGChanged = true;
    skin::Bitmap& cache = r.Cache();
    const int32_t clientTop = skin::ProviderClientTop(*r.p), clientLeft = skin::ProviderClientLeft(*r.p);
    const int32_t spoiltY = cache.Height() - 12;
    skin::SetPixel32(cache, clientLeft + 5, spoiltY, 0);
    r.form->SetCaption("Stn 1");  // shorter: nothing of the old text may stay
    EXPECT_FALSE(r.p->SkinData().BGChanged);
    EXPECT_EQ(skin::GetPixel32(cache, clientLeft + 5, spoiltY) == 0, !c.whole);
    auto bandPixels = [&] {
      std::vector<uint32_t> v;
      for (int32_t y = 0; y < clientTop; ++y)
        for (int32_t x = 0; x < cache.Width(); ++x) v.push_back(skin::GetPixel32(cache, x, y));
      return v;
    };
    const std::vector<uint32_t> band = bandPixels();
    r.p->SkinData().BGChanged = true;
    r.Cache();
    EXPECT_TRUE(band == bandPixels());
  }
}

TEST(Provider, OnlyFormsOwnIt) {
  FormsSkin skin;
  gui::TForm form(nullptr);
  auto* panel = new gui::TPanel(&form);
  gui::TWndMethod before = form.WindowProc;
  try {
    new TsSkinProvider(panel);
    FAIL() << "a provider on a panel";
  } catch (const gui::EAbort& e) {
    EXPECT_STREQ(e.what(), "TsSkinProvider component may be used with forms only!");
  }
  EXPECT_EQ(panel->ComponentCount(), 0);
  EXPECT_FALSE(skin::IsSkinnedFormRegistered(&form));
}

TEST(Provider, LabelsTakeTheSkinsColourAndGetTheirOwnBack) {
  FormsSkin skin;
  skin.Skin().Colors[skin::scMainFontColor] = 0x123456;
  gui::TForm form(nullptr);
  auto* label = new gui::TLabel(&form);
  label->SetParent(&form);
  label->SetParentFont(false);
  label->Font().SetColor(0x00FF00);
  const bool labelOpaque = (label->ControlStyle() & gui::csOpaque) != 0;  // before any skin
  auto* p = new TsSkinProvider(&form);
  for (int round = 0; round < 2; ++round) {
    form.Perform(skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_SKINREMOVED), skin.manager->ManagerParam());
    EXPECT_EQ(label->Font().Color(), 0x00FF00u);
    EXPECT_TRUE(p->LabelColors.empty());
    form.Perform(skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_SKINLOADED), skin.manager->ManagerParam());
    EXPECT_EQ(label->Font().Color(), skin::SkinManagerGlobalFontColor(*skin.manager));
  }
  // Unskinned, each label paints as it did before: an opaque one opaque, a transparent one transparent.
  auto* clear = new gui::TLabel(&form);
  clear->SetParent(&form);
  clear->SetTransparent(true);
  const bool clearOpaque = (clear->ControlStyle() & gui::csOpaque) != 0;
  form.Perform(skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_SKINREMOVED), skin.manager->ManagerParam());
  form.Perform(skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_SKINLOADED), skin.manager->ManagerParam());
  EXPECT_EQ(clear->ControlStyle() & gui::csOpaque, 0u);
  form.Perform(skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_SKINREMOVED), skin.manager->ManagerParam());
  EXPECT_EQ((clear->ControlStyle() & gui::csOpaque) != 0, clearOpaque);
  EXPECT_EQ((label->ControlStyle() & gui::csOpaque) != 0, labelOpaque);
  form.Perform(skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_SKINLOADED), skin.manager->ManagerParam());
  // A label freed while skinned leaves no entry.
  delete clear;
  delete label;
  EXPECT_TRUE(p->LabelColors.empty());
}


// The system commands a form's own procedure receives (WM_SYSCOMMAND), in order.
struct CommandSpy {
  std::vector<uintptr_t> commands;
  explicit CommandSpy(TsSkinProvider& p) {
    gui::TWndMethod old = p.OldWndProc;
    p.OldWndProc = [this, old](gui::TMessage& m) {
      if (m.Msg == 0x112) commands.push_back(m.WParam);
      if (old) old(m);
    };
  }
};

LPARAM ScreenPoint(int32_t x, int32_t y) { return LPARAM(uint32_t(uint16_t(x)) | (uint32_t(uint16_t(y)) << 16)); }

TEST(CaptionButtons, AReleaseOnThePressedButtonRunsItsCommandAndNothingElseDoes) {
  constexpr uintptr_t none = 0;
  struct Case {
    const char* what;
    TWindowState state;
    int32_t downCode, downX;  // the press (window coordinates, caption row 10)
    int32_t upCode, upX;      // the release
    bool closeDisabled;
    uintptr_t command;
  } cases[] = {
      {"close", TWindowState::wsNormal, 20, 285, 20, 285, false, 0xF060},
      {"maximize", TWindowState::wsNormal, 9, 268, 9, 268, false, 0xF030},
      {"restore of a maximized form", TWindowState::wsMaximized, 9, 0, 9, 0, false, 0xF120},
      {"minimize", TWindowState::wsNormal, 8, 251, 8, 251, false, 0xF020},
      {"minimize released beside its button", TWindowState::wsNormal, 8, 251, 8, 150, false, none},
      {"close released on the caption", TWindowState::wsNormal, 20, 285, 2, 150, false, none},
      {"close released on maximize", TWindowState::wsNormal, 20, 285, 9, 268, false, none},
      {"disabled close", TWindowState::wsNormal, 20, 285, 20, 285, true, none},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rig r(TFormBorderStyle::bsSizeable, false, false, gui::biSystemMenu | gui::biMinimize | gui::biMaximize, c.state);
    if (c.closeDisabled) {
      for (auto& e : skin::HeadlessSystemMenu(*r.form))
        if (e.Id == 0xF060) e.State = 3;  // MF_GRAYED | MF_DISABLED
      skin::SysMenuUpdateItems(*r.p->SystemMenu);
    }
    skin::ProviderLayoutTitle(*r.p);
    const TRect w = skin::FormWindowRect(*r.form);
    const int32_t centreY = (r.p->ButtonClose.Rect.Top + r.p->ButtonClose.Rect.Bottom) / 2;
    auto x = [&](int32_t code, int32_t x) {
      if (x != 0) return x;
      const skin::TitleButtonRecord* b = skin::ProviderButtonRecord(*r.p, code);
      return (b->Rect.Left + b->Rect.Right) / 2;
    };
    CommandSpy spy(*r.p);
    r.form->Perform(0xA1, WPARAM(c.downCode), ScreenPoint(w.Left + x(c.downCode, c.downX), w.Top + centreY));
    if (c.closeDisabled) {
      EXPECT_EQ(r.p->CurrentHTCode, 0);
    }
    r.form->Perform(0xA2, WPARAM(c.upCode), ScreenPoint(w.Left + x(c.upCode, c.upX), w.Top + centreY));
    EXPECT_EQ(spy.commands, c.command ? std::vector<uintptr_t>{c.command} : std::vector<uintptr_t>{});
    // The press is over: no button stays pressed.
    EXPECT_FALSE(skin::TitleButtonPressed());
    for (const skin::TitleButtonRecord* b : {&r.p->ButtonClose, &r.p->ButtonMax, &r.p->ButtonMin}) EXPECT_NE(b->State, 2);
  }
}

// The provider of the form a control lies on, found up the control's parents.
TEST(Provider, TheProviderOfTheFormAControlLiesOn) {
  Rig r;
  auto* panel = new gui::TPanel(r.form.get());
  panel->SetParent(r.form.get());
  auto* button = new gui::TButton(r.form.get());
  button->SetParent(panel);
  gui::TForm plainForm(nullptr);
  auto* loose = new gui::TButton(&plainForm);
  gui::TButton orphan(nullptr);
  loose->SetParent(&plainForm);
  for (const auto& [control, provider] : std::vector<std::pair<gui::TControl*, TsSkinProvider*>>{
           {button, r.p}, {panel, r.p}, {r.form.get(), r.p}, {loose, nullptr}, {&orphan, nullptr}, {nullptr, nullptr}})
    EXPECT_EQ(skin::FormProviderOf(control), provider);
}

// User title buttons that share one pair of handlers: each press and release names its own button as Sender.
TEST(CaptionButtons, AUserTitleButtonIsTheSenderOfItsMouseEvents) {
  Rig r;
  skin::TsTitleButton* first = r.p->TitleButtons().Add();
  skin::TsTitleButton* second = r.p->TitleButtons().Add();
  std::vector<std::pair<std::string, gui::TObject*>> seen;
  const gui::TMouseEvent down = [&](gui::TObject* sender, gui::TMouseButton, gui::TShiftState, int, int) {
    seen.emplace_back("down", sender);
  };
  const gui::TMouseEvent up = [&](gui::TObject* sender, gui::TMouseButton, gui::TShiftState, int, int) {
    seen.emplace_back("up", sender);
  };
  for (skin::TsTitleButton* b : {first, second}) {
    b->OnMouseDown = down;
    b->OnMouseUp = up;
  }
  skin::ProviderLayoutTitle(*r.p);
  const TRect w = skin::FormWindowRect(*r.form);
  for (skin::TsTitleButton* b : {second, first}) {
    const int32_t code = skin::wv::kHtUserButton + b->Index();
    const LPARAM at = ScreenPoint(w.Left + (b->Data.Rect.Left + b->Data.Rect.Right) / 2,
                                  w.Top + (b->Data.Rect.Top + b->Data.Rect.Bottom) / 2);
    r.form->Perform(0xA1, WPARAM(code), at);
    r.form->Perform(0xA2, WPARAM(code), at);
  }
  using Seen = std::vector<std::pair<std::string, gui::TObject*>>;
  EXPECT_EQ(seen, (Seen{{"down", second}, {"up", second}, {"down", first}, {"up", first}}));
  EXPECT_STREQ(first->ClassName(), "TsTitleButton");
}

TEST(CaptionButtons, AClosePressThatFreesTheProviderLeavesNothingTouched) {
  Rig r;
  skin::ProviderLayoutTitle(*r.p);
  const TRect w = skin::FormWindowRect(*r.form);
  const skin::TPoint at{w.Left + (r.p->ButtonClose.Rect.Left + r.p->ButtonClose.Rect.Right) / 2, w.Top + 10};
  // The form's own handling of the close frees the provider (as a form freed on close would).
  TsSkinProvider* p = r.p;
  gui::TWndMethod old = p->OldWndProc;
  bool freed = false;
  p->OldWndProc = [&freed, p, old](gui::TMessage& m) {
    if (m.Msg == 0x112 && (m.WParam & 0xFFF0) == 0xF060 && !freed) {
      freed = true;
      skin::FreeProvider(p);
      return;
    }
    if (old) old(m);
  };
  r.form->Perform(0xA1, 20, ScreenPoint(at.X, at.Y));
  r.form->Perform(0xA2, 20, ScreenPoint(at.X, at.Y));
  EXPECT_TRUE(freed);
  EXPECT_FALSE(skin::TitleButtonPressed());
  EXPECT_FALSE(skin::IsSkinnedFormRegistered(r.form.get()));
}

TEST(CaptionButtons, DoubleAndRightClicksOnTheCaption) {
  Rig r;
  CommandSpy spy(*r.p);
  const TRect w = skin::FormWindowRect(*r.form);
  r.form->Perform(0xA3, 2, ScreenPoint(w.Left + 150, w.Top + 10));
  EXPECT_EQ(spy.commands, std::vector<uintptr_t>{0xF030});
  // Without maximize and restore a double click on the caption does nothing.
  Rig fixed(TFormBorderStyle::bsSingle, false, false, gui::biSystemMenu);
  CommandSpy fixedSpy(*fixed.p);
  fixed.form->Perform(0xA3, 2, ScreenPoint(w.Left + 150, w.Top + 10));
  EXPECT_TRUE(fixedSpy.commands.empty());
  // A right press on the caption is the provider's (the system's menu never opens); elsewhere it is the form's.
  std::vector<UINT> seen;
  gui::TWndMethod old = r.p->OldWndProc;
  r.p->OldWndProc = [&seen, old](gui::TMessage& m) {
    seen.push_back(m.Msg);
    old(m);
  };
  r.form->Perform(0xA4, 2, ScreenPoint(w.Left + 150, w.Top + 10));
  r.form->Perform(0xA4, 10, ScreenPoint(w.Left + 1, w.Top + 100));
  EXPECT_EQ(seen, std::vector<UINT>{0xA4});
  // The right button's release opens the skinned system menu on the caption and on the icon, nowhere else.
  int popups = 0;
  r.p->SystemMenu->OnPopup = [&](gui::TObject*) { ++popups; };
  r.form->Perform(0xA5, 2, ScreenPoint(w.Left + 150, w.Top + 10));
  EXPECT_EQ(popups, 1);
  const skin::TPoint icon{w.Left + (r.p->IconRect.Left + r.p->IconRect.Right) / 2,
                          w.Top + (r.p->IconRect.Top + r.p->IconRect.Bottom) / 2};
  r.form->Perform(0xA5, 3, ScreenPoint(icon.X, icon.Y));
  EXPECT_EQ(popups, 2);
  r.form->Perform(0xA5, 10, ScreenPoint(w.Left + 1, w.Top + 100));
  r.form->Perform(0xA5, 1, ScreenPoint(w.Left + 150, w.Top + 100));
  EXPECT_EQ(popups, 2);
  // A left press on the icon opens it too.
  r.form->Perform(0xA1, 3, ScreenPoint(icon.X, icon.Y));
  EXPECT_EQ(popups, 3);
}

TEST(BorderDrag, TheOutlineKeepsTheMinimumSizeAndIsAlwaysErased) {
  Rig r;
  r.p->ResizeMode = skin::rmBorder;
  r.form->Constraints.MinWidth = 240;
  r.form->Constraints.MinHeight = 150;
  auto cursor = [](int32_t x, int32_t y) { gui::Screen->SetHeadlessCursorPos(skin::TPoint{x, y}); };
  // Bottom-left corner dragged far to the right and up: the left edge stops at the minimum width, the bottom at
  // the minimum height, the right and top edges stay.
  const int64_t draws = skin::DesktopOutlineDraws();
  cursor(100, 249);
  r.form->Perform(0xA1, 16, ScreenPoint(100, 249));
  EXPECT_TRUE(r.p->DragActive);
  EXPECT_TRUE(skin::FormHasCapture(*r.form));
  for (int32_t x : {150, 200, 260}) {
    cursor(x, 120);
    r.form->Perform(0x200, 0, 0);
  }
  EXPECT_EQ(skin::BorderDragOutline(), (TRect{160, 50, 400, 200}));
  EXPECT_EQ(r.form->BoundsRect(), (TRect{100, 50, 400, 250}));  // nothing moves before the release
  r.form->Perform(0x202, 0, 0);
  EXPECT_EQ(r.form->BoundsRect(), (TRect{160, 50, 400, 200}));
  EXPECT_FALSE(r.p->DragActive);
  EXPECT_FALSE(skin::FormHasCapture(*r.form));
  EXPECT_EQ((skin::DesktopOutlineDraws() - draws) % 2, 0);

  // A drag that loses its capture (cancel mode) ends where it is: outline erased, the form as it was.
  cursor(399, 150);
  r.form->Perform(0xA1, 11, ScreenPoint(399, 150));
  cursor(500, 150);
  r.form->Perform(0x200, 0, 0);
  EXPECT_EQ(skin::BorderDragOutline().Right, 501);
  r.form->Perform(0x1F, 0, 0);
  EXPECT_EQ(r.form->BoundsRect(), (TRect{160, 50, 400, 200}));
  EXPECT_FALSE(r.p->DragActive);
  EXPECT_EQ((skin::DesktopOutlineDraws() - draws) % 2, 0);

  // Releasing without a move leaves the bounds alone; a move by the caption keeps the size.
  cursor(250, 60);
  r.form->Perform(0xA1, 2, ScreenPoint(250, 60));
  r.form->Perform(0x202, 0, 0);
  EXPECT_EQ(r.form->BoundsRect(), (TRect{160, 50, 400, 200}));
  r.form->Perform(0xA1, 2, ScreenPoint(250, 60));
  cursor(270, 90);
  r.form->Perform(0x200, 0, 0);
  r.form->Perform(0x202, 0, 0);
  EXPECT_EQ(r.form->BoundsRect(), (TRect{180, 80, 420, 230}));
  EXPECT_EQ(skin::SizeByDrag(TRect{0, 0, 100, 100}, 13, -20, 500, 50, 40), (TRect{-20, 60, 100, 100}));
}

TEST(ScreenSnap, EdgesWithinTheBufferSnapAndOneMorePixelDoesNot) {
  Rig a, b;
  a.p->ScreenSnap = true;
  b.form->SetBounds(600, 60, 200, 150);
  const int32_t screenW = gui::Screen->Width();
  struct Case {
    int32_t x, y, wantX, wantY;
  } cases[] = {
      {10, 300, 0, 300},                    // the work area's left edge, 10 pixels away
      {11, 300, 11, 300},                   // 11 pixels: no snap
      {-10, 300, 0, 300},
      {screenW - 300 + 10, 300, screenW - 300, 300},  // the right edge
      {290, 100, 300, 100},                 // beside b's left side: a's right edge onto b's left edge
      {289, 100, 289, 100},
      {290, 400, 290, 400},                 // not beside b (no vertical overlap): no snap to it
      {795, 100, 800, 100},                 // a's left edge onto b's right edge
  };
  for (const Case& c : cases) {
    int32_t x = c.x, y = c.y;
    skin::ScreenSnap(*a.p, x, y);
    EXPECT_EQ(x, c.wantX) << c.x << "," << c.y;
    EXPECT_EQ(y, c.wantY) << c.x << "," << c.y;
  }
}

// The visible frame lands on each work-area edge and on another form's outer edge. With a border window the
// shadow around the form is left out once: the form's window stands inside its visible frame by the skin's
// wider border (1 here), its taller title (3) and the skin's align offsets.
TEST(ScreenSnap, TheVisibleFrameLandsOnEachEdgeWithAndWithoutABorderWindow) {
  const int32_t W = gui::Screen->Width(), H = gui::Screen->Height();
  struct Config {
    bool border;
    int32_t alignLeft, alignTop, alignRight, alignBottom;
    int32_t l, t, r, b;  // where the window stands inside its visible frame
  } configs[] = {{false, 0, 0, 0, 0, 0, 0, 0, 0}, {true, 0, 0, 0, 0, 1, 3, 1, 1}, {true, 2, 4, 3, 5, 3, 7, 4, 6}};
  for (const Config& c : configs) {
    SCOPED_TRACE(testing::Message() << "border " << c.border << " align " << c.alignLeft);
    Rig a(TFormBorderStyle::bsSizeable, c.border), b(TFormBorderStyle::bsSizeable, c.border);
    for (Rig* r : {&a, &b}) {
      skin::TsSkinData& g = r->skin.Skin().SkinData;
      g.AlignOffset = c.alignLeft;
      g.AlignOffsetT = c.alignTop;
      g.AlignOffsetR = c.alignRight;
      g.AlignOffsetB = c.alignBottom;
    }
    ASSERT_EQ(a.p->BorderForm != nullptr, c.border);
    a.p->ScreenSnap = true;
    b.form->SetBounds(600, 60, 200, 150);
    struct Case {
      int32_t x, y, wantX, wantY;
    } cases[] = {
        {5, 5, c.l, c.t},                                                       // the left and top edges
        {c.l + 11, c.t + 11, c.l + 11, c.t + 11},                               // 11 pixels away: no snap
        {W - 300 - c.r + 6, H - 200 - c.b + 4, W - 300 - c.r, H - 200 - c.b},  // the right and bottom edges
        {600 - c.l - 300 - c.r - 4, 100, 600 - c.l - 300 - c.r, 100},           // onto b's left side
        {800 + c.r + c.l + 3, 100, 800 + c.r + c.l, 100},                       // onto b's right side
    };
    for (const Case& k : cases) {
      int32_t x = k.x, y = k.y;
      skin::ScreenSnap(*a.p, x, y);
      EXPECT_EQ(x, k.wantX) << k.x << "," << k.y;
      EXPECT_EQ(y, k.wantY) << k.x << "," << k.y;
    }
  }
}

// The size grip answers HTBOTTOMRIGHT right of and below its corner, in the client's bottom-right corner of a
// sizeable 300 x 200 form, with and without a border window (whose frame image begins at the border window's
// top-left, not at the form's window); the border window answers it at the same place of its own.
TEST(SizeGrip, HitAreaWithAndWithoutABorderWindow) {
  for (bool border : {false, true}) {
    SCOPED_TRACE(border ? "border window" : "no border window");
    Rig r(TFormBorderStyle::bsSizeable, border);
    r.Cache();
    auto hit = [&](int32_t x, int32_t y) { return skin::ProviderHitTest(*r.p, skin::TPoint{100 + x, 50 + y}); };
    EXPECT_EQ(hit(285, 185), 1) << "no grip without GripMode";
    r.p->GripMode = skin::gmRightBottom;
    EXPECT_EQ(hit(285, 185), 17);
    EXPECT_EQ(hit(284, 183), 17);
    EXPECT_EQ(hit(283, 185), 1);
    EXPECT_EQ(hit(285, 182), 1);
    gui::TMessage m{skin::wv::kWmNcHitTest, 0, (185 + 50) << 16 | (285 + 100), 0};
    skin::ProviderNcHitTest(*r.p, m);
    EXPECT_EQ(m.Result, 17);
    if (border) {
      // The border window's own coordinates: the form's window lies at (7, 9) in it.
      EXPECT_EQ(skin::BorderFormHitTestAt(*r.p->BorderForm, skin::TPoint{292, 194}), 17);
      EXPECT_NE(skin::BorderFormHitTestAt(*r.p->BorderForm, skin::TPoint{289, 194}), 17);
    }
  }
}

TEST(GluedForms, TouchingFormsMoveAlongAndAreForgottenWithTheirProvider) {
  auto a = std::make_unique<Rig>();
  auto b = std::make_unique<Rig>();
  auto c = std::make_unique<Rig>();
  b->form->SetName("Glued");
  c->form->SetName("Glued2");
  a->p->GluedForms.Add("Glued");
  a->p->GluedForms.Add("Glued2");
  b->form->SetBounds(400, 80, 100, 100);   // touches a's right edge
  c->form->SetBounds(120, 251, 100, 100);  // one pixel below a: not touching
  skin::RememberGluedForms(*a->p);
  EXPECT_TRUE(skin::IsGluedTo(*a->p, b->form.get()));
  EXPECT_FALSE(skin::IsGluedTo(*a->p, c->form.get()));
  a->form->SetBounds(130, 70, 300, 200);
  skin::MoveGluedForms(*a->p);
  EXPECT_EQ(b->form->BoundsRect(), (TRect{430, 100, 530, 200}));
  EXPECT_EQ(c->form->BoundsRect(), (TRect{120, 251, 220, 351}));
  // The glued form is never a snap target of its master; dragged by itself it leaves its master.
  b->p->ScreenSnap = true;
  int32_t x = 431, y = 100;
  skin::ScreenSnap(*b->p, x, y);
  EXPECT_FALSE(skin::IsGluedTo(*a->p, b->form.get()));
  skin::RememberGluedForms(*a->p);
  EXPECT_TRUE(skin::IsGluedTo(*a->p, b->form.get()));
  b.reset();
  EXPECT_TRUE(skin::GluedList().empty());
}

// The provider animates the minimize of a secondary form; the main form's is the skin manager's (it minimizes the
// application with it), an MDI child's none.
TEST(MinimizeAnimation, OnlySecondaryFormsAnimateTheirOwnMinimize) {
  {
    Rig r;
    gui::Application->SetMainForm(r.form.get());
    CommandSpy spy(*r.p);
    r.form->Perform(0x112, 0xF020, 0);
    EXPECT_EQ(spy.commands, std::vector<uintptr_t>{0xF020});
    EXPECT_EQ(skin::ProviderMinTimer(*r.p), nullptr);
    EXPECT_FALSE(r.p->StateFlags & skin::psMinimizing);
    gui::Application->SetMainForm(nullptr);
  }
  MdiRig m(TFormBorderStyle::bsSizeable, gui::biSystemMenu | gui::biMinimize, TWindowState::wsNormal);
  CommandSpy spy(*m.p);
  m.child->Perform(0x112, 0xF020, 0);
  EXPECT_EQ(spy.commands, std::vector<uintptr_t>{0xF020});
  EXPECT_EQ(skin::ProviderMinTimer(*m.p), nullptr);
}

TEST(MinimizeAnimation, TheCopyShrinksTowardsTheTaskbarAndGrowsBack) {
  EXPECT_EQ(skin::MinTimerStepCount(150), 12);
  EXPECT_EQ(skin::MinTimerStepCount(120), 10);
  EXPECT_EQ(skin::MinTimerStepCount(20), 2);
  // Without a button the copy goes to the taskbar's inner edge, at the form's centre.
  const skin::TPoint c{300, 200};
  struct Edge {
    TRect taskbar, target;
  } edges[] = {
      {{0, 728, 1024, 768}, {300, 728, 300, 728}},   // bottom
      {{-2, 728, 1024, 768}, {300, 728, 300, 728}},  // bottom, a little out to the left
      {{984, 10, 1024, 768}, {984, 200, 984, 200}},  // right
      {{0, 0, 1024, 40}, {300, 40, 300, 40}},        // top
      {{0, 0, 40, 768}, {40, 200, 40, 200}},         // left
      {{984, 0, 1024, 768}, {984, 200, 984, 200}},   // right, from the top
      {{}, {}},                                      // no taskbar
  };
  for (const Edge& e : edges) EXPECT_EQ(skin::TaskbarEdgeTarget(e.taskbar, c), e.target);

  Rig r;
  r.skin.manager->AnimEffects.Minimizing.Time = 150;
  CommandSpy spy(*r.p);
  r.form->Perform(0x112, 0xF020, 0);
  EXPECT_EQ(spy.commands, std::vector<uintptr_t>{0xF020});
  skin::TacMinTimer* t = skin::ProviderMinTimer(*r.p);
  ASSERT_NE(t, nullptr);
  EXPECT_TRUE(t->Enabled());
  EXPECT_TRUE(r.p->StateFlags & skin::psMinimizing);
  const skin::AnimCopyState& copy = skin::AnimCopyWindowState(t->AnimWnd);
  EXPECT_TRUE(copy.visible);
  int ticks = 0;
  int64_t lastArea = int64_t(300) * 200 + 1;
  while (t->Enabled() && ticks < 50) {
    const TRect now = t->CurrentRect();
    const int64_t area = int64_t(now.Width()) * now.Height();
    EXPECT_LT(area, lastArea);
    lastArea = area;
    // The copy: a picture of the form's full size, centred on the shrinking rectangle.
    EXPECT_EQ(copy.rect.Width(), 300);
    EXPECT_EQ(copy.rect.Height(), 200);
    EXPECT_LE(std::abs((copy.rect.Left + copy.rect.Right) / 2 - (now.Left + now.Right) / 2), 1);
    t->OwnStep();
    ++ticks;
  }
  EXPECT_GE(ticks, 10);
  EXPECT_LE(ticks, 12);
  EXPECT_FALSE(copy.visible);
  EXPECT_FALSE(r.p->StateFlags & skin::psMinimizing);
  // The copy ended near the target (no taskbar here: the screen's origin), a step away at most.
  EXPECT_LE(std::abs(t->CurrentRect().Left), 13 + 1);
  // Restored from the minimized window: the copy grows back to the form's place, then the window is restored.
  skin::SetFormWindowStyle(*r.form, skin::FormWindowStyle(*r.form) | skin::wv::kWsMinimize);
  spy.commands.clear();
  r.form->Perform(0x112, 0xF120, 0);
  EXPECT_TRUE(r.p->StateFlags & skin::psRestoring);
  EXPECT_TRUE(skin::FormWindowIconic(*r.form));
  ticks = 0;
  while (t->Enabled() && ticks < 50) {
    t->OwnStep();
    ++ticks;
  }
  EXPECT_LE(ticks, 12);
  EXPECT_FALSE(r.p->StateFlags & skin::psRestoring);
  EXPECT_FALSE(skin::ProviderMinimizeTimerRunning(*r.p));
  EXPECT_EQ(t->AnimWnd, nullptr);  // the copy window goes with the restore
  EXPECT_FALSE(skin::FormWindowIconic(*r.form));
  const TRect back = t->CurrentRect();
  EXPECT_LE(std::abs(back.Left - 100), 26);
  EXPECT_LE(std::abs(back.Width() - 300), 52);
}

TEST(BlendOnMoving, TheFormAndItsGluedFormsFadeToTheBlendValue) {
  EXPECT_DOUBLE_EQ(skin::MoveTimerAlphaStep(170, 12), 85.0);
  EXPECT_DOUBLE_EQ(skin::MoveTimerAlphaStep(170, 500), 85.0 / (500.0 / 12));
  Rig a, b;
  a.skin.manager->AnimEffects.BlendOnMoving.Active = true;
  a.skin.manager->AnimEffects.BlendOnMoving.Time = 12;
  b.form->SetName("Neighbour");
  b.form->SetBounds(400, 50, 100, 100);
  a.p->GluedForms.Add("Neighbour");
  skin::RememberGluedForms(*a.p);
  auto* timer = new skin::TacMoveTimer(*a.p);
  EXPECT_EQ(timer->MinAlpha, 170);
  timer->OwnStep();  // opaque at first
  EXPECT_FALSE(skin::FormWindowExStyle(*a.form) & skin::wv::kWsExLayered);
  timer->OwnStep();
  EXPECT_TRUE(skin::FormWindowExStyle(*a.form) & skin::wv::kWsExLayered);
  EXPECT_TRUE(skin::FormWindowExStyle(*b.form) & skin::wv::kWsExLayered);
  EXPECT_DOUBLE_EQ(timer->CurAlpha, 170.0);
  skin::TacThreadedTimer* t = timer;
  skin::ReleaseAnimTimer(t);
  // Without AllowBlendOnMoving the move stays opaque.
  a.p->AllowBlendOnMoving = false;
  skin::TacMoveTimer opaque(*a.p);
  EXPECT_EQ(opaque.MinAlpha, 255);
}

// Every way a border drag can end besides a release leaves no outline and no capture, and the form where it was.
TEST(BorderDrag, ADragThatLosesItsCaptureOrItsFormEndsCleanly) {
  enum End { kCancelMode, kCaptureChanged, kProviderFreed, kFormFreed };
  for (const End end : {kCancelMode, kCaptureChanged, kProviderFreed, kFormFreed}) {
    SCOPED_TRACE(int(end));
    Rig r;
    r.p->ResizeMode = skin::rmBorder;
    const int64_t draws = skin::DesktopOutlineDraws();
    gui::Screen->SetHeadlessCursorPos(skin::TPoint{399, 150});
    r.form->Perform(0xA1, 11, ScreenPoint(399, 150));
    gui::Screen->SetHeadlessCursorPos(skin::TPoint{450, 150});
    r.form->Perform(0x200, 0, 0);
    ASSERT_TRUE(r.p->DragActive);
    switch (end) {
      case kCancelMode: r.form->Perform(0x1F, 0, 0); break;
      case kCaptureChanged: r.form->Perform(0x215, 0, 0); break;
      case kProviderFreed: skin::FreeProvider(r.p); r.p = nullptr; break;
      case kFormFreed: r.form.reset(); r.p = nullptr; break;  // the provider goes with its form
    }
    EXPECT_EQ((skin::DesktopOutlineDraws() - draws) % 2, 0);  // the outline drawn as often as erased
    if (r.form) {
      EXPECT_FALSE(skin::FormHasCapture(*r.form));
      EXPECT_EQ(r.form->BoundsRect(), (TRect{100, 50, 400, 250}));
    }
    if (r.p) {
      EXPECT_FALSE(r.p->DragActive || r.p->DragPending);
    }
  }
  // The next drag, of another form, starts afresh.
  Rig other;
  other.p->ResizeMode = skin::rmBorder;
  gui::Screen->SetHeadlessCursorPos(skin::TPoint{399, 150});
  other.form->Perform(0xA1, 11, ScreenPoint(399, 150));
  EXPECT_TRUE(other.p->DragActive);
  other.form->Perform(0x1F, 0, 0);
}
}  // namespace

TEST(Provider, AResizeTellsTheChildrenOnlyAlongTheDimensionTheBackgroundFollows) {
  Rig r;
  skin::SkinSectionRecord& form = r.skin.Skin().Sections[size_t(r.skin.form)];
  struct Row {
    const char* name;
    int32_t percent;  // 0: no gradient
    int32_t mode;
    uint16_t depends;
    bool widthChange, heightChange;  // told for a change of the width only, of the height only
  };
  const Row rows[] = {
      {"plain colour", 0, 0, 0, false, false},
      {"rows, top to bottom", 100, 0, skin::kDependsOnHeight, false, true},
      {"columns, left to right", 60, 1, skin::kDependsOnWidth, true, false},
      {"triangles", 100, 2, skin::kDependsOnWidth | skin::kDependsOnHeight, true, true},
      {"an unknown mode", 100, 7, 0, false, false},
  };
  const skin::TSize before{200, 120};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    form.NormalState.GradientPercent = row.percent;
    form.NormalState.GradientSteps = {skin::GradientStep{0x102030, 0x405060, 100, row.mode}};
    EXPECT_EQ(skin::ProviderSizeDependency(*r.p), row.depends);
    EXPECT_EQ(skin::ProviderResizeMovesChildBackgrounds(*r.p, before, skin::TSize{260, 120}), row.widthChange);
    EXPECT_EQ(skin::ProviderResizeMovesChildBackgrounds(*r.p, before, skin::TSize{200, 90}), row.heightChange);
    EXPECT_FALSE(skin::ProviderResizeMovesChildBackgrounds(*r.p, before, before));
  }
}

TEST(Provider, TheTransparencyWordIsDecidedOnceAndKeepsThePrintingState) {
  Rig r;
  skin::SkinSectionRecord& form = r.skin.Skin().Sections[size_t(r.skin.form)];
  auto ask = [&] {
    return uint16_t(r.form->Perform(skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_TRANSPARENCYFLAGS), 0));
  };
  // A plain colour shows through the children; a gradient does not.
  r.p->SkinData().CtrlState = skin::csUndecided;
  EXPECT_EQ(ask() & (skin::csTransparent | skin::csUndecided), skin::csTransparent);
  form.NormalState.GradientPercent = 100;
  form.NormalState.GradientSteps = {skin::GradientStep{0x102030, 0x405060, 100, 0}};
  EXPECT_EQ(ask() & skin::csTransparent, skin::csTransparent);  // decided already: asked again it stays
  r.p->SkinData().CtrlState = skin::csUndecided | skin::csPrinting;
  const uint16_t word = ask();
  EXPECT_EQ(word & (skin::csTransparent | skin::csUndecided), 0);
  EXPECT_NE(word & skin::csPrinting, 0);
}
