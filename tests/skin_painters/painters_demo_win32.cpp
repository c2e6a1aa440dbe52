// A window that shows what the painters draw (for looking at it under Wine): a skinned form image with a gradient
// title, its caption with an outline and a glow through GDI text, buttons in their three states with glyphs, a
// disabled caption, the three gradient kinds, and a nine-piece image stretched and tiled. It closes itself after the
// number of seconds given (default 5); with a file name as second argument it also writes its image there (BMP).
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "gui/graphics.h"
#include "skin/data/loaded_skin.h"
#include "skin/data/sskinmanager.h"
#include "skin/painters/dc_copy.h"
#include "skin/painters/gradients.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/section_paint.h"
#include "skin/painters/section_text.h"
#include "skin/painters/skin_mask.h"
#include "skin/painters/skinned_text.h"
#include "skin/painters/state_images.h"
#include "skin/painters/text_engine.h"

using namespace skin;

namespace {

constexpr int32_t kWidth = 760, kHeight = 520;

struct DemoSkin {
  PortableSkinSystem system;
  TsSkinManager manager{system};
  int32_t form = -1, title = -1, button = -1, label = -1, glyph = -1, nine = -1;

  static uint32_t Shade(uint32_t base, int32_t amount) {
    auto ch = [amount](uint32_t c) { return uint32_t(std::clamp(int32_t(c) + amount, 0, 255)); };
    return MakePixel(ch(PixelB(base)), ch(PixelG(base)), ch(PixelR(base)), 255);
  }

