// The title-bar component on headless forms: its owner, its link with the provider, item sizes, the arrangement
// of items in the caption's free band for several border styles, item states, the mouse on items (clicks, tab
// groups, drop-down menus), the hover fade's steps, the hit test and the frame cache over items, the picture
// helpers, and the hints of user title buttons.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/forms.h"
#include "gui/imglist.h"
#include "gui/menus.h"
#include "skin/manager/skincommands.h"
#include "skin/forms/form_window.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/provider_geometry.h"
#include "skin/forms/provider_titlebar.h"
#include "skin/forms/provider_wndproc.h"
#include "skin/forms/sskinprovider.h"
#include "skin/forms/stitlebar.h"
#include "skin/manager/win_values.h"
#include "skin/painters/acalphaimagelist.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/text_engine.h"
#include "tests/skin_forms/titlebar_fixture.h"
#include "tests/skin_pixels/png_writer.h"

namespace {

using namespace formstest;
using gui::TFormBorderStyle;
using skin::TacTitleBarItem;
using skin::TsSkinProvider;
using skin::TsTitleBar;

// A skinned 300 x 200 form at (100, 50) with its provider and a title bar.
struct Rig {
  FormsSkin skin;
  std::unique_ptr<gui::TForm> form;
  TsSkinProvider* p = nullptr;
  TsTitleBar* bar = nullptr;
  int titleChanged = 0;  // AC_TITLECHANGED messages that reached the form

