// The painters' Windows side: window regions from key-colour pixels, text through GDI, the triangle gradient of
// msimg32, painting into device contexts, icons, the layered-window entry points, and the leak ledger.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "gui/graphics.h"
#include "skin/data/maskdata.h"
#include "skin/painters/borders.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/painters/gradients.h"
#include "skin/painters/painting_libraries.h"
#include "skin/painters/section_paint.h"
#include "skin/painters/section_text.h"
#include "skin/painters/skinned_text.h"
#include "skin/painters/text_engine.h"
#include "tests/skin_painters/painters_fixture.h"
#include "tests/skin_pixels/test_pixels.h"

namespace skin {
namespace {

using test::PaintersFixture;

// A memory DC over a 32-bit bitmap of ours, to read back what GDI drew.
struct DibDC {
  Bitmap bmp;
  HDC dc = nullptr;
  HGDIOBJ old = nullptr;
  DibDC(int32_t w, int32_t h, uint32_t fill) : bmp(test::Filled(w, h, fill)) {
    dc = ledger::CreateCompatibleDC(nullptr);
    old = SelectObject(dc, static_cast<HBITMAP>(bmp.Handle()));
  }
  ~DibDC() {
    SelectObject(dc, old);
    ledger::DeleteDC(dc);
  }
  uint32_t At(int32_t x, int32_t y) {
    GdiFlush();
    return GetPixel32(bmp, x, y);
  }
};

TEST(PaintersWindows, RegionOfKeyColourPixelsExcludesExactlyThem) {
  PaintersFixture f;
  const ledger::Snapshot before = ledger::Take();
  SkinImageRecord rec = f.Image(f.frame);  // key pixels at three places of the top-left corner and one bottom-right
  rec.DrawMode = 1 | 4;
  const int32_t w = 40, h = 30;
  {
    // The border variant: the region covering the control loses the key pixels the border leaves transparent.
    Bitmap dst = test::Filled(w, h, 0x5A5A5A5Au);
    HRGN region = ledger::CreateRectRgn(0, 0, w, h);
    ASSERT_NE(region, nullptr);
    DrawBorderImage(dst, TRect{0, 0, w, h}, rec, 2, true, region);
    int excluded = 0;
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        const bool transparent = GetPixel32(dst, x, y) == 0x5A5A5A5Au;  // only key pixels are left unpainted
        ASSERT_EQ(PtInRegion(region, x, y) != FALSE, !transparent) << x << ", " << y;
        excluded += transparent;
      }
    EXPECT_EQ(excluded, 4);
    ledger::DeleteObject(region);
  }
  {
    // A window region from the key-colour corners of a frame's top and bottom bands.
    std::vector<TRect> rects;
    MaskCornerRects(rects, w, rec, 0, false);
    MaskCornerRects(rects, w, rec, h - rec.BorderBottom, true);
    HRGN region = RegionWithoutRects(TRect{0, 0, w, h}, rects);
    ASSERT_NE(region, nullptr);
    std::set<std::pair<int32_t, int32_t>> keys = {{0, 0}, {1, 0}, {0, 1}, {w - 1, h - 1}};
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x)
        ASSERT_EQ(PtInRegion(region, x, y) != FALSE, keys.count({x, y}) == 0) << x << ", " << y;
    ledger::DeleteObject(region);
  }
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

TEST(PaintersWindows, TextThroughGdiStaysInsideItsRectangle) {
  SetTextEngine(nullptr);  // the build's own: GDI
  gui::TFont font;
  font.SetName("Tahoma");
  font.SetHeight(-16);
  font.SetStyle(gui::fsBold);
  const uint32_t background = 0xFF204060u;
  Bitmap bmp = test::Filled(120, 40, background);
  const TRect R{20, 8, 70, 30};
  DrawTextMasked(bmp, font, "WWWWWWWWWWWW", 0x0000FF, DT_SINGLELINE | DT_VCENTER, R);
  int changed = 0;
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 120; ++x) {
      const bool inside = x >= R.Left && x < R.Right && y >= R.Top && y < R.Bottom;
      if (!inside) {
        ASSERT_EQ(GetPixel32(bmp, x, y), background) << x << ", " << y;
      } else if (GetPixel32(bmp, x, y) != background) {
        ++changed;
        ASSERT_EQ(PixelA(GetPixel32(bmp, x, y)), 255u);  // text pixels are opaque, never left with alpha 0
      }
    }
  EXPECT_GT(changed, 50);
  // The extent and the rectangle come from the font.
  const TSize size = CurrentTextEngine().Extent(font, "WW");
  EXPECT_GT(size.cx, 10);
  EXPECT_GE(size.cy, 16);
  TRect calc{0, 0, 1000, 0};
  DrawTextString(bmp, font, "WW", calc, DT_CALCRECT | DT_SINGLELINE, 0);
  EXPECT_EQ(calc.Right - calc.Left, size.cx);
}

