// Alpha image lists: items streamed as "ImgData" and decoded back to their pixels, states of a strip, damaged
// items, icons and bitmaps without alpha, virtual lists; and PNG files read as pictures of the component layer.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "gui/gui.h"
#include "skin/painters/acalphaimagelist.h"
#include "skin/painters/acpng_picture.h"
#include "skin/painters/canvas_bitmap.h"
#include "skin/pixels/pixel_helpers.h"
#include "tests/skin_pixels/png_writer.h"
#include "tests/support/temp_dir.h"

namespace {

using skin::Bitmap;
using skin::TsAlphaImageList;

// An RGBA PNG of w x h whose pixels come from pixel(x, y) as B, G, R, A values (the bitmap's pixel order).
template <class F>
std::string RgbaPng(uint32_t w, uint32_t h, F pixel) {
  pngtest::RawImage im;
  im.width = w;
  im.height = h;
  im.colorType = 6;
  im.depth = 8;
  im.rowBytes = size_t(w) * 4;
  im.data.resize(im.rowBytes * h);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      const uint32_t p = pixel(x, y);
      uint8_t* d = im.data.data() + y * im.rowBytes + x * 4;
      d[0] = uint8_t(p >> 16), d[1] = uint8_t(p >> 8), d[2] = uint8_t(p), d[3] = uint8_t(p >> 24);
    }
  return pngtest::EncodePng(im, pngtest::FileOptions{});
}

uint32_t Noise(uint32_t x, uint32_t y) {
  uint32_t s = (x * 73856093u) ^ (y * 19349663u) ^ 0x9E3779B9u;
  return pngtest::NextRandom(s);
}

uint32_t Pixel(const Bitmap& bmp, int x, int y) { return skin::GetPixel32(bmp, x, y); }

// A control's work bitmap: 32-bit, the control's width and height (a size below 0 taken as 0), every pixel 0.
TEST(CanvasBitmaps, AControlsWorkBitmapIs32BitOfItsSizeAndClear) {
  struct Case {
    int w, h;
    int wantW, wantH;
  };
  const Case cases[] = {{37, 21, 37, 21}, {1, 64, 1, 64}, {0, 9, 0, 9}, {-4, 5, 0, 5}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
    gui::TControl control(nullptr);
    control.SetBounds(3, 4, c.w, c.h);
    const std::unique_ptr<Bitmap> b = skin::NewBitmap32ForControl(control);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->PixelFormat(), skin::pf32bit);
    EXPECT_EQ(b->Width(), c.wantW);
    EXPECT_EQ(b->Height(), c.wantH);
    int set = 0;
    for (int y = 0; y < b->Height(); ++y)
      for (int x = 0; x < b->Width(); ++x) set += Pixel(*b, x, y) != 0 ? 1 : 0;
    EXPECT_EQ(set, 0);
  }
}

TEST(AlphaImageList, ImgDataRoundTripsPngItemsOfTheProgramsSizes) {
  const struct {
    int w, h;
  } sizes[] = {{16, 16}, {24, 24}, {32, 32}, {48, 24}, {130, 130}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(std::to_string(size.w) + "x" + std::to_string(size.h));
    TsAlphaImageList source(nullptr);
    source.SetSize(size.w, size.h);
    for (int i = 0; i < 3; ++i) {
      auto& item = source.Items.Add();
      item.ImageFormat = skin::ifPNG;
      item.ImageName = "image" + std::to_string(i);
      item.ImgData = RgbaPng(size.w, size.h, [i](uint32_t x, uint32_t y) { return Noise(x + 1000 * i, y); });
    }
    std::string stream;
    for (int i = 0; i < source.Items.Count(); ++i) source.Items[i].WriteData(stream);

    TsAlphaImageList copy(nullptr);
    copy.BeginLoading();
    copy.SetSize(size.w, size.h);
    size_t pos = 0;
    for (int i = 0; i < 3; ++i) copy.Items.Add().ReadData(stream, pos);
    EXPECT_EQ(pos, stream.size());
    copy.EndLoading();
    ASSERT_EQ(copy.Count(), 3);
    EXPECT_TRUE(copy.SystemListLoaded());
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(copy.Items[i].ImgData, source.Items[i].ImgData);
      EXPECT_EQ(copy.Items[i].OrigWidth, size.w);
      EXPECT_EQ(copy.Items[i].OrigHeight, size.h);
      auto bmp = copy.GetItemBitmap32(i, size.w, size.h);
      ASSERT_TRUE(bmp);
      int wrong = 0;
      for (int y = 0; y < size.h; ++y)
        for (int x = 0; x < size.w; ++x) wrong += Pixel(*bmp, x, y) != Noise(x + 1000 * i, y);
      EXPECT_EQ(wrong, 0) << "item " << i;
    }
  }
  // A stream that ends inside a value is refused.
  std::string shortStream;
  skin::WriteBinaryProperty(shortStream, "abcdef");
  shortStream.pop_back();
  size_t pos = 0;
  skin::TsImgListItems items(nullptr);
  EXPECT_THROW(items.Add().ReadData(shortStream, pos), skin::EReadError);
}

