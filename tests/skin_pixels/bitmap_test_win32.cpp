// The Windows side of the bitmap: a DIB section that GDI reads and writes, system colours and icons.
#include <windows.h>

#include <gtest/gtest.h>

#include "skin/pixels/bitmap.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/pixel_helpers.h"

namespace skin {
namespace {

TEST(BitmapWindows, PixelsAreThoseOfABottomUpDibSection) {
  Bitmap b(5, 3, pf32bit);
  ASSERT_NE(b.Handle(), nullptr);
  DIBSECTION info{};
  ASSERT_EQ(GetObjectA(static_cast<HBITMAP>(b.Handle()), sizeof(info), &info), int(sizeof(info)));
  EXPECT_EQ(info.dsBmih.biWidth, 5);
  EXPECT_EQ(info.dsBmih.biHeight, 3);  // positive: bottom-up
  EXPECT_EQ(info.dsBmih.biBitCount, 32);
  EXPECT_EQ(info.dsBm.bmBits, b.ScanLine(2));  // the buffer starts with the bottom row

  SetPixel32(b, 1, 0, 0x00123456);  // R 0x12, G 0x34, B 0x56
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, static_cast<HBITMAP>(b.Handle()));
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0x12, 0x34, 0x56));
  SetPixelV(dc, 4, 2, RGB(1, 2, 3));
  SelectObject(dc, old);
  DeleteDC(dc);
  EXPECT_EQ(GetPixel32(b, 4, 2) & 0x00FFFFFFu, 0x00010203u);  // flushed before the direct read
}

TEST(BitmapWindows, PaletteOfIndexedBitmapsReachesGdi) {
  Bitmap b(4, 1, pf8bit);
  std::vector<TRGBQuad> pal(256);
  pal[7] = TRGBQuad{30, 20, 10, 0};
  b.SetPalette(pal);
  b.ScanLine(0)[2] = 7;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, static_cast<HBITMAP>(b.Handle()));
  EXPECT_EQ(GetPixel(dc, 2, 0), RGB(10, 20, 30));
  SelectObject(dc, old);
  DeleteDC(dc);
}

TEST(BitmapWindows, SystemColoursComeFromTheSystem) {
  EXPECT_EQ(uint32_t(ColorToRGB(clBtnFace)), uint32_t(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(uint32_t(ColorToRGB(clHighlight)), uint32_t(GetSysColor(COLOR_HIGHLIGHT)));
}

TEST(BitmapWindows, IconMaskMarksTheTopLeftColour) {
  // Whatever the top-left colour is, its pixels become the icon's transparent part; the others keep their colour.
  struct Case {
    TColor key, body;
  };
  for (const Case c : {Case{KeyColor, RGBColor(200, 0, 0)}, Case{RGBColor(0, 160, 0), RGBColor(10, 20, 230)}}) {
    SCOPED_TRACE(c.key);
    Bitmap b(16, 16, pf32bit);
    FillRectBitmap32(b, TRect{0, 0, 16, 16}, c.key, 0);
    FillRectBitmap32(b, TRect{4, 4, 12, 12}, c.body, 255);
    HICON icon = static_cast<HICON>(IconFromBitmap32(b));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    EXPECT_TRUE(info.fIcon);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, info.hbmMask);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));    // transparent
    EXPECT_EQ(GetPixel(dc, 15, 15), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 8, 8), RGB(0, 0, 0));          // drawn
    ASSERT_NE(info.hbmColor, nullptr);
    SelectObject(dc, info.hbmColor);
    EXPECT_EQ(GetPixel(dc, 8, 8), COLORREF(c.body));      // the bitmap's own colour
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    ledger::DestroyIcon(icon);
  }
}

// The ledger counts what the bitmap and icon code make and free: a round of them leaves every counter where it was,
// and an object kept alive shows as one more of its kind.
TEST(BitmapWindows, TheLedgerCountsWhatIsMadeAndFreed) {
  const ledger::Snapshot start = ledger::Take();
  for (int i = 0; i < 20; ++i) {
    Bitmap b(8 + i, 8, pf32bit);
    HICON icon = static_cast<HICON>(IconFromBitmap32(b));
    ASSERT_NE(icon, nullptr);
    ledger::DestroyIcon(icon);
  }
  EXPECT_EQ(ledger::Difference(start, ledger::Take()), "");
  {
    Bitmap kept(4, 4, pf32bit);
    HRGN region = ledger::CreateRectRgn(0, 0, 4, 4);
    const ledger::Snapshot held = ledger::Take();
    EXPECT_EQ(held.Live[ledger::kBitmap], start.Live[ledger::kBitmap] + 1);
    EXPECT_EQ(held.Live[ledger::kRegion], start.Live[ledger::kRegion] + 1);
    ledger::DeleteObject(region);
  }
  HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  ledger::SetTimer(window, 7, 1000, nullptr);
  ledger::SetTimer(window, 7, 500, nullptr);  // replaces the first: still one timer
  EXPECT_EQ(ledger::Take().Live[ledger::kTimer], start.Live[ledger::kTimer] + 1);
  ledger::KillTimer(window, 7);
  DestroyWindow(window);
  EXPECT_EQ(ledger::Difference(start, ledger::Take()), "");
}

}  // namespace
}  // namespace skin