  explicit Rig(TFormBorderStyle style = TFormBorderStyle::bsSizeable) {
    AddTitleBarSections(skin);
    form = std::make_unique<gui::TForm>(nullptr);
    form->SetBorderStyle(style);
    form->SetBounds(100, 50, 300, 200);
    form->SetCaption("Station");
    form->Show();
    p = new TsSkinProvider(form.get());
    skin::ProviderPrepareForm(*p);
    bar = new TsTitleBar(form.get());
    gui::TWndMethod inner = form->WindowProc;
    form->WindowProc = [this, inner](gui::TMessage& m) {
      if (m.Msg == skin::WM_SKINCOMMAND && skin::SkinCommandCode(m.WParam) == skin::AC_TITLECHANGED) ++titleChanged;
      inner(m);
    };
  }
  ~Rig() { form.reset(); }
  TacTitleBarItem* Add(skin::TacBtnStyle style, skin::TacItemAlign align, int32_t width, bool visible = true) {
    TacTitleBarItem* item = bar->Items().Add();
    item->SetAutoSize(false);
    item->SetStyle(style);
    item->SetAlign(align);
    item->SetWidth(width);
    item->SetVisible(visible);
    return item;
  }
  skin::Bitmap& Cache() {
    p->SkinData().BGChanged = true;
    skin::ProviderPaintFrame(*p);
    return *p->SkinData().CacheBmp;
  }
  // The hit code at a window point.
  int32_t Hit(const skin::TPoint& pt) { return skin::ProviderHitTest(*p, skin::TPoint{100 + pt.X, 50 + pt.Y}); }
};

skin::TPoint Centre(const skin::TRect& r) { return skin::TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

TEST(TsTitleBarComponent, OwnedByFormsOnlyAndLinkedWithTheFormsProvider) {
  gui::TComponent owner(nullptr);
  try {
    TsTitleBar bar(&owner);
    FAIL() << "no exception";
  } catch (const gui::EAbort& e) {
    EXPECT_STREQ(e.what(), "TsTitleBar component may be used with forms only!");
  }
  Rig r;
  EXPECT_EQ(r.p->TitleBar(), r.bar);
  // A second one leaves the link alone; freeing the linked one clears it.
  auto* second = new TsTitleBar(r.form.get());
  EXPECT_EQ(r.p->TitleBar(), r.bar);
  gui::Free(r.bar);
  EXPECT_EQ(r.p->TitleBar(), nullptr);
  // The provider the library makes for a form takes the last title bar the form has.
  auto* third = new TsTitleBar(r.form.get());
  skin::FreeProvider(r.p);
  auto* automatic = TsSkinProvider::CreateForForm(r.form.get());
  EXPECT_EQ(automatic->TitleBar(), third);
  skin::FreeProvider(automatic);
  gui::Free(second);
}

TEST(TsTitleBarComponent, AutoSizedItemsTakeTheirContentAndMargins) {
  gui::TFont caption;
  skin::CaptionFont(caption);
  const int32_t cell = skin::FixedMetricTextEngine::CellWidth(caption);
  const int32_t line = skin::FixedMetricTextEngine::LineHeight(caption);
  gui::TFont marlett;
  marlett.Assign(caption);
  marlett.SetName("Marlett");
  const int32_t arrow = skin::TextSize(marlett, "u").cx;
  struct Case {
    skin::TacBtnStyle style;
    std::string caption;
    int32_t margin;
    bool menu;
    int32_t width, height;
  };
  const Case cases[] = {
      {skin::bsButton, "", 3, false, 16, 16},
      {skin::bsButton, "", 10, false, 20, 20},
      {skin::bsButton, "Go", 3, false, std::max(16, 2 * cell + 6), std::max(16, line + 6)},
      {skin::bsTab, "Go", 3, false, std::max(16, 2 * cell + 4 + 6), std::max(16, line + 1 + 6)},
      {skin::bsMenu, "File", 3, true, 4 * cell + 4 + arrow + 14, std::max(16, line + 1 + 6)},
      {skin::bsButton, "File", 3, true, 4 * cell + 1 + arrow + 6, std::max(16, line + 6)},
      {skin::bsInfo, "12:00", 2, false, std::max(16, 5 * cell + 4), std::max(16, line + 4)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption + " style " + std::to_string(int(c.style)) + " margin " + std::to_string(c.margin));
    Rig r;
    r.bar->SetItemsMargin(c.margin);
    gui::TPopupMenu menu(r.form.get());
    menu.Items()->Add(new gui::TMenuItem(r.form.get()));
    TacTitleBarItem* item = r.bar->Items().Add();
    item->SetStyle(c.style);
    item->SetCaption(c.caption);
    if (c.menu) item->SetDropdownMenu(&menu);
    EXPECT_EQ(item->Width(), c.width);
    EXPECT_EQ(item->Height(), c.height);
    item->SetDropdownMenu(nullptr);
  }
  // Spacers keep the size they are given.
  Rig r;
  TacTitleBarItem* spacer = r.bar->Items().Add();
  spacer->SetStyle(skin::bsSpacing);
  spacer->SetWidth(30);
  spacer->SetCaption("wide");
  EXPECT_EQ(spacer->Width(), 30);

  // Items changed together under Updating are sized at once; only the repaint is left to the end of the batch.
  TacTitleBarItem* batched = r.bar->Items().Add();
  batched->SetCaption("Go");
  r.bar->Updating = 1;
  const int repaints = r.titleChanged;
  batched->SetCaption("Going");
  EXPECT_EQ(batched->Width(), std::max(16, 5 * cell + 6));
  EXPECT_EQ(r.titleChanged, repaints);
  r.bar->Updating = 0;
}

TEST(TsTitleBarComponent, ItemsStandInTheCaptionsFreeBandByAlignment) {
  using skin::bsButton, skin::bsMenu, skin::bsTab, skin::bsInfo;
  using skin::tbaLeft, skin::tbaRight, skin::tbaCenter, skin::tbaCenterInSpace;
  // Sizeable, 300 wide: icon 6..22, close/maximize/minimize from 294 leftwards (16 each, 1 apart): the band is
  // 28 (icon + 6) .. 237 (minimize's left - 1 - 6); the caption's right end 294; centre line 11, caption bottom 23.
  // Every item is 16 high (sized when added).
  Rig r;
  struct Item {
    skin::TacBtnStyle style;
    skin::TacItemAlign align;
    int32_t width;
    bool visible;
    skin::TRect expected;
  };
  const Item items[] = {
      {bsButton, tbaLeft, 22, true, {28, 3, 50, 19}},
      {bsButton, tbaLeft, 30, true, {50, 3, 80, 19}},
      {bsButton, tbaLeft, 30, false, {0, 0, 0, 0}},   // invisible: no place, no gap
      {bsInfo, tbaLeft, 40, true, {80, 3, 120, 19}},
      {bsButton, tbaRight, 20, true, {201, 3, 221, 19}},
      {bsTab, tbaRight, 16, true, {221, 7, 237, 23}},  // tabs end on the caption's bottom
      {bsMenu, tbaCenter, 24, true, {149, 0, 173, 16}},  // menu buttons begin at the caption's top
      {bsButton, tbaCenterInSpace, 10, true, {155, 3, 165, 19}},
  };
  std::vector<TacTitleBarItem*> made;
  for (const Item& i : items) made.push_back(r.Add(i.style, i.align, i.width, i.visible));
  skin::ProviderLayoutTitle(*r.p);
  EXPECT_EQ(r.bar->BarRect, (skin::TRect{28, 0, 237, 23}));
  for (size_t i = 0; i < made.size(); ++i)
    if (items[i].visible) {
      EXPECT_EQ(made[i]->Rect, items[i].expected) << "item " << i;
    }
  EXPECT_EQ(r.bar->AlignWidths, (std::array<int32_t, 4>{92, 36, 24, 10}));
  // The caption text runs between the left and the right items.
  const skin::TRect text = skin::ProviderCaptionTextRect(*r.p);
  EXPECT_EQ(text.Left, 28 + 92 + 8);
  EXPECT_EQ(text.Right, 237 - 36 - 8);

  // Other border styles: the band follows the icon and the buttons.
  struct Style {
    TFormBorderStyle style;
    bool iconGap;
  };
  for (const Style& st : {Style{TFormBorderStyle::bsSingle, true}, Style{TFormBorderStyle::bsToolWindow, false},
                          Style{TFormBorderStyle::bsDialog, false}}) {
    SCOPED_TRACE(int(st.style));
    Rig o(st.style);
    TacTitleBarItem* a = o.Add(bsButton, tbaLeft, 22);
    TacTitleBarItem* b = o.Add(bsButton, tbaRight, 20);
    skin::ProviderLayoutTitle(*o.p);
    EXPECT_EQ(o.bar->BarRect.Left, o.p->IconRect.Right + (st.iconGap ? 6 : 0));
    EXPECT_EQ(a->Rect.Left, o.bar->BarRect.Left);
    EXPECT_EQ(b->Rect.Right, o.bar->BarRect.Right);
    EXPECT_LT(b->Rect.Right, o.p->ButtonClose.Rect.Left);
    EXPECT_EQ(a->Rect.Top + a->Height() / 2, o.p->ButtonsCenter);
  }
}

TEST(TsTitleBarComponent, ItemStatesAndTheirMouseBehaviour) {
  // The state of a (pressed, down, hot) item.
  struct S {
    bool pressed, down, hot;
    int32_t state;
  };
  Rig r;
  TacTitleBarItem* item = r.Add(skin::bsButton, skin::tbaLeft, 22);
  for (const S& s : {S{false, false, false, 0}, S{false, false, true, 1}, S{true, false, true, 2},
                     S{false, true, false, 2}, S{true, true, false, 2}}) {
    item->Pressed = s.pressed;
    item->Hot = s.hot;
    item->SetDown(s.down);
    EXPECT_EQ(r.bar->ItemState(*item), s.state) << s.pressed << s.down << s.hot;
  }
  item->Pressed = item->Hot = false;
  item->SetDown(false);

  // A button clicks on release; a disabled one does nothing.
  std::vector<std::string> log;
  item->OnClick = [&](gui::TObject*) { log.push_back("click"); };
  item->OnMouseDown = [&](gui::TObject*, gui::TMouseButton, gui::TShiftState, int, int) { log.push_back("down"); };
  item->OnMouseUp = [&](gui::TObject*, gui::TMouseButton, gui::TShiftState, int, int) { log.push_back("up"); };
  r.bar->MouseDown(0, gui::TMouseButton::mbLeft, 0, 0, 0);
  EXPECT_TRUE(item->Pressed);
  r.bar->MouseUp(0, gui::TMouseButton::mbLeft, 0, 0, 0);
  EXPECT_FALSE(item->Pressed);
  EXPECT_TRUE(item->Hot);
  EXPECT_EQ(log, (std::vector<std::string>{"down", "up", "click"}));
  item->SetEnabled(false);
  log.clear();
  r.bar->MouseDown(0, gui::TMouseButton::mbLeft, 0, 0, 0);
  r.bar->MouseUp(0, gui::TMouseButton::mbLeft, 0, 0, 0);
  EXPECT_TRUE(log.empty());

  // A drop-down button: its menu drops at the item's bottom-left on the screen, flagged open meanwhile; the click
  // comes after the menu has closed.
  gui::TPopupMenu menu(r.form.get());
  menu.Items()->Add(new gui::TMenuItem(r.form.get()));
  TacTitleBarItem* drop = r.Add(skin::bsMenu, skin::tbaLeft, 30);
  drop->SetDropdownMenu(&menu);
  skin::ProviderLayoutTitle(*r.p);
  log.clear();
  menu.OnPopup = [&](gui::TObject*) { log.push_back(drop->DroppedDown ? "open" : "closed?"); };
  drop->OnClick = [&](gui::TObject*) { log.push_back(drop->DroppedDown ? "click while open" : "click"); };
  r.bar->MouseDown(1, gui::TMouseButton::mbLeft, 0, 0, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"open", "click"}));
  EXPECT_FALSE(drop->Pressed);
  EXPECT_FALSE(drop->DroppedDown);
  const skin::TPoint corner = r.bar->FrameToScreen(skin::TPoint{drop->Rect.Left, drop->Rect.Bottom});
  EXPECT_EQ(corner, (skin::TPoint{100 + drop->Rect.Left, 50 + drop->Rect.Bottom}));
  // A menu that is freed is let go: the item then clicks like a button.
  auto* gone = new gui::TPopupMenu(nullptr);
  gone->Items()->Add(new gui::TMenuItem(gone));
  drop->SetDropdownMenu(gone);
  gui::Free(gone);
  EXPECT_EQ(drop->DropdownMenu(), nullptr);
  log.clear();
  r.bar->MouseDown(1, gui::TMouseButton::mbLeft, 0, 0, 0);
  r.bar->MouseUp(1, gui::TMouseButton::mbLeft, 0, 0, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"click"}));

  // Tabs of one group: a down tab's click does nothing; another tab's click releases it with one repaint.
  TacTitleBarItem* t1 = r.Add(skin::bsTab, skin::tbaRight, 30);
  TacTitleBarItem* t2 = r.Add(skin::bsTab, skin::tbaRight, 30);
  TacTitleBarItem* other = r.Add(skin::bsTab, skin::tbaRight, 30);
  other->Group = 1;
  other->SetDown(true);
  t1->SetDown(true);
  int clicks = 0;
  t1->OnClick = t2->OnClick = [&](gui::TObject*) { ++clicks; };
  r.bar->MouseDown(t1->Index(), gui::TMouseButton::mbLeft, 0, 0, 0);
  EXPECT_EQ(clicks, 0);
  t1->Pressed = false;
  r.titleChanged = 0;
  r.bar->MouseDown(t2->Index(), gui::TMouseButton::mbLeft, 0, 0, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(t1->Down());
  EXPECT_TRUE(t2->Down());
  EXPECT_TRUE(other->Down());  // another group
  EXPECT_EQ(r.titleChanged, 1);
}