TEST(AlphaImageList, ATwoStateImageDrawsTheFrameOfItsState) {
  TsAlphaImageList list(nullptr);
  list.SetSize(48, 24);
  auto& item = list.Items.Add();
  item.ImgData = RgbaPng(48, 24, [](uint32_t x, uint32_t) { return x < 24 ? 0xFF0000C0u : 0xFF00C000u; });
  list.AfterConstruction();
  const struct {
    int state;
    uint32_t want;
  } cases[] = {{0, 0x0000BFu}, {1, 0x00BF00u}, {5, 0x00BF00u}};  // opaque 0xC0 over black: 0xC0 x 255 shr 8
  for (const auto& c : cases) {
    Bitmap dest(30, 30, skin::pf32bit);
    skin::TSize frame{};
    skin::DrawAlphaImage(list, dest, 3, 2, 0, 2, c.state, 0, false, skin::clNone, frame);
    EXPECT_EQ(frame.cx, 24);
    EXPECT_EQ(frame.cy, 24);
    EXPECT_EQ(Pixel(dest, 3, 2) & 0xFFFFFF, c.want & 0xFFFFFF) << "state " << c.state;
    EXPECT_EQ(Pixel(dest, 26, 25) & 0xFFFFFF, c.want & 0xFFFFFF) << "state " << c.state;
    EXPECT_EQ(Pixel(dest, 27, 2), 0u) << "nothing right of the frame";
    EXPECT_EQ(Pixel(dest, 2, 2), 0u) << "nothing left of it";
  }
}

TEST(AlphaImageList, ImagesDrawOnACanvasByTheirAlpha) {
  TsAlphaImageList list(nullptr);
  list.SetSize(2, 1);
  list.Items.Add().ImgData = RgbaPng(2, 1, [](uint32_t x, uint32_t) { return x == 0 ? 0xFF0000FFu : 0x800000FFu; });
  list.AfterConstruction();
  gui::TBitmap target;
  target.SetPixelFormat(gui::TPixelFormat::pf32bit);
  target.SetSize(4, 3);
  target.Canvas().Brush().Color = gui::clWhite;
  target.Canvas().FillRect(gui::Rect(0, 0, 4, 3));
  list.Draw(target.Canvas(), 1, 1, 0);
  EXPECT_EQ(target.Canvas().Pixel(1, 1), gui::TColor(0xFF0000)) << "opaque blue";
  EXPECT_EQ(target.Canvas().Pixel(2, 1), gui::TColor(0xFF7F7F)) << "half blue over white";
  EXPECT_EQ(target.Canvas().Pixel(3, 1), gui::clWhite);
  list.Draw(target.Canvas(), 0, 0, 1);  // no such image
  EXPECT_EQ(target.Canvas().Pixel(0, 0), gui::clWhite);
}

