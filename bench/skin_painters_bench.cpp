// The skin painters on a skin made here, time per call, in the table of the pixman comparisons (side_by_side.h):
//
//   button_item      a button's whole item: gradient background, masked 3-state border with key-colour corners
//                    over its parent's image, and a masked glyph in the middle (100 x 30 and 300 x 60)
//   form_frame       a form's whole image at 1024 x 768: background, masked border stretched around it, a gradient
//                    title bar, the caption with its outline and three title buttons
//   nine_stretch     the nine pieces of a 64 x 64 image stretched to 1920 x 1080 (edges and centre by nearest
//                    pixel) vs pixman: the same nine pieces, each a SRC composite (scaled pieces NEAREST)
//   nine_tile        the same tiled vs pixman: each piece a SRC composite of the piece repeated (REPEAT_NORMAL)
//   nine_masked_*    the same with a masked 64 x 64 image (each pixel mixed through its mask; stretched centres
//                    and shrinking edges resampled with the Mitchell filter) vs pixman's closest: each piece an
//                    OVER composite through its mask piece as a component-alpha mask (the stretched centre and its
//                    mask through pixman's separable cubic convolution, the edges NEAREST; tiles REPEAT_NORMAL).
//                    The stretched centres differ by a few levels (pixman's filter places its taps to 1/16 of a
//                    pixel); the edges by nearest pixel take a neighbouring source pixel now and then. Each is
//                    also timed against a plain copy of a 1920 x 1080 32-bit picture (memcpy) in the same run,
//                    from and to memory: the copies go round a ring of such pictures twice as large as the
//                    machine's largest cache, so that no picture copied is still in a cache (a copy of one
//                    picture to another, 16.6 MB, stays in a last-level cache of 32 MB and more, and reads faster
//                    there than on machines with less: the ratio to it would not hold between machines)
//
// Text is the fixed-metric engine's (the native build has no fonts).
#include <pixman.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench/side_by_side.h"
#include "gui/graphics.h"
#include "skin/data/loaded_skin.h"
#include "skin/data/sskinmanager.h"
#include "skin/painters/gradients.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/section_paint.h"
#include "skin/painters/section_text.h"
#include "skin/painters/skin_mask.h"
#include "skin/painters/state_images.h"
#include "skin/painters/text_engine.h"

namespace {

using namespace skin;

uint32_t NextRandom(uint32_t& state) {
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state;
}

struct BenchSkin {
  PortableSkinSystem system;
  TsSkinManager manager{system};
  int32_t button = -1, form = -1, title = -1, glyph = -1, nine = -1, nineMasked = -1, closeButton = -1;

