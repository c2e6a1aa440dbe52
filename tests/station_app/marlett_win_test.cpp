// The symbol font the system draws title buttons, system menu marks and scroll arrows with ("Marlett"), under
// Wine in the prefixes that scripts/wine-fonts.sh prepares (as scripts/run.sh's and the tests' own): without it
// the plain windows' title buttons show the letters "0 1 r" instead of their marks.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

int CALLBACK Found(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM p) {
  *reinterpret_cast<bool*>(p) = true;
  return 0;
}

// The mark the system draws for a title button, 32 x 32 pixels, black on white, as rows of '#' and '.'.
std::string Mark(UINT state) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 32, 32);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT r{0, 0, 32, 32};
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  // The button's face is left out: its mark alone is drawn, in the button text colour.
  DrawFrameControl(dc, &r, DFC_CAPTION, state | DFCS_FLAT);
  std::string rows;
  const COLORREF face = GetPixel(dc, 1, 1);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) rows += GetPixel(dc, x, y) == face ? '.' : '#';
    rows += '\n';
  }
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  return rows;
}

// Whether the picture is its own mirror image, left to right, within a pixel.
bool Symmetric(const std::string& rows) {
  int odd = 0, ink = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const char a = rows[size_t(y * 33 + x)];
      ink += a == '#';
      const char b = rows[size_t(y * 33 + 31 - x)], c = x > 0 ? rows[size_t(y * 33 + 32 - x)] : '.';
      odd += a == '#' && b != '#' && c != '#';
    }
  return ink > 20 && odd * 10 < ink;
}

TEST(PoliceSymboles, TheTitleButtonsAndTheSystemMenuHaveTheirSymbolFont) {
  bool found = false;
  LOGFONTA lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpyA(lf.lfFaceName, "Marlett");
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesExA(dc, &lf, Found, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  EXPECT_TRUE(found) << "no font \"Marlett\"";
  // The close mark is an X, which a letter "r" is not; the minimize mark a bar along the bottom.
  const std::string close = Mark(DFCS_CAPTIONCLOSE);
  EXPECT_TRUE(Symmetric(close)) << close;
  std::printf("%s\n", close.c_str());
  const std::string minimize = Mark(DFCS_CAPTIONMIN);
  bool inkAbove = false;  // inside the button's one-pixel frame, over its upper half
  for (int y = 1; y < 16; ++y) inkAbove = inkAbove || minimize.substr(size_t(y * 33 + 1), 30).find('#') != std::string::npos;
  EXPECT_FALSE(inkAbove) << minimize;
  EXPECT_NE(minimize.substr(33 * 16, 33 * 15).find("####"), std::string::npos) << minimize;
}

}  // namespace
