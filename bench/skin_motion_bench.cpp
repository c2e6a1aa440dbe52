// The motion side of the skin painters, time per call: one cross-fade step of a 300 x 60 graphic control (the old
// picture copied into the frame, the new one blended over it by the step's factor, the control told to repaint),
// beside pixman doing the same copy and constant blend; and one glow picture at 400 x 200 (the nine pieces of the
// glow image stretched over it, then the control's colour tone), the part of a glow update that does not depend on
// the window system (the UpdateLayeredWindow of a glow is timed under Wine by glow_winbench).
#include <pixman.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "bench/side_by_side.h"
#include "gui/gui.h"
#include "skin/data/scommondata.h"
#include "skin/timer/acthdtimer.h"
#include "skin/painters/acanimation.h"
#include "skin/painters/acglow.h"
#include "skin/pixels/pixel_helpers.h"
#include "tests/skin_painters/glow_fixture.h"

using namespace skin;

namespace {

class BenchControl : public gui::TGraphicControl {
 public:
  BenchControl() : gui::TGraphicControl(nullptr) {}
};

uint32_t Noise(uint32_t x, uint32_t y, uint32_t seed) {
  uint32_t s = (x * 73856093u) ^ (y * 19349663u) ^ seed;
  s ^= s << 13, s ^= s >> 17, s ^= s << 5;
  return s | 0xFF000000u;  // opaque, so that pixman's OVER with a solid mask is the same cross-fade
}

}  // namespace

int main(int argc, char** argv) {
  sidebyside::Table table(sidebyside::Options::FromArgs(argc, argv));
  test::GlowFixture skin;

  // One cross-fade step at step 5 of 11.
  {
    const int32_t W = 300, H = 60;
    BenchControl control;
    control.SetBounds(0, 0, W, H);
    TsCommonData data;
    data.OwnerControl = &control;
    data.OwnerObject = &control;
    TacThreadedTimer* timer = nullptr;
    AnimTimerStepOrCreate(timer, &data, true);
    data.AnimTimer = timer;
    timer->OldImage = std::make_unique<Bitmap>(W, H, pf32bit);
    timer->NewImage = std::make_unique<Bitmap>(W, H, pf32bit);
    for (int32_t y = 0; y < H; ++y)
      for (int32_t x = 0; x < W; ++x) {
        SetPixel32(*timer->OldImage, x, y, Noise(uint32_t(x), uint32_t(y), 1));
        SetPixel32(*timer->NewImage, x, y, Noise(uint32_t(x), uint32_t(y), 2));
      }
    timer->Step = 5;
    timer->StepCount = 11;
    timer->State = 1;
    const uint8_t a = ChangeAnimationFactor(5, 11);

    // pixman: the frame := the old picture (SRC), then the new one OVER it through a solid mask of the new
    // picture's share, 256 - a of 256.
    std::vector<uint32_t> oldPixels(size_t(W) * H), newPixels(size_t(W) * H), frame(size_t(W) * H);
    for (int32_t y = 0; y < H; ++y)
      for (int32_t x = 0; x < W; ++x) {
        oldPixels[size_t(y) * W + x] = GetPixel32(*timer->OldImage, x, y);
        newPixels[size_t(y) * W + x] = GetPixel32(*timer->NewImage, x, y);
      }
    pixman_image_t* oldImage = pixman_image_create_bits(PIXMAN_a8r8g8b8, W, H, oldPixels.data(), W * 4);
    pixman_image_t* newImage = pixman_image_create_bits(PIXMAN_a8r8g8b8, W, H, newPixels.data(), W * 4);
    pixman_image_t* frameImage = pixman_image_create_bits(PIXMAN_a8r8g8b8, W, H, frame.data(), W * 4);
    const uint16_t share = uint16_t(((256 - a) * 0xFFFF) / 256);
    const pixman_color_t maskColor{share, share, share, share};
    pixman_image_t* mask = pixman_image_create_solid_fill(&maskColor);
    auto peer = [&] {
      pixman_image_composite32(PIXMAN_OP_SRC, oldImage, nullptr, frameImage, 0, 0, 0, 0, 0, 0, W, H);
      pixman_image_composite32(PIXMAN_OP_OVER, newImage, mask, frameImage, 0, 0, 0, 0, 0, 0, W, H);
    };
    ChangeAnimationStep(&data, 5);
    peer();
    int worst = 0;
    for (int32_t y = 0; y < H; ++y)
      for (int32_t x = 0; x < W; ++x) {
        const uint32_t o = GetPixel32(*timer->Frame, x, y), t = frame[size_t(y) * W + x];
        for (int shift = 0; shift < 32; shift += 8)
          worst = std::max(worst, std::abs(int(o >> shift & 0xFF) - int(t >> shift & 0xFF)));
      }
    char check[96];
    std::snprintf(check, sizeof check, "within %d per channel (shift by 8 against division by 255)", worst);
    if (worst > 2) table.Fail("cross_fade_step", "outputs differ");
    table.Add("cross_fade_step/300x60", "pixman", [&] {
      ChangeAnimationStep(&data, 5);
      benchmark::ClobberMemory();
    }, [&] {
      peer();
      benchmark::ClobberMemory();
    }, check);
    pixman_image_unref(mask);
    pixman_image_unref(frameImage);
    pixman_image_unref(newImage);
    pixman_image_unref(oldImage);
    ReleaseAnimTimer(data.AnimTimer);
  }

  // One glow picture at 400 x 200.
  {
    TsCommonData data;
    data.ColorTone = 0x40C0FF;
    TacGlowEffect glow;
    glow.SkinData = &data;
    glow.SkinManager = &skin.manager;
    glow.ImageIndex = skin.glowImage;
    glow.Margin = 3;
    table.Alone("glow_picture/400x200", [&] {
      GlowPaintBitmap(glow, 400, 200);
      benchmark::ClobberMemory();
    }, "nine stretched pieces of a 24 x 24 image, colour tone");
    glow.SkinData = nullptr;
  }
  return table.Finish();
}