TEST(TsTitleBarComponent, TheHoverFadeStepsInAndOutAndKeepsAPositiveStep) {
  struct C {
    int32_t count, step;
  };
  for (const C& c : {C{-3, 255}, C{0, 255}, C{1, 255}, C{10, 25}, C{255, 1}, C{300, 1}, C{1000, 1}})
    EXPECT_EQ(skin::ItemAnimAlphaStep(c.count), c.step) << c.count;

  Rig r;
  TacTitleBarItem* item = r.Add(skin::bsButton, skin::tbaLeft, 22);
  r.Cache();
  int grown = 0;
  skin::ItemAnimationStart(*item, 1, 10, true);
  ASSERT_NE(item->Animation, nullptr);
  item->Animation->OnGrown = [&] { ++grown; };
  std::vector<int32_t> alphas{item->Animation->ShownAlpha};
  for (int i = 0; i < 12; ++i) {
    skin::ItemAnimationTick(*item->Animation);
    alphas.push_back(item->Animation->ShownAlpha);
  }
  EXPECT_EQ(alphas.front(), 25);
  EXPECT_TRUE(std::is_sorted(alphas.begin(), alphas.end()));
  EXPECT_EQ(alphas.back(), 255);
  EXPECT_EQ(grown, 1);
  EXPECT_EQ(item->Animation->StepCount, -1);
  // Over a thousand steps the fade still moves.
  skin::ItemAnimationStart(*item, 1, 1000, true);
  const int32_t first = item->Animation->ShownAlpha;
  skin::ItemAnimationTick(*item->Animation);
  skin::ItemAnimationTick(*item->Animation);
  EXPECT_GT(item->Animation->ShownAlpha, first);
  // Fading out ends with the window and the pictures gone.
  skin::ItemAnimationStart(*item, 0, 10, false);
  for (int i = 0; i < 1100 && item->Animation->State != -1; ++i) skin::ItemAnimationTick(*item->Animation);
  EXPECT_EQ(item->Animation->State, -1);
  EXPECT_EQ(item->Animation->ShownAlpha, -1);
  EXPECT_EQ(item->Animation->Picture, nullptr);
  skin::ItemAnimationFree(*item);
  EXPECT_EQ(item->Animation, nullptr);
}

