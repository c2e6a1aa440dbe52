// Saving a screen capture as JPEG: the picture class (BGRA bitmap rows to RGB, then libjpeg with its default
// parameters) against libjpeg called directly on RGB rows, for a 1280 x 1024 screen; and the speech feed's
// cost per received character with an idle voice.
#include <benchmark/benchmark.h>

#include <csetjmp>
#include <cstdlib>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

#include "gui/jpeg.h"
#include "station/options_kestrado.h"

namespace {

constexpr int W = 1280, H = 1024;

// A screen-like picture: flat areas, edges and some text-like noise.
void Fill(uint8_t* p, int stride, int bpp) {
  uint32_t seed = 12345;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      uint8_t* q = p + y * stride + x * bpp;
      const bool window = x > 300 && x < 900 && y > 200 && y < 700;
      seed = seed * 1103515245u + 12345u;
      const bool ink = window && ((seed >> 16) & 31) == 0;
      q[0] = window ? (ink ? 0 : 240) : 0;
      q[1] = window ? (ink ? 0 : 240) : uint8_t(x / 5);
      q[2] = window ? (ink ? 0 : 240) : uint8_t(y / 4);
    }
}

void BM_PictureClassSave(benchmark::State& state) {
  gui::TBitmap bmp;
  bmp.SetPixelFormat(gui::TPixelFormat::pf32bit);
  bmp.SetSize(W, H);
  Fill(bmp.ScanLine(0), bmp.Stride(), 4);
  size_t bytes = 0;
  for (auto _ : state) {
    gui::TJPEGImage j;
    j.Assign(bmp);
    bytes = j.SaveToBytes().size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["jpeg_bytes"] = double(bytes);
  state.SetItemsProcessed(state.iterations() * W * H);
}
BENCHMARK(BM_PictureClassSave)->Unit(benchmark::kMillisecond);

void BM_LibjpegDirect(benchmark::State& state) {
  // The same picture as RGB rows.
  std::vector<uint8_t> bgra(size_t(W) * H * 4);
  Fill(bgra.data(), W * 4, 4);
  std::vector<uint8_t> rgb(size_t(W) * H * 3);
  for (size_t i = 0; i < size_t(W) * H; ++i) {
    rgb[i * 3] = bgra[i * 4 + 2];
    rgb[i * 3 + 1] = bgra[i * 4 + 1];
    rgb[i * 3 + 2] = bgra[i * 4];
  }
  for (auto _ : state) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = W;
    c.image_height = H;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
      JSAMPROW row = rgb.data() + size_t(c.next_scanline) * W * 3;
      jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    benchmark::DoNotOptimize(size);
    std::free(out);
  }
  state.SetItemsProcessed(state.iterations() * W * H);
}
BENCHMARK(BM_LibjpegDirect)->Unit(benchmark::kMillisecond);

void BM_SpeechFeedPerCharacter(benchmark::State& state) {
  station::TForm43 form(nullptr);
  auto voice = std::make_unique<platform::RecordingVoice>();
  voice->voices = {"voice"};
  platform::RecordingVoice* v = voice.get();
  form.Fixe_voix(std::move(voice));
  form.Synthese_vocale_active = 1;
  form.Lance_synthese_vocale();
  const std::string text = "CQ CQ de F4XYZ F4XYZ pse K ";
  size_t i = 0;
  for (auto _ : state) {
    form.Prononce_texte(text[i++ % text.size()]);
    if (v->spoken.size() > 4096) v->spoken.clear();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SpeechFeedPerCharacter);

}  // namespace