  BenchSkin() {
    LoadedSkin s;
    s.MasterBitmap = std::make_shared<Bitmap>(320, 256, pf32bit);
    Bitmap& m = *s.MasterBitmap;
    uint32_t seed = 12345;
    for (int32_t y = 0; y < 256; ++y)
      for (int32_t x = 0; x < 320; ++x) SetPixel32(m, x, y, NextRandom(seed) | 0xFF000000u);
    // Masks (the lower half of each masked image): values over the whole range, opaque middles.
    auto mask = [&](TRect r) {
      for (int32_t y = r.Top; y < r.Bottom; ++y)
        for (int32_t x = r.Left; x < r.Right; ++x) {
          const uint32_t v = NextRandom(seed) & 0xFF;
          SetPixel32(m, x, y, MakePixel(v, v, v, 0));
        }
    };
    mask(TRect{0, 20, 72, 40});     // button border: 3 states of 24 x 20
    mask(TRect{80, 16, 112, 32});   // glyph: 2 states of 16 x 16
    mask(TRect{120, 64, 184, 128}); // form border: 64 x 64
    mask(TRect{256, 64, 320, 128}); // masked nine-piece image
    mask(TRect{200, 20, 260, 40});  // title button: 3 states of 20 x 20
    for (int32_t s0 = 0; s0 < 3; ++s0) SetPixel32(m, s0 * 24, 0, KeyPixel);  // key corners
    SetPixel32(m, 120, 0, KeyPixel);

    auto section = [&](const char* name) {
      SkinSectionRecord r;
      r.SectionName = name;
      s.Sections.push_back(r);
      return int32_t(s.Sections.size() - 1);
    };
    section("GLOBALINFO");
    button = section("BUTTON");
    form = section("FORM");
    title = section("TITLE");
    auto image = [&](int32_t sec, const char* key, int16_t maskType, uint16_t drawMode, int16_t count, TRect r,
                     int16_t border) {
      const int32_t i = SkinManagerAddImage(s, sec, key, maskType, drawMode, count, r, 2,
                                            s.Sections[size_t(sec)].SectionName, &manager);
      SkinImageRecord& rec = s.Images[size_t(i)];
      rec.BorderLeft = rec.BorderTop = rec.BorderRight = rec.BorderBottom = border;
      rec.TransparentFlag = SkinImageTransparentFlag(s, rec);
      return i;
    };
    const int32_t buttonBorder = image(button, "BORDERSMASK", 1, 1, 3, TRect{0, 0, 72, 40}, 4);
    glyph = image(button, "GLYPH", 1, 0, 2, TRect{80, 0, 112, 32}, 0);
    const int32_t formBorder = image(form, "BORDERSMASK", 1, 1, 1, TRect{120, 0, 184, 128}, 6);
    s.Images[size_t(formBorder)].BorderTop = 30;
    nine = image(form, "NINE", 0, 1 | 4, 1, TRect{192, 64, 256, 128}, 16);
    nineMasked = image(form, "NINEMASKED", 1, 1 | 4, 1, TRect{256, 0, 320, 128}, 16);
    closeButton = image(title, "BICONCLOSE", 1, 0, 3, TRect{200, 0, 260, 40}, 0);

    SkinSectionRecord& b = s.Sections[size_t(button)];
    b.States = 3;
    b.NormalState.Color = 0xD0D0D0;
    b.NormalState.GradientPercent = 100;
    b.NormalState.GradientSteps = {GradientStep{0xF0F0F0, 0xD0D0D0, 50, 0}, GradientStep{0xC8C8C8, 0xE0E0E0, 50, 0}};
    b.HotState = b.NormalState;
    b.BorderIndex = buttonBorder;
    SkinSectionRecord& f = s.Sections[size_t(form)];
    f.NormalState.Color = 0xECE9D8;
    f.HotState = f.NormalState;
    f.BorderIndex = formBorder;
    SkinSectionRecord& t = s.Sections[size_t(title)];
    t.NormalState.Color = 0x804020;
    t.NormalState.GradientPercent = 100;
    t.NormalState.GradientSteps = {GradientStep{0xA06030, 0x603010, 100, 0}};
    t.NormalState.FontColor = 0xFFFFFF;
    t.NormalState.ContourBottom = 0x000000;
    t.NormalState.ContourRight = 0x202020;
    t.HotState = t.NormalState;
    s.SkinData.Active = 1;
    manager.Skin() = std::move(s);
  }
  const Bitmap& Master() { return *manager.Skin().MasterBitmap; }
  const SkinImageRecord& Image(int32_t i) { return manager.Skin().Images[size_t(i)]; }
};

// The size of the machine's largest cache in bytes (the last level), 64 MB where the system does not tell.
size_t LargestCacheBytes() {
  long largest = 0;
  for (int name : {_SC_LEVEL2_CACHE_SIZE, _SC_LEVEL3_CACHE_SIZE, _SC_LEVEL4_CACHE_SIZE})
    largest = std::max(largest, sysconf(name));
  return largest > 0 ? size_t(largest) : size_t(64) << 20;
}

// Copies of a w x h 32-bit picture from and to memory: a ring of pictures twice as large as the largest cache
// (four at least), each call copying the next picture to the one half the ring ahead; between two uses of a
// picture the copies go through the whole ring, and it has left every cache.
class MemoryCopy {
 public:
  MemoryCopy(int32_t w, int32_t h)
      : frame_(size_t(w) * size_t(h)),
        count_(std::max<size_t>(4, (2 * LargestCacheBytes()) / (frame_ * sizeof(uint32_t)) + 2)),
        ring_(frame_ * count_, 0xFF808080u) {}
  void Copy() {
    const size_t to = (next_ + count_ / 2) % count_;
    std::memcpy(&ring_[to * frame_], &ring_[next_ * frame_], frame_ * sizeof(uint32_t));
    next_ = (next_ + 1) % count_;
  }
  size_t Megabytes() const { return ring_.size() * sizeof(uint32_t) >> 20; }

