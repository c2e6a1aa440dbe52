// Drawing the program's eight stored skins (every image, the descriptions, the master bitmaps and the packed
// containers), against the anchor: zlib compressing the same members into containers at the same level, the
// part of the work that is not drawing. The contact sheets (a review aid) are timed apart.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "tools/skingen/contact.h"
#include "tools/skingen/generate.h"

namespace {

void BM_GenerateAllSkins(benchmark::State& state) {
  size_t bytes = 0;
  for (auto _ : state) {
    const std::vector<skingen::GeneratedSkin> skins = skingen::GenerateAllSkins();
    bytes = 0;
    for (const auto& s : skins) bytes += s.packed.size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["packed_bytes"] = double(bytes);
}
BENCHMARK(BM_GenerateAllSkins)->Unit(benchmark::kMillisecond);

void BM_ProgramResources(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(skingen::GenerateProgramResources());
}
BENCHMARK(BM_ProgramResources)->Unit(benchmark::kMillisecond);

// The anchor: zlib alone compressing the members of the eight skins at the generator's level.
void BM_Anchor_ZlibCompressMembers(benchmark::State& state) {
  static const std::vector<skingen::GeneratedSkin> skins = skingen::GenerateAllSkins();
  for (auto _ : state) {
    size_t out = 0;
    for (const auto& s : skins)
      for (const auto& m : s.members) {
        uLongf size = compressBound(uLong(m.Data.size()));
        std::string z(size, '\0');
        compress2(reinterpret_cast<Bytef*>(z.data()), &size, reinterpret_cast<const Bytef*>(m.Data.data()),
                  uLong(m.Data.size()), 6);
        out += size;
      }
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_Anchor_ZlibCompressMembers)->Unit(benchmark::kMillisecond);

void BM_ContactSheets(benchmark::State& state) {
  static const std::vector<skingen::GeneratedSkin> skins = skingen::GenerateAllSkins();
  for (auto _ : state)
    for (const auto& s : skins) benchmark::DoNotOptimize(skingen::ContactSheet(s));
}
BENCHMARK(BM_ContactSheets)->Unit(benchmark::kMillisecond);

}  // namespace
