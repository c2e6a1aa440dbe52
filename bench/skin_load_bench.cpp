// Loading a packed skin of about 100 kB (sections, one 24-bit master bitmap, PNG glows, a JPEG texture) into a
// manager's tables, with the time spent in zlib (unpacking the container) and in decoding the images measured
// apart, as shares of the whole load. Anchors: zlib's own uncompress() of the same members, and libpng
// decoding the same glows.
#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "skin/data/imagedecoders.h"
#include "skin/data/packedskin.h"
#include "skin/data/sskinmanager.h"
#include "skin/pixels/acpng.h"
#include "tests/skin_data/skin_fixture.h"

namespace {

using namespace skin;
using Clock = std::chrono::steady_clock;

struct Fixture {
  std::vector<PackedSkinMember> members;
  std::string container;
  size_t unpacked = 0;
  Fixture() {
    skintest::FixtureOptions o;
    o.extraSections = 110;
    o.extraWidth = 680;  // a master bitmap of 808 x 64 with painted-like noise
    o.glows = 6;
    members = skintest::FixtureMembers(o);
    container = PackSkin(members, Z_BEST_COMPRESSION);
    for (const auto& m : members) unpacked += m.Data.size();
  }
};

const Fixture& fixture() {
  static const Fixture f;
  return f;
}

// Seconds of one call, the best of several runs.
template <class F>
double bestOf(F f, int runs = 30) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = Clock::now();
    f();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
  }
  return best;
}

void unpackOnce(const Fixture& f) {
  TMemoryStream data(f.container);
  auto c = std::make_unique<TacSkinConvertor>();
  c->LendPackedData(data);
  if (!ExtractPackedSkin(c)) std::abort();
  c->ReleasePackedData();
  benchmark::DoNotOptimize(c->Files.data());
}

void decodeOnce(const Fixture& f) {
  for (const auto& m : f.members) {
    Bitmap b;
    if (m.Name.ends_with(".bmp")) {
      DecodeBmp(m.Data.data(), m.Data.size(), b);
    } else if (m.Name.ends_with(".PNG")) {
      TPNGGraphic png;
      png.LoadFromMemory(m.Data.data(), m.Data.size());
    } else if (m.Name.ends_with(".JPG")) {
      DecodeJpeg(m.Data.data(), m.Data.size(), b);
    }
    benchmark::DoNotOptimize(b.Empty());
  }
}

void BM_LoadPackedSkinIntoTables(benchmark::State& state) {
  const Fixture& f = fixture();
  PortableSkinSystem sys;
  TsSkinManager m(sys);
  TsStoredSkin& stored = m.InternalSkins.Add();
  stored.Name = "Bench";
  stored.Data.WriteBuffer(f.container.data(), int64_t(f.container.size()));
  m.SetSkinName("Bench");
  if (!sys.messageBoxes.empty() || m.Skin().Sections.size() < 100) state.SkipWithError("the skin did not load");
  double total = 0;
  int64_t loads = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    if (m.LoadSkin() != TSkinLoadResult::Loaded) state.SkipWithError("load failed");
    total += std::chrono::duration<double>(Clock::now() - t0).count();
    ++loads;
  }
  const double perLoad = total / double(loads);
  const double zlib = bestOf([&f] { unpackOnce(f); });
  const double decode = bestOf([&f] { decodeOnce(f); });
  state.counters["container_kB"] = double(f.container.size()) / 1024.0;
  state.counters["load_ms"] = perLoad * 1e3;
  state.counters["zlib_share_%"] = 100.0 * zlib / perLoad;
  state.counters["decode_share_%"] = 100.0 * decode / perLoad;
  state.counters["sections"] = double(m.Skin().Sections.size());
  state.counters["images"] = double(m.Skin().Images.size());
  state.SetBytesProcessed(loads * int64_t(f.unpacked));
}

// Anchor of the unpacking: zlib's uncompress() of the same members into buffers of the known sizes.
void BM_ZlibUncompressAnchor(benchmark::State& state) {
  const Fixture& f = fixture();
  std::vector<std::string> streams;
  for (const auto& m : f.members) {
    uLongf size = compressBound(uLong(m.Data.size()));
    std::string s(size, '\0');
    compress2(reinterpret_cast<Bytef*>(s.data()), &size, reinterpret_cast<const Bytef*>(m.Data.data()),
              uLong(m.Data.size()), Z_BEST_COMPRESSION);
    s.resize(size);
    streams.push_back(std::move(s));
  }
  for (auto _ : state) {
    for (size_t i = 0; i < f.members.size(); ++i) {
      std::string out(f.members[i].Data.size(), '\0');
      uLongf size = uLongf(out.size());
      uncompress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(streams[i].data()),
                 uLong(streams[i].size()));
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.unpacked));
}