 private:
  size_t frame_, count_;
  std::vector<uint32_t> ring_;
  size_t next_ = 0;
};

// The master image's pixels top-down, for pixman.
struct TopDown {
  std::vector<uint32_t> pixels;
  int32_t width = 0;
  explicit TopDown(const Bitmap& b) : pixels(size_t(b.Width()) * size_t(b.Height())), width(b.Width()) {
    for (int32_t y = 0; y < b.Height(); ++y)
      for (int32_t x = 0; x < b.Width(); ++x) pixels[size_t(y) * size_t(width) + size_t(x)] = GetPixel32(b, x, y);
  }
};

// A pixman image over a part of those pixels (opaque: their alpha bytes left aside, as the mask painters do).
pixman_image_t* PixmanView(TopDown& master, const TRect& r, pixman_format_code_t format = PIXMAN_a8r8g8b8) {
  uint32_t* bits = master.pixels.data() + size_t(r.Top) * size_t(master.width) + size_t(r.Left);
  return pixman_image_create_bits(format, r.Right - r.Left, r.Bottom - r.Top, bits, master.width * 4);
}

// The nine pieces by pixman: corners 1:1, edges and centre scaled (NEAREST) or repeated. With masks (the master
// with its masks inverted, as pixman's coverage), each piece is composited OVER through its mask piece maskOffset
// rows lower as a component-alpha mask (per channel d := s x (1 - m) + d x m, the mask painters' rule), and a
// stretched centre is resampled by pixman's separable cubic (Mitchell-Netravali) convolution.
void PixmanNine(pixman_image_t* dst, TopDown& master, const TRect& src, int32_t border, int32_t w, int32_t h,
                bool stretch, TopDown* masks = nullptr, int32_t maskOffset = 0) {
  const int32_t s = src.Right - src.Left, c = s - 2 * border;
  const int32_t cw = w - 2 * border, ch = h - 2 * border;
  struct Piece {
    TRect from;
    int32_t x, y, w, h;
  };
  const int32_t L = src.Left, T = src.Top, e = border;
  const Piece pieces[9] = {
      {{L, T, L + e, T + e}, 0, 0, e, e},
      {{L + e + c, T, L + s, T + e}, w - e, 0, e, e},
      {{L, T + e + c, L + e, T + s}, 0, h - e, e, e},
      {{L + e + c, T + e + c, L + s, T + s}, w - e, h - e, e, e},
      {{L + e, T, L + e + c, T + e}, e, 0, cw, e},
      {{L + e, T + e + c, L + e + c, T + s}, e, h - e, cw, e},
      {{L, T + e, L + e, T + e + c}, 0, e, e, ch},
      {{L + e + c, T + e, L + s, T + e + c}, w - e, e, e, ch},
      {{L + e, T + e, L + e + c, T + e + c}, e, e, cw, ch},
  };
  for (size_t i = 0; i < 9; ++i) {
    const Piece& p = pieces[i];
    const bool centre = i == 8;
    pixman_image_t* from = PixmanView(master, p.from, masks ? PIXMAN_x8r8g8b8 : PIXMAN_a8r8g8b8);
    pixman_image_t* mask = nullptr;
    if (masks) {
      mask = PixmanView(*masks, TRect{p.from.Left, p.from.Top + maskOffset, p.from.Right, p.from.Bottom + maskOffset});
      pixman_image_set_component_alpha(mask, 1);
    }
    const int32_t fw = p.from.Right - p.from.Left, fh = p.from.Bottom - p.from.Top;
    if (fw != p.w || fh != p.h) {
      for (pixman_image_t* image : {from, mask}) {
        if (!image) continue;
        if (stretch) {
          pixman_transform_t t;
          const pixman_fixed_t sx = pixman_double_to_fixed(double(fw) / p.w);
          const pixman_fixed_t sy = pixman_double_to_fixed(double(fh) / p.h);
          pixman_transform_init_scale(&t, sx, sy);
          pixman_image_set_transform(image, &t);
          if (masks) pixman_image_set_repeat(image, PIXMAN_REPEAT_PAD);  // the edge pixels go on, as ours do
          if (masks && centre) {
            int n = 0;
            pixman_fixed_t* params = pixman_filter_create_separable_convolution(
                &n, sx, sy, PIXMAN_KERNEL_CUBIC, PIXMAN_KERNEL_CUBIC, PIXMAN_KERNEL_IMPULSE, PIXMAN_KERNEL_IMPULSE, 4,
                4);
            pixman_image_set_filter(image, PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params, n);
            free(params);
          } else {
            pixman_image_set_filter(image, PIXMAN_FILTER_NEAREST, nullptr, 0);
          }
        } else {
          pixman_image_set_repeat(image, PIXMAN_REPEAT_NORMAL);
        }
      }
    }
    pixman_image_composite32(masks ? PIXMAN_OP_OVER : PIXMAN_OP_SRC, from, mask, dst, 0, 0, 0, 0, p.x, p.y, p.w, p.h);
    pixman_image_unref(from);
    if (mask) pixman_image_unref(mask);
  }
}

int MaxDifference(const Bitmap& ours, const std::vector<uint32_t>& theirs, int32_t w, int32_t h, int64_t& count) {
  int worst = 0;
  count = 0;
  for (int32_t y = 0; y < h; ++y) {
    const uint32_t* o = reinterpret_cast<const uint32_t*>(ours.ScanLine(y));
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t t = theirs[size_t(y) * size_t(w) + size_t(x)];
      if (o[x] == t) continue;
      ++count;
      for (int c = 0; c < 4; ++c)
        worst = std::max(worst, std::abs(int((o[x] >> (8 * c)) & 0xFF) - int((t >> (8 * c)) & 0xFF)));
    }
  }
  return worst;
}