TEST(TsTitleBarComponent, HitTestAndFrameCacheOverTheItems) {
  Rig r;
  TacTitleBarItem* button = r.Add(skin::bsButton, skin::tbaLeft, 22);
  TacTitleBarItem* spacer = r.Add(skin::bsSpacing, skin::tbaLeft, 10);
  TacTitleBarItem* info = r.Add(skin::bsInfo, skin::tbaLeft, 30);
  TacTitleBarItem* hidden = r.Add(skin::bsButton, skin::tbaLeft, 22, false);
  TacTitleBarItem* tab = r.Add(skin::bsTab, skin::tbaRight, 24);
  TacTitleBarItem* downTab = r.Add(skin::bsTab, skin::tbaRight, 24);
  downTab->SetDown(true);
  TacTitleBarItem* menu = r.Add(skin::bsMenu, skin::tbaRight, 24);
  (void)hidden;
  skin::Bitmap& cache = r.Cache();
  using namespace skin::wv;
  struct Probe {
    TacTitleBarItem* item;
    int32_t code;
  };
  for (const Probe& pr : {Probe{button, kHtTitleItem + 0}, Probe{spacer, kHtCaption}, Probe{info, kHtCaption},
                          Probe{tab, kHtTitleItem + 4}, Probe{downTab, kHtCaption}, Probe{menu, kHtTitleItem + 6}})
    EXPECT_EQ(r.Hit(Centre(pr.item->Rect)), pr.code) << pr.item->Index();
  // The close button is still the close button.
  EXPECT_EQ(r.Hit(Centre(r.p->ButtonClose.Rect)), kHtClose);

  // Painted in their sections' colours: normal, the down tab pressed; the spacer shows the caption.
  auto at = [&](const TacTitleBarItem* i) {
    return skin::GetPixel32(cache, i->Rect.Left + 2, i->Rect.Bottom - 3) & 0xFFFFFF;
  };
  EXPECT_EQ(at(button), Px(ItemColor(kItemButton, 0)) & 0xFFFFFF);
  // Information fields have no section of their own: the caption shows, unless they are given one.
  EXPECT_EQ(at(info), skin::GetPixel32(cache, 130, info->Rect.Bottom - 3) & 0xFFFFFF);
  info->SetSkinSection("TB_BTN");
  r.Cache();
  EXPECT_EQ(at(info), Px(ItemColor(kItemButton, 0)) & 0xFFFFFF);
  EXPECT_EQ(at(tab), Px(ItemColor(kItemTab, 0)) & 0xFFFFFF);
  EXPECT_EQ(at(downTab), Px(ItemColor(kItemTab, 2)) & 0xFFFFFF);
  EXPECT_EQ(at(menu), Px(ItemColor(kItemMenu, 0)) & 0xFFFFFF);
  EXPECT_EQ(at(spacer), skin::GetPixel32(cache, 130, spacer->Rect.Bottom - 3) & 0xFFFFFF);

  // Hot, then pressed, through the provider's hot and pressed element: the frame takes the new look when the
  // fade has grown.
  skin::ProviderSetHotElement(*r.p, kHtTitleItem + 0, true);
  EXPECT_TRUE(button->Hot);
  ASSERT_NE(button->Animation, nullptr);
  while (button->Animation->StepCount != -1) skin::ItemAnimationTick(*button->Animation);
  EXPECT_EQ(at(button), Px(ItemColor(kItemButton, 1)) & 0xFFFFFF);
  gui::TMessage down{0xA1, WPARAM(kHtTitleItem), 0, 0};
  skin::ProviderNcLButtonDown(*r.p, down);
  EXPECT_TRUE(button->Pressed);
  EXPECT_EQ(at(button), Px(ItemColor(kItemButton, 2)) & 0xFFFFFF);
  // Released away from the item: no click, and not pressed any more.
  int clicks = 0;
  button->OnClick = [&](gui::TObject*) { ++clicks; };
  gui::Screen->SetHeadlessCursorPos(skin::TPoint{100 + 150, 50 + 150});
  gui::TMessage up{0xA2, WPARAM(kHtTitleItem), 0, 0};
  skin::ProviderLButtonUp(*r.p, up);
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(button->Pressed);
  // Pressed and released over it: one click.
  gui::Screen->SetHeadlessCursorPos(skin::TPoint{100 + Centre(button->Rect).X, 50 + Centre(button->Rect).Y});
  skin::ProviderSetHotElement(*r.p, 0, true);
  skin::ProviderSetHotElement(*r.p, kHtTitleItem + 0, true);
  skin::ProviderNcLButtonDown(*r.p, down);
  skin::ProviderLButtonUp(*r.p, up);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(skin::TitleButtonPressed());
  // Leaving: normal at once.
  skin::ProviderSetHotElement(*r.p, 0, true);
  EXPECT_FALSE(button->Hot);
  EXPECT_EQ(at(button), Px(ItemColor(kItemButton, 0)) & 0xFFFFFF);
}