  DemoSkin() {
    LoadedSkin s;
    s.MasterBitmap = std::make_shared<Bitmap>(256, 128, pf32bit);
    Bitmap& m = *s.MasterBitmap;
    // Button border: 3 states of 24 x 24, bevelled, rounded key-colour corners.
    const uint32_t states[3] = {0xFF6A7F96u, 0xFF4F8FD0u, 0xFF2F5F90u};
    for (int32_t st = 0; st < 3; ++st)
      for (int32_t y = 0; y < 24; ++y)
        for (int32_t x = 0; x < 24; ++x) {
          const int32_t cx = std::min(x, 23 - x), cy = std::min(y, 23 - y);
          uint32_t p = Shade(states[st], (y < 12 ? 30 : -10) - (cx == 0 || cy == 0 ? 60 : 0));
          if (cx + cy < 2) p = KeyPixel;
          SetPixel32(m, st * 24 + x, y, p);
        }
    // Form border: 48 x 48, a dark frame with a lighter inner line and rounded top corners.
    for (int32_t y = 0; y < 48; ++y)
      for (int32_t x = 0; x < 48; ++x) {
        const int32_t cx = std::min(x, 47 - x), cy = std::min(y, 47 - y);
        uint32_t p = cx == 3 || cy == 3 ? 0xFF9FB7D0u : 0xFF2B3A4Au;
        if (y < 24 && cx + y < 4) p = KeyPixel;
        SetPixel32(m, 80 + x, y, p);
      }
    // Glyph: 2 states of 12 x 12 over their masks: a disc, soft at the edge.
    for (int32_t st = 0; st < 2; ++st)
      for (int32_t y = 0; y < 12; ++y)
        for (int32_t x = 0; x < 12; ++x) {
          const double d = std::hypot(x - 5.5, y - 5.5);
          SetPixel32(m, 140 + st * 12 + x, y, st == 0 ? 0xFFFFFFFFu : 0xFFFFE080u);
          const uint32_t v = uint32_t(std::clamp((d - 3.5) * 128.0, 0.0, 255.0));
          SetPixel32(m, 140 + st * 12 + x, 12 + y, MakePixel(v, v, v, 0));
        }
    // Nine-piece image: 32 x 32, a coloured frame around a checked middle.
    for (int32_t y = 0; y < 32; ++y)
      for (int32_t x = 0; x < 32; ++x) {
        const bool edge = x < 8 || y < 8 || x >= 24 || y >= 24;
        const uint32_t p = edge ? (((x / 4 + y / 4) & 1) ? 0xFFC04040u : 0xFF803030u)
                                : (((x / 2 + y / 2) & 1) ? 0xFFE0E0E0u : 0xFF909090u);
        SetPixel32(m, 170 + x, y, p);
      }

    auto section = [&](const char* name) {
      SkinSectionRecord r;
      r.SectionName = name;
      s.Sections.push_back(r);
      return int32_t(s.Sections.size() - 1);
    };
    section("GLOBALINFO");
    form = section("FORM");
    title = section("TITLE");
    button = section("BUTTON");
    label = section("LABEL");
    auto image = [&](int32_t sec, const char* key, int16_t maskType, uint16_t drawMode, int16_t count, TRect r,
                     int16_t border) {
      const int32_t i = SkinManagerAddImage(s, sec, key, maskType, drawMode, count, r, 2,
                                            s.Sections[size_t(sec)].SectionName, &manager);
      SkinImageRecord& rec = s.Images[size_t(i)];
      rec.BorderLeft = rec.BorderTop = rec.BorderRight = rec.BorderBottom = border;
      rec.TransparentFlag = SkinImageTransparentFlag(s, rec);
      return i;
    };
    s.Sections[size_t(button)].BorderIndex = image(button, "BORDERSMASK", 0, 1, 3, TRect{0, 0, 72, 24}, 5);
    s.Sections[size_t(form)].BorderIndex = image(form, "BORDERSMASK", 0, 1, 1, TRect{80, 0, 128, 48}, 6);
    glyph = image(button, "GLYPH", 1, 0, 2, TRect{140, 0, 164, 24}, 0);
    nine = image(form, "NINE", 0, 1 | 4, 1, TRect{170, 0, 202, 32}, 8);

    SkinSectionRecord& f = s.Sections[size_t(form)];
    f.NormalState.Color = 0xE8E0D8;
    f.NormalState.GradientPercent = 100;
    f.NormalState.GradientSteps = {GradientStep{0xF4EEE8, 0xD8D0C8, 100, 0}};
    f.HotState = f.NormalState;
    SkinSectionRecord& t = s.Sections[size_t(title)];
    t.NormalState.GradientPercent = 100;
    t.NormalState.GradientSteps = {GradientStep{0x9A6A3A, 0x5A3A1A, 60, 0}, GradientStep{0x5A3A1A, 0x3A2410, 40, 0}};
    t.NormalState.FontColor = 0xFFFFFF;
    t.NormalState.ContourRight = 0x201008;
    t.NormalState.ContourBottom = 0x201008;
    t.HotState = t.NormalState;
    SkinSectionRecord& b = s.Sections[size_t(button)];
    b.States = 3;
    b.NormalState.Color = 0x96806A;
    b.NormalState.FontColor = 0xFFFFFF;
    b.NormalState.ContourBottom = 0x402010;
    b.HotState = b.NormalState;
    b.HotState.FontColor = 0x80F0FF;
    b.HotState.GradientSize = 3;
    b.HotState.GradientColor = 0x40C0FF;
    SkinSectionRecord& l = s.Sections[size_t(label)];
    l.NormalState.Color = 0xFFFFFF;
    l.NormalState.FontColor = 0x000000;
    l.HotState = l.NormalState;
    s.SkinData.Active = 1;
    manager.Skin() = std::move(s);
  }
};

Bitmap Paint(DemoSkin& skin) {
  TsSkinManager* m = &skin.manager;
  Bitmap bmp(kWidth, kHeight, pf32bit);
  const TRect whole{0, 0, kWidth, kHeight};
  PaintSkinItem(skin.form, EmptyCacheInfo, 0, whole, TPoint{}, bmp, m);
  PaintSkinItem(skin.title, CacheInfoFromBitmap(&bmp, 0, 0), 0, TRect{6, 6, kWidth - 6, 36}, TPoint{}, bmp, m);
  gui::TFont captionFont;
  captionFont.SetName("Tahoma");
  captionFont.SetHeight(-15);
  captionFont.SetStyle(gui::fsBold);
  DrawTextWithEffects(bmp, captionFont, "Station - skin painters", TRect{20, 8, 400, 34}, 0x30B0FF, 4, cfAll,
                      dtSingleLine | dtVCenter);
  DrawSectionText(bmp, captionFont, "Station - skin painters", true, TRect{20, 8, 400, 34}, dtSingleLine | dtVCenter,
                  skin.title, false, m);

  // Buttons in their three states, each with its glyph and caption.
  gui::TFont font;
  font.SetName("Tahoma");
  font.SetHeight(-13);
  const char* captions[3] = {"Normal", "Hot", "Pressed"};
  for (int32_t st = 0; st < 3; ++st) {
    const TRect r{30 + st * 150, 60, 160 + st * 150, 92};
    PaintSkinItem(skin.button, CacheInfoFromBitmap(&bmp, 0, 0), st, r, TPoint{}, bmp, m);
    DrawImageState(bmp, TPoint{r.Left + 10, r.Top + 10}, st == 0 ? 0 : 1, CacheInfoFromBitmap(&bmp, 0, 0),
                   skin.manager.Skin().Images[size_t(skin.glyph)], 1);
    WriteTextSectionEx(bmp, font, captions[st], true, m, TRect{r.Left + 26, r.Top, r.Right, r.Bottom}, st,
                       skin.button, dtSingleLine | dtVCenter | dtCenter);
  }
  WriteTextSectionEx(bmp, font, "A disabled caption", false, m, TRect{30, 100, 300, 124}, 0, skin.label,
                     dtSingleLine | dtVCenter);

  // The three gradient kinds.
  PaintGradient(bmp, TRect{30, 140, 230, 240}, {{0x0000FF, 0x00FFFF, 50, 0}, {0x00FFFF, 0x00FF00, 50, 0}});
  PaintGradient(bmp, TRect{250, 140, 450, 240}, {{0xFF0000, 0xFFFFFF, 30, 1}, {0xFFFFFF, 0x0000FF, 70, 1}});
  PaintGradient(bmp, TRect{470, 140, 730, 240},
                {{0x0000FF, 0, 0, 2}, {0xFFFFFF, 0, 0, 2}, {0x00FF00, 0, 0, 2}, {0xFF0000, 0, 0, 2}, {0xFF00FF, 0, 0, 2}});

  // A nine-piece image stretched and tiled.
  SkinImageRecord nine = skin.manager.Skin().Images[size_t(skin.nine)];
  DrawSkinMask(bmp, TRect{30, 260, 360, 490}, EmptyCacheInfo, nine, 0, false);
  nine.DrawMode = dmPaintCentre;
  DrawSkinMask(bmp, TRect{400, 260, 730, 490}, EmptyCacheInfo, nine, 0, false);
  return bmp;
}

Bitmap* shown = nullptr;

LRESULT CALLBACK DemoProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (shown != nullptr) BitmapToDC(dc, 0, 0, kWidth, kHeight, *shown, 0, 0);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_TIMER:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, w, l);
  }
}

