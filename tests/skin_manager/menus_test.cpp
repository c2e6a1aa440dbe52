// The skinned menus natively: item kinds, measurements with the fixed text metric, popup sizes, the installation
// of the library's handlers beside the application's own, and the pictures of a popup's background and items.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "gui/forms.h"
#include "gui/menus.h"
#include "skin/manager/sskinmenus.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/text_engine.h"
#include "tests/skin_manager/skin_data_fixture.h"

namespace {

using namespace skin;
using namespace skindatatest;

struct FixedText {
  TextEngine* previous = SetTextEngine(&FixedMetricEngine());
  ~FixedText() { SetTextEngine(previous); }
};

gui::TMenuItem* AddItem(gui::TComponent* owner, gui::TMenuItem* parent, const std::string& caption) {
  auto* item = new gui::TMenuItem(owner);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

TEST(SkinnedMenus, ItemKindsAndMeasurements) {
  SkinDataFixture f;
  FixedText fixed;
  TsSkinableMenus& menus = *f.manager->SkinableMenus;
  struct Kind {
    const char* caption;
    TsItemKind kind;
  };
  for (const Kind& k : {Kind{"-", ikDivider}, Kind{"-Tools-", ikCaption}, Kind{"--", ikCaption},
                        Kind{"A-", ikNormal}, Kind{"-A", ikNormal}, Kind{"&Open", ikNormal}})
    EXPECT_EQ(MenuItemKind(k.caption), k.kind) << k.caption;

  // The fixed metric of the default 11-pixel font: cells 5 wide, lines 13 high (bold cells 6 wide).
  auto owner = std::make_unique<gui::TPopupMenu>(nullptr);
  gui::TMenuItem* root = owner->Items();
  gui::TMenuItem* open = AddItem(owner.get(), root, "&Open");
  gui::TMenuItem* save = AddItem(owner.get(), root, "Save");
  save->SetShortCut(gui::TextToShortCut("Ctrl+S"));
  gui::TMenuItem* divider = AddItem(owner.get(), root, "-");
  gui::TMenuItem* caption = AddItem(owner.get(), root, "-Tools-");
  gui::TMenuItem* bold = AddItem(owner.get(), root, "Open");
  bold->SetDefault(true);
  gui::TMenuItem* glyph = AddItem(owner.get(), root, "Go");
  glyph->Bitmap().SetSize(20, 24);
  struct Size {
    gui::TMenuItem* item;
    int32_t width, height;
  };
  // Width: 2 x glyph + 3 x Margin + Spacing + text; height: the larger of text and glyph + 2 x (Margin + 1).
  for (const Size& s : {Size{open, 46 + 4 * 5, 16 + 6}, Size{save, 46 + 11 * 5, 22}, Size{divider, 46, 2},
                        Size{caption, 46 + 9 * 5, 13 + 6 + 1}, Size{bold, 46 + 4 * 6, 22},
                        Size{glyph, 2 * 20 + 14 + 2 * 5, 24 + 6}}) {
    SCOPED_TRACE(s.item->Caption());
    EXPECT_EQ(MeasureMenuItem(menus, *s.item, false), (TSize{s.width, s.height}));
  }
  // The extra line widens items only while the manager uses it.
  EXPECT_EQ(MeasureMenuItem(menus, *open, true).cx, 66);
  f.manager->MenuSupport.UseExtraLine = true;
  EXPECT_EQ(MeasureMenuItem(menus, *open, true).cx, 66 + 32);
  f.manager->MenuSupport.UseExtraLine = false;

  // A popup of two columns: each column's widest item + 12, 4 per break, the border on each side.
  auto two = std::make_unique<gui::TPopupMenu>(nullptr);
  gui::TMenuItem* a = AddItem(two.get(), two->Items(), "Aaaaaa");  // 76 x 22
  AddItem(two.get(), two->Items(), "B");                            // 51 x 22
  gui::TMenuItem* c = AddItem(two.get(), two->Items(), "Cc");       // 56 x 22, new column
  c->SetBreak(gui::TMenuBreak::mbBreak);
  gui::TMenuItem* hidden = AddItem(two.get(), two->Items(), "Hidden and very wide indeed");
  hidden->SetVisible(false);
  EXPECT_EQ(PopupMenuSize(menus, *two->Items(), false), (TSize{(76 + 12) + (56 + 12) + 4 + 6, 44 + 6}));
  EXPECT_TRUE(InFirstColumn(*a));
  EXPECT_FALSE(InFirstColumn(*c));
  EXPECT_EQ(FirstVisibleItem(*two->Items()), a);

  // The skin's popup border: the frame's height, 3 when below 1, 0 without a frame.
  EXPECT_EQ(menus.SkinBorderWidth(), kMenuBorder);
  f.manager->Skin().Images[size_t(f.menuFrame)].BorderTop = 0;
  menus.ResetSkinBorderWidth();
  EXPECT_EQ(menus.SkinBorderWidth(), 3);
  f.Section(f.mainMenu).BorderIndex = -1;
  f.manager->Skin().Images[size_t(f.menuFrame)].KeyName = "NOTAFRAME";
  menus.ResetSkinBorderWidth();
  EXPECT_EQ(menus.SkinBorderWidth(), 0);
}

TEST(SkinnedMenus, HandlersOfTheApplicationStay) {
  SkinDataFixture f;
  TsSkinableMenus& menus = *f.manager->SkinableMenus;
  auto popup = std::make_unique<gui::TPopupMenu>(nullptr);
  gui::TMenuItem* plain = AddItem(popup.get(), popup->Items(), "Plain");
  gui::TMenuItem* own = AddItem(popup.get(), popup->Items(), "Own");
  gui::TMenuItem* sub = AddItem(popup.get(), plain, "Sub");
  int ownDraws = 0;
  own->OnAdvancedDrawItem = [&](gui::TObject*, gui::TCanvas&, const TRect&, gui::TOwnerDrawState) { ++ownDraws; };
  own->OnMeasureItem = [](gui::TObject*, gui::TCanvas&, int& w, int& h) { w = h = 7; };
  InstallPopupMenuHandlers(menus, *popup, true);
  EXPECT_TRUE(popup->OwnerDraw());
  for (gui::TMenuItem* i : {plain, sub}) {
    EXPECT_TRUE(i->OnAdvancedDrawItem);
    EXPECT_TRUE(i->OnMeasureItem);
  }
  // The skin goes: the library's handlers go, the application's own stay and still draw.
  InstallPopupMenuHandlers(menus, *popup, false);
  EXPECT_FALSE(popup->OwnerDraw());
  EXPECT_FALSE(plain->OnAdvancedDrawItem);
  EXPECT_FALSE(sub->OnMeasureItem);
  ASSERT_TRUE(own->OnAdvancedDrawItem);
  gui::TCanvas canvas;
  own->DrawItem(canvas, TRect{0, 0, 10, 10}, 0);
  EXPECT_EQ(ownDraws, 1);
  int w = 0, h = 0;
  own->MeasureItem(canvas, w, h);
  EXPECT_EQ(w, 7);

  // A main menu: its top items get the menu-line handlers (replacing), the items below the popup ones.
  auto form = std::make_unique<gui::TForm>(nullptr);
  auto* main = new gui::TMainMenu(form.get());
  gui::TMenuItem* file = AddItem(form.get(), main->Items(), "&File");
  gui::TMenuItem* exit = AddItem(form.get(), file, "E&xit");
  file->OnMeasureItem = [](gui::TObject*, gui::TCanvas&, int&, int&) {};
  InstallMainMenuHandlers(menus, *main, true);
  InstallSubItemHandlers(menus, *file, true);
  EXPECT_TRUE(main->OwnerDraw());
  using Fn = void (*)(gui::TObject*, gui::TCanvas&, int&, int&);
  ASSERT_NE(file->OnMeasureItem.target<Fn>(), nullptr);
  EXPECT_EQ(*file->OnMeasureItem.target<Fn>(), &SkinMenuLineMeasureItem);
  ASSERT_NE(exit->OnMeasureItem.target<Fn>(), nullptr);
  EXPECT_EQ(*exit->OnMeasureItem.target<Fn>(), &SkinMenuMeasureItem);
  InstallMainMenuHandlers(menus, *main, false);
  InstallSubItemHandlers(menus, *file, false);
  EXPECT_FALSE(main->OwnerDraw());
  EXPECT_FALSE(file->OnMeasureItem);
  EXPECT_FALSE(exit->OnAdvancedDrawItem);
}

TEST(SkinnedMenus, PopupBackgroundAndItems) {
  SkinDataFixture f;
  FixedText fixed;
  TsSkinableMenus& menus = *f.manager->SkinableMenus;
  std::vector<TRect> cutOuts;
  TacExtraLineData extra;
  const std::unique_ptr<Bitmap> bg = BuildPopupBackground(menus, TSize{100, 80}, extra, 16, cutOuts);
  ASSERT_TRUE(bg);
  // The frame's key-colour corners (two pixels top left, one below it, one top right, one bottom left).
  std::sort(cutOuts.begin(), cutOuts.end(), [](const TRect& a, const TRect& b) {
    return std::tie(a.Top, a.Left) < std::tie(b.Top, b.Left);
  });
  EXPECT_EQ(cutOuts, (std::vector<TRect>{TRect{0, 0, 2, 1}, TRect{99, 0, 100, 1}, TRect{0, 1, 1, 2},
                                         TRect{0, 79, 1, 80}}));
  EXPECT_EQ(GetPixel32(*bg, 2, 40) & 0xFFFFFF, ColorToKeyPixel(kMenuFrame));      // the frame
  EXPECT_EQ(GetPixel32(*bg, 6, 40) & 0xFFFFFF, ColorToKeyPixel(kIcoLineColor));   // the glyph column
  EXPECT_EQ(GetPixel32(*bg, 60, 40) & 0xFFFFFF, ColorToKeyPixel(kMenuColor));     // the popup's own colour

  // Items read their background from the cache; a selected one is the hot menu item; a disabled one is faded
  // towards its background.
  auto popup = std::make_unique<gui::TPopupMenu>(nullptr);
  gui::TMenuItem* item = AddItem(popup.get(), popup->Items(), "Item");
  Bitmap picture(80, 22, pf32bit);
  PaintPopupItem(menus, *item, picture, bg.get(), TPoint{kMenuBorder, kMenuBorder}, 0, 16);
  EXPECT_EQ(GetPixel32(picture, 78, 1) & 0xFFFFFF, ColorToKeyPixel(kMenuColor));
  EXPECT_EQ(GetPixel32(picture, 3, 10) & 0xFFFFFF, ColorToKeyPixel(kIcoLineColor));
  PaintPopupItem(menus, *item, picture, bg.get(), TPoint{kMenuBorder, kMenuBorder}, gui::odSelected, 16);
  EXPECT_EQ(GetPixel32(picture, 78, 1) & 0xFFFFFF, ColorToKeyPixel(kMenuItemHot));
  // The caption in the hot font colour (the fixed metric's solid cells, from the text column on).
  const int32_t textLeft = 16 + 2 * menus.Margin + menus.Spacing;
  EXPECT_EQ(GetPixel32(picture, textLeft + 1, 11) & 0xFFFFFF, ColorToKeyPixel(kMenuItemHotFont));
  item->SetEnabled(false);
  PaintPopupItem(menus, *item, picture, bg.get(), TPoint{kMenuBorder, kMenuBorder}, gui::odSelected, 16);
  EXPECT_EQ(GetPixel32(picture, 78, 1) & 0xFFFFFF, ColorToKeyPixel(kMenuColor));  // disabled: never hot

  // A menu-bar item: the menu line, hot when selected.
  gui::TMenuItem* top = AddItem(popup.get(), popup->Items(), "Top");
  Bitmap bar(40, 18, pf32bit);
  PaintMenuLineItem(menus, *top, bar, nullptr, TPoint{0, 0}, 0);
  EXPECT_EQ(GetPixel32(bar, 1, 1) & 0xFFFFFF, ColorToKeyPixel(kMenuLineColor));
  PaintMenuLineItem(menus, *top, bar, nullptr, TPoint{0, 0}, gui::odSelected);
  EXPECT_EQ(GetPixel32(bar, 1, 1) & 0xFFFFFF, ColorToKeyPixel(kMenuLineHot));
}

}  // namespace