// A handler that deletes its own item (a closable tab) ends the press there: nothing touches the freed item, the
// next item takes its place and the provider holds no code of it.
TEST(TsTitleBarComponent, AnItemsHandlerMayDeleteItsOwnItem) {
  using namespace skin::wv;
  enum Handler { kDown, kUp, kClick };
  const std::pair<skin::TacBtnStyle, Handler> cases[] = {{skin::bsButton, kClick}, {skin::bsButton, kDown},
                                                         {skin::bsButton, kUp},    {skin::bsTab, kClick},
                                                         {skin::bsMenu, kClick},   {skin::bsMenu, kDown}};
  for (const auto& [style, deletes] : cases) {
    Rig r;
    gui::TPopupMenu menu(r.form.get());
    menu.Items()->Add(new gui::TMenuItem(r.form.get()));
    TacTitleBarItem* first = r.Add(style, skin::tbaLeft, 30);
    TacTitleBarItem* second = r.Add(skin::bsButton, skin::tbaLeft, 22);
    first->SetDropdownMenu(style == skin::bsMenu ? &menu : nullptr);
    auto remove = [&](auto&&...) { r.bar->Items().Delete(0); };
    if (deletes == kClick) first->OnClick = remove;
    if (deletes == kDown) first->OnMouseDown = remove;
    if (deletes == kUp) first->OnMouseUp = remove;
    r.Cache();
    gui::Screen->SetHeadlessCursorPos(skin::TPoint{100 + Centre(first->Rect).X, 50 + Centre(first->Rect).Y});
    skin::ProviderSetHotElement(*r.p, kHtTitleItem + 0, true);
    gui::TMessage down{0xA1, WPARAM(kHtTitleItem), 0, 0}, up{0xA2, WPARAM(kHtTitleItem), 0, 0};
    skin::ProviderNcLButtonDown(*r.p, down);
    skin::ProviderLButtonUp(*r.p, up);
    ASSERT_EQ(r.bar->Items().Count(), 1) << style << deletes;
    EXPECT_EQ(r.bar->Items().Items(0), second);
    EXPECT_FALSE(second->Pressed || second->Hot || skin::TitleButtonPressed()) << style << deletes;
    EXPECT_NE(r.p->CurrentHTCode, kHtTitleItem + 0) << style << deletes;
  }
}