TEST(PaintersWindows, DisabledCaptionTakesTheDisabledColour) {
  PaintersFixture f;  // label: font colour black, background colour white
  gui::TFont font;
  font.SetName("Tahoma");
  font.SetHeight(-20);
  font.SetStyle(gui::fsBold);
  Bitmap bmp = test::Filled(80, 40, 0xFFFFFFFFu);
  WriteTextSectionEx(bmp, font, "HI", false, &f.manager, TRect{4, 4, 76, 36}, 0, f.label, DT_SINGLELINE);
  uint32_t darkest = 255;
  int changed = 0;
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 80; ++x) {
      const uint32_t p = GetPixel32(bmp, x, y);
      if (p == 0xFFFFFFFFu) continue;
      ++changed;
      // Every channel between the disabled colour (115) and the background: no other colour is drawn.
      for (uint32_t c : {PixelR(p), PixelG(p), PixelB(p)}) {
        ASSERT_GE(c, 115u) << x << ", " << y;
        darkest = std::min(darkest, c);
      }
    }
  EXPECT_GT(changed, 20);
  EXPECT_EQ(darkest, 115u);  // fully covered pixels are exactly the disabled colour: 0.55 of black, 0.45 of white
}

TEST(PaintersWindows, SystemEntryPointsAreBound) {
  StartPaintingLibraries();
  EXPECT_TRUE(LayeredApiPresent());
  EXPECT_NE(UpdateLayeredWindowProc(), nullptr);
  EXPECT_NE(SetLayeredWindowAttributesProc(), nullptr);
  const TSize box = CheckBoxGlyphSize();
  EXPECT_GE(box.cx, 10);
  EXPECT_GE(box.cy, 10);
  ASSERT_NE(MsImgGradientFill(), nullptr);
  // The system's triangle gradient against the painters' own: the same colours inside the triangles.
  const GradientStepArray steps = {{0x0000FF, 0, 0, 2}, {0xFFFFFF, 0, 0, 2}, {0x00FF00, 0, 0, 2}, {0xFF0000, 0, 0, 2}};
  Bitmap system = test::Filled(64, 48, 0), own = test::Filled(64, 48, 0);
  const TRect R{0, 0, 64, 48};
  PaintGradient(system, R, steps);
  const GradientFillFunction saved = SetGradientFillProc(ShadeTriangles);
  PaintGradient(own, R, steps);
  SetGradientFillProc(saved);
  // The system may sample a triangle at another point of each pixel than its centre: the two may differ by up to
  // one pixel's step of the gradient.
  int worst = 0, step = 0;
  for (int32_t y = 2; y < 46; ++y)
    for (int32_t x = 2; x < 62; ++x) {
      const uint32_t a = GetPixel32(system, x, y), b = GetPixel32(own, x, y);
      ASSERT_EQ(PixelA(a), 255u);
      for (int shift : {0, 8, 16}) {
        auto c = [shift](uint32_t p) { return int((p >> shift) & 0xFF); };
        worst = std::max(worst, std::abs(c(a) - c(b)));
        step = std::max({step, std::abs(c(b) - c(GetPixel32(own, x + 1, y))), std::abs(c(b) - c(GetPixel32(own, x, y + 1)))});
      }
    }
  EXPECT_LE(worst, step + 1);
  StopPaintingLibraries();
}