void BM_UnpackContainer(benchmark::State& state) {
  const Fixture& f = fixture();
  for (auto _ : state) unpackOnce(f);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.unpacked));
}

void BM_DecodeSkinImages(benchmark::State& state) {
  const Fixture& f = fixture();
  for (auto _ : state) decodeOnce(f);
}

// Anchor of the PNG part of the decoding: libpng's simplified API on the same glows.
void BM_LibpngGlowsAnchor(benchmark::State& state) {
  const Fixture& f = fixture();
  for (auto _ : state) {
    for (const auto& m : f.members) {
      if (!m.Name.ends_with(".PNG")) continue;
      png_image image{};
      image.version = PNG_IMAGE_VERSION;
      png_image_begin_read_from_memory(&image, m.Data.data(), m.Data.size());
      image.format = PNG_FORMAT_BGRA;
      std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
      png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
      benchmark::DoNotOptimize(pixels.data());
    }
  }
}

void BM_DecodeGlowsOwnReader(benchmark::State& state) {
  const Fixture& f = fixture();
  for (auto _ : state) {
    for (const auto& m : f.members) {
      if (!m.Name.ends_with(".PNG")) continue;
      TPNGGraphic png;
      png.LoadFromMemory(m.Data.data(), m.Data.size());
      benchmark::DoNotOptimize(png.Empty());
    }
  }
}

// A description of many sections (2,000 after the fixture's), flat (each the child of BUTTON) or in chains of
// 100 or of 2,000 sections (each the child of the one before): the load must stay linear in the sections, whatever
// the depth of the chains.
void BM_LoadManyChainedSections(benchmark::State& state) {
  skintest::FixtureOptions o;
  o.extraSections = int(state.range(0));
  o.chain = int(state.range(1));
  const std::string container = PackSkin(skintest::FixtureMembers(o), Z_BEST_SPEED);
  PortableSkinSystem sys;
  TsSkinManager m(sys);
  TsStoredSkin& stored = m.InternalSkins.Add();
  stored.Name = "Chains";
  stored.Data.WriteBuffer(container.data(), int64_t(container.size()));
  m.SetSkinName("Chains");
  if (!sys.messageBoxes.empty() || m.Skin().Sections.size() < size_t(o.extraSections))
    state.SkipWithError("the skin did not load");
  for (auto _ : state)
    if (m.LoadSkin() != TSkinLoadResult::Loaded) state.SkipWithError("load failed");
  state.counters["sections"] = double(m.Skin().Sections.size());
  state.counters["description_kB"] = double(skintest::FixtureOptionsText(o).size()) / 1024.0;
}

// What the painters ask of a loaded skin of one chain of 20,000 sections: the images of the chain's last section
// that lie at its top or nowhere (the corners, the outer mask), each asked again at every paint.
void BM_InheritedLookupsAtTheEndOfALongChain(benchmark::State& state) {
  skintest::FixtureOptions o;
  o.extraSections = o.chain = 20000;
  const std::string container = PackSkin(skintest::FixtureMembers(o), Z_BEST_SPEED);
  PortableSkinSystem sys;
  TsSkinManager m(sys);
  TsStoredSkin& stored = m.InternalSkins.Add();
  stored.Name = "Chain";
  stored.Data.WriteBuffer(container.data(), int64_t(container.size()));
  m.SetSkinName("Chain");
  const int32_t last = SkinManagerGetSectionIndex(m.Skin(), "EXTRA19999");
  if (last < 0) state.SkipWithError("the skin did not load");
  for (auto _ : state)
    for (const char* key : {"BORDERSMASK", "IMGTOPLEFT", "IMGBTMRIGHT", "OUTERMASK", "TITLEBAR"})
      benchmark::DoNotOptimize(SkinManagerGetImageIndex(m.Skin(), last, key));
}

BENCHMARK(BM_LoadPackedSkinIntoTables)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InheritedLookupsAtTheEndOfALongChain)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadManyChainedSections)->Args({2000, 0})->Args({2000, 100})->Args({2000, 2000})->Args({30000, 30000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnpackContainer)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZlibUncompressAnchor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeSkinImages)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeGlowsOwnReader)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LibpngGlowsAnchor)->Unit(benchmark::kMicrosecond);

}  // namespace