// The images of an alpha image list are tinted with the item's section's glyph blend colour for the state; other
// lists and items without a section are not. Captions keep their font's character set unless the default-charset
// switch is on.
TEST(TsTitleBarComponent, AlphaListImagesTakeTheSectionsTintAndTheCharsetSwitchHolds) {
  Rig r;
  TacTitleBarItem* item = r.Add(skin::bsButton, skin::tbaLeft, 22);
  r.form->Perform(skin::WM_SKINCOMMAND, skin::SkinCommandWParam(skin::AC_SKINREFRESH), 0);
  const int32_t section = skin::TitleItemSection(*r.p, 0);
  ASSERT_GE(section, 0);
  r.skin.Skin().Sections[size_t(section)].HotState.FontColor = 0x00C0FF;
  skin::TsAlphaImageList alpha(nullptr);
  gui::TImageList plain(nullptr);
  struct Case {
    gui::TCustomImageList* list;
    int32_t section, state;
    TColor tint;
  } cases[] = {{nullptr, section, 0, skin::clNone}, {&plain, section, 0, skin::clNone},
               {&alpha, section, 0, kItemFont},     {&alpha, section, 1, 0x00C0FF},
               {&alpha, -1, 0, skin::clNone}};
  for (const Case& c : cases) {
    r.bar->SetImages(c.list);
    EXPECT_EQ(skin::TitleItemImageTint(*r.p, *item, c.section, c.state), c.tint) << c.section << " " << c.state;
  }
  // Drawn: a white image of an alpha list shows in the section's colour; the same image of a plain list stays
  // white.
  r.skin.Skin().Sections[size_t(section)].NormalState.FontColor = 0x0000FF;
  pngtest::RawImage im;
  im.width = im.height = 8;
  im.colorType = 6;
  im.rowBytes = 32;
  im.data.assign(im.rowBytes * 8, 0xFF);
  alpha.SetSize(8, 8);
  alpha.Items.Add().ImgData = pngtest::EncodePng(im, pngtest::FileOptions{});
  alpha.AfterConstruction();
  plain.SetSize(8, 8);
  gui::TBitmap white;
  white.SetPixelFormat(gui::TPixelFormat::pf32bit);
  white.SetSize(8, 8);
  for (int y = 0; y < 8; ++y) std::fill_n(white.ScanLine(y), 32, uint8_t(0xFF));
  plain.AddImage32(white);
  item->SetImageIndex(0);
  auto centre = [&](gui::TCustomImageList* list) {
    r.bar->SetImages(list);
    skin::Bitmap& cache = r.Cache();
    return skin::GetPixel32(cache, (item->Rect.Left + item->Rect.Right) / 2, (item->Rect.Top + item->Rect.Bottom) / 2) &
           0xFFFFFF;
  };
  const uint32_t untinted = centre(&plain);
  for (int shift : {0, 8, 16}) EXPECT_GE((untinted >> shift) & 0xFF, 0xF0u) << std::hex << untinted;
  const uint32_t tinted = centre(&alpha);
  const uint32_t red = (tinted >> 16) & 0xFF, green = (tinted >> 8) & 0xFF, blue = tinted & 0xFF;
  EXPECT_GT(red, green + 0x60) << std::hex << tinted;
  EXPECT_GT(red, blue + 0x60) << std::hex << tinted;
  r.bar->SetImages(nullptr);

  item->FontData().Font().SetCharset(204);
  for (bool on : {false, true, false}) {
    skin::TitleItemsDefaultCharset() = on;
    EXPECT_EQ(item->FontData().WorkFont().Charset(), on ? 1 : 204) << on;
  }
}

