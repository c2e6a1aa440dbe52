// Saving a screen capture as JPEG: the picture class (TJPEGImage assigned from the captured 32-bit bitmap, then
// saved with libjpeg's default parameters) against libjpeg called directly on the same bitmap's rows, for a
// 1280 x 1024 screen; the two must give the same bytes. Then, with Google Benchmark, the speech feed's cost per
// received character with an idle voice (no peer).
#include <benchmark/benchmark.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

#include "bench/side_by_side.h"
#include "gui/jpeg.h"
#include "station/options_kestrado.h"

namespace {

constexpr int W = 1280, H = 1024;

// A screen-like picture: flat areas, edges and some text-like noise.
void Fill(gui::TBitmap& bmp) {
  uint32_t seed = 12345;
  for (int y = 0; y < H; ++y) {
    uint8_t* row = bmp.ScanLine(y);
    for (int x = 0; x < W; ++x) {
      uint8_t* q = row + x * 4;
      const bool window = x > 300 && x < 900 && y > 200 && y < 700;
      seed = seed * 1103515245u + 12345u;
      const bool ink = window && ((seed >> 16) & 31) == 0;
      q[0] = window ? (ink ? 0 : 240) : 0;
      q[1] = window ? (ink ? 0 : 240) : uint8_t(x / 5);
      q[2] = window ? (ink ? 0 : 240) : uint8_t(y / 4);
      q[3] = 0;
    }
  }
}

// libjpeg alone: the bitmap's rows as they are (B, G, R, X), default parameters, into memory.
std::string LibjpegAlone(const gui::TBitmap& bmp) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = W;
  c.image_height = H;
  c.input_components = 4;
  c.in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(&c);
  jpeg_start_compress(&c, TRUE);
  JSAMPROW rows[16];
  while (c.next_scanline < c.image_height) {
    const JDIMENSION n = std::min<JDIMENSION>(16, c.image_height - c.next_scanline);
    for (JDIMENSION i = 0; i < n; ++i) rows[i] = const_cast<JSAMPROW>(bmp.ScanLine(int(c.next_scanline + i)));
    jpeg_write_scanlines(&c, rows, n);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::string bytes(reinterpret_cast<const char*>(out), size);
  std::free(out);
  return bytes;
}

std::string PictureClass(const gui::TBitmap& bmp) {
  gui::TJPEGImage j;
  j.Assign(bmp);
  return j.SaveToBytes();
}

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

int main(int argc, char** argv) {
  sidebyside::Table table(sidebyside::Options::FromArgs(argc, argv));
  gui::TBitmap bmp;
  bmp.SetPixelFormat(gui::TPixelFormat::pf32bit);
  bmp.SetSize(W, H);
  Fill(bmp);
  const std::string ours = PictureClass(bmp), theirs = LibjpegAlone(bmp);
  char check[64];
  std::snprintf(check, sizeof check, "%s [%zu bytes]", ours == theirs ? "identical" : "DIFFERENT", ours.size());
  if (ours != theirs) table.Fail("capture_save_1280x1024", "the JPEG bytes differ");
  table.Add("capture_save_1280x1024", "libjpeg", [&] { benchmark::DoNotOptimize(PictureClass(bmp).size()); },
            [&] { benchmark::DoNotOptimize(LibjpegAlone(bmp).size()); }, check);
  const int status = table.Finish();

  std::printf("\n");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return status;
}