TEST(AlphaImageList, ADamagedItemDrawsNothingAndTheOthersKeepTheirIndexes) {
  TsAlphaImageList list(nullptr);
  list.SetSize(8, 8);
  list.Items.Add().ImgData = RgbaPng(8, 8, [](uint32_t, uint32_t) { return 0xFFFF0000u; });
  std::string broken = RgbaPng(8, 8, [](uint32_t, uint32_t) { return 0xFF00FF00u; });
  broken[45] ^= 0x55;  // inside the image data: its CRC fails
  list.Items.Add().ImgData = broken;
  list.Items.Add().ImgData = RgbaPng(8, 8, [](uint32_t, uint32_t) { return 0xFF0000FFu; });
  auto& icon = list.Items.Add();
  icon.ImageFormat = skin::ifICO;
  icon.ImgData = "not an icon";
  list.AfterConstruction();

  ASSERT_EQ(list.Count(), 4);
  EXPECT_FALSE(list.GetItemBitmap32(1, 8, 8));
  EXPECT_EQ(list.Items[1].OrigWidth, 0);
  auto third = list.GetItemBitmap32(2, 8, 8);
  ASSERT_TRUE(third);
  EXPECT_EQ(Pixel(*third, 4, 4), 0xFF0000FFu);
  for (int index : {1, 3}) {
    Bitmap dest(8, 8, skin::pf32bit);
    skin::FillRectBitmap32(dest, skin::TRect{0, 0, 8, 8}, 0x00808080, 255);
    skin::TSize frame{};
    skin::DrawAlphaImage(list, dest, 0, 0, index, 1, 0, 0, false, skin::clNone, frame);
    EXPECT_EQ(Pixel(dest, 4, 4), 0xFF808080u) << "item " << index;
  }
}

TEST(AlphaImageList, BitmapsWithoutAlphaAndIconsGetTheirTransparency) {
  // A 32-bit bitmap file whose alpha is zero everywhere: its bottom-left colour is transparent.
  gui::TBitmap file;
  file.SetPixelFormat(gui::TPixelFormat::pf32bit);
  file.SetSize(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      uint8_t* p = file.ScanLine(y) + 4 * x;
      p[0] = (x + y) % 2 ? 0xFF : 0x40, p[1] = 0, p[2] = (x + y) % 2 ? 0xFF : 0x40, p[3] = 0;
    }
  // An icon file with one 32-bit entry without alpha and its AND mask (top row masked).
  std::string ico("\0\0\1\0\1\0", 6);
  std::string dib;
  auto put32 = [](std::string& s, uint32_t v) { for (int i = 0; i < 4; ++i) s += char(v >> (8 * i)); };
  put32(dib, 40), put32(dib, 4), put32(dib, 8), dib += std::string("\1\0\x18\0", 4);
  for (int i = 0; i < 6; ++i) put32(dib, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) dib += std::string("\x10\x20\x30", 3);  // 24 bits, rows of 12 bytes
  for (int y = 0; y < 4; ++y) put32(dib, y == 3 ? 0xF0u : 0u);  // bottom-up: the last row is the top
  ico += std::string("\4\4\0\0\1\0\x18\0", 8);
  put32(ico, uint32_t(dib.size()));
  put32(ico, 22);
  ico += dib;

  TsAlphaImageList list(nullptr);
  list.SetSize(4, 4);
  auto& bmpItem = list.Items.Add();
  bmpItem.ImageFormat = skin::ifBMP32;
  bmpItem.ImgData = file.SaveToBytes();
  auto& icoItem = list.Items.Add();
  icoItem.ImageFormat = skin::ifICO;
  icoItem.ImgData = ico;
  list.AfterConstruction();

  auto bmp = list.GetItemBitmap32(0, 4, 4);
  ASSERT_TRUE(bmp);
  EXPECT_EQ(Pixel(*bmp, 0, 3), 0x00FF00FFu) << "the bottom-left colour stays transparent";
  EXPECT_EQ(Pixel(*bmp, 2, 1), 0x00FF00FFu);
  EXPECT_EQ(Pixel(*bmp, 1, 3), 0xFF400040u) << "the others become opaque";
  EXPECT_EQ(list.Items[1].OrigWidth, 4);
  auto icon = list.GetItemBitmap32(1, 4, 4);
  ASSERT_TRUE(icon);
  EXPECT_EQ(Pixel(*icon, 1, 0) >> 24, 0u) << "masked";
  EXPECT_EQ(Pixel(*icon, 1, 1), 0xFF302010u);
}

