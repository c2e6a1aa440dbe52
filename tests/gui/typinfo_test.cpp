// Run-time type information of the component layer (type tests, published properties by name), the place of
// a system colour source, and main-window hooks that come and go while the hooks run.
#include <gtest/gtest.h>

#include "gui/gui.h"
#include "gui/syscolors.h"

using namespace gui;

namespace {

TEST(TypeInfo, TypeTestsAndPublishedPropertiesByName) {
  TForm form(nullptr);
  auto* panel = new TPanel(&form);
  auto* frame = new TFrame(&form);
  EXPECT_TRUE(InheritsFrom<TWinControl>(panel));
  EXPECT_FALSE(InheritsFrom<TCustomForm>(panel));
  EXPECT_TRUE(InheritsFrom<TCustomFrame>(frame));
  EXPECT_FALSE(InheritsFrom<TControl>(nullptr));

  EXPECT_TRUE(IsPublishedProp(panel, "BEVELOUTER"));  // names without regard to case
  EXPECT_FALSE(IsPublishedProp(&form, "BevelOuter"));
  EXPECT_EQ(GetOrdProp(panel, "Flat"), -1);
  const TPropInfo* align = GetPropInfo(panel, "Align");
  ASSERT_NE(align, nullptr);
  EXPECT_TRUE(SetOrdProp(panel, "Align", 5));
  EXPECT_EQ(panel->Align(), TAlign::alClient);
  EXPECT_EQ(GetEnumName(*align, GetOrdProp(panel, "Align")), "alClient");
  EXPECT_TRUE(SetOrdProp(panel, "Align", 99));  // out of range: written, ignored by the property
  EXPECT_EQ(panel->Align(), TAlign::alClient);
  EXPECT_TRUE(SetStrProp(panel, "Caption", "Hello"));
  EXPECT_EQ(panel->Caption(), "Hello");
  EXPECT_EQ(GetObjectProp(panel, "Font"), &panel->Font());

  const TPropInfo* icons = GetPropInfo(&form, "BorderIcons");
  ASSERT_NE(icons, nullptr);
  EXPECT_EQ(SetToString(*icons, biSystemMenu | biHelp), "biSystemMenu,biHelp");
  EXPECT_EQ(StringToSet(*icons, "[biMaximize, BIMINIMIZE,unknown]"), biMaximize | biMinimize);

  // A class may publish a property again: its own accessors win for it and its descendants.
  struct TShade : TPanel {
    using TPanel::TPanel;
    int shade = 7;
  };
  static bool registered = [] {
    TPropInfo p;
    p.Name = "Color";
    p.Kind = TTypeKind::tkInteger;
    p.GetOrd = [](const TObject& o) -> int64_t { return static_cast<const TShade&>(o).shade; };
    RegisterPublishedProperty<TShade>(std::move(p));
    return true;
  }();
  (void)registered;
  auto* shade = new TShade(&form);
  EXPECT_EQ(GetOrdProp(shade, "Color"), 7);
  EXPECT_FALSE(SetOrdProp(shade, "Color", 1));  // read-only there
  EXPECT_EQ(GetOrdProp(panel, "Color"), panel->Color());
  int colors = 0;
  for (const TPropInfo* p : GetPropList(shade)) colors += SameText(p->Name, "Color");
  EXPECT_EQ(colors, 1);
}

TEST(SystemColors, OneSourceAtATime) {
  struct Source : SystemColorSource {
    uint32_t window;
    explicit Source(uint32_t w) : window(w) {}
    bool SysColor(int index, uint32_t& rgb) override {
      if (index != 5) return false;
      rgb = window;
      return true;
    }
    HBRUSH SysColorBrush(int) override { return nullptr; }
    COLORREF PenColor(COLORREF c) override { return c == 15 ? window : c; }
  } a(0x112233), b(0x445566);
  const uint32_t system = SystemSysColor(5);
  EXPECT_EQ(ColorToRGB(clWindow), system);
  EXPECT_TRUE(InstallSystemColorSource(&a));
  EXPECT_TRUE(InstallSystemColorSource(&a));  // again: nothing changes
  EXPECT_FALSE(InstallSystemColorSource(&b));
  EXPECT_EQ(ColorToRGB(clWindow), 0x112233u);
  EXPECT_EQ(ColorToRGB(clBtnFace), SystemSysColor(15));
  EXPECT_EQ(platform::systemColors().SysColor(5), system);  // the system's own value stays readable
  EXPECT_EQ(PenColor(15), 0x112233u);
  {
    SystemColoursOnly own;  // drawing on a colour of its own: the system's values, then the source's again
    EXPECT_EQ(ColorToRGB(clWindow), system);
    EXPECT_EQ(PenColor(15), 15u);
  }
  EXPECT_EQ(ColorToRGB(clWindow), 0x112233u);
  RemoveSystemColorSource(&b);  // not in place: nothing
  EXPECT_EQ(CurrentSystemColorSource(), &a);
  RemoveSystemColorSource(&a);
  EXPECT_EQ(ColorToRGB(clWindow), system);
  EXPECT_EQ(PenColor(15), 15u);
}

TEST(ApplicationHooks, AHookRemovedWhileTheHooksRunIsSkipped) {
  int second = 0;
  int secondId = 0;
  const int firstId = Application->HookMainWindow([&](TMessage&) {
    Application->UnhookMainWindow(secondId);
    return false;
  });
  secondId = Application->HookMainWindow([&](TMessage&) {
    ++second;
    return true;
  });
  TMessage m{WM_NULL, 0, 0, 0};
  EXPECT_FALSE(Application->RunHooks(m));
  EXPECT_EQ(second, 0);
  Application->UnhookMainWindow(firstId);
}

}  // namespace