TEST(TsTitleBarComponent, PictureHelpersKeepTheKeyColourOut) {
  using skin::Bitmap;
  Bitmap src(4, 4, skin::pf32bit), dst(4, 4, skin::pf32bit);
  skin::FillRectBitmap32(src, skin::TRect{0, 0, 4, 4}, 0x112233, 255);
  skin::SetPixel32(src, 1, 1, 0xFFFF00FF);
  skin::FillRectBitmap32(dst, skin::TRect{0, 0, 4, 4}, 0x445566, 255);
  // Copied at (1, 1) from (0, 0, 4, 4): clipped to the destination, the key pixel leaves the destination's.
  skin::CopyBitmapKeyed(dst, src, 1, skin::TRect{0, 0, 4, 4}, 1);
  EXPECT_EQ(skin::GetPixel32(dst, 0, 0), Px(0x445566));
  EXPECT_EQ(skin::GetPixel32(dst, 1, 1), Px(0x112233));
  EXPECT_EQ(skin::GetPixel32(dst, 2, 2), Px(0x445566));  // the key pixel of the source
  EXPECT_EQ(skin::GetPixel32(dst, 3, 3), Px(0x112233));

  // Nine parts: a 6 x 6 source with borders 2 stretched to 10 x 8: corners as they are, the centre stretched.
  Bitmap nine(6, 6, skin::pf32bit), big(10, 8, skin::pf32bit);
  skin::FillRectBitmap32(nine, skin::TRect{0, 0, 6, 6}, 0x0000FF, 255);
  skin::FillRectBitmap32(nine, skin::TRect{2, 2, 4, 4}, 0x00FF00, 255);
  skin::SetPixel32(nine, 0, 0, 0xFFFF00FF);
  skin::StretchNinePart(big, nine, skin::TRect{0, 0, 10, 8}, skin::TRect{2, 2, 2, 2}, skin::TRect{0, 0, 6, 6});
  EXPECT_EQ(skin::GetPixel32(big, 0, 0), 0u);  // the key corner pixel is left out
  EXPECT_EQ(skin::GetPixel32(big, 1, 0), Px(0x0000FF));
  EXPECT_EQ(skin::GetPixel32(big, 5, 4), Px(0x00FF00));
  EXPECT_EQ(skin::GetPixel32(big, 2, 5), Px(0x00FF00));
  EXPECT_EQ(skin::GetPixel32(big, 9, 7), Px(0x0000FF));
  // Pictures of another depth are worked on in 32 bits.
  Bitmap nine24, big24(10, 8, skin::pf24bit);
  nine24.Assign(nine);
  nine24.SetPixelFormat(skin::pf24bit);
  skin::StretchNinePart(big24, nine24, skin::TRect{0, 0, 10, 8}, skin::TRect{2, 2, 2, 2}, skin::TRect{0, 0, 6, 6});
  ASSERT_EQ(big24.PixelFormat(), skin::pf32bit);
  EXPECT_EQ(skin::GetPixel32(big24, 1, 0) & 0xFFFFFF, Px(0x0000FF) & 0xFFFFFF);
  EXPECT_EQ(skin::GetPixel32(big24, 5, 4) & 0xFFFFFF, Px(0x00FF00) & 0xFFFFFF);

  // The menu glyph: alpha turned over and the colour multiplied by it; key pixels kept.
  Bitmap glyph(2, 1, skin::pf32bit);
  skin::SetPixel32(glyph, 0, 0, 0x40FF8000);  // A 0x40, R 0xFF, G 0x80, B 0x00
  skin::SetPixel32(glyph, 1, 0, 0x00FF00FF);
  skin::PrepareMenuGlyph(glyph);
  EXPECT_EQ(skin::GetPixel32(glyph, 0, 0), 0xBFBE5F00u);
  EXPECT_EQ(skin::GetPixel32(glyph, 1, 0), 0x00FF00FFu);
}