TEST(AlphaImageList, CachesFollowUseCacheAndVirtualListsFollowTheirSource) {
  auto* list = new TsAlphaImageList(nullptr);
  list->SetSize(16, 16);
  list->Items.Add().ImgData = RgbaPng(16, 16, [](uint32_t x, uint32_t y) { return 0x80000000u | Noise(x, y) >> 8; });
  list->AfterConstruction();
  EXPECT_TRUE(list->GetItemBitmap32(0, 16, 16));
  EXPECT_TRUE(list->Items[0].CacheBmp) << "cached at the list's size";
  list->SetUseCache(false);
  EXPECT_FALSE(list->Items[0].CacheBmp) << "dropped with UseCache";

  skin::TsVirtualImageList virt(nullptr);
  virt.HandleNeeded();
  virt.SetSize(32, 32);
  virt.SetAlphaImageList(list);
  EXPECT_EQ(virt.Count(), 1);
  Bitmap dest(32, 32, skin::pf32bit);
  skin::TSize frame{};
  skin::DrawAlphaImage(virt, dest, 0, 0, 0, 1, 0, 0, false, skin::clNone, frame);
  EXPECT_EQ(frame.cx, 32);
  EXPECT_NE(Pixel(dest, 31, 31), 0u) << "drawn at the virtual list's size";
  ASSERT_EQ(virt.Cache.size(), 1u);
  EXPECT_TRUE(virt.Cache[0]);
  gui::Free(list);
  EXPECT_EQ(virt.AlphaImageList(), nullptr) << "the removed source is forgotten";
  EXPECT_EQ(virt.Count(), 0);
}

TEST(PngPictures, PngFilesAreReadAndDrawnWithTheirAlpha) {
  testsupport::TempDir dir;
  const std::string path = (dir.path() / "glyph.PNG").string();
  {
    std::ofstream out(path, std::ios::binary);
    out << RgbaPng(2, 2, [](uint32_t x, uint32_t) { return x == 0 ? 0xFF0000FFu : 0x800000FFu; });
  }
  skin::RegisterPngFileFormat();
  gui::TPicture picture;
  picture.LoadFromFile(path);
  ASSERT_NE(picture.Graphic(), nullptr);
  EXPECT_STREQ(picture.Graphic()->ClassName(), "TPNGGraphic");
  EXPECT_EQ(gui::TPicture::FindFileFormat("png")->Description, skin::PngFileDescription);

  gui::TBitmap canvas;
  canvas.SetPixelFormat(gui::TPixelFormat::pf32bit);
  canvas.SetSize(6, 4);
  canvas.Canvas().Brush().Color = gui::clWhite;
  canvas.Canvas().FillRect(gui::Rect(0, 0, 6, 4));
  canvas.Canvas().Draw(1, 1, *picture.Graphic());
  EXPECT_EQ(canvas.Canvas().Pixel(1, 1), gui::TColor(0xFF0000)) << "opaque blue";
  EXPECT_EQ(canvas.Canvas().Pixel(2, 2), gui::TColor(0xFF7F7F)) << "half blue over white";
  EXPECT_EQ(canvas.Canvas().Pixel(0, 0), gui::clWhite);
  canvas.Canvas().StretchDraw(gui::Rect(2, 0, 6, 4), *picture.Graphic());
  EXPECT_EQ(canvas.Canvas().Pixel(3, 3), gui::TColor(0xFF0000)) << "scaled";

  std::ofstream(path, std::ios::binary | std::ios::trunc) << "not a png";
  EXPECT_THROW(picture.LoadFromFile(path), gui::EInvalidGraphic);
  skin::UnregisterPngFileFormat();
  EXPECT_EQ(gui::TPicture::FindFileFormat("png"), nullptr);
}

}  // namespace