TEST(PaintersWindows, DeviceContextsAndIconsLeaveNothingBehind) {
  PaintersFixture f;
  SetTextEngine(nullptr);
  gui::TFont font;
  font.SetHeight(-12);
  (void)font.Handle();  // the component layer's font is its own, made once
  const ledger::Snapshot before = ledger::Take();
  for (int cycle = 0; cycle < 5; ++cycle) {
    DibDC target(60, 40, 0xFF000000u);
    PaintSkinItemToDC(f.panel, EmptyCacheInfo, 0, target.dc, TPoint{}, TRect{5, 5, 25, 25}, &f.manager);
    EXPECT_EQ(target.At(10, 10) & 0x00FFFFFFu, ColorToKeyPixel(PaintersFixture::kPanelColor));
    EXPECT_EQ(target.At(30, 30), 0xFF000000u);
    FillRectWithColor(target.dc, TRect{30, 0, 40, 10}, 0x00FF00);
    EXPECT_EQ(target.At(35, 5) & 0x00FFFFFFu, ColorToKeyPixel(0x00FF00));
    FillFrameColor(target.dc, TRect{40, 0, 60, 20}, 2, 2, 2, 2, 0x0000FF);
    EXPECT_EQ(target.At(40, 10) & 0x00FFFFFFu, ColorToKeyPixel(0x0000FF));
    EXPECT_EQ(target.At(50, 10), 0xFF000000u);
    TRect frame{0, 26, 12, 38};
    DrawFocusFrame(target.dc, frame, 0xFF0000, 2, 0x00FFFF);
    EXPECT_EQ(target.At(0, 26) & 0x00FFFFFFu, ColorToKeyPixel(0xFF0000));
    EXPECT_EQ(target.At(11, 37) & 0x00FFFFFFu, ColorToKeyPixel(0x00FFFF));
    // A 32-bit graphic blended into what the DC shows.
    Bitmap half = test::Filled(4, 4, 0x800000FFu);  // blue at half alpha
    StretchDrawAlpha(target.dc, TRect{50, 30, 58, 38}, half);
    EXPECT_EQ(target.At(54, 34) & 0x00FFFFFFu, 0x0000007Fu);  // 255 x 128 shr 8
    TRect text{20, 26, 60, 40};
    DrawTextString(target.dc, "Wine", text, DT_SINGLELINE);
    DrawTextMasked(target.bmp, font, "Wine", 0xFFFFFF, DT_SINGLELINE, TRect{0, 0, 40, 20});
    // An icon made from a 32-bit graphic: transparent where the graphic is.
    Bitmap graphic = test::Filled(16, 16, 0);
    FillRectBitmap32(graphic, TRect{4, 4, 12, 12}, 0x0000FF, 255);
    HICON icon = MakeIconFromBitmap(graphic, 0xFFFFFF);
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, info.hbmMask);
    EXPECT_NE(GetPixel(dc, 0, 0), RGB(0, 0, 0));  // transparent corner: mask set
    EXPECT_EQ(GetPixel(dc, 8, 8), RGB(0, 0, 0));  // opaque middle
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    ledger::DestroyIcon(icon);
    PaintGradient(target.bmp, TRect{0, 0, 60, 40}, {{0x0000FF, 0, 0, 2}, {0x00FF00, 0, 0, 2}});
  }
  EXPECT_EQ(ledger::Difference(before, ledger::Take()), "");
}

}  // namespace
}  // namespace skin