TEST(TsTitleBarComponent, AUserTitleButtonsHintShowsOverItAndGoesWhenLeft) {
  Rig r;
  skin::TsTitleButton* b = r.p->TitleButtons().Add();
  b->Hint = "Station log";
  skin::ProviderLayoutTitle(*r.p);
  r.Cache();
  const int saved = gui::Application->HintPause();
  gui::Application->SetHintPause(0);  // at once
  const skin::TPoint c = Centre(b->Data.Rect);
  gui::Screen->SetHeadlessCursorPos(skin::TPoint{100 + c.X, 50 + c.Y});
  // The form shows no hints: none.
  skin::ProviderSetHotElement(*r.p, skin::wv::kHtUserButton, true);
  EXPECT_TRUE(!r.p->TitleHintState || !r.p->TitleHintState->Window);
  skin::ProviderSetHotElement(*r.p, 0, true);
  r.form->SetShowHint(true);
  skin::ProviderSetHotElement(*r.p, skin::wv::kHtUserButton, true);
  ASSERT_TRUE(r.p->TitleHintState && r.p->TitleHintState->Window);
  const gui::THintWindow& w = *r.p->TitleHintState->Window;
  EXPECT_TRUE(w.Showing());
  EXPECT_EQ(w.Caption(), "Station log");
  EXPECT_EQ(w.BoundsRect().Left, 100 + c.X + 8);
  EXPECT_EQ(w.BoundsRect().Top, 50 + c.Y + 16);
  // Pressed: the hint goes; hot again and left: gone as well.
  gui::TMessage down{0xA1, WPARAM(skin::wv::kHtUserButton), 0, 0};
  skin::ProviderNcLButtonDown(*r.p, down);
  EXPECT_FALSE(r.p->TitleHintState->Window);
  skin::ProviderSetHotElement(*r.p, 0, true);
  skin::TitleButtonPressed() = false;
  // With a pause, the hint waits for the timer, and only shows while the cursor is still there.
  gui::Application->SetHintPause(500);
  skin::ProviderSetHotElement(*r.p, skin::wv::kHtUserButton, true);
  EXPECT_FALSE(r.p->TitleHintState->Window);
  gui::Screen->SetHeadlessCursorPos(skin::TPoint{0, 0});
  skin::ProviderTitleHintTimer(*r.p);
  EXPECT_FALSE(r.p->TitleHintState->Window);
  gui::Screen->SetHeadlessCursorPos(skin::TPoint{100 + c.X, 50 + c.Y});
  skin::ProviderTitleHintTimer(*r.p);
  EXPECT_TRUE(r.p->TitleHintState->Window && r.p->TitleHintState->Window->Showing());
  skin::ProviderSetHotElement(*r.p, 0, true);
  EXPECT_FALSE(r.p->TitleHintState->Window);
  // A title-bar item with hints on shows its own, 16 pixels below the cursor.
  gui::Application->SetHintPause(0);
  TacTitleBarItem* item = r.Add(skin::bsButton, skin::tbaLeft, 22);
  item->Hint = "Beacon";
  item->ShowHint = true;
  r.Cache();
  const skin::TPoint ic = Centre(item->Rect);
  gui::Screen->SetHeadlessCursorPos(skin::TPoint{100 + ic.X, 50 + ic.Y});
  skin::ProviderSetHotElement(*r.p, skin::wv::kHtTitleItem + item->Index(), true);
  ASSERT_TRUE(r.p->TitleHintState->Window);
  EXPECT_EQ(r.p->TitleHintState->Window->Caption(), "Beacon");
  EXPECT_EQ(r.p->TitleHintState->Window->BoundsRect().Left, 100 + ic.X);
  EXPECT_EQ(r.p->TitleHintState->Window->BoundsRect().Top, 50 + ic.Y + 16);
  skin::ProviderSetHotElement(*r.p, 0, true);
  EXPECT_FALSE(r.p->TitleHintState->Window);
  gui::Application->SetHintPause(saved);
}

}  // namespace