// The largest and the mean difference of the blue, green and red channels inside the border.
int CentreDifference(const Bitmap& ours, const std::vector<uint32_t>& theirs, int32_t w, int32_t h, int32_t border,
                     double& mean) {
  int worst = 0;
  double sum = 0;
  int64_t n = 0;
  for (int32_t y = border; y < h - border; ++y) {
    const uint32_t* o = reinterpret_cast<const uint32_t*>(ours.ScanLine(y));
    for (int32_t x = border; x < w - border; ++x) {
      const uint32_t t = theirs[size_t(y) * size_t(w) + size_t(x)];
      for (int c = 0; c < 3; ++c) {
        const int d = std::abs(int((o[x] >> (8 * c)) & 0xFF) - int((t >> (8 * c)) & 0xFF));
        worst = std::max(worst, d);
        sum += d;
        ++n;
      }
    }
  }
  mean = n > 0 ? sum / double(n) : 0;
  return worst;
}

}  // namespace

int main(int argc, char** argv) {
  sidebyside::Table table(sidebyside::Options::FromArgs(argc, argv));
  SetTextEngine(&FixedMetricEngine());
  BenchSkin skin;
  TsSkinManager* m = &skin.manager;

  // A button over its parent's cached image.
  for (TSize size : {TSize{100, 30}, TSize{300, 60}}) {
    Bitmap parent(size.cx + 40, size.cy + 40, pf32bit);
    FillRectBitmap32(parent, TRect{0, 0, parent.Width(), parent.Height()}, 0xECE9D8, 255);
    Bitmap cache(size.cx, size.cy, pf32bit);
    const CacheInfo ci = CacheInfoFromBitmap(&parent, 20, 20);
    const SkinImageRecord& glyph = skin.Image(skin.glyph);
    const std::string name = "button_item/" + std::to_string(size.cx) + "x" + std::to_string(size.cy);
    table.Alone(name, [&] {
      PaintSkinItem(skin.button, ci, 1, TRect{0, 0, size.cx, size.cy}, TPoint{}, cache, m);
      DrawImageState(cache, TPoint{(size.cx - 16) / 2, (size.cy - 16) / 2}, 1, CacheInfoFromBitmap(&cache, 0, 0), glyph, 1);
      benchmark::ClobberMemory();
    }, "gradient, masked border, glyph");
  }

  // A whole form image.
  {
    Bitmap frame(1024, 768, pf32bit);
    gui::TFont font;
    font.SetHeight(-13);
    font.SetStyle(gui::fsBold);
    const SkinImageRecord& close = skin.Image(skin.closeButton);
    table.Alone("form_frame/1024x768", [&] {
      PaintSkinItem(skin.form, EmptyCacheInfo, 0, TRect{0, 0, 1024, 768}, TPoint{}, frame, m);
      PaintSkinItem(skin.title, CacheInfoFromBitmap(&frame, 0, 0), 0, TRect{6, 6, 1018, 30}, TPoint{}, frame, m);
      DrawSectionText(frame, font, "Station - AUTEX", true, TRect{40, 6, 800, 30}, dtSingleLine | dtVCenter,
                      skin.title, false, m);
      const CacheInfo self = CacheInfoFromBitmap(&frame, 0, 0);
      for (int32_t i = 0; i < 3; ++i) DrawImageState(frame, TPoint{1018 - 22 * (i + 1), 8}, i, self, close, 1);
      benchmark::ClobberMemory();
    }, "background, border, title, caption, buttons");
  }

  // Nine pieces of a 64 x 64 image to 1920 x 1080.
  const int32_t W = 1920, H = 1080;
  TopDown master(skin.Master());
  for (bool stretch : {true, false}) {
    SkinImageRecord rec = skin.Image(skin.nine);
    rec.DrawMode = uint16_t(dmPaintCentre | (stretch ? dmStretch : 0));
    Bitmap ours(W, H, pf32bit);
    std::vector<uint32_t> theirs(size_t(W) * size_t(H));
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, W, H, theirs.data(), W * 4);
    DrawSkinMask(ours, TRect{0, 0, W, H}, EmptyCacheInfo, rec, 0, false);
    PixmanNine(dst, master, rec.SourceRect, 16, W, H, stretch);
    int64_t count = 0;
    const int worst = MaxDifference(ours, theirs, W, H, count);
    char check[96];
    if (worst == 0) {
      std::snprintf(check, sizeof check, "identical");
    } else {
      // pixman steps its 16.16 positions, which drift from the centre of each target pixel over 1000 pixels.
      std::snprintf(check, sizeof check, "%.2f %% of pixels from a neighbouring source pixel",
                    100.0 * double(count) / (double(W) * H));
    }
    if (!stretch && worst != 0) table.Fail("nine_tile", "outputs differ");
    table.Add(stretch ? "nine_stretch/1920x1080" : "nine_tile/1920x1080", "pixman", [&] {
      DrawSkinMask(ours, TRect{0, 0, W, H}, EmptyCacheInfo, rec, 0, false);
      benchmark::ClobberMemory();
    }, [&] {
      PixmanNine(dst, master, rec.SourceRect, 16, W, H, stretch);
      benchmark::ClobberMemory();
    }, check);
    pixman_image_unref(dst);
  }
  // The masked image: pixman sees its masks inverted (its coverage), in every channel.
  TopDown inverted(skin.Master());
  std::unique_ptr<MemoryCopy> copies;  // made for the first copy row timed (it takes twice the largest cache)
  char copyNote[128] = {};
  for (uint32_t& p : inverted.pixels) p = ~p;
  for (bool stretch : {true, false}) {
    SkinImageRecord rec = skin.Image(skin.nineMasked);
    rec.DrawMode = uint16_t(dmPaintCentre | (stretch ? dmStretch : 0));
    const int32_t maskOffset = (rec.SourceRect.Bottom - rec.SourceRect.Top) / 2;
    const TRect image{rec.SourceRect.Left, rec.SourceRect.Top, rec.SourceRect.Right, rec.SourceRect.Top + maskOffset};
    Bitmap ours(W, H, pf32bit);
    std::vector<uint32_t> theirs(size_t(W) * size_t(H));
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, W, H, theirs.data(), W * 4);
    auto fill = [&] {
      FillRectBitmap32(ours, TRect{0, 0, W, H}, 0x808080, 255);
      std::fill(theirs.begin(), theirs.end(), 0xFF808080u);
    };
    fill();
    DrawSkinMask(ours, TRect{0, 0, W, H}, EmptyCacheInfo, rec, 0, false);
    PixmanNine(dst, master, image, 16, W, H, stretch, &inverted, maskOffset);
    int64_t count = 0;
    const int worst = MaxDifference(ours, theirs, W, H, count);
    char check[160];
    if (stretch) {
      // The centre, resampled on both sides, apart from the edges, stretched by nearest pixel on both sides (where
      // the two take neighbouring source pixels now and then, as in nine_stretch).
      double mean = 0;
      const int centre = CentreDifference(ours, theirs, W, H, 16, mean);
      std::snprintf(check, sizeof check,
                    "centre within %d (mean %.2f) of pixman's cubic; all: %.1f %% differ, by %d at most", centre,
                    mean, 100.0 * double(count) / (double(W) * H), worst);
      if (centre > 16 || mean > 2) table.Fail("nine_masked_stretch", "the centres differ");
    } else {
      std::snprintf(check, sizeof check, "masked tiles; %.1f %% of pixels differ, by %d at most",
                    100.0 * double(count) / (double(W) * H), worst);
      if (worst > 1) table.Fail("nine_masked_tile", "outputs differ");
    }
    table.Add(stretch ? "nine_masked_stretch/1920x1080" : "nine_masked_tile/1920x1080", "pixman", [&] {
      DrawSkinMask(ours, TRect{0, 0, W, H}, EmptyCacheInfo, rec, 0, false);
      benchmark::ClobberMemory();
    }, [&] {
      PixmanNine(dst, master, image, 16, W, H, stretch, &inverted, maskOffset);
      benchmark::ClobberMemory();
    }, check);
    // The same drawing against the plainest work on a 1080p 32-bit picture, a copy of it from and to memory: a
    // measure that holds between machines whose absolute times and caches differ.
    const char* copyRow = stretch ? "nine_masked_stretch/copy" : "nine_masked_tile/copy";
    if (table.Wanted(copyRow) && !copies) {
      copies = std::make_unique<MemoryCopy>(W, H);
      std::snprintf(copyNote, sizeof copyNote, "ours against a 1920 x 1080 x 32-bit memcpy from and to memory (a ring of %zu MB, "
                    "largest cache %zu MB)", copies->Megabytes(), LargestCacheBytes() >> 20);
    }
    table.Add(copyRow, "copy_1080p", [&] {
      DrawSkinMask(ours, TRect{0, 0, W, H}, EmptyCacheInfo, rec, 0, false);
      benchmark::ClobberMemory();
    }, [&] {
      copies->Copy();
      benchmark::ClobberMemory();
    }, copyNote);
    pixman_image_unref(dst);
  }
  return table.Finish();
}