void WriteBmp(const Bitmap& bmp, const char* path) {
  FILE* f = std::fopen(path, "wb");
  if (f == nullptr) return;
  const uint32_t size = uint32_t(kWidth * kHeight * 4);
  BITMAPFILEHEADER fh{0x4D42, DWORD(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + size), 0, 0,
                      DWORD(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))};
  BITMAPINFOHEADER ih{};
  ih.biSize = sizeof(ih);
  ih.biWidth = kWidth;
  ih.biHeight = -kHeight;
  ih.biPlanes = 1;
  ih.biBitCount = 32;
  std::fwrite(&fh, sizeof fh, 1, f);
  std::fwrite(&ih, sizeof ih, 1, f);
  for (int32_t y = 0; y < kHeight; ++y) std::fwrite(bmp.ScanLine(y), 4, size_t(kWidth), f);
  std::fclose(f);
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
  DemoSkin skin;
  Bitmap image = Paint(skin);
  if (argc > 2) WriteBmp(image, argv[2]);
  shown = &image;
  WNDCLASSA wc{};
  wc.lpfnWndProc = DemoProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "PaintersDemo";
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClassA(&wc);
  RECT r{0, 0, kWidth, kHeight};
  AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
  HWND hwnd = CreateWindowA("PaintersDemo", "Skin painters", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, r.right - r.left,
                            r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
  SetTimer(hwnd, 1, UINT(seconds * 1000), nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
